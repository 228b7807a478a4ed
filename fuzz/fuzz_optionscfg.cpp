// Reads arbitrary text as "options.cfg": the settings the program writes
// into it must read back unchanged, and the file's other lines must stay.
#include <cstdint>
#include <string_view>

#include "shell/IniFile.h"
#include "shell/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::TIniFile ini = qv::TIniFile::FromText(std::string_view(reinterpret_cast<const char*>(data), size));
  qv::TSettings s = qv::ReadSettings(ini);
  s.SoundVolume = s.SoundVolume == 7 ? 8 : 7;
  s.PlayerName += " Q";
  qv::WriteSettings(ini, s);
  const qv::TIniFile again = qv::TIniFile::FromText(ini.Text());
  const qv::TSettings back = qv::ReadSettings(again);
  if (back.SoundVolume != s.SoundVolume || back.MusicVolume != s.MusicVolume || back.BitsPerPixel != s.BitsPerPixel ||
      back.FullScreenMode != s.FullScreenMode || back.TurnOffHint != s.TurnOffHint)
    __builtin_trap();
  if (back.ScreenWidth != s.ScreenWidth || back.DebugMode != s.DebugMode) __builtin_trap();
  if (again.ReadInteger("Version", "Build", 0) != 105) __builtin_trap();
  if (again.Text() != ini.Text()) __builtin_trap();
  return 0;
}
