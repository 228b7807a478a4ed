// Tag files: the XML-like text format of every structured data file (the
// interface description, fonts, effects, levels, the map, saved games...).
// Reading goes in two stages: the text in `Lines` is cut into typed lines
// (MakeTypifiedLines), then the tree is built from them (BuildTags).
// Parse errors are caught inside the routine that finds them and logged; the
// tree is whatever was built up to the error.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/MemoryStream.h"

namespace qv {

class TQelParserAttribute {
 public:
  TQelParserAttribute(std::string name, std::string value) : Name(std::move(name)), Value(std::move(value)) {}
  // ` name="value"`, the value written literally.
  std::string AsText() const;

  std::string Name;
  std::string Value;
};

class TQelXMLTag {
 public:
  TQelXMLTag(std::string name = {}, std::string text = {}, TQelXMLTag* parent = nullptr);
  virtual ~TQelXMLTag();
  TQelXMLTag(const TQelXMLTag&) = delete;
  TQelXMLTag& operator=(const TQelXMLTag&) = delete;

  void SetName(std::string_view name) { Name = std::string(name); }
  void SetText(std::string_view text) { Text = std::string(text); }

  TQelParserAttribute* AddAttribute(std::string_view name, std::string_view value);
  TQelXMLTag* AddTag(std::string_view name, std::string_view text = {});
  // Appends a child parsed from a tag string: `name a="1" b="2"`.
  TQelXMLTag* AddTagByString(std::string_view tagString);
  void ClearTags();
  void ClearAttributes();
  // Deep copy of name, text, attributes and children; nullptr changes nothing.
  void Assign(const TQelXMLTag* source);

  int TagCount() const { return static_cast<int>(Tags.size()); }
  int AttributeCount() const { return static_cast<int>(Attributes.size()); }
  // nullptr when the index is outside the list.
  TQelXMLTag* GetTag(int index) const;
  TQelParserAttribute* GetAttribute(int index) const;
  // First child / attribute of exactly that name (case-sensitive), or nullptr.
  TQelXMLTag* FindTag(std::string_view name) const;
  TQelParserAttribute* FindAttribute(std::string_view name) const;
  // The last child; nullptr for a tag without children.
  TQelXMLTag* LastTag() const;
  // Query form name[index]"text"(attribute query); nullptr when nothing matches.
  TQelXMLTag* FindTagByQuery(std::string_view query) const;
  // Query form name[index]"value".
  TQelParserAttribute* FindAttributeByQuery(std::string_view query) const;

  // The tag and its subtree as indented text (tabs, CR LF line ends).
  std::string MakeText(int depth) const;

  std::string Name;
  std::string Text;
  std::vector<std::unique_ptr<TQelXMLTag>> Tags;
  std::vector<std::unique_ptr<TQelParserAttribute>> Attributes;
  TQelXMLTag* Parent = nullptr;
};

class TQelParser : public TQelXMLTag {
 public:
  TQelParser();

  // Replaces the text in Lines by typed lines ("0" text, "1" end tag,
  // "2" empty tag, "3" start tag, "4" head, then the content). An unended
  // comment or head is logged and Lines keeps its text.
  void MakeTypifiedLines();
  // Clears the root and builds the tree from the typed lines in Lines. After
  // a MakeTypifiedLines that failed, Lines still holds raw text, so the tree
  // stays empty until the next successful MakeTypifiedLines.
  void BuildTags();
  // Lines from a file / from the stream's position to its end, then both stages.
  // LoadFromFile raises EInOutError when the file cannot be read.
  void LoadFromFile(const std::filesystem::path& fileName);
  void LoadFromStream(TMemoryStream& stream);
  // Convenience for text already in memory: split into Lines, then both stages.
  void LoadFromText(std::string_view text);
  // Replaces Lines by the written text of the tree.
  void MakeLines();
  // MakeLines, then every line followed by CR LF.
  void SaveToStream(TMemoryStream& stream);
  // The written text (MakeLines joined, each line followed by CR LF).
  std::string SaveToText();

  std::vector<std::string> Lines;

 private:
  bool typifyFailed_ = false;
};

// 1-based position of Sub in Text at or after Start; 0 when none or either is empty.
size_t PosFrom(std::string_view sub, std::string_view text, size_t start);
std::string ExtractBetween(std::string_view text, std::string_view open, std::string_view close, size_t start);
std::string ReplaceLineBreaks(std::string_view text);
std::string DecodeEntities(std::string_view text);
std::string EncodeEntities(std::string_view text);
// The trimmed text as a number with "." as separator; 0 when it is not one.
double StrToFloatSafe(std::string_view text);

}  // namespace qv
