#include "content/ContentSupport.h"

#include <unistd.h>

#include <algorithm>

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"
#include "game/GameNames.h"
#include "graphics/PNGMorf.h"

namespace qv::test {

namespace fs = std::filesystem;

fs::path ProgramFolder() { return fs::path(QUORVANE_PROGRAM_DIR); }

fs::path ContentSources() { return fs::path(QUORVANE_FIXTURES).parent_path().parent_path() / "content"; }

TFileFolder& ShippedArchive() {
  static std::unique_ptr<TFileFolder> shipped = std::make_unique<TFileFolder>(ProgramFolder() / "game.zxc");
  return *shipped;
}

TFileFolder& WorkingArchive() {
  static std::unique_ptr<TFileFolder> working = [] {
    const fs::path dir = fs::temp_directory_path() / ("quorvane-content-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path dest = dir / "game.zxc";
    fs::remove(dest);
    TPNGMorf morf(90);
    morf.MorfFile(ProgramFolder() / "game.zxc", dest);
    auto folder = std::make_unique<TFileFolder>(dest);
    folder->LoadAll();
    fs::remove_all(dir);
    return folder;
  }();
  return *working;
}

std::string EntryText(TFileFolder& folder, const std::string& name) {
  TMemoryStream* s = folder.GetStream(name);
  if (!s) throw Exception("Can not find " + name + "in file folder");
  return std::string(s->Bytes().begin(), s->Bytes().end());
}

std::string ReadText(const fs::path& file) {
  const std::vector<uint8_t> bytes = ReadWholeFile(file);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> LevelEntries() {
  std::vector<std::string> out;
  TFileFolder& f = WorkingArchive();
  for (const TDirEntry& e : f.Dir) {
    const std::string n = e.GetName();
    if (StartsWith(n, "Level") && EndsWith(n, ".xml") && n.size() > 9) out.push_back(n);
  }
  std::sort(out.begin(), out.end());
  return out;
}

int LevelNumber(const std::string& entry) { return StrToInt(entry.substr(5, entry.size() - 9)); }

std::unique_ptr<TQelParser> ParseTags(const std::string& text) {
  auto p = std::make_unique<TQelParser>();
  p->LoadFromText(text);
  return p;
}

void CollectTags(const TQelXMLTag& tag, std::vector<const TQelXMLTag*>& out) {
  for (const auto& t : tag.Tags) {
    out.push_back(t.get());
    CollectTags(*t, out);
  }
}

std::string Attr(const TQelXMLTag& tag, const char* name) {
  const TQelParserAttribute* a = tag.FindAttribute(name);
  return a ? a->Value : std::string();
}

std::set<std::string> PicturesOfLevel(const TQelXMLTag& root) {
  std::set<std::string> names;
  names.insert(Attr(root, "BackPicture"));
  std::vector<const TQelXMLTag*> all;
  CollectTags(root, all);
  for (const TQelXMLTag* t : all) {
    if (t->Name == "Zone") names.insert(Attr(*t, "Picture"));
    if (t->Name == "Belt") names.insert(Attr(*t, "PartImage"));
    if (t->Name == "LevelFrames" || t->Name == "LentaFrames") names.insert(Attr(*t, "BackPicture"));
    if (t->Name == "Image") names.insert(Attr(*t, "Name"));
    if (t->Name == "Wall") {
      const std::string pic = Attr(*t, "Picture");
      names.insert(pic);
      names.insert(WallCrashPicture(pic));
    }
  }
  names.erase("");
  return names;
}

}  // namespace qv::test
