#include "time_map.h"

#include <algorithm>
#include <cmath>

TimeMap::TimeMap(uint16_t ticksPerQuarter, std::vector<TempoChange> changes) : quarter(ticksPerQuarter)
{
    std::stable_sort(changes.begin(), changes.end(), [](auto& a, auto& b) { return a.tick < b.tick; });
    tempo.push_back({0, smf::defaultTempo});
    for (const TempoChange& change : changes) {
        if (change.tick != tempo.back().tick)
            tempo.push_back(change);
        tempo.back() = change;
    }
    startSeconds.push_back(0.0);
    for (size_t i = 1; i < tempo.size(); ++i)
        startSeconds.push_back(startSeconds[i - 1] +
                               double(tempo[i].tick - tempo[i - 1].tick) * secondsPerTick(tempo[i - 1]));
}

TimeMap TimeMap::ofFile(const smf::File& file)
{
    std::vector<TempoChange> changes;
    for (const smf::Track& track : file.tracks)
        for (const smf::Event& event : track.events)
            if (const auto microseconds = smf::tempoOf(event))
                changes.push_back({event.tick, *microseconds});
    return TimeMap(file.division, std::move(changes));
}

TimeMap TimeMap::constant(uint16_t ticksPerQuarter, double beatsPerMinute)
{
    return TimeMap(ticksPerQuarter, {{0, static_cast<uint32_t>(std::lround(60e6 / beatsPerMinute))}});
}

double TimeMap::secondsPerTick(const TempoChange& change) const
{
    return change.microsecondsPerQuarter * 1e-6 / quarter;
}

double TimeMap::secondsAt(double tick) const
{
    const auto after = std::upper_bound(tempo.begin(), tempo.end(), tick,
                                        [](double t, const TempoChange& change) { return t < double(change.tick); });
    const size_t index = after == tempo.begin() ? 0 : static_cast<size_t>(after - tempo.begin()) - 1;
    return startSeconds[index] + (tick - double(tempo[index].tick)) * secondsPerTick(tempo[index]);
}

double TimeMap::tickAt(double seconds) const
{
    const auto after = std::upper_bound(startSeconds.begin(), startSeconds.end(), seconds);
    const size_t index = after == startSeconds.begin() ? 0 : static_cast<size_t>(after - startSeconds.begin()) - 1;
    return double(tempo[index].tick) + (seconds - startSeconds[index]) / secondsPerTick(tempo[index]);
}

int64_t TimeMap::sampleAt(double tick, int32_t sampleRate) const
{
    return std::llround(secondsAt(tick) * sampleRate);
}

double TimeMap::tickAtSample(int64_t sample, int32_t sampleRate) const
{
    return tickAt(double(sample) / sampleRate);
}
