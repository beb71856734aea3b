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
