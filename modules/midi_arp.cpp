// MIDI_Arp: holds the notes played at its MIDI input in twelve slots and plays them back
// one per clock pulse while the enable input is high. Notes are kept as played, ascending
// or descending; the length input limits how many slots one cycle covers. Note messages
// only feed the store; every other message passes through.
#include <algorithm>

#include "clock_levels.h"
#include "held_keys.h"
#include "midi_message.h"
#include "mp_base2.h"
#include "mp_factory.h"
#include "note_slots.h"

namespace {

constexpr int32_t slotCount = NoteSlots::count;
constexpr uint8_t stepVelocity = 100;

enum NoteOrder : int32_t { asPlayed = 0, ascending = 1, descending = 2 };

}  // namespace

class MIDI_Arp final : public MpModule<MIDI_Arp> {
public:
    enum Pin : int32_t { midiInPin, midiOutPin, clockPin, enablePin, lengthPin, orderPin };

    MIDI_Arp()
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(clockPin, clockIn);
        bindPin(enablePin, enableIn);
        bindPin(lengthPin, lengthIn);
        bindPin(orderPin, orderIn);
        setProcessRoutine(&MIDI_Arp::processSpan);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override;
    void handlePinsChanged() noexcept override;

private:
    void processSpan(int32_t sampleCount) noexcept;
    void fireStep() noexcept;
    void releaseStep() noexcept;

    void insertNote(int32_t note) noexcept;

    MidiInPin midiIn;
    MidiOutPin midiOut;
    AudioInPin clockIn;
    AudioInPin enableIn;
    IntInPin lengthIn;
    IntInPin orderIn;

    // The store: occupied slots form a prefix, except after a note-on for note 0 in
    // ascending order, which leaves slot 0 empty until the next note-off.
    HeldKeys keys;
    int32_t stepIndex = 0;          // slot the next step plays
    int32_t stepLimit = slotCount;  // 0 or below never matches, so it cycles over all notes
    int32_t noteOrder = asPlayed;   // any other code drops note-ons
    uint8_t currentNote = 0;        // of the latest step, 0 if silent; kept after its note-off
    ClockLevels levels;
    bool stepActive = false;  // a step fired and the clock has not fallen since
};

[[maybe_unused]] static const bool registered = registerModule(0, u"MIDI_Arp", &createInstance<MIDI_Arp>);

// Everything the module sends goes out at the start of the block; every outgoing note
// uses the channel of the latest message.
void MIDI_Arp::handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept
{
    keys.capture({bytes, length}, midiOut, [this](int32_t note) { insertNote(note); });
}

// Both inputs are copied here, so a note-on at the stamp of an order change is stored
// under the old order and then cleared with the rest of the store.
void MIDI_Arp::handlePinsChanged() noexcept
{
    if (lengthIn.wasChanged)
        stepLimit = std::min(lengthIn.value, slotCount);
    if (orderIn.wasChanged) {
        noteOrder = orderIn.value;
        keys.notes.clear();
    }
}

// A step needs the enable input high two spans before the one in which the clock is
// seen high. A sounding note keeps sounding until the clock falls.
void MIDI_Arp::processSpan(int32_t sampleCount) noexcept
{
    levels.readSpan(clockIn, enableIn, blockPosition, sampleCount);
    if (levels.clockHigh) {
        if (levels.enableDelayed && !stepActive)
            fireStep();
    } else if (stepActive) {
        if (!levels.enableDelayed)
            stepIndex = 0;  // disabled: the next enabled cycle starts again at slot 0
        releaseStep();
    }
}

// The limit is tested for equality only: lowered below the index, the steps run on to
// the first empty slot before starting again at slot 0.
void MIDI_Arp::fireStep() noexcept
{
    stepActive = true;
    if (stepIndex == stepLimit || keys.notes[stepIndex] == 0)
        stepIndex = 0;
    currentNote = static_cast<uint8_t>(keys.notes[stepIndex] & 0xFF);
    if (currentNote != 0)
        midiOut.sendMidi(midi::noteMessage(midi::noteOn, keys.channel.channel(), currentNote, stepVelocity), 0);
    stepIndex = stepIndex + 1 < slotCount ? stepIndex + 1 : 0;
}

void MIDI_Arp::releaseStep() noexcept
{
    stepActive = false;
    if (currentNote != 0)
        midiOut.sendMidi(midi::noteMessage(midi::noteOff, keys.channel.channel(), currentNote, 0), 0);
}

// Sorted orders: with twelve notes held the one that sorts last of the thirteen goes; a
// new note that ties with it is the one dropped, and equal notes keep the older first.
void MIDI_Arp::insertNote(int32_t note) noexcept
{
    if (noteOrder == asPlayed)
        keys.notes.addToFirstEmpty(note);
    else if (noteOrder == ascending)
        keys.notes.insertOrdered(note, [](int32_t added, int32_t held) { return added >= held; });
    else if (noteOrder == descending)
        keys.notes.insertOrdered(note, [](int32_t added, int32_t held) { return added <= held; });
}
