#include "graphics/ZxcPack.h"

#include <map>
#include <memory>

#include "foundation/FileFolder.h"
#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"
#include "graphics/PNGMorf.h"
#include "graphics/PictureScript.h"

namespace qv {

namespace fs = std::filesystem;

std::vector<std::string> MorfedNames(const std::string& name) {
  const size_t dot = name.find('.');
  if (dot == std::string::npos) return {name};
  const std::string base = name.substr(0, dot);
  const std::string ext = name.substr(dot + 1);
  if (ext == "PNG") return {base + "._JPG", base + "._PNG"};
  if (ext == "PnG") return {base + "._PnG", base + "._jpg"};
  if (ext == "aim") return {base + "._aim"};
  if (ext == "_aim") return {base + ".aim"};
  if (ext == "_PNG") return {base + ".PNG"};
  if (ext == "_PnG") return {base + ".PnG"};
  if (ext == "_jpg" || ext == "_JPG" || ext == "pNg") return {};
  return {name};
}

uint16_t PackKind(const std::string& fileName) {
  const std::string lower = LowerAscii(fileName);
  if (EndsWith(lower, ".png") || EndsWith(lower, ".jpg") || EndsWith(lower, ".jpeg")) return kPictureKind;
  if (EndsWith(lower, ".aim")) return kScriptKind;
  return 0;
}

void PackFolder(const fs::path& folder, const fs::path& archive, int quality) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw Exception("Can not find folder " + folder.string() + "!");
  std::vector<std::string> files;
  for (const std::string& name : ListDirectory(folder))
    if (fs::is_regular_file(folder / name, ec)) files.push_back(name);

  // Every name is checked before anything is converted, so a bad folder
  // never leaves half an archive behind.
  std::map<std::string, std::string> taken;  // lower-cased entry name -> file that gives it
  auto claim = [&](const std::string& entry, const std::string& file) {
    if (entry.size() > TFileFolder::kMaxName)
      throw Exception("File " + file + ": the entry name " + entry + " is longer than 32 characters!");
    auto [it, fresh] = taken.emplace(LowerAscii(entry), file);
    if (!fresh) throw Exception("Files " + it->second + " and " + file + " both give the entry name " + entry + "!");
  };
  std::map<std::string, std::string> inputs;
  for (const std::string& file : files) {
    if (file.size() > TFileFolder::kMaxName)
      throw Exception("File " + file + ": the name is longer than 32 characters!");
    const size_t dot = file.find('.');
    const std::string ext = dot == std::string::npos ? std::string() : file.substr(dot + 1);
    if (ext == "_PNG" || ext == "_PnG" || ext == "_JPG" || ext == "_jpg" || ext == "_aim" || ext == "pNg")
      throw Exception("File " + file + ": the extension " + ext + " belongs to the installer and can not be packed!");
    auto [it, fresh] = inputs.emplace(LowerAscii(file), file);
    if (!fresh) throw Exception("Files " + it->second + " and " + file + " differ only in letter case!");
    for (const std::string& entry : MorfedNames(file)) claim(entry, file);
  }

  std::unique_ptr<TFileFolder> source = TFileFolder::CreateNew(folder / "folder.zxc");
  for (const std::string& file : files) {
    TMemoryStream stream;
    stream.LoadFromFile(folder / file);
    source->AddFile(file, PackKind(file), stream);
  }
  TPNGMorf morf(quality);
  morf.MorfArchive(*source, archive);
}

std::vector<std::string> ListArchive(const fs::path& archive) {
  std::error_code ec;
  if (!fs::is_regular_file(archive, ec)) throw Exception("Can not find file " + archive.string() + "!");
  TFileFolder folder(archive);
  std::vector<std::string> lines;
  for (const TDirEntry& entry : folder.Dir)
    lines.push_back(entry.GetName() + "\t" + IntToStr(entry.Kind) + "\t" + IntToStr(entry.Size));
  return lines;
}

}  // namespace qv
