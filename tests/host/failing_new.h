// Test hook: makes chosen nothrow allocations fail, to reach the out-of-memory paths.
#pragma once

// After `succeed` more nothrow allocations succeed, the next `fail` ones return null.
// The hook replaces the global nothrow operator new of the test executable.
void failNothrowAllocations(int succeed, int fail);

// Every nothrow allocation succeeds again.
void stopFailingAllocations();

// Number of nothrow allocations made since the last call of either function above.
int nothrowAllocationsSeen();

// Fails allocations for the lifetime of one scope.
class NothrowFailureScope {
public:
    NothrowFailureScope(int succeed, int fail) { failNothrowAllocations(succeed, fail); }
    ~NothrowFailureScope() { stopFailingAllocations(); }
    NothrowFailureScope(const NothrowFailureScope&) = delete;
    NothrowFailureScope& operator=(const NothrowFailureScope&) = delete;
};
