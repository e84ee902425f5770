#include "module_output.h"

#include <cstring>

#include "host_services.h"

namespace lv2 {

int32_t ModuleOutput::queryInterface(const gmpi::MpGuid* iid, void** returnInterface)
{
    return host::answerServicesQuery(*this, iid, returnInterface);
}

int32_t ModuleOutput::setPinData(int32_t blockPosition, int32_t pinNumber, int32_t size, const void* data)
{
    if (data == nullptr || size <= 0)
        return gmpi::resultOk;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (pinNumber == midiPin) {
        keepMessage(blockPosition, bytes, static_cast<uint32_t>(size));
    } else if (pinNumber >= 0 && pinNumber < pinCapacity && size == sizeof(int32_t)) {
        std::memcpy(&values[size_t(pinNumber)], bytes, sizeof(int32_t));
        valueSent[size_t(pinNumber)] = true;
    }
    return gmpi::resultOk;
}

void ModuleOutput::keepMessage(int32_t position, const uint8_t* bytes, uint32_t size)
{
    if (count == messageCapacity || size > byteCapacity - bytesUsed)
        return;
    std::memcpy(byteStore.data() + bytesUsed, bytes, size);
    sent[count++] = {position, bytesUsed, size};
    bytesUsed += size;
}

int32_t ModuleOutput::sleepRequest()
{
    sleepAsked = true;
    return gmpi::resultOk;
}

void ModuleOutput::clearMessages()
{
    count = 0;
    bytesUsed = 0;
}

int32_t ModuleOutput::latestValue(int32_t pin, int32_t fallback) const
{
    const bool known = pin >= 0 && pin < pinCapacity && valueSent[size_t(pin)];
    return known ? values[size_t(pin)] : fallback;
}

bool ModuleOutput::takeSleepRequest()
{
    const bool asked = sleepAsked;
    sleepAsked = false;
    return asked;
}

}  // namespace lv2
