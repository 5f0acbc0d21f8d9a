// Undo and redo, and the moves of the selected images: each move is one step of the document's
// history, and the selection follows the images it moved.
#pragma once

#include <optional>
#include <vector>

#include "app/document.h"
#include "app/document_view.h"
#include "app/modal_ui.h"
#include "core/image_order.h"

namespace iconvale {

class EditCommands {
public:
    EditCommands(Document& document, DocumentView& view, ModalUi& ui);

    void Undo();
    void Redo();
    void MoveUp();
    void MoveDown();
    // The selected items moved as one block, in their order, into the gap before item `gap`.
    void MoveTo(const std::vector<int>& selected, int gap);

private:
    void Move(const std::optional<ImageOrder>& order);

    Document& document_;
    DocumentView& view_;
    ModalUi& ui_;
};

inline constexpr char kUndoFailedMessage[] = "撤销失败！";
inline constexpr char kRedoFailedMessage[] = "重做失败！";
inline constexpr char kMoveFailedMessage[] = "移动图标失败！";

}  // namespace iconvale
