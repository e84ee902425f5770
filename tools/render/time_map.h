// Converts between ticks, seconds and samples along a tempo map.
#pragma once

#include <cstdint>
#include <vector>

#include "smf.h"

class TimeMap {
public:
    struct TempoChange {
        uint64_t tick;
        uint32_t microsecondsPerQuarter;
    };

    // Changes in any order; at one tick the last given wins. Until the first change the
    // tempo is 120 beats a minute.
    TimeMap(uint16_t ticksPerQuarter, std::vector<TempoChange> changes);
    // The tempo events of every track of a file timed in ticks per quarter note.
    static TimeMap ofFile(const smf::File& file);
    static TimeMap constant(uint16_t ticksPerQuarter, double beatsPerMinute);

    uint16_t ticksPerQuarter() const { return quarter; }
    // Starts with a change at tick 0.
    const std::vector<TempoChange>& changes() const { return tempo; }

    double secondsAt(double tick) const;
    double tickAt(double seconds) const;
    int64_t sampleAt(double tick, int32_t sampleRate) const;
    double tickAtSample(int64_t sample, int32_t sampleRate) const;

private:
    double secondsPerTick(const TempoChange& change) const;

    uint16_t quarter;
    std::vector<TempoChange> tempo;
    std::vector<double> startSeconds;  // of each change
};
