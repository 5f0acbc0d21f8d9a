#include "ui/platform_setup.h"

#include <gtest/gtest.h>

#include "ui/win_handles.h"
#include "ui/window_map.h"

namespace iconvale {
namespace {

using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &::DestroyWindow>>;

constexpr int kNoActiveX = 0;

UniqueWindow StaticWindow() {
    return UniqueWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                          nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

TEST(PlatformSetupInitialise, TakesTheExecutableAsModuleInstanceAndStartsGdiplus) {
    PlatformSetup app;
    EXPECT_EQ(app.GdiplusToken(), 0u);
    EXPECT_TRUE(app.Initialise({}, kNoActiveX));
    EXPECT_EQ(ModuleInstance(), ::GetModuleHandleW(nullptr));
    EXPECT_NE(app.GdiplusToken(), 0u);
    EXPECT_TRUE(WindowMapExists());
    EXPECT_EQ(app.Window().AttachedWindow(), nullptr);
}

TEST(PlatformSetupInitialise, AGivenInstanceWinsUntilTheNextCallWithout) {
    PlatformSetup app;
    HINSTANCE user32 = ::GetModuleHandleW(L"user32.dll");
    ASSERT_NE(user32, nullptr);
    app.Initialise(user32, kNoActiveX);
    EXPECT_EQ(ModuleInstance(), user32);
    app.Initialise({}, kNoActiveX);
    EXPECT_EQ(ModuleInstance(), ::GetModuleHandleW(nullptr));
}

TEST(PlatformSetupInitialise, SecondCallKeepsGdiplusAndTheWindowMapWithItsEntries) {
    PlatformSetup app;
    app.Initialise({}, kNoActiveX);
    const ULONG_PTR token = app.GdiplusToken();
    UniqueWindow window = StaticWindow();
    WindowObject object;
    ASSERT_TRUE(object.Attach(window.get()));
    const std::uintptr_t block = FindInWindowMap(window.get());
    const std::size_t mapped = WindowMapSize();

    app.Initialise({}, kNoActiveX);
    EXPECT_EQ(app.GdiplusToken(), token) << "GDI+ was started once";
    EXPECT_EQ(FindInWindowMap(window.get()), block);
    EXPECT_EQ(WindowMapSize(), mapped);
    EXPECT_NE(::SendMessageW(window.get(), WM_GETTEXTLENGTH, 0, 0), -1)
        << "the attached window still works";
}

TEST(PlatformSetupInitialise, CommonControlsCanBeCreatedAfterwards) {
    PlatformSetup app;
    EXPECT_TRUE(app.Initialise({}, kNoActiveX, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES));
    for (const wchar_t* className : {WC_LISTVIEWW, TOOLBARCLASSNAMEW, STATUSCLASSNAMEW}) {
        UniqueWindow control(::CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 100, 100, nullptr,
                                               nullptr, ModuleInstance(), nullptr));
        EXPECT_TRUE(control) << "class " << static_cast<const void*>(className);
    }
    EXPECT_TRUE(app.Initialise()) << "every class, and ActiveX hosting";
}

TEST(PlatformSetupInitialise, ActiveXHostingComesFromTheSystemAtl) {
    wchar_t path[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    ASSERT_GT(length, 0u);
    if (::GetFileAttributesW((std::wstring(path, length) + L"\\atl.dll").c_str()) ==
        INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no atl.dll on this system";
    }
    PlatformSetup app;
    app.Initialise();
    EXPECT_NE(::GetModuleHandleW(L"atl.dll"), nullptr) << "kept loaded after the call";
    WNDCLASSEXW hostClass{};
    hostClass.cbSize = sizeof hostClass;
    EXPECT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"AtlAxWin", &hostClass));
}

}  // namespace
}  // namespace iconvale
