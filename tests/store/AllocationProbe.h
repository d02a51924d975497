#pragma once

#include <cstddef>

// Records the largest single allocation made while an instance is alive, so that a test can
// show a reader never sizes a buffer from an untrusted length or count.
class CLargestAllocation {
public:
    CLargestAllocation();
    ~CLargestAllocation();
    CLargestAllocation(const CLargestAllocation&) = delete;
    CLargestAllocation& operator=(const CLargestAllocation&) = delete;

    std::size_t Get() const;
};
