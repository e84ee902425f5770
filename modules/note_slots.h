// Twelve note slots in which 0 marks an empty slot, so note 0 is never held. Used for the
// held keys of the clocked modules and the notes a sequencer step left sounding.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

using NoteSlots = std::array<int32_t, 12>;

// Puts `note` into the first empty slot; with every slot taken it is dropped.
inline void addToFirstEmpty(NoteSlots& slots, int32_t note) noexcept
{
    const auto empty = std::find(slots.begin(), slots.end(), 0);
    if (empty != slots.end())
        *empty = note;
}

// Empties the first slot holding `note`, then closes every gap, keeping the order of the
// notes left. The gaps close even when no slot held the note: each note left moves down
// to the next free place, which is never above it, emptying its own slot first.
inline void removeAndCompact(NoteSlots& slots, int32_t note) noexcept
{
    const auto found = std::find(slots.begin(), slots.end(), note);
    if (found != slots.end())
        *found = 0;
    auto free = slots.begin();
    for (int32_t& slot : slots) {
        if (slot == 0)
            continue;
        const int32_t held = std::exchange(slot, 0);
        *free++ = held;
    }
}
