#include <gtest/gtest.h>

#include <string>

#include "validate/checking_host.h"

namespace {

using validate::CheckingHost;

struct HostRig {
    CheckingHost host;
    const uint8_t bytes[4] = {0x90, 60, 100, 0};

    HostRig()
    {
        validate::PinSet pins;
        pins.set(0).set(1).set(5);
        host.expect(pins, 3);
    }
    // The fault a single call in a block of `sampleCount` leaves, or "" for none.
    std::string faultOf(int32_t position, int32_t pin, int32_t size, const void* data, int32_t sampleCount = 16)
    {
        host.clearFault();
        host.beginBlock(sampleCount);
        host.setPinData(position, pin, size, data);
        host.endBlock();
        return host.fault() ? host.fault().what : "";
    }
};

TEST(CheckingHost, TakesOutputThatFitsTheBlockAndThePins)
{
    HostRig rig;
    EXPECT_EQ(rig.faultOf(0, 1, 3, rig.bytes), "");
    EXPECT_EQ(rig.faultOf(15, 5, 1, rig.bytes), "");
    EXPECT_EQ(rig.faultOf(0, 0, 3, rig.bytes, 0), "");  // a block of no samples still has position 0
    EXPECT_EQ(rig.host.pinDataCalls(), 3u);
}

TEST(CheckingHost, NamesWhatNoHostCouldTake)
{
    HostRig rig;
    EXPECT_EQ(rig.faultOf(16, 1, 3, rig.bytes), "pin data outside the block");
    EXPECT_EQ(rig.faultOf(-1, 1, 3, rig.bytes), "pin data outside the block");
    EXPECT_EQ(rig.faultOf(1, 0, 3, rig.bytes, -8), "pin data outside the block");
    EXPECT_EQ(rig.faultOf(0, 2, 3, rig.bytes), "pin data on a pin the module does not have");
    EXPECT_EQ(rig.faultOf(0, -1, 3, rig.bytes), "pin data on a pin the module does not have");
    EXPECT_EQ(rig.faultOf(0, 100000, 3, rig.bytes), "pin data on a pin the module does not have");
    EXPECT_EQ(rig.faultOf(0, 1, 0, rig.bytes), "pin data of an impossible size");
    EXPECT_EQ(rig.faultOf(0, 1, 4, rig.bytes), "pin data of an impossible size");
    EXPECT_EQ(rig.faultOf(0, 1, 3, nullptr), "pin data without bytes");
}

TEST(CheckingHost, KeepsTheFirstFaultAndItsPlace)
{
    HostRig rig;
    rig.host.beginBlock(8);
    rig.host.setPinData(9, 1, 3, rig.bytes);
    rig.host.setPinData(0, 7, 3, rig.bytes);
    rig.host.endBlock();
    EXPECT_EQ(rig.host.fault().describe(), "pin data outside the block (position 9, pin 1, 3 bytes, block of 8)");
}

TEST(CheckingHost, CallsOutsideABlockAreFaults)
{
    HostRig rig;
    rig.host.setPinData(0, 1, 3, rig.bytes);
    EXPECT_STREQ(rig.host.fault().what, "pin data outside processBlock");
    rig.host.clearFault();
    rig.host.sleepRequest();
    EXPECT_STREQ(rig.host.fault().what, "sleep request outside processBlock");
    EXPECT_EQ(rig.host.sleepRequests(), 1u);
}

TEST(CheckingHost, CountsTheReferencesItGives)
{
    CheckingHost host;
    void* services = nullptr;
    ASSERT_EQ(host.queryInterface(&gmpi::iidHostServices, &services), gmpi::resultOk);
    EXPECT_EQ(services, static_cast<gmpi::IMpHostServices*>(&host));
    EXPECT_EQ(host.referenceCount(), 1);
    EXPECT_EQ(host.queryInterface(&gmpi::iidPlugin, &services), gmpi::resultNotFound);
    EXPECT_EQ(services, nullptr);
    host.release();
    EXPECT_EQ(host.referenceCount(), 0);
}

}  // namespace
