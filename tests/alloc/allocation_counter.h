// Counts every heap allocation in the process while counting is on: calls of malloc, calloc,
// realloc and the aligned allocators, and of every global operator new.
#pragma once

#include <cstddef>

namespace vantor::testing {

struct AllocationCount {
    std::size_t mallocCalls;
    std::size_t operatorNewCalls;
};

void startCountingAllocations();
AllocationCount stopCountingAllocations();

} // namespace vantor::testing
