// A piano roll as an SVG picture: one panel of notes per stream (input above output),
// on a shared pitch range and a grid of beats and bars (four beats to a bar).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "notes.h"

struct RollPanel {
    std::string label;
    std::span<const notes::Note> notes;
};

std::string pianoRollSvg(std::string_view title, uint16_t ticksPerQuarter, uint64_t endTick,
                         std::span<const RollPanel> panels);
