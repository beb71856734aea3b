// The PDF export, read back by real programs: pages, text (Chinese too)
// and fonts with poppler's tools, structure with qpdf.
#include "ExportTestSupport.h"
#include "GuiTesting.h"
#include "frxBarcode.h"
#include "frxExportPDF.h"
#include "frxExportRTF.h"
#include "frxPDFFile.h"

#include <gtest/gtest.h>

using namespace exporttest;

namespace {

// Two pages: text of both scripts, a frame, a filled rectangle, a line and a barcode.
void BuildSample(TExportReport& r)
{
    TfrxReportPage* p1 = r.AddPage();
    TfrxMemoView* title = r.AddMemo(p1, 0, 0, 600, 30, "驾校学员名单 Student list");
    title->Font()->SetName("宋体");
    title->Font()->SetSize(16);
    title->Frame()->Typ = TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    TfrxMemoView* right = r.AddMemo(p1, 0, 40, 300, 20, "a(b)c\\d");
    right->HAlign = frxClass::haRight;
    right->Color = clYellow;
    auto* shape = new TfrxShapeView(p1->Objects().front());
    shape->SetBounds(0, 80, 100, 40);
    shape->Color = clRed;
    auto* line = new TfrxLineView(p1->Objects().front());
    line->SetBounds(0, 130, 300, 0);
    auto* code = new TfrxBarCodeView(p1->Objects().front());
    code->SetBounds(0, 150, 200, 60);
    code->BarType = bcCodeEAN13;
    code->Text = "590123412345";
    code->CalcCheckSum = true;
    TfrxReportPage* p2 = r.AddPage();
    r.AddMemo(p2, 0, 0, 300, 20, "第二页 page two");
}

// A field of pdfinfo's report, without the padding.
std::string InfoField(const std::string& info, const std::string& name)
{
    const size_t at = info.find("\n" + name + ":");
    if (at == std::string::npos && info.rfind(name + ":", 0) != 0) return "(none)";
    size_t from = (at == std::string::npos ? 0 : at + 1) + name.size() + 1;
    while (from < info.size() && info[from] == ' ') ++from;
    return info.substr(from, info.find('\n', from) - from);
}

std::string Export(TExportReport& r, const std::string& file, bool compressed = true)
{
    TfrxPDFExport pdf;
    pdf.ShowDialog = false;
    pdf.FileName = file;
    pdf.Compressed = compressed;
    r.Report->ReportOptions()->Name = "学员 (名单)";
    EXPECT_TRUE(r.Report->Export(&pdf));
    return ReadFile(file);
}

}  // namespace

TEST(PDFExport, RealReadersGetPagesTextAndFonts)
{
    TScratch dir("pdf");
    TExportReport r;
    BuildSample(r);
    const std::string file = dir.Dir + "list.pdf";
    Export(r, file);
    const std::string info = RunTool("pdfinfo '" + file + "' 2>&1");
    EXPECT_EQ(InfoField(info, "Pages"), "2");
    EXPECT_EQ(InfoField(info, "PDF version"), "1.3");
    EXPECT_EQ(InfoField(info, "Title"), "学员 (名单)");
    EXPECT_EQ(InfoField(info, "Page size"), "595.5 x 842.25 pts (A4)");
    const std::string text = RunTool("pdftotext -layout '" + file + "' - 2>&1");
    EXPECT_NE(text.find("驾校学员名单 Student list"), std::string::npos) << text;
    EXPECT_NE(text.find("a(b)c\\d"), std::string::npos) << text;
    EXPECT_NE(text.find("第二页 page two"), std::string::npos) << text;
    // The page's 10 mm margin is counted once: the title's text starts at
    // (10 mm + its 2-pixel gap) = 29.85 pt from the page's left edge.
    const std::string boxes = RunTool("pdftotext -bbox -f 1 -l 1 '" + file + "' - 2>&1");
    const size_t word = boxes.find("<word xMin=\"");
    ASSERT_NE(word, std::string::npos) << boxes;
    EXPECT_NEAR(std::stod(boxes.substr(word + 12, 10)), 29.85, 0.3) << boxes.substr(word, 120);
    const std::string fonts = RunTool("pdffonts '" + file + "' 2>&1");
    EXPECT_NE(fonts.find("CID TrueType"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find(" no  "), std::string::npos) << "every font embedded:\n" << fonts;
    const std::string check = RunTool("qpdf --check '" + file + "' 2>&1");
    EXPECT_NE(check.find("No syntax or stream encoding errors found"), std::string::npos) << check;
    // The barcode is a picture on the page that the reader decodes.
    RunTool("pdftoppm -r 300 -f 1 -l 1 -png '" + file + "' '" + dir.Dir + "page'");
    const std::string code = RunTool("zbarimg -q '" + dir.Dir + "page-1.png' 2>/dev/null");
    EXPECT_NE(code.find("EAN-13:5901234123457"), std::string::npos) << code;
    GuiTest::KeepFile(file);
    GuiTest::KeepFile(dir.Dir + "page-1.png");
}

TEST(PDFExport, ObjectNumbersAndCrossReference)
{
    TScratch dir("pdfxref");
    TExportReport r;
    TfrxReportPage* p = r.AddPage();
    auto* shape = new TfrxShapeView(p->Objects().front());
    shape->SetBounds(0, 0, 100, 40);
    const std::string pdf = Export(r, dir.Dir + "empty.pdf", false);
    // No text, no fonts: the page is object 5 and its content 6; 4 is free.
    EXPECT_NE(pdf.find("/Kids [5 0 R ]"), std::string::npos);
    EXPECT_NE(pdf.find("\r\n6 0 obj\r\n<<\r\n/Filter [ ]\r\n"), std::string::npos);
    const size_t xref = pdf.rfind("\r\nxref\r\n");
    ASSERT_NE(xref, std::string::npos);
    const std::string table = pdf.substr(xref + 8, 20 * 8 + 5);
    EXPECT_EQ(table.substr(0, 5), "0 7\r\n");
    for (int i = 0; i < 7; ++i) {
        const std::string entry = table.substr(5 + size_t(i) * 20, 20);
        if (i == 0 || i == 4) {
            EXPECT_EQ(entry, "0000000000 65535 f\r\n");
            continue;
        }
        const size_t at = size_t(std::stoll(entry.substr(0, 10)));
        EXPECT_EQ(pdf.substr(at, std::to_string(i).size() + 6), std::to_string(i) + " 0 obj") << i;
    }
    EXPECT_NE(pdf.find("0 0 0 RG\r\n0.7500 w\r\n"), std::string::npos);   // plain operators
}

TEST(PDFExport, Formatting)
{
    EXPECT_EQ(frxPDFFile::ColorText(clWhite), "1 1 1");
    EXPECT_EQ(frxPDFFile::ColorText(TColor(0x800000)), "0 0 0.5");
    EXPECT_EQ(frxPDFFile::InfoString("a(b)c\\d"), "(a\\(b\\)c\\\\d)");
    EXPECT_EQ(frxPDFFile::InfoString("学"), "<FEFF5B66>");
    EXPECT_EQ(frxPDFFile::Num(595.5), "595.5000");
}

TEST(PDFExport, WithoutFileNameNothingRuns)
{
    TExportReport r;
    r.AddPage();
    TfrxPDFExport pdf;
    pdf.ShowDialog = false;
    EXPECT_FALSE(pdf.Start());
}

// A page count known only once every page is built ("[TotalPages#]") is
// written as the count by the PDF export and by the exports over the
// export matrix (RTF here), not as the mark the building left for it.
TEST(PDFExport, ThePageCountReachesTheExports)
{
    TScratch dir("pdfpages");
    TExportReport r;
    for (int i = 0; i < 2; ++i) r.AddMemo(r.AddPage(), 0, 0, 300, 20, "Page [Page#] of [TotalPages#]");
    r.Report->EngineOptions()->DoublePass = true;
    const std::string file = dir.Dir + "pages.pdf";
    Export(r, file);
    const std::string text = RunTool("pdftotext '" + file + "' - 2>&1");
    EXPECT_NE(text.find("Page 1 of 2"), std::string::npos) << text;
    EXPECT_NE(text.find("Page 2 of 2"), std::string::npos) << text;
    EXPECT_EQ(text.find("TotalPages"), std::string::npos) << text;

    TfrxRTFExport rtf;
    rtf.ShowDialog = false;
    rtf.FileName = dir.Dir + "pages.rtf";
    ASSERT_TRUE(r.Report->Export(&rtf));
    const std::string doc = ReadFile(rtf.FileName);
    EXPECT_NE(doc.find("Page 2 of 2"), std::string::npos);
    EXPECT_EQ(doc.find("TotalPages"), std::string::npos);
}
