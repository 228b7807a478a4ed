#include "foundation/Log.h"


#include "foundation/Clock.h"

namespace qv {

namespace {

struct LogState {
  Log::Sink sink;
  std::vector<std::string> buffer;
  bool startSet = false;
  int32_t start = 0;
  bool inSink = false;
};

LogState& State() {
  static LogState state;
  return state;
}

}  // namespace

std::string FormatLogLine(int32_t elapsedMs, std::string_view message) {
  int64_t ms = elapsedMs < 0 ? 0 : elapsedMs;
  int64_t seconds = ms / 1000;
  std::string line = "{" + std::to_string(seconds / 60) + ":" + std::to_string(seconds % 60) + ":" +
                     std::to_string(ms % 1000) + "} ";
  line.append(message);
  return line;
}

void Log::SetSink(Sink sink) {
  auto& s = State();
  s.sink = std::move(sink);
  if (!s.sink) return;
  auto pending = std::move(s.buffer);
  s.buffer.clear();
  for (const auto& line : pending) {
    try {
      s.sink(line);
    } catch (...) {
    }
  }
}

void Log::SetStartTime(int32_t time) {
  State().start = time;
  State().startSet = true;
}

void Log::Write(std::string_view message) noexcept {
  try {
    auto& s = State();
    if (!s.startSet) SetStartTime(GetTickCount());
    int32_t elapsed = static_cast<int32_t>(static_cast<uint32_t>(GetTickCount()) - static_cast<uint32_t>(s.start));
    std::string line = FormatLogLine(elapsed, message);
    // A sink that raises an engine exception would log again: buffer instead.
    if (s.sink && !s.inSink) {
      s.inSink = true;
      try {
        s.sink(line);
      } catch (...) {
      }
      s.inSink = false;
    } else {
      s.buffer.push_back(std::move(line));
    }
  } catch (...) {
  }
}

std::vector<std::string> Log::TakeBuffered() {
  auto out = std::move(State().buffer);
  State().buffer.clear();
  return out;
}

}  // namespace qv
