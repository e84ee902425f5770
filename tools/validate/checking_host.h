// The validator's host services: every call a module makes is checked as it arrives,
// and counted. Nothing is stored and nothing allocates, so the host's own work never
// shows up as the module's allocation while processing.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>

#include "mp_interfaces.h"

namespace validate {

// Pin numbers probed with attachPinBuffer; a module's outputs must be among those it accepted.
constexpr int32_t probedPins = 256;
using PinSet = std::bitset<probedPins>;

// The first thing a module sent that a host cannot take.
struct HostFault {
    const char* what = nullptr;  // null: no fault
    int32_t position = 0;
    int32_t pin = 0;
    int32_t size = 0;
    int32_t sampleCount = 0;

    explicit operator bool() const { return what != nullptr; }
    std::string describe() const;
};

class CheckingHost final : public gmpi::IMpHostServices {
public:
    CheckingHost() = default;
    CheckingHost(const CheckingHost&) = delete;
    CheckingHost& operator=(const CheckingHost&) = delete;

    int32_t queryInterface(const gmpi::MpGuid* iid, void** returnInterface) override;
    int32_t addRef() override { return ++references; }
    int32_t release() override { return --references; }
    int32_t setPinData(int32_t blockPosition, int32_t pinNumber, int32_t size, const void* data) override;
    int32_t reserved() override { return gmpi::resultOk; }
    int32_t sleepRequest() override;

    // What the module may send on: its bound pins, and messages up to `longest` bytes.
    void expect(const PinSet& pins, int32_t longest)
    {
        outputPins = pins;
        longestOutput = longest;
    }
    void beginBlock(int32_t sampleCount);
    void endBlock() { inBlock = false; }

    int32_t referenceCount() const { return references; }
    const HostFault& fault() const { return firstFault; }
    void clearFault() { firstFault = {}; }
    uint64_t pinDataCalls() const { return outputs; }
    uint64_t sleepRequests() const { return sleeps; }

private:
    void record(const char* what, int32_t position, int32_t pin, int32_t size);

    int32_t references = 0;
    PinSet outputPins;
    int32_t longestOutput = 8;
    int32_t blockSamples = 0;
    bool inBlock = false;
    HostFault firstFault;
    uint64_t outputs = 0;
    uint64_t sleeps = 0;
    uint32_t byteSum = 0;  // every byte sent is read, so a bad pointer shows
};

}  // namespace validate
