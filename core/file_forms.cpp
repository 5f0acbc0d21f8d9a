#include "core/file_forms.h"

#include "core/group_file.h"

namespace iconvale {

namespace {

struct NamedForm {
    FileForm form;
    std::string_view extension;
    ContainerForm container;
};

constexpr NamedForm kForms[] = {
    {FileForm::kEil, ".eil", ContainerForm::kStream},
    {FileForm::kBare, "", ContainerForm::kStream},
    {FileForm::kDelphiForm, ".dfm", ContainerForm::kDelphiForm},
    {FileForm::kLazarusForm, ".lfm", ContainerForm::kLazarusForm},
    {FileForm::kResx, ".resx", ContainerForm::kResx},
};

const NamedForm& Entry(FileForm form) {
    for (const NamedForm& entry : kForms) {
        if (entry.form == form) return entry;
    }
    return kForms[1];
}

}  // namespace

std::string LowerExtension(std::string_view name) {
    const std::size_t dot = name.find_last_of('.');
    const std::size_t slash = name.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string extension(name.substr(dot));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return extension;
}

FileForm FileFormForName(std::string_view name) {
    // The group header's own rule decides ".eil"; the others go by their usual extensions.
    if (HasGroupHeaderName(name)) return FileForm::kEil;
    const std::string extension = LowerExtension(name);
    for (const NamedForm& entry : kForms) {
        if (entry.form != FileForm::kEil && !entry.extension.empty() &&
            entry.extension == extension) {
            return entry.form;
        }
    }
    return FileForm::kBare;
}

std::string_view FileFormName(FileForm form) {
    return form == FileForm::kBare ? "bare" : Entry(form).extension.substr(1);
}

bool IsContainerForm(FileForm form) {
    return form != FileForm::kEil && form != FileForm::kBare;
}

ContainerForm ContainerFormOf(FileForm form) {
    return Entry(form).container;
}

Bytes WriteListAs(FileForm form, const ImageListData& list, std::string_view name) {
    if (IsContainerForm(form)) return WriteContainer(ContainerFormOf(form), list, name);
    return WithGroupHeader(WriteContainer(ContainerForm::kStream, list, name),
                           form == FileForm::kEil);
}

}  // namespace iconvale
