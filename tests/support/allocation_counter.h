// Counts heap allocations made by this process (malloc, calloc, realloc and operator
// new), so tests can prove that a piece of code allocates nothing.
#pragma once

long AllocationCount();
