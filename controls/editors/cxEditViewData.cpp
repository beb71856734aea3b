// The view data and view info of the edits (declared in cxEdit.h): the
// layout of border, buttons and client area, button states from the mouse,
// measuring, and painting through the routines of cxEditPaintUtils.
#include "cxEdit.h"

#include "cxEditPaintUtils.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "dxThemeManager.h"

#include <algorithm>
#include <climits>

QZ_CLASS_IMPL(TcxEditButtonViewInfo, TPersistent)
QZ_CLASS_IMPL(TcxCustomEditViewInfo, TcxContainerViewInfo)
QZ_CLASS_IMPL(TcxCustomEditViewData, TPersistent)

namespace {
bool IsEmptyRect(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }
bool InRect(const TPoint& P, const TRect& R)
{
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
TRect Shrink(const TRect& R, const TRect& E)
{
    return TRect{R.Left + E.Left, R.Top + E.Top, R.Right - E.Right, R.Bottom - E.Bottom};
}
TRect Uniform(int W) { return TRect{W, W, W, W}; }
}  // namespace

// ---- properties: the classes of the chain ------------------------------------------------------

std::unique_ptr<TcxCustomEditViewData> TcxCustomEditProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                               bool AIsInplace)
{
    return std::make_unique<TcxCustomEditViewData>(this, AStyle, AIsInplace);
}

TClass TcxCustomEditProperties::GetViewInfoClass() const { return TcxCustomEditViewInfo::StaticClass(); }
TClass TcxCustomEditProperties::GetStyleClass() const { return TcxCustomEditStyle::StaticClass(); }

// ---- button view info -------------------------------------------------------------------------------

void TcxEditButtonViewInfo::Assign(TPersistent* Source)
{
    auto* b = dynamic_cast<TcxEditButtonViewInfo*>(Source);
    if (!b) { TPersistent::Assign(Source); return; }
    ThemeState = b->ThemeState;
    BackgroundColor = b->BackgroundColor;
    Bounds = b->Bounds;
    ButtonStyle = b->ButtonStyle;
    State = b->State;
}

bool TcxEditButtonViewInfo::Differs(const TcxEditButtonViewInfo* APrev) const
{
    return !APrev || ButtonStyle != APrev->ButtonStyle || State != APrev->State ||
           BackgroundColor != APrev->BackgroundColor || ThemeState != APrev->ThemeState;
}

// ---- view info ----------------------------------------------------------------------------------------

TcxCustomEditViewInfo::~TcxCustomEditViewInfo() = default;

void TcxCustomEditViewInfo::Assign(TObject* Source)
{
    TcxContainerViewInfo::Assign(Source);
    auto* v = dynamic_cast<TcxCustomEditViewInfo*>(Source);
    if (!v) return;
    BorderStyle = v->BorderStyle;
    EditThemeState = v->EditThemeState;
    ButtonsInfo.clear();
    for (auto& b : v->ButtonsInfo) {
        auto c = std::make_unique<TcxEditButtonViewInfo>();
        c->Assign(b.get());
        ButtonsInfo.push_back(std::move(c));
    }
}

void TcxCustomEditViewInfo::OffsetBounds(int DX, int DY)
{
    TcxContainerViewInfo::OffsetBounds(DX, DY);
    auto move = [&](TRect& r) { r.Left += DX; r.Right += DX; r.Top += DY; r.Bottom += DY; };
    move(InnerEditRect);
    move(TextArea);
    for (auto& b : ButtonsInfo) {
        move(b->Bounds);
        move(b->VisibleBounds);
    }
}

bool TcxCustomEditViewInfo::IsHotTrack() const
{
    return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(), [](auto& b) { return b->State == ebsHot; });
}

bool TcxCustomEditViewInfo::IsButtonAtPoint(const TPoint& P) const
{
    TPoint q{P.X - HorzOffset, P.Y - VertOffset};
    return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(), [&](auto& b) { return InRect(q, b->Bounds); });
}

bool TcxCustomEditViewInfo::NeedsRepaint(const TcxCustomEditViewInfo* APrev) const
{
    if (!APrev || APrev->EditThemeState != EditThemeState || APrev->ButtonCount() != ButtonCount() ||
        APrev->BorderStyle != BorderStyle || APrev->DrawnBorderColor != DrawnBorderColor)
        return true;
    for (int i = 0; i < ButtonCount(); ++i)
        if (Button(i)->Differs(APrev->Button(i))) return true;
    return false;
}

void TcxCustomEditViewInfo::Paint(TcxCanvas* ACanvas) { cxEditUtils::DrawEditButtons(ACanvas, this, true, 0); }

void TcxCustomEditViewInfo::DrawButton(TcxCanvas* ACanvas, int AIndex)
{
    TcxEditButtonViewInfo* b = Button(AIndex);
    TcxEditButtonStyle s = b->ButtonStyle;
    if (!Native && s == btsSimple && (b->State == ebsPressed || b->State == ebsHot)) s = btsFlat;
    TRect r = b->Bounds;
    DrawButtonBorder(ACanvas, AIndex, r, s);
}

void TcxCustomEditViewInfo::DrawButtonBorder(TcxCanvas* ACanvas, int AIndex, TRect& R, TcxEditButtonStyle AStyle)
{
    TcxEditButtonViewInfo* b = Button(AIndex);
    bool enabled = b->State != ebsDisabled;
    TColor back = FillColor;
    TColor f;
    TColor content = clBtnText;
    switch (AStyle) {
    case btsFlat: {
        f = enabled && b->Transparent ? back : clBtnFace;
        ACanvas->FillRect(TRect{R.Left, R.Top, R.Left + 1, R.Bottom - 1}, f);
        ++R.Left;
        if (b->State == ebsPressed) ACanvas->DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
        else ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
        InflateRect(R, -1, -1);
        break;
    }
    case btsSimple: {
        f = enabled ? back : clBtnFace;
        if (!Transparent) ACanvas->FrameRect(R, f);
        InflateRect(R, -1, -1);
        ACanvas->FillRect(TRect{R.Left, R.Top, R.Left + 1, R.Bottom},
                          Transparent && !b->Transparent ? clBtnFace : f);
        ++R.Left;
        if (!b->Transparent) f = clBtnFace;
        break;
    }
    case btsHotFlat: {
        bool innermost = (b->LeftAlignment && b->HasRightEdge) || (!b->LeftAlignment && b->HasLeftEdge);
        if (innermost) ACanvas->FrameRect(R, clBtnShadow);
        else if (b->LeftAlignment) {
            ACanvas->FrameRect(R, clBtnShadow, 1, TcxBorders{bLeft, bTop, bBottom});
            ++R.Right;
        } else {
            ACanvas->FrameRect(R, clBtnShadow, 1, TcxBorders{bTop, bRight, bBottom});
            --R.Left;
        }
        InflateRect(R, -1, -1);
        switch (b->State) {
        case ebsPressed: f = clBtnText; break;
        case ebsHot: f = clBtnShadow; break;
        default: f = clBtnFace;
        }
        if (b->Transparent && enabled) f = back;
        if (b->State == ebsPressed || b->State == ebsHot)
            content = b->State == ebsHot && b->Transparent ? clBtnShadow : clWindow;
        break;
    }
    case btsUltraFlat: {
        bool hotOrPressed = b->State == ebsHot || b->State == ebsPressed;
        if (!enabled) f = clBtnFace;
        else if (b->Transparent) f = back;
        else if (!hotOrPressed) f = clBtnFace;
        else
            f = TcxUltraFlatLookAndFeelPainter::Instance()->ButtonFaceColor(
                b->State == ebsPressed ? cxbsPressed : cxbsHot);
        if (!hotOrPressed || IsInplace) {
            if (hotOrPressed) ACanvas->FrameRect(R, clHighlight);
            else if (!Transparent) ACanvas->FrameRect(R, b->BackgroundColor);
            InflateRect(R, -1, -1);
        } else {
            bool touchesRight = R.Right >= InnerRect.Right;
            TColor leftLine = b->LeftAlignment ? (b->HasLeftEdge ? f : clHighlight) : clHighlight;
            TColor rightLine = b->LeftAlignment ? clHighlight : (touchesRight ? f : clHighlight);
            ACanvas->FillRect(TRect{R.Left, R.Top, R.Left + 1, R.Bottom}, leftLine);
            ACanvas->FillRect(TRect{R.Right - 1, R.Top, R.Right, R.Bottom}, rightLine);
            ACanvas->FillRect(TRect{R.Left, R.Top, R.Right, R.Top + 1}, f);
            ACanvas->FillRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, f);
            InflateRect(R, -1, -1);
        }
        break;
    }
    default: {   // bts3D, and themed buttons, which have no theme here
        f = enabled && b->Transparent ? back : clBtnFace;
        if (b->State == ebsPressed) {
            ACanvas->FrameRect(R, clBtnShadow);
            InflateRect(R, -1, -1);
            ACanvas->FrameRect(R, f);
        } else {
            ACanvas->DrawComplexFrame(R, cl3DLight, cl3DDkShadow);
            InflateRect(R, -1, -1);
            ACanvas->DrawComplexFrame(R, clBtnHighlight, clBtnShadow);
        }
        InflateRect(R, -1, -1);
        break;
    }
    }
    DrawButtonContent(ACanvas, AIndex, f, content, R);
}

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas* ACanvas, int AIndex, TColor ABack, TColor AContent,
                                              TRect R)
{
    if (IsEmptyRect(R)) return;
    TcxEditButtonViewInfo* b = Button(AIndex);
    bool pressed = b->State == ebsPressed;
    bool enabled = b->State != ebsDisabled;
    bool glyph = b->Kind == bkGlyph && b->Glyph && !b->Glyph->Empty() && b->Glyph->Width() > 0 &&
                 b->Glyph->Height() > 0;
    if (!glyph) ACanvas->FillRect(R, ABack);
    switch (b->Kind) {
    case bkEllipsis:
        cxEditUtils::DrawEllipsisDots(ACanvas, R, AContent, enabled, pressed);
        break;
    case bkDown: {
        TRect area = R;
        if (pressed) { area.Left += 1; area.Top += 1; }
        TSize a = cxEditUtils::CalculateArrowSize(TSize{R.Right - R.Left, R.Bottom - R.Top}, adDown);
        if (enabled) cxEditUtils::DrawArrows(ACanvas, area, adDown, AContent, a.cy);
        else {
            TRect shifted{area.Left + 1, area.Top + 1, area.Right + 1, area.Bottom + 1};
            cxEditUtils::DrawArrows(ACanvas, shifted, adDown, clBtnHighlight, a.cy);
            cxEditUtils::DrawArrows(ACanvas, area, adDown, clBtnShadow, a.cy);
        }
        break;
    }
    case bkGlyph:
        if (glyph) {
            TSize gs{std::min(b->Glyph->Width(), R.Right - R.Left), std::min(b->Glyph->Height(), R.Bottom - R.Top)};
            TPoint p = cxEditUtils::CenterInRect(R, gs, pressed);
            ACanvas->FillRect(R, ABack);
            ACanvas->SaveClipRegion();
            ACanvas->IntersectClipRect(TRect{p.X, p.Y, p.X + gs.cx, p.Y + gs.cy});
            ACanvas->DrawGlyph(p.X, p.Y, b->Glyph, enabled, ABack);
            ACanvas->RestoreClipRegion();
        }
        break;
    }
}

// ---- view data ----------------------------------------------------------------------------------------

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle,
                                             bool AIsInplace)
    : FProperties(AProperties), FStyle(AStyle), FIsInplace(AIsInplace)
{
    InitializeDefaults();
    SelTextColor = clDefault;
    SelBackgroundColor = clDefault;
    CacheProperties();
}

void TcxCustomEditViewData::InitializeDefaults()
{
    InplaceEditBorderRect = TRect{0, 0, 0, 0};
    Enabled = true;
}

void TcxCustomEditViewData::CacheProperties()
{
    FBorderStyle = FStyle->EditBorderStyle();
    FVisibleButtonCount = FProperties->Buttons()->VisibleCount();
    FNotUsesDisplayFormatting = FProperties->UsesDisplayFormatting(false) == 0;
    TcxEditAlignment* a = FProperties->Alignment();
    FHorzAlignment = a->Horz();
    FVertAlignment = a->Vert();
    FNative = FStyle->LookAndFeel() && FStyle->LookAndFeel()->NativeStyle() &&
              dxThemeManager::OpenTheme(themeEdit) != 0;
}

TcxContainerBorderStyle TcxCustomEditViewData::GetContainerBorderStyle(int AHotTrackState)
{
    if (FIsInplace) return cbsNone;
    static const TcxContainerBorderStyle idle[6] = {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsSingle};
    static const TcxContainerBorderStyle active[6] = {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsSingle};
    int k = std::clamp(int(FBorderStyle), 0, 5);
    return AHotTrackState == 2 ? active[k] : idle[k];
}

bool TcxCustomEditViewData::HasShadow() { return FStyle->Shadow() && !FNative; }

TRect TcxCustomEditViewData::GetBorderExtent()
{
    if (FIsInplace) return InplaceEditBorderRect;
    TRect r = FStyle->TransparentBorder() || FStyle->HotTrack() || FNative
                  ? Uniform(2)
                  : Uniform(cxEditUtils::GetEditBorderWidth(GetContainerBorderStyle(0)));
    if (HasShadow()) {
        r.Right += 3;
        r.Bottom += 3;
    }
    return r;
}

TRect TcxCustomEditViewData::GetContentExtent(TcxCanvas*)
{
    if (FIsInplace) return InplaceEditBorderRect;
    return GetBorderExtent();
}

TRect TcxCustomEditViewData::GetClientExtent(TcxCanvas*, TcxCustomEditViewInfo* AViewInfo)
{
    TRect e = GetBorderExtent();
    e.Bottom += HorzScrollBarHeight;
    e.Right += VertScrollBarWidth;
    const TRect& b = AViewInfo->OuterRect;
    for (auto& btn : AViewInfo->ButtonsInfo) {
        if (btn->LeftAlignment) e.Left = std::max(e.Left, btn->VisibleBounds.Right - b.Left);
        else e.Right = std::max(e.Right, b.Right - btn->VisibleBounds.Left);
    }
    return e;
}

void TcxCustomEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                      TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TcxCustomEditViewInfo* vi = AViewInfo;
    vi->EditProperties = FProperties;
    FBounds = ABounds;
    vi->OuterRect = ABounds;
    vi->BorderSides = FStyle->Edges();
    vi->Font = FStyle->Font();
    vi->Enabled = Enabled;
    vi->Focused = Focused;
    vi->InnerEditVisible = InnerEditVisible;
    vi->IsInnerTextEdit = IsInnerTextEdit;
    vi->IsDesigning = IsDesigning;
    vi->IsInplace = FIsInplace;
    vi->EditorFlag = EditorFlag;
    vi->EditorOptions = EditorOptions;
    vi->Shadow = !FIsInplace && HasShadow();
    vi->DrawShadow = vi->Shadow;
    vi->ReadOnly = ReadOnly;

    // The container state.
    int state;
    if (!Enabled) state = cxesDisabled;
    else if (IsDesigning) state = cxesNormal;
    else {
        state = Focused ? cxesActive : cxesNormal;
        if (InRect(P, cxEditUtils::GetEditVisibleBounds(vi, ABounds)) && (AShift.Empty() || CaptureButtonIndex >= 0))
            state |= cxesHot;
    }
    ContainerState = state;
    vi->ContainerState = state;
    IsActiveOrHot = (state & (cxesActive | cxesHot)) != 0;

    int hot = (IsDesigning || FIsInplace || !FStyle->HotTrack()) ? 0 : IsActiveOrHot ? 2 : 1;
    vi->HotTrackState = hot;
    vi->HotLevel = hot;
    vi->BorderStyle = GetContainerBorderStyle(hot);
    vi->DrawnBorderStyle = vi->BorderStyle;
    vi->DrawnBorderWidth = cxEditUtils::GetEditBorderWidth(vi->BorderStyle);

    // Edit-level values.
    vi->Native = FNative;
    vi->UseThemes = FNative;
    if (!Enabled) vi->EditThemeState = 4;
    else if (ReadOnly) vi->EditThemeState = 6;
    else if (Focused) vi->EditThemeState = 5;
    else if (state & cxesHot) vi->EditThemeState = 2;
    else vi->EditThemeState = 1;
    if (!FNative) vi->EditThemeState = 0;
    vi->BorderExtent = GetBorderExtent();
    vi->InnerRect = Shrink(ABounds, vi->BorderExtent);
    vi->TextArea = Shrink(ABounds, FIsInplace ? vi->BorderExtent : GetBorderExtent());
    vi->HasInplaceBorder = !IsEmptyRect(InplaceEditBorderRect) ||
                           InplaceEditBorderRect.Left + InplaceEditBorderRect.Top + InplaceEditBorderRect.Right +
                                   InplaceEditBorderRect.Bottom > 0;
    if (!FIsInplace) {
        if (FBorderStyle == ebsUltraFlat)
            vi->DrawnBorderColor = (state & cxesActive) || ((state & cxesHot) && FStyle->HotTrack()) ||
                                           (IsDesigning && Enabled)
                                       ? clHighlight
                                       : clBtnShadow;
        else
            vi->DrawnBorderColor = FStyle->BorderColor();
    }
    vi->TextColor = !Enabled ? clBtnShadow : FStyle->Font()->Color();
    vi->FillColor = !Enabled ? clBtnFace : FStyle->GetEffectiveColor();

    CalculateButtonsViewInfo(ACanvas, ABounds, P, AButton, AShift, vi, AIsMouseEvent);

    vi->ContentRect = Shrink(ABounds, GetClientExtent(ACanvas, vi));
    vi->InnerEditRect = vi->ContentRect;

    TcxEditPopupBorderStyle pbs = FStyle->PopupBorderStyle();
    if (pbs == epbsDefault) {
        if (FIsInplace) {
            TcxLookAndFeelKind k = FStyle->LookAndFeel() ? FStyle->LookAndFeel()->Kind() : lfStandard;
            pbs = k == lfFlat ? epbsFlat : k == lfStandard ? epbsFrame3D : epbsSingle;
        } else {
            pbs = (vi->BorderStyle == cbsNone || vi->BorderStyle == cbsFlat) ? epbsFlat : epbsSingle;
        }
    }
    vi->PopupBorderStyle = pbs;
}

void TcxCustomEditViewData::CalculateButtonsViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                                     int AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                                                     bool AIsMouseEvent)
{
    TcxCustomEditViewInfo* vi = AViewInfo;
    int prevPressed = AIsMouseEvent ? vi->PressedButtonIndex : -1;
    std::vector<int> prevStates;
    for (auto& b : vi->ButtonsInfo) prevStates.push_back(b->State);
    vi->ButtonsInfo.clear();
    vi->IsMousePressed = false;
    vi->PressedButtonIndex = vi->HotButtonIndex = -1;
    FFirstLeftButton = FLastLeftButton = FLastRightButton = FFirstRightButton = -1;

    TcxEditButtonTransparency tr = FStyle->ButtonTransparency();
    bool active = (ContainerState & cxesActive) != 0;
    if (FVisibleButtonCount == 0 || (!active && tr == ebtHideInactive) ||
        (!IsActiveOrHot && tr == ebtHideUnselected))
        return;

    TcxEditButtons* buttons = FProperties->Buttons();
    std::vector<int> items;
    for (int i = 0; i < buttons->Count(); ++i)
        if (buttons->Items(i)->Visible()) items.push_back(i);
    for (size_t k = 0; k < items.size(); ++k) vi->ButtonsInfo.push_back(std::make_unique<TcxEditButtonViewInfo>());

    TcxEditButtonStyle style = FStyle->ButtonStyle();
    if (style == btsDefault) {
        if (FBorderStyle == ebsUltraFlat) style = btsUltraFlat;
        else switch (vi->BorderStyle) {
            case cbsNone: style = btsSimple; break;
            case cbsSingle: style = btsHotFlat; break;
            case cbsThick:
            case cbs3D: style = bts3D; break;
            default: style = btsFlat; break;
            }
    }

    TRect r = Shrink(ABounds, GetContentExtent(ACanvas));
    for (int k = int(items.size()) - 1; k >= 0; --k) {
        TcxEditButtonViewInfo* b = vi->ButtonsInfo[size_t(k)].get();
        b->ButtonIndex = items[size_t(k)];
        b->ButtonStyle = style;
        CalculateButtonViewInfo(ACanvas, vi, r, k);
    }

    // States.
    for (int k = 0; k < vi->ButtonCount(); ++k) {
        TcxEditButtonViewInfo* b = vi->Button(k);
        int before = k < int(prevStates.size()) ? prevStates[size_t(k)] : ebsNormal;
        bool pressedByEditor = IsButtonPressed(vi, k);
        bool leftOnly = AShift == TShiftState{ssLeft} || AShift == TShiftState{ssLeft, ssDouble};
        if (!Enabled) b->State = ebsDisabled;
        else if (pressedByEditor || (!IsDesigning && InRect(P, b->VisibleBounds))) {
            bool returning = AButton == 0 && AShift.Contains(ssLeft) && before == ebsNormal && k == CaptureButtonIndex;
            bool leftDown = AButton == 1 && leftOnly;
            bool held = before == ebsPressed && AShift.Contains(ssLeft);
            if (pressedByEditor || leftDown || held || returning) vi->IsMousePressed = true;
            if (pressedByEditor || (returning && CanPressButton(vi, k)) ||
                (leftOnly && ((leftDown && CanPressButton(vi, k)) || k == prevPressed)) || held) {
                b->State = ebsPressed;
                vi->PressedButtonIndex = k;
            } else if (AShift.Empty() && !returning) {
                b->State = ebsHot;
                vi->HotButtonIndex = k;
            } else {
                b->State = ebsNormal;
            }
        } else {
            b->State = ebsNormal;
        }
        CalculateButtonNativeInfo(b);
    }

    // Edges: the outermost and innermost button of each side.
    auto flag = [&](int k, bool left) {
        if (k < 0) return;
        if (left) vi->Button(k)->HasLeftEdge = true;
        else vi->Button(k)->HasRightEdge = true;
    };
    flag(FFirstLeftButton, true);
    flag(FLastRightButton, true);
    flag(FLastLeftButton, false);
    flag(FFirstRightButton, false);
    if (!FNative) {
        if (FLastLeftButton >= 0 && vi->Button(FLastLeftButton)->ButtonStyle == btsHotFlat) {
            TcxEditButtonViewInfo* b = vi->Button(FLastLeftButton);
            ++b->Bounds.Right;
            if (FLastRightButton < 0 && b->VisibleBounds.Right + 1 <= r.Right) ++b->VisibleBounds.Right;
        }
        if (FLastRightButton >= 0 && vi->Button(FLastRightButton)->ButtonStyle == btsHotFlat) {
            TcxEditButtonViewInfo* b = vi->Button(FLastRightButton);
            --b->Bounds.Left;
            if (FLastLeftButton < 0 && b->VisibleBounds.Left - 1 >= r.Left) --b->VisibleBounds.Left;
        }
    }
}

void TcxCustomEditViewData::CalculateButtonViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                                    TRect& ARect, int AIndex)
{
    TcxEditButtonViewInfo* b = AViewInfo->Button(AIndex);
    TcxEditButton* item = FProperties->Buttons()->Items(b->ButtonIndex);
    b->IsSingleDownButton = AViewInfo->ButtonCount() == 1 && item->Kind() == bkDown;
    b->Kind = item->Kind();
    b->Default = item->Default();
    b->Glyph = item->HasGlyph() ? item->Glyph() : nullptr;
    b->Erase = false;
    b->IsInplace = FIsInplace;
    b->LeftAlignment = item->LeftAlignment();
    b->HasLeftEdge = b->HasRightEdge = false;
    b->Native = FNative;
    b->Width = item->Width();
    TcxEditButtonTransparency tr = FStyle->ButtonTransparency();
    b->Transparent = tr == ebtAlways || (tr == ebtInactive && !IsActiveOrHot);
    b->BackgroundColor = AViewInfo->FillColor;
    CalculateButtonBounds(ACanvas, AViewInfo, ARect, AIndex);
}

void TcxCustomEditViewData::CalculateButtonBounds(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo,
                                                  TRect& ARect, int AIndex)
{
    TcxEditButtonViewInfo* b = AViewInfo->Button(AIndex);
    if (IsEmptyRect(ARect)) {
        b->Bounds = b->VisibleBounds = TRect{0, 0, 0, 0};
        return;
    }
    int w = cxEditUtils::GetEditButtonWidth(ACanvas, b);
    int v = std::min(w, ARect.Right - ARect.Left);
    if (b->LeftAlignment) {
        b->Bounds = TRect{ARect.Left, ARect.Top, ARect.Left + w, ARect.Bottom};
        b->VisibleBounds = TRect{ARect.Left, ARect.Top, ARect.Left + v, ARect.Bottom};
        ARect.Left += v;
        // Buttons are placed from the outside in: the first of each side
        // placed is the outermost, the last the one next to the text.
        if (FFirstLeftButton < 0) FFirstLeftButton = AIndex;
        FLastLeftButton = AIndex;
    } else {
        b->Bounds = TRect{ARect.Right - w, ARect.Top, ARect.Right, ARect.Bottom};
        b->VisibleBounds = TRect{ARect.Right - v, ARect.Top, ARect.Right, ARect.Bottom};
        ARect.Right -= v;
        if (FFirstRightButton < 0) FFirstRightButton = AIndex;
        FLastRightButton = AIndex;
    }
}

void TcxCustomEditViewData::CalculateButtonNativeInfo(TcxEditButtonViewInfo* AButtonViewInfo)
{
    TcxEditButtonViewInfo* b = AButtonViewInfo;
    if (!FNative) {
        b->ThemePart = b->ThemeState = 0;
        return;
    }
    static const int states[4] = {4, 1, 3, 2};
    b->ThemePart = 1;
    b->ThemeState = states[std::clamp(b->State, 0, 3)];
}

void TcxCustomEditViewData::InternalGetEditConstantPartSize(TcxCanvas*, const TcxEditSizeProperties&,
                                                            TSize& MinContentSize, TcxCustomEditViewInfo* AViewInfo,
                                                            TSize& Size)
{
    const TRect& b = AViewInfo->OuterRect;
    const TRect& c = AViewInfo->ContentRect;
    Size = TSize{(b.Right - b.Left) - (c.Right - c.Left), (b.Bottom - b.Top) - (c.Bottom - c.Top)};
    MinContentSize = TSize{0, 0};
    if (!FIsInplace) return;
    TRect ce = GetContentExtent(nullptr);
    for (auto& btn : AViewInfo->ButtonsInfo)
        if (btn->Kind == bkGlyph && btn->Glyph && !btn->Glyph->Empty()) {
            int h = btn->Glyph->Height() + ce.Top + ce.Bottom +
                    cxEditUtils::GetButtonVertContentMargin(btn->ButtonStyle) - Size.cy;
            MinContentSize.cy = std::max(MinContentSize.cy, h);
        }
}

TSize TcxCustomEditViewData::GetEditSize(TcxCanvas* ACanvas, const Variant& AEditValue,
                                         const TcxEditSizeProperties& AEditSizeProperties)
{
    TcxCustomEditViewInfo vi;
    Calculate(ACanvas, TRect{0, 0, INT_MAX / 2, INT_MAX / 2}, TPoint{-1, -1}, 0, TShiftState{}, &vi, false);
    TSize constant, minContent;
    InternalGetEditConstantPartSize(ACanvas, AEditSizeProperties, minContent, &vi, constant);
    TcxEditSizeProperties content = AEditSizeProperties;
    bool clipped = false;
    if (AEditSizeProperties.Width >= 0) {
        content.Width = AEditSizeProperties.Width - constant.cx;
        if (content.Width < 0) {
            content.Width = 0;
            clipped = true;
        }
    }
    TSize c = InternalGetEditContentSize(ACanvas, AEditValue, content);
    c.cx = std::max(c.cx, minContent.cx);
    c.cy = std::max(c.cy, minContent.cy);
    return TSize{clipped ? AEditSizeProperties.Width : constant.cx + c.cx, constant.cy + c.cy};
}

// ---- routines -------------------------------------------------------------------------------------------

namespace cxEditUtils {

int GetEditBorderWidth(TcxContainerBorderStyle AStyle)
{
    static const int widths[6] = {0, 1, 2, 2, 2, 1};
    return widths[std::clamp(int(AStyle), 0, 5)];
}

TRect GetEditBorderInnerRect(TcxCustomEditViewInfo* AViewInfo)
{
    TRect r = AViewInfo->OuterRect;
    if (AViewInfo->Native) return r;
    if (AViewInfo->Shadow) r.Bottom -= 3;
    if (AViewInfo->IsInplace) return r;
    int w = GetEditBorderWidth(AViewInfo->BorderStyle);
    InflateRect(r, w - 2, w - 2);
    if (!AViewInfo->BorderSides.Contains(bLeft)) r.Left += w;
    if (!AViewInfo->BorderSides.Contains(bTop)) r.Top += w;
    if (!AViewInfo->BorderSides.Contains(bRight)) r.Right -= w;
    if (!AViewInfo->BorderSides.Contains(bBottom)) r.Bottom -= w;
    return r;
}

TRect GetEditVisibleBounds(TcxCustomEditViewInfo* AViewInfo, const TRect& ABounds)
{
    TRect r = ABounds;
    if (AViewInfo->IsInplace || !AViewInfo->Native) r = Shrink(r, AViewInfo->BorderExtent);
    if (!AViewInfo->Native) {
        int w = GetEditBorderWidth(AViewInfo->BorderStyle);
        if (AViewInfo->BorderSides.Contains(bLeft)) r.Left -= w;
        if (AViewInfo->BorderSides.Contains(bTop)) r.Top -= w;
        if (AViewInfo->BorderSides.Contains(bRight)) r.Right += w;
        if (AViewInfo->BorderSides.Contains(bBottom)) r.Bottom += w;
    }
    return r;
}

int GetEditButtonWidth(TcxCanvas*, TcxEditButtonViewInfo* AButtonViewInfo)
{
    TcxEditButtonViewInfo* b = AButtonViewInfo;
    int m = GetButtonHorzContentMargin(b->ButtonStyle);
    if (b->Width > 0) return std::max(b->Width, m);
    if (b->Kind == bkGlyph && b->Glyph && !b->Glyph->Empty() && b->Glyph->Width() > 0) return b->Glyph->Width() + m;
    return GetSystemMetrics(SM_CYHSCROLL);
}

void DrawEditButtons(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, bool ADrawBackground, int)
{
    TcxCustomEditViewInfo* vi = AViewInfo;
    TColor back = vi->FillColor;
    bool clipButtons = vi->ButtonCount() > 0;
    if (clipButtons) {
        ACanvas->SaveClipRegion();
        for (auto& b : vi->ButtonsInfo) ACanvas->ExcludeClipRect(b->VisibleBounds);
    }
    if (vi->Native) {
        vi->InternalPaint(ACanvas);
    } else {
        int w = vi->DrawnBorderWidth;
        TRect r = vi->InnerRect;
        r.Left -= w;
        r.Top -= w;
        if (vi->BorderSides.Contains(bRight)) r.Right += w;
        if (vi->BorderSides.Contains(bBottom)) r.Bottom += w;
        if (vi->Shadow) cxContainer::DrawContainerShadow(ACanvas, r);
        if (!vi->BorderSides.Contains(bRight)) r.Right += w;
        if (!vi->BorderSides.Contains(bBottom)) r.Bottom += w;
        vi->DrawContainerBorder(ACanvas, r);
        if (vi->IsInplace) {
            if (!vi->Transparent) {
                if (ADrawBackground) ACanvas->FillRect(vi->OuterRect, back);
                else if (vi->HasInplaceBorder) {
                    const TRect& o = vi->OuterRect;
                    const TRect& i = vi->InnerRect;
                    ACanvas->FillRect(TRect{o.Left, o.Top, o.Right, i.Top}, back);
                    ACanvas->FillRect(TRect{o.Left, i.Bottom, o.Right, o.Bottom}, back);
                    ACanvas->FillRect(TRect{o.Left, i.Top, i.Left, i.Bottom}, back);
                    ACanvas->FillRect(TRect{i.Right, i.Top, o.Right, i.Bottom}, back);
                }
            }
        } else if (ADrawBackground && !vi->Transparent) {
            ACanvas->FillRect(vi->InnerRect, back);
        }
    }
    if (clipButtons) ACanvas->RestoreClipRegion();
    for (int i = 0; i < vi->ButtonCount(); ++i) {
        TcxEditButtonViewInfo* b = vi->Button(i);
        if (IsEmptyRect(b->VisibleBounds)) continue;
        b->BackgroundColor = back;
        bool narrow = b->Bounds.Left < vi->InnerRect.Left || b->Bounds.Right > vi->InnerRect.Right;
        if (narrow) {
            ACanvas->SaveClipRegion();
            ACanvas->IntersectClipRect(b->VisibleBounds);
        }
        vi->DrawButton(ACanvas, i);
        if (narrow) ACanvas->RestoreClipRegion();
    }
}

}  // namespace cxEditUtils
