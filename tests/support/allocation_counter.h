// Counts the heap allocations of this process (malloc and operator new), so that tests can
// prove that a piece of code allocates nothing.
#pragma once

#include <cstddef>

long AllocationCount();

// Makes every malloc of at least `bytes` fail (0: none fails), where malloc is wrapped (the
// Windows builds); elsewhere it has no effect.
void FailAllocationsOfAtLeast(size_t bytes);
