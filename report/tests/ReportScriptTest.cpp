// The report's script and expressions: the expression cache, the variable
// lookup chain, Calc errors, script set-up and its routines.
#include "frxClass.h"
#include "frxVariables.h"

#include "fs_iinterpreter.h"

#include "RecordingHost.h"
#include "StringLists.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

namespace {

struct Env {
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    TComponent Glue{nullptr};
    TfrxReport* Report = new TfrxReport(&Glue);
    TfrxUserDataSet* D0 = new TfrxUserDataSet(&Glue);
    Env()
    {
        Report->EngineOptions()->SilentMode = true;
        D0->SetName("d0");
        D0->Fields()->SetStrings({"Name", "Fee", "Paid"});
        D0->OnGetValue = [](const std::string& f, Variant& v) {
            if (SameText(f, "Name")) v = Variant("张三");
            else if (SameText(f, "Fee")) v = Variant(120);
            else v = Null();
        };
        Report->DataSets()->Add(D0);
    }
};

TEST(ExpressionCache, CompilesEachExpressionOnce)
{
    Env e;
    TfrxExpressionCache cache;
    std::string err;
    e.Report->Script()->AddVariable("A", "Integer", Variant(4));
    EXPECT_EQ(cache.Calc("A+1", err, e.Report->Script()).AsInteger(), 5);
    EXPECT_EQ(cache.Calc("a+1", err, e.Report->Script()).AsInteger(), 5);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_TRUE(err.empty());

    Variant bad = cache.Calc("1 +", err, e.Report->Script());
    EXPECT_TRUE(VarIsNull(bad));
    EXPECT_EQ(err.compare(0, std::string("表达式错误 '1 +': ").size(), "表达式错误 '1 +': "), 0) << err;
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Calc("2*3", err, e.Report->Script()).AsInteger(), 6);
    EXPECT_TRUE(err.empty());
}

TEST(ReportValues, LookupChain)
{
    Env e;
    Variant v;
    EXPECT_TRUE(e.Report->DoGetValue("d0.\"Name\"", v));
    EXPECT_EQ(VarToStr(v), "张三");
    EXPECT_TRUE(e.Report->DoGetValue("D0.\"Paid\"", v));
    EXPECT_EQ(v.AsInteger(), 0);   // Null made a number for a numeric field
    e.Report->EngineOptions()->ConvertNulls = false;
    e.Report->DoGetValue("d0.\"Paid\"", v);
    EXPECT_TRUE(VarIsNull(v));

    EXPECT_TRUE(e.Report->DoGetValue("page#", v));
    EXPECT_EQ(v.AsInteger(), e.Report->PreviewPages()->PageIndex + 1);

    int asked = 0;
    e.Report->OnGetValue = [&](const std::string& name, Variant& value) {
        ++asked;
        if (name == "School") value = Variant("恒岳");
    };
    e.Report->Variables()->SetVariables("Total", Variant("1+2"));
    e.Report->Variables()->SetVariables("Rate", Variant(3));
    EXPECT_TRUE(e.Report->DoGetValue("School", v));
    EXPECT_EQ(VarToStr(v), "恒岳");
    EXPECT_TRUE(e.Report->DoGetValue("Total", v));   // empty from the application: on to the variables
    EXPECT_EQ(v.AsInteger(), 3);
    EXPECT_TRUE(e.Report->DoGetValue("rate", v));
    EXPECT_EQ(v.AsInteger(), 3);
    EXPECT_FALSE(e.Report->DoGetValue("Nothing", v));
    EXPECT_GE(asked, 3);
}

TEST(ReportValues, CalcRecordsAndRaisesExpressionErrors)
{
    Env e;
    EXPECT_EQ(e.Report->Calc("2+3").AsInteger(), 5);
    e.Report->CurObject = "Memo1";
    EXPECT_THROW(e.Report->Calc("1 +"), Exception);
    ASSERT_EQ(e.Report->Errors()->Count(), 1);
    EXPECT_EQ((*e.Report->Errors())[0].compare(0, std::string("Memo1: 表达式错误 '1 +'").size(),
                                                "Memo1: 表达式错误 '1 +'"),
              0);
}

TEST(ReportScript, SetupCompilesAndBindsObjectsAndRoutines)
{
    Env e;
    auto* page = new TfrxReportPage(e.Report);
    page->SetName("Page1");
    auto* memo = new TfrxMemoView(page);
    memo->SetName("Memo1");
    memo->SetIsDesigning(true);
    e.Report->Variables()->SetVariables("Count", Variant(2));
    e.Report->ScriptText()->SetStrings({"var x: Variant;", "begin",
                                         "  Set('Made', <Count> * 10);",
                                         "  x := IIF(<Count> > 1, 'many', 'one');",
                                         "  Set('Choice', x);", "end."});
    ASSERT_TRUE(e.Report->SetupScript()) << e.Report->Script()->ErrorMessage;
    EXPECT_FALSE(memo->IsDesigning());
    EXPECT_TRUE(e.Report->Script()->FindLocal("Memo1"));
    EXPECT_TRUE(e.Report->Script()->FindLocal("Report"));
    EXPECT_TRUE(e.Report->Script()->FindLocal("Value"));
    e.Report->Script()->Execute();
    EXPECT_EQ(e.Report->Variables()->Variables("Made").AsInteger(), 20);
    EXPECT_EQ(VarToStr(e.Report->Variables()->Variables("Choice")), "many");

    // A second set-up replaces the report's items rather than adding more.
    int items = e.Report->Script()->Count();
    ASSERT_TRUE(e.Report->SetupScript());
    EXPECT_EQ(e.Report->Script()->Count(), items);
}

TEST(ReportScript, UnknownNamesAndCompileErrorsGoToErrors)
{
    Env e;
    e.Report->ScriptText()->SetStrings({"begin", "  Set('v', <Missing>);", "end."});
    ASSERT_TRUE(e.Report->SetupScript());
    e.Report->Script()->Execute();
    ASSERT_EQ(e.Report->Errors()->Count(), 1);
    EXPECT_EQ((*e.Report->Errors())[0], "未知的变量或数据库字段: Missing");

    e.Report->Errors()->Clear();
    e.Report->ScriptText()->SetStrings({"begin", "  x := ;", "end."});
    EXPECT_FALSE(e.Report->SetupScript());
    ASSERT_EQ(e.Report->Errors()->Count(), 1);
    EXPECT_EQ((*e.Report->Errors())[0].compare(0, std::string("脚本发生错误在 2:").size(), "脚本发生错误在 2:"), 0)
        << (*e.Report->Errors())[0];
}

TEST(ReportScript, OtherLanguages)
{
    Env e;
    e.Report->ScriptLanguage = "JScript";
    e.Report->ScriptText()->SetStrings({"Set(\"j\", 1 + 1);"});
    ASSERT_TRUE(e.Report->SetupScript()) << e.Report->Script()->ErrorMessage;
    e.Report->Script()->Execute();
    EXPECT_EQ(e.Report->Variables()->Variables("j").AsInteger(), 2);
}

TEST(ReportScript, PreviewClickRunsTheHandlerThenTheApplication)
{
    Env e;
    auto* page = new TfrxReportPage(e.Report);
    auto* memo = new TfrxMemoView(page);
    memo->SetName("Memo1");
    memo->OnPreviewClick = "Memo1Click";
    e.Report->ScriptText()->SetStrings({"procedure Memo1Click(Sender: Variant; Button: Integer;",
                                         "  Shift: Integer; var Modified: Boolean);", "begin",
                                         "  Set('button', Button);", "  Modified := True;", "end;", "",
                                         "begin", "end."});
    ASSERT_TRUE(e.Report->SetupScript()) << e.Report->Script()->ErrorMessage;
    bool appSaw = false;
    e.Report->OnClickObject = [&](TfrxView* v, int, TShiftState, bool& modified) {
        appSaw = v == memo && modified;
    };
    bool modified = false;
    e.Report->DoPreviewClick(memo, 2, TShiftState(), modified);
    EXPECT_TRUE(modified);
    EXPECT_TRUE(appSaw);
    EXPECT_EQ(e.Report->Variables()->Variables("button").AsInteger(), 2);
}

class TStubEngine : public TfrxCustomEngine {
    QZ_CLASS(TStubEngine, TfrxCustomEngine)
public:
    using TfrxCustomEngine::TfrxCustomEngine;
    void EndPage() override {}
    void NewColumn() override {}
    void NewPage() override {}
    void ShowBand(TfrxBand*) override {}
    void ShowBandByClass(TClass) override {}
    double FooterHeight() override { return 0; }
    double FreeSpace() override { return 0; }
    Variant GetAggregateValue(const std::string& name, const std::string& expr, TfrxBand* band,
                              int flags) override
    {
        Asked.push_back(name + "|" + expr + "|" + (band ? band->Name() : "") + "|" + std::to_string(flags));
        return Variant(7);
    }
    bool Run() override { return true; }
    std::vector<std::string> Asked;
};
QZ_CLASS_IMPL(TStubEngine, TfrxCustomEngine)

class TStubPages : public TfrxCustomPreviewPages {
    QZ_CLASS(TStubPages, TfrxCustomPreviewPages)
public:
    using TfrxCustomPreviewPages::TfrxCustomPreviewPages;
    int Count() override { return 0; }
    void Clear() override {}
};
QZ_CLASS_IMPL(TStubPages, TfrxCustomPreviewPages)

TEST(ReportScript, EngineBackedValuesAndAggregates)
{
    frxClass::EngineFactory = [](TfrxReport* r) { return new TStubEngine(r); };
    frxClass::PreviewPagesFactory = [](TfrxReport* r) { return new TStubPages(r); };
    Env e;
    frxClass::EngineFactory = nullptr;
    frxClass::PreviewPagesFactory = nullptr;
    auto* engine = static_cast<TStubEngine*>(e.Report->Engine());
    ASSERT_TRUE(engine);
    ASSERT_EQ(engine->PreviewPages, e.Report->PreviewPages());
    e.Report->PreviewPages()->PageIndex = 4;
    e.Report->PreviewPages()->BasePage = 3;
    engine->TotalPages = 9;
    Variant v;
    e.Report->DoGetValue("Page", v);
    EXPECT_EQ(v.AsInteger(), 2);
    e.Report->DoGetValue("PAGE#", v);
    EXPECT_EQ(v.AsInteger(), 5);
    e.Report->DoGetValue("TotalPages", v);
    EXPECT_EQ(v.AsInteger(), 6);
    e.Report->EngineOptions()->DoublePass = true;
    EXPECT_EQ(GetOrdProp(engine, "DoublePass"), 1);

    auto* page = new TfrxReportPage(e.Report);
    auto* footer = new TfrxFooter(page);
    footer->SetName("Footer1");
    e.Report->ScriptText()->SetStrings({"begin", "  Set('s', SUM(<d0.\"Fee\"> * 2, Footer1, 1 + 1));",
                                         "  Set('c', Get('COUNT(Footer1)'));", "end."});
    ASSERT_TRUE(e.Report->SetupScript()) << e.Report->Script()->ErrorMessage;
    e.Report->Script()->Execute();
    EXPECT_EQ(e.Report->Variables()->Variables("s").AsInteger(), 7);
    EXPECT_EQ(e.Report->Variables()->Variables("c").AsInteger(), 7);
    ASSERT_EQ(engine->Asked.size(), 2u);
    EXPECT_EQ(engine->Asked[0], "SUM|<d0.\"Fee\"> * 2|Footer1|2");
    EXPECT_EQ(engine->Asked[1], "COUNT||Footer1|0");
    engine->StopReport();
    EXPECT_TRUE(e.Report->Terminated());
}

TEST(ReportDesigner, OpensOnlyWhenADesignerIsRegistered)
{
    Env e;
    try {
        e.Report->OpenDesigner();
        ADD_FAILURE() << "no designer window, yet nothing was said";
    } catch (const Exception& ex) {
        EXPECT_STREQ(ex.what(), frxClass::NoDesignerText);
    }
    EXPECT_EQ(e.Report->PagesCount(), 0);
    EXPECT_FALSE(e.Report->DesignerOpen());

    int runs = 0;
    frxClass::DesignerRunner = [&](TfrxReport* r, bool previewMode) {
        ++runs;
        EXPECT_TRUE(r->DesignerOpen());
        r->OpenDesigner();   // a second window is never opened
        if (!previewMode) r->Modified = true;
        return previewMode;
    };
    e.Report->Modified = true;
    e.Report->OpenDesigner();
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(e.Report->PagesCount(), 1);
    EXPECT_EQ(e.Report->Pages(0)->Name(), "Page1");
    EXPECT_EQ(e.Report->Pages(0)->LeftMargin, 10);
    EXPECT_TRUE(e.Report->Modified);
    EXPECT_FALSE(e.Report->DesignerOpen());
    EXPECT_TRUE(e.Report->OpenPreviewDesigner());
    EXPECT_EQ(e.Report->PagesCount(), 1);
    frxClass::DesignerRunner = nullptr;
    EXPECT_FALSE(e.Report->OpenPreviewDesigner());
}

}  // namespace
