// The export filters' options dialogs, the pages an export takes, the
// progress window that can cancel an export, and the deflate stream.
#include "Dialogs.h"
#include "ExportTestSupport.h"
#include "GuiTesting.h"
#include "RecordingHost.h"
#include "StdCtrls.h"
#include "frxExportImage.h"
#include "frxExportPDF.h"
#include "frxExportRTF.h"
#include "frxExportXLS.h"
#include "frxGZip.h"
#include "frxProgress.h"
#include "frxUtils.h"
#include "frxZLib.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <random>

using namespace exporttest;

// ---- pages -----------------------------------------------------------------------------------

TEST(ExportPages, PageListsAndBadRanges)
{
    struct Case {
        const char* Text;
        int Pages;
        std::vector<int> Want;   // empty: an error naming the text
    };
    const Case cases[] = {
        {"", 3, {1, 2, 3}},
        {"  ", 3, {1, 2, 3}},
        {"1,3-5", 6, {1, 3, 4, 5}},
        {" 4 , 1 - 2 ", 6, {4, 1, 2}},
        {"1,,3", 3, {1, 3}},
        {"4-", 6, {4, 5, 6}},
        {"2,9", 3, {2}},                  // pages past the end are left out
        {"3-100000000", 4, {3, 4}},
        {"9", 3, {}},                     // names no page of the report
        {"x", 3, {}},
        {"1,a-3", 3, {}},
        {"0", 3, {}},
        {"3-1", 3, {}},
        {"2-,3", 3, {}},
        {"1--3", 3, {}},
        {"-2", 3, {}},
        {"1234567890", 3, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        if (!c.Want.empty()) {
            EXPECT_EQ(frxUtils::SelectedPages(c.Text, c.Pages), c.Want);
            continue;
        }
        try {
            frxUtils::SelectedPages(c.Text, c.Pages);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(std::string("\"") + c.Text + "\""), std::string::npos) << e.Message();
        }
    }
}

namespace {

// A report of the given number of pages, each with one text "Page N".
void MakePages(TExportReport& r, int pages)
{
    for (int i = 1; i <= pages; ++i) r.AddMemo(r.AddPage(), 0, 0, 200, 20, "Page " + std::to_string(i));
    r.Prepare();
    ASSERT_EQ(r.Report->PreviewPages()->Count(), pages);
}

std::string PdfText(const std::string& file) { return RunTool("pdftotext -layout '" + file + "' - 2>&1"); }

int PdfPages(const std::string& file)
{
    const std::string info = RunTool("pdfinfo '" + file + "' 2>&1");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

}  // namespace

TEST(ExportPages, OnlyTheChosenPagesAreWrittenAndABadRangeTouchesNoFile)
{
    TScratch dir("pages");
    TExportReport r;
    MakePages(r, 5);
    TfrxPDFExport pdf;
    pdf.ShowDialog = false;
    pdf.FileName = dir.Dir + "out.pdf";
    pdf.PageNumbers = "2,4-5";
    ASSERT_TRUE(r.Report->Export(&pdf));
    EXPECT_EQ(PdfPages(pdf.FileName), 3);
    const std::string text = PdfText(pdf.FileName);
    EXPECT_EQ(text.find("Page 1"), std::string::npos);
    EXPECT_LT(text.find("Page 2"), text.find("Page 4"));
    EXPECT_LT(text.find("Page 4"), text.find("Page 5"));

    // The current page: the one the preview shows, the first without one.
    pdf.PageNumbers.clear();
    pdf.CurPage = true;
    r.Report->PreviewPages()->ShownPage = 3;
    ASSERT_TRUE(r.Report->Export(&pdf));
    EXPECT_NE(PdfText(pdf.FileName).find("Page 3"), std::string::npos);
    EXPECT_EQ(PdfPages(pdf.FileName), 1);

    const std::string before = ReadFile(pdf.FileName);
    pdf.CurPage = false;
    for (const char* bad : {"2-x", "7-9"}) {
        pdf.PageNumbers = bad;
        EXPECT_THROW(r.Report->Export(&pdf), Exception) << bad;
        EXPECT_EQ(ReadFile(pdf.FileName), before);
    }
}

// ---- options dialogs -------------------------------------------------------------------------

namespace {

struct TDialogTest : ::testing::Test {
    void SetUp() override
    {
        GuiTest::Init();
        Scope = std::make_unique<THostScope>(Host);
    }
    void TearDown() override { Scope.reset(); }

    // Runs the filter's dialog: drive sees the dialog while it is up and
    // ends it as a user would.
    template <class D> int Run(TfrxCustomExportFilter& filter, std::function<void(D*)> drive)
    {
        bool seen = false;
        GuiTest::Later([&] {
            D* dlg = nullptr;
            for (int i = 0; i < Screen->FormCount() && !dlg; ++i) {
                dlg = dynamic_cast<D*>(Screen->Forms(i));
                if (dlg && !dlg->FormState().Contains(fsModal)) dlg = nullptr;
            }
            seen = dlg != nullptr;
            if (!dlg) return;
            drive(dlg);
        });
        const int result = filter.ShowModal();
        EXPECT_TRUE(seen) << "the dialog was not up";
        return result;
    }
    std::shared_ptr<TRecordingHost> Host = std::make_shared<TRecordingHost>();
    std::unique_ptr<THostScope> Scope;
};

void ClickOk(TfrxExportDialog* dlg) { dlg->OkButton->Click(); }

}  // namespace

TEST_F(TDialogTest, PdfOptionsAndPageChoiceReachTheFilter)
{
    TfrxPDFExport pdf;
    pdf.Compressed = true;
    pdf.EmbeddedFonts = false;
    Host->QueueSaveFile({"/tmp/学员.pdf"});
    std::string caption, filter;
    const int result = Run<TfrxPDFExportDialog>(pdf, [&](TfrxPDFExportDialog* d) {
        caption = d->Caption();
        EXPECT_TRUE(d->AllRB->Checked());
        EXPECT_TRUE(d->CompressedCB->Checked());
        EXPECT_FALSE(d->EmbeddedCB->Checked());
        d->CompressedCB->SetChecked(false);
        d->EmbeddedCB->SetChecked(true);
        d->OpenCB->SetChecked(true);
        d->PageNumbersE->SetText("1,3-5");   // typing chooses the page numbers
        EXPECT_TRUE(d->PageNumbersRB->Checked());
        ClickOk(d);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(caption, "导出为PDF文件");
    EXPECT_FALSE(pdf.Compressed);
    EXPECT_TRUE(pdf.EmbeddedFonts);
    EXPECT_TRUE(pdf.OpenAfterExport);
    EXPECT_EQ(pdf.PageNumbers, "1,3-5");
    EXPECT_FALSE(pdf.CurPage);
    EXPECT_EQ(pdf.FileName, "/tmp/学员.pdf");
    const auto saves = Host->CallsOf(THostCallKind::SaveFile);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].Request.Filter, "PDF 文件 (*.pdf)|*.pdf");
    EXPECT_EQ(saves[0].Request.DefaultExt, "pdf");
}

TEST_F(TDialogTest, RtfAndWorkbookOptionsReachTheFilter)
{
    TfrxRTFExport rtf;
    Host->QueueSaveFile({"/tmp/a.rtf"});
    EXPECT_EQ(Run<TfrxRTFExportDialog>(rtf, [](TfrxRTFExportDialog* d) {
                  EXPECT_EQ(d->Caption(), "导出为RTF");
                  EXPECT_EQ(d->PageBreaksCB->Caption(), "分页");
                  d->WCB->SetChecked(false);
                  d->PageBreaksCB->SetChecked(false);
                  d->PicturesCB->SetChecked(false);
                  d->OpenCB->SetChecked(true);
                  d->CurPageRB->SetChecked(true);
                  ClickOk(d);
              }),
              1);
    EXPECT_FALSE(rtf.Wysiwyg);
    EXPECT_FALSE(rtf.ExportPageBreaks);
    EXPECT_FALSE(rtf.ExportPictures);
    EXPECT_TRUE(rtf.OpenAfterExport);
    EXPECT_TRUE(rtf.CurPage);
    EXPECT_EQ(rtf.PageNumbers, "");
    EXPECT_EQ(rtf.FileName, "/tmp/a.rtf");

    TfrxXLSExport xls;
    Host->QueueSaveFile({"/tmp/a.xls"});
    EXPECT_EQ(Run<TfrxXLSExportDialog>(xls, [](TfrxXLSExportDialog* d) {
                  EXPECT_EQ(d->PageNumbersRB->Caption(), "页:");
                  EXPECT_TRUE(d->MergeCB->Checked());
                  d->MergeCB->SetChecked(false);
                  d->StylesCB->SetChecked(false);
                  d->PicturesCB->SetChecked(false);
                  d->WCB->SetChecked(false);
                  d->OpenExcelCB->SetChecked(true);
                  ClickOk(d);
              }),
              1);
    EXPECT_FALSE(xls.MergeCells);
    EXPECT_FALSE(xls.ExportStyles);
    EXPECT_FALSE(xls.ExportPictures);
    EXPECT_FALSE(xls.Wysiwyg);
    EXPECT_TRUE(xls.OpenExcelAfterExport);
    EXPECT_EQ(xls.FileName, "/tmp/a.xls");
    EXPECT_EQ(Host->CallsOf(THostCallKind::SaveFile).back().Request.Filter, "Excel 文件 (*.xls)|*.xls");
}

TEST_F(TDialogTest, ImageOptionsQualityOnlyForJpegAndNotANumberFails)
{
    TfrxJPEGExport jpeg;
    Host->QueueSaveFile({"/tmp/p.jpg"});
    EXPECT_EQ(Run<TfrxIMGExportDialog>(jpeg, [](TfrxIMGExportDialog* d) {
                  EXPECT_EQ(d->Quality->Text(), "90");
                  EXPECT_TRUE(d->Quality->Enabled());
                  EXPECT_TRUE(d->CropPage->Checked());
                  d->Quality->SetText("55");
                  d->CropPage->SetChecked(false);
                  d->Mono->SetChecked(true);
                  ClickOk(d);
              }),
              1);
    EXPECT_EQ(jpeg.JPEGQuality(), 55);
    EXPECT_FALSE(jpeg.CropImages);
    EXPECT_TRUE(jpeg.Monochrome);
    EXPECT_EQ(Host->CallsOf(THostCallKind::SaveFile).back().Request.Filter, "Jpeg 图 (*.jpg)|*.jpg");

    // Not a number: the conversion error before anything is exported.
    EXPECT_THROW(Run<TfrxIMGExportDialog>(jpeg, [](TfrxIMGExportDialog* d) {
                     d->Quality->SetText("九十");
                     ClickOk(d);
                 }),
                 EConvertError);
    EXPECT_EQ(jpeg.JPEGQuality(), 55);

    TfrxBMPExport bmp;
    Host->QueueSaveFile({"/tmp/p.bmp"});
    EXPECT_EQ(Run<TfrxIMGExportDialog>(bmp, [](TfrxIMGExportDialog* d) {
                  EXPECT_FALSE(d->Quality->Enabled());
                  ClickOk(d);
              }),
              1);
    EXPECT_EQ(Host->CallsOf(THostCallKind::SaveFile).back().Request.Filter, "BMP 图 (*.bmp)|*.bmp");
}

TEST_F(TDialogTest, CancelLeavesTheFilterAndBadPageNumbersKeepTheDialogOpen)
{
    TfrxPDFExport pdf;
    pdf.FileName = "old.pdf";
    // Cancel in the dialog: nothing is taken, no file is asked for.
    EXPECT_EQ(Run<TfrxPDFExportDialog>(pdf, [](TfrxPDFExportDialog* d) {
                  d->CompressedCB->SetChecked(false);
                  d->CancelButton->Click();
              }),
              2);
    EXPECT_TRUE(pdf.Compressed);
    EXPECT_TRUE(Host->CallsOf(THostCallKind::SaveFile).empty());

    // Cancel in the save dialog turns the OK into a cancel.
    Host->QueueSaveFile({});
    EXPECT_EQ(Run<TfrxPDFExportDialog>(pdf, ClickOk), 2);
    EXPECT_EQ(pdf.FileName, "old.pdf");

    // Page numbers that are no page list: the error shows and the dialog
    // stays up until they are mended.
    Host->QueueSaveFile({"/tmp/b.pdf"});
    bool stayed = false;
    EXPECT_EQ(Run<TfrxPDFExportDialog>(pdf, [&](TfrxPDFExportDialog* d) {
                  d->PageNumbersRB->SetChecked(true);
                  d->PageNumbersE->SetText("3-1");
                  ClickOk(d);
                  GuiTest::Later([&stayed, d] {
                      stayed = d->Visible() && d->ModalResult() == mrNone;
                      d->PageNumbersE->SetText("1-3");
                      ClickOk(d);
                  });
              }),
              1);
    EXPECT_TRUE(stayed);
    const auto boxes = Host->Messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("\"3-1\""), std::string::npos);
    EXPECT_EQ(pdf.PageNumbers, "1-3");
}

TEST_F(TDialogTest, DialogLayoutLooksRight)
{
    TfrxPDFExportDialog dlg;
    dlg.Show();
    GuiTest::ProcessEvents();
    // Every control lies inside the window and the buttons below the options.
    for (TControl* c : {static_cast<TControl*>(dlg.GroupPageRange), static_cast<TControl*>(dlg.GroupQuality),
                        static_cast<TControl*>(dlg.OpenCB), static_cast<TControl*>(dlg.OkButton),
                        static_cast<TControl*>(dlg.CancelButton)}) {
        EXPECT_LE(c->Left() + c->Width(), dlg.ClientWidth()) << c->Name();
        EXPECT_LE(c->Top() + c->Height(), dlg.ClientHeight()) << c->Name();
    }
    EXPECT_GE(dlg.OkButton->Top(), dlg.OpenCB->Top() + dlg.OpenCB->Height());
    EXPECT_GE(dlg.GroupQuality->Top(), dlg.GroupPageRange->Top() + dlg.GroupPageRange->Height());
    GuiTest::SavePng(&dlg, std::string(QZ_BINARY_DIR) + "/report_pdf_export_dialog.png");
    TfrxIMGExportDialog img;
    img.Show();
    GuiTest::ProcessEvents();
    GuiTest::SavePng(&img, std::string(QZ_BINARY_DIR) + "/report_image_export_dialog.png");
}

// ---- progress and cancelling ------------------------------------------------------------------

TEST(ExportProgress, CancellingStopsAndKeepsTheOldFile)
{
    GuiTest::Init();
    TScratch dir("cancel");
    TExportReport r;
    MakePages(r, 4);
    const std::string file = dir.Dir + "out.pdf";
    SaveFileWhole(file, std::string("old contents"));

    std::vector<std::string> messages;
    r.Report->OnProgress = [&](TfrxReport* rep, TfrxProgressType type, int page) {
        if (type != ptExporting) return;
        TfrxProgress* w = rep->ProgressWindow();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->Visible());
        if (page == 2) w->CancelB->Click();
    };
    r.Report->OnProgressStop = [&](TfrxReport* rep, TfrxProgressType, int) {
        messages.push_back(rep->ProgressWindow() ? rep->ProgressWindow()->Message() : "");
    };
    TfrxPDFExport pdf;
    pdf.ShowDialog = false;
    pdf.FileName = file;
    EXPECT_FALSE(r.Report->Export(&pdf));
    EXPECT_EQ(ReadFile(file), "old contents");
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Dir)) files += e.is_regular_file();
    EXPECT_EQ(files, 1) << "a scratch file was left";
    EXPECT_EQ(messages, std::vector<std::string>{"正输出第 2 页"});
    EXPECT_EQ(r.Report->ProgressWindow(), nullptr);

    // Without a cancel the export runs to the end, the window gone after it.
    r.Report->OnProgress = nullptr;
    EXPECT_TRUE(r.Report->Export(&pdf));
    EXPECT_NE(PdfText(file).find("Page 4"), std::string::npos);
    EXPECT_EQ(r.Report->ProgressWindow(), nullptr);
}

TEST(ExportProgress, CancellingWhileTheWorkbookIsFilledWritesNothing)
{
    GuiTest::Init();
    TScratch dir("cancelxls");
    TExportReport r;
    MakePages(r, 2);
    const std::string file = dir.Dir + "out.xls";
    SaveFileWhole(file, std::string("old workbook"));
    // The workbook's own window shows its stages; cancel at the columns.
    std::vector<std::string> stages;
    std::function<void()> watch = [&] {
        for (int i = 0; i < Screen->FormCount(); ++i) {
            auto* w = dynamic_cast<TfrxProgress*>(Screen->Forms(i));
            if (!w || !w->Visible() || w == r.Report->ProgressWindow()) continue;
            if (stages.empty() || stages.back() != w->Message()) stages.push_back(w->Message());
            if (w->Message() == "正在建立栏") {
                w->CancelB->Click();
                return;
            }
        }
        GuiTest::Later(watch);
    };
    GuiTest::Later(watch);
    TfrxXLSExport xls;
    xls.ShowDialog = false;
    xls.FileName = file;
    EXPECT_FALSE(r.Report->Export(&xls));
    EXPECT_EQ(ReadFile(file), "old workbook");
    EXPECT_EQ(stages, (std::vector<std::string>{"正在建立列", "正在建立栏"}));
}

// ---- deflate stream ---------------------------------------------------------------------------

namespace {

std::string Inflate(const std::string& z)
{
    std::string out(1 << 22, '\0');
    uLongf size = uLongf(out.size());
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(z.data()),
                         uLong(z.size())),
              Z_OK);
    out.resize(size);
    return out;
}

std::string Bytes(TMemoryStream& s) { return std::string(static_cast<const char*>(s.Memory()), size_t(s.Size())); }

}  // namespace

TEST(ZStream, DeflatesThroughItsBufferAndRefusesReadingAndSeeking)
{
    // Random bytes do not shrink, so the output passes the 64 KB buffer.
    std::mt19937 gen(7);
    std::string data(200000, '\0');
    for (char& c : data) c = char(gen());
    TMemoryStream target;
    target.WriteBuffer("head", 4);   // output goes on from the target's position
    int progress = 0;
    {
        TZCompressionStream z(zcMax, &target);
        z.OnProgress = [&](TObject*) { ++progress; };
        z.WriteBuffer(data.data(), 150000);
        EXPECT_EQ(z.Seek(0, soCurrent), 150000);
        z.WriteBuffer(data.data() + 150000, 50000);
        char b;
        EXPECT_THROW(z.Read(&b, 1), EZCompressionError);
        EXPECT_THROW(z.Seek(0, soBeginning), EZCompressionError);
        EXPECT_THROW(z.Seek(1, soCurrent), EZCompressionError);
        try {
            z.Seek(5, soEnd);
        } catch (const EZCompressionError& e) {
            EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
        }
    }   // destroying it finishes the data
    EXPECT_GE(progress, 3);
    const std::string all = Bytes(target);
    EXPECT_EQ(all.substr(0, 4), "head");
    EXPECT_EQ(Inflate(all.substr(4)), data);
}

TEST(ZStream, WholeStreamHelperAndLevels)
{
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "学员名单 " + std::to_string(i % 10) + "\n";
    TMemoryStream source;
    source.WriteBuffer(text.data(), int(text.size()));
    size_t sizeAt[2];
    int k = 0;
    for (TZCompressionLevel level : {zcNone, zcMax}) {
        TMemoryStream dest;
        frxGZip::CompressStream(&source, &dest, level);
        EXPECT_EQ(Inflate(Bytes(dest)), text);
        sizeAt[k++] = size_t(dest.Size());
    }
    EXPECT_GT(sizeAt[0], text.size());       // stored, not compressed
    EXPECT_LT(sizeAt[1] * 20, text.size());  // repeated text shrinks
    // Nothing in still makes a whole deflate stream.
    TMemoryStream empty, dest;
    frxGZip::CompressStream(&empty, &dest, zcDefault);
    EXPECT_EQ(Inflate(Bytes(dest)), "");
}
