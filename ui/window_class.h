// Registration of the program's own window classes.
#pragma once

#include <windows.h>

namespace iconvale {

// Registers a class with the arrow cursor and the dialog face as its background, unless this
// module already has one by that name. The icons may be null.
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                         HICON icon = nullptr, HICON smallIcon = nullptr);

}  // namespace iconvale
