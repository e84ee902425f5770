// MIDI_Block through the stand-in host.
#include <gtest/gtest.h>

#include "module_harness.h"

namespace {

enum Pin { midiIn, midiOut, gateIn };

const Midi notesOffOn0{0xB0, 123, 0};

class Block : public ::testing::Test {
protected:
    ModuleHarness harness{u"MIDI_Block"};

    Outputs setGate(bool open, int32_t stamp = 7)
    {
        harness.events.boolValue(stamp, gateIn, open);
        return harness.run(16);
    }
    Outputs play(std::initializer_list<uint8_t> message, int32_t stamp = 5)
    {
        harness.events.midi(stamp, midiIn, message);
        return harness.run(16);
    }
};

TEST_F(Block, StartsOpenAndPassesMessagesWholeAtTheBlockStart)
{
    EXPECT_EQ(play({0x90, 60, 100}), (Outputs{{0, midiOut, {0x90, 60, 100}}}));
    EXPECT_EQ(play({0xC0, 10}), (Outputs{{0, midiOut, {0xC0, 10}}}));
    EXPECT_EQ(play({0x90}), (Outputs{{0, midiOut, {0x90}}}));
    const Midi sysex{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xF7};
    harness.events.midi(3, midiIn, sysex);
    EXPECT_EQ(harness.run(16), (Outputs{{0, midiOut, sysex}}));
}

TEST_F(Block, ClosedGateHoldsMessagesBackButStillFollowsTheChannel)
{
    EXPECT_EQ(setGate(false), (Outputs{{0, midiOut, notesOffOn0}}));
    EXPECT_TRUE(play({0x90, 60, 100}).empty());
    EXPECT_EQ(play({0x93, 60, 100}), (Outputs{{0, midiOut, notesOffOn0}}));
    EXPECT_EQ(play({0xF8}), (Outputs{{0, midiOut, {0xB3, 123, 0}}}));  // a system message counts as channel 8
    EXPECT_TRUE(play({0x98, 60, 0}).empty());
}

TEST_F(Block, OpenGateEndsTheOldChannelsNotesBeforePassing)
{
    play({0x90, 60, 100});
    EXPECT_EQ(play({0x93, 62, 90}), (Outputs{{0, midiOut, notesOffOn0}, {0, midiOut, {0x93, 62, 90}}}));
    EXPECT_EQ(play({0xF8}), (Outputs{{0, midiOut, {0xB3, 123, 0}}, {0, midiOut, {0xF8}}}));
    EXPECT_EQ(play({0x98, 1, 2}), (Outputs{{0, midiOut, {0x98, 1, 2}}}));
}

TEST_F(Block, EveryGateValueEndsNotesOnTheLatestChannel)
{
    play({0x95, 60, 100});
    EXPECT_EQ(play({0x95, 60, 100}), (Outputs{{0, midiOut, {0x95, 60, 100}}}));
    const Outputs notesOffOn5{{0, midiOut, {0xB5, 123, 0}}};
    EXPECT_EQ(setGate(false), notesOffOn5);
    EXPECT_EQ(setGate(true), notesOffOn5);
    EXPECT_EQ(setGate(true), notesOffOn5);  // unchanged value, still a change
    harness.events.value(2, gateIn, 0);     // a four-byte value works as well
    EXPECT_EQ(harness.run(16), notesOffOn5);
    EXPECT_TRUE(play({0x95, 60, 0}).empty());
    harness.events.streamStart(2, midiIn);  // a pin event that is no gate value
    EXPECT_TRUE(harness.run(16).empty());
}

TEST_F(Block, MessageAtTheGateChangesStampMeetsTheGateBefore)
{
    harness.events.boolValue(8, gateIn, false).midi(8, midiIn, {0x90, 60, 100});
    EXPECT_EQ(harness.run(16), (Outputs{{0, midiOut, {0x90, 60, 100}}, {0, midiOut, notesOffOn0}}));
    harness.events.boolValue(8, gateIn, true).midi(8, midiIn, {0x80, 60, 0});
    EXPECT_EQ(harness.run(16), (Outputs{{0, midiOut, notesOffOn0}}));
    EXPECT_EQ(play({0x80, 60, 0}), (Outputs{{0, midiOut, {0x80, 60, 0}}}));
}

}  // namespace
