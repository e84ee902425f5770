// The guard on Linux: the program defines the C allocation functions and the global
// operator new and delete itself. The dynamic linker binds a loaded library's calls to
// the program's definitions first, so the library's allocations pass through here and
// on to glibc's own allocator.
#include <cstddef>
#include <cstdlib>
#include <new>

#include "allocation_guard.h"
#include "allocation_guard_state.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace validate::allocation_guard {

bool available()
{
    return true;
}

void watchLibraryAt(const void*) {}

}  // namespace validate::allocation_guard

using validate::allocation_guard::noteCall;

extern "C" {

void* malloc(size_t size) noexcept
{
    noteCall();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept
{
    noteCall();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) noexcept
{
    noteCall();
    return __libc_realloc(pointer, size);
}

void free(void* pointer) noexcept
{
    if (pointer != nullptr)
        noteCall();
    __libc_free(pointer);
}

void* memalign(size_t alignment, size_t size) noexcept
{
    noteCall();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept
{
    noteCall();
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) noexcept
{
    noteCall();
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return 22;  // EINVAL
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr)
        return 12;  // ENOMEM
    *result = pointer;
    return 0;
}

}  // extern "C"

// The global allocation functions, so that a library's new and delete are seen even
// where its C++ runtime would not call malloc.
namespace {

void* allocateOrThrow(size_t size)
{
    if (void* pointer = malloc(size != 0 ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

void* allocateAlignedOrThrow(size_t size, std::align_val_t alignment)
{
    void* pointer = nullptr;
    if (posix_memalign(&pointer, static_cast<size_t>(alignment), size != 0 ? size : 1) == 0)
        return pointer;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t size) { return allocateOrThrow(size); }
void* operator new[](size_t size) { return allocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size != 0 ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return malloc(size != 0 ? size : 1); }
void* operator new(size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow(size, alignment); }
void* operator new[](size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow(size, alignment); }
void operator delete(void* pointer) noexcept { free(pointer); }
void operator delete[](void* pointer) noexcept { free(pointer); }
void operator delete(void* pointer, size_t) noexcept { free(pointer); }
void operator delete[](void* pointer, size_t) noexcept { free(pointer); }
void operator delete(void* pointer, std::align_val_t) noexcept { free(pointer); }
void operator delete[](void* pointer, std::align_val_t) noexcept { free(pointer); }
void operator delete(void* pointer, size_t, std::align_val_t) noexcept { free(pointer); }
void operator delete[](void* pointer, size_t, std::align_val_t) noexcept { free(pointer); }
