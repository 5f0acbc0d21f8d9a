// The program as the command tests work it: its values and open group, the main window (never
// shown), scripted dialogs and a folder of its own for the files a test writes.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "app/main_window.h"
#include "app/program.h"
#include "support/control_probes.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace iconvale::testing {

class ProgramFixture : public ::testing::Test {
protected:
    // Registers the common controls, starts the picture library and creates the window.
    // A fixture that adds its own set-up calls this first.
    void SetUp() override;

    ImageGroup& group() { return program_.openGroup(); }
    ProgramValues& values() { return program_.values; }

    // The icon list and the status bar, as the user sees them.
    int ListCount() { return ItemCount(window_.iconList()); }
    std::string Pane(int pane) { return PaneText(window_.statusBar(), pane); }
    void Select(std::initializer_list<int> items) { SelectItems(window_.iconList(), items); }

    TempFolder folder_;
    Program program_;
    MainWindow window_{program_.openGroup()};
    ScriptedUi ui_;
};

}  // namespace iconvale::testing
