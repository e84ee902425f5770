// The channel a module follows: the low four bits of every status byte, system messages
// included. A message on another channel first ends the notes of the channel before with
// an All Notes Off, at the block's start like everything these modules pass on.
#pragma once

#include <cstdint>

#include "midi_message.h"
#include "mp_pins.h"

class ChannelFollower {
public:
    // Takes the channel of `message`. On a change it first sends All Notes Off on the
    // channel before and returns true, so that the module forgets that channel's notes.
    bool follow(midi::Message message, MidiOutPin& out) noexcept
    {
        if (message.channel() == current)
            return false;
        sendAllNotesOff(out);
        current = message.channel();
        return true;
    }

    void sendAllNotesOff(MidiOutPin& out) const noexcept { out.sendMidi(midi::allNotesOff(current), 0); }
    uint8_t channel() const noexcept { return current; }

private:
    uint8_t current = 0;  // of the latest message
};
