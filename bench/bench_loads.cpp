#include "bench_loads.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace bench {
namespace {

constexpr int32_t midiInPin = 0;
constexpr int32_t clockPin = 2;
constexpr int32_t enablePin = 3;
// 120 beats per minute, four steps per beat: a clock of 8 Hz.
constexpr size_t clockPeriod = static_cast<size_t>(sampleRate / 8.0);

struct ModuleLoad {
    const char16_t* module;
    const char* name;
    bool clocked;
    int32_t changePin;
    int32_t changeValues[2];
};

// The control pin each module's pin-change load moves, between two ordinary values.
constexpr ModuleLoad moduleLoads[] = {
    {u"MIDI_Transposer", "MIDI_Transposer", false, 2, {0, 12}},
    {u"MIDI_Block", "MIDI_Block", false, 2, {1, 0}},
    {u"MIDI_NoteCounter", "MIDI_NoteCounter", false, 2, {4, 8}},
    {u"MIDI_Arp", "MIDI_Arp", true, 4, {3, 4}},
    {u"MIDI_RhythmSeq", "MIDI_RhythmSeq", true, 6, {1, 0}},
    {u"MIDI_SemiSeq", "MIDI_SemiSeq", true, 6, {0, 7}},
    {u"MIDI_ScaledSeq", "MIDI_ScaledSeq", true, 9, {0, 2}},
};

}  // namespace

void runModuleBlock(gmpi::IMpPlugin2& module, int32_t sampleCount, const gmpi::HostEvent* events)
{
    module.processBlock(sampleCount, events);
}

int Load::eventsPerBlock() const
{
    switch (traffic) {
    case Traffic::oneMidi:
    case Traffic::pinChange:
        return 1;
    case Traffic::eightMidi:
        return 8;
    case Traffic::none:
        break;
    }
    return 0;
}

std::vector<Load> allLoads()
{
    // The floor: the transposer given nothing, or one event for a pin it does not have.
    std::vector<Load> loads{{"frame/empty", u"MIDI_Transposer", Traffic::none, false, 0, {0, 0}},
                            {"frame/unbound", u"MIDI_Transposer", Traffic::pinChange, false, 99, {0, 1}}};
    const std::pair<Traffic, const char*> traffics[] = {
        {Traffic::none, "idle"}, {Traffic::oneMidi, "1midi"}, {Traffic::eightMidi, "8midi"}, {Traffic::pinChange, "pin"}};
    for (const ModuleLoad& module : moduleLoads)
        for (const auto& [traffic, suffix] : traffics)
            loads.push_back({std::string(module.name) + "/" + suffix, module.module, traffic, module.clocked,
                             module.changePin, {module.changeValues[0], module.changeValues[1]}});
    return loads;
}

LoadRunner::LoadRunner(host::ModuleLibrary& library, const Load& load) : clocked(load.clocked)
{
    gmpi::IMpUnknown* created = nullptr;
    if (library.factory().createModule(load.module.c_str(), 0, &fixedHost, &created) != gmpi::resultOk ||
        created == nullptr)
        throw std::runtime_error("cannot create module " + host::toUtf8(load.module));
    module = static_cast<gmpi::IMpPlugin2*>(created);
    host::EventList start;
    start.graphStart(0);
    if (clocked) {
        clockSamples.assign(blockSize, 0.0f);
        enableSamples.assign(blockSize, 1.0f);
        module->attachPinBuffer(clockPin, clockSamples.data());
        module->attachPinBuffer(enablePin, enableSamples.data());
        start.streamStart(0, clockPin).streamStart(0, enablePin);
        clockWave.resize(clockPeriod + blockSize);
        for (size_t i = 0; i < clockWave.size(); ++i)
            clockWave[i] = (i % clockPeriod) < clockPeriod / 2 ? 1.0f : 0.0f;
    }
    for (const uint8_t note : {uint8_t{48}, uint8_t{52}, uint8_t{55}})
        start.midi(0, midiInPin, {0x90, note, 100});
    module->processBlock(blockSize, start.head());
    buildTraffic(load);
    for (int i = 0; i < 200; ++i)
        processBlock();
}

LoadRunner::~LoadRunner()
{
    module->release();
}

// Note-on and note-off pairs leave the held notes as they were after every block.
void LoadRunner::buildTraffic(const Load& load)
{
    for (int list = 0; list < 2; ++list) {
        host::EventList& events = lists[list];
        switch (load.traffic) {
        case Traffic::none:
            break;
        case Traffic::oneMidi:
            events.midi(20, midiInPin, {static_cast<uint8_t>(list == 0 ? 0x90 : 0x80), 60, 100});
            break;
        case Traffic::eightMidi:
            for (uint8_t pair = 0; pair < 4; ++pair) {
                const uint8_t note = static_cast<uint8_t>(60 + 2 * pair);
                events.midi(pair * 16, midiInPin, {0x90, note, 100}).midi(pair * 16 + 8, midiInPin, {0x80, note, 0});
            }
            break;
        case Traffic::pinChange:
            events.value(20, load.changePin, load.changeValues[list]);
            break;
        }
        heads[list] = events.head();
    }
}

void LoadRunner::advanceClock()
{
    std::memcpy(clockSamples.data(), clockWave.data() + clockPhase, blockSize * sizeof(float));
    clockPhase = (clockPhase + blockSize) % clockPeriod;
}

void LoadRunner::processBlock()
{
    if (clocked)
        advanceClock();
    fixedHost.clear();
    runModuleBlock(*module, blockSize, heads[blockIndex]);
    blockIndex ^= 1;
}

}  // namespace bench
