#include <gtest/gtest.h>

#include <functional>

#include <filesystem>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "foundation/Clock.h"
#include "foundation/Files.h"
#include "foundation/Log.h"
#include "foundation/MemoryStream.h"
#include "foundation/QelException.h"
#include "foundation/Random.h"
#include "foundation/StrUtils.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {
fs::path TempFolder(const std::string& name) {
  fs::path p = fs::temp_directory_path() / ("quorvane_" + name + "_" + std::to_string(::getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p;
}
}  // namespace

TEST(Log, LineFormatIsMinutesSecondsMilliseconds) {
  EXPECT_EQ(FormatLogLine(0, "Game Started..."), "{0:0:0} Game Started...");
  EXPECT_EQ(FormatLogLine(61005, "x"), "{1:1:5} x");
  EXPECT_EQ(FormatLogLine(3600999, "x"), "{60:0:999} x");
}

TEST(Log, BuffersUntilSinkAndQelExceptionLogs) {
  ManualClock clock(1000000);
  SetClock(&clock);
  Log::SetSink(nullptr);
  Log::TakeBuffered();
  Log::SetStartTime(1000000);
  clock.Advance(2500);
  Log::Write("early");
  std::vector<std::string> got;
  Log::SetSink([&](const std::string& line) { got.push_back(line); });
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], "{0:2:500} early");
  try {
    throw QelException("Exception Error in TSurfEngine.CreateSurface.");
  } catch (const QelException&) {
  }
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[1], "{0:2:500} Exception Error in TSurfEngine.CreateSurface.");
  // A sink that fails never lets the failure out of the log.
  Log::SetSink([](const std::string&) { throw std::runtime_error("disk full"); });
  EXPECT_NO_THROW(Log::Write("still fine"));
  Log::SetSink(nullptr);
  SetClock(nullptr);
}

TEST(Clock, RealClockStartsNearOneMillion) {
  SetClock(nullptr);
  int32_t t = GetTickCount();
  EXPECT_GE(t, 1000000);
  EXPECT_LT(t, 1000000 + 3600 * 1000);
}

TEST(Random, SeededSequencesRepeatAndStayInRange) {
  RandSeed(7);
  std::vector<int32_t> a;
  for (int i = 0; i < 50; ++i) a.push_back(Random(10));
  RandSeed(7);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(Random(10), a[i]);
  for (int v : a) EXPECT_TRUE(v >= 0 && v < 10);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  for (int i = 0; i < 1000; ++i) {
    double d = Random();
    EXPECT_TRUE(d >= 0.0 && d < 1.0);
  }
}

TEST(MemoryStream, ReadWriteSeekAndGaps) {
  TMemoryStream s;
  s.WriteString("hello");
  EXPECT_EQ(s.Size(), 5);
  EXPECT_EQ(s.Position(), 5);
  s.SetPosition(8);
  s.WriteString("!");
  EXPECT_EQ(s.Size(), 9);
  EXPECT_EQ(s.Bytes()[6], 0);
  s.Seek(-5, SeekOrigin::End);
  char buf[10] = {};
  EXPECT_EQ(s.Read(buf, 10), 5u);
  EXPECT_EQ(buf[0], 'o');
  EXPECT_EQ(s.Read(buf, 10), 0u);
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(s.AsStringView(), "he");
  TMemoryStream t;
  s.SetPosition(1);
  EXPECT_EQ(t.CopyFrom(s, 0), 2);  // 0 copies the whole stream from its start
  EXPECT_EQ(t.AsStringView(), "he");
}

TEST(Files, CaseBlindLookupSortedListingAtomicWrite) {
  auto dir = TempFolder("files");
  fs::create_directories(dir / "Temp");
  AtomicWriteFile(dir / "Temp" / "Game.ZXC", "abc");
  AtomicWriteFile(dir / "b.png", "1");
  AtomicWriteFile(dir / "A.PNG", "2");
  AtomicWriteFile(dir / "c.txt", "3");
  auto found = FindFileNoCase(dir, "temp\\game.zxc");
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, dir / "Temp" / "Game.ZXC");
  EXPECT_FALSE(FindFileNoCase(dir, "temp/missing.zxc"));
  EXPECT_EQ(ListDirectory(dir, ".png"), (std::vector<std::string>{"A.PNG", "b.png"}));
  EXPECT_EQ(ResolveNoCase(dir, "saves\\x.sav"), dir / "saves" / "x.sav");
  EXPECT_EQ(NormalizePath("temp\\game.zxc"), "temp/game.zxc");
  // Overwriting leaves no temporary file behind.
  AtomicWriteFile(dir / "c.txt", "replaced");
  EXPECT_EQ(ListDirectory(dir).size(), 4u);
  TMemoryStream m;
  m.LoadFromFile(dir / "c.txt");
  EXPECT_EQ(m.AsStringView(), "replaced");
  EXPECT_THROW(m.LoadFromFile(dir / "nope"), EInOutError);
  EXPECT_THROW(AtomicWriteFile(dir / "no" / "such" / "dir.txt", "x"), EInOutError);
  // Failures carry the system's reason.
  auto error = [](const std::function<void()>& work) {
    try {
      work();
    } catch (const EInOutError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(error([&] { m.LoadFromFile(dir / "nope"); }),
            "Cannot open file \"" + (dir / "nope").string() + "\": No such file or directory");
  EXPECT_EQ(error([&] { ReadWholeFile(dir / "Temp"); }),
            "Cannot read file \"" + (dir / "Temp").string() + "\": Is a directory");
  EXPECT_EQ(error([&] { AtomicWriteFile(dir / "no" / "such" / "dir.txt", "x"); }),
            "Cannot write file \"" + (dir / "no" / "such" / "dir.txt").string() + "\": No such file or directory");
  EXPECT_EQ(error([&] { AtomicWriteFile(dir / "Temp", "x"); }),
            "Cannot write file \"" + (dir / "Temp").string() + "\": Is a directory");
  EXPECT_EQ(ListDirectory(dir).size(), 4u);
  fs::remove_all(dir);
}

// Writers killed with SIGKILL in the middle of a write may leave their
// temporary file; the next write must remove it and the target must never be torn.
TEST(Files, WriterKilledMidWriteLeavesNothingBehind) {
  auto dir = TempFolder("killed");
  const fs::path target = dir / "game.zxc";
  AtomicWriteFile(target, "old");
  const std::string big(8 << 20, 'z');
  auto temporaries = [&] {
    int n = 0;
    for (const auto& name : ListDirectory(dir)) n += name != "game.zxc";
    return n;
  };
  for (int round = 0; round < 3; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        try {
          AtomicWriteFile(target, big);
        } catch (...) {
          ::_exit(1);
        }
      }
    }
    const std::string own = "game.zxc.tmp" + std::to_string(child) + "_";
    auto writing = [&] {
      for (const auto& name : ListDirectory(dir))
        if (name.rfind(own, 0) == 0) return true;
      return false;
    };
    while (!writing()) std::this_thread::yield();
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_LE(temporaries(), 1) << "round " << round;  // each writer cleared the one before
  }
  EXPECT_GE(temporaries(), 1);  // the kills really hit writes in progress
  std::string before = ReadWholeFile(target).size() == big.size() ? big : "old";
  EXPECT_EQ(ReadWholeFile(target), std::vector<uint8_t>(before.begin(), before.end()));
  AtomicWriteFile(target, "new");
  EXPECT_EQ(ListDirectory(dir), (std::vector<std::string>{"game.zxc"}));
  TMemoryStream m;
  m.LoadFromFile(target);
  EXPECT_EQ(m.AsStringView(), "new");
  fs::remove_all(dir);
}

TEST(StrUtils, CaseTrimAndUtf) {
  EXPECT_TRUE(SameTextAscii("Game.ZXC", "game.zxc"));
  EXPECT_FALSE(SameTextAscii("\xC3\x84", "\xC3\xA4"));  // only ASCII letters fold
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(ReplaceAll("aXbXc", "X", "--"), "a--b--c");
  EXPECT_EQ(Utf8ToUtf16("A\xC3\xA4\xE2\x82\xAC"), u"A\u00E4\u20AC");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\x80"), u"\uFFFD");  // overlong
  EXPECT_EQ(Utf16ToUtf8(u"A\u00E4\u20AC\U0001F600"), "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
