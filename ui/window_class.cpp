#include "ui/window_class.h"

namespace iconvale {

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HICON icon,
                         HICON smallIcon) {
    WNDCLASSEXW windowClass{};
    if (::GetClassInfoExW(instance, name, &windowClass)) return true;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace iconvale
