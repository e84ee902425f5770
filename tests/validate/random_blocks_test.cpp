#include <gtest/gtest.h>

#include <vector>

#include "validate/random_blocks.h"

namespace {

using validate::BlockGenerator;
using validate::RandomSource;

// What a run of blocks looked like, event by event, to compare runs.
std::vector<int64_t> trace(uint64_t seed, int blocks)
{
    RandomSource random(seed);
    BlockGenerator generator(random, {0, 4});
    host::EventList events;
    std::vector<float> audio(validate::largestBlock);
    std::vector<int64_t> seen;
    for (int block = 0; block < blocks; ++block) {
        const int32_t sampleCount = generator.next(events);
        generator.fillAudio(4, audio, sampleCount);
        seen.push_back(sampleCount);
        for (auto* event = events.head(); event != nullptr; event = event->next)
            seen.insert(seen.end(), {event->timeStamp, event->type, event->pinNumber, event->size});
        seen.push_back(static_cast<int64_t>(audio[static_cast<size_t>(sampleCount - 1)] > 0.0f));
        events.clear();
    }
    return seen;
}

TEST(RandomBlocks, TheSameSeedGivesTheSameBlocks)
{
    EXPECT_EQ(trace(7, 200), trace(7, 200));
    EXPECT_NE(trace(7, 200), trace(8, 200));
}

TEST(RandomBlocks, FirstBlockStartsTheGraphAndEveryAudioInput)
{
    RandomSource random(1);
    BlockGenerator generator(random, {2, 9});
    host::EventList events;
    generator.next(events);
    const gmpi::HostEvent* event = events.head();
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->type, gmpi::eventGraphStart);
    EXPECT_EQ(event->next->type, gmpi::eventStreamStart);
    EXPECT_EQ(event->next->pinNumber, 2);
    EXPECT_EQ(event->next->next->pinNumber, 9);
}

// Every block keeps the host's promises: a count of 1 to 4096, stamps in time order
// inside the block, data that the event holds, MIDI that starts with a status byte.
TEST(RandomBlocks, BlocksAreWellFormed)
{
    RandomSource random(3);
    BlockGenerator generator(random, {0, 1, 3});
    host::EventList events;
    for (int block = 0; block < 2000; ++block) {
        const int32_t sampleCount = generator.next(events);
        ASSERT_GE(sampleCount, 1);
        ASSERT_LE(sampleCount, validate::largestBlock);
        int32_t previous = 0;
        for (auto* event = events.head(); event != nullptr; event = event->next) {
            ASSERT_GE(event->timeStamp, previous);
            ASSERT_LT(event->timeStamp, sampleCount);
            previous = event->timeStamp;
            ASSERT_GE(event->type, gmpi::eventPinValue);
            ASSERT_LE(event->type, gmpi::eventGraphStart);
            ASSERT_TRUE(event->extraData != nullptr || event->size <= 8);
            if (event->type == gmpi::eventMidi) {
                const uint8_t* data = event->extraData != nullptr ? event->extraData : event->inlineData;
                ASSERT_GE(event->size, 1);
                ASSERT_GE(data[0], 0x80);
                if (data[0] == 0xF0) {
                    ASSERT_EQ(data[event->size - 1], 0xF7);
                }
            }
        }
        events.clear();
    }
    const validate::BlockCounts& counts = generator.counts();
    EXPECT_EQ(counts.blocks, 2000u);
    EXPECT_GT(counts.sysex, 0u);
    EXPECT_GT(counts.values, 0u);
    EXPECT_GT(counts.streamChanges, 3u);
    EXPECT_GT(counts.graphStarts, 1u);
}

TEST(RandomBlocks, ClocksChangeLevelAndCarryOnAcrossBlocks)
{
    RandomSource random(5);
    BlockGenerator generator(random, {0});
    host::EventList events;
    std::vector<float> audio(validate::largestBlock);
    int highs = 0;
    int lows = 0;
    for (int block = 0; block < 300; ++block) {
        const int32_t sampleCount = generator.next(events);
        generator.fillAudio(0, audio, sampleCount);
        for (int32_t i = 0; i < sampleCount; ++i)
            (audio[static_cast<size_t>(i)] > 0.0f ? highs : lows) += 1;
        events.clear();
    }
    EXPECT_GT(highs, 1000);
    EXPECT_GT(lows, 1000);
}

}  // namespace
