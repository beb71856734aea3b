// Master rows and group rows of the table view, laid out headless: the
// expand button column of a master row, its details site under the cells
// (height limited by the room left and by the level's maximum, left edge
// fixed while the rows scroll sideways, the detail view laid out inside it),
// the expand cell's right line per grid-line setting; the group row's one
// cell, its expand button by mouse and keys, its footer while collapsed,
// the bottom line of an expanded group, and a picture of a grouped view.
#include "GridTableViewFixture.h"

#include "cxGridTableRows.h"

#include <cstdlib>
#include <sstream>

namespace {

std::string Dump(const TRect& R)
{
    std::ostringstream s;
    s << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
    return s.str();
}

std::string Dump(const TPoint& P) { return std::to_string(P.X) + "," + std::to_string(P.Y); }

class GridTableRowsTest : public GridTableViewFixture {
protected:
    void TearDown() override
    {
        Details.clear();
        GridTableViewFixture::TearDown();
    }
    // A detail level under the view, its pattern view showing two text columns.
    void AddDetailLevel()
    {
        DetailLevel = View->Level()->Add();
        Pattern = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
        Pattern->SetName("DetailView");
        Pattern->OptionsView()->SetGroupByBox(false);
        for (const char* caption : {"课程", "成绩"}) {
            TcxGridColumn* column = Pattern->CreateColumn();
            column->SetCaption(caption);
            column->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
            column->SetWidth(80);
        }
        DetailLevel->SetGridView(Pattern);
    }
    // The detail view of master record ARecord, filled with ACount records.
    TcxGridTableView* Detail(int ARecord, int ACount)
    {
        auto* detail = DynamicCast<TcxGridTableView>(View->DataController()->GetDetailLinkObject(ARecord, 0));
        if (!detail) return nullptr;
        TcxCustomDataController* dc = detail->DataController();
        dc->SetRecordCount(ACount);
        for (int r = 0; r < ACount; ++r) {
            dc->SetValue(r, 0, Variant("科目" + std::to_string(r)));
            dc->SetValue(r, 1, Variant(std::to_string(60 + r)));
        }
        return detail;
    }
    TcxGridMasterDataRowViewInfo* MasterRow(int AIndex)
    {
        return AIndex < Rows()->Count() ? DynamicCast<TcxGridMasterDataRowViewInfo>(Rows()->ItemAt(AIndex)) : nullptr;
    }
    TcxGridGroupRowViewInfo* GroupRow(int AIndex)
    {
        return AIndex < Rows()->Count() ? DynamicCast<TcxGridGroupRowViewInfo>(Rows()->ItemAt(AIndex)) : nullptr;
    }
    // Three records in two cities, grouped by the first column.
    void FillCities()
    {
        Column(0)->SetCaption("City");
        Fill({{"Paris", "甲", "1"}, {"Paris", "乙", "2"}, {"Rome", "丙", "3"}});
        Column(0)->SetGroupIndex(0);
    }
    std::vector<TcxGridTableView*> Details;
    TcxGridLevel* DetailLevel = nullptr;
    TcxGridTableView* Pattern = nullptr;
};

// ---- master rows ---------------------------------------------------------------------------------------------

TEST_F(GridTableRowsTest, ACollapsedMasterRowIsAsHighAsADataRowWithItsCellsOneIndentRight)
{
    Fill(3);
    Layout();
    auto* plain = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(0));
    ASSERT_NE(plain, nullptr);
    int plainHeight = plain->Bounds.Height();
    int plainCellLeft = plain->Cells(0)->Bounds.Left;

    AddDetailLevel();
    Fill(3);
    Layout();
    int indent = VI()->LevelIndent();
    TcxGridMasterDataRowViewInfo* row = MasterRow(0);
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->DetailsSiteVisible());
    EXPECT_EQ(row->Bounds.Height(), plainHeight);
    EXPECT_EQ(row->Cells(0)->Bounds.Left, plainCellLeft + indent);
    EXPECT_EQ(row->Cells(0)->Bounds.Width(), 100);
    EXPECT_EQ(row->CellsAreaBounds.Left, row->Bounds.Left + indent);
    // The expand button column: I wide, the data part high, the button 3 pixels in and centred.
    TcxGridExpandButtonCellViewInfo* cell = row->ExpandButtonCellViewInfo();
    EXPECT_EQ(Dump(cell->Bounds), Dump(TRect{row->Bounds.Left, row->Bounds.Top, row->Bounds.Left + indent,
                                             row->Bounds.Top + row->GetDataHeight()}));
    int size = VI()->ExpandButtonSize();
    TRect button = row->ExpandButtonBounds;
    EXPECT_EQ(button.Left, row->Bounds.Left + 3);
    EXPECT_EQ(button.Width(), size);
    EXPECT_EQ(button.Top, (row->Bounds.Top + row->Bounds.Top + row->GetDataHeight() - size) / 2);
    // A press anywhere in the column hits the expand button.
    TcxCustomGridHitTest* hit = VI()->GetHitTest(TPoint{row->Bounds.Left + indent - 1, row->Bounds.Bottom - 1});
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->HitTestCode(), 103);
}

TEST_F(GridTableRowsTest, AnExpandedMasterRowLaysOutItsDetailBelowTheCells)
{
    AddDetailLevel();
    Fill(3);
    TcxGridTableView* detail = Detail(0, 2);
    ASSERT_NE(detail, nullptr);
    View->ViewData()->Rows(0)->Expand(false);
    Layout();
    int indent = VI()->LevelIndent();
    TcxGridMasterDataRowViewInfo* row = MasterRow(0);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(row->DetailsSiteVisible());
    TcxGridDetailsSiteViewInfo* site = row->DetailsSiteViewInfo();
    int dataHeight = Rows()->GetDataRowHeight();
    EXPECT_EQ(row->GetDataHeight(), dataHeight);
    EXPECT_EQ(Dump(site->Bounds.TopLeft()), Dump(TPoint{VI()->ClientBounds.Left + indent, row->Bounds.Top + dataHeight}));
    EXPECT_EQ(row->Bounds.Height(), dataHeight + site->Bounds.Height());
    EXPECT_EQ(Rows()->ItemAt(1)->Bounds.Top, row->Bounds.Bottom);
    // The expand column runs down beside the details; the area lies under the cells.
    EXPECT_EQ(row->ExpandButtonCellViewInfo()->Bounds.Bottom, site->Bounds.Bottom);
    EXPECT_EQ(Dump(row->DetailsAreaViewInfo()->Bounds.TopLeft()), Dump(site->Bounds.TopLeft()));
    EXPECT_EQ(row->DetailsAreaViewInfo()->Bounds.Width(), VI()->ClientBounds.Width() - indent);
    // The detail view stands inside the frame, shown on the master's site, all its rows in sight.
    EXPECT_TRUE(site->IsFullyVisible());
    EXPECT_TRUE(detail->IsVisible());
    EXPECT_EQ(detail->Site()->Parent(), View->Site());
    EXPECT_EQ(Dump(detail->Site()->BoundsRect()), Dump(site->GetClientBounds()));
    EXPECT_EQ(detail->ViewInfo()->RowsViewInfo()->VisibleCount(), 2);
    EXPECT_TRUE(View->IsDetailVisible(detail));
    // A point in the details belongs to the detail view.
    TRect detailRow = detail->ViewInfo()->RowsViewInfo()->ItemAt(1)->Bounds;
    TPoint inDetail{detail->Site()->Left() + detailRow.Left + 20, detail->Site()->Top() + detailRow.Top + 2};
    auto* hit = DynamicCast<TcxCustomGridViewHitTest>(VI()->GetHitTest(inDetail));
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->GridView, detail);

    // Collapsing hides the detail and gives the row its plain height back.
    View->ViewData()->Rows(0)->Collapse(false);
    Layout();
    ASSERT_NE(MasterRow(0), nullptr);
    EXPECT_EQ(MasterRow(0)->Bounds.Height(), dataHeight);
    EXPECT_FALSE(View->IsDetailVisible(detail));
    EXPECT_FALSE(detail->IsVisible());
}

TEST_F(GridTableRowsTest, TheDetailTakesTheRoomLeftBelowTheRowAndNoMoreThanTheLevelAllows)
{
    AddDetailLevel();
    Fill(3);
    Detail(1, 40);
    View->ViewData()->Rows(1)->Expand(false);
    struct Case {
        int MaxDetailHeight;
        bool LimitedByLevel;
    } cases[] = {{0, false}, {80, true}, {5000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.MaxDetailHeight);
        View->Level()->SetMaxDetailHeight(c.MaxDetailHeight);
        View->SizeChanged();
        Layout();
        TcxGridMasterDataRowViewInfo* row = MasterRow(1);
        ASSERT_NE(row, nullptr);
        int dataHeight = Rows()->GetDataRowHeight();
        int room = Rows()->RowsAreaBounds.Bottom - row->Bounds.Top - dataHeight;
        int expected = c.LimitedByLevel ? c.MaxDetailHeight : room;
        EXPECT_EQ(row->DetailsSiteViewInfo()->Bounds.Height(), expected);
        EXPECT_FALSE(row->DetailsSiteViewInfo()->IsFullyVisible());
        EXPECT_LE(row->Bounds.Bottom, Rows()->RowsAreaBounds.Bottom);
    }
}

TEST_F(GridTableRowsTest, TheDetailsSiteStaysAtTheLeftWhileTheMasterScrollsSideways)
{
    AddDetailLevel();
    for (int i = 0; i < 3; ++i) Column(i)->SetWidth(300);
    Fill(2);
    Detail(0, 1);
    View->ViewData()->Rows(0)->Expand(false);
    Layout();
    TcxGridMasterDataRowViewInfo* row = MasterRow(0);
    ASSERT_NE(row, nullptr);
    int siteLeft = row->DetailsSiteViewInfo()->Bounds.Left;
    int cellLeft = row->Cells(1)->Bounds.Left;
    int buttonRight = row->ExpandButtonCellViewInfo()->Bounds.Right;
    ASSERT_GT(Controller()->GetMaxLeftPos(), 50);
    Controller()->SetLeftPos(50);
    Layout();
    row = MasterRow(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Cells(1)->Bounds.Left, cellLeft - 50);
    EXPECT_EQ(row->DetailsSiteViewInfo()->Bounds.Left, siteLeft);
    EXPECT_EQ(row->ExpandButtonCellViewInfo()->Bounds.Right, buttonRight);
    EXPECT_EQ(row->ExpandButtonCellViewInfo()->Bounds.Left, row->Bounds.Left);
}

TEST_F(GridTableRowsTest, TheExpandCellDrawsItsRightLineOnlyBesideShownDetailsAndWithHorizontalLines)
{
    AddDetailLevel();
    Fill(2);
    Detail(0, 1);
    struct Case {
        TcxGridLines Lines;
        bool Expanded;
        bool Right;
    } cases[] = {
        {glBoth, false, false},     {glBoth, true, true},        {glHorizontal, true, true},
        {glVertical, true, false},  {glVertical, false, false},  {glNone, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.Lines)) + (c.Expanded ? " expanded" : " collapsed"));
        View->OptionsView()->SetGridLines(c.Lines);
        if (c.Expanded)
            View->ViewData()->Rows(0)->Expand(false);
        else
            View->ViewData()->Rows(0)->Collapse(false);
        Layout();
        TcxGridMasterDataRowViewInfo* row = MasterRow(0);
        ASSERT_NE(row, nullptr);
        TcxGridExpandButtonCellViewInfo* cell = row->ExpandButtonCellViewInfo();
        EXPECT_EQ(cell->Borders.Contains(bRight), c.Right);
        if (!c.Right) continue;
        TRect line, full;
        cell->GetBorderBounds(bRight, line);
        cell->GetFullBorderBounds(bRight, full);
        EXPECT_EQ(line.Top, row->Bounds.Top + row->GetDataHeight() - 1);
        EXPECT_EQ(line.Bottom, full.Bottom);
        EXPECT_LT(full.Top, line.Top);
    }
}

TEST_F(GridTableRowsTest, AMasterRowPaintsItsExpandCellThenItsDetailsThenItsCells)
{
    AddDetailLevel();
    Fill(2);
    Detail(0, 1);
    View->ViewData()->Rows(0)->Expand(false);
    Layout();
    TcxGridMasterDataRowViewInfo* row = MasterRow(0);
    ASSERT_NE(row, nullptr);
    TRect site = VI()->Site()->ClientRect();
    TRecordingCanvas canvas(site.Width(), site.Height());
    TcxCanvas cx(&canvas);
    View->Painter()->Paint(&cx);
    auto firstFill = [&](const TRect& R) {
        const auto& ops = canvas.Ops();
        for (size_t i = 0; i < ops.size(); ++i)
            if (ops[i].Op == "FillRect" && ops[i].Rect.Left >= R.Left && ops[i].Rect.Top >= R.Top &&
                ops[i].Rect.Right <= R.Right && ops[i].Rect.Bottom <= R.Bottom && !IsRectEmpty(ops[i].Rect))
                return int(i);
        return -1;
    };
    int expandCell = firstFill(row->ExpandButtonCellViewInfo()->Bounds);
    int details = firstFill(row->DetailsSiteViewInfo()->Bounds);
    int cells = firstFill(row->Cells(0)->Bounds);
    ASSERT_GE(expandCell, 0);
    ASSERT_GE(details, 0);
    ASSERT_GE(cells, 0);
    EXPECT_LT(expandCell, details);
    EXPECT_LT(details, cells);
}

// ---- group rows ----------------------------------------------------------------------------------------------

TEST_F(GridTableRowsTest, AGroupRowIsOneCellWithCaptionAndValue)
{
    FillCities();
    Layout();
    int indent = VI()->LevelIndent();
    TcxGridGroupRowViewInfo* row = GroupRow(0);
    ASSERT_NE(row, nullptr);
    TcxGridGroupCellViewInfo* cell = row->CellViewInfo();
    EXPECT_EQ(cell->Text, "City : Paris");
    EXPECT_EQ(Dump(cell->Bounds), Dump(TRect{row->Bounds.Left, row->Bounds.Top, row->Bounds.Right,
                                             row->Bounds.Top + row->GetDataHeight()}));
    TRect text;
    cell->GetTextAreaBounds(text);
    EXPECT_EQ(text.Left, cell->ContentBounds().Left + 2 + indent);
    EXPECT_EQ(cell->AlignmentVert, vaCenter);
    // The expand button stands in the cell's content, 3 pixels in, centred.
    TRect content = cell->ContentBounds();
    int size = VI()->ExpandButtonSize();
    EXPECT_EQ(row->ExpandButtonBounds.Left, content.Left + 3);
    EXPECT_EQ(row->ExpandButtonBounds.Top, (content.Top + content.Bottom - size) / 2);

    // One level deeper the cell starts one indent further right.
    Column(1)->SetGroupIndex(1);
    View->ViewData()->ExpandAll(true);
    Layout();
    TcxGridGroupRowViewInfo* inner = GroupRow(1);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->CellViewInfo()->Bounds.Left, inner->Bounds.Left + indent);
    EXPECT_EQ(inner->CellViewInfo()->Bounds.Width(), inner->Bounds.Width() - indent);
    EXPECT_EQ(inner->CellViewInfo()->Text, "性别 : 甲");
}

TEST_F(GridTableRowsTest, AGroupRowExpandsAndCollapsesByMouseAndKeys)
{
    FillCities();
    Layout();
    auto expanded = [&] { return View->ViewData()->Rows(0)->GetExpanded(); };
    TcxGridGroupRowViewInfo* row = GroupRow(0);
    ASSERT_NE(row, nullptr);
    TPoint button = Center(row->ExpandButtonBounds);
    GuiTest::Click(VI()->Site(), button);
    EXPECT_TRUE(expanded());
    Layout();
    EXPECT_EQ(View->ViewData()->RecordCount(), 4);
    GuiTest::Click(VI()->Site(), Center(GroupRow(0)->ExpandButtonBounds));
    EXPECT_FALSE(expanded());
    Layout();
    // A double click on the cell toggles it too.
    GuiTest::DoubleClick(VI()->Site(), Center(GroupRow(0)->CellViewInfo()->Bounds));
    EXPECT_TRUE(expanded());
    // The keys act on the focused group row.
    Controller()->SetFocusedRecord(View->ViewData()->Rows(0));
    VI()->Site()->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_LEFT);
    EXPECT_FALSE(expanded());
    GuiTest::KeyPress(VK_RIGHT);
    EXPECT_TRUE(expanded());
    GuiTest::KeyPress(VK_SUBTRACT);
    EXPECT_FALSE(expanded());
    GuiTest::KeyPress(VK_ADD);
    EXPECT_TRUE(expanded());
}

TEST_F(GridTableRowsTest, ACollapsedGroupShowsItsAlwaysVisibleFooterRightBelowIt)
{
    FillCities();
    View->OptionsView()->SetGroupFooters(gfAlwaysVisible);
    Layout();
    TcxGridGroupRowViewInfo* row = GroupRow(0);
    ASSERT_NE(row, nullptr);
    TcxGridRowFootersViewInfo* footers = row->FootersViewInfo();
    ASSERT_EQ(footers->Count(), 1);
    EXPECT_EQ(footers->Items(0)->Bounds.Top, row->Bounds.Top + Rows()->GroupRowHeight());
    EXPECT_EQ(footers->Items(0)->Bounds.Bottom, row->Bounds.Bottom);
    EXPECT_EQ(row->Bounds.Height(), Rows()->GroupRowHeight() + footers->Height());

    // Expanded, the footer moves below the group's last row.
    View->ViewData()->Rows(0)->Expand(false);
    Layout();
    row = GroupRow(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->FootersViewInfo()->Count(), 0);
    EXPECT_EQ(row->Bounds.Height(), Rows()->GroupRowHeight());
    auto* last = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(2));
    ASSERT_NE(last, nullptr);
    ASSERT_EQ(last->FootersViewInfo()->Count(), 1);
    EXPECT_EQ(last->FootersViewInfo()->Items(0)->Bounds.Bottom, last->Bounds.Bottom);
    EXPECT_EQ(Rows()->ItemAt(3)->Bounds.Top, last->Bounds.Bottom);
}

TEST_F(GridTableRowsTest, AnExpandedGroupsBottomLineStartsRightOfItsExpandButton)
{
    FillCities();
    View->ViewData()->Rows(0)->Expand(false);
    Layout();
    int indent = VI()->LevelIndent();
    TcxGridGroupRowViewInfo* row = GroupRow(0);
    ASSERT_NE(row, nullptr);
    TcxGridGroupCellViewInfo* cell = row->CellViewInfo();
    TRect line, full;
    cell->GetBorderBounds(bBottom, line);
    cell->GetFullBorderBounds(bBottom, full);
    EXPECT_EQ(line.Left, cell->Bounds.Left + indent - 1);
    EXPECT_EQ(full.Left, cell->Bounds.Left);
    // The separator piece under the button is empty without a separator...
    EXPECT_TRUE(IsRectEmpty(row->GetExpandButtonSeparatorBounds()));
    View->OptionsView()->SetRowSeparatorWidth(3);
    Layout();
    row = GroupRow(0);
    ASSERT_NE(row, nullptr);
    TRect piece = row->GetExpandButtonSeparatorBounds();
    EXPECT_EQ(piece.Height(), 3);
    EXPECT_EQ(piece.Right, row->GetSeparatorBounds().Left);
    EXPECT_EQ(piece.Right, row->Bounds.Left + indent);

    // Painted: the piece under the button in the group colour, the rest as a grid line.
    TRect site = VI()->Site()->ClientRect();
    TRecordingCanvas canvas(site.Width(), site.Height());
    TcxCanvas cx(&canvas);
    View->Painter()->Paint(&cx);
    TcxViewParams group;
    View->Styles()->GetGroupParams(row->GridRecord(), 0, group);
    cell = row->CellViewInfo();
    cell->GetBorderBounds(bBottom, line);
    bool underButton = false, gridLine = false;
    for (const TCanvasOp& op : canvas.Ops()) {
        if (op.Op != "FillRect") continue;
        if (op.Rect == TRect{cell->Bounds.Left, line.Top, line.Left, line.Bottom})
            underButton = op.Color == ColorToRGB(group.Color);
        if (op.Rect == line) gridLine = op.Color == ColorToRGB(VI()->GetGridLineColor());
    }
    EXPECT_TRUE(underButton);
    EXPECT_TRUE(gridLine);
    // Collapsed, the line runs the whole width.
    View->ViewData()->Rows(0)->Collapse(false);
    Layout();
    GroupRow(0)->CellViewInfo()->GetBorderBounds(bBottom, line);
    EXPECT_EQ(line.Left, GroupRow(0)->CellViewInfo()->Bounds.Left);
}

TEST_F(GridTableRowsTest, AGroupRowIsSizedThroughTheViewsGroupRowHeight)
{
    FillCities();
    View->OptionsCustomize()->SetGroupRowSizing(true);
    Layout();
    TcxGridGroupRowViewInfo* row = GroupRow(0);
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->CanSize());
    int height = -5;
    row->CheckHeight(height);
    EXPECT_EQ(height, row->GetNonCellsHeight());
    row->SetSizedHeight(40);
    EXPECT_EQ(View->OptionsView()->GroupRowHeight(), 40);
    Layout();
    EXPECT_EQ(GroupRow(0)->Bounds.Height(), 40);
}

// A picture of a view grouped twice, with group footers summing the fees.
TEST_F(GridTableRowsTest, PictureOfAViewGroupedTwiceWithFooterSums)
{
    Column(0)->SetCaption("班级");
    Column(1)->SetCaption("姓名");
    Column(2)->SetCaption("学费");
    Column(2)->DataBinding()->SetValueTypeClass(TcxIntegerValueType::Class());
    TcxGridColumn* kind = View->CreateColumn();
    kind->SetCaption("车型");
    kind->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
    kind->SetWidth(80);
    struct Student {
        const char* Class;
        const char* Name;
        int Fee;
        const char* Kind;
    } students[] = {{"甲班", "张伟", 3800, "C1"}, {"甲班", "王芳", 4200, "C2"}, {"甲班", "李娜", 3800, "C1"},
                    {"乙班", "刘洋", 4500, "C1"}, {"乙班", "陈静", 4200, "C2"}};
    TcxCustomDataController* dc = View->DataController();
    dc->SetRecordCount(5);
    for (int r = 0; r < 5; ++r) {
        dc->SetValue(r, 0, Variant(std::string(students[r].Class)));
        dc->SetValue(r, 1, Variant(std::string(students[r].Name)));
        dc->SetValue(r, 2, Variant(students[r].Fee));
        dc->SetValue(r, 3, Variant(std::string(students[r].Kind)));
    }
    auto* sum = static_cast<TcxDataSummaryItem*>(
        static_cast<TCollection*>(dc->Summary()->DefaultGroupSummaryItems())->Add());
    sum->SetItemLink(Column(2));
    sum->SetKind(skSum);
    sum->SetPosition(spFooter);
    Column(0)->SetGroupIndex(0);
    kind->SetGroupIndex(1);
    View->OptionsView()->SetGroupFooters(gfVisibleWhenExpanded);
    View->ViewData()->ExpandAll(true);
    Grid->SetBounds(0, 0, 404, 420);
    Form->SetBounds(100, 100, 420, 440);
    Layout();

    // Rows: 甲班, C1, 张伟, 李娜, C2, 王芳, 二班, …; the C1 group's last row sums 7600.
    TcxGridGroupRowViewInfo* outer = GroupRow(0);
    TcxGridGroupRowViewInfo* inner = GroupRow(1);
    ASSERT_NE(outer, nullptr);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(outer->CellViewInfo()->Text, "班级 : 甲班");
    EXPECT_EQ(inner->CellViewInfo()->Text, "车型 : C1");
    auto* last = DynamicCast<TcxGridDataRowViewInfo>(Rows()->ItemAt(3));
    ASSERT_NE(last, nullptr);
    ASSERT_GE(last->FootersViewInfo()->Count(), 1);
    TcxGridRowFooterViewInfo* footer = last->FootersViewInfo()->Items(0);
    int feeSlot = Column(2)->VisibleIndex();
    ASSERT_LT(feeSlot, footer->Count());
    EXPECT_EQ(footer->Items(feeSlot)->GetText(), "7600.00");

    GuiTest::ProcessEvents();
    Grid->Repaint();
    if (const char* dir = getenv("QZ_KEEP_PICTURES"))
        EXPECT_TRUE(GuiTest::SavePng(Grid, std::string(dir) + "/grid-grouped-rows.png"));
}

}  // namespace
