// The drawing routines of every picture, grouped by what they show. Each
// returns a finished canvas; the catalogue decides names and file formats.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Lettering.h"

namespace contentgen {

// Fonts shared by all routines.
struct Fonts {
  Lettering& Sans;   // bold sans: ranks, numbers
  Lettering& Serif;  // bold serif: titles, face letters
};

// Suits as the card table numbers them: 0 spades, 1 clubs, 2 diamonds, 3 hearts.
bool InSuit(int suit, float x, float y);  // x, y in -1..1 around the symbol's centre
void DrawSuit(Canvas& c, int suit, float cx, float cy, float size, const Rgba& colour);
Rgba SuitColour(int suit);

// Cards and card-sized pictures (32 x 50).
Canvas CardFace(Fonts& f, int suit, int rank);
Canvas BonusCard(Fonts& f, int bonusType);  // 1 crop, 2 reverse, 3 pause, 4 joker
Canvas QuestCard(Fonts& f);
Canvas CardDress();
Canvas CardBackPrompt();
Canvas CardSlot(Fonts& f, const std::string& zone);  // point marks of the zones
Canvas StreetSlot(bool up);
Canvas CardFrameGlow();
Canvas BonusHalo();
Canvas CoverMask();
Canvas PointShadow();
Canvas PointMask();
Canvas TurnStrip(bool red, bool picture);
Canvas BonusCardSlot();
Canvas BonusPlaceBack(int positions);

// Field pieces.
Canvas Pen();
Canvas BeltPart();
Canvas BeltTexture(int variant);
Canvas CanvasTexture(int variant);
Canvas FieldFrame(Fonts& f);
Canvas CardPack();
Canvas EndHat();
Canvas Thief();
Canvas Sharper();
Canvas CursorStrip();
Canvas CastleLine(bool vertical);
Canvas CastleCorner();
Canvas HintWindow(int corner);  // 0 left-top, 1 right-top, 2 left, 3 right (Widgets.cpp)
Canvas Wall(int width, int height, int style);
Canvas WallCrashStrip(int width, int height, int style);
Canvas FlagStrip();
Canvas TorchFrame(int frame);
Canvas Amulet();
Canvas Lantern(bool lit);
Canvas MapMarker();
Canvas MapDot();

// Windows and widgets (Widgets.cpp).
struct WidgetPicture;
Canvas WidgetPictureCanvas(const WidgetPicture& picture);
// The title screen, or the loading screen, over a painting of the kingdom.
Canvas TitleBackground(Fonts& f, const Canvas& kingdom, bool loading);
// The maker's logo on the title screen, plain or under the pointer.
Canvas MakerLogo(Fonts& f, bool lit);

// Geometry of a level read from its file, so that its background leaves the
// board and the belts clear.
struct LevelShape {
  std::string BackPicture;
  std::vector<std::pair<float, float>> Points;
  std::vector<std::vector<std::pair<float, float>>> Belts;  // path nodes
  std::vector<std::array<float, 4>> Keep;  // rectangles to keep clear (left, top, right, bottom)
  int Theme = 0;
};
Canvas LevelBackground(Fonts& f, const LevelShape& shape);

// The kingdom: one painting drawn at any scale of the 800 x 600 map.
struct MapPiece {
  float X = 0, Y = 0;
};
Canvas Kingdom(const std::vector<MapPiece>& pieces, int scale, bool faded);
// Exact colours per piece (alpha 0 outside the land).
Canvas PieceMap(const std::vector<MapPiece>& pieces);
// White with an alpha falling from 255 at each piece's edge to 0 a few pixels inside.
Canvas PieceOutlines(const std::vector<MapPiece>& pieces);
Canvas MapFramePicture(Fonts& f);
uint32_t PieceColour(int index);
// Index of the piece owning a map pixel, -1 for the sea.
int PieceAt(const std::vector<MapPiece>& pieces, float x, float y);

}  // namespace contentgen
