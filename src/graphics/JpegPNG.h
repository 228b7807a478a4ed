// Stream conversions between the shipped form of pictures (a colour JPEG
// plus a grey PNG mask holding the alpha) and full PNG pictures. Each reads
// the whole content of its input streams, replaces the content of its output
// streams, and returns false instead of raising when the input does not
// convert (the output is then empty).
#pragma once

#include <cstdint>

#include "foundation/MemoryStream.h"

namespace qv {

// The JPEG quality that 255 stands for.
inline constexpr int kDefaultJpegQuality = 90;

// The PNG's colour (alpha ignored) as a JPEG at the quality (255 means 90).
bool PNGToJPEG(const TMemoryStream& png, uint8_t quality, TMemoryStream& jpeg);
// The JPEG as a PNG without alpha.
bool JPEGToPNG(const TMemoryStream& jpeg, TMemoryStream& png);
// A grey PNG of the same size whose values are the picture's alpha; a
// picture without alpha gives an all-opaque mask.
bool PNGAlphaToMask(const TMemoryStream& png, TMemoryStream& mask);
// The colour PNG with an alpha channel taken from the mask's grey values.
// Fails when the mask's size differs from the picture's.
bool MergeAlphaMask(const TMemoryStream& png, const TMemoryStream& mask, TMemoryStream& result);
// PNGToJPEG and then PNGAlphaToMask; true only when both succeed.
bool SplitPNG(const TMemoryStream& png, uint8_t quality, TMemoryStream& jpeg, TMemoryStream& mask);

}  // namespace qv
