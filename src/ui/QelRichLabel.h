// A label whose caption carries commands in braces (colours, fonts, links,
// breaks, gaps, paragraph alignment, tables; see QelRichText.h). Words are
// drawn in their own colours; links are labels of their own on top, which
// queue their scripts when clicked.
#pragma once

#include <memory>
#include <vector>

#include "ui/QelLabel.h"
#include "ui/QelRichText.h"

namespace qv {

// Published in addition: LinkColor, LinkMouseOverColor.
class TQelRichLabel : public TQelLabel {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  void Assign(const TQelObject& source) override;
  // Passed on to the links.
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
  void Draw() override;
  // Lays the caption out at any size. A number in a command that does not
  // parse raises EConvertError and leaves no text.
  void SplitCaption() override;
  void SetAlpha(uint8_t value) override;
  // UTF-8; CR LF and tabs become blanks, nothing is trimmed.
  void SetCaption(const std::string& value) override;
  void SetLinkMouseOverColor(uint32_t value);

  const TTextBlocks& RichBlocks() const { return FBlocks; }
  const std::vector<std::unique_ptr<TQelLabel>>& Links() const { return FLinks; }

  uint32_t LinkColor = 0;
  uint32_t LinkMouseOverColor = 0;

 protected:
  TTextBlocks FBlocks;
  std::vector<std::unique_ptr<TQelLabel>> FLinks;
};

}  // namespace qv
