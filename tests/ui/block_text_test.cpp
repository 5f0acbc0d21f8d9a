#include "ui/block_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/heap_probes.h"

namespace iconvale {
namespace {

using testing::BlockBytes;

TEST(BlockText, BlocksHoldTheTextAndItsTerminatorInZeroFilledRoom) {
    const WideText text = ToWide("图标");
    EXPECT_EQ(UnitsOf(text), 2u);
    EXPECT_EQ(UnitsOf({}), 0u);

    UniqueWideBlock exact = CopyToBlock(text);
    ASSERT_TRUE(exact);
    EXPECT_EQ(BlockBytes(exact.get()), 6u);
    EXPECT_EQ(std::wstring(exact.get(), 3), std::wstring(L"图标\0", 3));

    UniqueWideBlock roomy = CopyToBlock(text, 8);
    ASSERT_TRUE(roomy);
    EXPECT_EQ(BlockBytes(roomy.get()), 16u);
    EXPECT_EQ(std::wstring(roomy.get(), 8), std::wstring(L"图标\0\0\0\0\0\0", 8));

    UniqueWideBlock empty = CopyToBlock({}, 4);
    ASSERT_TRUE(empty) << "room for a text still to come";
    EXPECT_EQ(std::wstring(empty.get(), 4), std::wstring(4, L'\0'));
}

TEST(BlockText, NoBlockForAnEmptyTextOrRoomTooSmall) {
    EXPECT_FALSE(CopyToBlock({}));
    EXPECT_FALSE(CopyToBlock(ToWide("abc"), 3)) << "no room for the terminator";
    EXPECT_FALSE(CopyToBlock(ToWide("abc"), 0));
    EXPECT_FALSE(CopyToBlock({}, PTRDIFF_MAX)) << "more bytes than a block can have";
}

}  // namespace
}  // namespace iconvale
