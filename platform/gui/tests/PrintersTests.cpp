// Printing: jobs to PDF files read back with the PDF tools, failing jobs,
// the sheet geometry and the print dialogs answered through the host.
#include "Printers.h"
#include "GuiTesting.h"
#include "PrivateSpooler.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string RunTool(const std::string& cmd)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
    if (!p) return out;
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p.get())) > 0) out.append(buf.data(), n);
    return out;
}

// One field of pdfinfo's report.
std::string InfoField(const std::string& info, const std::string& name)
{
    size_t at = info.find("\n" + name + ":");
    if (at == std::string::npos) return {};
    size_t from = info.find_first_not_of(' ', at + name.size() + 2);
    return info.substr(from, info.find('\n', from) - from);
}

class PrintersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        FDir = fs::temp_directory_path() / ("qzprint-" + std::to_string(::getpid()));
        fs::create_directories(FDir);
        FPrinter = std::make_unique<TPrinter>();
        FPrinter->SetPrinterIndex(FPrinter->Printers()->Count() - 1);   // the PDF printer
    }
    void TearDown() override { if (!getenv("QZ_KEEP_PRINT")) fs::remove_all(FDir); }
    std::string File(const char* name) { return (FDir / name).string(); }
    fs::path FDir;
    std::unique_ptr<TPrinter> FPrinter;
};

TEST_F(PrintersTest, ThreePagesWithChineseTextReadBackFromThePdf)
{
    TPrinter& p = *FPrinter;
    EXPECT_TRUE(p.IsPdfPrinter());
    p.SetPaperSize(DMPAPER_A4);
    p.SetFileName(File("学员.pdf"));
    p.SetTitle("学员名单");
    p.BeginDoc();
    // 一 and 页 share their glyphs with radical forms, which must not come back.
    const char* lines[] = {"第一页 学员张三", "第二页 教练李四", "第三页 考试车辆"};
    for (int page = 0; page < 3; ++page) {
        if (page) p.NewPage();
        EXPECT_EQ(p.PageNumber(), page + 1);
        TCanvas* c = p.Canvas();
        c->Font()->SetName("宋体");
        c->Font()->SetSize(14);
        c->Rectangle(100, 100, p.PageWidth() - 100, p.PageHeight() - 100);
        c->TextOut(p.PageWidth() / 10, p.PageHeight() / 10, lines[page]);
    }
    EXPECT_FALSE(fs::exists(File("学员.pdf"))) << "the file appears only once the job is done";
    p.EndDoc();
    EXPECT_FALSE(p.Printing());
    ASSERT_TRUE(fs::exists(File("学员.pdf")));
    EXPECT_EQ(std::distance(fs::directory_iterator(FDir), fs::directory_iterator()), 1) << "no scratch file left";

    std::string info = RunTool("pdfinfo '" + File("学员.pdf") + "'");
    EXPECT_EQ(InfoField(info, "Pages"), "3") << info;
    EXPECT_EQ(InfoField(info, "Page size"), "595 x 842 pts (A4)") << info;
    EXPECT_NE(info.find("学员名单"), std::string::npos) << info;
    for (int page = 1; page <= 3; ++page) {
        std::string text = RunTool("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) +
                               " '" + File("学员.pdf") + "' -");
        EXPECT_NE(text.find(lines[page - 1]), std::string::npos) << "page " << page << ": " << text;
    }
    EXPECT_EQ(RunTool("qpdf --check '" + File("学员.pdf") + "' >/dev/null 2>&1; echo $?"), "0\n");
}

TEST_F(PrintersTest, LandscapeAndTheFontFollowThePrinterResolution)
{
    TPrinter& p = *FPrinter;
    p.SetPaperSize(DMPAPER_A5);
    p.SetOrientation(poLandscape);
    EXPECT_DOUBLE_EQ(p.PaperWidthMM(), 210);
    EXPECT_DOUBLE_EQ(p.PaperHeightMM(), 148);
    EXPECT_EQ(p.PageWidth(), int(std::lround(210 * 600 / 25.4)));
    p.Canvas()->Font()->SetSize(12);
    EXPECT_EQ(p.Canvas()->Font()->Height(), -100);   // 12 points at 600 dpi
    EXPECT_EQ(GetDeviceCaps(p.Canvas()->Handle(), LOGPIXELSY), 600);
    p.SetFileName(File("a5.pdf"));
    p.BeginDoc();
    p.Canvas()->TextOut(50, 50, "横向");
    p.EndDoc();
    std::string info = RunTool("pdfinfo '" + File("a5.pdf") + "'");
    EXPECT_EQ(InfoField(info, "Page size"), "595 x 420 pts (A5)") << info;
}

TEST_F(PrintersTest, CustomPaperSizesAndBadOnes)
{
    TPrinter& p = *FPrinter;
    p.SetCustomPaperSize(100, 50);
    EXPECT_EQ(p.PaperSize(), DMPAPER_USER);
    EXPECT_DOUBLE_EQ(p.PaperWidthMM(), 100);
    EXPECT_THROW(p.SetCustomPaperSize(0, 50), EPrinter);
    EXPECT_THROW(p.SetPaperSize(48), EPrinter);
    double w = 0, h = 0;
    ASSERT_TRUE(StandardPaperSize(DMPAPER_LETTER, w, h));
    EXPECT_NEAR(w, 215.9, 0.1);
    EXPECT_NEAR(h, 279.4, 0.1);
}

TEST_F(PrintersTest, JobErrorsRaiseAndLeaveNothingPrinted)
{
    TPrinter& p = *FPrinter;
    // No file for the PDF printer.
    p.SetFileName("");
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    EXPECT_FALSE(p.Printing());
    // A folder that does not exist.
    p.SetFileName(File("nowhere/x.pdf"));
    try {
        p.BeginDoc();
        FAIL() << "BeginDoc into a missing folder";
    } catch (EPrinter& e) {
        EXPECT_NE(e.Message().find("x.pdf"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(p.Printing());
    // Page calls outside a job.
    EXPECT_THROW(p.NewPage(), EPrinter);
    EXPECT_THROW(p.EndDoc(), EPrinter);
    // A printer queue that is not there refuses the job with a reason.
    std::ofstream(File("job.pdf")) << "%PDF-1.4\n";
    try {
        PrintFileToQueue("qz-no-such-printer", File("job.pdf"), "t");
        FAIL() << "a job for a missing queue";
    } catch (EPrinter& e) {
        EXPECT_NE(e.Message().find("qz-no-such-printer"), std::string::npos) << e.Message();
    }
}

TEST_F(PrintersTest, AbortDropsTheDocumentAndKeepsAnEarlierFile)
{
    TPrinter& p = *FPrinter;
    p.SetFileName(File("old.pdf"));
    std::ofstream(File("old.pdf")) << "earlier";
    p.BeginDoc();
    EXPECT_THROW(p.SetPrinterIndex(0), EPrinter);   // not while printing
    EXPECT_THROW(p.BeginDoc(), EPrinter);
    p.Canvas()->TextOut(10, 10, "作废");
    p.Abort();
    EXPECT_TRUE(p.Aborted());
    EXPECT_FALSE(p.Printing());
    std::ifstream in(File("old.pdf"));
    std::string s;
    in >> s;
    EXPECT_EQ(s, "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(FDir), fs::directory_iterator()), 1);
}

TEST_F(PrintersTest, DialogsAnsweredThroughTheHost)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    std::unique_ptr<TPrinter> keep = std::move(FPrinter);
    TPrinter* p = SetPrinter(std::move(keep));
    host->QueuePrintDialog([](TPrintDialogData& d) {
        d.Copies = 3;
        d.PrintRange = prPageNums;
        d.FromPage = 9;
        d.ToPage = 2;
        d.Landscape = true;
        return true;
    });
    TPrintDialog dlg;
    dlg.Options = {poPageNums};
    dlg.MinPage = 1;
    dlg.MaxPage = 5;
    ASSERT_TRUE(dlg.Execute());
    auto calls = host->CallsOf(THostCallKind::PrintDialog);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].Print.AllowPageNums);
    EXPECT_EQ(calls[0].Print.Printers.back(), p->PrinterName());
    EXPECT_EQ(dlg.Copies, 3);
    EXPECT_EQ(dlg.FromPage, 2);
    EXPECT_EQ(dlg.ToPage, 5);   // brought inside the pages there are
    EXPECT_EQ(p->Copies(), 3);
    EXPECT_EQ(p->Orientation(), poLandscape);

    host->QueuePrinterSetup([](TPrintDialogData& d) {
        d.PaperSize = DMPAPER_A3;
        d.Landscape = false;
        return true;
    });
    TPrinterSetupDialog setup;
    ASSERT_TRUE(setup.Execute());
    EXPECT_EQ(p->PaperSize(), DMPAPER_A3);
    EXPECT_EQ(p->Orientation(), poPortrait);
    // Cancelled: nothing changes.
    EXPECT_FALSE(setup.Execute());
    EXPECT_EQ(p->PaperSize(), DMPAPER_A3);
    SetPrinter(nullptr);
}

// Jobs through a real spooler of the test's own: the printer sees its
// queues, a job arrives whole (the document the spooler took reads back with
// its pages and Chinese text) and the queue prints it; a stopped queue, and
// one that refuses jobs, fail the job with the spooler's reason instead of
// taking it as printed.
TEST_F(PrintersTest, JobsThroughAPrivateSpooler)
{
    TPrivateSpooler spooler;
    if (!spooler.Started()) GTEST_SKIP() << "no private spooler: " << spooler.Why();
    const std::string queue = spooler.AddPdfQueue("QzPrinters");
    TPrinter p;
    const int index = p.Printers()->IndexOf(queue);
    ASSERT_GE(index, 0) << "the queue is among the printers";
    p.SetPrinterIndex(index);
    EXPECT_FALSE(p.IsPdfPrinter());
    EXPECT_TRUE(p.HasPhysicalPrinters());
    const std::string title = "qzprinters" + std::to_string(::getpid()) + "x";
    p.SetTitle(title);
    const char* lines[] = {"第一页 学员张三 page one", "第二页 教练李四 page two"};
    // Two pages; between them, during() may break the queue.
    auto print = [&](const std::function<void()>& during) {
        p.BeginDoc();
        for (int page = 0; page < 2; ++page) {
            if (page) p.NewPage();
            if (page && during) during();
            TCanvas* c = p.Canvas();
            c->Font()->SetName("宋体");
            c->Font()->SetSize(14);
            c->TextOut(p.PageWidth() / 10, p.PageHeight() / 10, lines[page]);
        }
        p.EndDoc();
    };
    print(nullptr);
    auto jobs = spooler.FinishedJobs(queue);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(jobs[0].Completed);
    EXPECT_EQ(jobs[0].Title, title);
    EXPECT_EQ(InfoField(RunTool("pdfinfo '" + jobs[0].Document + "' 2>&1"), "Pages"), "2");
    for (int page = 1; page <= 2; ++page) {
        const std::string text = RunTool("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                         " '" + jobs[0].Document + "' - 2>&1");
        EXPECT_NE(text.find(lines[page - 1]), std::string::npos) << "page " << page << ": " << text;
    }
    ASSERT_FALSE(jobs[0].Printed.empty()) << "the queue printed a file";
    EXPECT_EQ(InfoField(RunTool("pdfinfo '" + jobs[0].Printed + "' 2>&1"), "Pages"), "2");

    struct Case {
        const char* What;
        void (TPrivateSpooler::*Break)(const std::string&);
        bool WhileDrawing;
        const char* Reason;
    } cases[] = {
        {"stopped before the job", &TPrivateSpooler::StopQueue, false, "stopped"},
        {"stopped while the pages are drawn", &TPrivateSpooler::StopQueue, true, "stopped"},
        {"refusing jobs", &TPrivateSpooler::RejectJobs, false, "not accepting"},
    };
    for (const Case& c : cases) {
        auto breakQueue = [&] { (spooler.*c.Break)(queue); };
        try {
            if (!c.WhileDrawing) breakQueue();
            print(c.WhileDrawing ? std::function<void()>(breakQueue) : nullptr);
            ADD_FAILURE() << c.What << ": the job was taken as printed";
        } catch (EPrinter& e) {
            EXPECT_NE(e.Message().find(queue), std::string::npos) << c.What << ": " << e.Message();
            EXPECT_NE(e.Message().find(c.Reason), std::string::npos) << c.What << ": " << e.Message();
        }
        EXPECT_FALSE(p.Printing()) << c.What;
        EXPECT_EQ(spooler.PendingJobs(queue), 0) << c.What << ": no job is held";
        spooler.StartQueue(queue);
    }
    EXPECT_EQ(spooler.FinishedJobs(queue).size(), 1u);
}

} // namespace
