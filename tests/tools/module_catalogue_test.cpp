// The host's declarations against the built library.
#include <gtest/gtest.h>

#include "library_fixture.h"
#include "module_catalogue.h"
#include "renderer.h"

namespace {

// Pin numbers run from 0 without a gap: every declared number is bound in the module,
// and the number after the last is not.
TEST(ModuleCatalogue, DeclaresExactlyThePinsTheModulesBind)
{
    const float buffer[8] = {};
    for (const host::ModuleDeclaration& module : host::moduleCatalogue()) {
        for (size_t i = 0; i < module.pins.size(); ++i)
            EXPECT_EQ(module.pins[i].number, static_cast<int32_t>(i)) << module.identifier;
        if (!libraryHas(builtLibrary(), module.identifier))
            continue;  // not built yet
        auto instance = builtLibrary().create(host::toU16(module.identifier));
        for (const host::PinDeclaration& pin : module.pins)
            EXPECT_EQ(instance->plugin().attachPinBuffer(pin.number, buffer), gmpi::resultOk)
                << module.identifier << " pin " << pin.number;
        EXPECT_EQ(instance->plugin().attachPinBuffer(static_cast<int32_t>(module.pins.size()), buffer),
                  gmpi::resultFail)
            << module.identifier;
    }
}

TEST(ModuleCatalogue, EveryDefaultIsAValueOfItsPin)
{
    for (const host::ModuleDeclaration& module : host::moduleCatalogue())
        for (const host::PinDeclaration& pin : module.pins) {
            if (!host::isSetting(pin.kind))
                continue;
            const host::ParsedValue parsed = host::parsePinValue(pin, host::describeDefault(pin));
            EXPECT_EQ(parsed.value, pin.defaultValue) << module.identifier << " " << pin.name << ": " << parsed.problem;
        }
}

}  // namespace
