#include "app/edit_commands.h"

namespace iconvale {

EditCommands::EditCommands(Document& document, DocumentView& view, ModalUi& ui)
    : document_(document), view_(view), ui_(ui) {}

void EditCommands::Undo() {
    // With nothing to undo the item is greyed, and its key does not reach here.
    if (document_.CanUndo() && !document_.Undo()) {
        ui_.Fail(view_.DialogOwner(), kUndoFailedMessage);
    }
}

void EditCommands::Redo() {
    if (document_.CanRedo() && !document_.Redo()) {
        ui_.Fail(view_.DialogOwner(), kRedoFailedMessage);
    }
}

void EditCommands::MoveUp() {
    Move(MoveByOne(document_.group().GetCount(), view_.SelectedIndices(), -1));
}

void EditCommands::MoveDown() {
    Move(MoveByOne(document_.group().GetCount(), view_.SelectedIndices(), 1));
}

void EditCommands::MoveTo(const std::vector<int>& selected, int gap) {
    Move(MoveBlock(document_.group().GetCount(), selected, gap));
}

void EditCommands::Move(const std::optional<ImageOrder>& order) {
    if (!order || !order->Changes()) return;
    if (!document_.Reorder(order->order)) {
        ui_.Fail(view_.DialogOwner(), kMoveFailedMessage);
        return;
    }
    view_.SelectIndices(order->moved);
}

}  // namespace iconvale
