// Runs arbitrary set/get/remove/clear sequences on the hash tables against std::unordered_map.
#include <cstdio>
#include <cstdlib>

#include "fuzz/property_table_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string why = iconvale::fuzz::CheckTableOperations({data, size});
    if (!why.empty()) {
        std::fprintf(stderr, "hash table: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
