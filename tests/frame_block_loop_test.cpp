// The block loop: spans between event stamps, the three passes at one stamp, and the
// sleep routine that lets idle modules stop being processed.
#include <gtest/gtest.h>

#include "frame_probe.h"

namespace {

TEST(BlockLoop, RunsOneSpanForABlockWithoutEvents)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.startStreaming();
    EXPECT_EQ(rig.run(64), (Log{"span 0+64 last"}));
}

TEST(BlockLoop, SplitsTheBlockAtEventStamps)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.startStreaming();
    rig.events.midi(0, 0, {0x90, 60, 1}).midi(10, 0, {0x90, 61, 1}).midi(10, 0, {0x90, 62, 1}).midi(40, 0, {0xF8});
    EXPECT_EQ(rig.run(64), (Log{"midi pin 0 length 3 at 0", "span 0+10", "midi pin 0 length 3 at 10",
                                "midi pin 0 length 3 at 10", "span 10+30", "midi pin 0 length 1 at 40",
                                "span 40+24 last"}));
    EXPECT_EQ(rig.probe->position(), 40);  // stays at the last stamp until the next block
}

TEST(BlockLoop, DoesNotDeliverEventsStampedAtTheBlockEnd)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.startStreaming();
    rig.events.midi(64, 0, {0x90, 60, 1});
    EXPECT_EQ(rig.run(64), (Log{"span 0+64"}));
}

TEST(BlockLoop, PassesOverOneStampThreeTimes)
{
    ProbeRig rig;
    rig.events.value(5, FrameProbe::firstPin, 1).value(5, FrameProbe::secondPin, 2);
    EXPECT_EQ(rig.run(16), (Log{"before first", "before second", "dispatch first", "dispatch second",
                                "pinsChanged first second", "after first", "after second"}));
}

TEST(BlockLoop, CallsNoPinsChangedForMidiAlone)
{
    ProbeRig rig;
    rig.events.midi(3, 0, {0x80, 60, 0});
    EXPECT_EQ(rig.run(16), (Log{"midi pin 0 length 3 at 3"}));
}

TEST(BlockLoop, StoresValuesBeforeGraphStartAndMidi)
{
    ProbeRig rig;
    rig.probe->countOut.setValue(3);
    rig.services.clear();
    rig.events.graphStart(7).value(7, FrameProbe::firstPin, 9).midi(7, 0, {0x90, 1, 1});
    EXPECT_EQ(rig.run(16), (Log{"before first", "graphStart", "dispatch first", "midi pin 0 length 3 at 7",
                                "pinsChanged first", "after first"}));
    EXPECT_EQ(rig.probe->first.value, 9);
    EXPECT_EQ(rig.services.pinData(), (std::vector<host::PinData>{{7, FrameProbe::countPin, {3, 0, 0, 0}}}));
}

TEST(BlockLoop, SkipsUnboundPinsAndUnknownEventTypes)
{
    ProbeRig rig;
    gmpi::HostEvent unknown{};
    unknown.timeStamp = 2;
    unknown.type = 99;
    unknown.pinNumber = FrameProbe::firstPin;
    gmpi::HostEvent beyond = unknown;
    beyond.type = 105;
    rig.events.raw(unknown).raw(beyond).value(4, 42, 1).midi(4, 43, {0x90, 60, 1});
    // A value event counts as a change even for an unbound pin; nothing else reacts.
    EXPECT_EQ(rig.run(16), (Log{"pinsChanged"}));
}

// Without a streaming input the module runs through the sleep routine: its own routine
// covers the spans that events follow, and the last span asks the host to sleep.
TEST(Sleep, IdleModuleAsksToSleepAtTheLastSpan)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.events.midi(10, 0, {0x90, 60, 1});
    EXPECT_EQ(rig.run(64), (Log{"span 0+10", "midi pin 0 length 3 at 10"}));
    EXPECT_EQ(rig.services.sleepRequests(), 1);
}

TEST(Sleep, StreamStopKeepsTheModuleAwakeForOneMoreSample)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.startStreaming();
    rig.events.streamStop(8, FrameProbe::audioPin);
    EXPECT_EQ(rig.run(64), (Log{"span 0+8", "not streaming", "pinsChanged", "span 8+1 last"}));
    EXPECT_EQ(rig.services.sleepRequests(), 1);
    EXPECT_EQ(rig.probe->position(), 8);
}

TEST(Sleep, StreamStartResumesTheOwnRoutineAtOnce)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.events.streamStart(20, FrameProbe::audioPin);
    EXPECT_EQ(rig.run(64), (Log{"span 0+20", "streaming", "pinsChanged", "span 20+44 last"}));
    EXPECT_EQ(rig.services.sleepRequests(), 0);
}

TEST(Sleep, TwoStopEventsReportOneChange)
{
    ProbeRig rig;
    rig.startStreaming();
    rig.events.streamStop(4, FrameProbe::audioPin).streamStop(6, FrameProbe::audioPin);
    EXPECT_EQ(rig.run(16), (Log{"not streaming", "pinsChanged", "pinsChanged"}));
    EXPECT_EQ(rig.probe->countdown(), 0);
    EXPECT_EQ(rig.services.sleepRequests(), 1);
}

TEST(Sleep, RoutineChosenWhileAsleepRunsWhenAwake)
{
    ProbeRig rig;
    rig.events.midi(5, 0, {0xF8});
    EXPECT_EQ(rig.run(16), (Log{"midi pin 0 length 1 at 5"}));  // the empty routine ran before it
    rig.probe->useOwnRoutine();
    rig.events.midi(5, 0, {0xF8});
    EXPECT_EQ(rig.run(16), (Log{"span 0+5", "midi pin 0 length 1 at 5"}));  // still asleep at the end
    EXPECT_EQ(rig.services.sleepRequests(), 2);
}

}  // namespace
