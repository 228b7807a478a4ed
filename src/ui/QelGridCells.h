// The grid's columns and cells and the cell-description strings that make
// and change them: items separated by ";" (a ";" inside double quotes does not
// count), each a list of attributes such as
//   Width="120" FontName="QelUnicode" Alignment="taCenter";Text="Slot 1";
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class TQelXMLTag;

struct TColumn {
  int32_t Width = 0;
  std::string FontName;
  uint32_t Color = 0;
  uint8_t Alignment = 0;      // TTextAlignment
  uint8_t Layout = 0;         // TTextLayout
  int32_t TextShiftLeft = 0;
  int32_t TextShiftTop = 0;
  uint8_t PictureHAlign = 0;  // phaLeft, phaCenter, phaRight
  uint8_t PictureVAlign = 0;  // pvaTop, pvaCenter, pvaBottom
  int32_t PictureShiftLeft = 0;
  int32_t PictureShiftTop = 0;
};
using TColumns = std::vector<TColumn>;

struct TCell {
  std::string FontName;
  uint32_t Color = 0;
  std::u16string Text;
  uint8_t Alignment = 0;
  uint8_t Layout = 0;
  int32_t TextShiftLeft = 0;
  int32_t TextShiftTop = 0;
  std::string Picture;
  uint8_t PictureHAlign = 0;
  uint8_t PictureVAlign = 0;
  int32_t PictureShiftLeft = 0;
  int32_t PictureShiftTop = 0;
};
using TCells = std::vector<TCell>;

// The items of a description, each as one child tag "Cell" of `into` with
// the item's attributes. Text after the last ";" is not an item.
void ReadCellDescriptions(std::string_view text, TQelXMLTag& into);

// The attributes a column or a cell takes from its item; other names and
// values outside the named sets are ignored, numbers that do not parse raise
// EConvertError.
void ApplyColumnAttributes(const TQelXMLTag& item, TColumn& column);
void ApplyCellAttributes(const TQelXMLTag& item, TCell& cell);

// A new cell in its column's style.
TCell CellFromColumn(const TColumn& column);

// The item `Text="...";` of a cell showing a player's text (a name, a file
// name). The description has no escape for a double quote: one would end the
// value early and drop or add cells, shifting every later row. Each becomes
// the closing quotation mark U+201D, which the font draws, so the cell shows
// the text as near as it can and every row keeps its place.
std::string TextCellItem(std::string_view text);

}  // namespace qv
