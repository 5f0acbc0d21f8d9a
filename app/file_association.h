// The shell association of group files: the extension's key names the program's ProgID, whose
// keys give the icon and the open command. All under HKEY_CLASSES_ROOT unless another root is
// given.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace iconvale {

inline constexpr std::string_view kGroupExtension = "*.eil";
inline constexpr std::string_view kGroupProgId = "e.imagelist";

// "*.eil", ".eil" and "eil" all give ".eil": every "*" and "." is dropped and one "." put in
// front. Empty when nothing is left or the text holds a backslash or NUL.
std::string ExtensionKeyName(std::string_view extension);

// The open command for a program path: the path in quotes, a blank and "%1" in quotes.
std::string OpenCommandFor(std::string_view programPath);

// Points the extension at kGroupProgId and writes the ProgID's flags, icon and open command.
// An empty programPath means the running executable; an empty iconPath means the program's
// first icon; an empty contentType writes none. Notifies the shell. False when the extension
// is unusable, the program path unknown or a value could not be written.
bool RegisterAssociation(std::string_view extension, std::string_view programPath = {},
                         std::string_view iconPath = {}, std::string_view contentType = {},
                         HKEY root = HKEY_CLASSES_ROOT);

// Removes the registration. When the extension names another ProgID, another program owns it:
// its key and that program's keys stay, and only kGroupProgId's keys go. An extension without
// a default value is left alone without notifying the shell. An extension key that cannot go
// for its subkeys loses only its default value. False when something that was to go is still
// there.
bool UnregisterAssociation(std::string_view extension, HKEY root = HKEY_CLASSES_ROOT);

// True when the extension's default value can be read, whichever program wrote it.
bool AssociationExists(std::string_view extension = kGroupExtension, HKEY root = HKEY_CLASSES_ROOT);

}  // namespace iconvale
