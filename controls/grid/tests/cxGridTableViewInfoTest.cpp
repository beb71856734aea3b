// The layout of a record view's records: record view infos per row on
// screen, scrolling by records that keeps the rows that stay, the expand
// button, cached row heights, measuring layouts and the navigator strip.
#include "GridTestBase.h"

#include <algorithm>

namespace {

using GridTesting::RowHeight;

class GridTableViewInfoTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        GridTesting::ExpandableRows().clear();
        GridTesting::ExpandedRows().clear();
        View = static_cast<TcxGridTestTableView*>(Grid->CreateView(TcxGridTestTableView::StaticClass()));
        View->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(View);
        View->CreateItem()->SetName("ColA");
        View->DataController()->SetRecordCount(10);
        Grid->SetBounds(0, 0, 300, 200);
        ShowForm();
        // Five whole rows fit the records area.
        int frame = 200 - View->TableViewInfo()->ClientBounds.Height();
        Grid->SetBounds(0, 0, 300, 5 * RowHeight + frame);
        GuiTest::ProcessEvents();
        GridTesting::CalculatedRows().clear();
    }
    void TearDown() override
    {
        GridTesting::ExpandableRows().clear();
        GridTesting::ExpandedRows().clear();
        GridTestBase::TearDown();
    }
    TcxCustomGridTableViewInfo* ViewInfo() { return View->TableViewInfo(); }
    TcxCustomGridRecordsViewInfo* Records() { return ViewInfo()->RecordsViewInfo(); }
    // The row shown at each position and the top of its layout.
    std::vector<std::pair<int, int>> Shown()
    {
        std::vector<std::pair<int, int>> rows;
        for (int i = 0; i < Records()->Count(); ++i)
            if (TcxCustomGridRecordViewInfo* r = Records()->ItemAt(i)) rows.push_back({r->RecordIndex(), r->Bounds.Top});
        return rows;
    }
    std::vector<std::pair<int, int>> Expected(int AFirst, int ACount)
    {
        std::vector<std::pair<int, int>> rows;
        int top = Records()->Bounds.Top;
        for (int i = 0; i < ACount; ++i) rows.push_back({AFirst + i, top + i * RowHeight});
        return rows;
    }
    TcxGridTestTableView* View = nullptr;
};

TEST_F(GridTableViewInfoTest, TheRowsThatFitAreLaidOutOnePerPosition)
{
    ASSERT_EQ(Records()->Bounds.Height(), 5 * RowHeight);
    EXPECT_EQ(ViewInfo()->VisibleRecordCount(), 5);
    EXPECT_EQ(Shown(), Expected(0, 5));
    TcxCustomGridRecord* record = View->ViewData()->GetRecord(2);
    EXPECT_EQ(record->ViewInfo, Records()->ItemAt(2)) << "a record knows its layout while on screen";
    EXPECT_EQ(Records()->GetRealItem(2), Records()->ItemAt(2));
    EXPECT_EQ(Records()->GetRealItem(7), nullptr) << "off screen";
    EXPECT_TRUE(View->IsEqualHeightRecords());
    View->OptionsView()->SetCellAutoHeight(true);
    EXPECT_FALSE(View->IsEqualHeightRecords());
}

// Scrolling by a few records keeps the rows that stay, moved by pixels, and
// lays out only the rows that came into view.
TEST_F(GridTableViewInfoTest, ScrollingByRecordsLaysOutOnlyTheNewRows)
{
    struct Case {
        int fromTop, toTop;
        std::vector<int> newlyLaidOut;
        int shownCount;
    } cases[] = {
        {0, 2, {5, 6}, 5},     // down: the first two go, two come in below
        {3, 1, {1, 2}, 5},     // up: the last two go, two come in above
        {4, 5, {9}, 5},        // down to the last full page
        {2, 4, {7, 8}, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.fromTop << " -> " << c.toTop);
        View->Controller()->SetTopRecordIndex(c.fromTop);
        ASSERT_EQ(View->Controller()->TopRecordIndex(), c.fromTop);
        GridTesting::CalculatedRows().clear();
        TakeLog();
        View->Controller()->SetTopRecordIndex(c.toTop);
        std::vector<int> laidOut = GridTesting::CalculatedRows();
        std::sort(laidOut.begin(), laidOut.end());
        EXPECT_EQ(laidOut, c.newlyLaidOut);
        EXPECT_EQ(Shown(), Expected(c.toTop, c.shownCount));
        std::vector<std::string> log = TakeLog();
        EXPECT_EQ(std::count(log.begin(), log.end(), "calc:TableView"), 0) << "no full layout";
    }
}

TEST_F(GridTableViewInfoTest, ScrollingByAWholePageOrMoreLaysOutAgain)
{
    TakeLog();
    EXPECT_FALSE(Records()->CanOffset(5));
    EXPECT_FALSE(Records()->CanOffset(-5));
    EXPECT_TRUE(Records()->CanOffset(4));
    View->Controller()->SetTopRecordIndex(5);
    GuiTest::ProcessEvents();
    std::vector<std::string> log = TakeLog();
    EXPECT_GE(std::count(log.begin(), log.end(), "calc:TableView"), 1);
    EXPECT_EQ(Shown(), Expected(5, 5));
}

TEST_F(GridTableViewInfoTest, AnOffsetNearTheEndLeavesFewerRows)
{
    // Ten rows; with the top pinned to row 7 only three rows exist below it.
    Grid->BeginUpdate();
    View->Controller()->SetTopRecordIndexUnchecked(5);
    Grid->EndUpdate();
    GuiTest::ProcessEvents();
    ASSERT_EQ(Shown(), Expected(5, 5));
    GridTesting::CalculatedRows().clear();
    View->Controller()->SetTopRecordIndexUnchecked(7);
    EXPECT_EQ(Shown(), Expected(7, 3));
    EXPECT_TRUE(GridTesting::CalculatedRows().empty()) << "the kept rows only moved";
    EXPECT_EQ(Records()->VisibleCount(), 3);
}

TEST_F(GridTableViewInfoTest, TheTopRecordIsKeptWithinTheLastFullPage)
{
    struct Case {
        int requested, top;
    } cases[] = {{-3, 0}, {2, 2}, {5, 5}, {6, 5}, {9, 5}, {40, 5}};
    for (const Case& c : cases) {
        View->Controller()->SetTopRecordIndex(c.requested);
        EXPECT_EQ(View->Controller()->TopRecordIndex(), c.top) << c.requested;
    }
    EXPECT_EQ(View->Controller()->GetMaxTopRecordIndex(), 5);
}

TEST_F(GridTableViewInfoTest, AMeasuringLayoutCountsRowsWithoutTouchingTheScreen)
{
    TcxCustomGridTableController* controller = View->Controller();
    controller->SetTopRecordIndex(3);
    // Variable heights make the controller lay out a trial view info.
    View->OptionsView()->SetCellAutoHeight(true);
    GuiTest::ProcessEvents();
    TcxCustomGridRecordViewInfo* shown = Records()->ItemAt(0);
    EXPECT_EQ(controller->GetVisibleRecordCount(9, false), 5) << "backward from the last row";
    EXPECT_EQ(controller->GetVisibleRecordCount(2, false), 3) << "only three rows above";
    EXPECT_EQ(controller->GetVisibleRecordCount(8, true), 2);
    EXPECT_EQ(controller->TopRecordIndex(), 3) << "the top record stays";
    EXPECT_EQ(Records()->ItemAt(0), shown) << "the shown layout stays";
    EXPECT_EQ(View->ViewData()->GetRecord(3)->ViewInfo, shown) << "records keep their layout on screen";
}

TEST_F(GridTableViewInfoTest, RowHeightsAreMeasuredOncePerRowUntilASizeChange)
{
    TcxCustomGridRecordViewInfo* row = Records()->ItemAt(1);
    auto* cache = static_cast<TcxCustomGridTableViewInfoCacheItem*>(View->ViewInfoCache()->Items(1));
    ASSERT_TRUE(cache->IsHeightAssigned);
    cache->Height = 33;
    EXPECT_EQ(row->GetHeight(), 33) << "the cached height wins";
    View->SizeChanged();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Records()->ItemAt(1)->GetHeight(), RowHeight) << "measured again after a size change";
}

TEST_F(GridTableViewInfoTest, TheExpandButtonIsASquareInItsArea)
{
    GridTesting::ExpandableRows() = {1};
    View->SizeChanged();
    GuiTest::ProcessEvents();
    TcxCustomGridRecordViewInfo* row = Records()->ItemAt(1);
    int side = cxGridCustomTableView::GetExpandButtonSide(View->LookAndFeelPainter());
    ASSERT_GT(side, 0);
    EXPECT_EQ(ViewInfo()->ExpandButtonAreaWidth(), side + 6);
    TRect expected{row->Bounds.Left + 3, 0, row->Bounds.Left + 3 + side, 0};
    expected.Top = (row->Bounds.Top + row->Bounds.Bottom - side) / 2;
    expected.Bottom = expected.Top + side;
    EXPECT_EQ(row->ExpandButtonBounds, expected);
    EXPECT_TRUE(IsRectEmpty(Records()->ItemAt(0)->ExpandButtonBounds)) << "row 0 does not expand";

    TPoint inArea{row->Bounds.Left + 1, row->Bounds.Top + 1};
    TcxCustomGridHitTest* hit = ViewInfo()->GetHitTest(inArea);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->HitTestCode(), 103);
    EXPECT_FALSE(row->IsClickHitTest(hit)) << "the expand button does not select";
    EXPECT_TRUE(row->MouseDown(hit, mbLeft, {}));
    EXPECT_EQ(GridTesting::ExpandedRows(), std::set<int>{1});
    hit = ViewInfo()->GetHitTest(TPoint{row->Bounds.Right - 5, row->Bounds.Top + 1});
    ASSERT_NE(hit, nullptr);
    ASSERT_EQ(hit->HitTestCode(), 101);
    EXPECT_EQ(static_cast<TcxGridRecordHitTest*>(hit)->GridRecord(), View->ViewData()->GetRecord(1));
}

// Record handles go with every row-count change and layouts find their
// record again by row, so neither keeps a freed one (the sanitizer run
// watches the accesses).
TEST_F(GridTableViewInfoTest, KeysExpandAndCollapseTheFocusedRecord)
{
    GridTesting::ExpandableRows() = {2};
    View->DataController()->ChangeFocusedRowIndex(2);
    // Without a focused item a character opens no editor and is left alone.
    View->Controller()->SetFocusedItem(nullptr);
    struct Case {
        WORD key;
        bool expanded;
        bool skipsCharacter;
    } cases[] = {
        {VK_RIGHT, true, false}, {VK_LEFT, false, false}, {VK_ADD, true, true},
        {VK_SUBTRACT, false, true}, {VK_MULTIPLY, true, true},
    };
    for (const Case& c : cases) {
        WORD key = c.key;
        View->Controller()->KeyDown(key, {});
        EXPECT_EQ(key, 0) << c.key;
        EXPECT_EQ(GridTesting::ExpandedRows().count(2) > 0, c.expanded) << c.key;
        char ch = '+';
        View->Controller()->KeyPress(ch);
        EXPECT_EQ(ch == 0, c.skipsCharacter) << c.key;
    }
    View->DataController()->ChangeFocusedRowIndex(1);
    WORD key = VK_ADD;
    View->Controller()->KeyDown(key, {});
    EXPECT_EQ(key, VK_ADD) << "a record that does not expand leaves the key";
}

TEST_F(GridTableViewInfoTest, PullFocusingFollowsTheMouseAndScrollsBeyondTheRecords)
{
    GuiTest::TManualTime clock;
    View->OptionsBehavior()->PullFocusing = true;
    TcxGridSite* site = View->Site();
    site->SetFocus();
    GuiTest::ProcessEvents();
    int left = Records()->Bounds.Left + 40;
    auto rowPoint = [&](int row) { return TPoint{left, Records()->Bounds.Top + row * RowHeight + 5}; };
    GuiTest::MouseDown(site, mbLeft, rowPoint(1));
    ASSERT_TRUE(View->Controller()->IsPullFocusing());
    EXPECT_EQ(View->DataController()->GetFocusedRowIndex(), 1);
    GuiTest::MouseMove(site, rowPoint(3), {ssLeft});
    EXPECT_EQ(View->DataController()->GetFocusedRowIndex(), 3) << "the focus follows the mouse over the records";
    EXPECT_EQ(View->Controller()->PullFocusingTimer(), nullptr);
    // Below the records the focus moves on by itself every 10 ms.
    GuiTest::MouseMove(site, TPoint{left, Records()->Bounds.Bottom + 3}, {ssLeft});
    ASSERT_NE(View->Controller()->PullFocusingTimer(), nullptr);
    EXPECT_EQ(View->Controller()->PullFocusingTimer()->Interval(), 10u);
    clock.Advance(10);
    EXPECT_EQ(View->DataController()->GetFocusedRowIndex(), 4);
    clock.Advance(20);
    EXPECT_EQ(View->DataController()->GetFocusedRowIndex(), 6);
    EXPECT_GE(View->Controller()->TopRecordIndex(), 2) << "the focused record was scrolled into view";
    GuiTest::MouseUp(site, mbLeft, TPoint{left, Records()->Bounds.Bottom + 3});
    EXPECT_FALSE(View->Controller()->IsPullFocusing());
    clock.Advance(50);
    EXPECT_EQ(View->DataController()->GetFocusedRowIndex(), 6) << "the release ends it";
}

TEST_F(GridTableViewInfoTest, DraggingOverTheRecordsHighlightsFocusesAndScrolls)
{
    GuiTest::TManualTime clock;
    TcxCustomGridTableController* controller = View->Controller();
    int left = Records()->Bounds.Left + 40;
    auto rowPoint = [&](int position) { return TPoint{left, Records()->Bounds.Top + position * RowHeight + 5}; };
    bool accept = true;
    controller->DragOver(nullptr, rowPoint(2).X, rowPoint(2).Y, dsDragMove, accept);
    EXPECT_EQ(controller->DragHighlightedRecord(), View->ViewData()->GetRecord(2));
    EXPECT_TRUE(View->DrawRecordSelected(View->ViewData()->GetRecord(2))) << "a highlighted record is drawn selected";
    EXPECT_EQ(controller->DragScrollTimer(), nullptr) << "no scrolling in the middle";
    EXPECT_EQ(View->DataController()->GetFocusedRowIndex(), -1) << "no focusing by default";

    View->OptionsBehavior()->DragFocusing = dfDragOver;
    controller->DragOver(nullptr, rowPoint(4).X, rowPoint(4).Y, dsDragMove, accept);
    EXPECT_EQ(View->DataController()->GetFocusedRowIndex(), 4);
    ASSERT_NE(controller->DragScrollTimer(), nullptr) << "over the last visible record";
    EXPECT_EQ(controller->DragScrollTimer()->Interval(), 20u);
    clock.Advance(40);
    EXPECT_EQ(controller->TopRecordIndex(), 2) << "one record every 20 ms";

    controller->DragOver(nullptr, rowPoint(2).X, rowPoint(2).Y, dsDragLeave, accept);
    EXPECT_EQ(controller->DragHighlightedRecord(), nullptr);
    EXPECT_EQ(controller->DragScrollTimer(), nullptr);
    clock.Advance(100);
    EXPECT_EQ(controller->TopRecordIndex(), 2) << "leaving stops the scrolling";
}

TEST_F(GridTableViewInfoTest, ARowCountChangeLeavesNoRecordPointingAtAFreedLayout)
{
    Grid->BeginUpdate();
    View->DataController()->SetRecordCount(3);
    // The layout of the old rows still stands while the grid is locked.
    for (int i = 0; i < Records()->Count(); ++i)
        if (TcxCustomGridRecordViewInfo* r = Records()->ItemAt(i)) {
            TcxCustomGridRecord* record = r->GridRecord();
            EXPECT_EQ(record, i < 3 ? View->ViewData()->GetRecord(i) : nullptr) << i;
        }
    Grid->EndUpdate();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Shown(), Expected(0, 3));
    EXPECT_EQ(View->ViewData()->GetRecord(2)->ViewInfo, Records()->ItemAt(2));
}

TEST_F(GridTableViewInfoTest, TheNavigatorStripLiesLeftOfTheScrollBarItLeavesFree)
{
    TcxCustomGridTableViewInfo* vi = ViewInfo();
    View->OptionsView()->SetNavigator(true);
    GuiTest::ProcessEvents();
    ASSERT_TRUE(vi->NavigatorSiteViewInfo()->GetVisible());
    TRect scrollBar = View->Site()->GetHScrollBarBounds();
    TRect strip;
    vi->GetNavigatorSiteBounds(strip);
    EXPECT_EQ(strip.Right, scrollBar.Left);
    EXPECT_EQ(strip.Width(), 50 + vi->NavigatorWidth()) << "offset 50 plus the buttons";
    TRect navigator;
    vi->GetNavigatorBounds(navigator);
    EXPECT_EQ(navigator.Right, strip.Right - 50);
    EXPECT_EQ(navigator.Left, strip.Left);
    TRect adjusted{0, 0, 100, 10};
    vi->AdjustHScrollBarBounds(adjusted);
    EXPECT_EQ(adjusted.Left, strip.Width());
    View->OptionsView()->SetNavigator(false);
    adjusted = TRect{0, 0, 100, 10};
    vi->AdjustHScrollBarBounds(adjusted);
    EXPECT_EQ(adjusted.Left, 0) << "a hidden navigator leaves the row to the scroll bar";
}

}  // namespace
