#include "shell/ResourceLoading.h"

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {
constexpr int32_t kScreenW = 800, kScreenH = 600;
// The list's counter was 16 bits wide.
constexpr size_t kMaxListLines = 65535;
}  // namespace

TMemoryStream& GetFolderStream(TFileFolder& folder, std::string_view name) {
  TMemoryStream* stream = folder.IndexOf(name) >= 0 ? folder.GetStream(name) : nullptr;
  if (!stream) throw QelException("Can not find " + std::string(name) + "in file folder");
  stream->SetPosition(0);
  return *stream;
}

void CreateWorkSurfaces(TSurfEngine& engine) {
  engine.CreateEmptySurface("MemorySurface", kScreenW, kScreenH);
  engine.CreateEmptySurface("MemoryBufer", kScreenW, kScreenH);
  engine.CreateAlphaBuffer("MemoryBufer", 255);
  engine.CreateEmptySurface("Background", kScreenW, kScreenH);
  engine.CreateEmptySurface("TempMapSel", kScreenW, kScreenH);
  engine.CreateAlphaBuffer("TempMapSel", 0);
  engine.CreateEmptySurface("TempMapSelC", kScreenW, kScreenH);
  engine.CreateAlphaBuffer("TempMapSelC", 0);
  engine.CreateEmptySurface("Cover", kScreenW, kScreenH);
}

std::vector<std::string> PictureListLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size() && lines.size() < kMaxListLines) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line = TrimRight(text.substr(start, end - start));
    if (!line.empty()) lines.push_back(std::move(line));
    if (end == text.size()) break;
    start = end + 1;
  }
  return lines;
}

void LoadSurfaceList(TSurfEngine& engine, TFileFolder& archive, std::string_view listName,
                     const std::vector<std::string>& firstPictures) {
  for (const std::string& name : firstPictures)
    if (!name.empty() && engine.IndexOf(name) < 0) engine.LoadPNGFromFolder(archive, name, name);

  const std::vector<std::string> lines = PictureListLines(GetFolderStream(archive, listName).AsStringView());
  const int32_t n = int32_t(lines.size());
  const int32_t step = n / 20;
  int32_t threshold = 0;
  for (int32_t i = 0; i < n; ++i) {
    const std::string& name = lines[size_t(i)];
    if (engine.IndexOf(name) < 0) {
      if (EndsWithPng(name))
        engine.LoadPNGFromFolder(archive, name, name);
      else
        engine.LoadJPEGFromFolder(archive, name, name);
    }
    if (threshold < i) {
      if (engine.OnProgress) engine.OnProgress(Round(double(i) * 100.0 / double(n)));
      threshold += step;
    }
  }
}

void LoadFolderPictures(TSurfEngine& engine, const std::filesystem::path& folder) {
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return;
  for (const std::string& file : ListDirectory(folder)) {
    const std::string lower = LowerAscii(file);
    if (EndsWithPng(lower))
      engine.LoadPNGFromFile(lower, folder / file);
    else if (EndsWithJpg(lower))
      engine.LoadJPEGFromFile(lower, folder / file);
  }
}

}  // namespace qv
