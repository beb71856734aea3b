// What the table's layout elements answer for a point: the hit-test class
// with its code, cursor and drag-and-drop class, the column and container
// kind or the row it carries, and the shared instances of the pool.
#include "GridTableViewFixture.h"

namespace {

class GridTableHitTestsTest : public GridTableViewFixture {
protected:
    TcxCustomGridHitTest* Hit(TcxCustomGridCellViewInfo* AViewInfo, const TPoint& P)
    {
        return cxGridTableHitTests::GetHitTest(AViewInfo, P);
    }
    template <class T> T* AreaOf(TcxGridColumnHeaderViewInfo* AHeader)
    {
        for (int i = 0; i < AHeader->AreaCount(); ++i)
            if (auto* area = DynamicCast<T>(AHeader->Areas(i))) return area;
        return nullptr;
    }
    static std::string ColumnName(TcxCustomGridHitTest* AHit)
    {
        auto* columnHit = DynamicCast<TcxCustomGridColumnHitTest>(AHit);
        return columnHit && columnHit->Column ? columnHit->Column->Name() : std::string("-");
    }
};

TEST_F(GridTableHitTestsTest, ClassesAnswerTheirCodesAndCursors)
{
    struct Case {
        TClass cls;
        int code;
        TCursor cursor;
    };
    const Case cases[] = {
        {TcxGridGroupByBoxHitTest::StaticClass(), 201, crDefault},
        {TcxGridColumnHeaderHitTest::StaticClass(), 202, crDefault},
        {TcxGridColumnHeaderHorzSizingEdgeHitTest::StaticClass(), 203, crcxHorzSize},
        {TcxGridColumnHeaderFilterButtonHitTest::StaticClass(), 204, crDefault},
        {TcxGridFooterHitTest::StaticClass(), 205, crDefault},
        {TcxGridFooterCellHitTest::StaticClass(), 206, crDefault},
        {TcxGridGroupFooterHitTest::StaticClass(), 207, crDefault},
        {TcxGridGroupFooterCellHitTest::StaticClass(), 208, crDefault},
        {TcxGridFilterHitTest::StaticClass(), 209, crDefault},
        {TcxGridFilterActivateButtonHitTest::StaticClass(), 210, crDefault},
        {TcxGridFilterCloseButtonHitTest::StaticClass(), 211, crDefault},
        {TcxGridFilterCustomizeButtonHitTest::StaticClass(), 212, crDefault},
        {TcxGridRowIndicatorHitTest::StaticClass(), 213, crDefault},
        {TcxGridRowSizingEdgeHitTest::StaticClass(), 214, crcxVertSize},
        {TcxGridIndicatorHitTest::StaticClass(), 215, crDefault},
        {TcxGridRowLevelIndentHitTest::StaticClass(), 216, crDefault},
        {TcxGridCustomozationFormHitTest::StaticClass(), 217, crDefault},
        {TcxGridHeaderHitTest::StaticClass(), 218, crDefault},
    };
    for (const Case& c : cases) {
        TcxCustomGridHitTest* hit = TcxCustomGridHitTest::Instance(c.cls, TPoint{1, 2});
        EXPECT_EQ(hit->HitTestCode(), c.code) << c.cls->Name;
        EXPECT_EQ(hit->Cursor(), c.cursor) << c.cls->Name;
    }
    // The level indent is no click on the row's body; the indicator's row cell is.
    EXPECT_FALSE(TcxCustomGridHitTest::Instance<TcxGridRowLevelIndentHitTest>(TPoint{})->CanClick());
    EXPECT_TRUE(TcxCustomGridHitTest::Instance<TcxGridRowIndicatorHitTest>(TPoint{})->CanClick());
}

TEST_F(GridTableHitTestsTest, ASecondQueryOfAClassReusesTheInstanceWithTheNewPoint)
{
    Fill(3);
    Layout();
    TcxGridColumnHeaderViewInfo* a = Header()->Items(0);
    TcxGridColumnHeaderViewInfo* c = Header()->Items(2);
    TcxCustomGridHitTest* first = Hit(a, Center(a->Bounds));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ColumnName(first), "ColA");
    TcxCustomGridHitTest* second = Hit(c, Center(c->Bounds));
    EXPECT_EQ(second, first);
    EXPECT_EQ(second->Pos, Center(c->Bounds));
    EXPECT_EQ(ColumnName(first), "ColC");
}

TEST_F(GridTableHitTestsTest, ThePartsOfALaidOutViewAnswerByPoint)
{
    Fill(3);
    View->OptionsView()->SetIndicator(true);
    View->OptionsView()->SetFooter(true);
    View->OptionsCustomize()->SetDataRowSizing(true);
    View->Filtering()->SetVisible(fvAlways);
    Column(1)->SetGroupIndex(-1);
    Layout();
    TcxGridColumnHeaderViewInfo* headerB = Header()->Items(1);
    auto* edgeB = AreaOf<TcxGridColumnHeaderHorzSizingEdgeViewInfo>(headerB);
    ASSERT_NE(edgeB, nullptr);
    TcxGridFooterViewInfo* footer = VI()->FooterViewInfo();
    TcxGridIndicatorViewInfo* indicator = VI()->IndicatorViewInfo();
    auto* row1 = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(1));
    ASSERT_TRUE(row1 && row1->IndicatorItem());
    TRect rowCell = row1->IndicatorItem()->Bounds;
    TcxGridFilterButtonsViewInfo* buttons = VI()->FilterViewInfo()->ButtonsViewInfo();
    // The filter box's shown button.
    TcxCustomGridFilterButtonViewInfo* button = nullptr;
    for (int i = 0; i < buttons->Count(); ++i)
        if (buttons->Items(i)->GetVisible() && !IsRectEmpty(buttons->Items(i)->Bounds)) button = buttons->Items(i);
    ASSERT_NE(button, nullptr);
    int buttonCode = DynamicCast<TcxGridFilterCloseButtonViewInfo>(button)      ? 211
                     : DynamicCast<TcxGridFilterActivateButtonViewInfo>(button) ? 210
                                                                                : 212;

    struct Case {
        const char* what;
        TcxCustomGridCellViewInfo* viewInfo;
        TPoint point;
        int code;
        std::string column;
        int kind;
    };
    const Case cases[] = {
        {"header cell", headerB, TPoint{headerB->Bounds.Left + 5, Center(headerB->Bounds).Y}, 202, "ColB", ckHeader},
        {"sizing edge", edgeB, Center(edgeB->Bounds), 203, "ColB", ckHeader},
        {"header part", Header(), Center(Header()->Bounds), 218, "-", 0},
        {"group-by box", VI()->GroupByBoxViewInfo(), Center(VI()->GroupByBoxViewInfo()->Bounds), 201, "-", 0},
        {"footer cell", footer->Items(2), Center(footer->Items(2)->Bounds), 206, "ColC", ckFooter},
        {"footer", footer, Center(footer->Bounds), 205, "-", 0},
        {"filter box", VI()->FilterViewInfo(), Center(VI()->FilterViewInfo()->Bounds), 209, "-", 0},
        {"filter box button", button, Center(button->Bounds), buttonCode, "-", 0},
        {"row indicator cell", row1->IndicatorItem(), Center(rowCell), 213, "-", 0},
        {"row sizing edge", row1->IndicatorItem(), TPoint{Center(rowCell).X, rowCell.Bottom - 2}, 214, "-", 0},
        {"indicator column", indicator, TPoint{Center(indicator->Bounds).X, indicator->Bounds.Bottom - 1}, 215, "-", 0},
    };
    for (const Case& c : cases) {
        TcxCustomGridHitTest* hit = Hit(c.viewInfo, c.point);
        ASSERT_NE(hit, nullptr) << c.what;
        EXPECT_EQ(hit->HitTestCode(), c.code) << c.what;
        EXPECT_EQ(ColumnName(hit), c.column) << c.what;
        if (auto* columnHit = DynamicCast<TcxCustomGridColumnHitTest>(hit)) {
            EXPECT_EQ(columnHit->ColumnContainerKind, c.kind) << c.what;
            EXPECT_EQ(columnHit->GridView, View) << c.what;
        }
        if (auto* recordHit = DynamicCast<TcxGridRecordHitTest>(hit)) {
            EXPECT_EQ(recordHit->GridRecord(), row1->GridRecord()) << c.what;
            EXPECT_EQ(recordHit->GridView, View) << c.what;
        }
    }
    // The row cell's hit test carries the row's layout.
    auto* indicatorHit = DynamicCast<TcxGridRowIndicatorHitTest>(Hit(row1->IndicatorItem(), Center(rowCell)));
    ASSERT_NE(indicatorHit, nullptr);
    EXPECT_EQ(indicatorHit->RowViewInfo, row1);
    // Outside a view info: nothing.
    EXPECT_EQ(Hit(headerB, TPoint{-5, -5}), nullptr);
}

TEST_F(GridTableHitTestsTest, TheViewAnswersForItsIndicatorAndFilterBox)
{
    Fill(3);
    View->OptionsView()->SetIndicator(true);
    View->OptionsCustomize()->SetDataRowSizing(true);
    View->Filtering()->SetVisible(fvAlways);
    Layout();
    auto* row = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(1));
    ASSERT_TRUE(row && row->IndicatorItem());
    TRect cell = row->IndicatorItem()->Bounds;
    struct Case {
        TPoint point;
        int code;
    };
    const Case cases[] = {
        {Center(cell), 213},
        {TPoint{Center(cell).X, cell.Bottom - 2}, 214},
        {Center(VI()->FilterViewInfo()->Bounds), 209},
    };
    for (const Case& c : cases) {
        TcxCustomGridHitTest* hit = VI()->GetHitTest(c.point);
        ASSERT_NE(hit, nullptr) << c.code;
        EXPECT_EQ(hit->HitTestCode(), c.code);
    }
}

TEST_F(GridTableHitTestsTest, RowsThatCannotBeSizedHaveNoSizingEdge)
{
    Fill(2);
    View->OptionsView()->SetIndicator(true);
    Layout();
    auto* row = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(0));
    ASSERT_TRUE(row && row->IndicatorItem());
    TRect cell = row->IndicatorItem()->Bounds;
    TcxCustomGridHitTest* hit = Hit(row->IndicatorItem(), TPoint{Center(cell).X, cell.Bottom - 2});
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->HitTestCode(), 213);
}

TEST_F(GridTableHitTestsTest, OnlyAMovableColumnsHeaderStartsAMove)
{
    Fill(1);
    Layout();
    // The moving object class is handed in by the unit that has it.
    cxGridTableController::SetColumnHeaderMovingObjectClass(TcxCustomGridTableDragAndDropObject::StaticClass());
    struct Case {
        bool viewMoving, columnMoving, dragObject;
    };
    const Case cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const Case& c : cases) {
        View->OptionsCustomize()->SetColumnMoving(c.viewMoving);
        Column(0)->Options()->SetMoving(c.columnMoving);
        TcxGridColumnHeaderViewInfo* header = Header()->Items(0);
        TcxCustomGridHitTest* hit = Hit(header, TPoint{header->Bounds.Left + 3, Center(header->Bounds).Y});
        ASSERT_NE(hit, nullptr);
        EXPECT_EQ(hit->DragAndDropObjectClass() != nullptr, c.dragObject) << c.viewMoving << c.columnMoving;
    }
    cxGridTableController::SetColumnHeaderMovingObjectClass(nullptr);
}

TEST_F(GridTableHitTestsTest, APointInAGroupedRowsIndentIsNoClickOnTheRow)
{
    Fill({{"张三", "男", "1"}, {"李四", "女", "2"}, {"王五", "男", "3"}});
    Column(1)->SetGroupIndex(0);
    View->DataController()->Groups()->FullExpand();
    Layout();
    TcxCustomGridRowViewInfo* dataRow = nullptr;
    for (int i = 0; i < Rows()->VisibleCount() && !dataRow; ++i) {
        auto* row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(i));
        if (row && row->GridRecord() && row->GridRecord()->Level() == 1) dataRow = row;
    }
    ASSERT_NE(dataRow, nullptr);
    TRect indent = dataRow->GetLevelIndentBounds(-1);
    ASSERT_GT(indent.Width(), 0);
    auto* recordHit = TcxCustomGridHitTest::Instance<TcxGridRecordHitTest>(Center(indent));
    recordHit->GridView = View;
    recordHit->SetGridRecord(dataRow->GridRecord());
    TcxCustomGridHitTest* hit = cxGridTableHitTests::CheckLevelIndentHitTest(dataRow, recordHit);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->HitTestCode(), 216);
    EXPECT_EQ(static_cast<TcxGridRecordHitTest*>(hit)->GridRecord(), dataRow->GridRecord());
    // Right of the indent the record hit test stays as it is.
    auto* bodyHit = TcxCustomGridHitTest::Instance<TcxGridRecordHitTest>(TPoint{indent.Right + 5, Center(indent).Y});
    EXPECT_EQ(cxGridTableHitTests::CheckLevelIndentHitTest(dataRow, bodyHit), bodyHit);
}

}  // namespace
