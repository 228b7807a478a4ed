#include "content/ContentSupport.h"
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

void SurfaceStore::Release(const std::string& name) { I->Engine.DeleteSurface(name); }

}  // namespace qv::test
