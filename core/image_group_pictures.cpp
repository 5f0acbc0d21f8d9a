// The image group's picture imports: a picture enters either whole, as one icon that the list
// stretches to its cell size, or as one bitmap that the list cuts into cells of its width.
#include <algorithm>
#include <vector>

#include "core/bytes.h"
#include "core/image_group.h"
#include "imaging/gdip_image.h"
#include "imaging/image_formats.h"
#include "ui/large_buffer.h"

namespace iconvale {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = sizeof(BITMAPINFOHEADER);

int BitmapWidth(HBITMAP bitmap) {
    BITMAP info{};
    return ::GetObjectW(bitmap, sizeof info, &info) ? info.bmWidth : 0;
}

// A device-dependent bitmap of the screen made from a BMP file's bytes, or null when the bytes
// do not hold the header and pixels they promise.
UniqueBitmap ScreenBitmapFromBmpFile(const Bytes& file) {
    if (file.size() < kFileHeaderBytes + kInfoHeaderBytes) return {};
    const std::size_t pixelsAt = ReadU32(file.data() + 10);
    const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(file.data() + kFileHeaderBytes);
    if (info->biSize < kInfoHeaderBytes || pixelsAt >= file.size() ||
        pixelsAt < kFileHeaderBytes + info->biSize) {
        return {};
    }
    const long long rows = std::abs(static_cast<long long>(info->biHeight));
    const long long stride =
        ((static_cast<long long>(info->biWidth) * info->biBitCount + 31) / 32) * 4;
    if (info->biWidth <= 0 || stride <= 0 ||
        rows * stride > static_cast<long long>(file.size() - pixelsAt)) {
        return {};
    }
    WindowDc screen(nullptr);
    return UniqueBitmap(::CreateDIBitmap(screen.get(), info, CBM_INIT, file.data() + pixelsAt,
                                         reinterpret_cast<const BITMAPINFO*>(info),
                                         DIB_RGB_COLORS));
}

}  // namespace

int ImageGroup::AddPictureAsIcon(const GdipImage& picture) {
    UniqueIcon icon = picture.ToIcon();
    return icon ? AddIcon(icon.get()) : -1;
}

int ImageGroup::AddStrip(HBITMAP strip, std::optional<COLORREF> maskColour) {
    if (!IsCreated() || !strip) return -1;
    // The cells the strip will bring must still fit the count a file can hold.
    const int cells = BitmapWidth(strip) / GetIconSize().width;
    if (GetCount() + cells > kMaxGroupCount) return -1;
    const int first = maskColour ? ::ImageList_AddMasked(GetHandle(), strip, *maskColour)
                                 : ::ImageList_Add(GetHandle(), strip, nullptr);
    if (first >= 0) GrowCapacityTo(GetCount());
    return first;
}

int ImageGroup::AddPictureStrip(const GdipImage& picture) {
    UniqueBitmap strip = picture.ToBitmapHandle(0);
    return AddStrip(strip.get(), std::nullopt);
}

int ImageGroup::AddPictureStripMasked(const GdipImage& picture, COLORREF transparent) {
    // The same pixel budget as the picture's own conversions, before anything is encoded.
    if (!PictureSizeAllowed(picture.Width(), picture.Height())) return -1;
    Bytes file = picture.SaveToBytes(kBmpFormat);
    if (file.empty()) return -1;
    UniqueBitmap strip = ScreenBitmapFromBmpFile(file);
    return AddStrip(strip.get(), transparent);
}

bool ImageGroup::ReplaceWithPicture(int index, const GdipImage& picture) {
    if (!IsCreated() || index < 0 || index >= GetCount()) return false;
    UniqueBitmap bitmap = picture.ToBitmapHandle(0);
    if (!bitmap) return false;
    // Without a mask of its own the cell would keep the old image's transparent pixels over
    // the new picture: an all-clear mask of the bitmap's size makes the whole cell opaque.
    BITMAP info{};
    if (!::GetObjectW(bitmap.get(), sizeof info, &info)) return false;
    std::vector<std::uint8_t> clear;
    if (!TryResize(clear, static_cast<std::size_t>((info.bmWidth + 15) / 16) * 2 * info.bmHeight)) {
        return false;
    }
    UniqueBitmap opaque(::CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, clear.data()));
    return opaque && ::ImageList_Replace(GetHandle(), index, bitmap.get(), opaque.get()) != FALSE;
}

}  // namespace iconvale
