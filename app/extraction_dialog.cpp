#include "app/extraction_dialog.h"

#include <iterator>
#include <utility>

#include "imaging/image_formats.h"
#include "ui/folder_browser.h"
#include "ui/control_text.h"

namespace iconvale {

namespace {

constexpr char kCaption[] = "提取图标";
constexpr char kBrowseTitle[] = "选择保存路径";
constexpr UINT kBrowseFlags = BIF_NEWDIALOGSTYLE | BIF_RETURNFSANCESTORS;  // 0x48

struct FormatItem {
    const char* item;
    const char* identifier;
};

// In the order of the list; the first is selected whenever the dialog opens.
constexpr FormatItem kFormats[] = {
    {"*.png", kPngFormat},  {"*.jpg", kJpegFormat}, {"*.bmp", kBmpFormat},
    {"*.tif", kTiffFormat}, {"*.gif", kGifFormat},
};

// Spaces around a typed or pasted folder are never part of it.
std::string Trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start])) ++start;
    return text.substr(start);
}

}  // namespace

ExtractionDialog::ExtractionDialog(std::string initialFolder)
    : ModalForm(kCaption, 338, 132), initialFolder_(std::move(initialFolder)) {}

std::optional<ExtractionChoice> ExtractionDialog::Choice() const {
    if (!saved_) return std::nullopt;
    return ExtractionChoice{folder_, formatIdentifier_};
}

void ExtractionDialog::CreateControls() {
    saved_ = false;
    folder_ = initialFolder_;
    formatIdentifier_.clear();

    const DWORD label = SS_LEFT | SS_CENTERIMAGE;
    AddControl(L"STATIC", "保存格式：", label, {12, 16, 64, 24}, -1);
    // Created with room for the five items dropped down below the closed list.
    formatList_ = AddControl(L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                             {84, 17, 88, 120}, kFormatListId);
    for (const FormatItem& format : kFormats) AddComboItem(formatList_, format.item);
    ::SendMessageW(formatList_, CB_SETCURSEL, 0, 0);
    FitClosedHeight(formatList_, Scaled(20));

    AddControl(L"STATIC", "保存目录：", label, {12, 48, 64, 24}, -1);
    folderBox_ = AddControl(L"EDIT", folder_, WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
                            {84, 50, 200, 20}, kFolderBoxId, WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", "...", WS_TABSTOP | BS_PUSHBUTTON, {285, 49, 37, 19}, kBrowseButtonId);
    AddControl(L"BUTTON", "保存", WS_TABSTOP | BS_DEFPUSHBUTTON, {176, 80, 64, 24}, IDOK);
    AddControl(L"BUTTON", "取消", WS_TABSTOP | BS_PUSHBUTTON, {258, 80, 64, 24}, IDCANCEL);
}

void ExtractionDialog::OnDpiChanged() {
    FitClosedHeight(formatList_, Scaled(20));
}

void ExtractionDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return;
    if (id == kBrowseButtonId) Browse();
    if (id == IDOK) Save();
}

void ExtractionDialog::Browse() {
    FolderBrowser browser;
    // The box is where the folder is kept, typed or browsed, so browsing starts from it.
    browser.SetUp(kBrowseFlags, kBrowseTitle, {}, Trimmed(TextOf(folderBox_)));
    if (!browser.Show(hwnd())) return;
    const std::string chosen = browser.GetPath();
    if (chosen.empty()) return;  // an item with no folder behind it, such as the computer
    SetTextOf(folderBox_, chosen);
    folder_ = TextOf(folderBox_);
    ::SetFocus(folderBox_);
}

void ExtractionDialog::Save() {
    std::string typed = Trimmed(TextOf(folderBox_));
    if (typed.empty()) {
        // Without a folder the files would land in the root of whatever drive is current.
        ::MessageBeep(MB_ICONWARNING);
        ::SetFocus(folderBox_);
        return;
    }
    const LRESULT selected = ::SendMessageW(formatList_, CB_GETCURSEL, 0, 0);
    const bool inList = selected >= 0 && selected < static_cast<LRESULT>(std::size(kFormats));
    formatIdentifier_ = kFormats[inList ? selected : 0].identifier;
    folder_ = std::move(typed);
    saved_ = true;
    Close();
}

}  // namespace iconvale
