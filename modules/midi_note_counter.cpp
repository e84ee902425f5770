// MIDI_NoteCounter: passes a MIDI stream on while holding at most as many notes as its
// limit pin says (never more than twelve), and outputs the number of notes held.
// Note-ons beyond the limit and note-offs for notes not held are dropped.
#include <algorithm>
#include <array>

#include "midi_message.h"
#include "mp_base2.h"
#include "mp_factory.h"

class MIDI_NoteCounter final : public MpBase2 {
public:
    MIDI_NoteCounter()
    {
        bindPin(0, midiIn);
        bindPin(1, midiOut);
        bindPin(2, maxNotesIn);
        bindPin(3, noteCountOut);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) override;

private:
    static constexpr int32_t slotCount = 12;

    void followChannel(midi::Message message);
    void holdNote(midi::Message message);
    void releaseNote(midi::Message message);
    void releaseAllNotes();
    void recountHeldNotes();
    void pass(midi::Message message) { midiOut.sendMidi(message.bytes, message.length, 0); }
    void sendAllNotesOff();

    MidiInPin midiIn;
    MidiOutPin midiOut;
    // Read directly at each note-on: a note-on that shares its stamp with a new limit
    // is judged against the new one.
    IntInPin maxNotesIn;
    IntOutPin noteCountOut;

    // Notes of all channels share the slots. 0 marks an empty slot, so note 0 is never
    // counted; a new note takes the lowest empty slot.
    std::array<int32_t, slotCount> heldNotes{};
    int8_t heldCount = 0;         // slots not empty
    uint8_t channel = 0;          // channel of the message being handled
    uint8_t previousChannel = 0;  // channel of the message before: All Notes Off goes there
};

[[maybe_unused]] static const bool registered =
    registerModule(0, u"MIDI_NoteCounter", &createInstance<MIDI_NoteCounter>);

// MIDI goes out at the block's start; the count goes out at this message's position,
// and only when it changed.
void MIDI_NoteCounter::handleMidi(int32_t, const uint8_t* bytes, int32_t length)
{
    const midi::Message message{bytes, length};
    followChannel(message);
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

// Every message, system messages included, sets the channel; a change ends the old
// channel's notes downstream but leaves them counted.
void MIDI_NoteCounter::followChannel(midi::Message message)
{
    channel = message.channel();
    if (channel != previousChannel) {
        sendAllNotesOff();
        previousChannel = channel;
    }
}

// Any velocity, 0 included, holds a note.
void MIDI_NoteCounter::holdNote(midi::Message message)
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
void MIDI_NoteCounter::releaseNote(midi::Message message)
{
    const auto slot = std::find(heldNotes.begin(), heldNotes.end(), int32_t{message.note()});
    if (slot == heldNotes.end())
        return;
    *slot = 0;
    pass(message);
    recountHeldNotes();
}

// A received All Notes Off, whatever its value byte, is answered with our own.
void MIDI_NoteCounter::releaseAllNotes()
{
    heldNotes.fill(0);
    recountHeldNotes();
    sendAllNotesOff();
}

void MIDI_NoteCounter::recountHeldNotes()
{
    heldCount = static_cast<int8_t>(slotCount - std::count(heldNotes.begin(), heldNotes.end(), 0));
}

void MIDI_NoteCounter::sendAllNotesOff()
{
    const auto notesOff = midi::allNotesOff(previousChannel);
    midiOut.sendMidi(notesOff.data(), static_cast<int32_t>(notesOff.size()), 0);
}
