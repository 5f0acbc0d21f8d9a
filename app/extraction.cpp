#include "app/extraction.h"

#include "app/progress_texts.h"
#include "core/file_io.h"
#include "imaging/extraction_formats.h"
#include "imaging/group_pictures.h"
#include "ui/wait_cursor.h"

namespace iconvale {

Extraction::Extraction(const Document& document, SessionChoices& choices, DocumentView& view,
                       ModalUi& ui, std::string programFolder, ImageWriter writer,
                       ProgressReporter& progress)
    : document_(document),
      choices_(choices),
      view_(view),
      ui_(ui),
      programFolder_(std::move(programFolder)),
      writer_(std::move(writer)),
      progress_(progress) {}

std::string Extraction::StartFolder() const {
    const std::string& path = document_.path();
    return path.empty() ? programFolder_ : FolderOfDocument(path);
}

void Extraction::Extract() {
    if (!document_.HasGroup()) {
        ui_.Inform(view_.DialogOwner(), kNoGroupMessage);
        return;
    }
    const std::vector<int> selected = view_.SelectedIndices();
    if (selected.empty()) {
        ui_.Inform(view_.DialogOwner(), "请选择要提取的图标！");
        return;
    }
    choices_.extractionSaved = false;
    choices_.extractionFolder = StartFolder();
    nameHint_ = {};
    auto choice = ui_.ShowExtractionDialog(choices_.extractionFolder);
    if (!choice) return;
    choices_.extractionSaved = true;
    choices_.extractionFolder = WithTrailingBackslash(choice->folder);
    choices_.formatIdentifier = choice->formatIdentifier;

    WaitCursor cursor;
    progress_.Begin(static_cast<int>(selected.size()), kExtractingProgress);
    bool failed = false;
    for (int index : selected) {
        const bool written =
            writer_
                ? writer_(choices_.extractionFolder, choices_.formatIdentifier, index)
                : ExtractImageToFile(choices_.extractionFolder, choices_.formatIdentifier, index);
        if (!written) {
            failed = true;
            break;
        }
        progress_.Step();
    }
    progress_.End();
    if (failed) ui_.Fail(view_.DialogOwner(), "提取图标失败！");
    cursor.Restore();
    ui_.Inform(view_.DialogOwner(), "提取图标完毕！");
}

bool Extraction::ExtractImageToFile(const std::string& folder, const std::string& formatIdentifier,
                                    int index) {
    const std::string extension = ExtensionForFormat(formatIdentifier);
    const unsigned number = FreeNumber(folder, extension);
    const std::string name = folder + ExtractedFileName(number, extension);
    const Bytes encoded = EncodeGroupImage(document_.group(), index, formatIdentifier);
    if (encoded.empty() || !WriteNewFile(name, encoded)) return false;
    nameHint_ = {folder, extension, number + 1};
    return true;
}

unsigned Extraction::FreeNumber(const std::string& folder, const std::string& extension) const {
    // Names are counted from 0 for every image. Within one extraction every name below the
    // last one written was taken when it was written, so the count goes on from there; that
    // turns a run of n images from n * n / 2 lookups into n.
    unsigned n =
        nameHint_.folder == folder && nameHint_.extension == extension ? nameHint_.next : 0;
    while (PathExists(folder + ExtractedFileName(n, extension))) ++n;
    return n;
}

}  // namespace iconvale
