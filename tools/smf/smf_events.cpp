// Helpers on events and files that reading, writing and rendering share.
#include <algorithm>

#include "smf.h"

namespace smf {

int channelMessageLength(uint8_t status)
{
    const uint8_t type = status & 0xF0;
    return type == 0xC0 || type == 0xD0 ? 2 : 3;
}

bool isCompleteChannelMessage(std::span<const uint8_t> bytes)
{
    return !bytes.empty() && bytes[0] >= 0x80 && bytes[0] < 0xF0 &&
           bytes.size() == static_cast<size_t>(channelMessageLength(bytes[0])) &&
           std::all_of(bytes.begin() + 1, bytes.end(), [](uint8_t data) { return data < 0x80; });
}

Event textEvent(uint64_t tick, uint8_t metaType, std::string_view text)
{
    Event event{tick, std::vector<uint8_t>(2 + text.size())};
    event.bytes[0] = metaStatus;
    event.bytes[1] = metaType;
    std::copy(text.begin(), text.end(), event.bytes.begin() + 2);
    return event;
}

Event tempoEvent(uint64_t tick, uint32_t microsecondsPerQuarter)
{
    return {tick, {metaStatus, metaTempo, static_cast<uint8_t>(microsecondsPerQuarter >> 16),
                   static_cast<uint8_t>(microsecondsPerQuarter >> 8), static_cast<uint8_t>(microsecondsPerQuarter)}};
}

std::optional<uint32_t> tempoOf(const Event& event)
{
    if (!event.isMeta(metaTempo) || event.bytes.size() != 5)
        return std::nullopt;
    const uint32_t tempo = uint32_t{event.bytes[2]} << 16 | uint32_t{event.bytes[3]} << 8 | event.bytes[4];
    return tempo != 0 ? std::optional(tempo) : std::nullopt;
}

std::vector<Event> mergeTracks(const File& file)
{
    std::vector<Event> events;
    for (const Track& track : file.tracks)
        events.insert(events.end(), track.events.begin(), track.events.end());
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });
    return events;
}

uint64_t endTick(const File& file)
{
    uint64_t end = 0;
    for (const Track& track : file.tracks)
        end = std::max({end, track.endTick, track.events.empty() ? 0 : track.events.back().tick});
    return end;
}

}  // namespace smf
