#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fuzz/command_line_checks.h"

namespace iconvale {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, ProgramNameAloneGivesNoArguments) {
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine("iconvale.exe"), Args{});
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\iconvale.exe\""), Args{});
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\iconvale.exe\" "), Args{});
}

TEST(CommandLine, QuotedPathWithBlanksIsOneArgument) {
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\iconvale.exe\" \"D:\\my icons\\a.eil\""),
              Args{"D:\\my icons\\a.eil"});
    EXPECT_EQ(SplitCommandLine("iconvale.exe \"D:\\a b.eil\""), Args{"D:\\a b.eil"});
}

TEST(CommandLine, UnquotedPathWithBlanksSplits) {
    EXPECT_EQ(SplitCommandLine("iconvale.exe D:\\my icons\\a.eil"),
              (Args{"D:\\my", "icons\\a.eil"}));
}

TEST(CommandLine, BlanksAndControlCharactersSeparate) {
    EXPECT_EQ(SplitCommandLine("x.exe  a.eil\tb.eil\r\n"), (Args{"a.eil", "b.eil"}));
}

TEST(CommandLine, QuotesEndAnArgumentAndAnUnclosedQuoteRunsToTheEnd) {
    EXPECT_EQ(SplitCommandLine("x.exe ab\"c d\"ef"), (Args{"ab", "c d", "ef"}));
    EXPECT_EQ(SplitCommandLine("x.exe \"open ended"), Args{"open ended"});
    EXPECT_EQ(SplitCommandLine("x.exe \"\""), Args{""});
}

TEST(CommandLine, GbkCharactersStayWhole) {
    // "图片组.eil" and "我的 图标" in GBK; every trail byte is kept with its lead byte.
    const std::string group = "\xCD\xBC\xC6\xAC\xD7\xE9.eil";
    EXPECT_EQ(SplitCommandLine("\"C:\\\xCE\xD2\xB5\xC4\\iconvale.exe\" " + group), Args{group});
    EXPECT_EQ(SplitCommandLine("x.exe \"\xCE\xD2\xB5\xC4 \xCD\xBC\xB1\xEA\""),
              Args{"\xCE\xD2\xB5\xC4 \xCD\xBC\xB1\xEA"});
    // A lead byte at the very end has no trail byte to take.
    EXPECT_EQ(SplitCommandLine("x.exe a\xCD"), Args{"a\xCD"});
}

// The fuzzer's seeds: what follows the program's name. Each is written to ICONVALE_SEED_DIR when
// that is set, and always checked against the splitting rules the fuzzer checks.
TEST(SeedCorpus, CommandLines) {
    const std::string seeds[] = {
        "",
        "a.eil",
        "\"D:\\my icons\\a.eil\"",
        "D:\\my icons\\a.eil",
        " a.eil\tb.eil\r\n",
        "ab\"c d\"ef",
        "\"open ended",
        "\"\"",
        "\"\" \"\"x",
        "\xCD\xBC\xC6\xAC\xD7\xE9.eil",
        "\"\xCE\xD2\xB5\xC4 \xCD\xBC\xB1\xEA\"",
        "a\xCD",
        "\"a\xCD",
        "\x81\"b \"\x81 c\"",
        std::string("a\0b", 3),
    };
    const char* dir = std::getenv("ICONVALE_SEED_DIR");
    int n = 0;
    for (const std::string& seed : seeds) {
        EXPECT_EQ(fuzz::CheckCommandLine(seed), "") << n;
        if (dir) {
            std::ofstream(std::filesystem::path(dir) /
                              (std::string("command_line").append(std::to_string(n))),
                          std::ios::binary)
                .write(seed.data(), static_cast<std::streamsize>(seed.size()));
        }
        ++n;
    }
}

}  // namespace
}  // namespace iconvale
