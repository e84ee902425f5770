#include "mp_pins.h"

void MpPinBase::attachBuffer(const float*) noexcept {}
void MpPinBase::beforeEvent(const gmpi::HostEvent&) noexcept {}
void MpPinBase::afterEvent(const gmpi::HostEvent&) noexcept {}
void MpPinBase::sendInitialValue() noexcept {}

PinHandler MpPinBase::defaultHandler() const noexcept
{
    return nullptr;
}

PinHandler MidiInPin::defaultHandler() const noexcept
{
    return &MpPluginBase::deliverMidi;
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
