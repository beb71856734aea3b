// The grid's one selection: rows, a rectangle of cells, columns or
// everything; how one kind gives way to another, the column shift walk,
// the repaint boxes of a changing rectangle, and the keys and the mouse
// that make them.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

using namespace DBGridTest;

class GridSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = ManyStudents(40);
        Host = std::make_unique<TGridHost>(Ds.get(), 600, 300);
        G = Host->Grid;
        G->SetOptions(G->Options() + TDBGridOptions{dgMultiSelect});
        G->SetFocus();
        GuiTest::ProcessEvents();
        S = G->Selection();
    }
    int Id() const { return Ds->FieldByName("Id")->AsInteger(); }
    TBookmarkStr BookmarkOf(int id)
    {
        TBookmarkStr keep = Ds->Bookmark();
        Ds->Locate("Id", id, {});
        TBookmarkStr b = Ds->Bookmark();
        Ds->GotoBookmark(keep);
        return b;
    }
    TColumnEh* Col(int i) const { return G->Columns()->Items(i); }
    // The indexes of the selected columns, in order.
    std::vector<int> SelectedCols() const
    {
        std::vector<int> out;
        for (TColumnEh* c : S->SelectedColumns()->List()) out.push_back(c->Index());
        return out;
    }
    TPoint Center(int col, int row) const
    {
        TRect r = G->CellRect(col, row);
        return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
    TDBGridEhSelection* S = nullptr;
};

TEST_F(GridSelection, ShiftClicksOnColumnsWalkFromTheAnchorAndUndoOnTheWayBack)
{
    ASSERT_EQ(G->Columns()->Count(), 6);
    TDBGridEhSelectionCols* cols = S->SelectedColumns();
    cols->SelectColumn(Col(1), false);
    struct TStep {
        int Click;
        std::vector<int> Expect;
    } steps[] = {
        {4, {1, 2, 3, 4}},
        {2, {1, 2}},       // 3 and 4 were added by the walk: undone
        {0, {0, 1}},       // 2 undone, the anchor kept, 0 added past it
        {5, {1, 2, 3, 4, 5}},
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Click);
        cols->ExtendToColumn(Col(s.Click));
        EXPECT_EQ(SelectedCols(), s.Expect);
        EXPECT_EQ(cols->AnchorColumn(), Col(1));
        EXPECT_EQ(cols->ShiftColumn(), Col(s.Click));
    }
    EXPECT_EQ(S->SelectionKind(), gstColumns);
    EXPECT_EQ(cols->ToGridRect(), (TGridRect{2, 0, 6, G->RowCount()}));
}

TEST_F(GridSelection, AnUnselectedAnchorDeselectsAndComesBackExactly)
{
    TDBGridEhSelectionCols* cols = S->SelectedColumns();
    cols->SelectColumn(Col(0), false);
    cols->SelectColumn(Col(2), true);
    cols->SelectColumn(Col(4), true);
    cols->ToggleColumn(Col(1));   // selected, then Ctrl+click again: the anchor, not selected
    cols->ToggleColumn(Col(1));
    ASSERT_EQ(SelectedCols(), (std::vector<int>{0, 2, 4}));
    cols->ExtendToColumn(Col(5));
    EXPECT_EQ(SelectedCols(), (std::vector<int>{0})) << "the walk deselects 2 and 4";
    cols->ExtendToColumn(Col(1));
    EXPECT_EQ(SelectedCols(), (std::vector<int>{0, 2, 4})) << "and brings back exactly those";
    // Deselecting the last one leaves no selection.
    cols->ToggleColumn(Col(0));
    cols->ToggleColumn(Col(2));
    cols->ToggleColumn(Col(4));
    EXPECT_EQ(S->SelectionKind(), gstNon);
}

TEST_F(GridSelection, HiddenColumnsAreNeverShiftSelected)
{
    Col(3)->SetVisible(false);
    S->SelectedColumns()->SelectColumn(Col(1), false);
    S->SelectedColumns()->ExtendToColumn(Col(5));
    EXPECT_EQ(SelectedCols(), (std::vector<int>{1, 2, 4, 5}));
    // A column that goes leaves the selection.
    TColumnEh* gone = Col(4);
    delete gone;
    EXPECT_FALSE(S->SelectedColumns()->Contains(gone));
    EXPECT_EQ(S->SelectedColumns()->Count(), 3);
}

TEST_F(GridSelection, OneKindGivesWayToAnother)
{
    TBookmarkStr b3 = BookmarkOf(3), b5 = BookmarkOf(5);
    // Columns, then a marked row: the columns go.
    S->SelectedColumns()->SelectColumn(Col(2), false);
    Ds->Locate("Id", 3, {});
    S->Rows()->SetCurrentRowSelected(true);
    EXPECT_EQ(S->SelectionKind(), gstRecordBookmarks);
    EXPECT_EQ(S->SelectedColumns()->Count(), 0);
    EXPECT_TRUE(S->IsDataCellSelected(4, b3));
    EXPECT_FALSE(S->IsDataCellSelected(4, b5));
    // Unmarking it again leaves the list as it was and no selection.
    S->Rows()->SetCurrentRowSelected(false);
    EXPECT_EQ(S->Rows()->Count(), 0);
    EXPECT_EQ(S->SelectionKind(), gstNon);
    // A rectangle of one cell is no selection; two cells are.
    TDBGridEhSelectionRect* rect = S->SelectedRect();
    rect->SelectCell(1, b3, false);
    EXPECT_EQ(S->SelectionKind(), gstNon);
    rect->SelectCell(2, b5, true);
    EXPECT_EQ(S->SelectionKind(), gstRectangle);
    struct TCell {
        int Col, Id;
        bool Selected;
    } cells[] = {{1, 3, true}, {2, 4, true}, {2, 5, true}, {0, 4, false}, {3, 4, false}, {1, 6, false}, {1, 2, false}};
    for (const TCell& c : cells) EXPECT_EQ(S->IsDataCellSelected(c.Col, BookmarkOf(c.Id)), c.Selected) << c.Col << "," << c.Id;
    // Back to the same cell as the anchor: no selection again.
    rect->SelectCell(1, b3, true);
    EXPECT_EQ(S->SelectionKind(), gstNon);
    // Everything.
    S->SelectWholeGrid();
    EXPECT_EQ(S->SelectionKind(), gstAll);
    EXPECT_TRUE(S->IsDataCellSelected(0, b5));
    EXPECT_EQ(S->ToGridRect(), (TGridRect{0, 0, G->ColCount(), G->RowCount()}));
    S->ClearAll();
    EXPECT_EQ(S->SelectionKind(), gstNon);
    EXPECT_EQ(S->ToGridRect(), (TGridRect{-1, -1, -1, -1}));
    // Closing the data set ends any selection.
    S->SelectWholeGrid();
    Ds->Close();
    EXPECT_EQ(S->SelectionKind(), gstNon);
}

TEST_F(GridSelection, RowsAreKeptInDataSetOrderAndFoundByBisection)
{
    TBookmarkListEh* rows = S->Rows();
    for (int id : {7, 2, 9, 4}) {
        Ds->Locate("Id", id, {});
        rows->SetCurrentRowSelected(true);
    }
    ASSERT_EQ(rows->Count(), 4);
    int i = -1;
    struct TCase {
        int Id;
        bool Found;
        int Index;
    } cases[] = {{2, true, 0}, {4, true, 1}, {9, true, 3}, {1, false, 0}, {5, false, 2}, {40, false, 4}};
    for (const TCase& c : cases) {
        EXPECT_EQ(rows->Find(BookmarkOf(c.Id), i), c.Found) << c.Id;
        EXPECT_EQ(i, c.Index) << c.Id;
        // Asked again, the kept answer is the same.
        EXPECT_EQ(rows->Find(BookmarkOf(c.Id), i), c.Found) << c.Id;
        EXPECT_EQ(i, c.Index) << c.Id;
    }
    // The list changed: the kept answer must not be used.
    Ds->Locate("Id", 5, {});
    rows->SetCurrentRowSelected(true);
    EXPECT_TRUE(rows->Find(BookmarkOf(5), i));
    EXPECT_EQ(i, 2);
    // The shown rows of the selection, as grid rows over all columns.
    Ds->First();
    EXPECT_EQ(rows->RowsToGridRect(), (TGridRect{0, G->FirstDataRow() + 1, G->ColCount() - 1, G->FirstDataRow() + 8}));
}

TEST_F(GridSelection, DeletingSelectedRowsStopsAtARefusal)
{
    TBookmarkListEh* rows = S->Rows();
    for (int id : {2, 4, 6, 8}) {
        Ds->Locate("Id", id, {});
        rows->SetCurrentRowSelected(true);
    }
    Ds->BeforeDelete = [this](TDataSet*) {
        if (Id() == 4) throw Exception("不能删除");
    };
    EXPECT_THROW(rows->DeleteSelectedRecords(), Exception);
    EXPECT_EQ(Ds->RecordCount(), 38) << "8 and 6 went";
    EXPECT_EQ(rows->Count(), 2) << "2 and 4 stay selected";
    EXPECT_EQ(S->SelectionKind(), gstRecordBookmarks);
    EXPECT_FALSE(Ds->ControlsDisabled());
    Ds->BeforeDelete = nullptr;
    rows->DeleteSelectedRecords();
    EXPECT_EQ(Ds->RecordCount(), 36);
    EXPECT_EQ(S->SelectionKind(), gstNon);
}

TEST_F(GridSelection, RectangleQueriesNeedAnOpenDataSet)
{
    TDBGridEhSelectionRect rect(nullptr, nullptr);
    struct TCase {
        const char* Name;
        std::function<void()> Call;
        const char* Message;
    } cases[] = {
        {"TopRow", [&] { rect.TopRow(); }, "Error in TDBGridEhSelectionRect.GetBottomRow"},
        {"LeftColumnIndex", [&] { rect.LeftColumnIndex(); }, "Error in TDBGridEhSelectionRect.GetBottomRow"},
        {"CellSelected", [&] { rect.CellSelected(0, "x"); }, "Error in function TDBGridEhSelectionRect.CellSelected"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            c.Call();
            ADD_FAILURE() << "no error";
        } catch (const EInvalidGridOperation& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
}

TEST(GridSelectionBoxes, OnlyWhatOneRectangleCoversIsRepainted)
{
    auto boxes = [](TRect a, TRect b) {
        std::vector<TRect> out;
        for (const TRect& r : TDBGridEhSelectionRect::XorBoxes(a, b))
            if (!IsRectEmpty(r)) out.push_back(r);
        return out;
    };
    struct TCase {
        const char* Name;
        TRect A, B;
        std::vector<TRect> Expect;
    } cases[] = {
        {"apart: both whole", {0, 0, 10, 10}, {20, 0, 30, 10}, {{0, 0, 10, 10}, {20, 0, 30, 10}}},
        {"grown down: the new strip", {0, 0, 50, 20}, {0, 0, 50, 40}, {{0, 20, 50, 40}}},
        {"grown right and down", {0, 0, 50, 20}, {0, 0, 80, 40}, {{50, 0, 80, 40}, {0, 20, 50, 40}}},
        {"shrunk left", {0, 0, 80, 20}, {30, 0, 80, 20}, {{0, 0, 30, 20}}},
        {"the same: nothing", {0, 0, 50, 20}, {0, 0, 50, 20}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TRect> got = boxes(c.A, c.B);
        ASSERT_EQ(got.size(), c.Expect.size());
        for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], c.Expect[i]) << i;
    }
}

TEST_F(GridSelection, NarrowingTheAllowedKindsClearsOnlyWhatIsNoLongerAllowed)
{
    S->SelectedRect()->SelectCell(1, BookmarkOf(2), false);
    S->SelectedRect()->SelectCell(3, BookmarkOf(6), true);
    ASSERT_EQ(S->SelectionKind(), gstRectangle);
    G->SetAllowedSelections({gstRecordBookmarks, gstColumns, gstAll});
    EXPECT_EQ(S->SelectionKind(), gstNon);
    Ds->Locate("Id", 3, {});
    S->Rows()->SetCurrentRowSelected(true);
    G->SetAllowedSelections({gstRecordBookmarks});
    EXPECT_EQ(S->SelectionKind(), gstRecordBookmarks);
    EXPECT_EQ(S->Rows()->Count(), 1);
}

TEST_F(GridSelection, ShiftKeysStretchARectangleAndPlainMovesEndIt)
{
    Ds->Locate("Id", 3, {});
    G->MoveCol(G->DataToRawColumn(1), 0, false);
    GuiTest::KeyPress(VK_RIGHT, {ssShift});
    GuiTest::KeyPress(VK_DOWN, {ssShift});
    GuiTest::KeyPress(VK_DOWN, {ssShift});
    ASSERT_EQ(S->SelectionKind(), gstRectangle);
    TDBGridEhSelectionRect* rect = S->SelectedRect();
    EXPECT_EQ(rect->LeftColumnIndex(), 1);
    EXPECT_EQ(rect->RightColumnIndex(), 2);
    EXPECT_EQ(rect->TopRow(), BookmarkOf(3));
    EXPECT_EQ(rect->BottomRow(), BookmarkOf(5));
    int top = G->FirstDataRow() + G->DataLink()->ActiveRecord() - 2;
    EXPECT_EQ(S->ToGridRect(), (TGridRect{2, top, 3, top + 2}));
    // Shift+Home stretches to the first column.
    GuiTest::KeyPress(VK_HOME, {ssShift});
    EXPECT_EQ(rect->LeftColumnIndex(), 0);
    EXPECT_EQ(rect->RightColumnIndex(), 1);
    // The selected cells paint highlighted (the default style's lightened mix).
    GuiTest::ProcessEvents();
    const TColorRef mixed = ColorToRGB(TDBGridEhStyle::MixColor(clWindow, clHighlight, true));
    TRect cell = G->CellRect(1, top + 1);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(G, Point(cell.Right - 2, cell.Top + 2))), mixed);
    TRect outside = G->CellRect(4, top + 1);
    EXPECT_NE(ColorToRGB(GuiTest::PixelAt(G, Point(outside.Right - 2, outside.Top + 2))), mixed);
    GuiTest::KeyPress(VK_LEFT);
    EXPECT_EQ(S->SelectionKind(), gstNon);
}

TEST_F(GridSelection, SelectionKeysFollowTheEditActionsAndWhatIsPossible)
{
    std::vector<TCustomDBGridEh*> copied, deleted;
    DBGridEh::CopyAction = [&](TCustomDBGridEh* g) { copied.push_back(g); };
    DBGridEh::DeleteAction = [&](TCustomDBGridEh* g) { deleted.push_back(g); };
    struct TActionsReset {
        ~TActionsReset() { DBGridEh::CopyAction = DBGridEh::DeleteAction = nullptr; }
    } reset;
    // Without the edit actions Ctrl+A and Ctrl+C do nothing.
    GuiTest::KeyPress('A', {ssCtrl});
    EXPECT_EQ(S->SelectionKind(), gstNon);
    EXPECT_FALSE(G->CanCopy());
    G->SetEditActions({geaCopyEh, geaSelectAllEh, geaDeleteEh});
    GuiTest::KeyPress('C', {ssCtrl});
    EXPECT_TRUE(copied.empty()) << "nothing selected to copy";
    GuiTest::KeyPress('A', {ssCtrl});
    EXPECT_EQ(S->SelectionKind(), gstAll);
    GuiTest::KeyPress('C', {ssCtrl});
    GuiTest::KeyPress(VK_INSERT, {ssCtrl});
    EXPECT_EQ(copied.size(), 2u);
    // Deleting all needs the delete operation; a rectangle needs the update one.
    struct TCase {
        TDBGridEhAllowedOperations Ops;
        bool ReadOnly;
        bool Rect;
        bool CanDelete;
    } cases[] = {
        {{alopDeleteEh}, false, false, true},
        {{alopUpdateEh}, false, false, false},
        {{alopDeleteEh}, true, false, false},
        {{alopUpdateEh}, false, true, true},
        {{alopDeleteEh}, false, true, false},
    };
    for (const TCase& c : cases) {
        G->SetAllowedOperations(c.Ops);
        G->SetReadOnly(c.ReadOnly);
        if (c.Rect) {
            S->SelectedRect()->SelectCell(0, BookmarkOf(1), false);
            S->SelectedRect()->SelectCell(1, BookmarkOf(2), true);
        } else {
            S->SelectWholeGrid();
        }
        EXPECT_EQ(G->CanDeleteSelection(), c.CanDelete);
        EXPECT_EQ(G->CanCut(), c.CanDelete);
        size_t before = deleted.size();
        GuiTest::KeyPress(VK_DELETE, {ssCtrl});
        EXPECT_EQ(deleted.size(), before + (c.CanDelete ? 1 : 0));
    }
    G->SetReadOnly(false);
    EXPECT_EQ(Ds->RecordCount(), 40) << "the selection's delete is the action's, not the record's";
    G->SetAllowedSelections({gstRecordBookmarks});
    EXPECT_FALSE(G->CanSelectAll());
}

TEST_F(GridSelection, MousePressesSelectRectanglesColumnsAndEverything)
{
    int r0 = G->FirstDataRow();
    // Press in one cell, drag to another: a rectangle.
    GuiTest::MouseDown(G, mbLeft, Center(2, r0 + 1));
    GuiTest::MouseMove(G, Center(4, r0 + 3), {ssLeft});
    GuiTest::MouseUp(G, mbLeft, Center(4, r0 + 3));
    ASSERT_EQ(S->SelectionKind(), gstRectangle);
    EXPECT_EQ(S->SelectedRect()->LeftColumnIndex(), 1);
    EXPECT_EQ(S->SelectedRect()->RightColumnIndex(), 3);
    EXPECT_EQ(S->SelectedRect()->TopRow(), BookmarkOf(2));
    EXPECT_EQ(S->SelectedRect()->BottomRow(), BookmarkOf(4));
    // Shift+click stretches it from the current cell.
    GuiTest::Click(G, Center(5, r0 + 5), mbLeft, {ssShift});
    EXPECT_EQ(S->SelectedRect()->RightColumnIndex(), 4);
    EXPECT_EQ(S->SelectedRect()->BottomRow(), BookmarkOf(6));
    // A plain click ends it.
    GuiTest::Click(G, Center(1, r0));
    EXPECT_EQ(S->SelectionKind(), gstNon);
    // The bottom edge of a title selects its column; Shift+click there stretches.
    TRect title = G->CellRect(2, 0);
    GuiTest::Click(G, Point((title.Left + title.Right) / 2, title.Bottom - 2));
    title = G->CellRect(4, 0);
    GuiTest::Click(G, Point((title.Left + title.Right) / 2, title.Bottom - 2), mbLeft, {ssShift});
    EXPECT_EQ(SelectedCols(), (std::vector<int>{1, 2, 3}));
    // The top left title cell clears a selection, else selects everything.
    TRect corner = G->CellRect(0, 0);
    GuiTest::Click(G, Point(corner.Left + 3, corner.Top + 3));
    EXPECT_EQ(S->SelectionKind(), gstNon);
    GuiTest::Click(G, Point(corner.Left + 3, corner.Top + 3));
    EXPECT_EQ(S->SelectionKind(), gstAll);
    GuiTest::Click(G, Point(corner.Left + 3, corner.Top + 3));
    EXPECT_EQ(S->SelectionKind(), gstNon);
}

TEST_F(GridSelection, TimedScrollStepsPastTheShownRecords)
{
    int page = G->VisibleDataRowCount();
    Ds->Locate("Id", 3, {});
    G->TimedScroll({sdDown});
    EXPECT_EQ(Id(), page + 1) << "the record after the last one shown";
    int top = Id() - G->DataLink()->ActiveRecord();
    G->TimedScroll({sdUp});
    EXPECT_EQ(Id(), top - 1) << "the record before the first one shown";
}

TEST_F(GridSelection, HoldingTheMouseBelowTheCellsScrollsInTime)
{
    GuiTest::TManualTime time;
    int r0 = G->FirstDataRow();
    int page = G->VisibleDataRowCount();
    GuiTest::MouseDown(G, mbLeft, Center(0, r0));   // the indicator: rows
    EXPECT_EQ(Id(), 1);
    TRect last = G->CellRect(0, r0 + page - 1);
    // Dragged down over the rows: each row passed is selected.
    GuiTest::MouseMove(G, Center(0, r0 + page - 1), {ssLeft});
    EXPECT_EQ(Id(), page);
    // A few pixels below the cells: a record a step, about ten steps a second.
    TPoint below = Point(last.Left + 3, last.Bottom + 8);
    GuiTest::MouseMove(G, below, {ssLeft});
    int afterMove = Id();
    EXPECT_EQ(afterMove, page + 1);
    time.Advance(150);
    int afterTick = Id();
    EXPECT_GT(afterTick, afterMove);
    EXPECT_LE(afterTick, afterMove + 3);
    time.Advance(1000);
    EXPECT_GT(Id(), afterTick + 5) << "it goes on while the button is held";
    GuiTest::MouseUp(G, mbLeft, below);
    int released = Id();
    EXPECT_EQ(S->Rows()->Count(), released) << "every record passed is selected";
    time.Advance(1000);
    EXPECT_EQ(Id(), released) << "released: the timer stopped";
}

} // namespace
