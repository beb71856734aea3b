// The shared paint style (highlight colours by focus and screen depth), the
// per-cell parameters of a column, image columns, vertical titles and 3-D
// data frames, through what the grid paints.
#include "DBGridEh.h"
#include "DBGridEhImpExp.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"
#include "ImgList.h"
#include "StdCtrls.h"
#include "Streams.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

// A style as a 256-colour screen shows it.
class TPaletteStyle : public TDBGridEhStyle {
public:
    void ScreenColorsChanged() override { FScreenColorCount = 256; }
    TPaletteStyle() { ScreenColorsChanged(); }
};

TColorRef Pixel(TDBGridEh* g, int col, int row)
{
    TRect r = g->CellRect(col, row);
    return ColorToRGB(GuiTest::PixelAt(g, Point(r.Right - 3, r.Top + 3)));
}

TEST(GridStyle, MixColorGoesHalfWayToTheHighlightThenTowardsLightGrey)
{
    struct Case {
        TColor color, highlight;
        bool contrast;
        TColorRef expected;
    } cases[] = {
        {clWhite, clBlack, false, RGB(186, 186, 186)},
        {clWhite, clBlack, true, RGB(202, 202, 202)},
        {clBlack, clBlack, false, RGB(135, 135, 135)},
        {clBlack, clBlack, true, RGB(138, 138, 138)},
        {TColor(RGB(255, 0, 0)), TColor(RGB(0, 0, 255)), false, RGB(186, 135, 186)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorToRGB(TDBGridEhStyle::MixColor(c.color, c.highlight, c.contrast)), c.expected)
            << std::hex << c.color << " " << c.highlight << " " << c.contrast;
}

class GridStyleColours : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = FiveStudents();
        Host = std::make_unique<TGridHost>(Ds.get(), 500, 220);
        G = Host->Grid;
        Other = new TEdit(Host->Form.get());
        Other->SetParent(Host->Form.get());
        Other->SetBounds(0, 0, 10, 10);
        G->SetTop(20);
        G->SetOptions(G->Options() + TDBGridOptions{dgMultiSelect});
        for (int id : {2, 4}) {
            Ds->Locate("Id", id, {});
            G->Selection()->Rows()->SetCurrentRowSelected(true);
        }
        Ds->Locate("Id", 3, {});
        G->SetFocus();
        GuiTest::ProcessEvents();
        Selected = G->FirstDataRow() + 1;   // Id 2
        Current = G->Row();
    }
    void Show(TWinControl* focus)
    {
        focus->SetFocus();
        G->Invalidate();
        GuiTest::ProcessEvents();
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
    TEdit* Other = nullptr;
    int Selected = 0, Current = 0;
};

TEST_F(GridStyleColours, SelectionsAreLightenedOnTrueColourScreensOnly)
{
    ASSERT_EQ(G->Style(), DBGridEh::DefaultGridStyle());
    ASSERT_TRUE(G->Style()->TrueColorScreen());
    const TColorRef mixFocused = ColorToRGB(TDBGridEhStyle::MixColor(clWindow, clHighlight, true));
    const TColorRef mixUnfocused = ColorToRGB(TDBGridEhStyle::MixColor(clWindow, clBtnShadow, false));
    EXPECT_EQ(Pixel(G, 2, Selected), mixFocused);
    EXPECT_EQ(Pixel(G, G->Col(), Current), ColorToRGB(clHighlight));
    Show(Other);
    EXPECT_EQ(Pixel(G, 2, Selected), mixUnfocused);

    TPaletteStyle palette;
    G->AttachStyle(&palette);
    EXPECT_TRUE(palette.HasGrid(G));
    EXPECT_FALSE(DBGridEh::DefaultGridStyle()->HasGrid(G));
    Show(Other);
    EXPECT_EQ(Pixel(G, 2, Selected), ColorToRGB(clBtnFace));
    Show(G);
    EXPECT_EQ(Pixel(G, 2, Selected), ColorToRGB(clHighlight));
    // Selected rows' indicators are dark whatever the style.
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(G, Point(3, G->CellRect(0, Selected).Top + 3))), RGB(64, 64, 64));

    TDBGridEhStyle plain;
    plain.SetLuminateSelection(false);
    G->AttachStyle(&plain);
    Show(G);
    EXPECT_EQ(Pixel(G, 2, Selected), ColorToRGB(clHighlight));
}

TEST_F(GridStyleColours, AGoneStyleHandsItsGridsToTheDefaultOne)
{
    {
        TDBGridEhStyle own;
        G->AttachStyle(&own);
        EXPECT_EQ(G->Style(), &own);
        EXPECT_EQ(own.GridCount(), 1);
    }
    EXPECT_EQ(G->Style(), DBGridEh::DefaultGridStyle());
    EXPECT_TRUE(DBGridEh::DefaultGridStyle()->HasGrid(G));
    // A grid that goes leaves its style's list.
    TDBGridEhStyle kept;
    {
        TGridHost other(Ds.get(), 200, 100);
        other.Grid->AttachStyle(&kept);
        EXPECT_EQ(kept.GridCount(), 1);
    }
    EXPECT_EQ(kept.GridCount(), 0);
}

TEST_F(GridStyleColours, WithoutFocusRectanglesTheFocusedCellShowsNone)
{
    G->SetOptions(G->Options() - TDBGridOptions{dgMultiSelect});
    Show(G);
    TRect r = G->CellRect(G->Col(), Current);
    auto border = [&] { return ColorToRGB(GuiTest::PixelAt(G, Point(r.Left + 4, r.Top))); };
    TColorRef withRect = border();
    TDBGridEhStyle noRects;
    noRects.SetFocusRectVisible(false);
    G->AttachStyle(&noRects);
    Show(G);
    EXPECT_NE(border(), withRect);
    EXPECT_EQ(border(), ColorToRGB(clHighlight));
}

// Per-cell parameters: the column's own handler changes what one cell shows,
// on the screen and in an export alike.
TEST(GridCellParams, AColumnsHandlerChangesItsCellsEverywhere)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get(), 500, 220);
    TDBGridEh* g = host.Grid;
    g->Columns()->Clear();
    for (const char* f : {"Id", "Name", "Fee"}) g->Columns()->Add()->SetFieldName(f);
    TColumnEh* fee = g->Columns()->Items(2);
    std::vector<bool> editModes;
    fee->OnGetCellParams = [&](TObject* sender, bool editMode, TColCellParamsEh* p) {
        EXPECT_EQ(sender, fee);
        editModes.push_back(editMode);
        if (static_cast<TColumnEh*>(sender)->Field()->AsFloat() > 1000) {
            p->Background = clYellow;
            p->Text = "HIGH";
        }
    };
    GuiTest::ProcessEvents();
    ASSERT_FALSE(editModes.empty());
    EXPECT_EQ(editModes.front(), false);
    int high = -1;
    for (int r = 0; r < 5; ++r) {
        g->BeginRowRead(r);
        if (fee->Field()->AsFloat() > 1000 && !g->RowIsCurrent(r)) high = r;
        g->EndRowRead();
    }
    ASSERT_GE(high, 0);
    EXPECT_EQ(Pixel(g, 3, g->FirstDataRow() + high), ColorToRGB(clYellow));
    TStringStream out;
    DBGridEhImpExp::ExportGridToStream(TDBGridEhExportAsText::StaticClass(), g, &out, true);
    EXPECT_NE(out.DataString().find("HIGH"), std::string::npos);
    GuiTest::SavePng(g, "dbgrid-cell-params.png");
}

// An image column shows the image its value names and no text; the same
// column with ShowImageAndText shows both.
TEST(GridCellParams, ImageColumnsDrawTheirValuesImage)
{
    auto ds = MakeStudents({{0, "张三", true, 1}, {1, "李四", false, 2}});
    TGridHost host(ds.get(), 400, 150);
    TDBGridEh* g = host.Grid;
    TImageList images(nullptr);
    images.SetSize(8, 8);
    for (TColor c : {clRed, clBlue}) {
        TBitmap b(8, 8);
        b.Canvas()->Brush()->SetColor(c);
        b.Canvas()->FillRect(Rect(0, 0, 8, 8));
        images.Add(&b, nullptr);
    }
    g->Columns()->Clear();
    TColumnEh* id = g->Columns()->Add();
    id->SetFieldName("Id");
    id->SetImageList(&images);
    id->SetWidth(40);
    g->Columns()->Add()->SetFieldName("Name");
    ASSERT_EQ(id->CellKind(), ckKeyImageList);
    ds->Last();   // the first row is not the current one
    GuiTest::ProcessEvents();
    ds->First();
    EXPECT_EQ(id->CellImageIndex(), 0);
    EXPECT_EQ(id->CellDisplayText(), "");
    ds->Last();
    for (int r = 0; r < 2; ++r) {
        TRect cell = g->CellRect(1, g->FirstDataRow() + r);
        TPoint mid = Point((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
        EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, mid)), ColorToRGB(r == 0 ? clRed : clBlue)) << r;
    }
    GuiTest::SavePng(g, "dbgrid-image-column.png");
    id->SetShowImageAndText(true);
    GuiTest::ProcessEvents();
    TRect cell = g->CellRect(1, g->FirstDataRow());
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(cell.Left + 6, (cell.Top + cell.Bottom) / 2))), ColorToRGB(clRed));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(cell.Right - 3, (cell.Top + cell.Bottom) / 2))),
              ColorToRGB(clWindow));
}

// A vertical title reads upwards: its caption's ink is taller than wide; a
// 3-D data grid frames every data cell.
TEST(GridCellParams, VerticalTitlesAndDataFrames)
{
    auto ds = FiveStudents();
    TGridHost host(ds.get(), 400, 260);
    TDBGridEh* g = host.Grid;
    g->SetTitleHeight(70);
    TColumnEh* name = g->Columns()->Items(1);
    name->Title()->SetCaption("学员姓名");
    name->Title()->SetOrientation(tohVertical);
    name->SetWidth(40);
    g->SetOptionsEh(g->OptionsEh() + TDBGridEhOptions{dghData3D});
    GuiTest::ProcessEvents();
    GuiTest::SavePng(g, "dbgrid-vertical-title.png");
    TRect t = g->CellRect(2, 0);
    TColorRef face = ColorToRGB(GuiTest::PixelAt(g, Point(t.Left + 3, t.Top + 3)));
    int top = t.Bottom, bottom = t.Top, left = t.Right, right = t.Left;
    for (int y = t.Top + 2; y < t.Bottom - 2; ++y)
        for (int x = t.Left + 2; x < t.Right - 2; ++x)
            if (ColorToRGB(GuiTest::PixelAt(g, Point(x, y))) != face) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_LT(top, bottom);
    EXPECT_GT(bottom - top, 2 * (right - left));
    // A raised frame: a white top-left edge inside each data cell.
    TRect d = g->CellRect(2, g->FirstDataRow() + 3);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(d.Left + 5, d.Top))), ColorToRGB(clBtnHighlight));
    g->SetOptionsEh(g->OptionsEh() - TDBGridEhOptions{dghData3D});
    GuiTest::ProcessEvents();
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(g, Point(d.Left + 5, d.Top))), ColorToRGB(clWindow));
}

}  // namespace
