// Counts the C++ heap allocations of the benchmark process, so that each
// benchmark can report allocations per iteration beside its time.
#pragma once

#include <cstdint>

std::uint64_t HeapAllocations();
