// The real shell in this process on a prepared program folder, for the
// damaged files that only matter once the player clicks somewhere (saves,
// levels, languages). Handlers run the way a widget's script runs them: an
// error raised inside reaches the shell's exception handler, as in the
// program's event loop.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "foundation/Clock.h"
#include "foundation/Random.h"
#include "platform/Events.h"
#include "shell/HeadlessParts.h"
#include "shell/Shell.h"

namespace qv::e2e {

class TShellOnFolder {
 public:
  explicit TShellOnFolder(const std::filesystem::path& folder) {
    test::HeadlessParts headless(folder);
    SetClock(&Clock);
    Shell = std::make_unique<TShell>(std::move(headless.Parts));
    Shell->FormCreate(true);
    try {
      Shell->FormActivate();
    } catch (const std::exception& e) {
      Shell->AppException(e);
    }
    RandSeed(7);
    Shell->Active = true;
    Shell->AppActivate();
  }
  ~TShellOnFolder() {
    Shell->FormDestroy();
    Shell.reset();
    SetClock(nullptr);
  }
  TShellOnFolder(const TShellOnFolder&) = delete;
  TShellOnFolder& operator=(const TShellOnFolder&) = delete;

  TShell* operator->() { return Shell.get(); }

  // Presses a button: its handler runs as its script would run it.
  void Press(const std::string& handler) {
    try {
      Shell->UI->CallHandler(handler);
    } catch (const std::exception& e) {
      Shell->AppException(e);
    }
  }
  // Runs passes of the main loop, 20 ms apart.
  void Passes(int n) {
    for (int i = 0; i < n && !Shell->Closing; ++i) {
      Clock.Advance(20);
      Shell->Step();
    }
  }
  std::string Top() { return Shell->UI->TopWindow(); }

  ManualClock Clock;
  std::unique_ptr<TShell> Shell;
};

}  // namespace qv::e2e
