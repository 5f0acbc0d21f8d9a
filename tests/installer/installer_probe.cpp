// Looks at an installed copy of the program from outside, for scripts/installer_test.sh:
//   installer_probe shortcut LINK     prints the shortcut's target and working folder
//   installer_probe window SECONDS    waits for the program's main window to show a group,
//                                     prints its status bar panes and icon count, then closes
//                                     the window and waits for the program to end
// Prints "name=value" lines in UTF-8; exits with 1 when something could not be looked at.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "ui/text.h"
#include "ui/win_handles.h"

namespace {

using namespace iconvale;

constexpr wchar_t kMainWindowClass[] = L"IconvaleMainWindow";
constexpr UINT kReplyTimeoutMs = 5000;

void Print(const char* name, std::wstring_view value) {
    std::printf("%s=%s\n", name, ToNarrow(value, CP_UTF8).c_str());
}

int PrintShortcut(const wchar_t* linkPath) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) ||
        FAILED(file->Load(linkPath, STGM_READ))) {
        return 1;
    }
    wchar_t text[MAX_PATH] = {};
    if (FAILED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) return 1;
    Print("target", text);
    text[0] = L'\0';
    link->GetWorkingDirectory(text, MAX_PATH);
    Print("folder", text);
    return 0;
}

// Text of one status bar pane of another process: the message needs a buffer in that process.
std::wstring PaneText(HANDLE process, HWND statusBar, int pane) {
    constexpr std::size_t kUnits = 1024;
    void* remote = ::VirtualAllocEx(process, nullptr, kUnits * sizeof(wchar_t),
                                    MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return {};
    std::wstring text(kUnits, L'\0');
    DWORD_PTR length = 0;
    if (::SendMessageTimeoutW(statusBar, SB_GETTEXTLENGTHW, pane, 0, SMTO_ABORTIFHUNG,
                              kReplyTimeoutMs, &length) &&
        LOWORD(length) < kUnits &&
        ::SendMessageTimeoutW(statusBar, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(remote),
                              SMTO_ABORTIFHUNG, kReplyTimeoutMs, nullptr) &&
        ::ReadProcessMemory(process, remote, text.data(), (LOWORD(length) + 1) * sizeof(wchar_t),
                            nullptr)) {
        text.resize(LOWORD(length));
    } else {
        text.clear();
    }
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

int ProbeWindow(DWORD seconds) {
    const DWORD limit = seconds * 1000;
    const DWORD start = ::GetTickCount();
    HWND window = nullptr;
    while (!(window = ::FindWindowW(kMainWindowClass, nullptr)) &&
           ::GetTickCount() - start < limit) {
        ::Sleep(100);
    }
    if (!window) {
        std::puts("window=none");
        return 1;
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE opened = ::OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | SYNCHRONIZE, FALSE, processId);
    if (!opened) return 1;
    UniqueFile process(opened);
    // The window is found while it still makes its controls, and it shows before the group
    // named on the command line is read into it.
    HWND statusBar = nullptr;
    std::wstring path;
    while (::GetTickCount() - start < limit) {
        statusBar = ::FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr);
        if (statusBar && !(path = PaneText(process.get(), statusBar, 3)).empty()) break;
        ::Sleep(100);
    }
    HWND iconList = ::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    for (int pane = 0; pane < 3; ++pane) {
        const std::string name = "pane" + std::to_string(pane);
        Print(name.c_str(), PaneText(process.get(), statusBar, pane));
    }
    Print("path", path);
    DWORD_PTR count = 0;
    ::SendMessageTimeoutW(iconList, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                          &count);
    std::printf("count=%lu\n", static_cast<unsigned long>(count));

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = ::WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0;
    std::printf("ended=%d\n", ended ? 1 : 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring_view(argv[1]) == L"shortcut") {
        const bool com = SUCCEEDED(::CoInitialize(nullptr));
        const int result = PrintShortcut(argv[2]);
        if (com) ::CoUninitialize();
        return result;
    }
    if (argc == 3 && std::wstring_view(argv[1]) == L"window") {
        return ProbeWindow(static_cast<DWORD>(::_wtoi(argv[2])));
    }
    std::fputs("usage: installer_probe shortcut LINK | window SECONDS\n", stderr);
    return 2;
}
