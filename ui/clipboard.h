// The system clipboard, held open by one owner for as long as it lives, and closed on every
// path. Another program may hold the clipboard for a moment, so opening tries a few times over
// about a tenth of a second and then gives up rather than wait.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace iconvale {

// The format other programs register for PNG files on the clipboard.
UINT PngClipboardFormat();
// Whether the clipboard holds the format; needs no opening.
bool ClipboardHasFormat(UINT format);

class OpenClipboardOwner {
public:
    // `window` becomes the clipboard's owner once it is emptied; null is allowed for reading.
    explicit OpenClipboardOwner(HWND window, int attempts = 5);
    ~OpenClipboardOwner();
    OpenClipboardOwner(OpenClipboardOwner&& other) noexcept;
    OpenClipboardOwner& operator=(OpenClipboardOwner&&) = delete;
    OpenClipboardOwner(const OpenClipboardOwner&) = delete;
    OpenClipboardOwner& operator=(const OpenClipboardOwner&) = delete;

    bool IsOpen() const { return open_; }
    // Drops what the clipboard held; the window given at opening owns it afterwards.
    bool Empty();
    // A copy of the bytes, put under the format; false, with nothing put, on failure.
    bool Put(UINT format, std::span<const std::uint8_t> bytes);
    // A copy of the bytes held under the format; empty when there are none.
    std::vector<std::uint8_t> Get(UINT format) const;
    // The paths of a file list (CF_HDROP); empty when there is none.
    std::vector<std::wstring> FileList() const;

private:
    bool open_ = false;
};

}  // namespace iconvale
