// Damaged and forged containers: every truncation, bad hex and base64, bad run lengths, zlib
// errors and overflowing sizes are refused with the right problem and no lists, never a crash.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/image_list_container.h"
#include "core/lazarus_form.h"
#include "core/resx_image_stream.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::PatternList;

ImageListData SmallList(int bits = 32) {
    return PatternList({.width = 3, .height = 2, .bitsPerPixel = bits, .count = 3});
}

ContainerProblem ProblemOf(const Bytes& file) {
    ContainerContents contents = ReadContainer(file);
    EXPECT_TRUE(!contents.error || contents.lists.empty());
    return contents.error.problem;
}

ContainerProblem ProblemOf(std::string_view text) {
    return ProblemOf(Bytes(text.begin(), text.end()));
}

std::string Text(ContainerForm form, const ImageListData& list) {
    Bytes file = WriteContainer(form, list, "L");
    return std::string(file.begin(), file.end());
}

TEST(MalformedContainer, EveryTruncationIsRefused) {
    for (ContainerForm form :
         {ContainerForm::kDelphiForm, ContainerForm::kLazarusForm, ContainerForm::kResx}) {
        std::string full = Text(form, SmallList());
        // Only the line break after the closing "end" or "</root>" may go.
        std::size_t whole = full.find_last_not_of("\r\n") + 1;
        for (std::size_t size = 0; size < whole; ++size) {
            EXPECT_NE(ProblemOf(std::string_view(full).substr(0, size)), ContainerProblem::kNone)
                << static_cast<int>(form) << " cut at " << size;
        }
    }
    Bytes binary = WriteImageListStream(SmallList());
    Bytes lazarus = EncodeLazarusImages(SmallList());
    Bytes records = SerializeImageListStreamer(binary);
    for (std::size_t size = 0; size < lazarus.size(); ++size) {
        ContainerError error;
        EXPECT_FALSE(DecodeLazarusImages({lazarus.data(), size}, error)) << size;
    }
    for (std::size_t size = 0; size < records.size(); ++size) {
        ContainerError error;
        EXPECT_FALSE(DeserializeImageListStreamer({records.data(), size}, error)) << size;
    }
}

TEST(MalformedContainer, BadHexAndBase64AreFoundOnTheirLine) {
    std::string dfm = Text(ContainerForm::kDelphiForm, SmallList());
    std::string bad = dfm;
    bad[bad.find("494C") + 70] = 'G';  // the second line of hex, the eighth of the file
    ContainerContents contents = ReadContainer(Bytes(bad.begin(), bad.end()));
    EXPECT_EQ(contents.error.problem, ContainerProblem::kBadHex);
    EXPECT_EQ(contents.error.line, 8);
    EXPECT_EQ(DescribeContainerError(contents.error), "line 8: bad hex digit");
    bad = dfm;
    bad.erase(bad.find("494C"), 1);
    EXPECT_EQ(ProblemOf(bad), ContainerProblem::kOddHex);

    std::string resx = Text(ContainerForm::kResx, SmallList());
    std::size_t value = resx.find("AAEAAAD");
    for (char c : {'*', '-', '&'}) {
        bad = resx;
        bad[value + 90] = c;
        contents = ReadContainer(Bytes(bad.begin(), bad.end()));
        EXPECT_EQ(contents.error.problem, ContainerProblem::kBadBase64) << c;
        EXPECT_EQ(contents.error.line, 18);
        EXPECT_EQ(contents.error.where, "L");
    }
    bad = resx;
    bad.insert(value + 4, "==");
    EXPECT_EQ(ProblemOf(bad), ContainerProblem::kBadBase64);
    bad = resx;
    bad.erase(value + 4, 1);
    EXPECT_EQ(ProblemOf(bad), ContainerProblem::kBadBase64);
}

TEST(MalformedContainer, RunLengthsWithCountZeroOrOddLengthAreRefused) {
    ContainerError error;
    EXPECT_EQ(RunLengthDecode(Bytes{2, 'a', 1, 'b'}, 100, error), (Bytes{'a', 'a', 'b'}));
    for (const Bytes& pairs : {Bytes{2, 'a', 0, 'b'}, Bytes{2, 'a', 1}, Bytes{0, 0}}) {
        error = {};
        EXPECT_FALSE(RunLengthDecode(pairs, 100, error));
        EXPECT_EQ(error.problem, ContainerProblem::kBadRunLength);
    }
    error = {};
    EXPECT_FALSE(RunLengthDecode(Bytes{255, 1, 255, 1}, 300, error));
    EXPECT_EQ(error.problem, ContainerProblem::kTooLarge);

    // The same inside a record set: a pair count of 0, then a pair cut in half.
    Bytes records = SerializeImageListStreamer(WriteImageListStream(SmallList()));
    Bytes zero = records;
    std::size_t magic = 0;
    while (std::string_view(reinterpret_cast<const char*>(&zero[magic]), 4) != "MSFt") ++magic;
    zero[magic + 4] = 0;
    error = {};
    EXPECT_FALSE(DeserializeImageListStreamer(zero, error));
    EXPECT_EQ(error.problem, ContainerProblem::kBadRunLength);
}

TEST(MalformedContainer, RecordsOtherThanAnImageListStreamerAreRefused) {
    Bytes records = SerializeImageListStreamer(WriteImageListStream(SmallList()));
    std::size_t className = 0x74;  // inside "System.Windows.Forms.ImageListStreamer"
    ASSERT_EQ(records[className], 'S');
    for (std::size_t at :
         {std::size_t{0}, std::size_t{9}, className, className + 40, records.size() - 1}) {
        Bytes bad = records;
        bad[at] ^= 0x20;
        ContainerError error;
        EXPECT_FALSE(DeserializeImageListStreamer(bad, error)) << at;
        EXPECT_EQ(error.problem, ContainerProblem::kBadRecord) << at;
    }
    // A string whose length overflows 31 bits.
    Bytes overflow = records;
    overflow[0x11] = 0x0C;
    overflow.insert(overflow.begin() + 0x16, {0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    ContainerError error;
    EXPECT_FALSE(DeserializeImageListStreamer(overflow, error));
    EXPECT_EQ(error.problem, ContainerProblem::kBadRecord);
}

TEST(MalformedContainer, LazarusSizesAndZlibDamageAreRefused) {
    Bytes good = EncodeLazarusImages(SmallList());
    auto problem = [](const Bytes& bytes) {
        ContainerError error;
        EXPECT_FALSE(DecodeLazarusImages(bytes, error));
        return error.problem;
    };
    Bytes bad = good;
    bad[good.size() - 6] ^= 0x55;  // inside the deflate data or its checksum
    EXPECT_EQ(problem(bad), ContainerProblem::kBadCompression);
    bad = good;
    bad[2] = 4;  // one image more than the data holds
    EXPECT_EQ(problem(bad), ContainerProblem::kBadCompression);
    bad = good;
    bad[2] = 2;  // one image fewer: the data holds more than the header says
    EXPECT_EQ(problem(bad), ContainerProblem::kBadCompression);
    bad = good;
    for (int i : {2, 3, 6, 7, 10, 11}) bad[i] = 0xFF;  // 65535 images of 65535 x 65535
    EXPECT_EQ(problem(bad), ContainerProblem::kTooLarge);
    bad = good;
    bad[4] = 1;  // 65539 images
    EXPECT_EQ(problem(bad), ContainerProblem::kTooLarge);
    bad = good;
    bad[21] = 0x80;  // a negative compressed size
    EXPECT_EQ(problem(bad), ContainerProblem::kTruncated);
    bad = good;
    bad[1] = 'X';
    EXPECT_EQ(problem(bad), ContainerProblem::kBadSignature);
    bad = good;
    bad[6] = 0;  // width 0
    EXPECT_EQ(problem(bad), ContainerProblem::kBadStream);
    Bytes plain{'L', 'i', 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3};
    EXPECT_EQ(problem(plain), ContainerProblem::kTruncated);
    plain.push_back(0);
    ContainerError error;
    auto one = DecodeLazarusImages(plain, error);
    ASSERT_TRUE(one);
    EXPECT_TRUE(one->Transparent(0, 0, 0));
}

TEST(MalformedContainer, FormsThatDoNotParseOrNestTooDeepAreRefused) {
    EXPECT_EQ(ProblemOf(std::string_view("object A: TImageList\n  Bitmap = {494C}\n")),
              ContainerProblem::kTruncated);
    EXPECT_EQ(ProblemOf(std::string_view("object A: TImageList\n  Bitmap = {494C}\nend\n")),
              ContainerProblem::kBadStream);
    EXPECT_EQ(ProblemOf(std::string_view("object A: TImageList\n  Bitmap = {4D53}\nend\n")),
              ContainerProblem::kBadSignature);
    EXPECT_EQ(ProblemOf(std::string_view("object A: TImage\n  Bitmap = {4D53}\nend\n")),
              ContainerProblem::kNone);
    EXPECT_EQ(ProblemOf(std::string_view("object A: TForm\n  Caption = 'open\nend\n")),
              ContainerProblem::kBadSyntax);
    EXPECT_EQ(ProblemOf(std::string_view("object A: TForm\n  X = ;\nend\n")),
              ContainerProblem::kBadSyntax);
    EXPECT_EQ(ProblemOf(std::string_view("object A: TForm\nend\njunk")),
              ContainerProblem::kBadSyntax);
    EXPECT_EQ(ProblemOf(std::string_view("just text")), ContainerProblem::kUnknownForm);

    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "object A: T\n";
    EXPECT_EQ(ProblemOf(deep), ContainerProblem::kTooDeep);
    std::string lists = "object A: T\n  X = ";
    for (int i = 0; i < 1000; ++i) lists += "(";
    EXPECT_EQ(ProblemOf(lists), ContainerProblem::kTooDeep);

    Bytes binary{'T', 'P', 'F', '0'};
    for (int i = 0; i < 1000; ++i) binary.insert(binary.end(), {1, 'T', 1, 'A', 0});
    EXPECT_EQ(ProblemOf(binary), ContainerProblem::kTooDeep);
    Bytes forged{'T', 'P', 'F', '0', 1,   'T', 1,    'A',  6,    'B',
                 'i', 't', 'm', 'a', 'p', 10,  0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(ProblemOf(forged), ContainerProblem::kTruncated);
    forged = {'T', 'P', 'F', '0', 1, 'T', 1, 'A', 1, 'X', 99, 0, 0};
    EXPECT_EQ(ProblemOf(forged), ContainerProblem::kBadSyntax);
}

void WriteSeed(const char* dir, const std::string& name, const Bytes& bytes) {
    if (!dir) return;
    std::ofstream(std::filesystem::path(dir) / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The fuzzers' seed corpora, written to ICONVALE_SEED_DIR when asked; otherwise checked to read.
void Seeds(ContainerForm form, const char* prefix) {
    const char* dir = std::getenv("ICONVALE_SEED_DIR");
    int n = 0;
    for (int bits : {4, 8, 16, 24, 32}) {
        for (bool mask : {false, true}) {
            ImageListData list = PatternList(
                {.width = 3, .height = 2, .bitsPerPixel = bits, .mask = mask, .count = 3});
            Bytes file = WriteContainer(form, list, "ImageList1");
            ASSERT_FALSE(ReadContainer(file).error);
            WriteSeed(dir, prefix + std::to_string(n++), file);
        }
    }
}

TEST(SeedCorpus, DelphiForms) {
    Seeds(ContainerForm::kDelphiForm, "dfm");
    Bytes binary{'T', 'P', 'F', '0', 6,   'T', 'F', 'o', 'r', 'm', '1',
                 1,   'F', 4,   'L', 'e', 'f', 't', 2,   5,   0};
    binary.insert(binary.end(), {10, 'T', 'I', 'm', 'a', 'g', 'e', 'L', 'i', 's', 't', 1, 'I'});
    Bytes stream = WriteImageListStream(SmallList(8));
    binary.insert(binary.end(), {6, 'B', 'i', 't', 'm', 'a', 'p', 10});
    AppendU32(binary, static_cast<std::uint32_t>(stream.size()));
    binary.insert(binary.end(), stream.begin(), stream.end());
    binary.insert(binary.end(), {0, 0, 0});
    ASSERT_EQ(ReadContainer(binary).lists.size(), 1u);
    WriteSeed(std::getenv("ICONVALE_SEED_DIR"), "binary", binary);
    // The picture collections, from the committed samples.
    for (const char* name :
         {"image_collection", "png_image_list", "png_image_list_binary", "cx_image_list"}) {
        std::ifstream in(std::string(ICONVALE_SAMPLE_FORMS) + name + ".dfm", std::ios::binary);
        const Bytes sample{std::istreambuf_iterator<char>(in), {}};
        ASSERT_EQ(ReadContainer(sample).lists.size(), 1u) << name;
        WriteSeed(std::getenv("ICONVALE_SEED_DIR"), name, sample);
    }
}

TEST(SeedCorpus, LazarusForms) {
    Seeds(ContainerForm::kLazarusForm, "lfm");
    // Lists of several sizes, so that the fuzzer reaches BitmapAdv.
    std::vector<ImageListData> sizes;
    for (int side : {3, 5, 2}) {
        sizes.push_back(PatternList({.width = side, .height = side, .count = 2}));
        const std::string form = testing::LazarusFormWithSizes(
            "ilBookmarks", PatternList({.width = 4, .height = 4, .count = 2}),
            testing::LazarusSizes(sizes));
        const Bytes file(form.begin(), form.end());
        ASSERT_EQ(ReadContainer(file).lists.at(0).sizes.size(), sizes.size() + 1);
        WriteSeed(std::getenv("ICONVALE_SEED_DIR"), "sizes" + std::to_string(sizes.size()), file);
    }
}

TEST(SeedCorpus, ResxFiles) {
    Seeds(ContainerForm::kResx, "resx");
}

}  // namespace
}  // namespace iconvale
