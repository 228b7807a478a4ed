// contentgen: draws every picture of the card game, its font, its samples and
// its music into a staging folder from which the packer builds the shipped
// archive, and enciphers the game parameter file.
//
//   contentgen <content-folder> <output-folder>
//   contentgen --encipher <plain-file> <enciphered-file>
//   contentgen --program <content-folder> <program-folder>
//
// Pictures with alpha are written with an upper-case ".PNG" (the packer splits
// them into a colour JPEG and a grey mask), opaque pictures as ".jpg", and
// pictures whose exact colours matter with a lower-case ".png" (copied as
// they are).
#include <exception>
#include <iostream>
#include <string>

#include "Catalogue.h"
#include "Font.h"
#include "Interface.h"
#include "Music.h"
#include "Sounds.h"
#include "foundation/CUnit.h"
#include "foundation/MemoryStream.h"

namespace {

int Encipher(const std::string& from, const std::string& to) {
  qv::TMemoryStream plain;
  plain.LoadFromFile(from);
  qv::TMemoryStream out;
  qv::CryptStream(plain, out, qv::kGameDataKey);
  out.SaveToFile(to);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 4 && std::string(argv[1]) == "--encipher") return Encipher(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--program") {
      contentgen::WriteProgramFolder(argv[2], argv[3]);
      return 0;
    }
    if (argc != 3) {
      std::cerr << "usage: contentgen <content-folder> <output-folder>\n"
                   "       contentgen --encipher <plain-file> <enciphered-file>\n"
                   "       contentgen --program <content-folder> <program-folder>\n";
      return 2;
    }
    contentgen::WriteAllPictures(argv[1], argv[2]);
    contentgen::WriteFont(argv[2]);
    contentgen::WriteSounds(argv[2]);
    contentgen::WriteMusic(argv[2]);
    contentgen::WriteInterface(argv[2]);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "contentgen: " << e.what() << "\n";
    return 1;
  }
}
