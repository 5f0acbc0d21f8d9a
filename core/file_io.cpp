#include "core/file_io.h"

#include <windows.h>

#include <algorithm>

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

}  // namespace iconvale
