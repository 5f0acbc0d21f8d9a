#include "ui/platform_setup.h"

#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "ui/window_map.h"

// The one flat GDI+ call needed; <gdiplus.h> would bring the whole C++ wrapper layer along.
struct GdiplusStartupRecord {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};
static_assert(sizeof(void*) != 4 || sizeof(GdiplusStartupRecord) == 16);

extern "C" int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupRecord* input,
                                     void* output);

namespace iconvale {
namespace {

std::atomic<HINSTANCE> gModuleInstance{nullptr};

// From the system directory only, so a same-named file beside the program is never loaded.
HMODULE SystemAtl() {
    static const HMODULE atl = [] {
        wchar_t directory[MAX_PATH];
        UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return HMODULE{nullptr};
        std::wstring path(directory, length);
        path += L"\\atl.dll";
        return ::LoadLibraryW(path.c_str());  // kept loaded for the life of the process
    }();
    return atl;
}

void InitialiseActiveXHosting() {
    HMODULE atl = SystemAtl();
    if (!atl) return;
    using InitFunction = BOOL(WINAPI*)();
    // Through void(*)() because GCC rejects a direct cast between unrelated function types.
    auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(atl, "AtlAxWinInit")));
    if (init) init();
}

}  // namespace

HINSTANCE ModuleInstance() {
    HINSTANCE instance = gModuleInstance.load();
    return instance ? instance : ::GetModuleHandleW(nullptr);
}

bool PlatformSetup::Initialise(std::optional<HINSTANCE> instance, std::optional<int> activeXMode,
                               std::optional<DWORD> commonControlClasses) {
    EnsureWindowMap();
    gModuleInstance.store(::GetModuleHandleW(nullptr));
    if (gdiplusToken_ == 0) {
        // Kept only on success, so that a failed start is retried by the next call.
        GdiplusStartupRecord input{1, nullptr, FALSE, FALSE};
        ULONG_PTR token = 0;
        if (::GdiplusStartup(&token, &input, nullptr) == 0) gdiplusToken_ = token;
    }
    if (instance) gModuleInstance.store(*instance);
    if (activeXMode.value_or(1) == 1) InitialiseActiveXHosting();

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = commonControlClasses.value_or(0xFFFF);
    return ::InitCommonControlsEx(&controls) != FALSE;
}

}  // namespace iconvale
