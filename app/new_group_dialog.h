// The dialog that asks for a new group's icon size, bit depth and transparent colour.
#pragma once

#include <windows.h>

#include "ui/modal_form.h"
#include "app/modal_ui.h"
#include "res/resource_ids.h"

namespace iconvale {

class NewGroupDialog : public ModalForm {
public:
    static constexpr int kWidthBoxId = IDC_NEW_GROUP_WIDTH;
    static constexpr int kHeightBoxId = IDC_NEW_GROUP_HEIGHT;
    static constexpr int kTransparencyBoxId = IDC_NEW_GROUP_TRANSPARENCY;
    static constexpr int kColourLabelId = IDC_NEW_GROUP_COLOUR_LABEL;
    static constexpr int kColourChooserId = IDC_NEW_GROUP_COLOUR;
    static constexpr int kDepthListId = IDC_NEW_GROUP_DEPTH;
    static constexpr COLORREF kDesignColour = RGB(255, 255, 255);

    explicit NewGroupDialog(NewGroupDialogHooks hooks);

    // Shows the dialog, unowned and centred on the screen, until it is closed.
    bool Show() { return ShowModal(nullptr); }

    // The colour chooser's colour (0x00BBGGRR); setting it repaints the swatch.
    COLORREF colour() const { return colour_; }
    void SetColour(COLORREF colour);
    // What OK hands on, read from the controls as they are now.
    NewGroupInputs Inputs() const;

private:
    void CreateControls() override;
    void OnCommand(int id, int code, HWND control) override;
    void OnDpiChanged() override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;
    void UpdateColourLabel();
    void ChooseColour();
    void Confirm();

    NewGroupDialogHooks hooks_;
    COLORREF colour_ = kDesignColour;
    COLORREF customColours_[16];
    HWND widthBox_ = nullptr;
    HWND heightBox_ = nullptr;
    HWND transparencyBox_ = nullptr;
    HWND colourLabel_ = nullptr;
    HWND colourChooser_ = nullptr;
    HWND depthList_ = nullptr;
};

}  // namespace iconvale
