#include "shell/ShellLog.h"

#include <cstdio>
#include <system_error>

#include "foundation/Clock.h"
#include "foundation/Files.h"
#include "foundation/Log.h"

namespace qv {

void AppendLogLine(const std::filesystem::path& file, const std::string& line) {
  if (std::FILE* f = std::fopen(file.c_str(), "ab")) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fwrite("\r\n", 1, 2, f);
    std::fclose(f);
  }
}

void StartLogFile(const std::filesystem::path& programFolder) {
  Log::SetSink(nullptr);
  const std::filesystem::path file = ResolveNoCase(programFolder, kLogFileName);
  std::error_code ec;
  std::filesystem::remove(file, ec);
  Log::SetStartTime(GetTickCount());
  Log::TakeBuffered();
  Log::SetSink([file](const std::string& line) { AppendLogLine(file, line); });
}

void StopLogFile() { Log::SetSink(nullptr); }

}  // namespace qv
