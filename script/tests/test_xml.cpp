// The interpreter's XML dialect: reading, writing, escaping and the tree.
#include "Exceptions.h"
#include "Streams.h"
#include "fs_xml.h"

#include <gtest/gtest.h>

using fs_xml::EscapeAttributeText;
using fs_xml::UnescapeAttributeText;

namespace {

// The tree as "name(child,child)" with each element's raw attribute text in [].
std::string Shape(const TfsXMLItem* item)
{
    std::string r = item->Name();
    if (!item->Text().empty()) r += "[" + item->Text() + "]";
    if (item->Count()) {
        r += "(";
        for (int i = 0; i < item->Count(); ++i) r += (i ? "," : "") + Shape(item->Items(i));
        r += ")";
    }
    return r;
}

struct LoadCase {
    const char* Text;
    const char* Shape;
};

class XmlLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(XmlLoad, BuildsTheTree)
{
    TfsXMLDocument doc;
    doc.LoadFromString(GetParam().Text);
    EXPECT_EQ(Shape(doc.Root()), GetParam().Shape);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlLoad,
    ::testing::Values(
        LoadCase{"<?xml version=\"1.0\"?><a x=\"1\"><b/></a>", "a[x=\"1\"](b)"},
        LoadCase{"<?xml version=\"1.0\"?>\r\n<a>\r\n  text is dropped\r\n  <b y=\"2\"/>\r\n  <c></c>\r\n</a>",
                 "a(b[y=\"2\"],c)"},
        // a comment ends at the first '>' after two dashes
        LoadCase{"<?xml version=\"1.0\"?><!-- x -- y > --><a/>", "a"},
        LoadCase{"<?xml version=\"1.0\"?><a q=\"&#60;&#62;\"/>", "a[q=\"&#60;&#62;\"]"},
        // the closing tag compares without regard to case
        LoadCase{"<?xml version=\"1.0\"?><Item><sub/></ITEM>", "Item(sub)"}));

TEST(XmlLoadErrors, MalformedInputIsInvalidFileFormat)
{
    for (const char* text : {"<a/>", "<?xml?><a><b></c></a>", "<?xml?><a <b/></a>", "<?xml?><a x=\"1\"",
                             "<?xml?><!-- never closed", "<?xml?><a><b>", "<?xml?><a><b/>", "<?xml?>", "",
                             "<?xml?><a><></a>"}) {
        TfsXMLDocument doc;
        try {
            doc.LoadFromString(text);
            ADD_FAILURE() << "no error for " << text;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Invalid file format") << text;
        }
    }
}

// A document cut off anywhere is refused as the report reader refuses one,
// never read as a shorter program.
TEST(XmlLoadErrors, CutOffDocumentsAreInvalidFileFormat)
{
    TfsXMLDocument source;
    source.LoadFromString("<?xml version=\"1.0\"?><program><var pos=\"1:1\"><ident text=\"x\"/></var>"
                          "<compoundstmt><assignstmt><dsgn><node text=\"x\"/></dsgn><expr><number text=\"1\"/></expr>"
                          "</assignstmt></compoundstmt></program>");
    for (bool indent : {false, true}) {
        source.SetAutoIndent(indent);
        const std::string whole = source.SaveToString();
        // with indenting the last line break may go: the document is whole without it
        const size_t complete = indent ? whole.size() - 2 : whole.size();
        for (size_t cut = 0; cut < complete; ++cut) {
            TfsXMLDocument doc;
            try {
                doc.LoadFromString(whole.substr(0, cut));
                ADD_FAILURE() << "accepted a document cut at " << cut << ": " << whole.substr(0, cut);
            } catch (const Exception& e) {
                EXPECT_STREQ(e.what(), "Invalid file format");
            }
        }
        TfsXMLDocument doc;
        doc.LoadFromString(whole.substr(0, complete));
        EXPECT_EQ(Shape(doc.Root()), "program(var[pos=\"1:1\"](ident[text=\"x\"]),compoundstmt(assignstmt(dsgn(node[text=\"x\"]),"
                                     "expr(number[text=\"1\"]))))");
    }
}

TEST(XmlItem, PropReadsAttributesCaseInsensitively)
{
    TfsXMLItem item;
    item.SetText("text=\"begin\" node=\"x\" addtext=\"&#62;=\"");
    EXPECT_EQ(item.Prop("TEXT"), "begin");
    EXPECT_EQ(item.Prop("node"), "x");
    EXPECT_EQ(item.Prop("addtext"), ">=");
    EXPECT_EQ(item.Prop("missing"), "");
}

TEST(XmlEscape, EveryScriptStringSurvivesTheRoundTrip)
{
    for (std::string s : {std::string("a\"b<c>d\r\ne"), std::string("&#176;"), std::string("Tom&#Jerry;"),
                          std::string("&#x41;"), std::string("&&"), std::string("中文 & \"引号\"")}) {
        TfsXMLItem item;
        item.SetText("text=\"" + EscapeAttributeText(s) + "\"");
        EXPECT_EQ(item.Prop("text"), s);
    }
    EXPECT_EQ(EscapeAttributeText("a\nb"), "a&#10;b");
    EXPECT_EQ(UnescapeAttributeText("x&#65;y&#"), "xAy&#");
    EXPECT_THROW(UnescapeAttributeText("&#zz;"), EConvertError);
}

TEST(XmlItem, TreeOperations)
{
    TfsXMLItem root;
    root.SetName("root");
    TfsXMLItem* a = root.Add();
    a->SetName("a");
    EXPECT_EQ(root.Find("B"), -1);
    TfsXMLItem* b = root.FindItem("b");
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Find("B"), 1);
    EXPECT_EQ(root.FindItem("b"), b);
    // moving an item between parents, and to the end of its own parent
    TfsXMLItem* c = a->Add();
    c->SetName("c");
    root.AddItem(c);
    EXPECT_EQ(a->Count(), 0);
    EXPECT_EQ(root.Items(2), c);
    root.InsertItem(0, c);
    EXPECT_EQ(root.Items(0), c);
    EXPECT_EQ(c->Root(), &root);
    EXPECT_THROW(c->AddItem(&root), Exception);
    // freeing a child takes it out of its parent
    delete b;
    EXPECT_EQ(root.Count(), 2);
    TfsXMLItem copy;
    copy.Assign(&root);
    EXPECT_EQ(Shape(&copy), "root(c,a)");
    // a child taken out belongs to the caller; the tree no longer holds it
    std::unique_ptr<TfsXMLItem> taken = copy.Take(copy.Items(0));
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->Parent(), nullptr);
    EXPECT_EQ(Shape(&copy), "root(a)");
    EXPECT_FALSE(copy.Take(taken.get()));
    root.Clear();
    EXPECT_EQ(root.Count(), 0);
}

TEST(XmlSave, SingleLineOrIndented)
{
    TfsXMLDocument doc;
    doc.LoadFromString("<?xml version=\"1.0\"?><a x=\"1\"><b><c/></b></a>");
    EXPECT_EQ(doc.SaveToString(), "<?xml version=\"1.0\"?><a x=\"1\"><b><c/></b></a>");
    doc.SetAutoIndent(true);
    EXPECT_EQ(doc.SaveToString(),
              "<?xml version=\"1.0\"?>\r\n<a x=\"1\">\r\n  <b>\r\n    <c/>\r\n  </b>\r\n</a>\r\n");
}

TEST(XmlLoad, StreamIsLeftJustAfterTheDocument)
{
    TStringStream s("<?xml version=\"1.0\"?><a/>TAIL");
    TfsXMLDocument doc;
    doc.LoadFromStream(&s);
    EXPECT_EQ(s.Position(), 25);
    EXPECT_EQ(s.ReadString(4), "TAIL");
}

TEST(XmlFile, SaveAndLoad)
{
    std::string name = ::testing::TempDir() + "fs_xml_test.xml";
    TfsXMLDocument doc;
    doc.Root()->SetName("grammar");
    doc.Root()->Add()->SetName("rule");
    doc.SaveToFile(name);
    TfsXMLDocument back;
    back.LoadFromFile(name);
    EXPECT_EQ(Shape(back.Root()), "grammar(rule)");
    EXPECT_THROW(back.LoadFromFile(name + ".missing"), EFOpenError);
}

}  // namespace

namespace {
TEST(XmlLoadErrors, HostileNestingIsRefused)
{
    std::string text = "<?xml version=\"1.0\"?>";
    for (int i = 0; i < 100000; ++i) text += "<a>";
    TfsXMLDocument doc;
    EXPECT_THROW(doc.LoadFromString(text), Exception);
}
}  // namespace
