// The filter row: the settings of the grid and its columns, matching
// records against the column filters, and editing the filter cells on a
// headless grid with keys, mouse and the drop-down list.
#include "DBGridEh.h"
#include "DBGridEhFilter.h"
#include "DBGridTesting.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace DBGridTest;
using DBGridEhFilter::LikeMatches;
using DBGridEhFilter::TermMatches;

// ---- matching ----------------------------------------------------------------------------------------

TEST(FilterMatching, LikePatterns)
{
    struct {
        const char* Text;
        const char* Pattern;
        bool Match;
    } cases[] = {
        {"Smith", "Sm%", true},   {"smith", "SM%", true},  {"Smith", "Sm", false},
        {"Smith", "%th", true},   {"Smith", "S_ith", true}, {"Smith", "S_th", false},
        {"Smith", "%", true},     {"", "%", true},          {"", "_", false},
        {"王小明", "王%", true},  {"王小明", "_小_", true},  {"王小明", "%明", true},
        {"aXbXc", "%X%X%", true}, {"aXb", "%X%X%", false},  {"abc", "a%c%", true},
        // Wildcards stay wildcards where the text holds the same characters.
        {"%0", "%", true},        {"a%b", "a%", true},      {"50%", "%0%", true},
        {"_x", "_", false},       {"%", "%%", true},        {"a_", "a%_", true},
    };
    for (const auto& c : cases) EXPECT_EQ(LikeMatches(c.Text, c.Pattern), c.Match) << c.Text << " ~ " << c.Pattern;
}

TEST(FilterMatching, TermsByValueKind)
{
    const Variant null = Null();
    struct {
        TFilterLexemeEh Op;
        Variant Operand;
        Variant Value;
        TFilterValueKindEh Kind;
        bool Match;
    } cases[] = {
        {flEqual, Variant(5.0), Variant(5), fvkNumberEh, true},
        {flGreater, Variant(5.0), Variant(10), fvkNumberEh, true},
        {flGreater, Variant(5.0), Variant(5), fvkNumberEh, false},
        {flLessOrEqual, Variant(5.0), Variant(5), fvkNumberEh, true},
        // Numbers compare as numbers, not as text ("10" < "9" as text).
        {flLess, Variant(9.0), Variant(10), fvkNumberEh, false},
        {flEqual, Variant("abc"), Variant("ABC"), fvkStringEh, true},
        {flNotEqual, Variant("abc"), Variant("abd"), fvkStringEh, true},
        {flIn, VarArrayOf({Variant(1.0), Variant(3.0)}), Variant(3), fvkNumberEh, true},
        {flNotIn, VarArrayOf({Variant(1.0), Variant(3.0)}), Variant(3), fvkNumberEh, false},
        {flNotIn, VarArrayOf({Variant(1.0), Variant(3.0)}), Variant(2), fvkNumberEh, true},
        {flLike, Variant("王%"), Variant("王小明"), fvkStringEh, true},
        {flNotLike, Variant("王%"), Variant("李华"), fvkStringEh, true},
        {flNull, null, null, fvkStringEh, true},
        {flNull, null, Variant("x"), fvkStringEh, false},
        {flNotNull, null, Variant("x"), fvkStringEh, true},
        // An empty field satisfies no comparison but the negative ones.
        {flEqual, Variant(0.0), null, fvkNumberEh, false},
        {flGreater, Variant(-1.0), null, fvkNumberEh, false},
        {flNotEqual, Variant(0.0), null, fvkNumberEh, true},
        {flGreater, Variant::FromDate(EncodeDate(2026, 3, 2)), Variant::FromDate(EncodeDate(2026, 3, 3)),
         fvkDateTimeEh, true},
        // A value that is no number compares as text rather than failing.
        {flEqual, Variant(5.0), Variant("5"), fvkNumberEh, true},
        {flEqual, Variant(5.0), Variant("abc"), fvkNumberEh, false},
    };
    int i = 0;
    for (const auto& c : cases) EXPECT_EQ(TermMatches(c.Op, c.Operand, c.Value, c.Kind), c.Match) << "case " << i++;
}

// ---- column filters --------------------------------------------------------------------------------

// Students with a coach looked up by key from a list of coaches.
struct TCoachedStudents {
    std::unique_ptr<TDataSet> Coaches;
    std::unique_ptr<TDataSource> CoachSource;
    std::unique_ptr<TDataSet> Ds;
    TCoachedStudents()
    {
        Coaches = std::make_unique<TDataSet>();
        Coaches->FieldDefs()->Add("CoachId", ftInteger);
        Coaches->FieldDefs()->Add("CoachName", ftString, 20);
        Coaches->CreateDataSet();
        Coaches->AppendRecord({1, "周教练"});
        Coaches->AppendRecord({2, "吴教练"});
        Coaches->AppendRecord({3, "郑教练"});
        Coaches->First();
        CoachSource = std::make_unique<TDataSource>();
        CoachSource->SetDataSet(Coaches.get());
        Ds = std::make_unique<TDataSet>();
        Ds->FieldDefs()->Add("Id", ftInteger);
        Ds->FieldDefs()->Add("Name", ftString, 20);
        Ds->FieldDefs()->Add("CoachId", ftInteger);
        auto* id = new TIntegerField(Ds.get());
        id->SetFieldName("Id");
        id->SetDataSet(Ds.get());
        auto* name = new TStringField(Ds.get());
        name->SetFieldName("Name");
        name->SetDataSet(Ds.get());
        auto* coachId = new TIntegerField(Ds.get());
        coachId->SetFieldName("CoachId");
        coachId->SetDataSet(Ds.get());
        auto* coach = new TStringField(Ds.get());
        coach->SetFieldName("Coach");
        coach->SetFieldKind(fkLookup);
        coach->SetKeyFields("CoachId");
        coach->SetLookupDataSet(Coaches.get());
        coach->SetLookupKeyFields("CoachId");
        coach->SetLookupResultField("CoachName");
        coach->SetDataSet(Ds.get());
        Ds->CreateDataSet();
        Ds->AppendRecord({1, "王小明", 1});
        Ds->AppendRecord({2, "李华", 2});
        Ds->AppendRecord({3, "张伟", 1});
        Ds->AppendRecord({4, "赵丽", Null()});
        Ds->First();
    }
};

std::vector<int> VisibleIds(TDataSet* ds)
{
    std::vector<int> ids;
    for (ds->First(); !ds->Eof(); ds->Next()) ids.push_back(ds->FieldByName("Id")->AsInteger());
    ds->First();
    return ids;
}

TEST(ColumnFilter, FieldNamesFollowALookupFieldUnlessSet)
{
    GuiTest::Init();
    TCoachedStudents s;
    TGridHost host(s.Ds.get());
    TColumnEh* name = host.Grid->Columns()->Items(1);
    TColumnEh* coach = host.Grid->Columns()->Items(3);
    ASSERT_EQ(coach->FieldName(), "Coach");
    TSTColumnFilterEh* f = coach->STFilter();
    EXPECT_EQ(f->FilterFieldName(), "CoachId");
    EXPECT_EQ(f->KeyFieldNames(), "CoachId");
    EXPECT_EQ(f->ListFieldName(), "CoachName");
    EXPECT_EQ(f->ListDataSet(), s.Coaches.get());
    EXPECT_EQ(name->STFilter()->FilterFieldName(), "Name");
    EXPECT_EQ(name->STFilter()->KeyFieldNames(), "");
    EXPECT_EQ(name->STFilter()->ListDataSet(), nullptr);
    f->SetDataField("Other");
    f->SetKeyField("K");
    f->SetListField("L");
    EXPECT_EQ(f->FilterFieldName(), "Other");
    EXPECT_EQ(f->KeyFieldNames(), "K");
    EXPECT_EQ(f->ListFieldName(), "L");
}

TEST(ColumnFilter, AListFilterLooksUpTheKeysOfTheTextTyped)
{
    GuiTest::Init();
    TCoachedStudents s;
    TGridHost host(s.Ds.get());
    TSTColumnFilterEh* f = host.Grid->Columns()->Items(3)->STFilter();
    struct {
        const char* Text;
        TFilterLexemeEh Op;
        Variant Keys;
    } cases[] = {
        {"周教练", flIn, Variant(1)},
        {"无此人", flNull, Null()},   // names no entry: filters for an empty field
        {"", flNone, Null()},
    };
    for (const auto& c : cases) {
        f->SetExpressionText(c.Text);
        EXPECT_EQ(f->ExpressionText(), c.Text);
        EXPECT_EQ(f->ParsedExpression().FirstOp, c.Op) << c.Text;
        EXPECT_TRUE(VarSameValue(f->KeyValues(), c.Keys)) << c.Text;
        EXPECT_TRUE(VarSameValue(f->FilterOperand1(), c.Keys)) << c.Text;
    }
    EXPECT_EQ(s.Coaches->RecNo(), 1) << "looking up leaves the list where it was";
}

TEST(ColumnFilter, AssignCopiesTheSettingsButNotTheText)
{
    TDataSource src;
    TSTColumnFilterEh a, b;
    a.SetDataField("D");
    a.SetKeyField("K");
    a.SetListField("L");
    a.SetListSource(&src);
    a.SetVisible(false);
    a.StoreExpressionText("abc");
    b.Assign(&a);
    EXPECT_EQ(b.DataField(), "D");
    EXPECT_EQ(b.KeyField(), "K");
    EXPECT_EQ(b.ListField(), "L");
    EXPECT_EQ(b.ListSource(), &src);
    EXPECT_FALSE(b.Visible());
    EXPECT_EQ(b.ExpressionText(), "");
    EXPECT_TRUE(b.HasDropDownButton());
}

TEST(ColumnFilter, AMalformedTextRaisesWithTheText)
{
    GuiTest::Init();
    auto ds = FiveStudents();
    TGridHost host(ds.get());
    TSTColumnFilterEh* f = host.Grid->Columns()->Items(0)->STFilter();
    try {
        f->SetExpressionText("In 'A'");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "'(' expected: In 'A'");
    }
    EXPECT_THROW(f->SetExpressionText("> abc"), EConvertError) << "not a number on a number column";
}

// ---- the grid filters its records ------------------------------------------------------------------

TEST(GridFilter, AppliedTextsFilterTheRecords)
{
    GuiTest::Init();
    TCoachedStudents s;
    TGridHost host(s.Ds.get());
    TDBGridEh* g = host.Grid;
    g->STFilter()->SetVisible(true);
    struct {
        int Col;
        const char* Text;
        std::vector<int> Ids;
    } steps[] = {
        {0, "> 1", {2, 3, 4}},
        {1, "~ 张%", {3}},                  // and the Name column's filter
        {1, "", {2, 3, 4}},
        {0, ">= 2 AND < 4", {2, 3}},
        {0, "In (1,4)", {1, 4}},
        {0, "", {1, 2, 3, 4}},
        {3, "周教练", {1, 3}},               // a lookup column filters by the coach's key
        {3, "无此人", {4}},                  // unknown: the records without a coach
        {3, "", {1, 2, 3, 4}},
        {1, "李华", {2}},                    // a bare text on a string column
    };
    for (const auto& st : steps) {
        SCOPED_TRACE(st.Text);
        g->Columns()->Items(st.Col)->STFilter()->SetExpressionText(st.Text);
        g->STFilter()->ApplyGridFilter();
        EXPECT_EQ(VisibleIds(s.Ds.get()), st.Ids);
    }
    g->STFilter()->ClearGridFilter();
    g->STFilter()->ApplyGridFilter();
    EXPECT_EQ(VisibleIds(s.Ds.get()), (std::vector<int>{1, 2, 3, 4}));
}

TEST(GridFilter, TheDataSetsOwnFilterStillHolds)
{
    GuiTest::Init();
    auto ds = FiveStudents();
    ds->OnFilterRecord = [](TDataSet* d, bool& accept) { accept = d->FieldByName("Passed")->AsBoolean(); };
    ds->SetFiltered(true);
    {
        TGridHost host(ds.get());
        host.Grid->Columns()->Items(0)->STFilter()->SetExpressionText("> 1");
        host.Grid->STFilter()->ApplyGridFilter();
        EXPECT_EQ(VisibleIds(ds.get()), (std::vector<int>{3, 5}));
    }
    // With the grid gone the data set has its own filter back.
    EXPECT_TRUE(ds->Filtered());
    EXPECT_EQ(VisibleIds(ds.get()), (std::vector<int>{1, 3, 5}));
}

TEST(GridFilter, HandlersTakeOverAndTheViewIsRestoredWhenTheyFail)
{
    GuiTest::Init();
    auto ds = ManyStudents(30);
    TGridHost host(ds.get(), 300, 200);
    TDBGridEh* g = host.Grid;
    g->STFilter()->SetVisible(true);
    g->SumList()->SetActive(true);
    int applied = 0;
    g->OnApplyFilter = [&](TObject*) {
        ++applied;
        throw Exception("refused");
    };
    g->SetLeftCol(2);
    EXPECT_THROW(g->STFilter()->ApplyGridFilter(), Exception);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(g->LeftCol(), 2);
    EXPECT_FALSE(ds->Filtered()) << "the grid's own filter did not run";
    // The data service's handler comes before the grid's own filter.
    g->OnApplyFilter = nullptr;
    int serviced = 0;
    DBGridEh::DataService()->FilterHandler = [&](TCustomDBGridEh*) { ++serviced; };
    g->STFilter()->ApplyGridFilter();
    DBGridEh::DataService()->FilterHandler = nullptr;
    EXPECT_EQ(serviced, 1);
    EXPECT_FALSE(ds->Filtered());
}

// ---- the filter row on the grid --------------------------------------------------------------------

class FilterRow : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        Ds = FiveStudents();
        Host = std::make_unique<TGridHost>(Ds.get(), 600, 300);
        G = Host->Grid;
        F = G->STFilter();
        F->SetVisible(true);
        G->SetFocus();
        GuiTest::ProcessEvents();
    }
    TPoint CellCentre(int col, int row) const
    {
        TRect r = G->CellRect(col, row);
        return Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void ClickFilterCell(int dataCol)
    {
        GuiTest::Click(G, CellCentre(dataCol + G->IndicatorColCount(), G->FirstDataRow() - 1));
        GuiTest::ProcessEvents();
    }
    TInplaceFilterEditEh* Editor() const { return F->FilterEditor(); }
    std::unique_ptr<TDataSet> Ds;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
    TSTDBGridEhFilter* F = nullptr;
};

TEST_F(FilterRow, ShowingItAddsARowUnderTheTitles)
{
    EXPECT_EQ(G->FirstDataRow(), 2);
    int c = G->IndicatorColCount(), r = 1;
    EXPECT_EQ(G->GetCellType(c, r) >> 8, 1);
    EXPECT_TRUE(F->IsFilterRow(1));
    F->SetVisible(false);
    EXPECT_EQ(G->FirstDataRow(), 1);
    EXPECT_FALSE(F->IsFilterRow(0));
}

TEST_F(FilterRow, ClickingACellOpensTheEditorOverIt)
{
    ClickFilterCell(1);
    ASSERT_NE(Editor(), nullptr);
    EXPECT_TRUE(F->FilterEditorActive());
    EXPECT_EQ(F->FilterCol(), 1);
    EXPECT_TRUE(Editor()->Visible());
    EXPECT_TRUE(Editor()->Focused());
    TRect cell = G->CellRect(2, 1);
    EXPECT_EQ(Editor()->Left(), cell.Left + 1);
    EXPECT_EQ(Editor()->Top(), cell.Top);
    EXPECT_EQ(Editor()->Width(), cell.Right - cell.Left - 1);
    EXPECT_EQ(Editor()->Font()->Color(), clBlue);
    EXPECT_FALSE(Editor()->DropDownButtonVisible()) << "no list source";
    // A press in the data cells closes the editor and goes on as usual.
    GuiTest::Click(G, CellCentre(2, G->FirstDataRow() + 2));
    EXPECT_FALSE(F->FilterEditorActive());
    EXPECT_FALSE(Editor()->Visible());
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 3);
    ClickFilterCell(1);
    ASSERT_TRUE(Editor()->Visible());
    // A column whose filter cell is hidden opens nothing.
    G->Columns()->Items(2)->STFilter()->SetVisible(false);
    ClickFilterCell(2);
    EXPECT_EQ(F->FilterCol(), 1);
}

TEST_F(FilterRow, TypingAndEnterFilters)
{
    ClickFilterCell(0);
    GuiTest::TypeText("> 3");
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_EQ(G->Columns()->Items(0)->STFilter()->ExpressionText(), "> 3");
    EXPECT_EQ(VisibleIds(Ds.get()), (std::vector<int>{4, 5}));
    EXPECT_TRUE(Editor()->Visible()) << "the editor stays for the next text";
    EXPECT_EQ(F->FilterCellText(0), "> 3");
}

TEST_F(FilterRow, KeysMoveBetweenTheFilterCells)
{
    G->Columns()->Items(2)->STFilter()->SetVisible(false);   // skipped by every move
    const int last = G->Columns()->Count() - 1;
    // Texts typed stay valid for their columns (Id a number, Name a text).
    struct {
        int From;
        const char* Text;   // typed first; the caret ends after it
        WORD Key;
        TShiftState Shift;
        int To;
    } cases[] = {
        {0, "12", VK_RIGHT, {}, 1},   // at the end of the text
        {1, "", VK_RIGHT, {}, 3},     // over the hidden cell
        {last, "", VK_RIGHT, {}, 0},  // wraps to the first
        {0, "", VK_LEFT, {}, last},   // and back
        {3, "", VK_LEFT, {}, 1},
        {1, "", VK_END, {}, last},
        {3, "", VK_HOME, {}, 0},
        {1, "ab", VK_HOME, {ssCtrl}, 0},
        {0, "12", VK_END, {ssCtrl}, last},
        {0, "", VK_TAB, {}, 1},
        {1, "", VK_TAB, {ssShift}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.From) + " key " + std::to_string(c.Key));
        F->OpenFilterEditor(c.From);
        GuiTest::ProcessEvents();
        if (*c.Text) {
            GuiTest::TypeText(c.Text);
            Editor()->SetSelStart(Length(Editor()->Text()));
            Editor()->SetSelLength(0);
        }
        GuiTest::KeyPress(c.Key, c.Shift);
        GuiTest::ProcessEvents();
        EXPECT_EQ(F->FilterCol(), c.To);
        EXPECT_TRUE(Editor()->Visible());
    }
    // In the middle of the text Left and Right move the caret.
    F->OpenFilterEditor(0);
    GuiTest::TypeText("123");
    Editor()->SetSelStart(1);
    Editor()->SetSelLength(0);
    GuiTest::KeyPress(VK_RIGHT);
    EXPECT_EQ(F->FilterCol(), 0);
    EXPECT_EQ(Editor()->SelStart(), 2);
    GuiTest::KeyPress(VK_LEFT);
    GuiTest::KeyPress(VK_LEFT);
    EXPECT_EQ(F->FilterCol(), 0);
}

TEST_F(FilterRow, UpEntersAndDownLeaves)
{
    // Up on the first record opens the filter cell of the current column.
    G->SetSelectedIndex(1);
    GuiTest::KeyPress(VK_UP);
    GuiTest::ProcessEvents();
    ASSERT_TRUE(F->FilterEditorActive());
    EXPECT_EQ(F->FilterCol(), 1);
    // Up inside the filter row does nothing.
    GuiTest::KeyPress(VK_UP);
    EXPECT_TRUE(F->FilterEditorActive());
    // Plain Down goes back to the record in the first data row.
    F->CloseFilterEditor();
    Ds->MoveBy(2);
    GuiTest::KeyPress(VK_UP, {ssCtrl});   // Ctrl+Up opens from any record
    GuiTest::ProcessEvents();
    ASSERT_TRUE(F->FilterEditorActive());
    GuiTest::KeyPress(VK_DOWN, {ssCtrl});
    GuiTest::ProcessEvents();
    EXPECT_FALSE(F->FilterEditorActive());
    EXPECT_FALSE(Editor()->Visible());
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 3) << "Ctrl+Down keeps the record";
    GuiTest::KeyPress(VK_UP, {ssCtrl});
    GuiTest::ProcessEvents();
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::ProcessEvents();
    EXPECT_FALSE(F->FilterEditorActive());
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 1) << "Down goes to the first row shown";
    EXPECT_EQ(G->SelectedIndex(), 1);
}

// A column filter with a list of values drops down special items above them.
class FilterRowList : public FilterRow {
protected:
    void SetUp() override
    {
        FilterRow::SetUp();
        NameSource = std::make_unique<TDataSource>();
        NameSource->SetDataSet(Ds.get());
        G->Columns()->Items(1)->STFilter()->SetListSource(NameSource.get());
    }
    std::vector<std::string> Items() const
    {
        std::vector<std::string> v;
        for (int i = 0; i < Editor()->Items()->Count(); ++i) v.push_back(Editor()->Items()->Strings(i));
        return v;
    }
    void Pick(const std::string& item)
    {
        Editor()->OpenDropDown();
        int i = Editor()->Items()->IndexOf(item);
        ASSERT_GE(i, 0) << item;
        // From the top of the list, wherever the box's text put it.
        for (int k = 0; k < 3; ++k) GuiTest::KeyPress(VK_PRIOR);
        for (int k = 0; k < i; ++k) GuiTest::KeyPress(VK_DOWN);
        GuiTest::KeyPress(VK_RETURN);
        GuiTest::ProcessEvents();
    }
    std::unique_ptr<TDataSource> NameSource;
};

TEST_F(FilterRowList, TheListHoldsTheSpecialItemsAndTheValues)
{
    ClickFilterCell(1);
    ASSERT_TRUE(Editor()->DropDownButtonVisible());
    Ds->MoveBy(3);
    Editor()->OpenDropDown();
    std::vector<std::string> items = Items();
    std::vector<std::string> expect = {"(Clear filter)", "(All)", "(Not empty)", "(Empty)"};
    ASSERT_GE(items.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(items.begin(), items.begin() + 4), expect);
    EXPECT_EQ(items.size(), 9u) << "the five names follow";
    EXPECT_EQ(Ds->FieldByName("Id")->AsInteger(), 4) << "the list leaves the data set where it was";
    EXPECT_EQ(Editor()->DropDownBox()->Rows(), 17);
    EXPECT_EQ(Editor()->DropDownBox()->Width(), 100);
    Editor()->CloseUp(false);
    // With sorting by title buttons the sort items come first.
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghAutoSortMarking});
    G->Columns()->Items(1)->Title()->SetTitleButton(true);
    Editor()->Items()->Clear();
    Editor()->OpenDropDown();
    items = Items();
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[0], "(Order by descending)");
    EXPECT_EQ(items[1], "(Order by ascending)");
    EXPECT_EQ(items[2], "-");
    Editor()->CloseUp(false);
}

TEST_F(FilterRowList, ChineseTypedInTheEditorCompletesFromTheValues)
{
    ClickFilterCell(1);
    Editor()->OpenDropDown();
    Editor()->CloseUp(false);
    GuiTest::ProcessEvents();
    GuiTest::TypeText("张");
    EXPECT_EQ(Editor()->Text(), "张伟");
    EXPECT_EQ(Editor()->SelStart(), 1);
    EXPECT_EQ(Editor()->SelLength(), 1);
    GuiTest::KeyPress(VK_RETURN);
    GuiTest::ProcessEvents();
    EXPECT_EQ(VisibleIds(Ds.get()), (std::vector<int>{3}));
}

TEST_F(FilterRowList, PickingASpecialItem)
{
    G->SetOptionsEh(G->OptionsEh() + TDBGridEhOptions{dghAutoSortMarking});
    G->Columns()->Items(1)->Title()->SetTitleButton(true);
    G->Columns()->Items(0)->Title()->SetSortMarker(smUpEh);
    int sorted = 0;
    G->OnSortMarkingChanged = [&](TObject*) { ++sorted; };
    struct {
        const char* Item;
        bool OnPick;
        const char* EditorText;
        std::vector<int> Ids;   // after the pick
    } cases[] = {
        {"(Empty)", false, "=Null", {1, 2, 3, 4, 5}},   // waits for Enter
        {"(Not empty)", true, "<>Null", {1, 2, 3, 4, 5}},
        {"(Empty)", true, "=Null", {}},                  // filters at once
        {"(All)", true, "", {1, 2, 3, 4, 5}},
        {"李华", true, "李华", {2}},                     // a value
        {"(Clear filter)", false, "", {1, 2, 3, 4, 5}},   // refilters in any case
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Item);
        F->SetApplyFilterOnPick(c.OnPick);
        F->OpenFilterEditor(1);
        GuiTest::ProcessEvents();
        Editor()->Items()->Clear();
        Pick(c.Item);
        if (std::string(c.Item) != "(Clear filter)") EXPECT_EQ(Editor()->Text(), c.EditorText);
        EXPECT_EQ(VisibleIds(Ds.get()), c.Ids);
    }
    EXPECT_EQ(G->Columns()->Items(1)->STFilter()->ExpressionText(), "");
    EXPECT_EQ(sorted, 0);
    // The sort items sort by this column alone, the filter text untouched.
    F->OpenFilterEditor(1);
    GuiTest::TypeText("王%");
    Editor()->Items()->Clear();
    Pick("(Order by descending)");
    EXPECT_EQ(G->Columns()->Items(0)->Title()->SortMarker(), smNoneEh);
    EXPECT_EQ(G->Columns()->Items(1)->Title()->SortMarker(), smUpEh);
    EXPECT_EQ(sorted, 1);
    EXPECT_EQ(Editor()->Text(), "王%");
    Editor()->Items()->Clear();
    Pick("(Order by ascending)");
    EXPECT_EQ(G->Columns()->Items(1)->Title()->SortMarker(), smDownEh);
    EXPECT_EQ(sorted, 2);
    Editor()->Items()->Clear();
    Pick("-");
    EXPECT_EQ(sorted, 2);
    EXPECT_EQ(Editor()->Text(), "王%");
}

TEST_F(FilterRowList, PaintsTheTextsInTheFilterRow)
{
    G->Columns()->Items(0)->STFilter()->SetExpressionText("<= 4");
    G->Columns()->Items(1)->STFilter()->SetExpressionText("<> 张伟");
    G->STFilter()->ApplyGridFilter();
    EXPECT_EQ(VisibleIds(Ds.get()), (std::vector<int>{1, 2, 4}));
    ClickFilterCell(2);
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Host->Form.get()));
    ASSERT_TRUE(shot);
    GuiTest::SavePng(shot.get(), "filter_row.png");
    // The filter row is one eighth brighter than the fixed colour, with blue text.
    TRect cell = G->CellRect(1, 1);
    EXPECT_EQ(GuiTest::PixelAt(G, Point(cell.Right - 3, cell.Top + 3)), DBGridEh::BrightenColor(G->FixedColor(), 8));
    bool blue = false;
    for (int x = cell.Left; x < cell.Right && !blue; ++x)
        for (int y = cell.Top; y < cell.Bottom && !blue; ++y) blue = GuiTest::PixelAt(G, Point(x, y)) == clBlue;
    EXPECT_TRUE(blue);
}

} // namespace
