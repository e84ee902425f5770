#include "module_library.h"

#include <algorithm>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace host {
namespace {

#if defined(_WIN32)
void* openLibrary(const std::string& path) { return reinterpret_cast<void*>(LoadLibraryA(path.c_str())); }
void* findSymbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
std::string loadError() { return "error " + std::to_string(GetLastError()); }
std::string programPath()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}
#else
void* openLibrary(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }
void closeLibrary(void* handle) { dlclose(handle); }
std::string loadError()
{
    const char* reason = dlerror();
    return reason != nullptr ? reason : "unknown reason";
}
std::string programPath()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}
#endif

}  // namespace

std::u16string toU16(std::string_view ascii)
{
    return {ascii.begin(), ascii.end()};
}

std::string toUtf8(std::u16string_view text)
{
    std::string result;
    for (char16_t unit : text)
        result.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    return result;
}

Module::Module(gmpi::IMpPlugin2* plugin, std::unique_ptr<HostServices> services)
    : hostServices(std::move(services)), module(plugin)
{
}

Module::~Module()
{
    module->release();
}

int32_t Module::attachAudio(int32_t pin, size_t capacity)
{
    auto found = std::find_if(audioBuffers.begin(), audioBuffers.end(), [pin](auto& b) { return b.first == pin; });
    if (found == audioBuffers.end())
        found = audioBuffers.insert(audioBuffers.end(), {pin, {}});
    found->second.assign(capacity, 0.0f);
    return module->attachPinBuffer(pin, found->second.data());
}

std::span<float> Module::audio(int32_t pin)
{
    for (auto& [number, samples] : audioBuffers)
        if (number == pin)
            return samples;
    throw std::logic_error("audio input " + std::to_string(pin) + " has no buffer attached");
}

ModuleLibrary::ModuleLibrary(const std::string& path) : handle(openLibrary(path))
{
    if (handle == nullptr)
        throw std::runtime_error("cannot load module library " + path + ": " + loadError());
    getFactory = reinterpret_cast<gmpi::GetFactoryFunction>(findSymbol(handle, gmpi::getFactoryName));
    void* unknown = nullptr;
    if (getFactory == nullptr || getFactory(&unknown) != gmpi::resultOk || unknown == nullptr) {
        closeLibrary(handle);
        throw std::runtime_error(path + " has no usable " + gmpi::getFactoryName);
    }
    auto* base = static_cast<gmpi::IMpUnknown*>(unknown);
    void* factory2 = nullptr;
    const int32_t result = base->queryInterface(&gmpi::iidFactory2, &factory2);
    base->release();
    if (result != gmpi::resultOk || factory2 == nullptr) {
        closeLibrary(handle);
        throw std::runtime_error(path + ": the factory does not offer IMpFactory2");
    }
    factoryInterface = static_cast<gmpi::IMpFactory2*>(factory2);
}

ModuleLibrary::~ModuleLibrary()
{
    factoryInterface->release();
    closeLibrary(handle);
}

std::string ModuleLibrary::defaultPath()
{
    const std::string program = programPath();
    const size_t separator = program.find_last_of("/\\");
    const std::string folder = separator == std::string::npos ? "." : program.substr(0, separator);
    return folder + "/" + MIDIMOD_LIBRARY_NAME;
}

std::unique_ptr<Module> ModuleLibrary::create(std::u16string_view identifier, int32_t subtype)
{
    auto services = std::make_unique<HostServices>();
    const std::u16string id(identifier);
    gmpi::IMpUnknown* created = nullptr;
    const int32_t result = factoryInterface->createModule(id.c_str(), subtype, services.get(), &created);
    if (result != gmpi::resultOk || created == nullptr)
        throw std::runtime_error("cannot create module " + toUtf8(identifier) + " (result " +
                                 std::to_string(result) + ")");
    // The factory hands over the module's IMpPlugin2 part.
    return std::make_unique<Module>(static_cast<gmpi::IMpPlugin2*>(created), std::move(services));
}

}  // namespace host
