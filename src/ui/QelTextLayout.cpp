#include "ui/QelTextLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "foundation/Numeric.h"

namespace qv {

const std::vector<std::string>& TextAlignmentNames() {
  static const std::vector<std::string> names{"taLeft", "taCenter", "taRight", "taJustify"};
  return names;
}

const std::vector<std::string>& TextLayoutNames() {
  static const std::vector<std::string> names{"tlTop", "tlCenter", "tlBottom"};
  return names;
}

const std::vector<std::string>& BoxPlaceNames() {
  static const std::vector<std::string> names{"bpLeft", "bpRight"};
  return names;
}

namespace {

int32_t CharWidth(const ITextMeasure& font, char16_t c) { return font.TextWidth(std::u16string_view(&c, 1)); }

}  // namespace

std::u16string PrepareLabelText(std::u16string_view caption) {
  size_t end = caption.size();
  while (end > 0 && caption[end - 1] < 33) --end;
  std::u16string out;
  out.reserve(end);
  for (size_t i = 0; i < end; ++i) {
    const char16_t c = caption[i];
    if (c == u'\r' && i + 1 < end && caption[i + 1] == u'\n') {
      out.push_back(u' ');
      ++i;
    } else if (c == u'\t') {
      out.push_back(u' ');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

int32_t CountInnerBlanks(std::u16string_view text) {
  int32_t n = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == u' ') ++n;
  return n;
}

TTextBlocks SplitLabelText(std::u16string_view text, const ITextMeasure& font, int32_t available,
                           const TFloatArea& area) {
  TTextBlocks blocks;
  const size_t len = text.size();
  // 1-based positions, as the breaking rules are stated.
  auto at = [&](size_t p) { return text[p - 1]; };
  auto finish = [&](TTextBlock& b, size_t from, size_t to) {  // characters from..to-1
    b.Text = std::u16string(text.substr(from - 1, to > from ? to - from : 0));
    b.SpaceCount = CountInnerBlanks(b.Text);
    b.Width = font.TextWidth(b.Text);
  };
  const int32_t h = font.FontHeight();
  size_t s = 1, b = 1, p = 1;
  int64_t w = 0;
  int32_t r = 0;
  size_t line = 0;
  while (p <= len) {
    w += CharWidth(font, at(p));
    if (int64_t(available) - r < w) {
      blocks.emplace_back();
      line = blocks.size() - 1;
      TTextBlock& block = blocks.back();
      block.Floating = r != 0;
      if (b == s) {
        finish(block, s, p);
        s = p;
        b = p;
      } else {
        // The whole run of blanks around the break stays off both lines.
        size_t end = b;
        while (end > s && at(end - 1) == u' ') --end;
        finish(block, s, end);
        while (b <= len && at(b) == u' ') ++b;
        s = p = b;
      }
      w = 0;
      ++p;
    } else {
      ++p;
      if (p <= len && at(p) == u' ') b = p;
    }
    r = 0;
    const int64_t y = int64_t(h) * int64_t(line);
    if (area.Floating && y >= int64_t(area.Top) - 2 * int64_t(h) && y < int64_t(area.Bottom) - h)
      r = area.PictureWidth;
  }
  blocks.emplace_back();
  blocks.back().Floating = r != 0;
  finish(blocks.back(), s, len + 1);
  return blocks;
}

void PlaceLabelBlocks(TTextBlocks& blocks, int32_t fontHeight, const TBlockPlacement& place) {
  // Widened: line spaces and shifts come from the description as they stand.
  auto clamp32 = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  const int64_t n = static_cast<int64_t>(blocks.size());
  const int64_t total = int64_t(fontHeight) * n + (n - 1) * place.LineSpace;
  for (int64_t i = 0; i < n; ++i) {
    TTextBlock& block = blocks[static_cast<size_t>(i)];
    switch (place.Alignment) {
      case taCenter:
        block.Left = clamp32((int64_t(place.Available) - block.Width) / 2 + place.ShiftLeft);
        break;
      case taRight:
        block.Left = clamp32(int64_t(place.Available) + place.ShiftLeft - block.Width);
        break;
      default:
        block.Left = clamp32(int64_t(place.ShiftLeft) + (block.Floating ? place.FloatShift : 0));
        break;
    }
    const int64_t step = i * (int64_t(fontHeight) + place.LineSpace);
    switch (place.Layout) {
      case tlCenter:
        block.Top = clamp32((int64_t(place.Height) - total) / 2 + step + place.ShiftTop);
        break;
      case tlBottom:
        block.Top = clamp32(int64_t(place.Height) - total + step + place.ShiftTop);
        break;
      default:
        block.Top = clamp32(step + place.ShiftTop);
        break;
    }
  }
}

std::vector<int32_t> JustifiedCharX(std::u16string_view text, const ITextMeasure& font, int32_t extra,
                                    int32_t spaceCount) {
  std::vector<int32_t> xs;
  xs.reserve(text.size());
  int32_t g = 0, r = 0;
  double q = 0, m = 0;
  if (spaceCount > 0) {
    g = Div(extra, spaceCount);
    r = Mod(extra, spaceCount);
    if (r > 0) {
      q = double(spaceCount) / r;
      m = q;
    }
  }
  int32_t x = 0, j = 0;
  for (char16_t c : text) {
    int32_t gap = 0;
    if (spaceCount > 0 && c == u' ') {
      ++j;
      gap = g;
      if (r > 0 && j == Round(m)) {
        ++gap;
        m += q;
      }
    }
    xs.push_back(x + gap);
    x += CharWidth(font, c) + gap;
  }
  return xs;
}

std::vector<TCharOffset> SlantedCharOffsets(std::u16string_view text, const ITextMeasure& font, int32_t blockLeft,
                                            int32_t angle) {
  std::vector<TCharOffset> out;
  out.reserve(text.size());
  if (text.empty()) return out;
  const double rad = angle * std::numbers::pi / 180.0;
  const double t = std::tan(rad);
  const int32_t lift = Round(std::fabs(t * blockLeft));
  const int32_t s = angle > 0 ? -lift : lift;
  const int32_t w1 = CharWidth(font, text[0]);
  int32_t dx = 0, dy = 0;
  for (size_t k = 0; k < text.size(); ++k) {
    out.push_back({dx, dy + s});
    dx += CharWidth(font, text[k]);
    if (k + 1 < text.size()) {
      if (angle < 0) {
        dy = Round(std::tan(-rad) * dx);
      } else {
        const int32_t next = CharWidth(font, text[k + 1]);
        // Widened first: a steep angle saturates the rounding at the 32-bit ends.
        const int64_t lift1 = std::abs(int64_t(Round(w1 * t)));
        const int64_t liftK = std::abs(int64_t(Round((double(next) + dx) * t)));
        dy = static_cast<int32_t>(std::clamp<int64_t>(lift1 - liftK, INT32_MIN, INT32_MAX));
      }
    }
  }
  return out;
}

}  // namespace qv
