// The document commands through the modal seam, against a real main window and real files.
#include "app/document_commands.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/group_files.h"
#include "app/main_window.h"
#include "app/settings_file.h"
#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "support/expected_flags.h"
#include "support/program_fixture.h"
#include "support/recording_progress.h"
#include "support/scripted_ui.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "support/test_icons.h"
#include "support/windows.h"
#include "ui/file_dialog_object.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::Inputs;

class DocumentCommandsTest : public testing::ProgramFixture {
protected:
    // A group file of `count` images, image i filled with colour 0x10*i.
    std::string GroupFile(const std::string& name, int width, int height, int count) {
        ImageListData list = testing::OneRedPerImage(width, height, count);
        std::string path = folder_.File(name);
        testing::WriteBytes(path,
                            WithGroupHeader(WriteImageListStream(list), HasGroupHeaderName(name)));
        return path;
    }

    void OpenFile(const std::string& path) {
        ui_.files.push_back(FileChoice{path, 1});
        commands_.Open();
    }

    void NewGroup(const char* w = "16", const char* h = "16", const char* depth = "32",
                  bool mask = true) {
        ui_.newGroupPresses.push_back({Inputs(w, h, depth, mask)});
        commands_.New();
    }

    HIMAGELIST ListImages() {
        return reinterpret_cast<HIMAGELIST>(
            ::SendMessageW(window_.iconList(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    }
    // The red channel of image i's first pixel, in the saved file.
    static int FirstRed(const ImageListData& list, int i) {
        return (list.Pixel(i, 0, 0) >> 16) & 0xFF;
    }
    ImageListData Saved(const std::string& path) {
        Bytes file = ReadWholeFile(path);
        auto list = ParseImageListStream(StreamPart(file, HasGroupHeaderName(path)));
        return list ? *list : ImageListData{};
    }
    // The first image removed, as an edit of the document.
    void RemoveFirst() {
        document().Change([](ImageGroup& g) { return g.Remove(0); });
    }
    const testing::ScriptedUi::Shown& LastMessage() { return ui_.messages.back(); }

    FileDialogObject dialog_;
    DocumentCommands commands_{program_.document(),       program_.choices, window_, ui_, dialog_,
                               folder_.File("seting.ini")};
};

TEST_F(DocumentCommandsTest, CommandsThatNeedAGroupSaySoBeforeAnyDialog) {
    for (auto command :
         {&DocumentCommands::Save, &DocumentCommands::SaveAs, &DocumentCommands::Clear,
          &DocumentCommands::Delete, &DocumentCommands::Merge}) {
        (commands_.*command)();
        ASSERT_FALSE(ui_.messages.empty());
        EXPECT_EQ(LastMessage().text, "请先新建或打开一个图片组！");
        EXPECT_EQ(LastMessage().title, "Iconvale");
        EXPECT_EQ(LastMessage().style, testing::kInformationStyle);
    }
    EXPECT_EQ(ui_.messages.size(), 5u);
    EXPECT_TRUE(ui_.fileDialogs.empty());
}

TEST_F(DocumentCommandsTest, NewMakesAnUntitledCleanGroupWithTheChosenColourAsBackground) {
    ui_.newGroupPresses.push_back({Inputs("32", "24", "8", true, 0x00123456)});
    commands_.New();
    ASSERT_TRUE(group().IsCreated());
    EXPECT_EQ(group().GetIconSize(), (IconSize{32, 24}));
    EXPECT_EQ(group().GetBackgroundColour(), 0x00123456u);
    EXPECT_EQ(choices().transparentColour, 0x00123456u);
    EXPECT_EQ(choices().useTransparentColour, true);
    EXPECT_EQ(document().path(), "");
    EXPECT_FALSE(document().modified());
    EXPECT_EQ(Pane(3), "未命名图片组");
    EXPECT_EQ(ListImages(), group().GetHandle());
    EXPECT_EQ(ReadSetting(folder_.File("seting.ini"), "seting", "usecolor", ""), "1");
    Bytes bytes = group().SaveToBytes(0);
    EXPECT_EQ(ParseImageListStream(bytes)->flags, 8 | ILC_MASK);
}

TEST_F(DocumentCommandsTest, NewGroupDialogReadsUseColourOnOpeningDefaultingToOne) {
    ui_.newGroupPresses.push_back({});
    commands_.New();
    EXPECT_EQ(ui_.newGroupOpenedTicked, std::vector<bool>{true});
    EXPECT_EQ(choices().useTransparentColour, true) << "set on opening, even when cancelled";
    WriteSetting(folder_.File("seting.ini"), "seting", "usecolor", "0");
    commands_.New();
    EXPECT_EQ(ui_.newGroupOpenedTicked.back(), false);
    EXPECT_EQ(choices().useTransparentColour, false);
    WriteSetting(folder_.File("seting.ini"), "seting", "usecolor", "2");
    commands_.New();
    EXPECT_EQ(ui_.newGroupOpenedTicked.back(), false) << "only 1 ticks the box";
    EXPECT_EQ(choices().useTransparentColour, false);
}

TEST_F(DocumentCommandsTest, FailedCreationKeepsTheDialogOpenAndTheOldGroup) {
    OpenFile(GroupFile("old.eil", 16, 16, 3));
    ui_.newGroupPresses.push_back({Inputs("abc", "16", "24"), Inputs("16", "0", "24")});
    commands_.New();
    EXPECT_EQ(ui_.MessageTexts(),
              (std::vector<std::string>{"错误！创建图片组失败！", "错误！创建图片组失败！"}));
    EXPECT_EQ(LastMessage().style, testing::kErrorStyle);
    // Cancelled after the failures: nothing about the open document changed.
    EXPECT_EQ(group().GetCount(), 3);
    EXPECT_EQ(document().path(), folder_.File("old.eil"));
    EXPECT_EQ(ListImages(), group().GetHandle());
}

TEST_F(DocumentCommandsTest, CancelledNewGroupDialogChangesNothing) {
    OpenFile(GroupFile("kept.eil", 16, 16, 2));
    document().Change([](ImageGroup& g) {
        g.SetBackgroundColour(0x00445566);
        return true;
    });
    MarkSaved();
    ui_.newGroupPresses.push_back({});
    commands_.New();
    EXPECT_EQ(group().GetCount(), 2);
    EXPECT_EQ(group().GetBackgroundColour(), 0x00445566u);
    EXPECT_EQ(document().path(), folder_.File("kept.eil"));
    EXPECT_EQ(Pane(3), folder_.File("kept.eil"));
}

TEST_F(DocumentCommandsTest, OpenReadsTheFileAndShowsIt) {
    std::string path = GroupFile("three.eil", 20, 18, 3);
    OpenFile(path);
    ASSERT_EQ(ui_.fileDialogs.size(), 1u);
    EXPECT_EQ(ui_.fileDialogs[0].title, "打开图片组");
    EXPECT_EQ(ui_.fileDialogs[0].flags, testing::kPickExistingFileFlags);
    EXPECT_EQ(ui_.fileDialogs[0].defaultExtension, "eil");
    EXPECT_EQ(group().GetCount(), 3);
    EXPECT_EQ(document().path(), path);
    EXPECT_FALSE(document().modified());
    EXPECT_EQ(ListCount(), 3);
    EXPECT_EQ(Pane(0), "图标数：3");
    EXPECT_EQ(Pane(3), path);
}

TEST_F(DocumentCommandsTest, OpeningSomethingElseEmptiesTheListAndKeepsThePath) {
    OpenFile(GroupFile("good.eil", 16, 16, 2));
    std::string bad = folder_.File("bad.eil");
    testing::WriteBytes(bad, Bytes(64, 7));
    OpenFile(bad);
    EXPECT_EQ(LastMessage().text, "打开图片组失败！可能不是图片组文件");
    EXPECT_EQ(LastMessage().style, testing::kErrorStyle);
    EXPECT_FALSE(group().IsCreated());
    EXPECT_EQ(ListCount(), 0);
    EXPECT_EQ(ListImages(), nullptr);
    EXPECT_EQ(Pane(0), "图标数：0");
    EXPECT_EQ(document().path(), bad);
    EXPECT_FALSE(document().modified());
}

TEST_F(DocumentCommandsTest, TheNameDecidesTheFormInBothDirections) {
    NewGroup();
    UniqueIcon red = testing::SolidIcon(16, 16, 0xFF0000);
    document().Change([&](ImageGroup& g) { return g.AddIcon(red.get()) != -1; });
    ASSERT_TRUE(WriteGroupFile(folder_.File("caps.EIL"), group()));
    ASSERT_TRUE(WriteGroupFile(folder_.File("bare.ico"), group()));
    ASSERT_TRUE(WriteGroupFile(folder_.File("x.eil.bak"), group()));
    Bytes caps = ReadWholeFile(folder_.File("caps.EIL"));
    Bytes bare = ReadWholeFile(folder_.File("bare.ico"));
    EXPECT_EQ(Bytes(caps.begin(), caps.begin() + 4), Bytes({'M', 'I', 'T', 'L'}));
    EXPECT_EQ(Bytes(bare.begin(), bare.begin() + 4), Bytes({0x49, 0x4C, 0x01, 0x01}));
    EXPECT_EQ(ReadWholeFile(folder_.File("x.eil.bak")), bare);
    EXPECT_EQ(caps.size(), bare.size() + 8);

    EXPECT_TRUE(document().Open(folder_.File("bare.ico")));
    EXPECT_EQ(group().GetCount(), 1);
    // Renamed the other way round, neither form opens.
    testing::WriteBytes(folder_.File("renamed.eil"), bare);
    testing::WriteBytes(folder_.File("renamed.dat"), caps);
    EXPECT_FALSE(document().Open(folder_.File("renamed.eil")));
    EXPECT_FALSE(document().Open(folder_.File("renamed.dat")));
}

TEST_F(DocumentCommandsTest, SaveOfAnUntitledGroupAsksForTheFileThenWritesThere) {
    NewGroup();
    MarkChanged();
    std::string path = folder_.File("new.eil");
    ui_.files.push_back(FileChoice{path, 2});
    commands_.Save();
    ASSERT_EQ(ui_.fileDialogs.size(), 1u);
    EXPECT_EQ(ui_.fileDialogs[0].title, "保存图片组");
    EXPECT_EQ(ui_.fileDialogs[0].kind, FileDialogKind::Save);
    EXPECT_EQ(document().path(), path);
    EXPECT_EQ(choices().groupFilterIndex, 2);
    EXPECT_FALSE(document().modified());
    EXPECT_EQ(Pane(3), path);
    EXPECT_EQ(Saved(path).width, 16);
    commands_.Save();
    EXPECT_EQ(ui_.fileDialogs.size(), 1u) << "a titled group saves without asking";
}

TEST_F(DocumentCommandsTest, SaveAsLeavesThePathAndStatusBarAndAFollowingSaveWritesTheOldFile) {
    std::string original = GroupFile("original.eil", 16, 16, 2);
    OpenFile(original);
    Bytes before = ReadWholeFile(original);
    MarkChanged();
    std::string copy = folder_.File("copy.eil");
    ui_.files.push_back(FileChoice{copy, 1});
    commands_.SaveAs();
    EXPECT_EQ(ui_.fileDialogs.back().title, "另存图片组");
    EXPECT_EQ(document().path(), original);
    EXPECT_EQ(Pane(3), original);
    EXPECT_FALSE(document().modified());
    EXPECT_EQ(Saved(copy).count, 2);

    RemoveFirst();
    commands_.Save();
    EXPECT_EQ(Saved(original).count, 1);
    EXPECT_EQ(Saved(copy).count, 2);
    EXPECT_NE(ReadWholeFile(original), before);
}

TEST_F(DocumentCommandsTest, FailedSavesLeaveTheOldFileAsItWas) {
    std::string path = GroupFile("keep.eil", 16, 16, 2);
    OpenFile(path);
    const Bytes before = ReadWholeFile(path);
    RemoveFirst();

    ::SetFileAttributesW(WidePtr(ToWide(path)), FILE_ATTRIBUTE_READONLY);
    commands_.Save();
    ::SetFileAttributesW(WidePtr(ToWide(path)), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(LastMessage().text, "保存失败！");
    EXPECT_EQ(LastMessage().title, "信息：");
    EXPECT_EQ(LastMessage().style, testing::kErrorStyle);
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_TRUE(document().modified());

    std::string folderInTheWay = folder_.File("folder.eil");
    ::CreateDirectoryW(WidePtr(ToWide(folderInTheWay)), nullptr);
    EXPECT_FALSE(WriteGroupFile(folderInTheWay, group()));
    EXPECT_FALSE(WriteGroupFile(folder_.File("gone\\x.eil"), group()));

    document().Discard();
    EXPECT_FALSE(WriteGroupFile(path, group())) << "no group to write";
    EXPECT_EQ(ReadWholeFile(path), before);

    // Nothing but the files this test made is left in the folder.
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(WidePtr(ToWide(folder_.File("*.tmp"))), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left behind";
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
}

// A direct write takes paths up to 259 characters, so the save beside the target must too.
TEST_F(DocumentCommandsTest, TargetsOf255CharactersAreSavedWithALongNameOrALongFolder) {
    OpenFile(GroupFile("short.eil", 16, 16, 3));
    std::string deep = folder_.path();
    deep.append(1, '\\').append(235 - folder_.path().size(), 'd');
    ASSERT_TRUE(::CreateDirectoryW(WidePtr(ToWide(deep)), nullptr));
    std::string longName = folder_.path();
    longName.append(1, '\\').append(250 - folder_.path().size(), 'n').append(".eil");
    std::string longFolder = deep;
    longFolder.append("\\gggggggggggggg.eil");
    for (const std::string& target : {longName, longFolder}) {
        ASSERT_EQ(target.size(), 255u);
        // Wine takes longer paths than Windows does, so the name is checked as well.
        const std::wstring wide = WidePtr(ToWide(target));
        const std::wstring temporary = TemporaryPathFor(wide, 1).native();
        EXPECT_LE(temporary.size(), 259u);
        EXPECT_EQ(temporary.substr(0, wide.rfind(L'\\') + 1),
                  wide.substr(0, wide.rfind(L'\\') + 1));
        EXPECT_NE(TemporaryPathFor(wide, 2).native(), temporary);
        for (int count : {2, 1}) {  // a new file, then one replaced
            RemoveFirst();
            ui_.files.push_back(FileChoice{target, 1});
            commands_.SaveAs();
            EXPECT_FALSE(document().modified()) << target.size();
            EXPECT_EQ(Saved(target).count, count);
        }
        OpenFile(GroupFile("short.eil", 16, 16, 3));
    }
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(DocumentCommandsTest, ClearAsksAndEmptiesEvenAnEmptyGroup) {
    NewGroup();
    ui_.answers.push_back(IDYES);
    commands_.Clear();
    EXPECT_EQ(LastMessage().text, "你真的要清空所有图标吗？");
    EXPECT_EQ(LastMessage().style, testing::kYesNoWarningStyle);
    EXPECT_TRUE(document().modified());

    MarkSaved();
    OpenFile(GroupFile("four.eil", 16, 16, 4));
    ui_.answers.push_back(IDNO);
    commands_.Clear();
    EXPECT_EQ(group().GetCount(), 4);
    EXPECT_FALSE(document().modified());
    ui_.answers.push_back(IDYES);
    commands_.Clear();
    EXPECT_EQ(group().GetCount(), 0);
    EXPECT_EQ(group().GetIconSize(), (IconSize{16, 16}));
    EXPECT_EQ(ListCount(), 0);
    EXPECT_TRUE(document().modified());
}

TEST_F(DocumentCommandsTest, DeleteRemovesExactlyTheSelectedImages) {
    OpenFile(GroupFile("six.eil", 8, 8, 6));
    commands_.Delete();
    EXPECT_EQ(LastMessage().text, "请在列表框中选择要删除的图标");
    EXPECT_FALSE(document().modified());
    Select({1, 3, 4});
    commands_.Delete();
    EXPECT_TRUE(document().modified());
    EXPECT_EQ(ListCount(), 3);
    std::string out = folder_.File("left.eil");
    ASSERT_TRUE(WriteGroupFile(out, group()));
    ImageListData left = Saved(out);
    ASSERT_EQ(left.count, 3);
    EXPECT_EQ(FirstRed(left, 0), 0x10);
    EXPECT_EQ(FirstRed(left, 1), 0x30);
    EXPECT_EQ(FirstRed(left, 2), 0x60);
    EXPECT_EQ(Pane(0), "图标数：3");
}

TEST_F(DocumentCommandsTest, MergeAppendsTheOtherGroupScaledToTheCells) {
    OpenFile(GroupFile("small.eil", 16, 16, 2));
    std::string big = GroupFile("big.eil", 32, 32, 3);
    ui_.files.push_back(FileChoice{big, 1});
    commands_.Merge();
    EXPECT_EQ(ui_.fileDialogs.back().title, "合并图片组");
    EXPECT_EQ(group().GetCount(), 5);
    EXPECT_EQ(group().GetIconSize(), (IconSize{16, 16}));
    EXPECT_TRUE(document().modified());
    EXPECT_EQ(ListCount(), 5);
    ASSERT_TRUE(WriteGroupFile(folder_.File("merged.eil"), group()));
    ImageListData merged = Saved(folder_.File("merged.eil"));
    EXPECT_EQ(merged.width, 16);
    EXPECT_EQ(FirstRed(merged, 1), 0x20);
    EXPECT_EQ(FirstRed(merged, 2), 0x10) << "the first merged image";
    EXPECT_EQ(FirstRed(merged, 4), 0x30);
}

TEST_F(DocumentCommandsTest, OpenAndMergeCountTheImagesLoadedAndEndBeforeTheRefresh) {
    testing::RecordingProgress progress;
    DocumentCommands counted{program_.document(),        program_.choices, window_, ui_, dialog_,
                             folder_.File("seting.ini"), progress};
    int listedAtEnd = -1;
    progress.ended = [&] { listedAtEnd = ListCount(); };
    // Enough images for the loader to take them in several batches.
    ui_.files.push_back(FileChoice{GroupFile("many.eil", 64, 64, 200), 1});
    counted.Open();
    ASSERT_EQ(group().GetCount(), 200);
    ASSERT_GE(progress.calls.size(), 4u) << "begin, more than one step, end";
    EXPECT_EQ(progress.calls.front(), "begin 200 正在打开");
    EXPECT_EQ(progress.calls.back(), "end");
    int stepped = 0;
    for (std::size_t i = 1; i + 1 < progress.calls.size(); ++i)
        stepped += std::stoi(progress.calls[i].substr(5));
    EXPECT_EQ(stepped, 200);
    EXPECT_EQ(listedAtEnd, 0) << "the count is over before the list shows the file";

    progress.calls.clear();
    ui_.files.push_back(FileChoice{GroupFile("two.eil", 64, 64, 2), 1});
    counted.Merge();
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"begin 2 正在合并", "step 2", "end"}));
    EXPECT_EQ(listedAtEnd, 200);
    EXPECT_EQ(ListCount(), 202);
}

TEST_F(DocumentCommandsTest, MergeOfSomethingElseSaysSoAndChangesNothing) {
    OpenFile(GroupFile("base.eil", 16, 16, 2));
    std::string junk = folder_.File("junk.eil");
    testing::WriteBytes(junk, Bytes(50, 1));
    ui_.files.push_back(FileChoice{junk, 1});
    commands_.Merge();
    EXPECT_EQ(LastMessage().text, "合并图片组失败！");
    EXPECT_EQ(LastMessage().style, testing::kErrorStyle);
    EXPECT_EQ(group().GetCount(), 2);
    EXPECT_FALSE(document().modified());
}

// The main window, except that its selection names an image the group no longer has.
class StaleSelectionView : public DocumentView {
public:
    explicit StaleSelectionView(DocumentView& window) : window_(window) {}
    void RebuildIconList() override { window_.RebuildIconList(); }
    void UpdateStatusBar(std::string_view text) override { window_.UpdateStatusBar(text); }
    std::vector<int> SelectedIndices() const override { return {99}; }
    int FirstSelectedIndex() const override { return 99; }
    void SelectIndices(const std::vector<int>& indices) override { window_.SelectIndices(indices); }
    void ShowUndoState(bool canUndo, bool canRedo) override {
        window_.ShowUndoState(canUndo, canRedo);
    }
    void AttachImages(HIMAGELIST images) override { window_.AttachImages(images); }
    HWND DialogOwner() const override { return window_.DialogOwner(); }

private:
    DocumentView& window_;
};

TEST_F(DocumentCommandsTest, MergeAndDeleteThatChangeNothingLeaveNoStepAndNothingToSave) {
    OpenFile(GroupFile("base.eil", 16, 16, 2));
    ui_.files.push_back(FileChoice{GroupFile("empty.eil", 16, 16, 0), 1});
    commands_.Merge();
    EXPECT_TRUE(ui_.messages.empty());

    StaleSelectionView stale(window_);
    DocumentCommands staleCommands{program_.document(),       program_.choices, stale, ui_, dialog_,
                                   folder_.File("seting.ini")};
    staleCommands.Delete();
    EXPECT_EQ(LastMessage().text, "删除图标失败！");

    EXPECT_EQ(group().GetCount(), 2);
    EXPECT_FALSE(document().modified());
    EXPECT_FALSE(document().CanUndo());
}

TEST_F(DocumentCommandsTest, NoQuestionWhileTheGroupIsClean) {
    OpenFile(GroupFile("clean.eil", 16, 16, 1));
    EXPECT_TRUE(commands_.ConfirmDiscard());
    NewGroup();
    OpenFile(GroupFile("again.eil", 16, 16, 1));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(DocumentCommandsTest, SaveChangesQuestionNamesTheFile) {
    std::string path = GroupFile("named.eil", 16, 16, 1);
    OpenFile(path);
    MarkChanged();
    ui_.answers.push_back(IDCANCEL);
    EXPECT_FALSE(commands_.ConfirmDiscard());
    EXPECT_EQ(LastMessage().text, "图片组 " + path + "\r\n已经改变 需要保存吗？");
    EXPECT_EQ(LastMessage().title, "Iconvale");
    EXPECT_EQ(LastMessage().style, testing::kYesNoCancelQuestionStyle);
    EXPECT_TRUE(group().IsCreated());

    ui_.answers.push_back(IDYES);
    RemoveFirst();
    EXPECT_TRUE(commands_.ConfirmDiscard());
    EXPECT_EQ(Saved(path).count, 0) << "Yes saves to the current file";
}

TEST_F(DocumentCommandsTest, YesForAnUntitledGroupThenCancellingTheSaveStopsTheCommand) {
    NewGroup();
    MarkChanged();
    ui_.answers.push_back(IDYES);
    ui_.files.push_back(std::nullopt);
    EXPECT_FALSE(commands_.ConfirmDiscard());
    EXPECT_EQ(ui_.fileDialogs.back().title, "保存图片组");
    EXPECT_EQ(ui_.fileDialogs.back().flags, testing::kPlainSaveFlags) << "no overwrite question";
    EXPECT_TRUE(group().IsCreated()) << "nothing discarded";
    EXPECT_TRUE(document().modified());

    ui_.answers.push_back(IDYES);
    ui_.files.push_back(std::nullopt);
    ui_.newGroupPresses.push_back({Inputs("8", "8", "4")});
    commands_.New();
    EXPECT_EQ(group().GetIconSize(), (IconSize{16, 16})) << "New stopped";
}

TEST_F(DocumentCommandsTest, ASaveInsideTheQuestionCountsEvenWhenTheCommandIsThenCancelled) {
    NewGroup();
    MarkChanged();
    const std::string path = folder_.File("asked.eil");
    ui_.answers.push_back(IDYES);
    ui_.files.push_back(FileChoice{path, 1});
    ui_.newGroupPresses.push_back({});  // the new-group dialog is cancelled
    commands_.New();
    EXPECT_EQ(Saved(path).width, 16);
    EXPECT_EQ(document().path(), path);
    EXPECT_FALSE(document().modified());
    EXPECT_EQ(Pane(3), path);
}

TEST_F(DocumentCommandsTest, NoDiscardsTheGroupAndItsChangesAtOnce) {
    OpenFile(GroupFile("discard.eil", 16, 16, 2));
    MarkChanged();
    ui_.answers.push_back(IDNO);
    commands_.Open();  // and the dialog is cancelled
    EXPECT_FALSE(group().IsCreated());
    EXPECT_FALSE(document().modified()) << "no later question about a group that is gone";
    EXPECT_TRUE(commands_.ConfirmDiscard());
    EXPECT_EQ(ui_.messages.size(), 1u);

    // The list draws from nothing now: repainting, selecting and resizing stay safe.
    EXPECT_EQ(ListImages(), nullptr);
    window_.Show(SW_SHOWNA);
    Select({0, 1});
    ::SetWindowPos(window_.hwnd(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    ::RedrawWindow(window_.iconList(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    testing::PumpMessages();
}

TEST_F(DocumentCommandsTest, TheFilterIndexIsRememberedOnlyFromConfirmedDialogs) {
    choices().groupFilterIndex = 1;
    ui_.files.push_back(std::nullopt);
    commands_.Open();
    EXPECT_EQ(choices().groupFilterIndex, 1);
    ui_.files.push_back(FileChoice{GroupFile("f.eil", 16, 16, 1), 2});
    commands_.Open();
    EXPECT_EQ(choices().groupFilterIndex, 2);
    MarkSaved();
    ui_.files.push_back(std::nullopt);
    commands_.Open();
    EXPECT_EQ(ui_.fileDialogs.back().filterIndex, 2);
}

}  // namespace
}  // namespace iconvale
