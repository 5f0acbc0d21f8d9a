#include "core/image_order.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace iconvale {
namespace {

using Positions = std::vector<int>;

TEST(ImageOrderBlock, ScatteredSelectionLandsAsOneBlockInItsOrder) {
    auto moved = MoveBlock(8, Positions{5, 1, 4}, 7);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->order, (Positions{0, 2, 3, 6, 1, 4, 5, 7}));
    EXPECT_EQ(moved->moved, (Positions{4, 5, 6}));

    moved = MoveBlock(8, Positions{3, 6, 3}, 0);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->order, (Positions{3, 6, 0, 1, 2, 4, 5, 7}));
    EXPECT_EQ(moved->moved, (Positions{0, 1}));

    moved = MoveBlock(8, Positions{0, 2}, 8);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->order, (Positions{1, 3, 4, 5, 6, 7, 0, 2}));
    EXPECT_EQ(moved->moved, (Positions{6, 7}));
}

TEST(ImageOrderBlock, DroppingABlockOntoItselfChangesNothing) {
    for (int target : {2, 3, 4}) {
        auto moved = MoveBlock(6, Positions{2, 3}, target);
        ASSERT_TRUE(moved);
        EXPECT_FALSE(moved->Changes()) << target;
        EXPECT_EQ(moved->moved, (Positions{2, 3}));
    }
    EXPECT_TRUE(MoveBlock(6, Positions{2, 3}, 1)->Changes());
    EXPECT_FALSE(MoveBlock(6, Positions{}, 1)->Changes());
}

// Every selection of six images dropped at every gap: a permutation, the selection where
// `moved` says in its own order, everything else in its old order around it.
TEST(ImageOrderBlock, EveryDropKeepsBothSidesInOrderAndTheSelectionFollows) {
    constexpr int kCount = 6;
    for (int bits = 0; bits < 1 << kCount; ++bits) {
        Positions selected;
        for (int i = 0; i < kCount; ++i) {
            if (bits & 1 << i) selected.push_back(i);
        }
        for (int target = 0; target <= kCount; ++target) {
            auto moved = MoveBlock(kCount, selected, target);
            ASSERT_TRUE(moved);
            ASSERT_TRUE(IsPermutation(moved->order, kCount));
            ASSERT_EQ(moved->moved.size(), selected.size());
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
                          static_cast<int>(selected.size()))
                    << "one block";
            }
        }
    }
}

TEST(ImageOrderBlock, PositionsOutsideTheGroupAreRefused) {
    EXPECT_FALSE(MoveBlock(4, Positions{4}, 0));
    EXPECT_FALSE(MoveBlock(4, Positions{-1}, 0));
    EXPECT_FALSE(MoveBlock(4, Positions{1}, 5));
    EXPECT_FALSE(MoveBlock(4, Positions{1}, -1));
}

TEST(ImageOrderByOne, EachSelectedImageStepsPastItsNeighbour) {
    auto up = MoveByOne(8, Positions{6, 2, 3}, -1);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->order, (Positions{0, 2, 3, 1, 4, 6, 5, 7}));
    EXPECT_EQ(up->moved, (Positions{1, 2, 5}));

    auto down = MoveByOne(8, Positions{2, 3, 6}, 1);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->order, (Positions{0, 1, 4, 2, 3, 5, 7, 6}));
    EXPECT_EQ(down->moved, (Positions{3, 4, 7}));
}

TEST(ImageOrderByOne, NothingMovesWhenTheSelectionTouchesThatEdge) {
    auto up = MoveByOne(8, Positions{0, 3}, -1);
    ASSERT_TRUE(up);
    EXPECT_FALSE(up->Changes());
    EXPECT_EQ(up->moved, (Positions{0, 3}));

    auto down = MoveByOne(8, Positions{5, 7}, 1);
    ASSERT_TRUE(down);
    EXPECT_FALSE(down->Changes());
    EXPECT_EQ(down->moved, (Positions{5, 7}));

    EXPECT_TRUE(MoveByOne(8, Positions{0, 3}, 1)->Changes()) << "the other way is open";
    EXPECT_FALSE(MoveByOne(8, Positions{3}, 0));
    EXPECT_FALSE(MoveByOne(8, Positions{8}, -1));
}

TEST(ImageOrderPermutation, EveryPositionExactlyOnce) {
    EXPECT_TRUE(IsPermutation(Positions{2, 0, 1}, 3));
    EXPECT_TRUE(IsPermutation(Positions{}, 0));
    EXPECT_FALSE(IsPermutation(Positions{0, 0, 1}, 3));
    EXPECT_FALSE(IsPermutation(Positions{0, 1}, 3));
    EXPECT_FALSE(IsPermutation(Positions{0, 1, 3}, 3));
    EXPECT_FALSE(IsPermutation(Positions{0, -1, 1}, 3));
}

}  // namespace
}  // namespace iconvale
