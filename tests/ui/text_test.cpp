#include "ui/text.h"

#include <gtest/gtest.h>

namespace iconvale {
namespace {

TEST(Text, ChineseGbkConvertsBothWaysUnchanged) {
    const std::string gbk = "\xCD\xBC\xC6\xAC\xD7\xE9 icons";  // "图片组 icons"
    WideText wide = ToWide(gbk);
    ASSERT_EQ(wide.size(), 10u);
    EXPECT_EQ(wide[0], L'\u56FE');
    EXPECT_EQ(wide[1], L'\u7247');
    EXPECT_EQ(wide[2], L'\u7EC4');
    EXPECT_EQ(wide.back(), L'\0');
    EXPECT_EQ(ToNarrow(wide), gbk);
}

TEST(Text, EmptyTextIsJustTheTerminator) {
    WideText wide = ToWide("");
    ASSERT_EQ(wide.size() * sizeof(wchar_t), 2u);
    EXPECT_EQ(wide[0], L'\0');
    EXPECT_EQ(ToNarrow(wide), "");
}

TEST(Text, CharacterWithoutGbkFormBecomesTheDefaultCharacter) {
    // U+20AC is in GBK (0x80) on Windows but U+1F600 and U+0E01 (Thai) are not.
    EXPECT_EQ(ToNarrow(std::wstring_view(L"a\u0E01b")), "a?b");
}

TEST(Text, ConversionIgnoresTheSystemCodePage) {
    // Code page 936 is named explicitly, so the result is the same whatever the ANSI page.
    EXPECT_EQ(ToNarrow(std::wstring_view(L"\u4E2D")), "\xD6\xD0");
    EXPECT_NE(ToNarrow(std::wstring_view(L"\u4E2D"), 1252), "\xD6\xD0");
}

TEST(Text, ConversionStopsAtTheFirstNul) {
    const wchar_t units[] = {L'a', L'b', L'\0', L'c'};
    EXPECT_EQ(ToNarrow(std::span<const wchar_t>(units, 4)), "ab");
}

}  // namespace
}  // namespace iconvale
