// The picture commands over the system's picture libraries, for the builds without the
// platform's picture codec and image lists. Messages and exit codes are those of the Windows
// build; pictures decode and encode on several threads and still go in and out in order.
#include <system_error>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/files.h"
#include "cli/group_forms.h"
#include "cli/ordered_work.h"
#include "cli/picture_inputs.h"
#include "cli/unpack_names.h"
#include "imaging/extraction_formats.h"
#include "imaging/picture_budget.h"
#include "imaging/picture_cells.h"
#include "imaging/picture_codec.h"
#include "imaging/picture_group.h"

namespace iconvale::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kWhite = 0xFFFFFF;

struct MadeCells {
    bool read = false;
    CellBlock block;
};

// One file as the program's Add takes it: an icon file at the cell size, whatever `split` says.
MadeCells MakeCells(const fs::path& path, const CellFormat& format, const PackOptions& options,
                    std::optional<std::uint32_t> transparent) {
    MadeCells made;
    try {
        std::string error;
        const Bytes file = ReadInputFile(path, error);
        if (file.empty()) return made;
        const ImageListData& fields = format.Fields();
        if (IsIconFileName(path)) {
            const RgbaPicture icon = DecodeIconFile(file, fields.width, fields.height);
            if (icon.empty()) return made;
            made.block = format.Whole(icon);
            made.read = made.block.count == 1;
        } else {
            const RgbaPicture picture = DecodePicture(file);
            if (picture.empty()) return made;
            made.block = options.split ? format.Split(picture, transparent) : format.Whole(picture);
            made.read = options.split || made.block.count == 1;
        }
    } catch (const std::bad_alloc&) {
        made.read = false;
    }
    return made;
}

int WriteList(const ImageListData& list, const std::string& output, bool force,
              const Console& console) {
    std::string error;
    const Bytes written = WriteGroupForm(FileFormForName(output), list, "ImageList1", error);
    if (written.empty() || !WriteOutputFile(PathFromUtf8(output), written, force, error)) {
        return console.Fail(output, error.empty() ? "the group could not be written" : error);
    }
    return kExitOk;
}

// The list read from a file of any form (one list of a container).
bool LoadList(const std::string& name, const std::string& listName, const std::string& size,
              ImageListData& list, const Console& console,
              std::vector<std::string>* imageNames = nullptr) {
    std::string error;
    const Bytes file = ReadInputFile(PathFromUtf8(name), error);
    auto lists = file.empty() ? std::nullopt : ReadGroupForm(FileFormForName(name), file, error);
    NamedList* chosen = lists ? PickList(*lists, listName, error) : nullptr;
    auto images = chosen ? TakeImages(*chosen, size, error) : std::nullopt;
    if (!images) return console.Fail(name, error), false;
    list = std::move(*images);
    if (imageNames) *imageNames = ImageNames(*chosen);
    return true;
}

PictureFormat FormatNamed(const std::string& name) {
    if (name == "jpg") return PictureFormat::Jpeg;
    if (name == "bmp") return PictureFormat::Bmp;
    if (name == "tif") return PictureFormat::Tiff;
    if (name == "gif") return PictureFormat::Gif;
    return PictureFormat::Png;
}

std::uint32_t BackgroundRgb(const ImageListData& list) {
    if (list.background == kNoColour) return kWhite;
    const std::uint32_t c = list.background;
    return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

int Jobs(int asked) {
    return asked > 0 ? asked : DefaultJobs();
}

}  // namespace

int RunPack(const PackOptions& options, const Console& console) {
    const auto size = ParseCellSize(options.size);
    if (!size) return console.Misuse("--size " + options.size + ": expected WxH, each 1 to 65535");
    std::optional<std::uint32_t> transparent;
    if (!options.transparent.empty()) {
        transparent = ParseColour(options.transparent);
        if (!transparent)
            return console.Misuse("--transparent " + options.transparent + ": expected RRGGBB");
    }
    std::error_code code;
    if (!options.force && fs::exists(PathFromUtf8(options.output), code)) {
        return console.Fail(options.output, "exists already (give --force to replace it)");
    }
    std::vector<fs::path> pictures;
    if (!GatherPictures(options.inputs, pictures, console)) return kExitFailed;

    const CellFormat format(size->width, size->height, options.depth, options.mask);
    PictureGroup group(format);
    Progress progress(console, "packing", static_cast<int>(pictures.size()));
    int status = kExitOk;
    RunInOrder<MadeCells>(
        static_cast<int>(pictures.size()), Jobs(options.jobs),
        [&](int i) { return MakeCells(pictures[i], format, options, transparent); },
        [&](int i, MadeCells& made) {
            const std::string name = Utf8Name(pictures[i]);
            if (!made.read)
                status = console.Fail(name, "cannot be read as a picture");
            else if (!group.Append(made.block))
                status = console.Fail(name, "the group is full (65535 images)");
            else
                progress.Step(i + 1);
            return status == kExitOk;
        });
    if (status != kExitOk) return status;
    return WriteList(group.List(), options.output, options.force, console);
}

int RunUnpack(const UnpackOptions& options, const Console& console) {
    ImageListData list;
    std::vector<std::string> names;
    if (!LoadList(options.group, options.list, options.size, list, console, &names))
        return kExitFailed;
    std::vector<int> indices;
    if (options.indices.empty()) {
        for (int i = 0; i < list.count; ++i) indices.push_back(i);
    } else if (auto chosen = ParseIndexList(options.indices, list.count)) {
        indices = std::move(*chosen);
    } else {
        return console.Misuse("--indices " + options.indices + ": expected indices below " +
                              std::to_string(list.count) + ", such as 0,3-5");
    }
    const fs::path folder = PathFromUtf8(options.folder);
    std::error_code code;
    fs::create_directories(folder, code);
    if (!fs::is_directory(folder, code))
        return console.Fail(options.folder, "is no folder that can be made");

    const PictureFormat format = FormatNamed(options.format);
    const std::string extension = "." + options.format;
    std::vector<fs::path> named;
    if (options.names) {
        named = NamedPictureFiles(folder, names, indices, extension);
        if (named.size() != indices.size())
            return console.Fail(options.folder, "is no folder that can be listed");
    }
    const std::uint32_t background = BackgroundRgb(list);
    Progress progress(console, "unpacking", static_cast<int>(indices.size()));
    unsigned number = 0;  // names below the last one written were taken, as in the program
    int status = kExitOk;
    RunInOrder<Bytes>(
        static_cast<int>(indices.size()), Jobs(options.jobs),
        [&](int k) {
            try {
                RgbaPicture picture = CellPicture(list, indices[k]);
                if (format != PictureFormat::Png) picture = OverBackground(picture, background);
                return EncodePicture(picture, format);
            } catch (const std::bad_alloc&) {
                return Bytes{};
            }
        },
        [&](int k, Bytes& encoded) {
            while (named.empty() && fs::exists(folder / ExtractedFileName(number, extension), code))
                ++number;
            const fs::path target =
                named.empty() ? folder / ExtractedFileName(number, extension) : named[k];
            std::string error = "the image could not be encoded";
            if (encoded.empty() || !WriteOutputFile(target, encoded, false, error, false)) {
                status = console.Fail(Utf8Name(target), error);
                return false;
            }
            ++number;
            progress.Step(k + 1);
            return true;
        });
    return status;
}

int RunStrip(const StripOptions& options, const Console& console) {
    ImageListData list;
    if (!LoadList(options.group, options.list, options.size, list, console)) return kExitFailed;
    const int count = list.count;
    if (count == 0) return console.Fail(options.group, "holds no images");
    const int columns = options.columns <= 0 ? count : std::min(options.columns, count);
    const int rows = (count + columns - 1) / columns;
    const long long width = static_cast<long long>(columns) * list.width;
    const long long height = static_cast<long long>(rows) * list.height;
    RgbaPicture strip;
    if (!PictureSizeAllowed(width, height) ||
        !strip.Allocate(static_cast<int>(width), static_cast<int>(height))) {
        return console.Fail(options.output, "the strip is too large for one picture");
    }
    for (int i = 0; i < count; ++i) {
        const RgbaPicture cell = CellPicture(list, i);
        const int left = i % columns * list.width, top = i / columns * list.height;
        for (int y = 0; y < list.height; ++y) {
            std::copy(cell.argb.begin() + static_cast<std::ptrdiff_t>(y) * list.width,
                      cell.argb.begin() + static_cast<std::ptrdiff_t>(y + 1) * list.width,
                      strip.Row(top + y) + left);
        }
    }
    const Bytes encoded = EncodePicture(strip, PictureFormat::Png);
    std::string error = "the strip could not be encoded";
    if (encoded.empty() ||
        !WriteOutputFile(PathFromUtf8(options.output), encoded, options.force, error)) {
        return console.Fail(options.output, error);
    }
    return kExitOk;
}

}  // namespace iconvale::cli
