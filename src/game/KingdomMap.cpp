#include "game/KingdomMap.h"

#include <algorithm>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "game/FieldMath.h"

namespace qv {

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

bool NonEmpty(const TRect& r) { return r.Left <= r.Right && r.Top <= r.Bottom; }

size_t MaskSize(const TRect& r) {
  return NonEmpty(r) ? static_cast<size_t>(r.Right - r.Left + 1) * static_cast<size_t>(r.Bottom - r.Top + 1) : 0;
}

void Plain(IFieldCanvas& c, std::string_view source, std::string_view target, int32_t x, int32_t y) {
  c.Draw(source, target, x, y, 255, nullptr, 0, 0);
}

}  // namespace

TMapPlace* TKingdomMap::Place(int32_t level) {
  if (level < 0 || level >= static_cast<int32_t>(S.Game.MapPlaces.size())) return nullptr;
  return &S.Game.MapPlaces[static_cast<size_t>(level)];
}

void TKingdomMap::PrepareMapPieces() {
  C.DrawOpaque("MapComplete.jpg", "TempMapSel", 0, 0, nullptr);
  for (TMapPlace& place : S.Game.MapPlaces) {
    TRect bounds = C.ColorKeyToAlpha("Map.png", "TempMapSelC", TPoint{place.x, place.y}, nullptr, 255);
    place.Bounds = bounds;
    place.Mask.clear();
    // A point that finds no piece gives an empty mask, never a negative size.
    if (!NonEmpty(bounds) || !C.ReadAlpha("TempMapSelC", bounds, place.Mask)) {
      place.Mask.clear();
    }
  }
}

void TKingdomMap::ComposeMapPicture() {
  TGame& G = S.Game;
  std::vector<TPoint> points;
  for (int32_t level : G.MapComplete) {
    if (const TMapPlace* p = Place(level)) points.push_back({p->x, p->y});
  }
  C.ColorSetToAlpha("Map.png", "MapComplete.jpg", points, nullptr, 255);
  C.MultiplyAlpha("Map.png", "MapComplete.jpg", 0, 0, nullptr);
  if (!G.MapComplete.empty()) G.MapNearComplete.clear();
  const int32_t k = IndexOfInt(G.PieceOrder, G.CurLevel);
  if (k >= 0 && k + 1 < static_cast<int32_t>(G.PieceOrder.size())) {
    G.MapNearComplete.assign(1, G.PieceOrder[static_cast<size_t>(k + 1)]);
  }
}

void TKingdomMap::PaintPieceBorder(const TMapPlace& place, const TMapPathStyle& style, uint8_t alpha) {
  const TRect& b = place.Bounds;
  C.MultiplyAlpha("MapOutlines.png", "TempMapSelC", b.Left, b.Top, &b);
  if (style.a1 < style.a2 && style.a2 < style.a3) {
    C.DrawAlphaRamp("TempMapSelC", "TempMapSelC", b.Left, b.Top, &b, kWhite, style.a1, style.a2, style.a3, 255);
  }
  C.ChannelToAlpha("TempMapSelC", "TempMapSelC", &b, 0);
  // The bounds are inclusive but BlendRect takes exclusive right and bottom
  // edges: without the +1 the piece's last column and row stayed untinted.
  C.BlendRect("TempMapSelC", TRect{b.Left, b.Top, b.Right + 1, b.Bottom + 1}, static_cast<uint32_t>(style.Color),
              alpha);
}

void TKingdomMap::ComposeMapSelection() {
  C.FillSurface("TempMapSelC", 0);
  const TMapPlace* place = Place(S.Game.MapLevel);
  if (!place) return;
  const TRect& b = place->Bounds;
  C.FillAlpha("TempMapSel", 0);
  if (!NonEmpty(b) || place->Mask.size() < MaskSize(b)) return;
  C.WriteAlpha("TempMapSel", b, place->Mask);
  C.FillAlpha("TempMapSelC", 0);
  C.CombineAlpha("TempMapSel", "TempMapSelC", 0, 0, nullptr, 255);
  const TMapPathStyle& style = Styles[0];
  PaintPieceBorder(*place, style, static_cast<uint8_t>(std::clamp(style.Alpha, 0, 255)));
}

void TKingdomMap::DrawMapScreen() {
  TGame& G = S.Game;
  if (G.GameMode != gmMap) return;
  ComposeMapPicture();
  Plain(C, G.MapBackPicture, "Background", 0, 0);
  Plain(C, "MapComplete.jpg", "Background", 0, 0);
  Plain(C, "MapFrame.png", "Background", 0, 0);

  const TMapPlace* current = Place(G.MapLevel);
  if (!current) return;
  // A current piece missing from the order counts from its start (k = -1).
  const int32_t k = IndexOfInt(G.PieceOrder, G.MapLevel);
  int32_t fx = current->x, fy = current->y;
  int32_t w2 = 0, h2 = 0, w3 = 0, h3 = 0;
  C.GetSize("particle2.png", w2, h2);
  const bool dots = C.GetSize("particle3.png", w3, h3);
  for (int32_t i = 0; i < 3; ++i) {
    const int64_t next = static_cast<int64_t>(k) + i + 1;
    if (next >= static_cast<int64_t>(G.PieceOrder.size())) break;
    const TMapPlace* q = Place(G.PieceOrder[static_cast<size_t>(next)]);
    if (!q) break;
    const TMapPathStyle& style = Styles[static_cast<size_t>(i + 1)];
    const uint8_t alpha = static_cast<uint8_t>(std::clamp(style.Alpha, 0, 255));
    const TRect& b = q->Bounds;
    if (NonEmpty(b) && q->Mask.size() >= MaskSize(b)) {
      C.FillSurface("TempMapSelC", 0);
      C.FillAlpha("TempMapSelC", 0);
      C.WriteAlpha("TempMapSelC", b, q->Mask);
      PaintPieceBorder(*q, style, 255);
      C.Draw("TempMapSelC", "Background", b.Left, b.Top, alpha, &b, 0, 0);
    }
    C.Draw("particle2.png", "Background", q->x - Div(w2, 2), q->y - Div(h2, 2), alpha, nullptr, 0, 0);
    if (dots) {
      for (const TGamePoint& d : MapPathDots(fx, fy, q->x, q->y, w3, h3)) Plain(C, "particle3.png", "Background", d.X, d.Y);
    }
    fx = q->x - Div(w2, 2);
    fy = q->y - Div(h2, 2);
  }
}

void TKingdomMap::RunPointScript(int32_t point) {
  const TLevel& L = S.Level;
  if (point < 0 || point >= static_cast<int32_t>(L.PointScripts.size())) return;
  const std::string& script = L.PointScripts[static_cast<size_t>(point)];
  if (script.empty()) return;
  TQelParser parser;
  parser.LoadFromText(script);
  const TQelXMLTag* root = parser.GetTag(0);
  if (!root) throw QelException("XML Error in Point Script!");
  const int32_t now = Svc.Clock->Now();
  auto nameOf = [](const TQelXMLTag* tag) -> std::string {
    const TQelParserAttribute* a = tag ? tag->FindAttribute("Name") : nullptr;
    return a ? a->Value : std::string();
  };
  if (const TQelXMLTag* show = root->FindTag("ShowPic")) {
    const std::string name = nameOf(show);
    for (TLevelPicture& pic : S.Level.Pictures) {
      if (pic.Name != name) continue;
      pic.FlashStart = now;
      pic.FlashEnd = now + 800;
      pic.FlashCount = 2;
      pic.FlashAmplitude = 200;
      pic.Visible = true;
      Svc.Sound->PlaySample("StreetDone.ogg");
      S.Game.FullRedrawTime = now + 900;
    }
  }
  if (const TQelXMLTag* hide = root->FindTag("HidePic")) {
    const std::string name = nameOf(hide);
    for (TLevelPicture& pic : S.Level.Pictures) {
      if (pic.Name == name) pic.Visible = false;
    }
  }
}

}  // namespace qv
