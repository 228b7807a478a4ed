// The sound list: every sample (".ogg") and music module (".mo3") of the game,
// loaded once from the working archive into the audio layer, and played,
// stopped and freed by archive entry name. The shell owns the one list of the
// program, the name of the music last started and the two global volumes.
//
// An entry whose bytes do not decode is not kept: loading logs one line
// naming it, and playing its name does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Audio.h"

namespace qv {

class TFileFolder;
class TMemoryStream;

enum TSoundKind : uint8_t { skSample = 0, skMusic = 1 };

struct TOneMusic {
  std::string Name;  // the archive entry name, compared exactly
  uint8_t Kind = skSample;
  TAudioHandle Handle = kNoAudio;
};

// The entries in load order, over the audio layer that holds their objects.
// The list frees its objects only through DeleteSound/FreeSound; whatever is
// left is freed with the audio layer, which must outlive the list's use.
struct TMusicList {
  explicit TMusicList(TAudio& audio) : Audio(&audio) {}
  TAudio* Audio;
  std::vector<TOneMusic> Items;
};

// Makes sure an entry of that name exists: an existing one has its object
// freed and is reused (handle kNoAudio), otherwise an entry is appended.
void AddSound(std::string_view name, TMusicList& list);
// -1 when absent.
int IndexOfSound(std::string_view name, const TMusicList& list);
// kNoAudio (-1) when absent.
TAudioHandle GetSoundHandle(std::string_view name, const TMusicList& list);
// Frees the entry's object and removes the entry; a bad index does nothing.
void DeleteSound(int index, TMusicList& list);
// Frees the entry's object, keeping the entry without a handle.
void FreeSound(int index, TMusicList& list);
// Loads one sound from the whole stream into the entry of that name.
void LoadSound(const TMemoryStream& stream, std::string_view name, TSoundKind kind, TMusicList& list);
// Every archive entry whose name ends in "ogg" (a sample) or "mo3" (a music
// module), letter case exact, in directory order.
void LoadSoundsFromFolder(TFileFolder& archive, TMusicList& list);
// Plays one sound by name; a name not in the list does nothing.
// A sample plays once at sampleVolume (nothing at 0). A music module, unless
// musicVolume is 0, restarts from the order position with its volume sliding
// from silence to musicVolume over slideMs; it becomes currentMusic in every
// case, so that raising the music volume later can start it.
void PlaySoundByName(std::string_view name, TMusicList& list, int32_t musicVolume, int32_t sampleVolume,
                     uint16_t position, std::string& currentMusic, int32_t slideMs);
// Stops every music module, and every sample when alsoSamples.
void StopSounds(const TMusicList& list, bool alsoSamples);
// Deletes every entry (shut-down).
void DeleteAllSounds(TMusicList& list);

}  // namespace qv
