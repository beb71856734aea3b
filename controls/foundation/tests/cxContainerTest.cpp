#include "Forms.h"
#include "GuiTesting.h"
#include "cxContainer.h"

#include "FormTestBase.h"

#include <gtest/gtest.h>

namespace {

class TMenu2 : public TComponent, public IcxPopupMenu {
    QZ_CLASS(TMenu2, TComponent)
public:
    using TComponent::TComponent;
    int Shown = 0;
    void Popup(int, int) override { ++Shown; }
};
QZ_CLASS_IMPL(TMenu2, TComponent)

class TInner : public TCustomControl {
    QZ_CLASS(TInner, TCustomControl)
public:
    explicit TInner(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
    std::vector<WORD> Keys;
    // Scrolls itself by lines, as the system list and edit windows do.
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_VSCROLL && LOWORD(m.WParam) == SB_LINEDOWN) {
            SetScrollPos(Handle(), SB_VERT, GetScrollPos(Handle(), SB_VERT) + 1, true);
            return;
        }
        TCustomControl::WndProc(m);
    }
    void KeyDown(WORD& Key, TShiftState Shift) override
    {
        Keys.push_back(Key);
        TCustomControl::KeyDown(Key, Shift);
    }
};
QZ_CLASS_IMPL(TInner, TCustomControl)

class ContainerTest : public FormTestBase {
protected:
    void SetUp() override
    {
        StartGui();
        MakeForm();
        C = new TcxContainer(Form);
        C->SetParent(Form);
        C->SetScrollBars(ssNone);
        C->SetBounds(10, 10, 120, 24);
        Inner = new TInner(C);
        Inner->SetParent(C);
        C->SetInnerControl(Inner);
        Next = new TcxContainer(Form);
        Next->SetParent(Form);
        Next->SetBounds(10, 60, 120, 24);
        ShowForm();
    }
    TcxContainer* C = nullptr;
    TcxContainer* Next = nullptr;
    TInner* Inner = nullptr;
};

TEST_F(ContainerTest, HotTrackingThickensTheFrameWithoutMovingTheClient)
{
    Next->SetFocus();
    GuiTest::ProcessEvents();
    C->Style()->SetBorderStyle(cbsSingle);
    C->RefreshContainer({-10, -10}, 0, {}, false);
    EXPECT_EQ(C->ViewInfo()->DrawnBorderStyle, cbsSingle);
    EXPECT_EQ(C->ViewInfo()->DrawnBorderWidth, 1);
    const TRect inner = C->ViewInfo()->InnerRect;
    EXPECT_EQ(inner, Rect(2, 2, 118, 22));
    EXPECT_EQ(Inner->BoundsRect(), inner);   // the inner control sits on the content
    EXPECT_EQ(C->GetActiveControl(), Inner);
    EXPECT_EQ(Next->GetActiveControl(), Next);

    C->SetFocus();
    GuiTest::ProcessEvents();
    EXPECT_TRUE(C->Focused());
    EXPECT_TRUE(Inner->Focused());   // the focus passes on to the inner control
    C->RefreshContainer({-10, -10}, 0, {}, false);
    EXPECT_EQ(C->ViewInfo()->DrawnBorderStyle, cbsThick);
    EXPECT_EQ(C->ViewInfo()->DrawnBorderWidth, 2);
    EXPECT_EQ(C->ViewInfo()->InnerRect, inner);

    // Under the mouse without focus: hot.
    Next->Style()->SetBorderStyle(cbsSingle);
    C->SetFocus();
    GuiTest::MouseMove(Next, Point(50, 12));
    EXPECT_TRUE(Next->ViewInfo()->StateFlags & cxcsHot);
    EXPECT_EQ(Next->ViewInfo()->DrawnBorderStyle, cbsThick);
    EXPECT_TRUE(cxControls::IsMouseTracking(Next));
    Next->TrackedMouseLeave();
    EXPECT_FALSE(Next->ViewInfo()->StateFlags & cxcsHot);
    EXPECT_FALSE(cxControls::IsMouseTracking(Next));
}

TEST_F(ContainerTest, UltraFlatFrameLightsUpOnFocus)
{
    C->SetFocus();
    GuiTest::ProcessEvents();
    Next->RefreshContainer({-10, -10}, 0, {}, false);
    EXPECT_EQ(Next->ViewInfo()->DrawnBorderStyle, cbsSingle);
    EXPECT_EQ(Next->ViewInfo()->DrawnBorderColor, clBtnShadow);
    Next->SetFocus();
    GuiTest::ProcessEvents();
    Next->RefreshContainer({-10, -10}, 0, {}, false);
    EXPECT_EQ(Next->ViewInfo()->DrawnBorderColor, clHighlight);
    Next->Repaint();
    GuiTest::ProcessEvents();
    // The drawn frame: extent 2, frame width 2 (thick when focused), so it starts at 0.
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Next, Point(1, 12))), ColorToRGB(clHighlight));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Next, Point(5, 12))), ColorToRGB(clWindow));
}

TEST_F(ContainerTest, ShadowAndEdgesShapeTheWindowRegion)
{
    C->Style()->SetBorderStyle(cbsSingle);
    C->Style()->SetHotTrack(false);
    C->Style()->SetTransparentBorder(false);
    C->Style()->SetShadow(true);
    C->ShortRefreshContainer(false);
    EXPECT_EQ(C->GetBorderExtent(), Rect(1, 1, 4, 4));
    std::unique_ptr<TcxRegion> rgn = C->CalcWindowRegion();
    ASSERT_NE(rgn, nullptr);
    EXPECT_TRUE(PtInRegion(rgn->Handle(), 0, 0));
    EXPECT_TRUE(PtInRegion(rgn->Handle(), 119, 23));             // the shadow's corner
    EXPECT_FALSE(PtInRegion(rgn->Handle(), 119, 1));             // the square above the shadow
    EXPECT_FALSE(PtInRegion(rgn->Handle(), 1, 23));              // and left of it
    EXPECT_EQ(rgn->BoundsRect(), Rect(0, 0, 120, 24));

    C->Style()->SetShadow(false);
    C->Style()->SetEdges(TcxBorders{bLeft, bTop, bBottom});
    C->ShortRefreshContainer(false);
    rgn = C->CalcWindowRegion();
    EXPECT_EQ(rgn->BoundsRect(), Rect(0, 0, 119, 24));   // no right border line
}

TEST_F(ContainerTest, ColourSetOnTheContainerLivesInTheStyle)
{
    C->SetColor(clYellow);
    EXPECT_TRUE(C->Style()->AssignedValues().Contains(csvColor));
    EXPECT_EQ(C->Style()->Color(), clYellow);
    C->Style()->SetBorderColor(clRed);   // a later style refresh keeps the colour
    EXPECT_EQ(C->Color(), clYellow);
    EXPECT_EQ(C->ViewInfo()->FillColor, clYellow);
    EXPECT_EQ(Inner->Color(), clYellow);
    C->SetEnabled(false);
    EXPECT_EQ(C->ViewInfo()->FillColor, clBtnFace);
    EXPECT_EQ(C->ViewInfo()->StateFlags, cxcsDisabled);
    EXPECT_FALSE(Inner->Enabled());
}

TEST_F(ContainerTest, KeysGoToTheInnerControlAndTabMovesOn)
{
    C->SetFocus();
    GuiTest::ProcessEvents();
    GuiTest::KeyDown('A');
    ASSERT_FALSE(Inner->Keys.empty());
    EXPECT_EQ(Inner->Keys.back(), 'A');
    // Tab handed to the container moves to the next control of the form.
    WORD tab = VK_TAB;
    C->Perform(WM_SETFOCUS);
    Inner->SetFocus();
    struct TOpen : TcxContainer { using TcxContainer::KeyDown; };
    static_cast<TOpen*>(C)->KeyDown(tab, {});
    GuiTest::ProcessEvents();
    EXPECT_EQ(tab, 0);
    EXPECT_TRUE(Next->Focused());
}

TEST_F(ContainerTest, NoContextMenuOnTheBorder)
{
    auto* menu = new TMenu2(Form);
    C->SetPopupMenu(menu);
    C->ShortRefreshContainer(false);
    GuiTest::Click(C, Point(0, 0), mbRight);
    EXPECT_EQ(menu->Shown, 0);
    bool handled = false;
    C->DoContextPopup(Point(30, 10), handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(menu->Shown, 1);
}

TEST_F(ContainerTest, PainterBarsLieOverTheInnerControlsOwnBars)
{
    C->SetBounds(10, 10, 150, 120);
    GuiTest::ProcessEvents();
    ShowScrollBar(Inner->Handle(), SB_VERT, true);
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 100;
    si.nPage = 10;
    si.nPos = 5;
    SetScrollInfo(Inner->Handle(), SB_VERT, &si, true);
    GuiTest::ProcessEvents();
    C->ShortRefreshContainer(false);
    TcxScrollBar* bar = C->VScrollBar();
    ASSERT_TRUE(bar->Visible());
    EXPECT_FALSE(C->HScrollBar()->Visible());
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(bar->Max(), 100);
    EXPECT_EQ(bar->PageSize(), 10);
    EXPECT_EQ(bar->Position(), 5);
    TScrollBarInfo info;
    ASSERT_TRUE(GetScrollBarInfo(Inner->Handle(), OBJID_VSCROLL, &info));
    EXPECT_EQ(C->ClientToScreen(bar->BoundsRect().TopLeft()), info.rcScrollBar.TopLeft());
    // A line down on the painter bar scrolls the inner control itself.
    bar->Scroll(scLineDown);
    EXPECT_EQ(GetScrollPos(Inner->Handle(), SB_VERT), 6);
    EXPECT_EQ(bar->Position(), 6);
}

TEST_F(ContainerTest, BorderStylesTable)
{
    struct Case { TcxContainerBorderStyle style; TcxContainerBorderStyle h0, h1, h2; };
    const Case cases[] = {
        {cbsNone, cbsNone, cbsNone, cbsFlat},   {cbsSingle, cbsSingle, cbsSingle, cbsThick},
        {cbsThick, cbsThick, cbsThick, cbsThick}, {cbsFlat, cbsFlat, cbsFlat, cbs3D},
        {cbs3D, cbs3D, cbs3D, cbs3D},           {cbsUltraFlat, cbsSingle, cbsSingle, cbsSingle},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cxContainer::DrawnBorderStyle(c.style, 0), c.h0);
        EXPECT_EQ(cxContainer::DrawnBorderStyle(c.style, 1), c.h1);
        EXPECT_EQ(cxContainer::DrawnBorderStyle(c.style, 2), c.h2);
    }
}

}  // namespace
