// The program log. Lines read "{m:s:ms} message": minutes, seconds and
// milliseconds elapsed since the log's start time. Until the shell installs a
// sink (which appends to the log file), lines are kept in memory and handed to
// the sink when it arrives. Writing the log never throws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

std::string FormatLogLine(int32_t elapsedMs, std::string_view message);

class Log {
 public:
  using Sink = std::function<void(const std::string& line)>;

  // Installs the sink and passes it every buffered line; an empty sink makes
  // the log buffer again.
  static void SetSink(Sink sink);
  // The time that counts as 0 elapsed (the clock's current time by default).
  static void SetStartTime(int32_t time);
  static void Write(std::string_view message) noexcept;
  // The lines buffered so far (while no sink is installed), emptying the buffer.
  static std::vector<std::string> TakeBuffered();
};

}  // namespace qv
