#include "app/write_back_command.h"

#include "app/document_commands.h"
#include "app/exchange_commands.h"
#include "core/conversion_losses.h"
#include "core/file_io.h"
#include "core/form_write_back.h"
#include "core/group_lists.h"
#include "core/image_list_container.h"
#include "ui/wait_cursor.h"

namespace iconvale {

namespace {

// The rules of the file form the list is written in, for what it cannot keep.
FileForm WrittenFormOf(ContainerForm form) {
    switch (form) {
        case ContainerForm::kLazarusForm:
            return FileForm::kLazarusForm;
        case ContainerForm::kResx:
            return FileForm::kResx;
        case ContainerForm::kStream:
            return FileForm::kBare;
        default:
            return FileForm::kDelphiForm;
    }
}

const ContainedImageList* FindList(const ContainerContents& contents, const std::string& name) {
    for (const ContainedImageList& list : contents.lists) {
        if (list.name == name) return &list;
    }
    return nullptr;
}

}  // namespace

bool WriteBackCommand::WriteBack() {
    const FormOrigin* found = document_.origin();
    if (!found) return false;
    const FormOrigin origin = *found;
    HWND owner = view_.DialogOwner();
    WaitCursor cursor;
    const std::optional<ImageListData> images = ListOfGroup(document_.group());
    const Bytes file = ReadWholeFile(origin.path);
    if (!images || file.empty()) {
        cursor.Restore();
        ui_.Fail(owner, std::string(kWriteBackFailedMessage) + "\r\n" +
                            (images ? "文件无法读取，或是空文件" : "无法创建这个图片列表"));
        return false;
    }
    const ContainerContents contents = ReadContainer(file);
    const ContainedImageList* list = FindList(contents, origin.list);
    cursor.Restore();
    if (!contents.error && list && ListFingerprint(*list) != origin.fingerprint &&
        ui_.Message(owner, kFormChangedQuestion, kProgramTitle, kYesNoQuestion) != IDYES) {
        return false;
    }
    const ConversionLosses losses = LossesOfWriting(*images, WrittenFormOf(contents.form));
    if (!contents.error && list && losses.Any() &&
        ui_.Message(owner, ExportLossQuestion(losses), kProgramTitle, kYesNoQuestion) != IDYES) {
        return false;
    }
    ContainerError error;
    Bytes written;
    {
        WaitCursor writing;
        written = WriteBackList(file, origin.list, origin.size, *images, error);
    }
    if (written.empty()) {
        ui_.Fail(owner,
                 std::string(kWriteBackFailedMessage) + "\r\n" + ContainerProblemText(error));
        return false;
    }
    // The fingerprint the list has now, for the next write-back's question.
    const ContainerContents after = ReadContainer(written);
    const ContainedImageList* rewritten = FindList(after, origin.list);
    bool saved = false;
    {
        WaitCursor writing;
        saved = rewritten && WriteFileAtomically(origin.path, written);
    }
    if (!saved) {
        ui_.Message(owner, kSaveFailedMessage, kUntitledBoxTitle, kErrorBox);
        return false;
    }
    document_.MarkWrittenBack(ListFingerprint(*rewritten));
    return true;
}

}  // namespace iconvale
