// The dialog that asks where extracted icons go and in which picture format.
#pragma once

#include <optional>
#include <string>

#include "ui/modal_form.h"
#include "app/modal_ui.h"
#include "res/resource_ids.h"

namespace iconvale {

class ExtractionDialog : public ModalForm {
public:
    static constexpr int kFormatListId = IDC_EXTRACTION_FORMAT;
    static constexpr int kFolderBoxId = IDC_EXTRACTION_FOLDER;
    static constexpr int kBrowseButtonId = IDC_EXTRACTION_BROWSE;

    // `initialFolder` (GBK) is what the folder box shows when the dialog opens.
    explicit ExtractionDialog(std::string initialFolder);

    // Shows the dialog, unowned and centred on the screen, until it is closed.
    bool Show() { return ShowModal(nullptr); }

    // Set by the save button, and only by it; cleared each time the dialog opens.
    bool saved() const { return saved_; }
    // The folder box's text (trimmed) and the chosen format's identifier, as saved.
    const std::string& folder() const { return folder_; }
    const std::string& formatIdentifier() const { return formatIdentifier_; }
    // What was saved; nullopt unless the dialog was closed with its save button.
    std::optional<ExtractionChoice> Choice() const;

private:
    void CreateControls() override;
    void OnCommand(int id, int code, HWND control) override;
    void OnDpiChanged() override;
    void Browse();
    void Save();

    std::string initialFolder_;
    bool saved_ = false;
    std::string folder_;
    std::string formatIdentifier_;
    HWND formatList_ = nullptr;
    HWND folderBox_ = nullptr;
};

}  // namespace iconvale
