// The grid's options and setters, its row structure and cell kinds, the
// layout lock, the columns it builds from the fields, the data link's field
// map, the column model's defaults and widths, and record mapping.
#include "DBGridEh.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace DBGridTest;

class GridFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ds = FiveStudents();
        Host = std::make_unique<TGridHost>(Ds.get());
        G = Host->Grid;
    }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(GridFixture, OptionsMapToTheBaseAndRebuildOnlyWhenTheyShape)
{
    struct TCase {
        const char* Name;
        TDBGridOption Toggle;
        bool Rebuilds;
    } cases[] = {
        {"tabs", dgTabs, false},          {"confirm delete", dgConfirmDelete, false},
        {"cancel on exit", dgCancelOnExit, false}, {"column resize", dgColumnResize, false},
        {"multi select", dgMultiSelect, false},    {"titles", dgTitles, true},
        {"indicator", dgIndicator, true},          {"column lines", dgColLines, true},
        {"row lines", dgRowLines, true},           {"always show selection", dgAlwaysShowSelection, true},
    };
    for (const TCase& k : cases) {
        SCOPED_TRACE(k.Name);
        TDBGridOptions o = G->Options();
        if (o.Contains(k.Toggle)) o.Exclude(k.Toggle);
        else o.Include(k.Toggle);
        int before = G->LayoutRebuildCount();
        G->SetOptions(o);
        EXPECT_EQ(G->LayoutRebuildCount() - before, k.Rebuilds ? 1 : 0);
        TGridOptions base = static_cast<TCustomGrid*>(G)->Options();
        EXPECT_EQ(base.Contains(goTabs), o.Contains(dgTabs));
        EXPECT_EQ(base.Contains(goColSizing), o.Contains(dgColumnResize));
        EXPECT_EQ(base.Contains(goColMoving), o.Contains(dgColumnResize));
        EXPECT_EQ(base.Contains(goVertLine), o.Contains(dgColLines));
        EXPECT_EQ(base.Contains(goHorzLine), o.Contains(dgRowLines));
        G->SetOptions(G->Options());
    }
    // Whole-row selection takes editing away.
    G->SetOptions(G->Options() + TDBGridOptions{dgRowSelect, dgEditing, dgAlwaysShowEditor});
    EXPECT_FALSE(G->Options().Contains(dgEditing));
    EXPECT_FALSE(G->Options().Contains(dgAlwaysShowEditor));
    EXPECT_TRUE(static_cast<TCustomGrid*>(G)->Options().Contains(goRowSelect));
    int before = G->LayoutRebuildCount();
    G->SetOptions(G->Options());
    EXPECT_EQ(G->LayoutRebuildCount(), before) << "an equal value does nothing";
}

TEST_F(GridFixture, SettersClampAndRebuild)
{
    G->SetFooterRowCount(2);
    G->SetFooterRowCount(-1);
    EXPECT_EQ(G->FooterRowCount(), 2);
    G->SetFrozenCols(1);
    G->SetFrozenCols(-1);
    EXPECT_EQ(G->FrozenCols(), 1);
    G->SetRowHeight(-5);
    EXPECT_EQ(G->RowHeight(), 0);
    G->SetRowLines(-5);
    EXPECT_EQ(G->RowLines(), 0);
    int before = G->LayoutRebuildCount();
    G->SetUseMultiTitle(G->UseMultiTitle());
    EXPECT_EQ(G->LayoutRebuildCount(), before + 1) << "multi-title rebuilds even when unchanged";
    G->SetParentColor(true);
    G->SetFooterColor(clYellow);
    EXPECT_FALSE(G->ParentColor());
}

TEST_F(GridFixture, ColumnIndexMapping)
{
    EXPECT_EQ(G->RawToDataColumn(3), 2);
    EXPECT_EQ(G->DataToRawColumn(2), 3);
    G->SetOptions(G->Options() - TDBGridOptions{dgIndicator});
    EXPECT_EQ(G->RawToDataColumn(3), 3);
    EXPECT_EQ(G->DataToRawColumn(2), 2);
    G->SetSelectedIndex(1);
    EXPECT_EQ(G->SelectedIndex(), 1);
    EXPECT_EQ(G->CurrentField(), Ds->FieldByName("Name"));
    G->SelectFieldColumn(Ds->FieldByName("Fee"));
    EXPECT_EQ(G->CurrentField(), Ds->FieldByName("Fee"));
}

TEST_F(GridFixture, RowStructureAndCellTypes)
{
    G->SetFooterRowCount(3);
    int first = G->FirstDataRow();
    ASSERT_EQ(first, 1);
    int records = Ds->RecordCount();
    ASSERT_EQ(G->RowCount(), first + records + 1 + 3);
    struct TCase {
        int Col, Row, Kind, ColOut, RowOut;
    } cases[] = {
        {0, 0, 0x0000, 0, 0},                                  // indicator title
        {2, 0, 0x0001, 1, 0},                                  // a title
        {1, first + 2, 0x0201, 0, 2},                          // data
        {0, first + 1, 0x0200, 0, 1},                          // indicator of a data row
        {1, first + records, 0x0301, 0, 0},                    // the footer spacer
        {1, first + records + 1, 0x0401, 0, 1},                // the first footer row
        {3, first + records + 3, 0x0401, 2, 3},                // the last footer row
    };
    for (const TCase& k : cases) {
        int c = k.Col, r = k.Row;
        EXPECT_EQ(G->GetCellType(c, r), k.Kind) << k.Col << "," << k.Row;
        EXPECT_EQ(c, k.ColOut);
        EXPECT_EQ(r, k.RowOut);
    }
    // The footers sit at the bottom: the spacer takes the room that is left.
    TRect last = G->CellRect(1, G->RowCount() - 1);
    EXPECT_LE(G->ClientHeight() - last.Bottom, 2);
}

TEST(GridRows, WithoutDataSourceOneEmptyRow)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* g = new TDBGridEh(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 300, 200);
    form.Show();
    GuiTest::ProcessEvents();
    g->RequestLayout();
    EXPECT_EQ(g->RowCount(), g->FirstDataRow() + 1);
    EXPECT_EQ(g->Columns()->Count(), 1) << "no fields, no columns: one empty column";
    g->SetFooterRowCount(2);
    EXPECT_EQ(g->RowCount(), g->FirstDataRow() + 4);
}

TEST(GridRows, BoundBeforeItHasAWindowShowsEveryRecordOnceShown)
{
    // A grid made with its data source, as the application's grids are,
    // has no window yet when the open data set arrives.
    GuiTest::Init();
    std::unique_ptr<TDataSet> ds = FiveStudents();
    TDataSource source;
    source.SetDataSet(ds.get());
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* g = new TDBGridEh(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 300, 200);
    g->SetDataSource(&source);
    form.Show();
    GuiTest::ProcessEvents();
    EXPECT_GT(g->DataLink()->BufferCount(), 5);
    EXPECT_EQ(g->RowCount(), g->FirstDataRow() + 5);
}

TEST_F(GridFixture, SmallClientStillBuffersOneRecord)
{
    G->SetBounds(0, 0, 300, 10);
    GuiTest::ProcessEvents();
    G->RequestLayout();
    EXPECT_EQ(G->DataLink()->BufferCount(), 1);
}

TEST_F(GridFixture, NestedLayoutRequestsRebuildOnce)
{
    int before = G->LayoutRebuildCount();
    G->LockLayout();
    G->SetRowHeight(30);
    G->SetFrozenCols(1);
    G->SetTitleHeight(5);
    EXPECT_EQ(G->LayoutRebuildCount(), before);
    G->UnlockLayout();
    EXPECT_EQ(G->LayoutRebuildCount(), before + 1);
    G->UnlockLayout();   // nothing held: nothing happens
    EXPECT_EQ(G->LayoutRebuildCount(), before + 1);
    G->LockPaint();
    G->RequestLayout();
    EXPECT_EQ(G->LayoutRebuildCount(), before + 1) << "a paint lock holds the rebuild back";
    G->UnlockPaint();
}

TEST_F(GridFixture, DefaultColumnsFollowTheFields)
{
    ASSERT_EQ(G->Columns()->Count(), Ds->FieldCount());
    EXPECT_EQ(G->Columns()->ColumnsState(), cssDefault);
    EXPECT_EQ(G->ColCount(), Ds->FieldCount() + 1);
    EXPECT_EQ(G->Columns()->Items(1)->Field(), Ds->FieldByName("Name"));
    // A hidden field has no column.
    Ds->FieldByName("Note")->SetVisible(false);
    EXPECT_EQ(G->Columns()->Count(), Ds->FieldCount() - 1);
    // Default columns write through to their fields.
    TColumnEh* name = G->Columns()->Items(1);
    name->SetAlignment(taRightJustify);
    EXPECT_EQ(Ds->FieldByName("Name")->Alignment(), taRightJustify);
    EXPECT_FALSE(name->AssignedValues().Contains(cvAlignment));
    name->Title()->SetCaption("姓名");
    EXPECT_EQ(Ds->FieldByName("Name")->DisplayLabel(), "姓名");
    // One stored column replaces every default one.
    TColumnEh* c = G->Columns()->Add();
    c->SetFieldName("Fee");
    EXPECT_EQ(G->Columns()->Count(), 1);
    EXPECT_EQ(G->Columns()->ColumnsState(), cssCustomized);
    EXPECT_EQ(G->Columns()->Items(0)->Field(), Ds->FieldByName("Fee"));
    EXPECT_EQ(G->ColCount(), 2);
}

TEST_F(GridFixture, FrozenColumnsCountHiddenOnes)
{
    for (const char* f : {"Id", "Name", "Passed", "Fee"}) G->Columns()->Add()->SetFieldName(f);
    G->Columns()->Items(0)->SetVisible(false);
    G->SetFrozenCols(2);
    EXPECT_EQ(G->FixedCols(), 1 + 3);
    EXPECT_EQ(G->ColWidths(1), -1) << "a hidden column hides its line with it";
    G->SetOptions(G->Options() - TDBGridOptions{dgColLines});
    EXPECT_EQ(G->ColWidths(1), 0);
}

TEST_F(GridFixture, FieldMapGrowsAndKeepsUnresolvedNames)
{
    TGridDataLinkEh* link = G->DataLink();
    link->ClearFieldMap();
    for (int i = 0; i < 9; ++i) link->MapField("Id");
    EXPECT_EQ(link->MapCapacity(), 16);
    EXPECT_EQ(link->MappedCount(), 9);
    link->ClearFieldMap();
    EXPECT_THROW(link->MapField("Nothing"), EDatabaseError) << "a default map raises for a missing field";
    G->Columns()->Add()->SetFieldName("Id");
    G->Columns()->Add()->SetFieldName("Nothing");
    EXPECT_EQ(link->MappedCount(), 2);
    EXPECT_EQ(link->MappedField(1), nullptr);
    EXPECT_FALSE(link->FieldsAreDefault());
    EXPECT_EQ(G->Columns()->Items(1)->Field(), nullptr);
}

TEST(ColumnModel, WidthsClampMaxFirstThenMin)
{
    TColumnEh c;
    c.SetMaxWidth(50);
    c.SetMinWidth(80);
    struct TCase {
        int Try, Expect;
    } cases[] = {{60, 80}, {100, 50}, {10, 80}};
    for (const TCase& k : cases) EXPECT_EQ(c.ClampedWidth(k.Try), k.Expect) << k.Try;
    c.SetWidth(100);
    EXPECT_EQ(c.Width(), 80);
    TColumnEh d;
    d.SetWidth(-1);
    EXPECT_FALSE(d.AssignedValues().Contains(cvWidth));
    EXPECT_EQ(d.Width(), 64) << "outside a grid";
}

TEST_F(GridFixture, ColumnDefaultsComeFromFieldAndGrid)
{
    TColumnEh* passed = G->Columns()->Items(2);
    ASSERT_EQ(passed->Field()->DataType(), ftBoolean);
    EXPECT_TRUE(passed->Checkboxes());
    EXPECT_FALSE(passed->AssignedValues().Contains(cvCheckboxes));
    TColumnEh* id = G->Columns()->Items(0);
    EXPECT_FALSE(id->Checkboxes());
    EXPECT_EQ(id->Alignment(), taRightJustify) << "a number field aligns right";
    G->SetColor(clYellow);
    EXPECT_EQ(id->Color(), clYellow);
    G->SetReadOnly(true);
    EXPECT_TRUE(id->ReadOnly());
    G->SetReadOnly(false);
    TColumnEh* stored = G->Columns()->Add();
    stored->SetFieldName("Name");
    stored->SetAlignment(taCenter);
    EXPECT_TRUE(stored->AssignedValues().Contains(cvAlignment));
    EXPECT_EQ(stored->Title()->Caption(), "Name");
    stored->Title()->SetCaption("姓名");
    EXPECT_EQ(stored->Title()->Caption(), "姓名");
    EXPECT_EQ(Ds->FieldByName("Name")->DisplayLabel(), "Name") << "a stored column keeps its caption";
}

TEST_F(GridFixture, CellValuesOfAColumn)
{
    TColumnEh* c = G->Columns()->Add();
    c->SetFieldName("Id");
    struct TCheck {
        int Id;
        std::vector<std::string> Keys;
        TCheckBoxState Expect;
    } checks[] = {
        {1, {"1;Y", "0;N"}, cbChecked},  {2, {"1;Y", "0;N"}, cbGrayed}, {3, {"3"}, cbChecked},
        {4, {"3"}, cbGrayed},             {4, {"1", "4;5"}, cbUnchecked},
    };
    for (const TCheck& k : checks) {
        Ds->Locate("Id", k.Id, {});
        TStringList keys;
        for (const std::string& s : k.Keys) keys.Add(s);
        c->SetKeyList(&keys);
        EXPECT_EQ(c->CellCheckState(), k.Expect) << k.Id;
    }
    // A key list maps values to pick-list texts.
    TStringList keys, pick;
    for (const char* s : {"1", "2", "3"}) keys.Add(s);
    for (const char* s : {"一", "二"}) pick.Add(s);
    c->SetKeyList(&keys);
    c->SetPickList(&pick);
    EXPECT_EQ(c->CellKind(), ckKeyList);
    Ds->Locate("Id", 2, {});
    EXPECT_EQ(c->CellDisplayText(), "二");
    Ds->Locate("Id", 3, {});
    EXPECT_EQ(c->CellDisplayText(), "") << "inside the key list, past the pick list";
    c->SetNotInKeyListIndex(0);
    Ds->Locate("Id", 5, {});
    EXPECT_EQ(c->CellDisplayText(), "一");
    c->SetKeyList(nullptr);
    EXPECT_EQ(c->CellKind(), ckPickList);
    // Display formats apply to numbers and dates only.
    c->SetPickList(nullptr);
    c->SetDisplayFormat("0.00");
    EXPECT_EQ(c->CellDisplayText(), "5.00");
    TColumnEh* name = G->Columns()->Add();
    name->SetFieldName("Name");
    name->SetDisplayFormat("0.00");
    EXPECT_EQ(name->CellDisplayText(), "");
    TColumnEh* date = G->Columns()->Add();
    date->SetFieldName("Enrolled");
    date->SetDisplayFormat("yyyy年mm月dd日");
    Ds->First();
    EXPECT_EQ(date->CellDisplayText(), "2026年03月01日");
}

TEST_F(GridFixture, CheckBoxWritesTheField)
{
    TColumnEh* passed = G->Columns()->Items(2);
    Ds->First();
    ASSERT_EQ(passed->CellCheckState(), cbChecked);
    passed->SetCellCheckState(cbUnchecked);
    Ds->Post();
    EXPECT_FALSE(Ds->FieldByName("Passed")->AsBoolean());
    G->SetReadOnly(true);
    passed->SetCellCheckState(cbChecked);
    EXPECT_EQ(Ds->State(), dsBrowse) << "a read-only grid writes nothing";
    EXPECT_FALSE(Ds->FieldByName("Passed")->AsBoolean());
}

TEST_F(GridFixture, CurrentRowFollowsTheRecord)
{
    auto many = ManyStudents(200);
    TGridHost host(many.get());
    TDBGridEh* G = host.Grid;
    int visible = G->DataLink()->RecordCount();
    ASSERT_GT(visible, 3);
    ASSERT_LT(visible, 200);
    EXPECT_EQ(G->Row(), G->FirstDataRow());
    many->MoveBy(2);
    EXPECT_EQ(G->Row(), G->FirstDataRow() + 2);
    many->MoveBy(100);
    EXPECT_EQ(many->RecNo(), 103);
    EXPECT_EQ(G->Row(), G->FirstDataRow() + G->DataLink()->ActiveRecord());
    EXPECT_EQ(G->Row(), G->FirstDataRow() + visible - 1) << "scrolling down keeps the record on the last row";
    many->Last();
    EXPECT_EQ(G->RowCount(), G->FirstDataRow() + visible);
}

TEST_F(GridFixture, AutoFitSharesTheClientWidth)
{
    G->Columns()->Clear();
    TColumnEh* a = G->Columns()->Add();
    a->SetFieldName("Id");
    a->SetWidth(100);
    TColumnEh* b = G->Columns()->Add();
    b->SetFieldName("Name");
    b->SetWidth(300);
    G->SetOptions(G->Options() - TDBGridOptions{dgIndicator, dgColLines});
    // The room is the client width, 400 here.
    G->SetBounds(0, 0, 400 + (G->Width() - G->ClientWidth()), 200);
    G->SetAutoFitColWidths(true);
    ASSERT_EQ(G->ClientWidth(), 400);
    EXPECT_EQ(a->Width(), 100);
    EXPECT_EQ(b->Width(), 300);
    a->SetMaxWidth(50);
    G->RequestLayout();
    EXPECT_EQ(a->Width(), 50);
    EXPECT_EQ(b->Width(), 350) << "the limited column's share goes to the other";
}

TEST_F(GridFixture, FitRowHeightToText)
{
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghFitRowHeightToText});
    TBitmap b(1, 1);
    b.Canvas()->Font()->Assign(G->Font());
    int h = b.Canvas()->TextHeight("Wg");
    int m = 3 + 1;   // the margin with row lines
    struct TCase {
        double Lines;
        int Expect;
    } cases[] = {{1.4, 1}, {1.6, 2}, {0.3, 1}, {2.2, 2}};
    for (const TCase& k : cases) {
        G->LockLayout();
        G->SetRowLines(0);
        G->SetRowHeight(int(std::lround(k.Lines * h)) + m);
        G->UnlockLayout();
        EXPECT_EQ(G->RowLines(), k.Expect) << k.Lines;
        EXPECT_EQ(G->DefaultRowHeight(), k.Expect * h + m) << k.Lines;
    }
}

} // namespace

namespace {

using namespace DBGridTest;

TEST_F(GridFixture, AssignCopiesColumnsAndMarksWhatItSets)
{
    TColumnEh* src = G->Columns()->Add();
    src->SetFieldName("Name");
    src->SetColor(clYellow);
    src->SetWidth(120);
    src->Title()->SetCaption("姓名");
    src->Title()->SetSortMarker(smUpEh);
    src->Footer()->SetValueType(fvtCount);
    TColumnEh* dst = G->Columns()->Add();
    dst->Assign(src);
    EXPECT_EQ(dst->FieldName(), "Name");
    EXPECT_EQ(dst->Color(), clYellow);
    EXPECT_EQ(dst->Width(), 120);
    EXPECT_EQ(dst->Title()->Caption(), "姓名");
    EXPECT_EQ(dst->Footer()->ValueType(), fvtCount);
    // Copied through their setters, defaults become assigned on the target.
    EXPECT_TRUE(dst->AssignedValues().Contains(cvEndEllipsis));
    EXPECT_TRUE(dst->AssignedValues().Contains(cvTitleButton));
    EXPECT_FALSE(dst->AssignedValues().Contains(cvAlignment));
    // Forgetting the assigned values brings the defaults back.
    dst->ResetToDefaults();
    EXPECT_EQ(dst->Color(), G->Color());
    EXPECT_EQ(dst->Title()->Caption(), "Name");
    EXPECT_TRUE(dst->AssignedValues().Empty());
    // An empty collection is default; a stored first column customizes it.
    G->Columns()->Clear();
    EXPECT_EQ(G->Columns()->ColumnsState(), cssDefault);
}

} // namespace

namespace {

using namespace DBGridTest;

TEST_F(GridFixture, EditorHooksAndDrawEvents)
{
    // Edit limits: a string field's size; numbers and key lists have none.
    struct TLimit {
        int Column;
        int Expect;
    } limits[] = {{0, 0}, {1, 20}, {5, 0}};
    for (const TLimit& k : limits) {
        G->SetSelectedIndex(k.Column);
        EXPECT_EQ(G->GetEditLimit(), k.Expect) << k.Column;
    }
    TStringList keys;
    keys.Add("x");
    G->Columns()->Items(1)->SetKeyList(&keys);
    G->SetSelectedIndex(1);
    EXPECT_EQ(G->GetEditLimit(), 0);
    EXPECT_EQ(G->GetEditText(G->Col(), G->Row()), "") << "a value outside the key list edits as empty";

    // OnDrawDataCell is raised only while the columns are the default ones.
    int dataCells = 0, columnCells = 0;
    G->OnDrawDataCell = [&](TObject*, const TRect&, TField*, TGridDrawState) { ++dataCells; };
    G->OnDrawColumnCell = [&](TObject*, const TRect&, int, TColumnEh*, TGridDrawState) { ++columnCells; };
    delete GuiTest::Grab(G);
    EXPECT_GT(dataCells, 0);
    EXPECT_EQ(dataCells, columnCells);
    G->Columns()->Add()->SetFieldName("Name");
    dataCells = columnCells = 0;
    delete GuiTest::Grab(G);
    EXPECT_EQ(dataCells, 0);
    EXPECT_GT(columnCells, 0);
}

} // namespace
