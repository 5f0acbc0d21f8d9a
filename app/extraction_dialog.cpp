#include "app/extraction_dialog.h"

#include <iterator>
#include <utility>

#include "imaging/image_formats.h"
#include "ui/folder_browser.h"
#include "ui/control_text.h"

namespace iconvale {

namespace {

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
    : ModalForm(IDD_EXTRACTION), initialFolder_(std::move(initialFolder)) {}

std::optional<ExtractionChoice> ExtractionDialog::Choice() const {
    if (!saved_) return std::nullopt;
    return ExtractionChoice{folder_, formatIdentifier_};
}

void ExtractionDialog::CreateControls() {
    saved_ = false;
    folder_ = initialFolder_;
    formatIdentifier_.clear();

    AddTemplateControls();
    formatList_ = Control(kFormatListId);
    folderBox_ = Control(kFolderBoxId);
    for (const FormatItem& format : kFormats) AddComboItem(formatList_, format.item);
    ::SendMessageW(formatList_, CB_SETCURSEL, 0, 0);
    FitClosedHeight(formatList_, Scaled(20));
    SetTextOf(folderBox_, folder_);
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
