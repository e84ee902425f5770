// The guard on Windows: a DLL linked with its own static C++ runtime calls the C
// runtime's allocation functions through its import table, where the program cannot
// replace them. Those table entries are pointed at counting wrappers that call on to
// the original functions.
#include <windows.h>

#include <cstddef>
#include <cstring>

#include "allocation_guard.h"
#include "allocation_guard_state.h"

namespace validate::allocation_guard {
namespace {

using Malloc = void* (*)(size_t);
using Calloc = void* (*)(size_t, size_t);
using Realloc = void* (*)(void*, size_t);
using Free = void (*)(void*);
using AlignedMalloc = void* (*)(size_t, size_t);
using AlignedRealloc = void* (*)(void*, size_t, size_t);

Malloc originalMalloc = nullptr;
Calloc originalCalloc = nullptr;
Realloc originalRealloc = nullptr;
Free originalFree = nullptr;
AlignedMalloc originalAlignedMalloc = nullptr;
AlignedRealloc originalAlignedRealloc = nullptr;
Free originalAlignedFree = nullptr;

void* countedMalloc(size_t size)
{
    noteCall();
    return originalMalloc(size);
}
void* countedCalloc(size_t count, size_t size)
{
    noteCall();
    return originalCalloc(count, size);
}
void* countedRealloc(void* pointer, size_t size)
{
    noteCall();
    return originalRealloc(pointer, size);
}
void countedFree(void* pointer)
{
    if (pointer != nullptr)
        noteCall();
    originalFree(pointer);
}
void* countedAlignedMalloc(size_t size, size_t alignment)
{
    noteCall();
    return originalAlignedMalloc(size, alignment);
}
void* countedAlignedRealloc(void* pointer, size_t size, size_t alignment)
{
    noteCall();
    return originalAlignedRealloc(pointer, size, alignment);
}
void countedAlignedFree(void* pointer)
{
    if (pointer != nullptr)
        noteCall();
    originalAlignedFree(pointer);
}

// One import to redirect: its name, where the original goes, and the wrapper.
struct Redirect {
    const char* name;
    void** original;
    void* wrapper;
};

const Redirect redirects[] = {
    {"malloc", reinterpret_cast<void**>(&originalMalloc), reinterpret_cast<void*>(&countedMalloc)},
    {"calloc", reinterpret_cast<void**>(&originalCalloc), reinterpret_cast<void*>(&countedCalloc)},
    {"realloc", reinterpret_cast<void**>(&originalRealloc), reinterpret_cast<void*>(&countedRealloc)},
    {"free", reinterpret_cast<void**>(&originalFree), reinterpret_cast<void*>(&countedFree)},
    {"_aligned_malloc", reinterpret_cast<void**>(&originalAlignedMalloc),
     reinterpret_cast<void*>(&countedAlignedMalloc)},
    {"_aligned_realloc", reinterpret_cast<void**>(&originalAlignedRealloc),
     reinterpret_cast<void*>(&countedAlignedRealloc)},
    {"_aligned_free", reinterpret_cast<void**>(&originalAlignedFree), reinterpret_cast<void*>(&countedAlignedFree)},
};

void redirect(void** entry, const Redirect& target)
{
    if (*entry == target.wrapper)
        return;
    if (*target.original == nullptr)
        *target.original = *entry;
    DWORD protection = 0;
    if (VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection)) {
        *entry = target.wrapper;
        VirtualProtect(entry, sizeof(void*), protection, &protection);
    }
}

// Walks the library's import descriptors and redirects the entries named above.
void patchImports(HMODULE library)
{
    auto* base = reinterpret_cast<unsigned char*>(library);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return;
    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (import->OriginalFirstThunk == 0)
            continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (const Redirect& target : redirects)
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), target.name) == 0)
                    redirect(reinterpret_cast<void**>(&entries->u1.Function), target);
        }
    }
}

}  // namespace

bool available()
{
    return true;
}

void watchLibraryAt(const void* address)
{
    HMODULE library = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const char*>(address), &library))
        patchImports(library);
}

}  // namespace validate::allocation_guard
