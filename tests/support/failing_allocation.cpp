#include "support/failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {
// The suites call it on the test thread only.
bool armed = false;
}  // namespace

void FailNextAllocation() { armed = true; }
bool AllocationFailurePending() { return armed; }

void* operator new(std::size_t size)
{
    if (armed) {
        armed = false;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
