// The theme service, the classic frame controls drawn by the layer, the
// check-box strip, the beep sink and overridable system metrics.
#include "ExtCtrls.h"
#include "FakeThemeServices.h"
#include "StdFormFixture.h"
#include "Themes.h"

namespace {

TColor Px(TBitmap& b, int x, int y) { return ColorToRGB(b.Canvas()->Pixels(x, y)); }

// Pixels of a cell darker than the face (the check mark, the radio dot and ring).
int DarkPixels(TBitmap& b, const TRect& r)
{
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            TColor c = Px(b, x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++n;
        }
    return n;
}

TEST(Themes, ServiceAnswersUnavailableUntilOneIsInstalled)
{
    EXPECT_FALSE(ThemeServices()->Available());
    TSize s;
    EXPECT_FALSE(ThemeServices()->PartSize("BUTTON", BP_CHECKBOX, 1, s));
    TBitmap b(20, 20);
    EXPECT_FALSE(ThemeServices()->DrawBackground(b.Canvas()->Handle(), "BUTTON", BP_PUSHBUTTON, 1, Rect(0, 0, 20, 20)));
    {
        TFakeThemeScope scope;
        EXPECT_TRUE(ThemeServices()->Available());
        // A themed check box goes to the theme with the part and the state.
        EXPECT_TRUE(DrawThemedFrameControl(b.Canvas()->Handle(), Rect(2, 2, 15, 15), DFC_BUTTON,
                                           DFCS_BUTTONCHECK | DFCS_CHECKED));
        ASSERT_EQ(scope.Fake->Requests.size(), 1u);
        EXPECT_EQ(scope.Fake->Requests[0].Class, "BUTTON");
        EXPECT_EQ(scope.Fake->Requests[0].Part, BP_CHECKBOX);
        EXPECT_EQ(scope.Fake->Requests[0].State, CBS_CHECKEDNORMAL);
        EXPECT_EQ(Px(b, 8, 8), clFuchsia);
        DrawThemedFrameControl(b.Canvas()->Handle(), Rect(0, 0, 13, 13), DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_INACTIVE);
        EXPECT_EQ(scope.Fake->Requests.back().Part, BP_RADIOBUTTON);
        EXPECT_EQ(scope.Fake->Requests.back().State, RBS_UNCHECKEDNORMAL + 3);
    }
    EXPECT_FALSE(ThemeServices()->Available());
    // Without a theme the classic look: a sunken white box with a dark check.
    TBitmap c(13, 13);
    DrawThemedFrameControl(c.Canvas()->Handle(), Rect(0, 0, 13, 13), DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(Px(c, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(c, 12, 12), ColorToRGB(clBtnHighlight));
    EXPECT_GT(DarkPixels(c, Rect(2, 2, 11, 11)), 8);
}

TEST(Themes, GroupBoxFrameComesFromTheThemeWhenThereIsOne)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* box = new TGroupBox(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 150, 100);
    form.Show();
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::PixelAt(box, Point(75, 99)), ColorToRGB(clBtnHighlight));   // etched bottom edge
    TFakeThemeScope scope;
    box->Invalidate();
    GuiTest::ProcessEvents();
    EXPECT_EQ(GuiTest::PixelAt(box, Point(75, 99)), clFuchsia);
    ASSERT_FALSE(scope.Fake->Requests.empty());
    EXPECT_EQ(scope.Fake->Requests.back().Part, BP_GROUPBOX);
}

TEST(Themes, SizeGripDrawsRidgesAcrossTheCornerOnly)
{
    TBitmap b(16, 16);
    DrawFrameControl(b.Canvas()->Handle(), Rect(0, 0, 16, 16), DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    EXPECT_EQ(Px(b, 0, 0), ColorToRGB(clBtnFace));
    EXPECT_EQ(Px(b, 5, 5), ColorToRGB(clBtnFace));
    // The ridges: light, then two shadow lines, three times towards the corner.
    EXPECT_EQ(Px(b, 15, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(b, 15, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(b, 15, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(b, 15, 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(Px(b, 15, 4), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(b, 8, 15), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(b, 12, 12), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(b, 14, 14), ColorToRGB(clBtnFace));   // the corner itself stays plain
}

TEST(Themes, CheckBoxStripHoldsFourStatesOfThreeKinds)
{
    auto strip = LoadCheckBoxesBitmap();
    ASSERT_TRUE(strip);
    const int c = CheckBoxCellSize;
    EXPECT_EQ(strip->Width(), 4 * c);
    EXPECT_EQ(strip->Height(), 3 * c);
    auto cell = [&](int col, int row) { return Bounds(col * c + 2, row * c + 2, c - 4, c - 4); };
    // Check boxes: the checked cells have the mark, the others not.
    EXPECT_EQ(DarkPixels(*strip, cell(0, 0)), 0);
    EXPECT_GT(DarkPixels(*strip, cell(1, 0)), 8);
    EXPECT_EQ(DarkPixels(*strip, cell(2, 0)), 0);
    EXPECT_GT(DarkPixels(*strip, cell(3, 0)), 8);
    // Pushed cells have the face colour inside.
    EXPECT_EQ(Px(*strip, 2 * c + 6, 3), ColorToRGB(clBtnFace));
    EXPECT_EQ(Px(*strip, 6, 3), ColorToRGB(clWindow));
    // Radio buttons: round, so the cell's corner stays face-coloured; the checked one has its dot.
    EXPECT_EQ(Px(*strip, 0, c), ColorToRGB(clBtnFace));
    EXPECT_GT(DarkPixels(*strip, Bounds(c + 5, c + 5, 3, 3)), 0);
    EXPECT_EQ(DarkPixels(*strip, Bounds(5, c + 5, 3, 3)), 0);
    // Three-state: the mark is grey, not black.
    EXPECT_EQ(DarkPixels(*strip, cell(1, 2)), 0);
    bool grey = false;
    for (int y = 2 * c + 2; y < 3 * c - 2; ++y)
        for (int x = c + 2; x < 2 * c - 2; ++x) grey |= Px(*strip, x, y) == ColorToRGB(clGrayText);
    EXPECT_TRUE(grey);
}

TEST(Themes, RadioMaskAndImageGiveTheGlyphAndDotExtents)
{
    // Measured as the radio group measures its glyph: on black, the mask's
    // non-black pixels are the glyph; in the checked image, the dark run
    // through the middle is the dot.
    const int c = CheckBoxCellSize;
    TBitmap mask(c, c);
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(Rect(0, 0, c, c));
    DrawFrameControl(mask.Canvas()->Handle(), Rect(0, 0, c, c), DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT | DFCS_CHECKED);
    int left = c, right = -1, top = c, bottom = -1;
    for (int y = 0; y < c; ++y)
        for (int x = 0; x < c; ++x)
            if (Px(mask, x, y) != clBlack) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_LE(left, 1);
    EXPECT_GE(right, c - 3);
    EXPECT_EQ(right - left, bottom - top);   // round
    EXPECT_EQ(Px(mask, 0, 0), clBlack);      // the corners are no part of it
    TBitmap image(c, c);
    image.Canvas()->Brush()->SetColor(clBlack);
    image.Canvas()->FillRect(Rect(0, 0, c, c));
    DrawFrameControl(image.Canvas()->Handle(), Rect(0, 0, c, c), DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_FLAT | DFCS_CHECKED);
    const int mid = (left + right) / 2;
    int x = mid;
    while (x < right && Px(image, x, mid) == clBlack) ++x;
    EXPECT_GT(x - mid, 0);          // the dot reaches out from the middle
    EXPECT_LT(x - mid, c / 2 - 1);  // and ends inside the ring
}

TEST(Themes, BeepsGoToTheSinkThatCountsThem)
{
    std::vector<UINT> beeps;
    SetBeepSink([&](UINT t) { beeps.push_back(t); });
    MessageBeep(0);
    MessageBeep(MB_ICONHAND);
    Beep();
    SetBeepSink(nullptr);
    MessageBeep(0);   // to the window system again, not counted
    EXPECT_EQ(beeps, (std::vector<UINT>{0, MB_ICONHAND, 0}));
}

TEST(Themes, SystemMetricsCanBeReplacedAndRestored)
{
    const int scroll = GetSystemMetrics(SM_CYHSCROLL);
    EXPECT_GT(scroll, 0);
    SetSystemMetric(SM_CYHSCROLL, 25);
    SetSystemMetric(SM_CYSIZE, 7);
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 25);
    EXPECT_EQ(GetSystemMetrics(SM_CYSIZE), 7);
    ResetSystemMetrics();
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), scroll);
}

} // namespace
