// Realistic processing loads for one module instance: 64-sample blocks at 48 kHz, the
// clock streaming for the clocked modules, and a fixed pattern of events per block.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "module_library.h"

namespace bench {

constexpr int32_t blockSize = 64;
constexpr double sampleRate = 48000.0;

enum class Traffic { none, oneMidi, eightMidi, pinChange };

struct Load {
    std::string name;  // e.g. "MIDI_Arp/8midi"
    std::u16string module;
    Traffic traffic;
    bool clocked;       // clock and enable stream on pins 2 and 3
    int32_t changePin;  // control pin the pinChange traffic alternates
    int32_t changeValues[2];
    int eventsPerBlock() const;
};

// Every load of every module, and the frame floor (a module with nothing to do).
std::vector<Load> allLoads();

class LoadRunner {
public:
    // Creates the module, starts its graph and its clock, holds three notes, and warms up.
    LoadRunner(host::ModuleLibrary& library, const Load& load);

    // One block: the next clock samples, the load's events, and processBlock.
    void processBlock();

private:
    void buildTraffic(const Load& load);
    void advanceClock();

    std::unique_ptr<host::Module> module;
    bool clocked;
    host::EventList lists[2];  // alternated block by block
    const gmpi::HostEvent* heads[2] = {};
    float* clockSamples = nullptr;  // the host's buffer of the clock input
    std::vector<float> clockWave;  // one period, plus a block's overlap to copy without wrapping
    size_t clockPhase = 0;
    int blockIndex = 0;
};

}  // namespace bench
