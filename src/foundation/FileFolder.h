// The resource archive: an 8-byte header, 48-byte directory entries, then the
// entries' bytes. Entries are found by name without regard to ASCII case and
// loaded on demand into memory streams that the archive owns.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/MemoryStream.h"

namespace qv {

struct TFileFolderHeader {
  uint16_t Label = 0x3039;
  uint16_t Version = 0;
  uint16_t Count = 0;
  uint16_t CountCheck = 0xFFFF;
};

struct TDirEntry {
  uint8_t NameLength = 0;
  std::array<char, 32> Name{};  // NameLength characters, the rest padding
  std::array<uint8_t, 3> Padding1{};
  uint32_t Offset = 0;  // from the start of the data area
  uint32_t Size = 0;
  uint16_t Kind = 0;  // stored, never interpreted
  std::array<uint8_t, 2> Padding2{};

  std::string GetName() const;
};
using TDir = std::vector<TDirEntry>;

// A file's size and modification time: a new copy of the file differs.
struct TFileStamp {
  uint64_t Size = 0;
  int64_t Seconds = 0;
  int64_t Nanoseconds = 0;
};
// The file as it is on disk now; nothing (with errno set) when it cannot be
// looked at.
std::optional<TFileStamp> FileStampOf(const std::filesystem::path& path);

enum TMemFileState : int { msLoaded = 0, msOnDisk = 1, msAdded = 2 };

struct TMemFile {
  std::unique_ptr<TMemoryStream> Stream;
  int State = msOnDisk;
};
using TMemFiles = std::vector<TMemFile>;

class TFileFolder {
 public:
  static constexpr size_t kDirEntrySize = 48;
  static constexpr size_t kMaxName = 32;

  // Opens an archive file. A missing or unreadable file raises EInOutError;
  // a damaged header or directory leaves an archive without entries.
  explicit TFileFolder(const std::filesystem::path& fileName);
  // An empty archive bound to a file name, not touching the disk.
  static std::unique_ptr<TFileFolder> CreateNew(const std::filesystem::path& fileName);

  int Count() const { return static_cast<int>(Dir.size()); }
  // Index of the first entry of that name (ASCII case ignored), -1 when none.
  int IndexOf(std::string_view name) const;
  // (Re)reads an entry's bytes into its stream; raises Exception
  // "Cannot load file (wrong file name)" / "Cannot load file (wrong file size)",
  // followed by the entry's name, " in " and the archive's path.
  void LoadFile(std::string_view name);
  void LoadFileAt(int index);
  // LoadFile for every entry still on disk, by index.
  void LoadAll();
  void UpdateOffsets();
  // Appends an entry holding a copy of the whole stream; raises Exception
  // "Cannot add file (dublicate)" when the name is taken.
  void AddFile(std::string_view name, uint16_t kind, const TMemoryStream& stream);
  // Writes the archive to FileName (temporary file, then rename).
  void Save();

  // The entry's stream, loading it first when it is still on disk; nullptr
  // for a name that is not there.
  TMemoryStream* GetStream(std::string_view name);

  std::filesystem::path FileName;
  // The file the constructor opened (zero for CreateNew). Entries are read
  // from FileName again later, so a file replaced since differs from this.
  TFileStamp Opened;
  uint32_t DataStart = 8;
  TFileFolderHeader Header;
  TDir Dir;
  TMemFiles MemFiles;
  // Why the opened file is not a whole archive: the header or directory
  // error that left it without entries, or "Cannot load file (wrong file
  // size)" when entries run past its end (a file cut short). Empty when whole.
  std::string Damage;
  // The first entry that is there but whose bytes did not load into what
  // they hold (a picture that does not decode, a tag file that does not
  // parse): set by the readers of the entries, empty while none failed.
  std::string DamagedEntry;

 private:
  TFileFolder() = default;
  std::string NamedError(std::string_view text, std::string_view entry) const;
};

}  // namespace qv
