#include "support/remote_program.h"

#include <commctrl.h>

#include "support/windows.h"
#include "ui/text.h"

namespace iconvale::testing {

namespace {

struct WindowSearch {
    DWORD processId;
    std::wstring caption;
    const wchar_t* className;
    std::wstring childText;  // when not empty, a child of the window must show this text
    HWND found = nullptr;
};

BOOL CALLBACK MatchChildText(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    wchar_t text[256] = {};
    ::GetWindowTextW(child, text, 256);
    if (search->childText != text) return TRUE;
    search->childText.clear();  // found: the search below sees the criterion met
    return FALSE;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window)) return TRUE;
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    if (!search->caption.empty() && search->caption != text) return TRUE;
    if (search->className) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (::lstrcmpiW(name, search->className) != 0) return TRUE;
    }
    if (!search->childText.empty()) {
        WindowSearch children = *search;
        ::EnumChildWindows(window, MatchChildText, reinterpret_cast<LPARAM>(&children));
        if (!children.childText.empty()) return TRUE;
    }
    search->found = window;
    return FALSE;
}

// Memory in the program's process, for the control messages that carry pointers.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, std::size_t size)
        : process_(process),
          address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    void* get() const { return address_; }
    bool Write(const void* data, std::size_t size) const {
        return address_ && ::WriteProcessMemory(process_, address_, data, size, nullptr);
    }
    bool Read(void* data, std::size_t size) const {
        return address_ && ::ReadProcessMemory(process_, address_, data, size, nullptr);
    }

private:
    HANDLE process_;
    void* address_;
};

}  // namespace

std::wstring ProgramPath() {
    // The tests live in <build>\tests, the program in <build>.
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    for (int up = 0; up < 2; ++up) path.erase(path.find_last_of(L'\\'));
    return path + L"\\iconvale.exe";
}

RemoteProgram::~RemoteProgram() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

bool RemoteProgram::Start(const std::wstring& arguments) {
    std::wstring line = L"\"" + ProgramPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return false;
    }
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
    ::WaitForInputIdle(info.hProcess, 10000);
    main_ = WaitForWindow("Iconvale", 20000);
    return main_ != nullptr;
}

HWND RemoteProgram::Child(const wchar_t* className) const {
    return ::FindWindowExW(main_, nullptr, className, nullptr);
}

HWND RemoteProgram::WaitForWindow(const std::string& caption, DWORD timeoutMs) const {
    return Wait(caption, nullptr, timeoutMs);
}

HWND RemoteProgram::WaitForDialog(const std::string& caption, DWORD timeoutMs) const {
    return Wait(caption, L"#32770", timeoutMs);
}

HWND RemoteProgram::WaitForDialogShowing(const std::string& text, DWORD timeoutMs) const {
    return Wait({}, L"#32770", timeoutMs, text);
}

HWND RemoteProgram::Wait(const std::string& caption, const wchar_t* className, DWORD timeoutMs,
                         const std::string& childText) const {
    WindowSearch search{processId_, WidePtr(ToWide(caption)), className, WidePtr(ToWide(childText))};
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        search.found = nullptr;
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        PumpMessages();
        ::Sleep(50);
    }
    return nullptr;
}

bool RemoteProgram::WaitForWindowGone(HWND window, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        if (!::IsWindow(window) || !::IsWindowVisible(window)) return true;
        ::Sleep(50);
    }
    return false;
}

void RemoteProgram::Command(UINT id) const { ::PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

bool RemoteProgram::SelectItems(HWND list, const std::vector<int>& items) const {
    RemoteBlock block(process_.get(), sizeof(LVITEMW));
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = 0;
    if (!block.Write(&state, sizeof state)) return false;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(block.get()));
    state.state = LVIS_SELECTED;
    if (!block.Write(&state, sizeof state)) return false;
    for (int item : items) {
        ::SendMessageW(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(block.get()));
    }
    return true;
}

int RemoteProgram::ItemCount(HWND list) const {
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteProgram::StatusText(int pane) const {
    HWND status = Child(STATUSCLASSNAMEW);
    const std::size_t bytes = 1024;
    RemoteBlock block(process_.get(), bytes);
    wchar_t text[512] = {};
    if (!block.Write(text, bytes)) return {};
    ::SendMessageW(status, SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(block.get()));
    block.Read(text, bytes);
    text[511] = L'\0';
    return ToNarrow(std::wstring_view(text));
}

bool RemoteProgram::WaitForExit(DWORD timeoutMs) {
    return process_ && ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
    const std::wstring wide = WidePtr(ToWide(path));
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        if (::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ::Sleep(200);  // the swap is the last step; let the command finish with the window
            return true;
        }
        ::Sleep(50);
    }
    return false;
}

void ChooseInFileDialog(HWND dialog, const std::string& path) {
    ::Sleep(300);  // the dialog fills its controls after it is shown
    HWND field = ::GetDlgItem(dialog, 0x47C);
    if (!field) field = ::GetDlgItem(dialog, 0x480);
    wchar_t className[64] = {};
    ::GetClassNameW(field, className, 64);
    if (::lstrcmpiW(className, WC_COMBOBOXEXW) == 0) {
        if (auto edit = reinterpret_cast<HWND>(::SendMessageW(field, CBEM_GETEDITCONTROL, 0, 0))) field = edit;
    }
    std::wstring wide = WidePtr(ToWide(path));
    ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::GetClassNameW(child, className, 64);
        if (::GetDlgCtrlID(child) == IDOK && ::lstrcmpiW(className, L"Button") == 0) {
            ::PostMessageW(child, BM_CLICK, 0, 0);
            return;
        }
    }
}

}  // namespace iconvale::testing
