// The language the windows speak. The program's own texts are Chinese; in English each is looked
// up in the module's Chinese string table, and the entry of the same number in the English table
// is shown instead. A text made of pieces is matched by its beginning or end, so that a count
// or a path around a known text keeps its place. A text without an entry is shown as it is.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace iconvale {

enum class UiLanguage { Chinese, English };

inline constexpr LANGID kChineseLanguageId = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
inline constexpr LANGID kEnglishLanguageId = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// One choice for the whole program, as the platform keeps one user-interface language per thread.
void SetUiLanguage(UiLanguage language);
UiLanguage CurrentUiLanguage();
LANGID CurrentLanguageId();

// The bytes of the module's resource of `type` and number `id` in exactly `language`; empty when
// it has none. Menus and dialogs come in one resource per language under the same number.
std::span<const BYTE> ResourceIn(const wchar_t* type, int id, LANGID language);

// A program text (GBK) as the windows show it in the current language: the whole text, or, for
// a message put together from pieces, its beginning and its end.
std::wstring ShownText(std::string_view text);
std::wstring ShownMessage(std::string_view text);
// The same, back in GBK, for texts that are put together before they are shown.
std::string Translated(std::string_view text);
// A text that carries a value where the languages put it in different places: `pattern` holds
// "%s" once and is looked up whole, then `value` takes the place of "%s".
std::string TranslatedWith(std::string_view pattern, std::string_view value);

// Every entry of the module's string tables in one language, by number; empty when none.
struct StringEntry {
    UINT id = 0;
    std::wstring text;
};
std::vector<StringEntry> StringTableOf(LANGID language);

}  // namespace iconvale
