// Random command sequences against the real group, icon list and commands, with a plain model
// of what the group should hold running beside them. After every step the group must match the
// model; after every save, our reader and the platform's must both read the file back to it.
// The model keeps its own undo history, so that an undo must bring back exactly the images,
// count and modified flag of the earlier state, and a redo those of the later one.
// A failure names the sequence's seed: ICONVALE_SEQUENCE_SEED=<seed> ICONVALE_SEQUENCES=1
// replays just that sequence. ICONVALE_SEQUENCES alone sets how many sequences run.
//
// Colours are checked where they are predictable: 24 and 32 bits keep them exactly, 16 bits to
// within 8 a channel, 4 and 8 bits only the pure colours (every channel 0 or 255) that their
// fixed palettes hold. An image that passed through a conversion with no predictable result (a
// mixed colour into a palette, a transparent cell into a list without a mask) is still counted
// and sized, but its pixels are no longer compared.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "app/document_commands.h"
#include "app/edit_commands.h"
#include "app/main_window.h"
#include "app/picture_import.h"
#include "core/file_io.h"
#include "core/group_file.h"
#include "core/image_group.h"
#include "core/image_list_bridge.h"
#include "core/image_list_stream.h"
#include "imaging/image_formats.h"
#include "support/program_fixture.h"
#include "support/group_model.h"
#include "support/platform_streams.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"
#include "support/test_icons.h"
#include "support/test_pictures.h"
#include "support/wired_commands.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::ExpectedImage;
using testing::GroupModel;
using testing::Rgb;

constexpr unsigned kDefaultSeed = 20261208;
constexpr unsigned kDefaultSequences = 300;
constexpr COLORREF kKeyColour = 0x00FF00FF;  // the transparent colour every new group is given
constexpr Rgb kKeyRgb = 0xFF00FF;            // the same colour as a picture carries it
constexpr const char* kDepths[] = {"4", "8", "16", "24", "32"};
constexpr int kSides[] = {16, 24, 32};

enum class Step {
    New,
    AddWhole,
    AddCells,
    Replace,
    Delete,
    Clear,
    Merge,
    Save,
    SaveAs,
    Open,
    Undo,
    Redo,
    MoveUp,
    MoveDown,
    MoveBlock,
};
// How often each step is drawn, in the order above.
constexpr int kWeights[] = {1, 3, 3, 2, 2, 1, 1, 2, 1, 1, 3, 2, 1, 1, 1};
constexpr const char* kStepNames[] = {"New",   "AddWhole", "AddCells", "Replace",  "Delete",
                                      "Clear", "Merge",    "Save",     "SaveAs",   "Open",
                                      "Undo",  "Redo",     "MoveUp",   "MoveDown", "MoveBlock"};

// One step with every random choice it needs, so that the program and the model see the same.
struct Plan {
    Step step = Step::New;
    int width = 0, height = 0, depth = 32;  // New
    bool mask = false;
    bool badPressFirst = false;   // New: an OK with a depth the dialog refuses, first
    int discardAnswer = 0;        // New, Open: the answer to the save-changes question, 0 if none
    std::string discardSavePath;  // where a "yes" saves an untitled group
    bool cells = false;           // Add, Replace: the segmentation switch
    int pictureWidth = 0, pictureHeight = 0;
    std::vector<Rgb> colours;  // AddCells: one per cell; otherwise left and right half
    bool bmp = false;
    std::vector<int> selected;  // Delete, Replace: the list items selected before the command
    bool confirm = true;        // Clear
    std::string file;           // Save, SaveAs, Open, Merge: the file chosen ("" when none asked)
    int gap = 0;                // MoveBlock: where the selection goes, 0..count
};

std::string Describe(const Plan& plan) {
    std::ostringstream text;
    text << kStepNames[static_cast<int>(plan.step)];
    switch (plan.step) {
        case Step::New:
            text << " " << plan.width << "x" << plan.height << "x" << plan.depth
                 << (plan.mask ? " masked" : "")
                 << (plan.badPressFirst ? " after a refused OK" : "");
            break;
        case Step::AddWhole:
        case Step::AddCells:
        case Step::Replace:
            text << (plan.cells ? " cut" : " whole") << " " << plan.pictureWidth << "x"
                 << plan.pictureHeight << (plan.bmp ? " bmp" : " png") << std::hex;
            for (Rgb c : plan.colours) text << " " << c;
            text << std::dec;
            break;
        case Step::Clear:
            text << (plan.confirm ? " yes" : " no");
            break;
        case Step::MoveBlock:
            text << " to " << plan.gap;
            break;
        default:
            break;
    }
    if (!plan.selected.empty()) {
        text << " selecting";
        for (int i : plan.selected) text << " " << i;
    }
    if (plan.discardAnswer)
        text << (plan.discardAnswer == IDYES ? " saving first" : " discarding first");
    if (!plan.file.empty()) text << " file " << plan.file;
    return text.str();
}

unsigned EnvironmentNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// A saved file read by our reader and by the platform's, each against the model.
::testing::AssertionResult FileMatches(const std::string& path, const GroupModel& model) {
    const Bytes bytes = ReadWholeFile(path);
    const auto stream = StreamPart(bytes, HasGroupHeaderName(path));
    auto ours = ParseImageListStream(stream);
    if (!ours) return ::testing::AssertionFailure() << "our reader refuses " << path;
    if (auto result = testing::Matches(model, *ours); !result) {
        return ::testing::AssertionFailure()
               << "our reader of " << path << ": " << result.message();
    }
    UniqueImageList platform = testing::PlatformRead(stream);
    if (!platform) return ::testing::AssertionFailure() << "the platform refuses " << path;
    int width = 0, height = 0;
    ::ImageList_GetIconSize(platform.get(), &width, &height);
    if (::ImageList_GetImageCount(platform.get()) != ours->count || width != model.width ||
        height != model.height) {
        return ::testing::AssertionFailure()
               << "the platform reads " << ::ImageList_GetImageCount(platform.get())
               << " images of " << width << "x" << height << " from " << path;
    }
    auto seen = ReadImageList(platform.get(), FieldsOf(*ours));
    if (!seen)
        return ::testing::AssertionFailure() << "no images out of the platform's list of " << path;
    if (auto result = testing::Matches(model, *seen); !result) {
        return ::testing::AssertionFailure()
               << "the platform's reader of " << path << ": " << result.message();
    }
    return ::testing::AssertionSuccess();
}

class CommandSequenceTest : public testing::ProgramFixture {
protected:
    // The document as the model sees it.
    struct DocumentModel {
        GroupModel group;
        std::string path;
        bool modified = false;
        bool keyed = false;  // the segmentation cuts with the transparent colour
    };

    // ---- the generator ----

    std::string NewFileName() {
        // Most files carry the group header; a few are bare streams under another name.
        const bool bare = Chance(0.15);
        std::string name = "g";
        name += std::to_string(files_++);
        name += bare ? ".dat" : ".eil";
        return folder_.File(name);
    }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

    // A colour the group's depth keeps predictably, never the transparent colour.
    Rgb Colour(int depth) {
        for (;;) {
            Rgb colour = 0;
            for (int shift : {0, 8, 16}) {
                const int value = depth <= 8 ? 255 * Between(0, 1) : Between(0, 255);
                colour |= static_cast<Rgb>(value) << shift;
            }
            if (colour != kKeyRgb) return colour;
        }
    }

    // A group file made aside, for Open and Merge to find when nothing saved fits.
    void MakeGroupFile(int width, int height) {
        GroupModel model{width, height, std::atoi(kDepths[Between(0, 4)]), Chance(0.5), {}};
        ImageGroup made;
        ASSERT_TRUE(made.Create(width, height, model.depth | (model.mask ? ILC_MASK : 0)));
        for (int i = Between(0, 4); i > 0; --i) {
            const Rgb colour = Colour(model.depth);
            ASSERT_GE(made.AddIcon(testing::SolidIcon(width, height, colour).get()), 0);
            model.images.push_back(testing::EnterList({colour, colour}, model.depth, model.mask));
        }
        const std::string path = NewFileName();
        ASSERT_TRUE(testing::WriteBytes(path, made.SaveToBytes(HasGroupHeaderName(path) ? 1 : 0)));
        saved_[path] = model;
    }

    std::string PickSaved(int width, int height) {
        std::vector<std::string> fitting;
        for (const auto& [path, model] : saved_) {
            if (width == 0 || (model.width == width && model.height == height))
                fitting.push_back(path);
        }
        if (fitting.empty()) return {};
        return fitting[Between(0, static_cast<int>(fitting.size()) - 1)];
    }

    void PlanDiscard(Plan& plan) {
        if (!model_.modified) return;
        plan.discardAnswer = Chance(0.3) ? IDYES : IDNO;
        if (plan.discardAnswer == IDYES && model_.path.empty())
            plan.discardSavePath = NewFileName();
    }

    void PlanPicture(Plan& plan) {
        const GroupModel& g = model_.group;
        plan.bmp = Chance(0.3);
        if (plan.step == Step::AddCells) {
            const int cells = Between(1, 4);
            plan.pictureWidth = cells * g.width + Between(0, g.width - 1);
            plan.pictureHeight = g.height + Between(0, 3);
            for (int i = 0; i < cells; ++i) {
                const bool key = model_.keyed && Chance(0.25);
                plan.colours.push_back(key ? kKeyRgb : Colour(g.depth));
            }
            return;
        }
        plan.pictureWidth = 2 * Between(2, 24);
        plan.pictureHeight = Between(4, 48);
        const Rgb left = Colour(g.depth);
        // A cut replacement copies one bitmap into the cell: one colour, whatever its size.
        const bool halves = !plan.cells && Chance(0.5);
        plan.colours = {left, halves ? Colour(g.depth) : left};
    }

    void PlanSelection(Plan& plan, bool several) {
        const int count = static_cast<int>(model_.group.images.size());
        if (count == 0) return;
        for (int i = 0; i < count; ++i) {
            if (several && Chance(0.3)) plan.selected.push_back(i);
        }
        if (plan.selected.empty()) plan.selected.push_back(Between(0, count - 1));
        std::sort(plan.selected.begin(), plan.selected.end());
    }

    Plan Generate(bool first) {
        Plan plan;
        plan.step = first ? Step::New
                          : static_cast<Step>(std::discrete_distribution<int>(
                                std::begin(kWeights), std::end(kWeights))(random_));
        switch (plan.step) {
            case Step::New:
                plan.width = kSides[Between(0, 2)];
                plan.height = Chance(0.7) ? plan.width : kSides[Between(0, 2)];
                plan.depth = std::atoi(kDepths[Between(0, 4)]);
                plan.mask = Chance(0.5);
                plan.badPressFirst = Chance(0.1);
                PlanDiscard(plan);
                break;
            case Step::AddWhole:
            case Step::AddCells:
                plan.cells = plan.step == Step::AddCells;
                PlanPicture(plan);
                break;
            case Step::Replace:
                plan.cells = Chance(0.5);
                PlanPicture(plan);
                PlanSelection(plan, Chance(0.3));
                break;
            case Step::Delete:
                PlanSelection(plan, true);
                break;
            case Step::Clear:
                plan.confirm = Chance(0.8);
                break;
            case Step::Merge:
                plan.file = PickSaved(model_.group.width, model_.group.height);
                if (plan.file.empty() || Chance(0.2)) {
                    MakeGroupFile(model_.group.width, model_.group.height);
                    plan.file = PickSaved(model_.group.width, model_.group.height);
                }
                break;
            case Step::Save:
                if (model_.path.empty()) plan.file = NewFileName();
                break;
            case Step::SaveAs:
                plan.file = NewFileName();
                break;
            case Step::Open:
                PlanDiscard(plan);
                plan.file = PickSaved(0, 0);
                if (plan.file.empty() || Chance(0.3)) {
                    MakeGroupFile(kSides[Between(0, 2)], kSides[Between(0, 2)]);
                    plan.file = PickSaved(0, 0);
                }
                break;
            case Step::Undo:
            case Step::Redo:
                break;
            case Step::MoveUp:
            case Step::MoveDown:
                PlanSelection(plan, true);
                break;
            case Step::MoveBlock:
                PlanSelection(plan, true);
                plan.gap = Between(0, static_cast<int>(model_.group.images.size()));
                break;
        }
        return plan;
    }

    // ---- the program ----

    std::string PicturePath(const Plan& plan) {
        // A strip of cells and a picture of two halves can share a size and colours, yet differ.
        const bool strip = plan.step == Step::AddCells;
        std::ostringstream key;
        key << (strip ? "cells " : "halves ") << model_.group.width << ":" << plan.pictureWidth
            << "x" << plan.pictureHeight << (plan.bmp ? ".bmp" : ".png") << std::hex;
        for (Rgb c : plan.colours) key << "-" << c;
        auto found = pictures_.find(key.str());
        if (found != pictures_.end()) return found->second;
        std::string name = "p";
        name += std::to_string(pictures_.size());
        name += plan.bmp ? ".bmp" : ".png";
        const std::string path = folder_.File(name);
        const int cellWidth = model_.group.width;
        const auto& colours = plan.colours;
        const int half = plan.pictureWidth / 2;
        EXPECT_TRUE(testing::WritePicture(
            path, plan.pictureWidth, plan.pictureHeight,
            [&](int x, int) -> Argb {
                if (strip)
                    return 0xFF000000u |
                           colours[std::min<std::size_t>(x / cellWidth, colours.size() - 1)];
                return 0xFF000000u | (x < half ? colours[0] : colours[1]);
            },
            plan.bmp ? kBmpFormat : kPngFormat));
        pictures_[key.str()] = path;
        return path;
    }

    void Select(const std::vector<int>& items) { testing::SelectOnly(window_.iconList(), items); }

    void ScriptDiscard(const Plan& plan) {
        if (!plan.discardAnswer) return;
        ui_.answers.push_back(plan.discardAnswer);
        if (!plan.discardSavePath.empty()) ui_.files.push_back(FileChoice{plan.discardSavePath, 1});
    }

    void ApplyToProgram(const Plan& plan) {
        Select(plan.selected);
        choices().autoSegmentation = plan.cells ? 1 : 0;
        const bool fileAsked = !plan.file.empty();
        switch (plan.step) {
            case Step::New: {
                ScriptDiscard(plan);
                const std::string w = std::to_string(plan.width), h = std::to_string(plan.height);
                const std::string depth = std::to_string(plan.depth);
                std::vector<NewGroupInputs> presses;
                if (plan.badPressFirst)
                    presses.push_back(
                        testing::Inputs(w.c_str(), h.c_str(), "0", plan.mask, kKeyColour));
                presses.push_back(
                    testing::Inputs(w.c_str(), h.c_str(), depth.c_str(), plan.mask, kKeyColour));
                ui_.newGroupPresses.push_back(presses);
                commands_.New();
                break;
            }
            case Step::AddWhole:
            case Step::AddCells:
                ui_.files.push_back(FileChoice{PicturePath(plan), 5});
                import_.Add();
                break;
            case Step::Replace:
                if (!plan.selected.empty()) ui_.files.push_back(FileChoice{PicturePath(plan), 5});
                import_.Replace();
                break;
            case Step::Delete:
                commands_.Delete();
                break;
            case Step::Clear:
                ui_.answers.push_back(plan.confirm ? IDYES : IDNO);
                commands_.Clear();
                break;
            case Step::Merge:
                ui_.files.push_back(FileChoice{plan.file, 1});
                commands_.Merge();
                break;
            case Step::Save:
                if (fileAsked) ui_.files.push_back(FileChoice{plan.file, 1});
                commands_.Save();
                break;
            case Step::SaveAs:
                ui_.files.push_back(FileChoice{plan.file, 1});
                commands_.SaveAs();
                break;
            case Step::Open:
                ScriptDiscard(plan);
                ui_.files.push_back(FileChoice{plan.file, 1});
                commands_.Open();
                break;
            case Step::Undo:
                edit_.Undo();
                break;
            case Step::Redo:
                edit_.Redo();
                break;
            case Step::MoveUp:
                edit_.MoveUp();
                break;
            case Step::MoveDown:
                edit_.MoveDown();
                break;
            case Step::MoveBlock:
                edit_.MoveTo(plan.selected, plan.gap);
                break;
        }
    }

    // ---- the model ----

    // The files this step saved, each with what it must hold.
    using Saves = std::vector<std::pair<std::string, GroupModel>>;

    void Saved(const std::string& path, Saves& saves) {
        saved_[path] = model_.group;
        saves.emplace_back(path, model_.group);
    }

    void DiscardInModel(const Plan& plan, Saves& saves) {
        if (plan.discardAnswer != IDYES) return;
        Saved(plan.discardSavePath.empty() ? model_.path : plan.discardSavePath, saves);
    }

    ExpectedImage FromPicture(Rgb left, Rgb right, bool keyed) const {
        ExpectedImage image{left, right};
        image.transparent = keyed && left == kKeyRgb;
        return testing::EnterList(image, model_.group.depth, model_.group.mask);
    }

    Saves ApplyToModel(const Plan& plan) {
        Saves saves;
        GroupModel& g = model_.group;
        switch (plan.step) {
            case Step::New:
                DiscardInModel(plan, saves);
                model_ = DocumentModel{
                    {plan.width, plan.height, plan.depth, plan.mask, {}}, "", false, plan.mask};
                StartHistory();
                break;
            case Step::AddWhole:
                g.images.push_back(FromPicture(plan.colours[0], plan.colours[1], false));
                Record();
                break;
            case Step::AddCells:
                for (Rgb colour : plan.colours)
                    g.images.push_back(FromPicture(colour, colour, model_.keyed));
                Record();
                break;
            case Step::Replace:
                if (plan.selected.empty()) break;
                g.images[plan.selected.front()] =
                    FromPicture(plan.colours[0], plan.colours[1], false);
                Record();
                break;
            case Step::Delete:
                for (auto i = plan.selected.rbegin(); i != plan.selected.rend(); ++i)
                    g.images.erase(g.images.begin() + *i);
                if (!plan.selected.empty()) Record();
                break;
            case Step::Clear:
                if (!plan.confirm) break;
                g.images.clear();
                Record();
                break;
            case Step::Merge:
                for (const ExpectedImage& image : saved_.at(plan.file).images) {
                    g.images.push_back(testing::EnterList(image, g.depth, g.mask));
                }
                // A merge that adds nothing changes nothing.
                if (!saved_.at(plan.file).images.empty()) Record();
                break;
            case Step::Save:
                if (model_.path.empty()) model_.path = plan.file;
                Saved(model_.path, saves);
                model_.modified = false;
                savedAt_ = position_;
                break;
            case Step::SaveAs:
                Saved(plan.file, saves);
                model_.modified = false;
                savedAt_ = position_;
                break;
            case Step::Open:
                DiscardInModel(plan, saves);
                model_.group = saved_.at(plan.file);
                model_.path = plan.file;
                model_.modified = false;
                StartHistory();
                break;
            case Step::Undo:
                StepHistory(-1);
                break;
            case Step::Redo:
                StepHistory(1);
                break;
            case Step::MoveUp:
            case Step::MoveDown:
            case Step::MoveBlock:
                selectionAfter_ = MoveInModel(plan);
                if (selectionAfter_) Record();
                break;
        }
        return saves;
    }

    // ---- the model's history ----

    void StartHistory() {
        states_ = {model_.group};
        position_ = 0;
        savedAt_ = 0;
    }

    // The group as it is now becomes the state after one change.
    void Record() {
        states_.resize(position_ + 1);
        if (savedAt_ && *savedAt_ > position_) savedAt_.reset();
        states_.push_back(model_.group);
        ++position_;
        model_.modified = true;
    }

    void StepHistory(int by) {
        if (by < 0 ? position_ == 0 : position_ + 1 >= states_.size()) return;
        position_ += by;
        model_.group = states_[position_];
        model_.modified = savedAt_ != position_;
    }

    // Where the moved images end, or nullopt when none of them moves.
    std::optional<std::vector<int>> MoveInModel(const Plan& plan) {
        std::vector<ExpectedImage>& images = model_.group.images;
        const std::vector<int>& picked = plan.selected;  // ascending
        const int count = static_cast<int>(images.size());
        if (picked.empty()) return std::nullopt;
        std::vector<int> moved;
        if (plan.step == Step::MoveUp) {
            if (picked.front() == 0) return std::nullopt;
            for (int i : picked) {
                std::swap(images[i - 1], images[i]);
                moved.push_back(i - 1);
            }
            return moved;
        }
        if (plan.step == Step::MoveDown) {
            if (picked.back() == count - 1) return std::nullopt;
            for (auto i = picked.rbegin(); i != picked.rend(); ++i) {
                std::swap(images[*i], images[*i + 1]);
            }
            for (int i : picked) moved.push_back(i + 1);
            return moved;
        }
        std::vector<ExpectedImage> block, rest;
        int restBeforeGap = 0;
        for (int i = 0; i < count; ++i) {
            if (std::binary_search(picked.begin(), picked.end(), i)) {
                block.push_back(images[i]);
            } else {
                rest.push_back(images[i]);
                if (i < plan.gap) ++restBeforeGap;
            }
        }
        for (int i = 0; i < static_cast<int>(block.size()); ++i) moved.push_back(restBeforeGap + i);
        if (moved == picked) return std::nullopt;
        rest.insert(rest.begin() + restBeforeGap, block.begin(), block.end());
        images = std::move(rest);
        return moved;
    }

    // ---- the check ----

    void Check(const Plan& plan, const Saves& saves) {
        EXPECT_TRUE(ui_.answers.empty() && ui_.files.empty() && ui_.newGroupPresses.empty())
            << "the command did not ask all it was expected to";
        int failures = 0;
        for (const auto& shown : ui_.messages) {
            if (shown.text.find("失败") != std::string::npos) ++failures;
        }
        std::string shown;
        for (const auto& text : ui_.MessageTexts()) shown += text + "\n";
        EXPECT_EQ(failures, plan.badPressFirst ? 1 : 0) << shown;
        ASSERT_TRUE(group().IsCreated());
        auto images = ParseImageListStream(StreamPart(group().SaveToBytes(0), false));
        ASSERT_TRUE(images);
        ASSERT_TRUE(testing::Matches(model_.group, *images)) << "the open group";
        EXPECT_EQ(ListCount(), static_cast<LRESULT>(model_.group.images.size()))
            << "the icon list shows another count";
        EXPECT_EQ(document().modified() != 0, model_.modified);
        EXPECT_EQ(document().path(), model_.path);
        EXPECT_EQ(document().CanUndo(), position_ > 0);
        EXPECT_EQ(document().CanRedo(), position_ + 1 < states_.size());
        if (selectionAfter_) {
            EXPECT_EQ(window_.SelectedIndices(), *selectionAfter_) << "the selection follows";
        }
        for (const auto& [path, model] : saves) ASSERT_TRUE(FileMatches(path, model));
    }

    // ---- the run ----

    static void Remove(const std::string& path) { ::DeleteFileW(WidePtr(ToWide(path))); }

    void RunSequence(unsigned seed, int& steps) {
        SCOPED_TRACE("sequence seed " + std::to_string(seed) +
                     ": replay with ICONVALE_SEQUENCE_SEED=" + std::to_string(seed) +
                     " ICONVALE_SEQUENCES=1");
        random_.seed(seed);
        // The last sequence's files go, and names count from 0 again: a folder that grew by
        // thousands of files would slow every later lookup in it.
        for (int i = 0; i < files_; ++i) {
            for (const char* extension : {".eil", ".dat"}) {
                Remove(folder_.File(std::string("g").append(std::to_string(i)).append(extension)));
            }
        }
        for (const auto& [shows, path] : pictures_) Remove(path);
        files_ = 0;
        saved_.clear();
        pictures_.clear();
        // Each sequence starts from a clean document, so that it replays alone as it ran here.
        if (group().IsCreated()) MarkSaved();
        model_.modified = false;
        const int length = Between(10, 20);
        for (int i = 0; i < length; ++i) {
            const Plan plan = Generate(i == 0);
            if (HasFatalFailure()) return;
            SCOPED_TRACE("step " + std::to_string(i) + ": " + Describe(plan));
            ui_.messages.clear();
            selectionAfter_.reset();
            ApplyToProgram(plan);
            const Saves saves = ApplyToModel(plan);
            Check(plan, saves);
            ++steps;
            if (HasFailure()) return;
        }
    }

    testing::WiredCommands wired_{program_, window_, ui_, folder_.File("seting.ini")};
    DocumentCommands& commands_ = wired_.document;
    PictureImport& import_ = wired_.pictures;
    EditCommands edit_{program_.document(), window_, ui_};

    std::mt19937 random_;
    DocumentModel model_;
    // The model's undo history: every state since the last New or Open, the current one among
    // them, and which of them the file holds.
    std::vector<GroupModel> states_;
    std::size_t position_ = 0;
    std::optional<std::size_t> savedAt_;
    std::optional<std::vector<int>> selectionAfter_;  // after a move that moved something
    std::map<std::string, GroupModel> saved_;         // this sequence's files and what they hold
    std::map<std::string, std::string> pictures_;     // pictures already written, by what they show
    int files_ = 0;
};

TEST_F(CommandSequenceTest, RandomSequencesKeepTheGroupItsFilesAndTheModelInStep) {
    const unsigned seed = EnvironmentNumber("ICONVALE_SEQUENCE_SEED", kDefaultSeed);
    const unsigned sequences = EnvironmentNumber("ICONVALE_SEQUENCES", kDefaultSequences);
    const ULONGLONG start = ::GetTickCount64();
    int steps = 0;
    unsigned run = 0;
    for (; run < sequences && !HasFailure(); ++run) RunSequence(seed + run, steps);
    const double seconds = static_cast<double>(::GetTickCount64() - start) / 1000;
    std::printf("%u sequences from seed %u, %d steps, %.1f s\n", run, seed, steps, seconds);
}

}  // namespace
}  // namespace iconvale
