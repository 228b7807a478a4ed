#include "game/GameNames.h"

#include "foundation/Numeric.h"

namespace qv {

std::string FlipCardSample(int32_t take) { return "FlipCard" + IntToStr(take) + ".ogg"; }

std::string StreetSample(int32_t length) {
  return length < 7 ? "StreetDone" + IntToStr(length) + ".ogg" : std::string("StreetDone7More.ogg");
}

std::vector<std::string> BuiltSamples() {
  std::vector<std::string> names;
  for (int32_t take = 1; take <= kFlipCardTakes; ++take) names.push_back(FlipCardSample(take));
  for (int32_t length = kShortestStreet; length <= 7; ++length) names.push_back(StreetSample(length));
  return names;
}

std::string TurnPicture(const TCardType& type) {
  std::string name = "card_anime";
  name += type.Suit >= 2 ? 'R' : 'B';
  name += type.Rank >= 9 ? 'P' : 'N';
  return name + ".png";
}

std::string WallCrashPicture(const std::string& picture) {
  const size_t png = picture.find(".png");
  return (png == std::string::npos ? std::string() : picture.substr(0, png)) + "A.png";
}

std::string ZoneHint(std::string_view zonePicture) { return "WGame_Hint_" + std::string(zonePicture); }
std::string WallLabel(std::string_view wallPicture) { return "WResource_LWall_" + std::string(wallPicture); }
std::string BonusPlaceLabel(int32_t type) { return "WResource_LBonusPlace" + IntToStr(int64_t{type} + 1); }
std::string LevelNameLabel(int32_t piece) { return "WResource_LLevelName" + IntToStr(int64_t{piece} + 1); }

}  // namespace qv
