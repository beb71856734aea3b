// The inner list box inside a container: events handed on in the
// container's coordinates, keys kept from the list, painter bars over the
// list's own, container dragging from a multi-select list.
#include "Forms.h"
#include "GuiTesting.h"
#include "cxInnerListBox.h"
#include "cxLookAndFeelPainters.h"

#include "FormTestBase.h"

#include <gtest/gtest.h>

namespace {

class InnerListBoxTest : public FormTestBase {
protected:
    void SetUp() override
    {
        StartGui();
        MakeForm();
        C = new TcxContainer(Form);
        C->SetParent(Form);
        C->SetScrollBars(ssNone);
        C->SetBounds(10, 10, 140, 110);
        L = new TcxCustomInnerListBox(C);
        L->SetParent(C);
        L->SetItemHeight(16);
        C->SetInnerControl(L);
        L->Container = C;
        ShowForm();
    }
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i) L->Items()->Add("item " + std::to_string(i));
    }
    TcxContainer* C = nullptr;
    TcxCustomInnerListBox* L = nullptr;
};

TEST_F(InnerListBoxTest, PainterBarCoversTheSystemBarWithItsRangeAndScrollsTheList)
{
    Fill(3);
    EXPECT_FALSE(L->VertScrollBar()->Visible());
    Fill(27);   // 30 items: the list's own vertical bar shows
    TcxScrollBar* bar = L->VertScrollBar();
    ASSERT_TRUE(bar->Visible());
    EXPECT_EQ(bar->Parent(), C);
    TScrollBarInfo info;
    GetScrollBarInfo(L->Handle(), OBJID_VSCROLL, &info);
    TPoint a = C->ScreenToClient(info.rcScrollBar.TopLeft());
    EXPECT_EQ(bar->BoundsRect(), Bounds(a.X, a.Y, info.rcScrollBar.Width(), info.rcScrollBar.Height()));
    TScrollInfo si;
    GetScrollInfo(L->Handle(), SB_VERT, &si);
    EXPECT_EQ(bar->Min(), si.nMin);
    EXPECT_EQ(bar->Max(), 29);
    EXPECT_EQ(bar->PageSize(), int(si.nPage));
    EXPECT_FALSE(L->HorzScrollBar()->Visible());

    // Dragging the thumb: the bar reports the tracked position, the list follows it exactly.
    int pos = 6;
    bar->OnScroll(bar, scTrack, pos);
    EXPECT_EQ(L->TopIndex(), 6);
    EXPECT_EQ(pos, 6);
    pos = 500;
    bar->OnScroll(bar, scTrack, pos);
    EXPECT_EQ(L->TopIndex(), 30 - int(si.nPage));
    EXPECT_EQ(pos, L->TopIndex());
    // Scrolling the list by itself moves the painter thumb.
    L->SetTopIndex(3);
    EXPECT_EQ(bar->Position(), 3);
    L->Clear();
    EXPECT_FALSE(bar->Visible());
}

TEST_F(InnerListBoxTest, BothBarsLeaveACornerAndANarrowOrMisplacedListHidesTheBar)
{
    Fill(30);
    L->SetScrollWidth(400);
    ASSERT_TRUE(L->HorzScrollBar()->Visible());
    ASSERT_TRUE(L->VertScrollBar()->Visible());
    TRect grip;
    L->GetSizeGripRect(grip);
    EXPECT_EQ(grip, Bounds(L->ClientWidth(), L->ClientHeight(), GetSystemMetrics(SM_CXVSCROLL),
                           GetSystemMetrics(SM_CYHSCROLL)));
    TScrollInfo si;
    GetScrollInfo(L->Handle(), SB_HORZ, &si);
    EXPECT_EQ(L->HorzScrollBar()->Max(), 399);
    int pos = 40;
    L->HorzScrollBar()->OnScroll(L->HorzScrollBar(), scPosition, pos);
    EXPECT_EQ(GetScrollPos(L->Handle(), SB_HORZ), 40);

    // The list reaching out of the container's left edge: the system bar starts outside it.
    L->SetBounds(-20, 0, L->Width(), L->Height());
    EXPECT_FALSE(L->HorzScrollBar()->Visible());
    EXPECT_TRUE(L->VertScrollBar()->Visible());
    L->GetSizeGripRect(grip);
    EXPECT_TRUE(IsRectEmpty(grip));
}

TEST_F(InnerListBoxTest, MouseAndClicksReachTheContainerInItsCoordinates)
{
    Fill(5);
    std::vector<std::string> log;
    bool forwarding = false;
    C->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        forwarding = C->InnerMouseDownForwarding;
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    };
    C->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    L->OnClick = [&](TObject*) { log.push_back("list click"); };
    C->OnClick = [&](TObject*) { log.push_back("container click " + std::to_string(L->ItemIndex())); };
    C->OnDblClick = [&](TObject*) { log.push_back("container dbl"); };
    TPoint at = Point(5, 2 * 16 + 4);
    GuiTest::Click(L, at);
    const std::string down = "down " + std::to_string(at.X + L->Left()) + "," + std::to_string(at.Y + L->Top());
    const std::string up = "up " + std::to_string(at.X + L->Left()) + "," + std::to_string(at.Y + L->Top());
    EXPECT_EQ(log, (std::vector<std::string>{down, "list click", "container click 2", up}));
    EXPECT_TRUE(forwarding);
    EXPECT_FALSE(C->InnerMouseDownForwarding);
    log.clear();
    GuiTest::DoubleClick(L, at);
    EXPECT_NE(std::find(log.begin(), log.end(), "container dbl"), log.end());
}

TEST_F(InnerListBoxTest, TabAndEnterNeverReachTheList)
{
    Fill(5);
    L->SetFocus();
    GuiTest::ProcessEvents();
    std::string listKeys, containerKeys;
    L->OnKeyPress = [&](TObject*, char& k) { listKeys += k; };
    C->OnKeyPress = [&](TObject*, char& k) { containerKeys += k; };
    char k = '\t';
    L->KeyPress(k);
    k = '\r';
    L->KeyPress(k);
    k = 'a';
    L->KeyPress(k);
    EXPECT_EQ(listKeys, "a");
    // The container sees the Enter but never the Tab.
    EXPECT_EQ(containerKeys.find('\t'), std::string::npos);
    EXPECT_NE(containerKeys.find('\r'), std::string::npos);
    WORD key = VK_TAB;
    std::vector<WORD> ups;
    L->OnKeyUp = [&](TObject*, WORD& k2, TShiftState) { ups.push_back(k2); };
    L->KeyUp(key, {});
    EXPECT_TRUE(ups.empty());
    const LRESULT code = L->Perform(WM_GETDLGCODE);
    EXPECT_TRUE(code & DLGC_WANTTAB);
    EXPECT_TRUE(code & DLGC_WANTCHARS);
    EXPECT_TRUE(code & DLGC_WANTARROWS);

    // A key the container takes stops there.
    C->OnKeyDown = [](TObject*, WORD& k2, TShiftState) { if (k2 == VK_DOWN) k2 = 0; };
    L->SetItemIndex(0);
    GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(L->ItemIndex(), 0);

    // Without a container the list is an ordinary list.
    L->Container = nullptr;
    listKeys.clear();
    k = '\r';
    L->KeyPress(k);
    EXPECT_EQ(listKeys, "\r");
    EXPECT_FALSE(L->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
}

TEST_F(InnerListBoxTest, PressOnAChosenItemDragsTheContainerWithoutChangingTheChoice)
{
    Fill(6);
    L->SetMultiSelect(true);
    L->SetSelected(1, true);
    L->SetSelected(2, true);
    C->SetDragMode(dmAutomatic);
    TRect r1 = L->ItemRect(1);
    TPoint p = Point(10, r1.Top + 4);
    GuiTest::MouseDown(L, mbLeft, p);
    GuiTest::MouseMove(L, Point(p.X + 20, p.Y + 20));
    EXPECT_TRUE(C->Dragging());
    EXPECT_TRUE(L->Selected(1));
    EXPECT_TRUE(L->Selected(2));
    EXPECT_EQ(L->DragMode(), dmManual);
    GuiTest::MouseUp(L, mbLeft, Point(p.X + 20, p.Y + 20));
    EXPECT_FALSE(C->Dragging());


    // A Ctrl-press on another item adds it to the choice and drags nothing.
    TRect r4 = L->ItemRect(4);
    TPoint q = Point(10, r4.Top + 4);
    GuiTest::MouseDown(L, mbLeft, q, {ssCtrl});
    EXPECT_TRUE(L->Selected(4));
    EXPECT_TRUE(L->Selected(1));
    GuiTest::MouseMove(L, Point(q.X + 20, q.Y + 20), {ssCtrl});
    EXPECT_FALSE(C->Dragging());
    GuiTest::MouseUp(L, mbLeft, Point(q.X + 20, q.Y + 20), {ssCtrl});
}

TEST_F(InnerListBoxTest, FocusChangesTellTheContainerAndFreeingLeavesNoBars)
{
    int changes = 0;
    C->OnFocusChanged = [&](TObject*) { ++changes; };
    TWinControl* other = new TcxContainer(Form);
    other->SetParent(Form);
    other->SetBounds(200, 10, 50, 20);
    other->SetFocus();
    GuiTest::ProcessEvents();
    changes = 0;
    L->SetFocus();   // from elsewhere: the container hears of it
    GuiTest::ProcessEvents();
    EXPECT_TRUE(L->Focused());
    EXPECT_EQ(changes, 1);
    other->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_EQ(changes, 2);

    Fill(30);
    ASSERT_EQ(L->VertScrollBar()->Parent(), C);
    int controls = C->ControlCount();
    C->SetInnerControl(nullptr);
    delete L;
    EXPECT_EQ(C->ControlCount(), controls - 2);
}

} // namespace

namespace {

TEST_F(InnerListBoxTest, PainterThumbFollowsKeysAndTheWheel)
{
    Fill(30);
    L->SetFocus();
    GuiTest::ProcessEvents();
    L->SetItemIndex(0);
    for (int i = 0; i < 12; ++i) GuiTest::KeyPress(VK_DOWN);
    EXPECT_EQ(L->ItemIndex(), 12);
    EXPECT_GT(L->TopIndex(), 0);
    EXPECT_EQ(L->VertScrollBar()->Position(), L->TopIndex());
    GuiTest::KeyPress(VK_END);
    EXPECT_EQ(L->ItemIndex(), 29);
    EXPECT_EQ(L->VertScrollBar()->Position(), L->TopIndex());
    GuiTest::Wheel(L, Point(5, 5), 120);
    EXPECT_LT(L->TopIndex(), L->VertScrollBar()->Max());
    EXPECT_EQ(L->VertScrollBar()->Position(), L->TopIndex());
}

} // namespace

namespace {

TEST_F(InnerListBoxTest, BarsFollowTheListLookAndFeel)
{
    Fill(30);
    L->LookAndFeel()->SetNativeStyle(false);
    L->LookAndFeel()->SetKind(lfUltraFlat);
    EXPECT_EQ(L->VertScrollBar()->LookAndFeel()->GetEffectiveKind(), lfUltraFlat);
    EXPECT_EQ(L->HorzScrollBar()->LookAndFeel()->GetEffectiveKind(), lfUltraFlat);
    L->LookAndFeel()->SetKind(lfFlat);
    EXPECT_EQ(L->VertScrollBar()->LookAndFeel()->GetEffectiveKind(), lfFlat);
}

} // namespace

namespace {

TEST_F(InnerListBoxTest, DropsBelongToTheContainerAlone)
{
    L->SetBounds(3, 4, 100, 80);
    TPoint seen{-1, -1};
    int listCalls = 0;
    C->OnDragOver = [&](TObject*, TObject*, int x, int y, TDragState, bool& accept) {
        seen = Point(x, y);
        accept = true;
    };
    C->OnDragDrop = [&](TObject*, TObject*, int x, int y) { seen = Point(x, y); };
    L->OnDragOver = [&](TObject*, TObject*, int, int, TDragState, bool&) { ++listCalls; };
    L->OnDragDrop = [&](TObject*, TObject*, int, int) { ++listCalls; };
    bool accept = false;
    L->DragOver(Form, 5, 6, dsDragMove, accept);
    EXPECT_TRUE(accept);
    EXPECT_EQ(seen, Point(8, 10));
    L->DragDrop(Form, 7, 1);
    EXPECT_EQ(seen, Point(10, 5));
    L->Container = nullptr;
    accept = false;
    L->DragOver(Form, 5, 6, dsDragMove, accept);
    L->DragDrop(Form, 5, 6);
    EXPECT_FALSE(accept);
    EXPECT_EQ(listCalls, 0);
}

} // namespace
