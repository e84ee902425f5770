// The base of every module: the block loop that walks a block's time-stamped events,
// hands them to the pins, calls the hooks, and runs the module's ProcessRoutine over
// the sample spans between them.
//
// The processing path (processBlock and everything it calls, module code included)
// is real-time safe: it never allocates, locks or blocks, and never logs.
#pragma once

#include <algorithm>
#include <type_traits>

#include "mp_pins.h"
#include "mp_plugin_base.h"
#include "mp_realtime.h"

class MpBase2 : public MpPluginBase {
public:
    // Processes `sampleCount` samples of the span starting at blockPosition.
    using ProcessRoutine = void (MpBase2::*)(int32_t sampleCount);

    void processBlock(int32_t sampleCount, const gmpi::HostEvent* events) noexcept MP_NONBLOCKING override;
    void handleStreamingChange(bool streaming) noexcept override;

protected:
    MpBase2() = default;

    // Binds `pin` to `number`; a pin bound without a handler gets its default one.
    // The first binding of a number wins. Called by module constructors only.
    void bindPin(int32_t number, MpPinBase& pin, PinHandler pinHandler = nullptr);

    // Selects the module's own routine, which runs over every span while an audio input
    // streams and through the sleep countdown while none does (see sleepSpan).
    template <class Module>
    void setProcessRoutine(void (Module::*routine)(int32_t)) noexcept
    {
        static_assert(std::is_base_of_v<MpBase2, Module>);
        processRoutine = static_cast<ProcessRoutine>(routine);
    }

private:
    // Runs the spans before the events and delivers the events, from blockPosition 0;
    // false when the block ended at an event.
    bool runEvents(int32_t sampleCount, const gmpi::HostEvent* events) noexcept;
    // One span of `sampleCount` samples from blockPosition; `last`: it ends the block.
    void runSpan(int32_t sampleCount, bool last) noexcept
    {
        if (streamingCount != 0) {
            if (processRoutine != nullptr)
                (this->*processRoutine)(sampleCount);
        } else {
            sleepSpan(sampleCount, last);
        }
    }
    // While no audio input streams, the module's routine runs only while the countdown
    // lasts, and the block's last span asks the host to sleep once it has run out. With
    // no routine and no countdown left a span has nothing to run or count.
    void sleepSpan(int32_t sampleCount, bool last) noexcept
    {
        if (processRoutine != nullptr || sleepCountdown != 0)
            runAsleep(sampleCount, last);
        if (last && sleepCountdown == 0 && host != nullptr)
            host->sleepRequest();
    }
    void runAsleep(int32_t sampleCount, bool last) noexcept;
    // The module's routine over `sampleCount` samples from `offset` past blockPosition.
    void runRoutine(int32_t offset, int32_t sampleCount) noexcept;
    // Delivers the events stamped at blockPosition, starting with `first`; returns the
    // event after them. A MIDI message alone at its stamp changes no pin state, so it
    // needs the second pass alone (see dispatchPasses).
    const gmpi::HostEvent* dispatchStamp(const gmpi::HostEvent* first) noexcept
    {
        const gmpi::HostEvent* next = first->next;
        if (first->type != gmpi::eventMidi || (next != nullptr && next->timeStamp == blockPosition))
            return dispatchPasses(first);
        if (const MpPinBase* pin = pins.find(first->pinNumber))
            pin->dispatchEvent(*first);
        return next;
    }
    const gmpi::HostEvent* dispatchPasses(const gmpi::HostEvent* first) noexcept;
    void dispatch(const gmpi::HostEvent& event) noexcept
    {
        if (event.type >= gmpi::eventPinValue && event.type <= gmpi::eventMidi) {
            if (MpPinBase* pin = pins.find(event.pinNumber))
                pin->dispatchEvent(event);
        } else if (event.type == gmpi::eventGraphStart) {
            handleGraphStart();
        }
    }

    ProcessRoutine processRoutine = nullptr;  // none: the module only reacts to events
};
