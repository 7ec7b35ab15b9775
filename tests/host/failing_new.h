// Test hook: makes chosen nothrow allocations fail, to reach the out-of-memory paths.
#pragma once

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
