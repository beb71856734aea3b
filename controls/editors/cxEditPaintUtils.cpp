#include "cxEditPaintUtils.h"

#include "cxGraphics.h"
#include "cxLookAndFeels.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxSolidBrushCache, TObject)

TcxSolidBrush::~TcxSolidBrush()
{
    if (FOwned && FHandle) DeleteObject(reinterpret_cast<HGDIOBJ>(FHandle));
}

TcxSolidBrushCache::TcxSolidBrushCache(int AMaxDepth) : FMaxDepth(std::max(1, AMaxDepth))
{
    FNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>();
    FNotifier->OnPaletteChanged = [this](TObject*) { Clear(); };
}

TcxSolidBrushCache::~TcxSolidBrushCache() = default;

void TcxSolidBrushCache::Clear()
{
    // Brushes still held by callers live on until they are let go.
    FColors.clear();
    FBrushes.clear();
    FUseCounts.clear();
}

int TcxSolidBrushCache::UseCount(TColor AColor) const
{
    auto it = std::lower_bound(FColors.begin(), FColors.end(), AColor);
    if (it == FColors.end() || *it != AColor) return -1;
    return int(FUseCounts[size_t(it - FColors.begin())]);
}

TcxSolidBrushRef TcxSolidBrushCache::Get(TColor AColor)
{
    auto it = std::lower_bound(FColors.begin(), FColors.end(), AColor);
    size_t pos = size_t(it - FColors.begin());
    if (it != FColors.end() && *it == AColor) {
        ++FUseCounts[pos];
        return FBrushes[pos];
    }
    if (int(FColors.size()) >= FMaxDepth) {
        // The least used entry (the first such) makes room.
        size_t victim = size_t(std::min_element(FUseCounts.begin(), FUseCounts.end()) - FUseCounts.begin());
        FColors.erase(FColors.begin() + ptrdiff_t(victim));
        FBrushes.erase(FBrushes.begin() + ptrdiff_t(victim));
        FUseCounts.erase(FUseCounts.begin() + ptrdiff_t(victim));
        if (victim < pos) --pos;
    }
    auto brush = std::make_shared<const TcxSolidBrush>(CreateSolidBrush(ColorToRGB(AColor)), true);
    FColors.insert(FColors.begin() + ptrdiff_t(pos), AColor);
    FBrushes.insert(FBrushes.begin() + ptrdiff_t(pos), brush);
    FUseCounts.insert(FUseCounts.begin() + ptrdiff_t(pos), 0);
    return brush;
}

namespace cxEditPaintUtils {

namespace {
std::unique_ptr<TcxSolidBrushCache>& Cache()
{
    static std::unique_ptr<TcxSolidBrushCache> c;
    return c;
}
// The stock brushes of the 31 system colours, shared and never deleted.
TcxSolidBrushRef StockBrush(int AIndex)
{
    static std::vector<TcxSolidBrushRef> stock;
    if (stock.empty())
        for (int i = 0; i <= 30; ++i)
            stock.push_back(std::make_shared<const TcxSolidBrush>(GetSysColorBrush(i), false));
    return stock[size_t(AIndex)];
}
}  // namespace

TcxSolidBrushCache* BrushCache()
{
    auto& c = Cache();
    if (!c) c = std::make_unique<TcxSolidBrushCache>(128);
    return c.get();
}

void Finalize() { Cache().reset(); }

TcxSolidBrushRef GetSolidBrush(TColor AColor)
{
    for (int i = 0; i <= 30; ++i)
        if (AColor == SysColor(i)) return StockBrush(i);
    return BrushCache()->Get(AColor);
}

TcxSolidBrushRef GetSolidBrushForCanvas(TCanvas*, TColor AColor) { return GetSolidBrush(AColor); }
TcxSolidBrushRef GetSolidBrushForcxCanvas(TcxCanvas*, TColor AColor) { return GetSolidBrush(AColor); }

}  // namespace cxEditPaintUtils

namespace cxEditUtils {

using cxEditPaintUtils::GetSolidBrush;

namespace {
void FillPixels(TcxCanvas* ACanvas, const TRect& R, TColor AColor)
{
    if (R.Right <= R.Left || R.Bottom <= R.Top) return;
    TcxSolidBrushRef b = GetSolidBrush(AColor);
    FillRect(ACanvas->Handle(), R, b->Handle());
}
}  // namespace

TSize CalculateArrowSize(const TSize& ASize, TcxArrowDirection ADirection)
{
    int s = std::min(ASize.cx, ASize.cy);
    int w = (s - 1) / 2;
    if (w % 2 == 0) ++w;
    int h = w / 2 + 1;
    if (ADirection == adLeft || ADirection == adRight) return TSize{h, w};
    return TSize{w, h};
}

TPoint CenterInRect(const TRect& R, const TSize& ASize, bool APressed)
{
    int fx = R.Right - R.Left - ASize.cx, fy = R.Bottom - R.Top - ASize.cy;
    int x = R.Left + fx / 2, y = R.Top + fy / 2;
    if (APressed) {
        if (fx % 2) ++x;
        if (fy % 2) ++y;
    }
    return TPoint{x, y};
}

void DrawArrows(TcxCanvas* ACanvas, const TRect& R, TcxArrowDirection ADirection, TColor AColor,
                int AArrowSize, int ACount, bool APressed)
{
    int a = std::max(1, AArrowSize);
    int n = std::max(1, ACount);
    bool vertical = ADirection == adUp || ADirection == adDown;
    TSize block = vertical ? TSize{2 * a - 1, n * a} : TSize{n * a, 2 * a - 1};
    TPoint p = CenterInRect(R, block, APressed);
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < a; ++i) {
            // Strip i is 2i + 1 pixels long, the tip first.
            int len = 2 * i + 1;
            switch (ADirection) {
            case adDown: {
                int y = p.Y + k * a + (a - 1 - i);
                FillPixels(ACanvas, TRect{p.X + a - 1 - i, y, p.X + a - 1 - i + len, y + 1}, AColor);
                break;
            }
            case adUp: {
                int y = p.Y + k * a + i;
                FillPixels(ACanvas, TRect{p.X + a - 1 - i, y, p.X + a - 1 - i + len, y + 1}, AColor);
                break;
            }
            case adRight: {
                int x = p.X + k * a + (a - 1 - i);
                FillPixels(ACanvas, TRect{x, p.Y + a - 1 - i, x + 1, p.Y + a - 1 - i + len}, AColor);
                break;
            }
            case adLeft: {
                int x = p.X + k * a + i;
                FillPixels(ACanvas, TRect{x, p.Y + a - 1 - i, x + 1, p.Y + a - 1 - i + len}, AColor);
                break;
            }
            }
        }
    }
}

void DrawEllipsisDots(TcxCanvas* ACanvas, const TRect& R, TColor AColor, bool AEnabled, bool APressed)
{
    if (R.Right <= R.Left || R.Bottom <= R.Top) return;
    int d = R.Right - R.Left > 11 ? 2 : 1;
    TPoint p = CenterInRect(R, TSize{3 * d + 4, d}, APressed);
    auto dots = [&](int dx, int dy, TColor c) {
        for (int k = 0; k < 3; ++k) {
            int x = p.X + dx + k * (d + 2);
            FillPixels(ACanvas, TRect{x, p.Y + dy, x + d, p.Y + dy + d}, c);
        }
    };
    if (AEnabled) dots(0, 0, AColor);
    else {
        dots(1, 1, clBtnHighlight);
        dots(0, 0, clBtnShadow);
    }
}

void DrawPolyline(TcxCanvas* ACanvas, const std::vector<TPoint>& APoints, bool APixelExact, TColor AColor)
{
    if (APoints.empty()) return;
    if (APixelExact) {
        for (size_t i = 0; i + 1 < APoints.size(); ++i) {
            const TPoint& a = APoints[i];
            const TPoint& b = APoints[i + 1];
            int l = std::min(a.X, b.X), r = std::max(a.X, b.X);
            int t = std::min(a.Y, b.Y), btm = std::max(a.Y, b.Y);
            if (a.X == b.X || a.Y == b.Y) FillPixels(ACanvas, TRect{l, t, r + 1, btm + 1}, AColor);
        }
    } else {
        ACanvas->Pen()->SetColor(AColor);
        ACanvas->Polyline(APoints);
    }
    const TPoint& last = APoints.back();
    FillPixels(ACanvas, TRect{last.X, last.Y, last.X + 1, last.Y + 1}, AColor);
}

std::string RemoveAccelChars(const std::string& ACaption)
{
    std::string r;
    for (size_t i = 0; i < ACaption.size(); ++i) {
        if (ACaption[i] != '&') { r += ACaption[i]; continue; }
        if (i + 1 == ACaption.size()) { r += '_'; break; }
        r += ACaption[++i];   // "&&" keeps one '&'
    }
    return r;
}

// The hot-light colour is offered by every system this runs on.
TColor GetHotLightColor() { return clHotLight; }

int GetButtonHorzContentMargin(int AButtonStyle)
{
    static const int margins[6] = {2, 4, 3, 3, 2, 2};
    return AButtonStyle >= 0 && AButtonStyle < 6 ? margins[AButtonStyle] : 2;
}

int GetButtonVertContentMargin(int AButtonStyle)
{
    static const int margins[6] = {0, 4, 2, 2, 2, 2};
    return AButtonStyle >= 0 && AButtonStyle < 6 ? margins[AButtonStyle] : 0;
}

}  // namespace cxEditUtils
