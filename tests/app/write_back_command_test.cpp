// Write-back of an imported group into its form, through the modal seam and real files.
#include "app/write_back_command.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "app/exchange_commands.h"
#include "core/file_io.h"
#include "core/group_lists.h"
#include "support/program_fixture.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "ui/file_dialog_object.h"

namespace iconvale {
namespace {

using testing::PatternList;
using testing::SameImages;

class WriteBackCommandTest : public testing::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        toolbar_ = testing::CanonicalPattern({.width = 16, .height = 16, .count = 3});
        tree_ = testing::CanonicalPattern({.width = 16, .height = 16, .count = 4});
        std::string form = "object Form1: TForm1\r\n  Caption = 'Main'\r\n";
        form += testing::DelphiBlock(toolbar_, "Toolbar");
        form += testing::DelphiBlock(tree_, "TreeIcons");
        form += "end\r\n";
        formBytes_ = Bytes(form.begin(), form.end());
        ASSERT_TRUE(testing::WriteBytes(form_, formBytes_));
    }

    // Imports the form's second list, TreeIcons.
    void ImportTree() {
        ui_.files.push_back(FileChoice{form_, 1});
        ui_.listChoices.push_back(1);
        exchange_.Import();
        ASSERT_EQ(group().GetCount(), 4);
    }

    void DeleteFirst() {
        ASSERT_TRUE(document().Change([](ImageGroup& group) { return group.Remove(0); }));
    }

    std::optional<ImageListData> ListInFile(std::size_t index) {
        const ContainerContents contents = ReadContainer(ReadWholeFile(form_));
        if (contents.error || index >= contents.lists.size()) return std::nullopt;
        ContainerError error;
        return DecodeContainedList(contents.lists[index], 0, error);
    }

    ImageListData toolbar_;
    ImageListData tree_;
    Bytes formBytes_;
    std::string form_ = folder_.File("窗体.dfm");
    FileDialogObject dialog_;
    DocumentCommands commands_{program_.document(),       program_.choices, window_, ui_, dialog_,
                               folder_.File("seting.ini")};
    ExchangeCommands exchange_{program_.document(), dialog_, window_, ui_, commands_};
    WriteBackCommand writeBack_{program_.document(), window_, ui_};
};

TEST_F(WriteBackCommandTest, ChangesOnlyTheImportedListAndLeavesNothingUnsaved) {
    EXPECT_FALSE(writeBack_.Available()) << "no group came from a form yet";
    ImportTree();
    EXPECT_TRUE(writeBack_.Available());
    DeleteFirst();
    ASSERT_TRUE(writeBack_.WriteBack());
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_FALSE(document().modified());

    const auto written = ListInFile(1);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->count, 3);
    EXPECT_TRUE(SameImages(*written, *ListOfGroup(group())));
    // The rest of the file, byte for byte, is the core's tests' to check.
    EXPECT_TRUE(SameImages(*ListInFile(0), toolbar_));

    // A second write-back sees the list it wrote, and asks nothing.
    DeleteFirst();
    EXPECT_TRUE(writeBack_.WriteBack());
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(ListInFile(1)->count, 2);
}

TEST_F(WriteBackCommandTest, AsksBeforeOverwritingAListChangedOnDisk) {
    ImportTree();
    DeleteFirst();
    // Another program puts a list of other images where TreeIcons was.
    std::string changed(formBytes_.begin(), formBytes_.end());
    const ImageListData other = testing::CanonicalPattern({.width = 16, .height = 16, .count = 5});
    const std::size_t treeStart = changed.find("object TreeIcons");
    changed = changed.substr(0, treeStart) + testing::DelphiBlock(other, "TreeIcons") + "end\r\n";
    const Bytes changedBytes(changed.begin(), changed.end());
    ASSERT_TRUE(testing::WriteBytes(form_, changedBytes));

    ui_.answers.push_back(IDNO);
    EXPECT_FALSE(writeBack_.WriteBack());
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, kFormChangedQuestion);
    EXPECT_EQ(ReadWholeFile(form_), changedBytes);
    EXPECT_TRUE(document().modified());

    ui_.answers.push_back(IDYES);
    EXPECT_TRUE(writeBack_.WriteBack());
    EXPECT_EQ(ListInFile(1)->count, 3);
}

TEST_F(WriteBackCommandTest, UndoingTheImportHidesTheFormAndRedoShowsItAgain) {
    ui_.newGroupPresses.push_back({testing::Inputs("16", "16", "32")});
    commands_.New();
    ImportTree();
    EXPECT_TRUE(writeBack_.Available());
    ASSERT_TRUE(document().Undo());
    EXPECT_FALSE(writeBack_.Available());
    ASSERT_TRUE(document().Redo());
    EXPECT_TRUE(writeBack_.Available());
    ui_.answers.push_back(IDNO);
    ui_.newGroupPresses.push_back({testing::Inputs("16", "16", "32")});
    commands_.New();
    EXPECT_FALSE(writeBack_.Available());
}

// Export to a form that holds lists: Yes replaces the chosen one in place, No writes the file
// whole, Cancel (here or in the chooser) leaves it alone.
TEST_F(WriteBackCommandTest, ExportToAFormWithListsOffersToReplaceOne) {
    struct Case {
        int answer;
        int chosen;
        int toolbarCount;  // in the file afterwards; -1 when the list is gone
        int treeCount;
    };
    const Case cases[] = {{IDYES, 1, 3, 2},
                          {IDYES, 0, 2, 4},
                          {IDNO, -1, -1, -1},
                          {IDCANCEL, -1, 3, 4},
                          {IDYES, -1, 3, 4}};
    ImportTree();
    DeleteFirst();
    DeleteFirst();
    for (const Case& c : cases) {
        ASSERT_TRUE(testing::WriteBytes(form_, formBytes_));
        ui_.messages.clear();
        ui_.files.push_back(FileChoice{form_, 1});
        ui_.answers.push_back(c.answer);
        if (c.chosen >= 0 || c.answer == IDYES) ui_.listChoices.push_back(c.chosen);
        exchange_.Export();
        const ContainerContents contents = ReadContainer(ReadWholeFile(form_));
        ASSERT_FALSE(contents.error) << c.answer;
        if (c.toolbarCount < 0) {
            ASSERT_EQ(contents.lists.size(), 1u) << "the file was written whole";
            EXPECT_EQ(contents.lists[0].figures.count, 2);
            continue;
        }
        ASSERT_EQ(contents.lists.size(), 2u);
        EXPECT_EQ(contents.lists[0].figures.count, c.toolbarCount) << c.answer << c.chosen;
        EXPECT_EQ(contents.lists[1].figures.count, c.treeCount) << c.answer << c.chosen;
        EXPECT_TRUE(document().modified()) << "an export leaves the document as it was";
    }
}

// Deletes, moves and undos in the base size of a four-size Lazarus list carry over to the other
// sizes on write-back, their images byte for byte.
TEST_F(WriteBackCommandTest, TheOtherSizesOfAListFollowTheGroup) {
    std::vector<ImageListData> further;
    for (int side : {20, 24, 32})
        further.push_back(PatternList({.width = side, .height = side, .count = 5}));
    const std::string lfm = folder_.File("sizes.lfm");
    const std::string text =
        testing::LazarusFormWithSizes("Icons", PatternList({.width = 16, .height = 16, .count = 5}),
                                      testing::LazarusSizes(further));
    ASSERT_TRUE(testing::WriteBytes(lfm, Bytes(text.begin(), text.end())));
    ui_.files.push_back(FileChoice{lfm, 1});
    ui_.listChoices.push_back(0);
    exchange_.Import();
    ASSERT_EQ(group().GetCount(), 5);

    auto cellsOf = [&](const std::string& path) {
        const ContainerContents contents = ReadContainer(ReadWholeFile(path));
        std::vector<std::vector<Bytes>> sizes;
        for (std::size_t size = 1; !contents.error && size < 4; ++size) {
            ContainerError error;
            const auto list = DecodeContainedList(contents.lists[0], size, error);
            sizes.emplace_back();
            for (int i = 0; list && i < list->count; ++i) {
                const auto at = list->pixels.begin() + i * list->ImageBytes();
                sizes.back().emplace_back(at, at + list->ImageBytes());
            }
        }
        return sizes;
    };
    const auto before = cellsOf(lfm);
    auto expectOrder = [&](const std::vector<int>& order) {
        ASSERT_TRUE(writeBack_.WriteBack());
        EXPECT_TRUE(ui_.messages.empty());
        const auto after = cellsOf(lfm);
        ASSERT_EQ(after.size(), 3u);
        for (std::size_t size = 0; size < after.size(); ++size) {
            ASSERT_EQ(after[size].size(), order.size()) << size;
            for (std::size_t p = 0; p < order.size(); ++p)
                EXPECT_EQ(after[size][p], before[size][order[p]]) << size << " " << p;
        }
    };
    DeleteFirst();
    const int swapFirstTwo[] = {1, 0, 2, 3};
    ASSERT_TRUE(document().Reorder(swapFirstTwo));
    expectOrder({2, 1, 3, 4});
    ASSERT_TRUE(document().Undo());
    expectOrder({1, 2, 3, 4});
}

// A picture collection through the platform's list and back: the items of images that were not
// touched keep their names and PNG bytes, at every size.
TEST_F(WriteBackCommandTest, ACollectionKeepsTheItemsOfUntouchedImages) {
    const std::string dfm = folder_.File("collection.dfm");
    const Bytes sample = ReadWholeFile(std::string(ICONVALE_SAMPLE_FORMS) + "image_collection.dfm");
    ASSERT_TRUE(testing::WriteBytes(dfm, sample));
    ui_.files.push_back(FileChoice{dfm, 1});
    ui_.listChoices.push_back(0);  // 16 x 16
    exchange_.Import();
    ASSERT_EQ(group().GetCount(), 3);
    DeleteFirst();
    ASSERT_TRUE(writeBack_.WriteBack());
    EXPECT_TRUE(ui_.messages.empty());

    const ContainedImageList before = ReadContainer(sample).lists.at(0);
    const ContainerContents after = ReadContainer(ReadWholeFile(dfm));
    ASSERT_FALSE(after.error);
    const ContainedImageList& list = after.lists.at(0);
    EXPECT_EQ(list.names, (std::vector<std::string>{"Open", "Print"}));
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& kept = list.pictures.items[i].pictures;
        const auto& old = before.pictures.items[i + 1].pictures;
        ASSERT_EQ(kept.size(), old.size());
        for (std::size_t p = 0; p < kept.size(); ++p) EXPECT_EQ(kept[p].data, old[p].data);
    }

    // A DevExpress list is only read: its group has no form to go back to.
    const std::string cx = folder_.File("cx.dfm");
    ASSERT_TRUE(testing::WriteBytes(
        cx, ReadWholeFile(std::string(ICONVALE_SAMPLE_FORMS) + "cx_image_list.dfm")));
    ui_.files.push_back(FileChoice{cx, 1});
    exchange_.Import();
    EXPECT_EQ(group().GetCount(), 3);
    EXPECT_EQ(document().origin(), nullptr);
}

}  // namespace
}  // namespace iconvale
