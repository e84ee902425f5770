// What the frame does with input a well-behaved host never sends: nothing is read or
// run outside the block or the event's bytes, and nothing crashes.
#include <gtest/gtest.h>

#include "frame_probe.h"

namespace {

gmpi::HostEvent midiEvent(int32_t stamp, int32_t size)
{
    gmpi::HostEvent event{};
    event.timeStamp = stamp;
    event.type = gmpi::eventMidi;
    event.pinNumber = FrameProbe::midiInPin;
    event.size = size;
    event.inlineData[0] = 0x90;
    return event;
}

TEST(HostInput, NegativeSampleCountIsAnEmptyBlock)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.startStreaming();
    rig.events.midi(0, 0, {0xF8}).midi(3, 0, {0xF8});
    EXPECT_EQ(rig.run(-5), (Log{"midi pin 0 length 1 at 0", "span 0+0"}));
}

TEST(HostInput, StampsBehindThePositionAreDeliveredThere)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.startStreaming();
    rig.events.midi(-7, 0, {0xF8}).midi(20, 0, {0xF8}).midi(12, 0, {0xF8});
    EXPECT_EQ(rig.run(32), (Log{"midi pin 0 length 1 at 0", "span 0+20", "midi pin 0 length 1 at 20",
                                "midi pin 0 length 1 at 20", "span 20+12 last"}));
}

TEST(HostInput, StampsPastTheBlockEndTheBlock)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.startStreaming();
    rig.events.midi(4, 0, {0xF8}).midi(1000, 0, {0xF8}).midi(2000, 0, {0xF8});
    EXPECT_EQ(rig.run(32), (Log{"span 0+4", "midi pin 0 length 1 at 4", "span 4+28"}));
}

TEST(HostInput, EventBytesNeverReachPastWhatTheEventHolds)
{
    ProbeRig rig;
    gmpi::HostEvent emptyOutside = midiEvent(2, 0);
    const uint8_t outside[1] = {0xF8};
    rig.events.raw(midiEvent(0, 100)).raw(midiEvent(1, -3)).raw(emptyOutside, outside).raw(midiEvent(3, 0));
    EXPECT_EQ(rig.run(8), (Log{"midi pin 0 length 8 at 0"}));
}

TEST(HostInput, IntegerValuesOfAnotherSizeAreIgnored)
{
    ProbeRig rig;
    rig.events.value(0, FrameProbe::firstPin, 77);
    rig.run(4);
    for (int32_t size : {0, 1, 2, 3, 5, 8, 12, -4}) {
        gmpi::HostEvent event{};
        event.type = gmpi::eventPinValue;
        event.pinNumber = FrameProbe::firstPin;
        event.size = size;
        std::fill(std::begin(event.inlineData), std::end(event.inlineData), uint8_t{0xAB});
        rig.events.raw(event);
        const Log log = rig.run(4);
        EXPECT_EQ(log.at(2), "pinsChanged") << "size " << size;
        EXPECT_EQ(rig.probe->first.value, 77) << "size " << size;
    }
}

TEST(HostInput, EmptyBooleanValueIsIgnored)
{
    ProbeRig rig;
    rig.events.boolValue(0, FrameProbe::boolPin, true);
    rig.run(4);
    gmpi::HostEvent event{};
    event.type = gmpi::eventPinValue;
    event.pinNumber = FrameProbe::boolPin;
    rig.events.raw(event);
    EXPECT_EQ(rig.run(4), (Log{"pinsChanged"}));
    EXPECT_EQ(rig.probe->flagIn.value, 1);
}

TEST(HostInput, NoHostMeansOutputsAndSleepAreDropped)
{
    Log log;
    auto* probe = new FrameProbe(log);
    probe->echoMidi = true;
    host::EventList events;
    events.graphStart(0).midi(1, 0, {0x90, 60, 1});
    probe->countOut.setValue(4);
    static_cast<gmpi::IMpPlugin2*>(probe)->processBlock(16, events.head());
    EXPECT_EQ(log, (Log{"graphStart", "midi pin 0 length 3 at 1"}));
    EXPECT_EQ(static_cast<gmpi::IMpPlugin2*>(probe)->release(), 0);
}

TEST(HostInput, NullArgumentsAreRefused)
{
    ProbeRig rig;
    auto* plugin = static_cast<gmpi::IMpPlugin2*>(rig.probe);
    EXPECT_EQ(plugin->attachHost(nullptr), gmpi::resultFail);
    EXPECT_EQ(plugin->queryInterface(&gmpi::iidPlugin, nullptr), gmpi::resultFail);
    void* answer = plugin;
    EXPECT_EQ(plugin->queryInterface(nullptr, &answer), gmpi::resultNotFound);
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(plugin->attachPinBuffer(FrameProbe::audioPin, nullptr), gmpi::resultOk);
    plugin->processBlock(8, nullptr);
}

}  // namespace
