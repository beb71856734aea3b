// The list box over the native list widget: items, selection, scrolling
// through the window's own bars, clicks and owner drawing.
#include "StdCtrls.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

struct ListBoxTest : ::testing::Test {
    std::unique_ptr<TForm> Form;
    TListBox* LB = nullptr;
    void SetUp() override
    {
        GuiTest::Init();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 300);
        LB = new TListBox(Form.get());
        LB->SetParent(Form.get());
        LB->SetBounds(10, 10, 120, 100);
        LB->SetItemHeight(16);
        Form->Show();
        GuiTest::ProcessEvents();
    }
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i) LB->Items()->Add("item " + std::to_string(i));
    }
};

TEST_F(ListBoxTest, ItemsAddInsertDeleteAndSortedPlacesThem)
{
    LB->Items()->Add("b");
    LB->Items()->Add("a");
    LB->Items()->Insert(0, "c");
    EXPECT_EQ(LB->Items()->CommaText(), "c,b,a");
    LB->Items()->Delete(1);
    EXPECT_EQ(LB->Items()->CommaText(), "c,a");
    EXPECT_THROW(LB->Items()->Delete(5), Exception);
    LB->SetSorted(true);
    EXPECT_EQ(LB->Items()->CommaText(), "a,c");
    LB->Items()->Add("张");
    LB->Items()->Add("b");
    // Chinese sorts after ASCII in the 8-bit order; case is folded.
    EXPECT_EQ(LB->Items()->CommaText(), "a,b,c,张");
    LB->Clear();
    EXPECT_EQ(LB->Count(), 0);
}

TEST_F(ListBoxTest, ItemsAndSelectionOutliveTheWindow)
{
    TListBox lb(nullptr);
    lb.Items()->Add("x");
    lb.Items()->AddObject("y", Form.get());
    lb.SetItemIndex(1);
    EXPECT_EQ(lb.ItemIndex(), 1);
    lb.SetParent(Form.get());
    lb.HandleNeeded();
    EXPECT_EQ(lb.Items()->CommaText(), "x,y");
    EXPECT_EQ(lb.Items()->Objects(1), Form.get());
    EXPECT_EQ(lb.ItemIndex(), 1);
    lb.SetBorderStyle(bsNone);   // a new window keeps them
    EXPECT_EQ(lb.Items()->CommaText(), "x,y");
    EXPECT_EQ(lb.ItemIndex(), 1);
    lb.SetParent(nullptr);
}

TEST_F(ListBoxTest, SingleAndMultiSelection)
{
    Fill(5);
    EXPECT_EQ(LB->ItemIndex(), -1);
    LB->SetItemIndex(2);
    EXPECT_EQ(LB->ItemIndex(), 2);
    EXPECT_TRUE(LB->Selected(2));
    EXPECT_EQ(LB->SelCount(), -1);   // single selection keeps no count
    LB->SetItemIndex(-1);
    EXPECT_EQ(LB->ItemIndex(), -1);
    EXPECT_THROW(LB->Selected(9), Exception);

    LB->SetMultiSelect(true);
    EXPECT_EQ(LB->Count(), 5);
    LB->SetSelected(1, true);
    LB->SetSelected(3, true);
    EXPECT_EQ(LB->SelCount(), 2);
    EXPECT_TRUE(LB->Selected(3));
    LB->SelectAll();
    EXPECT_EQ(LB->SelCount(), 5);
    LB->ClearSelection();
    EXPECT_EQ(LB->SelCount(), 0);
}

TEST_F(ListBoxTest, ClickComesFromChoosingAnItemNotFromTheProgram)
{
    Fill(5);
    int clicks = 0, dbl = 0;
    LB->OnClick = [&](TObject*) { ++clicks; };
    LB->OnDblClick = [&](TObject*) { ++dbl; };
    LB->SetItemIndex(1);
    EXPECT_EQ(clicks, 0);
    TRect r = LB->ItemRect(3);
    GuiTest::Click(LB, Point(r.Left + 5, r.Top + 3));
    EXPECT_EQ(LB->ItemIndex(), 3);
    EXPECT_EQ(clicks, 1);
    GuiTest::Click(LB, Point(r.Left + 5, r.Top + 3));   // nothing changed
    EXPECT_EQ(clicks, 1);
    TRect r0 = LB->ItemRect(0);
    GuiTest::DoubleClick(LB, Point(r0.Left + 5, r0.Top + 3));
    EXPECT_EQ(LB->ItemIndex(), 0);
    EXPECT_EQ(dbl, 1);
    // Keys move the choice in the list itself, and that is a click too.
    LB->SetFocus();
    GuiTest::ProcessEvents();
    clicks = 0;
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(LB->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    // A handler that takes the key keeps it from the list.
    LB->OnKeyDown = [](TObject*, WORD& k, TShiftState) { if (k == VK_DOWN) k = 0; };
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(LB->ItemIndex(), 1);
}

TEST_F(ListBoxTest, ItemGeometryAndHitTest)
{
    Fill(3);
    TRect r1 = LB->ItemRect(1);
    EXPECT_EQ(r1.Top, 16);
    EXPECT_EQ(r1.Height(), 16);
    EXPECT_EQ(r1.Left, 0);
    EXPECT_EQ(r1.Width(), LB->ClientWidth());
    EXPECT_EQ(LB->ItemAtPos(Point(5, 20), true), 1);
    EXPECT_EQ(LB->ItemAtPos(Point(5, 70), true), -1);
    EXPECT_EQ(LB->ItemAtPos(Point(5, 70), false), 3);
    EXPECT_EQ(LB->Perform(LB_GETITEMHEIGHT), 16);
}

TEST_F(ListBoxTest, VerticalBarAppearsWithItsRangeAndScrolls)
{
    Fill(3);
    TScrollBarInfo bi;
    GetScrollBarInfo(LB->Handle(), OBJID_VSCROLL, &bi);
    EXPECT_TRUE(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    int fullWidth = LB->ClientWidth();
    Fill(17);   // 20 items, 16 px each, in about 96 px
    GetScrollBarInfo(LB->Handle(), OBJID_VSCROLL, &bi);
    EXPECT_FALSE(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(LB->ClientWidth(), fullWidth - GetSystemMetrics(SM_CXVSCROLL));
    TScrollInfo si;
    GetScrollInfo(LB->Handle(), SB_VERT, &si);
    int page = LB->ClientHeight() / 16;
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 19);
    EXPECT_EQ(int(si.nPage), page);
    EXPECT_EQ(si.nPos, 0);

    LB->Perform(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(LB->TopIndex(), 1);
    LB->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7));
    EXPECT_EQ(LB->TopIndex(), 7);
    EXPECT_EQ(GetScrollPos(LB->Handle(), SB_VERT), 7);
    LB->Perform(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(LB->TopIndex(), 20 - page);
    LB->SetTopIndex(2);
    EXPECT_EQ(LB->TopIndex(), 2);
    EXPECT_EQ(LB->ItemRect(2).Top, 0);
    LB->SetItemIndex(19);   // brought into view
    EXPECT_EQ(LB->TopIndex(), 20 - page);
    GuiTest::Wheel(LB, Point(5, 5), 120);
    EXPECT_LT(LB->TopIndex(), 20 - page);
}

TEST_F(ListBoxTest, HorizontalBarFollowsTheScrollWidth)
{
    Fill(2);
    TScrollBarInfo bi;
    GetScrollBarInfo(LB->Handle(), OBJID_HSCROLL, &bi);
    EXPECT_TRUE(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    LB->SetScrollWidth(400);
    GetScrollBarInfo(LB->Handle(), OBJID_HSCROLL, &bi);
    EXPECT_FALSE(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    TScrollInfo si;
    GetScrollInfo(LB->Handle(), SB_HORZ, &si);
    EXPECT_EQ(si.nMax, 399);
    EXPECT_EQ(int(si.nPage), LB->ClientWidth());
    LB->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50));
    EXPECT_EQ(GetScrollPos(LB->Handle(), SB_HORZ), 50);
    EXPECT_EQ(LB->ItemRect(0).Left, -50);
}

TEST_F(ListBoxTest, OwnerDrawnItemsPaintThroughTheEvent)
{
    Fill(3);
    LB->SetItemIndex(1);
    std::vector<std::pair<int, bool>> drawn;
    LB->OnDrawItem = [&](TWinControl* c, int index, TRect rect, TOwnerDrawState state) {
        drawn.emplace_back(index, state.Contains(odSelected));
        auto* lb = static_cast<TListBox*>(c);
        lb->Canvas()->Brush()->SetColor(index == 2 ? clRed : lb->Canvas()->Brush()->Color());
        lb->Canvas()->FillRect(rect);
    };
    std::unique_ptr<TBitmap> plain(GuiTest::Grab(LB));
    EXPECT_TRUE(drawn.empty());   // a standard list ignores the handler
    LB->SetStyle(lbOwnerDrawFixed);
    LB->Invalidate();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(LB));
    ASSERT_GE(drawn.size(), 3u);
    EXPECT_TRUE(std::count(drawn.begin(), drawn.end(), std::make_pair(1, true)) > 0);
    EXPECT_TRUE(std::count(drawn.begin(), drawn.end(), std::make_pair(0, false)) > 0);
    EXPECT_EQ(GuiTest::PixelAt(LB, Point(20, 2 * 16 + 8)), ColorToRGB(clRed));
    EXPECT_EQ(GuiTest::PixelAt(LB, Point(20, 1 * 16 + 8)), ColorToRGB(clHighlight));

    LB->SetStyle(lbOwnerDrawVariable);
    LB->OnMeasureItem = [](TWinControl*, int index, int& h) { h = 10 + 10 * index; };
    LB->Items()->Add("late");   // measured again with the new rule
    LB->SetStyle(lbOwnerDrawFixed);
    LB->SetStyle(lbOwnerDrawVariable);
    EXPECT_EQ(LB->ItemRect(1).Top, 10);
    EXPECT_EQ(LB->ItemRect(2).Top, 30);
    EXPECT_EQ(LB->ItemRect(2).Height(), 30);
}

} // namespace

namespace {

TEST_F(ListBoxTest, AFailingDrawHandlerDoesNotTakeThePaintDown)
{
    LB->SetStyle(lbOwnerDrawFixed);
    Fill(3);
    int calls = 0;
    LB->OnDrawItem = [&](TWinControl*, int, TRect, TOwnerDrawState) {
        ++calls;
        throw Exception("draw failed");
    };
    LB->Invalidate();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(LB));
    EXPECT_GE(calls, 3);
    EXPECT_EQ(LB->Count(), 3);
}

} // namespace

namespace {

// Items flow down each column and on into the next; the list scrolls
// sideways a whole column at a time, never downwards.
TEST_F(ListBoxTest, ColumnsFlowTopToBottomUnderAHorizontalBar)
{
    struct Case {
        int columns;
        int items;
        bool horzBar;
    };
    const Case cases[] = {{2, 20, true}, {3, 30, true}, {1, 12, true}, {3, 4, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << " columns, " << c.items << " items");
        LB->SetColumns(0);
        LB->Clear();
        Fill(c.items);
        LB->SetColumns(c.columns);
        EXPECT_EQ(LB->Columns(), c.columns);

        TScrollBarInfo bi;
        GetScrollBarInfo(LB->Handle(), OBJID_VSCROLL, &bi);
        EXPECT_TRUE(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
        GetScrollBarInfo(LB->Handle(), OBJID_HSCROLL, &bi);
        EXPECT_EQ(!(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE), c.horzBar);

        const int cw = LB->ClientWidth() / c.columns;
        const int perColumn = LB->ClientHeight() / 16;
        ASSERT_GT(perColumn, 0);
        EXPECT_EQ(LB->ColumnWidth(), cw);
        for (int i : {0, 1, perColumn - 1, perColumn, std::min(c.items - 1, 2 * perColumn + 1), c.items - 1}) {
            if (i < 0 || i >= c.items) continue;
            SCOPED_TRACE(i);
            const TRect r = LB->ItemRect(i);
            EXPECT_EQ(r.Left, (i / perColumn) * cw);
            EXPECT_EQ(r.Top, (i % perColumn) * 16);
            EXPECT_EQ(r.Width(), cw);
            EXPECT_EQ(r.Height(), 16);
            if (r.Left >= 0 && r.Right <= LB->ClientWidth())
                EXPECT_EQ(LB->ItemAtPos(Point(r.Left + cw / 2, r.Top + 8), true), i);
        }
        // Below the last item of the last column: nothing there.
        const TRect last = LB->ItemRect(c.items - 1);
        if (last.Bottom + 8 < LB->ClientHeight() && last.Right <= LB->ClientWidth())
            EXPECT_EQ(LB->ItemAtPos(Point(last.Left + 4, last.Bottom + 4), true), -1);

        const int columnCount = (c.items + perColumn - 1) / perColumn;
        TScrollInfo si;
        GetScrollInfo(LB->Handle(), SB_HORZ, &si);
        if (!c.horzBar) {
            EXPECT_EQ(si.nMax, 0);
            continue;
        }
        EXPECT_EQ(si.nMin, 0);
        EXPECT_EQ(si.nMax, columnCount * cw - 1);
        EXPECT_EQ(int(si.nPage), c.columns * cw);
        EXPECT_EQ(si.nPos, 0);

        LB->Perform(WM_HSCROLL, SB_LINEDOWN);
        EXPECT_EQ(GetScrollPos(LB->Handle(), SB_HORZ), cw);
        EXPECT_EQ(LB->ItemRect(perColumn).Left, 0);
        EXPECT_EQ(LB->ItemAtPos(Point(cw / 2, 8), true), perColumn);
        GuiTest::Wheel(LB, Point(5, 5), 120);   // a notch back: one column
        EXPECT_EQ(GetScrollPos(LB->Handle(), SB_HORZ), 0);
        GuiTest::Wheel(LB, Point(5, 5), -120);
        EXPECT_EQ(GetScrollPos(LB->Handle(), SB_HORZ), cw);
        // A dragged thumb settles on the nearest column.
        LB->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, cw + cw / 3));
        EXPECT_EQ(GetScrollPos(LB->Handle(), SB_HORZ), cw);
        LB->Perform(WM_HSCROLL, SB_BOTTOM);
        EXPECT_EQ(GetScrollPos(LB->Handle(), SB_HORZ), (columnCount - c.columns) * cw);
        EXPECT_EQ(LB->ItemRect(c.items - 1).Left, (c.columns - 1) * cw);
        LB->Perform(WM_HSCROLL, SB_TOP);
        EXPECT_EQ(LB->ItemRect(0).Left, 0);
        // Choosing an item out of view brings its column in, whole.
        LB->SetItemIndex(c.items - 1);
        EXPECT_EQ(GetScrollPos(LB->Handle(), SB_HORZ), (columnCount - c.columns) * cw);
        EXPECT_EQ(LB->ItemRect(c.items - 1).Left, (c.columns - 1) * cw);
        LB->SetFocus();
        GuiTest::KeyPress(VK_HOME);
        EXPECT_EQ(LB->ItemIndex(), 0);
        EXPECT_EQ(GetScrollPos(LB->Handle(), SB_HORZ), 0);
        EXPECT_EQ(LB->ItemRect(0).Left, 0);
    }
    // Back to one column under the vertical bar.
    LB->SetColumns(0);
    Fill(16);
    EXPECT_EQ(LB->ItemRect(1).Left, 0);
    EXPECT_EQ(LB->ItemRect(1).Top, 16);
    EXPECT_EQ(LB->ItemRect(1).Width(), LB->ClientWidth());
    TScrollBarInfo bi;
    GetScrollBarInfo(LB->Handle(), OBJID_VSCROLL, &bi);
    EXPECT_FALSE(bi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_F(ListBoxTest, ColumnsSetBeforeTheWindowAndWidenWithTheList)
{
    auto* lb = new TListBox(Form.get());
    lb->SetColumns(2);
    lb->SetItemHeight(16);
    for (int i = 0; i < 12; ++i) lb->Items()->Add("第" + std::to_string(i) + "项");
    lb->SetParent(Form.get());
    lb->SetBounds(140, 10, 120, 100);
    GuiTest::ProcessEvents();
    const int perColumn = lb->ClientHeight() / 16;
    EXPECT_EQ(lb->ItemRect(perColumn).Left, lb->ClientWidth() / 2);
    EXPECT_EQ(lb->ItemRect(perColumn).Top, 0);
    lb->SetWidth(160);
    GuiTest::ProcessEvents();
    EXPECT_EQ(lb->ColumnWidth(), lb->ClientWidth() / 2);
    EXPECT_EQ(lb->ItemRect(perColumn).Left, lb->ClientWidth() / 2);
    EXPECT_EQ(lb->ItemRect(perColumn).Width(), lb->ClientWidth() / 2);
}

// Columns of ink along one row of the list as drawn.
std::vector<bool> InkAlongRow(TBitmap* shot, TListBox* lb, int top, int height)
{
    // The shot holds the whole window: the client area starts inside the border.
    const TRect in = lb->NonClientInsets();
    std::vector<bool> ink(size_t(lb->ClientWidth()), false);
    for (int x = 0; x < lb->ClientWidth(); ++x)
        for (int y = top + 1; y < top + height - 1; ++y) {
            TColor c = ColorToRGB(shot->Canvas()->Pixels(x + in.Left, y + in.Top));
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128) {
                ink[size_t(x)] = true;
                break;
            }
        }
    return ink;
}

// Tabs in an item's text jump to multiples of the tab width, counted in
// dialog units of the list's font from the start of the text.
TEST_F(ListBoxTest, TabsInItemTextsJumpToTheTabStops)
{
    LB->SetBounds(10, 10, 280, 120);
    LB->SetItemHeight(20);
    const std::vector<std::string> runs = {"姓名", "电话", "科目"};
    LB->Items()->Add(runs[0] + "\t" + runs[1] + "\t" + runs[2]);
    TBitmap measure;
    measure.SetWidth(10);
    measure.SetHeight(10);
    measure.Canvas()->Font()->Assign(LB->Font());
    const int base = (measure.Canvas()->TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    for (int tabWidth : {0, 16, 40, 60}) {
        SCOPED_TRACE(tabWidth);
        LB->SetTabWidth(tabWidth);
        EXPECT_EQ(LB->TabWidth(), tabWidth);
        const int stop = (tabWidth > 0 ? tabWidth : 32) * base / 4;
        GuiTest::ProcessEvents();
        std::unique_ptr<TBitmap> shot(GuiTest::Grab(LB));
        ASSERT_TRUE(shot);
        if (tabWidth == 40)
            EXPECT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/gui_list_tabs.png"));
        const std::vector<bool> ink = InkAlongRow(shot.get(), LB, 0, 20);
        auto inkIn = [&](int from, int to) {
            for (int x = std::max(0, from); x < std::min(to, int(ink.size())); ++x)
                if (ink[size_t(x)]) return true;
            return false;
        };
        int x = 0;
        for (size_t k = 0; k < runs.size(); ++k) {
            SCOPED_TRACE(runs[k]);
            const int w = measure.Canvas()->TextWidth(runs[k]);
            const int start = 2 + x;
            // The run's ink starts at its stop and nothing is drawn in the gap before it.
            EXPECT_TRUE(inkIn(start, start + 4));
            EXPECT_FALSE(inkIn(start - 4, start)) << start;
            const int end = x + w;
            if (k + 1 < runs.size()) {
                x = (end / stop + 1) * stop;
                EXPECT_FALSE(inkIn(2 + end + 2, 2 + x - 1));
            }
        }
    }
}

// With completion the characters typed together find an item; without it
// each one finds by itself.
TEST_F(ListBoxTest, TypingFindsItemsWithOrWithoutCompletion)
{
    for (const char* s : {"apple", "apricot", "banana", "avocado"}) LB->Items()->Add(s);
    struct Case {
        const char* typed;
        bool autoComplete;
        int expected;
    };
    const Case cases[] = {{"av", true, 3}, {"ap", true, 0}, {"ab", false, 2}, {"av", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.typed << " " << c.autoComplete);
        LB->SetAutoComplete(c.autoComplete);
        LB->SetItemIndex(-1);
        LB->SetFocus();
        GuiTest::ProcessEvents();
        GuiTest::TypeText(c.typed);
        EXPECT_EQ(LB->ItemIndex(), c.expected);
        // Typing after a pause starts a new search.
        std::this_thread::sleep_for(std::chrono::milliseconds(450));
    }
}

} // namespace
