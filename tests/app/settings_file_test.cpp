#include "app/settings_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/program_paths.h"
#include "support/temp_folder.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::FileExists;

std::string FileBytes(const std::string& path) {
    std::ifstream file(std::filesystem::path(WidePtr(ToWide(path))), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::vector<std::string> SectionNames(const std::string& file) {
    wchar_t names[256] = {};
    DWORD length = ::GetPrivateProfileSectionNamesW(names, 256, WidePtr(ToWide(file)));
    std::vector<std::string> sections;
    for (const wchar_t* name = names; name < names + length && *name; name += wcslen(name) + 1) {
        sections.push_back(ToNarrow(std::wstring_view(name)));
    }
    return sections;
}

TEST(SettingsFile, LivesBesideTheExecutableUnderItsOwnSpelling) {
    EXPECT_EQ(SettingsFilePath(), ProgramFolder() + "\\seting.ini");
}

TEST(SettingsFile, MissingFileGivesTheDefaultsAndIsNotCreated) {
    testing::TempFolder folder;
    std::string file = folder.File("seting.ini");
    RememberedChoices choices = LoadRememberedChoices(file);
    EXPECT_EQ(choices.pictureFilterIndex, 6);
    EXPECT_EQ(choices.groupFilterIndex, 1);
    EXPECT_EQ(choices.autoSegmentation, 0);
    EXPECT_EQ(LoadUseColour(file), 1);
    EXPECT_FALSE(FileExists(file)) << "reading never makes the file";
}

TEST(SettingsFile, SavedChoicesMakeTheFileWithBothSections) {
    testing::TempFolder folder;
    std::string file = folder.File("seting.ini");
    ASSERT_TRUE(SaveRememberedChoices(file, {3, 2, 1}));
    ASSERT_TRUE(FileExists(file));
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"index", "seting"}));
    EXPECT_EQ(ReadSetting(file, "index", "image", ""), "3");
    EXPECT_EQ(ReadSetting(file, "index", "imagelist", ""), "2");
    EXPECT_EQ(ReadSetting(file, "seting", "autosegmentation", ""), "1");
    EXPECT_EQ(LoadUseColour(file), 1) << "a key never written keeps its default";
    ASSERT_TRUE(SaveUseColour(file, 0));
    EXPECT_EQ(LoadUseColour(file), 0);
    // Plain text, as the narrow profile functions write it.
    const std::string text = FileBytes(file);
    EXPECT_TRUE(text.starts_with("[index]\r\nimage=3\r\nimagelist=2\r\n")) << text;
    EXPECT_NE(text.find("autosegmentation=1\r\nusecolor=0"), std::string::npos) << text;
    EXPECT_EQ(text.find('\0'), std::string::npos);
}

Bytes Utf16File(std::u16string_view text) {
    Bytes bytes{0xFF, 0xFE};
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(SettingsFile, Utf16FileOfAnEarlierBuildIsReadThenRewrittenAsPlainText) {
    testing::TempFolder folder;
    std::string file = folder.File("seting.ini");
    // "[组]" with "图=图片": Chinese that GBK holds survives the rewrite.
    ASSERT_TRUE(testing::WriteBytes(
        file, Utf16File(u"[index]\r\nimage=2\r\n[\u7EC4]\r\n\u56FE=\u56FE\u7247\r\n"
                        u"[seting]\r\nusecolor=0\r\n")));
    EXPECT_EQ(LoadRememberedChoices(file).pictureFilterIndex, 2);
    EXPECT_EQ(LoadUseColour(file), 0);
    ASSERT_TRUE(SaveUseColour(file, 1));
    std::string text = FileBytes(file);
    EXPECT_TRUE(text.starts_with("[index]\r\nimage=2\r\n[\xD7\xE9]\r\n")) << text;
    EXPECT_NE(text.find("usecolor=1"), std::string::npos) << text;
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(ReadSetting(file, "\xD7\xE9", "\xCD\xBC", ""), "\xCD\xBC\xC6\xAC");
    EXPECT_EQ(LoadRememberedChoices(file).pictureFilterIndex, 2);

    // A character GBK cannot store keeps the file UTF-16 rather than lose it.
    ASSERT_TRUE(testing::WriteBytes(file, Utf16File(u"[seting]\r\nnote=\u0E01\r\n")));
    ASSERT_TRUE(SaveUseColour(file, 0));
    text = FileBytes(file);
    EXPECT_TRUE(text.starts_with("\xFF\xFE"));
    EXPECT_NE(text.find(std::string("\x01\x0E", 2)), std::string::npos);
    EXPECT_EQ(LoadUseColour(file), 0);
}

TEST(SettingsFile, ValuesAreReadAsTheirLeadingNumber) {
    testing::TempFolder folder;
    std::string file = folder.File("seting.ini");
    ASSERT_TRUE(WriteSetting(file, "index", "image", " 3"));
    ASSERT_TRUE(WriteSetting(file, "index", "imagelist", "abc"));
    ASSERT_TRUE(WriteSetting(file, "seting", "autosegmentation", "1"));
    RememberedChoices loaded = LoadRememberedChoices(file);
    EXPECT_EQ(loaded.pictureFilterIndex, 3);
    EXPECT_EQ(loaded.groupFilterIndex, 0);
    EXPECT_EQ(loaded.autoSegmentation, 1);
    ASSERT_TRUE(WriteSetting(file, "seting", "autosegmentation", "2"));
    EXPECT_EQ(LoadRememberedChoices(file).autoSegmentation, 2);
}

TEST(SettingsFile, GbkFolderAndTextSurviveAnAnsiSystem) {
    testing::TempFolder base;
    // "图片" and a character whose trail byte is 0x5C.
    std::string folder = base.File("\xCD\xBC\xC6\xAC\xB1\x5C");
    ASSERT_TRUE(::CreateDirectoryW(WidePtr(ToWide(folder)), nullptr));
    std::string file = JoinPath(folder, "seting.ini");
    ASSERT_TRUE(WriteSetting(file, "index", "image", "4"));
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(LoadRememberedChoices(file).pictureFilterIndex, 4);
    const std::string text = "\xCD\xBC\xC6\xAC \xB1\x5C";
    ASSERT_TRUE(WriteSetting(file, "\xD7\xE9", "\xCD\xBC", text));
    EXPECT_EQ(ReadSetting(file, "\xD7\xE9", "\xCD\xBC", ""), text);
}

TEST(SettingsFile, ExistingAnsiFileIsReadAndKeptAnsi) {
    testing::TempFolder folder;
    std::string file = folder.File("seting.ini");
    const std::string old = "[index]\r\nimage=2\r\n[seting]\r\nusecolor=0\r\n";
    ASSERT_TRUE(testing::WriteBytes(file, Bytes(old.begin(), old.end())));
    EXPECT_EQ(LoadRememberedChoices(file).pictureFilterIndex, 2);
    EXPECT_EQ(LoadUseColour(file), 0);
    ASSERT_TRUE(SaveUseColour(file, 1));
    std::string text = FileBytes(file);
    EXPECT_TRUE(text.starts_with("[index]\r\nimage=2")) << text;
    EXPECT_NE(text.find("usecolor=1"), std::string::npos) << text;
}

TEST(SettingsFile, LongValuesAreCutAtACharacterBoundary) {
    testing::TempFolder folder;
    std::string file = folder.File("seting.ini");
    ASSERT_TRUE(WriteSetting(file, "seting", "ascii", std::string(12000, 'a')));
    EXPECT_EQ(ReadSetting(file, "seting", "ascii", ""), std::string(kMaxSettingBytes, 'a'));
    std::string gbk = "x";
    for (int i = 0; i < 6000; ++i) gbk += "\xD6\xD0";
    ASSERT_TRUE(WriteSetting(file, "seting", "gbk", gbk));
    EXPECT_EQ(ReadSetting(file, "seting", "gbk", ""), gbk.substr(0, kMaxSettingBytes - 1))
        << "the character that would end past the limit is left out whole";
}

TEST(SettingsFile, RefusesAFileWithoutAFolder) {
    // The profile functions would look for a bare name in the Windows folder.
    EXPECT_FALSE(WriteSetting("", "index", "image", "1"));
    EXPECT_FALSE(WriteSetting("iconvale-test.ini", "index", "image", "1"));
    EXPECT_EQ(ReadSetting("iconvale-test.ini", "index", "image", "6"), "6");
}

}  // namespace
}  // namespace iconvale
