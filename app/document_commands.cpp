#include "app/document_commands.h"

#include <commdlg.h>

#include "app/setting_value.h"
#include "app/settings_file.h"
#include "core/file_io.h"
#include "core/group_file.h"
#include "ui/file_dialog_object.h"

namespace iconvale {

namespace {

int HeaderFlagFor(const std::string& path) {
    return HasGroupHeaderName(path) ? 1 : 0;
}

}  // namespace

DocumentCommands::DocumentCommands(Program& program, DocumentView& view, ModalUi& ui,
                                   FileDialogObject& dialog, std::string settingsPath)
    : program_(program),
      view_(view),
      ui_(ui),
      dialog_(dialog),
      settingsPath_(std::move(settingsPath)) {}

void DocumentCommands::AttachGroup() {
    view_.AttachImages(group().GetHandle());
}

void DocumentCommands::DiscardGroup() {
    view_.AttachImages(nullptr);
    group().Destroy();
}

bool DocumentCommands::RequireGroup() {
    if (group().IsCreated()) return true;
    ui_.Inform(view_.DialogOwner(), kNoGroupMessage);
    return false;
}

void DocumentCommands::Refresh() {
    view_.RebuildIconList();
    view_.UpdateStatusBar(values().currentPath);
}

std::optional<FileChoice> DocumentCommands::ChooseGroupFile(const char* title, DWORD flags,
                                                            FileDialogKind kind) {
    dialog_.SetUp(flags, title, "", kGroupFilter, values().groupFilterIndex, "", "eil");
    auto choice = ui_.ChooseFile(dialog_, view_.DialogOwner(), kind);
    if (choice) values().groupFilterIndex = choice->filterIndex;
    return choice;
}

bool DocumentCommands::ConfirmDiscard() {
    if (values().modified == 0) return true;
    std::string question = "图片组 " + values().currentPath + "\r\n已经改变 需要保存吗？";
    switch (ui_.Message(view_.DialogOwner(), question, kProgramTitle, kYesNoCancelQuestion)) {
        case IDYES: {
            if (values().currentPath.empty()) {
                auto choice = ChooseGroupFile("保存图片组", 0, FileDialogKind::Save);
                // Cancelling the save stops the command: nothing is saved, nothing is lost.
                if (!choice) return false;
                values().currentPath = choice->path;
            }
            if (SaveGroupTo(values().currentPath)) {
                // The file holds the changes now, whatever the asking command does next.
                values().modified = 0;
                view_.UpdateStatusBar(values().currentPath);
                return true;
            }
            ui_.Message(view_.DialogOwner(), kSaveFailedMessage, kUntitledBoxTitle, kErrorBox);
            return false;
        }
        case IDNO:
            DiscardGroup();
            // The changes are gone with the group; nothing is left to ask about.
            values().modified = 0;
            return true;
        default:
            return false;
    }
}

bool DocumentCommands::SaveGroupTo(const std::string& path) {
    Bytes bytes = group().SaveToBytes(HeaderFlagFor(path));
    return !bytes.empty() && WriteFileAtomically(path, bytes);
}

bool DocumentCommands::OpenGroupFrom(const std::string& path) {
    DiscardGroup();
    if (!group().LoadFromBytes(ReadWholeFile(path), HeaderFlagFor(path))) return false;
    AttachGroup();
    return true;
}

bool DocumentCommands::MergeGroupFrom(const std::string& path) {
    ImageGroup other;
    if (!other.LoadFromBytes(ReadWholeFile(path), HeaderFlagFor(path))) return false;
    for (int i = 0; i < other.GetCount(); ++i) {
        UniqueIcon icon = other.GetIcon(i, ILD_NORMAL);
        if (group().AddIcon(icon.get()) == -1) {
            ui_.Fail(view_.DialogOwner(), "合并图片组失败！");
            break;
        }
    }
    values().modified = 1;
    return true;
}

void DocumentCommands::New() {
    if (!ConfirmDiscard()) return;
    createdInDialog_ = false;
    NewGroupDialogHooks hooks;
    hooks.opened = [this] {
        values().useTransparentColour = LoadUseColour(settingsPath_);
        return values().useTransparentColour == 1;
    };
    hooks.confirmed = [this](const NewGroupInputs& inputs) { return CreateFromDialog(inputs); };
    ui_.ShowNewGroupDialog(hooks);
    // A cancelled dialog leaves the open group, its file and its changes as they were.
    if (!createdInDialog_ || !group().IsCreated()) return;
    AttachGroup();
    group().SetBackgroundColour(values().transparentColour);
    view_.RebuildIconList();
    values().currentPath.clear();
    values().modified = 0;
    view_.UpdateStatusBar(kUntitledStatus);
}

bool DocumentCommands::CreateFromDialog(const NewGroupInputs& inputs) {
    values().transparentColour = inputs.colour;
    const int width = SettingToInt(inputs.widthText);
    const int height = SettingToInt(inputs.heightText);
    const int depth = SettingToInt(inputs.depthText);
    const std::uint32_t flags =
        static_cast<std::uint32_t>(depth) | (inputs.useTransparentColour ? ILC_MASK : 0);
    // Made aside first, so that a failure leaves the open group untouched.
    ImageGroup made;
    if (depth <= 0 || !made.Create(width, height, flags, 0)) {
        ui_.Fail(nullptr, "错误！创建图片组失败！");
        return false;
    }
    view_.AttachImages(nullptr);
    group().TakeListFrom(made);
    createdInDialog_ = true;
    values().useTransparentColour = inputs.useTransparentColour ? 1 : 0;
    SaveUseColour(settingsPath_, values().useTransparentColour);
    return true;
}

void DocumentCommands::Open() {
    if (!ConfirmDiscard()) return;
    auto choice = ChooseGroupFile("打开图片组", kGroupDialogFlags, FileDialogKind::Open);
    if (!choice) return;
    values().currentPath = choice->path;
    if (!OpenGroupFrom(values().currentPath)) ui_.Fail(view_.DialogOwner(), kOpenFailedMessage);
    values().modified = 0;
    Refresh();
}

void DocumentCommands::Save() {
    if (!RequireGroup()) return;
    if (values().currentPath.empty()) {
        auto choice = ChooseGroupFile("保存图片组", kGroupDialogFlags, FileDialogKind::Save);
        if (!choice) return;
        values().currentPath = choice->path;
    }
    if (SaveGroupTo(values().currentPath)) {
        values().modified = 0;
        view_.UpdateStatusBar(values().currentPath);
    } else {
        ui_.Message(view_.DialogOwner(), kSaveFailedMessage, kUntitledBoxTitle, kErrorBox);
    }
}

void DocumentCommands::SaveAs() {
    if (!RequireGroup()) return;
    auto choice = ChooseGroupFile("另存图片组", kGroupDialogFlags, FileDialogKind::Save);
    if (!choice) return;
    if (SaveGroupTo(choice->path)) {
        values().modified = 0;
    } else {
        ui_.Message(view_.DialogOwner(), kSaveFailedMessage, kUntitledBoxTitle, kErrorBox);
    }
}

void DocumentCommands::Clear() {
    if (!RequireGroup()) return;
    if (ui_.Message(view_.DialogOwner(), "你真的要清空所有图标吗？", kProgramTitle,
                    kYesNoQuestion) != IDYES) {
        return;
    }
    const int count = group().GetCount();
    for (int i = 0; i < count; ++i) group().Remove(0);
    view_.RebuildIconList();
    values().modified = 1;
    view_.UpdateStatusBar(values().currentPath);
}

void DocumentCommands::Delete() {
    if (!RequireGroup()) return;
    std::vector<int> selected = view_.SelectedIndices();
    if (selected.empty()) {
        ui_.Inform(view_.DialogOwner(), "请在列表框中选择要删除的图标");
        return;
    }
    // Each removal moves the later images down by one, hence index minus removals so far.
    for (std::size_t k = 0; k < selected.size(); ++k) {
        if (!group().Remove(selected[k] - static_cast<int>(k))) {
            ui_.Fail(view_.DialogOwner(), "删除图标失败！");
            break;
        }
    }
    values().modified = 1;
    Refresh();
}

void DocumentCommands::Merge() {
    if (!RequireGroup()) return;
    auto choice = ChooseGroupFile("合并图片组", kGroupDialogFlags, FileDialogKind::Open);
    if (!choice) return;
    if (!MergeGroupFrom(choice->path)) ui_.Fail(view_.DialogOwner(), "合并图片组失败！");
    Refresh();
}

}  // namespace iconvale
