#include "ui/ui_language.h"

#include <algorithm>
#include <map>
#include <new>

#include "ui/text.h"

namespace iconvale {

namespace {

UiLanguage g_language = UiLanguage::Chinese;

BOOL CALLBACK CollectBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR blocks) {
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<WORD>*>(blocks)->push_back(
            static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
}

// Chinese text to English text, made once from the two tables.
using Dictionary = std::map<std::wstring, std::wstring, std::less<>>;

Dictionary MakeDictionary() {
    Dictionary dictionary;
    std::map<UINT, std::wstring> english;
    for (StringEntry& entry : StringTableOf(kEnglishLanguageId))
        english.emplace(entry.id, std::move(entry.text));
    for (StringEntry& entry : StringTableOf(kChineseLanguageId)) {
        auto found = english.find(entry.id);
        if (found != english.end()) dictionary.emplace(std::move(entry.text), found->second);
    }
    return dictionary;
}

const Dictionary& EnglishDictionary() {
    static const Dictionary dictionary = [] {
        try {
            return MakeDictionary();
        } catch (const std::bad_alloc&) {
            return Dictionary{};
        }
    }();
    return dictionary;
}

// The longest known text at the start and the longest at the end, each replaced.
std::wstring TranslatePieces(const Dictionary& dictionary, std::wstring text) {
    std::size_t headLength = 0;
    const std::wstring* head = nullptr;
    std::size_t tailLength = 0;
    const std::wstring* tail = nullptr;
    for (const auto& [chinese, english] : dictionary) {
        if (chinese.size() >= text.size()) continue;
        if (chinese.size() > headLength && text.starts_with(chinese)) {
            headLength = chinese.size();
            head = &english;
        }
        if (chinese.size() > tailLength && text.ends_with(chinese)) {
            tailLength = chinese.size();
            tail = &english;
        }
    }
    if (head && tail && headLength + tailLength > text.size()) tail = nullptr;
    if (tail) text.replace(text.size() - tailLength, tailLength, *tail);
    if (head) text.replace(0, headLength, *head);
    return text;
}

}  // namespace

void SetUiLanguage(UiLanguage language) {
    g_language = language;
}

UiLanguage CurrentUiLanguage() {
    return g_language;
}

LANGID CurrentLanguageId() {
    return g_language == UiLanguage::English ? kEnglishLanguageId : kChineseLanguageId;
}

std::span<const BYTE> ResourceIn(const wchar_t* type, int id, LANGID language) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    return {bytes, ::SizeofResource(module, found)};
}

std::vector<StringEntry> StringTableOf(LANGID language) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    std::vector<WORD> blocks;
    std::vector<StringEntry> entries;
    try {
        ::EnumResourceNamesW(module, RT_STRING, &CollectBlock, reinterpret_cast<LONG_PTR>(&blocks));
        for (WORD block : blocks) {
            HRSRC found = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(block), language);
            HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
            const auto* data = loaded ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
            if (!data) continue;
            const WCHAR* end = data + ::SizeofResource(module, found) / sizeof(WCHAR);
            // A block holds sixteen counted strings; an empty one is no entry.
            for (UINT i = 0; i < 16 && data < end; ++i) {
                const std::size_t counted = *data++;
                const std::size_t length = std::min<std::size_t>(counted, end - data);
                if (length > 0)
                    entries.push_back({(block - 1u) * 16u + i, std::wstring(data, length)});
                data += length;
            }
        }
    } catch (const std::bad_alloc&) {
        entries.clear();
    }
    std::sort(entries.begin(), entries.end(),
              [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; });
    return entries;
}

std::wstring ShownText(std::string_view text) {
    std::wstring wide = ToWideString(text);
    if (g_language == UiLanguage::Chinese || wide.empty()) return wide;
    const Dictionary& dictionary = EnglishDictionary();
    auto found = dictionary.find(wide);
    return found != dictionary.end() ? found->second : wide;
}

std::wstring ShownMessage(std::string_view text) {
    std::wstring wide = ShownText(text);
    if (g_language == UiLanguage::Chinese || wide.empty()) return wide;
    return TranslatePieces(EnglishDictionary(), std::move(wide));
}

std::string Translated(std::string_view text) {
    if (g_language == UiLanguage::Chinese) return std::string(text);
    return ToNarrow(std::wstring_view(ShownText(text)));
}

std::string TranslatedWith(std::string_view pattern, std::string_view value) {
    std::string text = Translated(pattern);
    // '%' is never the second byte of a GBK character, so this finds only a real "%s".
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, value);
    return text;
}

}  // namespace iconvale
