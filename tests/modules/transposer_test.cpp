// MIDI_Transposer through the stand-in host.
#include <gtest/gtest.h>

#include "module_harness.h"

namespace {

enum Pin { midiIn, midiOut, transposeIn, channelIn };

class Transposer : public ::testing::Test {
protected:
    ModuleHarness harness{u"MIDI_Transposer"};

    void set(int32_t transpose, int32_t channel)
    {
        harness.events.value(0, transposeIn, transpose).value(0, channelIn, channel);
        harness.run(16);
    }
    Outputs play(std::initializer_list<uint8_t> message, int32_t stamp = 5)
    {
        harness.events.midi(stamp, midiIn, message);
        return harness.run(16);
    }
};

TEST_F(Transposer, ShiftsNotesAndMovesEveryChannelMessage)
{
    EXPECT_EQ(play({0x93, 60, 100}), (Outputs{{0, midiOut, {0x90, 60, 100}}}));
    set(12, 9);
    EXPECT_EQ(play({0x90, 60, 0}), (Outputs{{0, midiOut, {0x99, 72, 0}}}));
    EXPECT_EQ(play({0x81, 60, 64}), (Outputs{{0, midiOut, {0x89, 72, 64}}}));
    EXPECT_EQ(play({0xB2, 7, 100}), (Outputs{{0, midiOut, {0xB9, 7, 100}}}));
    EXPECT_EQ(play({0xA2, 60, 50}), (Outputs{{0, midiOut, {0xA9, 60, 50}}}));
    EXPECT_EQ(play({0xE2, 0, 64}), (Outputs{{0, midiOut, {0xE9, 0, 64}}}));
}

TEST_F(Transposer, DropsNotesShiftedOutsideOneTo127)
{
    set(12, 0);
    EXPECT_TRUE(play({0x90, 120, 100}).empty());
    EXPECT_TRUE(play({0x80, 120, 0}).empty());
    EXPECT_EQ(play({0x90, 115, 100}), (Outputs{{0, midiOut, {0x90, 127, 100}}}));
    set(-5, 0);
    EXPECT_TRUE(play({0x90, 5, 100}).empty());
    EXPECT_EQ(play({0x90, 6, 100}), (Outputs{{0, midiOut, {0x90, 1, 100}}}));
    set(0, 0);
    EXPECT_TRUE(play({0x90, 0, 100}).empty());
    EXPECT_TRUE(play({0x80, 0, 0}).empty());
    set(2147483647, 0);  // no overflow: simply out of range
    EXPECT_TRUE(play({0x90, 60, 100}).empty());
}

TEST_F(Transposer, SendsAllNotesOffOnThePreviousMessagesChannel)
{
    harness.events.value(3, transposeIn, 2);
    EXPECT_EQ(harness.run(16), (Outputs{{3, midiOut, {0xB0, 123, 0}}}));
    harness.events.value(4, channelIn, 5);
    EXPECT_EQ(harness.run(16), (Outputs{{4, midiOut, {0xB0, 123, 0}}}));
    harness.events.value(6, channelIn, 7);  // no message in between: still channel 0
    EXPECT_EQ(harness.run(16), (Outputs{{6, midiOut, {0xB0, 123, 0}}}));
    play({0x90, 200, 1});  // dropped, but it still moves the previous channel
    harness.events.value(2, transposeIn, 0).value(2, channelIn, 1);
    EXPECT_EQ(harness.run(16), (Outputs{{2, midiOut, {0xB7, 123, 0}}, {2, midiOut, {0xB7, 123, 0}}}));
}

TEST_F(Transposer, MessageAtAChangesStampUsesTheSettingsBeforeIt)
{
    harness.events.value(8, transposeIn, 12).value(8, channelIn, 4).midi(8, midiIn, {0x90, 60, 100});
    EXPECT_EQ(harness.run(16), (Outputs{{0, midiOut, {0x90, 60, 100}},
                                        {8, midiOut, {0xB0, 123, 0}},
                                        {8, midiOut, {0xB0, 123, 0}}}));
}

TEST_F(Transposer, ForwardsOtherMessagesWithTheirOwnLength)
{
    set(12, 3);
    EXPECT_EQ(play({0xC5, 10}), (Outputs{{0, midiOut, {0xC3, 10}}}));
    EXPECT_EQ(play({0xD5, 90}), (Outputs{{0, midiOut, {0xD3, 90}}}));
    EXPECT_EQ(play({0xF8}), (Outputs{{0, midiOut, {0xF8}}}));
    EXPECT_EQ(play({0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7}), (Outputs{{0, midiOut, {0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7}}}));
    // A note message without its note number is only moved; with it, it is shifted.
    EXPECT_EQ(play({0x90}), (Outputs{{0, midiOut, {0x93}}}));
    EXPECT_EQ(play({0x90, 60}), (Outputs{{0, midiOut, {0x93, 72}}}));
    EXPECT_TRUE(play({0x80, 120}).empty());
    EXPECT_EQ(play({0x3C, 64}), (Outputs{{0, midiOut, {0x3C, 64}}}));
}

TEST_F(Transposer, ClampsChannelValuesToZeroToFifteen)
{
    set(0, 16);
    EXPECT_EQ(play({0x90, 60, 1}), (Outputs{{0, midiOut, {0x9F, 60, 1}}}));
    set(0, -1);
    EXPECT_EQ(play({0x9F, 60, 1}), (Outputs{{0, midiOut, {0x90, 60, 1}}}));
    set(0, 0x105);
    EXPECT_EQ(play({0x90, 60, 1}), (Outputs{{0, midiOut, {0x9F, 60, 1}}}));
}

}  // namespace
