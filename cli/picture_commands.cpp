// The commands that need the platform's picture codec and image lists; Windows only.
#include <algorithm>
#include <system_error>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/files.h"
#include "cli/group_forms.h"
#include "cli/picture_inputs.h"
#include "cli/unpack_names.h"
#include "core/group_lists.h"
#include "core/image_group.h"
#include "imaging/extraction_formats.h"
#include "imaging/gdip_image.h"
#include "imaging/group_imports.h"
#include "imaging/group_pictures.h"
#include "imaging/image_formats.h"
#include "ui/platform_setup.h"

namespace iconvale::cli {
namespace {

namespace fs = std::filesystem;

bool StartPictureLibrary() {
    static PlatformSetup app;
    // No windows here: neither ActiveX hosting nor the controls' window classes are needed.
    app.Initialise(std::nullopt, 0, 0);
    return app.GdiplusToken() != 0;
}

// One file into the group, as the program's Add takes it.
bool AddPicture(ImageGroup& group, const fs::path& path, const PackOptions& options,
                std::optional<COLORREF> transparent) {
    const bool iconFile = IsIconFileName(path);
    GdipImage picture;
    return ImportPictureFile(group, path.c_str(), iconFile, {options.split, transparent}, picture);
}

// The group's list in the form the output's name asks for.
int WriteGroup(const ImageGroup& group, const std::string& output, bool force,
               const Console& console) {
    const Bytes written = WriteGroupAs(group, FileFormForName(output), "ImageList1");
    if (written.empty()) return console.Fail(output, "the group could not be written");
    std::string error;
    if (!WriteOutputFile(PathFromUtf8(output), written, force, error)) {
        return console.Fail(output, error);
    }
    return kExitOk;
}

// The group read from a file of any form (one list of a container), as a platform image list.
bool LoadGroup(const std::string& name, const std::string& listName, const std::string& size,
               ImageGroup& group, const Console& console,
               std::vector<std::string>* imageNames = nullptr) {
    std::string error;
    const Bytes file = ReadInputFile(PathFromUtf8(name), error);
    auto lists = file.empty() ? std::nullopt : ReadGroupForm(FileFormForName(name), file, error);
    NamedList* chosen = lists ? PickList(*lists, listName, error) : nullptr;
    const auto images = chosen ? TakeImages(*chosen, size, error) : std::nullopt;
    if (!images) return console.Fail(name, error), false;
    if (!GroupOfList(*images, group)) {
        return console.Fail(name, "the image list could not be made"), false;
    }
    if (imageNames) *imageNames = ImageNames(*chosen);
    return true;
}

const char* FormatIdentifier(const std::string& extension) {
    if (extension == "jpg") return kJpegFormat;
    if (extension == "bmp") return kBmpFormat;
    if (extension == "tif") return kTiffFormat;
    if (extension == "gif") return kGifFormat;
    return kPngFormat;
}

}  // namespace

int RunPack(const PackOptions& options, const Console& console) {
    const auto size = ParseCellSize(options.size);
    if (!size) return console.Misuse("--size " + options.size + ": expected WxH, each 1 to 65535");
    std::optional<COLORREF> transparent;
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
    if (!StartPictureLibrary())
        return console.Fail(Utf8Name(pictures.front()), "the picture library did not start");

    ImageGroup group;
    const std::uint32_t flags =
        static_cast<std::uint32_t>(options.depth) | (options.mask ? ILC_MASK : 0);
    if (!group.Create(size->width, size->height, flags)) {
        return console.Fail(options.output, "a group of that size cannot be made");
    }
    Progress progress(console, "packing", static_cast<int>(pictures.size()));
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!AddPicture(group, pictures[i], options, transparent)) {
            const bool full = group.GetCount() >= kMaxGroupCount;
            return console.Fail(Utf8Name(pictures[i]), full ? "the group is full (65535 images)"
                                                            : "cannot be read as a picture");
        }
        progress.Step(static_cast<int>(i + 1));
    }
    return WriteGroup(group, options.output, options.force, console);
}

int RunUnpack(const UnpackOptions& options, const Console& console) {
    if (!StartPictureLibrary())
        return console.Fail(options.group, "the picture library did not start");
    ImageGroup group;
    std::vector<std::string> names;
    if (!LoadGroup(options.group, options.list, options.size, group, console, &names))
        return kExitFailed;
    std::vector<int> indices;
    if (options.indices.empty()) {
        for (int i = 0; i < group.GetCount(); ++i) indices.push_back(i);
    } else if (auto chosen = ParseIndexList(options.indices, group.GetCount())) {
        indices = std::move(*chosen);
    } else {
        return console.Misuse("--indices " + options.indices + ": expected indices below " +
                              std::to_string(group.GetCount()) + ", such as 0,3-5");
    }
    const fs::path folder = PathFromUtf8(options.folder);
    std::error_code code;
    fs::create_directories(folder, code);
    if (!fs::is_directory(folder, code))
        return console.Fail(options.folder, "is no folder that can be made");

    const std::string format = FormatIdentifier(options.format);
    const std::string extension = ExtensionForFormat(format);
    std::vector<fs::path> named;
    if (options.names) {
        named = NamedPictureFiles(folder, names, indices, extension);
        if (named.size() != indices.size())
            return console.Fail(options.folder, "is no folder that can be listed");
    }
    Progress progress(console, "unpacking", static_cast<int>(indices.size()));
    unsigned number = 0;  // names below the last one written were taken, as in the program
    for (std::size_t i = 0; i < indices.size(); ++i) {
        while (named.empty() && fs::exists(folder / ExtractedFileName(number, extension), code))
            ++number;
        const fs::path target =
            named.empty() ? folder / ExtractedFileName(number, extension) : named[i];
        const Bytes encoded = EncodeGroupImage(group, indices[i], format);
        std::string error = "the image could not be encoded";
        if (encoded.empty() || !WriteOutputFile(target, encoded, false, error, false)) {
            return console.Fail(Utf8Name(target), error);
        }
        ++number;
        progress.Step(static_cast<int>(i + 1));
    }
    return kExitOk;
}

int RunStrip(const StripOptions& options, const Console& console) {
    if (!StartPictureLibrary())
        return console.Fail(options.group, "the picture library did not start");
    ImageGroup group;
    if (!LoadGroup(options.group, options.list, options.size, group, console)) return kExitFailed;
    if (group.GetCount() == 0) return console.Fail(options.group, "holds no images");
    const Bytes strip = EncodeGroupStrip(group, options.columns);
    if (strip.empty())
        return console.Fail(options.output, "the strip is too large for one picture");
    std::string error;
    if (!WriteOutputFile(PathFromUtf8(options.output), strip, options.force, error)) {
        return console.Fail(options.output, error);
    }
    return kExitOk;
}

}  // namespace iconvale::cli
