#include "mp_plugin_base.h"

#include "mp_pins.h"

int32_t MpPluginBase::queryInterface(const gmpi::MpGuid* iid, void** returnInterface) noexcept
{
    if (returnInterface == nullptr)
        return gmpi::resultFail;
    *returnInterface = nullptr;
    if (iid == nullptr)
        return gmpi::resultNotFound;
    if (*iid == gmpi::iidPlugin2)
        *returnInterface = static_cast<gmpi::IMpPlugin2*>(this);
    else if (*iid == gmpi::iidPlugin || *iid == gmpi::iidUnknown)
        *returnInterface = static_cast<gmpi::IMpPlugin*>(this);
    else
        return gmpi::resultNotFound;
    addRef();
    return gmpi::resultOk;
}

int32_t MpPluginBase::addRef() noexcept
{
    return ++refCount;
}

int32_t MpPluginBase::release() noexcept
{
    if (--refCount > 0)
        return refCount;
    delete this;
    return 0;
}

// The services are queried into a local first, so that a second attach releases the
// reference of the first instead of leaking it.
int32_t MpPluginBase::attachHost(gmpi::IMpUnknown* hostObject) noexcept
{
    if (hostObject == nullptr)
        return gmpi::resultFail;
    void* services = nullptr;
    const int32_t result = hostObject->queryInterface(&gmpi::iidHostServices, &services);
    if (host != nullptr)
        host->release();
    host = static_cast<gmpi::IMpHostServices*>(services);
    return result;
}

int32_t MpPluginBase::prepare() noexcept
{
    return gmpi::resultOk;
}

int32_t MpPluginBase::attachPinBuffer(int32_t pinNumber, const float* buffer) noexcept
{
    MpPinBase* pin = pins.find(pinNumber);
    if (pin == nullptr)
        return gmpi::resultFail;
    pin->attachBuffer(buffer);
    return gmpi::resultOk;
}

int32_t MpPluginBase::customRequest(int32_t, int32_t, void*) noexcept
{
    return gmpi::resultOk;
}

MpPluginBase::~MpPluginBase()
{
    if (host != nullptr)
        host->release();
}

void MpPluginBase::handleMidi(int32_t, const uint8_t*, int32_t) noexcept {}

void MpPluginBase::handlePinsChanged() noexcept {}

void MpPluginBase::handleGraphStart() noexcept
{
    for (const auto& [number, pin] : pins)
        if (pin->direction() == gmpi::pinDirectionOut)
            pin->sendInitialValue();
}
