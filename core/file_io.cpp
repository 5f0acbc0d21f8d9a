#include "core/file_io.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {

Bytes ReadWholeFile(std::string_view path) {
    WideText widePath = ToWide(path);
    if (widePath.size() <= 1) return {};
    UniqueFile file(::CreateFileW(widePath.data(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) return {};
    // A document larger than this is no image group that could have been written.
    constexpr LONGLONG kLargestDocument = 1ll << 30;
    if (size.QuadPart <= 0 || size.QuadPart > kLargestDocument) return {};
    Bytes bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) return {};
        done += read;
    }
    return bytes;
}

namespace {

bool WriteAll(HANDLE file, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// A name beside the target that no other save uses at the same time.
std::wstring TemporaryNameFor(const std::wstring& target) {
    static unsigned serial = 0;
    return target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++serial) + L".tmp";
}

}  // namespace

bool WriteFileAtomically(std::string_view path, const Bytes& bytes) {
    WideText widePath = ToWide(path);
    if (widePath.size() <= 1) return false;
    const std::wstring target(widePath.data());
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    // A folder in the way, or a file the user protected, is refused before anything is written.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        return false;
    }
    const std::wstring temporary = TemporaryNameFor(target);
    {
        UniqueFile file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!WriteAll(file.get(), bytes) || !::FlushFileBuffers(file.get())) {
            file.reset();
            ::DeleteFileW(temporary.c_str());
            return false;
        }
    }
    bool swapped = false;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // Keeps the old file's attributes and security; fails without touching it.
        swapped = ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != FALSE;
    }
    if (!swapped) {
        swapped = ::MoveFileExW(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!swapped) ::DeleteFileW(temporary.c_str());
    return swapped;
}

bool WriteNewFile(std::string_view path, const Bytes& bytes) {
    WideText widePath = ToWide(path);
    if (widePath.size() <= 1) return false;
    bool written = false;
    {
        UniqueFile file(::CreateFileW(widePath.data(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        written = WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    }
    if (!written) ::DeleteFileW(widePath.data());
    return written;
}

bool PathExists(std::string_view path) {
    WideText widePath = ToWide(path);
    if (widePath.size() <= 1) return false;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(widePath.data(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return true;
}

}  // namespace iconvale
