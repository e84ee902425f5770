#include "mp_pins.h"

#include <algorithm>

#include "mp_base2.h"

namespace {
constexpr int32_t inlineCapacity = sizeof(gmpi::HostEvent::inlineData);
}

// A size beyond the inline bytes, or a negative one, must never lead a reader past
// what the event holds.
EventBytes eventBytes(const gmpi::HostEvent& event) noexcept
{
    if (event.extraData != nullptr)
        return {event.extraData, std::max(event.size, 0)};
    return {event.inlineData, std::clamp(event.size, 0, inlineCapacity)};
}

void MpPinBase::attachBuffer(const float*) noexcept {}
void MpPinBase::beforeEvent(const gmpi::HostEvent&) noexcept {}
void MpPinBase::afterEvent(const gmpi::HostEvent&) noexcept {}
void MpPinBase::sendInitialValue() noexcept {}

PinHandler MpPinBase::defaultHandler() const noexcept
{
    return nullptr;
}

void MpPinBase::dispatchEvent(const gmpi::HostEvent& event) noexcept
{
    if (handler != nullptr)
        (owner->*handler)(event);
}

int32_t MpPinBase::sendPinValue(int32_t size, const void* data, int32_t position) noexcept
{
    if (owner == nullptr || owner->host == nullptr)
        return gmpi::resultFail;
    if (position == -1)
        position = owner->blockPosition;
    // A host takes output only at offsets inside the block it is processing: a module
    // that spreads messages over positions 0, 1, 2 ... in a block shorter than that
    // gets its later ones at the block's last sample, in the order sent.
    position = std::clamp(position, 0, owner->blockEnd - 1);
    return owner->host->setPinData(position, pinNumber, size, data);
}

PinHandler MidiInPin::defaultHandler() const noexcept
{
    return &MpBase2::deliverMidi;
}

// Two stop events in a row report one change; each still keeps the module awake for
// at least one more sample.
void AudioInPin::beforeEvent(const gmpi::HostEvent& event) noexcept
{
    if (event.type != gmpi::eventStreamStart && event.type != gmpi::eventStreamStop)
        return;
    const bool streaming = event.type == gmpi::eventStreamStart;
    if (streaming != isStreaming) {
        isStreaming = streaming;
        owner->handleStreamingChange(streaming);
    }
    if (!isStreaming)
        owner->sleepCountdown = std::max(owner->sleepCountdown, 1);
}
