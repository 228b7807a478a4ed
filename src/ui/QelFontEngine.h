// The font engine: owns the fonts (found by name by the text widgets) and the
// one array of glyph draw records that every TextOut writes into and the host
// draws from (IQelGraphic::ExtDraw).
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/CharRects.h"
#include "foundation/MemoryStream.h"
#include "foundation/QelBaseClasses.h"
#include "foundation/QelParser.h"
#include "ui/QelFont.h"
#include "ui/QelInterface.h"

namespace qv {

class TQelFontEngine : public TQelEngine {
 public:
  // The glyph records are allocated once; one TextOut draws at most this many.
  static constexpr int32_t kCharsRectsCount = 3000;

  TQelFontEngine();
  ~TQelFontEngine() override;

  // Parses a font description and adds the font its first top-level tag
  // describes. Property errors reach the caller; a text without tags fails.
  void LoadFromStream(TMemoryStream& stream);
  void LoadFromText(std::string_view text);
  // A new font in the engine, then every child tag sets the property of its
  // name to its text, in document order.
  TQelFont* AddFontFromTag(const TQelXMLTag& tag);
  // The font of that exact name, or none.
  TQelFont* FindFont(std::string_view name) const;

  // Set by the shell; not owned.
  IQelGraphic* Graphic = nullptr;
  // kCharsRectsCount records, never resized.
  TCharsRects CharsRects;
};

}  // namespace qv
