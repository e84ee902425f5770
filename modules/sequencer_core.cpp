#include "sequencer_core.h"

#include "midi_message.h"

namespace {

constexpr uint8_t stepVelocity = 100;  // note-ons and note-offs alike

}  // namespace

SequencerCore::SequencerCore(MidiOutPin& output, const AudioInPin& clock, const AudioInPin& enable,
                             IntOutPin& stepNumber) noexcept
    : midiOut(output), clockIn(clock), enableIn(enable), stepOut(stepNumber)
{
}

// A thirteenth key is dropped; key 0 would mark an empty slot, so it is never held.
void SequencerCore::handleMidi(const uint8_t* bytes, int32_t length) noexcept
{
    if (keys.capture({bytes, length}, midiOut, [this](int32_t key) { addToFirstEmpty(keys.notes, key); }))
        soundingNotes.fill(0);
}

// The sounding notes get no note-offs of their own: the controller stands for them.
void SequencerCore::allNotesOff() noexcept
{
    keys.endAll(midiOut);
    soundingNotes.fill(0);
}

// A note that finds every slot taken is still played, but never released by itself.
void SequencerCore::playNote(uint8_t note, int32_t slot) noexcept
{
    midiOut.sendMidi(midi::noteMessage(midi::noteOn, keys.channel.channel(), note, stepVelocity), slot);
    addToFirstEmpty(soundingNotes, note);
}

void SequencerCore::releaseSoundingNotes() noexcept
{
    for (int32_t slot = 0; slot < noteSlots && soundingNotes[slot] > 0; ++slot) {
        const auto note = static_cast<uint8_t>(soundingNotes[slot]);
        midiOut.sendMidi(midi::noteMessage(midi::noteOff, keys.channel.channel(), note, stepVelocity), slot);
        soundingNotes[slot] = 0;
    }
}

// The enable level acts two calls after the span that shows it, the clock level in its
// own span.
std::optional<int32_t> SequencerCore::process(int32_t position, int32_t count) noexcept
{
    levels.readSpan(clockIn, enableIn, position, count);
    startOrStop();
    if (levels.clockHigh)
        return fire();
    if (stepActive)
        clockFell();
    return std::nullopt;
}

void SequencerCore::startOrStop() noexcept
{
    if (levels.enableDelayed && !running) {
        running = true;
        stepActive = false;
        stepIndex = 0;
    } else if (!levels.enableDelayed && running) {
        running = false;
        stepIndex = 0;
        stepOut.setValue(0, 0);
        releaseSoundingNotes();
    }
}

// One firing per high clock phase. Under tie, a step equal to the one before it keeps
// that step's notes sounding instead of playing; step 0 always plays.
std::optional<int32_t> SequencerCore::fire() noexcept
{
    if (!levels.enableDelayed || stepActive)
        return std::nullopt;
    stepActive = true;
    stepOut.setValue(stepIndex, 1);
    const int32_t value = stepValues[stepIndex];
    const bool continuesLastStep = tie && stepIndex != 0 && stepValues[lastStep] == value;
    lastStep = stepIndex;
    stepIndex = (stepIndex + 1) % stepCount;
    if (continuesLastStep)
        return std::nullopt;
    return value;
}

// Under tie, notes keep sounding into a next step of equal value. A fall ends the step
// whether or not the sequencer still runs.
void SequencerCore::clockFell() noexcept
{
    stepActive = false;
    if (!(tie && stepValues[stepIndex] == stepValues[lastStep]))
        releaseSoundingNotes();
}

std::optional<uint8_t> raisedNote(int32_t key, int32_t semitones) noexcept
{
    const auto note = static_cast<uint8_t>(static_cast<uint32_t>(key) + static_cast<uint32_t>(semitones));
    if (note >= 127)
        return std::nullopt;
    return note;
}
