// A group written into a list of an existing form, in place, leaving every other byte of the
// file as it was: "写回表单" into the list it was imported from, and Export into a form that
// already holds lists.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/document.h"
#include "app/document_view.h"
#include "app/modal_ui.h"

namespace iconvale {

inline constexpr char kWriteBackFailedMessage[] = "写回失败！";
inline constexpr char kFormChangedQuestion[] =
    "导入之后，表单文件中的这个图片列表已被其他程序修改。\r\n仍要用图片组覆盖它吗？";
inline constexpr char kReplaceListQuestion[] =
    "这个文件中已有图片列表。\r\n"
    "是：替换其中的一个列表，文件的其余内容保持不变\r\n"
    "否：用只含这个图片组的新文件覆盖它";

class WriteBackCommand {
public:
    WriteBackCommand(Document& document, DocumentView& view, ModalUi& ui)
        : document_(document), view_(view), ui_(ui) {}

    // Whether the group came from a form it can go back into.
    bool Available() const { return document_.origin() != nullptr; }
    // Asks where the list changed on disk since the import, or the form cannot keep all of the
    // group; true when the file was written, after which nothing is left unsaved.
    bool WriteBack();

    enum class Replacement { kNoLists, kReplaced, kOverwrite, kCancelled };
    // For an export to an existing file: where it holds image lists, offers to replace one of
    // them (chosen with the list chooser) instead of the whole file. kNoLists and kOverwrite
    // leave the export to write the file whole.
    Replacement OfferToReplaceAList(const std::string& path);

private:
    // Writes the group into `size` of `list` in the form at `path`; `expected`, when given, is
    // the fingerprint the list should still have. With `sources`, the list's other sizes follow
    // the group's deletes, moves and additions (core/sizes_in_step.h). The list's fingerprint
    // afterwards, or nullopt when nothing was written (the user has been told why, or declined).
    std::optional<std::uint64_t> WriteInto(const std::string& path, const std::string& list,
                                           std::size_t size, std::optional<std::uint64_t> expected,
                                           std::span<const int> sources = {});

    Document& document_;
    DocumentView& view_;
    ModalUi& ui_;
};

}  // namespace iconvale
