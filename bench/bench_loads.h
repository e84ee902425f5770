// Realistic processing loads for one module instance: 64-sample blocks at 48 kHz, the
// clock streaming for the clocked modules, and a fixed pattern of events per block. The
// same MIDI traffic also runs through a peer's plug-in doing the transposer's job.
#pragma once

#include <array>
#include <memory>
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
    std::string peerUri;  // set: the load runs through this LV2 plug-in instead of a module
    int eventsPerBlock() const;
};

// One MIDI message of a block's traffic.
struct TimedMessage {
    int32_t stamp;
    std::array<uint8_t, 3> bytes;
};
// The MIDI messages of block `parity` (0 or 1; blocks alternate) of a traffic. Note-on
// and note-off pairs leave the held notes as they were after every block.
std::vector<TimedMessage> midiTraffic(Traffic traffic, int parity);

// Every load of every module, the frame floor (a module with nothing to do), and the peer.
std::vector<Load> allLoads();

class Runner {
public:
    virtual ~Runner() = default;
    // One block: the next clock samples, the load's events, and the processing call.
    virtual void processBlock() = 0;
};

// Creates the load's module (or peer plug-in), starts it, and warms it up. Throws
// std::runtime_error with a one-line reason when that is not possible.
std::unique_ptr<Runner> makeRunner(host::ModuleLibrary& library, const Load& load);

// The processing calls, kept out of line so that callgrind can count them alone
// (bench/instructions.sh).
[[gnu::noinline]] void runModuleBlock(gmpi::IMpPlugin2& module, int32_t sampleCount, const gmpi::HostEvent* events);

}  // namespace bench
