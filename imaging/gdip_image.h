// One decoded picture of the platform's picture library (GDI+, flat interface). Copies share
// the picture; the last copy to go disposes of it and then of the stream it was decoded from.
// The library must be running (the application object starts it).
#pragma once

#include <windows.h>
#include <objidl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/bytes.h"
#include "imaging/picture_budget.h"
#include "ui/win_handles.h"

struct GpImage;  // the library's own picture type (imaging/gdiplus_flat.h)

namespace iconvale {

inline constexpr int kPixelFormat32bppArgb = 0x26200A;

// A colour as the picture library takes it: 0xAARRGGBB.
using Argb = std::uint32_t;

class GdipImage {
public:
    GdipImage();

    // Empties the object: the picture goes first, then its stream. Nothing when empty.
    void Dispose();
    bool IsEmpty() const;
    // The picture's size in pixels; 0 when empty.
    int Width() const;
    int Height() const;
    // True when both objects share one picture.
    bool SharesWith(const GdipImage& other) const { return state_ == other.state_; }
    // The library's image handle, null when empty. Stays the object's.
    GpImage* Handle() const;

    // Each create empties the object first, so a failure leaves it empty.
    bool CreateFromFile(std::string_view path);  // GBK path
    bool CreateFromFileW(const wchar_t* path);
    bool CreateFromIcon(HICON icon);  // the icon stays the caller's
    bool CreateBlank(int width, int height, int pixelFormat = kPixelFormat32bppArgb);
    // A picture file held in memory; the bytes are copied.
    bool CreateFromBytes(std::span<const std::uint8_t> bytes);
    // A 32-bit picture of these pixels (0xAARRGGBB, rows from the top); the pixels are copied.
    bool CreateFromArgb(int width, int height, std::span<const Argb> pixels);

    // The whole picture at its own size; null when it cannot be made or is over the limits.
    UniqueIcon ToIcon() const;
    UniqueBitmap ToBitmapHandle(Argb background) const;

    // The picture's format identifier ("{B96B3CAF-...}" for PNG), empty when unknown.
    std::string RawFormat() const;
    // The picture encoded by the encoder of that format (its own when the text is empty);
    // empty when no encoder has the format or the encoder wrote nothing.
    Bytes SaveToBytes(std::string_view formatIdentifier) const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

// The class identifier of the encoder for a format identifier, walking the library's encoder
// records in order; none when no encoder has it.
std::optional<std::array<std::uint8_t, 16>> FindEncoder(std::string_view formatIdentifier);

// A stream over a new zero-filled global block of the bytes' length, freed with the stream;
// the bytes are copied in only when `copy` is set.
ComPtr<IStream> StreamFromBytes(std::span<const std::uint8_t> bytes, bool copy);
// The content of a stream's global block; empty when it has none.
Bytes BytesFromStream(IStream* stream);

// A GUID as braced upper-case text in GBK.
std::string GuidText(const GUID& guid);

}  // namespace iconvale
