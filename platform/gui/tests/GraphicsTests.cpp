// The canvas, regions, clipping, text layout and bitmaps.
#include "Graphics.h"
#include "GuiTesting.h"
#include "Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { GuiTest::Init(); }
    static TColor Px(TBitmap& b, int x, int y) { return b.Canvas()->Pixels(x, y); }
};

// Width and height set one after the other, as the properties are: the
// bitmap keeps the first while it is still empty.
TEST_F(CanvasTest, BitmapSizedByWidthThenHeight)
{
    TBitmap b;
    b.SetWidth(40);
    EXPECT_EQ(b.Width(), 40);
    EXPECT_TRUE(b.Empty());
    b.SetHeight(30);
    EXPECT_EQ(b.Width(), 40);
    EXPECT_EQ(b.Height(), 30);
    EXPECT_FALSE(b.Empty());
    b.Canvas()->SetPixels(39, 29, clRed);
    EXPECT_EQ(Px(b, 39, 29), clRed);
    TBitmap copy;
    TBitmap half;
    half.SetHeight(7);
    copy.Assign(&half);
    EXPECT_EQ(copy.Height(), 7);
    copy.SetWidth(2);
    EXPECT_EQ(copy.Width(), 2);
    EXPECT_FALSE(copy.Empty());
}

TEST_F(CanvasTest, FillRectExcludesRightAndBottomEdges)
{
    TBitmap b(10, 10);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(2, 2, 5, 5));
    EXPECT_EQ(Px(b, 2, 2), clRed);
    EXPECT_EQ(Px(b, 4, 4), clRed);
    EXPECT_EQ(Px(b, 5, 4), clWhite);
    EXPECT_EQ(Px(b, 4, 5), clWhite);
    EXPECT_EQ(Px(b, 1, 2), clWhite);
}

TEST_F(CanvasTest, LineToLeavesTheEndPointAndMovesThePen)
{
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    c->Pen()->SetColor(clBlue);
    c->MoveTo(1, 1);
    c->LineTo(6, 1);
    EXPECT_EQ(Px(b, 1, 1), clBlue);
    EXPECT_EQ(Px(b, 5, 1), clBlue);
    EXPECT_EQ(Px(b, 6, 1), clWhite);
    EXPECT_EQ(c->PenPos(), Point(6, 1));
}

TEST_F(CanvasTest, RectangleDrawsOutlineInsideAndFillsWithBrush)
{
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clLime);
    c->Rectangle(1, 1, 6, 6);
    EXPECT_EQ(Px(b, 1, 1), clBlack);
    EXPECT_EQ(Px(b, 5, 5), clBlack);
    EXPECT_EQ(Px(b, 3, 3), clLime);
    EXPECT_EQ(Px(b, 6, 6), clWhite);
}

TEST_F(CanvasTest, FrameRectAndDrawFocusRectTwiceRestores)
{
    TBitmap b(12, 12);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clNavy);
    c->FrameRect(Rect(1, 1, 11, 11));
    EXPECT_EQ(Px(b, 1, 1), clNavy);
    EXPECT_EQ(Px(b, 10, 10), clNavy);
    EXPECT_EQ(Px(b, 5, 5), clWhite);
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 12, 12));
    c->DrawFocusRect(Rect(2, 2, 10, 10));
    EXPECT_EQ(Px(b, 2, 2), clBlack);   // white inverted
    EXPECT_EQ(Px(b, 3, 2), clWhite);   // dotted
    c->DrawFocusRect(Rect(2, 2, 10, 10));
    EXPECT_EQ(Px(b, 2, 2), clWhite);
}

TEST_F(CanvasTest, CopyModesDestinationInvertAndSourceCopy)
{
    TBitmap src(4, 4), dst(4, 4);
    src.Canvas()->Brush()->SetColor(clRed);
    src.Canvas()->FillRect(Rect(0, 0, 4, 4));
    dst.Canvas()->CopyMode();
    dst.Canvas()->CopyRect(Rect(0, 0, 2, 2), src.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(Px(dst, 1, 1), clRed);
    EXPECT_EQ(Px(dst, 2, 2), clWhite);
    dst.Canvas()->SetCopyMode(cmDstInvert);
    dst.Canvas()->CopyRect(Rect(0, 0, 4, 4), src.Canvas(), Rect(0, 0, 4, 4));
    EXPECT_EQ(Px(dst, 1, 1), TColor(0xFFFF00));   // red inverted
    EXPECT_EQ(Px(dst, 3, 3), clBlack);            // white inverted
}

TEST_F(CanvasTest, BrushCopyReplacesTheTransparentColour)
{
    TBitmap src(2, 1), dst(2, 1);
    src.Canvas()->SetPixels(0, 0, clFuchsia);
    src.Canvas()->SetPixels(1, 0, clBlue);
    dst.Canvas()->Brush()->SetColor(clYellow);
    dst.Canvas()->BrushCopy(Rect(0, 0, 2, 1), &src, Rect(0, 0, 2, 1), clFuchsia);
    EXPECT_EQ(Px(dst, 0, 0), clYellow);
    EXPECT_EQ(Px(dst, 1, 0), clBlue);
}

TEST_F(CanvasTest, SystemColoursResolveThroughTheTable)
{
    TBitmap b(2, 2);
    b.Canvas()->Brush()->SetColor(clBtnFace);
    b.Canvas()->FillRect(Rect(0, 0, 2, 2));
    EXPECT_EQ(TColorRef(Px(b, 0, 0)), GetSysColor(COLOR_BTNFACE));
}

// ---- regions and clipping

TEST_F(CanvasTest, RegionCombinationsAndBoxes)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 20, 20), d = CreateRectRgn(0, 0, 0, 0);
    struct Case { int mode; int kind; TRect box; };
    const Case cases[] = {
        {RGN_AND, SIMPLEREGION, Rect(5, 5, 10, 10)},
        {RGN_OR, COMPLEXREGION, Rect(0, 0, 20, 20)},
        {RGN_DIFF, COMPLEXREGION, Rect(0, 0, 10, 10)},
        {RGN_COPY, SIMPLEREGION, Rect(0, 0, 10, 10)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CombineRgn(d, a, b, c.mode), c.kind) << c.mode;
        TRect box;
        GetRgnBox(d, &box);
        EXPECT_EQ(box, c.box) << c.mode;
    }
    CombineRgn(d, a, a, RGN_DIFF);
    TRect box{1, 1, 1, 1};
    EXPECT_EQ(GetRgnBox(d, &box), NULLREGION);
    EXPECT_EQ(box, TRect{});
    EXPECT_EQ(OffsetRgn(a, 3, 4), SIMPLEREGION);
    GetRgnBox(a, &box);
    EXPECT_EQ(box, Rect(3, 4, 13, 14));
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_FALSE(DeleteObject(a));   // a deleted handle is refused, not freed twice
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), ERROR);
    DeleteObject(b);
    DeleteObject(d);
}

TEST_F(CanvasTest, ClipRegionsLimitDrawingAndRectVisible)
{
    TBitmap b(20, 20);
    HDC dc = b.Canvas()->Handle();
    EXPECT_EQ(ExcludeClipRect(dc, 0, 0, 10, 20), SIMPLEREGION);
    EXPECT_FALSE(RectVisible(dc, Rect(2, 2, 8, 8)));
    EXPECT_TRUE(RectVisible(dc, Rect(8, 2, 12, 8)));
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, 20, 20));
    EXPECT_EQ(Px(b, 5, 5), clWhite);
    EXPECT_EQ(Px(b, 15, 5), clRed);

    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, saved), 1);
    IntersectClipRect(dc, 10, 10, 12, 12);
    TRect box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, Rect(10, 10, 12, 12));
    SelectClipRgn(dc, saved);
    GetClipBox(dc, &box);
    EXPECT_EQ(box, Rect(10, 0, 20, 20));
    SelectClipRgn(dc, nullptr);
    EXPECT_EQ(GetClipRgn(dc, saved), 0);
    DeleteObject(saved);
}

TEST_F(CanvasTest, WindowOriginMovesDrawingAndClipStaysInDeviceCoordinates)
{
    TBitmap b(20, 20);
    HDC dc = b.Canvas()->Handle();
    SetWindowOrgEx(dc, 5, 5, nullptr);
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(Rect(5, 5, 7, 7));   // lands at (0,0)
    EXPECT_EQ(Px(b, 5, 5), clBlue);            // Pixels reads logical coordinates too
    SetWindowOrgEx(dc, 0, 0, nullptr);
    EXPECT_EQ(Px(b, 0, 0), clBlue);
    EXPECT_EQ(Px(b, 5, 5), clWhite);
    TPoint org;
    // Saved levels restore the origin and the clip.
    int level = SaveDC(dc);
    SetWindowOrgEx(dc, 3, 3, nullptr);
    IntersectClipRect(dc, 3, 3, 5, 5);
    RestoreDC(dc, level);
    GetWindowOrgEx(dc, &org);
    EXPECT_EQ(org, Point(0, 0));
    TRect box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, Rect(0, 0, 20, 20));
    EXPECT_FALSE(RestoreDC(dc, 5));
}

// ---- text

TEST_F(CanvasTest, TextMeasuresAlikeInBitmapsAndOnTheScreenCanvas)
{
    TBitmap b(10, 10);
    for (const char* s : {"Qq", "学员 Wg", "0"}) {
        TSize a = b.Canvas()->TextExtent(s);
        TSize c = ScreenCanvas()->TextExtent(s);
        EXPECT_EQ(a, c) << s;
        EXPECT_GT(a.cx, 0);
        EXPECT_GE(a.cy, 12);
    }
    // The system's Chinese font name resolves to an installed font with Chinese glyphs.
    b.Canvas()->Font()->SetName("宋体");
    EXPECT_GT(b.Canvas()->TextWidth("驾校"), b.Canvas()->TextWidth("a"));
}

TEST_F(CanvasTest, DrawTextCalcRectSizesSingleAndWrappedText)
{
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    int lh = c->TextHeight("Qq");
    TRect r = Rect(0, 0, 1000, 0);
    EXPECT_EQ(c->DrawText("one line", r, DT_CALCRECT | DT_SINGLELINE), lh);
    EXPECT_EQ(r.Width(), c->TextWidth("one line"));
    EXPECT_EQ(r.Height(), lh);

    int w = c->TextWidth("alpha beta");
    r = Rect(0, 0, w, 0);
    c->DrawText("alpha beta alpha beta", r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), 2 * lh);
    EXPECT_EQ(r.Width(), w);   // several lines keep the width
    r = Rect(0, 0, w, 0);
    c->DrawText("alpha", r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Width(), c->TextWidth("alpha"));   // one line is bounded

    r = Rect(0, 0, 1000, 0);
    c->DrawText("a\r\nb\nc", r, DT_CALCRECT);
    EXPECT_EQ(r.Height(), 3 * lh);

    // A word longer than the line stays whole unless edit-control rules break it.
    int narrow = c->TextWidth("abc");
    r = Rect(0, 0, narrow, 0);
    c->DrawText("abcdefghij", r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), lh);
    EXPECT_GT(r.Width(), narrow);
    r = Rect(0, 0, narrow, 0);
    c->DrawText("abcdefghij", r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_GT(r.Height(), lh);
    // Chinese text breaks between characters.
    r = Rect(0, 0, c->TextWidth("驾校学"), 0);
    c->DrawText("驾校学员管理系统", r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r.Height(), 3 * lh);
}

TEST_F(CanvasTest, DrawTextPrefixEllipsisAndAlignment)
{
    TRecordingCanvas rc(200, 40);
    TCanvas* c = &rc;
    int lh = c->TextHeight("Qq");
    // "&&" is one ampersand; a single "&" is dropped and underlines what follows.
    TRect r = Rect(0, 0, 200, 0);
    c->DrawText("&Save && Exit", r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.Width(), c->TextWidth("Save & Exit"));
    r = Rect(0, 0, 200, 0);
    c->DrawText("&Save && Exit", r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.Width(), c->TextWidth("&Save && Exit"));

    // End ellipsis: the text drawn fits the rectangle.
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 200, 40));
    int w = c->TextWidth("abcdef");
    r = Rect(0, 0, w, lh);
    c->Font()->SetColor(clBlack);
    c->DrawText("abcdefghijklmnop", r, DT_SINGLELINE | DT_END_ELLIPSIS);
    const TCanvasOp* op = rc.Find("DrawText");
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->Rect, Rect(0, 0, w, lh));
    // Nothing is drawn right of the rectangle.
    for (int x = w; x < 200; ++x)
        for (int y = 0; y < lh; ++y) ASSERT_EQ(c->Pixels(x, y), clWhite) << x << "," << y;

    // Right alignment puts the ink at the right edge; vertical centring in the middle.
    c->FillRect(Rect(0, 0, 200, 40));
    r = Rect(0, 0, 200, 40);
    c->DrawText("X", r, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
    bool inkLeft = false, inkRight = false;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 40; ++y)
            if (c->Pixels(x, y) != clWhite) (x < 150 ? inkLeft : inkRight) = true;
    EXPECT_FALSE(inkLeft);
    EXPECT_TRUE(inkRight);
}

TEST_F(CanvasTest, TextOutUsesTheBrushForItsBackgroundUnlessClear)
{
    TBitmap b(60, 20);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clYellow);
    c->TextOut(0, 0, "i");
    EXPECT_EQ(Px(b, c->TextWidth("i") - 1, c->TextHeight("i") - 1), clYellow);
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 60, 20));
    c->Brush()->SetColor(clYellow);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(0, 0, "i");
    EXPECT_EQ(Px(b, c->TextWidth("i") - 1, c->TextHeight("i") - 1), clWhite);
}

TEST_F(CanvasTest, RecordingCanvasKeepsOperationsWithTheirClip)
{
    TRecordingCanvas rc(50, 50);
    HDC dc = rc.Handle();
    IntersectClipRect(dc, 10, 10, 30, 30);
    rc.Brush()->SetColor(clRed);
    rc.FillRect(Rect(0, 0, 50, 50));
    rc.TextOut(12, 12, "学");
    ASSERT_EQ(rc.CountOf("FillRect"), 1);
    const TCanvasOp* f = rc.Find("FillRect");
    EXPECT_EQ(f->Rect, Rect(0, 0, 50, 50));
    EXPECT_TRUE(f->Clipped);
    EXPECT_EQ(f->ClipBox, Rect(10, 10, 30, 30));
    EXPECT_EQ(f->Color, TColorRef(clRed));
    const TCanvasOp* t = rc.Find("TextOut");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Text, "学");
    EXPECT_EQ(t->Points.at(0), Point(12, 12));
    EXPECT_EQ(rc.Pixels(5, 5), clWhite);
}

// ---- bitmaps

TEST_F(CanvasTest, ScanLinesFollowThePlatformsByteOrder)
{
    TBitmap b(3, 2);
    b.SetPixelFormat(pf24bit);
    b.Canvas()->SetPixels(1, 0, TColor(RGB(10, 20, 30)));
    uint8_t* row = b.ScanLine(0);
    EXPECT_EQ(row[3], 30);   // blue first
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 10);
    row = b.ScanLine(1);
    row[0] = 200;   // blue of (0,1)
    row[1] = 0;
    row[2] = 0;
    EXPECT_EQ(b.Canvas()->Pixels(0, 1), TColor(RGB(0, 0, 200)));
    b.SetPixelFormat(pf32bit);
    row = b.ScanLine(0);
    EXPECT_EQ(row[4], 30);
    EXPECT_EQ(row[6], 10);
    EXPECT_THROW(b.ScanLine(2), EInvalidGraphicOperation);
}

TEST_F(CanvasTest, BitmapStreamsAsBmpAndBadDataLeavesItIntact)
{
    TBitmap b(5, 4);
    b.Canvas()->SetPixels(2, 3, clRed);
    TMemoryStream m;
    b.SaveToStream(&m);
    m.SetPosition(0);
    EXPECT_EQ(m.ReadString(2), "BM");
    m.SetPosition(0);
    TBitmap c;
    c.LoadFromStream(&m);
    EXPECT_EQ(c.Width(), 5);
    EXPECT_EQ(c.Height(), 4);
    EXPECT_EQ(c.Canvas()->Pixels(2, 3), clRed);

    TMemoryStream bad;
    bad.WriteString("not a picture");
    bad.SetPosition(0);
    EXPECT_THROW(c.LoadFromStream(&bad), EInvalidGraphic);
    EXPECT_EQ(c.Width(), 5);
    EXPECT_EQ(c.Canvas()->Pixels(2, 3), clRed);
}

// A Windows bitmap file: a 40-byte header, the colour table, the pixel bytes.
std::string Bmp(int32_t w, int32_t h, uint16_t bpp, uint32_t compression, const std::string& colours,
                const std::string& pixels)
{
    auto le = [](uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += char(v >> (8 * i));
        return s;
    };
    const uint32_t start = 14 + 40 + uint32_t(colours.size());
    return "BM" + le(start + uint32_t(pixels.size()), 4) + le(0, 4) + le(start, 4) + le(40, 4) + le(uint32_t(w), 4) +
           le(uint32_t(h), 4) + le(1, 2) + le(bpp, 2) + le(compression, 4) + le(uint32_t(pixels.size()), 4) +
           le(2835, 4) + le(2835, 4) + le(uint32_t(colours.size() / 4), 4) + le(0, 4) + colours + pixels;
}

// Index i is grey i*16, so a pixel's colour shows its index.
std::string GreyColours(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += std::string(3, char(i * 16)) + '\0';
    return s;
}

TEST_F(CanvasTest, BitmapDataTheHeaderDoesNotBackIsRefused)
{
    const std::string plain = Bmp(2, 2, 24, 0, "", std::string(16, '\x11'));
    std::string pixelsFarOff = plain;
    pixelsFarOff.replace(10, 2, "\xE8\x03");   // the pixels said to start at byte 1000
    struct Case { const char* what; std::string data; };
    const Case cases[] = {
        // Header size 0x0800000C, the data ending at byte 40: the reader took
        // it for a picture of 21506 rows and left their pixels unset.
        {"a header cut short", std::string("\x42\x4D\xEB\x00\x00\x00\x00\x00\x00\x00\x1A\x00\x00\x00\x0C\x00\x00\x08\x02\x00\x02\x54\x01\x00\x18\x00\x00\x03\x04\x15\x00\x00\x00\x00\x00\x00\x00\x00\x2A\x00", 40)},
        {"pixels said to start past the end", pixelsFarOff},
        {"pixel rows cut short", Bmp(4, 4, 24, 0, "", std::string(12, '\x11'))},
        {"palette pixels cut short", Bmp(4, 4, 8, 0, GreyColours(16), std::string(4, '\x05'))},
        {"a size too large to hold", Bmp(100000, 100000, 24, 0, "", std::string(64, '\0'))},
        {"compressed rows stored top down", Bmp(2, -2, 8, 1, GreyColours(4), std::string("\x02\x01\x00\x01", 4))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap b(2, 1);
        b.Canvas()->SetPixels(1, 0, clRed);
        TMemoryStream m;
        m.WriteString(c.data);
        m.SetPosition(0);
        EXPECT_THROW(b.LoadFromStream(&m), EInvalidGraphic);
        EXPECT_EQ(b.Width(), 2);
        EXPECT_EQ(b.Canvas()->Pixels(1, 0), clRed);
    }
    // Only the padding of the last row may be missing.
    TBitmap b;
    TMemoryStream m;
    m.WriteString(Bmp(1, 2, 24, 0, "", std::string("\x01\x02\x03\0\x04\x05\x06", 7)));
    m.SetPosition(0);
    b.LoadFromStream(&m);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), TColor(RGB(6, 5, 4)));
}

// A palette picture whose pixels point past its palette: those pixels are
// black, and a saved copy loads to the same pixels.
TEST_F(CanvasTest, PalettePixelsPastThePaletteAreBlackInEveryCopy)
{
    TBitmap b;
    TMemoryStream m;
    m.WriteString(Bmp(4, 1, 8, 0, GreyColours(2), std::string("\x00\x01\x05\xC8", 4)));
    m.SetPosition(0);
    b.LoadFromStream(&m);
    const TColor expected[] = {TColor(RGB(0, 0, 0)), TColor(RGB(16, 16, 16)), clBlack, clBlack};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Canvas()->Pixels(x, 0), expected[x]) << x;
    TMemoryStream saved;
    b.SaveToStream(&saved);
    saved.SetPosition(0);
    TBitmap again;
    again.LoadFromStream(&saved);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(again.Canvas()->Pixels(x, 0), expected[x]) << x;
}

TEST_F(CanvasTest, RunLengthBitmapsDecodeWithSkippedPixelsAtIndexZero)
{
    // 8 bits, 4 x 3, bottom row first: a run of three 1s; end of the row; a
    // skip one right; three literal values 2, 3, 1 (padded to a word); end of
    // the picture. The top row is never written.
    const std::string rle8("\x03\x01\x00\x00\x00\x02\x01\x00\x00\x03\x02\x03\x01\x00\x00\x01", 16);
    // 4 bits, 4 x 2: a run alternating 1 and 2 over three pixels; end of the
    // row; literal 4, 5, 6; end of the picture.
    const std::string rle4("\x03\x12\x00\x00\x00\x03\x45\x60\x00\x01", 10);
    struct Case { const char* what; std::string data; std::vector<std::string> rows; };
    const Case cases[] = {
        {"8 bits", Bmp(4, 3, 8, 1, GreyColours(4), rle8), {"0000", "0231", "1110"}},
        {"4 bits", Bmp(4, 2, 4, 2, GreyColours(16), rle4), {"4560", "1210"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int load = 0; load < 2; ++load) {   // the same pixels every time
            TBitmap b;
            TMemoryStream m;
            m.WriteString(c.data);
            m.SetPosition(0);
            b.LoadFromStream(&m);
            ASSERT_EQ(b.Height(), int(c.rows.size()));
            for (int y = 0; y < b.Height(); ++y) {
                ASSERT_EQ(b.Width(), int(c.rows[y].size()));
                for (int x = 0; x < b.Width(); ++x) {
                    const int grey = (c.rows[y][x] - '0') * 16;
                    EXPECT_EQ(b.Canvas()->Pixels(x, y), TColor(RGB(grey, grey, grey))) << x << "," << y;
                }
            }
        }
    }
}

TEST_F(CanvasTest, IconsKeepTheirSizeAndPixelsThroughAStream)
{
    struct Case { int w, h; };
    const Case cases[] = {{16, 16}, {256, 256}, {5, 300}, {300, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        TBitmap src(c.w, c.h);
        src.Canvas()->SetPixels(c.w - 1, c.h - 1, clBlue);
        TIcon icon;
        icon.Assign(&src);
        TMemoryStream m;
        icon.SaveToStream(&m);
        m.SetPosition(0);
        TIcon back;
        back.LoadFromStream(&m);
        ASSERT_EQ(back.Width(), c.w);
        ASSERT_EQ(back.Height(), c.h);
        TBitmap pixels;
        pixels.Assign(&back);
        EXPECT_EQ(pixels.Canvas()->Pixels(c.w - 1, c.h - 1), clBlue);
        EXPECT_EQ(pixels.Canvas()->Pixels(0, 0), clWhite);
    }
}

TEST_F(CanvasTest, TransparentDrawSkipsTheTransparentColour)
{
    TBitmap glyph(2, 1);
    glyph.Canvas()->SetPixels(0, 0, clBlue);
    glyph.Canvas()->SetPixels(1, 0, clFuchsia);
    glyph.SetTransparentColor(clFuchsia);
    glyph.SetTransparent(true);
    TBitmap dst(2, 1);
    dst.Canvas()->Brush()->SetColor(clGreen);
    dst.Canvas()->FillRect(Rect(0, 0, 2, 1));
    dst.Canvas()->Draw(0, 0, &glyph);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 0), clGreen);
    // Auto mode takes the bottom-left pixel.
    glyph.SetTransparentMode(tmAuto);
    EXPECT_EQ(glyph.TransparentColor(), clBlue);
}

TEST_F(CanvasTest, PictureLoadsByExtensionAndRefusesUnknownOnes)
{
    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.Bitmap()->SetSize(3, 3);
    EXPECT_GT(changes, 0);
    std::string file = std::string(QZ_BINARY_DIR) + "/gui_picture_test.bmp";
    p.SaveToFile(file);
    TPicture q;
    q.LoadFromFile(file);
    ASSERT_NE(DynamicCast<TBitmap>(q.Graphic()), nullptr);
    EXPECT_EQ(q.Width(), 3);
    EXPECT_THROW(q.LoadFromFile("x.unknownext"), EInvalidGraphic);
    EXPECT_EQ(q.Width(), 3);
    EXPECT_NE(GraphicFilter(TBitmap::StaticClass()).find("*.bmp"), std::string::npos);
    EXPECT_EQ(GraphicExtension(TBitmap::StaticClass()), "bmp");
}

TEST_F(CanvasTest, DrawEdgeAndFrameControlPaintInsideTheRectangle)
{
    TRecordingCanvas rc(30, 30);
    TRect r = Rect(0, 0, 20, 20);
    DrawEdge(rc.Handle(), r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, Rect(2, 2, 18, 18));
    EXPECT_EQ(TColorRef(rc.Pixels(0, 0)), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(TColorRef(rc.Pixels(19, 19)), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(TColorRef(rc.Pixels(1, 1)), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(rc.Pixels(25, 25), clWhite);
    DrawFrameControl(rc.Handle(), Rect(0, 0, 16, 16), DFC_SCROLL, DFCS_SCROLLDOWN);
    // An arrow in button text colour in the middle of a button face.
    bool arrow = false;
    for (int x = 4; x < 12; ++x)
        for (int y = 4; y < 12; ++y)
            if (TColorRef(rc.Pixels(x, y)) == GetSysColor(COLOR_BTNTEXT)) arrow = true;
    EXPECT_TRUE(arrow);
    EXPECT_EQ(rc.CountOf("DrawFrameControl"), 1);
}

} // namespace
namespace {
TEST(CanvasLines, DiagonalAndVerticalLinesStopBeforeTheEnd)
{
    GuiTest::Init();
    struct Case { TPoint a, b, lastDrawn, notDrawn; };
    const Case cases[] = {
        {Point(1, 1), Point(1, 6), Point(1, 5), Point(1, 6)},
        {Point(6, 1), Point(1, 1), Point(2, 1), Point(1, 1)},
        {Point(0, 0), Point(5, 5), Point(4, 4), Point(5, 5)},
    };
    for (const Case& c : cases) {
        TBitmap b(8, 8);
        b.Canvas()->Pen()->SetColor(clBlack);
        b.Canvas()->MoveTo(c.a.X, c.a.Y);
        b.Canvas()->LineTo(c.b.X, c.b.Y);
        EXPECT_EQ(b.Canvas()->Pixels(c.a.X, c.a.Y), clBlack);
        EXPECT_EQ(b.Canvas()->Pixels(c.lastDrawn.X, c.lastDrawn.Y), clBlack);
        EXPECT_EQ(b.Canvas()->Pixels(c.notDrawn.X, c.notDrawn.Y), clWhite);
    }
}
}
namespace {
TEST(CanvasText, TabsExtentsAndRotation)
{
    GuiTest::Init();
    TBitmap b(200, 200);
    TCanvas* c = b.Canvas();
    HDC dc = c->Handle();
    c->TextExtent("x");   // the font is in the context
    int stops[] = {50, 120};
    DWORD e = GetTabbedTextExtent(dc, "a\tb\tc", 2, stops);
    EXPECT_EQ(LOWORD(e), 120 + c->TextWidth("c"));
    int one[] = {40};
    e = GetTabbedTextExtent(dc, "\t\tz", 1, one);
    EXPECT_EQ(LOWORD(e), 80 + c->TextWidth("z"));
    int fit = 0;
    int dx[8];
    TSize sz;
    GetTextExtentExPoint(dc, "abcd", c->TextWidth("ab"), &fit, dx, &sz);
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(dx[3], c->TextWidth("abcd"));
    EXPECT_EQ(sz.cx, c->TextWidth("abcd"));
    // Text turned 90 degrees runs upwards from its starting point.
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetOrientation(900);
    c->Font()->SetColor(clBlack);
    c->TextOut(100, 150, "WWWW");
    bool above = false, right = false;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (c->Pixels(x, y) != clWhite) {
                if (y < 140) above = true;
                if (x > 130) right = true;
            }
    EXPECT_TRUE(above);
    EXPECT_FALSE(right);
}
}
namespace {
TEST(BitmapFormats, MonochromeRowsHoldOneBitPerPixelMostSignificantFirst)
{
    GuiTest::Init();
    TBitmap b(10, 2);
    b.Canvas()->Brush()->SetColor(clBlack);
    b.Canvas()->FillRect(Rect(0, 0, 10, 2));
    b.Canvas()->SetPixels(0, 0, clWhite);
    b.Canvas()->SetPixels(9, 1, clWhite);
    b.SetPixelFormat(pf1bit);
    EXPECT_TRUE(b.Monochrome());
    const uint8_t* r0 = b.ScanLine(0);
    EXPECT_EQ(r0[0], 0x80);   // white is a set bit, the first pixel the top bit
    EXPECT_EQ(r0[1] & 0xC0, 0x00);
    const uint8_t* r1 = b.ScanLine(1);
    EXPECT_EQ(r1[1] & 0xC0, 0x40);
    // Drawing on it works, and its rows keep their one-bit layout.
    b.Canvas()->SetPixels(1, 0, clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clWhite);
    EXPECT_EQ(b.ScanLine(0)[0], 0xC0);
    EXPECT_EQ(b.BytesPerLine(), 4);
    b.SetPixelFormat(pf8bit);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(5, 0), clBlack);
}
}
