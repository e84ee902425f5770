// The keys held at the MIDI input of the arpeggiator and the sequencers. Note-ons and
// note-offs change the held keys; controller 123, and a message on a new channel, end
// them with an All Notes Off; any other message passes unchanged.
#pragma once

#include "channel_follower.h"
#include "midi_message.h"
#include "mp_pins.h"
#include "note_slots.h"

class HeldKeys {
public:
    // Keys fill from slot 0; 0 marks an empty slot, so key 0 is never held as a note.
    NoteSlots notes{};

    // Takes one message; `addKey(key)` stores the key of a note-on. Returns true when the
    // keys were ended, so that the module forgets what it played from them too.
    template <class AddKey>
    bool capture(midi::Message message, MidiOutPin& out, AddKey addKey) noexcept
    {
        const bool channelChanged = channel.follow(message, out);
        if (channelChanged)
            notes.clear();
        if (message.isNoteOn()) {
            addKey(message.note());
        } else if (message.isNoteOff()) {
            notes.removeAndCompact(message.note());
        } else if (message.isAllNotesOff()) {
            endAll(out);
            return true;
        } else {
            out.sendMidi(message.bytes, message.length, 0);
        }
        return channelChanged;
    }

    // Sends All Notes Off on the keys' channel and forgets them.
    void endAll(MidiOutPin& out) noexcept
    {
        channel.sendAllNotesOff(out);
        notes.clear();
    }

    ChannelFollower channel;
};
