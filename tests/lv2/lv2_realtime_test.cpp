// Every plug-in of the bundle runs thousands of random runs, of any length up to the
// host's largest, with MIDI well and badly formed, transport jumps and control values
// out of range, without allocating. (Builds with a sanitizer own the allocation
// functions: there these runs check memory safety instead.)
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "allocation_guard.h"
#include "module_catalogue.h"
#include "port_layout.h"
#include "lv2_host.h"

namespace lv2test {
namespace {

namespace guard = validate::allocation_guard;

float anyControlValue(std::minstd_rand& random, const lv2::Port& port)
{
    switch (random() % 8) {
    case 0: return std::numeric_limits<float>::quiet_NaN();
    case 1: return std::numeric_limits<float>::infinity();
    case 2: return float(port.pin.maximum) + 100;
    default: return float(port.pin.minimum + int32_t(random() % uint32_t(port.pin.maximum - port.pin.minimum + 1)));
    }
}

void addRandomInput(std::minstd_rand& random, Instance& plugin, uint32_t frames)
{
    for (auto n = random() % 12; n > 0; --n) {
        const auto frame = uint32_t(random() % (frames + 8));  // some past the run, some out of order
        if (random() % 6 == 0) {
            plugin.position(frame, float(random() % 300), float(random() % 4), float(random() % 3) - 0.5f);
            continue;
        }
        std::vector<uint8_t> message(1 + random() % 14);
        for (uint8_t& byte : message)
            byte = uint8_t(random());
        message[0] |= 0x80;
        plugin.midi(frame, message);
    }
}

TEST(Lv2Realtime, RandomRunsOfEveryPluginAllocateNothing)
{
    World world;
    UridMap urids;
    std::minstd_rand random(7);
    for (const host::ModuleDeclaration& module : host::moduleCatalogue()) {
        SCOPED_TRACE(std::string(module.identifier));
        Instance plugin(world, urids, lv2::pluginUri(module.identifier));
        const std::vector<lv2::Port> ports = lv2::portsOf(module);
        const uint64_t before = guard::caught();
        for (int run = 0; run < 1500; ++run) {
            const uint32_t frames = random() % 2 == 0 ? 1 + random() % 256 : random() % (Instance::maxFrames + 1);
            for (const lv2::Port& port : ports)
                if (port.role == lv2::PortRole::controlIn && random() % 16 == 0)
                    plugin.setControl(port.index, anyControlValue(random, port));
            addRandomInput(random, plugin, frames);
            {
                guard::Armed armed;
                plugin.process(frames);
            }
            plugin.collect(frames);
            if (run % 500 == 499)
                plugin.reactivate();
        }
        EXPECT_EQ(guard::caught() - before, 0u);
        EXPECT_TRUE(plugin.outputStayedWithinCapacity());
    }
}

}  // namespace
}  // namespace lv2test
