#include "cli/files.h"

#include <cstdio>
#include <system_error>

#include "core/atomic_file.h"

namespace iconvale::cli {
namespace {

namespace fs = std::filesystem;

// Larger than any group that could have been written.
constexpr std::uintmax_t kLargestInput = 1ull << 30;

std::FILE* OpenForReading(const fs::path& path) {
#ifdef _WIN32
    return ::_wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

}  // namespace

fs::path PathFromUtf8(std::string_view text) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::string Utf8Name(const fs::path& path) {
    const std::u8string name = path.u8string();
    return std::string(reinterpret_cast<const char*>(name.data()), name.size());
}

Bytes ReadInputFile(const fs::path& path, std::string& error) {
    std::error_code code;
    if (fs::is_directory(path, code)) {
        error = "is a folder";
        return {};
    }
    const std::uintmax_t size = fs::file_size(path, code);
    if (code) {
        error = fs::exists(path, code) ? "cannot be read" : "no such file";
        return {};
    }
    if (size == 0 || size > kLargestInput) {
        error = size == 0 ? "the file is empty" : "the file is too large for an image group";
        return {};
    }
    std::FILE* file = OpenForReading(path);
    if (!file) {
        error = "cannot be opened";
        return {};
    }
    Bytes bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        error = "not enough memory to read it";
        return {};
    }
    const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (read != bytes.size()) {
        error = "cannot be read";
        return {};
    }
    return bytes;
}

bool WriteOutputFile(const fs::path& path, const Bytes& bytes, bool replace, std::string& error,
                     bool flush) {
    switch (WriteAtomically(path, bytes, {.replace = replace, .flush = flush})) {
        case AtomicWriteResult::kWritten:
            return true;
        case AtomicWriteResult::kIsFolder:
            error = "is a folder";
            break;
        case AtomicWriteResult::kExists:
            error = "exists already (give --force to replace it)";
            break;
        case AtomicWriteResult::kProtected:
            error = "is read-only";
            break;
        case AtomicWriteResult::kCannotCreate:
            error = "cannot write in its folder";
            break;
        case AtomicWriteResult::kCannotWrite:
            error = "cannot be written (is the disk full?)";
            break;
        case AtomicWriteResult::kCannotReplace:
            error = replace ? "cannot be replaced" : "cannot be written (it may exist already)";
            break;
    }
    return false;
}

}  // namespace iconvale::cli
