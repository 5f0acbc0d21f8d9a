#include "app/settings_file.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "app/program_paths.h"
#include "core/file_io.h"
#include "ui/setting_value.h"
#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {

namespace {

// The longest prefix of at most maxBytes that does not end inside a double-byte character.
std::size_t WholeCharacterPrefix(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t next = IsGbkLeadByte(text[end]) && end + 1 < text.size() ? end + 2 : end + 1;
        if (next > maxBytes) break;
        end = next;
    }
    return end;
}

// An earlier build began the file as UTF-16, whose text is Unicode; a plain-text file holds
// the narrow text's own bytes, which the profile functions pass through the ANSI code page
// both ways, as their narrow forms do.
bool IsUtf16File(std::string_view file) {
    UniqueFile opened(::CreateFileW(WidePtr(ToWide(file)), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char head[2] = {};
    DWORD read = 0;
    return opened && ::ReadFile(opened.get(), head, sizeof head, &read, nullptr) &&
           read == sizeof head && head[0] == 0xFF && head[1] == 0xFE;
}

unsigned TextCodePage(bool utf16File) {
    return utf16File ? kGbkCodePage : CP_ACP;
}

// Rewrites a UTF-16 file as the plain text the narrow functions would have written. A file
// holding a character GBK cannot store stays as it is, so that nothing in it is lost.
bool MakePlainText(std::string_view file) {
    const Bytes bytes = ReadWholeFile(file);
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return false;
    std::wstring wide((bytes.size() - 2) / 2, L'\0');
    std::memcpy(wide.data(), bytes.data() + 2, wide.size() * sizeof(wchar_t));
    if (wide.empty()) return WriteFileAtomically(file, {});
    BOOL lossy = FALSE;
    const int length =
        ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                              static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return false;
    Bytes plain(static_cast<std::size_t>(length));
    ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                          static_cast<int>(wide.size()), reinterpret_cast<char*>(plain.data()),
                          length, nullptr, &lossy);
    return !lossy && WriteFileAtomically(file, plain);
}

int ReadNumber(std::string_view file, const SettingKey& setting) {
    return SettingToInt(ReadSetting(file, setting.section, setting.key, setting.defaultText));
}

bool WriteNumber(std::string_view file, const SettingKey& setting, int value) {
    return WriteSetting(file, setting.section, setting.key, std::to_string(value));
}

}  // namespace

std::string SettingsFilePath() {
    std::string folder = ProgramFolder();
    return folder.empty() ? std::string() : JoinPath(folder, kSettingsFileName);
}

std::string ReadSetting(std::string_view section, std::string_view key,
                        std::string_view defaultText) {
    return ReadSetting(SettingsFilePath(), section, key, defaultText);
}

std::string ReadSetting(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view defaultText) {
    const unsigned codePage = TextCodePage(IsUtf16File(file));
    WideText widePath = ToWide(file);
    WideText wideSection = ToWide(section, codePage);
    WideText wideKey = ToWide(key, codePage);
    WideText wideDefault = ToWide(defaultText, codePage);
    if (ParentFolder(file).empty() || widePath.empty() || wideSection.empty() || wideKey.empty() ||
        wideDefault.empty()) {
        return std::string(defaultText);
    }
    // Each UTF-16 unit turns into at least one byte, so this many units reach past the limit;
    // one unit over it lets a character that ends just past the limit be seen as cut.
    std::vector<wchar_t> buffer(kMaxSettingBytes + 2, L'\0');
    DWORD length = ::GetPrivateProfileStringW(wideSection.data(), wideKey.data(),
                                              wideDefault.data(), buffer.data(),
                                              static_cast<DWORD>(buffer.size()), widePath.data());
    std::string value = ToNarrow(std::span<const wchar_t>(buffer.data(), length), codePage);
    value.resize(WholeCharacterPrefix(value, kMaxSettingBytes));
    return value;
}

bool WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
    return WriteSetting(SettingsFilePath(), section, key, value);
}

bool WriteSetting(std::string_view file, std::string_view section, std::string_view key,
                  std::string_view value) {
    if (ParentFolder(file).empty() || section.empty() || key.empty()) return false;
    const bool utf16File = IsUtf16File(file) && !MakePlainText(file);
    const unsigned codePage = TextCodePage(utf16File);
    WideText widePath = ToWide(file);
    WideText wideSection = ToWide(section, codePage);
    WideText wideKey = ToWide(key, codePage);
    WideText wideValue = ToWide(value, codePage);
    if (widePath.empty() || wideSection.empty() || wideKey.empty() || wideValue.empty()) {
        return false;
    }
    return ::WritePrivateProfileStringW(wideSection.data(), wideKey.data(), wideValue.data(),
                                        widePath.data()) != FALSE;
}

RememberedChoices LoadRememberedChoices() {
    return LoadRememberedChoices(SettingsFilePath());
}

RememberedChoices LoadRememberedChoices(std::string_view file) {
    RememberedChoices choices;
    choices.pictureFilterIndex = ReadNumber(file, kPictureFilterSetting);
    choices.groupFilterIndex = ReadNumber(file, kGroupFilterSetting);
    choices.autoSegmentation = ReadNumber(file, kAutoSegmentationSetting);
    return choices;
}

bool SaveRememberedChoices(const RememberedChoices& choices) {
    return SaveRememberedChoices(SettingsFilePath(), choices);
}

bool SaveRememberedChoices(std::string_view file, const RememberedChoices& choices) {
    bool saved = WriteNumber(file, kPictureFilterSetting, choices.pictureFilterIndex);
    saved = WriteNumber(file, kGroupFilterSetting, choices.groupFilterIndex) && saved;
    return WriteNumber(file, kAutoSegmentationSetting, choices.autoSegmentation) && saved;
}

DisplayOptions LoadDisplayOptions(std::string_view file) {
    DisplayOptions options;
    const int zoom = ReadNumber(file, kZoomSetting);
    options.zoom = zoom == 2 || zoom == 4 ? zoom : 1;
    options.checkerboard = ReadNumber(file, kCheckerboardSetting) == 1;
    return options;
}

UiLanguage LoadUiLanguage(std::string_view file) {
    return ReadSetting(file, "ui", "language", "zh") == "en" ? UiLanguage::English
                                                              : UiLanguage::Chinese;
}

bool SaveUiLanguage(std::string_view file, UiLanguage language) {
    return WriteSetting(file, "ui", "language", language == UiLanguage::English ? "en" : "zh");
}

bool SaveDisplayOptions(std::string_view file, const DisplayOptions& options) {
    const bool saved = WriteNumber(file, kZoomSetting, options.zoom);
    return WriteNumber(file, kCheckerboardSetting, options.checkerboard ? 1 : 0) && saved;
}

int LoadUseColour() {
    return LoadUseColour(SettingsFilePath());
}

int LoadUseColour(std::string_view file) {
    return ReadNumber(file, kUseColourSetting);
}

bool SaveUseColour(int useColour) {
    return SaveUseColour(SettingsFilePath(), useColour);
}

bool SaveUseColour(std::string_view file, int useColour) {
    return WriteNumber(file, kUseColourSetting, useColour);
}

}  // namespace iconvale
