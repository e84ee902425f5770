// Realistic processing loads for one module instance: 64-sample blocks at 48 kHz, the
// clock streaming for the clocked modules, and a fixed pattern of events per block.
#pragma once

#include <string>
#include <vector>

#include "fixed_host.h"
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

// One processBlock call, kept out of line so that callgrind can count it alone
// (bench/instructions.sh).
[[gnu::noinline]] void runModuleBlock(gmpi::IMpPlugin2& module, int32_t sampleCount, const gmpi::HostEvent* events);

// Every load of every module, and the frame floor (a module with nothing to do).
std::vector<Load> allLoads();

class LoadRunner {
public:
    // Creates the module, starts its graph and its clock, holds three notes, and warms up.
    // Throws std::runtime_error when the library cannot create the module.
    LoadRunner(host::ModuleLibrary& library, const Load& load);
    LoadRunner(const LoadRunner&) = delete;
    LoadRunner& operator=(const LoadRunner&) = delete;
    ~LoadRunner();

    // One block: the next clock samples, the load's events, and processBlock.
    void processBlock();

private:
    void buildTraffic(const Load& load);
    void advanceClock();

    FixedHost fixedHost;
    gmpi::IMpPlugin2* module = nullptr;
    bool clocked;
    std::vector<float> clockSamples;  // the host's buffers of the clock and enable inputs
    std::vector<float> enableSamples;
    host::EventList lists[2];  // alternated block by block
    const gmpi::HostEvent* heads[2] = {};
    std::vector<float> clockWave;  // one period, plus a block's overlap to copy without wrapping
    size_t clockPhase = 0;
    int blockIndex = 0;
};

}  // namespace bench
