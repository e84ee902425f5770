#include "bench_loads.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "peer_lv2.h"

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

// x42's chromatic transpose from Debian's x42-plugins: the transposer's job, through LV2.
constexpr const char* peerName = "x42_miditranspose";
constexpr const char* peerUri = "http://gareus.org/oss/lv2/midifilter#miditranspose";

class ModuleRunner final : public Runner {
public:
    ModuleRunner(host::ModuleLibrary& library, const Load& load);
    ModuleRunner(const ModuleRunner&) = delete;
    ModuleRunner& operator=(const ModuleRunner&) = delete;
    ~ModuleRunner() override;

    void processBlock() override;

private:
    void buildTraffic(const Load& load);
    void advanceClock();

    FixedHost fixedHost;
    gmpi::IMpPlugin2* module = nullptr;
    bool clocked;
    std::vector<float> clockSamples;  // the host's buffers of the clock and enable inputs
    std::vector<float> enableSamples;
    host::EventList lists[2];  // alternated block by block
    const gmpi::HostEvent* heads[2] = {};
    std::vector<float> clockWave;  // one period, plus a block's overlap to copy without wrapping
    size_t clockPhase = 0;
    int blockIndex = 0;
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
    std::vector<Load> loads{{"frame/empty", u"MIDI_Transposer", Traffic::none, false, 0, {0, 0}, {}},
                            {"frame/unbound", u"MIDI_Transposer", Traffic::pinChange, false, 99, {0, 1}, {}}};
    const std::pair<Traffic, const char*> traffics[] = {
        {Traffic::none, "idle"}, {Traffic::oneMidi, "1midi"}, {Traffic::eightMidi, "8midi"}, {Traffic::pinChange, "pin"}};
    for (const ModuleLoad& module : moduleLoads)
        for (const auto& [traffic, suffix] : traffics)
            loads.push_back({std::string(module.name) + "/" + suffix, module.module, traffic, module.clocked,
                             module.changePin, {module.changeValues[0], module.changeValues[1]}, {}});
    for (const auto& [traffic, suffix] : traffics)
        if (traffic != Traffic::pinChange)
            loads.push_back({std::string(peerName) + "/" + suffix, {}, traffic, false, 0, {0, 0}, peerUri});
    return loads;
}

std::vector<TimedMessage> midiTraffic(Traffic traffic, int parity)
{
    std::vector<TimedMessage> messages;
    if (traffic == Traffic::oneMidi)
        messages.push_back({20, {static_cast<uint8_t>(parity == 0 ? 0x90 : 0x80), 60, 100}});
    if (traffic == Traffic::eightMidi) {
        for (int32_t pair = 0; pair < 4; ++pair) {
            const auto note = static_cast<uint8_t>(60 + 2 * pair);
            messages.push_back({pair * 16, {0x90, note, 100}});
            messages.push_back({pair * 16 + 8, {0x80, note, 0}});
        }
    }
    return messages;
}

std::unique_ptr<Runner> makeRunner(host::ModuleLibrary& library, const Load& load)
{
    if (!load.peerUri.empty())
        return makePeerRunner(load.peerUri, load.traffic);
    return std::make_unique<ModuleRunner>(library, load);
}

ModuleRunner::ModuleRunner(host::ModuleLibrary& library, const Load& load) : clocked(load.clocked)
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

ModuleRunner::~ModuleRunner()
{
    module->release();
}

void ModuleRunner::buildTraffic(const Load& load)
{
    for (int parity = 0; parity < 2; ++parity) {
        host::EventList& events = lists[parity];
        for (const TimedMessage& message : midiTraffic(load.traffic, parity))
            events.midi(message.stamp, midiInPin, message.bytes);
        if (load.traffic == Traffic::pinChange)
            events.value(20, load.changePin, load.changeValues[parity]);
        heads[parity] = events.head();
    }
}

void ModuleRunner::advanceClock()
{
    std::memcpy(clockSamples.data(), clockWave.data() + clockPhase, blockSize * sizeof(float));
    clockPhase = (clockPhase + blockSize) % clockPeriod;
}

void ModuleRunner::processBlock()
{
    if (clocked)
        advanceClock();
    fixedHost.clear();
    runModuleBlock(*module, blockSize, heads[blockIndex]);
    blockIndex ^= 1;
}

}  // namespace bench
