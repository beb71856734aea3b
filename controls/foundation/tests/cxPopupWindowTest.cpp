#include "GuiTesting.h"
#include "cxControls.h"

#include <gtest/gtest.h>

namespace {

class PopupPlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        Work = cxControls::GetDesktopWorkArea({10, 10});
        ASSERT_GT(Work.Height(), 200);
        Popup = new TcxPopupWindow();
        Popup->SetBounds(0, 0, 150, 100);
    }
    void TearDown() override { delete Popup; }
    TPoint Place(const TRect& owner)
    {
        Popup->AnchorBounds = owner;
        TPoint p;
        Popup->CalculatePosition(p);
        return p;
    }
    TRect Work;
    TcxPopupWindow* Popup = nullptr;
};

TEST_F(PopupPlacementTest, BelowByDefaultAndAboveWhenThereIsMoreRoom)
{
    const TRect mid{Work.Left + 50, Work.Top + 50, Work.Left + 200, Work.Top + 70};
    EXPECT_EQ(Place(mid), Point(mid.Left, mid.Bottom));

    const TRect low{Work.Left + 50, Work.Bottom - 30, Work.Left + 200, Work.Bottom - 10};
    EXPECT_EQ(Place(low), Point(low.Left, low.Top - 100));

    // Too tall for either side, and less room above: it stays below and runs past.
    Popup->SetHeight(Work.Height() + 50);
    const TRect high{Work.Left + 50, Work.Top + 10, Work.Left + 200, Work.Top + 30};
    EXPECT_EQ(Place(high), Point(high.Left, high.Bottom));
}

TEST_F(PopupPlacementTest, AboveFlipsBelowWhenItDoesNotFit)
{
    Popup->VertAlignment = pvaTop;
    const TRect high{Work.Left + 50, Work.Top + 10, Work.Left + 200, Work.Top + 30};
    EXPECT_EQ(Place(high), Point(high.Left, high.Bottom));
    const TRect low{Work.Left + 50, Work.Bottom - 30, Work.Left + 200, Work.Bottom - 10};
    EXPECT_EQ(Place(low), Point(low.Left, low.Top - 100));
}

TEST_F(PopupPlacementTest, ClampingAcrossTheDirection)
{
    // Right-aligned to an owner at the right edge, wider than the room: kept inside.
    Popup->SetWidth(300);
    const TRect right{Work.Right - 100, Work.Top + 50, Work.Right, Work.Top + 70};
    EXPECT_EQ(Place(right).X, Work.Right - 300);
    // Centred and wider than the work area: the left edge on the work area's.
    Popup->HorzAlignment = phaCenter;
    Popup->SetWidth(Work.Width() + 100);
    EXPECT_EQ(Place({Work.Left + 100, Work.Top + 50, Work.Left + 200, Work.Top + 70}).X, Work.Left);
}

TEST_F(PopupPlacementTest, HorizontalDropFlipsToTheOtherSide)
{
    Popup->DropDirection = pdrHorizontal;
    Popup->HorzAlignment = phaRight;
    Popup->VertAlignment = pvaTop;
    const TRect left{Work.Left + 10, Work.Top + 50, Work.Left + 60, Work.Top + 70};
    EXPECT_EQ(Place(left), Point(left.Right, left.Top));
    const TRect edge{Work.Right - 60, Work.Top + 50, Work.Right - 10, Work.Top + 70};
    EXPECT_EQ(Place(edge), Point(edge.Left - 150, edge.Top));
    // Across the direction (vertical here) the popup is clamped.
    const TRect bottom{Work.Right - 60, Work.Bottom - 20, Work.Right - 10, Work.Bottom};
    EXPECT_EQ(Place(bottom).Y, Work.Bottom - 100);
}

TEST_F(PopupPlacementTest, AnchorInParentCoordinates)
{
    TForm form(nullptr);
    form.SetBounds(Work.Left + 40, Work.Top + 40, 300, 200);
    form.Show();
    GuiTest::ProcessEvents();
    Popup->AnchorParent = &form;
    Popup->AnchorBounds = {10, 10, 100, 30};
    TPoint p;
    Popup->CalculatePosition(p);
    EXPECT_EQ(p, form.ClientToScreen(Point(10, 30)));
}

TEST_F(PopupPlacementTest, SizeToControlsWithFrame)
{
    auto* child = new TcxSizeGrip(Popup);
    child->SetParent(Popup);
    child->SetBounds(0, 0, 50, 20);
    Popup->SetFrameStyle(pfsSingle);
    Popup->FrameSpace = 2;
    Popup->CalculateSize();
    EXPECT_EQ(child->BoundsRect(), Rect(3, 3, 53, 23));
    EXPECT_EQ(Popup->Width(), 56);
    EXPECT_EQ(Popup->Height(), 26);
    EXPECT_EQ(Popup->GetHorzFramesWidth(), 6);
    // A new frame style first moves the children back.
    Popup->SetFrameStyle(pfsRaised3D);
    EXPECT_EQ(child->BoundsRect(), Rect(0, 0, 50, 20));
}

TEST_F(PopupPlacementTest, FrameIsDrawnAfterTheForm)
{
    Popup->SetFrameStyle(pfsSingle);
    Popup->FrameLineColor = clRed;
    Popup->AnchorBounds = {Work.Left + 50, Work.Top + 50, Work.Left + 200, Work.Top + 70};
    Popup->SizeToControls = false;
    Popup->ShowPopup();
    GuiTest::ProcessEvents();
    EXPECT_EQ(Popup->Left(), Work.Left + 50);
    EXPECT_EQ(Popup->Top(), Work.Top + 70);
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Popup, Point(0, 50))), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Popup, Point(149, 50))), RGB(255, 0, 0));
    Popup->HidePopup();
}

}  // namespace
