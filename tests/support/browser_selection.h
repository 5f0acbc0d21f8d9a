// Waiting for the shell's folder browser to reach a folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace iconvale::testing {

// Pumps this thread's messages until `reached` holds, for at most 15 s, and says whether it did.
// Wine moves the browser's tree a little after it is asked, and its walk down to a folder now and
// then stops short; so every 2 s the browser is asked for `folder` (GBK) again.
bool WaitForBrowserOn(HWND browser, const std::string& folder,
                      const std::function<bool()>& reached);

}  // namespace iconvale::testing
