#include "shell/GameHints.h"

#include <string>

#include "foundation/Numeric.h"
#include "game/CardActions.h"
#include "shell/Shell.h"

namespace qv {

namespace {

struct TBalloonLook {
  const char* Picture;
  int32_t AnchorX;
  // The tip's height: from the hint's bottom for the balloons above the
  // place, from its top for those below.
  int32_t AnchorY;
  bool FromBottom;
  const char* VAlign;
};

TBalloonLook LookOf(TBalloon balloon) {
  switch (balloon) {
    case TBalloon::LeftTop:
      return {"HintWindowLeftTop.png", 88, 120, true, "pvaBottom"};
    case TBalloon::RightTop:
      return {"HintWindowRightTop.png", 174, 120, true, "pvaBottom"};
    case TBalloon::Left:
      return {"HintWindowLeft.png", 88, 122, false, "pvaTop"};
    case TBalloon::Right:
      break;
  }
  return {"HintWindowRight.png", 174, 122, false, "pvaTop"};
}

int32_t PropInt(IShellInterface& ui, std::string_view name, const char* prop) {
  int32_t value = 0;
  TryStrToInt(ui.GetProp(name, prop), value);
  return value;
}

}  // namespace

TBalloon ChooseBalloon(int type, int32_t x, int32_t y) {
  switch (type) {
    case 1:
      return TBalloon::LeftTop;
    case 2:
      return TBalloon::RightTop;
    case 3:
      return TBalloon::Left;
    case 4:
      return TBalloon::Right;
    default:
      break;
  }
  if (y < 300) return x < 350 ? TBalloon::LeftTop : TBalloon::RightTop;
  return x < 350 ? TBalloon::Left : TBalloon::Right;
}

void TGameHints::Install() {
  Sh.Widgets.PlaceHint = [this](std::string_view name, int32_t x, int32_t y, int type) {
    ShowGameHint(name, x, y, type);
  };
}

void TGameHints::ShowGameHint(std::string_view name, int32_t x, int32_t y, int type) {
  IShellInterface& UI = *Sh.UI;
  if (!UI.Exists(name)) return;
  TCardActions(Sh.Game, Sh.Svc).HideGameHints();
  Sh.Frame.DirtyRects.assign(1, kWholeScreen);
  const TSurface* current = Sh.Engine.Find(UI.GetProp(name, "Picture"));
  if (!current || !current->Surface) return;

  const TBalloonLook look = LookOf(ChooseBalloon(type, x, y));
  UI.SetProp(name, "Picture", look.Picture);
  UI.SetProp(name, "PictureVAlign", look.VAlign);
  const int32_t anchorY = look.FromBottom ? PropInt(UI, name, "Height") - look.AnchorY : look.AnchorY;
  const std::string top = UI.TopWindow();
  const int32_t windowLeft = top.empty() ? 0 : PropInt(UI, top, "Left");
  const int32_t windowTop = top.empty() ? 0 : PropInt(UI, top, "Top");
  UI.SetProp(name, "Left", IntToStr(int64_t{x} - windowLeft - look.AnchorX));
  UI.SetProp(name, "Top", IntToStr(int64_t{y} - windowTop - anchorY));
  UI.ShowHintWidget(name);
}

}  // namespace qv
