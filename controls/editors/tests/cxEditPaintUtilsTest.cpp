#include "cxEditPaintUtils.h"

#include "Graphics.h"
#include "cxGraphics.h"

#include "EditSurface.h"

#include <gtest/gtest.h>

using namespace cxEditUtils;

namespace {

using Surface = TEditTestSurface;

}  // namespace

TEST(BrushCache, EvictsTheLeastUsedAndKeepsHeldBrushesValid)
{
    TcxSolidBrushCache cache(128);
    TcxSolidBrushRef held = cache.Get(TColor(0x000001));   // used once, then held
    for (int i = 2; i <= 128; ++i) {
        cache.Get(TColor(i));
        cache.Get(TColor(i));   // every other colour is used more
    }
    EXPECT_EQ(cache.Depth(), 128);
    cache.Get(TColor(0x010000));   // the 129th colour evicts colour 1
    EXPECT_EQ(cache.Depth(), 128);
    EXPECT_EQ(cache.UseCount(TColor(1)), -1);
    // The held brush still works, and asking again makes a new one.
    Surface s(4, 4);
    EXPECT_NE(FillRect(s.Canvas->Handle(), TRect{0, 0, 2, 2}, held->Handle()), 0);
    TcxSolidBrushRef again = cache.Get(TColor(1));
    EXPECT_NE(again.get(), held.get());
    HBRUSH handle = held->Handle();
    held.reset();
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(handle)));   // freed with its last holder

    // A palette change clears the cache; held brushes live on.
    TcxSolidBrushRef kept = cache.Get(TColor(5));
    cache.Clear();
    EXPECT_EQ(cache.Depth(), 0);
    EXPECT_NE(cache.Get(TColor(5)).get(), kept.get());
    EXPECT_NE(FillRect(s.Canvas->Handle(), TRect{0, 0, 2, 2}, kept->Handle()), 0);

    // System colours take the stock brushes and never enter the cache.
    int depth = cxEditPaintUtils::BrushCache()->Depth();
    TcxSolidBrushRef face = cxEditPaintUtils::GetSolidBrush(clBtnFace);
    EXPECT_EQ(face->Handle(), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(cxEditPaintUtils::BrushCache()->Depth(), depth);
    cxEditPaintUtils::Finalize();
}

TEST(EditPaint, ArrowSizesAndArrows)
{
    EXPECT_EQ(CalculateArrowSize(TSize{16, 20}, adDown), (TSize{7, 4}));
    EXPECT_EQ(CalculateArrowSize(TSize{16, 20}, adLeft), (TSize{4, 7}));
    EXPECT_EQ(CalculateArrowSize(TSize{10, 10}, adUp), (TSize{5, 3}));
    Surface s(16, 20);
    TSize a = CalculateArrowSize(TSize{16, 20}, adDown);
    DrawArrows(s.Canvas.get(), TRect{0, 0, 16, 20}, adDown, clBlack, a.cy);
    EXPECT_EQ(s.Count(clBlack), 16);   // 7 + 5 + 3 + 1
    // The widest strip is at the top for a down arrow.
    int top = -1;
    for (int y = 0; y < 20 && top < 0; ++y)
        for (int x = 0; x < 16; ++x)
            if (ColorToRGB(s.Bitmap.Canvas()->Pixels(x, y)) == 0) { top = y; break; }
    int width = 0;
    for (int x = 0; x < 16; ++x)
        if (ColorToRGB(s.Bitmap.Canvas()->Pixels(x, top)) == 0) ++width;
    EXPECT_EQ(width, 7);
}

TEST(EditPaint, EllipsisDots)
{
    Surface wide(16, 16);
    DrawEllipsisDots(wide.Canvas.get(), TRect{0, 0, 16, 16}, clBlack, true);
    EXPECT_EQ(wide.Count(clBlack), 12);   // three 2 x 2 dots
    Surface narrow(10, 16);
    DrawEllipsisDots(narrow.Canvas.get(), TRect{0, 0, 10, 16}, clBlack, true);
    EXPECT_EQ(narrow.Count(clBlack), 3);
    Surface disabled(16, 16);
    DrawEllipsisDots(disabled.Canvas.get(), TRect{0, 0, 16, 16}, clBlack, false);
    EXPECT_EQ(disabled.Count(clBtnShadow), 12);
}

TEST(EditPaint, PolylineAndSmallRoutines)
{
    Surface s(10, 10);
    DrawPolyline(s.Canvas.get(), {TPoint{1, 1}, TPoint{5, 1}, TPoint{5, 4}}, true, clRed);
    EXPECT_EQ(s.Count(clRed), 5 + 3);
    EXPECT_EQ(RemoveAccelChars("&File"), "File");
    EXPECT_EQ(RemoveAccelChars("A&&B"), "A&B");
    EXPECT_EQ(RemoveAccelChars("Save&"), "Save_");
    EXPECT_EQ(CenterInRect(TRect{0, 0, 11, 11}, TSize{4, 4}, false), (TPoint{3, 3}));
    EXPECT_EQ(CenterInRect(TRect{0, 0, 11, 11}, TSize{4, 4}, true), (TPoint{4, 4}));
    EXPECT_EQ(GetButtonHorzContentMargin(1), 4);
    EXPECT_EQ(GetButtonVertContentMargin(0), 0);
}
