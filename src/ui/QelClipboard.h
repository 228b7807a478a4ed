// The system clipboard as the edit widget uses it: plain text, UTF-8, and
// both directions may fail (no window system, another program holds it, no
// text on it). The shell gives the interface engine one; tests use a fake.
#pragma once

#include <string>
#include <string_view>

namespace qv {

class IQelClipboard {
 public:
  virtual ~IQelClipboard() = default;
  // False when the text could not be put on the clipboard.
  virtual bool CopyText(std::string_view text) = 0;
  // False (text unchanged) when the clipboard cannot be read or holds no text.
  virtual bool PasteText(std::string& text) = 0;
};

// The platform's clipboard.
class TSystemClipboard : public IQelClipboard {
 public:
  bool CopyText(std::string_view text) override;
  bool PasteText(std::string& text) override;
};

}  // namespace qv
