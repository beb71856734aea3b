#include "cxEditTextUtils.h"
#include "cxGraphics.h"
#include "cxRegExpr.h"

#include <gtest/gtest.h>

using namespace cxEditTextUtils;

namespace {

// A fixed font: 8 pixels a character (16 for Chinese), tabs every 64
// pixels, 16 pixels high with 2 pixels of external leading. Records what
// is drawn.
class TFakeTextDevice : public TcxTextDevice {
public:
    struct Op {
        int X, Y;
        std::string Text;
        bool Clipped;
        TRect Clip;
        TColor Color;
    };
    std::vector<Op> Ops;
    std::vector<std::pair<TRect, TColor>> Fills;

    TTextMetric Metrics() override
    {
        TTextMetric tm;
        tm.tmHeight = 16;
        tm.tmExternalLeading = 2;
        tm.tmMaxCharWidth = 16;
        tm.tmBreakChar = u' ';
        return tm;
    }
    int Width(std::u32string_view AText, bool ATabs) override
    {
        int w = 0;
        for (char32_t c : AText) {
            if (c == '\t' && ATabs) w = (w / 64 + 1) * 64;
            else w += c >= 0x2E80 ? 16 : 8;
        }
        return w;
    }
    void Draw(int X, int Y, std::u32string_view AText, bool, const TRect* AClip, TColor AColor) override
    {
        Ops.push_back({X, Y, cxRegExpr::ToUtf8(std::u32string(AText)), AClip != nullptr,
                       AClip ? *AClip : TRect{}, AColor});
    }
    void Fill(const TRect& ARect, TColor AColor) override { Fills.emplace_back(ARect, AColor); }
    TColor TextColor() override { return clBlack; }
};

struct Rows {
    std::vector<std::string> Texts;
    TcxTextRows Data;
    bool Fits = true;
};

Rows Layout(const std::string& AText, int AWidth, int AHeight, int AFlags, int AMaxLines = 0,
            bool ACharBreak = false)
{
    TFakeTextDevice d;
    TcxTextLayoutParams p;
    PrepareTextParams(d, AFlags, p);
    p.CharBreak = ACharBreak;   // independent of the system locale here
    std::u32string t = cxRegExpr::ToU32(AText);
    Rows r;
    int count = 0;
    TRect rect{0, 0, AWidth, AHeight};
    r.Fits = MakeTextRows(d, t, rect, AMaxLines, count, r.Data, p);
    LayoutTextRows(rect, p, count, r.Data);
    for (auto& row : r.Data)
        r.Texts.push_back(cxRegExpr::ToUtf8(t.substr(size_t(row.Start), size_t(row.Length))));
    return r;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(EditTextLayout, BreaksRows)
{
    struct Case {
        const char* Text;
        int Width;
        int Flags;
        bool CharBreak;
        Strings Rows;
    };
    const Case cases[] = {
        {"abc def ghi", 60, cxWordBreak, false, {"abc def ", "ghi"}},
        {"abc def ghi", 56, cxWordBreak, false, {"abc def ", "ghi"}},   // equal to the width fits
        {"abcdefghij", 40, cxWordBreak, false, {"abcdefghij"}},
        {"abcdefghij", 40, cxWordBreak, true, {"abcde", "fghij"}},
        {"ab\r\ncd\nef", 200, 0, false, {"ab", "cd", "ef"}},
        {"ab\r\n\r\ncd", 200, 0, false, {"ab", "", "cd"}},
        {"ab\r\ncd", 200, cxSingleLine, false, {"ab\r\ncd"}},
        {"驾校管理系统", 48, cxWordBreak, true, {"驾校管", "理系统"}},
        // Justify modes take the trailing breaks off the row.
        {"abc def ghi", 60, cxAlignJustify, false, {"abc def", "ghi"}},
    };
    for (const Case& c : cases) {
        Rows r = Layout(c.Text, c.Width, 1000, c.Flags, 0, c.CharBreak);
        EXPECT_EQ(r.Texts, c.Rows) << c.Text;
    }
}

TEST(EditTextLayout, JustifyLeavesTheParagraphsLastRowInModeThree)
{
    Rows r3 = Layout("aa bb cc\r\ndd ee", 48, 1000, cxAlignJustify);
    ASSERT_EQ(r3.Texts, (Strings{"aa bb", "cc", "dd ee"}));
    EXPECT_EQ(r3.Data[0].BreakCount, 1);
    EXPECT_EQ(r3.Data[1].BreakCount, 0);
    EXPECT_EQ(r3.Data[2].BreakCount, 0);
    Rows r4 = Layout("aa bb cc\r\ndd ee", 48, 1000, cxAlignJustifyAll);
    EXPECT_EQ(r4.Data[2].BreakCount, 1);

    // Drawn: the spare width goes to the break, the text lands flush right.
    TFakeTextDevice d;
    TRect rect{0, 0, 80, 100};
    DrawText(d, "aa bb\r\ncc", rect, 0, 0, 0, clNone, clNone, 0, 0, cxAlignJustifyAll);
    ASSERT_GE(d.Ops.size(), 2u);
    EXPECT_EQ(d.Ops[0].Text, "aa");
    EXPECT_EQ(d.Ops[1].Text, "bb");
    EXPECT_EQ(d.Ops[1].X, 80 - 16);
}

TEST(EditTextLayout, PositionsRows)
{
    // Centre and right, vertical centre and bottom, with the 18-pixel pitch.
    Rows c = Layout("ab\ncdef", 100, 100, cxAlignHCenter | cxAlignVCenter | cxExternalLeading);
    EXPECT_EQ(c.Data[0].Left, (100 - 16) / 2);
    EXPECT_EQ(c.Data[1].Left, (100 - 32) / 2);
    EXPECT_EQ(c.Data[0].Top, (100 - 2 * 18) / 2);
    EXPECT_EQ(c.Data[1].Top, c.Data[0].Top + 18);
    Rows b = Layout("ab", 100, 100, cxAlignRight | cxAlignBottom);
    EXPECT_EQ(b.Data[0].Left, 100 - 16);
    EXPECT_EQ(b.Data[0].Top, 100 - 16);
    Rows s = Layout("a\nb\nc", 100, 100, cxAlignSpread);
    EXPECT_EQ(s.Data[0].Top, 0);
    EXPECT_EQ(s.Data[1].Top, 42);   // (100 - 16) / 2 = 42 each
    EXPECT_EQ(s.Data[2].Top, 84);
    Rows o = Layout("abcdefghijkl", 40, 10, cxAlignRight | cxAlignBottom | cxDontStartLeftOut |
                                                cxDontStartAboveTop);
    EXPECT_EQ(o.Data[0].Left, 0);
    EXPECT_EQ(o.Data[0].Top, 0);
}

TEST(EditTextLayout, LineLimitAndEllipsis)
{
    Rows r = Layout("aaa bbb ccc ddd eee", 32, 1000, cxWordBreak | cxShowEndEllipsis, 3);
    EXPECT_EQ(r.Texts.size(), 3u);
    EXPECT_FALSE(r.Fits);
    Rows all = Layout("aaa bbb", 32, 1000, cxWordBreak, 3);
    EXPECT_TRUE(all.Fits);

    // The third row shows what fits before "..." when text remains.
    TFakeTextDevice d;
    TRect rect{0, 0, 48, 1000};
    DrawText(d, "aaaa bbbb cccc dddd", rect, 0, 0, 3, clNone, clNone, 0, 0,
             cxWordBreak | cxShowEndEllipsis | cxShowCharCutEllipsis);
    ASSERT_EQ(d.Ops.size(), 4u);
    EXPECT_EQ(d.Ops[2].Text, "ccc");
    EXPECT_EQ(d.Ops[3].Text, "...");
    EXPECT_EQ(d.Ops[3].X, 24);

    // Top mode drawing stops at the rectangle's height.
    Rows h = Layout("a\nb\nc\nd", 100, 40, 0);
    EXPECT_EQ(h.Texts.size(), 3u);
}

// A grid paints every cell's text each frame, and measuring runs the font's
// shaping: a single-line text is measured whole, character by character only
// when it overflows and the cut has to be found.
TEST(EditTextLayout, ASingleLineTextIsMeasuredByCharacterOnlyWhenItOverflows)
{
    struct TCountingDevice : TFakeTextDevice {
        int Measures = 0;
        int Width(std::u32string_view AText, bool ATabs) override
        {
            ++Measures;
            return TFakeTextDevice::Width(AText, ATabs);
        }
    };
    const std::string text = "31010000000000000001 驾校管理系统";
    const int flags = cxSingleLine | cxShowEndEllipsis | cxAlignVCenter;
    TCountingDevice fits;
    TRect wide{0, 0, 400, 20};
    DrawText(fits, text, wide, 0, 0, 0, clNone, clNone, 0, 0, flags);
    ASSERT_EQ(fits.Ops.size(), 1u);
    EXPECT_EQ(fits.Ops[0].Text, text);
    EXPECT_LE(fits.Measures, 3) << "the ellipsis and the text, each once";

    TCountingDevice cut;
    TRect narrow{0, 0, 100, 20};
    DrawText(cut, text, narrow, 0, 0, 0, clNone, clNone, 0, 0, flags);
    ASSERT_EQ(cut.Ops.size(), 2u);
    EXPECT_EQ(cut.Ops[0].Text, "310100000");
    EXPECT_EQ(cut.Ops[1].Text, "...");
    EXPECT_GT(cut.Measures, 10);
}

TEST(EditTextLayout, SelectionSpanningTwoRows)
{
    TFakeTextDevice d;
    TRect rect{0, 0, 100, 100};
    DrawText(d, "abcd\nefgh", rect, 0, 0, 0, clHighlight, clHighlightText, 4, 2, 0);
    // The end of the first row and the start of the second.
    ASSERT_EQ(d.Fills.size(), 2u);
    EXPECT_EQ(d.Fills[0].first, (TRect{16, 0, 32, 16}));
    EXPECT_EQ(d.Fills[1].first, (TRect{0, 16, 8, 32}));
    int highlighted = 0;
    for (auto& op : d.Ops)
        if (op.Color == clHighlightText) ++highlighted;
    EXPECT_EQ(highlighted, 2);
}

TEST(EditTextLayout, MeasuresAndCountsRows)
{
    TFakeTextDevice d;
    TRect r{0, 0, 1000, 0};
    EXPECT_EQ(DrawText(d, "abc", r, 0, 0, 0, clNone, clNone, 0, 0, cxSingleLine | cxCalcRect), 16);
    EXPECT_EQ(r, (TRect{0, 0, 24, 16}));
    EXPECT_TRUE(d.Ops.empty());
    TRect m{0, 0, 40, 0};
    EXPECT_EQ(DrawText(d, "aaa bbb ccc", m, 2, 2, 0, clNone, clNone, 0, 0,
                       cxWordBreak | cxCalcRect | cxReturnRowCount), 3);
    EXPECT_EQ(m, (TRect{0, 0, 2 + 32 + 2, 48}));
    TRect e{0, 0, 100, 100};
    EXPECT_EQ(DrawText(d, "", e, 0, 0, 0, clNone, clNone, 0, 0, 0), 0);
    TRect tabs{0, 0, 1000, 100};
    TcxTextLayoutParams p;
    PrepareTextParams(d, cxExpandTabs, p);
    TcxTextRows rows;
    int count;
    MakeTextRows(d, U"a\tb", tabs, 0, count, rows, p);
    EXPECT_EQ(rows[0].Width, 72);
}

TEST(EditTextLayout, FlagConversions)
{
    EXPECT_EQ(CanvasTextFlagsToTextFlags(ctfRight | ctfCenterV | ctfSingleLine), 0x2 | 0x10 | 0x200);
    EXPECT_EQ(CanvasTextFlagsToTextFlags(ctfCenterH | ctfBottom), 0x1 | 0x20);
    EXPECT_EQ(TextFlagsToCanvasTextFlags(0x1 | 0x20 | 0x200), ctfCenterH | ctfBottom | ctfSingleLine);
    EXPECT_EQ(TextFlagsToCanvasTextFlags(0), ctfLeft | ctfTop);
}
