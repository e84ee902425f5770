// MIDI_SemiSeq: a sixteen-step sequencer whose steps are semitone offsets. On each
// clocked step the held keys sound raised by the step's offset, 0 to 126; any other
// value makes the step a rest.
#include "mp_base2.h"
#include "mp_factory.h"
#include "sequencer_core.h"

class MIDI_SemiSeq final : public MpModule<MIDI_SemiSeq> {
public:
    enum Pin : int32_t { midiInPin, midiOutPin, clockPin, enablePin, tiePin, stepPin, firstStepInPin };

    MIDI_SemiSeq()
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(clockPin, clockIn);
        bindPin(enablePin, enableIn);
        bindPin(tiePin, tieIn);
        bindPin(stepPin, stepOut);
        for (int32_t step = 0; step < SequencerCore::stepCount; ++step)
            bindPin(firstStepInPin + step, stepIns[step]);
        setProcessRoutine(&MIDI_SemiSeq::runSteps);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override { core.handleMidi(bytes, length); }
    void handlePinsChanged() noexcept override;

private:
    static constexpr uint32_t highestOffset = 126;

    void runSteps(int32_t sampleCount) noexcept
    {
        if (core.process(blockPosition, sampleCount))
            playStep(core.firedValue());
    }
    void playStep(int32_t offset) noexcept;

    MidiInPin midiIn;
    MidiOutPin midiOut;
    AudioInPin clockIn;
    AudioInPin enableIn;
    BoolInPin tieIn;
    IntOutPin stepOut;
    std::array<IntInPin, SequencerCore::stepCount> stepIns;

    SequencerCore core{midiOut, clockIn, enableIn, stepOut};
};

[[maybe_unused]] static const bool registered = registerModule(0, u"MIDI_SemiSeq", &createInstance<MIDI_SemiSeq>);

// Switching tie sends nothing: sounding notes wait for the next release the steps call for.
void MIDI_SemiSeq::handlePinsChanged() noexcept
{
    core.takeChangedSteps(stepIns);
    if (tieIn.wasChanged)
        core.setTie(tieIn.value != 0);
}

// Negative offsets, read unsigned, are rests too.
void MIDI_SemiSeq::playStep(int32_t offset) noexcept
{
    if (static_cast<uint32_t>(offset) > highestOffset)
        return;
    core.playHeldKeys([offset](int32_t key) { return raisedNote(key, offset); });
}
