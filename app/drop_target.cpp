#include "app/drop_target.h"

#include <shellapi.h>

#include <new>
#include <vector>

#include "ui/text.h"

namespace iconvale {

namespace {

FORMATETC FileDropFormat() {
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

}  // namespace

std::string DroppedPaths(IDataObject* data) {
    FORMATETC format = FileDropFormat();
    STGMEDIUM medium{};
    if (!data || FAILED(data->GetData(&format, &medium))) return {};
    std::string paths;
    if (auto drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal))) {
        UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        // Without room for the paths there is nothing to drop; the medium is still given back.
        try {
            for (UINT i = 0; i < count; ++i) {
                UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
                std::vector<wchar_t> path(length + 1, L'\0');
                ::DragQueryFileW(drop, i, path.data(), length + 1);
                if (i > 0) paths += "\r\n";
                paths += ToNarrow(path);
            }
        } catch (const std::bad_alloc&) {
            paths.clear();
        }
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return paths;
}

FileDropTarget::FileDropTarget(Handler handler) : handler_(std::move(handler)) {}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG FileDropTarget::Release() {
    LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    FORMATETC format = FileDropFormat();
    acceptable_ = data && data->QueryGetData(&format) == S_OK;
    *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FileDropTarget::DragLeave() {
    acceptable_ = false;
    return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    acceptable_ = false;
    *effect = DROPEFFECT_NONE;
    // Nothing may travel back into the shell's drag loop, not even running out of memory.
    try {
        std::string paths = DroppedPaths(data);
        if (paths.empty()) return S_OK;
        *effect = DROPEFFECT_COPY;
        if (handler_) handler_(paths);
    } catch (...) {
    }
    return S_OK;
}

}  // namespace iconvale
