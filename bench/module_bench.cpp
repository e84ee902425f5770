// What a host pays per block and per event for each module, driven through the stand-in
// host and the binary interface. Besides time per block it reports time per event and
// how many instances one core could run in real time.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench_loads.h"

namespace {

host::ModuleLibrary& library()
{
    static host::ModuleLibrary instance(host::ModuleLibrary::defaultPath());
    return instance;
}

void runLoad(benchmark::State& state, const bench::Load& load)
{
    const auto runner = bench::makeRunner(library(), load);
    for (auto _ : state)
        runner->processBlock();
    const double blocks = static_cast<double>(state.iterations());
    // Seconds of audio processed per second of processing: instances one core sustains.
    state.counters["instances"] = benchmark::Counter(blocks * bench::blockSize / bench::sampleRate,
                                                     benchmark::Counter::kIsRate);
    if (load.eventsPerBlock() > 0)
        state.counters["per_event"] = benchmark::Counter(blocks * load.eventsPerBlock(),
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

int main(int argc, char** argv)
{
    for (const bench::Load& load : bench::allLoads()) {
        try {
            bench::makeRunner(library(), load);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "skipping %s: %s\n", load.name.c_str(), error.what());
            continue;
        }
        benchmark::RegisterBenchmark(load.name.c_str(), runLoad, load);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
