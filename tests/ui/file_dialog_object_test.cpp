#include "ui/file_dialog_object.h"

#include <gtest/gtest.h>

#include <cderr.h>
#include <dlgs.h>

#include <cwchar>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/heap_probes.h"
#include "support/temp_folder.h"
#include "ui/platform_setup.h"
#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {
namespace {

using namespace std::literals;
using testing::BlockBytes;
using testing::BusyHeapBlocks;
using testing::FileExists;
using testing::HeapIntact;
using testing::TempFolder;
using testing::WriteBytes;

constexpr char kGroupFilter[] = "易图片组(*.eil)|*.eil|所有文件(*.*)|*.*";
using Paths = std::vector<std::string>;
using WidePaths = std::vector<std::wstring>;

std::wstring Units(const wchar_t* block, std::size_t count) {
    return std::wstring(block, count);
}

std::size_t WideLength(std::string_view gbk) {
    return ToWide(gbk).size() - 1;
}

std::wstring Wide(std::string_view gbk) {
    return WidePtr(ToWide(gbk));
}

std::string Narrow(const wchar_t* text) {
    return text ? ToNarrow(std::wstring_view(text)) : "";
}

void FullSetUp(FileDialogObject& dialog) {
    dialog.SetUp(OFN_HIDEREADONLY, "打开图片组", "旧组.eil", kGroupFilter, 2, "C:\\图片", "eil");
}

TEST(FileDialogRecord, ConstructionSetsUpAnEmptyExplorerDialog) {
    FileDialogObject dialog;
    const OPENFILENAMEW* record = dialog.Record();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(dialog.GetProperty("pOpenFileName"), reinterpret_cast<std::uintptr_t>(record));
    EXPECT_EQ(BlockBytes(record), sizeof(OPENFILENAMEW));
#if defined(__i386__)
    EXPECT_EQ(record->lStructSize, 88u);
#endif
    EXPECT_EQ(record->lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(record->Flags, static_cast<DWORD>(OFN_EXPLORER));
    EXPECT_EQ(record->hInstance, ModuleInstance());
    EXPECT_EQ(record->hwndOwner, nullptr);

    ASSERT_NE(record->lpstrFile, nullptr);
    EXPECT_EQ(BlockBytes(record->lpstrFile), 1024u);
    EXPECT_EQ(record->nMaxFile, 512u);
    EXPECT_EQ(record->lpstrFile[0], L'\0');
    ASSERT_NE(record->lpstrDefExt, nullptr);
    EXPECT_EQ(BlockBytes(record->lpstrDefExt), 520u);
    EXPECT_EQ(Units(record->lpstrDefExt, 260), std::wstring(260, L'\0'));

    EXPECT_EQ(record->lpstrTitle, nullptr);
    EXPECT_EQ(record->lpstrFilter, nullptr);
    EXPECT_EQ(record->lpstrInitialDir, nullptr);
    EXPECT_EQ(record->nFilterIndex, 0u);
    EXPECT_NE(record->lpfnHook, nullptr);
    EXPECT_NE(record->lCustData, 0);
    EXPECT_EQ(record->lpstrCustomFilter, nullptr);
    EXPECT_EQ(record->nMaxCustFilter, 0u);
    EXPECT_EQ(record->lpstrFileTitle, nullptr);
    EXPECT_EQ(record->nMaxFileTitle, 0u);
    EXPECT_EQ(record->nFileOffset, 0u);
    EXPECT_EQ(record->nFileExtension, 0u);
    EXPECT_EQ(record->lpTemplateName, nullptr);
    EXPECT_EQ(record->pvReserved, nullptr);
    EXPECT_EQ(record->dwReserved, 0u);
    EXPECT_EQ(record->FlagsEx, 0u);

    EXPECT_TRUE(dialog.GetPathW().empty());
    EXPECT_EQ(dialog.GetPath(), "");
    EXPECT_EQ(dialog.GetFilterIndex(), 0);
}

TEST(FileDialogRecord, SetUpCopiesEachTextIntoABlockOfItsOwn) {
    FileDialogObject dialog;
    dialog.SetUp(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "打开图片组", "", "", 2, "C:\\图片", "eil");
    const OPENFILENAMEW* record = dialog.Record();
    EXPECT_EQ(record->Flags,
              static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER));
    EXPECT_EQ(record->hInstance, ModuleInstance());

    ASSERT_NE(record->lpstrTitle, nullptr);
    EXPECT_EQ(Units(record->lpstrTitle, 6), L"打开图片组\0"s);
    EXPECT_EQ(BlockBytes(record->lpstrTitle), 12u);
    ASSERT_NE(record->lpstrInitialDir, nullptr);
    EXPECT_EQ(Units(record->lpstrInitialDir, 6), L"C:\\图片\0"s);
    EXPECT_EQ(BlockBytes(record->lpstrInitialDir), 12u);
    ASSERT_NE(record->lpstrDefExt, nullptr);
    EXPECT_EQ(Units(record->lpstrDefExt, 4), L"eil\0"s);
    EXPECT_EQ(BlockBytes(record->lpstrDefExt), 8u);
    EXPECT_EQ(record->nFilterIndex, 2u);
    EXPECT_EQ(dialog.GetFilterIndex(), 2);
    EXPECT_EQ(record->lpstrFilter, nullptr) << "an empty filter";
}

TEST(FileDialogRecord, FilterBarsBecomeTheNulsOfThePlatformsList) {
    FileDialogObject dialog;
    const OPENFILENAMEW* record = dialog.Record();
    dialog.SetUp(0, "", "", kGroupFilter);
    const std::wstring expected = L"易图片组(*.eil)\0*.eil\0所有文件(*.*)\0*.*\0\0"s;
    ASSERT_NE(record->lpstrFilter, nullptr);
    EXPECT_EQ(Units(record->lpstrFilter, expected.size()), expected);
    EXPECT_EQ(BlockBytes(record->lpstrFilter), 2 * WideLength(kGroupFilter) + 4);

    dialog.SetUp(0, "", "", "图片组");
    ASSERT_NE(record->lpstrFilter, nullptr);
    EXPECT_EQ(Units(record->lpstrFilter, 5), L"图片组\0\0"s) << "one entry, still ended twice";
    EXPECT_EQ(BlockBytes(record->lpstrFilter), 10u);

    dialog.SetUp(0, "", "", "");
    EXPECT_EQ(record->lpstrFilter, nullptr);
    dialog.SetUp(0, "", "", kGroupFilter);
    dialog.SetUp();
    EXPECT_EQ(record->lpstrFilter, nullptr);
}

TEST(FileDialogRecord, AnInitialNameGetsRoomBeyondWhatThePlatformIsTold) {
    FileDialogObject dialog;
    const OPENFILENAMEW* record = dialog.Record();
    for (const std::string& name : {"旧组.eil"s, std::string(3000, 'a')}) {
        dialog.SetUp(0, "", name);
        const std::size_t n = WideLength(name);
        ASSERT_NE(record->lpstrFile, nullptr);
        EXPECT_EQ(BlockBytes(record->lpstrFile), 2 * (n + 1025)) << n;
        EXPECT_EQ(record->nMaxFile, n + 513);
        const std::wstring held = Units(record->lpstrFile, n + 1025);
        EXPECT_EQ(held, Wide(name) + std::wstring(1025, L'\0'));
    }
    dialog.SetUp(0, "", "");
    EXPECT_EQ(BlockBytes(record->lpstrFile), 1024u);
    EXPECT_EQ(record->nMaxFile, 512u);
    EXPECT_EQ(record->lpstrFile[0], L'\0');
    EXPECT_TRUE(HeapIntact());
}

TEST(FileDialogRecord, SetUpAgainKeepsTheRecordAndFreesTheStringsItReplaces) {
    FileDialogObject dialog;
    const OPENFILENAMEW* record = dialog.Record();
    FullSetUp(dialog);
    EXPECT_EQ(dialog.Record(), record);
    dialog.SetUp(OFN_PATHMUSTEXIST, "另存为");
    EXPECT_EQ(dialog.Record(), record);
    EXPECT_EQ(record->Flags, static_cast<DWORD>(OFN_PATHMUSTEXIST | OFN_EXPLORER));
    EXPECT_EQ(Narrow(record->lpstrTitle), "另存为");
    EXPECT_EQ(record->lpstrFilter, nullptr) << "nothing of the earlier set-up stays";
    EXPECT_EQ(record->lpstrInitialDir, nullptr);
    EXPECT_EQ(record->nFilterIndex, 0u);
    EXPECT_EQ(BlockBytes(record->lpstrFile), 1024u);
    EXPECT_EQ(BlockBytes(record->lpstrDefExt), 520u);

    const long long before = BusyHeapBlocks();
    for (int i = 0; i < 100; ++i) {
        FullSetUp(dialog);
        dialog.SetUp();
    }
    // A set-up that kept the strings it replaced would leave hundreds of blocks behind here.
    EXPECT_LT(BusyHeapBlocks() - before, 20);
    EXPECT_TRUE(HeapIntact());
}

TEST(FileDialogRecord, CopiesShareOneRecordThatTheLastCopyFrees) {
    FileDialogObject first;
    FileDialogObject second;
    EXPECT_NE(first.Record(), second.Record());
    EXPECT_NE(first.Record()->lCustData, second.Record()->lCustData) << "each object's own core";

    const long long before = BusyHeapBlocks();
    for (int i = 0; i < 50; ++i) {
        FileDialogObject dialog;
        FullSetUp(dialog);
        FileDialogObject copy = dialog;
        WindowObject plain = copy;
        EXPECT_EQ(copy.Record(), dialog.Record());
        EXPECT_EQ(plain.GetProperty("pOpenFileName"),
                  reinterpret_cast<std::uintptr_t>(dialog.Record()));
        copy.SetUp(0, "共用");
        EXPECT_EQ(Narrow(dialog.Record()->lpstrTitle), "共用");
    }
    EXPECT_LT(BusyHeapBlocks() - before, 20) << "the record and its strings go with the object";
    EXPECT_TRUE(HeapIntact());
}

TEST(FileDialogRecord, GbkTextsSurviveTheTripThroughUtf16) {
    FileDialogObject dialog;
    dialog.SetUp(0, "打开图片组：测试", "图标\\旧组.eil", kGroupFilter, 1, "C:\\图片组", "图组");
    const OPENFILENAMEW* record = dialog.Record();
    EXPECT_EQ(Narrow(record->lpstrTitle), "打开图片组：测试");
    EXPECT_EQ(Narrow(record->lpstrFile), "图标\\旧组.eil");
    EXPECT_EQ(Narrow(record->lpstrInitialDir), "C:\\图片组");
    EXPECT_EQ(Narrow(record->lpstrDefExt), "图组");
    std::string filter;
    for (const wchar_t* entry = record->lpstrFilter; *entry; entry += std::wcslen(entry) + 1) {
        if (!filter.empty()) filter += '|';
        filter += Narrow(entry);
    }
    EXPECT_EQ(filter, kGroupFilter);
}

TEST(ChosenPaths, SeveralFilesAreTheFolderJoinedToEachNameInTheDialogsOrder) {
    const std::wstring_view several = L"C:\\图片\0b.png\0a.ico\0\0"sv;
    EXPECT_EQ(ChosenPaths(several, 6, true), (WidePaths{L"C:\\图片\\b.png", L"C:\\图片\\a.ico"}));
    EXPECT_EQ(ChosenPaths(L"C:\\\0a.png\0\0"sv, 4, true), WidePaths{L"C:\\a.png"})
        << "a drive's root ends in its separator already";

    const std::wstring_view one = L"C:\\图片\\a.png\0\0"sv;
    EXPECT_EQ(ChosenPaths(one, 6, true), WidePaths{L"C:\\图片\\a.png"}) << "one of several allowed";
    EXPECT_EQ(ChosenPaths(one, 6, false), WidePaths{L"C:\\图片\\a.png"});
}

TEST(ChosenPaths, ABufferWithoutACompleteChoiceGivesNoPath) {
    const std::wstring_view several = L"C:\\图片\0b.png\0a.ico\0\0"sv;
    EXPECT_TRUE(ChosenPaths(several, 0, true).empty()) << "no offset: nothing chosen";
    EXPECT_TRUE(ChosenPaths(several, 7, true).empty()) << "an offset inside no layout";
    EXPECT_TRUE(ChosenPaths(several, 6, false).empty()) << "a list where one path belongs";
    EXPECT_TRUE(ChosenPaths(L"C:\\图片\\a.png"sv, 6, false).empty()) << "no terminator";
    EXPECT_TRUE(ChosenPaths(L"C:\\图片\0\0"sv, 6, true).empty()) << "a folder without names";
    EXPECT_EQ(ChosenPaths(L"C:\\图片\0b.png\0a.i"sv, 6, true), WidePaths{L"C:\\图片\\b.png"})
        << "a name cut off by the buffer's end is dropped";
}

// The modal dialogs run their own message loop on the test's thread; a thread timer acts inside
// it. i686 needs the timer procedure's stdcall convention, hence named functions, not lambdas.
constexpr UINT kTickMs = 100;
constexpr int kSettleTicks = 3;  // the dialog fills its folder view after it shows
constexpr int kGiveUpTicks = 100;

struct DialogScript {
    explicit DialogScript(std::wstring dialogCaption, std::wstring typedName = {})
        : caption(std::move(dialogCaption)), typed(std::move(typedName)) {}

    std::wstring caption;
    std::wstring typed;  // entered as the file name before OK
    int typeItem = -1;   // file-type item chosen before OK, from 0
    bool cancel = false;

    int ticks = 0;
    bool pressed = false;
    bool gaveUp = false;
    HWND owner = nullptr;
    std::wstring nameShown;  // the file name the dialog offered
};
DialogScript* gScript = nullptr;

struct CaptionSearch {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<CaptionSearch*>(lParam);
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    if (::IsWindowVisible(window) && *search->caption == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND ThreadWindow(const std::wstring& caption) {
    CaptionSearch search{&caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    return ::lstrcmpiW(className, name) == 0;
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
    if (HasClass(window, L"#32770")) ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

HWND FileNameField(HWND dialog) {
    HWND field = ::GetDlgItem(dialog, cmb13);
    if (!field) field = ::GetDlgItem(dialog, edt1);
    // Wine's explorer dialog types into an edit inside a ComboBoxEx32, all three with cmb13's id.
    if (field && HasClass(field, WC_COMBOBOXEXW)) {
        if (auto edit = reinterpret_cast<HWND>(::SendMessageW(field, CBEM_GETEDITCONTROL, 0, 0))) {
            return edit;
        }
    }
    return field;
}

// Wine's dialog also has a toolbar with IDOK's id.
HWND OkButton(HWND dialog) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(child) == IDOK && HasClass(child, L"Button")) return child;
    }
    return nullptr;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
    DialogScript* script = gScript;
    if (!script) return;
    if (++script->ticks > kGiveUpTicks) {
        if (!script->gaveUp) ::EnumThreadWindows(::GetCurrentThreadId(), &CancelDialog, 0);
        script->gaveUp = true;
        return;
    }
    if (script->pressed || script->ticks < kSettleTicks) return;
    HWND dialog = ThreadWindow(script->caption);
    if (!dialog) return;
    script->pressed = true;
    script->owner = ::GetWindow(dialog, GW_OWNER);
    HWND field = FileNameField(dialog);
    wchar_t shown[1024] = {};
    ::GetWindowTextW(field, shown, 1024);
    script->nameShown = shown;
    if (script->cancel) {
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    if (script->typeItem >= 0) {
        HWND types = ::GetDlgItem(dialog, cmb1);
        ::SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(script->typeItem), 0);
        // Windows acts on the change, Wine on the end of the selection: send both.
        for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
            ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code),
                           reinterpret_cast<LPARAM>(types));
        }
    }
    ::SetWindowTextW(field, script->typed.c_str());
    ::SendMessageW(OkButton(dialog), BM_CLICK, 0, 0);
}

bool RunScripted(DialogScript& script, const std::function<bool()>& show) {
    gScript = &script;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMs, &DriveDialog);
    if (!timer) {
        gScript = nullptr;
        ADD_FAILURE() << "no timer: the dialog would never close";
        return false;
    }
    const bool confirmed = show();
    ::KillTimer(nullptr, timer);
    gScript = nullptr;
    EXPECT_TRUE(script.pressed) << "the dialog never appeared";
    EXPECT_FALSE(script.gaveUp) << "the dialog did not close as scripted";
    return confirmed;
}

class FileDialogShow : public ::testing::Test {
protected:
    std::string MakeFile(const std::string& path) {
        EXPECT_TRUE(WriteBytes(path, Bytes{1, 2, 3})) << path;
        return path;
    }
    bool Open(DialogScript& script, HWND owner = nullptr) {
        return RunScripted(script, [&] { return dialog.ShowOpen(owner); });
    }
    bool Save(DialogScript& script, HWND owner = nullptr) {
        return RunScripted(script, [&] { return dialog.ShowSave(owner); });
    }

    TempFolder folder;
    FileDialogObject dialog;
};

TEST_F(FileDialogShow, OpenConfirmsAnExistingFileAndKeepsTheIndexGiven) {
    const std::string file = MakeFile(folder.File("组一.eil"));
    dialog.SetUp(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "打开图片组", "", kGroupFilter, 2,
                 folder.path(), "eil");
    DialogScript script(L"打开图片组", Wide(file));
    ASSERT_TRUE(Open(script));
    EXPECT_EQ(dialog.GetPath(), file);
    EXPECT_EQ(dialog.GetPathW(), ToWide(file));
    EXPECT_EQ(dialog.GetPaths(), Paths{file});
    EXPECT_EQ(dialog.GetFilterIndex(), 2);
    EXPECT_EQ(dialog.Record()->nFileOffset, WideLength(folder.path()) + 1);
}

TEST_F(FileDialogShow, OpenFindsAFileInAChineseFolder) {
    const std::string subfolder = folder.File("图片组");
    ASSERT_TRUE(::CreateDirectoryW(Wide(subfolder).c_str(), nullptr));
    const std::string file = MakeFile(subfolder + "\\图标.eil");
    dialog.SetUp(OFN_FILEMUSTEXIST, "打开：中文", "", kGroupFilter, 1, subfolder, "eil");
    DialogScript script(L"打开：中文", Wide(file));
    ASSERT_TRUE(Open(script));
    EXPECT_EQ(dialog.GetPath(), file);
}

TEST_F(FileDialogShow, SaveAddsTheExtensionToANewName) {
    dialog.SetUp(OFN_OVERWRITEPROMPT, "保存图片组", "", kGroupFilter, 1, folder.path(), "eil");
    DialogScript script(L"保存图片组", Wide(folder.File("新组")));
    ASSERT_TRUE(Save(script));
    EXPECT_EQ(dialog.GetPath(), folder.File("新组.eil"));
    EXPECT_EQ(dialog.GetFilterIndex(), 1);
    EXPECT_FALSE(FileExists(folder.File("新组.eil"))) << "choosing a name creates nothing";
}

TEST_F(FileDialogShow, SaveReportsTheFileTypeTheUserChose) {
    dialog.SetUp(0, "另存为", "旧组.eil", kGroupFilter, 1, folder.path(), "eil");
    DialogScript script(L"另存为", Wide(folder.File("另一个")));
    script.typeItem = 1;
    ASSERT_TRUE(Save(script));
    EXPECT_EQ(dialog.GetFilterIndex(), 2);
    // "*.*" offers no extension, so the default one is added.
    EXPECT_EQ(dialog.GetPath(), folder.File("另一个.eil"));
}

TEST_F(FileDialogShow, CancelGivesFalseAndForgetsTheEarlierChoice) {
    const std::string file = MakeFile(folder.File("a.eil"));
    dialog.SetUp(0, "选择", "", kGroupFilter, 1, folder.path(), "eil");
    DialogScript confirm(L"选择", Wide(file));
    ASSERT_TRUE(Open(confirm));
    ASSERT_EQ(dialog.GetPath(), file);

    DialogScript cancel(L"选择");
    cancel.cancel = true;
    EXPECT_FALSE(Open(cancel));
    EXPECT_EQ(::CommDlgExtendedError(), 0u);
    EXPECT_EQ(dialog.GetPath(), "");
    EXPECT_TRUE(dialog.GetPathW().empty());
    EXPECT_TRUE(dialog.GetPaths().empty());
    EXPECT_FALSE(dialog.ChoiceDidNotFit());
    EXPECT_EQ(dialog.Record()->nFileOffset, 0u);
}

TEST_F(FileDialogShow, TheDialogBelongsToTheOwnerPassed) {
    using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &::DestroyWindow>>;
    UniqueWindow owner(::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                         100, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(owner);
    dialog.SetUp(0, "有主", "", kGroupFilter, 1, folder.path());
    DialogScript owned(L"有主");
    owned.cancel = true;
    EXPECT_FALSE(Save(owned, owner.get()));
    EXPECT_EQ(owned.owner, owner.get());
    EXPECT_EQ(dialog.Record()->hwndOwner, owner.get());

    DialogScript lone(L"有主");
    lone.cancel = true;
    EXPECT_FALSE(Open(lone));
    EXPECT_EQ(lone.owner, nullptr);
    EXPECT_EQ(dialog.Record()->hwndOwner, nullptr);
}

TEST_F(FileDialogShow, MultipleSelectionGivesEachFullPathOnALine) {
    MakeFile(folder.File("a.eil"));
    MakeFile(folder.File("图b.eil"));
    dialog.SetUp(OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, "多选", "", kGroupFilter, 1,
                 folder.path());
    DialogScript both(L"多选", L"\"a.eil\" \"图b.eil\"");
    ASSERT_TRUE(Open(both));
    EXPECT_EQ(dialog.GetPath(), folder.File("a.eil") + "\r\n" + folder.File("图b.eil") + "\r\n");
    EXPECT_EQ(dialog.GetPaths(), (Paths{folder.File("a.eil"), folder.File("图b.eil")}));

    DialogScript one(L"多选", Wide(folder.File("图b.eil")));
    ASSERT_TRUE(Open(one));
    EXPECT_EQ(dialog.GetPath(), folder.File("图b.eil") + "\r\n");
    EXPECT_EQ(dialog.GetPaths(), Paths{folder.File("图b.eil")});
}

TEST_F(FileDialogShow, HundredsOfChosenFilesComeBackInTheOrderChosen) {
    std::wstring typed;
    Paths expected;
    // Far more text than a single file's buffer holds.
    for (int i = 300; i > 0; --i) {
        const std::string name = "图标第" + std::to_string(i) + "号.png";
        expected.push_back(MakeFile(folder.File(name)));
        typed += L"\"" + Wide(name) + L"\" ";
    }
    dialog.SetUp(OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, "添加许多", "", "所有文件(*.*)|*.*", 1,
                 folder.path());
    DialogScript script(L"添加许多", typed);
    ASSERT_TRUE(Open(script));
    EXPECT_FALSE(dialog.ChoiceDidNotFit());
    EXPECT_EQ(dialog.GetPaths(), expected);
    std::string lines;
    for (const std::string& path : expected) lines += path + "\r\n";
    EXPECT_EQ(dialog.GetPath(), lines);
}

TEST_F(FileDialogShow, APlatformErrorGivesFalseAndNoPath) {
    // A template asked for but not named: the platform fails the call.
    dialog.SetUp(OFN_ENABLETEMPLATE, "无模板", "", kGroupFilter, 1, folder.path());
    DialogScript script(L"无模板");
    script.cancel = true;
    gScript = &script;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kTickMs, &DriveDialog);
    ASSERT_NE(timer, 0u);
    EXPECT_FALSE(dialog.ShowOpen());
    ::KillTimer(nullptr, timer);
    gScript = nullptr;
    EXPECT_NE(::CommDlgExtendedError(), 0u);
    EXPECT_EQ(dialog.GetPath(), "");
}

// Wine's dialog builds the chosen path in a MAX_PATH buffer and fails on a longer one, so the
// test tells the platform of a buffer shorter than the path instead of typing a longer path.
TEST_F(FileDialogShow, APathTooLongForTheBufferGivesFalseNoPathAndNoStaleName) {
    dialog.SetUp(0, "太长", "旧组.eil", kGroupFilter, 1, folder.path(), "eil");
    auto* record = const_cast<OPENFILENAMEW*>(dialog.Record());
    record->nMaxFile = 8;
    const std::size_t capacity = BlockBytes(record->lpstrFile);
    DialogScript script(L"太长", Wide(folder.File("名字很长的图片组.eil")));
    EXPECT_FALSE(Save(script));
    EXPECT_EQ(::CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    EXPECT_TRUE(dialog.ChoiceDidNotFit());
    EXPECT_EQ(dialog.GetPath(), "");
    EXPECT_TRUE(dialog.GetPathW().empty());
    EXPECT_EQ(record->lpstrFile[0], L'\0') << "the size the platform wrote is no name to offer";
    EXPECT_EQ(BlockBytes(record->lpstrFile), capacity);
    EXPECT_TRUE(HeapIntact());

    DialogScript again(L"太长");
    again.cancel = true;
    EXPECT_FALSE(Save(again));
    EXPECT_EQ(again.nameShown, L"");
    EXPECT_FALSE(dialog.ChoiceDidNotFit()) << "a cancel is no overflow";
}

TEST_F(FileDialogShow, ALongInitialNameIsOfferedWithoutHarm) {
    const std::string name(300, 'n');
    dialog.SetUp(0, "长名", name, kGroupFilter, 1, folder.path(), "eil");
    DialogScript script(L"长名");
    script.cancel = true;
    EXPECT_FALSE(Save(script));
    EXPECT_EQ(script.nameShown, Wide(name));
    EXPECT_EQ(dialog.GetPath(), "");
    EXPECT_TRUE(HeapIntact());
}

}  // namespace
}  // namespace iconvale
