#include "ui/block_text.h"

#include <algorithm>
#include <cstdint>

namespace iconvale {

std::size_t UnitsOf(const WideText& text) {
    return text.empty() ? 0 : text.size() - 1;
}

UniqueWideBlock CopyToBlock(const WideText& text, std::size_t units) {
    if (units == 0 || units < text.size() || units > PTRDIFF_MAX / sizeof(wchar_t)) return {};
    UniqueWideBlock block(static_cast<wchar_t*>(AllocateBlock(units * sizeof(wchar_t))));
    if (block) std::copy(text.begin(), text.end(), block.get());
    return block;
}

UniqueWideBlock CopyToBlock(const WideText& text) {
    const std::size_t units = UnitsOf(text);
    return units ? CopyToBlock(text, units + 1) : UniqueWideBlock{};
}

}  // namespace iconvale
