// Parses arbitrary bytes as an image-list stream; whatever parses must write back and parse
// again to the same list, with the capacity the writer could keep.
#include <cstdlib>

#include "core/image_list_stream.h"

namespace {

bool SameList(const iconvale::ImageListData& a, const iconvale::ImageListData& b) {
    return a.count == b.count && iconvale::WritableCapacity(a) == b.capacity && a.grow == b.grow &&
           a.width == b.width && a.height == b.height && a.background == b.background &&
           a.flags == b.flags && a.overlays == b.overlays && a.bitsPerPixel == b.bitsPerPixel &&
           a.pixels == b.pixels && a.mask == b.mask;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto first = iconvale::ParseImageListStream({data, size});
    if (!first) return 0;
    iconvale::Bytes written = iconvale::WriteImageListStream(*first);
    if (written.empty()) std::abort();
    auto second = iconvale::ParseImageListStream(written);
    if (!second || !SameList(*first, *second)) std::abort();
    return 0;
}
