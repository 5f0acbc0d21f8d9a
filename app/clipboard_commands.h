// Copy and Paste of images. Copy puts the selected images on the clipboard as one picture, side
// by side; Paste adds what the clipboard holds after the selection, as Add would add a picture
// file, as one change.
#pragma once

#include "app/document.h"
#include "app/document_commands.h"
#include "app/document_view.h"
#include "app/modal_ui.h"
#include "app/picture_import.h"

namespace iconvale {

class ClipboardCommands {
public:
    ClipboardCommands(Document& document, DocumentView& view, ModalUi& ui,
                      DocumentCommands& commands, PictureImport& pictures);

    void Copy();
    void Paste();
    // Whether Copy has images to copy and whether the clipboard holds a form Paste takes.
    bool CanCopy() const;
    static bool CanPaste();

private:
    Document& document_;
    DocumentView& view_;
    ModalUi& ui_;
    DocumentCommands& commands_;
    PictureImport& pictures_;
};

inline constexpr char kClipboardBusyMessage[] = "剪贴板正被其他程序使用，请稍后再试！";
inline constexpr char kCopyFailedMessage[] = "复制失败！";
inline constexpr char kPasteFailedMessage[] = "粘贴失败！";

}  // namespace iconvale
