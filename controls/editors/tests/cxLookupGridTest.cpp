#include "GuiTesting.h"
#include "cxEditDataRegisteredRepositoryItems.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxLookupGrid.h"
#include "cxTextEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kNames[] = {"张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊", "赵敏", "黄强", "周杰", "吴昊",
                              "徐丽", "孙涛", "马超", "朱琳", "胡斌", "郭鹏", "何倩", "高翔", "林峰", "罗丹"};

// A lookup grid on a form, with a number and a name column over rows of
// its own data controller; the client holds eight whole rows and half of
// a ninth.
class LookupGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 360);
        Grid = static_cast<TcxCustomLookupGrid*>(TcxCustomLookupGrid::StaticClass()->Create(Form));
        Grid->SetParent(Form);
        Grid->Font()->SetName("宋体");
        Grid->Font()->SetSize(10);
        Grid->Columns()->Add()->SetCaption("编号");
        Grid->Columns()->Add()->SetCaption("姓名");
        DC()->ChangeValueTypeClass(0, TcxIntegerValueType::Class());
        DC()->ChangeValueTypeClass(1, TcxStringValueType::Class());
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void TearDown() override
    {
        delete Form;
        GuiTest::ProcessEvents();
    }
    TcxCustomDataController* DC() { return Grid->DataController(); }
    void Fill(int ACount)
    {
        DC()->BeginUpdate();
        DC()->SetRecordCount(ACount);
        for (int i = 0; i < ACount; ++i) {
            DC()->SetValue(i, 0, Variant(i + 1));
            DC()->SetValue(i, 1, Variant(kNames[i % 20]));
        }
        DC()->EndUpdate();
    }
    // Sizes the grid so that its rows area holds ARows whole rows and half a row.
    void SizeForRows(int ARows, bool AHalf = true)
    {
        Grid->SetBounds(10, 10, 300, 100);
        GuiTest::ProcessEvents();
        const int step = Grid->ViewInfo()->GetRowStep();
        const int border = Grid->GetBorderWidth();
        Grid->SetBounds(10, 10, 300,
                        2 * border + Grid->ViewInfo()->GetHeaderHeight() + ARows * step + (AHalf ? step / 2 : 0));
        GuiTest::ProcessEvents();
    }
    std::vector<int> LaidOutRows()
    {
        std::vector<int> r;
        for (int i = 0; i < Grid->ViewInfo()->VisibleRowCount; ++i) r.push_back(Grid->ViewInfo()->Rows[size_t(i)]->RowIndex);
        return r;
    }
    TPoint RowCentre(int ARowIndex, int AColumn = 1)
    {
        TcxLookupGridRowViewInfo* row = Grid->ViewInfo()->FindRow(ARowIndex);
        EXPECT_NE(row, nullptr) << "row " << ARowIndex << " not laid out";
        if (!row) return TPoint{-1, -1};
        const TRect& c = row->Cells[size_t(AColumn)]->Bounds;
        return TPoint{(c.Left + c.Right) / 2, (c.Top + c.Bottom) / 2};
    }
    void Key(WORD AKey, TShiftState AShift = {})
    {
        WORD k = AKey;
        Grid->DoKeyDown(k, AShift);
    }
    TForm* Form = nullptr;
    TcxCustomLookupGrid* Grid = nullptr;
};

std::vector<int> Range(int AFrom, int ATo)
{
    std::vector<int> r;
    for (int i = AFrom; i <= ATo; ++i) r.push_back(i);
    return r;
}

}  // namespace

TEST_F(LookupGridTest, TopRowKeepsTheLastRowAtTheBottom)
{
    struct Case {
        int Rows, WantedTop, Top;
        std::vector<int> Shown;
    };
    const Case cases[] = {
        {20, 0, 0, Range(0, 7)},
        {20, 5, 5, Range(5, 12)},
        {20, 18, 12, Range(12, 19)},   // no space left below the last row
        {20, 40, 12, Range(12, 19)},
        {20, -3, 0, Range(0, 7)},
        {3, 2, 0, Range(0, 2)},        // fewer rows than room: all from the top
        {0, 0, 0, {}},
    };
    SizeForRows(8);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Rows) + " rows, top " + std::to_string(c.WantedTop));
        Fill(c.Rows);
        Grid->SetTopRowIndex(0);
        Grid->SetTopRowIndex(c.WantedTop);
        EXPECT_EQ(Grid->TopRowIndex(), c.Top);
        EXPECT_EQ(LaidOutRows(), c.Shown);
    }
    // Outside grid mode the bar is the row range, a thumb track sets the top
    // row and a position change alone does not.
    Fill(20);
    Grid->SetTopRowIndex(0);
    int pos = 4;
    Grid->Scroll(sbVertical, scTrack, pos);
    EXPECT_EQ(Grid->TopRowIndex(), 4);
    pos = 9;
    Grid->Scroll(sbVertical, scPosition, pos);
    EXPECT_EQ(Grid->TopRowIndex(), 4);
    EXPECT_EQ(pos, 4);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Grid->VScrollBar()->Data.Max, 19);
    EXPECT_EQ(Grid->VScrollBar()->Data.PageSize, 8);
    EXPECT_EQ(Grid->VScrollBar()->Data.Position, 4);
    // Twenty rows: eight whole ones and the half of a ninth are laid out.
    Fill(20);
    Grid->SetTopRowIndex(0);
    EXPECT_EQ(Grid->ViewInfo()->VisibleRowCount, 8);
    EXPECT_EQ(Grid->ViewInfo()->PartialVisibleRowCount, 9);
    EXPECT_TRUE(IsRectEmpty(Grid->ViewInfo()->EmptyRectBottom));
}

TEST_F(LookupGridTest, FewRowsLeaveTheRestInTheGridColour)
{
    SizeForRows(5, false);
    Fill(3);
    TcxLookupGridViewInfo* vi = Grid->ViewInfo();
    EXPECT_EQ(LaidOutRows(), Range(0, 2));
    const TRect client = Grid->GetClientBounds();
    EXPECT_EQ(vi->EmptyRectBottom, (TRect{client.Left, vi->RowsRect.Bottom, client.Right, client.Bottom}));
    // Scrolling down has nothing to show.
    int pos = 0;
    Grid->Scroll(sbVertical, scLineDown, pos);
    Grid->Scroll(sbVertical, scPageDown, pos);
    EXPECT_EQ(Grid->TopRowIndex(), 0);
    EXPECT_EQ(pos, 0);
    // The empty area is painted in the grid's colour.
    Grid->SetColor(clInfoBk);
    GuiTest::ProcessEvents();
    TPoint below{(client.Left + client.Right) / 2, (vi->EmptyRectBottom.Top + vi->EmptyRectBottom.Bottom) / 2};
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Grid, below)), ColorToRGB(clInfoBk));
}

TEST_F(LookupGridTest, WithoutColumnsThereIsNeitherHeaderNorRow)
{
    Fill(5);
    Grid->Columns()->Clear();
    GuiTest::ProcessEvents();
    EXPECT_EQ(DC()->GetItemCount(), 0);
    TcxLookupGridViewInfo* vi = Grid->ViewInfo();
    EXPECT_TRUE(IsRectEmpty(vi->HeadersRect));
    EXPECT_TRUE(vi->Rows.empty());
    EXPECT_EQ(Grid->GetHitInfo(TPoint{20, 10}).HitKind, lghtNone);
}

TEST_F(LookupGridTest, HeightsForTheDropDown)
{
    Fill(10);
    const int step = Grid->ViewInfo()->GetRowStep();
    const int header = Grid->ViewInfo()->GetHeaderHeight();
    ASSERT_GT(step, 1);
    struct Case {
        int Height, Expected;
    };
    const Case cases[] = {
        {header + 3 * step + step / 2, header + 3 * step},   // three and a half rows: three
        {header + step - 1, header + step},                  // below one row: one
        {0, header + step},
        {header + 40 * step, header + 10 * step},            // no more than there are rows
    };
    for (const Case& c : cases) EXPECT_EQ(Grid->AdjustHeight(c.Height), c.Expected) << c.Height;
    EXPECT_EQ(Grid->GetHeightForRows(4), header + 4 * step);
    // A drop-down asks before its grid has a window: measured the same.
    {
        std::unique_ptr<TcxCustomLookupGrid> loose(
            static_cast<TcxCustomLookupGrid*>(TcxCustomLookupGrid::StaticClass()->Create(nullptr)));
        loose->SetIsPopupControl(true);
        loose->Font()->Assign(Grid->Font());
        loose->Columns()->Assign(Grid->Columns());
        loose->DataController()->SetRecordCount(10);
        EXPECT_FALSE(loose->HandleAllocated());
        EXPECT_EQ(loose->GetHeightForRows(4), header + 4 * step);
        EXPECT_EQ(loose->AdjustHeight(header + 3 * step + 2), header + 3 * step);
    }
    // No rows: room for one; no header: the rows alone.
    Fill(0);
    EXPECT_EQ(Grid->AdjustHeight(header + 5 * step), header + step);
    Grid->Options()->SetShowHeader(false);
    EXPECT_EQ(Grid->GetHeightForRows(4), 4 * step);
    // Without grid lines a row step has no line.
    Grid->Options()->SetGridLines(glNone);
    EXPECT_EQ(Grid->ViewInfo()->GetRowStep(), step - 1);
}

TEST_F(LookupGridTest, HeaderClicksSort)
{
    Fill(4);
    DC()->SetValue(0, 1, Variant("b"));
    DC()->SetValue(1, 1, Variant("d"));
    DC()->SetValue(2, 1, Variant("a"));
    DC()->SetValue(3, 1, Variant("c"));
    struct Case {
        const char* Name;
        TcxDataSortOrder Number0, Name0;   // before
        int Column;
        TShiftState Shift;
        TcxDataSortOrder Number1, Name1;   // after
    };
    const Case cases[] = {
        {"plain click sorts ascending", soNone, soNone, 1, {}, soNone, soAscending},
        {"ascending becomes descending", soNone, soAscending, 1, {}, soNone, soDescending},
        {"descending becomes ascending", soNone, soDescending, 1, {}, soNone, soAscending},
        {"another column's sorting goes", soAscending, soNone, 1, {}, soNone, soAscending},
        {"Shift keeps the other column's", soAscending, soNone, 1, TShiftState{ssShift}, soAscending, soAscending},
        {"Ctrl removes the column's", soAscending, soDescending, 1, TShiftState{ssCtrl}, soAscending, soNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        DC()->ClearSorting(false);
        Grid->Columns()->Items(0)->SetSortOrder(c.Number0);
        Grid->Columns()->Items(1)->SetSortOrder(c.Name0);
        Grid->HeaderClick(c.Column, c.Shift);
        EXPECT_EQ(Grid->Columns()->Items(0)->SortOrder(), c.Number1);
        EXPECT_EQ(Grid->Columns()->Items(1)->SortOrder(), c.Name1);
    }
    // Through the mouse: a click on the name header orders the rows by name.
    DC()->ClearSorting(false);
    GuiTest::ProcessEvents();
    const TRect h = Grid->ViewInfo()->Columns[1]->Bounds;
    GuiTest::Click(Grid, TPoint{(h.Left + h.Right) / 2, (h.Top + h.Bottom) / 2});
    std::string order;
    for (int r = 0; r < Grid->GetRowCount(); ++r)
        order += DC()->GetDisplayText(DC()->GetRowInfo(r).RecordIndex, 1);
    EXPECT_EQ(order, "abcd");
    EXPECT_EQ(Grid->ViewInfo()->Columns[1]->SortOrder, soAscending);
    // No sorting where the options or the column forbid it.
    Grid->Columns()->Items(0)->SetSorting(false);
    Grid->HeaderClick(0, {});
    EXPECT_EQ(Grid->Columns()->Items(0)->SortOrder(), soNone);
    Grid->Columns()->Items(0)->SetSorting(true);
    Grid->Options()->SetColumnSorting(false);
    Grid->HeaderClick(0, {});
    EXPECT_EQ(Grid->Columns()->Items(0)->SortOrder(), soNone);
}

TEST_F(LookupGridTest, KeysMoveTheFocusedRow)
{
    SizeForRows(8);
    Fill(20);
    Grid->FocusRow(0);
    struct Step {
        const char* Name;
        WORD Key;
        TShiftState Shift;
        int Focused, Top;
    };
    const Step steps[] = {
        {"Down", VK_DOWN, {}, 1, 0},
        {"Up", VK_UP, {}, 0, 0},
        {"Up at the first row stays", VK_UP, {}, 0, 0},
        {"Page Down to the last whole row", VK_NEXT, {}, 7, 0},
        {"Page Down again scrolls a page", VK_NEXT, {}, 14, 7},
        {"Down past the page scrolls by one", VK_DOWN, {}, 15, 8},
        {"Page Up to the top row", VK_PRIOR, {}, 8, 8},
        {"Page Up again scrolls a page", VK_PRIOR, {}, 1, 1},
        {"End under RowSelect: the last record", VK_END, {}, 19, 12},
        {"Down at the last row stays", VK_DOWN, {}, 19, 12},
        {"Home under RowSelect: the first record", VK_HOME, {}, 0, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Name);
        Key(s.Key, s.Shift);
        EXPECT_EQ(Grid->GetFocusedRowIndex(), s.Focused);
        EXPECT_EQ(Grid->TopRowIndex(), s.Top);
    }
    EXPECT_TRUE(DC()->IsRowSelected(0));
    // Without RowSelect, Home, End, Left and Right move between columns.
    Grid->Options()->SetRowSelect(false);
    Key(VK_END);
    EXPECT_EQ(Grid->FocusedColumn(), Grid->Columns()->Items(1));
    Key(VK_RIGHT);
    EXPECT_EQ(Grid->FocusedColumn(), Grid->Columns()->Items(1));
    Key(VK_LEFT);
    EXPECT_EQ(Grid->FocusedColumn(), Grid->Columns()->Items(0));
    Key(VK_END, TShiftState{ssCtrl});
    EXPECT_EQ(Grid->GetFocusedRowIndex(), 19);
    // RowSelect back on: no column is focused.
    Grid->Options()->SetRowSelect(true);
    EXPECT_EQ(Grid->FocusedColumn(), nullptr);
    // Enter closes accepting when a row is focused.
    std::vector<bool> closes;
    Grid->OnCloseUp = [&](TObject*, bool AAccept) { closes.push_back(AAccept); };
    Key(VK_RETURN);
    Fill(0);
    Key(VK_RETURN);
    EXPECT_EQ(closes, (std::vector<bool>{true, false}));
}

TEST_F(LookupGridTest, PopupFollowsTheMouseAndClosesOnRelease)
{
    SizeForRows(8);
    Fill(20);
    Grid->SetIsPopupControl(true);
    GuiTest::ProcessEvents();
    EXPECT_EQ(Grid->GetBorderWidth(), 0);
    std::vector<bool> closes;
    Grid->OnCloseUp = [&](TObject*, bool AAccept) { closes.push_back(AAccept); };
    int focusChanges = 0;
    Grid->OnFocusedRowChanged = [&](TObject*) { ++focusChanges; };
    // The first move after the popup opened is ignored.
    Grid->SetPopupMouseMoveLocked(true);
    GuiTest::MouseMove(Grid, RowCentre(3));
    EXPECT_NE(Grid->GetFocusedRowIndex(), 3);
    EXPECT_FALSE(Grid->PopupMouseMoveLocked());
    GuiTest::MouseMove(Grid, RowCentre(4));
    EXPECT_EQ(Grid->GetFocusedRowIndex(), 4);
    GuiTest::MouseMove(Grid, RowCentre(6));
    EXPECT_EQ(Grid->GetFocusedRowIndex(), 6);
    EXPECT_GE(focusChanges, 2);
    EXPECT_TRUE(DC()->IsRowSelected(6));
    // Released over a row: accepted.
    GuiTest::MouseDown(Grid, mbLeft, RowCentre(5));
    EXPECT_TRUE(Grid->RowPressed());
    GuiTest::MouseUp(Grid, mbLeft, RowCentre(5));
    EXPECT_EQ(Grid->GetFocusedRowIndex(), 5);
    EXPECT_FALSE(Grid->RowPressed());
    // Dragged above the rows: the scroll timer runs; released there: rejected.
    GuiTest::MouseDown(Grid, mbLeft, RowCentre(2));
    const TRect header = Grid->ViewInfo()->HeadersRect;
    GuiTest::MouseMove(Grid, TPoint{50, header.Top + 2}, TShiftState{ssLeft});
    EXPECT_EQ(Grid->ScrollMode(), 1);
    EXPECT_NE(Grid->ScrollTimer(), nullptr);
    GuiTest::MouseUp(Grid, mbLeft, TPoint{50, header.Top + 2});
    EXPECT_EQ(Grid->ScrollMode(), 0);
    EXPECT_EQ(Grid->ScrollTimer(), nullptr);
    EXPECT_EQ(closes, (std::vector<bool>{true, false}));
    // A grid that is no popup leaves the focus where it is under a moving mouse.
    Grid->SetIsPopupControl(false);
    GuiTest::ProcessEvents();
    Grid->FocusRow(1);
    GuiTest::MouseMove(Grid, RowCentre(2));
    GuiTest::MouseMove(Grid, RowCentre(3));
    EXPECT_EQ(Grid->GetFocusedRowIndex(), 1);
}

TEST_F(LookupGridTest, ScrollTimerFocusesTheNextRowBeyondThePage)
{
    SizeForRows(8);
    Fill(20);
    Grid->SetIsPopupControl(true);
    GuiTest::ProcessEvents();
    Grid->FocusRow(3);
    GuiTest::MouseDown(Grid, mbLeft, RowCentre(3));
    // Below the rows: the row after the last whole one, made visible.
    const TRect client = Grid->GetClientBounds();
    GuiTest::MouseMove(Grid, TPoint{50, client.Bottom + 5}, TShiftState{ssLeft});
    ASSERT_EQ(Grid->ScrollMode(), 2);
    Grid->ScrollTimerStep();
    EXPECT_EQ(Grid->GetFocusedRowIndex(), 8);
    EXPECT_EQ(Grid->TopRowIndex(), 1);
    EXPECT_FALSE(DC()->IsRowSelected(8));
    GuiTest::MouseUp(Grid, mbLeft, TPoint{50, client.Bottom + 5});
}

TEST_F(LookupGridTest, HitTests)
{
    SizeForRows(8);
    Fill(20);
    Grid->SetTopRowIndex(2);
    TcxLookupGridViewInfo* vi = Grid->ViewInfo();
    const TRect h0 = vi->Columns[0]->Bounds, h1 = vi->Columns[1]->Bounds;
    const TcxLookupGridRowViewInfo* r = vi->FindRow(4);
    ASSERT_NE(r, nullptr);
    struct Case {
        const char* Name;
        TPoint P;
        TcxLookupGridHitKind Kind;
        int Column, Row;
    };
    const Case cases[] = {
        {"first header", TPoint{h0.Left + 2, h0.Top + 2}, lghtHeader, 0, -1},
        {"second header", TPoint{h1.Right - 2, h1.Bottom - 2}, lghtHeader, 1, -1},
        {"a cell", TPoint{h1.Left + 3, r->Bounds.Top + 1}, lghtRow, 1, 4},
        {"the row's line", TPoint{h0.Left + 3, r->Bounds.Bottom - 1}, lghtRow, 0, 4},
        {"the half row", TPoint{h0.Left + 3, vi->Rows.back()->Bounds.Top + 1}, lghtRow, 0, 10},
        {"outside", TPoint{-3, 5}, lghtNone, -1, -1},
        {"below the client", TPoint{5, Grid->Height() + 3}, lghtNone, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TcxLookupGridHitInfo hit = Grid->GetHitInfo(c.P);
        EXPECT_EQ(hit.HitKind, c.Kind);
        EXPECT_EQ(hit.ColumnIndex, c.Column);
        EXPECT_EQ(hit.RowIndex, c.Row);
        EXPECT_EQ(Grid->IsRowAtPoint(c.P), c.Kind == lghtRow);
    }
}

TEST_F(LookupGridTest, ColumnsKeepTheirItemsInStep)
{
    Fill(3);
    TcxLookupGridColumns* cols = Grid->Columns();
    TcxLookupGridColumn* extra = cols->Add();
    EXPECT_EQ(DC()->GetItemCount(), 3);
    DC()->ChangeValueTypeClass(2, TcxStringValueType::Class());
    DC()->SetValue(0, 2, Variant("额外"));
    // Moving a column moves its item: values follow the column.
    extra->SetIndex(0);
    EXPECT_EQ(DC()->GetValue(0, 0).AsString(), "额外");
    EXPECT_EQ(DC()->GetDisplayText(0, 2), "张伟");
    // Removing one takes its item away; the others keep their values.
    Grid->Options()->SetRowSelect(false);
    Grid->FocusColumn(0);
    ASSERT_EQ(Grid->FocusedColumn(), extra);
    delete extra;
    EXPECT_EQ(cols->Count(), 2);
    EXPECT_EQ(DC()->GetItemCount(), 2);
    EXPECT_EQ(Grid->FocusedColumn(), nullptr);
    EXPECT_EQ(DC()->GetDisplayText(1, 1), "王芳");
    EXPECT_EQ(DC()->GetValue(2, 0).AsInteger(), 3);
    // Each column's provider says its values carry a display format when its
    // own item stores display texts.
    DC()->ChangeTextStored(1, true);
    EXPECT_FALSE(cols->Items(0)->DefaultValuesProvider()->HasDisplayFormat(false));
    EXPECT_TRUE(cols->Items(1)->DefaultValuesProvider()->HasDisplayFormat(false));
}

TEST_F(LookupGridTest, ColumnSettings)
{
    TcxLookupGridColumn* c = Grid->Columns()->Items(0);
    EXPECT_EQ(c->Width(), 64);
    EXPECT_FALSE(c->IsWidthStored());
    c->SetWidth(5);   // below MinWidth 20
    EXPECT_EQ(c->Width(), 20);
    c->SetMinWidth(-4);
    EXPECT_EQ(c->MinWidth(), 0);
    c->SetMinWidth(30);   // raises the width with it
    EXPECT_EQ(c->Width(), 30);
    c->SetHeaderAlignment(taCenter);
    c->SetFixed(true);
    c->SetSorting(false);
    // Assign copies what is assigned, after the defaults.
    TcxLookupGridColumn* d = Grid->Columns()->Items(1);
    d->Assign(c);
    EXPECT_EQ(d->Caption(), "编号");
    EXPECT_EQ(d->Width(), 30);
    EXPECT_EQ(d->MinWidth(), 30);
    EXPECT_EQ(d->HeaderAlignment(), taCenter);
    EXPECT_TRUE(d->Fixed());
    EXPECT_FALSE(d->Sorting());
    Grid->Columns()->RestoreDefaults();
    EXPECT_EQ(c->Caption(), "");
    EXPECT_FALSE(c->IsCaptionStored());
    EXPECT_EQ(c->Width(), 64);
    EXPECT_EQ(c->MinWidth(), 20);
    EXPECT_EQ(c->HeaderAlignment(), taLeftJustify);
    EXPECT_FALSE(c->Fixed());
    EXPECT_TRUE(c->Sorting());
    // Without a repository item a column draws with the registry's default
    // editor, and with a text editor of its own while the registry has none.
    cxEditDataRegisteredRepositoryItems::Finalize();
    ASSERT_EQ(cxEditDataRegisteredRepositoryItems::GetDefaultEditDataRepositoryItems()->GetDefaultItem(), nullptr);
    ASSERT_NE(c->Properties(), nullptr);
    EXPECT_TRUE(c->Properties()->InheritsFrom(TcxTextEditProperties::StaticClass()));
    cxEditDataRegisteredRepositoryItems::Initialize();
    TcxEditRepositoryItem* def = cxEditDataRegisteredRepositoryItems::GetDefaultEditDataRepositoryItems()->GetDefaultItem();
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(c->Properties(), def->Properties());
    // The registry's item freed while cells drawn by it show: the column lets
    // it go and the cells are laid out with the next editor (no freed
    // properties are drawn with).
    Fill(3);
    GuiTest::ProcessEvents();
    ASSERT_NE(Grid->ViewInfo()->FindRow(0), nullptr);
    delete def;
    Grid->Repaint();
    GuiTest::ProcessEvents();
    ASSERT_NE(c->Properties(), nullptr);
    TcxLookupGridRowViewInfo* row = Grid->ViewInfo()->FindRow(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Cells[0]->EditViewInfo->EditProperties, c->Properties());
    // A repository item's properties draw the column; when it goes the column lets it go.
    auto* item = static_cast<TcxEditRepositoryItem*>(TcxEditRepositoryItem::StaticClass()->Create(nullptr));
    c->SetRepositoryItem(item);
    EXPECT_EQ(c->Properties(), item->Properties());
    delete item;
    EXPECT_EQ(c->RepositoryItem(), nullptr);
    EXPECT_TRUE(c->Properties()->InheritsFrom(TcxTextEditProperties::StaticClass()));
}

TEST_F(LookupGridTest, OptionsAndTheirNotices)
{
    TcxLookupGridOptions* o = Grid->Options();
    int changes = 0;
    o->OnChanged = [&](TObject*) { ++changes; };
    o->SetShowHeader(false);
    o->SetShowHeader(false);
    o->SetGridLines(glVertical);
    EXPECT_EQ(changes, 2);
    // AnsiSort and CaseInsensitive live in the data controller.
    o->SetAnsiSort(true);
    o->SetCaseInsensitive(true);
    EXPECT_TRUE(DC()->Options().Contains(dcoAnsiSort));
    EXPECT_TRUE(DC()->Options().Contains(dcoCaseInsensitive));
    // Assign copies every setting into another grid's options.
    auto* other = static_cast<TcxCustomLookupGrid*>(TcxCustomLookupGrid::StaticClass()->Create(Form));
    other->Options()->SetRowSelect(false);
    other->Options()->Assign(o);
    EXPECT_TRUE(other->Options()->AnsiSort());
    EXPECT_TRUE(other->Options()->CaseInsensitive());
    EXPECT_FALSE(other->Options()->ShowHeader());
    EXPECT_EQ(other->Options()->GridLines(), glVertical);
    EXPECT_TRUE(other->Options()->RowSelect());
    // Changes made inside an update wait for its end.
    other->BeginUpdate();
    other->Options()->SetShowHeader(true);
    EXPECT_TRUE(other->PendingChanges().Contains(lgcLayout));
    other->EndUpdate();
    EXPECT_TRUE(other->PendingChanges().Empty());
}

TEST_F(LookupGridTest, GridLinesShapeTheCells)
{
    SizeForRows(4);
    Fill(4);
    struct Case {
        TcxGridLines Lines;
        bool FirstCellLine, LastCellLine, RowLine, LastRowLine;
    };
    const Case cases[] = {
        {glBoth, true, true, true, true},
        {glHorizontal, false, true, true, true},
        {glVertical, true, true, false, true},
        {glNone, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Lines));
        Grid->Options()->SetGridLines(c.Lines);
        GuiTest::ProcessEvents();
        TcxLookupGridRowViewInfo* first = Grid->ViewInfo()->FindRow(0);
        TcxLookupGridRowViewInfo* last = Grid->ViewInfo()->FindRow(3);
        ASSERT_TRUE(first && last);
        EXPECT_EQ(first->Cells[0]->Borders.Contains(bRight), c.FirstCellLine);
        EXPECT_EQ(first->Cells[1]->Borders.Contains(bRight), c.LastCellLine);
        EXPECT_EQ(first->Borders.Contains(bBottom), c.RowLine);
        EXPECT_EQ(last->Borders.Contains(bBottom), c.LastRowLine);
        // The editor draws inside the lines, one pixel in.
        const TRect& content = first->Cells[0]->ContentBounds;
        ASSERT_NE(first->Cells[0]->EditViewInfo, nullptr);
        EXPECT_EQ(first->Cells[0]->EditViewInfo->OuterRect,
                  (TRect{content.Left + 1, content.Top + 1, content.Right - 1, content.Bottom - 1}));
    }
}

// What the painter draws, recorded: header captions, cell texts in the
// content or selection colours, grid lines, the focus rectangle of a popup
// grid and the empty area below few rows.
TEST_F(LookupGridTest, PainterDrawsHeadersCellsLinesAndFocus)
{
    SizeForRows(5, false);
    Fill(3);
    Grid->SetIsPopupControl(true);
    Grid->FocusRow(1);
    Grid->SetFocusedRowSelected(true);
    GuiTest::ProcessEvents();
    TcxLookupGridViewInfo* vi = Grid->ViewInfo();
    ASSERT_NE(vi->FindRow(1), nullptr);
    TRecordingCanvas rec(Grid->Width(), Grid->Height());
    TcxCanvas canvas(&rec);
    Grid->Painter()->SetCanvas(&canvas);
    Grid->Painter()->Paint();
    Grid->Painter()->SetCanvas(nullptr);
    auto textColour = [&](const std::string& AText) -> int64_t {
        for (const TCanvasOp& op : rec.Ops())
            if ((op.Op == "DrawText" || op.Op == "TextOut") && op.Text == AText) return int64_t(op.Color);
        return -1;
    };
    auto rgb = [](TColor c) { return int64_t(TColorRef(ColorToRGB(c))); };
    EXPECT_EQ(textColour("编号"), rgb(Grid->GetLookAndFeelPainter()->HeaderTextColor()));
    EXPECT_EQ(textColour("姓名"), rgb(Grid->GetLookAndFeelPainter()->HeaderTextColor()));
    EXPECT_EQ(textColour("王芳"), rgb(clHighlightText));   // the focused, selected row
    EXPECT_EQ(textColour("张伟"), rgb(clWindowText));
    EXPECT_EQ(textColour("李娜"), rgb(clWindowText));
    // One focus rectangle, around the focused row's content.
    ASSERT_EQ(rec.CountOf("DrawFocusRect"), 1);
    EXPECT_EQ(rec.Find("DrawFocusRect")->Rect, vi->FindRow(1)->ContentBounds);
    // Grid lines in the button face colour: after each cell and under each row.
    int lines = 0;
    for (const TCanvasOp& op : rec.Ops())
        if (op.Op == "FillRect" && int64_t(op.Color) == rgb(clBtnFace) &&
            (op.Rect.Right - op.Rect.Left == 1 || op.Rect.Bottom - op.Rect.Top == 1))
            ++lines;
    EXPECT_EQ(lines, 3 * 2 + 3);
    // The two rows of room left are filled with the grid's colour.
    bool emptyFilled = false;
    for (const TCanvasOp& op : rec.Ops())
        if (op.Op == "FillRect" && op.Rect == vi->EmptyRectBottom && int64_t(op.Color) == rgb(Grid->Color()))
            emptyFilled = true;
    EXPECT_TRUE(emptyFilled);
    // Not a popup and not focused: no focus rectangle.
    Grid->SetIsPopupControl(false);
    GuiTest::ProcessEvents();
    if (!Grid->Focused()) {
        rec.Clear();
        Grid->Painter()->SetCanvas(&canvas);
        Grid->Painter()->Paint();
        Grid->Painter()->SetCanvas(nullptr);
        EXPECT_EQ(rec.CountOf("DrawFocusRect"), 0);
    }
}

// Chinese rows with the focused row selected, for the eye: editors_lookup_grid.png.
TEST_F(LookupGridTest, PaintsChineseRows)
{
    SizeForRows(6);
    Fill(20);
    Grid->Columns()->Items(0)->SetWidth(60);
    Grid->Columns()->Items(1)->SetWidth(200);
    Grid->Columns()->Items(1)->SetSortOrder(soAscending);
    Grid->FocusRow(2);
    Grid->SetFocusedRowSelected(true);
    Grid->SetFocus();
    GuiTest::ProcessEvents();
    TcxLookupGridRowViewInfo* focused = Grid->ViewInfo()->FindRow(2);
    TcxLookupGridRowViewInfo* plain = Grid->ViewInfo()->FindRow(3);
    ASSERT_TRUE(focused && plain);
    TPoint inFocused{focused->Cells[1]->ContentBounds.Right - 4, focused->Cells[1]->ContentBounds.Top + 2};
    TPoint inPlain{plain->Cells[1]->ContentBounds.Right - 4, plain->Cells[1]->ContentBounds.Top + 2};
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Grid, inFocused)), ColorToRGB(clHighlight));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Grid, inPlain)), ColorToRGB(clWindow));
    // A grid line between the two columns.
    const TRect& line = plain->Cells[0]->Bounds;
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Grid, TPoint{line.Right - 1, line.Top + 2})), ColorToRGB(clBtnFace));
    // The focused cell's text is drawn in the selection's text colour.
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Grid));
    ASSERT_TRUE(shot);
    int light = 0;
    const TRect& fc = focused->Cells[1]->ContentBounds;
    for (int y = fc.Top; y < fc.Bottom; ++y)
        for (int x = fc.Left; x < fc.Right; ++x)
            if (ColorToRGB(shot->Canvas()->Pixels(x, y)) == ColorToRGB(clHighlightText)) ++light;
    EXPECT_GT(light, 10);
    // The same rows in the three other looks beside it (flat, standard and native).
    Form->SetBounds(100, 100, 640, 460);
    const TRect first = Grid->BoundsRect();
    for (int k = 0; k < 3; ++k) {
        auto* g = static_cast<TcxCustomLookupGrid*>(TcxCustomLookupGrid::StaticClass()->Create(Form));
        g->SetParent(Form);
        g->Font()->Assign(Grid->Font());
        g->Columns()->Assign(Grid->Columns());
        const int x = k == 1 ? first.Left : first.Right + 10;
        const int y = k == 0 ? first.Top : first.Bottom + 10;
        g->SetBounds(x, y, first.Right - first.Left, first.Bottom - first.Top);
        if (k == 2) g->LookAndFeel()->SetNativeStyle(true);
        else g->LookAndFeel()->SetKind(k == 0 ? lfFlat : lfStandard);
        g->DataController()->ChangeValueTypeClass(0, TcxIntegerValueType::Class());
        g->DataController()->ChangeValueTypeClass(1, TcxStringValueType::Class());
        g->DataController()->SetRecordCount(8);
        for (int i = 0; i < 8; ++i) {
            g->DataController()->SetValue(i, 0, Variant(i + 1));
            g->DataController()->SetValue(i, 1, Variant(kNames[i]));
        }
        g->FocusRow(1);
        g->SetFocusedRowSelected(true);
        // Each look draws its own frame: the border is the look's frame width.
        EXPECT_EQ(g->GetBorderWidth(), g->LookAndFeel()->GetPainter()->FrameWidth());
    }
    GuiTest::ProcessEvents();
    EXPECT_TRUE(GuiTest::SavePng(Form, std::string(QZ_BINARY_DIR) + "/editors_lookup_grid.png"));
}
