// The preview: where pages stand, navigation, zoom, search with the found
// text marked, links, and exporting the page shown.
#include "ExportTestSupport.h"
#include "ComCtrls.h"
#include "GuiTesting.h"
#include "Menus.h"
#include "Printers.h"
#include "PrivateSpooler.h"
#include "RecordingHost.h"
#include "SysUtils.h"
#include "StdCtrls.h"
#include "frxExportPDF.h"
#include "frxPreview.h"
#include "frxPreviewPages.h"
#include "frxPrintDialog.h"
#include "frxPrinter.h"
#include "frxSearchDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace exporttest;

TEST(PageList, RowsTopsAndThePageAtAPosition)
{
    TfrxPageList one;
    for (int i = 0; i < 3; ++i) one.AddPage(794, 1123);
    // One a row, 10 pixels apart, centred in the client width.
    EXPECT_EQ(one.GetPageBounds(0, 1000, 1), Rect(103, 10, 897, 1133));
    EXPECT_EQ(one.GetPageBounds(2, 1000, 1), Rect(103, 2276, 897, 3399));
    EXPECT_EQ(one.GetPageBounds(1, 1000, 0.5), Rect(302, 572, 699, 1134));
    // Wider than the client: 10 from the left.
    EXPECT_EQ(one.GetPageBounds(0, 500, 1).Left, 10);
    // Out of range: an A4 page at the top.
    EXPECT_EQ(one.GetPageBounds(7, 1000, 1), Rect(103, 10, 897, 1133));
    EXPECT_EQ(one.GetMaxBounds(1), Point(804, 3399));

    struct Case {
        int Y;
        bool Exact;
        int Page;
    };
    // The next page counts once its top is within a fifth of its height.
    const Case cases[] = {{0, false, 0}, {1143 - 225, false, 0}, {1143 - 224, false, 1}, {1142, true, 0},
                          {1143, true, 1}, {100000, false, 2}};
    for (const Case& c : cases) EXPECT_EQ(one.FindPage(c.Y, 1, c.Exact), c.Page) << c.Y;

    // Two a row: side by side, the row centred, the next row below the taller.
    TfrxPageList two;
    two.ColumnCount = 2;
    two.AddPage(400, 600);
    two.AddPage(300, 700);
    two.AddPage(400, 600);
    EXPECT_EQ(two.GetPageBounds(0, 1000, 1), Rect(145, 10, 545, 610));
    EXPECT_EQ(two.GetPageBounds(1, 1000, 1), Rect(555, 10, 855, 710));
    EXPECT_EQ(two.GetPageBounds(2, 1000, 1), Rect(300, 720, 700, 1320));
    EXPECT_EQ(two.GetMaxBounds(1).X, 720);
    TfrxPageList none;
    EXPECT_EQ(none.GetMaxBounds(1), Point(0, 0));
}

namespace {

// A preview of five pages, each "Page N" at the top and the word 学员 twice
// on the first page and once on the third.
struct TPreviewFixture : ::testing::Test {
    void SetUp() override
    {
        GuiTest::Init();
        for (int i = 1; i <= 5; ++i) {
            TfrxReportPage* p = R.AddPage();
            R.AddMemo(p, 0, 0, 300, 20, "Page " + std::to_string(i));
            if (i == 1) {
                R.AddMemo(p, 0, 100, 300, 20, "一班 学员名单");
                R.AddMemo(p, 0, 300, 300, 20, "二班 学员");
                TfrxMemoView* link = R.AddMemo(p, 0, 500, 200, 20, "去第三页");
                link->URL = "@3";
            }
            if (i == 3) R.AddMemo(p, 50, 600, 300, 20, "三班 学员");
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
        Preview->OnPageChanged = [this](TObject*, int page) { Changes.push_back(page); };
    }
    void TearDown() override { Form.reset(); }
    TExportReport R;
    std::unique_ptr<TForm> Form;
    TfrxPreview* Preview = nullptr;
    std::vector<int> Changes;
};

}  // namespace

TEST_F(TPreviewFixture, NavigationAndScrolling)
{
    ASSERT_EQ(Preview->PageCount(), 5);
    EXPECT_EQ(Preview->PageNo(), 1);
    Preview->Next();
    Preview->Next();
    EXPECT_EQ(Preview->PageNo(), 3);
    TfrxPreviewWorkspace* ws = Preview->Workspace();
    const TRect third = ws->PageList().GetPageBounds(2, ws->ClientWidth(), Preview->Zoom());
    EXPECT_EQ(ws->VertPosition(), third.Top - 10);
    Preview->Last();
    Preview->Next();   // stays at the last page
    EXPECT_EQ(Preview->PageNo(), 5);
    Preview->Prior();
    EXPECT_EQ(Preview->PageNo(), 4);
    Preview->First();
    EXPECT_EQ(Preview->PageNo(), 1);
    EXPECT_EQ(Changes, (std::vector<int>{2, 3, 5, 5, 4, 1}));
    // Scrolling makes the page near the top the current one.
    Changes.clear();
    const TRect second = ws->PageList().GetPageBounds(1, ws->ClientWidth(), Preview->Zoom());
    ws->SetVertScrollPos(second.Top - second.Height() / 5 + 2);
    EXPECT_EQ(Preview->PageNo(), 2);
    EXPECT_EQ(Changes, std::vector<int>{2});
    // Keys: End, Home, and the wheel moves 20 pixels whatever its size.
    ws->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_END);
    EXPECT_EQ(Preview->PageNo(), 5);
    GuiTest::KeyPress(VK_HOME);
    EXPECT_EQ(Preview->PageNo(), 1);
    Preview->MouseWheelScroll(-360);
    EXPECT_EQ(ws->VertPosition(), 20);
    Preview->MouseWheelScroll(120);
    EXPECT_EQ(ws->VertPosition(), 0);
}

TEST_F(TPreviewFixture, ZoomModes)
{
    TfrxPreviewWorkspace* ws = Preview->Workspace();
    const TSize page = Preview->PreviewPages()->GetPageSize(0);
    Preview->SetZoom(0.05);
    EXPECT_DOUBLE_EQ(Preview->Zoom(), 0.25);
    Preview->SetZoomMode(zmPageWidth);
    EXPECT_DOUBLE_EQ(Preview->Zoom(), double(ws->ClientWidth() - 20) / page.cx);
    Preview->SetZoomMode(zmWholePage);
    EXPECT_DOUBLE_EQ(Preview->Zoom(), double(ws->ClientHeight() - 20) / page.cy);
    Preview->SetZoomMode(zmManyPages);
    EXPECT_DOUBLE_EQ(Preview->Zoom(), double(ws->ClientWidth() - 32) / (2.0 * page.cx));
    // Two pages a row.
    const TRect a = ws->PageList().GetPageBounds(0, ws->ClientWidth(), Preview->Zoom());
    const TRect b = ws->PageList().GetPageBounds(1, ws->ClientWidth(), Preview->Zoom());
    EXPECT_EQ(a.Top, b.Top);
    EXPECT_GT(b.Left, a.Right);
    // An explicit zoom leaves the fitted mode, one page a row again.
    Preview->SetZoom(1);
    EXPECT_EQ(Preview->ZoomMode(), zmDefault);
    EXPECT_GT(ws->PageList().GetPageBounds(1, ws->ClientWidth(), 1).Top,
              ws->PageList().GetPageBounds(0, ws->ClientWidth(), 1).Bottom);
    // The zoom tool: a left click zooms in, a right click out.
    Preview->SetTool(1);
    GuiTest::Click(ws, Point(300, 300));
    EXPECT_DOUBLE_EQ(Preview->Zoom(), 1.25);
    GuiTest::Click(ws, Point(300, 300), mbRight);
    EXPECT_DOUBLE_EQ(Preview->Zoom(), 1);
}

TEST_F(TPreviewFixture, SearchFindsEachTextInTurnAndMarksIt)
{
    ASSERT_TRUE(Preview->Find("学员", false, true));
    EXPECT_EQ(Preview->FoundPage(), 0);
    const TRect first = Preview->FoundRect();
    ASSERT_TRUE(Preview->FindNext());
    EXPECT_EQ(Preview->FoundPage(), 0);
    EXPECT_GT(Preview->FoundRect().Top, first.Top);
    ASSERT_TRUE(Preview->FindNext());
    EXPECT_EQ(Preview->FoundPage(), 2);
    EXPECT_EQ(Preview->PageNo(), 3);
    EXPECT_FALSE(Preview->FindNext());   // nothing further: the last find stays
    EXPECT_EQ(Preview->FoundPage(), 2);
    // The found text is marked: inverted on the white page.
    TfrxPreviewWorkspace* ws = Preview->Workspace();
    GuiTest::ProcessEvents();
    const TRect page = ws->PageList().GetPageBounds(2, ws->ClientWidth(), Preview->Zoom());
    const TRect f = Preview->FoundRect();
    const int x = page.Left + f.Right - 5 - ws->HorzPosition(), y = page.Top + f.Top + 2 - ws->VertPosition();
    ASSERT_GT(y, 0);
    ASSERT_LT(y, ws->ClientHeight());
    EXPECT_EQ(GuiTest::PixelAt(ws, Point(x, y)), clBlack);
    EXPECT_EQ(GuiTest::PixelAt(ws, Point(page.Left + 5 - ws->HorzPosition(), y)), clWhite);
    // Case counts when asked.
    EXPECT_TRUE(Preview->Find("page 4", false, true));
    EXPECT_EQ(Preview->FoundPage(), 3);
    EXPECT_FALSE(Preview->Find("page 4", true, true));
    GuiTest::SavePng(Form.get(), std::string(QZ_BINARY_DIR) + "/report_preview_search.png");
}

TEST_F(TPreviewFixture, LinksAndExportOfThePageShown)
{
    // A click on the link "@3" goes to page 3.
    TfrxPreviewWorkspace* ws = Preview->Workspace();
    Preview->SetZoom(1);
    Preview->First();
    GuiTest::ProcessEvents();
    const TRect page = ws->PageList().GetPageBounds(0, ws->ClientWidth(), 1);
    const int margin = int(10 * fr01cm);
    GuiTest::Click(ws, Point(page.Left + margin + 20, page.Top + margin + 510 - ws->VertPosition()));
    EXPECT_EQ(Preview->PageNo(), 3);

    TScratch dir("preview");
    TfrxPDFExport pdf;
    pdf.ShowDialog = false;
    pdf.CurPage = true;
    pdf.FileName = dir.Dir + "shown.pdf";
    ASSERT_TRUE(Preview->Export(&pdf));
    const std::string text = RunTool("pdftotext '" + pdf.FileName + "' - 2>&1");
    EXPECT_NE(text.find("Page 3"), std::string::npos) << text;
    EXPECT_EQ(text.find("Page 1"), std::string::npos) << text;
}

TEST(PreviewForm, ToolBarZoomPagesSearchAndExportMenu)
{
    GuiTest::Init();
    TExportReport r;
    for (int i = 1; i <= 3; ++i) r.AddMemo(r.AddPage(), 0, 40 * i, 300, 20, "学员 第" + std::to_string(i) + "页");
    r.Prepare();
    r.Report->ReportOptions()->Name = "学员名单";
    TScratch dir("previewform");
    TfrxPDFExport pdf;   // registered while it lives
    pdf.ShowDialog = false;
    pdf.FileName = dir.Dir + "p.pdf";

    TfrxPreviewForm form;
    form.SetReport(r.Report.get());
    form.Show();
    GuiTest::ProcessEvents();
    EXPECT_EQ(form.Caption(), "学员名单");
    EXPECT_EQ(form.NextB->Caption(), "下一页");
    EXPECT_EQ(form.StatusBar->Panels()->Items(0)->Text(), "第 1 页 共 3 页");
    form.NextB->Click();
    EXPECT_EQ(form.StatusBar->Panels()->Items(0)->Text(), "第 2 页 共 3 页");
    EXPECT_EQ(form.PageE->Text(), "2");
    form.PageE->SetText("3");
    form.ApplyPageText();
    EXPECT_EQ(form.Preview()->PageNo(), 3);
    form.PageE->SetText("三");
    EXPECT_THROW(form.ApplyPageText(), EConvertError);

    // The zoom box: a typed percentage (at least 25), page width, whole page.
    form.ZoomCB->SetText("5 %");
    form.ApplyZoomText();
    EXPECT_DOUBLE_EQ(form.Preview()->Zoom(), 0.25);
    EXPECT_EQ(form.ZoomCB->Text(), "25%");
    form.ZoomCB->SetText("150");
    form.ApplyZoomText();
    EXPECT_DOUBLE_EQ(form.Preview()->Zoom(), 1.5);
    form.Zoom100B->Click();
    EXPECT_EQ(form.ZoomCB->Text(), "100%");
    form.ZoomPageWidthB->Click();
    EXPECT_EQ(form.Preview()->ZoomMode(), zmPageWidth);
    // The outline button shows and hides the outline.
    EXPECT_FALSE(form.Preview()->OutlineVisible());
    form.OutlineB->Click();
    EXPECT_TRUE(form.Preview()->OutlineVisible());
    form.OutlineB->Click();
    EXPECT_FALSE(form.Preview()->OutlineVisible());

    // The search dialog: the found text is shown, and its text proposed next time.
    GuiTest::Later([] {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* d = dynamic_cast<TfrxSearchDialog*>(Screen->Forms(i))) {
                d->TextE->SetText("第2页");
                d->TopCB->SetChecked(true);
                d->OkB->Click();
            }
    });
    form.FindB->Click();
    EXPECT_TRUE(form.Preview()->Found());
    EXPECT_EQ(form.Preview()->FoundPage(), 1);
    EXPECT_EQ(frxSearchDialog::LastText(), "第2页");
    GuiTest::ProcessEvents();
    GuiTest::SavePng(&form, std::string(QZ_BINARY_DIR) + "/report_preview_form.png");

    // The export menu offers every registered filter; choosing one exports
    // the pages through it.
    TMenuItem* pdfItem = nullptr;
    for (int i = 0; i < form.ExportPopup->Items()->Count(); ++i)
        if (form.ExportPopup->Items()->Items(i)->Caption() == "PDF 文件...") pdfItem = form.ExportPopup->Items()->Items(i);
    ASSERT_NE(pdfItem, nullptr);
    pdfItem->Click();
    EXPECT_NE(RunTool("pdftotext '" + pdf.FileName + "' - 2>&1").find("第3页"), std::string::npos);
}

TEST_F(TPreviewFixture, OutlineItemsGoToTheirPlace)
{
    // Two groups: one on page 2, with an item below it on page 3 at 600.
    TfrxPreviewPages* pages = Preview->PreviewPages();
    TfrxCustomOutline* outline = pages->Outline();
    outline->LevelRoot();
    pages->PageIndex = 1;
    outline->AddItem("一班", 0);
    pages->PageIndex = 2;
    outline->AddItem("三班 学员", 600);
    outline->LevelRoot();
    pages->PageIndex = 4;
    outline->AddItem("五班", 0);
    Preview->SetOutlineVisible(true);
    Preview->SetZoom(1);
    Preview->UpdateOutline();
    GuiTest::ProcessEvents();
    TTreeView* tree = Preview->OutlineTree();
    ASSERT_EQ(tree->Items()->Count(), 3);
    TTreeNode* first = tree->Items()->GetFirstNode();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text(), "一班");
    ASSERT_EQ(first->Count(), 1);
    TTreeNode* child = first->Item(0);
    EXPECT_EQ(child->Text(), "三班 学员");
    tree->SetSelected(child);
    EXPECT_EQ(Preview->PageNo(), 3);
    // The item's top (after the page's top margin) shows 10 pixels below the area's top.
    TfrxPreviewWorkspace* ws = Preview->Workspace();
    const TRect page = ws->PageList().GetPageBounds(2, ws->ClientWidth(), 1);
    EXPECT_EQ(ws->VertPosition(), page.Top + int(std::lround(600 + 10 * fr01cm)) - 10);
    tree->SetSelected(first->GetNextSibling());
    EXPECT_EQ(Preview->PageNo(), 5);
    EXPECT_GT(Preview->Workspace()->Left(), tree->Left() + tree->Width() - 1);
}

TEST_F(TPreviewFixture, SavedPagesLoadBackAndABrokenFileRaises)
{
    TScratch dir("previewfp3");
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    host->QueueSaveFile({dir.Dir + "pages"});
    Preview->Save();
    ASSERT_TRUE(FileExists(dir.Dir + "pages.fp3"));
    EXPECT_EQ(host->CallsOf(THostCallKind::SaveFile)[0].Request.Filter, "报表文件 (*.fp3)|*.fp3");
    // A second report's preview loads the pages.
    TExportReport other;
    other.AddMemo(other.AddPage(), 0, 0, 100, 20, "x");
    other.Prepare();
    TfrxPreview view(Form.get());
    view.SetParent(Form.get());
    view.SetReport(other.Report.get());
    EXPECT_EQ(view.PageCount(), 1);
    host->QueueOpenFile({dir.Dir + "pages.fp3"});
    view.Load();
    EXPECT_EQ(view.PageCount(), 5);
    EXPECT_EQ(view.PageNo(), 1);
    EXPECT_TRUE(view.Find("三班", false, true));
    EXPECT_EQ(view.FoundPage(), 2);
    SaveFileWhole(dir.Dir + "broken.fp3", std::string("<?xml version=\"1.0\"?><preparedreport><pages>"));
    EXPECT_ANY_THROW(view.LoadFromFile(dir.Dir + "broken.fp3"));
    EXPECT_EQ(view.PageCount(), 0);
    EXPECT_EQ(view.PageNo(), 0);
}

TEST_F(TPreviewFixture, PrintingThroughThePrintDialogWithAPageRange)
{
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
    TfrxPrinters& list = Printers();
    const int pdfPrinter = list.IndexOf("PDF 文件");
    ASSERT_GE(pdfPrinter, 0);
    list.SetPrinterIndex(pdfPrinter);
    auto oldHook = TfrxPreviewPages::PrintDialogHook;
    TfrxPreviewPages::PrintDialogHook = frxPrintDialog::Execute;
    R.Report->PrintOptions()->ShowDialog = true;
    TScratch dir("printdialog");
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    auto dialog = [] {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* d = dynamic_cast<TfrxPrintDialog*>(Screen->Forms(i)))
                if (d->FormState().Contains(fsModal)) return d;
        return static_cast<TfrxPrintDialog*>(nullptr);
    };

    // Page numbers that are no page list keep the dialog up; then pages 2-3
    // go to a file.
    host->QueueSaveFile({dir.Dir + "out.pdf"});
    std::string type;
    bool stayed = false;
    GuiTest::Later([&] {
        TfrxPrintDialog* d = dialog();
        ASSERT_NE(d, nullptr);
        type = d->TypeL1->Caption();
        d->PageNumbersE->SetText("3-1");
        d->FileCB->SetChecked(true);
        d->OkB->Click();
        GuiTest::Later([&, d] {
            stayed = d->Visible();
            d->PageNumbersE->SetText("2-3");
            d->OkB->Click();
        });
    });
    ASSERT_TRUE(Preview->Print());
    EXPECT_TRUE(stayed);
    EXPECT_EQ(type, "PDF 文件");
    const std::string file = dir.Dir + "out.pdf";
    const std::string text = RunTool("pdftotext '" + file + "' - 2>&1");
    EXPECT_NE(text.find("Page 2"), std::string::npos) << text;
    EXPECT_NE(text.find("Page 3"), std::string::npos);
    EXPECT_EQ(text.find("Page 4"), std::string::npos);
    EXPECT_EQ(text.find("Page 1"), std::string::npos);

    // Cancelling the file dialog prints nothing.
    host->QueueSaveFile({});
    GuiTest::Later([&] {
        TfrxPrintDialog* d = dialog();
        ASSERT_NE(d, nullptr);
        d->FileCB->SetChecked(true);
        d->OkB->Click();
    });
    EXPECT_FALSE(Preview->Print());
    TfrxPreviewPages::PrintDialogHook = oldHook;
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
}

// Printing through a real spooler of the test's own: the print dialog
// offers its queue, two pages go to it as one job that the queue prints,
// and a stopped queue, or one that refuses jobs, fails the print with the
// printing error instead of taking it as printed.
TEST_F(TPreviewFixture, PrintingThroughAPrivateSpoolerQueue)
{
    // The printer lists are read again once the spooler has gone.
    struct TRestore {
        ~TRestore()
        {
            Printer()->Refresh();
            frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
        }
    } restore;
    TPrivateSpooler spooler;
    if (!spooler.Started()) GTEST_SKIP() << "no private spooler: " << spooler.Why();
    const std::string queue = spooler.AddPdfQueue("QzReport");
    Printer()->Refresh();
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
    const std::string title = "qzreport" + std::to_string(getpid()) + "x";
    R.Report->ReportOptions()->Name = title;
    auto oldHook = TfrxPreviewPages::PrintDialogHook;
    TfrxPreviewPages::PrintDialogHook = frxPrintDialog::Execute;
    R.Report->PrintOptions()->ShowDialog = true;
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    std::string type;
    GuiTest::Later([&] {
        TfrxPrintDialog* d = nullptr;
        for (int i = 0; i < Screen->FormCount() && !d; ++i) d = dynamic_cast<TfrxPrintDialog*>(Screen->Forms(i));
        ASSERT_NE(d, nullptr);
        const int index = d->PrintersCB->Items()->IndexOf(queue);
        ASSERT_GE(index, 0) << "the dialog offers the queue";
        d->PrintersCB->SetItemIndex(index);
        d->PrintersCB->OnChange(d->PrintersCB);
        type = d->TypeL1->Caption();
        d->PageNumbersE->SetText("1-2");
        d->OkB->Click();
    });
    ASSERT_TRUE(Preview->Print());
    TfrxPreviewPages::PrintDialogHook = oldHook;
    EXPECT_EQ(type, queue);
    EXPECT_TRUE(host->Messages().empty());
    const auto jobs = spooler.FinishedJobs(queue);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(jobs[0].Completed);
    EXPECT_EQ(jobs[0].Title, title);
    const std::string sent = RunTool("pdftotext '" + jobs[0].Document + "' - 2>&1");
    for (const char* t : {"Page 1", "一班 学员名单", "Page 2"}) EXPECT_NE(sent.find(t), std::string::npos) << t << ": " << sent;
    EXPECT_EQ(sent.find("Page 3"), std::string::npos);
    EXPECT_NE(RunTool("pdfinfo '" + jobs[0].Document + "' 2>&1").find("Pages:           2\n"), std::string::npos);
    ASSERT_FALSE(jobs[0].Printed.empty()) << "the queue printed a file";
    EXPECT_NE(RunTool("pdfinfo '" + jobs[0].Printed + "' 2>&1").find("Pages:           2\n"), std::string::npos);

    R.Report->PrintOptions()->ShowDialog = false;
    struct Case {
        const char* What;
        void (TPrivateSpooler::*Break)(const std::string&);
        const char* Reason;
    } cases[] = {
        {"a stopped queue", &TPrivateSpooler::StopQueue, "stopped"},
        {"a queue refusing jobs", &TPrivateSpooler::RejectJobs, "not accepting"},
    };
    for (const Case& c : cases) {
        (spooler.*c.Break)(queue);
        try {
            R.Report->Print();
            ADD_FAILURE() << c.What << ": the job was taken as printed";
        } catch (const EfrxPrintError& e) {
            EXPECT_NE(e.Message().find(queue), std::string::npos) << c.What << ": " << e.Message();
            EXPECT_NE(e.Message().find(c.Reason), std::string::npos) << c.What << ": " << e.Message();
        }
        // Through the preview the user is told why.
        auto shown = std::make_shared<TRecordingHost>();
        THostScope told(shown);
        EXPECT_FALSE(Preview->Print()) << c.What;
        ASSERT_EQ(shown->Messages().size(), 1u) << c.What;
        EXPECT_NE(shown->Messages()[0].find(c.Reason), std::string::npos) << shown->Messages()[0];
        EXPECT_EQ(spooler.PendingJobs(queue), 0) << c.What << ": no job is held";
        spooler.StartQueue(queue);
    }
    EXPECT_EQ(spooler.FinishedJobs(queue).size(), 1u);
}

// A job that cannot be written fails: the user sees why in an error box,
// Print says false, nothing is left on disk, and the next job prints.
TEST_F(TPreviewFixture, AFailedPrintJobIsReportedNotTakenAsPrinted)
{
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
    TfrxPrinters& list = Printers();
    const int oldIndex = list.PrinterIndex();
    const int pdfPrinter = list.IndexOf("PDF 文件");
    ASSERT_GE(pdfPrinter, 0);
    list.SetPrinterIndex(pdfPrinter);
    TfrxCustomPrinter* printer = list.Printer();
    R.Report->PrintOptions()->ShowDialog = false;
    TScratch dir("printfail");
    std::ofstream(dir.Dir + "plain") << "not a folder";
    std::filesystem::create_directories(dir.Dir + "sub");
    struct Case {
        const char* What;
        std::string Target;
    } cases[] = {
        // The job cannot start.
        {"a folder that does not exist", dir.Dir + "missing/out.pdf"},
        {"a file where the folder should be", dir.Dir + "plain/out.pdf"},
        // Every page is drawn; the finished file cannot take the name.
        {"a name that is a folder", dir.Dir + "sub"},
    };
    for (const Case& c : cases) {
        auto host = std::make_shared<TRecordingHost>();
        THostScope scope(host);
        printer->FileName = c.Target;
        EXPECT_FALSE(Preview->Print()) << c.What;
        const std::vector<std::string> shown = host->Messages();
        ASSERT_EQ(shown.size(), 1u) << c.What;
        EXPECT_NE(shown[0].find(c.Target), std::string::npos) << c.What << ": " << shown[0];
        EXPECT_FALSE(printer->Printing) << c.What;
        // Printed without the preview, the failure reaches the caller as the
        // printing error, whatever the platform raised.
        EXPECT_THROW(R.Report->Print(), EfrxPrintError) << c.What;
    }
    // No scratch file stays behind and the folder named as the file is untouched.
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.Dir)) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"plain", "sub"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Dir + "sub"));

    // The failures left no job open: the next one prints.
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    printer->FileName = dir.Dir + "out.pdf";
    EXPECT_TRUE(Preview->Print());
    EXPECT_TRUE(host->Messages().empty());
    EXPECT_NE(RunTool("pdftotext '" + dir.Dir + "out.pdf' - 2>&1").find("Page 5"), std::string::npos);

    printer->FileName.clear();
    list.SetPrinterIndex(oldIndex);
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
}
