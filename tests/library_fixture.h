// The built module library, loaded once per test program through the stand-in host.
#pragma once

#include "module_library.h"

inline host::ModuleLibrary& builtLibrary()
{
    static host::ModuleLibrary library(host::ModuleLibrary::defaultPath());
    return library;
}
