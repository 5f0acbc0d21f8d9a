#include "core/image_order.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace iconvale {
namespace {

using Positions = std::vector<int>;

TEST(ImageOrderTest, AScatteredSelectionLandsAsOneBlockInItsOrder) {
    auto moved = MoveBlock(8, Positions{5, 1, 4, 4}, 7);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->order, (Positions{0, 2, 3, 6, 1, 4, 5, 7}));
    EXPECT_EQ(moved->moved, (Positions{4, 5, 6}));
    EXPECT_FALSE(MoveBlock(6, Positions{2, 3}, 3)->Changes()) << "dropped onto itself";
    EXPECT_FALSE(MoveBlock(4, Positions{4}, 0));
    EXPECT_FALSE(MoveBlock(4, Positions{1}, 5));
}

// Every selection of six images dropped at every gap: a permutation, the selection where `moved`
// says, as one block in its own order, and everything else in its old order around it.
TEST(ImageOrderTest, EveryDropKeepsBothSidesInOrderAndTheSelectionFollows) {
    constexpr int kCount = 6;
    for (int bits = 0; bits < 1 << kCount; ++bits) {
        Positions selected;
        for (int i = 0; i < kCount; ++i) {
            if (bits & 1 << i) selected.push_back(i);
        }
        for (int target = 0; target <= kCount; ++target) {
            auto moved = MoveBlock(kCount, selected, target);
            ASSERT_TRUE(moved && IsPermutation(moved->order, kCount));
            Positions landed;
            Positions stayed;
            for (int i = 0; i < kCount; ++i) {
                const bool isMoved =
                    std::binary_search(moved->moved.begin(), moved->moved.end(), i);
                (isMoved ? landed : stayed).push_back(moved->order[i]);
            }
            EXPECT_EQ(landed, selected) << "selection " << bits << " to " << target;
            EXPECT_TRUE(std::is_sorted(stayed.begin(), stayed.end()));
            if (!selected.empty()) {
                EXPECT_EQ(moved->moved.back() - moved->moved.front() + 1,
                          static_cast<int>(selected.size()));
            }
        }
    }
}

TEST(ImageOrderTest, ByOneEachSelectedImageStepsPastItsNeighbourUnlessAtTheEdge) {
    auto up = MoveByOne(8, Positions{6, 2, 3}, -1);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->order, (Positions{0, 2, 3, 1, 4, 6, 5, 7}));
    EXPECT_EQ(up->moved, (Positions{1, 2, 5}));
    auto down = MoveByOne(8, Positions{2, 3, 6}, 1);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->order, (Positions{0, 1, 4, 2, 3, 5, 7, 6}));
    EXPECT_EQ(down->moved, (Positions{3, 4, 7}));

    for (auto [selected, step] : {std::pair{Positions{0, 3}, -1}, {Positions{5, 7}, 1}}) {
        auto stuck = MoveByOne(8, selected, step);
        ASSERT_TRUE(stuck);
        EXPECT_FALSE(stuck->Changes()) << step;
        EXPECT_EQ(stuck->moved, selected);
    }
    EXPECT_FALSE(MoveByOne(8, Positions{3}, 0));
    EXPECT_FALSE(MoveByOne(8, Positions{8}, -1));
}

}  // namespace
}  // namespace iconvale
