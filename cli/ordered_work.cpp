#include "cli/ordered_work.h"

namespace iconvale::cli {

int DefaultJobs() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min(cores, 64u));
}

}  // namespace iconvale::cli
