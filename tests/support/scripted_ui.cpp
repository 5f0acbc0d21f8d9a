#include "support/scripted_ui.h"

#include <gtest/gtest.h>

#include <commdlg.h>

#include "ui/file_dialog_object.h"
#include "ui/text.h"

namespace iconvale::testing {

int ScriptedUi::Message(HWND, std::string_view text, std::string_view title, UINT style) {
    messages.push_back({std::string(text), std::string(title), style});
    if ((style & MB_TYPEMASK) == MB_OK) return IDOK;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return IDCANCEL;
    }
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<FileChoice> ScriptedUi::ChooseFile(FileDialogObject& dialog, HWND,
                                                 FileDialogKind kind) {
    const OPENFILENAMEW* record = dialog.Record();
    FileDialogShown shown;
    shown.kind = kind;
    if (record) {
        shown.flags = record->Flags;
        shown.filterIndex = static_cast<int>(record->nFilterIndex);
        if (record->lpstrTitle) shown.title = ToNarrow(std::wstring_view(record->lpstrTitle));
        if (record->lpstrDefExt)
            shown.defaultExtension = ToNarrow(std::wstring_view(record->lpstrDefExt));
    }
    fileDialogs.push_back(shown);
    if (files.empty()) return std::nullopt;
    auto choice = files.front();
    files.pop_front();
    return choice;
}

void ScriptedUi::ShowNewGroupDialog(const NewGroupDialogHooks& hooks) {
    newGroupOpenedTicked.push_back(hooks.opened ? hooks.opened() : false);
    if (newGroupPresses.empty()) return;
    std::vector<NewGroupInputs> presses = newGroupPresses.front();
    newGroupPresses.pop_front();
    for (const auto& inputs : presses) {
        if (hooks.confirmed && hooks.confirmed(inputs)) return;
    }
}

void ScriptedUi::ShowSettingsDialog(const SettingsDialogHooks& hooks) {
    if (hooks.opened) hooks.opened();
    if (settingsAnswers.empty()) return;
    auto answer = settingsAnswers.front();
    settingsAnswers.pop_front();
    if (answer && hooks.confirmed) hooks.confirmed(*answer);
}

void ScriptedUi::ShowAboutDialog(HWND, HICON) {
    ++aboutShown;
}

std::optional<ExtractionChoice> ScriptedUi::ShowExtractionDialog(const std::string& initialFolder) {
    extractionFolders.push_back(initialFolder);
    if (extractionChoices.empty()) return std::nullopt;
    auto answer = extractionChoices.front();
    extractionChoices.pop_front();
    return answer;
}

int ScriptedUi::ChooseImageList(HWND, const std::vector<ImageListSummary>& lists, ListChoice) {
    listChoosers.push_back(lists);
    if (listChoices.empty()) return -1;
    const int answer = listChoices.front();
    listChoices.pop_front();
    return answer;
}

std::vector<std::string> ScriptedUi::MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
}

NewGroupInputs Inputs(const char* width, const char* height, const char* depth, bool mask,
                      COLORREF colour) {
    return {width, height, depth, mask, colour};
}

}  // namespace iconvale::testing
