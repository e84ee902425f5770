// MIDI_NoteCounter through the stand-in host.
#include <gtest/gtest.h>

#include "module_harness.h"

namespace {

enum Pin { midiIn, midiOut, maxNotesIn, noteCountOut };

constexpr int32_t stamp = 5;

// The count as the host receives it: four little-endian bytes at the message's position.
PinData count(uint8_t notes, int32_t position = stamp)
{
    return {position, noteCountOut, {notes, 0, 0, 0}};
}
PinData sent(Midi message)
{
    return {0, midiOut, std::move(message)};
}

class NoteCounter : public ::testing::Test {
protected:
    ModuleHarness harness{u"MIDI_NoteCounter"};

    void setLimit(int32_t limit)
    {
        harness.events.value(0, maxNotesIn, limit);
        harness.run(16);
    }
    Outputs play(std::initializer_list<uint8_t> message)
    {
        harness.events.midi(stamp, midiIn, message);
        return harness.run(16);
    }
};

TEST_F(NoteCounter, SendsItsInitialCountAtGraphStart)
{
    harness.events.graphStart(0);
    EXPECT_EQ(harness.run(16), (Outputs{count(0, 0)}));
}

TEST_F(NoteCounter, HoldsNotesUpToTheLimitAndDropsOffsOfNotesNotHeld)
{
    setLimit(2);
    EXPECT_EQ(play({0x90, 60, 100}), (Outputs{sent({0x90, 60, 100}), count(1)}));
    EXPECT_EQ(play({0x90, 62, 100}), (Outputs{sent({0x90, 62, 100}), count(2)}));
    EXPECT_TRUE(play({0x90, 64, 100}).empty());
    EXPECT_TRUE(play({0x80, 64, 0}).empty());
    EXPECT_EQ(play({0x80, 60, 0}), (Outputs{sent({0x80, 60, 0}), count(1)}));
    EXPECT_EQ(play({0xB0, 7, 100}), (Outputs{sent({0xB0, 7, 100})}));  // passed, count unchanged
}

TEST_F(NoteCounter, LimitOfZeroOrBelowDropsEveryNoteOn)
{
    EXPECT_TRUE(play({0x90, 60, 100}).empty());
    setLimit(-3);
    EXPECT_TRUE(play({0x90, 60, 100}).empty());
}

TEST_F(NoteCounter, NeverHoldsMoreThanTwelve)
{
    setLimit(100);
    for (uint8_t note = 1; note <= 12; ++note)
        EXPECT_EQ(play({0x90, note, 1}), (Outputs{sent({0x90, note, 1}), count(note)}));
    EXPECT_TRUE(play({0x90, 13, 1}).empty());
}

// With every slot taken, a released slot in the middle must be the one reused: the
// notes in the slots after it stay held.
TEST_F(NoteCounter, ReleasedSlotIsReused)
{
    setLimit(12);
    for (uint8_t note = 1; note <= 12; ++note)
        play({0x90, note, 1});
    EXPECT_EQ(play({0x80, 2, 0}), (Outputs{sent({0x80, 2, 0}), count(11)}));
    EXPECT_EQ(play({0x90, 50, 1}), (Outputs{sent({0x90, 50, 1}), count(12)}));
    EXPECT_EQ(play({0x80, 12, 0}), (Outputs{sent({0x80, 12, 0}), count(11)}));
    EXPECT_EQ(play({0x80, 50, 0}), (Outputs{sent({0x80, 50, 0}), count(10)}));
}

TEST_F(NoteCounter, RepeatedNotesAndVelocityZeroEachTakeASlot)
{
    setLimit(4);
    play({0x90, 60, 100});
    EXPECT_EQ(play({0x90, 60, 0}), (Outputs{sent({0x90, 60, 0}), count(2)}));
    EXPECT_EQ(play({0x90, 61}), (Outputs{sent({0x90, 61}), count(3)}));  // no velocity byte, still a note
    EXPECT_EQ(play({0x80, 60, 0}), (Outputs{sent({0x80, 60, 0}), count(2)}));
    EXPECT_EQ(play({0x80, 60, 0}), (Outputs{sent({0x80, 60, 0}), count(1)}));
    EXPECT_TRUE(play({0x80, 60, 0}).empty());
}

// Note 0 marks an empty slot: it passes but is never counted.
TEST_F(NoteCounter, NoteZeroPassesUncounted)
{
    setLimit(12);
    EXPECT_EQ(play({0x90, 0, 100}), (Outputs{sent({0x90, 0, 100})}));
    EXPECT_EQ(play({0x80, 0, 0}), (Outputs{sent({0x80, 0, 0})}));
    for (uint8_t note = 1; note <= 12; ++note)
        play({0x90, note, 1});
    EXPECT_TRUE(play({0x90, 0, 100}).empty());
    EXPECT_TRUE(play({0x80, 0, 0}).empty());
}

TEST_F(NoteCounter, MessagesTooShortForTheirTypePassAsTheyCame)
{
    setLimit(12);
    EXPECT_EQ(play({0x90}), (Outputs{sent({0x90})}));
    EXPECT_EQ(play({0x80}), (Outputs{sent({0x80})}));
    EXPECT_EQ(play({0xB0}), (Outputs{sent({0xB0})}));
    // A controller of one byte whose neighbour in memory is 123 is no All Notes Off.
    gmpi::HostEvent controller{};
    controller.timeStamp = stamp;
    controller.type = gmpi::eventMidi;
    controller.pinNumber = midiIn;
    controller.size = 1;
    controller.inlineData[0] = 0xB0;
    controller.inlineData[1] = 123;
    harness.events.raw(controller);
    EXPECT_EQ(harness.run(16), (Outputs{sent({0xB0})}));
}

TEST_F(NoteCounter, ReceivedAllNotesOffEmptiesTheCountAndIsAnsweredWithOurOwn)
{
    setLimit(12);
    play({0x93, 60, 100});
    play({0x93, 64, 100});
    EXPECT_EQ(play({0xB3, 123, 64}), (Outputs{sent({0xB3, 123, 0}), count(0)}));
    EXPECT_EQ(play({0xB3, 123}), (Outputs{sent({0xB3, 123, 0})}));
    EXPECT_EQ(play({0x93, 60, 100}), (Outputs{sent({0x93, 60, 100}), count(1)}));
}

TEST_F(NoteCounter, ChannelChangeEndsNotesDownstreamButKeepsThemCounted)
{
    setLimit(12);
    play({0x90, 60, 100});
    EXPECT_EQ(play({0x91, 62, 100}), (Outputs{sent({0xB0, 123, 0}), sent({0x91, 62, 100}), count(2)}));
    EXPECT_EQ(play({0xF8}), (Outputs{sent({0xB1, 123, 0}), sent({0xF8})}));
    EXPECT_EQ(play({0x80, 60, 0}), (Outputs{sent({0xB8, 123, 0}), sent({0x80, 60, 0}), count(1)}));
}

TEST_F(NoteCounter, LowerLimitReleasesNothingButHoldsBackNewNotes)
{
    setLimit(3);
    play({0x90, 60, 100});
    play({0x90, 62, 100});
    play({0x90, 64, 100});
    harness.events.value(stamp, maxNotesIn, 2);
    EXPECT_TRUE(harness.run(16).empty());
    EXPECT_TRUE(play({0x90, 65, 100}).empty());
    play({0x80, 60, 0});
    EXPECT_TRUE(play({0x90, 65, 100}).empty());
    play({0x80, 62, 0});
    EXPECT_EQ(play({0x90, 65, 100}), (Outputs{sent({0x90, 65, 100}), count(2)}));
}

// The limit is read where it is needed, so a note-on at the stamp of a new limit meets it.
TEST_F(NoteCounter, NoteOnAtTheLimitsStampMeetsTheNewLimit)
{
    harness.events.value(9, maxNotesIn, 1).midi(9, midiIn, {0x90, 60, 100});
    EXPECT_EQ(harness.run(16), (Outputs{sent({0x90, 60, 100}), count(1, 9)}));
    harness.events.value(9, maxNotesIn, 0).midi(9, midiIn, {0x80, 60, 0}).midi(9, midiIn, {0x90, 60, 100});
    EXPECT_EQ(harness.run(16), (Outputs{sent({0x80, 60, 0}), count(0, 9)}));
}

}  // namespace
