// Replacements of the global operator new that can be told to fail (see failing_new.h).
#include "failing_new.h"

#include <cstdlib>
#include <new>

namespace {
int succeedLeft = 0, failLeft = 0, seen = 0;
std::size_t largeThreshold = 0;  // 0: no large allocation fails
bool largeFailed = false;
}  // namespace

NothrowFailureScope::NothrowFailureScope(int succeed, int fail)
{
    succeedLeft = succeed;
    failLeft = fail;
    seen = 0;
}
NothrowFailureScope::~NothrowFailureScope() { succeedLeft = failLeft = 0; }
int nothrowAllocationsSeen() { return seen; }
LargeAllocationFailureScope::LargeAllocationFailureScope(std::size_t size)
{
    largeThreshold = size;
    largeFailed = false;
}
LargeAllocationFailureScope::~LargeAllocationFailureScope() { largeThreshold = 0; }
bool LargeAllocationFailureScope::failed() { return largeFailed; }

// malloc and free on both sides, so AddressSanitizer still sees every block and its bounds.
void* operator new(std::size_t size)
{
    if (largeThreshold != 0 && size >= largeThreshold) {
        largeThreshold = 0, largeFailed = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++seen;
    if (succeedLeft == 0 && failLeft > 0) return --failLeft, nullptr;
    succeedLeft -= succeedLeft > 0;
    return std::malloc(size ? size : 1);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
