#include "core/group_lists.h"

namespace iconvale {

std::optional<ImageListData> ListOfGroup(const ImageGroup& group) {
    const Bytes stream = group.SaveToBytes(0);
    if (stream.empty()) return std::nullopt;
    return ParseImageListStream(stream);
}

bool GroupOfList(const ImageListData& list, ImageGroup& made) {
    const Bytes stream = WriteImageListStream(list);
    if (!stream.empty() && made.LoadFromBytes(stream, 0)) return true;
    made.Destroy();
    return false;
}

Bytes WriteGroupAs(const ImageGroup& group, FileForm form, std::string_view name) {
    // The program's own forms are what Save writes; no list needs to be made for them.
    if (!IsContainerForm(form)) return group.SaveToBytes(form == FileForm::kEil ? 1 : 0);
    const auto list = ListOfGroup(group);
    return list ? WriteListAs(form, *list, name) : Bytes{};
}

}  // namespace iconvale
