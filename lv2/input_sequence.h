// Reads the host's input sequence one event at a time, never past the sequence's own
// size, with frames made safe for the sub-blocks: within [0, frames), and never before
// the previous event's (an event out of order is taken at the frame reached so far).
#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>

namespace lv2 {

struct InputEvent {
    uint32_t frame;
    const LV2_Atom* atom;
};

class InputSequence {
public:
    // `sequence` may be null (no input); it is read in a run of `frames` frames.
    InputSequence(const LV2_Atom_Sequence* sequence, uint32_t frames);

    // The next event whose frame is before `end`, or false.
    bool next(uint32_t end, InputEvent& event);

private:
    const uint8_t* position = nullptr;
    const uint8_t* end = nullptr;
    uint32_t lastFrame = 0;
    uint32_t frames;
};

}  // namespace lv2
