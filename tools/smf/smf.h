// Standard MIDI Files (formats 0 and 1) in memory: tracks of events at absolute ticks.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace smf {

constexpr uint8_t metaStatus = 0xFF;
constexpr uint8_t sysexStatus = 0xF0;
constexpr uint8_t escapeStatus = 0xF7;
constexpr uint8_t metaTrackName = 0x03;
constexpr uint8_t metaEndOfTrack = 0x2F;
constexpr uint8_t metaTempo = 0x51;
constexpr uint32_t defaultTempo = 500000;  // microseconds per quarter note: 120 beats a minute

// One event of a track. `bytes` holds it as it travels in a MIDI stream:
// - channel message: status 0x80 to 0xEF, then its one or two data bytes;
// - meta event: 0xFF, the meta type, then the meta data;
// - system exclusive: 0xF0, then the bytes that follow it in the file;
// - escape: 0xF7, then bytes to be sent exactly as they are.
// End of track is not an event: a track's end is its `endTick`.
struct Event {
    uint64_t tick = 0;
    std::vector<uint8_t> bytes;

    bool isChannelMessage() const { return !bytes.empty() && bytes[0] >= 0x80 && bytes[0] < 0xF0; }
    bool isMeta(uint8_t type) const { return bytes.size() >= 2 && bytes[0] == metaStatus && bytes[1] == type; }
    bool operator==(const Event&) const = default;
};

struct Track {
    std::vector<Event> events;  // in tick order
    uint64_t endTick = 0;       // at or after the last event

    bool operator==(const Track&) const = default;
};

struct File {
    uint16_t format = 1;
    uint16_t division = 480;  // ticks per quarter note, unless bit 15 marks SMPTE time
    std::vector<Track> tracks;

    bool usesSmpteTime() const { return (division & 0x8000) != 0; }
    bool operator==(const File&) const = default;
};

// A file that is not a Standard MIDI File, is cut short or holds bytes that no event can
// start with. The message says what and where (byte offset).
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a whole file from memory; never reads outside `data`. Running status is
// honoured; meta events and system exclusive are kept as they came; chunks other than
// tracks are skipped. Throws FormatError.
File read(std::span<const uint8_t> data);

// Encodes a file with running status. Throws std::invalid_argument for an event that a
// file cannot hold (a malformed channel message, ticks out of order, a gap too long).
std::vector<uint8_t> write(const File& file);

// Reads the file at `path`. Throws std::runtime_error when it cannot be read (missing,
// not a regular file, too large) and FormatError when its content is not valid.
File readFile(const std::string& path);

// Bytes of a channel message with status `status`, the status byte included: 2 or 3.
int channelMessageLength(uint8_t status);

// A channel message of its status's length whose data bytes are all below 0x80.
bool isCompleteChannelMessage(std::span<const uint8_t> bytes);

Event textEvent(uint64_t tick, uint8_t metaType, std::string_view text);
Event tempoEvent(uint64_t tick, uint32_t microsecondsPerQuarter);
// Microseconds per quarter note of a well-formed tempo event that is not 0.
std::optional<uint32_t> tempoOf(const Event& event);

// The events of every track in one list in tick order; at one tick, in track order.
std::vector<Event> mergeTracks(const File& file);
// The tick at which the last track ends.
uint64_t endTick(const File& file);

}  // namespace smf
