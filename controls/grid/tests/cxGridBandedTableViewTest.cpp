// The banded view's model: the order of visible bands, band rows that come
// and go with their columns, column positions set, clamped and restored
// after loading, the order of the shown columns, options, stored layouts,
// copies and the registered view names.
#include "GridTestBase.h"

#include "StringLists.h"
#include "cxGridBandedTableView.h"
#include "cxGridDBBandedTableView.h"
#include "cxGridLevel.h"

#include <map>

namespace {

class GridBandedViewTest : public GridTestBase {
protected:
    void SetUp() override
    {
        GridTestBase::SetUp();
        cxGridDBBandedTableView::Initialize();
        View = MakeView("Banded");
        Grid->RootLevel()->Add()->SetGridView(View);
    }
    TcxGridBandedTableView* MakeView(const std::string& AName)
    {
        auto* view = static_cast<TcxGridBandedTableView*>(Grid->CreateView(TcxGridBandedTableView::StaticClass()));
        view->SetName(AName);
        return view;
    }
    TcxGridBand* AddBand(const std::string& ACaption, TcxGridBandFixedKind AKind = fkNone)
    {
        TcxGridBand* band = View->Bands()->Add();
        band->SetCaption(ACaption);
        band->SetFixedKind(AKind);
        return band;
    }
    TcxGridBandedColumn* AddColumn(const std::string& ACaption, int ABandIndex = 0)
    {
        TcxGridBandedColumn* column = View->CreateColumn();
        column->SetCaption(ACaption);
        Columns[ACaption] = column;
        column->Position()->SetBandIndex(ABandIndex);
        return column;
    }
    // The band's rows as captions: "A B|C".
    static std::string RowsOf(TcxGridBand* ABand)
    {
        std::string result;
        for (int r = 0; r < ABand->Rows()->Count(); ++r) {
            if (r) result += "|";
            TcxGridBandRow* row = ABand->Rows()->Items(r);
            for (int c = 0; c < row->Count(); ++c) result += (c ? " " : "") + row->Items(c)->Caption();
        }
        return result;
    }
    static std::string VisibleBands(TcxGridBands* ABands)
    {
        std::string result;
        for (int i = 0; i < ABands->VisibleCount(); ++i) result += ABands->VisibleItems(i)->Caption();
        return result;
    }
    std::string VisibleColumns()
    {
        std::string result;
        for (int i = 0; i < View->VisibleItemCount(); ++i) result += (i ? " " : "") + View->VisibleColumns(i)->Caption();
        return result;
    }
    TcxGridBandedTableView* View = nullptr;
    std::map<std::string, TcxGridBandedColumn*> Columns;
};

}  // namespace

TEST_F(GridBandedViewTest, VisibleBandsStandLeftFixedUnfixedRightFixed)
{
    AddBand("R", fkRight);
    AddBand("N");
    TcxGridBand* left = AddBand("L", fkLeft);
    TcxGridBands* bands = View->Bands();
    EXPECT_EQ(VisibleBands(bands), "LNR");
    EXPECT_EQ(bands->LeftFixedCount(), 1);
    EXPECT_EQ(bands->RightFixedCount(), 1);
    EXPECT_EQ(bands->FixedSidesPresent(), 3);
    left->SetVisible(false);
    EXPECT_EQ(VisibleBands(bands), "NR");
    EXPECT_EQ(bands->LeftFixedCount(), 0);
    EXPECT_EQ(bands->FirstVisibleIndexOfKind(fkRight), 1);
    EXPECT_EQ(bands->LastVisibleIndexOfKind(fkLeft), -1);
    EXPECT_EQ(bands->FixedSidesPresent(), 2);
    // Moving a band within the collection keeps the groups, each in collection order.
    left->SetVisible(true);
    AddBand("M");
    bands->Items(3)->SetIndex(1);   // M before N
    EXPECT_EQ(VisibleBands(bands), "LMNR");
    EXPECT_TRUE(bands->Items(2)->IsFirst() || bands->VisibleItems(0)->Caption() == "L");
    EXPECT_TRUE(bands->VisibleItems(3)->IsLast());
}

TEST_F(GridBandedViewTest, RowsComeAndGoWithTheirColumns)
{
    TcxGridBand* band = AddBand("B");
    AddColumn("A");
    AddColumn("B");
    AddColumn("C");
    EXPECT_EQ(RowsOf(band), "A B C") << "new columns join the end of row 0";
    struct Case {
        const char* Column;
        int ColIndex;
        const char* Rows;
    } cases[] = {
        {"A", 2, "B A C"}, {"A", 0, "A B C"}, {"A", 3, "B C A"}, {"A", 0, "A B C"}, {"A", 9, "B C A"},
        {"A", 0, "A B C"}, {"A", 1, "A B C"}, {"A", -1, "A B C"}, {"C", 0, "C A B"},
    };
    for (const Case& c : cases) {
        Columns[c.Column]->Position()->SetColIndex(c.ColIndex);
        EXPECT_EQ(RowsOf(band), c.Rows) << c.Column << " to " << c.ColIndex;
    }
    // [A], [B, C]: A to row 2 frees row 0 on its way, so it lands in a new row 1.
    Columns["C"]->Position()->SetColIndex(3);
    ASSERT_EQ(RowsOf(band), "A B C");
    Columns["A"]->Position()->SetRowIndex(1);
    ASSERT_EQ(RowsOf(band), "B C|A");
    Columns["B"]->Position()->SetRowIndex(0);
    Columns["C"]->Position()->SetRowIndex(1);
    Columns["A"]->Position()->SetRowIndex(0);
    Columns["B"]->Position()->SetRowIndex(1);
    ASSERT_EQ(RowsOf(band), "A|C B");
    Columns["A"]->Position()->SetRowIndex(2);
    EXPECT_EQ(RowsOf(band), "C B|A");
    EXPECT_EQ(Columns["A"]->Position()->RowIndex(), 1);
    // A row index far beyond the rows appends one row for the column alone.
    Columns["B"]->Position()->SetRowIndex(7);
    EXPECT_EQ(RowsOf(band), "C|A|B");
    EXPECT_EQ(Columns["B"]->Position()->RowIndex(), 2);
}

TEST_F(GridBandedViewTest, RowVisibilityLinesAndEdges)
{
    TcxGridBand* band = AddBand("B");
    AddColumn("A");
    AddColumn("B")->Position()->SetRowIndex(1);
    AddColumn("C")->Position()->SetRowIndex(1);
    TcxGridBandRows* rows = band->Rows();
    ASSERT_EQ(RowsOf(band), "A|B C");
    Columns["A"]->Position()->SetLineCount(0);
    EXPECT_EQ(Columns["A"]->Position()->LineCount(), 1);
    Columns["C"]->Position()->SetLineCount(3);
    EXPECT_EQ(rows->Items(1)->LineCount(), 3);
    EXPECT_EQ(rows->LineCount(), 4);
    EXPECT_EQ(rows->FirstLineOfRow(1), 1);
    EXPECT_EQ(rows->RowAtLine(0), 0);
    EXPECT_EQ(rows->RowAtLine(3), 1);
    EXPECT_EQ(rows->RowAtLine(4), -1);
    // Edges for borders: B is left and bottom of the last row, C right.
    EXPECT_TRUE(Columns["B"]->IsLeft());
    EXPECT_FALSE(Columns["B"]->IsRight());
    EXPECT_TRUE(Columns["C"]->IsRight());
    EXPECT_TRUE(Columns["C"]->IsBottom());
    EXPECT_FALSE(Columns["A"]->IsBottom());
    EXPECT_TRUE(Columns["C"]->IsMostBottom());
    EXPECT_TRUE(Columns["C"]->IsMostRight());
    EXPECT_TRUE(Columns["A"]->IsMostLeft());
    // A row whose columns all hide is not shown; a row without columns is.
    Columns["A"]->SetVisible(false);
    EXPECT_FALSE(rows->Items(0)->Visible());
    EXPECT_EQ(rows->VisibleCount(), 1);
    EXPECT_TRUE(Columns["B"]->IsMostLeft());
    TcxGridBandRow* empty = rows->Insert(5);
    EXPECT_EQ(rows->Count(), 3);
    EXPECT_TRUE(empty->Visible());
    rows->SetCount(-2);
    EXPECT_EQ(rows->Count(), 0);
}

TEST_F(GridBandedViewTest, ColumnsJoinTheFirstVisibleBandAndLeaveABandThatGoes)
{
    // Without a visible band a new column has none and does not show.
    TcxGridBandedColumn* orphan = View->CreateColumn();
    EXPECT_EQ(orphan->Position()->BandIndex(), -1);
    EXPECT_EQ(orphan->VisibleIndex(), -1);
    EXPECT_TRUE(orphan->Visible());
    AddBand("N");
    AddBand("L", fkLeft);
    TcxGridBandedColumn* column = View->CreateColumn();
    EXPECT_EQ(column->Position()->BandIndex(), 1) << "the left-fixed band stands first";
    EXPECT_EQ(column->Position()->RowIndex(), 0);
    EXPECT_EQ(column->VisibleIndex(), 0);
    // A band that goes leaves its columns in the view without a band.
    delete View->Bands()->Items(1);
    EXPECT_EQ(column->Position()->BandIndex(), -1);
    EXPECT_EQ(column->Position()->Band(), nullptr);
    EXPECT_EQ(column->VisibleIndex(), -1);
    EXPECT_EQ(View->ItemCount(), 2);
    EXPECT_EQ(View->Bands()->VisibleCount(), 1);
    // Out of range band indexes leave the column without band.
    column->Position()->SetBandIndex(5);
    EXPECT_EQ(column->Position()->BandIndex(), -1);
}

TEST_F(GridBandedViewTest, ShownColumnsGoLeftFixedRightFixedThenScrolling)
{
    AddBand("L", fkLeft);
    AddBand("N");
    AddBand("R", fkRight);
    AddColumn("cN", 1);
    AddColumn("cR", 2);
    AddColumn("cL", 0);
    AddColumn("cN2", 1);
    EXPECT_EQ(VisibleColumns(), "cL cR cN cN2");
    EXPECT_FALSE(Columns["cL"]->CanScroll());
    EXPECT_TRUE(Columns["cN"]->CanScroll());
    Columns["cN2"]->Position()->SetColIndex(0);
    EXPECT_EQ(VisibleColumns(), "cL cR cN2 cN");
    // Hiding a band hides its columns from the view; their own flags stay.
    const int before = View->VisibleItemCount();
    View->Bands()->Items(1)->SetVisible(false);
    EXPECT_EQ(View->VisibleItemCount(), before - 2);
    EXPECT_TRUE(Columns["cN"]->Visible());
    EXPECT_TRUE(Columns["cN2"]->Visible());
    EXPECT_EQ(Columns["cN"]->VisibleIndex(), -1);
    EXPECT_EQ(VisibleColumns(), "cL cR");
}

TEST_F(GridBandedViewTest, SavedPositionsArePlacedOnlyWhenApplied)
{
    TcxGridBand* band = AddBand("B");
    // A stored layout: band 0, (row 0, col 1), (row 0, col 0), (row 2, col 0).
    struct Stored {
        const char* Caption;
        int Row, Col;
    } stored[] = {{"first", 0, 1}, {"second", 0, 0}, {"third", 2, 0}};
    for (const Stored& s : stored) {
        TcxGridBandedColumn* column = View->CreateColumn();
        column->SetCaption(s.Caption);
        column->SetStoredPropertyValue("BandIndex", 0);
        column->SetStoredPropertyValue("RowIndex", s.Row);
        column->SetStoredPropertyValue("ColIndex", s.Col);
    }
    EXPECT_EQ(RowsOf(band), "first second third") << "until applied, each stands at the end of row 0";
    View->ApplySavedPositions();
    EXPECT_EQ(RowsOf(band), "second first|third") << "the gap in the saved rows closes";
    TcxGridBandedColumn* third = View->Columns(2);
    EXPECT_EQ(third->GetStoredPropertyValue("RowIndex").AsInteger(), 1);
    EXPECT_EQ(third->GetStoredPropertyValue("ColIndex").AsInteger(), 0);
    EXPECT_EQ(third->GetStoredPropertyValue("BandIndex").AsInteger(), 0);
    EXPECT_EQ(third->GetStoredPropertyValue("LineCount").AsInteger(), 1);
    TStringList names;
    third->GetStoredProperties(&names);
    ASSERT_GE(names.Count(), 4);
    EXPECT_EQ(names.Strings(names.Count() - 4), "BandIndex");
    EXPECT_EQ(names.Strings(names.Count() - 1), "LineCount");
}

namespace {
// A stored layout as a layout store keeps it: each object's stored name,
// class and property values, then its children in the order listed.
struct TStoredNode {
    std::string Name, ClassName;
    std::vector<std::pair<std::string, Variant>> Values;
    std::vector<TStoredNode> Children;
};

TStoredNode StoreLayout(TObject* AObject)
{
    TStoredNode node;
    auto* stored = dynamic_cast<IcxStoredObject*>(AObject);
    node.Name = stored->GetStoredObjectName();
    node.ClassName = AObject->ClassName();
    TStringList names;
    stored->GetStoredProperties(&names);
    for (int i = 0; i < names.Count(); ++i)
        node.Values.emplace_back(names.Strings(i), stored->GetStoredPropertyValue(names.Strings(i)));
    if (auto* parent = dynamic_cast<IcxStoredParent*>(AObject)) {
        std::vector<TObject*> children;
        parent->GetStoredChildren(children);
        for (TObject* child : children) node.Children.push_back(StoreLayout(child));
    }
    return node;
}

// Writes the values back in the stored order, finding each child by its
// stored name or making it.
void RestoreLayout(TObject* AObject, const TStoredNode& ANode)
{
    auto* stored = dynamic_cast<IcxStoredObject*>(AObject);
    for (const auto& [name, value] : ANode.Values) stored->SetStoredPropertyValue(name, value);
    auto* parent = dynamic_cast<IcxStoredParent*>(AObject);
    if (!parent) return;
    for (const TStoredNode& childNode : ANode.Children) {
        std::vector<TObject*> existing;
        parent->GetStoredChildren(existing);
        TObject* child = nullptr;
        for (TObject* e : existing)
            if (dynamic_cast<IcxStoredObject*>(e)->GetStoredObjectName() == childNode.Name) child = e;
        if (!child) child = parent->CreateStoredChild(childNode.Name, childNode.ClassName);
        ASSERT_NE(child, nullptr) << childNode.Name;
        RestoreLayout(child, childNode);
    }
}
}  // namespace

// A layout saved from a view whose columns were moved about its bands and
// rows, restored into a fresh view of another grid: once the saved positions
// are applied, every band holds the same rows and the view shows the columns
// in the same order.
TEST_F(GridBandedViewTest, AStoredLayoutRestoresTheColumnsPlacesInAFreshView)
{
    AddBand("甲");
    AddBand("乙", fkLeft);
    for (const char* name : {"c1", "c2", "c3", "c4", "c5", "c6"}) AddColumn(name)->SetName(name);
    Columns["c1"]->Position()->SetBandIndex(1);
    Columns["c3"]->Position()->SetBandIndex(1);
    Columns["c1"]->Position()->SetRowIndex(1);
    Columns["c5"]->Position()->SetBandIndex(1);
    Columns["c5"]->Position()->SetColIndex(0);
    Columns["c4"]->Position()->SetColIndex(0);
    Columns["c6"]->Position()->SetRowIndex(2);
    Columns["c6"]->Position()->SetLineCount(2);
    ASSERT_EQ(RowsOf(View->Bands()->Items(0)), "c4 c2|c6");
    ASSERT_EQ(RowsOf(View->Bands()->Items(1)), "c5 c3|c1");
    TStoredNode layout = StoreLayout(View);

    // Another form's grid, as another run of the program would have.
    std::unique_ptr<TForm> form(new TForm(nullptr));
    auto* grid = static_cast<TcxGrid*>(TcxGrid::StaticClass()->Create(form.get()));
    grid->SetParent(form.get());
    auto* fresh = static_cast<TcxGridBandedTableView*>(grid->CreateView(TcxGridBandedTableView::StaticClass()));
    fresh->SetName("Banded");
    grid->RootLevel()->Add()->SetGridView(fresh);
    // The program makes the view's bands as designed; the user's layout is
    // restored over them (a band's fixed kind is not part of a layout).
    fresh->Bands()->Add();
    fresh->Bands()->Add()->SetFixedKind(fkLeft);
    RestoreLayout(fresh, layout);
    fresh->ApplySavedPositions();

    // The rows by column name: a layout keeps names, not captions.
    auto rowsByName = [](TcxGridBand* ABand) {
        std::string result;
        for (int r = 0; r < ABand->Rows()->Count(); ++r) {
            if (r) result += "|";
            TcxGridBandRow* row = ABand->Rows()->Items(r);
            for (int c = 0; c < row->Count(); ++c) result += (c ? " " : "") + row->Items(c)->Name();
        }
        return result;
    };
    ASSERT_EQ(fresh->Bands()->Count(), 2);
    for (int b = 0; b < 2; ++b) {
        EXPECT_EQ(fresh->Bands()->Items(b)->Caption(), View->Bands()->Items(b)->Caption());
        EXPECT_EQ(rowsByName(fresh->Bands()->Items(b)), rowsByName(View->Bands()->Items(b))) << b;
    }
    ASSERT_EQ(fresh->ItemCount(), View->ItemCount());
    for (int i = 0; i < View->ItemCount(); ++i) {
        TcxGridBandedColumnPosition* saved = View->Columns(i)->Position();
        auto* restored = static_cast<TcxGridBandedColumn*>(fresh->FindItemByName(View->Columns(i)->Name()));
        ASSERT_NE(restored, nullptr) << View->Columns(i)->Name();
        EXPECT_EQ(restored->Position()->BandIndex(), saved->BandIndex()) << restored->Name();
        EXPECT_EQ(restored->Position()->RowIndex(), saved->RowIndex()) << restored->Name();
        EXPECT_EQ(restored->Position()->ColIndex(), saved->ColIndex()) << restored->Name();
        EXPECT_EQ(restored->Position()->LineCount(), saved->LineCount()) << restored->Name();
        EXPECT_EQ(restored->VisibleIndex(), View->Columns(i)->VisibleIndex()) << restored->Name();
    }
}

TEST_F(GridBandedViewTest, BandsStoreTheirLayoutUnderTheirIndex)
{
    AddBand("甲");
    AddBand("乙");
    TcxGridBand* band = AddBand("丙", fkRight);
    band->SetWidth(-4);
    EXPECT_EQ(band->Width(), 0);
    band->SetWidth(120);
    band->SetHidden(true);
    EXPECT_EQ(band->GetStoredObjectName(), "Band2");
    TStringList names;
    EXPECT_TRUE(band->GetStoredProperties(&names));
    EXPECT_EQ(names.Text(), "Caption\r\nWidth\r\nVisible\r\nHidden\r\nIndex\r\n");
    EXPECT_EQ(VarToStr(band->GetStoredPropertyValue("Caption")), "丙");
    EXPECT_EQ(band->GetStoredPropertyValue("Width").AsInteger(), 120);
    EXPECT_TRUE(band->GetStoredPropertyValue("Hidden").AsBoolean());
    EXPECT_EQ(band->GetStoredPropertyValue("Index").AsInteger(), 2);
    EXPECT_TRUE(band->GetStoredPropertyValue("Nothing").IsNull());
    band->SetStoredPropertyValue("Index", 0);
    band->SetStoredPropertyValue("Visible", false);
    band->SetStoredPropertyValue("Nothing", 3);
    EXPECT_EQ(band->Index(), 0);
    EXPECT_FALSE(band->Visible());
    EXPECT_TRUE(band->Hidden()) << "Hidden stays apart from Visible";
    // The collection holds the bands as children; only bands are made.
    TcxGridBands* bands = View->Bands();
    std::vector<TObject*> children;
    bands->GetStoredChildren(children);
    EXPECT_EQ(children.size(), 3u);
    EXPECT_EQ(bands->CreateStoredChild("Band3", "TcxGridColumn"), nullptr);
    TObject* made = bands->CreateStoredChild("Band3", "TcxGridBand");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(bands->Count(), 4);
    bands->DeleteStoredChild("Band3", made);
    EXPECT_EQ(bands->Count(), 3);
    std::vector<TObject*> viewChildren;
    View->GetStoredChildren(viewChildren);
    ASSERT_FALSE(viewChildren.empty());
    EXPECT_EQ(viewChildren[0], bands) << "the bands come before the items";
}

TEST_F(GridBandedViewTest, OptionsClampAndTheSeparatorTakesThePaintersColour)
{
    TcxGridBandedTableOptionsView* ov = View->OptionsView();
    EXPECT_TRUE(ov->BandHeaders());
    EXPECT_EQ(ov->FixedBandSeparatorWidth(), 2);
    ov->SetBandHeaderLineCount(0);
    EXPECT_EQ(ov->BandHeaderLineCount(), 1);
    ov->SetBandHeaderHeight(-3);
    EXPECT_EQ(ov->BandHeaderHeight(), 0);
    ov->SetFixedBandSeparatorWidth(-1);
    EXPECT_EQ(ov->FixedBandSeparatorWidth(), 0);
    EXPECT_EQ(ov->GetFixedBandSeparatorColor(), clBtnText);
    ov->SetFixedBandSeparatorColor(clRed);
    EXPECT_EQ(ov->GetFixedBandSeparatorColor(), clRed);
    // The band styles' defaults: the header background and the header colours.
    TcxStyleParams params;
    View->Styles()->GetViewParams(TcxGridBandedTableViewStyles::vsBandBackground, nullptr, nullptr, params);
    EXPECT_EQ(params.Color, clBtnShadow);
    EXPECT_EQ(params.TextColor, clBtnFace);
    View->Styles()->GetViewParams(TcxGridBandedTableViewStyles::vsBandHeader, nullptr, nullptr, params);
    EXPECT_EQ(params.Color, clBtnFace);
    EXPECT_EQ(params.TextColor, clBtnText);
    auto* bitmaps = static_cast<TcxGridBandedTableBackgroundBitmaps*>(View->BackgroundBitmaps());
    EXPECT_EQ(bitmaps->GetBitmapStyleIndex(TcxGridBandedTableBackgroundBitmaps::bbBandHeader),
              TcxGridBandedTableViewStyles::vsBandHeader);
    TcxGridBandedTableOptionsCustomize* oc = View->OptionsCustomize();
    EXPECT_FALSE(oc->BandHiding);
    EXPECT_TRUE(oc->BandMoving);
    EXPECT_TRUE(oc->BandSizing);
    EXPECT_TRUE(oc->ColumnVertSizing());
    TcxGridBand* a = AddBand("A");
    AddColumn("x");
    EXPECT_TRUE(a->IsMovable());
    EXPECT_FALSE(a->IsHidable()) << "the only visible band";
    AddBand("B");
    EXPECT_TRUE(a->IsHidable());
    a->Options()->Sizing = false;
    EXPECT_FALSE(a->IsSizable());
    EXPECT_TRUE(Columns["x"]->IsVertSizable());
    oc->SetColumnVertSizing(false);
    EXPECT_FALSE(Columns["x"]->IsVertSizable());
}

TEST_F(GridBandedViewTest, ACopyTakesTheBandsBeforeTheColumns)
{
    AddBand("L", fkLeft)->SetHidden(true);
    AddBand("N")->SetWidth(150);
    AddColumn("a", 1);
    AddColumn("b", 1)->Position()->SetRowIndex(1);
    AddColumn("c", 0);
    TcxGridBandedTableView* copy = MakeView("Copy");
    copy->AssignLayout(View);
    ASSERT_EQ(copy->Bands()->Count(), 2);
    EXPECT_EQ(copy->Bands()->Items(0)->FixedKind(), fkLeft);
    EXPECT_FALSE(copy->Bands()->Items(0)->Hidden()) << "Hidden is not copied";
    EXPECT_EQ(copy->Bands()->Items(1)->Width(), 150);
    ASSERT_EQ(copy->ItemCount(), 3);
    EXPECT_EQ(RowsOf(copy->Bands()->Items(1)), "a|b");
    EXPECT_EQ(RowsOf(copy->Bands()->Items(0)), "c");
}

TEST_F(GridBandedViewTest, TheViewsAreRegisteredAndTheDataAwareColumnStoresItsField)
{
    std::vector<std::string> names;
    for (int i = 0; i < cxGridCustomView::cxGridRegisteredViews()->Count(); ++i)
        names.push_back(cxGridCustomView::cxGridRegisteredViews()->GetDescription(i));
    EXPECT_NE(std::find(names.begin(), names.end(), "Banded Table"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "DB Banded Table"), names.end());
    auto* db = static_cast<TcxGridDBBandedTableView*>(Grid->CreateView(TcxGridDBBandedTableView::StaticClass()));
    db->Bands()->Add();
    TcxGridDBBandedColumn* column = db->CreateColumn();
    column->DataBinding()->SetFieldName("姓名");
    EXPECT_EQ(VarToStr(column->GetStoredPropertyValue("FieldName")), "姓名");
    column->SetStoredPropertyValue("FieldName", "电话");
    EXPECT_EQ(column->DataBinding()->FieldName(), "电话");
    EXPECT_EQ(column->Position()->BandIndex(), 0);
    TcxGridDBBandedTableSummaryItem summary;
    EXPECT_EQ(VarToStr(summary.GetStoredPropertyValue("Column")), "");
    TStringList props;
    EXPECT_FALSE(summary.GetStoredProperties(&props));
    EXPECT_EQ(props.Text(), "Column\r\n");
}
