// The names that forms give images, through the command line: shown by info, taken for the files
// of unpack --names and for the resources of convert --per-image.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/files.h"
#include "cli/unpack_names.h"
#include "core/embedded_pictures.h"
#include "core/image_list_container.h"
#include "core/text_codecs.h"
#include "support/cli_runner.h"

namespace iconvale::testing {
namespace {

const std::string kForms = ICONVALE_SAMPLE_FORMS;

// A form of one PNG image list, its images named as given, each a flat colour of its own.
Bytes NamedForm(const std::vector<std::string>& names) {
    std::string form = "object Form1: TForm1\r\n  object Icons: TPngImageList\r\n    PngImages = <";
    for (std::size_t i = 0; i < names.size(); ++i) {
        BgraPicture picture{16, 16, Bytes(1024, 255)};
        for (std::size_t p = 0; p < 1024; p += 4)
            picture.bgra[p] = static_cast<std::uint8_t>(p + i);
        form += "\r\n      item\r\n        Name = '" + names[i] +
                "'\r\n        PngImage.Data = {\r\n" +
                HexLines(EncodePngPicture(picture), 32, "          ", "\r\n") + "}\r\n      end";
    }
    form += ">\r\n  end\r\nend\r\n";
    return Bytes(form.begin(), form.end());
}

TEST(CliImageNames, InfoShowsTheNamesOfListsThatNameTheirImages) {
    const struct {
        const char* form;
        const char* names;  // the line under the list's figures; none when empty
    } cases[] = {
        {"image_collection.dfm", "    names: Save, Open, Print\n"},
        {"png_image_list.dfm", "    names: ok, cancel, help\n"},
        {"cx_image_list.dfm", "    names: -, -, -\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli({"info", kForms + c.form});
        ASSERT_EQ(cli::kExitOk, run.status) << run.err;
        EXPECT_EQ(c.names, run.out.substr(run.out.find('\n', run.out.find('\n') + 1) + 1))
            << c.form;
    }
    const CliRun json = RunCli({"info", "--json", kForms + "png_image_list.dfm"});
    EXPECT_NE(std::string::npos, json.out.find(R"("names":["ok","cancel","help"])")) << json.out;
}

TEST(CliImageNames, UnpackNamesEachFileSafelyInsideItsFolder) {
    CliFolder folder;
    folder.Write("out/Taken.png", Bytes{1});
    folder.Write("out/image0.png", Bytes{2});
    const struct {
        std::string name;
        std::string file;
    } cases[] = {
        {"Save", "Save.png"},
        {"a<b>:c\"d|e?f*g", "a_b__c_d_e_f_g.png"},
        {"tab\there", "tab_here.png"},
        {"dot.", "dot_.png"},
        {"../up", ".._up.png"},
        {"a/b", "a_b.png"},
        {"c\\d", "c_d.png"},
        {"bad\xFF", "bad_.png"},
        {"console", "console.png"},  // a device name only as a whole
        {"CON", "image1.png"},       // image0 is in the folder already
        {"lpt1.txt", "image2.png"},
        {"", "image3.png"},
        {".", "image4.png"},
        {"..", "image5.png"},
        {"taken", "image6.png"},  // Taken.png is there, and Windows would replace it
        {"SAVE", "image7.png"},   // the first Save takes the name
        {std::string(260, 'x'), "image8.png"},
    };
    std::vector<std::string> names;
    std::vector<int> indices;
    for (const auto& c : cases) names.push_back(c.name), indices.push_back(indices.size());
    const auto folderPath = cli::PathFromUtf8(folder.Name("out"));
    const auto files = cli::NamedPictureFiles(folderPath, names, indices, ".png");
    ASSERT_EQ(std::size(cases), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(cases[i].file, cli::Utf8Name(files[i].filename())) << cases[i].name;
        EXPECT_EQ(folderPath, files[i].parent_path());
    }

    // Through the command: the files are written there and nowhere else.
    folder.Write("evil.dfm", NamedForm({"../up", "..", "a/b", "CON", "Ok"}));
    const CliRun run = RunCli({"unpack", "--names", folder.Name("evil.dfm"), "-o",
                               folder.Name("out"), "--indices", "0,2-4"});
    ASSERT_EQ(cli::kExitOk, run.status) << run.err;
    for (const char* file : {".._up.png", "a_b.png", "image1.png", "Ok.png"})
        EXPECT_TRUE(folder.Exists(std::string("out/") + file)) << file;
    // Beside the folder only the form, which is all there was.
    EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(folderPath.parent_path()), {}));
}

// Each <data> element of a resource file: its name attribute as written, and its value decoded.
std::vector<std::pair<std::string, Bytes>> ResxData(const std::string& text) {
    std::vector<std::pair<std::string, Bytes>> found;
    for (std::size_t at = text.find("<data name=\""); at != std::string::npos;
         at = text.find("<data name=\"", at + 1)) {
        const std::size_t nameStart = at + 12;
        const std::size_t value = text.find("<value>", at) + 7;
        auto bytes = DecodeBase64(text.substr(value, text.find("</value>", value) - value));
        found.emplace_back(text.substr(nameStart, text.find('"', nameStart) - nameStart),
                           bytes.value_or(Bytes{}));
    }
    return found;
}

TEST(CliImageNames, PerImageResxHoldsEachImageAsAPngUnderItsName) {
    CliFolder folder;
    folder.Write("dup.dfm", NamedForm({"Save", "save", "", "a&b<c>", "image0"}));
    const struct {
        std::string input;
        std::vector<std::string> extra;
        std::vector<std::string> names;  // as the attributes stand in the file
    } cases[] = {
        {kForms + "image_collection.dfm", {}, {"Save", "Open", "Print"}},
        {kForms + "image_collection.dfm", {"--size", "32x32"}, {"Save", "Open", "Print"}},
        {kForms + "cx_image_list.dfm", {}, {"image0", "image1", "image2"}},
        {folder.Name("dup.dfm"), {}, {"Save", "image1", "image2", "a&amp;b&lt;c&gt;", "image0"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"convert", c.input, folder.Name("out.resx"),
                                           "--per-image", "--force"};
        arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
        const CliRun run = RunCli(arguments);
        ASSERT_EQ(cli::kExitOk, run.status) << run.err;
        const Bytes written = folder.Read("out.resx");
        const auto data = ResxData(std::string(written.begin(), written.end()));

        std::string error;
        const ContainerContents contents =
            ReadContainer(cli::ReadInputFile(cli::PathFromUtf8(c.input), error));
        ASSERT_EQ(1u, contents.lists.size());
        ContainerError problem;
        const auto list = DecodeContainedList(contents.lists[0], c.extra.empty() ? 0 : 1, problem);
        ASSERT_TRUE(list);
        ASSERT_EQ(c.names.size(), data.size()) << c.input;
        for (std::size_t i = 0; i < data.size(); ++i) {
            EXPECT_EQ(c.names[i], data[i].first);
            BgraPicture png;
            ASSERT_TRUE(DecodePngPicture(data[i].second, 1 << 20, png)) << c.names[i];
            ASSERT_EQ(list->width * list->height * 4, static_cast<int>(png.bgra.size()));
            for (int at = 0; at < list->width * list->height; ++at) {
                const int x = at % list->width, y = at / list->width, k = static_cast<int>(i);
                std::uint32_t argb = 0;
                for (int b = 3; b >= 0; --b) argb = argb << 8 | png.bgra[at * 4 + b];
                ASSERT_EQ(list->Transparent(k, x, y) ? 0 : list->Pixel(k, x, y),
                          list->Transparent(k, x, y) ? argb >> 24 : argb)
                    << c.names[i] << " " << x << "," << y;
            }
        }
    }
    const CliRun misuse =
        RunCli({"convert", kForms + "png_image_list.dfm", folder.Name("out.dfm"), "--per-image"});
    EXPECT_EQ(cli::kExitUsage, misuse.status);
    EXPECT_FALSE(folder.Exists("out.dfm"));
}

}  // namespace
}  // namespace iconvale::testing
