#include "platform/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

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
struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
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

int64_t SteadyMicroseconds() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepUntilMicroseconds(int64_t us) {
  std::this_thread::sleep_until(std::chrono::steady_clock::time_point(std::chrono::microseconds(us)));
}

}  // namespace

struct TSdlDisplay::Impl {
  bool VideoStarted = false;
  std::unique_ptr<SDL_Window, WindowDeleter> Window;
  // Full screen: the picture scaled onto the desktop through a renderer.
  std::unique_ptr<SDL_Renderer, RendererDeleter> Renderer;
  std::unique_ptr<SDL_Texture, TextureDeleter> Texture;
  // Window: the primary surface's memory, copied rectangle by rectangle onto
  // the window's own surface (SDL forbids a renderer on the same window).
  std::unique_ptr<SDL_Surface, SurfaceDeleter> Source;
  std::string Caption = "Quorvane";
  int RefreshHz = 0;
  TFramePacer Pacer{SteadyMicroseconds, SleepUntilMicroseconds};

  void Render() {
    SDL_SetRenderDrawColor(Renderer.get(), 0, 0, 0, 255);
    SDL_RenderClear(Renderer.get());
    SDL_RenderCopy(Renderer.get(), Texture.get(), nullptr, nullptr);
  }
  void MakeWindow(const TDisplayMode& mode, int x, int y) {
    const Uint32 flags = mode.FullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
    Window.reset(SDL_CreateWindow(Caption.c_str(), x, y, mode.Width, mode.Height, flags));
  }
  // The unscaled window shows the changed rectangles alone through the
  // window's surface. False when the platform gives it none.
  bool UseWindowSurface(TDisplaySurface& primary, Uint32 format) {
    if (!Window || !SDL_GetWindowSurface(Window.get())) return false;
    const TPixelFormat& f = primary.Format();
    Source.reset(SDL_CreateRGBSurfaceWithFormatFrom(primary.Lock(), primary.Width(), primary.Height(),
                                                    int(f.BitCount), primary.Pitch(), format));
    return Source != nullptr;
  }
  void UseRenderer(const TDisplayMode& mode, Uint32 format) {
    if (!Window) return;
    // With vsync the presentation waits for the screen's refresh: no tearing
    // and no frames that nobody sees.
    if (mode.VSync)
      Renderer.reset(SDL_CreateRenderer(Window.get(), -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
    if (!Renderer) Renderer.reset(SDL_CreateRenderer(Window.get(), -1, SDL_RENDERER_ACCELERATED));
    if (!Renderer) Renderer.reset(SDL_CreateRenderer(Window.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!Renderer) return;
    SDL_RenderSetLogicalSize(Renderer.get(), mode.Width, mode.Height);
    Texture.reset(SDL_CreateTexture(Renderer.get(), format, SDL_TEXTUREACCESS_STREAMING, mode.Width, mode.Height));
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
  // A game on a driver that shows nothing would run on, unseen, until killed.
  const char* driver = SDL_GetCurrentVideoDriver();
  errorText = InvisibleDriverReason(driver ? driver : "", std::getenv("SDL_VIDEODRIVER"));
  if (!errorText.empty()) {
    Close();
    return false;
  }
  SDL_DisplayMode desktop{};
  TPixelFormat desktopFormat = kFormatXRGB8888;
  if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) desktopFormat = FormatOfDesktop(desktop.format);
  if (!SetUp(mode, desktopFormat, errorText)) {
    Close();
    return false;
  }
  const int x = mode.WindowX < 0 ? int(SDL_WINDOWPOS_CENTERED) : mode.WindowX;
  const int y = mode.WindowY < 0 ? int(SDL_WINDOWPOS_CENTERED) : mode.WindowY;
  // A window's surface stays in processor memory and reaches the screen by
  // the rectangles given (shared memory on X11), instead of SDL's default of
  // a texture redrawn whole for every update. The environment may still say
  // otherwise.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  const Uint32 format = SdlFormatOf(format_);
  impl_->MakeWindow(mode, x, y);
  if (!mode.FullScreen && !impl_->UseWindowSurface(*primary_, format)) {
    // A window that refused its surface gets a fresh one for the renderer.
    impl_->Source.reset();
    impl_->MakeWindow(mode, x, y);
  }
  if (!impl_->Source) impl_->UseRenderer(mode, format);
  if (!impl_->Source && !impl_->Texture) {
    errorText = std::string("Display set-up failed: ") + SDL_GetError();
    Close();
    return false;
  }
  SDL_DisplayMode shown{};
  const int index = SDL_GetWindowDisplayIndex(impl_->Window.get());
  impl_->RefreshHz = index >= 0 && SDL_GetCurrentDisplayMode(index, &shown) == 0 ? shown.refresh_rate : 0;
  impl_->Pacer.Start();
  return true;
}

void TSdlDisplay::Close() {
  impl_->Source.reset();
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
  if (!primary_ || (!impl_->Texture && !impl_->Source)) return;
  const TDisplaySurface& p = *primary_;
  std::vector<SDL_Rect> rects;
  rects.reserve(changed.size());
  for (const TDisplayRect& c : changed) {
    const int left = std::max(c.Left, 0), top = std::max(c.Top, 0);
    const int right = std::min(c.Right, p.Width()), bottom = std::min(c.Bottom, p.Height());
    if (right > left && bottom > top) rects.push_back(SDL_Rect{left, top, right - left, bottom - top});
  }
  if (!changed.empty() && rects.empty()) return;
  if (impl_->Source) {
    SDL_Surface* target = SDL_GetWindowSurface(impl_->Window.get());
    if (!target) return;
    if (changed.empty()) {
      SDL_BlitSurface(impl_->Source.get(), nullptr, target, nullptr);
      SDL_UpdateWindowSurface(impl_->Window.get());
      return;
    }
    for (const SDL_Rect& r : rects) {
      SDL_Rect to = r;  // the blit writes the clipped rectangle back
      SDL_BlitSurface(impl_->Source.get(), &r, target, &to);
    }
    SDL_UpdateWindowSurfaceRects(impl_->Window.get(), rects.data(), int(rects.size()));
    return;
  }
  const int bpp = int(p.Format().BytesPerPixel());
  if (changed.empty()) {
    SDL_UpdateTexture(impl_->Texture.get(), nullptr, p.Row(0), p.Pitch());
  } else {
    for (const SDL_Rect& r : rects) SDL_UpdateTexture(impl_->Texture.get(), &r, p.Row(r.y) + r.x * bpp, p.Pitch());
  }
  impl_->Render();
  SDL_RenderPresent(impl_->Renderer.get());
}

void TSdlDisplay::WaitFrame() { impl_->Pacer.Wait(impl_->RefreshHz); }

void TSdlDisplay::SetCaption(const std::string& caption) {
  impl_->Caption = caption;
  if (impl_->Window) SDL_SetWindowTitle(impl_->Window.get(), caption.c_str());
}

bool TSdlDisplay::ReadBack(std::vector<uint32_t>& pixels, int& width, int& height) {
  if (impl_->Source) {
    SDL_Surface* shown = SDL_GetWindowSurface(impl_->Window.get());
    if (!shown || shown->w <= 0 || shown->h <= 0) return false;
    width = shown->w;
    height = shown->h;
    pixels.assign(size_t(width) * size_t(height), 0);
    return SDL_ConvertPixels(width, height, shown->format->format, shown->pixels, shown->pitch,
                             SDL_PIXELFORMAT_RGB888, pixels.data(), width * 4) == 0;
  }
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
