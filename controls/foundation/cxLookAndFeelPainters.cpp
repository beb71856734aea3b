#include "cxLookAndFeelPainters.h"

#include "cxLookAndFeels.h"
#include "cxResources.h"

#include <algorithm>
#include <array>

QZ_CLASS_IMPL(TcxCustomLookAndFeelPainter, TObject)
QZ_CLASS_IMPL(TcxStandardLookAndFeelPainter, TcxCustomLookAndFeelPainter)
QZ_CLASS_IMPL(TcxFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
QZ_CLASS_IMPL(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)

TcxCustomLookAndFeelPainterClass TcxCustomLookAndFeelPainter::Instance()
{
    static const TcxCustomLookAndFeelPainter p;
    return &p;
}
TcxCustomLookAndFeelPainterClass TcxStandardLookAndFeelPainter::Instance()
{
    static const TcxStandardLookAndFeelPainter p;
    return &p;
}
TcxCustomLookAndFeelPainterClass TcxFlatLookAndFeelPainter::Instance()
{
    static const TcxFlatLookAndFeelPainter p;
    return &p;
}
TcxCustomLookAndFeelPainterClass TcxUltraFlatLookAndFeelPainter::Instance()
{
    static const TcxUltraFlatLookAndFeelPainter p;
    return &p;
}

namespace {

TRect Shrunk(TRect r, int d)
{
    InflateRect(r, -d, -d);
    return r;
}

bool IsEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

void FillPolygon(TcxCanvas* ACanvas, const std::vector<TPoint>& pts, TColor AColor)
{
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->SetBrushColor(AColor);
    ACanvas->Pen()->SetColor(AColor);
    ACanvas->Pen()->SetStyle(psSolid);
    ACanvas->Polygon(pts);
}

void Line(TcxCanvas* ACanvas, int x0, int y0, int x1, int y1)
{
    ACanvas->MoveTo(x0, y0);
    ACanvas->LineTo(x1, y1);
}

// Raised inner, raised outer, sunken outer and sunken inner edges.
void EdgeRaisedInner(TcxCanvas* c, const TRect& r, TcxBorders b = cxBordersAll) { c->DrawEdge(r, false, false, b); }
void EdgeRaisedOuter(TcxCanvas* c, const TRect& r, TcxBorders b = cxBordersAll) { c->DrawEdge(r, false, true, b); }
void EdgeSunkenOuter(TcxCanvas* c, const TRect& r, TcxBorders b = cxBordersAll) { c->DrawEdge(r, true, true, b); }
void EdgeSunkenInner(TcxCanvas* c, const TRect& r, TcxBorders b = cxBordersAll) { c->DrawEdge(r, true, false, b); }

TcxPainterArrow ScrollArrowDirection(bool AHorizontal, TcxScrollBarPart APart)
{
    if (AHorizontal) return APart == sbpLineUp ? paLeft : paRight;
    return APart == sbpLineUp ? paUp : paDown;
}

}  // namespace

// ---- alignment tables, arrows, signs ---------------------------------------------------------

int cxLookAndFeelPainters::AlignmentHorzFlags(TAlignment A)
{
    switch (A) {
    case taRightJustify: return ctfRight;
    case taCenter: return ctfCenterH;
    default: return ctfLeft;
    }
}

int cxLookAndFeelPainters::AlignmentVertFlags(TcxAlignmentVert A)
{
    switch (A) {
    case vaBottom: return ctfBottom;
    case vaCenter: return ctfCenterV;
    default: return ctfTop;
    }
}

void cxLookAndFeelPainters::GetArrowPoints(TRect R, TcxPainterArrow ADirection, bool ASquare, TPoint P[3])
{
    if (ASquare) {
        int d = R.Width() - R.Height();
        if (d > 0) {
            R.Left += d / 2;
            R.Right -= d / 2;
        } else {
            InflateRect(R, 0, d / 2);
        }
    }
    int W, H;
    if (ADirection == paUp || ADirection == paDown) {
        W = (R.Right - R.Left - 1) / 2;
        if (W % 2 == 0) ++W;
        H = W / 2 + 1;
    } else {
        H = (R.Bottom - R.Top - 1) / 2;
        if (H % 2 == 0) ++H;
        W = H / 2 + 1;
    }
    const int cx1 = (R.Left + R.Right - 1) / 2;
    const int x0 = (R.Left + R.Right - W) / 2;
    const int y0 = MulDiv(R.Top + R.Bottom - H, 1, 2);
    const int cy = (R.Top + R.Bottom) / 2;
    switch (ADirection) {
    case paUp:
        P[0] = {cx1, y0};
        P[1] = {x0, y0 + H - 1};
        P[2] = {x0 + W - 1, y0 + H - 1};
        break;
    case paDown:
        P[0] = {x0, y0};
        P[1] = {x0 + W - 1, y0};
        P[2] = {cx1, y0 + H - 1};
        break;
    case paLeft:
        P[0] = {x0, cy};
        P[1] = {x0 + W - 1, y0};
        P[2] = {x0 + W - 1, y0 + H - 1};
        break;
    case paRight:
        P[0] = {x0, y0};
        P[1] = {x0 + W - 1, cy};
        P[2] = {x0, y0 + H - 1};
        break;
    }
}

void cxLookAndFeelPainters::DrawPlusMinus(TcxCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor)
{
    const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2, h = (R.Right - R.Left - 4) / 2;
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect({cx - h, cy, cx + h + 1, cy + 1}, AColor);
    if (!AExpanded) ACanvas->FillRect({cx, cy - h, cx + 1, cy + h + 1}, AColor);
}

// ---- base painter: content -------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawFilterDropDownGlyph(TcxCanvas* ACanvas, const TRect& R, TColor AColor) const
{
    int W = (R.Right - R.Left) / 2;
    if (W % 2 == 0) ++W;
    const int H = W / 2 + 1;
    const int x0 = (R.Left + R.Right - W) / 2;
    const int y0 = MulDiv(R.Top + R.Bottom - H, 1, 2);
    FillPolygon(ACanvas, {{x0, y0}, {x0 + W - 1, y0}, {(R.Left + R.Right) / 2, y0 + H - 1}}, AColor);
}

void TcxCustomLookAndFeelPainter::DrawContent(TcxCanvas* ACanvas, const TRect& R, const TRect& ATextAreaBounds,
                                              TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                              bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                              TFont* AFont, TColor ATextColor, TColor ABkColor,
                                              const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    if (!AOnDrawBackground || !AOnDrawBackground(ACanvas, R)) {
        ACanvas->Brush()->SetStyle(bsSolid);
        ACanvas->FillRect(R, ABkColor);
    }
    if (AText.empty()) return;
    ACanvas->Brush()->SetStyle(bsClear);
    if (AFont) ACanvas->SetFont(AFont);
    ACanvas->Font()->SetColor(ATextColor);
    int flags = cxLookAndFeelPainters::AlignmentHorzFlags(AAlignmentHorz) |
                cxLookAndFeelPainters::AlignmentVertFlags(AAlignmentVert) |
                (AMultiLine ? ctfWordBreak : ctfSingleLine) | (AShowEndEllipsis ? ctfEndEllipsis : 0);
    ACanvas->DrawText(AText, ATextAreaBounds, flags, true);
    ACanvas->Brush()->SetStyle(bsSolid);
}

TRect TcxCustomLookAndFeelPainter::FooterCellContentBounds(const TRect& R) const
{
    return Shrunk(R, FooterCellFrameWidth());
}

TRect TcxCustomLookAndFeelPainter::FooterCellTextAreaBounds(const TRect& R) const
{
    return Shrunk(FooterCellContentBounds(R), 2);
}

// ---- arrows ---------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas* ACanvas, const TRect& R, TcxPainterArrow AArrowDirection,
                                            TColor AColor) const
{
    TPoint p[3];
    cxLookAndFeelPainters::GetArrowPoints(R, AArrowDirection, true, p);
    FillPolygon(ACanvas, {p[0], p[1], p[2]}, AColor);
}

void TcxCustomLookAndFeelPainter::DrawScrollArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                                  TcxPainterArrow AArrowDirection, bool AWithFrame) const
{
    TPoint p[3];
    cxLookAndFeelPainters::GetArrowPoints(R, AArrowDirection, false, p);
    if (AWithFrame)
        DrawArrowButtonFace(ACanvas, R, AState);
    else
        ACanvas->FillRect(R, ButtonFaceColor(AState));
    FillPolygon(ACanvas, {p[0], p[1], p[2]}, ButtonGlyphColor(AState));
}

void TcxCustomLookAndFeelPainter::DrawArrowButtonFace(TcxCanvas* ACanvas, const TRect& R,
                                                      TcxButtonState AState) const
{
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, ButtonFaceColor(AState));
    DrawButtonFrame(ACanvas, R, AState);
}

void TcxCustomLookAndFeelPainter::DrawScrollBarArrow(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                     TcxPainterArrow AArrowDirection) const
{
    if (AState == cxbsPressed) OffsetRect(R, ButtonPressedShift(), ButtonPressedShift());
    TPoint p[3];
    cxLookAndFeelPainters::GetArrowPoints(R, AArrowDirection, true, p);
    if (AState == cxbsDisabled) {
        std::vector<TPoint> shifted{p[0], p[1], p[2]};
        for (TPoint& q : shifted) {
            ++q.X;
            ++q.Y;
        }
        FillPolygon(ACanvas, shifted, clBtnHighlight);
        FillPolygon(ACanvas, {p[0], p[1], p[2]}, clBtnShadow);
    } else {
        FillPolygon(ACanvas, {p[0], p[1], p[2]}, ButtonGlyphColor(AState));
    }
}

// ---- buttons --------------------------------------------------------------------------------

TRect TcxCustomLookAndFeelPainter::ButtonFocusBounds(TcxCanvas* ACanvas, const TRect& R) const
{
    TRect r = Shrunk(R, 4);
    return IsEmpty(r) ? R : r;
}

TRect TcxCustomLookAndFeelPainter::ButtonGroupFrameWidths(int AButtonCount, int AButtonIndex) const
{
    int w = ButtonFrameWidth(cxbsNormal);
    return {w, w, w, w};
}

TColor TcxCustomLookAndFeelPainter::ButtonGlyphColor(TcxButtonState AState) const
{
    return AState == cxbsDisabled ? clBtnShadow : clBtnText;
}

void TcxCustomLookAndFeelPainter::PaintButton(TcxCanvas* ACanvas, TRect R, const std::string& ACaption,
                                              TcxButtonState AState, bool AWithFrame, TColor ABkColor,
                                              TColor ATextColor) const
{
    if (AWithFrame) {
        DrawButtonFrame(ACanvas, R, AState);
        R = Shrunk(R, ButtonFrameWidth(AState));
    }
    if (ABkColor == clDefault) ABkColor = ButtonFaceColor(AState);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, ABkColor);
    if (ATextColor == clDefault) ATextColor = ButtonGlyphColor(AState);
    ACanvas->Font()->SetColor(ATextColor);
    ACanvas->Brush()->SetStyle(bsClear);
    if (R.Height() % 2 != 0) --R.Bottom;
    if (R.Height() < 18) --R.Top;
    if (AState == cxbsPressed) OffsetRect(R, ButtonPressedShift(), ButtonPressedShift());
    if (!ACaption.empty())
        ACanvas->DrawText(ACaption, R, ctfCenterH | ctfCenterV | ctfSingleLine | ctfShowPrefix,
                          AState != cxbsDisabled);
    ACanvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::PaintGroupedButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                     int AButtonCount, int AButtonIndex, TColor ABorderColor) const
{
    PaintButton(ACanvas, R, "", AState, true, clDefault, clDefault);
}

// ---- expand buttons --------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawGroupChevronButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                         TcxButtonState AState) const
{
    PaintButton(ACanvas, R, "", AState, true, clDefault, clDefault);
    const int S = 3;
    const int x0 = (R.Left + R.Right - 7) / 2, y0 = (R.Top + R.Bottom - 8) / 2;
    ACanvas->Pen()->SetStyle(psSolid);
    ACanvas->Pen()->SetColor(ButtonGlyphColor(AState));
    for (int i = 0; i < 4; ++i) {
        int y = y0 + i + (i >= 2 ? 2 : 0);
        if (AExpanded) y += S;
        const int d = AExpanded ? 1 : -1;
        int t = i % 2;
        if (!AExpanded) t = 1 - t;
        ACanvas->Polyline({{x0 + t, y - d * t}, {x0 + S, y - S * d}, {x0 + 2 * S + 1 - t, y + (1 - t) * d}});
    }
}

void TcxCustomLookAndFeelPainter::DrawSmallExpandBox(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                     TColor ABorderColor, TColor AColor) const
{
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FrameRect(R, ABorderColor);
    if (AColor != clDefault) ACanvas->FillRect(Shrunk(R, 1), AColor);
    cxLookAndFeelPainters::DrawPlusMinus(ACanvas, R, AExpanded, clBtnText);
}

// ---- check boxes and radio buttons -------------------------------------------------------------

TColor TcxCustomLookAndFeelPainter::CheckFaceColor(TcxButtonState AState) const
{
    return AState == cxbsPressed || AState == cxbsDisabled ? clBtnFace : clWindow;
}

void TcxCustomLookAndFeelPainter::DrawCheckMark(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                                bool AChecked, TColor AColor) const
{
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, CheckFaceColor(AState));
    if (!AChecked) return;
    const int X = R.Width() - 2, Y = R.Height() - 4;
    const int cx = (R.Left + R.Right) / 2 - 1;
    ACanvas->Pen()->SetStyle(psSolid);
    ACanvas->Pen()->SetColor(AColor);
    for (int k = 0; k < 3; ++k) {
        const int y = (R.Top + R.Bottom + Y) / 2 - 2 + k;
        ACanvas->MoveTo(cx - X / 2 + 1, y - Y / 2);
        ACanvas->LineTo(cx, y);
        ACanvas->LineTo(cx + X / 2 + 2, y - Y);
    }
}

void TcxCustomLookAndFeelPainter::DrawCheckBox(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                               bool AChecked) const
{
    DrawCheckFrame(ACanvas, R, AState);
    R = Shrunk(R, CheckFrameWidth());
    DrawCheckMark(ACanvas, R, AState, AChecked, AState == cxbsDisabled ? clGrayText : clBtnText);
}

void TcxCustomLookAndFeelPainter::DrawRadioButton(TcxCanvas* ACanvas, int X, int Y, TcxButtonState AState,
                                                  bool AChecked, bool AFocused, TColor ABkColor,
                                                  bool AIsDesigning) const
{
    int index = cxLookAndFeelPainters::RadioImageIndex(AFocused, AIsDesigning, PainterKind(), AChecked, AState);
    TBitmap* img = cxLookAndFeelPainters::RadioImage(index);
    if (!img) return;
    if (ABkColor != clDefault)
        ACanvas->FillRect({X, Y, X + img->Width(), Y + img->Height()}, ABkColor);
    ACanvas->DrawGraphic(X, Y, img);
}

// ---- headers ------------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds,
                                             const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                             TcxBorders ABorders, TcxButtonState AState,
                                             TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                             bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                             TFont* AFont, TColor ATextColor, TColor ABkColor,
                                             const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawHeaderFrame(ACanvas, ABounds, ANeighbors, ABorders);
    DrawContent(ACanvas, HeaderContentBounds(ABounds, ABorders), ATextAreaBounds, AAlignmentHorz,
                AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                AOnDrawBackground);
}

void TcxCustomLookAndFeelPainter::DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds,
                                               const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                               TcxBorders ABorders, TcxButtonState AState,
                                               TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                               bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                               TFont* AFont, TColor ATextColor, TColor ABkColor,
                                               const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz, AAlignmentVert,
               AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground);
}

void TcxCustomLookAndFeelPainter::DrawHeaderPressed(TcxCanvas* ACanvas, const TRect& ABounds) const
{
    ACanvas->InvertRect(ABounds);
}

TRect TcxCustomLookAndFeelPainter::HeaderBounds(const TRect& ABounds, TcxNeighbors ANeighbors,
                                                TcxBorders ABorders) const
{
    TRect r = ABounds;
    const int w = HeaderFrameWidth();
    TcxBorders sides = ABorders - HeaderSides(ANeighbors);
    if (sides.Contains(bLeft)) r.Left -= w;
    if (sides.Contains(bTop)) r.Top -= w;
    if (sides.Contains(bRight)) r.Right += w;
    if (sides.Contains(bBottom)) r.Bottom += w;
    return r;
}

TRect TcxCustomLookAndFeelPainter::HeaderContentBounds(const TRect& ABounds, TcxBorders ABorders) const
{
    TRect r = ABounds;
    const int w = HeaderFrameWidth();
    if (ABorders.Contains(bLeft)) r.Left += w;
    if (ABorders.Contains(bTop)) r.Top += w;
    if (ABorders.Contains(bRight)) r.Right -= w;
    if (ABorders.Contains(bBottom)) r.Bottom -= w;
    return r;
}

int TcxCustomLookAndFeelPainter::HeaderHeight(int AFontHeight) const
{
    return 2 * HeaderFrameWidth() + AFontHeight + 4;
}

int TcxCustomLookAndFeelPainter::HeaderWidth(TcxCanvas* ACanvas, TcxBorders ABorders, const std::string& AText,
                                             TFont* AFont) const
{
    if (AFont) ACanvas->SetFont(AFont);
    int w = ACanvas->TextWidth(AText) + 4;
    if (ABorders.Contains(bLeft)) w += HeaderFrameWidth();
    if (ABorders.Contains(bRight)) w -= HeaderFrameWidth();
    return w;
}

TPoint TcxCustomLookAndFeelPainter::SortMarkAreaSize() const
{
    return {16, SortMarkSize().Y};
}

// ---- footers --------------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds,
                                                 TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                 bool AMultiLine, const std::string& AText, TFont* AFont,
                                                 TColor ATextColor, TColor ABkColor,
                                                 const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawFooterCellFrame(ACanvas, ABounds);
    DrawContent(ACanvas, FooterCellContentBounds(ABounds), FooterCellTextAreaBounds(ABounds), AAlignmentHorz,
                AAlignmentVert, AMultiLine, false, AText, AFont, ATextColor, ABkColor, AOnDrawBackground);
}

void TcxCustomLookAndFeelPainter::DrawFooterSeparator(TcxCanvas* ACanvas, const TRect& R) const
{
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, FooterSeparatorColor());
}

// ---- filter and glyph buttons ---------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawFilterActivateButton(TcxCanvas* ACanvas, const TRect& R,
                                                           TcxButtonState AState, bool AChecked) const
{
    DrawCheckBox(ACanvas, R, AState, AChecked);
}

void TcxCustomLookAndFeelPainter::DrawFilterCloseButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    DrawButtonFrame(ACanvas, R, AState);
    R = Shrunk(R, ButtonFrameWidth(cxbsNormal));
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, ButtonFaceColor(AState));
    int s = FilterCloseButtonSize().X / 2;
    if (s % 2 == 0) --s;
    const int W = s, H = s;
    ACanvas->Pen()->SetStyle(psSolid);
    ACanvas->Pen()->SetColor(ButtonGlyphColor(AState));
    for (int k = 0; k < 2; ++k) {
        TPoint o{(R.Left + R.Right - W) / 2 + k, (R.Top + R.Bottom - H) / 2};
        if (ButtonGlyphState(AState) == cxbsPressed) {
            ++o.X;
            ++o.Y;
        }
        Line(ACanvas, o.X, o.Y, o.X + W, o.Y + H);
        Line(ACanvas, o.X, o.Y + H - 1, o.X + W, o.Y - 1);
    }
}

void TcxCustomLookAndFeelPainter::DrawCrossGlyphButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    DrawButtonFrame(ACanvas, R, AState);
    R = Shrunk(R, ButtonFrameWidth(cxbsNormal));
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, ButtonFaceColor(AState));
    DrawCrossGlyph(ACanvas, R, AState);
}

void TcxCustomLookAndFeelPainter::DrawCrossGlyph(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    const bool disabled = AState == cxbsDisabled;
    const TColor a = disabled ? clBtnHighlight : DefaultGlyphColor();
    const TColor b = disabled ? clBtnShadow : DefaultGlyphColor();
    TRect r2 = Shrunk(R, 1);
    OffsetRect(r2, 1, 1);
    auto cross = [&](const TRect& r, TColor color) {
        const int hy = r.Top + r.Height() / 2 - 1;
        const int vx = r.Left + r.Width() / 2 - 1;
        ACanvas->Pen()->SetStyle(psSolid);
        ACanvas->Pen()->SetColor(color);
        Line(ACanvas, r.Left, hy, r.Right - 1, hy);
        Line(ACanvas, vx, r.Top, vx, r.Bottom - 1);
        return std::pair<int, int>(hy, vx);
    };
    auto [hy, vx] = cross(r2, a);
    ACanvas->SetPixel(r2.Left - 1, hy, a);
    ACanvas->SetPixel(vx, r2.Top - 1, a);
    OffsetRect(r2, -1, -1);
    auto [hy2, vx2] = cross(r2, b);
    ACanvas->SetPixel(r2.Right - 1, hy2, a);
    ACanvas->SetPixel(vx2, r2.Bottom - 1, a);
}

void TcxCustomLookAndFeelPainter::DrawAutoHideButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                     bool AAlternate, TColor ABkColor) const
{
    DrawButtonFrame(ACanvas, R, AState);
    R = Shrunk(R, ButtonFrameWidth(cxbsNormal));
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, ButtonFaceColor(AState));
    TBitmap* glyph = cxLookAndFeelPainters::AutoHideGlyph(AAlternate);
    if (!glyph) return;
    int x = R.Left + (R.Width() - glyph->Width()) / 2;
    int y = R.Top + (R.Height() - glyph->Height()) / 2;
    if (AState == cxbsPressed) {
        ++x;
        ++y;
    }
    ACanvas->DrawGlyph(x, y, glyph, true, clNone);
}

// ---- indicator, scroll bars, header with arrows ----------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxIndicatorKind AKind) const
{
    TBitmap* img = cxLookAndFeelPainters::IndicatorImage(AKind);
    if (!img) return;
    ACanvas->DrawGlyph((R.Left + R.Right - img->Width()) / 2, (R.Top + R.Bottom - img->Height()) / 2, img, true,
                       clNone);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorCell(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind,
                                                    TColor ABkColor,
                                                    const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawHeader(ACanvas, R, R, TcxNeighbors{}, HeaderSides(TcxNeighbors{nTop, nBottom}), cxbsNormal, taLeftJustify,
               vaTop, false, false, "", nullptr, clNone, ABkColor, AOnDrawBackground);
    DrawIndicatorImage(ACanvas, R, AKind);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorCellEx(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind,
                                                      TColor ABkColor,
                                                      const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawHeaderEx(ACanvas, R, R, TcxNeighbors{}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false, false, "",
                 nullptr, clNone, ABkColor, AOnDrawBackground);
    DrawIndicatorImage(ACanvas, R, AKind);
}

void TcxCustomLookAndFeelPainter::DrawHeaderSideArrows(TcxCanvas* ACanvas, TRect R, TcxHeaderArrows AArrows,
                                                       int AArrowOffset, TColor AColor) const
{
    R.Top += FrameWidth();
    ++R.Top;
    --R.Bottom;
    int c = (R.Bottom - R.Top) / 2;
    if (c % 2 == 0) ++c;
    auto arrow = [&](int e, int edge) {
        TPoint p0{edge + e * (AArrowOffset - 1), (R.Top + R.Bottom - c) / 2 - 1};
        TPoint p1{p0.X, p0.Y + c + 1};
        TPoint p2{p0.X - e * (c / 2 + 1), p0.Y + c / 2 + 1};
        FillPolygon(ACanvas, {p0, p1, p2}, AColor);
    };
    if (AArrows == haLeft || AArrows == haBoth) arrow(+1, R.Left);
    if (AArrows == haRight || AArrows == haBoth) arrow(-1, R.Right);
}

void TcxCustomLookAndFeelPainter::DrawHeaderWithArrows(TcxCanvas* ACanvas, const TRect& R, const std::string& AText,
                                                       TcxNeighbors ANeighbors, const TcxStyleParams& AViewParams,
                                                       TcxHeaderArrows AArrows, int AArrowOffset,
                                                       const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    TcxFlatLookAndFeelPainter::Instance()->DrawHeader(ACanvas, R, R, ANeighbors, cxBordersAll, cxbsNormal, taCenter,
                                                      vaCenter, false, false, AText, AViewParams.Font,
                                                      AViewParams.TextColor, AViewParams.Color, AOnDrawBackground);
    DrawHeaderSideArrows(ACanvas, R, AArrows, AArrowOffset, clWindowText);
}

void TcxCustomLookAndFeelPainter::DrawSortMarkFigure(TcxCanvas* ACanvas, const TRect& R, bool AAscending,
                                                     TColor ALight, TColor ADark) const
{
    const int d = AAscending ? 1 : -1;
    const TPoint size = SortMarkSize();
    const int W = size.X, H = size.Y;
    int X = (R.Left + R.Right) / 2;
    if (W % 2 == 0) --X;
    const int Y = AAscending ? (R.Top + R.Bottom - H) / 2 : (R.Top + R.Bottom + H) / 2 - 1;
    const int A = W / 2;
    const int B = W % 2 == 0 ? A - 1 : A;
    ACanvas->Pen()->SetStyle(psSolid);
    ACanvas->Pen()->SetColor(ALight);
    ACanvas->MoveTo(X + A, Y + (H - 2) * d);
    ACanvas->LineTo(X + A - B, Y);
    ACanvas->LineTo(X + A, Y + (H - 1) * d);
    ACanvas->Pen()->SetColor(AAscending ? ALight : ADark);
    ACanvas->LineTo(X - B, Y + (H - 1) * d);
    ACanvas->Pen()->SetColor(ADark);
    ACanvas->LineTo(X, Y);
    ACanvas->LineTo(X - B, Y + (H - (W % 2)) * d);
}

void TcxCustomLookAndFeelPainter::DrawScrollBarTrack(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState) const
{
    ACanvas->FillRect(R, cxLookAndFeelPainters::ScrollBarTrackPattern(AState == cxbsPressed));
}

void TcxCustomLookAndFeelPainter::DrawFlatScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                                                        TcxScrollBarPart APart, TcxButtonState AState,
                                                        bool AShrinkBeforeArrow) const
{
    if (IsEmpty(R) || (APart == sbpThumbnail && AState == cxbsDisabled)) return;
    if (AState == cxbsHot) AState = cxbsNormal;
    switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail:
        PaintButton(ACanvas, R, "", AState, true, clDefault, clDefault);
        if (APart != sbpThumbnail) {
            if (AShrinkBeforeArrow) R = Shrunk(R, ButtonFrameWidth(cxbsNormal));
            DrawScrollBarArrow(ACanvas, R, AState, ScrollArrowDirection(AHorizontal, APart));
        }
        break;
    case sbpPageUp:
    case sbpPageDown:
        DrawScrollBarTrack(ACanvas, R, AState);
        break;
    default:
        break;
    }
}

// ---- standard painter ------------------------------------------------------------------------------

void TcxStandardLookAndFeelPainter::DrawFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    ACanvas->DrawComplexFrame(Shrunk(R, 1), cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::DrawButtonFrame(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    if (AState == cxbsPressed) {
        ACanvas->FrameRect(R, clBlack);
        ACanvas->DrawComplexFrame(Shrunk(R, 1), clBtnShadow, clBtnShadow);
        return;
    }
    if (AState == cxbsDefault) {
        ACanvas->FrameRect(R, clBlack);
        R = Shrunk(R, 1);
    }
    ACanvas->DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow);
    ACanvas->DrawComplexFrame(Shrunk(R, 1), cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded, TColor AColor) const
{
    const TRect whole = R;
    EdgeRaisedInner(ACanvas, R, TcxBorders{bLeft, bTop});
    EdgeRaisedOuter(ACanvas, R, TcxBorders{bRight, bBottom});
    R = Shrunk(R, 1);
    EdgeRaisedInner(ACanvas, R, TcxBorders{bRight, bBottom});
    --R.Right;
    --R.Bottom;
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, AColor == clDefault ? clBtnFace : AColor);
    cxLookAndFeelPainters::DrawPlusMinus(ACanvas, R, AExpanded, clBtnText);
    ACanvas->ExcludeClipRect(whole);
}

void TcxStandardLookAndFeelPainter::DrawGroupChevronButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                           TcxButtonState AState) const
{
    TcxFlatLookAndFeelPainter::Instance()->DrawGroupChevronButton(ACanvas, R, AExpanded, AState);
}

void TcxStandardLookAndFeelPainter::DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const
{
    EdgeSunkenInner(ACanvas, R);
    EdgeSunkenOuter(ACanvas, Shrunk(R, 1));
}

namespace {
void DrawClassicHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors)
{
    EdgeRaisedInner(ACanvas, R);
    if (ANeighbors.Contains(nLeft)) {
        ACanvas->SetPixel(R.Left, R.Top + 1, clBtnFace);
        ACanvas->SetPixel(R.Left, R.Bottom - 2, clBtnFace);
    }
    if (ANeighbors.Contains(nRight)) {
        ACanvas->SetPixel(R.Right - 1, R.Top, clBtnHighlight);
        ACanvas->SetPixel(R.Right - 1, R.Top + 1, clBtnFace);
        ACanvas->SetPixel(R.Right - 1, R.Bottom - 2, clBtnFace);
    }
}

void DrawClassicFilterDropDownButton(const TcxCustomLookAndFeelPainter* P, TcxCanvas* ACanvas, TRect R,
                                     TcxButtonState AState, bool AActive)
{
    if (AState == cxbsPressed)
        EdgeSunkenOuter(ACanvas, R);
    else
        EdgeRaisedInner(ACanvas, R);
    R = Shrunk(R, 1);
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, clBtnFace);
    P->DrawFilterDropDownGlyph(ACanvas, R, AActive ? TColor(0xFF0000) : clBtnText);
}

// The classic cross sits one pixel inside the button face and follows the press.
void DrawClassicCrossGlyph(const TcxCustomLookAndFeelPainter* P, TcxCanvas* ACanvas, TRect R, TcxButtonState AState)
{
    --R.Right;
    --R.Bottom;
    if (AState == cxbsPressed) OffsetRect(R, 1, 1);
    P->TcxCustomLookAndFeelPainter::DrawCrossGlyph(ACanvas, R, AState);
}

void DrawClassicTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder, TcxBorders ABorders, bool AVertical)
{
    // R is the strip of one side.
    TColor color;
    if (AVertical) {
        if (ABorder == bLeft) {
            R.Top += ABorders.Contains(bTop) ? 2 : 1;
            R.Bottom -= ABorders.Contains(bBottom) ? 2 : 1;
            ACanvas->SetPixel(R.Left + 1, R.Top - 1, clBtnHighlight);
            ACanvas->SetPixel(R.Left + 1, R.Bottom, clBtnHighlight);
        } else if ((ABorder == bTop || ABorder == bBottom) && ABorders.Contains(bLeft)) {
            ++R.Left;
        }
        color = ABorder == bBottom ? clBtnShadow : clBtnHighlight;
    } else {
        if (ABorder == bLeft || ABorder == bRight) {
            if (ABorders.Contains(bTop)) R.Top += 2;
            if (ABorders.Contains(bBottom)) R.Bottom -= 1;
        } else if (ABorder == bTop) {
            ++R.Left;
            --R.Right;
            ACanvas->SetPixel(R.Left - 1, R.Top + 1, clBtnHighlight);
            ACanvas->SetPixel(R.Right, R.Top + 1, clBtnHighlight);
        }
        color = ABorder == bRight ? clBtnShadow : clBtnHighlight;
    }
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, color);
}
}  // namespace

void TcxStandardLookAndFeelPainter::DrawHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                                                    TcxBorders ABorders) const
{
    DrawClassicHeaderFrame(ACanvas, R, ANeighbors);
}

void TcxStandardLookAndFeelPainter::DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const
{
    DrawSortMarkFigure(ACanvas, R, AAscendingSorting, clBtnHighlight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    EdgeRaisedInner(ACanvas, R);
}

void TcxStandardLookAndFeelPainter::DrawFooterCellFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    EdgeSunkenOuter(ACanvas, R);
}

void TcxStandardLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                             bool AIsFilterActive) const
{
    DrawClassicFilterDropDownButton(this, ACanvas, R, AState, AIsFilterActive);
}

void TcxStandardLookAndFeelPainter::DrawCrossGlyph(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    DrawClassicCrossGlyph(this, ACanvas, R, AState);
}

void TcxStandardLookAndFeelPainter::DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder,
                                                 TcxBorders ABorders, bool AVertical) const
{
    DrawClassicTabFrame(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxStandardLookAndFeelPainter::DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                                 bool AVertical) const
{
    EdgeRaisedInner(ACanvas, R, ABorders);
}

void TcxStandardLookAndFeelPainter::DrawScrollButtonFrame(TcxCanvas* ACanvas, const TRect& R,
                                                          bool APressedArrow) const
{
    // The inner ring's left-top colour is the system colour listed just
    // before B: 3-D dark shadow comes after button highlight, button shadow
    // after button face.
    TColor a, b, c;
    if (APressedArrow) {
        a = b = clBtnShadow;
        c = clBtnFace;
    } else {
        a = clBtnFace;
        b = cl3DDkShadow;
        c = clBtnShadow;
    }
    const TColor bPred = SysColor((b & 0xFF) - 1);
    ACanvas->DrawComplexFrame(R, a, b);
    ACanvas->DrawComplexFrame(Shrunk(R, 1), bPred, c);
}

void TcxStandardLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                                                      TcxScrollBarPart APart, TcxButtonState AState) const
{
    if (IsEmpty(R) || (APart == sbpThumbnail && AState == cxbsDisabled)) return;
    if (AState == cxbsHot) AState = cxbsNormal;
    switch (APart) {
    case sbpPageUp:
    case sbpPageDown:
        DrawScrollBarTrack(ACanvas, R, AState);
        break;
    case sbpThumbnail:
        DrawScrollButtonFrame(ACanvas, R, false);
        ACanvas->Brush()->SetStyle(bsSolid);
        ACanvas->FillRect(Shrunk(R, ButtonFrameWidth(cxbsNormal)), clBtnFace);
        break;
    case sbpLineUp:
    case sbpLineDown: {
        // The system's scroll arrow button: the face, then the arrow (greyed
        // and embossed when disabled), one pixel right and down when pressed.
        const bool pressed = AState == cxbsPressed;
        ACanvas->Brush()->SetStyle(bsSolid);
        ACanvas->FillRect(R, clBtnFace);
        TRect arrow = Shrunk(R, ButtonFrameWidth(cxbsNormal));
        if (pressed) OffsetRect(arrow, 1, 1);
        TcxCustomLookAndFeelPainter::DrawScrollBarArrow(ACanvas, arrow, AState == cxbsDisabled ? cxbsDisabled
                                                                                             : cxbsNormal,
                                                        ScrollArrowDirection(AHorizontal, APart));
        DrawScrollButtonFrame(ACanvas, R, pressed);
        break;
    }
    default:
        break;
    }
}

void TcxStandardLookAndFeelPainter::DrawHeaderWithArrows(TcxCanvas* ACanvas, const TRect& R,
                                                         const std::string& AText, TcxNeighbors ANeighbors,
                                                         const TcxStyleParams& AViewParams, TcxHeaderArrows AArrows,
                                                         int AArrowOffset,
                                                         const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    TcxBorders sides = cxBordersAll;
    const bool l = ANeighbors.Contains(nLeft), r = ANeighbors.Contains(nRight);
    if (l && r)
        sides = TcxBorders{bTop, bBottom};
    else if (r)
        sides.Exclude(bRight);
    else if (l)
        sides.Exclude(bLeft);
    ACanvas->FrameRect(R, clBlack, 1, sides);
    TRect content = HeaderContentBounds(R, sides);
    DrawHeader(ACanvas, content, content, ANeighbors, cxBordersAll, cxbsNormal, taCenter, vaCenter, false, false,
               AText, AViewParams.Font, AViewParams.TextColor, AViewParams.Color, AOnDrawBackground);
    DrawHeaderSideArrows(ACanvas, R, AArrows, AArrowOffset, clWindowText);
}

// ---- flat painter ------------------------------------------------------------------------------------

void TcxFlatLookAndFeelPainter::DrawFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    EdgeSunkenOuter(ACanvas, R);
}

void TcxFlatLookAndFeelPainter::DrawButtonFrame(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    if (AState == cxbsPressed) {
        ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
        return;
    }
    if (AState == cxbsDefault) {
        ACanvas->FrameRect(R, clBlack);
        R = Shrunk(R, 1);
    }
    ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded, TColor AColor) const
{
    const TRect whole = R;
    PaintButton(ACanvas, R, "", cxbsNormal, true, AColor, clDefault);
    R = Shrunk(R, 1);
    cxLookAndFeelPainters::DrawPlusMinus(ACanvas, R, AExpanded, clBtnText);
    ACanvas->ExcludeClipRect(whole);
}

void TcxFlatLookAndFeelPainter::DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const
{
    EdgeSunkenOuter(ACanvas, R);
    ACanvas->FrameRect(Shrunk(R, 1), CheckFaceColor(AState));
}

void TcxFlatLookAndFeelPainter::DrawHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                                                TcxBorders ABorders) const
{
    DrawClassicHeaderFrame(ACanvas, R, ANeighbors);
}

void TcxFlatLookAndFeelPainter::DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const
{
    DrawSortMarkFigure(ACanvas, R, AAscendingSorting, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    EdgeRaisedInner(ACanvas, R);
}

void TcxFlatLookAndFeelPainter::DrawFooterCellFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    EdgeSunkenOuter(ACanvas, R);
}

void TcxFlatLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                         bool AIsFilterActive) const
{
    DrawClassicFilterDropDownButton(this, ACanvas, R, AState, AIsFilterActive);
}

void TcxFlatLookAndFeelPainter::DrawCrossGlyph(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    DrawClassicCrossGlyph(this, ACanvas, R, AState);
}

void TcxFlatLookAndFeelPainter::DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder, TcxBorders ABorders,
                                             bool AVertical) const
{
    DrawClassicTabFrame(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxFlatLookAndFeelPainter::DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                             bool AVertical) const
{
    EdgeRaisedInner(ACanvas, R, ABorders);
}

void TcxFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                                                  TcxScrollBarPart APart, TcxButtonState AState) const
{
    DrawFlatScrollBarPart(ACanvas, AHorizontal, R, APart, AState, true);
}

// ---- ultra-flat painter --------------------------------------------------------------------------------

void TcxUltraFlatLookAndFeelPainter::DrawFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, clBtnShadow);
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonFaceColor(TcxButtonState AState) const
{
    if (AState == cxbsHot) return cxGraphics::LightHotColor();
    if (AState == cxbsPressed) return cxGraphics::LightPressedColor();
    return clBtnFace;
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonFocusBounds(TcxCanvas* ACanvas, const TRect& R) const
{
    TRect r = Shrunk(R, 3);
    return IsEmpty(r) ? R : r;
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonGroupFrameWidths(int AButtonCount, int AButtonIndex) const
{
    TRect r{1, 2, 1, 2};
    if (AButtonIndex == 0) r.Left = 2;
    if (AButtonIndex == AButtonCount - 1 && AButtonIndex != 0) r.Right = 2;
    return r;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonGlyphColor(TcxButtonState AState) const
{
    if (AState == cxbsPressed) return clHighlightText;
    return TcxCustomLookAndFeelPainter::ButtonGlyphColor(AState);
}

void TcxUltraFlatLookAndFeelPainter::PaintGroupedButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                        int AButtonCount, int AButtonIndex,
                                                        TColor ABorderColor) const
{
    const bool first = AButtonIndex == 0, last = AButtonIndex == AButtonCount - 1;
    ++R.Top;
    --R.Bottom;
    if (first) ++R.Left;
    if (last) --R.Right;
    ACanvas->Brush()->SetStyle(bsSolid);
    if (AState == cxbsNormal || AState == cxbsDisabled) {
        ACanvas->FrameRect(R, ABorderColor);
        R = Shrunk(R, 1);
    } else {
        if (!first) {
            ACanvas->FillRect({R.Left, R.Top, R.Left + 1, R.Bottom}, HotBorderColor());
            ++R.Left;
        }
        if (!last) {
            ACanvas->FillRect({R.Right - 1, R.Top, R.Right, R.Bottom}, HotBorderColor());
            --R.Right;
        }
    }
    ACanvas->FillRect(R, ButtonFaceColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonFrame(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    if (AState == cxbsDefault) {
        ACanvas->FrameRect(R, clWindowFrame);
        ACanvas->FrameRect(Shrunk(R, 1), clWindowFrame);
    } else {
        ACanvas->FrameRect(R, AState == cxbsNormal ? clBtnText : clHighlight);
    }
}

void TcxUltraFlatLookAndFeelPainter::DrawNavigatorFrame(TcxCanvas* ACanvas, const TRect& R, bool AFocused,
                                                        bool ASelected) const
{
    ACanvas->FrameRect(R, AFocused ? clBtnText : ASelected ? HotBorderColor() : clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded,
                                                   TColor AColor) const
{
    const TRect whole = R;
    ACanvas->FrameRect(R, clBtnShadow);
    R = Shrunk(R, 1);
    ACanvas->FillRect(R, AColor == clDefault ? clBtnFace : AColor);
    cxLookAndFeelPainters::DrawPlusMinus(ACanvas, R, AExpanded, clBtnText);
    ACanvas->ExcludeClipRect(whole);
}

void TcxUltraFlatLookAndFeelPainter::DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R,
                                                    TcxButtonState AState) const
{
    ACanvas->FrameRect(R, clBtnText);
    ACanvas->FrameRect(Shrunk(R, 1), CheckFaceColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderEx(TcxCanvas* ACanvas, const TRect& ABounds,
                                                  const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                                  TcxBorders ABorders, TcxButtonState AState,
                                                  TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                  bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                                  TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                  const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    DrawContent(ACanvas, ABounds, Shrunk(ATextAreaBounds, 1), AAlignmentHorz, AAlignmentVert, AMultiLine,
                AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground);
    DrawHeaderFrame(ACanvas, Shrunk(ABounds, 1), ANeighbors, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxNeighbors ANeighbors,
                                                     TcxBorders ABorders) const
{
    TcxBorders sides{bRight, bBottom};
    if (ABorders.Contains(bLeft)) sides.Include(bLeft);
    if (ABorders.Contains(bTop)) sides.Include(bTop);
    ACanvas->FrameRect(R, clBtnText, 1, sides);
}

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderSides(TcxNeighbors ANeighbors) const
{
    TcxBorders r = cxBordersAll;
    if (ANeighbors.Contains(nLeft)) r.Exclude(bLeft);
    if (ANeighbors.Contains(nTop)) r.Exclude(bTop);
    return r;
}

void TcxUltraFlatLookAndFeelPainter::DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const
{
    DrawSortMarkFigure(ACanvas, R, AAscendingSorting, clBtnShadow, clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, FooterSeparatorColor(), 1, TcxBorders{bRight, bBottom});
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterCellFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    ACanvas->FrameRect(R, FooterSeparatorColor());
}

void TcxUltraFlatLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                              bool AIsFilterActive) const
{
    ACanvas->FrameRect(R, ButtonBorderColor(AState));
    R = Shrunk(R, 1);
    ACanvas->FillRect(R, ButtonFaceColor(AState));
    DrawFilterDropDownGlyph(ACanvas, R, AIsFilterActive ? TColor(0xFF0000) : ButtonGlyphColor(AState));
}

TPoint TcxUltraFlatLookAndFeelPainter::FilterCloseButtonSize() const
{
    TPoint p = TcxCustomLookAndFeelPainter::FilterCloseButtonSize();
    ++p.Y;
    return p;
}

TPoint TcxUltraFlatLookAndFeelPainter::ButtonSize117() const
{
    TPoint p = TcxCustomLookAndFeelPainter::ButtonSize117();
    return {p.X - 1, p.Y - 1};
}

void TcxUltraFlatLookAndFeelPainter::DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder,
                                                  TcxBorders ABorders, bool AVertical) const
{
    TColor color = TabsAreaColor();
    if (AVertical && ABorder == bBottom) color = TabDarkSideColor();
    if (!AVertical && ABorder == bRight) {
        color = TabDarkSideColor();
        R.Bottom -= TabFrameWidth(AVertical);
    }
    ACanvas->Brush()->SetStyle(bsSolid);
    ACanvas->FillRect(R, color);
}

void TcxUltraFlatLookAndFeelPainter::DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                                  bool AVertical) const
{
    ACanvas->DrawComplexFrame(R, TabsAreaColor(), TabsAreaColor(), ABorders, TabFrameWidth(AVertical));
}

void TcxUltraFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                                                       TcxScrollBarPart APart, TcxButtonState AState) const
{
    DrawFlatScrollBarPart(ACanvas, AHorizontal, R, APart, AState, false);
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonBorderColor(TcxButtonState AState) const
{
    return AState == cxbsNormal ? clBtnShadow : clHighlight;
}

// ---- shared resources ----------------------------------------------------------------------------------

namespace cxLookAndFeelPainters {

namespace {

// The size of one radio glyph, and the circle and dot within it. The
// system's check-box picture of the classic desktop holds 13 by 13 glyphs
// with a 12 by 12 circle and a 4 by 4 dot.
constexpr int RadioGlyphSize = 13;
constexpr int RadioCircle = 12;
constexpr TRect RadioDot{4, 4, 8, 8};

struct TResources {
    std::unique_ptr<TBitmap> Indicators[5];
    std::unique_ptr<TBitmap> Patterns[2];
    std::unique_ptr<TBitmap> AutoHide[2];
    std::vector<std::unique_ptr<TBitmap>> Radio;
    std::unique_ptr<TcxSystemPaletteChangedNotifier> Notifier;
    bool Ready = false;
};

TResources& Res()
{
    static TResources r;
    return r;
}

void MakePatterns()
{
    TResources& r = Res();
    for (int k = 0; k < 2; ++k) {
        auto bmp = std::make_unique<TBitmap>(8, 8);
        // Resolved now: the patterns are rebuilt when the colours change.
        const TColor first = TColor(ColorToRGB(k == 0 ? clBtnHighlight : cl3DDkShadow));
        const TColor second = TColor(ColorToRGB(k == 0 ? clBtnFace : clBlack));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) bmp->Canvas()->SetPixels(x, y, (x % 2) != (y % 2) ? first : second);
        r.Patterns[k] = std::move(bmp);
    }
}

void MakeShared()
{
    TResources& r = Res();
    if (r.Ready) return;
    static const char* const names[5] = {"CX_ARROWBITMAP", "CX_EDITBITMAP", "CX_INSERTBITMAP", "CX_MULTIDOTBITMAP",
                                         "CX_MULTIARROWBITMAP"};
    for (int i = 0; i < 5; ++i) {
        r.Indicators[i] = cxResources::LoadBitmap(names[i]);
        // Masked by white.
        r.Indicators[i]->SetTransparentColor(clWhite);
        r.Indicators[i]->SetTransparentMode(tmFixed);
    }
    MakePatterns();
    r.AutoHide[0] = cxResources::LoadBitmap("CX_AUTOHIDEON");
    r.AutoHide[1] = cxResources::LoadBitmap("CX_AUTOHIDEOFF");
    for (auto& g : r.AutoHide) g->SetTransparent(true);
    r.Ready = true;
}

// Pixel classes of the radio circle: 0 outside, 1 and 2 the outer ring's
// upper-left and lower-right halves, 3 and 4 the inner ring's, 5 the
// interior, 6 the dot.
std::vector<int> RadioClasses()
{
    const int W = RadioCircle, H = RadioCircle;
    auto inside = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= W || y >= H) return false;
        const double dx = (x + 0.5 - W / 2.0) / (W / 2.0), dy = (y + 0.5 - H / 2.0) / (H / 2.0);
        return dx * dx + dy * dy <= 1.0;
    };
    auto outer = [&](int x, int y) {
        return inside(x, y) && (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1));
    };
    std::vector<int> cls(size_t(W * H), 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int& c = cls[size_t(y * W + x)];
            if (!inside(x, y)) continue;
            if (outer(x, y)) {
                c = (H - 1) * (W - x - 1) >= y * (W - 1) ? 1 : 2;
            } else if (outer(x - 1, y) || outer(x + 1, y) || outer(x, y - 1) || outer(x, y + 1)) {
                const int s = x + y;
                if (s < W - 1)
                    c = 3;
                else if (s > W - 1)
                    c = 4;
                else
                    c = x > W / 2 - 1 ? 4 : 3;
            } else {
                c = 5;
            }
            const bool corner = (x == RadioDot.Left || x == RadioDot.Right - 1) &&
                                (y == RadioDot.Top || y == RadioDot.Bottom - 1);
            if (PtInRect(RadioDot, {x, y}) && !corner) c = 6;
        }
    return cls;
}

TColor RadioInterior(int AKind, TcxButtonState AState)
{
    if (AState == cxbsDisabled) return clBtnFace;
    if (AKind == 2) {
        if (AState == cxbsHot) return cxGraphics::LightHotColor();
        if (AState == cxbsPressed) return cxGraphics::LightPressedColor();
        return clWindow;
    }
    return AState == cxbsPressed ? clBtnFace : clWindow;
}

void BuildRadioImages()
{
    TResources& r = Res();
    const std::vector<int> cls = RadioClasses();
    static const TcxButtonState states[4] = {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
    r.Radio.clear();
    r.Radio.reserve(96);
    for (int focused = 0; focused < 2; ++focused)
        for (int design = 0; design < 2; ++design)
            for (int kind = 0; kind < 3; ++kind)
                for (int checked = 0; checked < 2; ++checked)
                    for (TcxButtonState state : states) {
                        const TColor interior = RadioInterior(kind, state);
                        TColor ring[5];
                        if (kind == 0) {
                            ring[1] = clBtnShadow, ring[2] = clBtnHighlight, ring[3] = cl3DLight, ring[4] = cl3DLight;
                        } else if (kind == 1) {
                            ring[1] = clBtnShadow, ring[2] = clBtnHighlight, ring[3] = cl3DDkShadow, ring[4] = cl3DLight;
                        } else {
                            const bool lit = focused || state == cxbsHot || state == cxbsPressed ||
                                             (design && state != cxbsDisabled);
                            ring[1] = ring[2] = lit ? clHighlight : clBtnShadow;
                            ring[3] = ring[4] = interior;
                        }
                        const TColor dot = checked ? (state == cxbsDisabled ? clBtnShadow : clBtnText) : interior;
                        auto bmp = std::make_unique<TBitmap>();
                        bmp->SetPixelFormat(pf32bit);
                        bmp->SetSize(RadioGlyphSize, RadioGlyphSize);
                        for (int y = 0; y < RadioGlyphSize; ++y) {
                            uint8_t* row = bmp->ScanLine(y);
                            for (int x = 0; x < RadioGlyphSize; ++x) {
                                int c = x < RadioCircle && y < RadioCircle ? cls[size_t(y * RadioCircle + x)] : 0;
                                TColorRef rgb = 0;
                                switch (c) {
                                case 1: case 2: case 3: case 4: rgb = ColorToRGB(ring[c]); break;
                                case 5: rgb = ColorToRGB(interior); break;
                                case 6: rgb = ColorToRGB(dot); break;
                                default: break;
                                }
                                row[x * 4 + 0] = GetBValue(rgb);
                                row[x * 4 + 1] = GetGValue(rgb);
                                row[x * 4 + 2] = GetRValue(rgb);
                                row[x * 4 + 3] = c == 0 ? 0 : 255;
                            }
                        }
                        bmp->ImageChanged();
                        r.Radio.push_back(std::move(bmp));
                    }
}

}  // namespace

void Initialize()
{
    MakeShared();
    TResources& r = Res();
    if (!r.Notifier) {
        r.Notifier = std::make_unique<TcxSystemPaletteChangedNotifier>(true);
        r.Notifier->OnPaletteChanged = [](TObject*) { ReleaseRadioImages(); };
    }
}

void Finalize()
{
    TResources& r = Res();
    r.Notifier.reset();
    for (auto& b : r.Indicators) b.reset();
    for (auto& b : r.Patterns) b.reset();
    for (auto& b : r.AutoHide) b.reset();
    r.Radio.clear();
    r.Ready = false;
}

TBitmap* IndicatorImage(TcxIndicatorKind AKind)
{
    if (AKind <= ikNone || AKind > ikMultiArrow) return nullptr;
    MakeShared();
    return Res().Indicators[AKind - 1].get();
}

TBitmap* ScrollBarTrackPattern(bool APressed)
{
    MakeShared();
    return Res().Patterns[APressed ? 1 : 0].get();
}

TBitmap* AutoHideGlyph(bool AAlternate)
{
    MakeShared();
    return Res().AutoHide[AAlternate ? 1 : 0].get();
}

void RebuildScrollBarTrackPatterns()
{
    MakeShared();
    MakePatterns();
}

int RadioImageCount()
{
    return int(Res().Radio.size());
}

TBitmap* RadioImage(int AIndex)
{
    TResources& r = Res();
    if (r.Radio.empty()) BuildRadioImages();
    if (AIndex < 0 || AIndex >= int(r.Radio.size())) return nullptr;
    return r.Radio[size_t(AIndex)].get();
}

int RadioImageIndex(bool AFocused, bool ADesignTime, int APainterKind, bool AChecked, TcxButtonState AState)
{
    int s = 0;
    switch (AState) {
    case cxbsHot: s = 1; break;
    case cxbsPressed: s = 2; break;
    case cxbsDisabled: s = 3; break;
    default: s = 0; break;
    }
    const int kind = std::clamp(APainterKind, 0, 2);
    return (AFocused ? 48 : 0) + (ADesignTime ? 24 : 0) + kind * 8 + (AChecked ? 4 : 0) + s;
}

void ReleaseRadioImages()
{
    Res().Radio.clear();
}

TSize RadioButtonSize()
{
    return {RadioGlyphSize, RadioGlyphSize};
}

}  // namespace cxLookAndFeelPainters
