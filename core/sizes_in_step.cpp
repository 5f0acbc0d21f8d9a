#include "core/sizes_in_step.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "core/form_write_back.h"
#include "core/image_list_container.h"
#include "core/image_scaling.h"
#include "core/lazarus_form.h"

namespace iconvale {

namespace {

bool Refuse(ContainerError& error, ContainerProblem problem, const ContainedImageList& list,
            const ContainedSize& size) {
    error.problem = problem;
    error.line = list.line;
    error.where = list.name;
    error.width = size.width;
    error.height = size.height;
    return false;
}

bool WithinBudget(std::uint64_t width, std::uint64_t height, std::uint64_t count) {
    return count * width * height * 4 <= kMaxBitmapBytes &&
           WrittenBitmapBytes(width, height, count, 32) <= kMaxBitmapBytes;
}

// Size `index` of the list in the new count and order: its old images where `sources` names
// them, scaled copies of `fresh` (the new images as 32-bit pixels) where it holds -1.
std::optional<ImageListData> Rebuilt(const ContainedImageList& list, std::size_t index,
                                     const ImageListData& fresh, std::span<const int> sources,
                                     ContainerError& error) {
    const ContainedSize& size = list.sizes[index];
    std::optional<ImageListData> old = DecodeContainedList(list, index, error);
    if (!old) return std::nullopt;
    ImageListData out;
    out.count = static_cast<std::uint16_t>(sources.size());
    out.capacity = out.count;
    out.grow = 4;
    out.width = static_cast<std::uint16_t>(size.width);
    out.height = static_cast<std::uint16_t>(size.height);
    out.flags = 32 | kMaskFlag;
    out.bitsPerPixel = 32;
    out.AllocateImages();
    const std::size_t bytes = out.ImageBytes();
    for (std::size_t p = 0; p < sources.size(); ++p) {
        std::uint8_t* to = &out.pixels[p * bytes];
        if (sources[p] >= 0) {
            const auto from = old->pixels.begin() + static_cast<std::ptrdiff_t>(sources[p] * bytes);
            std::copy(from, from + static_cast<std::ptrdiff_t>(bytes), to);
            continue;
        }
        const Bytes scaled =
            ScaleBgra(std::span(fresh.pixels).subspan(p * fresh.ImageBytes(), fresh.ImageBytes()),
                      fresh.width, fresh.height, out.width, out.height);
        if (scaled.size() != bytes) {
            Refuse(error, ContainerProblem::kBadStream, list, size);
            return std::nullopt;
        }
        std::copy(scaled.begin(), scaled.end(), to);
    }
    // As the reader makes it: transparent in the mask where alpha is 0.
    for (int i = 0; i < out.count; ++i)
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                if (out.ImageRow(i, y)[x * 4 + 3] == 0) out.SetTransparent(i, x, y, true);
    return out;
}

Bytes InStep(std::span<const std::uint8_t> file, std::string_view listName, std::size_t index,
             const ImageListData& images, std::span<const int> sources, ContainerError& error) {
    const ContainerContents contents = ReadContainer(file);
    const ContainedImageList* list = nullptr;
    for (const ContainedImageList& candidate : contents.lists) {
        if (candidate.name == listName || (listName.empty() && contents.lists.size() == 1)) {
            list = &candidate;
            break;
        }
    }
    // A list of one size, or one that is not there, is WriteBackList's to write or refuse.
    if (!list || list->sizes.size() < 2 || index >= list->sizes.size())
        return WriteBackList(file, listName, index, images, error);

    const ContainedSize& written = list->sizes[index];
    const int oldCount = written.count;
    if (sources.size() != images.count || std::any_of(sources.begin(), sources.end(), [&](int s) {
            return s < -1 || s >= oldCount;
        })) {
        Refuse(error, ContainerProblem::kSizesOutOfStep, *list, written);
        return {};
    }
    if (images.width == 0 || images.height == 0 || !IsSupportedDepth(images.bitsPerPixel)) {
        Refuse(error, ContainerProblem::kBadStream, *list, written);
        return {};
    }
    for (const ContainedSize& size : list->sizes) {
        const bool fits = &size == &written
                              ? WithinBudget(images.width, images.height, images.count)
                              : WithinBudget(size.width, size.height, images.count);
        if (!fits) {
            Refuse(error, ContainerProblem::kTooLarge, *list, size);
            return {};
        }
    }

    bool kept = images.count == oldCount;
    for (std::size_t p = 0; p < sources.size() && kept; ++p)
        kept = sources[p] == static_cast<int>(p);
    const bool anyNew = std::find(sources.begin(), sources.end(), -1) != sources.end();
    // The new images as 32-bit pixels, as the written size will hold them.
    std::optional<ImageListData> fresh;
    if (anyNew) {
        fresh = DecodeLazarusImages(EncodeLazarusImages(images, false), error);
        if (!fresh) {
            Refuse(error, ContainerProblem::kBadStream, *list, written);
            return {};
        }
    }
    std::vector<ImageListData> others;
    others.reserve(list->sizes.size());
    std::vector<SizedImages> sizes;
    sizes.reserve(list->sizes.size());
    sizes.push_back({index, &images});
    for (std::size_t i = 0; i < list->sizes.size() && !kept; ++i) {
        if (i == index) continue;
        auto rebuilt = Rebuilt(*list, i, anyNew ? *fresh : images, sources, error);
        if (!rebuilt) return {};
        others.push_back(std::move(*rebuilt));
        sizes.push_back({i, &others.back()});
    }
    return WriteBackSizes(file, listName, sizes, error);
}

}  // namespace

Bytes WriteBackInStep(std::span<const std::uint8_t> file, std::string_view listName,
                      std::size_t size, const ImageListData& images, std::span<const int> sources,
                      ContainerError& error) {
    try {
        return InStep(file, listName, size, images, sources, error);
    } catch (const std::bad_alloc&) {
        error = {};
        error.problem = ContainerProblem::kOutOfMemory;
        return {};
    }
}

}  // namespace iconvale
