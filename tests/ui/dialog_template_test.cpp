// The extended dialog template reader: a template built here byte by byte, then every way of
// cutting or spoiling it. The program's own templates are checked by the language tests.
#include "ui/dialog_template.h"
#include "ui/modal_form.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <tuple>
#include <vector>

namespace iconvale {
namespace {

class TemplateBytes {
public:
    template <typename T>
    TemplateBytes& Put(T value) {
        const auto* p = reinterpret_cast<const BYTE*>(&value);
        bytes.insert(bytes.end(), p, p + sizeof value);
        return *this;
    }
    TemplateBytes& Text(const std::wstring& text) {
        for (wchar_t c : text) Put<WORD>(c);
        return Put<WORD>(0);
    }
    TemplateBytes& Align() {
        while (bytes.size() % 4) bytes.push_back(0);
        return *this;
    }
    std::vector<BYTE> bytes;
};

// Caption "Form", 200x100 with a font; a button by number, then a list view by name whose text
// is a resource number and which carries two bytes of creation data.
std::vector<BYTE> SampleTemplate(WORD signature = 0xFFFF, WORD buttonAtom = 0x0080) {
    TemplateBytes t;
    t.Put<WORD>(1).Put<WORD>(signature).Put<DWORD>(0).Put<DWORD>(WS_EX_TOOLWINDOW);
    t.Put<DWORD>(DS_SETFONT | WS_POPUP).Put<WORD>(2);
    t.Put<short>(5).Put<short>(6).Put<short>(200).Put<short>(100);
    t.Put<WORD>(0).Put<WORD>(0).Text(L"Form");
    t.Put<WORD>(9).Put<WORD>(FW_NORMAL).Put<BYTE>(0).Put<BYTE>(1).Text(L"MS Shell Dlg");
    t.Align().Put<DWORD>(0).Put<DWORD>(0).Put<DWORD>(WS_TABSTOP | BS_DEFPUSHBUTTON);
    t.Put<short>(10).Put<short>(20).Put<short>(64).Put<short>(24).Put<DWORD>(IDOK);
    t.Put<WORD>(0xFFFF).Put<WORD>(buttonAtom).Text(L"OK").Put<WORD>(0);
    t.Align().Put<DWORD>(0).Put<DWORD>(WS_EX_CLIENTEDGE).Put<DWORD>(LVS_REPORT);
    t.Put<short>(1).Put<short>(2).Put<short>(3).Put<short>(4).Put<DWORD>(0xFFFFFFFF);
    t.Text(L"SysListView32").Put<WORD>(0xFFFF).Put<WORD>(7).Put<WORD>(2).Put<WORD>(0xABCD);
    return t.bytes;
}

TEST(DialogTemplate, ReadsTheCaptionSizeAndEveryControl) {
    const std::vector<BYTE> bytes = SampleTemplate();
    const auto dialog = ParseDialogTemplate(bytes);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->caption, L"Form");
    EXPECT_EQ(dialog->width, 200);
    EXPECT_EQ(dialog->height, 100);
    ASSERT_EQ(dialog->controls.size(), 2u);
    const TemplateControl& b = dialog->controls[0];
    EXPECT_EQ(std::tuple(b.className, b.text, b.id, b.style, b.rect.left, b.rect.top, b.rect.width,
                         b.rect.height),
              std::tuple(std::wstring(L"BUTTON"), std::wstring(L"OK"), IDOK,
                         static_cast<DWORD>(WS_TABSTOP | BS_DEFPUSHBUTTON), 10, 20, 64, 24));
    const TemplateControl& l = dialog->controls[1];
    EXPECT_EQ(std::tuple(l.className, l.text, l.id, l.extendedStyle),
              std::tuple(std::wstring(L"SysListView32"), std::wstring(), -1,
                         static_cast<DWORD>(WS_EX_CLIENTEDGE)));
}

TEST(DialogTemplate, RefusesWhatIsCutShortOrNotATemplate) {
    const std::vector<BYTE> whole = SampleTemplate();
    // Every cut, including one inside the last control's creation data.
    for (std::size_t size = 0; size < whole.size(); ++size) {
        EXPECT_FALSE(ParseDialogTemplate({whole.data(), size})) << size;
    }
    EXPECT_FALSE(ParseDialogTemplate(SampleTemplate(0x0000))) << "an old DLGTEMPLATE";
    EXPECT_FALSE(ParseDialogTemplate(SampleTemplate(0xFFFF, 0x0099))) << "no such class";
}

TEST(DialogTemplate, AFormWithoutItsTemplateIsNotShown) {
    struct Missing : ModalForm {
        Missing() : ModalForm(0x7FFF) {}
        void CreateControls() override { ADD_FAILURE() << "no controls without a template"; }
    } form;
    EXPECT_FALSE(form.ShowModal());
    EXPECT_EQ(form.hwnd(), nullptr);
}

}  // namespace
}  // namespace iconvale
