// The prepared-report file, drawing a prepared page, printing and the
// printer list.
#include "EngineFixture.h"
#include "ExportTestSupport.h"

#include "Graphics.h"
#include "GuiTesting.h"
#include "Streams.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include "frxDrawText.h"
#include "frxPrinter.h"
#include "frxUtils.h"
#include "frxXML.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

using namespace enginetest;

TEST(PreparedPages, FileRoundTripKeepsPagesOutlineAndAnchors)
{
    TReportFixture f;
    f.Data.push_back(SixStudents());
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 400);
    md->SetDataSet(s);
    md->OutlineText = "s.\"Name\"";
    f.AddMemo(md, "Name", 0, 0, 200, 18, "[s.\"Name\"] 第 [Page#] 页");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    f.Pages()->AddAnchor("end");
    const std::string before = f.Dump();
    ASSERT_GT(f.Pages()->Count(), 2);

    TMemoryStream ms;
    f.Pages()->SaveToStream(&ms);
    std::string bytes(static_cast<const char*>(ms.Memory()), size_t(ms.Size()));
    EXPECT_NE(bytes.find("<preparedreport>"), std::string::npos);
    EXPECT_NE(bytes.find(" ld=\"0\""), std::string::npos);   // the third page on is deferred
    EXPECT_LT(bytes.find("<previewpages"), bytes.find("<outline"));
    EXPECT_LT(bytes.find("<outline"), bytes.find("<sourcepages"));
    EXPECT_LT(bytes.find("<outline"), bytes.find("<anchors"));
    EXPECT_LT(bytes.find("<anchors"), bytes.find("<report"));
    EXPECT_LT(bytes.find("<report"), bytes.find("<sourcepages"));
    EXPECT_LT(bytes.find("<sourcepages"), bytes.find("<dictionary"));
    // The first memo is stored under the short name "m1", which the dictionary resolves.
    EXPECT_NE(bytes.find("<m1 "), std::string::npos);
    EXPECT_NE(bytes.find("<m1 name=\"Page0.Name\""), std::string::npos);

    TReportFixture g;
    ms.SetPosition(0);
    g.Pages()->LoadFromStream(&ms);
    EXPECT_EQ(g.Dump(), before);
    EXPECT_EQ(g.Pages()->GetAnchorPage("END"), f.Pages()->GetAnchorPage("end"));
    EXPECT_EQ(g.Pages()->GetAnchorPage("nothing"), 1);
    g.Pages()->Outline()->LevelRoot();
    EXPECT_EQ(g.Pages()->Outline()->Count(), 6);
    std::string text;
    int page = -1, top = -1;
    g.Pages()->Outline()->GetItem(2, text, page, top);
    EXPECT_EQ(text, "张三");
    EXPECT_EQ(page, 1);   // two 400-pixel rows fit a page
}

TEST(PreparedPages, BrokenFilesAreRefusedAndLeaveNoPages)
{
    for (const std::string bytes : {std::string("not xml"), std::string("<?xml version=\"1.0\"?><other/>"),
                                    std::string("<?xml version=\"1.0\"?><preparedreport><previewpages>"
                                                "<page0><zz1 l=\"1\"/></page0></previewpages></preparedreport>")}) {
        TReportFixture f;
        TMemoryStream ms;
        ms.Write(bytes.data(), int64_t(bytes.size()));
        ms.SetPosition(0);
        try {
            f.Pages()->LoadFromStream(&ms);
            // A file whose objects name nothing known loads as empty pages.
            for (int i = 0; i < f.Pages()->Count(); ++i) EXPECT_TRUE(f.Pages()->GetPage(i));
        } catch (const std::exception&) {
            EXPECT_EQ(f.Pages()->Count(), 0);
        }
    }
}

TEST(PreparedPages, DrawsAPageWithWrappedChineseText)
{
    TReportFixture f;
    auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 200);
    TfrxMemoView* m = f.AddMemo(title, "Notice", 20, 20, 260, 120,
                                "驾校学员须知：学员应按时参加培训，遵守教练员的指导，爱护教练车辆，"
                                "注意安全。<b>考试前</b>请携带身份证。");
    m->AllowHTMLTags = true;
    m->Frame()->Typ = TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    m->Font()->SetName("宋体");
    m->Font()->SetSize(12);
    m->SetParentFont(false);
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    TBitmap bmp(400, 260);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 400, 260));
    f.Pages()->DrawPage(0, bmp.Canvas(), 1, 1, -10 * fr01cm, -10 * fr01cm);   // the page's margins
    GuiTest::SavePng(&bmp, std::string(QZ_BINARY_DIR) + "/report_chinese_memo.png");
    // Dark pixels inside the memo on more than one text line: the text wrapped.
    auto darkRows = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 24; x < 276; ++x)
                if ((ColorToRGB(bmp.Canvas()->Pixels(x, y)) & 0xFF) < 100) {
                    ++n;
                    break;
                }
        return n;
    };
    EXPECT_GT(darkRows(22, 40), 3);
    EXPECT_GT(darkRows(42, 60), 3);
    // The frame: left edge of the memo drawn.
    EXPECT_EQ(ColorToRGB(bmp.Canvas()->Pixels(20, 80)) & 0xFFFFFF, 0u);
}

TEST(TextLayout, NeverSplitsACharacterAndHasNoLengthLimit)
{
    TfrxDrawText d;
    TfrxFont font;
    font.SetName("宋体");
    font.SetSize(10);
    d.ApplyFont(&font);
    d.SetLayoutOptions(true, false, 0, true, false);
    d.SetSpacing(2, 0, 0);
    TRect r = Rect(0, 0, 50, 1000);
    d.SetArea(r, r, 1, 1);
    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += "驾校学员";
    d.BuildLines({chinese});
    ASSERT_GT(d.LineCount(), 5);
    std::string joined;
    for (int i = 0; i < d.LineCount(); ++i) {
        std::string line = d.Line(i);
        EXPECT_TRUE(IsValidUtf8(line)) << i;
        EXPECT_EQ(line.find('-'), std::string::npos);   // no hyphen between halves of a character
        joined += line;
    }
    EXPECT_EQ(joined, chinese);
    // A paragraph far beyond 4,096 characters and a word beyond 255.
    std::string longWord(6000, 'x');
    d.BuildLines({longWord + " " + longWord});
    EXPECT_GT(d.LineCount(), 10);
    // A malformed colour in data text stays text.
    d.SetLayoutOptions(true, true, 0, false, false);
    d.BuildLines({"<font color=\"#ZZ\">a</font>"});
    EXPECT_EQ(d.StripTags("<font color=\"#GG0000\">x"), "<font color=\"#GG0000\">x");
    TBitmap bmp(100, 100);
    EXPECT_NO_THROW(d.DrawLines(bmp.Canvas(), frxClass::haLeft, frxClass::vaTop));
}

TEST(TextLayout, TagsAndOverflow)
{
    TfrxDrawText d;
    TfrxFont font;
    d.ApplyFont(&font);
    d.SetLayoutOptions(true, true, 0, false, false);
    d.SetSpacing(2, 0, 0);
    TRect r = Rect(0, 0, 1000, int(d.LineStep() * 4));
    d.SetArea(r, r, 1, 1);
    std::vector<std::string> lines;
    for (int i = 1; i <= 10; ++i) lines.push_back(i == 5 ? "<b><i>line 5" : "line " + std::to_string(i));
    d.BuildLines(lines);
    ASSERT_EQ(d.LineCount(), 10);
    EXPECT_EQ(d.Line(4), "line 5");
    EXPECT_EQ(d.Tags().Items(4)[0].CharStyle, 3);
    std::string rest = d.TakeOverflow();
    EXPECT_EQ(d.LineCount(), 4);
    EXPECT_EQ(rest.rfind("<font color=\"#000000\"><i><b>line 5\r\nline 6", 0), 0u) << rest;
    EXPECT_EQ(d.StripTags("<x>y</q>"), "<x>y</q>");
    EXPECT_EQ(d.StripTags("<B>bold</b> <strike>s</strike> <sub>2</sub>"), "bold s 2");
}

namespace {

// A renderer with a 10-point font laying text out into a rectangle of the given width.
struct TLayoutFixture {
    TfrxDrawText D;
    TfrxFont Font;
    explicit TLayoutFixture(int width, bool wordWrap = true, bool tags = false)
    {
        Font.SetName("宋体");
        Font.SetSize(10);
        D.ApplyFont(&Font);
        D.SetLayoutOptions(wordWrap, tags, 0, false, false);
        D.SetSpacing(2, 0, 0);
        Area(width, 1);
    }
    void Area(int width, double scale)
    {
        TRect layout = Rect(0, 0, width, 400);
        TRect device = Rect(0, 0, int(width * scale), int(400 * scale));
        D.SetArea(layout, device, scale, scale);
    }
    std::vector<std::string> Lines() const { return D.LaidLines(); }
};

}  // namespace

TEST(TextLayout, ParagraphsWrappingAndOverflow)
{
    using Lines = std::vector<std::string>;
    // An empty paragraph is a line of one blank in its place.
    TLayoutFixture a(400);
    a.D.BuildLines({"甲", "", "乙"});
    EXPECT_EQ(a.Lines(), (Lines{"甲", " ", "乙"}));
    // Everything fits: no overflow, the source stays whole.
    EXPECT_EQ(a.D.TakeOverflow(), "");
    EXPECT_EQ(a.D.LineCount(), 3);
    EXPECT_NE(a.D.SourceText().find("乙"), std::string::npos);

    // A character wider than the whole width still takes a line of its own.
    TLayoutFixture narrow(1);
    narrow.D.BuildLines({"驾校W"});
    EXPECT_EQ(narrow.Lines(), (Lines{"驾", "校", "W"}));

    // Without word wrap a long paragraph stays one line.
    std::string longText;
    for (int i = 0; i < 50; ++i) longText += "学员 ";
    TLayoutFixture nowrap(60, false);
    nowrap.D.BuildLines({longText});
    EXPECT_EQ(nowrap.D.LineCount(), 1);

    // The same breaks at any zoom: layout is done at one resolution.
    TLayoutFixture zoom(120);
    zoom.D.BuildLines({longText});
    const Lines atOne = zoom.Lines();
    ASSERT_GT(atOne.size(), 3u);
    for (double scale : {0.5, 1.5, 2.0, 3.7}) {
        zoom.Area(120, scale);
        zoom.D.BuildLines({longText});
        EXPECT_EQ(zoom.Lines(), atOne) << scale;
    }
    // Words are not cut while a blank allows a break.
    for (const std::string& line : atOne) EXPECT_EQ(line.find("学员学"), std::string::npos) << line;
}

TEST(TextLayout, ColourAndStyleTags)
{
    struct Case {
        const char* Text;
        const char* Shown;
        TColor Colour;   // of the first character shown
        int Style;
    } cases[] = {
        {"<font color=\"#FF0000\">红</font>", "红", TColor(0x0000FF), 0},
        {"<font color=red>红</font>", "红", clRed, 0},
        {"<font color=nosuch>x</font>", "<font color=nosuch>x", clBlack, 0},
        {"<B>粗</b>", "粗", clBlack, 1},
        {"<x>y</q>", "<x>y</q>", clBlack, 0},
        {"<strike>s</strike><u>u</u>", "su", clBlack, 8},
    };
    for (const auto& c : cases) {
        TLayoutFixture f(1000, true, true);
        f.D.BuildLines({c.Text});
        ASSERT_EQ(f.D.LineCount(), 1) << c.Text;
        EXPECT_EQ(f.D.Line(0), c.Shown) << c.Text;
        ASSERT_FALSE(f.D.Tags().Items(0).empty()) << c.Text;
        EXPECT_EQ(f.D.Tags().Items(0)[0].CharColor, c.Colour) << c.Text;
        EXPECT_EQ(f.D.Tags().Items(0)[0].CharStyle, c.Style) << c.Text;
    }
    // A subscript shrinks the text to two thirds and lowers it.
    TLayoutFixture f(1000, true, true);
    f.D.BuildLines({"H<sub>2</sub>O"});
    ASSERT_EQ(f.D.Line(0), "H2O");
    EXPECT_EQ(f.D.Tags().Items(0)[1].CharSize, 7);
    EXPECT_EQ(f.D.Tags().Items(0)[1].Lowered, 1);
    EXPECT_EQ(f.D.Tags().Items(0)[2].CharSize, 10);
}

TEST(Printers, VirtualPrinterAndDefaultFallback)
{
    frxPrinter::SetPrinterSource({});
    TfrxPrinters& p = Printers();
    ASSERT_EQ(p.Count(), 1);
    EXPECT_FALSE(p.HasPhysicalPrinters());
    TfrxCustomPrinter* v = p.Printer();
    v->ApplyViewSettings(9, 1, 0, 0);
    EXPECT_DOUBLE_EQ(v->PaperWidth, 297);
    EXPECT_DOUBLE_EQ(v->PaperHeight, 210);
    EXPECT_DOUBLE_EQ(v->LeftMargin, 5);
    v->ApplyViewSettings(256, 0, 100, 50);
    EXPECT_DOUBLE_EQ(v->PaperWidth, 100);
    EXPECT_EQ(v->PaperNumberOf("no such paper"), 256);
    EXPECT_EQ(v->BinNumberOf("no such bin"), 7);
    EXPECT_EQ(frxPrinter::PaperInfos().size(), 66u);

    // A default name that matches no printer leaves the first one current.
    frxPrinter::SetPrinterSource({[] {
                                      std::vector<std::unique_ptr<TfrxCustomPrinter>> r;
                                      r.push_back(std::make_unique<TfrxVirtualPrinter>("甲", ""));
                                      r.push_back(std::make_unique<TfrxVirtualPrinter>("乙", ""));
                                      return r;
                                  },
                                  [] { return std::string("gone,winspool"); }});
    EXPECT_EQ(p.PrinterIndex(), 0);
    EXPECT_EQ(p.Printer()->Name(), "甲");
    frxPrinter::SetPrinterSource({[] {
                                      std::vector<std::unique_ptr<TfrxCustomPrinter>> r;
                                      r.push_back(std::make_unique<TfrxVirtualPrinter>("甲", ""));
                                      r.push_back(std::make_unique<TfrxVirtualPrinter>("Office", ""));
                                      return r;
                                  },
                                  [] { return std::string("OFFICE"); }});
    EXPECT_EQ(p.PrinterIndex(), 1);
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
}

namespace {

using exporttest::RunTool;

int PdfPages(const std::string& file)
{
    std::string info = RunTool("pdfinfo '" + file + "'");
    size_t at = info.find("\nPages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 7);
}

// The platform's printers, with the one that writes PDF files current.
TfrxCustomPrinter* PdfPrinter(const std::string& file)
{
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
    TfrxPrinters& list = Printers();
    int i = list.IndexOf("PDF 文件");
    if (i < 0) return nullptr;
    list.SetPrinterIndex(i);
    list.Printer()->FileName = file;
    return list.Printer();
}

}  // namespace

TEST(Printing, PreparedPagesPrintToAPdfFile)
{
    TReportFixture f;
    f.Data.push_back(NumberedStudents(30));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 80);
    md->SetDataSet(s);
    f.AddMemo(md, "Name", 0, 0, 300, 20, "[s.\"Name\"]");
    auto* pf = f.AddBand<TfrxPageFooter>(f.Page, "PageFooter1", 200, 20);
    f.AddMemo(pf, "PageNo", 0, 0, 300, 18, "第 [Page#] 页 共 [TotalPages#] 页");
    f.Report->EngineOptions()->DoublePass = true;
    f.Report->PrintOptions()->ShowDialog = false;
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    const int pages = f.Pages()->Count();
    ASSERT_GT(pages, 1);
    const std::string file = std::string(QZ_BINARY_DIR) + "/report_print_test.pdf";
    DeleteFile(file);
    ASSERT_TRUE(PdfPrinter(file));
    ASSERT_TRUE(f.Report->Print());
    EXPECT_EQ(PdfPages(file), pages);
    std::string text = RunTool("pdftotext -f 2 -l 2 '" + file + "' -");
    EXPECT_NE(text.find("学员13"), std::string::npos) << text;
    // The footer (the reader drops the blanks and may map 页 to its radical form).
    EXPECT_NE(text.find("第2"), std::string::npos) << text;
    EXPECT_NE(text.find("共" + std::to_string(pages)), std::string::npos) << text;

    // Pages 2 to 3 of the report, even pages only: page 2 alone.
    f.Report->PrintOptions()->PageNumbers = "2-3";
    f.Report->PrintOptions()->PrintPages = ppEven;
    ASSERT_TRUE(f.Report->Print());
    EXPECT_EQ(PdfPages(file), 1);

    // A job the printer refuses is reported and leaves no file.
    f.Report->PrintOptions()->PageNumbers = "";
    f.Report->PrintOptions()->PrintPages = ppAll;
    const std::string bad = "/nonexistent-folder/report.pdf";
    PdfPrinter(bad);
    EXPECT_THROW(f.Report->Print(), Exception);
    EXPECT_FALSE(FileExists(bad));
    DeleteFile(file);
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
}

TEST(PreparedPages, PreviewClicksFollowLinks)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    TReportFixture f;
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 600);
    md->SetRowCount(2);
    TfrxMemoView* link = f.AddMemo(md, "Link", 0, 0, 100, 20, "[Line]");
    link->URL = "[IIF(<Line> = 1, '#second', 'https://example.org/' + IntToStr(<Line>))]";
    md->OnAfterPrint = "MarkData";
    f.Report->ScriptText()->SetStrings({"procedure MarkData(Sender: TfrxComponent);",
                                         "begin if <Line> = 2 then Engine.AddAnchor('second'); end;", "begin end."});
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    ASSERT_EQ(f.Pages()->Count(), 2);
    std::string shown;
    int wentTo = 0, top = -1;
    f.Pages()->Preview.ShowMessage = [&](const std::string& m) { shown = m; };
    f.Pages()->Preview.GoTo = [&](int page, int t) { wentTo = page; top = t; };
    const double ox = -10 * fr01cm, oy = -10 * fr01cm;   // the page's margins
    int cursor = 0;
    f.Pages()->ObjectOver(0, 10, 10, 0, TShiftState(), 1, ox, oy, false, cursor);
    EXPECT_EQ(shown, "#second");
    EXPECT_EQ(cursor, -21);
    f.Pages()->ObjectOver(0, 10, 10, 0, TShiftState(), 1, ox, oy, true, cursor);
    EXPECT_EQ(wentTo, 2);
    EXPECT_EQ(top, 600);   // the second row ends there
    f.Pages()->ObjectOver(1, 10, 10, 0, TShiftState(), 1, ox, oy, true, cursor);
    auto calls = host->CallsOf(THostCallKind::ShellExecute);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Text, "https://example.org/2");
    cursor = 0;
    shown = "x";
    f.Pages()->ObjectOver(0, 500, 500, 0, TShiftState(), 1, ox, oy, false, cursor);   // over nothing
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(shown, "");
}

TEST(PreparedPages, PageRangesAreCutToTheReport)
{
    EXPECT_EQ(frxUtils::ParsePageNumbers("1-100000000", 5), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(frxUtils::ParsePageNumbers("0-2,4", 5), (std::vector<int>{1, 2, 4}));
    EXPECT_TRUE(frxUtils::ParsePageNumbers("3-9", 0).empty());
}

TEST(Printing, ALayoutFileBuildsWithTheApplicationsDataAndPrints)
{
    // The layout as the designer saves it.
    const std::string layout = std::string(QZ_BINARY_DIR) + "/report_layout_test.fr3";
    {
        TReportFixture f;
        f.Data.push_back(SixStudents());
        f.AddDataSet(f.Data.back().get(), "d0");
        auto* title = f.AddBand<TfrxReportTitle>(f.Page, "ReportTitle1", 0, 30);
        f.AddMemo(title, "School", 0, 0, 300, 20, "[School] 学员名单 [u.\"Operator\"]");
        auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 40, 20);
        md->SetDataSetName("d0");
        f.AddMemo(md, "Name", 0, 0, 200, 18, "[d0.\"Name\"]");
        f.Report->SaveToFile(layout);
    }
    // The application: its data set as "d0", its variables through "u" and OnGetValue.
    auto data = SixStudents();
    TfrxReport report;
    report.EngineOptions()->SilentMode = true;
    TfrxDBDataset d0(nullptr);
    d0.SetName("d0");
    d0.SetDataSet(data.get());
    TfrxUserDataSet u(nullptr);
    u.SetName("u");
    u.Fields()->SetStrings({"Operator"});
    u.OnGetValue = [](const std::string& name, Variant& v) {
        if (SameText(name, "Operator")) v = Variant(std::string("张老师"));
    };
    report.OnGetValue = [](const std::string& name, Variant& v) {
        if (SameText(name, "School")) v = Variant(std::string("恒岳驾校"));
    };
    ASSERT_TRUE(report.LoadFromFile(layout));
    report.DataSets()->Clear();
    report.DataSets()->Add(&d0);
    report.DataSets()->Add(&u);
    report.PrintOptions()->ShowDialog = false;
    ASSERT_TRUE(report.PrepareReport()) << report.Errors()->Text();
    const std::string pdf = std::string(QZ_BINARY_DIR) + "/report_layout_test.pdf";
    DeleteFile(pdf);
    ASSERT_TRUE(PdfPrinter(pdf));
    ASSERT_TRUE(report.Print());
    std::string text = RunTool("pdftotext '" + pdf + "' -");
    EXPECT_NE(text.find("恒岳驾校"), std::string::npos) << text;
    EXPECT_NE(text.find("张老师"), std::string::npos) << text;
    EXPECT_NE(text.find("赵六"), std::string::npos) << text;
    DeleteFile(pdf);
    DeleteFile(layout);
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
}

TEST(PreparedPages, PagesSwappedToTheTemporaryFileReadBack)
{
    TReportFixture f;
    f.Data.push_back(NumberedStudents(200));
    TfrxDBDataset* s = f.AddDataSet(f.Data.back().get(), "s");
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, 100);
    md->SetDataSet(s);
    f.AddMemo(md, "Name", 0, 0, 200, 18, "[s.\"Name\"]");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    const std::string inMemory = f.Dump();
    f.Report->EngineOptions()->UseFileCache = true;
    f.Report->EngineOptions()->MaxMemSize = 0;   // swap as soon as anything is held
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    TfrxXMLItem* pages = f.Pages()->Document()->Root()->FindItem("previewpages");
    int swapped = 0;
    for (int i = 0; i < pages->Count(); ++i)
        if (!pages->Items(i)->ChildrenLoaded) ++swapped;
    EXPECT_GT(swapped, 5);
    EXPECT_TRUE(pages->Items(0)->ChildrenLoaded);   // the first two pages stay
    EXPECT_TRUE(pages->Items(1)->ChildrenLoaded);
    EXPECT_EQ(f.Dump(), inMemory);
    TMemoryStream ms;
    f.Pages()->SaveToStream(&ms);
    TReportFixture g;
    ms.SetPosition(0);
    g.Pages()->LoadFromStream(&ms);
    EXPECT_EQ(g.Dump(), inMemory);
}

namespace {

// A data band of the given number of rows, each the given height, with one text "N".
void AddRows(TReportFixture& f, int rows, double height, const std::string& text)
{
    auto* md = f.AddBand<TfrxMasterData>(f.Page, "MasterData1", 0, height);
    md->SetRowCount(rows);
    f.AddMemo(md, "N", 0, 0, 100, 20, text);
}

// A filter that writes down what it is given.
class TRecordingFilter : public TfrxCustomExportFilter {
    QZ_CLASS(TRecordingFilter, TfrxCustomExportFilter)
public:
    using TfrxCustomExportFilter::TfrxCustomExportFilter;
    bool Start() override { Log.push_back("start"); return true; }
    void StartPage(TfrxReportPage*, int index) override { Log.push_back("page " + std::to_string(index)); }
    void ExportObject(TfrxComponent* obj) override
    {
        std::string line = obj->Name().empty() ? obj->ClassName() : obj->Name();
        if (auto* m = DynamicCast<TfrxCustomMemoView>(obj)) line += "=" + m->GetComponentText();
        Log.push_back(line);
    }
    void FinishPage(TfrxReportPage*, int) override { Log.push_back("end page"); }
    void Finish() override { Log.push_back("finish"); }
    std::vector<std::string> Log;
};
QZ_CLASS_IMPL(TRecordingFilter, TfrxCustomExportFilter)

}  // namespace

TEST(PreparedPages, ExportDriverHandsEveryPageAndObjectToTheFilter)
{
    TReportFixture f;
    AddRows(f, 2, 600, "[Line]/[TotalPages#]");
    f.Report->EngineOptions()->DoublePass = true;
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    TRecordingFilter filter(nullptr);
    filter.ShowDialog = false;
    ASSERT_TRUE(f.Report->Export(&filter));
    std::vector<std::string> want = {"start", "page 0", "_pagebackground", "MasterData1", "N=1/2\r\n",
                                     "end page", "page 1", "_pagebackground", "MasterData1", "N=2/2\r\n",
                                     "end page", "finish"};
    EXPECT_EQ(filter.Log, want);
}

namespace {

// A printer that writes down the job: "start", one entry per sheet with the
// page's first text, "end" or "abort". It refuses the job's sheet numbered Refuse.
class TRecordingPrinter : public TfrxVirtualPrinter {
    QZ_CLASS(TRecordingPrinter, TfrxVirtualPrinter)
public:
    TRecordingPrinter(std::vector<std::string>* log) : TfrxVirtualPrinter("记录", ""), FLog(log) {}
    void StartJob() override
    {
        FSheets = 0;
        FLog->push_back("start");
    }
    void StartSheet() override
    {
        ++FSheets;
        if (FSheets == Refuse) throw EfrxPrintError("sheet refused");
        FLog->push_back("sheet");
    }
    void EndJob() override { FLog->push_back("end"); }
    void AbortJob() override { FLog->push_back("abort"); }
    void ApplyPrintSettings(int paper, int orientation, double width, double height, int bin, int copies,
                            int duplex) override
    {
        TfrxVirtualPrinter::ApplyPrintSettings(paper, orientation, width, height, bin, copies, duplex);
        Copies = copies;
    }
    int Refuse = 0;
    int Copies = 0;

private:
    std::vector<std::string>* FLog;
    int FSheets = 0;
};
QZ_CLASS_IMPL(TRecordingPrinter, TfrxVirtualPrinter)

}  // namespace

TEST(Printing, PageOrderCopiesAndRefusedSheets)
{
    TReportFixture f;
    AddRows(f, 5, 1000, "[Line]");
    f.Report->PrintOptions()->ShowDialog = false;
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    ASSERT_EQ(f.Pages()->Count(), 5);

    std::vector<std::string> log;
    TRecordingPrinter* printer = nullptr;
    frxPrinter::SetPrinterSource({[&] {
                                      std::vector<std::unique_ptr<TfrxCustomPrinter>> r;
                                      auto p = std::make_unique<TRecordingPrinter>(&log);
                                      printer = p.get();
                                      r.push_back(std::move(p));
                                      return r;
                                  },
                                  [] { return std::string("记录"); }});
    ASSERT_EQ(Printers().Printer(), printer);
    // The page each sheet shows, in the order printed.
    std::vector<int> printed;
    f.Report->OnProgress = [&](TfrxReport*, TfrxProgressType t, int n) {
        if (t == ptPrinting) printed.push_back(n);
    };
    struct Case {
        const char* What;
        std::string Pages;
        TfrxPrintPages Kind;
        int Copies;
        bool Collate;
        bool Reverse;
        std::vector<int> Want;
        int CopiesPerSheet;
    } cases[] = {
        {"pages 2 to 3, even ones", "2-3", ppEven, 1, false, false, {2}, 1},
        {"three pages, two copies collated", "1-3", ppAll, 2, true, false, {1, 2, 3, 1, 2, 3}, 1},
        {"three pages, two copies uncollated", "1-3", ppAll, 2, false, false, {1, 2, 3}, 2},
        {"odd pages, last first", "", ppOdd, 1, false, true, {5, 3, 1}, 1},
        {"a range past the last page", "4-100000000", ppAll, 1, false, false, {4, 5}, 1},
    };
    // What the operator chose in the print dialog.
    f.Report->PrintOptions()->ShowDialog = true;
    for (const auto& c : cases) {
        log.clear();
        printed.clear();
        TfrxPreviewPages::PrintDialogHook = [&c](TfrxReport*, TfrxPrintChoice& choice) {
            choice.PageNumbers = c.Pages;
            choice.PrintPages = c.Kind;
            choice.Copies = c.Copies;
            choice.Collate = c.Collate;
            choice.Reverse = c.Reverse;
            return true;
        };
        ASSERT_TRUE(f.Report->Print()) << c.What;
        EXPECT_EQ(printed, c.Want) << c.What;
        EXPECT_EQ(printer->Copies, c.CopiesPerSheet) << c.What;
        std::vector<std::string> want{"start"};
        want.insert(want.end(), c.Want.size(), "sheet");
        want.push_back("end");
        EXPECT_EQ(log, want) << c.What;
    }

    // A cancelled dialog prints nothing.
    TfrxPreviewPages::PrintDialogHook = [](TfrxReport*, TfrxPrintChoice&) { return false; };
    log.clear();
    EXPECT_FALSE(f.Report->Print());
    EXPECT_TRUE(log.empty());
    TfrxPreviewPages::PrintDialogHook = nullptr;

    // A sheet the printer refuses aborts the job and is reported.
    log.clear();
    f.Report->PrintOptions()->ShowDialog = false;
    printer->Refuse = 2;
    EXPECT_THROW(f.Report->Print(), EfrxPrintError);
    EXPECT_EQ(log, (std::vector<std::string>{"start", "sheet", "abort"}));
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
}

TEST(PreparedPages, EditsAndCuttingAtTheEnd)
{
    TReportFixture f;
    AddRows(f, 3, 1000, "行 [Line]");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    ASSERT_EQ(f.Pages()->Count(), 3);
    const std::string before = f.Dump();

    // Cutting at the page's item count cuts nothing; pasting then changes nothing.
    f.Pages()->PageIndex = 2;
    f.Pages()->CutObjects(f.Pages()->GetCurPosition());
    f.Pages()->PasteObjects(50, 50);
    EXPECT_EQ(f.Dump(), before);

    // An empty page before the second; then it goes again.
    f.Pages()->AddEmptyPage(1);
    ASSERT_EQ(f.Pages()->Count(), 4);
    TfrxReportPage* empty = f.Pages()->GetPage(1);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->AllObjects().empty());
    EXPECT_NE(f.Dump().find("\"行 2\""), std::string::npos);
    f.Pages()->DeletePage(1);
    EXPECT_EQ(f.Dump(), before);

    // An edited page is stored whole and reads back edited.
    TfrxReportPage* page = f.Pages()->GetPage(0);
    ASSERT_TRUE(page);
    auto* memo = DynamicCast<TfrxCustomMemoView>(page->FindObject("N"));
    ASSERT_TRUE(memo);
    memo->SetText("改过");
    f.Pages()->ModifyPage(0, page);
    EXPECT_NE(f.Dump().find("\"改过\""), std::string::npos) << f.Dump();
    TMemoryStream ms;
    f.Pages()->SaveToStream(&ms);
    TReportFixture g;
    ms.SetPosition(0);
    g.Pages()->LoadFromStream(&ms);
    EXPECT_EQ(g.Dump(), f.Dump());

    // The only page is never deleted.
    for (int i = 0; i < 5; ++i) g.Pages()->DeletePage(0);
    EXPECT_EQ(g.Pages()->Count(), 1);
}

TEST(PreparedPages, ObjectsOfAnySizeDraw)
{
    // A prepared file may give an object a size no integer holds; the page
    // still draws (the visible-area test works in doubles).
    TReportFixture f;
    AddRows(f, 1, 100, "大");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    TfrxReportPage* page = f.Pages()->GetPage(0);
    ASSERT_TRUE(page);
    TfrxComponent* memo = page->FindObject("N");
    ASSERT_TRUE(memo);
    memo->SetWidth(6.7e26);
    memo->SetHeight(1e20);
    f.Pages()->ModifyPage(0, page);
    TMemoryStream ms;
    f.Pages()->SaveToStream(&ms);
    TReportFixture g;
    ms.SetPosition(0);
    g.Pages()->LoadFromStream(&ms);
    TBitmap bmp(100, 100);
    EXPECT_NO_THROW(g.Pages()->DrawPage(0, bmp.Canvas(), 0.5, 0.5, 0, 0));
}

TEST(PreparedPages, PreviewClicksOpenOnlyWebAndMailAddresses)
{
    auto host = std::make_shared<TRecordingHost>();
    THostScope scope(host);
    struct Case {
        const char* Url;
        bool Opens;
    };
    const Case cases[] = {
        {"http://example.org/a?b=1", true},
        {"HTTPS://example.org", true},
        {"mailto:office@example.org", true},
        {"file:///etc/passwd", false},
        {"/bin/sh", false},
        {"calc", false},
        {"javascript:alert(1)", false},
        {"http://", false},
        {"http://x y", false},
        {" http://example.org", false},
        {"https://example.org/\n; rm -rf ~", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Url);
        TReportFixture f;
        TfrxMemoView* link = f.AddMemo(f.AddBand<TfrxReportTitle>(f.Page, "Title", 0, 100), "Link", 0, 0, 100, 20, "x");
        link->URL = c.Url;
        ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
        host->Calls.clear();
        int cursor = 0;
        f.Pages()->ObjectOver(0, 10, 10, 0, TShiftState(), 1, -10 * fr01cm, -10 * fr01cm, true, cursor);
        const auto calls = host->CallsOf(THostCallKind::ShellExecute);
        EXPECT_EQ(calls.size(), c.Opens ? 1u : 0u);
        if (c.Opens && !calls.empty()) EXPECT_EQ(calls[0].Text, c.Url);
    }
}

TEST(Printing, APageListThatIsNoneOrNamesNoPageIsRefused)
{
    TReportFixture f;
    AddRows(f, 3, 1000, "[Line]");
    ASSERT_TRUE(f.Report->PrepareReport()) << f.Report->Errors()->Text();
    std::vector<std::string> log;
    frxPrinter::SetPrinterSource({[&] {
                                      std::vector<std::unique_ptr<TfrxCustomPrinter>> r;
                                      r.push_back(std::make_unique<TRecordingPrinter>(&log));
                                      return r;
                                  },
                                  [] { return std::string("记录"); }});
    f.Report->PrintOptions()->ShowDialog = false;
    for (const char* pages : {"3-1", "x", "9"}) {
        log.clear();
        f.Report->PrintOptions()->PageNumbers = pages;
        EXPECT_THROW(f.Report->Print(), Exception) << pages;
        EXPECT_TRUE(log.empty()) << pages;
    }
    f.Report->PrintOptions()->PageNumbers = "2-";
    log.clear();
    EXPECT_TRUE(f.Report->Print());
    EXPECT_EQ(log, (std::vector<std::string>{"start", "sheet", "sheet", "end"}));
    frxPrinter::SetPrinterSource(frxPrinter::PlatformPrinterSource());
}
