// The names images of a list take outside it, from the names a form gives them: as files in a
// folder of a Windows machine, and as resources of a .resx file. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace iconvale {

// The name as the stem of a Windows file name (UTF-8): each character a file name cannot hold
// (<>:"/\|?*, codes below 0x20, bytes that are not UTF-8) and a last dot or space become '_'.
// Nullopt where the name cannot stand for a file at all: empty, "." or "..", or a device name
// (CON, NUL, COM1, LPT1, ...; "con.txt" too), so that the caller gives it a numbered one.
std::optional<std::string> FileStemOfName(std::string_view name);

// The name as a resource name: control characters and bytes that are not UTF-8 become '_'
// (XML could not carry them); nullopt for an empty name.
std::optional<std::string> ResourceNameOf(std::string_view name);

// The name with letters folded to lower case as Windows compares file names, for the letters of
// ASCII, Latin-1, Greek and Cyrillic; equal keys name one file (and, for .NET, one resource).
std::string NameKey(std::string_view name);

// One name for each entry: its own where it has one whose key (NameKey) is not in `taken`, the
// others the first free "image<N>" followed by `suffix`, N counting up from 0 past taken names.
// Own names are placed first, so that no number takes a name an image brings. Every name given
// is added to `taken`.
std::vector<std::string> OwnOrNumberedNames(const std::vector<std::optional<std::string>>& own,
                                            std::string_view suffix,
                                            std::unordered_set<std::string>& taken);

}  // namespace iconvale
