// Replacement of the global throwing operator new (and its operator delete) that can be told to
// fail once (see failing_large_new.h).
#include "failing_large_new.h"

#include <cstdlib>
#include <new>

namespace {
bool armed = false;
std::size_t threshold = 0;
bool failed = false;
}

void failNextLargeAllocation(std::size_t minimumSize)
{
    armed = true;
    threshold = minimumSize;
    failed = false;
}

void stopFailingLargeAllocations()
{
    armed = false;
}

bool largeAllocationFailed()
{
    return failed;
}

void* operator new(std::size_t size)
{
    if (armed && size >= threshold) {
        armed = false;
        failed = true;
        throw std::bad_alloc();
    }
    // malloc and free on both sides, so AddressSanitizer still sees every block and its bounds.
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
