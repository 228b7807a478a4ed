#include "ui/QelClipboard.h"

#include "platform/Clipboard.h"

namespace qv {

bool TSystemClipboard::CopyText(std::string_view text) { return SetClipboardText(text); }

bool TSystemClipboard::PasteText(std::string& text) { return GetClipboardText(text); }

}  // namespace qv
