#include "ui/heap_block.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace iconvale {
namespace {

TEST(HeapBlock, BlocksAreZeroFilledAndFromTheProcessHeap) {
    UniqueHeapBlock block(AllocateBlock(520));
    ASSERT_TRUE(block);
    const auto* bytes = static_cast<const unsigned char*>(block.get());
    for (int i = 0; i < 520; ++i) ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(::HeapSize(::GetProcessHeap(), 0, block.get()), 520u);
    FreeBlock(nullptr);  // ignored
}

}  // namespace
}  // namespace iconvale
