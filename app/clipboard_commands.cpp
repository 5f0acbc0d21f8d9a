#include "app/clipboard_commands.h"

#include "imaging/clipboard_pictures.h"
#include "imaging/group_imports.h"
#include "ui/clipboard.h"
#include "ui/text.h"

namespace iconvale {

namespace {

// What Paste found on the clipboard, taken out so that the clipboard is closed again before
// anything is shown.
struct ClipboardContent {
    Bytes png;
    Bytes dib;
    std::string paths;  // GBK, one per line
};

ClipboardContent ReadContent(OpenClipboardOwner& clipboard) {
    ClipboardContent content;
    content.png = clipboard.Get(PngClipboardFormat());
    if (!content.png.empty()) return content;
    content.dib = clipboard.Get(CF_DIBV5);
    if (content.dib.empty()) content.dib = clipboard.Get(CF_DIB);
    if (!content.dib.empty()) return content;
    for (const std::wstring& path : clipboard.FileList()) {
        if (!content.paths.empty()) content.paths += "\r\n";
        content.paths += ToNarrow(std::wstring_view(path));
    }
    return content;
}

}  // namespace

ClipboardCommands::ClipboardCommands(Document& document, DocumentView& view, ModalUi& ui,
                                     DocumentCommands& commands, PictureImport& pictures)
    : document_(document), view_(view), ui_(ui), commands_(commands), pictures_(pictures) {}

bool ClipboardCommands::CanCopy() const {
    return document_.HasGroup() && view_.FirstSelectedIndex() != -1;
}

bool ClipboardCommands::CanPaste() {
    return ClipboardHasFormat(PngClipboardFormat()) || ClipboardHasFormat(CF_DIBV5) ||
           ClipboardHasFormat(CF_DIB) || ClipboardHasFormat(CF_HDROP);
}

void ClipboardCommands::Copy() {
    // Greyed without a selection; its key does not reach here then.
    if (!CanCopy()) return;
    const std::vector<int> selected = view_.SelectedIndices();
    const ArgbPicture strip = StripOfImages(document_.group(), selected);
    const Bytes v5 = DibV5Bytes(strip);
    const Bytes png = PngBytes(strip);
    const Bytes dib = DibBytes(strip);
    if (v5.empty() || png.empty() || dib.empty()) {
        ui_.Fail(view_.DialogOwner(), kCopyFailedMessage);
        return;
    }
    bool opened = false;
    bool copied = false;
    {
        // Closed again before any message, which runs a loop of its own.
        OpenClipboardOwner clipboard(view_.DialogOwner());
        opened = clipboard.IsOpen();
        copied = opened && clipboard.Empty() && clipboard.Put(CF_DIBV5, v5) &&
                 clipboard.Put(PngClipboardFormat(), png) && clipboard.Put(CF_DIB, dib);
    }
    if (!opened) {
        ui_.Fail(view_.DialogOwner(), kClipboardBusyMessage);
    } else if (!copied) {
        ui_.Fail(view_.DialogOwner(), kCopyFailedMessage);
    }
}

void ClipboardCommands::Paste() {
    if (!CanPaste()) return;
    ClipboardContent content;
    bool opened = false;
    {
        OpenClipboardOwner clipboard(view_.DialogOwner());
        opened = clipboard.IsOpen();
        if (opened) content = ReadContent(clipboard);
    }
    if (!opened) {
        ui_.Fail(view_.DialogOwner(), kClipboardBusyMessage);
        return;
    }
    const std::vector<int> selected = view_.SelectedIndices();
    const int gap = selected.empty() ? -1 : selected.back() + 1;
    if (!content.paths.empty()) {
        pictures_.PasteFiles(content.paths, gap);
        return;
    }
    GdipImage picture;
    const bool decoded = !content.png.empty() ? picture.CreateFromBytes(content.png)
                                              : PictureFromDib(content.dib, picture);
    if (!decoded) {
        ui_.Fail(view_.DialogOwner(), kPasteFailedMessage);
        return;
    }
    if (!document_.HasGroup()) commands_.New();
    if (!document_.HasGroup()) return;
    std::optional<std::vector<int>> placed;
    const bool added = document_.Change([&](ImageGroup& group) {
        const int first = group.GetCount();
        if (!ImportPicture(group, picture, pictures_.Entry())) return group.GetCount() > first;
        placed = MoveAddedInto(group, first, gap < 0 ? first : gap);
        return true;
    });
    if (!added || !placed) {
        ui_.Fail(view_.DialogOwner(), kPasteFailedMessage);
        return;
    }
    view_.SelectIndices(*placed);
}

}  // namespace iconvale
