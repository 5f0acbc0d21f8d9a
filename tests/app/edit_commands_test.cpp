// Undo, redo and moves through the document and the real icon list: which images each step
// leaves, the saved-state flag, where the history starts over, its figures, and the failures.
#include "app/edit_commands.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <numeric>

#include "core/image_list_stream.h"
#include "support/group_model.h"
#include "support/program_fixture.h"
#include "support/test_icons.h"
#include "ui/large_buffer.h"

namespace iconvale {
namespace {

using testing::Rgb;
using Colours = std::vector<Rgb>;

constexpr Rgb A = 0xC00000, B = 0x00C000, C = 0x0000C0, D = 0xC0C000, E = 0x00C0C0;

class EditCommandsTest : public testing::ProgramFixture {
protected:
    // A new group, then its images added in one step.
    void Start(const Colours& colours) {
        ImageGroup made;
        ASSERT_TRUE(made.Create(16, 16, ILC_COLOR32 | ILC_MASK));
        document().Create(made, CLR_NONE);
        if (!colours.empty()) Add(colours);
    }
    void Add(const Colours& colours) {
        document().Change([&](ImageGroup& group) {
            for (Rgb colour : colours) group.AddIcon(testing::SolidIcon(16, 16, colour).get());
            return true;
        });
    }
    // The group and the icon list both hold these images, in this order.
    ::testing::AssertionResult Shows(const Colours& colours) {
        testing::GroupModel model{16, 16, 32, true, {}};
        for (Rgb colour : colours)
            model.images.push_back(testing::EnterList({colour, colour}, 32, true));
        auto list = ParseImageListStream(group().SaveToBytes(0));
        if (!list) return ::testing::AssertionFailure() << "no stream";
        if (auto result = testing::Matches(model, *list); !result) return result;
        if (ListCount() != static_cast<int>(colours.size()))
            return ::testing::AssertionFailure() << "the list shows " << ListCount();
        return ::testing::AssertionSuccess();
    }
    std::size_t Steps() { return program_.document().history().UndoSteps(); }

    EditCommands edit_{program_.document(), window_, ui_};
};

TEST_F(EditCommandsTest, UndoAndRedoWalkTheStepsAndTheSavedStateClearsTheFlag) {
    Start({A, B});
    Add({C});
    MarkSaved();
    document().Change([](ImageGroup& group) { return group.Remove(0); });
    ASSERT_TRUE(Shows({B, C}));

    const struct {
        bool undo;
        Colours after;
        bool modified;
    } walk[] = {
        {true, {A, B, C}, false}, {true, {A, B}, true},      {true, {}, true},
        {false, {A, B}, true},    {false, {A, B, C}, false}, {false, {B, C}, true},
    };
    for (const auto& step : walk) {
        step.undo ? edit_.Undo() : edit_.Redo();
        EXPECT_TRUE(Shows(step.after)) << step.after.size();
        EXPECT_EQ(document().modified(), step.modified) << step.after.size();
    }
    EXPECT_FALSE(document().CanRedo());
    edit_.Redo();
    EXPECT_TRUE(Shows({B, C})) << "nothing to redo changes nothing";

    // A change after an undo drops what could have been redone.
    edit_.Undo();
    Add({D});
    EXPECT_TRUE(Shows({A, B, C, D}));
    EXPECT_FALSE(document().CanRedo());
    EXPECT_TRUE(document().modified());
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(EditCommandsTest, NewOpenDiscardAndImportIntoANewGroupStartTheHistoryOver) {
    const std::string path = folder_.File("two.eil");
    Start({A, B});
    ASSERT_TRUE(document().SaveTo(path));
    Add({C});
    ASSERT_TRUE(document().CanUndo());
    ASSERT_TRUE(document().Open(path));
    EXPECT_FALSE(document().CanUndo() || document().CanRedo()) << "open";

    Add({C});
    edit_.Undo();
    EXPECT_FALSE(document().modified()) << "the opened state is the saved one";
    Start({});
    EXPECT_FALSE(document().CanUndo() || document().CanRedo()) << "new";
    Add({A});
    document().Discard();
    EXPECT_FALSE(document().CanUndo() || document().CanRedo()) << "discard";

    ImageGroup imported;
    ASSERT_TRUE(imported.Create(16, 16, ILC_COLOR32 | ILC_MASK));
    document().ReplaceWithUntitled(imported);
    EXPECT_FALSE(document().CanUndo()) << "import into a new group";

    // Into an open group, the import is a step; the group before it has no file any more.
    Start({A});
    ASSERT_TRUE(imported.Create(16, 16, ILC_COLOR32 | ILC_MASK));
    document().ReplaceWithUntitled(imported);
    EXPECT_TRUE(Shows({}));
    edit_.Undo();
    EXPECT_TRUE(Shows({A}));
    EXPECT_TRUE(document().modified());
    EXPECT_EQ(document().path(), "");
}

TEST_F(EditCommandsTest, MovesTakeTheSelectionAlongAndAreOneStepEach) {
    Start({A, B, C, D, E});
    Select({1, 3});
    const std::size_t before = Steps();
    edit_.MoveUp();
    EXPECT_TRUE(Shows({B, A, D, C, E}));
    EXPECT_EQ(window_.SelectedIndices(), (std::vector<int>{0, 2}));
    edit_.MoveUp();
    EXPECT_EQ(Steps(), before + 1) << "at the top nothing moves";
    edit_.MoveDown();
    edit_.MoveDown();
    EXPECT_TRUE(Shows({A, C, B, E, D}));
    EXPECT_EQ(window_.SelectedIndices(), (std::vector<int>{2, 4}));
    edit_.MoveTo({0, 4}, 3);
    EXPECT_TRUE(Shows({C, B, A, D, E}));
    EXPECT_EQ(window_.SelectedIndices(), (std::vector<int>{2, 3}));
    EXPECT_EQ(testing::ItemLabels(window_.iconList()),
              (std::vector<std::string>{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(Steps(), before + 4);

    edit_.Undo();
    EXPECT_TRUE(Shows({A, C, B, E, D}));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(EditCommandsTest, TheHistoryHoldsEachStateWithinItsBudget) {
    EXPECT_EQ(document().history().BudgetBytes(), std::size_t{256} << 20);
    Start({A, B, C, D});
    const std::size_t whole = group().SnapshotBytes().size();
    const std::size_t first = document().history().HeldBytes();
    for (Rgb colour : {A, B, C}) Add({colour});
    const std::size_t held = document().history().HeldBytes() - first;
    EXPECT_EQ(Steps(), 4u);
    // A step keeps the image it added, not the group around it.
    EXPECT_LT(held, whole);
    EXPECT_GT(held, 0u);
    // An undone step stays held until a change replaces it.
    edit_.Undo();
    EXPECT_GT(document().history().HeldBytes(), first + held);
    EXPECT_EQ(Steps(), 3u);
}

TEST_F(EditCommandsTest, AMoveWithoutMemorySaysSoAndLeavesTheGroupAndItsHistory) {
    Start({A, B});
    Add({C});
    Select({1});
    {
        LargeBufferFailure failure;
        edit_.MoveUp();
    }
    EXPECT_TRUE(Shows({A, B, C}));
    EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{kMoveFailedMessage});
    EXPECT_EQ(ui_.messages.front().style, static_cast<UINT>(MB_ICONERROR));
    edit_.Undo();
    EXPECT_TRUE(Shows({A, B}));
}

}  // namespace
}  // namespace iconvale
