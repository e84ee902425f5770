#include "mp_base2.h"

#include <algorithm>

namespace {

bool isPinEvent(const gmpi::HostEvent& event)
{
    return event.type >= gmpi::eventPinValue && event.type <= gmpi::eventMidi;
}

bool changesPinState(const gmpi::HostEvent& event)
{
    return event.type >= gmpi::eventPinValue && event.type <= gmpi::eventStreamStop;
}

}  // namespace

// While the block runs, outputs are kept inside it (see MpPinBase::sendPinValue).
void MpBase2::processBlock(int32_t sampleCount, const gmpi::HostEvent* events) noexcept MP_NONBLOCKING
{
    blockEnd = std::max(sampleCount, 1);
    runBlock(std::max(sampleCount, 0), events);
    blockEnd = outsideBlock;
}

// Spans end at event stamps. Stamps from the host are not trusted: a stamp behind the
// current position is delivered at the current position, and a stamp at or past the
// block's end ends the block without being delivered, so a routine never runs
// outside [0, sampleCount).
void MpBase2::runBlock(int32_t remaining, const gmpi::HostEvent* events) noexcept
{
    blockPosition = 0;
    for (const gmpi::HostEvent* next = events; next != nullptr;) {
        if (next->timeStamp > blockPosition) {
            const int32_t span = std::min(next->timeStamp - blockPosition, remaining);
            lastSpan = false;
            runSpan(span);
            lastSpan = true;
            remaining -= span;
            if (remaining == 0)
                return;
            blockPosition += span;
        }
        next = dispatchBatch(next);
    }
    runSpan(remaining);
}

// Three passes, so that at one stamp every pin holds its new value before any handler
// runs, and wasChanged flags stay set through handlePinsChanged.
const gmpi::HostEvent* MpBase2::dispatchBatch(const gmpi::HostEvent* first) noexcept
{
    const gmpi::HostEvent* end = first->next;
    while (end != nullptr && end->timeStamp == blockPosition)
        end = end->next;

    bool pinStateChanged = false;
    for (auto* event = first; event != end; event = event->next) {
        if (isPinEvent(*event))
            if (MpPinBase* pin = pins.find(event->pinNumber))
                pin->beforeEvent(*event);
        pinStateChanged = pinStateChanged || changesPinState(*event);
    }
    for (auto* event = first; event != end; event = event->next) {
        if (isPinEvent(*event)) {
            if (MpPinBase* pin = pins.find(event->pinNumber))
                pin->dispatchEvent(*event);
        } else if (event->type == gmpi::eventGraphStart) {
            handleGraphStart();
        }
    }
    if (pinStateChanged)
        handlePinsChanged();
    for (auto* event = first; event != end; event = event->next)
        if (isPinEvent(*event))
            if (MpPinBase* pin = pins.find(event->pinNumber))
                pin->afterEvent(*event);
    return end;
}

void MpBase2::handleStreamingChange(bool streaming) noexcept
{
    streamingCount += streaming ? 1 : -1;
    currentRoutine = streamingCount != 0 ? savedRoutine : &MpBase2::sleepRoutine;
}

void MpBase2::sleepRoutine(int32_t sampleCount) noexcept
{
    const int32_t start = blockPosition;
    for (;;) {
        if (streamingCount != 0) {
            currentRoutine = savedRoutine;
            if (sampleCount > 0)
                (this->*savedRoutine)(sampleCount);
            break;
        }
        if (sleepCountdown <= 0) {
            if (lastSpan) {
                if (host != nullptr)
                    host->sleepRequest();
                break;
            }
            sleepCountdown = sampleCount;
        }
        if (sampleCount == 0)
            break;
        const int32_t samples = std::min(sleepCountdown, sampleCount);
        sleepCountdown -= samples;
        sampleCount -= samples;
        (this->*savedRoutine)(samples);
        blockPosition += samples;
    }
    blockPosition = start;
}

void MpBase2::selectRoutine(ProcessRoutine routine) noexcept
{
    if (currentRoutine == savedRoutine)
        currentRoutine = routine;
    savedRoutine = routine;
}

void MpBase2::bindPin(int32_t number, MpPinBase& pin, PinHandler pinHandler)
{
    pin.pinNumber = number;
    pin.owner = this;
    pin.handler = pinHandler;
    if (pinHandler == nullptr && pin.direction() == gmpi::pinDirectionIn)
        pin.handler = pin.defaultHandler();
    pins.insert(number, &pin);
}

// A MIDI event without bytes holds no message and is not delivered.
void MpBase2::deliverMidi(const gmpi::HostEvent& event) noexcept
{
    const EventBytes bytes = eventBytes(event);
    if (bytes.size > 0)
        handleMidi(event.pinNumber, bytes.data, bytes.size);
}
