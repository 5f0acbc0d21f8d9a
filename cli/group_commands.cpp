#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/files.h"
#include "cli/group_forms.h"
#include "cli/arguments.h"
#include "core/conversion_losses.h"
#include "core/form_write_back.h"
#include "core/resx_pictures.h"

namespace iconvale::cli {
namespace {

using Json = nlohmann::ordered_json;

// A colour value 0x00BBGGRR as "RRGGBB"; none for CLR_NONE.
std::string ColourText(std::uint32_t colour) {
    if (colour == kNoColour) return "none";
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return text;
}

std::string VersionText(int version) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", version & 0xFFFF);
    return text;
}

Json ListFigures(const NamedList& entry) {
    const ImageListData& list = entry.list;
    Json figures;
    if (entry.version != 0) figures["version"] = VersionText(entry.version);
    figures["count"] = list.count;
    figures["width"] = list.width;
    figures["height"] = list.height;
    figures["depth"] = list.bitsPerPixel;
    figures["mask"] = list.HasMask();
    figures["background"] =
        list.background == kNoColour ? Json(nullptr) : Json(ColourText(list.background));
    figures["capacity"] = list.capacity;
    figures["grow"] = list.grow;
    return figures;
}

std::string ListLine(const NamedList& entry) {
    const ImageListData& list = entry.list;
    std::string line;
    if (entry.version != 0) line += "version " + VersionText(entry.version) + ", ";
    line += std::to_string(list.count) + (list.count == 1 ? " image" : " images") + " of " +
            std::to_string(list.width) + "x" + std::to_string(list.height) + ", " +
            std::to_string(list.bitsPerPixel) + " bits, " + (list.HasMask() ? "mask" : "no mask") +
            ", background " + ColourText(list.background) + ", capacity " +
            std::to_string(list.capacity) + ", grow " + std::to_string(list.grow);
    return line;
}

// What the output's form cannot keep of the list, in one line; empty when it keeps everything.
std::string LossText(const ConversionLosses& losses) {
    std::string text;
    const auto add = [&text](const std::string& part) {
        text += (text.empty() ? "" : ", ") + part;
    };
    if (losses.raisedDepth != 0) {
        add("the " + std::to_string(losses.raisedDepth) + "-bit depth (the images become 32-bit)");
    }
    if (losses.maskPixels != 0) {
        add("the mask of " + std::to_string(losses.maskPixels) +
            (losses.maskPixels == 1 ? " pixel" : " pixels") + " whose alpha says otherwise");
    }
    if (losses.background) add("the background colour");
    return text.empty() ? text : "a Lazarus form cannot keep " + text;
}

Json SizeFigures(const NamedList& entry) {
    Json sizes = Json::array();
    for (const ContainedSize& size : entry.contained->sizes) {
        sizes.push_back({{"width", size.width}, {"height", size.height}});
    }
    return sizes;
}

// A list of several sizes names them all after its base size's figures.
std::string SizesText(const NamedList& entry) {
    const std::vector<std::string> names = SizeNames(entry);
    if (names.size() < 2) return {};
    std::string text = ", sizes";
    for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : " ") + names[i];
    return text;
}

// The line under a list whose images have names; none for lists of kinds without names. A
// control character of a name, which could break the line or drive the terminal, shows as '?'.
std::string NamesLine(const NamedList& entry) {
    const std::vector<std::string>& names = ImageNames(entry);
    if (names.empty()) return {};
    std::string line = "    names:";
    for (std::size_t i = 0; i < names.size(); ++i) {
        line += (i ? ", " : " ") + (names[i].empty() ? std::string("-") : names[i]);
    }
    for (std::size_t i = 9; i < line.size(); ++i) {
        if (static_cast<unsigned char>(line[i]) < 0x20 || line[i] == 0x7F) line[i] = '?';
    }
    return line + '\n';
}

// A damaged BitmapAdv loses its sizes, not the list: said once, beside the list's figures.
void WarnOfLostSizes(const std::string& name, const std::vector<NamedList>& lists,
                     const Console& console) {
    for (const NamedList& entry : lists) {
        if (entry.contained && entry.contained->sizesError) {
            console.Fail(name, "warning: " + DescribeContainerError(entry.contained->sizesError));
        }
    }
}

// The only list of a group file (or container) given to --into, at its base size.
std::optional<ImageListData> ReadGroup(const std::string& name, std::string& error) {
    const Bytes file = ReadInputFile(PathFromUtf8(name), error);
    auto lists = file.empty() ? std::nullopt : ReadGroupForm(FileFormForName(name), file, error);
    if (!lists) return std::nullopt;
    NamedList* only = PickList(*lists, "", error);
    return only ? TakeImages(*only, "", error) : std::nullopt;
}

std::string SizeName(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// convert GROUP... FORM --into: the groups' images into a list of the form, in place.
int ConvertInto(const ConvertOptions& options, const Console& console) {
    const std::string& formName = options.output;
    if (options.inputs.size() > 1 && !options.size.empty()) {
        return console.Misuse("--size names the size of one group; several groups take their own");
    }
    std::string error;
    if (!IsContainerForm(FileFormForName(formName))) {
        return console.Fail(formName, "is not a form to write into (.dfm, .lfm or .resx)");
    }
    const Bytes form = ReadInputFile(PathFromUtf8(formName), error);
    auto lists =
        form.empty() ? std::nullopt : ReadGroupForm(FileFormForName(formName), form, error);
    if (!lists) return console.Fail(formName, error);
    NamedList* target = PickList(*lists, options.list, error);
    if (!target) return console.Fail(formName, error);
    const std::vector<ContainedSize>& sizes = target->contained->sizes;

    std::vector<ImageListData> groups;
    groups.reserve(options.inputs.size());
    std::vector<SizedImages> given;
    for (const std::string& name : options.inputs) {
        auto images = ReadGroup(name, error);
        if (!images) return console.Fail(name, error);
        groups.push_back(std::move(*images));
        const ImageListData& group = groups.back();
        if (group.count != groups.front().count) {
            return console.Fail(name, "holds " + std::to_string(group.count) + " images where " +
                                          options.inputs.front() + " holds " +
                                          std::to_string(groups.front().count));
        }
        std::size_t index = 0;
        if (options.inputs.size() > 1) {
            while (index < sizes.size() &&
                   (sizes[index].width != group.width || sizes[index].height != group.height))
                ++index;
        } else if (!options.size.empty()) {
            const auto wanted = ParseCellSize(options.size);
            while (wanted && index < sizes.size() &&
                   (sizes[index].width != wanted->width || sizes[index].height != wanted->height))
                ++index;
            if (!wanted) index = sizes.size();
        }
        if (index == sizes.size()) {
            std::string names;
            for (const std::string& size : SizeNames(*target))
                names += (names.empty() ? "" : ", ") + size;
            const std::string asked =
                options.inputs.size() > 1 ? SizeName(group.width, group.height) : options.size;
            return console.Fail(
                options.inputs.size() > 1 ? name : formName,
                "list " + target->name + " has no size " + asked + " (" + names + ")");
        }
        for (const SizedImages& earlier : given) {
            if (earlier.size == index) {
                return console.Fail(name, "is " + SizeName(group.width, group.height) +
                                              ", as another group given is");
            }
        }
        given.push_back({index, &group});
    }

    ContainerError problem;
    const Bytes written = given.size() == 1 ? WriteBackList(form, target->name, given[0].size,
                                                            *given[0].images, problem)
                                            : WriteBackSizes(form, target->name, given, problem);
    if (written.empty()) return console.Fail(formName, DescribeContainerError(problem));
    if (!WriteOutputFile(PathFromUtf8(formName), written, true, error)) {
        return console.Fail(formName, error);
    }
    // Groups that lose the same things are one warning.
    std::vector<std::string> warned;
    for (const ImageListData& group : groups) {
        const std::string lost = LossText(LossesOfWriting(group, FileFormForName(formName)));
        if (lost.empty() || std::find(warned.begin(), warned.end(), lost) != warned.end()) continue;
        console.Warn(formName, lost);
        warned.push_back(lost);
    }
    return kExitOk;
}

}  // namespace

int RunInfo(const InfoOptions& options, const Console& console) {
    int status = kExitOk;
    for (const std::string& name : options.files) {
        std::string error;
        const Bytes file = ReadInputFile(PathFromUtf8(name), error);
        const GroupForm form = FileFormForName(name);
        auto lists = file.empty() ? std::nullopt : ReadGroupForm(form, file, error);
        if (!lists) {
            status = console.Fail(name, error);
            continue;
        }
        if (options.json) {
            Json object{{"file", name}, {"form", FileFormName(form)}};
            if (IsContainerForm(form)) {
                Json all = Json::array();
                for (const NamedList& entry : *lists) {
                    Json figures = ListFigures(entry);
                    figures["name"] = entry.name;
                    figures["sizes"] = SizeFigures(entry);
                    if (!ImageNames(entry).empty()) figures["names"] = ImageNames(entry);
                    all.push_back(std::move(figures));
                }
                object["lists"] = std::move(all);
            } else {
                object.update(ListFigures(lists->front()));
            }
            console.out << object.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
        } else if (IsContainerForm(form)) {
            console.out << name << ": " << FileFormName(form) << ", " << lists->size()
                        << (lists->size() == 1 ? " image list\n" : " image lists\n");
            for (const NamedList& entry : *lists) {
                console.out << "  " << entry.name << ": " << ListLine(entry) << SizesText(entry)
                            << '\n'
                            << NamesLine(entry);
            }
        } else {
            console.out << name << ": " << FileFormName(form) << ", " << ListLine(lists->front())
                        << '\n';
        }
        WarnOfLostSizes(name, *lists, console);
    }
    return console.FinishOutput(status);
}

int RunConvert(const ConvertOptions& options, const Console& console) {
    if (options.perImage && (options.into || FileFormForName(options.output) != FileForm::kResx)) {
        return console.Misuse(options.into ? "--per-image writes a new .resx; it cannot go --into"
                                           : "--per-image writes a .resx file; " + options.output +
                                                 " is not one");
    }
    if (options.into) return ConvertInto(options, console);
    if (options.inputs.size() != 1) {
        return console.Misuse("convert takes one input file, or with --into one group per size");
    }
    const std::string& input = options.inputs.front();
    std::string error;
    const Bytes file = ReadInputFile(PathFromUtf8(input), error);
    if (file.empty()) return console.Fail(input, error);
    auto lists = ReadGroupForm(FileFormForName(input), file, error);
    if (!lists) return console.Fail(input, error);
    NamedList* chosen = PickList(*lists, options.list, error);
    if (!chosen) return console.Fail(input, error);
    const auto images = TakeImages(*chosen, options.size, error);
    if (!images) return console.Fail(input, error);

    const std::string name = chosen->name.empty() ? "ImageList1" : chosen->name;
    const FileForm outputForm = FileFormForName(options.output);
    Bytes written;
    if (options.perImage) {
        const std::string document = WriteResxPictures(*images, ImageNames(*chosen));
        written.assign(document.begin(), document.end());
        error = "the images could not be encoded";
    } else {
        written = WriteGroupForm(outputForm, *images, name, error);
    }
    if (written.empty()) return console.Fail(options.output, error);
    if (!WriteOutputFile(PathFromUtf8(options.output), written, options.force, error)) {
        return console.Fail(options.output, error);
    }
    const std::string lost = LossText(LossesOfWriting(*images, outputForm));
    if (!lost.empty()) console.Warn(options.output, lost);
    return kExitOk;
}

}  // namespace iconvale::cli
