// The command line's commands, each over plain options that the argument parser fills.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"

namespace iconvale::cli {

struct InfoOptions {
    std::vector<std::string> files;
    bool json = false;
};

struct ConvertOptions {
    std::vector<std::string> inputs;  // one, or with `into` one group per size of the list
    std::string output;
    std::string list;
    std::string size;  // of a multi-size list, "WxH"; its base size when empty
    bool force = false;
    bool into = false;      // write into the list of the existing form `output`, in place
    bool perImage = false;  // a .resx of one bitmap resource per image
};

struct PackOptions {
    std::string output;
    std::string size;
    int depth = 32;
    bool mask = false;
    std::string transparent;
    bool split = false;
    bool force = false;
    int jobs = 0;  // decoding threads; 0 for one a core
    std::vector<std::string> inputs;
};

struct UnpackOptions {
    std::string group;
    std::string folder;
    std::string format = "png";
    std::string list;
    std::string size;
    std::string indices;
    bool names = false;  // files named after the images' names in the form
    int jobs = 0;        // encoding threads; 0 for one a core
};

struct StripOptions {
    std::string group;
    std::string output;
    std::string list;
    std::string size;
    int columns = 0;
    bool force = false;
};

int RunInfo(const InfoOptions& options, const Console& console);
int RunConvert(const ConvertOptions& options, const Console& console);

// The picture commands: over the platform's picture codec on Windows, over the system's picture
// libraries elsewhere.
int RunPack(const PackOptions& options, const Console& console);
int RunUnpack(const UnpackOptions& options, const Console& console);
int RunStrip(const StripOptions& options, const Console& console);

// Parses the arguments (UTF-8, without the program's name) and runs the command they name.
int RunCommandLine(const std::vector<std::string>& arguments, const Console& console);

}  // namespace iconvale::cli
