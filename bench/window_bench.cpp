// The main window: refilling its icon list against a bare insert loop on the same list view, and
// start-up to its first paint against a bare window's.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/document.h"
#include "app/document_presenter.h"
#include "app/group_files.h"
#include "app/main_window.h"
#include "benches.h"
#include "core/image_group.h"
#include "fixtures.h"

namespace iconvale::bench {

namespace {

void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Set by the window procedures below when the window they watch has handled a paint.
bool g_painted = false;
WNDPROC g_mainProc = nullptr;

LRESULT CALLBACK WatchMainPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = ::CallWindowProcW(g_mainProc, window, message, wParam, lParam);
    if (message == WM_PAINT) g_painted = true;
    return result;
}

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        ::EndPaint(window, &paint);
        g_painted = true;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void WaitForPaint() {
    while (!g_painted) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
}

}  // namespace

void MeasureIconList(Report& report) {
    for (int count : kGroupSizes) {
        ImageGroup group;
        group.LoadFromBytes(PlatformGroupStream(count), 0);
        MainWindow window(group);
        window.Create(::GetModuleHandleW(nullptr), {});
        window.AttachImages(group.GetHandle());
        HWND list = window.iconList();
        std::vector<std::wstring> labels;
        for (int i = 0; i < count; ++i) labels.push_back(std::to_wstring(i));
        auto bare = [&] {
            ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
            ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
            for (int i = 0; i < count; ++i) {
                LVITEMW item{};
                item.mask = LVIF_TEXT | LVIF_IMAGE;
                item.iItem = i;
                item.iImage = i;
                item.pszText = labels[i].data();
                ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            }
            ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        };
        auto rebuild = [&] { window.RebuildIconList(); };
        report.Add(
            "RebuildIconList, " + std::to_string(count) + " items", "bare LVM_INSERTITEMW loop",
            Compare(kRuns, rebuild, bare, PumpMessages), 1.1,
            count == kGroupSizes[0]
                ? "both with redraw suspended and all items deleted first; labels of the bare loop "
                  "made beforehand"
                : "");
    }
}

void MeasureOpenToPaint(Report& report) {
    for (int count : kGroupSizes) {
        const std::string folder = NewTempFolder("paint");
        const std::string path = folder + "group.eil";
        ImageGroup made;
        if (!made.LoadFromBytes(PlatformGroupStream(count), 0) || !WriteGroupFile(path, made))
            continue;
        Document document;
        MainWindow window(document.group());
        window.Create(::GetModuleHandleW(nullptr), {});
        DocumentPresenter presenter(document, window);
        window.Show(SW_SHOWNORMAL);
        PumpMessages();
        HWND list = window.iconList();
        std::vector<std::wstring> labels;
        for (int i = 0; i < count; ++i) labels.push_back(std::to_wstring(i));
        // From the chosen file to the icon list painted: read, fill the list, refresh, paint.
        auto open = [&] {
            document.Open(path);
            ::UpdateWindow(list);
        };
        auto bare = [&] {
            ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
            ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
            for (int i = 0; i < count; ++i) {
                LVITEMW item{};
                item.mask = LVIF_TEXT | LVIF_IMAGE;
                item.iItem = i;
                item.iImage = i;
                item.pszText = labels[i].data();
                ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            }
            ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        };
        report.Add(
            "open to the icon list painted, " + std::to_string(count) + " items",
            "bare LVM_INSERTITEMW loop", Compare(kRuns, open, bare, PumpMessages), 0,
            count == kGroupSizes[0]
                ? "Document::Open of a .eil file with the presenter and a shown main window, until "
                  "the icon list's paint returns"
                : "");
        document.Discard();
        RemoveFolder(folder);
    }
}

void MeasureStartUp(Report& report) {
    ImageGroup group;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW bareClass{};
    bareClass.lpfnWndProc = BareProc;
    bareClass.hInstance = instance;
    bareClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    bareClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    bareClass.lpszClassName = L"IconvaleBenchBare";
    ::RegisterClassW(&bareClass);

    auto main = [&] {
        g_painted = false;
        MainWindow window(group);
        window.Create(instance, {});
        g_mainProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchMainPaint)));
        window.Show(SW_SHOWNORMAL);
        WaitForPaint();
        ::SetWindowLongPtrW(window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc));
    };
    auto bare = [&] {
        g_painted = false;
        HWND window = ::CreateWindowExW(0, bareClass.lpszClassName, L"Bare", WS_OVERLAPPEDWINDOW,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 604, 415, nullptr, nullptr,
                                        instance, nullptr);
        ::ShowWindow(window, SW_SHOWNORMAL);
        ::UpdateWindow(window);
        WaitForPaint();
        ::DestroyWindow(window);
    };
    report.Add("start-up to first paint", "bare Win32 window",
               Compare(kRuns, main, bare, PumpMessages), 1.5,
               "create and show until the window's first WM_PAINT returns; the first of each is an "
               "untimed "
               "warm-up (class registration, control classes)");
}

}  // namespace iconvale::bench
