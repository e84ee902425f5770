// The stand-in host's services: what a module calls while it processes. Every call is
// recorded in order, so that a test or a tool can read back what a module sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "mp_interfaces.h"

namespace host {

// One pin-data call: the bytes a module sent on `pin` at sample `position`.
struct PinData {
    int32_t position;
    int32_t pin;
    std::vector<uint8_t> bytes;

    bool operator==(const PinData&) const = default;
};

// The query every host services object answers: itself, with one reference added, for
// IMpHostServices and IMpUnknown; -2 and null for anything else.
int32_t answerServicesQuery(gmpi::IMpHostServices& services, const gmpi::MpGuid* iid, void** returnInterface);

class HostServices final : public gmpi::IMpHostServices {
public:
    enum class CallKind { pinData, sleepRequest };
    struct Call {
        CallKind kind;
        int32_t position;
        int32_t pin;
        size_t offset;  // into the byte store
        size_t size;
    };

    HostServices() = default;
    HostServices(const HostServices&) = delete;
    HostServices& operator=(const HostServices&) = delete;

    int32_t queryInterface(const gmpi::MpGuid* iid, void** returnInterface) override;
    int32_t addRef() override { return ++refCount; }
    int32_t release() override { return --refCount; }
    int32_t setPinData(int32_t blockPosition, int32_t pinNumber, int32_t size, const void* data) override;
    int32_t reserved() override { return gmpi::resultOk; }
    int32_t sleepRequest() override;

    // References modules hold on these services; 0 once every module has released them.
    int32_t references() const { return refCount; }

    // Recording into reserved space does not allocate, so a caller that measures a
    // module's allocations can keep the host's own out of the count.
    void reserve(size_t calls, size_t bytes);
    void clear();

    const std::vector<Call>& calls() const { return recorded; }
    std::span<const uint8_t> bytesOf(const Call& call) const { return {byteStore.data() + call.offset, call.size}; }
    std::vector<PinData> pinData() const;
    std::vector<PinData> pinData(int32_t pin) const;
    int sleepRequests() const;

private:
    int32_t refCount = 0;
    std::vector<Call> recorded;
    std::vector<uint8_t> byteStore;
};

}  // namespace host
