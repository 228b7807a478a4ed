// A small reader and writer of INI text ("[Section]" lines and "Key=Value"
// lines), enough for "options.cfg". Sections and keys compare without regard
// to ASCII case. Writing keeps every line the program did not change (other
// keys, other sections, comments) where it was, so a key the program never
// writes keeps what the file holds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class TIniFile {
 public:
  TIniFile() = default;
  // A missing or unreadable file gives an empty text.
  static TIniFile Load(const std::filesystem::path& file);
  static TIniFile FromText(std::string_view text);

  // The text after the first "=" of the key's line, without surrounding
  // blanks; def when the section or key is missing.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal, or hexadecimal after "$" or "0x"; def when missing or malformed.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;

  // Replaces the key's value in place, or adds the key at the end of its
  // section (adding the section at the end of the text when needed).
  // Line breaks in the value become blanks, so a value stays one line.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);

  // The whole text, lines ended by CR LF.
  std::string Text() const;
  // Writes Text() through a temporary file; EInOutError when that fails.
  void Save(const std::filesystem::path& file) const;

 private:
  // Index of the section's header line, or -1.
  int FindSection(std::string_view section) const;
  // Index of the key's line within the section starting at header, or -1.
  int FindKey(int header, std::string_view key) const;
  // The first line after the section's body (the next header or the end).
  int SectionEnd(int header) const;

  std::vector<std::string> Lines;
};

}  // namespace qv
