#include "cxEditUtils.h"

#include "Windows.h"
#include "cxLookAndFeelPainters.h"

#include <algorithm>

namespace cxEditUtils {

namespace {
// The system check box: 13 pixels a side, a 7-pixel tick in the 9-pixel
// inner square, one pixel in.
constexpr int kCheckSize = 13;

void Line(TcxCanvas* C, int X1, int Y1, int X2, int Y2, TColor AColor)
{
    // Horizontal or vertical, both ends included.
    C->FillRect(TRect{std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2) + 1, std::max(Y1, Y2) + 1}, AColor);
}

void DrawTick(TcxCanvas* C, const TRect& AMark, TColor AColor)
{
    // Seven columns: three pixels each, falling then rising.
    static const int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
    int w = AMark.Right - AMark.Left, h = AMark.Bottom - AMark.Top;
    int x0 = AMark.Left + (w - 7) / 2, y0 = AMark.Top + (h - 7) / 2;
    for (int i = 0; i < 7; ++i) C->FillRect(TRect{x0 + i, y0 + kTop[i], x0 + i + 1, y0 + kTop[i] + 3}, AColor);
}

int CheckBorderWidth(TcxEditBorderStyle AStyle)
{
    switch (AStyle) {
    case ebsNone: return 0;
    case ebsSingle:
    case ebsUltraFlat: return 1;
    default: return 2;
    }
}
}  // namespace

// ---- check box ---------------------------------------------------------------------------------------

TSize GetSystemCheckBoxSize() { return TSize{kCheckSize, kCheckSize}; }

TSize GetCheckBoxSize(TBitmap* AGlyph, int AGlyphCount)
{
    if (AGlyph && AGlyphCount > 0 && !AGlyph->Empty())
        return TSize{AGlyph->Width() / AGlyphCount, AGlyph->Height()};
    return GetSystemCheckBoxSize();
}

int GetCheckBoxThemeState(TcxCheckBoxState AState, int AButtonState, TcxCheckBoxNullValueShowingStyle ANullStyle)
{
    int column = std::clamp(AButtonState, 0, 3);   // normal, hot, pressed, disabled
    switch (AState) {
    case cbsUnchecked: return 1 + column;
    case cbsChecked: return 5 + column;
    default:
        if (ANullStyle == nssUnchecked) return 1 + column;
        if (ANullStyle == nssInactive) return 4;
        return 9 + column;
    }
}

int GetCheckBoxGlyphIndex(TcxCheckBoxState AState, bool APressed, int AGlyphCount)
{
    int index = int(AState) + (APressed ? 3 : 0);
    while (AGlyphCount > 0 && index >= AGlyphCount) index -= 3;
    return std::max(index, 0);
}

TRect CalculateCheckBoxFocusRect(const TcxCheckBoxPaintData& AData)
{
    if (!AData.Focused || AData.Caption.empty()) return TRect{};
    TRect r = AData.TextRect;
    InflateRect(r, 1, 1);
    r.Left = std::max(r.Left, AData.Bounds.Left);
    r.Top = std::max(r.Top, AData.Bounds.Top);
    r.Right = std::min(r.Right, AData.Bounds.Right);
    r.Bottom = std::min(r.Bottom, AData.Bounds.Bottom);
    return r;
}

void DrawCheckBox(TcxCanvas* ACanvas, const TcxCheckBoxPaintData& AData)
{
    TRect r = AData.CheckRect;
    bool disabled = AData.ButtonState == 3, pressed = AData.ButtonState == 2, hot = AData.ButtonState == 1;
    // A grayed value that may not be shown shows unchecked.
    TcxCheckBoxState state = AData.State == cbsGrayed && !AData.AllowGrayed ? cbsUnchecked : AData.State;

    ACanvas->SaveClipRegion();
    ACanvas->ExcludeClipRect(r);
    if (!AData.Transparent) ACanvas->FillRect(AData.Bounds, AData.BackgroundColor);
    ACanvas->RestoreClipRegion();

    if (AData.Glyph && AData.GlyphCount > 0 && !AData.Glyph->Empty()) {
        TSize s = GetCheckBoxSize(AData.Glyph, AData.GlyphCount);
        int index = GetCheckBoxGlyphIndex(state, pressed, AData.GlyphCount);
        TRect src{index * s.cx, 0, (index + 1) * s.cx, s.cy};
        int top = r.Top + (r.Bottom - r.Top - s.cy) / 2;
        TRect dst{r.Left, top, r.Left + s.cx, top + s.cy};
        ACanvas->Canvas()->CopyRect(dst, AData.Glyph->Canvas(), src);
    } else {
        int w = CheckBorderWidth(AData.BorderStyle);
        if (AData.DrawBackgroundFrame && w < 2) ACanvas->FrameRect(r, AData.BackgroundColor, 2 - w);
        InflateRect(r, w - 2, w - 2);
        switch (AData.BorderStyle) {
        case ebsSingle: ACanvas->FrameRect(r, AData.BorderColor); break;
        case ebsThick: ACanvas->FrameRect(r, AData.BorderColor, 2); break;
        case ebsFlat: {
            ACanvas->DrawEdge(r, true, true);
            TRect in = r;
            InflateRect(in, -1, -1);
            ACanvas->FrameRect(in, clBtnFace);
            break;
        }
        case ebs3D: {
            ACanvas->DrawEdge(r, true, true);
            TRect in = r;
            InflateRect(in, -1, -1);
            ACanvas->DrawComplexFrame(in, cl3DDkShadow, cl3DLight);
            break;
        }
        case ebsUltraFlat: {
            bool highlight = hot || pressed || (AData.Focused && !disabled) || (AData.ButtonState == 0 && AData.HotTracked);
            ACanvas->FrameRect(r, highlight ? clHighlight : clBtnShadow);
            break;
        }
        default: break;
        }
        TRect mark = AData.CheckRect;
        InflateRect(mark, -2, -2);
        bool grayedShownChecked = state == cbsGrayed && AData.NullValueShowingStyle == nssGrayedChecked;
        bool showTick = state == cbsChecked || grayedShownChecked;
        TColor fill, tick;
        if (AData.BorderStyle == ebsUltraFlat) {
            if (disabled) fill = clBtnFace;
            else if (hot || pressed)
                fill = TcxUltraFlatLookAndFeelPainter::Instance()->ButtonFaceColor(pressed ? cxbsPressed : cxbsHot);
            else fill = state == cbsGrayed && AData.NullValueShowingStyle == nssInactive ? clBtnFace : clWindow;
            tick = disabled || state == cbsGrayed ? clBtnShadow : clBtnText;
        } else {
            // The system check box: a pushed or inactive one has the face
            // colour, a 3-state mark is grey.
            bool inactive = disabled || (state == cbsGrayed && AData.NullValueShowingStyle == nssInactive);
            fill = inactive || pressed ? clBtnFace : clWindow;
            tick = disabled || state == cbsGrayed ? clBtnShadow : clWindowText;
        }
        ACanvas->FillRect(mark, fill);
        if (showTick) DrawTick(ACanvas, mark, tick);
    }

    if (!AData.Caption.empty()) {
        TCanvas* c = ACanvas->Canvas();
        if (AData.Font) c->Font()->Assign(AData.Font);
        c->Brush()->SetStyle(bsClear);
        if (disabled) {
            c->Font()->SetColor(clBtnHighlight);
            c->TextOut(AData.TextRect.Left + 1, AData.TextRect.Top + 1, AData.Caption);
            c->Font()->SetColor(clBtnShadow);
        } else {
            c->Font()->SetColor(AData.TextColor);
        }
        c->TextOut(AData.TextRect.Left, AData.TextRect.Top, AData.Caption);
        c->Brush()->SetStyle(bsSolid);
        if (AData.Focused) ACanvas->DrawFocusRect(CalculateCheckBoxFocusRect(AData));
    }
}

// ---- popup window ---------------------------------------------------------------------------------

int GetPopupWindowBorderWidth(const TcxPopupWindowLayout& ALayout, bool AClientEdge)
{
    static const int kBorder[4] = {0, 1, 4, 2}, kClientEdge[4] = {0, 2, 2, 1};
    int style = std::clamp(int(ALayout.BorderStyle), 0, 3);
    int w = ALayout.Native ? 1 : kBorder[style];
    if (AClientEdge) w += ALayout.Native ? 2 : kClientEdge[style];
    return w;
}

int GetPopupWindowSysPanelHeight(const TcxPopupWindowLayout&)
{
    // No window theme here: the scroll bar and caption button heights.
    return std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
}

TRect GetPopupWindowBorderExtent(TcxPopupWindowLayout& ALayout)
{
    int w = GetPopupWindowBorderWidth(ALayout, ALayout.ClientEdge);
    TRect e{w, w, w, w};
    if (ALayout.Shadow) {
        e.Right += 3;
        e.Bottom += 3;
    }
    if (ALayout.SysPanel) {
        ALayout.SysPanelHeight = GetPopupWindowSysPanelHeight(ALayout);
        int h = ALayout.SysPanelHeight + (ALayout.Native || ALayout.BorderStyle == epbsSingle ? 1 : 0);
        if (ALayout.SizeGripCorner >= 2) e.Bottom += h;
        else e.Top += h;
    }
    ALayout.SizingOffset = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
    return e;
}

void CalculatePopupWindowViewInfo(TcxPopupWindowLayout& L)
{
    TRect ext = GetPopupWindowBorderExtent(L);
    TRect whole{0, 0, L.Bounds.Right - L.Bounds.Left, L.Bounds.Bottom - L.Bounds.Top};
    L.ClientRect = TRect{whole.Left + ext.Left, whole.Top + ext.Top, whole.Right - ext.Right, whole.Bottom - ext.Bottom};
    int w = GetPopupWindowBorderWidth(L, L.SysPanel ? false : L.ClientEdge);
    L.SizingRegionBounds = whole;
    InflateRect(L.SizingRegionBounds, -w, -w);
    if (L.Shadow) {
        L.SizingRegionBounds.Right -= 3;
        L.SizingRegionBounds.Bottom -= 3;
    }
    L.SizeGripSizingRect = L.SizeGripRect = L.CloseButtonRect = L.SysPanelRect = TRect{};
    if (!L.SysPanel) return;
    const TRect& s = L.SizingRegionBounds;
    bool bottom = L.SizeGripCorner >= 2, right = L.SizeGripCorner == 1 || L.SizeGripCorner == 3;
    int h = L.SysPanelHeight;
    L.SysPanelRect = bottom ? TRect{s.Left, s.Bottom - h, s.Right, s.Bottom} : TRect{s.Left, s.Top, s.Right, s.Top + h};
    if (L.Sizeable) {
        int g = h - 2;
        int x = right ? s.Right - g : s.Left, y = bottom ? s.Bottom - g : s.Top;
        L.SizeGripSizingRect = TRect{x, y, x + g, y + g};
        // The grip itself stands 2 pixels in from the outer sides.
        L.SizeGripRect = L.SizeGripSizingRect;
        OffsetRect(L.SizeGripRect, right ? -2 : 2, bottom ? -2 : 2);
    }
    if (L.CloseButton) {
        int c = h - 4;
        int gap = 1 + (L.Native ? 0 : 2);
        int x = right ? s.Left + gap : s.Right - gap - c;
        int y = L.Native ? L.SysPanelRect.Top + (h - c) / 2 : (bottom ? s.Bottom - 2 - c : s.Top + 2);
        L.CloseButtonRect = TRect{x, y, x + c, y + c};
    }
}

void DrawPopupWindowBorder(TcxCanvas* ACanvas, const TcxPopupWindowLayout& L, TRect& R)
{
    if (L.Native || L.BorderStyle == epbsSingle) {
        ACanvas->FrameRect(R, clBtnText);
        InflateRect(R, -1, -1);
        return;
    }
    if (L.BorderStyle == epbsDefault) return;
    ACanvas->DrawEdge(R, false, true);
    InflateRect(R, -1, -1);
    ACanvas->DrawEdge(R, false, false);
    InflateRect(R, -1, -1);
    if (L.BorderStyle == epbsFrame3D) {
        ACanvas->FrameRect(R, L.ClientEdge ? clInactiveBorder : clBtnFace);
        InflateRect(R, -1, -1);
        if (L.ClientEdge) ACanvas->FrameRect(R, clBtnFace);
        else ACanvas->DrawEdge(R, true, true);
        InflateRect(R, -1, -1);
    }
}

void DrawPopupWindowFrame(TcxCanvas* ACanvas, const TcxPopupWindowLayout& L)
{
    TRect r{0, 0, L.Bounds.Right - L.Bounds.Left, L.Bounds.Bottom - L.Bounds.Top};
    if (L.Shadow) {
        // A 3-pixel shadow right and below, starting 3 pixels in.
        ACanvas->FillRect(TRect{r.Right - 3, r.Top + 3, r.Right, r.Bottom}, clBtnShadow);
        ACanvas->FillRect(TRect{r.Left + 3, r.Bottom - 3, r.Right, r.Bottom}, clBtnShadow);
        r.Right -= 3;
        r.Bottom -= 3;
    }
    DrawPopupWindowBorder(ACanvas, L, r);
    if (L.SysPanel && (L.BorderStyle == epbsSingle || L.Native)) {
        int y = L.SizeGripCorner >= 2 ? L.SysPanelRect.Top - 1 : L.SysPanelRect.Bottom;
        ACanvas->FillRect(TRect{r.Left, y, r.Right, y + 1}, clBtnText);
    }
    if (L.ClientEdge) {
        TRect c = L.ClientRect;
        InflateRect(c, 2, 2);
        ACanvas->DrawEdge(c, true, true);
        if (L.BorderStyle != epbsFlat || L.Native) {
            InflateRect(c, -1, -1);
            ACanvas->DrawEdge(c, true, false);
        }
    }
    if (L.SysPanel) {
        if (L.Sizeable) {
            // Three groups of diagonal lines pointing into the grip corner.
            TRect g = L.SizeGripSizingRect;
            ACanvas->FillRect(g, clBtnFace);
            int size = g.Right - g.Left;
            int n = std::max(1, (size - 2) / 12);
            bool right = L.SizeGripCorner == 1 || L.SizeGripCorner == 3, bottom = L.SizeGripCorner >= 2;
            int step = 0;
            for (int group = 0; group < 3; ++group)
                for (int k = 0; k < 3 * n; ++k, ++step) {
                    TColor col = k < 2 * n ? clBtnShadow : clBtnHighlight;
                    int d = 2 + step;
                    if (d >= size) break;
                    for (int i = 0; i <= d; ++i) {
                        int x = right ? g.Right - 1 - (d - i) : g.Left + (d - i);
                        int y = bottom ? g.Bottom - 1 - i : g.Top + i;
                        ACanvas->SetPixel(x, y, col);
                    }
                }
            ACanvas->ExcludeClipRect(g);
        }
        if (L.CloseButton) {
            TcxStandardLookAndFeelPainter::Instance()->DrawFilterCloseButton(ACanvas, L.CloseButtonRect,
                                                                            L.CloseButtonState);
            ACanvas->ExcludeClipRect(L.CloseButtonRect);
        }
        ACanvas->FillRect(L.SysPanelRect, clBtnFace);
    }
    ACanvas->FillRect(L.ClientRect, clBtnFace);
}

// ---- spin buttons ----------------------------------------------------------------------------------

int GetSpinButtonFrameKind(bool AUltraFlat, int AIndex, int AButtonCount, TcxSpinEditButtonsPosition APosition)
{
    // [ultra-flat][four buttons][index][position]
    static const int kKinds[2][2][4][3] = {
        {{{1, 3, 7}, {3, 2, 6}, {0, 0, 0}, {0, 0, 0}}, {{1, 2, 5}, {3, 2, 4}, {0, 3, 3}, {2, 2, 2}}},
        {{{0, 1, 6}, {2, 2, 5}, {0, 0, 0}, {0, 0, 0}}, {{1, 1, 4}, {1, 1, 3}, {0, 1, 1}, {2, 2, 2}}},
    };
    int four = AButtonCount > 2 ? 1 : 0;
    int index = std::clamp(AIndex, 0, four ? 3 : 1);
    return kKinds[AUltraFlat ? 1 : 0][four][index][std::clamp(int(APosition), 0, 2)];
}

TcxArrowDirection GetSpinButtonArrowDirection(int AIndex, TcxSpinEditButtonsPosition APosition)
{
    if (AIndex >= 2) return AIndex == 2 ? adLeft : adRight;
    if (APosition == sbpVert) return AIndex == 0 ? adDown : adUp;
    return AIndex == 0 ? adLeft : adRight;
}

TColor GetSpinButtonFillColor(const TcxSpinButtonPaintData& D, TcxEditButtonStyle AStyle)
{
    bool disabled = D.State == cxbsDisabled;
    if (AStyle == btsHotFlat) {
        if (D.Transparent && !disabled) return D.BackgroundColor;
        return D.State == cxbsPressed ? clBtnText : D.State == cxbsHot ? clBtnShadow : clBtnFace;
    }
    if (disabled) return clBtnFace;
    if (D.Transparent) return D.BackgroundColor;
    if (D.State == cxbsPressed || D.State == cxbsHot)
        return TcxUltraFlatLookAndFeelPainter::Instance()->ButtonFaceColor(D.State);
    return clBtnFace;
}

TRect DrawSpinEditButtonFrame(TcxCanvas* C, const TcxSpinButtonPaintData& D, TRect R, TcxEditButtonStyle AStyle,
                              TColor F)
{
    int kind = GetSpinButtonFrameKind(AStyle == btsUltraFlat, D.Index, D.ButtonCount, D.Position);
    const int l = R.Left, t = R.Top, r = R.Right - 1, b = R.Bottom - 1;   // the outermost pixels
    if (AStyle == btsHotFlat) {
        const TColor S = clBtnShadow;
        switch (kind) {
        case 0:
            Line(C, l, b, r, b, S); Line(C, l, t, l, b, S); Line(C, l, t, r, t, S);
            ++R.Right;
            break;
        case 2:
        case 4:
            Line(C, l, t, r, t, S); Line(C, r, t, r, b, S); Line(C, l, b, r, b, S);
            --R.Left;
            break;
        case 5:
            Line(C, l, b, r, b, S); Line(C, r, t, r, b, S);
            --R.Left;
            --R.Top;
            break;
        case 7:
            Line(C, l, t, l, b, S); Line(C, l, b, r, b, S); Line(C, r, t, r, b, S);
            --R.Top;
            break;
        default: C->FrameRect(R, S); break;   // 1, 3 and 6
        }
        InflateRect(R, -1, -1);
        return R;
    }
    // Ultra-flat.
    bool hotOrPressed = D.State == cxbsHot || D.State == cxbsPressed;
    if (!hotOrPressed || D.Inplace) {
        if (hotOrPressed) C->FrameRect(R, clHighlight);
        else if (!D.Transparent) C->FrameRect(R, D.ButtonBackgroundColor);
        InflateRect(R, -1, -1);
        return R;
    }
    const TColor H = clHighlight;
    bool atBorderLeft = R.Left == D.BorderRect.Left;
    if (kind == 1 && atBorderLeft) kind = 0;
    switch (kind) {
    case 0: Line(C, l, t, l, b, F); Line(C, r, t, r, b, H); Line(C, l + 1, t, r - 1, t, F); Line(C, l + 1, b, r - 1, b, F); break;
    case 1: Line(C, l, t, l, b, H); Line(C, r, t, r, b, H); Line(C, l + 1, t, r - 1, t, F); Line(C, l + 1, b, r - 1, b, F); break;
    case 2: Line(C, l, t, l, b, H); Line(C, r, t, r, b, F); Line(C, l + 1, t, r - 1, t, F); Line(C, l + 1, b, r - 1, b, F); break;
    case 3: Line(C, l, t, l, b, H); Line(C, l, b, r, b, H); Line(C, r, t, r, b, H); Line(C, l + 1, t, r - 1, t, F); break;
    case 4: Line(C, l, t, l, b, H); Line(C, l, t, r, t, H); Line(C, r, t, r, b, H); Line(C, l + 1, b, r - 1, b, F); break;
    case 5:
        Line(C, l + 1, t, r, t, F); Line(C, r, t, r, b - 1, F); Line(C, l, b, r, b, H);
        if (atBorderLeft) Line(C, l, t, l, b - 1, F);
        else Line(C, l, t, l, b, H);
        break;
    case 6:
        Line(C, l, b, r, b, F); Line(C, r, t + 1, r, b, F); Line(C, l, t, r, t, H);
        if (atBorderLeft) Line(C, l, t + 1, l, b, F);
        else Line(C, l, t, l, b, H);
        break;
    default: break;
    }
    InflateRect(R, -1, -1);
    return R;
}

void DrawSpinEditButtonContent(TcxCanvas* ACanvas, const TcxSpinButtonPaintData& D, const TRect& R, TColor AFill,
                               TColor AContent)
{
    ACanvas->FillRect(R, AFill);
    TcxArrowDirection dir = GetSpinButtonArrowDirection(D.Index, D.Position);
    int count = D.Index >= 2 ? 2 : 1;
    if (D.State == cxbsDisabled) {
        TRect shifted = R;
        OffsetRect(shifted, 1, 1);
        DrawArrows(ACanvas, shifted, dir, clBtnHighlight, D.ArrowSize, count);
        DrawArrows(ACanvas, R, dir, clBtnShadow, D.ArrowSize, count);
    } else {
        DrawArrows(ACanvas, R, dir, AContent, D.ArrowSize, count, D.State == cxbsPressed);
    }
}

void DrawSpinEditButton(TcxCanvas* ACanvas, const TcxSpinButtonPaintData& D, TRect R, TcxEditButtonStyle AStyle)
{
    TColor fill, content = clBtnText;
    if (AStyle == btsHotFlat || AStyle == btsUltraFlat) {
        fill = GetSpinButtonFillColor(D, AStyle);
        R = DrawSpinEditButtonFrame(ACanvas, D, R, AStyle, fill);
        if (AStyle == btsHotFlat && (D.State == cxbsPressed || D.State == cxbsHot))
            content = D.State == cxbsHot && D.Transparent ? clBtnShadow : clWindow;
    } else {
        // The common raised button.
        fill = clBtnFace;
        if (D.State == cxbsPressed) {
            ACanvas->FrameRect(R, clBtnShadow);
        } else {
            ACanvas->DrawEdge(R, false, true);
            TRect in = R;
            InflateRect(in, -1, -1);
            ACanvas->DrawEdge(in, false, false);
            InflateRect(R, -1, -1);
        }
        InflateRect(R, -1, -1);
    }
    DrawSpinEditButtonContent(ACanvas, D, R, fill, content);
}

}  // namespace cxEditUtils
