#include "graphics/ZxcPack.h"

#include <gtest/gtest.h>

#include <fstream>

#include "PNGMorfTestSupport.h"
#include "SurfaceTestSupport.h"
#include "foundation/QelException.h"
#include "graphics/PNGMorf.h"
#include "graphics/PictureScript.h"

namespace qv {
namespace {

using test::Bgra;
using test::MakeImage;
using test::PixelAt;

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
void WriteFile(const fs::path& path, const std::string& text) {
  WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string PackError(const fs::path& folder, const fs::path& archive) {
  try {
    PackFolder(folder, archive);
  } catch (const Exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(ZxcPackTest, NamesFollowTheInstallerTable) {
  using V = std::vector<std::string>;
  EXPECT_EQ(MorfedNames("Button.PNG"), (V{"Button._JPG", "Button._PNG"}));
  EXPECT_EQ(MorfedNames("Button.PnG"), (V{"Button._PnG", "Button._jpg"}));
  EXPECT_EQ(MorfedNames("Frame.aim"), V{"Frame._aim"});
  EXPECT_EQ(MorfedNames("Cards.png"), V{"Cards.png"});
  EXPECT_EQ(MorfedNames("a.b.PNG"), V{"a.b.PNG"});  // split at the first dot
  EXPECT_EQ(MorfedNames("README"), V{"README"});
  EXPECT_EQ(MorfedNames("Old.pNg"), V{});
  EXPECT_EQ(PackKind("x.PNG"), kPictureKind);
  EXPECT_EQ(PackKind("x.Jpg"), kPictureKind);
  EXPECT_EQ(PackKind("x.aim"), kScriptKind);
  EXPECT_EQ(PackKind("Level1.xml"), 0);
}

TEST(ZxcPackTest, FolderPacksAndInstallsBackWithAlpha) {
  test::TempFolder dir;
  const fs::path content = dir / "content";
  fs::create_directories(content / "sub");
  TPngImage button = MakeImage(
      10, 6, [](int x, int y) { return Bgra{uint8_t(60 + x * 6), uint8_t(80 + y * 8), 90, uint8_t(x * 25 + y)}; }, true);
  TPngImage plain = MakeImage(4, 4, [](int x, int) { return Bgra{uint8_t(x * 60), 0, 0, 255}; }, false);
  WriteFile(content / "Button.PNG", EncodePNG(button));
  WriteFile(content / "Cards.png", EncodePNG(plain));
  WriteFile(content / "Frame.aim",
            "<AutoImage name=\"Frame\" autosize=\"true\">\n<AddImage name=\"Button.PNG\" left=\"0\" top=\"0\"/>\n");
  WriteFile(content / "Level1.xml", "<Level/>");
  WriteFile(content / "sub" / "ignored.txt", "not packed");

  const fs::path shipped = dir / "game.zxc";
  PackFolder(content, shipped);
  EXPECT_EQ(ListArchive(shipped), (std::vector<std::string>{
                                      "Button._JPG\t2\t" + std::to_string(TFileFolder(shipped).Dir[0].Size),
                                      "Button._PNG\t2\t" + std::to_string(TFileFolder(shipped).Dir[1].Size),
                                      "Cards.png\t2\t" + std::to_string(fs::file_size(content / "Cards.png")),
                                      "Frame._aim\t1\t" + std::to_string(fs::file_size(content / "Frame.aim")),
                                      "Level1.xml\t0\t8",
                                  }));

  TPNGMorf morf(90);
  morf.MorfFile(shipped, dir / "work.zxc");
  TFileFolder work(dir / "work.zxc");
  EXPECT_EQ(test::EntryNames(work),
            (std::vector<std::string>{"Button.PNG", "Cards.png", "Frame.aim", "Level1.xml", "Frame.pNg"}));
  TPngImage back = test::DecodeEntry(work, "Button.PNG");
  EXPECT_EQ(back.Alpha, button.Alpha);
  EXPECT_TRUE(test::SameImage(back, button, 10));
  TPngImage cards = test::DecodeEntry(work, "Cards.png");
  EXPECT_FALSE(cards.HasAlpha());
  EXPECT_TRUE(test::SameImage(cards, plain));
  TPngImage frame = test::DecodeEntry(work, "Frame.pNg");
  ASSERT_TRUE(frame.HasAlpha());
  EXPECT_EQ(PixelAt(frame, 0, 0).A, 0);
  EXPECT_EQ(PixelAt(frame, 9, 5).A, 255 - ((255 * (255 - PixelAt(button, 9, 5).A)) >> 8));
  EXPECT_EQ(work.GetStream("Level1.xml")->AsStringView(), "<Level/>");

  // Every picture of the working archive loads into a surface with its alpha.
  test::EngineOnDisplay screen(kFormatXRGB8888);
  screen.engine.LoadPNGFromFolder(work, "button", "button.png");
  screen.engine.LoadPNGFromFolder(work, "cards", "Cards.png");
  screen.engine.LoadPNGFromFolder(work, "frame", "Frame.pNg");
  ASSERT_NE(screen.engine.Find("button"), nullptr);
  ASSERT_NE(screen.engine.Find("cards"), nullptr);
  ASSERT_NE(screen.engine.Find("frame"), nullptr);
  EXPECT_EQ(screen.engine.Find("button")->AlphaBuffer, button.Alpha);
  EXPECT_EQ(screen.engine.Find("cards")->AlphaBuffer, std::vector<uint8_t>(16, 255));
  EXPECT_EQ(screen.engine.Find("frame")->AlphaBuffer, frame.Alpha);
  EXPECT_EQ(screen.Get("cards", 3, 0) & 0xFFFFFFu, 180u);  // blue 180 in the low byte
}

TEST(ZxcPackTest, BadNamesStopBeforeAnythingIsWritten) {
  test::TempFolder dir;
  const fs::path archive = dir / "out.zxc";
  auto fresh = [&](const std::vector<std::string>& names) {
    fs::path folder = dir / ("c" + std::to_string(std::rand()));
    fs::create_directories(folder);
    for (const std::string& n : names) WriteFile(folder / n, "data");
    return folder;
  };
  EXPECT_EQ(PackError(fresh({"a.PNG", "a._JPG"}), archive),
            "File a._JPG: the extension _JPG belongs to the installer and can not be packed!");
  for (const char* ext : {"_PNG", "_PnG", "_jpg", "_aim", "pNg"})
    EXPECT_NE(PackError(fresh({std::string("r.") + ext}), archive).find("belongs to the installer"), std::string::npos);
  EXPECT_EQ(PackError(fresh({"b.PNG", "b.PnG", "b.jpg"}), archive), "Files b.PNG and b.PnG differ only in letter case!");
  EXPECT_EQ(PackError(fresh({"Same.txt", "same.TXT"}), archive), "Files Same.txt and same.TXT differ only in letter case!");
  const std::string long32 = std::string(28, 'n') + ".PNG";  // 32 characters, but ._JPG makes 33
  EXPECT_EQ(PackError(fresh({long32}), archive),
            "File " + long32 + ": the entry name " + std::string(28, 'n') + "._JPG is longer than 32 characters!");
  const std::string long33 = std::string(29, 'x') + ".txt";
  EXPECT_EQ(PackError(fresh({long33}), archive), "File " + long33 + ": the name is longer than 32 characters!");
  EXPECT_EQ(PackError(dir / "missing", archive), "Can not find folder " + (dir / "missing").string() + "!");
  EXPECT_FALSE(fs::exists(archive));
  // A picture that is no picture stops the packing too.
  EXPECT_EQ(PackError(fresh({"Broken.PNG"}), archive), "Can not split picture Broken.PNG!");
  EXPECT_FALSE(fs::exists(archive));
  // Exactly 32 characters is fine.
  const std::string fits = std::string(28, 'k') + ".txt";
  EXPECT_EQ(PackError(fresh({fits}), archive), "no error");
  EXPECT_EQ(TFileFolder(archive).Dir[0].GetName(), fits);
}

}  // namespace
}  // namespace qv
