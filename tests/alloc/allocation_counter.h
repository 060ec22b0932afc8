// Counts every heap allocation in the process while counting is on: calls of malloc, calloc,
// realloc and the aligned allocators, which every global operator new calls in turn.
#pragma once

#include <cstddef>

namespace vantor::testing {

void startCountingAllocations();
std::size_t stopCountingAllocations();

} // namespace vantor::testing
