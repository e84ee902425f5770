// Drives one module of the built library through the stand-in host, block by block.
#pragma once

#include <algorithm>
#include <string_view>
#include <vector>

#include "library_fixture.h"

using Midi = std::vector<uint8_t>;

// One output as the host received it: position, pin and bytes.
using host::PinData;
using Outputs = std::vector<PinData>;

class ModuleHarness {
public:
    static constexpr size_t maxBlock = 4096;

    explicit ModuleHarness(std::u16string_view identifier) : instance(builtLibrary().create(identifier)) {}
    ModuleHarness(host::ModuleLibrary& library, std::u16string_view identifier) : instance(library.create(identifier))
    {
    }

    host::EventList events;  // events of the next block, in time order

    // Processes one block with the events added since the last one; returns what the
    // module sent during it.
    Outputs run(int32_t sampleCount)
    {
        instance->services().clear();
        instance->process(sampleCount, events);
        events.clear();
        return instance->services().pinData();
    }

    // Only what went out on `pin`.
    static Outputs on(int32_t pin, const Outputs& outputs)
    {
        Outputs result;
        std::copy_if(outputs.begin(), outputs.end(), std::back_inserter(result),
                     [pin](const PinData& output) { return output.pin == pin; });
        return result;
    }

    // Gives audio inputs buffers and starts them streaming with the next block.
    void streamAudio(std::initializer_list<int32_t> audioPins)
    {
        for (int32_t pin : audioPins) {
            instance->attachAudio(pin, maxBlock);
            events.streamStart(0, pin);
        }
    }
    // Sets samples [begin, end) of an audio input.
    void setSamples(int32_t pin, size_t begin, size_t end, float level)
    {
        auto samples = instance->audio(pin);
        std::fill(samples.begin() + static_cast<std::ptrdiff_t>(begin),
                  samples.begin() + static_cast<std::ptrdiff_t>(end), level);
    }

    host::Module& module() { return *instance; }
    int sleepRequests() const { return instance->services().sleepRequests(); }

private:
    std::unique_ptr<host::Module> instance;
};
