// Framework window objects. A window object keeps a property set in a block that all its copies
// share; attached to a platform window, it sees each of the window's messages before the
// window's own procedure does.
//
// Only the file dialog object and the folder browser are window objects, the folder browser
// because it subclasses a dialog the platform creates. New windows use BaseWindow
// (ui/base_window.h) instead; this model takes no new kinds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "ui/property_table.h"

namespace iconvale {

// Properties the framework itself reads and writes.
inline constexpr std::string_view kWindowProperty = "hWnd";
inline constexpr std::string_view kOldWindowProcProperty = "oldWndProp";
inline constexpr std::string_view kStartPositionProperty = "StartPosition";

// Values of "StartPosition".
inline constexpr std::uintptr_t kStartKeep = 0;
inline constexpr std::uintptr_t kStartCentreWorkArea = 1;
inline constexpr std::uintptr_t kStartCentreParent = 2;

// The procedure attached windows are given: offers each message to the window's object, then
// passes what it did not handle to the procedure the attachment replaced.
LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class WindowObject {
public:
    // The block all copies of one window object share. A kind of window object derives from
    // it to handle messages and to free what it keeps in properties, and passes an instance to
    // WindowObject's protected constructor. Cores live only inside window objects.
    class Core : public std::enable_shared_from_this<Core> {
    public:
        Core() = default;
        virtual ~Core() = default;
        Core(const Core&) = delete;
        Core& operator=(const Core&) = delete;

        std::uintptr_t GetProperty(std::string_view key) const { return properties_.Get(key); }
        void SetProperty(std::string_view key, std::uintptr_t value) {
            properties_.Set(key, value);
        }

        // Subclasses the window. Fails for an invalid window, a window another object holds, a
        // window that already runs the framework's procedure, and while this object holds a
        // different live window. Attaching again to the window it holds succeeds.
        bool Attach(HWND window);
        // Gives the window back its old procedure and forgets it; nothing when not attached.
        void Detach();
        HWND AttachedWindow() const { return reinterpret_cast<HWND>(GetProperty(kWindowProperty)); }

        // Places the window as "StartPosition" says, with a repaint.
        bool ApplyStartPosition(HWND window) const;

        // Offered every message of the attached window first; true when handled, `result`
        // then being the reply. Overrides pass what they do not handle on to this one, which
        // presses mnemonic buttons on WM_SYSCHAR and detaches at WM_NCDESTROY.
        virtual bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result);

    protected:
        // Frees what a kind keeps in properties. Runs once, when the last copy goes, while the
        // window is still attached; the base release (detaching) always follows it.
        virtual void OnRelease() {}

    private:
        friend class WindowObject;
        PropertyTable properties_;
    };

    WindowObject();  // a plain window object, with the built-in behaviour only
    WindowObject(const WindowObject&) = default;
    WindowObject& operator=(const WindowObject&) = default;
    ~WindowObject() = default;

    std::uintptr_t GetProperty(std::string_view key) const { return core_->GetProperty(key); }
    void SetProperty(std::string_view key, std::uintptr_t value) { core_->SetProperty(key, value); }
    bool Attach(HWND window) { return core_->Attach(window); }
    void Detach() { core_->Detach(); }
    HWND AttachedWindow() const { return core_->AttachedWindow(); }
    bool ApplyStartPosition(HWND window) const { return core_->ApplyStartPosition(window); }
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return core_->OnMessage(window, message, wParam, lParam, result);
    }

    bool SharesWith(const WindowObject& other) const { return core_ == other.core_; }

protected:
    explicit WindowObject(std::unique_ptr<Core> core);

    template <typename DerivedCore>
    DerivedCore& CoreAs() const {
        return static_cast<DerivedCore&>(*core_);
    }

private:
    // Never empty: copying is the only transfer, so no object is left without a block.
    std::shared_ptr<Core> core_;
};

}  // namespace iconvale
