// One input for a module, played through the LV2 plug-in and through the stand-in host:
// MIDI at frames, setting changes at frames where a host run begins, and the clock and
// enable levels sample by sample.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "lv2_host.h"

namespace lv2test {

struct SettingChange {
    int64_t frame;
    int32_t pin;  // the module's pin number, which is also its port index
    int32_t value;
};

struct Score {
    int64_t length;
    std::vector<TimedMidi> midi;  // in frame order
    std::vector<SettingChange> changes;
    std::function<float(int64_t)> clock;
    std::function<float(int64_t)> enable;
};

// Through the plug-in, in host runs of `hostBuffer` frames, the clock and enable taken
// from their CV inputs.
std::vector<TimedMidi> playThroughPlugin(World& world, UridMap& urids, std::string_view identifier,
                                         const Score& score, uint32_t hostBuffer);

// Through the stand-in host, in blocks of the plug-in's sub-block length, with the events a
// host sends when it starts a module and its CV inputs stream.
std::vector<TimedMidi> playThroughStandInHost(std::string_view identifier, const Score& score);

}  // namespace lv2test
