// The program's one top-level window: menu bar, toolbar, link label, icon list and status bar.
// It owns the controls and routes every event to the handler set for it; it knows no command.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands.h"
#include "app/document_view.h"
#include "app/icon_list_drag.h"
#include "app/icon_list_images.h"
#include "app/main_menu.h"
#include "core/image_group.h"
#include "ui/base_window.h"
#include "ui/dpi_layout.h"
#include "ui/ui_language.h"

namespace iconvale {

class MainWindow : public BaseWindow<MainWindow>, public DocumentView {
public:
    struct Events {
        std::function<void()> created;     // the window and all its controls exist
        std::function<bool()> closeQuery;  // true lets a close through the frame go ahead
        std::function<void()> destroying;  // runs once while the window is destroyed
        std::function<void(const std::string& paths)> filesDropped;  // CR LF separated
        IconListDrag::DropHandler itemsDropped;  // the icon list's items dragged within it
        std::function<void()> menuOpening;  // a menu or the pop-up is about to show
    };

    // The icon list and status bar show `openGroup`, which must outlive the window.
    explicit MainWindow(const ImageGroup& openGroup);
    ~MainWindow();

    // Creates the window centred on the screen, hidden until Show.
    bool Create(HINSTANCE instance, Events events);
    void Show(int showCommand);
    HACCEL accelerators() const { return accelerators_.get(); }

    void SetCommandHandler(Command command, std::function<void()> handler);
    // Greys or enables the command's menu item; a shortcut of a greyed item does nothing.
    void EnableCommand(Command command, bool enabled);
    void RunCommand(Command command);
    void RunToolbarPosition(int position);

    // Refills the icon list with one item per image of the open group, redraw suspended.
    void RebuildIconList() override;
    // Adds or removes items at the end until there is one per image, selection cleared.
    void UpdateIconList() override;
    // Count, width and height of the open group, and `text` in the last pane.
    void UpdateStatusBar(std::string_view text) override;
    // Hands the group's image list to the icon list (null: the list draws nothing).
    void AttachImages(HIMAGELIST images) override;
    std::vector<int> SelectedIndices() const override;
    int FirstSelectedIndex() const override;
    void SelectIndices(const std::vector<int>& indices) override;
    void ShowUndoState(bool canUndo, bool canRedo) override;
    HWND DialogOwner() const override { return hwnd(); }

    void LoadToolbarImages();
    void SetAutoSegmentMark(bool checked);
    bool AutoSegmentMarked() const;
    void PopUpEditMenu(POINT screen);
    // A new menu bar and status bar texts in the language now chosen, the marks kept.
    void ShowInLanguage(UiLanguage language);

    // The zoom and checkerboard of the icon list; the menu's marks follow them.
    DisplayOptions displayOptions() const { return images_.options(); }
    void SetDisplayOptions(DisplayOptions options);
    // The list the icon list draws from: the group's own, or the display list made from it.
    HIMAGELIST shownImages() const { return images_.shown(); }

    HWND iconList() const { return iconList_; }
    HWND toolbar() const { return toolbar_; }
    HWND statusBar() const { return statusBar_; }
    HWND linkLabel() const { return linkLabel_; }
    HMENU menuBar() const { return ::GetMenu(hwnd()); }
    UINT dpi() const { return layout_.dpi(); }

private:
    friend class BaseWindow<MainWindow>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnSize();
    void OnCommand(UINT id);
    LRESULT OnNotify(const NMHDR& header);
    void OnClose();
    void OnDestroy();
    void CreateControls();
    // Every designed place, pane edge, button size and font, for this DPI.
    void ApplyDpi(UINT dpi);
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    // Ctrl with the wheel zooms; true when the message was taken for that.
    bool OnMouseWheel(WPARAM wParam);
    bool OverIconList(LPARAM screenPoint) const;
    void OnBeginDrag();
    // Inserts items first.. up to one per image of the open group.
    void FillIconListFrom(int first);
    static LRESULT CALLBACK IconListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);

    const ImageGroup& openGroup_;
    Events events_;
    std::array<std::function<void()>, kCommandCount> handlers_;
    UniqueAccelerators accelerators_;
    ImageGroup toolbarImages_;
    DpiLayout layout_;
    IconListImages images_;
    IconListDrag drag_;
    int wheelTurned_ = 0;
    std::string statusText_;  // the last pane's text, kept to be shown again in another language
    bool statusShown_ = false;  // wheel delta not yet turned into a zoom step
    HWND toolbar_ = nullptr;
    HWND linkLabel_ = nullptr;
    HWND iconList_ = nullptr;
    HWND statusBar_ = nullptr;
};

}  // namespace iconvale
