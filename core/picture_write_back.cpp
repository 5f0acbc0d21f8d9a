#include "core/picture_write_back.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "core/embedded_pictures.h"
#include "core/list_pictures.h"
#include "core/picture_collections.h"
#include "core/text_codecs.h"
#include "core/value_layout.h"

namespace iconvale {

namespace {

// The VCL's value types this writer puts in a binary form.
constexpr std::uint8_t kList = 1;
constexpr std::uint8_t kString = 6;
constexpr std::uint8_t kBinary = 10;
constexpr std::uint8_t kCollection = 14;
constexpr std::uint8_t kUtf8String = 20;
constexpr std::size_t kHexBytesPerRow = 32;

std::uint64_t Fingerprint(const Bytes& bytes) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (std::uint8_t b : bytes) hash = (hash ^ b) * 0x100000001B3ull;
    return hash;
}

// The images of one given size as pictures, with the size of the list they are written into.
struct GivenSize {
    int width = 0;  // of the list's size, before the write
    int height = 0;
    std::vector<BgraPicture> pictures;
};

// What becomes of one item of the new collection.
struct PlannedItem {
    int source = -1;                        // the item it keeps, or -1 for a new one
    std::map<std::size_t, Bytes> replaced;  // picture index -> its new PNG
    std::vector<Bytes> added;               // PNGs of sizes the item had no picture of
    std::string name;                       // for a new item
};

class CollectionWriter {
public:
    CollectionWriter(std::span<const std::uint8_t> file, bool binary,
                     const ContainedImageList& list)
        : file_(file), binary_(binary), list_(list), items_(list.pictures.items) {}

    Bytes Write(std::vector<GivenSize> given) {
        if (given.empty()) return {};
        given_ = std::move(given);
        const std::size_t count = given_[0].pictures.size();
        std::vector<PlannedItem> plan(count);
        Match(plan);
        std::vector<std::string> names;
        for (const PlannedItem& item : plan)
            if (item.source >= 0) names.push_back(items_[item.source].name);
        for (std::size_t k = 0; k < count; ++k) {
            PlannedItem& item = plan[k];
            if (item.source >= 0) {
                if (!PlanChanges(item, k)) return {};
                continue;
            }
            item.name = NewItemName(names);
            names.push_back(item.name);
            for (const GivenSize& size : given_) {
                Bytes png = EncodePngPicture(size.pictures[k]);
                if (png.empty()) return {};
                item.added.push_back(std::move(png));
            }
        }
        return binary_ ? BinaryValue(plan) : TextValue(plan);
    }

private:
    // Each image takes the first unused item with its pixels. When the count stayed, an image
    // still without one then takes the unused item at its own place: a replaced image keeps its
    // item and name. Otherwise it is a new image, not one that took a deleted one's place.
    void Match(std::vector<PlannedItem>& plan) {
        const GivenSize& key = given_[0];
        std::unordered_map<std::uint64_t, std::vector<std::size_t>> byPixels;
        std::vector<BgraPicture>& decoded = decodedAtKey_;
        decoded.resize(items_.size());
        for (std::size_t j = 0; j < items_.size(); ++j) {
            if (DecodeCollectionImage(list_, j, key.width, key.height, decoded[j]))
                byPixels[Fingerprint(decoded[j].bgra)].push_back(j);
        }
        std::vector<bool> used(items_.size(), false);
        for (std::size_t k = 0; k < plan.size(); ++k) {
            const BgraPicture& image = key.pictures[k];
            const auto found = byPixels.find(Fingerprint(image.bgra));
            if (found == byPixels.end()) continue;
            for (std::size_t j : found->second) {
                if (used[j] || decoded[j].bgra != image.bgra || decoded[j].width != image.width)
                    continue;
                used[j] = true;
                plan[k].source = static_cast<int>(j);
                break;
            }
        }
        for (std::size_t k = 0; k < plan.size() && plan.size() == items_.size(); ++k) {
            if (plan[k].source < 0 && !used[k]) {
                used[k] = true;
                plan[k].source = static_cast<int>(k);
            }
        }
    }

    // The pictures of a kept item that differ from the image at each given size.
    bool PlanChanges(PlannedItem& item, std::size_t k) {
        const FormPictureItem& source = items_[item.source];
        for (const GivenSize& size : given_) {
            const BgraPicture& image = size.pictures[k];
            std::size_t own = source.pictures.size();
            for (std::size_t p = 0; p < source.pictures.size(); ++p) {
                const auto file = PictureFileOf(list_.pictures.kind, source.pictures[p].data);
                const auto side = ReadPngHeader(file);
                if (side && int(side->width) == size.width && int(side->height) == size.height)
                    own = p;
            }
            // The first size's images were decoded for the matching already.
            const bool decodedBefore =
                &size == &given_[0] && image.width == size.width && image.height == size.height;
            BgraPicture now;
            const BgraPicture* old = &decodedAtKey_[item.source];
            if (!decodedBefore) {
                old = DecodeCollectionImage(list_, item.source, image.width, image.height, now)
                          ? &now
                          : nullptr;
            }
            if (old && !old->bgra.empty() && old->bgra == image.bgra) continue;
            Bytes png = EncodePngPicture(image);
            if (png.empty()) return false;
            const bool single = list_.pictures.kind != PictureCollectionKind::kImageCollection;
            if (single) own = 0;
            if (own < source.pictures.size()) {
                item.replaced[own] = std::move(png);
            } else {
                item.added.push_back(std::move(png));
            }
        }
        return true;
    }

    //--- text forms

    Bytes TextValue(const std::vector<PlannedItem>& plan) {
        const std::string_view file = AsText(file_);
        const ByteSpan value = list_.pictures.value;
        const std::string_view old = file.substr(value.offset, value.size);
        const std::size_t firstAt = items_.front().span.offset - value.offset;
        const std::size_t lastEnd = items_.back().span.end() - value.offset;
        const std::string_view lead = old.substr(1, firstAt - 1);
        const std::string_view tail = old.substr(lastEnd, old.size() - 1 - lastEnd);
        const std::string_view between =
            items_.size() > 1 ? old.substr(items_[0].span.end() - value.offset,
                                           items_[1].span.offset - items_[0].span.end())
                              : lead;
        newline_ = NewlineIn(file, "\r\n");
        const std::size_t indentAt = lead.find_last_of('\n');
        indent_ = indentAt == std::string_view::npos ? lead : lead.substr(indentAt + 1);
        std::string text = "<";
        if (!plan.empty()) text += lead;
        for (std::size_t k = 0; k < plan.size(); ++k) {
            if (k) text += between;
            text += ItemText(plan[k]);
        }
        if (!plan.empty()) text += tail;
        text += ">";
        return FromText(text);
    }

    std::string ItemText(const PlannedItem& item) const {
        if (item.source < 0 || !item.added.empty()) return NewItemText(item);
        const FormPictureItem& source = items_[item.source];
        const std::string_view file = AsText(file_);
        std::string text;
        std::size_t at = source.span.offset;
        for (const auto& [index, png] : item.replaced) {
            const ByteSpan span = source.pictures[index].span;
            text += file.substr(at, span.offset - at);
            const Bytes laid = LaidOut(
                png, true, MeasureLayout(file.substr(span.offset, span.size), true, newline_));
            text += AsText(laid);
            at = span.end();
        }
        text += file.substr(at, source.span.end() - at);
        return text;
    }

    // The PNGs of an item written whole, kept, replaced and added, and its name.
    std::vector<const Bytes*> ItemPictures(const PlannedItem& item, std::string& name) const {
        std::vector<const Bytes*> pictures;
        name = item.name;
        if (item.source >= 0) {
            const FormPictureItem& source = items_[item.source];
            name = source.name;
            for (std::size_t p = 0; p < source.pictures.size(); ++p) {
                const auto found = item.replaced.find(p);
                pictures.push_back(found != item.replaced.end() ? &found->second
                                                                : &source.pictures[p].data);
            }
        }
        for (const Bytes& png : item.added) pictures.push_back(&png);
        return pictures;
    }

    // An item written whole, as the designer writes one: a new image, or a kept one that gains a
    // picture of another size.
    std::string NewItemText(const PlannedItem& item) const {
        std::string name;
        const std::vector<const Bytes*> pictures = ItemPictures(item, name);
        const std::string in(indent_);
        const std::string& nl = std::string(newline_);
        std::string text = "item" + nl + in + "  Name = " + QuotedName(name) + nl;
        auto data = [&](const std::string& property, const Bytes& png, const std::string& at) {
            return at + property + " = {" + nl + HexLines(png, kHexBytesPerRow, at + "  ", nl) +
                   "}" + nl;
        };
        if (list_.pictures.kind == PictureCollectionKind::kImageCollection) {
            text += in + "  SourceImages = <" + nl;
            for (std::size_t p = 0; p < pictures.size(); ++p) {
                text += in + "    item" + nl + data("Image.Data", *pictures[p], in + "      ");
                text += in + "    end" + (p + 1 == pictures.size() ? ">" : "") + nl;
            }
        } else {
            text += data("PngImage.Data", *pictures.front(), in + "  ");
        }
        return text + in + "end";
    }

    // A Pascal string: printable ASCII quoted, everything else as #code.
    static std::string QuotedName(std::string_view name) {
        std::string text;
        bool quoted = false;
        for (std::size_t i = 0; i < name.size();) {
            std::uint32_t c = static_cast<std::uint8_t>(name[i]);
            std::size_t length = 1;
            if (c >= 0xC0) {
                length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
                c &= 0x3F >> (length - 1);
                for (std::size_t j = 1; j < length && i + j < name.size(); ++j)
                    c = c << 6 | (static_cast<std::uint8_t>(name[i + j]) & 0x3F);
            }
            i += length;
            const bool plain = c >= 0x20 && c < 0x7F;
            if (plain != quoted) text += '\'';
            quoted = plain;
            if (!plain) {
                text += '#' + std::to_string(c);
            } else {
                text += static_cast<char>(c);
                if (c == '\'') text += '\'';
            }
        }
        if (quoted) text += '\'';
        return text.empty() ? "''" : text;
    }

    //--- binary forms

    Bytes BinaryValue(const std::vector<PlannedItem>& plan) const {
        Bytes out;
        out.reserve(list_.pictures.value.size);
        out.push_back(kCollection);
        for (const PlannedItem& item : plan) {
            const Bytes bytes = ItemBytes(item);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        out.push_back(0);
        return out;
    }

    static void AppendShort(Bytes& out, std::string_view s) {
        out.push_back(static_cast<std::uint8_t>(s.size()));
        out.insert(out.end(), s.begin(), s.end());
    }

    static void AppendBinary(Bytes& out, const Bytes& data) {
        out.push_back(kBinary);
        AppendU32(out, static_cast<std::uint32_t>(data.size()));
        out.insert(out.end(), data.begin(), data.end());
    }

    Bytes ItemBytes(const PlannedItem& item) const {
        if (item.source >= 0 && item.added.empty()) {
            const FormPictureItem& source = items_[item.source];
            Bytes out;
            std::size_t at = source.span.offset;
            for (const auto& [index, png] : item.replaced) {
                const ByteSpan span = source.pictures[index].span;
                out.insert(out.end(), file_.begin() + at, file_.begin() + span.offset);
                AppendU32(out, static_cast<std::uint32_t>(png.size()));
                out.insert(out.end(), png.begin(), png.end());
                at = span.end();
            }
            out.insert(out.end(), file_.begin() + at, file_.begin() + source.span.end());
            return out;
        }
        std::string name;
        const std::vector<const Bytes*> pictures = ItemPictures(item, name);
        Bytes out;
        out.reserve(64);
        out.push_back(kList);
        AppendShort(out, "Name");
        const bool ascii = name.size() < 256 && std::all_of(name.begin(), name.end(), [](char c) {
                               return static_cast<std::uint8_t>(c) < 0x80;
                           });
        if (ascii) {
            out.push_back(kString);
            AppendShort(out, name);
        } else {
            out.push_back(kUtf8String);
            AppendU32(out, static_cast<std::uint32_t>(name.size()));
            out.insert(out.end(), name.begin(), name.end());
        }
        if (list_.pictures.kind == PictureCollectionKind::kImageCollection) {
            AppendShort(out, "SourceImages");
            out.push_back(kCollection);
            for (const Bytes* png : pictures) {
                out.push_back(kList);
                AppendShort(out, "Image.Data");
                AppendBinary(out, *png);
                out.push_back(0);
            }
            out.push_back(0);
        } else {
            AppendShort(out, "PngImage.Data");
            AppendBinary(out, *pictures.front());
        }
        out.push_back(0);
        return out;
    }

    std::span<const std::uint8_t> file_;
    bool binary_;
    const ContainedImageList& list_;
    const std::vector<FormPictureItem>& items_;
    std::vector<GivenSize> given_;
    std::vector<BgraPicture> decodedAtKey_;  // each item at the first given size
    std::string_view newline_ = "\r\n";
    std::string_view indent_;
};

}  // namespace

std::string NewItemName(const std::vector<std::string>& names) {
    struct Pattern {
        int names = 0;
        unsigned long long highest = 0;
    };
    std::map<std::string, Pattern> patterns;  // by prefix
    for (const std::string& name : names) {
        std::size_t digits = name.size();
        while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
        if (digits == name.size() || digits == 0 || name.size() - digits > 9) continue;
        Pattern& pattern = patterns[name.substr(0, digits)];
        ++pattern.names;
        pattern.highest = std::max(pattern.highest, std::stoull(name.substr(digits)));
    }
    std::string prefix = "image";
    unsigned long long next = names.size();
    int most = 0;
    for (const auto& [candidate, pattern] : patterns) {
        if (pattern.names > most) {
            most = pattern.names;
            prefix = candidate;
            next = pattern.highest + 1;
        }
    }
    for (;; ++next) {
        std::string name = prefix + std::to_string(next);
        if (std::find(names.begin(), names.end(), name) == names.end()) return name;
    }
}

Bytes WritePictureCollection(std::span<const std::uint8_t> file, bool binaryForm,
                             const ContainedImageList& list, std::span<const SizedImages> sizes,
                             ContainerError& error) {
    if (list.pictures.kind == PictureCollectionKind::kCxImageList) {
        error = {ContainerProblem::kReadOnlyList, list.line, list.name};
        return {};
    }
    if (list.pictures.items.empty() || list.pictures.value.end() > file.size()) {
        error = {ContainerProblem::kListGone, list.line, list.name};
        return {};
    }
    std::vector<GivenSize> given;
    for (const SizedImages& s : sizes) {
        const ImageListData& images = *s.images;
        GivenSize size{list.sizes[s.size].width, list.sizes[s.size].height, {}};
        const std::vector<std::uint32_t> palette =
            images.palette.empty() ? DefaultPalette(images.bitsPerPixel) : images.palette;
        for (int k = 0; k < images.count; ++k)
            size.pictures.push_back(ImageAsPicture(images, palette, k));
        given.push_back(std::move(size));
    }
    Bytes value = CollectionWriter(file, binaryForm, list).Write(std::move(given));
    if (value.empty()) error = {ContainerProblem::kBadStream, list.line, list.name};
    return value;
}

}  // namespace iconvale
