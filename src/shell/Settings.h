// The player's settings, kept in "options.cfg" in the program folder.
// Reading gives every setting (a missing file, key or malformed number gives
// the default); saving writes only the settings the options window changes,
// plus the build number, and leaves every other line of the file as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace qv {

// The value of DebugMode that turns the hidden debug mode on.
inline constexpr int32_t kDebugModeOn = 618;
inline constexpr const char* kOptionsFileName = "options.cfg";
inline constexpr const char* kDefaultPlayerName = "Player";

struct TSettings {
  int32_t ScreenWidth = 800;   // read only
  int32_t ScreenHeight = 600;  // read only
  int32_t BitsPerPixel = 32;   // 16 or 32, full screen only
  int32_t SoundVolume = 100;   // 0..100
  int32_t MusicVolume = 100;   // 0..100
  int32_t DebugMode = 0;       // read only
  int32_t FullScreenMode = 0;  // 1 full screen, 0 window
  int32_t WindowModeX = 0;     // read only
  int32_t WindowModeY = 0;     // read only
  int32_t TurnOffHint = 0;
  std::string PlayerName = kDefaultPlayerName;

  bool DebugOn() const { return DebugMode == kDebugModeOn; }
};

class TIniFile;

// The settings of an INI text, and the settings the program writes into one.
TSettings ReadSettings(const TIniFile& ini);
void WriteSettings(TIniFile& ini, const TSettings& settings);

// Section "Options"; the file need not exist.
TSettings LoadOptions(const std::filesystem::path& file);
// Writes BitsPerPixel, SoundVolume, MusicVolume, FullScreenMode, TurnOffHint,
// PlayerName and "Build"=105 in section "Version", through a temporary file;
// EInOutError when the file cannot be written (the old one stays).
void SaveOptions(const std::filesystem::path& file, const TSettings& settings);

}  // namespace qv
