// The high-score table and its file "HighScores.dat": one scrambled line per
// row, best first. A line is EncodeStr of `<High name="..." score="..." />`.
// Names keep every character they were entered with: in a name holding a
// double quote or "=", those and "&" are written as entities, so every other
// name is stored exactly as the file has always held them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

inline constexpr const char* kHighScoresFileName = "HighScores.dat";
// Rows read from the file; the table in memory has no limit.
inline constexpr size_t kHighScoreRowsRead = 21;

struct THighScore {
  std::string Name;
  int32_t Score = 0;
  friend bool operator==(const THighScore&, const THighScore&) = default;
};
// Best first; among equal scores the older row first.
using THighScores = std::vector<THighScore>;

// The plain text of a row's line, and back; false for a line without a
// score that converts.
std::string HighScoreLine(const THighScore& row);
bool ParseHighScoreLine(std::string_view line, THighScore& row);

// The rows of the file's text (lines ended by CR LF, LF or CR): at most 21,
// skipping lines that do not unscramble into a row.
THighScores ParseHighScores(std::string_view fileText);
std::string FormatHighScores(const THighScores& table);

// A missing or unreadable file gives an empty table.
THighScores LoadHighScores(const std::filesystem::path& file);
// Through a temporary file; EInOutError when it cannot be written.
void SaveHighScores(const std::filesystem::path& file, const THighScores& table);
// Empties the table and deletes the file.
void ClearHighScores(const std::filesystem::path& file, THighScores& table);

// Inserts after every row with a score at least as high; returns the place.
int InsertHighScore(std::string_view name, int32_t score, THighScores& table);

// The grid's AddCells text of a row at a 0-based place: place + 1, name,
// score, each one cell whatever the name holds (TextCellItem).
std::string HighScoreCells(int place, const THighScore& row);

}  // namespace qv
