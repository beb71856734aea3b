// The designer window: opening a layout, pages and tabs, the close
// question, saving through the application's hook, undo and redo, the
// clipboard, restrictions, units and zoom, and the modal loop.
#include "DesignerFormFixture.h"

#include "ActnList.h"
#include "ComCtrls.h"
#include "Menus.h"
#include "frxDesgn.h"
#include "IniFiles.h"
#include "frxDataTree.h"
#include "frxDock.h"
#include "TextUtils.h"
#include "frxDesgnWorkspace1.h"

#include <cmath>

namespace {

using Fixture = TDesignerFormFixture;

std::vector<std::string> TabTexts(TfrxDesignerForm* f)
{
    std::vector<std::string> out;
    for (int i = 0; i < f->Tab->Tabs()->Count(); ++i) out.push_back(f->Tab->Tabs()->Strings(i));
    return out;
}

TEST_F(Fixture, OpensOnTheFirstPageWithTabsCaptionAndNothingToUndo)
{
    TfrxDesignerForm* f = Open();
    EXPECT_EQ(TabTexts(f), (std::vector<std::string>{"代码", "Page1"}));
    EXPECT_EQ(f->Tab->TabIndex(), 1);
    EXPECT_EQ(f->Page(), Report->PageAt(0));
    EXPECT_EQ(f->Caption(), "报表设计器 - Untitled.fr3");
    EXPECT_EQ(f->FileMenu->Caption(), "文件(&F)");
    // Every object of the page, then the report, then the page; the page selected.
    ASSERT_EQ(f->Objects()->Count(), 7);
    EXPECT_EQ(f->Objects()->Items(5), Report.get());
    EXPECT_EQ(f->Objects()->Items(6), Report->PageAt(0));
    ASSERT_EQ(f->SelectedObjects()->Count(), 1);
    EXPECT_EQ(f->SelectedObjects()->Items(0), Report->PageAt(0));
    EXPECT_FALSE(f->Modified());
    EXPECT_FALSE(f->UndoCmd->Enabled());
    EXPECT_FALSE(f->SaveCmd->Enabled());
    EXPECT_EQ(f->StatusBar->Panels()->Items(0)->Text(), "厘米");
    EXPECT_EQ(f->Workspace->Page(), Report->PageAt(0));

    // The code tab shows the script, and the page comes back.
    f->Tab->SetTabIndex(0);
    f->TabChange();
    EXPECT_EQ(f->Page(), nullptr);
    EXPECT_TRUE(f->CodePanel->Visible());
    EXPECT_FALSE(f->ScrollBoxPanel->Visible());
    f->Tab->SetTabIndex(1);
    f->TabChange();
    EXPECT_EQ(f->Page(), Report->PageAt(0));
}

TEST_F(Fixture, TabTextsNameSubreportsAndUnnamedPages)
{
    auto* sub = new TfrxSubreport(Find("ReportTitle1"));
    sub->SetName("Subreport1");
    auto* second = new TfrxReportPage(Report.get());
    second->SetName("Page2");
    sub->SetSubPage(second);
    auto* third = new TfrxReportPage(Report.get());
    (void)third;
    TfrxDesignerForm* f = Open();
    EXPECT_EQ(TabTexts(f), (std::vector<std::string>{"代码", "Page1", "Subreport1", "页3"}));
}

TEST_F(Fixture, ReportWithoutPagesGetsOnePage)
{
    Report->Clear();
    TfrxDesignerForm* f = Open();
    f->ReloadReport();
    ASSERT_EQ(Report->PagesCount(), 1);
    EXPECT_EQ(Report->PageAt(0)->Name(), "Page1");
}

// ---- the close question -----------------------------------------------------------------------

struct SaveHook {
    TfrxDesigner Settings;
    int Calls = 0;
    bool Answer = true;
    std::string Bytes;
    bool LastSaveAs = false;
    SaveHook()
    {
        Settings.Restrictions = {drDontCreateReport};
        Settings.OnSaveReport = [this](TfrxReport* r, bool saveAs) {
            ++Calls;
            LastSaveAs = saveAs;
            TMemoryStream m;
            r->SaveToStream(&m, true, false);
            Bytes.assign(static_cast<const char*>(m.Memory()), size_t(m.Size()));
            return Answer;
        };
    }
};

TEST_F(Fixture, CloseAsksWithTheExactQuestionAndClosesOnlyWhenSaved)
{
    SaveHook hook;
    TfrxDesignerForm* f = Open();
    f->Show();
    auto* memo = static_cast<TfrxMemoView*>(Find("Memo1"));
    memo->SetText("改过");
    f->ObjectModified(nullptr);
    ASSERT_TRUE(f->Modified());

    // Cancel: the window stays, nothing saved.
    Host->QueueMessageBox(IDCANCEL);
    f->Close();
    EXPECT_FALSE(f->Closed);
    auto boxes = Host->CallsOf(THostCallKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "保存修改至 Untitled.fr3?");
    EXPECT_EQ(boxes[0].Caption, "确认");
    EXPECT_EQ(boxes[0].Flags, int64_t(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(hook.Calls, 0);

    // Yes with a save that was refused: the window stays and keeps the change.
    hook.Answer = false;
    Host->QueueMessageBox(IDYES);
    f->Close();
    EXPECT_FALSE(f->Closed);
    EXPECT_EQ(hook.Calls, 1);
    EXPECT_TRUE(f->Modified());

    // Yes with a save that worked: saved once more (plain save) and closed.
    hook.Answer = true;
    Host->QueueMessageBox(IDYES);
    f->Close();
    EXPECT_TRUE(f->Closed);
    EXPECT_EQ(hook.Calls, 2);
    EXPECT_FALSE(hook.LastSaveAs);
    EXPECT_NE(hook.Bytes.find(Utf8ToGbk("改过")), std::string::npos);   // layouts are GBK
}

TEST_F(Fixture, CloseAsksNothingWhenNotWantedOrNotAllowed)
{
    struct Case {
        const char* what;
        bool closeQuery;
        TfrxDesignerRestrictions restrictions;
        bool modify;
    };
    const Case cases[] = {
        {"no question wanted", false, {}, true},
        {"saving withheld", true, {drDontSaveReport}, true},
        {"nothing changed", true, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TfrxDesigner settings;
        settings.CloseQuery = c.closeQuery;
        settings.Restrictions = c.restrictions;
        TfrxDesignerForm* f = Open();
        f->Show();
        if (c.modify) f->ObjectModified(nullptr);
        const size_t before = Host->CallsOf(THostCallKind::MessageBox).size();
        f->Close();
        EXPECT_TRUE(f->Closed);
        EXPECT_EQ(Host->CallsOf(THostCallKind::MessageBox).size(), before);
        Window.reset();
    }
}

// ---- saving through the hook --------------------------------------------------------------------

// The layout bytes without the time of the last change.
std::string WithoutLastChange(std::string s)
{
    const std::string key = " ReportOptions.LastChange=\"";
    if (auto at = s.find(key); at != std::string::npos) s.erase(at, s.find('"', at + key.size()) + 1 - at);
    return s;
}

TEST_F(Fixture, SaveThroughTheHookHandsOverWhatTheReportSavesItself)
{
    // A layout as the database keeps it, loaded as the report centre loads it.
    Report->ScriptText()->SetText("begin\r\n  ShowMessage('a');   \r\nend.");
    TMemoryStream stored;
    Report->SaveToStream(&stored, true, false);
    Report = std::make_unique<TfrxReport>(nullptr);
    stored.SetPosition(0);
    Report->LoadFromStream(&stored);
    Report->IniFile = Dir + "/designer.ini";
    // What the report writes itself, its script lines without trailing blanks.
    Report->ScriptText()->SetText("begin\r\n  ShowMessage('a');\r\nend.");
    const std::string direct = WithoutLastChange(Saved(*Report));
    Report->ScriptText()->SetText("begin\r\n  ShowMessage('a');   \r\nend.");

    SaveHook hook;
    TfrxDesignerForm* f = Open();
    f->ObjectModified(nullptr);   // Save is offered for a change
    f->SaveCmd->Execute();
    ASSERT_EQ(hook.Calls, 1);
    EXPECT_FALSE(hook.LastSaveAs);
    EXPECT_TRUE(Host->CallsOf(THostCallKind::SaveFile).empty());
    EXPECT_FALSE(f->Modified());
    EXPECT_EQ(f->Caption(), "报表设计器 - Untitled.fr3");
    EXPECT_EQ(WithoutLastChange(hook.Bytes), direct);
    EXPECT_NE(hook.Bytes.find("ReportOptions.LastChange="), std::string::npos);

    // A hook that stores nothing leaves the layout changed.
    hook.Answer = false;
    f->ObjectModified(nullptr);
    f->SaveCmd->Execute();
    EXPECT_TRUE(f->Modified());
    EXPECT_TRUE(f->SaveCmd->Enabled());
}

TEST_F(Fixture, SaveCalledByTheWindowItselfWritesTheFileNotTheHook)
{
    SaveHook hook;
    TfrxDesignerForm* f = Open();
    Report->FileName = Dir + "/a.fr3";
    f->ObjectModified(nullptr);
    f->SaveCmdExecute(f);
    EXPECT_EQ(hook.Calls, 0);
    EXPECT_TRUE(FileExists(Dir + "/a.fr3"));
    EXPECT_FALSE(f->Modified());
}

// ---- undo and redo -------------------------------------------------------------------------------

TEST_F(Fixture, UndoAndRedoRestoreTheLayoutByteForByte)
{
    TfrxDesignerForm* f = Open();
    const std::string opened = Saved(*Report);
    EXPECT_FALSE(f->UndoCmd->Enabled());

    Select({Find("Memo1")});
    f->BoldB->SetDown(true);
    f->ToolButtonClick(f->BoldB);
    const std::string changed = Saved(*Report);
    ASSERT_NE(changed, opened);
    EXPECT_TRUE(f->UndoCmd->Enabled());
    EXPECT_FALSE(f->RedoCmd->Enabled());

    f->UndoCmd->Execute();
    EXPECT_EQ(Saved(*Report), opened);
    EXPECT_TRUE(f->RedoCmd->Enabled());
    EXPECT_EQ(f->Page(), Report->PageAt(0));
    f->RedoCmd->Execute();
    EXPECT_EQ(Saved(*Report), changed);

    // Undo, then a new change: nothing to redo.
    f->UndoCmd->Execute();
    Select({Find("Memo2")});
    f->ItalicB->SetDown(true);
    f->ToolButtonClick(f->ItalicB);
    EXPECT_FALSE(f->RedoCmd->Enabled());
}

TEST_F(Fixture, UndoOfAProtectedLayoutAsksNoPassword)
{
    Report->ReportOptions()->Password = "秘密";
    TfrxDesignerForm* f = Open();
    Select({Find("Memo1")});
    f->BoldB->SetDown(true);
    f->ToolButtonClick(f->BoldB);
    f->UndoCmd->Execute();
    EXPECT_TRUE(Host->CallsOf(THostCallKind::InputQuery).empty());
    EXPECT_EQ(Report->FindObject("Memo1")->Font()->Style(), 0);
}

// ---- restrictions --------------------------------------------------------------------------------

TEST_F(Fixture, RestrictionsDisableTheirCommands)
{
    struct Case {
        unsigned value;
        bool previewMode;
        bool newReport, newPage, open, saveAs, preview, variables, reportData;
    };
    const Case cases[] = {
        {0, false, true, true, true, true, true, true, true},
        {16, false, false, true, true, true, true, true, true},
        {0, true, false, false, false, true, false, false, true},   // preview-page mode: 950
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << (c.previewMode ? " preview page" : ""));
        TfrxDesigner settings;
        settings.Restrictions = TfrxDesignerRestrictions::FromInt(c.value);
        TfrxDesignerForm* f = Open(c.previewMode);
        if (c.previewMode) {
            unsigned inForce = 0;
            for (int r = 0; r <= drDontEditReportData; ++r)
                if (!f->IsAllowed(TfrxDesignerRestriction(r))) inForce |= 1u << r;
            EXPECT_EQ(inForce, 950u);
        }
        EXPECT_EQ(f->NewReportCmd->Enabled(), c.newReport);
        EXPECT_EQ(f->NewItemCmd->Enabled(), c.newReport);
        EXPECT_EQ(f->NewPageCmd->Enabled(), c.newPage);
        EXPECT_EQ(f->OpenCmd->Enabled(), c.open);
        EXPECT_EQ(f->SaveAsCmd->Enabled(), c.saveAs);
        EXPECT_EQ(f->PreviewCmd->Enabled(), c.preview);
        EXPECT_EQ(f->VariablesCmd->Enabled(), c.variables);
        EXPECT_EQ(f->ReportDataMI->Enabled(), c.reportData);

        // A withheld command run anyway does nothing.
        const std::string before = Saved(*Report);
        f->NewReportCmdExecute(f->NewReportCmd);
        f->NewPageCmdExecute(f->NewPageCmd);
        if (!c.newReport) EXPECT_EQ(Report->PageAt(0)->Name(), "Page1");
        if (!c.newPage) EXPECT_EQ(Saved(*Report), before);
        if (c.previewMode) {
            // Tabs stay and undo does nothing.
            f->Tab->SetTabIndex(0);
            EXPECT_FALSE(f->TabChanging());
            f->ObjectModified(nullptr);
            const std::string now = Saved(*Report);
            f->UndoCmdExecute(f->UndoCmd);
            EXPECT_EQ(Saved(*Report), now);
        }
        Window.reset();
        // The temporary settings of the preview page go with the window.
        EXPECT_EQ(frxDesgn::CurrentDesigner(), &settings);
    }
}

// ---- units, zoom ----------------------------------------------------------------------------------

TEST_F(Fixture, UnitsConvertAndSizeNewObjects)
{
    TfrxDesignerForm* f = Open();
    struct Case {
        int units;
        double toUnits, fromUnits, insertW, insertH, band;
        const char* name;
    };
    const Case cases[] = {
        {0, 2.1, 210, 94.48825, 18.89765, 22.67718, "厘米"},
        {1, 21 / 25.4, 21 * 25.4, 96, 19.2, 28.8, "英寸"},
        {2, 21 * 96 / 25.4, 21 / 96.0 * 25.4, 80, 16, 20, "像素"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f->SetUnits(c.units);
        EXPECT_NEAR(f->ToUnits(21), c.toUnits, 1e-9);
        EXPECT_NEAR(f->FromUnits(21), c.fromUnits, 1e-9);
        EXPECT_DOUBLE_EQ(f->DefaultInsertSize().X, c.insertW);
        EXPECT_DOUBLE_EQ(f->DefaultInsertSize().Y, c.insertH);
        EXPECT_DOUBLE_EQ(f->BandSize(), c.band);
        EXPECT_EQ(f->StatusBar->Panels()->Items(0)->Text(), c.name);
    }
    // Characters: rounded cells.
    f->SetUnits(3);
    EXPECT_EQ(f->ToUnits(25.4), std::nearbyint(25.4 * 3.77953 / 9.6));
    EXPECT_EQ(f->ToUnits(25.4, false), std::nearbyint(25.4 * 3.77953 / 17));
    EXPECT_NEAR(f->FromUnits(2.4), 2 * 9.6 / 3.77953, 1e-9);

    // The status bar's double click cycles cm, inch, pixels and keeps the choice.
    f->SetUnits(0);
    f->CycleUnits();
    EXPECT_EQ(f->Units, 1);
    f->CycleUnits();
    f->CycleUnits();
    EXPECT_EQ(f->Units, 0);
    EXPECT_EQ(f->SavedUnits, 0);
}

TEST_F(Fixture, ZoomIsClampedAndRefusesNothingOrLess)
{
    TfrxDesignerForm* f = Open();
    struct Case {
        const char* typed;
        double scale;
    };
    const Case cases[] = {
        {"150%", 1.5}, {"0", 1}, {"2500", 20}, {"-50%", 20}, {"1,5 %", 0.015}, {"", 0.015}, {"abc", 0.015},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        f->ScaleChosen(c.typed, -1);
        EXPECT_DOUBLE_EQ(f->Scale, c.scale);
        EXPECT_DOUBLE_EQ(f->Workspace->Scale(), c.scale);
    }
    f->SetScale(-1);
    EXPECT_DOUBLE_EQ(f->Scale, 0.015);
    f->SetScale(1);
    EXPECT_EQ(f->ScaleCB->Text(), "100%");
    // "Whole page" takes the smaller of the two ratios.
    const double w = f->ScrollBox->Width() - 20, h = f->ScrollBox->Height() - 20;
    const double pw = std::nearbyint(210 * 96 / 25.4), ph = std::nearbyint(297 * 96 / 25.4);
    f->ScaleChosen("Whole page", 7);
    EXPECT_DOUBLE_EQ(f->Scale, std::nearbyint(std::min(w / pw, h / ph) * 100) / 100);
}

// ---- the modal loop -----------------------------------------------------------------------------

TEST_F(Fixture, OpenDesignerRunsItsOwnLoopWithTheOtherWindowsDisabled)
{
    TForm other(nullptr);
    other.Show();
    bool otherEnabledDuring = true;
    bool sawWindow = false;
    GuiTest::Later([&]() {
        TfrxDesignerForm* f = frxDesgnForm::OpenWindow();
        sawWindow = f != nullptr;
        otherEnabledDuring = other.Enabled();
        if (f) f->Close();
    });
    Report->OpenDesigner();
    EXPECT_TRUE(sawWindow);
    EXPECT_FALSE(otherEnabledDuring);
    EXPECT_TRUE(other.Enabled());
    EXPECT_EQ(frxDesgnForm::OpenWindow(), nullptr);
}

}  // namespace

namespace {

// ---- settings -------------------------------------------------------------------------------------

TEST_F(Fixture, FirstStartUsesTheDefaultLayoutAndClosingKeepsTheSettings)
{
    TfrxDesignerForm* f = Open();
    f->Show();
    EXPECT_EQ(f->WindowState(), wsMaximized);
    EXPECT_DOUBLE_EQ(f->Scale, 0.75);
    EXPECT_EQ(f->ScaleCB->Text(), "75%");
    EXPECT_EQ(f->Units, 0);
    EXPECT_EQ(f->StatusBar->Panels()->Items(0)->Text(), "厘米");
    EXPECT_DOUBLE_EQ(f->Grid1, 0.1);
    EXPECT_NEAR(f->Workspace->GridX, 0.1 * 37.7953, 1e-9);
    EXPECT_TRUE(f->EditAfterInsert);
    EXPECT_EQ(f->ReportTreeForm->HostDockSite(), f->LeftDockSite2);
    EXPECT_EQ(f->DataTreeForm->HostDockSite(), f->RightDockSite);
    EXPECT_TRUE(f->StandardTB->IsVisible());
    EXPECT_TRUE(f->TextTB->IsVisible());
    EXPECT_FALSE(f->AlignTB->IsVisible());
    EXPECT_FALSE(f->ExtraToolsTB->IsVisible());

    Window.reset();
    TIniFile store(Report->IniFile);
    EXPECT_DOUBLE_EQ(store.ReadFloat("Form.TfrxDesignerForm", "Scale", 0), 0.75);
    EXPECT_EQ(store.ReadInteger("Form.TfrxDesignerForm", "Units", -1), 0);
    EXPECT_DOUBLE_EQ(store.ReadFloat("Form.TfrxDesignerForm", "Grid3", 0), 4);
    EXPECT_TRUE(store.SectionExists("ToolBar.StandardTB"));
    EXPECT_TRUE(store.SectionExists("Dock.LeftDockSite2"));
    EXPECT_TRUE(store.SectionExists("Form.TfrxDataTreeForm"));

    // A later start reads what was kept: a zero grid step reads as its default.
    store.WriteFloat("Form.TfrxDesignerForm", "Scale", 1.5);
    store.WriteFloat("Form.TfrxDesignerForm", "Grid3", 0);
    store.WriteInteger("Form.TfrxDesignerForm", "Units", 1);
    store.UpdateFile();
    f = Open();
    EXPECT_DOUBLE_EQ(f->Scale, 1.5);
    EXPECT_DOUBLE_EQ(f->Grid3, 4);
    EXPECT_EQ(f->Units, 1);
}

TEST_F(Fixture, PictureOfTheWindowWithALayoutOpen)
{
    TfrxUserDataSet ds(nullptr);
    ds.SetUserName("d0");
    ds.Fields()->Add("Name");
    ds.Fields()->Add("Phone");
    Report->DataSets()->Add(&ds);
    TfrxDesignerForm* f = Open();
    f->SetWindowState(wsNormal);
    f->SetBounds(0, 0, 1280, 860);
    f->Show();
    Select({Find("Memo1")});
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(f));
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->Width(), f->ClientWidth());
    // The page shows white inside the grey scroll box.
    const TPoint inPage = f->Workspace->ClientToScreen(Point(60, 60));
    EXPECT_EQ(GuiTest::PixelAt(f, f->ScreenToClient(inPage)), clWhite);
    GuiTest::SavePng(f, "designer-window.png");
    Window.reset();
}

}  // namespace
