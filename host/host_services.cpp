#include "host_services.h"

#include <algorithm>

namespace host {

int32_t answerServicesQuery(gmpi::IMpHostServices& services, const gmpi::MpGuid* iid, void** returnInterface)
{
    if (returnInterface == nullptr)
        return gmpi::resultFail;
    *returnInterface = nullptr;
    if (iid == nullptr || !(*iid == gmpi::iidHostServices || *iid == gmpi::iidUnknown))
        return gmpi::resultNotFound;
    *returnInterface = &services;
    services.addRef();
    return gmpi::resultOk;
}

int32_t HostServices::queryInterface(const gmpi::MpGuid* iid, void** returnInterface)
{
    return answerServicesQuery(*this, iid, returnInterface);
}

int32_t HostServices::setPinData(int32_t blockPosition, int32_t pinNumber, int32_t size, const void* data)
{
    const size_t count = data != nullptr ? static_cast<size_t>(std::max(size, 0)) : 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    recorded.push_back({CallKind::pinData, blockPosition, pinNumber, byteStore.size(), count});
    byteStore.insert(byteStore.end(), bytes, bytes + count);
    return gmpi::resultOk;
}

int32_t HostServices::sleepRequest()
{
    recorded.push_back({CallKind::sleepRequest, 0, -1, byteStore.size(), 0});
    return gmpi::resultOk;
}

void HostServices::reserve(size_t calls, size_t bytes)
{
    recorded.reserve(calls);
    byteStore.reserve(bytes);
}

void HostServices::clear()
{
    recorded.clear();
    byteStore.clear();
}

std::vector<PinData> HostServices::pinData() const
{
    std::vector<PinData> result;
    for (const Call& call : recorded) {
        if (call.kind != CallKind::pinData)
            continue;
        const auto bytes = bytesOf(call);
        result.push_back({call.position, call.pin, {bytes.begin(), bytes.end()}});
    }
    return result;
}

std::vector<PinData> HostServices::pinData(int32_t pin) const
{
    std::vector<PinData> result = pinData();
    std::erase_if(result, [pin](const PinData& data) { return data.pin != pin; });
    return result;
}

int HostServices::sleepRequests() const
{
    return static_cast<int>(std::count_if(recorded.begin(), recorded.end(),
                                          [](const Call& call) { return call.kind == CallKind::sleepRequest; }));
}

}  // namespace host
