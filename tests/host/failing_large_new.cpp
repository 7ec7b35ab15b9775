// Replacement of the global throwing operator new (and its operator delete) that can be told to
// fail once (see failing_large_new.h).
#include "failing_large_new.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t threshold = 0;  // 0: disarmed
bool hasFailed = false;
}

void LargeAllocationFailureScope::arm(std::size_t minimumSize)
{
    threshold = minimumSize;
    hasFailed = false;
}

bool LargeAllocationFailureScope::failed() { return hasFailed; }

void* operator new(std::size_t size)
{
    if (threshold != 0 && size >= threshold) {
        threshold = 0;
        hasFailed = true;
        throw std::bad_alloc();
    }
    // malloc and free on both sides, so AddressSanitizer still sees every block and its bounds.
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
