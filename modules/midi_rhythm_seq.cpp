// MIDI_RhythmSeq: a sixteen-step sequencer whose steps are gates. On each clocked step
// whose gate is on, every held key sounds unchanged for as long as the clock stays high.
#include "mp_base2.h"
#include "mp_factory.h"
#include "sequencer_core.h"

class MIDI_RhythmSeq final : public MpModule<MIDI_RhythmSeq> {
public:
    enum Pin : int32_t { midiInPin, midiOutPin, clockPin, enablePin, tiePin, stepPin, firstStepInPin };

    MIDI_RhythmSeq()
    {
        bindPin(midiInPin, midiIn);
        bindPin(midiOutPin, midiOut);
        bindPin(clockPin, clockIn);
        bindPin(enablePin, enableIn);
        bindPin(tiePin, tieIn);
        bindPin(stepPin, stepOut);
        for (int32_t step = 0; step < SequencerCore::stepCount; ++step)
            bindPin(firstStepInPin + step, stepIns[step]);
        setProcessRoutine(&MIDI_RhythmSeq::runSteps);
    }

    void handleMidi(int32_t, const uint8_t* bytes, int32_t length) noexcept override { core.handleMidi(bytes, length); }
    void handlePinsChanged() noexcept override;

private:
    void runSteps(int32_t sampleCount) noexcept
    {
        if (core.process(blockPosition, sampleCount))
            playStep(core.firedValue());
    }
    void playStep(int32_t gate) noexcept;

    MidiInPin midiIn;
    MidiOutPin midiOut;
    AudioInPin clockIn;
    AudioInPin enableIn;
    BoolInPin tieIn;
    IntOutPin stepOut;
    std::array<BoolInPin, SequencerCore::stepCount> stepIns;

    SequencerCore core{midiOut, clockIn, enableIn, stepOut};
};

[[maybe_unused]] static const bool registered = registerModule(0, u"MIDI_RhythmSeq", &createInstance<MIDI_RhythmSeq>);

// Switching tie ends every sounding note and forgets the held keys.
void MIDI_RhythmSeq::handlePinsChanged() noexcept
{
    core.takeChangedSteps(stepIns);
    if (tieIn.wasChanged) {
        core.setTie(tieIn.value != 0);
        core.allNotesOff();
    }
}

void MIDI_RhythmSeq::playStep(int32_t gate) noexcept
{
    if (gate == 0)
        return;
    core.playHeldKeys([](int32_t key) { return std::optional<uint8_t>(static_cast<uint8_t>(key)); });
}
