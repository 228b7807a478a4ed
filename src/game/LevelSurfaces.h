// The surfaces of a level that are made once and then only copied each
// pass: the background with belt, shadows, glows, canvas, bonus place, point
// marks and written texts; the cover cut from the kingdom picture with its
// mask over enclosed cards; the castle outlines and the overview picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/FieldCanvas.h"
#include "game/GameServices.h"
#include "game/GameTypes.h"

namespace qv {

namespace fx {
class TQelMorph;
}

struct TShadowParams {
  int32_t ShiftX = 0;
  int32_t ShiftY = 0;
  int32_t Alpha = 0;
};

class TLevelSurfaces : public IFieldSurfaces {
 public:
  TLevelSurfaces(TGameState& state, const TGameServices& services, IFieldCanvas& canvas, IFieldHost& host)
      : S(state), Svc(services), C(canvas), Host(host) {}

  TShadowParams Shadow;

  void MakeWallOutlines() override;
  void MakeLevelSurfaces() override;
  void MakeCover() override;
  void ShowOverviewPicture() override;
  void DrawCoverMask() override;
  void DrawLevelTexts(const TQelXMLTag* drawText) override;

  // Makes the level surfaces anew and writes the texts of the level entry
  // (falling back to "Level42.xml"); after a change of language or display.
  void LoadLevelTexts(std::string_view entryName);
  // Stamps picture's alpha along the path's first function into target's alpha.
  void DrawPathLine(const fx::TQelMorph* path, std::string_view target, std::string_view picture);
  // The cover mask of the level-end sweep: only cards turned before t.
  void DrawCoverMaskBefore(int32_t t);

 private:
  void RecreateCleared(const std::string& name, bool fillPixels);
  void DrawRamps(std::string_view source, const TFrames& frames);
  void StampAtPoints(std::string_view picture, std::string_view target);
  const TMapPlace* CurrentPlace() const;

  TGameState& S;
  const TGameServices& Svc;
  IFieldCanvas& C;
  IFieldHost& Host;
};

// A glow is drawn only through a rising and falling ramp.
bool RampUsable(const TFrame& frame);

}  // namespace qv
