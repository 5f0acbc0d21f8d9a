#include "core/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include "ui/win_handles.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "ui/unique_handle.h"
#endif

namespace iconvale {

namespace {

namespace fs = std::filesystem;
using NativeString = fs::path::string_type;
using NativeChar = fs::path::value_type;

constexpr std::size_t kLargestChunk = 1u << 24;

#ifdef _WIN32
constexpr NativeChar kSeparators[] = L"\\/:";
// Wherever a name reaches the platform's path limit, the temporary one must fit too.
constexpr std::size_t kPathLimit = MAX_PATH;

unsigned ProcessId() {
    return static_cast<unsigned>(::GetCurrentProcessId());
}

using OutputFile = UniqueFile;

OutputFile CreateNew(const fs::path& name, bool& taken) {
    OutputFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
    taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    return file;
}

bool WriteAll(const OutputFile& file, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kLargestChunk));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

bool FlushToDisk(const OutputFile& file) {
    return ::FlushFileBuffers(file.get()) != FALSE;
}

void RemoveFile(const fs::path& name) {
    ::DeleteFileW(name.c_str());
}

bool SwapIntoPlace(const fs::path& temporary, const fs::path& target, bool replace,
                   bool targetExists) {
    // ReplaceFileW keeps the old file's attributes and security, and fails without touching it.
    if (replace && targetExists &&
        ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr)) {
        return true;
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return ::MoveFileExW(temporary.c_str(), target.c_str(), flags) != FALSE;
}
#else
constexpr NativeChar kSeparators[] = "/";
constexpr std::size_t kPathLimit = 4096;

unsigned ProcessId() {
    return static_cast<unsigned>(::getpid());
}

struct DescriptorTraits {
    using Handle = int;
    static Handle Invalid() { return -1; }
    static void Close(Handle descriptor) { ::close(descriptor); }
};
using OutputFile = UniqueHandle<DescriptorTraits>;

OutputFile CreateNew(const fs::path& name, bool& taken) {
    OutputFile file(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    taken = !file && errno == EEXIST;
    return file;
}

bool WriteAll(const OutputFile& file, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(file.get(), bytes.data() + done, std::min(bytes.size() - done, kLargestChunk));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool FlushToDisk(const OutputFile& file) {
    return ::fsync(file.get()) == 0;
}

void RemoveFile(const fs::path& name) {
    ::unlink(name.c_str());
}

bool SwapIntoPlace(const fs::path& temporary, const fs::path& target, bool replace, bool) {
    if (replace) return std::rename(temporary.c_str(), target.c_str()) == 0;
    // A hard link refuses an existing target, so a file that appeared meanwhile is not lost.
    if (::link(temporary.c_str(), target.c_str()) != 0) return false;
    ::unlink(temporary.c_str());
    return true;
}
#endif

// The target's state before anything is written: a folder or a protected file is refused.
AtomicWriteResult CheckTarget(const fs::path& target, bool replace, bool& exists) {
    std::error_code code;
    const fs::file_status status = fs::status(target, code);
    exists = fs::exists(status);
    if (fs::is_directory(status)) return AtomicWriteResult::kIsFolder;
    if (exists && !replace) return AtomicWriteResult::kExists;
#ifdef _WIN32
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return AtomicWriteResult::kProtected;
#endif
    return AtomicWriteResult::kWritten;
}

}  // namespace

fs::path TemporaryPathFor(const fs::path& target, unsigned serial) {
    const NativeString& whole = target.native();
    const std::size_t cut = whole.find_last_of(kSeparators);
    const std::size_t folderLength = cut == NativeString::npos ? 0 : cut + 1;
    const std::size_t room = folderLength + 2 < kPathLimit ? kPathLimit - 1 - folderLength : 1;
    const unsigned value = (ProcessId() << 16) + serial;
    NativeChar digits[9] = {};
    for (int i = 0; i < 8; ++i) {
        digits[i] = static_cast<NativeChar>("0123456789abcdef"[(value >> (28 - 4 * i)) & 0xF]);
    }
    // The serial is in the last digits, so a shortened name still differs from the last one.
    const std::size_t extension = room >= 6 ? 4 : 0;
    const std::size_t marker = room >= 2 ? 1 : 0;
    const std::size_t kept = std::clamp<std::size_t>(room - extension - marker, 1, 8);
    NativeString name = whole.substr(0, folderLength);
    if (marker) name += static_cast<NativeChar>('~');
    name += digits + 8 - kept;
    if (extension) {
        for (char c : {'.', 't', 'm', 'p'}) name += static_cast<NativeChar>(c);
    }
    return fs::path(std::move(name));
}

AtomicWriteResult WriteAtomically(const fs::path& target, std::span<const std::uint8_t> bytes,
                                  AtomicWriteOptions options) {
    bool exists = false;
    const AtomicWriteResult refused = CheckTarget(target, options.replace, exists);
    if (refused != AtomicWriteResult::kWritten) return refused;

    static std::atomic<unsigned> serial{0};
    fs::path temporary;
    OutputFile file;
    for (int attempt = 0; attempt < 64 && !file; ++attempt) {
        temporary = TemporaryPathFor(target, ++serial);
        bool taken = false;
        file = CreateNew(temporary, taken);
        if (!file && !taken) break;
    }
    if (!file) return AtomicWriteResult::kCannotCreate;

    const bool written = WriteAll(file, bytes) && (!options.flush || FlushToDisk(file));
    file.reset();
    if (!written) {
        RemoveFile(temporary);
        return AtomicWriteResult::kCannotWrite;
    }
    if (!SwapIntoPlace(temporary, target, options.replace, exists)) {
        RemoveFile(temporary);
        return AtomicWriteResult::kCannotReplace;
    }
    return AtomicWriteResult::kWritten;
}

}  // namespace iconvale
