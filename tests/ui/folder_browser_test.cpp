#include "ui/folder_browser.h"

#include <gtest/gtest.h>

#include <objidl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/browser_selection.h"
#include "support/dialog_driver.h"
#include "support/expected_flags.h"
#include "support/heap_probes.h"
#include "support/temp_folder.h"
#include "support/windows.h"
#include "ui/text.h"
#include "ui/window_map.h"

namespace iconvale {
namespace {

using testing::BlockBytes;
using testing::BusyHeapBlocks;
using testing::Click;
using testing::DialogDriver;
using testing::kExtractionBrowseFlags;
using testing::TempFolder;

constexpr char kOutputName[] = "图标输出";

std::wstring Wide(std::string_view gbk) {
    return WidePtr(ToWide(gbk));
}

std::string MakeFolder(const std::string& gbk) {
    EXPECT_TRUE(::CreateDirectoryW(Wide(gbk).c_str(), nullptr)) << gbk;
    return gbk;
}

// Every BFFM_SETSELECTION the thread's windows are sent while it lives, in either text form.
class SelectionRequests {
public:
    struct Request {
        UINT message;
        WPARAM byPath;
        std::wstring path;
    };
    SelectionRequests() {
        current_ = this;
        hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
        EXPECT_NE(hook_, nullptr);
    }
    ~SelectionRequests() {
        if (hook_) ::UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    const std::vector<Request>& seen() const { return seen_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && current_ &&
            (sent->message == BFFM_SETSELECTIONW || sent->message == BFFM_SETSELECTIONA)) {
            std::wstring path;
            if (sent->message == BFFM_SETSELECTIONW && sent->wParam && sent->lParam) {
                path = reinterpret_cast<const wchar_t*>(sent->lParam);
            }
            current_->seen_.push_back({sent->message, sent->wParam, path});
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline SelectionRequests* current_ = nullptr;
    HHOOK hook_ = nullptr;
    std::vector<Request> seen_;
};

// Passes every task-memory call through unchanged and notes which blocks are freed. Once
// registered it may outlive its revocation (while blocks it saw stay allocated), so the one
// instance lives as long as the process.
class FreeSpy : public IMallocSpy {
public:
    static FreeSpy& Instance() {
        static FreeSpy* spy = new FreeSpy;
        return *spy;
    }
    bool Start() {
        freed_.clear();
        return SUCCEEDED(::CoRegisterMallocSpy(this));
    }
    void Stop() { ::CoRevokeMallocSpy(); }
    void Forget() { freed_.clear(); }
    bool Freed(const void* block) const {
        return std::find(freed_.begin(), freed_.end(), block) != freed_.end();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
            *out = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T bytes) override { return bytes; }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override { return actual; }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        freed_.push_back(request);
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T bytes, void** newRequest,
                                        BOOL) override {
        *newRequest = request;
        return bytes;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    FreeSpy() = default;
    std::vector<void*> freed_;
};

class FolderBrowserTest : public ::testing::Test {
protected:
    // Shows the browser; `act` runs once inside its dialog, found as the window the browser
    // attached itself to.
    bool ShowAndDo(FolderBrowser& browser, const std::function<void(HWND)>& act,
                   HWND owner = nullptr) {
        DialogDriver driver;
        HWND shown = nullptr;
        driver.WhenFound(
            [&]() -> HWND {
                HWND dialog = browser.AttachedWindow();
                return dialog && ::IsWindowVisible(dialog) ? dialog : nullptr;
            },
            [&](HWND dialog) {
                shown = dialog;
                act(dialog);
            },
            "folder browser");
        const bool chosen = browser.Show(owner);
        EXPECT_TRUE(driver.AllRan());
        EXPECT_FALSE(::IsWindow(shown));
        EXPECT_EQ(browser.AttachedWindow(), nullptr) << "detached when the dialog went";
        EXPECT_EQ(FindInWindowMap(shown), 0u);
        return chosen;
    }

    static void PressOk(HWND dialog) { Click(::GetDlgItem(dialog, IDOK)); }

    // Presses OK once the tree has selected `folder`; OK takes the tree's.
    std::function<void(HWND)> OkOnceOn(FolderBrowser& browser, const std::string& folder) {
        selected_.clear();
        browser.SetOnSelChanged([this](HWND, const WideText& path) { selected_ = WidePtr(path); });
        return [this, folder](HWND dialog) {
            testing::WaitForBrowserOn(dialog, folder, [&] { return selected_ == Wide(folder); });
            EXPECT_EQ(selected_, Wide(folder));
            PressOk(dialog);
        };
    }
    static void PressCancel(HWND dialog) { Click(::GetDlgItem(dialog, IDCANCEL)); }

    std::wstring selected_;
    TempFolder temp_;
    const std::string output_ = MakeFolder(temp_.File(kOutputName));
};

TEST_F(FolderBrowserTest, ConstructionSetsUpAnEmptyRecord) {
    FolderBrowser browser;
    const BROWSEINFOW* record = browser.Record();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(browser.GetProperty("pBrowseInfo"), reinterpret_cast<std::uintptr_t>(record));
    EXPECT_EQ(BlockBytes(record), sizeof(BROWSEINFOW));
#if defined(__i386__)
    EXPECT_EQ(BlockBytes(record), 32u);
#endif
    ASSERT_NE(record->pszDisplayName, nullptr);
    EXPECT_EQ(BlockBytes(record->pszDisplayName), 520u);
    EXPECT_EQ(std::wstring(record->pszDisplayName, 260), std::wstring(260, L'\0'));
    EXPECT_EQ(record->lpszTitle, nullptr);
    EXPECT_EQ(record->pidlRoot, nullptr);
    EXPECT_EQ(record->hwndOwner, nullptr);
    EXPECT_EQ(record->ulFlags, 0u);
    EXPECT_EQ(record->iImage, 0);
    EXPECT_NE(record->lpfn, nullptr);
    EXPECT_NE(record->lParam, 0);
    EXPECT_EQ(browser.GetProperty("InitFloder"), 0u);
    EXPECT_EQ(browser.GetProperty("RetPIDL"), 0u);
    EXPECT_TRUE(browser.GetPathW().empty());
    EXPECT_EQ(browser.GetPath(), "");
    EXPECT_EQ(browser.GetDisplayName(), "");
}

TEST_F(FolderBrowserTest, SetUpKeepsEachTextInABlockAndFreesTheLastSetUp) {
    FolderBrowser browser;
    browser.SetUp(kExtractionBrowseFlags, "选择保存路径", temp_.path(), output_);
    const BROWSEINFOW* record = browser.Record();
    EXPECT_EQ(record->ulFlags, kExtractionBrowseFlags);
    ASSERT_NE(record->lpszTitle, nullptr);
    EXPECT_EQ(record->lpszTitle, Wide("选择保存路径"));
    EXPECT_EQ(BlockBytes(record->lpszTitle), 2 * Wide("选择保存路径").size() + 2);
    ASSERT_NE(record->pidlRoot, nullptr);
    wchar_t root[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetPathFromIDListW(record->pidlRoot, root));
    EXPECT_EQ(std::wstring(root), Wide(temp_.path()));
    const auto* initial = reinterpret_cast<const wchar_t*>(browser.GetProperty("InitFloder"));
    ASSERT_NE(initial, nullptr);
    EXPECT_EQ(initial, Wide(output_));
    EXPECT_EQ(BlockBytes(initial), 2 * Wide(output_).size() + 2);

    // The same record is reused, and what the last set-up made is gone with it.
    browser.SetUp();
    EXPECT_EQ(browser.Record(), record);
    EXPECT_EQ(record->lpszTitle, nullptr);
    EXPECT_EQ(record->pidlRoot, nullptr);
    EXPECT_EQ(record->ulFlags, 0u);
    EXPECT_EQ(browser.GetProperty("InitFloder"), 0u);
    EXPECT_EQ(BlockBytes(record->pszDisplayName), 520u);

    const long long before = BusyHeapBlocks();
    for (int i = 0; i < 500; ++i)
        browser.SetUp(kExtractionBrowseFlags, "选择保存路径", temp_.path(), output_);
    browser.SetUp();
    EXPECT_LT(BusyHeapBlocks() - before, 20);
    {
        FolderBrowser passing;
        passing.SetUp(kExtractionBrowseFlags, "选择保存路径", temp_.path(), output_);
    }
    EXPECT_LT(BusyHeapBlocks() - before, 20) << "the record and its blocks go with the object";
    EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
}

TEST_F(FolderBrowserTest, OpensOnAChineseFolderAndGivesItBackUnchanged) {
    FolderBrowser browser;
    browser.SetUp(kExtractionBrowseFlags, "选择保存路径", {}, output_);
    std::vector<std::wstring> selections;
    browser.SetOnSelChanged([&](HWND, const WideText& path) {
        selections.push_back(WidePtr(path));
    });
    HWND created = nullptr;
    browser.SetOnCreate([&](HWND dialog) { created = dialog; });
    SelectionRequests requests;
    std::vector<SelectionRequests::Request> programRequests;  // those made before the test asks
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 80, 80,
                                   nullptr, nullptr, nullptr, nullptr);
    const bool chosen = ShowAndDo(
        browser,
        [&](HWND dialog) {
            EXPECT_EQ(created, dialog);
            EXPECT_EQ(browser.GetProperty("hWnd"), reinterpret_cast<std::uintptr_t>(dialog));
            EXPECT_NE(browser.GetProperty("oldWndProp"), 0u);
            EXPECT_NE(FindInWindowMap(dialog), 0u);
            EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner);
            programRequests = requests.seen();
            testing::WaitForBrowserOn(dialog, output_, [&] {
                return !selections.empty() && selections.back() == Wide(output_);
            });
            ASSERT_FALSE(selections.empty());
            EXPECT_EQ(selections.back(), Wide(output_)) << "the initial folder is selected";
            PressOk(dialog);
        },
        owner);
    ::DestroyWindow(owner);
    ASSERT_TRUE(chosen);
    ASSERT_EQ(programRequests.size(), 1u) << "one request, before the dialog shows";
    EXPECT_EQ(programRequests[0].message, static_cast<UINT>(BFFM_SETSELECTIONW));
    EXPECT_EQ(programRequests[0].byPath, 1u);
    EXPECT_EQ(programRequests[0].path, Wide(output_));

    EXPECT_EQ(browser.GetPath(), output_);
    const WideText wide = browser.GetPathW();
    ASSERT_FALSE(wide.empty());
    EXPECT_EQ(wide.back(), L'\0');
    EXPECT_EQ(std::wstring(wide.data()), Wide(output_));
    // Windows writes the folder's name here, Wine its path; either way, what the dialog wrote.
    const std::string name = browser.GetDisplayName();
    EXPECT_NE(name, "");
    EXPECT_EQ(name, ToNarrow(std::wstring_view(browser.Record()->pszDisplayName)));
    EXPECT_TRUE(name.ends_with(kOutputName)) << name;
    EXPECT_NE(browser.GetProperty("RetPIDL"), 0u);
}

TEST_F(FolderBrowserTest, WithoutAnInitialFolderNoSelectionIsRequested) {
    FolderBrowser browser;
    browser.SetUp(kExtractionBrowseFlags, "选择保存路径");
    SelectionRequests requests;
    bool created = false;
    browser.SetOnCreate([&](HWND) { created = true; });
    EXPECT_FALSE(ShowAndDo(browser, PressCancel));
    EXPECT_TRUE(created);
    EXPECT_TRUE(requests.seen().empty());
}

TEST_F(FolderBrowserTest, CancelLeavesNoPathEvenAfterAnEarlierChoice) {
    FolderBrowser browser;
    browser.SetUp(0, {}, {}, output_);
    ASSERT_TRUE(ShowAndDo(browser, OkOnceOn(browser, output_)));
    ASSERT_EQ(browser.GetPath(), output_);

    EXPECT_FALSE(ShowAndDo(browser, PressCancel));
    EXPECT_EQ(browser.GetProperty("RetPIDL"), 0u);
    EXPECT_EQ(browser.GetPath(), "");
    EXPECT_TRUE(browser.GetPathW().empty());
    EXPECT_EQ(browser.GetDisplayName(), "") << "no name is left over from the earlier choice";
}

TEST_F(FolderBrowserTest, ASecondShowReleasesTheFirstChoiceAndTheObjectTheLast) {
    const std::string other = MakeFolder(temp_.File("另一个"));
    FreeSpy& spy = FreeSpy::Instance();
    void* last = nullptr;
    {
        FolderBrowser browser;
        browser.SetUp(0, {}, {}, output_);
        ASSERT_TRUE(ShowAndDo(browser, OkOnceOn(browser, output_)));
        void* first = reinterpret_cast<void*>(browser.GetProperty("RetPIDL"));
        ASSERT_NE(first, nullptr);

        ASSERT_TRUE(spy.Start());
        browser.SetUp(0, {}, {}, other);
        EXPECT_FALSE(spy.Freed(first)) << "set-up leaves the choice alone";
        bool freedBeforeShowing = false;
        const auto okOnOther = OkOnceOn(browser, other);
        ASSERT_TRUE(ShowAndDo(browser, [&](HWND dialog) {
            freedBeforeShowing = spy.Freed(first);
            EXPECT_EQ(browser.GetProperty("RetPIDL"), 0u);
            okOnOther(dialog);
        }));
        EXPECT_TRUE(freedBeforeShowing);
        EXPECT_EQ(browser.GetPath(), other);
        last = reinterpret_cast<void*>(browser.GetProperty("RetPIDL"));
        ASSERT_NE(last, nullptr);
        // Noted from here on only: the heap may have given `last` an address freed before.
        spy.Forget();
    }
    EXPECT_TRUE(spy.Freed(last)) << "the object's release frees its last choice";
    spy.Stop();
}

TEST_F(FolderBrowserTest, AnItemWithoutAFolderGivesNoPath) {
    FolderBrowser browser;
    LPITEMIDLIST computer = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    bool onComputer = false;
    browser.SetOnSelChanged([&](HWND, const WideText& path) { onComputer = path.empty(); });
    const bool chosen = ShowAndDo(browser, [&](HWND dialog) {
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(computer));
        // Wine may move the tree's selection after the request returns; OK takes the tree's.
        for (int wait = 0; wait < 100 && !onComputer; ++wait) {
            testing::PumpMessages();
            ::Sleep(20);
        }
        EXPECT_TRUE(onComputer);
        PressOk(dialog);
    });
    ::CoTaskMemFree(computer);
    ASSERT_TRUE(chosen);
    EXPECT_NE(browser.GetProperty("RetPIDL"), 0u);
    EXPECT_EQ(browser.GetPath(), "");
    EXPECT_TRUE(browser.GetPathW().empty());
}

}  // namespace
}  // namespace iconvale
