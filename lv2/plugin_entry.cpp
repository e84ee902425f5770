// The bundle's one exported function: an LV2 descriptor for each module of the catalogue,
// in catalogue order. No exception leaves these callbacks.
#include <cstring>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include "module_adapter.h"

namespace lv2 {
namespace {

ModuleAdapter& adapter(LV2_Handle instance)
{
    return *static_cast<ModuleAdapter*>(instance);
}

const LV2_URID_Map* uridMap(const LV2_Feature* const* features)
{
    for (; features != nullptr && *features != nullptr; ++features)
        if (std::strcmp((*features)->URI, LV2_URID__map) == 0)
            return static_cast<const LV2_URID_Map*>((*features)->data);
    return nullptr;
}

LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                       const LV2_Feature* const* features)
{
    const LV2_URID_Map* map = uridMap(features);
    if (map == nullptr)
        return nullptr;
    for (const host::ModuleDeclaration& module : host::moduleCatalogue()) {
        if (pluginUri(module.identifier) != descriptor->URI)
            continue;
        try {
            return new ModuleAdapter(module, *map, sampleRate);
        } catch (...) {
            return nullptr;
        }
    }
    return nullptr;
}

void connectPort(LV2_Handle instance, uint32_t port, void* data)
{
    adapter(instance).connect(port, data);
}

void activate(LV2_Handle instance)
{
    try {
        adapter(instance).activate();
    } catch (...) {
        // The adapter keeps no module then, and its runs write empty sequences.
    }
}

void run(LV2_Handle instance, uint32_t frames)
{
    adapter(instance).run(frames);
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance)
{
    delete &adapter(instance);
}

const void* extensionData(const char*)
{
    return nullptr;
}

struct DescriptorTable {
    std::vector<std::string> uris;
    std::vector<LV2_Descriptor> descriptors;

    DescriptorTable()
    {
        for (const host::ModuleDeclaration& module : host::moduleCatalogue())
            uris.push_back(pluginUri(module.identifier));
        for (const std::string& uri : uris)
            descriptors.push_back(
                {uri.c_str(), instantiate, connectPort, activate, run, deactivate, cleanup, extensionData});
    }
};

}  // namespace
}  // namespace lv2

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    static const lv2::DescriptorTable table;
    return index < table.descriptors.size() ? &table.descriptors[index] : nullptr;
}
