#include "core/group_file.h"

#include <gtest/gtest.h>

#include "core/image_list_stream.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

TEST(GroupFileName, OnlyAnEilEndingInAnyCaseCarriesTheHeader) {
    EXPECT_TRUE(HasGroupHeaderName("C:\\icons\\a.eil"));
    EXPECT_TRUE(HasGroupHeaderName("C:\\ICONS\\A.EIL"));
    EXPECT_TRUE(HasGroupHeaderName("x.EiL"));
    EXPECT_TRUE(HasGroupHeaderName(".eil"));
    EXPECT_FALSE(HasGroupHeaderName("a.eil.bak"));
    EXPECT_FALSE(HasGroupHeaderName("a.ico"));
    EXPECT_FALSE(HasGroupHeaderName("eil"));
    EXPECT_FALSE(HasGroupHeaderName(""));
    EXPECT_TRUE(HasGroupHeaderName("\xCD\xBC\xC6\xAC.eil"));  // a GBK name
}

TEST(GroupFileForms, BareFormIsTheEilFormWithoutItsFirstEightBytes) {
    Bytes stream = WriteImageListStream(testing::PatternList({.count = 3}));
    Bytes eil = WithGroupHeader(stream, true);
    Bytes bare = WithGroupHeader(stream, false);
    ASSERT_EQ(eil.size(), bare.size() + 8);
    EXPECT_TRUE(std::equal(bare.begin(), bare.end(), eil.begin() + 8));
    EXPECT_EQ(Bytes(eil.begin(), eil.begin() + 8), Bytes({'M', 'I', 'T', 'L', 0, 0, 0, 0xFF}));
    EXPECT_EQ(bare[0], 0x49);
    EXPECT_EQ(bare[1], 0x4C);
    EXPECT_EQ(bare[2], 0x01);
    EXPECT_EQ(bare[3], 0x01);
}

TEST(GroupFileForms, TheHeaderIsNotValidated) {
    Bytes eil = WithGroupHeader(WriteImageListStream(testing::PatternList({.count = 2})), true);
    for (int i = 0; i < 8; ++i) eil[i] = static_cast<std::uint8_t>(0xA0 + i);
    EXPECT_TRUE(ParseImageListStream(StreamPart(eil, true)));
}

TEST(GroupFileForms, TheFormFollowsTheNameNotTheContent) {
    Bytes stream = WriteImageListStream(testing::PatternList({.count = 2}));
    Bytes eil = WithGroupHeader(stream, true);
    EXPECT_FALSE(ParseImageListStream(StreamPart(stream, true))) << "bare stream under .eil";
    EXPECT_FALSE(ParseImageListStream(StreamPart(eil, false))) << ".eil file under another name";
}

TEST(GroupFileForms, EightBytesOrFewerLeaveNoStream) {
    Bytes eight(kGroupHeader, kGroupHeader + 8);
    EXPECT_TRUE(StreamPart(eight, true).empty());
    EXPECT_TRUE(StreamPart(Bytes{}, true).empty());
    EXPECT_TRUE(WithGroupHeader({}, true).empty()) << "a failed write stays empty";
}

}  // namespace
}  // namespace iconvale
