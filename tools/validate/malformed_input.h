// Input a well-behaved host never sends. Each case drives the module through a runner
// that processes blocks under the same checks as the random blocks.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "event_list.h"

namespace validate {

class BlockRunner {
public:
    // The events of the next block, in the order given (not necessarily time order).
    virtual host::EventList& events() = 0;
    // Processes one block of `sampleCount` with the events added since the last one.
    virtual void process(int32_t sampleCount) = 0;
    // The pin numbers that accepted attachPinBuffer.
    virtual const std::vector<int32_t>& pins() const = 0;
    // Takes every audio buffer away (attaching null) or gives them back.
    virtual void detachAudio() = 0;
    virtual void reattachAudio() = 0;

protected:
    ~BlockRunner() = default;
};

struct MalformedCase {
    const char* name;
    void (*run)(BlockRunner& runner);
};

std::span<const MalformedCase> malformedCases();

}  // namespace validate
