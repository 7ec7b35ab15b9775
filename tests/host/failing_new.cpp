// Replacement of the global nothrow operator new that can be told to fail (see failing_new.h).
#include "failing_new.h"

#include <cstddef>
#include <new>

namespace {
int succeedLeft = 0;
int failLeft = 0;
int seen = 0;
}

void NothrowFailureScope::arm(int succeed, int fail)
{
    succeedLeft = succeed;
    failLeft = fail;
    seen = 0;
}

int nothrowAllocationsSeen() { return seen; }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++seen;
    if (succeedLeft > 0) {
        --succeedLeft;
    } else if (failLeft > 0) {
        --failLeft;
        return nullptr;
    }
    // The ordinary allocation, so the ordinary operator delete matches it (also under ASan).
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}
