// The guard's flag and count, shared by the replaced allocation functions.
#pragma once

#include <cstdint>

namespace validate::allocation_guard {

// Plain variables: the allocation functions may run before any constructor, and the
// validator processes on one thread.
inline volatile bool armed = false;
inline volatile uint64_t caughtCalls = 0;

inline void noteCall()
{
    if (armed)
        caughtCalls = caughtCalls + 1;
}

}  // namespace validate::allocation_guard
