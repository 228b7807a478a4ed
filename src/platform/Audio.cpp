#include "platform/Audio.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace qv {

namespace {

// Frames mixed per pass of the inner loops; also the device's buffer size.
constexpr int kBlock = 1024;

// A channel volume on the 0..100 scale that can glide to a target.
struct TVolume {
  double Level = 100;
  double Target = 100;
  double Step = 0;
  int64_t FramesLeft = 0;

  void Set(int volume) {
    Level = Target = std::clamp(volume, 0, 100);
    FramesLeft = 0;
  }
  void Slide(int volume, int ms) {
    Target = std::clamp(volume, 0, 100);
    FramesLeft = ms > 0 ? static_cast<int64_t>(ms) * TAudio::kRate / 1000 : 0;
    if (FramesLeft == 0) {
      Level = Target;
      return;
    }
    Step = (Target - Level) / static_cast<double>(FramesLeft);
  }
  bool Sliding() const { return FramesLeft > 0; }
  // The level for the next frame.
  double Next() {
    if (FramesLeft > 0 && --FramesLeft == 0)
      Level = Target;
    else if (FramesLeft > 0)
      Level += Step;
    return Level;
  }
};

struct TModuleDeleter {
  void operator()(openmpt_module* m) const { openmpt_module_destroy(m); }
};
using TModulePtr = std::unique_ptr<openmpt_module, TModuleDeleter>;

struct TOggDeleter {
  void operator()(OggVorbis_File* f) const {
    ov_clear(f);
    delete f;
  }
};

struct TSample {
  std::vector<float> Pcm;  // interleaved stereo at kRate
  int MaxPlaybacks = TAudio::kMaxPlaybacks;
  int64_t Frames() const { return static_cast<int64_t>(Pcm.size() / 2); }
};

struct TModule {
  TModulePtr Mod;
  bool Playing = false;
  TVolume Volume;
};

struct TPlayback {
  TAudioHandle Id = kNoAudio;
  TAudioHandle Sample = kNoAudio;
  const TSample* Data = nullptr;
  int64_t Pos = 0;
  TVolume Volume;
};

// Ogg data read from a block of memory.
struct TMemoryReader {
  const uint8_t* Data;
  size_t Size;
  size_t Pos;
};

size_t ReadMem(void* ptr, size_t size, size_t count, void* source) {
  auto* r = static_cast<TMemoryReader*>(source);
  if (size == 0) return 0;
  const size_t n = std::min(count, (r->Size - r->Pos) / size);
  if (n > 0) std::memcpy(ptr, r->Data + r->Pos, n * size);
  r->Pos += n * size;
  return n;
}

int SeekMem(void* source, ogg_int64_t offset, int whence) {
  auto* r = static_cast<TMemoryReader*>(source);
  ogg_int64_t base = 0;
  if (whence == SEEK_CUR)
    base = static_cast<ogg_int64_t>(r->Pos);
  else if (whence == SEEK_END)
    base = static_cast<ogg_int64_t>(r->Size);
  else if (whence != SEEK_SET)
    return -1;
  const ogg_int64_t to = base + offset;
  if (to < 0 || to > static_cast<ogg_int64_t>(r->Size)) return -1;
  r->Pos = static_cast<size_t>(to);
  return 0;
}

long TellMem(void* source) { return static_cast<long>(static_cast<TMemoryReader*>(source)->Pos); }

// The index of the right channel in Vorbis channel order (mono: the same one).
int RightChannel(int channels) {
  if (channels == 1) return 0;
  if (channels == 2 || channels == 4) return 1;
  return 2;
}

// Decodes to stereo at the file's own rate; false with a text on failure.
bool DecodeOgg(const void* data, size_t size, std::vector<float>& stereo, long& rate, std::string& error) {
  TMemoryReader reader{static_cast<const uint8_t*>(data), data ? size : 0, 0};
  const ov_callbacks callbacks{ReadMem, SeekMem, nullptr, TellMem};
  std::unique_ptr<OggVorbis_File, TOggDeleter> file(new OggVorbis_File{});
  if (ov_open_callbacks(&reader, file.get(), nullptr, 0, callbacks) != 0) {
    // ov_open_callbacks leaves nothing to clear when it fails.
    delete file.release();
    error = "not an Ogg Vorbis file";
    return false;
  }
  const vorbis_info* info = ov_info(file.get(), -1);
  if (!info || info->channels < 1 || info->rate < 1000 || info->rate > 192000) {
    error = "unsupported channel count or rate";
    return false;
  }
  rate = info->rate;
  const int64_t maxFrames = static_cast<int64_t>(TAudio::kMaxSampleSeconds) * rate;
  stereo.clear();
  int link = 0;
  for (;;) {
    float** pcm = nullptr;
    const long n = ov_read_float(file.get(), &pcm, 4096, &link);
    if (n == 0) break;
    if (n == OV_HOLE) continue;
    if (n < 0) {
      error = "damaged Ogg Vorbis data";
      return false;
    }
    // Chained streams may change their channel count from link to link.
    const vorbis_info* linkInfo = ov_info(file.get(), link);
    const int channels = linkInfo ? linkInfo->channels : 0;
    if (channels < 1) {
      error = "damaged Ogg Vorbis data";
      return false;
    }
    if (static_cast<int64_t>(stereo.size() / 2) + n > maxFrames) {
      error = "longer than " + std::to_string(TAudio::kMaxSampleSeconds) + " seconds";
      return false;
    }
    const int right = RightChannel(channels);
    for (long i = 0; i < n; ++i) {
      stereo.push_back(pcm[0][i]);
      stereo.push_back(pcm[right][i]);
    }
  }
  if (stereo.empty()) {
    error = "no sound in the file";
    return false;
  }
  return true;
}

// Linear interpolation to the mixer's rate.
std::vector<float> Resample(const std::vector<float>& in, long rate) {
  if (rate == TAudio::kRate) return in;
  const int64_t inFrames = static_cast<int64_t>(in.size() / 2);
  const int64_t outFrames = std::max<int64_t>(1, inFrames * TAudio::kRate / rate);
  std::vector<float> out(static_cast<size_t>(outFrames) * 2);
  const double step = static_cast<double>(rate) / TAudio::kRate;
  for (int64_t o = 0; o < outFrames; ++o) {
    const double x = static_cast<double>(o) * step;
    const int64_t i = std::min<int64_t>(static_cast<int64_t>(x), inFrames - 1);
    const int64_t j = std::min<int64_t>(i + 1, inFrames - 1);
    const float f = static_cast<float>(x - static_cast<double>(i));
    for (int c = 0; c < 2; ++c)
      out[static_cast<size_t>(o * 2 + c)] =
          in[static_cast<size_t>(i * 2 + c)] * (1 - f) + in[static_cast<size_t>(j * 2 + c)] * f;
  }
  return out;
}

int16_t Saturate(float v) {
  const float s = v * 32768.0f;
  if (s >= 32767.0f) return 32767;
  if (s <= -32768.0f) return -32768;
  return static_cast<int16_t>(s);
}

}  // namespace

struct TAudio::Impl {
  // Everything below it is shared with the device's thread.
  mutable std::mutex Mutex;
  std::map<TAudioHandle, std::unique_ptr<TSample>> Samples;
  std::map<TAudioHandle, TModule> Modules;
  std::vector<TPlayback> Playbacks;  // oldest first
  int Music = 100;
  int SampleGain = 100;
  bool Paused = false;
  TAudioHandle NextHandle = 1;
  std::vector<float> Mix;
  std::vector<float> ModuleBuffer;

  // Main thread only.
  SDL_AudioDeviceID Device = 0;
  std::string Driver;

  TAudioHandle NewHandleLocked() {
    TAudioHandle h;
    do {
      h = NextHandle++;
    } while (h == kNoAudio || h == 0 || Samples.count(h) || Modules.count(h) ||
             std::any_of(Playbacks.begin(), Playbacks.end(), [h](const TPlayback& p) { return p.Id == h; }));
    return h;
  }

  TVolume* ChannelVolumeLocked(TAudioHandle channel) {
    const auto m = Modules.find(channel);
    if (m != Modules.end()) return &m->second.Volume;
    for (TPlayback& p : Playbacks)
      if (p.Id == channel) return &p.Volume;
    return nullptr;
  }

  void MixLocked(int16_t* out, int frames) {
    if (Paused) {
      std::memset(out, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
      return;
    }
    while (frames > 0) {
      const int n = std::min(frames, kBlock);
      MixBlockLocked(out, n);
      out += 2 * n;
      frames -= n;
    }
  }

  void MixBlockLocked(int16_t* out, int frames) {
    const size_t values = static_cast<size_t>(frames) * 2;
    Mix.assign(values, 0.0f);
    ModuleBuffer.resize(values);
    const double music = Music / 10000.0;
    for (auto& [handle, module] : Modules) {
      if (!module.Playing) continue;
      const size_t got = openmpt_module_read_interleaved_float_stereo(module.Mod.get(), kRate,
                                                                       static_cast<size_t>(frames),
                                                                       ModuleBuffer.data());
      AddScaled(ModuleBuffer.data(), static_cast<int>(got), module.Volume, music);
      if (got < static_cast<size_t>(frames)) module.Playing = false;
    }
    const double samples = SampleGain / 10000.0;
    for (TPlayback& p : Playbacks) {
      const int n = static_cast<int>(std::min<int64_t>(frames, p.Data->Frames() - p.Pos));
      AddScaled(p.Data->Pcm.data() + p.Pos * 2, n, p.Volume, samples);
      p.Pos += n;
    }
    std::erase_if(Playbacks, [](const TPlayback& p) { return p.Pos >= p.Data->Frames(); });
    for (size_t i = 0; i < values; ++i) out[i] = Saturate(Mix[i]);
  }

  // Adds frames of stereo to the mix at the channel's volume times gain.
  void AddScaled(const float* src, int frames, TVolume& volume, double gain) {
    float* dst = Mix.data();
    if (!volume.Sliding()) {
      const float g = static_cast<float>(volume.Level * gain);
      if (g == 0.0f) return;
      for (int i = 0; i < frames * 2; ++i) dst[i] += src[i] * g;
      return;
    }
    for (int i = 0; i < frames; ++i) {
      const float g = static_cast<float>(volume.Next() * gain);
      dst[2 * i] += src[2 * i] * g;
      dst[2 * i + 1] += src[2 * i + 1] * g;
    }
  }

  static void Callback(void* user, Uint8* stream, int len) {
    auto* self = static_cast<Impl*>(user);
    std::lock_guard lock(self->Mutex);
    self->MixLocked(reinterpret_cast<int16_t*>(stream), len / static_cast<int>(sizeof(int16_t) * 2));
  }
};

TAudio::TAudio() : impl_(std::make_unique<Impl>()) {}

TAudio::~TAudio() { CloseDevice(); }

bool TAudio::OpenDevice(std::string& errorText) {
  CloseDevice();
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = kChannels;
  want.samples = kBlock;
  want.callback = &Impl::Callback;
  want.userdata = impl_.get();
  SDL_AudioSpec have{};
  auto tryOpen = [&]() -> bool {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    impl_->Device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (impl_->Device != 0) return true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  };
  if (!tryOpen()) {
    errorText = SDL_GetError();
    // No sound card: the dummy driver keeps the mixer's timing all the same.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    const bool opened = tryOpen();
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!opened) {
      errorText = "No audio output: " + errorText + "; " + SDL_GetError();
      return false;
    }
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  impl_->Driver = driver ? driver : "";
  // SDL holds its device lock while it calls the mixer, which then takes
  // ours: SDL is never called with our lock held, or the two could deadlock.
  SDL_PauseAudioDevice(impl_->Device, Paused() ? 1 : 0);
  return true;
}

void TAudio::CloseDevice() {
  if (impl_->Device == 0) return;
  // Waits for a running callback to finish.
  SDL_CloseAudioDevice(impl_->Device);
  impl_->Device = 0;
  impl_->Driver.clear();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TAudio::DeviceOpen() const { return impl_->Device != 0; }

std::string TAudio::DriverName() const { return impl_->Driver; }

void TAudio::Start() {
  {
    std::lock_guard lock(impl_->Mutex);
    impl_->Paused = false;
  }
  if (impl_->Device != 0) SDL_PauseAudioDevice(impl_->Device, 0);
}

void TAudio::Pause() {
  {
    std::lock_guard lock(impl_->Mutex);
    impl_->Paused = true;
  }
  if (impl_->Device != 0) SDL_PauseAudioDevice(impl_->Device, 1);
}

bool TAudio::Paused() const {
  std::lock_guard lock(impl_->Mutex);
  return impl_->Paused;
}

struct TDecodedSound {
  std::unique_ptr<TSample> Sample;  // a sample, or else
  TModulePtr Module;                // a module
};

std::shared_ptr<TDecodedSound> TAudio::DecodeSample(const void* data, size_t size, int maxPlaybacks,
                                                    std::string& errorText) {
  std::vector<float> stereo;
  long rate = kRate;
  if (!DecodeOgg(data, size, stereo, rate, errorText)) return nullptr;
  auto decoded = std::make_shared<TDecodedSound>();
  decoded->Sample = std::make_unique<TSample>();
  decoded->Sample->Pcm = Resample(stereo, rate);
  decoded->Sample->MaxPlaybacks = std::max(1, maxPlaybacks);
  return decoded;
}

std::shared_ptr<TDecodedSound> TAudio::DecodeModule(const void* data, size_t size, std::string& errorText) {
  if (!data || size == 0) {
    errorText = "empty module";
    return nullptr;
  }
  int error = 0;
  const char* message = nullptr;
  TModulePtr mod(openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, nullptr,
                                                    openmpt_error_func_ignore, nullptr, &error, &message, nullptr));
  if (!mod) {
    errorText = message && *message ? message : "not a music module";
    if (message) openmpt_free_string(message);
    return nullptr;
  }
  if (message) openmpt_free_string(message);
  openmpt_module_set_repeat_count(mod.get(), -1);  // music loops
  auto decoded = std::make_shared<TDecodedSound>();
  decoded->Module = std::move(mod);
  return decoded;
}

TAudioHandle TAudio::AddDecoded(std::shared_ptr<TDecodedSound> sound) {
  if (!sound || (!sound->Sample && !sound->Module)) return kNoAudio;
  std::lock_guard lock(impl_->Mutex);
  const TAudioHandle h = impl_->NewHandleLocked();
  if (sound->Sample) {
    impl_->Samples.emplace(h, std::move(sound->Sample));
  } else {
    TModule module;
    module.Mod = std::move(sound->Module);
    impl_->Modules.emplace(h, std::move(module));
  }
  return h;
}

TAudioHandle TAudio::LoadSample(const void* data, size_t size, int maxPlaybacks, std::string& errorText) {
  return AddDecoded(DecodeSample(data, size, maxPlaybacks, errorText));
}

TAudioHandle TAudio::LoadModule(const void* data, size_t size, std::string& errorText) {
  return AddDecoded(DecodeModule(data, size, errorText));
}

bool TAudio::Free(TAudioHandle handle) {
  // Taken out under the lock, destroyed after it, so the mix never waits on a free.
  std::unique_ptr<TSample> sample;
  TModulePtr mod;
  {
    std::lock_guard lock(impl_->Mutex);
    if (const auto s = impl_->Samples.find(handle); s != impl_->Samples.end()) {
      std::erase_if(impl_->Playbacks, [handle](const TPlayback& p) { return p.Sample == handle; });
      sample = std::move(s->second);
      impl_->Samples.erase(s);
    } else if (const auto m = impl_->Modules.find(handle); m != impl_->Modules.end()) {
      mod = std::move(m->second.Mod);
      impl_->Modules.erase(m);
    } else {
      return false;
    }
  }
  return true;
}

bool TAudio::IsSample(TAudioHandle handle) const {
  std::lock_guard lock(impl_->Mutex);
  return impl_->Samples.count(handle) > 0;
}

bool TAudio::IsModule(TAudioHandle handle) const {
  std::lock_guard lock(impl_->Mutex);
  return impl_->Modules.count(handle) > 0;
}

TAudioHandle TAudio::PlaySample(TAudioHandle sample, int volume) {
  std::lock_guard lock(impl_->Mutex);
  const auto s = impl_->Samples.find(sample);
  if (s == impl_->Samples.end()) return kNoAudio;
  auto& playbacks = impl_->Playbacks;
  const auto count = std::count_if(playbacks.begin(), playbacks.end(),
                                   [sample](const TPlayback& p) { return p.Sample == sample; });
  if (count >= s->second->MaxPlaybacks) {
    // The list is oldest first, so the first one of this sample is cut.
    playbacks.erase(std::find_if(playbacks.begin(), playbacks.end(),
                                 [sample](const TPlayback& p) { return p.Sample == sample; }));
  }
  TPlayback p;
  p.Id = impl_->NewHandleLocked();
  p.Sample = sample;
  p.Data = s->second.get();
  p.Volume.Set(volume);
  playbacks.push_back(p);
  return p.Id;
}

bool TAudio::PlayModule(TAudioHandle module, int orderPosition) {
  std::lock_guard lock(impl_->Mutex);
  const auto m = impl_->Modules.find(module);
  if (m == impl_->Modules.end()) return false;
  openmpt_module* mod = m->second.Mod.get();
  // A position past the song's end starts it from the top rather than not at all.
  if (orderPosition < 0 || orderPosition >= openmpt_module_get_num_orders(mod)) orderPosition = 0;
  openmpt_module_set_position_order_row(mod, orderPosition, 0);
  m->second.Playing = true;
  return true;
}

void TAudio::Stop(TAudioHandle handle) {
  std::lock_guard lock(impl_->Mutex);
  if (const auto m = impl_->Modules.find(handle); m != impl_->Modules.end()) {
    m->second.Playing = false;
    return;
  }
  std::erase_if(impl_->Playbacks, [handle](const TPlayback& p) { return p.Sample == handle || p.Id == handle; });
}

bool TAudio::IsPlaying(TAudioHandle handle) const {
  std::lock_guard lock(impl_->Mutex);
  if (const auto m = impl_->Modules.find(handle); m != impl_->Modules.end()) return m->second.Playing;
  return std::any_of(impl_->Playbacks.begin(), impl_->Playbacks.end(),
                     [handle](const TPlayback& p) { return p.Sample == handle || p.Id == handle; });
}

void TAudio::SetVolume(TAudioHandle channel, int volume) {
  std::lock_guard lock(impl_->Mutex);
  if (TVolume* v = impl_->ChannelVolumeLocked(channel)) v->Set(volume);
}

int TAudio::GetVolume(TAudioHandle channel) const {
  std::lock_guard lock(impl_->Mutex);
  const TVolume* v = impl_->ChannelVolumeLocked(channel);
  return v ? static_cast<int>(std::lrint(v->Level)) : -1;
}

void TAudio::SlideVolume(TAudioHandle channel, int volume, int ms) {
  std::lock_guard lock(impl_->Mutex);
  if (TVolume* v = impl_->ChannelVolumeLocked(channel)) v->Slide(volume, ms);
}

void TAudio::SetGlobalVolumes(int music, int samples) {
  std::lock_guard lock(impl_->Mutex);
  impl_->Music = std::clamp(music, 0, 100);
  impl_->SampleGain = std::clamp(samples, 0, 100);
}

int TAudio::MusicVolume() const {
  std::lock_guard lock(impl_->Mutex);
  return impl_->Music;
}

int TAudio::SampleVolume() const {
  std::lock_guard lock(impl_->Mutex);
  return impl_->SampleGain;
}

void TAudio::Render(int16_t* out, int frames) {
  if (frames <= 0) return;
  std::lock_guard lock(impl_->Mutex);
  impl_->MixLocked(out, frames);
}

}  // namespace qv
