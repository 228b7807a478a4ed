// The image installer: turns the shipped archive into the working archive
// (colour JPEG plus grey mask pairs become PNG pictures with alpha, hidden
// picture scripts get their working names and are rendered), and, given full
// pictures, packs them the other way. Entry names split at their first "."
// into base and extension; the extensions below are compared case-sensitively:
//   "PNG"  -> base._JPG + base._PNG     (split: colour JPEG, grey mask)
//   "PnG"  -> base._PnG + base._jpg     (mask of this picture, base.jpg's bytes)
//   "aim"  -> base._aim,  "_aim" -> base.aim
//   "_PNG" + base._JPG -> base.PNG,  "_PnG" + base._jpg -> base.PnG  (merged)
//   "_JPG", "_jpg" (used by the merges) and "pNg" (rendered pictures) -> nothing
//   anything else is copied under its own name and kind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/FileFolder.h"

namespace qv {

// Progress of a conversion: a text and a percentage.
using TMorfProgress = std::function<void(const std::string& text, int32_t position)>;

class TPNGMorf {
 public:
  // Quality is clamped to 0..100.
  explicit TPNGMorf(int quality);
  ~TPNGMorf();
  TPNGMorf(const TPNGMorf&) = delete;
  TPNGMorf& operator=(const TPNGMorf&) = delete;

  int Quality;
  // One conversion per line: Source="<archive>" Dest="<archive>".
  std::vector<std::string> Jobs;
  TMorfProgress OnProgress;

  // Runs every job in order. A missing source raises Exception
  // "Can not find file <Source>!"; a destination that matches its checksum
  // record (made from this source) is left as it is, one without a record
  // or that differs from it is converted again (with a log line naming both
  // archives); the destination's folder is made when missing. Each
  // conversion writes the record once the destination is whole; a record
  // that cannot be written is logged and the job goes on.
  void Execute();
  // One conversion from file to file; nothing happens when Source does not
  // exist. The destination is written only when the whole conversion worked
  // (to a temporary file that is then renamed into place). Gives the source
  // as it was opened, nothing when there was none.
  std::optional<TFileStamp> MorfFile(const std::filesystem::path& source, const std::filesystem::path& dest);
  // The same from an archive already open (or built in memory).
  void MorfArchive(TFileFolder& source, const std::filesystem::path& dest);
  // Converts every entry of the source by the table above into dest, in the
  // source's order. A missing partner raises Exception
  // "File <base><partner extension> does not exist!"; a pair that does not
  // merge is logged and skipped; a picture that does not split raises.
  void MorfFolder(TFileFolder& source, TFileFolder& dest);
  // Renders every entry present now whose name ends in ".aim" (exactly) into
  // a picture appended to the same archive.
  void RunAutoImages(TFileFolder& dest);
};

// The working archive is a cache of the shipped one: the record beside it,
// "<archive>.crc", holds the CRC-32 and size of the whole file as the
// conversion wrote it and the size and modification time (to the
// nanosecond) of the shipped archive it was made from, one line
// "<8 hex digits> <size> <shipped size> <seconds>.<9 digits>".
std::filesystem::path ChecksumRecordPath(const std::filesystem::path& archive);
void WriteChecksumRecord(const std::filesystem::path& archive, const TFileStamp& shipped);
// Why the file does not match its record or was made from another shipped
// archive ("no checksum record", ...); empty when it matches.
std::string ChecksumMismatch(const std::filesystem::path& archive, const std::filesystem::path& shipped);

// i x 100 / high as the progress text shows it: at most four significant
// digits, without trailing zeros ("12.5", "33.33", "100").
std::string FormatProgressPercent(int64_t i, int64_t high);

}  // namespace qv
