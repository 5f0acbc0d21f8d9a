// "写回表单": the open group goes back into the list of the form it was imported from, in place,
// leaving every other byte of that file as it was.
#pragma once

#include "app/document.h"
#include "app/document_view.h"
#include "app/modal_ui.h"

namespace iconvale {

inline constexpr char kWriteBackFailedMessage[] = "写回失败！";
inline constexpr char kFormChangedQuestion[] =
    "导入之后，表单文件中的这个图片列表已被其他程序修改。\r\n仍要用图片组覆盖它吗？";

class WriteBackCommand {
public:
    WriteBackCommand(Document& document, DocumentView& view, ModalUi& ui)
        : document_(document), view_(view), ui_(ui) {}

    // Whether the group came from a form it can go back into.
    bool Available() const { return document_.origin() != nullptr; }
    // Asks where the file changed since the import or the form cannot keep all of the group;
    // true when the file was written.
    bool WriteBack();

private:
    Document& document_;
    DocumentView& view_;
    ModalUi& ui_;
};

}  // namespace iconvale
