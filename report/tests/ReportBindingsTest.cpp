// Report scripts reach the report's objects, engine and outline.
#include "EngineFixture.h"

#include "StringLists.h"
#include "SysUtils.h"
#include "fs_iinterpreter.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// Runs a PascalScript program against the global script alone.
Variant RunGlobal(const std::string& expr)
{
    TfrxReport report;   // the bindings register with the first report
    TfsScript s(nullptr);
    s.Parent = fs_iinterpreter::GetGlobalScript();
    s.SetSyntaxType("PascalScript");
    s.SetText("var r: Variant; begin r := " + expr + "; end.");
    EXPECT_TRUE(s.Compile()) << s.ErrorMessage;
    s.Execute();
    return s.FindLocal("r")->GetValue();
}

}  // namespace

TEST(ReportBindings, ConstantsEnumerationsAndDates)
{
    struct Case {
        const char* Expr;
        double Want;
    } cases[] = {{"skDiagonal1", 5}, {"vaCenter", 2}, {"fr01cm", 3.7795}, {"fr1CharY", 17},
                 {"YearOf(0)", 1899}, {"DayOf(1.75)", 31}, {"MonthOf(1.75)", 12},
                 {"IIF(True, 1, 2)", 0}, {"SUM(1)", 0}, {"COUNT", 0}, {"clTransparent", 536870911}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(RunGlobal(c.Expr).AsDouble(), c.Want) << c.Expr;
}

TEST(ReportBindings, ScriptsChangeObjectsAndDriveTheEngine)
{
    TReportFixture f;
    f.Data.push_back(SixStudents());
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 20);
    md->SetDataSet(s);
    md->OnAfterPrint = "MasterAfter";
    TfrxMemoView* m = f.AddMemo(md, "Fee", 0, 0, 100, 18, "[s.\"Fee\"]");
    m->OnAfterData = "FeeData";
    f.Report->ScriptText()->SetStrings({
        "var kinds: String;",
        "procedure FeeData(Sender: TfrxComponent);",
        "begin",
        "  if <s.\"Fee\"> > 150 then TfrxMemoView(Sender).Text := 'high ' + TfrxMemoView(Sender).Text;",
        "  kinds := kinds + IntToStr(Report.GetDataset('s').FieldType['Name']);",
        "end;",
        "procedure MasterAfter(Sender: TfrxComponent);",
        "begin",
        "  if <Line> = 3 then begin Outline.AddItem('third'); Engine.AddAnchor('third'); Engine.NewPage; end;",
        "end;",
        "begin kinds := ''; end."});
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    EXPECT_EQ(f.Pages()->Count(), 2);
    std::string dump = f.Dump();
    EXPECT_NE(dump.find("\"high 200\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("\"150\""), std::string::npos);
    EXPECT_EQ(VarToStr(f.Report->Script()->FindLocal("kinds")->GetValue()), "111111");
    EXPECT_EQ(f.Pages()->GetAnchorPage("third"), 1);
    f.Pages()->Outline()->LevelRoot();
    EXPECT_EQ(f.Pages()->Outline()->Count(), 1);
}

TEST(ReportBindings, ReportMethods)
{
    TReportFixture f;
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 20);
    f.AddMemo(title, "Memo1", 0, 0, 100, 18, "x");
    f.Report->ScriptText()->SetStrings({
        "var found, missing, calc, loaded: Variant;",
        "begin",
        "  found := Report.FindObject('MEMO1') <> nil;",
        "  missing := Report.FindObject('nothing') = nil;",
        "  calc := Report.Calc('2 * 21');",
        "  loaded := Report.LoadFromFile('/nonexistent/layout.fr3');",
        "end."});
    ASSERT_TRUE(f.Report->SetupScript()) << f.Report->Script()->ErrorMessage;
    f.Report->Script()->Execute();
    auto v = [&](const char* n) { return f.Report->Script()->FindLocal(n)->GetValue(); };
    EXPECT_TRUE(v("found").AsBoolean());
    EXPECT_TRUE(v("missing").AsBoolean());
    EXPECT_EQ(v("calc").AsInteger(), 42);
    EXPECT_FALSE(v("loaded").AsBoolean());
    EXPECT_EQ(f.Report->PagesCount(), 0);   // a missing file leaves the report cleared
}
