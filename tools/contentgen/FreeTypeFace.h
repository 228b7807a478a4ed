// One font file opened through FreeType, closed with its library.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <stdexcept>
#include <string>

namespace contentgen {

struct FreeTypeFace {
  struct LibraryDeleter {
    void operator()(FT_Library lib) const { FT_Done_FreeType(lib); }
  };
  struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
  };

  // Raises std::runtime_error with the path when the font cannot be opened.
  explicit FreeTypeFace(const std::string& fontPath) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType could not start");
    Library.reset(lib);
    FT_Face face = nullptr;
    if (FT_New_Face(lib, fontPath.c_str(), 0, &face) != 0) throw std::runtime_error("cannot open font " + fontPath);
    Face.reset(face);
  }

  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> Library;
  std::unique_ptr<FT_FaceRec_, FaceDeleter> Face;
};

}  // namespace contentgen
