#include "input_sequence.h"

#include <algorithm>

#include <lv2/atom/util.h>

namespace lv2 {

InputSequence::InputSequence(const LV2_Atom_Sequence* sequence, uint32_t runFrames) : frames(runFrames)
{
    if (sequence == nullptr || sequence->atom.size < sizeof(LV2_Atom_Sequence_Body))
        return;
    const auto* body = reinterpret_cast<const uint8_t*>(&sequence->body);
    position = body + sizeof(LV2_Atom_Sequence_Body);
    end = body + sequence->atom.size;
}

bool InputSequence::next(uint32_t before, InputEvent& event)
{
    if (position == nullptr || frames == 0 || size_t(end - position) < sizeof(LV2_Atom_Event))
        return false;
    const auto* candidate = reinterpret_cast<const LV2_Atom_Event*>(position);
    if (candidate->body.size > size_t(end - position) - sizeof(LV2_Atom_Event)) {
        position = nullptr;  // an event that claims more than the sequence holds ends it
        return false;
    }
    const int64_t wanted = std::clamp<int64_t>(candidate->time.frames, 0, int64_t(frames) - 1);
    const uint32_t frame = std::max(lastFrame, uint32_t(wanted));
    if (frame >= before)
        return false;
    lastFrame = frame;
    const size_t step = sizeof(LV2_Atom_Event) + lv2_atom_pad_size(candidate->body.size);
    position += std::min(step, size_t(end - position));
    event = {frame, &candidate->body};
    return true;
}

}  // namespace lv2
