// What the three sixteen-step sequencers share: capture of the keys held at the MIDI
// input with channel tracking, the bookkeeping and release of the notes a step sent, and
// the step engine driven by the clock and enable inputs. A sequencer holds one core after
// its pins, feeds it its step values and tie setting, and decides only what a firing
// step plays.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "clock_levels.h"
#include "held_keys.h"
#include "mp_pins.h"
#include "note_slots.h"

class SequencerCore {
public:
    static constexpr int32_t stepCount = 16;

    SequencerCore(MidiOutPin& output, const AudioInPin& clock, const AudioInPin& enable,
                  IntOutPin& stepNumber) noexcept;
    SequencerCore(const SequencerCore&) = delete;  // holds its module's pins
    SequencerCore& operator=(const SequencerCore&) = delete;

    // Held-key capture (see HeldKeys); ending the held keys also forgets the sounding notes.
    void handleMidi(const uint8_t* bytes, int32_t length) noexcept;

    // The step engine over `count` samples from `position`. True when a step fired in this
    // span that is to be played: the module plays firedValue().
    bool process(int32_t position, int32_t count) noexcept;
    int32_t firedValue() const noexcept { return stepValues[lastStep]; }

    // Takes the values of the step inputs that changed at this stamp.
    template <class StepPin>
    void takeChangedSteps(const std::array<StepPin, stepCount>& stepIns) noexcept
    {
        for (int32_t step = 0; step < stepCount; ++step)
            if (stepIns[step].wasChanged)
                stepValues[step] = stepIns[step].value;
    }
    void setTie(bool joinEqualSteps) noexcept { tie = joinEqualSteps; }

    // Sends All Notes Off on the channel of the held keys and forgets held and sounding notes.
    void allNotesOff() noexcept;

    // Plays the held keys, oldest first: each as the note `noteFor(key)` gives, at the
    // block position of the key's slot, or not at all when it gives nothing.
    template <class NoteFor>
    void playHeldKeys(NoteFor noteFor) noexcept
    {
        for (int32_t slot = 0; slot < NoteSlots::count && keys.notes[slot] > 0; ++slot)
            if (const std::optional<uint8_t> note = noteFor(keys.notes[slot]))
                playNote(*note, slot);
    }

private:
    void playNote(uint8_t note, int32_t slot) noexcept;
    void releaseSoundingNotes() noexcept;
    // What process does when the sequencer starts or stops, or a step fires or ends.
    bool changeState() noexcept;
    void startOrStop() noexcept;
    bool fire() noexcept;
    void clockFell() noexcept;

    MidiOutPin& midiOut;
    const AudioInPin& clockIn;
    const AudioInPin& enableIn;
    IntOutPin& stepOut;

    ClockLevels levels;  // enableDelayed starts and stops the sequencer
    bool running = false;
    bool stepActive = false;      // a step fired and the clock has not been seen low since
    HeldKeys keys;              // oldest first; their channel is the one every note goes out on
    NoteSlots soundingNotes{};  // notes sent by steps and not yet released, same layout
    // Gate bytes widen to 32 bits without loss, so every sequencer keeps its values here
    // and the tie rule compares them as they came.
    std::array<int32_t, stepCount> stepValues{};
    int32_t stepIndex = 0;  // step the next firing plays
    int32_t lastStep = 0;   // step the latest firing played
    bool tie = false;       // neighbouring steps of equal value sound as one
};

// The per-message and per-span work, inline so that each sequencer compiles it into its
// MIDI handler and its routine.

// A thirteenth key is dropped; key 0 would mark an empty slot, so it is never held.
inline void SequencerCore::handleMidi(const uint8_t* bytes, int32_t length) noexcept
{
    if (keys.capture({bytes, length}, midiOut, [this](int32_t key) { keys.notes.addToFirstEmpty(key); }))
        soundingNotes.clear();
}

// The enable level acts two calls after the span that shows it, the clock level in its
// own span. changeState acts only when the enable level differs from the running state,
// or a step is to fire (clock high, enabled, none active) or to end (clock low, one
// active): most spans do neither and only read the levels.
inline bool SequencerCore::process(int32_t position, int32_t count) noexcept
{
    levels.readSpan(clockIn, enableIn, position, count);
    const bool stepEdge = levels.clockHigh ? levels.enableDelayed && !stepActive : stepActive;
    if (levels.enableDelayed == running && !stepEdge)
        return false;
    return changeState();
}

// `key` raised by `semitones` as an 8-bit sum; nothing when that reaches 127, as the
// shifting sequencers play only notes up to 126.
std::optional<uint8_t> raisedNote(int32_t key, int32_t semitones) noexcept;
