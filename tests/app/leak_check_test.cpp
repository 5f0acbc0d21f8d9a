// Long runs of imports and commands, checked for leaks: the handles our owners hold come back to
// where they started, and so, within a slack, do the process's private bytes beyond what the undo
// history holds by design (up to its budget). The platform's own GDI and USER object counts are
// printed too, where the platform keeps them (Wine gives 0).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/document_commands.h"
#include "app/extraction.h"
#include "app/main_window.h"
#include "app/picture_import.h"
#include "app/platform_modal_ui.h"
#include "imaging/image_formats.h"
#include "support/program_fixture.h"
#include "support/dialog_driver.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"
#include "support/test_pictures.h"
#include "support/wired_commands.h"
#include "ui/file_dialog_object.h"
#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {
namespace {

using testing::Inputs;

// Heap growth a long run may show without leaking: the heap keeps some of what it was given
// back. Measured under Wine: well under 1 MiB after the warm-up round.
constexpr SIZE_T kPrivateSlack = 2u << 20;
constexpr std::size_t kHistoryBudgetForLeaks = 1u << 20;

struct Usage {
    LiveHandles handles;
    SIZE_T privateBytes = 0;  // less what the undo history holds
    SIZE_T history = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
};

Usage Measure(const Document& document) {
    Usage usage;
    usage.history = document.history().HeldBytes();
    usage.handles = LiveHandlesNow();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory)) {
        // Wine leaves PrivateUsage 0; its PagefileUsage is the same commit charge, as on Windows.
        usage.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        usage.privateBytes -= std::min(usage.privateBytes, usage.history);
    }
    usage.gdiObjects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    usage.userObjects = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    return usage;
}

std::string Describe(const Usage& u) {
    const LiveHandles& h = u.handles;
    char text[320];
    std::snprintf(
        text, sizeof text,
        "icons %ld bitmaps %ld brushes %ld dcs %ld lists %ld keys %ld menus %ld "
        "accelerators %ld globals %ld files %ld | private %lu KiB + history %lu KiB | GDI %lu "
        "USER %lu",
        h.icons, h.bitmaps, h.brushes, h.memoryDcs, h.imageLists, h.regKeys, h.menus,
        h.accelerators, h.globals, h.files, static_cast<unsigned long>(u.privateBytes >> 10),
        static_cast<unsigned long>(u.history >> 10), static_cast<unsigned long>(u.gdiObjects),
        static_cast<unsigned long>(u.userObjects));
    return text;
}

void ExpectBackWhereItStarted(const Usage& start, const Usage& end) {
    std::printf("[ leaks    ] start: %s\n[ leaks    ] end:   %s\n", Describe(start).c_str(),
                Describe(end).c_str());
    EXPECT_EQ(end.handles, start.handles) << Describe(start) << "\n" << Describe(end);
    EXPECT_LE(end.privateBytes, start.privateBytes + kPrivateSlack)
        << "private bytes grew by " << ((end.privateBytes - start.privateBytes) >> 10) << " KiB";
    EXPECT_LE(end.gdiObjects, start.gdiObjects);
    EXPECT_LE(end.userObjects, start.userObjects);
}

int RunLength(const char* variable, int fallback) {
    const char* text = std::getenv(variable);
    const int value = text ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

Argb Gradient(int x, int y) {
    return 0xFF000000u | (x * 8 & 0xFF) << 16 | (y * 8 & 0xFF) << 8 | 0x40;
}
Argb Keyed(int x, int) {
    return x % 2 ? 0xFFFF00FFu : 0xFF2080C0u;
}

class LeakCheckTest : public testing::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        if (HasFatalFailure()) return;
        // The undo history keeps what it may by design, and the heap keeps the high-water mark
        // of it; a small budget is full by the end of the warm-up, so it holds about as much at
        // both measurements.
        document().SetHistoryBudget(kHistoryBudgetForLeaks);
        ASSERT_TRUE(testing::WritePicture(File("a.png"), 32, 32, Gradient, kPngFormat));
        ASSERT_TRUE(testing::WritePicture(File("b.jpg"), 48, 40, Gradient, kJpegFormat));
        ASSERT_TRUE(testing::WritePicture(File("strip.bmp"), 96, 32, Keyed, kBmpFormat));
        ASSERT_TRUE(testing::WritePicture(File("strip.png"), 64, 32, Keyed, kPngFormat));
        ASSERT_TRUE(testing::WriteIconFile(File("c.ico"), {{16, 0xFFFF0000}, {32, 0x8000FF00}}));
        ASSERT_TRUE(testing::WriteBytes(File("broken.png"), Bytes{0x89, 'P', 'N', 'G', 1, 2, 3}));
        ASSERT_TRUE(testing::WriteBytes(File("broken.ico"), Bytes{0, 0, 1, 0, 9, 0}));
        pictures_ = {File("a.png"),      File("b.jpg"),       File("strip.bmp"),
                     File("strip.png"),  File("c.ico"),       File("broken.png"),
                     File("broken.ico"), File("missing.png"), File("missing.ico")};
        extracted_ = folder_.File("out");
        ASSERT_TRUE(::CreateDirectoryW(WidePtr(ToWide(extracted_)), nullptr));
        groupFile_ = File("group.eil");
    }

    std::string File(const char* name) const { return folder_.File(name); }

    void NewGroup(bool mask) {
        if (document().modified()) ui_.answers.push_back(IDNO);
        ui_.newGroupPresses.push_back({Inputs("32", "32", "32", mask, 0x00FF00FF)});
        commands_.New();
    }
    void Clear() {
        ui_.answers.push_back(IDYES);
        commands_.Clear();
    }

    // One import of picture k in one of the four modes; about a third of them fail.
    void Import(int k) {
        const std::string& path = pictures_[k % pictures_.size()];
        const int mode = static_cast<int>(k / pictures_.size()) % 4;
        choices().autoSegmentation = (mode & 1) != 0;
        choices().useTransparentColour = ((mode >> 1) & 1) != 0;
        if (k % 3 == 2) {
            imports_.ReplaceWithPictureFile(group().GetCount() > 0 ? k % group().GetCount() : 0,
                                            path);
        } else {
            imports_.AddPictureFile(path);
        }
        MarkChanged();
    }

    void ExtractOne(int k) {
        static const char* const kFormats[] = {kPngFormat, kBmpFormat, kJpegFormat, kIconFormat};
        if (group().GetCount() == 0) return;
        // Icons are no format extraction offers: that one fails.
        offeredExtractions_ += k % 4 != 3;
        extractions_ += extraction_.ExtractImageToFile(extracted_ + "\\", kFormats[k % 4],
                                                       k % group().GetCount());
        // Emptied at once: the folder would otherwise slow the search for a free name.
        WIN32_FIND_DATAW found{};
        const std::wstring folder = WidePtr(ToWide(extracted_));
        HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }

    // The program's own dialogs, opened and cancelled.
    void OpenAndCancelDialogs() {
        PlatformModalUi platform;
        auto cancel = [](HWND dialog) {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        };
        NewGroupDialogHooks hooks;
        hooks.opened = [] { return false; };
        hooks.confirmed = [](const NewGroupInputs&) { return false; };
        testing::RunModal("新建图片组", cancel, [&] { platform.ShowNewGroupDialog(hooks); });
        testing::RunModal("提取图标", cancel,
                          [&] { EXPECT_FALSE(platform.ShowExtractionDialog(extracted_)); });
    }

    // One of the commands, chosen by k.
    void Operation(int k) {
        ui_.messages.clear();
        ui_.fileDialogs.clear();
        ui_.newGroupOpenedTicked.clear();
        ui_.extractionFolders.clear();
        if (!group().IsCreated()) NewGroup(k % 2);
        switch (k % 12) {
            case 0:
                NewGroup(k % 24 == 0);
                break;
            case 1:
            case 2:
            case 3:
                Import(k / 12 * 3 + k % 12 - 1);
                break;
            case 4:
                ExtractOne(k / 12);
                break;
            case 5:
                ui_.files.push_back(FileChoice{groupFile_, 1});
                commands_.SaveAs();
                break;
            case 6:
                ui_.files.push_back(FileChoice{groupFile_, 1});
                commands_.Merge();
                break;
            case 7:
                ExtractOne(k / 12 + 1);
                break;
            case 8:
                Select({0});
                commands_.Delete();
                break;
            case 9:
                if (document().path().empty()) ui_.files.push_back(FileChoice{groupFile_, 1});
                commands_.Save();
                break;
            case 10:
                if (document().modified()) ui_.answers.push_back(IDNO);
                ui_.files.push_back(FileChoice{k % 24 == 10 ? groupFile_ : File("missing.eil"), 1});
                commands_.Open();
                if (!group().IsCreated()) NewGroup(false);
                break;
            default:
                Clear();
                break;
        }
        // Keeps the group small, so that a merge of its own file cannot double it for ever.
        if (group().GetCount() > 48) Clear();
        ui_.answers.clear();
        ui_.files.clear();
        ui_.newGroupPresses.clear();
    }

    FileDialogObject dialog_;
    testing::WiredCommands wired_{program_, window_, ui_, folder_.File("seting.ini"), dialog_};
    DocumentCommands& commands_ = wired_.document;
    PictureImport& imports_ = wired_.pictures;
    Extraction extraction_{program_.document(), program_.choices, window_, ui_, folder_.path()};
    std::vector<std::string> pictures_;
    std::string extracted_;
    std::string groupFile_;
    int extractions_ = 0;
    int offeredExtractions_ = 0;
};

TEST(LiveHandleCount, FollowsTheOwnersThroughMovesAndReleases) {
    const long start = LiveHandleCount<UniqueIcon>();
    const BYTE andMask[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    const BYTE xorMask[4] = {};
    UniqueIcon icon(::CreateIcon(nullptr, 1, 1, 1, 1, andMask, xorMask));
    ASSERT_TRUE(icon);
    EXPECT_EQ(LiveHandleCount<UniqueIcon>(), start + 1);
    UniqueIcon moved = std::move(icon);
    EXPECT_EQ(LiveHandleCount<UniqueIcon>(), start + 1);
    HICON raw = moved.release();
    EXPECT_EQ(LiveHandleCount<UniqueIcon>(), start);
    moved.reset(raw);
    EXPECT_EQ(LiveHandleCount<UniqueIcon>(), start + 1);
    moved.reset();
    EXPECT_EQ(LiveHandleCount<UniqueIcon>(), start);
}

TEST_F(LeakCheckTest, ThousandsOfImportsGiveBackWhatTheyTook) {
    const int imports = RunLength("ICONVALE_LEAK_IMPORTS", 2000);
    NewGroup(true);
    // A warm-up round fills the caches the picture library and the heap keep, and the history
    // up to its budget. Changes are recorded as small steps, so the heap reaches its high-water
    // mark late: about 1,000 imports under Wine.
    for (int k = 0; k < 1000; ++k) {
        Import(k);
        if (k % 50 == 49) Clear();
    }
    Clear();
    const Usage start = Measure(document());
    const ULONGLONG began = ::GetTickCount64();
    int added = 0;
    for (int k = 0; k < imports; ++k) {
        const int before = group().GetCount();
        Import(k);
        added += group().GetCount() > before;
        if (k % 100 == 99) Clear();
        ui_.messages.clear();
    }
    Clear();
    const Usage end = Measure(document());
    std::printf("[ leaks    ] %d imports (%d added images) in %lld ms\n", imports, added,
                static_cast<long long>(::GetTickCount64() - began));
    EXPECT_GT(added, imports / 3) << "most imports that could succeed did";
    ExpectBackWhereItStarted(start, end);
}

// ICONVALE_LEAK_OPERATIONS sets the length; the default keeps the run short under Wine.
TEST_F(LeakCheckTest, ThousandsOfMixedCommandsGiveBackWhatTheyTook) {
    const int operations = RunLength("ICONVALE_LEAK_OPERATIONS", 2000);
    for (int k = 0; k < 240; ++k) Operation(k);
    OpenAndCancelDialogs();
    Clear();
    extractions_ = offeredExtractions_ = 0;
    const Usage start = Measure(document());
    const ULONGLONG began = ::GetTickCount64();
    for (int k = 0; k < operations; ++k) {
        Operation(k);
        if (k % 1000 == 999) OpenAndCancelDialogs();
    }
    Clear();
    const Usage end = Measure(document());
    EXPECT_GT(extractions_, operations / 24);
    EXPECT_EQ(extractions_, offeredExtractions_) << "every extraction in an offered format wrote";
    std::printf("[ leaks    ] %d operations (%d extracted images) in %lld ms\n", operations,
                extractions_, static_cast<long long>(::GetTickCount64() - began));
    ExpectBackWhereItStarted(start, end);
}

}  // namespace
}  // namespace iconvale
