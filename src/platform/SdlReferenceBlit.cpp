#include "platform/SdlReferenceBlit.h"

#include <SDL.h>

#include <cstring>

namespace qv {

namespace {
struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
}  // namespace

struct TSdlReferenceBlit::Impl {
  SurfacePtr Source;
  SurfacePtr Target;
};

TSdlReferenceBlit::TSdlReferenceBlit(int sourceWidth, int sourceHeight, const uint32_t* source, int targetWidth,
                                     int targetHeight)
    : impl_(std::make_unique<Impl>()) {
  impl_->Source.reset(SDL_CreateRGBSurfaceWithFormat(0, sourceWidth, sourceHeight, 32, SDL_PIXELFORMAT_ARGB8888));
  impl_->Target.reset(SDL_CreateRGBSurfaceWithFormat(0, targetWidth, targetHeight, 32, SDL_PIXELFORMAT_RGB888));
  if (!Valid()) return;
  SDL_Surface* s = impl_->Source.get();
  for (int y = 0; y < sourceHeight; ++y)
    std::memcpy(static_cast<uint8_t*>(s->pixels) + size_t(y) * size_t(s->pitch), source + size_t(y) * size_t(sourceWidth),
                size_t(sourceWidth) * 4);
  SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
}

TSdlReferenceBlit::~TSdlReferenceBlit() = default;

bool TSdlReferenceBlit::Valid() const { return impl_->Source && impl_->Target; }

void TSdlReferenceBlit::Blit(int x, int y) {
  if (!Valid()) return;
  SDL_Rect at{x, y, 0, 0};
  SDL_BlitSurface(impl_->Source.get(), nullptr, impl_->Target.get(), &at);
}

uint32_t TSdlReferenceBlit::TargetPixel(int x, int y) const {
  const SDL_Surface* t = impl_->Target.get();
  uint32_t v;
  std::memcpy(&v, static_cast<const uint8_t*>(t->pixels) + size_t(y) * size_t(t->pitch) + size_t(x) * 4, 4);
  return v & 0xFFFFFF;
}

}  // namespace qv
