#include "ui/QelFont.h"

#include <algorithm>

#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"
#include "ui/QelFontEngine.h"

namespace qv {

namespace {

constexpr size_t kCharMapSize = 65536;

bool AllBlanks(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 32; });
}

}  // namespace

TQelFont::TQelFont() : FCharMap(kCharMapSize, 0) {}

const TQelClass& TQelFont::StaticClass() {
  static const TQelClass cls = TQelClass::Make<TQelFont>("TQelFont", &TQelObject::StaticClass(), [](TPropertyList& p) {
    p.Integer("Height", &TQelFont::Height);
    p.String("Picture", &TQelFont::Picture);
    p.String("Metrics", nullptr, &TQelFont::SetMetrics);
  });
  return cls;
}

const TQelClass& TQelFont::ClassType() const { return StaticClass(); }

void TQelFont::SetMetrics(const std::string& value) {
  FCharDescs.assign(static_cast<size_t>(CountChar(value, ',')) + 1, TCharDesc{});
  size_t entry = 0;
  size_t start = 0;
  while (start <= value.size()) {
    size_t end = value.find(',', start);
    if (end == std::string::npos) end = value.size();
    std::string_view item(value.data() + start, end - start);
    TCharDesc& d = FCharDescs[entry];
    int32_t* fields[] = {&d.Code, &d.X, &d.Y, &d.Offset, &d.Width, &d.Spacing};
    size_t fieldStart = 0;
    for (int32_t* field : fields) {
      size_t fieldEnd = item.find(':', fieldStart);
      if (fieldEnd == std::string_view::npos) fieldEnd = item.size();
      // An empty field is not a number: the conversion error ends the setter.
      *field = StrToInt(item.substr(fieldStart, fieldEnd - fieldStart));
      if (fieldEnd == item.size()) break;
      fieldStart = fieldEnd + 1;
    }
    ++entry;
    start = end + 1;
  }
  // The map is not cleared: codes that an earlier glyph list named and this
  // one does not keep their old index. Codes outside the UTF-16 range and
  // glyphs past the map's index range stay out of the map.
  for (size_t i = 0; i < FCharDescs.size() && i < kCharMapSize; ++i) {
    int32_t code = FCharDescs[i].Code;
    if (code >= 0 && static_cast<size_t>(code) < kCharMapSize)
      FCharMap[static_cast<size_t>(code)] = static_cast<uint16_t>(i);
  }
}

const TCharDesc* TQelFont::DescFor(char16_t code) const {
  if (FCharDescs.empty()) return nullptr;
  size_t index = FCharMap[code];
  // An index left from a longer, earlier glyph list draws as an unnamed
  // character does.
  if (index >= FCharDescs.size()) index = 0;
  return &FCharDescs[index];
}

void TQelFont::TextOut(int32_t x, int32_t y, uint32_t color, uint8_t alpha, std::u16string_view text) const {
  if (AllBlanks(text) || FCharDescs.empty()) return;
  TQelFontEngine* engine = GetFontEngine();
  if (!engine) return;
  TCharsRects& records = engine->CharsRects;
  // Only as many characters as there are records are laid out and drawn.
  size_t count = std::min(text.size(), records.size());
  // A text placed near the end of the coordinate range runs on past it:
  // those glyphs stay at the last position, off every picture.
  int64_t pen = x;
  for (size_t p = 0; p < count; ++p) {
    const TCharDesc* d = DescFor(text[p]);
    pen += d->Offset;
    const int32_t at = static_cast<int32_t>(std::clamp<int64_t>(pen, INT32_MIN, INT32_MAX));
    records[p] = TCharRect{d->X, d->Y, d->X + d->Width - 1, d->Y + Height - 1, at, y, color, alpha};
    pen += int64_t{d->Width} + d->Spacing;
  }
  if (engine->Graphic) engine->Graphic->ExtDraw(Picture, static_cast<int32_t>(count));
}

int32_t TQelFont::TextWidth(std::u16string_view text) const {
  int32_t width = 0;
  for (char16_t c : text) {
    const TCharDesc* d = DescFor(c);
    if (d) width += d->Offset + d->Width + d->Spacing;
  }
  return width;
}

int32_t TQelFont::CountChar(std::string_view text, char ch) {
  return static_cast<int32_t>(std::count(text.begin(), text.end(), ch));
}

TQelFontEngine* TQelFont::GetFontEngine() const { return dynamic_cast<TQelFontEngine*>(GetEngine()); }

void RegisterFontClasses() {
  static const bool registered = [] {
    ClassReg().Register(TQelFont::StaticClass());
    return true;
  }();
  (void)registered;
}

}  // namespace qv
