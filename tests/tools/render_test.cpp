// Files rendered end to end through the built library. At 125 beats a minute, 480 ticks
// to the quarter note and 48000 samples a second, a tick is 48 samples: steps of four to
// the beat are 120 ticks, 90 blocks of 64 samples, so every clock edge starts a block and
// the modules' block-start sends land on exact ticks.
#include <gtest/gtest.h>

#include "library_fixture.h"
#include "render_job.h"

namespace {

struct Played {
    uint64_t start;
    uint64_t end;
    int pitch;
    int channel;
    bool operator==(const Played&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Played& note)
{
    return out << note.pitch << "@" << note.start << "-" << note.end << " ch" << note.channel;
}

std::vector<Played> played(const std::vector<notes::Note>& notes)
{
    std::vector<Played> result;
    for (const notes::Note& note : notes)
        result.push_back({note.start, note.end, note.pitch, note.channel});
    return result;
}

smf::File fileOf(std::vector<smf::Event> events, uint64_t endTick)
{
    return smf::File{0, 480, {{std::move(events), endTick}}};
}

RenderedFile render(const smf::File& input, const std::string& chain, EnableMode enable = EnableMode::always)
{
    JobSettings settings;
    settings.tempo = 125;
    settings.options.enable = enable;
    return renderFile(builtLibrary(), input, parseChain(chain), settings);
}

// Modules are added to the library one by one; a test of one not yet built is skipped.
#define REQUIRE_MODULE(identifier)                      \
    if (!libraryHas(builtLibrary(), identifier))        \
    GTEST_SKIP() << identifier << " is not built yet"

// C, E and G held for one beat, pressed out of order, released by note-ons of velocity 0.
const smf::File heldChord = fileOf(
    {{0, {0x90, 64, 90}}, {0, {0x90, 60, 90}}, {0, {0x90, 67, 90}}, {480, {0x90, 64, 0}}, {480, {0x90, 60, 0}},
     {480, {0x90, 67, 0}}},
    480);

TEST(Render, TransposerMovesNotesAndChannelAtTheirTicks)
{
    const smf::File input = fileOf(
        {{0, {0x93, 60, 100}}, {480, {0x83, 60, 0}}, {960, {0x93, 64, 100}}, {1440, {0x83, 64, 0}}}, 1440);
    const RenderedFile rendered = render(input, "MIDI_Transposer transpose=12 channel=2");
    EXPECT_EQ(played(rendered.outputNotes), (std::vector<Played>{{0, 480, 72, 2}, {960, 1440, 76, 2}}));

    // The settings reached the module as value events in the first block: one All Notes
    // Off for each, before the first note.
    const smf::File written = smf::read(smf::write(rendered.output));
    const std::vector<smf::Event> events = smf::mergeTracks(written);
    const auto firstNote = std::find_if(events.begin(), events.end(), [](auto& e) { return e.isChannelMessage() && (e.bytes[0] & 0xF0) == 0x90; });
    EXPECT_EQ(std::count_if(events.begin(), firstNote, [](auto& e) { return e.bytes == std::vector<uint8_t>{0xB0, 123, 0}; }), 2);
    EXPECT_EQ(played(notes::pairNotes(events, rendered.endTick)), played(rendered.outputNotes));
}

TEST(Render, ArpeggiatorPlaysTheHeldChordAscendingOneNotePerStep)
{
    REQUIRE_MODULE("MIDI_Arp");
    const RenderedFile rendered = render(heldChord, "MIDI_Arp order=ascending");
    EXPECT_EQ(played(rendered.outputNotes),
              (std::vector<Played>{{0, 60, 60, 0}, {120, 180, 64, 0}, {240, 300, 67, 0}, {360, 420, 60, 0}}));
    EXPECT_EQ(rendered.closedOutputNotes, 0);
}

// Gated by held notes, the enable input rises with the first key; the module acts on it
// two blocks later, so the first step fires two blocks (128 samples) after the key.
TEST(Render, EnableFollowingHeldNotesStartsTheArpeggioWithTheKeys)
{
    REQUIRE_MODULE("MIDI_Arp");
    const smf::File late = fileOf({{960, {0x90, 60, 90}}, {1080, {0x80, 60, 0}}}, 1080);
    EXPECT_EQ(played(render(late, "MIDI_Arp").outputNotes), (std::vector<Played>{{960, 1020, 60, 0}}));
    EXPECT_EQ(played(render(late, "MIDI_Arp", EnableMode::heldNotes).outputNotes),
              (std::vector<Played>{{963, 1020, 60, 0}}));
}

TEST(Render, RhythmSequencerPlaysTheKeysOnStepsWhoseGateIsOn)
{
    REQUIRE_MODULE("MIDI_RhythmSeq");
    const RenderedFile rendered = render(fileOf({{0, {0x90, 60, 90}}, {960, {0x80, 60, 0}}}, 960),
                                         "MIDI_RhythmSeq steps=on,off,off,on");
    EXPECT_EQ(played(rendered.outputNotes),
              (std::vector<Played>{{0, 60, 60, 0}, {360, 420, 60, 0}, {480, 540, 60, 0}, {840, 900, 60, 0}}));
}

TEST(Render, ScaledSequencerMovesTheKeyByScaleDegrees)
{
    REQUIRE_MODULE("MIDI_ScaledSeq");
    const RenderedFile rendered =
        render(fileOf({{0, {0x90, 60, 90}}, {480, {0x80, 60, 0}}}, 480), "MIDI_ScaledSeq root=C steps=0,2,4,7");
    EXPECT_EQ(played(rendered.outputNotes),
              (std::vector<Played>{{0, 60, 60, 0}, {120, 180, 64, 0}, {240, 300, 67, 0}, {360, 420, 72, 0}}));
}

// Tied steps of equal gate release nothing, so the sequencer's note sounds on after the
// keys are gone: the render stops at its bound and ends the note there itself.
TEST(Render, EndsNotesStillSoundingWhenTheTailRunsOut)
{
    REQUIRE_MODULE("MIDI_RhythmSeq");
    const RenderedFile rendered = render(fileOf({{0, {0x90, 60, 90}}, {480, {0x80, 60, 0}}}, 480), "MIDI_RhythmSeq tie=on");
    EXPECT_EQ(rendered.closedOutputNotes, 1);
    EXPECT_EQ(played(rendered.outputNotes), (std::vector<Played>{{0, 480 + tailBeats * 480, 60, 0}}));
    notes::Sounding sounding;
    for (const smf::Event& event : rendered.output.tracks[0].events)
        sounding.apply(event.bytes);
    EXPECT_FALSE(sounding.any());
}

// Four one-beat notes, C E G A. The gate closes at beat 1.5, halfway through E: All Notes
// Off ends E there and G is held back. It opens at beat 2.5, so G's note-off passes to
// no note, and A plays.
TEST(Render, GateClosingAndOpeningAtBeatsCutsAndHoldsBackNotes)
{
    REQUIRE_MODULE("MIDI_Block");
    const smf::File melody =
        fileOf({{0, {0x90, 60, 90}}, {480, {0x80, 60, 0}}, {480, {0x90, 64, 90}}, {960, {0x80, 64, 0}},
                {960, {0x90, 67, 90}}, {1440, {0x80, 67, 0}}, {1440, {0x90, 69, 90}}, {1920, {0x80, 69, 0}}},
               1920);
    const RenderedFile rendered = render(melody, "MIDI_Block gate=off@1.5 gate=on@2.5");
    EXPECT_EQ(played(rendered.outputNotes),
              (std::vector<Played>{{0, 480, 60, 0}, {480, 720, 64, 0}, {1440, 1920, 69, 0}}));
    const std::vector<smf::Event> events = smf::mergeTracks(rendered.output);
    const auto allNotesOffAt = [&events](uint64_t tick) {
        return std::count_if(events.begin(), events.end(), [tick](const smf::Event& event) {
            return event.tick == tick && event.bytes == std::vector<uint8_t>{0xB0, 123, 0};
        });
    };
    EXPECT_EQ(allNotesOffAt(720), 1);
    EXPECT_EQ(allNotesOffAt(1200), 1);
}

// Blocks of 25 ticks start at ticks 700 and 725, so the change at beat 1.5 (tick 720)
// falls inside a block, between a note before it and one after it. The module sends at
// the block's start: the note before passes there and the All Notes Off ends it at once;
// the note after the change is held back.
TEST(Render, ChangeInsideABlockComesBetweenTheMessagesAroundIt)
{
    REQUIRE_MODULE("MIDI_Block");
    const smf::File notes = fileOf(
        {{710, {0x90, 62, 90}}, {715, {0x80, 62, 0}}, {722, {0x90, 65, 90}}, {724, {0x80, 65, 0}}}, 960);
    JobSettings settings;
    settings.tempo = 125;
    settings.options.blockSize = 25 * 48;
    const RenderedFile rendered = renderFile(builtLibrary(), notes, parseChain("MIDI_Block gate=off@1.5"), settings);
    EXPECT_EQ(played(rendered.outputNotes), (std::vector<Played>{{700, 700, 62, 0}}));
}

// Blocks of 75 ticks start at ticks 450 and 525: the clock's rise at beat 1 (tick 480)
// and the change at tick 510 share a block. The step at the rise, sent at the block's
// start, still plays the value before the change; the next step plays the new one.
TEST(Render, ChangeInsideABlockComesAfterAClockEdgeBeforeIt)
{
    REQUIRE_MODULE("MIDI_SemiSeq");
    JobSettings settings;
    settings.tempo = 125;
    settings.options.blockSize = 75 * 48;
    const RenderedFile rendered = renderFile(builtLibrary(), fileOf({{0, {0x90, 60, 90}}, {960, {0x80, 60, 0}}}, 960),
                                             parseChain("MIDI_SemiSeq steps=0 steps=12@1.0625"), settings);
    const auto atBeatOne = std::find_if(rendered.outputNotes.begin(), rendered.outputNotes.end(),
                                        [](const notes::Note& note) { return note.start == 450; });
    ASSERT_TRUE(atBeatOne != rendered.outputNotes.end() && atBeatOne + 1 != rendered.outputNotes.end());
    EXPECT_EQ(atBeatOne->pitch, 60);
    EXPECT_EQ((atBeatOne + 1)->pitch, 72);
}

TEST(Render, RefusesASettingChangeAfterTheInputsEnd)
{
    try {
        render(heldChord, "MIDI_Transposer transpose=5@1 transpose=7@1.5");
        ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "MIDI_Transposer transpose=7@1.5: beat 1.5 is after the input's end at beat 1");
    }
}

TEST(Render, ReleasesKeysTheInputLeavesHeldAtItsEnd)
{
    const RenderedFile rendered = render(fileOf({{0, {0x90, 60, 90}}}, 240), "MIDI_Transposer");
    EXPECT_EQ(rendered.releasedInputNotes, 1);
    EXPECT_EQ(played(rendered.outputNotes), (std::vector<Played>{{0, 240, 60, 0}}));
}

TEST(Render, RefusesFilesTimedInSmpteFrames)
{
    const smf::File smpte{0, 0xE728, {{{{0, {0x90, 60, 90}}}, 10}}};
    EXPECT_THROW(render(smpte, "MIDI_Transposer"), std::runtime_error);
}

}  // namespace
