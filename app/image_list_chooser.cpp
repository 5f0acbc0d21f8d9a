#include "app/image_list_chooser.h"

#include <commctrl.h>

#include <utility>

#include "ui/control_text.h"
#include "ui/ui_language.h"

namespace iconvale {

namespace {

struct Column {
    const char* title;
    int width;         // design pixels
    int englishWidth;  // room for the longer English title, taken from the name
    int format;
};

constexpr Column kColumns[] = {
    {"名称", 150, 130, LVCFMT_LEFT},
    {"图标数", 60, 72, LVCFMT_RIGHT},
    {"尺寸", 64, 64, LVCFMT_RIGHT},
    {"色深", 56, 64, LVCFMT_RIGHT},
};

}  // namespace

ImageListChooser::ImageListChooser(std::vector<ImageListSummary> lists, ListChoice purpose)
    : ModalForm(IDD_IMAGE_LIST_CHOOSER), lists_(std::move(lists)), purpose_(purpose) {}

std::vector<std::string> ImageListChooser::RowTexts(const ImageListSummary& list) {
    // A bare stream has no component to name it by; the rows of one list's sizes differ by size.
    std::string name = list.name.empty() ? Translated("(无名称)") : list.name;
    if (list.oneOfSizes) {
        name.append(" ")
            .append(std::to_string(list.width))
            .append("×")
            .append(std::to_string(list.height));
    }
    return {name, std::to_string(list.count),
            std::to_string(list.width) + "x" + std::to_string(list.height),
            std::to_string(list.bitsPerPixel) + Translated(" 位")};
}

void ImageListChooser::CreateControls() {
    chosen_ = -1;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);

    AddTemplateControls();
    // The template asks which list to import.
    if (purpose_ == ListChoice::kReplace) {
        SetTextOf(Control(kPromptId), "请选择要由图片组替换的图片列表：");
    }
    list_ = Control(kListId);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        InsertListColumn(list_, c, kColumns[c].title, ColumnWidth(c), kColumns[c].format);
    }
    for (int row = 0; row < static_cast<int>(lists_.size()); ++row) {
        const std::vector<std::string> texts = RowTexts(lists_[row]);
        InsertListItem(list_, row, texts[0]);
        for (int c = 1; c < static_cast<int>(texts.size()); ++c) {
            SetListItemText(list_, row, c, texts[c]);
        }
    }
    // The first list is what a quick Enter takes.
    ListView_SetItemState(list_, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetInitialFocus(list_);
}

int ImageListChooser::ColumnWidth(int column) const {
    const bool english = CurrentUiLanguage() == UiLanguage::English;
    return Scaled(english ? kColumns[column].englishWidth : kColumns[column].width);
}

void ImageListChooser::OnDpiChanged() {
    // The list's columns are its own, in pixels; they follow the font like the controls.
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        ListView_SetColumnWidth(list_, c, ColumnWidth(c));
    }
}

void ImageListChooser::OnCommand(int id, int code, HWND) {
    if (id == IDOK && code == BN_CLICKED) Confirm();
}

LRESULT ImageListChooser::OnNotify(const NMHDR& header) {
    if (header.idFrom == static_cast<UINT_PTR>(kListId) && header.code == NM_DBLCLK) {
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        if (activate.iItem >= 0) Confirm();
    }
    return 0;
}

void ImageListChooser::Confirm() {
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (selected < 0 || selected >= static_cast<int>(lists_.size())) {
        ::MessageBeep(MB_ICONWARNING);
        ::SetFocus(list_);
        return;
    }
    chosen_ = selected;
    Close();
}

}  // namespace iconvale
