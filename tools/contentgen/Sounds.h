// The game's samples: each synthesised and encoded as Ogg Vorbis.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Synth.h"

namespace contentgen {

struct SoundItem {
  std::string Name;  // archive entry name, such as "PutCard.ogg"
  std::function<Mono()> Make;
};

// Every sample the game and its widgets play, in a fixed order.
std::vector<SoundItem> SoundCatalogue();

// Mono samples at a rate as an Ogg Vorbis stream; the stream's serial number
// is fixed so that the same samples give the same bytes.
std::vector<uint8_t> EncodeVorbis(const Mono& sound, uint32_t serial);

void WriteSounds(const std::string& outputFolder);

}  // namespace contentgen
