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

// A function compiled as one piece with everything it calls that the compiler can see
// (for a module's event loop, its MIDI handler too), and not inlined into its callers,
// so that a block without events does not pay for the loop.
#if defined(__GNUC__)
#define MP_ONE_PIECE [[gnu::flatten, gnu::noinline]]
#else
#define MP_ONE_PIECE
#endif

class MpBase2 : public MpPluginBase {
public:
    // Processes `sampleCount` samples of the span starting at blockPosition.
    using ProcessRoutine = void (MpBase2::*)(int32_t sampleCount);

    // The block loop as any module gets it: MIDI reaches handleMidi through its virtual
    // slot. MpModule compiles the same loop for one module class.
    void processBlock(int32_t sampleCount, const gmpi::HostEvent* events) noexcept MP_NONBLOCKING override
    {
        runBlock<MpBase2>(sampleCount, events);
    }
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

    // One block: the spans between the events, the events at their stamps, the last
    // span; outputs sent meanwhile stay inside the block (see sendPinData). `Module` is
    // the class whose handleMidi the default MIDI handler calls.
    template <class Module>
    void runBlock(int32_t sampleCount, const gmpi::HostEvent* events) noexcept
    {
        blockEnd = std::max(sampleCount, 1);
        blockPosition = 0;
        const int32_t samples = std::max(sampleCount, 0);
        if (events == nullptr || runEvents<Module>(samples, events))
            runSpan(samples - blockPosition, true);
        blockEnd = outsideBlock;
    }

private:
    // Runs the spans before the events and delivers the events, from blockPosition 0;
    // false when the block ended at an event. Stamps from the host are not trusted: a
    // stamp behind the current position is delivered at the current position, and a
    // stamp at or past the block's end ends the block without being delivered, so a
    // routine never runs outside [0, sampleCount).
    template <class Module>
    MP_ONE_PIECE bool runEvents(int32_t sampleCount, const gmpi::HostEvent* next) noexcept
    {
        // blockPosition is the frame's: no routine or handler moves it for good, so it is
        // kept in `position` too.
        int32_t position = blockPosition;
        while (next != nullptr) {
            const int32_t stamp = next->timeStamp;
            if (stamp > position) {
                if (stamp >= sampleCount) {
                    runSpanBeforeEvent(sampleCount - position);
                    return false;
                }
                runSpanBeforeEvent(stamp - position);
                blockPosition = position = stamp;
            }
            next = dispatchStamp<Module>(next, position);
        }
        return true;
    }
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
    // A span that an event follows. With no routine and no countdown it has nothing to do
    // whether or not an input streams, as for modules that only react to events.
    void runSpanBeforeEvent(int32_t sampleCount) noexcept
    {
        if (processRoutine != nullptr || sleepCountdown != 0)
            runSpan(sampleCount, false);
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
    // Delivers the events stamped at `position`, the current blockPosition, starting with
    // `first`; returns the event after them. A MIDI message alone at its stamp changes no
    // pin state, so it needs the second pass alone (see dispatchPasses).
    template <class Module>
    const gmpi::HostEvent* dispatchStamp(const gmpi::HostEvent* first, int32_t position) noexcept
    {
        const gmpi::HostEvent* next = first->next;
        if (first->type != gmpi::eventMidi || (next != nullptr && next->timeStamp == position))
            return dispatchPasses(first);
        if (hasDefaultMidiHandler(first->pinNumber))
            handleMidiEvent<Module>(*first);
        else if (const MpPinBase* pin = pins.find(first->pinNumber))
            deliver<Module>(*pin, *first);
        return next;
    }
    const gmpi::HostEvent* dispatchPasses(const gmpi::HostEvent* first) noexcept;
    void dispatch(const gmpi::HostEvent& event) noexcept
    {
        if (event.type >= gmpi::eventPinValue && event.type <= gmpi::eventMidi) {
            if (const MpPinBase* pin = pins.find(event.pinNumber))
                deliver<MpBase2>(*pin, event);
        } else if (event.type == gmpi::eventGraphStart) {
            handleGraphStart();
        }
    }
    // Calls the handler of `pin` with an event addressed to it.
    template <class Module>
    void deliver(const MpPinBase& pin, const gmpi::HostEvent& event) noexcept
    {
        if (pin.handler == &MpPluginBase::deliverMidi)
            handleMidiEvent<Module>(event);
        else if (pin.handler != nullptr)
            pin.handler(*this, event);
    }
    // What the default MIDI handler does, with handleMidi called as Module's: for a final
    // Module a direct call, which its compiler may inline.
    template <class Module>
    void handleMidiEvent(const gmpi::HostEvent& event) noexcept
    {
        const EventBytes bytes = eventBytes(event);
        if (bytes.size > 0)
            static_cast<Module*>(this)->handleMidi(event.pinNumber, bytes.data, bytes.size);
    }
    // Whether pin `number` is bound with the default MIDI handler, without finding the pin.
    bool hasDefaultMidiHandler(int32_t number) const noexcept
    {
        return static_cast<uint32_t>(number) < 64 && (defaultMidiPins >> number & 1) != 0;
    }

    ProcessRoutine processRoutine = nullptr;  // none: the module only reacts to events
    uint64_t defaultMidiPins = 0;  // bit n: pin n is bound with the default MIDI handler
};

// The base of a module whose block loop is compiled for it: MIDI reaches its handleMidi
// as a direct call. Behaves exactly as MpBase2; `Module` is the deriving class:
//     class MIDI_Example final : public MpModule<MIDI_Example> { ... };
template <class Module>
class MpModule : public MpBase2 {
public:
    void processBlock(int32_t sampleCount, const gmpi::HostEvent* events) noexcept MP_NONBLOCKING override
    {
        runBlock<Module>(sampleCount, events);
    }

private:
    // Only `Module` derives from MpModule<Module>: the loop treats every instance as one.
    MpModule() = default;
    friend Module;
};
