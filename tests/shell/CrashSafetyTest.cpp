// A process that is killed while it writes the player's files must leave
// each of them whole: the old version or the new one, never a torn file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "game/GameFakes.h"
#include "shell/HighScores.h"
#include "shell/Languages.h"
#include "shell/SavedGames.h"
#include "shell/Settings.h"
#include "shell/ShellTempDir.h"

namespace qv::test {
namespace {

struct Files {
  std::filesystem::path Save, Scores, Options, Store;
};

// Writes one version of every file.
void WriteVersion(const Files& f, GameHarness& h, int v) {
  TLevelLoader loader(h.State, h.Svc);
  TSavedGames saves(h.State, h.Svc, loader);
  TUserStore store(f.Store);
  {
    h.State.Game.TotalScore = v;
    h.State.Game.PrevScore = -v;
    saves.SaveGame(f.Save);
    SaveHighScores(f.Scores, {{"v" + IntToStr(v), v}, {"w", -v}});
    TSettings s;
    s.SoundVolume = v % 101;
    s.PlayerName = "P" + IntToStr(v);
    SaveOptions(f.Options, s);
    const std::string code{static_cast<char>('A' + v % 26), static_cast<char>('A' + v / 26 % 26), 'X'};
    SaveLanguageToReg(store, code);
  }
}

// Checks that every file is whole and returns the save's version.
int CheckWhole(const Files& f, GameHarness& h) {
  TLevelLoader loader(h.State, h.Svc);
  TSavedGames saves(h.State, h.Svc, loader);
  h.State.Game.TotalScore = -1;
  EXPECT_TRUE(saves.LoadGame(f.Save));
  const int v = h.State.Game.TotalScore;
  EXPECT_EQ(h.State.Game.PrevScore, -v);

  const THighScores scores = LoadHighScores(f.Scores);
  EXPECT_EQ(scores.size(), 2u);
  if (scores.size() == 2) {
    EXPECT_EQ(scores[0].Name, "v" + IntToStr(scores[0].Score));
    EXPECT_EQ(scores[1].Score, -scores[0].Score);
  }

  const TSettings s = LoadOptions(f.Options);
  int32_t n = -1;
  EXPECT_TRUE(s.PlayerName.size() > 1 && TryStrToInt(s.PlayerName.substr(1), n)) << s.PlayerName;
  EXPECT_EQ(s.SoundVolume, n % 101);
  const std::string text = [&] {
    auto bytes = ReadWholeFile(f.Options);
    return std::string(bytes.begin(), bytes.end());
  }();
  EXPECT_NE(text.find("[Version]\r\nBuild=105\r\n"), std::string::npos);

  EXPECT_EQ(ReadLangCode(TUserStore(f.Store)).size(), 3u);
  return v;
}

TEST(CrashSafety, KilledWritersLeaveWholeFiles) {
  TempDir dir("crash");
  const Files f{dir.Path / "saves" / "QuickSave.sav", dir.Path / "HighScores.dat", dir.Path / "options.cfg",
                dir.Path / "config" / "quorvane" / "registry"};
  std::filesystem::create_directories(dir.Path / "saves");
  GameHarness h;
  h.State.Level.LevComplete = true;  // loading needs no level file

  // Kills spread over the time two rounds of writes take here, so they land
  // in every file's write whatever the disk's speed.
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i) WriteVersion(f, h, 0);
  const auto round = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0) / 3;
  std::mt19937 rng(1224);
  std::uniform_int_distribution<int> delayUs(0, static_cast<int>(std::min<int64_t>(2 * round.count() + 200, 50'000)));
  int version = 0;
  int changes = 0;
  for (int kill = 0; kill < 200; ++kill) {
    // The child says when it starts writing and when each version is whole,
    // so a busy machine's slow fork or slow writes do not eat the delay
    // before the kill. Every second kill waits for one whole version first,
    // so the writers get on between the kills however slow the disk is.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      const char go = 1;
      for (int v = version + 1;; ++v) {
        if (::write(ready[1], &go, 1) != 1) ::_exit(1);
        WriteVersion(f, h, v);
      }
    }
    ::close(ready[1]);
    char go = 0;
    ASSERT_EQ(::read(ready[0], &go, 1), 1);
    if (kill % 2 == 1) {
      ASSERT_EQ(::read(ready[0], &go, 1), 1);
    }
    ::usleep(static_cast<useconds_t>(delayUs(rng)));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(ready[0]);
    ASSERT_TRUE(WIFSIGNALED(status));
    const int seen = CheckWhole(f, h);
    if (::testing::Test::HasFailure()) {
      FAIL() << "after kill " << kill;
    }
    if (seen != version) ++changes;
    version = seen;
  }
  // The writers got on between the kills.
  EXPECT_GE(changes, 100);
  std::printf("200 kills, %d with new versions, last version %d, one round %lld us\n", changes, version,
              static_cast<long long>(round.count()));
}

}  // namespace
}  // namespace qv::test
