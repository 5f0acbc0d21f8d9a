// The English interface: both string tables hold the same entries, every menu has its English
// counterpart with the same order, shortcuts and unique mnemonics, messages put together from
// pieces are translated around what they carry, and the choice is kept in the settings file.
#include "ui/ui_language.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "app/clipboard_commands.h"
#include "app/document_commands.h"
#include "app/edit_commands.h"
#include "app/main_menu.h"
#include "app/picture_import.h"
#include "app/settings_file.h"
#include "support/temp_folder.h"
#include "ui/text.h"

namespace iconvale {
namespace {

bool HasChinese(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c >= 0x3000) return true;
    }
    return false;
}

struct MenuEntry {
    std::wstring path;  // the titles that lead to the item, then its text
    std::wstring text;
};

// Every item of the menu and its submenus, depth first; fails on a repeated mnemonic.
void Walk(HMENU menu, const std::wstring& path, std::vector<MenuEntry>& entries) {
    std::set<wchar_t> mnemonics;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        const std::wstring item(text);
        if (item.empty()) continue;  // a separator
        if (auto amp = item.find(L'&'); amp != std::wstring::npos && amp + 1 < item.size()) {
            EXPECT_TRUE(mnemonics.insert(::towlower(item[amp + 1])).second)
                << ToNarrow(std::wstring_view(path + L" > " + item));
        }
        entries.push_back({path, item});
        if (HMENU sub = ::GetSubMenu(menu, i)) Walk(sub, path + L" > " + item, entries);
    }
}

std::vector<MenuEntry> MenuIn(UiLanguage language) {
    SetUiLanguage(language);
    UniqueMenu bar = BuildMenuBar();
    std::vector<MenuEntry> entries;
    Walk(bar.get(), L"", entries);
    return entries;
}

std::wstring ShortcutOf(const std::wstring& text) {
    const auto tab = text.find(L'\t');
    return tab == std::wstring::npos ? L"" : text.substr(tab);
}

class UiLanguageTest : public ::testing::Test {
protected:
    void TearDown() override { SetUiLanguage(UiLanguage::Chinese); }
};

TEST_F(UiLanguageTest, BothTablesHoldTheSameEntriesAndTheChineseOnesDiffer) {
    const auto chinese = StringTableOf(kChineseLanguageId);
    const auto english = StringTableOf(kEnglishLanguageId);
    ASSERT_GT(chinese.size(), 100u);
    ASSERT_EQ(chinese.size(), english.size());
    std::set<std::wstring> keys;
    for (std::size_t i = 0; i < chinese.size(); ++i) {
        EXPECT_EQ(chinese[i].id, english[i].id);
        EXPECT_TRUE(keys.insert(chinese[i].text).second) << "one key, one entry: " << chinese[i].id;
        if (HasChinese(chinese[i].text) && chinese[i].text.find(L"Language") == std::wstring::npos &&
            chinese[i].text != L"中文") {
            EXPECT_FALSE(HasChinese(english[i].text)) << chinese[i].id;
        }
    }
}

TEST_F(UiLanguageTest, EveryMenuHasItsCounterpartInOrderWithTheSameShortcuts) {
    const auto chinese = MenuIn(UiLanguage::Chinese);
    const auto english = MenuIn(UiLanguage::English);
    ASSERT_EQ(chinese.size(), english.size());
    for (std::size_t i = 0; i < chinese.size(); ++i) {
        const std::string where = ToNarrow(std::wstring_view(english[i].path + L" > " + english[i].text));
        EXPECT_EQ(ShortcutOf(chinese[i].text), ShortcutOf(english[i].text)) << where;
        const bool named = english[i].text == L"中文" || english[i].text.find(L"Language") != std::wstring::npos;
        if (!named) {
            EXPECT_FALSE(HasChinese(english[i].text)) << where;
        }
    }
    // The Chinese menus are as they always were; the new items come last in theirs.
    EXPECT_EQ(chinese.front().text, L"文件(&F)");
    EXPECT_EQ(chinese.back().text, L"English");
}

TEST_F(UiLanguageTest, MessagesAreTranslatedWholeOrAroundWhatTheyCarry) {
    const char* const messages[] = {kNoGroupMessage,     kAddFailedMessage,  kReplaceFailedMessage,
                                    kUndoFailedMessage,  kRedoFailedMessage, kMoveFailedMessage,
                                    kCopyFailedMessage,  kPasteFailedMessage,
                                    kClipboardBusyMessage};
    for (const char* message : messages) {
        SetUiLanguage(UiLanguage::Chinese);
        EXPECT_EQ(ShownMessage(message), ToWideString(message)) << "Chinese stays exact";
        EXPECT_EQ(Translated(message), message);
        SetUiLanguage(UiLanguage::English);
        EXPECT_FALSE(HasChinese(ShownMessage(message))) << message;
    }
    EXPECT_EQ(ShownMessage("图片组 C:\\图标\\保存.eil\r\n已经改变 需要保存吗？"),
              L"Image group C:\\图标\\保存.eil\r\nhas changed. Save it?");
    EXPECT_EQ(Translated("图标数：") + "12", "Images: 12");
    EXPECT_EQ(ShownText("C:\\保存"), L"C:\\保存") << "whole texts only";
    EXPECT_EQ(ShownText("16"), L"16");
}

TEST_F(UiLanguageTest, TheChoiceIsKeptUnderUiAndAnythingElseIsChinese) {
    testing::TempFolder folder;
    const std::string file = folder.File("seting.ini");
    EXPECT_EQ(LoadUiLanguage(file), UiLanguage::Chinese) << "no file";
    ASSERT_TRUE(SaveUiLanguage(file, UiLanguage::English));
    EXPECT_EQ(ReadSetting(file, "ui", "language", ""), "en");
    EXPECT_EQ(LoadUiLanguage(file), UiLanguage::English);
    for (const char* value : {"zh", "EN", "fr", ""}) {
        ASSERT_TRUE(WriteSetting(file, "ui", "language", value));
        EXPECT_EQ(LoadUiLanguage(file), UiLanguage::Chinese) << value;
    }
}

}  // namespace
}  // namespace iconvale
