// Reading a host event: the bytes it holds and whether it changes what a pin holds.
#pragma once

#include <algorithm>
#include <cstdint>

#include "mp_interfaces.h"

// The bytes an event holds: outside data when extraData is set, else at most the
// eight inline bytes, so that a size beyond them never leads a reader past them. A
// size of 0 or below holds nothing.
struct EventBytes {
    const uint8_t* data;
    int32_t size;
};
inline EventBytes eventBytes(const gmpi::HostEvent& event) noexcept
{
    constexpr int32_t inlineCapacity = sizeof(gmpi::HostEvent::inlineData);
    if (event.extraData != nullptr)
        return {event.extraData, event.size};
    return {event.inlineData, std::min(event.size, inlineCapacity)};
}

// Value events and stream starts and stops: the events that change what a pin holds.
inline bool changesPinState(const gmpi::HostEvent& event) noexcept
{
    return event.type >= gmpi::eventPinValue && event.type <= gmpi::eventStreamStop;
}
