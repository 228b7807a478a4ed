#include "foundation/QelParser.h"

#include <cmath>
#include <utility>

#include "foundation/Files.h"
#include "foundation/Log.h"
#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// Texts at least this long go on a line of their own between the tags.
constexpr size_t kInlineTextLimit = 80;

// Lines split at CR, LF or CR LF, as the class library's string list reads
// text: a break at the very end does not start another line.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0, i = 0, n = text.size();
  while (i < n) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < n) lines.emplace_back(text.substr(start));
  return lines;
}

// Every line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + kCrLf.size();
  std::string out;
  out.reserve(total);
  for (const auto& l : lines) {
    out += l;
    out += kCrLf;
  }
  return out;
}

void AppendAttributes(std::string& out, const TQelXMLTag& tag) {
  for (const auto& a : tag.Attributes) {
    out += ' ';
    out += a->Name;
    out += "=\"";
    out += a->Value;
    out += '"';
  }
}

void AppendIndent(std::string& out, int depth) {
  if (depth > 0) out.append(static_cast<size_t>(depth), '\t');
}

bool IsInline(const TQelXMLTag& tag) { return !tag.Text.empty() && tag.Text.size() < kInlineTextLimit; }

// Writes the opening part of a tag (and its text); false when the tag was
// written whole as an empty tag and needs no closing part.
bool AppendOpening(std::string& out, const TQelXMLTag& tag, int depth) {
  AppendIndent(out, depth);
  out += '<';
  out += tag.Name;
  AppendAttributes(out, tag);
  if (tag.Tags.empty() && tag.Text.empty()) {
    out += " />";
    out += kCrLf;
    return false;
  }
  bool inlineText = IsInline(tag);
  out += '>';
  if (!inlineText) out += kCrLf;
  if (!tag.Text.empty()) {
    if (!inlineText) AppendIndent(out, depth);
    out += EncodeEntities(tag.Text);
    if (!inlineText) out += kCrLf;
  }
  return true;
}

void AppendClosing(std::string& out, const TQelXMLTag& tag, int depth) {
  if (!IsInline(tag)) AppendIndent(out, depth);
  out += "</";
  out += tag.Name;
  out += '>';
  out += kCrLf;
}

// Iterative, so that a deeply nested file cannot overflow the stack, and
// appending to one buffer, so that writing stays linear in the output size.
void AppendTree(std::string& out, const TQelXMLTag& top, int depth) {
  struct Frame {
    const TQelXMLTag* tag;
    int depth;
    size_t next;
  };
  if (!AppendOpening(out, top, depth)) return;
  std::vector<Frame> stack{{&top, depth, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next < f.tag->Tags.size()) {
      const TQelXMLTag* child = f.tag->Tags[f.next++].get();
      int childDepth = f.depth + 1;
      if (AppendOpening(out, *child, childDepth)) stack.push_back({child, childDepth, 0});
    } else {
      AppendClosing(out, *f.tag, f.depth);
      stack.pop_back();
    }
  }
}

void CopyAttributes(const TQelXMLTag& from, TQelXMLTag& to) {
  for (const auto& a : from.Attributes) to.AddAttribute(a->Name, a->Value);
}

// A typed line: the kind character, then the content.
std::string Typed(char kind, std::string_view content) {
  std::string line;
  line.reserve(content.size() + 1);
  line += kind;
  line += content;
  return line;
}

void RemoveFirst(std::string& s, std::string_view piece) {
  size_t p = s.find(piece);
  if (p != std::string::npos) s.erase(p, piece.size());
}

// The pieces of a query name[index]"text"(attribute query); a piece not
// given is empty.
struct Query {
  std::string name, index, text, attributes;
};

Query SplitQuery(std::string_view query, bool withAttributes) {
  Query q;
  std::string rest(query);
  if (withAttributes) {
    q.attributes = ExtractBetween(rest, "(", ")", 1);
    if (!q.attributes.empty()) RemoveFirst(rest, "(" + q.attributes + ")");
  }
  q.index = ExtractBetween(rest, "[", "]", 1);
  q.text = ExtractBetween(rest, "\"", "\"", 1);
  if (!q.text.empty()) RemoveFirst(rest, "\"" + q.text + "\"");
  if (!q.index.empty()) RemoveFirst(rest, "[" + q.index + "]");
  q.name = std::move(rest);
  return q;
}

// The index of a query when it is a decimal number inside the list, else -1
// (the whole list is then searched).
int QueryIndex(const std::string& index, size_t count) {
  if (index.empty()) return -1;
  for (char c : index)
    if (c < '0' || c > '9') return -1;
  int32_t value = 0;
  if (!TryStrToInt(index, value) || value < 0 || static_cast<size_t>(value) >= count) return -1;
  return value;
}

template <typename T, typename Match>
T* FindByQuery(const std::vector<std::unique_ptr<T>>& list, const Query& q, Match match) {
  if (list.empty()) return nullptr;
  int index = QueryIndex(q.index, list.size());
  if (index >= 0) return match(*list[static_cast<size_t>(index)]) ? list[static_cast<size_t>(index)].get() : nullptr;
  for (const auto& item : list)
    if (match(*item)) return item.get();
  return nullptr;
}

}  // namespace

// ---- TQelParserAttribute ----

std::string TQelParserAttribute::AsText() const { return " " + Name + "=\"" + Value + "\""; }

// ---- TQelXMLTag ----

TQelXMLTag::TQelXMLTag(std::string name, std::string text, TQelXMLTag* parent)
    : Name(std::move(name)), Text(std::move(text)), Parent(parent) {}

TQelXMLTag::~TQelXMLTag() {
  // Frees the subtree without recursion: a file nested a million tags deep
  // must not overflow the stack when its tree goes away.
  std::vector<std::unique_ptr<TQelXMLTag>> pending = std::move(Tags);
  while (!pending.empty()) {
    std::unique_ptr<TQelXMLTag> tag = std::move(pending.back());
    pending.pop_back();
    for (auto& child : tag->Tags) pending.push_back(std::move(child));
    tag->Tags.clear();
  }
}

TQelParserAttribute* TQelXMLTag::AddAttribute(std::string_view name, std::string_view value) {
  Attributes.push_back(std::make_unique<TQelParserAttribute>(std::string(name), std::string(value)));
  return Attributes.back().get();
}

TQelXMLTag* TQelXMLTag::AddTag(std::string_view name, std::string_view text) {
  Tags.push_back(std::make_unique<TQelXMLTag>(std::string(name), std::string(text), this));
  return Tags.back().get();
}

TQelXMLTag* TQelXMLTag::AddTagByString(std::string_view tagString) {
  TQelXMLTag* child = AddTag({}, {});
  size_t blank = tagString.find(' ');
  if (blank == std::string_view::npos) {
    child->Name = std::string(tagString);
    return child;
  }
  child->Name = std::string(tagString.substr(0, blank));
  const std::string q = "\"";
  size_t pos = blank;
  while (pos < tagString.size()) {
    size_t eq = tagString.find('=', pos);
    if (eq == std::string_view::npos) {
      Log::Write("[TQelXMLTag.AddTagByString] Expected Attribute name but found nothing! Tag name: " + q +
                 child->Name + q + ".");
      break;
    }
    std::string attrName = Trim(tagString.substr(pos, eq - pos));
    size_t open = tagString.find('"', eq);
    size_t close = open == std::string_view::npos ? open : tagString.find('"', open + 1);
    if (close == std::string_view::npos) {
      Log::Write(std::string("[TQelXMLTag.AddTagByString] Expected ") +
                 (open == std::string_view::npos ? "open " : "closed ") + q +
                 " in Attribute value but found nothing! Tag name: " + q + child->Name + q + ", Attribute name: " +
                 q + attrName + q + ".");
      break;
    }
    child->AddAttribute(attrName, tagString.substr(open + 1, close - open - 1));
    pos = close + 1;
  }
  return child;
}

void TQelXMLTag::ClearTags() {
  // Moved out first so that the list is already empty while children go.
  std::vector<std::unique_ptr<TQelXMLTag>> old = std::move(Tags);
  Tags.clear();
}

void TQelXMLTag::ClearAttributes() { Attributes.clear(); }

void TQelXMLTag::Assign(const TQelXMLTag* source) {
  if (source == nullptr) return;
  // The copy is made in full before anything here is freed, so a source
  // inside this very subtree (or this tag itself) is copied intact.
  TQelXMLTag copy(source->Name, source->Text);
  CopyAttributes(*source, copy);
  std::vector<std::pair<const TQelXMLTag*, TQelXMLTag*>> pending{{source, &copy}};
  while (!pending.empty()) {
    auto [from, to] = pending.back();
    pending.pop_back();
    for (const auto& child : from->Tags) {
      TQelXMLTag* made = to->AddTag(child->Name, child->Text);
      CopyAttributes(*child, *made);
      pending.emplace_back(child.get(), made);
    }
  }
  ClearAttributes();
  ClearTags();
  Name = std::move(copy.Name);
  Text = std::move(copy.Text);
  Attributes = std::move(copy.Attributes);
  Tags = std::move(copy.Tags);
  for (auto& child : Tags) child->Parent = this;
}

TQelXMLTag* TQelXMLTag::GetTag(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= Tags.size()) return nullptr;
  return Tags[static_cast<size_t>(index)].get();
}

TQelParserAttribute* TQelXMLTag::GetAttribute(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= Attributes.size()) return nullptr;
  return Attributes[static_cast<size_t>(index)].get();
}

TQelXMLTag* TQelXMLTag::FindTag(std::string_view name) const {
  for (const auto& t : Tags)
    if (t->Name == name) return t.get();
  return nullptr;
}

TQelParserAttribute* TQelXMLTag::FindAttribute(std::string_view name) const {
  for (const auto& a : Attributes)
    if (a->Name == name) return a.get();
  return nullptr;
}

TQelXMLTag* TQelXMLTag::LastTag() const { return Tags.empty() ? nullptr : Tags.back().get(); }

TQelXMLTag* TQelXMLTag::FindTagByQuery(std::string_view query) const {
  Query q = SplitQuery(query, true);
  return FindByQuery(Tags, q, [&](const TQelXMLTag& t) {
    return (q.name.empty() || t.Name == q.name) && (q.text.empty() || t.Text == q.text) &&
           (q.attributes.empty() || t.FindAttributeByQuery(q.attributes) != nullptr);
  });
}

TQelParserAttribute* TQelXMLTag::FindAttributeByQuery(std::string_view query) const {
  Query q = SplitQuery(query, false);
  return FindByQuery(Attributes, q, [&](const TQelParserAttribute& a) {
    return (q.name.empty() || a.Name == q.name) && (q.text.empty() || a.Value == q.text);
  });
}

std::string TQelXMLTag::MakeText(int depth) const {
  std::string out;
  AppendTree(out, *this, depth);
  return out;
}

// ---- TQelParser ----

TQelParser::TQelParser() : TQelXMLTag("root") {}

void TQelParser::MakeTypifiedLines() {
  const std::string text = JoinLines(Lines);
  const std::string_view s(text);
  const size_t n = s.size();
  std::vector<std::string> typed;
  auto emitText = [&](std::string_view piece) {
    std::string trimmed = Trim(piece);
    if (!trimmed.empty()) typed.push_back(Typed('0', DecodeEntities(ReplaceLineBreaks(trimmed))));
  };
  auto fail = [&](const char* message) {
    // The typed lines made so far are dropped; Lines keeps its text.
    Log::Write(message);
    typifyFailed_ = true;
  };
  // Once no ">" follows some position, none follows any later one: a text
  // full of stray "<" is still scanned in linear time.
  bool noMoreGreater = false;
  size_t i = 0;
  while (i < n) {
    size_t lt = s.find('<', i);
    if (lt == std::string_view::npos) {
      emitText(s.substr(i));
      break;
    }
    emitText(s.substr(i, lt - i));
    i = lt;
    if (s.compare(i, 4, "<!--") == 0) {
      size_t end = s.find("-->", i + 4);
      if (end == std::string_view::npos) return fail("[TQelXMLTag.MakeTypifiedLines] Comments started, but never ended!");
      i = end + 3;
    } else if (s.compare(i, 2, "<?") == 0) {
      size_t end = s.find("?>", i + 2);
      if (end == std::string_view::npos)
        return fail("[TQelXMLTag.MakeTypifiedLines] XML Head started, but never ended!");
      typed.push_back(Typed('4', ReplaceLineBreaks(s.substr(i + 2, end - i - 2))));
      i = end + 2;
    } else {
      size_t gt = noMoreGreater ? std::string_view::npos : s.find('>', i);
      if (gt == std::string_view::npos) {
        noMoreGreater = true;
        i = lt + 1;
        continue;
      }
      std::string_view content = s.substr(i + 1, gt - i - 1);
      if (!content.empty() && content.front() == '/') {
        typed.push_back(Typed('1', ReplaceLineBreaks(content.substr(1))));
      } else if (!content.empty() && content.back() == '/') {
        typed.push_back(Typed('2', ReplaceLineBreaks(Trim(content.substr(0, content.size() - 1)))));
      } else {
        typed.push_back(Typed('3', ReplaceLineBreaks(Trim(content))));
      }
      i = gt + 1;
    }
  }
  Lines = std::move(typed);
  typifyFailed_ = false;
}

void TQelParser::BuildTags() {
  ClearTags();
  ClearAttributes();
  if (typifyFailed_) return;
  TQelXMLTag* current = this;
  for (const std::string& line : Lines) {
    if (line.empty()) continue;
    std::string_view content = std::string_view(line).substr(1);
    switch (line.front()) {
      case '4': {
        TQelXMLTag scratch;
        Assign(scratch.AddTagByString(content));
        // The copy replaced every tag below the root, so the root is the
        // only tag left to stand on.
        current = this;
        break;
      }
      case '3':
        current = current->AddTagByString(content);
        break;
      case '2':
        current->AddTagByString(content);
        break;
      case '1':
        // An end tag too many leaves the current tag at the root.
        if (current->Parent != nullptr) current = current->Parent;
        break;
      case '0':
        current->SetText(content);
        break;
      default:
        break;
    }
  }
}

void TQelParser::LoadFromFile(const std::filesystem::path& fileName) {
  std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  LoadFromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void TQelParser::LoadFromStream(TMemoryStream& stream) {
  std::string_view all = stream.AsStringView();
  size_t from = static_cast<size_t>(stream.Position());
  std::string_view rest = from < all.size() ? all.substr(from) : std::string_view();
  // Split before the stream moves, since rest points into its memory.
  Lines = SplitLines(rest);
  stream.SetPosition(stream.Size());
  typifyFailed_ = false;
  MakeTypifiedLines();
  BuildTags();
}

void TQelParser::LoadFromText(std::string_view text) {
  Lines = SplitLines(text);
  typifyFailed_ = false;
  MakeTypifiedLines();
  BuildTags();
}

void TQelParser::MakeLines() {
  std::string out;
  if (Name == "xml") {
    out += "<?";
    out += Name;
    AppendAttributes(out, *this);
    out += "?>";
    out += kCrLf;
  }
  for (const auto& child : Tags) AppendTree(out, *child, 0);
  Lines = SplitLines(out);
  typifyFailed_ = false;
}

void TQelParser::SaveToStream(TMemoryStream& stream) {
  std::string text = SaveToText();
  stream.WriteString(text);
}

std::string TQelParser::SaveToText() {
  MakeLines();
  return JoinLines(Lines);
}

// ---- text functions ----

size_t PosFrom(std::string_view sub, std::string_view text, size_t start) {
  if (sub.empty() || text.empty()) return 0;
  if (start < 1) start = 1;
  if (start > text.size()) return 0;
  size_t p = text.find(sub, start - 1);
  return p == std::string_view::npos ? 0 : p + 1;
}

std::string ExtractBetween(std::string_view text, std::string_view open, std::string_view close, size_t start) {
  size_t p = PosFrom(open, text, start);
  if (p == 0) return {};
  size_t q = PosFrom(close, text, p + 1);
  if (q == 0) return {};
  size_t from = p - 1 + open.size();
  size_t to = q - 1;
  if (to <= from) return {};
  return std::string(text.substr(from, to - from));
}

std::string ReplaceLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += ' ';
      ++i;
    } else if (c == '\t') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::string DecodeEntities(std::string_view text) {
  // One pass gives the same result as replacing "&lt;", "&gt;", "&apos;",
  // "&quot;" and finally "&amp;" one after another: no replacement makes a
  // new "&", so "&amp;lt;" reads as "&lt;".
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&quot;", '"'}, {"&amp;", '&'}};
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '&') {
      bool replaced = false;
      for (const auto& [entity, ch] : kEntities) {
        if (text.compare(i, entity.size(), entity) == 0) {
          out += ch;
          i += entity.size();
          replaced = true;
          break;
        }
      }
      if (replaced) continue;
    }
    out += text[i++];
  }
  return out;
}

std::string EncodeEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\'': out += "&apos;"; break;
      case '"': out += "&quot;"; break;
      default: out += c; break;
    }
  }
  return out;
}

double StrToFloatSafe(std::string_view text) {
  double value = 0.0;
  return TryParseFloat(Trim(text), value) && std::isfinite(value) ? value : 0.0;
}

}  // namespace qv
