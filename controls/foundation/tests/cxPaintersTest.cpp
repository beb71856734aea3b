#include "GuiTesting.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxResources.h"
#include "cxWinXPPainters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

class PainterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GuiTest::Init();
        cxLookAndFeels::Initialize();
        cxLookAndFeelPainters::Initialize();
        Surface.Canvas()->Brush()->SetColor(clWhite);
        Surface.Canvas()->FillRect({0, 0, 120, 80});
    }
    TBitmap Surface{120, 80};
    TcxCanvas C{Surface.Canvas()};
    TColorRef Px(int x, int y) { return ColorToRGB(Surface.Canvas()->Pixels(x, y)); }
    static TcxCustomLookAndFeelPainterClass Standard() { return TcxStandardLookAndFeelPainter::Instance(); }
    static TcxCustomLookAndFeelPainterClass Flat() { return TcxFlatLookAndFeelPainter::Instance(); }
    static TcxCustomLookAndFeelPainterClass UltraFlat() { return TcxUltraFlatLookAndFeelPainter::Instance(); }
    static TcxCustomLookAndFeelPainterClass Themed() { return TcxWinXPLookAndFeelPainter::Instance(); }
    // The pixels of colour c inside r.
    std::vector<TPoint> PixelsOf(TColor c, TRect r)
    {
        std::vector<TPoint> v;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (Px(x, y) == ColorToRGB(c)) v.push_back({x, y});
        return v;
    }
};

TEST_F(PainterTest, ArrowGeometry)
{
    Standard()->DrawArrow(&C, {0, 0, 9, 9}, paDown, clBlack);
    const std::vector<TPoint> expected = {{2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}, {3, 4}, {4, 4}, {5, 4}, {4, 5}};
    EXPECT_EQ(PixelsOf(clBlack, {0, 0, 9, 9}), expected);

    TPoint p[3];
    cxLookAndFeelPainters::GetArrowPoints({0, 0, 9, 9}, paRight, true, p);
    EXPECT_EQ(p[0], Point(3, 2));
    EXPECT_EQ(p[1], Point(5, 4));
    EXPECT_EQ(p[2], Point(3, 6));
    // The square option narrows a wide rectangle about its centre.
    cxLookAndFeelPainters::GetArrowPoints({0, 0, 19, 9}, paUp, true, p);
    EXPECT_EQ(p[0].X, 9);
}

TEST_F(PainterTest, MetricsTables)
{
    struct Case { TcxCustomLookAndFeelPainterClass p; int kind, frame, defBtn, btn, expand, caption, shift; TPoint sort; };
    const Case cases[] = {
        {Standard(), 1, 2, 3, 2, 12, 1, 1, {8, 7}},
        {Flat(), 0, 1, 2, 1, 11, 1, 1, {8, 7}},
        {UltraFlat(), 2, 1, 2, 1, 11, 2, 0, {7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.p->ClassName());
        EXPECT_EQ(c.p->PainterKind(), c.kind);
        EXPECT_EQ(c.p->FrameWidth(), c.frame);
        EXPECT_EQ(c.p->ButtonFrameWidth(cxbsDefault), c.defBtn);
        EXPECT_EQ(c.p->ButtonFrameWidth(cxbsNormal), c.btn);
        EXPECT_EQ(c.p->ExpandBoxSize(), c.expand);
        EXPECT_EQ(c.p->ButtonCaptionOffset(), c.caption);
        EXPECT_EQ(c.p->ButtonPressedShift(), c.shift);
        EXPECT_EQ(c.p->SortMarkSize(), c.sort);
        EXPECT_EQ(c.p->HeaderHeight(13), 19);
        EXPECT_EQ(c.p->DefaultColor42(), c.p->DefaultColor28());
    }
    EXPECT_EQ(UltraFlat()->FilterCloseButtonSize(), Point(16, 15));
    EXPECT_EQ(UltraFlat()->ButtonSize117(), Point(12, 12));
    EXPECT_EQ(UltraFlat()->DefaultGlyphColor(), TColor(0x800000));
    EXPECT_TRUE(UltraFlat()->FooterSides() == (TcxBorders{bRight, bBottom}));
    EXPECT_EQ(TcxCustomLookAndFeelPainter::Instance()->HeaderHeight(13), 17);
}

TEST_F(PainterTest, HeaderBoundsAndWidth)
{
    const int tw = C.TextWidth("学员");
    EXPECT_EQ(Standard()->HeaderWidth(&C, cxBordersAll, "学员", nullptr), tw + 4);
    EXPECT_EQ(Standard()->HeaderWidth(&C, TcxBorders{bLeft}, "学员", nullptr), tw + 5);
    EXPECT_EQ(Standard()->HeaderContentBounds({0, 0, 50, 20}, TcxBorders{bLeft, bBottom}), Rect(1, 0, 50, 19));
    // Ultra-flat: a left neighbour takes the left side, so the bounds grow there.
    EXPECT_EQ(UltraFlat()->HeaderBounds({10, 0, 50, 20}, TcxNeighbors{nLeft}, cxBordersAll), Rect(9, 0, 50, 20));
    EXPECT_EQ(Standard()->HeaderBounds({10, 0, 50, 20}, TcxNeighbors{nLeft}, cxBordersAll), Rect(10, 0, 50, 20));
}

TEST_F(PainterTest, UltraFlatHeadersShareOneLine)
{
    UltraFlat()->DrawHeaderFrame(&C, {0, 0, 20, 10}, TcxNeighbors{nRight}, cxBordersAll);
    UltraFlat()->DrawHeaderFrame(&C, {19, 0, 40, 10}, TcxNeighbors{nLeft},
                                 UltraFlat()->HeaderSides(TcxNeighbors{nLeft}));
    // The joint column is one line; the right header left no line of its own.
    EXPECT_EQ(Px(19, 5), ColorToRGB(clBtnText));
    EXPECT_EQ(Px(20, 5), ColorToRGB(clWhite));
    EXPECT_EQ(Px(0, 5), ColorToRGB(clBtnText));
}

TEST_F(PainterTest, StandardHeaderJointsOnlyWhereNeighbours)
{
    Standard()->DrawHeaderFrame(&C, {0, 0, 20, 10}, TcxNeighbors{}, cxBordersAll);
    EXPECT_EQ(Px(0, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(19, 1), ColorToRGB(clBtnShadow));
    Standard()->DrawHeaderFrame(&C, {30, 0, 50, 10}, TcxNeighbors{nLeft, nRight}, cxBordersAll);
    EXPECT_EQ(Px(30, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(Px(30, 8), ColorToRGB(clBtnFace));
    EXPECT_EQ(Px(49, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(49, 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(Px(30, 4), ColorToRGB(clBtnHighlight));   // the rest of the edge stays
}

TEST_F(PainterTest, DefaultButtonFrames)
{
    Standard()->DrawButtonFrame(&C, {0, 0, 20, 20}, cxbsDefault);
    EXPECT_EQ(Px(0, 10), RGB(0, 0, 0));
    EXPECT_EQ(Px(1, 10), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(2, 10), ColorToRGB(cl3DLight));
    EXPECT_EQ(Px(3, 10), ColorToRGB(clWhite));   // three pixels, then the inside
    Flat()->DrawButtonFrame(&C, {30, 0, 50, 20}, cxbsDefault);
    EXPECT_EQ(Px(30, 10), RGB(0, 0, 0));
    EXPECT_EQ(Px(31, 10), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(32, 10), ColorToRGB(clWhite));
    UltraFlat()->DrawButtonFrame(&C, {60, 0, 80, 20}, cxbsDefault);
    EXPECT_EQ(Px(60, 10), ColorToRGB(clWindowFrame));
    EXPECT_EQ(Px(61, 10), ColorToRGB(clWindowFrame));
    EXPECT_EQ(Px(62, 10), ColorToRGB(clWhite));
}

TEST_F(PainterTest, PaintButtonTextRectangleAdjustment)
{
    TRecordingCanvas rec(100, 100);
    TcxCanvas c(&rec);
    // 21 high with a 2-pixel frame: 17 inside, so the bottom drops by 1 and
    // then the top rises by 1.
    Standard()->PaintButton(&c, {0, 0, 40, 21}, "确定", cxbsNormal);
    const TCanvasOp* text = rec.Find("DrawText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Rect, Rect(2, 1, 38, 18));
    rec.Clear();
    Standard()->PaintButton(&c, {0, 0, 40, 21}, "确定", cxbsPressed);
    text = rec.Find("DrawText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Rect, Rect(3, 2, 39, 19));   // the pressed shift of the standard look
    EXPECT_FALSE(text->Flags & DT_NOPREFIX);
}

TEST_F(PainterTest, UltraFlatButtonFacesBlend)
{
    EXPECT_EQ(UltraFlat()->ButtonFaceColor(cxbsHot), cxGraphics::LightHotColor());
    EXPECT_EQ(UltraFlat()->ButtonFaceColor(cxbsPressed), cxGraphics::LightPressedColor());
    EXPECT_EQ(UltraFlat()->ButtonFaceColor(cxbsNormal), clBtnFace);
    EXPECT_EQ(UltraFlat()->ButtonGlyphColor(cxbsPressed), clHighlightText);
    EXPECT_EQ(UltraFlat()->ButtonGlyphState(cxbsPressed), cxbsNormal);
    EXPECT_EQ(UltraFlat()->ButtonGroupFrameWidths(3, 0), Rect(2, 2, 1, 2));
    EXPECT_EQ(UltraFlat()->ButtonGroupFrameWidths(3, 2), Rect(1, 2, 2, 2));
    EXPECT_EQ(UltraFlat()->ButtonGroupFrameWidths(1, 0), Rect(2, 2, 1, 2));
}

TEST_F(PainterTest, ScrollBarParts)
{
    for (auto p : {Standard(), Flat(), UltraFlat()}) {
        SCOPED_TRACE(p->ClassName());
        TRecordingCanvas rec(100, 100);
        TcxCanvas c(&rec);
        p->DrawScrollBarPart(&c, false, {0, 0, 16, 30}, sbpThumbnail, cxbsDisabled);
        EXPECT_TRUE(rec.Ops().empty());
        p->DrawScrollBarPart(&c, false, {0, 0, 0, 30}, sbpLineUp, cxbsNormal);
        EXPECT_TRUE(rec.Ops().empty());
    }
    Standard()->DrawScrollBarPart(&C, false, {0, 0, 16, 16}, sbpPageDown, cxbsPressed);
    Standard()->DrawScrollBarPart(&C, false, {16, 0, 32, 16}, sbpPageDown, cxbsNormal);
    // Dark pattern: 3-D dark shadow where x and y differ in parity, else black.
    EXPECT_EQ(Px(1, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(Px(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(Px(17, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Px(16, 0), ColorToRGB(clBtnFace));
    // The pattern is anchored at the origin: a fill elsewhere continues it.
    Standard()->DrawScrollBarPart(&C, false, {35, 3, 43, 11}, sbpPageUp, cxbsNormal);
    EXPECT_EQ(Px(35, 3), (35 % 2 != 3 % 2) ? ColorToRGB(clBtnHighlight) : ColorToRGB(clBtnFace));
}

TEST_F(PainterTest, ScrollArrowsPointTheRightWay)
{
    UltraFlat()->DrawScrollBarPart(&C, false, {0, 0, 17, 17}, sbpLineUp, cxbsNormal);
    // The apex row of an up arrow has one glyph pixel.
    std::vector<TPoint> glyph = PixelsOf(clBtnText, {2, 2, 15, 15});
    ASSERT_FALSE(glyph.empty());
    int top = glyph.front().Y;
    int topCount = 0, bottomCount = 0, bottom = glyph.back().Y;
    for (auto& p : glyph) {
        if (p.Y == top) ++topCount;
        if (p.Y == bottom) ++bottomCount;
    }
    EXPECT_EQ(topCount, 1);
    EXPECT_GT(bottomCount, 1);
}

TEST_F(PainterTest, FilterGlyphTurnsBlueWhenActive)
{
    int x = 0;
    for (auto p : {Standard(), Flat(), UltraFlat()}) {
        SCOPED_TRACE(p->ClassName());
        p->DrawFilterDropDownButton(&C, {x, 0, x + 15, 18}, cxbsNormal, true);
        EXPECT_FALSE(PixelsOf(TColor(0xFF0000), {x, 0, x + 15, 18}).empty());
        p->DrawFilterDropDownButton(&C, {x, 20, x + 15, 38}, cxbsNormal, false);
        EXPECT_TRUE(PixelsOf(TColor(0xFF0000), {x, 20, x + 15, 38}).empty());
        x += 20;
    }
}

TEST_F(PainterTest, CheckMarkSortMarkAndPlusMinus)
{
    Flat()->DrawCheckMark(&C, {0, 0, 13, 13}, cxbsNormal, true, clBlack);
    EXPECT_FALSE(PixelsOf(clBlack, {0, 0, 13, 13}).empty());
    Flat()->DrawCheckMark(&C, {20, 0, 33, 13}, cxbsNormal, false, clBlack);
    EXPECT_TRUE(PixelsOf(clBlack, {20, 0, 33, 13}).empty());
    EXPECT_EQ(Px(25, 5), ColorToRGB(clWindow));

    // Ascending: the apex is on top (one pixel in the top row of the mark).
    UltraFlat()->DrawSortMark(&C, {40, 0, 56, 16}, true);
    std::vector<TPoint> up = PixelsOf(clBtnShadow, {40, 0, 56, 16});
    ASSERT_FALSE(up.empty());
    int topRow = up.front().Y, count = 0;
    for (auto& p : up) count += p.Y == topRow;
    EXPECT_EQ(count, 1);
    UltraFlat()->DrawSortMark(&C, {60, 0, 76, 16}, false);
    std::vector<TPoint> down = PixelsOf(clBtnShadow, {60, 0, 76, 16});
    ASSERT_FALSE(down.empty());
    int bottomRow = down.back().Y;
    count = 0;
    for (auto& p : down) count += p.Y == bottomRow;
    EXPECT_EQ(count, 1);

    cxLookAndFeelPainters::DrawPlusMinus(&C, {80, 0, 91, 11}, false, clBlack);
    EXPECT_EQ(Px(85, 2), RGB(0, 0, 0));   // the vertical bar of the plus
    cxLookAndFeelPainters::DrawPlusMinus(&C, {100, 0, 111, 11}, true, clBlack);
    EXPECT_EQ(Px(105, 2), RGB(255, 255, 255));
    EXPECT_EQ(Px(103, 5), RGB(0, 0, 0));
}

TEST_F(PainterTest, RadioImagesAndTheirRebuild)
{
    EXPECT_EQ(cxLookAndFeelPainters::RadioImageIndex(true, false, 2, true, cxbsPressed), 48 + 16 + 4 + 2);
    EXPECT_EQ(cxLookAndFeelPainters::RadioImageIndex(false, true, 0, false, cxbsDisabled), 24 + 3);
    EXPECT_EQ(cxLookAndFeelPainters::RadioImageIndex(false, false, 1, false, cxbsDefault), 8);

    Standard()->DrawRadioButton(&C, 0, 0, cxbsNormal, true, false, clDefault);
    EXPECT_EQ(cxLookAndFeelPainters::RadioImageCount(), 96);
    EXPECT_EQ(Px(0, 0), RGB(255, 255, 255));   // masked corner
    EXPECT_EQ(Px(6, 6), ColorToRGB(clBtnText));   // the dot
    Standard()->DrawRadioButton(&C, 20, 0, cxbsNormal, false, false, clRed);
    EXPECT_EQ(Px(20, 0), RGB(255, 0, 0));   // the square takes the background
    EXPECT_EQ(Px(26, 6), ColorToRGB(clWindow));

    // A colour change drops the images; the next drawing uses the new scheme.
    std::vector<TColorRef> defaults;
    for (int i = 0; i <= COLOR_ENDCOLORS; ++i) defaults.push_back(GetSysColor(i));
    SetSysColorProvider([defaults](int i) -> TColorRef {
        if (i == COLOR_BTNTEXT) return RGB(0, 128, 0);
        return i >= 0 && i < int(defaults.size()) ? defaults[size_t(i)] : 0;
    });
    ASSERT_NE(cxLookAndFeels::SystemPaletteChangedListener(), nullptr);
    SendMessage(cxLookAndFeels::SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(cxLookAndFeelPainters::RadioImageCount(), 0);
    Standard()->DrawRadioButton(&C, 40, 0, cxbsNormal, true, false, clDefault);
    EXPECT_EQ(Px(46, 6), RGB(0, 128, 0));
    SetSysColorProvider(nullptr);
    SendMessage(cxLookAndFeels::SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
}

TEST_F(PainterTest, ContentAndBackgroundHandler)
{
    TRecordingCanvas rec(100, 40);
    TcxCanvas c(&rec);
    bool asked = false;
    Flat()->DrawContent(&c, {0, 0, 100, 20}, {2, 2, 98, 18}, taRightJustify, vaCenter, false, true, "合计", nullptr,
                        clRed, clYellow, [&](TcxCanvas*, const TRect& r) {
                            asked = true;
                            return true;
                        });
    EXPECT_TRUE(asked);
    EXPECT_EQ(rec.CountOf("FillRect"), 0);   // the handler painted the background
    const TCanvasOp* t = rec.Find("DrawText");
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->Flags & DT_END_ELLIPSIS);
    EXPECT_EQ(rec.Brush()->Style(), bsSolid);
}

// Each element of each look, drawn on its own over a colour no look uses,
// draws something inside its bounds and nothing outside them.
TEST_F(PainterTest, EachElementDrawsInsideItsBoundsInEveryLook)
{
    using Draw = std::function<void(TcxCustomLookAndFeelPainterClass, TcxCanvas*, const TRect&)>;
    struct Element { const char* name; int w, h; Draw draw; };
    TFont font;
    const Element elements[] = {
        {"button", 60, 22, [](auto p, auto c, auto& r) { p->PaintButton(c, r, "按钮", cxbsNormal); }},
        {"pressed button", 60, 22, [](auto p, auto c, auto& r) { p->PaintButton(c, r, "按钮", cxbsPressed); }},
        {"check box", 13, 13, [](auto p, auto c, auto& r) { p->DrawCheckBox(c, r, cxbsNormal, true); }},
        {"line up", 17, 17, [](auto p, auto c, auto& r) { p->DrawScrollBarPart(c, false, r, sbpLineUp, cxbsNormal); }},
        {"thumb", 17, 23, [](auto p, auto c, auto& r) { p->DrawScrollBarPart(c, false, r, sbpThumbnail, cxbsNormal); }},
        {"page down", 17, 20, [](auto p, auto c, auto& r) { p->DrawScrollBarPart(c, false, r, sbpPageDown, cxbsNormal); }},
        {"filter button", 15, 18, [](auto p, auto c, auto& r) { p->DrawFilterDropDownButton(c, r, cxbsNormal, true); }},
        {"filter close", 16, 14, [](auto p, auto c, auto& r) { p->DrawFilterCloseButton(c, r, cxbsNormal); }},
        {"cross glyph", 16, 14, [](auto p, auto c, auto& r) { p->DrawCrossGlyphButton(c, r, cxbsNormal); }},
        {"chevron", 15, 15, [](auto p, auto c, auto& r) { p->DrawGroupChevronButton(c, r, false, cxbsNormal); }},
        {"header", 80, 20, [&font](auto p, auto c, auto& r) {
             p->DrawHeader(c, r, TRect{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2}, TcxNeighbors{}, cxBordersAll,
                           cxbsNormal, taLeftJustify, vaCenter, false, true, "姓名", &font, clBtnText, p->HeaderColor());
         }},
        {"sort mark", 12, 16, [](auto p, auto c, auto& r) { p->DrawSortMark(c, r, true); }},
        {"footer cell", 80, 20, [&font](auto p, auto c, auto& r) {
             p->DrawFooterCell(c, r, taRightJustify, vaCenter, false, "12.50", &font, clBtnText, p->FooterColor());
         }},
        {"footer frame", 80, 20, [](auto p, auto c, auto& r) { p->DrawFooterFrame(c, r); }},
        {"indicator", 12, 20, [](auto p, auto c, auto& r) { p->DrawIndicatorCell(c, r, ikArrow, p->HeaderColor()); }},
        {"expand box", 12, 12, [](auto p, auto c, auto& r) { p->DrawExpandBox(c, r, false); }},
        {"frame", 50, 24, [](auto p, auto c, auto& r) { p->DrawFrame(c, r); }},
        // A tab's face is the theme's alone; every look draws its frame and area.
        {"tab frame", 2, 22, [](auto p, auto c, auto& r) { p->DrawTabFrame(c, r, bLeft, cxBordersAll, false); }},
        {"tabs area", 60, 30, [](auto p, auto c, auto& r) { p->DrawTabsArea(c, r, cxBordersAll, false); }},
        {"arrow", 15, 15, [](auto p, auto c, auto& r) { p->DrawArrow(c, r, paRight, clBtnText); }},
        {"scroll arrow", 17, 17, [](auto p, auto c, auto& r) { p->DrawScrollArrow(c, r, cxbsNormal, paDown); }},
        {"grouped button", 28, 20, [](auto p, auto c, auto& r) { p->PaintGroupedButton(c, r, cxbsHot, 2, 0, clBtnShadow); }},
    };
    const TColor none = TColor(RGB(1, 2, 3));
    struct Look { const char* name; TcxCustomLookAndFeelPainterClass p; };
    const Look looks[] = {{"standard", Standard()}, {"flat", Flat()}, {"ultraflat", UltraFlat()}, {"themed", Themed()}};
    for (const Look& look : looks) {
        for (const Element& e : elements) {
            SCOPED_TRACE(std::string(look.name) + " " + e.name);
            TBitmap bmp(e.w + 20, e.h + 20);
            bmp.Canvas()->Brush()->SetColor(none);
            bmp.Canvas()->FillRect({0, 0, e.w + 20, e.h + 20});
            TcxCanvas c(bmp.Canvas());
            const TRect r{10, 10, 10 + e.w, 10 + e.h};
            e.draw(look.p, &c, r);
            int inside = 0, outside = 0;
            for (int y = 0; y < e.h + 20; ++y)
                for (int x = 0; x < e.w + 20; ++x) {
                    if (ColorToRGB(bmp.Canvas()->Pixels(x, y)) == ColorToRGB(none)) continue;
                    (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom ? inside : outside)++;
                }
            EXPECT_GT(inside, 0) << "draws nothing";
            EXPECT_EQ(outside, 0) << "draws outside its bounds";
        }
    }
}

// Every element of every look side by side; the picture goes to a PNG for a
// person to look at.
TEST_F(PainterTest, EveryElementInTheFourLooksAndPictures)
{
    struct Look { const char* name; TcxCustomLookAndFeelPainterClass p; };
    const Look looks[] = {{"standard", Standard()}, {"flat", Flat()}, {"ultraflat", UltraFlat()}, {"themed", Themed()}};
    const std::filesystem::path dir = std::filesystem::path(QZ_BINARY_DIR) / "foundation-looks";
    std::filesystem::create_directories(dir);
    for (const Look& look : looks) {
        SCOPED_TRACE(look.name);
        TBitmap bmp(420, 200);
        bmp.Canvas()->Brush()->SetColor(clBtnFace);
        bmp.Canvas()->FillRect({0, 0, 420, 200});
        TcxCanvas c(bmp.Canvas());
        const auto* p = look.p;
        int x = 4;
        const TcxButtonState states[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
        for (TcxButtonState s : states) {
            p->PaintButton(&c, {x, 4, x + 60, 26}, "按钮", s);
            p->DrawCheckBox(&c, {x, 30, x + 13, 43}, s, true);
            p->DrawRadioButton(&c, x + 20, 30, s, true, false, clDefault);
            p->DrawScrollBarPart(&c, false, {x + 40, 30, x + 57, 47}, sbpLineUp, s);
            p->DrawScrollBarPart(&c, true, {x, 50, x + 17, 67}, sbpLineDown, s);
            p->DrawScrollBarPart(&c, true, {x + 17, 50, x + 40, 67}, sbpThumbnail, s);
            p->DrawScrollBarPart(&c, true, {x + 40, 50, x + 60, 67}, sbpPageDown, s);
            p->DrawFilterDropDownButton(&c, {x, 70, x + 15, 88}, s, s == cxbsHot);
            p->DrawFilterCloseButton(&c, {x + 20, 70, x + 36, 84}, s);
            p->DrawCrossGlyphButton(&c, {x + 40, 70, x + 56, 84}, s);
            p->DrawGroupChevronButton(&c, {x, 92, x + 15, 107}, s == cxbsPressed, s);
            p->DrawAutoHideButton(&c, {x + 20, 92, x + 36, 106}, s, s == cxbsHot, clBtnFace);
            x += 80;
        }
        TFont font;
        p->DrawHeader(&c, {4, 112, 84, 132}, {6, 114, 82, 130}, TcxNeighbors{nRight}, cxBordersAll, cxbsNormal,
                      taLeftJustify, vaCenter, false, true, "姓名", &font, clBtnText, p->HeaderColor());
        p->DrawHeader(&c, {84, 112, 164, 132}, {86, 114, 162, 130}, TcxNeighbors{nLeft}, p->HeaderSides({nLeft}),
                      cxbsPressed, taCenter, vaCenter, false, true, "学号", &font, clBtnText, p->HeaderColor());
        p->DrawSortMark(&c, {150, 114, 162, 130}, true);
        p->DrawHeaderWithArrows(&c, {170, 112, 260, 132}, "科目", TcxNeighbors{}, TcxStyleParams{nullptr, clBtnFace, &font, clBtnText}, haBoth, 4);
        p->DrawFooterCell(&c, {4, 136, 84, 156}, taRightJustify, vaCenter, false, "12.50", &font, clBtnText,
                          p->FooterColor());
        p->DrawFooterFrame(&c, {90, 136, 170, 156});
        p->DrawIndicatorCell(&c, {176, 136, 188, 156}, ikArrow, p->HeaderColor());
        p->DrawIndicatorCellEx(&c, {190, 136, 202, 156}, ikEdit, p->HeaderColor());
        p->DrawExpandBox(&c, {210, 136, 222, 148}, false);
        c.RestoreClipRegion();
        SelectClipRgn(c.Handle(), nullptr);
        p->DrawSmallExpandBox(&c, {230, 136, 239, 145}, true, clBtnShadow);
        p->DrawFrame(&c, {250, 136, 300, 160});
        p->DrawTabsArea(&c, {4, 165, 200, 195}, cxBordersAll, false);
        p->DrawTab(&c, {8, 168, 60, 190}, cxBordersAll, "基本", cxbsPressed, false, &font, clBtnText, p->TabColor());
        for (TcxBorder b : {bLeft, bTop, bRight})
            p->DrawTabFrame(&c, b == bLeft ? TRect{8, 168, 9, 190} : b == bTop ? TRect{8, 168, 60, 169}
                                                                               : TRect{59, 168, 60, 190},
                            b, cxBordersAll, false);
        p->DrawArrow(&c, {300, 165, 315, 180}, paRight, clBtnText);
        p->DrawScrollArrow(&c, {320, 165, 337, 182}, cxbsNormal, paDown);
        p->DrawNavigatorFrame(&c, {340, 165, 360, 185}, true, false);
        p->PaintGroupedButton(&c, {362, 165, 390, 185}, cxbsHot, 2, 0, clBtnShadow);
        p->DrawFooterSeparator(&c, {392, 165, 394, 185});
        p->DrawHeaderPressed(&c, {396, 165, 416, 185});
        // Something of the look shows in each band.
        EXPECT_NE(bmp.Canvas()->Pixels(5, 5), bmp.Canvas()->Pixels(30, 15));
        EXPECT_TRUE(GuiTest::SavePng(&bmp, (dir / (std::string(look.name) + ".png")).string()));
    }
}

TEST_F(PainterTest, ShippedBitmapsAreWholeAndSized)
{
    struct Case { const char* name; int w, h; };
    const Case cases[] = {{"CX_ARROWBITMAP", 5, 9}, {"CX_EDITBITMAP", 5, 9}, {"CX_INSERTBITMAP", 5, 9},
                          {"CX_MULTIDOTBITMAP", 5, 9}, {"CX_MULTIARROWBITMAP", 5, 9}, {"CX_AUTOHIDEON", 12, 12},
                          {"CX_AUTOHIDEOFF", 12, 12}, {"CX_FULLSCROLLBITMAP", 28, 28},
                          {"CX_VERSCROLLBITMAP", 28, 28}, {"CX_HORSCROLLBITMAP", 28, 28}};
    for (const Case& c : cases) {
        std::unique_ptr<TBitmap> b = cxResources::LoadBitmap(c.name);
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_EQ(b->Width(), c.w) << c.name;
        EXPECT_EQ(b->Height(), c.h) << c.name;
    }
    EXPECT_EQ(cxResources::LoadBitmap("CX_NOSUCH"), nullptr);
}

}  // namespace
