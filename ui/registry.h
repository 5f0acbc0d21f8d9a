// Registry access by full path, in the program's GBK text. The part after the last backslash
// names a value and the part before it the key below the root: "a\b\Name" is value "Name" of
// key "a\b", "a\b\" the default value of "a\b", and "Name" a value of the root itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace iconvale {

// Both open the key, or create it (and any missing parents) when it cannot be opened.
bool WriteRegistryDword(HKEY root, std::string_view path, std::uint32_t value);   // REG_DWORD
bool WriteRegistryText(HKEY root, std::string_view path, std::string_view text);  // REG_SZ

// A REG_SZ or REG_EXPAND_SZ value (not expanded); `text` is untouched on failure.
bool ReadRegistryText(HKEY root, std::string_view path, std::string& text);

// Deletes the named value; when there is no such value, deletes the key the whole path names
// instead, which must have no subkeys.
bool DeleteRegistryEntry(HKEY root, std::string_view path);

// keyPath names a key below the root, never the root itself; the key must have no subkeys.
bool DeleteRegistryKey(HKEY root, std::string_view keyPath);

bool RegistryKeyExists(HKEY root, std::string_view keyPath);

}  // namespace iconvale
