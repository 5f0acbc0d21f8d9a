#include "imaging/picture_group.h"

#include <algorithm>
#include <new>

namespace iconvale {
namespace {

constexpr int kMostImages = 65535;
constexpr std::uint16_t kNewGroupGrow = 4;

}  // namespace

PictureGroup::PictureGroup(const CellFormat& format) : list_(format.Fields()) {
    list_.count = 0;
    list_.capacity = 1;
    list_.grow = kNewGroupGrow;
    list_.background = kNoColour;
    list_.pixels.clear();
    list_.mask.clear();
}

bool PictureGroup::Append(const CellBlock& block) {
    const int count = list_.count + block.count;
    if (count > kMostImages) return false;
    try {
        list_.pixels.insert(list_.pixels.end(), block.pixels.begin(), block.pixels.end());
        if (list_.HasMask())
            list_.mask.insert(list_.mask.end(), block.mask.begin(), block.mask.end());
    } catch (const std::bad_alloc&) {
        list_.pixels.resize(list_.count * list_.ImageBytes());
        if (list_.HasMask()) list_.mask.resize(list_.count * list_.MaskBytes());
        return false;
    }
    list_.count = static_cast<std::uint16_t>(count);
    // The list grows by its step when it runs out of room, as the platform's does.
    if (count > list_.capacity) {
        list_.capacity = static_cast<std::uint16_t>(std::min(count + list_.grow, kMostImages));
    }
    return true;
}

}  // namespace iconvale
