// The extended dialog templates of the resource script, read as plain data: the forms place
// their controls themselves, at the template's numbers taken as pixels of a 96 DPI design, so
// the platform's dialog manager (which measures in dialog units) never sees them.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace iconvale {

struct TemplateRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct TemplateControl {
    std::wstring className;  // a predefined class given by number comes back by its name
    std::wstring text;       // empty for a resource number in place of a text
    int id = 0;
    DWORD style = 0;
    DWORD extendedStyle = 0;
    TemplateRect rect;
};

struct DialogTemplate {
    std::wstring caption;
    int width = 0;
    int height = 0;
    std::vector<TemplateControl> controls;
};

// Reads a DLGTEMPLATEEX with its items; nullopt when the bytes are not one or end early.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> bytes);

// The module's template `id` in `language`; nullopt when missing or unreadable.
std::optional<DialogTemplate> LoadDialogTemplate(int id, LANGID language);

}  // namespace iconvale
