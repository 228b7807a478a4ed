// The real program on a program folder with one piece of content missing,
// cut short or replaced by random bytes of the same size. It never crashes:
// either it starts and runs until it is ended, or it stops with an error box,
// the reason in its log and a non-zero exit status.
#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "BadContentBase.h"
#include "BadContentRunner.h"

namespace qv::e2e {
namespace {

enum class TWhere { Working, Shipped, Folder };

struct TCase {
  const char* Name;  // test name
  const char* Entry;
  TWhere Where;
  // Without the entry the start fails with this in the log; nullptr: it goes on.
  const char* MissingReason;
};

// Stands for the shell's words on an archive entry it needs and cannot find.
constexpr const char* kNotFound = "Can not find ";

std::ostream& operator<<(std::ostream& out, const TCase& c) { return out << c.Name; }

const TCase kCases[] = {
    // Entries that the conversion copies as they are: the damage reaches
    // the working archive and whatever loads it.
    {"Font", "QelUnicode.xml", TWhere::Shipped, kNotFound},
    {"FontPicture", "QelUnicode.png", TWhere::Shipped, nullptr},
    {"PictureList", "surfaces.dat", TWhere::Shipped, kNotFound},
    {"JpegPicture", "LentaBack1.jpg", TWhere::Shipped, nullptr},
    {"SwapEffect", "SwapEffect.xml", TWhere::Shipped, kNotFound},
    {"WallCrashEffect", "WallCrashEffect.xml", TWhere::Shipped, kNotFound},
    {"CardTurnEffect", "CardTurnEffect.xml", TWhere::Shipped, kNotFound},
    {"CardTurnBackEffect", "CardTurnEffectBack.xml", TWhere::Shipped, kNotFound},
    {"GiveScoreEffect", "GiveScoreEffect.xml", TWhere::Shipped, kNotFound},
    {"ThiefEffect", "ThiefDisaperEffect.xml", TWhere::Shipped, kNotFound},
    {"BonusPlaces", "BonusPlaceTypes.xml", TWhere::Shipped, kNotFound},
    {"Map", "MapPieces.xml", TWhere::Shipped, kNotFound},
    {"Interface", "Quorvane.li", TWhere::Shipped, nullptr},
    // A picture's colour part and its mask, merged by the conversion.
    {"ShippedColour", "CardFrame._JPG", TWhere::Shipped, "File CardFrame._JPG does not exist!"},
    {"ShippedMask", "CardFrame._PNG", TWhere::Shipped, nullptr},
    // The working archive, made by an earlier start and damaged since: the
    // start sees that it is not as it was written and makes it again.
    {"WorkingPicture", "CardFrame.png", TWhere::Working, nullptr},
    {"WorkingInterface", "Quorvane.li", TWhere::Working, nullptr},
    {"WorkingLevel", "Level42.xml", TWhere::Working, nullptr},
    {"WorkingSample", "Click.ogg", TWhere::Working, nullptr},
    // Files of the program folder.
    {"GameParams", "GameParams.xml", TWhere::Folder, nullptr},
    {"AddLogo", "AddLogo.xml", TWhere::Folder, nullptr},
    {"FolderPicture", "loading.jpg", TWhere::Folder, nullptr},
};

class BadContent : public ::testing::TestWithParam<TCase> {};

// The three damages of one entry run at once, each in its own folder.
TEST_P(BadContent, NeverCrashesAndFailsOnlyWithItsReason) {
  const TCase& c = GetParam();
  const fs::path& base = BaseFolder();
  constexpr std::array<TDamage, 3> kDamages{TDamage::Missing, TDamage::Truncated, TDamage::Random};
  std::vector<std::unique_ptr<TProgramCopy>> copies;
  std::vector<std::unique_ptr<TProgramRun>> runs;
  for (TDamage d : kDamages) {
    copies.push_back(std::make_unique<TProgramCopy>(base, std::string(c.Name) + "-" + DamageName(d)));
    const fs::path& folder = copies.back()->Path;
    const uint32_t seed = 1234;
    switch (c.Where) {
      case TWhere::Working:
        DamageArchiveEntry(folder / "temp" / "game.zxc", c.Entry, d, seed);
        break;
      case TWhere::Shipped:
        fs::remove(folder / "temp" / "game.zxc");
        DamageArchiveEntry(folder / "game.zxc", c.Entry, d, seed);
        break;
      case TWhere::Folder:
        DamageFile(folder / c.Entry, d, seed);
        break;
    }
    if (HasFatalFailure()) return;
    runs.push_back(std::make_unique<TProgramRun>(folder));
  }
  for (size_t i = 0; i < kDamages.size(); ++i) {
    SCOPED_TRACE(std::string(c.Entry) + " " + DamageName(kDamages[i]));
    const TRunResult r = runs[i]->Wait();
    std::cout << "  " << c.Entry << " " << DamageName(kDamages[i]) << ": " << r.Outcome() << "\n";
    EXPECT_FALSE(r.TimedOut) << r.Describe();
    EXPECT_FALSE(r.SanitizerReport()) << r.Describe();
    EXPECT_TRUE(r.EndedByUs || c.Where != TWhere::Working) << r.Describe();
    if (r.EndedByUs) {
      // It went on: it ran until it was asked to quit, nothing went wrong on
      // the way, and it shut down in order.
      EXPECT_TRUE(r.Started) << r.Describe();
      EXPECT_EQ(r.Log.find("Error box"), std::string::npos) << r.Describe();
      EXPECT_NE(r.Log.find("Average FPS: "), std::string::npos) << r.Describe();
    } else {
      // It stopped by itself: with its error box, the reason in the log and
      // a failure status, never on a signal.
      EXPECT_TRUE(r.Exited) << r.Describe();
      EXPECT_NE(r.ExitCode, 0) << r.Describe();
      EXPECT_NE(r.Log.find("Error box \"Quorvane\": "), std::string::npos) << r.Describe();
      // The reason is on the standard error too, for a log out of reach.
      EXPECT_NE(r.Errors.find("Quorvane: "), std::string::npos) << r.Describe();
    }
    if (kDamages[i] == TDamage::Missing) {
      if (c.MissingReason == nullptr) {
        EXPECT_TRUE(r.EndedByUs) << r.Describe();
      } else {
        const std::string reason = c.MissingReason == kNotFound
                                       ? kNotFound + std::string(c.Entry) + "in file folder"
                                       : std::string(c.MissingReason);
        EXPECT_FALSE(r.EndedByUs) << r.Describe();
        EXPECT_NE(r.Log.find(reason), std::string::npos) << reason << "\n" << r.Describe();
        // The box shows a generic text after the second stage: stderr must
        // give the reason itself, after either stage.
        const size_t said = r.Errors.find("Quorvane: ");
        EXPECT_NE(r.Errors.substr(said == std::string::npos ? r.Errors.size() : said).find(reason), std::string::npos)
            << reason << "\n" << r.Describe();
      }
    }
    if (HasFailure()) copies[i]->Keep = true;  // left for a look
  }

  // A damaged working archive is made again by the same start, whole.
  if (c.Where == TWhere::Working) {
    TFileFolder original(base / "temp" / "game.zxc");
    for (size_t i = 0; i < kDamages.size(); ++i) {
      SCOPED_TRACE(std::string(c.Entry) + " " + DamageName(kDamages[i]));
      const fs::path archive = fs::canonical(copies[i]->Path) / "temp" / "game.zxc";  // as the program names it
      const std::string log = ReadText(copies[i]->Path / "Quorvane.log");
      EXPECT_NE(log.find("The working archive " + archive.string() + " does not match its checksum record"),
                std::string::npos)
          << log;
      TFileFolder repaired(archive);
      TMemoryStream* entry = repaired.GetStream(c.Entry);
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(entry->Bytes(), original.GetStream(c.Entry)->Bytes());
    }
    return;
  }
  // A start that stopped on an entry of the archive names the entry and the
  // shipped archive it came with; the next start stops on it again. An entry
  // that is missing is no damage.
  const std::string line = "The entry " + std::string(c.Entry) + " of the shipped archive ";
  std::vector<size_t> again;
  for (size_t i = 0; i < kDamages.size(); ++i) {
    const std::string log = ReadText(copies[i]->Path / "Quorvane.log");
    EXPECT_TRUE(kDamages[i] != TDamage::Missing || log.find("The entry ") == std::string::npos) << log;
    if (kDamages[i] == TDamage::Missing || c.Where == TWhere::Folder || log.find("Error box") == std::string::npos ||
        log.find("File Folders morfed Ok...") == std::string::npos)
      continue;
    const fs::path archive = fs::canonical(copies[i]->Path) / "game.zxc";
    EXPECT_NE(log.find(line + archive.string() + " is damaged"), std::string::npos) << log;
    again.push_back(i);
    fs::remove(copies[i]->Path / "Quorvane.log");  // its "Game Started..." is not the new start's
    runs[i] = std::make_unique<TProgramRun>(copies[i]->Path);
  }
  for (size_t i : again) {
    SCOPED_TRACE(std::string(c.Entry) + " " + DamageName(kDamages[i]) + ", started again");
    const TRunResult r = runs[i]->Wait();
    EXPECT_FALSE(r.SanitizerReport()) << r.Describe();
    EXPECT_FALSE(r.EndedByUs) << r.Describe();
    EXPECT_EQ(r.ExitCode, 1) << r.Describe();
    EXPECT_NE(r.Log.find(line), std::string::npos) << r.Describe();
    if (HasFailure()) copies[i]->Keep = true;
    // The player then installs the good archive over the damaged one: the
    // next start converts it and goes on.
    const std::vector<uint8_t> good = ReadWholeFile(base / "game.zxc");
    AtomicWriteFile(copies[i]->Path / "game.zxc", good.data(), good.size());
    fs::remove(copies[i]->Path / "Quorvane.log");
    runs[i] = std::make_unique<TProgramRun>(copies[i]->Path);
  }
  for (size_t i : again) {
    SCOPED_TRACE(std::string(c.Entry) + " " + DamageName(kDamages[i]) + ", replaced by the good archive");
    const TRunResult r = runs[i]->Wait();
    EXPECT_FALSE(r.SanitizerReport()) << r.Describe();
    EXPECT_TRUE(r.EndedByUs) << r.Describe();
    EXPECT_NE(r.Log.find("(made from another shipped archive), converting " +
                         (fs::canonical(copies[i]->Path) / "game.zxc").string() + " again"),
              std::string::npos)
        << r.Describe();
    if (HasFailure()) copies[i]->Keep = true;
  }
}

INSTANTIATE_TEST_SUITE_P(Entries, BadContent, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TCase>& info) { return std::string(info.param.Name); });

// Stop signals close together do not cut the orderly quit short: SIGTERM
// sent again and again until the program has ended (as a repeated kill, or
// a `timeout` that also signals the process group), or a SIGINT, ends it
// with status 0 and its settings saved.
TEST(StopSignals, EndTheProgramInOrder) {
  struct TStop {
    const char* Name;
    int Signal;
    bool Repeat;
  };
  const TStop kStops[] = {{"term-repeated", SIGTERM, true}, {"interrupt", SIGINT, false}};
  std::vector<std::unique_ptr<TProgramCopy>> copies;
  std::vector<std::unique_ptr<TProgramRun>> runs;
  for (const TStop& stop : kStops) {
    copies.push_back(std::make_unique<TProgramCopy>(BaseFolder(), std::string("signals-") + stop.Name));
    runs.push_back(std::make_unique<TProgramRun>(copies.back()->Path));
  }
  for (size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(kStops[i].Name);
    const TRunResult r = runs[i]->Wait(kSettle, std::chrono::seconds(120), kStops[i].Signal, kStops[i].Repeat);
    EXPECT_TRUE(r.EndedByUs) << r.Describe();
    EXPECT_NE(r.Log.find("Average FPS: "), std::string::npos) << r.Describe();
    EXPECT_TRUE(fs::exists(copies[i]->Path / "options.cfg")) << r.Describe();
  }
}

}  // namespace
}  // namespace qv::e2e
