// The settings file "seting.ini" beside the executable: a few remembered choices kept as
// profile strings. The file is made by the first write. Every function taking a `file` acts on
// that file instead (a full path; a bare name is refused); the others on SettingsFilePath().
// A file the functions make is plain text, as the narrow profile functions write it; a UTF-16
// file from an earlier build is read, and rewritten as plain text at its next write.
#pragma once

#include <string>
#include <string_view>

#include "imaging/display_list.h"
#include "ui/ui_language.h"

namespace iconvale {

inline constexpr std::string_view kSettingsFileName = "seting.ini";
// A value longer than this is cut short, at a character boundary.
inline constexpr std::size_t kMaxSettingBytes = 10240;

struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::string_view defaultText;
};

inline constexpr SettingKey kPictureFilterSetting{"index", "image", "6"};
inline constexpr SettingKey kGroupFilterSetting{"index", "imagelist", "1"};
inline constexpr SettingKey kAutoSegmentationSetting{"seting", "autosegmentation", "0"};
inline constexpr SettingKey kUseColourSetting{"seting", "usecolor", "1"};
inline constexpr SettingKey kZoomSetting{"view", "zoom", "1"};
inline constexpr SettingKey kCheckerboardSetting{"view", "checkerboard", "0"};

// Empty when the program's folder is unknown; nothing is then read or written, since a bare
// file name would send the profile functions to the Windows folder.
std::string SettingsFilePath();

// The key's text, or defaultText when the file, the section or the key is missing.
std::string ReadSetting(std::string_view section, std::string_view key,
                        std::string_view defaultText);
std::string ReadSetting(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view defaultText);

// Creates the file and the section when needed.
bool WriteSetting(std::string_view section, std::string_view key, std::string_view value);
bool WriteSetting(std::string_view file, std::string_view section, std::string_view key,
                  std::string_view value);

// The 1-based filters of the picture and group dialogs and the import's cutting into cells.
struct RememberedChoices {
    int pictureFilterIndex = 6;
    int groupFilterIndex = 1;
    int autoSegmentation = 0;
};

RememberedChoices LoadRememberedChoices();
RememberedChoices LoadRememberedChoices(std::string_view file);
bool SaveRememberedChoices(const RememberedChoices& choices);
bool SaveRememberedChoices(std::string_view file, const RememberedChoices& choices);

// The icon list's zoom and checkerboard. A zoom other than 1, 2 or 4 gives 1, a checkerboard
// other than 0 or 1 gives none.
DisplayOptions LoadDisplayOptions(std::string_view file);
bool SaveDisplayOptions(std::string_view file, const DisplayOptions& options);

// The language of the windows, [ui] language=zh|en; anything else is Chinese.
UiLanguage LoadUiLanguage(std::string_view file);
bool SaveUiLanguage(std::string_view file, UiLanguage language);

int LoadUseColour();
int LoadUseColour(std::string_view file);
bool SaveUseColour(int useColour);
bool SaveUseColour(std::string_view file, int useColour);

}  // namespace iconvale
