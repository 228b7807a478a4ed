// Small text helpers: ASCII-only case rules (names in data files compare
// without regard to ASCII case), trimming as the class library does, and the
// conversion between 8-bit text (UTF-8 on this system) and displayed wide
// text (UTF-16).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

std::string LowerAscii(std::string_view s);
std::string UpperAscii(std::string_view s);
bool SameTextAscii(std::string_view a, std::string_view b);

// Removes characters with codes up to 32 (blank and control characters) at both ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
// Every occurrence of from (non-empty) replaced by to, left to right.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// UTF-8 to UTF-16; every invalid or truncated sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view s);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view s);

}  // namespace qv
