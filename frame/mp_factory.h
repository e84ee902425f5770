// The module registry and the factory that the host reaches through MP_GetFactory.
#pragma once

#include <map>
#include <string>

#include "mp_interfaces.h"

#if defined(_WIN32)
#define MP_EXPORT extern "C" __declspec(dllexport)
#else
#define MP_EXPORT extern "C" __attribute__((visibility("default")))
#endif

MP_EXPORT int32_t MP_GetFactory(void** factory);

// Allocates and constructs one module; returns its IMpPlugin2 part with one reference.
using CreateFunction = gmpi::IMpUnknown* (*)();

// Registry key: subtype first, then the identifier compared code unit by code unit.
struct ModuleKey {
    int32_t subtype;
    std::u16string identifier;

    auto operator<=>(const ModuleKey&) const = default;
};

class MpFactory final : public gmpi::IMpFactory2 {
public:
    int32_t queryInterface(const gmpi::MpGuid* iid, void** returnInterface) noexcept override;
    int32_t addRef() noexcept override { return 1; }    // never destroyed through its count
    int32_t release() noexcept override { return 1; }
    int32_t createModule(const char16_t* identifier, int32_t subtype, gmpi::IMpUnknown* host,
                         gmpi::IMpUnknown** module) noexcept override;
    int32_t buildInformation(int32_t* version, int32_t capacity, char16_t* text) noexcept override;
    int32_t createModuleWithoutHost(const char16_t* identifier, int32_t subtype,
                                    gmpi::IMpUnknown** module) noexcept override;
    virtual ~MpFactory() = default;

    // Called during static initialisation only; the first registration of a key wins.
    void add(int32_t subtype, const char16_t* identifier, CreateFunction create);

private:
    std::map<ModuleKey, CreateFunction> registry;
};

// The process-wide factory, created empty on first use (in practice by the first
// registration while the library loads) and never destroyed.
MpFactory& getFactoryInstance();

// Enters a module into the registry. Returns false; a module file keeps the result in a
// static flag so that registration runs while the library loads:
//   static const bool registered = registerModule(0, u"MIDI_Example", &createExample);
bool registerModule(int32_t subtype, const char16_t* identifier, CreateFunction create);

// The creation function of a module class: new object, its IMpPlugin2 part, one reference.
// Allocation failure throws, which createModule reports as a failure.
template <class Module>
gmpi::IMpUnknown* createInstance()
{
    return static_cast<gmpi::IMpPlugin2*>(new Module);
}
