// Undo and redo on a large group give back exactly what each kind of step changed: the images,
// masks and count (the saved bytes) and whether the group holds unsaved changes.
#include "app/document.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/image_group.h"
#include "support/test_icons.h"

namespace iconvale {
namespace {

constexpr int kCell = 16;
constexpr int kImages = 1500;

// Every image different; a third without alpha (drawn through the mask), a third with soft alpha.
void FillLargeGroup(ImageGroup& group) {
    ASSERT_TRUE(group.Create(kCell, kCell, ILC_COLOR32 | ILC_MASK));
    for (int first = 0; first < kImages; first += 500) {
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), kCell * 500, -kCell, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        UniqueBitmap strip(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ASSERT_TRUE(strip);
        auto* pixels = static_cast<std::uint32_t*>(bits);
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell * 500; ++x) {
                const int image = first + x / kCell;
                const std::uint32_t alpha = image % 3 == 0   ? 0
                                            : image % 3 == 1 ? 0xFF
                                                             : (x * 16) & 0xFF;
                pixels[y * kCell * 500 + x] =
                    (alpha << 24) | ((image & 0xFFF) << 8) | ((x + y) & 0xFF);
            }
        }
        ::GdiFlush();
        const std::optional<COLORREF> transparent =
            first == 500 ? std::optional<COLORREF>(RGB(0, 0, 0)) : std::nullopt;
        ASSERT_GE(group.AddStrip(strip.get(), transparent), 0);
    }
}

struct StepCase {
    const char* name;
    std::function<void(Document&)> step;
};

TEST(DocumentHistoryTest, UndoAndRedoGiveBackEveryKindOfStepExactly) {
    const UniqueIcon red = testing::SolidIcon(kCell, kCell, 0xFF0000);
    const UniqueIcon soft = testing::MakeIcon(kCell, kCell, [](int x, int y) {
        return (static_cast<std::uint32_t>(x * 16) << 24) | (static_cast<std::uint32_t>(y) << 4);
    });
    auto change = [](std::function<bool(ImageGroup&)> edit) {
        return [edit](Document& document) { EXPECT_TRUE(document.Change(edit)); };
    };
    const std::vector<StepCase> steps = {
        {"add", change([&](ImageGroup& g) {
             return g.AddIcon(red.get()) >= 0 && g.AddIcon(soft.get()) >= 0;
         })},
        {"replace", change([&](ImageGroup& g) { return g.ReplaceWithIcon(700, soft.get()); })},
        {"replace through a bitmap", change([&](ImageGroup& g) {
             UniqueBitmap bitmap(::CreateBitmap(kCell, kCell, 1, 32, nullptr));
             return g.ReplaceWithBitmap(3, bitmap.get());
         })},
        {"delete scattered",
         change([](ImageGroup& g) { return g.Remove(0) && g.Remove(900) && g.Remove(900); })},
        {"delete the last", change([](ImageGroup& g) { return g.Remove(g.GetCount() - 1); })},
        {"background",
         change([](ImageGroup& g) { return g.SetBackgroundColour(RGB(1, 2, 3)) != RGB(1, 2, 3); })},
        {"move",
         [](Document& document) {
             std::vector<int> order;
             for (int i = 0; i < document.group().GetCount(); ++i) order.push_back(i);
             for (int i = 1; i + 10 < static_cast<int>(order.size()); i += 97)
                 std::swap(order[i], order[i + 10]);
             EXPECT_TRUE(document.Reorder(order));
         }},
        {"delete a run one at a time", change([](ImageGroup& g) {
             for (int n = 0; n < 20; ++n) g.Remove(400);
             return true;
         })},
        {"clear", change([](ImageGroup& g) { return g.Clear(); })},
        {"merge after the clear",
         change([&](ImageGroup& g) { return g.AddIcon(soft.get()) >= 0; })},
        {"import",
         [](Document& document) {
             ImageGroup imported;
             ASSERT_TRUE(imported.Create(8, 8, ILC_COLOR24));
             document.ReplaceWithUntitled(imported);
         }},
    };

    Document document;
    ImageGroup made;
    FillLargeGroup(made);
    document.Create(made, CLR_NONE);
    ASSERT_EQ(document.group().GetCount(), kImages);
    std::vector<Bytes> states = {document.group().SaveToBytes()};
    std::vector<bool> modified = {document.modified()};
    for (const auto& step : steps) {
        step.step(document);
        states.push_back(document.group().SaveToBytes());
        modified.push_back(document.modified());
        ASSERT_NE(states.back(), states[states.size() - 2]) << step.name;
    }
    // The import took the file away, so not even the first state counts as saved any more.
    modified.front() = true;
    // All the way back and all the way forward again, state by state.
    for (std::size_t k = steps.size(); k > 0; --k) {
        ASSERT_TRUE(document.Undo()) << steps[k - 1].name;
        EXPECT_EQ(document.group().SaveToBytes(), states[k - 1]) << "undo of " << steps[k - 1].name;
        EXPECT_EQ(document.modified(), modified[k - 1]) << "undo of " << steps[k - 1].name;
    }
    EXPECT_FALSE(document.CanUndo());
    for (std::size_t k = 0; k < steps.size(); ++k) {
        ASSERT_TRUE(document.Redo()) << steps[k].name;
        EXPECT_EQ(document.group().SaveToBytes(), states[k + 1]) << "redo of " << steps[k].name;
        EXPECT_EQ(document.modified(), modified[k + 1]) << "redo of " << steps[k].name;
    }
    EXPECT_FALSE(document.CanRedo());
}

}  // namespace
}  // namespace iconvale
