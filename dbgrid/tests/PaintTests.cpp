// What the grid shows: a picture with multi-level titles, sort markers,
// check boxes, Chinese data and footer sums (saved as a PNG to look at),
// and pixel probes of its colour rules.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace DBGridTest;

TEST(GridPicture, TitlesDataAndFooters)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get(), 560, 220);
    TDBGridEh* g = host.Grid;
    g->LockLayout();
    g->Columns()->Clear();
    g->SetUseMultiTitle(true);
    g->SetFooterColor(TColor(RGB(255, 250, 220)));
    g->SetFooterRowCount(1);
    g->SetOptionsEh(g->OptionsEh() + TDBGridEhOptions{dghMultiSortMarking});
    struct {
        const char* Field;
        const char* Caption;
        int Width;
    } cols[] = {{"Id", "学员|编号", 50},     {"Name", "学员|姓名", 90},  {"Passed", "考试|通过", 50},
                {"Enrolled", "考试|报名日期", 100}, {"Fee", "费用", 90}};
    for (auto& c : cols) {
        TColumnEh* col = g->Columns()->Add();
        col->SetFieldName(c.Field);
        col->SetWidth(c.Width);
        col->Title()->SetCaption(c.Caption);
    }
    g->Columns()->Items(1)->Footer()->SetValueType(fvtStaticText);
    g->Columns()->Items(1)->Footer()->SetValue("合计");
    g->Columns()->Items(0)->Footer()->SetValueType(fvtCount);
    g->Columns()->Items(4)->Footer()->SetValueType(fvtSum);
    g->Columns()->Items(4)->Footer()->SetDisplayFormat("#,##0.00");
    g->UnlockLayout();
    g->SumList()->SetActive(true);
    g->Columns()->Items(4)->Title()->SetSortMarker(smDownEh);
    g->Columns()->Items(1)->Title()->SetSortMarker(smUpEh);
    g->SetOptions(g->Options() + TDBGridOptions{dgMultiSelect});
    for (int id : {2, 4}) {
        ds->Locate("Id", id, {});
        g->Selection()->Rows()->SetCurrentRowSelected(true);
    }
    ds->Locate("Id", 3, {});
    g->SetFocus();
    GuiTest::ProcessEvents();

    std::string out = std::string(QZ_BINARY_DIR) + "/dbgrid-picture.png";
    ASSERT_TRUE(GuiTest::SavePng(g, out));

    // The group title spans its two columns: one caption over both.
    TRect id = g->CellRect(1, 0), name = g->CellRect(2, 0);
    EXPECT_EQ(g->TitleRoot()->FirstChild->NodeText, "学员");
    // Data lines are silver; the current record's cell is highlighted.
    int dataTop = g->CellRect(1, g->FirstDataRow()).Top;
    TRect cell = g->CellRect(1, g->FirstDataRow() + 1);
    EXPECT_EQ(GuiTest::PixelAt(g, Point(cell.Right, cell.Top + 3)), TColor(clSilver));
    TRect current = g->CellRect(g->Col(), g->Row());
    EXPECT_EQ(g->Row(), g->FirstDataRow() + 2);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(current.Right - 2, current.Top + 2))), ColorToRGB(clHighlight));
    // Selected rows are highlighted in the default style's lightened mix, their indicator dark.
    TRect selInd = g->CellRect(0, g->FirstDataRow() + 1);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(selInd.Left + 2, selInd.Top + 2))), RGB(64, 64, 64));
    TRect curInd = g->CellRect(0, g->FirstDataRow() + 2);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(curInd.Left + 2, curInd.Top + 3))), ColorToRGB(clBtnFace));
    TRect selCell = g->CellRect(3, g->FirstDataRow() + 3);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(selCell.Right - 2, selCell.Top + 2))),
              ColorToRGB(TDBGridEhStyle::MixColor(clWindow, clHighlight, true)));
    // The footer row stands at the bottom in the footer colour.
    TRect foot = g->CellRect(1, g->RowCount() - 1);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(foot.Left + 1, foot.Bottom - 2))), ColorToRGB(g->FooterColor()));
    EXPECT_LT(dataTop, foot.Top);
    EXPECT_EQ(foot.Bottom, g->ClientHeight() - 1) << "the footer row stands at the bottom";
    EXPECT_EQ(g->FooterValueText(g->Columns()->Items(4), 0), "4,450.50");
    EXPECT_EQ(g->FooterValueText(g->Columns()->Items(0), 0), "5");
    EXPECT_LT(id.Left, name.Left);
}

TEST(GridPicture, SilverGridDrawsGreyLines)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get(), 400, 200);
    TDBGridEh* g = host.Grid;
    g->SetColor(clSilver);
    GuiTest::ProcessEvents();
    TRect cell = g->CellRect(2, g->FirstDataRow() + 1);
    EXPECT_EQ(GuiTest::PixelAt(g, Point(cell.Right, cell.Top + 3)), TColor(clGray));
}

TEST(GridPicture, BrightenColor)
{
    EXPECT_EQ(ColorToRGB(DBGridEh::BrightenColor(TColor(RGB(192, 192, 192)), 8)), RGB(216, 216, 216));
    EXPECT_EQ(ColorToRGB(DBGridEh::BrightenColor(clWhite, 8)), RGB(255, 255, 255));
}

} // namespace

namespace {

using namespace DBGridTest;

TEST(GridPicture, CellAndFooterParamsRecolour)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get(), 500, 220);
    TDBGridEh* g = host.Grid;
    g->SetFooterRowCount(1);
    g->Columns()->Items(5)->Footer()->SetValueType(fvtStaticText);
    g->Columns()->Items(5)->Footer()->SetValue("x");
    // Fees over 1000 show on yellow; the fee footer on green with a text of its own.
    g->OnGetCellParams = [](TObject*, TColumnEh* c, TFont*, TColor& bg, TGridDrawState) {
        if (c->FieldName() == "Fee" && c->Field()->AsFloat() > 1000) bg = clYellow;
    };
    std::string shown;
    g->OnGetFooterParams = [&](TObject*, int dataCol, int, TColumnEh*, TFont*, TColor& bg, TAlignment&,
                               TGridDrawState, std::string& text) {
        if (dataCol == 5) {
            bg = clLime;
            text = "合计";
            shown = text;
        }
    };
    GuiTest::ProcessEvents();
    TRect fee1 = g->CellRect(6, g->FirstDataRow());       // 1200
    TRect fee2 = g->CellRect(6, g->FirstDataRow() + 1);   // 800.5
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(fee1.Left + 2, fee1.Bottom - 2))), ColorToRGB(clYellow));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(fee2.Left + 2, fee2.Bottom - 2))), ColorToRGB(clWindow));
    TRect foot = g->CellRect(6, g->RowCount() - 1);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(foot.Left + 1, foot.Bottom - 2))), ColorToRGB(clLime));
    EXPECT_EQ(shown, "合计");
}

} // namespace
