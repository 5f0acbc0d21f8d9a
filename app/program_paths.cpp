#include "app/program_paths.h"

#include <windows.h>

#include <vector>

#include "ui/text.h"

namespace iconvale {

namespace {

// Longest path the platform hands out, with the "\\?\" form counted in.
constexpr DWORD kMaxModulePathUnits = 32768;

std::size_t NextCharacter(std::string_view text, std::size_t i) {
    return IsGbkLeadByte(text[i]) && i + 1 < text.size() ? i + 2 : i + 1;
}

bool EndsWithBackslash(std::string_view text) {
    bool last = false;
    for (std::size_t i = 0; i < text.size(); i = NextCharacter(text, i)) last = text[i] == '\\';
    return last;
}

std::string ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return {};
        // A full buffer means the name was cut short (and, before Vista, left unterminated).
        if (length < size) return ToNarrow(std::span<const wchar_t>(buffer.data(), length));
        if (size >= kMaxModulePathUnits) return {};
        buffer.resize(static_cast<std::size_t>(size) * 2);
    }
}

}  // namespace

std::string ParentFolder(std::string_view path) {
    std::size_t cut = 0;
    std::size_t i = 0;
    // A leading "\" or "\\" (UNC) belongs to the root and is never cut.
    for (int n = 0; n < 2 && i < path.size() && path[i] == '\\'; ++n) cut = ++i;
    while (i < path.size()) {
        if (path[i] == '\\') {
            cut = i;
        } else if (path[i] == ':') {
            // The drive's own backslash stays with the drive.
            cut = ++i;
            if (i < path.size() && path[i] == '\\') cut = ++i;
            continue;
        }
        i = NextCharacter(path, i);
    }
    return std::string(path.substr(0, cut));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (!EndsWithBackslash(folder)) joined += '\\';
    joined += name;
    return joined;
}

std::string ProgramFolder() {
    std::string path = ModulePath();
    return path.empty() ? std::string() : ParentFolder(path);
}

std::string ProgramFileName() {
    std::string path = ModulePath();
    std::size_t start = ParentFolder(path).size();
    while (start < path.size() && path[start] == '\\') ++start;
    return path.substr(start);
}

}  // namespace iconvale
