#include "random_blocks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace validate {
namespace {

constexpr int32_t eventPinRange = 32;  // random pin numbers 0..31

// Values a control input may meet: its meaningful range and well beyond it.
constexpr int32_t interestingValues[] = {0,   1,    2,     3,       4,    5,     7,      8,     11,
                                         12,  15,   16,    17,      -1,   -2,    -12,    24,    60,
                                         126, 127,  128,   255,     256,  1000,  -1000,  65536, -65536,
                                         std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};

// Controllers that modules treat specially, and some that they do not.
constexpr uint8_t interestingControllers[] = {0, 1, 7, 64, 120, 121, 123, 123, 123, 127};

// System messages and their lengths (status byte included).
struct SystemMessage {
    uint8_t status;
    uint8_t length;
};
constexpr SystemMessage systemMessages[] = {{0xF1, 2}, {0xF2, 3}, {0xF3, 2}, {0xF6, 1}, {0xF8, 1},
                                            {0xFA, 1}, {0xFB, 1}, {0xFC, 1}, {0xFE, 1}, {0xFF, 1}};

// Levels a clock may hold besides plain 0 and 1.
const float oddLevels[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::denorm_min(),
                           -0.0f, 1e30f, -1.0f, 0.5f};

uint8_t dataByte(RandomSource& random)
{
    return static_cast<uint8_t>(random.oneIn(8) ? random.pick({uint8_t{0}, uint8_t{1}, uint8_t{126}, uint8_t{127}})
                                                : random.below(128));
}

}  // namespace

BlockGenerator::BlockGenerator(RandomSource& source, std::vector<int32_t> acceptedPins)
    : random(source), pins(std::move(acceptedPins))
{
    for (int32_t pin : pins) {
        Clock clock;
        clock.pin = pin;
        retune(clock);
        clocks.push_back(clock);
    }
}

// The first block starts the graph and every audio input streaming, so that clocked
// modules run; later blocks hold 0 to 8 events, now and then up to 64.
int32_t BlockGenerator::next(host::EventList& events)
{
    const int32_t sampleCount = random.oneIn(8) ? random.between(1, 16) : random.between(1, largestBlock);
    const int32_t eventCount = random.oneIn(10) ? random.between(9, 64) : random.between(0, 8);
    if (total.blocks == 0) {
        events.graphStart(0);
        ++total.graphStarts;
        for (int32_t pin : pins) {
            events.streamStart(0, pin);
            ++total.streamChanges;
        }
    }
    std::vector<int32_t> stamps(static_cast<size_t>(eventCount));
    for (int32_t& stamp : stamps)
        stamp = random.oneIn(6) ? 0 : random.between(0, sampleCount - 1);
    std::sort(stamps.begin(), stamps.end());
    for (int32_t stamp : stamps)
        addEvent(events, stamp);
    ++total.blocks;
    total.samples += static_cast<uint64_t>(sampleCount);
    return sampleCount;
}

void BlockGenerator::addEvent(host::EventList& events, int32_t stamp)
{
    const uint32_t kind = random.below(100);
    if (kind < 60) {
        addMidi(events, stamp, random.oneIn(2) ? midiPin() : eventPin());
    } else if (kind < 90) {
        addValue(events, stamp, eventPin());
    } else if (kind < 98) {
        addStreamChange(events, stamp, eventPin());
    } else {
        events.graphStart(stamp);
        ++total.graphStarts;
    }
}

// Mostly the module's own pins, otherwise any number up to 31.
int32_t BlockGenerator::eventPin()
{
    if (!pins.empty() && !random.oneIn(4))
        return pins[random.below(static_cast<uint32_t>(pins.size()))];
    return random.between(0, eventPinRange - 1);
}

// Half of the messages go to the lowest pin, where modules usually take MIDI in, so
// that notes pile up there.
int32_t BlockGenerator::midiPin() const
{
    return pins.empty() ? 0 : pins.front();
}

// A message of every kind: mostly channel voice messages, then system exclusive (long
// ones travel outside the event), system common and real-time messages. A stream
// mostly stays on one channel, and system messages (whose low four bits some modules
// take as a channel) are rarer, so that modules which forget their notes on a change
// of channel get to fill their note lists.
void BlockGenerator::addMidi(host::EventList& events, int32_t stamp, int32_t pin)
{
    if (random.oneIn(40))
        channel = static_cast<uint8_t>(random.below(16));
    const uint32_t kind = random.below(100);
    if (kind < 84)
        voiceMessage(kind);
    else if (kind < 90)
        systemExclusive();
    else
        systemMessage();
    // The host may hold any message outside the event.
    if (random.oneIn(10))
        events.midiOutside(stamp, pin, message);
    else
        events.midi(stamp, pin, message);
    ++total.midi;
}

// `kind` in [0, 84) chooses the message: note-ons, note-offs, controllers, then the rest.
void BlockGenerator::voiceMessage(uint32_t kind)
{
    const auto status = [this](uint8_t type) { return static_cast<uint8_t>(type | channel); };
    if (kind < 40)
        message = {status(0x90), dataByte(random), random.oneIn(6) ? uint8_t{0} : dataByte(random)};
    else if (kind < 62)
        message = {status(0x80), dataByte(random), dataByte(random)};
    else if (kind < 72)
        message = {status(0xB0), random.pick(interestingControllers), dataByte(random)};
    else if (kind < 78)
        message = {status(random.pick({uint8_t{0xA0}, uint8_t{0xE0}})), dataByte(random), dataByte(random)};
    else
        message = {status(random.pick({uint8_t{0xC0}, uint8_t{0xD0}})), dataByte(random)};
}

void BlockGenerator::systemExclusive()
{
    const int32_t length = random.oneIn(3) ? random.between(0, 6) : random.between(7, longestSysex - 2);
    message = {0xF0};
    for (int32_t i = 0; i < length; ++i)
        message.push_back(dataByte(random));
    message.push_back(0xF7);
    ++total.sysex;
}

void BlockGenerator::systemMessage()
{
    const SystemMessage& system = random.pick(systemMessages);
    message = {system.status};
    for (int32_t i = 1; i < system.length; ++i)
        message.push_back(dataByte(random));
}

// Integer values of four bytes, or boolean ones of one byte (any byte value) or four.
void BlockGenerator::addValue(host::EventList& events, int32_t stamp, int32_t pin)
{
    switch (random.below(4)) {
    case 0:
        events.boolValue(stamp, pin, random.oneIn(2));
        break;
    case 1: {
        const uint8_t byte = random.byte();
        events.raw({stamp, gmpi::eventPinValue, pin, 1, {byte}, nullptr, nullptr});
        break;
    }
    default:
        events.value(stamp, pin, random.oneIn(3) ? random.between(-200, 200) : random.pick(interestingValues));
        break;
    }
    ++total.values;
}

void BlockGenerator::addStreamChange(host::EventList& events, int32_t stamp, int32_t pin)
{
    if (random.oneIn(3))
        events.streamStop(stamp, pin);
    else
        events.streamStart(stamp, pin);
    ++total.streamChanges;
}

Clock& BlockGenerator::clockOf(int32_t pin)
{
    return *std::find_if(clocks.begin(), clocks.end(), [pin](const Clock& clock) { return clock.pin == pin; });
}

// Periods from two samples to longer than a block; now and then odd levels, or a
// clock that stands still.
void BlockGenerator::retune(Clock& clock)
{
    clock.period = random.oneIn(4) ? random.between(2, 16) : random.between(17, 2 * largestBlock);
    clock.highSamples = random.between(1, clock.period - 1);
    clock.high = random.oneIn(8) ? random.pick(oddLevels) : 1.0f;
    clock.low = random.oneIn(8) ? random.pick(oddLevels) : 0.0f;
    if (random.oneIn(10))
        clock.low = clock.high;
}

void BlockGenerator::fillAudio(int32_t pin, std::span<float> buffer, int32_t sampleCount)
{
    Clock& clock = clockOf(pin);
    if (random.oneIn(16))
        retune(clock);
    const int32_t count = std::min(sampleCount, static_cast<int32_t>(buffer.size()));
    for (int32_t i = 0; i < count; ++i) {
        buffer[static_cast<size_t>(i)] = clock.phase < clock.highSamples ? clock.high : clock.low;
        clock.phase = (clock.phase + 1) % clock.period;
    }
}

}  // namespace validate
