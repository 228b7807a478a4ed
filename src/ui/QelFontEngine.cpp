#include "ui/QelFontEngine.h"

#include <memory>

#include "foundation/QelException.h"

namespace qv {

TQelFontEngine::TQelFontEngine() : CharsRects(kCharsRectsCount) {}

TQelFontEngine::~TQelFontEngine() {
  CharsRects.clear();
  Graphic = nullptr;
}

void TQelFontEngine::LoadFromStream(TMemoryStream& stream) {
  TQelParser parser;
  parser.LoadFromStream(stream);
  if (parser.TagCount() == 0) throw Exception("[TQelFontEngine.LoadFromStream] Font file does not has tags!");
  AddFontFromTag(*parser.GetTag(0));
}

void TQelFontEngine::LoadFromText(std::string_view text) {
  TMemoryStream stream;
  stream.WriteString(text);
  stream.SetPosition(0);
  LoadFromStream(stream);
}

TQelFont* TQelFontEngine::AddFontFromTag(const TQelXMLTag& tag) {
  auto font = std::make_unique<TQelFont>();
  TQelFont* raw = font.get();
  AddObject(std::move(font));
  raw->SetEngine(this);
  for (const auto& child : tag.Tags) SetPropValue(*raw, child->Name, child->Text);
  return raw;
}

TQelFont* TQelFontEngine::FindFont(std::string_view name) const { return dynamic_cast<TQelFont*>(FindObject(name)); }

}  // namespace qv
