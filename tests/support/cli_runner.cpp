#include "support/cli_runner.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

#include "cli/files.h"

namespace iconvale::testing {

namespace fs = std::filesystem;

CliFolder::CliFolder() {
    static std::atomic<int> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("iconvale-cli-" + std::to_string(stamp) + "-" + std::to_string(++serial));
    fs::create_directories(path_);
}

CliFolder::~CliFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string CliFolder::Name(const std::string& leaf) const {
    return cli::Utf8Name(path_ / cli::PathFromUtf8(leaf));
}

bool CliFolder::Exists(const std::string& leaf) const {
    return fs::exists(path_ / cli::PathFromUtf8(leaf));
}

int CliFolder::FileCount() const {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(path_))
        count += entry.is_regular_file();
    return count;
}

Bytes CliFolder::Read(const std::string& leaf) const {
    std::ifstream file(path_ / cli::PathFromUtf8(leaf), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

void CliFolder::Write(const std::string& leaf, const Bytes& bytes) const {
    const fs::path path = path_ / cli::PathFromUtf8(leaf);
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace iconvale::testing
