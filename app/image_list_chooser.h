// The dialog that asks which of a file's image lists to import, listing each by its component
// name with its count, image size and depth, and each size of a multi-size list on a row of its
// own.
#pragma once

#include <string>
#include <vector>

#include "ui/modal_form.h"
#include "app/modal_ui.h"
#include "res/resource_ids.h"

namespace iconvale {

class ImageListChooser : public ModalForm {
public:
    static constexpr int kPromptId = IDC_CHOOSER_PROMPT;
    static constexpr int kListId = IDC_CHOOSER_LIST;

    explicit ImageListChooser(std::vector<ImageListSummary> lists,
                              ListChoice purpose = ListChoice::kImport);

    // Shows the dialog over `owner` (centred on the screen without one) until it is closed.
    bool Show(HWND owner) { return ShowModal(owner); }

    // The index of the list confirmed with OK, Enter or a double click; -1 otherwise.
    int chosen() const { return chosen_; }

    // How a list's row reads: name (with "W×H" for one of several sizes), count, "WxH", depth.
    static std::vector<std::string> RowTexts(const ImageListSummary& list);

private:
    void CreateControls() override;
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(const NMHDR& header) override;
    void OnDpiChanged() override;
    int ColumnWidth(int column) const;
    void Confirm();

    std::vector<ImageListSummary> lists_;
    ListChoice purpose_;
    int chosen_ = -1;
    HWND list_ = nullptr;
};

}  // namespace iconvale
