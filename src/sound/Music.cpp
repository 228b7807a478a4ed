#include "sound/Music.h"

#include <exception>

#include "foundation/FileFolder.h"
#include "foundation/Log.h"
#include "foundation/MemoryStream.h"

namespace qv {

namespace {

bool ValidIndex(int index, const TMusicList& list) {
  return index >= 0 && static_cast<size_t>(index) < list.Items.size();
}

bool EndsWith(std::string_view name, std::string_view tail) {
  return name.size() >= tail.size() && name.substr(name.size() - tail.size()) == tail;
}

}  // namespace

void AddSound(std::string_view name, TMusicList& list) {
  const int i = IndexOfSound(name, list);
  if (i >= 0) {
    FreeSound(i, list);
    return;
  }
  list.Items.push_back(TOneMusic{std::string(name), skSample, kNoAudio});
}

int IndexOfSound(std::string_view name, const TMusicList& list) {
  for (size_t i = 0; i < list.Items.size(); ++i)
    if (list.Items[i].Name == name) return static_cast<int>(i);
  return -1;
}

TAudioHandle GetSoundHandle(std::string_view name, const TMusicList& list) {
  const int i = IndexOfSound(name, list);
  return i < 0 ? kNoAudio : list.Items[static_cast<size_t>(i)].Handle;
}

void FreeSound(int index, TMusicList& list) {
  if (!ValidIndex(index, list)) return;
  TOneMusic& entry = list.Items[static_cast<size_t>(index)];
  if (entry.Handle != kNoAudio) list.Audio->Free(entry.Handle);
  entry.Handle = kNoAudio;
}

void DeleteSound(int index, TMusicList& list) {
  if (!ValidIndex(index, list)) return;
  FreeSound(index, list);
  list.Items.erase(list.Items.begin() + index);
}

void DeleteAllSounds(TMusicList& list) {
  while (!list.Items.empty()) DeleteSound(static_cast<int>(list.Items.size()) - 1, list);
}

void LoadSound(const TMemoryStream& stream, std::string_view name, TSoundKind kind, TMusicList& list) {
  AddSound(name, list);
  std::string error;
  const TAudioHandle handle =
      kind == skMusic ? list.Audio->LoadModule(stream.Memory(), static_cast<size_t>(stream.Size()), error)
                      : list.Audio->LoadSample(stream.Memory(), static_cast<size_t>(stream.Size()),
                                               TAudio::kMaxPlaybacks, error);
  const int i = IndexOfSound(name, list);
  if (handle == kNoAudio) {
    // A sound that cannot play is not kept, so its name plays nothing rather
    // than handing a dead handle to every later call.
    Log::Write("Cannot load sound " + std::string(name) + ": " + error);
    DeleteSound(i, list);
    return;
  }
  TOneMusic& entry = list.Items[static_cast<size_t>(i)];
  entry.Kind = kind;
  entry.Handle = handle;
}

void LoadSoundsFromFolder(TFileFolder& archive, TMusicList& list) {
  for (int i = 0; i < archive.Count(); ++i) {
    const std::string name = archive.Dir[static_cast<size_t>(i)].GetName();
    // The test is exact: "OGG" or "Mo3" are not sounds.
    TSoundKind kind;
    if (EndsWith(name, "ogg"))
      kind = skSample;
    else if (EndsWith(name, "mo3"))
      kind = skMusic;
    else
      continue;
    try {
      if (archive.MemFiles[static_cast<size_t>(i)].State == msOnDisk) archive.LoadFileAt(i);
    } catch (const std::exception& e) {
      Log::Write("Cannot load sound " + name + ": " + e.what());
      continue;
    }
    LoadSound(*archive.MemFiles[static_cast<size_t>(i)].Stream, name, kind, list);
  }
}

void PlaySoundByName(std::string_view name, TMusicList& list, int32_t musicVolume, int32_t sampleVolume,
                     uint16_t position, std::string& currentMusic, int32_t slideMs) {
  const int i = IndexOfSound(name, list);
  if (i < 0) return;
  const TOneMusic& entry = list.Items[static_cast<size_t>(i)];
  TAudio& audio = *list.Audio;
  if (entry.Kind == skSample) {
    if (sampleVolume != 0) audio.PlaySample(entry.Handle, sampleVolume);
    return;
  }
  if (musicVolume != 0) {
    audio.SetVolume(entry.Handle, 0);
    audio.SlideVolume(entry.Handle, musicVolume, slideMs);
    audio.PlayModule(entry.Handle, position);
  }
  currentMusic = std::string(name);
}

void StopSounds(const TMusicList& list, bool alsoSamples) {
  for (const TOneMusic& entry : list.Items)
    if (entry.Kind == skMusic || alsoSamples) list.Audio->Stop(entry.Handle);
}

}  // namespace qv
