// A small fixed-size window shown modally, made from a dialog template of the resource script in
// the language shown. The template's numbers are pixels of a 96 DPI design, not the dialog units
// the platform's dialog manager would take (those depend on the font); the form places each
// control at its pixels itself and scales them with the DPI.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "ui/base_window.h"
#include "ui/dialog_template.h"
#include "ui/dpi_layout.h"
#include "ui/win_handles.h"

namespace iconvale {

class ModalForm : public BaseWindow<ModalForm> {
public:
    using Placement = DpiLayout::Placement;

    // Creates the form, shows it and runs its messages until it is destroyed; false when it
    // could not be created. With an owner the form sits centred over it and the owner is
    // disabled meanwhile; without one it is centred on the screen and every other window of
    // this thread is disabled meanwhile.
    bool ShowModal(HWND owner = nullptr);
    // Enables and activates what the form disabled, then destroys the form.
    void Close();

protected:
    // The template gives the caption, the outer size of the window and the controls.
    explicit ModalForm(int templateId);
    virtual ~ModalForm();

    // Runs while the window is created; builds the controls from the design.
    virtual void CreateControls() = 0;
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
    virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}
    // The frame's close, Esc and a button with the id IDCANCEL all end up here.
    virtual void OnCloseRequest() { Close(); }
    // After the controls were placed again for a new DPI; for what the design cannot say.
    virtual void OnDpiChanged() {}

    // Creates the template's controls in its order, each visible, at its place, with the
    // form's font; false when one could not be made. Enter presses IDOK (or the focused push
    // button) and Esc IDCANCEL, as in the platform's dialogs.
    bool AddTemplateControls();
    // The control with this id, or null.
    HWND Control(int id) const { return ::GetDlgItem(hwnd(), id); }
    int Scaled(int designPixels) const { return layout_.Scaled(designPixels); }
    // Where the focus goes when the form opens; the first tab stop unless set in CreateControls.
    void SetInitialFocus(HWND control) { lastFocus_ = control; }

    static std::string TextOf(HWND control);
    static void SetTextOf(HWND control, std::string_view text);

private:
    friend class BaseWindow<ModalForm>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool Create(HWND owner);
    RECT OuterRect(HWND owner) const;
    void DisableOthers();
    void ReleaseOthers();
    void FocusFirstControl();
    LRESULT DefaultIdForEnter() const;
    void ChangeDpi(UINT dpi, const RECT& suggested);

    int templateId_;
    std::vector<TemplateControl> controls_;  // read when the form opens, in its language
    int designWidth_ = 0;
    int designHeight_ = 0;
    DpiLayout layout_;
    HWND owner_ = nullptr;
    HWND previousActive_ = nullptr;
    std::vector<HWND> disabled_;
    HWND lastFocus_ = nullptr;
};

// A drop-down list is created with its dropped height; its closed height follows the height
// of its selection field, which is tuned until the closed list is `closedHeight` tall.
void FitClosedHeight(HWND list, int closedHeight);

}  // namespace iconvale
