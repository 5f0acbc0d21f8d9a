// How often the view is refreshed: once for each command that changes the document, once for a
// drop of many files, never for a command that changes nothing.
#include "app/document_presenter.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "app/document_commands.h"
#include "app/edit_commands.h"
#include "app/exchange_commands.h"
#include "app/picture_import.h"
#include "core/group_file.h"
#include "core/image_list_container.h"
#include "core/image_list_stream.h"
#include "imaging/image_formats.h"
#include "support/program_fixture.h"
#include "support/stream_builders.h"
#include "support/test_pictures.h"
#include "support/wired_commands.h"

namespace iconvale {
namespace {

// The main window as the commands and the presenter see it, counting the refreshes.
class CountingView : public DocumentView {
public:
    explicit CountingView(MainWindow& window) : window_(window) {}

    void RebuildIconList() override {
        ++rebuilds;
        window_.RebuildIconList();
    }
    void UpdateStatusBar(std::string_view text) override {
        ++statusUpdates;
        window_.UpdateStatusBar(text);
    }
    std::vector<int> SelectedIndices() const override { return window_.SelectedIndices(); }
    int FirstSelectedIndex() const override { return window_.FirstSelectedIndex(); }
    void SelectIndices(const std::vector<int>& indices) override { window_.SelectIndices(indices); }
    void ShowUndoState(bool canUndo, bool canRedo) override {
        window_.ShowUndoState(canUndo, canRedo);
    }
    void AttachImages(HIMAGELIST images) override { window_.AttachImages(images); }
    HWND DialogOwner() const override { return window_.DialogOwner(); }

    int rebuilds = 0;
    int statusUpdates = 0;

private:
    MainWindow& window_;
};

class DocumentRefreshTest : public testing::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        groupFile_ = folder_.File("three.eil");
        testing::WriteBytes(
            groupFile_,
            WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(16, 16, 3)), true));
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            ASSERT_TRUE(testing::WritePicture(
                folder_.File(name), 16, 16, [](int, int) { return 0xFF208040u; }, kPngFormat));
        }
        formFile_ = folder_.File("form.dfm");
        const auto list =
            ParseImageListStream(WriteImageListStream(testing::OneRedPerImage(16, 16, 2)));
        ASSERT_TRUE(list);
        testing::WriteBytes(formFile_, WriteContainer(ContainerForm::kDelphiForm, *list, "Icons"));
        ui_.files.push_back(FileChoice{groupFile_, 1});
        commands_.Open();
        ASSERT_EQ(group().GetCount(), 3);
    }

    // The refreshes and status updates the command made, after the answers it was given.
    std::pair<int, int> Counted(const std::function<void()>& command) {
        view_.rebuilds = view_.statusUpdates = 0;
        command();
        EXPECT_TRUE(ui_.answers.empty() && ui_.files.empty() && ui_.newGroupPresses.empty());
        return {view_.rebuilds, view_.statusUpdates};
    }
    void Choose(const std::string& path) { ui_.files.push_back(FileChoice{path, 1}); }

    std::string groupFile_;
    std::string formFile_;
    CountingView view_{window_};
    DocumentPresenter presenter_{program_.document(), view_};
    testing::WiredCommands wired_{program_, view_, ui_, folder_.File("seting.ini")};
    DocumentCommands& commands_ = wired_.document;
    PictureImport& import_ = wired_.pictures;
    ExchangeCommands exchange_{program_.document(), program_.fileDialog(), view_, ui_, commands_};
    EditCommands edit_{program_.document(), view_, ui_};
};

using Counts = std::pair<int, int>;  // rebuilds of the icon list, updates of the status bar

struct Step {
    const char* name;
    std::function<void()> command;
    Counts expected;
};

TEST_F(DocumentRefreshTest, ADropOfThreeFilesRefreshesOnce) {
    const std::string paths =
        folder_.File("a.png") + "\r\n" + folder_.File("b.png") + "\r\n" + folder_.File("c.png");
    EXPECT_EQ(Counted([&] { import_.Drop(paths); }), Counts(1, 1));
    EXPECT_EQ(group().GetCount(), 6);
}

TEST_F(DocumentRefreshTest, SeveralPicturesChosenInAddEnterInOrderAsOneChangeUpToABrokenOne) {
    std::string chosen;
    for (Argb colour : {0xFF00FF00u, 0xFF0000FFu}) {
        const std::string path = folder_.File(std::to_string(colour) + ".png");
        ASSERT_TRUE(testing::WritePicture(
            path, 16, 16, [colour](int, int) { return colour; }, kPngFormat));
        chosen += path + "\r\n";
    }
    const std::string broken = folder_.File("broken.png");
    ASSERT_TRUE(testing::WriteBytes(broken, Bytes{0x89, 'P', 'N', 'G', 1, 2, 3}));
    Choose(chosen + broken + "\r\n" + folder_.File("a.png") + "\r\n");
    EXPECT_EQ(Counted([&] { import_.Add(); }), Counts(1, 1));
    EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"添加失败！"});
    auto images = ParseImageListStream(StreamPart(group().SaveToBytes(0), false));
    ASSERT_TRUE(images);
    ASSERT_EQ(images->count, 5) << "the two before the broken file, none after";
    EXPECT_EQ(images->Pixel(3, 8, 8) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(images->Pixel(4, 8, 8) & 0xFFFFFF, 0x0000FFu);
    EXPECT_TRUE(document().modified());
}

TEST_F(DocumentRefreshTest, EachCommandThatChangesTheDocumentRefreshesOnceAndASaveOnlyItsStatus) {
    const std::string saved = folder_.File("saved.eil");
    const Step steps[] = {
        {"add",
         [&] {
             Choose(folder_.File("a.png"));
             import_.Add();
         },
         {1, 1}},
        {"replace",
         [&] {
             Select({0});
             Choose(folder_.File("b.png"));
             import_.Replace();
         },
         {1, 1}},
        {"delete",
         [&] {
             Select({1});
             commands_.Delete();
         },
         {1, 1}},
        {"move down",
         [&] {
             Select({0});
             edit_.MoveDown();
         },
         {1, 1}},
        {"undo", [&] { edit_.Undo(); }, {1, 1}},
        {"redo", [&] { edit_.Redo(); }, {1, 1}},
        {"merge",
         [&] {
             Choose(groupFile_);
             commands_.Merge();
         },
         {1, 1}},
        {"clear",
         [&] {
             ui_.answers.push_back(IDYES);
             commands_.Clear();
         },
         {1, 1}},
        {"save as",
         [&] {
             Choose(saved);
             commands_.SaveAs();
         },
         {0, 1}},
        {"import",
         [&] {
             Choose(formFile_);
             exchange_.Import();
         },
         {1, 1}},
        {"No, then a cancelled open",
         [&] {
             ui_.answers.push_back(IDNO);
             commands_.Open();
         },
         {1, 1}},
        {"new",
         [&] {
             ui_.newGroupPresses.push_back({testing::Inputs("16", "16", "32")});
             commands_.New();
         },
         {1, 1}},
        {"save",
         [&] {
             Choose(saved);
             commands_.Save();
         },
         {0, 1}},
        {"open",
         [&] {
             Choose(groupFile_);
             commands_.Open();
         },
         {1, 1}},
    };
    for (const Step& step : steps) EXPECT_EQ(Counted(step.command), step.expected) << step.name;
    EXPECT_EQ(ui_.messages.size(), 2u) << "the clear's question and the save-changes one";
}

TEST_F(DocumentRefreshTest, ACommandThatChangesNothingRefreshesNothing) {
    const std::string junk = folder_.File("junk.eil");
    testing::WriteBytes(junk, Bytes(40, 1));
    const Step steps[] = {
        {"cancelled open", [&] { commands_.Open(); }, {0, 0}},
        {"undo with nothing to undo", [&] { edit_.Undo(); }, {0, 0}},
        {"move up of the first image",
         [&] {
             Select({0});
             edit_.MoveUp();
             testing::SelectOnly(window_.iconList(), {});
         },
         {0, 0}},
        {"cancelled new",
         [&] {
             ui_.newGroupPresses.push_back({});
             commands_.New();
         },
         {0, 0}},
        {"clear answered No",
         [&] {
             ui_.answers.push_back(IDNO);
             commands_.Clear();
         },
         {0, 0}},
        {"delete without a selection", [&] { commands_.Delete(); }, {0, 0}},
        {"replace without a selection", [&] { import_.Replace(); }, {0, 0}},
        {"merge of no group file",
         [&] {
             Choose(junk);
             commands_.Merge();
         },
         {0, 0}},
        {"a drop that adds nothing", [&] { import_.Drop(junk); }, {0, 0}},
        {"import of no form",
         [&] {
             Choose(junk);
             exchange_.Import();
         },
         {0, 0}},
        {"a failed save",
         [&] {
             Choose(folder_.File("gone\\x.eil"));
             commands_.SaveAs();
         },
         {0, 0}},
    };
    for (const Step& step : steps) EXPECT_EQ(Counted(step.command), step.expected) << step.name;
    EXPECT_EQ(group().GetCount(), 3);
    EXPECT_FALSE(document().modified());
}

}  // namespace
}  // namespace iconvale
