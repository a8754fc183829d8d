#pragma once

#include <cstdint>

// Heap allocations made by this program so far (every operator new counts one).
std::uint64_t allocationCount();
