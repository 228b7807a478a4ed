#include "Font.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "Catalogue.h"
#include "FreeTypeFace.h"
#include "foundation/MemoryStream.h"

namespace contentgen {

namespace {

// Glyphs are laid out in rows of this many pixels, one pixel apart.
constexpr int kSheetWidth = 1024;

struct RenderedGlyph {
  uint32_t Code = 0;
  int Left = 0, Top = 0;  // bitmap offset from the pen and above the baseline
  int Columns = 0, Rows = 0;
  int Advance = 0;
  std::vector<uint8_t> Coverage;
};

}  // namespace

std::vector<uint32_t> FontCharacters() {
  // Entry 0 is the replacement mark: every character the list misses draws
  // as it, so a stray character shows up instead of vanishing.
  std::vector<uint32_t> codes{0xFFFD};
  for (uint32_t c = 0x20; c <= 0x7E; ++c) codes.push_back(c);
  for (uint32_t c = 0xA0; c <= 0xFF; ++c) codes.push_back(c);
  // Typography of the captions and the French and German texts.
  for (uint32_t c : {0x2013u, 0x2014u, 0x2018u, 0x2019u, 0x201Au, 0x201Cu, 0x201Du, 0x201Eu, 0x2026u, 0x20ACu, 0x2022u,
                     0x2039u, 0x203Au, 0x0152u, 0x0153u, 0x0178u})
    codes.push_back(c);
  return codes;
}

BitmapFont DrawBitmapFont(const std::string& fontPath, int pixelSize) {
  const FreeTypeFace opened(fontPath);
  FT_Face rawFace = opened.Face.get();
  FT_Set_Pixel_Sizes(rawFace, 0, FT_UInt(pixelSize));

  std::vector<RenderedGlyph> glyphs;
  int ascent = 0, descent = 0;
  for (uint32_t code : FontCharacters()) {
    if (FT_Get_Char_Index(rawFace, code) == 0)
      throw std::runtime_error("font " + fontPath + " has no glyph for U+" + std::to_string(code));
    if (FT_Load_Char(rawFace, code, FT_LOAD_RENDER) != 0)
      throw std::runtime_error("cannot draw U+" + std::to_string(code));
    const FT_GlyphSlot g = rawFace->glyph;
    const FT_Bitmap& bm = g->bitmap;
    RenderedGlyph r;
    r.Code = code;
    r.Left = g->bitmap_left;
    r.Top = g->bitmap_top;
    r.Columns = int(bm.width);
    r.Rows = int(bm.rows);
    r.Advance = int(g->advance.x >> 6);
    const unsigned pitch = unsigned(bm.pitch < 0 ? -bm.pitch : bm.pitch);
    r.Coverage.resize(size_t(r.Columns) * size_t(r.Rows));
    for (int row = 0; row < r.Rows; ++row)
      for (int col = 0; col < r.Columns; ++col)
        r.Coverage[size_t(row) * size_t(r.Columns) + size_t(col)] = bm.buffer[unsigned(row) * pitch + unsigned(col)];
    if (r.Rows > 0) {
      ascent = std::max(ascent, r.Top);
      descent = std::max(descent, r.Rows - r.Top);
    }
    glyphs.push_back(std::move(r));
  }

  BitmapFont font;
  font.Name = "QelUnicode";
  font.Picture = "QelUnicode.png";
  // The text drawer leaves out the last row of every glyph: keep it empty.
  font.Height = ascent + descent + 1;

  // Cells: a glyph's ink columns, or its whole advance for blanks, so that no
  // cell is empty.
  int x = 0, y = 0;
  for (const RenderedGlyph& r : glyphs) {
    GlyphCell cell;
    cell.Code = r.Code;
    const bool blank = r.Columns == 0 || r.Rows == 0;
    cell.Width = blank ? std::max(r.Advance, 1) : r.Columns;
    cell.Offset = blank ? 0 : r.Left;
    cell.Spacing = r.Advance - cell.Offset - cell.Width;
    if (x + cell.Width > kSheetWidth) {
      x = 0;
      y += font.Height + 1;
    }
    cell.X = x;
    cell.Y = y;
    x += cell.Width + 1;
    font.Glyphs.push_back(cell);
  }

  font.Sheet = Canvas(kSheetWidth, y + font.Height, Rgba{1, 1, 1, 0});
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const RenderedGlyph& r = glyphs[i];
    const GlyphCell& cell = font.Glyphs[i];
    const int top = ascent - r.Top;
    for (int row = 0; row < r.Rows; ++row)
      for (int col = 0; col < r.Columns; ++col) {
        const uint8_t v = r.Coverage[size_t(row) * size_t(r.Columns) + size_t(col)];
        if (v) font.Sheet.Set(cell.X + col, cell.Y + top + row, Rgba{1, 1, 1, float(v) / 255.0f});
      }
  }
  return font;
}

std::string BitmapFont::Description() const {
  std::string metrics;
  for (const GlyphCell& g : Glyphs) {
    if (!metrics.empty()) metrics += ',';
    metrics += std::to_string(g.Code) + ':' + std::to_string(g.X) + ':' + std::to_string(g.Y) + ':' +
               std::to_string(g.Offset) + ':' + std::to_string(g.Width) + ':' + std::to_string(g.Spacing);
  }
  return "<Font>\r\n  <Name>" + Name + "</Name>\r\n  <Height>" + std::to_string(Height) + "</Height>\r\n  <Picture>" +
         Picture + "</Picture>\r\n  <Metrics>" + metrics + "</Metrics>\r\n</Font>\r\n";
}

void WriteFont(const std::string& outputFolder) {
  // 14 pixels of DejaVu Sans: an 18-pixel line that reads well at 800 x 600.
  const BitmapFont font = DrawBitmapFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 14);
  const std::filesystem::path folder(outputFolder);
  SavePicture(font.Sheet, Stage::Exact, (folder / font.Picture).string());
  const std::string text = font.Description();
  qv::TMemoryStream s;
  s.Write(text.data(), text.size());
  s.SaveToFile(folder / "QelUnicode.xml");
}

}  // namespace contentgen
