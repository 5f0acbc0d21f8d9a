#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/main_toolbar.h"
#include "res/resource_ids.h"
#include "ui/dpi.h"
#include "ui/control_text.h"
#include "ui/window_class.h"

namespace iconvale {

namespace {

// Shared icons: the system keeps them for the life of the module.
HICON ProgramIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_SHARED));
}

constexpr wchar_t kClassName[] = L"IconvaleMainWindow";
constexpr int kDesignWidth = 604;
constexpr int kDesignHeight = 415;
constexpr UINT kIconListId = 3001;
constexpr UINT kStatusBarId = 3002;
constexpr UINT kLinkLabelId = 3003;
// The maker's site: a reserved name that never resolves, so a click goes nowhere harmful.
constexpr char kLinkMarkup[] = "<a href=\"https://iconvale.example/\">iconvale.example</a>";

Bytes ResourceBytes(HINSTANCE instance, int id) {
    HRSRC found =
        ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const auto* data = loaded ? static_cast<const std::uint8_t*>(::LockResource(loaded)) : nullptr;
    if (!data) return {};
    return Bytes(data, data + ::SizeofResource(instance, found));
}

std::string PaneText(const char* label, int value) {
    return Translated(label) + std::to_string(value);
}

const char* const kDesignPaneTexts[] = {"图标数：", "宽度：", "高度：", ""};

}  // namespace

MainWindow::MainWindow(const ImageGroup& openGroup) : openGroup_(openGroup), images_(openGroup) {}

MainWindow::~MainWindow() {
    if (hwnd()) ::DestroyWindow(hwnd());
}

bool MainWindow::Create(HINSTANCE instance, Events events) {
    events_ = std::move(events);
    if (!RegisterWindowClass(instance, kClassName, &WindowProc, ProgramIcon(instance, 48),
                             ProgramIcon(instance, 16))) {
        return false;
    }
    // The controls are made before the creation handler initialises the rest of the platform.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    ::InitCommonControlsEx(&classes);
    accelerators_ = BuildAccelerators();
    UniqueMenu menu = BuildMenuBar();
    const UINT dpi = OpeningDpi(nullptr);
    const int width = ScaleToDpi(kDesignWidth, dpi);
    const int height = ScaleToDpi(kDesignHeight, dpi);
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window =
        ::CreateWindowExW(0, kClassName, L"Iconvale", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left,
                          top, width, height, nullptr, menu.get(), instance, this);
    if (!window) return false;
    (void)menu.release();  // the window owns its menu now
    return true;
}

void MainWindow::Show(int showCommand) {
    ::ShowWindow(hwnd(), showCommand);
    ::UpdateWindow(hwnd());
}

void MainWindow::SetCommandHandler(Command command, std::function<void()> handler) {
    handlers_[CommandId(command) - kFirstCommand] = std::move(handler);
}

void MainWindow::EnableCommand(Command command, bool enabled) {
    ::EnableMenuItem(menuBar(), CommandId(command),
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::RunCommand(Command command) {
    auto& handler = handlers_[CommandId(command) - kFirstCommand];
    if (handler) handler();
}

void MainWindow::RunToolbarPosition(int position) {
    if (auto command = CommandAtToolbarPosition(position)) RunCommand(*command);
}

void MainWindow::RebuildIconList() {
    ::SendMessageW(iconList_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(iconList_, LVM_DELETEALLITEMS, 0, 0);
    FillIconListFrom(0);
    images_.Refresh();
    ::SendMessageW(iconList_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(iconList_, nullptr, TRUE);
}

void MainWindow::UpdateIconList() {
    ::SendMessageW(iconList_, WM_SETREDRAW, FALSE, 0);
    // Item i always shows image i under the label i, so only the tail differs.
    const int count = openGroup_.GetCount();
    int items = static_cast<int>(::SendMessageW(iconList_, LVM_GETITEMCOUNT, 0, 0));
    while (items > count) ::SendMessageW(iconList_, LVM_DELETEITEM, --items, 0);
    // The selection and focus are cleared where there are any: a sweep of every item costs
    // more than the rest of the update on a large group.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    const auto focused = static_cast<int>(
        ::SendMessageW(iconList_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (::SendMessageW(iconList_, LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
        ::SendMessageW(iconList_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(&none));
    } else if (focused >= 0) {
        ::SendMessageW(iconList_, LVM_SETITEMSTATE, static_cast<WPARAM>(focused),
                       reinterpret_cast<LPARAM>(&none));
    }
    FillIconListFrom(items);
    images_.Refresh();
    ::SendMessageW(iconList_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(iconList_, nullptr, TRUE);
}

void MainWindow::FillIconListFrom(int first) {
    const int count = openGroup_.GetCount();
    if (first >= count) return;
    // Room for every item at once, rather than growing as they come.
    ::SendMessageW(iconList_, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
    wchar_t label[16];
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = label;
    for (int i = first; i < count; ++i) {
        _itow(i, label, 10);
        item.iItem = i;
        item.iImage = i;
        ::SendMessageW(iconList_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void MainWindow::UpdateStatusBar(std::string_view text) {
    statusText_ = std::string(text);
    statusShown_ = true;
    IconSize size = openGroup_.GetIconSize();
    SetPaneText(statusBar_, 0, PaneText("图标数：", openGroup_.GetCount()));
    SetPaneText(statusBar_, 1, PaneText("宽度：", size.width));
    SetPaneText(statusBar_, 2, PaneText("高度：", size.height));
    SetPaneText(statusBar_, 3, text);
}

void MainWindow::AttachImages(HIMAGELIST images) {
    images_.AttachGroupList(images);
}

std::vector<int> MainWindow::SelectedIndices() const {
    std::vector<int> selected;
    const int count = static_cast<int>(::SendMessageW(iconList_, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (::SendMessageW(iconList_, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) {
            selected.push_back(i);
        }
    }
    return selected;
}

int MainWindow::FirstSelectedIndex() const {
    return static_cast<int>(
        ::SendMessageW(iconList_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void MainWindow::SelectIndices(const std::vector<int>& indices) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(iconList_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
    for (std::size_t i = 0; i < indices.size(); ++i) {
        state.state = LVIS_SELECTED | (i == 0 ? LVIS_FOCUSED : 0);
        ::SendMessageW(iconList_, LVM_SETITEMSTATE, indices[i], reinterpret_cast<LPARAM>(&state));
    }
    if (!indices.empty()) ::SendMessageW(iconList_, LVM_ENSUREVISIBLE, indices.front(), FALSE);
}

void MainWindow::ShowUndoState(bool canUndo, bool canRedo) {
    ::EnableMenuItem(menuBar(), CommandId(Command::Undo),
                     MF_BYCOMMAND | (canUndo ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(menuBar(), CommandId(Command::Redo),
                     MF_BYCOMMAND | (canRedo ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::LoadToolbarImages() {
    if (toolbarImages_.LoadFromBytes(
            ResourceBytes(::GetModuleHandleW(nullptr), IDR_TOOLBAR_IMAGES))) {
        FillToolbar(toolbar_, toolbarImages_.GetHandle());
        ScaleToolbarButtons(toolbar_, layout_.dpi());
    }
}

void MainWindow::SetAutoSegmentMark(bool checked) {
    ::CheckMenuItem(menuBar(), CommandId(Command::AutoSegment),
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool MainWindow::AutoSegmentMarked() const {
    return (::GetMenuState(::GetMenu(hwnd()), CommandId(Command::AutoSegment), MF_BYCOMMAND) &
            MF_CHECKED) != 0;
}

void MainWindow::SetDisplayOptions(DisplayOptions options) {
    ::CheckMenuRadioItem(menuBar(), CommandId(Command::ZoomActual),
                         CommandId(Command::ZoomQuadruple),
                         CommandId(options.zoom == 4   ? Command::ZoomQuadruple
                                   : options.zoom == 2 ? Command::ZoomDouble
                                                       : Command::ZoomActual),
                         MF_BYCOMMAND);
    ::CheckMenuItem(menuBar(), CommandId(Command::Checkerboard),
                    MF_BYCOMMAND | (options.checkerboard ? MF_CHECKED : MF_UNCHECKED));
    images_.SetOptions(options);
}

bool MainWindow::OverIconList(LPARAM screenPoint) const {
    RECT list{};
    ::GetWindowRect(iconList_, &list);
    return ::PtInRect(&list, {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)}) != FALSE;
}

bool MainWindow::OnMouseWheel(WPARAM wParam) {
    if (!(GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL)) return false;
    // Fine-grained wheels send parts of a notch; a step is taken per whole notch.
    wheelTurned_ += GET_WHEEL_DELTA_WPARAM(wParam);
    for (; wheelTurned_ >= WHEEL_DELTA; wheelTurned_ -= WHEEL_DELTA) RunCommand(Command::ZoomIn);
    for (; wheelTurned_ <= -WHEEL_DELTA; wheelTurned_ += WHEEL_DELTA) RunCommand(Command::ZoomOut);
    return true;
}

LRESULT CALLBACK MainWindow::IconListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    auto* window = reinterpret_cast<MainWindow*>(self);
    if (message == WM_MOUSEWHEEL && window->OnMouseWheel(wParam)) return 0;
    if (window->drag_.OnListMessage(message, wParam, lParam)) return 0;
    return ::DefSubclassProc(list, message, wParam, lParam);
}

void MainWindow::OnBeginDrag() {
    // The list has already selected the item the drag started on.
    drag_.Begin(SelectedIndices());
}

void MainWindow::ShowInLanguage(UiLanguage language) {
    SetUiLanguage(language);
    const bool autoSegment = AutoSegmentMarked();
    const bool canUndo =
        !(::GetMenuState(menuBar(), CommandId(Command::Undo), MF_BYCOMMAND) & MF_GRAYED);
    const bool canRedo =
        !(::GetMenuState(menuBar(), CommandId(Command::Redo), MF_BYCOMMAND) & MF_GRAYED);
    UniqueMenu bar = BuildMenuBar();
    if (!bar) return;
    HMENU old = menuBar();
    if (!::SetMenu(hwnd(), bar.get())) return;
    (void)bar.release();  // the window's now
    ::DestroyMenu(old);
    SetAutoSegmentMark(autoSegment);
    SetDisplayOptions(images_.options());
    ShowUndoState(canUndo, canRedo);
    ::CheckMenuRadioItem(menuBar(), CommandId(Command::LanguageChinese),
                         CommandId(Command::LanguageEnglish),
                         CommandId(language == UiLanguage::English ? Command::LanguageEnglish
                                                                   : Command::LanguageChinese),
                         MF_BYCOMMAND);
    if (statusShown_) {
        UpdateStatusBar(std::string(statusText_));
    } else {
        for (int i = 0; i < 4; ++i) SetPaneText(statusBar_, i, kDesignPaneTexts[i]);
    }
    SetPaneTip(statusBar_, 0, "图标数");
    ::DrawMenuBar(hwnd());
}

void MainWindow::PopUpEditMenu(POINT screen) {
    HMENU edit = ::GetSubMenu(menuBar(), kEditMenuPosition);
    UINT chosen = ::TrackPopupMenu(edit, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                                   hwnd(), nullptr);
    if (chosen != 0) OnCommand(chosen);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_INITMENUPOPUP:
            // Also sent before a shortcut key's command, which a greyed item then stops.
            if (events_.menuOpening) events_.menuOpening();
            return 0;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_MOUSEWHEEL:
            // The wheel comes here when the list is not focused but the mouse is over it.
            if (OverIconList(lParam) && OnMouseWheel(wParam)) return 0;
            return DefaultProc(message, wParam, lParam);
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

void MainWindow::CreateControls() {
    toolbar_ = CreateMainToolbar(hwnd(), layout_.dpi());
    layout_.Track(toolbar_, {0, 0, 598, 28});
    linkLabel_ = ::CreateWindowExW(
        0, WC_LINK, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, hwnd(),
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kLinkLabelId)), nullptr, nullptr);
    SetText(linkLabel_, kLinkMarkup);
    layout_.Track(linkLabel_, {416, 0, 152, 24});
    // It lies over the toolbar's right end, so it must stay above the toolbar.
    ::SetWindowPos(linkLabel_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The group owns its image list; the list view must never destroy it.
    DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_ICON |
                      LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS;
    iconList_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr, listStyle, layout_.Scaled(24), layout_.Scaled(40),
        layout_.Scaled(456), layout_.Scaled(240), hwnd(),
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kIconListId)), nullptr, nullptr);
    layout_.TrackFont(iconList_);
    images_.SetIconList(iconList_);
    drag_.SetIconList(iconList_);
    drag_.SetDropHandler([this](const std::vector<int>& selected, int gap) {
        if (events_.itemsDropped) events_.itemsDropped(selected, gap);
    });
    ::SetWindowSubclass(iconList_, &IconListProc, 0, reinterpret_cast<DWORD_PTR>(this));
    statusBar_ = ::CreateWindowExW(
        0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBT_TOOLTIPS, 0, 0, 0, 0, hwnd(),
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kStatusBarId)), nullptr, nullptr);
    layout_.TrackFont(statusBar_);
    ApplyDpi(layout_.dpi());
    for (int i = 0; i < 4; ++i) SetPaneText(statusBar_, i, kDesignPaneTexts[i]);
    SetPaneTip(statusBar_, 0, "图标数");
}

void MainWindow::ApplyDpi(UINT dpi) {
    layout_.SetDpi(dpi);
    ScaleToolbarButtons(toolbar_, dpi);
    int edges[] = {layout_.Scaled(80), layout_.Scaled(150), layout_.Scaled(220), -1};
    ::SendMessageW(statusBar_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    OnSize();
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    ApplyDpi(dpi);
    ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The size may not have changed, and the bar's height follows its new font.
    OnSize();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void MainWindow::OnCreate() {
    layout_.SetDpi(WindowDpi(hwnd()));
    CreateControls();
    SetDisplayOptions(images_.options());
    ShowUndoState(false, false);
    OnSize();
    if (events_.created) events_.created();
}

void MainWindow::OnSize() {
    if (!iconList_) return;
    ::SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT client{};
    RECT toolbarRect{};
    RECT statusRect{};
    ::GetClientRect(hwnd(), &client);
    ::GetWindowRect(toolbar_, &toolbarRect);
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&toolbarRect), 2);
    ::GetWindowRect(statusBar_, &statusRect);
    const int toolbarHeight = toolbarRect.bottom - toolbarRect.top;
    const int statusHeight = statusRect.bottom - statusRect.top;
    ::MoveWindow(iconList_, 0, toolbarRect.top + toolbarHeight, client.right,
                 client.bottom - toolbarHeight - statusHeight, TRUE);
}

void MainWindow::OnCommand(UINT id) {
    if (id >= kFirstCommand && id < kFirstCommand + kCommandCount) {
        RunCommand(static_cast<Command>(id));
    } else if (id >= kToolbarIdBase && id < kToolbarIdBase + kToolbarEntryCount) {
        RunToolbarPosition(static_cast<int>(id - kToolbarIdBase));
    }
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == iconList_ && header.code == NM_RCLICK) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        PopUpEditMenu(cursor);
        return 0;
    }
    if (header.hwndFrom == iconList_ && header.code == NM_CUSTOMDRAW) {
        auto& draw = const_cast<NMLVCUSTOMDRAW&>(reinterpret_cast<const NMLVCUSTOMDRAW&>(header));
        return drag_.OnCustomDraw(draw);
    }
    if (header.hwndFrom == iconList_ && header.code == LVN_BEGINDRAG) {
        OnBeginDrag();
        return 0;
    }
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        if (const wchar_t* tip = ToolbarTip(static_cast<UINT>(info.hdr.idFrom))) {
            info.lpszText = const_cast<wchar_t*>(tip);
        }
        return 0;
    }
    if (header.hwndFrom == linkLabel_ && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        const auto& link = reinterpret_cast<const NMLINK&>(header);
        ::ShellExecuteW(hwnd(), L"open", link.item.szUrl, nullptr, nullptr, SW_SHOWNORMAL);
        return 0;
    }
    return 0;
}

void MainWindow::OnClose() {
    if (!events_.closeQuery || events_.closeQuery()) ::DestroyWindow(hwnd());
}

void MainWindow::OnDestroy() {
    ::RemoveWindowSubclass(iconList_, &IconListProc, 0);
    if (events_.destroying) events_.destroying();
}

}  // namespace iconvale
