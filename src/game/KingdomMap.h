// The kingdom map: the piece masks cut from the colour-coded piece map, the
// coloured completed pieces, the choice of the level offered next, the
// highlight of the current piece and the next ones joined by a dotted path,
// and the small scripts that a put on a point runs (ShowPic, HidePic).
#pragma once

#include <array>
#include <cstdint>

#include "game/FieldCanvas.h"
#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

// One style of the map path: the ramp a1 < a2 < a3, an alpha and a colour.
struct TMapPathStyle {
  int32_t a1 = 0;
  int32_t a2 = 0;
  int32_t a3 = 0;
  int32_t Alpha = 0;
  int32_t Color = 0;
};

class TKingdomMap {
 public:
  TKingdomMap(TGameState& state, const TGameServices& services, IFieldCanvas& canvas)
      : S(state), Svc(services), C(canvas) {}

  // Record 0 styles the current piece, records 1..3 the next three.
  std::array<TMapPathStyle, 4> Styles{};

  void PrepareMapPieces();
  void ComposeMapPicture();
  void ComposeMapSelection();
  void DrawMapScreen();
  // Raises QelException "XML Error in Point Script!" for a script without tags.
  void RunPointScript(int32_t point);

 private:
  // The place of a level, or null for an index outside the map.
  TMapPlace* Place(int32_t level);
  // The border of a piece in "TempMapSelC", painted through a style's ramp.
  void PaintPieceBorder(const TMapPlace& place, const TMapPathStyle& style, uint8_t alpha);

  TGameState& S;
  const TGameServices& Svc;
  IFieldCanvas& C;
};

}  // namespace qv
