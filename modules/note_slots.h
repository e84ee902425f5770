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
// to the next free place, which is never above it. Notes below the first empty slot have
// no free place beneath them, so the walk starts there.
inline void removeAndCompact(NoteSlots& slots, int32_t note) noexcept
{
    const auto found = std::find(slots.begin(), slots.end(), note);
    auto free = std::find(slots.begin(), found, 0);  // the first empty slot, once `found` is
    if (found != slots.end())
        *found = 0;
    else if (free == slots.end())
        return;  // every slot holds a note: no gap to close
    for (auto slot = free + 1; slot != slots.end(); ++slot)
        if (*slot != 0)
            *free++ = std::exchange(*slot, 0);
}
