// The button faces and check boxes of the grid suite: geometry, theme
// requests, the shared cache of finished faces and the flat borders.
#include "FakeThemeServices.h"
#include "GuiTesting.h"
#include "ToolCtrlsEh.h"

#include <gtest/gtest.h>

using namespace ToolCtrlsEh;

namespace {

const TColorRef Ground = RGB(0, 128, 0);
const TColor Parent = TColor(RGB(255, 0, 0));

TColorRef Px(TBitmap& b, int x, int y) { return ColorToRGB(b.Canvas()->Pixels(x, y)); }

std::unique_ptr<TBitmap> Sheet(int w, int h)
{
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(TColor(Ground));
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

// Starts every test with an empty cache and the cache switched on.
class ToolCtrls : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        FlushButtonBitmapCache();
        UseButtonBitmapCache = true;
    }
    void TearDown() override
    {
        FlushButtonBitmapCache();
        UseButtonBitmapCache = true;
    }
};

TEST_F(ToolCtrls, CheckBoxTakesTheCentredSquareOfAWideRectangle)
{
    auto b = Sheet(20, 13);
    RenderCheckBox(b->Canvas()->Handle(), Rect(0, 0, 20, 13), cbChecked, true, false, false, false);
    for (int y = 0; y < 13; ++y) {
        for (int x : {0, 1, 2, 16, 17, 18, 19}) EXPECT_EQ(Px(*b, x, y), Ground) << x << "," << y;
    }
    // The box's corners are drawn.
    EXPECT_NE(Px(*b, 3, 0), Ground);
    EXPECT_NE(Px(*b, 15, 12), Ground);
}

TEST_F(ToolCtrls, ThemedCheckBoxCoversTheWholeRectangleWithItsState)
{
    struct Case {
        TCheckBoxState State;
        bool Enabled;
        bool Down;
        int ThemeState;
    } cases[] = {
        {cbUnchecked, true, false, CBS_UNCHECKEDNORMAL}, {cbChecked, true, true, CBS_CHECKEDNORMAL},
        {cbGrayed, true, false, CBS_MIXEDNORMAL},        {cbUnchecked, false, false, CBS_UNCHECKEDNORMAL + 3},
        {cbChecked, false, false, CBS_CHECKEDNORMAL + 3}, {cbGrayed, false, true, CBS_MIXEDNORMAL + 3},
    };
    for (const Case& c : cases) {
        TFakeThemeScope theme;
        auto b = Sheet(20, 13);
        RenderCheckBox(b->Canvas()->Handle(), Rect(0, 0, 20, 13), c.State, c.Enabled, false, c.Down, true);
        ASSERT_EQ(theme.Fake->Requests.size(), 1u);
        EXPECT_EQ(theme.Fake->Requests[0].Class, "BUTTON");
        EXPECT_EQ(theme.Fake->Requests[0].Part, BP_CHECKBOX);
        EXPECT_EQ(theme.Fake->Requests[0].State, c.ThemeState) << c.State << c.Enabled;
        EXPECT_EQ(theme.Fake->Requests[0].R, Rect(0, 0, 20, 13));
    }
}

TEST_F(ToolCtrls, ThemedFacesAskForTheirElementAndState)
{
    struct Case {
        const char* Name;
        std::function<void(HDC, TRect)> Draw;
        std::string Class;
        int Part;
        int State;
    } cases[] = {
        {"drop-down", [](HDC dc, TRect r) { RenderDropDownButton(dc, r, true, false, false, false); }, "COMBOBOX",
         CP_DROPDOWNBUTTON, PBS_NORMAL},
        {"drop-down hot", [](HDC dc, TRect r) { RenderDropDownButton(dc, r, true, false, true, false); }, "COMBOBOX",
         CP_DROPDOWNBUTTON, PBS_HOT},
        {"drop-down pressed", [](HDC dc, TRect r) { RenderDropDownButton(dc, r, true, false, true, true); },
         "COMBOBOX", CP_DROPDOWNBUTTON, PBS_PRESSED},
        {"drop-down disabled", [](HDC dc, TRect r) { RenderDropDownButton(dc, r, false, false, true, true); },
         "COMBOBOX", CP_DROPDOWNBUTTON, PBS_DISABLED},
        {"spin up", [](HDC dc, TRect r) { RenderUpDownButton(dc, r, true, false, false, false, false); }, "SPIN",
         SPNP_UP, PBS_NORMAL},
        {"spin down", [](HDC dc, TRect r) { RenderUpDownButton(dc, r, true, false, false, true, true); }, "SPIN",
         SPNP_DOWN, PBS_PRESSED},
        {"ellipsis", [](HDC dc, TRect r) { RenderEllipsisButton(dc, r, true, false, true, false); }, "BUTTON",
         BP_PUSHBUTTON, PBS_HOT},
        {"flat ellipsis", [](HDC dc, TRect r) { RenderEllipsisButton(dc, r, true, true, false, false); }, "TOOLBAR",
         1, PBS_NORMAL},
        {"flat plus", [](HDC dc, TRect r) { RenderPlusMinusButton(dc, r, false, true, false, false, true); },
         "TOOLBAR", 1, PBS_DISABLED},
    };
    for (const Case& c : cases) {
        TFakeThemeScope theme;
        auto b = Sheet(16, 16);
        c.Draw(b->Canvas()->Handle(), Rect(0, 0, 16, 16));
        ASSERT_EQ(theme.Fake->Requests.size(), 1u) << c.Name;
        EXPECT_EQ(theme.Fake->Requests[0].Class, c.Class) << c.Name;
        EXPECT_EQ(theme.Fake->Requests[0].Part, c.Part) << c.Name;
        EXPECT_EQ(theme.Fake->Requests[0].State, c.State) << c.Name;
    }
}

TEST_F(ToolCtrls, EllipsisDotsFollowTheWidthOfTheInnerArea)
{
    struct Case {
        TRect Inner;
        bool Down;
        std::vector<TRect> Dots;
    } cases[] = {
        // Narrow: one-pixel dots one pixel apart.
        {Rect(0, 0, 7, 7), false, {Bounds(1, 3, 1, 1), Bounds(3, 3, 1, 1), Bounds(5, 3, 1, 1)}},
        // Between: two-pixel dots one pixel apart.
        {Rect(0, 0, 10, 10), false, {Bounds(1, 4, 2, 2), Bounds(4, 4, 2, 2), Bounds(7, 4, 2, 2)}},
        // Wide: two-pixel dots two pixels apart, moved by a press.
        {Rect(2, 2, 14, 14), false, {Bounds(3, 7, 2, 2), Bounds(7, 7, 2, 2), Bounds(11, 7, 2, 2)}},
        {Rect(2, 2, 14, 14), true, {Bounds(4, 8, 2, 2), Bounds(8, 8, 2, 2), Bounds(12, 8, 2, 2)}},
    };
    for (const Case& c : cases) EXPECT_EQ(EllipsisDots(c.Inner, c.Down), c.Dots) << c.Inner.Width() << c.Down;
}

TEST_F(ToolCtrls, PlusAndMinusBarsStayCentredAndSymmetric)
{
    struct Case {
        TRect Inner;
        bool Flat, Plus, Down;
        std::vector<TRect> Bars;
    } cases[] = {
        {Rect(0, 0, 10, 10), false, true, false, {Bounds(1, 4, 7, 1), Bounds(4, 1, 1, 7)}},
        {Rect(0, 0, 10, 10), true, false, false, {Bounds(3, 4, 4, 1)}},
        {Rect(0, 0, 14, 14), false, true, false, {Bounds(3, 6, 8, 2), Bounds(6, 3, 2, 8)}},
        {Rect(0, 0, 14, 14), false, true, true, {Bounds(4, 7, 8, 2), Bounds(7, 4, 2, 8)}},
        // A tiny area still gets a one-pixel dot.
        {Rect(0, 0, 1, 1), false, false, false, {Bounds(0, 0, 1, 1)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlusMinusBars(c.Inner, c.Flat, c.Plus, c.Down), c.Bars) << c.Inner.Width() << c.Flat << c.Plus;
}

TEST_F(ToolCtrls, GlyphsDrawInTheButtonTextColourOrEmbossedWhenDisabled)
{
    auto b = Sheet(16, 16);
    HDC dc = b->Canvas()->Handle();
    RenderEllipsisButton(dc, Rect(0, 0, 16, 16), true, false, false, false);
    // Raised face, inner area two pixels in: 12 wide, dots of two pixels.
    for (const TRect& d : EllipsisDots(Rect(2, 2, 14, 14), false))
        EXPECT_EQ(Px(*b, d.Left, d.Top), ColorToRGB(clBtnText));
    RenderEllipsisButton(dc, Rect(0, 0, 16, 16), false, false, false, false);
    for (const TRect& d : EllipsisDots(Rect(2, 2, 14, 14), false)) {
        EXPECT_EQ(Px(*b, d.Left, d.Top), ColorToRGB(clBtnShadow));
        EXPECT_EQ(Px(*b, d.Right, d.Bottom), ColorToRGB(clBtnHighlight));
    }
}

TEST_F(ToolCtrls, CacheDrawsEachDistinctFaceOnceUntilFlushed)
{
    ButtonBitmapKey a{15, 17, bdsDropDownEh, false, false, false, true, false, cbUnchecked};
    ButtonBitmapKey wider = a;
    wider.Width = 16;
    TBitmap* first = GetCachedButtonBitmap(a);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Width(), 15);
    EXPECT_EQ(first->Height(), 17);
    EXPECT_NE(GetCachedButtonBitmap(wider), first);
    EXPECT_EQ(SharedButtonBitmaps().Count(), 2);
    EXPECT_EQ(GetCachedButtonBitmap(a), first);
    EXPECT_EQ(SharedButtonBitmaps().Count(), 2);
    // Each field of the key makes a face of its own.
    ButtonBitmapKey pressed = a, lower = a, checked = a;
    pressed.Down = true;
    lower.LowerHalf = true;
    checked.DrawStyle = bdsCheckBoxEh;
    checked.CheckState = cbChecked;
    for (const ButtonBitmapKey& k : {pressed, lower, checked}) GetCachedButtonBitmap(k);
    EXPECT_EQ(SharedButtonBitmaps().Count(), 5);
    // Negative sizes count as empty faces.
    ButtonBitmapKey negative = a;
    negative.Width = -4;
    ButtonBitmapKey empty = a;
    empty.Width = 0;
    EXPECT_EQ(GetCachedButtonBitmap(negative), GetCachedButtonBitmap(empty));

    FlushButtonBitmapCache();
    EXPECT_EQ(SharedButtonBitmaps().Count(), 0);
    TBitmap* again = GetCachedButtonBitmap(a);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(SharedButtonBitmaps().Count(), 1);
}

// A face copied from the cache looks as the one drawn straight into the target.
TEST_F(ToolCtrls, CachedFacesMatchDirectDrawing)
{
    struct Case {
        TButtonDrawStyleEh Style;
        int Held;
        bool Flat, Active, Enabled;
        TCheckBoxState State;
        int W, H;
    } cases[] = {
        {bdsDropDownEh, 0, false, false, true, cbUnchecked, 17, 20},
        {bdsDropDownEh, 1, false, true, true, cbUnchecked, 17, 20},
        {bdsEllipsisEh, 0, false, false, false, cbUnchecked, 17, 20},
        {bdsEllipsisEh, 1, true, true, true, cbUnchecked, 13, 18},
        {bdsUpDownEh, 2, false, false, true, cbUnchecked, 15, 21},
        {bdsPlusEh, 0, false, true, true, cbUnchecked, 15, 15},
        {bdsMinusEh, 1, true, true, true, cbUnchecked, 15, 15},
        {bdsCheckBoxEh, 0, false, false, true, cbChecked, 20, 13},
        {bdsCheckBoxEh, 0, false, false, true, cbGrayed, 13, 13},
        {bdsCheckBoxEh, 1, false, false, false, cbUnchecked, 13, 13},
    };
    for (const Case& c : cases) {
        auto cached = Sheet(c.W, c.H), direct = Sheet(c.W, c.H);
        UseButtonBitmapCache = true;
        RenderButtonControl(cached->Canvas()->Handle(), Rect(0, 0, c.W, c.H), Parent, c.Style, c.Held, c.Flat,
                            c.Active, c.Enabled, c.State);
        UseButtonBitmapCache = false;
        RenderButtonControl(direct->Canvas()->Handle(), Rect(0, 0, c.W, c.H), Parent, c.Style, c.Held, c.Flat,
                            c.Active, c.Enabled, c.State);
        int differ = 0;
        for (int y = 0; y < c.H; ++y)
            for (int x = 0; x < c.W; ++x) differ += Px(*cached, x, y) != Px(*direct, x, y);
        EXPECT_EQ(differ, 0) << "style " << c.Style << " held " << c.Held;
    }
    UseButtonBitmapCache = true;
}

TEST_F(ToolCtrls, UpDownHalvesAreSeparatedByTheParentColourOnlyWhenTheyMustBe)
{
    auto row = [](TBitmap& b, int y, int from, int to) {
        for (int x = from; x < to; ++x)
            if (Px(b, x, y) != ColorToRGB(Parent)) return false;
        return true;
    };
    // Odd height: one row between the halves.
    auto odd = Sheet(15, 21);
    RenderButtonControl(odd->Canvas()->Handle(), Rect(0, 0, 15, 21), Parent, bdsUpDownEh, 0, false, false, true,
                        cbUnchecked);
    EXPECT_TRUE(row(*odd, 10, 0, 15));
    EXPECT_FALSE(row(*odd, 9, 0, 15));
    EXPECT_FALSE(row(*odd, 11, 0, 15));
    // Even height: the halves meet.
    auto even = Sheet(15, 20);
    RenderButtonControl(even->Canvas()->Handle(), Rect(0, 0, 15, 20), Parent, bdsUpDownEh, 0, false, true, true,
                        cbUnchecked);
    EXPECT_FALSE(row(*even, 9, 0, 15));
    EXPECT_FALSE(row(*even, 10, 0, 15));
    // Flat and inactive: two rows between them and a border that merges with the parent.
    auto flat = Sheet(15, 20);
    RenderButtonControl(flat->Canvas()->Handle(), Rect(0, 0, 15, 20), Parent, bdsUpDownEh, 0, true, false, true,
                        cbUnchecked);
    EXPECT_TRUE(row(*flat, 9, 1, 14));
    EXPECT_TRUE(row(*flat, 10, 1, 14));
    EXPECT_TRUE(row(*flat, 0, 0, 15));
    EXPECT_TRUE(row(*flat, 19, 0, 15));
    EXPECT_FALSE(row(*flat, 5, 1, 14));
    for (int y = 0; y < 20; ++y) {
        EXPECT_EQ(Px(*flat, 0, y), ColorToRGB(Parent));
        EXPECT_EQ(Px(*flat, 14, y), ColorToRGB(Parent));
    }
}

TEST_F(ToolCtrls, FlatButtonsShowABorderOnlyWhileActive)
{
    for (bool active : {false, true}) {
        auto b = Sheet(17, 20);
        RenderButtonControl(b->Canvas()->Handle(), Rect(0, 0, 17, 20), Parent, bdsDropDownEh, 0, true, active, true,
                            cbUnchecked);
        // Inactive: the outer ring takes the parent's colour; active: a thin edge.
        EXPECT_EQ(Px(*b, 0, 0) == ColorToRGB(Parent), !active);
        EXPECT_EQ(Px(*b, 16, 19) == ColorToRGB(Parent), !active);
        EXPECT_NE(Px(*b, 8, 10), ColorToRGB(Parent));
    }
    // A flat check box: inactive framed in the parent colour, active with a sunken edge.
    for (bool active : {false, true}) {
        auto b = Sheet(20, 13);
        RenderButtonControl(b->Canvas()->Handle(), Rect(0, 0, 20, 13), Parent, bdsCheckBoxEh, 0, true, active, true,
                            cbChecked);
        EXPECT_EQ(Px(*b, 3, 0) == ColorToRGB(Parent), !active);
        EXPECT_EQ(Px(*b, 15, 12) == ColorToRGB(Parent), !active);
        EXPECT_EQ(Px(*b, 2, 6), Ground);
        EXPECT_EQ(Px(*b, 16, 6), Ground);
    }
}

TEST_F(ToolCtrls, CheckBoxIsPlacedInItsCell)
{
    ASSERT_EQ(CheckBoxWidth(), 13);
    ASSERT_EQ(CheckBoxHeight(), 13);
    struct Case {
        TRect Cell;
        TAlignment Alignment;
        TTextLayout Layout;
        TRect Box;
    } cases[] = {
        {Rect(10, 5, 50, 25), taLeftJustify, tlTop, Bounds(10, 5, 13, 13)},
        {Rect(10, 5, 50, 25), taRightJustify, tlTop, Bounds(37, 5, 13, 13)},
        {Rect(10, 5, 50, 25), taCenter, tlCenter, Bounds(24, 9, 13, 13)},
        {Rect(10, 5, 50, 25), taCenter, tlBottom, Bounds(24, 12, 13, 13)},
        // Narrower than the box: clipped to the cell, still at the bottom.
        {Rect(0, 0, 8, 30), taCenter, tlBottom, Bounds(0, 17, 8, 13)},
        // Lower than the box: clipped in height, aligned across.
        {Rect(0, 0, 40, 9), taRightJustify, tlCenter, Bounds(27, 0, 13, 9)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceCheckBoxRect(c.Cell, c.Alignment, c.Layout), c.Box) << c.Cell.Width() << " " << c.Alignment;
}

TEST_F(ToolCtrls, FlatButtonWidthAndButtonHeight)
{
    struct Width {
        int Font, ScrollBar, Expected;
    } widths[] = {{16, 17, 11}, {18, 17, 13}, {15, 17, 11}, {30, 17, 17}, {13, 17, 9}};
    for (const Width& w : widths) EXPECT_EQ(FlatButtonWidthFor(w.Font, w.ScrollBar), w.Expected) << w.Font;
    EXPECT_LE(MeasureFlatButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(MeasureFlatButtonWidth() % 2, 1);
    EXPECT_EQ(FlatEditButtonWidth(), MeasureFlatButtonWidth());

    struct Height {
        int W;
        bool Flat;
        int Expected;
    } heights[] = {{10, true, 15}, {11, true, 16}, {13, true, 20}, {10, false, 10}, {17, false, 17}};
    for (const Height& h : heights) EXPECT_EQ(EditButtonHeightFor(h.W, h.Flat), h.Expected) << h.W << h.Flat;
}

}  // namespace
