// The shell's own data files: game parameters (plain and enciphered), extra
// logos with their links, archive streams and the picture list's progress.
#include <gtest/gtest.h>

#include "foundation/CUnit.h"
#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "graphics/PictureCodec.h"
#include "shell/AddLogos.h"
#include "shell/GameParams.h"
#include "shell/ShellFakes.h"

namespace qv::test {
namespace {

constexpr const char* kParams = R"(<GamePlayParams>
  <BornPeriod>400</BornPeriod>
  <Acceleration Max="1200" Step="40"/>
  <ShadowShift x="6" y="-7" Alpha="110"/>
  <MapPath>
    <Style a1="20" a2="120" a3="230" Alpha="230" Color="4118527"/>
    <Style a1="21" Alpha="180" Color="8454143"/>
    <Style a1="22"/>
    <Style a1="23"/>
    <Style a1="24"/>
    <Style a1="25"/>
  </MapPath>
  <ThiefShift x="-20" y="-28"/>
  <Sharper x="-21" y="-29" Time="5000"/>
</GamePlayParams>)";

std::string Enciphered(std::string_view text) {
  TMemoryStream s(std::vector<uint8_t>(text.begin(), text.end()));
  CryptStream(s, s, kGameDataKey);
  return std::string(s.AsStringView());
}

// The plain text has bare line feeds, as files edited here do.
TEST(GameParams, PlainAndEncipheredGiveTheSameValues) {
  TShellGameParams plain, coded;
  ParseGameParams(kParams, "GameParams.xml", plain);
  ParseGameParams(Enciphered(kParams), "GameParams.xml", coded);
  for (const TShellGameParams* p : {&plain, &coded}) {
    EXPECT_EQ(p->Game.GameBornPeriod, 400);
    EXPECT_EQ(p->Game.AccelerationMax, 1200);
    EXPECT_EQ(p->Game.AccelerationStep, 40);
    EXPECT_EQ(p->Shadow.ShiftX, 6);
    EXPECT_EQ(p->Shadow.ShiftY, -7);
    EXPECT_EQ(p->Shadow.Alpha, 110);
    EXPECT_EQ(p->Game.ThiefOffset, (TGamePoint{-20, -28}));
    EXPECT_EQ(p->Game.SharperOffset, (TGamePoint{-21, -29}));
    EXPECT_EQ(p->Game.SharperDelay, 5000);
    EXPECT_EQ(p->MapPath[0].Color, 4118527);
    EXPECT_EQ(p->MapPath[1].a1, 21);
    EXPECT_EQ(p->MapPath[1].a2, 0) << "a missing attribute stays as it was";
    // Six styles: only the first four rows are set.
    EXPECT_EQ(p->MapPath[3].a1, 23);
  }
}

TEST(GameParams, OtherRootsChangeNothingAndBadFilesChangeNothing) {
  TShellGameParams p;
  ParseGameParams("<Other><BornPeriod>7</BornPeriod></Other>", "GameParams.xml", p);
  EXPECT_EQ(p.Game.GameBornPeriod, 0);

  try {
    ParseGameParams("no tags at all", "/x/GameParams.xml", p);
    FAIL();
  } catch (const QelException& e) {
    EXPECT_STREQ(e.what(), "/x/GameParams.xmlXML file does not has tags!");
  }
  // A required tag missing, or a value that is not a number: nothing changes.
  EXPECT_THROW(ParseGameParams("<GamePlayParams><BornPeriod>9</BornPeriod><ThiefShift/><Sharper/></GamePlayParams>",
                               "GameParams.xml", p),
               QelException);
  EXPECT_THROW(ParseGameParams(R"(<GamePlayParams><BornPeriod>9</BornPeriod><ShadowShift x="6px"/>
                                  <ThiefShift/><Sharper/></GamePlayParams>)",
                               "GameParams.xml", p),
               QelException);
  EXPECT_THROW(ParseGameParams(R"(<GamePlayParams><Acceleration Max="1"/><ShadowShift/><ThiefShift/><Sharper/>
                                  </GamePlayParams>)",
                               "GameParams.xml", p),
               QelException);
  EXPECT_EQ(p.Game.GameBornPeriod, 0);

  // A text that is no number gives a birth period of 0.
  ParseGameParams("<GamePlayParams><BornPeriod>soon</BornPeriod><ShadowShift/><ThiefShift/><Sharper/></GamePlayParams>",
                  "GameParams.xml", p);
  EXPECT_EQ(p.Game.GameBornPeriod, 0);

  // No file: nothing happens.
  TempDir dir("params");
  EXPECT_FALSE(LoadGameParams(dir.Path / "GameParams.xml", p));
}

TEST(AddLogos, LinksAreRewrittenAndOnlyCompleteLogosAreMade) {
  const std::string text = R"(<AddLogos>
  <Logo><Parent>WTitle</Parent><Position x="20" y="526"/><Picture>Logo.PNG</Picture><URL>Ostrandel.url</URL></Logo>
  <Logo><Position x="1" y="2"/><URL>NoParent.url</URL></Logo>
  <Logo><Parent>WTitle</Parent><Position x="3" y="4"/><Caption>Maker</Caption>
        <URL Source="registry">HKEY_CURRENT_USER\Software\Maker\Game.Site</URL></Logo>
  <Link><URL Source="registry">HKCU\Software\Maker\Game.Other</URL></Link>
  <Link><URL Source="web">https://example.org/</URL></Link>
  <Link><URL Source="registry">no separator</URL></Link>
</AddLogos>)";
  std::vector<std::pair<std::string, std::string>> asked;
  const TRegistryReader registry = [&](std::string_view key, std::string_view value) {
    asked.emplace_back(key, value);
    return "value of " + std::string(value);
  };
  const auto entries = ParseAddLogos(text, "AddLogo.xml", "/game", registry);
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_TRUE(entries[0].IsLogo);
  EXPECT_EQ(*entries[0].Url, "/game/Ostrandel.url");
  EXPECT_FALSE(entries[1].IsLogo) << "no parent, no logo";
  EXPECT_EQ(*entries[1].Url, "/game/NoParent.url") << "but the link is still rewritten";
  EXPECT_EQ(*entries[2].Url, "value of Site");
  EXPECT_EQ(*entries[3].Url, "value of Other");
  EXPECT_EQ(asked, (std::vector<std::pair<std::string, std::string>>{{"Software\\Maker\\Game", "Site"},
                                                                      {"Software\\Maker\\Game", "Other"}}));
  EXPECT_EQ(*entries[4].Url, "https://example.org/");
  EXPECT_EQ(*entries[5].Url, "no separator");
  EXPECT_THROW(ParseAddLogos("", "AddLogo.xml", "/game", registry), QelException);

  EXPECT_EQ(LogoIndexOfName("AddLogo2"), 2);
  EXPECT_EQ(LogoIndexOfName("AddLogo12"), 12);
  EXPECT_EQ(LogoIndexOfName("AddLogoX"), 0);
}

TEST(AddLogos, ClickOnTheThirdChildsLogoOpensItsLink) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  rig.UI->Widgets["WTitle"];
  AtomicWriteFile(rig.Dir.Path / "AddLogo.xml", R"(<AddLogos>
    <Link><URL>first.url</URL></Link>
    <Logo><Parent>WMissing</Parent><Position x="1" y="1"/><URL>second.url</URL></Logo>
    <Logo><Parent>WTitle</Parent><Position x="5" y="6"/><Caption>Maker</Caption><URL Source="web">https://example.org/</URL></Logo>
  </AddLogos>)");
  s.LoadAddLogos(rig.Dir.Path / "AddLogo.xml");
  ASSERT_EQ(s.LinkSlots.size(), 3u);
  EXPECT_EQ(s.LinkSlots[0], "") << "only a made logo keeps a link";
  EXPECT_EQ(s.LinkSlots[1], "");
  EXPECT_EQ(s.LinkSlots[2], "https://example.org/");
  ASSERT_TRUE(rig.UI->Exists("AddLogo2"));
  EXPECT_FALSE(rig.UI->Exists("AddLogo1"));
  EXPECT_EQ(rig.UI->Widgets["AddLogo2"]["Left"], "5");
  EXPECT_EQ(rig.UI->Widgets["AddLogo2"]["Width"], "40");
  EXPECT_EQ(rig.UI->Widgets["AddLogo2"]["OnMouseUp"], "ExecMethod Method=\"AddLogoMouseUp\";");

  rig.UI->Sender = "AddLogo2";
  ASSERT_TRUE(rig.UI->CallHandler("AddLogoMouseUp"));
  ASSERT_FALSE(rig.Desktop->Requests.empty());
  EXPECT_EQ(rig.Desktop->Requests.back(), "Open link: https://example.org/");
}

void WriteArchive(const std::filesystem::path& file, const std::vector<std::pair<std::string, std::string>>& entries) {
  auto folder = TFileFolder::CreateNew(file);
  for (const auto& [name, text] : entries)
    folder->AddFile(name, 0, TMemoryStream(std::vector<uint8_t>(text.begin(), text.end())));
  folder->Save();
}

std::vector<int32_t> gProgress;
void RecordProgress(int32_t p) { gProgress.push_back(p); }

TEST(ResourceLoading, PictureListReportsAboutEveryTwentiethAndMissingEntriesAreNamed) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  std::string list;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "pic" + std::to_string(i) + ".PNG";
    list += name + "\r\n";
    // Loaded already: the list only reports its progress.
    ASSERT_TRUE(s.Engine.CreateEmptySurface(name, 2, 2));
  }
  WriteArchive(rig.Dir.Path / "a.zxc", {{"surfaces.dat", list}});
  TFileFolder archive(rig.Dir.Path / "a.zxc");
  gProgress.clear();
  s.Engine.OnProgress = RecordProgress;
  LoadSurfaceList(s.Engine, archive, "surfaces.dat", {});
  s.Engine.OnProgress = nullptr;
  std::vector<int32_t> expected;
  for (int i = 1; i < 40; i += 2) expected.push_back(Round(i * 100.0 / 40.0));
  EXPECT_EQ(gProgress, expected);

  try {
    GetFolderStream(archive, "Missing.xml");
    FAIL();
  } catch (const QelException& e) {
    EXPECT_STREQ(e.what(), "Can not find Missing.xmlin file folder");
  }
  EXPECT_EQ(GetFolderStream(archive, "SURFACES.DAT").Position(), 0);
}

// The pictures decode ahead on other threads; what the caller sees must stay
// as one picture after the other: surfaces in list order, a name listed twice
// loaded once, and a damaged picture raising its error after the pictures and
// progress calls before it.
TEST(ResourceLoading, PictureListKeepsItsOrderAndStopsAtADamagedPicture) {
  ShellRig rig;
  TShell& s = *rig.Shell;
  auto bytes = [](const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); };
  std::vector<std::pair<std::string, std::string>> entries;
  std::string list;
  for (int i = 0; i < 30; ++i) {
    const bool png = i % 3 != 0;
    const std::string name = "pic" + std::to_string(i) + (png ? ".png" : ".jpg");
    TPngImage picture;
    picture.Resize(3 + i % 4, 2);
    for (size_t k = 0; k < picture.Pixels.size(); ++k) picture.Pixels[k] = uint8_t(i * 7 + int(k));
    entries.push_back({name, png ? bytes(EncodePNG(picture)) : bytes(EncodeJPEG(picture, 90))});
    list += name + "\n";
    if (i == 4) list += "pic2.png\n";  // a second line for a picture already loaded
    if (i == 24) list += "bad.png\n";
  }
  entries.push_back({"bad.png", std::string(200, 'x')});
  entries.push_back({"surfaces.dat", list});
  WriteArchive(rig.Dir.Path / "a.zxc", entries);
  TFileFolder archive(rig.Dir.Path / "a.zxc");
  const size_t before = s.Engine.Surfaces.size();
  gProgress.clear();
  s.Engine.OnProgress = RecordProgress;
  try {
    LoadSurfaceList(s.Engine, archive, "surfaces.dat", {});
    FAIL() << "the damaged picture loaded";
  } catch (const QelException& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Can not load picture bad.png: ", 0), 0u) << e.what();
  }
  s.Engine.OnProgress = nullptr;
  // 32 lines, a report after every line from the second; "bad.png" is the 27th.
  std::vector<int32_t> expected;
  for (int i = 1; i < 26; ++i) expected.push_back(Round(i * 100.0 / 32.0));
  EXPECT_EQ(gProgress, expected);
  ASSERT_EQ(s.Engine.Surfaces.size(), before + 25);
  for (int i = 0; i < 25; ++i) {
    const TSurface& loaded = s.Engine.Surfaces[before + size_t(i)];
    EXPECT_EQ(loaded.Name, "pic" + std::to_string(i) + (i % 3 != 0 ? ".png" : ".jpg"));
    EXPECT_EQ(loaded.Width, 3 + i % 4);
  }
  // A PNG's pixels arrive exactly (blue, green, red in the surface's bytes).
  const TSurface& first = s.Engine.Surfaces[before + 1];
  ASSERT_TRUE(first.Surface);
  EXPECT_EQ(first.Surface->Row(0)[0], uint8_t(7));
  EXPECT_EQ(first.Surface->Row(0)[2], uint8_t(9));
}

}  // namespace
}  // namespace qv::test
