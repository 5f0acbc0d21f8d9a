// Files from other ecosystems that hold image lists: Delphi forms (text and binary), Lazarus
// forms, WinForms resources and bare image-list streams. Reading finds every list in a file and
// its sizes from their headers alone; one list is decoded when it is asked for, so that a file
// of many large lists costs no more than the one taken. Writing gives a file of one form for
// one list.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/container_error.h"
#include "core/form_objects.h"
#include "core/image_list_stream.h"

namespace iconvale {

enum class ContainerForm {
    kUnknown,
    kStream,            // a bare image-list stream
    kDelphiForm,        // .dfm text
    kDelphiBinaryForm,  // .dfm starting "TPF0"; read only
    kLazarusForm,       // .lfm
    kResx,              // .resx
};

enum class ContainedData {
    kStream,         // an image-list stream
    kResxData,       // an ImageListStreamer's Data array: a stream, or "MSFt" run-length pairs
    kLazarusImages,  // Lazarus image blocks
    kPictures        // one picture file per image, in the items of a collection
};

// One size of a list: the base size in its Bitmap property, or one of a Lazarus BitmapAdv.
struct ContainedSize {
    int width = 0;
    int height = 0;
    int count = 0;
    bool advanced = false;  // from BitmapAdv
    ByteSpan block;         // its bytes within `bitmap` or, when advanced, `advanced`
};

struct ContainedImageList {
    std::string name;       // component name, e.g. ImageList1; empty for a bare stream
    std::string className;  // e.g. TImageList, System.Windows.Forms.ImageListStreamer
    int line = 0;           // where it starts in a text file
    ContainedData data = ContainedData::kStream;
    int version = 0;  // of the stream; 0 for Lazarus images
    // The base size's header fields: count, capacity, grow, size, background, flags and depth,
    // with no pixels.
    ImageListData figures;
    // The property values as stored, decoded from hex or base64, and where they stand in the
    // file (the text between braces, the text inside <value>, or a binary form's length and
    // bytes), so that a value can be replaced in place.
    Bytes bitmap;
    Bytes advanced;
    ByteSpan bitmapSpan;
    ByteSpan advancedSpan;             // size 0 when there is no BitmapAdv
    FormListProperties properties;     // its Width, Height and ColorDepth in a form
    std::vector<ContainedSize> sizes;  // the base size first, then BitmapAdv's in its order
    ContainerError sizesError;         // a damaged BitmapAdv, whose sizes are left out
    // A picture collection's items, as the form holds them, and each image's name (empty
    // where an item has none; no names at all for lists of other kinds).
    FormPictureCollection pictures;
    std::vector<std::string> names;
};

struct ContainerContents {
    ContainerForm form = ContainerForm::kUnknown;
    std::vector<ContainedImageList> lists;  // in file order; none when `error` is set
    ContainerError error;
};

// The form of a file, from its first bytes.
ContainerForm DetectContainerForm(std::span<const std::uint8_t> bytes);

// Every image list in the file with its sizes, read from their headers. A damaged container, or
// a list whose header is damaged, gives an error and no lists; a damaged BitmapAdv only loses
// its sizes (see `sizesError`). Never throws; running out of memory is an error like any other.
ContainerContents ReadContainer(std::span<const std::uint8_t> bytes);

// The images of one size of a list (index into `sizes`); nullopt with `error` set, naming the
// list and the size, when they are damaged. Costs at most the budget of one list.
std::optional<ImageListData> DecodeContainedList(const ContainedImageList& list, std::size_t size,
                                                 ContainerError& error);

// Whether a write-back can put images into the list in its file; DevExpress image lists are
// only read.
bool IsWritableList(const ContainedImageList& list);

// The file's bytes for one list in the given form, the component named `name` (or, when that
// is not an identifier, the designer's default); empty when the list cannot be written or the
// form is not one we write (binary forms, unknown).
Bytes WriteContainer(ContainerForm form, const ImageListData& list, std::string_view name);

}  // namespace iconvale
