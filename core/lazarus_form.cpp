#include "core/lazarus_form.h"

#include <zlib.h>

#include <algorithm>
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

template <typename T = std::optional<ImageListData>>
T Fail(ContainerError& error, ContainerProblem problem) {
    error.problem = problem;
    return T{};
}

// zlib's deflate expands at most 1,032 bytes from one: compressed data shorter than that share
// of what a header claims cannot hold it, whatever it is.
constexpr std::uint64_t kMaxInflateRatio = 1032;
constexpr std::size_t kInflateStep = 32 * 1024;
// More sizes than any list keeps, yet a bound on the work a forged count can cause.
constexpr std::uint32_t kMaxLazarusSizes = 64;

// Inflates all of `in`, which must give exactly `expected` bytes. The output grows with what is
// inflated, so that data that ends early costs only what it held.
bool Inflate(std::span<const std::uint8_t> in, std::size_t expected, Bytes& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    std::uint8_t step[kInflateStep];
    int status = Z_OK;
    bool fits = true;
    while (status == Z_OK && fits) {
        z.next_out = step;
        z.avail_out = sizeof step;
        status = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = sizeof step - z.avail_out;
        fits = produced <= expected - out.size();
        if (!fits || (status != Z_OK && status != Z_STREAM_END)) break;
        if (out.capacity() - out.size() < produced)
            out.reserve(std::min(expected, std::max(out.size() + produced, 2 * out.capacity())));
        out.insert(out.end(), step, step + produced);
        if (status == Z_OK && produced == 0 && z.avail_in == 0) status = Z_BUF_ERROR;
    }
    inflateEnd(&z);
    return fits && status == Z_STREAM_END && out.size() == expected;
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

bool ReadLazarusBlock(std::span<const std::uint8_t> bytes, LazarusBlock& block,
                      ContainerError& error) {
    if (bytes.size() < 2) return Fail<bool>(error, ContainerProblem::kTruncated);
    if (!IsLazarusImageData(bytes)) return Fail<bool>(error, ContainerProblem::kBadSignature);
    if (bytes.size() < kLazarusHeaderSize) return Fail<bool>(error, ContainerProblem::kTruncated);
    const std::uint32_t count = ReadU32(&bytes[2]);
    const std::uint32_t width = ReadU32(&bytes[6]);
    const std::uint32_t height = ReadU32(&bytes[10]);
    if (count > 0xFFFF || width > 0xFFFF || height > 0xFFFF)
        return Fail<bool>(error, ContainerProblem::kTooLarge);
    block.compressed = bytes[1] == 'z';
    block.count = static_cast<std::uint16_t>(count);
    block.width = static_cast<std::uint16_t>(width);
    block.height = static_cast<std::uint16_t>(height);
    block.size = kLazarusHeaderSize;
    if (width == 0 || height == 0) return Fail<bool>(error, ContainerProblem::kBadStream);
    const std::uint64_t pixelBytes = std::uint64_t{count} * width * height * 4;
    // The stream writer lays out whole rows of cells: refuse what it could not write back.
    if (pixelBytes > kMaxBitmapBytes ||
        WrittenBitmapBytes(width, height, count, 32) > kMaxBitmapBytes)
        return Fail<bool>(error, ContainerProblem::kTooLarge);
    if (count == 0) return true;

    const std::size_t rest = bytes.size() - kLazarusHeaderSize;
    if (!block.compressed) {
        if (pixelBytes > rest) return Fail<bool>(error, ContainerProblem::kTruncated);
        block.size += static_cast<std::size_t>(pixelBytes);
        return true;
    }
    if (rest < 8) return Fail<bool>(error, ContainerProblem::kTruncated);
    const std::uint64_t packed = ReadU64(&bytes[kLazarusHeaderSize]);
    if (packed > rest - 8) return Fail<bool>(error, ContainerProblem::kTruncated);
    if (packed > std::numeric_limits<uInt>::max())
        return Fail<bool>(error, ContainerProblem::kTooLarge);
    if (pixelBytes > packed * kMaxInflateRatio)
        return Fail<bool>(error, ContainerProblem::kBadCompression);
    block.size += 8 + static_cast<std::size_t>(packed);
    return true;
}

std::optional<ImageListData> DecodeLazarusImages(std::span<const std::uint8_t> bytes,
                                                 ContainerError& error) {
    LazarusBlock block;
    if (!ReadLazarusBlock(bytes, block, error)) return std::nullopt;
    ImageListData list;
    list.count = block.count;
    list.capacity = list.count;
    list.grow = 4;
    list.width = block.width;
    list.height = block.height;
    list.flags = 32 | kMaskFlag;
    list.bitsPerPixel = 32;
    if (block.count == 0) return list;

    const std::size_t pixelBytes = list.ImageBytes() * list.count;
    std::span<const std::uint8_t> data =
        bytes.subspan(kLazarusHeaderSize, block.size - kLazarusHeaderSize);
    try {
        if (block.compressed) {
            if (!Inflate(data.subspan(8), pixelBytes, list.pixels))
                return Fail(error, ContainerProblem::kBadCompression);
        } else {
            list.pixels.assign(data.begin(), data.end());
        }
        list.mask.assign(list.MaskBytes() * list.count, 0);
    } catch (const std::bad_alloc&) {
        return Fail(error, ContainerProblem::kOutOfMemory);
    }
    for (int i = 0; i < list.count; ++i)
        for (int y = 0; y < list.height; ++y) {
            const std::uint8_t* row = list.ImageRow(i, y);
            for (int x = 0; x < list.width; ++x)
                if (row[x * 4 + 3] == 0) list.SetTransparent(i, x, y, true);
        }
    return list;
}

std::vector<LazarusSize> ReadLazarusSizes(std::span<const std::uint8_t> advanced,
                                          const LazarusBlock& base, ContainerError& error) {
    constexpr std::size_t kHead = 2 + 4;
    if (advanced.size() < 2 || advanced[0] != 'L' || advanced[1] != 'i')
        return Fail<std::vector<LazarusSize>>(error, ContainerProblem::kBadSignature);
    if (advanced.size() < kHead)
        return Fail<std::vector<LazarusSize>>(error, ContainerProblem::kTruncated);
    const std::uint32_t count = ReadU32(&advanced[2]);
    if (count > kMaxLazarusSizes)
        return Fail<std::vector<LazarusSize>>(error, ContainerProblem::kTooLarge);
    std::vector<LazarusSize> sizes;
    std::size_t at = kHead;
    for (std::uint32_t i = 0; i < count; ++i) {
        LazarusSize size;
        const std::span<const std::uint8_t> rest = advanced.subspan(at);
        const bool read = ReadLazarusBlock(rest, size.block, error);
        error.width = size.block.width;
        error.height = size.block.height;
        if (!read) return {};
        if (size.block.count != base.count)
            return Fail<std::vector<LazarusSize>>(error, ContainerProblem::kOtherCount);
        bool repeated = size.block.width == base.width;
        for (const LazarusSize& earlier : sizes)
            repeated = repeated || earlier.block.width == size.block.width;
        if (repeated) return Fail<std::vector<LazarusSize>>(error, ContainerProblem::kRepeatedSize);
        size.span = {at, size.block.size};
        at += size.block.size;
        sizes.push_back(size);
    }
    error.width = error.height = 0;
    // Bytes after the last block mean the count and the blocks disagree.
    if (at != advanced.size())
        return Fail<std::vector<LazarusSize>>(error, ContainerProblem::kBadStream);
    return sizes;
}

Bytes EncodeLazarusImages(const ImageListData& list, bool compress) {
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

    Bytes out{'L', static_cast<std::uint8_t>(compress ? 'z' : 'i')};
    AppendU32(out, list.count);
    AppendU32(out, list.width);
    AppendU32(out, list.height);
    if (list.count == 0) return out;
    if (!compress) {
        out.insert(out.end(), raw.begin(), raw.end());
        return out;
    }
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
