#include "foundation/SFunctions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "foundation/Numeric.h"
#include "foundation/Random.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {
bool IsSeparator(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool PointInRect(const TRect& r, int32_t x, int32_t y) {
  return r.Left <= x && x <= r.Right && r.Top <= y && y <= r.Bottom;
}

std::string GetWord(std::string_view text, int n) {
  if (n <= 0) return {};
  size_t p = 0;
  std::string_view word = kNoWord;
  for (int pass = 0; pass < n; ++pass) {
    while (p < text.size() && IsSeparator(text[p])) ++p;
    if (p >= text.size()) return std::string(kNoWord);
    size_t start = p;
    while (p < text.size() && !IsSeparator(text[p])) ++p;
    word = text.substr(start, p - start);
  }
  return std::string(word);
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  size_t p = 0;
  while (true) {
    while (p < text.size() && IsSeparator(text[p])) ++p;
    if (p >= text.size()) break;
    size_t start = p;
    while (p < text.size() && !IsSeparator(text[p])) ++p;
    words.emplace_back(text.substr(start, p - start));
  }
  return words;
}

int WordCount(std::string_view text) {
  int count = 0;
  size_t p = 0;
  while (true) {
    while (p < text.size() && IsSeparator(text[p])) ++p;
    if (p >= text.size()) return count;
    ++count;
    while (p < text.size() && !IsSeparator(text[p])) ++p;
  }
}

bool IntInArray(int32_t value, const TIntegers& a) { return std::find(a.begin(), a.end(), value) != a.end(); }

int IndexOfInt(const TIntegers& a, int32_t value) {
  auto it = std::find(a.begin(), a.end(), value);
  return it == a.end() ? -1 : static_cast<int>(it - a.begin());
}

void AddInt(TIntegers& a, int32_t value) { a.push_back(value); }

void DeleteInt(int index, TIntegers& a) {
  if (index < 0 || index >= static_cast<int>(a.size())) return;
  a.erase(a.begin() + index);
}

int32_t MinInt(const TIntegers& a) {
  int32_t m = std::numeric_limits<int32_t>::max();
  for (int32_t v : a) m = std::min(m, v);
  return m;
}

int WeightedRandom(const TIntegers& weights) {
  int64_t sum = 0;
  for (int32_t w : weights) sum += w;
  // Sums that fit 32 bits draw as they always did (seeded games replay the
  // same); larger ones draw over the whole sum so every weight keeps its share.
  int64_t r = 1;
  if (sum > std::numeric_limits<int32_t>::max())
    r += RandomInt64(sum);
  else
    r += Random(static_cast<int32_t>(std::max<int64_t>(sum, 0)));
  int64_t running = 0;
  for (size_t i = 0; i < weights.size(); ++i) {
    running += weights[i];
    if (running >= r) return static_cast<int>(i);
  }
  return static_cast<int>(weights.size());
}

std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker) {
  size_t s = text.find(startMarker);
  size_t e = text.find(endMarker);
  if (s == std::string_view::npos || e == std::string_view::npos) return {};
  size_t from = s + startMarker.size();
  if (e <= from) return {};
  return std::string(text.substr(from, e - from));
}

std::string GetAttrValue(std::string_view text, std::string_view name) {
  std::string key = std::string(name) + "=\"";
  size_t p = text.find(key);
  if (p == std::string_view::npos) return {};
  size_t from = p + key.size();
  size_t close = text.find('"', from);
  if (close == std::string_view::npos) return {};
  return std::string(text.substr(from, close - from));
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

int32_t StrToIntVal(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  int64_t value = 0;
  bool stopped = false;
  if (hex) {
    for (; i < n; ++i) {
      int d = HexDigit(text[i]);
      if (d < 0 || value > 268435455) {
        stopped = true;
        break;
      }
      value = value * 16 + d;
    }
    // Eight hex digits are the bit pattern of the 32-bit value.
    int32_t v = static_cast<int32_t>(static_cast<uint32_t>(value));
    if (stopped || !negative) return v;
    return static_cast<int32_t>(0u - static_cast<uint32_t>(v));
  }
  for (; i < n; ++i) {
    char c = text[i];
    if (c < '0' || c > '9' || value > 214748364) {
      stopped = true;
      break;
    }
    value = value * 10 + (c - '0');
  }
  if (!stopped && negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

double StrToFloatVal(std::string_view text) {
  std::string t = Trim(text);
  double v = 0;
  // "1e999" parses to infinity; like any other text that is no number it gives 0.
  if (t.empty() || !TryParseFloat(t, v) || !std::isfinite(v)) return 0;
  return v;
}

std::string BoolToText(bool flag) { return flag ? "true" : "false"; }

void AddRect(TRects& rects, const TRect& r) { rects.push_back(r); }

namespace {

// One interval of an axis with the set of rectangles that cover it. The set
// has one bit per rectangle, so any number of rectangles stays exact.
struct Interval {
  int32_t Low;
  int32_t High;
  std::vector<uint64_t> Mask;
};

class AxisTable {
 public:
  explicit AxisTable(size_t words) { items_.push_back({0, 10000, std::vector<uint64_t>(words, 0)}); }

  void Add(size_t bit, int32_t low, int32_t high) {
    const size_t w = bit / 64;
    const uint64_t b = uint64_t(1) << (bit % 64);
    for (auto& it : items_)
      if (it.Low >= low && it.High <= high) it.Mask[w] |= b;
    for (size_t k = 0; k < items_.size(); ++k) {
      auto& it = items_[k];
      if (it.Low < low && low < it.High) {
        Interval fresh{low, it.High, it.Mask};
        fresh.Mask[w] |= b;
        it.High = low;
        items_.push_back(std::move(fresh));
        break;
      }
    }
    for (size_t k = 0; k < items_.size(); ++k) {
      auto& it = items_[k];
      if (it.Low < high && high < it.High) {
        int32_t oldLow = it.Low;
        it.Low = high;
        it.Mask[w] &= ~b;
        Interval fresh{oldLow, high, it.Mask};
        fresh.Mask[w] |= b;
        items_.push_back(std::move(fresh));
        break;
      }
    }
  }

  const std::vector<Interval>& Items() const { return items_; }

 private:
  std::vector<Interval> items_;
};

bool Shares(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b) {
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] & b[i]) return true;
  return false;
}

}  // namespace

void RectsToCells(TRects& output, const TRects& input) {
  if (input.empty()) return;
  const size_t words = (input.size() + 63) / 64;
  AxisTable columns(words), rows(words);
  for (size_t i = 0; i < input.size(); ++i) {
    const TRect& r = input[i];
    if (r.IsEmpty()) continue;
    columns.Add(i, r.Left, r.Right);
    rows.Add(i, r.Top, r.Bottom);
  }
  for (const auto& row : rows.Items())
    for (const auto& col : columns.Items())
      if (Shares(row.Mask, col.Mask)) output.push_back({col.Low, row.Low, col.High, row.High});
}

}  // namespace qv
