#include "core/lazarus_form.h"

#include <zlib.h>

#include <limits>
#include <new>

#include "core/text_codecs.h"

namespace iconvale {

namespace {

constexpr std::size_t kLazarusHeaderSize = 2 + 3 * 4;
constexpr std::uint8_t kAlphaOpaque = 0xFF;

std::uint64_t ReadU64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(ReadU32(p)) | static_cast<std::uint64_t>(ReadU32(p + 4))
                                                        << 32;
}

std::optional<ImageListData> Fail(ContainerError& error, ContainerProblem problem) {
    error.problem = problem;
    return std::nullopt;
}

// The pixels as stored, one image after another: the layout the list keeps at 32 bits.
bool Inflate(std::span<const std::uint8_t> in, Bytes& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int status = inflate(&z, Z_FINISH);
    bool whole = status == Z_STREAM_END && z.avail_out == 0;
    inflateEnd(&z);
    return whole;
}

bool HasAlpha(const ImageListData& list, int index) {
    for (int y = 0; y < list.height; ++y) {
        const std::uint8_t* row = list.ImageRow(index, y);
        for (int x = 0; x < list.width; ++x)
            if (row[x * 4 + 3] != 0) return true;
    }
    return false;
}

}  // namespace

bool IsLazarusImageData(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 'L' && (bytes[1] == 'z' || bytes[1] == 'i');
}

std::optional<ImageListData> DecodeLazarusImages(std::span<const std::uint8_t> bytes,
                                                 ContainerError& error) {
    if (!IsLazarusImageData(bytes)) return Fail(error, ContainerProblem::kBadSignature);
    if (bytes.size() < kLazarusHeaderSize) return Fail(error, ContainerProblem::kTruncated);
    bool compressed = bytes[1] == 'z';
    std::uint32_t count = ReadU32(&bytes[2]);
    std::uint32_t width = ReadU32(&bytes[6]);
    std::uint32_t height = ReadU32(&bytes[10]);
    if (count > 0xFFFF || width > 0xFFFF || height > 0xFFFF)
        return Fail(error, ContainerProblem::kTooLarge);
    if (width == 0 || height == 0) return Fail(error, ContainerProblem::kBadStream);
    const std::uint64_t pixelBytes = std::uint64_t{count} * width * height * 4;
    if (pixelBytes > kMaxBitmapBytes) return Fail(error, ContainerProblem::kTooLarge);

    ImageListData list;
    list.count = static_cast<std::uint16_t>(count);
    list.capacity = list.count;
    list.grow = 4;
    list.width = static_cast<std::uint16_t>(width);
    list.height = static_cast<std::uint16_t>(height);
    list.flags = 32 | kMaskFlag;
    list.bitsPerPixel = 32;
    // The stream writer lays out whole rows of cells: refuse what it could not write back.
    if (WrittenBitmapBytes(width, height, count, 32) > kMaxBitmapBytes)
        return Fail(error, ContainerProblem::kTooLarge);
    if (count == 0) return list;

    std::span<const std::uint8_t> rest = bytes.subspan(kLazarusHeaderSize);
    std::span<const std::uint8_t> data;
    if (compressed) {
        if (rest.size() < 8) return Fail(error, ContainerProblem::kTruncated);
        std::uint64_t size = ReadU64(rest.data());
        rest = rest.subspan(8);
        if (size > rest.size()) return Fail(error, ContainerProblem::kTruncated);
        if (size > std::numeric_limits<uInt>::max())
            return Fail(error, ContainerProblem::kTooLarge);
        data = rest.first(static_cast<std::size_t>(size));
    } else {
        if (pixelBytes > rest.size()) return Fail(error, ContainerProblem::kTruncated);
        data = rest.first(static_cast<std::size_t>(pixelBytes));
    }
    try {
        list.AllocateImages();
    } catch (const std::bad_alloc&) {
        return Fail(error, ContainerProblem::kOutOfMemory);
    }
    if (compressed) {
        if (!Inflate(data, list.pixels)) return Fail(error, ContainerProblem::kBadCompression);
    } else {
        std::copy(data.begin(), data.end(), list.pixels.begin());
    }
    for (int i = 0; i < list.count; ++i)
        for (int y = 0; y < list.height; ++y) {
            const std::uint8_t* row = list.ImageRow(i, y);
            for (int x = 0; x < list.width; ++x)
                if (row[x * 4 + 3] == 0) list.SetTransparent(i, x, y, true);
        }
    return list;
}

Bytes EncodeLazarusImages(const ImageListData& list) {
    if (!IsSupportedDepth(list.bitsPerPixel) || list.width == 0 || list.height == 0 ||
        list.pixels.size() < list.ImageBytes() * list.count ||
        (list.HasMask() && list.mask.size() < list.MaskBytes() * list.count))
        return {};
    const std::uint64_t pixelBytes = std::uint64_t{list.count} * list.width * list.height * 4;
    if (pixelBytes > kMaxBitmapBytes) return {};
    const std::vector<std::uint32_t> palette =
        list.palette.empty() ? DefaultPalette(list.bitsPerPixel) : list.palette;

    Bytes raw;
    raw.reserve(static_cast<std::size_t>(pixelBytes));
    for (int i = 0; i < list.count; ++i) {
        bool keepAlpha = list.bitsPerPixel == 32 && HasAlpha(list, i);
        for (int y = 0; y < list.height; ++y) {
            for (int x = 0; x < list.width; ++x) {
                std::uint32_t c = PixelColour(list, palette, i, x, y);
                bool clear = list.HasMask() && list.Transparent(i, x, y);
                std::uint8_t alpha = keepAlpha ? static_cast<std::uint8_t>(c >> 24)
                                     : clear   ? 0
                                               : kAlphaOpaque;
                AppendU32(raw, (c & 0x00FFFFFF) | std::uint32_t{alpha} << 24);
            }
        }
    }

    Bytes out{'L', 'z'};
    AppendU32(out, list.count);
    AppendU32(out, list.width);
    AppendU32(out, list.height);
    if (list.count == 0) return out;
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    AppendU32(out, static_cast<std::uint32_t>(packedSize));
    AppendU32(out, static_cast<std::uint32_t>(std::uint64_t{packedSize} >> 32));
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    return out;
}

std::string WriteLazarusFormBlock(const ImageListData& list, std::string_view name) {
    Bytes data = EncodeLazarusImages(list);
    if (data.empty()) return {};
    std::string out = "object " + std::string(name) + ": TImageList\r\n";
    out += "  Height = " + std::to_string(list.height) + "\r\n";
    out += "  Width = " + std::to_string(list.width) + "\r\n";
    out += "  Bitmap = {\r\n";
    out += HexLines(data, 32, "    ", "\r\n");
    out += "\r\n  }\r\nend\r\n";
    return out;
}

}  // namespace iconvale
