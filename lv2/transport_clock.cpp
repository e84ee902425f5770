#include "transport_clock.h"

#include <cmath>

namespace lv2 {

// Beats are counted from the last report, in one product and one division, so that a
// step boundary that falls on a whole frame is met exactly however long the run.
double TransportClock::beatAt(int64_t frame) const
{
    return anchorBeat + double(frame - anchorFrame) * beatsPerMinute * speed / (60.0 * rate);
}

void TransportClock::update(int64_t frame, const TransportReport& report)
{
    const double beat = beatAt(frame);
    anchorFrame = frame;
    anchorBeat = report.barBeat.value_or(beat);
    if (report.beatsPerMinute && *report.beatsPerMinute > 0 && std::isfinite(*report.beatsPerMinute))
        beatsPerMinute = *report.beatsPerMinute;
    if (report.speed && std::isfinite(*report.speed))
        speed = *report.speed;
    if (!std::isfinite(anchorBeat))
        anchorBeat = 0;
}

float TransportClock::level(int64_t frame, int32_t stepsPerBeat) const
{
    if (!rolling())
        return 0.0f;
    const double steps = beatAt(frame) * stepsPerBeat;
    return steps - std::floor(steps) < 0.5 ? 1.0f : 0.0f;
}

}  // namespace lv2
