#include "mp_base2.h"

#include <algorithm>

// Three passes, so that at one stamp every pin holds its new value before any handler
// runs, and wasChanged flags stay set through handlePinsChanged. Pins act in the first
// and third pass only on events that change pin state, so those passes, and
// handlePinsChanged, happen only for a stamp that has such an event: a stamp of MIDI
// alone takes the second pass only.
const gmpi::HostEvent* MpBase2::dispatchPasses(const gmpi::HostEvent* first) noexcept
{
    bool pinStateChanged = changesPinState(*first);
    const gmpi::HostEvent* end = first->next;
    for (; end != nullptr && end->timeStamp == blockPosition; end = end->next)
        pinStateChanged = pinStateChanged || changesPinState(*end);

    if (pinStateChanged)
        for (auto* event = first; event != end; event = event->next)
            if (changesPinState(*event))
                if (MpPinBase* pin = pins.find(event->pinNumber))
                    pin->beforeEvent(*event);
    for (auto* event = first; event != end; event = event->next)
        dispatch(*event);
    if (!pinStateChanged)
        return end;
    handlePinsChanged();
    for (auto* event = first; event != end; event = event->next)
        if (changesPinState(*event))
            if (MpPinBase* pin = pins.find(event->pinNumber))
                pin->afterEvent(*event);
    return end;
}

void MpBase2::handleStreamingChange(bool streaming) noexcept
{
    streamingCount += streaming ? 1 : -1;
}

// The countdown's samples run first. A span that events follow runs whole: after the
// countdown the rest of it runs too, while the countdown stays at 0. The last span runs
// only the countdown's samples; the rest of it is not processed.
void MpBase2::runAsleep(int32_t sampleCount, bool last) noexcept
{
    const int32_t counted = std::min(sleepCountdown, sampleCount);
    sleepCountdown -= counted;
    runRoutine(0, counted);
    if (!last)
        runRoutine(counted, sampleCount - counted);
}

void MpBase2::runRoutine(int32_t offset, int32_t sampleCount) noexcept
{
    if (sampleCount <= 0 || processRoutine == nullptr)
        return;
    const int32_t start = blockPosition;
    blockPosition = start + offset;
    (this->*processRoutine)(sampleCount);
    blockPosition = start;
}

void MpBase2::bindPin(int32_t number, MpPinBase& pin, PinHandler pinHandler)
{
    pin.pinNumber = number;
    pin.owner = this;
    pin.handler = pinHandler;
    if (pinHandler == nullptr && pin.direction() == gmpi::pinDirectionIn)
        pin.handler = pin.defaultHandler();
    pins.insert(number, &pin);
    // Taken anew from every bound pin: binding a pin object again changes its handler.
    defaultMidiPins = 0;
    for (const auto& [boundNumber, boundPin] : pins)
        if (boundNumber >= 0 && boundNumber < 64 && boundPin->handler == &MpPluginBase::deliverMidi)
            defaultMidiPins |= uint64_t{1} << boundNumber;
}
