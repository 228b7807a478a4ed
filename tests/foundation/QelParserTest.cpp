#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/Log.h"
#include "foundation/MemoryStream.h"
#include "foundation/QelException.h"
#include "foundation/QelParser.h"

using namespace qv;

namespace {

// The messages logged since the last call, without their time stamps.
std::vector<std::string> TakeLogMessages() {
  std::vector<std::string> out;
  for (const std::string& line : Log::TakeBuffered()) {
    size_t p = line.find("} ");
    out.push_back(p == std::string::npos ? line : line.substr(p + 2));
  }
  return out;
}

class TagFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log::SetSink(nullptr);
    Log::TakeBuffered();
  }
};

std::string Reparse(const std::string& text) {
  TQelParser p;
  p.LoadFromText(text);
  return p.SaveToText();
}

}  // namespace

TEST_F(TagFileTest, WritesByteExactAndReadsBack) {
  TQelParser p;
  TQelXMLTag* a = p.AddTag("a", "hi");
  a->AddAttribute("x", "1");
  a->AddAttribute("y", "two words");
  TQelXMLTag* b = p.AddTag("b");
  b->AddTag("c");
  b->AddTag("d", std::string(79, 'q'));
  b->AddTag("e", std::string(80, 'w'))->AddTag("f", "z");
  p.AddTag("g", "t")->AddTag("h");
  const std::string expected =
      "<a x=\"1\" y=\"two words\">hi</a>\r\n"
      "<b>\r\n"
      "\t<c />\r\n"
      "\t<d>" + std::string(79, 'q') + "</d>\r\n"
      "\t<e>\r\n"
      "\t" + std::string(80, 'w') + "\r\n"
      "\t\t<f>z</f>\r\n"
      "\t</e>\r\n"
      "</b>\r\n"
      "<g>t\t<h />\r\n"
      "</g>\r\n";
  EXPECT_EQ(p.SaveToText(), expected);
  TMemoryStream stream;
  p.SaveToStream(stream);
  EXPECT_EQ(stream.AsStringView(), expected);
  EXPECT_EQ(p.GetTag(1)->MakeText(2).substr(0, 6), "\t\t<b>\r");

  TQelParser back;
  stream.SetPosition(0);
  back.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size());
  ASSERT_EQ(back.TagCount(), 3);
  EXPECT_EQ(back.GetTag(0)->Text, "hi");
  EXPECT_EQ(back.GetTag(0)->FindAttribute("y")->Value, "two words");
  EXPECT_EQ(back.GetTag(1)->GetTag(2)->Text, std::string(80, 'w'));
  EXPECT_EQ(back.GetTag(1)->GetTag(2)->GetTag(0)->Parent, back.GetTag(1)->GetTag(2));
  EXPECT_EQ(back.SaveToText(), expected);
}

TEST_F(TagFileTest, CutsTextIntoTypedLines) {
  TQelParser p;
  p.Lines = {"<?xml version=\"1\"?> lead &amp; <!-- a comment", "with <b> inside --> <a  x=\"1\"\ty=\"2\">",
             "hi\tthere</ a ><e/>< f />", "tail"};
  p.MakeTypifiedLines();
  EXPECT_EQ(p.Lines, (std::vector<std::string>{"4xml version=\"1\"", "0lead &", "3a  x=\"1\" y=\"2\"", "0hi there",
                                                "1 a ", "2e", "2f", "0tail"}));
  p.BuildTags();
  EXPECT_EQ(p.Name, "xml");
  ASSERT_EQ(p.TagCount(), 3);
  EXPECT_EQ(p.GetTag(0)->AttributeCount(), 2);
  EXPECT_EQ(p.GetTag(0)->Text, "hi there");
  EXPECT_EQ(p.Text, "tail");
}

TEST_F(TagFileTest, ReadsTextsAndTagsAsWritten) {
  TQelParser p;
  // Lines end in LF only, as files edited elsewhere do; a line break inside a
  // text reads as a blank.
  p.LoadFromText("<a>x<b/>y</a>\n<c>one\ntwo</c>\r<d>&lt;&amp;&amp;</d>\n<e>&amp;lt;</e>");
  ASSERT_EQ(p.TagCount(), 4);
  EXPECT_EQ(p.GetTag(0)->Text, "y");
  ASSERT_EQ(p.GetTag(0)->TagCount(), 1);
  EXPECT_EQ(p.GetTag(0)->GetTag(0)->Name, "b");
  EXPECT_EQ(p.GetTag(1)->Text, "one two");
  EXPECT_EQ(p.GetTag(2)->Text, "<&&");
  EXPECT_EQ(p.GetTag(3)->Text, "&lt;");
  EXPECT_EQ(p.SaveToText(),
            "<a>y\t<b />\r\n</a>\r\n<c>one two</c>\r\n<d>&lt;&amp;&amp;</d>\r\n<e>&amp;lt;</e>\r\n");
  EXPECT_EQ(EncodeEntities("<>&'\""), "&lt;&gt;&amp;&apos;&quot;");
  EXPECT_EQ(DecodeEntities(EncodeEntities("a&amp;<b>'\"")), "a&amp;<b>'\"");

  // A "<" without any ">" after it is dropped and scanning goes on.
  p.LoadFromText("<a>t</a> x < y < z");
  EXPECT_EQ(p.Lines, (std::vector<std::string>{"3a", "0t", "1a", "0x", "0y", "0z"}));
  EXPECT_EQ(p.Text, "z");

  p.LoadFromText("");
  EXPECT_EQ(p.TagCount(), 0);
  EXPECT_EQ(p.SaveToText(), "");
}

TEST_F(TagFileTest, HeadNamesTheRoot) {
  TQelParser p;
  p.LoadFromText("<?xml version=\"1.0\"?>\r\n<a/>");
  EXPECT_EQ(p.Name, "xml");
  ASSERT_NE(p.FindAttribute("version"), nullptr);
  EXPECT_EQ(p.FindAttribute("version")->Value, "1.0");
  EXPECT_EQ(p.SaveToText(), "<?xml version=\"1.0\"?>\r\n<a />\r\n");

  TQelParser plain;
  plain.LoadFromText("<a/>");
  EXPECT_EQ(plain.Name, "root");
  EXPECT_EQ(plain.SaveToText(), "<a />\r\n");
  // Only a root named exactly "xml" writes a head.
  plain.SetName("XML");
  EXPECT_EQ(plain.SaveToText(), "<a />\r\n");

  // A head inside an open tag replaces everything built so far; what follows
  // is built on the root (the tags it dropped must not be used again).
  p.LoadFromText("<a><b><?xml v=\"2\"?><c>t</c></b></a><d/>");
  EXPECT_EQ(p.SaveToText(), "<?xml v=\"2\"?>\r\n<c>t</c>\r\n<d />\r\n");
}

TEST_F(TagFileTest, ExcessEndTagsStayAtTheRoot) {
  TQelParser p;
  p.LoadFromText("<a></a></a></b></c><d>t</d><e><f/></e>");
  ASSERT_EQ(p.TagCount(), 3);
  EXPECT_EQ(p.GetTag(1)->Name, "d");
  EXPECT_EQ(p.GetTag(1)->Parent, &p);
  EXPECT_EQ(p.GetTag(2)->GetTag(0)->Name, "f");
}

TEST_F(TagFileTest, AttributeErrorsKeepWhatWasRead) {
  TQelParser p;
  p.LoadFromText("<a x=\"1\" y=\"2><b p=\"1\" q><c k=v><d/>");
  TQelXMLTag* a = p.GetTag(0);
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->AttributeCount(), 1);
  EXPECT_EQ(a->GetAttribute(0)->Value, "1");
  TQelXMLTag* b = a->GetTag(0);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->AttributeCount(), 1);
  EXPECT_EQ(b->GetTag(0)->Name, "c");
  EXPECT_EQ(b->GetTag(0)->GetTag(0)->Name, "d");
  EXPECT_EQ(TakeLogMessages(),
            (std::vector<std::string>{
                "[TQelXMLTag.AddTagByString] Expected closed \" in Attribute value but found nothing! Tag name: "
                "\"a\", Attribute name: \"y\".",
                "[TQelXMLTag.AddTagByString] Expected Attribute name but found nothing! Tag name: \"b\".",
                "[TQelXMLTag.AddTagByString] Expected open \" in Attribute value but found nothing! Tag name: "
                "\"c\", Attribute name: \"k\"."}));
  TQelXMLTag scratch;
  EXPECT_EQ(scratch.AddTagByString("n=\"1\"")->Name, "n=\"1\"");
  TQelXMLTag* t = scratch.AddTagByString("n  x = \"v w\"z=\"\"");
  EXPECT_EQ(t->Name, "n");
  ASSERT_EQ(t->AttributeCount(), 2);
  EXPECT_EQ(t->GetAttribute(0)->Name, "x");
  EXPECT_EQ(t->GetAttribute(0)->Value, "v w");
  EXPECT_EQ(t->GetAttribute(1)->AsText(), " z=\"\"");
}

TEST_F(TagFileTest, UnendedCommentOrHeadGivesAnEmptyTree) {
  TQelParser p;
  p.LoadFromText("<a/>");
  p.LoadFromText("<a>1</a>\n<!-- never closed <b/>");
  EXPECT_EQ(p.TagCount(), 0);
  EXPECT_EQ(p.Lines, (std::vector<std::string>{"<a>1</a>", "<!-- never closed <b/>"}));
  EXPECT_EQ(TakeLogMessages(),
            std::vector<std::string>{"[TQelXMLTag.MakeTypifiedLines] Comments started, but never ended!"});

  // Running the stages by hand: raw text lines that look like typed lines
  // must not turn into tags.
  p.Lines = {"3looks typed", "<?xml"};
  p.MakeTypifiedLines();
  EXPECT_EQ(p.Lines, (std::vector<std::string>{"3looks typed", "<?xml"}));
  p.BuildTags();
  EXPECT_EQ(p.TagCount(), 0);
  EXPECT_EQ(TakeLogMessages(),
            std::vector<std::string>{"[TQelXMLTag.MakeTypifiedLines] XML Head started, but never ended!"});
  // The next good text builds normally again.
  p.LoadFromText("<a/>");
  EXPECT_EQ(p.TagCount(), 1);
}

TEST_F(TagFileTest, FindsTagsByQuery) {
  TQelParser p;
  p.LoadFromText(
      "<A>x</A><B>x</B><A>y</A><o c=\"Other\"/><o c=\"TQelDefaults\" n=\"2\"/><A i=\"1\" i=\"2\">[z]</A>");
  EXPECT_EQ(p.FindTagByQuery("A[2]"), p.GetTag(2));
  EXPECT_EQ(p.FindTagByQuery("B[2]"), nullptr);
  EXPECT_EQ(p.FindTagByQuery("B[9]"), p.GetTag(1));
  EXPECT_EQ(p.FindTagByQuery("B[-1]"), p.GetTag(1));
  EXPECT_EQ(p.FindTagByQuery("A\"x\""), p.GetTag(0));
  EXPECT_EQ(p.FindTagByQuery("A\"y\""), p.GetTag(2));
  EXPECT_EQ(p.FindTagByQuery("\"x\"[1]"), p.GetTag(1));
  EXPECT_EQ(p.FindTagByQuery("C\"x\""), nullptr);
  EXPECT_EQ(p.FindTagByQuery("o(c\"TQelDefaults\")"), p.GetTag(4));
  EXPECT_EQ(p.FindTagByQuery("(n)"), p.GetTag(4));
  EXPECT_EQ(p.FindTagByQuery("A(i[1]\"2\")"), p.GetTag(5));
  EXPECT_EQ(p.FindTagByQuery("A(i[0]\"2\")"), nullptr);
  EXPECT_EQ(p.FindTagByQuery("A\"[z]\""), p.GetTag(5));
  EXPECT_EQ(p.FindTagByQuery(""), p.GetTag(0));
  EXPECT_EQ(p.GetTag(0)->FindTagByQuery(""), nullptr);
  EXPECT_EQ(p.GetTag(5)->FindAttributeByQuery("i\"2\""), p.GetTag(5)->GetAttribute(1));
  EXPECT_EQ(p.GetTag(5)->FindAttribute("i"), p.GetTag(5)->GetAttribute(0));
  EXPECT_EQ(p.FindTag("a"), nullptr);
  EXPECT_EQ(p.GetTag(6), nullptr);
  EXPECT_EQ(p.GetTag(-1), nullptr);
  EXPECT_EQ(p.GetAttribute(0), nullptr);
  EXPECT_EQ(p.LastTag(), p.GetTag(5));
  EXPECT_EQ(p.GetTag(0)->LastTag(), nullptr);
}

TEST_F(TagFileTest, AssignCopiesDeeplyEvenFromInsideItself) {
  TQelParser p;
  p.LoadFromText("<a k=\"v\">t<b><c>u</c></b></a>");
  TQelXMLTag copy("old", "old");
  copy.AddTag("gone");
  copy.Assign(p.GetTag(0));
  copy.Assign(nullptr);
  EXPECT_EQ(copy.MakeText(0), p.GetTag(0)->MakeText(0));
  EXPECT_EQ(copy.GetTag(0)->Parent, &copy);
  // Copying a tag's own child over it frees the old subtree only afterwards.
  TQelXMLTag* a = p.GetTag(0);
  a->Assign(a->GetTag(0));
  EXPECT_EQ(a->MakeText(0), "<b>\r\n\t<c>u</c>\r\n</b>\r\n");
  EXPECT_EQ(a->GetTag(0)->Parent, a);
}

TEST_F(TagFileTest, DeepNestingNeverOverflowsTheStack) {
  const int depth = 200000;
  std::string text;
  for (int i = 0; i < depth; ++i) text += "<a>";
  text += "x";
  auto p = std::make_unique<TQelParser>();
  p->LoadFromText(text);
  TQelXMLTag copy;
  copy.Assign(p.get());
  const TQelXMLTag* t = &copy;
  int levels = 0;
  while (t->LastTag() != nullptr) {
    t = t->LastTag();
    ++levels;
  }
  EXPECT_EQ(levels, depth);
  EXPECT_EQ(t->Text, "x");
  p.reset();
  copy.ClearTags();
  EXPECT_EQ(copy.TagCount(), 0);
}

TEST_F(TagFileTest, StreamsAndFiles) {
  TMemoryStream s;
  s.WriteString("skip<a/>");
  s.SetPosition(4);
  TQelParser p;
  p.LoadFromStream(s);
  ASSERT_EQ(p.TagCount(), 1);
  EXPECT_EQ(p.Text, "");
  EXPECT_THROW(p.LoadFromFile("/nonexistent/quorvane/none.xml"), EInOutError);
  EXPECT_EQ(Reparse("<?xml a=\"1\" ?><x>&quot;q&apos;</x>"), "<?xml a=\"1\"?>\r\n<x>&quot;q&apos;</x>\r\n");
}

TEST(TagFileText, SharedTextFunctions) {
  EXPECT_EQ(PosFrom("b", "abcb", 1), 2u);
  EXPECT_EQ(PosFrom("b", "abcb", 3), 4u);
  EXPECT_EQ(PosFrom("b", "abcb", 5), 0u);
  EXPECT_EQ(PosFrom("", "abc", 1), 0u);
  EXPECT_EQ(PosFrom("a", "", 1), 0u);
  EXPECT_EQ(ExtractBetween("x(ab)(cd)", "(", ")", 1), "ab");
  EXPECT_EQ(ExtractBetween("x(ab)(cd)", "(", ")", 3), "cd");
  EXPECT_EQ(ExtractBetween("\"\"", "\"", "\"", 1), "");
  EXPECT_EQ(ExtractBetween("<!-->", "<!--", "-->", 1), "");
  EXPECT_EQ(ExtractBetween("(ab", "(", ")", 1), "");
  EXPECT_EQ(ReplaceLineBreaks("a\r\nb\tc\rd\ne"), "a b c\rd\ne");
  EXPECT_DOUBLE_EQ(StrToFloatSafe(" 1.5e2\t"), 150.0);
  EXPECT_DOUBLE_EQ(StrToFloatSafe("-.25"), -0.25);
  EXPECT_EQ(StrToFloatSafe("1,5"), 0.0);
  EXPECT_EQ(StrToFloatSafe(""), 0.0);
  EXPECT_EQ(StrToFloatSafe("1e999"), 0.0);
  EXPECT_EQ(StrToFloatSafe("-1e5000"), 0.0);
}
