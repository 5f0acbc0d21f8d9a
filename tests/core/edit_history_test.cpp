#include "core/edit_history.h"

#include <gtest/gtest.h>

namespace iconvale {
namespace {

Bytes State(std::uint8_t tag, std::size_t size = 4) {
    return Bytes(size, tag);
}

// One step back or forward: the first byte of the state handed over, 0 when it did not move.
std::uint8_t Step(EditHistory& history, bool back, bool accept = true) {
    std::uint8_t seen = 0;
    auto restore = [&](std::span<const std::uint8_t> state) {
        seen = state[0];
        return accept;
    };
    return (back ? history.Undo(restore) : history.Redo(restore)) ? seen : 0;
}
std::uint8_t Undo(EditHistory& history) {
    return Step(history, true);
}
std::uint8_t Redo(EditHistory& history) {
    return Step(history, false);
}

TEST(EditHistoryTest, UndoAndRedoWalkTheStatesAndANewStepDropsTheRedoSide) {
    EditHistory history;
    history.Start(State('a'), false);
    history.Record(State('b'));
    history.Record(State('c'));
    EXPECT_EQ(Step(history, true, false), 0) << "a failed restore stays put";
    EXPECT_EQ(Undo(history), 'b');
    EXPECT_EQ(Undo(history), 'a');
    EXPECT_EQ(Undo(history), 0);
    EXPECT_EQ(Redo(history), 'b');
    EXPECT_EQ(history.RedoSteps(), 1u);

    history.Record(State('d'));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.HeldBytes(), 12u) << "c no longer counts";
    EXPECT_EQ(Undo(history), 'b');
    EXPECT_EQ(Redo(history), 'd');
}

TEST(EditHistoryTest, OnlyTheSavedStateIsUnmodified) {
    EditHistory history;
    history.Start(State('a'), true);
    EXPECT_TRUE(history.IsAtSavedState());
    history.Record(State('b'));
    EXPECT_FALSE(history.IsAtSavedState());
    Undo(history);
    EXPECT_TRUE(history.IsAtSavedState()) << "undone back to what the file holds";
    Redo(history);
    history.MarkSaved();
    Undo(history);
    EXPECT_FALSE(history.IsAtSavedState());
    // The saved state b is on the redo side, which a new step drops.
    history.Record(State('c'));
    Undo(history);
    Redo(history);
    EXPECT_FALSE(history.IsAtSavedState());

    history.Start(State('n'), false);
    EXPECT_FALSE(history.IsAtSavedState()) << "an imported group is in no file";
    history.Clear();
    EXPECT_FALSE(history.IsAtSavedState() || history.CanUndo() || history.HeldBytes());
}

TEST(EditHistoryTest, OverTheBudgetTheOldestStatesGoFirstButNeverTheCurrentOne) {
    EditHistory history(10);
    history.Start(State('a'), true);
    history.Record(State('b'));
    history.Record(State('c'));
    EXPECT_EQ(history.HeldBytes(), 8u);
    EXPECT_EQ(Undo(history), 'b');
    EXPECT_EQ(Undo(history), 0) << "a was dropped";
    EXPECT_FALSE(history.IsAtSavedState()) << "and the saved state with it";

    history.Record(State('d', 20));
    EXPECT_EQ(history.HeldBytes(), 20u);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(EditHistory().BudgetBytes(), std::size_t{256} << 20);
}

TEST(EditHistoryTest, AStateWithoutSnapshotCutsTheWayBack) {
    EditHistory history;
    history.Start(State('a'), true);
    history.Record(State('b'));
    EXPECT_FALSE(history.Record(Bytes{}));
    EXPECT_FALSE(history.CanUndo() || history.IsAtSavedState());
    history.MarkSaved();
    EXPECT_TRUE(history.IsAtSavedState()) << "saving it still counts";

    history.Record(State('c'));
    EXPECT_EQ(history.UndoSteps(), 0u) << "no snapshot to go back to";
    history.Record(State('d'));
    EXPECT_EQ(history.UndoSteps(), 1u);
    EXPECT_EQ(Undo(history), 'c');
}

}  // namespace
}  // namespace iconvale
