#include "graphics/SurfEngine.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

// Position of the lowest set bit among the first `bits` bits; 0 for none.
int32_t LowestBit(uint32_t mask, int bits) {
  for (int i = 0; i < bits; ++i)
    if (mask & (1u << i)) return i;
  return 0;
}

std::string LastThreeLower(std::string_view name) {
  return LowerAscii(name.size() >= 3 ? name.substr(name.size() - 3) : name);
}

// A picture file by its path, or, when no file has exactly that name, the
// one whose name differs only in letter case.
std::optional<std::filesystem::path> FindPictureFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) return path;
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  return FindFileNoCase(folder, path.filename().string());
}

}  // namespace

bool EndsWithPng(std::string_view fileName) { return LastThreeLower(fileName) == "png"; }
bool EndsWithJpg(std::string_view fileName) { return LastThreeLower(fileName) == "jpg"; }

TSurfEngine::~TSurfEngine() { Destroy(); }

void TSurfEngine::Create(TDisplay* display, std::shared_ptr<TDisplaySurface> screenSurface, int32_t width,
                         int32_t height) {
  DirectDraw = display;
  ScreenSurface = std::move(screenSurface);
  Width = width;
  Height = height;
  ClipList.clear();
  ClipListFetched = false;
  if (display) {
    FullScreen = display->FullScreen();
    Clipper = display->Clipper();
    ClientX = display->ClientX();
    ClientY = display->ClientY();
  }
  // Without a screen surface there is no format to read; the engine keeps
  // the 32-bit one so that it stays usable.
  PixelFormat = ScreenSurface ? ScreenSurface->Format() : kFormatXRGB8888;
  const int bits = PixelFormat.BitCount == 16 ? 16 : 32;
  RShift = LowestBit(PixelFormat.RMask, bits);
  GShift = LowestBit(PixelFormat.GMask, bits);
  BShift = LowestBit(PixelFormat.BMask, bits);
  if (PixelFormat.BitCount == 16) {
    RBits = uint8_t(std::popcount(PixelFormat.RMask & 0xFFFFu));
    GBits = uint8_t(std::popcount(PixelFormat.GMask & 0xFFFFu));
    BBits = uint8_t(std::popcount(PixelFormat.BMask & 0xFFFFu));
  }
}

void TSurfEngine::Destroy() {
  Surfaces.clear();
  Bumps.clear();
  ScreenSurface.reset();
  DirectDraw = nullptr;
  Clipper = nullptr;
  ClipList.clear();
  ClipListFetched = false;
}

int TSurfEngine::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < Surfaces.size(); ++i)
    if (Surfaces[i].Name == name) return int(i);
  return -1;
}

TSurface* TSurfEngine::Find(std::string_view name) {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &Surfaces[size_t(i)];
}

TSurface* TSurfEngine::Drawable(std::string_view name) {
  TSurface* s = Find(name);
  if (!s || !s->Surface) return nullptr;
  // Records put in from outside must agree with their surface and buffer.
  if (s->Width > s->Surface->Width() || s->Height > s->Surface->Height() || s->Width <= 0 || s->Height <= 0)
    return nullptr;
  if (s->AlphaPitch != -1 && s->AlphaBuffer.size() < size_t(s->Width) * size_t(s->Height)) return nullptr;
  return s;
}

void TSurfEngine::AddSurface(const TSurface& surface) { Surfaces.push_back(surface); }

void TSurfEngine::DeleteSurface(std::string_view name) {
  const int i = IndexOf(name);
  if (i >= 0) Surfaces.erase(Surfaces.begin() + i);
}

bool TSurfEngine::CreateSurface(TSurface& surface, int32_t width, int32_t height, uint8_t*& bits, int32_t& pitch) {
  try {
    surface.Surface.reset();
    if (!DirectDraw) return false;
    std::shared_ptr<TDisplaySurface> made = DirectDraw->CreateSurface(width, height);
    if (!made) return false;
    bits = made->Lock();
    pitch = made->Pitch();
    made->Unlock();
    surface.Surface = std::move(made);
    surface.Bits = bits;
    surface.Pitch = pitch;
    return true;
  } catch (const std::exception&) {
    throw QelException("Exception Error in TSurfEngine.CreateSurface.");
  }
}

bool TSurfEngine::CreateEmptySurface(const std::string& name, int32_t width, int32_t height) {
  TSurface record;
  record.Name = name;
  record.Width = width;
  record.Height = height;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!CreateSurface(record, width, height, bits, pitch)) return false;
  Surfaces.push_back(std::move(record));
  return true;
}

void TSurfEngine::CreateAlphaBuffer(std::string_view name, uint8_t value) {
  TSurface* s = Find(name);
  if (!s || s->AlphaPitch != -1 || s->Width <= 0 || s->Height <= 0) return;
  s->AlphaPitch = s->Width;
  s->AlphaBuffer.assign(size_t(s->Width) * size_t(s->Height), value);
}

namespace {

// Writes one 24-bit pixel (blue, green, red bytes) in the engine's packing.
inline void PackPixel(uint8_t* dst, int bitCount, const uint8_t* bgr, const TSurfEngine& e) {
  const uint32_t b = bgr[0], g = bgr[1], r = bgr[2];
  if (bitCount == 16) {
    const uint16_t v = uint16_t(((r >> (8 - e.RBits)) << e.RShift) + ((g >> (8 - e.GBits)) << e.GShift) +
                                ((b >> (8 - e.BBits)) << e.BShift));
    std::memcpy(dst, &v, 2);
  } else {
    const uint32_t v = (r << e.RShift) + (g << e.GShift) + (b << e.BShift);
    if (bitCount == 32) {
      std::memcpy(dst, &v, 4);
    } else {
      dst[0] = uint8_t(v);
      dst[1] = uint8_t(v >> 8);
      dst[2] = uint8_t(v >> 16);
    }
  }
}

// Packs a row of 24-bit pixels. The shifts are read once: written through a
// byte pointer, each pixel would otherwise make the compiler read them again.
void PackRow(uint8_t* dst, const uint8_t* bgr, int count, int bitCount, const TSurfEngine& e) {
  if (bitCount == 32) {
    const int rs = e.RShift, gs = e.GShift, bs = e.BShift;
    for (int x = 0; x < count; ++x, bgr += 3, dst += 4) {
      const uint32_t v = (uint32_t(bgr[2]) << rs) + (uint32_t(bgr[1]) << gs) + (uint32_t(bgr[0]) << bs);
      std::memcpy(dst, &v, 4);
    }
    return;
  }
  const int bpp = bitCount / 8;
  for (int x = 0; x < count; ++x) PackPixel(dst + x * bpp, bitCount, bgr + x * 3, e);
}

}  // namespace

bool TSurfEngine::PNGToSurface(TSurface& surface, const TPngImage& png) {
  if (!surface.Surface) return false;
  TDisplaySurface& s = *surface.Surface;
  const int bitCount = int(s.Format().BitCount);
  if (bitCount != 16 && bitCount != 24 && bitCount != 32) return false;
  uint8_t* bits = s.Lock();
  const int w = std::min(png.Width, s.Width()), h = std::min(png.Height, s.Height());
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = png.Row(y);
    uint8_t* dst = bits + size_t(y) * size_t(s.Pitch());
    PackRow(dst, src, w, bitCount, *this);
  }
  s.Unlock();
  return true;
}

bool TSurfEngine::BitmapToSurface(TSurface& surface, const TBitmap24& bitmap, const TInclusiveRect* rect) {
  if (!surface.Surface || bitmap.Empty()) return false;
  TDisplaySurface& s = *surface.Surface;
  const int bitCount = int(PixelFormat.BitCount);
  if ((bitCount != 16 && bitCount != 32) || s.Format().BitCount != PixelFormat.BitCount) return false;
  int left = 0, top = 0, right = bitmap.Width - 1, bottom = bitmap.Height - 1;
  if (rect) {
    left = std::max(rect->Left, 0);
    top = std::max(rect->Top, 0);
    right = std::min(rect->Right, bitmap.Width - 1);
    bottom = std::min(rect->Bottom, bitmap.Height - 1);
  }
  right = std::min(right, left + s.Width() - 1);
  bottom = std::min(bottom, top + s.Height() - 1);
  uint8_t* bits = s.Lock();
  for (int y = top; y <= bottom; ++y) {
    uint8_t* dst = bits + size_t(y - top) * size_t(s.Pitch());
    PackRow(dst, bitmap.Row(y) + left * 3, right - left + 1, bitCount, *this);
  }
  s.Unlock();
  return true;
}

namespace {

TPngImage DecodePngNamed(const TMemoryStream& stream, const std::string& name) {
  try {
    return DecodePNG(stream);
  } catch (const EPictureError& e) {
    throw QelException("Can not load picture " + name + ": " + e.what());
  }
}

TBitmap24 DecodeJpegNamed(const TMemoryStream& stream, const std::string& name) {
  try {
    return DecodeJPEG(stream);
  } catch (const EPictureError& e) {
    throw QelException("Can not load picture " + name + ": " + e.what());
  }
}

}  // namespace

void TSurfEngine::AppendLoaded(TSurface& record) { Surfaces.push_back(std::move(record)); }

TPngImage TSurfEngine::DecodeArchivePNG(const TMemoryStream& stream, const std::string& entryName) {
  return DecodePngNamed(stream, entryName);
}

TBitmap24 TSurfEngine::DecodeArchiveJPEG(const TMemoryStream& stream, const std::string& entryName) {
  return DecodeJpegNamed(stream, entryName);
}

void TSurfEngine::LoadPNGFromFolder(TFileFolder& folder, const std::string& name, const std::string& entryName) {
  if (folder.IndexOf(entryName) < 0) return;
  TMemoryStream* stream = folder.GetStream(entryName);
  if (!stream) return;
  stream->SetPosition(0);
  TPngImage png = DecodePngNamed(*stream, entryName);
  AddArchivePNG(name, entryName, png);
}

void TSurfEngine::AddArchivePNG(const std::string& name, const std::string& entryName, TPngImage& png) {
  if (png.Empty()) return;
  TSurface record;
  record.Name = name;
  record.FileName = entryName;
  record.Width = png.Width;
  record.Height = png.Height;
  record.AlphaPitch = png.Width;
  // Pictures without an alpha channel (a transparent colour included) are
  // opaque in the archive's rules.
  if (png.HasAlpha())
    record.AlphaBuffer = std::move(png.Alpha);
  else
    record.AlphaBuffer.assign(size_t(png.Width) * size_t(png.Height), 255);
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (CreateSurface(record, png.Width, png.Height, bits, pitch)) {
    PNGToSurface(record, png);
    AppendLoaded(record);
  }
}

bool TSurfEngine::LoadPNGFromFile(const std::string& name, const std::filesystem::path& fileName) {
  const auto path = FindPictureFile(fileName);
  if (!path) return false;
  TMemoryStream stream(ReadWholeFile(*path));
  TPngImage png = DecodePngNamed(stream, fileName.string());
  if (png.Empty()) return false;
  TSurface record;
  record.Name = name;
  record.FileName = fileName.string();
  record.Width = png.Width;
  record.Height = png.Height;
  if (png.HasAlpha()) {
    record.AlphaPitch = png.Width;
    record.AlphaBuffer = std::move(png.Alpha);
  }
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!CreateSurface(record, png.Width, png.Height, bits, pitch)) return false;
  PNGToSurface(record, png);
  AppendLoaded(record);
  return true;
}

void TSurfEngine::LoadJPEGFromFolder(TFileFolder& folder, const std::string& name, const std::string& entryName) {
  if (folder.IndexOf(entryName) < 0) return;
  TMemoryStream* stream = folder.GetStream(entryName);
  if (!stream) return;
  stream->SetPosition(0);
  AddArchiveJPEG(name, entryName, DecodeJpegNamed(*stream, entryName));
}

void TSurfEngine::AddArchiveJPEG(const std::string& name, const std::string& entryName, const TBitmap24& bitmap) {
  TSurface record;
  record.Name = name;
  record.FileName = entryName;
  record.Width = bitmap.Width;
  record.Height = bitmap.Height;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (CreateSurface(record, bitmap.Width, bitmap.Height, bits, pitch) && BitmapToSurface(record, bitmap, nullptr))
    AppendLoaded(record);
}

bool TSurfEngine::LoadJPEGFromFile(const std::string& name, const std::filesystem::path& fileName) {
  const auto path = FindPictureFile(fileName);
  if (!path) return false;
  TMemoryStream stream(ReadWholeFile(*path));
  TBitmap24 bitmap = DecodeJpegNamed(stream, fileName.string());
  TSurface record;
  record.Name = name;
  record.FileName = fileName.string();
  record.Width = bitmap.Width;
  record.Height = bitmap.Height;
  uint8_t* bits = nullptr;
  int32_t pitch = 0;
  if (!CreateSurface(record, bitmap.Width, bitmap.Height, bits, pitch) || !BitmapToSurface(record, bitmap, nullptr))
    return false;
  AppendLoaded(record);
  return true;
}

void TSurfEngine::FillSurface(std::string_view name, uint8_t value) {
  TSurface* s = Find(name);
  if (!s || !s->Surface) return;
  TDisplaySurface& d = *s->Surface;
  std::memset(d.Lock(), value, size_t(d.Pitch()) * size_t(d.Height()));
  d.Unlock();
}

void TSurfEngine::DrawSurface(std::string_view source, std::string_view target, int32_t x, int32_t y,
                              const TRect* sourceRect, uint32_t) {
  try {
    TSurface* src = Find(source);
    TSurface* dst = Find(target);
    if (!src || !dst || !src->Surface || !dst->Surface) return;
    TDisplayRect r;
    if (sourceRect) r = TDisplayRect{sourceRect->Left, sourceRect->Top, sourceRect->Right, sourceRect->Bottom};
    BltFast(*dst->Surface, x, y, *src->Surface, sourceRect ? &r : nullptr);
  } catch (const std::exception&) {
    throw QelException("Exception Error in TSurfEngine.DrawSurface.  naSource: " + std::string(source) +
                       " naDest: " + std::string(target));
  }
}

void TSurfEngine::ReloadSurfaces(TFileFolder& folder, const std::filesystem::path& dir, std::string_view words) {
  for (const std::string& word : SplitWords(words)) {
    const int i = IndexOf(word);
    if (i < 0) continue;
    const std::string file = Surfaces[size_t(i)].FileName;
    DeleteSurface(word);
    // The ending decides by letter-case-blind comparison, so that names
    // written in capitals come back after a display switch.
    if (EndsWithPng(file) && folder.IndexOf(file) >= 0)
      LoadPNGFromFolder(folder, word, file);
    else if (EndsWithJpg(file) && folder.IndexOf(file) >= 0)
      LoadJPEGFromFolder(folder, word, file);
  }

  const int high = int(Surfaces.size()) - 1;
  const int step = high / 20;
  int threshold = 0;
  for (int i = 0; i <= high && !Surfaces.empty(); ++i) {
    if (Surfaces.front().Surface) continue;
    const TSurface first = Surfaces.front();
    if (first.FileName.empty()) {
      TSurface blank;
      blank.Name = first.Name;
      blank.Width = first.Width;
      blank.Height = first.Height;
      uint8_t* bits = nullptr;
      int32_t pitch = 0;
      if (!CreateSurface(blank, first.Width, first.Height, bits, pitch)) return;
      Surfaces.push_back(std::move(blank));
    }
    DeleteSurface(first.Name);
    if (!first.FileName.empty()) {
      const bool png = EndsWithPng(first.FileName), jpg = EndsWithJpg(first.FileName);
      if ((png || jpg) && folder.IndexOf(first.FileName) >= 0) {
        if (png)
          LoadPNGFromFolder(folder, first.Name, first.FileName);
        else
          LoadJPEGFromFolder(folder, first.Name, first.FileName);
      } else if (png || jpg) {
        // Only the file's own name is lower-cased: a picture loaded from a
        // file keeps its folder in FileName, and that folder's letters stand.
        const std::filesystem::path stored(first.FileName);
        const std::string lowerFile = (stored.parent_path() / LowerAscii(stored.filename().string())).string();
        const std::string lowerName = LowerAscii(first.Name);
        const bool loaded = png ? LoadPNGFromFile(lowerName, dir / lowerFile)
                                : LoadJPEGFromFile(lowerName, dir / lowerFile);
        if (loaded) Surfaces.back().FileName = lowerFile;
      }
    }
    if (threshold < i) {
      if (OnProgress) OnProgress(Round(double(i) * 100.0 / double(high)));
      threshold += step;
    }
  }
}

void TSurfEngine::Present(TDisplaySurface* target, TDisplaySurface* source, TRects& redrawRects) {
  if (!target || !source) return;
  uint8_t* t = target->Lock();
  uint8_t* s = source->Lock();
  const int bpp = PixelFormat.BitCount == 16 ? 2 : 4;
  if (t && s && int(target->Format().BytesPerPixel()) == bpp && int(source->Format().BytesPerPixel()) == bpp) {
    int dx = 0, dy = 0;
    if (!FullScreen) {
      ClipRedrawRects(redrawRects);
      dx = ClientX;
      dy = ClientY;
    }
    for (const TRect& r : redrawRects) {
      // Cells are clipped to both pictures; inverted ones copy nothing.
      const int64_t left = std::max<int64_t>({r.Left, 0, -int64_t(dx)});
      const int64_t top = std::max<int64_t>({r.Top, 0, -int64_t(dy)});
      const int64_t right = std::min<int64_t>({r.Right, source->Width(), int64_t(target->Width()) - dx});
      const int64_t bottom = std::min<int64_t>({r.Bottom, source->Height(), int64_t(target->Height()) - dy});
      if (right <= left || bottom <= top) continue;
      const size_t bytes = size_t(right - left) * size_t(bpp);
      for (int64_t row = top; row < bottom; ++row)
        std::memcpy(target->Row(int(row + dy)) + size_t(left + dx) * size_t(bpp),
                    source->Row(int(row)) + size_t(left) * size_t(bpp), bytes);
    }
  }
  source->Unlock();
  target->Unlock();
}

void TSurfEngine::CheckClipper() {
  if (!Clipper) return;
  try {
    if (!Clipper->IsClipListChanged()) return;
    const std::vector<TDisplayRect> list = Clipper->GetClipList();
    if (list.empty()) return;
    ClipList.clear();
    for (const TDisplayRect& r : list)
      ClipList.push_back(TRect{r.Left - ClientX, r.Top - ClientY, r.Right - ClientX, r.Bottom - ClientY});
    ClipListFetched = true;
  } catch (const std::exception&) {
    throw QelException("Exception error in TSurfEngine.CheckClipper!");
  }
}

void TSurfEngine::ClipRedrawRects(TRects& redrawRects) {
  try {
    if (!ClipListFetched) return;
    if (ClipList.size() == 1 && ClipList[0] == TRect{0, 0, Width, Height}) return;
    TRects clipped;
    for (const TRect& c : ClipList)
      for (const TRect& r : redrawRects) {
        const TRect i{std::max(c.Left, r.Left), std::max(c.Top, r.Top), std::min(c.Right, r.Right),
                      std::min(c.Bottom, r.Bottom)};
        if (!i.IsEmpty()) clipped.push_back(i);
      }
    redrawRects = std::move(clipped);
  } catch (const std::exception&) {
    throw QelException("Exception error in TSurfEngine.ClipRedrawRects!");
  }
}

uint32_t TSurfEngine::Color16(uint32_t color) const {
  const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  return ((r >> (8 - RBits)) << RShift) + ((g >> (8 - GBits)) << GShift) + ((b >> (8 - BBits)) << BShift);
}

void TResourceList::AddFolder(const std::filesystem::path& fileName) {
  Folders.push_back(std::make_unique<TFileFolder>(fileName));
}

}  // namespace qv
