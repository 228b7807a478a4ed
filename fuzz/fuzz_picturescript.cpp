// Picture scripts against a small archive: the input is the script text,
// optionally followed by a NUL byte and the bytes of the picture "Src.png"
// (a built-in 4 x 3 picture with alpha otherwise).
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>
#include <vector>

#include "foundation/FileFolder.h"
#include "graphics/PictureCodec.h"
#include "graphics/PictureScript.h"

namespace {

const std::vector<uint8_t>& BuiltInPicture() {
  static const std::vector<uint8_t> bytes = [] {
    qv::TPngImage img;
    img.Resize(4, 3);
    img.ColorType = qv::kPngRGBAlpha;
    img.Alpha.resize(12);
    for (size_t i = 0; i < img.Pixels.size(); ++i) img.Pixels[i] = uint8_t(i * 23);
    for (size_t i = 0; i < img.Alpha.size(); ++i) img.Alpha[i] = uint8_t(i * 40);
    return qv::EncodePNG(img);
  }();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  std::string_view script = input.substr(0, nul);
  std::vector<uint8_t> picture = nul == std::string_view::npos
                                     ? BuiltInPicture()
                                     : std::vector<uint8_t>(data + nul + 1, data + size);
  try {
    auto archive = qv::TFileFolder::CreateNew("fuzz.zxc");
    archive->AddFile("Src.png", qv::kPictureKind, qv::TMemoryStream(picture));
    qv::TPictureScript(*archive).Run(script);
  } catch (const std::exception&) {
  }
  return 0;
}
