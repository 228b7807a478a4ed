// How a label's caption becomes lines: the text blocks, their breaking into
// the available width, their placement by alignment and layout, and the
// character positions of justified and slanted lines. Plain functions over a
// text-measuring interface, so the rules can be followed without a widget.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum TTextAlignment : uint8_t { taLeft, taCenter, taRight, taJustify };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
enum TBoxPlace : uint8_t { bpLeft, bpRight };

// The names above, in ordinal order, for the property layer.
const std::vector<std::string>& TextAlignmentNames();
const std::vector<std::string>& TextLayoutNames();
const std::vector<std::string>& BoxPlaceNames();

// What layout needs of a font: pixel widths of wide text and the line height.
class ITextMeasure {
 public:
  virtual ~ITextMeasure() = default;
  virtual int32_t TextWidth(std::u16string_view text) const = 0;
  virtual int32_t FontHeight() const = 0;
};

// One laid-out line of a label, or one word or link of a rich label.
struct TTextBlock {
  std::u16string Text;
  int32_t Left = 0;
  int32_t Top = 0;
  uint32_t Color = 0;
  uint32_t MouseOverColor = 0;
  uint32_t CheckedColor = 0;
  uint8_t Alpha = 0;
  std::string FontName;
  int32_t Width = 0;
  int32_t SpaceCount = 0;
  int32_t Trailing = 0;
  bool Floating = false;
};
using TTextBlocks = std::vector<TTextBlock>;

// The caption as lines are cut from it: trailing characters below code 33
// gone, every CR LF pair and every tab one blank.
std::u16string PrepareLabelText(std::u16string_view caption);

// Where the widget's picture lies for text that floats beside it.
struct TFloatArea {
  bool Floating = false;     // the label's Floating property
  int32_t PictureWidth = 0;  // lines beside the picture lose this much
  int32_t Top = 0;           // the picture's vertical span inside the widget
  int32_t Bottom = 0;
};

// Breaks prepared text into lines of at most `available` pixels: before the
// character that overflows, or at the last blank when the line has one
// (blanks at the break are dropped). Fills Text, Width, SpaceCount and
// Floating of each block.
TTextBlocks SplitLabelText(std::u16string_view text, const ITextMeasure& font, int32_t available,
                           const TFloatArea& area);

// The blanks of a line that are not its last character.
int32_t CountInnerBlanks(std::u16string_view text);

struct TBlockPlacement {
  TTextAlignment Alignment = taLeft;
  TTextLayout Layout = tlTop;
  int32_t Available = 0;    // width for text
  int32_t Height = 0;       // the widget's height
  int32_t ShiftLeft = 0;    // TextShiftLeft
  int32_t ShiftTop = 0;     // TextShiftTop
  int32_t LineSpace = 0;
  int32_t FloatShift = 0;   // added to left-aligned floating lines (picture at the left)
};
// Sets Left and Top of every block.
void PlaceLabelBlocks(TTextBlocks& blocks, int32_t fontHeight, const TBlockPlacement& place);

// The x of every character of a justified line relative to its start: the
// extra pixels (available minus the line's width) spread over its inner
// blanks, the remainder one pixel each to evenly spaced blanks. A line
// without inner blanks keeps its natural spacing.
std::vector<int32_t> JustifiedCharX(std::u16string_view text, const ITextMeasure& font, int32_t extra,
                                    int32_t spaceCount);

// A character's offset from its block's place when the line is slanted by
// `angle` degrees.
struct TCharOffset {
  int32_t X = 0;
  int32_t Y = 0;
};
// Offsets of every character of a line whose block lies at blockLeft.
std::vector<TCharOffset> SlantedCharOffsets(std::u16string_view text, const ITextMeasure& font, int32_t blockLeft,
                                            int32_t angle);

}  // namespace qv
