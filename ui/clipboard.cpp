#include "ui/clipboard.h"

#include <shellapi.h>

#include <cstring>
#include <new>
#include <utility>

#include "ui/win_handles.h"

namespace iconvale {

namespace {

constexpr DWORD kRetryPause = 20;  // milliseconds between attempts to open

// The memory of a clipboard handle, locked while the object lives.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL global)
        : global_(global), data_(global ? ::GlobalLock(global) : nullptr) {}
    ~LockedGlobal() {
        if (data_) ::GlobalUnlock(global_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    void* data() const { return data_; }
    std::size_t size() const { return data_ ? ::GlobalSize(global_) : 0; }

private:
    HGLOBAL global_;
    void* data_;
};

}  // namespace

UINT PngClipboardFormat() {
    return ::RegisterClipboardFormatW(L"PNG");
}

bool ClipboardHasFormat(UINT format) {
    return format != 0 && ::IsClipboardFormatAvailable(format);
}

OpenClipboardOwner::OpenClipboardOwner(HWND window, int attempts) {
    for (int i = 0; i < attempts && !open_; ++i) {
        if (i > 0) ::Sleep(kRetryPause);
        open_ = ::OpenClipboard(window) != FALSE;
    }
}

OpenClipboardOwner::~OpenClipboardOwner() {
    if (open_) ::CloseClipboard();
}

OpenClipboardOwner::OpenClipboardOwner(OpenClipboardOwner&& other) noexcept
    : open_(std::exchange(other.open_, false)) {}

bool OpenClipboardOwner::Empty() {
    return open_ && ::EmptyClipboard();
}

bool OpenClipboardOwner::Put(UINT format, std::span<const std::uint8_t> bytes) {
    if (!open_ || bytes.empty()) return false;
    UniqueHGlobal global(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    {
        LockedGlobal locked(global.get());
        if (!locked.data()) return false;
        std::memcpy(locked.data(), bytes.data(), bytes.size());
    }
    if (!::SetClipboardData(format, global.get())) return false;
    (void)global.release();  // the clipboard owns it now
    return true;
}

std::vector<std::uint8_t> OpenClipboardOwner::Get(UINT format) const {
    if (!open_ || format == 0) return {};
    LockedGlobal locked(::GetClipboardData(format));
    if (!locked.data()) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(locked.data());
    std::vector<std::uint8_t> copy;
    try {
        copy.assign(bytes, bytes + locked.size());
    } catch (const std::bad_alloc&) {
        copy.clear();
    }
    return copy;
}

std::vector<std::wstring> OpenClipboardOwner::FileList() const {
    if (!open_) return {};
    auto drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
    if (!drop) return {};
    std::vector<std::wstring> paths;
    try {
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(::DragQueryFileW(drop, i, nullptr, 0), L'\0');
            ::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
            paths.push_back(std::move(path));
        }
    } catch (const std::bad_alloc&) {
        paths.clear();
    }
    return paths;
}

}  // namespace iconvale
