#include "step_clock.h"

StepClock::StepClock(const TimeMap& tempoMap, int32_t rate, int32_t stepsPerBeat)
    : timeMap(tempoMap),
      sampleRate(rate),
      halfStepTicks(double(tempoMap.ticksPerQuarter()) / stepsPerBeat / 2),
      nextHalfStart(halfStepStart(1))
{
}

int64_t StepClock::halfStepStart(int64_t index) const
{
    return timeMap.sampleAt(double(index) * halfStepTicks, sampleRate);
}

void StepClock::fill(int64_t first, std::span<float> out)
{
    for (size_t i = 0; i < out.size(); ++i) {
        const int64_t sample = first + static_cast<int64_t>(i);
        while (sample >= nextHalfStart)
            nextHalfStart = halfStepStart(++half + 1);
        out[i] = sample >= 0 && half % 2 == 0 ? 1.0f : 0.0f;
    }
}
