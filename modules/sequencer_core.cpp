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
    soundingNotes.releaseLeadingNotes([this](int32_t note, int32_t slot) {
        const auto noteOff = midi::noteMessage(midi::noteOff, keys.channel.channel(), static_cast<uint8_t>(note), stepVelocity);
        midiOut.sendMidi(noteOff, slot);
    });
}

std::optional<uint8_t> raisedNote(int32_t key, int32_t semitones) noexcept
{
    const auto note = static_cast<uint8_t>(static_cast<uint32_t>(key) + static_cast<uint32_t>(semitones));
    if (note >= 127)
        return std::nullopt;
    return note;
}
