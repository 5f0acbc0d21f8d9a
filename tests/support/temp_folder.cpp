#include "support/temp_folder.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "ui/text.h"

namespace iconvale::testing {

namespace {

std::filesystem::path WidePath(const std::string& gbk) { return std::filesystem::path(WidePtr(ToWide(gbk))); }

}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    static int serial = 0;
    std::wstring name = std::wstring(base) + L"iconvale-test-" + std::to_wstring(::GetCurrentProcessId()) +
                        L"-" + std::to_wstring(++serial);
    // Process ids come round again: a folder left by a run that was stopped goes first.
    std::error_code ignored;
    std::filesystem::remove_all(name, ignored);
    std::filesystem::create_directories(name);
    path_ = ToNarrow(std::wstring_view(name));
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(WidePath(path_), ignored);
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(WidePath(path), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(WidePtr(ToWide(path))) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace iconvale::testing
