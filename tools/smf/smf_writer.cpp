// Writing a Standard MIDI File: channel messages with running status, one chunk a track.
#include <algorithm>

#include "smf.h"

namespace smf {
namespace {

constexpr uint32_t longestDelta = 0x0FFFFFFF;

void putBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void putVariableLength(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(groups[--count] | 0x80);
    out.push_back(groups[0]);
}

void putDelta(std::vector<uint8_t>& out, uint64_t from, uint64_t to)
{
    if (to < from)
        throw std::invalid_argument("event at tick " + std::to_string(to) + " follows one at tick " +
                                    std::to_string(from));
    if (to - from > longestDelta)
        throw std::invalid_argument("gap of " + std::to_string(to - from) + " ticks is too long for a file");
    putVariableLength(out, static_cast<uint32_t>(to - from));
}

// Appends one event; `runningStatus` is the status the reader will assume, 0 for none.
void putEvent(std::vector<uint8_t>& out, const Event& event, uint8_t& runningStatus)
{
    if (event.bytes.empty())
        throw std::invalid_argument("empty event at tick " + std::to_string(event.tick));
    const uint8_t status = event.bytes[0];
    if (event.isChannelMessage()) {
        if (!isCompleteChannelMessage(event.bytes))
            throw std::invalid_argument("malformed channel message at tick " + std::to_string(event.tick));
        if (status != runningStatus)
            out.push_back(status);
        runningStatus = status;
        out.insert(out.end(), event.bytes.begin() + 1, event.bytes.end());
        return;
    }
    const size_t prefix = status == metaStatus ? 2 : 1;
    if ((status != metaStatus && status != sysexStatus && status != escapeStatus) || event.bytes.size() < prefix ||
        (status == metaStatus && event.bytes[1] >= 0x80))
        throw std::invalid_argument("event at tick " + std::to_string(event.tick) + " cannot be stored in a file");
    out.insert(out.end(), event.bytes.begin(), event.bytes.begin() + static_cast<std::ptrdiff_t>(prefix));
    putVariableLength(out, static_cast<uint32_t>(event.bytes.size() - prefix));
    out.insert(out.end(), event.bytes.begin() + static_cast<std::ptrdiff_t>(prefix), event.bytes.end());
    runningStatus = 0;  // meta and system exclusive events cancel running status
}

std::vector<uint8_t> trackChunk(const Track& track)
{
    std::vector<uint8_t> body;
    uint64_t tick = 0;
    uint8_t runningStatus = 0;
    for (const Event& event : track.events) {
        if (event.isMeta(metaEndOfTrack))
            continue;  // the track's end is written once, last
        putDelta(body, tick, event.tick);
        tick = event.tick;
        putEvent(body, event, runningStatus);
    }
    putDelta(body, tick, std::max(tick, track.endTick));
    body.insert(body.end(), {metaStatus, metaEndOfTrack, 0});

    std::vector<uint8_t> chunk{'M', 'T', 'r', 'k'};
    putBigEndian(chunk, static_cast<uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

}  // namespace

std::vector<uint8_t> write(const File& file)
{
    if (file.format > 1 || (file.format == 0 && file.tracks.size() != 1))
        throw std::invalid_argument("a file of format " + std::to_string(file.format) + " cannot hold " +
                                    std::to_string(file.tracks.size()) + " tracks");
    if (file.tracks.size() > 0xFFFF || file.division == 0)
        throw std::invalid_argument("too many tracks or a division of 0");
    std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
    putBigEndian(out, 6, 4);
    putBigEndian(out, file.format, 2);
    putBigEndian(out, static_cast<uint32_t>(file.tracks.size()), 2);
    putBigEndian(out, file.division, 2);
    for (const Track& track : file.tracks) {
        const std::vector<uint8_t> chunk = trackChunk(track);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

}  // namespace smf
