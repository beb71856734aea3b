// The workbook export read back by libfreexl and LibreOffice: cell texts,
// merged ranges of objects spanning several cells, named styles, margins.
#include "ExportTestSupport.h"
#include "frxExportXLS.h"

#include <freexl.h>
#include <gtest/gtest.h>

using namespace exporttest;

namespace {

std::string CellText(const void* h, unsigned row, unsigned short col)
{
    FreeXL_CellValue v;
    if (freexl_get_cell_value(h, row, col, &v) != FREEXL_OK) return "(error)";
    if (v.type == FREEXL_CELL_SST_TEXT || v.type == FREEXL_CELL_TEXT) return v.value.text_value;
    return "";
}

}  // namespace

TEST(XLSExport, CellsMergesStylesAndPagesReadBack)
{
    TScratch dir("xls");
    TExportReport r;
    TfrxReportPage* p1 = r.AddPage();
    // A grid of two columns and three rows: the title spans all of it.
    TfrxMemoView* title = r.AddMemo(p1, 0, 0, 200, 60, "学员成绩单");
    title->Font()->SetStyle(TfrxFont::Bold);
    title->Color = clYellow;
    title->Frame()->Typ = TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    r.AddMemo(p1, 200, 0, 100, 20, "一");
    r.AddMemo(p1, 200, 20, 100, 20, "二");
    r.AddMemo(p1, 200, 40, 100, 20, "三");
    r.AddMemo(p1, 0, 60, 100, 20, "left");
    r.AddMemo(p1, 100, 60, 100, 20, "right");
    r.AddMemo(p1, 0, 80, 300, 40, "a\r\nb\r\n\n");
    TfrxReportPage* p2 = r.AddPage();
    p2->SetOrientation(frxEnums::poLandscape);
    r.AddMemo(p2, 0, 0, 300, 20, "第二页");
    TfrxXLSExport xls;
    xls.ShowDialog = false;
    xls.FileName = dir.Dir + "scores.xls";
    ASSERT_TRUE(r.Report->Export(&xls));

    const void* h = nullptr;
    ASSERT_EQ(freexl_open(xls.FileName.c_str(), &h), FREEXL_OK);
    ASSERT_EQ(freexl_select_active_worksheet(h, 0), FREEXL_OK);
    unsigned rows = 0;
    unsigned short cols = 0;
    freexl_worksheet_dimensions(h, &rows, &cols);
    // Find each text once, in the cell the matrix gave it.
    std::map<std::string, std::pair<unsigned, unsigned short>> where;
    for (unsigned row = 0; row < rows; ++row)
        for (unsigned short col = 0; col < cols; ++col) {
            const std::string t = CellText(h, row, col);
            if (!t.empty()) where[t] = {row, col};
        }
    freexl_close(h);
    for (const char* t : {"学员成绩单", "一", "二", "三", "left", "right", "a\nb", "第二页"})
        EXPECT_TRUE(where.count(t)) << t;
    EXPECT_EQ(where["一"].first + 1, where["二"].first);
    EXPECT_EQ(where["学员成绩单"].first, where["一"].first);
    EXPECT_EQ(where["left"].second, where["学员成绩单"].second);
    EXPECT_GT(where["第二页"].first, where["a\nb"].first);

    RunTool("cd '" + dir.Dir + "' && HOME='" + dir.Dir + "' timeout 120 soffice --headless --convert-to fods --outdir '" +
            dir.Dir + "' scores.xls >/dev/null 2>&1");
    const std::string xml = ReadFile(dir.Dir + "scores.fods");
    ASSERT_FALSE(xml.empty());
    // The title spans three rows and two columns: one merged range.
    EXPECT_NE(xml.find("table:number-columns-spanned=\"2\" table:number-rows-spanned=\"3\""), std::string::npos);
    EXPECT_NE(xml.find("style:name=\"S0\""), std::string::npos);
    EXPECT_NE(xml.find("fo:background-color=\"#ffff00\""), std::string::npos);
    // Margins of 10 mm (the page's own), converted from millimetres.
    EXPECT_NE(xml.find("fo:margin-left=\"0.3937in\""), std::string::npos) << "margins";
}

TEST(XLSExport, FailedSaveRaisesAndKeepsTheOldFile)
{
    TScratch dir("xlsfail");
    TExportReport r;
    r.AddMemo(r.AddPage(), 0, 0, 100, 20, "x");
    TfrxXLSExport xls;
    xls.ShowDialog = false;
    xls.FileName = dir.Dir + "missing-folder/out.xls";
    EXPECT_ANY_THROW(r.Report->Export(&xls));
}

TEST(XLSExport, PicturesTakeTheirObjectsPlace)
{
    TScratch dir("xlspic");
    TExportReport r;
    TfrxReportPage* p1 = r.AddPage();
    r.AddMemo(p1, 0, 0, 240, 20, "照片");
    // An ellipse is no cell: it goes into the workbook as a picture over
    // the cells of its place, two columns and two rows of the grid.
    r.AddMemo(p1, 0, 20, 120, 30, "a");
    r.AddMemo(p1, 120, 20, 120, 30, "b");
    r.AddMemo(p1, 0, 50, 120, 30, "c");
    r.AddMemo(p1, 120, 50, 120, 30, "d");
    auto* shape = new TfrxShapeView(p1->Objects().front());
    shape->Shape = skEllipse;
    shape->Color = clBlue;
    shape->SetBounds(240, 20, 120, 60);
    r.AddMemo(p1, 360, 20, 60, 60, "e");
    auto exportTo = [&](const std::string& name, bool pictures) {
        TfrxXLSExport xls;
        xls.ShowDialog = false;
        xls.ExportPictures = pictures;
        xls.FileName = dir.Dir + name + ".xls";
        EXPECT_TRUE(r.Report->Export(&xls));
        RunTool("cd '" + dir.Dir + "' && HOME='" + dir.Dir + "' timeout 120 soffice --headless --convert-to fods --outdir '" +
                dir.Dir + "' " + name + ".xls >/dev/null 2>&1");
        return ReadFile(dir.Dir + name + ".fods");
    };
    const std::string xml = exportTo("with", true);
    ASSERT_FALSE(xml.empty());
    const size_t frame = xml.find("<draw:frame");
    ASSERT_NE(frame, std::string::npos);
    EXPECT_EQ(xml.find("<draw:frame", frame + 1), std::string::npos) << "one picture";
    EXPECT_NE(xml.find("draw:mime-type=\"image/jpeg\"", frame), std::string::npos);
    // It sits in the row of "a" and "b", after them, before "e".
    const size_t a = xml.find("<text:p>a</text:p>"), b = xml.find("<text:p>b</text:p>"),
                 e = xml.find("<text:p>e</text:p>");
    EXPECT_LT(a, frame);
    EXPECT_LT(b, frame);
    EXPECT_LT(frame, e);
    // As tall as its two rows: 60 screen units of 0.75 points, in inches.
    const size_t h = xml.find("svg:height=\"", frame);
    ASSERT_NE(h, std::string::npos);
    EXPECT_NEAR(std::atof(xml.c_str() + h + 12), 60 / 1.31 * 1.0 / 72, 0.02);

    const std::string without = exportTo("without", false);
    ASSERT_FALSE(without.empty());
    EXPECT_EQ(without.find("<draw:frame"), std::string::npos);
    EXPECT_NE(without.find("<text:p>e</text:p>"), std::string::npos);
}
