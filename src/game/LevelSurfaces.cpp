#include "game/LevelSurfaces.h"

#include <algorithm>

#include "effects/QelFXBase.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/SFunctions.h"
#include "game/FieldMath.h"

namespace qv {

namespace {

constexpr int32_t kScreenW = 800;
constexpr int32_t kScreenH = 600;
constexpr const char* kFallbackLevel = "Level42.xml";

uint8_t ClampByte(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

void Plain(IFieldCanvas& c, std::string_view source, std::string_view target, int32_t x, int32_t y) {
  c.Draw(source, target, x, y, 255, nullptr, 0, 0);
}

}  // namespace

bool RampUsable(const TFrame& f) { return f.a1 < f.a2 && f.a2 < f.a3; }

void TLevelSurfaces::MakeWallOutlines() {
  TLevel& L = S.Level;
  for (TZoneType& zone : L.Zones) {
    zone.CornerDots.clear();
    zone.VerticalEdges.clear();
    zone.HorizontalEdges.clear();
  }
  for (size_t z = 0; z < L.Zones.size(); ++z) {
    TZoneType& zone = L.Zones[z];
    if (!zone.Wall) continue;
    TPoints cells;
    for (size_t i = 0; i < L.Points.size() && i < L.PointZone.size(); ++i) {
      if (L.PointZone[i] == static_cast<int32_t>(z)) cells.push_back(L.Points[i]);
    }
    MakeCastleOutlines(cells, zone.CornerDots, zone.VerticalEdges, zone.HorizontalEdges);
  }
}

void TLevelSurfaces::RecreateCleared(const std::string& name, bool fillPixels) {
  C.CreateSurface(name, kScreenW, kScreenH);
  if (fillPixels) C.FillSurface(name, 0);
  C.FillAlpha(name, 0);
}

void TLevelSurfaces::DrawRamps(std::string_view source, const TFrames& frames) {
  for (const TFrame& f : frames) {
    if (!RampUsable(f)) continue;
    C.DrawAlphaRamp(source, "Background", 0, 0, nullptr, static_cast<uint32_t>(f.Color), f.a1, f.a2, f.a3,
                    std::clamp(f.AlphaMax, 0, 255));
  }
}

void TLevelSurfaces::StampAtPoints(std::string_view picture, std::string_view target) {
  int32_t w = 0, h = 0;
  if (!C.GetSize(picture, w, h)) return;
  for (const TGamePoint& p : S.Level.Points) C.CombineAlpha(picture, target, p.X - w / 2, p.Y - h / 2, nullptr, 255);
}

void TLevelSurfaces::MakeLevelSurfaces() {
  TLevel& L = S.Level;
  const fx::TQelMorph* path = L.Belts.empty() ? nullptr : L.Belts[0].Path.get();

  Plain(C, L.BackPicture, "Background", 0, 0);

  RecreateCleared("LentaShadow", true);
  DrawPathLine(path, "LentaShadow", "Pen1.png");

  C.CreateSurface("LevelLenta", kScreenW, kScreenH);
  C.FillAlpha("LevelLenta", 0);
  Plain(C, L.LentaFramesBack, "LevelLenta", 0, 0);
  DrawPathLine(path, "LevelLenta", "Pen1.png");

  const uint8_t shadowAlpha = ClampByte(Shadow.Alpha);
  C.Draw("LentaShadow", "Background", Shadow.ShiftX, Shadow.ShiftY, shadowAlpha, nullptr, 0, 0);
  Plain(C, "LevelLenta", "Background", 0, 0);
  DrawRamps("LevelLenta", L.LentaFrames);

  RecreateCleared("LevelShadow", true);
  StampAtPoints("Shadow.png", "LevelShadow");
  C.Draw("LevelShadow", "Background", Shadow.ShiftX, Shadow.ShiftY, shadowAlpha, nullptr, 0, 0);

  C.CreateSurface("LevelCanvas", kScreenW, kScreenH);
  C.FillAlpha("LevelCanvas", 0);
  Plain(C, L.LevelFramesBack, "LevelCanvas", 0, 0);
  StampAtPoints("Mask.png", "LevelCanvas");
  Plain(C, "LevelCanvas", "Background", 0, 0);

  DrawRamps("LevelShadow", L.LevelFrames);

  if (L.BonusPlaceType >= 0 && L.BonusPlaceType < static_cast<int32_t>(S.BonusPlaceTypes.size())) {
    const TBonusPlaceType& bp = S.BonusPlaceTypes[static_cast<size_t>(L.BonusPlaceType)];
    Plain(C, bp.PictureBack, "Background", L.BonusPlaceX, L.BonusPlaceY);
    for (const TGamePoint& p : bp.Points) {
      Plain(C, bp.PictureCardBack, "Background", p.X + L.BonusPlaceX - 16, p.Y + L.BonusPlaceY - 25);
    }
  }

  for (size_t i = 0; i < L.Points.size(); ++i) {
    const uint8_t street = i < L.StreetTypes.size() ? L.StreetTypes[i] : uint8_t{stNone};
    std::string mark;
    if (street == stUp) {
      mark = "CardBackStrUp.png";
    } else if (street == stDown) {
      mark = "CardBackStrDown.png";
    } else if (i < L.PointZone.size() && L.PointZone[i] >= 0 &&
               L.PointZone[i] < static_cast<int32_t>(L.Zones.size())) {
      mark = L.Zones[static_cast<size_t>(L.PointZone[i])].Picture;
    }
    if (!mark.empty()) Plain(C, mark, "Background", L.Points[i].X - 16, L.Points[i].Y - 25);
  }

  Plain(C, "Frame.png", "Background", 0, 0);
}

void TLevelSurfaces::DrawPathLine(const fx::TQelMorph* path, std::string_view target, std::string_view picture) {
  if (!path) return;
  const fx::TQelMorphFunc* f = path->GetFunc(0);
  int32_t w = 0, h = 0;
  if (!f || !C.GetSize(picture, w, h)) return;
  const auto* piecewise = dynamic_cast<const fx::TQelPiecewiseFunc*>(f);
  const uint32_t duration = piecewise ? piecewise->TotalDuration : 0;
  const int32_t hw = static_cast<int32_t>(static_cast<uint32_t>(w) / 2);
  const int32_t hh = static_cast<int32_t>(static_cast<uint32_t>(h) / 2);
  bool first = true;
  int32_t lastX = 0, lastY = 0;
  for (uint32_t t = 0; t <= duration; ++t) {
    fx::TVector3 v;
    f->GetValue(t, false, v);
    const int32_t x = Round(std::clamp<double>(v.x, -1e6, 1e6));
    const int32_t y = Round(std::clamp<double>(v.y, -1e6, 1e6));
    if (first || x != lastX || y != lastY) {
      C.CombineAlpha(picture, target, x - hw, y - hh, nullptr, 255);
      lastX = x;
      lastY = y;
      first = false;
    }
  }
}

const TMapPlace* TLevelSurfaces::CurrentPlace() const {
  const TGame& G = S.Game;
  if (G.CurLevel < 0 || G.CurLevel >= static_cast<int32_t>(G.MapPlaces.size())) return nullptr;
  return &G.MapPlaces[static_cast<size_t>(G.CurLevel)];
}

void TLevelSurfaces::MakeCover() {
  const TMapPlace* place = CurrentPlace();
  if (!place || !Svc.Archive->HasEntry("BackZamok.jpg")) return;
  std::string jpeg;
  try {
    jpeg = Svc.Archive->ReadEntry("BackZamok.jpg");
  } catch (const std::exception&) {
    return;
  }
  if (!C.Exists("Cover")) C.CreateSurface("Cover", kScreenW, kScreenH);
  C.CopyJpegWindow(jpeg, "Cover", CoverWindow(place->x, place->y));
}

void TLevelSurfaces::DrawCoverMask() {
  C.FillAlpha("Cover", 0);
  const TLevel& L = S.Level;
  for (size_t i = 0; i < L.PointsBusy.size() && i < L.Points.size(); ++i) {
    const int32_t card = L.PointsBusy[i];
    if (card < 0 || card >= static_cast<int32_t>(S.Cards.size())) continue;
    if (S.Cards[static_cast<size_t>(card)].State != csEnclosed) continue;
    C.CombineAlpha("CoverMask.png", "Cover", L.Points[i].X - 16, L.Points[i].Y - 25, nullptr, 255);
  }
}

void TLevelSurfaces::DrawCoverMaskBefore(int32_t t) {
  C.FillAlpha("Cover", 0);
  const TLevel& L = S.Level;
  for (size_t i = 0; i < L.PointsBusy.size() && i < L.Points.size(); ++i) {
    const int32_t card = L.PointsBusy[i];
    if (card < 0 || card >= static_cast<int32_t>(S.Cards.size())) continue;
    const TCard& c = S.Cards[static_cast<size_t>(card)];
    if (c.State != csEnclosed || !(c.ShowTime < t)) continue;
    C.CombineAlpha("CoverMask.png", "Cover", L.Points[i].X - 16, L.Points[i].Y - 25, nullptr, 255);
  }
}

void TLevelSurfaces::ShowOverviewPicture() {
  const TMapPlace* place = CurrentPlace();
  if (!place) return;
  const TRect& b = place->Bounds;
  // An empty piece still gets its two-pixel border, never a negative size.
  const int32_t w = std::max(b.Right - b.Left + 1, 0) + 2;
  const int32_t h = std::max(b.Bottom - b.Top + 1, 0) + 2;
  C.DeleteSurface("OverviewPic");
  C.CreateSurface("OverviewPic", w, h);
  if (b.Right >= b.Left && b.Bottom >= b.Top) {
    const TRect source{b.Left, b.Top, b.Right + 1, b.Bottom + 1};
    C.DrawOpaque("MapComplete.jpg", "OverviewPic", 1, 1, &source);
  }
  Host.SetLabelPictures("WOverview_LOverview", "OverviewPic");
}

void TLevelSurfaces::DrawLevelTexts(const TQelXMLTag* drawText) {
  std::string castles, streets;
  if (drawText) {
    int32_t x = 0, y = 0, width = 0, angle = 0, color = 0;
    std::string label;
    auto read = [](const TQelXMLTag* tag, std::string_view name, int32_t& value) {
      if (const TQelParserAttribute* a = tag->FindAttribute(name)) value = StrToIntVal(a->Value);
    };
    for (int i = 0; i < drawText->TagCount(); ++i) {
      const TQelXMLTag* text = drawText->GetTag(i);
      if (!text || text->Name != "Text") continue;
      read(text, "x", x);
      read(text, "y", y);
      read(text, "Width", width);
      read(text, "Angle", angle);
      read(text, "Color", color);
      if (const TQelParserAttribute* a = text->FindAttribute("ResLabel")) label = a->Value;
      Host.DrawLabelOnPicture("WGame_LTemp", label, x, y, width, angle, color, "Background");
      const std::string caption = Svc.Widgets->GetCaption(label);
      auto append = [&caption](std::string& list) {
        if (!list.empty()) list += ", ";
        list += caption;
      };
      if (label.find("Castle") != std::string::npos) append(castles);
      if (label.find("Street") != std::string::npos) append(streets);
    }
  }
  Svc.Widgets->SetCaption("WOverview_LCastleName", castles.empty() ? "-" : castles);
  Svc.Widgets->SetCaption("WOverview_LStreetName", streets.empty() ? "-" : streets);
}

void TLevelSurfaces::LoadLevelTexts(std::string_view entryName) {
  std::string name(entryName);
  if (!Svc.Archive->HasEntry(name)) name = kFallbackLevel;
  const std::string text = Svc.Archive->ReadEntry(name);
  TQelParser parser;
  parser.LoadFromText(text);
  const TQelXMLTag* root = parser.GetTag(0);
  if (!root) throw QelException(name + "XML file does not has tags!");
  MakeLevelSurfaces();
  DrawLevelTexts(root->FindTag("DrawText"));
}

}  // namespace qv
