#include "graphics/JpegPNG.h"

#include <exception>
#include <vector>

#include "graphics/PictureCodec.h"

namespace qv {

namespace {

void Store(TMemoryStream& out, const std::vector<uint8_t>& bytes) {
  out.Clear();
  out.Write(bytes.data(), bytes.size());
  out.SetPosition(0);
}

// Runs a conversion; any failure leaves the outputs empty and gives false.
template <typename F>
bool Guarded(F&& convert, TMemoryStream& out1, TMemoryStream* out2 = nullptr) {
  try {
    if (convert()) return true;
  } catch (const std::exception&) {
  }
  out1.Clear();
  if (out2) out2->Clear();
  return false;
}

}  // namespace

bool PNGToJPEG(const TMemoryStream& png, uint8_t quality, TMemoryStream& jpeg) {
  return Guarded(
      [&] {
        TPngImage image = DecodePNG(png);
        if (image.Empty()) return false;
        Store(jpeg, EncodeJPEG(image, quality == 255 ? kDefaultJpegQuality : quality));
        return true;
      },
      jpeg);
}

bool JPEGToPNG(const TMemoryStream& jpeg, TMemoryStream& png) {
  return Guarded(
      [&] {
        TPngImage image;
        static_cast<TBitmap24&>(image) = DecodeJPEG(jpeg);
        image.ColorType = kPngRGB;
        Store(png, EncodePNG(image));
        return true;
      },
      png);
}

bool PNGAlphaToMask(const TMemoryStream& png, TMemoryStream& mask) {
  return Guarded(
      [&] {
        TPngImage image = DecodePNG(png);
        if (image.Empty()) return false;
        std::vector<uint8_t> grey = image.HasAlpha() ? image.Alpha
                                                     : std::vector<uint8_t>(image.Pixels.size() / 3, 255);
        Store(mask, EncodeGreyPNG(image.Width, image.Height, grey.data()));
        return true;
      },
      mask);
}

bool MergeAlphaMask(const TMemoryStream& png, const TMemoryStream& mask, TMemoryStream& result) {
  return Guarded(
      [&] {
        TPngImage image = DecodePNG(png);
        TPngImage grey = DecodePNG(mask);
        if (image.Empty() || grey.Width != image.Width || grey.Height != image.Height) return false;
        // A grey mask decodes to equal blue, green and red; its grey value is
        // the first of them.
        image.Alpha.resize(size_t(image.Width) * size_t(image.Height));
        for (size_t i = 0; i < image.Alpha.size(); ++i) image.Alpha[i] = grey.Pixels[i * 3];
        image.ColorType = kPngRGBAlpha;
        Store(result, EncodePNG(image));
        return true;
      },
      result);
}

bool SplitPNG(const TMemoryStream& png, uint8_t quality, TMemoryStream& jpeg, TMemoryStream& mask) {
  if (!PNGToJPEG(png, quality, jpeg)) {
    mask.Clear();
    return false;
  }
  if (!PNGAlphaToMask(png, mask)) {
    jpeg.Clear();
    return false;
  }
  return true;
}

}  // namespace qv
