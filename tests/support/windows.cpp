#include "support/windows.h"

#include <vector>

#include "ui/text.h"

namespace iconvale::testing {

void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

std::string WindowText(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::vector<wchar_t> text(length + 1, L'\0');
    ::GetWindowTextW(window, text.data(), length + 1);
    return ToNarrow(text);
}

RECT WindowRectOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

RECT ChildRect(HWND child) {
    RECT r = WindowRectOf(child);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace iconvale::testing
