// The platform's folder picker (SHBrowseForFolderW) behind narrow (GBK) text. While its dialog is
// open the object is attached to the dialog window and preselects the initial folder there.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <string_view>

#include "ui/text.h"
#include "ui/window_object.h"

namespace iconvale {

inline constexpr std::string_view kBrowseInfoProperty = "pBrowseInfo";
inline constexpr std::string_view kInitialFolderProperty = "InitFloder";
inline constexpr std::string_view kReturnedItemsProperty = "RetPIDL";

class FolderBrowser : public WindowObject {
public:
    // Runs once the dialog window exists and has its initial selection.
    using CreateHandler = std::function<void(HWND dialog)>;
    // Runs for every new selection, with the item's file-system path (empty when it has none).
    using SelectionHandler = std::function<void(HWND dialog, const WideText& path)>;

    FolderBrowser();  // set up with every argument omitted

    // Prepares the next dialog. `flags` are BIF_ flags, passed on unchanged; an empty root shows
    // the whole namespace, and an empty initial folder leaves the platform's own selection.
    void SetUp(UINT flags = 0, std::string_view title = {}, std::string_view root = {},
               std::string_view initialFolder = {});

    // Modal; true when the user chose an item. The item of an earlier show is released first.
    bool Show(HWND owner = nullptr);

    // The chosen folder's path, terminator included; empty after a cancel and for an item
    // without a file-system path.
    WideText GetPathW() const;
    std::string GetPath() const;
    // The chosen item's display name, terminator included; empty unless the last show chose one.
    WideText GetDisplayNameW() const;
    std::string GetDisplayName() const;

    void SetOnCreate(CreateHandler handler);
    void SetOnSelChanged(SelectionHandler handler);

    const BROWSEINFOW* Record() const;

private:
    class BrowserCore;
};

}  // namespace iconvale
