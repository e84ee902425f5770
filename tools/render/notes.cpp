#include "notes.h"

#include <algorithm>

namespace notes {
namespace {

uint8_t typeOf(std::span<const uint8_t> message) { return message[0] & 0xF0; }
uint8_t channelOf(std::span<const uint8_t> message) { return message[0] & 0x0F; }
// Note messages with a note number a stream can carry.
bool isNote(std::span<const uint8_t> message)
{
    return message.size() >= 3 && (typeOf(message) == 0x80 || typeOf(message) == 0x90) && message[1] < 128;
}

}  // namespace

bool startsNote(std::span<const uint8_t> message)
{
    return isNote(message) && typeOf(message) == 0x90 && message[2] != 0;
}

bool endsNote(std::span<const uint8_t> message)
{
    return isNote(message) && !startsNote(message);
}

bool endsAllNotes(std::span<const uint8_t> message)
{
    return message.size() >= 3 && typeOf(message) == 0xB0 && message[1] == 123;
}

void Sounding::apply(std::span<const uint8_t> message)
{
    if (startsNote(message)) {
        ++count[channelOf(message)][message[1]];
        ++total;
    } else if (endsNote(message)) {
        uint16_t& held = count[channelOf(message)][message[1]];
        if (held > 0) {
            --held;
            --total;
        }
    } else if (endsAllNotes(message)) {
        for (uint16_t& held : count[channelOf(message)]) {
            total -= held;
            held = 0;
        }
    }
}

std::vector<std::pair<uint8_t, uint8_t>> Sounding::list() const
{
    std::vector<std::pair<uint8_t, uint8_t>> result;
    for (uint8_t channel = 0; channel < 16; ++channel)
        for (uint8_t note = 0; note < 128; ++note)
            result.insert(result.end(), count[channel][note], {channel, note});
    return result;
}

std::vector<Note> pairNotes(std::span<const smf::Event> events, uint64_t endTick)
{
    std::vector<Note> result;
    std::vector<size_t> open;  // indices into result of notes not yet ended, oldest first
    auto close = [&](auto matches, uint64_t tick, bool firstOnly) {
        for (auto index = open.begin(); index != open.end();) {
            if (!matches(result[*index])) {
                ++index;
                continue;
            }
            result[*index].end = tick;
            index = open.erase(index);
            if (firstOnly)
                return;
        }
    };
    for (const smf::Event& event : events) {
        const std::span<const uint8_t> message = event.bytes;
        if (startsNote(message)) {
            open.push_back(result.size());
            result.push_back({event.tick, endTick, channelOf(message), message[1], message[2]});
        } else if (endsNote(message)) {
            close([&](const Note& note) { return note.channel == channelOf(message) && note.pitch == message[1]; },
                  event.tick, true);
        } else if (endsAllNotes(message)) {
            close([&](const Note& note) { return note.channel == channelOf(message); }, event.tick, false);
        }
    }
    for (size_t index : open)
        result[index].end = std::max(endTick, result[index].start);
    return result;
}

}  // namespace notes
