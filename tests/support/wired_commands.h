// The document and picture commands wired to one another as the host wires them, for fixtures
// that run them without a host. `view` is the main window or a stand-in that counts refreshes.
#pragma once

#include <string>

#include "app/document_commands.h"
#include "app/picture_import.h"
#include "app/program_objects.h"

namespace iconvale::testing {

struct WiredCommands {
    WiredCommands(ProgramObjects& program, DocumentView& view, ModalUi& ui,
                  const std::string& settingsPath)
        : WiredCommands(program, view, ui, settingsPath, program.fileDialog()) {}
    // `groupDialog` serves the group commands; the pictures keep the program's own dialog.
    WiredCommands(ProgramObjects& program, DocumentView& view, ModalUi& ui,
                  const std::string& settingsPath, FileDialogObject& groupDialog)
        : document(program.document(), program.choices, view, ui, groupDialog, settingsPath),
          pictures(program.document(), program.choices, program.scratchPicture(),
                   program.fileDialog(), view, ui, document) {}

    DocumentCommands document;
    PictureImport pictures;
};

}  // namespace iconvale::testing
