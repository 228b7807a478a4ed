#include "shell/SaveGameFile.h"

#include "foundation/CUnit.h"
#include "foundation/MemoryStream.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/SFunctions.h"
#include "game/BeltPath.h"
#include "game/CardBook.h"

namespace qv {

namespace {

constexpr const char* kSkillNames[kSkillCount] = {"Economy",     "AntiSharper",     "DropPack",     "Luck",
                                                  "PrevEconomy", "PrevAntiSharper", "PrevDropPack", "PrevLuck"};

// Ages and birth times are tick counts that may wrap; the difference is
// taken modulo 2^32 as the 32-bit clock does.
int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

void AddCard(TQelXMLTag& parent, const TCard& c, const int32_t* age) {
  TQelXMLTag* t = parent.AddTag("Card");
  t->AddAttribute("CType", IntToStr(c.CType));
  t->AddAttribute("x", IntToStr(c.X));
  t->AddAttribute("y", IntToStr(c.Y));
  t->AddAttribute("State", IntToStr(c.State));
  if (age != nullptr) t->AddAttribute("BornTime", IntToStr(*age));
  t->AddAttribute("BonusType", IntToStr(c.BonusType));
  t->AddAttribute("QuestCard", BoolToText(c.QuestCard));
}

class TSaveReader {
 public:
  explicit TSaveReader(std::string_view fileName) : File(fileName) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw QelException(File + ": damaged saved game: " + what);
  }

  static const std::string* Attr(const TQelXMLTag* tag, std::string_view name) {
    const TQelParserAttribute* a = tag->FindAttribute(name);
    return a ? &a->Value : nullptr;
  }

  std::optional<int32_t> Strict(const TQelXMLTag* tag, std::string_view name) const {
    const std::string* v = Attr(tag, name);
    if (!v) return std::nullopt;
    return StrToInt(*v);
  }

  // A blank-separated list of strictly converted numbers.
  static TIntegers StrictList(std::string_view text) {
    TIntegers out;
    for (const std::string& w : SplitWords(text)) out.push_back(StrToInt(w));
    return out;
  }

  void CheckRange(int32_t v, int32_t lo, int32_t hi, const std::string& what) const {
    if (v < lo || v > hi) Fail(what + " " + IntToStr(v) + " outside " + IntToStr(lo) + ".." + IntToStr(hi));
  }

  TSavedCard Card(const TQelXMLTag* tag, const std::string& what, bool belt) const {
    TSavedCard out;
    TCard& c = out.Card;
    if (tag->Name != "Card") return out;
    if (auto v = Strict(tag, "CType")) c.CType = *v;
    if (auto v = Strict(tag, "x")) c.X = *v;
    if (auto v = Strict(tag, "y")) c.Y = *v;
    if (auto v = Strict(tag, "BonusType")) c.BonusType = *v;
    if (auto v = Strict(tag, "State")) c.State = *v;
    if (const std::string* v = Attr(tag, "QuestCard")) c.QuestCard = *v == "true";
    if (belt) out.Age = Strict(tag, "BornTime");
    CheckRange(c.CType, 0, kCardKinds - 1, what + " kind");
    CheckRange(c.State, csOpen, csDropPack, what + " state");
    CheckRange(c.BonusType, btNone, btJoker, what + " bonus");
    return out;
  }

  std::string File;
};

}  // namespace

std::string IntListText(const TIntegers& list) {
  std::string out;
  for (int32_t v : list) out += " " + IntToStr(v);
  return out;
}

namespace {

std::string FormatTags(const TGameState& state) {
  const TGame& G = state.Game;
  const TLevel& L = state.Level;
  TQelParser parser;
  TQelXMLTag* root = parser.AddTag(kSaveGameTag);
  root->AddAttribute("Build", "105");
  root->AddAttribute("TotalScore", IntToStr(G.TotalScore));
  root->AddAttribute("PrevScore", IntToStr(G.PrevScore));
  root->AddAttribute("Mode", IntToStr(G.Mode));
  root->AddAttribute("CurLevel", IntToStr(G.CurLevel));
  root->AddAttribute("LevComplete", BoolToText(L.LevComplete));

  TQelXMLTag* cards = root->AddTag("Cards");
  for (const TCard& c : state.Cards) AddCard(*cards, c, nullptr);
  if (!G.DropPack.empty()) root->AddTag("DropPack", IntListText(G.DropPack));
  TQelXMLTag* belt = root->AddTag("CardsOnLenta");
  if (!L.Belts.empty()) {
    for (const TCard& c : L.Belts[0].Cards) {
      const int32_t age = WrapSub(G.PauseStart, c.BornTime);
      AddCard(*belt, c, &age);
    }
  }
  TQelXMLTag* skills = root->AddTag("SkillLevels");
  const int32_t values[kSkillCount] = {G.Economy,     G.AntiSharper,     G.DropPackLevel,     G.Luck,
                                       G.PrevEconomy, G.PrevAntiSharper, G.PrevDropPackLevel, G.PrevLuck};
  for (int i = 0; i < kSkillCount; ++i) skills->AddAttribute(kSkillNames[i], IntToStr(values[i]));
  root->AddTag("PointsBusy", IntListText(L.PointsBusy));
  root->AddTag("BPPointsBusy", IntListText(L.BPPointsBusy));
  root->AddTag("SharperPtInd", IntToStr(L.SharperPoint));
  if (L.ThiefPoints.empty()) root->AddTag("Thief", "no");
  root->AddTag("MapComplete", IntListText(G.MapComplete));
  TIntegers crashed;
  for (size_t i = 0; i < L.Walls.size(); ++i)
    if (L.Walls[i].Crashed) crashed.push_back(static_cast<int32_t>(i));
  if (!crashed.empty()) root->AddTag("CrashedWalls", IntListText(crashed));
  root->AddTag("MapNearComplete", IntListText(G.MapNearComplete));
  return parser.SaveToText();
}

}  // namespace

std::string FormatSaveGame(const TGameState& state) {
  const int32_t held = state.HeldCard;
  if (held < 0 || held >= static_cast<int32_t>(state.Cards.size()) || state.Level.Belts.empty())
    return FormatTags(state);
  // A card in hand is in no list of the file, so it is written onto the
  // belt: as the first belt's newest card, with the whole path ahead of it,
  // so that the loaded game gives the player at least the time of a newly
  // born card (where a right click sends it, it may be near the belt's end).
  // The running game keeps holding it. The copy carries every field
  // FormatTags reads.
  TGameState returned;
  returned.Game = state.Game;
  returned.Cards = state.Cards;
  returned.HeldCard = held;
  TLevel& L = returned.Level;
  const TLevel& from = state.Level;
  L.LevComplete = from.LevComplete;
  L.PointsBusy = from.PointsBusy;
  L.BPPointsBusy = from.BPPointsBusy;
  L.SharperPoint = from.SharperPoint;
  L.ThiefPoints = from.ThiefPoints;
  L.Walls = from.Walls;
  L.Belts.emplace_back();
  L.Belts[0].Cards = from.Belts[0].Cards;
  L.Belts[0].BornPeriod = from.Belts[0].BornPeriod;
  returned.Cards[static_cast<size_t>(held)].QuestCard = false;
  // The spacing the loaded game gives every card of the belt.
  QueueCardOnBelt(returned, held, state.Game.PauseStart, BeltCardSpacing(from.Belts[0]));
  return FormatTags(returned);
}

std::string EncipherSaveGame(std::string_view text) {
  TMemoryStream plain;
  plain.WriteString(text);
  TMemoryStream out;
  CryptStream(plain, out, kGameDataKey);
  return std::string(out.AsStringView());
}

TSaveGame ParseSaveGame(std::string_view bytes, std::string_view fileName, bool currentLevComplete) {
  TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  // A file that is not plain text is always deciphered, whatever it holds.
  if (!IsTextStream(stream)) CryptStream(stream, stream, kGameDataKey);
  TQelParser parser;
  parser.LoadFromStream(stream);
  const TQelXMLTag* root = parser.GetTag(0);
  if (!root) throw QelException(std::string(fileName) + "XML file does not has tags!");
  if (root->Name != kSaveGameTag) throw QelException("Wrong Save File format!");

  const TSaveReader r(fileName);
  TSaveGame s;
  s.TotalScore = r.Strict(root, "TotalScore");
  s.PrevScore = r.Strict(root, "PrevScore");
  s.Mode = r.Strict(root, "Mode");
  s.CurLevel = r.Strict(root, "CurLevel");
  if (const std::string* v = TSaveReader::Attr(root, "LevComplete")) s.LevComplete = *v == "true";
  if (s.Mode) r.CheckRange(*s.Mode, dmNoLose, dmHard, "difficulty");
  if (s.CurLevel) r.CheckRange(*s.CurLevel, 0, kMaxSavedLevel, "level");

  if (!s.LevComplete.value_or(currentLevComplete)) {
    s.HasLevel = true;
    if (const TQelXMLTag* cards = root->FindTag("Cards")) {
      for (int i = 0; i < cards->TagCount(); ++i)
        s.Cards.push_back(r.Card(cards->GetTag(i), "card " + IntToStr(i), false));
    }
    const int32_t cardCount = static_cast<int32_t>(s.Cards.size());
    if (const TQelXMLTag* t = root->FindTag("DropPack")) {
      s.DropPack = TSaveReader::StrictList(t->Text);
      for (int32_t c : *s.DropPack) r.CheckRange(c, 0, cardCount - 1, "drop-pack card");
    }
    if (const TQelXMLTag* belt = root->FindTag("CardsOnLenta")) {
      s.BeltCards.emplace();
      for (int i = 0; i < belt->TagCount(); ++i)
        s.BeltCards->push_back(r.Card(belt->GetTag(i), "belt card " + IntToStr(i), true));
    }
    if (const TQelXMLTag* t = root->FindTag("PointsBusy")) {
      s.PointsBusy = TSaveReader::StrictList(t->Text);
      for (int32_t c : *s.PointsBusy) r.CheckRange(c, -1, cardCount - 1, "card on a point");
    }
    if (const TQelXMLTag* t = root->FindTag("BPPointsBusy")) {
      s.BPPointsBusy = TSaveReader::StrictList(t->Text);
      for (int32_t c : *s.BPPointsBusy) r.CheckRange(c, -1, cardCount - 1, "card on the bonus place");
    }
    if (const TQelXMLTag* t = root->FindTag("SharperPtInd")) {
      s.SharperPoint = StrToInt(t->Text);
      if (*s.SharperPoint < -1) r.Fail("sharper point " + t->Text);
    }
    s.NoThief = root->FindTag("Thief") != nullptr;
  }

  if (const TQelXMLTag* t = root->FindTag("SkillLevels")) {
    for (int i = 0; i < kSkillCount; ++i) {
      if (const std::string* v = TSaveReader::Attr(t, kSkillNames[i])) {
        const int32_t level = StrToIntVal(*v);
        r.CheckRange(level, 0, kMaxSkillLevel, std::string("skill ") + kSkillNames[i]);
        s.Skills[static_cast<size_t>(i)] = level;
      }
    }
  }
  auto levels = [&](const char* name) -> std::optional<TIntegers> {
    const TQelXMLTag* t = root->FindTag(name);
    if (!t) return std::nullopt;
    TIntegers list = TSaveReader::StrictList(t->Text);
    for (int32_t v : list) r.CheckRange(v, 0, kMaxSavedLevel, std::string(name) + " level");
    return list;
  };
  s.MapComplete = levels("MapComplete");
  s.MapNearComplete = levels("MapNearComplete");
  if (const TQelXMLTag* t = root->FindTag("CrashedWalls")) {
    s.CrashedWalls.emplace();
    for (const std::string& w : SplitWords(t->Text)) s.CrashedWalls->push_back(StrToIntVal(w));
  }
  return s;
}

}  // namespace qv
