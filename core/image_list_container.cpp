#include "core/image_list_container.h"

#include <cctype>
#include <new>

#include "core/delphi_form.h"
#include "core/form_binary.h"
#include "core/form_text.h"
#include "core/image_list_streamer.h"
#include "core/lazarus_form.h"
#include "core/picture_collections.h"
#include "core/resx_image_stream.h"

namespace iconvale {

namespace {

constexpr std::string_view kResxClass = "System.Windows.Forms.ImageListStreamer";

bool IsStream(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && ReadU16(bytes.data()) == kStreamMagic;
}

bool NamesImageList(std::string_view className) {
    std::string lower;
    for (char c : className)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("imagelist") != std::string::npos;
}

std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Enough of a stream for its header and the depth in its first bitmap's header.
constexpr std::size_t kStreamPrefixSize = 64;
constexpr std::size_t kBitCountOffset = kStreamHeaderSize + 14 + 14;

// The header fields of a stream from its first bytes alone, checked as far as they go.
bool ReadStreamFigures(std::span<const std::uint8_t> prefix, ContainedImageList& entry) {
    ByteReader in(prefix.data(), prefix.size());
    ImageListData& list = entry.figures;
    const std::uint16_t magic = in.U16();
    const std::uint16_t version = in.U16();
    list.count = in.U16();
    list.capacity = in.U16();
    list.grow = in.U16();
    list.width = in.U16();
    list.height = in.U16();
    list.background = in.U32();
    list.flags = in.U16();
    for (auto& overlay : list.overlays) overlay = static_cast<std::int16_t>(in.U16());
    if (!in.ok() || magic != kStreamMagic || !IsReadableVersion(version)) return false;
    if (list.width == 0 || list.height == 0 || list.capacity < list.count) return false;
    list.bitsPerPixel = list.flags & kDepthBits;
    if (list.bitsPerPixel == kDeviceDepth && prefix.size() >= kBitCountOffset + 2)
        list.bitsPerPixel = ReadU16(&prefix[kBitCountOffset]);
    entry.version = version;
    return IsSupportedDepth(list.bitsPerPixel) &&
           WrittenBitmapBytes(list.width, list.height, list.count, list.bitsPerPixel) <=
               kMaxBitmapBytes;
}

void AddBaseSize(ContainedImageList& entry, ByteSpan block) {
    entry.sizes.push_back(
        {entry.figures.width, entry.figures.height, entry.figures.count, false, block});
}

// A stream held whole (a form's Bitmap, a bare stream) is checked whole: that costs no copy.
bool DescribeStream(ContainedImageList& entry, ContainerError& error) {
    auto sheets = ParseImageListSheets(entry.bitmap);
    if (!sheets) {
        error = {ContainerProblem::kBadStream, entry.line, entry.name};
        return false;
    }
    entry.figures = std::move(sheets->list);
    entry.figures.palette.clear();
    entry.version = ReadU16(&entry.bitmap[2]);
    AddBaseSize(entry, {0, entry.bitmap.size()});
    return true;
}

// A resource's stream is run-length packed: only its first bytes are expanded here.
bool DescribeResxData(ContainedImageList& entry, ContainerError& error) {
    auto prefix = ImageListStreamerPrefix(entry.bitmap, kStreamPrefixSize, error);
    if (!prefix || !ReadStreamFigures(*prefix, entry)) {
        if (!error) error.problem = ContainerProblem::kBadStream;
        error.line = entry.line;
        error.where = entry.name;
        return false;
    }
    AddBaseSize(entry, {0, entry.bitmap.size()});
    return true;
}

bool DescribeLazarusImages(ContainedImageList& entry, ContainerError& error) {
    LazarusBlock base;
    if (!ReadLazarusBlock(entry.bitmap, base, error)) {
        error.line = entry.line;
        error.where = entry.name;
        return false;
    }
    ImageListData& list = entry.figures;
    list.count = list.capacity = base.count;
    list.grow = 4;
    list.width = base.width;
    list.height = base.height;
    list.flags = 32 | kMaskFlag;
    list.bitsPerPixel = 32;
    AddBaseSize(entry, {0, base.size});
    if (entry.advanced.empty()) return true;
    // A damaged BitmapAdv costs its sizes, not the list.
    ContainerError sizesError;
    for (const LazarusSize& size : ReadLazarusSizes(entry.advanced, base, sizesError)) {
        entry.sizes.push_back(
            {size.block.width, size.block.height, size.block.count, true, size.span});
    }
    if (sizesError) {
        sizesError.line = entry.line;
        sizesError.where = entry.name;
        entry.sizesError = std::move(sizesError);
        entry.sizes.resize(1);
    }
    return true;
}

// An object whose Bitmap holds a stream or Lazarus images; other objects with a Bitmap are
// left alone unless their class says they are image lists. False when the file is to be
// refused, with `error` set; true with nothing added for an object that holds no list.
bool TakeBitmapList(FormBitmap& object, ContainerContents& out, bool& lazarus) {
    ContainedImageList entry;
    entry.name = std::move(object.name);
    entry.className = std::move(object.className);
    entry.line = object.line;
    entry.bitmapSpan = object.bitmapSpan;
    entry.properties = object.properties;
    if (IsStream(object.bitmap)) {
        entry.bitmap = std::move(object.bitmap);
        if (!DescribeStream(entry, out.error)) return false;
    } else if (IsLazarusImageData(object.bitmap)) {
        lazarus = true;
        entry.data = ContainedData::kLazarusImages;
        entry.bitmap = std::move(object.bitmap);
        entry.advanced = std::move(object.advanced);
        entry.advancedSpan = object.advancedSpan;
        if (!DescribeLazarusImages(entry, out.error)) return false;
    } else if (NamesImageList(entry.className)) {
        out.error = {ContainerProblem::kBadSignature, entry.line, entry.name};
        return false;
    } else {
        return true;
    }
    out.lists.push_back(std::move(entry));
    return true;
}

bool TakePictureList(FormPictureCollection& collection, std::span<const std::uint8_t> file,
                     ContainerContents& out) {
    ContainedImageList entry;
    entry.name = collection.name;
    entry.className = collection.className;
    entry.line = collection.line;
    entry.data = ContainedData::kPictures;
    entry.properties = collection.properties;
    entry.pictures = std::move(collection);
    if (!DescribePictureCollection(file, out.form == ContainerForm::kDelphiBinaryForm, entry,
                                   out.error)) {
        return false;
    }
    out.lists.push_back(std::move(entry));
    return true;
}

// The form's lists in the order their objects open. An object whose picture collection makes a
// list is that list, whatever its Bitmap holds.
void TakeFormLists(FormObjects& objects, std::span<const std::uint8_t> file,
                   ContainerContents& out) {
    bool lazarus = false;
    std::size_t next = 0;
    for (FormBitmap& object : objects.bitmaps) {
        bool taken = false;
        while (next < objects.collections.size() &&
               objects.collections[next].order <= object.order) {
            taken = taken || objects.collections[next].order == object.order;
            if (!TakePictureList(objects.collections[next++], file, out)) return;
        }
        if (!taken && !TakeBitmapList(object, out, lazarus)) return;
    }
    while (next < objects.collections.size())
        if (!TakePictureList(objects.collections[next++], file, out)) return;
    if (lazarus && out.form == ContainerForm::kDelphiForm) out.form = ContainerForm::kLazarusForm;
}

ContainerContents Read(std::span<const std::uint8_t> bytes) {
    ContainerContents out;
    out.form = DetectContainerForm(bytes);
    switch (out.form) {
        case ContainerForm::kUnknown:
            out.error.problem = ContainerProblem::kUnknownForm;
            break;
        case ContainerForm::kStream: {
            ContainedImageList entry;
            entry.bitmap.assign(bytes.begin(), bytes.end());
            entry.bitmapSpan = {0, bytes.size()};
            if (DescribeStream(entry, out.error)) out.lists.push_back(std::move(entry));
            break;
        }
        case ContainerForm::kDelphiForm:
        case ContainerForm::kLazarusForm:
        case ContainerForm::kDelphiBinaryForm: {
            FormObjects objects = out.form == ContainerForm::kDelphiBinaryForm
                                      ? ReadBinaryForm(bytes)
                                      : ReadTextForm(AsText(bytes));
            if (objects.error) {
                out.error = objects.error;
                break;
            }
            TakeFormLists(objects, bytes, out);
            break;
        }
        case ContainerForm::kResx:
            for (ResxImageStream& found : ReadResxImageStreams(AsText(bytes), out.error)) {
                ContainedImageList entry;
                entry.name = std::move(found.name);
                entry.className = std::string(kResxClass);
                entry.line = found.line;
                entry.data = ContainedData::kResxData;
                entry.bitmap = std::move(found.data);
                entry.bitmapSpan = found.value;
                if (!DescribeResxData(entry, out.error)) break;
                out.lists.push_back(std::move(entry));
            }
            break;
    }
    if (out.error) out.lists.clear();
    return out;
}

std::optional<ImageListData> Decode(const ContainedImageList& list, const ContainedSize& size,
                                    ContainerError& error) {
    switch (list.data) {
        case ContainedData::kStream:
            return ParseImageListStream(list.bitmap);
        case ContainedData::kResxData: {
            auto stream = ExpandImageListStreamerData(list.bitmap, error);
            if (!stream) return std::nullopt;
            return ParseImageListStream(*stream);
        }
        case ContainedData::kPictures:
            break;  // decoded by index, below
        case ContainedData::kLazarusImages: {
            std::span<const std::uint8_t> from = size.advanced ? list.advanced : list.bitmap;
            if (size.block.end() > from.size()) return std::nullopt;
            return DecodeLazarusImages(from.subspan(size.block.offset, size.block.size), error);
        }
    }
    return std::nullopt;
}

Bytes FromText(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Component names go into form text and resource names unquoted: anything but an identifier
// (an unnamed object, a name from a damaged binary form) takes the designer's default.
std::string ComponentName(std::string_view name, std::string_view fallback) {
    bool valid =
        !name.empty() && name.size() <= 255 && !std::isdigit(static_cast<unsigned char>(name[0]));
    for (char c : name) valid = valid && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
    return std::string(valid ? name : fallback);
}

}  // namespace

ContainerForm DetectContainerForm(std::span<const std::uint8_t> bytes) {
    if (LooksLikeBinaryForm(bytes)) return ContainerForm::kDelphiBinaryForm;
    if (IsStream(bytes)) return ContainerForm::kStream;
    std::string_view text = AsText(bytes);
    // Text forms from either tool look alike; the Bitmap contents tell them apart later.
    if (LooksLikeTextForm(text)) return ContainerForm::kDelphiForm;
    if (LooksLikeResx(text)) return ContainerForm::kResx;
    return ContainerForm::kUnknown;
}

ContainerContents ReadContainer(std::span<const std::uint8_t> bytes) {
    try {
        return Read(bytes);
    } catch (const std::bad_alloc&) {
        ContainerContents out;
        out.error.problem = ContainerProblem::kOutOfMemory;
        return out;
    }
}

std::optional<ImageListData> DecodeContainedList(const ContainedImageList& list, std::size_t size,
                                                 ContainerError& error) {
    ContainerError found;
    std::optional<ImageListData> images;
    if (size < list.sizes.size()) {
        try {
            images = list.data == ContainedData::kPictures
                         ? DecodePictureCollection(list, size, found)
                         : Decode(list, list.sizes[size], found);
        } catch (const std::bad_alloc&) {
            found.problem = ContainerProblem::kOutOfMemory;
        }
    }
    if (images) return images;
    if (!found) found.problem = ContainerProblem::kBadStream;
    found.line = list.line;
    if (found.where.empty()) found.where = list.name;  // a collection's decoder names the item
    if (size < list.sizes.size() && list.sizes.size() > 1) {
        found.width = list.sizes[size].width;
        found.height = list.sizes[size].height;
    }
    error = std::move(found);
    return std::nullopt;
}

bool IsWritableList(const ContainedImageList& list) {
    return list.data != ContainedData::kPictures ||
           list.pictures.kind != PictureCollectionKind::kCxImageList;
}

Bytes WriteContainer(ContainerForm form, const ImageListData& list, std::string_view name) {
    try {
        switch (form) {
            case ContainerForm::kStream:
                return WriteImageListStream(list);
            case ContainerForm::kDelphiForm:
                return FromText(WriteDelphiFormBlock(list, ComponentName(name, "ImageList1")));
            case ContainerForm::kLazarusForm:
                return FromText(WriteLazarusFormBlock(list, ComponentName(name, "ImageList1")));
            case ContainerForm::kResx: {
                Bytes stream = ResxImageListStream(list);
                if (stream.empty()) return {};
                return FromText(WriteResxDocument(stream, ComponentName(name, "imageList1")));
            }
            case ContainerForm::kDelphiBinaryForm:
            case ContainerForm::kUnknown:
                break;
        }
    } catch (const std::bad_alloc&) {
    }
    return {};
}

}  // namespace iconvale
