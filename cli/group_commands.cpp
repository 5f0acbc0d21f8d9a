#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/files.h"
#include "cli/group_forms.h"
#include "core/conversion_losses.h"

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

// A damaged BitmapAdv loses its sizes, not the list: said once, beside the list's figures.
void WarnOfLostSizes(const std::string& name, const std::vector<NamedList>& lists,
                     const Console& console) {
    for (const NamedList& entry : lists) {
        if (entry.contained && entry.contained->sizesError) {
            console.Fail(name, "warning: " + DescribeContainerError(entry.contained->sizesError));
        }
    }
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
                            << '\n';
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
    std::string error;
    const Bytes file = ReadInputFile(PathFromUtf8(options.input), error);
    if (file.empty()) return console.Fail(options.input, error);
    auto lists = ReadGroupForm(FileFormForName(options.input), file, error);
    if (!lists) return console.Fail(options.input, error);
    NamedList* chosen = PickList(*lists, options.list, error);
    if (!chosen) return console.Fail(options.input, error);
    const auto images = TakeImages(*chosen, options.size, error);
    if (!images) return console.Fail(options.input, error);

    const std::string name = chosen->name.empty() ? "ImageList1" : chosen->name;
    const FileForm outputForm = FileFormForName(options.output);
    const Bytes written = WriteGroupForm(outputForm, *images, name, error);
    if (written.empty()) return console.Fail(options.output, error);
    if (!WriteOutputFile(PathFromUtf8(options.output), written, options.force, error)) {
        return console.Fail(options.output, error);
    }
    const std::string lost = LossText(LossesOfWriting(*images, outputForm));
    if (!lost.empty()) console.Warn(options.output, lost);
    return kExitOk;
}

}  // namespace iconvale::cli
