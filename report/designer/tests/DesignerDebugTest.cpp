// The designer's preview, the script's debug run and find and replace,
// driven against a test designer window with a real code editor; the
// preview's window is stood in for by a runner that builds the report as
// the modal preview does.
#include "ActnList.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "GuiTesting.h"
#include "Lists.h"
#include "Menus.h"
#include "RecordingHost.h"
#include "StdCtrls.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TestDesigner.h"
#include "Variants.h"
#include "fs_iinterpreter.h"
#include "frxClass.h"
#include "frxDesgnDebug.h"
#include "frxEvaluateForm.h"
#include "frxRes.h"
#include "frxSearchDialog.h"
#include "frxSyntaxMemo.h"
#include "frxrcDesgn.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The test window with the code editor as its code, and a reload that
// finds the page again (a build reloads the layout, making new objects).
struct TDebugDesigner : TTestDesigner {
    explicit TDebugDesigner(TfrxReport* report) : TTestDesigner(report)
    {
        CodePanel = new TPanel(this);
        CodePanel->SetName("CodePanel");
        CodePanel->SetParent(this);
        Code = new TfrxSyntaxMemo(this);
        Code->SetName("CodeWindow");
        Code->SetParent(CodePanel);
        SetCodeWindow(Code);
    }
    TStrings* GetCode() override { return Code->GetLines(); }
    void ReloadPages(int index) override
    {
        TTestDesigner::ReloadPages(index);
        FPage = Report()->PageAt(index);
        FillObjects();
    }
    TPanel* CodePanel;
    TfrxSyntaxMemo* Code;
};

template <class D> D* ModalDialog()
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* d = dynamic_cast<D*>(Screen->Forms(i)))
            if (d->FormState().Contains(fsModal)) return d;
    return nullptr;
}

// i counts up from line 3; line 14 shows the last value reached.
const char* const CountingScript =
    "var i: Integer;\n"
    "begin\n"
    "  i := 1;\n"
    "  i := 2;\n"
    "  i := 3;\n"
    "  i := 4;\n"
    "  i := 5;\n"
    "  i := 6;\n"
    "  i := 7;\n"
    "  i := 8;\n"
    "  i := 9;\n"
    "  i := 10;\n"
    "  i := 11;\n"
    "  ShowMessage(i);\n"
    "end.";

struct TDebugFixture : ::testing::Test {
    bool GuiUp = (GuiTest::Init(), true);
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    THostScope Scope{Host};
    std::unique_ptr<TfrxReport> Report;
    std::unique_ptr<TDebugDesigner> Designer;
    std::unique_ptr<TfrxDesignerDebug> Debug;
    std::function<void(TfrxReport*)> SavedRunner;
    int Previews = 0;
    // Pages already built when the preview opened.
    std::vector<int> PagesWhenShown;
    // Lines the run stopped at, in order, and what to do at each stop.
    std::vector<int> Stops;
    std::vector<std::function<void()>> AtStop;
    // Whether the commands were locked at the first stop.
    std::function<void()> CheckAtFirstStop;

    TDebugFixture()
    {
        frxClass::Initialize();
        frxrcDesgn::Initialize();
        Report = std::make_unique<TfrxReport>(nullptr);
        auto* page = new TfrxReportPage(Report.get());
        page->SetName("Page1");
        auto* band = new TfrxReportTitle(page);
        band->SetName("ReportTitle1");
        band->SetHeight(100);
        const char* texts[] = {"Value one", "the value", "VALUE three"};
        for (int i = 0; i < 3; ++i) {
            auto* m = new TfrxMemoView(band);
            m->SetName("Memo" + std::to_string(i + 1));
            m->SetBounds(0, i * 20.0, 200, 18);
            m->SetText(texts[i]);
        }
        Designer = std::make_unique<TDebugDesigner>(Report.get());
        Designer->FillObjects();
        Debug = std::make_unique<TfrxDesignerDebug>(Designer.get());
        Debug->DebugStateChanged = [this] {
            if (!Debug->ScriptPaused) return;
            Stops.push_back(Designer->Code->Model()->ActiveLine);
            if (Stops.size() == 1 && CheckAtFirstStop) CheckAtFirstStop();
            // The operator's answer comes as an event into the waiting loop.
            std::function<void()> next = Stops.size() <= AtStop.size() ? AtStop[Stops.size() - 1]
                                                                        : [this] { Debug->StopScriptBClick(); };
            GuiTest::Later(next);
        };
        SavedRunner = frxClass::PreviewRunner;
        frxClass::PreviewRunner = [this](TfrxReport* r) {
            ++Previews;
            PagesWhenShown.push_back(r->PreviewPages()->Count());
            if (r->PreviewPages()->Count() == 0) r->PrepareForPreview();
        };
    }
    ~TDebugFixture() override
    {
        frxClass::PreviewRunner = SavedRunner;
        Debug.reset();
        Designer.reset();
    }
    void SetCode(const std::string& text) { Designer->Code->Model()->SetText(text); }
    TfrxMemoView* Memo(int n) { return dynamic_cast<TfrxMemoView*>(Report->FindObject("Memo" + std::to_string(n))); }
    // What the script showed.
    std::vector<std::string> Shown()
    {
        std::vector<std::string> out;
        for (const THostCall& c : Host->CallsOf(THostCallKind::ShowMessage)) out.push_back(c.Text);
        return out;
    }
    Variant ScriptValue(const std::string& name)
    {
        Variant v;
        std::string error;
        EXPECT_TRUE(frxEvaluateForm::EvaluateExpression(Report->Script(), name, v, error)) << error;
        return v;
    }
};

}  // namespace

// ---- preview ---------------------------------------------------------------------------------------

TEST_F(TDebugFixture, SyntaxErrorShowsOnTheCodePageAndNoPreviewOpens)
{
    SetCode("var i: Integer;\nbegin\n  i := 1;\n  i := ;\nend.");
    Debug->Preview();
    EXPECT_EQ(Previews, 0);
    ASSERT_FALSE(Designer->PagesShown.empty());
    EXPECT_EQ(Designer->PagesShown.back(), nullptr);   // the code page
    int line = 0, column = 0;
    const std::string& pos = Report->Script()->ErrorPosition;
    ASSERT_EQ(sscanf(pos.c_str(), "%d:%d", &line, &column), 2) << pos;
    EXPECT_EQ(line, 4);
    EXPECT_EQ(Designer->Code->GetCaretPos().Y, 4);
    EXPECT_EQ(Designer->Code->GetCaretPos().X, column);
    EXPECT_FALSE(Designer->Code->Model()->Message().empty());
    EXPECT_EQ(Designer->Code->Model()->Message(), Report->Script()->ErrorMessage);
    EXPECT_TRUE(Host->Messages().empty());
}

TEST_F(TDebugFixture, PreviewBuildsAndPutsTheReportsOptionsBack)
{
    SetCode("begin end.");
    Report->PreviewOptions()->Modal = false;
    Report->EngineOptions()->RestoreLayout = false;
    bool modalWhileShown = false, restoreWhileShown = false;
    frxClass::PreviewRunner = [&](TfrxReport* r) {
        ++Previews;
        modalWhileShown = r->PreviewOptions()->Modal;
        restoreWhileShown = r->EngineOptions()->RestoreLayout;
        if (r->PreviewPages()->Count() == 0) r->PrepareForPreview();
    };
    Debug->Preview();
    EXPECT_EQ(Previews, 1);
    EXPECT_TRUE(modalWhileShown);
    EXPECT_TRUE(restoreWhileShown);
    EXPECT_FALSE(Report->PreviewOptions()->Modal);
    EXPECT_FALSE(Report->EngineOptions()->RestoreLayout);
    EXPECT_EQ(Designer->LockCount, 1);
    EXPECT_EQ(Designer->ReloadPagesCalls, std::vector<int>{0});
    EXPECT_NE(Designer->Page(), nullptr);
    EXPECT_TRUE(Host->Messages().empty());

    // From the code page the window comes back to the code page.
    Designer->SetPage(nullptr);
    Debug->Preview();
    EXPECT_EQ(Designer->Page(), nullptr);
}

TEST_F(TDebugFixture, FailedPreviewReturnsToThePageAndSaysWhy)
{
    // A failure out of the preview's window, and a script error in a report
    // that keeps its build errors quiet: both reach the operator, after the
    // window is back on its page.
    struct Case {
        const char* Script;
        bool Throws;
        const char* Expected;
    };
    const Case cases[] = {
        {"begin end.", true, "预览窗口坏了"},
        {"var a: Variant;\nbegin\n  a := 1 div 0;\nend.", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Script);
        size_t before = Host->CallsOf(THostCallKind::MessageBox).size();
        Designer->ReloadPagesCalls.clear();
        Report->EngineOptions()->SilentMode = true;
        SetCode(c.Script);
        frxClass::PreviewRunner = [&](TfrxReport* r) {
            if (c.Throws) throw Exception("预览窗口坏了");
            if (r->PreviewPages()->Count() == 0) r->PrepareForPreview();
        };
        Debug->Preview();
        EXPECT_EQ(Designer->ReloadPagesCalls, std::vector<int>{0});
        auto boxes = Host->CallsOf(THostCallKind::MessageBox);
        ASSERT_EQ(boxes.size(), before + 1);
        EXPECT_NE(boxes.back().Text.find(c.Expected), std::string::npos) << boxes.back().Text;
        EXPECT_EQ(boxes.back().Caption, frxRes::Resources().Get("mbError"));
    }
}

// ---- debug run -------------------------------------------------------------------------------------

TEST_F(TDebugFixture, StepThenRunStopsOnceAndRunsToTheEnd)
{
    SetCode(CountingScript);
    AtStop = {[this] { Debug->RunScriptBClick(false); }};
    Debug->RunScriptBClick(true);
    EXPECT_EQ(Stops, std::vector<int>{3});
    // The run stopped while the report was built, before its preview opened.
    ASSERT_EQ(PagesWhenShown.size(), 1u);
    EXPECT_GT(PagesWhenShown[0], 0);
    EXPECT_FALSE(Debug->ScriptRunning);
    EXPECT_FALSE(Debug->ScriptPaused);
    EXPECT_EQ(Designer->Code->Model()->ActiveLine, -1);
    EXPECT_FALSE(bool(Report->Script()->OnRunLine));
    // The first stop marked which lines can run.
    EXPECT_FALSE(Designer->Code->IsExecutableLine(1));
    EXPECT_TRUE(Designer->Code->IsExecutableLine(3));
    EXPECT_TRUE(Designer->Code->IsExecutableLine(14));
    EXPECT_EQ(Shown(), std::vector<std::string>{"11"});
}

TEST_F(TDebugFixture, StepTwiceStopsAtTheNextLine)
{
    SetCode(CountingScript);
    Variant atSecondStop;
    AtStop = {[this] { Debug->RunScriptBClick(true); },
              [&] {
                  atSecondStop = ScriptValue("i");
                  Debug->RunScriptBClick(false);
              }};
    Debug->RunScriptBClick(true);
    EXPECT_EQ(Stops, (std::vector<int>{3, 4}));
    EXPECT_EQ(atSecondStop, Variant(1));   // line 3 ran, line 4 waits
}

TEST_F(TDebugFixture, RunToCaretStopsFirstAtThatLine)
{
    SetCode(CountingScript);
    Designer->Code->SetCaretPos(1, 12);
    Variant atStop;
    AtStop = {[&] {
        atStop = ScriptValue("i");
        Debug->RunScriptBClick(false);
    }};
    Debug->RunToCaret();
    EXPECT_EQ(Stops, std::vector<int>{12});
    EXPECT_EQ(atStop, Variant(9));
    EXPECT_EQ(Designer->Code->Model()->RunToLine, 0);

    // While a run waits, run to the caret goes on to the caret's line.
    Stops.clear();
    AtStop = {[this] {
                  Designer->Code->SetCaretPos(1, 8);
                  Debug->RunToCaret();
              },
              [this] { Debug->RunScriptBClick(false); }};
    Debug->RunScriptBClick(true);
    EXPECT_EQ(Stops, (std::vector<int>{3, 8}));
}

TEST_F(TDebugFixture, StopWhilePausedEndsTheBuildAndClearsTheMarks)
{
    SetCode(CountingScript);
    int activeAfterStop = 0;
    AtStop = {[&] {
        Debug->StopScriptBClick();
        activeAfterStop = Designer->Code->Model()->ActiveLine;
    }};
    Debug->RunScriptBClick(true);
    EXPECT_EQ(Stops, std::vector<int>{3});
    EXPECT_EQ(activeAfterStop, -1);
    EXPECT_TRUE(Report->Terminated());
    EXPECT_EQ(Previews, 0);
    EXPECT_FALSE(Debug->ScriptRunning);
    EXPECT_FALSE(Debug->ScriptPaused);
    EXPECT_EQ(Designer->Code->Model()->ActiveLine, -1);
    // Nothing after the stop ran.
    EXPECT_TRUE(Shown().empty());

    // The next run is a run of its own.
    Stops.clear();
    AtStop = {[this] { Debug->RunScriptBClick(false); }};
    Debug->RunScriptBClick(true);
    EXPECT_EQ(Stops, std::vector<int>{3});
    EXPECT_EQ(Shown(), std::vector<std::string>{"11"});
}

TEST_F(TDebugFixture, WhilePausedOnlyTheRunCommandsAndTheCodeStayUsable)
{
    auto* undo = new TAction(Designer.get());
    undo->SetName("UndoCmd");
    auto* redo = new TAction(Designer.get());
    redo->SetName("RedoCmd");
    redo->SetEnabled(false);
    auto* menu = new TMenuItem(Designer.get());
    menu->SetName("OpenMI");
    auto* bar = new TToolBar(Designer.get());
    bar->SetName("CodeTB");
    bar->SetParent(Designer.get());
    auto button = [&](const char* name) {
        auto* b = new TToolButton(Designer.get());
        b->SetName(name);
        b->SetParent(bar);
        return b;
    };
    TToolButton* run = button("RunScriptB");
    TToolButton* stop = button("StopScriptB");
    TToolButton* evaluate = button("EvaluateB");
    TToolButton* openScript = button("OpenScriptB");
    auto* tabs = new TTabControl(Designer.get());
    tabs->SetName("Tab");
    tabs->SetParent(Designer.get());

    SetCode(CountingScript);
    bool checked = false;
    CheckAtFirstStop = [&] {
        checked = true;
        EXPECT_FALSE(undo->Enabled());
        EXPECT_FALSE(menu->Enabled());
        EXPECT_FALSE(openScript->Enabled());
        EXPECT_FALSE(tabs->Enabled());
        EXPECT_TRUE(run->Enabled());
        EXPECT_TRUE(stop->Enabled());
        EXPECT_TRUE(evaluate->Enabled());
        EXPECT_TRUE(bar->Enabled());
        EXPECT_TRUE(Designer->Code->Enabled());
        EXPECT_TRUE(Designer->CodePanel->Enabled());
    };
    AtStop = {[this] { Debug->RunScriptBClick(false); }};
    Debug->RunScriptBClick(true);
    EXPECT_TRUE(checked);
    // Each gets back what it had.
    EXPECT_TRUE(undo->Enabled());
    EXPECT_FALSE(redo->Enabled());
    EXPECT_TRUE(menu->Enabled());
    EXPECT_TRUE(openScript->Enabled());
    EXPECT_TRUE(tabs->Enabled());
}

// ---- evaluate ---------------------------------------------------------------------------------------

TEST(EvaluateForm, ShowsValuesAndMarksErrorsAsErrors)
{
    GuiTest::Init();
    frxrcDesgn::Initialize();
    TfsScript script(nullptr);
    script.SetText("var s: String; begin s := 'ab'; end.");
    ASSERT_TRUE(script.Compile());
    script.Execute();
    TfrxEvaluateForm form(nullptr, &script);
    struct Case {
        const char* Expression;
        const char* Shown;
        bool Error;
    };
    const Case cases[] = {
        {"1 + 1", "2", false},
        {"s + 'c'", "'abc'", false},
        {"1 < 2", "True", false},
        {"Null", "Null", false},
        {"1 +", "", true},
        {"Nothing", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Expression);
        form.ExpressionE->SetText(c.Expression);
        form.Evaluate();
        EXPECT_EQ(form.ResultIsError(), c.Error);
        std::string shown = Trim(form.ResultM->Text());
        if (c.Error) {
            // Marked as an error, never shown as a quoted text.
            EXPECT_EQ(shown.rfind(frxRes::Resources().Get("mbError") + ": ", 0), 0u) << shown;
            EXPECT_NE(shown.front(), '\'');
        } else {
            EXPECT_EQ(shown, c.Shown);
        }
    }
    form.ExpressionE->SetText("s +");
    form.Evaluate();
    form.Show();
    form.ExpressionE->SetText("s +");
    form.Evaluate();
    GuiTest::SavePng(&form, "designer_evaluate_error.png");
    form.ExpressionE->SetText("s + 'c'");
    form.Evaluate();
    GuiTest::SavePng(&form, "designer_evaluate.png");
    form.Hide();
}

TEST_F(TDebugFixture, EvaluateWhilePausedSeesTheRunsValues)
{
    SetCode(CountingScript);
    std::string shown;
    AtStop = {[this] { Debug->RunScriptBClick(true); },
              [&] {
                  GuiTest::Later([&] {
                      auto* f = ModalDialog<TfrxEvaluateForm>();
                      ASSERT_NE(f, nullptr);
                      f->ExpressionE->SetText("i * 10");
                      f->Evaluate();
                      shown = Trim(f->ResultM->Text());
                      f->SetModalResult(mrCancel);
                  });
                  Debug->EvaluateBClick();
                  Debug->RunScriptBClick(false);
              }};
    Debug->RunScriptBClick(true);
    EXPECT_EQ(shown, "10");
}

// ---- find and replace --------------------------------------------------------------------------------

TEST_F(TDebugFixture, FindWithoutMatchSaysSoAndChangesNothing)
{
    for (bool onCode : {false, true}) {
        SCOPED_TRACE(onCode);
        size_t before = Host->CallsOf(THostCallKind::MessageBox).size();
        SetCode("begin end.");
        if (onCode) Designer->SetPage(nullptr);
        Debug->FindText = "abc";
        Debug->ReplaceText = "x";
        Debug->ReplaceMode = true;
        Debug->SearchPos = 0;
        Debug->DoFind();
        auto boxes = Host->CallsOf(THostCallKind::MessageBox);
        ASSERT_EQ(boxes.size(), before + 1);
        EXPECT_EQ(boxes.back().Text, "文本 'abc' 找不到");
        EXPECT_EQ(boxes.back().Caption, "信息");
        EXPECT_TRUE(Host->CallsOf(THostCallKind::MessageDlg).empty());
        EXPECT_EQ(Designer->ModifiedCount, 0);
        EXPECT_EQ(Designer->Code->Model()->Text(), "begin end.");
    }
}

TEST_F(TDebugFixture, ReplaceAllOverThreeMemosAsksOnce)
{
    Host->QueueMessageDlg(mrAll);
    // The dialog as the operator fills it: on a page, "from the top" cannot be chosen.
    bool topDisabled = false, panelShown = false;
    GuiTest::Later([&] {
        auto* d = ModalDialog<TfrxSearchDialog>();
        ASSERT_NE(d, nullptr);
        topDisabled = !d->TopCB->Enabled();
        panelShown = d->ReplacePanel->Visible();
        d->TextE->SetText("value");
        d->ReplaceE->SetText("NewValue");
        GuiTest::ProcessEvents();
        EXPECT_GE(d->OkB->Top(), d->ReplacePanel->Top() + d->ReplacePanel->Height());
        EXPECT_LE(d->OkB->Top() + d->OkB->Height(), d->ClientHeight());
        GuiTest::SavePng(d, "designer_replace_dialog.png");
        d->OkB->Click();
    });
    bool findNext = false;
    Debug->FindNextEnabled = [&] { findNext = true; };
    Debug->FindMIClick(true);
    EXPECT_TRUE(topDisabled);
    EXPECT_TRUE(panelShown);
    EXPECT_TRUE(findNext);
    EXPECT_EQ(Host->CallsOf(THostCallKind::MessageDlg).size(), 1u);
    EXPECT_EQ(Host->CallsOf(THostCallKind::MessageDlg)[0].Text, "替换文本 'value'?");
    EXPECT_EQ(Trim(Memo(1)->Text()), "NewValue one");
    EXPECT_EQ(Trim(Memo(2)->Text()), "the NewValue");
    EXPECT_EQ(Trim(Memo(3)->Text()), "NewValue three");
    EXPECT_GE(Designer->ModifiedCount, 3);
    EXPECT_TRUE(Host->CallsOf(THostCallKind::MessageBox).empty());
}

TEST_F(TDebugFixture, FindStepsThroughTheMemosAndAnswersAreKept)
{
    // Case counts: only the exact spelling matches. Yes replaces one, No
    // leaves it; each Find next goes on after the last match.
    Debug->FindText = "Value";
    Debug->ReplaceText = "Price";
    Debug->CaseSensitive = true;
    Debug->ReplaceMode = true;
    Debug->SearchPos = 0;
    Host->QueueMessageDlg(mrNo);
    Debug->DoFind();
    EXPECT_EQ(Designer->SelectedObjects()->Count(), 1);
    EXPECT_EQ(Designer->SelectedObjects()->Items(0), static_cast<void*>(Memo(1)));
    EXPECT_EQ(Trim(Memo(1)->Text()), "Value one");
    Debug->CaseSensitive = false;
    Host->QueueMessageDlg(mrYes);
    Debug->FindNextMIClick();
    EXPECT_EQ(Designer->SelectedObjects()->Items(0), static_cast<void*>(Memo(2)));
    EXPECT_EQ(Trim(Memo(2)->Text()), "the Price");
    EXPECT_EQ(Trim(Memo(3)->Text()), "VALUE three");
}

TEST_F(TDebugFixture, ReplaceAllInTheCodeEndsAfterItsOwnReplacements)
{
    Designer->SetPage(nullptr);
    SetCode("Value := 1;\nx := Value + Value;");
    Debug->FindText = "Value";
    Debug->ReplaceText = "NewValue";
    Debug->ReplaceMode = true;
    Debug->SearchPos = 0;
    Host->QueueMessageDlg(mrAll);
    Debug->DoFind();
    EXPECT_EQ(Designer->Code->Model()->Text(), "NewValue := 1;\r\nx := NewValue + NewValue;");
    EXPECT_EQ(Host->CallsOf(THostCallKind::MessageDlg).size(), 1u);
}

TEST_F(TDebugFixture, FindInTheCodeStartsAtTheCaretUnlessFromTheTop)
{
    Designer->SetPage(nullptr);
    for (bool fromTop : {false, true}) {
        SCOPED_TRACE(fromTop);
        SetCode("abc\nxyz\nabc");
        Designer->Code->SetCaretPos(1, 2);
        GuiTest::Later([&] {
            auto* d = ModalDialog<TfrxSearchDialog>();
            ASSERT_NE(d, nullptr);
            EXPECT_TRUE(d->TopCB->Enabled());
            EXPECT_FALSE(d->ReplacePanel->Visible());
            d->TextE->SetText("abc");
            d->TopCB->SetChecked(fromTop);
            d->OkB->Click();
        });
        Debug->FindMIClick(false);
        EXPECT_EQ(Designer->Code->GetCaretPos().Y, fromTop ? 1 : 3);
        EXPECT_EQ(Designer->Code->GetSelText(), "abc");
    }
}
