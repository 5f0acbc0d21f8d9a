#include "cli/files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace iconvale::cli {
namespace {

namespace fs = std::filesystem;

// Larger than any group that could have been written.
constexpr std::uintmax_t kLargestInput = 1ull << 30;

std::FILE* OpenFile(const fs::path& path, bool write) {
#ifdef _WIN32
    return ::_wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return ::_commit(::_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

// Moves the finished temporary file into place. Without `replace` the move itself refuses an
// existing target, so no file that appeared meanwhile is lost either.
bool MoveIntoPlace(const fs::path& from, const fs::path& to, bool replace) {
#ifdef _WIN32
    return ::MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0)) != 0;
#else
    if (replace) return std::rename(from.c_str(), to.c_str()) == 0;
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
#endif
}

unsigned ProcessId() {
#ifdef _WIN32
    return static_cast<unsigned>(::GetCurrentProcessId());
#else
    return static_cast<unsigned>(::getpid());
#endif
}

// A short name beside the target, so that a target near the path length limit still has room.
fs::path TemporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> serial{0};
    const std::string name =
        ".iv" + std::to_string(ProcessId()) + "-" + std::to_string(++serial) + ".tmp";
    return target.parent_path() / name;
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
    std::FILE* file = OpenFile(path, false);
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
    std::error_code code;
    if (fs::is_directory(path, code)) {
        error = "is a folder";
        return false;
    }
    if (!replace && fs::exists(path, code)) {
        error = "exists already (give --force to replace it)";
        return false;
    }
    const fs::path temporary = TemporaryBeside(path);
    std::FILE* file = OpenFile(temporary, true);
    if (!file) {
        error = "cannot write in its folder";
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                         (flush ? FlushToDisk(file) : std::fflush(file) == 0);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        fs::remove(temporary, code);
        error = "cannot be written (is the disk full?)";
        return false;
    }
    if (!MoveIntoPlace(temporary, path, replace)) {
        fs::remove(temporary, code);
        error = replace ? "cannot be replaced" : "cannot be written (it may exist already)";
        return false;
    }
    return true;
}

}  // namespace iconvale::cli
