// Notes as a listener hears a MIDI stream: a note-on with velocity 0 ends a note, and
// controller 123 (All Notes Off) ends every note of its channel.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "smf.h"

namespace notes {

bool startsNote(std::span<const uint8_t> message);
bool endsNote(std::span<const uint8_t> message);
bool endsAllNotes(std::span<const uint8_t> message);

// Counts the notes that a stream leaves sounding.
class Sounding {
public:
    void apply(std::span<const uint8_t> message);
    bool any() const { return total > 0; }
    // (channel, note) once for every note-on not yet ended.
    std::vector<std::pair<uint8_t, uint8_t>> list() const;

private:
    std::array<std::array<uint16_t, 128>, 16> count{};
    int total = 0;
};

struct Note {
    uint64_t start;
    uint64_t end;
    uint8_t channel;
    uint8_t pitch;
    uint8_t velocity;
};

// Pairs each end with the earliest unended start of its channel and pitch; notes still
// sounding at `endTick` end there. Events in tick order.
std::vector<Note> pairNotes(std::span<const smf::Event> events, uint64_t endTick);

}  // namespace notes
