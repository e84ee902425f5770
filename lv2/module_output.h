// The adapter's host services for one module: what the module sends during a sub-block,
// held in fixed space until the adapter writes it into the host's buffers. Nothing here
// allocates; what does not fit is dropped.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "mp_interfaces.h"

namespace lv2 {

class ModuleOutput final : public gmpi::IMpHostServices {
public:
    static constexpr size_t messageCapacity = 512;
    static constexpr size_t byteCapacity = 8192;
    static constexpr int32_t pinCapacity = 64;  // integer outputs are kept for pins below this

    struct Message {
        int32_t position;
        uint32_t offset;  // into the byte store
        uint32_t size;
    };

    explicit ModuleOutput(int32_t midiOutPin) : midiPin(midiOutPin) {}
    ModuleOutput(const ModuleOutput&) = delete;
    ModuleOutput& operator=(const ModuleOutput&) = delete;

    int32_t queryInterface(const gmpi::MpGuid* iid, void** returnInterface) override;
    int32_t addRef() override { return ++refCount; }
    int32_t release() override { return --refCount; }
    int32_t setPinData(int32_t blockPosition, int32_t pinNumber, int32_t size, const void* data) override;
    int32_t reserved() override { return gmpi::resultOk; }
    int32_t sleepRequest() override;

    // Forgets the messages of the last sub-block; integer outputs keep their values.
    void clearMessages();
    std::span<const Message> messages() const { return {sent.data(), count}; }
    const uint8_t* bytesOf(const Message& message) const { return byteStore.data() + message.offset; }

    // The last value a module sent on integer output `pin`, or `fallback` before any.
    int32_t latestValue(int32_t pin, int32_t fallback) const;
    void forgetValues() { valueSent.fill(false); }

    // Whether the module asked to sleep since the last call.
    bool takeSleepRequest();

private:
    void keepMessage(int32_t position, const uint8_t* bytes, uint32_t size);

    int32_t midiPin;
    int32_t refCount = 0;
    std::array<Message, messageCapacity> sent{};
    size_t count = 0;
    std::array<uint8_t, byteCapacity> byteStore{};
    uint32_t bytesUsed = 0;
    std::array<int32_t, pinCapacity> values{};
    std::array<bool, pinCapacity> valueSent{};
    bool sleepAsked = false;
};

}  // namespace lv2
