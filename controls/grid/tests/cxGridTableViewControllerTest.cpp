// The table view's controller: sorting by a click on a column header, the
// horizontal scroll position and its limits, the keys over rows and cells
// with the new-item row, paging, scrolling while dragging on the manual
// clock, the customization form's place, and the events the application
// hangs on (cell click, double click, focused record).
#include "GridTableViewFixture.h"

namespace {

class GridTableViewControllerTest : public GridTableViewFixture {
protected:
    void Key(WORD AKey, TShiftState AShift = {})
    {
        WORD key = AKey;
        Controller()->KeyDown(key, AShift);
    }
    int FocusedRow() { return Controller()->GetFocusedRowIndex(); }
    // Columns wide enough to scroll sideways.
    void MakeWide()
    {
        for (int i = 0; i < 3; ++i) Column(i)->SetWidth(300);
        Layout();
    }
    TcxGridSite* Site() { return VI()->Site(); }
    std::string SortOrders()
    {
        std::string s;
        for (int i = 0; i < 3; ++i) {
            TcxDataSortOrder order = Column(i)->SortOrder();
            s += order == soAscending ? 'A' : order == soDescending ? 'D' : '-';
        }
        return s;
    }
};

TEST_F(GridTableViewControllerTest, AHeaderClickSortsAndTurnsRoundShiftAddsCtrlRemoves)
{
    Fill({{"b", "2", "x"}, {"a", "1", "y"}, {"c", "3", "z"}});
    Layout();
    struct Step {
        int column;
        TShiftState shift;
        const char* orders;
    };
    const Step steps[] = {
        {0, {}, "A--"},        {0, {}, "D--"},       {0, {}, "A--"},
        {1, {ssShift}, "AA-"}, {1, {ssShift}, "AD-"}, {2, {}, "--A"},
        {2, {ssCtrl}, "---"},  {1, {}, "-A-"},
    };
    for (const Step& s : steps) {
        Controller()->DoColumnHeaderSorting(Column(s.column), s.shift);
        EXPECT_EQ(SortOrders(), s.orders) << "column " << s.column;
    }
    // The rows follow: descending by the first column.
    Controller()->DoColumnHeaderSorting(Column(0), {});
    Controller()->DoColumnHeaderSorting(Column(0), {});
    EXPECT_EQ(View->ViewData()->Rows(0)->GetDisplayText(0), "c");
}

TEST_F(GridTableViewControllerTest, AClickOnAGroupedColumnsHeaderKeepsTheOthersSorting)
{
    Fill({{"b", "2", "x"}, {"a", "1", "y"}});
    Layout();
    Controller()->DoColumnHeaderSorting(Column(0), {});
    Column(1)->SetGroupIndex(0);
    Controller()->DoColumnHeaderSorting(Column(1), {});
    EXPECT_EQ(Column(0)->SortOrder(), soAscending);
    EXPECT_EQ(Column(1)->SortOrder(), soDescending);
    // A plain click elsewhere keeps the grouped column's sorting too.
    Controller()->DoColumnHeaderSorting(Column(2), {});
    EXPECT_EQ(SortOrders(), "-DA");
}

TEST_F(GridTableViewControllerTest, AReleaseNearThePressOnAPressedHeaderSorts)
{
    Fill(3);
    Layout();
    TPoint p = Center(Header()->Items(2)->Bounds);
    GuiTest::MouseDown(Site(), mbLeft, p);
    View->PressedColumn = Column(2);
    GuiTest::MouseUp(Site(), mbLeft, TPoint{p.X + 1, p.Y});
    EXPECT_EQ(Column(2)->SortOrder(), soAscending);
    EXPECT_EQ(Controller()->PressedColumn(), nullptr);
    // Released far away it is a drag, not a click.
    GuiTest::MouseDown(Site(), mbLeft, p);
    View->PressedColumn = Column(2);
    GuiTest::MouseUp(Site(), mbLeft, TPoint{p.X + 60, p.Y});
    EXPECT_EQ(Column(2)->SortOrder(), soAscending);
    EXPECT_EQ(Controller()->PressedColumn(), nullptr);
}

TEST_F(GridTableViewControllerTest, ClickingAHeaderWithTheMouseSortsByItsColumn)
{
    Fill({{"b", "2", "x"}, {"a", "1", "y"}, {"c", "3", "z"}});
    Layout();
    TcxGridColumnHeaderViewInfo* header = Header()->Items(0);
    TPoint p{header->Bounds.Left + 5, Center(header->Bounds).Y};
    TcxCustomGridHitTest* hit = VI()->GetHitTest(p);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->HitTestCode(), 202);
    EXPECT_EQ(static_cast<TcxCustomGridColumnHitTest*>(hit)->Column, Column(0));
    EXPECT_EQ(static_cast<TcxCustomGridColumnHitTest*>(hit)->ColumnContainerKind, ckHeader);
    GuiTest::Click(Site(), p);
    GuiTest::ProcessEvents();
    EXPECT_EQ(SortOrders(), "A--");
    EXPECT_EQ(View->ViewData()->Rows(0)->GetDisplayText(0), "a");
    Layout();
    GuiTest::Click(Site(), TPoint{Header()->Items(0)->Bounds.Left + 5, p.Y});
    GuiTest::ProcessEvents();
    EXPECT_EQ(SortOrders(), "D--");
    EXPECT_EQ(View->ViewData()->Rows(0)->GetDisplayText(0), "c");
    // On a header's right edge: its sizing edge, with the sizing cursor.
    TcxCustomGridHitTest* edgeHit = VI()->GetHitTest(TPoint{Header()->Items(1)->Bounds.Right - 1, p.Y});
    ASSERT_NE(edgeHit, nullptr);
    EXPECT_EQ(edgeHit->HitTestCode(), 203);
    EXPECT_EQ(edgeHit->Cursor(), crcxHorzSize);
}

TEST_F(GridTableViewControllerTest, LeftPosStaysWithinTheData)
{
    Fill(3);
    int changes = 0;
    View->OnLeftPosChanged = [&](TObject*) { ++changes; };
    MakeWide();
    int max = VI()->DataWidth() - VI()->ClientBounds.Width();
    ASSERT_GT(max, 0);
    struct Case {
        int set, expected;
    };
    const Case cases[] = {{50, 50}, {100000, max}, {-5, 0}, {max - 3, max - 3}};
    for (const Case& c : cases) {
        Controller()->SetLeftPos(c.set);
        EXPECT_EQ(Controller()->LeftPos(), c.expected) << c.set;
        EXPECT_EQ(VI()->LeftPos(), c.expected) << c.set;
    }
    EXPECT_EQ(changes, 4);
    // Setting the same value again changes nothing.
    Controller()->SetLeftPos(max - 3);
    EXPECT_EQ(changes, 4);
    // Data narrower than the client: always 0.
    for (int i = 0; i < 3; ++i) Column(i)->SetWidth(50);
    Layout();
    Controller()->SetLeftPos(40);
    EXPECT_EQ(Controller()->LeftPos(), 0);
}

TEST_F(GridTableViewControllerTest, ArrowKeysMoveOverRowsAndScrollSideways)
{
    Fill(5);
    MakeWide();
    Controller()->FocusRecord(0, false);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(FocusedRow(), 2);
    Key(VK_UP);
    EXPECT_EQ(FocusedRow(), 1);
    // Without cell focusing Home and End go to the first and last record.
    View->OptionsSelection()->SetCellSelect(false);
    Key(VK_END);
    EXPECT_EQ(FocusedRow(), 4);
    Key(VK_HOME);
    EXPECT_EQ(FocusedRow(), 0);
    // Without cell focusing Left and Right scroll by 10 pixels.
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(Controller()->LeftPos(), 20);
    Key(VK_LEFT);
    EXPECT_EQ(Controller()->LeftPos(), 10);
}

TEST_F(GridTableViewControllerTest, RightOnTheLastCellScrollsOrCyclesToTheNextRecord)
{
    Fill(3);
    MakeWide();
    View->OptionsSelection()->SetCellSelect(true);
    Controller()->FocusRecord(0, false);
    Controller()->SetFocusedColumn(Column(0));
    Key(VK_RIGHT);
    EXPECT_EQ(Controller()->FocusedColumn(), Column(1));
    Controller()->SetFocusedColumn(Column(2));
    int leftPos = Controller()->LeftPos();
    Key(VK_RIGHT);
    EXPECT_EQ(Controller()->FocusedColumn(), Column(2));
    EXPECT_EQ(FocusedRow(), 0);
    EXPECT_EQ(Controller()->LeftPos(), std::min(leftPos + 10, Controller()->GetMaxLeftPos()));
    // With FocusCellOnCycle the focus goes on to the next record's first cell.
    View->OptionsBehavior()->FocusCellOnCycle = true;
    Key(VK_RIGHT);
    EXPECT_EQ(FocusedRow(), 1);
    EXPECT_EQ(Controller()->FocusedColumn(), Column(0));
    // Home and End go to the first and last cell with cell focusing.
    Key(VK_END);
    EXPECT_EQ(Controller()->FocusedColumn(), Column(2));
    EXPECT_EQ(FocusedRow(), 1);
    Key(VK_HOME);
    EXPECT_EQ(Controller()->FocusedColumn(), Column(0));
    // With Ctrl they go to the first and last record.
    Key(VK_END, {ssCtrl});
    EXPECT_EQ(FocusedRow(), 2);
}

TEST_F(GridTableViewControllerTest, TheNewItemRowSitsAboveTheFirstRecord)
{
    Fill(3);
    View->OptionsView()->SetNewItemRow(true);
    Layout();
    Controller()->FocusRecord(0, false);
    Key(VK_UP);
    EXPECT_TRUE(Controller()->IsNewItemRowFocused());
    // Page Up on it does nothing.
    Key(VK_PRIOR);
    EXPECT_TRUE(Controller()->IsNewItemRowFocused());
    Key(VK_DOWN);
    EXPECT_FALSE(Controller()->IsNewItemRowFocused());
    EXPECT_EQ(FocusedRow(), 0);
    // Page Up from the first record focuses it, Page Down leaves it for the top record.
    Key(VK_PRIOR);
    EXPECT_TRUE(Controller()->IsNewItemRowFocused());
    Key(VK_NEXT);
    EXPECT_FALSE(Controller()->IsNewItemRowFocused());
    EXPECT_EQ(FocusedRow(), 0);
    // No appending past the end while the view has a new-item row, no deleting it.
    EXPECT_FALSE(Controller()->CanAppend());
    Controller()->FocusNewItemRow();
    EXPECT_FALSE(Controller()->CanDelete(false));
}

TEST_F(GridTableViewControllerTest, PagingByRowsKeepsOneRowInSight)
{
    Fill(40);
    Layout();
    int visible = Controller()->VisibleRecordCount();
    ASSERT_GT(visible, 2);
    Controller()->ScrollPageDown();
    int top = Controller()->TopRecordIndex();
    EXPECT_EQ(top, visible - 1);
    // Up by the rows that fit above the top row, less one.
    int above = Controller()->GetVisibleRecordCount(top, false);
    Controller()->ScrollPageUp();
    EXPECT_EQ(Controller()->TopRecordIndex(), std::max(0, top - above + 1));
    Controller()->SetTopRecordIndex(0);
    // Nothing above the top.
    Controller()->ScrollPageUp();
    EXPECT_EQ(Controller()->TopRecordIndex(), 0);
}

TEST_F(GridTableViewControllerTest, DraggingNearTheRightEdgeScrollsEveryThirtyFiveMilliseconds)
{
    GuiTest::TManualTime time;
    Fill(3);
    MakeWide();
    TRect area = VI()->GetHorzScrollArea();
    int middleY = Center(area).Y;
    EXPECT_EQ(Controller()->GetDragScrollDirectionAt(area.Right - 5, middleY), dsdRight);
    EXPECT_EQ(Controller()->GetDragScrollDirectionAt(area.Left + 5, middleY), dsdLeft);
    EXPECT_EQ(Controller()->GetDragScrollDirectionAt(Center(area).X, middleY), dsdNone);
    Controller()->SetDragScrollDirection(dsdRight);
    ASSERT_NE(Controller()->TableDragScrollTimer(), nullptr);
    EXPECT_EQ(Controller()->TableDragScrollTimer()->Interval(), 35u);
    time.Advance(34);
    EXPECT_EQ(Controller()->LeftPos(), 0);
    time.Advance(1);
    EXPECT_EQ(Controller()->LeftPos(), 10);
    time.Advance(35);
    EXPECT_EQ(Controller()->LeftPos(), 20);
    // Until the largest position.
    int max = Controller()->GetMaxLeftPos();
    for (int i = 0; i < max / 10 + 5; ++i) time.Advance(35);
    EXPECT_EQ(Controller()->LeftPos(), max);
    // Ending the drag stops it.
    Controller()->EndDragAndDrop(false);
    EXPECT_EQ(Controller()->TableDragScrollTimer(), nullptr);
    EXPECT_EQ(Controller()->DragScrollDirection(), dsdNone);
}

TEST_F(GridTableViewControllerTest, TheCustomizationFormSitsAtTheSitesBottomRightBelowTheHeader)
{
    Fill(3);
    Layout();
    TRect client = Site()->ClientRect();
    TPoint corner = Site()->ClientToScreen(TPoint{client.Right, client.Bottom});
    TRect r = Controller()->GetCustomizationFormBounds();
    EXPECT_EQ(r.Width(), 180);
    EXPECT_EQ(r.Height(), 300);
    EXPECT_EQ(r.Right, corner.X);
    // The site is less than 300 high: the form goes down to the header's bottom.
    int headerBottom = Site()->ClientToScreen(TPoint{0, Header()->Bounds.Bottom}).Y;
    EXPECT_EQ(r.Top, std::max(corner.Y - 300, headerBottom));
    // A stored rectangle is used as it is.
    Controller()->CustomizationFormBounds = TRect{10, 20, 210, 420};
    EXPECT_EQ(Controller()->GetCustomizationFormBounds(), (TRect{10, 20, 210, 420}));
    // Switching it on makes the form there and tells the view.
    int notices = 0;
    View->OnCustomization = [&](TObject*) { ++notices; };
    cxGridTableController::SetCustomizationFormFactory([](TcxGridTableController*) { return new TForm(nullptr); });
    Controller()->SetCustomization(true);
    ASSERT_NE(Controller()->CustomizationForm(), nullptr);
    EXPECT_EQ(Controller()->CustomizationForm()->Left(), 10);
    EXPECT_EQ(Controller()->CustomizationForm()->Height(), 400);
    Controller()->SetCustomization(true);
    EXPECT_EQ(notices, 1);
    Controller()->SetCustomization(false);
    EXPECT_EQ(Controller()->CustomizationForm(), nullptr);
    EXPECT_EQ(notices, 2);
    cxGridTableController::SetCustomizationFormFactory(nullptr);
}

TEST_F(GridTableViewControllerTest, AColumnLeftOfTheSizedOneKeepsItsWidth)
{
    Fill(1);
    Layout();
    Controller()->ItemBeingSized = Column(1);
    EXPECT_TRUE(Controller()->IsColumnFixedDuringHorzSizing(Column(0)));
    EXPECT_TRUE(Controller()->IsColumnFixedDuringHorzSizing(Column(1)));
    EXPECT_FALSE(Controller()->IsColumnFixedDuringHorzSizing(Column(2)));
    // Sizing the last column fixes only itself.
    Controller()->ItemBeingSized = Column(2);
    EXPECT_FALSE(Controller()->IsColumnFixedDuringHorzSizing(Column(0)));
    EXPECT_TRUE(Controller()->IsColumnFixedDuringHorzSizing(Column(2)));
    Controller()->ItemBeingSized = nullptr;
    EXPECT_FALSE(Controller()->IsColumnFixedDuringHorzSizing(Column(0)));
}

TEST_F(GridTableViewControllerTest, ClicksOnCellsFireTheApplicationsEvents)
{
    Fill(4);
    View->OptionsData()->SetEditing(false);
    Layout();
    std::vector<std::string> log;
    View->OnCellClick = [&](TcxCustomGridTableView*, TcxGridTableDataCellViewInfo* ACell, TMouseButton, TShiftState,
                            bool&) { log.push_back("click:" + ACell->Item()->Name()); };
    View->OnFocusedRecordChanged = [&](TcxCustomGridTableView*, TcxCustomGridRecord*, TcxCustomGridRecord* AFocused,
                                       bool) { log.push_back("focus:" + std::to_string(AFocused ? AFocused->Index() : -1)); };
    View->SetOnDblClick([&](TObject*) { log.push_back("dblclick"); });
    auto* row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(2));
    ASSERT_TRUE(row && row->Cells(1));
    TPoint p = Center(row->Cells(1)->Bounds);
    GuiTest::Click(Site(), p);
    GuiTest::ProcessEvents();
    EXPECT_EQ(FocusedRow(), 2);
    ASSERT_GE(log.size(), 2u);
    EXPECT_NE(std::find(log.begin(), log.end(), "focus:2"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "click:ColB"), log.end());
    log.clear();
    GuiTest::DoubleClick(Site(), p);
    GuiTest::ProcessEvents();
    EXPECT_NE(std::find(log.begin(), log.end(), "dblclick"), log.end());
}

}  // namespace
