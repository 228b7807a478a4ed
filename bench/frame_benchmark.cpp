// One whole pass of the main loop (update, composition, windows, cursor,
// presentation into the headless display) of the real shell on the built
// content, against the field pass alone (the game field's layers drawn into
// "MemoryBufer"), measured in the same run:
//  - in play, on the sample levels with two belts: with nothing over the
//    field, as most of a player's passes are (aim: at most 1.5), and with the
//    opaque level-start window left over it (second argument 1);
//  - on the title, with the pointer moving.
// "ratio" is the whole pass over the field pass.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "e2e/BadContentShell.h"
#include "BenchProgram.h"
#include "game/LevelStart.h"

namespace {

using namespace qv;
using namespace qv::bench;

// Processor time of this thread: other work on a busy machine does not count.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
  }
};

constexpr int32_t kFrameMs = 16;

e2e::TShellOnFolder& Shell() {
  static const fs::path folder = PrepareFolder("frame", true);
  static e2e::TShellOnFolder shell(folder);
  return shell;
}

// Starts level n (file "Level<n + 1>.xml") in play and lets its belts fill;
// with keepWindow the level-start window stays over the field.
void StartPlaying(e2e::TShellOnFolder& shell, int32_t n, bool keepWindow = false) {
  shell->UI->HideModalList();
  shell->UI->ShowModal("WTitle");
  shell.Press("WTitle_BNewGame_MouseUp");
  shell.Press("WStartGame_RBNoLose_MouseUp");
  shell.Press("WStartGame_BPlay_MouseUp");
  try {
    StartLevel(shell->Game, shell->Svc, shell->Loader, n);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "level %d: %s\n", n + 1, e.what());
  }
  // The button's script hides its window before it calls the handler.
  if (!keepWindow && shell.Top() == "WOverview") shell->UI->HideModal();
  shell.Press("WOverview_BPlay_MouseUp");
  shell.Passes(400);
}

double Elapsed(Clock::time_point since) { return Clock::now() - since; }

void BM_PlayPass(benchmark::State& state) {
  e2e::TShellOnFolder& shell = Shell();
  StartPlaying(shell, int32_t(state.range(0)), state.range(1) != 0);
  TShell& sh = *shell.Shell;
  double field = 0, whole = 0;
  int32_t prev = sh.Frame.GameClock, i = 0;
  for (auto _ : state) {
    shell.Clock.Advance(kFrameMs);
    const int32_t now = GetTickCount();
    Clock::time_point t = Clock::now();
    sh.Field.BeginPass(now, prev);
    sh.Field.DrawPlayField("MemoryBufer");
    field += Elapsed(t);
    sh.Field.BeltRects.clear();
    // The pointer wanders over the field, as a player's does.
    ++i;
    sh.FormMouseMove(0, 100 + (i * 7) % 600, 100 + (i * 3) % 400);
    t = Clock::now();
    sh.Loop.Pass();
    whole += Elapsed(t);
    prev = now;
  }
  state.counters["field_us"] = field / double(state.iterations()) * 1e6;
  state.counters["pass_us"] = whole / double(state.iterations()) * 1e6;
  state.counters["ratio"] = whole / field;
  // Where the rest goes: the game's update and the windows' drawing alone.
  double update = 0, windows = 0;
  for (int k = 0; k < 100; ++k) {
    shell.Clock.Advance(kFrameMs);
    Clock::time_point t = Clock::now();
    sh.Update.UpdateFrame(GetTickCount());
    update += Elapsed(t);
    t = Clock::now();
    sh.UI->DrawInterface();
    windows += Elapsed(t);
    sh.Loop.Pass();
  }
  state.counters["update_us"] = update / 100 * 1e6;
  state.counters["windows_us"] = windows / 100 * 1e6;
  state.counters["still_playing"] = sh.Game.Game.GameMode == gmPlaying ? 1 : 0;
  int64_t cards = 0;
  for (const auto& belt : sh.Game.Level.Belts) cards += int64_t(belt.Cards.size());
  state.counters["belt_cards"] = double(cards);
  state.SetLabel(shell.Top());
}
// Levels 4, 5 and 10 (the ones with two belts), without and with the window.
BENCHMARK(BM_PlayPass)
    ->ArgNames({"level", "window"})
    ->ArgsProduct({{3, 4, 9}, {0, 1}})
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond);

void BM_TitlePass(benchmark::State& state) {
  e2e::TShellOnFolder& shell = Shell();
  TShell& sh = *shell.Shell;
  // The field pass of the busiest level, for the comparison.
  StartPlaying(shell, 4);
  double field = 0;
  int32_t prev = sh.Frame.GameClock;
  for (int i = 0; i < 200; ++i) {
    shell.Clock.Advance(kFrameMs);
    const Clock::time_point t = Clock::now();
    sh.Field.BeginPass(GetTickCount(), prev);
    sh.Field.DrawPlayField("MemoryBufer");
    field += Elapsed(t);
    sh.Field.BeltRects.clear();
    prev = GetTickCount();
  }
  field /= 200;
  sh.Game.Game.GameMode = gmMenus;
  sh.UI->HideModalList();
  sh.UI->ShowModal("WTitle");
  shell.Passes(10);
  double whole = 0;
  int32_t i = 0;
  for (auto _ : state) {
    shell.Clock.Advance(kFrameMs);
    ++i;
    sh.FormMouseMove(0, 100 + (i * 7) % 600, 100 + (i * 3) % 400);
    const Clock::time_point t = Clock::now();
    sh.Loop.Pass();
    whole += Elapsed(t);
  }
  whole /= double(state.iterations());
  state.counters["field_us"] = field * 1e6;
  state.counters["pass_us"] = whole * 1e6;
  state.counters["ratio"] = whole / field;
}
BENCHMARK(BM_TitlePass)->Iterations(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
