// The game's music: little tunes composed from a chord plan by fixed rules
// (melody, arpeggio, bass, pad and drums) and written as Extended Module (XM)
// files with synthesised instruments. The game loads modules by their
// content, so the title music keeps its ".mo3" name while holding an XM.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace contentgen {

// One pattern of four bars: a chord per bar and the parts that play.
struct Section {
  int Chords[4] = {0, 0, 0, 0};  // scale degrees 0..6 of the key
  bool Melody = false;
  uint32_t MelodySeed = 1;
  bool EndOnTonic = false;  // the melody's last note resolves to the key note
  bool Arpeggio = false;
  int Bass = -1;  // bass figure 0..2, -1 none
  int Drums = 0;  // 0 none, 1 light, 2 full
  bool Pad = true;
  bool Fill = false;  // a snare fill ends the section
};

struct SongPlan {
  std::string Title;
  int Key = 60;  // the key note (MIDI number)
  bool Minor = false;
  int Bpm = 120;
  int Speed = 6;       // ticks per row
  int LeadTimbre = 0;  // 0 soft organ, 1 flute, 2 reed
  std::vector<Section> Patterns;
  std::vector<int> Orders;
  int Restart = 0;
};

// The title music and the four level tunes, by archive name.
struct MusicItem {
  std::string Name;
  SongPlan Plan;
};
std::vector<MusicItem> MusicCatalogue();

// The complete module file of a plan.
std::vector<uint8_t> WriteXm(const SongPlan& plan);

void WriteMusic(const std::string& outputFolder);

}  // namespace contentgen
