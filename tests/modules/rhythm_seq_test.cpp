// MIDI_RhythmSeq through the stand-in host: sixteen gates over the held keys.
#include <gtest/gtest.h>

#include "sequencer_driver.h"

namespace {

using namespace sequencer;

constexpr int32_t tieIn = 4;

class RhythmSeq : public ::testing::Test {
protected:
    Driver seq{u"MIDI_RhythmSeq", 5, 6};

    // A gate as the host's boolean pin may carry it: any byte, not only 0 and 1.
    void setGateByte(int32_t step, uint8_t byte)
    {
        gmpi::HostEvent event{};
        event.type = gmpi::eventPinValue;
        event.pinNumber = seq.firstStepIn + step;
        event.size = 1;
        event.inlineData[0] = byte;
        seq.harness.events.raw(event);
    }
    static Outputs chord(PinData (*message)(int32_t, uint8_t, uint8_t))
    {
        return {message(0, 60, 0), message(1, 64, 0), message(2, 67, 0)};
    }
};

TEST_F(RhythmSeq, GatesChooseTheStepsThatPlay)
{
    seq.setSteps({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
    seq.press({60, 64, 67});
    seq.start();
    for (int32_t step = 0; step < 16; ++step) {
        const Outputs notes = ModuleHarness::on(midiOut, seq.pulse());
        EXPECT_EQ(notes, step % 4 == 0 ? chord(noteOn) + chord(noteOff) : Outputs{}) << "step " << step;
    }
}

TEST_F(RhythmSeq, TieComparesTheGateBytesThemselves)
{
    setGateByte(0, 1);
    setGateByte(1, 2);  // open as well, yet a different step
    seq.setTie(tieIn, true);
    seq.start();
    seq.press({60});
    EXPECT_EQ(ModuleHarness::on(midiOut, seq.pulses(2)),
              (Outputs{noteOn(0, 60), noteOff(0, 60), noteOn(0, 60), noteOff(0, 60)}));
}

// With every gate open, step 0 follows an equal step 15 yet plays again: its copies pile
// up unreleased until the list of sounding notes is full, and later copies are not kept.
TEST_F(RhythmSeq, TieAcrossTheCycleRestrikesStepZeroAndStopReleasesEveryKeptCopy)
{
    seq.setSteps({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    seq.setTie(tieIn, true);
    seq.start();
    seq.press({60, 64, 67});  // after the tie change, which forgets held keys
    for (int cycle = 0; cycle < 5; ++cycle)
        EXPECT_EQ(ModuleHarness::on(midiOut, seq.pulses(16)), chord(noteOn)) << "cycle " << cycle;
    Outputs released{seq.step(0, 0)};
    for (int32_t copy = 0; copy < 4; ++copy)
        for (PinData note : chord(noteOff)) {
            note.position += 3 * copy;
            released.push_back(note);
        }
    EXPECT_EQ(seq.stop(0.0f), released);
}

TEST_F(RhythmSeq, SwitchingTieEndsEverythingAndForgetsTheKeys)
{
    seq.setSteps({1, 1, 1});
    seq.press({60, 64}, 2);
    seq.start();
    seq.fire();
    seq.setTie(tieIn, true);
    EXPECT_EQ(seq.fall(), (Outputs{allNotesOff(2)}));
    EXPECT_EQ(seq.pulse(), (Outputs{seq.step(1, 1)}));  // the step still counts, silent
    seq.setTie(tieIn, false);
    EXPECT_EQ(seq.pulse(), (Outputs{allNotesOff(2), seq.step(1, 2)}));
}

}  // namespace
