// The host-facing side of every module: its three interface parts, reference count,
// attached host, pins by number, and the hooks a module overrides.
#pragma once

#include <algorithm>

#include "mp_host_event.h"
#include "mp_interfaces.h"
#include "mp_pin_map.h"

class MpPluginBase;

// What a pin calls with the event addressed to it, on the module it belongs to.
using PinHandler = void (*)(MpPluginBase& module, const gmpi::HostEvent& event);

class MpPluginBase : public gmpi::IMpPlugin, public gmpi::IMpPlugin2, public IoldSchoolInitialisation {
public:
    MpPluginBase() = default;
    MpPluginBase(const MpPluginBase&) = delete;  // not copyable, not movable
    MpPluginBase& operator=(const MpPluginBase&) = delete;

    // ---- gmpi::IMpUnknown, shared by all parts ----
    int32_t queryInterface(const gmpi::MpGuid* iid, void** returnInterface) noexcept override;
    int32_t addRef() noexcept override;
    int32_t release() noexcept override;

    // ---- gmpi::IMpPlugin and gmpi::IMpPlugin2 (each operation serves both parts) ----
    int32_t attachHost(gmpi::IMpUnknown* hostObject) noexcept override;
    int32_t prepare() noexcept override;
    int32_t attachPinBuffer(int32_t pinNumber, const float* buffer) noexcept override;
    // The two parts share one answer, so the request never bounces between them.
    // No module here takes custom requests.
    int32_t customRequest(int32_t request, int32_t argument, void* data) noexcept override;

    virtual ~MpPluginBase();

    // ---- module hooks, called on the audio thread by the block loop ----
    // One MIDI message of `length` (at least 1) bytes; the bytes are the host's and
    // valid only during the call.
    virtual void handleMidi(int32_t pinNumber, const uint8_t* bytes, int32_t length) noexcept;
    // Once per time stamp at which control values or streaming states arrived; the
    // pins' wasChanged flags tell which.
    virtual void handlePinsChanged() noexcept;
    virtual void handleStreamingChange(bool streaming) noexcept = 0;
    // Sends the current value of every output pin, in ascending pin number.
    virtual void handleGraphStart() noexcept;

    // The handler MIDI input pins get by default: hands the message to handleMidi. A MIDI
    // event without bytes holds no message and is not delivered.
    static void deliverMidi(MpPluginBase& module, const gmpi::HostEvent& event) noexcept
    {
        const EventBytes bytes = eventBytes(event);
        if (bytes.size > 0)
            module.handleMidi(event.pinNumber, bytes.data, bytes.size);
    }

protected:
    friend class MpPinBase;
    friend class AudioInPin;

    // Sends bytes as the output of pin `pinNumber` (see MpPinBase::sendPinValue). A host
    // takes output only at offsets inside the block it is processing: a module that
    // spreads messages over positions 0, 1, 2 ... in a block shorter than that gets its
    // later ones at the block's last sample, in the order sent. As blockEnd is at least
    // 1, the position is clamped to [0, blockEnd - 1]; in this order a constant 0 needs
    // no instruction.
    int32_t sendPinData(int32_t pinNumber, int32_t size, const void* data, int32_t position) noexcept
    {
        if (host == nullptr)
            return gmpi::resultFail;
        if (position == -1)
            position = blockPosition;
        return host->setPinData(std::max(std::min(position, blockEnd - 1), 0), pinNumber, size, data);
    }

    int32_t refCount = 1;  // the creator's reference
    gmpi::IMpHostServices* host = nullptr;
    MpPinMap pins;
    int32_t blockPosition = 0;  // sample offset within the current block
    // Outputs go out at positions below this: the block's sample count (at least 1) while
    // processBlock runs, no bound outside it.
    static constexpr int32_t outsideBlock = INT32_MAX;
    int32_t blockEnd = outsideBlock;  // at least 1
    int32_t sleepCountdown = 0;  // samples still to process before asking to sleep; never negative
    int32_t streamingCount = 0;  // audio inputs currently streaming
};
