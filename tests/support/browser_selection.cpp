#include "support/browser_selection.h"

#include <shlobj.h>

#include "support/windows.h"
#include "ui/text.h"

namespace iconvale::testing {

namespace {

constexpr int kWaits = 750;  // of 20 ms each: a loaded machine with a fresh prefix takes seconds
constexpr int kWaitsPerRequest = 100;
constexpr DWORD kWaitMs = 20;

}  // namespace

bool WaitForBrowserOn(HWND browser, const std::string& folder,
                      const std::function<bool()>& reached) {
    const WideText wide = ToWide(folder);
    for (int wait = 0; wait < kWaits; ++wait) {
        if (reached()) return true;
        if (wait > 0 && wait % kWaitsPerRequest == 0) {
            ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE,
                           reinterpret_cast<LPARAM>(wide.data()));
        }
        PumpMessages();
        ::Sleep(kWaitMs);
    }
    return reached();
}

}  // namespace iconvale::testing
