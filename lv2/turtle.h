// The bundle's Turtle: a manifest naming every plug-in and its binary, and one file per
// plug-in describing its ports.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "module_catalogue.h"

namespace lv2 {

std::string manifestTurtle(std::span<const host::ModuleDeclaration> modules, std::string_view binaryName);
std::string pluginTurtle(const host::ModuleDeclaration& module);
std::string pluginTurtleFileName(std::string_view identifier);

}  // namespace lv2
