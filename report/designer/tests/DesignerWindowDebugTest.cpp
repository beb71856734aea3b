// The designer window's preview, debug and search commands: its keys and
// buttons reach the debug run, and the window holds still while a run waits.
#include "ActnList.h"
#include "ComCtrls.h"
#include "DesignerFormFixture.h"
#include "Menus.h"
#include "frxDesgnDebug.h"
#include "frxSyntaxMemo.h"

namespace {

using Fixture = TDesignerFormFixture;

struct TRunnerScope {
    std::function<void(TfrxReport*)> Saved = frxClass::PreviewRunner;
    int Previews = 0;
    // Builds the report as the modal preview does.
    TRunnerScope()
    {
        frxClass::PreviewRunner = [this](TfrxReport* r) {
            ++Previews;
            if (r->PreviewPages()->Count() == 0) r->PrepareForPreview();
        };
    }
    ~TRunnerScope() { frxClass::PreviewRunner = Saved; }
};

TEST_F(Fixture, PreviewOfCodeThatDoesNotCompileShowsTheErrorInTheCode)
{
    TRunnerScope runner;
    TfrxDesignerForm* f = Open();
    ASSERT_NE(f->Page(), nullptr);
    f->CodeWindow()->Model()->SetText("begin\n  ShowMessage(;\nend.");
    f->PreviewCmd->Execute();
    EXPECT_EQ(runner.Previews, 0);
    EXPECT_EQ(f->Page(), nullptr);
    EXPECT_EQ(f->Tab->TabIndex(), 0);
    EXPECT_EQ(f->CodeWindow()->GetCaretPos().Y, 2);
    EXPECT_FALSE(f->CodeWindow()->Model()->Message().empty());

    // Mended, the report previews and the window stays on the code page.
    f->CodeWindow()->Model()->SetText("begin\nend.");
    f->PreviewCmd->Execute();
    EXPECT_EQ(runner.Previews, 1);
    EXPECT_EQ(f->Page(), nullptr);
}

TEST_F(Fixture, WhileARunWaitsTheWindowKeepsOnlyTheRunCommands)
{
    TRunnerScope runner;
    TfrxDesignerForm* f = Open();
    f->CodeWindow()->Model()->SetText("var i: Integer;\nbegin\n  i := 1;\n  i := 2;\n  ShowMessage(i);\nend.");
    f->SetPage(nullptr);
    f->CodeWindow()->SetCaretPos(1, 4);
    struct Seen {
        bool Undo, Open, Tab, Find, Run, Step, Stop, Evaluate, Closes, Paused;
        int Line;
    } seen{};
    // At the stop, as the operator would: look, then Stop.
    auto windowHook = f->Debug->DebugStateChanged;
    bool stopped = false;
    f->Debug->DebugStateChanged = [&] {
        windowHook();
        if (!f->Debug->ScriptPaused || stopped) return;
        stopped = true;
        GuiTest::Later([&] {
            seen = {f->UndoCmd->Enabled(), f->OpenCmd->Enabled(), f->TabChanging(), f->FindMI->Enabled(),
                    f->RunScriptB->Enabled(), f->StepScriptB->Enabled(), f->StopScriptB->Enabled(),
                    f->EvaluateB->Enabled(), f->CloseQuery(), f->Debug->ScriptPaused,
                    f->CodeWindow()->Model()->ActiveLine};
            f->StopScriptB->Click();
        });
    };
    // Run to the caret's line, as F4 does.
    f->Show();
    f->CodeWindow()->SetFocus();
    GuiTest::KeyDown(VK_F4);
    EXPECT_TRUE(seen.Paused);
    EXPECT_EQ(seen.Line, 4);
    EXPECT_FALSE(seen.Undo);
    EXPECT_FALSE(seen.Open);
    EXPECT_FALSE(seen.Tab);
    EXPECT_FALSE(seen.Find);
    EXPECT_TRUE(seen.Run);
    EXPECT_TRUE(seen.Step);
    EXPECT_TRUE(seen.Stop);
    EXPECT_TRUE(seen.Evaluate);
    EXPECT_FALSE(seen.Closes);
    // Stopped: no preview of a build cut short, and everything is back.
    EXPECT_EQ(runner.Previews, 0);
    EXPECT_FALSE(f->Debug->ScriptRunning);
    EXPECT_EQ(f->CodeWindow()->Model()->ActiveLine, -1);
    EXPECT_TRUE(f->OpenCmd->Enabled());
    EXPECT_TRUE(f->TabChanging());
    EXPECT_TRUE(f->FindMI->Enabled());
    EXPECT_FALSE(f->StopScriptB->Enabled());
    f->Hide();
}

}  // namespace
