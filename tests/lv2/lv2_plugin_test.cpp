// The bundle as an LV2 host sees it, through lilv: its description, and the modules
// playing in it exactly as they play in the stand-in host.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <lv2/atom/atom.h>

#include "module_catalogue.h"
#include "port_layout.h"
#include "score.h"

namespace lv2test {
namespace {

using Bytes = std::vector<uint8_t>;

World& world()
{
    static World lilvWorld;
    return lilvWorld;
}

UridMap& urids()
{
    static UridMap map;
    return map;
}

TEST(Lv2Bundle, DescribesEachModuleWithThePortsOfItsPins)
{
    for (const host::ModuleDeclaration& module : host::moduleCatalogue()) {
        SCOPED_TRACE(std::string(module.identifier));
        const LilvPlugin* plugin = world().plugin(lv2::pluginUri(module.identifier));
        ASSERT_NE(plugin, nullptr);
        const std::vector<lv2::Port> ports = lv2::portsOf(module);
        ASSERT_EQ(lilv_plugin_get_num_ports(plugin), ports.size());
        std::vector<float> minimum(ports.size()), maximum(ports.size()), defaults(ports.size());
        lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
        for (const lv2::Port& port : ports) {
            const LilvPort* described = lilv_plugin_get_port_by_index(plugin, port.index);
            EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, described)), port.symbol.c_str());
            if (port.pin.number >= 0) {
                EXPECT_EQ(port.index, uint32_t(port.pin.number)) << "a pin's port index is its number";
            }
            if (port.role != lv2::PortRole::controlIn && port.role != lv2::PortRole::clockSource)
                continue;
            EXPECT_EQ(minimum[port.index], float(port.pin.minimum)) << port.symbol;
            EXPECT_EQ(maximum[port.index], float(port.pin.maximum)) << port.symbol;
            EXPECT_EQ(defaults[port.index], float(port.pin.defaultValue)) << port.symbol;
        }
    }
}

// Notes on two channels with a chord held across setting changes, a long system
// exclusive message, All Notes Off, and an event that is not MIDI at all.
Score busyScore(std::vector<SettingChange> changes)
{
    Score score{9600, {}, std::move(changes), [](int64_t f) { return f % 1200 < 600 ? 1.0f : 0.0f; },
                [](int64_t f) { return f >= 4000 && f < 5000 ? 0.0f : 1.0f; }};
    const Bytes sysex{0xF0, 0x7D, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xF7};
    score.midi = {{100, {0x90, 60, 100}}, {116, {0x90, 64, 90}}, {130, {0x90, 67, 80}},  {2000, {0x90, 72, 70}},
                  {2500, sysex},          {3000, {0x80, 64, 0}},  {3500, {0x91, 62, 60}}, {4100, {0x81, 62, 0}},
                  {5600, {0x90, 65, 50}}, {6000, {0xB0, 123, 0}}, {7000, {0x80, 60, 0}},  {7010, {0x80, 67, 0}},
                  {7400, {0x90, 48, 1}},  {8800, {0x80, 48, 0}}};
    return score;
}

struct ModuleCase {
    const char* identifier;
    std::vector<SettingChange> changes;
};

TEST(Lv2Plugin, PlaysEachModuleAsTheStandInHostDoesInTheSameSubBlocks)
{
    const ModuleCase cases[] = {
        {"MIDI_Transposer", {{3200, 2, 5}, {6400, 3, 9}}},
        {"MIDI_Block", {{1600, 2, 0}, {4800, 2, 1}}},
        {"MIDI_NoteCounter", {{0, 2, 2}, {3200, 2, 1}}},
        {"MIDI_Arp", {{0, 4, 2}, {3200, 5, 1}}},
        {"MIDI_RhythmSeq", {{0, 7, 0}, {3200, 4, 1}}},
        {"MIDI_SemiSeq", {{0, 8, 7}, {3200, 9, -1}}},
        {"MIDI_ScaledSeq", {{0, 10, 3}, {3200, 6, 2}}},
    };
    for (const ModuleCase& module : cases) {
        SCOPED_TRACE(module.identifier);
        const Score score = busyScore(module.changes);
        const std::vector<TimedMidi> expected = playThroughStandInHost(module.identifier, score);
        EXPECT_GT(expected.size(), 3u);
        EXPECT_EQ(playThroughPlugin(world(), urids(), module.identifier, score, 64), expected);
    }
}

// Two seconds of the arpeggiator on the host's transport at 120 beats a minute, four
// steps a beat, with a chord held from frame 1000.
std::vector<TimedMidi> arpeggioOnTransport(uint32_t hostBuffer)
{
    Instance arp(world(), urids(), lv2::pluginUri("MIDI_Arp"));
    constexpr uint32_t chord = 1000;
    for (uint32_t start = 0; start < 24 * 4096; start += hostBuffer) {
        if (start == 0)
            arp.position(0, 120, 0, 1);
        if (start <= chord && chord < start + hostBuffer)
            for (uint8_t note : {uint8_t(60), uint8_t(64), uint8_t(67)})
                arp.midi(chord - start, {0x90, note, 100});
        arp.run(hostBuffer);
    }
    return arp.output();
}

TEST(Lv2Plugin, StepsOnTheHostsBeatAlikeForEveryBufferSize)
{
    const std::vector<TimedMidi> reference = arpeggioOnTransport(64);
    for (uint32_t hostBuffer : {32u, 256u, 1024u, 4096u})
        EXPECT_EQ(arpeggioOnTransport(hostBuffer), reference) << hostBuffer << "-frame buffers";

    std::vector<TimedMidi> noteOns;
    std::copy_if(reference.begin(), reference.end(), std::back_inserter(noteOns),
                 [](const TimedMidi& m) { return (m.bytes[0] & 0xF0) == 0x90 && m.bytes[2] > 0; });
    ASSERT_GE(noteOns.size(), 14u);
    for (size_t i = 1; i < noteOns.size(); ++i)
        EXPECT_EQ(noteOns[i].frame - noteOns[i - 1].frame, 6000) << "step " << i;
    for (size_t i = 3; i < noteOns.size(); ++i)
        EXPECT_EQ(noteOns[i].bytes[1], noteOns[i - 3].bytes[1]) << "the chord, one note a step";
}

// Note-ons as "status note", from the output's `first` message on.
std::vector<std::pair<int, int>> noteOns(const std::vector<TimedMidi>& sent, size_t first = 0)
{
    std::vector<std::pair<int, int>> notes;
    for (size_t i = first; i < sent.size(); ++i)
        if ((sent[i].bytes.at(0) & 0xF0) == 0x90)
            notes.emplace_back(sent[i].bytes[0], sent[i].bytes.at(1));
    return notes;
}

TEST(Lv2Plugin, TakesWhatAHostGetsWrongSafely)
{
    Instance transposer(world(), urids(), lv2::pluginUri("MIDI_Transposer"));
    transposer.setControl("channel", 2);
    transposer.run(64);
    transposer.midi(10, {0x90, 60, 100});
    transposer.run(64);
    transposer.setControl("channel", std::numeric_limits<float>::quiet_NaN());  // keeps 2
    transposer.midi(10, {0x90, 61, 100});
    transposer.run(64);
    transposer.setControl("channel", 99);  // held to 15
    transposer.run(0);                     // nothing happens, and the change waits
    transposer.midi(10, {0x90, 62, 100});
    transposer.run(64);
    using Notes = std::vector<std::pair<int, int>>;
    EXPECT_EQ(noteOns(transposer.output()), (Notes{{0x92, 60}, {0x92, 61}, {0x9F, 62}}));

    // Frames out of order or past the run: every message is still played, in the order
    // given, within the run; an atom that is not MIDI is passed over.
    const size_t before = transposer.output().size();
    const int32_t other = int32_t(urids()(LV2_ATOM__Int));
    transposer.midi(40, {0x90, 40, 1});
    transposer.event(41, LV2_URID(other), &other, sizeof other);
    transposer.midi(10, {0x90, 10, 1});
    transposer.midi(500, {0x90, 50, 1});
    transposer.run(64);
    EXPECT_EQ(noteOns(transposer.output(), before), (Notes{{0x9F, 40}, {0x9F, 10}, {0x9F, 50}}));
    EXPECT_LT(transposer.output().back().frame, 5 * 64);

    // An output with room for one event gets one, and nothing past its room.
    transposer.setOutputCapacity(sizeof(LV2_Atom_Sequence_Body) + sizeof(LV2_Atom_Event) + 8);
    for (uint8_t note = 1; note <= 4; ++note)
        transposer.midi(10, {0x90, note, 1});
    transposer.run(64);
    EXPECT_EQ(transposer.output().size(), before + 4);
    EXPECT_TRUE(transposer.outputStayedWithinCapacity());
}

TEST(Lv2Plugin, IntegerOutputsHoldTheLatestValue)
{
    Instance counter(world(), urids(), lv2::pluginUri("MIDI_NoteCounter"));
    counter.midi(5, {0x90, 60, 100});
    counter.midi(6, {0x90, 64, 100});
    counter.run(64);
    EXPECT_EQ(counter.control("note_count"), 2);
    counter.midi(5, {0x80, 60, 0});
    counter.run(64);
    counter.run(64);
    EXPECT_EQ(counter.control("note_count"), 1);
}

}  // namespace
}  // namespace lv2test
