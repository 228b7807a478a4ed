#include "shell/UpgradeScreen.h"

#include <cmath>
#include <numbers>
#include <string>

#include "foundation/Clock.h"
#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"
#include "shell/Shell.h"

namespace qv {

namespace {

// The pointer must rest this long on a skill button before its hint shows.
constexpr int64_t kHintRestMs = 500;

std::string SkillButton(int i) { return "WUpgrade_RBSkill" + std::to_string(i); }
std::string SkillHint(int i) { return "WUpgrade_HSkill" + std::to_string(i); }

int32_t PropInt(IShellInterface& ui, const std::string& name, const char* prop) {
  int32_t value = 0;
  TryStrToInt(ui.GetProp(name, prop), value);
  return value;
}

// The percentage gain of a skill that grows with the root of its level.
std::string RootGain(int32_t level) { return IntToStr(Round(std::sqrt(10.0 * level + 10.0))); }

}  // namespace

void TUpgradeScreen::Publish() {
  Sh.Publish("WUpgrade_BOk_MouseUp", [this] { Confirm(); });
  Sh.Screens.OpenUpgrade = [this] { Show(); };
  Sh.Loop.UpdateSkillHints = [this] { UpdateSkillHints(); };
}

void TUpgradeScreen::Show() {
  TGame& G = Sh.Game.Game;
  IShellInterface& UI = *Sh.UI;
  Sh.PauseGameTimers();
  G.GameMode = gmFrozen;
  UI.SetProp(SkillButton(1 + Sh.Random.Random(4)), "Checked", "true");
  UI.SetProp("WUpgrade_LSkillEconomyLevel", "Caption", IntToStr(int64_t{G.Economy} + 1));
  UI.SetProp("WUpgrade_LSkillAntiSharperLevel", "Caption", IntToStr(int64_t{G.AntiSharper} + 1));
  UI.SetProp("WUpgrade_LSkillDropPackLevel", "Caption", IntToStr(int64_t{G.DropPackLevel} + 1));
  UI.SetProp("WUpgrade_LSkillLuckLevel", "Caption", IntToStr(int64_t{G.Luck} + 1));
  // The words come from hidden carriers, so that each language has its own.
  if (UI.Exists("WGame_LScore"))
    UI.SetProp("WUpgrade_LEconomyString", "Caption",
               UI.GetProp("WGame_LScore", "Caption") + " +" + IntToStr(3 * int64_t{G.Economy} + 3) + "%");
  if (UI.Exists("WResource_LDropPackString"))
    UI.SetProp("WUpgrade_LDropPackString", "Caption",
               UI.GetProp("WResource_LDropPackString", "Caption") + " +" + IntToStr(int64_t{G.DropPackLevel} + 1));
  if (UI.Exists("WResource_LLuckString"))
    UI.SetProp("WUpgrade_LLuckString", "Caption",
               UI.GetProp("WResource_LLuckString", "Caption") + " +" + RootGain(G.Luck) + "%");
  if (UI.Exists("WResource_LAntiSharperString"))
    UI.SetProp("WUpgrade_LAntiSharperString", "Caption",
               UI.GetProp("WResource_LAntiSharperString", "Caption") + " +" + RootGain(G.AntiSharper) + "%");
  UI.ShowModal("WUpgrade");
  G.UpgradeTime = -1;
}

void TUpgradeScreen::Confirm() {
  TGame& G = Sh.Game.Game;
  IShellInterface& UI = *Sh.UI;
  int32_t* skills[4] = {&G.AntiSharper, &G.Economy, &G.Luck, &G.DropPackLevel};
  for (int i = 1; i <= 4; ++i) {
    const std::string button = SkillButton(i);
    if (UI.Exists(button) && SameTextAscii(UI.GetProp(button, "Checked"), "true")) {
      ++*skills[i - 1];
      break;
    }
  }
  G.DropPackCapacity = G.DropPackLevel + 3;
  UI.SetProp("WGame_LDropPackCount", "Caption",
             IntToStr(int64_t{G.DropPackCapacity} - static_cast<int64_t>(G.DropPack.size())));
  G.GameMode = gmPlaying;
  Sh.Frame.DirtyRects.assign(1, kWholeScreen);
}

void TUpgradeScreen::UpdateSkillHints() {
  IShellInterface& UI = *Sh.UI;
  const bool resting = int64_t{GetTickCount()} - Sh.LastMouseMoveTick > kHintRestMs;
  for (int i = 1; i <= 4; ++i) {
    const std::string button = SkillButton(i), hint = SkillHint(i);
    if (UI.Exists(button) && UI.IsMouseOver(button)) {
      if (!UI.Exists(hint) || SameTextAscii(UI.GetProp(hint, "Visible"), "true") || !resting) continue;
      const int32_t top = PropInt(UI, button, "Top");
      int32_t hintTop = top - PropInt(UI, hint, "Height");
      if (hintTop < 0) hintTop = top + PropInt(UI, button, "Height");
      UI.SetProp(hint, "Left", IntToStr(PropInt(UI, button, "Left")));
      UI.SetProp(hint, "Top", IntToStr(hintTop));
      UI.ShowHintWidget(hint);
    } else if (UI.Exists(hint) && SameTextAscii(UI.GetProp(hint, "Visible"), "true")) {
      UI.HideHintWidget(hint);
    }
  }
  const double phase = Sh.Frame.GameClock * std::numbers::pi / 400.0;
  const std::string alpha = IntToStr(Round(192.0 - 63.0 * std::sin(phase)));
  for (int i = 1; i <= 4; ++i)
    if (UI.Exists(SkillButton(i))) UI.SetProp(SkillButton(i), "PictureAlpha", alpha);
}

}  // namespace qv
