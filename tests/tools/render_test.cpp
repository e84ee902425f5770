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
