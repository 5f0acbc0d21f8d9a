#include "core/file_io.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "core/atomic_file.h"
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

bool WriteThroughTemporary(std::string_view path, const Bytes& bytes, bool replace) {
    WideText widePath = ToWide(path);
    if (widePath.size() <= 1) return false;
    const std::filesystem::path target(std::wstring(widePath.data()));
    return WriteAtomically(target, bytes, {.replace = replace, .flush = true}) ==
           AtomicWriteResult::kWritten;
}

}  // namespace

bool WriteFileAtomically(std::string_view path, const Bytes& bytes) {
    return WriteThroughTemporary(path, bytes, true);
}

bool WriteNewFile(std::string_view path, const Bytes& bytes) {
    return WriteThroughTemporary(path, bytes, false);
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
