// Running the command line in the test's own process, in a folder of its own.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/bytes.h"

namespace iconvale::testing {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun RunCli(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    CliRun run;
    run.status = cli::RunCommandLine(arguments, {out, err, true});
    run.out = out.str();
    run.err = err.str();
    return run;
}

// The one line an error gives: "iconvale-cli: FILE: REASON".
inline std::string ErrorLine(const std::string& file, const std::string& reason) {
    std::string line = cli::kProgramName;
    line.append(": ").append(file).append(": ").append(reason).append("\n");
    return line;
}

// A new empty folder under the temporary folder, removed with its content.
class CliFolder {
public:
    CliFolder();
    ~CliFolder();
    CliFolder(const CliFolder&) = delete;
    CliFolder& operator=(const CliFolder&) = delete;

    // A name in the folder as UTF-8 text, for the command line.
    std::string Name(const std::string& leaf) const;
    bool Exists(const std::string& leaf) const;
    int FileCount() const;
    Bytes Read(const std::string& leaf) const;
    void Write(const std::string& leaf, const Bytes& bytes) const;

private:
    std::filesystem::path path_;
};

}  // namespace iconvale::testing
