// Reading a Standard MIDI File: every read is checked against the end of its chunk.
#include <cstdio>
#include <string_view>

#include "smf.h"

namespace smf {
namespace {

std::string hexByte(uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

// Reads big-endian numbers and variable-length quantities from [position, end) of `data`.
class Cursor {
public:
    Cursor(std::span<const uint8_t> bytes, size_t start, size_t limit) : data(bytes), position(start), end(limit) {}

    size_t offset() const { return position; }
    bool atEnd() const { return position >= end; }
    size_t remaining() const { return end - position; }

    uint8_t peek(std::string_view what) const
    {
        require(1, what);
        return data[position];
    }
    uint8_t byte(std::string_view what)
    {
        const uint8_t value = peek(what);
        ++position;
        return value;
    }
    uint32_t bigEndian(int bytes, std::string_view what)
    {
        require(static_cast<size_t>(bytes), what);
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | data[position++];
        return value;
    }
    // At most four bytes, the last with bit 7 clear: values up to 0x0FFFFFFF.
    uint32_t variableLength(std::string_view what)
    {
        const size_t start = position;
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t next = byte(what);
            value = value << 7 | (next & 0x7F);
            if ((next & 0x80) == 0)
                return value;
        }
        throw FormatError("variable-length number longer than four bytes at byte " + std::to_string(start));
    }
    std::span<const uint8_t> take(size_t count, std::string_view what)
    {
        require(count, what);
        const auto bytes = data.subspan(position, count);
        position += count;
        return bytes;
    }

private:
    void require(size_t count, std::string_view what) const
    {
        if (count > remaining())
            throw FormatError("truncated: " + std::string(what) + " at byte " + std::to_string(position) +
                              " is cut short");
    }

    std::span<const uint8_t> data;
    size_t position;
    size_t end;
};

struct Header {
    uint16_t format;
    uint16_t trackCount;
    uint16_t division;
};

Header readHeader(Cursor& cursor)
{
    const auto magic = cursor.remaining() >= 4 ? cursor.take(4, "header") : std::span<const uint8_t>{};
    if (magic.size() != 4 || std::string_view(reinterpret_cast<const char*>(magic.data()), 4) != "MThd")
        throw FormatError("not a Standard MIDI File: it does not start with MThd");
    const uint32_t length = cursor.bigEndian(4, "header length");
    if (length < 6)
        throw FormatError("header length " + std::to_string(length) + " is shorter than 6 bytes");
    const Header header{static_cast<uint16_t>(cursor.bigEndian(2, "format")),
                        static_cast<uint16_t>(cursor.bigEndian(2, "track count")),
                        static_cast<uint16_t>(cursor.bigEndian(2, "division"))};
    cursor.take(length - 6, "header");
    if (header.format == 2)
        throw FormatError("format 2 (independent sequences) is not supported");
    if (header.format > 2)
        throw FormatError("unknown format " + std::to_string(header.format));
    if (header.format == 0 && header.trackCount != 1)
        throw FormatError("format 0 needs exactly one track, the header announces " +
                          std::to_string(header.trackCount));
    if (header.division == 0)
        throw FormatError("division of 0 ticks per quarter note");
    return header;
}

// The events of one track chunk. Running status carries across meta and system exclusive
// events, as many writers expect, although they should cancel it.
Track readTrack(Cursor cursor)
{
    Track track;
    uint64_t tick = 0;
    uint8_t runningStatus = 0;
    while (!cursor.atEnd()) {
        tick += cursor.variableLength("delta time");
        const size_t start = cursor.offset();
        uint8_t status = cursor.peek("event");
        if (status < 0x80) {
            if (runningStatus == 0)
                throw FormatError("data byte " + hexByte(status) + " without a status byte at byte " +
                                  std::to_string(start));
            status = runningStatus;
        } else {
            cursor.byte("event");
        }
        Event event{tick, {status}};
        if (status < 0xF0) {
            runningStatus = status;
            for (int i = 1; i < channelMessageLength(status); ++i) {
                const uint8_t data = cursor.byte("channel message");
                if (data >= 0x80)
                    throw FormatError("status byte " + hexByte(data) + " inside a channel message at byte " +
                                      std::to_string(cursor.offset() - 1));
                event.bytes.push_back(data);
            }
        } else if (status == metaStatus) {
            const uint8_t type = cursor.byte("meta event");
            const auto data = cursor.take(cursor.variableLength("meta event length"), "meta event");
            if (type == metaEndOfTrack) {
                track.endTick = tick;
                return track;
            }
            event.bytes.push_back(type);
            event.bytes.insert(event.bytes.end(), data.begin(), data.end());
        } else if (status == sysexStatus || status == escapeStatus) {
            const auto data = cursor.take(cursor.variableLength("system exclusive length"), "system exclusive");
            event.bytes.insert(event.bytes.end(), data.begin(), data.end());
        } else {
            throw FormatError("status " + hexByte(status) + " cannot start an event in a file, at byte " +
                              std::to_string(start));
        }
        track.events.push_back(std::move(event));
    }
    track.endTick = tick;  // no end-of-track event: the chunk's end is the track's end
    return track;
}

}  // namespace

File read(std::span<const uint8_t> data)
{
    Cursor cursor(data, 0, data.size());
    const Header header = readHeader(cursor);
    File file{header.format, header.division, {}};
    while (file.tracks.size() < header.trackCount) {
        if (cursor.remaining() < 8)
            throw FormatError("truncated: the header announces " + std::to_string(header.trackCount) +
                              " tracks, the file holds " + std::to_string(file.tracks.size()));
        const auto id = cursor.take(4, "chunk");
        const uint32_t length = cursor.bigEndian(4, "chunk length");
        if (length > cursor.remaining())
            throw FormatError("truncated: chunk " + std::to_string(file.tracks.size() + 1) + " declares " +
                              std::to_string(length) + " bytes, " + std::to_string(cursor.remaining()) +
                              " follow");
        if (std::string_view(reinterpret_cast<const char*>(id.data()), 4) == "MTrk")
            file.tracks.push_back(readTrack(Cursor(data, cursor.offset(), cursor.offset() + length)));
        cursor.take(length, "chunk");
    }
    return file;
}

}  // namespace smf
