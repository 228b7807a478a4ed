#include "platform/HeadlessDisplay.h"

#include <png.h>

#include <bit>
#include <cstring>

namespace qv {

bool THeadlessDisplay::Open(const TDisplayMode& mode, std::string& errorText) {
  errorText.clear();
  shown_ = false;
  return SetUp(mode, desktop_, errorText);
}

void THeadlessDisplay::Close() {
  TearDown();
  shown_ = false;
}

void THeadlessDisplay::Commit(const std::vector<TDisplayRect>& changed) {
  if (!primary_) return;
  ++commitCount_;
  // A program that runs for hours commits every pass: only the latest are kept.
  if (commits_.size() == kKeptCommits) commits_.erase(commits_.begin(), commits_.begin() + kKeptCommits / 2);
  commits_.push_back(changed);
  shown_ = true;
}

bool THeadlessDisplay::WriteShownPNG(const std::filesystem::path& path) const {
  return LastFrame() && WriteSurfacePNG(*LastFrame(), path);
}

namespace {

// A channel of a packed pixel widened to 8 bits.
uint8_t Widen(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  uint32_t v = (pixel & mask) >> shift;
  if (bits >= 8) return uint8_t(v >> (bits - 8));
  return uint8_t((v << (8 - bits)) | (v >> (2 * bits - 8 > 0 ? 2 * bits - 8 : 0)));
}

}  // namespace

bool WriteSurfacePNG(const TDisplaySurface& surface, const std::filesystem::path& path) {
  const TPixelFormat& f = surface.Format();
  const int w = surface.Width(), h = surface.Height();
  std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = surface.Row(y);
    for (int x = 0; x < w; ++x) {
      uint32_t pixel = 0;
      if (f.BitCount == 16) {
        uint16_t p16;
        std::memcpy(&p16, row + x * 2, 2);
        pixel = p16;
      } else {
        std::memcpy(&pixel, row + x * 4, 4);
      }
      uint8_t* out = rgb.data() + (size_t(y) * size_t(w) + size_t(x)) * 3;
      out[0] = Widen(pixel, f.RMask);
      out[1] = Widen(pixel, f.GMask);
      out[2] = Widen(pixel, f.BMask);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(w);
  image.height = png_uint_32(h);
  image.format = PNG_FORMAT_RGB;
  const std::string file = path.string();
  const bool ok = png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace qv
