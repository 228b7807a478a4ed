// Small free functions the whole program shares: the word splitter for
// blank-separated lists in tag files, integer and rectangle arrays, weighted
// random choice, text extraction, lenient number parsing and the split of
// dirty rectangles into disjoint cells.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

using TIntegers = std::vector<int32_t>;

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};
using TPoints = std::vector<TPoint>;

// Right and Bottom are the first column and row outside the rectangle.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};
using TRects = std::vector<TRect>;

inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) { return TRect{left, top, right, bottom}; }

// The mark for a word that a text does not have.
inline constexpr std::string_view kNoWord = "%&";

// All four edges inclusive.
bool PointInRect(const TRect& r, int32_t x, int32_t y);

// The n-th word (from 1) of a text split at blanks and tabs; "%&" when the
// text has fewer words, the empty text for n <= 0.
std::string GetWord(std::string_view text, int n);
int WordCount(std::string_view text);
// All words in order (what a loop of GetWord over WordCount gives).
std::vector<std::string> SplitWords(std::string_view text);

bool IntInArray(int32_t value, const TIntegers& a);
int IndexOfInt(const TIntegers& a, int32_t value);
void AddInt(TIntegers& a, int32_t value);
// Removes the element at the index; an index outside the array does nothing.
void DeleteInt(int index, TIntegers& a);
// The smallest element; 2147483647 for an empty array.
int32_t MinInt(const TIntegers& a);
// An index drawn with probability proportional to its weight from the
// process-wide generator; the array's length when nothing can be drawn (all
// weights zero, or an empty array).
int WeightedRandom(const TIntegers& weights);

std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker);
// The value of name="value" inside the text; empty when absent or unclosed.
std::string GetAttrValue(std::string_view text, std::string_view name);
// Lenient integer: leading blanks, optional sign, decimal digits or hex after
// "$", "x", "0x"; stops at the first stray character (and then ignores a
// leading "-"). Never fails, never overflows.
int32_t StrToIntVal(std::string_view text);
// A decimal number with "." (surrounding blanks allowed); 0 on any error.
double StrToFloatVal(std::string_view text);
std::string BoolToText(bool flag);

void AddRect(TRects& rects, const TRect& r);
// Appends to output disjoint cells whose union is the union of the input
// rectangles clipped to 0..10000 on both axes. Empty and inverted rectangles
// are skipped; any number of rectangles is handled. The output is not cleared.
void RectsToCells(TRects& output, const TRects& input);

}  // namespace qv
