#include "shell/GameParams.h"

#include "foundation/CUnit.h"
#include "foundation/Files.h"
#include "foundation/MemoryStream.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

std::string MissingTag(std::string_view fileName, std::string_view tag) {
  return std::string(fileName) + ": the tag \"" + std::string(tag) + "\" is missing";
}

// An attribute that is present must be a decimal integer.
bool ReadInt(const TQelXMLTag& tag, std::string_view name, int32_t& out, std::string_view fileName) {
  const TQelParserAttribute* a = tag.FindAttribute(name);
  if (!a) return false;
  int32_t v = 0;
  if (!TryStrToInt(Trim(a->Value), v))
    throw QelException(std::string(fileName) + ": \"" + a->Value + "\" is not a valid integer value (" + tag.Name +
                       " " + std::string(name) + ")");
  out = v;
  return true;
}

// Byte-wide values keep their low eight bits, as the stored file's byte
// fields did.
void ReadByte(const TQelXMLTag& tag, std::string_view name, int32_t& out, std::string_view fileName) {
  int32_t v = 0;
  if (ReadInt(tag, name, v, fileName)) out = int32_t(uint8_t(v));
}

// The stored test wants a carriage return before every line feed; a file
// edited here has bare line feeds and is still plain text, not cipher.
bool HasOnlyTextBytes(std::string_view bytes) {
  for (unsigned char c : bytes)
    if (c < 32 && c != '\t' && c != '\r' && c != '\n') return false;
  return true;
}

const TQelXMLTag& Required(const TQelXMLTag& root, std::string_view name, std::string_view fileName) {
  const TQelXMLTag* t = root.FindTag(name);
  if (!t) throw QelException(MissingTag(fileName, name));
  return *t;
}

}  // namespace

void ParseGameParams(std::string_view bytes, std::string_view fileName, TShellGameParams& params) {
  TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  if (!IsTextStream(stream) && !HasOnlyTextBytes(bytes)) CryptStream(stream, stream, kGameDataKey);
  const std::string text(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.Size()));

  TQelParser parser;
  parser.LoadFromText(text);
  if (parser.TagCount() == 0) throw QelException(std::string(fileName) + "XML file does not has tags!");
  const TQelXMLTag& root = *parser.GetTag(0);
  if (root.Name != "GamePlayParams") return;

  // Everything is read into a copy, so that a bad file changes nothing.
  TShellGameParams p = params;
  if (const TQelXMLTag* t = root.FindTag("BornPeriod")) {
    int32_t v = 0;
    p.Game.GameBornPeriod = TryStrToInt(Trim(t->Text), v) ? v : 0;
  }
  if (const TQelXMLTag* t = root.FindTag("Acceleration")) {
    if (!ReadInt(*t, "Max", p.Game.AccelerationMax, fileName)) throw QelException(MissingTag(fileName, "Acceleration Max"));
    if (!ReadInt(*t, "Step", p.Game.AccelerationStep, fileName))
      throw QelException(MissingTag(fileName, "Acceleration Step"));
  }
  const TQelXMLTag& shadow = Required(root, "ShadowShift", fileName);
  ReadInt(shadow, "x", p.Shadow.ShiftX, fileName);
  ReadInt(shadow, "y", p.Shadow.ShiftY, fileName);
  ReadByte(shadow, "Alpha", p.Shadow.Alpha, fileName);
  if (const TQelXMLTag* path = root.FindTag("MapPath")) {
    for (int i = 0; i < 4 && i < path->TagCount(); ++i) {
      const TQelXMLTag& row = *path->GetTag(i);
      TMapPathStyle& s = p.MapPath[size_t(i)];
      ReadByte(row, "a1", s.a1, fileName);
      ReadByte(row, "a2", s.a2, fileName);
      ReadByte(row, "a3", s.a3, fileName);
      ReadByte(row, "Alpha", s.Alpha, fileName);
      ReadInt(row, "Color", s.Color, fileName);
    }
  }
  const TQelXMLTag& thief = Required(root, "ThiefShift", fileName);
  ReadInt(thief, "x", p.Game.ThiefOffset.X, fileName);
  ReadInt(thief, "y", p.Game.ThiefOffset.Y, fileName);
  const TQelXMLTag& sharper = Required(root, "Sharper", fileName);
  ReadInt(sharper, "x", p.Game.SharperOffset.X, fileName);
  ReadInt(sharper, "y", p.Game.SharperOffset.Y, fileName);
  ReadInt(sharper, "Time", p.Game.SharperDelay, fileName);
  params = p;
}

bool LoadGameParams(const std::filesystem::path& fileName, TShellGameParams& params) {
  const auto found = FindFileNoCase(fileName.parent_path(), fileName.filename().string());
  if (!found) return false;
  const std::vector<uint8_t> bytes = ReadWholeFile(*found);
  ParseGameParams(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), fileName.string(),
                  params);
  return true;
}

}  // namespace qv
