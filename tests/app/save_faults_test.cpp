// Saves that cannot succeed: each must say so, leave the old file byte for byte as it was and
// leave nothing new in the folder, neither the temporary file of the atomic save nor anything
// else.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/document_commands.h"
#include "app/main_window.h"
#include "app/platform_modal_ui.h"
#include "core/file_io.h"
#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "support/expected_flags.h"
#include "support/program_fixture.h"
#include "support/dialog_driver.h"
#include "support/scripted_ui.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "ui/file_dialog_object.h"
#include "ui/text.h"

namespace iconvale {
namespace {

std::wstring Wide(const std::string& gbk) {
    return WidePtr(ToWide(gbk));
}

// The names in a folder, sorted; empty for a folder that is not there.
std::vector<std::wstring> Listing(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

Bytes GroupBytes(int side, int count) {
    return WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(side, side, count)), true);
}

// The file dialog is the platform's own; messages are still recorded by the script.
class PlatformDialogUi : public testing::ScriptedUi {
public:
    std::optional<FileChoice> ChooseFile(FileDialogObject& dialog, HWND owner,
                                         FileDialogKind kind) override {
        return PlatformModalUi().ChooseFile(dialog, owner, kind);
    }
};

class SaveFaultsTest : public testing::ProgramFixture {
protected:
    // Opens a group file written to `path`, then changes the group.
    void OpenChanged(const std::string& path, const Bytes& bytes) {
        ASSERT_TRUE(testing::WriteBytes(path, bytes)) << path;
        ui_.files.push_back(FileChoice{path, 1});
        commands_.Open();
        ASSERT_EQ(group().GetCount(), 2);
        document().Change([](ImageGroup& group) { return group.Remove(0); });
    }

    // The one message of a failed save, as the program shows it.
    void ExpectSaveFailedMessage() {
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].text, "保存失败！");
        EXPECT_EQ(ui_.messages[0].style, testing::kErrorStyle);
        EXPECT_TRUE(document().modified()) << "the changes are still unsaved";
    }

    FileDialogObject dialog_;
    DocumentCommands commands_{program_.document(),       program_.choices, window_, ui_, dialog_,
                               folder_.File("seting.ini")};
};

TEST_F(SaveFaultsTest, AReadOnlyOrLockedTargetIsNotWrittenAndNothingIsLeftBeside) {
    const std::string opened = folder_.File("opened.eil");
    OpenChanged(opened, GroupBytes(16, 2));
    const std::string target = folder_.File("protected.eil");
    const Bytes old = GroupBytes(16, 3);
    ASSERT_TRUE(testing::WriteBytes(target, old));
    ASSERT_TRUE(::SetFileAttributesW(Wide(target).c_str(), FILE_ATTRIBUTE_READONLY));
    const auto before = Listing(Wide(folder_.path()));

    ui_.files.push_back(FileChoice{target, 1});
    commands_.SaveAs();
    ExpectSaveFailedMessage();
    EXPECT_EQ(ReadWholeFile(target), old);
    EXPECT_TRUE(::GetFileAttributesW(Wide(target).c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Listing(Wide(folder_.path())), before);
    ::SetFileAttributesW(Wide(target).c_str(), FILE_ATTRIBUTE_NORMAL);

    // Another program holds the file open and shares nothing: the swap cannot happen. Wine's
    // ReplaceFileW then leaves a temporary file of its own ("rf*.tmp") beside the target, which
    // the program cannot name; only the save's own temporary file is checked for here.
    HANDLE held = ::CreateFileW(Wide(target).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ui_.messages.clear();
    ui_.files.push_back(FileChoice{target, 1});
    commands_.SaveAs();
    ::CloseHandle(held);
    ExpectSaveFailedMessage();
    EXPECT_EQ(ReadWholeFile(target), old);
    for (const std::wstring& name : Listing(Wide(folder_.path()))) {
        EXPECT_FALSE(name.starts_with(L"protected.eil.") || name.starts_with(L"~"))
            << "left behind: " << ToNarrow(std::wstring_view(name));
    }
    EXPECT_EQ(document().path(), opened);
}

TEST_F(SaveFaultsTest, AFolderOfThatNameIsLeftAsItWas) {
    OpenChanged(folder_.File("opened.eil"), GroupBytes(16, 2));
    const std::string inTheWay = folder_.File("folder.eil");
    ASSERT_TRUE(::CreateDirectoryW(Wide(inTheWay).c_str(), nullptr));
    ASSERT_TRUE(testing::WriteBytes(inTheWay + "\\inside.txt", Bytes{1, 2, 3}));
    const auto before = Listing(Wide(folder_.path()));

    ui_.files.push_back(FileChoice{inTheWay, 1});
    commands_.SaveAs();
    ExpectSaveFailedMessage();
    EXPECT_EQ(Listing(Wide(folder_.path())), before);
    EXPECT_EQ(Listing(Wide(inTheWay)), std::vector<std::wstring>{L"inside.txt"});
    EXPECT_EQ(ReadWholeFile(inTheWay + "\\inside.txt"), (Bytes{1, 2, 3}));
}

TEST_F(SaveFaultsTest, AFolderThatIsGoneIsNotMadeAgain) {
    const std::string sub = folder_.File("sub");
    ASSERT_TRUE(::CreateDirectoryW(Wide(sub).c_str(), nullptr));
    const std::string opened = sub + "\\opened.eil";
    OpenChanged(opened, GroupBytes(16, 2));
    // The folder the group came from is deleted while the group is open.
    ASSERT_TRUE(::DeleteFileW(Wide(opened).c_str()));
    ASSERT_TRUE(::RemoveDirectoryW(Wide(sub).c_str()));
    const auto before = Listing(Wide(folder_.path()));

    commands_.Save();
    ExpectSaveFailedMessage();
    EXPECT_FALSE(PathExists(sub));
    EXPECT_EQ(Listing(Wide(folder_.path())), before);
    EXPECT_EQ(document().path(), opened);

    // A folder that never existed, chosen in Save As.
    ui_.messages.clear();
    ui_.files.push_back(FileChoice{folder_.File("never\\there.eil"), 1});
    commands_.SaveAs();
    ExpectSaveFailedMessage();
    EXPECT_EQ(Listing(Wide(folder_.path())), before);
}

// scripts/test.sh maps a tmpfs with about 16 KiB free as this drive.
TEST_F(SaveFaultsTest, AFullDiskKeepsTheOldFileAndLeavesNoPartOfTheNewOne) {
    const char* drive = std::getenv("ICONVALE_FULL_DRIVE");
    if (!drive || !*drive) {
        GTEST_SKIP() << "ICONVALE_FULL_DRIVE names no nearly full drive (scripts/test.sh maps one "
                        "when it may mount a tmpfs)";
    }
    std::string root = drive;
    if (root.back() != '\\') root += '\\';
    const std::string folder = root + "faults" + std::to_string(::GetCurrentProcessId());
    ASSERT_TRUE(::CreateDirectoryW(Wide(folder).c_str(), nullptr)) << folder;
    ULARGE_INTEGER free{};
    ASSERT_TRUE(::GetDiskFreeSpaceExW(Wide(root).c_str(), &free, nullptr, nullptr));
    const std::string old = folder + "\\old.eil";
    const Bytes oldBytes = GroupBytes(16, 2);
    ASSERT_TRUE(testing::WriteBytes(old, oldBytes));
    ui_.files.push_back(FileChoice{old, 1});
    commands_.Open();
    ASSERT_EQ(group().GetCount(), 2);
    // It grows to 48 images of 32 by 32: some 200 KiB, far more than the drive has left.
    ImageGroup big;
    ASSERT_TRUE(big.LoadFromBytes(GroupBytes(32, 48), 1));
    document().ReplaceWithUntitled(big);
    ASSERT_GT(group().SaveToBytes(1).size(), free.QuadPart) << "the drive has room";
    const auto before = Listing(Wide(folder));

    ui_.files.push_back(FileChoice{old, 1});  // untitled now: Save asks where
    commands_.Save();
    ExpectSaveFailedMessage();
    EXPECT_EQ(ReadWholeFile(old), oldBytes);
    EXPECT_EQ(Listing(Wide(folder)), before);
    ULARGE_INTEGER freeAfter{};
    ASSERT_TRUE(::GetDiskFreeSpaceExW(Wide(root).c_str(), &freeAfter, nullptr, nullptr));
    EXPECT_EQ(freeAfter.QuadPart + 4096 * ((oldBytes.size() + 4095) / 4096), free.QuadPart)
        << "the space the failed save took was given back";

    ::DeleteFileW(Wide(old).c_str());
    ::RemoveDirectoryW(Wide(folder).c_str());
}

// The program's text is GBK: a name the user types into the platform's save dialog may hold a
// character GBK lacks. The save must fail as any other, not land on some other file.
TEST_F(SaveFaultsTest, ANameOutsideGbkFromTheSaveDialogIsRefused) {
    PlatformDialogUi ui;
    DocumentCommands commands{program_.document(),       program_.choices, window_, ui, dialog_,
                              folder_.File("seting.ini")};
    const std::string opened = folder_.File("opened.eil");
    OpenChanged(opened, GroupBytes(16, 2));
    const Bytes old = ReadWholeFile(opened);
    const auto before = Listing(Wide(folder_.path()));
    // Thai ko kai and an emoji: neither has a GBK code.
    for (const std::wstring name : {L"\u0E01.eil", L"a\U0001F600b.eil"}) {
        const std::wstring typed = Wide(folder_.path()) + L"\\" + name;
        ui.messages.clear();
        testing::RunModal(
            "另存图片组",
            [&](HWND dialog) {
                HWND field = ::GetDlgItem(dialog, cmb13);
                if (field && testing::ClassOf(field) == "ComboBoxEx32") {
                    field =
                        reinterpret_cast<HWND>(::SendMessageW(field, CBEM_GETEDITCONTROL, 0, 0));
                }
                if (!field) field = ::GetDlgItem(dialog, edt1);
                ::SetWindowTextW(field, typed.c_str());
                // Wine's dialog also has a toolbar with the OK button's id.
                for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
                     child = ::GetWindow(child, GW_HWNDNEXT)) {
                    if (::GetDlgCtrlID(child) == IDOK && testing::ClassOf(child) == "Button") {
                        ::SendMessageW(child, BM_CLICK, 0, 0);
                        return;
                    }
                }
                ADD_FAILURE() << "no OK button";
            },
            [&] { commands.SaveAs(); });
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "保存失败！");
        EXPECT_EQ(ReadWholeFile(opened), old);
        EXPECT_EQ(Listing(Wide(folder_.path())), before) << "nothing was written anywhere";
    }
}

}  // namespace
}  // namespace iconvale
