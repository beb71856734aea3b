// The string grid driven by keys and the mouse: navigation, selection,
// scrolling, sizing and moving rows and columns, and how it paints.
#include "Grids.h"
#include "GuiTesting.h"
#include "Overlay.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Grid = new TStringGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 300, 200);
        Grid->SetColCount(5);
        Grid->SetRowCount(20);
        Grid->SetDefaultColWidth(50);
        Grid->SetDefaultRowHeight(20);
        for (int r = 0; r < 20; ++r)
            for (int c = 0; c < 5; ++c) Grid->SetCells(c, r, std::to_string(c) + "," + std::to_string(r));
        Grid->OnClick = [this](TObject*) { ++Clicks; };
        Form->Show();
        Grid->SetFocus();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        ScreenOverlay()->Clear();
        Form.reset();
    }
    TPoint Center(int col, int row)
    {
        TRect r = Grid->CellRect(col, row);
        return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    TGridCoord Current() const { return {Grid->Col(), Grid->Row()}; }
    std::unique_ptr<TForm> Form;
    TStringGrid* Grid = nullptr;
    int Clicks = 0;
};

struct TKeyCase {
    const char* Name;
    TGridCoord Start;
    int Key;
    TShiftState Shift;
    TGridCoord Expect;
    TGridRect Selection;   // Left, Top, Right, Bottom
};

TEST_F(GridTest, KeyboardTable)
{
    const TKeyCase cases[] = {
        {"down", {1, 1}, VK_DOWN, {}, {1, 2}, Rect(1, 2, 1, 2)},
        {"up stops at the fixed row", {1, 1}, VK_UP, {}, {1, 1}, Rect(1, 1, 1, 1)},
        {"left stops at the fixed column", {1, 3}, VK_LEFT, {}, {1, 3}, Rect(1, 3, 1, 3)},
        {"right", {1, 3}, VK_RIGHT, {}, {2, 3}, Rect(2, 3, 2, 3)},
        {"right stops at the last column", {4, 3}, VK_RIGHT, {}, {4, 3}, Rect(4, 3, 4, 3)},
        {"home", {3, 5}, VK_HOME, {}, {1, 5}, Rect(1, 5, 1, 5)},
        {"end", {1, 5}, VK_END, {}, {4, 5}, Rect(4, 5, 4, 5)},
        {"ctrl+home", {3, 9}, VK_HOME, {ssCtrl}, {1, 1}, Rect(1, 1, 1, 1)},
        {"ctrl+end", {1, 1}, VK_END, {ssCtrl}, {4, 19}, Rect(4, 19, 4, 19)},
        {"shift+down extends", {2, 2}, VK_DOWN, {ssShift}, {2, 3}, Rect(2, 2, 2, 3)},
        {"shift+right extends", {2, 2}, VK_RIGHT, {ssShift}, {3, 2}, Rect(2, 2, 3, 2)},
        {"down stops at the last row", {1, 19}, VK_DOWN, {}, {1, 19}, Rect(1, 19, 1, 19)},
    };
    for (const TKeyCase& k : cases) {
        SCOPED_TRACE(k.Name);
        Grid->FocusCell(k.Start.X, k.Start.Y, true);
        Clicks = 0;
        GuiTest::KeyPress(k.Key, k.Shift);
        EXPECT_EQ(Current(), k.Expect);
        EXPECT_EQ(Grid->Selection(), k.Selection);
        EXPECT_EQ(Clicks, k.Expect == k.Start ? 0 : 1) << "a move of the current cell is a click";
        // The current cell always shows.
        EXPECT_FALSE(IsRectEmpty(Grid->CellRect(Grid->Col(), Grid->Row())));
    }
}

TEST_F(GridTest, PagesTabsAndRowSelect)
{
    int page = Grid->VisibleRowCount();
    ASSERT_GT(page, 2);
    Grid->FocusCell(1, 1, true);
    GuiTest::KeyPress(VK_NEXT);
    EXPECT_EQ(Grid->Row(), 1 + page);
    EXPECT_EQ(Grid->TopRow(), 1 + page);
    GuiTest::KeyPress(VK_PRIOR);
    EXPECT_EQ(Grid->Row(), 1);
    EXPECT_EQ(Grid->TopRow(), 1);

    // Tab walks the columns that take it, row after row.
    Grid->SetOptions(Grid->Options() + TGridOptions{goTabs});
    Grid->SetTabStops(2, false);
    Grid->FocusCell(1, 1, true);
    GuiTest::KeyPress(VK_TAB);
    EXPECT_EQ(Current(), (TGridCoord{3, 1}));
    GuiTest::KeyPress(VK_TAB);
    GuiTest::KeyPress(VK_TAB);
    EXPECT_EQ(Current(), (TGridCoord{1, 2}));
    GuiTest::KeyPress(VK_TAB, {ssShift});
    EXPECT_EQ(Current(), (TGridCoord{4, 1}));

    // Whole rows: left and right scroll, the selection covers the row.
    Grid->SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRowSelect});
    Grid->SetColCount(12);
    Grid->FocusCell(1, 4, true);
    EXPECT_EQ(Grid->Selection(), Rect(1, 4, 11, 4));
    GuiTest::KeyPress(VK_RIGHT);
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->LeftCol(), 2);
    GuiTest::KeyPress(VK_DOWN, {ssShift});
    EXPECT_EQ(Grid->Selection(), Rect(1, 5, 11, 5)) << "rows are selected one at a time";

    // A cell the program refuses is not entered.
    Grid->OnSelectCell = [](TObject*, int, int row, bool& can) { can = row != 6; };
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Grid->Row(), 5);
}

TEST_F(GridTest, MouseTable)
{
    // A click makes a cell current and is one click.
    GuiTest::Click(Grid, Center(3, 4));
    EXPECT_EQ(Current(), (TGridCoord{3, 4}));
    EXPECT_EQ(Clicks, 1);
    // Clicking the current cell again is still a click (the dialogs toggle on it).
    GuiTest::Click(Grid, Center(3, 4));
    EXPECT_EQ(Clicks, 2);
    // Shift+click extends from the anchor.
    GuiTest::Click(Grid, Center(1, 2), mbLeft, {ssShift});
    EXPECT_EQ(Grid->Selection(), Rect(1, 2, 3, 4));
    // Dragging selects a range.
    GuiTest::MouseDown(Grid, mbLeft, Center(1, 1));
    EXPECT_EQ(Grid->GridState(), gsSelecting);
    GuiTest::MouseMove(Grid, Center(2, 3), {ssLeft});
    GuiTest::MouseUp(Grid, mbLeft, Center(2, 3));
    EXPECT_EQ(Grid->GridState(), gsNormal);
    EXPECT_EQ(Grid->Selection(), Rect(1, 1, 2, 3));
    EXPECT_EQ(Current(), (TGridCoord{2, 3}));
    // Fixed cells and the empty area beyond the cells take no click.
    TGridRect before = Grid->Selection();
    GuiTest::Click(Grid, Center(0, 5));
    GuiTest::Click(Grid, Center(2, 0));
    EXPECT_EQ(Grid->Selection(), before);
    EXPECT_EQ(Grid->MouseCoord(290, 10), (TGridCoord{-1, -1}));
    // A double click.
    int dbl = 0;
    Grid->OnDblClick = [&](TObject*) { ++dbl; };
    GuiTest::DoubleClick(Grid, Center(2, 2));
    EXPECT_EQ(dbl, 1);
    // The wheel moves the current row.
    GuiTest::Wheel(Grid, Center(2, 2), -120);
    EXPECT_EQ(Grid->Row(), 3);
}

TEST_F(GridTest, SizingColumnsShowsAnInvertedLine)
{
    Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing, goRowSizing});
    TRect c1 = Grid->CellRect(1, 0);
    TPoint onLine(c1.Right, c1.Top + 5);
    EXPECT_TRUE(Grid->Sizing(onLine.X, onLine.Y));
    EXPECT_FALSE(Grid->Sizing(c1.Left + 10, c1.Top + 5));
    EXPECT_FALSE(Grid->Sizing(c1.Right, Center(1, 3).Y)) << "only in the fixed row";
    GuiTest::MouseDown(Grid, mbLeft, onLine);
    EXPECT_EQ(Grid->GridState(), gsColSizing);
    EXPECT_EQ(Grid->SizingIndex(), 1);
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 1);
    GuiTest::MouseMove(Grid, Point(onLine.X + 20, onLine.Y), {ssLeft});
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 1);
    GuiTest::MouseUp(Grid, mbLeft, Point(onLine.X + 20, onLine.Y));
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 0) << "the line goes with the button";
    EXPECT_EQ(Grid->ColWidths(1), 70);
    // Rows size in the fixed column.
    TRect r2 = Grid->CellRect(0, 2);
    GuiTest::MouseDown(Grid, mbLeft, Point(r2.Left + 5, r2.Bottom));
    EXPECT_EQ(Grid->GridState(), gsRowSizing);
    GuiTest::MouseMove(Grid, Point(r2.Left + 5, r2.Bottom - 8), {ssLeft});
    GuiTest::MouseUp(Grid, mbLeft, Point(r2.Left + 5, r2.Bottom - 8));
    EXPECT_EQ(Grid->RowHeights(2), 12);
}

TEST_F(GridTest, RowsAndColumnsMoveWithTheirCells)
{
    Grid->SetOptions(Grid->Options() + TGridOptions{goRowMoving, goColMoving});
    std::vector<std::pair<int, int>> rowMoves, colMoves;
    Grid->OnRowMoved = [&](TObject*, int from, int to) { rowMoves.push_back({from, to}); };
    Grid->OnColumnMoved = [&](TObject*, int from, int to) { colMoves.push_back({from, to}); };
    Grid->FocusCell(2, 5, true);
    // Row 5 dragged by its fixed cell onto row 2.
    GuiTest::MouseDown(Grid, mbLeft, Center(0, 5));
    EXPECT_EQ(Grid->GridState(), gsRowMoving);
    GuiTest::MouseMove(Grid, Center(0, 4), {ssLeft});
    GuiTest::MouseMove(Grid, Center(0, 2), {ssLeft});
    EXPECT_EQ(Grid->MovePos(), 2);
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 1) << "the mark shows where the row lands";
    GuiTest::MouseUp(Grid, mbLeft, Center(0, 2));
    EXPECT_EQ(ScreenOverlay()->ShapeCount(), 0);
    ASSERT_EQ(rowMoves.size(), 1u);
    EXPECT_EQ(rowMoves[0], std::make_pair(5, 2));
    EXPECT_EQ(Grid->Cells(1, 2), "1,5");
    EXPECT_EQ(Grid->Cells(1, 3), "1,2");
    EXPECT_EQ(Grid->Cells(1, 5), "1,4");
    EXPECT_EQ(Grid->Row(), 2) << "the current cell moves with its row";
    // A press without a drag moves nothing.
    GuiTest::Click(Grid, Center(0, 7));
    EXPECT_EQ(rowMoves.size(), 1u);
    // A column by its fixed cell.
    GuiTest::MouseDown(Grid, mbLeft, Center(1, 0));
    GuiTest::MouseMove(Grid, Center(2, 0), {ssLeft});
    GuiTest::MouseMove(Grid, Center(3, 0), {ssLeft});
    GuiTest::MouseUp(Grid, mbLeft, Center(3, 0));
    ASSERT_EQ(colMoves.size(), 1u);
    EXPECT_EQ(colMoves[0], std::make_pair(1, 3));
    EXPECT_EQ(Grid->Cells(3, 0), "1,0");
    EXPECT_EQ(Grid->Cells(1, 0), "2,0");
}

// The thumb of the bar moves the top row when let go, or while it moves
// with goThumbTracking; selecting past the bottom edge scrolls on a timer.
TEST_F(GridTest, ThumbDragAndSelectingPastTheEdgeScroll)
{
    GuiTest::TManualTime clock;
    const HWND h = Grid->Handle();
    for (bool tracking : {false, true}) {
        SCOPED_TRACE(tracking ? "tracking" : "not tracking");
        Grid->SetTopRow(1);
        Grid->SetOptions(tracking ? Grid->Options() + TGridOptions{goThumbTracking}
                                  : Grid->Options() - TGridOptions{goThumbTracking});
        TScrollBarInfo info{};
        ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &info));
        const int x = Grid->ClientWidth() + 3, mid = (info.xyThumbTop + info.xyThumbBottom) / 2;
        GuiTest::MouseDown(Grid, mbLeft, Point(x, mid));
        GuiTest::MouseMove(Grid, Point(x, mid + 40));
        if (tracking) EXPECT_GT(Grid->TopRow(), 1) << "follows the thumb";
        else EXPECT_EQ(Grid->TopRow(), 1) << "waits for the thumb to be let go";
        GuiTest::MouseUp(Grid, mbLeft, Point(x, mid + 40));
        EXPECT_GT(Grid->TopRow(), 1);
        EXPECT_EQ(Current(), (TGridCoord{1, 1})) << "scrolling leaves the current cell";
    }

    Grid->SetTopRow(1);
    GuiTest::MouseDown(Grid, mbLeft, Center(1, 2));
    const TPoint below = Point(Center(1, 2).X, Grid->ClientHeight() + 20);
    GuiTest::MouseMove(Grid, below);
    const int reached = Grid->Row();
    for (int i = 0; i < 5; ++i) clock.Advance(60);
    EXPECT_EQ(Grid->Row(), reached + 5) << "a row each tick";
    EXPECT_EQ(Grid->TopRow() + Grid->VisibleRowCount() - 1, Grid->Row()) << "kept in view";
    EXPECT_EQ(Grid->Selection().Top, 2) << "the selection still starts where the press was";
    EXPECT_EQ(Grid->Selection().Bottom, Grid->Row());
    GuiTest::MouseUp(Grid, mbLeft, below);
    const int after = Grid->Row();
    clock.Advance(300);
    EXPECT_EQ(Grid->Row(), after) << "the timer stops with the release";
}

TEST_F(GridTest, GeometryAndShapeChanges)
{
    TRect r = Grid->CellRect(2, 3);
    EXPECT_EQ(r.Width(), 50);
    EXPECT_EQ(r.Height(), 20);
    EXPECT_EQ(r.Left, 2 * 51);
    EXPECT_EQ(Grid->MouseCoord(r.Left, r.Top), (TGridCoord{2, 3}));
    EXPECT_EQ(Grid->MouseCoord(r.Right, r.Bottom), (TGridCoord{2, 3})) << "the grid line belongs to the cell";
    // A hidden column takes its line with it; a zero-width one keeps it.
    Grid->SetColWidths(1, -1);
    EXPECT_TRUE(IsRectEmpty(Grid->CellRect(1, 3)));
    EXPECT_EQ(Grid->CellRect(2, 3).Left, 51);
    Grid->SetColWidths(1, 0);
    EXPECT_EQ(Grid->CellRect(2, 3).Left, 52);
    // The default height resets every row.
    Grid->SetRowHeights(4, 40);
    Grid->SetDefaultRowHeight(18);
    EXPECT_EQ(Grid->RowHeights(4), 18);
    // Shrinking keeps the current cell inside.
    Grid->FocusCell(4, 15, true);
    Grid->SetRowCount(10);
    Grid->SetColCount(3);
    EXPECT_EQ(Current(), (TGridCoord{2, 9}));
    EXPECT_EQ(Grid->Cells(2, 9), "2,9");
    EXPECT_EQ(Grid->Cells(4, 9), "") << "outside the grid";
    EXPECT_THROW(Grid->SetCells(4, 9, "x"), EInvalidGridOperation);
    EXPECT_THROW(Grid->SetFixedCols(3), EInvalidGridOperation);
    // Scrolling by the bar.
    Grid->SetRowCount(40);
    Grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Grid->TopRow(), 2);
    Grid->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Grid->TopRow() + Grid->VisibleRowCount() - 1, 39);
    int visible = Grid->VisibleRowCount();
    Grid->SetTopRow(1000);
    EXPECT_EQ(Grid->TopRow(), 40 - visible);
}

TEST_F(GridTest, ThePartsOfTheColumnChoiceDialog)
{
    // Two columns of 120, rows 22, no fixed row, the caption column fixed,
    // column sizing and row dragging; a click toggles the check of the row.
    Grid->SetColCount(2);
    Grid->SetDefaultColWidth(120);
    Grid->SetDefaultRowHeight(22);
    Grid->SetFixedRows(0);
    Grid->SetFixedCols(1);
    Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing, goRowMoving});
    const char* captions[] = {"姓名", "性别", "电话"};
    Grid->SetRowCount(3);
    for (int r = 0; r < 3; ++r) {
        Grid->SetCells(0, r, captions[r]);
        Grid->SetCells(1, r, "√");
    }
    std::vector<bool> visible = {true, true, true};
    std::vector<std::string> order = {"姓名", "性别", "电话"};
    Grid->OnClick = [&](TObject*) {
        int r = Grid->Row();
        Grid->SetCells(1, r, Grid->Cells(1, r) == "√" ? "" : "√");
    };
    Grid->OnRowMoved = [&](TObject*, int from, int to) {
        std::string moved = order[size_t(from)];
        order.erase(order.begin() + from);
        order.insert(order.begin() + to, moved);
    };
    GuiTest::Click(Grid, Center(1, 1));
    EXPECT_EQ(Grid->Cells(1, 1), "");
    GuiTest::Click(Grid, Center(1, 1));
    EXPECT_EQ(Grid->Cells(1, 1), "√");
    GuiTest::Click(Grid, Center(1, 2));
    EXPECT_EQ(Grid->Cells(1, 2), "");
    GuiTest::MouseDown(Grid, mbLeft, Center(0, 2));
    GuiTest::MouseMove(Grid, Center(0, 1), {ssLeft});
    GuiTest::MouseMove(Grid, Center(0, 0), {ssLeft});
    GuiTest::MouseUp(Grid, mbLeft, Center(0, 0));
    EXPECT_EQ(order, (std::vector<std::string>{"电话", "姓名", "性别"}));
    EXPECT_EQ(Grid->Cells(0, 0), "电话");
    EXPECT_EQ(Grid->Cells(1, 0), "") << "the check stays with its row";
}

TEST_F(GridTest, PaintsCellsLinesAndTheSelection)
{
    Grid->SetOptions(Grid->Options() + TGridOptions{goRangeSelect});
    Grid->SetCells(1, 1, "学员");
    Grid->FocusCell(2, 2, true);
    GuiTest::KeyPress(VK_DOWN, {ssShift});
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Grid));
    GuiTest::SavePng(shot.get(), ::testing::TempDir() + "grid.png");
    auto px = [&](TPoint p) { return GuiTest::PixelAt(Grid, p); };
    EXPECT_EQ(px(Center(0, 3)), ColorToRGB(clBtnFace)) << "fixed cells";
    TRect sel = Grid->CellRect(2, 2);
    EXPECT_EQ(px(Point(sel.Right - 3, sel.Bottom - 3)), ColorToRGB(clHighlight)) << "the range selected";
    TRect cur = Grid->CellRect(2, 3);
    EXPECT_EQ(px(Point(cur.Right - 3, cur.Bottom - 3)), ColorToRGB(clWindow)) << "the current cell is not highlighted";
    TRect line = Grid->CellRect(3, 5);
    EXPECT_EQ(px(Point(line.Right, line.Top + 5)), ColorToRGB(clSilver));
    // The text of a cell shows dark pixels.
    TRect t = Grid->CellRect(1, 1);
    int dark = 0;
    for (int x = t.Left; x < t.Right; ++x)
        for (int y = t.Top; y < t.Bottom; ++y)
            if (GetRValue(ColorToRGB(px(Point(x, y)))) < 100) ++dark;
    EXPECT_GT(dark, 10);
}

} // namespace

namespace {

class GridEditTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
        Grid->OnSetEditText = [this](TObject*, int c, int r, const std::string& v) { Sets.push_back({c, r, v}); };
        Grid->FocusCell(2, 2, true);
    }
    TInplaceEdit* Ed() { return Grid->InplaceEditor(); }
    struct TSet3 {
        int C, R;
        std::string V;
    };
    std::vector<TSet3> Sets;
};

TEST_F(GridEditTest, F2TypeEnterAndMoveOn)
{
    EXPECT_EQ(Ed(), nullptr) << "made when first needed";
    GuiTest::KeyPress(VK_F2);
    ASSERT_TRUE(Grid->EditorMode());
    ASSERT_NE(Ed(), nullptr);
    EXPECT_TRUE(Ed()->Visible());
    EXPECT_TRUE(Ed()->Focused());
    EXPECT_EQ(Ed()->BoundsRect(), Grid->CellRect(2, 2));
    EXPECT_EQ(Ed()->Text(), "2,2");
    EXPECT_EQ(Ed()->SelLength(), 3) << "the text comes selected";
    GuiTest::TypeText("ab");
    EXPECT_EQ(Ed()->Text(), "ab");
    EXPECT_EQ(Grid->Cells(2, 2), "2,2") << "not yet handed over";
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(Grid->Cells(2, 2), "ab");
    ASSERT_EQ(Sets.size(), 1u);
    EXPECT_TRUE(Grid->EditorMode()) << "Enter keeps editing";
    // Moving on closes the editor; the cell below is untouched.
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Grid->Row(), 3);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_FALSE(Ed()->Visible());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->Cells(2, 3), "2,3");
    EXPECT_EQ(Sets.size(), 1u) << "an unchanged text is not handed over again";
}

TEST_F(GridEditTest, TypingOpensTheEditorAndEscGivesTheTextBack)
{
    GuiTest::TypeText("x");
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Ed()->Text(), "x") << "the character typed replaces the text";
    GuiTest::KeyPress(VK_ESCAPE);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(2, 2), "2,2");
    EXPECT_TRUE(Sets.empty());
    // Chinese through the input method.
    GuiTest::TypeText("学员", true);
    ASSERT_TRUE(Grid->EditorMode());
    GuiTest::KeyPress(VK_RIGHT);   // caret at the end: on to the next cell, the text handed over
    EXPECT_EQ(Grid->Cells(2, 2), "学员");
    EXPECT_EQ(Grid->Col(), 3);
    // The program may give the editor another text than the cell shows.
    Grid->OnGetEditText = [](TObject*, int, int, std::string& v) { v = "编辑 " + v; };
    Grid->FocusCell(2, 4, true);
    GuiTest::KeyPress(VK_F2);
    EXPECT_EQ(Ed()->Text(), "编辑 2,4");
}

TEST_F(GridEditTest, AlwaysShownEditorFollowsTheCurrentCell)
{
    Grid->SetOptions(Grid->Options() + TGridOptions{goAlwaysShowEditor});
    Grid->SetFocus();
    GuiTest::ProcessEvents();
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Ed()->Text(), "2,2");
    GuiTest::TypeText("z");
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Grid->Cells(2, 2), "z");
    EXPECT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Ed()->Text(), "2,3");
    EXPECT_EQ(Ed()->BoundsRect(), Grid->CellRect(2, 3));
    // Left at the start of the text moves to the cell before.
    Ed()->SetSelStart(0);
    Ed()->SetSelLength(0);
    GuiTest::KeyPress(VK_LEFT);
    EXPECT_EQ(Grid->Col(), 1);
    // Scrolling keeps the editor over its cell, or hides it.
    Grid->FocusCell(2, 3, true);
    Grid->SetTopRow(2);
    EXPECT_EQ(Ed()->BoundsRect(), Grid->CellRect(2, 3));
    Grid->SetTopRow(5);
    EXPECT_FALSE(Ed()->Visible());
}


// An editor that wraps its words, as a grid with tall rows makes it: its
// window is multi-line without sideways scrolling, and the grid's keys still
// reach the grid.
class TWrapEdit : public TInplaceEdit {
    QZ_CLASS(TWrapEdit, TInplaceEdit)
public:
    explicit TWrapEdit(TComponent* owner = nullptr) : TInplaceEdit(owner) {}
protected:
    void CreateParams(TCreateParams& p) override
    {
        TInplaceEdit::CreateParams(p);
        p.Style = (p.Style & ~DWORD(ES_AUTOHSCROLL)) | ES_MULTILINE;
    }
};
QZ_CLASS_IMPL(TWrapEdit, TInplaceEdit)

class TWrapGrid : public TStringGrid {
    QZ_CLASS(TWrapGrid, TStringGrid)
public:
    explicit TWrapGrid(TComponent* owner = nullptr) : TStringGrid(owner) {}
protected:
    TInplaceEdit* CreateEditor() override { return new TWrapEdit(this); }
};
QZ_CLASS_IMPL(TWrapGrid, TStringGrid)

TEST_F(GridEditTest, AMultiLineEditorWrapsAndLeavesTheKeysToTheGrid)
{
    auto* grid = new TWrapGrid(Form.get());
    grid->SetParent(Form.get());
    grid->SetBounds(0, 0, 300, 200);
    grid->SetColCount(3);
    grid->SetRowCount(4);
    grid->SetDefaultColWidth(90);
    grid->SetDefaultRowHeight(44);
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    const std::string text = "科目一 科目二 科目三 科目四";
    grid->SetCells(1, 1, text);
    grid->FocusCell(1, 1, true);
    grid->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_NE(ed, nullptr);
    EXPECT_GE(ed->Perform(EM_GETLINECOUNT), 2) << "the words wrap in the cell's width";
    // The last word starts a lower line, at the left, and nothing scrolled sideways.
    const int last = int(std::u32string(U"科目一 科目二 科目三 ").size());
    const LRESULT at = ed->Perform(EM_POSFROMCHAR, WPARAM(last));
    EXPECT_GT(int16_t(HIWORD(at)), ed->ClientHeight() / 3);
    EXPECT_LT(int16_t(LOWORD(at)), ed->ClientWidth() / 2);
    ed->Perform(EM_SETSEL, text.size(), text.size());
    TPoint caret;
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_LT(caret.X, ed->ClientWidth());
    // Enter hands the text over and adds no line break; Down moves to the next row.
    GuiTest::TypeText("五");
    GuiTest::KeyPress(VK_RETURN);
    EXPECT_EQ(grid->Cells(1, 1), text + "五");
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
}

} // namespace
