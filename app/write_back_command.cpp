#include "app/write_back_command.h"

#include "app/document_commands.h"
#include "app/exchange_commands.h"
#include "core/conversion_losses.h"
#include "core/file_io.h"
#include "core/form_write_back.h"
#include "core/group_lists.h"
#include "core/sizes_in_step.h"
#include "core/image_list_container.h"
#include "ui/ui_language.h"
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
    const FormOrigin* origin = document_.origin();
    if (!origin) return false;
    const auto fingerprint = WriteInto(origin->path, origin->list, origin->size,
                                       origin->fingerprint, document_.SourcesInFile());
    if (!fingerprint) return false;
    document_.MarkWrittenBack(*fingerprint);
    return true;
}

WriteBackCommand::Replacement WriteBackCommand::OfferToReplaceAList(const std::string& path) {
    HWND owner = view_.DialogOwner();
    ContainerContents contents;
    {
        WaitCursor cursor;
        contents = ReadContainer(ReadWholeFile(path));
    }
    if (contents.error || contents.lists.empty()) return Replacement::kNoLists;
    const int answer =
        ui_.Message(owner, kReplaceListQuestion, kProgramTitle, kYesNoCancelQuestion);
    if (answer == IDNO) return Replacement::kOverwrite;
    if (answer != IDYES) return Replacement::kCancelled;
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    const std::vector<ImageListSummary> summaries = ListSummaries(contents, rows);
    const int index = ui_.ChooseImageList(owner, summaries, ListChoice::kReplace);
    if (index < 0 || index >= static_cast<int>(rows.size())) return Replacement::kCancelled;
    const ContainedImageList& chosen = contents.lists[rows[index].first];
    const bool written = WriteInto(path, chosen.name, rows[index].second, std::nullopt).has_value();
    return written ? Replacement::kReplaced : Replacement::kCancelled;
}

std::optional<std::uint64_t> WriteBackCommand::WriteInto(const std::string& path,
                                                         const std::string& name, std::size_t size,
                                                         std::optional<std::uint64_t> expected,
                                                         std::span<const int> sources) {
    HWND owner = view_.DialogOwner();
    WaitCursor cursor;
    const std::optional<ImageListData> images = ListOfGroup(document_.group());
    const Bytes file = ReadWholeFile(path);
    if (!images || file.empty()) {
        cursor.Restore();
        ui_.Fail(owner, Translated(kWriteBackFailedMessage) +
                            Translated(images ? "\r\n文件无法读取，或是空文件"
                                              : "\r\n无法创建这个图片列表"));
        return std::nullopt;
    }
    const ContainerContents contents = ReadContainer(file);
    const ContainedImageList* list = FindList(contents, name);
    cursor.Restore();
    if (expected && !contents.error && list && ListFingerprint(*list) != *expected &&
        ui_.Message(owner, kFormChangedQuestion, kProgramTitle, kYesNoQuestion) != IDYES) {
        return std::nullopt;
    }
    const ConversionLosses losses = LossesOfWriting(*images, WrittenFormOf(contents.form));
    if (!contents.error && list && losses.Any() &&
        ui_.Message(owner, ExportLossQuestion(losses), kProgramTitle, kYesNoQuestion) != IDYES) {
        return std::nullopt;
    }
    ContainerError error;
    Bytes written;
    {
        WaitCursor writing;
        written = sources.empty() ? WriteBackList(file, name, size, *images, error)
                                  : WriteBackInStep(file, name, size, *images, sources, error);
    }
    if (written.empty()) {
        ui_.Fail(owner, Translated(kWriteBackFailedMessage) + "\r\n" + ContainerProblemText(error));
        return std::nullopt;
    }
    // The fingerprint the list has now, for the next write-back's question.
    const ContainerContents after = ReadContainer(written);
    const ContainedImageList* rewritten = FindList(after, name);
    bool saved = false;
    {
        WaitCursor writing;
        saved = rewritten && WriteFileAtomically(path, written);
    }
    if (!saved) {
        ui_.Message(owner, kSaveFailedMessage, kUntitledBoxTitle, kErrorBox);
        return std::nullopt;
    }
    return ListFingerprint(*rewritten);
}

}  // namespace iconvale
