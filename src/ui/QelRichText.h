// The rich label's caption language and its layout into word blocks.
//
// Text between "{" and the next "}" is a command ("{{" and "}}" are literal
// braces): colours ({$FF8000} ... {/$}), fonts ({Font Name} ... {/F}), links
// ({Link Action=<script>}text{/Link}), breaks ({BR/}, {BR 12/}), horizontal
// gaps ({HR 30/}), paragraph alignment ({Center} ... {/Center} and Left,
// Right, Justify) and tables ({Table}{TLeft 0/}..{TCenter 90/}..{TRight 200/}
// ..{/Table}). Every word becomes one block; a link's text is one block with
// empty Text, drawn by a label of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/QelTextLayout.h"

namespace qv {

struct TRichLink {
  std::string Script;    // the link label's OnMouseDown
  std::u16string Text;   // its caption
  std::string FontName;  // the font on top when the link began
  int32_t Block = -1;    // the block it is drawn in; -1 when it got none
};

struct TRichText {
  TTextBlocks Blocks;  // Left/Top relative to the text origin
  std::vector<TRichLink> Links;
};

struct TRichStyle {
  uint32_t Color = 0;                 // bottom of the colour stack
  TTextAlignment Alignment = taLeft;  // bottom of the alignment stack
  std::string FontName;               // bottom of the font stack
  int32_t Available = 0;              // Width - TextShiftLeft
};

// Lays the caption out. A colour or number in a command that does not parse
// raises EConvertError. Closing commands without an opening one are ignored,
// a "{" without a "}" is text, and a link wider than the line gets a line of
// its own.
TRichText LayoutRichText(std::u16string_view caption, const ITextMeasure& font, const TRichStyle& style);

}  // namespace qv
