// Pins: a module's numbered connection points. A pin turns the host's events into
// values, flags and MIDI calls on its module, and the module's output values and
// MIDI into pin-data calls on the host. Pins are members of their module.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>

#include "mp_host_event.h"
#include "mp_interfaces.h"
#include "mp_plugin_base.h"

class MpPinBase {
public:
    MpPinBase() = default;
    MpPinBase(const MpPinBase&) = delete;  // bound by address: not copyable, not movable
    MpPinBase& operator=(const MpPinBase&) = delete;
    virtual ~MpPinBase() = default;

    // The host's buffer for this pin, from the module's attachPinBuffer.
    virtual void attachBuffer(const float* buffer) noexcept;
    // The block loop's three passes over the events of one time stamp. The first and the
    // third see only events that change pin state (changesPinState): a pin acts on
    // nothing else there. In the second the block loop calls the pin's handler with every
    // event of types 100 to 103.
    virtual void beforeEvent(const gmpi::HostEvent& event) noexcept;
    virtual void afterEvent(const gmpi::HostEvent& event) noexcept;
    virtual int32_t direction() const noexcept = 0;
    // The handler a pin bound without one gets.
    virtual PinHandler defaultHandler() const noexcept;
    // Called at graph start on output pins.
    virtual void sendInitialValue() noexcept;

    // Sends bytes as this pin's output at `position` (-1: the module's current
    // blockPosition), kept inside the block being processed. Dropped when the pin is
    // unbound or no host is attached.
    int32_t sendPinValue(int32_t size, const void* data, int32_t position = -1) noexcept
    {
        if (owner == nullptr)
            return gmpi::resultFail;
        return owner->sendPinData(pinNumber, size, data, position);
    }

protected:
    friend class MpBase2;  // binds the pin and calls its handler

    int32_t pinNumber = -1;
    MpPluginBase* owner = nullptr;
    PinHandler handler = nullptr;
};

// Control pins hold a value. Boolean pins keep the raw byte the host sent, so any
// non-zero value means true.
template <typename T>
class MpControlPinBase : public MpPinBase {
public:
    using Value = std::conditional_t<std::is_same_v<T, bool>, uint8_t, T>;
    static_assert(sizeof(Value) == 4 || sizeof(Value) == 1);

    Value value{};
    bool wasChanged = false;  // set from the first to the third pass of its value event

    void beforeEvent(const gmpi::HostEvent& event) noexcept override
    {
        if (event.type == gmpi::eventPinValue && setRawValueFromEvent(eventBytes(event)))
            wasChanged = true;
    }
    void afterEvent(const gmpi::HostEvent& event) noexcept override
    {
        if (event.type == gmpi::eventPinValue)
            wasChanged = false;
    }
    void sendInitialValue() noexcept override { sendPinValue(sizeof(Value), &value); }

private:
    // An integer takes exactly four little-endian bytes; any other size is not a value
    // of this pin and is ignored. A boolean takes four bytes as "integer is not 0",
    // otherwise its first byte as it is; an empty event is ignored.
    bool setRawValueFromEvent(EventBytes bytes) noexcept
    {
        if constexpr (std::is_same_v<T, bool>) {
            if (bytes.size == 4)
                value = readInt32(bytes.data) != 0;
            else if (bytes.size >= 1)
                value = bytes.data[0];
            else
                return false;
        } else {
            if (bytes.size != 4)
                return false;
            value = readInt32(bytes.data);
        }
        return true;
    }
    static int32_t readInt32(const uint8_t* data) noexcept
    {
        return static_cast<int32_t>(uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                                    uint32_t(data[3]) << 24);
    }
};

template <typename T, int32_t Direction>
class MpControlPin final : public MpControlPinBase<T> {
public:
    using typename MpControlPinBase<T>::Value;

    int32_t direction() const noexcept override { return Direction; }

    // Output pins: stores and sends a value that differs from the current one.
    void setValue(Value newValue, int32_t position = -1) noexcept
        requires(Direction == gmpi::pinDirectionOut)
    {
        if (newValue == this->value)
            return;
        this->value = newValue;
        this->sendPinValue(sizeof(Value), &this->value, position);
    }
};

using IntInPin = MpControlPin<int32_t, gmpi::pinDirectionIn>;
using IntOutPin = MpControlPin<int32_t, gmpi::pinDirectionOut>;
using BoolInPin = MpControlPin<bool, gmpi::pinDirectionIn>;

class MidiInPin : public MpPinBase {
public:
    int32_t direction() const noexcept override { return gmpi::pinDirectionIn; }
    // Forwards each event to the owner's handleMidi.
    PinHandler defaultHandler() const noexcept override;
};

class MidiOutPin final : public MidiInPin {
public:
    int32_t direction() const noexcept override { return gmpi::pinDirectionOut; }
    PinHandler defaultHandler() const noexcept override { return nullptr; }

    // Sends one message of `length` bytes at `position` (-1: the current blockPosition).
    void sendMidi(const uint8_t* bytes, int32_t length, int32_t position = -1) noexcept
    {
        sendPinValue(length, bytes, position);
    }
    // Sends one three-byte message: a note or a controller.
    void sendMidi(const std::array<uint8_t, 3>& message, int32_t position = -1) noexcept
    {
        sendPinValue(static_cast<int32_t>(message.size()), message.data(), position);
    }
};

class AudioInPin final : public MpPinBase {
public:
    const float* buffer = nullptr;  // the host's samples of the current block
    bool isStreaming = false;       // the input signal is changing

    void attachBuffer(const float* newBuffer) noexcept override { buffer = newBuffer; }
    void beforeEvent(const gmpi::HostEvent& event) noexcept override;
    int32_t direction() const noexcept override { return gmpi::pinDirectionIn; }

    // The sample at `position` of the current block; silence while no buffer is attached.
    float sampleAt(int32_t position) const noexcept { return buffer != nullptr ? buffer[position] : 0.0f; }
};
