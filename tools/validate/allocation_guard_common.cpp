#include "allocation_guard.h"
#include "allocation_guard_state.h"

namespace validate::allocation_guard {

uint64_t caught()
{
    return caughtCalls;
}

Armed::Armed()
{
    armed = true;
}

Armed::~Armed()
{
    armed = false;
}

}  // namespace validate::allocation_guard
