#include "render_job.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct InputStream {
    std::vector<TimedMessage> messages;
    int64_t endSample;
    int releasedNotes;
};

// The file's channel messages. A note-on with velocity 0 is a note-off in a file; it is
// handed on as one, since the modules count every note-on as a note-on. Keys the file
// leaves held are released at its end, so that nothing plays on for ever.
InputStream inputStream(const smf::File& file, const TimeMap& timeMap, int32_t sampleRate)
{
    InputStream stream{{}, timeMap.sampleAt(double(smf::endTick(file)), sampleRate), 0};
    notes::Sounding held;
    for (smf::Event& event : smf::mergeTracks(file)) {
        if (!event.isChannelMessage())
            continue;
        if (notes::endsNote(event.bytes))
            event.bytes = {static_cast<uint8_t>(0x80 | (event.bytes[0] & 0x0F)), event.bytes[1], event.bytes[2]};
        held.apply(event.bytes);
        stream.messages.push_back({timeMap.sampleAt(double(event.tick), sampleRate), std::move(event.bytes)});
    }
    for (const auto& [channel, note] : held.list()) {
        stream.messages.push_back({stream.endSample, {static_cast<uint8_t>(0x80 | channel), note, 0}});
        ++stream.releasedNotes;
    }
    return stream;
}

// Messages a file cannot hold as channel messages travel in escape events, byte for byte.
smf::Event fileEvent(uint64_t tick, const std::vector<uint8_t>& message)
{
    if (smf::isCompleteChannelMessage(message))
        return {tick, message};
    smf::Event escaped{tick, {smf::escapeStatus}};
    escaped.bytes.insert(escaped.bytes.end(), message.begin(), message.end());
    return escaped;
}

smf::Track outputTrack(const RenderResult& result, const TimeMap& timeMap, int32_t sampleRate,
                       const std::string& name)
{
    smf::Track track;
    track.events.push_back(smf::textEvent(0, smf::metaTrackName, name));
    for (const TimeMap::TempoChange& change : timeMap.changes())
        track.events.push_back(smf::tempoEvent(change.tick, change.microsecondsPerQuarter));
    for (const TimedMessage& message : result.output) {
        const double tick = timeMap.tickAtSample(std::max<int64_t>(message.sample, 0), sampleRate);
        track.events.push_back(fileEvent(static_cast<uint64_t>(std::llround(tick)), message.bytes));
    }
    std::ranges::stable_sort(track.events, {}, &smf::Event::tick);
    track.endTick = track.events.back().tick;
    return track;
}

// Notes that the chain still sounded when the tail ran out end where the render ends.
int closeSoundingNotes(smf::Track& track, uint64_t endTick)
{
    notes::Sounding sounding;
    for (const smf::Event& event : track.events)
        sounding.apply(event.bytes);
    const auto stillSounding = sounding.list();
    for (const auto& [channel, note] : stillSounding)
        track.events.push_back({endTick, {static_cast<uint8_t>(0x80 | channel), note, 0}});
    return static_cast<int>(stillSounding.size());
}

std::string beats(double beat)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", beat);
    return text;
}

// A change after the input's end would come when the render may already be over.
void checkChangesWithin(const Chain& chain, uint64_t endTick, uint16_t ticksPerQuarter)
{
    const double endBeat = double(endTick) / ticksPerQuarter;
    for (const ChainStage& stage : chain)
        for (const SettingChange& change : stage.changes)
            if (change.beat > endBeat)
                throw std::runtime_error(std::string(stage.module->identifier) + " " + change.text + ": beat " +
                                         beats(change.beat) + " is after the input's end at beat " + beats(endBeat));
}

}  // namespace

std::string describeChain(const Chain& chain)
{
    std::string text;
    for (const ChainStage& stage : chain)
        text += (text.empty() ? "" : " | ") + stage.text;
    return text;
}

RenderedFile renderFile(host::ModuleLibrary& library, const smf::File& input, const Chain& chain,
                        const JobSettings& settings)
{
    if (input.usesSmpteTime())
        throw std::runtime_error("files timed in SMPTE frames are not supported, only ticks per quarter note");
    const int32_t rate = settings.options.sampleRate;
    const TimeMap timeMap =
        settings.tempo ? TimeMap::constant(input.division, *settings.tempo) : TimeMap::ofFile(input);
    const double inputSeconds = timeMap.secondsAt(double(smf::endTick(input)));
    if (inputSeconds > longestInput)
        throw std::runtime_error("the input lasts more than " + std::to_string(std::lround(longestInput / 60)) +
                                 " minutes, longer than midimod renders");
    checkChangesWithin(chain, smf::endTick(input), timeMap.ticksPerQuarter());
    const InputStream stream = inputStream(input, timeMap, rate);

    RenderResult result = renderChain(library, chain, stream.messages, stream.endSample, timeMap, settings.options);

    RenderedFile rendered;
    smf::Track track = outputTrack(result, timeMap, rate, "midimod: " + describeChain(chain));
    rendered.endTick = std::max(track.endTick, smf::endTick(input));
    if (!result.quiet) {
        rendered.endTick = std::max(rendered.endTick,
                                    static_cast<uint64_t>(std::llround(timeMap.tickAtSample(result.endSample, rate))));
        rendered.closedOutputNotes = closeSoundingNotes(track, rendered.endTick);
    }
    track.endTick = rendered.endTick;
    rendered.output = smf::File{0, input.division, {track}};
    rendered.inputNotes = notes::pairNotes(smf::mergeTracks(input), rendered.endTick);
    rendered.outputNotes = notes::pairNotes(track.events, rendered.endTick);
    rendered.releasedInputNotes = stream.releasedNotes;
    rendered.seconds = double(result.endSample) / rate;
    rendered.outputMessages = std::move(result.output);
    rendered.endSample = result.endSample;
    return rendered;
}
