#include "Forms.h"
#include "GuiTesting.h"
#include "cxScrollBar.h"

#include "FormTestBase.h"

#include <gtest/gtest.h>

namespace {

struct TScrollRec {
    TScrollCode Code;
    int Pos;
};

class ScrollBarTest : public FormTestBase {
protected:
    void SetUp() override
    {
        StartGui();
        MakeForm(50, 50);
        Bar = new TcxScrollBar(Form);
        Bar->SetParent(Form);
        Bar->SetBounds(10, 100, 200, 17);
        Bar->OnScroll = [this](TObject*, TScrollCode code, int& pos) { Log.push_back({code, pos}); };
        ShowForm();
    }
    int CountOf(TScrollCode c) const
    {
        int n = 0;
        for (auto& r : Log) n += r.Code == c;
        return n;
    }
    TcxScrollBar* Bar = nullptr;
    std::vector<TScrollRec> Log;
};

TEST_F(ScrollBarTest, Geometry)
{
    EXPECT_EQ(Bar->FirstArrowRect(), Rect(0, 0, 17, 17));
    EXPECT_EQ(Bar->SecondArrowRect(), Rect(183, 0, 200, 17));
    // Page size 0: a thumb of the system size, placed in proportion.
    Bar->SetScrollParams(0, 100, 50, 0);
    const int track = 183 - 17;
    EXPECT_EQ(Bar->ThumbRect(), Rect(17 + MulDiv(track - 17, 50, 100), 0, 17 + MulDiv(track - 17, 50, 100) + 17, 17));
    EXPECT_EQ(Bar->PageBeforeRect().Left, 17);
    EXPECT_EQ(Bar->PageAfterRect().Right, 183);
    // A page size: proportional length.
    Bar->SetScrollParams(0, 99, 0, 50);
    EXPECT_EQ(Bar->ThumbRect().Width(), MulDiv(50, track, 100));
    EXPECT_EQ(Bar->ThumbRect().Left, 17);
    Bar->SetScrollParams(0, 99, 99, 50);
    EXPECT_EQ(Bar->ThumbRect().Right, 183);
    // Max = Min: no thumb, no page areas.
    Bar->SetScrollParams(5, 5, 5, 1);
    EXPECT_TRUE(Bar->ThumbRect() == TRect{});
    EXPECT_EQ(Bar->GetPartAt(100, 5), sbpNone);
    // Too short for two full arrows: half the length each, no thumb.
    Bar->SetScrollParams(0, 100, 0, 0);
    Bar->SetBounds(10, 100, 20, 17);
    EXPECT_EQ(Bar->FirstArrowRect(), Rect(0, 0, 10, 17));
    EXPECT_EQ(Bar->SecondArrowRect(), Rect(10, 0, 20, 17));
    EXPECT_TRUE(Bar->ThumbRect() == TRect{});
    // Vertical.
    Bar->SetKind(sbVertical);
    Bar->SetBounds(10, 10, 17, 150);
    EXPECT_EQ(Bar->SecondArrowRect(), Rect(0, 133, 17, 150));
    EXPECT_EQ(Bar->ThumbRect().Left, 0);
    EXPECT_EQ(Bar->ThumbRect().Top, 17);
}

TEST_F(ScrollBarTest, RangeErrorsKeepTheOldValues)
{
    Bar->SetScrollParams(0, 50, 10, 5);
    try {
        Bar->SetScrollParams(10, 5, 0, 0);
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Scrollbar property out of range");
    }
    EXPECT_THROW(Bar->SetPageSize(51), EInvalidOperation);
    EXPECT_EQ(Bar->Max(), 50);
    EXPECT_EQ(Bar->PageSize(), 5);
    int changes = 0;
    Bar->OnChange = [&](TObject*) { ++changes; };
    Bar->SetPosition(500);
    EXPECT_EQ(Bar->Position(), 50);
    Bar->SetPosition(50);
    EXPECT_EQ(changes, 1);
}

TEST_F(ScrollBarTest, ArrowAutoRepeat)
{
    GuiTest::TManualTime clock;
    Bar->SetScrollParams(0, 1000, 0, 0);
    GuiTest::MouseDown(Bar, mbLeft, Point(190, 8));
    EXPECT_EQ(CountOf(scLineDown), 1);
    EXPECT_EQ(Bar->PressedPart(), sbpLineDown);
    clock.Advance(399);
    EXPECT_EQ(CountOf(scLineDown), 1);
    clock.Advance(1);
    EXPECT_EQ(CountOf(scLineDown), 2);
    clock.Advance(60);
    EXPECT_EQ(CountOf(scLineDown), 3);
    clock.Advance(60);
    EXPECT_EQ(CountOf(scLineDown), 4);
    // Off the arrow: the repetition pauses; back on it resumes.
    GuiTest::MouseMove(Bar, Point(100, 8));
    clock.Advance(300);
    EXPECT_EQ(CountOf(scLineDown), 4);
    GuiTest::MouseMove(Bar, Point(190, 8));
    clock.Advance(60);
    EXPECT_EQ(CountOf(scLineDown), 5);
    EXPECT_EQ(Bar->GetPartState(sbpLineDown), cxbsPressed);
    GuiTest::MouseUp(Bar, mbLeft, Point(190, 8));
    EXPECT_EQ(Log.back().Code, scEndScroll);
    EXPECT_EQ(Bar->Position(), 5);
    clock.Advance(500);
    EXPECT_EQ(CountOf(scLineDown), 5);
}

TEST_F(ScrollBarTest, PageRepeatStopsWhenTheThumbReachesTheCursor)
{
    GuiTest::TManualTime clock;
    Bar->SetScrollParams(0, 100, 0, 0);
    Bar->SetLargeChange(10);
    GuiTest::MouseDown(Bar, mbLeft, Point(120, 8));
    EXPECT_EQ(CountOf(scPageDown), 1);
    clock.Advance(400 + 60 * 20);
    const int pages = CountOf(scPageDown);
    EXPECT_LT(pages, 11);
    EXPECT_GT(pages, 2);
    // The thumb now covers the cursor.
    EXPECT_EQ(Bar->GetPartAt(120, 8), sbpThumbnail);
    GuiTest::MouseUp(Bar, mbLeft, Point(120, 8));
}

TEST_F(ScrollBarTest, ThumbTrackingSnapBackAndRelease)
{
    Bar->SetScrollParams(0, 100, 0, 0);
    const TRect thumb = Bar->ThumbRect();
    const TPoint grab{thumb.Left + 5, 8};
    GuiTest::MouseDown(Bar, mbLeft, grab);
    EXPECT_EQ(Bar->PressedPart(), sbpThumbnail);
    GuiTest::MouseMove(Bar, Point(grab.X + 50, 8));
    EXPECT_EQ(Bar->ThumbRect().Left, thumb.Left + 50);
    const int tracked = Bar->Position();
    EXPECT_GT(tracked, 0);
    EXPECT_EQ(Log.back().Code, scTrack);
    // 140 pixels below the bar: back to where the drag started.
    GuiTest::MouseMove(Bar, Point(grab.X + 50, 17 + 140));
    EXPECT_EQ(Bar->Position(), 0);
    // Back in the area: tracking resumes.
    GuiTest::MouseMove(Bar, Point(grab.X + 60, 8 + 100));
    EXPECT_GT(Bar->Position(), tracked);
    const int before = int(Log.size());
    GuiTest::MouseUp(Bar, mbLeft, Point(grab.X + 60, 8 + 100));
    ASSERT_GE(int(Log.size()), before + 2);
    EXPECT_EQ(Log[Log.size() - 2].Code, scPosition);
    EXPECT_EQ(Log.back().Code, scEndScroll);
    EXPECT_EQ(Bar->PressedPart(), sbpNone);
}

TEST_F(ScrollBarTest, UnlimitedTrackingNeverSnapsBack)
{
    Bar->SetScrollParams(0, 100, 0, 0);
    Bar->SetUnlimitedTracking(true);
    const TPoint grab{Bar->ThumbRect().Left + 5, 8};
    GuiTest::MouseDown(Bar, mbLeft, grab);
    GuiTest::MouseMove(Bar, Point(grab.X + 40, 150));
    EXPECT_GT(Bar->Position(), 0);
    // Far past the end: the thumb stops at the arrow.
    GuiTest::MouseMove(Bar, Point(grab.X + 300, 150));
    EXPECT_EQ(Bar->ThumbRect().Right, Bar->SecondArrowRect().Left);
    EXPECT_EQ(Bar->Position(), 100);
    GuiTest::MouseUp(Bar, mbLeft, Point(grab.X + 300, 150));
}

TEST_F(ScrollBarTest, HandlerDecidesTheFinalPosition)
{
    Bar->SetScrollParams(0, 100, 50, 0);
    Bar->OnScroll = [](TObject*, TScrollCode code, int& pos) {
        if (code == scLineDown) pos = 1000;   // clamped to Max
    };
    Bar->Scroll(scLineDown);
    EXPECT_EQ(Bar->Position(), 100);
    Bar->Scroll(scTop);
    EXPECT_EQ(Bar->Position(), 0);
    SendMessage(Bar->Handle(), CN_HSCROLL, scBottom, 0);
    EXPECT_EQ(Bar->Position(), 100);
}

TEST_F(ScrollBarTest, DisablingEndsTheScrollAndHidesTheThumb)
{
    Bar->SetScrollParams(0, 100, 0, 0);
    GuiTest::MouseDown(Bar, mbLeft, Point(190, 8));
    Bar->SetEnabled(false);
    EXPECT_EQ(Bar->PressedPart(), sbpNone);
    EXPECT_EQ(Log.back().Code, scEndScroll);
    EXPECT_TRUE(Bar->ThumbRect() == TRect{});
    EXPECT_EQ(Bar->GetPartState(sbpLineUp), cxbsDisabled);
    GuiTest::MouseUp(Bar, mbLeft, Point(190, 8));
}

TEST_F(ScrollBarTest, HotTrackingFollowsThePainter)
{
    Bar->SetScrollParams(0, 100, 0, 0);
    Bar->LookAndFeel()->SetKind(lfUltraFlat);
    GuiTest::MouseMove(Bar, Point(5, 8));
    EXPECT_EQ(Bar->HotPart(), sbpLineUp);
    EXPECT_EQ(Bar->GetPartState(sbpLineUp), cxbsHot);
    Bar->LookAndFeel()->SetKind(lfStandard);
    EXPECT_EQ(Bar->GetPartState(sbpThumbnail), cxbsNormal);
    // What the bar shows: the ultra-flat arrow has a one-pixel frame.
    Bar->LookAndFeel()->SetKind(lfUltraFlat);
    GuiTest::MouseMove(Bar, Point(100, 30));
    Bar->Repaint();
    GuiTest::ProcessEvents();
    EXPECT_EQ(ColorToRGB(GuiTest::PixelAt(Bar, Point(0, 8))), ColorToRGB(clBtnText));
}

}  // namespace
