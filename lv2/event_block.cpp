#include "event_block.h"

#include <cstring>

namespace lv2 {

gmpi::HostEvent* EventBlock::add(int32_t stamp, int32_t type, int32_t pin, size_t room)
{
    if (count + room >= capacity)
        return nullptr;
    gmpi::HostEvent& event = events[count++];
    event = gmpi::HostEvent{stamp, type, pin, 0, {}, nullptr, nullptr};
    return &event;
}

bool EventBlock::value(int32_t stamp, int32_t pin, int32_t newValue)
{
    gmpi::HostEvent* event = add(stamp, gmpi::eventPinValue, pin, 0);
    if (event == nullptr)
        return false;
    event->size = sizeof newValue;
    std::memcpy(event->inlineData, &newValue, sizeof newValue);
    return true;
}

bool EventBlock::boolValue(int32_t stamp, int32_t pin, bool on)
{
    gmpi::HostEvent* event = add(stamp, gmpi::eventPinValue, pin, 0);
    if (event == nullptr)
        return false;
    event->size = 1;
    event->inlineData[0] = on ? 1 : 0;
    return true;
}

bool EventBlock::midi(int32_t stamp, int32_t pin, const uint8_t* bytes, uint32_t size)
{
    gmpi::HostEvent* event = add(stamp, gmpi::eventMidi, pin, controlReserve);
    if (event == nullptr)
        return false;
    event->size = static_cast<int32_t>(size);
    if (size <= sizeof event->inlineData)
        std::memcpy(event->inlineData, bytes, size);
    else
        event->extraData = bytes;
    return true;
}

bool EventBlock::stream(int32_t stamp, int32_t pin, bool started)
{
    return add(stamp, started ? gmpi::eventStreamStart : gmpi::eventStreamStop, pin, 0) != nullptr;
}

bool EventBlock::graphStart(int32_t stamp)
{
    return add(stamp, gmpi::eventGraphStart, 0, 0) != nullptr;
}

const gmpi::HostEvent* EventBlock::head()
{
    for (size_t i = 0; i + 1 < count; ++i)
        events[i].next = &events[i + 1];
    return count > 0 ? &events[0] : nullptr;
}

}  // namespace lv2
