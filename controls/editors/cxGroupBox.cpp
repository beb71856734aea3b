#include "cxGroupBox.h"

#include "Forms.h"
#include "Windows.h"
#include "cxContainer.h"
#include "cxEditPaintUtils.h"
#include "cxEditUtils.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxCustomGroupBoxProperties, TcxCustomEditProperties)
QZ_CLASS_IMPL(TcxGroupBoxStyle, TcxCustomEditStyle)
QZ_CLASS_IMPL(TcxGroupBoxButtonViewInfo, TcxEditButtonViewInfo)
QZ_CLASS_IMPL(TcxGroupBoxViewInfo, TcxCustomTextEditViewInfo)
QZ_CLASS_IMPL(TcxGroupBoxViewData, TcxCustomEditViewData)
QZ_CLASS_IMPL(TcxCustomGroupBox, TcxCustomEdit)
QZ_CLASS_IMPL(TcxGroupBox, TcxCustomGroupBox)
QZ_CLASS_IMPL(TcxButtonGroupItem, TCollectionItem)
QZ_CLASS_IMPL(TcxButtonGroupItems, TOwnedCollection)
QZ_CLASS_IMPL(TcxCustomButtonGroupProperties, TcxCustomGroupBoxProperties)
QZ_CLASS_IMPL(TcxButtonGroupViewInfo, TcxGroupBoxViewInfo)
QZ_CLASS_IMPL(TcxButtonGroupViewData, TcxGroupBoxViewData)
QZ_CLASS_IMPL(TcxCustomButtonGroup, TcxCustomGroupBox)

namespace {
bool IsTopCaption(TcxCaptionAlignment A) { return A <= alTopRight; }
bool IsBottomCaption(TcxCaptionAlignment A) { return A >= alBottomLeft && A <= alBottomRight; }
bool IsLeftCaption(TcxCaptionAlignment A) { return A >= alLeftTop && A <= alLeftBottom; }
bool IsRightCaption(TcxCaptionAlignment A) { return A >= alRightTop && A <= alRightBottom; }
bool IsVerticalCaption(TcxCaptionAlignment A) { return IsLeftCaption(A) || IsRightCaption(A); }
}  // namespace

// ---- properties -----------------------------------------------------------------------------------------------

TClass TcxCustomGroupBoxProperties::GetEditClass() const { return TcxGroupBox::StaticClass(); }
TClass TcxCustomGroupBoxProperties::GetViewInfoClass() const { return TcxGroupBoxViewInfo::StaticClass(); }
TClass TcxCustomGroupBoxProperties::GetStyleClass() const { return TcxGroupBoxStyle::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomGroupBoxProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                    bool AIsInplace)
{
    auto d = std::make_unique<TcxGroupBoxViewData>(this, AStyle, AIsInplace);
    d->CacheProperties();
    return d;
}

// ---- view data ---------------------------------------------------------------------------------------------------

TcxContainerBorderStyle TcxGroupBoxViewData::FrameStyle(TcxEditBorderStyle AStyle, int AHotTrackState)
{
    static const TcxContainerBorderStyle kIdle[6] = {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsSingle};
    static const TcxContainerBorderStyle kActive[6] = {cbsFlat, cbsThick, cbsThick, cbsFlat, cbs3D, cbsSingle};
    int i = std::clamp(int(AStyle), 0, 5);
    return AHotTrackState == 2 ? kActive[i] : kIdle[i];
}

TcxContainerBorderStyle TcxGroupBoxViewData::GetContainerBorderStyle(int AHotTrackState)
{
    if (IsInplace()) return cbsNone;
    return FrameStyle(Style()->EditBorderStyle(), AHotTrackState);
}

bool TcxGroupBoxViewData::HasShadow()
{
    // A shadow falls right and down: with the caption there it would cross it.
    if (IsBottomCaption(Alignment) || IsRightCaption(Alignment)) return false;
    return TcxCustomEditViewData::HasShadow();
}

bool TcxGroupBoxViewData::CaptionTakesRoom() const { return !IsInplace() && Alignment != alCenterCenter; }

TRect TcxGroupBoxViewData::GetBorderExtent()
{
    TRect r = TcxCustomEditViewData::GetBorderExtent();
    if (!CaptionTakesRoom()) return r;
    int h = CaptionHeight;
    if (IsTopCaption(Alignment)) r.Top = h / 2 + 1;
    else if (IsBottomCaption(Alignment)) r.Bottom = h / 2 + 1;
    else if (IsLeftCaption(Alignment)) r.Left = h / 2;
    else if (IsRightCaption(Alignment)) r.Right = h / 2;
    return r;
}

TRect TcxGroupBoxViewData::GetClientExtent(TcxCanvas*, TcxCustomEditViewInfo*)
{
    TRect r = TcxCustomEditViewData::GetBorderExtent();
    if (!CaptionTakesRoom()) return r;
    int h = CaptionHeight + 3;
    if (IsTopCaption(Alignment)) r.Top += h;
    else if (IsBottomCaption(Alignment)) r.Bottom += h;
    else if (IsLeftCaption(Alignment)) r.Left += h;
    else if (IsRightCaption(Alignment)) r.Right += h;
    return r;
}

void TcxGroupBoxViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                    TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    if (ACanvas && CaptionFont) {
        ACanvas->SetFont(CaptionFont);
        CaptionHeight = ACanvas->TextHeight("Qq");
    }
    TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = dynamic_cast<TcxGroupBoxViewInfo*>(AViewInfo);
    if (!vi) return;
    vi->Alignment = Alignment;
    vi->CaptionFont = CaptionFont ? CaptionFont : Style()->Font();
    vi->VisibleCaption = VisibleCaption;
    vi->HasCaptionShadow = !IsInplace() && HasShadow();
    vi->ParentColor = ParentColor;
    vi->BorderStyle = GetContainerBorderStyle(vi->HotTrackState);
}

// ---- view info ---------------------------------------------------------------------------------------------------

TRect TcxGroupBoxViewInfo::CaptionRect(TcxCaptionAlignment A, int W, int H, int w, int h, int s)
{
    TRect r{8, 0, 8 + w, h};
    auto horz = [&](int left) {
        r.Left = left;
        r.Right = left + w;
    };
    switch (A) {
    case alTopLeft:
    case alBottomLeft: horz(8); break;
    case alTopCenter:
    case alBottomCenter:
    case alCenterCenter: horz((W - s - w) / 2); break;
    case alTopRight:
    case alBottomRight: horz(W - s - 8 - w); break;
    default: break;
    }
    if (IsBottomCaption(A)) {
        r.Top = H - h - 2;
        r.Bottom = H - 2;
    } else if (A == alCenterCenter) {
        r.Top = (H - s - h) / 2;
        r.Bottom = r.Top + h;
    } else if (IsLeftCaption(A)) {
        r.Left = -1;
        r.Right = h - 1;
        if (A == alLeftTop) r.Top = 8;
        else if (A == alLeftCenter) r.Top = H - s - (H - s - w) / 2 - w;
        else r.Top = H - s - 8 - w;
        r.Bottom = r.Top + w;
    } else if (IsRightCaption(A)) {
        r.Left = W - h + 1;
        r.Right = W + 1;
        if (A == alRightTop) r.Top = 8;
        else if (A == alRightCenter) r.Top = (H - w) / 2;
        else r.Top = H - 8 - w;
        r.Bottom = r.Top + w;
    }
    return r;
}

void TcxGroupBoxViewInfo::Paint(TcxCanvas* ACanvas)
{
    const TRect& b = OuterRect;
    TColor bg = FillColor;
    if (IsInplace) {
        ACanvas->FillRect(b, bg);
        return;
    }
    int W = b.Right - b.Left, H = b.Bottom - b.Top;
    TCanvas* c = ACanvas->Canvas();
    c->Font()->Assign(CaptionFont ? CaptionFont : Font);
    c->Font()->SetColor(Enabled ? TextColor : clBtnShadow);
    bool vertical = IsVerticalCaption(Alignment);
    int w = 0, h = 0;
    if (!VisibleCaption.empty()) {
        // Measured unrotated: along a side its width is the caption's length.
        TFont plain;
        plain.Assign(c->Font());
        plain.SetOrientation(0);
        TFont* keep = new TFont;
        keep->Assign(c->Font());
        c->Font()->Assign(&plain);
        TSize sz = ACanvas->TextExtent(vertical ? VisibleCaption : cxEditUtils::RemoveAccelChars(VisibleCaption));
        c->Font()->Assign(keep);
        delete keep;
        w = sz.cx;
        h = sz.cy;
    }
    int s = HasCaptionShadow ? 3 : 0;
    TRect cap = VisibleCaption.empty() ? TRect{} : CaptionRect(Alignment, W, H, w, h, s);
    OffsetRect(cap, b.Left, b.Top);
    CaptionBounds = cap;

    // The frame: the border rectangle with the caption side's margin made
    // like the opposite axis', grown by the frame's width.
    TRect e = BorderExtent;
    if (IsTopCaption(Alignment)) e.Top = e.Left;
    else if (IsBottomCaption(Alignment)) e.Bottom = e.Right;
    else if (IsLeftCaption(Alignment)) e.Left = e.Top;
    else if (IsRightCaption(Alignment)) e.Right = e.Bottom;
    TRect frame{b.Left + e.Left, b.Top + e.Top, b.Right - e.Right, b.Bottom - e.Bottom};
    int bw = cxEditUtils::GetEditBorderWidth(BorderStyle);
    InflateRect(frame, bw, bw);
    int d = Alignment == alCenterCenter ? bw : (h > 0 ? h : 0) / 2 + 1 - bw;
    if (Alignment != alCenterCenter && !VisibleCaption.empty()) {
        if (IsTopCaption(Alignment)) frame.Top = b.Top + d;
        else if (IsBottomCaption(Alignment)) frame.Bottom = b.Bottom - d - s;
        else if (IsLeftCaption(Alignment)) frame.Left = b.Left + d;
        else if (IsRightCaption(Alignment)) frame.Right = b.Right - d - s;
    }
    FrameRect = frame;
    // The strip outside the frame and the inside take the background.
    ACanvas->FillRect(b, HasCaptionShadow ? ParentColor : bg);
    if (HasCaptionShadow) {
        ACanvas->FillRect(TRect{b.Left, b.Top, frame.Right, frame.Bottom}, bg);
        cxContainer::DrawContainerShadow(ACanvas, frame);
    }
    switch (BorderStyle) {
    case cbsSingle: ACanvas->FrameRect(frame, DrawnBorderColor); break;
    case cbsThick: ACanvas->FrameRect(frame, DrawnBorderColor, 2); break;
    case cbsFlat: {
        ACanvas->FrameRect(frame, clBtnShadow);
        TRect in = frame;
        InflateRect(in, -1, -1);
        ACanvas->FrameRect(in, clBtnHighlight);
        break;
    }
    case cbs3D:
        if (Ctl3D) {
            // Etched: a light line one pixel right of and below a dark one.
            TRect dark{frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1};
            TRect light{frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom};
            ACanvas->FrameRect(light, clBtnHighlight);
            ACanvas->FrameRect(dark, clBtnShadow);
            ACanvas->FillRect(TRect{dark.Right - 1 + 1, frame.Top, dark.Right + 1, frame.Top + 1}, bg);
            ACanvas->FillRect(TRect{frame.Left, dark.Bottom, frame.Left + 1, dark.Bottom + 1}, bg);
        } else {
            ACanvas->FrameRect(frame, clWindowFrame);
        }
        break;
    default: break;
    }

    if (VisibleCaption.empty()) return;
    c->Brush()->SetColor(bg);
    c->Brush()->SetStyle(bsSolid);
    if (!vertical) {
        ACanvas->FillRect(cap, bg);
        c->Brush()->SetStyle(bsClear);
        ACanvas->DrawText(VisibleCaption, cap, ctfLeft | ctfTop | ctfSingleLine | ctfShowPrefix);
        c->Brush()->SetStyle(bsSolid);
    } else {
        ACanvas->FillRect(cap, bg);
        ACanvas->SaveClipRegion();
        ACanvas->IntersectClipRect(cap);
        c->Brush()->SetStyle(bsClear);
        if (IsLeftCaption(Alignment)) c->TextOut(cap.Left, cap.Bottom - 1, VisibleCaption);
        else c->TextOut(cap.Right, cap.Top + 1, VisibleCaption);
        c->Brush()->SetStyle(bsSolid);
        ACanvas->RestoreClipRegion();
    }
}

// ---- the group box -------------------------------------------------------------------------------------------------

TcxCustomGroupBox::TcxCustomGroupBox(TComponent* AOwner, bool AIsInplace)
    : TcxCustomEdit(AOwner, AIsInplace), FCaptionFont(std::make_unique<TFont>())
{
    InitializeEdit();
    TControlStyle cs = ControlStyle();
    cs.Include(csAcceptsControls);
    cs.Include(csCaptureMouse);
    cs.Include(csClickEvents);
    SetControlStyle(cs);
    SetParentColor(true);
    SetAutoSize(false);
    SetTabStop(false);
    SetBounds(Left(), Top(), 185, 105);
    UpdateCaptionFont();
}

TcxCustomGroupBox::~TcxCustomGroupBox() = default;

void TcxCustomGroupBox::SetAlignment(TcxCaptionAlignment Value)
{
    if (Value == FAlignment) return;
    FAlignment = Value;
    UpdateCaptionFont();
    UpdateVisibleCaption();
    Realign();
}

void TcxCustomGroupBox::UpdateCaptionFont()
{
    if (IsInplace()) return;
    FCaptionFont->Assign(EditStyle()->Font());
    // Side captions read upwards on the left and downwards on the right.
    if (FAlignment >= alLeftTop && FAlignment <= alLeftBottom) FCaptionFont->SetOrientation(900);
    else if (FAlignment >= alRightTop && FAlignment <= alRightBottom) FCaptionFont->SetOrientation(2700);
    else FCaptionFont->SetOrientation(0);
}

void TcxCustomGroupBox::UpdateVisibleCaption()
{
    bool vertical = FAlignment >= alLeftTop && FAlignment <= alRightBottom;
    // A rotated caption cannot underline its accelerator: the '&' goes.
    FVisibleCaption = vertical ? cxEditUtils::RemoveAccelChars(Caption()) : Caption();
    ShortRefreshContainer(false);
    if (!HandleAllocated()) CalculateViewInfo(TPoint{-1, -1}, false);
    Invalidate();
}

void TcxCustomGroupBox::ContainerStyleChanged(TObject* Sender)
{
    if (FCaptionFont) UpdateCaptionFont();
    TcxCustomEdit::ContainerStyleChanged(Sender);
}

void TcxCustomGroupBox::PrepareViewData(TcxGroupBoxViewData* AData)
{
    AData->Alignment = FAlignment;
    AData->VisibleCaption = FVisibleCaption;
    AData->CaptionFont = FCaptionFont.get();
    AData->ParentColor = Parent() ? Parent()->Color() : clBtnFace;
}

void TcxCustomGroupBox::CalculateViewInfo(const TPoint& P, bool AAllowHot)
{
    if (!ActiveProperties() || !FCaptionFont) {
        TcxCustomEdit::CalculateViewInfo(P, AAllowHot);
        return;
    }
    auto data = ActiveProperties()->CreateViewData(EditStyle(), IsInplace());
    auto* gd = dynamic_cast<TcxGroupBoxViewData*>(data.get());
    if (!gd) {
        TcxCustomEdit::CalculateViewInfo(P, AAllowHot);
        return;
    }
    PrepareViewData(gd);
    gd->Enabled = Enabled();
    gd->Focused = Focused();
    gd->ReadOnly = ActiveProperties()->ReadOnly();
    gd->IsDesigning = IsDesigning();
    gd->Calculate(Canvas(), TRect{0, 0, Width(), Height()}, AAllowHot ? P : TPoint{-1, -1}, 0, GetShiftState(),
                  EditViewInfo(), false);
    if (auto* vi = GroupViewInfo()) vi->Ctl3D = Ctl3D();
    gd->PrepareDrawValue(Canvas(), GetEditValue(), EditViewInfo());
}

void TcxCustomGroupBox::CMDialogChar(TMessage& Message)
{
    if (IsAccel(WORD(Message.WParam), Caption()) && CanFocus()) {
        FIsAccelCharHandling = true;
        SelectFirst();
        FIsAccelCharHandling = false;
        Message.Result = 1;
        return;
    }
    inherited::Dispatch(Message);
}

void TcxCustomGroupBox::CMTextChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    UpdateVisibleCaption();
}

// ---- items ---------------------------------------------------------------------------------------------------------

void TcxButtonGroupItem::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TcxButtonGroupItem*>(Source)) {
        FCaption = s->FCaption;
        FEnabled = s->FEnabled;
        ItemChanged();
        return;
    }
    TCollectionItem::Assign(Source);
}

void TcxButtonGroupItem::SetCaption(const std::string& Value)
{
    if (Value == FCaption) return;
    FCaption = Value;
    ItemChanged();
}

void TcxButtonGroupItem::SetEnabled(bool Value)
{
    if (Value == FEnabled) return;
    FEnabled = Value;
    ItemChanged();
}

TcxButtonGroupItems::TcxButtonGroupItems(TPersistent* AOwner, TClass AItemClass)
    : TOwnedCollection(AOwner, AItemClass ? AItemClass : TcxButtonGroupItem::StaticClass())
{
}

void TcxButtonGroupItems::Notify(TCollectionItem* AItem, TCollectionNotification AAction)
{
    TOwnedCollection::Notify(AItem, AAction);
    if (UpdateCount() > 0) return;
    // Told to the owner by the Update that follows.
    if (AAction == cnAdded || AAction == cnDeleting) {
        FChangedItemIndex = AItem->Index();
        FChangedItemOperation = AAction == cnAdded ? 0 : 1;
    }
}

void TcxButtonGroupItems::Update(TCollectionItem* AItem)
{
    if (AItem && FChangedItemOperation < 0) {
        FChangedItemIndex = AItem->Index();
        FChangedItemOperation = 2;
    }
    try {
        if (OnChanged) OnChanged();
    } catch (...) {
        FChangedItemIndex = FChangedItemOperation = -1;
        throw;
    }
    FChangedItemIndex = FChangedItemOperation = -1;
}

// ---- button group properties -----------------------------------------------------------------------------------

TcxCustomButtonGroupProperties::TcxCustomButtonGroupProperties(TPersistent* AOwner)
    : TcxCustomGroupBoxProperties(AOwner)
{
    InitItems();
}

TcxCustomButtonGroupProperties::~TcxCustomButtonGroupProperties()
{
    if (FItems) FItems->OnChanged = nullptr;
}

void TcxCustomButtonGroupProperties::InitItems()
{
    FItems = CreateItems();
    FItems->OnChanged = [this] { Changed(); };
}

std::unique_ptr<TcxButtonGroupItems> TcxCustomButtonGroupProperties::CreateItems()
{
    return std::make_unique<TcxButtonGroupItems>(this, TcxButtonGroupItem::StaticClass());
}

TClass TcxCustomButtonGroupProperties::GetEditClass() const { return nullptr; }

void TcxCustomButtonGroupProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomButtonGroupProperties*>(Source);
    if (!s) {
        TcxCustomGroupBoxProperties::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        TcxCustomGroupBoxProperties::Assign(Source);
        SetColumns(s->FColumns);
        FItems->Assign(s->FItems.get());
        SetWordWrap(s->FWordWrap);
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TcxCustomButtonGroupProperties::SetColumns(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FColumns) return;
    FColumns = Value;
    Changed();
}

void TcxCustomButtonGroupProperties::SetWordWrap(bool Value)
{
    if (Value == FWordWrap) return;
    FWordWrap = Value;
    Changed();
}

int TcxCustomButtonGroupProperties::GetColumnCount()
{
    int n = FItems->Count();
    int c = std::max(1, std::min(FColumns, n));
    if (n == 0) return c;
    int rows = (n + c - 1) / c;
    return (n + rows - 1) / rows;
}

int TcxCustomButtonGroupProperties::GetRowCount()
{
    int n = FItems->Count(), c = std::max(1, GetColumnCount());
    return std::max(1, (n + c - 1) / c);
}

// ---- button group view data and view info ---------------------------------------------------------------------

TcxEditButtonStyle TcxButtonGroupViewData::ButtonPainterStyle()
{
    if (IsInplace()) {
        TcxLookAndFeelKind k = Style()->LookAndFeel() ? Style()->LookAndFeel()->Kind() : lfStandard;
        return k == lfFlat ? btsFlat : k == lfUltraFlat ? btsUltraFlat : bts3D;
    }
    if (Style()->EditBorderStyle() == ebsUltraFlat) return btsUltraFlat;
    switch (GetContainerBorderStyle(0)) {
    case cbsSingle:
    case cbsThick:
    case cbsFlat: return btsFlat;
    case cbsUltraFlat: return btsUltraFlat;
    default: return bts3D;
    }
}

int TcxButtonGroupViewData::GetDrawTextFlags()
{
    if (WordWrapCalculation && GroupProperties()->WordWrap())
        return ctfLeft | ctfCenterV | ctfWordBreak | ctfNoClip | ctfShowPrefix;
    return ctfLeft | ctfCenterV | ctfSingleLine | ctfShowPrefix;
}

void TcxButtonGroupViewData::CalculateButtonsInfo(TcxButtonGroupViewInfo* AViewInfo)
{
    auto* p = GroupProperties();
    int rows = p->GetRowCount();
    TcxEditButtonStyle style = ButtonPainterStyle();
    AViewInfo->GroupButtons.clear();
    for (int i = 0; i < p->Items()->Count(); ++i) {
        auto b = std::make_unique<TcxGroupBoxButtonViewInfo>();
        b->BackgroundColor = AViewInfo->FillColor;
        b->ButtonStyle = style;
        b->Caption = p->Items()->ItemCaption(i);
        b->Column = i / rows;
        b->Row = i % rows;
        b->ButtonIndex = i;
        AViewInfo->GroupButtons.push_back(std::move(b));
    }
}

void TcxButtonGroupViewData::CalculateButtonPositions(TcxButtonGroupViewInfo* AViewInfo)
{
    auto* p = GroupProperties();
    int columns = p->GetColumnCount(), rows = p->GetRowCount();
    TcxButtonGroupButtonMetrics m = GetButtonMetrics();
    const TRect& B = AViewInfo->OuterRect;
    const TRect& C = AViewInfo->ContentRect;
    TRect E{C.Left - B.Left, C.Top - B.Top, B.Right - C.Right, B.Bottom - C.Bottom};
    int colWidth = (B.Right - B.Left - E.Left - E.Right + m.PositionWidthAdjustment - (columns - 1) * m.ColumnSpacing) /
                   columns;
    int available = B.Bottom - B.Top - E.Top - E.Bottom;
    int rowHeight = available / rows;
    int top = IsInplace() || VisibleCaption.empty() ? B.Top + E.Top : B.Top + E.Top - 2 + (available % rows) / 2;
    for (auto& b : AViewInfo->GroupButtons) {
        int left = B.Left + E.Left + m.LeftMargin + b->Column * (colWidth + m.ColumnSpacing);
        b->Bounds = TRect{left, top + b->Row * rowHeight, left + colWidth, top + (b->Row + 1) * rowHeight};
        b->ButtonRect = b->Bounds;
        b->VisibleBounds = b->Bounds;
    }
}

void TcxButtonGroupViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, int AButton,
                                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent)
{
    TcxGroupBoxViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = dynamic_cast<TcxButtonGroupViewInfo*>(AViewInfo);
    if (!vi) return;
    vi->TextFlags = GetDrawTextFlags();
    vi->CaptionMargins = GetCaptionMargins();
    CalculateButtonsInfo(vi);
    CalculateButtonPositions(vi);
    for (int i = 0; i < int(vi->GroupButtons.size()); ++i) {
        auto& b = vi->GroupButtons[size_t(i)];
        if (!Enabled) b->State = ebsDisabled;
        else if (PtInRect(b->Bounds, P)) b->State = AShift.Contains(ssLeft) ? ebsPressed : ebsHot;
        else b->State = ebsNormal;
        TcxEditButtonTransparency t = Style()->ButtonTransparency();
        b->Transparent = t == ebtAlways || (t == ebtInactive && !Focused);
        CalculateButtonNativeState(vi, i);
    }
}

void TcxButtonGroupViewData::InternalGetEditConstantPartSize(TcxCanvas* ACanvas,
                                                             const TcxEditSizeProperties& AEditSizeProperties,
                                                             TSize& MinContentSize,
                                                             TcxCustomEditViewInfo* AViewInfo, TSize& Size)
{
    MinContentSize = TSize{0, 0};
    auto* p = GroupProperties();
    TcxButtonGroupButtonMetrics m = GetButtonMetrics();
    int lineHeight = cxEditUtils::GetTextEditContentOffsets(IsInplace()).cy;
    if (ACanvas) {
        ACanvas->SetFont(Style()->Font());
        lineHeight += ACanvas->TextHeight("Zg");
    }
    int n = p->Items()->Count();
    if (n == 0) {
        Size = TSize{0, lineHeight};
        return;
    }
    int columns = p->GetColumnCount(), rows = p->GetRowCount();
    if (AEditSizeProperties.Width < 0) {
        int widest = 0;
        if (ACanvas)
            for (int i = 0; i < n; ++i)
                widest = std::max(widest, ACanvas->TextWidth(cxEditUtils::RemoveAccelChars(p->Items()->ItemCaption(i))));
        Size.cx = (widest + m.HorizontalSpace + m.GlyphWidth) * columns + (columns - 1) * m.ColumnSpacing +
                  m.ExtraTotalWidth;
        Size.cy = std::max(m.GlyphHeight, lineHeight) * rows;
        return;
    }
    TRect offsets = cxEditUtils::GetTextEditTextOffsets(IsInplace(), taLeftJustify);
    int textWidth = std::max(1, (AEditSizeProperties.Width + m.WidthAdjustment - offsets.Left - offsets.Right -
                                 (columns - 1) * m.ColumnSpacing) / columns -
                                    m.GlyphWidth - m.TextGap);
    int rowHeight = lineHeight;
    if (p->WordWrap() && ACanvas) {
        int vertical = cxEditUtils::GetTextEditContentOffsets(IsInplace()).cy;
        for (int i = 0; i < n; ++i) {
            TSize ext = ACanvas->TextExtent(p->Items()->ItemCaption(i));
            int lines = std::max(1, (ext.cx + textWidth - 1) / textWidth);
            rowHeight = std::max(rowHeight, lines * ACanvas->TextHeight("Zg") + vertical);
        }
    }
    Size = TSize{AEditSizeProperties.Width, rowHeight * rows};
}

void TcxButtonGroupViewInfo::Paint(TcxCanvas* ACanvas)
{
    TcxGroupBoxViewInfo::Paint(ACanvas);
    for (int i = 0; i < int(GroupButtons.size()); ++i) DrawGroupButton(ACanvas, i);
}

// ---- the button group ---------------------------------------------------------------------------------------------

TcxCustomButtonGroup::TcxCustomButtonGroup(TComponent* AOwner, bool AIsInplace) : TcxCustomGroupBox(AOwner, AIsInplace)
{
    SetTabStop(true);
}

TcxCustomButtonGroup::~TcxCustomButtonGroup()
{
    // Each button leaves the list as it goes.
    while (!FButtons.empty()) {
        size_t n = FButtons.size();
        delete FButtons.back();
        if (FButtons.size() == n) FButtons.pop_back();
    }
}

int TcxCustomButtonGroup::IndexOfButton(TControl* AButton) const
{
    for (size_t i = 0; i < FButtons.size(); ++i)
        if (FButtons[i] == AButton) return int(i);
    return -1;
}

void TcxCustomButtonGroup::DeleteButton(int AIndex)
{
    TWinControl* b = FButtons[size_t(AIndex)];
    delete b;
    // A button of another kind may not unregister itself.
    RemoveButton(b);
}

void TcxCustomButtonGroup::RemoveButton(TWinControl* AButton)
{
    FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), AButton), FButtons.end());
}

bool TcxCustomButtonGroup::Focused() const
{
    if (TcxCustomGroupBox::Focused()) return true;
    return std::any_of(FButtons.begin(), FButtons.end(), [](TWinControl* b) { return b->Focused(); });
}

void TcxCustomButtonGroup::InitializeButton(TWinControl* AButton)
{
    AButton->SetParentShowHint(false);
    AButton->SetVisible(Visible());
    AButton->SetParent(this);
    AButton->SetParentColor(true);
    // The group's handlers hear the buttons' mouse and keys, as if on the
    // group (the mouse in the group's coordinates).
    AButton->OnMouseDown = [this, AButton](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        if (OnMouseDown) OnMouseDown(this, b, s, x + AButton->Left(), y + AButton->Top());
    };
    AButton->OnMouseUp = [this, AButton](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        if (OnMouseUp) OnMouseUp(this, b, s, x + AButton->Left(), y + AButton->Top());
    };
    AButton->OnMouseMove = [this, AButton](TObject*, TShiftState s, int x, int y) {
        if (OnMouseMove) OnMouseMove(this, s, x + AButton->Left(), y + AButton->Top());
    };
    AButton->OnKeyDown = [this](TObject*, WORD& k, TShiftState s) {
        if (OnKeyDown) OnKeyDown(this, k, s);
    };
    AButton->OnKeyUp = [this](TObject*, WORD& k, TShiftState s) {
        if (OnKeyUp) OnKeyUp(this, k, s);
    };
    AButton->OnKeyPress = [this](TObject*, char& k) {
        if (OnKeyPress) OnKeyPress(this, k);
    };
}

void TcxCustomButtonGroup::SetButtonCount(int Value)
{
    if (!Properties()) return;
    TcxButtonGroupItems* items = Properties()->Items();
    if (items->ChangedItemOperation() == 0 && Value == ButtonCount() + 1) {
        InitializeButton(CreateButton());
        return;
    }
    if (items->ChangedItemOperation() == 1 && Value == ButtonCount() - 1 && items->ChangedItemIndex() >= 0 &&
        items->ChangedItemIndex() < ButtonCount()) {
        DeleteButton(items->ChangedItemIndex());
        return;
    }
    while (ButtonCount() < Value) InitializeButton(CreateButton());
    while (ButtonCount() > Value) DeleteButton(ButtonCount() - 1);
}

void TcxCustomButtonGroup::UpdateButtons()
{
    if (FUpdatingButtons || IsContainerDestroying() || !Properties()) return;
    FUpdatingButtons = true;
    try {
        SetButtonCount(Properties()->Items()->Count());
        ShortRefreshContainer(false);
        if (!HandleAllocated()) CalculateViewInfo(TPoint{-1, -1}, false);
        for (int i = 0; i < ButtonCount(); ++i)
            FButtons[size_t(i)]->SetEnabled(Enabled() && Properties()->Items()->Items(i)->Enabled());
        UpdateButtonBounds();
    } catch (...) {
        FUpdatingButtons = false;
        throw;
    }
    FUpdatingButtons = false;
}

void TcxCustomButtonGroup::UpdateButtonBounds()
{
    TcxButtonGroupViewInfo* vi = ButtonGroupViewInfo();
    if (!vi) return;
    for (int i = 0; i < ButtonCount() && i < int(vi->GroupButtons.size()); ++i) {
        TWinControl* b = FButtons[size_t(i)];
        const TRect& r = vi->GroupButtons[size_t(i)]->Bounds;
        b->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
        b->SetCursor(Cursor());
        b->SetVisible(true);
    }
}

bool TcxCustomButtonGroup::RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent)
{
    bool result = TcxCustomGroupBox::RefreshContainer(P, AButton, AShift, AIsMouseEvent);
    if (!FUpdatingButtons) UpdateButtonBounds();
    return result;
}

void TcxCustomButtonGroup::PropertiesChanged(TObject* Sender)
{
    if (IsContainerDestroying()) return;
    if (!ComponentState().Contains(csLoading)) UpdateButtons();
    TcxCustomGroupBox::PropertiesChanged(Sender);
}

void TcxCustomButtonGroup::EnabledChanged()
{
    TcxCustomGroupBox::EnabledChanged();
    UpdateButtons();
}

void TcxCustomButtonGroup::CreateWnd()
{
    TcxCustomGroupBox::CreateWnd();
    UpdateButtons();
}

void TcxCustomButtonGroup::Loaded()
{
    TcxCustomGroupBox::Loaded();
    UpdateButtons();
}

void TcxCustomButtonGroup::ActivateByMouse(TShiftState AShift, int X, int Y,
                                           std::unique_ptr<TcxCustomEditData>& AEditData)
{
    Activate(AEditData);
    TPoint p{X - Left(), Y - Top()};
    for (TWinControl* b : FButtons) {
        if (!b->Visible() || !PtInRect(b->BoundsRect(), p)) continue;
        TPoint c{b->Width() / 2, b->Height() / 2};
        LPARAM pos = LPARAM((uint32_t(uint16_t(c.Y)) << 16) | uint16_t(c.X));
        WPARAM keys = cxEdit::ShiftStateToMouseKeys(AShift);
        if (AShift.Contains(ssLeft)) {
            // A pressed button takes the focus, as the platform's own does.
            if (b->CanFocus()) b->SetFocus();
            b->Perform(WM_LBUTTONDOWN, keys, pos);
            // The host's press is over already: no capture stays behind.
            if (GetCapture() && GetKeyState(VK_LBUTTON) >= 0) ReleaseCapture();
        } else {
            b->Perform(WM_LBUTTONUP, keys, pos);
        }
        return;
    }
}

void TcxCustomButtonGroup::MoveFocusByKey(WORD& Key)
{
    int index = -1;
    for (int i = 0; i < ButtonCount(); ++i)
        if (FButtons[size_t(i)]->Focused()) index = i;
    if (index < 0 || !Properties()) return;
    int rows = Properties()->GetRowCount(), n = ButtonCount(), next = -1;
    switch (Key) {
    case VK_LEFT:
        if (index >= rows) next = index - rows;
        break;
    case VK_RIGHT:
        if (index + rows < n) next = index + rows;
        break;
    case VK_UP:
        if (index % rows > 0) next = index - 1;
        break;
    case VK_DOWN:
        // The last column may be shorter.
        if (index % rows < rows - 1 && index + 1 < n) next = index + 1;
        break;
    default: return;
    }
    if (next >= 0 && FButtons[size_t(next)]->CanFocus()) {
        FButtons[size_t(next)]->SetFocus();
        Key = 0;
    }
}
