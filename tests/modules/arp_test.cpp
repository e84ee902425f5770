// MIDI_Arp through the stand-in host, driven by clock and enable signals played block
// by block, with edges inside blocks and blocks of different sizes.
#include <gtest/gtest.h>

#include <limits>

#include "module_harness.h"

namespace {

enum Pin { midiIn, midiOut, clockIn, enableIn, lengthIn, orderIn };
enum Order { asPlayed, ascending, descending };

constexpr float high = 1.0f;
constexpr float low = 0.0f;
const Midi allNotesOff{0xB0, 123, 0};

// What the module sends: every message at the start of the block.
Outputs sent(std::initializer_list<Midi> messages)
{
    Outputs outputs;
    for (const Midi& message : messages)
        outputs.push_back({0, midiOut, message});
    return outputs;
}

void append(Outputs& outputs, const Outputs& more)
{
    outputs.insert(outputs.end(), more.begin(), more.end());
}

class ArpHost {
public:
    // Both inputs stream from the first block; enable is high long enough to act.
    explicit ArpHost(int32_t order = asPlayed)
    {
        harness.streamAudio({clockIn, enableIn});
        harness.events.value(0, orderIn, order);
        setEnable(high);
    }

    // One block; the clock is `clockFrom` before sample `edge` and `clockTo` from it on.
    Outputs block(int32_t size, float clockFrom, int32_t edge, float clockTo, float enable = high)
    {
        harness.setSamples(clockIn, 0, edge, clockFrom);
        harness.setSamples(clockIn, edge, size, clockTo);
        harness.setSamples(enableIn, 0, size, enable);
        return harness.run(size);
    }
    Outputs steady(int32_t size, float clock, float enable = high) { return block(size, clock, 0, clock, enable); }
    // Two spans with the clock low, so that the enable level decides from the next one.
    void setEnable(float enable)
    {
        steady(8, low, enable);
        steady(7, low, enable);
    }

    // One clock period: rises at sample 4 of a 9-sample block, falls at sample 6 of the
    // next 14, then 5 more samples low.
    Outputs cycle(float enable = high)
    {
        Outputs played = block(9, low, 4, high, enable);
        append(played, block(14, high, 6, low, enable));
        append(played, steady(5, low, enable));
        return played;
    }

    // The notes of `steps` clock periods, 0 for a silent step. Each step must play its
    // note on channel 0 with velocity 100 and release it when the clock falls.
    std::vector<int> arpeggio(int steps)
    {
        std::vector<int> notes;
        for (int step = 0; step < steps; ++step) {
            const Outputs played = cycle();
            const uint8_t note = played.empty() ? uint8_t{0} : played.front().bytes.at(1);
            EXPECT_EQ(played, note == 0 ? Outputs{} : sent({{0x90, note, 100}, {0x80, note, 0}})) << "step " << step;
            notes.push_back(note);
        }
        return notes;
    }

    // Messages at stamps 0, 1, 2... of one block with the clock low.
    Outputs receive(std::initializer_list<Midi> messages)
    {
        int32_t stamp = 0;
        for (const Midi& message : messages)
            harness.events.midi(stamp++, midiIn, message);
        return steady(16, low);
    }
    void hold(std::initializer_list<uint8_t> notes) { play(0x90, notes); }
    void release(std::initializer_list<uint8_t> notes) { play(0x80, notes); }
    void set(Pin pin, int32_t value)
    {
        harness.events.value(0, pin, value);
        steady(16, low);
    }

    ModuleHarness harness{u"MIDI_Arp"};

private:
    void play(uint8_t status, std::initializer_list<uint8_t> notes)
    {
        int32_t stamp = 0;
        for (uint8_t note : notes)
            harness.events.midi(stamp++, midiIn, {status, note, 64});
        EXPECT_EQ(steady(16, low), Outputs{});
    }
};

TEST(Arp, KeepsDuplicatesAsPlayedAscendingOrDescending)
{
    const std::pair<int32_t, std::vector<int>> cases[] = {
        {asPlayed, {64, 60, 62, 60, 64}}, {ascending, {60, 60, 62, 64, 60}}, {descending, {64, 62, 60, 60, 64}}};
    for (const auto& [order, played] : cases) {
        ArpHost arp(order);
        arp.hold({64, 60, 62, 60});
        EXPECT_EQ(arp.arpeggio(5), played) << "order " << order;
    }
    ArpHost unknownOrder(3);
    unknownOrder.hold({60});
    EXPECT_EQ(unknownOrder.arpeggio(1), std::vector<int>{0});
}

TEST(Arp, DropsTheThirteenthNoteThatSortsLast)
{
    ArpHost asPlayedArp(asPlayed);
    asPlayedArp.set(lengthIn, 0);  // no limit: the index wraps after the top slot
    asPlayedArp.hold({55, 50, 61, 52, 58, 53, 60, 51, 57, 54, 59, 56});
    asPlayedArp.hold({40});
    EXPECT_EQ(asPlayedArp.arpeggio(13), (std::vector<int>{55, 50, 61, 52, 58, 53, 60, 51, 57, 54, 59, 56, 55}));

    ArpHost ascendingArp(ascending);
    ascendingArp.hold({55, 50, 61, 52, 58, 53, 60, 51, 57, 54, 59, 56});
    ascendingArp.hold({40, 99, 60});  // 40 pushes 61 out; 99 and the tie with 60 sort last
    EXPECT_EQ(ascendingArp.arpeggio(13), (std::vector<int>{40, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 40}));

    ArpHost descendingArp(descending);
    descendingArp.hold({55, 50, 61, 52, 58, 53, 60, 51, 57, 54, 59, 56});
    descendingArp.hold({99, 40, 51});  // 99 pushes 50 out; 40 and the tie with 51 sort last
    EXPECT_EQ(descendingArp.arpeggio(13), (std::vector<int>{99, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 99}));
}

TEST(Arp, ReleaseRemovesOneCopyAndClosesTheGap)
{
    ArpHost arp;
    arp.hold({60, 62, 64});
    arp.receive({{0x90, 62, 0}});  // velocity 0 still holds a note
    arp.release({62, 99});
    EXPECT_EQ(arp.arpeggio(4), (std::vector<int>{60, 64, 62, 60}));
}

TEST(Arp, LengthLimitIsTestedForEqualityOnly)
{
    ArpHost arp;
    arp.hold({61, 62, 63, 64, 65, 66, 67, 68});
    arp.set(lengthIn, 3);
    EXPECT_EQ(arp.arpeggio(4), (std::vector<int>{61, 62, 63, 61}));
    arp.set(lengthIn, 1);  // at the index: wraps on the next step
    EXPECT_EQ(arp.arpeggio(3), (std::vector<int>{61, 61, 61}));
    arp.set(lengthIn, 0);  // no limit
    EXPECT_EQ(arp.arpeggio(12), (std::vector<int>{62, 63, 64, 65, 66, 67, 68, 61, 62, 63, 64, 65}));
    arp.set(lengthIn, 2);  // below the index: runs on to the first empty slot
    EXPECT_EQ(arp.arpeggio(6), (std::vector<int>{66, 67, 68, 61, 62, 61}));
    arp.set(lengthIn, -4);
    EXPECT_EQ(arp.arpeggio(8), (std::vector<int>{62, 63, 64, 65, 66, 67, 68, 61}));
}

TEST(Arp, NoteZeroLeavesAnEmptySlot)
{
    ArpHost ascendingArp(ascending);
    ascendingArp.hold({62, 60, 0});
    EXPECT_EQ(ascendingArp.arpeggio(6), (std::vector<int>{0, 60, 62, 0, 60, 62}));
    ascendingArp.release({99});  // compacts the store
    EXPECT_EQ(ascendingArp.arpeggio(3), (std::vector<int>{60, 62, 60}));
    ArpHost copyAfterGap(ascending);
    copyAfterGap.hold({60, 0, 60});  // held as empty, 60, 60: an equal note goes after the older
    EXPECT_EQ(copyAfterGap.arpeggio(4), (std::vector<int>{0, 60, 60, 0}));

    for (int32_t order : {asPlayed, descending}) {
        ArpHost arp(order);
        arp.hold({62, 60, 0});
        EXPECT_EQ(arp.arpeggio(3), (std::vector<int>{62, 60, 62})) << "order " << order;
        ArpHost zeroFirst(order);
        zeroFirst.hold({0, 62, 60});  // note 0 takes no slot
        EXPECT_EQ(zeroFirst.arpeggio(3), (std::vector<int>{62, 60, 62})) << "order " << order;
    }
    ArpHost empty;
    EXPECT_EQ(empty.arpeggio(2), (std::vector<int>{0, 0}));
}

TEST(Arp, OnlyTheLastSampleOfASpanCounts)
{
    ArpHost arp;
    arp.hold({60});
    arp.harness.setSamples(clockIn, 4, 10, high);  // the pulse ends inside the block
    EXPECT_EQ(arp.harness.run(16), Outputs{});
    arp.harness.setSamples(clockIn, 4, 10, high);  // the same pulse, now ending a span
    arp.harness.events.midi(3, midiIn, {0xC0, 1}).midi(10, midiIn, {0xC0, 2});
    EXPECT_EQ(arp.harness.run(16), sent({{0xC0, 1}, {0x90, 60, 100}, {0xC0, 2}, {0x80, 60, 0}}));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    arp.setEnable(nan);
    EXPECT_EQ(arp.steady(5, nan, nan), sent({{0x90, 60, 100}}));
    EXPECT_EQ(arp.steady(5, -0.0f, nan), sent({{0x80, 60, 0}}));
    EXPECT_EQ(arp.steady(5, 1e-30f, nan), sent({{0x90, 60, 100}}));
}

TEST(Arp, EnableActsTwoSpansAfterTheSpanThatShowsIt)
{
    ArpHost arp;
    arp.hold({60, 62, 64});
    arp.setEnable(low);
    EXPECT_EQ(arp.block(9, low, 4, high, high), Outputs{});  // enable rises with the clock
    EXPECT_EQ(arp.steady(6, high, high), Outputs{});           // one span late: still low
    EXPECT_EQ(arp.steady(6, high, high), sent({{0x90, 60, 100}}));
    EXPECT_EQ(arp.steady(6, low, high), sent({{0x80, 60, 0}}));

    // Spans of no samples keep the levels but still move the enable along.
    arp.setEnable(low);
    EXPECT_EQ(arp.steady(9, high, high), Outputs{});
    EXPECT_EQ(arp.harness.run(0), Outputs{});
    EXPECT_EQ(arp.harness.run(0), sent({{0x90, 62, 100}}));
}

TEST(Arp, DisablingDuringANoteRestartsTheArpeggio)
{
    ArpHost arp;
    arp.hold({61, 62, 63, 64});
    EXPECT_EQ(arp.arpeggio(2), (std::vector<int>{61, 62}));
    EXPECT_EQ(arp.steady(9, high), sent({{0x90, 63, 100}}));
    for (int span = 0; span < 3; ++span)
        EXPECT_EQ(arp.steady(7, high, low), Outputs{});  // the note keeps sounding
    EXPECT_EQ(arp.steady(7, low, low), sent({{0x80, 63, 0}}));
    EXPECT_EQ(arp.cycle(low), Outputs{});
    arp.setEnable(high);
    EXPECT_EQ(arp.arpeggio(2), (std::vector<int>{61, 62}));

    // Disabled only after the clock fell: the arpeggio goes on where it was.
    arp.setEnable(low);
    EXPECT_EQ(arp.cycle(low), Outputs{});
    arp.setEnable(high);
    EXPECT_EQ(arp.arpeggio(1), std::vector<int>{63});
}

TEST(Arp, ChannelChangeEmptiesTheStoreButReleasesTheSoundingNote)
{
    ArpHost arp;
    arp.hold({60, 62});
    EXPECT_EQ(arp.steady(5, high), sent({{0x90, 60, 100}}));
    EXPECT_EQ(arp.receive({{0xB3, 7, 100}}), sent({allNotesOff, {0xB3, 7, 100}, {0x83, 60, 0}}));
    EXPECT_EQ(arp.cycle(), Outputs{});
    arp.receive({{0x93, 65, 64}});
    EXPECT_EQ(arp.cycle(), sent({{0x93, 65, 100}, {0x83, 65, 0}}));
}

TEST(Arp, AllNotesOffEmptiesTheStoreAndIsAnsweredOnce)
{
    ArpHost arp;
    arp.hold({60, 62});
    EXPECT_EQ(arp.receive({{0xB0, 123, 5}}), sent({allNotesOff}));
    EXPECT_EQ(arp.cycle(), Outputs{});
    EXPECT_EQ(arp.receive({{0xB2, 123}}), sent({allNotesOff, {0xB2, 123, 0}}));
}

TEST(Arp, PassesOtherMessagesAsTheyCame)
{
    ArpHost arp;
    EXPECT_EQ(arp.receive({{0xC0, 5}}), sent({{0xC0, 5}}));
    arp.hold({60});
    // A system message takes its low four bits as the channel: the store is emptied.
    EXPECT_EQ(arp.receive({{0xF8}}), sent({allNotesOff, {0xF8}}));
    EXPECT_EQ(arp.receive({{0x98}, {0x88}, {0xB8}, {0x98, 64}}), sent({{0x98}, {0x88}, {0xB8}}));
    EXPECT_EQ(arp.cycle(), sent({{0x98, 64, 100}, {0x88, 64, 0}}));
    const Midi sysex{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7};
    EXPECT_EQ(arp.receive({sysex}), sent({{0xB8, 123, 0}, sysex}));
}

TEST(Arp, NoteOnAtTheStampOfAnOrderChangeIsLost)
{
    ArpHost arp;
    arp.hold({60});
    arp.harness.events.midi(4, midiIn, {0x90, 62, 64}).value(4, orderIn, ascending).midi(6, midiIn, {0x90, 64, 64});
    EXPECT_EQ(arp.steady(16, low), Outputs{});
    EXPECT_EQ(arp.arpeggio(2), (std::vector<int>{64, 64}));
}

TEST(Arp, SleepsWhileNeitherAudioInputStreams)
{
    ModuleHarness harness{u"MIDI_Arp"};
    harness.events.midi(10, midiIn, {0x90, 60, 64});
    EXPECT_EQ(harness.run(64), Outputs{});
    EXPECT_EQ(harness.sleepRequests(), 1);

    // The clock alone streams; the enable input has no buffer and reads as silence.
    harness.streamAudio({clockIn});
    for (int32_t size : {8, 8, 8}) {
        harness.setSamples(clockIn, 0, static_cast<size_t>(size), high);
        EXPECT_EQ(harness.run(size), Outputs{});
        EXPECT_EQ(harness.sleepRequests(), 0);
    }
    harness.events.streamStop(0, clockIn);
    harness.run(8);
    EXPECT_EQ(harness.sleepRequests(), 1);
}

}  // namespace
