#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "foundation/AllocationWatch.h"
#include "foundation/FileFolder.h"
#include "foundation/Files.h"
#include "foundation/QelException.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

using AllocWatch = testing_support::AllocationWatch;

struct Entry {
  std::string name;
  std::string data;
  uint16_t kind = 0;
};

void PutWord(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutDWord(std::vector<uint8_t>& out, uint32_t v) {
  PutWord(out, v & 0xFFFF);
  PutWord(out, v >> 16);
}

// An archive laid out by hand: header, 48-byte entries, data without gaps.
// The padding bytes get a recognisable filler so that keeping them can be seen.
std::vector<uint8_t> BuildArchive(const std::vector<Entry>& entries, uint8_t filler = 0) {
  std::vector<uint8_t> out;
  PutWord(out, 0x3039);
  PutWord(out, 0);
  PutWord(out, static_cast<uint32_t>(entries.size()));
  PutWord(out, static_cast<uint32_t>(entries.size()) ^ 0xFFFF);
  uint32_t offset = 0;
  for (const auto& e : entries) {
    out.push_back(static_cast<uint8_t>(e.name.size()));
    for (size_t i = 0; i < 32; ++i) out.push_back(i < e.name.size() ? static_cast<uint8_t>(e.name[i]) : filler);
    for (int i = 0; i < 3; ++i) out.push_back(filler);
    PutDWord(out, offset);
    PutDWord(out, static_cast<uint32_t>(e.data.size()));
    PutWord(out, e.kind);
    PutWord(out, filler * 0x101u);
    offset += static_cast<uint32_t>(e.data.size());
  }
  for (const auto& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
  return out;
}

void SetDWord(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

void WriteFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Content(const TMemoryStream* s) { return s ? std::string(s->AsStringView()) : std::string("<null>"); }

TMemoryStream StreamOf(const std::string& text) { return TMemoryStream(std::vector<uint8_t>(text.begin(), text.end())); }

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.what();
  }
  return "<none>";
}

class FileFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("quorvane_archive_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path Path(const std::string& name) const { return dir_ / name; }
  fs::path Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    WriteFile(Path(name), bytes);
    return Path(name);
  }
  fs::path dir_;
};

TEST_F(FileFolderTest, NewArchiveIsWrittenByteExactAndReopens) {
  auto folder = TFileFolder::CreateNew(Path("new.zxc"));
  EXPECT_EQ(folder->DataStart, 8u);
  EXPECT_FALSE(fs::exists(Path("new.zxc")));
  TMemoryStream s1 = StreamOf("hello");
  s1.SetPosition(3);  // the whole stream is taken, whatever its position
  folder->AddFile("one.txt", 7, s1);
  folder->AddFile("Two.PNG", 0x1234, StreamOf("abc"));
  folder->AddFile("three", 0, StreamOf("wxyz"));
  folder->Save();
  EXPECT_EQ(folder->MemFiles[0].State, msAdded);

  auto bytes = ReadWholeFile(Path("new.zxc"));
  ASSERT_EQ(bytes.size(), 152u + 12u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8),
            (std::vector<uint8_t>{0x39, 0x30, 0x00, 0x00, 0x03, 0x00, 0xFC, 0xFF}));
  const uint8_t* e1 = bytes.data() + 8 + 48;
  EXPECT_EQ(e1[0], 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(e1 + 1), 7), "Two.PNG");
  for (int i = 8; i < 36; ++i) EXPECT_EQ(e1[i], 0) << "padding at " << i;
  EXPECT_EQ(std::vector<uint8_t>(e1 + 36, e1 + 48),
            (std::vector<uint8_t>{5, 0, 0, 0, 3, 0, 0, 0, 0x34, 0x12, 0, 0}));
  const uint8_t* e2 = bytes.data() + 8 + 96;
  EXPECT_EQ(std::vector<uint8_t>(e2 + 36, e2 + 44), (std::vector<uint8_t>{8, 0, 0, 0, 4, 0, 0, 0}));
  EXPECT_EQ(std::string(bytes.begin() + 152, bytes.end()), "helloabcwxyz");

  TFileFolder reopened(Path("new.zxc"));
  ASSERT_EQ(reopened.Count(), 3);
  EXPECT_EQ(reopened.DataStart, 152u);
  EXPECT_EQ(reopened.MemFiles[1].State, msOnDisk);
  EXPECT_EQ(reopened.Dir[1].Kind, 0x1234);
  reopened.LoadFile("TWO.png");
  EXPECT_EQ(reopened.MemFiles[1].State, msLoaded);
  EXPECT_EQ(reopened.MemFiles[1].Stream->Position(), 0);
  EXPECT_EQ(Content(reopened.MemFiles[1].Stream.get()), "abc");
  EXPECT_EQ(reopened.MemFiles[0].State, msOnDisk);
  EXPECT_EQ(Content(reopened.GetStream("three")), "wxyz");
  EXPECT_EQ(reopened.GetStream("four"), nullptr);
}

TEST_F(FileFolderTest, NamesCompareWithoutAsciiCaseAndFirstMatchWins) {
  TFileFolder folder(Write("a.zxc", BuildArchive({{"pic.png", "1"}, {"PIC.PNG", "2"}, {"\xC4.png", "3"}})));
  EXPECT_EQ(folder.IndexOf("Pic.Png"), 0);
  EXPECT_EQ(folder.IndexOf("\xE4.png"), -1);  // only A to Z fold
  EXPECT_EQ(folder.IndexOf("\xC4.PNG"), 2);
  EXPECT_EQ(folder.IndexOf("pic"), -1);
  EXPECT_EQ(folder.IndexOf(""), -1);

  auto added = TFileFolder::CreateNew(Path("b.zxc"));
  added->AddFile("A.PNG", 1, StreamOf("x"));
  EXPECT_EQ(ErrorOf([&] { added->AddFile("a.png", 2, StreamOf("y")); }), "Cannot add file (dublicate)");
  EXPECT_EQ(added->Count(), 1);
  EXPECT_EQ(added->Header.Count, 1);
  EXPECT_EQ(added->Header.CountCheck, 0xFFFE);
}

TEST_F(FileFolderTest, LongNamesAreCutTo32Characters) {
  std::string name40 = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
  auto folder = TFileFolder::CreateNew(Path("long.zxc"));
  folder->AddFile(name40, 0, StreamOf("data"));
  EXPECT_EQ(folder->Dir[0].NameLength, 32);
  EXPECT_EQ(folder->IndexOf(name40), -1);
  EXPECT_EQ(folder->IndexOf(name40.substr(0, 32)), 0);
  folder->Save();
  TFileFolder reopened(Path("long.zxc"));
  EXPECT_EQ(reopened.Dir[0].GetName(), name40.substr(0, 32));

  // A stored length beyond the name field reads as the full field.
  auto bytes = BuildArchive({{std::string(32, 'n'), "z"}});
  bytes[8] = 200;
  TFileFolder clamped(Write("clamp.zxc", bytes));
  EXPECT_EQ(clamped.Dir[0].GetName(), std::string(32, 'n'));
  EXPECT_EQ(Content(clamped.GetStream(std::string(32, 'N'))), "z");
}

TEST_F(FileFolderTest, DamagedHeaderOrDirectoryOpensWithoutEntries) {
  auto good = BuildArchive({{"a", "xx"}, {"b", "yy"}});
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  auto badLabel = good;
  badLabel[0] = 0x3A;
  auto badVersion = good;
  badVersion[2] = 1;
  auto badCheck = good;
  badCheck[6] = 0xFE;  // complement of 1, not of 2
  auto shortDir = std::vector<uint8_t>(good.begin(), good.begin() + 8 + 48 + 20);
  auto hugeCount = std::vector<uint8_t>{0x39, 0x30, 0, 0, 0xFF, 0xFF, 0, 0};
  std::vector<Case> cases = {{"5 bytes", {0x39, 0x30, 0, 0, 2}},
                             {"empty", {}},
                             {"bad label", badLabel},
                             {"bad version", badVersion},
                             {"bad count check", badCheck},
                             {"short directory", shortDir},
                             {"65535 entries, no directory", hugeCount}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::path p = Write("bad.zxc", c.bytes);
    AllocWatch watch;
    TFileFolder folder(p);
    EXPECT_LT(watch.Largest(), 4096u);
    EXPECT_EQ(folder.Count(), 0);
    EXPECT_EQ(folder.MemFiles.size(), 0u);
    EXPECT_EQ(folder.IndexOf("a"), -1);
    EXPECT_EQ(ErrorOf([&] { folder.LoadFile("a"); }), "Cannot load file (wrong file name) a in " + p.string());
    EXPECT_NE(folder.Damage, "");
    EXPECT_NO_THROW(folder.LoadAll());

    // Saved, it is a sound archive again.
    folder.AddFile("new", 0, StreamOf("n"));
    folder.Save();
    TFileFolder reopened(p);
    ASSERT_EQ(reopened.Count(), 1);
    EXPECT_EQ(Content(reopened.GetStream("new")), "n");
  }
}

TEST_F(FileFolderTest, MissingOrUnreadableFileIsAnInOutError) {
  EXPECT_THROW(TFileFolder folder(Path("missing.zxc")), EInOutError);
  EXPECT_THROW(TFileFolder folder(dir_), EInOutError);

  // An archive whose file has gone cannot load what is still on disk, and
  // saving it does not write a file without those entries.
  fs::path p = Write("gone.zxc", BuildArchive({{"a", "xx"}}));
  TFileFolder folder(p);
  fs::remove(p);
  EXPECT_THROW(folder.LoadFile("a"), EInOutError);
  EXPECT_THROW(folder.Save(), EInOutError);
  EXPECT_FALSE(fs::exists(p));
}

TEST_F(FileFolderTest, EntriesBeyondTheFileFailWithoutAllocating) {
  auto bytes = BuildArchive({{"first", "0123456789"}, {"second", "abcdef"}, {"third", "XYZ"}});
  size_t firstSize = 8 + 36 + 4, secondOffset = 8 + 48 + 36, thirdOffset = 8 + 96 + 36;
  SetDWord(bytes, firstSize, 0xFFFFFFFFu);    // a Size of 4 GiB
  SetDWord(bytes, secondOffset, 14);          // 6 bytes from 14 of 19: one too many
  SetDWord(bytes, thirdOffset, 0xFFFFFFF0u);  // an Offset far beyond the end
  fs::path p = Write("trunc.zxc", bytes);
  TFileFolder folder(p);
  ASSERT_EQ(folder.Count(), 3);
  for (const char* name : {"first", "second", "third"}) {
    SCOPED_TRACE(name);
    AllocWatch watch;
    EXPECT_EQ(ErrorOf([&] { folder.LoadFile(name); }),
              "Cannot load file (wrong file size) " + std::string(name) + " in " + p.string());
    EXPECT_LT(watch.Largest(), 4096u);
    int i = folder.IndexOf(name);
    EXPECT_EQ(folder.MemFiles[static_cast<size_t>(i)].Stream->Size(), 0);
    EXPECT_EQ(folder.MemFiles[static_cast<size_t>(i)].State, msOnDisk);
  }
  EXPECT_EQ(ErrorOf([&] { folder.LoadAll(); }), "Cannot load file (wrong file size) first in " + p.string());

  // The last entry of a file cut short.
  auto cut = BuildArchive({{"ok", "abc"}, {"last", "0123456789"}});
  cut.resize(cut.size() - 1);
  TFileFolder shortFolder(Write("cut.zxc", cut));
  EXPECT_EQ(Content(shortFolder.GetStream("ok")), "abc");
  EXPECT_EQ(ErrorOf([&] { shortFolder.LoadFile("last"); }),
            "Cannot load file (wrong file size) last in " + Path("cut.zxc").string());
  EXPECT_EQ(shortFolder.Damage, "Cannot load file (wrong file size)");
  EXPECT_EQ(TFileFolder(Write("whole.zxc", BuildArchive({{"ok", "abc"}}))).Damage, "");
}

TEST_F(FileFolderTest, LoadFileRereadsAndLeavesAddedEntriesAlone) {
  fs::path p = Write("r.zxc", BuildArchive({{"a", "disk"}}));
  TFileFolder folder(p);
  folder.LoadFile("a");
  folder.MemFiles[0].Stream->SetPosition(0);
  folder.MemFiles[0].Stream->WriteString("XX");
  folder.LoadFile("A");
  EXPECT_EQ(Content(folder.MemFiles[0].Stream.get()), "disk");

  // An added entry is only in memory; loading keeps its bytes, whether or
  // not the file exists.
  folder.AddFile("mem", 0, StreamOf("memory"));
  EXPECT_NO_THROW(folder.LoadFile("mem"));
  EXPECT_EQ(folder.MemFiles[1].State, msAdded);
  EXPECT_EQ(Content(folder.MemFiles[1].Stream.get()), "memory");
  auto fresh = TFileFolder::CreateNew(Path("nowhere.zxc"));
  fresh->AddFile("x", 0, StreamOf("y"));
  EXPECT_NO_THROW(fresh->LoadAll());
  EXPECT_EQ(Content(fresh->GetStream("x")), "y");
}

TEST_F(FileFolderTest, SavingAfterAddKeepsOldBytesAndAppendsTheNewEntry) {
  auto original = BuildArchive({{"a.png", "AAAA", 3}, {"b.xml", "<b/>", 4}}, 0xA5);
  fs::path p = Write("s.zxc", original);
  TFileFolder folder(p);
  folder.LoadFile("b.xml");
  folder.AddFile("c.ogg", 9, StreamOf("CC"));
  folder.Save();
  EXPECT_EQ(folder.MemFiles[0].State, msLoaded);
  EXPECT_EQ(folder.MemFiles[2].State, msAdded);

  auto saved = ReadWholeFile(p);
  ASSERT_EQ(saved.size(), original.size() + 48 + 2);
  EXPECT_EQ(std::string(saved.begin() + 152, saved.end()), "AAAA<b/>CC");
  // Old directory entries are kept as read, padding included.
  EXPECT_TRUE(std::equal(original.begin() + 8, original.begin() + 104, saved.begin() + 8));
  const uint8_t* e2 = saved.data() + 8 + 96;
  EXPECT_EQ(std::vector<uint8_t>(e2 + 36, e2 + 46), (std::vector<uint8_t>{8, 0, 0, 0, 2, 0, 0, 0, 9, 0}));

  TFileFolder reopened(p);
  ASSERT_EQ(reopened.Count(), 3);
  EXPECT_EQ(Content(reopened.GetStream("a.png")), "AAAA");
  EXPECT_EQ(Content(reopened.GetStream("b.xml")), "<b/>");
  EXPECT_EQ(Content(reopened.GetStream("c.ogg")), "CC");
  EXPECT_EQ(reopened.Dir[0].Kind, 3);
}

TEST_F(FileFolderTest, SavingAnOpenedArchiveOverItselfRewritesTheSameBytes) {
  auto original = BuildArchive({{"one", "first entry"}, {"two", ""}, {"three", std::string("\0\1\2", 3)}}, 0x5C);
  fs::path p = Write("self.zxc", original);
  {
    TFileFolder folder(p);
    folder.Save();
  }
  EXPECT_EQ(ReadWholeFile(p), original);
  // No temporary file is left beside it.
  EXPECT_EQ(ListDirectory(dir_), std::vector<std::string>{"self.zxc"});

  // A caller that changed a loaded stream gets a directory that matches it.
  TFileFolder folder(p);
  folder.GetStream("one")->SetPosition(11);
  folder.GetStream("one")->WriteString(", longer");
  folder.Save();
  TFileFolder reopened(p);
  EXPECT_EQ(Content(reopened.GetStream("one")), "first entry, longer");
  EXPECT_EQ(Content(reopened.GetStream("three")), std::string("\0\1\2", 3));
}

TEST_F(FileFolderTest, TheCountWordCannotOverflow) {
  auto folder = TFileFolder::CreateNew(Path("many.zxc"));
  for (int i = 0; i < 65535; ++i) {
    folder->Dir.push_back(TDirEntry{});
    folder->MemFiles.push_back(TMemFile{std::make_unique<TMemoryStream>(), msAdded});
  }
  EXPECT_EQ(ErrorOf([&] { folder->AddFile("one more", 0, StreamOf("x")); }), "Cannot add file (too many files)");
  EXPECT_EQ(folder->Count(), 65535);
}

}  // namespace
