// Icon files (.ico, and cursors read as icons): no Debian library reads them on its own, so the
// directory is ours, and each image goes to the PNG or the BMP decoder.
#include <algorithm>
#include <cstdlib>

#include "core/bit_rows.h"
#include "core/bytes.h"
#include "imaging/picture_formats.h"

namespace iconvale {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct IconEntry {
    int width = 0;
    int height = 0;
    int bits = 0;
    std::span<const std::uint8_t> data;
};

// Every entry whose data lies inside the file; none when the directory is not an icon's.
std::vector<IconEntry> ReadDirectory(std::span<const std::uint8_t> bytes) {
    std::vector<IconEntry> entries;
    if (bytes.size() < kDirectorySize || ReadU16(bytes.data()) != 0) return entries;
    const std::uint16_t type = ReadU16(bytes.data() + 2);
    const std::uint16_t count = ReadU16(bytes.data() + 4);
    if ((type != 1 && type != 2) || count == 0 ||
        bytes.size() < kDirectorySize + count * kEntrySize) {
        return entries;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = bytes.data() + kDirectorySize + i * kEntrySize;
        const std::uint32_t size = ReadU32(entry + 8);
        const std::uint32_t offset = ReadU32(entry + 12);
        if (offset > bytes.size() || size > bytes.size() - offset || size == 0) continue;
        IconEntry found;
        found.width = entry[0] == 0 ? 256 : entry[0];
        found.height = entry[1] == 0 ? 256 : entry[1];
        // A cursor keeps its hot spot where an icon keeps planes and bits.
        found.bits = type == 1 ? ReadU16(entry + 6) : 0;
        if (found.bits == 0 && entry[2] != 0)
            found.bits = entry[2] <= 2 ? 1 : entry[2] <= 16 ? 4 : 8;
        found.data = bytes.subspan(offset, size);
        entries.push_back(found);
    }
    return entries;
}

// An image kept as a bitmap: the colours through the BMP decoder, as a file of its own with the
// height of the colours only, then the AND mask below them for an image without alpha.
RgbaPicture DecodeIconBitmap(std::span<const std::uint8_t> dib) {
    if (dib.size() < 40) return {};
    const std::uint32_t headerSize = ReadU32(dib.data());
    const std::int32_t width = static_cast<std::int32_t>(ReadU32(dib.data() + 4));
    const std::int32_t doubled = static_cast<std::int32_t>(ReadU32(dib.data() + 8));
    const std::uint16_t bits = ReadU16(dib.data() + 14);
    const std::uint32_t compression = ReadU32(dib.data() + 16);
    std::uint32_t colours = ReadU32(dib.data() + 32);
    if (headerSize < 40 || headerSize > dib.size() || width <= 0 || doubled <= 1 ||
        doubled % 2 != 0 || bits == 0 || bits > 32 || (bits <= 8 && colours > (1u << bits))) {
        return {};
    }
    if (bits <= 8 && colours == 0) colours = 1u << bits;
    if (bits > 8) colours = 0;
    const int height = doubled / 2;
    std::size_t tableBytes = colours * 4;
    if (compression == 3 && headerSize == 40) tableBytes += 12;  // the colour masks
    const std::uint64_t colourBytes = RowStride(static_cast<std::uint64_t>(width), bits) * height;
    const std::uint64_t pixelsAt = std::uint64_t{headerSize} + tableBytes;
    if (pixelsAt + colourBytes > dib.size()) return {};

    Bytes file{'B', 'M'};
    file.reserve(kFileHeaderSize + dib.size());
    AppendU32(file, static_cast<std::uint32_t>(kFileHeaderSize + dib.size()));
    AppendU32(file, 0);
    AppendU32(file, static_cast<std::uint32_t>(kFileHeaderSize + pixelsAt));
    file.insert(file.end(), dib.begin(), dib.end());
    Bytes height4;
    AppendU32(height4, static_cast<std::uint32_t>(height));
    std::copy(height4.begin(), height4.end(), file.begin() + kFileHeaderSize + 8);
    RgbaPicture picture = DecodeBmp(file, true);
    if (picture.empty() || picture.width != width || picture.height != height) return {};

    const bool hasAlpha =
        bits == 32 && std::any_of(picture.argb.begin(), picture.argb.end(),
                                  [](std::uint32_t p) { return (p >> 24) != 255; });
    const std::uint64_t maskStride = RowStride(static_cast<std::uint64_t>(width), 1);
    const std::uint64_t maskAt = pixelsAt + colourBytes;
    if (hasAlpha || maskAt + maskStride * height > dib.size()) return picture;
    for (int y = 0; y < height; ++y) {
        // The mask is stored bottom-up; a set bit is transparent.
        const std::uint8_t* row = dib.data() + maskAt + (height - 1 - y) * maskStride;
        std::uint32_t* pixels = picture.Row(y);
        for (int x = 0; x < width; ++x) {
            if (BitAt(row, static_cast<std::size_t>(x))) pixels[x] = 0;
        }
    }
    return picture;
}

RgbaPicture DecodeEntry(const IconEntry& entry) {
    const bool png =
        entry.data.size() >= sizeof kPngSignature &&
        std::equal(std::begin(kPngSignature), std::end(kPngSignature), entry.data.begin());
    return png ? DecodePng(entry.data) : DecodeIconBitmap(entry.data);
}

}  // namespace

RgbaPicture DecodeNearestIcon(std::span<const std::uint8_t> bytes, int width, int height) {
    std::vector<IconEntry> entries = ReadDirectory(bytes);
    if (entries.empty()) return {};
    const auto distance = [&](const IconEntry& e) {
        return std::abs(e.width - width) + std::abs(e.height - height);
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const IconEntry& a, const IconEntry& b) {
        const int da = distance(a), db = distance(b);
        return da != db ? da < db : a.bits > b.bits;
    });
    return DecodeEntry(entries.front());
}

RgbaPicture DecodeFirstIcon(std::span<const std::uint8_t> bytes) {
    const std::vector<IconEntry> entries = ReadDirectory(bytes);
    return entries.empty() ? RgbaPicture{} : DecodeEntry(entries.front());
}

}  // namespace iconvale
