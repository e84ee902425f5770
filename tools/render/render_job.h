// Renders a Standard MIDI File through a chain: the file's channel messages go in at
// sample positions from its tempo map, and the last module's output comes back as a
// file whose ticks follow from the sample positions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chain.h"
#include "notes.h"
#include "renderer.h"
#include "smf.h"

struct JobSettings {
    RenderOptions options;
    std::optional<double> tempo;  // beats a minute in place of the file's tempo map
};

struct RenderedFile {
    smf::File output;  // format 0: the tempo map and the last module's output
    std::vector<notes::Note> inputNotes;
    std::vector<notes::Note> outputNotes;
    uint64_t endTick = 0;        // of input and output together
    int releasedInputNotes = 0;  // keys the input left held, released at its end
    int closedOutputNotes = 0;   // notes still sounding when the tail ran out, ended there
    double seconds = 0;          // length of the render
    // The last module's output at its samples, for a synthesizer to play, and the
    // render's end, where notes still sounding end.
    std::vector<TimedMessage> outputMessages;
    int64_t endSample = 0;
};

// The longest input rendered, in seconds.
constexpr double longestInput = 3600;

// Throws std::runtime_error for a file timed in SMPTE frames or longer than
// `longestInput`, for a setting change after the file's end, and for a module missing
// from the library.
RenderedFile renderFile(host::ModuleLibrary& library, const smf::File& input, const Chain& chain,
                        const JobSettings& settings);

// The chain as one line: "MIDI_Transposer transpose=12 | MIDI_Arp".
std::string describeChain(const Chain& chain);
