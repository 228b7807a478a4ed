#include "shell/HighScores.h"

#include <system_error>

#include "foundation/CUnit.h"
#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/SFunctions.h"
#include "ui/QelGridCells.h"

namespace qv {

namespace {

constexpr std::string_view kQuote = "&quot;";
constexpr std::string_view kAmp = "&amp;";
constexpr std::string_view kEquals = "&#61;";

// Only a name that would not read back as it is gets entities, so every
// other name is written byte for byte as before. A quote would end the name
// early, and "=" could end it in ` score=` that the reader takes for the
// score.
bool NeedsEntities(std::string_view name) {
  return name.find_first_of("\"=") != std::string_view::npos || name.find(kQuote) != std::string_view::npos ||
         name.find(kAmp) != std::string_view::npos || name.find(kEquals) != std::string_view::npos;
}

std::string EncodeName(std::string_view name) {
  std::string out;
  const bool entities = NeedsEntities(name);
  for (char c : name) {
    // A control character would end or break the line.
    if (static_cast<unsigned char>(c) < 32) {
      out += ' ';
    } else if (entities && c == '"') {
      out += kQuote;
    } else if (entities && c == '&') {
      out += kAmp;
    } else if (entities && c == '=') {
      out += kEquals;
    } else {
      out += c;
    }
  }
  return out;
}

std::string DecodeName(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, kQuote.size(), kQuote) == 0) {
      out += '"';
      i += kQuote.size();
    } else if (text.compare(i, kAmp.size(), kAmp) == 0) {
      out += '&';
      i += kAmp.size();
    } else if (text.compare(i, kEquals.size(), kEquals) == 0) {
      out += '=';
      i += kEquals.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace

std::string HighScoreLine(const THighScore& row) {
  return "<High name=\"" + EncodeName(row.Name) + "\" score=\"" + IntToStr(row.Score) + "\" />";
}

bool ParseHighScoreLine(std::string_view line, THighScore& row) {
  int32_t score = 0;
  if (!TryStrToInt(GetAttrValue(line, "score"), score)) return false;
  row.Name = DecodeName(GetAttrValue(line, "name"));
  row.Score = score;
  return true;
}

THighScores ParseHighScores(std::string_view fileText) {
  THighScores table;
  size_t pos = 0;
  while (pos < fileText.size() && table.size() < kHighScoreRowsRead) {
    size_t end = fileText.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = fileText.size();
    THighScore row;
    if (ParseHighScoreLine(DecodeStr(fileText.substr(pos, end - pos)), row)) table.push_back(std::move(row));
    pos = end;
    if (pos < fileText.size() && fileText[pos] == '\r') ++pos;
    if (pos < fileText.size() && fileText[pos] == '\n') ++pos;
  }
  return table;
}

std::string FormatHighScores(const THighScores& table) {
  std::string out;
  for (const auto& row : table) out += EncodeStr(HighScoreLine(row)) + "\r\n";
  return out;
}

THighScores LoadHighScores(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return {};
  try {
    auto bytes = ReadWholeFile(file);
    return ParseHighScores(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const EInOutError&) {
    return {};
  }
}

void SaveHighScores(const std::filesystem::path& file, const THighScores& table) {
  AtomicWriteFile(file, FormatHighScores(table));
}

void ClearHighScores(const std::filesystem::path& file, THighScores& table) {
  table.clear();
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

int InsertHighScore(std::string_view name, int32_t score, THighScores& table) {
  size_t place = 0;
  while (place < table.size() && table[place].Score >= score) ++place;
  table.insert(table.begin() + static_cast<std::ptrdiff_t>(place), THighScore{std::string(name), score});
  return static_cast<int>(place);
}

std::string HighScoreCells(int place, const THighScore& row) {
  return TextCellItem(IntToStr(place + 1)) + TextCellItem(row.Name) + TextCellItem(IntToStr(row.Score));
}

}  // namespace qv
