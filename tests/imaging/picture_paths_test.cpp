#include "imaging/picture_paths.h"

#include <gtest/gtest.h>

namespace iconvale {
namespace {

using Paths = std::vector<std::string>;

TEST(SplitPathLines, KeepsInnerEmptyPiecesAndDropsTheOneAfterTheLastSeparator) {
    EXPECT_EQ(SplitPathLines(""), Paths{});
    EXPECT_EQ(SplitPathLines("C:\\a.png"), Paths{"C:\\a.png"});
    EXPECT_EQ(SplitPathLines("C:\\a.png\r\n"), Paths{"C:\\a.png"});
    EXPECT_EQ(SplitPathLines("a\r\nb\r\nc"), (Paths{"a", "b", "c"}));
    EXPECT_EQ(SplitPathLines("a\r\n\r\nb"), (Paths{"a", "", "b"}));
    EXPECT_EQ(SplitPathLines("\r\n"), Paths{""});
    EXPECT_EQ(SplitPathLines("\r\n\r\n"), (Paths{"", ""}));
}

TEST(SplitPathLines, ALoneCarriageReturnOrLineFeedIsPartOfThePath) {
    EXPECT_EQ(SplitPathLines("a\rb\nc"), Paths{"a\rb\nc"});
    EXPECT_EQ(SplitPathLines("图片\\一.png\r\n图片\\二.png"),
              (Paths{"图片\\一.png", "图片\\二.png"}));
}

TEST(IsIconFileName, LooksAtTheLastFourBytesInAnyCase) {
    EXPECT_TRUE(IsIconFileName("C:\\A.ICO"));
    EXPECT_TRUE(IsIconFileName("b.Ico"));
    EXPECT_TRUE(IsIconFileName(".ico"));
    EXPECT_FALSE(IsIconFileName("ico"));
    EXPECT_FALSE(IsIconFileName(""));
    EXPECT_FALSE(IsIconFileName("a.icon"));
    EXPECT_FALSE(IsIconFileName("a.jpeg"));
    EXPECT_FALSE(IsIconFileName("a.ico "));
    EXPECT_TRUE(IsIconFileName("图标.ico"));
}

}  // namespace
}  // namespace iconvale
