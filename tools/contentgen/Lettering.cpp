#include "Lettering.h"

#include "FreeTypeFace.h"

namespace contentgen {

struct Lettering::Impl : FreeTypeFace {
  using FreeTypeFace::FreeTypeFace;
};

Lettering::Lettering(const std::string& fontPath) : I(std::make_unique<Impl>(fontPath)) {}

Lettering::~Lettering() = default;

float Lettering::TextWidth(std::string_view text, int pixelSize) {
  FT_Face face = I->Face.get();
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
  float w = 0;
  for (unsigned char ch : text) {
    if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) != 0) continue;
    w += float(face->glyph->advance.x) / 64.0f;
  }
  return w;
}

void Lettering::Draw(Canvas& canvas, std::string_view text, float x, float baseline, int pixelSize,
                     const Rgba& colour) {
  FT_Face face = I->Face.get();
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
  float pen = x;
  for (unsigned char ch : text) {
    if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0) continue;
    FT_GlyphSlot g = face->glyph;
    const FT_Bitmap& bm = g->bitmap;
    int left = int(pen + 0.5f) + g->bitmap_left;
    int top = int(baseline + 0.5f) - g->bitmap_top;
    for (unsigned row = 0; row < bm.rows; ++row)
      for (unsigned col = 0; col < bm.width; ++col) {
        unsigned char v = bm.buffer[row * unsigned(bm.pitch < 0 ? -bm.pitch : bm.pitch) + col];
        if (v) canvas.Blend(left + int(col), top + int(row), colour, float(v) / 255.0f);
      }
    pen += float(g->advance.x) / 64.0f;
  }
}

void Lettering::DrawCentred(Canvas& canvas, std::string_view text, float cx, float baseline, int pixelSize,
                            const Rgba& colour) {
  Draw(canvas, text, cx - TextWidth(text, pixelSize) / 2.0f, baseline, pixelSize, colour);
}

}  // namespace contentgen
