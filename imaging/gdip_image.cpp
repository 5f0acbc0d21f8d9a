#include "imaging/gdip_image.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/bit_rows.h"
#include "core/dib_bitmaps.h"
#include "imaging/gdiplus_flat.h"
#include "ui/large_buffer.h"
#include "ui/text.h"

namespace iconvale {

struct GdipImage::State {
    // Declared first so that it goes last: a picture may read from its stream until disposed.
    ComPtr<IStream> stream;
    UniqueGpImage image;

    void Clear() {
        image.reset();
        stream.reset();
    }
};

namespace {

// The icon again, with a mask made from its colour's alpha: a bit is set (transparent) exactly
// where the alpha is 0. Some picture libraries mark the whole mask transparent for an icon with
// alpha, which a list with a mask would then copy, hiding every pixel of the picture.
UniqueIcon WithMaskFromAlpha(UniqueIcon icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon.get(), &info)) return {};
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap oldMask(info.hbmMask);
    const auto pixels = ReadBitmapRows(colour.get(), 32);
    if (!pixels) return {};
    const int width = pixels->width;
    const int height = pixels->height;
    // CreateBitmap takes rows padded to 16 bits, not to 32 as the pixels came.
    const auto stride = static_cast<std::size_t>(WordRowStride(width, 1));
    std::vector<std::uint8_t> maskBits;
    if (!TryResize(maskBits, stride * height)) return {};
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels->bits.data() + y * pixels->stride;
        for (int x = 0; x < width; ++x) {
            if (row[4 * x + 3] == 0) SetBitAt(maskBits.data() + y * stride, x, true);
        }
    }
    UniqueBitmap mask(::CreateBitmap(width, height, 1, 1, maskBits.data()));
    if (!mask) return {};
    ICONINFO remade{TRUE, 0, 0, mask.get(), colour.get()};
    return UniqueIcon(::CreateIconIndirect(&remade));
}

}  // namespace

GdipImage::GdipImage() : state_(std::make_shared<State>()) {}

void GdipImage::Dispose() {
    state_->Clear();
}

bool GdipImage::IsEmpty() const {
    return !state_->image;
}

GpImage* GdipImage::Handle() const {
    return state_->image.get();
}

int GdipImage::Width() const {
    UINT width = 0;
    if (IsEmpty() || ::GdipGetImageWidth(state_->image.get(), &width) != kGpOk) return 0;
    return static_cast<int>(width);
}

int GdipImage::Height() const {
    UINT height = 0;
    if (IsEmpty() || ::GdipGetImageHeight(state_->image.get(), &height) != kGpOk) return 0;
    return static_cast<int>(height);
}

bool GdipImage::CreateFromFile(std::string_view path) {
    Dispose();
    const WideText widePath = ToWide(path);
    if (widePath.empty()) return false;
    return CreateFromFileW(widePath.data());
}

bool GdipImage::CreateFromFileW(const wchar_t* path) {
    Dispose();
    return path && ::GdipCreateBitmapFromFile(path, state_->image.put()) == kGpOk && state_->image;
}

bool GdipImage::CreateFromIcon(HICON icon) {
    Dispose();
    if (!icon) return false;
    return ::GdipCreateBitmapFromHICON(icon, state_->image.put()) == kGpOk && state_->image;
}

bool GdipImage::CreateBlank(int width, int height, int pixelFormat) {
    Dispose();
    return ::GdipCreateBitmapFromScan0(width, height, 0, pixelFormat, nullptr,
                                       state_->image.put()) == kGpOk &&
           state_->image;
}

bool GdipImage::CreateFromBytes(std::span<const std::uint8_t> bytes) {
    Dispose();
    if (bytes.empty()) return false;
    ComPtr<IStream> stream = StreamFromBytes(bytes, true);
    if (!stream || ::GdipCreateBitmapFromStream(stream.get(), state_->image.put()) != kGpOk ||
        !state_->image) {
        Dispose();
        return false;
    }
    state_->stream = std::move(stream);
    return true;
}

bool GdipImage::CreateFromArgb(int width, int height, std::span<const Argb> pixels) {
    if (!PictureSizeAllowed(width, height) ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) ||
        !CreateBlank(width, height)) {
        Dispose();
        return false;
    }
    const GpRect whole{0, 0, width, height};
    GpBitmapData data{};
    if (::GdipBitmapLockBits(state_->image.get(), &whole, kGpLockWrite, kPixelFormat32bppArgb,
                             &data) != kGpOk) {
        Dispose();
        return false;
    }
    for (int y = 0; y < height; ++y) {
        std::memcpy(static_cast<std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride,
                    pixels.data() + static_cast<std::size_t>(y) * width, static_cast<std::size_t>(width) * 4);
    }
    return ::GdipBitmapUnlockBits(state_->image.get(), &data) == kGpOk;
}

UniqueIcon GdipImage::ToIcon() const {
    if (IsEmpty() || !PictureSizeAllowed(Width(), Height())) return {};
    HICON icon = nullptr;
    if (::GdipCreateHICONFromBitmap(state_->image.get(), &icon) != kGpOk) {
        if (icon) ::DestroyIcon(icon);
        return {};
    }
    return WithMaskFromAlpha(UniqueIcon(icon));
}

UniqueBitmap GdipImage::ToBitmapHandle(Argb background) const {
    if (IsEmpty() || !PictureSizeAllowed(Width(), Height())) return {};
    HBITMAP bitmap = nullptr;
    if (::GdipCreateHBITMAPFromBitmap(state_->image.get(), &bitmap, background) != kGpOk) {
        if (bitmap) ::DeleteObject(bitmap);
        return {};
    }
    return UniqueBitmap(bitmap);
}

std::string GdipImage::RawFormat() const {
    GUID format{};
    if (IsEmpty() || ::GdipGetImageRawFormat(state_->image.get(), &format) != kGpOk) return {};
    return GuidText(format);
}

Bytes GdipImage::SaveToBytes(std::string_view formatIdentifier) const {
    if (IsEmpty()) return {};
    const std::string own = formatIdentifier.empty() ? RawFormat() : std::string();
    const auto encoder =
        FindEncoder(formatIdentifier.empty() ? std::string_view(own) : formatIdentifier);
    if (!encoder) return {};
    ComPtr<IStream> stream = StreamFromBytes({}, false);
    if (!stream) return {};
    CLSID encoderId;
    std::memcpy(&encoderId, encoder->data(), sizeof encoderId);
    // A failed encode may have written part of a file; part of a file is no picture.
    if (::GdipSaveImageToStream(state_->image.get(), stream.get(), &encoderId, nullptr) != kGpOk) {
        return {};
    }
    return BytesFromStream(stream.get());
}

std::optional<std::array<std::uint8_t, 16>> FindEncoder(std::string_view formatIdentifier) {
    UINT count = 0;
    UINT bytes = 0;
    if (formatIdentifier.empty() || ::GdipGetImageEncodersSize(&count, &bytes) != kGpOk ||
        count == 0 || bytes / sizeof(GpImageCodecInfo) < count) {
        return std::nullopt;
    }
    // Whole records so that the library's pointers into the buffer stay aligned.
    std::vector<GpImageCodecInfo> records((bytes + sizeof(GpImageCodecInfo) - 1) /
                                          sizeof(GpImageCodecInfo));
    if (::GdipGetImageEncoders(count, bytes, records.data()) != kGpOk) return std::nullopt;
    for (UINT i = 0; i < count; ++i) {
        if (GuidText(records[i].FormatID) != formatIdentifier) continue;
        std::array<std::uint8_t, 16> encoder;
        std::memcpy(encoder.data(), &records[i].Clsid, encoder.size());
        return encoder;
    }
    return std::nullopt;
}

ComPtr<IStream> StreamFromBytes(std::span<const std::uint8_t> bytes, bool copy) {
    ComPtr<IStream> stream;
    // An empty stream lets the stream make its own block: a moveable block of no bytes is
    // born discarded on some systems.
    if (bytes.empty()) {
        if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return {};
        return stream;
    }
    UniqueHGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size()));
    if (!block) return {};
    if (copy) {
        void* target = ::GlobalLock(block.get());
        if (!target) return {};
        std::memcpy(target, bytes.data(), bytes.size());
        ::GlobalUnlock(block.get());
    }
    if (FAILED(::CreateStreamOnHGlobal(block.get(), TRUE, stream.put()))) return {};
    (void)block.release();  // the stream frees it now
    return stream;
}

Bytes BytesFromStream(IStream* stream) {
    HGLOBAL block = nullptr;
    if (!stream || FAILED(::GetHGlobalFromStream(stream, &block)) || !block) return {};
    // The block may be larger than what was written into it; the stream knows its own length.
    STATSTG status{};
    if (FAILED(stream->Stat(&status, STATFLAG_NONAME))) return {};
    const std::size_t length =
        static_cast<std::size_t>(std::min<ULONGLONG>(status.cbSize.QuadPart, ::GlobalSize(block)));
    if (length == 0) return {};
    const auto* source = static_cast<const std::uint8_t*>(::GlobalLock(block));
    if (!source) return {};
    Bytes content;
    if (TryResize(content, length)) std::memcpy(content.data(), source, length);
    ::GlobalUnlock(block);
    return content;
}

std::string GuidText(const GUID& guid) {
    wchar_t text[39];
    if (::StringFromGUID2(guid, text, 39) == 0) return {};
    return ToNarrow(std::span<const wchar_t>(text, 39));
}

}  // namespace iconvale
