// The host-facing side of every module: its three interface parts, reference count,
// attached host, pins by number, and the hooks a module overrides.
#pragma once

#include "mp_interfaces.h"
#include "mp_pin_map.h"

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
    virtual void handleMidiFallback(int32_t pinNumber, const uint8_t* bytes, int32_t length);
    // One MIDI message of `length` (at least 1) bytes; the bytes are the host's and
    // valid only during the call.
    virtual void handleMidi(int32_t pinNumber, const uint8_t* bytes, int32_t length);
    // Once per time stamp at which control values or streaming states arrived; the
    // pins' wasChanged flags tell which.
    virtual void handlePinsChanged();
    virtual void handleStreamingChange(bool streaming) = 0;
    // Sends the current value of every output pin, in ascending pin number.
    virtual void handleGraphStart();

protected:
    friend class MpPinBase;
    friend class AudioInPin;

    int32_t refCount = 1;  // the creator's reference
    gmpi::IMpHostServices* host = nullptr;
    MpPinMap pins;
    int32_t blockPosition = 0;  // sample offset within the current block
    // Outputs go out at positions below this: the block's sample count (at least 1) while
    // processBlock runs, no bound outside it.
    static constexpr int32_t outsideBlock = INT32_MAX;
    int32_t blockEnd = outsideBlock;
    int32_t sleepCountdown = 0;  // samples still to process before asking to sleep
    int32_t streamingCount = 0;  // audio inputs currently streaming
    bool lastSpan = true;        // the span being processed ends the block
};
