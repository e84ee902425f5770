// The built module library, loaded once per test program through the stand-in host.
#pragma once

#include <string>

#include "module_library.h"

inline host::ModuleLibrary& builtLibrary()
{
    static host::ModuleLibrary library(host::ModuleLibrary::defaultPath());
    return library;
}

// Another library built into the same folder as the project's own, by file name.
inline std::string libraryBesideBuilt(const std::string& fileName)
{
    const std::string built = host::ModuleLibrary::defaultPath();
    return built.substr(0, built.find_last_of("/\\") + 1) + fileName;
}
