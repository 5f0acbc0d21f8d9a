#include "ui/dpi.h"

#include "ui/win_handles.h"

namespace iconvale {

UINT WindowDpi(HWND window) {
    // GetDpiForWindow exists from Windows 10 on; looked up so that older systems still run.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    WindowDc screen(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace iconvale
