#include "Types.h"
#include "Exceptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>

TPoint Point(int x, int y) { return {x, y}; }
TSmallPoint SmallPoint(int x, int y) { return {int16_t(x), int16_t(y)}; }
TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
TRect Bounds(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

TPoint CenterPoint(const TRect& r)
{
    // Halves the sum in 64 bits so that wide rectangles do not overflow.
    return {int((int64_t(r.Left) + r.Right) / 2), int((int64_t(r.Top) + r.Bottom) / 2)};
}

bool PtInRect(const TRect& r, const TPoint& p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

bool EqualRect(const TRect& a, const TRect& b) { return a == b; }

bool IntersectRect(TRect& dest, const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(r)) {
        dest = TRect{};
        return false;
    }
    dest = r;
    return true;
}

bool UnionRect(TRect& dest, const TRect& a, const TRect& b)
{
    if (IsRectEmpty(a)) {
        dest = IsRectEmpty(b) ? TRect{} : b;
    } else if (IsRectEmpty(b)) {
        dest = a;
    } else {
        dest = TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                     std::max(a.Bottom, b.Bottom)};
    }
    return !IsRectEmpty(dest);
}

bool OffsetRect(TRect& r, int dx, int dy)
{
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
    return true;
}

bool InflateRect(TRect& r, int dx, int dy)
{
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
    return true;
}

int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    int64_t p = int64_t(a) * b;
    int64_t d = c;
    if (d < 0) {
        p = -p;
        d = -d;
    }
    // Round half away from zero.
    int64_t q = p >= 0 ? (p + d / 2) / d : (p - d / 2) / d;
    if (q > 2147483647 || q < -2147483647) return -1;
    return int(q);
}

// ---- system colours ----------------------------------------------------------

namespace {

// The classic desktop scheme, used until the GUI installs the real colours.
constexpr std::array<TColorRef, COLOR_ENDCOLORS + 1> kDefaultSysColors = {
    RGB(200, 200, 200),   // scroll bar
    RGB(0, 128, 128),     // background
    RGB(10, 36, 106),     // active caption
    RGB(128, 128, 128),   // inactive caption
    RGB(212, 208, 200),   // menu
    RGB(255, 255, 255),   // window
    RGB(0, 0, 0),         // window frame
    RGB(0, 0, 0),         // menu text
    RGB(0, 0, 0),         // window text
    RGB(255, 255, 255),   // caption text
    RGB(212, 208, 200),   // active border
    RGB(212, 208, 200),   // inactive border
    RGB(128, 128, 128),   // application workspace
    RGB(10, 36, 106),     // highlight
    RGB(255, 255, 255),   // highlight text
    RGB(212, 208, 200),   // button face
    RGB(128, 128, 128),   // button shadow
    RGB(128, 128, 128),   // gray text
    RGB(0, 0, 0),         // button text
    RGB(212, 208, 200),   // inactive caption text
    RGB(255, 255, 255),   // button highlight
    RGB(64, 64, 64),      // 3-D dark shadow
    RGB(212, 208, 200),   // 3-D light
    RGB(0, 0, 0),         // info text
    RGB(255, 255, 225),   // info background
    RGB(181, 181, 181),   // (unused index 25)
    RGB(0, 0, 128),       // hot light
    RGB(166, 202, 240),   // gradient active caption
    RGB(192, 192, 192),   // gradient inactive caption
    RGB(49, 106, 197),    // menu highlight
    RGB(236, 233, 216),   // menu bar
};

std::mutex gSysColorLock;
TSysColorProvider gSysColorProvider;

struct TColorName {
    TColor Value;
    const char* Name;
};

// The names in the class library's table order.
constexpr TColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};
static_assert(std::size(kColorNames) == 52);

bool SameAscii(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
    return i == a.size() && b[i] == 0;
}

}   // namespace

void SetSysColorProvider(TSysColorProvider provider)
{
    std::lock_guard<std::mutex> g(gSysColorLock);
    gSysColorProvider = std::move(provider);
}

TColorRef GetSysColor(int index)
{
    TSysColorProvider p;
    {
        std::lock_guard<std::mutex> g(gSysColorLock);
        p = gSysColorProvider;
    }
    if (p) return p(index);
    if (index < 0 || index > COLOR_ENDCOLORS) return 0;
    return kDefaultSysColors[size_t(index)];
}

TColorRef ColorToRGB(TColor c)
{
    if (c < 0) return GetSysColor(c & 0xFF);
    return TColorRef(c);
}

bool ColorToIdent(TColor c, std::string& ident)
{
    for (const auto& n : kColorNames)
        if (n.Value == c) {
            ident = n.Name;
            return true;
        }
    return false;
}

bool IdentToColor(const std::string& ident, TColor& c)
{
    for (const auto& n : kColorNames)
        if (SameAscii(ident, n.Name)) {
            c = n.Value;
            return true;
        }
    return false;
}

std::string ColorToString(TColor c)
{
    std::string s;
    if (ColorToIdent(c, s)) return s;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", uint32_t(c));
    return buf;
}

TColor StringToColor(const std::string& s)
{
    TColor c;
    if (IdentToColor(s, c)) return c;
    // A number as the integer parser reads it: decimal, or hex after "$" or "0x".
    const char* p = s.c_str();
    bool neg = false;
    while (*p == ' ') ++p;
    if (*p == '-' || *p == '+') neg = *p++ == '-';
    int base = 10;
    if (*p == '$') {
        base = 16;
        ++p;
    } else if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (!std::isxdigit((unsigned char)*p)) throw EConvertError("'" + s + "' is not a valid integer value");
    char* end = nullptr;
    unsigned long long v = std::strtoull(p, &end, base);
    const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (neg ? 0x80000000ull : 0x7FFFFFFFull);
    if (*end != 0 || v > limit) throw EConvertError("'" + s + "' is not a valid integer value");
    int64_t r = neg ? -int64_t(v) : int64_t(v);
    return TColor(uint32_t(r));
}

void GetColorValues(const std::function<void(const std::string&)>& proc)
{
    for (const auto& n : kColorNames) proc(n.Name);
}
