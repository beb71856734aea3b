// The editor dialogs opened from the designer window's commands.
#include "DesignerFormFixture.h"

#include "StdCtrls.h"
#include "frxDesgnEditors.h"
#include "frxDesgnForm.h"
#include "frxDesgnWorkspace.h"
#include "frxEditOptions.h"
#include "frxEditorDialogs.h"

namespace {

using Fixture = TDesignerFormFixture;

TfrxOptionsEditor* OptionsUp()
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* d = dynamic_cast<TfrxOptionsEditor*>(Screen->Forms(i)))
            if (d->FormState().Contains(fsModal)) return d;
    return nullptr;
}

TEST_F(Fixture, OptionsCommandAppliesTheDialogsOptionsOrTheDefaults)
{
    TfrxDesignerForm* f = Open();
    // Other tests stand doubles in for the editors' dialogs: these are the real ones.
    frxEditorDialogs::Initialize();
    auto& dlg = frxDesgnForm::Dialogs();
    ASSERT_TRUE(dlg.Options && dlg.ReportData && dlg.Variables && dlg.Expression && dlg.PageSettings);
    ASSERT_TRUE(frxEditorForms::MemoEditor && frxEditorForms::DataBandEditor && frxEditorForms::FormatEditor);

    GuiTest::Later([] {
        TfrxOptionsEditor* d = OptionsUp();
        ASSERT_NE(d, nullptr);
        d->GapE->SetText("9");
        d->InchesRB->SetChecked(true);
        d->OKB->Click();
    });
    ASSERT_TRUE(dlg.Options(f));
    EXPECT_EQ(f->Workspace->BandsGap, 9);
    EXPECT_EQ(int(f->Units), 1);

    // Restoring the defaults leaves the defaults, not what the dialog showed.
    GuiTest::Later([] {
        TfrxOptionsEditor* d = OptionsUp();
        ASSERT_NE(d, nullptr);
        d->GapE->SetText("15");
        d->RestoreDefaultsB->Click();
    });
    ASSERT_TRUE(dlg.Options(f));
    const TfrxDesignerOptions now = frxEditorDialogs::OptionsOf(f);
    EXPECT_NE(now.BandsGap, 15);
    EXPECT_EQ(now.Units, 0);
}

}  // namespace
