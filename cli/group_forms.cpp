#include "cli/group_forms.h"

#include <algorithm>
#include <cstdio>

#include "cli/arguments.h"
#include "core/group_file.h"
#include "core/image_list_container.h"

namespace iconvale::cli {
namespace {

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFF);
    return text;
}

std::optional<std::vector<NamedList>> ReadOwnForm(bool withHeader, const Bytes& file,
                                                  std::string& error) {
    const std::span<const std::uint8_t> stream = StreamPart(file, withHeader);
    const std::size_t at = withHeader ? kGroupHeaderSize : 0;
    if (stream.size() < 2 || ReadU16(stream.data()) != kStreamMagic) {
        error = "not an image group (no \"IL\" at byte " + std::to_string(at) + ")";
        return std::nullopt;
    }
    const int version = stream.size() >= 4 ? ReadU16(stream.data() + 2) : 0;
    auto list = ParseImageListStream(stream);
    if (!list) {
        error = "damaged or unsupported image list (version " + Hex4(version) + ")";
        return std::nullopt;
    }
    std::vector<NamedList> lists;
    lists.push_back({"", version, std::move(*list)});
    return lists;
}

std::optional<std::vector<NamedList>> ReadContainerLists(const Bytes& file, std::string& error) {
    ContainerContents contents = ReadContainer(file);
    if (contents.error) {
        error = DescribeContainerError(contents.error);
        return std::nullopt;
    }
    std::vector<NamedList> lists;
    for (ContainedImageList& found : contents.lists) {
        NamedList entry{found.name, found.version, std::move(found.figures), std::nullopt};
        entry.contained = std::move(found);
        lists.push_back(std::move(entry));
    }
    return lists;
}

}  // namespace

std::optional<std::vector<NamedList>> ReadGroupForm(GroupForm form, const Bytes& file,
                                                    std::string& error) {
    switch (form) {
        case GroupForm::kEil:
            return ReadOwnForm(true, file, error);
        case GroupForm::kBare:
            return ReadOwnForm(false, file, error);
        default:
            return ReadContainerLists(file, error);
    }
}

Bytes WriteGroupForm(GroupForm form, const ImageListData& list, std::string_view name,
                     std::string& error) {
    Bytes written = WriteListAs(form, list, name);
    if (written.empty()) error = "the image list cannot be written in this form";
    return written;
}

NamedList* PickList(std::vector<NamedList>& lists, std::string_view name, std::string& error) {
    if (name.empty()) {
        if (lists.size() == 1) return &lists.front();
        error = lists.empty() ? "holds no image list"
                              : "holds " + std::to_string(lists.size()) +
                                    " image lists; choose one with --list (";
        for (std::size_t i = 0; i < lists.size() && lists.size() > 1; ++i) {
            error += (i ? ", " : "") + lists[i].name;
        }
        if (lists.size() > 1) error += ")";
        return nullptr;
    }
    for (NamedList& entry : lists) {
        if (entry.name == name) return &entry;
    }
    error = "holds no image list called \"" + std::string(name) + "\"";
    return nullptr;
}

std::vector<std::string> SizeNames(const NamedList& entry) {
    std::vector<std::string> names;
    auto add = [&](int width, int height) {
        names.push_back(std::to_string(width) + "x" + std::to_string(height));
    };
    if (!entry.contained) add(entry.list.width, entry.list.height);
    for (const ContainedSize& size :
         entry.contained ? entry.contained->sizes : std::vector<ContainedSize>{}) {
        add(size.width, size.height);
    }
    return names;
}

const std::vector<std::string>& ImageNames(const NamedList& entry) {
    static const std::vector<std::string> kNone;
    return entry.contained ? entry.contained->names : kNone;
}

std::optional<ImageListData> TakeImages(NamedList& entry, std::string_view size,
                                        std::string& error) {
    const std::vector<std::string> names = SizeNames(entry);
    std::size_t index = 0;
    if (!size.empty()) {
        const auto wanted = ParseCellSize(size);
        const std::string name =
            wanted ? std::to_string(wanted->width) + "x" + std::to_string(wanted->height) : "";
        index = std::find(names.begin(), names.end(), name) - names.begin();
        if (index == names.size()) {
            error = "has no size " + std::string(size) + " in this list (";
            for (std::size_t i = 0; i < names.size(); ++i) error += (i ? ", " : "") + names[i];
            error += ")";
            if (entry.contained && entry.contained->sizesError) {
                error += "; " + DescribeContainerError(entry.contained->sizesError);
            }
            return std::nullopt;
        }
    }
    if (!entry.contained) return std::move(entry.list);
    ContainerError problem;
    auto images = DecodeContainedList(*entry.contained, index, problem);
    if (!images) error = DescribeContainerError(problem);
    return images;
}

}  // namespace iconvale::cli
