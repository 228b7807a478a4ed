// The card game's archive and surfaces backed by the working archive.
#pragma once

#include "content/ContentSupport.h"
#include "game/GameServices.h"

namespace qv::test {

class ArchiveOfGame : public IGameArchive {
 public:
  bool HasEntry(std::string_view name) override { return WorkingArchive().IndexOf(name) >= 0; }
  std::string ReadEntry(std::string_view name) override { return EntryText(WorkingArchive(), std::string(name)); }
};

class SurfacesOfGame : public IGameSurfaces {
 public:
  bool Exists(std::string_view name) override { return Store.Find(std::string(name)).Found; }
  bool GetSize(std::string_view name, int32_t& w, int32_t& h) override {
    const SurfaceStore::Info i = Store.Find(std::string(name));
    w = i.Width;
    h = i.Height;
    return i.Found;
  }
  void LoadPng(std::string_view name) override { Load(name, true); }
  void LoadJpeg(std::string_view name) override { Load(name, false); }
  void Release(std::string_view name) override { Store.Release(std::string(name)); }
  // Names the loader asked for that the archive could not give.
  std::vector<std::string> Missing;

 private:
  void Load(std::string_view name, bool png) {
    const std::string n(name);
    if (png)
      Store.LoadPng(n);
    else
      Store.LoadJpeg(n);
    if (!Store.Find(n).Found) Missing.push_back(n);
  }
  SurfaceStore Store;
};

}  // namespace qv::test
