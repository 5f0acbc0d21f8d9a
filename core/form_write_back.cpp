#include "core/form_write_back.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "core/delphi_form.h"
#include "core/image_list_streamer.h"
#include "core/lazarus_form.h"
#include "core/picture_write_back.h"
#include "core/resx_image_stream.h"
#include "core/text_codecs.h"
#include "core/value_layout.h"

namespace iconvale {

namespace {

// Width and Height of both tools' image lists hold 16 when a form leaves them out.
constexpr int kDefaultSide = 16;

// The VCL's value types this writer puts in a binary form.
constexpr std::uint8_t kInt8 = 2;
constexpr std::uint8_t kInt16 = 3;
constexpr std::uint8_t kInt32 = 4;
constexpr std::uint8_t kIdent = 7;

// One change to the file: the bytes at `span` (none for an insertion) give way to `bytes`.
struct Edit {
    ByteSpan span;
    Bytes bytes;
};

// A property's value as stored, when it is an integer or an identifier.
struct StoredValue {
    bool present = false;
    long long number = -1;
    std::string ident;
};

StoredValue ReadTextValue(std::string_view text) {
    StoredValue value{true, -1, {}};
    if (text.empty()) return value;
    if (std::isalpha(static_cast<unsigned char>(text[0]))) {
        value.ident = std::string(text);
        return value;
    }
    const bool hexNumber = text[0] == '$';
    long long n = 0;
    for (char c : text.substr(hexNumber ? 1 : 0)) {
        const int digit = hexNumber ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0 || n > 0xFFFFFF) return value;
        n = n * (hexNumber ? 16 : 10) + digit;
    }
    value.number = n;
    return value;
}

StoredValue ReadBinaryValue(std::span<const std::uint8_t> value) {
    StoredValue out{true, -1, {}};
    if (value.empty()) return out;
    const std::uint8_t* p = value.data() + 1;
    switch (value[0]) {
        case kInt8:
            if (value.size() >= 2) out.number = static_cast<std::int8_t>(p[0]);
            break;
        case kInt16:
            if (value.size() >= 3) out.number = static_cast<std::int16_t>(ReadU16(p));
            break;
        case kInt32:
            if (value.size() >= 5) out.number = static_cast<std::int32_t>(ReadU32(p));
            break;
        case kIdent:
            out.ident = std::string(AsText(value.subspan(2)));
            break;
        default:
            break;
    }
    return out;
}

bool SameIdent(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

Bytes BinaryInteger(int n) {
    Bytes out;
    if (n >= -128 && n <= 127) {
        out = {kInt8, static_cast<std::uint8_t>(n)};
    } else if (n >= -32768 && n <= 32767) {
        out = {kInt16};
        AppendU16(out, static_cast<std::uint16_t>(n));
    } else {
        out = {kInt32};
        AppendU32(out, static_cast<std::uint32_t>(n));
    }
    return out;
}

Bytes ShortString(std::string_view s) {
    Bytes out(1 + s.size());
    out[0] = static_cast<std::uint8_t>(s.size());
    std::copy(s.begin(), s.end(), out.begin() + 1);
    return out;
}

// Writes the changes of one list's properties into a text or binary form.
class PropertyEdits {
public:
    PropertyEdits(std::span<const std::uint8_t> file, bool binary, std::size_t bitmapName,
                  std::vector<Edit>& edits)
        : file_(file), binary_(binary), bitmapName_(bitmapName), edits_(edits) {}

    // An integer property, added before Bitmap when absent and the value is not the default.
    void Integer(std::string_view name, ByteSpan at, int value, int byDefault) {
        const StoredValue old = Stored(at);
        if ((old.present ? old.number : byDefault) == value) return;
        Bytes bytes = binary_ ? BinaryInteger(value) : FromText(std::to_string(value));
        Put(name, at, std::move(bytes));
    }

    // An identifier property, changed only where the form has it.
    void Ident(ByteSpan at, std::string_view value) {
        const StoredValue old = Stored(at);
        // A number where a name belongs is left alone: a name in its place could run into the
        // text after it and change how the form reads.
        if (!old.present || old.ident.empty() || SameIdent(old.ident, value)) return;
        Bytes bytes = FromText(value);
        if (binary_) {
            bytes = ShortString(value);
            bytes.insert(bytes.begin(), kIdent);
        }
        edits_.push_back({at, std::move(bytes)});
    }

private:
    StoredValue Stored(ByteSpan at) const {
        if (at.size == 0 || at.end() > file_.size()) return {};
        const auto value = file_.subspan(at.offset, at.size);
        return binary_ ? ReadBinaryValue(value) : ReadTextValue(AsText(value));
    }

    void Put(std::string_view name, ByteSpan at, Bytes value) {
        if (at.size != 0) {
            edits_.push_back({at, std::move(value)});
            return;
        }
        Bytes line;
        if (binary_) {
            line = ShortString(name);
            line.insert(line.end(), value.begin(), value.end());
        } else {
            // "Name = value", a line break and the Bitmap line's own indentation, where the
            // Bitmap property's name stood.
            const std::string_view text = AsText(file_);
            const std::size_t lineBreak = text.rfind('\n', bitmapName_);
            const std::size_t start = lineBreak == std::string_view::npos ? 0 : lineBreak + 1;
            std::size_t end = start;
            while (end < bitmapName_ && (text[end] == ' ' || text[end] == '\t')) ++end;
            line = FromText(std::string(name) + " = ");
            line.insert(line.end(), value.begin(), value.end());
            const std::string_view newline = NewlineIn(text, "\r\n");
            line.insert(line.end(), newline.begin(), newline.end());
            line.insert(line.end(), text.begin() + static_cast<std::ptrdiff_t>(start),
                        text.begin() + static_cast<std::ptrdiff_t>(end));
        }
        edits_.push_back({{bitmapName_, 0}, std::move(line)});
    }

    std::span<const std::uint8_t> file_;
    bool binary_;
    std::size_t bitmapName_;
    std::vector<Edit>& edits_;
};

bool Refuse(ContainerError& error, ContainerProblem problem, const ContainedImageList* list,
            const ContainedSize* size = nullptr) {
    error.problem = problem;
    if (list) {
        error.line = list->line;
        error.where = list->name;
        if (size && list->sizes.size() > 1) {
            error.width = size->width;
            error.height = size->height;
        }
    }
    return false;
}

// What one size's images must be to be written: within the budget, of a depth we write.
bool CheckImages(const ContainedImageList& list, const ContainedSize& size,
                 const ImageListData& images, ContainerError& error) {
    const bool lazarus = list.data == ContainedData::kLazarusImages;
    const int bits = lazarus ? 32 : images.bitsPerPixel;
    if (images.width == 0 || images.height == 0 || !IsSupportedDepth(images.bitsPerPixel))
        return Refuse(error, ContainerProblem::kBadStream, &list, &size);
    if (WrittenBitmapBytes(images.width, images.height, images.count, bits) > kMaxBitmapBytes ||
        std::uint64_t{images.count} * images.width * images.height * 4 > kMaxBitmapBytes)
        return Refuse(error, ContainerProblem::kTooLarge, &list, &size);
    return true;
}

// The images given for size `index`, or null when it keeps its own.
const ImageListData* GivenFor(std::span<const SizedImages> sizes, std::size_t index) {
    for (const SizedImages& given : sizes)
        if (given.size == index) return given.images;
    return nullptr;
}

// What can be written: each size named once and within the budget, and a multi-size list's
// sizes kept in step (one count, no two of one width) once the new images are in.
bool CheckSizes(const ContainedImageList& list, std::span<const SizedImages> sizes,
                ContainerError& error) {
    if (sizes.empty()) return Refuse(error, ContainerProblem::kBadStream, &list);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const SizedImages& given = sizes[i];
        if (given.size >= list.sizes.size())
            return Refuse(error, ContainerProblem::kListGone, &list);
        const ContainedSize& size = list.sizes[given.size];
        if (!given.images) return Refuse(error, ContainerProblem::kBadStream, &list, &size);
        for (std::size_t j = 0; j < i; ++j)
            if (sizes[j].size == given.size)
                return Refuse(error, ContainerProblem::kRepeatedSize, &list, &size);
        if (!CheckImages(list, size, *given.images, error)) return false;
        if (given.images->count != sizes[0].images->count)
            return Refuse(error, ContainerProblem::kSizesOutOfStep, &list, &size);
    }
    // An image collection's items carry every size of their image, so one size written alone
    // takes the others along; its sizes cannot get out of step.
    if (list.sizes.size() < 2 || list.data == ContainedData::kPictures) return true;
    const int count = sizes[0].images->count;
    auto widthOf = [&](std::size_t i) {
        const ImageListData* images = GivenFor(sizes, i);
        return images ? int{images->width} : list.sizes[i].width;
    };
    for (std::size_t i = 0; i < list.sizes.size(); ++i) {
        const ContainedSize& size = list.sizes[i];
        if (!GivenFor(sizes, i) && size.count != count)
            return Refuse(error, ContainerProblem::kSizesOutOfStep, &list, &size);
        for (std::size_t j = 0; j < i; ++j)
            if (widthOf(j) == widthOf(i))
                return Refuse(error, ContainerProblem::kRepeatedSize, &list, &size);
    }
    return true;
}

// A Lazarus value (Bitmap or BitmapAdv) with the blocks of the sizes given in it replaced, each
// encoded as its old block was ("Lz" or "Li"); empty when a block cannot be written.
Bytes SplicedBlocks(const ContainedImageList& list, bool advanced,
                    std::span<const SizedImages> sizes) {
    const Bytes& from = advanced ? list.advanced : list.bitmap;
    std::vector<std::pair<ByteSpan, Bytes>> blocks;
    for (const SizedImages& given : sizes) {
        const ContainedSize& size = list.sizes[given.size];
        if (size.advanced != advanced) continue;
        if (size.block.end() > from.size() || size.block.size < 2) return {};
        Bytes block = EncodeLazarusImages(*given.images, from[size.block.offset + 1] == 'z');
        if (block.empty()) return {};
        blocks.emplace_back(size.block, std::move(block));
    }
    std::sort(blocks.begin(), blocks.end(),
              [](const auto& a, const auto& b) { return a.first.offset < b.first.offset; });
    std::size_t total = from.size();
    for (const auto& [span, block] : blocks) total = total - span.size + block.size();
    Bytes value;
    value.reserve(total);
    std::size_t at = 0;
    for (const auto& [span, block] : blocks) {
        value.insert(value.end(), from.begin() + static_cast<std::ptrdiff_t>(at),
                     from.begin() + static_cast<std::ptrdiff_t>(span.offset));
        value.insert(value.end(), block.begin(), block.end());
        at = span.end();
    }
    value.insert(value.end(), from.begin() + static_cast<std::ptrdiff_t>(at), from.end());
    return value;
}

// The value of a list of one size as decoded: an image-list stream or a resource's record.
Bytes NewStreamValue(const ContainedImageList& list, const ImageListData& images) {
    if (list.data == ContainedData::kResxData) {
        const Bytes stream = ResxImageListStream(images);
        return stream.empty() ? Bytes{} : SerializeImageListStreamer(stream);
    }
    return WriteImageListStream(images);
}

Bytes Apply(std::span<const std::uint8_t> file, std::vector<Edit>& edits) {
    std::stable_sort(edits.begin(), edits.end(),
                     [](const Edit& a, const Edit& b) { return a.span.offset < b.span.offset; });
    std::size_t total = file.size();
    for (const Edit& edit : edits) total = total - edit.span.size + edit.bytes.size();
    Bytes out;
    out.reserve(total);
    std::size_t at = 0;
    for (const Edit& edit : edits) {
        out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(at),
                   file.begin() + static_cast<std::ptrdiff_t>(edit.span.offset));
        out.insert(out.end(), edit.bytes.begin(), edit.bytes.end());
        at = edit.span.end();
    }
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(at), file.end());
    return out;
}

// The edit that puts a property's new value (as decoded) where the old one stood.
bool ValueEdit(std::span<const std::uint8_t> file, ContainerForm form, ByteSpan span,
               const Bytes& value, std::vector<Edit>& edits) {
    if (form == ContainerForm::kDelphiBinaryForm) {
        if (value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            return false;
        Bytes counted;
        counted.reserve(4 + value.size());
        AppendU32(counted, static_cast<std::uint32_t>(value.size()));
        counted.insert(counted.end(), value.begin(), value.end());
        edits.push_back({span, std::move(counted)});
        return true;
    }
    const bool hex = form != ContainerForm::kResx;
    const std::string_view old = AsText(file.subspan(span.offset, span.size));
    edits.push_back(
        {span, LaidOut(value, hex, MeasureLayout(old, hex, NewlineIn(AsText(file), "\r\n")))});
    return true;
}

// A picture collection's value is written whole; a PNG image list's Width and Height follow
// its images, while an image collection has none, its pictures carrying their own sizes.
Bytes WriteBackPictures(std::span<const std::uint8_t> file, bool binary,
                        const ContainedImageList& list, std::span<const SizedImages> sizes,
                        ContainerError& error) {
    Bytes value = WritePictureCollection(file, binary, list, sizes, error);
    if (value.empty()) return {};
    std::vector<Edit> edits{{list.pictures.value, std::move(value)}};
    const ImageListData* base = GivenFor(sizes, 0);
    if (list.pictures.kind == PictureCollectionKind::kPngImageList && base) {
        PropertyEdits put(file, binary, list.properties.bitmapName, edits);
        put.Integer("Height", list.properties.height, base->height, kDefaultSide);
        put.Integer("Width", list.properties.width, base->width, kDefaultSide);
    }
    return Apply(file, edits);
}

Bytes WriteBack(std::span<const std::uint8_t> file, std::string_view listName,
                std::span<const SizedImages> sizes, ContainerError& error) {
    ContainerContents contents = ReadContainer(file);
    if (contents.error) {
        error = std::move(contents.error);
        return {};
    }
    const ContainedImageList* list = nullptr;
    for (const ContainedImageList& candidate : contents.lists) {
        if (candidate.name != listName) continue;
        list = &candidate;
        break;
    }
    if (listName.empty() && contents.lists.size() == 1) list = &contents.lists[0];
    if (!list) {
        error = {ContainerProblem::kListGone, 0, std::string(listName)};
        return {};
    }
    if (!CheckSizes(*list, sizes, error)) return {};
    const bool binary = contents.form == ContainerForm::kDelphiBinaryForm;
    if (list->data == ContainedData::kPictures)
        return WriteBackPictures(file, binary, *list, sizes, error);

    const ImageListData* base = GivenFor(sizes, 0);
    const bool anyAdvanced = std::any_of(sizes.begin(), sizes.end(), [&](const SizedImages& s) {
        return list->sizes[s.size].advanced;
    });
    std::vector<Edit> edits;
    for (const bool advanced : {false, true}) {
        if (advanced ? !anyAdvanced : !base) continue;
        const Bytes value = list->data == ContainedData::kLazarusImages
                                ? SplicedBlocks(*list, advanced, sizes)
                                : NewStreamValue(*list, *base);
        std::size_t named = 0;  // the size an error names: the base, or the first further one
        while (advanced && !list->sizes[named].advanced) ++named;
        const ContainedSize& first = list->sizes[named];
        if (value.empty()) {
            Refuse(error, ContainerProblem::kBadStream, list, &first);
            return {};
        }
        if (contents.form == ContainerForm::kStream) return value;
        if (!ValueEdit(file, contents.form, advanced ? list->advancedSpan : list->bitmapSpan, value,
                       edits)) {
            Refuse(error, ContainerProblem::kTooLarge, list, &first);
            return {};
        }
    }
    // A form's Width, Height and ColorDepth describe the base size.
    if (contents.form != ContainerForm::kResx && base) {
        const FormListProperties& properties = list->properties;
        PropertyEdits put(file, contents.form == ContainerForm::kDelphiBinaryForm,
                          properties.bitmapName, edits);
        put.Integer("Height", properties.height, base->height, kDefaultSide);
        put.Integer("Width", properties.width, base->width, kDefaultSide);
        if (list->data == ContainedData::kStream)
            put.Ident(properties.colorDepth, DelphiColorDepth(base->flags));
    }
    return Apply(file, edits);
}

}  // namespace

Bytes WriteBackList(std::span<const std::uint8_t> file, std::string_view listName, std::size_t size,
                    const ImageListData& images, ContainerError& error) {
    const SizedImages one{size, &images};
    return WriteBackSizes(file, listName, {&one, 1}, error);
}

Bytes WriteBackSizes(std::span<const std::uint8_t> file, std::string_view listName,
                     std::span<const SizedImages> sizes, ContainerError& error) {
    try {
        return WriteBack(file, listName, sizes, error);
    } catch (const std::bad_alloc&) {
        error = {};
        error.problem = ContainerProblem::kOutOfMemory;
        return {};
    }
}

std::uint64_t ListFingerprint(const ContainedImageList& list) {
    // FNV-1a over both values, each followed by its length so that bytes cannot move between them.
    std::uint64_t hash = 0xCBF29CE484222325ull;
    auto add = [&hash](std::uint8_t b) {
        hash ^= b;
        hash *= 0x100000001B3ull;
    };
    auto addValue = [&add](const Bytes& value) {
        for (std::uint8_t b : value) add(b);
        for (int shift = 0; shift < 64; shift += 8)
            add(static_cast<std::uint8_t>(value.size() >> shift));
    };
    addValue(list.bitmap);
    addValue(list.advanced);
    for (const FormPictureItem& item : list.pictures.items) {
        addValue(Bytes(item.name.begin(), item.name.end()));
        for (const FormPicture& picture : item.pictures) addValue(picture.data);
    }
    return hash;
}

}  // namespace iconvale
