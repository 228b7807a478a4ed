#include "content/ContentSupport.h"

#include <cstring>

#include "game/FieldCanvas.h"
#include "graphics/SurfEngine.h"
#include "platform/HeadlessDisplay.h"

namespace qv::test {

struct SurfaceStore::Impl {
  THeadlessDisplay Display;
  TSurfEngine Engine;
  std::unique_ptr<IFieldCanvas> Canvas;
};

SurfaceStore::SurfaceStore() : I(std::make_unique<Impl>()) {
  TDisplayMode mode;
  mode.FullScreen = true;
  std::string error;
  if (!I->Display.Open(mode, error)) ADD_FAILURE() << error;
  I->Engine.Create(&I->Display, I->Display.PrimarySurface(), 800, 600);
}

SurfaceStore::~SurfaceStore() = default;

void SurfaceStore::LoadPng(const std::string& name) { I->Engine.LoadPNGFromFolder(WorkingArchive(), name, name); }

void SurfaceStore::LoadJpeg(const std::string& name) { I->Engine.LoadJPEGFromFolder(WorkingArchive(), name, name); }

SurfaceStore::Info SurfaceStore::Find(const std::string& name) const {
  Info info;
  const TSurface* s = I->Engine.Find(name);
  if (!s) return info;
  info.Found = true;
  info.Width = s->Width;
  info.Height = s->Height;
  info.Alpha = s->HasAlpha();
  return info;
}

IFieldCanvas& SurfaceStore::Canvas() {
  if (!I->Canvas) I->Canvas = MakeSurfEngineCanvas(I->Engine);
  return *I->Canvas;
}

uint32_t SurfaceStore::Pixel(const std::string& name, int x, int y) {
  TSurface* s = I->Engine.Find(name);
  if (!s || !s->Surface || x < 0 || y < 0 || x >= s->Width || y >= s->Height) return 0;
  EXPECT_EQ(s->Surface->Format().BitCount, 32u) << "the store's display is XRGB8888";
  const uint8_t* row = s->Surface->Lock() + size_t(y) * size_t(s->Surface->Pitch());
  uint32_t v = 0;
  std::memcpy(&v, row + size_t(x) * 4, 4);
  s->Surface->Unlock();
  return v & 0xFFFFFF;
}

void SurfaceStore::Release(const std::string& name) { I->Engine.DeleteSurface(name); }

}  // namespace qv::test
