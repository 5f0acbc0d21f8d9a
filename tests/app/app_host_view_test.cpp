// The View menu through the real main window: what the icon list draws from at each setting,
// the menu's marks, and the choices kept in the settings file.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/settings_file.h"
#include "app/app_host.h"
#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "support/scripted_ui.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "support/windows.h"

namespace iconvale {
namespace {

using testing::PumpMessages;

class AppHostViewTest : public ::testing::Test {
protected:
    void Start() {
        ImageListData list = testing::PatternList({.width = 16, .height = 16, .count = 3});
        const std::string path = folder_.File("group.eil");
        ASSERT_TRUE(testing::WriteBytes(path, WithGroupHeader(WriteImageListStream(list), true)));
        host_ = std::make_unique<AppHost>(
            program_, ui_, AppHostOptions{"iconvale.exe \"" + path + "\"", settings_});
        ASSERT_TRUE(host_->Start(::GetModuleHandleW(nullptr), SW_SHOWNORMAL));
        PumpMessages();
        ASSERT_EQ(program_.document().group().GetCount(), 3);
    }
    void Close() {
        ::SendMessageW(host_->mainWindow().hwnd(), WM_CLOSE, 0, 0);
        PumpMessages();
    }
    void Run(Command command) {
        ::SendMessageW(host_->mainWindow().hwnd(), WM_COMMAND, MAKEWPARAM(CommandId(command), 0),
                       0);
    }
    HIMAGELIST Attached() {
        return reinterpret_cast<HIMAGELIST>(
            ::SendMessageW(host_->mainWindow().iconList(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    }
    int ShownSide() {
        int width = 0, height = 0;
        ::ImageList_GetIconSize(Attached(), &width, &height);
        return width;
    }
    // How far the second item lies from the first, across or down.
    int ItemStep() {
        RECT bounds[2] = {};
        for (int i = 0; i < 2; ++i) {
            bounds[i].left = LVIR_BOUNDS;
            ::SendMessageW(host_->mainWindow().iconList(), LVM_GETITEMRECT, i,
                           reinterpret_cast<LPARAM>(&bounds[i]));
        }
        return bounds[1].left - bounds[0].left + bounds[1].top - bounds[0].top;
    }
    bool Marked(Command command) {
        return ::GetMenuState(host_->mainWindow().menuBar(), CommandId(command), MF_BYCOMMAND) &
               MF_CHECKED;
    }

    testing::TempFolder folder_;
    std::string settings_ = folder_.File("seting.ini");
    ProgramObjects program_;
    testing::ScriptedUi ui_;
    std::unique_ptr<AppHost> host_;
};

TEST_F(AppHostViewTest, TheMenuChoosesWhatTheListDrawsFrom) {
    Start();
    EXPECT_EQ(Attached(), program_.document().group().GetHandle()) << "1x without the checkerboard";
    EXPECT_TRUE(Marked(Command::ZoomActual));
    EXPECT_FALSE(Marked(Command::Checkerboard));

    Run(Command::ZoomQuadruple);
    EXPECT_NE(Attached(), program_.document().group().GetHandle());
    EXPECT_EQ(ShownSide(), 64);
    EXPECT_TRUE(Marked(Command::ZoomQuadruple));
    EXPECT_FALSE(Marked(Command::ZoomActual));
    const DWORD spacing = static_cast<DWORD>(
        ::SendMessageW(host_->mainWindow().iconList(), LVM_GETITEMSPACING, 0, 0));
    EXPECT_GT(LOWORD(spacing), 64) << "the spacing follows the shown size";

    const int wideStep = ItemStep();
    Run(Command::ZoomOut);
    EXPECT_EQ(ShownSide(), 32);
    Run(Command::ZoomOut);
    Run(Command::ZoomOut);
    EXPECT_EQ(Attached(), program_.document().group().GetHandle());
    EXPECT_LT(ItemStep(), wideStep) << "the items move closer again";

    Run(Command::Checkerboard);
    EXPECT_TRUE(Marked(Command::Checkerboard));
    EXPECT_NE(Attached(), program_.document().group().GetHandle());
    EXPECT_EQ(ShownSide(), 16);

    // A change to the group rebuilds the display list with it.
    LVITEMW selected{};
    selected.stateMask = selected.state = LVIS_SELECTED;
    ::SendMessageW(host_->mainWindow().iconList(), LVM_SETITEMSTATE, 0,
                   reinterpret_cast<LPARAM>(&selected));
    ui_.answers = {IDYES};
    Run(Command::Delete);
    EXPECT_EQ(::ImageList_GetImageCount(Attached()), 2);

    Run(Command::Checkerboard);
    EXPECT_EQ(Attached(), program_.document().group().GetHandle());
    Close();
}

TEST_F(AppHostViewTest, TheChoicesAreKeptInTheirOwnSectionAndBadValuesFallBack) {
    Start();
    Run(Command::ZoomIn);
    Run(Command::ZoomIn);
    Run(Command::ZoomIn);
    Run(Command::Checkerboard);
    Close();
    EXPECT_EQ(ReadSetting(settings_, "view", "zoom", ""), "4");
    EXPECT_EQ(ReadSetting(settings_, "view", "checkerboard", ""), "1");
    EXPECT_EQ(ReadSetting(settings_, "index", "image", ""), "6");

    Start();
    EXPECT_TRUE(Marked(Command::ZoomQuadruple));
    EXPECT_TRUE(Marked(Command::Checkerboard));
    EXPECT_EQ(ShownSide(), 64);
    Close();

    for (const char* zoom : {"3", "0", "-4", "x", "8"}) {
        WriteSetting(settings_, "view", "zoom", zoom);
        WriteSetting(settings_, "view", "checkerboard", "2");
        const DisplayOptions options = LoadDisplayOptions(settings_);
        EXPECT_EQ(options.zoom, 1) << zoom;
        EXPECT_FALSE(options.checkerboard);
    }
    WriteSetting(settings_, "view", "zoom", " 2");
    EXPECT_EQ(LoadDisplayOptions(settings_).zoom, 2);
}

}  // namespace
}  // namespace iconvale
