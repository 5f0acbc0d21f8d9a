#include "ui/dialog_template.h"

#include <cstring>
#include <new>

#include "ui/ui_language.h"

namespace iconvale {

namespace {

// The classes a template may name by number instead of by name.
const wchar_t* PredefinedClass(WORD atom) {
    switch (atom) {
        case 0x0080:
            return L"BUTTON";
        case 0x0081:
            return L"EDIT";
        case 0x0082:
            return L"STATIC";
        case 0x0083:
            return L"LISTBOX";
        case 0x0084:
            return L"SCROLLBAR";
        case 0x0085:
            return L"COMBOBOX";
        default:
            return nullptr;
    }
}

// A cursor over the template that fails, and stays failed, instead of reading past the end.
class Reader {
public:
    explicit Reader(std::span<const BYTE> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }

    template <typename T>
    T Take() {
        T value{};
        if (!ok_ || bytes_.size() - at_ < sizeof value) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    void Skip(std::size_t count) {
        if (bytes_.size() - at_ < count) ok_ = false;
        at_ = ok_ ? at_ + count : bytes_.size();
    }

    void AlignToDword() { Skip((4 - at_ % 4) % 4); }

    // A terminated UTF-16 string.
    std::wstring String() {
        std::wstring text;
        for (wchar_t c = Take<WCHAR>(); ok_ && c != L'\0'; c = Take<WCHAR>()) text += c;
        return text;
    }

    // Nothing (0), a number (0xFFFF then the number), or a string. `number` gets the number.
    std::wstring NameOrNumber(WORD* number = nullptr) {
        const WORD first = Take<WORD>();
        if (first == 0x0000) return {};
        if (first == 0xFFFF) {
            const WORD value = Take<WORD>();
            if (number) *number = value;
            return {};
        }
        std::wstring text(1, static_cast<wchar_t>(first));
        return text + String();
    }

private:
    std::span<const BYTE> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

std::optional<DialogTemplate> Parse(std::span<const BYTE> bytes) {
    Reader read(bytes);
    const WORD version = read.Take<WORD>();
    const WORD signature = read.Take<WORD>();
    if (!read.ok() || version != 1 || signature != 0xFFFF) return std::nullopt;
    read.Skip(sizeof(DWORD) * 2);  // help id, extended style
    const DWORD style = read.Take<DWORD>();
    const WORD count = read.Take<WORD>();
    read.Skip(sizeof(short) * 2);  // the place, which the form works out itself
    DialogTemplate dialog;
    dialog.width = read.Take<short>();
    dialog.height = read.Take<short>();
    read.NameOrNumber();  // menu
    read.NameOrNumber();  // window class
    dialog.caption = read.String();
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        read.Skip(sizeof(WORD) * 2 + 2);  // size, weight, italic, character set
        read.String();                    // the form picks its own font
    }
    for (WORD i = 0; i < count && read.ok(); ++i) {
        read.AlignToDword();
        TemplateControl control;
        read.Skip(sizeof(DWORD));  // help id
        control.extendedStyle = read.Take<DWORD>();
        control.style = read.Take<DWORD>();
        control.rect.left = read.Take<short>();
        control.rect.top = read.Take<short>();
        control.rect.width = read.Take<short>();
        control.rect.height = read.Take<short>();
        control.id = static_cast<int>(read.Take<DWORD>());
        WORD atom = 0;
        control.className = read.NameOrNumber(&atom);
        if (atom != 0) {
            const wchar_t* name = PredefinedClass(atom);
            if (!name) return std::nullopt;
            control.className = name;
        }
        control.text = read.NameOrNumber();
        read.Skip(read.Take<WORD>());  // creation data, which no control here takes
        if (control.className.empty()) return std::nullopt;
        dialog.controls.push_back(std::move(control));
    }
    if (!read.ok()) return std::nullopt;
    return dialog;
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> bytes) {
    try {
        return Parse(bytes);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<DialogTemplate> LoadDialogTemplate(int id, LANGID language) {
    return ParseDialogTemplate(ResourceIn(RT_DIALOG, id, language));
}

}  // namespace iconvale
