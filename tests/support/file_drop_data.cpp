#include "support/file_drop_data.h"

#include <shlobj.h>

#include <cstring>

namespace iconvale::testing {

namespace {

class FileDropData final : public IDataObject {
public:
    explicit FileDropData(const std::vector<std::wstring>& paths) {
        std::wstring list;
        for (const auto& p : paths) list += p + L'\0';
        list += L'\0';
        const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
        memory_ = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
        auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory_));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        std::memcpy(drop + 1, list.data(), list.size() * sizeof(wchar_t));
        ::GlobalUnlock(memory_);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) {
            ::GlobalFree(memory_);
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        // The receiver releases the medium, so it gets a copy of the block.
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = static_cast<HGLOBAL>(::OleDuplicateData(memory_, CF_HDROP, 0));
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK
                                                                                         : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    ~FileDropData() = default;
    ULONG references_ = 1;
    HGLOBAL memory_ = nullptr;
};

}  // namespace

IDataObject* NewFileDropData(const std::vector<std::wstring>& paths) { return new FileDropData(paths); }

}  // namespace iconvale::testing
