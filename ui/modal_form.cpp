#include "ui/modal_form.h"

#include <algorithm>
#include <new>
#include <utility>

#include "ui/control_text.h"
#include "ui/ui_language.h"
#include "ui/window_class.h"

namespace iconvale {

namespace {

constexpr wchar_t kClassName[] = L"IconvaleModalForm";

struct EnabledWindows {
    HWND except;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectEnabled(HWND window, LPARAM param) {
    auto& collect = *reinterpret_cast<EnabledWindows*>(param);
    if (window != collect.except && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        // No exception may cross the platform's enumeration; a window not collected stays usable.
        try {
            collect.found->push_back(window);
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
    }
    return TRUE;
}

bool IsFocusable(HWND control) {
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

}  // namespace

ModalForm::ModalForm(int templateId) : templateId_(templateId) {}

ModalForm::~ModalForm() {
    if (hwnd()) Close();
}

bool ModalForm::ShowModal(HWND owner) {
    if (hwnd()) return false;
    previousActive_ = ::GetActiveWindow();
    owner_ = owner && ::IsWindow(owner) ? owner : nullptr;
    if (!Create(owner_)) {
        owner_ = previousActive_ = nullptr;
        return false;
    }
    DisableOthers();
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::UpdateWindow(hwnd());

    MSG message{};
    while (hwnd()) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            Close();
            // The quit belongs to the loop outside; it must still see it.
            if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!::IsDialogMessageW(hwnd(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

void ModalForm::Close() {
    if (!hwnd()) return;
    // Enabled before the form goes, or the platform activates some other program's window.
    ReleaseOthers();
    ::DestroyWindow(hwnd());
}

bool ModalForm::AddTemplateControls() {
    bool all = true;
    for (const TemplateControl& c : controls_) {
        const Placement at{c.rect.left, c.rect.top, c.rect.width, c.rect.height};
        HWND control = ::CreateWindowExW(
            c.extendedStyle, c.className.c_str(), c.text.c_str(), WS_CHILD | WS_VISIBLE | c.style,
            Scaled(at.left), Scaled(at.top), Scaled(at.width), Scaled(at.height), hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), ::GetModuleHandleW(nullptr),
            nullptr);
        if (!control) {
            all = false;
            continue;
        }
        layout_.Track(control, at);
    }
    return all;
}

std::string ModalForm::TextOf(HWND control) {
    return iconvale::TextOf(control);
}

void ModalForm::SetTextOf(HWND control, std::string_view text) {
    SetText(control, text);
}

LRESULT ModalForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            if (!lastFocus_) FocusFirstControl();
            return 0;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            // Esc arrives from the dialog manager as this same command.
            if (id == IDCANCEL && code == BN_CLICKED) {
                ::SendMessageW(hwnd(), WM_CLOSE, 0, 0);
            } else {
                OnCommand(id, code, reinterpret_cast<HWND>(lParam));
            }
            return 0;
        }
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case DM_GETDEFID:
            return DefaultIdForEnter();
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd(), focus)) lastFocus_ = focus;
                return 0;
            }
            [[fallthrough]];
        case WM_SETFOCUS:
            if (lastFocus_ && ::IsWindow(lastFocus_)) {
                ::SetFocus(lastFocus_);
                return 0;
            }
            return DefaultProc(message, wParam, lParam);
        case WM_CLOSE:
            OnCloseRequest();
            return 0;
        case WM_DESTROY:
            ReleaseOthers();
            return 0;
        case WM_DPICHANGED:
            ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

bool ModalForm::Create(HWND owner) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(instance, kClassName, &WindowProc)) return false;
    std::optional<DialogTemplate> design = LoadDialogTemplate(templateId_, CurrentLanguageId());
    if (!design) return false;
    controls_ = std::move(design->controls);
    designWidth_ = design->width;
    designHeight_ = design->height;
    layout_.Clear();
    layout_.SetDpi(OpeningDpi(owner));
    lastFocus_ = nullptr;
    const RECT outer = OuterRect(owner);
    return ::CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, design->caption.c_str(),
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, outer.left,
                             outer.top, outer.right - outer.left, outer.bottom - outer.top, owner,
                             nullptr, instance, this) != nullptr;
}

RECT ModalForm::OuterRect(HWND owner) const {
    const int width = Scaled(designWidth_);
    const int height = Scaled(designHeight_);
    int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    RECT around{};
    if (owner && ::GetWindowRect(owner, &around)) {
        left = around.left + (around.right - around.left - width) / 2;
        top = around.top + (around.bottom - around.top - height) / 2;
        // An owner partly off the screen must not push the form out of reach.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& work = monitor.rcWork;
            left = std::max(std::min(left, static_cast<int>(work.right) - width),
                            static_cast<int>(work.left));
            top = std::max(std::min(top, static_cast<int>(work.bottom) - height),
                           static_cast<int>(work.top));
        }
    }
    return RECT{left, top, left + width, top + height};
}

void ModalForm::DisableOthers() {
    disabled_.clear();
    if (owner_) {
        if (::IsWindowEnabled(owner_)) disabled_.push_back(owner_);
    } else {
        EnabledWindows collect{hwnd(), &disabled_};
        ::EnumThreadWindows(::GetCurrentThreadId(), &CollectEnabled,
                            reinterpret_cast<LPARAM>(&collect));
    }
    for (HWND window : disabled_) ::EnableWindow(window, FALSE);
}

void ModalForm::ReleaseOthers() {
    const bool wasActive = hwnd() && ::GetActiveWindow() == hwnd();
    for (HWND window : disabled_) {
        if (::IsWindow(window)) ::EnableWindow(window, TRUE);
    }
    disabled_.clear();
    HWND back = owner_ ? owner_ : previousActive_;
    if (wasActive && back && back != hwnd() && ::IsWindow(back) && ::IsWindowEnabled(back)) {
        ::SetActiveWindow(back);
    }
    owner_ = previousActive_ = nullptr;
}

void ModalForm::FocusFirstControl() {
    for (HWND child = ::GetWindow(hwnd(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!IsFocusable(child)) continue;
        lastFocus_ = child;
        if (::SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
            ::SendMessageW(child, EM_SETSEL, 0, -1);
        }
        return;
    }
}

LRESULT ModalForm::DefaultIdForEnter() const {
    // A focused push button takes Enter itself, as in the platform's own dialogs.
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd(), focus) &&
        (::SendMessageW(focus, WM_GETDLGCODE, 0, 0) &
         (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
    }
    return MAKELRESULT(IDOK, DC_HASDEFID);
}

void ModalForm::ChangeDpi(UINT dpi, const RECT& suggested) {
    layout_.SetDpi(dpi);
    OnDpiChanged();
    // The size comes from the design, so that a change and its way back end where they began.
    ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, Scaled(designWidth_),
                   Scaled(designHeight_), SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

// The field height given and the one reported differ by the platform's own margin (Wine adds
// two pixels), so the value sent is corrected by what each attempt measured.
void FitClosedHeight(HWND list, int closedHeight) {
    RECT now{};
    const LRESULT field = ::SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (!::GetWindowRect(list, &now) || field == CB_ERR) return;
    int sent = static_cast<int>(field);
    for (int attempt = 0; attempt < 3 && now.bottom - now.top != closedHeight; ++attempt) {
        sent += closedHeight - (now.bottom - now.top);
        if (sent <= 0) return;
        ::SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), sent);
        if (!::GetWindowRect(list, &now)) return;
    }
}

}  // namespace iconvale
