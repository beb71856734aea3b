// The XML document of report files: escaping, the reader's structure
// rules, attribute access, the writer's exact output, deferred items.
#include "frxXML.h"

#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Variants.h"

#include <gtest/gtest.h>

namespace {

using namespace frxXML;

std::string Save(TfrxXMLDocument& doc)
{
    TStringStream s;
    doc.SaveToStream(&s);
    return s.DataString();
}

void Load(TfrxXMLDocument& doc, const std::string& text)
{
    TStringStream s(text);
    doc.LoadFromStream(&s);
}

const std::string H = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

TEST(XMLText, EscapesExactlySixCharacters)
{
    EXPECT_EQ(EncodeXMLText("a\nb\rc\"d&e<f>g\t'h"), "a&#10;b&#13;c&#34;d&#38;e&#60;f&#62;g\t'h");
    EXPECT_EQ(EncodeXMLText("汉字"), "汉字");
}

TEST(XMLText, DecodesNumericReferencesOnly)
{
    struct Case {
        const char* In;
        std::string Out;
    } cases[] = {
        {"&#65;", "A"},
        {"x&#10;y", "x\ny"},
        {"&#256;", std::string(1, '\0')},
        {"&amp;", "&amp;"},
        {"a&#", "a&#"},          // nothing after the '#': left as it is
        {"&#34;&#38;&#60;", "\"&<"},
        // Bytes above 127 are bytes of the 8-bit text: D6 D0 is one character,
        // and a byte given as a reference pairs with a byte written as it is.
        {"&#214;&#208;", "中"},
        {"x&#214;&#208;&#206;&#196;y", "x中文y"},
    };
    EXPECT_EQ(DecodeXMLText(frxXML::GbkToText("A&#214;\xD0" "B")), "A中B");
    for (const auto& c : cases) EXPECT_EQ(DecodeXMLText(c.In), c.Out) << c.In;
    EXPECT_THROW(DecodeXMLText("&#6x;"), EConvertError);
}

TEST(XMLText, ReferenceCutOffAtTheEndIsAFormatError)
{
    EXPECT_THROW(DecodeXMLText("ab&#12"), EfrxInvalidFileFormat);
}

TEST(XMLText, VariantTexts)
{
    EXPECT_EQ(VariantToXMLText(Variant(42)), "42");
    EXPECT_EQ(VariantToXMLText(Variant(1.5)), FloatToStr(1.5));
    EXPECT_EQ(VariantToXMLText(Variant(true)), "1");
    EXPECT_EQ(VariantToXMLText(Variant("a<b")), "a&#60;b");
    EXPECT_EQ(VariantToXMLText(Null()), "");
}

TEST(XMLReader, EmptyElementForms)
{
    for (const char* body : {"<a/>", "<a x=\"1\"/>", "<a x=\"1\"></a>", "<a x=\"1\" ></a>"}) {
        TfrxXMLDocument doc;
        Load(doc, H + body);
        EXPECT_EQ(doc.Root()->Name, "a") << body;
        EXPECT_EQ(doc.Root()->Count(), 0) << body;
    }
    TfrxXMLDocument doc;
    Load(doc, H + "<a x=\"1\"/>");
    EXPECT_EQ(Save(doc), "<?xml version=\"1.0\" encoding=\"GBK\"?><a x=\"1\"/>");
}

TEST(XMLReader, StructuralErrorsRaise)
{
    const char* bad[] = {
        "<a/>",                               // no header
        "",                                   // nothing at all
        "<?xml?><a><b></a>",                  // end tag of another element
        "<?xml?><a><b>",                      // elements left open: a cut-off file
        "<?xml?><a><b/>",                     // root left open
        "<?xml?><a x=\"1<\"/>",               // '<' inside a tag
        "<?xml?><a x=\"1\"",                  // the data ends inside a tag
        "<?xml?>",                            // no root element
    };
    for (const char* text : bad) {
        TfrxXMLDocument doc;
        TStringStream s(text);
        EXPECT_THROW(doc.LoadFromStream(&s), EfrxInvalidFileFormat) << text;
    }
}

TEST(XMLReader, CommentsAndTextBetweenElementsAreSkipped)
{
    TfrxXMLDocument doc;
    Load(doc, H + "\r\n<!-- a <comment> -- still -->text<a>\n  junk <b y=\"2\"/><!---->\n</A>");
    ASSERT_EQ(doc.Root()->Count(), 1);
    EXPECT_EQ(doc.Root()->Items(0)->Name, "b");
    EXPECT_EQ(doc.Root()->Items(0)->GetAttribute("y"), "2");
}

TEST(XMLReader, EightBitTextIsTheSystemsGbk)
{
    TfrxXMLDocument doc;
    Load(doc, H + Utf8ToGbk("<a Name=\"收费\"/>"));
    EXPECT_EQ(doc.Root()->GetAttribute("Name"), "收费");
    std::string out = Save(doc);
    EXPECT_NE(out.find(Utf8ToGbk("收费")), std::string::npos);
}

// A file another tool wrote as UTF-8 says so with a byte-order mark; its
// text is read as UTF-8, also when a deferred element is read later, while
// bytes that are not UTF-8 in it are still kept.
TEST(XMLReader, ByteOrderMarkMeansUtf8)
{
    const std::string bom = "\xEF\xBB\xBF";
    const std::string text = bom + H + "<pages n=\"张三\"><p ld=\"0\"><o a=\"李四\"/></p></pages>";
    TfrxXMLDocument full;
    Load(full, text);
    EXPECT_EQ(full.Root()->GetAttribute("n"), "张三");
    EXPECT_EQ(full.Root()->Items(0)->Items(0)->GetAttribute("a"), "李四");

    TfrxXMLDocument part;
    part.LoadFromStream(new TStringStream(text), true);
    TfrxXMLItem* p = part.Root()->Items(0);
    ASSERT_TRUE(p->Deferred);
    part.LoadItem(p);
    ASSERT_EQ(p->Count(), 1);
    EXPECT_EQ(p->Items(0)->GetAttribute("a"), "李四");

    TfrxXMLDocument stray;
    Load(stray, bom + H + "<a w=\"\xC8\"/>");
    EXPECT_EQ(TextToGbk(stray.Root()->GetAttribute("w")), "\xC8");
    // Without the mark the same bytes are the system's GBK.
    TfrxXMLDocument gbk;
    Load(gbk, H + Utf8ToGbk("<a n=\"张三\"/>"));
    EXPECT_EQ(gbk.Root()->GetAttribute("n"), "张三");
}

TEST(XMLItem, Attributes)
{
    TfrxXMLItem item;
    item.Text = "Left=\"5\" xTop=\"7\" Name=\"a&#38;b\"";
    EXPECT_EQ(item.GetAttribute("left"), "5");
    EXPECT_EQ(item.GetAttribute("Top"), "");       // only at the start or after a blank
    EXPECT_EQ(item.GetAttribute("Name"), "a&b");
    item.SetAttribute("Left", "6");
    EXPECT_EQ(item.Text, "Left=\"6\" xTop=\"7\" Name=\"a&#38;b\"");
    item.SetAttribute("Width", "1\"2");
    EXPECT_EQ(item.Text, "Left=\"6\" xTop=\"7\" Name=\"a&#38;b\" Width=\"1&#34;2\"");
    TfrxXMLItem empty;
    empty.SetAttribute("A", "1");
    EXPECT_EQ(empty.Text, "A=\"1\"");
    item.Text = "Broken=\"no end";
    EXPECT_EQ(item.GetAttribute("Broken"), "");
}

TEST(XMLItem, ChildrenFindAndMove)
{
    TfrxXMLItem root;
    TfrxXMLItem* a = root.Add();
    a->Name = "A";
    TfrxXMLItem* b = root.FindItem("b");
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Find("a"), 0);
    EXPECT_EQ(root.FindItem("B"), b);
    TfrxXMLItem other;
    other.AddItem(a);
    EXPECT_EQ(root.Count(), 1);
    EXPECT_EQ(a->Parent, &other);
    root.InsertItem(0, a);
    EXPECT_EQ(root.IndexOf(a), 0);
    EXPECT_EQ(other.Count(), 0);
    delete b;
    EXPECT_EQ(root.Count(), 1);
}

TEST(XMLWriter, IndentedAndSingleLine)
{
    TfrxXMLDocument doc;
    doc.Root()->Name = "r";
    doc.Root()->Text = "A=\"1\"";
    TfrxXMLItem* c = doc.Root()->Add();
    c->Name = "c";
    c->Add()->Name = "d";
    doc.Root()->Add()->Name = "e";
    EXPECT_EQ(Save(doc), "<?xml version=\"1.0\" encoding=\"GBK\"?><r A=\"1\"><c><d/></c><e/></r>");
    doc.AutoIndent = true;
    EXPECT_EQ(Save(doc),
              "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<r A=\"1\">\r\n  <c>\r\n    <d/>\r\n  </c>\r\n"
              "  <e/>\r\n</r>\r\n");
}

TEST(XMLDocument, PartialLoadKeepsDeferredItemsOnTheStream)
{
    const std::string text = H + "<pages><p n=\"1\"><o/></p><p n=\"2\" ld=\"0\"><o a=\"x\"/><o/></p></pages>";
    TfrxXMLDocument full;
    Load(full, text);
    ASSERT_EQ(full.Root()->Items(1)->Count(), 2);
    EXPECT_EQ(full.Root()->Items(1)->Text, "n=\"2\"");

    TfrxXMLDocument part;
    part.LoadFromStream(new TStringStream(text), true);
    TfrxXMLItem* p2 = part.Root()->Items(1);
    EXPECT_TRUE(p2->Deferred);
    EXPECT_FALSE(p2->ChildrenLoaded);
    EXPECT_EQ(p2->Count(), 0);
    part.LoadItem(p2);
    ASSERT_EQ(p2->Count(), 2);
    EXPECT_EQ(p2->Items(0)->GetAttribute("a"), "x");
    EXPECT_EQ(p2->Text, "n=\"2\"");
}

TEST(XMLDocument, UnloadAndLoadThroughTheSwapFile)
{
    TfrxXMLDocument doc;
    doc.Root()->Name = "pages";
    TfrxXMLItem* p = doc.Root()->Add();
    p->Name = "p";
    p->Deferred = true;
    for (int i = 0; i < 3; ++i) {
        TfrxXMLItem* o = p->Add();
        o->Name = "o";
        o->SetAttribute("i", IntToStr(i));
    }
    std::string before = Save(doc);
    doc.UnloadItem(p);
    EXPECT_EQ(p->Count(), 0);
    EXPECT_FALSE(p->ChildrenLoaded);
    ASSERT_FALSE(doc.SwapFileName().empty());
    EXPECT_TRUE(FileExists(doc.SwapFileName()));
    // Writing reads the swapped-out children back and drops them again.
    EXPECT_EQ(Save(doc), before);
    EXPECT_EQ(p->Count(), 0);
    doc.LoadItem(p);
    ASSERT_EQ(p->Count(), 3);
    EXPECT_EQ(p->Items(2)->GetAttribute("i"), "2");
    std::string swap = doc.SwapFileName();
    doc.Clear();
    EXPECT_FALSE(FileExists(swap));
}

TEST(XMLDocument, DeepNestingIsRefusedNotOverflowed)
{
    std::string text = H;
    for (int i = 0; i < 5000; ++i) text += "<a>";
    for (int i = 0; i < 5000; ++i) text += "</a>";
    TfrxXMLDocument doc;
    TStringStream s(text);
    EXPECT_THROW(doc.LoadFromStream(&s), EfrxInvalidFileFormat);
}

TEST(XMLText, EightBitTextConvertsWithoutLoss)
{
    const std::string samples[] = {
        Utf8ToGbk("恒岳驾校"),
        std::string("\x80\xFF", 2),
        std::string("a\xC8", 2),                   // a lead byte at the end
        std::string("\x81\x20", 2) + Utf8ToGbk("汉"),
        std::string("\xFB\x57\xFB", 3),
    };
    for (const auto& bytes : samples) EXPECT_EQ(TextToGbk(GbkToText(bytes)), bytes);
    EXPECT_EQ(GbkToText(Utf8ToGbk("汉字")), "汉字");
    TfrxXMLDocument doc;
    Load(doc, H + "<a v=\"" + std::string("x\xFF\xC8", 3) + "\" w=\"&#200;\"/>");
    std::string out = Save(doc);
    EXPECT_NE(out.find(std::string("v=\"x\xFF\xC8\"", 7)), std::string::npos);
    EXPECT_EQ(TextToGbk(doc.Root()->GetAttribute("w")), "\xC8");
}

}  // namespace
