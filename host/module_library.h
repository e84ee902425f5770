// Loads a module library by path the way the host does: find MP_GetFactory, ask it for
// the factory, and create modules by identifier.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "event_list.h"
#include "host_services.h"
#include "mp_interfaces.h"

namespace host {

// One module instance with the host services it talks to and the audio buffers the
// host owns for it. Releases the module (its creation reference) on destruction.
class Module {
public:
    Module(gmpi::IMpPlugin2* plugin, std::unique_ptr<HostServices> services);
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    ~Module();

    gmpi::IMpPlugin2& plugin() { return *module; }
    HostServices& services() { return *hostServices; }

    // Gives audio input `pin` a host-owned buffer of `capacity` samples (silence) and
    // attaches it; returns attachPinBuffer's result.
    int32_t attachAudio(int32_t pin, size_t capacity);
    // The samples of an attached audio input, to fill before a block.
    std::span<float> audio(int32_t pin);

    void process(int32_t sampleCount, EventList& events) { module->processBlock(sampleCount, events.head()); }
    void process(int32_t sampleCount) { module->processBlock(sampleCount, nullptr); }

private:
    std::unique_ptr<HostServices> hostServices;  // outlives the module, which releases it last
    gmpi::IMpPlugin2* module;
    std::vector<std::pair<int32_t, std::vector<float>>> audioBuffers;
};

class ModuleLibrary {
public:
    // Throws std::runtime_error with a one-line reason when the library cannot be loaded
    // or has no usable factory.
    explicit ModuleLibrary(const std::string& path);
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;
    ~ModuleLibrary();

    // The library's own build, in the running program's folder.
    static std::string defaultPath();

    gmpi::GetFactoryFunction entryPoint() const { return getFactory; }
    gmpi::IMpFactory2& factory() { return *factoryInterface; }

    // Creates a module with fresh host services attached. Throws std::runtime_error
    // naming the identifier and the factory's result when creation fails.
    std::unique_ptr<Module> create(std::u16string_view identifier, int32_t subtype = 0);

private:
    void* handle = nullptr;
    gmpi::GetFactoryFunction getFactory = nullptr;
    gmpi::IMpFactory2* factoryInterface = nullptr;
};

std::u16string toU16(std::string_view ascii);
std::string toUtf8(std::u16string_view text);

}  // namespace host
