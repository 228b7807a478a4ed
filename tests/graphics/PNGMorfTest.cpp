#include "graphics/PNGMorf.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

#include "PNGMorfTestSupport.h"
#include "foundation/Files.h"
#include "foundation/Log.h"
#include "foundation/QelException.h"
#include "graphics/JpegPNG.h"
#include "graphics/PictureScript.h"

namespace qv {
namespace {

using test::Bgra;
using test::Entry;
using test::MakeImage;
using test::PixelAt;
using test::SameImage;

namespace fs = std::filesystem;

// A smooth picture with a varied alpha, so JPEG keeps its colour closely.
TPngImage Sprite(int w, int h) {
  return MakeImage(
      w, h,
      [w, h](int x, int y) {
        return Bgra{uint8_t(40 + x * 100 / w), uint8_t(90 + y * 80 / h), 160, uint8_t((x * 255 / (w - 1)) ^ (y & 1))};
      },
      true);
}

// The shipped form of a picture: colour JPEG and grey mask.
void SplitInto(std::vector<Entry>& entries, const std::string& base, const TPngImage& img, const std::string& jpgExt,
               const std::string& maskExt) {
  TMemoryStream jpeg, mask;
  ASSERT_TRUE(SplitPNG(test::PngStream(img), 90, jpeg, mask));
  entries.push_back({base + "." + jpgExt, 2, std::move(jpeg)});
  entries.push_back({base + "." + maskExt, 2, std::move(mask)});
}

std::string ReadText(const fs::path& file) {
  const std::vector<uint8_t> bytes = ReadWholeFile(file);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(JpegPNGTest, SplitThenMergeKeepsAlphaExactlyAndColourClosely) {
  TPngImage img = Sprite(24, 16);
  TMemoryStream jpeg, mask, colour, merged;
  ASSERT_TRUE(SplitPNG(test::PngStream(img), 90, jpeg, mask));
  TPngImage grey = DecodePNG(mask);
  EXPECT_EQ(grey.ColorType, kPngGrey);
  EXPECT_EQ(DecodeJPEG(jpeg).Width, 24);
  ASSERT_TRUE(JPEGToPNG(jpeg, colour));
  EXPECT_EQ(DecodePNG(colour).ColorType, kPngRGB);
  ASSERT_TRUE(MergeAlphaMask(colour, mask, merged));
  TPngImage back = DecodePNG(merged);
  ASSERT_EQ(back.ColorType, kPngRGBAlpha);
  EXPECT_EQ(back.Alpha, img.Alpha);
  EXPECT_TRUE(SameImage(back, img, 8));
}

TEST(JpegPNGTest, QualityTwoHundredFiftyFiveMeansNinety) {
  TMemoryStream png = test::PngStream(Sprite(32, 32));
  TMemoryStream a, b, c;
  ASSERT_TRUE(PNGToJPEG(png, 255, a));
  ASSERT_TRUE(PNGToJPEG(png, 90, b));
  ASSERT_TRUE(PNGToJPEG(png, 20, c));
  EXPECT_EQ(a.Bytes(), b.Bytes());
  EXPECT_NE(a.Bytes(), c.Bytes());
}

TEST(JpegPNGTest, ConversionsReportFailureInsteadOfRaising) {
  TMemoryStream junk = test::TextStream("not a picture"), empty, out, out2;
  TMemoryStream png = test::PngStream(Sprite(4, 4));
  out.WriteString("stale");
  EXPECT_FALSE(PNGToJPEG(junk, 90, out));
  EXPECT_EQ(out.Size(), 0);
  EXPECT_FALSE(PNGToJPEG(empty, 90, out));
  EXPECT_FALSE(JPEGToPNG(junk, out));
  EXPECT_FALSE(JPEGToPNG(png, out));
  EXPECT_FALSE(PNGAlphaToMask(junk, out));
  EXPECT_FALSE(MergeAlphaMask(png, junk, out));
  EXPECT_FALSE(SplitPNG(junk, 90, out, out2));
  EXPECT_EQ(out2.Size(), 0);
  // A mask of another size does not merge.
  TMemoryStream smallMask;
  ASSERT_TRUE(PNGAlphaToMask(test::PngStream(Sprite(3, 4)), smallMask));
  EXPECT_FALSE(MergeAlphaMask(png, smallMask, out));
  // A picture without alpha gives an opaque mask.
  TMemoryStream mask;
  ASSERT_TRUE(PNGAlphaToMask(test::PngStream(MakeImage(2, 2, [](int, int) { return Bgra{}; }, false)), mask));
  EXPECT_EQ(DecodePNG(mask).Pixels, std::vector<uint8_t>(12, 255));
}

TEST(PNGMorfTest, ProgressPercentTexts) {
  EXPECT_EQ(FormatProgressPercent(1, 8), "12.5");
  EXPECT_EQ(FormatProgressPercent(0, 8), "0");
  EXPECT_EQ(FormatProgressPercent(8, 8), "100");
  EXPECT_EQ(FormatProgressPercent(1, 3), "33.33");
  EXPECT_EQ(FormatProgressPercent(2, 3), "66.67");
  EXPECT_EQ(FormatProgressPercent(1, 64), "1.563");  // half away from zero
  EXPECT_EQ(FormatProgressPercent(1, 6400), "0.01563");
  EXPECT_EQ(FormatProgressPercent(9999, 10000), "99.99");
  EXPECT_EQ(FormatProgressPercent(99999, 100000), "100");
  EXPECT_EQ(FormatProgressPercent(1, 7), "14.29");
}

class PNGMorfFileTest : public ::testing::Test {
 protected:
  PNGMorfFileTest() { fs::create_directories(dir_ / "temp"); }
  test::TempFolder dir_;
  fs::path source_ = dir_ / "game.zxc";
  fs::path dest_ = dir_ / "temp" / "game.zxc";
};

TEST_F(PNGMorfFileTest, ShippedArchiveBecomesTheWorkingArchive) {
  TPngImage button = Sprite(12, 10);
  TPngImage pic = Sprite(6, 5);
  std::vector<Entry> entries;
  entries.push_back({"surfaces.dat", 7, test::TextStream("Button.PNG")});
  SplitInto(entries, "Button", button, "_JPG", "_PNG");
  entries.push_back({"Frame._aim", 1,
                     test::TextStream("<AutoImage name=\"Frame\" autosize=\"true\">\r\n"
                                      "<AddImage name=\"Button.PNG\" left=\"0\" top=\"0\" srcrect=\"2 2 5 4\"/>\r\n")});
  entries.push_back({"Cards.png", 2, test::PngStream(pic)});
  entries.push_back({"a.b._PNG", 2, test::TextStream("kept as it is")});
  entries.push_back({"README", 0, test::TextStream("no dot")});
  entries.push_back({"Old.pNg", 2, test::TextStream("made again")});
  // The mask before its colour part; the lower-case pair.
  TMemoryStream jpeg, mask;
  ASSERT_TRUE(SplitPNG(test::PngStream(pic), 90, jpeg, mask));
  entries.push_back({"Pic._PnG", 2, std::move(mask)});
  entries.push_back({"Pic._jpg", 2, std::move(jpeg)});
  entries.push_back({"Music.mo3", 5, test::TextStream("tune")});
  test::WriteArchive(source_, entries);

  TPNGMorf morf(90);
  morf.Jobs.push_back("Source=\"" + source_.string() + "\" Dest=\"" + dest_.string() + "\"");
  morf.Execute();

  TFileFolder out(dest_);
  EXPECT_EQ(test::EntryNames(out),
            (std::vector<std::string>{"surfaces.dat", "Button.PNG", "Frame.aim", "Cards.png", "a.b._PNG", "README",
                                      "Pic.PnG", "Music.mo3", "Frame.pNg"}));
  const std::vector<uint16_t> kinds = {7, 2, 1, 2, 2, 0, 2, 5, 2};
  for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(out.Dir[i].Kind, kinds[i]) << i;

  TPngImage merged = test::DecodeEntry(out, "Button.PNG");
  EXPECT_EQ(merged.Alpha, button.Alpha);
  EXPECT_TRUE(SameImage(merged, button, 8));
  EXPECT_EQ(test::DecodeEntry(out, "Pic.PnG").Alpha, pic.Alpha);
  EXPECT_EQ(out.GetStream("Cards.png")->Bytes(), test::PngStream(pic).Bytes());
  EXPECT_EQ(out.GetStream("a.b._PNG")->AsStringView(), "kept as it is");
  EXPECT_EQ(out.GetStream("Frame.aim")->AsStringView(), entries[3].Data.AsStringView());

  TPngImage frame = test::DecodeEntry(out, "Frame.pNg");
  ASSERT_EQ(frame.Width, 4);
  ASSERT_EQ(frame.Height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const int s = PixelAt(merged, x + 2, y + 2).A;
      EXPECT_EQ(PixelAt(frame, x, y).A, s == 0 ? 0 : 255 - ((255 * (255 - s)) >> 8));
    }
  // Nothing but the archive and its checksum record is left in the folder.
  EXPECT_EQ(FilesIn(dest_.parent_path()), (std::vector<std::string>{"game.zxc", "game.zxc.crc"}));
}

TEST_F(PNGMorfFileTest, PackingDirectionSplitsFullPicturesAndHidesScripts) {
  TPngImage full = Sprite(8, 8);
  TPngImage lower = Sprite(5, 3);
  std::vector<Entry> entries;
  entries.push_back({"Full.PNG", 2, test::PngStream(full)});
  entries.push_back({"Low.PnG", 2, test::PngStream(lower)});
  entries.push_back({"Low.jpg", 2, test::TextStream("jpeg bytes")});
  entries.push_back({"Make.aim", 1, test::TextStream("<AutoImage name=\"M\" autosize=\"true\">")});
  test::WriteArchive(source_, entries);
  TPNGMorf(90).MorfFile(source_, dir_ / "packed.zxc");
  TFileFolder packed(dir_ / "packed.zxc");
  EXPECT_EQ(test::EntryNames(packed),
            (std::vector<std::string>{"Full._JPG", "Full._PNG", "Low._PnG", "Low._jpg", "Low.jpg", "Make._aim"}));
  EXPECT_EQ(packed.Dir[5].Kind, 1);
  EXPECT_EQ(DecodePNG(*packed.GetStream("Full._PNG")).Pixels.size(), 64u * 3);
  EXPECT_EQ(packed.GetStream("Low._jpg")->AsStringView(), "jpeg bytes");

  // And back: the pictures return with their alpha.
  TPNGMorf(90).MorfFile(dir_ / "packed.zxc", dir_ / "work.zxc");
  TFileFolder work(dir_ / "work.zxc");
  EXPECT_EQ(test::EntryNames(work), (std::vector<std::string>{"Full.PNG", "Low.jpg", "Make.aim", "M.pNg"}));
  EXPECT_EQ(test::DecodeEntry(work, "Full.PNG").Alpha, full.Alpha);
}

TEST_F(PNGMorfFileTest, MissingPartnerStopsTheConversionAndSavesNothing) {
  const std::pair<std::string, std::string> cases[] = {
      {"Lonely._PNG", "File Lonely._JPG does not exist!"},
      {"Lonely._PnG", "File Lonely._jpg does not exist!"},
      {"Lonely.PnG", "File Lonely.jpg does not exist!"},
  };
  for (const auto& [name, error] : cases) {
    test::WriteArchive(source_, {{"First.txt", 0, test::TextStream("x")}, {name, 2, test::PngStream(Sprite(2, 2))}});
    TPNGMorf morf(90);
    try {
      morf.MorfFile(source_, dest_);
      ADD_FAILURE() << name;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), error);
    }
    EXPECT_FALSE(fs::exists(dest_));
  }
}

TEST_F(PNGMorfFileTest, DamagedPairIsLoggedAndSkipped) {
  std::vector<Entry> entries;
  SplitInto(entries, "Good", Sprite(4, 4), "_JPG", "_PNG");
  entries.push_back({"Bad._JPG", 2, test::TextStream("broken jpeg")});
  entries.push_back({"Bad._PNG", 2, test::PngStream(Sprite(4, 4))});
  TMemoryStream jpeg, mask;
  ASSERT_TRUE(SplitPNG(test::PngStream(Sprite(4, 4)), 90, jpeg, mask));
  entries.push_back({"Odd._JPG", 2, std::move(jpeg)});
  ASSERT_TRUE(PNGAlphaToMask(test::PngStream(Sprite(5, 4)), mask));
  entries.push_back({"Odd._PNG", 2, std::move(mask)});
  test::WriteArchive(source_, entries);
  Log::TakeBuffered();
  TPNGMorf(90).MorfFile(source_, dest_);
  TFileFolder out(dest_);
  EXPECT_EQ(test::EntryNames(out), std::vector<std::string>{"Good.PNG"});
  std::vector<std::string> log = Log::TakeBuffered();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_NE(log[0].find("Can not merge Bad._JPG with the mask Bad._PNG, picture Bad.PNG skipped!"), std::string::npos);
  EXPECT_NE(log[1].find("Odd.PNG skipped!"), std::string::npos);
}

TEST_F(PNGMorfFileTest, BrokenFullPictureStopsPacking) {
  test::WriteArchive(source_, {{"Broken.PNG", 2, test::TextStream("nope")}});
  try {
    TPNGMorf(90).MorfFile(source_, dest_);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Can not split picture Broken.PNG!");
  }
  EXPECT_FALSE(fs::exists(dest_));
}

TEST_F(PNGMorfFileTest, ExecuteRunsOnceAndMakesTheFolder) {
  test::WriteArchive(source_, {{"a.txt", 0, test::TextStream("A")}, {"Title.png", 2, test::TextStream("T")}});
  const fs::path made = dir_ / "temp" / "deeper" / "game.zxc";
  std::vector<std::pair<std::string, int>> progress;
  std::function<void()> atTheEnd;  // runs at the last progress line of a conversion
  TPNGMorf morf(90);
  morf.OnProgress = [&](const std::string& text, int32_t position) {
    progress.emplace_back(text, position);
    // An archive that is made again is gone before the conversion, with its
    // record: on a nearly full disk the new one needs its room.
    EXPECT_FALSE(fs::exists(made)) << text;
    EXPECT_FALSE(fs::is_regular_file(ChecksumRecordPath(made))) << text;
    if (position == 100 && atTheEnd) std::exchange(atTheEnd, nullptr)();
  };
  // Windows-style separators in the job line are accepted.
  std::string destText = (dir_ / "temp").string() + "\\deeper\\game.zxc";
  morf.Jobs.push_back("Source=\"" + source_.string() + "\" Dest=\"" + destText + "\"");
  morf.Execute();
  ASSERT_TRUE(fs::exists(made));
  EXPECT_EQ(progress, (std::vector<std::pair<std::string, int>>{{"Done: 0% ( a.txt)", 0}, {"Done: 100% ( Title.png)", 100}}));

  // A second start finds the working archive as it was written and leaves
  // it alone; one changed since, or without its record, is made again.
  const std::vector<uint8_t> whole = ReadWholeFile(made);
  const auto written = fs::last_write_time(made);
  progress.clear();
  morf.Execute();
  EXPECT_EQ(fs::last_write_time(made), written);
  EXPECT_TRUE(progress.empty());
  // What each repair made is then left alone by the start after it.
  const auto convertsNothing = [&](const std::string& after) {
    const auto repaired = fs::last_write_time(made);
    progress.clear();
    morf.Execute();
    EXPECT_TRUE(progress.empty()) << after;
    EXPECT_EQ(fs::last_write_time(made), repaired) << after;
    EXPECT_TRUE(Log::TakeBuffered().empty()) << after;
  };
  for (int damage = 0; damage < 2; ++damage) {
    if (damage == 0)
      std::ofstream(made, std::ios::app) << "marker";
    else
      fs::remove(ChecksumRecordPath(made));
    Log::TakeBuffered();
    morf.Execute();
    EXPECT_EQ(ReadWholeFile(made), whole) << damage;
    EXPECT_EQ(progress.size(), 2u) << damage;
    const std::vector<std::string> log = Log::TakeBuffered();
    ASSERT_EQ(log.size(), 1u) << damage;
    EXPECT_NE(log[0].find(made.string()), std::string::npos) << log[0];
    progress.clear();
    convertsNothing("repair " + std::to_string(damage));
  }

  // The shipped archive replaced by an update of the same size, the working
  // archive and its record untouched: the update is converted, once. (File
  // times come from a coarse clock: the update is written a little later.)
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  test::WriteArchive(source_, {{"a.txt", 0, test::TextStream("B")}, {"Title.png", 2, test::TextStream("T")}});
  Log::TakeBuffered();
  morf.Execute();
  EXPECT_EQ(TFileFolder(made).GetStream("a.txt")->AsStringView(), "B");
  std::vector<std::string> log = Log::TakeBuffered();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find(made.string()), std::string::npos) << log[0];
  EXPECT_NE(log[0].find("(made from another shipped archive), converting " + source_.string()), std::string::npos)
      << log[0];
  convertsNothing("update");

  // An update of the same size that lands while a conversion reads the
  // shipped archive is converted by the next start, once.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  test::WriteArchive(dir_ / "new.zxc", {{"a.txt", 0, test::TextStream("C")}, {"Title.png", 2, test::TextStream("T")}});
  atTheEnd = [&] { fs::rename(dir_ / "new.zxc", source_); };
  fs::remove(ChecksumRecordPath(made));
  morf.Execute();
  morf.Execute();
  EXPECT_EQ(TFileFolder(made).GetStream("a.txt")->AsStringView(), "C");
  Log::TakeBuffered();
  convertsNothing("update during a conversion");

  // A record of the older form, without the shipped archive, counts as made
  // from another one.
  const std::string record = ReadText(ChecksumRecordPath(made));
  AtomicWriteFile(ChecksumRecordPath(made), record.substr(0, record.find(' ', 9)) + "\n");
  morf.Execute();
  EXPECT_EQ(progress.size(), 2u);
  EXPECT_EQ(ReadText(ChecksumRecordPath(made)), record);
  Log::TakeBuffered();
  convertsNothing("older record");

  // A record that cannot be written is logged with its reason; the start
  // goes on with its whole archive, and the next one converts again.
  fs::remove(ChecksumRecordPath(made));
  fs::create_directories(ChecksumRecordPath(made) / "in the way");
  for (int start = 0; start < 2; ++start) {
    progress.clear();
    EXPECT_NO_THROW(morf.Execute());
    EXPECT_EQ(progress.size(), 2u) << start;
    EXPECT_EQ(TFileFolder(made).GetStream("a.txt")->AsStringView(), "C");
    log = Log::TakeBuffered();
    ASSERT_EQ(log.size(), 2u) << start;
    EXPECT_NE(log[1].find("Cannot write file \"" + ChecksumRecordPath(made).string() + "\": "), std::string::npos)
        << log[1];
    EXPECT_NE(log[1].find("the next start converts " + source_.string() + " again"), std::string::npos) << log[1];
  }
  fs::remove_all(ChecksumRecordPath(made));

  // A missing source names itself.
  TPNGMorf missing(90);
  const std::string gone = (dir_ / "gone.zxc").string();
  missing.Jobs.push_back("Source=\"" + gone + "\" Dest=\"" + (dir_ / "x.zxc").string() + "\"");
  try {
    missing.Execute();
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Can not find file " + gone + "!");
  }
  // MorfFile alone does nothing without a source.
  missing.MorfFile(dir_ / "gone.zxc", dir_ / "x.zxc");
  EXPECT_FALSE(fs::exists(dir_ / "x.zxc"));
}

// The record's CRC is zlib's CRC-32 of the whole file, also where the file
// is summed in pieces and its size is no multiple of a piece.
TEST_F(PNGMorfFileTest, ChecksumRecordHoldsTheWholeFilesCrc) {
  std::vector<uint8_t> bytes((size_t{3} << 20) + 12347);  // no multiple of two or three pieces
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t((i * 2654435761u) >> 13);
  AtomicWriteFile(dest_, bytes.data(), bytes.size());
  test::WriteArchive(source_, {{"a.txt", 0, test::TextStream("A")}});
  WriteChecksumRecord(dest_, *FileStampOf(source_));
  char expected[32];
  std::snprintf(expected, sizeof expected, "%08lx %zu ", crc32(0, bytes.data(), uInt(bytes.size())), bytes.size());
  EXPECT_EQ(ReadText(ChecksumRecordPath(dest_)).rfind(expected, 0), 0u) << ReadText(ChecksumRecordPath(dest_));
  EXPECT_EQ(ChecksumMismatch(dest_, source_), "");
}

TEST_F(PNGMorfFileTest, ProgressReportsEachEntryWithItsShareAndNotForOneEntry) {
  std::vector<Entry> entries;
  for (int i = 0; i < 9; ++i) entries.push_back({i == 1 ? "Title.png" : "e" + std::to_string(i), 0, test::TextStream("x")});
  test::WriteArchive(source_, entries);
  std::vector<std::pair<std::string, int>> progress;
  TPNGMorf morf(90);
  morf.OnProgress = [&](const std::string& text, int32_t position) { progress.emplace_back(text, position); };
  morf.MorfFile(source_, dest_);
  ASSERT_EQ(progress.size(), 9u);
  EXPECT_EQ(progress[1], std::make_pair(std::string("Done: 12.5% ( Title.png)"), 12));  // halves go to even
  EXPECT_EQ(progress[3], std::make_pair(std::string("Done: 37.5% ( e3)"), 38));
  EXPECT_EQ(progress[8], std::make_pair(std::string("Done: 100% ( e8)"), 100));

  test::WriteArchive(source_, {{"only", 0, test::TextStream("x")}});
  progress.clear();
  fs::remove(dest_);
  morf.MorfFile(source_, dest_);
  EXPECT_TRUE(progress.empty());
  EXPECT_TRUE(fs::exists(dest_));
}

}  // namespace
}  // namespace qv
