// Tag files from anywhere: read, query, write, read the writing again.
// Writing what was read must be stable: the second writing equals the first,
// except for tag names that the written form cannot carry (a name that
// begins with "/", "?" or "!--" or ends with "/" reads back as another kind
// of tag; one that ends in a control character loses it to trimming).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Log.h"
#include "foundation/QelParser.h"

namespace {

bool NameWritesBack(std::string_view name) {
  if (name.empty()) return true;
  return name.front() != '/' && name.front() != '?' && name.substr(0, 3) != "!--" && name.back() != '/' &&
         static_cast<unsigned char>(name.back()) > 32;
}

// Visits every tag below the root without recursion.
template <typename F>
void ForEachTag(const qv::TQelXMLTag& root, F f) {
  std::vector<const qv::TQelXMLTag*> pending{&root};
  while (!pending.empty()) {
    const qv::TQelXMLTag* t = pending.back();
    pending.pop_back();
    for (const auto& child : t->Tags) {
      f(*child);
      pending.push_back(child.get());
    }
  }
}

void ExerciseQueries(const qv::TQelXMLTag& root) {
  const qv::TQelXMLTag* first = root.GetTag(0);
  if (first == nullptr) return;
  std::string name = first->Name;
  root.FindTagByQuery(name);
  root.FindTagByQuery(name + "[1]\"" + first->Text + "\"");
  if (const qv::TQelParserAttribute* a = first->GetAttribute(0)) {
    root.FindTagByQuery(name + "(" + a->Name + "\"" + a->Value + "\")");
    first->FindAttributeByQuery(a->Name + "[0]");
  }
  // The texts of the file used as queries: any bytes must be safe.
  first->FindTagByQuery(first->Text);
  root.FindTagByQuery(first->Text);
  root.LastTag();
  first->LastTag();
  qv::StrToFloatSafe(first->Text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quietLog = [] {
    qv::Log::SetSink([](const std::string&) {});
    return true;
  }();
  (void)quietLog;

  std::string_view text(reinterpret_cast<const char*>(data), size);
  qv::TQelParser parser;
  parser.LoadFromText(text);
  ExerciseQueries(parser);

  bool stable = true;
  ForEachTag(parser, [&](const qv::TQelXMLTag& t) { stable = stable && NameWritesBack(t.Name); });
  std::string first = parser.SaveToText();

  qv::TQelXMLTag copy;
  copy.Assign(&parser);
  if (copy.MakeText(0) != parser.MakeText(0)) std::abort();

  qv::TQelParser again;
  again.LoadFromText(first);
  std::string second = again.SaveToText();
  if (stable && second != first) std::abort();
  return 0;
}
