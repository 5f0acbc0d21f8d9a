// Image lists in and out of other ecosystems' files: Import makes one list of a Delphi or
// Lazarus form, a .NET resource file or a bare stream the open group; Export writes a copy of the
// open group as one of those forms, leaving the document's file and state alone.
#pragma once

#include <string>

#include "app/document.h"
#include "app/document_commands.h"
#include "app/document_view.h"
#include "app/modal_ui.h"
#include "app/write_back_command.h"
#include "core/conversion_losses.h"
#include "core/file_forms.h"
#include "core/image_list_container.h"

namespace iconvale {

class FileDialogObject;

inline constexpr char kImportFilter[] =
    "所有支持的文件(*.dfm;*.lfm;*.resx)|*.dfm;*.lfm;*.resx|Delphi 窗体(*.dfm)|*.dfm|"
    "Lazarus 窗体(*.lfm)|*.lfm|.NET 资源(*.resx)|*.resx|图片列表流，任意版本(*.*)|*.*";
inline constexpr char kExportFilter[] =
    "Delphi 窗体(*.dfm)|*.dfm|Lazarus 窗体(*.lfm)|*.lfm|.NET 资源(*.resx)|*.resx";
inline constexpr char kExportedComponentName[] = "ImageList1";

// The form Export writes to `path`: its extension's when it names one of the written forms,
// else the one of the export filter's 1-based entry `filterIndex`.
FileForm ExportFormFor(const std::string& path, int filterIndex);
// One chooser row per list and size, in file order; `rows` says which list and size each is.
std::vector<ImageListSummary> ListSummaries(const ContainerContents& contents,
                                            std::vector<std::pair<std::size_t, std::size_t>>& rows);
// What is wrong with a container, and where (GBK).
std::string ContainerProblemText(const ContainerError& error);
// What a failed import tells the user about the file's damage (GBK).
std::string ImportProblemText(const ContainerError& error);
// The question an export asks before it writes a form that cannot keep all of the group (GBK).
std::string ExportLossQuestion(const ConversionLosses& losses);

class ExchangeCommands {
public:
    ExchangeCommands(Document& document, FileDialogObject& dialog, DocumentView& view, ModalUi& ui,
                     DocumentCommands& commands);

    void Import();
    void Export();

    // Reads the file and, after the chooser where it holds several lists, opens the chosen list
    // as an untitled, changed group. False (and nothing changed) when it did not.
    bool ImportFrom(const std::string& path);
    // Writes the open group to `path` in `form`; false when nothing was written.
    bool ExportTo(const std::string& path, FileForm form);

    // "写回表单": the group back into the list it was imported from.
    WriteBackCommand& writeBack() { return writeBack_; }

private:
    bool OpenList(const ImageListData& list);
    bool WriteExport(const std::string& path, FileForm form, const ImageListData& list);

    Document& document_;
    FileDialogObject& dialog_;
    DocumentView& view_;
    ModalUi& ui_;
    DocumentCommands& commands_;
    WriteBackCommand writeBack_;
    // Kept for the session only, so each dialog reopens on the kind of file last chosen.
    int importFilterIndex_ = 1;
    int exportFilterIndex_ = 1;
};

}  // namespace iconvale
