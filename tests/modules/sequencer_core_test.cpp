// What the three step sequencers share, shown on MIDI_RhythmSeq with every gate on, as it
// plays the held keys unchanged.
#include <gtest/gtest.h>

#include <limits>

#include "sequencer_driver.h"

namespace {

using namespace sequencer;

class SequencerCore : public ::testing::Test {
protected:
    Driver seq{u"MIDI_RhythmSeq", 5, 6};

    SequencerCore()
    {
        seq.setSteps({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
        seq.start();
    }
    // The notes of the next step, which is then released.
    Outputs nextStep()
    {
        const Outputs notes = ModuleHarness::on(midiOut, seq.fire());
        seq.fall();
        return notes;
    }
};

TEST_F(SequencerCore, HeldKeysPlayInPressOrderAndCloseGapsWhenReleased)
{
    seq.send({0x90, 60, 0});  // velocity 0 still holds the key
    seq.press({64, 67});
    EXPECT_EQ(seq.fire(), (Outputs{noteOn(0, 60), noteOn(1, 64), noteOn(2, 67)}));
    EXPECT_EQ(seq.fall(), (Outputs{noteOff(0, 60), noteOff(1, 64), noteOff(2, 67)}));
    seq.release({64});
    EXPECT_EQ(nextStep(), (Outputs{noteOn(0, 60), noteOn(1, 67)}));
    seq.press({60});  // a second copy of a held key takes a slot of its own
    seq.release({99, 0});
    EXPECT_EQ(nextStep(), (Outputs{noteOn(0, 60), noteOn(1, 67), noteOn(2, 60)}));
    seq.release({60});  // the oldest copy leaves first
    seq.press({0});     // key 0 marks an empty slot and is never held
    EXPECT_EQ(nextStep(), (Outputs{noteOn(0, 67), noteOn(1, 60)}));
}

TEST_F(SequencerCore, ThirteenthKeyIsDropped)
{
    seq.press({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    Outputs expected;
    for (uint8_t slot = 0; slot < 12; ++slot)
        expected.push_back(noteOn(slot, static_cast<uint8_t>(slot + 1)));
    EXPECT_EQ(nextStep(), expected);
}

TEST_F(SequencerCore, NewChannelEndsTheOldOneAndStepsPlayOnIt)
{
    seq.press({60});
    seq.press({62}, 3);
    EXPECT_EQ(seq.fire(), (Outputs{allNotesOff(0), noteOn(0, 62, 3)}));  // step 0: number unchanged
    EXPECT_EQ(seq.fall(), (Outputs{noteOff(0, 62, 3)}));
    seq.send({0xF8});  // a system message moves the channel too, and passes on
    EXPECT_EQ(ModuleHarness::on(midiOut, seq.fire()), (Outputs{allNotesOff(3), {0, midiOut, {0xF8}}}));
    seq.fall();
    seq.press({64}, 8);
    EXPECT_EQ(nextStep(), (Outputs{noteOn(0, 64, 8)}));
}

TEST_F(SequencerCore, AnswersController123WithItsOwnAndForwardsEverythingElse)
{
    seq.press({60}, 2);
    seq.fire();
    seq.send({0xB2, 123, 64});
    EXPECT_EQ(seq.fall(), (Outputs{allNotesOff(2)}));  // the sounding note is covered by it
    EXPECT_TRUE(ModuleHarness::on(midiOut, seq.fire()).empty());  // and the key is forgotten
    seq.fall();
    // Note messages too short to hold a key pass as they came; so does a system
    // exclusive message, after ending channel 2.
    const Midi sysex = {0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7};
    for (const Midi& message : std::vector<Midi>{{0xB2, 7, 100}, {0x92}, {0x82}, {0xB2}, sysex})
        seq.harness.events.midi(0, midiIn, message);
    EXPECT_EQ(seq.fall(), (Outputs{{0, midiOut, {0xB2, 7, 100}}, {0, midiOut, {0x92}}, {0, midiOut, {0x82}},
                                   {0, midiOut, {0xB2}}, allNotesOff(2), {0, midiOut, sysex}}));
}

TEST_F(SequencerCore, SixteenStepsCycleTheStepNumberAtPositionOne)
{
    seq.press({60});
    const Outputs cycle = seq.pulses(17);
    Outputs expected;
    for (int32_t step = 0; step < 17; ++step) {
        if (step > 0)  // step 0 is the number the output already holds
            expected.push_back(seq.step(1, step % 16));
        expected.push_back(noteOn(0, 60));
        expected.push_back(noteOff(0, 60));
    }
    EXPECT_EQ(cycle, expected);
}

TEST_F(SequencerCore, StopReleasesSoundingNotesAndResetsTheStep)
{
    seq.press({60, 64, 67});
    seq.pulses(2);
    seq.fire();
    EXPECT_EQ(seq.stop(1.0f),
              (Outputs{seq.step(0, 0), noteOff(0, 60), noteOff(1, 64), noteOff(2, 67)}));
    EXPECT_TRUE(seq.fall().empty());
    EXPECT_TRUE(seq.fire().empty());  // stopped: the clock fires nothing
    seq.fall();
    seq.start();
    EXPECT_EQ(seq.pulse(), (Outputs{noteOn(0, 60), noteOn(1, 64), noteOn(2, 67), noteOff(0, 60),
                                    noteOff(1, 64), noteOff(2, 67)}));  // held keys survived
}

TEST_F(SequencerCore, EnableActsTwoCallsLateAndTheClockInItsOwnSpan)
{
    seq.press({60});
    seq.stop(0.0f);
    EXPECT_TRUE(seq.block(1.0f, 1.0f).empty());  // the span that shows enable high
    EXPECT_TRUE(seq.block(1.0f, 1.0f).empty());
    EXPECT_EQ(seq.block(1.0f, 1.0f), (Outputs{noteOn(0, 60)}));  // starts with the clock high
    EXPECT_TRUE(seq.block(1.0f, 0.0f).empty());  // a clock held high fires one step only
    EXPECT_TRUE(seq.block(1.0f, 0.0f).empty());
    EXPECT_EQ(seq.block(1.0f, 0.0f), (Outputs{noteOff(0, 60)}));
}

TEST_F(SequencerCore, OnlyTheLastSampleOfASpanCounts)
{
    seq.press({60});
    seq.harness.setSamples(clockIn, 0, 15, 1.0f);
    seq.harness.setSamples(clockIn, 15, 16, 0.0f);
    EXPECT_TRUE(seq.harness.run(16).empty());  // a pulse inside one span is not seen
    seq.harness.setSamples(clockIn, 0, 15, 0.0f);
    seq.harness.setSamples(clockIn, 15, 16, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(seq.harness.run(16), (Outputs{noteOn(0, 60)}));  // NaN is high
    EXPECT_EQ(seq.block(-0.0f), (Outputs{noteOff(0, 60)}));
    EXPECT_EQ(seq.block(1e-30f), (Outputs{seq.step(1, 1), noteOn(0, 60)}));
}

// Spans split by events are separate calls; an empty span keeps the levels it saw last
// while the enable history moves on.
TEST_F(SequencerCore, EmptySpansKeepLevelsButMoveTheEnableHistory)
{
    seq.press({60});
    seq.stop(1.0f);
    seq.block(1.0f, 1.0f);
    EXPECT_TRUE(seq.harness.run(0).empty());
    EXPECT_EQ(seq.harness.run(0), (Outputs{noteOn(0, 60)}));
    // Events split a block into spans: the clock falls at sample 8 and the span up to an
    // event at sample 8 ends high, so the fall is seen by the span after it.
    seq.harness.setSamples(clockIn, 0, 8, 1.0f);
    seq.harness.setSamples(clockIn, 8, 16, 0.0f);
    seq.harness.events.value(8, seq.firstStepIn, 1);
    EXPECT_EQ(seq.harness.run(16), (Outputs{noteOff(0, 60)}));
}

TEST_F(SequencerCore, ReleaseEndsWhatTheStepPlayedNotWhatIsHeldNow)
{
    seq.press({60});
    seq.fire();
    seq.release({60});
    seq.press({64});
    EXPECT_TRUE(seq.fire().empty());
    EXPECT_EQ(seq.fall(), (Outputs{noteOff(0, 60)}));
    EXPECT_EQ(nextStep(), (Outputs{noteOn(0, 64)}));
}

}  // namespace
