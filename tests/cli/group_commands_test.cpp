#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>
#include <streambuf>
#ifdef ICONVALE_NATIVE_CLI
#include <sys/wait.h>
#endif

#include "cli/arguments.h"
#include "core/group_file.h"
#include "core/image_list_container.h"
#include "support/cli_runner.h"
#include "support/stream_builders.h"

namespace iconvale::testing {
namespace {

Bytes EilOf(const ImageListData& list) {
    return WithGroupHeader(WriteImageListStream(list), true);
}

ImageListData ReadBack(const Bytes& file, bool withHeader) {
    auto list = ParseImageListStream(StreamPart(file, withHeader));
    return list ? *list : ImageListData{};
}

TEST(CliArguments, ReadSizesColoursIndicesAndNameOrder) {
    auto size = cli::ParseCellSize("32x24");
    ASSERT_TRUE(size);
    EXPECT_EQ(32, size->width);
    EXPECT_EQ(24, size->height);
    EXPECT_FALSE(cli::ParseCellSize("0x16"));
    EXPECT_FALSE(cli::ParseCellSize("65536x16"));
    EXPECT_FALSE(cli::ParseCellSize("16x"));
    EXPECT_FALSE(cli::ParseCellSize("16x16px"));

    EXPECT_EQ(0x00332211u, cli::ParseColour("#112233"));
    EXPECT_FALSE(cli::ParseColour("12345G"));

    EXPECT_EQ((std::vector<int>{0, 3, 4, 5}), cli::ParseIndexList("3-5,0,4", 6));
    EXPECT_FALSE(cli::ParseIndexList("0,6", 6));
    EXPECT_FALSE(cli::ParseIndexList("5-3", 6));
    EXPECT_FALSE(cli::ParseIndexList("1,,2", 6));
    EXPECT_FALSE(cli::ParseIndexList("99999999999", 6));

    std::vector<std::string> names{"image10.png", "Image2.png", "image1.png", "image02b.png",
                                   "a.png"};
    std::sort(names.begin(), names.end(), cli::NaturalLess);
    EXPECT_EQ((std::vector<std::string>{"a.png", "image1.png", "Image2.png", "image02b.png",
                                        "image10.png"}),
              names);
}

TEST(CliInfo, JsonGivesEveryFigureOfEachFile) {
    CliFolder folder;
    ListShape shape{
        .width = 24, .height = 20, .bitsPerPixel = 8, .mask = true, .count = 5, .capacity = 9};
    ImageListData list = PatternList(shape);
    list.background = 0x00332211;
    list.grow = 8;
    folder.Write("a.eil", EilOf(list));
    ImageListData clear = OneRedPerImage(16, 16, 2);
    clear.background = kNoColour;
    folder.Write("b.bin", WriteImageListStream(clear));

    const CliRun run = RunCli({"info", "--json", folder.Name("a.eil"), folder.Name("b.bin")});
    ASSERT_EQ(cli::kExitOk, run.status) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::vector<nlohmann::json> objects;
    while (std::getline(lines, line)) objects.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(2u, objects.size());
    const nlohmann::json& eil = objects[0];
    EXPECT_EQ("eil", eil["form"]);
    EXPECT_EQ("0x0101", eil["version"]);
    EXPECT_EQ(5, eil["count"]);
    EXPECT_EQ(24, eil["width"]);
    EXPECT_EQ(20, eil["height"]);
    EXPECT_EQ(8, eil["depth"]);
    EXPECT_EQ(true, eil["mask"]);
    EXPECT_EQ("112233", eil["background"]);
    EXPECT_EQ(9, eil["capacity"]);
    EXPECT_EQ(8, eil["grow"]);
    EXPECT_EQ("bare", objects[1]["form"]);
    EXPECT_TRUE(objects[1]["background"].is_null());
}

TEST(CliConvert, ChainsOfFormsKeepEveryPixelAndNeverClobber) {
    CliFolder folder;
    const ImageListData list = PatternList({.bitsPerPixel = 32, .count = 4});
    folder.Write("in.eil", EilOf(list));

    ASSERT_EQ(cli::kExitOk,
              RunCli({"convert", folder.Name("in.eil"), folder.Name("mid.il")}).status);
    ASSERT_EQ(cli::kExitOk,
              RunCli({"convert", folder.Name("mid.il"), folder.Name("out.EIL")}).status);
    EXPECT_TRUE(SameImages(list, ReadBack(folder.Read("mid.il"), false)));
    EXPECT_TRUE(SameImages(list, ReadBack(folder.Read("out.EIL"), true)));

    // An existing output stays as it was unless --force is given.
    folder.Write("taken.eil", Bytes{1, 2, 3});
    const CliRun refused = RunCli({"convert", folder.Name("in.eil"), folder.Name("taken.eil")});
    EXPECT_EQ(cli::kExitFailed, refused.status);
    EXPECT_EQ((Bytes{1, 2, 3}), folder.Read("taken.eil"));
    EXPECT_EQ(
        cli::kExitOk,
        RunCli({"convert", folder.Name("in.eil"), folder.Name("taken.eil"), "--force"}).status);
    EXPECT_TRUE(SameImages(list, ReadBack(folder.Read("taken.eil"), true)));
}

TEST(CliConvert, ThroughEveryContainerAndBackKeepsEveryPixelMaskBitAndAlpha) {
    CliFolder folder;
    ImageListData list = PatternList({.bitsPerPixel = 32, .mask = true, .count = 3});
    MakeCanonical(list);
    folder.Write("in.eil", EilOf(list));
    const char* chain[] = {"in.eil", "a.dfm", "b.resx", "c.lfm", "d.eil"};
    for (int i = 0; i + 1 < 5; ++i) {
        const CliRun step = RunCli({"convert", folder.Name(chain[i]), folder.Name(chain[i + 1])});
        ASSERT_EQ(cli::kExitOk, step.status) << chain[i + 1] << ": " << step.err;
    }
    EXPECT_TRUE(SameImages(list, ReadBack(folder.Read("d.eil"), true)));

    const CliRun info = RunCli({"info", "--json", folder.Name("a.dfm")});
    ASSERT_EQ(cli::kExitOk, info.status) << info.err;
    const nlohmann::json dfm = nlohmann::json::parse(info.out);
    EXPECT_EQ("dfm", dfm["form"]);
    ASSERT_EQ(1u, dfm["lists"].size());
    EXPECT_EQ("ImageList1", dfm["lists"][0]["name"]);
    EXPECT_EQ(3, dfm["lists"][0]["count"]);
}

ImageListData ReadContainedList(const Bytes& file) {
    ContainerContents read = ReadContainer(file);
    if (read.lists.size() != 1) return {};
    ContainerError error;
    return DecodeContainedList(read.lists[0], 0, error).value_or(ImageListData{});
}

// Pixels whose transparency differs between two lists of the same shape.
long long TransparencyChanges(const ImageListData& a, const ImageListData& b) {
    long long changed = 0;
    for (int i = 0; i < a.count; ++i)
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x)
                changed += a.Transparent(i, x, y) != b.Transparent(i, x, y);
    return changed;
}

// Lists as other tools leave them, not brought into the form every writer keeps: colours under
// transparent pixels, and alpha that disagrees with the mask.
TEST(CliConvert, LosslessFormsKeepRawListsAndTheLazarusFormNamesWhatItLoses) {
    CliFolder folder;
    for (int bits : {4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        const ImageListData list = PatternList({.bitsPerPixel = bits, .count = 3});
        folder.Write("in.eil", EilOf(list));
        for (const char* out : {"a.dfm", "b.resx", "c.il"}) {
            const CliRun run =
                RunCli({"convert", "--force", folder.Name("in.eil"), folder.Name(out)});
            ASSERT_EQ(cli::kExitOk, run.status) << run.err;
            EXPECT_EQ("", run.err) << out;
            const ImageListData back = ReadContainedList(folder.Read(out));
            EXPECT_TRUE(SameImages(list, back)) << out;
            EXPECT_EQ(bits, back.bitsPerPixel) << out;
            EXPECT_EQ(list.mask, back.mask) << out;
        }

        const CliRun run =
            RunCli({"convert", "--force", folder.Name("in.eil"), folder.Name("d.lfm")});
        ASSERT_EQ(cli::kExitOk, run.status) << run.err;
        const ImageListData back = ReadContainedList(folder.Read("d.lfm"));
        ASSERT_EQ(list.count, back.count);
        // The warning counts exactly the mask bits that came back otherwise.
        const long long changed = TransparencyChanges(list, back);
        EXPECT_EQ(bits == 32, changed > 0);
        std::string expected = "a Lazarus form cannot keep ";
        if (bits != 32)
            expected += "the " + std::to_string(bits) + "-bit depth (the images become 32-bit), ";
        if (changed)
            expected +=
                "the mask of " + std::to_string(changed) + " pixels whose alpha says otherwise, ";
        expected += "the background colour";
        EXPECT_EQ(run.err,
                  "iconvale-cli: " + folder.Name("d.lfm") + ": warning: " + expected + "\n");
    }

    // A list the Lazarus form holds whole gives no warning.
    ImageListData whole = PatternList({.count = 2});
    MakeCanonical(whole);
    whole.background = kNoColour;
    folder.Write("whole.eil", EilOf(whole));
    const CliRun run = RunCli({"convert", folder.Name("whole.eil"), folder.Name("whole.lfm")});
    EXPECT_EQ(cli::kExitOk, run.status);
    EXPECT_EQ("", run.err);
}

TEST(CliSizes, InfoListsEverySizeAndConvertTakesOneBySize) {
    CliFolder folder;
    const ImageListData base = PatternList({.width = 11, .height = 11, .count = 2});
    const std::vector<ImageListData> sizes = {PatternList({.width = 16, .height = 16, .count = 2}),
                                              PatternList({.width = 22, .height = 22, .count = 2})};
    const std::string form = LazarusFormWithSizes("ilBookmarks", base, LazarusSizes(sizes));
    folder.Write("multi.lfm", Bytes(form.begin(), form.end()));
    Bytes damaged = LazarusSizes(sizes);
    damaged.back() ^= 0xFF;  // the last block's zlib checksum: found only when it is taken
    const std::string damagedForm = LazarusFormWithSizes("ilBookmarks", base, damaged);
    folder.Write("damaged.lfm", Bytes(damagedForm.begin(), damagedForm.end()));
    Bytes lost = LazarusSizes(sizes);
    lost[0] = 'X';
    const std::string lostForm = LazarusFormWithSizes("ilBookmarks", base, lost);
    folder.Write("lost.lfm", Bytes(lostForm.begin(), lostForm.end()));

    const CliRun json = RunCli({"info", "--json", folder.Name("multi.lfm")});
    ASSERT_EQ(cli::kExitOk, json.status) << json.err;
    const nlohmann::json list = nlohmann::json::parse(json.out)["lists"][0];
    EXPECT_EQ(11, list["width"]);
    EXPECT_EQ(nlohmann::json::parse(R"([{"width":11,"height":11},{"width":16,"height":16},)"
                                    R"({"width":22,"height":22}])"),
              list["sizes"]);
    const CliRun text = RunCli({"info", folder.Name("multi.lfm")});
    EXPECT_NE(std::string::npos, text.out.find(", sizes 11x11, 16x16, 22x22\n")) << text.out;

    struct Case {
        const char* file;
        std::vector<std::string> options;
        int status;
        const char* said;  // in the error line; the width of the result on success
    } cases[] = {
        {"multi.lfm", {}, cli::kExitOk, "11"},
        {"multi.lfm", {"--size", "22x22"}, cli::kExitOk, "22"},
        {"multi.lfm", {"--list", "ilBookmarks", "--size", "16x16"}, cli::kExitOk, "16"},
        {"multi.lfm",
         {"--size", "33x33"},
         cli::kExitFailed,
         "has no size 33x33 in this list (11x11, 16x16, 22x22)"},
        {"damaged.lfm",
         {"--size", "22x22"},
         cli::kExitFailed,
         "line 3: ilBookmarks 22x22: damaged compressed data"},
        {"damaged.lfm", {"--size", "16x16"}, cli::kExitOk, "16"},
        {"lost.lfm", {}, cli::kExitOk, "11"},
        {"lost.lfm", {"--size", "16x16"}, cli::kExitFailed, "unknown image-list signature"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"convert", folder.Name(c.file), folder.Name("out.eil"),
                                           "--force"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(c.status, run.status) << c.file << " " << run.err;
        if (c.status == cli::kExitOk) {
            EXPECT_EQ(std::stoi(c.said), ReadBack(folder.Read("out.eil"), true).width) << c.file;
        } else {
            EXPECT_NE(std::string::npos, run.err.find(c.said)) << run.err;
        }
    }
    // Sizes it cannot read are said once beside the figures of the list that still reads.
    const CliRun warned = RunCli({"info", folder.Name("lost.lfm")});
    EXPECT_EQ(cli::kExitOk, warned.status);
    EXPECT_EQ(ErrorLine(folder.Name("lost.lfm"),
                        "warning: line 3: ilBookmarks: unknown image-list signature"),
              warned.err);
}

ImageListData Canonical(int side, int count) {
    ImageListData list = PatternList({.width = side, .height = side, .count = count});
    MakeCanonical(list);
    list.background = kNoColour;  // which a Lazarus form would lose, with a warning
    return list;
}

TEST(CliConvertInto, WritesGroupsIntoTheListOfAnExistingForm) {
    const ImageListData old16 = Canonical(16, 3);
    const std::string dfm = [&] {
        const Bytes form = WriteContainer(ContainerForm::kDelphiForm, old16, "Icons");
        return std::string(form.begin(), form.end());
    }();
    const std::string lfm = LazarusFormWithSizes(
        "ilBookmarks", Canonical(11, 2), LazarusSizes({Canonical(16, 2), Canonical(22, 2)}));
    struct Case {
        const char* what;
        std::vector<std::string> groups;
        const char* form;
        std::vector<std::string> options;
        int status;
        const char* said;  // in the error line
    } cases[] = {
        // clang-format off
        {"into a text dfm", {"g16x5.eil"}, "f.dfm", {"--list", "Icons", "--into"}, cli::kExitOk, ""},
        {"one group per size of an lfm", {"g22x4.eil", "g11x4.eil", "g16x4.eil"}, "f.lfm",
         {"--into", "--list", "ilBookmarks"}, cli::kExitOk, ""},
        {"one size of an lfm by --size", {"g16x2.eil"}, "f.lfm", {"--into", "--size", "16x16"},
         cli::kExitOk, ""},
        {"no --into: the form is not replaced", {"g16x5.eil"}, "f.dfm", {}, cli::kExitFailed,
         "exists already"},
        {"counts differ between groups", {"g11x4.eil", "g16x2.eil"}, "f.lfm", {"--into"},
         cli::kExitFailed, "g16x2.eil: holds 2 images where"},
        {"a group of a size the list lacks", {"g11x4.eil", "g33x4.eil"}, "f.lfm", {"--into"},
         cli::kExitFailed, "g33x4.eil: list ilBookmarks has no size 33x33 (11x11, 16x16, 22x22)"},
        {"no such list", {"g16x5.eil"}, "f.dfm", {"--into", "--list", "Toolbar"},
         cli::kExitFailed, "f.dfm: holds no image list called \"Toolbar\""},
        {"several groups without --into", {"g11x4.eil", "g16x4.eil"}, "f.lfm", {},
         cli::kExitUsage, "one input"},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CliFolder folder;
        folder.Write("f.dfm", Bytes(dfm.begin(), dfm.end()));
        folder.Write("f.lfm", Bytes(lfm.begin(), lfm.end()));
        std::vector<std::string> arguments{"convert"};
        std::vector<ImageListData> groups;
        for (const std::string& group : c.groups) {
            const int side = std::stoi(group.substr(1)), count = group[group.find('x') + 1] - '0';
            groups.push_back(Canonical(side, count));
            folder.Write(group, EilOf(groups.back()));
            arguments.push_back(folder.Name(group));
        }
        arguments.push_back(folder.Name(c.form));
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const Bytes before = folder.Read(c.form);
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(c.status, run.status) << run.err;
        if (c.status != cli::kExitOk) {
            EXPECT_NE(std::string::npos, run.err.find(c.said)) << run.err;
            EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
            EXPECT_EQ(before, folder.Read(c.form));
            continue;
        }
        EXPECT_EQ("", run.err);
        const ContainerContents after = ReadContainer(folder.Read(c.form));
        ASSERT_FALSE(after.error) << DescribeContainerError(after.error);
        ASSERT_EQ(1u, after.lists.size());
        const ContainedImageList& list = after.lists[0];
        for (const ImageListData& group : groups) {
            const auto size = std::find_if(list.sizes.begin(), list.sizes.end(),
                                           [&](auto& s) { return s.width == group.width; });
            ASSERT_NE(size, list.sizes.end()) << group.width;
            for (const ContainedSize& other : list.sizes) EXPECT_EQ(group.count, other.count);
            ContainerError error;
            const auto back = DecodeContainedList(list, size - list.sizes.begin(), error);
            ASSERT_TRUE(back) << DescribeContainerError(error);
            EXPECT_TRUE(SameImages(group, *back)) << group.width;
        }
    }
}

TEST(CliErrors, BadFilesAndUsageGiveTheCodeOneLineAndNoFile) {
    CliFolder folder;
    Bytes notAGroup(64, 'x');
    folder.Write("junk.eil", notAGroup);
    Bytes damaged = EilOf(OneRedPerImage(16, 16, 3));
    damaged.resize(damaged.size() / 2);
    folder.Write("cut.eil", damaged);
    const int filesBefore = folder.FileCount();

    const CliRun junk = RunCli({"convert", folder.Name("junk.eil"), folder.Name("out.eil")});
    EXPECT_EQ(cli::kExitFailed, junk.status);
    EXPECT_EQ(ErrorLine(folder.Name("junk.eil"), "not an image group (no \"IL\" at byte 8)"),
              junk.err);
    const CliRun cut = RunCli({"info", folder.Name("cut.eil")});
    EXPECT_EQ(cli::kExitFailed, cut.status);
    EXPECT_NE(std::string::npos, cut.err.find("damaged")) << cut.err;
    EXPECT_EQ(1, std::count(cut.err.begin(), cut.err.end(), '\n'));
    // A path that starts with '/' is a file, also where options may be written "/x".
    EXPECT_EQ(cli::kExitFailed, RunCli({"info", "/no/such/group.eil"}).status);
    const CliRun missing = RunCli({"info", folder.Name("none.eil")});
    EXPECT_EQ(cli::kExitFailed, missing.status);
    EXPECT_NE(std::string::npos, missing.err.find("none.eil: no such file")) << missing.err;

    for (const std::vector<std::string>& usage : {std::vector<std::string>{},
                                                  {"frobnicate"},
                                                  {"convert", folder.Name("cut.eil")},
                                                  {"info", "--colour", folder.Name("cut.eil")}}) {
        const CliRun run = RunCli(usage);
        EXPECT_EQ(cli::kExitUsage, run.status);
        EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
    }
    EXPECT_EQ(filesBefore, folder.FileCount());

    const CliRun help = RunCli({"convert", "--help"});
    EXPECT_EQ(cli::kExitOk, help.status);
    EXPECT_NE(std::string::npos, help.out.find("--force"));
}

// An output that takes nothing, as a full disk or a closed pipe does.
class RefusingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(CliInfo, OutputThatCannotBeWrittenFailsWithOneLine) {
    CliFolder folder;
    folder.Write("in.eil", EilOf(OneRedPerImage(16, 16, 2)));
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"info", folder.Name("in.eil")},
          std::vector<std::string>{"info", "--json", folder.Name("in.eil")}}) {
        err.str("");
        out.clear();
        EXPECT_EQ(cli::kExitFailed, cli::RunCommandLine(arguments, {out, err}));
        EXPECT_EQ(ErrorLine("standard output", "cannot be written"), err.str());
    }
}

#ifdef ICONVALE_NATIVE_CLI
// The native program as a build script runs it: arguments in, text and an exit code out.
TEST(NativeCli, InfoAndConvertRunFromTheShell) {
    CliFolder folder;
    folder.Write("in.eil", EilOf(OneRedPerImage(16, 16, 2)));
    const std::string cli = ICONVALE_NATIVE_CLI;
    const std::string info = "'" + cli + "' info --json '" + folder.Name("in.eil") + "'";
    std::FILE* pipe = ::popen(info.c_str(), "r");
    ASSERT_NE(nullptr, pipe);
    char line[512] = {};
    ASSERT_NE(nullptr, std::fgets(line, sizeof line, pipe));
    EXPECT_EQ(0, ::pclose(pipe));
    EXPECT_EQ(2, nlohmann::json::parse(line)["count"]);
    // Buffered output meets the full disk only as the program flushes it.
    const std::string full = "'" + cli + "' info '" + folder.Name("in.eil") + "' >/dev/full 2>'" +
                             folder.Name("err.txt") + "'";
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(1, WEXITSTATUS(std::system(full.c_str())));
        const Bytes err = folder.Read("err.txt");
        EXPECT_EQ(ErrorLine("standard output", "cannot be written"),
                  std::string(err.begin(), err.end()));
    }

    const std::string convert = "'" + cli + "' convert '" + folder.Name("in.eil") + "' '" +
                                folder.Name("out.il") + "' 2>/dev/null";
    EXPECT_EQ(0, std::system(convert.c_str()));
    EXPECT_NE(0, std::system(convert.c_str()));  // exists now
    EXPECT_TRUE(SameImages(OneRedPerImage(16, 16, 2), ReadBack(folder.Read("out.il"), false)));
}
#endif

}  // namespace
}  // namespace iconvale::testing
