// Test hook: makes one ordinary (throwing) allocation of at least a given size throw
// std::bad_alloc, to reach the paths that catch it (a std::vector that cannot grow).
#pragma once

#include <cstddef>

// The next ordinary allocation of at least minimumSize bytes throws; later ones succeed again.
// The hook replaces the global operator new of the test executable.
void failNextLargeAllocation(std::size_t minimumSize);

// No ordinary allocation fails any more.
void stopFailingLargeAllocations();

// True when the armed failure has happened since failNextLargeAllocation.
bool largeAllocationFailed();

// Arms the failure for the lifetime of one scope.
class LargeAllocationFailureScope {
public:
    explicit LargeAllocationFailureScope(std::size_t minimumSize) { failNextLargeAllocation(minimumSize); }
    ~LargeAllocationFailureScope() { stopFailingLargeAllocations(); }
    LargeAllocationFailureScope(const LargeAllocationFailureScope&) = delete;
    LargeAllocationFailureScope& operator=(const LargeAllocationFailureScope&) = delete;
};
