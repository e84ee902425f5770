// Builds one block's list of HostEvent records, as the host hands them to processBlock.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "mp_interfaces.h"

namespace host {

class EventList {
public:
    // Events are linked in the order they are added: callers add them in time order
    // (or, to test a module's defences, on purpose out of it).
    EventList& value(int32_t stamp, int32_t pin, int32_t newValue);  // 4 bytes
    EventList& boolValue(int32_t stamp, int32_t pin, bool newValue);  // 1 byte
    // A message of up to 8 bytes travels inline, a longer one as outside data.
    EventList& midi(int32_t stamp, int32_t pin, std::span<const uint8_t> message);
    EventList& midi(int32_t stamp, int32_t pin, std::initializer_list<uint8_t> message);
    // The same message, held outside the event whatever its length.
    EventList& midiOutside(int32_t stamp, int32_t pin, std::span<const uint8_t> message);
    EventList& streamStart(int32_t stamp, int32_t pin);
    EventList& streamStop(int32_t stamp, int32_t pin);
    EventList& graphStart(int32_t stamp);
    // Any record as given (its next pointer is replaced); `outside` becomes its extraData
    // when not empty. For malformed input.
    EventList& raw(const gmpi::HostEvent& event, std::span<const uint8_t> outside = {});

    // The first event, with the list linked; null when empty. Valid until the list changes.
    const gmpi::HostEvent* head();
    size_t size() const { return events.size(); }
    void clear();

private:
    EventList& add(int32_t stamp, int32_t type, int32_t pin, std::span<const uint8_t> data, bool outside);

    std::vector<gmpi::HostEvent> events;
    std::vector<int> outsideIndex;  // per event: index into outsideData, or -1
    std::vector<std::vector<uint8_t>> outsideData;
};

}  // namespace host
