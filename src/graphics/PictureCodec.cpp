#include "graphics/PictureCodec.h"

#include <png.h>
// jpeglib.h needs size_t and FILE declared first.
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <exception>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace qv {

void TBitmap24::Resize(int width, int height) {
  Width = width;
  Height = height;
  Pixels.assign(size_t(width) * size_t(height) * 3, 0);
}

namespace {

void CheckPictureSize(const char* kind, uint64_t width, uint64_t height) {
  if (width == 0 || height == 0)
    throw EPictureError(std::string(kind) + " picture has no pixels");
  if (width > uint64_t(kMaxPictureSide) || height > uint64_t(kMaxPictureSide) ||
      width * height > uint64_t(kMaxPicturePixels))
    throw EPictureError(std::string(kind) + " picture is too large (" + std::to_string(width) + " x " +
                        std::to_string(height) + ")");
}

// ---------------------------------------------------------------- PNG reading

// libpng reports errors by longjmp; the message is kept here and turned into
// an exception once the guarded function has returned.
struct PngContext {
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  size_t Pos = 0;
  std::vector<uint8_t>* Out = nullptr;
  char Message[256] = {};
};

void PngOnError(png_structp png, png_const_charp message) {
  auto* ctx = static_cast<PngContext*>(png_get_error_ptr(png));
  std::snprintf(ctx->Message, sizeof ctx->Message, "%s", message ? message : "unknown error");
  png_longjmp(png, 1);
}

void PngOnWarning(png_structp, png_const_charp) {}

void PngOnRead(png_structp png, png_bytep out, size_t count) {
  auto* ctx = static_cast<PngContext*>(png_get_io_ptr(png));
  if (count > ctx->Size - ctx->Pos) png_error(png, "unexpected end of data");
  std::memcpy(out, ctx->Data + ctx->Pos, count);
  ctx->Pos += count;
}

class PngReadHandle {
 public:
  explicit PngReadHandle(PngContext& ctx) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &ctx, PngOnError, PngOnWarning);
    if (png_) info_ = png_create_info_struct(png_);
    if (!png_ || !info_) throw EPictureError("PNG decoder could not start");
#ifdef QUORVANE_FUZZING
    // Fuzzing only: mutated chunks would nearly all stop at their checksums
    // before reaching the decoder. Shipped builds keep checking them.
    png_set_crc_action(png_, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png_, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
  }
  ~PngReadHandle() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
  PngReadHandle(const PngReadHandle&) = delete;
  PngReadHandle& operator=(const PngReadHandle&) = delete;
  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

struct PngHeader {
  png_uint_32 Width = 0;
  png_uint_32 Height = 0;
  int BitDepth = 0;
  int ColorType = 0;
  int Interlace = 0;
  bool Trns = false;
  png_bytep TransAlpha = nullptr;  // palette pictures: alpha of the first NumTrans entries
  int NumTrans = 0;
  png_color_16p TransColor = nullptr;  // grey and colour pictures: the transparent colour
  size_t RowBytes = 0;
  png_colorp Palette = nullptr;
  int PaletteSize = 0;
};

bool PngReadHeaderGuarded(png_structp png, png_infop info, PngHeader& h) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(png, info);
  png_get_IHDR(png, info, &h.Width, &h.Height, &h.BitDepth, &h.ColorType, &h.Interlace, nullptr, nullptr);
  h.Trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (h.Trns) png_get_tRNS(png, info, &h.TransAlpha, &h.NumTrans, &h.TransColor);
  if (h.ColorType == PNG_COLOR_TYPE_PALETTE) png_get_PLTE(png, info, &h.Palette, &h.PaletteSize);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  h.RowBytes = png_get_rowbytes(png, info);
  return true;
}

bool PngReadRowsGuarded(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

// One sample of a row, widened to 8 bits (16-bit samples keep the high byte).
inline unsigned Sample8(const uint8_t* row, size_t index, int depth) {
  switch (depth) {
    case 16: return row[index * 2];
    case 8: return row[index];
    default: {
      const size_t bit = index * size_t(depth);
      const unsigned max = (1u << depth) - 1;
      const unsigned v = (row[bit / 8] >> (8 - depth - int(bit % 8))) & max;
      return v * 255 / max;
    }
  }
}

// One sample of a row at its stored depth.
inline unsigned RawSample(const uint8_t* row, size_t index, int depth) {
  if (depth == 16) return unsigned(row[index * 2]) << 8 | row[index * 2 + 1];
  if (depth == 8) return row[index];
  const size_t bit = index * size_t(depth);
  return (row[bit / 8] >> (8 - depth - int(bit % 8))) & ((1u << depth) - 1);
}

inline unsigned PaletteIndex(const uint8_t* row, size_t index, int depth) {
  if (depth == 8) return row[index];
  const size_t bit = index * size_t(depth);
  return (row[bit / 8] >> (8 - depth - int(bit % 8))) & ((1u << depth) - 1);
}

// One stored row (src) into row y of the picture.
void ConvertPngRow(const PngHeader& h, const uint8_t* src, TPngImage& img, int y) {
  const int w = img.Width;
  const int depth = h.BitDepth;
  uint8_t* dst = img.Row(y);
  uint8_t* alpha = img.HasAlpha() ? img.AlphaRow(y) : nullptr;
  for (int x = 0; x < w; ++x) {
    unsigned r = 0, g = 0, b = 0;
    switch (h.ColorType) {
      case PNG_COLOR_TYPE_GRAY:
        r = g = b = Sample8(src, size_t(x), depth);
        break;
      case PNG_COLOR_TYPE_GRAY_ALPHA:
        r = g = b = Sample8(src, size_t(x) * 2, depth);
        alpha[x] = uint8_t(Sample8(src, size_t(x) * 2 + 1, depth));
        break;
      case PNG_COLOR_TYPE_RGB:
        r = Sample8(src, size_t(x) * 3, depth);
        g = Sample8(src, size_t(x) * 3 + 1, depth);
        b = Sample8(src, size_t(x) * 3 + 2, depth);
        break;
      case PNG_COLOR_TYPE_RGB_ALPHA:
        r = Sample8(src, size_t(x) * 4, depth);
        g = Sample8(src, size_t(x) * 4 + 1, depth);
        b = Sample8(src, size_t(x) * 4 + 2, depth);
        alpha[x] = uint8_t(Sample8(src, size_t(x) * 4 + 3, depth));
        break;
      case PNG_COLOR_TYPE_PALETTE: {
        const unsigned i = PaletteIndex(src, size_t(x), depth);
        if (int(i) >= h.PaletteSize)
          throw EPictureError("PNG palette index " + std::to_string(i) + " out of range (" +
                              std::to_string(h.PaletteSize) + " colours)");
        r = h.Palette[i].red;
        g = h.Palette[i].green;
        b = h.Palette[i].blue;
        break;
      }
    }
    dst[x * 3] = uint8_t(b);
    dst[x * 3 + 1] = uint8_t(g);
    dst[x * 3 + 2] = uint8_t(r);
  }
}

void ConvertPngRows(const PngHeader& h, const std::vector<uint8_t>& raw, TPngImage& img) {
  for (int y = 0; y < img.Height; ++y) ConvertPngRow(h, raw.data() + size_t(y) * h.RowBytes, img, y);
}

// Reads a picture without interlace a row at a time, converting each as it
// comes, so that the stored rows of a whole picture are never held beside
// the converted ones. A conversion error is kept until the reading is over,
// so that a damaged stream is reported first, as when all rows are read
// before any is converted.
bool PngReadConvertGuarded(png_structp png, const PngHeader& h, TPngImage& img, uint8_t* row,
                           std::exception_ptr& convertError) {
  if (setjmp(png_jmpbuf(png))) return false;
  for (int y = 0; y < img.Height; ++y) {
    png_read_row(png, row, nullptr);
    if (convertError) continue;
    try {
      ConvertPngRow(h, row, img, y);
    } catch (...) {
      convertError = std::current_exception();
    }
  }
  png_read_end(png, nullptr);
  return true;
}

// Alpha from the tRNS chunk: palette entries carry their own alpha, grey and
// colour pictures are transparent exactly where a pixel has the stored colour.
void TransparencyToAlpha(const PngHeader& h, const std::vector<uint8_t>& raw, TPngImage& img) {
  const int depth = h.BitDepth;
  img.Alpha.assign(size_t(img.Width) * size_t(img.Height), 255);
  for (int y = 0; y < img.Height; ++y) {
    const uint8_t* src = raw.data() + size_t(y) * h.RowBytes;
    uint8_t* alpha = img.AlphaRow(y);
    for (int x = 0; x < img.Width; ++x) {
      switch (h.ColorType) {
        case PNG_COLOR_TYPE_PALETTE: {
          const unsigned i = PaletteIndex(src, size_t(x), depth);
          if (h.TransAlpha && int(i) < h.NumTrans) alpha[x] = h.TransAlpha[i];
          break;
        }
        case PNG_COLOR_TYPE_GRAY:
          if (h.TransColor && RawSample(src, size_t(x), depth) == h.TransColor->gray) alpha[x] = 0;
          break;
        case PNG_COLOR_TYPE_RGB:
          if (h.TransColor && RawSample(src, size_t(x) * 3, depth) == h.TransColor->red &&
              RawSample(src, size_t(x) * 3 + 1, depth) == h.TransColor->green &&
              RawSample(src, size_t(x) * 3 + 2, depth) == h.TransColor->blue)
            alpha[x] = 0;
          break;
        default:
          break;
      }
    }
  }
  img.ColorType = kPngRGBAlpha;
}

// ---------------------------------------------------------------- PNG writing

void PngOnWrite(png_structp png, png_bytep data, size_t count) {
  auto* ctx = static_cast<PngContext*>(png_get_io_ptr(png));
  try {
    ctx->Out->insert(ctx->Out->end(), data, data + count);
  } catch (const std::bad_alloc&) {
    png_error(png, "out of memory");
  }
}

void PngOnFlush(png_structp) {}

class PngWriteHandle {
 public:
  explicit PngWriteHandle(PngContext& ctx) {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, &ctx, PngOnError, PngOnWarning);
    if (png_) info_ = png_create_info_struct(png_);
    if (!png_ || !info_) throw EPictureError("PNG encoder could not start");
  }
  ~PngWriteHandle() { png_destroy_write_struct(&png_, info_ ? &info_ : nullptr); }
  PngWriteHandle(const PngWriteHandle&) = delete;
  PngWriteHandle& operator=(const PngWriteHandle&) = delete;
  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

bool PngWriteGuarded(png_structp png, png_infop info, PngContext& ctx, png_uint_32 width, png_uint_32 height,
                     int colorType, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &ctx, PngOnWrite, PngOnFlush);
  png_set_IHDR(png, info, width, height, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

std::vector<uint8_t> WritePng(int width, int height, int colorType, int channels, std::vector<uint8_t>& packed) {
  std::vector<uint8_t> out;
  PngContext ctx;
  ctx.Out = &out;
  PngWriteHandle handle(ctx);
  std::vector<png_bytep> rows(static_cast<size_t>(height), nullptr);
  for (int y = 0; y < height; ++y) rows[size_t(y)] = packed.data() + size_t(y) * size_t(width) * size_t(channels);
  if (!PngWriteGuarded(handle.Png(), handle.Info(), ctx, png_uint_32(width), png_uint_32(height), colorType,
                       rows.data()))
    throw EPictureError(std::string("PNG encoding failed: ") + ctx.Message);
  return out;
}

// ---------------------------------------------------------------- JPEG

struct JpegError {
  jpeg_error_mgr Manager;
  jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = {};
};

void JpegOnError(j_common_ptr info) {
  auto* err = reinterpret_cast<JpegError*>(info->err);
  (*info->err->format_message)(info, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings pass, except the one for data that ends early: a truncated
// picture must not load as a half grey one.
void JpegOnMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) (*info->err->error_exit)(info);
}

// Hostile progressive files can hold thousands of tiny scans; no real
// picture needs more than a few dozen.
void JpegOnProgress(j_common_ptr info) {
  if (info->is_decompressor) {
    auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > 256) {
      auto* err = reinterpret_cast<JpegError*>(info->err);
      std::snprintf(err->Message, sizeof err->Message, "too many scans");
      std::longjmp(err->Jump, 1);
    }
  }
}

struct JpegDecoder {
  jpeg_decompress_struct Info{};
  JpegError Error{};
  jpeg_progress_mgr Progress{};
  bool Created = false;
  ~JpegDecoder() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
};

bool JpegStartGuarded(JpegDecoder& d, const uint8_t* data, size_t size) {
  if (setjmp(d.Error.Jump)) return false;
  jpeg_create_decompress(&d.Info);
  d.Created = true;
  d.Info.progress = &d.Progress;
  jpeg_mem_src(&d.Info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d.Info, TRUE);
  d.Info.out_color_space = JCS_EXT_BGR;
  jpeg_calc_output_dimensions(&d.Info);
  return true;
}

// Keeps rows [first, first + count) in pixels; the others pass through one
// scratch row, so the whole stream is still read and checked.
bool JpegReadGuarded(JpegDecoder& d, uint8_t* pixels, size_t stride, JDIMENSION first, JDIMENSION count,
                     uint8_t* scratch) {
  if (setjmp(d.Error.Jump)) return false;
  jpeg_start_decompress(&d.Info);
  while (d.Info.output_scanline < d.Info.output_height) {
    const JDIMENSION y = d.Info.output_scanline;
    JSAMPROW row = y >= first && y - first < count ? pixels + size_t(y - first) * stride : scratch;
    if (jpeg_read_scanlines(&d.Info, &row, 1) != 1) return false;
  }
  jpeg_finish_decompress(&d.Info);
  return true;
}

struct JpegEncoder {
  jpeg_compress_struct Info{};
  JpegError Error{};
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  bool Created = false;
  ~JpegEncoder() {
    if (Created) jpeg_destroy_compress(&Info);
    std::free(Buffer);
  }
};

bool JpegWriteGuarded(JpegEncoder& e, const TBitmap24& image, int quality) {
  if (setjmp(e.Error.Jump)) return false;
  jpeg_create_compress(&e.Info);
  e.Created = true;
  jpeg_mem_dest(&e.Info, &e.Buffer, &e.Size);
  e.Info.image_width = JDIMENSION(image.Width);
  e.Info.image_height = JDIMENSION(image.Height);
  e.Info.input_components = 3;
  e.Info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&e.Info);
  jpeg_set_quality(&e.Info, quality, TRUE);
  jpeg_start_compress(&e.Info, TRUE);
  while (e.Info.next_scanline < e.Info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(image.Row(int(e.Info.next_scanline)));
    jpeg_write_scanlines(&e.Info, &row, 1);
  }
  jpeg_finish_compress(&e.Info);
  return true;
}

}  // namespace

TPngImage DecodePNG(const uint8_t* data, size_t size, TPngTransparency transparency) {
  TPngImage img;
  img.Width = img.Height = 0;
  if (size == 0) return img;
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) throw EPictureError("not a PNG picture");
  PngContext ctx;
  ctx.Data = data;
  ctx.Size = size;
  PngReadHandle handle(ctx);
  png_set_read_fn(handle.Png(), &ctx, PngOnRead);
  PngHeader h;
  if (!PngReadHeaderGuarded(handle.Png(), handle.Info(), h))
    throw EPictureError(std::string("damaged PNG picture: ") + ctx.Message);
  CheckPictureSize("PNG", h.Width, h.Height);
  const bool keepsStoredRows = transparency == TPngTransparency::ToAlpha && h.Trns &&
                               h.ColorType != PNG_COLOR_TYPE_GRAY_ALPHA && h.ColorType != PNG_COLOR_TYPE_RGB_ALPHA;
  if (h.Interlace == PNG_INTERLACE_NONE && !keepsStoredRows) {
    img.Resize(int(h.Width), int(h.Height));
    img.ColorType = uint8_t(h.ColorType);
    img.BitDepth = uint8_t(h.BitDepth);
    img.HasTransparency = h.Trns;
    if (h.ColorType == PNG_COLOR_TYPE_GRAY_ALPHA || h.ColorType == PNG_COLOR_TYPE_RGB_ALPHA)
      img.Alpha.assign(size_t(h.Width) * h.Height, 0);
    std::vector<uint8_t> row(h.RowBytes);
    std::exception_ptr convertError;
    if (!PngReadConvertGuarded(handle.Png(), h, img, row.data(), convertError))
      throw EPictureError(std::string("damaged PNG picture: ") + ctx.Message);
    if (convertError) std::rethrow_exception(convertError);
    return img;
  }
  std::vector<uint8_t> raw(h.RowBytes * h.Height);
  std::vector<png_bytep> rows(h.Height);
  for (png_uint_32 y = 0; y < h.Height; ++y) rows[y] = raw.data() + size_t(y) * h.RowBytes;
  if (!PngReadRowsGuarded(handle.Png(), rows.data()))
    throw EPictureError(std::string("damaged PNG picture: ") + ctx.Message);

  img.Resize(int(h.Width), int(h.Height));
  img.ColorType = uint8_t(h.ColorType);
  img.BitDepth = uint8_t(h.BitDepth);
  img.Interlaced = h.Interlace != PNG_INTERLACE_NONE;
  img.HasTransparency = h.Trns;
  if (h.ColorType == PNG_COLOR_TYPE_GRAY_ALPHA || h.ColorType == PNG_COLOR_TYPE_RGB_ALPHA)
    img.Alpha.assign(size_t(h.Width) * h.Height, 0);
  ConvertPngRows(h, raw, img);
  if (transparency == TPngTransparency::ToAlpha && h.Trns && !img.HasAlpha()) TransparencyToAlpha(h, raw, img);
  return img;
}

TPngImage DecodePNG(const TMemoryStream& stream, TPngTransparency transparency) {
  return DecodePNG(stream.Memory(), size_t(stream.Size()), transparency);
}

std::vector<uint8_t> EncodePNG(const TPngImage& image) {
  if (image.Empty()) throw EPictureError("PNG encoding of an empty picture");
  const bool alpha = image.HasAlpha();
  const int channels = alpha ? 4 : 3;
  std::vector<uint8_t> packed(size_t(image.Width) * size_t(image.Height) * size_t(channels));
  for (int y = 0; y < image.Height; ++y) {
    const uint8_t* src = image.Row(y);
    uint8_t* dst = packed.data() + size_t(y) * size_t(image.Width) * size_t(channels);
    for (int x = 0; x < image.Width; ++x, dst += channels) {
      dst[0] = src[x * 3 + 2];
      dst[1] = src[x * 3 + 1];
      dst[2] = src[x * 3];
      if (alpha) dst[3] = image.AlphaRow(y)[x];
    }
  }
  return WritePng(image.Width, image.Height, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, channels,
                  packed);
}

std::vector<uint8_t> EncodeGreyPNG(int width, int height, const uint8_t* grey) {
  if (width <= 0 || height <= 0) throw EPictureError("PNG encoding of an empty picture");
  std::vector<uint8_t> packed(grey, grey + size_t(width) * size_t(height));
  return WritePng(width, height, PNG_COLOR_TYPE_GRAY, 1, packed);
}

TBitmap24 DecodeJPEG(const uint8_t* data, size_t size) { return DecodeJPEGRows(data, size, 0, INT32_MAX); }

TBitmap24 DecodeJPEGRows(const uint8_t* data, size_t size, int32_t firstRow, int32_t rowCount) {
  if (size == 0) throw EPictureError("empty JPEG picture");
  JpegDecoder d;
  d.Info.err = jpeg_std_error(&d.Error.Manager);
  d.Error.Manager.error_exit = JpegOnError;
  d.Error.Manager.emit_message = JpegOnMessage;
  d.Progress.progress_monitor = JpegOnProgress;
  if (!JpegStartGuarded(d, data, size)) throw EPictureError(std::string("damaged JPEG picture: ") + d.Error.Message);
  CheckPictureSize("JPEG", d.Info.output_width, d.Info.output_height);
  if (d.Info.output_components != 3) throw EPictureError("JPEG picture with unsupported colour layout");
  const int64_t height = d.Info.output_height;
  const int64_t first = std::clamp<int64_t>(firstRow, 0, height);
  const int64_t last = std::clamp<int64_t>(int64_t{firstRow} + std::max(rowCount, 0), first, height);
  TBitmap24 img;
  img.Resize(int(d.Info.output_width), int(last - first));
  std::vector<uint8_t> scratch(size_t(img.Width) * 3);
  if (!JpegReadGuarded(d, img.Pixels.data(), size_t(img.Width) * 3, JDIMENSION(first), JDIMENSION(last - first),
                       scratch.data())) {
    if (d.Error.Message[0] == 0) std::snprintf(d.Error.Message, sizeof d.Error.Message, "unexpected end of data");
    throw EPictureError(std::string("damaged JPEG picture: ") + d.Error.Message);
  }
  return img;
}

TBitmap24 DecodeJPEG(const TMemoryStream& stream) { return DecodeJPEG(stream.Memory(), size_t(stream.Size())); }

std::vector<uint8_t> EncodeJPEG(const TBitmap24& image, int quality) {
  if (image.Empty()) throw EPictureError("JPEG encoding of an empty picture");
  JpegEncoder e;
  e.Info.err = jpeg_std_error(&e.Error.Manager);
  e.Error.Manager.error_exit = JpegOnError;
  if (!JpegWriteGuarded(e, image, std::clamp(quality, 0, 100)))
    throw EPictureError(std::string("JPEG encoding failed: ") + e.Error.Message);
  return std::vector<uint8_t>(e.Buffer, e.Buffer + e.Size);
}

}  // namespace qv
