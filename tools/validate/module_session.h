// One module instance under validation: created with the checking host, given audio
// buffers on the pins that accept them, and processed block by block with the
// allocation guard armed around every processBlock call.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "checking_host.h"
#include "malformed_input.h"
#include "random_blocks.h"

namespace validate {

class ModuleSession final : public BlockRunner {
public:
    // Takes over the creation reference of `plugin`, which `host` is attached to.
    ModuleSession(gmpi::IMpPlugin2* plugin, std::unique_ptr<CheckingHost> host);
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;
    ~ModuleSession();

    gmpi::IMpPlugin2& plugin() { return *module; }
    CheckingHost& host() { return *services; }
    const CheckingHost& host() const { return *services; }

    // Probes attachPinBuffer over the pin numbers; a problem with its answers is
    // returned, empty when there is none. Pins that accept keep a buffer.
    std::string probePins();
    BlockGenerator& generator(RandomSource& random);

    // ---- BlockRunner ----
    host::EventList& events() override { return pending; }
    void process(int32_t sampleCount) override;
    const std::vector<int32_t>& pins() const override { return acceptedPins; }
    void detachAudio() override;
    void reattachAudio() override;

    // The first fault, with the block it happened in.
    std::string problem() const;
    uint64_t allocations() const { return allocationsWhileProcessing; }
    uint64_t blocksProcessed() const { return blocks; }

    // Drops the creation reference; returns what release returned.
    int32_t release();

private:
    gmpi::IMpPlugin2* module;
    std::unique_ptr<CheckingHost> services;
    std::vector<int32_t> acceptedPins;
    std::vector<std::vector<float>> buffers;  // one per accepted pin
    std::unique_ptr<BlockGenerator> randomBlocks;
    host::EventList pending;
    uint64_t blocks = 0;
    uint64_t faultBlock = 0;
    uint64_t allocationsWhileProcessing = 0;
};

}  // namespace validate
