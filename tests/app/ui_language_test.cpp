// The English interface: both string tables hold the same entries, the menu bar and every
// dialog have their English counterparts with the same items, commands, controls and ids, menus
// keep the same shortcuts and unique mnemonics, messages put together from pieces are translated
// around what they carry, and the choice is kept in the settings file.
#include "ui/ui_language.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>

#include "app/clipboard_commands.h"
#include "app/document_commands.h"
#include "app/edit_commands.h"
#include "app/exchange_commands.h"
#include "app/image_list_chooser.h"
#include "app/main_menu.h"
#include "app/picture_import.h"
#include "app/settings_file.h"
#include "core/file_io.h"
#include "support/control_probes.h"
#include "support/temp_folder.h"
#include "res/resource_ids.h"
#include "ui/dialog_template.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::HasChinese;

struct MenuEntry {
    std::wstring path;  // the titles that lead to the item, then its text
    std::wstring text;
    int depth = 0;
    UINT id = 0;  // 0 for a separator, -1 for a submenu
};

// Every item of the menu and its submenus, depth first; fails on a repeated mnemonic.
void Walk(HMENU menu, const std::wstring& path, std::vector<MenuEntry>& entries) {
    std::set<wchar_t> mnemonics;
    const int count = ::GetMenuItemCount(menu);
    const int depth = static_cast<int>(std::count(path.begin(), path.end(), L'>'));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        const std::wstring item(text);
        entries.push_back({path, item, depth, ::GetMenuItemID(menu, i)});
        if (item.empty()) continue;  // a separator
        if (auto amp = item.find(L'&'); amp != std::wstring::npos && amp + 1 < item.size()) {
            EXPECT_TRUE(mnemonics.insert(::towlower(item[amp + 1])).second)
                << ToNarrow(std::wstring_view(path + L" > " + item));
        }
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

// The Chinese string literals of one source file (UTF-8), escapes resolved; comments skipped.
std::vector<std::wstring> ChineseLiterals(const std::string& source) {
    std::vector<std::wstring> found;
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            if (i == std::string::npos) break;
        } else if (source.compare(i, 2, "/*") == 0) {
            i = source.find("*/", i);
            if (i == std::string::npos) break;
            ++i;
        } else if (source[i] == '\'') {
            while (++i < source.size() && source[i] != '\'') i += source[i] == '\\';
        } else if (source[i] == '"') {
            std::string literal;
            bool chinese = false;
            while (++i < source.size() && source[i] != '"') {
                char c = source[i];
                if (c == '\\' && i + 1 < source.size()) {
                    c = source[++i];
                    c = c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
                }
                // Three-byte UTF-8 sequences: CJK and its punctuation, not "×" or "·".
                chinese = chinese || static_cast<unsigned char>(c) >= 0xE0;
                literal += c;
            }
            if (chinese) {
                const int length = static_cast<int>(literal.size());
                std::wstring wide(literal.size(), L'\0');
                wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(
                    CP_UTF8, 0, literal.data(), length, wide.data(), length)));
                found.push_back(wide);
            }
        }
    }
    return found;
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
        if (HasChinese(chinese[i].text) &&
            chinese[i].text.find(L"Language") == std::wstring::npos && chinese[i].text != L"中文") {
            EXPECT_FALSE(HasChinese(english[i].text)) << chinese[i].id;
        }
    }
}

TEST_F(UiLanguageTest, EveryChineseTextInTheProgramsSourcesHasAnEntry) {
    std::set<std::wstring> keys;
    for (const StringEntry& entry : StringTableOf(kChineseLanguageId)) keys.insert(entry.text);
    const std::string root = std::string("Z:") + ICONVALE_SOURCE_DIR + "/";
    int files = 0;
    for (const char* pattern :
         {"app/*.cpp", "app/*.h", "ui/*.cpp", "ui/*.h", "imaging/*.cpp", "imaging/*.h"}) {
        const std::string folder =
            root + std::string(pattern).substr(0, std::string(pattern).find('/') + 1);
        WIN32_FIND_DATAA data{};
        HANDLE search = ::FindFirstFileA((root + pattern).c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            ++files;
            const std::string name = folder + data.cFileName;
            const Bytes bytes = ReadWholeFile(name);
            for (const std::wstring& text :
                 ChineseLiterals(std::string(bytes.begin(), bytes.end()))) {
                EXPECT_TRUE(keys.count(text)) << name << ": " << ToNarrow(std::wstring_view(text));
            }
        } while (::FindNextFileA(search, &data));
        ::FindClose(search);
    }
    if (files == 0) GTEST_SKIP() << "the sources are not at " << root;
}

TEST_F(UiLanguageTest, EveryMenuHasItsCounterpartInOrderWithTheSameShortcuts) {
    const auto chinese = MenuIn(UiLanguage::Chinese);
    const auto english = MenuIn(UiLanguage::English);
    ASSERT_EQ(chinese.size(), english.size());
    for (std::size_t i = 0; i < chinese.size(); ++i) {
        const std::string where =
            ToNarrow(std::wstring_view(english[i].path + L" > " + english[i].text));
        EXPECT_EQ(ShortcutOf(chinese[i].text), ShortcutOf(english[i].text)) << where;
        const bool named =
            english[i].text == L"中文" || english[i].text.find(L"Language") != std::wstring::npos;
        if (!named) {
            EXPECT_FALSE(HasChinese(english[i].text)) << where;
        }
    }
    // The Chinese menus are as they always were, depth first, separators empty.
    std::wstring all;
    for (const MenuEntry& entry : chinese) all += entry.text + L"|";
    EXPECT_EQ(all,
              L"文件(&F)|新建(&N)\tCtrl+N|打开(&O)\tCtrl+O|保存(&S)\tCtrl+S||另存为|导入(&I)…|"
              L"导出(&X)…|写回表单(&W)||退出|编辑(&E)|添加图标(&A)|替换图标(&R)||删除(&D)\tDel|"
              L"清空(&C)||合并图片组(&M)|提取图标(&E)||撤销(&U)\tCtrl+Z|重做(&Y)\tCtrl+Y|"
              L"上移\tAlt+Up|下移\tAlt+Down||复制(&O)\tCtrl+C|粘贴(&P)\tCtrl+V|选项(&O)|"
              L"自动分割(&A)|设置(&S)|帮助(&H)|关于(&O)|视图(&V)|实际大小(&1)\tCtrl+1|"
              L"两倍(&2)\tCtrl+2|四倍(&4)\tCtrl+4||放大(&I)\tCtrl++|缩小(&O)\tCtrl+-||"
              L"透明处显示棋盘格|语言 / Language (&L)|中文|English|");
}

TEST_F(UiLanguageTest, BothMenuBarsHoldEveryCommandOnceInTheSamePlaces) {
    const auto chinese = MenuIn(UiLanguage::Chinese);
    const auto english = MenuIn(UiLanguage::English);
    ASSERT_EQ(chinese.size(), english.size());
    std::multiset<UINT> commands;
    for (std::size_t i = 0; i < chinese.size(); ++i) {
        EXPECT_EQ(chinese[i].depth, english[i].depth) << i;
        EXPECT_EQ(chinese[i].id, english[i].id) << ToNarrow(std::wstring_view(english[i].text));
        if (chinese[i].id != 0 && chinese[i].id != static_cast<UINT>(-1))
            commands.insert(chinese[i].id);
    }
    std::multiset<UINT> every;
    for (UINT id = kFirstCommand; id < kFirstCommand + kCommandCount; ++id) every.insert(id);
    EXPECT_EQ(commands, every);
    // The Edit menu pops up over the icon list by its place in the bar.
    SetUiLanguage(UiLanguage::Chinese);
    UniqueMenu bar = BuildMenuBar();
    EXPECT_EQ(::GetMenuItemID(::GetSubMenu(bar.get(), kEditMenuPosition), 0),
              CommandId(Command::Add));
    EXPECT_EQ(::GetMenuItemCount(bar.get()), kViewMenuPosition + 1);
}

TEST_F(UiLanguageTest, EveryDialogHasTheSameControlsInBothLanguages) {
    for (int id :
         {IDD_NEW_GROUP, IDD_SETTINGS, IDD_ABOUT, IDD_EXTRACTION, IDD_IMAGE_LIST_CHOOSER}) {
        SCOPED_TRACE(id);
        const auto chinese = LoadDialogTemplate(id, kChineseLanguageId);
        const auto english = LoadDialogTemplate(id, kEnglishLanguageId);
        ASSERT_TRUE(chinese && english);
        EXPECT_TRUE(HasChinese(chinese->caption));
        EXPECT_FALSE(english->caption.empty() || HasChinese(english->caption));
        EXPECT_EQ(chinese->width, english->width);
        EXPECT_EQ(chinese->height, english->height);
        ASSERT_EQ(chinese->controls.size(), english->controls.size());
        for (std::size_t i = 0; i < chinese->controls.size(); ++i) {
            const TemplateControl& zh = chinese->controls[i];
            const TemplateControl& en = english->controls[i];
            EXPECT_EQ(zh.id, en.id) << i;
            EXPECT_EQ(zh.className, en.className) << i;
            EXPECT_EQ(zh.style, en.style) << i;
            EXPECT_EQ(zh.extendedStyle, en.extendedStyle) << i;
            EXPECT_FALSE(HasChinese(en.text)) << i;
        }
    }
}

TEST_F(UiLanguageTest, MessagesAreTranslatedWholeOrAroundWhatTheyCarry) {
    const char* const messages[] = {kNoGroupMessage,    kAddFailedMessage,   kReplaceFailedMessage,
                                    kUndoFailedMessage, kRedoFailedMessage,  kMoveFailedMessage,
                                    kCopyFailedMessage, kPasteFailedMessage, kClipboardBusyMessage};
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

TEST_F(UiLanguageTest, PiecedMessagesReadAsOneSentenceInEitherLanguage) {
    const ContainerError placed{ContainerProblem::kBadCompression, 3, "ilBookmarks", 33, 33};
    const ContainerError unplaced{ContainerProblem::kTooDeep, 0, "Form1"};
    const ConversionLosses losses{8, 12, true};
    const ImageListSummary unnamed{"", 2, 16, 16, 32, true};
    struct Case {
        std::function<std::string()> make;
        const char* chinese;
        const wchar_t* english;
    } cases[] = {
        {[&] { return ImportProblemText(placed); },
         "导入失败！\r\n图片列表的压缩数据已损坏（第 3 行，组件 ilBookmarks，尺寸 33×33）",
         L"Import failed!\r\nThe image list's compressed data is damaged (line 3, component "
         L"ilBookmarks, size 33×33)"},
        {[&] { return ImportProblemText(unplaced); },
         "导入失败！\r\n窗体中的对象嵌套过深（组件 Form1）",
         L"Import failed!\r\nThe form's objects are nested too deeply (component Form1)"},
        {[&] { return ExportLossQuestion(losses); },
         "导出为 Lazarus 窗体时，图片组的以下内容无法保留：\r\n"
         "  · 8 位颜色深度（图片将变为 32 位）\r\n"
         "  · 12 个像素的遮罩（与其 Alpha 不符）\r\n  · 背景色\r\n仍要导出吗？",
         L"A Lazarus form cannot keep these parts of the group:\r\n"
         L"  · its 8-bit colour depth (the pictures become 32-bit)\r\n"
         L"  · the mask where it disagrees with the alpha (12 px)\r\n"
         L"  · the background colour\r\nExport anyway?"},
        {[&] { return ImageListChooser::RowTexts(unnamed)[0]; }, "(无名称) 16×16",
         L"(no name) 16×16"},
        {[&] { return ImageListChooser::RowTexts(unnamed)[3]; }, "32 位", L"32 bits"},
    };
    for (const Case& c : cases) {
        SetUiLanguage(UiLanguage::Chinese);
        EXPECT_EQ(c.make(), c.chinese);
        SetUiLanguage(UiLanguage::English);
        EXPECT_EQ(ShownMessage(c.make()), c.english) << c.chinese;
    }
    // The import dialog's filter, one text written as two literals.
    EXPECT_FALSE(HasChinese(ToWideString(Translated(kImportFilter))));
    // Every problem an import can report, with every piece of its place.
    for (int p = 1; p <= static_cast<int>(ContainerProblem::kRepeatedSize); ++p) {
        const ContainerError error{static_cast<ContainerProblem>(p), 2, "Icons", 16, 16};
        EXPECT_FALSE(HasChinese(ShownMessage(ImportProblemText(error)))) << p;
    }
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
