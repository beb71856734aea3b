#include "cxGraphics.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxRegion, TObject)
QZ_CLASS_IMPL(TcxCanvas, TObject)
QZ_CLASS_IMPL(TcxScreenCanvas, TcxCanvas)

// ---- TcxRegion -----------------------------------------------------------------------------

TcxRegion::TcxRegion(HRGN AHandle) : FHandle(AHandle) {}
TcxRegion::TcxRegion(const TRect& R) : FHandle(CreateRectRgnIndirect(R)) {}
TcxRegion::TcxRegion(int ALeft, int ATop, int ARight, int ABottom)
    : FHandle(CreateRectRgn(ALeft, ATop, ARight, ABottom))
{
}
TcxRegion::TcxRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}

TcxRegion::~TcxRegion()
{
    DeleteHandle();
}

void TcxRegion::DeleteHandle()
{
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
}

bool TcxRegion::IsEmptyRegion() const
{
    TRect r;
    return !FHandle || GetRgnBox(FHandle, &r) == NULLREGION;
}

TRect TcxRegion::BoundsRect() const
{
    TRect r;
    if (FHandle) GetRgnBox(FHandle, &r);
    return r;
}

void TcxRegion::Combine(TcxRegion* ARegion, TcxRegionCombineMode AOperation, bool ADestroyRegion)
{
    static const int modes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
    if (ARegion && ARegion != this) {
        if (!FHandle) FHandle = CreateRectRgn(0, 0, 0, 0);
        if (AOperation == rcmCopy)
            CombineRgn(FHandle, ARegion->Handle(), nullptr, RGN_COPY);
        else
            CombineRgn(FHandle, FHandle, ARegion->Handle(), modes[AOperation]);
    }
    if (ADestroyRegion && ARegion != this) delete ARegion;
}

void TcxRegion::Offset(int DX, int DY)
{
    if (FHandle) OffsetRgn(FHandle, DX, DY);
}

// ---- TcxCanvas ------------------------------------------------------------------------------

TcxCanvas::TcxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

TPoint TcxCanvas::WindowOrg() const
{
    TPoint p;
    GetWindowOrgEx(FCanvas->Handle(), &p);
    return p;
}

void TcxCanvas::SetWindowOrg(const TPoint& P)
{
    SetWindowOrgEx(FCanvas->Handle(), P.X, P.Y, nullptr);
}

void TcxCanvas::SetBrushColor(TColor Value)
{
    if (FCanvas->Brush()->Color() != Value) FCanvas->Brush()->SetColor(Value);
}

void TcxCanvas::FillRect(const TRect& R, TColor AColor)
{
    SetBrushColor(AColor);
    FCanvas->FillRect(R);
}

void TcxCanvas::FillRect(const TRect& R, TBitmap* ABitmap)
{
    if (!ABitmap || ABitmap->Empty()) {
        FCanvas->FillRect(R);
        return;
    }
    const int w = ABitmap->Width(), h = ABitmap->Height();
    // The grid is anchored at the logical origin, so neighbouring fills
    // continue one pattern. Floor division keeps that true left of 0 too.
    auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    int firstCol = floorDiv(R.Left, w), lastCol = floorDiv(R.Right, w);
    if (R.Right % w == 0) --lastCol;
    int firstRow = floorDiv(R.Top, h), lastRow = floorDiv(R.Bottom, h);
    if (R.Bottom % h == 0) --lastRow;
    if (lastRow < firstRow || lastCol < firstCol) return;
    TCopyMode saved = FCanvas->CopyMode();
    FCanvas->SetCopyMode(cmSrcCopy);
    for (int j = firstRow; j <= lastRow; ++j)
        for (int i = firstCol; i <= lastCol; ++i) {
            TRect tile{i * w, j * h, i * w + w, j * h + h};
            TRect part;
            if (!IntersectRect(part, tile, R)) continue;
            TRect src = part;
            OffsetRect(src, -i * w, -j * h);
            FCanvas->CopyRect(part, ABitmap->Canvas(), src);
        }
    FCanvas->SetCopyMode(saved);
}

void TcxCanvas::FrameRect(const TRect& R, TColor AColor, int ALineWidth, TcxBorders ABorders)
{
    if (AColor != clDefault) SetBrushColor(AColor);
    if (ABorders.Contains(bLeft)) FCanvas->FillRect({R.Left, R.Top, R.Left + ALineWidth, R.Bottom});
    if (ABorders.Contains(bRight)) FCanvas->FillRect({R.Right - ALineWidth, R.Top, R.Right, R.Bottom});
    if (ABorders.Contains(bTop)) FCanvas->FillRect({R.Left, R.Top, R.Right, R.Top + ALineWidth});
    if (ABorders.Contains(bBottom)) FCanvas->FillRect({R.Left, R.Bottom - ALineWidth, R.Right, R.Bottom});
}

void TcxCanvas::DrawComplexFrame(const TRect& R, TColor ALeftTopColor, TColor ARightBottomColor,
                                 TcxBorders ABorders, int ABorderWidth)
{
    if (ABorders.Contains(bLeft))
        FillRect({R.Left, R.Top, R.Left + ABorderWidth, R.Bottom}, ALeftTopColor);
    if (ABorders.Contains(bTop))
        FillRect({R.Left, R.Top, R.Right, R.Top + ABorderWidth}, ALeftTopColor);
    if (ABorders.Contains(bRight))
        FillRect({R.Right - ABorderWidth, R.Top, R.Right, R.Bottom}, ARightBottomColor);
    if (ABorders.Contains(bBottom))
        FillRect({R.Left, R.Bottom - ABorderWidth, R.Right, R.Bottom}, ARightBottomColor);
}

void TcxCanvas::DrawEdge(const TRect& R, bool ASunken, bool AOuter, TcxBorders ABorders)
{
    TColor lt, rb;
    if (ASunken) {
        lt = AOuter ? clBtnShadow : cl3DDkShadow;
        rb = AOuter ? clBtnHighlight : cl3DLight;
    } else {
        lt = AOuter ? cl3DLight : clBtnHighlight;
        rb = AOuter ? cl3DDkShadow : clBtnShadow;
    }
    DrawComplexFrame(R, lt, rb, ABorders, 1);
}

void TcxCanvas::DrawFocusRect(const TRect& R)
{
    // The same dotted frame whatever colours were set before.
    SetBrushColor(clWhite);
    FCanvas->Font()->SetColor(clBlack);
    FCanvas->DrawFocusRect(R);
}

namespace {
// A copy of the glyph whose transparent colour draws see-through.
std::unique_ptr<TBitmap> TransparentCopy(TBitmap* AGlyph)
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(AGlyph);
    copy->SetTransparentColor(AGlyph->TransparentColor());
    copy->SetTransparentMode(tmFixed);
    copy->SetTransparent(true);
    return copy;
}
}  // namespace

void TcxCanvas::DrawGlyph(int X, int Y, TBitmap* AGlyph, bool AEnabled, TColor ABackgroundColor)
{
    if (!AGlyph || AGlyph->Empty()) return;
    const int w = AGlyph->Width(), h = AGlyph->Height();
    const TColor transparent = AGlyph->TransparentColor();
    if (AEnabled) {
        if (ABackgroundColor == clNone) {
            std::unique_ptr<TBitmap> copy = TransparentCopy(AGlyph);
            FCanvas->Draw(X, Y, copy.get());
        } else {
            TBrushStyle style = FCanvas->Brush()->Style();
            SetBrushColor(ABackgroundColor);
            FCanvas->BrushCopy({X, Y, X + w, Y + h}, AGlyph, {0, 0, w, h}, transparent);
            FCanvas->Brush()->SetStyle(style);
        }
        return;
    }
    // Disabled: the glyph's shape embossed, highlight one pixel right and
    // down, shadow in place, on the background when one is given.
    if (ABackgroundColor != clNone) FillRect({X, Y, X + w, Y + h}, ABackgroundColor);
    const TColorRef key = ColorToRGB(transparent) & 0xFFFFFF;
    std::vector<bool> mask(size_t(w * h));
    TCanvas* src = AGlyph->Canvas();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            TColorRef c = ColorToRGB(src->Pixels(x, y)) & 0xFFFFFF;
            // Light pixels fade into the face as the system's disabled images do.
            int lum = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
            mask[size_t(y * w + x)] = c != key && lum < 192;
        }
    for (int pass = 0; pass < 2; ++pass) {
        const TColor color = pass == 0 ? clBtnHighlight : clBtnShadow;
        const int d = pass == 0 ? 1 : 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (mask[size_t(y * w + x)]) FCanvas->SetPixels(X + x + d, Y + y + d, color);
    }
}

UINT cxGraphics::TextFlagsToDrawTextFlags(int AFlags)
{
    UINT r = DT_NOPREFIX;
    if (AFlags & ctfRight) r |= DT_RIGHT;
    if (AFlags & ctfCenterH) r |= DT_CENTER;
    if (AFlags & ctfBottom) r |= DT_BOTTOM;
    if (AFlags & ctfCenterV) r |= DT_VCENTER;
    if (AFlags & ctfSingleLine) r |= DT_SINGLELINE;
    if (AFlags & ctfNoClip) r |= DT_NOCLIP;
    if (AFlags & ctfExpandTabs) r |= DT_EXPANDTABS;
    if (AFlags & ctfShowPrefix) r &= ~DT_NOPREFIX;
    if (AFlags & ctfWordBreak) r |= DT_WORDBREAK | DT_EDITCONTROL;
    if (AFlags & ctfEndEllipsis) r |= DT_END_ELLIPSIS;
    if (AFlags & ctfCalcOnly) r |= DT_CALCRECT;
    if (AFlags & ctfPathEllipsis) r |= DT_PATH_ELLIPSIS;
    return r;
}

void TcxCanvas::DrawText(const std::string& Text, TRect R, int AFlags, bool AEnabled)
{
    if (Text.empty()) return;
    const bool simple = (AFlags & ctfSingleLine) &&
                        !(AFlags & (ctfShowPrefix | ctfEndEllipsis | ctfPathEllipsis));
    const TSize ext = TextExtent(Text);
    if (R.Width() > ext.cx && R.Height() > ext.cy) AFlags |= ctfNoClip;
    const int d = AEnabled ? 0 : 1;
    if (!simple) {
        if (!(AFlags & ctfSingleLine) && (AFlags & (ctfBottom | ctfCenterV))) {
            TRect calc{0, 0, R.Width() - d, 0};
            CalculateTextRect(Text, calc, AFlags);
            const int height = calc.Height();
            if (AFlags & ctfBottom)
                R.Top = R.Bottom - (height + d);
            else
                R.Top = (R.Top + R.Bottom - height) / 2;
        }
    } else {
        if (R.Width() > ext.cx) {
            if (AFlags & ctfRight)
                R.Left = R.Right - ext.cx - d;
            else if (AFlags & ctfCenterH)
                R.Left = (R.Left + R.Right - ext.cx) / 2;
        }
        if (R.Height() > ext.cy) {
            if (AFlags & ctfBottom)
                R.Top = R.Bottom - ext.cy - d;
            else if (AFlags & ctfCenterV)
                R.Top = (R.Top + R.Bottom - ext.cy) / 2;
        }
    }
    const UINT dtFlags = cxGraphics::TextFlagsToDrawTextFlags(AFlags);
    const TBrushStyle savedStyle = FCanvas->Brush()->Style();
    const TColor savedColor = FCanvas->Font()->Color();
    auto output = [&](TRect r) {
        if (simple) {
            if (AFlags & ctfNoClip)
                FCanvas->TextOut(r.Left, r.Top, Text);
            else
                FCanvas->TextRect(r, r.Left, r.Top, Text);
        } else {
            FCanvas->DrawText(Text, r, dtFlags);
        }
    };
    if (!AEnabled) {
        FCanvas->Brush()->SetStyle(bsClear);
        FCanvas->Font()->SetColor(clBtnHighlight);
        TRect shifted = R;
        OffsetRect(shifted, 1, 1);
        output(shifted);
        FCanvas->Font()->SetColor(clBtnShadow);
    }
    output(R);
    if (FCanvas->Brush()->Style() != savedStyle) FCanvas->Brush()->SetStyle(savedStyle);
    FCanvas->Font()->SetColor(savedColor);
}

void TcxCanvas::CalculateTextRect(const std::string& Text, TRect& R, int AFlags)
{
    const int w0 = R.Width(), h0 = R.Height();
    UINT flags = (cxGraphics::TextFlagsToDrawTextFlags(AFlags) & ~DT_VCENTER) | DT_CALCRECT;
    FCanvas->DrawText(Text, R, flags);
    const int w1 = R.Width(), h1 = R.Height();
    if (AFlags & ctfCenterH)
        OffsetRect(R, (w0 - w1) / 2, 0);
    else if (AFlags & ctfRight)
        OffsetRect(R, w0 - w1, 0);
    if (AFlags & ctfCenterV)
        OffsetRect(R, 0, (h0 - h1) / 2);
    else if (AFlags & ctfBottom)
        OffsetRect(R, 0, h0 - h1);
}

TSize TcxCanvas::TextExtent(const std::string& Text)
{
    return FCanvas->TextExtent(Text);
}

int TcxCanvas::FontHeight(TFont* AFont)
{
    if (AFont) SetFont(AFont);
    return TextHeight("Qq");
}

void TcxCanvas::InvertRect(const TRect& R)
{
    FCanvas->InvertRect(R);
}

void TcxCanvas::ExcludeClipRect(const TRect& R)
{
    ::ExcludeClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom);
}

void TcxCanvas::IntersectClipRect(const TRect& R)
{
    ::IntersectClipRect(Handle(), R.Left, R.Top, R.Right, R.Bottom);
}

std::unique_ptr<TcxRegion> TcxCanvas::GetClipRegion()
{
    auto r = std::make_unique<TcxRegion>(0, 0, 0, 0);
    if (GetClipRgn(Handle(), r->Handle()) != 1) {
        DeleteObject(r->Handle());
        r = std::make_unique<TcxRegion>(0, 0, cxMaxRegionSize, cxMaxRegionSize);
    }
    return r;
}

void TcxCanvas::SetClipRegion(TcxRegion* ARegion, TcxRegionCombineMode AOperation, bool ADestroyRegion)
{
    if (!ARegion) return;
    if (AOperation == rcmCopy) {
        SelectClipRgn(Handle(), ARegion->Handle());
    } else {
        const TPoint org = WindowOrg();
        ARegion->Offset(-org.X, -org.Y);
        std::unique_ptr<TcxRegion> clip = GetClipRegion();
        clip->Combine(ARegion, AOperation, false);
        SelectClipRgn(Handle(), clip->Handle());
    }
    if (ADestroyRegion) delete ARegion;
}

void TcxCanvas::SaveClipRegion()
{
    FSavedRegions.push_back(GetClipRegion());
}

void TcxCanvas::RestoreClipRegion()
{
    if (FSavedRegions.empty()) return;
    std::unique_ptr<TcxRegion> r = std::move(FSavedRegions.back());
    FSavedRegions.pop_back();
    SetClipRegion(r.release(), rcmCopy, true);
}

bool TcxCanvas::RectVisible(const TRect& R)
{
    return ::RectVisible(Handle(), R) != 0;
}

// ---- screen canvas -----------------------------------------------------------------------------

namespace {
class TcxScreenDCCanvas : public TCanvas {
public:
    ~TcxScreenDCCanvas() override
    {
        if (FDC) {
            SetHandle(nullptr);
            ReleaseDC(nullptr, FDC);
        }
    }
protected:
    void CreateHandle() override
    {
        if (FDC) ReleaseDC(nullptr, FDC);
        FDC = GetDC(nullptr);
        FHandle = FDC;
    }
private:
    HDC FDC = nullptr;
};
}  // namespace

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(nullptr), FScreenCanvas(std::make_unique<TcxScreenDCCanvas>())
{
    SetCanvas(FScreenCanvas.get());
}

TcxScreenCanvas::~TcxScreenCanvas() = default;

// ---- blended colours ----------------------------------------------------------------------------

TColor cxGraphics::BlendedSystemColor(int AFacePercent, int AHighlightPercent, int AWindowPercent)
{
    const TColorRef face = GetSysColor(COLOR_BTNFACE);
    const TColorRef highlight = GetSysColor(COLOR_HIGHLIGHT);
    const TColorRef window = GetSysColor(COLOR_WINDOW);
    if (face == 0 || face == 0xFFFFFF) return TColor(highlight);
    auto channel = [&](uint8_t (*get)(TColorRef)) {
        int v = MulDiv(get(face), AFacePercent, 100) + MulDiv(get(highlight), AHighlightPercent, 100) +
                MulDiv(get(window), AWindowPercent, 100);
        return std::clamp(v, 0, 255);
    };
    // The screen shows every colour on the true-colour displays this runs on,
    // so the nearest displayable colour is the colour itself.
    return TColor(RGB(channel(GetRValue), channel(GetGValue), channel(GetBValue)));
}

TColor cxGraphics::LightHotColor() { return BlendedSystemColor(-2, 30, 72); }
TColor cxGraphics::LightPressedColor() { return BlendedSystemColor(14, 44, 40); }
