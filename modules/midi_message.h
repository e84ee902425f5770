// Reading and building MIDI messages without ever reading past a message's length.
#pragma once

#include <array>
#include <cstdint>

namespace midi {

constexpr uint8_t noteOff = 0x80;
constexpr uint8_t noteOn = 0x90;
constexpr uint8_t controlChange = 0xB0;
constexpr uint8_t systemMessage = 0xF0;
constexpr uint8_t allNotesOffController = 123;

using ShortMessage = std::array<uint8_t, 3>;

// One incoming message: a status byte and `length` bytes in all (at least 1; the frame
// delivers no empty message).
struct Message {
    const uint8_t* bytes;
    int32_t length;

    uint8_t status() const noexcept { return bytes[0]; }
    uint8_t type() const noexcept { return status() & 0xF0; }
    // The low four bits of the status byte, for every message, system messages included.
    uint8_t channel() const noexcept { return status() & 0x0F; }
    // Status bytes 0x80 to 0xEF: messages of one channel.
    bool isChannelMessage() const noexcept { return status() >= noteOff && status() < systemMessage; }
    // A note-on or a note-off, whatever its length.
    bool isNote() const noexcept { return (status() & 0xE0) == noteOff; }
    // Note messages long enough to hold their note number.
    bool isNoteOn() const noexcept { return type() == noteOn && length >= 2; }
    bool isNoteOff() const noexcept { return type() == noteOff && length >= 2; }
    uint8_t note() const noexcept { return bytes[1]; }
    // Controller 123, whatever its value byte.
    bool isAllNotesOff() const noexcept
    {
        return type() == controlChange && length >= 2 && bytes[1] == allNotesOffController;
    }
};

inline ShortMessage allNotesOff(uint8_t channel) noexcept
{
    return {static_cast<uint8_t>(controlChange | channel), allNotesOffController, 0};
}

inline ShortMessage noteMessage(uint8_t type, uint8_t channel, uint8_t note, uint8_t velocity) noexcept
{
    return {static_cast<uint8_t>(type | channel), note, velocity};
}

}  // namespace midi
