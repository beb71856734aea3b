#include "cxWinXPPainters.h"

#include "TextUtils.h"

#include <cstring>

QZ_CLASS_IMPL(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter)

TcxCustomLookAndFeelPainterClass TcxWinXPLookAndFeelPainter::Instance()
{
    static const TcxWinXPLookAndFeelPainter p;
    return &p;
}

namespace {

constexpr int TS_TRUE = 1;
constexpr int TMT_TEXTCOLOR = 3803;
constexpr int ButtonFaceColorProp = 204;

HTHEME Theme(TdxThemedObjectType t) { return dxThemeManager::OpenTheme(t); }

int StateIndex(TcxButtonState s) { return int(s); }

int CheckState(TcxButtonState AState, bool AChecked)
{
    static const int unchecked[5] = {1, 1, 2, 3, 4};
    static const int checked[5] = {5, 5, 6, 7, 8};
    return AChecked ? checked[StateIndex(AState)] : unchecked[StateIndex(AState)];
}

int HeaderState(TcxButtonState AState)
{
    static const int t[5] = {1, 1, 2, 3, 1};
    return t[StateIndex(AState)];
}

int SimpleState(TcxButtonState AState)
{
    static const int t[5] = {1, 1, 2, 3, 4};
    return t[StateIndex(AState)];
}

int ChevronState(TcxButtonState AState)
{
    static const int t[5] = {1, 1, 2, 3, 1};
    return t[StateIndex(AState)];
}

int ScrollArrowState(TcxPainterArrow ADirection, TcxButtonState AState)
{
    static const int base[4] = {1, 5, 9, 13};
    int add = 0;
    if (AState == cxbsHot) add = 1;
    else if (AState == cxbsPressed) add = 2;
    else if (AState == cxbsDisabled) add = 3;
    return base[ADirection] + add;
}

int ThumbState(TcxButtonState AState)
{
    switch (AState) {
    case cxbsHot: return 2;
    case cxbsPressed: return 3;
    case cxbsDisabled: return 4;
    default: return 1;
    }
}

TRect ContentRect(HTHEME theme, int part, int state, const TRect& bounds, HDC dc = nullptr)
{
    TRect r = bounds;
    if (dxUxTheme::GetThemeBackgroundContentRect(theme, dc, part, state, bounds, r) != dxS_OK) return bounds;
    return r;
}

bool TrueSize(HTHEME theme, int part, int state, TSize& size)
{
    return dxUxTheme::GetThemePartSize(theme, nullptr, part, state, nullptr, TS_TRUE, size) == dxS_OK;
}

std::u16string Wide(const std::string& s) { return Utf8ToUtf16(s); }

TRect Shrunk(TRect r, int d)
{
    InflateRect(r, -d, -d);
    return r;
}

}  // namespace

int cxLookAndFeelPainters::ButtonStateToThemeState(TcxButtonState AState)
{
    static const int t[5] = {5, 1, 2, 3, 4};
    return t[StateIndex(AState)];
}

DWORD cxLookAndFeelPainters::ThemedTextFlags(TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                             bool AMultiLine, bool AShowEndEllipsis)
{
    DWORD f = DT_NOPREFIX | DT_EDITCONTROL;
    if (AAlignmentHorz == taRightJustify) f |= DT_RIGHT;
    else if (AAlignmentHorz == taCenter) f |= DT_CENTER;
    if (AAlignmentVert == vaBottom) f |= DT_BOTTOM;
    else if (AAlignmentVert == vaCenter) f |= DT_VCENTER;
    f |= AMultiLine ? DT_WORDBREAK : DT_SINGLELINE;
    if (AShowEndEllipsis) f |= DT_END_ELLIPSIS;
    return f;
}

namespace {
// Moves every pixel (x, y) to row x (or w-1-x when AMirrorRows) and column y, so the
// bitmap comes out h wide and w high.
void SwapBitmapAxes(TBitmap* ABitmap, bool AMirrorRows)
{
    if (!ABitmap || ABitmap->Empty()) return;
    ABitmap->SetPixelFormat(pf32bit);
    const int w = ABitmap->Width(), h = ABitmap->Height();
    std::vector<uint32_t> src(size_t(w * h));
    for (int y = 0; y < h; ++y) std::memcpy(&src[size_t(y * w)], ABitmap->ScanLine(y), size_t(w) * 4);
    std::vector<uint32_t> dst(size_t(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dst[size_t((AMirrorRows ? w - 1 - x : x) * h + y)] = src[size_t(y * w + x)];
    ABitmap->SetSize(h, w);
    for (int y = 0; y < w; ++y) std::memcpy(ABitmap->ScanLine(y), &dst[size_t(y * h)], size_t(h) * 4);
    ABitmap->ImageChanged();
}
}  // namespace

void cxLookAndFeelPainters::RotateBitmapCounterClockwise(TBitmap* ABitmap)
{
    // Counter-clockwise: the top-right corner goes to the top-left, the
    // top-left to the bottom-left.
    SwapBitmapAxes(ABitmap, true);
}

void cxLookAndFeelPainters::TransposeBitmap(TBitmap* ABitmap)
{
    SwapBitmapAxes(ABitmap, false);
}

// ---- metrics ----------------------------------------------------------------------------------------

int TcxWinXPLookAndFeelPainter::FrameWidth() const
{
    return Theme(themeListView) ? 1 : TcxStandardLookAndFeelPainter::FrameWidth();
}

int TcxWinXPLookAndFeelPainter::ButtonFrameWidth(TcxButtonState AState) const
{
    HTHEME t = Theme(themeButton);
    if (!t) return TcxStandardLookAndFeelPainter::ButtonFrameWidth(cxbsNormal);
    return ContentRect(t, 1, cxLookAndFeelPainters::ButtonStateToThemeState(AState), {0, 0, 100, 100}).Left;
}

TColor TcxWinXPLookAndFeelPainter::ButtonFaceColor(TcxButtonState AState) const
{
    HTHEME t = Theme(themeButton);
    TColorRef c = 0;
    if (t && dxUxTheme::GetThemeColor(t, 1, cxLookAndFeelPainters::ButtonStateToThemeState(AState),
                                      ButtonFaceColorProp, c) == dxS_OK)
        return TColor(c);
    return TcxStandardLookAndFeelPainter::ButtonFaceColor(AState);
}

TRect TcxWinXPLookAndFeelPainter::ButtonFocusBounds(TcxCanvas* ACanvas, const TRect& R) const
{
    HTHEME t = Theme(themeButton);
    TRect r;
    if (t && dxUxTheme::GetThemeBackgroundContentRect(t, ACanvas ? ACanvas->Handle() : nullptr, 1, 1, R, r) ==
                 dxS_OK)
        return r;
    return TcxStandardLookAndFeelPainter::ButtonFocusBounds(ACanvas, R);
}

TRect TcxWinXPLookAndFeelPainter::ButtonGroupFrameWidths(int AButtonCount, int AButtonIndex) const
{
    HTHEME t = Theme(themeButton);
    if (!t) return TcxStandardLookAndFeelPainter::ButtonGroupFrameWidths(AButtonCount, AButtonIndex);
    HDC dc = GetDC(nullptr);
    TRect c = ContentRect(t, 1, 1, {0, 0, 100, 100}, dc);
    ReleaseDC(nullptr, dc);
    TRect r{c.Left, c.Top, 100 - c.Right, 100 - c.Bottom};
    if (dxUxTheme::IsThemeBackgroundPartiallyTransparent(t, 1, 1)) {
        --r.Left;
        --r.Top;
        ++r.Right;
        ++r.Bottom;
    }
    return r;
}

TColor TcxWinXPLookAndFeelPainter::ButtonGlyphColor(TcxButtonState AState) const
{
    HTHEME t = Theme(themeButton);
    TColorRef c = 0;
    if (t && dxUxTheme::GetThemeColor(t, 1, cxLookAndFeelPainters::ButtonStateToThemeState(AState), TMT_TEXTCOLOR,
                                      c) == dxS_OK)
        return TColor(c);
    return TcxStandardLookAndFeelPainter::ButtonGlyphColor(AState);
}

int TcxWinXPLookAndFeelPainter::ExpandBoxSize() const
{
    TSize s;
    HTHEME t = Theme(themeTreeView);
    if (t && TrueSize(t, 2, 2, s)) return s.cx;
    return TcxStandardLookAndFeelPainter::ExpandBoxSize();
}

int TcxWinXPLookAndFeelPainter::GroupChevronButtonSize() const
{
    TSize s;
    HTHEME t = Theme(themeExplorerBar);
    if (t && TrueSize(t, 7, 1, s)) return s.cx;
    return TcxStandardLookAndFeelPainter::GroupChevronButtonSize();
}

bool TcxWinXPLookAndFeelPainter::IsPointInGroupChevronButton(const TRect& R, const TPoint& P) const
{
    HTHEME t = Theme(themeExplorerBar);
    HRGN rgn = nullptr;
    if (t && dxUxTheme::GetThemeBackgroundRegion(t, nullptr, 7, 1, R, rgn) == dxS_OK && rgn) {
        bool in = PtInRegion(rgn, P.X, P.Y) != 0;
        DeleteObject(rgn);
        return in;
    }
    return TcxStandardLookAndFeelPainter::IsPointInGroupChevronButton(R, P);
}

int TcxWinXPLookAndFeelPainter::SmallExpandBoxSize() const
{
    return Theme(themeTreeView) ? ExpandBoxSize() : TcxStandardLookAndFeelPainter::SmallExpandBoxSize();
}

int TcxWinXPLookAndFeelPainter::CheckFrameWidth() const
{
    return Theme(themeButton) ? 0 : TcxStandardLookAndFeelPainter::CheckFrameWidth();
}

int TcxWinXPLookAndFeelPainter::HeaderFrameWidth() const
{
    HTHEME t = Theme(themeHeader);
    if (!t) return TcxStandardLookAndFeelPainter::HeaderFrameWidth();
    TRect c = ContentRect(t, 1, 1, {0, 0, 100, 100});
    return (c.Left + c.Top) / 2;
}

int TcxWinXPLookAndFeelPainter::FooterCellFrameWidth() const
{
    HTHEME t = Theme(themeTrackBar);
    if (!t) return TcxStandardLookAndFeelPainter::FooterCellFrameWidth();
    return ContentRect(t, 1, 1, {0, 0, 100, 100}).Left;
}

TPoint TcxWinXPLookAndFeelPainter::FilterActivateButtonSize() const
{
    TSize s;
    HTHEME t = Theme(themeButton);
    if (t && TrueSize(t, 3, 5, s)) return {s.cx, s.cy};
    return TcxStandardLookAndFeelPainter::FilterActivateButtonSize();
}

TPoint TcxWinXPLookAndFeelPainter::FilterCloseButtonSize() const
{
    TSize s;
    HTHEME t = Theme(themeWindow);
    if (t && TrueSize(t, 19, 1, s)) return {s.cx + 4, s.cy + 4};
    return TcxStandardLookAndFeelPainter::FilterCloseButtonSize();
}

TPoint TcxWinXPLookAndFeelPainter::AutoHideButtonSize() const
{
    TSize s;
    HTHEME t = Theme(themeExplorerBar);
    if (t && TrueSize(t, 3, 1, s)) return {s.cx, s.cy};
    return TcxStandardLookAndFeelPainter::AutoHideButtonSize();
}

int TcxWinXPLookAndFeelPainter::TabContentOffset() const { return Theme(themeTab) ? 1 : 0; }
int TcxWinXPLookAndFeelPainter::TabsAreaOffset() const { return Theme(themeTab) ? 1 : 0; }

// ---- drawing -------------------------------------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawThemedText(TcxCanvas* ACanvas, HTHEME ATheme, int APartId, int AStateId,
                                                const TRect& R, TAlignment AAlignmentHorz,
                                                TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                                                TColor ATextColor) const
{
    if (AText.empty()) return;
    if (AFont) ACanvas->SetFont(AFont);
    ACanvas->Font()->SetColor(ATextColor);
    const std::u16string w = Wide(AText);
    dxUxTheme::DrawThemeText(ATheme, ACanvas->Handle(), APartId, AStateId, w, int(w.size()),
                             cxLookAndFeelPainters::ThemedTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine,
                                                                    AShowEndEllipsis),
                             0, R);
}

void TcxWinXPLookAndFeelPainter::DrawScrollArrow(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                                 TcxPainterArrow AArrowDirection, bool AWithFrame) const
{
    if (HTHEME t = Theme(themeScrollBar)) {
        dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 1, ScrollArrowState(AArrowDirection, AState), R,
                                       nullptr);
        return;
    }
    TcxCustomLookAndFeelPainter::DrawScrollArrow(ACanvas, R, AState, AArrowDirection, AWithFrame);
}

void TcxWinXPLookAndFeelPainter::DrawArrowButtonFace(TcxCanvas* ACanvas, const TRect& R,
                                                     TcxButtonState AState) const
{
    if (HTHEME t = Theme(themeButton)) {
        dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 1, cxLookAndFeelPainters::ButtonStateToThemeState(AState),
                                       R, nullptr);
        return;
    }
    TcxCustomLookAndFeelPainter::DrawArrowButtonFace(ACanvas, R, AState);
}

void TcxWinXPLookAndFeelPainter::DrawFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    HTHEME t = Theme(themeListView);
    if (!t) {
        TcxStandardLookAndFeelPainter::DrawFrame(ACanvas, R);
        return;
    }
    HDC dc = ACanvas->Handle();
    const int saved = SaveDC(dc);
    ACanvas->ExcludeClipRect(Shrunk(R, 1));
    dxUxTheme::DrawThemeBackground(t, dc, 5, 0, R, nullptr);
    RestoreDC(dc, saved);
}

void TcxWinXPLookAndFeelPainter::PaintButton(TcxCanvas* ACanvas, TRect R, const std::string& ACaption,
                                             TcxButtonState AState, bool AWithFrame, TColor ABkColor,
                                             TColor ATextColor) const
{
    HTHEME t = Theme(themeButton);
    if (!t) {
        TcxCustomLookAndFeelPainter::PaintButton(ACanvas, R, ACaption, AState, AWithFrame, ABkColor, ATextColor);
        return;
    }
    const int state = cxLookAndFeelPainters::ButtonStateToThemeState(AState);
    dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 1, state, R, nullptr);
    if (!ACaption.empty()) {
        const std::u16string w = Wide(ACaption);
        dxUxTheme::DrawThemeText(t, ACanvas->Handle(), 1, state, w, int(w.size()),
                                 DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, R);
    }
}

void TcxWinXPLookAndFeelPainter::DrawExpandBox(TcxCanvas* ACanvas, TRect R, bool AExpanded, TColor AColor) const
{
    HTHEME t = Theme(themeTreeView);
    if (!t) {
        TcxStandardLookAndFeelPainter::DrawExpandBox(ACanvas, R, AExpanded, AColor);
        return;
    }
    dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 2, AExpanded ? 2 : 1, R, nullptr);
    ACanvas->ExcludeClipRect(R);
}

void TcxWinXPLookAndFeelPainter::DrawGroupChevronButton(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                        TcxButtonState AState) const
{
    HTHEME t = Theme(themeExplorerBar);
    if (!t) {
        TcxStandardLookAndFeelPainter::DrawGroupChevronButton(ACanvas, R, AExpanded, AState);
        return;
    }
    dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), AExpanded ? 6 : 7, ChevronState(AState), R, nullptr);
}

void TcxWinXPLookAndFeelPainter::DrawSmallExpandBox(TcxCanvas* ACanvas, const TRect& R, bool AExpanded,
                                                    TColor ABorderColor, TColor AColor) const
{
    if (Theme(themeTreeView))
        DrawExpandBox(ACanvas, R, AExpanded, clDefault);
    else
        TcxCustomLookAndFeelPainter::DrawSmallExpandBox(ACanvas, R, AExpanded, ABorderColor, AColor);
}

void TcxWinXPLookAndFeelPainter::DrawCheckMark(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState,
                                               bool AChecked, TColor AColor) const
{
    if (HTHEME t = Theme(themeButton)) {
        dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 3, CheckState(AState, AChecked), R, nullptr);
        return;
    }
    TcxCustomLookAndFeelPainter::DrawCheckMark(ACanvas, R, AState, AChecked, AColor);
}

void TcxWinXPLookAndFeelPainter::DrawCheckFrame(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) const
{
    if (Theme(themeButton)) return;
    TcxStandardLookAndFeelPainter::DrawCheckFrame(ACanvas, R, AState);
}

void TcxWinXPLookAndFeelPainter::DrawRadioButton(TcxCanvas* ACanvas, int X, int Y, TcxButtonState AState,
                                                 bool AChecked, bool AFocused, TColor ABkColor,
                                                 bool AIsDesigning) const
{
    HTHEME t = Theme(themeButton);
    if (!t) {
        // Only reached when the theme went away meanwhile: the standard circle.
        TcxStandardLookAndFeelPainter::Instance()->DrawRadioButton(ACanvas, X, Y, AState, AChecked, AFocused,
                                                                   ABkColor, AIsDesigning);
        return;
    }
    TSize s{13, 13};
    TrueSize(t, 2, CheckState(AState, AChecked), s);
    dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 2, CheckState(AState, AChecked), {X, Y, X + s.cx, Y + s.cy},
                                   nullptr);
}

void TcxWinXPLookAndFeelPainter::DrawHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                            TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                            TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                            bool AMultiLine, bool AShowEndEllipsis, const std::string& AText,
                                            TFont* AFont, TColor ATextColor, TColor ABkColor,
                                            const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    HTHEME t = Theme(themeHeader);
    if (!t) {
        TcxStandardLookAndFeelPainter::DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState,
                                                  AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis,
                                                  AText, AFont, ATextColor, ABkColor, AOnDrawBackground);
        return;
    }
    const int state = HeaderState(AState);
    dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 1, state, ABounds, nullptr);
    TRect text = ATextAreaBounds;
    if (AState == cxbsPressed) OffsetRect(text, 1, 1);
    DrawThemedText(ACanvas, t, 1, state, text, AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AText,
                   AFont, ATextColor);
}

void TcxWinXPLookAndFeelPainter::DrawSortMark(TcxCanvas* ACanvas, const TRect& R, bool AAscendingSorting) const
{
    TcxUltraFlatLookAndFeelPainter::Instance()->DrawSortMark(ACanvas, R, AAscendingSorting);
}

void TcxWinXPLookAndFeelPainter::DrawFooterCell(TcxCanvas* ACanvas, const TRect& ABounds, TAlignment AAlignmentHorz,
                                                TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                const std::string& AText, TFont* AFont, TColor ATextColor,
                                                TColor ABkColor,
                                                const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    HTHEME t = Theme(themeTrackBar);
    if (!t) {
        TcxStandardLookAndFeelPainter::DrawFooterCell(ACanvas, ABounds, AAlignmentHorz, AAlignmentVert, AMultiLine,
                                                      AText, AFont, ATextColor, ABkColor, AOnDrawBackground);
        return;
    }
    dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 1, 1, ABounds, nullptr);
    DrawThemedText(ACanvas, t, 1, 1, FooterCellTextAreaBounds(ABounds), AAlignmentHorz, AAlignmentVert, AMultiLine,
                   false, AText, AFont, ATextColor);
}

void TcxWinXPLookAndFeelPainter::DrawFooterFrame(TcxCanvas* ACanvas, const TRect& R) const
{
    if (HTHEME t = Theme(themeEdit)) {
        dxUxTheme::DrawThemeEdge(t, ACanvas->Handle(), 0, 0, R, BDR_RAISEDINNER, BF_RECT, nullptr);
        return;
    }
    TcxStandardLookAndFeelPainter::DrawFooterFrame(ACanvas, R);
}

void TcxWinXPLookAndFeelPainter::DrawFilterCloseButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    if (HTHEME t = Theme(themeWindow)) {
        dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 19, SimpleState(AState), R, nullptr);
        return;
    }
    TcxCustomLookAndFeelPainter::DrawFilterCloseButton(ACanvas, R, AState);
}

void TcxWinXPLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                          bool AIsFilterActive) const
{
    if (HTHEME t = Theme(themeComboBox)) {
        dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 1, SimpleState(AState), R, nullptr);
        return;
    }
    TcxStandardLookAndFeelPainter::DrawFilterDropDownButton(ACanvas, R, AState, AIsFilterActive);
}

void TcxWinXPLookAndFeelPainter::DrawCrossGlyphButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState) const
{
    HTHEME t = Theme(themeButton);
    if (!t) {
        TcxCustomLookAndFeelPainter::DrawCrossGlyphButton(ACanvas, R, AState);
        return;
    }
    dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 1, cxLookAndFeelPainters::ButtonStateToThemeState(AState), R,
                                   nullptr);
    R = Shrunk(R, 2);
    if (AState == cxbsDisabled) OffsetRect(R, 1, 1);
    DrawCrossGlyph(ACanvas, R, AState);
}

void TcxWinXPLookAndFeelPainter::DrawAutoHideButton(TcxCanvas* ACanvas, TRect R, TcxButtonState AState,
                                                    bool AAlternate, TColor ABkColor) const
{
    HTHEME t = Theme(themeExplorerBar);
    if (!t) {
        TcxCustomLookAndFeelPainter::DrawAutoHideButton(ACanvas, R, AState, AAlternate, ABkColor);
        return;
    }
    TBitmap bmp;
    bmp.SetPixelFormat(pf32bit);
    bmp.SetSize(R.Width(), R.Height());
    bmp.Canvas()->Brush()->SetColor(ABkColor);
    bmp.Canvas()->FillRect({0, 0, R.Width(), R.Height()});
    dxUxTheme::DrawThemeBackground(t, bmp.Canvas()->Handle(), 3, HeaderState(AState), {0, 0, R.Width(), R.Height()},
                                   nullptr);
    if (!AAlternate) cxLookAndFeelPainters::RotateBitmapCounterClockwise(&bmp);
    ACanvas->DrawGraphic(R.Left, R.Top, &bmp);
}

void TcxWinXPLookAndFeelPainter::DrawTab(TcxCanvas* ACanvas, TRect R, TcxBorders ABorders, const std::string& AText,
                                         TcxButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor,
                                         TColor ABkColor) const
{
    HTHEME t = Theme(themeTab);
    if (!t) {
        TcxStandardLookAndFeelPainter::DrawTab(ACanvas, R, ABorders, AText, AState, AVertical, AFont, ATextColor,
                                               ABkColor);
        return;
    }
    const int state = SimpleState(AState);
    TRect W = R;
    std::unique_ptr<TBitmap> bmp;
    HDC dc = ACanvas->Handle();
    if (AVertical) {
        W = {0, 0, R.Height(), R.Width()};
        bmp = std::make_unique<TBitmap>();
        bmp->SetPixelFormat(pf32bit);
        bmp->SetSize(W.Width(), W.Height());
        dc = bmp->Canvas()->Handle();
    }
    TRect T = W;
    if (AVertical) {
        if (!ABorders.Contains(bTop)) T.Left -= 2;
        if (!ABorders.Contains(bBottom)) T.Right += 2;
    } else {
        if (!ABorders.Contains(bLeft)) T.Left -= 2;
        if (!ABorders.Contains(bRight)) T.Right += 2;
    }
    if (AState == cxbsPressed)
        ++T.Bottom;
    else
        --W.Bottom;
    dxUxTheme::DrawThemeBackground(t, dc, 1, state, T, &W);
    if (AVertical) {
        cxLookAndFeelPainters::TransposeBitmap(bmp.get());
        ACanvas->DrawGraphic(R.Left, R.Top, bmp.get());
        auto transpose = [&](TRect& r) {
            r = {r.Top + R.Left, r.Left + R.Top, r.Bottom + R.Left, r.Right + R.Top};
        };
        transpose(T);
        transpose(W);
    }
    if (AState == cxbsPressed) {
        if (AVertical)
            T.Right -= 2;
        else
            T.Bottom -= 2;
    }
    DrawThemedText(ACanvas, t, 1, state, T, taCenter, vaCenter, false, false, AText, AFont, ATextColor);
}

void TcxWinXPLookAndFeelPainter::DrawTabFrame(TcxCanvas* ACanvas, TRect R, TcxBorder ABorder, TcxBorders ABorders,
                                              bool AVertical) const
{
    if (Theme(themeTab)) return;
    TcxStandardLookAndFeelPainter::DrawTabFrame(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxWinXPLookAndFeelPainter::DrawTabsArea(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders,
                                              bool AVertical) const
{
    HTHEME t = Theme(themeTab);
    if (!t) {
        TcxStandardLookAndFeelPainter::DrawTabsArea(ACanvas, R, ABorders, AVertical);
        return;
    }
    TRect c = ContentRect(t, 9, 0, R, ACanvas->Handle());
    const int l = c.Left - R.Left, tp = c.Top - R.Top, r = R.Right - c.Right, b = R.Bottom - c.Bottom;
    TRect pane = R;
    if (AVertical) {
        pane.Bottom = R.Bottom + b - tp;
        pane.Right = R.Right + 10;
    } else {
        pane.Right = R.Right + r - l;
        pane.Bottom = R.Bottom + 10;
    }
    dxUxTheme::DrawThemeBackground(t, ACanvas->Handle(), 9, 0, pane, &R);
}

void TcxWinXPLookAndFeelPainter::DrawIndicatorCell(TcxCanvas* ACanvas, const TRect& R, TcxIndicatorKind AKind,
                                                   TColor ABkColor,
                                                   const TcxDrawBackgroundEvent& AOnDrawBackground) const
{
    TcxFlatLookAndFeelPainter::Instance()->DrawIndicatorCell(ACanvas, R, AKind, ABkColor, AOnDrawBackground);
}

void TcxWinXPLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* ACanvas, bool AHorizontal, TRect R,
                                                   TcxScrollBarPart APart, TcxButtonState AState) const
{
    HTHEME t = Theme(themeScrollBar);
    if (!t) {
        TcxStandardLookAndFeelPainter::DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
        return;
    }
    if (R.Right <= R.Left || R.Bottom <= R.Top) return;
    HDC dc = ACanvas->Handle();
    switch (APart) {
    case sbpLineUp:
    case sbpLineDown: {
        TcxPainterArrow dir = AHorizontal ? (APart == sbpLineUp ? paLeft : paRight)
                                          : (APart == sbpLineUp ? paUp : paDown);
        DrawScrollArrow(ACanvas, R, AState, dir, true);
        break;
    }
    case sbpThumbnail:
        dxUxTheme::DrawThemeBackground(t, dc, AHorizontal ? 2 : 3, ThumbState(AState), R, nullptr);
        dxUxTheme::DrawThemeBackground(t, dc, AHorizontal ? 8 : 9, 0, R, nullptr);
        break;
    case sbpPageUp:
        dxUxTheme::DrawThemeBackground(t, dc, AHorizontal ? 4 : 6, ThumbState(AState), R, nullptr);
        break;
    case sbpPageDown:
        dxUxTheme::DrawThemeBackground(t, dc, AHorizontal ? 5 : 7, ThumbState(AState), R, nullptr);
        break;
    default:
        break;
    }
}
