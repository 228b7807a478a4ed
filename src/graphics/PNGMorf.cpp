#include "graphics/PNGMorf.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "foundation/Files.h"
#include "foundation/Log.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/SFunctions.h"
#include "foundation/StrUtils.h"
#include "graphics/JpegPNG.h"
#include "graphics/PictureScript.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

// A job's file name: "\" means "/", and the file is found without regard to
// the case of its name when the exact name is not there.
fs::path JobPath(const std::string& name) {
  fs::path p = NormalizePath(name);
  std::error_code ec;
  if (fs::exists(p, ec)) return p;
  fs::path folder = p.parent_path().empty() ? fs::path(".") : p.parent_path();
  if (auto found = FindFileNoCase(folder, p.filename().string())) return p.parent_path() / found->filename();
  return p;
}

// An entry of the source archive, loaded for the time of one conversion; an
// entry that was on disk goes back there afterwards so that only one
// entry's bytes are held at a time.
class TEntryLoan {
 public:
  TEntryLoan(TFileFolder& folder, int index) : folder_(folder), index_(index) {
    wasOnDisk_ = folder.MemFiles[size_t(index)].State == msOnDisk;
    if (wasOnDisk_) folder.LoadFileAt(index);
    stream_ = folder.MemFiles[size_t(index)].Stream.get();
    stream_->SetPosition(0);
  }
  ~TEntryLoan() {
    if (!wasOnDisk_) return;
    stream_->Clear();
    folder_.MemFiles[size_t(index_)].State = msOnDisk;
  }
  TEntryLoan(const TEntryLoan&) = delete;
  TEntryLoan& operator=(const TEntryLoan&) = delete;
  const TMemoryStream& Stream() const { return *stream_; }

 private:
  TFileFolder& folder_;
  int index_;
  bool wasOnDisk_;
  TMemoryStream* stream_;
};

int FindPartner(const TFileFolder& source, const std::string& base, const std::string& ext) {
  int index = source.IndexOf(base + ext);
  if (index < 0) throw Exception("File " + base + ext + " does not exist!");
  return index;
}

// Merges a colour JPEG entry with a grey mask entry into dest as one picture.
void MergePair(TFileFolder& source, int colourIndex, const TMemoryStream& mask, const std::string& maskName,
               TFileFolder& dest, const std::string& resultName) {
  TMemoryStream colourPng, merged;
  bool ok;
  {
    TEntryLoan colour(source, colourIndex);
    ok = JPEGToPNG(colour.Stream(), colourPng) && MergeAlphaMask(colourPng, mask, merged);
  }
  if (!ok) {
    // A damaged pair is left out rather than stored as a picture that
    // would fail on every later start.
    Log::Write("Can not merge " + source.Dir[size_t(colourIndex)].GetName() + " with the mask " + maskName +
               ", picture " + resultName + " skipped!");
    return;
  }
  dest.AddFile(resultName, kPictureKind, merged);
}

// The CRC-32 and size of a whole regular file, read a piece at a time;
// nothing when it cannot be read.
struct TFileSum {
  uint32_t Crc = 0;
  uint64_t Size = 0;
  bool operator==(const TFileSum&) const = default;
};

// The CRC-32 of `size` bytes of the file from `offset`; nothing when they
// cannot all be read.
std::optional<uLong> CrcOfPiece(const fs::path& file, uint64_t offset, uint64_t size) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"), &std::fclose);
  if (!in || ::fseeko(in.get(), off_t(offset), SEEK_SET) != 0) return std::nullopt;
  std::vector<unsigned char> buffer(size_t{1} << 18);
  uLong crc = crc32(0, nullptr, 0);
  while (size > 0) {
    const size_t n = std::fread(buffer.data(), 1, size_t(std::min<uint64_t>(size, buffer.size())), in.get());
    if (n == 0) return std::nullopt;
    crc = crc32_z(crc, buffer.data(), n);
    size -= n;
  }
  return crc;
}

std::optional<TFileSum> SumOfFile(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  TFileSum sum;
  sum.Size = fs::file_size(file, ec);
  if (ec) return std::nullopt;
  // Every start checks the archive: its pieces are summed on a few threads
  // at once and the sums joined, which keeps the check a small part of it.
  constexpr uint64_t kLeastPiece = uint64_t{1} << 20;
  const uint64_t pieces =
      std::clamp<uint64_t>(std::min<uint64_t>(std::thread::hardware_concurrency(), sum.Size / kLeastPiece), 1, 4);
  const uint64_t step = (sum.Size + pieces - 1) / pieces;
  std::vector<std::pair<uint64_t, std::future<std::optional<uLong>>>> parts;
  for (uint64_t offset = 0; offset < sum.Size; offset += step) {
    const uint64_t size = std::min(step, sum.Size - offset);
    parts.emplace_back(size, std::async(std::launch::async, CrcOfPiece, file, offset, size));
  }
  uLong crc = crc32(0, nullptr, 0);
  bool whole = true;
  for (auto& [size, part] : parts) {
    const std::optional<uLong> piece = part.get();
    whole = whole && piece;
    if (piece) crc = crc32_combine(crc, *piece, z_off_t(size));
  }
  if (!whole) return std::nullopt;
  sum.Crc = uint32_t(crc);
  return sum;
}

// The shipped archive a working archive was made from, told by its size and
// modification time: an update or a fresh copy carries a time of its own.
std::string ShippedIdentity(const TFileStamp& stamp) {
  char text[64];
  std::snprintf(text, sizeof text, "%llu %lld.%09lld", static_cast<unsigned long long>(stamp.Size),
                static_cast<long long>(stamp.Seconds), static_cast<long long>(stamp.Nanoseconds));
  return text;
}

std::string RecordText(const TFileSum& sum, const std::string& shipped) {
  char text[40];
  std::snprintf(text, sizeof text, "%08x %llu ", unsigned(sum.Crc), static_cast<unsigned long long>(sum.Size));
  return text + shipped + "\n";
}

}  // namespace

fs::path ChecksumRecordPath(const fs::path& archive) { return fs::path(archive.string() + ".crc"); }

void WriteChecksumRecord(const fs::path& archive, const TFileStamp& shipped) {
  const std::optional<TFileSum> sum = SumOfFile(archive);
  if (!sum) throw EInOutError("Cannot read " + archive.string() + " for its checksum record");
  AtomicWriteFile(ChecksumRecordPath(archive), RecordText(*sum, ShippedIdentity(shipped)));
}

std::string ChecksumMismatch(const fs::path& archive, const fs::path& shipped) {
  const fs::path record = ChecksumRecordPath(archive);
  std::error_code ec;
  // Only a small regular file can be the record: anything else is no record.
  if (!fs::is_regular_file(record, ec) || fs::file_size(record, ec) > 96) return "no checksum record";
  std::string text;
  try {
    const std::vector<uint8_t> bytes = ReadWholeFile(record);
    text.assign(bytes.begin(), bytes.end());
  } catch (const std::exception&) {
    return "the checksum record cannot be read";
  }
  // "<crc> <size> <shipped size> <shipped time>": the shipped archive is
  // compared first, since that costs no reading. A record of the older form
  // without it names no shipped archive and is made again once.
  const std::optional<TFileStamp> stamp = FileStampOf(shipped);
  const std::string identity = stamp ? ShippedIdentity(*stamp) : std::string();
  const size_t cut = text.find(' ', text.find(' ') + 1);
  if (!stamp || cut == std::string::npos || text.compare(cut + 1, std::string::npos, identity + "\n") != 0)
    return "made from another shipped archive";
  const std::optional<TFileSum> sum = SumOfFile(archive);
  if (!sum) return "the archive cannot be read";
  return text == RecordText(*sum, identity) ? std::string() : "the checksum differs";
}

std::string FormatProgressPercent(int64_t i, int64_t high) {
  if (high <= 0) return "0";
  int64_t num = i * 100;
  const int64_t den = high;
  if (num <= 0) return "0";
  // Four significant digits, rounded half away from zero, in exact arithmetic.
  int k = 0;
  int64_t scaledNum = num;
  while (scaledNum < 1000 * den) {
    scaledNum *= 10;
    ++k;
  }
  int64_t digits = scaledNum / den;
  if (2 * (scaledNum % den) >= den) ++digits;
  if (digits >= 10000) {
    digits /= 10;
    --k;
  }
  std::string text = IntToStr(digits);
  if (k > 0) {
    if (int(text.size()) <= k) text.insert(0, size_t(k + 1) - text.size(), '0');
    text.insert(text.size() - size_t(k), ".");
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  } else {
    text.append(size_t(-k), '0');
  }
  return text;
}

TPNGMorf::TPNGMorf(int quality) : Quality(std::clamp(quality, 0, 100)) {}

TPNGMorf::~TPNGMorf() { OnProgress = nullptr; }

void TPNGMorf::Execute() {
  for (const std::string& job : Jobs) {
    const std::string sourceName = GetAttrValue(job, "Source");
    const fs::path source = JobPath(sourceName);
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) throw Exception("Can not find file " + sourceName + "!");
    const fs::path dest = JobPath(GetAttrValue(job, "Dest"));
    // A working archive that is not as the conversion wrote it from this
    // shipped archive (an update or a fresh copy of it, a copy cut short, a
    // bad sector, an edit, a start killed before its record) is made again;
    // one that is, is never rebuilt.
    if (fs::exists(dest, ec)) {
      const std::string why = ChecksumMismatch(dest, source);
      if (why.empty()) continue;
      Log::Write("The working archive " + dest.string() + " does not match its checksum record (" + why +
                 "), converting " + source.string() + " again");
    }
    if (!dest.parent_path().empty()) {
      fs::create_directories(dest.parent_path(), ec);
      if (ec) throw EInOutError("Cannot create folder " + dest.parent_path().string() + ": " + ec.message());
    }
    // The old record goes first: it never speaks for the new archive. An
    // archive that did not match is no use either, and on a nearly full
    // disk the new one needs its room.
    fs::remove(ChecksumRecordPath(dest), ec);
    fs::remove(dest, ec);
    const std::optional<TFileStamp> converted = MorfFile(source, dest);
    if (!converted) continue;
    // Written only after the archive is whole, so that a start killed in
    // between converts again instead of trusting a half-made archive. A
    // record that cannot be written costs the next start a conversion, no
    // more: this start goes on with its whole archive. It names the shipped
    // archive as the conversion opened it: an update that landed since is
    // another file, which the next start converts.
    try {
      WriteChecksumRecord(dest, *converted);
    } catch (const EInOutError& e) {
      Log::Write(std::string(e.what()) + "; the next start converts " + source.string() + " again");
    }
  }
}

std::optional<TFileStamp> TPNGMorf::MorfFile(const fs::path& source, const fs::path& dest) {
  std::error_code ec;
  if (!fs::is_regular_file(source, ec)) return std::nullopt;
  TFileFolder folder(source);
  // A damaged source would make a working archive without its entries.
  if (!folder.Damage.empty()) throw Exception(folder.Damage + " " + source.string());
  MorfArchive(folder, dest);
  return folder.Opened;
}

void TPNGMorf::MorfArchive(TFileFolder& source, const fs::path& dest) {
  std::unique_ptr<TFileFolder> target = TFileFolder::CreateNew(dest);
  MorfFolder(source, *target);
  RunAutoImages(*target);
  target->Save();
}

void TPNGMorf::MorfFolder(TFileFolder& source, TFileFolder& dest) {
  const int high = source.Count() - 1;
  for (int i = 0; i <= high; ++i) {
    const std::string name = source.Dir[size_t(i)].GetName();
    if (high > 0 && OnProgress)
      OnProgress("Done: " + FormatProgressPercent(i, high) + "% ( " + name + ")", Round(i * 100.0 / high));

    const size_t dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);

    if (ext == "_jpg" || ext == "_JPG" || ext == "pNg") continue;
    TEntryLoan entry(source, i);
    if (ext == "PNG") {
      TMemoryStream jpeg, mask;
      if (!SplitPNG(entry.Stream(), uint8_t(Quality), jpeg, mask))
        throw Exception("Can not split picture " + name + "!");
      dest.AddFile(base + "._JPG", kPictureKind, jpeg);
      dest.AddFile(base + "._PNG", kPictureKind, mask);
    } else if (ext == "PnG") {
      const int partner = FindPartner(source, base, ".jpg");
      TMemoryStream mask;
      if (!PNGAlphaToMask(entry.Stream(), mask)) throw Exception("Can not split picture " + name + "!");
      dest.AddFile(base + "._PnG", kPictureKind, mask);
      TEntryLoan colour(source, partner);
      dest.AddFile(base + "._jpg", kPictureKind, colour.Stream());
    } else if (ext == "aim") {
      dest.AddFile(base + "._aim", kScriptKind, entry.Stream());
    } else if (ext == "_aim") {
      dest.AddFile(base + ".aim", kScriptKind, entry.Stream());
    } else if (ext == "_PNG") {
      MergePair(source, FindPartner(source, base, "._JPG"), entry.Stream(), name, dest, base + ".PNG");
    } else if (ext == "_PnG") {
      MergePair(source, FindPartner(source, base, "._jpg"), entry.Stream(), name, dest, base + ".PnG");
    } else {
      dest.AddFile(name, source.Dir[size_t(i)].Kind, entry.Stream());
    }
  }
}

void TPNGMorf::RunAutoImages(TFileFolder& dest) {
  const int count = dest.Count();
  for (int i = 0; i < count; ++i) {
    if (!EndsWith(dest.Dir[size_t(i)].GetName(), ".aim")) continue;
    if (dest.MemFiles[size_t(i)].State == msOnDisk) dest.LoadFileAt(i);
    TMemoryStream* script = dest.MemFiles[size_t(i)].Stream.get();
    script->SetPosition(0);
    RunAutoImage(*script, dest);
  }
}

}  // namespace qv
