// The surface engine: the store of every picture the game draws with. Named
// off-screen surfaces of the display, each with an optional 8-bit alpha
// buffer beside it, loading of PNG and JPEG pictures from the archive or from
// files, reloading after the display was rebuilt, presentation of the dirty
// cells of a frame, and the pixel operations (opaque, alpha-blended, tinted,
// through an alpha ramp, and the alpha-buffer operations).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/CharRects.h"
#include "foundation/FileFolder.h"
#include "foundation/SFunctions.h"
#include "graphics/BlendKernels.h"
#include "graphics/PictureCodec.h"
#include "platform/Display.h"

namespace qv {

// Source rectangles of the drawing operations: all four edges inclusive.
// (TRect itself is used with exclusive Right and Bottom elsewhere.)
using TInclusiveRect = TRect;

struct TSurface {
  std::string Name;      // compared exactly, case-sensitive
  std::string FileName;  // archive entry or file; empty for surfaces made in memory
  int32_t AlphaPitch = -1;  // -1: no alpha buffer; else Width
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> AlphaBuffer;  // Width x Height, 0 transparent .. 255 opaque
  std::shared_ptr<TDisplaySurface> Surface;  // null after the display was torn down
  int32_t Pitch = 0;
  uint8_t* Bits = nullptr;

  bool HasAlpha() const { return AlphaPitch != -1 && !AlphaBuffer.empty(); }
};
using TSurfaces = std::vector<TSurface>;

// Bump maps: cells of signed dx, dy; -128 marks an empty cell. Nothing in
// the game makes one, so the list stays empty and the bump operations find
// nothing to work on.
struct TBump {
  std::string Name;
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<std::vector<std::array<int8_t, 2>>> Rows;
};

using TProgressProc = void (*)(int32_t percent);

class TSurfEngine {
 public:
  TSurfEngine() = default;
  ~TSurfEngine();
  TSurfEngine(const TSurfEngine&) = delete;
  TSurfEngine& operator=(const TSurfEngine&) = delete;

  // (Re)binds the engine to a display: takes the screen surface's pixel
  // format as its own. Run again after every display rebuild; the stored
  // records stay. Without a screen surface the format stays 32-bit.
  void Create(TDisplay* display, std::shared_ptr<TDisplaySurface> screenSurface, int32_t width, int32_t height);
  // Frees every surface, alpha buffer and bump map and the clip list.
  void Destroy();

  int IndexOf(std::string_view name) const;
  // The first surface of that name, or null.
  TSurface* Find(std::string_view name);
  void AddSurface(const TSurface& surface);
  void DeleteSurface(std::string_view name);

  // A new display surface of that size into surface.Surface (an earlier one
  // is released first). False when the display refuses; other failures raise
  // QelException "Exception Error in TSurfEngine.CreateSurface.".
  bool CreateSurface(TSurface& surface, int32_t width, int32_t height, uint8_t*& bits, int32_t& pitch);
  bool CreateEmptySurface(const std::string& name, int32_t width, int32_t height);
  // Gives a surface without alpha buffer one filled with value.
  void CreateAlphaBuffer(std::string_view name, uint8_t value);

  // Pixel copies into a surface, packed in the engine's format.
  bool PNGToSurface(TSurface& surface, const TPngImage& png);
  bool BitmapToSurface(TSurface& surface, const TBitmap24& bitmap, const TInclusiveRect* rect);

  // Loading appends a new surface under name. An entry missing from the
  // archive adds nothing; a damaged picture raises QelException.
  void LoadPNGFromFolder(TFileFolder& folder, const std::string& name, const std::string& entryName);
  bool LoadPNGFromFile(const std::string& name, const std::filesystem::path& fileName);
  void LoadJPEGFromFolder(TFileFolder& folder, const std::string& name, const std::string& entryName);
  bool LoadJPEGFromFile(const std::string& name, const std::filesystem::path& fileName);
  // The two halves of loading from the archive, for a caller that decodes
  // on other threads: decoding touches nothing of the engine (its error
  // names the entry as loading does); adding makes the surface, as loading
  // does after its decode.
  static TPngImage DecodeArchivePNG(const TMemoryStream& stream, const std::string& entryName);
  static TBitmap24 DecodeArchiveJPEG(const TMemoryStream& stream, const std::string& entryName);
  void AddArchivePNG(const std::string& name, const std::string& entryName, TPngImage& png);
  void AddArchiveJPEG(const std::string& name, const std::string& entryName, const TBitmap24& bitmap);

  void FillSurface(std::string_view name, uint8_t value);
  // The opaque copy of a source rectangle (exclusive Right and Bottom; whole
  // source when null) to (x, y), clipped to both surfaces.
  void DrawSurface(std::string_view source, std::string_view target, int32_t x, int32_t y,
                   const TRect* sourceRect, uint32_t flags = 0);

  // Rebuilds every surface after the display was rebuilt: the surfaces named
  // in words first, then every record that lost its surface.
  void ReloadSurfaces(TFileFolder& folder, const std::filesystem::path& dir, std::string_view words);

  // Copies the cells of redrawRects (exclusive edges) from source to target:
  // in full screen to the same place, in a window to the client origin and
  // clipped to the clip list (which may replace redrawRects).
  void Present(TDisplaySurface* target, TDisplaySurface* source, TRects& redrawRects);
  void CheckClipper();
  void ClipRedrawRects(TRects& redrawRects);

  // ---- drawing (all source rectangles inclusive) ----
  void DrawWithAlphaChannel(std::string_view source, std::string_view target, int32_t x, int32_t y, uint8_t alpha,
                            const TInclusiveRect* sourceRect, uint32_t color, uint8_t colorWeight,
                            const TWeightTable* weightTable);
  void DrawFontChars(std::string_view fontPicture, std::string_view target, int count, const TCharsRects& chars);
  void DrawWithAlphaRamp(std::string_view source, std::string_view target, int32_t x, int32_t y,
                         const TInclusiveRect* sourceRect, uint32_t color, int32_t low, int32_t peak, int32_t high,
                         int32_t peakValue);
  // Rect with exclusive Right and Bottom.
  void BlendRect(std::string_view target, const TRect& rect, uint32_t color, uint8_t alpha);
  void MultiplyAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y,
                     const TInclusiveRect* sourceRect);
  void CombineAlpha(std::string_view source, std::string_view target, int32_t x, int32_t y,
                    const TInclusiveRect* sourceRect, uint8_t factor);
  void ChannelToAlpha(std::string_view source, std::string_view target, const TInclusiveRect* rect, uint8_t channel);
  void ColorSetToAlpha(std::string_view source, std::string_view target, const TPoints& points,
                       const TInclusiveRect* rect, uint8_t value);
  // Bounds (inclusive) of the matching pixels; (1000, 1000, -1000, -1000),
  // an empty rectangle, when nothing matched.
  void ColorKeyToAlpha(std::string_view source, std::string_view target, TPoint point, const TInclusiveRect* rect,
                       uint8_t value, TRect& bounds);

  int IndexOfBump(std::string_view name) const;
  void DrawBump(std::string_view source, std::string_view target, int32_t x, int32_t y, const TInclusiveRect* rect);
  void FillBump(std::string_view name, int8_t dx, int8_t dy, const TInclusiveRect* rect);
  void ClearBumpUnderAlpha(std::string_view bumpName, std::string_view pictureName, const TInclusiveRect* rect);

  // ---- fields ----
  TDisplay* DirectDraw = nullptr;  // makes the surfaces
  std::shared_ptr<TDisplaySurface> ScreenSurface;
  int32_t Width = 0;
  int32_t Height = 0;
  TSurfaces Surfaces;
  std::vector<TBump> Bumps;
  TPixelFormat PixelFormat = kFormatXRGB8888;
  int32_t RShift = 16, GShift = 8, BShift = 0;
  uint8_t RBits = 0, GBits = 0, BBits = 0;
  // The clip list in client coordinates, once one was fetched.
  TRects ClipList;
  bool ClipListFetched = false;
  TProgressProc OnProgress = nullptr;

  // Presentation context, set by the shell.
  bool FullScreen = true;
  int32_t ClientX = 0;
  int32_t ClientY = 0;
  IDisplayClipper* Clipper = nullptr;

  // A colour value (0x00BBGGRR) in the engine's 16-bit format.
  uint32_t Color16(uint32_t color) const;

 private:
  // A surface record with its display surface, or null.
  TSurface* Drawable(std::string_view name);
  void AppendLoaded(TSurface& record);
};

// A picture of the program folder or the archive loads as PNG when the last
// three characters of its name, lower-cased, are "png", and as JPEG when they
// are "jpg".
bool EndsWithPng(std::string_view fileName);
bool EndsWithJpg(std::string_view fileName);

// Opened archives the shell keeps beside the engine.
class TResourceList {
 public:
  struct TImageRecord {
    std::string Name;
    TIntegers First;
    TIntegers Second;
  };

  TResourceList(int32_t number, std::string name, void* pointer)
      : Number(number), Name(std::move(name)), Pointer(pointer) {}
  void AddFolder(const std::filesystem::path& fileName);

  std::vector<std::unique_ptr<TFileFolder>> Folders;
  std::vector<TImageRecord> Images;
  int32_t Number = 0;
  std::string Name;
  void* Pointer = nullptr;
};

}  // namespace qv
