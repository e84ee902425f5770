// One sub-block's events for a module, as the binary interface hands them to
// processBlock: HostEvent records in fixed space, linked in the order they are added
// (callers add them in time order). A message longer than the inline bytes points at
// the caller's bytes, which must stay valid until the block is processed.
#pragma once

#include <array>
#include <cstdint>

#include "mp_interfaces.h"

namespace lv2 {

class EventBlock {
public:
    static constexpr size_t capacity = 512;
    // MIDI leaves this much room for the control events of the same block.
    static constexpr size_t controlReserve = 64;

    void clear() { count = 0; }
    bool empty() const { return count == 0; }

    // Each returns false, dropping the event, when there is no room.
    bool value(int32_t stamp, int32_t pin, int32_t newValue);
    bool boolValue(int32_t stamp, int32_t pin, bool on);
    bool midi(int32_t stamp, int32_t pin, const uint8_t* bytes, uint32_t size);
    bool stream(int32_t stamp, int32_t pin, bool started);
    bool graphStart(int32_t stamp);

    // The first event with the list linked; null when empty.
    const gmpi::HostEvent* head();

private:
    gmpi::HostEvent* add(int32_t stamp, int32_t type, int32_t pin, size_t room);

    std::array<gmpi::HostEvent, capacity> events{};
    size_t count = 0;
};

}  // namespace lv2
