#include "ui/folder_browser.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include "ui/block_text.h"
#include "ui/ui_language.h"

namespace iconvale {

#if defined(__i386__)
static_assert(sizeof(BROWSEINFOW) == 32, "the record as the platform's i686 headers lay it out");
#endif

namespace {

// The platform writes at most MAX_PATH units of a display name or a path.
constexpr std::size_t kNameUnits = MAX_PATH;

void FreeStrings(BROWSEINFOW& record) {
    if (record.pidlRoot) ::CoTaskMemFree(const_cast<LPITEMIDLIST>(record.pidlRoot));
    FreeBlock(const_cast<wchar_t*>(record.lpszTitle));
    FreeBlock(record.pszDisplayName);
}

WideText PathOfItem(LPCITEMIDLIST item) {
    wchar_t path[kNameUnits + 1] = {};
    if (!item || !::SHGetPathFromIDListW(item, path)) return {};
    const std::size_t units = std::wstring_view(path, kNameUnits).find(L'\0');
    if (units == 0 || units == std::wstring_view::npos) return {};
    return WideText(path, path + units + 1);
}

}  // namespace

class FolderBrowser::BrowserCore : public WindowObject::Core {
public:
    BROWSEINFOW* Record() const {
        return reinterpret_cast<BROWSEINFOW*>(GetProperty(kBrowseInfoProperty));
    }
    const wchar_t* InitialFolder() const {
        return reinterpret_cast<const wchar_t*>(GetProperty(kInitialFolderProperty));
    }
    LPITEMIDLIST ReturnedItems() const {
        return reinterpret_cast<LPITEMIDLIST>(GetProperty(kReturnedItemsProperty));
    }

    void ReleaseInitialFolder() {
        FreeBlock(const_cast<wchar_t*>(InitialFolder()));
        SetProperty(kInitialFolderProperty, 0);
    }
    void ReleaseReturnedItems() {
        if (LPITEMIDLIST items = ReturnedItems()) ::CoTaskMemFree(items);
        SetProperty(kReturnedItemsProperty, 0);
    }

    void OnInitialized(HWND dialog) {
        dialog_ = dialog;
        Attach(dialog);  // without it the dialog still works, only unseen by the framework
        if (const wchar_t* folder = InitialFolder()) {
            ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder));
        }
        ApplyStartPosition(dialog);
        if (onCreate) onCreate(dialog);
    }
    void OnSelectionChanged(HWND dialog, LPCITEMIDLIST item) {
        if (onSelChanged) onSelChanged(dialog, PathOfItem(item));
    }

    // The record's lpfn; `data` is the record's lParam, this core.
    static int CALLBACK Callback(HWND dialog, UINT message, LPARAM argument, LPARAM data);

    CreateHandler onCreate;
    SelectionHandler onSelChanged;
    HWND dialog_ = nullptr;  // the open dialog's window, while Show runs
    bool showing_ = false;

protected:
    void OnRelease() override {
        ReleaseReturnedItems();
        ReleaseInitialFolder();
        if (BROWSEINFOW* record = Record()) {
            FreeStrings(*record);
            FreeBlock(record);
            SetProperty(kBrowseInfoProperty, 0);
        }
    }
};

int CALLBACK FolderBrowser::BrowserCore::Callback(HWND dialog, UINT message, LPARAM argument,
                                                  LPARAM data) {
    auto* core = reinterpret_cast<BrowserCore*>(data);
    if (!core) return 0;
    // Nothing may unwind through the platform's dialog.
    try {
        if (message == BFFM_INITIALIZED) {
            core->OnInitialized(dialog);
        } else if (message == BFFM_SELCHANGED) {
            core->OnSelectionChanged(dialog, reinterpret_cast<LPCITEMIDLIST>(argument));
        }
    } catch (...) {
    }
    return 0;
}

FolderBrowser::FolderBrowser() : WindowObject(std::make_unique<BrowserCore>()) {
    SetUp();
}

void FolderBrowser::SetUp(UINT flags, std::string_view title, std::string_view root,
                          std::string_view initialFolder) {
    BrowserCore& core = CoreAs<BrowserCore>();
    // The open dialog reads the record and writes into its name block.
    if (core.showing_) return;
    // Everything that can throw comes first, so a failure leaves the last set-up whole.
    const WideText wideTitle = ToWide(Translated(title));
    const WideText wideRoot = ToWide(root);
    const WideText wideFolder = ToWide(initialFolder);

    core.ReleaseInitialFolder();
    BROWSEINFOW* record = core.Record();
    if (record) {
        FreeStrings(*record);
        std::memset(record, 0, sizeof *record);
    } else {
        record = static_cast<BROWSEINFOW*>(AllocateBlock(sizeof(BROWSEINFOW)));
        if (!record) return;
        core.SetProperty(kBrowseInfoProperty, reinterpret_cast<std::uintptr_t>(record));
    }

    record->ulFlags = flags;
    record->lpfn = &BrowserCore::Callback;
    record->lParam = reinterpret_cast<LPARAM>(&core);
    record->lpszTitle = CopyToBlock(wideTitle).release();
    if (UnitsOf(wideRoot)) record->pidlRoot = ::ILCreateFromPathW(wideRoot.data());
    if (UniqueWideBlock folder = CopyToBlock(wideFolder)) {
        core.SetProperty(kInitialFolderProperty, reinterpret_cast<std::uintptr_t>(folder.get()));
        static_cast<void>(folder.release());  // the release hook frees it from the property
    }
    record->pszDisplayName = static_cast<wchar_t*>(AllocateBlock(kNameUnits * sizeof(wchar_t)));
}

bool FolderBrowser::Show(HWND owner) {
    BrowserCore& core = CoreAs<BrowserCore>();
    BROWSEINFOW* record = core.Record();
    // Without the name block the platform would write the display name through null.
    if (!record || !record->pszDisplayName || core.showing_) return false;
    record->hwndOwner = owner;
    core.ReleaseReturnedItems();
    record->pszDisplayName[0] = L'\0';

    core.showing_ = true;
    core.dialog_ = nullptr;
    LPITEMIDLIST chosen = ::SHBrowseForFolderW(record);
    core.showing_ = false;
    core.SetProperty(kReturnedItemsProperty, reinterpret_cast<std::uintptr_t>(chosen));
    // The dialog's WM_NCDESTROY detaches; this covers a window that went without one.
    if (core.dialog_ && core.AttachedWindow() == core.dialog_) core.Detach();
    core.dialog_ = nullptr;
    if (!chosen) record->pszDisplayName[0] = L'\0';
    return chosen != nullptr;
}

WideText FolderBrowser::GetPathW() const {
    return PathOfItem(CoreAs<BrowserCore>().ReturnedItems());
}

std::string FolderBrowser::GetPath() const {
    return ToNarrow(GetPathW());
}

WideText FolderBrowser::GetDisplayNameW() const {
    const BrowserCore& core = CoreAs<BrowserCore>();
    const BROWSEINFOW* record = core.Record();
    if (!core.ReturnedItems() || !record || !record->pszDisplayName) return {};
    const std::wstring_view name(record->pszDisplayName, kNameUnits);
    const std::size_t units = name.find(L'\0');
    if (units == 0 || units == std::wstring_view::npos) return {};
    return WideText(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(units) + 1);
}

std::string FolderBrowser::GetDisplayName() const {
    return ToNarrow(GetDisplayNameW());
}

void FolderBrowser::SetOnCreate(CreateHandler handler) {
    CoreAs<BrowserCore>().onCreate = std::move(handler);
}

void FolderBrowser::SetOnSelChanged(SelectionHandler handler) {
    CoreAs<BrowserCore>().onSelChanged = std::move(handler);
}

const BROWSEINFOW* FolderBrowser::Record() const {
    return CoreAs<BrowserCore>().Record();
}

}  // namespace iconvale
