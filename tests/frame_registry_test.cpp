// The registry of a library: the first registration of a key wins.
#include <gtest/gtest.h>

#include "frame_probe.h"
#include "mp_factory.h"

namespace {

Log probeLog;
gmpi::IMpUnknown* createFirst()
{
    probeLog.push_back("first");
    return static_cast<gmpi::IMpPlugin2*>(new FrameProbe(probeLog));
}
gmpi::IMpUnknown* createSecond()
{
    probeLog.push_back("second");
    return static_cast<gmpi::IMpPlugin2*>(new FrameProbe(probeLog));
}
gmpi::IMpUnknown* createThrowing()
{
    throw std::bad_alloc();
}

[[maybe_unused]] const bool first = registerModule(0, u"Probe", &createFirst);
[[maybe_unused]] const bool second = registerModule(0, u"Probe", &createSecond);
[[maybe_unused]] const bool otherSubtype = registerModule(3, u"Probe", &createSecond);
[[maybe_unused]] const bool throwing = registerModule(0, u"Throwing", &createThrowing);
[[maybe_unused]] const bool empty = registerModule(0, u"Empty", nullptr);

TEST(Registry, FirstRegistrationOfAKeyWins)
{
    host::HostServices services;
    gmpi::IMpUnknown* module = nullptr;
    probeLog.clear();
    ASSERT_EQ(getFactoryInstance().createModule(u"Probe", 0, &services, &module), gmpi::resultOk);
    module->release();
    ASSERT_EQ(getFactoryInstance().createModule(u"Probe", 3, &services, &module), gmpi::resultOk);
    module->release();
    EXPECT_EQ(probeLog, (Log{"first", "second"}));
}

TEST(Registry, FailedCreationIsReported)
{
    gmpi::IMpUnknown* module = nullptr;
    EXPECT_EQ(getFactoryInstance().createModuleWithoutHost(u"Throwing", 0, &module), gmpi::resultFail);
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(getFactoryInstance().createModuleWithoutHost(u"Empty", 0, &module), gmpi::resultNotFound);
}

TEST(Registry, KeysOrderBySubtypeThenCodeUnits)
{
    EXPECT_LT((ModuleKey{-1, u"Z"}), (ModuleKey{0, u"A"}));
    EXPECT_LT((ModuleKey{0, u"AB"}), (ModuleKey{0, u"ABC"}));
    EXPECT_LT((ModuleKey{0, u"Z"}), (ModuleKey{0, u"\u00E9"}));  // code units compare unsigned
}

}  // namespace
