// The scroll bar control: its range, page and position, SB_CTL scroll
// information, and the user's clicks and drags reaching its parent and
// coming back as its own scroll notices.
#include "StdCtrls.h"
#include "StdFormFixture.h"

namespace {

using ScrollBarTest = StdFormTest;

TEST_F(ScrollBarTest, PositionStaysWithinTheRangeLessAPage)
{
    auto* sb = Make<TScrollBar>(10, 10, 17, 200);
    sb->SetKind(sbVertical);
    EXPECT_EQ(sb->Width(), 200) << "turning the bar swaps its sides";
    sb->SetBounds(10, 10, 17, 200);
    int changes = 0;
    sb->OnChange = [&](TObject*) { ++changes; };
    sb->SetParams(50, 1, 100);
    EXPECT_EQ(sb->Position(), 50);
    EXPECT_EQ(changes, 1);
    sb->SetPageSize(20);
    sb->SetPosition(95);
    EXPECT_EQ(sb->Position(), 81) << "the last place a page fits";
    sb->SetPageSize(500);
    EXPECT_EQ(sb->PageSize(), 100);
    EXPECT_EQ(sb->Position(), 1);
    sb->SetParams(5, 10, 3);
    EXPECT_EQ(sb->Min(), 10);
    EXPECT_EQ(sb->Max(), 10);
    EXPECT_EQ(sb->Position(), 10);

    // SB_CTL reads and sets the control through its window.
    ShowForm();
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 1;
    si.nMax = 40;
    si.nPage = 10;
    si.nPos = 35;
    EXPECT_EQ(SetScrollInfo(sb->Handle(), SB_CTL, &si, 1), 31);
    TScrollInfo back;
    back.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(sb->Handle(), SB_CTL, &back));
    EXPECT_EQ(back.nMin, 1);
    EXPECT_EQ(back.nMax, 40);
    EXPECT_EQ(int(back.nPage), 10);
    EXPECT_EQ(back.nPos, 31);
    EXPECT_EQ(GetScrollPos(sb->Handle(), SB_CTL), 31);
    EXPECT_EQ(SetScrollPos(sb->Handle(), SB_CTL, 2, 1), 31);
    EXPECT_EQ(sb->Position(), 2);
    // Another window's SB_CTL is nothing.
    EXPECT_FALSE(GetScrollInfo(Form->Handle(), SB_CTL, &back));
}

TEST_F(ScrollBarTest, TheUsersMovesComeBackAsScrollNotices)
{
    auto* sb = Make<TScrollBar>(10, 10, 300, 17);
    sb->SetParams(0, 0, 100);
    sb->SetSmallChange(1);
    sb->SetLargeChange(10);
    sb->SetPageSize(10);
    std::vector<std::pair<TScrollCode, int>> seen;
    sb->OnScroll = [&](TObject*, TScrollCode code, int& pos) { seen.push_back({code, pos}); };
    // Who hooks the bar's window procedure sees the reflected notices first.
    std::vector<UINT> hooked;
    sb->WindowProc = [&](TMessage& m) {
        if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) hooked.push_back(m.Msg);
        sb->WndProc(m);
    };
    ShowForm();
    const int y = sb->Height() / 2;
    // The right arrow steps a line, the track beyond the thumb a page.
    GuiTest::Click(sb, Point(sb->Width() - 4, y));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().first, scLineDown);
    EXPECT_EQ(sb->Position(), 1);
    GuiTest::Click(sb, Point(sb->Width() - 40, y));
    EXPECT_EQ(seen.back().first, scPageDown);
    EXPECT_EQ(sb->Position(), 11);
    ASSERT_FALSE(hooked.empty());
    EXPECT_EQ(hooked.front(), UINT(CN_HSCROLL));
    // A handler may change where the bar goes.
    sb->OnScroll = [&](TObject*, TScrollCode, int& pos) { pos = 50; };
    GuiTest::Click(sb, Point(4, y));
    EXPECT_EQ(sb->Position(), 50);
    // Dragging the thumb tracks it and ends with its place.
    seen.clear();
    sb->OnScroll = [&](TObject*, TScrollCode code, int& pos) { seen.push_back({code, pos}); };
    TScrollInfo si;
    si.fMask = SIF_POS;
    si.nPos = 0;
    SetScrollInfo(sb->Handle(), SB_CTL, &si, 1);
    GuiTest::ProcessEvents();
    const int arrow = sb->Height();
    GuiTest::MouseDown(sb, mbLeft, Point(arrow + 6, y));
    GuiTest::MouseMove(sb, Point(sb->Width() / 2, y), {ssLeft});
    GuiTest::MouseUp(sb, mbLeft, Point(sb->Width() / 2, y));
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 3].first, scTrack);
    EXPECT_EQ(seen[seen.size() - 2].first, scPosition);
    EXPECT_EQ(seen.back().first, scEndScroll);
    EXPECT_GT(sb->Position(), 20);
    EXPECT_LT(sb->Position(), 70);
}

} // namespace
