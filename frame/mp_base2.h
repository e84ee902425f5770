// The base of every module: the block loop that walks a block's time-stamped events,
// hands them to the pins, calls the hooks, and runs the module's ProcessRoutine over
// the sample spans between them.
//
// The processing path (processBlock and everything it calls, module code included)
// is real-time safe: it never allocates, locks or blocks, and never logs.
#pragma once

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

    // The handler MIDI input pins get by default: hands the message to handleMidi.
    void deliverMidi(const gmpi::HostEvent& event) noexcept;

protected:
    MpBase2() = default;

    // Binds `pin` to `number`; a pin bound without a handler gets its default one.
    // The first binding of a number wins. Called by module constructors only.
    void bindPin(int32_t number, MpPinBase& pin, PinHandler pinHandler = nullptr);

    // Selects the module's own routine. While the module sleeps it stays asleep, and
    // the sleep routine runs the new routine.
    template <class Module>
    void setProcessRoutine(void (Module::*routine)(int32_t)) noexcept
    {
        static_assert(std::is_base_of_v<MpBase2, Module>);
        selectRoutine(static_cast<ProcessRoutine>(routine));
    }

    void emptyRoutine(int32_t) noexcept {}
    // Runs the module's routine while it still has samples to process after its audio
    // inputs went quiet, then asks the host to let the module sleep.
    void sleepRoutine(int32_t sampleCount) noexcept;

private:
    void runBlock(int32_t sampleCount, const gmpi::HostEvent* events) noexcept;
    void selectRoutine(ProcessRoutine routine) noexcept;
    void runSpan(int32_t sampleCount) noexcept { (this->*currentRoutine)(sampleCount); }
    // Delivers the events stamped at blockPosition, starting with `first`; returns the
    // event after them.
    const gmpi::HostEvent* dispatchBatch(const gmpi::HostEvent* first) noexcept;

    ProcessRoutine currentRoutine = &MpBase2::sleepRoutine;
    ProcessRoutine savedRoutine = &MpBase2::emptyRoutine;
};
