// Runs the real program on a damaged copy of the built program folder.
// The folder is copied (hard links where the disk allows, so the many copies
// stay cheap), one archive entry or file is damaged, and the program runs as
// a child process on the headless display with dummy audio. The headless
// program reads no input, so it runs until it fails by itself or is ended
// with SIGTERM once it has started.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "foundation/FileFolder.h"
#include "foundation/Files.h"

namespace qv::e2e {

namespace fs = std::filesystem;

enum class TDamage { Missing, Truncated, Random };

inline const char* DamageName(TDamage d) {
  switch (d) {
    case TDamage::Missing: return "missing";
    case TDamage::Truncated: return "truncated";
    case TDamage::Random: return "random";
  }
  return "?";
}

// The bytes a damaged copy holds: cut to a third, or as many random bytes.
inline std::vector<uint8_t> Damaged(const std::vector<uint8_t>& bytes, TDamage damage, uint32_t seed) {
  if (damage == TDamage::Truncated) return std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 3);
  std::mt19937 random(seed);
  std::vector<uint8_t> out(bytes.size());
  for (uint8_t& b : out) b = static_cast<uint8_t>(random());
  return out;
}

// Rewrites the archive with the entry left out or damaged, through the
// archive's own writer, so the directory stays sound.
inline void DamageArchiveEntry(const fs::path& archive, const std::string& entry, TDamage damage, uint32_t seed) {
  TFileFolder in(archive);
  ASSERT_GE(in.IndexOf(entry), 0) << entry << " is not in " << archive;
  const fs::path out = archive.string() + ".new";
  std::unique_ptr<TFileFolder> copy = TFileFolder::CreateNew(out);
  for (int i = 0; i < in.Count(); ++i) {
    const TDirEntry& e = in.Dir[size_t(i)];
    const std::string name = e.GetName();
    TMemoryStream* stream = in.GetStream(name);
    ASSERT_NE(stream, nullptr) << name;
    if (i == in.IndexOf(entry)) {
      if (damage == TDamage::Missing) continue;
      copy->AddFile(name, e.Kind, TMemoryStream(Damaged(stream->Bytes(), damage, seed)));
    } else {
      copy->AddFile(name, e.Kind, *stream);
    }
  }
  copy->Save();
  fs::rename(out, archive);
}

inline void DamageFile(const fs::path& file, TDamage damage, uint32_t seed) {
  const std::vector<uint8_t> bytes = ReadWholeFile(file);
  fs::remove(file);
  if (damage == TDamage::Missing) return;
  const std::vector<uint8_t> out = Damaged(bytes, damage, seed);
  AtomicWriteFile(file, out.data(), out.size());
}

inline std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Copies a folder tree, linking the files instead of copying them where it
// can. A file that is damaged later is replaced, never written through.
inline void LinkTree(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(from)) {
    const fs::path target = to / fs::relative(e.path(), from);
    if (e.is_directory()) {
      fs::create_directories(target);
      continue;
    }
    std::error_code ec;
    fs::create_hard_link(e.path(), target, ec);
    if (ec) fs::copy_file(e.path(), target, fs::copy_options::overwrite_existing);
  }
}

// A copy of the program folder under the build tree, removed afterwards.
class TProgramCopy {
 public:
  TProgramCopy(const fs::path& source, const std::string& tag) {
    Path = fs::path(QUORVANE_E2E_WORK) / (tag + "-" + std::to_string(::getpid()));
    fs::remove_all(Path);
    LinkTree(source, Path);
    fs::remove(Path / "Quorvane.log");
    fs::remove_all(Path / "config");
    fs::create_directories(Path / "config");
  }
  ~TProgramCopy() {
    std::error_code ec;
    if (!Keep) fs::remove_all(Path, ec);
  }
  TProgramCopy(const TProgramCopy&) = delete;
  TProgramCopy& operator=(const TProgramCopy&) = delete;

  fs::path Path;
  bool Keep = false;
};

struct TRunResult {
  bool Started = false;   // the log reached "Game Started..."
  bool Exited = false;    // ended by itself, with ExitCode
  int ExitCode = -1;
  int Signal = 0;         // the signal that ended it, when it did not exit
  bool TimedOut = false;  // neither started nor ended in time: killed
  bool EndedByUs = false; // still running after its start, quit on the stop signals with status 0
  std::string Log, Errors;

  bool SanitizerReport() const {
    return Errors.find("Sanitizer") != std::string::npos || Errors.find("runtime error:") != std::string::npos;
  }
  // One line: went on, or the error box it stopped with.
  std::string Outcome() const {
    if (EndedByUs) return "went on";
    const size_t box = Log.rfind("Error box");
    const std::string why = box == std::string::npos ? "no error box" : Log.substr(box, Log.find('\n', box) - box);
    return (Exited ? "stopped, exit " + std::to_string(ExitCode) : "signal " + std::to_string(Signal)) + ": " + why;
  }
  // How the run ended, for failure messages.
  std::string Describe() const {
    std::string s = Exited ? "exit " + std::to_string(ExitCode) : "signal " + std::to_string(Signal);
    if (Started) s += ", started";
    if (EndedByUs) s += ", ended by the stop signals";
    if (TimedOut) s += ", timed out";
    const std::string tail = Log.size() > 3000 ? "..." + Log.substr(Log.size() - 3000) : Log;
    return s + "\n--- log ---\n" + tail + "--- stderr ---\n" + Errors.substr(0, 4000);
  }
};

// How long a started program runs before it is ended: the rest of its
// start-up and its first passes; a sanitizer build runs several times slower.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr std::chrono::milliseconds kSettle{4000};
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr std::chrono::milliseconds kSettle{4000};
#else
inline constexpr std::chrono::milliseconds kSettle{1500};
#endif
#else
inline constexpr std::chrono::milliseconds kSettle{1500};
#endif

// The program running on one folder.
class TProgramRun {
 public:
  explicit TProgramRun(const fs::path& folder, std::vector<std::string> args = {}) : Folder(folder) {
    const std::string exe = (folder / "quorvane").string();
    const std::string errors = (folder / "stderr.txt").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setenv("QUORVANE_VIDEO", "headless", 1);
      ::setenv("SDL_VIDEODRIVER", "dummy", 1);
      ::setenv("SDL_AUDIODRIVER", "dummy", 1);
      ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
      const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd >= 0) {
        ::dup2(fd, 1);
        ::dup2(fd, 2);
      }
      std::vector<char*> argv{const_cast<char*>(exe.c_str())};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(exe.c_str(), argv.data());
      ::_exit(127);
    }
  }
  ~TProgramRun() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  TProgramRun(const TProgramRun&) = delete;
  TProgramRun& operator=(const TProgramRun&) = delete;

  // Waits until the program ends by itself, or has run `settle` past
  // "Game Started..." (the rest of the start-up and the first passes) and
  // is then ended with the stop signal, sent again every millisecond until
  // it ends when `repeat` is set; `limit` bounds the wait.
  TRunResult Wait(std::chrono::milliseconds settle = kSettle,
                  std::chrono::seconds limit = std::chrono::seconds(120), int stopSignal = SIGTERM,
                  bool repeat = false) {
    using Clock = std::chrono::steady_clock;
    TRunResult r;
    const Clock::time_point start = Clock::now();
    Clock::time_point started{};
    int status = 0;
    bool sentTerm = false;
    while (pid_ > 0) {
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        break;
      }
      if (!r.Started && ReadText(Folder / "Quorvane.log").find("Game Started...") != std::string::npos) {
        r.Started = true;
        started = Clock::now();
      }
      if (r.Started && (repeat || !sentTerm) && Clock::now() - started >= settle) {
        ::kill(pid_, stopSignal);
        sentTerm = true;
      }
      if (Clock::now() - start > limit) {
        r.TimedOut = true;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(sentTerm && repeat ? 1 : 20));
    }
    r.Exited = WIFEXITED(status);
    r.ExitCode = r.Exited ? WEXITSTATUS(status) : -1;
    r.Signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    // A stop signal asks the program to quit; it shuts down in order and exits with 0.
    r.EndedByUs = sentTerm && !r.TimedOut && r.Exited && r.ExitCode == 0;
    r.Log = ReadText(Folder / "Quorvane.log");
    if (!r.Started) r.Started = r.Log.find("Game Started...") != std::string::npos;
    r.Errors = ReadText(Folder / "stderr.txt");
    return r;
  }

  fs::path Folder;

 private:
  pid_t pid_ = -1;
};

}  // namespace qv::e2e
