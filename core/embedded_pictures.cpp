#include "core/embedded_pictures.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <limits>
#include <new>

namespace iconvale {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr std::uint32_t kMaxDimension = 0x7FFFFFFF;

constexpr std::uint32_t TypeOf(const char (&name)[5]) {
    return static_cast<std::uint32_t>(name[0]) << 24 | static_cast<std::uint32_t>(name[1]) << 16 |
           static_cast<std::uint32_t>(name[2]) << 8 | static_cast<std::uint32_t>(name[3]);
}

constexpr std::uint32_t kIhdr = TypeOf("IHDR");
constexpr std::uint32_t kPlte = TypeOf("PLTE");
constexpr std::uint32_t kIdat = TypeOf("IDAT");
constexpr std::uint32_t kIend = TypeOf("IEND");
constexpr std::uint32_t kTrns = TypeOf("tRNS");

enum ColourType { kGray = 0, kRgb = 2, kIndexed = 3, kGrayAlpha = 4, kRgba = 6 };

std::uint32_t ReadBe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

void AppendBe32(Bytes& out, std::uint32_t v) {
    out.insert(out.end(), {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                           static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

bool IsLetter(std::uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The case of a type's first letter says whether a reader may skip the chunk.
bool IsCritical(std::uint32_t type) {
    return (type & 0x20000000u) == 0;
}

struct Chunk {
    std::uint32_t type = 0;
    std::span<const std::uint8_t> data;
};

// Steps through the chunks after the signature; each one's length, type letters and CRC are
// checked before its data is handed out.
class ChunkReader {
public:
    explicit ChunkReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Next(Chunk& chunk) {
        if (offset_ > bytes_.size() || bytes_.size() - offset_ < 12) return false;
        const std::uint8_t* p = bytes_.data() + offset_;
        const std::uint32_t length = ReadBe32(p);
        if (length > kMaxChunkLength || length > bytes_.size() - offset_ - 12) return false;
        if (!std::all_of(p + 4, p + 8, IsLetter)) return false;
        if (crc32(0, p + 4, length + 4) != ReadBe32(p + 8 + length)) return false;
        chunk = {ReadBe32(p + 4), {p + 8, length}};
        offset_ += std::size_t{12} + length;
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = kSignature.size();
};

struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int depth = 0;
    int colourType = 0;
    bool interlaced = false;
};

int ChannelsOf(int colourType) {
    switch (colourType) {
        case kGray:
        case kIndexed:
            return 1;
        case kGrayAlpha:
            return 2;
        case kRgb:
            return 3;
        case kRgba:
            return 4;
    }
    return 0;
}

bool DepthFits(int colourType, int depth) {
    switch (colourType) {
        case kGray:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case kIndexed:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case kRgb:
        case kGrayAlpha:
        case kRgba:
            return depth == 8 || depth == 16;
    }
    return false;
}

std::optional<PngHeader> ReadSignatureAndHeader(std::span<const std::uint8_t> bytes,
                                                ChunkReader& reader) {
    if (bytes.size() < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), bytes.begin())) {
        return std::nullopt;
    }
    Chunk chunk;
    if (!reader.Next(chunk) || chunk.type != kIhdr || chunk.data.size() != 13) return std::nullopt;
    const std::uint8_t* p = chunk.data.data();
    PngHeader header{.width = ReadBe32(p),
                     .height = ReadBe32(p + 4),
                     .depth = p[8],
                     .colourType = p[9],
                     .interlaced = p[12] == 1};
    if (header.width == 0 || header.width > kMaxDimension || header.height == 0 ||
        header.height > kMaxDimension || !DepthFits(header.colourType, header.depth) ||
        p[10] != 0 || p[11] != 0 || p[12] > 1) {
        return std::nullopt;
    }
    return header;
}

// One pass over the picture: every `stepX`-th pixel of every `stepY`-th row from a corner.
struct Pass {
    std::uint32_t startX, startY, stepX, stepY;

    std::uint64_t Width(std::uint32_t width) const {
        return width > startX ? (width - startX + stepX - 1) / stepX : 0;
    }
    std::uint64_t Height(std::uint32_t height) const {
        return height > startY ? (height - startY + stepY - 1) / stepY : 0;
    }
};

constexpr Pass kWholePicture[] = {{0, 0, 1, 1}};
constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                           {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

std::span<const Pass> PassesOf(const PngHeader& header) {
    if (header.interlaced) return kAdam7;
    return kWholePicture;
}

std::uint64_t RowBytes(const PngHeader& header, std::uint64_t width) {
    return (width * static_cast<std::uint64_t>(ChannelsOf(header.colourType) * header.depth) + 7) /
           8;
}

// Filtered rows of every pass, each with its filter type byte. The caller has bounded the pixel
// count, so this cannot wrap.
std::uint64_t RawSize(const PngHeader& header) {
    std::uint64_t total = 0;
    for (const Pass& pass : PassesOf(header)) {
        const std::uint64_t width = pass.Width(header.width);
        if (width > 0) total += pass.Height(header.height) * (1 + RowBytes(header, width));
    }
    return total;
}

struct Palette {
    std::array<std::array<std::uint8_t, 4>, 256> bgra{};
    std::size_t count = 0;
    bool seen = false;
};

// The one colour (gray, or red/green/blue) that stands for a transparent pixel.
struct ColourKey {
    bool present = false;
    std::array<std::uint16_t, 3> samples{};
};

struct Ancillaries {
    Palette palette;
    ColourKey key;
    bool transparencySeen = false;
};

bool ReadPalette(const PngHeader& header, std::span<const std::uint8_t> data, Palette& palette) {
    if (palette.seen || header.colourType == kGray || header.colourType == kGrayAlpha) return false;
    const std::size_t count = data.size() / 3;
    if (data.size() % 3 != 0 || count == 0 || count > 256) return false;
    if (header.colourType == kIndexed && count > (std::size_t{1} << header.depth)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        palette.bgra[i] = {data[3 * i + 2], data[3 * i + 1], data[3 * i], 255};
    }
    palette.count = count;
    palette.seen = true;
    return true;
}

bool ReadTransparency(const PngHeader& header, std::span<const std::uint8_t> data,
                      Ancillaries& extras) {
    if (extras.transparencySeen) return false;
    extras.transparencySeen = true;
    switch (header.colourType) {
        case kIndexed:
            if (!extras.palette.seen || data.size() > extras.palette.count) return false;
            for (std::size_t i = 0; i < data.size(); ++i) extras.palette.bgra[i][3] = data[i];
            return true;
        case kGray:
        case kRgb: {
            const std::size_t samples = header.colourType == kGray ? 1 : 3;
            if (data.size() != 2 * samples) return false;
            for (std::size_t i = 0; i < samples; ++i) {
                extras.key.samples[i] =
                    static_cast<std::uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
            }
            extras.key.present = true;
            return true;
        }
    }
    // Pictures with an alpha channel have no use for a colour key; writers that add one anyway
    // are not worth refusing.
    return true;
}

// Inflates the concatenated IDAT data into a buffer of exactly the size the header implies, so
// that a stream that holds more than that is caught without ever being buffered.
class RawInflater {
public:
    RawInflater() = default;
    RawInflater(const RawInflater&) = delete;
    RawInflater& operator=(const RawInflater&) = delete;
    ~RawInflater() {
        if (started_) inflateEnd(&stream_);
    }

    bool Start(std::size_t size) {
        raw_.resize(size);
        started_ = inflateInit(&stream_) == Z_OK;
        return started_;
    }

    bool Feed(std::span<const std::uint8_t> data) {
        if (data.empty()) return true;
        if (ended_) return false;
        stream_.next_in = const_cast<Bytef*>(data.data());
        stream_.avail_in = static_cast<uInt>(data.size());
        while (stream_.avail_in > 0) {
            std::uint8_t spare = 0;
            const bool full = filled_ == raw_.size();
            stream_.next_out = full ? &spare : raw_.data() + filled_;
            stream_.avail_out =
                full ? 1
                     : static_cast<uInt>(std::min<std::size_t>(raw_.size() - filled_, UINT_MAX));
            const uInt room = stream_.avail_out;
            const uInt input = stream_.avail_in;
            const int status = inflate(&stream_, Z_NO_FLUSH);
            const std::size_t produced = room - stream_.avail_out;
            if (full && produced > 0) return false;
            if (!full) filled_ += produced;
            if (status == Z_STREAM_END) {
                ended_ = true;
                return stream_.avail_in == 0;
            }
            if (status != Z_OK || (produced == 0 && stream_.avail_in == input)) return false;
        }
        return true;
    }

    bool Complete() const { return ended_ && filled_ == raw_.size(); }
    Bytes& raw() { return raw_; }

private:
    z_stream stream_{};
    Bytes raw_;
    std::size_t filled_ = 0;
    bool started_ = false;
    bool ended_ = false;
};

// The value a filter type predicts a byte from: left, above and above-left of it.
std::uint8_t Predict(int filter, int left, int above, int aboveLeft) {
    switch (filter) {
        case 1:
            return static_cast<std::uint8_t>(left);
        case 2:
            return static_cast<std::uint8_t>(above);
        case 3:
            return static_cast<std::uint8_t>((left + above) / 2);
        case 4: {
            const int estimate = left + above - aboveLeft;
            const int toLeft = std::abs(estimate - left);
            const int toAbove = std::abs(estimate - above);
            const int toAboveLeft = std::abs(estimate - aboveLeft);
            if (toLeft <= toAbove && toLeft <= toAboveLeft) return static_cast<std::uint8_t>(left);
            return static_cast<std::uint8_t>(toAbove <= toAboveLeft ? above : aboveLeft);
        }
    }
    return 0;
}

// Undoes the filters of one pass in place. `prior` is null for the pass's first row.
bool Unfilter(std::uint8_t* rows, std::uint64_t rowCount, std::size_t rowBytes,
              std::size_t pixelBytes) {
    const std::uint8_t* prior = nullptr;
    for (std::uint64_t y = 0; y < rowCount; ++y, rows += rowBytes + 1) {
        const int filter = rows[0];
        if (filter > 4) return false;
        std::uint8_t* row = rows + 1;
        if (filter == 0) {
            prior = row;
            continue;
        }
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
            const int above = prior ? prior[i] : 0;
            const int aboveLeft = prior && i >= pixelBytes ? prior[i - pixelBytes] : 0;
            row[i] = static_cast<std::uint8_t>(row[i] + Predict(filter, left, above, aboveLeft));
        }
        prior = row;
    }
    return true;
}

// Sample `index` of a row at any depth, at full precision.
std::uint16_t SampleAt(const std::uint8_t* row, std::size_t index, int depth) {
    if (depth == 16) return static_cast<std::uint16_t>(row[2 * index] << 8 | row[2 * index + 1]);
    if (depth == 8) return row[index];
    const std::size_t bit = index * static_cast<std::size_t>(depth);
    const int shift = 8 - depth - static_cast<int>(bit % 8);
    return static_cast<std::uint16_t>((row[bit / 8] >> shift) & ((1 << depth) - 1));
}

// Low depths are stretched to the full range; 16-bit samples keep their high byte.
std::uint8_t ToByte(std::uint16_t sample, int depth) {
    if (depth == 16) return static_cast<std::uint8_t>(sample >> 8);
    return static_cast<std::uint8_t>(sample * 255 / ((1 << depth) - 1));
}

// Writes one unfiltered row of a pass into its pixels of the picture; false on a palette index
// the palette does not have.
bool ExpandRow(const PngHeader& header, const Ancillaries& extras, const std::uint8_t* row,
               std::uint64_t count, const Pass& pass, std::uint8_t* pictureRow) {
    const int depth = header.depth;
    const ColourKey& key = extras.key;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* out = pictureRow + 4 * (pass.startX + i * pass.stepX);
        switch (header.colourType) {
            case kGray: {
                const std::uint16_t gray = SampleAt(row, i, depth);
                const std::uint8_t value = ToByte(gray, depth);
                const bool clear = key.present && gray == key.samples[0];
                out[0] = out[1] = out[2] = value;
                out[3] = clear ? 0 : 255;
                break;
            }
            case kRgb: {
                const std::array<std::uint16_t, 3> rgb = {SampleAt(row, 3 * i, depth),
                                                          SampleAt(row, 3 * i + 1, depth),
                                                          SampleAt(row, 3 * i + 2, depth)};
                out[0] = ToByte(rgb[2], depth);
                out[1] = ToByte(rgb[1], depth);
                out[2] = ToByte(rgb[0], depth);
                out[3] = key.present && rgb == key.samples ? 0 : 255;
                break;
            }
            case kIndexed: {
                const std::uint16_t index = SampleAt(row, i, depth);
                if (index >= extras.palette.count) return false;
                std::copy_n(extras.palette.bgra[index].data(), 4, out);
                break;
            }
            case kGrayAlpha:
                out[0] = out[1] = out[2] = ToByte(SampleAt(row, 2 * i, depth), depth);
                out[3] = ToByte(SampleAt(row, 2 * i + 1, depth), depth);
                break;
            case kRgba:
                out[0] = ToByte(SampleAt(row, 4 * i + 2, depth), depth);
                out[1] = ToByte(SampleAt(row, 4 * i + 1, depth), depth);
                out[2] = ToByte(SampleAt(row, 4 * i, depth), depth);
                out[3] = ToByte(SampleAt(row, 4 * i + 3, depth), depth);
                break;
        }
    }
    return true;
}

bool Reconstruct(const PngHeader& header, const Ancillaries& extras, Bytes& raw,
                 BgraPicture& picture) {
    const std::size_t pixelBytes = std::max(1, ChannelsOf(header.colourType) * header.depth / 8);
    const std::size_t stride = std::size_t{4} * header.width;
    std::uint8_t* rows = raw.data();
    for (const Pass& pass : PassesOf(header)) {
        const std::uint64_t width = pass.Width(header.width);
        const std::uint64_t height = pass.Height(header.height);
        if (width == 0 || height == 0) continue;
        const auto rowBytes = static_cast<std::size_t>(RowBytes(header, width));
        if (!Unfilter(rows, height, rowBytes, pixelBytes)) return false;
        for (std::uint64_t y = 0; y < height; ++y, rows += rowBytes + 1) {
            const std::size_t pictureY = pass.startY + y * pass.stepY;
            if (!ExpandRow(header, extras, rows + 1, width, pass,
                           picture.bgra.data() + pictureY * stride)) {
                return false;
            }
        }
    }
    return true;
}

bool Decode(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels, BgraPicture& picture) {
    ChunkReader reader(bytes);
    const std::optional<PngHeader> header = ReadSignatureAndHeader(bytes, reader);
    if (!header) return false;
    // Bounded well below what would wrap the raw size or the picture's byte count.
    const std::uint64_t pixels = std::uint64_t{header->width} * header->height;
    if (pixels > maxPixels || pixels > std::numeric_limits<std::size_t>::max() / 16) return false;
    const std::uint64_t rawSize = RawSize(*header);
    if (rawSize > std::numeric_limits<std::size_t>::max()) return false;

    Ancillaries extras;
    RawInflater inflater;
    enum class Stage { kBeforeData, kInData, kAfterData } stage = Stage::kBeforeData;
    for (Chunk chunk; chunk.type != kIend;) {
        if (!reader.Next(chunk)) return false;
        if (chunk.type == kIdat) {
            if (stage == Stage::kAfterData) return false;
            if (stage == Stage::kBeforeData) {
                if (header->colourType == kIndexed && !extras.palette.seen) return false;
                if (!inflater.Start(static_cast<std::size_t>(rawSize))) return false;
                stage = Stage::kInData;
            }
            if (!inflater.Feed(chunk.data)) return false;
            continue;
        }
        if (stage == Stage::kInData) stage = Stage::kAfterData;
        if (chunk.type == kIend) {
            if (stage != Stage::kAfterData || !chunk.data.empty() || !inflater.Complete()) {
                return false;
            }
        } else if (chunk.type == kPlte) {
            if (stage != Stage::kBeforeData || !ReadPalette(*header, chunk.data, extras.palette)) {
                return false;
            }
        } else if (chunk.type == kTrns) {
            if (stage != Stage::kBeforeData || !ReadTransparency(*header, chunk.data, extras)) {
                return false;
            }
        } else if (IsCritical(chunk.type)) {
            return false;  // a second IHDR, or a chunk this reader cannot skip
        }
    }
    picture.width = static_cast<int>(header->width);
    picture.height = static_cast<int>(header->height);
    picture.bgra.resize(static_cast<std::size_t>(pixels) * 4);
    return Reconstruct(*header, extras, inflater.raw(), picture);
}

void AppendChunk(Bytes& out, std::uint32_t type, std::span<const std::uint8_t> data) {
    const std::size_t start = out.size();
    AppendBe32(out, static_cast<std::uint32_t>(data.size()));
    AppendBe32(out, type);
    out.insert(out.end(), data.begin(), data.end());
    AppendBe32(out, static_cast<std::uint32_t>(
                        crc32(0, out.data() + start + 4, static_cast<uInt>(data.size() + 4))));
}

// Filters one RGBA row with the type whose bytes, read as signed, sum to the least magnitude;
// ties go to the lower type. `out` receives the type byte and the filtered row.
void FilterRow(const std::uint8_t* row, const std::uint8_t* prior, std::size_t rowBytes,
               Bytes& candidate, std::uint8_t* out) {
    std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
    for (int filter = 0; filter <= 4; ++filter) {
        std::uint64_t cost = 0;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int left = i >= 4 ? row[i - 4] : 0;
            const int aboveLeft = prior && i >= 4 ? prior[i - 4] : 0;
            const auto value = static_cast<std::uint8_t>(
                row[i] - Predict(filter, left, prior ? prior[i] : 0, aboveLeft));
            candidate[i] = value;
            cost += static_cast<std::uint64_t>(std::abs(static_cast<std::int8_t>(value)));
        }
        if (cost < best) {
            best = cost;
            out[0] = static_cast<std::uint8_t>(filter);
            std::copy_n(candidate.data(), rowBytes, out + 1);
        }
    }
}

Bytes Encode(const BgraPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return {};
    const auto width = static_cast<std::uint64_t>(picture.width);
    const auto height = static_cast<std::uint64_t>(picture.height);
    if (picture.bgra.size() != width * height * 4) return {};
    const std::uint64_t rawSize = height * (width * 4 + 1);
    if (rawSize > std::numeric_limits<uLong>::max() ||
        rawSize > std::numeric_limits<std::size_t>::max() / 2) {
        return {};
    }
    const auto rowBytes = static_cast<std::size_t>(width * 4);
    Bytes raw(static_cast<std::size_t>(rawSize));
    Bytes rgba(2 * rowBytes);
    Bytes candidate(rowBytes);
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = rgba.data() + (y % 2) * rowBytes;
        const std::uint8_t* prior = y > 0 ? rgba.data() + ((y + 1) % 2) * rowBytes : nullptr;
        const std::uint8_t* bgra = picture.bgra.data() + y * rowBytes;
        for (std::size_t i = 0; i < rowBytes; i += 4) {
            row[i] = bgra[i + 2];
            row[i + 1] = bgra[i + 1];
            row[i + 2] = bgra[i];
            row[i + 3] = bgra[i + 3];
        }
        FilterRow(row, prior, rowBytes, candidate, raw.data() + y * (rowBytes + 1));
    }
    uLongf compressedSize = compressBound(static_cast<uLong>(rawSize));
    Bytes compressed(compressedSize);
    if (compress2(compressed.data(), &compressedSize, raw.data(), static_cast<uLong>(rawSize),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }

    Bytes png(kSignature.begin(), kSignature.end());
    Bytes header;
    AppendBe32(header, static_cast<std::uint32_t>(width));
    AppendBe32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, kRgba, 0, 0, 0});
    AppendChunk(png, kIhdr, header);
    for (std::size_t at = 0; at < compressedSize; at += kMaxChunkLength) {
        const std::size_t size = std::min<std::size_t>(compressedSize - at, kMaxChunkLength);
        AppendChunk(png, kIdat, {compressed.data() + at, size});
    }
    AppendChunk(png, kIend, {});
    return png;
}

}  // namespace

std::optional<PictureHeader> ReadPngHeader(std::span<const std::uint8_t> bytes) {
    ChunkReader reader(bytes);
    const std::optional<PngHeader> header = ReadSignatureAndHeader(bytes, reader);
    if (!header) return std::nullopt;
    return PictureHeader{header->width, header->height};
}

bool DecodePngPicture(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                      BgraPicture& out) {
    out = {};
    try {
        if (Decode(bytes, maxPixels, out)) return true;
    } catch (const std::bad_alloc&) {
    }
    out = {};
    return false;
}

Bytes EncodePngPicture(const BgraPicture& picture) {
    try {
        return Encode(picture);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace iconvale
