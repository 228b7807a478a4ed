#include "ui/QelGridCells.h"

#include <array>

#include "foundation/Numeric.h"
#include "foundation/QelParser.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

// Sets `out` to the index of value among names; unknown values leave it.
template <size_t N> void ReadName(const std::string& value, const std::array<const char*, N>& names, uint8_t& out) {
  for (size_t i = 0; i < N; ++i)
    if (value == names[i]) out = static_cast<uint8_t>(i);
}

const std::array<const char*, 4> kAlignments{"taLeft", "taCenter", "taRight", "taJustify"};
const std::array<const char*, 3> kLayouts{"tlTop", "tlCenter", "tlBottom"};
const std::array<const char*, 3> kPictureH{"phaLeft", "phaCenter", "phaRight"};
const std::array<const char*, 3> kPictureV{"pvaTop", "pvaCenter", "pvaBottom"};

// The attributes columns and cells share. True when the name was one of them.
template <class T> bool ApplyShared(const std::string& name, const std::string& value, T& out) {
  if (name == "FontName") out.FontName = value;
  else if (name == "Color") out.Color = static_cast<uint32_t>(StrToInt(value));
  else if (name == "Alignment") ReadName(value, kAlignments, out.Alignment);
  else if (name == "Layout") ReadName(value, kLayouts, out.Layout);
  else if (name == "TextShiftLeft") out.TextShiftLeft = StrToInt(value);
  else if (name == "TextShiftTop") out.TextShiftTop = StrToInt(value);
  else if (name == "PictureHAlign") ReadName(value, kPictureH, out.PictureHAlign);
  else if (name == "PictureVAlign") ReadName(value, kPictureV, out.PictureVAlign);
  else if (name == "PictureShiftLeft") out.PictureShiftLeft = StrToInt(value);
  else if (name == "PictureShiftTop") out.PictureShiftTop = StrToInt(value);
  else return false;
  return true;
}

}  // namespace

void ReadCellDescriptions(std::string_view text, TQelXMLTag& into) {
  std::string item;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      into.AddTagByString(item.empty() ? std::string("Cell") : "Cell " + item);
      item.clear();
    } else {
      item.push_back(c);
    }
  }
}

void ApplyColumnAttributes(const TQelXMLTag& item, TColumn& column) {
  for (const auto& a : item.Attributes) {
    if (a->Name == "Width") column.Width = StrToInt(a->Value);
    else ApplyShared(a->Name, a->Value, column);
  }
}

void ApplyCellAttributes(const TQelXMLTag& item, TCell& cell) {
  for (const auto& a : item.Attributes) {
    if (a->Name == "Text") cell.Text = Utf8ToUtf16(a->Value);
    else if (a->Name == "Picture") cell.Picture = a->Value;
    else ApplyShared(a->Name, a->Value, cell);
  }
}

TCell CellFromColumn(const TColumn& column) {
  TCell cell;
  cell.FontName = column.FontName;
  cell.Color = column.Color;
  cell.Alignment = column.Alignment;
  cell.Layout = column.Layout;
  cell.TextShiftLeft = column.TextShiftLeft;
  cell.TextShiftTop = column.TextShiftTop;
  cell.PictureHAlign = column.PictureHAlign;
  cell.PictureVAlign = column.PictureVAlign;
  cell.PictureShiftLeft = column.PictureShiftLeft;
  cell.PictureShiftTop = column.PictureShiftTop;
  return cell;
}

std::string TextCellItem(std::string_view text) {
  std::string item = "Text=\"";
  for (char c : text) {
    if (c == '"') item += "\xE2\x80\x9D";  // U+201D in UTF-8
    else item += c;
  }
  return item + "\";";
}

}  // namespace qv
