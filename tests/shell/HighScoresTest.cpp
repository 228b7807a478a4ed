#include <gtest/gtest.h>

#include "foundation/CUnit.h"
#include "foundation/Files.h"
#include "shell/HighScores.h"
#include "shell/ShellTempDir.h"

namespace qv::test {
namespace {

std::vector<int32_t> Scores(const THighScores& t) {
  std::vector<int32_t> out;
  for (const auto& r : t) out.push_back(r.Score);
  return out;
}

TEST(HighScores, InsertKeepsOlderRowsFirst) {
  THighScores t{{"a", 900}, {"old", 500}, {"c", 100}};
  EXPECT_EQ(InsertHighScore("new", 500, t), 2);
  EXPECT_EQ(Scores(t), (std::vector<int32_t>{900, 500, 500, 100}));
  EXPECT_EQ(t[1].Name, "old");
  EXPECT_EQ(t[2].Name, "new");
  EXPECT_EQ(InsertHighScore("low", -5, t), 4);
  THighScores empty;
  EXPECT_EQ(InsertHighScore("x", 0, empty), 0);
}

TEST(HighScores, LoadReadsAtMost21RowsAndSkipsDamagedLines) {
  THighScores many;
  for (int i = 0; i < 30; ++i) many.push_back({"p" + std::to_string(i), 1000 - i});
  THighScores read = ParseHighScores(FormatHighScores(many));
  ASSERT_EQ(read.size(), 21u);
  EXPECT_EQ(read[20], many[20]);

  // The second line's score is damaged: lines one and three become rows one and two.
  std::string text = EncodeStr("<High name=\"A\" score=\"30\" />") + "\r\n" +
                     EncodeStr("<High name=\"B\" score=\"3x\" />") + "\r\n" + EncodeStr("<High name=\"C\" score=\"10\" />") +
                     "\n";
  EXPECT_EQ(ParseHighScores(text), (THighScores{{"A", 30}, {"C", 10}}));
  // Damaged lines do not count against the 21 rows.
  std::string padded;
  for (int i = 0; i < 5; ++i) padded += "junk\r\n";
  padded += FormatHighScores(many);
  EXPECT_EQ(ParseHighScores(padded).size(), 21u);
}

TEST(HighScores, NamesReadBackAsEntered) {
  // Plain names are written exactly as the file has always held them.
  EXPECT_EQ(HighScoreLine({"Ann Lee", 42}), "<High name=\"Ann Lee\" score=\"42\" />");
  for (const std::string name : {"Ann \"the\" Lee", "a&b", "x&quot;y", "x&amp;", "tail\"", "\" score=\"9", "D[ score=", "a=&#61;", "Jörg"}) {
    const std::string line = EncodeStr(HighScoreLine({name, 7}));
    for (char c : line) EXPECT_GE(static_cast<unsigned char>(c), 32) << name;
    THighScore row;
    ASSERT_TRUE(ParseHighScoreLine(DecodeStr(line), row)) << name;
    EXPECT_EQ(row.Name, name);
    EXPECT_EQ(row.Score, 7);
  }
  // A line break in a name would split the row; it becomes a blank.
  THighScores back = ParseHighScores(FormatHighScores({{"a\r\nb", 1}}));
  EXPECT_EQ(back, (THighScores{{"a  b", 1}}));
}

TEST(HighScores, SaveLoadAndClear) {
  TempDir dir("scores");
  const auto file = dir.Path / "HighScores.dat";
  EXPECT_TRUE(LoadHighScores(file).empty());
  THighScores t{{"Ann", 900}, {"Bo", 5}};
  SaveHighScores(file, t);
  EXPECT_EQ(LoadHighScores(file), t);
  ClearHighScores(file, t);
  EXPECT_TRUE(t.empty());
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(LoadHighScores(file).empty());
  SaveHighScores(file, {});
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
  EXPECT_EQ(HighScoreCells(0, {"Ann", 900}), "Text=\"1\";Text=\"Ann\";Text=\"900\";");
}

}  // namespace
}  // namespace qv::test
