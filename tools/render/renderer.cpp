#include "renderer.h"

#include <algorithm>
#include <memory>

#include "notes.h"
#include "step_clock.h"

namespace {

struct TimedSetting {
    int64_t sample;
    Setting setting;
};

struct Stage {
    const ChainStage& chainStage;
    std::vector<TimedSetting> changes;  // in sample order
    size_t nextChange = 0;
    std::unique_ptr<host::Module> module;
    int32_t midiIn;
    int32_t midiOut;
    const host::PinDeclaration* clock;   // null for modules without one
    const host::PinDeclaration* enable;  // likewise
    notes::Sounding inputHeld;           // what the module's input holds, for a gated enable
    notes::Sounding output;              // what the module leaves sounding
};

std::vector<TimedSetting> timedChanges(const ChainStage& stage, const TimeMap& timeMap, int32_t sampleRate)
{
    std::vector<TimedSetting> timed;
    for (const SettingChange& change : stage.changes) {
        const int64_t sample = timeMap.sampleAt(change.beat * timeMap.ticksPerQuarter(), sampleRate);
        for (const Setting& setting : change.settings)
            timed.push_back({sample, setting});
    }
    return timed;
}

void addValue(const ChainStage& stage, int32_t stamp, const Setting& setting, host::EventList& events)
{
    if (stage.module->pin(setting.pin)->kind == host::PinKind::boolIn)
        events.boolValue(stamp, setting.pin, setting.value != 0);
    else
        events.value(stamp, setting.pin, setting.value);
}

std::unique_ptr<host::Module> createModule(host::ModuleLibrary& library, std::string_view identifier)
{
    try {
        return library.create(host::toU16(identifier));
    } catch (const std::runtime_error& problem) {
        throw std::runtime_error(std::string(identifier) + " is not in the module library: " + problem.what());
    }
}

class ChainRenderer {
public:
    ChainRenderer(host::ModuleLibrary& library, const Chain& chain, const TimeMap& timeMap,
                  const RenderOptions& options);

    // One block from sample `start`: `incoming` goes to the first module, and the last
    // module's output is appended to `output`.
    void runBlock(int64_t start, std::vector<TimedMessage> incoming, std::vector<TimedMessage>& output);
    // No module leaves a note sounding.
    bool quiet() const;

private:
    std::vector<TimedMessage> runStage(Stage& stage, int64_t start, const std::vector<TimedMessage>& incoming);
    void addStartEvents(const Stage& stage, host::EventList& events) const;
    void addEvents(Stage& stage, int64_t start, const std::vector<TimedMessage>& incoming,
                   host::EventList& events) const;
    void followHeldNotes(Stage& stage, int64_t start, const std::vector<TimedMessage>& incoming) const;

    RenderOptions options;
    std::vector<Stage> stages;
    StepClock clock;
    std::vector<float> clockSamples;  // the clock over the current block, shared by every module
    bool firstBlock = true;
};

ChainRenderer::ChainRenderer(host::ModuleLibrary& library, const Chain& chain, const TimeMap& timeMap,
                             const RenderOptions& renderOptions)
    : options(renderOptions),
      clock(timeMap, options.sampleRate, options.stepsPerBeat),
      clockSamples(static_cast<size_t>(options.blockSize))
{
    stages.reserve(chain.size());
    for (const ChainStage& written : chain) {
        const host::ModuleDeclaration& module = *written.module;
        Stage& stage = stages.emplace_back(Stage{written, timedChanges(written, timeMap, options.sampleRate), 0,
                                                 createModule(library, module.identifier),
                                                 module.firstPinOf(host::PinKind::midiIn)->number,
                                                 module.firstPinOf(host::PinKind::midiOut)->number,
                                                 module.pin("clock"), module.pin("enable"), {}, {}});
        for (const host::PinDeclaration& pin : module.pins)
            if (pin.kind == host::PinKind::audioIn)
                stage.module->attachAudio(pin.number, clockSamples.size());
        if (stage.enable != nullptr && options.enable == EnableMode::always)
            std::ranges::fill(stage.module->audio(stage.enable->number), 1.0f);
    }
}

void ChainRenderer::runBlock(int64_t start, std::vector<TimedMessage> incoming, std::vector<TimedMessage>& output)
{
    clock.fill(start, clockSamples);
    for (Stage& stage : stages)
        incoming = runStage(stage, start, incoming);
    firstBlock = false;
    output.insert(output.end(), std::make_move_iterator(incoming.begin()), std::make_move_iterator(incoming.end()));
}

bool ChainRenderer::quiet() const
{
    return std::none_of(stages.begin(), stages.end(), [](const Stage& stage) { return stage.output.any(); });
}

// The settings arrive as value events, the audio inputs start streaming and the graph
// starts, all at the first sample, as a host starts a patch.
void ChainRenderer::addStartEvents(const Stage& stage, host::EventList& events) const
{
    for (const Setting& setting : stage.chainStage.settings)
        addValue(stage.chainStage, 0, setting, events);
    for (const host::PinDeclaration& pin : stage.chainStage.module->pins)
        if (pin.kind == host::PinKind::audioIn)
            events.streamStart(0, pin.number);
    events.graphStart(0);
}

// The block's MIDI and the setting changes that fall in it, in time order; at one sample
// the changes come first, as at the start.
void ChainRenderer::addEvents(Stage& stage, int64_t start, const std::vector<TimedMessage>& incoming,
                              host::EventList& events) const
{
    const auto addChangesBefore = [&](int64_t end) {
        for (; stage.nextChange < stage.changes.size() && stage.changes[stage.nextChange].sample < end;
             ++stage.nextChange) {
            const TimedSetting& change = stage.changes[stage.nextChange];
            addValue(stage.chainStage, static_cast<int32_t>(change.sample - start), change.setting, events);
        }
    };
    for (const TimedMessage& message : incoming) {
        addChangesBefore(message.sample + 1);
        events.midi(static_cast<int32_t>(message.sample - start), stage.midiIn, message.bytes);
    }
    addChangesBefore(start + options.blockSize);
}

void ChainRenderer::followHeldNotes(Stage& stage, int64_t start, const std::vector<TimedMessage>& incoming) const
{
    const std::span<float> level = stage.module->audio(stage.enable->number);
    size_t next = 0;
    for (size_t i = 0; i < level.size(); ++i) {
        for (; next < incoming.size() && incoming[next].sample - start <= static_cast<int64_t>(i); ++next)
            stage.inputHeld.apply(incoming[next].bytes);
        level[i] = stage.inputHeld.any() ? 1.0f : 0.0f;
    }
}

std::vector<TimedMessage> ChainRenderer::runStage(Stage& stage, int64_t start,
                                                  const std::vector<TimedMessage>& incoming)
{
    host::EventList events;
    if (firstBlock)
        addStartEvents(stage, events);
    addEvents(stage, start, incoming, events);
    if (stage.clock != nullptr)
        std::ranges::copy(clockSamples, stage.module->audio(stage.clock->number).begin());
    if (stage.enable != nullptr && options.enable == EnableMode::heldNotes)
        followHeldNotes(stage, start, incoming);

    host::HostServices& services = stage.module->services();
    services.clear();
    stage.module->process(options.blockSize, events);

    // Positions come back as the module chose them; the next module gets them inside
    // the block and in time order, the order of sending kept at one position.
    std::vector<TimedMessage> sent;
    for (const host::HostServices::Call& call : services.calls()) {
        if (call.kind != host::HostServices::CallKind::pinData || call.pin != stage.midiOut || call.size == 0)
            continue;
        const auto bytes = services.bytesOf(call);
        const int32_t position = std::clamp(call.position, 0, options.blockSize - 1);
        sent.push_back({start + position, {bytes.begin(), bytes.end()}});
    }
    std::ranges::stable_sort(sent, {}, &TimedMessage::sample);
    for (const TimedMessage& message : sent)
        stage.output.apply(message.bytes);
    return sent;
}

}  // namespace

// The modules start two blocks ahead of the music: a module acts on its enable input two
// routine calls after it sees it, so an enable raised at the start counts by sample 0.
RenderResult renderChain(host::ModuleLibrary& library, const Chain& chain, const std::vector<TimedMessage>& input,
                         int64_t inputEnd, const TimeMap& timeMap, const RenderOptions& options)
{
    ChainRenderer renderer(library, chain, timeMap, options);
    const int64_t block = options.blockSize;
    const double tailTicks = double(tailBeats) * timeMap.ticksPerQuarter();
    const int64_t tailEnd =
        timeMap.sampleAt(timeMap.tickAtSample(inputEnd, options.sampleRate) + tailTicks, options.sampleRate);
    RenderResult result;
    size_t next = 0;
    for (int64_t start = -2 * block;; start += block) {
        std::vector<TimedMessage> incoming;
        for (; next < input.size() && input[next].sample < start + block; ++next)
            incoming.push_back(input[next]);
        renderer.runBlock(start, std::move(incoming), result.output);
        result.endSample = start + block;
        if (result.endSample > inputEnd && renderer.quiet())
            return result;
        if (result.endSample >= tailEnd) {
            result.quiet = false;
            return result;
        }
    }
}

bool libraryHas(host::ModuleLibrary& library, std::string_view identifier)
{
    try {
        library.create(host::toU16(identifier));
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}
