// The Extract command: the selected images of the open group written to a folder as picture
// files, one file per image under the first free name "image<N>" with the format's extension.
#pragma once

#include <functional>
#include <string>

#include "app/document.h"
#include "app/document_commands.h"
#include "app/document_view.h"
#include "app/modal_ui.h"
#include "app/session_choices.h"
#include "ui/progress_reporter.h"

namespace iconvale {

class Extraction {
public:
    // Writes one image (folder ending in "\", format identifier, index); true when written.
    using ImageWriter = std::function<bool(const std::string&, const std::string&, int)>;

    // `programFolder` is where the dialog starts for an untitled group. Without a writer each
    // image goes through ExtractImageToFile. `progress` counts the images written.
    Extraction(const Document& document, SessionChoices& choices, DocumentView& view, ModalUi& ui,
               std::string programFolder, ImageWriter writer = {},
               ProgressReporter& progress = NoProgress());

    void Extract();
    bool ExtractImageToFile(const std::string& folder, const std::string& formatIdentifier,
                            int index);

private:
    std::string StartFolder() const;
    // The lowest free N of "image<N><extension>" in the folder.
    unsigned FreeNumber(const std::string& folder, const std::string& extension) const;

    // Where the count of names goes on from after the last image written.
    struct NameHint {
        std::string folder;
        std::string extension;
        unsigned next = 0;
    };

    const Document& document_;
    SessionChoices& choices_;
    DocumentView& view_;
    ModalUi& ui_;
    std::string programFolder_;
    ImageWriter writer_;
    ProgressReporter& progress_;
    NameHint nameHint_;
};

}  // namespace iconvale
