#include "core/file_io.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "ui/large_buffer.h"
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
    Bytes bytes;
    if (!TryResize(bytes, static_cast<std::size_t>(size.QuadPart))) return {};
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0)
            return {};
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

// Creates a new temporary file beside the target and gives its name.
UniqueFile CreateTemporaryBeside(const std::wstring& target, std::wstring& name) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = TemporaryNameFor(target, ++serial);
        UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return file;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return {};
}

}  // namespace

std::wstring TemporaryNameFor(const std::wstring& target, unsigned serial) {
    const std::size_t cut = target.find_last_of(L"\\/:");
    const std::size_t folderLength = cut == std::wstring::npos ? 0 : cut + 1;
    const std::size_t room = folderLength + 2 < MAX_PATH ? MAX_PATH - 1 - folderLength : 1;
    const unsigned value = (static_cast<unsigned>(::GetCurrentProcessId()) << 16) + serial;
    wchar_t digits[9] = {};
    for (int i = 0; i < 8; ++i) digits[i] = L"0123456789abcdef"[(value >> (28 - 4 * i)) & 0xF];
    // The serial is in the last digits, so a shortened name still differs from the last one.
    const std::size_t extension = room >= 6 ? 4 : 0;
    const std::size_t marker = room >= 2 ? 1 : 0;
    const std::size_t kept = std::clamp<std::size_t>(room - extension - marker, 1, 8);
    return target.substr(0, folderLength) + (marker ? L"~" : L"") + (digits + 8 - kept) +
           (extension ? L".tmp" : L"");
}

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
    std::wstring temporary;
    {
        UniqueFile file = CreateTemporaryBeside(target, temporary);
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
