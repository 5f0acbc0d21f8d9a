// The platform flags the program must hand to its message boxes and dialogs, as the tests expect
// them. They are spelt from the platform's own names, not taken from the program's constants, so
// that a test does not merely restate the code.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

namespace iconvale::testing {

// Message box styles.
inline constexpr UINT kInformationStyle = MB_OK | MB_ICONINFORMATION;
inline constexpr UINT kErrorStyle = MB_OK | MB_ICONERROR;
inline constexpr UINT kYesNoWarningStyle = MB_YESNO | MB_ICONEXCLAMATION;
inline constexpr UINT kYesNoCancelQuestionStyle = MB_YESNOCANCEL | MB_ICONINFORMATION;

// File dialogs, as the program asks for them.
// Opening a group and adding pictures: the file must exist; the overwrite question is asked for
// too, though an open dialog never shows it.
inline constexpr DWORD kPickExistingFileFlags =
    OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
// Adding pictures: the same, with several files at once.
inline constexpr DWORD kPickExistingFilesFlags = kPickExistingFileFlags | OFN_ALLOWMULTISELECT;
// Saving a group when the program asks first whether to save: no overwrite question.
inline constexpr DWORD kPlainSaveFlags = OFN_EXPLORER;

// The extraction's folder browser.
inline constexpr UINT kExtractionBrowseFlags = BIF_NEWDIALOGSTYLE | BIF_RETURNFSANCESTORS;

}  // namespace iconvale::testing
