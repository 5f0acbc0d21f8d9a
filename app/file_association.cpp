#include "app/file_association.h"

#include <shlobj.h>

#include <algorithm>

#include "app/program_paths.h"
#include "ui/registry.h"

namespace iconvale {

namespace {

// Below the ProgID, each before its parent, as RegDeleteKey takes no key with subkeys.
constexpr std::string_view kProgIdSubkeys[] = {"\\shell\\open\\command", "\\shell\\open", "\\shell",
                                               "\\DefaultIcon"};

std::string Under(std::string_view key, std::string_view rest) {
    std::string path(key);
    path += rest;
    return path;
}

void NotifyShell() {
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_DWORD, nullptr, nullptr);
}

// Registry names ignore ASCII case, so "E.ImageList" is our key as well.
bool SameKeyName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

bool RemoveKey(HKEY root, std::string_view keyPath) {
    return DeleteRegistryKey(root, keyPath) || !RegistryKeyExists(root, keyPath);
}

bool RemoveProgIdKeys(HKEY root) {
    bool removed = true;
    for (std::string_view subkey : kProgIdSubkeys) {
        removed = RemoveKey(root, Under(kGroupProgId, subkey)) && removed;
    }
    return RemoveKey(root, kGroupProgId) && removed;
}

}  // namespace

std::string ExtensionKeyName(std::string_view extension) {
    std::string name = ".";
    for (std::size_t i = 0; i < extension.size(); ++i) {
        char c = extension[i];
        if (IsGbkLeadByte(c) && i + 1 < extension.size()) {
            name += c;
            name += extension[++i];
        } else if (c == '\\' || c == '\0') {
            return {};
        } else if (c != '*' && c != '.') {
            name += c;
        }
    }
    return name.size() > 1 ? name : std::string();
}

std::string OpenCommandFor(std::string_view programPath) {
    // Unquoted, a path with blanks is split at the first blank: the shell may start another
    // program ("C:\Program.exe"), and ours would take the rest of its own path for a file.
    std::string command = "\"";
    command += programPath;
    command += "\" \"%1\"";
    return command;
}

bool RegisterAssociation(std::string_view extension, std::string_view programPath,
                         std::string_view iconPath, std::string_view contentType, HKEY root) {
    std::string key = ExtensionKeyName(extension);
    if (key.empty()) return false;
    std::string program(programPath);
    if (program.empty()) {
        std::string folder = ProgramFolder();
        std::string file = ProgramFileName();
        if (folder.empty() || file.empty()) return false;
        program = JoinPath(folder, file);
    }
    std::string icon = iconPath.empty() ? program + ",0" : std::string(iconPath);

    bool written = WriteRegistryText(root, key + "\\", kGroupProgId);
    if (written && !contentType.empty()) {
        written = WriteRegistryText(root, key + "\\Content Type", contentType);
    }
    written = written && WriteRegistryDword(root, Under(kGroupProgId, "\\BrowserFlags"), 8) &&
              WriteRegistryDword(root, Under(kGroupProgId, "\\EditFlags"), 0) &&
              WriteRegistryText(root, Under(kGroupProgId, "\\DefaultIcon\\"), icon) &&
              WriteRegistryText(root, Under(kGroupProgId, "\\shell\\"), "open") &&
              WriteRegistryText(root, Under(kGroupProgId, "\\shell\\open\\command\\"),
                                OpenCommandFor(program));
    NotifyShell();
    return written;
}

bool UnregisterAssociation(std::string_view extension, HKEY root) {
    std::string key = ExtensionKeyName(extension);
    if (key.empty()) return false;
    std::string progId;
    if (!ReadRegistryText(root, key + "\\", progId) || progId.empty()) return true;
    bool removed = true;
    if (SameKeyName(progId, kGroupProgId)) {
        // A subkey of the shell's or another program's (OpenWithProgids, ShellNew) keeps the
        // key; it must at least stop naming the ProgID that is about to go.
        removed = RemoveKey(root, key) || DeleteRegistryEntry(root, key + "\\");
    }
    removed = RemoveProgIdKeys(root) && removed;
    NotifyShell();
    return removed;
}

bool AssociationExists(std::string_view extension, HKEY root) {
    std::string key = ExtensionKeyName(extension);
    std::string progId;
    return !key.empty() && ReadRegistryText(root, key + "\\", progId);
}

}  // namespace iconvale
