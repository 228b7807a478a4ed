// The built content as the game meets it: the shipped archive of the program
// folder converted once into a working archive, its tag files, and the card
// game's services wired to that archive and to a headless surface engine.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/FileFolder.h"
#include "foundation/QelParser.h"

namespace qv {
class IFieldCanvas;
}

namespace qv::test {

// The program folder of the build and the content sources of the tree.
std::filesystem::path ProgramFolder();
std::filesystem::path ContentSources();

// The working archive made from the shipped "game.zxc" by the installer; made
// on first use and kept for the whole test run.
TFileFolder& WorkingArchive();
TFileFolder& ShippedArchive();
std::string EntryText(TFileFolder& folder, const std::string& name);
std::string ReadText(const std::filesystem::path& file);

// The level entries of the archive ("Level<N>.xml"), sorted.
std::vector<std::string> LevelEntries();
// The level number of an entry name, such as 42 for "Level42.xml".
int LevelNumber(const std::string& entry);

// Tag text parsed by the game's own parser.
std::unique_ptr<TQelParser> ParseTags(const std::string& text);
// Every tag of a tree, depth first.
void CollectTags(const TQelXMLTag& tag, std::vector<const TQelXMLTag*>& out);
std::string Attr(const TQelXMLTag& tag, const char* name);

// Pictures a level file names: its background, zone marks, belt parts, frame
// textures, level pictures and walls with their crash strips.
std::set<std::string> PicturesOfLevel(const TQelXMLTag& root);

// Surfaces of a surface engine on a headless display, behind a small face
// (the surface engine and the card game name different point lists alike, so
// one file cannot see both).
class SurfaceStore {
 public:
  SurfaceStore();
  ~SurfaceStore();
  struct Info {
    bool Found = false;
    int Width = 0, Height = 0;
    bool Alpha = false;
  };
  // Load from the working archive under the entry's own name.
  void LoadPng(const std::string& name);
  void LoadJpeg(const std::string& name);
  Info Find(const std::string& name) const;
  void Release(const std::string& name);
  // A pixel as 0xRRGGBB (0 outside the surface).
  uint32_t Pixel(const std::string& name, int x, int y);
  // The card game's drawing face over the same engine.
  IFieldCanvas& Canvas();

 private:
  struct Impl;
  std::unique_ptr<Impl> I;
};

}  // namespace qv::test
