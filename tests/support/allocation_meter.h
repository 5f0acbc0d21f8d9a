// Counts the bytes the program holds through operator new, so that tests can put a ceiling on
// what reading a file costs without needing that much memory: the process's own figures would
// only show a failure after it had happened. Replaces the global operator new and delete.
#pragma once

#include <cstddef>

namespace iconvale::testing {

// The most bytes held at once, above what was held when it was made.
class AllocationMeter {
public:
    AllocationMeter();
    std::size_t PeakBytes() const;

private:
    std::size_t start_;
};

}  // namespace iconvale::testing
