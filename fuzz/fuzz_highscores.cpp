// Reads arbitrary bytes as "HighScores.dat": whatever rows it gives must
// write and read back as the same table.
#include <cstdint>
#include <string_view>

#include "shell/HighScores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qv::THighScores table = qv::ParseHighScores(std::string_view(reinterpret_cast<const char*>(data), size));
  if (table.size() > qv::kHighScoreRowsRead) __builtin_trap();
  qv::InsertHighScore("x\"y", 500, table);
  const std::string text = qv::FormatHighScores(table);
  const qv::THighScores back = qv::ParseHighScores(text);
  if (back.size() != std::min(table.size(), qv::kHighScoreRowsRead)) __builtin_trap();
  for (size_t i = 0; i < back.size(); ++i) {
    if (back[i].Score != table[i].Score) __builtin_trap();
    // Names come back whole; only control characters, which no line can hold, become blanks.
    if (back[i].Name.size() != table[i].Name.size()) __builtin_trap();
  }
  if (qv::FormatHighScores(back) != qv::FormatHighScores(qv::ParseHighScores(qv::FormatHighScores(back))))
    __builtin_trap();
  return 0;
}
