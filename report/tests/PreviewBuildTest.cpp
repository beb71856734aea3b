// Building a report into its preview (pages showing as they come, a cancel
// that keeps what was built), the page-settings dialog, and editing pages
// from the preview.
#include "EngineFixture.h"
#include "ExportTestSupport.h"
#include "ComCtrls.h"
#include "GuiTesting.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "frxPreview.h"
#include "frxPreviewPageSettings.h"
#include "frxPreviewPages.h"
#include "frxPrinter.h"
#include "frxProgress.h"
#include "frxRes.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// One student a page: a data band nearly as tall as the printable area.
struct TLongReport {
    explicit TLongReport(int rows)
    {
        GuiTest::Init();
        F.Report->EngineOptions()->SilentMode = true;
        F.Data.push_back(NumberedStudents(rows));
        TfrxDBDataset* s = F.AddDataSet(F.Data.back().get(), "s");
        auto* md = F.AddBand<TfrxMasterData>(F.Page, "MasterData1", 0, 900);
        md->SetDataSet(s);
        F.AddMemo(md, "Name", 0, 0, 300, 24, "学员 [s.\"Name\"]");
    }
    TReportFixture F;
};

// The modal dialog of the class up now.
template <class D> D* ModalDialog()
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* d = dynamic_cast<D*>(Screen->Forms(i)))
            if (d->FormState().Contains(fsModal)) return d;
    return nullptr;
}

// Every page of the preview can be rebuilt and has the size its layout slot has.
void ExpectPagesWhole(TfrxPreview* preview)
{
    TfrxPreviewPages* pages = preview->PreviewPages();
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(preview->Workspace()->PageList().Count(), pages->Count());
    for (int i = 0; i < pages->Count(); ++i) {
        TfrxReportPage* p = pages->GetPage(i);
        ASSERT_NE(p, nullptr) << i;
        const TRect r = preview->Workspace()->PageList().GetPageBounds(i, 2000, 1);
        EXPECT_EQ(r.Right - r.Left, pages->GetPageSize(i).cx) << i;
    }
}

}  // namespace

TEST(PageSettingsText, CentimetresShownAndRead)
{
    struct Case {
        double Mm;
        const char* Text;
    };
    const Case shown[] = {{210, "21"}, {297, "29.70"}, {12.5, "1.25"}, {0, "0"}, {215.9, "21.59"}};
    for (const Case& c : shown) EXPECT_EQ(frxPreviewPageSettings::MmToCmText(c.Mm), c.Text) << c.Mm;
    struct Read {
        const char* Text;
        double Mm;
    };
    const Read read[] = {{"2,5", 25}, {"2.5", 25}, {" 29.70 ", 297}, {"1 0", 100}};
    for (const Read& r : read) EXPECT_DOUBLE_EQ(frxPreviewPageSettings::CmTextToMm(r.Text), r.Mm) << r.Text;
    EXPECT_THROW(frxPreviewPageSettings::CmTextToMm("2厘米"), EConvertError);
}

namespace {

struct TSettingsFixture : ::testing::Test {
    void SetUp() override
    {
        GuiTest::Init();
        // No printer: the virtual one stands in with the standard paper table.
        frxPrinter::TPrinterSource none;
        none.Enumerate = [] { return std::vector<std::unique_ptr<TfrxCustomPrinter>>(); };
        none.DefaultName = [] { return std::string(); };
        frxPrinter::SetPrinterSource(none);
        for (int i = 1; i <= 3; ++i) {
            TfrxReportPage* p = R.AddPage();
            p->Objects().front()->SetHeight(500);   // fits a landscape page too
            R.AddMemo(p, 0, 0, 300, 20, "第 " + std::to_string(i) + " 页");
        }
        R.Prepare();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetClientSize(900, 700);
        Preview = new TfrxPreview(Form.get());
        Preview->SetParent(Form.get());
        Preview->SetAlign(alClient);
        Form->Show();
        GuiTest::ProcessEvents();
        Preview->SetReport(R.Report.get());
    }
    void TearDown() override
    {
        Form.reset();
        frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
    }
    exporttest::TExportReport R;
    std::unique_ptr<TForm> Form;
    TfrxPreview* Preview = nullptr;
};

}  // namespace

TEST_F(TSettingsFixture, TheDialogShowsThePageAndTypedSizesArePapersOfTheirOwn)
{
    TfrxReportPage page(nullptr);
    page.SetDefaults();
    TfrxPageSettingsForm dlg(nullptr);
    dlg.SetPage(&page);
    std::string width, height, left, paper, custom;
    bool portraitShown = false, landscapeShown = true;
    std::string turnedW, turnedH, turnedCustomW, a5;
    GuiTest::Later([&] {
        TfrxPageSettingsForm* d = ModalDialog<TfrxPageSettingsForm>();
        ASSERT_NE(d, nullptr);
        width = d->WidthE->Text();
        height = d->HeightE->Text();
        left = d->MarginLeftE->Text();
        paper = d->SizeCB->Text();
        portraitShown = d->PortraitImg->Visible();
        landscapeShown = d->LandscapeImg->Visible();
        GuiTest::SavePng(d, std::string(QZ_BINARY_DIR) + "/report_page_settings_dialog.png");
        // Landscape turns A4 round.
        d->LandscapeRB->SetChecked(true);
        turnedW = d->WidthE->Text();
        turnedH = d->HeightE->Text();
        // A typed width is a size of one's own; it stays landscape.
        d->WidthE->SetText("35");
        custom = d->SizeCB->Text();
        d->PortraitRB->SetChecked(true);
        turnedCustomW = d->WidthE->Text();
        // A paper chosen from the list brings its size back.
        d->SizeCB->SetItemIndex(d->SizeCB->Items()->IndexOf("A5"));
        d->SizeCB->Select();
        a5 = d->WidthE->Text() + " x " + d->HeightE->Text();
        // Then a size of one's own again.
        d->WidthE->SetText("21");
        d->HeightE->SetText("35");
        d->MarginLeftE->SetText("2,5");
        d->OKB->Click();
    });
    ASSERT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(width, "21");
    EXPECT_EQ(height, "29.70");
    EXPECT_EQ(left, "1");
    EXPECT_EQ(paper, "A4");
    EXPECT_TRUE(portraitShown);
    EXPECT_FALSE(landscapeShown);
    EXPECT_EQ(turnedW, "29.70");
    EXPECT_EQ(turnedH, "21");
    EXPECT_EQ(custom, frxRes::Resources().Get("prCustom"));
    // Back to portrait, the own size turns too: 35 × 21 becomes 21 × 35.
    EXPECT_EQ(turnedCustomW, "21");
    EXPECT_EQ(a5, "14.80 x 21");
    EXPECT_EQ(page.Orientation(), frxEnums::poPortrait);
    EXPECT_EQ(page.PaperSize(), 256);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 210);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 350);
    EXPECT_DOUBLE_EQ(page.LeftMargin, 25);
    EXPECT_FALSE(dlg.ApplyToAll());
}

TEST_F(TSettingsFixture, ALengthThatIsNoNumberKeepsTheDialogAndThePage)
{
    TfrxReportPage page(nullptr);
    page.SetDefaults();
    TfrxPageSettingsForm dlg(nullptr);
    dlg.SetPage(&page);
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    bool stayed = false;
    GuiTest::Later([&] {
        TfrxPageSettingsForm* d = ModalDialog<TfrxPageSettingsForm>();
        ASSERT_NE(d, nullptr);
        d->MarginTopE->SetText("一");
        d->OKB->Click();
        GuiTest::Later([&, d] {
            stayed = d->Visible();
            d->CancelB->Click();
        });
    });
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(host->Messages().empty());   // the error was shown
    EXPECT_DOUBLE_EQ(page.TopMargin, 10);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 210);
}

TEST_F(TSettingsFixture, SettingsForThePageShownOrForAllPagesRebuildingTheReport)
{
    Preview->SetPageNo(2);
    auto choose = [](bool landscape, bool all) {
        GuiTest::Later([=] {
            TfrxPageSettingsForm* d = ModalDialog<TfrxPageSettingsForm>();
            ASSERT_NE(d, nullptr);
            (landscape ? d->LandscapeRB : d->PortraitRB)->SetChecked(true);
            (all ? d->ApplyToAllRB : d->ApplyToCurRB)->SetChecked(true);
            d->OKB->Click();
        });
    };
    // The page shown only: it turns, its neighbours stay.
    choose(true, false);
    Preview->PageSetupDialog();
    TfrxPreviewPages* pages = Preview->PreviewPages();
    ASSERT_EQ(pages->Count(), 3);
    EXPECT_GT(pages->GetPage(1)->Width(), pages->GetPage(1)->Height());
    EXPECT_LT(pages->GetPage(0)->Width(), pages->GetPage(0)->Height());
    EXPECT_EQ(Preview->PageNo(), 2);
    ExpectPagesWhole(Preview);
    EXPECT_EQ(R.Report->Pages(0)->Orientation(), frxEnums::poPortrait);   // the layout is untouched

    // All pages: the layout takes the settings and the report is built again.
    choose(true, true);
    Preview->PageSetupDialog();
    ASSERT_EQ(pages->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(R.Report->Pages(i)->Orientation(), frxEnums::poLandscape) << i;
        EXPECT_GT(pages->GetPage(i)->Width(), pages->GetPage(i)->Height()) << i;
    }
    ExpectPagesWhole(Preview);

    // Cancelled: nothing changes.
    GuiTest::Later([] {
        if (TfrxPageSettingsForm* d = ModalDialog<TfrxPageSettingsForm>()) {
            d->PortraitRB->SetChecked(true);
            d->CancelB->Click();
        }
    });
    Preview->PageSetupDialog();
    EXPECT_GT(pages->GetPage(0)->Width(), pages->GetPage(0)->Height());
}

TEST_F(TSettingsFixture, PagesAddedDeletedAndEditedFromThePreview)
{
    TfrxPreviewPages* pages = Preview->PreviewPages();
    Preview->SetPageNo(2);
    Preview->AddPage();
    ASSERT_EQ(pages->Count(), 4);
    EXPECT_EQ(Preview->Workspace()->PageList().Count(), 4);
    Preview->SetPageNo(4);
    Preview->DeletePage();
    EXPECT_EQ(pages->Count(), 3);
    EXPECT_EQ(Preview->PageNo(), 3);
    ExpectPagesWhole(Preview);

    // The designer gets one flat page: the objects straight on it where
    // they stood, no bands; what it changes replaces the page.
    auto oldRunner = frxClass::DesignerRunner;
    std::vector<std::string> seen;
    double memoTop = -1;
    frxClass::DesignerRunner = [&](TfrxReport* report, bool previewMode) {
        EXPECT_TRUE(previewMode);
        TfrxReportPage* p = report->Pages(0);
        if (!p) return false;
        for (TfrxComponent* c : p->Objects()) {
            seen.push_back(c->ClassName());
            if (auto* m = DynamicCast<TfrxMemoView>(c)) {
                memoTop = m->Top();
                m->SetText("改过的页");
            }
        }
        return true;
    };
    Preview->SetPageNo(1);
    Preview->EditPage();
    frxClass::DesignerRunner = oldRunner;
    EXPECT_EQ(seen, (std::vector<std::string>{"TfrxMemoView"}));
    EXPECT_DOUBLE_EQ(memoTop, 0);
    std::string text;
    for (TfrxComponent* c : pages->GetPage(0)->AllObjects())
        if (auto* m = DynamicCast<TfrxMemoView>(c)) text += m->Text();
    EXPECT_NE(text.find("改过的页"), std::string::npos) << text;

    // A designer that replaces the page: the new page is stored.
    frxClass::DesignerRunner = [](TfrxReport* report, bool) {
        delete report->Pages(0);
        auto* p = new TfrxReportPage(report);
        p->SetName("Page1");
        p->SetDefaults();
        auto* m = new TfrxMemoView(p);
        m->SetName("Fresh");
        m->SetBounds(0, 0, 200, 20);
        m->SetText("新的页");
        return true;
    };
    Preview->SetPageNo(2);
    Preview->EditPage();
    frxClass::DesignerRunner = oldRunner;
    text.clear();
    for (TfrxComponent* c : pages->GetPage(1)->AllObjects())
        if (auto* m = DynamicCast<TfrxMemoView>(c)) text += m->Text();
    EXPECT_NE(text.find("新的页"), std::string::npos) << text;
    ExpectPagesWhole(Preview);
}

TEST(PreviewBuild, PagesJoinWhileBuiltAndRefreshEveryFiftiethPageWhenQuick)
{
    TLongReport r(120);
    TForm form(nullptr);
    form.SetClientSize(800, 600);
    auto* preview = new TfrxPreview(&form);
    preview->SetParent(&form);
    preview->SetAlign(alClient);
    form.Show();
    r.F.Report->SetPreview(preview);
    EXPECT_EQ(preview->Report(), r.F.Report.get());

    // The second page follows the first within 4 ms: refresh every 50th page.
    uint32_t now = 1000;
    auto oldTick = TfrxPreview::TickCount;
    TfrxPreview::TickCount = [&] { return now; };
    std::vector<int> refreshedAt;
    std::vector<int> layoutAt;
    bool busyDuring = false;
    preview->OnPageChanged = [&](TObject*, int) {
        refreshedAt.push_back(preview->PageCount());
    };
    r.F.Report->OnProgress = [&](TfrxReport*, TfrxProgressType, int n) {
        now += 2;
        busyDuring = busyDuring || preview->Busy();
        layoutAt.push_back(preview->Workspace()->PageList().Count());
        (void)n;
    };
    ASSERT_TRUE(r.F.Report->PrepareReport()) << r.F.Report->Errors()->Text();
    TfrxPreview::TickCount = oldTick;
    EXPECT_TRUE(busyDuring);
    EXPECT_FALSE(preview->Busy());
    EXPECT_EQ(preview->RefreshInterval(), 50);
    // Pages 1 and 2, then pages 51 and 101, then the end.
    EXPECT_EQ(refreshedAt, (std::vector<int>{1, 2, 51, 101, 120})) << ::testing::PrintToString(refreshedAt);
    // Each page is in the layout by the time the next one is reported.
    ASSERT_EQ(layoutAt.size(), 120u);
    EXPECT_EQ(layoutAt[1], 1);
    EXPECT_EQ(layoutAt[119], 119);
    ExpectPagesWhole(preview);

    // Slow pages refresh every fifth.
    TfrxPreview::TickCount = [&] { return now; };
    r.F.Report->OnProgress = [&](TfrxReport*, TfrxProgressType, int) { now += 30; };
    refreshedAt.clear();
    ASSERT_TRUE(r.F.Report->PrepareReport());
    TfrxPreview::TickCount = oldTick;
    EXPECT_EQ(preview->RefreshInterval(), 5);
    EXPECT_EQ(refreshedAt.size(), 2u + 23u + 1u);

    // A preview that goes leaves the report without one.
    delete preview;
    EXPECT_EQ(r.F.Report->Preview(), nullptr);
    ASSERT_TRUE(r.F.Report->PrepareReport());
}

TEST(PreviewBuild, TheWindowsCancelButtonStopsABuildAndThePagesBuiltStay)
{
    TLongReport r(200);
    TfrxPreviewForm form(nullptr);
    form.Show();
    form.SetReport(r.F.Report.get());
    ASSERT_EQ(r.F.Report->Preview(), form.Preview());
    bool printEnabled = true, closable = true, printedDuring = true;
    std::string cancelCaption;
    exporttest::TScratch dir("cancelled");
    r.F.Report->OnProgress = [&](TfrxReport*, TfrxProgressType, int n) {
        if (n != 7) return;
        printEnabled = form.PrintB->Enabled();
        cancelCaption = form.CancelB->Caption();
        closable = form.CloseQuery();
        // The pages are not whole yet: no command acts on them.
        printedDuring = form.Preview()->Print();
        form.Preview()->SaveToFile(dir.Dir + "during.fp3");
        form.Preview()->DeletePage();
        form.CancelB->Click();
    };
    EXPECT_TRUE(r.F.Report->PrepareReport());
    EXPECT_FALSE(printEnabled);
    EXPECT_FALSE(closable);
    EXPECT_FALSE(printedDuring);
    EXPECT_FALSE(FileExists(dir.Dir + "during.fp3"));
    EXPECT_EQ(cancelCaption, "取消");
    TfrxPreview* preview = form.Preview();
    EXPECT_FALSE(preview->Busy());
    EXPECT_EQ(preview->PageCount(), 7);
    ExpectPagesWhole(preview);
    EXPECT_TRUE(form.PrintB->Enabled());
    EXPECT_EQ(form.CancelB->Caption(), "关闭(&X)");
    EXPECT_EQ(form.StatusBar->Panels()->Items(0)->Text(), "第 1 页 共 7 页");

    // What was built saves and loads back whole.
    preview->SaveToFile(dir.Dir + "part.fp3");
    preview->LoadFromFile(dir.Dir + "part.fp3");
    EXPECT_EQ(preview->PageCount(), 7);
    ExpectPagesWhole(preview);
}

TEST(PreviewBuild, TheProgressWindowCancelsABuildWithoutPreview)
{
    TLongReport r(200);
    r.F.Report->OldStyleProgress = true;
    bool windowUp = false;
    r.F.Report->OnProgress = [&](TfrxReport* report, TfrxProgressType, int n) {
        if (n != 5) return;
        TfrxProgress* p = report->ProgressWindow();
        windowUp = p && p->Visible();
        // The message shows the page the build is at when the button is pressed.
        if (p) p->CancelB->Click();
    };
    EXPECT_TRUE(r.F.Report->PrepareReport());
    EXPECT_TRUE(windowUp);
    EXPECT_EQ(r.F.Report->ProgressWindow(), nullptr);
    TfrxPreviewPages* pages = r.F.Pages();
    // The page being built when the button was pressed is finished, no more.
    EXPECT_LE(pages->Count(), 6);
    EXPECT_GE(pages->Count(), 5);
    for (int i = 0; i < pages->Count(); ++i) EXPECT_NE(pages->GetPage(i), nullptr);
}

TEST(PreviewBuild, ShowReportOpensThePreviewAndBuildsIntoItFromTheTimer)
{
    TLongReport r(3);
    TForm form(nullptr);
    form.SetClientSize(800, 600);
    auto* preview = new TfrxPreview(&form);
    preview->SetParent(&form);
    preview->SetAlign(alClient);
    form.Show();
    preview->SetReport(r.F.Report.get());
    GuiTest::TManualTime time;
    r.F.Report->ShowReport();
    EXPECT_EQ(preview->PageCount(), 0);   // shown at once, built 50 ms later
    time.Advance(49);
    EXPECT_EQ(preview->PageCount(), 0);
    time.Advance(1);
    EXPECT_EQ(preview->PageCount(), 3);
    EXPECT_EQ(preview->PageNo(), 1);
    ExpectPagesWhole(preview);
    time.Advance(200);   // once only
    EXPECT_EQ(preview->PageCount(), 3);
    GuiTest::SavePng(&form, std::string(QZ_BINARY_DIR) + "/report_preview_built.png");
}

TEST(PreviewBuild, ShowReportOpensTheWindowAndBuildsIntoItThere)
{
    // The window opens empty; the build runs in its own loop 50 ms later.
    {
        TLongReport r(30);
        GuiTest::TManualTime time;
        int before = -1, after = -1;
        std::string status, closeCaption;
        GuiTest::Later([&] {
            TfrxPreviewForm* f = ModalDialog<TfrxPreviewForm>();
            ASSERT_NE(f, nullptr);
            before = f->Preview()->PageCount();
            time.Advance(50);
            after = f->Preview()->PageCount();
            status = f->StatusBar->Panels()->Items(0)->Text();
            closeCaption = f->CancelB->Caption();
            f->CancelB->Click();
        });
        r.F.Report->ShowReport();
        EXPECT_EQ(before, 0);
        EXPECT_EQ(after, 30);
        EXPECT_EQ(status, "第 1 页 共 30 页");
        EXPECT_EQ(closeCaption, "关闭(&X)");
        EXPECT_EQ(r.F.Report->Preview(), nullptr);   // the window and its preview are gone
    }
    // A build that fails closes the window it opened.
    {
        TLongReport r(3);
        r.F.Report->DataSets()->Add(nullptr);   // a data set that does not exist
        GuiTest::TManualTime time;
        bool stillOpen = false;
        GuiTest::Later([&] {
            time.Advance(50);
            if (TfrxPreviewForm* f = ModalDialog<TfrxPreviewForm>()) {
                // Closing a modal window ends its loop once it runs again.
                stillOpen = f->ModalResult() == mrNone;
                if (stillOpen) f->CancelB->Click();
            }
        });
        r.F.Report->ShowReport();
        EXPECT_FALSE(stillOpen);
        EXPECT_FALSE(r.F.Report->Errors()->Text().empty());
    }
}

TEST(PreviewBuild, EditButtonsFollowTheOptionsAndTheTemplateOpensInTheDesigner)
{
    GuiTest::Init();
    exporttest::TExportReport r;
    TfrxReportPage* p = r.AddPage();
    r.AddMemo(p, 0, 0, 300, 20, "模板");
    r.Prepare();
    struct Case {
        bool WithEdit, AllowEdit;
        bool Shown, Enabled;
    };
    const Case cases[] = {{true, true, true, true}, {true, false, true, false}, {false, true, false, true}};
    for (const Case& c : cases) {
        TfrxPreviewOptions* o = r.Report->PreviewOptions();
        o->AllowEdit = c.AllowEdit;
        if (c.WithEdit)
            o->Buttons.Include(pbEdit);
        else
            o->Buttons.Exclude(pbEdit);
        TfrxPreviewForm form(nullptr);
        form.SetReport(r.Report.get());
        for (TToolButton* b : {form.NewPageB, form.DelPageB, form.DesignerB}) {
            EXPECT_EQ(b->Visible(), c.Shown) << b->Name();
            if (c.Shown) EXPECT_EQ(b->Enabled(), c.Enabled) << b->Name();
        }
        EXPECT_EQ(form.PageSettingsB->Visible(), o->Buttons.Contains(pbPageSetup));
    }

    // "Show template" opens copies of the source pages in the designer.
    auto oldRunner = frxClass::DesignerRunner;
    std::vector<std::string> texts;
    bool previewMode = true;
    frxClass::DesignerRunner = [&](TfrxReport* report, bool mode) {
        previewMode = mode;
        for (TfrxComponent* c : report->AllObjects())
            if (auto* m = DynamicCast<TfrxMemoView>(c)) texts.push_back(m->Text());
        return false;
    };
    TfrxPreviewForm form(nullptr);
    form.SetReport(r.Report.get());
    EXPECT_EQ(form.DesignerB->PopupMenu(), static_cast<TComponent*>(form.HiddenMenu));
    form.Showtemplate1->Click();
    frxClass::DesignerRunner = oldRunner;
    EXPECT_FALSE(previewMode);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("模板"), std::string::npos);
    EXPECT_EQ(form.Preview()->PageCount(), 1);
}

TEST(PreviewBuild, TwoPassesShowTheFirstPassCountThenOnlyTheFinalPages)
{
    TLongReport r(12);
    r.F.Report->EngineOptions()->DoublePass = true;
    TfrxPreviewForm form(nullptr);
    form.Show();
    form.SetReport(r.F.Report.get());
    std::vector<std::string> statuses;
    std::vector<int> layout;
    r.F.Report->OnProgress = [&](TfrxReport*, TfrxProgressType, int n) {
        // The report's own event comes before the preview hears of page n.
        if (n == 3) statuses.push_back(form.StatusBar->Panels()->Items(0)->Text());
        layout.push_back(form.Preview()->Workspace()->PageList().Count());
    };
    ASSERT_TRUE(r.F.Report->PrepareReport()) << r.F.Report->Errors()->Text();
    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_EQ(statuses[0], "第一次处理过程: 页 2");
    EXPECT_EQ(statuses[1], "第 1 页 共 2 页");
    // The first pass adds nothing to the layout; the final one all its pages.
    ASSERT_EQ(layout.size(), 24u);
    EXPECT_EQ(layout[11], 0);
    EXPECT_EQ(layout[23], 11);
    EXPECT_EQ(form.Preview()->PageCount(), 12);
    ExpectPagesWhole(form.Preview());
}

TEST(PreviewBuild, AWindowThatIsNotModalBuildsAndGoesWhenClosed)
{
    TLongReport r(4);
    r.F.Report->PreviewOptions()->Modal = false;
    GuiTest::TManualTime time;
    r.F.Report->ShowReport();
    // Back at once, the window up and empty.
    auto* preview = dynamic_cast<TfrxPreview*>(r.F.Report->Preview());
    ASSERT_NE(preview, nullptr);
    TWeakRef<TfrxPreviewForm> form(dynamic_cast<TfrxPreviewForm*>(preview->Owner()));
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(preview->PageCount(), 0);
    time.Advance(50);
    EXPECT_EQ(preview->PageCount(), 4);
    form->Close();
    GuiTest::ProcessEvents();
    EXPECT_FALSE(form);
    EXPECT_EQ(r.F.Report->Preview(), nullptr);
}
