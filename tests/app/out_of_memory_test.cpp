// Running out of memory for a whole file or picture, made to happen through the large-buffer
// seam: each command fails with its own message, keeps the document as the failure left it and
// holds on to nothing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/document_commands.h"
#include "app/drop_target.h"
#include "app/extraction.h"
#include "app/picture_import.h"
#include "core/file_io.h"
#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "imaging/image_formats.h"
#include "support/file_drop_data.h"
#include "support/program_fixture.h"
#include "support/stream_builders.h"
#include "support/test_pictures.h"
#include "support/wired_commands.h"
#include "ui/large_buffer.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::Inputs;

class OutOfMemoryTest : public testing::ProgramFixture {
protected:
    std::string GroupFile(const std::string& name, int count) {
        const std::string path = folder_.File(name);
        testing::WriteBytes(
            path,
            WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(16, 16, count)), true));
        return path;
    }
    std::string Picture(const std::string& name) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(testing::WritePicture(
            path, 64, 32, [](int, int) { return 0xFF20C040u; }, kPngFormat));
        return path;
    }
    void Choose(const std::string& path) { ui_.files.push_back(FileChoice{path, 1}); }
    // Runs the command with every large buffer failing; it must give back all it took (and
    // `discarded` image lists of its own: Open lets the old group go before reading).
    void Starved(const std::function<void()>& command, long discarded = 0) {
        LiveHandles expected = LiveHandlesNow();
        expected.imageLists -= discarded;
        {
            LargeBufferFailure failure;
            command();
        }
        EXPECT_EQ(LiveHandlesNow(), expected);
        EXPECT_TRUE(program_.scratchPicture().IsEmpty());
    }

    testing::WiredCommands wired_{program_, window_, ui_, folder_.File("seting.ini")};
    DocumentCommands& commands_ = wired_.document;
    PictureImport& import_ = wired_.pictures;
    Extraction extraction_{program_.document(), program_.choices, window_, ui_, folder_.path()};
};

TEST_F(OutOfMemoryTest, OpenMergeAndSaveFailWithTheirMessages) {
    const std::string path = GroupFile("three.eil", 3);
    ui_.newGroupPresses.push_back({Inputs("16", "16", "32", true)});
    commands_.New();
    Choose(path);
    commands_.Merge();
    ASSERT_EQ(group().GetCount(), 3);
    ASSERT_TRUE(document().SaveTo(path));
    document().Change([](ImageGroup& group) { return group.Remove(0); });
    const Bytes onDisk = ReadWholeFile(path);

    Starved([&] { commands_.Save(); });
    EXPECT_EQ(ReadWholeFile(path), onDisk);
    Choose(path);
    Starved([&] { commands_.Merge(); });
    EXPECT_EQ(group().GetCount(), 2);
    EXPECT_TRUE(document().modified());
    MarkSaved();
    Choose(path);
    Starved([&] { commands_.Open(); }, 1);
    EXPECT_FALSE(group().IsCreated());
    EXPECT_EQ(ListCount(), 0) << "the list was refreshed";
    EXPECT_FALSE(document().modified());
    EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{"保存失败！", "合并图片组失败！",
                                                            "打开图片组失败！可能不是图片组文件"}));

    Choose(path);
    commands_.Open();
    EXPECT_EQ(group().GetCount(), 3) << "with memory again, the same file opens";
}

TEST_F(OutOfMemoryTest, AddReplaceDropAndExtractFailWithTheirMessages) {
    ui_.newGroupPresses.push_back({Inputs("32", "32", "32", true, 0x00FF00FF)});
    commands_.New();
    const std::string picture = Picture("strip.png");
    ASSERT_TRUE(import_.AddPictureFile(picture));
    MarkSaved();
    Select({0});
    const Bytes before = group().SaveToBytes(1);

    // Whole, as a masked strip, and replacing in both ways.
    for (int segment : {0, 1}) {
        choices().autoSegmentation = segment == 1;
        choices().useTransparentColour = true;
        Choose(picture);
        Starved([&] { import_.Add(); });
        Choose(picture);
        Starved([&] { import_.Replace(); });
    }
    choices().autoSegmentation = false;
    ComPtr<IDropTarget> target(
        new FileDropTarget([this](const std::string& paths) { import_.Drop(paths); }));
    ComPtr<IDataObject> data(testing::NewFileDropData({WidePtr(ToWide(picture))}));
    DWORD effect = DROPEFFECT_COPY;
    Starved([&] { EXPECT_EQ(target->Drop(data.get(), 0, {0, 0}, &effect), S_OK); });
    EXPECT_EQ(group().SaveToBytes(1), before);
    EXPECT_FALSE(document().modified());

    ui_.extractionChoices.push_back(ExtractionChoice{folder_.path(), kPngFormat});
    Starved([&] { extraction_.Extract(); });
    EXPECT_FALSE(testing::FileExists(folder_.File("image0.png")));
    EXPECT_EQ(
        ui_.MessageTexts(),
        (std::vector<std::string>{"添加失败！", "替换图片失败！", "添加失败！", "替换图片失败！",
                                  "添加失败！", "提取图标失败！", "提取图标完毕！"}));
}

TEST(LargeBuffer, AnImpossibleSizeFailsWithoutThrowingAndLeavesTheBufferEmpty) {
    std::vector<std::uint8_t> buffer(16, 1);
    EXPECT_FALSE(TryResize(buffer, buffer.max_size()));
    EXPECT_TRUE(buffer.empty());
    EXPECT_TRUE(TryResize(buffer, 1 << 20));
    {
        LargeBufferFailure failure(2 << 20);
        EXPECT_TRUE(TryResize(buffer, (2 << 20) - 1));
        EXPECT_FALSE(TryResize(buffer, 2 << 20));
    }
    EXPECT_TRUE(TryResize(buffer, 2 << 20));
}

}  // namespace
}  // namespace iconvale
