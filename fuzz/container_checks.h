// Shared by the container fuzz targets: reads arbitrary bytes as a container, decodes every size
// of each list it finds, and writes each back in one form, which must read again to the same
// images. A damaged input must come back as an error with no lists; a damaged size, as an error
// that names its list.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <span>

#include "core/form_write_back.h"
#include "core/image_list_container.h"
#include "core/resx_image_stream.h"

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

// A list as a resource gives it back: masked where a 32-bit image's alpha is 0.
inline ImageListData AsResource(const ImageListData& list) {
    ImageListData out = list;
    if (auto masked = ParseImageListStream(ResxImageListStream(list))) out.mask = masked->mask;
    return out;
}

// Writing a size back with the images it holds gives a file that reads, that size with the same
// images, and every other list as it was.
inline void CheckWriteBack(std::span<const std::uint8_t> bytes, const ContainerContents& contents,
                           const ContainedImageList& entry, std::size_t size,
                           const ImageListData& images) {
    if (!IsWritableList(entry)) return;
    for (const ContainedImageList& other : contents.lists) {
        if (&other == &entry) break;
        if (other.name == entry.name) return;  // write-back takes the first list of a name
    }
    ContainerError error;
    const Bytes file = WriteBackList(bytes, entry.name, size, images, error);
    if (file.empty()) Finding("a size that was read could not be written back");
    ContainerContents again = ReadContainer(file);
    if (again.error || again.lists.size() != contents.lists.size())
        Finding("a file written back does not read");
    for (std::size_t i = 0; i < contents.lists.size(); ++i) {
        const ContainedImageList& now = again.lists[i];
        if (&contents.lists[i] != &entry) {
            if (now.bitmap != contents.lists[i].bitmap ||
                now.advanced != contents.lists[i].advanced ||
                ListFingerprint(now) != ListFingerprint(contents.lists[i]))
                Finding("writing back one list changed another");
            continue;
        }
        if (now.sizes.size() != entry.sizes.size()) Finding("writing back lost a size");
        const ImageListData expected =
            entry.data == ContainedData::kResxData ? AsResource(images) : images;
        auto back = DecodeContainedList(now, size, error);
        if (!back || back->pixels != expected.pixels || back->mask != expected.mask)
            Finding("a size written back reads as other images");
    }
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
            CheckWriteBack(bytes, contents, entry, size, *list);
            Bytes file = WriteContainer(form, *list, entry.name);
            if (file.empty()) Finding("a list that was read could not be written");
            ContainerContents again = ReadContainer(file);
            if (again.error || again.lists.size() != 1)
                Finding("a written container does not read");
            auto back = DecodeContainedList(again.lists[0], 0, error);
            if (!back) Finding("a written list does not decode");
            bool same =
                lazarusLists
                    ? back->count == list->count && back->width == list->width &&
                          back->height == list->height && back->pixels == list->pixels &&
                          back->mask == list->mask
                    : SameList(form == ContainerForm::kResx ? AsResource(*list) : *list, *back);
            if (!same) Finding("the list read back differs");
        }
    }
}

}  // namespace iconvale::fuzz
