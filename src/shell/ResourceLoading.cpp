#include "shell/ResourceLoading.h"

#include <malloc.h>

#include <algorithm>
#include <deque>
#include <future>
#include <optional>
#include <thread>
#include <unordered_set>

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

namespace {

// A picture of the list decoded on a worker thread.
struct TDecodedPicture {
  TPngImage Png;
  TBitmap24 Jpeg;
};

struct TAheadPicture {
  size_t Line = 0;
  std::future<TDecodedPicture> Result;
};

// How many pictures decode ahead of the one being added: enough to keep the
// cores busy, few enough that the decoded pictures waiting cost little memory.
size_t PicturesAhead() { return std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 3); }

}  // namespace

void LoadSurfaceList(TSurfEngine& engine, TFileFolder& archive, std::string_view listName,
                     const std::vector<std::string>& firstPictures) {
  for (const std::string& name : firstPictures)
    if (!name.empty() && engine.IndexOf(name) < 0)
      LoadFromEntry(archive, name, [&] { engine.LoadPNGFromFolder(archive, name, name); });

  const std::vector<std::string> lines = PictureListLines(GetFolderStream(archive, listName).AsStringView());

  // Decoding is most of the loading and each picture's is independent, so
  // the pictures are decoded a few ahead on worker threads. Surfaces, progress
  // calls and errors stay on this thread in the list's order: a picture whose
  // entry cannot be read ahead, or that is named again, loads here as before,
  // and a decoding error is raised when its line is reached.
  std::vector<size_t> wanted;
  {
    std::unordered_set<std::string_view> seen;
    for (size_t i = 0; i < lines.size(); ++i)
      if (seen.insert(lines[i]).second && engine.IndexOf(lines[i]) < 0) wanted.push_back(i);
  }
  std::deque<TAheadPicture> ahead;
  size_t nextWanted = 0;
  const size_t window = PicturesAhead();
  auto decodeAhead = [&] {
    while (ahead.size() < window && nextWanted < wanted.size()) {
      const size_t line = wanted[nextWanted++];
      const std::string& name = lines[line];
      TMemoryStream* stream = nullptr;
      try {
        if (archive.IndexOf(name) >= 0) stream = archive.GetStream(name);
      } catch (const std::exception&) {
        stream = nullptr;  // reading it again on its turn raises the error there
      }
      if (!stream) continue;
      stream->SetPosition(0);
      const bool png = EndsWithPng(name);
      ahead.push_back({line, std::async(std::launch::async, [stream, &name, png] {
                         TDecodedPicture d;
                         if (png)
                           d.Png = TSurfEngine::DecodeArchivePNG(*stream, name);
                         else
                           d.Jpeg = TSurfEngine::DecodeArchiveJPEG(*stream, name);
                         return d;
                       })});
    }
  };

  const int32_t n = int32_t(lines.size());
  const int32_t step = n / 20;
  int32_t threshold = 0;
  for (int32_t i = 0; i < n; ++i) {
    decodeAhead();
    const std::string& name = lines[size_t(i)];
    LoadFromEntry(archive, name, [&] {
      const bool decoded = !ahead.empty() && ahead.front().Line == size_t(i);
      std::optional<TDecodedPicture> picture;
      if (decoded) {
        std::future<TDecodedPicture> result = std::move(ahead.front().Result);
        ahead.pop_front();
        picture = result.get();
      }
      if (engine.IndexOf(name) < 0) {
        if (picture && EndsWithPng(name))
          engine.AddArchivePNG(name, name, picture->Png);
        else if (picture)
          engine.AddArchiveJPEG(name, name, picture->Jpeg);
        else if (EndsWithPng(name))
          engine.LoadPNGFromFolder(archive, name, name);
        else
          engine.LoadJPEGFromFolder(archive, name, name);
      }
    });
    if (threshold < i) {
      if (engine.OnProgress) engine.OnProgress(Round(double(i) * 100.0 / double(n)));
      threshold += step;
    }
  }
  // The decoded pictures were made in the worker threads' own malloc arenas,
  // which keep the freed memory: give it back rather than carry it all game.
  malloc_trim(0);
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
