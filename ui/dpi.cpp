#include "ui/dpi.h"

namespace iconvale {

namespace {

template <typename Fn>
Fn LookUp(const wchar_t* module, const char* name) {
    HMODULE loaded = ::GetModuleHandleW(module);
    if (!loaded) loaded = ::LoadLibraryW(module);
    return loaded ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(loaded, name)))
                  : nullptr;
}

UINT ScreenDpi() {
    WindowDc screen(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    // GetDpiForWindow exists from Windows 10 on; looked up so that older systems still run.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = LookUp<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && window) {
        UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return dpi;
    }
    return ScreenDpi();
}

UINT MonitorDpi(HMONITOR monitor) {
    // Windows 8.1 on; shcore is loaded for it and stays for the life of the process.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor =
        LookUp<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    constexpr int kEffectiveDpi = 0;
    if (getDpiForMonitor && monitor &&
        SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && x != 0) {
        return x;
    }
    return ScreenDpi();
}

UINT OpeningDpi(HWND owner) {
    if (owner && ::IsWindow(owner)) {
        return MonitorDpi(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST));
    }
    return MonitorDpi(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

UniqueFont CreateGuiFont(UINT dpi) {
    LOGFONTW face{};
    if (!::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face)) return {};
    face.lfHeight = ::MulDiv(face.lfHeight, static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
    return UniqueFont(::CreateFontIndirectW(&face));
}

}  // namespace iconvale
