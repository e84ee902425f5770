// Pins: values from value events, change flags, outputs and their positions.
#include <gtest/gtest.h>

#include "frame_probe.h"

namespace {

using host::PinData;

TEST(ControlPins, IntegerValueIsFlaggedUntilAfterPinsChanged)
{
    ProbeRig rig;
    rig.events.value(3, FrameProbe::firstPin, 5);
    EXPECT_EQ(rig.run(8), (Log{"before first", "dispatch first", "pinsChanged first", "after first"}));
    EXPECT_EQ(rig.probe->first.value, 5);
    EXPECT_FALSE(rig.probe->first.wasChanged);
}

TEST(ControlPins, BooleanTakesFourBytesAsIntegerAndOneByteAsItIs)
{
    ProbeRig rig;
    rig.events.value(0, FrameProbe::boolPin, 256);
    rig.run(8);
    EXPECT_EQ(rig.probe->flagIn.value, 1);
    rig.events.boolValue(0, FrameProbe::boolPin, false);
    rig.run(8);
    EXPECT_EQ(rig.probe->flagIn.value, 0);
    const uint8_t two = 2;
    gmpi::HostEvent raw{};
    raw.type = gmpi::eventPinValue;
    raw.pinNumber = FrameProbe::boolPin;
    raw.size = 1;
    raw.inlineData[0] = two;
    rig.events.raw(raw);
    rig.run(8);
    EXPECT_EQ(rig.probe->flagIn.value, 2);
}

TEST(ControlPins, SetValueSendsOnlyChanges)
{
    ProbeRig rig;
    rig.probe->countOut.setValue(0);
    EXPECT_TRUE(rig.services.pinData().empty());
    rig.probe->countOut.setValue(-2, 11);
    rig.probe->countOut.setValue(-2, 12);
    EXPECT_EQ(rig.services.pinData(), (std::vector<PinData>{{11, FrameProbe::countPin, {0xFE, 0xFF, 0xFF, 0xFF}}}));
}

TEST(MidiPins, SendMidiTakesTheEventStampForMinusOne)
{
    ProbeRig rig;
    rig.probe->echoMidi = true;
    rig.events.midi(17, 0, {0x90, 60, 100});
    rig.run(32);
    rig.probe->echoPosition = 0;
    rig.events.midi(17, 0, {0x90, 61, 100});
    rig.run(32);
    EXPECT_EQ(rig.services.pinData(), (std::vector<PinData>{{17, 1, {0x90, 60, 100}}, {0, 1, {0x90, 61, 100}}}));
}

TEST(MidiPins, PositionsStayInsideTheBlock)
{
    ProbeRig rig;
    rig.probe->echoMidi = true;
    rig.probe->echoPosition = 11;
    rig.events.midi(0, 0, {0x90, 60, 100});
    rig.run(4);
    rig.events.midi(0, 0, {0x90, 61, 100});
    rig.run(0);
    rig.probe->echoPosition = -7;
    rig.events.midi(2, 0, {0x90, 62, 100});
    rig.run(4);
    EXPECT_EQ(rig.services.pinData(), (std::vector<PinData>{{3, 1, {0x90, 60, 100}},
                                                           {0, 1, {0x90, 61, 100}},
                                                           {0, 1, {0x90, 62, 100}}}));
}

TEST(MidiPins, OutsideDataReachesHandleMidiWhole)
{
    ProbeRig rig;
    rig.probe->echoMidi = true;
    const std::vector<uint8_t> sysex{0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xF7};
    const std::vector<uint8_t> noteOn{0x91, 62, 0};
    rig.events.midi(0, 0, sysex).midiOutside(1, 0, noteOn);
    EXPECT_EQ(rig.run(8), (Log{"midi pin 0 length 11 at 0", "midi pin 0 length 3 at 1"}));
    EXPECT_EQ(rig.services.pinData(), (std::vector<PinData>{{0, 1, sysex}, {1, 1, noteOn}}));
}

TEST(Binding, FirstBindingOfANumberWins)
{
    ProbeRig rig;
    MidiInPin stray;
    rig.probe->bindAgain(FrameProbe::firstPin, stray);
    rig.events.value(0, FrameProbe::firstPin, 7);
    rig.run(4);
    EXPECT_EQ(rig.probe->first.value, 7);

    // A pin object bound again takes the handler of its latest binding at every number.
    static int relayed = 0;
    rig.probe->bindAgain(20, rig.probe->midiIn, [](MpPluginBase&, const gmpi::HostEvent&) { ++relayed; });
    rig.events.midi(0, FrameProbe::midiInPin, {0x90, 60, 1});
    EXPECT_EQ(rig.run(4), Log{});
    EXPECT_EQ(relayed, 1);
}

TEST(AudioPins, ReadSilenceUntilABufferIsAttached)
{
    ProbeRig rig;
    rig.probe->useOwnRoutine();
    rig.probe->lastSample = 1.0f;
    rig.startStreaming();
    rig.run(64);
    EXPECT_EQ(rig.probe->lastSample, 0.0f);

    std::vector<float> samples(64, 0.0f);
    samples[63] = 0.5f;
    auto* plugin = static_cast<gmpi::IMpPlugin2*>(rig.probe);
    EXPECT_EQ(plugin->attachPinBuffer(FrameProbe::audioPin, samples.data()), gmpi::resultOk);
    rig.run(64);
    EXPECT_EQ(rig.probe->lastSample, 0.5f);
}

}  // namespace
