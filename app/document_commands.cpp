#include "app/document_commands.h"

#include <commdlg.h>

#include "app/group_files.h"
#include "app/progress_texts.h"
#include "app/settings_file.h"
#include "ui/file_dialog_object.h"
#include "ui/setting_value.h"

namespace iconvale {

DocumentCommands::DocumentCommands(Document& document, SessionChoices& choices, DocumentView& view,
                                   ModalUi& ui, FileDialogObject& dialog, std::string settingsPath,
                                   ProgressReporter& progress)
    : document_(document),
      choices_(choices),
      view_(view),
      ui_(ui),
      dialog_(dialog),
      settingsPath_(std::move(settingsPath)),
      progress_(progress) {}

bool DocumentCommands::RequireGroup() {
    if (document_.HasGroup()) return true;
    ui_.Inform(view_.DialogOwner(), kNoGroupMessage);
    return false;
}

void DocumentCommands::SaveFailed() {
    ui_.Message(view_.DialogOwner(), kSaveFailedMessage, kUntitledBoxTitle, kErrorBox);
}

std::optional<FileChoice> DocumentCommands::ChooseGroupFile(const char* title, DWORD flags,
                                                            FileDialogKind kind) {
    dialog_.SetUp(flags, title, "", kGroupFilter, choices_.groupFilterIndex, "", "eil");
    auto choice = ui_.ChooseFile(dialog_, view_.DialogOwner(), kind);
    if (choice) choices_.groupFilterIndex = choice->filterIndex;
    return choice;
}

bool DocumentCommands::ConfirmDiscard() {
    return AskToSave(true);
}

bool DocumentCommands::ConfirmReplace() {
    return AskToSave(false);
}

bool DocumentCommands::AskToSave(bool discardOnNo) {
    if (!document_.modified()) return true;
    std::string question = "图片组 " + document_.path() + "\r\n已经改变 需要保存吗？";
    switch (ui_.Message(view_.DialogOwner(), question, kProgramTitle, kYesNoCancelQuestion)) {
        case IDYES: {
            std::string path = document_.path();
            if (path.empty()) {
                auto choice = ChooseGroupFile("保存图片组", 0, FileDialogKind::Save);
                // Cancelling the save stops the command: nothing is saved, nothing is lost.
                if (!choice) return false;
                path = choice->path;
            }
            // The file holds the changes now, whatever the asking command does next.
            if (document_.SaveTo(path)) return true;
            SaveFailed();
            return false;
        }
        case IDNO:
            // Discarded now, or kept for the replacing command's undo step until it has worked.
            if (discardOnNo) document_.Discard();
            return true;
        default:
            return false;
    }
}

bool DocumentCommands::MergeGroupFrom(const std::string& path) {
    ImageGroup other;
    const bool read = ReadGroupFile(path, other, StepsFor(progress_, kMergingProgress));
    progress_.End();
    if (!read) return false;
    document_.Change([&](ImageGroup& group) {
        const int added =
            group.AddIcons(other.GetCount(), [&](int i) { return other.GetIcon(i, ILD_NORMAL); });
        if (added < other.GetCount()) ui_.Fail(view_.DialogOwner(), "合并图片组失败！");
        // Only what was added is a step; an empty group or a first failure leaves none.
        return added > 0;
    });
    return true;
}

void DocumentCommands::New() {
    if (!ConfirmDiscard()) return;
    made_.reset();
    NewGroupDialogHooks hooks;
    hooks.opened = [this] {
        choices_.useTransparentColour = LoadUseColour(settingsPath_) == 1;
        return choices_.useTransparentColour;
    };
    hooks.confirmed = [this](const NewGroupInputs& inputs) { return CreateFromDialog(inputs); };
    ui_.ShowNewGroupDialog(hooks);
    // A cancelled dialog leaves the open group, its file and its changes as they were.
    if (!made_) return;
    document_.Create(*made_, choices_.transparentColour);
    made_.reset();
}

bool DocumentCommands::CreateFromDialog(const NewGroupInputs& inputs) {
    choices_.transparentColour = inputs.colour;
    const int width = SettingToInt(inputs.widthText);
    const int height = SettingToInt(inputs.heightText);
    const int depth = SettingToInt(inputs.depthText);
    const std::uint32_t flags =
        static_cast<std::uint32_t>(depth) | (inputs.useTransparentColour ? ILC_MASK : 0);
    ImageGroup made;
    if (depth <= 0 || !made.Create(width, height, flags, 0)) {
        ui_.Fail(nullptr, "错误！创建图片组失败！");
        return false;
    }
    made_.emplace();
    made_->TakeListFrom(made);
    choices_.useTransparentColour = inputs.useTransparentColour;
    SaveUseColour(settingsPath_, choices_.useTransparentColour ? 1 : 0);
    return true;
}

void DocumentCommands::Open() {
    if (!ConfirmDiscard()) return;
    auto choice = ChooseGroupFile("打开图片组", kGroupDialogFlags, FileDialogKind::Open);
    if (!choice) return;
    if (!document_.Open(choice->path, progress_)) ui_.Fail(view_.DialogOwner(), kOpenFailedMessage);
}

void DocumentCommands::Save() {
    if (!RequireGroup()) return;
    std::string path = document_.path();
    if (path.empty()) {
        auto choice = ChooseGroupFile("保存图片组", kGroupDialogFlags, FileDialogKind::Save);
        if (!choice) return;
        path = choice->path;
    }
    if (!document_.SaveTo(path)) SaveFailed();
}

void DocumentCommands::SaveAs() {
    if (!RequireGroup()) return;
    auto choice = ChooseGroupFile("另存图片组", kGroupDialogFlags, FileDialogKind::Save);
    if (!choice) return;
    if (!document_.SaveCopyTo(choice->path)) SaveFailed();
}

void DocumentCommands::Clear() {
    if (!RequireGroup()) return;
    if (ui_.Message(view_.DialogOwner(), "你真的要清空所有图标吗？", kProgramTitle,
                    kYesNoQuestion) != IDYES) {
        return;
    }
    // Even an empty group counts as changed once the user confirmed.
    document_.Change([](ImageGroup& group) {
        group.Clear();
        return true;
    });
}

void DocumentCommands::Delete() {
    if (!RequireGroup()) return;
    std::vector<int> selected = view_.SelectedIndices();
    if (selected.empty()) {
        ui_.Inform(view_.DialogOwner(), "请在列表框中选择要删除的图标");
        return;
    }
    document_.Change([&](ImageGroup& group) {
        // Each removal moves the later images down by one, hence index minus removals so far.
        std::size_t k = 0;
        for (; k < selected.size(); ++k) {
            if (!group.Remove(selected[k] - static_cast<int>(k))) {
                ui_.Fail(view_.DialogOwner(), "删除图标失败！");
                break;
            }
        }
        return k > 0;
    });
}

void DocumentCommands::Merge() {
    if (!RequireGroup()) return;
    auto choice = ChooseGroupFile("合并图片组", kGroupDialogFlags, FileDialogKind::Open);
    if (!choice) return;
    if (!MergeGroupFrom(choice->path)) ui_.Fail(view_.DialogOwner(), "合并图片组失败！");
}

}  // namespace iconvale
