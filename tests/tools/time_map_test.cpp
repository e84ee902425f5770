// Ticks, seconds and samples along a tempo map.
#include <gtest/gtest.h>

#include "time_map.h"

namespace {

TEST(TimeMap, FollowsTempoChangesBothWays)
{
    const TimeMap map(480, {{960, 250000}, {0, 500000}});
    EXPECT_DOUBLE_EQ(map.secondsAt(480), 0.5);
    EXPECT_DOUBLE_EQ(map.secondsAt(960), 1.0);
    EXPECT_DOUBLE_EQ(map.secondsAt(1440), 1.25);
    EXPECT_DOUBLE_EQ(map.tickAt(1.25), 1440);
    EXPECT_DOUBLE_EQ(map.tickAt(0.5), 480);
    EXPECT_EQ(map.sampleAt(1440, 48000), 60000);
    EXPECT_DOUBLE_EQ(map.tickAtSample(60000, 48000), 1440);
}

TEST(TimeMap, StartsAt120BeatsAMinuteAndTakesTheLastChangeAtATick)
{
    const TimeMap map(480, {{480, 1000000}, {480, 250000}});
    ASSERT_EQ(map.changes().size(), 2u);
    EXPECT_EQ(map.changes()[0].microsecondsPerQuarter, smf::defaultTempo);
    EXPECT_DOUBLE_EQ(map.secondsAt(480), 0.5);
    EXPECT_DOUBLE_EQ(map.secondsAt(960), 0.75);
}

TEST(TimeMap, TakesTheTempoEventsOfEveryTrack)
{
    const smf::File file{1, 96, {{{smf::tempoEvent(0, 1000000)}, 0}, {{smf::tempoEvent(96, 500000)}, 96}}};
    const TimeMap map = TimeMap::ofFile(file);
    EXPECT_DOUBLE_EQ(map.secondsAt(96), 1.0);
    EXPECT_DOUBLE_EQ(map.secondsAt(192), 1.5);
}

}  // namespace
