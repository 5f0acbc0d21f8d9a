// Files from other ecosystems that hold image lists: Delphi forms (text and binary), Lazarus
// forms, WinForms resources and bare image-list streams. Reading finds every list in a file and
// decodes it; writing gives a file of one form for one list.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/container_error.h"
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

struct ContainedImageList {
    std::string name;       // component name, e.g. ImageList1; empty for a bare stream
    std::string className;  // e.g. TImageList, System.Windows.Forms.ImageListStreamer
    int line = 0;           // where it starts in a text file
    Bytes stream;           // the stream as stored (empty for a Lazarus list)
    ImageListData list;     // the decoded images
};

struct ContainerContents {
    ContainerForm form = ContainerForm::kUnknown;
    std::vector<ContainedImageList> lists;  // in file order; none when `error` is set
    ContainerError error;
};

// The form of a file, from its first bytes.
ContainerForm DetectContainerForm(std::span<const std::uint8_t> bytes);

// Every image list in the file, each decoded. A damaged container, or one damaged list in it,
// gives an error and no lists. Never throws; running out of memory is an error like any other.
ContainerContents ReadContainer(std::span<const std::uint8_t> bytes);

// The file's bytes for one list in the given form, the component named `name` (or, when that
// is not an identifier, the designer's default); empty when the list cannot be written or the
// form is not one we write (binary forms, unknown).
Bytes WriteContainer(ContainerForm form, const ImageListData& list, std::string_view name);

}  // namespace iconvale
