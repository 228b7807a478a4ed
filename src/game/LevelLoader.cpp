#include "game/LevelLoader.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/SFunctions.h"
#include "foundation/StrUtils.h"
#include "game/BeltPath.h"
#include "game/CardRules.h"
#include "game/GameNames.h"

namespace qv {

namespace {

constexpr int kOriginCount = 1000;
constexpr const char* kFallbackLevel = "Level42.xml";
constexpr const char* kKeptPicture = "amulet1.png";

// Reads attributes and numbers of one file, naming the file, the entry and
// the attribute in every error.
class TTagReader {
 public:
  explicit TTagReader(std::string_view file) : File(file) {}

  [[noreturn]] void Fail(std::string_view entry, std::string_view attr, std::string_view problem) const {
    std::string msg = File + ": " + std::string(entry);
    if (!attr.empty()) msg += ", attribute \"" + std::string(attr) + "\"";
    msg += ": " + std::string(problem);
    throw QelException(msg);
  }

  static const std::string* Find(const TQelXMLTag* tag, std::string_view name) {
    const TQelParserAttribute* a = tag->FindAttribute(name);
    return a ? &a->Value : nullptr;
  }

  const std::string& Required(const TQelXMLTag* tag, std::string_view name, std::string_view entry) const {
    const std::string* v = Find(tag, name);
    if (!v) Fail(entry, name, "missing");
    return *v;
  }

  int32_t Strict(std::string_view text, std::string_view entry, std::string_view attr) const {
    int32_t v = 0;
    if (!TryStrToInt(Trim(text), v)) Fail(entry, attr, "'" + std::string(text) + "' is not a valid integer value");
    return v;
  }

  TIntegers StrictList(std::string_view text, std::string_view entry, std::string_view attr) const {
    TIntegers out;
    for (const std::string& w : SplitWords(text)) out.push_back(Strict(w, entry, attr));
    return out;
  }

  int32_t Lenient(const TQelXMLTag* tag, std::string_view name, int32_t fallback) const {
    const std::string* v = Find(tag, name);
    return v ? StrToIntVal(*v) : fallback;
  }

  std::string File;
};

std::string Entry(std::string_view what, size_t index) { return std::string(what) + " " + std::to_string(index); }

// Parses a tag file; a text without tags raises "<name>XML file does not has tags!".
const TQelXMLTag* ParseRoot(TQelParser& parser, std::string_view text, std::string_view name) {
  parser.LoadFromText(text);
  const TQelXMLTag* root = parser.GetTag(0);
  if (!root) throw QelException(std::string(name) + "XML file does not has tags!");
  return root;
}

void AddOnce(std::vector<std::string>& list, const std::string& name) {
  if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
}

void AddIntOnce(TIntegers& list, int32_t v) {
  if (!IntInArray(v, list)) list.push_back(v);
}

}  // namespace

void AddPoint(TPoints& list, TGamePoint p) { list.push_back(p); }

void DeletePoint(TPoints& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.size())) return;
  list.erase(list.begin() + index);
}

int FindPoint(TGamePoint p, const TPoints& list) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == p) return static_cast<int>(i);
  }
  return -1;
}

void TLevelLoader::ClearLevel() {
  TLevel& L = S.Level;
  L.Pictures.clear();
  L.Belts.clear();
  L.BonusWeights.clear();
  L.BonusWorkWeights.clear();
  L.PictureNames.clear();
  S.Cards.clear();
  S.HeldCard = -1;
  L.ThiefPoint = -1;
  L.ThiefPoint2 = -1;
  L.LevComplete = false;
  L.Points.clear();
  L.NearPoints.clear();
  L.PointsBusy.clear();
  L.PointZone.clear();
  L.PointScripts.clear();
  L.StreetTypes.clear();
  L.ThiefPoints.clear();
  L.Zones.clear();
  L.Walls.clear();
  L.BPPointsBusy.clear();
  L.LevelFrames.clear();
  L.LentaFrames.clear();
  S.FreePoints.clear();
  S.TargetPoints.clear();
  S.SuitableKinds.reset();
  S.NextButOneKinds.reset();
  S.BonusTargets.clear();
  S.Game.DropPack.clear();
  S.Game.UpgradeTime = -1;
  L.PresetPoints.clear();
  L.SweepPoints.clear();
  L.BeltClears = 5;
  L.DropPackClears = 5;
  L.SharperPatience = 5;
}

void TLevelLoader::LoadLevelPicture(TLevelPicture& pic, std::string_view fileName) {
  const TTagReader r(fileName);
  TQelParser parser;
  const TQelXMLTag* root = ParseRoot(parser, pic.TagText, fileName);
  if (root->Name != "Picture") return;
  const std::string entry = "Picture";
  pic.Name = r.Required(root, "Name", entry);
  pic.X = StrToIntVal(r.Required(root, "x", entry));
  pic.Y = StrToIntVal(r.Required(root, "y", entry));
  const std::string* frameType = TTagReader::Find(root, "FrameType");
  pic.SeparateImages = !(frameType && *frameType == "line");
  pic.FramesCount = r.Lenient(root, "FramesCount", 0);
  pic.FramesPerLine = r.Lenient(root, "FramesPerLine", 0);
  const std::string* visible = TTagReader::Find(root, "Visible");
  pic.Visible = !(visible && *visible == "false");
  for (const auto& child : root->Tags) {
    if (child->Name != "Image") continue;
    const std::string* name = TTagReader::Find(child.get(), "Name");
    const std::string* t = TTagReader::Find(child.get(), "t");
    if (name && t) {
      pic.Images.push_back(*name);
      pic.ImageTimes.push_back(StrToIntVal(*t));
    }
  }
  if (!pic.SeparateImages) {
    // The strip's frame size divides by these; refuse them here.
    const std::string where = "Picture " + pic.Name;
    if (pic.FramesPerLine <= 0) r.Fail(where, "FramesPerLine", "must be above 0");
    if (pic.FramesCount <= 0) r.Fail(where, "FramesCount", "must be above 0");
    if (pic.Images.empty()) r.Fail(where, "Image", "a frame strip needs an image");
    int32_t w = 0, h = 0;
    if (Svc.Surfaces->GetSize(pic.Images[0], w, h)) {
      const int32_t rows = Div(pic.FramesCount, pic.FramesPerLine) + (Mod(pic.FramesCount, pic.FramesPerLine) != 0 ? 1 : 0);
      pic.FrameWidth = Div(w, pic.FramesPerLine);
      pic.FrameHeight = Div(h, rows);
    }
  }
}

bool TLevelLoader::LoadLevel(std::string_view entryName) {
  TGame& G = S.Game;
  TLevel& L = S.Level;
  IGameWidgets& W = *Svc.Widgets;
  G.IntroFlags = {true, true, true, true};
  std::string name(entryName);
  if (!Svc.Archive->HasEntry(name)) name = kFallbackLevel;
  const std::string text = Svc.Archive->ReadEntry(name);
  const std::vector<std::string> previousPictures = L.PictureNames;
  ClearLevel();
  L.PictureNames.clear();

  const TTagReader r(name);
  TQelParser parser;
  const TQelXMLTag* root = ParseRoot(parser, text, name);

  // Root.
  L.Picture = r.Required(root, "Picture", root->Name);
  if (const std::string* v = TTagReader::Find(root, "Music")) L.Music = *v;
  if (const std::string* v = TTagReader::Find(root, "BackPicture")) L.BackPicture = *v;
  if (const std::string* v = TTagReader::Find(root, "TimePrompt")) L.TimePrompt = r.Strict(*v, root->Name, "TimePrompt");
  if (W.Exists("WResource_LOverview")) {
    W.SetCaption("WOverview_LOverview", W.GetCaption("WResource_LOverview") + IntToStr(G.CurLevel + 1));
  }
  Svc.Screens->ShowLevelLoadProgress(0);

  // Points.
  std::array<int32_t, kOriginCount> origins;
  origins.fill(-1);
  if (const TQelXMLTag* points = root->FindTag("Points")) {
    const size_t count = points->Tags.size();
    L.Points.assign(count, TGamePoint{});
    L.NearPoints.assign(count, TIntegers{});
    L.PointZone.assign(count, 0);
    L.StreetTypes.assign(count, stNone);
    L.PointsBusy.assign(count, -1);
    L.PointScripts.assign(count, std::string());
    for (size_t i = 0; i < count; ++i) {
      const TQelXMLTag* p = points->Tags[i].get();
      if (p->Name != "point") continue;
      const std::string entry = Entry("point", i);
      if (const std::string* v = TTagReader::Find(p, "Origin")) {
        const int32_t origin = StrToIntVal(*v);
        if (origin < 0 || origin >= kOriginCount) r.Fail(entry, "Origin", "must lie in 0..999");
        origins[static_cast<size_t>(origin)] = static_cast<int32_t>(i);
      }
      L.Points[i].X = StrToIntVal(r.Required(p, "X", entry));
      L.Points[i].Y = StrToIntVal(r.Required(p, "Y", entry));
      for (int32_t n : r.StrictList(r.Required(p, "NearPoints", entry), entry, "NearPoints")) {
        if (n < 0 || n >= static_cast<int32_t>(count)) r.Fail(entry, "NearPoints", IntToStr(n) + " is not a point of the level");
        L.NearPoints[i].push_back(n);
      }
      L.PointZone[i] = r.Lenient(p, "Zone", 0);
      L.StreetTypes[i] = static_cast<uint8_t>(r.Lenient(p, "StrType", 0));
      const std::string* put = TTagReader::Find(p, "PutCard");
      if (put && *put == "true") {
        TCard card;
        card.X = L.Points[i].X - 16;
        card.Y = L.Points[i].Y - 25;
        card.CType = Svc.Random->Random(kCardKinds);
        card.State = csOpen;
        card.BonusType = btNone;
        if (const std::string* order = TTagReader::Find(p, "CardOrder")) {
          const int32_t rank = r.Strict(*order, entry, "CardOrder");
          if (rank < 0 || rank > 12) r.Fail(entry, "CardOrder", "must lie in 0..12");
          card.CType = Svc.Random->Random(4) * 13 + rank;
        }
        S.Cards.push_back(card);
        L.PointsBusy[i] = static_cast<int32_t>(S.Cards.size()) - 1;
        L.PresetPoints.push_back(static_cast<int32_t>(i));
      }
      if (const TQelXMLTag* script = p->FindTag("Script")) L.PointScripts[i] = script->MakeText(0);
    }
  }
  const int32_t pointCount = static_cast<int32_t>(L.Points.size());
  auto checkPoint = [&](int32_t p, std::string_view entry) {
    if (p < 0 || p >= pointCount) r.Fail(entry, "Point", IntToStr(p) + " is not a point of the level");
  };

  // Thief.
  std::string creatures;
  if (const TQelXMLTag* thief = root->FindTag("Thief")) {
    const int32_t tp = r.Strict(r.Required(thief, "Point", "Thief"), "Thief", "Point");
    checkPoint(tp, "Thief");
    L.ThiefPoint = tp;
    const TGamePoint at = L.Points[static_cast<size_t>(tp)];
    L.ThiefPos = {at.X + S.Params.ThiefOffset.X, at.Y + S.Params.ThiefOffset.Y};
    for (int32_t n : L.NearPoints[static_cast<size_t>(tp)]) {
      AddIntOnce(L.ThiefPoints, n);
      const TGamePoint np = L.Points[static_cast<size_t>(n)];
      if (np.X > at.X && std::abs(np.Y - at.Y) < 10) L.ThiefPoint2 = n;
    }
    if (L.ThiefPoint2 != -1) {
      for (int32_t n : L.NearPoints[static_cast<size_t>(L.ThiefPoint2)]) AddIntOnce(L.ThiefPoints, n);
    }
    creatures = W.GetCaption("WResource_LThief");
  }

  // Sharper.
  L.SharperPoint = -1;
  L.SharperPrevPoint = -1;
  if (const TQelXMLTag* sharper = root->FindTag("Sharper")) {
    const int32_t sp = r.Strict(r.Required(sharper, "Point", "Sharper"), "Sharper", "Point");
    checkPoint(sp, "Sharper");
    L.SharperPoint = sp;
    const TGamePoint at = L.Points[static_cast<size_t>(sp)];
    L.SharperPos = {at.X + S.Params.SharperOffset.X, at.Y + S.Params.SharperOffset.Y};
    L.SharperFrom = L.SharperPos;
    L.SharperTime = Svc.Clock->Now() + S.Params.SharperDelay;
    if (!creatures.empty()) creatures += ", ";
    creatures += W.GetCaption("WResource_LSharper");
  }
  W.SetCaption("WOverview_LCreaturesName", creatures.empty() ? std::string("-") : creatures);

  // Zones.
  if (const TQelXMLTag* zones = root->FindTag("Zones")) {
    for (size_t i = 0; i < zones->Tags.size(); ++i) {
      const TQelXMLTag* z = zones->Tags[i].get();
      if (z->Name != "Zone") continue;
      const std::string entry = Entry("Zone", i);
      TZoneType zone;
      if (const std::string* v = TTagReader::Find(z, "Name")) zone.Name = *v;
      zone.Picture = r.Required(z, "Picture", entry);
      const std::string* wall = TTagReader::Find(z, "Wall");
      zone.Wall = wall && *wall == "true";
      // Numbers outside a set's range could never match a card; they are skipped.
      for (const std::string& w : SplitWords(r.Required(z, "Suits", entry))) {
        const int32_t v = StrToIntVal(w);
        if (v >= 0 && v < 8) zone.Suits.set(static_cast<size_t>(v));
      }
      for (const std::string& w : SplitWords(r.Required(z, "Orders", entry))) {
        const int32_t v = StrToIntVal(w);
        if (v >= 0 && v < 16) zone.Orders.set(static_cast<size_t>(v));
      }
      L.Zones.push_back(std::move(zone));
    }
  }
  for (int32_t i = 0; i < pointCount; ++i) {
    const int32_t z = L.PointZone[static_cast<size_t>(i)];
    if (z < 0 || z >= static_cast<int32_t>(L.Zones.size())) {
      r.Fail(Entry("point", static_cast<size_t>(i)), "Zone", IntToStr(z) + " is not a zone of the level");
    }
  }

  // Belts.
  if (const TQelXMLTag* belts = root->FindTag("Belts")) {
    for (size_t i = 0; i < belts->Tags.size(); ++i) {
      const TQelXMLTag* b = belts->Tags[i].get();
      if (b->Name != "Belt") continue;
      const std::string entry = Entry("Belt", i);
      TFishkaLenta belt;
      belt.BornPeriod = S.Params.GameBornPeriod;
      belt.Speed = StrToIntVal(r.Required(b, "Speed", entry));
      belt.PartImage = r.Required(b, "PartImage", entry);
      belt.PointsBetween = StrToIntVal(r.Required(b, "PointsBetween", entry));
      const TQelXMLTag* path = b->FindTag("Path");
      if (!path) r.Fail(entry, "Path", "missing");
      belt.PathScript = path->Text;
      TBeltPathInfo info;
      try {
        info = MakeBeltPath(belt.PathScript);
      } catch (const QelException&) {
        throw;
      } catch (const std::exception& e) {
        r.Fail(entry, "Path", e.what());
      }
      belt.Path = std::move(info.Path);
      belt.PathLength = Round(info.TotalLength);
      belt.PathTime = info.TotalDuration > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(info.TotalDuration);
      // The belt law and the card spacing divide by these.
      if (belt.PathLength <= 0) r.Fail(entry, "Path", "the path has no length");
      if (belt.PathTime <= 0) r.Fail(entry, "Path", "the path has no duration");
      if (belt.PathTime > kMaxBeltPathTime) r.Fail(entry, "Path", "the path takes longer than 10000000 ms");
      if (belt.PointsBetween <= 0 || belt.PointsBetween > belt.PathLength) {
        r.Fail(entry, "PointsBetween", "must lie in 1..the path length");
      }
      belt.PointStep = Div(belt.PathLength, belt.PointsBetween);
      int32_t w = 0, h = 0;
      if (Svc.Surfaces->GetSize(belt.PartImage, w, h)) {
        belt.PartWidth = w;
        belt.PartHeight = h;
      }
      L.Belts.push_back(std::move(belt));
    }
  }

  // Animated pictures.
  if (const TQelXMLTag* pictures = root->FindTag("Pictures")) {
    for (const auto& child : pictures->Tags) {
      L.Pictures.emplace_back();
      L.Pictures.back().TagText = child->MakeText(0);
      LoadLevelPicture(L.Pictures.back(), name);
      for (const std::string& img : L.Pictures.back().Images) AddOnce(L.PictureNames, img);
    }
  }

  // Walls.
  W.SetCaption("WOverview_LWallName", "-");
  if (const TQelXMLTag* walls = root->FindTag("Walls")) {
    for (size_t i = 0; i < walls->Tags.size(); ++i) {
      const TQelXMLTag* w = walls->Tags[i].get();
      if (w->Name != "Wall") continue;
      const std::string entry = Entry("Wall", i);
      TWall wall;
      wall.Name = r.Required(w, "Name", entry);
      wall.Picture = r.Required(w, "Picture", entry);
      wall.X = StrToIntVal(r.Required(w, "X", entry));
      wall.Y = StrToIntVal(r.Required(w, "Y", entry));
      auto mapOrigins = [&](std::string_view attr, TIntegers& out) {
        for (const std::string& word : SplitWords(r.Required(w, attr, entry))) {
          const int32_t origin = StrToIntVal(word);
          if (origin < 0 || origin >= kOriginCount || origins[static_cast<size_t>(origin)] == -1) {
            r.Fail(entry, attr, "origin " + word + " names no point");
          }
          out.push_back(origins[static_cast<size_t>(origin)]);
        }
      };
      mapOrigins("WallIn", wall.WallIn);
      mapOrigins("WallOut", wall.WallOut);
      AddOnce(L.PictureNames, WallCrashPicture(wall.Picture));
      const std::string label = WallLabel(wall.Picture);
      if (W.Exists(label)) W.SetCaption("WOverview_LWallName", W.GetCaption(label));
      L.Walls.push_back(std::move(wall));
    }
  }

  // Glow frames.
  auto readFrames = [&](std::string_view tagName, TFrames& frames, std::string& back) {
    const TQelXMLTag* list = root->FindTag(tagName);
    if (!list) return;
    if (const std::string* v = TTagReader::Find(list, "BackPicture")) back = *v;
    for (size_t i = 0; i < list->Tags.size(); ++i) {
      const TQelXMLTag* f = list->Tags[i].get();
      TFrame frame;
      if (f->Name == "Frame") {
        const std::string entry = std::string(tagName) + " " + Entry("Frame", i);
        auto set = [&](std::string_view attr, int32_t& field) {
          if (const std::string* v = TTagReader::Find(f, attr)) field = r.Strict(*v, entry, attr);
        };
        set("a1", frame.a1);
        set("a2", frame.a2);
        set("a3", frame.a3);
        set("AlphaMax", frame.AlphaMax);
        set("Color", frame.Color);
      }
      frames.push_back(frame);
    }
  };
  readFrames("LevelFrames", L.LevelFrames, L.LevelFramesBack);
  readFrames("LentaFrames", L.LentaFrames, L.LentaFramesBack);

  // Probabilities. The weights always have five entries, so the bonus choice
  // can rely on them even for a level without this tag.
  L.BonusWeights.assign(5, 0);
  L.BonusWorkWeights.assign(5, 0);
  if (const TQelXMLTag* prob = root->FindTag("Probabilities")) {
    const std::string entry = "Probabilities";
    auto floatOf = [&](std::string_view tagName, double& field) {
      if (const TQelXMLTag* t = prob->FindTag(tagName)) field = StrToFloatVal(t->Text);
    };
    auto weightOf = [&](std::string_view tagName, size_t index, double* multC, double* multE) {
      const TQelXMLTag* t = prob->FindTag(tagName);
      if (!t) return;
      L.BonusWeights[index] = r.Strict(t->Text, entry, tagName);
      if (multC) {
        if (const std::string* v = TTagReader::Find(t, "MultC")) *multC = StrToFloatVal(*v);
      }
      if (multE) {
        if (const std::string* v = TTagReader::Find(t, "MultE")) *multE = StrToFloatVal(*v);
      }
    };
    floatOf("SuitableCardProb", L.SuitableCardProb);
    floatOf("Suitable2CardProb", L.Suitable2CardProb);
    floatOf("BonusFishka", L.BonusFishka);
    floatOf("QuestFishka", L.QuestFishka);
    weightOf("CropBonusWeight", 0, &L.CropMultC, &L.CropMultE);
    weightOf("ReverseBonusWeight", 1, &L.ReverseMultC, &L.ReverseMultE);
    weightOf("PauseBonusWeight", 2, nullptr, nullptr);
    weightOf("JokerWeight", 3, nullptr, nullptr);
    weightOf("CommonCardWeight", 4, nullptr, nullptr);
    if (const TQelXMLTag* t = prob->FindTag("CriticalTime")) L.CriticalTime = r.Strict(t->Text, entry, "CriticalTime");
  }

  // Bonus place.
  if (const TQelXMLTag* bp = root->FindTag("BonusPlace")) {
    const std::string entry = "BonusPlace";
    L.BonusPlaceX = r.Lenient(bp, "x", 0);
    L.BonusPlaceY = r.Lenient(bp, "y", 0);
    L.BonusPlaceType = r.Lenient(bp, "Type", 0);
    if (L.BonusPlaceType < 0 || L.BonusPlaceType >= static_cast<int32_t>(S.BonusPlaceTypes.size())) {
      r.Fail(entry, "Type", IntToStr(L.BonusPlaceType) + " is not a bonus-place type");
    }
    const TBonusPlaceType& type = S.BonusPlaceTypes[static_cast<size_t>(L.BonusPlaceType)];
    L.BPPointsBusy.assign(type.Points.size(), 0);
    if (const std::string* cards = TTagReader::Find(bp, "Cards")) {
      const TIntegers values = r.StrictList(*cards, entry, "Cards");
      for (size_t i = 0; i < values.size() && i < L.BPPointsBusy.size(); ++i) {
        if (values[i] > 13) r.Fail(entry, "Cards", IntToStr(values[i]) + " is above 13 (Ace)");
        L.BPPointsBusy[i] = values[i];
      }
    }
    W.SetCaption("WOverview_LBonusPlaceName", W.GetCaption(BonusPlaceLabel(L.BonusPlaceType)));
  }

  LoadPictures(previousPictures);

  for (TLevelPicture& pic : L.Pictures) {
    if (pic.SeparateImages || pic.Images.empty() || pic.FramesPerLine <= 0 || pic.FramesCount <= 0) continue;
    int32_t w = 0, h = 0;
    if (Svc.Surfaces->GetSize(pic.Images[0], w, h)) {
      const int32_t rows = Div(pic.FramesCount, pic.FramesPerLine) + (Mod(pic.FramesCount, pic.FramesPerLine) != 0 ? 1 : 0);
      pic.FrameWidth = Div(w, pic.FramesPerLine);
      pic.FrameHeight = Div(h, rows);
    }
  }

  Svc.Field->MakeWallOutlines();
  Svc.Field->MakeLevelSurfaces();
  DealBonusPlaceCards();
  TCardRules(S, Svc).UpdateSuitableCards();
  Svc.Field->DrawLevelTexts(root->FindTag("DrawText"));

  L.StartPhase = 0.33;
  L.EndPhase = 0.8;

  if (!L.Belts.empty()) {
    const TFishkaLenta& first = L.Belts[0];
    double x = 0.0, y = 0.0;
    int32_t w = 0, h = 0;
    if (Svc.Surfaces->GetSize("EndHat.png", w, h) && BeltPathPoint(first, first.PathTime, x, y)) {
      S.EndHatPos = {Round(x) - Div(w, 2), Round(y) - Div(h, 2)};
    }
    if (Svc.Surfaces->GetSize("CardPack.png", w, h) && BeltPathPoint(first, 0, x, y)) {
      S.CardPackPos = {Round(x) - Div(w, 2), Round(y) - Div(h, 2)};
    }
  }

  W.SetCaption("WOverview_LDPCapacity", IntToStr(G.DropPackCapacity));
  W.SetCaption("WGame_LScoreCount", IntToStr(G.TotalScore));
  W.SetCaption("WOverview_RLLevelName", "{$80FFFF}" + W.GetCaption("WResource_LLevel") + " " +
                                            IntToStr(IndexOfInt(G.PieceOrder, G.CurLevel) + 1) + ". {/$} " +
                                            W.GetCaption(LevelNameLabel(G.CurLevel)));
  Svc.Field->MakeCover();
  Svc.Field->ShowOverviewPicture();
  return true;
}

void TLevelLoader::LoadPictures(const std::vector<std::string>& previousNames) {
  std::vector<std::string> previous = previousNames;
  const std::vector<std::string>& names = S.Level.PictureNames;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    const auto it = std::find(previous.begin(), previous.end(), name);
    if (it != previous.end()) previous.erase(it);
    if (!Svc.Surfaces->Exists(name)) {
      if (LowerAscii(name.size() >= 3 ? name.substr(name.size() - 3) : name) == "png") {
        Svc.Surfaces->LoadPng(name);
      } else {
        Svc.Surfaces->LoadJpeg(name);
      }
      Loaded.insert(name);
    }
    Svc.Screens->ShowLevelLoadProgress(Round(static_cast<double>(i + 1) * 100.0 / static_cast<double>(names.size())));
  }
  // Only surfaces that a level load made are given back; pictures the shell
  // loaded for itself stay whatever the level names.
  for (const std::string& name : previous) {
    if (name == kKeptPicture) continue;
    if (Loaded.erase(name) > 0) Svc.Surfaces->Release(name);
  }
}

void TLevelLoader::DealBonusPlaceCards() {
  TLevel& L = S.Level;
  if (L.BonusPlaceType < 0 || L.BonusPlaceType >= static_cast<int32_t>(S.BonusPlaceTypes.size())) return;
  const TBonusPlaceType& type = S.BonusPlaceTypes[static_cast<size_t>(L.BonusPlaceType)];
  for (size_t i = 0; i < L.BPPointsBusy.size() && i < type.Points.size(); ++i) {
    TCard card;
    card.X = type.Points[i].X - 16;
    card.Y = type.Points[i].Y - 25;
    const int32_t suit = Svc.Random->Random(4);
    const int32_t value = L.BPPointsBusy[i];
    const int32_t rank = value > 0 ? value - 1 : 12;
    card.CType = suit * 13 + rank;
    card.Spacing = L.Belts.empty() ? 0 : BeltCardSpacing(L.Belts[0]);
    card.BonusType = btNone;
    S.Cards.push_back(card);
    L.BPPointsBusy[i] = static_cast<int32_t>(S.Cards.size()) - 1;
  }
}

bool TLevelLoader::LoadMapPieces(std::string_view entryName) {
  const std::string name(entryName);
  const TTagReader r(name);
  const std::string text = Svc.Archive->ReadEntry(name);
  TQelParser parser;
  const TQelXMLTag* root = ParseRoot(parser, text, name);
  TGame& G = S.Game;
  if (const std::string* v = TTagReader::Find(root, "BackPicture")) G.MapBackPicture = *v;
  if (const TQelXMLTag* pieces = root->FindTag("Pieces")) {
    const size_t count = pieces->Tags.size();
    G.MapPlaces.assign(count, TMapPlace{});
    for (size_t i = 0; i < count; ++i) {
      const TQelXMLTag* p = pieces->Tags[i].get();
      if (p->Name != "Piece") continue;
      const std::string entry = Entry("Piece", i);
      TMapPlace& place = G.MapPlaces[i];
      if (const std::string* v = TTagReader::Find(p, "x")) place.x = r.Strict(*v, entry, "x");
      if (const std::string* v = TTagReader::Find(p, "y")) place.y = r.Strict(*v, entry, "y");
      if (const std::string* v = TTagReader::Find(p, "Near")) {
        for (int32_t n : r.StrictList(*v, entry, "Near")) {
          if (n < 1 || n > static_cast<int32_t>(count)) r.Fail(entry, "Near", IntToStr(n) + " is not a piece number");
          place.Near.push_back(n - 1);
        }
      }
    }
  }
  if (const TQelXMLTag* order = root->FindTag("PieceOrder")) {
    G.PieceOrder.clear();
    for (int32_t n : r.StrictList(order->Text, "PieceOrder", "")) {
      if (n < 1 || n > static_cast<int32_t>(G.MapPlaces.size())) r.Fail("PieceOrder", "", IntToStr(n) + " is not a piece number");
      G.PieceOrder.push_back(n - 1);
    }
  }
  return true;
}

bool TLevelLoader::LoadBonusPlaceTypes(std::string_view entryName) {
  const std::string name(entryName);
  const TTagReader r(name);
  const std::string text = Svc.Archive->ReadEntry(name);
  TQelParser parser;
  const TQelXMLTag* root = ParseRoot(parser, text, name);
  S.BonusPlaceTypes.assign(root->Tags.size(), TBonusPlaceType{});
  for (size_t i = 0; i < root->Tags.size(); ++i) {
    const TQelXMLTag* p = root->Tags[i].get();
    if (p->Name != "Place") continue;
    const std::string entry = Entry("Place", i);
    TBonusPlaceType& type = S.BonusPlaceTypes[i];
    if (const std::string* v = TTagReader::Find(p, "Type")) type.Type = static_cast<uint8_t>(r.Strict(*v, entry, "Type"));
    if (const std::string* v = TTagReader::Find(p, "PictureBack")) type.PictureBack = *v;
    if (const std::string* v = TTagReader::Find(p, "PictureCardBack")) type.PictureCardBack = *v;
    for (size_t j = 0; j < p->Tags.size(); ++j) {
      const TQelXMLTag* pt = p->Tags[j].get();
      if (pt->Name != "Point") continue;
      const std::string where = entry + " " + Entry("Point", j);
      TGamePoint at;
      if (const std::string* v = TTagReader::Find(pt, "x")) at.X = r.Strict(*v, where, "x");
      if (const std::string* v = TTagReader::Find(pt, "y")) at.Y = r.Strict(*v, where, "y");
      type.Points.push_back(at);
    }
  }
  return true;
}

}  // namespace qv
