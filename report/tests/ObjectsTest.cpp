// Text objects' values and formats, the DB data set, aggregates and the
// dot-matrix objects.
#include "EngineFixture.h"

#include "Graphics.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "frxAggregate.h"
#include "frxDMPClass.h"
#include "frxVariables.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace enginetest;

namespace {

// The text a one-row report shows for a memo of this text.
std::string Shown(TReportFixture& f, const std::string& text, const std::function<void(TfrxMemoView*)>& setup = {})
{
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 20);
    TfrxMemoView* m = f.AddMemo(title, "Memo1", 0, 0, 300, 18, text);
    if (setup) setup(m);
    EXPECT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    TfrxReportPage* p = f.Pages()->GetPage(0);
    auto* shown = DynamicCast<TfrxCustomMemoView>(p ? p->FindObject("Memo1") : nullptr);
    if (!shown) return "<none>";
    std::string t = shown->Text();
    if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
    return t;
}

}  // namespace

TEST(TextObject, ExpressionsAndFormats)
{
    struct Case {
        const char* Text;
        const char* Want;
        std::function<void(TfrxMemoView*)> Setup;
    } cases[] = {
        {"Total: [1+2]", "Total: 3", {}},
        {"Total: [1+2]", "Total: [1+2]", [](TfrxMemoView* m) { m->AllowExpressions = false; }},
        {"[x #n%2,2f]", "3,14", {}},
        {"[b #bYes,No]", "Yes", {}},
        {"[not <b> #bYes,No]", "No", {}},
        {"[0]", "", [](TfrxMemoView* m) { m->HideZeros = true; }},
        {"['0']", "0", [](TfrxMemoView* m) { m->HideZeros = true; }},
        {"x<[1+1]>y", "x2y", [](TfrxMemoView* m) { m->ExpressionDelimiters = "<[,]>"; }},
        {"[1+1", "[1+1", {}},   // no closing delimiter: the text stays
        {"汉字[1]汉字", "汉字1汉字", {}},
    };
    for (const Case& c : cases) {
        TReportFixture f;
        f.Report->Variables()->SetVariables("x", Variant(3.14159));
        f.Report->Variables()->SetVariables("b", Variant(true));
        EXPECT_EQ(Shown(f, c.Text, c.Setup), c.Want) << c.Text;
    }
}

TEST(TextObject, SuppressRepeatedAndHighlight)
{
    TReportFixture f;
    f.Data.push_back(MakeStudents({{1, "a", "A", 1}, {2, "b", "A", 1}, {3, "c", "B", 2}}));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 20);
    md->SetDataSet(s);
    TfrxMemoView* cls = f.AddMemo(md, "Cls", 0, 0, 100, 18, "[s.\"Class\"]");
    cls->SuppressRepeated = true;
    TfrxMemoView* fee = f.AddMemo(md, "Fee", 100, 0, 100, 18, "[s.\"Fee\"]");
    fee->Highlight()->Condition = "<s.\"Fee\"> > 1";
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::string dump = f.Dump();
    EXPECT_NE(dump.find("Cls 0,0 100x18 \"A\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("Cls 0,0 100x18 \"\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("Cls 0,0 100x18 \"B\""), std::string::npos) << dump;
    TfrxReportPage* p = f.Pages()->GetPage(0);
    int active = 0;
    for (TfrxComponent* c : p->AllObjects())
        if (auto* m = DynamicCast<TfrxCustomMemoView>(c); m && m->Name() == "Fee" && m->Highlight()->Active) ++active;
    EXPECT_EQ(active, 1);
}

TEST(TextObject, PartsAndAutoWidth)
{
    TfrxReport report;
    auto* page = new TfrxReportPage(&report);
    page->SetDefaults();
    auto* band = new TfrxMasterData(page);
    auto* m = new TfrxMemoView(band);
    m->SetBounds(100, 0, 200, 100);
    auto lines = [](int from, int to, const std::string& first) {
        std::string t;
        for (int i = from; i <= to; ++i) t += (i == from ? first : std::string()) + "行" + std::to_string(i) + "\r\n";
        return t;
    };
    m->SetText(lines(1, 4, ""));
    const double fourLines = m->CalcHeight();
    m->SetHeight(fourLines);

    // Ten lines in room for four: four stay, six are left for the next part.
    m->SetText(lines(1, 10, ""));
    m->StartPart();
    const double spare = m->FitPart();
    EXPECT_GE(spare, 0);
    EXPECT_LT(spare, fourLines / 4);
    EXPECT_EQ(m->Text(), lines(1, 4, ""));
    EXPECT_EQ(m->PartText.rfind("行5\r\n", 0), 0u) << m->PartText;
    EXPECT_NE(m->PartText.find("行10"), std::string::npos);

    // With tags the rest opens again with the styles in force.
    m->AllowHTMLTags = true;
    m->SetText(lines(1, 10, "<b>"));
    m->StartPart();
    m->FitPart();
    EXPECT_NE(m->PartText.find("<b>行5"), std::string::npos) << m->PartText;

    // A growing object aligned right keeps its right edge.
    auto* w = new TfrxMemoView(band);
    w->SetBounds(300, 0, 20, 20);
    w->AutoWidth = true;
    w->HAlign = frxClass::haRight;
    w->WordWrap = false;
    w->SetText("驾校学员须知驾校学员须知");
    TBitmap bmp(10, 10);
    w->Draw(bmp.Canvas(), 1, 1, 0, 0);
    EXPECT_GT(w->Width(), 100);
    EXPECT_NEAR(w->Left() + w->Width(), 320, 1e-6);
}

TEST(DBDataSet, RangesAliasesAndLinks)
{
    auto data = SixStudents();
    TfrxDBDataset ds(nullptr);
    ds.SetName("s");
    EXPECT_THROW(ds.Initialize(), Exception);   // no data set linked
    {
        // Outside a run, before its data set is open, a field's display text names it.
        TDataSet closed;
        closed.FieldDefs()->Add("Name", ftString, 10);
        TfrxDBDataset design(nullptr);
        design.SetName("s");
        design.SetDataSet(&closed);
        EXPECT_EQ(design.GetDisplayText("Name"), "s.\"Name\"");
        EXPECT_FALSE(closed.Active());
    }
    ds.SetDataSet(data.get());

    // The current row alone, and back to it afterwards.
    ds.Initialize();
    data->First();
    data->Next();
    data->Next();
    ds.SetRangeBegin(rbCurrent);
    ds.SetRangeEnd(reCurrent);
    int rows = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        EXPECT_EQ(VarToStr(ds.GetValue("Name")), "张三");
        ++rows;
    }
    EXPECT_EQ(rows, 1);
    data->First();
    ds.Finalize();
    EXPECT_EQ(data->FieldByName("Id")->AsInteger(), 3);

    ds.SetRangeBegin(rbFirst);
    ds.SetRangeEnd(reCount);
    ds.SetRangeEndCount(5);
    ds.Initialize();
    rows = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) ++rows;
    EXPECT_EQ(rows, 5);
    ds.Finalize();

    // Aliases: 姓名 for Name, Id hidden.
    ds.SetRangeEnd(reLast);
    ds.FieldAliases()->SetStrings({"-Id=Id", "Name=姓名"});
    ds.Initialize();
    ds.First();
    TStringList fields;
    ds.GetFieldList(&fields);
    ASSERT_EQ(fields.Count(), 1);
    EXPECT_EQ(fields[0], "姓名");
    EXPECT_EQ(VarToStr(ds.GetValue("姓名")), "王五");
    EXPECT_EQ(ds.GetFieldType("姓名"), fftString);
    EXPECT_TRUE(VarIsNull(ds.GetValue("Id")));   // hidden: a missing field
    ds.Finalize();

    TDataSource src;
    src.SetDataSet(data.get());
    ds.SetDataSource(&src);
    EXPECT_EQ(ds.DataSet(), nullptr);
    EXPECT_EQ(ds.EffectiveDataSet(), data.get());
    ds.SetDataSet(data.get());
    EXPECT_EQ(ds.DataSource(), nullptr);
    data.reset();
    EXPECT_EQ(ds.DataSet(), nullptr);   // a freed data set is no longer linked
}

TEST(Aggregates, CallsValuesAndFlags)
{
    TReportFixture f;
    f.Data.push_back(MakeStudents({{1, "a", "A", 10}, {2, "b", "A", 20}, {3, "c", "A", 30}}));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 20);
    md->SetDataSet(s);
    md->OnBeforePrint = "HideSecond";
    f.AddMemo(md, "Row", 0, 0, 100, 18, "[s.\"Fee\"]");
    auto* ft = f.AddBand<TfrxFooter>(f.Page, "Footer1", 40, 20);
    f.AddMemo(ft, "Sums", 0, 0, 700, 18,
              "[SUM(<s.\"Fee\">)]|[AVG(<s.\"Fee\">)]|[MIN(<s.\"Fee\">)]|[MAX(<s.\"Fee\">)]|[COUNT()]|"
              "[COUNT(MasterData1, 1)]|[SUM (<s.\"Fee\">)]");
    f.Report->ScriptText()->SetStrings({"procedure HideSecond(Sender: TfrxComponent);",
                                         "begin MasterData1.Visible := <Line> <> 2; end;", "begin end."});
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    auto* agg = static_cast<TfrxEngine*>(f.Report->Engine())->Aggregates();
    EXPECT_EQ(agg->Count(), 6);   // the call with a blank before "(" is no aggregate
    std::string dump = f.Dump();
    // The hidden row is counted only with flags 1.
    EXPECT_NE(dump.find("\"40|20|10|30|2|3|"), std::string::npos) << dump;
}

TEST(Aggregates, VerticalColumnsAreBounded)
{
    TfrxAggregateItem item;
    TfrxReport report;
    item.Report = &report;
    item.Func = 4;
    item.AddValue(1000);
    EXPECT_EQ(item.Value(1000).AsInteger(), 1);
    EXPECT_THROW(item.AddValue(1001), Exception);
}

TEST(DotMatrix, SnapsToCharacterCells)
{
    TfrxReport report;
    auto* page = new TfrxDMPPage(&report);
    page->SetDefaults();
    EXPECT_EQ(int(std::lround((page->PaperWidth() * fr01cm) / fr1CharX)), 82);
    auto* band = new TfrxMasterData(page);
    auto* m = new TfrxDMPMemoView(band);
    m->SetLeft(20);
    EXPECT_NEAR(m->Left(), 19.2, 1e-9);
    m->Align = baRight;
    m->SetLeft(28);
    EXPECT_NEAR(m->Left(), 19.2, 1e-9);
    m->SetTop(20);
    EXPECT_NEAR(m->Top(), 17, 1e-9);
    auto* l = new TfrxDMPLineView(band);
    l->SetTop(40);
    EXPECT_NEAR(l->Top(), 42.5, 1e-9);
    EXPECT_EQ(m->Font()->Name(), "Courier New");

    // The page's style reaches objects that follow it, not one with its own.
    auto* own = new TfrxDMPMemoView(band);
    own->SetFontStyle(TfrxDMPFontStyles{fsxItalic});
    m->SetParentFont(true);
    page->SetFontStyle(TfrxDMPFontStyles{fsxBold});
    EXPECT_TRUE(m->FontStyle().Contains(fsxBold));
    EXPECT_TRUE(m->Font()->Style() & TfrxFont::Bold);
    EXPECT_FALSE(own->FontStyle().Contains(fsxBold));
    EXPECT_TRUE(own->FontStyle().Contains(fsxItalic));
}
