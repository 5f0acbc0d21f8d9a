#include "core/file_io.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "core/atomic_file.h"
#include "ui/large_buffer.h"
#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {

namespace {

// The file's size, once it is open for reading and could be a document.
std::size_t OpenDocument(std::string_view path, UniqueFile& file) {
    WideText widePath = ToWide(path);
    if (widePath.size() <= 1) return 0;
    file.reset(::CreateFileW(widePath.data(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) return 0;
    // A document larger than this is no image group that could have been written.
    constexpr LONGLONG kLargestDocument = 1ll << 30;
    if (size.QuadPart <= 0 || size.QuadPart > kLargestDocument) return 0;
    return static_cast<std::size_t>(size.QuadPart);
}

bool ReadInto(const UniqueFile& file, std::uint8_t* to, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 24));
        DWORD read = 0;
        if (!::ReadFile(file.get(), to + done, chunk, &read, nullptr) || read == 0) return false;
        done += read;
    }
    return true;
}

}  // namespace

Bytes ReadWholeFile(std::string_view path) {
    UniqueFile file;
    const std::size_t size = OpenDocument(path, file);
    Bytes bytes;
    if (size == 0 || !TryResize(bytes, size) || !ReadInto(file, bytes.data(), size)) return {};
    return bytes;
}

PageBuffer ReadFilePages(std::string_view path) {
    UniqueFile file;
    const std::size_t size = OpenDocument(path, file);
    PageBuffer pages = size == 0 ? PageBuffer{} : PageBuffer::Allocate(size);
    if (pages.empty() || !ReadInto(file, pages.data(), size)) return {};
    return pages;
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
