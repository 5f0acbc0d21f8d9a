#include "imaging/group_imports.h"

#include <cstdlib>

#include "core/bit_rows.h"
#include "core/bytes.h"
#include "imaging/icon_image.h"
#include "imaging/image_formats.h"

namespace iconvale {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = sizeof(BITMAPINFOHEADER);

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
    if (info->biWidth <= 0 || info->biBitCount == 0) return {};
    const auto rows = static_cast<std::uint64_t>(std::abs(static_cast<long long>(info->biHeight)));
    const std::uint64_t stride =
        RowStride(static_cast<std::uint64_t>(info->biWidth), info->biBitCount);
    if (rows > (file.size() - pixelsAt) / stride) return {};
    WindowDc screen(nullptr);
    return UniqueBitmap(::CreateDIBitmap(screen.get(), info, CBM_INIT, file.data() + pixelsAt,
                                         reinterpret_cast<const BITMAPINFO*>(info),
                                         DIB_RGB_COLORS));
}

}  // namespace

int AddPictureAsIcon(ImageGroup& group, const GdipImage& picture) {
    UniqueIcon icon = picture.ToIcon();
    return icon ? group.AddIcon(icon.get()) : -1;
}

int AddPictureStrip(ImageGroup& group, const GdipImage& picture) {
    UniqueBitmap strip = picture.ToBitmapHandle(0);
    return group.AddStrip(strip.get(), std::nullopt);
}

int AddPictureStripMasked(ImageGroup& group, const GdipImage& picture, COLORREF transparent) {
    // The same pixel budget as the picture's own conversions, before anything is encoded.
    if (!PictureSizeAllowed(picture.Width(), picture.Height())) return -1;
    Bytes file = picture.SaveToBytes(kBmpFormat);
    if (file.empty()) return -1;
    UniqueBitmap strip = ScreenBitmapFromBmpFile(file);
    return group.AddStrip(strip.get(), transparent);
}

bool ReplaceWithPicture(ImageGroup& group, int index, const GdipImage& picture) {
    if (!group.IsCreated() || index < 0 || index >= group.GetCount()) return false;
    UniqueBitmap bitmap = picture.ToBitmapHandle(0);
    return bitmap && group.ReplaceWithBitmap(index, bitmap.get());
}

bool ImportPictureFile(ImageGroup& group, const wchar_t* path, bool iconFile,
                       const PictureEntry& entry, GdipImage& scratch) {
    if (iconFile) {
        const IconSize size = group.GetIconSize();
        IconImage icon;
        return icon.LoadFromFileW(path, false, size.width, size.height) &&
               group.AddIcon(icon.Handle()) != -1;
    }
    ScratchInUse inUse(scratch);
    return scratch.CreateFromFileW(path) && ImportPicture(group, scratch, entry);
}

bool ImportPicture(ImageGroup& group, const GdipImage& picture, const PictureEntry& entry) {
    if (!entry.split) return AddPictureAsIcon(group, picture) != -1;
    if (entry.transparent) return AddPictureStripMasked(group, picture, *entry.transparent) != -1;
    return AddPictureStrip(group, picture) != -1;
}

}  // namespace iconvale
