// Replacements of the global operator new that can be told to fail (see failing_new.h).
#include "failing_new.h"

#include <cstdlib>
#include <new>

namespace {
int succeedLeft = 0;
int failLeft = 0;
int seen = 0;
std::size_t largeThreshold = 0;  // 0: no large allocation fails
bool largeFailed = false;
}

void NothrowFailureScope::arm(int succeed, int fail)
{
    succeedLeft = succeed;
    failLeft = fail;
    seen = 0;
}

int nothrowAllocationsSeen() { return seen; }

void LargeAllocationFailureScope::arm(std::size_t minimumSize)
{
    largeThreshold = minimumSize;
    largeFailed = false;
}

bool LargeAllocationFailureScope::failed() { return largeFailed; }

// malloc and free on both sides, so AddressSanitizer still sees every block and its bounds.
void* operator new(std::size_t size)
{
    if (largeThreshold != 0 && size >= largeThreshold) {
        largeThreshold = 0;
        largeFailed = true;
        throw std::bad_alloc();
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++seen;
    if (succeedLeft == 0 && failLeft > 0) return --failLeft, nullptr;
    succeedLeft -= succeedLeft > 0;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
