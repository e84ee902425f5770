#include "mp_factory.h"

#include <string_view>

namespace {

// Version number and build text that buildInformation reports.
constexpr int32_t buildVersion = 30800;
constexpr std::u16string_view buildText = u"MS Compiler V1924 (Release)";
static_assert(buildText.size() == 27);

}  // namespace

MP_EXPORT int32_t MP_GetFactory(void** factory)
{
    if (factory == nullptr)
        return gmpi::resultFail;
    return getFactoryInstance().queryInterface(&gmpi::iidUnknown, factory);
}

MpFactory& getFactoryInstance()
{
    static MpFactory instance;
    return instance;
}

bool registerModule(int32_t subtype, const char16_t* identifier, CreateFunction create)
{
    getFactoryInstance().add(subtype, identifier, create);
    return false;
}

void MpFactory::add(int32_t subtype, const char16_t* identifier, CreateFunction create)
{
    registry.try_emplace(ModuleKey{subtype, identifier}, create);
}

int32_t MpFactory::queryInterface(const gmpi::MpGuid* iid, void** returnInterface) noexcept
{
    if (returnInterface == nullptr)
        return gmpi::resultFail;
    *returnInterface = nullptr;
    if (iid == nullptr)
        return gmpi::resultNotFound;
    if (*iid == gmpi::iidUnknown || *iid == gmpi::iidFactory || *iid == gmpi::iidFactory2) {
        *returnInterface = static_cast<gmpi::IMpFactory2*>(this);
        addRef();
        return gmpi::resultOk;
    }
    return gmpi::resultNotFound;
}

int32_t MpFactory::createModule(const char16_t* identifier, int32_t subtype, gmpi::IMpUnknown* host,
                                gmpi::IMpUnknown** module) noexcept
{
    const int32_t created = createModuleWithoutHost(identifier, subtype, module);
    if (created != gmpi::resultOk || *module == nullptr || host == nullptr)
        return created;
    // Module objects do not answer this part's identifier; only the language finds it.
    // The attach result is not the factory's concern: a host without services gets a
    // module that drops its outputs.
    if (auto* initialisation = dynamic_cast<IoldSchoolInitialisation*>(*module))
        initialisation->attachHost(host);
    return gmpi::resultOk;
}

int32_t MpFactory::createModuleWithoutHost(const char16_t* identifier, int32_t subtype,
                                           gmpi::IMpUnknown** module) noexcept
{
    if (module == nullptr)
        return gmpi::resultFail;
    *module = nullptr;
    if (identifier == nullptr)
        return gmpi::resultNotFound;
    try {
        const auto entry = registry.find(ModuleKey{subtype, identifier});
        if (entry == registry.end() || entry->second == nullptr)
            return gmpi::resultNotFound;
        *module = entry->second();
        return gmpi::resultOk;
    } catch (...) {
        return gmpi::resultFail;
    }
}

int32_t MpFactory::buildInformation(int32_t* version, int32_t capacity, char16_t* text) noexcept
{
    if (version != nullptr)
        *version = buildVersion;
    if (text == nullptr || capacity < 1)
        return gmpi::resultFail;
    // The text is copied whole or not at all; a buffer too small receives an empty string.
    if (capacity <= static_cast<int32_t>(buildText.size())) {
        text[0] = u'\0';
        return gmpi::resultFail;
    }
    buildText.copy(text, buildText.size());
    text[buildText.size()] = u'\0';
    return gmpi::resultOk;
}
