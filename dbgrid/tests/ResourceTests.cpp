// The images, font and cursors the grids share, and where the grid uses them.
#include "DBGridEh.h"
#include "DBGridEhRes.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

// The colour of image i of the list at a point (clNone where transparent).
TColor ImagePixel(TCustomImageList* list, int i, TPoint p)
{
    TBitmap b(list->Width(), list->Height());
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(Rect(0, 0, list->Width(), list->Height()));
    list->Draw(b.Canvas(), 0, 0, i);
    TColor c = b.Canvas()->Pixels(p.X, p.Y);
    return ColorToRGB(c) == ColorToRGB(clFuchsia) ? clNone : ColorToRGB(c);
}

TEST(GridResources, SevenIndicatorsAndTwoSortMarkers)
{
    GuiTest::Init();
    TCustomImageList* ind = DBGridEh::IndicatorImages();
    ASSERT_EQ(ind->Count(), 7);
    EXPECT_EQ(DBGridEh::SortMarkerImages()->Count(), 2);
    EXPECT_EQ(DBGridEh::SortIndexFont()->Name(), "Arial");
    EXPECT_LT(DBGridEh::SortIndexFont()->Height(), 0);
    TPoint arrow = Point(4, 5), corner = Point(0, 0);
    struct TCase {
        int Index;
        TColor Arrow;
    } cases[] = {{0, clBlack}, {5, clWhite}, {6, clYellow}};
    for (const TCase& c : cases) {
        EXPECT_EQ(ImagePixel(ind, c.Index, arrow), ColorToRGB(c.Arrow)) << c.Index;
        EXPECT_EQ(ImagePixel(ind, c.Index, corner), clNone) << c.Index << ": the background is transparent";
    }
    // A new search colour replaces image 6 alone; teal itself would be
    // transparent, so a darker teal stands in.
    TColor saved = DBGridEh::IncSearchColor;
    DBGridEh::IncSearchColor = clTeal;
    DBGridEh::RebuildSearchIndicator();
    EXPECT_EQ(ind->Count(), 7);
    EXPECT_EQ(ImagePixel(ind, 6, arrow), TColor(RGB(0, 127, 127)));
    EXPECT_EQ(ImagePixel(ind, 5, arrow), ColorToRGB(clWhite));
    DBGridEh::IncSearchColor = saved;
    DBGridEh::RebuildSearchIndicator();
    EXPECT_EQ(ImagePixel(ind, 6, arrow), ColorToRGB(clYellow));
    // The sort markers point down and up.
    TCustomImageList* sm = DBGridEh::SortMarkerImages();
    EXPECT_NE(ImagePixel(sm, 0, Point(5, 4)), clNone);
    EXPECT_EQ(ImagePixel(sm, 0, Point(5, 8)), clNone);
    EXPECT_NE(ImagePixel(sm, 1, Point(5, 6)), clNone);
    EXPECT_EQ(ImagePixel(sm, 1, Point(5, 2)), clNone);
}

TEST(GridResources, TheIndicatorAndTheCursorsFollowWhatTheGridDoes)
{
    auto ds = ManyStudents(20);
    TGridHost host(ds.get(), 500, 240);
    TDBGridEh* g = host.Grid;
    g->SetOptions(g->Options() + TDBGridOptions{dgMultiSelect});
    g->SetOptionsEh(g->OptionsEh() + TDBGridEhOptions{dghIncSearch});
    g->Columns()->Items(0)->SetReadOnly(true);
    g->SetFocus();
    GuiTest::ProcessEvents();
    int r0 = g->FirstDataRow();
    TRect ind = g->CellRect(0, r0);
    TPoint arrowAt = Point(ind.Left + (ind.Right - ind.Left - 10) / 2 + 4, ind.Top + (ind.Bottom - ind.Top - 10) / 2 + 5);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, arrowAt)), ColorToRGB(clBlack));
    GuiTest::TypeText("1");
    ASSERT_TRUE(g->IncSearching());
    GuiTest::ProcessEvents();
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, arrowAt)), ColorToRGB(clYellow)) << "searching";
    GuiTest::KeyPress(VK_ESCAPE);
    // Over the indicator rows may be selected; over a title's bottom edge, columns.
    TCursor own = g->Cursor();
    GuiTest::MouseMove(g, CenterPoint(ind));
    EXPECT_EQ(g->Cursor(), DBGridEh::RowSelectCursor());
    TRect title = g->CellRect(2, 0);
    GuiTest::MouseMove(g, Point((title.Left + title.Right) / 2, title.Bottom - 2));
    EXPECT_EQ(g->Cursor(), DBGridEh::ColumnSelectCursor());
    GuiTest::MouseMove(g, Point((title.Left + title.Right) / 2, title.Top + 2));
    EXPECT_EQ(g->Cursor(), own);
    ASSERT_NE(Screen->Cursors(DBGridEh::RowSelectCursor()), nullptr);
    // Without multi-selection nothing changes.
    g->SetOptions(g->Options() - TDBGridOptions{dgMultiSelect});
    GuiTest::MouseMove(g, CenterPoint(ind));
    EXPECT_EQ(g->Cursor(), own);
}

TEST(GridResources, ATitleImageStandsInForTheCaption)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get(), 500, 200);
    TDBGridEh* g = host.Grid;
    auto* images = new TCustomImageList(10, 10, host.Form.get());
    TBitmap red(10, 10);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 10, 10));
    images->AddMasked(&red, clWhite);
    g->SetTitleImages(images);
    TColumnTitleEh* title = g->Columns()->Items(1)->Title();
    title->SetImageIndex(0);
    GuiTest::ProcessEvents();
    TRect cell = g->CellRect(2, 0);
    int y = (cell.Top + cell.Bottom) / 2;
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(cell.Left + 6, y))), ColorToRGB(clRed));
    title->SetAlignment(taRightJustify);
    GuiTest::ProcessEvents();
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(cell.Right - 6, y))), ColorToRGB(clRed));
    EXPECT_NE(ColorToRGB(GuiTest::PixelAt(g, Point(cell.Left + 6, y))), ColorToRGB(clRed));
    // The list going leaves the grid without one; the caption comes back.
    delete images;
    EXPECT_EQ(g->TitleImages(), nullptr);
    GuiTest::ProcessEvents();
    EXPECT_NE(ColorToRGB(GuiTest::PixelAt(g, Point(cell.Right - 6, y))), ColorToRGB(clRed));
}

TEST(GridResources, AFlatGridHasAThinBorder)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get(), 400, 200);
    TDBGridEh* g = host.Grid;
    int sunken = g->Width() - g->ClientWidth();
    g->SetFlat(true);
    GuiTest::ProcessEvents();
    EXPECT_EQ(g->Width() - g->ClientWidth(), sunken - 2) << "one pixel a side instead of two";
    g->SetBorderStyle(bsNone);
    GuiTest::ProcessEvents();
    EXPECT_EQ(g->Width() - g->ClientWidth(), sunken - 4) << "no border at all";
    g->SetFlat(false);
    g->SetBorderStyle(bsSingle);
    GuiTest::ProcessEvents();
    EXPECT_EQ(g->Width() - g->ClientWidth(), sunken);
}

} // namespace
