#include "foundation/FileFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include <sys/stat.h>

#include "foundation/Files.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

constexpr size_t kHeaderSize = 8;
constexpr uint16_t kLabel = 0x3039;
constexpr uint16_t kMaxVersion = 0;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

TFileStamp StampOf(const struct stat& st) {
  return TFileStamp{uint64_t(st.st_size), int64_t(st.st_mtim.tv_sec), int64_t(st.st_mtim.tv_nsec)};
}

FilePtr OpenForReading(const std::filesystem::path& path, TFileStamp* stamp = nullptr) {
  FilePtr f(std::fopen(path.c_str(), "rb"));
  if (!f) throw EInOutError(FileErrorText("open", path, errno));
  struct stat st{};
  if (::fstat(::fileno(f.get()), &st) != 0) throw EInOutError(FileErrorText("open", path, errno));
  if (!S_ISREG(st.st_mode)) throw EInOutError(FileErrorText("open", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL));
  if (stamp) *stamp = StampOf(st);
  return f;
}

uint64_t FileSize(std::FILE* f) {
  struct stat st{};
  if (::fstat(::fileno(f), &st) != 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

// Reads up to count bytes; a read error (not a short file) is an I/O error.
size_t ReadBytes(std::FILE* f, void* buffer, size_t count, const std::filesystem::path& path) {
  size_t n = count == 0 ? 0 : std::fread(buffer, 1, count, f);
  if (n < count && std::ferror(f)) throw EInOutError(FileErrorText("read", path, errno));
  return n;
}

uint16_t GetWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t GetDWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
void PutWord(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutDWord(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

TDirEntry ParseDirEntry(const uint8_t* p) {
  TDirEntry e;
  // A stored length above the name field would read past it; such a name is
  // taken as its full 32 characters.
  e.NameLength = std::min<uint8_t>(p[0], TFileFolder::kMaxName);
  std::memcpy(e.Name.data(), p + 1, e.Name.size());
  std::memcpy(e.Padding1.data(), p + 33, e.Padding1.size());
  e.Offset = GetDWord(p + 36);
  e.Size = GetDWord(p + 40);
  e.Kind = GetWord(p + 44);
  std::memcpy(e.Padding2.data(), p + 46, e.Padding2.size());
  return e;
}

void PutDirEntry(std::vector<uint8_t>& out, const TDirEntry& e) {
  out.push_back(e.NameLength);
  out.insert(out.end(), e.Name.begin(), e.Name.end());
  out.insert(out.end(), e.Padding1.begin(), e.Padding1.end());
  PutDWord(out, e.Offset);
  PutDWord(out, e.Size);
  PutWord(out, e.Kind);
  out.insert(out.end(), e.Padding2.begin(), e.Padding2.end());
}

// Thrown inside the constructor for a damaged header or directory, and
// caught there: such an archive opens without entries.
struct BadArchive {
  const char* Text;
};

}  // namespace

std::optional<TFileStamp> FileStampOf(const std::filesystem::path& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return StampOf(st);
}

std::string TDirEntry::GetName() const {
  return std::string(Name.data(), std::min<size_t>(NameLength, TFileFolder::kMaxName));
}

TFileFolder::TFileFolder(const std::filesystem::path& fileName) : FileName(fileName) {
  FilePtr f = OpenForReading(FileName, &Opened);
  try {
    uint8_t head[kHeaderSize];
    if (ReadBytes(f.get(), head, kHeaderSize, FileName) < kHeaderSize)
      throw BadArchive{"Cannot open FileFolder (wrong file size)"};
    Header.Label = GetWord(head);
    Header.Version = GetWord(head + 2);
    Header.Count = GetWord(head + 4);
    Header.CountCheck = GetWord(head + 6);
    if (Header.Label != kLabel) throw BadArchive{"Cannot open FileFolder (broked label)"};
    if (Header.Version > kMaxVersion) throw BadArchive{"Cannot open FileFolder (wrong version)"};
    if (Header.Count != static_cast<uint16_t>(Header.CountCheck ^ 0xFFFF))
      throw BadArchive{"Cannot open FileFolder (wrong sizing)"};

    size_t dirBytes = kDirEntrySize * Header.Count;  // at most 3 MB
    if (FileSize(f.get()) < kHeaderSize + dirBytes) throw BadArchive{"Cannot open Dir (wrong size)"};
    std::vector<uint8_t> raw(dirBytes);
    if (ReadBytes(f.get(), raw.data(), dirBytes, FileName) < dirBytes) throw BadArchive{"Cannot open Dir (wrong size)"};

    Dir.reserve(Header.Count);
    MemFiles.reserve(Header.Count);
    for (size_t i = 0; i < Header.Count; ++i) {
      Dir.push_back(ParseDirEntry(raw.data() + i * kDirEntrySize));
      MemFiles.push_back(TMemFile{std::make_unique<TMemoryStream>(), msOnDisk});
    }
    DataStart = static_cast<uint32_t>(kHeaderSize + dirBytes);
    const uint64_t size = FileSize(f.get());
    for (const TDirEntry& e : Dir)
      if (uint64_t{DataStart} + e.Offset + e.Size > size) Damage = "Cannot load file (wrong file size)";
  } catch (const BadArchive& bad) {
    Damage = bad.Text;
    // A damaged archive is an empty one; its header is reset so that saving
    // it writes a file that opens again.
    Header = TFileFolderHeader{};
    Dir.clear();
    MemFiles.clear();
    DataStart = kHeaderSize;
  }
}

std::unique_ptr<TFileFolder> TFileFolder::CreateNew(const std::filesystem::path& fileName) {
  std::unique_ptr<TFileFolder> folder(new TFileFolder());
  folder->FileName = fileName;
  return folder;
}

std::string TFileFolder::NamedError(std::string_view text, std::string_view entry) const {
  return std::string(text) + " " + std::string(entry) + " in " + FileName.string();
}

int TFileFolder::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < Dir.size(); ++i)
    if (SameTextAscii(Dir[i].GetName(), name)) return static_cast<int>(i);
  return -1;
}

void TFileFolder::LoadFile(std::string_view name) {
  int i = IndexOf(name);
  if (i < 0) throw Exception(NamedError("Cannot load file (wrong file name)", name));
  LoadFileAt(i);
}

void TFileFolder::LoadFileAt(int index) {
  if (index < 0 || static_cast<size_t>(index) >= Dir.size())
    throw Exception(NamedError("Cannot load file (wrong file name)", "#" + std::to_string(index)));
  TMemFile& mf = MemFiles[static_cast<size_t>(index)];
  // An added entry exists only in memory; its bytes are not in the file.
  if (mf.State == msAdded) return;
  const TDirEntry& e = Dir[static_cast<size_t>(index)];
  FilePtr f = OpenForReading(FileName);
  mf.Stream->Clear();
  // The directory may claim more than the file holds: check before allocating.
  uint64_t start = static_cast<uint64_t>(DataStart) + e.Offset;
  uint64_t end = start + e.Size;
  bool ok = end <= FileSize(f.get()) && ::fseeko(f.get(), static_cast<off_t>(start), SEEK_SET) == 0;
  if (ok) {
    mf.Stream->SetSize(e.Size);
    ok = ReadBytes(f.get(), mf.Stream->Memory(), e.Size, FileName) == e.Size;
  }
  if (!ok) {
    mf.Stream->Clear();
    mf.State = msOnDisk;
    throw Exception(NamedError("Cannot load file (wrong file size)", e.GetName()));
  }
  mf.Stream->SetPosition(0);
  mf.State = msLoaded;
}

void TFileFolder::LoadAll() {
  for (size_t i = 0; i < MemFiles.size(); ++i)
    if (MemFiles[i].State == msOnDisk) LoadFileAt(static_cast<int>(i));
}

void TFileFolder::UpdateOffsets() {
  DataStart = static_cast<uint32_t>(kHeaderSize + kDirEntrySize * Dir.size());
  uint32_t offset = 0;
  for (auto& e : Dir) {
    e.Offset = offset;
    offset += e.Size;
  }
}

void TFileFolder::AddFile(std::string_view name, uint16_t kind, const TMemoryStream& stream) {
  if (IndexOf(name) >= 0) throw Exception("Cannot add file (dublicate)");
  // The count is a 16-bit word and sizes are 32-bit: anything beyond would
  // be written as a different archive than the one held.
  if (Dir.size() >= std::numeric_limits<uint16_t>::max()) throw Exception("Cannot add file (too many files)");
  if (static_cast<uint64_t>(stream.Size()) > std::numeric_limits<uint32_t>::max())
    throw Exception("Cannot add file (too large)");
  TDirEntry e;
  std::string_view cut = name.substr(0, std::min(name.size(), kMaxName));
  e.NameLength = static_cast<uint8_t>(cut.size());
  std::copy(cut.begin(), cut.end(), e.Name.begin());
  e.Kind = kind;
  e.Size = static_cast<uint32_t>(stream.Size());
  auto copy = std::make_unique<TMemoryStream>();
  copy->LoadFromStream(stream);
  Dir.push_back(e);
  MemFiles.push_back(TMemFile{std::move(copy), msAdded});
  Header.Count = static_cast<uint16_t>(Dir.size());
  Header.CountCheck = static_cast<uint16_t>(Header.Count ^ 0xFFFF);
}

void TFileFolder::Save() {
  // Entries still on disk are read from the current file before it is replaced.
  LoadAll();
  uint64_t total = 0;
  for (const auto& mf : MemFiles) total += static_cast<uint64_t>(mf.Stream->Size());
  // Offsets are 32-bit: a larger data area cannot be written as it is held.
  if (total > std::numeric_limits<uint32_t>::max()) throw Exception("Cannot save FileFolder (too large)");
  // The written bytes are the streams'; the directory must say so.
  for (size_t i = 0; i < Dir.size(); ++i) Dir[i].Size = static_cast<uint32_t>(MemFiles[i].Stream->Size());
  UpdateOffsets();
  Header.Count = static_cast<uint16_t>(Dir.size());
  Header.CountCheck = static_cast<uint16_t>(Header.Count ^ 0xFFFF);

  std::vector<uint8_t> out;
  out.reserve(DataStart + total);
  PutWord(out, Header.Label);
  PutWord(out, Header.Version);
  PutWord(out, Header.Count);
  PutWord(out, Header.CountCheck);
  for (const auto& e : Dir) PutDirEntry(out, e);
  for (const auto& mf : MemFiles) out.insert(out.end(), mf.Stream->Bytes().begin(), mf.Stream->Bytes().end());
  AtomicWriteFile(FileName, out.data(), out.size());
}

TMemoryStream* TFileFolder::GetStream(std::string_view name) {
  int i = IndexOf(name);
  if (i < 0) return nullptr;
  if (MemFiles[static_cast<size_t>(i)].State == msOnDisk) LoadFileAt(i);
  return MemFiles[static_cast<size_t>(i)].Stream.get();
}

}  // namespace qv
