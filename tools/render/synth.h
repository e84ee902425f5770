// General MIDI sound for a render: the chain's output played through a SoundFont
// synthesizer (libfluidsynth), message by message at the render's own sample positions.
// A build without libfluidsynth has the interface, and every use of it is an error.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "renderer.h"

// Loudness: at 2 the demo's loudest render, a sequencer's notes at velocity 127, peaks at
// -3 dBFS and its quietest at -9 (the synthesizer's own default of 0.2 is 20 dB quieter).
constexpr double defaultGain = 2;
// At most this much sound after the render's end, for the last notes' release.
constexpr double longestRelease = 4;

struct Sound {
    std::vector<int16_t> samples;  // interleaved left and right
    int32_t sampleRate = 0;
    int64_t clipped = 0;  // samples beyond full scale, clipped to it

    int64_t frames() const { return static_cast<int64_t>(samples.size() / 2); }
    // Of full scale; -inf for silence.
    double peakDecibels() const
    {
        int peak = 0;
        for (const int16_t sample : samples)
            peak = std::max(peak, std::abs(int(sample)));
        return 20 * std::log10(peak / 32768.0);
    }
};

// Whether this build can synthesize sound.
bool synthesizerBuilt();

// `chosen` if given, else the first General MIDI SoundFont of a short search list.
// Throws std::runtime_error when there is none, naming the package that brings one.
std::string findSoundfont(const std::string& chosen);

class Synthesizer {
public:
    // Loads the SoundFont; throws std::runtime_error for a file that is not one, and for
    // a sample rate the synthesizer cannot run at.
    Synthesizer(const std::string& soundfont, int32_t sampleRate, double gain);
    ~Synthesizer();
    Synthesizer(const Synthesizer&) = delete;
    Synthesizer& operator=(const Synthesizer&) = delete;

    // Plays `messages` (in sample order) from sample 0, each at its sample, messages
    // before 0 at 0. At `endSample` every note is released, and the sound runs on until
    // the last release has died away, at most `longestRelease` seconds. Each play starts
    // from a synthesizer as new.
    Sound play(const std::vector<TimedMessage>& messages, int64_t endSample);

private:
    struct State;
    std::unique_ptr<State> state;
};
