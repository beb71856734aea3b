#include "cxGraphics.h"
#include "GuiTesting.h"

#include <gtest/gtest.h>

namespace {

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { GuiTest::Init(); }
    TBitmap Surface{40, 40};
    TcxCanvas C{Surface.Canvas()};
    TColor Px(int x, int y) { return Surface.Canvas()->Pixels(x, y); }
};

TEST(cxTextFlags, Conversion)
{
    struct Case { int flags; UINT expected; };
    const Case cases[] = {
        {ctfLeft | ctfTop, DT_NOPREFIX},
        {ctfRight, DT_NOPREFIX | DT_RIGHT},
        {ctfCenterH | ctfCenterV | ctfSingleLine, DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {ctfBottom | ctfNoClip | ctfExpandTabs, DT_NOPREFIX | DT_BOTTOM | DT_NOCLIP | DT_EXPANDTABS},
        {ctfShowPrefix, 0},
        {ctfWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
        {ctfEndEllipsis | ctfPathEllipsis | ctfCalcOnly,
         DT_NOPREFIX | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_CALCRECT},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cxGraphics::TextFlagsToDrawTextFlags(c.flags), c.expected) << std::hex << c.flags;
}

TEST_F(CanvasTest, FrameStripsInOrderAndOverlappingCorners)
{
    TRecordingCanvas rec(50, 50);
    TcxCanvas c(&rec);
    c.FrameRect({2, 3, 12, 13}, clRed, 2, TcxBorders{bLeft, bRight, bTop, bBottom});
    std::vector<TRect> fills;
    for (const auto& op : rec.Ops())
        if (op.Op == "FillRect") fills.push_back(op.Rect);
    ASSERT_EQ(fills.size(), 4u);
    EXPECT_EQ(fills[0], Rect(2, 3, 4, 13));
    EXPECT_EQ(fills[1], Rect(10, 3, 12, 13));
    EXPECT_EQ(fills[2], Rect(2, 3, 12, 5));
    EXPECT_EQ(fills[3], Rect(2, 11, 12, 13));

    rec.Clear();
    c.DrawComplexFrame({0, 0, 10, 10}, clRed, clBlue, TcxBorders{bLeft, bTop, bRight, bBottom}, 1);
    std::vector<TColorRef> colors;
    for (const auto& op : rec.Ops())
        if (op.Op == "FillRect") colors.push_back(op.Color);
    EXPECT_EQ(colors, (std::vector<TColorRef>{RGB(255, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255)}));
}

TEST_F(CanvasTest, FrameWithDefaultColourKeepsTheBrush)
{
    C.SetBrushColor(clLime);
    C.FrameRect({0, 0, 10, 10}, clDefault, 1, TcxBorders{bTop});
    EXPECT_EQ(Px(5, 0), clLime);
    EXPECT_EQ(Px(5, 1), clWhite);
}

TEST_F(CanvasTest, EdgesUseTheSystemColourTable)
{
    struct Case { bool sunken, outer; TColor lt, rb; };
    const Case cases[] = {
        {true, true, clBtnShadow, clBtnHighlight},
        {true, false, cl3DDkShadow, cl3DLight},
        {false, true, cl3DLight, cl3DDkShadow},
        {false, false, clBtnHighlight, clBtnShadow},
    };
    for (const Case& k : cases) {
        C.DrawEdge({0, 0, 10, 10}, k.sunken, k.outer);
        EXPECT_EQ(TColorRef(Px(0, 5)), ColorToRGB(k.lt));
        EXPECT_EQ(TColorRef(Px(5, 0)), ColorToRGB(k.lt));
        EXPECT_EQ(TColorRef(Px(9, 0)), ColorToRGB(k.rb));   // right strip covers the corner
        EXPECT_EQ(TColorRef(Px(5, 9)), ColorToRGB(k.rb));
    }
}

TEST_F(CanvasTest, TilingIsAnchoredAtTheOrigin)
{
    TBitmap tile(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) tile.Canvas()->SetPixels(x, y, TColor(RGB(x * 16, y * 16, 7)));
    C.FillRect({8, 8, 32, 32}, &tile);
    for (int y = 8; y < 32; y += 3)
        for (int x = 8; x < 32; x += 5) ASSERT_EQ(Px(x, y), TColor(RGB((x % 16) * 16, (y % 16) * 16, 7)));
    EXPECT_EQ(Px(7, 8), clWhite);
    EXPECT_EQ(Px(32, 31), clWhite);

    TRecordingCanvas rec(40, 40);
    TcxCanvas rc(&rec);
    rc.FillRect({8, 8, 32, 32}, &tile);
    EXPECT_EQ(rec.CountOf("BitBlt"), 4);   // columns and rows 0..1
}

TEST_F(CanvasTest, ClipRegionGetSetAndWindowOrigin)
{
    std::unique_ptr<TcxRegion> none = C.GetClipRegion();
    EXPECT_EQ(none->BoundsRect(), Rect(0, 0, cxMaxRegionSize, cxMaxRegionSize));

    C.SetClipRegion(new TcxRegion(0, 0, 20, 20), rcmCopy);
    EXPECT_TRUE(C.RectVisible({15, 15, 25, 25}));
    EXPECT_FALSE(C.RectVisible({21, 21, 25, 25}));

    C.SetWindowOrg({10, 20});
    // Logical (10, 20)-(30, 40) is device (0, 0)-(20, 20): intersecting keeps it.
    C.SetClipRegion(new TcxRegion(10, 20, 15, 25), rcmIntersect);
    EXPECT_EQ(C.GetClipRegion()->BoundsRect(), Rect(0, 0, 5, 5));
    C.SetWindowOrg({0, 0});
    C.FillRect({0, 0, 40, 40}, clRed);
    EXPECT_EQ(Px(4, 4), clRed);
    EXPECT_EQ(Px(6, 6), clWhite);

    C.SetClipRegion(new TcxRegion(30, 30, 35, 35), rcmUnion);
    EXPECT_TRUE(C.RectVisible({31, 31, 32, 32}));
    C.SetClipRegion(new TcxRegion(0, 0, 3, 3), rcmDifference);
    EXPECT_FALSE(C.RectVisible({0, 0, 3, 3}));
}

TEST_F(CanvasTest, SaveAndRestoreClip)
{
    C.SaveClipRegion();
    C.IntersectClipRect({0, 0, 5, 5});
    C.ExcludeClipRect({0, 0, 2, 2});
    EXPECT_FALSE(C.RectVisible({0, 0, 2, 2}));
    EXPECT_FALSE(C.RectVisible({6, 6, 8, 8}));
    C.RestoreClipRegion();
    EXPECT_TRUE(C.RectVisible({6, 6, 8, 8}));
}

TEST(cxRegion, CombineModes)
{
    GuiTest::Init();
    TcxRegion r(0, 0, 10, 10);
    r.Combine(new TcxRegion(5, 5, 20, 20), rcmUnion);
    EXPECT_EQ(r.BoundsRect(), Rect(0, 0, 20, 20));
    r.Combine(new TcxRegion(0, 0, 20, 10), rcmDifference);
    EXPECT_EQ(r.BoundsRect(), Rect(5, 10, 20, 20));
    r.Combine(new TcxRegion(0, 0, 8, 12), rcmIntersect);
    EXPECT_EQ(r.BoundsRect(), Rect(5, 10, 8, 12));
    r.Offset(1, 2);
    EXPECT_EQ(r.BoundsRect(), Rect(6, 12, 9, 14));
    TcxRegion keep(1, 1, 2, 2);
    r.Combine(&keep, rcmCopy, false);
    EXPECT_EQ(r.BoundsRect(), Rect(1, 1, 2, 2));
    EXPECT_TRUE(TcxRegion().IsEmptyRegion());
    EXPECT_FALSE(keep.IsEmptyRegion());
}

TEST_F(CanvasTest, EmptyTextDrawsNothingAndTouchesNothing)
{
    TRecordingCanvas rec(40, 40);
    TcxCanvas c(&rec);
    rec.Font()->SetColor(clRed);
    c.DrawText("", {0, 0, 40, 40}, ctfSingleLine, false);
    EXPECT_TRUE(rec.Ops().empty());
    EXPECT_EQ(rec.Font()->Color(), clRed);
}

TEST_F(CanvasTest, DisabledTextIsEmbossedAndFontColourRestored)
{
    TRecordingCanvas rec(200, 40);
    TcxCanvas c(&rec);
    auto textOps = [&] {
        std::vector<TCanvasOp> r;
        for (const auto& op : rec.Ops())
            if (op.Op == "TextOut" || op.Op == "DrawText") r.push_back(op);
        return r;
    };
    rec.Font()->SetColor(clNavy);
    c.DrawText("Abc", {10, 5, 190, 35}, ctfSingleLine | ctfRight, false);
    std::vector<TCanvasOp> disabled = textOps();
    ASSERT_EQ(disabled.size(), 2u);
    EXPECT_EQ(disabled[0].Color, ColorToRGB(clBtnHighlight));
    EXPECT_EQ(disabled[1].Color, ColorToRGB(clBtnShadow));
    EXPECT_EQ(disabled[0].Points.at(0).X, disabled[1].Points.at(0).X + 1);
    EXPECT_EQ(disabled[0].Points.at(0).Y, disabled[1].Points.at(0).Y + 1);
    EXPECT_EQ(rec.Font()->Color(), clNavy);

    // Right-aligned and disabled ends one pixel further left than enabled.
    const int cx = c.TextWidth("Abc");
    rec.Clear();
    c.DrawText("Abc", {10, 5, 190, 35}, ctfSingleLine | ctfRight, true);
    std::vector<TCanvasOp> enabled = textOps();
    ASSERT_EQ(enabled.size(), 1u);
    EXPECT_EQ(enabled[0].Points.at(0).X, 190 - cx);
    EXPECT_EQ(disabled[1].Points.at(0).X, 190 - cx - 1);
}

TEST_F(CanvasTest, MultiLineBottomAlignedTextUsesTheLayoutRoutine)
{
    TRecordingCanvas rec(200, 100);
    TcxCanvas c(&rec);
    c.DrawText("one two three four five six", {0, 0, 60, 100}, ctfWordBreak | ctfBottom, true);
    const TCanvasOp* op = rec.Find("DrawText");
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->Rect.Bottom, 100);
    EXPECT_GT(op->Rect.Top, 0);
    EXPECT_TRUE(op->Flags & DT_WORDBREAK);
    EXPECT_TRUE(op->Flags & DT_NOPREFIX);
}

TEST_F(CanvasTest, CalculateTextRectPlacesTheTextInsideTheRectangle)
{
    const TSize ext = C.TextExtent("Hello");
    TRect r{0, 0, 100, 50};
    C.CalculateTextRect("Hello", r, ctfSingleLine | ctfRight | ctfBottom);
    EXPECT_EQ(r.Right, 100);
    EXPECT_EQ(r.Bottom, 50);
    EXPECT_EQ(r.Width(), ext.cx);
    r = {0, 0, 100, 50};
    C.CalculateTextRect("Hello", r, ctfSingleLine | ctfCenterH | ctfCenterV);
    EXPECT_EQ(r.Left, (100 - ext.cx) / 2);
    EXPECT_EQ(r.Top, (50 - ext.cy) / 2);
    EXPECT_GT(C.FontHeight(Surface.Canvas()->Font()), 0);
}

TEST_F(CanvasTest, GlyphTransparencyAndBackground)
{
    TBitmap glyph(4, 4);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect({0, 0, 4, 4});
    glyph.Canvas()->SetPixels(1, 1, clBlack);
    glyph.SetTransparentColor(clFuchsia);
    glyph.SetTransparentMode(tmFixed);

    C.FillRect({0, 0, 40, 40}, clYellow);
    C.DrawGlyph(10, 10, &glyph, true, clNone);
    EXPECT_EQ(Px(11, 11), clBlack);
    EXPECT_EQ(Px(10, 10), clYellow);   // transparent: what was there stays

    C.DrawGlyph(20, 20, &glyph, true, clAqua);
    EXPECT_EQ(Px(21, 21), clBlack);
    EXPECT_EQ(Px(20, 20), clAqua);

    C.DrawGlyph(30, 30, &glyph, false, clNone);
    EXPECT_EQ(TColorRef(Px(31, 31)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(TColorRef(Px(32, 32)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(30, 30), clYellow);
}

TEST_F(CanvasTest, InvertAndFocusRect)
{
    C.FillRect({0, 0, 10, 10}, clBlack);
    C.InvertRect({0, 0, 5, 5});
    EXPECT_EQ(Px(2, 2), clWhite);
    EXPECT_EQ(Px(7, 7), clBlack);
    TRecordingCanvas rec(20, 20);
    TcxCanvas c(&rec);
    rec.Brush()->SetColor(clRed);
    c.DrawFocusRect({1, 1, 10, 10});
    EXPECT_EQ(rec.Brush()->Color(), clWhite);
    EXPECT_EQ(rec.Font()->Color(), clBlack);
    EXPECT_EQ(rec.CountOf("DrawFocusRect"), 1);
}

TEST(cxBlendedColors, FormulaAndBlackOrWhiteFace)
{
    TSysColorProvider table = [](int i) -> TColorRef {
        switch (i) {
        case COLOR_BTNFACE: return RGB(200, 100, 50);
        case COLOR_HIGHLIGHT: return RGB(10, 36, 106);
        case COLOR_WINDOW: return RGB(255, 255, 255);
        default: return 0;
        }
    };
    SetSysColorProvider(table);
    // Red: MulDiv(200,-2,100) + MulDiv(10,30,100) + MulDiv(255,72,100) = -4 + 3 + 184
    EXPECT_EQ(TColorRef(cxGraphics::LightHotColor()), RGB(183, -2 + 11 + 184, -1 + 32 + 184));
    EXPECT_EQ(TColorRef(cxGraphics::LightPressedColor()),
              RGB(28 + 4 + 102, 14 + 16 + 102, 7 + 47 + 102));
    SetSysColorProvider([&](int i) -> TColorRef { return i == COLOR_BTNFACE ? 0xFFFFFF : table(i); });
    EXPECT_EQ(TColorRef(cxGraphics::LightHotColor()), RGB(10, 36, 106));
    EXPECT_EQ(TColorRef(cxGraphics::LightPressedColor()), RGB(10, 36, 106));
    SetSysColorProvider(nullptr);
}

}  // namespace
