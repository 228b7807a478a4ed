#include "platform/Audio.h"

#include <cstring>

namespace qv {

struct TAudio::Impl {
  int music = 100;
  int samples = 100;
  bool paused = false;
};

TAudio::TAudio() : impl_(std::make_unique<Impl>()) {}
TAudio::~TAudio() = default;
bool TAudio::OpenDevice(std::string& errorText) {
  errorText = "not built yet";
  return false;
}
void TAudio::CloseDevice() {}
bool TAudio::DeviceOpen() const { return false; }
std::string TAudio::DriverName() const { return {}; }
void TAudio::Start() { impl_->paused = false; }
void TAudio::Pause() { impl_->paused = true; }
bool TAudio::Paused() const { return impl_->paused; }
TAudioHandle TAudio::LoadSample(const void*, size_t, int, std::string& errorText) {
  errorText = "not built yet";
  return kNoAudio;
}
TAudioHandle TAudio::LoadModule(const void*, size_t, std::string& errorText) {
  errorText = "not built yet";
  return kNoAudio;
}
bool TAudio::Free(TAudioHandle) { return false; }
bool TAudio::IsSample(TAudioHandle) const { return false; }
bool TAudio::IsModule(TAudioHandle) const { return false; }
TAudioHandle TAudio::PlaySample(TAudioHandle, int) { return kNoAudio; }
bool TAudio::PlayModule(TAudioHandle, int) { return false; }
void TAudio::Stop(TAudioHandle) {}
bool TAudio::IsPlaying(TAudioHandle) const { return false; }
void TAudio::SetVolume(TAudioHandle, int) {}
int TAudio::GetVolume(TAudioHandle) const { return -1; }
void TAudio::SlideVolume(TAudioHandle, int, int) {}
void TAudio::SetGlobalVolumes(int music, int samples) {
  impl_->music = music;
  impl_->samples = samples;
}
int TAudio::MusicVolume() const { return impl_->music; }
int TAudio::SampleVolume() const { return impl_->samples; }
void TAudio::Render(int16_t* out, int frames) {
  if (frames > 0) std::memset(out, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
}

}  // namespace qv
