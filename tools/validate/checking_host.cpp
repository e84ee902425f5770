#include "checking_host.h"

#include <algorithm>

#include "host_services.h"

namespace validate {

std::string HostFault::describe() const
{
    return std::string(what) + " (position " + std::to_string(position) + ", pin " + std::to_string(pin) +
           ", " + std::to_string(size) + " bytes, block of " + std::to_string(sampleCount) + ")";
}

int32_t CheckingHost::queryInterface(const gmpi::MpGuid* iid, void** returnInterface)
{
    return host::answerServicesQuery(*this, iid, returnInterface);
}

void CheckingHost::beginBlock(int32_t sampleCount)
{
    blockSamples = sampleCount;
    inBlock = true;
}

// Positions are offsets into the block being processed; a block of no samples still
// takes what its events cause at position 0.
int32_t CheckingHost::setPinData(int32_t blockPosition, int32_t pinNumber, int32_t size, const void* data)
{
    ++outputs;
    if (!inBlock)
        record("pin data outside processBlock", blockPosition, pinNumber, size);
    else if (blockPosition < 0 || blockPosition >= std::max(blockSamples, 1))
        record("pin data outside the block", blockPosition, pinNumber, size);
    else if (pinNumber < 0 || pinNumber >= probedPins || !outputPins.test(static_cast<size_t>(pinNumber)))
        record("pin data on a pin the module does not have", blockPosition, pinNumber, size);
    else if (size < 1 || size > longestOutput)
        record("pin data of an impossible size", blockPosition, pinNumber, size);
    else if (data == nullptr)
        record("pin data without bytes", blockPosition, pinNumber, size);
    else
        for (int32_t i = 0; i < size; ++i)
            byteSum += static_cast<const uint8_t*>(data)[i];
    return gmpi::resultOk;
}

int32_t CheckingHost::sleepRequest()
{
    ++sleeps;
    if (!inBlock)
        record("sleep request outside processBlock", 0, -1, 0);
    return gmpi::resultOk;
}

void CheckingHost::record(const char* what, int32_t position, int32_t pin, int32_t size)
{
    if (!firstFault)
        firstFault = {what, position, pin, size, blockSamples};
}

}  // namespace validate
