// The guard must see every way of taking and giving back heap memory while armed, and
// nothing while disarmed; otherwise its silence over a module means nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "validate/allocation_guard.h"

namespace {

namespace guard = validate::allocation_guard;

// Heap calls that `work` makes while the guard is armed.
template <typename Work>
uint64_t caughtDuring(Work work)
{
    const uint64_t before = guard::caught();
    {
        guard::Armed armed;
        work();
    }
    return guard::caught() - before;
}

// On Windows the guard watches a loaded library's imports, not this program: the
// planted allocation in a library shows it there.
#if !defined(_WIN32)

// The pointers pass through volatile variables: a compiler may otherwise drop an
// allocation that is freed at once.
void* volatile memory = nullptr;
int* volatile number = nullptr;
std::vector<int>* volatile numbers = nullptr;

TEST(AllocationGuard, CatchesEveryAllocationFunction)
{
    if (!guard::available())
        GTEST_SKIP() << "the sanitizer of this build owns the allocation functions";
    EXPECT_EQ(caughtDuring([] { memory = std::malloc(16); }), 1u);
    EXPECT_EQ(caughtDuring([] { memory = std::realloc(memory, 4096); }), 1u);
    EXPECT_EQ(caughtDuring([] { std::free(memory); }), 1u);
    EXPECT_EQ(caughtDuring([] { memory = std::calloc(4, 4); }), 1u);
    std::free(memory);
    EXPECT_EQ(caughtDuring([] { memory = std::aligned_alloc(64, 64); }), 1u);
    std::free(memory);
    EXPECT_EQ(caughtDuring([] { number = new int(3); }), 1u);
    EXPECT_EQ(caughtDuring([] { delete number; }), 1u);
    EXPECT_GE(caughtDuring([] { numbers = new std::vector<int>(100); }), 2u);
    EXPECT_GE(caughtDuring([] { delete numbers; }), 2u);
}

#endif

TEST(AllocationGuard, IgnoresWhatHappensWhileDisarmed)
{
    const uint64_t before = guard::caught();
    std::vector<int> grown(1000);
    grown.resize(100000);
    EXPECT_EQ(guard::caught(), before);
    EXPECT_EQ(caughtDuring([&] { grown[5] = 7; }), 0u);
}

}  // namespace
