// Shared by the container fuzz targets: reads arbitrary bytes as a container, decodes every size
// of each list it finds, and writes each back in one form, which must read again to the same
// images. A damaged input must come back as an error with no lists; a damaged size, as an error
// that names its list.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <span>

#include "core/image_list_container.h"

namespace iconvale::fuzz {

inline bool SameList(const ImageListData& a, const ImageListData& b) {
    return a.count == b.count && a.capacity == b.capacity && a.grow == b.grow &&
           a.width == b.width && a.height == b.height && a.background == b.background &&
           a.flags == b.flags && a.overlays == b.overlays && a.bitsPerPixel == b.bitsPerPixel &&
           a.pixels == b.pixels && a.mask == b.mask;
}

[[noreturn]] inline void Finding(const char* what) {
    std::fprintf(stderr, "container: %s\n", what);
    std::abort();
}

// `lazarusLists` picks the lists that came as Lazarus images rather than as streams.
inline void CheckRoundTrip(std::span<const std::uint8_t> bytes, ContainerForm form,
                           bool lazarusLists) {
    ContainerContents contents = ReadContainer(bytes);
    if (contents.error) {
        if (!contents.lists.empty()) Finding("lists beside an error");
        return;
    }
    for (const ContainedImageList& entry : contents.lists) {
        if (entry.sizes.empty()) Finding("a list without its base size");
        if ((entry.data == ContainedData::kLazarusImages) != lazarusLists) continue;
        for (std::size_t size = 0; size < entry.sizes.size(); ++size) {
            ContainerError error;
            auto list = DecodeContainedList(entry, size, error);
            if (!list) {
                if (!error || error.where != entry.name) Finding("a size failed without its name");
                continue;
            }
            if (list->width != entry.sizes[size].width || list->count != entry.sizes[size].count)
                Finding("a size decodes to other figures than its header");
            Bytes file = WriteContainer(form, *list, entry.name);
            if (file.empty()) Finding("a list that was read could not be written");
            ContainerContents again = ReadContainer(file);
            if (again.error || again.lists.size() != 1)
                Finding("a written container does not read");
            auto back = DecodeContainedList(again.lists[0], 0, error);
            if (!back) Finding("a written list does not decode");
            bool same = lazarusLists ? back->count == list->count && back->width == list->width &&
                                           back->height == list->height &&
                                           back->pixels == list->pixels && back->mask == list->mask
                                     : SameList(*list, *back);
            if (!same) Finding("the list read back differs");
        }
    }
}

}  // namespace iconvale::fuzz
