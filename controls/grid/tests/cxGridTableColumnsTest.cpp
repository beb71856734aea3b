// The table view's model: option defaults and clamps, the preview column,
// column widths and visibility, stored layouts, summaries and the rows its
// view data makes.
#include "GridTestBase.h"

#include "StringLists.h"
#include "cxGridLevel.h"
#include "cxGridTableView.h"

#include <functional>

namespace {

class GridTableColumnsTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        cxGridTableView::Initialize();
        View = MakeTableView("TableView");
        Grid->RootLevel()->Add()->SetGridView(View);
        for (const char* name : {"ColA", "ColB", "ColC"}) {
            TcxGridColumn* column = View->CreateColumn();
            column->SetName(name);
            column->DataBinding()->SetValueTypeClass(TcxStringValueType::Class());
        }
    }
    TcxGridTableView* MakeTableView(const std::string& AName)
    {
        auto* view = static_cast<TcxGridTableView*>(Grid->CreateView(TcxGridTableView::StaticClass()));
        view->SetName(AName);
        return view;
    }
    // Fills the data: one record per text, the text in column AColumn.
    void Fill(const std::vector<std::vector<std::string>>& ARows)
    {
        TcxCustomDataController* dc = View->DataController();
        dc->SetRecordCount(int(ARows.size()));
        for (size_t r = 0; r < ARows.size(); ++r)
            for (size_t c = 0; c < ARows[r].size(); ++c) dc->SetValue(int(r), int(c), Variant(ARows[r][c]));
    }
    // Layouts run since the log was last emptied (of the view or the whole grid).
    int CountLayouts()
    {
        int n = 0;
        for (const std::string& e : GridTesting::Log()) n += e.rfind("layout:", 0) == 0;
        return n;
    }
    TcxGridColumn* Column(int i) { return View->Columns(i); }
    TcxGridTableView* View = nullptr;
};

// ---- options

TEST_F(GridTableColumnsTest, AFreshViewShowsTheDefaults)
{
    TcxGridTableOptionsView* ov = View->OptionsView();
    EXPECT_TRUE(ov->GroupByBox());
    EXPECT_TRUE(ov->Header());
    EXPECT_FALSE(ov->Footer());
    EXPECT_FALSE(ov->Indicator());
    EXPECT_FALSE(ov->NewItemRow());
    EXPECT_EQ(ov->IndicatorWidth(), 12);
    EXPECT_EQ(ov->NewItemRowSeparatorWidth(), 6);
    EXPECT_EQ(ov->GridLines(), glBoth);
    EXPECT_EQ(ov->GroupFooters(), gfInvisible);
    EXPECT_EQ(ov->NewItemRowInfoText(), "Click here to add a new row");
    EXPECT_FALSE(ov->IsNewItemRowInfoTextStored());
    EXPECT_TRUE(ov->ExpandButtonsForEmptyDetails());
    TcxGridTableOptionsCustomize* oc = View->OptionsCustomize();
    EXPECT_TRUE(oc->ColumnFiltering());
    EXPECT_TRUE(oc->ColumnSorting());
    EXPECT_TRUE(oc->ColumnGrouping());
    EXPECT_TRUE(oc->ColumnMoving());
    EXPECT_TRUE(oc->ColumnHorzSizing());
    EXPECT_FALSE(oc->ColumnHiding());
    EXPECT_TRUE(oc->ColumnHidingOnGrouping());
    EXPECT_FALSE(oc->DataRowSizing());
    EXPECT_TRUE(View->OptionsBehavior()->ExpandMasterRowOnDblClick);
    EXPECT_TRUE(View->OptionsData()->Editing());
    EXPECT_FALSE(View->OptionsSelection()->MultiSelect());
    EXPECT_EQ(View->Filtering()->MaxDropDownCount(), 15);
    EXPECT_EQ(View->Filtering()->Visible(), fvNonEmpty);
    TcxGridPreview* p = View->Preview();
    EXPECT_TRUE(p->AutoHeight());
    EXPECT_EQ(p->LeftIndent(), 20);
    EXPECT_EQ(p->RightIndent(), 5);
    EXPECT_EQ(p->MaxLineCount(), 3);
    EXPECT_EQ(p->Place(), ppBottom);
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(p->Column(), nullptr);
    EXPECT_EQ(Column(0)->MinWidth(), 20);
    EXPECT_EQ(Column(0)->GroupIndex(), -1);
    EXPECT_EQ(Column(0)->HeaderGlyphAlignmentVert(), vaCenter);
}

// A stored layout holding a value no alignment or sort order has (a damaged
// file) leaves the column as it was; a good value still applies.
TEST_F(GridTableColumnsTest, StoredValuesOutOfRangeArePassedOver)
{
    TcxGridColumn* c = Column(0);
    const Variant before = c->GetStoredPropertyValue("AlignmentHorz");
    for (int bad : {-1, 3, 36}) {
        c->SetStoredPropertyValue("AlignmentHorz", Variant(bad));
        c->SetStoredPropertyValue("SortOrder", Variant(bad));
    }
    EXPECT_EQ(c->GetStoredPropertyValue("AlignmentHorz").AsInteger(), before.AsInteger());
    EXPECT_EQ(c->SortOrder(), soNone);
    c->SetStoredPropertyValue("SortOrder", Variant(int(soDescending)));
    EXPECT_EQ(c->SortOrder(), soDescending);
}

TEST_F(GridTableColumnsTest, NumericOptionsClamp)
{
    struct Case {
        const char* name;
        std::function<void(int)> set;
        std::function<int()> get;
        int input, stored;
    };
    TcxGridTableOptionsView* ov = View->OptionsView();
    TcxGridPreview* p = View->Preview();
    const Case cases[] = {
        {"IndicatorWidth", [&](int v) { ov->SetIndicatorWidth(v); }, [&] { return ov->IndicatorWidth(); }, -5, 0},
        {"NewItemRowSeparatorWidth", [&](int v) { ov->SetNewItemRowSeparatorWidth(v); },
         [&] { return ov->NewItemRowSeparatorWidth(); }, 1, 2},
        {"NewItemRowSeparatorWidth 9", [&](int v) { ov->SetNewItemRowSeparatorWidth(v); },
         [&] { return ov->NewItemRowSeparatorWidth(); }, 9, 9},
        {"HeaderHeight", [&](int v) { ov->SetHeaderHeight(v); }, [&] { return ov->HeaderHeight(); }, -1, 0},
        {"DataRowHeight", [&](int v) { ov->SetDataRowHeight(v); }, [&] { return ov->DataRowHeight(); }, -7, 0},
        {"GroupRowHeight", [&](int v) { ov->SetGroupRowHeight(v); }, [&] { return ov->GroupRowHeight(); }, -2, 0},
        {"RowSeparatorWidth", [&](int v) { ov->SetRowSeparatorWidth(v); }, [&] { return ov->RowSeparatorWidth(); }, -3, 0},
        {"CellTextMaxLineCount", [&](int v) { ov->SetCellTextMaxLineCount(v); },
         [&] { return ov->CellTextMaxLineCount(); }, -4, 0},
        {"Preview.LeftIndent", [&](int v) { p->SetLeftIndent(v); }, [&] { return p->LeftIndent(); }, -1, 0},
        {"Preview.RightIndent", [&](int v) { p->SetRightIndent(v); }, [&] { return p->RightIndent(); }, -1, 0},
        {"Preview.MaxLineCount", [&](int v) { p->SetMaxLineCount(v); }, [&] { return p->MaxLineCount(); }, -1, 0},
    };
    for (const Case& c : cases) {
        c.set(c.input);
        EXPECT_EQ(c.get(), c.stored) << c.name;
    }
}

TEST_F(GridTableColumnsTest, GridColoursResolveThroughTheLookAndFeel)
{
    TcxGridTableOptionsView* ov = View->OptionsView();
    EXPECT_EQ(ov->GridLineColor(), clDefault);
    EXPECT_EQ(ov->GetGridLineColor(), clBtnShadow);
    EXPECT_EQ(ov->GetRowSeparatorColor(), clBtnShadow);
    EXPECT_EQ(ov->GetNewItemRowSeparatorColor(), clBtnFace);
    ov->SetGridLineColor(clRed);
    EXPECT_EQ(ov->GetGridLineColor(), clRed);
}

TEST_F(GridTableColumnsTest, ThePreviewChangesThePictureOnlyWhileShown)
{
    ShowForm();
    GridTesting::Log().clear();
    View->Preview()->SetPlace(ppTop);
    View->Preview()->SetMaxLineCount(5);
    GuiTest::ProcessEvents();
    EXPECT_EQ(CountLayouts(), 0);
    View->Preview()->SetVisible(true);
    GuiTest::ProcessEvents();
    EXPECT_GE(CountLayouts(), 1);
    GridTesting::Log().clear();
    View->Preview()->SetPlace(ppBottom);
    GuiTest::ProcessEvents();
    EXPECT_GE(CountLayouts(), 1);
}

// ---- columns

TEST_F(GridTableColumnsTest, ThePreviewColumnLeavesTheHeaderAndComesBack)
{
    TcxGridColumn* b = Column(1);
    View->Preview()->SetColumn(b);
    EXPECT_FALSE(b->Visible());
    EXPECT_TRUE(b->Hidden());
    EXPECT_FALSE(b->IsHiddenStored());
    EXPECT_EQ(View->VisibleColumnCount(), 2);
    EXPECT_EQ(View->VisibleColumns(1), Column(2));
    for (int i = 0; i < View->FilterableItemCount(); ++i) EXPECT_NE(View->GetFilterableItem(i), b);
    View->Preview()->SetColumn(nullptr);
    EXPECT_TRUE(b->Visible());
    EXPECT_FALSE(b->Hidden());
    EXPECT_EQ(View->VisibleColumnCount(), 3);
    EXPECT_EQ(View->VisibleColumns(1), b);

    // A hidden column stays hidden when it stops being the preview column.
    b->SetVisible(false);
    View->Preview()->SetColumn(b);
    View->Preview()->SetColumn(Column(0));
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(View->VisibleColumnCount(), 1);
}

TEST_F(GridTableColumnsTest, APreviewColumnOfAnotherViewIsRefused)
{
    TcxGridTableView* other = MakeTableView("Other");
    TcxGridColumn* foreign = other->CreateColumn();
    View->Preview()->SetColumn(foreign);
    EXPECT_EQ(View->Preview()->Column(), nullptr);
    EXPECT_TRUE(foreign->Visible());
    // Freeing the preview column clears the preview.
    View->Preview()->SetColumn(Column(2));
    FreeObject(Column(2));
    EXPECT_EQ(View->Preview()->Column(), nullptr);
    EXPECT_EQ(View->VisibleColumnCount(), 2);
}

TEST_F(GridTableColumnsTest, HiddenColumnsAreNotOfferedForFiltering)
{
    EXPECT_EQ(View->FilterableItemCount(), 3);
    Column(0)->SetHidden(true);
    EXPECT_EQ(View->FilterableItemCount(), 2);
    EXPECT_TRUE(Column(0)->IsHiddenStored());
    EXPECT_TRUE(Column(0)->Visible());
    Column(0)->SetHidden(false);
    EXPECT_EQ(View->FilterableItemCount(), 3);
    // The header's filter button follows ColumnFiltering as well.
    EXPECT_TRUE(Column(0)->CanFilterFromHeader());
    View->OptionsCustomize()->SetColumnFiltering(false);
    EXPECT_FALSE(Column(0)->CanFilterFromHeader());
    EXPECT_EQ(View->FilterableItemCount(), 3);
}

TEST_F(GridTableColumnsTest, FixedWidthRule)
{
    struct Case {
        int sized;   // visible index of the column being sized, -1 none
        bool horzSizing;
        bool expected[3];
    };
    const Case cases[] = {
        {-1, true, {false, false, false}},
        {-1, false, {true, true, true}},
        {1, true, {true, true, false}},
        {0, true, {true, false, false}},
        // The last column being sized fixes only itself.
        {2, true, {false, false, true}},
    };
    for (const Case& c : cases) {
        View->SizingColumn = c.sized < 0 ? nullptr : Column(c.sized);
        for (int i = 0; i < 3; ++i) Column(i)->Options()->SetHorzSizing(c.horzSizing);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Column(i)->IsWidthFixed(), c.expected[i]) << "sized " << c.sized << " column " << i;
    }
    View->SizingColumn = nullptr;
}

TEST_F(GridTableColumnsTest, SizingNeedsBothTheColumnAndTheViewToAllowIt)
{
    EXPECT_TRUE(Column(0)->CanHorzSize());
    Column(0)->Options()->SetHorzSizing(false);
    EXPECT_FALSE(Column(0)->CanHorzSize());
    Column(0)->Options()->SetHorzSizing(true);
    View->OptionsCustomize()->SetColumnHorzSizing(false);
    EXPECT_FALSE(Column(0)->CanHorzSize());
}

TEST_F(GridTableColumnsTest, ImposingAWidthLeavesNoColumnMarkedAsSized)
{
    Column(1)->ImposeWidth(150);
    EXPECT_EQ(Column(1)->Width(), 150);
    EXPECT_EQ(View->SizingColumn, nullptr);
}

TEST_F(GridTableColumnsTest, FooterAlignmentFollowsTheEditorUntilAssigned)
{
    TDefaultEditorsScope editors;
    TcxGridColumn* a = Column(0);
    a->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    a->Properties()->Alignment()->SetHorz(taRightJustify);
    EXPECT_EQ(a->FooterAlignmentHorz(), taRightJustify);
    EXPECT_FALSE(a->IsFooterAlignmentHorzStored());
    a->SetFooterAlignmentHorz(taCenter);
    a->Properties()->Alignment()->SetHorz(taLeftJustify);
    EXPECT_EQ(a->FooterAlignmentHorz(), taCenter);
    EXPECT_TRUE(a->IsFooterAlignmentHorzStored());
}

TEST_F(GridTableColumnsTest, EdgesOfTheShownColumns)
{
    Column(1)->SetVisible(false);
    EXPECT_TRUE(Column(0)->IsLeft());
    EXPECT_FALSE(Column(0)->IsRight());
    EXPECT_TRUE(Column(2)->IsRight());
    EXPECT_TRUE(Column(2)->IsMostRight());
    EXPECT_TRUE(Column(2)->IsBottom());
}

TEST_F(GridTableColumnsTest, HeaderClickFiresTheColumnThenTheView)
{
    std::vector<std::string> log;
    Column(1)->OnHeaderClick = [&](TObject* s) { log.push_back("column:" + static_cast<TcxGridColumn*>(s)->Name()); };
    View->OnColumnHeaderClick = [&](TcxGridTableView*, TcxGridColumn* c) { log.push_back("view:" + c->Name()); };
    Column(1)->DoHeaderClick();
    EXPECT_EQ(log, (std::vector<std::string>{"column:ColB", "view:ColB"}));
}

// ---- stored layout

TEST_F(GridTableColumnsTest, GroupFootersSurviveAStoredLayout)
{
    for (TcxGridGroupFootersMode mode : {gfInvisible, gfVisibleWhenExpanded, gfAlwaysVisible}) {
        View->OptionsView()->SetGroupFooters(mode);
        Variant stored = View->GetStoredPropertyValue("GroupFooters");
        TcxGridTableView* other = MakeTableView("Restored");
        other->OptionsView()->SetGroupFooters(gfAlwaysVisible == mode ? gfInvisible : gfAlwaysVisible);
        other->SetStoredPropertyValue("GroupFooters", stored);
        EXPECT_EQ(other->OptionsView()->GroupFooters(), mode) << int(mode);
        // Through a text store (as an INI file keeps it) as well.
        other->SetStoredPropertyValue("GroupFooters", Variant(VarToStr(stored)));
        EXPECT_EQ(other->OptionsView()->GroupFooters(), mode) << int(mode);
        FreeObject(other);
    }
}

TEST_F(GridTableColumnsTest, GroupFootersStoredBeforeReadAsBefore)
{
    struct Case {
        Variant stored;
        TcxGridGroupFootersMode expected;
    };
    const Case cases[] = {
        {Variant(true), gfVisibleWhenExpanded},
        {Variant(false), gfInvisible},
        {Variant(std::string("TRUE")), gfVisibleWhenExpanded},
        {Variant(std::string("false")), gfInvisible},
    };
    for (const Case& c : cases) {
        View->OptionsView()->SetGroupFooters(gfAlwaysVisible);
        View->SetStoredPropertyValue("GroupFooters", c.stored);
        EXPECT_EQ(View->OptionsView()->GroupFooters(), c.expected) << VarToStr(c.stored);
    }
    EXPECT_TRUE(View->GetStoredPropertyValue("GroupFooters").AsBoolean() == false ||
                View->OptionsView()->GroupFooters() != gfInvisible);
}

TEST_F(GridTableColumnsTest, StoredNamesOfTheViewAndColumns)
{
    TStringList viewNames;
    View->GetStoredProperties(&viewNames);
    ASSERT_GE(viewNames.Count(), 4);
    EXPECT_EQ(viewNames.Strings(0), "Footer");
    EXPECT_EQ(viewNames.Strings(1), "GroupByBox");
    EXPECT_EQ(viewNames.Strings(2), "GroupFooters");
    EXPECT_EQ(viewNames.Strings(3), "NewItemRow");
    View->SetStoredPropertyValue("Footer", Variant(true));
    View->SetStoredPropertyValue("GroupByBox", Variant(std::string("FALSE")));
    EXPECT_TRUE(View->OptionsView()->Footer());
    EXPECT_FALSE(View->OptionsView()->GroupByBox());

    TStringList columnNames;
    Column(0)->GetStoredProperties(&columnNames);
    ASSERT_EQ(columnNames.Count(), 7);
    EXPECT_EQ(columnNames.Strings(5), "GroupIndex");
    EXPECT_EQ(columnNames.Strings(6), "Width");
    Column(0)->SetStoredPropertyValue("Width", Variant(90));
    EXPECT_EQ(Column(0)->GetStoredPropertyValue("Width").AsInteger(), 90);
    Column(2)->SetStoredPropertyValue("GroupIndex", Variant(0));
    EXPECT_EQ(Column(2)->GroupIndex(), 0);
    EXPECT_EQ(Column(2)->GetStoredPropertyValue("GroupIndex").AsInteger(), 0);
}

TEST_F(GridTableColumnsTest, SummaryItemsStoreTheirColumnByName)
{
    TcxDataSummary* summary = View->DataController()->Summary();
    auto* item = DynamicCast<TcxGridTableSummaryItem>(static_cast<TCollection*>(summary->FooterSummaryItems())->Add());
    ASSERT_NE(item, nullptr);
    item->SetColumn(Column(1));
    EXPECT_EQ(VarToStr(item->GetStoredPropertyValue("Column")), "ColB");
    item->SetStoredPropertyValue("Column", Variant(std::string("ColC")));
    EXPECT_EQ(item->Column(), Column(2));
    item->SetStoredPropertyValue("Column", Variant(std::string("Missing")));
    EXPECT_EQ(item->Column(), nullptr);
    // With a storage name the column's identifier is its stored name.
    View->StoringName = "Layout";
    item->SetColumn(Column(1));
    EXPECT_EQ(VarToStr(item->GetStoredPropertyValue("Column")), std::to_string(Column(1)->ID()));
}

TEST_F(GridTableColumnsTest, ACopiedViewTakesTheTableOptionsEventsAndPreview)
{
    View->OptionsCustomize()->SetColumnHiding(true);
    View->OptionsView()->SetIndicator(true);
    int clicks = 0;
    View->OnColumnHeaderClick = [&](TcxGridTableView*, TcxGridColumn*) { ++clicks; };
    View->Preview()->SetVisible(true);
    View->Preview()->SetColumn(Column(1));
    TcxGridTableView* copy = MakeTableView("Copy");
    copy->Assign(View);
    ASSERT_EQ(copy->ColumnCount(), 3);
    EXPECT_TRUE(copy->OptionsCustomize()->ColumnHiding());
    EXPECT_TRUE(copy->OptionsView()->Indicator());
    EXPECT_TRUE(copy->Preview()->Visible());
    // Not a clone: the source's own column belongs to another view.
    EXPECT_EQ(copy->Preview()->Column(), nullptr);
    EXPECT_TRUE(bool(copy->OnColumnHeaderClick));
    copy->DoColumnHeaderClick(copy->Columns(0));
    EXPECT_EQ(clicks, 1);
}

TEST_F(GridTableColumnsTest, TheViewClassesAreRegistered)
{
    TcxRegisteredClasses* views = cxGridCustomView::cxGridRegisteredViews();
    int index = views->IndexOfClass(TcxGridTableView::StaticClass());
    ASSERT_GE(index, 0);
    EXPECT_EQ(views->GetDescription(index), "Table");
    EXPECT_NE(FindClass("TcxGridColumn"), nullptr);
}

// ---- rows

TEST_F(GridTableColumnsTest, RowsOfDataAndGroups)
{
    Fill({{"Paris", "a"}, {"Rome", "b"}, {"Paris", "c"}});
    TcxGridViewData* data = View->ViewData();
    ASSERT_EQ(data->RowCount(), 3);
    EXPECT_TRUE(data->Rows(0)->InheritsFrom(TcxGridDataRow::StaticClass()));
    EXPECT_FALSE(data->Rows(0)->InheritsFrom(TcxGridMasterDataRow::StaticClass()));
    EXPECT_TRUE(data->Rows(0)->HasCells());

    Column(0)->SetCaption("City");
    Column(0)->SetGroupIndex(0);
    ASSERT_EQ(data->RowCount(), 2);
    auto* group = DynamicCast<TcxGridGroupRow>(data->Rows(0));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->DisplayText(), "City : Paris");
    EXPECT_TRUE(group->GetExpandable());
    EXPECT_FALSE(group->GetExpanded());
    group->Expand(false);
    ASSERT_EQ(data->RowCount(), 4);
    EXPECT_TRUE(DynamicCast<TcxGridGroupRow>(data->Rows(0))->GetExpanded());
    EXPECT_TRUE(data->Rows(1)->InheritsFrom(TcxGridDataRow::StaticClass()));
    // A grouped column hides from the header only when the options say so.
    EXPECT_TRUE(Column(0)->HideOnGrouping());
}

TEST_F(GridTableColumnsTest, AGroupRowShowsItsSummaryAfterTheValue)
{
    Fill({{"Paris", "a"}, {"Paris", "b"}});
    Column(0)->SetCaption("City");
    Column(0)->SetGroupIndex(0);
    TcxDataSummary* summary = View->DataController()->Summary();
    auto* item = static_cast<TcxDataSummaryItem*>(
        static_cast<TCollection*>(summary->DefaultGroupSummaryItems())->Add());
    item->SetItemLink(Column(1));
    item->SetKind(skCount);
    item->SetPosition(spGroup);
    auto* group = DynamicCast<TcxGridGroupRow>(View->ViewData()->Rows(0));
    ASSERT_NE(group, nullptr);
    std::string text = group->DisplayText();
    EXPECT_EQ(text.rfind("City : Paris ", 0), 0u) << text;
    EXPECT_GT(text.size(), std::string("City : Paris ").size());
}

TEST_F(GridTableColumnsTest, TheNewItemRowFollowsItsOption)
{
    EXPECT_EQ(View->ViewData()->NewItemRecord(), nullptr);
    View->OptionsView()->SetNewItemRow(true);
    ASSERT_NE(View->ViewData()->NewItemRecord(), nullptr);
    EXPECT_TRUE(View->ViewData()->NewItemRecord()->InheritsFrom(TcxGridNewItemRow::StaticClass()));
    EXPECT_TRUE(View->DataController()->NewItemRowEnabled());
    View->OptionsView()->SetNewItemRow(false);
    EXPECT_EQ(View->ViewData()->NewItemRecord(), nullptr);
    EXPECT_FALSE(View->DataController()->NewItemRowEnabled());
}

TEST_F(GridTableColumnsTest, AVisibleChildLevelMakesMasterRows)
{
    Fill({{"x"}, {"y"}});
    TcxGridLevel* child = View->Level()->Add();
    child->SetVisible(false);
    View->ViewData()->DestroyRecords();
    View->ViewData()->SetRecordCount(View->DataController()->GetRowCount());
    EXPECT_FALSE(View->ViewData()->Rows(0)->InheritsFrom(TcxGridMasterDataRow::StaticClass()));
    child->SetVisible(true);
    View->ViewData()->DestroyRecords();
    View->ViewData()->SetRecordCount(View->DataController()->GetRowCount());
    auto* master = DynamicCast<TcxGridMasterDataRow>(View->ViewData()->Rows(0));
    ASSERT_NE(master, nullptr);
    EXPECT_TRUE(master->GetExpandable());
    View->OptionsView()->SetExpandButtonsForEmptyDetails(false);
    EXPECT_FALSE(master->GetExpandable());
    EXPECT_TRUE(View->HasSizeDependentLayout());
    EXPECT_FALSE(View->HasFixedRecordHeights());
}

}  // namespace
