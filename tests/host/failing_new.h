// Test hooks replacing the global operator new, to make allocations fail on purpose.
#pragma once

#include <cstddef>

// Nothrow allocations made since the innermost scope below began.
int nothrowAllocationsSeen();

// For its lifetime, after `succeed` nothrow allocations succeed the next `fail` ones return null.
class NothrowFailureScope {
public:
    NothrowFailureScope(int succeed, int fail) { arm(succeed, fail); }
    ~NothrowFailureScope() { arm(0, 0); }

private:
    static void arm(int succeed, int fail);
};

// For its lifetime, the next ordinary allocation of at least minimumSize bytes throws
// std::bad_alloc (a std::vector that cannot grow); later ones succeed.
class LargeAllocationFailureScope {
public:
    explicit LargeAllocationFailureScope(std::size_t minimumSize) { arm(minimumSize); }
    ~LargeAllocationFailureScope() { arm(0); }
    static bool failed();  // the armed failure has happened

private:
    static void arm(std::size_t minimumSize);
};
