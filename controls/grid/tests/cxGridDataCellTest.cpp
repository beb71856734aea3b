// Data cells of a record view: each shows one item's value of one record
// through the item's editor, in the colours the styles and the selection
// give, measures its height, answers hit tests and handles clicks.
#include "GridTestBase.h"

#include "RecordingCanvas.h"

#include <algorithm>

namespace {

using GridTesting::RowHeight;

class GridDataCellTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        View = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
        View->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(View);
        Name = View->CreateItem();
        Name->SetName("ColName");
        Name->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        Name->SetWidth(100);
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(6);
        const char* names[] = {"张三", "李四", "王五", "", "赵六", "孙七"};
        for (int i = 0; i < 6; ++i) dc->SetValue(i, 0, Variant(std::string(names[i])));
        Grid->SetBounds(0, 0, 300, 200);
        ShowForm();
    }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Editors.reset();
    }
    TcxGridTableDataCellViewInfo* Cell(int ARow, TcxCustomGridTableItem* AItem = nullptr)
    {
        TcxCustomGridRecordViewInfo* row = View->TableViewInfo()->RecordsViewInfo()->GetRealItem(ARow);
        return row ? static_cast<TcxGridTableDataCellViewInfo*>(row->GetCellViewInfoByItem(AItem ? AItem : Name))
                   : nullptr;
    }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    TcxGridTestTableView* View = nullptr;
    TcxCustomGridTableItem* Name = nullptr;
};

TEST_F(GridDataCellTest, ACellShowsItsRecordsValueThroughTheItemsEditor)
{
    TcxGridTableDataCellViewInfo* cell = Cell(1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Item(), Name);
    EXPECT_EQ(cell->Properties(), Name->GetProperties());
    ASSERT_NE(cell->EditViewInfo(), nullptr);
    EXPECT_TRUE(cell->EditViewInfo()->InheritsFrom(TcxCustomTextEditViewInfo::StaticClass()));
    EXPECT_EQ(cell->Text, "李四");
    EXPECT_EQ(Cell(3)->Text, "");
    TRect expected{0, 0, 0, 0};
    EXPECT_EQ(cell->Bounds.Width(), 100);
    EXPECT_EQ(cell->Bounds.Height(), RowHeight);
    TRect r;
    cell->GetEditBounds(r);
    EXPECT_EQ(r.Left, cell->ContentBounds().Left + 1);
    EXPECT_EQ(r.Top, cell->ContentBounds().Top + 1);
}

TEST_F(GridDataCellTest, APaintedCellDrawsItsTextInTheContentOrSelectionColours)
{
    TRecordingCanvas rec(300, 200);
    TcxCanvas canvas(&rec);
    TcxCustomLookAndFeelPainterClass painter = View->LookAndFeelPainter();
    Cell(2)->Paint(&canvas);
    const TCanvasOp* text = nullptr;
    for (const TCanvasOp& op : rec.Ops())
        if (op.Text == "王五") text = &op;
    ASSERT_NE(text, nullptr) << "the editor draws the value";
    EXPECT_EQ(text->Color, ColorToRGB(painter->ContentTextColor()));

    // Without cell selection the whole focused record is drawn selected.
    View->OptionsSelection()->SetCellSelect(false);
    View->SetFocused(true);
    View->Controller()->FocusRecord(2, false);
    GuiTest::ProcessEvents();
    // A painted cell leaves the clip region, so a second paint takes a new canvas.
    TRecordingCanvas rec2(300, 200);
    TcxCanvas canvas2(&rec2);
    Cell(2)->Paint(&canvas2);
    bool selectionFill = std::any_of(rec2.Ops().begin(), rec2.Ops().end(), [&](const TCanvasOp& op) {
        return op.Op == "FillRect" && (op.Color == ColorToRGB(painter->SelectionColor()) ||
                                       op.Color == ColorToRGB(painter->InactiveColor()));
    });
    EXPECT_TRUE(selectionFill);
}

TEST_F(GridDataCellTest, CustomDrawingGoesToTheItemThenTheView)
{
    std::vector<std::string> calls;
    Name->OnCustomDrawCell = [&](TcxCustomGridTableView*, TcxCanvas*, TcxGridTableDataCellViewInfo* c, bool& ADone) {
        calls.push_back("item:" + c->Text);
        ADone = c->Text == "张三";
    };
    View->OnCustomDrawCell = [&](TcxCustomGridTableView*, TcxCanvas* ACanvas, TcxGridTableDataCellViewInfo* c, bool& ADone) {
        calls.push_back("view:" + c->Text);
        // Zebra rows: the canvas brush becomes the cell's background.
        ACanvas->Brush()->SetColor(TColor(0xF0FBFF));
    };
    TRecordingCanvas rec(300, 200);
    TcxCanvas canvas(&rec);
    ASSERT_TRUE(Cell(0)->HasCustomDraw());
    Cell(0)->Paint(&canvas);
    TColor before = Cell(1)->EditViewInfo()->BackgroundColor();
    rec.Clear();
    Cell(1)->Paint(&canvas);
    EXPECT_EQ(calls, (std::vector<std::string>{"item:张三", "item:李四", "view:李四"}));
    EXPECT_TRUE(std::any_of(rec.Ops().begin(), rec.Ops().end(), [](const TCanvasOp& op) {
        return op.Op == "FillRect" && op.Color == ColorToRGB(TColor(0xF0FBFF));
    })) << "the editor paints with the handler's brush";
    EXPECT_EQ(Cell(1)->EditViewInfo()->BackgroundColor(), before) << "for that one paint only";
}

TEST_F(GridDataCellTest, AutoHeightKeepsToTheMaximumLineCount)
{
    View->DataController()->SetValue(0, 0, Variant(std::string("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十")));
    View->OptionsView()->SetCellAutoHeight(true);
    GuiTest::ProcessEvents();
    Name->SetWidth(40);
    GuiTest::ProcessEvents();
    TcxGridTableDataCellViewInfo* longCell = Cell(0);
    ASSERT_NE(longCell, nullptr);
    int oneLine = Cell(1)->CalculateHeight();
    int unlimited = longCell->CalculateHeight();
    View->OptionsView()->SetCellTextMaxLineCount(2);
    GuiTest::ProcessEvents();
    int twoLines = Cell(0)->CalculateHeight();
    EXPECT_GT(oneLine, 0);
    EXPECT_GT(unlimited, twoLines);
    EXPECT_GT(twoLines, oneLine);
    EXPECT_EQ(Cell(3)->CalculateHeight(), 0) << "an empty text measures nothing, not the 2 pixels of the frame";
}

TEST_F(GridDataCellTest, AClickOnACellFocusesItsRecordAndItemAndReportsTheClick)
{
    TcxGridTableDataCellViewInfo* cell = Cell(4);
    TPoint p{cell->Bounds.Left + 5, cell->Bounds.Top + 5};
    TcxCustomGridHitTest* hit = View->TableViewInfo()->GetHitTest(p);
    ASSERT_EQ(hit->HitTestCode(), 102);
    EXPECT_EQ(static_cast<TcxGridRecordCellHitTest*>(hit)->Item, Name);
    std::vector<std::string> clicks;
    View->OnCellClick = [&](TcxCustomGridTableView*, TcxGridTableDataCellViewInfo* c, TMouseButton, TShiftState, bool& AHandled) {
        clicks.push_back(c->Text);
        AHandled = true;
    };
    View->Site()->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::Click(View->Site(), p);
    GuiTest::ProcessEvents();
    EXPECT_EQ(View->DataController()->GetFocusedRowIndex(), 4);
    EXPECT_EQ(View->Controller()->FocusedItem(), Name);
    EXPECT_EQ(clicks, std::vector<std::string>{"赵六"});
    EXPECT_FALSE(View->IsCellMouseDown) << "the flag lasts only for the mouse-down";
}

TEST_F(GridDataCellTest, AClickHandlerMayFreeTheView)
{
    TcxGridTableDataCellViewInfo* cell = Cell(1);
    TcxCustomGridHitTest* hit = View->TableViewInfo()->GetHitTest(TPoint{cell->Bounds.Left + 5, cell->Bounds.Top + 5});
    bool freed = false;
    View->OnCellClick = [&](TcxCustomGridTableView* ASender, TcxGridTableDataCellViewInfo*, TMouseButton, TShiftState, bool&) {
        FreeObject(ASender);
        freed = true;
    };
    // The cell goes with the view; the handling stops without touching either.
    EXPECT_TRUE(cell->MouseUp(hit, mbLeft, {}));
    EXPECT_TRUE(freed);
    View = nullptr;
}

TEST_F(GridDataCellTest, CellsOfAnItemThatGoesForgetIt)
{
    TcxGridTableDataCellViewInfo* cell = Cell(0);
    ASSERT_EQ(cell->Item(), Name);
    Grid->BeginUpdate();
    FreeObject(Name);
    EXPECT_EQ(cell->Item(), nullptr) << "the cell stands until the next layout";
    Variant v;
    cell->GetValue(v);
    EXPECT_TRUE(v.IsNull());
    Grid->EndUpdate();
    GuiTest::ProcessEvents();
}

TEST_F(GridDataCellTest, TheSitePaintsItsRowsOfCells)
{
    View->OptionsSelection()->SetCellSelect(false);
    View->SetFocused(true);
    View->Controller()->FocusRecord(1, false);
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(View->Site()));
    ASSERT_NE(shot, nullptr);
    TcxGridTableDataCellViewInfo* plain = Cell(0);
    TcxGridTableDataCellViewInfo* selected = Cell(1);
    // A pixel inside each cell, right of its text.
    TColor plainPixel = shot->Canvas()->Pixels(plain->Bounds.Right - 4, plain->Bounds.Top + 4);
    TColor selectedPixel = shot->Canvas()->Pixels(selected->Bounds.Right - 4, selected->Bounds.Top + 4);
    TcxCustomLookAndFeelPainterClass painter = View->LookAndFeelPainter();
    EXPECT_EQ(ColorToRGB(plainPixel), ColorToRGB(painter->ContentColor()));
    EXPECT_TRUE(ColorToRGB(selectedPixel) == ColorToRGB(painter->SelectionColor()) ||
                ColorToRGB(selectedPixel) == ColorToRGB(painter->InactiveColor()));
    if (const char* dir = getenv("QZ_KEEP_PICTURES")) GuiTest::SavePng(Grid, std::string(dir) + "/grid-data-cells.png");
}

}  // namespace
