// The grid over a memtable: every record a row read in place, records
// fetched as the window needs them, scrolling of its own, and a tree whose
// nodes expand by clicks and keys.
#include "DBGridEh.h"
#include "DBGridEhFilter.h"
#include "DBGridEhInplaceEdit.h"
#include "DBGridTesting.h"
#include "FakeMemTable.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace DBGridTest;

std::vector<TFakeMemTable::TNode> FlatNodes(int n)
{
    std::vector<TFakeMemTable::TNode> nodes;
    for (int i = 1; i <= n; ++i) nodes.push_back({i, 0, "学员" + std::to_string(i)});
    return nodes;
}

// 总校 (一分校 (王教练, 李教练), 二分校), 培训部 (张教练)
std::vector<TFakeMemTable::TNode> SchoolTree()
{
    return {{1, 0, "总校"},   {2, 1, "一分校"}, {4, 2, "王教练"}, {5, 2, "李教练"},
            {3, 1, "二分校"}, {6, 0, "培训部"}, {7, 6, "张教练"}};
}

class MemTableGrid : public ::testing::Test {
protected:
    void Bind(TFakeMemTable* ds, int width = 400, int height = 300)
    {
        Host = std::make_unique<TGridHost>(ds, width, height);
        G = Host->Grid;
        G->SetFocus();
        GuiTest::ProcessEvents();
    }
    int Id() const { return Mt->FieldByName("Id")->AsInteger(); }
    int DataRows() const { return G->RowCount() - G->FirstDataRow(); }
    void Scroll(int code) { G->Perform(WM_VSCROLL, WPARAM(code), 0); }
    TScrollInfo BarInfo() const
    {
        TScrollInfo si;
        si.fMask = SIF_ALL;
        GetScrollInfo(G->Handle(), SB_VERT, &si);
        return si;
    }
    // The point in a data row's first column, x pixels from the cell's left.
    TPoint InFirstColumn(int dataRow, int x) const
    {
        TRect r = G->CellRect(G->DataToRawColumn(0), G->FirstDataRow() + dataRow);
        return Point(r.Left + x, (r.Top + r.Bottom) / 2);
    }
    std::unique_ptr<TFakeMemTable> Mt;
    std::unique_ptr<TGridHost> Host;
    TDBGridEh* G = nullptr;
};

TEST_F(MemTableGrid, EveryRecordIsARowAndFootersTurnTheViewOff)
{
    Mt = std::make_unique<TFakeMemTable>(FlatNodes(50), false);
    Bind(Mt.get());
    ASSERT_TRUE(G->HasMemTable());
    EXPECT_TRUE(G->RowsFromMemTable());
    EXPECT_EQ(DataRows(), 50);
    EXPECT_EQ(G->DataLink()->BufferCount(), 1);

    // With a footer row the grid buffers the records that fit, as for any set.
    G->SetFooterRowCount(1);
    EXPECT_TRUE(G->HasMemTable());
    EXPECT_FALSE(G->RowsFromMemTable());
    EXPECT_LT(G->DataLink()->RecordCount(), 50);
    EXPECT_EQ(G->DataRowCount(), G->DataLink()->RecordCount());

    G->SetFooterRowCount(0);
    EXPECT_TRUE(G->RowsFromMemTable());
    EXPECT_EQ(DataRows(), 50);

    // A plain data set is no memtable; the view goes with the set.
    auto plain = ManyStudents(50);
    Host->Source->SetDataSet(plain.get());
    EXPECT_FALSE(G->HasMemTable());
    Host->Source->SetDataSet(Mt.get());
    EXPECT_TRUE(G->HasMemTable());
    Mt.reset();
    EXPECT_FALSE(G->HasMemTable());
    G->Repaint();
}

TEST_F(MemTableGrid, FetchesOnlyWhatTheWindowNeeds)
{
    Mt = std::make_unique<TFakeMemTable>(FlatNodes(1000), false, 3);
    Bind(Mt.get());
    const int visible = G->VisibleRowCount();
    ASSERT_GT(visible, 5);
    // Enough to fill the window and one more row, not the whole source.
    EXPECT_GE(Mt->FetchedCount(), visible + 1);
    EXPECT_LT(Mt->FetchedCount(), visible + 10);
    EXPECT_EQ(DataRows(), Mt->FetchedCount());
    EXPECT_EQ(Id(), 1);

    // Scrolling to the end of what came asks for one more record each time.
    const int before = Mt->FetchedCount();
    Scroll(SB_BOTTOM);
    EXPECT_GT(Mt->FetchedCount(), before);
    EXPECT_LT(Mt->FetchedCount(), 100);
    EXPECT_EQ(Id(), 1) << "scrolling moves the rows, not the record";
}

TEST_F(MemTableGrid, ScrollBarAndScrollCodesMoveTheTopRow)
{
    Mt = std::make_unique<TFakeMemTable>(FlatNodes(100), false);
    Bind(Mt.get());
    const int fixed = G->FixedRows();
    const int page = G->VisibleRowCount();
    TScrollInfo si = BarInfo();
    EXPECT_EQ(si.nMin, 1);
    EXPECT_EQ(si.nMax, 100);
    EXPECT_EQ(int(si.nPage), page);
    EXPECT_EQ(si.nPos, 1);

    struct TCase {
        const char* Name;
        int Code;
        int ExpectTop;   // counted from the first data row
    } cases[] = {
        {"line down", SB_LINEDOWN, 1},
        {"line down", SB_LINEDOWN, 2},
        {"line up", SB_LINEUP, 1},
        {"page down: the last visible row comes to the top", SB_PAGEDOWN, 1 + page - 1},
        {"page up: the old top becomes the last visible row", SB_PAGEUP, 1},
        {"line up", SB_LINEUP, 0},
        {"line up at the top stays", SB_LINEUP, 0},
        {"bottom", SB_BOTTOM, 100 - page},
        {"top", SB_TOP, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Scroll(c.Code);
        EXPECT_EQ(G->TopRow() - fixed, c.ExpectTop);
        EXPECT_EQ(BarInfo().nPos, c.ExpectTop + 1);
    }
    EXPECT_EQ(Id(), 1) << "the record stays where it was";

    // Dragging the thumb scrolls only with Tracking; its release always does.
    SetScrollPos(G->Handle(), SB_VERT, 31, 1);
    Scroll(SB_THUMBTRACK);
    EXPECT_EQ(G->TopRow(), fixed);
    G->VertScrollBar()->SetTracking(true);
    SetScrollPos(G->Handle(), SB_VERT, 31, 1);
    Scroll(SB_THUMBTRACK);
    EXPECT_EQ(G->TopRow(), fixed + 30);
    SetScrollPos(G->Handle(), SB_VERT, 11, 1);
    Scroll(SB_THUMBPOSITION);
    EXPECT_EQ(G->TopRow(), fixed + 10);

    // The wheel scrolls a row, a page with Ctrl, and moves the record with Shift.
    Scroll(SB_TOP);
    TPoint p = InFirstColumn(1, 5);
    GuiTest::Wheel(G, p, -120);
    EXPECT_EQ(G->TopRow(), fixed + 1);
    GuiTest::Wheel(G, p, -120, {ssCtrl});
    EXPECT_EQ(G->TopRow(), fixed + 1 + page);
    EXPECT_EQ(Id(), 1);
    GuiTest::Wheel(G, p, -120, {ssShift});
    EXPECT_EQ(Id(), 2);
}

TEST_F(MemTableGrid, CurrentRowFollowsTheRecordIntoView)
{
    Mt = std::make_unique<TFakeMemTable>(FlatNodes(100), false);
    Bind(Mt.get());
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Id(), 2);
    EXPECT_EQ(G->Row(), G->FirstDataRow() + 1);
    Mt->SetRecNo(80);
    EXPECT_EQ(G->Row(), G->FirstDataRow() + 79);
    EXPECT_LE(G->TopRow(), G->Row());
    TGridDrawInfo d;
    G->CalcDrawInfo(d);
    EXPECT_GE(d.Vert.LastFullVisibleCell, G->Row());
    EXPECT_EQ(BarInfo().nPos, G->TopRow() - G->FixedRows() + 1);
    // Ctrl+Up and Ctrl+Down go to the top and bottom rows shown.
    const int top = G->TopRow();
    GuiTest::KeyPress(VK_UP, {ssCtrl});
    EXPECT_EQ(Id(), top - G->FirstDataRow() + 1);
    GuiTest::KeyPress(VK_DOWN, {ssCtrl});
    EXPECT_EQ(Id(), top - G->FirstDataRow() + G->VisibleRowCount());
    EXPECT_EQ(G->TopRow(), top);
    // A click moves the record by the rows between.
    TPoint p = InFirstColumn(G->TopRow() - G->FirstDataRow(), 20);
    GuiTest::Click(G, p);
    EXPECT_EQ(Id(), G->TopRow() - G->FirstDataRow() + 1);
}

TEST_F(MemTableGrid, PaintingReadsEachRowInPlace)
{
    Mt = std::make_unique<TFakeMemTable>(FlatNodes(100), false);
    Bind(Mt.get());
    Scroll(SB_PAGEDOWN);
    Mt->SetRecNo(G->TopRow() - G->FirstDataRow() + 3);
    const int current = Id();
    std::map<int, std::string> seen;   // data row -> name painted
    G->OnDrawColumnCell = [&](TObject*, const TRect& r, int, TColumnEh* c, TGridDrawState) {
        if (c->FieldName() == "Name") seen[G->MouseCoord(r.Left + 1, r.Top + 1).Y - G->FirstDataRow()] = c->Field()->AsString();
    };
    G->Repaint();
    GuiTest::ProcessEvents();
    ASSERT_GE(seen.size(), size_t(G->VisibleRowCount()));
    for (auto& [row, name] : seen) EXPECT_EQ(name, "学员" + std::to_string(row + 1));
    EXPECT_EQ(Id(), current);
    EXPECT_EQ(Mt->OpenInstantReads(), 0);
}

TEST_F(MemTableGrid, SelectedRowsAreFoundAmongTheRowsShown)
{
    Mt = std::make_unique<TFakeMemTable>(FlatNodes(100), false);
    Bind(Mt.get());
    G->SetOptions(G->Options() + TDBGridOptions{dgMultiSelect});
    Scroll(SB_PAGEDOWN);
    const int top = G->TopRow() - G->FirstDataRow();
    for (int recNo : {top + 2, top + 4}) {
        Mt->SetRecNo(recNo);
        G->Selection()->Rows()->SetCurrentRowSelected(true);
    }
    // The selected rows' box runs over the grid rows of those records.
    TGridRect box = G->Selection()->ToGridRect();
    EXPECT_EQ(box.Top, G->FirstDataRow() + top + 1);
    EXPECT_EQ(box.Bottom, G->FirstDataRow() + top + 3);
    EXPECT_EQ(Id(), top + 4) << "looking leaves the record";
    EXPECT_EQ(Mt->OpenInstantReads(), 0);
}

TEST_F(MemTableGrid, FilterListOffersTheMemtablesValues)
{
    auto nodes = FlatNodes(6);
    nodes[1].Name = nodes[4].Name = "王伟";
    Mt = std::make_unique<TFakeMemTable>(nodes, false);
    Bind(Mt.get());
    G->STFilter()->SetVisible(true);
    TColumnEh* name = G->Columns()->Items(2);
    ASSERT_EQ(name->FieldName(), "Name");
    EXPECT_TRUE(name->STFilter()->HasDropDownButton()) << "no list source, but a memtable";
    std::vector<std::string> values;
    TStrings* cached = name->STFilter()->CachedValues();
    ASSERT_TRUE(cached);
    for (int i = 0; i < cached->Count(); ++i) values.push_back(cached->Strings(i));
    EXPECT_EQ(values.size(), 5u) << "each value once";
    EXPECT_NE(std::find(values.begin(), values.end(), "王伟"), values.end());
    G->STFilter()->OpenFilterEditor(2);
    ASSERT_TRUE(G->STFilter()->FilterEditor());
    EXPECT_TRUE(G->STFilter()->FilterEditor()->DropDownButtonVisible());
}

class MemTableTree : public MemTableGrid {
protected:
    void SetUp() override
    {
        Mt = std::make_unique<TFakeMemTable>(SchoolTree(), true);
        Bind(Mt.get());
    }
    std::vector<std::string> Names()
    {
        std::vector<std::string> r;
        for (int i = 0; i < G->DataRowCount(); ++i) {
            G->BeginRowRead(i);
            r.push_back(Mt->FieldByName("Name")->AsString());
            G->EndRowRead();
        }
        return r;
    }
};

TEST_F(MemTableTree, ClicksOnANodeBoxExpandAndCollapse)
{
    using V = std::vector<std::string>;
    ASSERT_TRUE(G->MemTableIsTree());
    EXPECT_EQ(Names(), (V{"总校", "培训部"}));
    G->BeginRowRead(0);
    EXPECT_EQ(G->TreeIndent(), 18);
    G->EndRowRead();

    // The own box of the top node (the first 18 pixels) expands it.
    EXPECT_TRUE(G->HandleTreeClick(InFirstColumn(0, 9).X, InFirstColumn(0, 9).Y, true));
    GuiTest::Click(G, InFirstColumn(0, 9));
    EXPECT_EQ(Names(), (V{"总校", "一分校", "二分校", "培训部"}));
    EXPECT_EQ(Mt->Toggles(), (std::vector<int>{1}));
    EXPECT_EQ(Id(), 1);

    // A second-level node's box is the second one; its row becomes current.
    GuiTest::Click(G, InFirstColumn(1, 18 + 9));
    EXPECT_EQ(Names(), (V{"总校", "一分校", "王教练", "李教练", "二分校", "培训部"}));
    EXPECT_EQ(Id(), 2);
    G->BeginRowRead(2);
    EXPECT_EQ(G->TreeIndent(), 54);
    G->EndRowRead();

    // Left of a node's own box: taken as a tree click, nothing toggles.
    const size_t toggles = Mt->Toggles().size();
    GuiTest::Click(G, InFirstColumn(2, 9));
    EXPECT_EQ(Mt->Toggles().size(), toggles);
    EXPECT_EQ(Id(), 2) << "the press was the tree's: the record stays";
    // The text beyond the tree part is an ordinary cell.
    EXPECT_FALSE(G->HandleTreeClick(InFirstColumn(2, 60).X, InFirstColumn(2, 60).Y, true));
    GuiTest::Click(G, InFirstColumn(2, 60));
    EXPECT_EQ(Id(), 4);

    // Collapsing the top node hides its whole branch.
    GuiTest::Click(G, InFirstColumn(0, 9));
    EXPECT_EQ(Names(), (V{"总校", "培训部"}));
    EXPECT_EQ(Id(), 1);
    EXPECT_EQ(G->Row(), G->FirstDataRow());
}

TEST_F(MemTableTree, NumericPadKeysExpandCollapseAndToggle)
{
    using V = std::vector<std::string>;
    G->SetOptions(G->Options() + TDBGridOptions{dgEditing});
    struct TCase {
        const char* Name;
        int Key;
        V Expect;
    } cases[] = {
        {"+ expands", VK_ADD, {"总校", "一分校", "二分校", "培训部"}},
        {"+ again keeps it open", VK_ADD, {"总校", "一分校", "二分校", "培训部"}},
        {"- collapses", VK_SUBTRACT, {"总校", "培训部"}},
        {"- again keeps it closed", VK_SUBTRACT, {"总校", "培训部"}},
        {"* toggles", VK_MULTIPLY, {"总校", "一分校", "二分校", "培训部"}},
        {"* toggles back", VK_MULTIPLY, {"总校", "培训部"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        GuiTest::KeyPress(c.Key);
        EXPECT_EQ(Names(), c.Expect);
        EXPECT_FALSE(G->EditorMode()) << "the tree keys open no editor";
    }
    // The keys act on the current node; a leaf has nothing to expand.
    GuiTest::KeyPress(VK_DOWN);
    GuiTest::KeyPress(VK_ADD);
    EXPECT_EQ(Names(), (V{"总校", "培训部", "张教练"}));
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(Id(), 7);
    GuiTest::KeyPress(VK_ADD);
    GuiTest::KeyPress(VK_MULTIPLY);
    EXPECT_EQ(Names(), (V{"总校", "培训部", "张教练"}));
}

TEST_F(MemTableTree, FittingWidthsMakesRoomForTheTree)
{
    Mt->SetExpanded(1, true);
    Mt->SetExpanded(2, true);
    TColumnEh* name = G->Columns()->Items(2);
    G->Columns()->Items(0)->SetVisible(false);
    G->Columns()->Items(1)->SetVisible(false);
    ASSERT_EQ(G->VisibleColumns().front(), name);
    G->FitColumnWidths({name});
    const int withTree = name->Width();
    Mt->SetExpanded(2, false);
    Mt->SetExpanded(1, false);
    G->FitColumnWidths({name});
    // The widest names have three characters each; the deepest shown node
    // (level 3) needs two boxes more than a top node.
    EXPECT_EQ(withTree - name->Width(), 2 * 18);
}

// In a tree's first column the cell editor's text starts after the node's
// boxes, as many as the node is deep; it draws them, and a press on the
// node's own box shows or hides the children as in the grid.
TEST_F(MemTableTree, TheCellEditorStartsAfterTheNodesBoxes)
{
    Mt->SetExpanded(1, true);
    Mt->SetExpanded(2, true);
    G->Columns()->Clear();
    for (auto [field, width] : {std::pair{"Name", 150}, {"Id", 50}}) {
        TColumnEh* c = G->Columns()->Add();
        c->SetFieldName(field);
        c->SetWidth(width);
    }
    G->SetOptions(G->Options() + TDBGridOptions{dgEditing});
    GuiTest::ProcessEvents();
    struct TCase {
        const char* Name;
        int RecNo;   // 总校, 一分校, 王教练, 李教练, 二分校, 培训部
        int DataCol;
        int TextLeft;
    } cases[] = {
        {"another column", 3, 1, 2},
        {"a top node", 1, 0, 2 + 18 + 1},
        {"a node of the third level", 3, 0, 2 + 3 * 18 + 1},
        {"a second-level node", 5, 0, 2 + 2 * 18 + 1},
    };
    int margin = -1;   // the edit control's own, inside the rectangle it is given
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Mt->SetRecNo(c.RecNo);
        G->SetSelectedIndex(c.DataCol);
        G->ShowEditor();
        GuiTest::ProcessEvents();
        auto* e = DynamicCast<TDBGridInplaceEdit>(G->InplaceEditor());
        ASSERT_TRUE(e && e->Visible());
        EXPECT_EQ(e->BoundsRect(), G->CellRect(G->Col(), G->Row())) << "the editor covers its cell";
        EXPECT_EQ(e->GetEditRect().Left, c.TextLeft);
        TRect told;
        e->Perform(EM_GETRECT, 0, LPARAM(&told));
        if (margin < 0) margin = told.Left - c.TextLeft;
        EXPECT_EQ(told.Left, c.TextLeft + margin) << "the edit control was told";
        G->HideEditor();
    }

    // The top node's editor: its box drawn, a press on it collapses the node.
    Mt->SetRecNo(1);
    G->SetSelectedIndex(0);
    G->ShowEditor();
    GuiTest::ProcessEvents();
    TInplaceEdit* e = G->InplaceEditor();
    ASSERT_TRUE(e && e->Visible());
    EXPECT_NE(GuiTest::PixelAt(e, Point(5, e->Height() / 2)), ColorToRGB(e->Color())) << "the node box shows";
    const size_t toggles = Mt->Toggles().size();
    GuiTest::Click(e, Point(40, e->Height() / 2));
    EXPECT_EQ(Mt->Toggles().size(), toggles) << "a press on the text is the editor's";
    GuiTest::Click(e, Point(9, e->Height() / 2));
    ASSERT_EQ(Mt->Toggles().size(), toggles + 1);
    EXPECT_EQ(Mt->Toggles().back(), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"总校", "培训部"}));
}

// The picture of a tree with Chinese data, to look at.
TEST_F(MemTableTree, Picture)
{
    Mt->SetExpanded(1, true);
    Mt->SetExpanded(2, true);
    Mt->SetExpanded(6, true);
    G->Columns()->Clear();
    for (auto [field, caption, width] : {std::tuple{"Name", "机构", 150}, {"Id", "编号", 50}, {"Level", "层级", 50}}) {
        TColumnEh* c = G->Columns()->Add();
        c->SetFieldName(field);
        c->Title()->SetCaption(caption);
        c->SetWidth(width);
    }
    Mt->SetRecNo(3);
    GuiTest::ProcessEvents();
    ASSERT_EQ(G->DataRowCount(), 7);
    ASSERT_TRUE(GuiTest::SavePng(G, "memtable_tree.png"));
    // The node box of the expanded top node has a dark border on the column's colour.
    TPoint box = InFirstColumn(0, 9);
    EXPECT_NE(GuiTest::PixelAt(G, Point(box.X - 4, box.Y)), ColorToRGB(G->Columns()->Items(0)->Color()));
}

} // namespace
