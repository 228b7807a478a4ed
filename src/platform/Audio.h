// The audio layer: one output device (44100 Hz, stereo, 16-bit) fed by a
// small mixer of our own. It holds samples (Ogg Vorbis, decoded once into
// memory at load) and music modules (any tracker format libopenmpt knows,
// told by content, not by name), plays them, slides channel volumes over time
// by itself and applies two global volumes, music and samples, 0..100.
//
// Every call comes from the main thread; the device pulls the mix on its own
// thread. Calls lock the mixer only for the moment they change it, never while
// decoding. Without a device (tests, tools) nothing is heard, every call still
// works, and Render pulls the mix by hand.
//
// Time in the mixer is mixed frames: a slide of 1000 ms ends after 44100
// frames have been mixed, so it stands still while the output is paused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

// Samples, modules and the playbacks of samples share one handle space.
// kNoAudio (the 32-bit -1) is never a valid handle.
using TAudioHandle = uint32_t;
inline constexpr TAudioHandle kNoAudio = 0xFFFFFFFFu;

// A sample's sound or a module, decoded but not yet in a mixer.
struct TDecodedSound;

class TAudio {
 public:
  static constexpr int kRate = 44100;
  static constexpr int kChannels = 2;
  // A sample sounds at most this many times at once by default; a further
  // playback cuts the oldest.
  static constexpr int kMaxPlaybacks = 5;
  // Longest sample accepted (decoded length); longer data is refused so that
  // a small file cannot make the program hold minutes of sound.
  static constexpr int kMaxSampleSeconds = 60;

  // Starts without a device: silent, paused is false, both global volumes 100.
  TAudio();
  // Closes the device and frees every sample and module.
  ~TAudio();
  TAudio(const TAudio&) = delete;
  TAudio& operator=(const TAudio&) = delete;

  // Opens the default output device, or SDL's dummy driver where there is no
  // real one. The output then plays unless paused. False, with a readable
  // text, only when not even the dummy driver opens.
  bool OpenDevice(std::string& errorText);
  void CloseDevice();
  bool DeviceOpen() const;
  // The name of the driver the device runs on ("" without a device).
  std::string DriverName() const;

  // Pause halts the whole output where it is (nothing advances, slides
  // included); Start resumes it.
  void Start();
  void Pause();
  bool Paused() const;

  // Decodes an Ogg Vorbis file from memory into a sample. kNoAudio, with a
  // readable text, when the bytes do not decode.
  TAudioHandle LoadSample(const void* data, size_t size, int maxPlaybacks, std::string& errorText);
  // Loads a music module from memory; it loops when played. kNoAudio, with a
  // readable text, when libopenmpt does not know the bytes.
  TAudioHandle LoadModule(const void* data, size_t size, std::string& errorText);
  // The decoding halves of LoadSample and LoadModule: they touch no mixer,
  // so several sounds may decode on worker threads at once. Null, with a
  // readable text, when the bytes do not decode.
  static std::shared_ptr<TDecodedSound> DecodeSample(const void* data, size_t size, int maxPlaybacks,
                                                     std::string& errorText);
  static std::shared_ptr<TDecodedSound> DecodeModule(const void* data, size_t size, std::string& errorText);
  // Puts a decoded sound into the mixer under a new handle, as loading does;
  // kNoAudio for null.
  TAudioHandle AddDecoded(std::shared_ptr<TDecodedSound> sound);
  // Frees a sample (with its playbacks) or a module; false for an unknown handle.
  bool Free(TAudioHandle handle);
  bool IsSample(TAudioHandle handle) const;
  bool IsModule(TAudioHandle handle) const;

  // Starts a new playback of a sample at a volume 0..100 and returns its
  // handle (kNoAudio for an unknown sample).
  TAudioHandle PlaySample(TAudioHandle sample, int volume);
  // Plays a module from an order position (its first row), from a fresh
  // state; a playing module restarts. Its channel volume stays as set.
  bool PlayModule(TAudioHandle module, int orderPosition);
  // A module stops; a sample stops every playback of it; a playback stops.
  void Stop(TAudioHandle handle);
  // A module is playing, or a sample or playback is sounding.
  bool IsPlaying(TAudioHandle handle) const;

  // The channel volume (0..100) of a module or a playback; setting it ends a
  // slide running on that channel. -1 from GetVolume for an unknown handle.
  void SetVolume(TAudioHandle channel, int volume);
  int GetVolume(TAudioHandle channel) const;
  // Moves a channel's volume to the target over ms milliseconds of output by
  // itself; 0 ms or less sets it at once.
  void SlideVolume(TAudioHandle channel, int volume, int ms);

  // Scales every module (music) and every playback (samples); 0..100.
  void SetGlobalVolumes(int music, int samples);
  int MusicVolume() const;
  int SampleVolume() const;

  // Mixes the next frames into interleaved stereo (2 * frames values), as the
  // device would receive them: silence while paused, and then nothing moves.
  void Render(int16_t* out, int frames);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qv
