// Golden engine tests: tiny layouts built against in-memory data sets, their
// prepared pages dumped as text and compared with checked-in dumps.
#include "EngineFixture.h"

#include "frxAggregate.h"
#include "frxVariables.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "Streams.h"
#include "fs_iinterpreter.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// Page header, a group per class with a sum in its footer, one row per
// student, and a page footer with "page N of total".
void BuildGroupedList(TReportFixture& f, TfrxDBDataset* s)
{
    auto* ph = f.AddBand<TfrxPageHeader>(f.Page, "PageHeader1", 0, 20);
    f.AddMemo(ph, "Title", 0, 0, 200, 18, "学员名单");
    auto* gh = f.AddBand<TfrxGroupHeader>(f.Page, "GroupHeader1", 30, 20);
    gh->Condition = "s.\"Class\"";
    f.AddMemo(gh, "ClassName", 0, 0, 200, 18, "班级 [s.\"Class\"]");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 60, 20);
    md->SetDataSet(s);
    f.AddMemo(md, "Line", 0, 0, 30, 18, "[Line]");
    f.AddMemo(md, "Name", 40, 0, 120, 18, "[s.\"Name\"]");
    f.AddMemo(md, "Fee", 170, 0, 80, 18, "[s.\"Fee\"]");
    auto* gf = f.AddBand<TfrxGroupFooter>(f.Page, "GroupFooter1", 90, 20);
    f.AddMemo(gf, "Total", 0, 0, 200, 18, "合计 [SUM(<s.\"Fee\">)] 人数 [COUNT()]");
    auto* pf = f.AddBand<TfrxPageFooter>(f.Page, "PageFooter1", 200, 20);
    f.AddMemo(pf, "PageNo", 0, 0, 200, 18, "第 [Page#] 页 共 [TotalPages#] 页");
}

}  // namespace

TEST(Engine, ListWithGroupsAndSums)
{
    TReportFixture f;
    f.Data.push_back(SixStudents());
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    BuildGroupedList(f, s);
    f.Report->EngineOptions()->DoublePass = true;
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("grouped_list", dump));
    // A second run of the same report builds the same pages.
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_EQ(f.Dump(), dump);
}

TEST(Engine, PageBreaksReprintHeadersAndCountPages)
{
    TReportFixture f;
    f.Data.push_back(NumberedStudents(40));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 40);
    f.AddMemo(title, "Caption", 0, 0, 300, 30, "报表标题");
    auto* ph = f.AddBand<TfrxPageHeader>(f.Page, "PageHeader1", 50, 20);
    f.AddMemo(ph, "Head", 0, 0, 300, 18, "页眉 [Page]");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 80, 60);
    md->SetDataSet(s);
    f.AddMemo(md, "Name", 0, 0, 120, 18, "[Line#] [s.\"Name\"]");
    auto* summary = f.AddBand<TfrxReportSummary>(f.Page, "ReportSummary1", 150, 20);
    f.AddMemo(summary, "All", 0, 0, 300, 18, "共 [COUNT()] 人, 合计 [SUM(<s.\"Fee\">)]");
    auto* pf = f.AddBand<TfrxPageFooter>(f.Page, "PageFooter1", 200, 20);
    pf->PrintOnLastPage = false;
    f.AddMemo(pf, "PageNo", 0, 0, 200, 18, "第 [Page#] 页 共 [TotalPages#] 页");
    f.Report->EngineOptions()->DoublePass = true;
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_EQ(f.Pages()->Count(), 3);
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("page_breaks", dump));
}

TEST(Engine, MasterDetailSkipsEmptyDetails)
{
    TReportFixture f;
    f.Data.push_back(MakeStudents({{1, "甲班", "A", 0}, {2, "乙班", "B", 0}, {3, "丙班", "C", 0}}));
    TfrxDBDataset* classes = f.AddDataSet(f.Data.back().get(), "c");
    f.Data.push_back(SixStudents());
    TfrxDBDataset* students = f.AddDataSet(f.Data.back().get(), "s");
    // The detail rows of a class: the students whose Class matches, by a
    // range the master-detail event sets.
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 20);
    md->SetDataSet(classes);
    f.AddMemo(md, "ClassName", 0, 0, 200, 18, "[c.\"Name\"]");
    auto* dd = f.AddBand<TfrxDetailData>(f.Page, "DetailData1", 40, 20);
    dd->SetDataSet(students);
    f.AddMemo(dd, "Student", 20, 0, 200, 18, "[s.\"Name\"] [s.\"Fee\"]");
    TDataSet* classData = f.Data[0].get();
    TDataSet* studentData = f.Data[1].get();
    students->OnCheckEOF = [=](TObject*, bool& eof) {
        // Rows of other classes end the detail range.
        if (!eof && !studentData->Eof() &&
            studentData->FieldByName("Class")->AsString() != classData->FieldByName("Class")->AsString())
            eof = true;
    };
    students->OnFirst = [=](TObject*) {
        while (!studentData->Eof() &&
               studentData->FieldByName("Class")->AsString() != classData->FieldByName("Class")->AsString())
            studentData->Next();
    };
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("master_detail", dump));
}

TEST(Engine, SubreportContinuesBelowItsEnd)
{
    TReportFixture f;
    f.Data.push_back(SixStudents());
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 30);
    auto* sub = new TfrxSubreport(title);
    sub->SetName("Subreport1");
    sub->SetBounds(10, 5, 300, 20);
    TfrxReportPage* subPage = f.AddPage();
    sub->SetSubPage(subPage);
    auto* smd = f.AddBand<TfrxMasterData>(subPage, "SubData", 0, 20);
    smd->SetDataSet(s);
    f.AddMemo(smd, "SubName", 0, 0, 150, 18, "[s.\"Name\"]");
    auto* summary = f.AddBand<TfrxReportSummary>(f.Page, "ReportSummary1", 100, 20);
    f.AddMemo(summary, "After", 0, 0, 200, 18, "子报表之后");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("subreport", dump));
}

TEST(Engine, SplitBandContinuesOnTheNextPage)
{
    TReportFixture f;
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 900);
    f.AddMemo(title, "Spacer", 0, 0, 100, 18, "占位");
    auto* summary = f.AddBand<TfrxReportSummary>(f.Page, "ReportSummary1", 950, 40);
    summary->AllowSplit = true;
    summary->Stretched = true;
    std::string text;
    for (int i = 1; i <= 30; ++i) text += "第" + std::to_string(i) + "行\r\n";
    TfrxMemoView* m = f.AddMemo(summary, "Long", 0, 0, 300, 20, text);
    m->StretchMode = smActualHeight;
    f.AddMemo(summary, "Below", 0, 22, 300, 18, "备注");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_EQ(f.Pages()->Count(), 2);
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("split_band", dump));
}

TEST(Engine, SplitBandPlacesAnObjectThatNeverFitsWhole)
{
    TReportFixture f;
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 2000);
    title->AllowSplit = true;
    f.AddMemo(title, "Huge", 0, 0, 100, 2000, "太高");   // taller than any page
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_LE(f.Pages()->Count(), 3);
    EXPECT_NE(f.Dump().find("太高"), std::string::npos);
}

TEST(Engine, CrossBandRunsRowsAcrossPages)
{
    TReportFixture f;
    f.Data.push_back(SixStudents());
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 30);
    f.AddMemo(title, "RowHead", 0, 0, 100, 18, "姓名");
    auto* vb = f.AddBand<TfrxMasterData>(f.Page, "Column1", 0, 0);
    vb->Vertical = true;
    vb->SetLeft(120);
    vb->SetWidth(150);
    vb->SetDataSet(s);
    f.AddMemo(title, "Cell", 120, 0, 150, 18, "[s.\"Name\"]");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("cross_band", dump));
}

TEST(Engine, ScriptEventsRunInOrderAndChangesDoNotSurvive)
{
    TReportFixture f;
    f.Data.push_back(SixStudents());
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 20);
    md->SetDataSet(s);
    md->OnBeforePrint = "BandBefore";
    md->OnAfterPrint = "BandAfter";
    TfrxMemoView* m = f.AddMemo(md, "Fee", 0, 0, 100, 18, "[s.\"Fee\"]");
    m->OnBeforePrint = "MemoBefore";
    m->OnAfterData = "MemoData";
    f.Report->ScriptText()->SetStrings({
        "var log: String;",
        "procedure BandBefore(Sender: TObject);",
        "begin log := log + 'B'; end;",
        "procedure MemoBefore(Sender: TObject);",
        "begin log := log + 'm'; end;",
        "procedure MemoData(Sender: TObject);",
        "begin log := log + 'd'; end;",
        "procedure BandAfter(Sender: TObject);",
        "begin log := log + 'A'; end;",
        "begin log := ''; end."});
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    TfsCustomVariable* log = f.Report->Script()->FindLocal("log");
    ASSERT_TRUE(log);
    EXPECT_EQ(VarToStr(log->GetValue()), "BmdABmdABmdABmdABmdABmdA");
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("script_events", dump));
    // The layout is back as it was (reloaded: the objects are new ones).
    auto* restored = DynamicCast<TfrxMemoView>(f.Report->FindObject("Fee"));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->OnBeforePrint, "MemoBefore");
    EXPECT_EQ(restored->Text(), "[s.\"Fee\"]\r\n");
}

TEST(Engine, RowsColumnsAndBreaks)
{
    // RowCount without a data set; StartNewPage never before the first row;
    // a two-column page; a band keeping its rows together.
    TReportFixture f;
    f.Page->SetColumns(2);
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 300);
    md->SetRowCount(5);
    md->StartNewPage = false;
    f.AddMemo(md, "N", 0, 0, 100, 18, "行 [Line]");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("columns", dump));

    TReportFixture g;
    auto* md2 = g.AddBand<TfrxMasterData>(g.Page, "MasterData1", 0, 20);
    md2->SetRowCount(3);
    md2->StartNewPage = true;
    g.AddMemo(md2, "N", 0, 0, 100, 18, "[Line]");
    ASSERT_TRUE(g.Report->PrepareReport()) << g.Report->Errors()->Text();
    EXPECT_EQ(g.Pages()->Count(), 3);   // a new page before rows 2 and 3 only
}

TEST(Engine, EmptyPagesAndBandPositions)
{
    TReportFixture f;
    auto empty = MakeStudents({});
    TfrxDBDataset* s = f.AddDataSet(empty.get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 20);
    md->SetDataSet(s);
    f.Report->EngineOptions()->PrintIfEmpty = false;
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_EQ(f.Pages()->Count(), 0);
    f.Report->EngineOptions()->PrintIfEmpty = true;
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_EQ(f.Pages()->Count(), 1);

    // A header with no data band after it, and a group footer without its
    // header, are reported by name.
    // (The run gave the report its layout back: the page is a new object.)
    TfrxReportPage* page = f.Report->Pages(0);
    f.AddBand<TfrxHeader>(page, "Lonely", 200, 20);
    f.AddBand<TfrxGroupFooter>(page, "LonelyGroup", 300, 20);
    EXPECT_FALSE(f.Report->PrepareReport());
    std::string errors = f.Report->Errors()->Text();
    EXPECT_NE(errors.find("未连接至表头 Lonely"), std::string::npos) << errors;
    EXPECT_NE(errors.find("没有分组表尾 LonelyGroup"), std::string::npos) << errors;
}

TEST(Engine, KeptBlocksMoveWholeToTheNextPage)
{
    TReportFixture f;
    std::vector<std::tuple<int, std::string, std::string, double>> rows;
    for (int i = 1; i <= 12; ++i) rows.emplace_back(i, "学员" + std::to_string(i), i <= 6 ? "A" : "B", 1);
    f.Data.push_back(MakeStudents(rows));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* gh = f.AddBand<TfrxGroupHeader>(f.Page, "GroupHeader1", 0, 20);
    gh->Condition = "s.\"Class\"";
    gh->KeepTogether = true;
    f.AddMemo(gh, "Cls", 0, 0, 100, 18, "[s.\"Class\"]");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 30, 100);
    md->SetDataSet(s);
    f.AddMemo(md, "Name", 0, 0, 100, 18, "[s.\"Name\"]");
    auto* gf = f.AddBand<TfrxGroupFooter>(f.Page, "GroupFooter1", 150, 20);
    f.AddMemo(gf, "Cnt", 0, 0, 100, 18, "[COUNT()]");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("keep_together", dump));
}

TEST(Engine, InlineSubreportPrintsInsideItsBand)
{
    TReportFixture f;
    f.Data.push_back(MakeStudents({{1, "甲", "A", 1}, {2, "乙", "A", 2}}));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 30);
    f.AddMemo(title, "Head", 0, 0, 100, 18, "标题");
    auto* sub = new TfrxSubreport(title);
    sub->SetName("Subreport1");
    sub->SetBounds(200, 0, 200, 20);
    sub->PrintOnParent = true;
    TfrxReportPage* subPage = f.AddPage();
    sub->SetSubPage(subPage);
    auto* smd = f.AddBand<TfrxMasterData>(subPage, "SubData", 0, 20);
    smd->SetDataSet(s);
    f.AddMemo(smd, "SubName", 0, 0, 100, 18, "[s.\"Name\"]");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::string dump = f.Dump();
    EXPECT_EQ(dump, Golden("inline_subreport", dump));
    // The copies are gone from the layout once the band is done.
    auto* t = DynamicCast<TfrxBand>(f.Report->FindObject("ReportTitle1"));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Objects().size(), 2u);
}

TEST(Engine, PageFooterCountsAKeptBlockOnThePageItMovesTo)
{
    // Group B does not fit below group A: the whole block moves on, and its
    // rows count in the second page's footer, not the first's.
    TReportFixture f;
    std::vector<std::tuple<int, std::string, std::string, double>> rows;
    for (int i = 1; i <= 12; ++i) rows.emplace_back(i, "学员" + std::to_string(i), i <= 6 ? "A" : "B", i);
    f.Data.push_back(MakeStudents(rows));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* gh = f.AddBand<TfrxGroupHeader>(f.Page, "GroupHeader1", 0, 20);
    gh->Condition = "s.\"Class\"";
    gh->KeepTogether = true;
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 30, 100);
    md->SetDataSet(s);
    f.AddMemo(md, "Name", 0, 0, 100, 18, "[s.\"Name\"]");
    f.AddBand<TfrxGroupFooter>(f.Page, "GroupFooter1", 150, 20);
    auto* pf = f.AddBand<TfrxPageFooter>(f.Page, "PageFooter1", 300, 20);
    f.AddMemo(pf, "PageSum", 0, 0, 300, 18, "[COUNT()] [SUM(<s.\"Fee\">)]");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    ASSERT_EQ(f.Pages()->Count(), 2);
    const std::string dump = f.Dump();
    const size_t second = dump.find("page 2");
    ASSERT_NE(second, std::string::npos);
    EXPECT_NE(dump.find("\"6 21\""), std::string::npos) << dump;
    EXPECT_LT(dump.find("\"6 21\""), second) << dump;
    EXPECT_GT(dump.find("\"6 57\""), second) << dump;
}

TEST(Engine, RunningTotalGrowsAcrossGroupsAndRestartsForTheFinalPass)
{
    auto build = [](TReportFixture& f, bool doublePass) {
        f.Data.push_back(SixStudents());
        TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
        auto* gh = f.AddBand<TfrxGroupHeader>(f.Page, "GroupHeader1", 0, 20);
        gh->Condition = "s.\"Class\"";
        auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 30, 20);
        md->SetDataSet(s);
        auto* gf = f.AddBand<TfrxGroupFooter>(f.Page, "GroupFooter1", 60, 20);
        f.AddMemo(gf, "Totals", 0, 0, 300, 18,
                  "[SUM(<s.\"Fee\">,MasterData1,2)]/[SUM(<s.\"Fee\">)]/[COUNT(MasterData1,2)]");
        f.Report->EngineOptions()->DoublePass = doublePass;
        EXPECT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
        std::string totals;
        TfrxReportPage* page = f.Pages()->GetPage(0);
        for (TfrxComponent* c : page->AllObjects())
            if (c->Name() == "Totals") totals += static_cast<TfrxCustomMemoView*>(c)->Text();
        return totals;
    };
    TReportFixture single;
    const std::string want = "300/300/3\r\n800/500/5\r\n880/80/6\r\n";
    EXPECT_EQ(build(single, false), want);
    TReportFixture twice;
    EXPECT_EQ(build(twice, true), want);
}

TEST(Engine, ProgressIsReportedPerPageAndAStopKeepsWhatWasBuilt)
{
    TReportFixture f;
    f.Data.push_back(NumberedStudents(100));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 100);
    md->SetDataSet(s);
    f.AddMemo(md, "Name", 0, 0, 100, 18, "[s.\"Name\"]");
    std::vector<std::string> events;
    f.Report->OnProgressStart = [&](TfrxReport*, TfrxProgressType t, int) {
        if (t == ptRunning) events.push_back("start");
    };
    f.Report->OnProgress = [&](TfrxReport* r, TfrxProgressType t, int n) {
        if (t != ptRunning) return;
        events.push_back(std::to_string(n));
        if (n == 3) r->SetTerminated(true);   // the operator cancels on the third page
    };
    f.Report->OnProgressStop = [&](TfrxReport*, TfrxProgressType t, int) {
        if (t == ptRunning) events.push_back("stop");
    };
    EXPECT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_EQ(events, (std::vector<std::string>{"start", "1", "2", "3", "stop"}));
    ASSERT_EQ(f.Pages()->Count(), 3);
    const std::string dump = f.Dump();
    EXPECT_NE(dump.find("\"学员21\""), std::string::npos) << dump;   // the third page has rows
    EXPECT_EQ(dump.find("\"学员40\""), std::string::npos) << dump;
}

TEST(Engine, GroupFootersSameTopBandsAndTallBands)
{
    // A group footer shows its group's last row: the data set steps back.
    {
        TReportFixture f;
        f.Data.push_back(SixStudents());
        TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
        auto* gh = f.AddBand<TfrxGroupHeader>(f.Page, "GroupHeader1", 0, 20);
        gh->Condition = "s.\"Class\"";
        f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 30, 20)->SetDataSet(s);
        auto* gf = f.AddBand<TfrxGroupFooter>(f.Page, "GroupFooter1", 60, 20);
        f.AddMemo(gf, "Last", 0, 0, 200, 18, "[s.\"Name\"]");
        ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
        std::string lasts;
        for (TfrxComponent* c : f.Pages()->GetPage(0)->AllObjects())
            if (c->Name() == "Last") lasts += static_cast<TfrxCustomMemoView*>(c)->Text();
        EXPECT_EQ(lasts, "张三\r\nBob\r\n赵六\r\n");
    }
    // Of two data bands at the same top only the first takes part.
    {
        TReportFixture f;
        auto* a = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 20);
        a->SetRowCount(2);
        f.AddMemo(a, "A", 0, 0, 100, 18, "first [Line]");
        auto* b = f.AddBand<TfrxMasterData>(f.Page, "MasterData2", 0, 20);
        b->SetRowCount(2);
        f.AddMemo(b, "B", 0, 0, 100, 18, "second [Line]");
        ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
        const std::string dump = f.Dump();
        EXPECT_NE(dump.find("\"first 2\""), std::string::npos) << dump;
        EXPECT_EQ(dump.find("second"), std::string::npos) << dump;
    }
    // A band taller than a page, without splitting, goes to the next page
    // and is placed there whole instead of breaking pages for ever.
    {
        TReportFixture f;
        auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 40);
        f.AddMemo(title, "Head", 0, 0, 100, 18, "标题");
        auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 60, 1500);
        md->SetRowCount(2);
        f.AddMemo(md, "Tall", 0, 0, 100, 18, "[Line]");
        ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
        EXPECT_EQ(f.Pages()->Count(), 3);
        const std::string dump = f.Dump();
        EXPECT_LT(dump.find("\"标题\""), dump.find("page 2")) << dump;
        EXPECT_GT(dump.find("\"1\""), dump.find("page 2")) << dump;
        EXPECT_GT(dump.find("\"2\""), dump.find("page 3")) << dump;
    }
}

TEST(Engine, SubreportsSideBySideAndVerticalHeadersOnEachPage)
{
    // Two sub-reports in one band: the flow goes on below the one that
    // ends further on, here on the second page.
    {
        TReportFixture f;
        f.Data.push_back(SixStudents());
        TfrxDBDataset* few = f.AddDataSet(f.Data.back().get(), "few");
        f.Data.push_back(NumberedStudents(60));
        TfrxDBDataset* many = f.AddDataSet(f.Data.back().get(), "many");
        auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 30);
        auto addSub = [&](const std::string& name, double left, TfrxDBDataset* ds) {
            auto* sub = new TfrxSubreport(title);
            sub->SetName(name);
            sub->SetBounds(left, 0, 300, 20);
            TfrxReportPage* p = f.AddPage();
            sub->SetSubPage(p);
            auto* md = f.AddBand<TfrxMasterData>(p, name + "Data", 0, 20);
            md->SetDataSet(ds);
            f.AddMemo(md, name + "Name", 0, 0, 150, 18, "[" + ds->UserName() + ".\"Name\"]");
        };
        addSub("Many", 0, many);
        addSub("Few", 350, few);
        auto* summary = f.AddBand<TfrxReportSummary>(f.Page, "ReportSummary1", 100, 20);
        f.AddMemo(summary, "After", 0, 0, 200, 18, "子报表之后");
        ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
        ASSERT_EQ(f.Pages()->Count(), 2);
        const std::string dump = f.Dump();
        const size_t second = dump.find("page 2");
        EXPECT_LT(dump.find("\"赵六\""), second) << dump;
        EXPECT_GT(dump.find("\"学员60\""), second) << dump;
        // Below the last row of the longer one.
        const size_t last = dump.find("\"学员60\"");
        const size_t after = dump.find("ReportSummary ReportSummary1");
        EXPECT_GT(after, last) << dump;
        TfrxReportPage* p2 = f.Pages()->GetPage(1);
        auto* lastRow = p2->FindObject("ManyData");
        auto* sum = p2->FindObject("ReportSummary1");
        ASSERT_TRUE(lastRow && sum);
        double bottom = 0;
        for (TfrxComponent* c : p2->AllObjects())
            if (c->Name() == "ManyData") bottom = std::max(bottom, c->Top() + c->Height());
        EXPECT_NEAR(sum->Top(), bottom, 1e-6);
    }
    // A cross row wider than the page goes on on the next page with the
    // vertical header at its left again.
    {
        TReportFixture f;
        f.Data.push_back(SixStudents());
        TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
        auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 30);
        auto* vh = f.AddBand<TfrxHeader>(f.Page, "ColumnHead", 0, 0);
        vh->Vertical = true;
        vh->SetLeft(0);
        vh->SetWidth(100);
        vh->ReprintOnNewPage = true;
        f.AddMemo(title, "RowHead", 0, 0, 100, 18, "姓名");
        auto* vb = f.AddBand<TfrxMasterData>(f.Page, "Column1", 0, 0);
        vb->Vertical = true;
        vb->SetLeft(120);
        vb->SetWidth(150);
        vb->SetDataSet(s);
        f.AddMemo(title, "Cell", 120, 0, 150, 18, "[s.\"Name\"]");
        ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
        ASSERT_EQ(f.Pages()->Count(), 2);
        const std::string dump = f.Dump();
        const size_t second = dump.find("page 2");
        ASSERT_NE(second, std::string::npos) << dump;
        const std::string page2 = dump.substr(second);
        EXPECT_NE(page2.find("RowHead 0,0 100x18 \"姓名\""), std::string::npos) << dump;
        EXPECT_LT(page2.find("\"姓名\""), page2.find("\"赵六\"")) << dump;
        EXPECT_NE(page2.find("Cell 100,0"), std::string::npos) << dump;
    }
}
