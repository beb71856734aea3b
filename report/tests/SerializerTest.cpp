// The object serializer: what is written for each property kind, how
// attribute texts are read, references, unknown classes, binary property
// data and one-element texts.
#include "frxClass.h"
#include "frxFiler.h"
#include "frxUtils.h"
#include "frxVariables.h"
#include "frxXML.h"
#include "frxXMLSerializer.h"

#include "RecordingHost.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

namespace {

struct Env {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TfrxReport Report{nullptr};
    Env() { Report.EngineOptions()->SilentMode = true; }
};

std::string Props(TObject* obj, bool defaults = false, TComponent* owner = nullptr)
{
    TfrxXMLSerializer s(nullptr);
    s.SerializeDefaultValues = defaults;
    s.Owner = owner;
    return s.WriteProperties(obj);
}

TEST(Serializer, DefaultsAreSkippedUnlessAskedFor)
{
    Env e;
    TfrxEngineOptions o;
    EXPECT_EQ(Props(&o), "");
    EXPECT_EQ(Props(&o, true),
              " ConvertNulls=\"True\" DoublePass=\"False\" MaxMemSize=\"10\" PrintIfEmpty=\"True\""
              " SilentMode=\"False\" UseFileCache=\"False\"");   // an empty string is never written
    TfrxPreviewOptions p;
    EXPECT_EQ(Props(&p), " Buttons=\"2047\" Zoom=\"1\"");
}

TEST(Serializer, NewReportElement)
{
    Env e;
    e.Report.EngineOptions()->SilentMode = false;
    TMemoryStream m;
    e.Report.SaveToStream(&m);
    std::string s(size_t(m.Size()), '\0');
    m.SetPosition(0);
    m.ReadBuffer(s.data(), int(s.size()));
    EXPECT_NE(s.find("<TfrxReport Name=\"\" "), std::string::npos);
    EXPECT_NE(s.find(" PreviewOptions.Buttons=\"2047\" PreviewOptions.Zoom=\"1\""), std::string::npos);
    EXPECT_NE(s.find(" ScriptLanguage=\"PascalScript\" ScriptText.Text=\"begin&#13;&#10;&#13;&#10;end.\""),
              std::string::npos);
    EXPECT_EQ(s.find("EngineOptions."), std::string::npos);
    EXPECT_NE(s.find(" PropData=\"0844617461736574730100095661726961626C65730100055374796C650100\"/>"),
              std::string::npos);
}

TEST(Serializer, ReadsEveryValueForm)
{
    Env e;
    auto* page = new TfrxReportPage(&e.Report);
    auto* band = new TfrxMasterData(page);
    auto* memo = new TfrxMemoView(band);
    TfrxXMLSerializer s(nullptr);
    s.Owner = &e.Report;
    struct Case {
        const char* Text;
        std::function<bool()> Check;
    } cases[] = {
        {"l=\"10\"", [&] { return memo->Left() == 10; }},
        {"T=\"11\"", [&] { return memo->Top() == 11; }},
        {"w=\"1,5\"", [&] { return memo->Width() == 1.5; }},
        {"h=\"2.25\"", [&] { return memo->Height() == 2.25; }},
        {"Height=\"1 234,5\"", [&] { return memo->Height() == 1234.5; }},
        {"WordWrap=\"False\"", [&] { return !memo->WordWrap; }},
        {"WordWrap=\"1\"", [&] { return memo->WordWrap; }},
        {"HAlign=\"2\"", [&] { return memo->HAlign == frxClass::haCenter; }},
        {"HAlign=\"haBlock\"", [&] { return memo->HAlign == frxClass::haBlock; }},
        {"Frame.Typ=\"9\"", [&] { return memo->Frame()->Typ == TfrxFrameTypes{ftLeft, ftBottom}; }},
        {"Font.Name=\"宋体\" Font.Style=\"3\"",
         [&] { return memo->Font()->Name() == "宋体" && memo->Font()->Style() == 3; }},
        {"Memo.Text=\"a&#13;&#10;b\"", [&] { return memo->Memo()->Count() == 2; }},
        {"Memo.Text=\"\"", [&] { return memo->Memo()->Count() == 0; }},
        // The line break after the last line is not stored: an empty last line stays.
        {"Memo.Text=\"a&#13;&#10;\"", [&] { return memo->Memo()->Count() == 2 && memo->Memo()->Strings(1).empty(); }},
        {"x=\"one&#13;&#10;two\"", [&] { return memo->Memo()->Count() == 2; }},
        {"TagStr=\"a&#34;b\" URL=\"u\"", [&] { return memo->TagStr == "a\"b" && memo->URL == "u"; }},
        {"TagStr=\"p\"URL=\"lost\"", [&] { return memo->TagStr == "p" && memo->URL == "u"; }},
        {"NoSuchProperty=\"1\" Frame.NoSuch=\"2\" Rotation=\"370\"", [&] { return memo->Rotation() == 10; }},
    };
    for (const auto& c : cases) {
        s.ReadProperties(c.Text, memo);
        EXPECT_TRUE(c.Check()) << c.Text;
    }
    EXPECT_EQ(s.Errors()->Count(), 0);
    s.ReadProperties("Left=\"abc\" HAlign=\"haNowhere\" Top=\"3\"", memo);
    EXPECT_EQ(s.Errors()->Count(), 2);   // each bad value is noted, the rest still applies
    EXPECT_EQ(memo->Top(), 3);
    EXPECT_EQ(memo->Left(), 10);
}

TEST(Serializer, ForwardReferencesAndUnknownClasses)
{
    Env e;
    const std::string text = std::string(frxXML::XMLHeader) +
        "<TfrxReport Name=\"\">"
        "<TfrxReportPage Name=\"Page1\"><TfrxReportSummary Name=\"S\">"
        "<TfrxSubreport Name=\"Sub\" Page=\"Page2\"/>"
        "<TfrxNoSuchView Name=\"X\"><TfrxMemoView Name=\"Inner\"/></TfrxNoSuchView>"
        "</TfrxReportSummary></TfrxReportPage>"
        "<TfrxReportPage Name=\"Page2\"/></TfrxReport>";
    TStringStream s(text);
    e.Report.LoadFromStream(&s);
    auto* sub = DynamicCast<TfrxSubreport>(e.Report.FindObject("Sub"));
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->SubPage(), e.Report.FindObject("Page2"));
    EXPECT_FALSE(e.Report.FindObject("X"));
    EXPECT_FALSE(e.Report.FindObject("Inner"));
    ASSERT_EQ(e.Report.Errors()->Count(), 1);
    EXPECT_EQ((*e.Report.Errors())[0], "未找到类 TfrxNoSuchView");
}

TEST(Serializer, BinaryPropertyBytes)
{
    Env e;
    auto* ds = new TfrxUserDataSet(&e.Report);
    ds->SetBounds(300, -2, 28, 28);
    TfrxXMLSerializer s(nullptr);
    s.Owner = &e.Report;
    std::string text = s.WriteProperties(ds);
    // pLeft 300 as a 16-bit integer, pTop -2 as an 8-bit one.
    EXPECT_NE(text.find(" PropData=\"05704C656674032C010470546F7002FE\""), std::string::npos) << text;

    TfrxVariables vars;
    vars.SetVariables("A", Variant("x"));
    TMemoryStream m;
    TfrxBinaryWriter w(&m, &e.Report);
    frxUtils::WriteCollection(&vars, w, &e.Report);
    std::string bytes(size_t(m.Size()), '\0');
    m.SetPosition(0);
    m.ReadBuffer(bytes.data(), int(bytes.size()));
    // Each item's text starts with the blank before its first attribute.
    EXPECT_EQ(frxUtils::BytesToHexText(bytes), "01010C13000000204E616D653D2241222056616C75653D22782200" "00");
}

TEST(Serializer, OlderCollectionFormIsRead)
{
    Env e;
    // 0E collection: one item with Name (short string) and Value ("é" kept
    // in the seven-bit form: byte 1 then the code less 128).
    std::string bytes;
    bytes += char(0x0E);
    bytes += char(0x01);
    bytes += char(4) + std::string("Name") + char(0x06) + char(2) + "Ab";
    std::string gbk = Utf8ToGbk("费");
    std::string seven;
    for (char c : gbk) {
        seven += char(1);
        seven += char(uint8_t(c) - 128);
    }
    bytes += char(5) + std::string("Value") + char(0x06) + char(seven.size()) + seven;
    bytes += char(0);
    bytes += char(0);
    std::string entry = char(9) + std::string("Variables") + bytes;
    const std::string text = std::string(frxXML::XMLHeader) + "<TfrxReport Name=\"\" PropData=\"" +
                             frxUtils::BytesToHexText(entry) + "\"/>";
    TStringStream s(text);
    e.Report.LoadFromStream(&s);
    ASSERT_EQ(e.Report.Variables()->Count(), 1);
    EXPECT_EQ(e.Report.Variables()->Items(0)->Name, "Ab");
    EXPECT_EQ(VarToStr(e.Report.Variables()->Items(0)->Value), "费");
}

TEST(Serializer, OneElementTexts)
{
    Env e;
    auto* page = new TfrxReportPage(&e.Report);
    auto* band = new TfrxMasterData(page);
    auto* memo = new TfrxMemoView(band);
    memo->SetName("Memo1");
    memo->SetBounds(1, 2, 3, 4);
    memo->SetText("hi");
    TStringStream out;
    TfrxXMLSerializer w(&out);
    w.Owner = &e.Report;
    w.WriteOneComponent(memo);
    EXPECT_EQ(out.DataString(),
              "<TfrxMemoView Left=\"1\" Top=\"2\" Width=\"3\" Height=\"4\" Memo.Text=\"hi\"/>");

    EXPECT_EQ(memo->DiffText(nullptr), "Left=\"1\" Top=\"2\" Width=\"3\" Height=\"4\" Memo.Text=\"hi\"");

    TStringStream in(out.DataString());
    TfrxXMLSerializer r(&in);
    TfrxComponent* copy = r.ReadOneComponent(band);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Parent(), band);
    EXPECT_EQ(static_cast<TfrxMemoView*>(copy)->Text(), "hi\r\n");
    EXPECT_THROW(r.ReadComponentText(band, "TfrxNoSuch Left=\"1\""), EClassNotFound);
    EXPECT_EQ(r.ReadComponentText(band, "   "), nullptr);
}

TEST(Serializer, AssignCopiesPropertiesAndKeepsName)
{
    Env e;
    auto* page = new TfrxReportPage(&e.Report);
    auto* a = new TfrxMasterData(page);
    a->SetName("A");
    a->SetHeight(40);
    new TfrxMemoView(a);
    auto* b = new TfrxMasterData(page);
    b->SetName("B");
    new TfrxMemoView(b);
    b->Assign(a);
    EXPECT_EQ(b->Name(), "B");
    EXPECT_EQ(b->Height(), 40);
    EXPECT_TRUE(b->Objects().empty());
    b->AssignAll(a);
    EXPECT_EQ(b->Objects().size(), 1u);
}

}  // namespace
