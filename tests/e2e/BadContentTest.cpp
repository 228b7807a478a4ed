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
    {"Font", "QelUnicode.xml", TWhere::Working, kNotFound},
    {"FontPicture", "QelUnicode.png", TWhere::Working, nullptr},
    {"PictureList", "surfaces.dat", TWhere::Working, kNotFound},
    {"PngPicture", "CardFrame.png", TWhere::Working, nullptr},
    {"JpegPicture", "LentaBack1.jpg", TWhere::Working, nullptr},
    {"SwapEffect", "SwapEffect.xml", TWhere::Working, kNotFound},
    {"WallCrashEffect", "WallCrashEffect.xml", TWhere::Working, kNotFound},
    {"CardTurnEffect", "CardTurnEffect.xml", TWhere::Working, kNotFound},
    {"CardTurnBackEffect", "CardTurnEffectBack.xml", TWhere::Working, kNotFound},
    {"GiveScoreEffect", "GiveScoreEffect.xml", TWhere::Working, kNotFound},
    {"ThiefEffect", "ThiefDisaperEffect.xml", TWhere::Working, kNotFound},
    {"BonusPlaces", "BonusPlaceTypes.xml", TWhere::Working, kNotFound},
    {"Map", "MapPieces.xml", TWhere::Working, kNotFound},
    {"Interface", "Quorvane.li", TWhere::Working, nullptr},
    // The shipped archive, converted on the first start: a picture's colour
    // part and its mask.
    {"ShippedColour", "CardFrame._JPG", TWhere::Shipped, "File CardFrame._JPG does not exist!"},
    {"ShippedMask", "CardFrame._PNG", TWhere::Shipped, nullptr},
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
      }
    }
    if (HasFailure()) copies[i]->Keep = true;  // left for a look
  }
}

INSTANTIATE_TEST_SUITE_P(Entries, BadContent, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace qv::e2e
