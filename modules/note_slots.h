// Twelve note slots in which 0 marks an empty slot, so note 0 is never held. Used for the
// held keys of the clocked modules and the notes a sequencer step left sounding.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

class NoteSlots {
public:
    static constexpr int32_t count = 12;

    int32_t operator[](int32_t slot) const noexcept { return slots[static_cast<size_t>(slot)]; }

    void clear() noexcept
    {
        slots.fill(0);
        used = 0;
        gaps = false;
    }

    // Puts `note` into the first empty slot; with every slot taken it is dropped.
    void addToFirstEmpty(int32_t note) noexcept
    {
        if (!gaps) {
            // The first empty slot is `used`; storing 0 there would change nothing.
            if (note != 0 && used < count)
                slots[static_cast<size_t>(used++)] = note;
            return;
        }
        int32_t* const empty = find(begin(), usedEnd(), 0);
        if (empty != usedEnd())
            *empty = note;
        else if (used < count)
            slots[static_cast<size_t>(used++)] = note;
    }

    // Empties the first slot holding `note`, then closes every gap, keeping the order of
    // the notes left. The gaps close even when no slot held the note: each note left moves
    // down to the next free place, which is never above it.
    void removeAndCompact(int32_t note) noexcept
    {
        if (!gaps) {
            // Only the notes above the emptied slot move, each down one slot.
            int32_t* slot = find(begin(), usedEnd(), note);
            if (slot == usedEnd())
                return;
            for (; slot + 1 != usedEnd(); ++slot)
                *slot = slot[1];
            *slot = 0;
            --used;
            return;
        }
        // Notes below the first empty slot or the first `note` have no free place beneath them.
        int32_t* free = begin();
        while (free != usedEnd() && *free != 0 && *free != note)
            ++free;
        int32_t* const found = free != usedEnd() && *free == note ? free : find(free, usedEnd(), note);
        if (found != usedEnd())
            *found = 0;
        if (free != usedEnd())
            for (int32_t* slot = free + 1; slot != usedEnd(); ++slot)
                if (*slot != 0)
                    *free++ = std::exchange(*slot, 0);
        used = static_cast<int32_t>(free - begin());
        gaps = false;
    }

    // Puts `note` among the notes so that it follows every note `staysBelow(note, held)`
    // holds for, walking down from the top slot and moving each note it passes up a slot.
    // Whatever moves up from the top slot is dropped; empty slots are passed like notes
    // that do not stay below.
    template <class StaysBelow>
    void insertOrdered(int32_t note, StaysBelow staysBelow) noexcept
    {
        // The walk through the empty slots above the used ones only carries `note` down.
        for (int32_t slot = std::min(used, count - 1); slot >= 0; --slot) {
            const int32_t held = slots[static_cast<size_t>(slot)];
            if (held != 0 && staysBelow(note, held)) {
                placeAbove(slot, note);
                break;
            }
            placeAbove(slot, held);
            slots[static_cast<size_t>(slot)] = note;
        }
        used = std::min(used + 1, count);  // notes moved up one slot at most
        gaps = gaps || note == 0;          // note 0 may be left in a slot below others
    }

    // Calls `release(note, slot)` for each note from slot 0 up to the first empty slot,
    // emptying its slot.
    template <class Release>
    void releaseLeadingNotes(Release release) noexcept
    {
        int32_t slot = 0;
        for (; slot < count && slots[static_cast<size_t>(slot)] > 0; ++slot)
            release(std::exchange(slots[static_cast<size_t>(slot)], 0), slot);
        if (slot >= used) {
            used = 0;
            gaps = false;
        }
    }

private:
    // A plain walk: the ranges here are a few slots long, too short for std::find's
    // unrolled loop to pay for its set-up.
    static int32_t* find(int32_t* slot, int32_t* end, int32_t note) noexcept
    {
        while (slot != end && *slot != note)
            ++slot;
        return slot;
    }
    int32_t* begin() noexcept { return slots.data(); }
    int32_t* usedEnd() noexcept { return slots.data() + used; }
    // Puts `note` into the slot above `slot`; above the top slot it is dropped.
    void placeAbove(int32_t slot, int32_t note) noexcept
    {
        if (slot + 1 < count)
            slots[static_cast<size_t>(slot + 1)] = note;
    }

    std::array<int32_t, count> slots{};
    int32_t used = 0;  // no slot at or above this one holds a note
    // Whether an empty slot may lie below `used`. Without gaps the notes fill exactly
    // the slots below `used`, which makes adding and removing a note direct.
    bool gaps = false;
};
