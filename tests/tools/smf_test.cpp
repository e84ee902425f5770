// Standard MIDI Files: round trips, running status, and files that are not what they claim.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "smf.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes header(uint16_t format, uint16_t tracks, uint16_t division)
{
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, uint8_t(format >> 8), uint8_t(format), uint8_t(tracks >> 8),
            uint8_t(tracks), uint8_t(division >> 8), uint8_t(division)};
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes chunk(const char* id, const Bytes& body)
{
    const auto size = static_cast<uint32_t>(body.size());
    Bytes out{uint8_t(id[0]), uint8_t(id[1]), uint8_t(id[2]), uint8_t(id[3]),
              uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8), uint8_t(size)};
    return out + body;
}

// A format 0 file of one track with `body` (end of track included by the caller).
Bytes oneTrack(const Bytes& body)
{
    return header(0, 1, 96) + chunk("MTrk", body);
}

smf::File severalTracks()
{
    smf::Track tempo{{smf::tempoEvent(0, 500000), smf::tempoEvent(384, 400000), smf::textEvent(384, 0x06, "verse")},
                     768};
    smf::Track melody{{{0, {0x90, 60, 100}},
                       {0, {0x90, 64, 100}},
                       {96, {0x80, 60, 0}},
                       {96, {0x80, 64, 64}},
                       {100, {0xC3, 5}},
                       {120, {0xE0, 0, 64}},
                       {130, {0xD1, 7}},
                       {140, {0xB2, 7, 100}},
                       {150, {0xF0, 0x7E, 0x01, 0xF7}},
                       {160, {0xF7, 0xF8}},
                       {160 + 0x0FFFFFFF, {0x90, 61, 1}}},
                      160 + 0x0FFFFFFF};
    smf::Track bass{{{0, {0x91, 36, 90}}, {768, {0x81, 36, 0}}}, 800};
    return smf::File{1, 96, {tempo, melody, bass}};
}

TEST(SmfRoundTrip, FormatOneWithSeveralTracksTempoChangesAndEveryKindOfEvent)
{
    const smf::File file = severalTracks();
    EXPECT_EQ(smf::read(smf::write(file)), file);
}

TEST(SmfRoundTrip, FormatZero)
{
    const smf::File file{0, 480, {{{smf::tempoEvent(0, 600000), {10, {0x9F, 127, 127}}, {20, {0x8F, 127, 0}}}, 30}}};
    EXPECT_EQ(smf::read(smf::write(file)), file);
}

TEST(SmfWriter, UsesRunningStatusAndRestatesTheStatusAfterAMetaEvent)
{
    const smf::File file{0, 96,
                         {{{{0, {0x90, 60, 100}}, {0, {0x90, 64, 0}}, smf::textEvent(10, 0x01, "x"),
                            {10, {0x90, 67, 100}}, {138, {0x80, 67, 0}}},
                           138}}};
    const Bytes body{0x00, 0x90, 60, 100, 0x00, 64, 0, 0x0A, 0xFF, 0x01, 0x01, 'x',
                     0x00, 0x90, 67, 100, 0x81, 0x00, 0x80, 67, 0, 0x00, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(smf::write(file), oneTrack(body));
}

TEST(SmfReader, ReadsRunningStatusAlsoAcrossMetaEvents)
{
    const Bytes body{0x00, 0x90, 60, 100, 0x10, 60, 0, 0x00, 0xFF, 0x01, 0x01, 'a', 0x05, 62, 90, 0x00, 0xFF, 0x2F, 0x00};
    const smf::File file = smf::read(oneTrack(body));
    ASSERT_EQ(file.tracks.size(), 1u);
    EXPECT_EQ(file.tracks[0].events,
              (std::vector<smf::Event>{{0, {0x90, 60, 100}}, {16, {0x90, 60, 0}}, {16, {0xFF, 0x01, 'a'}},
                                       {21, {0x90, 62, 90}}}));
    EXPECT_EQ(file.tracks[0].endTick, 21u);
}

TEST(SmfReader, SkipsUnknownChunksAndAcceptsATrackWithoutEndOfTrack)
{
    const Bytes file = header(1, 2, 96) + chunk("XYZW", {1, 2, 3}) + chunk("MTrk", {0x00, 0x90, 60, 1, 0x60, 0x80, 60, 0}) +
                       chunk("MTrk", {0x00, 0xFF, 0x2F, 0x00});
    const smf::File read = smf::read(file);
    ASSERT_EQ(read.tracks.size(), 2u);
    EXPECT_EQ(read.tracks[0].events.size(), 2u);
    EXPECT_EQ(read.tracks[0].endTick, 0x60u);
    EXPECT_TRUE(read.tracks[1].events.empty());
}

TEST(SmfReader, NamesWhatIsWrongWithAMalformedFile)
{
    const struct {
        const char* what;
        Bytes bytes;
        const char* reason;
    } cases[] = {
        {"empty", {}, "not a Standard MIDI File"},
        {"other format", {'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'}, "not a Standard MIDI File"},
        {"short header", {'M', 'T', 'h', 'd', 0, 0, 0, 4, 0, 0, 0, 1}, "header length 4"},
        {"format 2", header(2, 1, 96) + chunk("MTrk", {0, 0xFF, 0x2F, 0}), "format 2"},
        {"format 0, two tracks", header(0, 2, 96), "exactly one track"},
        {"division 0", header(0, 1, 0) + chunk("MTrk", {0, 0xFF, 0x2F, 0}), "division of 0"},
        {"missing track", header(1, 2, 96) + chunk("MTrk", {0, 0xFF, 0x2F, 0}), "announces 2 tracks"},
        {"chunk longer than file", header(0, 1, 96) + Bytes{'M', 'T', 'r', 'k', 0, 0, 1, 0, 0, 0x90}, "declares 256"},
        {"data byte first", oneTrack({0x00, 60, 100}), "without a status byte at byte 23"},
        {"real-time status", oneTrack({0x00, 0xF8}), "cannot start an event"},
        {"status inside message", oneTrack({0x00, 0x90, 60, 0x90}), "inside a channel message"},
        {"five-byte delta", oneTrack({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1}), "longer than four bytes"},
        {"meta past chunk", oneTrack({0x00, 0xFF, 0x01, 0x05, 'a'}), "truncated: meta event"},
        {"message past chunk", oneTrack({0x00, 0x90, 60}), "truncated: channel message"},
    };
    for (const auto& bad : cases) {
        try {
            smf::read(bad.bytes);
            ADD_FAILURE() << bad.what << ": read without complaint";
        } catch (const smf::FormatError& error) {
            EXPECT_NE(std::string(error.what()).find(bad.reason), std::string::npos)
                << bad.what << ": " << error.what();
        }
    }
}

TEST(SmfReader, ReportsEveryCutOfAFileAsMalformed)
{
    const Bytes whole = smf::write(severalTracks());
    for (size_t length = 0; length < whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_THROW(smf::read(cut), smf::FormatError) << "cut at " << length;
    }
}

// Damaged files either read or fail with FormatError; nothing else escapes.
TEST(SmfReader, SurvivesRandomDamage)
{
    const Bytes whole = smf::write(severalTracks());
    std::mt19937 random(7);
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes damaged = whole;
        for (int hit = 0; hit < 1 + trial % 4; ++hit)
            damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
        try {
            smf::read(damaged);
        } catch (const smf::FormatError&) {
        }
    }
}

TEST(SmfWriter, RefusesEventsThatAFileCannotHold)
{
    const std::vector<smf::Event> unwritable[] = {
        {{0, {0x90, 60}}},                      // note-on without velocity
        {{0, {0x90, 60, 200}}},                 // data byte with bit 7 set
        {{0, {0xC0, 1, 2}}},                    // program change with two data bytes
        {{0, {0xF8}}},                          // real-time status outside an escape
        {{0, {}}},                              // nothing at all
        {{10, {0x90, 60, 1}}, {5, {0x80, 60, 0}}},  // ticks going backwards
    };
    for (const auto& events : unwritable)
        EXPECT_THROW(smf::write(smf::File{0, 96, {{events, 10}}}), std::invalid_argument);
    EXPECT_THROW(smf::write(smf::File{0, 96, {{}, {}}}), std::invalid_argument);
}

TEST(SmfFile, ReportsMissingDirectoriesAndDamagedFilesByPath)
{
    const std::string folder = ::testing::TempDir();
    EXPECT_THROW(smf::readFile(folder + "/no-such-file.mid"), std::runtime_error);
    EXPECT_THROW(smf::readFile(folder), std::runtime_error);
    const std::string damaged = folder + "/damaged.mid";
    std::ofstream(damaged, std::ios::binary) << "MThd";
    try {
        smf::readFile(damaged);
        ADD_FAILURE() << "a damaged file was read";
    } catch (const smf::FormatError& error) {
        EXPECT_EQ(std::string(error.what()).rfind(damaged + ": truncated", 0), 0u) << error.what();
    }
    std::filesystem::remove(damaged);
}

}  // namespace
