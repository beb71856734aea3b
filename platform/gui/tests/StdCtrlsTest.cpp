// The list box over the native list widget: items, selection, scrolling
// through the window's own bars, clicks and owner drawing.
#include "StdCtrls.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

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
