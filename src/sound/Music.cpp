#include "sound/Music.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

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

namespace {

std::shared_ptr<TDecodedSound> DecodeSound(const TMemoryStream& stream, TSoundKind kind, std::string& error) {
  return kind == skMusic ? TAudio::DecodeModule(stream.Memory(), static_cast<size_t>(stream.Size()), error)
                         : TAudio::DecodeSample(stream.Memory(), static_cast<size_t>(stream.Size()),
                                                TAudio::kMaxPlaybacks, error);
}

// The entry of that name takes the decoded sound; one that did not decode is
// not kept, so its name plays nothing rather than handing a dead handle to
// every later call.
void AddDecodedSound(std::string_view name, TSoundKind kind, std::shared_ptr<TDecodedSound> sound,
                     const std::string& error, TMusicList& list) {
  AddSound(name, list);
  const TAudioHandle handle = list.Audio->AddDecoded(std::move(sound));
  const int i = IndexOfSound(name, list);
  if (handle == kNoAudio) {
    Log::Write("Cannot load sound " + std::string(name) + ": " + error);
    DeleteSound(i, list);
    return;
  }
  TOneMusic& entry = list.Items[static_cast<size_t>(i)];
  entry.Kind = kind;
  entry.Handle = handle;
}

struct TSoundJob {
  std::string Name;
  TSoundKind Kind = skSample;
  const TMemoryStream* Stream = nullptr;  // null when the entry could not be read
  std::string Error;
  std::shared_ptr<TDecodedSound> Decoded;
  std::exception_ptr Failure;  // raised while decoding; raised again in turn
};

}  // namespace

void LoadSound(const TMemoryStream& stream, std::string_view name, TSoundKind kind, TMusicList& list) {
  std::string error;
  std::shared_ptr<TDecodedSound> sound = DecodeSound(stream, kind, error);
  AddDecodedSound(name, kind, std::move(sound), error, list);
}

void LoadSoundsFromFolder(TFileFolder& archive, TMusicList& list) {
  std::vector<TSoundJob> jobs;
  for (int i = 0; i < archive.Count(); ++i) {
    TSoundJob job;
    job.Name = archive.Dir[static_cast<size_t>(i)].GetName();
    // The test is exact: "OGG" or "Mo3" are not sounds.
    if (EndsWith(job.Name, "ogg"))
      job.Kind = skSample;
    else if (EndsWith(job.Name, "mo3"))
      job.Kind = skMusic;
    else
      continue;
    try {
      if (archive.MemFiles[static_cast<size_t>(i)].State == msOnDisk) archive.LoadFileAt(i);
      job.Stream = archive.MemFiles[static_cast<size_t>(i)].Stream.get();
    } catch (const std::exception& e) {
      job.Error = e.what();
    }
    jobs.push_back(std::move(job));
  }

  // Decoding every sample is a good part of the start and each one is
  // independent: a few worker threads share them. The sounds then go into
  // the list, and their errors into the log, in directory order as before.
  std::atomic<size_t> next{0};
  auto work = [&jobs, &next] {
    for (size_t k = next++; k < jobs.size(); k = next++) {
      TSoundJob& job = jobs[k];
      if (!job.Stream) continue;
      try {
        job.Decoded = DecodeSound(*job.Stream, job.Kind, job.Error);
      } catch (...) {
        job.Failure = std::current_exception();
      }
    }
  };
  const size_t workers = std::min<size_t>(jobs.size(), std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
  {
    std::vector<std::jthread> threads;
    try {
      for (size_t w = 1; w < workers; ++w) threads.emplace_back(work);
    } catch (const std::system_error&) {
      // Fewer helpers than hoped: this thread does the rest.
    }
    work();
  }

  for (TSoundJob& job : jobs) {
    if (!job.Stream) {
      Log::Write("Cannot load sound " + job.Name + ": " + job.Error);
      continue;
    }
    if (job.Failure) {
      AddSound(job.Name, list);
      std::rethrow_exception(job.Failure);
    }
    AddDecodedSound(job.Name, job.Kind, std::move(job.Decoded), job.Error, list);
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
