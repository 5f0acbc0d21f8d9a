#include "core/picture_collections.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/embedded_pictures.h"
#include "core/image_scaling.h"

namespace iconvale {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr int kDefaultSide = 16;  // a list component's Width and Height when the form has none

bool IsPng(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= sizeof kPngSignature &&
           std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0;
}

// A Width or Height as the form stores it: decimal text, or a binary form's typed integer.
int PropertyNumber(std::span<const std::uint8_t> file, ByteSpan span, bool binaryForm) {
    if (span.size == 0 || span.end() > file.size()) return kDefaultSide;
    const std::uint8_t* p = file.data() + span.offset;
    if (binaryForm) {
        switch (p[0]) {
            case 2:
                return span.size >= 2 ? static_cast<std::int8_t>(p[1]) : 0;
            case 3:
                return span.size >= 3 ? static_cast<std::int16_t>(ReadU16(p + 1)) : 0;
            case 4:
                return span.size >= 5 ? static_cast<std::int32_t>(ReadU32(p + 1)) : 0;
            default:
                return 0;
        }
    }
    int value = 0;
    for (std::size_t i = 0; i < span.size; ++i) {
        if (p[i] < '0' || p[i] > '9' || value > 0xFFFFF) return 0;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

struct Side {
    int width = 0;
    int height = 0;
    bool operator==(const Side&) const = default;
};

std::optional<Side> PictureSide(PictureCollectionKind kind, std::span<const std::uint8_t> value) {
    const std::span<const std::uint8_t> file = PictureFileOf(kind, value);
    std::optional<PictureHeader> header;
    if (IsPng(file)) {
        header = ReadPngHeader(file);
    } else if (kind == PictureCollectionKind::kCxImageList) {
        header = ReadBmpHeader(file);
    }
    if (!header || header->width == 0 || header->height == 0 || header->width > 0xFFFF ||
        header->height > 0xFFFF ||
        std::uint64_t{header->width} * header->height > kMaxCollectionPicturePixels) {
        return std::nullopt;
    }
    return Side{static_cast<int>(header->width), static_cast<int>(header->height)};
}

// "ImageCollection1.Save", or "ImageCollection1[3]" for an item without a name.
std::string ItemPlace(const ContainedImageList& entry, std::size_t index) {
    const std::string& name = entry.pictures.items[index].name;
    std::string place = entry.name;
    if (name.empty()) {
        place.append("[").append(std::to_string(index)).append("]");
    } else {
        place.append(".").append(name);
    }
    return place;
}

bool Fail(ContainerError& error, ContainerProblem problem, const ContainedImageList& entry,
          std::size_t item) {
    error = {problem, entry.line, ItemPlace(entry, item)};
    return false;
}

// The picture of an item that best makes an image of `side`: its own, else the smallest larger
// one, else the largest.
std::size_t PictureFor(const std::vector<Side>& sides, Side side) {
    std::size_t best = 0;
    auto area = [](Side s) {
        return std::uint64_t{static_cast<std::uint32_t>(s.width)} * s.height;
    };
    auto covers = [side](Side s) { return s.width >= side.width && s.height >= side.height; };
    for (std::size_t i = 0; i < sides.size(); ++i) {
        if (sides[i] == side) return i;
        const bool better = covers(sides[i])
                                ? !covers(sides[best]) || area(sides[i]) < area(sides[best])
                                : !covers(sides[best]) && area(sides[i]) > area(sides[best]);
        if (better) best = i;
    }
    return best;
}

// The DevExpress mask: a 1-bit BMP where a white pixel is transparent.
void ApplyMask(PictureCollectionKind kind, const FormPicture& mask, BgraPicture& picture) {
    BgraPicture bits;
    if (mask.data.empty() ||
        !DecodeBmpPicture(PictureFileOf(kind, mask.data), kMaxCollectionPicturePixels, bits) ||
        bits.width != picture.width || bits.height != picture.height) {
        return;
    }
    for (std::size_t i = 0; i + 3 < bits.bgra.size(); i += 4)
        if (bits.bgra[i] >= 0x80) picture.bgra[i + 3] = 0;
}

}  // namespace

bool DecodeCollectionImage(const ContainedImageList& entry, std::size_t item, int width, int height,
                           BgraPicture& out) {
    const Side side{width, height};
    const PictureCollectionKind kind = entry.pictures.kind;
    const FormPictureItem& source = entry.pictures.items[item];
    std::vector<Side> sides;
    for (const FormPicture& picture : source.pictures)
        sides.push_back(PictureSide(kind, picture.data).value_or(Side{}));
    const std::size_t chosen = PictureFor(sides, side);
    const std::span<const std::uint8_t> file = PictureFileOf(kind, source.pictures[chosen].data);
    BgraPicture picture;
    if (IsPng(file)) {
        if (!DecodePngPicture(file, kMaxCollectionPicturePixels, picture)) return false;
    } else {
        if (!DecodeBmpPicture(file, kMaxCollectionPicturePixels, picture)) return false;
        // A bitmap without alpha stores zeros there: it is opaque, and its mask says otherwise.
        bool anyAlpha = false;
        for (std::size_t i = 3; i < picture.bgra.size() && !anyAlpha; i += 4)
            anyAlpha = picture.bgra[i] != 0;
        if (!anyAlpha) {
            for (std::size_t i = 3; i < picture.bgra.size(); i += 4) picture.bgra[i] = 0xFF;
            ApplyMask(kind, source.mask, picture);
        }
    }
    if (picture.width != side.width || picture.height != side.height) {
        picture.bgra =
            ScaleBgra(picture.bgra, picture.width, picture.height, side.width, side.height);
        if (picture.bgra.empty()) return false;
        picture.width = side.width;
        picture.height = side.height;
    }
    out = std::move(picture);
    return true;
}

std::span<const std::uint8_t> PictureFileOf(PictureCollectionKind kind,
                                            std::span<const std::uint8_t> value) {
    if (kind != PictureCollectionKind::kCxImageList || IsPng(value) || value.size() < 6)
        return value;
    const std::uint32_t length = ReadU32(value.data());
    if (value[4] != 'B' || value[5] != 'M' || length > value.size() - 4) return value;
    return value.subspan(4, length);
}

bool DescribePictureCollection(std::span<const std::uint8_t> file, bool binaryForm,
                               ContainedImageList& entry, ContainerError& error) {
    const FormPictureCollection& collection = entry.pictures;
    if (collection.items.empty()) {
        error = {ContainerProblem::kEmptyCollection, entry.line, entry.name};
        return false;
    }
    if (collection.items.size() > 0xFFFF) {
        error = {ContainerProblem::kTooLarge, entry.line, entry.name};
        return false;
    }
    const bool manySizes = collection.kind == PictureCollectionKind::kImageCollection;
    const Side listSide{PropertyNumber(file, collection.properties.width, binaryForm),
                        PropertyNumber(file, collection.properties.height, binaryForm)};
    std::vector<Side> sides;
    if (!manySizes) {
        if (listSide.width <= 0 || listSide.height <= 0 || listSide.width > 0xFFFF ||
            listSide.height > 0xFFFF) {
            error = {ContainerProblem::kTooLarge, entry.line, entry.name};
            return false;
        }
        sides.push_back(listSide);
    }
    for (std::size_t i = 0; i < collection.items.size(); ++i) {
        const FormPictureItem& item = collection.items[i];
        entry.names.push_back(item.name);
        if (item.pictures.empty() || (!manySizes && item.pictures.size() != 1))
            return Fail(error, ContainerProblem::kBadPicture, entry, i);
        for (const FormPicture& picture : item.pictures) {
            const auto side = PictureSide(collection.kind, picture.data);
            if (!side) return Fail(error, ContainerProblem::kBadPicture, entry, i);
            if (!manySizes && *side != listSide)
                return Fail(error, ContainerProblem::kPictureSize, entry, i);
            if (manySizes && std::find(sides.begin(), sides.end(), *side) == sides.end())
                sides.push_back(*side);
        }
    }
    std::sort(sides.begin(), sides.end(), [](Side a, Side b) {
        return a.width != b.width ? a.width < b.width : a.height < b.height;
    });
    const auto count = static_cast<std::uint16_t>(collection.items.size());
    for (const Side side : sides) {
        if (WrittenBitmapBytes(side.width, side.height, count, 32) > kMaxBitmapBytes) {
            error = {ContainerProblem::kTooLarge, entry.line, entry.name, side.width, side.height};
            return false;
        }
        entry.sizes.push_back({side.width, side.height, count, false, {}});
    }
    ImageListData& figures = entry.figures;
    figures.count = figures.capacity = count;
    figures.grow = 4;
    figures.width = static_cast<std::uint16_t>(sides[0].width);
    figures.height = static_cast<std::uint16_t>(sides[0].height);
    figures.flags = 32 | kMaskFlag;
    figures.bitsPerPixel = 32;
    return true;
}

std::optional<ImageListData> DecodePictureCollection(const ContainedImageList& entry,
                                                     std::size_t size, ContainerError& error) {
    if (size >= entry.sizes.size()) return std::nullopt;
    const Side side{entry.sizes[size].width, entry.sizes[size].height};
    ImageListData list = entry.figures;
    list.width = static_cast<std::uint16_t>(side.width);
    list.height = static_cast<std::uint16_t>(side.height);
    list.AllocateImages();
    const std::size_t rowBytes = static_cast<std::size_t>(side.width) * 4;
    for (std::size_t i = 0; i < entry.pictures.items.size(); ++i) {
        BgraPicture picture;
        if (!DecodeCollectionImage(entry, i, side.width, side.height, picture)) {
            Fail(error, ContainerProblem::kBadPicture, entry, i);
            return std::nullopt;
        }
        const int index = static_cast<int>(i);
        for (int y = 0; y < side.height; ++y) {
            const std::uint8_t* from = &picture.bgra[y * rowBytes];
            std::memcpy(list.ImageRow(index, y), from, rowBytes);
            for (int x = 0; x < side.width; ++x)
                if (from[x * 4 + 3] == 0) list.SetTransparent(index, x, y, true);
        }
    }
    return list;
}

}  // namespace iconvale
