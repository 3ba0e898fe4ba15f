// Under AddressSanitizer every allocation reaches a hook installed here. Other builds link
// with --wrap=malloc; operator new calls malloc (statically linked on Windows), so it is
// counted too.

#include "tests/support/allocation_counter.h"

static volatile long allocations;
static volatile size_t failingSize;  // 0: no allocation fails

void FailAllocationsOfAtLeast(size_t bytes)
{
    failingSize = bytes;
}

long AllocationCount()
{
    return allocations;
}

#if defined(_WIN32) || !defined(__SANITIZE_ADDRESS__)

extern "C" void* __real_malloc(size_t size);

extern "C" void* __wrap_malloc(size_t size)
{
    allocations = allocations + 1;
    return failingSize != 0 && size >= failingSize ? nullptr : __real_malloc(size);
}

#else

// From the sanitizer runtime (GCC ships the library but not this header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, size_t), void (*freeHook)(const volatile void*));

static const int hooksInstalled =
    __sanitizer_install_malloc_and_free_hooks([](const volatile void*, size_t) { ++allocations; },
                                              [](const volatile void*) {});

#endif
