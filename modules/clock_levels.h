// The clock and enable levels of the clocked modules. A sample is high unless it is at
// or below zero, so a NaN sample counts as high. Only the last sample of a span sets a
// level, and the enable level acts two spans after the one that shows it.
#pragma once

#include "mp_pins.h"

struct ClockLevels {
    bool enableDelayed = false;   // enable level two spans back: the one that acts
    bool enablePrevious = false;  // enable level one span back
    bool enableHigh = false;      // levels at the end of the latest span
    bool clockHigh = false;

    // Called once per span of `count` samples from `position`. The enable history moves
    // on with every call; a span of no samples keeps the levels as they were.
    void readSpan(const AudioInPin& clock, const AudioInPin& enable, int32_t position, int32_t count) noexcept
    {
        enableDelayed = enablePrevious;
        enablePrevious = enableHigh;
        if (count <= 0)
            return;
        const int32_t last = position + count - 1;
        clockHigh = isHigh(clock.sampleAt(last));
        enableHigh = isHigh(enable.sampleAt(last));
    }

    static bool isHigh(float sample) noexcept { return !(sample <= 0.0f); }
};
