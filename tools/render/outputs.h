// Writes what a render produced: the MIDI file, its piano roll and its sound, as asked.
#pragma once

#include <string>

#include "render_job.h"
#include "synth.h"

struct OutputPaths {
    std::string midi;  // empty: no MIDI file
    std::string roll;  // empty: no piano roll
    std::string wav;   // empty: no sound; else `sound` holds it
};

// The files are written whole or none is. Throws std::runtime_error.
void writeOutputs(const RenderedFile& rendered, const OutputPaths& paths, const std::string& title,
                  const std::string& inputName, const Sound* sound = nullptr);
