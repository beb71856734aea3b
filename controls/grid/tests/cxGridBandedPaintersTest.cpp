// The banded view's painters, through a recording canvas: fixed bands stay
// on top of a scrolled band in the header, the rows and the footer; the
// fixed-band separators in every data row; a band's area under short cells
// and the grid lines between band rows; a pressed band header only on the
// grid itself; when a sideways scroll may shift the picture; and a picture
// of a banded view with Chinese captions.
#include "GridBandedViewFixture.h"

#include "cxGridTableView.h"

#include <cstdlib>

namespace {

class GridBandedPaintersTest : public GridBandedViewFixture {
protected:
    std::unique_ptr<TRecordingCanvas> PaintView()
    {
        TRect site = VI()->Site()->ClientRect();
        auto canvas = std::make_unique<TRecordingCanvas>(site.Width(), site.Height());
        TcxCanvas cx(canvas.get());
        View->Painter()->Paint(&cx);
        return canvas;
    }
    static TColor PixelOf(TRecordingCanvas* ACanvas, int X, int Y) { return ACanvas->Bitmap()->Canvas()->Pixels(X, Y); }
    TcxStyle* MakeStyle(TColor AColor)
    {
        auto* style = new TcxStyle(Form);
        style->SetColor(AColor);
        return style;
    }
    // The rectangles filled in AColor inside R.
    static std::vector<TRect> FillsIn(TRecordingCanvas* ACanvas, TColor AColor, const TRect& R)
    {
        std::vector<TRect> result;
        for (const TCanvasOp& op : ACanvas->Ops())
            if (op.Op == "FillRect" && op.Color == ColorToRGB(AColor) && op.Rect.Left >= R.Left &&
                op.Rect.Right <= R.Right && op.Rect.Top >= R.Top && op.Rect.Bottom <= R.Bottom)
                result.push_back(op.Rect);
        return result;
    }
    // A left-fixed band and a wide scrolling band, scrolled under it, with
    // the scrolling band in red wherever it draws: header, cells, footer.
    void ScrolledUnderAFixedBand()
    {
        Left = AddBand("学员信息", fkLeft, 150);
        Scrolling = AddBand("考试", fkNone, 800);
        TcxGridBandedColumn* name = AddColumn("姓名", Left, 150);
        TcxGridBandedColumn* score = AddColumn("科目一", Scrolling, 800);
        Fill({{"张三", "90"}, {"李四", "85"}});
        TcxStyle* red = MakeStyle(clRed);
        Scrolling->Styles()->SetHeader(red);
        score->Styles()->SetHeader(red);
        score->Styles()->SetContent(red);
        score->Styles()->SetFooter(red);
        View->OptionsView()->SetFooter(true);
        TcxDataSummaryItems* items = View->DataController()->Summary()->FooterSummaryItems();
        for (TcxGridBandedColumn* column : {name, score}) {
            auto* item = DynamicCast<TcxGridTableSummaryItem>(static_cast<TCollection*>(items)->Add());
            item->SetColumn(column);
            item->SetKind(skCount);
        }
        SetClientWidth(500);
        Controller()->SetLeftPos(200);
        Layout();
    }
    TcxGridBand* Left = nullptr;
    TcxGridBand* Scrolling = nullptr;
};

TEST_F(GridBandedPaintersTest, AScrolledBandIsHiddenUnderAFixedBand)
{
    ScrolledUnderAFixedBand();
    TcxGridBandViewInfo* fixed = BandVI(Left);
    TcxGridBandViewInfo* scrolled = BandVI(Scrolling);
    ASSERT_LT(scrolled->Bounds.Left, fixed->Bounds.Right);
    auto canvas = PaintView();
    TRect bandHeader = fixed->HeaderViewInfo()->Bounds;
    TRect columnHeader = ColumnVI(View->Columns(0))->Bounds;
    TRect cell = Row(0)->Cells(0)->Bounds;
    int footerY = Center(VI()->FooterViewInfo()->Items(0)->Bounds).Y;
    // Where the fixed band stands, nothing of the scrolled one shows.
    for (const TRect& r : {bandHeader, columnHeader, cell})
        for (int x = r.Left + 2; x < r.Right - 2; x += 10)
            ASSERT_NE(PixelOf(canvas.get(), x, (r.Top + r.Bottom) / 2), clRed) << x << "," << r.Top;
    for (int x = fixed->Bounds.Left + 2; x < fixed->Bounds.Right - 2; x += 10)
        ASSERT_NE(PixelOf(canvas.get(), x, footerY), clRed) << "footer " << x;
    // Right of it the scrolled band shows in all three.
    int x = fixed->Bounds.Right + 20;
    EXPECT_EQ(PixelOf(canvas.get(), x, (bandHeader.Top + bandHeader.Bottom) / 2), clRed);
    EXPECT_EQ(PixelOf(canvas.get(), x, (cell.Top + cell.Bottom) / 2), clRed);
    EXPECT_EQ(PixelOf(canvas.get(), x, footerY), clRed);
}

TEST_F(GridBandedPaintersTest, APaintedBandLeavesTheClipRegion)
{
    ScrolledUnderAFixedBand();
    TRecordingCanvas canvas(600, 300);
    TcxCanvas cx(&canvas);
    TcxGridBandViewInfo* fixed = BandVI(Left);
    ASSERT_TRUE(cx.RectVisible(fixed->Bounds));
    TcxGridBandPainter(&cx, fixed).MainPaint();
    EXPECT_FALSE(cx.RectVisible(fixed->Bounds));
    EXPECT_FALSE(cx.RectVisible(fixed->HeaderViewInfo()->Bounds));
    // The scrolled band can still paint right of it.
    TRect rest = BandVI(Scrolling)->Bounds;
    rest.Left = fixed->Bounds.Right;
    EXPECT_TRUE(cx.RectVisible(rest));
}

TEST_F(GridBandedPaintersTest, EveryDataRowShowsTheFixedBandSeparators)
{
    TcxGridBand* left = AddBand("学员信息", fkLeft, 100);
    TcxGridBand* middle = AddBand("考试", fkNone, 200);
    TcxGridBand* right = AddBand("备注", fkRight, 100);
    AddColumn("姓名", left, 100);
    AddColumn("科目一", middle, 200);
    AddColumn("备注", right, 100);
    Fill({{"张三", "90", "-"}, {"李四", "85", "-"}, {"王五", "70", "-"}});
    View->OptionsView()->SetFixedBandSeparatorColor(clFuchsia);
    for (int width : {2, 0}) {
        SCOPED_TRACE(width);
        View->OptionsView()->SetFixedBandSeparatorWidth(width);
        SetClientWidth(500);
        auto canvas = PaintView();
        for (int r = 0; r < 3; ++r) {
            TcxGridDataRowViewInfo* row = Row(r);
            ASSERT_NE(row, nullptr);
            std::vector<TRect> strips = FillsIn(canvas.get(), clFuchsia, row->Bounds);
            if (width == 0) {
                EXPECT_TRUE(strips.empty());
                continue;
            }
            // Over the band areas' content, above the rows' bottom grid line.
            auto* area = DynamicCast<TcxGridBandedDataRowCellsAreaViewInfo>(row->CellsAreaViewInfo());
            ASSERT_TRUE(area && area->GetVisible());
            TRect top = area->Items(0)->ContentBounds();
            EXPECT_EQ(top.Top, row->CellsAreaBounds.Top);
            std::vector<TRect> expected = {
                {BandVI(left)->Bounds.Right - 2, top.Top, BandVI(left)->Bounds.Right, top.Bottom},
                {BandVI(right)->Bounds.Left, top.Top, BandVI(right)->Bounds.Left + 2, top.Bottom}};
            EXPECT_EQ(strips, expected) << "row " << r;
            EXPECT_EQ(PixelOf(canvas.get(), BandVI(left)->Bounds.Right - 1, (top.Top + top.Bottom) / 2), clFuchsia);
        }
    }
}

TEST_F(GridBandedPaintersTest, ABandAreaFillsUnderShortCellsAndDrawsLinesBetweenBandRows)
{
    TcxGridBand* single = AddBand("考试", fkNone, 100);
    TcxGridBand* deep = AddBand("学员信息", fkNone, 200);
    AddColumn("科目一", single, 100);
    AddColumn("姓名", deep, 200, 0);
    AddColumn("住址", deep, 200, 1);
    Fill({{"90", "张三", "北京"}});
    single->Styles()->SetContent(MakeStyle(clAqua));
    View->OptionsView()->SetGridLines(glBoth);
    View->OptionsView()->SetGridLineColor(clBlue);
    Layout();
    TcxGridDataRowViewInfo* row = Row(0);
    ASSERT_NE(row, nullptr);
    auto* area = DynamicCast<TcxGridBandedDataRowCellsAreaViewInfo>(row->CellsAreaViewInfo());
    ASSERT_TRUE(area && area->GetVisible());
    // One horizontal line above the second row of the deep band.
    TcxGridBandedDataRowCellsAreaItemViewInfo* deepArea = area->Items(1);
    ASSERT_EQ(deepArea->GridLineCount(), 1);
    TRect address = row->Cells(2)->Bounds;
    EXPECT_EQ(deepArea->GridLines(0), (TRect{address.Left, address.Top - 1, address.Right, address.Top}));
    auto canvas = PaintView();
    TRect cell = row->Cells(0)->Bounds;
    // Under the one-line cell the band's content colour shows.
    EXPECT_EQ(PixelOf(canvas.get(), cell.Left + 10, cell.Bottom + 5), clAqua);
    EXPECT_EQ(PixelOf(canvas.get(), address.Left + 30, address.Top - 1), clBlue);
    // With vertical lines only, no line between band rows.
    View->OptionsView()->SetGridLines(glVertical);
    Layout();
    area = DynamicCast<TcxGridBandedDataRowCellsAreaViewInfo>(Row(0)->CellsAreaViewInfo());
    EXPECT_EQ(area->Items(1)->GridLineCount(), 0);
}

TEST_F(GridBandedPaintersTest, APressedBandHeaderShowsPressedOnTheGridAndNormalInADragImage)
{
    TcxGridBand* band = AddBand("学员信息", fkNone, 200);
    AddColumn("姓名", band, 200);
    Layout();
    TcxGridBandHeaderViewInfo* header = BandVI(band)->HeaderViewInfo();
    TcxGridBandHeaderPainter onGrid(header->GetCanvas(), header);
    TRecordingCanvas image(200, 50);
    TcxCanvas other(&image);
    TcxGridBandHeaderPainter inImage(&other, header);
    EXPECT_EQ(onGrid.GetButtonState(), cxbsNormal);
    Controller()->PressBand(band);
    EXPECT_TRUE(header->IsPressed());
    EXPECT_EQ(onGrid.GetButtonState(), cxbsPressed);
    EXPECT_EQ(inImage.GetButtonState(), cxbsNormal);
    Controller()->PressBand(nullptr);
    EXPECT_EQ(onGrid.GetButtonState(), cxbsNormal);
}

TEST_F(GridBandedPaintersTest, ABandHeaderItsHandlerDrawsIsNotDrawnAgain)
{
    TcxGridBand* student = AddBand("学员信息", fkNone, 150);
    TcxGridBand* exam = AddBand("考试", fkNone, 150);
    AddColumn("姓名", student, 150);
    AddColumn("科目一", exam, 150);
    int calls = 0;
    View->OnCustomDrawBandHeader = [&](TcxGridBandedTableView*, TcxCanvas* ACanvas, TcxCustomGridCellViewInfo* AViewInfo,
                                       bool& ADone) {
        ++calls;
        if (static_cast<TcxGridBandHeaderViewInfo*>(AViewInfo)->Band() != exam) return;
        ACanvas->FillRect(AViewInfo->Bounds, clYellow);
        ADone = true;
    };
    Layout();
    calls = 0;
    auto canvas = PaintView();
    EXPECT_EQ(calls, 2);
    int captions = 0, examCaptions = 0;
    for (const TCanvasOp& op : canvas->Ops()) {
        captions += op.Text == "学员信息";
        examCaptions += op.Text == "考试";
    }
    EXPECT_EQ(captions, 1);
    EXPECT_EQ(examCaptions, 0);
    TRect header = BandVI(exam)->HeaderViewInfo()->Bounds;
    EXPECT_EQ(PixelOf(canvas.get(), Center(header).X, Center(header).Y), clYellow);
}

TEST_F(GridBandedPaintersTest, BandBitmapsAndFixedBandsOverGroupsRefuseTheFastSideScroll)
{
    TcxGridBand* band = AddBand("学员信息", fkNone, 300);
    TcxGridBandedColumn* name = AddColumn("姓名", band, 300);
    AddColumn("性别", band, 100);
    Fill({{"张三", "男"}, {"李四", "女"}});
    Layout();
    auto* painter = static_cast<TcxGridBandedTablePainter*>(View->Painter());
    EXPECT_TRUE(painter->CanOffset(0, -10, 0));
    TBitmap bitmap;
    bitmap.SetSize(8, 8);
    for (int index : {TcxGridBandedTableBackgroundBitmaps::bbBandHeader,
                      TcxGridBandedTableBackgroundBitmaps::bbBandBackground}) {
        SCOPED_TRACE(index);
        View->BackgroundBitmaps()->SetBitmaps(index, &bitmap);
        Layout();
        EXPECT_FALSE(painter->CanOffset(0, -10, 0));
        TBitmap none;
        View->BackgroundBitmaps()->SetBitmaps(index, &none);
        Layout();
        EXPECT_TRUE(painter->CanOffset(0, -10, 0));
    }
    // A fixed band alone lets the picture shift; over grouped rows it does not.
    band->SetFixedKind(fkLeft);
    AddBand("考试", fkNone, 300);
    Layout();
    EXPECT_TRUE(painter->CanOffset(0, -10, 0));
    name->SetGroupIndex(0);
    Layout();
    EXPECT_FALSE(painter->CanOffset(0, -10, 0));
}

TEST_F(GridBandedPaintersTest, APictureOfABandedStudentList)
{
    TcxGridBand* student = AddBand("学员信息", fkLeft, 0);
    TcxGridBand* exam = AddBand("考试", fkNone, 0);
    TcxGridBand* training = AddBand("培训", fkNone, 0);
    AddColumn("姓名", student, 70, 0);
    AddColumn("性别", student, 40, 0);
    AddColumn("身份证号", student, 110, 1);
    AddColumn("科目一", exam, 60, 0);
    AddColumn("科目二", exam, 60, 0);
    AddColumn("考试日期", exam, 120, 1);
    AddColumn("教练", training, 80, 0, 2);
    AddColumn("学时", training, 50, 0, 2);
    Fill({{"张三", "男", "110101199001011234", "92", "85", "2026-11-02", "王教练", "24"},
          {"李四", "女", "310101199205054321", "88", "", "2026-11-09", "赵教练", "16"},
          {"王五", "男", "440301198812126789", "75", "90", "2026-10-28", "王教练", "30"},
          {"赵六", "女", "510101199507078888", "", "", "", "孙教练", "8"}});
    View->OptionsView()->SetIndicator(true);
    View->OptionsView()->SetGridLines(glBoth);
    // Scrolled sideways: the first scrolling band runs on under the fixed one.
    SetClientWidth(300);
    Controller()->SetLeftPos(40);
    Layout();
    auto canvas = PaintView();
    for (const char* text : {"学员信息", "考试", "培训", "姓名", "身份证号", "科目一", "科目二", "张三", "赵教练"}) {
        bool drawn = false;
        for (const TCanvasOp& op : canvas->Ops()) drawn |= op.Text == text;
        EXPECT_TRUE(drawn) << text;
    }
    if (const char* dir = getenv("QZ_KEEP_PICTURES"))
        EXPECT_TRUE(GuiTest::SavePng(canvas->Bitmap(), std::string(dir) + "/grid-banded-view.png"));
}

}  // namespace
