// Helpers of the start-up and frame benchmarks: a copy of the built program
// folder, the real program run as a child until "Game Started...", and the
// process's peak memory.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "graphics/PNGMorf.h"

namespace qv::bench {

namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The shipped files of the built program folder, copied to a fresh folder
// under the build tree; with `converted` the working archive is made as the
// program's first start makes it.
inline fs::path PrepareFolder(const std::string& tag, bool converted) {
  const fs::path program = QUORVANE_PROGRAM_DIR;
  const fs::path folder = program.parent_path() / "bench-work" / tag;
  fs::remove_all(folder);
  fs::create_directories(folder / "config");
  for (const char* name : {"quorvane", "game.zxc", "GameParams.xml", "AddLogo.xml", "Ostrandel.url", "lng",
                           "loading.jpg", "ostrandel_logo.png", "ostrandel_logo_on.png"}) {
    std::error_code ec;
    fs::copy(program / name, folder / name, fs::copy_options::recursive, ec);
  }
  if (converted) {
    fs::create_directories(folder / "temp");
    TPNGMorf morf(90);
    morf.Jobs.push_back("Source=\"" + (folder / "game.zxc").string() + "\" Dest=\"" +
                        (folder / "temp" / "game.zxc").string() + "\"");
    morf.Execute();
  }
  return folder;
}

// "VmHWM" of /proc/<pid>/status in bytes (pid 0: this process).
inline int64_t PeakMemory(pid_t pid = 0) {
  const std::string status = ReadText(pid == 0 ? fs::path("/proc/self/status")
                                               : fs::path("/proc") / std::to_string(pid) / "status");
  const size_t at = status.find("VmHWM:");
  if (at == std::string::npos) return 0;
  return std::atoll(status.c_str() + at + 6) * 1024;
}

struct TStartRun {
  double Seconds = 0;  // from the fork to "Game Started..." in the log
  int64_t PeakBytes = 0;  // VmHWM once the start-up is over
};

// Starts the real program headless on the folder, times it to "Game
// Started...", lets it finish its start-up and ends it.
inline TStartRun RunProgramStart(const fs::path& folder, std::chrono::milliseconds settle) {
  using Clock = std::chrono::steady_clock;
  const fs::path log = folder / "Quorvane.log";
  fs::remove(log);
  const std::string exe = (folder / "quorvane").string();
  const Clock::time_point start = Clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("QUORVANE_VIDEO", "headless", 1);
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
    ::execv(exe.c_str(), argv);
    ::_exit(127);
  }
  TStartRun run;
  off_t seen = 0;
  for (;;) {
    struct stat st{};
    if (::stat(log.c_str(), &st) == 0 && st.st_size != seen) {
      seen = st.st_size;
      if (ReadText(log).find("Game Started...") != std::string::npos) break;
    }
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      std::fprintf(stderr, "the program ended before it started:\n%s\n", ReadText(log).c_str());
      std::exit(1);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  run.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::this_thread::sleep_for(settle);
  run.PeakBytes = PeakMemory(pid);
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return run;
}

}  // namespace qv::bench
