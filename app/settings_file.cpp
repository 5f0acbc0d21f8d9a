#include "app/settings_file.h"

#include <windows.h>

#include <vector>

#include "app/program_paths.h"
#include "app/setting_value.h"
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

// The profile functions make a new file in the system's ANSI code page but keep an existing
// file's own encoding, so a file begun as UTF-16 holds GBK text on any system. False when the
// file is not there and cannot be made; `made` tells whether this call made it.
bool EnsureUnicodeFile(const WideText& path, bool& made) {
    made = false;
    UniqueFile file(::CreateFileW(path.data(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return ::GetLastError() == ERROR_FILE_EXISTS;
    made = true;
    const unsigned char bom[] = {0xFF, 0xFE};
    DWORD written = 0;
    if (::WriteFile(file.get(), bom, sizeof(bom), &written, nullptr) && written == sizeof(bom)) {
        return true;
    }
    file.reset();
    ::DeleteFileW(path.data());
    made = false;
    return false;
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
    WideText widePath = ToWide(file);
    WideText wideSection = ToWide(section);
    WideText wideKey = ToWide(key);
    WideText wideDefault = ToWide(defaultText);
    if (ParentFolder(file).empty() || widePath.empty() || wideSection.empty() || wideKey.empty() ||
        wideDefault.empty()) {
        return std::string(defaultText);
    }
    // Each UTF-16 unit turns into at least one GBK byte, so this many units reach the limit.
    std::vector<wchar_t> buffer(kMaxSettingBytes + 1, L'\0');
    DWORD length = ::GetPrivateProfileStringW(wideSection.data(), wideKey.data(),
                                              wideDefault.data(), buffer.data(),
                                              static_cast<DWORD>(buffer.size()), widePath.data());
    std::string value = ToNarrow(std::span<const wchar_t>(buffer.data(), length));
    value.resize(WholeCharacterPrefix(value, kMaxSettingBytes));
    return value;
}

bool WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
    return WriteSetting(SettingsFilePath(), section, key, value);
}

bool WriteSetting(std::string_view file, std::string_view section, std::string_view key,
                  std::string_view value) {
    WideText widePath = ToWide(file);
    WideText wideSection = ToWide(section);
    WideText wideKey = ToWide(key);
    WideText wideValue = ToWide(value);
    if (ParentFolder(file).empty() || section.empty() || key.empty() || widePath.empty() ||
        wideSection.empty() || wideKey.empty() || wideValue.empty()) {
        return false;
    }
    bool made = false;
    if (!EnsureUnicodeFile(widePath, made)) return false;
    if (::WritePrivateProfileStringW(wideSection.data(), wideKey.data(), wideValue.data(),
                                     widePath.data())) {
        return true;
    }
    if (made) ::DeleteFileW(widePath.data());
    return false;
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
