// Watches for heap use while a module processes. The validator's process replaces the
// allocation functions (or, where a library brings its own, patches the library's
// imports of them); any call while a guard is armed is counted.
//
// Builds with AddressSanitizer or RealtimeSanitizer leave the allocation functions to
// the sanitizer: there the guard is not available and counts nothing.
#pragma once

#include <cstdint>

namespace validate::allocation_guard {

// Whether this build can see allocations at all.
bool available();

// Makes sure calls from the library whose code holds `address` are seen (a library
// that links its own C runtime needs its imports patched).
void watchLibraryAt(const void* address);

// Allocation, reallocation and release calls seen while armed, since the process started.
uint64_t caught();

// Arms the guard for its lifetime. Guards do not nest.
class Armed {
public:
    Armed();
    ~Armed();
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
};

}  // namespace validate::allocation_guard
