// libFuzzer target: the input bytes choose a module and a run of blocks, with events
// that are well-formed or not, and the module is driven through the binary interface
// by the stand-in host, as a host would drive it. Sanitizers report what goes wrong;
// the target itself stops on output no host could take.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "module_catalogue.h"
#include "module_library.h"

namespace {

constexpr int32_t largestBlock = 4096;
constexpr int32_t pinRange = 32;
constexpr int maxBlocks = 64;
constexpr int maxEventsPerBlock = 48;
constexpr size_t longestOutside = 600;

host::ModuleLibrary* library = nullptr;
std::vector<std::u16string>* modules = nullptr;  // identifiers of the seven

// Stamps in time order inside the block, unless the input asks for any stamp at all.
int32_t nextStamp(FuzzedDataProvider& input, int32_t& stamp, int32_t sampleCount)
{
    if (input.ConsumeIntegralInRange(0, 15) == 0)
        return input.ConsumeIntegral<int32_t>();
    if (sampleCount > 0 && stamp < sampleCount - 1)
        stamp = input.ConsumeIntegralInRange(stamp, sampleCount - 1);
    return stamp;
}

void addMidi(FuzzedDataProvider& input, host::EventList& events, int32_t stamp, int32_t pin)
{
    const size_t length = input.ConsumeBool() ? input.ConsumeIntegralInRange<size_t>(1, 3)
                                              : input.ConsumeIntegralInRange<size_t>(1, longestOutside);
    std::vector<uint8_t> message = input.ConsumeBytes<uint8_t>(length);
    if (message.empty())
        message.push_back(0xF8);
    if (input.ConsumeBool())
        events.midiOutside(stamp, pin, message);
    else
        events.midi(stamp, pin, message);
}

// Any record at all, with outside data that holds at least what its size claims.
void addRawEvent(FuzzedDataProvider& input, host::EventList& events, int32_t stamp)
{
    gmpi::HostEvent event{};
    event.timeStamp = stamp;
    event.type = input.ConsumeBool() ? input.ConsumeIntegralInRange(99, 105) : input.ConsumeIntegral<int32_t>();
    event.pinNumber =
        input.ConsumeBool() ? input.ConsumeIntegralInRange(-1, pinRange) : input.ConsumeIntegral<int32_t>();
    event.size = input.ConsumeIntegral<int32_t>();
    for (uint8_t& byte : event.inlineData)
        byte = input.ConsumeIntegral<uint8_t>();
    std::vector<uint8_t> outside;
    if (input.ConsumeBool()) {
        outside = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(1, longestOutside));
        if (event.size > static_cast<int32_t>(outside.size()))
            event.size = static_cast<int32_t>(outside.size());
    }
    events.raw(event, outside);
}

void addEvent(FuzzedDataProvider& input, host::EventList& events, int32_t& stamp, int32_t sampleCount)
{
    const int32_t at = nextStamp(input, stamp, sampleCount);
    const int32_t pin = input.ConsumeIntegralInRange(0, pinRange - 1);
    switch (input.ConsumeIntegralInRange(0, 6)) {
    case 0:
    case 1:
        addMidi(input, events, at, pin);
        break;
    case 2:
        events.value(at, pin, input.ConsumeIntegral<int32_t>());
        break;
    case 3:
        events.boolValue(at, pin, input.ConsumeBool());
        break;
    case 4:
        input.ConsumeBool() ? events.streamStart(at, pin) : events.streamStop(at, pin);
        break;
    case 5:
        events.graphStart(at);
        break;
    default:
        addRawEvent(input, events, at);
        break;
    }
}

// A square clock whose period, levels and phase the input chooses.
void fillClock(FuzzedDataProvider& input, std::span<float> samples)
{
    const int32_t period = input.ConsumeIntegralInRange(1, 2 * largestBlock);
    const int32_t high = input.ConsumeIntegralInRange(0, period);
    const float level = input.ConsumeBool() ? 1.0f : input.ConsumeFloatingPoint<float>();
    int32_t phase = input.ConsumeIntegralInRange(0, period - 1);
    for (float& sample : samples) {
        sample = phase < high ? level : 0.0f;
        phase = (phase + 1) % period;
    }
}

int32_t sampleCountOf(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return input.ConsumeIntegralInRange(-8, 0);
    case 1:
        return input.ConsumeIntegralInRange(1, 16);
    default:
        return input.ConsumeIntegralInRange(1, largestBlock);
    }
}

// No host takes output at a negative position or a message without bytes.
void checkOutputs(const host::HostServices& services)
{
    for (const auto& call : services.calls())
        if (call.kind == host::HostServices::CallKind::pinData && (call.position < 0 || call.size == 0))
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    library = new host::ModuleLibrary(host::ModuleLibrary::defaultPath());
    modules = new std::vector<std::u16string>;
    for (const host::ModuleDeclaration& module : host::moduleCatalogue())
        modules->push_back(host::toU16(module.identifier));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::unique_ptr<host::Module> module;
    try {
        module = library->create((*modules)[input.ConsumeIntegralInRange<size_t>(0, modules->size() - 1)]);
    } catch (const std::exception&) {
        return -1;  // a module not built yet: not an input worth keeping
    }
    std::vector<int32_t> audioPins;
    for (int32_t pin = 0; pin < pinRange; ++pin)
        if (input.ConsumeBool() && module->attachAudio(pin, largestBlock) == gmpi::resultOk)
            audioPins.push_back(pin);

    host::EventList events;
    for (int block = 0; block < maxBlocks && input.remaining_bytes() > 0; ++block) {
        const int32_t sampleCount = sampleCountOf(input);
        for (int32_t pin : audioPins)
            fillClock(input, module->audio(pin));
        int32_t stamp = 0;
        const int eventCount = input.ConsumeIntegralInRange(0, maxEventsPerBlock);
        for (int i = 0; i < eventCount; ++i)
            addEvent(input, events, stamp, sampleCount);
        module->process(sampleCount, events);
        checkOutputs(module->services());
        module->services().clear();
        events.clear();
    }
    return 0;
}
