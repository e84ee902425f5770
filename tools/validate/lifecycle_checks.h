// Checks of a module's life outside processing: creation with and without a host,
// interface queries and reference counts, and the host reference it holds.
#pragma once

#include <string>

#include "mp_interfaces.h"

namespace validate {

// Each returns the first problem found, or an empty string.
std::string checkInterfaces(gmpi::IMpPlugin2& plugin);
// Creation without a host, a host attached later, attached twice, or lacking services;
// processing must survive each, and every host reference must be dropped at release.
std::string checkHostAttachment(gmpi::IMpFactory2& factory, const char16_t* identifier, int& casesTried);
// The factory's answers that do not depend on a module.
std::string checkFactory(gmpi::GetFactoryFunction entryPoint, gmpi::IMpFactory2& factory);

}  // namespace validate
