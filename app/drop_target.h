// Accepts files dragged from the shell onto a window and hands their paths over as one text,
// one path per line, lines separated by CR LF.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>

namespace iconvale {

class FileDropTarget final : public IDropTarget {
public:
    using Handler = std::function<void(const std::string& paths)>;

    explicit FileDropTarget(Handler handler);
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                   DWORD* effect) override;

private:
    ~FileDropTarget() = default;

    Handler handler_;
    LONG references_ = 1;
    bool acceptable_ = false;
};

// The dropped files' paths as GBK text, separated by CR LF; empty when the data holds none.
std::string DroppedPaths(IDataObject* data);

}  // namespace iconvale
