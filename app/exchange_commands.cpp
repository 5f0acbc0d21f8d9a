#include "app/exchange_commands.h"

#include <commdlg.h>

#include "core/conversion_losses.h"
#include "core/file_io.h"
#include "core/form_write_back.h"
#include "core/group_lists.h"
#include "ui/file_dialog_object.h"
#include "ui/ui_language.h"
#include "ui/wait_cursor.h"

namespace iconvale {

namespace {

constexpr DWORD kImportDialogFlags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD kExportDialogFlags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
constexpr char kImportFailedMessage[] = "导入失败！";

// In the order of the export filter.
constexpr FileForm kExportForms[] = {FileForm::kDelphiForm, FileForm::kLazarusForm,
                                     FileForm::kResx};

const char* ProblemText(ContainerProblem problem) {
    switch (problem) {
        case ContainerProblem::kUnknownForm:
            return "这不是窗体文件、.NET 资源文件或图片列表流";
        case ContainerProblem::kTruncated:
            return "文件不完整，在数据中间结束了";
        case ContainerProblem::kBadSyntax:
            return "窗体文本的格式有误";
        case ContainerProblem::kBadHex:
            return "二进制数据中有不是十六进制数字的字符";
        case ContainerProblem::kOddHex:
            return "二进制数据的十六进制数字个数是奇数";
        case ContainerProblem::kBadBase64:
            return "资源值不是有效的 base64 数据";
        case ContainerProblem::kBadRecord:
            return "资源中的 .NET 序列化记录不是图片列表的记录";
        case ContainerProblem::kBadRunLength:
            return "资源中图片列表的游程编码有误";
        case ContainerProblem::kBadSignature:
            return "图片列表数据的签名无法识别";
        case ContainerProblem::kBadCompression:
            return "图片列表的压缩数据已损坏";
        case ContainerProblem::kBadStream:
            return "图片列表流已损坏，或是不支持的版本";
        case ContainerProblem::kTooLarge:
            return "图片列表的尺寸或数量超出范围";
        case ContainerProblem::kTooDeep:
            return "窗体中的对象嵌套过深";
        case ContainerProblem::kOutOfMemory:
            return "内存不足";
        case ContainerProblem::kOtherCount:
            return "这个尺寸的图标数与列表不同";
        case ContainerProblem::kRepeatedSize:
            return "这个尺寸与列表的另一个尺寸重复";
        case ContainerProblem::kListGone:
            return "文件中已没有这个图片列表";
        case ContainerProblem::kSizesOutOfStep:
            return "列表的其他尺寸的图标数与图片组不同";
        case ContainerProblem::kBadPicture:
            return "图片已损坏，或不是这种列表可以存放的格式";
        case ContainerProblem::kPictureSize:
            return "图片的尺寸与列表的尺寸不符";
        case ContainerProblem::kEmptyCollection:
            return "图片集合中没有图片";
        case ContainerProblem::kReadOnlyList:
            return "这种图片列表只能读取，不能写入";
        case ContainerProblem::kNone:
            break;
    }
    return "文件无法读取";
}

// Where the problem is, as "（第 3 行，组件 X，尺寸 22×22）"; empty when nothing is known. Each
// piece is translated on its own, as English puts the number after the word.
std::string PlaceText(const ContainerError& error) {
    std::vector<std::string> parts;
    if (error.line > 0) parts.push_back(TranslatedWith("第 %s 行", std::to_string(error.line)));
    if (!error.where.empty()) parts.push_back(TranslatedWith("组件 %s", error.where));
    if (error.width > 0) {
        parts.push_back(TranslatedWith(
            "尺寸 %s", std::to_string(error.width) + "×" + std::to_string(error.height)));
    }
    if (parts.empty()) return {};
    std::string text = Translated("（") + parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i) text += Translated("，") + parts[i];
    return text + Translated("）");
}

// The problem and its place, in the shown language.
std::string ProblemWithPlace(const ContainerError& error) {
    return Translated(ProblemText(error.problem)) + PlaceText(error);
}

}  // namespace

std::vector<ImageListSummary> ListSummaries(
    const ContainerContents& contents, std::vector<std::pair<std::size_t, std::size_t>>& rows) {
    std::vector<ImageListSummary> summaries;
    for (std::size_t i = 0; i < contents.lists.size(); ++i) {
        const ContainedImageList& list = contents.lists[i];
        for (std::size_t size = 0; size < list.sizes.size(); ++size) {
            summaries.push_back({list.name, list.sizes[size].count, list.sizes[size].width,
                                 list.sizes[size].height, list.figures.bitsPerPixel,
                                 list.sizes.size() > 1});
            rows.emplace_back(i, size);
        }
    }
    return summaries;
}

FileForm ExportFormFor(const std::string& path, int filterIndex) {
    const FileForm named = FileFormForName(path);
    if (IsContainerForm(named)) return named;
    const bool inFilter =
        filterIndex >= 1 && filterIndex <= static_cast<int>(std::size(kExportForms));
    return kExportForms[inFilter ? filterIndex - 1 : 0];
}

std::string ContainerProblemText(const ContainerError& error) {
    return ProblemWithPlace(error);
}

std::string ImportProblemText(const ContainerError& error) {
    return Translated(kImportFailedMessage) + "\r\n" + ProblemWithPlace(error);
}

ExchangeCommands::ExchangeCommands(Document& document, FileDialogObject& dialog, DocumentView& view,
                                   ModalUi& ui, DocumentCommands& commands)
    : document_(document),
      dialog_(dialog),
      view_(view),
      ui_(ui),
      commands_(commands),
      writeBack_(document, view, ui) {}

bool ExchangeCommands::OpenList(const ImageListData& list) {
    // Made aside first, so that a list the platform refuses leaves the open group as it was.
    ImageGroup made;
    if (!GroupOfList(list, made)) return false;
    document_.ReplaceWithUntitled(made);
    return true;
}

bool ExchangeCommands::ImportFrom(const std::string& path) {
    HWND owner = view_.DialogOwner();
    WaitCursor cursor;
    const Bytes file = ReadWholeFile(path);
    if (file.empty()) {
        cursor.Restore();
        ui_.Fail(owner, std::string(kImportFailedMessage) + "\r\n文件无法读取，或是空文件");
        return false;
    }
    const ContainerContents contents = ReadContainer(file);
    cursor.Restore();
    if (contents.error) {
        ui_.Fail(owner, ImportProblemText(contents.error));
        return false;
    }
    if (contents.lists.empty()) {
        ui_.Fail(owner, std::string(kImportFailedMessage) + "\r\n文件中没有图片列表");
        return false;
    }
    // A damaged BitmapAdv leaves the list's base size, which still imports.
    for (const ContainedImageList& list : contents.lists) {
        if (list.sizesError) {
            ui_.Inform(owner, Translated("这个列表的其他尺寸无法读取：\r\n") +
                                  ProblemWithPlace(list.sizesError));
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    const std::vector<ImageListSummary> summaries = ListSummaries(contents, rows);
    int index = 0;
    if (summaries.size() > 1) {
        index = ui_.ChooseImageList(owner, summaries, ListChoice::kImport);
        if (index < 0 || index >= static_cast<int>(summaries.size())) return false;
    }
    ContainerError error;
    std::optional<ImageListData> images;
    {
        WaitCursor decoding;
        images = DecodeContainedList(contents.lists[rows[index].first], rows[index].second, error);
    }
    if (!images) {
        ui_.Fail(owner, ImportProblemText(error));
        return false;
    }
    const ContainedImageList& chosen = contents.lists[rows[index].first];
    if (!OpenList(*images)) {
        ui_.Fail(owner, std::string(kImportFailedMessage) + "\r\n无法创建这个图片列表");
        return false;
    }
    if (IsWritableList(chosen)) {
        document_.SetOrigin({path, chosen.name, rows[index].second, ListFingerprint(chosen),
                             chosen.sizes.size() > 1});
    }
    return true;
}

void ExchangeCommands::Import() {
    // The group stays until the import has worked; the import is then the step that undoes.
    if (!commands_.ConfirmReplace()) return;
    dialog_.SetUp(kImportDialogFlags, "导入图片列表", "", kImportFilter, importFilterIndex_, "",
                  "");
    auto choice = ui_.ChooseFile(dialog_, view_.DialogOwner(), FileDialogKind::Open);
    if (!choice) return;
    importFilterIndex_ = choice->filterIndex;
    ImportFrom(choice->path);
}

std::string ExportLossQuestion(const ConversionLosses& losses) {
    std::string text = Translated("导出为 Lazarus 窗体时，图片组的以下内容无法保留：\r\n");
    const auto item = [&text](const std::string& loss) { text += "  · " + loss + "\r\n"; };
    if (losses.raisedDepth != 0) {
        item(TranslatedWith("%s 位颜色深度（图片将变为 32 位）",
                            std::to_string(losses.raisedDepth)));
    }
    if (losses.maskPixels != 0) {
        item(TranslatedWith("%s 个像素的遮罩（与其 Alpha 不符）",
                            std::to_string(losses.maskPixels)));
    }
    if (losses.background) item(Translated("背景色"));
    return text + Translated("仍要导出吗？");
}

bool ExchangeCommands::ExportTo(const std::string& path, FileForm form) {
    // The group's own stream is what Save writes, so the copy holds exactly what a save would.
    const auto list = ListOfGroup(document_.group());
    return list && WriteExport(path, form, *list);
}

bool ExchangeCommands::WriteExport(const std::string& path, FileForm form,
                                   const ImageListData& list) {
    const Bytes file = WriteListAs(form, list, kExportedComponentName);
    return !file.empty() && WriteFileAtomically(path, file);
}

void ExchangeCommands::Export() {
    if (!document_.HasGroup()) {
        ui_.Inform(view_.DialogOwner(), kNoGroupMessage);
        return;
    }
    dialog_.SetUp(kExportDialogFlags, "导出图片组", "", kExportFilter, exportFilterIndex_, "",
                  "dfm");
    auto choice = ui_.ChooseFile(dialog_, view_.DialogOwner(), FileDialogKind::Save);
    if (!choice) return;
    exportFilterIndex_ = choice->filterIndex;
    // A form that holds lists already may take the group into one of them.
    switch (writeBack_.OfferToReplaceAList(choice->path)) {
        case WriteBackCommand::Replacement::kReplaced:
        case WriteBackCommand::Replacement::kCancelled:
            return;
        case WriteBackCommand::Replacement::kNoLists:
        case WriteBackCommand::Replacement::kOverwrite:
            break;
    }
    const FileForm form = ExportFormFor(choice->path, choice->filterIndex);
    std::optional<ImageListData> list;
    {
        WaitCursor cursor;
        list = ListOfGroup(document_.group());
    }
    const ConversionLosses losses = list ? LossesOfWriting(*list, form) : ConversionLosses{};
    // Asked before anything is written: "否" leaves no file.
    if (losses.Any() && ui_.Message(view_.DialogOwner(), ExportLossQuestion(losses), kProgramTitle,
                                    kYesNoQuestion) != IDYES) {
        return;
    }
    bool written = false;
    {
        WaitCursor cursor;
        written = list && WriteExport(choice->path, form, *list);
    }
    if (!written) {
        ui_.Message(view_.DialogOwner(), kSaveFailedMessage, kUntitledBoxTitle, kErrorBox);
    }
}

}  // namespace iconvale
