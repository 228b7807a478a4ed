// Pictures and data the second start-up stage loads: the work surfaces of
// the frame, the picture list of the archive, the pictures of the program
// folder, and archive entries by name for the shell's own files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/FileFolder.h"
#include "foundation/MemoryStream.h"
#include "graphics/SurfEngine.h"

namespace qv {

// The entry's stream, loaded when needed and rewound; the archive keeps it.
// A missing entry raises QelException "Can not find " + name + "in file folder".
TMemoryStream& GetFolderStream(TFileFolder& folder, std::string_view name);

// Runs `load`, which reads the entry `name` of the folder. When the entry is
// there and the load fails, the folder's DamagedEntry names it (unless an
// earlier entry did) and the error goes on unchanged; a missing entry's
// error is no damage.
template <class Load>
decltype(auto) LoadFromEntry(TFileFolder& folder, std::string_view name, Load&& load) {
  try {
    return std::forward<Load>(load)();
  } catch (...) {
    if (folder.DamagedEntry.empty() && folder.IndexOf(name) >= 0) folder.DamagedEntry = std::string(name);
    throw;
  }
}

// "MemorySurface", "MemoryBufer" (alpha 255), "Background", "TempMapSel" and
// "TempMapSelC" (alpha 0) and "Cover", 800 x 600 each.
void CreateWorkSurfaces(TSurfEngine& engine);

// Loads every picture named by a line of the archive entry listName that is
// not loaded yet (PNG when the name ends in "png" in any case, else JPEG),
// calling the engine's progress callback about every twentieth picture.
// firstPictures (the loading window's pictures) load first, as PNG. A
// picture that does not load is the archive's DamagedEntry.
void LoadSurfaceList(TSurfEngine& engine, TFileFolder& archive, std::string_view listName,
                     const std::vector<std::string>& firstPictures);

// Every PNG and JPEG file of a folder on disk, under its lower-cased name.
// A missing folder loads nothing.
void LoadFolderPictures(TSurfEngine& engine, const std::filesystem::path& folder);

// The lines of a picture list, without line ends and empty lines.
std::vector<std::string> PictureListLines(std::string_view text);

}  // namespace qv
