// Shared by the container fuzz targets: reads arbitrary bytes as a container, and writes each
// list it finds back in one form, which must read again to the same images. A damaged input
// must come back as an error with no lists.
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
        if (entry.stream.empty() != lazarusLists) continue;
        Bytes file = WriteContainer(form, entry.list, entry.name);
        if (file.empty()) Finding("a list that was read could not be written");
        ContainerContents again = ReadContainer(file);
        if (again.error || again.lists.size() != 1) Finding("a written container does not read");
        const ImageListData& back = again.lists[0].list;
        bool same = lazarusLists
                        ? back.count == entry.list.count && back.width == entry.list.width &&
                              back.height == entry.list.height &&
                              back.pixels == entry.list.pixels && back.mask == entry.list.mask
                        : SameList(entry.list, back);
        if (!same) Finding("the list read back differs");
    }
}

}  // namespace iconvale::fuzz
