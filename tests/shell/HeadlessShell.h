// The real shell started headless on a copy of the built program folder,
// with a manual clock, no audio device and a per-test user store.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/Random.h"
#include "shell/Shell.h"
#include "HeadlessParts.h"
#include "ShellTempDir.h"

namespace qv::test {

class HeadlessShell {
 public:
  explicit HeadlessShell(const std::string& tag, const std::string& options = {},
                         std::vector<std::string> args = {})
      : Dir(tag) {
    namespace fs = std::filesystem;
    const fs::path program = QUORVANE_PROGRAM_DIR;
    for (const char* entry : {"game.zxc", "GameParams.xml", "AddLogo.xml", "Ostrandel.url", "lng", "loading.jpg",
                              "ostrandel_logo.png", "ostrandel_logo_on.png"}) {
      std::error_code ec;
      fs::copy(program / entry, Dir.Path / entry, fs::copy_options::recursive, ec);
    }
    if (!options.empty()) {
      std::FILE* f = std::fopen((Dir.Path / "options.cfg").c_str(), "wb");
      std::fwrite(options.data(), 1, options.size(), f);
      std::fclose(f);
    }
    HeadlessParts headless(Dir.Path);
    Events = headless.Events;
    headless.Parts.Args = std::move(args);
    SetClock(&Clock);
    Shell = std::make_unique<TShell>(std::move(headless.Parts));
    Shell->FormCreate(true);
    Shell->FormActivate();
    RandSeed(7);
  }
  ~HeadlessShell() {
    Shell->FormDestroy();
    Shell.reset();
    SetClock(nullptr);
  }

  TShell& operator*() { return *Shell; }
  TShell* operator->() { return Shell.get(); }

  std::string Top() { return Shell->UI->TopWindow(); }
  // Runs a handler the way a button's script does.
  bool Call(const std::string& handler) { return Shell->UI->CallHandler(handler); }

  TempDir Dir;
  ManualClock Clock;
  THeadlessEvents* Events = nullptr;
  std::unique_ptr<TShell> Shell;
};

}  // namespace qv::test
