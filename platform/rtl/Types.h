// Geometry (points, rectangles, sizes), colours and MulDiv, with the class
// library's values so that stored layouts and colour numbers read back alike.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSmallPoint {
    int16_t x = 0;
    int16_t y = 0;
    bool operator==(const TSmallPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    bool operator==(const TRect&) const = default;
};

TPoint Point(int x, int y);
TSmallPoint SmallPoint(int x, int y);
TRect Rect(int left, int top, int right, int bottom);
TRect Bounds(int left, int top, int width, int height);
TPoint CenterPoint(const TRect& r);
// Right and bottom edges are outside the rectangle.
bool PtInRect(const TRect& r, const TPoint& p);
bool IsRectEmpty(const TRect& r);   // width or height not positive
bool EqualRect(const TRect& a, const TRect& b);
// dest gets the common part; false (and an all-zero dest) when they do not overlap.
bool IntersectRect(TRect& dest, const TRect& a, const TRect& b);
// dest gets the smallest rectangle holding both (an empty one is ignored);
// false when the result is empty.
bool UnionRect(TRect& dest, const TRect& a, const TRect& b);
bool OffsetRect(TRect& r, int dx, int dy);
bool InflateRect(TRect& r, int dx, int dy);

// a * b / c in 64 bits, rounded half away from zero; -1 when c is 0 or the
// result does not fit in 32 bits.
int MulDiv(int a, int b, int c);

// ---- colours ---------------------------------------------------------------

// 0x00BBGGRR for a plain colour; 0xFF000000 | index for a system colour
// (stored layouts hold these numbers).
using TColor = int32_t;
using TColorRef = uint32_t;

constexpr TColor clSystemColor = TColor(0xFF000000u);
constexpr TColor SysColor(int index) { return TColor(0xFF000000u | uint32_t(index)); }

constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
constexpr int COLOR_ENDCOLORS = COLOR_MENUBAR;

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColorRef RGB(int r, int g, int b)
{
    return TColorRef(uint8_t(r)) | (TColorRef(uint8_t(g)) << 8) | (TColorRef(uint8_t(b)) << 16);
}
constexpr uint8_t GetRValue(TColorRef c) { return uint8_t(c); }
constexpr uint8_t GetGValue(TColorRef c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(TColorRef c) { return uint8_t(c >> 16); }

// The colour of a system colour index (0x00BBGGRR). The default table holds
// the classic desktop scheme until the GUI layer installs the real one.
using TSysColorProvider = std::function<TColorRef(int index)>;
void SetSysColorProvider(TSysColorProvider provider);   // empty restores the default table
TColorRef GetSysColor(int index);                      // 0 for an unknown index
// System colours resolve through GetSysColor; others are returned unchanged.
TColorRef ColorToRGB(TColor c);

// The 52 colour names ("clBlack" … "clWindowText"), matched without regard to case.
bool ColorToIdent(TColor c, std::string& ident);
bool IdentToColor(const std::string& ident, TColor& c);
// The name, or "$" and eight hex digits for a colour without one.
std::string ColorToString(TColor c);
// A name or a number ("$00FF00", "255"); raises EConvertError otherwise.
TColor StringToColor(const std::string& s);
// Calls proc with each of the 52 names, in table order.
void GetColorValues(const std::function<void(const std::string&)>& proc);
