// Names of samples, pictures and widgets that the card game builds at run
// time instead of spelling them out. The content tests take every such name
// from here, so what the game asks for and what the archive and the interface
// description are checked for stay the same.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/GameTypes.h"

namespace qv {

// A card turn plays one of a few takes at random, "FlipCard1.ogg" upwards.
inline constexpr int32_t kFlipCardTakes = 3;
std::string FlipCardSample(int32_t take);
// The shortest run of cards that scores as a street.
inline constexpr int32_t kShortestStreet = 4;
// "StreetDone" + length + ".ogg" below seven cards, "StreetDone7More.ogg" from seven on.
std::string StreetSample(int32_t length);
// Every sample name the two above can give.
std::vector<std::string> BuiltSamples();

// "card_anime" + "R" (suits 2, 3) or "B" + "P" (Jack to Ace) or "N" + ".png".
std::string TurnPicture(const TCardType& type);
// The name of a wall's crash picture: the picture cut before ".png", then "A.png".
std::string WallCrashPicture(const std::string& picture);

// Widgets named after the level data: a zone's hint, a wall's and a bonus
// place's name (type from 0) and a level's name (map piece from 0).
std::string ZoneHint(std::string_view zonePicture);
std::string WallLabel(std::string_view wallPicture);
std::string BonusPlaceLabel(int32_t type);
std::string LevelNameLabel(int32_t piece);

}  // namespace qv
