#include "ui/file_dialog_object.h"

#include <cderr.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "ui/platform_setup.h"
#include "ui/block_text.h"
#include "ui/ui_language.h"

namespace iconvale {

#if defined(__i386__)
static_assert(sizeof(OPENFILENAMEW) == 88,
              "the full record, pvReserved, dwReserved and FlagsEx too");
#endif

namespace {

// Sizes in UTF-16 units. The room after an initial name lets the user type a longer one; the
// platform is told less than the block holds.
constexpr std::size_t kRoomAfterInitialName = 1024;
constexpr DWORD kMaxFileAfterInitialName = 513;
constexpr std::size_t kEmptyFileBufferUnits = 512;
constexpr std::size_t kEmptyDefaultExtUnits = 260;

UINT_PTR CALLBACK IgnoringHook(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

WideText Terminated(const std::wstring& text) {
    if (text.empty()) return {};
    WideText result(text.begin(), text.end());
    result.push_back(L'\0');
    return result;
}

}  // namespace

std::vector<std::wstring> ChosenPaths(std::wstring_view buffer, std::size_t fileOffset,
                                      bool multiple) {
    const std::size_t firstEnd = buffer.find(L'\0');
    if (fileOffset == 0 || firstEnd == std::wstring_view::npos) return {};
    const std::wstring_view first = buffer.substr(0, firstEnd);
    // A multiple-selection dialog gives a single choice as one full path, too.
    if (fileOffset < firstEnd || (!multiple && fileOffset == firstEnd)) {
        return {std::wstring(first)};
    }
    if (!multiple || fileOffset != firstEnd + 1) return {};
    std::wstring folder(first);
    if (folder.empty() || folder.back() != L'\\') folder.push_back(L'\\');
    std::vector<std::wstring> paths;
    for (std::size_t start = fileOffset; start < buffer.size() && buffer[start] != L'\0';) {
        const std::size_t end = buffer.find(L'\0', start);
        if (end == std::wstring_view::npos) break;  // cut off by the buffer's end
        paths.push_back(folder + std::wstring(buffer.substr(start, end - start)));
        start = end + 1;
    }
    return paths;
}

class FileDialogObject::DialogCore : public WindowObject::Core {
public:
    OPENFILENAMEW* Record() const { return record_.get(); }

    // Frees the strings of the last set-up and clears the record, making it on first use.
    OPENFILENAMEW* ClearRecord() {
        title = {};
        file = {};
        filter = {};
        initialDir = {};
        defaultExt = {};
        if (record_) {
            std::memset(record_.get(), 0, sizeof(OPENFILENAMEW));
            return record_.get();
        }
        record_ = AllocateRecord<OPENFILENAMEW>();
        // Only published there; the member owns the record.
        if (record_) SetProperty(kOpenFileNameProperty, reinterpret_cast<std::uintptr_t>(Record()));
        return record_.get();
    }

    bool choiceDidNotFit = false;
    // What the record's string fields point to.
    UniqueWideBlock title;
    UniqueWideBlock file;
    UniqueWideBlock filter;
    UniqueWideBlock initialDir;
    UniqueWideBlock defaultExt;

private:
    UniqueHeapBlockOf<OPENFILENAMEW> record_;
};

FileDialogObject::FileDialogObject() : WindowObject(std::make_unique<DialogCore>()) {
    SetUp();
}

void FileDialogObject::SetUp(DWORD flags, std::string_view title, std::string_view initialFile,
                             std::string_view filter, int filterIndex, std::string_view initialDir,
                             std::string_view defaultExt) {
    // Everything that can throw comes first, so a failure leaves the last set-up whole.
    const WideText wideTitle = ToWide(Translated(title));
    const WideText wideFile = ToWide(initialFile);
    const WideText wideFilter = ToWide(Translated(filter));
    const WideText wideDir = ToWide(initialDir);
    const WideText wideExt = ToWide(defaultExt);

    DialogCore& core = CoreAs<DialogCore>();
    OPENFILENAMEW* record = core.ClearRecord();
    if (!record) return;

    core.title = CopyToBlock(wideTitle);
    record->lpstrTitle = core.title.get();

    const std::size_t fileUnits = UnitsOf(wideFile);
    std::size_t blockUnits = kEmptyFileBufferUnits;
    std::size_t toldUnits = kEmptyFileBufferUnits;
    if (fileUnits) {
        blockUnits = fileUnits + kRoomAfterInitialName + 1;
        toldUnits = fileUnits + kMaxFileAfterInitialName;
    }
    if (flags & OFN_ALLOWMULTISELECT) {
        blockUnits = std::max(blockUnits, kMultipleChoiceUnits);
        toldUnits = std::max(toldUnits, kMultipleChoiceUnits);
    }
    core.file = CopyToBlock(wideFile, blockUnits);
    if (core.file) record->nMaxFile = static_cast<DWORD>(toldUnits);
    record->lpstrFile = core.file.get();

    if (const std::size_t units = UnitsOf(wideFilter)) {
        // One unit more than the text: its terminator and this one end the list.
        core.filter = CopyToBlock(wideFilter, units + 2);
        if (core.filter) std::replace(core.filter.get(), core.filter.get() + units, L'|', L'\0');
    }
    record->lpstrFilter = core.filter.get();
    record->nFilterIndex = static_cast<DWORD>(filterIndex);

    core.initialDir = CopyToBlock(wideDir);
    record->lpstrInitialDir = core.initialDir.get();

    // Never null: an empty default extension lets the dialog add the chosen filter's extension.
    const std::size_t extUnits = UnitsOf(wideExt);
    core.defaultExt = CopyToBlock(wideExt, extUnits ? extUnits + 1 : kEmptyDefaultExtUnits);
    record->lpstrDefExt = core.defaultExt.get();

    record->Flags = flags | OFN_EXPLORER;
    record->lStructSize = sizeof(OPENFILENAMEW);
    record->hInstance = ModuleInstance();
    record->lpfnHook = &IgnoringHook;
    record->lCustData = reinterpret_cast<LPARAM>(&core);
}

bool FileDialogObject::ShowOpen(HWND owner) {
    return Show(&::GetOpenFileNameW, owner);
}

bool FileDialogObject::ShowSave(HWND owner) {
    return Show(&::GetSaveFileNameW, owner);
}

bool FileDialogObject::Show(BOOL(WINAPI* run)(LPOPENFILENAMEW), HWND owner) {
    DialogCore& core = CoreAs<DialogCore>();
    OPENFILENAMEW* record = core.Record();
    core.choiceDidNotFit = false;
    // Without its buffer the platform would have nowhere to put the choice.
    if (!record || !record->lpstrFile || record->nMaxFile == 0) return false;
    record->hwndOwner = owner;
    record->hInstance = ModuleInstance();
    record->nFileOffset = 0;
    if (run(record)) return true;
    // Cancelled or failed, the buffer holds no choice. FNERR_BUFFERTOOSMALL has even put the
    // size the path needs over its first unit, which the next show would offer as a name.
    record->nFileOffset = 0;
    if (::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
        record->lpstrFile[0] = L'\0';
        core.choiceDidNotFit = true;
    }
    return false;
}

bool FileDialogObject::ChoiceDidNotFit() const {
    return CoreAs<DialogCore>().choiceDidNotFit;
}

std::vector<std::wstring> FileDialogObject::ChosenPathsW() const {
    const OPENFILENAMEW* record = Record();
    if (!record || !record->lpstrFile) return {};
    // The platform writes at most nMaxFile units, and set-up keeps that within the block.
    return ChosenPaths(std::wstring_view(record->lpstrFile, record->nMaxFile), record->nFileOffset,
                       (record->Flags & OFN_ALLOWMULTISELECT) != 0);
}

WideText FileDialogObject::GetPathW() const {
    const std::vector<std::wstring> paths = ChosenPathsW();
    if (paths.empty()) return {};
    const OPENFILENAMEW* record = Record();
    if (!(record->Flags & OFN_ALLOWMULTISELECT)) return Terminated(paths.front());
    std::wstring lines;
    for (const std::wstring& path : paths) lines.append(path).append(L"\r\n");
    return Terminated(lines);
}

std::string FileDialogObject::GetPath() const {
    return ToNarrow(GetPathW());
}

std::vector<std::string> FileDialogObject::GetPaths() const {
    std::vector<std::string> paths;
    for (const std::wstring& path : ChosenPathsW())
        paths.push_back(ToNarrow(std::wstring_view(path)));
    return paths;
}

int FileDialogObject::GetFilterIndex() const {
    const OPENFILENAMEW* record = Record();
    return record ? static_cast<int>(record->nFilterIndex) : 0;
}

const OPENFILENAMEW* FileDialogObject::Record() const {
    return CoreAs<DialogCore>().Record();
}

}  // namespace iconvale
