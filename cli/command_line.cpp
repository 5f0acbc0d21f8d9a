#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace iconvale::cli {
namespace {

void AddQuiet(CLI::App& command, bool& quiet) {
    command.add_flag("-q,--quiet", quiet, "Show no progress counter");
}

// Beside --list: which size of a multi-size list to take.
void AddList(CLI::App& command, std::string& list, std::string& size) {
    command.add_option("--list", list, "The image list to take from a container");
    command.add_option("--size", size, "The size of that list, WxH (its base size by default)");
}

void AddForce(CLI::App& command, bool& force) {
    command.add_flag("--force", force, "Replace an existing output file");
}

// Threads matter only where pictures go through the system's libraries; Windows takes the
// option and works on one.
void AddJobs(CLI::App& command, int& jobs) {
    command.add_option("--jobs", jobs, "Threads for pictures (one a core by default)")
        ->check(CLI::Range(1, 256));
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, const Console& console) {
    CLI::App app{
        "Makes, inspects, converts and unpacks image groups (.eil files and image lists "
        "of other tools).",
        kProgramName};
    app.require_subcommand(1);
    // A path such as /tmp/icons (under Wine) or /c is an argument, never an option.
    app.allow_windows_style_options(false);
    bool quiet = false;

    InfoOptions info;
    CLI::App* infoCommand = app.add_subcommand("info",
                                               "Tell the form, version, count, size, depth, mask, "
                                               "background, capacity and grow of each image list");
    infoCommand->add_option("FILE", info.files, "Group files and containers")->required();
    infoCommand->add_flag("--json", info.json, "One JSON object per file, one per line");

    ConvertOptions convert;
    CLI::App* convertCommand = app.add_subcommand(
        "convert",
        "Write an image list in the form that OUT's name chooses (.eil, .dfm, .lfm, "
        ".resx; any other name gives the bare stream), or with --into into a list of the "
        "existing form OUT");
    // One positional list: this version of CLI11 lets a list leave nothing for a later one.
    convertCommand
        ->add_option("FILES", convert.inputs,
                     "IN OUT: the file to read, then the file to write; with --into, one group "
                     "per size of the list, then the form")
        ->required();
    AddList(*convertCommand, convert.list, convert.size);
    AddForce(*convertCommand, convert.force);
    convertCommand->add_flag("--into", convert.into,
                             "Replace the images of list --list (at --size, or each group's own "
                             "size) in the form OUT, leaving the rest of it as it is");
    convertCommand->add_flag("--per-image", convert.perImage,
                             "Write OUT (.resx) as one PNG bitmap resource per image, named "
                             "after the images where the list names them");
    AddQuiet(*convertCommand, quiet);

    PackOptions pack;
    CLI::App* packCommand = app.add_subcommand(
        "pack", "Make a group from pictures (files, or folders taken in name order)");
    packCommand->add_option("-o,--output", pack.output, "The group file to write")->required();
    packCommand->add_option("--size", pack.size, "The cell size, WxH")->required();
    packCommand->add_option("--depth", pack.depth, "Bits per pixel: 4, 8, 16, 24 or 32")
        ->check(CLI::IsMember({4, 8, 16, 24, 32}))
        ->capture_default_str();
    packCommand->add_flag("--mask", pack.mask, "Give the group a transparency mask");
    CLI::Option* split =
        packCommand->add_flag("--split", pack.split,
                              "Cut each picture into cells from the left instead of stretching it");
    packCommand
        ->add_option("--transparent", pack.transparent,
                     "RRGGBB: pixels of this colour become transparent in split pictures")
        ->needs(split);
    packCommand->add_option("INPUT", pack.inputs, "Picture files and folders")->required();
    AddJobs(*packCommand, pack.jobs);
    AddForce(*packCommand, pack.force);
    AddQuiet(*packCommand, quiet);

    UnpackOptions unpack;
    CLI::App* unpackCommand = app.add_subcommand(
        "unpack", "Write images as picture files image0.png, image1.png, ... into a folder");
    unpackCommand->add_option("GROUP", unpack.group, "The group file or container")->required();
    unpackCommand->add_option("-o,--output", unpack.folder, "The folder to write into")->required();
    unpackCommand->add_option("--format", unpack.format, "png, jpg, bmp, tif or gif")
        ->check(CLI::IsMember({"png", "jpg", "bmp", "tif", "gif"}))
        ->capture_default_str();
    AddList(*unpackCommand, unpack.list, unpack.size);
    unpackCommand->add_option("--indices", unpack.indices,
                              "Which images, e.g. 0,3-5 (all by default)");
    unpackCommand->add_flag("--names", unpack.names,
                            "Name the files after the images' names in the form, where it has "
                            "them (image<N> otherwise)");
    AddJobs(*unpackCommand, unpack.jobs);
    AddQuiet(*unpackCommand, quiet);

    StripOptions strip;
    CLI::App* stripCommand =
        app.add_subcommand("strip", "Write all images side by side in one PNG picture, with alpha");
    stripCommand->add_option("GROUP", strip.group, "The group file or container")->required();
    stripCommand->add_option("-o,--output", strip.output, "The PNG file to write")->required();
    stripCommand
        ->add_option("--columns", strip.columns, "Images per row (all in one row by default)")
        ->check(CLI::PositiveNumber);
    AddList(*stripCommand, strip.list, strip.size);
    AddForce(*stripCommand, strip.force);
    AddQuiet(*stripCommand, quiet);

    std::vector<const char*> argv{kProgramName};
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help, console.out, console.err);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help, console.out, console.err);
    } catch (const CLI::ParseError& error) {
        return console.Misuse(std::string(error.what()) + " (see --help)");
    }

    const Console quietConsole{console.out, console.err, console.quiet || quiet};
    if (infoCommand->parsed()) return RunInfo(info, quietConsole);
    if (convertCommand->parsed()) {
        if (convert.inputs.size() < 2)
            return console.Misuse("convert needs IN and OUT (see --help)");
        convert.output = convert.inputs.back();
        convert.inputs.pop_back();
        return RunConvert(convert, quietConsole);
    }
    if (packCommand->parsed()) return RunPack(pack, quietConsole);
    if (unpackCommand->parsed()) return RunUnpack(unpack, quietConsole);
    if (stripCommand->parsed()) return RunStrip(strip, quietConsole);
    return console.Misuse("no command given (see --help)");
}

}  // namespace iconvale::cli
