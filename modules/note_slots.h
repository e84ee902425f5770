// Twelve note slots in which 0 marks an empty slot, so note 0 is never held. Used for the
// held keys of the clocked modules and the notes a sequencer step left sounding.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

using NoteSlots = std::array<int32_t, 12>;

// Puts `note` into the first empty slot; with every slot taken it is dropped.
inline void addToFirstEmpty(NoteSlots& slots, int32_t note) noexcept
{
    const auto empty = std::find(slots.begin(), slots.end(), 0);
    if (empty != slots.end())
        *empty = note;
}

// Empties the first slot holding `note`, then closes every gap, keeping the order of the
// notes left. The gaps close even when no slot held the note.
inline void removeAndCompact(NoteSlots& slots, int32_t note) noexcept
{
    const auto found = std::find(slots.begin(), slots.end(), note);
    if (found != slots.end())
        *found = 0;
    std::fill(std::remove(slots.begin(), slots.end(), 0), slots.end(), 0);
}
