#include "event_list.h"

#include <algorithm>
#include <cstring>

namespace host {

EventList& EventList::add(int32_t stamp, int32_t type, int32_t pin, std::span<const uint8_t> data, bool outside)
{
    gmpi::HostEvent event{};
    event.timeStamp = stamp;
    event.type = type;
    event.pinNumber = pin;
    event.size = static_cast<int32_t>(data.size());
    // An event without data may come with a null pointer, which memcpy must not see.
    if (!outside)
        std::copy_n(data.begin(), std::min(data.size(), sizeof event.inlineData), event.inlineData);
    return raw(event, outside ? data : std::span<const uint8_t>{});
}

EventList& EventList::raw(const gmpi::HostEvent& event, std::span<const uint8_t> outside)
{
    events.push_back(event);
    events.back().extraData = nullptr;
    events.back().next = nullptr;
    if (outside.empty()) {
        outsideIndex.push_back(-1);
    } else {
        outsideIndex.push_back(static_cast<int>(outsideData.size()));
        outsideData.emplace_back(outside.begin(), outside.end());
    }
    return *this;
}

EventList& EventList::value(int32_t stamp, int32_t pin, int32_t newValue)
{
    uint8_t bytes[4];
    std::memcpy(bytes, &newValue, sizeof bytes);
    return add(stamp, gmpi::eventPinValue, pin, bytes, false);
}

EventList& EventList::boolValue(int32_t stamp, int32_t pin, bool newValue)
{
    const uint8_t byte = newValue ? 1 : 0;
    return add(stamp, gmpi::eventPinValue, pin, {&byte, 1}, false);
}

EventList& EventList::midi(int32_t stamp, int32_t pin, std::span<const uint8_t> message)
{
    return add(stamp, gmpi::eventMidi, pin, message, message.size() > sizeof(gmpi::HostEvent::inlineData));
}

EventList& EventList::midi(int32_t stamp, int32_t pin, std::initializer_list<uint8_t> message)
{
    return midi(stamp, pin, std::span<const uint8_t>(message.begin(), message.size()));
}

EventList& EventList::midiOutside(int32_t stamp, int32_t pin, std::span<const uint8_t> message)
{
    return add(stamp, gmpi::eventMidi, pin, message, true);
}

EventList& EventList::streamStart(int32_t stamp, int32_t pin)
{
    return add(stamp, gmpi::eventStreamStart, pin, {}, false);
}

EventList& EventList::streamStop(int32_t stamp, int32_t pin)
{
    return add(stamp, gmpi::eventStreamStop, pin, {}, false);
}

EventList& EventList::graphStart(int32_t stamp)
{
    return add(stamp, gmpi::eventGraphStart, -1, {}, false);
}

const gmpi::HostEvent* EventList::head()
{
    for (size_t i = 0; i < events.size(); ++i) {
        const int index = outsideIndex[i];
        events[i].extraData = index < 0 ? nullptr : outsideData[static_cast<size_t>(index)].data();
        events[i].next = i + 1 < events.size() ? &events[i + 1] : nullptr;
    }
    return events.empty() ? nullptr : events.data();
}

void EventList::clear()
{
    events.clear();
    outsideIndex.clear();
    outsideData.clear();
}

}  // namespace host
