// A modal seam that answers from a script and remembers what it was asked, for command tests.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/modal_ui.h"

namespace iconvale::testing {

class ScriptedUi : public ModalUi {
public:
    struct Shown {
        std::string text;
        std::string title;
        UINT style = 0;
    };
    struct FileDialogShown {
        std::string title;
        DWORD flags = 0;
        std::string defaultExtension;
        int filterIndex = 0;
        FileDialogKind kind = FileDialogKind::Open;
    };

    int Message(HWND owner, std::string_view text, std::string_view title, UINT style) override;
    std::optional<FileChoice> ChooseFile(FileDialogObject& dialog, HWND owner,
                                         FileDialogKind kind) override;
    void ShowNewGroupDialog(const NewGroupDialogHooks& hooks) override;
    void ShowSettingsDialog(const SettingsDialogHooks& hooks) override;
    void ShowAboutDialog(HWND owner, HICON programIcon) override;
    std::optional<ExtractionChoice> ShowExtractionDialog(const std::string& initialFolder) override;
    int ChooseImageList(HWND owner, const std::vector<ImageListSummary>& lists,
                        ListChoice purpose) override;

    // Answers for the questions, in order; an OK box needs none.
    std::deque<int> answers;
    // What each file dialog returns, in order; nullopt is a cancel. None left: cancel.
    std::deque<std::optional<FileChoice>> files;
    // Per opening of the new-group dialog, the inputs OK is pressed with, in order, until one
    // is accepted; when none is, the dialog is cancelled.
    std::deque<std::vector<NewGroupInputs>> newGroupPresses;
    std::deque<std::optional<bool>> settingsAnswers;  // nullopt: cancel
    // What each extraction dialog saves, in order; nullopt is a cancel. None left: cancel.
    std::deque<std::optional<ExtractionChoice>> extractionChoices;
    // The index each image-list chooser confirms, in order; -1 is a cancel. None left: cancel.
    std::deque<int> listChoices;

    std::vector<Shown> messages;
    std::vector<FileDialogShown> fileDialogs;
    std::vector<bool> newGroupOpenedTicked;
    int aboutShown = 0;
    std::vector<std::string> extractionFolders;               // the initial folder of each opening
    std::vector<std::vector<ImageListSummary>> listChoosers;  // what each chooser listed

    std::vector<std::string> MessageTexts() const;
};

// New-group inputs as the user would type them.
NewGroupInputs Inputs(const char* width, const char* height, const char* depth, bool mask = false,
                      COLORREF colour = 0x00FFFFFF);

}  // namespace iconvale::testing
