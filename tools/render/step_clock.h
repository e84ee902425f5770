// The square wave with which the host drives a module's clock input: high for the first
// half of every step, low for the second, with steps on the beat grid of the tempo map
// (`stepsPerBeat` to a quarter note). Silent (low) before sample 0.
#pragma once

#include <cstdint>
#include <span>

#include "time_map.h"

class StepClock {
public:
    StepClock(const TimeMap& timeMap, int32_t sampleRate, int32_t stepsPerBeat);

    // Samples [first, first + out.size()). Each call must start where the last one ended
    // or later.
    void fill(int64_t first, std::span<float> out);

private:
    // Sample at which half step `index` begins: even halves are high, odd ones low.
    int64_t halfStepStart(int64_t index) const;

    const TimeMap& timeMap;
    int32_t sampleRate;
    double halfStepTicks;
    int64_t half = 0;  // the half step in which the last filled sample lies
    int64_t nextHalfStart;
};
