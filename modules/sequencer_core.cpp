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

// The sounding notes get no note-offs of their own: the controller stands for them.
void SequencerCore::allNotesOff() noexcept
{
    keys.endAll(midiOut);
    soundingNotes.clear();
}

// A note that finds every slot taken is still played, but never released by itself.
void SequencerCore::playNote(uint8_t note, int32_t slot) noexcept
{
    midiOut.sendMidi(midi::noteMessage(midi::noteOn, keys.channel.channel(), note, stepVelocity), slot);
    soundingNotes.addToFirstEmpty(note);
}

void SequencerCore::releaseSoundingNotes() noexcept
{
    const uint8_t channel = keys.channel.channel();
    soundingNotes.releaseLeadingNotes([this, channel](int32_t note, int32_t slot) {
        midiOut.sendMidi(midi::noteMessage(midi::noteOff, channel, static_cast<uint8_t>(note), stepVelocity), slot);
    });
}

bool SequencerCore::changeState() noexcept
{
    if (levels.enableDelayed != running)
        startOrStop();
    if (levels.clockHigh) {
        if (levels.enableDelayed && !stepActive)
            return fire();
    } else if (stepActive) {
        clockFell();
    }
    return false;
}

// Called when the enable level differs from the running state.
void SequencerCore::startOrStop() noexcept
{
    running = levels.enableDelayed;
    stepIndex = 0;
    if (running) {
        stepActive = false;
    } else {
        stepOut.setValue(0, 0);
        releaseSoundingNotes();
    }
}

// Called when the clock is high while the sequencer is enabled and no step is active:
// one firing per high clock phase. Under tie, a step equal to the one before it keeps
// that step's notes sounding instead of playing; step 0 always plays.
bool SequencerCore::fire() noexcept
{
    stepActive = true;
    stepOut.setValue(stepIndex, 1);
    const int32_t value = stepValues[stepIndex];
    const bool continuesLastStep = tie && stepIndex != 0 && stepValues[lastStep] == value;
    lastStep = stepIndex;
    stepIndex = (stepIndex + 1) % stepCount;
    return !continuesLastStep;
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
