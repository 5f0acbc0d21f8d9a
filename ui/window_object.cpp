#include "ui/window_object.h"

#include <string>

#include "ui/window_map.h"

namespace iconvale {
namespace {

std::uintptr_t BlockKey(const WindowObject::Core* core) {
    return reinterpret_cast<std::uintptr_t>(core);
}

WNDPROC CurrentProcedure(HWND window) {
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
}

LRESULT CallPrevious(std::uintptr_t previous, HWND window, UINT message, WPARAM wParam,
                     LPARAM lParam) {
    if (!previous) return ::DefWindowProcW(window, message, wParam, lParam);
    return ::CallWindowProcW(reinterpret_cast<WNDPROC>(previous), window, message, wParam, lParam);
}

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[64];
    int length = ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return length > 0 && ::CompareStringOrdinal(name, length, className, -1, TRUE) == CSTR_EQUAL;
}

wchar_t Upper(wchar_t c) {
    ::CharUpperBuffW(&c, 1);
    return c;
}

// True when the caption marks `key` as its mnemonic: "&" then the key, in either case. A
// doubled "&&" is a literal ampersand and marks nothing.
bool HasMnemonic(HWND window, wchar_t key) {
    int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return false;
    std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()))));
    const wchar_t wanted = Upper(key);
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        if (Upper(caption[i + 1]) == wanted) return true;
    }
    return false;
}

// Depth first over all descendants of `parent`, in the order of the child lists. Disabled
// buttons are passed over: pressing them by their mnemonic would bypass the disabling.
HWND FindMnemonicButton(HWND parent, const wchar_t* className, wchar_t key) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (HasClass(child, className) && ::IsWindowEnabled(child) && HasMnemonic(child, key)) {
            return child;
        }
        if (HWND found = FindMnemonicButton(child, className, key)) return found;
    }
    return nullptr;
}

bool PressMnemonicButton(HWND window, wchar_t key) {
    HWND root = ::GetAncestor(window, GA_ROOT);
    if (!root) return false;
    HWND button = FindMnemonicButton(root, L"button", key);
    if (!button) button = FindMnemonicButton(root, L"vxButton", key);
    if (!button) return false;
    ::SendMessageW(::GetParent(button), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), 0),
                   reinterpret_cast<LPARAM>(button));
    return true;
}

RECT WorkArea() {
    RECT area{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    return area;
}

POINT CentreIn(const RECT& area, int width, int height) {
    return POINT{area.left + ((area.right - area.left) - width) / 2,
                 area.top + ((area.bottom - area.top) - height) / 2};
}

}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* core = reinterpret_cast<WindowObject::Core*>(FindInWindowMap(window));
        if (!core) return ::DefWindowProcW(window, message, wParam, lParam);
        const std::uintptr_t before = core->GetProperty(kOldWindowProcProperty);
        // The reference keeps the block alive should the handler let go of the last copy. It
        // is empty only while the block's release runs; messages sent from the release hooks
        // then go straight to the old procedure.
        if (std::shared_ptr<WindowObject::Core> keep = core->weak_from_this().lock()) {
            LRESULT result = 0;
            bool handled = false;
            try {
                handled = keep->OnMessage(window, message, wParam, lParam, result);
            } catch (...) {
                handled = false;
            }
            if (handled) return result;
            // Read again: the handler may have replaced it. A handler that detached has put the
            // old procedure back, and the message it passed on is still that procedure's.
            const std::uintptr_t after = keep->GetProperty(kOldWindowProcProperty);
            return CallPrevious(after ? after : before, window, message, wParam, lParam);
        }
        return CallPrevious(before, window, message, wParam, lParam);
    } catch (...) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

bool WindowObject::Core::Attach(HWND window) {
    if (!window || !::IsWindow(window)) return false;
    if (std::uintptr_t holder = FindInWindowMap(window)) return holder == BlockKey(this);
    if (HWND current = AttachedWindow()) {
        if (::IsWindow(current)) return false;
        Detach();  // the window went without its WM_NCDESTROY reaching this object
    }
    if (CurrentProcedure(window) == &FrameworkWindowProc) return false;

    // Everything that allocates happens before the window changes, so a failure leaves it as
    // it was.
    SetProperty(kOldWindowProcProperty, 0);
    SetProperty(kWindowProperty, 0);
    AddToWindowMap(window, BlockKey(this));
    ::SetLastError(0);
    LONG_PTR previous =
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc));
    if (!previous && ::GetLastError() != 0) {
        RemoveFromWindowMap(window);
        return false;
    }
    SetProperty(kWindowProperty, reinterpret_cast<std::uintptr_t>(window));
    SetProperty(kOldWindowProcProperty, static_cast<std::uintptr_t>(previous));
    return true;
}

void WindowObject::Core::Detach() {
    HWND window = AttachedWindow();
    if (!window) return;
    if (std::uintptr_t previous = GetProperty(kOldWindowProcProperty)) {
        if (::IsWindow(window)) {
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
        }
        SetProperty(kOldWindowProcProperty, 0);
    }
    if (FindInWindowMap(window) == BlockKey(this)) RemoveFromWindowMap(window);
    SetProperty(kWindowProperty, 0);
}

bool WindowObject::Core::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT& result) {
    switch (message) {
        case WM_SYSCHAR:
            if (!PressMnemonicButton(window, static_cast<wchar_t>(wParam))) return false;
            result = 0;
            return true;
        case WM_NCDESTROY:
            if (window != AttachedWindow()) return false;
            // The replaced procedure gets its last message before it is put back, so a class
            // procedure can still free what it keeps for the window.
            result =
                CallPrevious(GetProperty(kOldWindowProcProperty), window, message, wParam, lParam);
            Detach();
            return true;
        default:
            return false;
    }
}

bool WindowObject::Core::ApplyStartPosition(HWND window) const {
    RECT rect{};
    if (!window || !::GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const bool child = (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0;
    // For a top-level window GetParent would miss an owner unless the window is a pop-up.
    HWND parent = child ? ::GetParent(window) : ::GetWindow(window, GW_OWNER);

    POINT place{rect.left, rect.top};
    switch (GetProperty(kStartPositionProperty)) {
        case kStartCentreWorkArea:
            place = CentreIn(WorkArea(), width, height);
            break;
        case kStartCentreParent: {
            RECT area{};
            if (!parent || !::GetWindowRect(parent, &area)) area = WorkArea();
            place = CentreIn(area, width, height);
            break;
        }
        default:
            break;
    }
    // A child is placed in its parent's client coordinates, not the screen's.
    if (child && parent) ::MapWindowPoints(HWND_DESKTOP, parent, &place, 1);
    return ::MoveWindow(window, place.x, place.y, width, height, TRUE) != FALSE;
}

WindowObject::WindowObject() : WindowObject(std::make_unique<Core>()) {}

WindowObject::WindowObject(std::unique_ptr<Core> core) {
    if (!core) core = std::make_unique<Core>();
    // The release runs with the block still whole, so the kind's hook dispatches virtually
    // and sees the window still attached; detaching comes last and once.
    core_ = std::shared_ptr<Core>(core.release(), [](Core* released) noexcept {
        std::unique_ptr<Core> owned(released);
        try {
            owned->OnRelease();
        } catch (...) {
        }
        try {
            owned->Detach();
        } catch (...) {
        }
    });
}

}  // namespace iconvale
