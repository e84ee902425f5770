// MIDI_NoteCounter: passes a MIDI stream on while holding at most as many notes as its
// limit pin says (never more than twelve), and outputs the number of notes held.
// Note-ons beyond the limit and note-offs for notes not held are dropped.
#include <algorithm>
#include <array>

#include "channel_follower.h"
#include "mp_base2.h"
#include "mp_factory.h"

class MIDI_NoteCounter final : public MpModule<MIDI_NoteCounter> {
public:
    enum Pin : int32_t { midiInPin, midiOutPin, maxNotesPin, noteCountPin };

    MIDI_NoteCounter()
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(maxNotesPin, maxNotesIn);
        bindPin(noteCountPin, noteCountOut);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override;

private:
    static constexpr int32_t slotCount = 12;

    void holdNote(midi::Message message) noexcept;
    void releaseNote(midi::Message message) noexcept;
    void releaseAllNotes() noexcept;
    void recountHeldNotes() noexcept;
    void pass(midi::Message message) noexcept { midiOut.sendMidi(message.bytes, message.length, 0); }

    MidiInPin midiIn;
    MidiOutPin midiOut;
    // Read directly at each note-on: a note-on that shares its stamp with a new limit
    // is judged against the new one.
    IntInPin maxNotesIn;
    IntOutPin noteCountOut;

    // Notes of all channels share the slots. 0 marks an empty slot, so note 0 is never
    // counted; a new note takes the lowest empty slot.
    std::array<int32_t, slotCount> heldNotes{};
    int8_t heldCount = 0;     // slots not empty
    ChannelFollower channel;  // All Notes Off goes to the channel of the message before
};

[[maybe_unused]] static const bool registered =
    registerModule(0, u"MIDI_NoteCounter", &createInstance<MIDI_NoteCounter>);

// MIDI goes out at the block's start; the count goes out at this message's position,
// and only when it changed. A change of channel ends the old channel's notes
// downstream but leaves them counted.
void MIDI_NoteCounter::handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept
{
    const midi::Message message{bytes, length};
    channel.follow(message, midiOut);
    if (message.isNoteOn())
        holdNote(message);
    else if (message.isNoteOff())
        releaseNote(message);
    else if (message.isAllNotesOff())
        releaseAllNotes();
    else
        pass(message);
    noteCountOut.setValue(heldCount);
}

// Any velocity, 0 included, holds a note.
void MIDI_NoteCounter::holdNote(midi::Message message) noexcept
{
    if (heldCount >= maxNotesIn.value)
        return;
    const auto slot = std::find(heldNotes.begin(), heldNotes.end(), 0);
    if (slot == heldNotes.end())
        return;
    *slot = message.note();
    pass(message);
    recountHeldNotes();
}

// A note-off for note 0 finds an empty slot, so it passes whenever a slot is free.
void MIDI_NoteCounter::releaseNote(midi::Message message) noexcept
{
    const auto slot = std::find(heldNotes.begin(), heldNotes.end(), int32_t{message.note()});
    if (slot == heldNotes.end())
        return;
    *slot = 0;
    pass(message);
    recountHeldNotes();
}

// A received All Notes Off, whatever its value byte, is answered with our own.
void MIDI_NoteCounter::releaseAllNotes() noexcept
{
    heldNotes.fill(0);
    recountHeldNotes();
    channel.sendAllNotesOff(midiOut);
}

void MIDI_NoteCounter::recountHeldNotes() noexcept
{
    heldCount = static_cast<int8_t>(slotCount - std::count(heldNotes.begin(), heldNotes.end(), 0));
}
