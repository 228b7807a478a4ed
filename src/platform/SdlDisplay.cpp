#include "platform/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>

namespace qv {

namespace {

struct WindowDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct RendererDeleter {
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct TextureDeleter {
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};

TPixelFormat FormatOfDesktop(Uint32 sdlFormat) {
  if (SDL_BITSPERPIXEL(sdlFormat) == 16 || SDL_BITSPERPIXEL(sdlFormat) == 15) {
    int bpp = 0;
    Uint32 r = 0, g = 0, b = 0, a = 0;
    if (SDL_PixelFormatEnumToMasks(sdlFormat, &bpp, &r, &g, &b, &a) && g == kFormatRGB555.GMask)
      return kFormatRGB555;
    return kFormatRGB565;
  }
  return kFormatXRGB8888;
}

Uint32 SdlFormatOf(const TPixelFormat& f) {
  if (f == kFormatRGB565) return SDL_PIXELFORMAT_RGB565;
  if (f == kFormatRGB555) return SDL_PIXELFORMAT_RGB555;
  return SDL_PIXELFORMAT_RGB888;  // 32 bits, x-r-g-b from the high byte down
}

}  // namespace

struct TSdlDisplay::Impl {
  bool VideoStarted = false;
  std::unique_ptr<SDL_Window, WindowDeleter> Window;
  std::unique_ptr<SDL_Renderer, RendererDeleter> Renderer;
  std::unique_ptr<SDL_Texture, TextureDeleter> Texture;
  std::string Caption = "Quorvane";
  bool Presented = false;  // since the last WaitFrame
  Uint32 LastWait = 0;

  void Render() {
    SDL_SetRenderDrawColor(Renderer.get(), 0, 0, 0, 255);
    SDL_RenderClear(Renderer.get());
    SDL_RenderCopy(Renderer.get(), Texture.get(), nullptr, nullptr);
  }
};

TSdlDisplay::TSdlDisplay() : impl_(std::make_unique<Impl>()) {}

TSdlDisplay::~TSdlDisplay() { Close(); }

bool TSdlDisplay::Open(const TDisplayMode& mode, std::string& errorText) {
  Close();
  errorText.clear();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    errorText = std::string("Video start failed: ") + SDL_GetError();
    return false;
  }
  impl_->VideoStarted = true;
  SDL_DisplayMode desktop{};
  TPixelFormat desktopFormat = kFormatXRGB8888;
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) desktopFormat = FormatOfDesktop(desktop.format);
  if (!SetUp(mode, desktopFormat, errorText)) {
    Close();
    return false;
  }
  const int x = mode.WindowX < 0 ? int(SDL_WINDOWPOS_CENTERED) : mode.WindowX;
  const int y = mode.WindowY < 0 ? int(SDL_WINDOWPOS_CENTERED) : mode.WindowY;
  const Uint32 flags = mode.FullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  impl_->Window.reset(SDL_CreateWindow(impl_->Caption.c_str(), x, y, mode.Width, mode.Height, flags));
  if (impl_->Window) {
    // With vsync the presentation waits for the screen's refresh: no tearing
    // and no frames that nobody sees.
    if (mode.VSync)
      impl_->Renderer.reset(
          SDL_CreateRenderer(impl_->Window.get(), -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
    if (!impl_->Renderer)
      impl_->Renderer.reset(SDL_CreateRenderer(impl_->Window.get(), -1, SDL_RENDERER_ACCELERATED));
    if (!impl_->Renderer) impl_->Renderer.reset(SDL_CreateRenderer(impl_->Window.get(), -1, SDL_RENDERER_SOFTWARE));
  }
  if (impl_->Renderer) {
    SDL_RenderSetLogicalSize(impl_->Renderer.get(), mode.Width, mode.Height);
    impl_->Texture.reset(SDL_CreateTexture(impl_->Renderer.get(), SdlFormatOf(format_), SDL_TEXTUREACCESS_STREAMING,
                                           mode.Width, mode.Height));
  }
  if (!impl_->Texture) {
    errorText = std::string("Display set-up failed: ") + SDL_GetError();
    Close();
    return false;
  }
  return true;
}

void TSdlDisplay::Close() {
  impl_->Texture.reset();
  impl_->Renderer.reset();
  impl_->Window.reset();
  TearDown();
  if (impl_->VideoStarted) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    impl_->VideoStarted = false;
  }
}

void TSdlDisplay::Commit(const std::vector<TDisplayRect>& changed) {
  if (!impl_->Texture || !primary_) return;
  const TDisplaySurface& p = *primary_;
  const int bpp = int(p.Format().BytesPerPixel());
  if (changed.empty()) {
    SDL_UpdateTexture(impl_->Texture.get(), nullptr, p.Row(0), p.Pitch());
  } else {
    for (const TDisplayRect& c : changed) {
      const int left = std::max(c.Left, 0), top = std::max(c.Top, 0);
      const int right = std::min(c.Right, p.Width()), bottom = std::min(c.Bottom, p.Height());
      if (right <= left || bottom <= top) continue;
      const SDL_Rect r{left, top, right - left, bottom - top};
      SDL_UpdateTexture(impl_->Texture.get(), &r, p.Row(top) + left * bpp, p.Pitch());
    }
  }
  impl_->Render();
  SDL_RenderPresent(impl_->Renderer.get());
  impl_->Presented = true;
}

void TSdlDisplay::WaitFrame() {
  constexpr Uint32 kRefreshMs = 16;
  const Uint32 now = SDL_GetTicks();
  if (!impl_->Presented) {
    const Uint32 spent = now - impl_->LastWait;
    if (spent < kRefreshMs) SDL_Delay(kRefreshMs - spent);
  }
  impl_->Presented = false;
  impl_->LastWait = SDL_GetTicks();
}

void TSdlDisplay::SetCaption(const std::string& caption) {
  impl_->Caption = caption;
  if (impl_->Window) SDL_SetWindowTitle(impl_->Window.get(), caption.c_str());
}

bool TSdlDisplay::ReadBack(std::vector<uint32_t>& pixels, int& width, int& height) {
  if (!impl_->Renderer) return false;
  SDL_Renderer* r = impl_->Renderer.get();
  impl_->Render();
  if (SDL_GetRendererOutputSize(r, &width, &height) != 0 || width <= 0 || height <= 0) return false;
  // Read the whole output, bars included, not just the logical picture.
  SDL_RenderSetLogicalSize(r, 0, 0);
  SDL_RenderSetViewport(r, nullptr);
  pixels.assign(size_t(width) * size_t(height), 0);
  const bool ok = SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(), width * 4) == 0;
  SDL_RenderSetLogicalSize(r, mode_.Width, mode_.Height);
  return ok;
}

}  // namespace qv
