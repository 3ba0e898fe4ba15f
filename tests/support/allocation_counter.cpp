// Under AddressSanitizer every allocation (operator new included) is reported to an
// installed hook. Other builds link with --wrap for malloc, calloc and realloc; on Windows
// the statically linked operator new calls malloc, so it is counted too.

#include "tests/support/allocation_counter.h"

#include <cstddef>

namespace {
volatile long allocations;
volatile size_t failingSize;  // 0: no allocation fails
}

void FailAllocationsOfAtLeast(size_t bytes)
{
    failingSize = bytes;
}

long AllocationCount()
{
    return allocations;
}

#if defined(_WIN32) || !defined(__SANITIZE_ADDRESS__)

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);

void* __wrap_malloc(size_t size)
{
    allocations = allocations + 1;
    if (failingSize != 0 && size >= failingSize)
        return nullptr;
    return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size)
{
    allocations = allocations + 1;
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, size_t size)
{
    allocations = allocations + 1;
    return __real_realloc(block, size);
}
}

#else

// From the sanitizer runtime (GCC ships the library but not this header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, size_t), void (*freeHook)(const volatile void*));

namespace {

void OnMalloc(const volatile void*, size_t)
{
    allocations = allocations + 1;
}
void OnFree(const volatile void*) {}

struct HookInstaller {
    HookInstaller() { __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree); }
} hookInstaller;

}  // namespace

#endif
