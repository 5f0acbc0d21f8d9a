// Reads arbitrary bytes as a container, seeded with Lazarus forms; every list found must write back
// in that form and read again to the same images.
#include "fuzz/container_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    iconvale::fuzz::CheckRoundTrip({data, size}, iconvale::ContainerForm::kLazarusForm, true);
    return 0;
}
