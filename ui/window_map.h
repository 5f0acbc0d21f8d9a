// The one table from attached windows to the shared blocks of their window objects, through
// which the framework's window procedure finds the object of a window. It serves WindowObject
// (the file dialog object and the folder browser) only; BaseWindow keeps its object in the
// window's own user data and needs no map.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace iconvale {

// Creates the map (11 buckets) unless it exists; the entries of an existing map stay.
void EnsureWindowMap();
bool WindowMapExists();

// 0 when the window is not in the map (or there is no map yet).
std::uintptr_t FindInWindowMap(HWND window);
void AddToWindowMap(HWND window, std::uintptr_t block);  // creates the map when needed
void RemoveFromWindowMap(HWND window);
std::size_t WindowMapSize();

}  // namespace iconvale
