// Validates module libraries built to this binary interface: the factory, then each
// module's life, pins, processing of random well-formed blocks and of malformed input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report.h"

namespace validate {

struct Settings {
    std::string library;                 // path of the library
    std::vector<std::string> modules;    // identifiers to validate
    bool modulesRequested = false;       // named by the user: a missing one fails
    uint64_t seed = 1;
    int32_t blocks = 2000;               // random blocks per module
};

// Runs every check and reports it; returns the number of failures.
int validateLibrary(const Settings& settings, Report& report);

}  // namespace validate
