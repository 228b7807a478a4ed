#include "ui/QelRichText.h"

#include <algorithm>
#include <climits>

#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The number of "<prefix><number><one character>".
int32_t CommandNumber(const std::string& item, size_t prefix) {
  std::string digits = item.size() > prefix + 1 ? item.substr(prefix, item.size() - prefix - 1) : std::string();
  return StrToInt(digits);
}

class TRichLayouter {
 public:
  TRichLayouter(std::u16string_view text, const ITextMeasure& font, const TRichStyle& style)
      : text_(text), font_(font), avail_(style.Available), height_(font.FontHeight()) {
    colors_.push_back(style.Color);
    aligns_.push_back(style.Alignment);
    fonts_.push_back(style.FontName);
    blankWidth_ = font.TextWidth(u" ");
    lastClose_ = text.rfind(u'}');
  }

  TRichText Run() {
    bool didNotFit = false;
    while (true) {
      const bool blankEnds = p_ < text_.size() && text_[p_] == u' ' && !inLink_;
      if (didNotFit || p_ >= text_.size() || blankEnds || CommandAt(p_)) {
        didNotFit = false;
        EndWord();
        if (p_ >= text_.size()) break;
        continue;
      }
      const char16_t c = text_[p_];
      const bool doubled = (c == u'{' || c == u'}') && p_ + 1 < text_.size() && text_[p_ + 1] == c;
      const int64_t cw = font_.TextWidth(std::u16string_view(&c, 1));
      // A link is never split; an empty word always takes its first
      // character, so a character wider than the line cannot stall the walk.
      if (!inLink_ && !word_.empty() && wordWidth_ + cw > avail_) {
        didNotFit = true;
        continue;
      }
      word_.push_back(c);
      wordWidth_ += cw;
      p_ += doubled ? 2 : 1;
    }
    return std::move(out_);
  }

 private:
  // A command starts at a single "{" that a "}" closes.
  bool CommandAt(size_t p) const {
    if (p >= text_.size() || text_[p] != u'{') return false;
    if (p + 1 < text_.size() && text_[p + 1] == u'{') return false;
    return lastClose_ != std::u16string_view::npos && lastClose_ > p;
  }

  void EndWord() {
    std::vector<std::string> items;
    int32_t blanks = 0;
    while (p_ < text_.size()) {
      if (text_[p_] == u' ') {
        ++blanks;
        ++p_;
      } else if (CommandAt(p_)) {
        const size_t close = text_.find(u'}', p_ + 1);
        items.push_back(Utf16ToUtf8(text_.substr(p_ + 1, close - p_ - 1)));
        p_ = close + 1;
      } else {
        break;
      }
    }
    if (!word_.empty()) {
      if (x_ + wordWidth_ > avail_ && x_ > 0) NewLine(height_, true);
      TTextBlock b;
      b.Left = Clamp32(x_);
      b.Top = Clamp32(y_);
      if (!inLink_) b.Text = word_;
      b.Color = colors_.back();
      b.FontName = fonts_.back();
      b.Width = Clamp32(wordWidth_);
      b.SpaceCount = blanks;
      b.Trailing = Clamp32(int64_t(blanks) * blankWidth_);
      x_ += int64_t(b.Width) + b.Trailing;
      out_.Blocks.push_back(std::move(b));
      if (inLink_) linkBlock_ = static_cast<int32_t>(out_.Blocks.size()) - 1;
    }
    word_.clear();
    wordWidth_ = 0;
    for (const std::string& item : items) Execute(item);
  }

  void Execute(const std::string& item) {
    if (StartsWith(item, "$")) colors_.push_back(static_cast<uint32_t>(StrToInt(item)));
    if (item == "/$") Pop(colors_);
    if (StartsWith(item, "F")) {
      std::string name = item.size() > 5 ? item.substr(5) : std::string();
      name = name.substr(0, name.find(' '));
      fonts_.push_back(name);
    }
    if (StartsWith(item, "/F")) Pop(fonts_);
    if (item == "Table") {
      AlignLine();
      Down(height_);
      inTable_ = true;
      cellStart_ = out_.Blocks.size();
      columnX_ = 0;
      cellAlign_ = taLeft;
    }
    if (item.find("Link Action") != std::string::npos) {
      TRichLink link;
      link.Script = item.size() > 12 ? item.substr(12) : std::string();
      const size_t end = std::min(text_.find(u'{', p_), text_.size());
      link.Text = std::u16string(text_.substr(p_, end - p_));
      link.FontName = fonts_.back();
      out_.Links.push_back(std::move(link));
      inLink_ = true;
      linkBlock_ = -1;
    }
    if (item == "/Link" && inLink_) {
      const int32_t index = static_cast<int32_t>(out_.Links.size()) - 1;
      if (linkBlock_ >= 0) {
        out_.Blocks[static_cast<size_t>(linkBlock_)].Color = static_cast<uint32_t>(index);
        out_.Links.back().Block = linkBlock_;
      }
      inLink_ = false;
    }
    if (item == "BR/") LineBreak(height_);
    if (StartsWith(item, "BR ")) LineBreak(CommandNumber(item, 3));
    if (StartsWith(item, "HR ")) {
      const int32_t gap = CommandNumber(item, 3);
      if (!out_.Blocks.empty()) {
        TTextBlock& last = out_.Blocks.back();
        last.Trailing = Clamp32(int64_t(last.Trailing) + gap);
        x_ += gap;
      }
    }
    if (item == "Left") aligns_.push_back(taLeft);
    if (item == "Center") aligns_.push_back(taCenter);
    if (item == "Right") aligns_.push_back(taRight);
    if (item == "Justify") aligns_.push_back(taJustify);
    if (item == "/Left" || item == "/Center" || item == "/Right") {
      AlignLine();
      Pop(aligns_);
      Down(height_);
    }
    if (item == "/Justify") {
      Pop(aligns_);
      Down(height_);
    }
    if (StartsWith(item, "TLeft ")) StartCell(CommandNumber(item, 6), taLeft);
    if (StartsWith(item, "TCenter ")) StartCell(CommandNumber(item, 8), taCenter);
    if (StartsWith(item, "TRight ")) StartCell(CommandNumber(item, 7), taRight);
    if (item == "/Table") {
      PlaceCell();
      inTable_ = false;
      Down(height_);
    }
  }

  // Closing commands never remove the label's own setting at the bottom.
  template <class Stack> static void Pop(Stack& s) {
    if (s.size() > 1) s.pop_back();
  }

  void Down(int64_t dy) {
    y_ += dy;
    x_ = 0;
    lineStart_ = out_.Blocks.size();
  }

  void NewLine(int64_t dy, bool align) {
    if (align) AlignLine();
    Down(dy);
  }

  void LineBreak(int64_t dy) {
    if (inTable_) {
      PlaceCell();
      cellStart_ = out_.Blocks.size();
      Down(dy);
    } else {
      NewLine(dy, true);
    }
  }

  void StartCell(int32_t x, TTextAlignment align) {
    PlaceCell();
    cellStart_ = out_.Blocks.size();
    columnX_ = x;
    cellAlign_ = align;
    x_ = 0;
  }

  // Width of blocks first..end-1: every block with its trailing gap but the last.
  int64_t SpanWidth(size_t first, size_t end) const {
    int64_t s = 0;
    for (size_t i = first; i + 1 < end; ++i) s += int64_t(out_.Blocks[i].Width) + out_.Blocks[i].Trailing;
    return s + out_.Blocks[end - 1].Width;
  }

  void Chain(size_t first, size_t end) {
    for (size_t i = first + 1; i < end; ++i) {
      const TTextBlock& prev = out_.Blocks[i - 1];
      out_.Blocks[i].Left = Clamp32(int64_t(prev.Left) + prev.Width + prev.Trailing);
    }
  }

  void AlignLine() {
    const size_t end = out_.Blocks.size();
    if (lineStart_ >= end) return;
    const int64_t free = int64_t(avail_) - SpanWidth(lineStart_, end);
    TTextBlock& first = out_.Blocks[lineStart_];
    switch (aligns_.back()) {
      case taLeft:
        return;
      case taCenter:
        first.Left = Clamp32(free / 2);
        Chain(lineStart_, end);
        return;
      case taRight:
        first.Left = Clamp32(free);
        Chain(lineStart_, end);
        return;
      case taJustify:
        break;
    }
    int64_t n = 0;
    for (size_t i = lineStart_; i + 1 < end; ++i) n += out_.Blocks[i].SpaceCount;
    int64_t g = 0, r = 0;
    double q = 0, m = 0;
    if (n >= 1) {
      g = free / n;
      r = free - n * g;
      if (r > 0) {
        q = double(n) / double(r);
        m = q;
      }
    }
    int64_t blank = 0;
    for (size_t i = lineStart_ + 1; i < end; ++i) {
      const TTextBlock& prev = out_.Blocks[i - 1];
      int64_t left = int64_t(prev.Left) + prev.Width + prev.Trailing;
      for (int32_t k = 0; k < prev.SpaceCount; ++k) {
        ++blank;
        left += g;
        if (r > 0 && blank == Round(m)) {
          ++left;
          m += q;
        }
      }
      out_.Blocks[i].Left = Clamp32(left);
    }
  }

  void PlaceCell() {
    const size_t end = out_.Blocks.size();
    if (cellStart_ >= end) return;
    const int64_t s = SpanWidth(cellStart_, end);
    TTextBlock& first = out_.Blocks[cellStart_];
    switch (cellAlign_) {
      case taRight:
        first.Left = Clamp32(int64_t(columnX_) - s);
        break;
      case taCenter:
        first.Left = Clamp32(int64_t(columnX_) - s / 2);
        break;
      default:
        first.Left = Clamp32(int64_t(first.Left) + columnX_);
        break;
    }
    Chain(cellStart_, end);
  }

  std::u16string_view text_;
  const ITextMeasure& font_;
  int32_t avail_;
  int32_t height_;
  int32_t blankWidth_ = 0;
  size_t lastClose_ = std::u16string_view::npos;
  TRichText out_;
  std::vector<uint32_t> colors_;
  std::vector<TTextAlignment> aligns_;
  std::vector<std::string> fonts_;
  size_t p_ = 0;
  std::u16string word_;
  int64_t wordWidth_ = 0;
  int64_t x_ = 0, y_ = 0;
  size_t lineStart_ = 0;
  bool inLink_ = false;
  int32_t linkBlock_ = -1;
  bool inTable_ = false;
  size_t cellStart_ = 0;
  int32_t columnX_ = 0;
  TTextAlignment cellAlign_ = taLeft;
};

}  // namespace

TRichText LayoutRichText(std::u16string_view caption, const ITextMeasure& font, const TRichStyle& style) {
  return TRichLayouter(caption, font, style).Run();
}

}  // namespace qv
