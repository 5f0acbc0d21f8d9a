// Start-up and shut-down of the real main window: settings, the command-line file, the mark.
#include "app/app_host.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "app/platform_modal_ui.h"
#include "app/settings_file.h"
#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "support/control_probes.h"
#include "support/dialog_driver.h"
#include "support/expected_flags.h"
#include "support/scripted_ui.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "support/windows.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::PumpMessages;
using testing::TempFolder;

class AppHostTest : public ::testing::Test {
protected:
    void Start(const std::string& commandLine) {
        host_ = std::make_unique<AppHost>(program_, ui_, AppHostOptions{commandLine, settings_});
        ASSERT_TRUE(host_->Start(::GetModuleHandleW(nullptr), SW_SHOWNORMAL));
        PumpMessages();
    }

    void Close() {
        ::SendMessageW(host_->mainWindow().hwnd(), WM_CLOSE, 0, 0);
        PumpMessages();
    }

    // Changes to be saved, as an edit would leave them, with or without a group.
    void MarkChanged() {
        program_.document().Change([](ImageGroup&) { return true; });
    }

    std::string Pane(int i) { return testing::PaneText(host_->mainWindow().statusBar(), i); }

    std::string GroupFile(const std::string& name, int count) {
        ImageListData list = testing::PatternList({.width = 20, .height = 18, .count = count});
        std::string path = folder_.File(name);
        testing::WriteBytes(path, WithGroupHeader(WriteImageListStream(list), true));
        return path;
    }

    TempFolder folder_;
    std::string settings_ = folder_.File("seting.ini");
    ProgramObjects program_;
    testing::ScriptedUi ui_;
    std::unique_ptr<AppHost> host_;
};

TEST_F(AppHostTest, WithoutArgumentsNothingOpensAndTheDesignTextsStay) {
    Start("iconvale.exe");
    EXPECT_FALSE(program_.document().group().IsCreated());
    EXPECT_EQ(testing::ItemCount(host_->mainWindow().iconList()), 0);
    EXPECT_EQ(Pane(0), "图标数：");
    EXPECT_EQ(Pane(3), "");
    Close();
}

TEST_F(AppHostTest, OneQuotedPathOpensTheGroup) {
    std::string path = GroupFile("my group.eil", 3);
    Start("\"C:\\x\\iconvale.exe\" \"" + path + "\"");
    EXPECT_TRUE(program_.document().group().IsCreated());
    EXPECT_EQ(testing::ItemCount(host_->mainWindow().iconList()), 3);
    EXPECT_EQ(Pane(0), "图标数：3");
    EXPECT_EQ(Pane(1), "宽度：20");
    EXPECT_EQ(Pane(2), "高度：18");
    EXPECT_EQ(Pane(3), path);
    EXPECT_EQ(program_.document().path(), path);
    EXPECT_FALSE(program_.document().modified());
    Close();
    EXPECT_FALSE(program_.document().group().IsCreated()) << "destroyed with the window";
}

TEST_F(AppHostTest, AnUnquotedPathWithABlankOrTwoNamesOpenNothing) {
    std::string path = GroupFile("my group.eil", 2);
    Start("iconvale.exe " + path);
    EXPECT_FALSE(program_.document().group().IsCreated());
    EXPECT_EQ(program_.document().path(), "");
    Close();
    Start("iconvale.exe \"" + path + "\" \"" + path + "\"");
    EXPECT_FALSE(program_.document().group().IsCreated());
    Close();
}

TEST_F(AppHostTest, AFileThatIsNoGroupStillBecomesTheCurrentPath) {
    std::string path = folder_.File("not a group.eil");
    testing::WriteBytes(path, Bytes(100, 0x41));
    Start("iconvale.exe \"" + path + "\"");
    EXPECT_FALSE(program_.document().group().IsCreated());
    EXPECT_EQ(Pane(0), "图标数：0");
    EXPECT_EQ(Pane(3), path);
    EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"打开图片组失败！可能不是图片组文件"});
    Close();
}

TEST_F(AppHostTest, ClosingAModifiedGroupAsksAndCancelKeepsTheWindow) {
    Start("iconvale.exe");
    MarkChanged();
    ui_.answers = {IDCANCEL, IDNO};
    Close();
    EXPECT_TRUE(::IsWindow(host_->mainWindow().hwnd())) << "Cancel keeps the window";
    Close();
    EXPECT_FALSE(::IsWindow(host_->mainWindow().hwnd())) << "No closes without saving";
    EXPECT_EQ(ui_.messages.size(), 2u);
}

TEST_F(AppHostTest, ExitAsksLikeTheCloseButton) {
    Start("iconvale.exe");
    MarkChanged();
    ui_.answers = {IDCANCEL};
    host_->mainWindow().RunCommand(Command::Exit);
    EXPECT_TRUE(::IsWindow(host_->mainWindow().hwnd()));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].style, testing::kYesNoCancelQuestionStyle);
    program_.document().Discard();
    host_->mainWindow().RunCommand(Command::Exit);
    EXPECT_FALSE(::IsWindow(host_->mainWindow().hwnd()));
}

TEST_F(AppHostTest, DefaultsApplyWithoutASettingsFileAndAreWrittenAtClose) {
    Start("iconvale.exe");
    EXPECT_EQ(program_.choices.pictureFilterIndex, 6);
    EXPECT_EQ(program_.choices.groupFilterIndex, 1);
    EXPECT_FALSE(program_.choices.autoSegmentation);
    EXPECT_FALSE(host_->mainWindow().AutoSegmentMarked());
    EXPECT_FALSE(testing::FileExists(settings_));
    program_.choices.pictureFilterIndex = 3;
    Close();
    ASSERT_TRUE(testing::FileExists(settings_));
    EXPECT_EQ(ReadSetting(settings_, "index", "image", ""), "3");
    EXPECT_EQ(ReadSetting(settings_, "index", "imagelist", ""), "1");
    EXPECT_EQ(ReadSetting(settings_, "seting", "autosegmentation", ""), "0");
}

TEST_F(AppHostTest, AutoSegmentationOfOneSetsTheMarkAndAnyOtherValueDoesNot) {
    WriteSetting(settings_, "seting", "autosegmentation", "1");
    Start("iconvale.exe");
    EXPECT_TRUE(host_->mainWindow().AutoSegmentMarked());
    EXPECT_TRUE(program_.choices.autoSegmentation);
    Close();
    WriteSetting(settings_, "seting", "autosegmentation", "2");
    Start("iconvale.exe");
    EXPECT_FALSE(host_->mainWindow().AutoSegmentMarked());
    EXPECT_TRUE(program_.choices.autoSegmentation) << "pictures are cut all the same";
    Close();
    EXPECT_EQ(ReadSetting(settings_, "seting", "autosegmentation", ""), "2") << "kept as it was";
}

TEST_F(AppHostTest, TogglingAutoSegmentationTwiceReturnsToTheStart) {
    Start("iconvale.exe");
    MainWindow& window = host_->mainWindow();
    window.RunCommand(Command::AutoSegment);
    EXPECT_TRUE(window.AutoSegmentMarked());
    EXPECT_TRUE(program_.choices.autoSegmentation);
    window.RunCommand(Command::AutoSegment);
    EXPECT_FALSE(window.AutoSegmentMarked());
    EXPECT_FALSE(program_.choices.autoSegmentation);
    Close();
    EXPECT_EQ(ReadSetting(settings_, "seting", "autosegmentation", ""), "0");
}

// A quit posted from outside ends the loop with the window still there, and the modal forms pass
// it on; the window's destroy handler must still run before the objects it uses are released.
TEST_F(AppHostTest, AQuitFromOutsideEndsTheProgramWithTheWindowGoneBeforeItsObjects) {
    const std::string group = GroupFile("open.eil", 3);
    for (bool withDialog : {false, true}) {
        ::DeleteFileW(WidePtr(ToWide(settings_)));
        std::vector<std::string> events;
        ProgramObjects program([&](const char* event) { events.push_back(event); });
        PlatformModalUi ui;
        bool groupWasOpen = false;
        auto quit = [&] {
            groupWasOpen = program.document().group().GetCount() == 3;
            ::PostThreadMessageW(::GetCurrentThreadId(), WM_QUIT, 0, 0);
        };
        testing::DialogDriver driver;
        driver.When(
            "Iconvale",
            [&](HWND main) {
                if (!withDialog) return quit();
                ::PostMessageW(main, WM_COMMAND, CommandId(Command::New), 0);
            },
            "IconvaleMainWindow");
        if (withDialog) driver.When("新建图片组", [&](HWND) { quit(); });
        RunProgram(program, ui, {"iconvale.exe \"" + group + "\"", settings_},
                   ::GetModuleHandleW(nullptr), SW_SHOWNORMAL);
        EXPECT_TRUE(driver.AllRan()) << withDialog;
        EXPECT_TRUE(groupWasOpen);
        EXPECT_EQ(program.usesAfterRelease(), 0) << withDialog;
        EXPECT_EQ(events.back(), "free extraction texts");
        EXPECT_EQ(ReadSetting(settings_, "index", "image", ""), "6") << "settings written";
        MSG left{};
        EXPECT_FALSE(::PeekMessageW(&left, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            << "no quit left over";
    }
}

}  // namespace
}  // namespace iconvale
