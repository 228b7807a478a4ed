// Start-up of the real program against the work it cannot avoid, measured in
// the same run:
//  - a later start (working archive made) to "Game Started...", against
//    decoding the pictures it loads with libpng and libjpeg directly, and
//    the share of it that checking the working archive against its
//    checksum record takes ("check_share", aim: under 0.01);
//  - a first start (the archive converted), against decoding the shipped
//    colour and mask parts, encoding the merged pictures and decoding the
//    pictures it loads;
//  - peak memory (VmHWM) after the start-up and after a level is loaded,
//    against all surface buffers plus the archive's bytes.
// Each prints its ratio ("ratio"); the aim is at most 1.5 for all three. The
// times are the quickest of several runs, as other work on the machine only
// ever adds to them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "e2e/BadContentShell.h"
#include "BenchProgram.h"
#include "foundation/FileFolder.h"
#include "foundation/StrUtils.h"
#include "graphics/PNGMorf.h"

namespace {

using namespace qv;
using namespace qv::bench;

// ---- the floor: the codecs alone ----

struct JpegFail {
  jpeg_error_mgr Manager;
  jmp_buf Jump;
};

void JpegExit(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegFail*>(info->err)->Jump, 1); }

// Decodes to 24-bit rows; false for a damaged picture.
bool DecodeJpeg(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& out, int& width, int& height) {
  jpeg_decompress_struct info{};
  JpegFail fail{};
  info.err = jpeg_std_error(&fail.Manager);
  fail.Manager.error_exit = JpegExit;
  if (setjmp(fail.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  width = int(info.output_width);
  height = int(info.output_height);
  const size_t stride = size_t(width) * size_t(info.output_components);
  out.resize(stride * size_t(height));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

// Decodes to 8-bit rows of the given format (RGBA or grey).
bool DecodePng(const std::vector<uint8_t>& bytes, png_uint_32 format, std::vector<uint8_t>& out, int& width,
               int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = format;
  out.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  width = int(image.width);
  height = int(image.height);
  return true;
}

bool EncodePng(const std::vector<uint8_t>& rgba, int width, int height, std::vector<uint8_t>& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, rgba.data(), 0, nullptr)) return false;
  out.resize(size);
  return png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr) != 0;
}

std::vector<uint8_t> EntryBytes(TFileFolder& archive, const std::string& name) {
  TMemoryStream* s = archive.GetStream(name);
  return s ? s->Bytes() : std::vector<uint8_t>();
}

bool EndsWithNoCase(const std::string& name, const std::string& tail) {
  return name.size() >= tail.size() && LowerAscii(name.substr(name.size() - tail.size())) == tail;
}

// The pictures a start loads: those of the program folder and every name of
// the picture list (the loading bar's and the font's are among them).
struct TPictures {
  std::vector<std::vector<uint8_t>> Png, Jpeg;
};

TPictures StartPictures(const fs::path& folder) {
  TPictures p;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    std::vector<uint8_t> bytes;
    if (EndsWithNoCase(name, "png") || EndsWithNoCase(name, "jpg")) {
      std::ifstream in(e.path(), std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), {});
      (EndsWithNoCase(name, "png") ? p.Png : p.Jpeg).push_back(std::move(bytes));
    }
  }
  TFileFolder archive(folder / "temp" / "game.zxc");
  std::istringstream list(std::string(archive.GetStream("surfaces.dat")->AsStringView()));
  std::set<std::string> seen;
  for (std::string line; std::getline(list, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty() || !seen.insert(line).second || archive.IndexOf(line) < 0) continue;
    (EndsWithNoCase(line, "png") ? p.Png : p.Jpeg).push_back(EntryBytes(archive, line));
  }
  for (const char* extra : {"QelUnicode.png"})
    if (seen.insert(extra).second && archive.IndexOf(extra) >= 0) p.Png.push_back(EntryBytes(archive, extra));
  return p;
}

// Every picture decoded into a buffer of its own, all kept as the program
// keeps its surfaces; the caller frees them outside the timing.
void DecodeAll(const TPictures& p, std::vector<std::vector<uint8_t>>& kept) {
  int w = 0, h = 0;
  for (const auto& b : p.Png) {
    kept.emplace_back();
    benchmark::DoNotOptimize(DecodePng(b, PNG_FORMAT_RGBA, kept.back(), w, h));
  }
  for (const auto& b : p.Jpeg) {
    kept.emplace_back();
    benchmark::DoNotOptimize(DecodeJpeg(b, kept.back(), w, h));
  }
}

// The conversion's own work: each shipped colour part with its grey mask,
// decoded, merged and encoded as one picture with alpha.
struct TPair {
  std::vector<uint8_t> Colour, Mask;
};

std::vector<TPair> ShippedPairs(const fs::path& folder) {
  TFileFolder shipped(folder / "game.zxc");
  std::vector<TPair> pairs;
  for (int i = 0; i < shipped.Count(); ++i) {
    const std::string name = shipped.Dir[size_t(i)].GetName();
    if (name.size() < 5 || name.compare(name.size() - 5, 5, "._PNG") != 0) continue;
    const std::string colour = name.substr(0, name.size() - 5) + "._JPG";
    if (shipped.IndexOf(colour) < 0) continue;
    pairs.push_back({EntryBytes(shipped, colour), EntryBytes(shipped, name)});
  }
  return pairs;
}

void ConvertAll(const std::vector<TPair>& pairs) {
  std::vector<uint8_t> colour, mask, rgba, encoded;
  for (const TPair& p : pairs) {
    int w = 0, h = 0, mw = 0, mh = 0;
    if (!DecodeJpeg(p.Colour, colour, w, h) || !DecodePng(p.Mask, PNG_FORMAT_GRAY, mask, mw, mh)) continue;
    if (mw != w || mh != h) continue;
    rgba.resize(size_t(w) * size_t(h) * 4);
    for (size_t i = 0, n = size_t(w) * size_t(h); i < n; ++i) {
      rgba[i * 4] = colour[i * 3];
      rgba[i * 4 + 1] = colour[i * 3 + 1];
      rgba[i * 4 + 2] = colour[i * 3 + 2];
      rgba[i * 4 + 3] = mask[i];
    }
    benchmark::DoNotOptimize(EncodePng(rgba, w, h, encoded));
  }
}

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// ---- the benchmarks ----

void BM_LaterStart(benchmark::State& state) {
  const fs::path folder = PrepareFolder("later", true);
  const TPictures pictures = StartPictures(folder);
  RunProgramStart(folder, std::chrono::milliseconds(200));  // warm the file cache
  // The machine may be busy: the quickest of several runs of each counts.
  double start = 1e9, floor = 1e9, check = 1e9;
  std::string mismatch;
  for (auto _ : state) {
    start = std::min(start, RunProgramStart(folder, std::chrono::milliseconds(100)).Seconds);
    std::vector<std::vector<uint8_t>> kept;
    floor = std::min(floor, Seconds([&] { DecodeAll(pictures, kept); }));
    // The whole check of a later start: the shipped archive's identity, then
    // the working archive's checksum.
    check = std::min(check, Seconds([&] { mismatch = ChecksumMismatch(folder / "temp" / "game.zxc", folder / "game.zxc"); }));
  }
  if (!mismatch.empty()) state.SkipWithError(("the working archive was converted again: " + mismatch).c_str());
  state.counters["start_ms"] = start * 1000;
  state.counters["decode_ms"] = floor * 1000;
  state.counters["check_ms"] = check * 1000;
  state.counters["check_share"] = check / start;
  state.counters["archive_mb"] = double(fs::file_size(folder / "temp" / "game.zxc")) / (1 << 20);
  state.counters["pictures"] = double(pictures.Png.size() + pictures.Jpeg.size());
  state.counters["ratio"] = start / floor;
}
BENCHMARK(BM_LaterStart)->Iterations(7)->Unit(benchmark::kMillisecond);

void BM_FirstStart(benchmark::State& state) {
  const fs::path folder = PrepareFolder("first", true);
  const TPictures pictures = StartPictures(folder);
  const std::vector<TPair> pairs = ShippedPairs(folder);
  double start = 1e9, floor = 1e9;
  for (auto _ : state) {
    fs::remove(folder / "temp" / "game.zxc");
    start = std::min(start, RunProgramStart(folder, std::chrono::milliseconds(100)).Seconds);
    std::vector<std::vector<uint8_t>> kept;
    floor = std::min(floor, Seconds([&] {
                       ConvertAll(pairs);
                       DecodeAll(pictures, kept);
                     }));
  }
  state.counters["start_ms"] = start * 1000;
  state.counters["convert_decode_ms"] = floor * 1000;
  state.counters["pairs"] = double(pairs.size());
  state.counters["ratio"] = start / floor;
}
BENCHMARK(BM_FirstStart)->Iterations(3)->Unit(benchmark::kMillisecond);

// ---- peak memory, measured in a process of its own ----

int64_t SurfaceBytes(TShell& shell) {
  int64_t sum = 0;
  for (const TSurface& s : shell.Engine.Surfaces) {
    if (s.Surface) sum += int64_t(s.Surface->Pitch()) * s.Surface->Height();
    sum += int64_t(s.AlphaBuffer.size());
  }
  if (shell.Display && shell.Display->PrimarySurface())
    sum += int64_t(shell.Display->PrimarySurface()->Pitch()) * shell.Display->PrimarySurface()->Height();
  return sum;
}

// The child: the real shell on the folder; prints the peaks and floors.
int MemoryChild(const fs::path& folder) {
  const int64_t archive = int64_t(fs::file_size(folder / "temp" / "game.zxc"));
  e2e::TShellOnFolder shell(folder);
  shell.Passes(10);
  const int64_t startPeak = PeakMemory(), startFloor = SurfaceBytes(*shell.Shell) + archive;
  shell.Press("WTitle_BNewGame_MouseUp");
  shell.Press("WStartGame_BPlay_MouseUp");
  shell.Press("WOverview_BPlay_MouseUp");
  shell.Passes(50);
  const int64_t levelPeak = PeakMemory(), levelFloor = SurfaceBytes(*shell.Shell) + archive;
  std::printf("%lld %lld %lld %lld\n", static_cast<long long>(startPeak), static_cast<long long>(startFloor),
              static_cast<long long>(levelPeak), static_cast<long long>(levelFloor));
  std::fflush(stdout);
  return 0;
}


void BM_PeakMemory(benchmark::State& state) {
  const fs::path folder = PrepareFolder("memory", true);
  long long startPeak = 0, startFloor = 0, levelPeak = 0, levelFloor = 0;
  int64_t programPeak = 0;
  for (auto _ : state) {
    const std::string command = "QUORVANE_BENCH_MEMORY_CHILD='" + folder.string() + "' /proc/" +
                                std::to_string(::getpid()) + "/exe";
    std::FILE* child = ::popen(command.c_str(), "r");
    if (!child || std::fscanf(child, "%lld %lld %lld %lld", &startPeak, &startFloor, &levelPeak, &levelFloor) != 4) {
      state.SkipWithError("the memory child gave no figures");
      if (child) ::pclose(child);
      return;
    }
    ::pclose(child);
    programPeak = RunProgramStart(folder, std::chrono::milliseconds(1500)).PeakBytes;
  }
  state.counters["start_peak_mb"] = double(startPeak) / (1 << 20);
  state.counters["start_floor_mb"] = double(startFloor) / (1 << 20);
  state.counters["start_ratio"] = double(startPeak) / double(startFloor);
  state.counters["program_start_peak_mb"] = double(programPeak) / (1 << 20);
  state.counters["program_start_ratio"] = double(programPeak) / double(startFloor);
  state.counters["level_peak_mb"] = double(levelPeak) / (1 << 20);
  state.counters["level_floor_mb"] = double(levelFloor) / (1 << 20);
  state.counters["level_ratio"] = double(levelPeak) / double(levelFloor);
}
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

// This binary started again as the memory child runs the shell instead.
int main(int argc, char** argv) {
  if (const char* folder = std::getenv("QUORVANE_BENCH_MEMORY_CHILD")) {
    std::freopen("/dev/null", "w", stderr);
    return MemoryChild(folder);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
