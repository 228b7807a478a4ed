#include "shell/IniFile.h"

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

// The section name of a "[Name]" line; false for any other line.
bool SectionName(std::string_view line, std::string& name) {
  std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = Trim(std::string_view(t).substr(1, close - 1));
  return true;
}

// The key of a "Key=Value" line; false for any other line.
bool KeyName(std::string_view line, std::string& key) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  return true;
}

std::string OneLine(std::string_view value) {
  std::string out(value);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

}  // namespace

TIniFile TIniFile::Load(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return {};
  try {
    auto bytes = ReadWholeFile(file);
    return FromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const EInOutError&) {
    return {};
  }
}

TIniFile TIniFile::FromText(std::string_view text) {
  TIniFile ini;
  // A byte-order mark, as some editors write (some twice), would hide the
  // first section.
  while (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ini.Lines.emplace_back(line);
    pos = end + 1;
  }
  return ini;
}

int TIniFile::FindSection(std::string_view section) const {
  std::string name;
  for (size_t i = 0; i < Lines.size(); ++i)
    if (SectionName(Lines[i], name) && SameTextAscii(name, section)) return static_cast<int>(i);
  return -1;
}

int TIniFile::SectionEnd(int header) const {
  std::string name;
  size_t i = static_cast<size_t>(header) + 1;
  while (i < Lines.size() && !SectionName(Lines[i], name)) ++i;
  return static_cast<int>(i);
}

int TIniFile::FindKey(int header, std::string_view key) const {
  std::string name;
  int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i)
    if (KeyName(Lines[i], name) && SameTextAscii(name, key)) return i;
  return -1;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  int header = FindSection(section);
  if (header < 0) return std::string(def);
  int line = FindKey(header, key);
  if (line < 0) return std::string(def);
  const std::string& text = Lines[line];
  return Trim(std::string_view(text).substr(text.find('=') + 1));
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  int32_t value = 0;
  return TryStrToInt(ReadString(section, key, {}), value) ? value : def;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + OneLine(value);
  int header = FindSection(section);
  if (header < 0) {
    Lines.push_back("[" + std::string(section) + "]");
    Lines.push_back(line);
    return;
  }
  int at = FindKey(header, key);
  if (at >= 0) {
    Lines[at] = line;
    return;
  }
  // After the section's last non-blank line, so a blank line that separates
  // it from the next section stays between them.
  int end = SectionEnd(header);
  while (end > header + 1 && Trim(Lines[end - 1]).empty()) --end;
  Lines.insert(Lines.begin() + end, line);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, IntToStr(value));
}

std::string TIniFile::Text() const {
  std::string out;
  for (const auto& line : Lines) out += line + "\r\n";
  return out;
}

void TIniFile::Save(const std::filesystem::path& file) const { AtomicWriteFile(file, Text()); }

}  // namespace qv
