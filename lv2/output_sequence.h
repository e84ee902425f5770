// Writes MIDI events into the host's output sequence, within the capacity the host gave
// it (the atom's size when the run begins). Frames must come in non-decreasing order; an
// event that does not fit is dropped, never written past the buffer.
#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

namespace lv2 {

class OutputSequence {
public:
    // Starts an empty sequence in `buffer` (may be null: then every event is dropped).
    void begin(LV2_Atom_Sequence* buffer, LV2_URID sequenceType, LV2_URID eventType);
    void append(uint32_t frame, const uint8_t* bytes, uint32_t size);

private:
    LV2_Atom_Sequence* sequence = nullptr;
    uint32_t capacity = 0;  // bytes of the body the host made room for
    LV2_URID type = 0;
};

}  // namespace lv2
