// Random but well-formed blocks: a sample count, events in time order within the block,
// and clock signals of random period in every audio buffer the module accepted.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "event_list.h"
#include "random_source.h"

namespace validate {

constexpr int32_t largestBlock = 4096;
constexpr int32_t longestSysex = 512;

// What a run of blocks held, by kind.
struct BlockCounts {
    uint64_t blocks = 0;
    uint64_t samples = 0;
    uint64_t midi = 0;
    uint64_t sysex = 0;
    uint64_t values = 0;
    uint64_t streamChanges = 0;
    uint64_t graphStarts = 0;

    uint64_t events() const { return midi + values + streamChanges + graphStarts; }
};

// A square clock on one audio input, carried on from block to block.
struct Clock {
    int32_t pin = 0;
    int32_t period = 64;
    int32_t highSamples = 32;
    int32_t phase = 0;
    float high = 1.0f;
    float low = 0.0f;
};

class BlockGenerator {
public:
    // `pins`: the numbers that accepted attachPinBuffer; events mostly go to them.
    BlockGenerator(RandomSource& random, std::vector<int32_t> pins);

    // Fills `events` with the next block's events and returns its sample count.
    int32_t next(host::EventList& events);
    // Writes the clock of `pin` over the first `sampleCount` samples of `buffer`.
    void fillAudio(int32_t pin, std::span<float> buffer, int32_t sampleCount);

    const BlockCounts& counts() const { return total; }

private:
    void addEvent(host::EventList& events, int32_t stamp);
    void addMidi(host::EventList& events, int32_t stamp, int32_t pin);
    void voiceMessage(uint32_t kind);
    void systemExclusive();
    void systemMessage();
    void addValue(host::EventList& events, int32_t stamp, int32_t pin);
    void addStreamChange(host::EventList& events, int32_t stamp, int32_t pin);
    int32_t eventPin();
    int32_t midiPin() const;
    Clock& clockOf(int32_t pin);
    void retune(Clock& clock);

    RandomSource& random;
    std::vector<int32_t> pins;
    std::vector<Clock> clocks;
    std::vector<uint8_t> message;
    uint8_t channel = 0;  // of the channel messages being sent
    BlockCounts total;
};

}  // namespace validate
