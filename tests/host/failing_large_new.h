// Test hook: makes one ordinary allocation of at least a given size throw std::bad_alloc, to
// reach the paths that catch it (a std::vector that cannot grow).
#pragma once

#include <cstddef>

// For its lifetime, the next allocation of at least minimumSize bytes throws; later ones succeed.
class LargeAllocationFailureScope {
public:
    explicit LargeAllocationFailureScope(std::size_t minimumSize) { arm(minimumSize); }
    ~LargeAllocationFailureScope() { arm(0); }
    // Whether the armed failure has happened.
    static bool failed();

private:
    static void arm(std::size_t minimumSize);
};
