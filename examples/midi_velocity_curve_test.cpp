// MIDI_VelocityCurve through the stand-in host, loaded from the example library.
#include <gtest/gtest.h>

#include "module_harness.h"

namespace {

enum Pin { midiIn, midiOut, percentIn };

host::ModuleLibrary& exampleLibrary()
{
    static host::ModuleLibrary library(libraryBesideBuilt(EXAMPLE_LIBRARY_NAME));
    return library;
}

class VelocityCurve : public ::testing::Test {
protected:
    ModuleHarness harness{exampleLibrary(), u"MIDI_VelocityCurve"};

    Outputs play(std::initializer_list<uint8_t> message, int32_t stamp = 5)
    {
        harness.events.midi(stamp, midiIn, message);
        return harness.run(16);
    }
};

TEST_F(VelocityCurve, ScalesNoteOnsWithinOneTo127AtTheirOwnStamp)
{
    EXPECT_EQ(play({0x92, 60, 100}, 7), (Outputs{{7, midiOut, {0x92, 60, 100}}}));
    harness.events.value(0, percentIn, 50);
    harness.run(16);
    EXPECT_EQ(play({0x92, 60, 101}, 3), (Outputs{{3, midiOut, {0x92, 60, 51}}}));
    EXPECT_EQ(play({0x90, 60, 1}), (Outputs{{5, midiOut, {0x90, 60, 1}}}));  // never 0: that ends a note
    harness.events.value(0, percentIn, 1000);  // beyond 400: clamped
    harness.run(16);
    EXPECT_EQ(play({0x90, 60, 30}), (Outputs{{5, midiOut, {0x90, 60, 120}}}));
    EXPECT_EQ(play({0x90, 60, 40}), (Outputs{{5, midiOut, {0x90, 60, 127}}}));
}

TEST_F(VelocityCurve, PassesEverythingElseUnchanged)
{
    harness.events.value(0, percentIn, 200);
    harness.run(16);
    EXPECT_EQ(play({0x90, 60, 0}), (Outputs{{5, midiOut, {0x90, 60, 0}}}));
    EXPECT_EQ(play({0x80, 60, 64}), (Outputs{{5, midiOut, {0x80, 60, 64}}}));
    EXPECT_EQ(play({0xB0, 7, 100}), (Outputs{{5, midiOut, {0xB0, 7, 100}}}));
    EXPECT_EQ(play({0x90, 60}), (Outputs{{5, midiOut, {0x90, 60}}}));
    EXPECT_EQ(play({0xF8}), (Outputs{{5, midiOut, {0xF8}}}));
}

TEST_F(VelocityCurve, AMessageAtAChangesStampMeetsThePercentageBeforeIt)
{
    harness.events.value(4, percentIn, 50).midi(4, midiIn, {0x90, 60, 100});
    EXPECT_EQ(harness.run(16), (Outputs{{4, midiOut, {0x90, 60, 100}}}));
    EXPECT_EQ(play({0x90, 60, 100}), (Outputs{{5, midiOut, {0x90, 60, 50}}}));
}

}  // namespace
