#include "support/program_fixture.h"

#include <windows.h>
#include <commctrl.h>

#include "support/test_pictures.h"

namespace iconvale::testing {

void ProgramFixture::SetUp() {
    INITCOMMONCONTROLSEX classes{sizeof classes, 0xFFFF};
    ::InitCommonControlsEx(&classes);
    EnsurePictureLibrary();
    ASSERT_TRUE(window_.Create(::GetModuleHandleW(nullptr), {}));
}

void ProgramFixture::MarkChanged() {
    document().Change([](ImageGroup&) { return true; });
}

void ProgramFixture::MarkSaved() {
    ASSERT_TRUE(document().SaveCopyTo(folder_.File("saved copy.eil")));
}

}  // namespace iconvale::testing
