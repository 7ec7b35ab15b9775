// Test hooks replacing the global operator new, to make allocations fail on purpose.
#pragma once

#include <cstddef>

// Nothrow allocations made since the innermost scope below began.
int nothrowAllocationsSeen();

// For its lifetime, after `succeed` nothrow allocations succeed the next `fail` ones return null.
struct NothrowFailureScope {
    NothrowFailureScope(int succeed, int fail);
    ~NothrowFailureScope();
};

// For its lifetime, the next ordinary allocation of at least minimumSize bytes throws std::bad_alloc.
struct LargeAllocationFailureScope {
    explicit LargeAllocationFailureScope(std::size_t minimumSize);
    ~LargeAllocationFailureScope();
    static bool failed();  // the armed failure has happened
};
