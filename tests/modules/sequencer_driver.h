// Drives a step sequencer through the stand-in host with a real clock. Each block holds
// its clock and enable levels over every sample, and messages and settings arrive at its
// first sample, so every block is exactly one call of the step engine.
#pragma once

#include <cstring>
#include <ostream>

#include "module_harness.h"

namespace host {

// Failed comparisons show each output as position, pin and bytes in hex.
inline void PrintTo(const PinData& output, std::ostream* out)
{
    *out << "{" << output.position << ", pin " << output.pin << ",";
    for (uint8_t byte : output.bytes)
        *out << " " << std::hex << int{byte} << std::dec;
    *out << "}";
}

}  // namespace host

namespace sequencer {

// The pins all three sequencers number alike.
enum SharedPin : int32_t { midiIn = 0, midiOut = 1, clockIn = 2, enableIn = 3 };

inline PinData noteOn(int32_t position, uint8_t note, uint8_t channel = 0)
{
    return {position, midiOut, {static_cast<uint8_t>(0x90 | channel), note, 100}};
}
inline PinData noteOff(int32_t position, uint8_t note, uint8_t channel = 0)
{
    return {position, midiOut, {static_cast<uint8_t>(0x80 | channel), note, 100}};
}
inline PinData allNotesOff(uint8_t channel = 0)
{
    return {0, midiOut, {static_cast<uint8_t>(0xB0 | channel), 123, 0}};
}

// Everything in `more` after everything in `outputs`.
inline Outputs operator+(Outputs outputs, const Outputs& more)
{
    outputs.insert(outputs.end(), more.begin(), more.end());
    return outputs;
}

class Driver {
public:
    static constexpr int32_t blockSize = 16;

    Driver(std::u16string_view identifier, int32_t stepOutPin, int32_t firstStepPin)
        : harness(identifier), stepOut(stepOutPin), firstStepIn(firstStepPin)
    {
        harness.streamAudio({clockIn, enableIn});
    }

    ModuleHarness harness;
    const int32_t stepOut;
    const int32_t firstStepIn;

    // One block, `samples` long, with both levels held over it.
    Outputs block(float clock, float enable = 1.0f, int32_t samples = blockSize)
    {
        const auto length = static_cast<size_t>(samples);
        harness.setSamples(clockIn, 0, length, clock);
        harness.setSamples(enableIn, 0, length, enable);
        return harness.run(samples);
    }
    Outputs fire() { return block(1.0f); }
    Outputs fall() { return block(0.0f); }
    // One clock cycle: the step fires, then its notes are released.
    Outputs pulse()
    {
        Outputs fired = fire();
        return fired + fall();
    }
    Outputs pulses(int count)
    {
        Outputs all;
        for (int i = 0; i < count; ++i)
            all = all + pulse();
        return all;
    }
    // Enable raised with the clock low: the third call starts; step 0 fires next.
    void start()
    {
        for (int i = 0; i < 3; ++i)
            fall();
    }
    // Enable lowered with the clock held: the third call stops.
    Outputs stop(float clock)
    {
        Outputs all;
        for (int i = 0; i < 3; ++i)
            all = all + block(clock, 0.0f);
        return all;
    }

    // Messages and settings below arrive with the next block.
    void press(std::initializer_list<uint8_t> keys, uint8_t channel = 0)
    {
        for (uint8_t key : keys)
            harness.events.midi(0, midiIn, {static_cast<uint8_t>(0x90 | channel), key, 64});
    }
    void release(std::initializer_list<uint8_t> keys, uint8_t channel = 0)
    {
        for (uint8_t key : keys)
            harness.events.midi(0, midiIn, {static_cast<uint8_t>(0x80 | channel), key, 64});
    }
    void send(std::initializer_list<uint8_t> message) { harness.events.midi(0, midiIn, message); }
    void setStep(int32_t step, int32_t value) { harness.events.value(0, firstStepIn + step, value); }
    void setSteps(std::initializer_list<int32_t> values)
    {
        int32_t step = 0;
        for (int32_t value : values)
            setStep(step++, value);
    }
    void setTie(int32_t tiePin, bool on) { harness.events.boolValue(0, tiePin, on); }

    // The step number as the host hears it.
    PinData step(int32_t position, int32_t number) const
    {
        std::vector<uint8_t> bytes(4);
        std::memcpy(bytes.data(), &number, 4);
        return {position, stepOut, bytes};
    }
};

}  // namespace sequencer
