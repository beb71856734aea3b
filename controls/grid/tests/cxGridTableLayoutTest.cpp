// The table view's layout, laid out headless: parts stacked around the rows,
// header cells with automatic widths and drop zones, the indicator column,
// rows counted into the area, cells under their headers, the preview, the
// new-item row, the group-by box staircase, the footer and the filter box.
// Expected numbers are computed from the layout rules and the fonts' heights.
#include "GridTestBase.h"

#include "cxGridTableLayout.h"
#include "cxGridTableView.h"

#include <sstream>

namespace {

std::string Dump(const TRect& R)
{
    std::ostringstream s;
    s << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
    return s.str();
}

class GridTableLayoutTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        Editors = std::make_unique<TDefaultEditorsScope>();
        cxGridTableView::Initialize();
        View = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
        View->SetName("TableView");
        Grid->RootLevel()->Add()->SetGridView(View);
        for (const char* name : {"ColA", "ColB", "ColC"}) {
            TcxGridColumn* column = View->CreateColumn();
            column->SetName(name);
            column->SetCaption(name);
            column->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
            column->SetWidth(100);
        }
        Grid->SetBounds(0, 0, 404, 300);
        ShowForm();
    }
    void Fill(int ACount)
    {
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(ACount);
        for (int r = 0; r < ACount; ++r)
            for (int c = 0; c < 3; ++c) dc->SetValue(r, c, Variant("r" + std::to_string(r) + "c" + std::to_string(c)));
    }
    void Layout()
    {
        GuiTest::ProcessEvents();
        View->ViewInfo()->Recalculate();
    }
    TcxGridTableViewInfo* VI() { return View->ViewInfo(); }
    TcxGridHeaderViewInfo* Header() { return VI()->HeaderViewInfo(); }
    TcxGridRowsViewInfo* Rows() { return VI()->RowsViewInfo(); }
    int FontHeight() { return VI()->GetFontHeight(View->Styles()->GetValue(0) ? nullptr : Grid->Font()); }
    void TearDown() override
    {
        GridTestBase::TearDown();
        Editors.reset();
    }
    int Left() { return VI()->ViewBounds.Left; }
    std::unique_ptr<TDefaultEditorsScope> Editors;
    TcxGridTableView* View = nullptr;
};

TEST_F(GridTableLayoutTest, PartsStackAroundTheRows)
{
    Fill(3);
    View->OptionsView()->SetFooter(true);
    View->Filtering()->SetVisible(fvAlways);
    Layout();
    TRect view = VI()->ViewBounds;
    TRect box = VI()->GroupByBoxViewInfo()->Bounds;
    TRect header = Header()->Bounds;
    TRect client = VI()->ClientBounds;
    TRect footer = VI()->FooterViewInfo()->Bounds;
    TRect filter = VI()->FilterViewInfo()->Bounds;
    // Group-by box at the top over the full width, then the header.
    EXPECT_EQ(box.Top, view.Top);
    EXPECT_EQ(box.Left, view.Left);
    EXPECT_EQ(box.Right, view.Right);
    EXPECT_EQ(header.Top, box.Bottom);
    EXPECT_EQ(client.Top, header.Bottom);
    // The filter box at the very bottom, the footer right above it, below the rows.
    EXPECT_EQ(filter.Bottom, view.Bottom);
    EXPECT_EQ(filter.Left, view.Left);
    EXPECT_EQ(filter.Right, view.Right);
    EXPECT_EQ(footer.Bottom, filter.Top);
    EXPECT_EQ(client.Bottom, footer.Top);
    // The footer lines up with the header.
    EXPECT_EQ(footer.Left, header.Left);
    EXPECT_EQ(footer.Right, header.Right);
    // Part list order.
    ASSERT_EQ(VI()->PartCount(), 4);
    EXPECT_EQ(VI()->Parts(0), VI()->GroupByBoxViewInfo());
    EXPECT_EQ(VI()->Parts(1), Header());
    EXPECT_EQ(VI()->Parts(2), VI()->FilterViewInfo());
    EXPECT_EQ(VI()->Parts(3), VI()->FooterViewInfo());
}

TEST_F(GridTableLayoutTest, AHiddenHeaderStillPlacesTheColumns)
{
    Fill(2);
    View->OptionsView()->SetHeader(false);
    Layout();
    EXPECT_EQ(Header()->GetHeight(), 0);
    EXPECT_EQ(VI()->ClientBounds.Top, VI()->GroupByBoxViewInfo()->Bounds.Bottom);
    auto* row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(0));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Bounds.Top, VI()->ClientBounds.Top);
    ASSERT_NE(row->Cells(1), nullptr);
    EXPECT_EQ(row->Cells(1)->Bounds.Left, Left() + 100);
    EXPECT_EQ(row->Cells(1)->Bounds.Width(), 100);
}

TEST_F(GridTableLayoutTest, AutoWidthSharesTheClientWithCumulativeRounding)
{
    Fill(2);
    View->OptionsView()->SetGroupByBox(false);
    View->OptionsView()->SetColumnAutoWidth(true);
    Layout();
    ASSERT_EQ(VI()->ClientBounds.Width(), 400);
    ASSERT_EQ(Header()->Count(), 3);
    EXPECT_EQ(Header()->Items(0)->Bounds.Width(), 133);
    EXPECT_EQ(Header()->Items(1)->GetWidth(), 134);
    EXPECT_EQ(Header()->Items(2)->GetWidth(), 133);
    EXPECT_EQ(VI()->DataWidth(), 400);
    // A column that may not be sized keeps its width; the others share the rest.
    View->Columns(0)->Options()->SetHorzSizing(false);
    Layout();
    EXPECT_EQ(Header()->Items(0)->GetWidth(), 100);
    EXPECT_EQ(Header()->Items(1)->GetWidth() + Header()->Items(2)->GetWidth(), 300);
    // A client narrower than the minimums keeps every column at its minimum.
    View->Columns(0)->Options()->SetHorzSizing(true);
    for (int i = 0; i < 3; ++i) View->Columns(i)->SetMinWidth(200);
    Layout();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Header()->Items(i)->GetWidth(), 200);
    EXPECT_EQ(VI()->DataWidth(), 600);
}

TEST_F(GridTableLayoutTest, DropZonesOfTheHeader)
{
    Fill(1);
    Layout();
    TRect h = Header()->Bounds;
    int y = (h.Top + h.Bottom) / 2;
    struct Case {
        int x, y, zone;
    };
    const Case cases[] = {
        {10, y, 0},          {60, y, 1},       {240, y, 2}, {260, y, 3},
        {380, y, 3},         {10, h.Top - 15, 0},
        {10, h.Bottom + 14, 0},
    };
    for (const Case& c : cases) {
        auto zone = Header()->GetZone({c.x, c.y});
        ASSERT_NE(zone, nullptr) << c.x << "," << c.y;
        EXPECT_EQ(zone->ItemIndex, c.zone) << c.x << "," << c.y;
    }
    EXPECT_EQ(Header()->GetZone({10, h.Top - 16}), nullptr);
}

TEST_F(GridTableLayoutTest, HeaderHeightsFromTheFontOrTheOption)
{
    Fill(1);
    Layout();
    int border = View->LookAndFeelPainter()->HeaderFrameWidth();
    EXPECT_EQ(Header()->GetHeight(), FontHeight() + 4 + 2 * border);
    View->OptionsView()->SetHeaderHeight(30);
    Layout();
    EXPECT_EQ(Header()->GetHeight(), 30);
    EXPECT_EQ(Header()->Items(0)->Bounds.Height(), 30);
    EXPECT_TRUE(Header()->Items(0)->GetMultiLinePainting());
    // Automatic header height grows to the tallest wrapped caption.
    View->OptionsView()->SetHeaderHeight(0);
    View->OptionsView()->SetHeaderAutoHeight(true);
    // Captions that fit their columns keep one line: the first layout
    // measures them in the columns' widths, not in no width at all.
    View->Columns(1)->SetWidth(150);
    View->Columns(1)->SetCaption("Signdate");
    Layout();
    EXPECT_EQ(Header()->GetHeight(), FontHeight() + 4 + 2 * border);
    View->Columns(1)->SetWidth(40);
    View->Columns(1)->SetCaption("a long caption that wraps");
    Layout();
    EXPECT_GT(Header()->GetHeight(), FontHeight() * 2);
}

TEST_F(GridTableLayoutTest, TheIndicatorRunsFromTheHeaderToTheFooter)
{
    Fill(3);
    View->OptionsView()->SetIndicator(true);
    View->OptionsView()->SetIndicatorWidth(30);
    View->OptionsView()->SetFooter(true);
    Layout();
    TcxGridIndicatorViewInfo* ind = VI()->IndicatorViewInfo();
    EXPECT_EQ(ind->Bounds.Left, Left());
    EXPECT_EQ(ind->Bounds.Width(), 30);
    EXPECT_EQ(ind->Bounds.Top, Header()->Bounds.Top);
    EXPECT_EQ(ind->Bounds.Bottom, VI()->FooterViewInfo()->Bounds.Bottom);
    EXPECT_EQ(VI()->ClientBounds.Left, Left() + 30);
    EXPECT_EQ(Header()->Bounds.Left, Left() + 30);
    EXPECT_EQ(VI()->FooterViewInfo()->Bounds.Left, Left() + 30);
    EXPECT_EQ(VI()->GroupByBoxViewInfo()->Bounds.Left, Left());
    // A header cell, a footer cell and one cell per row, each beside its own.
    int rows = 0;
    for (int i = 0; i < ind->Count(); ++i) {
        TcxCustomGridIndicatorItemViewInfo* item = ind->Items(i);
        EXPECT_EQ(item->Bounds.Width(), 30);
        if (item->InheritsFrom(TcxGridIndicatorHeaderItemViewInfo::StaticClass()))
            EXPECT_EQ(Dump(item->Bounds), Dump(TRect{Left(), Header()->Bounds.Top, Left() + 30, Header()->Bounds.Bottom}));
        if (auto* row = DynamicCast<TcxGridIndicatorRowItemViewInfo>(item)) {
            ++rows;
            EXPECT_EQ(row->Bounds.Top, row->RowViewInfo->Bounds.Top);
            EXPECT_EQ(row->Bounds.Height(), row->RowViewInfo->Bounds.Height());
        }
    }
    EXPECT_EQ(rows, 3);
    // Off: no width, the rows start at the view's left edge.
    View->OptionsView()->SetIndicator(false);
    Layout();
    EXPECT_EQ(VI()->IndicatorViewInfo()->Bounds.Width(), 0);
    EXPECT_EQ(VI()->ClientBounds.Left, Left());
}

TEST_F(GridTableLayoutTest, IndicatorKindsOfRows)
{
    Fill(3);
    View->OptionsView()->SetIndicator(true);
    View->Controller()->FocusRecord(1, true);
    Layout();
    auto kindOf = [&](int ARow) {
        auto* row = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(ARow));
        return row && row->IndicatorItem() ? row->IndicatorItem()->GetIndicatorKind() : -1;
    };
    EXPECT_EQ(kindOf(0), 0);
    EXPECT_EQ(kindOf(1), 1);
    View->OptionsSelection()->SetMultiSelect(true);
    View->Controller()->FocusRecord(1, true);
    View->DataController()->ChangeRowSelection(1, true);
    Layout();
    EXPECT_EQ(kindOf(1), 5);
    View->DataController()->ChangeRowSelection(1, false);
    Layout();
    EXPECT_EQ(kindOf(1), 1);
}

TEST_F(GridTableLayoutTest, RowsAreCountedIntoTheArea)
{
    Fill(50);
    View->OptionsView()->SetGroupByBox(false);
    Layout();
    TcxGridRowsViewInfo* rows = Rows();
    int step = rows->GetDataRowHeight();
    int area = rows->RowsAreaBounds.Height();
    EXPECT_EQ(rows->VisibleCount(), area / step);
    EXPECT_EQ(rows->PartVisibleCount(), area % step ? area / step + 1 : area / step);
    for (int i = 0; i < rows->PartVisibleCount(); ++i)
        EXPECT_EQ(rows->ItemAt(i)->Bounds.Top, rows->RowsAreaBounds.Top + i * step) << i;
    // Rows filling the area exactly: the last counts as fully visible, no partial row.
    View->OptionsView()->SetDataRowHeight(area / 4);
    Layout();
    int exact = Rows()->GetDataRowHeight();
    if (area % exact == 0) {
        EXPECT_EQ(Rows()->VisibleCount(), area / exact);
        EXPECT_EQ(Rows()->PartVisibleCount(), area / exact);
    }
    // One row higher than the area still counts as visible.
    View->OptionsView()->SetDataRowHeight(area + 50);
    Layout();
    EXPECT_EQ(Rows()->VisibleCount(), 1);
    EXPECT_EQ(Rows()->PartVisibleCount(), 1);
}

TEST_F(GridTableLayoutTest, DataRowHeightFromTheEditorsOrTheOption)
{
    Fill(2);
    Layout();
    int grid = 1;  // horizontal grid lines
    int expected = 0;
    for (int i = 0; i < 3; ++i) {
        TcxViewParams params;
        View->Styles()->GetContentParams(nullptr, View->Columns(i), params);
        expected = std::max(expected, View->Columns(i)->CalculateDefaultCellHeight(VI()->Canvas(), params.Font));
    }
    EXPECT_EQ(Rows()->GetDataRowHeight(), expected + grid);
    View->OptionsView()->SetGridLines(glVertical);
    Layout();
    EXPECT_EQ(Rows()->GetDataRowHeight(), expected);
    // The last row closes with a line of its own under vertical lines only.
    auto* last = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(1));
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(last->HasLastHorzGridLine());
    EXPECT_EQ(last->Bounds.Height(), expected + 1);
    View->OptionsView()->SetDataRowHeight(25);
    Layout();
    EXPECT_EQ(Rows()->GetDataRowHeight(), 25);
}

TEST_F(GridTableLayoutTest, NoColumnsGiveTheContentFontRowAndAnEmptyCellsArea)
{
    Fill(2);
    for (int i = 0; i < 3; ++i) View->Columns(i)->SetVisible(false);
    Layout();
    TcxViewParams params;
    View->Styles()->GetViewParams(TcxCustomGridTableViewStyles::vsContent, nullptr, nullptr, params);
    EXPECT_EQ(Rows()->GetDataRowHeight(), VI()->GetFontHeight(params.Font) + 4 + 1);
    EXPECT_EQ(VI()->DataWidth(), 0);
    View->OptionsView()->SetColumnAutoWidth(true);
    Layout();
    EXPECT_EQ(VI()->DataWidth(), VI()->ClientBounds.Width());
    auto* row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(0));
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->CellsAreaViewInfo()->GetVisible());
    EXPECT_EQ(Dump(row->CellsAreaViewInfo()->Bounds), Dump(row->CellsAreaBounds));
}

TEST_F(GridTableLayoutTest, CellsStandUnderTheirHeadersRightOfTheLevelIndents)
{
    Fill(4);
    View->Columns(0)->SetGroupIndex(0);
    Layout();
    int indent = VI()->LevelIndent();
    EXPECT_EQ(indent, View->LookAndFeelPainter()->ExpandBoxSize() + 6);
    // Grouping by code leaves the column shown; the first header carries one level indent.
    ASSERT_EQ(Header()->Count(), 3);
    EXPECT_EQ(Header()->Items(0)->GetWidth(), 100 + indent);
    View->ViewData()->ExpandAll(true);
    Layout();
    for (int i = 0; i < Rows()->PartVisibleCount(); ++i) {
        auto* row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(i));
        if (!row) continue;
        ASSERT_NE(row->Cells(0), nullptr);
        EXPECT_EQ(row->Cells(0)->Bounds.Left, Header()->Items(0)->Bounds.Left + indent);
        EXPECT_EQ(row->Cells(0)->Bounds.Width(), 100);
        EXPECT_EQ(row->GetContentLeft(), row->Bounds.Left + indent);
    }
}

TEST_F(GridTableLayoutTest, PreviewHeightWithoutAutoHeight)
{
    Fill(2);
    View->Preview()->SetColumn(View->Columns(2));
    View->Preview()->SetVisible(true);
    View->Preview()->SetAutoHeight(false);
    View->Preview()->SetMaxLineCount(3);
    Layout();
    auto* row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(0));
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->PreviewViewInfo(), nullptr);
    TcxViewParams params;
    View->Styles()->GetPreviewParams(nullptr, View->Columns(2), params);
    int expected = VI()->GetFontHeight(params.Font) * 3 + 4;
    EXPECT_EQ(row->PreviewViewInfo()->Bounds.Height(), expected + 1);
    EXPECT_EQ(row->PreviewViewInfo()->Bounds.Top, row->CellsAreaBounds.Bottom);
    EXPECT_EQ(row->Bounds.Height(), Rows()->GetDataRowHeight() + expected + 1);
    View->OptionsView()->SetGridLines(glNone);
    Layout();
    row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(0));
    EXPECT_EQ(row->PreviewViewInfo()->Bounds.Height(), expected);
    // Above the cells: the cells follow the preview, their area keeps its bottom border.
    View->Preview()->SetPlace(ppTop);
    Layout();
    row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(0));
    EXPECT_EQ(row->PreviewViewInfo()->Bounds.Top, row->Bounds.Top);
    EXPECT_EQ(row->CellsAreaBounds.Top, row->Bounds.Top + expected);
    EXPECT_TRUE(row->CellsAreaViewInfo()->HasBottomBorder());
    // The preview hit test.
    TRect p = row->PreviewViewInfo()->Bounds;
    TcxCustomGridHitTest* hit = VI()->GetHitTest({p.Left + 30, p.Top + 2});
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->HitTestCode(), 231);
}

TEST_F(GridTableLayoutTest, TheNewItemRowSitsAboveTheRows)
{
    Fill(3);
    View->OptionsView()->SetNewItemRow(true);
    Layout();
    TcxGridNewItemRowViewInfo* nr = Rows()->NewItemRowViewInfo();
    ASSERT_NE(nr, nullptr);
    EXPECT_EQ(nr->Bounds.Top, VI()->ClientBounds.Top);
    EXPECT_EQ(nr->Bounds.Height(), Rows()->GetDataRowHeight() + 6);
    EXPECT_EQ(Rows()->RowsAreaBounds.Top, nr->Bounds.Bottom);
    EXPECT_EQ(Rows()->ItemAt(0)->Bounds.Top, nr->Bounds.Bottom);
    EXPECT_EQ(nr->GetNewItemRowSeparatorBounds().Height(), 6);
    EXPECT_TRUE(nr->ShowInfoText());
    EXPECT_EQ(nr->GetText(), "Click here to add a new row");
}

TEST_F(GridTableLayoutTest, GroupByBoxHeightsAndStaircase)
{
    Fill(4);
    Layout();
    TcxGridGroupByBoxViewInfo* box = VI()->GroupByBoxViewInfo();
    TcxViewParams params;
    View->Styles()->GetViewParams(TcxGridTableViewStyles::vsGroupByBox, nullptr, nullptr, params);
    int font = VI()->GetFontHeight(params.Font);
    EXPECT_EQ(box->Bounds.Height(), font + 6 + 16);
    EXPECT_EQ(box->GetText(), "Drag a column header here to group by that column");
    for (int i = 0; i < 3; ++i) View->Columns(i)->SetGroupIndex(i);
    Layout();
    box = VI()->GroupByBoxViewInfo();
    ASSERT_EQ(box->Count(), 3);
    int h = box->ItemHeight();
    EXPECT_EQ(box->Bounds.Height(), 2 * (h / 2) + h + 16);
    EXPECT_EQ(box->Items(0)->Bounds.Left, Left() + 6);
    EXPECT_EQ(box->Items(0)->Bounds.Top, box->Bounds.Top + 8);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(box->Items(i)->Bounds.Left, box->Items(i - 1)->Bounds.Right + 4);
        EXPECT_EQ(box->Items(i)->Bounds.Top, box->Items(i - 1)->Bounds.Top + h / 2);
        EXPECT_EQ(box->Items(i)->Bounds.Width(), box->Items(i)->GetNeededWidth());
    }
    EXPECT_EQ(box->GetText(), "");
}

TEST_F(GridTableLayoutTest, FooterCellsShowOnlyWithASummary)
{
    Fill(3);
    View->OptionsView()->SetFooter(true);
    Layout();
    TcxGridFooterViewInfo* footer = VI()->FooterViewInfo();
    ASSERT_EQ(footer->Count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(footer->Items(i)->GetVisible());
    EXPECT_EQ(footer->GetFooterSeparatorBounds().Height(), 1);
    TcxDataSummary* summary = View->DataController()->Summary();
    auto* item = static_cast<TcxDataSummaryItem*>(static_cast<TCollection*>(summary->FooterSummaryItems())->Add());
    item->SetItemLink(View->Columns(1));
    item->SetKind(skCount);
    Layout();
    footer = VI()->FooterViewInfo();
    EXPECT_TRUE(footer->Items(1)->GetVisible());
    EXPECT_EQ(footer->Items(1)->GetText(), "3");
    int offset = View->LookAndFeelPainter()->FooterCellOffset();
    EXPECT_EQ(footer->Items(1)->Bounds.Left, Header()->Items(1)->VisibleLeft() + offset);
}

TEST_F(GridTableLayoutTest, FilterBoxShowsWithAFilter)
{
    Fill(3);
    Layout();
    EXPECT_FALSE(VI()->FilterViewInfo()->GetVisible());
    TcxDataFilterCriteria* filter = View->DataController()->Filter();
    filter->AddItem(nullptr, View->Columns(0), foEqual, Variant(std::string("r1c0")), "r1c0");
    filter->SetActive(true);
    Layout();
    TcxGridFilterViewInfo* box = VI()->FilterViewInfo();
    ASSERT_TRUE(box->GetVisible());
    EXPECT_EQ(box->Bounds.Bottom, VI()->ViewBounds.Bottom);
    TcxGridFilterButtonsViewInfo* buttons = box->ButtonsViewInfo();
    ASSERT_EQ(buttons->Count(), 3);
    EXPECT_EQ(buttons->Items(0)->Bounds.Left, box->Bounds.Left + 4);
    EXPECT_EQ(buttons->Items(1)->Bounds.Left, buttons->Items(0)->Bounds.Right + 4);
    EXPECT_EQ(buttons->Items(2)->Bounds.Right, box->Bounds.Right - 4);
    EXPECT_EQ(buttons->Items(2)->GetText(), "Customize...");
    EXPECT_GE(box->Bounds.Height(), buttons->GetHeight());
}

TEST_F(GridTableLayoutTest, NestedGroupFootersStepOutByOneIndentEach)
{
    TcxCustomDataController* dc = View->DataController();
    const char* rows[][3] = {{"A", "x", "1"}, {"A", "y", "2"}, {"B", "z", "3"}};
    dc->SetRecordCount(3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) dc->SetValue(r, c, Variant(std::string(rows[r][c])));
    View->Columns(0)->SetGroupIndex(0);
    View->Columns(1)->SetGroupIndex(1);
    View->OptionsView()->SetGroupFooters(gfVisibleWhenExpanded);
    View->ViewData()->ExpandAll(true);
    Grid->SetBounds(0, 0, 404, 500);
    Layout();
    int indent = VI()->LevelIndent();
    // Rows: A, x, 1, y, 2, B, z, 3. Row "2" ends group y and group A.
    TcxGridDataRowViewInfo* last = nullptr;
    for (int i = 0; i < Rows()->PartVisibleCount(); ++i) {
        auto* row = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(i));
        if (row && row->GridRecord()->GetDisplayText(2) == "2") last = row;
    }
    ASSERT_NE(last, nullptr);
    TcxGridRowFootersViewInfo* footers = last->FootersViewInfo();
    ASSERT_EQ(footers->Count(), 2);
    EXPECT_EQ(footers->Items(0)->Bounds.Left, last->Bounds.Left + 2 * indent);
    EXPECT_EQ(footers->Items(1)->Bounds.Left, last->Bounds.Left + indent);
    EXPECT_EQ(footers->Items(1)->Bounds.Top, footers->Items(0)->Bounds.Bottom);
    EXPECT_EQ(footers->Items(1)->Bounds.Bottom, last->Bounds.Bottom);
    EXPECT_EQ(last->Bounds.Height(), Rows()->GetDataRowHeight() + footers->Height());
    // Row "1" ends group x only.
    auto* first = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(2));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->FootersViewInfo()->Count(), 1);
    // Group footers off: none.
    View->OptionsView()->SetGroupFooters(gfInvisible);
    Layout();
    for (int i = 0; i < Rows()->PartVisibleCount(); ++i)
        if (auto* row = DynamicCast<TcxCustomGridRowViewInfo>(Rows()->ItemAt(i)))
            EXPECT_EQ(row->FootersViewInfo()->Count(), 0);
}

TEST_F(GridTableLayoutTest, ImposingAWidthUnderAutoWidthLetsTheOthersShareTheRest)
{
    Fill(2);
    View->OptionsView()->SetGroupByBox(false);
    View->OptionsView()->SetColumnAutoWidth(true);
    Layout();
    // The others share what is left, and their shares become their widths.
    View->Columns(0)->ImposeWidth(150);
    EXPECT_EQ(View->Columns(0)->Width(), 150);
    EXPECT_EQ(View->Columns(1)->Width(), 125);
    EXPECT_EQ(View->Columns(2)->Width(), 125);
    EXPECT_EQ(View->SizingColumn, nullptr);
}

TEST_F(GridTableLayoutTest, APressOnAHeaderClicksItsColumn)
{
    Fill(2);
    Layout();
    std::vector<std::string> clicks;
    View->OnColumnHeaderClick = [&](TcxGridTableView*, TcxGridColumn* c) { clicks.push_back(c->Name()); };
    TcxGridColumnHeaderViewInfo* cell = Header()->Items(1);
    cell->MouseDown(nullptr, mbLeft, {});
    EXPECT_EQ(clicks, (std::vector<std::string>{"ColB"}));
    EXPECT_EQ(View->PressedColumn, View->Columns(1));
    // The sizing edge straddles the right edge.
    ASSERT_GE(cell->AreaCount(), 1);
    TcxGridColumnHeaderAreaViewInfo* edge = cell->Areas(0);
    EXPECT_TRUE(edge->InheritsFrom(TcxGridColumnHeaderHorzSizingEdgeViewInfo::StaticClass()));
    EXPECT_EQ(edge->Bounds.Left, cell->Bounds.Right - 4);
    EXPECT_EQ(edge->Bounds.Right, cell->Bounds.Right + 4);
}

TEST_F(GridTableLayoutTest, ScrollRectanglesOfTheRowsAndTheColumns)
{
    Fill(50);
    View->OptionsView()->SetIndicator(true);
    Layout();
    TcxGridRowsViewInfo* rows = Rows();
    TRect vert = VI()->GetVertScrollArea();
    EXPECT_EQ(vert.Left, VI()->ViewBounds.Left);
    EXPECT_EQ(vert.Top, rows->RowsAreaBounds.Top);
    int step = rows->GetDataRowHeight();
    // Rows moving up by one row: what stays starts one row lower and ends at
    // the second-to-last fully visible row; the strip below it repaints.
    TRect scroll, update;
    VI()->CalculateVertScrollRects(-step, scroll, update);
    EXPECT_EQ(scroll.Top, vert.Top + step);
    EXPECT_EQ(scroll.Bottom, rows->ItemAt(rows->VisibleCount() - 2)->Bounds.Bottom);
    EXPECT_EQ(update.Top, scroll.Bottom - step);
    // Rows moving down: what stays starts at the second row and ends one row higher.
    VI()->CalculateVertScrollRects(step, scroll, update);
    EXPECT_EQ(scroll.Top, rows->ItemAt(1)->Bounds.Top);
    EXPECT_EQ(scroll.Bottom, vert.Bottom - step);
    EXPECT_EQ(update.Bottom, scroll.Top + step);
    // Sideways: the header and the footer scroll with the rows.
    TRect horz = VI()->GetHorzScrollArea();
    EXPECT_EQ(horz.Top, Header()->Bounds.Top);
    EXPECT_EQ(horz.Left, VI()->ClientBounds.Left);
    VI()->CalculateHorzScrollRects(-10, scroll, update);
    EXPECT_EQ(scroll.Left, horz.Left + 10);
    EXPECT_EQ(update.Left, horz.Right - 10);
}

TEST_F(GridTableLayoutTest, PageSizesCountWholeRows)
{
    Fill(50);
    Layout();
    int count = 0, remainder = 0;
    VI()->GetRowsPerPage(count, remainder);
    int available = VI()->Bounds().Height() - VI()->GetNonRecordsAreaHeight(false);
    EXPECT_EQ(count, available / Rows()->GetRowStep());
    EXPECT_EQ(remainder, available % Rows()->GetRowStep());
    View->OptionsView()->SetRowSeparatorWidth(3);
    Layout();
    EXPECT_EQ(Rows()->GetRowStep(), Rows()->GetDataRowHeight() + 3);
    int nonRecords = VI()->GetNonRecordsAreaHeight(true);
    EXPECT_EQ(VI()->GetPopupHeight(4), nonRecords + 4 * Rows()->GetDataRowHeight());
    // A wanted height gives whole rows, at least one.
    EXPECT_EQ(VI()->GetNearestPopupHeight(nonRecords + 1, false), nonRecords + Rows()->GetDataRowHeight());
}

}  // namespace
