#include "graphics/PictureFixtures.h"

#include <png.h>
#include <cstdio>
#include <jpeglib.h>

#include <cstdlib>
#include <stdexcept>

namespace qv::test {

namespace {

int Channels(int colorType) {
  switch (colorType) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    default: return 4;
  }
}

void Append(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void Flush(png_structp) {}

}  // namespace

std::vector<uint8_t> MakePng(const PngRecipe& s) {
  std::vector<uint8_t> out;
  const int ch = Channels(s.ColorType);
  const size_t rowBytes = (size_t(s.Width) * ch * s.BitDepth + 7) / 8;
  std::vector<std::vector<uint8_t>> rows(size_t(s.Height), std::vector<uint8_t>(rowBytes, 0));
  size_t k = 0;
  for (int y = 0; y < s.Height; ++y) {
    for (int i = 0; i < s.Width * ch; ++i, ++k) {
      const int v = s.Samples.at(k);
      auto& row = rows[size_t(y)];
      if (s.BitDepth == 16) {
        row[size_t(i) * 2] = uint8_t(v >> 8);
        row[size_t(i) * 2 + 1] = uint8_t(v);
      } else if (s.BitDepth == 8) {
        row[size_t(i)] = uint8_t(v);
      } else {
        const size_t bit = size_t(i) * size_t(s.BitDepth);
        row[bit / 8] |= uint8_t(v << (8 - s.BitDepth - int(bit % 8)));
      }
    }
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("test PNG writer failed");
  }
  png_set_write_fn(png, &out, Append, Flush);
  png_set_check_for_invalid_index(png, 0);
  png_set_IHDR(png, info, png_uint_32(s.Width), png_uint_32(s.Height), s.BitDepth, s.ColorType,
               s.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (size_t i = 0; i + 2 < s.Palette.size(); i += 3)
    palette.push_back(png_color{s.Palette[i], s.Palette[i + 1], s.Palette[i + 2]});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  png_color_16 key{};
  if (!s.TrnsAlpha.empty()) {
    png_set_tRNS(png, info, s.TrnsAlpha.data(), int(s.TrnsAlpha.size()), nullptr);
  } else if (s.TrnsGrey >= 0) {
    key.gray = png_uint_16(s.TrnsGrey);
    key.red = png_uint_16(s.TrnsGrey);
    key.green = png_uint_16(s.TrnsGreen);
    key.blue = png_uint_16(s.TrnsBlue);
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  std::vector<png_bytep> pointers;
  for (auto& r : rows) pointers.push_back(r.data());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> MakeJpeg(int width, int height, const std::vector<uint8_t>& bgr, int quality, bool progressive,
                              bool grey) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = grey ? 1 : 3;
  c.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(size_t(width) * 3);
  while (c.next_scanline < c.image_height) {
    const uint8_t* src = bgr.data() + size_t(c.next_scanline) * size_t(width) * 3;
    if (grey) {
      for (int x = 0; x < width; ++x) row[size_t(x)] = src[x * 3];
    } else {
      row.assign(src, src + size_t(width) * 3);
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&c, &p, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

}  // namespace qv::test
