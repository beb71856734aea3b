// The table's painters, through a recording canvas: the order of the
// parts, what each part takes out of the clip region, the grid lines as
// one set of lines in the grid-line colour, pressed headers only on the
// grid itself, when scrolling may shift the picture, and a picture of a
// view with Chinese captions and data.
#include "GridTableViewFixture.h"

#include <cstdlib>

namespace {

class GridTablePaintersTest : public GridTableViewFixture {
protected:
    // Paints the whole view onto a recording canvas as large as the site.
    std::unique_ptr<TRecordingCanvas> PaintView()
    {
        TRect site = VI()->Site()->ClientRect();
        auto canvas = std::make_unique<TRecordingCanvas>(site.Width(), site.Height());
        TcxCanvas cx(canvas.get());
        View->Painter()->Paint(&cx);
        return canvas;
    }
    // The index of the first operation drawn inside R (-1: none).
    static int FirstOpIn(TRecordingCanvas* ACanvas, const TRect& R)
    {
        const auto& ops = ACanvas->Ops();
        for (size_t i = 0; i < ops.size(); ++i) {
            TRect r = ops[i].Rect;
            if (r.Width() > 0 && r.Height() > 0 && r.Left >= R.Left && r.Top >= R.Top && r.Right <= R.Right &&
                r.Bottom <= R.Bottom)
                return int(i);
        }
        return -1;
    }
};

TEST_F(GridTablePaintersTest, PartsPaintBeforeTheRowsInTheirOrder)
{
    Fill(3);
    View->OptionsView()->SetIndicator(true);
    View->OptionsView()->SetFooter(true);
    Layout();
    auto canvas = PaintView();
    int box = FirstOpIn(canvas.get(), VI()->GroupByBoxViewInfo()->Bounds);
    int indicator = FirstOpIn(canvas.get(), VI()->IndicatorViewInfo()->Bounds);
    int header = FirstOpIn(canvas.get(), Header()->Bounds);
    int footer = FirstOpIn(canvas.get(), VI()->FooterViewInfo()->Bounds);
    int rows = FirstOpIn(canvas.get(), Rows()->ItemAt(0)->Bounds);
    ASSERT_GE(box, 0);
    ASSERT_GE(indicator, 0);
    ASSERT_GE(header, 0);
    ASSERT_GE(footer, 0);
    ASSERT_GE(rows, 0);
    EXPECT_LT(box, indicator);
    EXPECT_LT(indicator, header);
    EXPECT_LT(header, footer);
    EXPECT_LT(footer, rows);
    // The captions are drawn.
    int captions = 0;
    for (const TCanvasOp& op : canvas->Ops()) captions += op.Text == "姓名" || op.Text == "电话";
    EXPECT_EQ(captions, 2);
}

TEST_F(GridTablePaintersTest, APaintedPartLeavesTheClipRegion)
{
    Fill(2);
    View->OptionsView()->SetIndicator(true);
    View->OptionsView()->SetFooter(true);
    Layout();
    TRecordingCanvas canvas(404, 300);
    TcxCanvas cx(&canvas);
    for (TcxCustomGridCellViewInfo* part : std::vector<TcxCustomGridCellViewInfo*>{
             Header()->Items(1), VI()->GroupByBoxViewInfo(), Header(), VI()->FooterViewInfo(),
             VI()->IndicatorViewInfo()}) {
        ASSERT_TRUE(cx.RectVisible(part->Bounds)) << part->ClassName();
        cxGridTablePainters::PaintViewInfo(&cx, part);
        EXPECT_FALSE(cx.RectVisible(part->Bounds)) << part->ClassName();
    }
    // The rows area stays paintable.
    EXPECT_TRUE(cx.RectVisible(Rows()->ItemAt(0)->Bounds));
}

TEST_F(GridTablePaintersTest, GridLinesAreDrawnTogetherInTheGridLineColour)
{
    Fill(3);
    View->OptionsView()->SetGridLineColor(clRed);
    Layout();
    auto canvas = PaintView();
    std::vector<const TCanvasOp*> lines;
    for (const TCanvasOp& op : canvas->Ops())
        if (op.Op == "Polyline") lines.push_back(&op);
    ASSERT_FALSE(lines.empty());
    // In one go after every cell's content: nothing is drawn between the lines.
    const auto& ops = canvas->Ops();
    size_t firstLine = size_t(lines.front() - ops.data()), lastLine = size_t(lines.back() - ops.data());
    EXPECT_EQ(lastLine - firstLine + 1, lines.size());
    // No cell border is filled in the grid-line colour: they are all among the lines.
    for (const TCanvasOp& op : ops)
        if (op.Op == "FillRect") EXPECT_NE(op.Color, ColorToRGB(clRed)) << op.Rect.Left << "," << op.Rect.Top;
    int horizontal = 0, vertical = 0;
    for (const TCanvasOp* line : lines) {
        EXPECT_EQ(line->Color, ColorToRGB(clRed));
        ASSERT_EQ(line->Points.size(), 2u);
        if (line->Points[0].Y == line->Points[1].Y) ++horizontal;
        if (line->Points[0].X == line->Points[1].X) ++vertical;
    }
    // Three rows of three cells: a bottom line and a right line each.
    EXPECT_EQ(horizontal, 9);
    EXPECT_EQ(vertical, 9);
    // The right line of the first cell runs down its right edge.
    auto* row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(0));
    ASSERT_TRUE(row && row->Cells(0));
    TRect right;
    row->Cells(0)->GetBorderBounds(bRight, right);
    bool found = false;
    for (const TCanvasOp* line : lines)
        found |= line->Points[0] == TPoint{right.Left, right.Top} && line->Points[1] == TPoint{right.Left, right.Bottom};
    EXPECT_TRUE(found);
}

TEST_F(GridTablePaintersTest, ALineRectangleOnePixelHighIsHorizontalAnyOtherVertical)
{
    Fill(1);
    Layout();
    auto* painter = DynamicCast<TcxGridTablePainter>(View->Painter());
    ASSERT_NE(painter, nullptr);
    // Outside a paint pass nothing is collected: the caller fills.
    EXPECT_FALSE(painter->AddGridLine(TRect{0, 0, 10, 1}));
}

TEST_F(GridTablePaintersTest, APressedHeaderShowsPressedOnTheGridAndNormalInADragImage)
{
    Fill(1);
    Layout();
    TcxGridColumnHeaderViewInfo* header = Header()->Items(1);
    View->PressedColumn = Column(1);
    TcxGridColumnHeaderPainter onGrid(header->GetCanvas(), header);
    EXPECT_EQ(onGrid.GetButtonState(), cxbsPressed);
    TRecordingCanvas image(200, 50);
    TcxCanvas imageCanvas(&image);
    TcxGridColumnHeaderPainter inImage(&imageCanvas, header);
    EXPECT_EQ(inImage.GetButtonState(), cxbsNormal);
    // Drawn into the image, the header is not inverted afterwards.
    cxGridTablePainters::PaintViewInfo(&imageCanvas, header);
    EXPECT_EQ(image.CountOf("InvertRect"), 0);
    View->PressedColumn = nullptr;
    EXPECT_EQ(TcxGridColumnHeaderPainter(header->GetCanvas(), header).GetButtonState(), cxbsNormal);
}

TEST_F(GridTablePaintersTest, ScrollingShiftsThePictureOnlyWhereNothingFixedIsDrawn)
{
    Fill(3);
    Layout();
    auto* painter = DynamicCast<TcxGridTablePainter>(View->Painter());
    ASSERT_NE(painter, nullptr);
    TBitmap bitmap, empty;
    bitmap.SetWidth(8);
    bitmap.SetHeight(8);
    EXPECT_TRUE(painter->CanOffset(0, 0, 10));
    EXPECT_TRUE(painter->CanOffset(0, -10, 0));
    // A footer bitmap repaints everything.
    View->BackgroundBitmaps()->SetBitmaps(TcxGridTableBackgroundBitmaps::bbFooter, &bitmap);
    EXPECT_FALSE(painter->CanOffset(0, 0, 10));
    View->BackgroundBitmaps()->SetBitmaps(TcxGridTableBackgroundBitmaps::bbFooter, &empty);
    // A header bitmap only stops sideways shifts.
    View->BackgroundBitmaps()->SetBitmaps(TcxGridTableBackgroundBitmaps::bbHeader, &bitmap);
    EXPECT_TRUE(painter->CanOffset(0, 0, 10));
    EXPECT_FALSE(painter->CanOffset(0, -10, 0));
    View->BackgroundBitmaps()->SetBitmaps(TcxGridTableBackgroundBitmaps::bbHeader, &empty);
    // A new-item row with its info text repaints on sideways scrolling; without the text it shifts.
    View->OptionsView()->SetNewItemRow(true);
    Layout();
    EXPECT_FALSE(painter->CanOffset(0, -10, 0));
    View->OptionsView()->SetNewItemRowInfoText("");
    Layout();
    EXPECT_TRUE(painter->CanOffset(0, -10, 0));
}

TEST_F(GridTablePaintersTest, APictureOfAStudentList)
{
    Fill({{"张三", "男", "13800000001"}, {"李四", "女", "13800000002"}, {"王五", "男", "13800000003"},
          {"赵六", "女", "13800000004"}});
    View->OptionsView()->SetIndicator(true);
    View->OptionsView()->SetIndicatorWidth(30);
    View->OptionsView()->SetFooter(true);
    View->OptionsView()->SetGroupByBox(false);
    Column(0)->SetSortOrder(soAscending);
    Layout();
    auto canvas = PaintView();
    // Every name is drawn.
    for (const char* name : {"张三", "李四", "王五", "赵六"}) {
        bool drawn = false;
        for (const TCanvasOp& op : canvas->Ops()) drawn |= op.Text == name;
        EXPECT_TRUE(drawn) << name;
    }
    if (const char* dir = getenv("QZ_KEEP_PICTURES"))
        EXPECT_TRUE(GuiTest::SavePng(canvas->Bitmap(), std::string(dir) + "/grid-table-view.png"));
}

TEST_F(GridTablePaintersTest, TheNewItemRowShowsItsInfoTextUntilFocusedThenItsCells)
{
    Fill({{"张三", "男", "13800000001"}, {"李四", "女", "13800000002"}});
    View->OptionsView()->SetNewItemRow(true);
    View->OptionsView()->SetNewItemRowSeparatorColor(clLime);
    View->OptionsView()->SetGroupByBox(false);
    Layout();
    auto canvas = PaintView();
    TcxGridNewItemRowViewInfo* nr = Rows()->NewItemRowViewInfo();
    ASSERT_NE(nr, nullptr);
    ASSERT_TRUE(nr->ShowInfoText());
    const TCanvasOp* text = nullptr;
    for (const TCanvasOp& op : canvas->Ops())
        if (op.Text == "Click here to add a new row") text = &op;
    ASSERT_NE(text, nullptr);
    // The band below the row in the separator colour, inside its header borders;
    // the row itself in its background colour where no text is.
    TRect sep = nr->GetNewItemRowSeparatorBounds();
    TBitmap* shot = canvas->Bitmap();
    EXPECT_EQ(shot->Canvas()->Pixels(sep.Left + 20, (sep.Top + sep.Bottom) / 2), clLime);
    EXPECT_EQ(shot->Canvas()->Pixels(nr->ContentBounds().Left + 3, nr->ContentBounds().Top + 2),
              ColorToRGB(nr->Params.Color));
    GuiTest::SavePng(shot, "grid-new-item-row.png");

    // Focused, the row is one to type into: cells, no info text.
    View->Site()->SetFocus();
    GuiTest::ProcessEvents();
    Controller()->FocusNewItemRow();
    View->DataController()->SetValue(View->DataController()->GetNewItemRecordIndex(), 0, Variant("王五"));
    Layout();
    nr = Rows()->NewItemRowViewInfo();
    ASSERT_FALSE(nr->ShowInfoText());
    canvas = PaintView();
    bool infoShown = false, cellShown = false;
    for (const TCanvasOp& op : canvas->Ops()) {
        infoShown |= op.Text == "Click here to add a new row";
        cellShown |= op.Text == "王五";
    }
    EXPECT_FALSE(infoShown);
    EXPECT_TRUE(cellShown);
    EXPECT_EQ(canvas->Bitmap()->Canvas()->Pixels(sep.Left + 20, (sep.Top + sep.Bottom) / 2), clLime);
    GuiTest::SavePng(canvas->Bitmap(), "grid-new-item-row-focused.png");
}

}  // namespace
