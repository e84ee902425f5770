// Chains as a person writes them, and the one-line reasons when they are wrong.
#include <gtest/gtest.h>

#include <array>

#include "chain.h"

namespace {

using Pairs = std::vector<std::pair<int32_t, int32_t>>;

Pairs pairsOf(const std::vector<Setting>& settings)
{
    Pairs result;
    for (const Setting& setting : settings)
        result.emplace_back(setting.pin, setting.value);
    return result;
}

Pairs settingsOf(const ChainStage& stage)
{
    return pairsOf(stage.settings);
}

TEST(Chain, TakesGivenValuesAndWordsAndFillsEveryOtherSettingWithItsDefault)
{
    const Chain chain = parseChain("MIDI_Transposer transpose=12 channel=2 | arp  order=ascending");
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0].module->identifier, "MIDI_Transposer");
    EXPECT_EQ(settingsOf(chain[0]), (std::vector<std::pair<int32_t, int32_t>>{{2, 12}, {3, 2}}));
    EXPECT_EQ(chain[1].module->identifier, "MIDI_Arp");
    EXPECT_EQ(settingsOf(chain[1]), (std::vector<std::pair<int32_t, int32_t>>{{4, 12}, {5, 1}}));
    EXPECT_EQ(chain[1].text, "MIDI_Arp order=ascending");
}

TEST(Chain, RepeatsAStepListOverTheSixteenStepsAndLetsSingleStepsFollow)
{
    const Chain chain = parseChain("MIDI_SemiSeq steps=0,rest,7 step16=3 tie=on");
    const auto settings = settingsOf(chain[0]);
    ASSERT_EQ(settings.size(), 17u);
    EXPECT_EQ(settings[0], (std::pair<int32_t, int32_t>{4, 1}));
    for (int32_t k = 0; k < 15; ++k)
        EXPECT_EQ(settings[1 + static_cast<size_t>(k)], (std::pair<int32_t, int32_t>{6 + k, std::array{0, -1, 7}[k % 3]}));
    EXPECT_EQ(settings[16], (std::pair<int32_t, int32_t>{21, 3}));
    const Chain rhythm = parseChain("MIDI_RhythmSeq steps=on,off");
    EXPECT_EQ(settingsOf(rhythm[0])[2], (std::pair<int32_t, int32_t>{7, 0}));
}

TEST(Chain, TakesChangesAtBeatsInBeatOrderAndAtBeatZeroAsTheStartValue)
{
    const ChainStage block = parseChain("MIDI_Block gate=off@2.5 gate=on@1 gate=on@0 gate=off@0.0 gate=on@1")[0];
    EXPECT_EQ(settingsOf(block), (Pairs{{2, 0}}));
    ASSERT_EQ(block.changes.size(), 3u);
    EXPECT_EQ(block.changes[0].beat, 1.0);
    EXPECT_EQ(pairsOf(block.changes[0].settings), (Pairs{{2, 1}}));
    EXPECT_EQ(block.changes[1].text, "gate=on@1");
    EXPECT_EQ(block.changes[2].beat, 2.5);
    EXPECT_EQ(pairsOf(block.changes[2].settings), (Pairs{{2, 0}}));
    EXPECT_EQ(block.changes[2].text, "gate=off@2.5");
    EXPECT_EQ(block.text, "MIDI_Block gate=off@2.5 gate=on@1 gate=on@0 gate=off@0.0 gate=on@1");

    const ChainStage sequencer = parseChain("MIDI_SemiSeq steps=5,rest@4")[0];
    ASSERT_EQ(sequencer.changes.size(), 1u);
    const Pairs steps = pairsOf(sequencer.changes[0].settings);
    ASSERT_EQ(steps.size(), 16u);
    EXPECT_EQ(steps[0], (std::pair<int32_t, int32_t>{6, 5}));
    EXPECT_EQ(steps[15], (std::pair<int32_t, int32_t>{21, -1}));
    EXPECT_EQ(settingsOf(sequencer)[1], (std::pair<int32_t, int32_t>{6, 0}));
}

TEST(Chain, NamesWhatIsWrong)
{
    const struct {
        const char* chain;
        const char* reason;
    } cases[] = {
        {"MIDI_Nope", "unknown module \"MIDI_Nope\" (modules: MIDI_Arp, MIDI_Block,"},
        {"MIDI_Arp speed=3", "MIDI_Arp has no pin \"speed\" (settings: length, order)"},
        {"MIDI_Arp length=13", "MIDI_Arp length: 13 is out of range (1 to 12)"},
        {"MIDI_Arp order=sideways", "\"sideways\" is not a value (played, ascending, descending (or 0 to 2))"},
        {"MIDI_Arp clock=1", "MIDI_Arp clock is audio in, wired by the host, not a setting"},
        {"MIDI_NoteCounter note-count=1", "is int out, wired by the host"},
        {"MIDI_Arp length", "\"length\" after MIDI_Arp is not a setting: write name=value"},
        {"MIDI_Arp | | MIDI_Block", "empty module"},
        {"MIDI_Block |", "empty module"},
        {"MIDI_Transposer transpose=99999999999", "is not a value"},
        {"MIDI_Block gate=maybe", "(on or off)"},
        {"MIDI_SemiSeq steps=0,127", "MIDI_SemiSeq step2: 127 is out of range (0 to 126, or rest)"},
        {"MIDI_SemiSeq steps=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", "17 values, at most 16"},
        {"MIDI_ScaledSeq steps=1,,2", "\"\" is not a value"},
        {"MIDI_Block gate=off@", "MIDI_Block gate=off@: \"\" after '@' is not a beat (beats count from 0"},
        {"MIDI_Block gate=off@x", "\"x\" after '@' is not a beat"},
        {"MIDI_Block gate=off@-1", "\"-1\" after '@' is not a beat"},
        {"MIDI_Block gate=off@2@3", "\"2@3\" after '@' is not a beat"},
        {"MIDI_Block gate=off@1e3", "\"1e3\" after '@' is not a beat"},
        {"MIDI_Block gate=off@inf", "\"inf\" after '@' is not a beat"},
        {"MIDI_Block gate=off@nan", "\"nan\" after '@' is not a beat"},
        {"MIDI_Block gate=maybe@2", "MIDI_Block gate: \"maybe\" is not a value (on or off)"},
        {"MIDI_Block gate@2", "\"gate@2\" after MIDI_Block is not a setting: write name=value or name=value@beat"},
        {"MIDI_Block gate@2=off", "MIDI_Block has no pin \"gate@2\""},
        {"MIDI_SemiSeq steps=0,300@4", "MIDI_SemiSeq step2: 300 is out of range"},
    };
    for (const auto& bad : cases) {
        try {
            parseChain(bad.chain);
            ADD_FAILURE() << bad.chain << ": accepted";
        } catch (const ChainError& error) {
            EXPECT_NE(std::string(error.what()).find(bad.reason), std::string::npos)
                << bad.chain << ": " << error.what();
        }
    }
}

}  // namespace
