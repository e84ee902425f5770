#include "module_session.h"

#include <algorithm>
#include <limits>

#include "allocation_guard.h"

namespace validate {
namespace {

// Numbers outside the probed range: whatever a module binds, each answer must be one of
// the two results.
constexpr int32_t outlyingPins[] = {-1, -2, 1000, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max()};

bool isPinAnswer(int32_t result)
{
    return result == gmpi::resultOk || result == gmpi::resultFail;
}

}  // namespace

ModuleSession::ModuleSession(gmpi::IMpPlugin2* plugin, std::unique_ptr<CheckingHost> host)
    : module(plugin), services(std::move(host))
{
}

ModuleSession::~ModuleSession()
{
    release();
}

std::string ModuleSession::probePins()
{
    std::vector<float> scratch(largestBlock);
    PinSet accepted;
    for (int32_t pin : outlyingPins)
        if (!isPinAnswer(module->attachPinBuffer(pin, scratch.data())))
            return "attachPinBuffer(" + std::to_string(pin) + ") answered neither 0 nor -1";
    for (int32_t pin = 0; pin < probedPins; ++pin) {
        const int32_t first = module->attachPinBuffer(pin, scratch.data());
        const int32_t again = module->attachPinBuffer(pin, nullptr);
        if (!isPinAnswer(first) || first != again)
            return "attachPinBuffer(" + std::to_string(pin) + ") answered " + std::to_string(first) + ", then " +
                   std::to_string(again);
        if (first == gmpi::resultOk) {
            accepted.set(static_cast<size_t>(pin));
            acceptedPins.push_back(pin);
        }
    }
    buffers.assign(acceptedPins.size(), std::vector<float>(largestBlock, 0.0f));
    reattachAudio();
    services->expect(accepted, longestSysex);
    return {};
}

BlockGenerator& ModuleSession::generator(RandomSource& random)
{
    if (!randomBlocks)
        randomBlocks = std::make_unique<BlockGenerator>(random, acceptedPins);
    return *randomBlocks;
}

// Audio is written before the guard is armed; the host's checks inside it allocate
// nothing, so whatever the guard catches is the module's.
void ModuleSession::process(int32_t sampleCount)
{
    if (randomBlocks)
        for (size_t i = 0; i < acceptedPins.size(); ++i)
            randomBlocks->fillAudio(acceptedPins[i], buffers[i], sampleCount);
    const gmpi::HostEvent* first = pending.head();
    const uint64_t before = allocation_guard::caught();
    services->beginBlock(sampleCount);
    {
        allocation_guard::Armed guard;
        module->processBlock(sampleCount, first);
    }
    services->endBlock();
    allocationsWhileProcessing += allocation_guard::caught() - before;
    pending.clear();
    ++blocks;
    if (services->fault() && faultBlock == 0)
        faultBlock = blocks;
}

void ModuleSession::detachAudio()
{
    for (int32_t pin : acceptedPins)
        module->attachPinBuffer(pin, nullptr);
}

void ModuleSession::reattachAudio()
{
    for (size_t i = 0; i < acceptedPins.size(); ++i)
        module->attachPinBuffer(acceptedPins[i], buffers[i].data());
}

std::string ModuleSession::problem() const
{
    if (!services->fault())
        return {};
    return services->fault().describe() + " in block " + std::to_string(faultBlock);
}

int32_t ModuleSession::release()
{
    if (module == nullptr)
        return 0;
    const int32_t result = module->release();
    module = nullptr;
    return result;
}

}  // namespace validate
