// The one list of every picture the generator draws, with its archive name
// and the form it is staged in.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Art.h"

namespace contentgen {

enum class Stage {
  Alpha,  // colour with alpha: staged as "<base>.PNG", shipped as JPEG + grey mask
  Jpeg,   // opaque: staged as "<base>.jpg", shipped as it is
  Exact,  // colours that must survive exactly: staged as "<base>.png", shipped as it is
};

struct PictureItem {
  std::string Name;  // the name the game asks for, such as "CardFrame.png"
  Stage Form = Stage::Alpha;
  std::function<Canvas()> Draw;
};

// The staged file name of a picture: the base of its name plus the extension
// of its form.
std::string StagedName(const PictureItem& item);

// Every picture, in a fixed order; level backgrounds and the map come from
// the level files and "MapPieces.xml" of the content folder.
std::vector<PictureItem> BuildCatalogue(const std::string& contentFolder, Fonts& fonts);

// Writes one picture in its staged form (".PNG" and ".png" as RGBA PNG,
// ".jpg" as JPEG).
void SavePicture(const Canvas& canvas, Stage form, const std::string& path);

// Writes the files the game finds beside its archive: the loading screen,
// the maker's logo and the language files.
void WriteProgramFolder(const std::string& contentFolder, const std::string& programFolder);

// Draws and writes the whole catalogue into the output folder.
void WriteAllPictures(const std::string& contentFolder, const std::string& outputFolder);

}  // namespace contentgen
