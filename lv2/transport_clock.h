// The host's transport as its position reports tell it, carried on frame by frame: a
// square wave with `stepsPerBeat` steps to a beat, high for the first half of each step
// and low while the transport stands still.
#pragma once

#include <cstdint>
#include <optional>

namespace lv2 {

struct TransportReport {
    std::optional<double> beatsPerMinute;
    std::optional<double> barBeat;  // beats since the bar began
    std::optional<double> speed;    // 1 rolling, 0 stopped
};

class TransportClock {
public:
    explicit TransportClock(double sampleRate) : rate(sampleRate) {}

    // A report that holds at `frame` (frames counted by the adapter); what it leaves out
    // keeps its last value.
    void update(int64_t frame, const TransportReport& report);
    bool rolling() const { return speed > 0; }
    float level(int64_t frame, int32_t stepsPerBeat) const;

private:
    double beatAt(int64_t frame) const;

    double rate;
    double beatsPerMinute = 120;
    double speed = 0;
    double anchorBeat = 0;
    int64_t anchorFrame = 0;
};

}  // namespace lv2
