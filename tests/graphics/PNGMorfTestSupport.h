// Small pictures, archives and folders for the installer, picture-script and
// packer tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "foundation/FileFolder.h"
#include "foundation/MemoryStream.h"
#include "graphics/PictureCodec.h"

namespace qv::test {

struct Bgra {
  uint8_t B = 0, G = 0, R = 0, A = 255;
};

// A picture whose pixel (x, y) is fill(x, y); alpha rows only when withAlpha.
inline TPngImage MakeImage(int w, int h, const std::function<Bgra(int, int)>& fill, bool withAlpha) {
  TPngImage img;
  img.Resize(w, h);
  img.ColorType = withAlpha ? kPngRGBAlpha : kPngRGB;
  if (withAlpha) img.Alpha.assign(size_t(w) * size_t(h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Bgra p = fill(x, y);
      uint8_t* px = img.Row(y) + x * 3;
      px[0] = p.B;
      px[1] = p.G;
      px[2] = p.R;
      if (withAlpha) img.AlphaRow(y)[x] = p.A;
    }
  return img;
}

inline Bgra PixelAt(const TPngImage& img, int x, int y) {
  const uint8_t* px = img.Row(y) + x * 3;
  return Bgra{px[0], px[1], px[2], img.HasAlpha() ? img.AlphaRow(y)[x] : uint8_t(255)};
}

inline TMemoryStream ToStream(const std::vector<uint8_t>& bytes) { return TMemoryStream(bytes); }
inline TMemoryStream PngStream(const TPngImage& img) { return TMemoryStream(EncodePNG(img)); }
inline TMemoryStream TextStream(const std::string& text) {
  return TMemoryStream(std::vector<uint8_t>(text.begin(), text.end()));
}

// Colour and alpha of both pictures agree within the tolerance.
inline ::testing::AssertionResult SameImage(const TPngImage& a, const TPngImage& b, int tolerance = 0,
                                            bool compareAlpha = true) {
  if (a.Width != b.Width || a.Height != b.Height)
    return ::testing::AssertionFailure() << "size " << a.Width << "x" << a.Height << " vs " << b.Width << "x"
                                         << b.Height;
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x) {
      Bgra p = PixelAt(a, x, y), q = PixelAt(b, x, y);
      int d[4] = {p.B - q.B, p.G - q.G, p.R - q.R, compareAlpha ? p.A - q.A : 0};
      for (int c = 0; c < 4; ++c)
        if (std::abs(d[c]) > tolerance)
          return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") channel " << c << ": "
                                               << int(c == 0 ? p.B : c == 1 ? p.G : c == 2 ? p.R : p.A) << " vs "
                                               << int(c == 0 ? q.B : c == 1 ? q.G : c == 2 ? q.R : q.A);
    }
  return ::testing::AssertionSuccess();
}

// A fresh folder below the system's temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("quorvane-inst-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

struct Entry {
  std::string Name;
  uint16_t Kind = 0;
  TMemoryStream Data;
};

// Writes an archive holding the entries in order.
inline void WriteArchive(const std::filesystem::path& file, const std::vector<Entry>& entries) {
  auto folder = TFileFolder::CreateNew(file);
  for (const Entry& e : entries) folder->AddFile(e.Name, e.Kind, e.Data);
  folder->Save();
}

inline std::vector<std::string> EntryNames(const TFileFolder& folder) {
  std::vector<std::string> names;
  for (const TDirEntry& e : folder.Dir) names.push_back(e.GetName());
  return names;
}

inline TPngImage DecodeEntry(TFileFolder& folder, const std::string& name) {
  TMemoryStream* s = folder.GetStream(name);
  EXPECT_NE(s, nullptr) << name;
  return s ? DecodePNG(*s) : TPngImage{};
}

}  // namespace qv::test
