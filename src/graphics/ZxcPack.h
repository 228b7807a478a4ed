// Packing a folder into a shipped archive, the way the content build makes
// "game.zxc": every file of the folder, sorted by name, goes through the
// installer's table (a "PNG" picture becomes a colour "._JPG" plus a grey
// "._PNG" mask, an "aim" script becomes "._aim", other files are copied), so
// that the installer turns the archive back into the working form.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qv {

// The entry names the installer's table makes of one name ("a.PNG" gives
// "a._JPG" and "a._PNG"; "a.pNg" gives none; most names give themselves).
std::vector<std::string> MorfedNames(const std::string& name);

// The archive kind a packed file starts with: 2 for pictures (".png",
// ".jpg", ".jpeg" in any case), 1 for scripts (".aim"), 0 otherwise.
uint16_t PackKind(const std::string& fileName);

// Packs the regular files of the folder (not its sub-folders) into the
// archive, written whole or not at all. Raises Exception before anything is
// converted when a name, or a name it would become, is longer than 32
// characters, when two files would give the same entry name (entry names
// ignore the case of ASCII letters), or when a file has one of the extensions
// that only the installer makes or consumes ("_PNG", "_PnG", "_JPG", "_jpg",
// "_aim", "pNg"), which would not survive the way through the installer.
void PackFolder(const std::filesystem::path& folder, const std::filesystem::path& archive, int quality = 90);

// One line per entry of the archive: name, kind and size, tab-separated.
std::vector<std::string> ListArchive(const std::filesystem::path& archive);

}  // namespace qv
