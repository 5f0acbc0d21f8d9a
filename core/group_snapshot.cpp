#include "core/group_snapshot.h"

#include "core/bit_rows.h"
#include "core/image_order.h"
#include "ui/large_buffer.h"

namespace iconvale {

namespace {

// "ILSN", and a version that changes whenever the layout does.
constexpr std::uint32_t kSnapshotTag = 0x4E534C49;
constexpr std::uint16_t kSnapshotVersion = 1;
constexpr std::size_t kSnapshotHeaderSize = 36;

bool ConsistentFields(const ImageListData& fields) {
    const int depth = fields.flags & kDepthBits;
    if (fields.width == 0 || fields.height == 0 || !IsSupportedDepth(fields.bitsPerPixel)) {
        return false;
    }
    if (depth != kDeviceDepth && depth != fields.bitsPerPixel) return false;
    return fields.palette.size() <= (fields.bitsPerPixel <= 8 ? 1u << fields.bitsPerPixel : 0u);
}

// Bytes of the cells of a snapshot of these fields, or nullopt when they would not fit in memory.
std::optional<std::size_t> CellBytes(const ImageListData& fields) {
    const std::uint64_t image = RowStride(fields.width, fields.bitsPerPixel) * fields.height;
    const std::uint64_t mask = fields.HasMask() ? RowStride(fields.width, 1) * fields.height : 0;
    const std::uint64_t total = (image + mask) * fields.count;
    if (total > SIZE_MAX - kSnapshotHeaderSize - 4 * 256) return std::nullopt;
    return static_cast<std::size_t>(total);
}

// Copies cells into per-image blocks at `out`, taking cell order[i] (or i) for block i.
std::uint8_t* PackCells(std::uint8_t* out, const CellRows& cells, std::span<const int> order,
                        int count, int height, std::size_t rowBytes, std::size_t cellBits) {
    for (int i = 0; i < count; ++i) {
        const int from = order.empty() ? i : order[i];
        for (int y = 0; y < height; ++y, out += rowBytes) {
            CopyBits(out, 0, cells.Row(from, y), cells.FirstBit(from), cellBits);
        }
    }
    return out;
}

std::uint8_t* Put16(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
    return out + 2;
}

std::uint8_t* Put32(std::uint8_t* out, std::uint32_t value) {
    return Put16(Put16(out, value & 0xFFFF), value >> 16);
}

}  // namespace

Bytes WriteGroupSnapshot(const ImageListData& fields, const CellRows& image, const CellRows* mask,
                         std::span<const int> order) {
    if (!ConsistentFields(fields) || fields.HasMask() != (mask != nullptr)) return {};
    if (!order.empty() && !IsPermutation(order, fields.count)) return {};
    const auto cellBytes = CellBytes(fields);
    if (!cellBytes) return {};

    Bytes out;
    if (!TryResize(out, kSnapshotHeaderSize + 4 * fields.palette.size() + *cellBytes)) return {};
    std::uint8_t* at = Put32(out.data(), kSnapshotTag);
    at = Put16(Put16(at, kSnapshotVersion), 0);  // the pixels start four-byte aligned
    for (std::uint32_t value :
         {fields.count, fields.capacity, fields.grow, fields.width, fields.height, fields.flags}) {
        at = Put16(at, value);
    }
    at = Put32(at, fields.background);
    for (auto overlay : fields.overlays) at = Put16(at, static_cast<std::uint16_t>(overlay));
    at = Put16(at, static_cast<std::uint32_t>(fields.bitsPerPixel));
    at = Put16(at, static_cast<std::uint32_t>(fields.palette.size()));
    for (std::uint32_t entry : fields.palette) at = Put32(at, entry);

    const std::size_t cellBits = std::size_t{fields.width} * fields.bitsPerPixel;
    at = PackCells(at, image, order, fields.count, fields.height, fields.RowBytes(), cellBits);
    if (mask) {
        PackCells(at, *mask, order, fields.count, fields.height, fields.MaskRowBytes(),
                  fields.width);
    }
    return out;
}

std::optional<GroupSnapshotView> ReadGroupSnapshot(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes.data(), bytes.size());
    ImageListData fields;
    const std::uint32_t tag = in.U32();
    const std::uint16_t version = in.U16();
    in.U16();
    for (std::uint16_t* value : {&fields.count, &fields.capacity, &fields.grow, &fields.width,
                                 &fields.height, &fields.flags}) {
        *value = in.U16();
    }
    fields.background = in.U32();
    for (auto& overlay : fields.overlays) overlay = static_cast<std::int16_t>(in.U16());
    fields.bitsPerPixel = in.U16();
    const std::uint16_t paletteSize = in.U16();
    if (!in.ok() || tag != kSnapshotTag || version != kSnapshotVersion) return std::nullopt;
    if (paletteSize > 256) return std::nullopt;
    const std::uint8_t* table = in.Span(std::size_t{paletteSize} * 4);
    if (!table) return std::nullopt;
    for (std::size_t i = 0; i < paletteSize; ++i) fields.palette.push_back(ReadU32(table + 4 * i));
    if (!ConsistentFields(fields)) return std::nullopt;

    const auto cellBytes = CellBytes(fields);
    if (!cellBytes || *cellBytes != in.remaining()) return std::nullopt;
    const std::uint8_t* pixels = in.Span(fields.ImageBytes() * fields.count);
    const std::uint8_t* masks = pixels + fields.ImageBytes() * fields.count;
    const CellRows image = CellRows::Blocks(pixels, fields.RowBytes(), fields.height);
    std::optional<CellRows> mask;
    if (fields.HasMask()) mask = CellRows::Blocks(masks, fields.MaskRowBytes(), fields.height);
    return GroupSnapshotView{std::move(fields), image, mask};
}

}  // namespace iconvale
