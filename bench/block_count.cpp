// Runs one load for a given number of blocks, for counting instructions under callgrind:
//   block_count LOAD BLOCKS    or    block_count --list
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_loads.h"

int main(int argc, char** argv)
{
    const auto loads = bench::allLoads();
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const bench::Load& load : loads)
            std::printf("%s %d\n", load.name.c_str(), load.eventsPerBlock());
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: block_count LOAD BLOCKS | --list\n");
        return 2;
    }
    for (const bench::Load& load : loads) {
        if (load.name != argv[1])
            continue;
        try {
            host::ModuleLibrary library(host::ModuleLibrary::defaultPath());
            const auto runner = bench::makeRunner(library, load);
            for (long block = std::atol(argv[2]); block > 0; --block)
                runner->processBlock();
            return 0;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "block_count: %s\n", error.what());
            return 1;
        }
    }
    std::fprintf(stderr, "block_count: no load named %s\n", argv[1]);
    return 2;
}
