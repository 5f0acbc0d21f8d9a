// Which form a file takes by its name, for both front ends: the program's own two (".eil" with
// the group header, the bare stream under any name not claimed otherwise) and the containers of
// other tools. Portable.
#pragma once

#include <string>
#include <string_view>

#include "core/bytes.h"
#include "core/image_list_container.h"

namespace iconvale {

enum class FileForm { kEil, kBare, kDelphiForm, kLazarusForm, kResx };

// The lower-case extension of a file name, with its dot (".png"); empty when it has none. Only
// ASCII letters are lowered, so GBK and UTF-8 names pass unharmed.
std::string LowerExtension(std::string_view name);

FileForm FileFormForName(std::string_view name);

// "eil", "bare", "dfm", "lfm" or "resx".
std::string_view FileFormName(FileForm form);

bool IsContainerForm(FileForm form);
// kStream for the program's own forms.
ContainerForm ContainerFormOf(FileForm form);

// The file's bytes for the list in that form; `name` names its component in a container. Empty
// when the list cannot be written.
Bytes WriteListAs(FileForm form, const ImageListData& list, std::string_view name);

}  // namespace iconvale
