// Import and Export through the modal seam, against a real main window and real files.
#include "app/exchange_commands.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/image_list_chooser.h"
#include "core/file_io.h"
#include "core/group_file.h"
#include "support/expected_flags.h"
#include "support/program_fixture.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "ui/file_dialog_object.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::PatternList;
using testing::SameImages;

Bytes AsBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class ExchangeCommandsTest : public testing::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        toolbar_ = testing::CanonicalPattern({.width = 16, .height = 16, .count = 3});
        tree_ = testing::CanonicalPattern({.width = 24, .height = 20, .count = 2});
    }

    // A Delphi form holding two image lists, as a designer nests them in the form's block.
    std::string TwoListForm() {
        std::string form = "object Form1: TForm1\r\n  Caption = 'Main'\r\n";
        form += testing::DelphiBlock(toolbar_, "Toolbar");
        form += testing::DelphiBlock(tree_, "TreeIcons");
        form += "end\r\n";
        const std::string path = folder_.File("两个列表.dfm");
        testing::WriteBytes(path, AsBytes(form));
        return path;
    }

    // Opens a saved group of `count` images, unchanged, as the document.
    void OpenSavedGroup(int count) {
        const std::string path = folder_.File("open.eil");
        testing::WriteBytes(
            path,
            WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(16, 16, count)), true));
        ui_.files.push_back(FileChoice{path, 1});
        commands_.Open();
        ASSERT_EQ(group().GetCount(), count);
    }

    void Import(const std::string& path) {
        ui_.files.push_back(FileChoice{path, 1});
        exchange_.Import();
    }

    void ExpectOpenGroupUnchanged(int count) {
        EXPECT_EQ(group().GetCount(), count);
        EXPECT_EQ(document().path(), folder_.File("open.eil"));
        EXPECT_FALSE(document().modified());
        EXPECT_EQ(Pane(3), folder_.File("open.eil"));
    }

    ImageListData GroupList() {
        auto list = ParseImageListStream(group().SaveToBytes(0));
        return list ? *list : ImageListData{};
    }

    ImageListData toolbar_;
    ImageListData tree_;
    FileDialogObject dialog_;
    DocumentCommands commands_{program_.document(),       program_.choices, window_, ui_, dialog_,
                               folder_.File("seting.ini")};
    ExchangeCommands exchange_{program_.document(), dialog_, window_, ui_, commands_};
};

TEST_F(ExchangeCommandsTest, ImportTakesTheChosenListOfAFormUntitledAndChanged) {
    OpenSavedGroup(4);
    ui_.listChoices.push_back(1);
    Import(TwoListForm());
    ASSERT_EQ(ui_.fileDialogs.size(), 2u);
    EXPECT_EQ(ui_.fileDialogs[1].title, "导入图片列表");
    EXPECT_EQ(ui_.fileDialogs[1].kind, FileDialogKind::Open);
    ASSERT_EQ(ui_.listChoosers.size(), 1u);
    const auto& listed = ui_.listChoosers[0];
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].name, "Toolbar");
    EXPECT_EQ(listed[1].name, "TreeIcons");
    EXPECT_EQ(
        (std::array{listed[1].count, listed[1].width, listed[1].height, listed[1].bitsPerPixel}),
        (std::array{2, 24, 20, 32}));

    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_TRUE(SameImages(tree_, GroupList()));
    EXPECT_EQ(document().path(), "");
    EXPECT_TRUE(document().modified());
    EXPECT_EQ(Pane(3), "未命名图片组");
    EXPECT_EQ(ListCount(), 2);

    // Save asks for a name rather than writing over the form.
    commands_.Save();
    EXPECT_EQ(ui_.fileDialogs.back().title, "保存图片组");
}

TEST_F(ExchangeCommandsTest, ImportOfOneListNeedsNoChooserAndAskedToSaveFirst) {
    const std::string stream = folder_.File("toolbar.bin");
    testing::WriteBytes(stream, WriteImageListStream(toolbar_));
    OpenSavedGroup(2);
    MarkChanged();
    ui_.answers.push_back(IDNO);
    Import(stream);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].style, testing::kYesNoCancelQuestionStyle)
        << "the save-changes question";
    EXPECT_TRUE(ui_.listChoosers.empty());
    EXPECT_TRUE(SameImages(toolbar_, GroupList()));
    EXPECT_TRUE(document().modified());
}

TEST_F(ExchangeCommandsTest, DamagedFilesAndCancelsChangeNothing) {
    OpenSavedGroup(3);
    const std::string damaged = folder_.File("damaged.dfm");
    testing::WriteBytes(damaged, AsBytes("object Form1: TForm1\r\n  object Icons: TImageList\r\n"
                                         "    Bitmap = {\r\n      494C01G1}\r\n  end\r\nend\r\n"));
    Import(damaged);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text.rfind(
                  "导入失败！\r\n二进制数据中有不是十六进制数字的字符（第 4 行", 0),
              0u)
        << ui_.messages[0].text;
    EXPECT_EQ(ui_.messages[0].style, testing::kErrorStyle);
    ExpectOpenGroupUnchanged(3);

    const std::string empty = folder_.File("empty.lfm");
    testing::WriteBytes(empty, Bytes{});
    Import(empty);
    EXPECT_EQ(ui_.messages.size(), 2u);
    ExpectOpenGroupUnchanged(3);

    ui_.listChoices.push_back(-1);
    Import(TwoListForm());
    EXPECT_EQ(ui_.listChoosers.size(), 1u);
    exchange_.Import();  // the file dialog cancelled
    EXPECT_EQ(ui_.messages.size(), 2u);
    ExpectOpenGroupUnchanged(3);
}

TEST_F(ExchangeCommandsTest, ImportAnsweredNoKeepsTheChangedGroupUntilItWorksAndUndoesToIt) {
    OpenSavedGroup(3);
    document().Change([](ImageGroup& g) { return g.Remove(0); });
    const std::string damaged = folder_.File("damaged.dfm");
    testing::WriteBytes(damaged, AsBytes("object Icons: TImageList\r\n  Bitmap = {\r\n"
                                         "    494C01G1}\r\nend\r\n"));
    const std::string two = TwoListForm();
    // "否" each time, then: the file dialog cancelled, the chooser cancelled, a damaged file.
    ui_.answers = {IDNO, IDNO, IDNO};
    exchange_.Import();
    ui_.listChoices.push_back(-1);
    Import(two);
    Import(damaged);
    ASSERT_EQ(ui_.messages.size(), 4u) << "three questions and the damage";
    EXPECT_EQ(group().GetCount(), 2);
    EXPECT_TRUE(document().modified());
    EXPECT_EQ(document().path(), folder_.File("open.eil"));
    EXPECT_EQ(ListCount(), 2);

    ui_.answers.push_back(IDNO);
    ui_.listChoices.push_back(0);
    Import(two);
    EXPECT_TRUE(SameImages(toolbar_, GroupList()));
    ASSERT_TRUE(document().CanUndo());
    ASSERT_TRUE(document().Undo());
    EXPECT_EQ(group().GetCount(), 2) << "the changed group, not the file's";
    EXPECT_EQ(ListCount(), 2);
    EXPECT_TRUE(document().modified());
    ASSERT_TRUE(document().Redo());
    EXPECT_TRUE(SameImages(toolbar_, GroupList()));
}

TEST_F(ExchangeCommandsTest, ImportListsEachSizeOfAListAndTakesTheChosenOne) {
    const ImageListData base = PatternList({.width = 11, .height = 11, .count = 2});
    std::vector<ImageListData> sizes;
    for (int side : {16, 22, 33})
        sizes.push_back(PatternList({.width = side, .height = side, .count = 2}));
    Bytes damaged = testing::LazarusSizes(sizes);
    damaged.back() ^= 0xFF;  // the 33x33 block's checksum
    Bytes lost = damaged;
    lost[0] = 'X';
    struct Case {
        const char* name;
        Bytes sizes;
        int choice;        // the row chosen; -1 where no chooser is shown
        int width;         // of the group afterwards
        const char* said;  // the one message shown, if any
    } cases[] = {
        {"a.lfm", testing::LazarusSizes(sizes), 2, 22, ""},
        {"b.lfm", damaged, 3, 16,
         "导入失败！\r\n图片列表的压缩数据已损坏（第 3 行，组件 ilBookmarks，尺寸 33×33）"},
        {"c.lfm", lost, -1, 11,
         "这个列表的其他尺寸无法读取：\r\n图片列表数据的签名无法识别（第 3 行，组件 ilBookmarks）"},
    };
    for (const Case& c : cases) {
        const std::string path = folder_.File(c.name);
        testing::WriteBytes(path,
                            AsBytes(testing::LazarusFormWithSizes("ilBookmarks", base, c.sizes)));
        ui_.answers.push_back(IDNO);  // not to save the group the last case imported
        OpenSavedGroup(3);
        ui_.answers.clear();
        ui_.listChoosers.clear();
        ui_.messages.clear();
        if (c.choice >= 0) ui_.listChoices.push_back(c.choice);
        Import(path);
        if (c.choice >= 0) {
            ASSERT_EQ(ui_.listChoosers.size(), 1u) << c.name;
            const auto& rows = ui_.listChoosers[0];
            ASSERT_EQ(rows.size(), 4u);
            EXPECT_EQ(ImageListChooser::RowTexts(rows[2])[0], "ilBookmarks 22×22");
            EXPECT_EQ(ImageListChooser::RowTexts(rows[0])[2], "11x11");
        } else {
            EXPECT_TRUE(ui_.listChoosers.empty()) << c.name;
        }
        ASSERT_EQ(ui_.messages.size(), *c.said ? 1u : 0u) << c.name;
        if (*c.said) {
            EXPECT_EQ(ui_.messages[0].text, c.said);
        }
        EXPECT_EQ(group().GetIconSize().width, c.width) << c.name;
    }
}

TEST_F(ExchangeCommandsTest, ExportWritesEachFormAsACopy) {
    exchange_.Export();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "请先新建或打开一个图片组！");
    EXPECT_TRUE(ui_.fileDialogs.empty());

    OpenSavedGroup(3);
    MarkChanged();
    const ImageListData saved = GroupList();
    struct Case {
        const char* name;
        int filterIndex;
        ContainerForm form;
    };
    // The name's extension decides; without a known one the chosen filter does.
    for (const Case& c :
         {Case{"a.dfm", 2, ContainerForm::kDelphiForm},
          Case{"b.LFM", 1, ContainerForm::kLazarusForm}, Case{"c.resx", 1, ContainerForm::kResx},
          Case{"d.txt", 2, ContainerForm::kLazarusForm}}) {
        const std::string path = folder_.File(c.name);
        ui_.files.push_back(FileChoice{path, c.filterIndex});
        // The Lazarus form keeps no background colour, and the export asks first.
        if (c.form == ContainerForm::kLazarusForm) ui_.answers.push_back(IDYES);
        exchange_.Export();
        EXPECT_EQ(ui_.fileDialogs.back().kind, FileDialogKind::Save);
        ContainerContents read = ReadContainer(ReadWholeFile(path));
        ASSERT_FALSE(read.error) << c.name << ": " << DescribeContainerError(read.error);
        EXPECT_EQ(read.form, c.form) << c.name;
        ASSERT_EQ(read.lists.size(), 1u) << c.name;
        EXPECT_EQ(read.lists[0].name, "ImageList1") << c.name;
        ContainerError error;
        auto images = DecodeContainedList(read.lists[0], 0, error);
        ASSERT_TRUE(images) << c.name;
        EXPECT_TRUE(SameImages(saved, *images)) << c.name;
    }
    EXPECT_EQ(ui_.messages.size(), 3u);
    EXPECT_EQ(document().path(), folder_.File("open.eil"));
    EXPECT_TRUE(document().modified());

    ui_.files.push_back(FileChoice{folder_.File("没有\\x.dfm"), 1});
    exchange_.Export();
    ASSERT_EQ(ui_.messages.size(), 4u);
    EXPECT_EQ(ui_.messages[3].text, "保存失败！");
    EXPECT_EQ(ui_.messages[3].style, testing::kErrorStyle);
}

TEST_F(ExchangeCommandsTest, ExportToALazarusFormSaysWhatItLosesBeforeWriting) {
    // A 24-bit list with colours under its transparent pixels, as other tools leave them.
    const ImageListData raw = PatternList({.bitsPerPixel = 24, .count = 2});
    const std::string open = folder_.File("raw.eil");
    testing::WriteBytes(open, WithGroupHeader(WriteImageListStream(raw), true));
    ui_.files.push_back(FileChoice{open, 1});
    commands_.Open();
    ASSERT_EQ(group().GetCount(), 2);

    const std::string lfm = folder_.File("raw.lfm");
    ui_.files.push_back(FileChoice{lfm, 1});
    ui_.answers.push_back(IDNO);
    exchange_.Export();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text,
              "导出为 Lazarus 窗体时，图片组的以下内容无法保留：\r\n"
              "  · 24 位颜色深度（图片将变为 32 位）\r\n  · 背景色\r\n仍要导出吗？");
    EXPECT_EQ(ui_.messages[0].style, testing::kYesNoWarningStyle);
    EXPECT_FALSE(PathExists(lfm)) << "nothing is written before the answer";

    ui_.files.push_back(FileChoice{lfm, 1});
    ui_.answers.push_back(IDYES);
    exchange_.Export();
    const ContainerContents written = ReadContainer(ReadWholeFile(lfm));
    ASSERT_EQ(written.lists.size(), 1u);
    ContainerError error;
    EXPECT_EQ(
        DecodeContainedList(written.lists[0], 0, error).value_or(ImageListData{}).bitsPerPixel, 32);

    // A form that keeps everything asks nothing, and keeps every pixel of the group.
    const std::string dfm = folder_.File("raw.dfm");
    ui_.files.push_back(FileChoice{dfm, 1});
    exchange_.Export();
    EXPECT_EQ(ui_.messages.size(), 2u);
    const ContainerContents kept = ReadContainer(ReadWholeFile(dfm));
    ASSERT_EQ(kept.lists.size(), 1u);
    const auto keptImages = DecodeContainedList(kept.lists[0], 0, error);
    ASSERT_TRUE(keptImages);
    EXPECT_TRUE(SameImages(GroupList(), *keptImages));
    EXPECT_EQ(keptImages->bitsPerPixel, 24);
}

}  // namespace
}  // namespace iconvale
