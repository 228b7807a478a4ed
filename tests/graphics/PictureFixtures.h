// Test pictures made on the spot with libpng and libjpeg, so every colour
// type, bit depth, interlace and JPEG process is covered without binaries.
#pragma once

#include <cstdint>
#include <vector>

namespace qv::test {

struct PngRecipe {
  int Width = 1;
  int Height = 1;
  int ColorType = 2;  // as stored in the header
  int BitDepth = 8;
  bool Interlaced = false;
  // Samples row by row, one int per sample (channels interleaved), each in
  // the range of the bit depth; packed by the writer.
  std::vector<int> Samples;
  std::vector<uint8_t> Palette;  // r, g, b triples
  std::vector<uint8_t> TrnsAlpha;  // palette alpha entries
  int TrnsGrey = -1;               // grey key, or red of an RGB key
  int TrnsGreen = 0, TrnsBlue = 0;
};

std::vector<uint8_t> MakePng(const PngRecipe& recipe);

// Height rows of Width x 3 bytes, blue, green, red.
std::vector<uint8_t> MakeJpeg(int width, int height, const std::vector<uint8_t>& bgr, int quality, bool progressive,
                              bool grey = false);

}  // namespace qv::test
