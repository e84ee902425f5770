// MIDI_ScaledSeq through the stand-in host: held keys moved up by scale degrees.
#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "sequencer_driver.h"

namespace {

using namespace sequencer;

enum Pin : int32_t { rootIn = 4, modeIn = 5, scaleIn = 6 };

// Semitones between neighbouring notes of each family, upwards from its tonic: major,
// melodic minor, harmonic minor, harmonic major.
constexpr std::array<std::array<int, 7>, 4> familySteps{{
    {2, 2, 1, 2, 2, 2, 1},
    {2, 1, 2, 2, 2, 2, 1},
    {2, 1, 2, 2, 1, 3, 1},
    {2, 2, 1, 2, 1, 3, 1},
}};

// `key` moved up `degrees` notes of mode `mode` (0 to 6) of `family` standing on `root`;
// a key outside that scale stays where it is.
int expectedNote(int key, int degrees, int root, int family, int mode)
{
    const auto& steps = familySteps[static_cast<size_t>(family)];
    int pitchClass = root;
    for (int degree = 0; degree < 7; ++degree) {
        if (pitchClass == key % 12) {
            int note = key;
            for (int step = 0; step < degrees; ++step)
                note += steps[static_cast<size_t>((mode + degree + step) % 7)];
            return note;
        }
        pitchClass = (pitchClass + steps[static_cast<size_t>((mode + degree) % 7)]) % 12;
    }
    return key;
}

// One step's notes: note-ons at the slots of their keys (-1: skipped), then the note-offs
// at the slots where the notes that sounded are kept.
Outputs stepNotes(const std::vector<int>& notes)
{
    Outputs ons;
    Outputs offs;
    int32_t slot = 0;
    for (int note : notes) {
        if (note >= 0) {
            ons.push_back(noteOn(slot, static_cast<uint8_t>(note)));
            offs.push_back(noteOff(static_cast<int32_t>(offs.size()), static_cast<uint8_t>(note)));
        }
        ++slot;
    }
    return ons + offs;
}

class ScaledSeq : public ::testing::Test {
protected:
    Driver seq{u"MIDI_ScaledSeq", 8, 9};

    Outputs notesOfPulse() { return ModuleHarness::on(midiOut, seq.pulse()); }
    // What one setting sends when it changes, in a block of its own.
    Outputs change(int32_t pin, int32_t value)
    {
        seq.harness.events.value(0, pin, value);
        return seq.fall();
    }
};

TEST_F(ScaledSeq, StartsOnCMajor)
{
    seq.setSteps({0, 2, 4, 7, 14, 15, -1, 1000});
    seq.press({60, 61, 103, 100});
    seq.start();
    EXPECT_EQ(notesOfPulse(), stepNotes({60, 61, 103, 100}));
    EXPECT_EQ(notesOfPulse(), stepNotes({64, 61, 107, 103}));
    EXPECT_EQ(notesOfPulse(), stepNotes({67, 61, 110, 107}));
    EXPECT_EQ(notesOfPulse(), stepNotes({72, 61, 115, 112}));
    EXPECT_EQ(notesOfPulse(), stepNotes({84, 61, -1, 124}));  // 127 is not played
    for (int32_t rest = 5; rest < 8; ++rest)
        EXPECT_EQ(seq.pulse(), (Outputs{seq.step(1, rest)}));
}

// Step s moves the keys up s degrees; step 15 is a rest. Twelve keys cover every pitch
// class. Modes outside 1 to 6 name no degree and leave the family on its own tonic.
TEST_F(ScaledSeq, PlaysEveryModeOfEveryFamilyOnEveryRoot)
{
    seq.setSteps({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    seq.start();
    for (int family = 0; family < 4; ++family)
        for (int mode : {0, 1, 2, 3, 4, 5, 6, 7, -3})
            for (int root = 0; root < 12; ++root) {
                SCOPED_TRACE(testing::Message() << "family " << family << " mode " << mode << " root " << root);
                seq.harness.events.value(0, rootIn, root).value(0, scaleIn, family).value(0, modeIn, mode);
                seq.fall();
                seq.press({48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59});
                Outputs expected;
                for (int degrees = 0; degrees < 15; ++degrees) {
                    std::vector<int> notes;
                    for (int key = 48; key < 60; ++key)
                        notes.push_back(expectedNote(key, degrees, root, family, mode >= 0 && mode < 7 ? mode : 0));
                    expected = expected + stepNotes(notes);
                }
                EXPECT_EQ(ModuleHarness::on(midiOut, seq.pulses(16)), expected);
            }
}

// Every changed setting sends its own All Notes Off; a key that arrives with the change
// is caught first and then forgotten with the others.
TEST_F(ScaledSeq, ScaleChangesEndTheNotesAndForgetTheKeys)
{
    seq.press({60}, 5);
    seq.start();
    seq.fire();
    seq.press({64}, 5);
    seq.harness.events.value(0, rootIn, 2).value(0, scaleIn, 1).value(0, modeIn, 3);
    EXPECT_EQ(seq.fall(), (Outputs{allNotesOff(5), allNotesOff(5), allNotesOff(5)}));
    EXPECT_TRUE(notesOfPulse().empty());
}

// A root, family or mode that would make the scale unreadable is not taken, and the
// scale in force stays; the All Notes Off of the change still goes out.
TEST_F(ScaledSeq, SettingsOutsideTheScaleTablesAreNotTaken)
{
    seq.setSteps({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    seq.start();
    // Eb and F raised one degree tell the scales used here apart.
    const auto expectRaised = [this](int fromEb, int fromF) {
        seq.press({63, 65});
        EXPECT_EQ(notesOfPulse(), stepNotes({fromEb, fromF}));
    };
    const auto refuse = [this](int32_t pin, int32_t value) {
        EXPECT_EQ(change(pin, value), (Outputs{allNotesOff()})) << "pin " << pin << " value " << value;
    };
    for (int32_t family : {4, -1, std::numeric_limits<int32_t>::min()})
        refuse(scaleIn, family);
    for (int32_t root : {13, std::numeric_limits<int32_t>::max()})
        refuse(rootIn, root);
    expectRaised(63, 67);  // C major
    change(scaleIn, 1);
    expectRaised(65, 67);  // C melodic minor
    change(modeIn, 2);
    expectRaised(63, 65);  // its third degree as tonic, on C
    change(rootIn, 15);    // the same degree on Eb an octave up: C melodic minor again
    expectRaised(65, 67);
    refuse(modeIn, 0);  // Eb an octave up above the family's own tonic
    change(rootIn, 3);  // so the mode stays 2: still C melodic minor, not Eb melodic minor
    expectRaised(65, 67);
    change(rootIn, std::numeric_limits<int32_t>::min());
    expectRaised(65, 67);
}

}  // namespace
