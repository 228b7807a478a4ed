#include "content/FontGlyphs.h"

#include "content/ContentSupport.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/SFunctions.h"

namespace qv::test {

namespace {

std::string ChildText(const TQelXMLTag& tag, const char* name) {
  for (const auto& c : tag.Tags)
    if (c->Name == name) return c->Text;
  throw Exception(std::string("font description has no ") + name);
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> out(1);
  for (char c : text) {
    if (c == sep)
      out.emplace_back();
    else
      out.back() += c;
  }
  return out;
}

ShippedFont ReadFont() {
  auto file = ParseTags(EntryText(WorkingArchive(), "QelUnicode.xml"));
  if (file->Tags.empty()) throw Exception("QelUnicode.xml holds no tags");
  const TQelXMLTag& root = *file->Tags.front();
  ShippedFont font;
  font.Name = ChildText(root, "Name");
  font.Picture = ChildText(root, "Picture");
  font.Height = StrToInt(ChildText(root, "Height"));
  const std::vector<std::string> entries = Split(ChildText(root, "Metrics"), ',');
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::vector<std::string> f = Split(entries[i], ':');
    if (f.size() != 6) throw Exception("glyph entry without six fields: " + entries[i]);
    const int code = StrToInt(f[0]);
    if (code < 0 || code > 0xFFFF) throw Exception("glyph code outside UTF-16: " + entries[i]);
    FontGlyph g{StrToInt(f[1]), StrToInt(f[2]), StrToInt(f[3]), StrToInt(f[4]), StrToInt(f[5]), int(i)};
    // As in the font engine, a later entry of the same code wins.
    font.Glyphs[char16_t(code)] = g;
  }
  return font;
}

}  // namespace

const ShippedFont& QelUnicodeFont() {
  static const ShippedFont font = ReadFont();
  return font;
}

}  // namespace qv::test
