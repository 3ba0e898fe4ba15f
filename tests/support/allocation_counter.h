// Counts heap allocations made by this process (malloc, calloc, realloc and operator
// new), so tests can prove that a piece of code allocates nothing.
#pragma once

#include <cstddef>

long AllocationCount();

// Makes every malloc of at least `bytes` fail (0: none fails), to prove that code copes
// with an allocation it cannot get. Only where allocations are wrapped (the Windows
// builds); elsewhere it has no effect.
void FailAllocationsOfAtLeast(size_t bytes);
