// Where a drop-down opens next to its owner and which corner its grip takes,
// dotted tree lines, centred images, double clicks and the equality of keys.
#include "ExtCtrls.h"
#include "GuiTesting.h"
#include "ToolCtrlsEh.h"

#include <gtest/gtest.h>

using namespace ToolCtrlsEh;

namespace {

// A drop-down window that notes the grip corners it is told.
class TGripProbe : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<int> Flips;
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_GRIPFLIPEH) Flips.push_back(int(m.WParam));
        TPanel::WndProc(m);
    }
};

TEST(DropDownPlacement, AboveOrBelowCutToTheWorkArea)
{
    GuiTest::Init();
    const TRect work(0, 0, 1000, 700);
    struct Case {
        const char* Name;
        TRect Owner;
        int Width, Height;
        TAlignment Alignment;
        TPoint At;
        int PlacedWidth, PlacedHeight;
        std::vector<int> Flips;
    } cases[] = {
        {"below", Rect(100, 100, 250, 121), 150, 200, taLeftJustify, Point(100, 121), 150, 200,
         {gfToBottomEh, gfToRightEh}},
        // 100 pixels below, 500 above: above at full height.
        {"above", Rect(100, 500, 250, 600), 150, 200, taLeftJustify, Point(100, 300), 150, 200,
         {gfToTopEh, gfToRightEh}},
        // 150 above, 100 below: above, cut to 150.
        {"above cut", Rect(100, 150, 250, 600), 150, 200, taLeftJustify, Point(100, 0), 150, 150,
         {gfToTopEh, gfToRightEh}},
        // Fits neither way and less room above: below, cut.
        {"below cut", Rect(100, 100, 250, 400), 150, 400, taLeftJustify, Point(100, 400), 150, 300,
         {gfToBottomEh, gfToRightEh}},
        // Right-aligned and wider than the owner: right edges flush, grip on the left.
        {"right", Rect(300, 100, 400, 121), 250, 100, taRightJustify, Point(150, 121), 250, 100,
         {gfToBottomEh, gfToLeftEh}},
        {"centre", Rect(300, 100, 400, 121), 200, 100, taCenter, Point(250, 121), 200, 100,
         {gfToBottomEh, gfToRightEh}},
        // Past the right edge: pulled back, grip on the left.
        {"right edge", Rect(900, 100, 980, 121), 200, 100, taLeftJustify, Point(800, 121), 200, 100,
         {gfToBottomEh, gfToLeftEh}},
        // Left of the work area: pushed in, grip on the right.
        {"left edge", Rect(10, 100, 60, 121), 200, 100, taRightJustify, Point(0, 121), 200, 100,
         {gfToBottomEh, gfToRightEh}},
        // Wider than the work area: cut to it.
        {"too wide", Rect(10, 100, 60, 121), 1200, 100, taLeftJustify, Point(0, 121), 1000, 100,
         {gfToBottomEh, gfToLeftEh}},
    };
    for (const Case& c : cases) {
        TGripProbe d(nullptr);
        d.SetBounds(0, 0, c.Width, c.Height);
        EXPECT_EQ(PlaceDropDownInWorkArea(c.Owner, work, &d, c.Alignment), c.At) << c.Name;
        EXPECT_EQ(d.Width(), c.PlacedWidth) << c.Name;
        EXPECT_EQ(d.Height(), c.PlacedHeight) << c.Name;
        EXPECT_EQ(d.Flips, c.Flips) << c.Name;
    }
}

TEST(DropDownPlacement, ByControlUsesTheControlsScreenRectangle)
{
    GuiTest::Init();
    TForm form(nullptr);
    form.SetBounds(50, 60, 300, 200);
    TPanel* edit = new TPanel(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 20, 120, 22);
    TGripProbe d(nullptr);
    d.SetBounds(0, 0, 120, 80);
    const TPoint origin = form.ClientToScreen(Point(10, 20));
    const TRect screen = Bounds(origin.X, origin.Y, 120, 22);
    TGripProbe expected(nullptr);
    expected.SetBounds(0, 0, 120, 80);
    EXPECT_EQ(PlaceDropDownByControl(edit, &d, taLeftJustify), PlaceDropDownByRect(screen, &expected, taLeftJustify));
    EXPECT_EQ(PlaceDropDownByControl(edit, &d, taLeftJustify).X, origin.X);
}

TEST(DrawingUtilities, DottedLinesKeepTheirParity)
{
    struct Case {
        TPoint Start;
        int Length;
        bool Parity, Horizontal;
        std::vector<TPoint> Dots;
    } cases[] = {
        {Point(3, 4), 5, true, false, {Point(3, 4), Point(3, 6), Point(3, 8)}},
        {Point(3, 5), 5, false, false, {Point(3, 5), Point(3, 7), Point(3, 9)}},
        // The start does not qualify: one pixel on, one shorter.
        {Point(3, 5), 5, true, false, {Point(3, 6), Point(3, 8)}},
        {Point(2, 2), 6, false, true, {Point(2, 2), Point(4, 2), Point(6, 2)}},
    };
    for (const Case& c : cases) {
        TBitmap b(20, 20);
        TCanvas* cv = b.Canvas();
        cv->Brush()->SetColor(clWhite);
        cv->FillRect(Rect(0, 0, 20, 20));
        cv->Pen()->SetColor(clBlack);
        DrawDottedLine(cv, c.Start, c.Length, c.Parity, c.Horizontal);
        std::vector<TPoint> drawn;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (ColorToRGB(cv->Pixels(x, y)) == ColorToRGB(clBlack)) drawn.push_back(Point(x, y));
        std::sort(drawn.begin(), drawn.end(), [](TPoint a, TPoint b) { return a.X != b.X ? a.X < b.X : a.Y < b.Y; });
        EXPECT_EQ(drawn, c.Dots) << c.Start.X << "," << c.Start.Y << " " << c.Parity;
    }
}

TEST(DrawingUtilities, TreeElementsDrawTheirBoxAndLines)
{
    auto draw = [](int kind) {
        auto b = std::make_unique<TBitmap>(19, 19);
        b->Canvas()->Brush()->SetColor(clWhite);
        b->Canvas()->FillRect(Rect(0, 0, 19, 19));
        DrawTreeElement(b->Canvas(), Rect(0, 0, 19, 19), kind, true);
        return b;
    };
    auto px = [](TBitmap& b, int x, int y) { return ColorToRGB(b.Canvas()->Pixels(x, y)); };
    const TColorRef shadow = ColorToRGB(clBtnShadow), text = ColorToRGB(clWindowText), white = ColorToRGB(clWhite);
    // Centre (9, 9); box 5..13 both ways.
    auto plus = draw(3);
    EXPECT_EQ(px(*plus, 5, 5), shadow);
    EXPECT_EQ(px(*plus, 13, 13), shadow);
    EXPECT_EQ(px(*plus, 8, 9), text);   // minus bar
    EXPECT_EQ(px(*plus, 9, 8), text);   // plus bar
    EXPECT_EQ(px(*plus, 6, 6), ColorToRGB(clWindow));
    EXPECT_EQ(px(*plus, 9, 0), shadow);   // line above, on odd x + y
    EXPECT_EQ(px(*plus, 9, 1), white);
    EXPECT_EQ(px(*plus, 9, 15), white);   // line below starts a pixel on
    EXPECT_EQ(px(*plus, 9, 16), shadow);
    EXPECT_EQ(px(*plus, 15, 9), shadow);  // line to the right, on even x + y
    EXPECT_EQ(px(*plus, 16, 9), white);
    auto minusAbove = draw(1);
    EXPECT_EQ(px(*minusAbove, 9, 8), ColorToRGB(clWindow));
    EXPECT_EQ(px(*minusAbove, 9, 0), shadow);
    EXPECT_EQ(px(*minusAbove, 9, 16), white);
    auto ellDown = draw(8);
    EXPECT_EQ(px(*ellDown, 9, 0), white);
    EXPECT_EQ(px(*ellDown, 9, 10), shadow);
    EXPECT_EQ(px(*ellDown, 9, 11), white);
    EXPECT_EQ(px(*ellDown, 11, 9), shadow);
    EXPECT_EQ(px(*ellDown, 8, 9), white);
    auto straight = draw(9);
    EXPECT_EQ(px(*straight, 9, 0), shadow);
    EXPECT_EQ(px(*straight, 9, 18), shadow);
    EXPECT_EQ(px(*straight, 9, 1), white);
    EXPECT_EQ(px(*straight, 11, 9), white);
}

TEST(DrawingUtilities, CentredImageIsClippedToItsRectangle)
{
    TImageList images(nullptr);
    images.SetSize(8, 8);
    TBitmap red(8, 8);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 8, 8));
    images.Add(&red, nullptr);
    TBitmap b(20, 20);
    TCanvas* cv = b.Canvas();
    cv->Brush()->SetColor(clWhite);
    cv->FillRect(Rect(0, 0, 20, 20));
    PaintCentredImage(cv, Rect(0, 0, 20, 20), &images, false, 0);
    EXPECT_EQ(ColorToRGB(cv->Pixels(6, 6)), ColorToRGB(clRed));
    EXPECT_EQ(ColorToRGB(cv->Pixels(13, 13)), ColorToRGB(clRed));
    EXPECT_EQ(ColorToRGB(cv->Pixels(5, 5)), ColorToRGB(clWhite));
    // A rectangle smaller than the image: nothing outside it is touched.
    cv->FillRect(Rect(0, 0, 20, 20));
    PaintCentredImage(cv, Rect(2, 2, 6, 6), &images, false, 0);
    EXPECT_EQ(ColorToRGB(cv->Pixels(3, 3)), ColorToRGB(clRed));
    EXPECT_EQ(ColorToRGB(cv->Pixels(6, 6)), ColorToRGB(clWhite));
    EXPECT_EQ(ColorToRGB(cv->Pixels(1, 1)), ColorToRGB(clWhite));
    // Selected: blended with the highlight colour.
    cv->FillRect(Rect(0, 0, 20, 20));
    PaintCentredImage(cv, Rect(0, 0, 20, 20), &images, true, 0);
    EXPECT_NE(ColorToRGB(cv->Pixels(10, 10)), ColorToRGB(clRed));
    EXPECT_EQ(ColorToRGB(cv->Pixels(2, 2)), ColorToRGB(clWhite));

    EXPECT_EQ(ImageListColor(clNone), ImageListNoColor);
    EXPECT_EQ(ImageListColor(clDefault), ImageListDefaultColor);
    EXPECT_EQ(ImageListColor(clBtnFace), ColorToRGB(clBtnFace));
}

TEST(DrawingUtilities, DoubleClickPairs)
{
    const int w = GetSystemMetrics(SM_CXDOUBLECLK), h = GetSystemMetrics(SM_CYDOUBLECLK);
    const uint32_t t = GetDoubleClickTime();
    EXPECT_TRUE(IsDoubleClickPair(Point(10, 10), Point(10 + w, 10 - h), t));
    EXPECT_FALSE(IsDoubleClickPair(Point(10, 10), Point(11 + w, 10), t));
    EXPECT_FALSE(IsDoubleClickPair(Point(10, 10), Point(10, 11 + h), 0));
    EXPECT_FALSE(IsDoubleClickPair(Point(10, 10), Point(10, 10), t + 1));
}

TEST(DrawingUtilities, SameVariantValue)
{
    struct Case {
        const char* Name;
        Variant A, B;
        bool Same;
    } cases[] = {
        {"empty, empty", Variant(), Variant(), true},
        {"empty, null", Variant(), Null(), false},
        {"null, null", Null(), Null(), true},
        {"numbers", Variant(5), Variant(5.0), true},
        {"text", Variant("abc"), Variant("abc"), true},
        {"text, number", Variant("abc"), Variant(5), false},
        {"arrays", VarArrayOf({1, 2}), VarArrayOf({1, 2}), true},
        {"arrays differ", VarArrayOf({1, 2}), VarArrayOf({1, 3}), false},
        {"array lengths", VarArrayOf({1, 2}), VarArrayOf({1, 2, 3}), false},
        {"array, value", VarArrayOf({1}), Variant(1), false},
        {"arrays with null", VarArrayOf({Null(), 2}), VarArrayOf({Null(), 2}), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SameVariantValue(c.A, c.B), c.Same) << c.Name;
        EXPECT_EQ(SameVariantValue(c.B, c.A), c.Same) << c.Name;
    }
}

}  // namespace
