// The most pixels an imported picture may have, on every platform. Portable.
#pragma once

namespace iconvale {

// A few kilobytes of PNG can promise gigabytes of pixels. An import holds up to six copies of
// the picture at four bytes a pixel while the group keeps its own bitmap (up to 256 MiB, and a
// second one as it grows). In the 2 GiB of a 32-bit process that leaves room for 16 Mi pixels
// (64 MiB a copy); a 64-bit process takes 64 Mi pixels (256 MiB a copy). The sides themselves
// are not limited.
inline constexpr long long kMaxPicturePixels = sizeof(void*) == 4 ? 16LL << 20 : 64LL << 20;

// True when a picture of that size is within the budget.
inline bool PictureSizeAllowed(long long width, long long height) {
    return width > 0 && height > 0 && width <= kMaxPicturePixels / height;
}

}  // namespace iconvale
