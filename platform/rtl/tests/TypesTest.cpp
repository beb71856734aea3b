#include "Exceptions.h"
#include "Types.h"

#include <gtest/gtest.h>

#include <set>

TEST(Types, RectangleRoutines)
{
    TRect r = Rect(10, 20, 50, 80);
    EXPECT_EQ(r.Width(), 40);
    EXPECT_EQ(r.Height(), 60);
    EXPECT_EQ(Bounds(10, 20, 40, 60), r);
    EXPECT_EQ(CenterPoint(r), Point(30, 50));
    EXPECT_EQ(CenterPoint(Rect(2000000000, 0, 2100000000, 2)), Point(2050000000, 1));

    // Right and bottom edges lie outside.
    const std::pair<TPoint, bool> hits[] = {
        {Point(10, 20), true}, {Point(49, 79), true}, {Point(50, 50), false},
        {Point(30, 80), false}, {Point(9, 50), false}, {Point(30, 19), false},
    };
    for (auto [p, in] : hits) EXPECT_EQ(PtInRect(r, p), in) << p.X << "," << p.Y;

    TRect d{1, 1, 1, 1};
    EXPECT_TRUE(IntersectRect(d, r, Rect(40, 0, 100, 30)));
    EXPECT_EQ(d, Rect(40, 20, 50, 30));
    EXPECT_FALSE(IntersectRect(d, r, Rect(50, 20, 60, 80)));   // touching edges only
    EXPECT_EQ(d, TRect{});

    EXPECT_TRUE(UnionRect(d, r, Rect(0, 0, 5, 5)));
    EXPECT_EQ(d, Rect(0, 0, 50, 80));
    EXPECT_TRUE(UnionRect(d, r, Rect(100, 100, 100, 200)));   // an empty one is ignored
    EXPECT_EQ(d, r);
    EXPECT_FALSE(UnionRect(d, TRect{}, TRect{}));

    TRect o = r;
    OffsetRect(o, -10, 5);
    EXPECT_EQ(o, Rect(0, 25, 40, 85));
    InflateRect(o, 2, -3);
    EXPECT_EQ(o, Rect(-2, 28, 42, 82));

    EXPECT_TRUE(IsRectEmpty(Rect(0, 0, 0, 10)));
    EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 4, 10)));
    EXPECT_FALSE(IsRectEmpty(Rect(0, 0, 1, 1)));
    EXPECT_TRUE(EqualRect(r, Rect(10, 20, 50, 80)));
}

TEST(Types, MulDivRoundsHalfAwayFromZero)
{
    struct Row {
        int A, B, C, R;
    };
    const Row rows[] = {
        {10, 3, 4, 8},        // 7.5
        {-10, 3, 4, -8},      // -7.5
        {10, -3, 4, -8},
        {10, 3, -4, -8},
        {-10, -3, -4, -8},
        {7, 1, 3, 2},         // 2.33
        {8, 1, 3, 3},         // 2.67
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {96, 72, 96, 72},
        {2000000000, 2, 4, 1000000000},   // the product needs 64 bits
        {1, 1, 0, -1},
        {2000000000, 2, 1, -1},           // the result does not fit
    };
    for (const auto& r : rows) EXPECT_EQ(MulDiv(r.A, r.B, r.C), r.R) << r.A << "*" << r.B << "/" << r.C;
}

TEST(Types, ColourValues)
{
    EXPECT_EQ(clBtnFace, int32_t(0xFF00000F));
    EXPECT_EQ(clWindow, int32_t(0xFF000005));
    EXPECT_EQ(clMenuBar, int32_t(0xFF00001E));
    EXPECT_EQ(clNone, 0x1FFFFFFF);
    EXPECT_EQ(clDefault, 0x20000000);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(GetRValue(0x563412), 0x12);
    EXPECT_EQ(GetGValue(0x563412), 0x34);
    EXPECT_EQ(GetBValue(0x563412), 0x56);
}

TEST(Types, SystemColoursResolveThroughTheInstalledTable)
{
    EXPECT_EQ(ColorToRGB(clRed), TColorRef(0x0000FF));
    EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    SetSysColorProvider([](int index) { return TColorRef(0x010000 * index); });
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x0F0000u);
    EXPECT_EQ(ColorToRGB(clGreen), TColorRef(clGreen));
    SetSysColorProvider(nullptr);
    EXPECT_EQ(ColorToRGB(clWindowText), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(99), 0u);
}

TEST(Types, ColourNames)
{
    std::vector<std::string> names;
    GetColorValues([&](const std::string& n) { names.push_back(n); });
    ASSERT_EQ(names.size(), 52u);
    EXPECT_EQ(names.front(), "clBlack");
    EXPECT_EQ(names.back(), "clWindowText");
    for (const auto& n : names) {
        TColor c;
        ASSERT_TRUE(IdentToColor(n, c)) << n;
        EXPECT_EQ(StringToColor(n), c);
        // Every named colour reads back under its own name.
        EXPECT_EQ(ColorToString(c), n);
    }
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 52u);

    TColor c = 0;
    EXPECT_TRUE(IdentToColor("CLRED", c));
    EXPECT_EQ(c, clRed);
    EXPECT_FALSE(IdentToColor("clLtGray", c));   // aliases are not in the table
    std::string ident;
    EXPECT_TRUE(ColorToIdent(clLtGray, ident));
    EXPECT_EQ(ident, "clSilver");
    EXPECT_FALSE(ColorToIdent(0x123456, ident));
}

TEST(Types, ColourText)
{
    const std::pair<TColor, const char*> toText[] = {
        {0x123456, "$00123456"}, {clBtnFace, "clBtnFace"}, {int32_t(0xFF000019), "$FF000019"},
        {clNone, "clNone"},
    };
    for (auto [c, s] : toText) EXPECT_EQ(ColorToString(c), s);
    const std::pair<const char*, TColor> fromText[] = {
        {"$00123456", 0x123456}, {"255", 255}, {"-16777201", clBtnFace}, {"$FF00000F", clBtnFace},
        {"clSkyBlue", clSkyBlue},
    };
    for (auto [s, c] : fromText) EXPECT_EQ(StringToColor(s), c) << s;
    for (const char* bad : {"", "clPink", "12x", "$", "$1FFFFFFFF", "99999999999"})
        EXPECT_THROW(StringToColor(bad), EConvertError) << bad;
}
