// Writes what a render produced: the MIDI file and, if asked, its piano roll.
#pragma once

#include <string>

#include "render_job.h"

struct OutputPaths {
    std::string midi;
    std::string roll;  // empty: no piano roll
};

// Both files are written whole or neither is. Throws std::runtime_error.
void writeOutputs(const RenderedFile& rendered, const OutputPaths& paths, const std::string& title,
                  const std::string& inputName);
