// The program as the command tests work it: its document and session choices, the main window
// (never shown) refreshed from the document, scripted dialogs and a folder of its own for the
// files a test writes.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "app/document_presenter.h"
#include "app/main_window.h"
#include "app/program_objects.h"
#include "support/control_probes.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace iconvale::testing {

class ProgramFixture : public ::testing::Test {
protected:
    // Registers the common controls, starts the picture library and creates the window.
    // A fixture that adds its own set-up calls this first.
    void SetUp() override;

    Document& document() { return program_.document(); }
    const ImageGroup& group() { return program_.document().group(); }
    SessionChoices& choices() { return program_.choices; }
    // Leaves changes to be saved, as an edit would, without touching the images.
    void MarkChanged();
    // Leaves nothing to be saved, through a copy of the group written aside.
    void MarkSaved();

    // The icon list and the status bar, as the user sees them.
    int ListCount() { return ItemCount(window_.iconList()); }
    std::string Pane(int pane) { return PaneText(window_.statusBar(), pane); }
    void Select(std::initializer_list<int> items) { SelectItems(window_.iconList(), items); }

    TempFolder folder_;
    ProgramObjects program_;
    MainWindow window_{program_.document().group()};
    DocumentPresenter presenter_{program_.document(), window_};
    ScriptedUi ui_;
};

}  // namespace iconvale::testing
