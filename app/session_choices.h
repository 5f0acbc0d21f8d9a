// What the user chose earlier in this run and the commands reuse: dialog filters, how pictures
// enter the group, and the extraction dialog's last answer. The settings file keeps some of
// them between runs; its integer forms are converted where it is read and written.
#pragma once

#include <windows.h>

#include <string>

namespace iconvale {

struct SessionChoices {
    int pictureFilterIndex = 0;         // 1-based filter of the picture dialog (settings: 6)
    int groupFilterIndex = 0;           // 1-based filter of the group dialogs (settings: 1)
    bool autoSegmentation = false;      // pictures cut into cells on import
    bool useTransparentColour = false;  // masked strips on import; set by the new-group dialog
    COLORREF transparentColour = 0;     // the new-group dialog's colour
    std::string extractionFolder;       // the extraction dialog's folder,
    std::string formatIdentifier;       // its chosen picture format,
    bool extractionSaved = false;       // and whether it was closed with its save button
};

}  // namespace iconvale
