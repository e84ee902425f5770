#include "output_sequence.h"

#include <cstring>

#include <lv2/atom/util.h>

namespace lv2 {

void OutputSequence::begin(LV2_Atom_Sequence* buffer, LV2_URID sequenceType, LV2_URID eventType)
{
    sequence = buffer;
    type = eventType;
    if (sequence == nullptr)
        return;
    capacity = sequence->atom.size;
    sequence->atom.type = sequenceType;
    sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    sequence->body.unit = 0;
    sequence->body.pad = 0;
}

void OutputSequence::append(uint32_t frame, const uint8_t* bytes, uint32_t size)
{
    const uint64_t needed = sizeof(LV2_Atom_Event) + uint64_t(lv2_atom_pad_size(size));
    if (sequence == nullptr || capacity < sequence->atom.size || needed > capacity - sequence->atom.size)
        return;
    auto* event = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(&sequence->body) +
                                                    sequence->atom.size);
    event->time.frames = frame;
    event->body = {size, type};
    std::memcpy(event + 1, bytes, size);
    sequence->atom.size += static_cast<uint32_t>(needed);
}

}  // namespace lv2
