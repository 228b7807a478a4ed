// The system clipboard's plain text, UTF-8 on both sides. Both calls fail
// (false, nothing changed) while no window system is there, for instance
// headless or before the display is opened.
#pragma once

#include <string>
#include <string_view>

namespace qv {

bool SetClipboardText(std::string_view text);
// False when the clipboard cannot be read or holds no text.
bool GetClipboardText(std::string& text);

}  // namespace qv
