// Everything modal the commands show goes through this seam: message boxes, the file dialog,
// and the program's own dialogs. The program uses the real windows; tests script the answers.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace iconvale {

class FileDialogObject;

// Styles and answers of the program's message boxes.
inline constexpr UINT kInformationBox = MB_ICONINFORMATION;                        // 0x40
inline constexpr UINT kErrorBox = MB_ICONERROR;                                    // 0x10
inline constexpr UINT kYesNoQuestion = MB_YESNO | MB_ICONEXCLAMATION;              // 0x34
inline constexpr UINT kYesNoCancelQuestion = MB_YESNOCANCEL | MB_ICONINFORMATION;  // 0x43
inline constexpr char kProgramTitle[] = "Iconvale";
inline constexpr char kUntitledBoxTitle[] = "信息：";

// What the user confirmed in a file dialog.
struct FileChoice {
    std::string path;  // GBK; from a dialog of several files, each full path followed by CR LF
    int filterIndex = 0;
};

enum class FileDialogKind { Open, Save };

// The new-group dialog's inputs as its OK button hands them on.
struct NewGroupInputs {
    std::string widthText;
    std::string heightText;
    std::string depthText;  // the selected bit-depth item
    bool useTransparentColour = false;
    COLORREF colour = 0;
};

struct NewGroupDialogHooks {
    // Runs as the dialog opens; gives the state of the check box "使用透明色".
    std::function<bool()> opened;
    // Runs for each OK press; true closes the dialog, false keeps it open as typed.
    std::function<bool(const NewGroupInputs&)> confirmed;
};

// What the extraction dialog's save button hands on.
struct ExtractionChoice {
    std::string folder;            // GBK, as the folder box held it
    std::string formatIdentifier;  // one of the picture formats of imaging/image_formats.h
};

// One image list of an imported file, as the chooser lists it.
struct ImageListSummary {
    std::string name;  // the component's name (GBK); empty for a bare stream
    int count = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool oneOfSizes = false;  // a row for one size of a list that has several
};

// What the chosen list is for, which the chooser's prompt says.
enum class ListChoice { kImport, kReplace };

struct SettingsDialogHooks {
    std::function<bool()> opened;                   // whether the association box starts ticked
    std::function<void(bool associate)> confirmed;  // the OK button, with the box's state
};

class ModalUi {
public:
    virtual ~ModalUi() = default;

    // Task-modal; returns IDOK, IDYES, IDNO or IDCANCEL.
    virtual int Message(HWND owner, std::string_view text, std::string_view title, UINT style) = 0;
    // Shows the dialog as it was set up; the choice when the user confirmed a file.
    virtual std::optional<FileChoice> ChooseFile(FileDialogObject& dialog, HWND owner,
                                                 FileDialogKind kind) = 0;
    virtual void ShowNewGroupDialog(const NewGroupDialogHooks& hooks) = 0;
    virtual void ShowSettingsDialog(const SettingsDialogHooks& hooks) = 0;
    virtual void ShowAboutDialog(HWND owner, HICON programIcon) = 0;
    // Opens on `initialFolder` and PNG; nullopt unless the user saved.
    virtual std::optional<ExtractionChoice> ShowExtractionDialog(
        const std::string& initialFolder) = 0;
    // Lets the user pick one of a file's image lists; its index, or -1 when cancelled.
    virtual int ChooseImageList(HWND owner, const std::vector<ImageListSummary>& lists,
                                ListChoice purpose) = 0;

    // A message with the program's title and an OK button.
    void Inform(HWND owner, std::string_view text) {
        Message(owner, text, kProgramTitle, kInformationBox);
    }
    void Fail(HWND owner, std::string_view text) { Message(owner, text, kProgramTitle, kErrorBox); }
};

}  // namespace iconvale
