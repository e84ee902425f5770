// MIDI_SemiSeq through the stand-in host: held keys raised by each step's offset.
#include <gtest/gtest.h>

#include "sequencer_driver.h"

namespace {

using namespace sequencer;

constexpr int32_t tieIn = 4;

class SemiSeq : public ::testing::Test {
protected:
    Driver seq{u"MIDI_SemiSeq", 5, 6};

    Outputs notesOfPulse() { return ModuleHarness::on(midiOut, seq.pulse()); }
};

TEST_F(SemiSeq, OffsetsRaiseEveryHeldKey)
{
    seq.setSteps({12, 0});
    seq.press({60, 64, 67});
    seq.start();
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(0, 72), noteOn(1, 76), noteOn(2, 79), noteOff(0, 72),
                                       noteOff(1, 76), noteOff(2, 79)}));
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(0, 60), noteOn(1, 64), noteOn(2, 67), noteOff(0, 60),
                                       noteOff(1, 64), noteOff(2, 67)}));
}

// Offsets above 126, negative ones included, are rests. Sums wrap at eight bits and are
// played only below 127, key by key: a skipped key leaves its block position unused,
// while note-offs take the positions of the notes that did sound.
TEST_F(SemiSeq, RestsAndSumsPastTheTopAreSkipped)
{
    seq.setSteps({10, 127, -1, 125, 126, 2000000000});
    seq.press({120, 1, 200});
    seq.start();
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(1, 11), noteOff(0, 11)}));
    EXPECT_EQ(seq.pulse(), (Outputs{seq.step(1, 1)}));
    EXPECT_EQ(seq.pulse(), (Outputs{seq.step(1, 2)}));
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(1, 126), noteOn(2, 69), noteOff(0, 126), noteOff(1, 69)}));
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(2, 70), noteOff(0, 70)}));
    EXPECT_TRUE(notesOfPulse().empty());
}

// Step 15 equal to step 0 runs into the next cycle: step 0 strikes again without a
// note-off between, and both copies are released together.
TEST_F(SemiSeq, TieJoinsRunsOfEqualOffsetsAcrossTheCycle)
{
    seq.setSteps({5, 5, 7, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5});
    seq.setTie(tieIn, true);
    seq.press({60});
    seq.start();
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(0, 65)}));
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOff(0, 65)}));
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(0, 67)}));
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOff(0, 67)}));
    seq.pulses(11);
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(0, 65)}));  // step 15
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(0, 65)}));  // step 0
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOff(0, 65), noteOff(1, 65)}));
}

// Values changed while a step sounds are compared as they are: two different rests do
// not join, two equal rests do.
TEST_F(SemiSeq, RestsOfDifferentValueDoNotJoinUnderTie)
{
    seq.setSteps({5, 3, 9});
    seq.setTie(tieIn, true);
    seq.press({60});
    seq.start();
    EXPECT_EQ(ModuleHarness::on(midiOut, seq.fire()), (Outputs{noteOn(0, 65)}));
    seq.setSteps({127, 200});
    EXPECT_EQ(seq.fall(), (Outputs{noteOff(0, 65)}));
    EXPECT_TRUE(notesOfPulse().empty());
    EXPECT_EQ(ModuleHarness::on(midiOut, seq.fire()), (Outputs{noteOn(0, 69)}));
    seq.setStep(2, 127);
    seq.setStep(3, 127);
    EXPECT_TRUE(seq.fall().empty());
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOff(0, 69)}));
}

TEST_F(SemiSeq, SwitchingTieSendsNothingAndKeepsTheKeys)
{
    seq.setSteps({0, 0, 3});
    seq.press({60});
    seq.start();
    seq.fire();
    seq.setTie(tieIn, true);
    EXPECT_TRUE(seq.fall().empty());  // step 1 equals step 0: the note sounds on
    EXPECT_EQ(seq.pulse(), (Outputs{seq.step(1, 1), noteOff(0, 60)}));
    EXPECT_EQ(notesOfPulse(), (Outputs{noteOn(0, 63), noteOff(0, 63)}));
}

}  // namespace
