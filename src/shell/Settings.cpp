#include "shell/Settings.h"

#include "shell/IniFile.h"

namespace qv {

namespace {
constexpr const char* kOptions = "Options";
}

TSettings ReadSettings(const TIniFile& ini) {
  TSettings s;
  const TSettings d;
  s.ScreenWidth = ini.ReadInteger(kOptions, "ScreenWidth", d.ScreenWidth);
  s.ScreenHeight = ini.ReadInteger(kOptions, "ScreenHeight", d.ScreenHeight);
  s.BitsPerPixel = ini.ReadInteger(kOptions, "BitsPerPixel", d.BitsPerPixel);
  s.SoundVolume = ini.ReadInteger(kOptions, "SoundVolume", d.SoundVolume);
  s.MusicVolume = ini.ReadInteger(kOptions, "MusicVolume", d.MusicVolume);
  s.DebugMode = ini.ReadInteger(kOptions, "DebugMode", d.DebugMode);
  s.FullScreenMode = ini.ReadInteger(kOptions, "FullScreenMode", d.FullScreenMode);
  s.WindowModeX = ini.ReadInteger(kOptions, "WindowModeX", d.WindowModeX);
  s.WindowModeY = ini.ReadInteger(kOptions, "WindowModeY", d.WindowModeY);
  s.TurnOffHint = ini.ReadInteger(kOptions, "TurnOffHint", d.TurnOffHint);
  s.PlayerName = ini.ReadString(kOptions, "PlayerName", d.PlayerName);
  return s;
}

void WriteSettings(TIniFile& ini, const TSettings& s) {
  ini.WriteInteger(kOptions, "BitsPerPixel", s.BitsPerPixel);
  ini.WriteInteger(kOptions, "SoundVolume", s.SoundVolume);
  ini.WriteInteger(kOptions, "MusicVolume", s.MusicVolume);
  ini.WriteInteger(kOptions, "FullScreenMode", s.FullScreenMode);
  ini.WriteInteger(kOptions, "TurnOffHint", s.TurnOffHint);
  ini.WriteString(kOptions, "PlayerName", s.PlayerName);
  ini.WriteInteger("Version", "Build", 105);
}

TSettings LoadOptions(const std::filesystem::path& file) { return ReadSettings(TIniFile::Load(file)); }

void SaveOptions(const std::filesystem::path& file, const TSettings& settings) {
  TIniFile ini = TIniFile::Load(file);
  WriteSettings(ini, settings);
  ini.Save(file);
}

}  // namespace qv
