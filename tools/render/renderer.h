// Runs MIDI through a chain of modules block by block, as a host plays a patch: each
// module's MIDI output becomes the next module's input at the positions it was sent.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "chain.h"
#include "module_library.h"
#include "time_map.h"

// One MIDI message at an absolute sample position.
struct TimedMessage {
    int64_t sample;
    std::vector<uint8_t> bytes;
};

enum class EnableMode {
    always,     // enable inputs high for the whole render
    heldNotes,  // enable inputs high while the module's MIDI input holds a note
};

struct RenderOptions {
    int32_t sampleRate = 48000;
    int32_t blockSize = 64;
    int32_t stepsPerBeat = 4;
    EnableMode enable = EnableMode::always;
};

struct RenderResult {
    std::vector<TimedMessage> output;  // the last module's MIDI, in sample order
    int64_t endSample = 0;             // where the render stopped
    bool quiet = true;                 // false: stopped at the tail's bound with notes sounding
};

// How long the render may run on past the input's end, waiting for the chain to fall quiet.
constexpr int tailBeats = 16;

// Renders `input` (in sample order, ending at `inputEnd`) through the chain. Each module's
// settings arrive in the first block, and its setting changes at the samples of their
// beats on the time map, which fall by `inputEnd`. Throws std::runtime_error when the
// library lacks a module of the chain.
RenderResult renderChain(host::ModuleLibrary& library, const Chain& chain, const std::vector<TimedMessage>& input,
                         int64_t inputEnd, const TimeMap& timeMap, const RenderOptions& options);

// Whether the library can create the module.
bool libraryHas(host::ModuleLibrary& library, std::string_view identifier);
