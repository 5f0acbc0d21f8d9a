#include "core/form_binary.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/form_collections.h"
#include "core/text_codecs.h"

namespace iconvale {

namespace {

// The VCL's value types (TValueType), as the byte in front of each property value.
enum ValueType : std::uint8_t {
    kNull = 0,
    kList = 1,
    kInt8 = 2,
    kInt16 = 3,
    kInt32 = 4,
    kExtended = 5,
    kString = 6,
    kIdent = 7,
    kFalse = 8,
    kTrue = 9,
    kBinary = 10,
    kSet = 11,
    kLString = 12,
    kNil = 13,
    kCollection = 14,
    kSingle = 15,
    kCurrency = 16,
    kDate = 17,
    kWString = 18,
    kInt64 = 19,
    kUtf8String = 20,
    kDouble = 21,
};

constexpr std::uint8_t kChildPosFlag = 0x02;  // ffChildPos: an integer follows the flags

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

class BinaryFormParser {
public:
    explicit BinaryFormParser(std::span<const std::uint8_t> bytes)
        : reader_(bytes.data(), bytes.size()) {}

    FormObjects Parse() {
        reader_.Span(sizeof kBinaryFormSignature);
        ParseObject(0);
        if (ok() && reader_.remaining() != 0) Fail(ContainerProblem::kBadSyntax);
        if (!ok()) {
            result_.bitmaps.clear();
            result_.collections.clear();
        }
        return std::move(result_);
    }

private:
    bool ok() const { return !result_.error && reader_.ok(); }

    void Fail(ContainerProblem problem) {
        if (!result_.error) result_.error.problem = problem;
    }

    // Reads fail softly: a read past the end poisons the reader, which becomes "truncated".
    bool Check() {
        if (!reader_.ok() && !result_.error) result_.error.problem = ContainerProblem::kTruncated;
        return ok();
    }

    std::uint8_t Byte() {
        const std::uint8_t* p = reader_.Span(1);
        return p ? *p : 0;
    }

    std::uint8_t Peek() {
        if (reader_.remaining() == 0) {
            reader_.Span(1);  // poisons
            return 0;
        }
        ByteReader copy = reader_;
        return *copy.Span(1);
    }

    std::string_view ShortString() {
        std::uint8_t n = Byte();
        const std::uint8_t* p = reader_.Span(n);
        return p ? std::string_view(reinterpret_cast<const char*>(p), n) : std::string_view();
    }

    // A 32-bit length followed by that many units of `unit` bytes.
    const std::uint8_t* Counted(std::size_t unit, std::uint32_t* length = nullptr) {
        std::int32_t n = reader_.I32();
        if (!Check()) return nullptr;
        if (n < 0) {
            Fail(ContainerProblem::kBadSyntax);
            return nullptr;
        }
        if (static_cast<std::uint64_t>(n) * unit > reader_.remaining()) {
            Fail(ContainerProblem::kTruncated);
            return nullptr;
        }
        if (length) *length = static_cast<std::uint32_t>(n);
        return reader_.Span(static_cast<std::size_t>(n) * unit);
    }

    void Skip(std::size_t n) { reader_.Span(n); }

    void ParseObject(int depth) {
        if (depth > kMaxFormDepth) return Fail(ContainerProblem::kTooDeep);
        std::uint8_t prefix = Peek();
        if (!Check()) return;
        if ((prefix & 0xF0) == 0xF0) {
            Byte();
            if (prefix & kChildPosFlag) ParseInteger();
        }
        std::string_view className = ShortString();
        std::string_view name = ShortString();
        if (!Check()) return;
        const std::size_t bitmapsBefore = result_.bitmaps.size();
        const std::size_t collectionsBefore = result_.collections.size();
        bool haveBitmap = false;
        FormBitmap entry{
            std::string(name), std::string(className), 0, objectsOpened_++, {}, {}, {}, {}, {}};
        std::optional<FormPictureCollection> collection;
        std::size_t collectionName = 0;
        // Properties, then children, each list closed by a zero byte.
        while (ok() && Peek() != kNull) {
            const std::size_t nameAt = reader_.offset();
            std::string_view property = ShortString();
            if (!Check()) return;
            if (auto kind = PictureCollectionProperty(property);
                kind && !collection && Peek() == kCollection) {
                collectionName = nameAt;
                collection = FormPictureCollection{};
                collection->kind = *kind;
                ParseCollection(*collection, depth + 1);
                if (!IsPictureCollection(*collection, className)) collection.reset();
                continue;
            }
            const bool isBitmap = SameWord(property, "Bitmap");
            ByteSpan* known = SameWord(property, "Width")        ? &entry.properties.width
                              : SameWord(property, "Height")     ? &entry.properties.height
                              : SameWord(property, "ColorDepth") ? &entry.properties.colorDepth
                                                                 : nullptr;
            if (known) {
                const std::size_t start = reader_.offset();
                const std::uint8_t type = Peek();
                ParseValue(depth + 1);
                const bool integer = type == kInt8 || type == kInt16 || type == kInt32;
                if (ok() && (integer || type == kIdent)) *known = {start, reader_.offset() - start};
            } else if ((isBitmap || SameWord(property, "BitmapAdv")) && Peek() == kBinary) {
                if (isBitmap) entry.properties.bitmapName = nameAt;
                Byte();
                const std::size_t start = reader_.offset();
                std::uint32_t n = 0;
                const std::uint8_t* p = Counted(1, &n);
                if (!p) return;
                (isBitmap ? entry.bitmap : entry.advanced).assign(p, p + n);
                (isBitmap ? entry.bitmapSpan : entry.advancedSpan) = {start, 4 + std::size_t{n}};
                haveBitmap = haveBitmap || isBitmap;
            } else {
                ParseValue(depth + 1);
            }
        }
        Byte();
        while (ok() && Peek() != kNull) ParseObject(depth + 1);
        Byte();
        if (!Check()) return;
        if (collection) {
            PlaceCollection(result_, collectionsBefore, std::move(*collection), entry,
                            collectionName);
            return;
        }
        if (!haveBitmap) return;
        result_.bitmaps.insert(result_.bitmaps.begin() + static_cast<std::ptrdiff_t>(bitmapsBefore),
                               std::move(entry));
    }

    // A collection of pictures: its items' names and picture values, the rest skipped.
    void ParseCollection(FormPictureCollection& collection, int depth) {
        if (depth > kMaxFormDepth) return Fail(ContainerProblem::kTooDeep);
        const std::size_t start = reader_.offset();
        Byte();  // the value type
        while (ok() && Peek() != kNull) {
            FormPictureItem item;
            item.span.offset = reader_.offset();
            const std::uint8_t next = Peek();
            if (next == kInt8 || next == kInt16 || next == kInt32) ParseInteger();
            if (Byte() != kList) {
                if (Check()) Fail(ContainerProblem::kBadSyntax);
                return;
            }
            while (ok() && Peek() != kNull) {
                const ItemProperty property = ItemPropertyOf(collection.kind, ShortString());
                if (!Check()) return;
                const std::uint8_t type = Peek();
                if (property == ItemProperty::kName && IsTextType(type)) {
                    item.name = TextValue();
                } else if ((property == ItemProperty::kPicture ||
                            property == ItemProperty::kMask) &&
                           type == kBinary) {
                    Byte();
                    FormPicture picture;
                    const std::size_t at = reader_.offset();
                    std::uint32_t n = 0;
                    const std::uint8_t* p = Counted(1, &n);
                    if (!p) return;
                    picture.data.assign(p, p + n);
                    picture.span = {at, 4 + std::size_t{n}};
                    AddItemPicture(item, property, std::move(picture));
                } else if (property == ItemProperty::kSources && type == kCollection) {
                    FormPictureCollection sources;
                    sources.kind = kSourceImagesKind;
                    ParseCollection(sources, depth + 1);
                    AddSourcePictures(item, sources);
                } else {
                    ParseValue(depth + 1);
                }
            }
            Byte();
            if (!Check()) return;
            item.span.size = reader_.offset() - item.span.offset;
            collection.items.push_back(std::move(item));
        }
        Byte();
        if (Check()) collection.value = {start, reader_.offset() - start};
    }

    static bool IsTextType(std::uint8_t type) {
        return type == kString || type == kLString || type == kWString || type == kUtf8String;
    }

    // A string value as UTF-8; the 8-bit kinds keep their bytes as they are.
    std::string TextValue() {
        const std::uint8_t type = Byte();
        if (type == kString) return std::string(ShortString());
        std::uint32_t n = 0;
        const std::uint8_t* p = Counted(type == kWString ? 2 : 1, &n);
        if (!p) return {};
        if (type != kWString) return std::string(reinterpret_cast<const char*>(p), n);
        std::string text;
        for (std::uint32_t i = 0; i < n; ++i) {
            std::uint32_t unit = ReadU16(p + 2 * i);
            if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < n) {
                const std::uint32_t low = ReadU16(p + 2 * (i + 1));
                if (low >= 0xDC00 && low < 0xE000) {
                    unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            AppendUtf8(text, unit);
        }
        return text;
    }

    void ParseInteger() {
        switch (Byte()) {
            case kInt8:
                return Skip(1);
            case kInt16:
                return Skip(2);
            case kInt32:
                return Skip(4);
            case kInt64:
                return Skip(8);
            default:
                if (Check()) Fail(ContainerProblem::kBadSyntax);
        }
    }

    void ParseValue(int depth) {
        if (depth > kMaxFormDepth) return Fail(ContainerProblem::kTooDeep);
        std::uint8_t type = Byte();
        if (!Check()) return;
        switch (type) {
            case kList:
                while (ok() && Peek() != kNull) ParseValue(depth + 1);
                Byte();
                break;
            case kInt8:
                Skip(1);
                break;
            case kInt16:
                Skip(2);
                break;
            case kInt32:
            case kSingle:
                Skip(4);
                break;
            case kExtended:
                Skip(10);
                break;
            case kCurrency:
            case kDate:
            case kInt64:
            case kDouble:
                Skip(8);
                break;
            case kString:
            case kIdent:
                ShortString();
                break;
            case kFalse:
            case kTrue:
            case kNil:
                break;
            case kBinary:
            case kLString:
            case kUtf8String:
                Counted(1);
                break;
            case kWString:
                Counted(2);
                break;
            case kSet:
                while (ok() && !ShortString().empty()) {
                }
                break;
            case kCollection:
                while (ok() && Peek() != kNull) {
                    std::uint8_t next = Peek();
                    if (next == kInt8 || next == kInt16 || next == kInt32) ParseInteger();
                    if (Byte() != kList) {
                        if (Check()) Fail(ContainerProblem::kBadSyntax);
                        return;
                    }
                    while (ok() && Peek() != kNull) {
                        ShortString();
                        ParseValue(depth + 1);
                    }
                    Byte();
                }
                Byte();
                break;
            default:
                Fail(ContainerProblem::kBadSyntax);
                break;
        }
        Check();
    }

    ByteReader reader_;
    FormObjects result_;
    int objectsOpened_ = 0;
};

}  // namespace

bool LooksLikeBinaryForm(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= sizeof kBinaryFormSignature &&
           std::memcmp(bytes.data(), kBinaryFormSignature, sizeof kBinaryFormSignature) == 0;
}

FormObjects ReadBinaryForm(std::span<const std::uint8_t> bytes) {
    return BinaryFormParser(bytes).Parse();
}

}  // namespace iconvale
