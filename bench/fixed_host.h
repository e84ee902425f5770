// The cheapest host a module can talk to: its pin-data call copies the output into a
// fixed array that the benchmark empties before every block, and nothing else. What the
// benchmark counts is then the library's work, not a host's bookkeeping.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "host_services.h"

namespace bench {

class FixedHost final : public gmpi::IMpHostServices {
public:
    struct Output {
        int32_t position;
        int32_t pin;
        int32_t size;
        uint8_t bytes[4];  // the first four; MIDI output here is three bytes at most
    };

    int32_t queryInterface(const gmpi::MpGuid* iid, void** returnInterface) override
    {
        return host::answerServicesQuery(*this, iid, returnInterface);
    }
    int32_t addRef() override { return 1; }  // owned by the benchmark, outlives the module
    int32_t release() override { return 1; }
    // Output beyond the array's capacity is dropped.
    int32_t setPinData(int32_t blockPosition, int32_t pinNumber, int32_t size, const void* data) override
    {
        if (count == outputs.size())
            return gmpi::resultFail;
        Output& output = outputs[count++];
        output = {blockPosition, pinNumber, size, {}};
        std::memcpy(output.bytes, data, static_cast<size_t>(std::clamp(size, 0, 4)));
        return gmpi::resultOk;
    }
    int32_t reserved() override { return gmpi::resultOk; }
    int32_t sleepRequest() override { return gmpi::resultOk; }

    void clear() { count = 0; }

private:
    std::array<Output, 256> outputs{};
    size_t count = 0;
};

}  // namespace bench
