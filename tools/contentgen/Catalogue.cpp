#include "Catalogue.h"

#include "Interface.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "effects/QelFXBase.h"
#include "foundation/Files.h"
#include "foundation/MemoryStream.h"
#include "foundation/Numeric.h"
#include "foundation/QelParser.h"
#include "foundation/SFunctions.h"
#include "graphics/PictureCodec.h"

namespace contentgen {

namespace fs = std::filesystem;

namespace {

// Every tag of that name anywhere in the file, in document order.
void CollectTags(const qv::TQelXMLTag& tag, const std::string& name, std::vector<const qv::TQelXMLTag*>& out) {
  for (const auto& child : tag.Tags) {
    if (child->Name == name) out.push_back(child.get());
    CollectTags(*child, name, out);
  }
}

std::vector<const qv::TQelXMLTag*> Tags(const qv::TQelParser& file, const std::string& name) {
  std::vector<const qv::TQelXMLTag*> out;
  CollectTags(file, name, out);
  return out;
}

std::string AttrText(const qv::TQelXMLTag& tag, const std::string& name) {
  const qv::TQelParserAttribute* a = tag.FindAttribute(name);
  return a ? a->Value : std::string();
}

float Attr(const qv::TQelXMLTag& tag, const std::string& name) {
  return static_cast<float>(qv::StrToFloatVal(AttrText(tag, name)));
}

void Load(qv::TQelParser& parser, const fs::path& path) {
  parser.LoadFromFile(path);
  if (parser.Tags.empty()) throw std::runtime_error(path.string() + " holds no tags");
}

// The board, the belts and the background name of one level file.
LevelShape ReadLevelShape(const fs::path& path) {
  qv::TQelParser file;
  Load(file, path);
  LevelShape s;
  const auto roots = Tags(file, "Level");
  if (!roots.empty()) s.BackPicture = AttrText(*roots.front(), "BackPicture");
  for (const auto* tag : Tags(file, "point")) s.Points.emplace_back(Attr(*tag, "X"), Attr(*tag, "Y"));
  // The bonus place: its picture is 16 + 40 pixels a position wide and 74 high.
  for (const auto* tag : Tags(file, "BonusPlace")) {
    const float x = Attr(*tag, "x"), y = Attr(*tag, "y"), positions = Attr(*tag, "Type") + 1;
    s.Keep.push_back({x, y, x + 16 + 40 * positions, y + 74});
  }
  // The belt as the game will move it: the path script evaluated by the
  // effects engine, one point every 20 ms.
  for (const auto* tag : Tags(file, "Path")) {
    auto path = qv::fx::TQelPiecewiseFunc::CreateFromScript("Lenta", tag->Text, 2);
    std::vector<std::pair<float, float>> nodes;
    for (uint32_t t = 0; t <= path->TotalDuration; t += 20) {
      qv::fx::TVector3 v;
      path->GetValue(t, false, v);
      nodes.emplace_back(v.x, v.y);
    }
    s.Belts.push_back(nodes);
  }
  return s;
}

std::vector<MapPiece> ReadMapPieces(const fs::path& path) {
  qv::TQelParser file;
  Load(file, path);
  std::vector<MapPiece> pieces;
  for (const auto* tag : Tags(file, "Piece")) pieces.push_back(MapPiece{Attr(*tag, "x"), Attr(*tag, "y")});
  return pieces;
}

// Each background has its own look; the number is the one in its name.
int ThemeOf(const std::string& backPicture) {
  static const std::map<std::string, int> themes = {
      {"Back42.jpg", 0}, {"Back1.jpg", 2}, {"Back2.jpg", 1}, {"Back3.jpg", 5},
      {"Back10.jpg", 4}, {"Back9.jpg", 6}, {"Back4.jpg", 3}, {"Back5.jpg", 7}};
  auto it = themes.find(backPicture);
  return it == themes.end() ? 0 : it->second;
}

uint8_t ToByte(float v) { return uint8_t(std::clamp(qv::Round(v * 255.0), 0, 255)); }

// Transparent pixels take the colour of their nearest drawn neighbours, so the
// JPEG half of a packed picture has no dark seams at soft edges.
Canvas Bleed(const Canvas& src) {
  Canvas c = src;
  int w = c.Width(), h = c.Height();
  std::vector<uint8_t> known(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) known[size_t(y) * size_t(w) + size_t(x)] = c.Get(x, y).A > 0.0f;
  for (int pass = 0; pass < 6; ++pass) {
    std::vector<uint8_t> next = known;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (known[size_t(y) * size_t(w) + size_t(x)]) continue;
        float r = 0, g = 0, b = 0;
        int n = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || !known[size_t(ny) * size_t(w) + size_t(nx)]) continue;
            Rgba p = c.Get(nx, ny);
            r += p.R;
            g += p.G;
            b += p.B;
            ++n;
          }
        if (n) {
          c.Set(x, y, Rgba{r / float(n), g / float(n), b / float(n), 0.0f});
          next[size_t(y) * size_t(w) + size_t(x)] = 1;
        }
      }
    known.swap(next);
  }
  return c;
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  qv::TMemoryStream s;
  s.Write(bytes.data(), bytes.size());
  s.SaveToFile(path);
}

}  // namespace

void SavePicture(const Canvas& canvas, Stage form, const std::string& path) {
  const Canvas c = form == Stage::Alpha ? Bleed(canvas) : canvas;
  int w = c.Width(), h = c.Height();
  if (form == Stage::Jpeg) {
    qv::TBitmap24 bmp;
    bmp.Resize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        Rgba p = c.Get(x, y);
        uint8_t* px = bmp.Row(y) + size_t(x) * 3;
        px[0] = ToByte(p.B);
        px[1] = ToByte(p.G);
        px[2] = ToByte(p.R);
      }
    WriteBytes(path, qv::EncodeJPEG(bmp, 92));
    return;
  }
  qv::TPngImage img;
  img.Resize(w, h);
  img.Alpha.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Rgba p = c.Get(x, y);
      uint8_t* px = img.Row(y) + size_t(x) * 3;
      px[0] = ToByte(p.B);
      px[1] = ToByte(p.G);
      px[2] = ToByte(p.R);
      img.AlphaRow(y)[x] = ToByte(p.A);
    }
  img.ColorType = qv::kPngRGBAlpha;
  WriteBytes(path, qv::EncodePNG(img));
}

namespace {

std::string Base(const std::string& name) { return name.substr(0, name.find('.')); }

constexpr int kCol = 38;  // horizontal pitch of the boards' points
constexpr int kRow = 56;  // vertical pitch

}  // namespace

std::string StagedName(const PictureItem& item) {
  switch (item.Form) {
    case Stage::Alpha:
      return Base(item.Name) + ".PNG";
    case Stage::Jpeg:
      return Base(item.Name) + ".jpg";
    case Stage::Exact:
      return Base(item.Name) + ".png";
  }
  return item.Name;
}

std::vector<PictureItem> BuildCatalogue(const std::string& contentFolder, Fonts& f) {
  std::vector<PictureItem> items;
  auto add = [&](std::string name, Stage form, std::function<Canvas()> draw) {
    items.push_back(PictureItem{std::move(name), form, std::move(draw)});
  };
  static const char* ranks[13] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
  static const char* suits[4] = {"_piki.png", "_kresti.png", "_bubny.png", "_chervi.png"};
  for (int s = 0; s < 4; ++s)
    for (int r = 0; r < 13; ++r)
      add(std::string(ranks[r]) + suits[s], Stage::Alpha, [&f, s, r] { return CardFace(f, s, r); });
  add("CardCrop.png", Stage::Alpha, [&f] { return BonusCard(f, 1); });
  add("CardReverce.png", Stage::Alpha, [&f] { return BonusCard(f, 2); });
  add("CardPause.png", Stage::Alpha, [&f] { return BonusCard(f, 3); });
  add("joker.png", Stage::Alpha, [&f] { return BonusCard(f, 4); });
  add("CardQuest.png", Stage::Alpha, [&f] { return QuestCard(f); });
  add("CardDress.png", Stage::Alpha, [] { return CardDress(); });
  add("CardBack.png", Stage::Alpha, [] { return CardBackPrompt(); });
  add("CardBackStrUp.png", Stage::Alpha, [] { return StreetSlot(true); });
  add("CardFrame.png", Stage::Alpha, [] { return CardFrameGlow(); });
  add("BonusOreol.png", Stage::Alpha, [] { return BonusHalo(); });
  add("CoverMask.png", Stage::Alpha, [] { return CoverMask(); });
  add("Shadow.png", Stage::Alpha, [] { return PointShadow(); });
  add("Mask.png", Stage::Alpha, [] { return PointMask(); });
  add("Pen1.png", Stage::Alpha, [] { return Pen(); });
  for (const char* zone : {"All", "Red", "Black", "Spades", "Clubs", "Diamonds", "Hearts", "Low", "High", "Castle"})
    add(std::string("Zone") + zone + ".png", Stage::Alpha, [&f, zone] { return CardSlot(f, zone); });
  add("card_animeRP.png", Stage::Alpha, [] { return TurnStrip(true, true); });
  add("card_animeRN.png", Stage::Alpha, [] { return TurnStrip(true, false); });
  add("card_animeBP.png", Stage::Alpha, [] { return TurnStrip(false, true); });
  add("card_animeBN.png", Stage::Alpha, [] { return TurnStrip(false, false); });
  for (int n = 1; n <= 3; ++n)
    add("BonusPlace" + std::to_string(n) + ".png", Stage::Alpha, [n] { return BonusPlaceBack(n); });
  add("BonusCardBack.png", Stage::Alpha, [] { return BonusCardSlot(); });
  add("LentaPart.png", Stage::Alpha, [] { return BeltPart(); });
  add("LentaBack1.jpg", Stage::Jpeg, [] { return BeltTexture(0); });
  add("LentaBack2.jpg", Stage::Jpeg, [] { return BeltTexture(1); });
  add("CanvasBack1.jpg", Stage::Jpeg, [] { return CanvasTexture(0); });
  add("CanvasBack2.jpg", Stage::Jpeg, [] { return CanvasTexture(1); });
  add("Frame.png", Stage::Alpha, [&f] { return FieldFrame(f); });
  add("CardPack.png", Stage::Alpha, [] { return CardPack(); });
  add("EndHat.png", Stage::Alpha, [] { return EndHat(); });
  add("Vor.png", Stage::Alpha, [] { return Thief(); });
  add("Shuller.png", Stage::Alpha, [] { return Sharper(); });
  add("cursor_line.png", Stage::Alpha, [] { return CursorStrip(); });
  add("VCardLine.png", Stage::Alpha, [] { return CastleLine(true); });
  add("HCardLine.png", Stage::Alpha, [] { return CastleLine(false); });
  add("CardPoint.png", Stage::Alpha, [] { return CastleCorner(); });
  add("HintWindowLeftTop.png", Stage::Alpha, [] { return HintWindow(0); });
  add("HintWindowRightTop.png", Stage::Alpha, [] { return HintWindow(1); });
  add("HintWindowLeft.png", Stage::Alpha, [] { return HintWindow(2); });
  add("HintWindowRight.png", Stage::Alpha, [] { return HintWindow(3); });
  // Walls cover whole cells of the board: columns x rows of points.
  struct WallShape {
    const char* Name;
    int Cols, Rows, Style;
  };
  for (WallShape w : {WallShape{"WallRow", 3, 1, 0}, WallShape{"WallBlock", 2, 2, 1}, WallShape{"WallColumn", 1, 3, 2}}) {
    int pw = w.Cols * kCol - 2, ph = w.Rows * kRow - 2;
    add(std::string(w.Name) + ".png", Stage::Alpha, [pw, ph, w] { return Wall(pw, ph, w.Style); });
    add(std::string(w.Name) + "A.png", Stage::Alpha, [pw, ph, w] { return WallCrashStrip(pw, ph, w.Style); });
  }
  add("Flag.png", Stage::Alpha, [] { return FlagStrip(); });
  add("Torch1.png", Stage::Alpha, [] { return TorchFrame(0); });
  add("Torch2.png", Stage::Alpha, [] { return TorchFrame(1); });
  add("amulet1.png", Stage::Alpha, [] { return Amulet(); });
  add("LanternOn.png", Stage::Alpha, [] { return Lantern(true); });
  add("LanternOff.png", Stage::Alpha, [] { return Lantern(false); });
  add("MapFrame.png", Stage::Alpha, [&f] { return MapFramePicture(f); });
  add("particle2.png", Stage::Alpha, [] { return MapMarker(); });
  add("particle3.png", Stage::Alpha, [] { return MapDot(); });
  const Interface ui;
  for (const WidgetPicture& p : ui.Pictures())
    add(p.Name, Stage::Alpha, [p] { return WidgetPictureCanvas(p); });

  fs::path folder(contentFolder);
  auto pieces = std::make_shared<std::vector<MapPiece>>(ReadMapPieces(folder / "MapPieces.xml"));
  if (pieces->size() < 43) throw std::runtime_error("MapPieces.xml names fewer than 43 pieces");
  add("Map.png", Stage::Exact, [pieces] { return PieceMap(*pieces); });
  add("MapOutlines.png", Stage::Alpha, [pieces] { return PieceOutlines(*pieces); });
  add("MapComplete.jpg", Stage::Jpeg, [pieces] { return Kingdom(*pieces, 1, false); });
  add("MapBack.jpg", Stage::Jpeg, [pieces] { return Kingdom(*pieces, 1, true); });
  add("BackZamok.jpg", Stage::Jpeg, [pieces] { return Kingdom(*pieces, 3, false); });
  add("TitleBack.jpg", Stage::Jpeg, [&f, pieces] { return TitleBackground(f, Kingdom(*pieces, 1, true), false); });

  for (const std::string& n : qv::ListDirectory(folder, ".xml")) {
    if (n.rfind("Level", 0) != 0 || n.size() <= 9) continue;
    LevelShape shape = ReadLevelShape(folder / n);
    if (shape.BackPicture.empty()) throw std::runtime_error(n + " names no BackPicture");
    shape.Theme = ThemeOf(shape.BackPicture);
    add(shape.BackPicture, Stage::Jpeg, [&f, shape] { return LevelBackground(f, shape); });
  }
  return items;
}

void WriteProgramFolder(const std::string& contentFolder, const std::string& programFolder) {
  Lettering sans("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
  Lettering serif("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf");
  Fonts fonts{sans, serif};
  const fs::path folder(programFolder);
  fs::create_directories(folder);
  // The game loads the pictures of its folder under lower-case names before
  // anything else, so the loading screen can show while the rest loads.
  const std::vector<MapPiece> pieces = ReadMapPieces(fs::path(contentFolder) / "MapPieces.xml");
  SavePicture(TitleBackground(fonts, Kingdom(pieces, 1, true), true), Stage::Jpeg, (folder / "loading.jpg").string());
  SavePicture(MakerLogo(fonts, false), Stage::Exact, (folder / "ostrandel_logo.png").string());
  SavePicture(MakerLogo(fonts, true), Stage::Exact, (folder / "ostrandel_logo_on.png").string());
  WriteLanguages(programFolder);
}

void WriteAllPictures(const std::string& contentFolder, const std::string& outputFolder) {
  Lettering sans("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
  Lettering serif("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf");
  Fonts fonts{sans, serif};
  fs::create_directories(outputFolder);
  for (const PictureItem& item : BuildCatalogue(contentFolder, fonts)) {
    if (item.Name.size() > 32) throw std::runtime_error("picture name longer than 32 characters: " + item.Name);
    SavePicture(item.Draw(), item.Form, (fs::path(outputFolder) / StagedName(item)).string());
  }
}

}  // namespace contentgen
