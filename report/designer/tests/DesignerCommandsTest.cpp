// The designer window's commands: formatting by tag, the alignment palette,
// bands and insertion, pages, the clipboard, and its files (open through
// the hook or from files, recent files, the save dialog).
#include "DesignerFormFixture.h"

#include "ActnList.h"
#include "Clipbrd.h"
#include "ComCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "frxDesgn.h"
#include "frxDesgnWorkspace1.h"

#include <cmath>
#include <fstream>

namespace {

using Commands = TDesignerFormFixture;

TfrxMemoView* Memo(TfrxComponent* parent, const char* name, double l, double t, double w = 50, double h = 20)
{
    auto* m = new TfrxMemoView(parent);
    m->SetName(name);
    m->SetBounds(l, t, w, h);
    return m;
}

// ---- formatting -----------------------------------------------------------------------------------

TEST_F(Commands, BoldSkipsObjectsThatMayNotChangeAndClearsNamedStyles)
{
    auto* band = Find("ReportTitle1");
    TfrxMemoView* a = Memo(band, "A", 300, 0);
    TfrxMemoView* b = Memo(band, "B", 400, 0);
    b->SetRestrictions(TfrxRestrictions{rfDontModify});
    a->SetStyle("标题");
    TfrxDesignerForm* f = Open();
    Select({Find("Memo1"), a, b});
    f->BoldB->SetDown(true);
    f->ToolButtonClick(f->BoldB);
    EXPECT_TRUE(Find("Memo1")->Font()->Style() & TfrxFont::Bold);
    EXPECT_TRUE(a->Font()->Style() & TfrxFont::Bold);
    EXPECT_FALSE(b->Font()->Style() & TfrxFont::Bold);
    EXPECT_EQ(a->Style(), "");   // explicit formatting replaces the style
    EXPECT_TRUE(f->Modified());

    // Only objects that may not change: nothing recorded.
    Select({b});
    const int undo = f->UndoBuffer->UndoCount();
    f->ToolButtonClick(f->ItalicB);
    EXPECT_EQ(f->UndoBuffer->UndoCount(), undo);
}

TEST_F(Commands, TagsSetTheirPropertiesOnTheObjectsThatHaveThem)
{
    TfrxDesignerForm* f = Open();
    auto* memo = static_cast<TfrxMemoView*>(Find("Memo1"));
    auto* band = Find("ReportTitle1");
    struct Case {
        const char* what;
        std::function<void()> run;
        std::function<bool()> check;
    };
    const Case cases[] = {
        {"frame width with a comma",
         [&] { f->FrameWidthCB->SetText("1,5"); f->ToolButtonClick(f->FrameWidthCB); },
         [&] { return memo->Frame()->Width == 1.5; }},
        {"frame width with a point",
         [&] { f->FrameWidthCB->SetText("2.5"); f->ToolButtonClick(f->FrameWidthCB); },
         [&] { return memo->Frame()->Width == 2.5; }},
        {"all frame lines",
         [&] { f->ToolButtonClick(f->FrameAllB); },
         [&] { return memo->Frame()->Typ == TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom} && f->FrameTopB->Down(); }},
        {"no frame lines",
         [&] { f->ToolButtonClick(f->FrameNoB); },
         [&] { return memo->Frame()->Typ.ToInt() == 0 && !f->FrameTopB->Down(); }},
        {"centred text",
         [&] { f->TextAlignCenterB->SetDown(true); f->ToolButtonClick(f->TextAlignCenterB); },
         [&] { return memo->HAlign == frxClass::haCenter; }},
        {"font size",
         [&] { f->FontSizeCB->SetText("14"); f->ToolButtonClick(f->FontSizeCB); },
         [&] { return memo->Font()->Size() == 14; }},
        {"fill colour",
         [&] { f->ColorSelected(26, clRed); },
         [&] { return memo->Color == clRed; }},
        {"rotation from the popup",
         [&] { f->ToolButtonClick(f->RotationPopup->Items()->Items(2)); },
         [&] { return memo->Rotation() == 90; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Select({memo, band});   // the band has no text properties: skipped, no harm
        c.run();
        Select({memo});
        EXPECT_TRUE(c.check());
    }
    // A size that is no whole number changes nothing.
    Select({memo});
    f->FontSizeCB->SetText("abc");
    EXPECT_THROW(f->ToolButtonClick(f->FontSizeCB), Exception);
    EXPECT_EQ(memo->Font()->Size(), 14);
}

TEST_F(Commands, SnapToGridKeepsSizesAboveNothing)
{
    TfrxDesignerForm* f = Open();
    f->SetUnits(2);   // 4 pixel grid
    TfrxMemoView* m = Memo(Find("MasterData1"), "Snap", 10.9, 3.1, 1.2, 5.9);
    f->ReloadObjects();
    Select({m});
    f->ToolButtonClick(f->SetToGridB);
    EXPECT_DOUBLE_EQ(m->Left(), 12);
    EXPECT_DOUBLE_EQ(m->Top(), 4);
    EXPECT_DOUBLE_EQ(m->Width(), 4);   // rounded to 0: one grid step
    EXPECT_DOUBLE_EQ(m->Height(), 4);
}

// ---- the alignment palette ------------------------------------------------------------------------

TEST_F(Commands, SpacingOrdersByPositionAsNumbers)
{
    struct Case {
        std::vector<double> lefts;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {{10, 50, 20}, {10, 50, 30}},
        // Negative and five-digit positions are put in their numeric order.
        {{-10, 30, -5}, {-10, 30, 10}},
        {{9999, 10000, 10003}, {9999, 10001, 10003}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lefts[0]);
        Report = std::make_unique<TfrxReport>(nullptr);
        Report->IniFile = Dir + "/designer.ini";
        BuildLayout(*Report);
        std::vector<TfrxComponent*> objs;
        int n = 0;
        for (double l : c.lefts) objs.push_back(Memo(Find("MasterData1"), Format("S%d", {++n}).c_str(), l, 0));
        TfrxDesignerForm* f = Open();
        Select({objs[0], objs[1], objs[2]});
        f->AlignClick(f->SpaceHorzB);
        for (size_t i = 0; i < objs.size(); ++i) EXPECT_DOUBLE_EQ(objs[i]->Left(), c.expected[i]) << i;
        Window.reset();
    }
}

TEST_F(Commands, AlignmentFollowsTheFirstSelectedAndSparesFixedObjects)
{
    TfrxDesignerForm* f = Open();
    auto* band = Find("MasterData1");
    TfrxMemoView* r = Memo(band, "R", 100, 2, 80, 10);
    TfrxMemoView* a = Memo(band, "A", 10, 5, 40, 6);
    TfrxMemoView* fixed = Memo(band, "F", 20, 7, 30, 4);
    fixed->SetRestrictions(TfrxRestrictions{rfDontMove});
    struct Case {
        TToolButton* button;
        double left, top, width;
    };
    const Case cases[] = {
        {f->AlignLeftsB, 100, 5, 40},
        {f->AlignRightsB, 140, 5, 40},
        {f->AlignHorzCentersB, 120, 5, 40},
        {f->AlignTopsB, 120, 2, 40},
        {f->AlignBottomsB, 120, 6, 40},
        {f->SameWidthB, 120, 6, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button->Name());
        Select({r, a, fixed});
        f->AlignClick(c.button);
        EXPECT_DOUBLE_EQ(a->Left(), c.left);
        EXPECT_DOUBLE_EQ(a->Top(), c.top);
        EXPECT_DOUBLE_EQ(a->Width(), c.width);
        EXPECT_DOUBLE_EQ(fixed->Left(), 20);
        EXPECT_DOUBLE_EQ(fixed->Top(), 7);
    }
    // Centred in its band.
    Select({a});
    f->AlignClick(f->CenterHorzB);
    EXPECT_DOUBLE_EQ(a->Left(), (band->Width() - 80) * 0.5);
}

// ---- bands, insertion, pages --------------------------------------------------------------------

TEST_F(Commands, BandsGoInWithTheUnitsHeightAndSingleKindsOnce)
{
    TfrxDesignerForm* f = Open();
    auto item = [&](const char* name) { return static_cast<TMenuItem*>(f->FindComponent(name)); };
    f->BandsPopupOpen();
    EXPECT_FALSE(item("PageFooterMI")->Enabled());   // the page has one
    EXPECT_FALSE(item("ReportTitleMI")->Enabled());
    EXPECT_TRUE(item("PageHeaderMI")->Enabled());
    EXPECT_TRUE(item("MasterDataMI")->Enabled());

    f->EditAfterInsert = false;
    item("PageHeaderMI")->Click();
    auto* header = DynamicCast<TfrxPageHeader>(static_cast<TfrxComponent*>(f->SelectedObjects()->Items(0)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Name(), "PageHeader1");
    EXPECT_DOUBLE_EQ(header->Height(), 22.67718);
    EXPECT_TRUE(f->Modified());
    f->BandsPopupOpen();
    EXPECT_FALSE(item("PageHeaderMI")->Enabled());

    f->SetUnits(2);
    item("HeaderMI1")->Click();   // a vertical header
    auto* vertical = DynamicCast<TfrxHeader>(static_cast<TfrxComponent*>(f->SelectedObjects()->Items(0)));
    ASSERT_NE(vertical, nullptr);
    EXPECT_TRUE(vertical->Vertical);
    EXPECT_DOUBLE_EQ(vertical->Width(), 20);

    // On the code page nothing goes in.
    f->SetPage(nullptr);
    const int count = int(Report->PageAt(0)->AllObjects().size());
    item("MasterDataMI")->Click();
    EXPECT_EQ(int(Report->PageAt(0)->AllObjects().size()), count);
}

TEST_F(Commands, NewBandTopStacksBelowTheLowestBandOnTheGrid)
{
    TfrxDesignerForm* f = Open();
    f->SetUnits(2);   // grid 4 pixels
    double lowest = 0;
    for (TfrxComponent* c : Report->PageAt(0)->Objects()) lowest = std::max(lowest, c->Top() + c->Height());
    const double expected = std::nearbyint((lowest + f->Workspace->BandCaptionHeight() + 4) / 4) * 4;
    EXPECT_DOUBLE_EQ(f->NewBandTop(), expected);
}

TEST_F(Commands, DrawnObjectsGoInUnlessInsertionIsWithheld)
{
    for (bool withheld : {false, true}) {
        SCOPED_TRACE(withheld);
        TfrxDesigner settings;
        if (withheld) settings.Restrictions = {drDontInsertObject};
        TfrxDesignerForm* f = Open();
        f->EditAfterInsert = false;
        const size_t before = Report->PageAt(0)->AllObjects().size();
        f->Workspace->SetInsertion(TfrxMemoView::StaticClass(), 0, 80, 16);
        const_cast<TfrxInsertion&>(f->Workspace->Insertion()) = [&] {
            TfrxInsertion i = f->Workspace->Insertion();
            i.Left = 20;
            i.Top = 100;
            i.Width = 80;
            i.Height = 16;
            return i;
        }();
        f->ObjectInserted(f->Workspace);
        EXPECT_EQ(Report->PageAt(0)->AllObjects().size(), before + (withheld ? 0 : 1));
        EXPECT_TRUE(f->ObjectSelectB->Down());
        EXPECT_FALSE(f->Workspace->Insertion().ComponentClass);
        if (!withheld) {
            auto* m = DynamicCast<TfrxMemoView>(static_cast<TfrxComponent*>(f->SelectedObjects()->Items(0)));
            ASSERT_NE(m, nullptr);
            EXPECT_EQ(m->Name(), "Memo3");
            EXPECT_DOUBLE_EQ(m->Top(), 100);
        }
        Window.reset();
    }
}

TEST_F(Commands, PagesAreAddedAndDeleted)
{
    TfrxDesignerForm* f = Open();
    EXPECT_FALSE(f->DeletePageCmd->Enabled());   // the only page
    f->NewPageCmd->Execute();
    ASSERT_EQ(Report->PagesCount(), 2);
    EXPECT_EQ(f->Page(), Report->PageAt(1));
    EXPECT_EQ(f->Tab->Tabs()->Strings(2), "Page2");
    EXPECT_TRUE(f->DeletePageCmd->Enabled());
    f->NewDialogCmd->Execute();
    auto* dialog = DynamicCast<TfrxDialogPage>(Report->PageAt(2));
    ASSERT_NE(dialog, nullptr);
    EXPECT_DOUBLE_EQ(dialog->Width(), 300);
    EXPECT_EQ(f->Page(), dialog);
    EXPECT_EQ(f->Units, duPixels);
    f->DeletePageCmd->Execute();
    EXPECT_EQ(Report->PagesCount(), 2);
    EXPECT_EQ(f->Page(), Report->PageAt(0));
    EXPECT_EQ(f->Units, duCM);   // back to the chosen unit

    // Moving a tab moves its page; the code tab takes none.
    f->MoveTab(2, 1);
    EXPECT_EQ(Report->PageAt(0)->Name(), "Page2");
    f->MoveTab(1, 0);
    EXPECT_EQ(Report->PageAt(0)->Name(), "Page2");
}

TEST_F(Commands, NewReportIsTheStandardLayoutAndAsksToSaveFirst)
{
    TfrxDesignerForm* f = Open();
    f->ObjectModified(nullptr);
    Host->QueueMessageBox(IDCANCEL);
    f->NewReportCmd->Execute();
    EXPECT_NE(Find("Memo1"), nullptr);   // cancelled: the layout stays

    Host->QueueMessageBox(IDNO);
    f->NewReportCmd->Execute();
    auto* page = Report->Pages(0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Name(), "Page1");
    const double h = 22.67718, c = f->Workspace->BandCaptionHeight();
    ASSERT_NE(Find("ReportTitle1"), nullptr);
    EXPECT_DOUBLE_EQ(Find("ReportTitle1")->Height(), h);
    EXPECT_DOUBLE_EQ(Find("MasterData1")->Top(), 2 * c + 2 * h);
    EXPECT_DOUBLE_EQ(Find("PageFooter1")->Top(), 3 * c + 4 * h);
    auto* memo = DynamicCast<TfrxMemoView>(Find("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(TrimRight(memo->Text()), "[Page#]");
    EXPECT_EQ(memo->HAlign, frxClass::haRight);
    EXPECT_DOUBLE_EQ(memo->Left(), (210 - 10 - 10 - 20) * 3.77953);
    EXPECT_FALSE(f->Modified());
}

TEST_F(Commands, BringToFrontAndSendToBackReorderSiblings)
{
    TfrxDesignerForm* f = Open();
    auto* band = Find("MasterData1");
    TfrxMemoView* a = Memo(band, "A", 200, 0);
    f->ReloadObjects();
    Select({Find("Memo2")});
    f->BringToFrontCmd->Execute();
    EXPECT_EQ(band->Objects().back(), Find("Memo2"));
    Select({Find("Memo2")});
    f->SendToBackCmd->Execute();
    EXPECT_EQ(band->Objects().front(), Find("Memo2"));
    EXPECT_EQ(band->Objects().back(), a);
}

// ---- the clipboard --------------------------------------------------------------------------------

TEST_F(Commands, CopyAndPasteTwoMemos)
{
    TfrxDesignerForm* f = Open();
    auto* a = Memo(Find("MasterData1"), "A", 200, 2, 50, 10);
    f->ReloadObjects();
    Select({Find("Memo2"), a});
    f->CopyCmd->Execute();
    const std::string text = Clipboard()->AsText();
    EXPECT_EQ(text.rfind(std::string(frxDesgnCtrls::ClipboardMarker) + "\n\r", 0), 0u);
    size_t memos = 0;
    for (size_t at = text.find("<TfrxMemoView"); at != std::string::npos; at = text.find("<TfrxMemoView", at + 1)) ++memos;
    EXPECT_EQ(memos, 2u);
    EXPECT_TRUE(f->PasteCmd->Enabled());

    const size_t before = Report->PageAt(0)->AllObjects().size();
    f->PasteCmd->Execute();
    EXPECT_EQ(Report->PageAt(0)->AllObjects().size(), before + 2);
    EXPECT_NE(Find("Memo3"), nullptr);
    EXPECT_NE(Find("Memo4"), nullptr);
    EXPECT_TRUE(f->Modified());

    // A second page footer is not pasted.
    Select({Find("PageFooter1")});
    f->CopyCmd->Execute();
    const size_t now = Report->PageAt(0)->AllObjects().size();
    f->PasteCmd->Execute();
    EXPECT_EQ(Report->PageAt(0)->AllObjects().size(), now);

    // Cut takes the selection away.
    Select({a});
    f->CutCmd->Execute();
    EXPECT_EQ(Find("A"), nullptr);
}

// ---- files ----------------------------------------------------------------------------------------

struct Files : TDesignerFormFixture {
    std::string Write(const std::string& name, const std::string& title)
    {
        TfrxReport r(nullptr);
        auto* page = new TfrxReportPage(&r);
        page->SetName("Page1");
        auto* band = new TfrxReportTitle(page);
        band->SetName("ReportTitle1");
        auto* m = new TfrxMemoView(band);
        m->SetName("Title");
        m->SetText(title);
        const std::string path = Dir + "/" + name;
        r.SaveToFile(path);
        return path;
    }
};

TEST_F(Files, RecentFilesKeepTheEightNewestAndTheMenuShowsExactlyThem)
{
    TfrxDesignerForm* f = Open();
    std::vector<std::string> paths;
    for (int i = 1; i <= 9; ++i) {
        paths.push_back(Write(Format("r%d.fr3", {i}), Format("报表%d", {i})));
        f->OpenReport(paths.back(), true);
    }
    ASSERT_EQ(f->RecentFiles->Count(), 8);
    EXPECT_EQ(f->RecentFiles->Strings(0), paths[1]);
    EXPECT_EQ(f->RecentFiles->Strings(7), paths[8]);
    std::vector<std::string> menu;
    for (TMenuItem* mi : f->RecentFileItems()) menu.push_back(mi->Caption());
    ASSERT_EQ(menu.size(), 8u);
    EXPECT_EQ(menu.front(), paths[8]);
    EXPECT_EQ(menu.back(), paths[1]);
    EXPECT_EQ(f->FileMenu->IndexOf(f->SepMI4) - 1, f->FileMenu->IndexOf(f->RecentFileItems().back()));
    EXPECT_EQ(f->Caption(), "报表设计器 - r9.fr3");

    // Opening one again moves it to the top; names compare without case.
    f->OpenReport(paths[3], true);
    EXPECT_EQ(f->RecentFiles->Strings(7), paths[3]);
    EXPECT_EQ(f->RecentFiles->Count(), 8);
    f->UpdateRecentFiles(UpperCase(paths[5]));
    EXPECT_EQ(f->RecentFiles->Count(), 8);
    EXPECT_EQ(f->RecentFiles->Strings(7), UpperCase(paths[5]));
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(SameText(f->RecentFiles->Strings(i), paths[5])) << i;
    // A recent-file item opens its file.
    f->RecentFileItems().back()->Click();
    EXPECT_EQ(Report->FileName, paths[1]);
    EXPECT_EQ(f->RecentFiles->Strings(7), paths[1]);
}

TEST_F(Files, AFileThatCannotBeLoadedLeavesTheOpenLayoutAndSaysWhy)
{
    TfrxDesignerForm* f = Open();
    Report->SetTag(42);
    const std::string before = Saved(*Report);
    const std::string bad = Dir + "/bad.fr3";
    std::ofstream(bad) << "<TfrxReport><unclosed";
    for (const std::string& name : {bad, Dir + "/missing.fr3"}) {
        SCOPED_TRACE(name);
        f->OpenReport(name, true);
        EXPECT_EQ(Saved(*Report), before);
        EXPECT_EQ(Report->Tag(), 42);
        EXPECT_EQ(Report->FileName, "");
        auto boxes = Host->CallsOf(THostCallKind::MessageBox);
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().Text.rfind("无法载入文件", 0), 0u);
        EXPECT_EQ(f->Page(), Report->PageAt(0));
        EXPECT_TRUE(f->RecentFiles->Count() == 0);
    }
    // The open dialog's path says it too, and so a later save writes the kept layout.
    Host->QueueOpenFile({bad});
    f->OpenCmdExecute(f);
    EXPECT_EQ(Saved(*Report), before);
    EXPECT_EQ(Host->CallsOf(THostCallKind::MessageBox).size(), 3u);
}

TEST_F(Files, OpeningThroughTheHookOffersToSaveFirst)
{
    TfrxDesigner settings;
    int loads = 0, saves = 0;
    bool saveWorks = false;
    settings.OnLoadReport = [&](TfrxReport* r) {
        ++loads;
        r->Clear();
        auto* p = new TfrxReportPage(r);
        p->SetName("Loaded");
        return true;
    };
    settings.OnSaveReport = [&](TfrxReport*, bool) {
        ++saves;
        return saveWorks;
    };
    TfrxDesignerForm* f = Open();
    f->ObjectModified(nullptr);

    struct Step {
        int answer;
        bool saveWorks;
        int loads, saves;
    };
    // Cancel stops; Yes with a save that fails stops; Yes that saved goes on.
    const Step steps[] = {{IDCANCEL, false, 0, 0}, {IDYES, false, 0, 1}, {IDYES, true, 1, 2}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.answer);
        saveWorks = s.saveWorks;
        Host->QueueMessageBox(s.answer);
        f->OpenCmd->Execute();
        EXPECT_EQ(loads, s.loads);
        EXPECT_EQ(saves, s.saves);
    }
    EXPECT_EQ(Report->PageAt(0)->Name(), "Loaded");
    EXPECT_FALSE(f->Modified());
    EXPECT_EQ(Host->CallsOf(THostCallKind::MessageBox).back().Text, "保存修改至 Untitled.fr3?");

    // Unchanged: no question; No: loads without saving.
    f->OpenCmd->Execute();
    EXPECT_EQ(loads, 2);
    f->ObjectModified(nullptr);
    Host->QueueMessageBox(IDNO);
    f->OpenCmd->Execute();
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(saves, 2);
}

TEST_F(Files, SaveAsWritesFr3AndAsksAboutTheFileItWrites)
{
    TfrxDesignerForm* f = Open();
    const std::string existing = Write("taken.fr3", "旧的");
    const std::string typed = Dir + "/taken.txt";

    // The typed name differs, the written one exists: asked, No keeps it.
    Host->QueueSaveFile({typed});
    Host->QueueMessageBox(IDNO);
    f->SaveAsCmd->Execute();
    auto boxes = Host->CallsOf(THostCallKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Text.find(existing), std::string::npos);
    TfrxReport check(nullptr);
    check.LoadFromFile(existing);
    EXPECT_EQ(static_cast<TfrxMemoView*>(check.FindObject("Title"))->Text(), "旧的\r\n");
    EXPECT_FALSE(FileExists(typed));

    // Yes writes it.
    Host->QueueSaveFile({typed});
    Host->QueueMessageBox(IDYES);
    f->SaveAsCmd->Execute();
    check.LoadFromFile(existing);
    EXPECT_NE(check.FindObject("Memo1"), nullptr);
    EXPECT_EQ(Report->FileName, existing);
    EXPECT_EQ(f->Caption(), "报表设计器 - taken.fr3");

    // A new name is written without a question.
    Host->QueueSaveFile({Dir + "/fresh"});
    f->SaveAsCmd->Execute();
    EXPECT_TRUE(FileExists(Dir + "/fresh.fr3"));
    EXPECT_EQ(Host->CallsOf(THostCallKind::MessageBox).size(), 2u);
    // Cancelling the dialog saves nothing.
    f->ObjectModified(nullptr);
    f->SaveAsCmd->Execute();
    EXPECT_TRUE(f->Modified());
}

TEST_F(Files, CancellingTheOpenDialogChangesNothing)
{
    TfrxDesignerForm* f = Open();
    Report->EngineOptions()->SilentMode = true;
    f->ObjectModified(nullptr);
    const std::string before = Saved(*Report);
    f->OpenCmd->Execute();
    EXPECT_EQ(Saved(*Report), before);
    EXPECT_TRUE(f->Modified());
    EXPECT_TRUE(Report->EngineOptions()->SilentMode);
    EXPECT_TRUE(Host->CallsOf(THostCallKind::MessageBox).empty());
}

}  // namespace
