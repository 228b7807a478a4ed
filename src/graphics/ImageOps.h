// Operations on decoded pictures that picture scripts are made of: blank
// canvases, compositing with tint and alpha, flips, the hue/saturation/
// lightness change, rotation, scaling and cropping. Every picture here is 8-bit
// blue, green, red rows, with alpha rows or without (colour type 6 or 2);
// `NormalizeImage` brings any decoded PNG into that form first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/SFunctions.h"
#include "graphics/PictureCodec.h"

namespace qv {

// A black picture without alpha; raises Exception for a size outside
// 1..kMaxPictureSide or above kMaxPicturePixels.
TPngImage BlankImage(int width, int height);
// Same size check as BlankImage, for sizes a script asks for.
void CheckImageSize(int width, int height);

// Grey, palette and grey-with-alpha pictures become colour type 2 or 6 (the
// pixels are already 8-bit blue, green, red after decoding).
void NormalizeImage(TPngImage& image);

// Adds an alpha channel of the value when the picture has none.
void AddAlphaChannel(TPngImage& image, uint8_t value);

// How one picture is laid onto a canvas.
struct TImageDraw {
  int Left = 0;  // canvas position of the source rectangle's top-left pixel
  int Top = 0;
  TRect Source;  // Left, Top, Right, Bottom all inclusive, in source pixels
  int ColorValue = 0;  // tint weight; 0 = no tint
  uint8_t Color[3] = {255, 255, 255};  // blue, green, red
  int Alfa = 255;
};

// Lays the source (which must have alpha rows) onto the canvas: pixels with
// alpha 0 are skipped; on the first drawing the colour replaces the canvas
// pixel, later drawings blend with (Alfa x alpha) >> 8. Parts of the source
// rectangle outside the source picture or the canvas are not drawn.
void DrawImage(TPngImage& canvas, const TPngImage& source, const TImageDraw& draw, bool first);
// Merges the source's alpha into the canvas's over the source rectangle. On
// the first drawing the canvas gets an alpha channel of 0 first. A canvas
// without alpha (an opaque first picture) stays opaque.
void MergeAlpha(TPngImage& canvas, const TPngImage& source, const TImageDraw& draw, bool first);

// Row i changes place with row Height - 1 - i (colour and alpha).
void FlipRows(TPngImage& image);
// Column j changes place with column Width - 1 - j (colour and alpha).
void FlipColumns(TPngImage& image);

// The rectangle (Right and Bottom exclusive) cut out as a new picture with an
// alpha channel (opaque where the source has none). The caller clips.
TPngImage Crop(const TPngImage& image, const TRect& r);

// One pixel through the 240-step hue/lightness/saturation model, shifted by
// the deltas. r, g, b are 0..255.
void HueChangePixel(uint8_t& r, uint8_t& g, uint8_t& b, int hue, int saturation, int lightness);
// Every pixel; the first byte of a row enters as red and the third as blue.
void HueChange(TPngImage& image, int hue, int saturation, int lightness);

// Turned by the angle (radians) about (cx, cy) with bilinear interpolation;
// the size stays, pixels that come from outside become black and transparent.
TPngImage Rotate(const TPngImage& image, double angle, double cx, double cy);

// Resampled to width x height: interpolated when neither axis shrinks,
// averaged otherwise. The sizes are checked as for BlankImage.
TPngImage Scale(const TPngImage& image, int width, int height);

}  // namespace qv
