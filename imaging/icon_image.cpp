#include "imaging/icon_image.h"

#include "ui/text.h"

namespace iconvale {

namespace {

struct IconOrCursorTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DestroyIconOrCursor(h); }
};
using UniqueIconOrCursor = UniqueHandle<IconOrCursorTraits>;

}  // namespace

struct IconImage::State {
    UniqueIconOrCursor icon;
};

void DestroyIconOrCursor(HICON icon) {
    if (!icon) return;
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) {
        ::DestroyIcon(icon);
        return;
    }
    // GetIconInfo hands out copies of the icon's bitmaps; they are ours to delete.
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.fIcon) {
        ::DestroyIcon(icon);
    } else {
        ::DestroyCursor(icon);
    }
}

IconImage::IconImage() : state_(std::make_shared<State>()) {}

void IconImage::Release() {
    state_->icon.reset();
}

HICON IconImage::Handle() const {
    return state_->icon.get();
}

void IconImage::Attach(HICON icon) {
    if (icon == Handle()) return;  // already ours: destroying it first would leave a dead handle
    state_->icon.reset(icon);
}

void IconImage::Attach(UniqueIcon icon) {
    Attach(icon.release());
}

HICON IconImage::Detach() {
    return state_->icon.release();
}

bool IconImage::LoadFromFile(std::string_view path, bool asCursor, int width, int height) {
    const WideText widePath = ToWide(path);
    if (widePath.empty()) {
        Release();
        return false;
    }
    return LoadFromFileW(widePath.data(), asCursor, width, height);
}

bool IconImage::LoadFromFileW(const wchar_t* path, bool asCursor, int width, int height) {
    Release();
    if (!path) return false;
    HANDLE loaded = ::LoadImageW(nullptr, path, asCursor ? IMAGE_CURSOR : IMAGE_ICON, width, height,
                                 LR_LOADFROMFILE);
    state_->icon.reset(static_cast<HICON>(loaded));
    return loaded != nullptr;
}

}  // namespace iconvale
