#include "shell/AddLogos.h"

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

std::optional<std::string> TagText(const TQelXMLTag& e, std::string_view name) {
  if (const TQelXMLTag* t = e.FindTag(name)) return t->Text;
  return std::nullopt;
}

int32_t IntOr0(std::string_view text) {
  int32_t v = 0;
  return TryStrToInt(Trim(text), v) ? v : 0;
}

std::string RewriteLink(const TQelXMLTag& url, const std::filesystem::path& programFolder,
                        const TRegistryReader& registry) {
  const TQelParserAttribute* source = url.FindAttribute("Source");
  if (!source) return ResolveNoCase(programFolder, url.Text).string();
  if (source->Value != "registry") return url.Text;
  const size_t slash = url.Text.find('\\');
  if (slash == std::string::npos) return url.Text;
  const std::string rest = url.Text.substr(slash + 1);
  const size_t dot = rest.find('.');
  if (dot == std::string::npos) return url.Text;
  return registry ? registry(rest.substr(0, dot), rest.substr(dot + 1)) : std::string();
}

}  // namespace

std::vector<TAddLogoEntry> ParseAddLogos(std::string_view text, std::string_view fileName,
                                         const std::filesystem::path& programFolder, const TRegistryReader& registry) {
  TQelParser parser;
  parser.LoadFromText(text);
  if (parser.TagCount() == 0) throw QelException(std::string(fileName) + "XML file does not has tags!");
  const TQelXMLTag& root = *parser.GetTag(0);
  std::vector<TAddLogoEntry> entries;
  entries.reserve(size_t(root.TagCount()));
  for (int i = 0; i < root.TagCount(); ++i) {
    const TQelXMLTag& e = *root.GetTag(i);
    TAddLogoEntry entry;
    entry.Index = i;
    if (const TQelXMLTag* url = e.FindTag("URL")) entry.Url = RewriteLink(*url, programFolder, registry);
    const TQelXMLTag* position = e.FindTag("Position");
    const TQelXMLTag* parent = e.FindTag("Parent");
    const TQelParserAttribute* x = position ? position->FindAttribute("x") : nullptr;
    const TQelParserAttribute* y = position ? position->FindAttribute("y") : nullptr;
    entry.IsLogo = e.Name == "Logo" && x && y && parent;
    if (entry.IsLogo) {
      entry.Parent = parent->Text;
      entry.X = IntOr0(x->Value);
      entry.Y = IntOr0(y->Value);
      entry.Picture = TagText(e, "Picture");
      entry.PictureMouseOn = TagText(e, "PictureMouseOn");
      entry.PictureMouseDown = TagText(e, "PictureMouseDown");
      entry.Caption = TagText(e, "Caption");
      if (const TQelXMLTag* color = e.FindTag("Color")) {
        if (const TQelParserAttribute* a = color->FindAttribute("Caption")) entry.Color = IntOr0(a->Value);
        if (const TQelParserAttribute* a = color->FindAttribute("MouseOverCaption"))
          entry.MouseOverColor = IntOr0(a->Value);
      }
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

int32_t LogoIndexOfName(std::string_view senderName) {
  // Characters 8 to 10: at most three digits after "AddLogo".
  if (senderName.size() <= 7) return 0;
  int32_t v = 0;
  return TryStrToInt(senderName.substr(7, 3), v) ? v : 0;
}

}  // namespace qv
