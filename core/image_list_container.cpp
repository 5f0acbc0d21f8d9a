#include "core/image_list_container.h"

#include <cctype>
#include <new>

#include "core/delphi_form.h"
#include "core/form_binary.h"
#include "core/form_text.h"
#include "core/lazarus_form.h"
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

bool DecodeStream(ContainedImageList& entry, ContainerError& error) {
    auto list = ParseImageListStream(entry.stream);
    if (!list) {
        error = {ContainerProblem::kBadStream, entry.line, entry.name};
        return false;
    }
    entry.list = std::move(*list);
    return true;
}

// Objects of a form whose Bitmap holds a stream or Lazarus images; other objects with a Bitmap
// are left alone unless their class says they are image lists.
void TakeFormLists(FormObjects& objects, ContainerContents& out) {
    bool lazarus = false;
    for (FormBitmap& object : objects.bitmaps) {
        ContainedImageList entry{
            std::move(object.name), std::move(object.className), object.line, {}, {}};
        if (IsStream(object.bitmap)) {
            entry.stream = std::move(object.bitmap);
            if (!DecodeStream(entry, out.error)) return;
        } else if (IsLazarusImageData(object.bitmap)) {
            lazarus = true;
            auto list = DecodeLazarusImages(object.bitmap, out.error);
            if (!list) {
                out.error.line = entry.line;
                out.error.where = entry.name;
                return;
            }
            entry.list = std::move(*list);
        } else if (NamesImageList(entry.className)) {
            out.error = {ContainerProblem::kBadSignature, entry.line, entry.name};
            return;
        } else {
            continue;
        }
        out.lists.push_back(std::move(entry));
    }
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
            entry.stream.assign(bytes.begin(), bytes.end());
            if (DecodeStream(entry, out.error)) out.lists.push_back(std::move(entry));
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
            TakeFormLists(objects, out);
            break;
        }
        case ContainerForm::kResx:
            for (ResxImageStream& found : ReadResxImageStreams(AsText(bytes), out.error)) {
                ContainedImageList entry{std::move(found.name),
                                         std::string(kResxClass),
                                         found.line,
                                         std::move(found.stream),
                                         {}};
                if (!DecodeStream(entry, out.error)) break;
                out.lists.push_back(std::move(entry));
            }
            break;
    }
    if (out.error) out.lists.clear();
    return out;
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
                Bytes stream = WriteImageListStream(list);
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
