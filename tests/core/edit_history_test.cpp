#include "core/edit_history.h"

#include <gtest/gtest.h>

namespace iconvale {
namespace {

// A state of `size` bytes, each `tag`.
Bytes State(std::uint8_t tag, std::size_t size = 4) {
    return Bytes(size, tag);
}

// Walks the history one step and says which state it handed over, 0 when it did not move.
struct Walker {
    EditHistory& history;
    bool accept = true;

    std::uint8_t Undo() { return Step(true); }
    std::uint8_t Redo() { return Step(false); }

    std::uint8_t Step(bool back) {
        std::uint8_t seen = 0;
        auto restore = [&](std::span<const std::uint8_t> state) {
            seen = state.empty() ? 0xFF : state[0];
            return accept;
        };
        const bool moved = back ? history.Undo(restore) : history.Redo(restore);
        return moved ? seen : 0;
    }
};

TEST(EditHistoryTest, UndoAndRedoWalkTheStatesInOrder) {
    EditHistory history;
    Walker walk{history};
    history.Start(State('a'), true);
    EXPECT_FALSE(history.CanUndo());
    history.Record(State('b'));
    history.Record(State('c'));
    EXPECT_EQ(history.UndoSteps(), 2u);
    EXPECT_EQ(walk.Undo(), 'b');
    EXPECT_EQ(walk.Undo(), 'a');
    EXPECT_EQ(walk.Undo(), 0) << "nothing before the first state";
    EXPECT_EQ(history.RedoSteps(), 2u);
    EXPECT_EQ(walk.Redo(), 'b');
    EXPECT_EQ(walk.Redo(), 'c');
    EXPECT_EQ(walk.Redo(), 0);
}

TEST(EditHistoryTest, ARestoreThatFailsLeavesThePositionWhereItWas) {
    EditHistory history;
    Walker walk{history, false};
    history.Start(State('a'), false);
    history.Record(State('b'));
    EXPECT_EQ(walk.Undo(), 0);
    EXPECT_EQ(history.UndoSteps(), 1u);
    EXPECT_FALSE(history.CanRedo());
}

TEST(EditHistoryTest, ANewStepAfterUndoDropsTheRedoSide) {
    EditHistory history;
    Walker walk{history};
    history.Start(State('a'), false);
    history.Record(State('b'));
    history.Record(State('c'));
    walk.Undo();
    EXPECT_EQ(history.HeldBytes(), 12u);
    history.Record(State('d'));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.HeldBytes(), 12u) << "c no longer counts";
    EXPECT_EQ(walk.Undo(), 'b');
    EXPECT_EQ(walk.Undo(), 'a');
    EXPECT_EQ(walk.Redo(), 'b');
    EXPECT_EQ(walk.Redo(), 'd');
}

TEST(EditHistoryTest, OnlyTheSavedStateIsUnmodified) {
    EditHistory history;
    Walker walk{history};
    history.Start(State('a'), true);
    EXPECT_TRUE(history.IsAtSavedState());
    history.Record(State('b'));
    EXPECT_FALSE(history.IsAtSavedState());
    walk.Undo();
    EXPECT_TRUE(history.IsAtSavedState()) << "undone back to what the file holds";
    walk.Redo();
    EXPECT_FALSE(history.IsAtSavedState());
    history.MarkSaved();
    EXPECT_TRUE(history.IsAtSavedState());
    walk.Undo();
    EXPECT_FALSE(history.IsAtSavedState());

    // The saved state b is on the redo side, which a new step drops.
    history.Record(State('c'));
    walk.Undo();
    EXPECT_FALSE(history.IsAtSavedState());
    walk.Redo();
    EXPECT_FALSE(history.IsAtSavedState());

    history.Start(State('n'), false);
    EXPECT_FALSE(history.IsAtSavedState()) << "an imported group is not in any file";
    history.Clear();
    EXPECT_FALSE(history.IsAtSavedState());
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.HeldBytes(), 0u);
}

TEST(EditHistoryTest, OverTheBudgetTheOldestStatesGoFirst) {
    EditHistory history(10);
    Walker walk{history};
    history.Start(State('a'), true);
    history.Record(State('b'));
    EXPECT_EQ(history.HeldBytes(), 8u);
    history.Record(State('c'));
    EXPECT_EQ(history.HeldBytes(), 8u);
    EXPECT_EQ(walk.Undo(), 'b');
    EXPECT_EQ(walk.Undo(), 0) << "a was dropped";
    EXPECT_FALSE(history.IsAtSavedState()) << "the saved state went with it";

    history.Record(State('d', 20));
    EXPECT_EQ(history.HeldBytes(), 20u) << "the current state stays, even over the budget";
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(EditHistory().BudgetBytes(), std::size_t{256} << 20);
}

TEST(EditHistoryTest, AStateWithoutSnapshotCutsTheWayBack) {
    EditHistory history;
    Walker walk{history};
    history.Start(State('a'), true);
    history.Record(State('b'));
    EXPECT_FALSE(history.Record(Bytes{}));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.IsAtSavedState());
    history.MarkSaved();
    EXPECT_TRUE(history.IsAtSavedState()) << "saving it still counts";

    history.Record(State('c'));
    EXPECT_FALSE(history.CanUndo()) << "no snapshot to go back to";
    EXPECT_EQ(history.UndoSteps(), 0u);
    history.Record(State('d'));
    EXPECT_EQ(history.UndoSteps(), 1u);
    EXPECT_EQ(walk.Undo(), 'c');

    history.Start(Bytes{}, true);
    EXPECT_TRUE(history.IsAtSavedState());
    EXPECT_FALSE(history.CanUndo());
}

}  // namespace
}  // namespace iconvale
