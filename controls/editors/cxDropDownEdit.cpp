#include "cxDropDownEdit.h"

#include "Overlay.h"
#include "SysUtils.h"
#include "cxEditPaintUtils.h"
#include "cxRegExpr.h"

#include <algorithm>

// ---- properties -------------------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomDropDownEditProperties, TcxCustomMaskEditProperties)

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties(TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner)
{
    FDropDownButtonIndex = GetDropDownButtonIndex();
    BeginUpdate();
    Buttons()->Add()->SetKind(bkDown);
    EndUpdate(false);
}

TClass TcxCustomDropDownEditProperties::GetEditClass() const { return TcxCustomDropDownEdit::StaticClass(); }

TClass TcxCustomDropDownEditProperties::GetPopupWindowClass() const
{
    return TcxCustomEditPopupWindow::StaticClass();
}

std::unique_ptr<TcxCustomEditViewData> TcxCustomDropDownEditProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                       bool AIsInplace)
{
    return std::make_unique<TcxCustomDropDownEditViewData>(this, AStyle, AIsInplace);
}

TBitmap* TcxCustomDropDownEditProperties::ButtonGlyph() const
{
    if (FDropDownButtonIndex < 0 || FDropDownButtonIndex >= Buttons()->Count()) return nullptr;
    return Buttons()->Items(FDropDownButtonIndex)->Glyph();
}

void TcxCustomDropDownEditProperties::SetButtonGlyph(TBitmap* Value)
{
    if (FDropDownButtonIndex < 0 || FDropDownButtonIndex >= Buttons()->Count()) return;
    Buttons()->Items(FDropDownButtonIndex)->SetGlyph(Value);
    UpdateDropDownButtonKind();
}

void TcxCustomDropDownEditProperties::UpdateDropDownButtonKind()
{
    if (FDropDownButtonIndex < 0 || FDropDownButtonIndex >= Buttons()->Count()) return;
    TcxEditButton* b = Buttons()->Items(FDropDownButtonIndex);
    TBitmap* g = b->HasGlyph() ? b->Glyph() : nullptr;
    bool assigned = g && !g->Empty() && g->Width() > 0 && g->Height() > 0;
    if (assigned && b->Kind() != bkGlyph) b->SetKind(bkGlyph);
    else if (!assigned && b->Kind() == bkGlyph) b->SetKind(bkDown);
}

void TcxCustomDropDownEditProperties::Changed()
{
    if (!FChangedLocked) {
        FChangedLocked = true;
        try {
            UpdateDropDownButtonKind();
        } catch (...) {
            FChangedLocked = false;
            throw;
        }
        FChangedLocked = false;
    }
    TcxCustomMaskEditProperties::Changed();
}

void TcxCustomDropDownEditProperties::SetDropDownButtonIndex(int AIndex)
{
    if (AIndex == FDropDownButtonIndex) return;
    cxDropDownEdit::InUpdate(this, [&] {
        TBitmap* old = ButtonGlyph();
        if (AIndex >= 0 && AIndex < Buttons()->Count()) {
            TcxEditButton* b = Buttons()->Items(AIndex);
            b->SetGlyph(old);
            b->SetKind(bkGlyph);
        }
        if (FDropDownButtonIndex >= 0 && FDropDownButtonIndex < Buttons()->Count())
            Buttons()->Items(FDropDownButtonIndex)->SetGlyph(nullptr);
        FDropDownButtonIndex = AIndex;
    });
}

void TcxCustomDropDownEditProperties::SetPopupAlignment(TAlignment Value)
{
    if (FPopupAlignment == Value) return;
    FPopupAlignment = Value;
    Changed();
}

void TcxCustomDropDownEditProperties::SetPopupClientEdge(bool Value)
{
    if (FPopupClientEdge == Value) return;
    FPopupClientEdge = Value;
    Changed();
}

void TcxCustomDropDownEditProperties::SetPopupSizeable(bool Value)
{
    if (FPopupSizeable == Value) return;
    FPopupSizeable = Value;
    Changed();
}

void TcxCustomDropDownEditProperties::SetPopupSysPanelStyle(bool Value)
{
    if (FPopupSysPanelStyle == Value) return;
    FPopupSysPanelStyle = Value;
    Changed();
}

void TcxCustomDropDownEditProperties::SetPopupHeight(int Value) { FPopupHeight = std::max(Value, FPopupMinHeight); }

void TcxCustomDropDownEditProperties::SetPopupMinHeight(int Value)
{
    FPopupMinHeight = std::max(Value, 0);
    SetPopupHeight(FPopupHeight);
}

void TcxCustomDropDownEditProperties::SetPopupWidth(int Value)
{
    if (Value < 0) Value = 0;
    if (Value > 0 && Value < FPopupMinWidth) Value = FPopupMinWidth;
    FPopupWidth = Value;
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(int Value)
{
    FPopupMinWidth = std::max(Value, 0);
    SetPopupWidth(FPopupWidth);
}

void TcxCustomDropDownEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomDropDownEditProperties*>(Source);
    if (!s) {
        TcxCustomMaskEditProperties::Assign(Source);
        return;
    }
    cxDropDownEdit::InUpdate(this, [&] {
        TcxCustomMaskEditProperties::Assign(Source);
        SetButtonGlyph(s->ButtonGlyph());
        SetImmediateDropDown(s->ImmediateDropDown());
        SetImmediatePopup(s->ImmediatePopup());
        SetPopupAlignment(s->PopupAlignment());
        SetPopupAutoSize(s->PopupAutoSize());
        SetPopupClientEdge(s->PopupClientEdge());
        SetPopupHeight(s->PopupHeight());
        SetPopupMinHeight(s->PopupMinHeight());
        SetPopupMinWidth(s->PopupMinWidth());
        SetPopupSizeable(s->PopupSizeable());
        SetPopupSysPanelStyle(s->PopupSysPanelStyle());
        SetPopupWidth(s->PopupWidth());
        OnCloseQuery = s->OnCloseQuery;
        OnCloseUp = s->OnCloseUp;
        OnInitPopup = s->OnInitPopup;
        OnPopup = s->OnPopup;
    });
}

// ---- view data ---------------------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomDropDownEditViewData, TcxCustomTextEditViewData)
QZ_CLASS_IMPL(TcxCustomDropDownEditData, TcxCustomEditData)

bool TcxCustomDropDownEditViewData::CanPressButton(TcxCustomEditViewInfo* AViewInfo, int AIndex)
{
    auto* p = dynamic_cast<TcxCustomDropDownEditProperties*>(Properties());
    if (IsHotAndPopup && p && AViewInfo && AIndex >= 0 && AIndex < AViewInfo->ButtonCount() &&
        AViewInfo->Button(AIndex)->ButtonIndex == p->GetDropDownButtonIndex())
        return false;
    return TcxCustomTextEditViewData::CanPressButton(AViewInfo, AIndex);
}

void TcxCustomDropDownEditViewData::Calculate(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                              int AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                                              bool AIsMouseEvent)
{
    TcxCustomTextEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
    auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
    if (!vi) return;
    vi->PopupOpen = IsPopupOpen;
    auto* p = static_cast<TcxCustomTextEditProperties*>(Properties());
    // A fixed list shows its text selected while it has the focus, as a
    // platform drop-down list does.
    vi->TextHighlighted = !IsInplace() && p->GetEditingStyle() == tesFixedList && Focused && !IsPopupOpen &&
                          !vi->Transparent && !(HasLookupSelection && p->IncrementalSelection());
}

// ---- popup controls' look-and-feel --------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxEditPopupControlLookAndFeel, TcxLookAndFeel)

TcxEditPopupControlLookAndFeel::TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* AEdit)
    : TcxLookAndFeel(nullptr), FEdit(AEdit)
{
}

TcxLookAndFeelKind TcxEditPopupControlLookAndFeel::KindOfButtonStyle(TcxEditButtonStyle AStyle)
{
    switch (AStyle) {
    case btsFlat:
    case btsSimple:
    case btsHotFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    default: return lfStandard;
    }
}

TcxLookAndFeelKind TcxEditPopupControlLookAndFeel::GetEffectiveKind() const
{
    if (!FEdit) return lfStandard;
    if (FEdit->IsInplace()) return FEdit->Style()->LookAndFeel()->Kind();
    TcxCustomEditViewInfo* vi = FEdit->EditViewInfo();
    if (!vi || vi->ButtonCount() == 0) return lfStandard;
    return KindOfButtonStyle(vi->Button(0)->ButtonStyle);
}

bool TcxEditPopupControlLookAndFeel::GetEffectiveNativeStyle() const
{
    return FEdit && FEdit->EditViewInfo() && FEdit->EditViewInfo()->Native;
}

void TcxEditPopupControlLookAndFeel::Refresh()
{
    TcxLookAndFeelKind k = GetEffectiveKind();
    bool n = GetEffectiveNativeStyle();
    TcxLookAndFeelValues changed;
    if (k != FLastKind) changed.Include(lfvKind);
    if (n != FLastNativeStyle) changed.Include(lfvNativeStyle);
    FLastKind = k;
    FLastNativeStyle = n;
    if (!changed.Empty()) NotifyChanged(changed);
}

// ---- popup window view info ------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomEditPopupWindowViewInfo, TcxContainerViewInfo)

int TcxCustomEditPopupWindowViewInfo::GetSysPanelHeight()
{
    int h = cxEditUtils::GetPopupWindowSysPanelHeight(Layout);
    return MinSysPanelHeight > 0 ? std::max(h, MinSysPanelHeight) : h;
}

TRect TcxCustomEditPopupWindowViewInfo::GetClientExtent()
{
    TcxPopupWindowLayout l = Layout;
    TRect e = cxEditUtils::GetPopupWindowBorderExtent(l);
    if (l.SysPanel) {
        // A taller panel than the routine's minimum.
        int extra = GetSysPanelHeight() - l.SysPanelHeight;
        if (l.SizeGripCorner >= 2) e.Bottom += extra;
        else e.Top += extra;
    }
    return e;
}

void TcxCustomEditPopupWindowViewInfo::Calculate()
{
    Layout.Bounds = OuterRect;
    cxEditUtils::CalculatePopupWindowViewInfo(Layout);
    if (Layout.SysPanel) {
        int extra = GetSysPanelHeight() - Layout.SysPanelHeight;
        if (extra > 0) {
            // The panel grows away from the grip's edge, into the client.
            Layout.SysPanelHeight += extra;
            TRect e = GetClientExtent();
            TRect whole{0, 0, OuterRect.Width(), OuterRect.Height()};
            Layout.ClientRect = TRect{e.Left, e.Top, whole.Right - e.Right, whole.Bottom - e.Bottom};
            if (Layout.SizeGripCorner >= 2) Layout.SysPanelRect.Top -= extra;
            else Layout.SysPanelRect.Bottom += extra;
        }
    }
    ContentRect = Layout.ClientRect;
    InnerRect = Layout.ClientRect;
}

void TcxCustomEditPopupWindowViewInfo::DrawBorder(TcxCanvas* ACanvas, TRect& R)
{
    cxEditUtils::DrawPopupWindowBorder(ACanvas, Layout, R);
}

void TcxCustomEditPopupWindowViewInfo::Paint(TcxCanvas* ACanvas)
{
    cxEditUtils::DrawPopupWindowFrame(ACanvas, Layout);
}

bool TcxCustomEditPopupWindowViewInfo::GetSizingHitTest(int X, int Y, int& AHorz, int& AVert)
{
    AHorz = AVert = 0;
    if (!Layout.Sizeable) return false;
    TRect whole{0, 0, OuterRect.Width(), OuterRect.Height()};
    if (!PtInRect(whole, TPoint{X, Y})) return false;
    const int corner = Layout.SizeGripCorner;
    const bool right = corner == 1 || corner == 3, bottom = corner >= 2;
    const TRect& grip = Layout.SizeGripSizingRect;
    if (!IsRectEmpty(grip) && PtInRect(grip, TPoint{X, Y})) {
        AHorz = right ? 1 : -1;
        AVert = bottom ? 1 : -1;
        return true;
    }
    if (PtInRect(Layout.SizingRegionBounds, TPoint{X, Y})) return false;
    // The border band: only the edges on the grip's sides size.
    const TRect& s = Layout.SizingRegionBounds;
    const int off = Layout.SizingOffset;
    if (!right && X < s.Left + off) AHorz = -1;
    if (right && X >= s.Right - off) AHorz = 1;
    if (!bottom && Y < s.Top + off) AVert = -1;
    if (bottom && Y >= s.Bottom - off) AVert = 1;
    return true;
}

// ---- popup window ---------------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomEditPopupWindow, TcxCustomPopupWindow)

namespace {

// The edit a popup window made from its class record belongs to.
TcxCustomDropDownEdit* GCreatingPopupFor = nullptr;

// One popup is resized at a time.
struct TSizingState {
    bool Resizing = false;
    TcxCustomEditPopupWindow* Window = nullptr;
    int GrabX = 0, GrabY = 0;
    int Horz = 0, Vert = 0;
    TRect Frame;
    bool FrameShown = false;
    int FrameWidth = 2;
};
TSizingState GSizing;

void DrawSizeFrame(const TRect& R, int AWidth)
{
    TRect r = R;
    for (int i = 0; i < AWidth; ++i) {
        ScreenOverlay()->DrawFocusRect(r);
        InflateRect(r, -1, -1);
    }
}

void EraseSizeFrame()
{
    if (!GSizing.FrameShown) return;
    DrawSizeFrame(GSizing.Frame, GSizing.FrameWidth);
    GSizing.FrameShown = false;
}

void ShowSizeFrame(const TRect& R, int AWidth)
{
    EraseSizeFrame();
    GSizing.Frame = R;
    GSizing.FrameWidth = AWidth;
    DrawSizeFrame(R, AWidth);
    GSizing.FrameShown = true;
}

}  // namespace

TRect TcxCustomEditPopupWindow::SizingFrame() { return GSizing.FrameShown ? GSizing.Frame : TRect{}; }
bool TcxCustomEditPopupWindow::IsResizing() { return GSizing.Resizing; }

TcxCustomEditPopupWindow::TcxCustomEditPopupWindow(TWinControl* AOwnerControl)
    : TcxCustomPopupWindow(AOwnerControl ? AOwnerControl : GCreatingPopupFor)
{
    FViewInfo = std::make_unique<TcxCustomEditPopupWindowViewInfo>();
    FViewInfo->Layout.BorderStyle = epbsDefault;
    FViewInfo->Layout.CloseButtonState = cxbsNormal;
    // The edit's popup closes by its own events; no loop of its own.
    Modal = false;
}

TcxCustomEditPopupWindow::~TcxCustomEditPopupWindow()
{
    if (GSizing.Window == this) {
        EraseSizeFrame();
        GSizing = TSizingState{};
    }
}

void TcxCustomEditPopupWindow::ReplaceViewInfo(std::unique_ptr<TcxCustomEditPopupWindowViewInfo> AViewInfo)
{
    AViewInfo->Layout = FViewInfo->Layout;
    AViewInfo->MinSysPanelHeight = FViewInfo->MinSysPanelHeight;
    FViewInfo = std::move(AViewInfo);
}

TcxCustomDropDownEdit* TcxCustomEditPopupWindow::Edit() const
{
    return dynamic_cast<TcxCustomDropDownEdit*>(OwnerControl());
}

void TcxCustomEditPopupWindow::SetBorderStyle(TcxEditPopupBorderStyle Value)
{
    FViewInfo->Layout.BorderStyle = Value;
}

void TcxCustomEditPopupWindow::SetClientEdge(bool Value)
{
    FViewInfo->Layout.ClientEdge = Value;
}

void TcxCustomEditPopupWindow::SetCloseButton(bool Value)
{
    FViewInfo->Layout.CloseButton = Value;
}

void TcxCustomEditPopupWindow::SetNativeStyle(bool Value)
{
    FNativeStyle = Value;
    FViewInfo->Layout.Native = Value;
}

void TcxCustomEditPopupWindow::SetShadow(bool Value)
{
    FViewInfo->Layout.Shadow = Value;
}

void TcxCustomEditPopupWindow::SetSizeable(bool Value)
{
    FViewInfo->Layout.Sizeable = Value;
}

void TcxCustomEditPopupWindow::SetSysPanelStyle(bool Value)
{
    FViewInfo->Layout.SysPanel = Value;
}

TRect TcxCustomEditPopupWindow::OwnerScreenBounds() const
{
    TcxCustomDropDownEdit* e = Edit();
    if (!e) return TRect{};
    TRect r = e->GetOwnerBounds();
    TPoint a = e->ClientToScreen(r.TopLeft()), b = e->ClientToScreen(r.BottomRight());
    return TRect{a.X, a.Y, b.X, b.Y};
}

TSize TcxCustomEditPopupWindow::GetMinSize()
{
    TRect e = FViewInfo->GetClientExtent();
    TSize s{e.Left + e.Right, e.Top + e.Bottom};
    if (FViewInfo->Layout.Sizeable && FViewInfo->Layout.SysPanel) {
        int h = FViewInfo->GetSysPanelHeight();
        // The close button, the grip and some room between them.
        s.cx += (h - 4) + (h - 2) + 10;
    }
    return s;
}

void TcxCustomEditPopupWindow::CalculateSize()
{
    FViewInfo->Layout.SizeGripCorner = 3;
    if (TcxCustomDropDownEdit* e = Edit()) {
        AnchorParent = e;
        AnchorBounds = e->GetOwnerBounds();
    }
    const TSize minSize = GetMinSize();
    const TRect ext = FViewInfo->GetClientExtent();
    TSize pref{0, 0};
    if (TcxCustomDropDownEdit* e = Edit()) e->GetPopupWindowClientPreferredSize(pref);
    int w, h;
    if (AutoSize) w = pref.cx + ext.Left + ext.Right;
    else w = PopupWidth != 0 ? PopupWidth : AnchorBounds.Width();
    if (FViewInfo->Layout.Sizeable && MinWidth > 0) w = std::max(w, MinWidth);
    if (AutoSize) h = pref.cy + ext.Top + ext.Bottom;
    else h = PopupHeight > 0 ? PopupHeight : std::max(MinHeight, minSize.cy);
    if (FViewInfo->Layout.Sizeable && MinHeight > 0) h = std::max(h, MinHeight);
    SetBounds(Left(), Top(), std::max(w, minSize.cx), std::max(h, minSize.cy));
}

void TcxCustomEditPopupWindow::CalculatePosition(TPoint& P)
{
    TcxPopupWindow::CalculatePosition(P);
    const TRect owner = OwnerScreenBounds();
    const TRect work = cxControls::GetDesktopWorkArea(owner.TopLeft());
    const bool below = P.Y > owner.Top;
    bool right;
    switch (HorzAlignment) {
    case phaLeft: right = P.X == owner.Left || owner.Left <= work.Left; break;
    case phaRight: right = owner.Left <= work.Left || P.X + Width() != owner.Right; break;
    default: right = owner.Left <= work.Left || work.Right - owner.Right >= owner.Left - work.Left; break;
    }
    FViewInfo->Layout.SizeGripCorner = (below ? 2 : 0) + (right ? 1 : 0);
    // Above the edit the shadow would fall on it: the popup comes down over
    // the shadow's strip, which the region then leaves out.
    if (FViewInfo->Layout.Shadow && !below) P.Y += 3;
}

void TcxCustomEditPopupWindow::CalculateViewInfo()
{
    FViewInfo->OuterRect = TRect{0, 0, Width(), Height()};
    FViewInfo->Calculate();
    if (TcxCustomDropDownEdit* e = Edit()) {
        TcxLookAndFeel* lf = e->PopupControlsLookAndFeel();
        FViewInfo->Layout.Native = FNativeStyle || (lf && lf->GetEffectiveNativeStyle());
    }
}

void TcxCustomEditPopupWindow::UpdateLayout()
{
    if (TcxCustomDropDownEdit* e = Edit()) {
        AnchorParent = e;
        AnchorBounds = e->GetOwnerBounds();
    }
    CalculateViewInfo();
    if (TcxCustomDropDownEdit* e = Edit()) e->PositionPopupWindowChildren(FViewInfo->Layout.ClientRect);
    Invalidate();
}

void TcxCustomEditPopupWindow::AdjustClientRect(TRect& Rect)
{
    TRect e = FViewInfo->GetClientExtent();
    Rect = TRect{e.Left, e.Top, Width() - e.Right, Height() - e.Bottom};
}

void TcxCustomEditPopupWindow::Paint()
{
    FViewInfo->OuterRect = TRect{0, 0, Width(), Height()};
    cxCanvas()->FillRect(FViewInfo->Layout.ClientRect, Color());
    FViewInfo->Paint(cxCanvas());
}

void TcxCustomEditPopupWindow::Resize()
{
    TcxCustomPopupWindow::Resize();
    if (HandleAllocated()) {
        CalculateViewInfo();
        cxEditUtils::SetPopupWindowRegion(this);
    }
}

bool TcxCustomEditPopupWindow::CanResize(int& NewWidth, int& NewHeight)
{
    bool result = TcxCustomPopupWindow::CanResize(NewWidth, NewHeight);
    if (!FViewInfo->Layout.Sizeable || (NewWidth == Width() && NewHeight == Height())) return result;
    TSize m = GetMinSize();
    if (MinWidth > 0) m.cx = std::max(m.cx, MinWidth);
    if (MinHeight > 0) m.cy = std::max(m.cy, MinHeight);
    NewWidth = std::max(NewWidth, m.cx);
    NewHeight = std::max(NewHeight, m.cy);
    if (NewWidth == Width() && NewHeight == Height()) return true;
    TcxCustomDropDownEdit* e = Edit();
    if (!e || !e->Properties()->UseLookupData() || !e->Properties()->IsLookupDataVisual()) return true;
    TcxCustomTextEditLookupData* d = e->LookupData();
    if (!d || !d->GetList()) return true;
    TRect ext = FViewInfo->GetClientExtent();
    TSize client{NewWidth - ext.Left - ext.Right, NewHeight - ext.Top - ext.Bottom};
    if (d->CanResizeList(client)) {
        NewWidth = std::max(client.cx + ext.Left + ext.Right, m.cx);
        NewHeight = std::max(client.cy + ext.Top + ext.Bottom, m.cy);
    } else {
        NewWidth = Width();
        NewHeight = Height();
    }
    return true;
}

void TcxCustomEditPopupWindow::DoClosing()
{
    if (GSizing.Window == this) EraseSizeFrame();
    TcxCustomPopupWindow::DoClosing();
}

void TcxCustomEditPopupWindow::DoClosed()
{
    if (GSizing.Window == this) {
        EraseSizeFrame();
        GSizing = TSizingState{};
    }
    TcxCustomPopupWindow::DoClosed();
}

void TcxCustomEditPopupWindow::ForwardChar(char32_t ACh)
{
    HWND f = GetFocus();
    if (f) SendMessage(f, WM_CHAR, WPARAM(ACh), 0);
}

void TcxCustomEditPopupWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == DXM_FORWARDCHAR) {
        if (IsPoppedUp()) ForwardChar(char32_t(Message.WParam));
        return;
    }
    TcxCustomPopupWindow::WndProc(Message);
}

void TcxCustomEditPopupWindow::KeyDown(WORD& Key, TShiftState Shift)
{
    TcxCustomDropDownEdit* e = Edit();
    if (e && IsPoppedUp()) {
        const bool alt = Shift.Contains(ssAlt);
        if (Key == VK_ESCAPE && !alt && !MouseCapture()) {
            Key = 0;
            e->CloseUp(false);
            return;
        }
        if ((alt && (Key == VK_UP || Key == VK_DOWN)) || (Key == VK_F4 && !alt)) {
            Key = 0;
            e->CloseUp(true);
            return;
        }
    }
    TcxCustomPopupWindow::KeyDown(Key, Shift);
}

void TcxCustomEditPopupWindow::SetCloseButtonState(TcxButtonState AState)
{
    if (FViewInfo->Layout.CloseButtonState == AState) return;
    FViewInfo->Layout.CloseButtonState = AState;
    if (HandleAllocated()) ::InvalidateRect(Handle(), &FViewInfo->Layout.CloseButtonRect, false);
}

void TcxCustomEditPopupWindow::SetSizingCursor(int AHorz, int AVert)
{
    SetCursor(cxDropDownEdit::SizingCursor(AHorz, AVert));
}

void TcxCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxCustomPopupWindow::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const TcxPopupWindowLayout& l = FViewInfo->Layout;
    if (l.CloseButton && l.SysPanel && PtInRect(l.CloseButtonRect, TPoint{X, Y})) {
        SetMouseCapture(true);
        SetCloseButtonState(cxbsPressed);
        return;
    }
    int h = 0, v = 0;
    if (!FViewInfo->GetSizingHitTest(X, Y, h, v) || (h == 0 && v == 0)) return;
    SetMouseCapture(true);
    GSizing = TSizingState{};
    GSizing.Resizing = true;
    GSizing.Window = this;
    GSizing.Horz = h;
    GSizing.Vert = v;
    GSizing.GrabX = h < 0 ? X : Width() - X;
    GSizing.GrabY = v < 0 ? Y : Height() - Y;
    int w = std::max(2, cxEditUtils::GetPopupWindowBorderWidth(l, false));
    TRect b = BoundsRect();
    if (FViewInfo->Layout.Shadow) {
        b.Right -= 3;
        b.Bottom -= 3;
    }
    ShowSizeFrame(b, w);
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxCustomPopupWindow::MouseMove(Shift, X, Y);
    const TcxPopupWindowLayout& l = FViewInfo->Layout;
    if (GSizing.Resizing && GSizing.Window == this) {
        const TRect cur = BoundsRect();
        TPoint sp = ClientToScreen(TPoint{X, Y});
        int left = cur.Left, top = cur.Top, right = cur.Right, bottom = cur.Bottom;
        const bool inside = PtInRect(TRect{0, 0, Width(), Height()}, TPoint{X, Y});
        const bool gripOnly = l.SysPanel && inside;
        const bool inGrip = PtInRect(l.SizeGripSizingRect, TPoint{X, Y});
        if (GSizing.Horz < 0) left = sp.X - GSizing.GrabX;
        if (GSizing.Horz > 0 && (!gripOnly || inGrip || sp.X - cur.Left + GSizing.GrabX < Width()))
            right = sp.X + GSizing.GrabX;
        if (GSizing.Vert < 0) top = sp.Y - GSizing.GrabY;
        if (GSizing.Vert > 0 && (!gripOnly || inGrip || sp.Y - cur.Top + GSizing.GrabY < Height()))
            bottom = sp.Y + GSizing.GrabY;
        int w = right - left, h = bottom - top;
        CanResize(w, h);
        if (w == Width() && h == Height() && GSizing.FrameShown) {
            TRect f = GSizing.Frame;
            if (f.Width() + (FViewInfo->Layout.Shadow ? 3 : 0) == w && f.Height() + (FViewInfo->Layout.Shadow ? 3 : 0) == h) return;
        }
        // Anchored on the side opposite the grip.
        TRect r = GSizing.Horz < 0 ? TRect{cur.Right - w, 0, cur.Right, 0} : TRect{cur.Left, 0, cur.Left + w, 0};
        if (GSizing.Vert < 0) {
            r.Top = cur.Bottom - h;
            r.Bottom = cur.Bottom;
        } else {
            r.Top = cur.Top;
            r.Bottom = cur.Top + h;
        }
        const TRect owner = OwnerScreenBounds();
        // It stays over the edit's horizontal span.
        if (r.Left > owner.Right - 1) OffsetRect(r, owner.Right - 1 - r.Left, 0);
        if (r.Right < owner.Left + 1) OffsetRect(r, owner.Left + 1 - r.Right, 0);
        r = cxDropDownEdit::ClipToWorkArea(r, owner);
        TRect frame = r;
        if (FViewInfo->Layout.Shadow) {
            frame.Right -= 3;
            frame.Bottom -= 3;
        }
        if (r != cur) {
            if (TcxCustomDropDownEdit* e = Edit()) e->SetPopupSizedByUser(true);
            ShowSizeFrame(frame, GSizing.FrameWidth);
        }
        return;
    }
    if (l.CloseButton && l.SysPanel) {
        bool over = PtInRect(l.CloseButtonRect, TPoint{X, Y});
        if (l.CloseButtonState == cxbsPressed || MouseCapture()) {
            if (MouseCapture() && l.CloseButtonState != cxbsNormal && !over) SetCloseButtonState(cxbsHot);
        } else if (!Shift.Contains(ssLeft) && !Shift.Contains(ssRight) && !Shift.Contains(ssMiddle)) {
            SetCloseButtonState(over ? cxbsHot : cxbsNormal);
        }
    }
    int h = 0, v = 0;
    if (FViewInfo->GetSizingHitTest(X, Y, h, v)) SetSizingCursor(h, v);
    else SetSizingCursor(0, 0);
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxCustomPopupWindow::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (GSizing.Resizing && GSizing.Window == this) {
        SetMouseCapture(false);
        TRect f = GSizing.Frame;
        bool shown = GSizing.FrameShown;
        EraseSizeFrame();
        GSizing = TSizingState{};
        if (shown) {
            if (FViewInfo->Layout.Shadow) {
                f.Right += 3;
                f.Bottom += 3;
            }
            if (f != BoundsRect()) SetBounds(f.Left, f.Top, f.Width(), f.Height());
        }
        UpdateLayout();
        int h = 0, v = 0;
        SetSizingCursor(FViewInfo->GetSizingHitTest(X, Y, h, v) ? h : 0, v);
        return;
    }
    const TcxPopupWindowLayout& l = FViewInfo->Layout;
    if (l.CloseButton && l.SysPanel && l.CloseButtonState == cxbsPressed) {
        SetMouseCapture(false);
        if (PtInRect(l.CloseButtonRect, TPoint{X, Y})) {
            bool canClose = true;
            if (OnCloseQuery) OnCloseQuery(this, canClose);
            TWeakRef<TcxCustomEditPopupWindow> alive(this);
            if (canClose)
                if (TcxCustomDropDownEdit* e = Edit()) e->CloseUp(false);
            if (alive) SetCloseButtonState(IsPoppedUp() ? cxbsHot : cxbsNormal);
        } else {
            SetCloseButtonState(cxbsNormal);
        }
    }
}

void TcxCustomEditPopupWindow::MouseLeave(TControl* AControl)
{
    TcxCustomPopupWindow::MouseLeave(AControl);
    if (FViewInfo->Layout.CloseButtonState == cxbsHot) SetCloseButtonState(cxbsNormal);
    if (!GSizing.Resizing) SetSizingCursor(0, 0);
}

// ---- routines ---------------------------------------------------------------------------------------------

namespace cxDropDownEdit {

void InUpdate(TcxCustomEditProperties* AProperties, const std::function<void()>& AAction)
{
    AProperties->BeginUpdate();
    try {
        AAction();
    } catch (...) {
        AProperties->EndUpdate();
        throw;
    }
    AProperties->EndUpdate();
}

TRect ClipToWorkArea(const TRect& R, const TRect& AOwner)
{
    const TRect work = cxControls::GetDesktopWorkArea(AOwner.TopLeft());
    TRect r = R;
    if (r.Left < work.Left) r.Left = work.Left;
    if (r.Right > work.Right) r.Right = work.Right;
    if (r.Top < work.Top) r.Top = work.Top;
    if (r.Bottom > work.Bottom) r.Bottom = work.Bottom;
    return r;
}

TCursor SizingCursor(int AHorz, int AVert)
{
    if (AHorz != 0 && AVert != 0) return AHorz == AVert ? crSizeNWSE : crSizeNESW;
    if (AHorz != 0) return crSizeWE;
    if (AVert != 0) return crSizeNS;
    return crDefault;
}

}  // namespace cxDropDownEdit

namespace cxEditUtils {

void SetPopupWindowRegion(TcxCustomEditPopupWindow* AWindow)
{
    if (!AWindow || !AWindow->HandleAllocated()) return;
    const int w = AWindow->Width(), h = AWindow->Height();
    HRGN rgn = CreateRectRgn(0, 0, w, h);
    if (AWindow->Shadow() && !AWindow->NativeStyle()) {
        // The window less its shadow's width, plus the shadow 3 pixels in.
        HRGN body = CreateRectRgn(0, 0, w - 3, h - 3);
        HRGN shadow = CreateRectRgn(3, 3, w, h);
        CombineRgn(rgn, body, shadow, RGN_OR);
        DeleteObject(body);
        DeleteObject(shadow);
        if (AWindow->SizeGripCorner() < 2) {
            // Above the edit: the shadow's bottom strip would lie on the edit.
            TRect owner = AWindow->OwnerScreenBounds();
            int left = owner.Left - AWindow->Left();
            HRGN cut = CreateRectRgn(left, h - 3, left + owner.Width() - 3, h);
            CombineRgn(rgn, rgn, cut, RGN_DIFF);
            DeleteObject(cut);
        }
    }
    SetWindowRgn(AWindow->Handle(), rgn, true);
}

}  // namespace cxEditUtils

// ---- the edit -------------------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomDropDownEdit, TcxCustomMaskEdit)

TcxCustomDropDownEdit::TcxCustomDropDownEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomMaskEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    FPopupControlsLookAndFeel = std::make_unique<TcxEditPopupControlLookAndFeel>(this);
    FPopupControlsLookAndFeel->AfterConstruction();
    FPopupControlsLookAndFeel->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) {
        PopupControlsLookAndFeelChanged();
    };
    PropertiesChanged(ActiveProperties());
}

TcxCustomDropDownEdit::~TcxCustomDropDownEdit()
{
    if (FPopupWindow) {
        FPopupWindow->OnClosed = nullptr;
        FPopupWindow->OnClosing = nullptr;
        FPopupWindow->OnShowed = nullptr;
        FPopupWindow->OnShowing = nullptr;
        FPopupWindow->OnCloseQuery = nullptr;
        FPopupWindow->ClosePopup(false);
    }
    FPopupWindow.reset();
    FPopupControlsLookAndFeel.reset();
}

void TcxCustomDropDownEdit::BeforeDestruction()
{
    if (TcxCustomTextEditLookupData* d = Properties() && Properties()->UseLookupData() ? LookupData() : nullptr)
        d->Deinitialize();
    TcxCustomMaskEdit::BeforeDestruction();
}

TcxCustomEditPopupWindow* TcxCustomDropDownEdit::CreatePopupWindow()
{
    TClass c = Properties()->GetPopupWindowClass();
    TcxCustomDropDownEdit* old = GCreatingPopupFor;
    GCreatingPopupFor = this;
    TObject* o = nullptr;
    try {
        o = c ? c->Create(nullptr) : nullptr;
    } catch (...) {
        GCreatingPopupFor = old;
        throw;
    }
    GCreatingPopupFor = old;
    auto* w = dynamic_cast<TcxCustomEditPopupWindow*>(o);
    if (!w) {
        delete o;
        w = new TcxCustomEditPopupWindow(this);
    }
    w->SetTakesFocus(Properties()->PopupWindowTakesFocus());
    if (!IsInplace()) w->SetTopMostWithOwner(true);
    w->OnCloseQuery = [this](TObject* s, bool& c) { PopupWindowCloseQuery(s, c); };
    w->OnClosed = [this](TObject* s) { PopupWindowClosed(s); };
    w->OnClosing = [this](TObject* s) { PopupWindowClosing(s); };
    w->OnShowed = [this](TObject* s) { PopupWindowShowed(s); };
    w->OnShowing = [this](TObject* s) { PopupWindowShowing(s); };
    return w;
}

TcxCustomEditPopupWindow* TcxCustomDropDownEdit::EnsurePopupWindow()
{
    if (!FPopupWindow && !IsDesigning()) FPopupWindow.reset(CreatePopupWindow());
    return FPopupWindow.get();
}

bool TcxCustomDropDownEdit::HasPopupWindow() const { return FPopupWindow && FPopupWindow->IsPoppedUp(); }

bool TcxCustomDropDownEdit::Focused() const { return TcxCustomMaskEdit::Focused() || HasPopupWindow(); }

void TcxCustomDropDownEdit::SetDroppedDown(bool Value)
{
    if (Value == HasPopupWindow()) return;
    if (Value) DropDown();
    else CloseUp(false);
}

TRect TcxCustomDropDownEdit::GetOwnerBounds()
{
    TRect r{0, 0, Width(), Height()};
    // The shadow is not part of the frame the popup aligns with.
    if (!IsInplace() && Style()->Shadow()) {
        r.Right -= 3;
        r.Bottom -= 3;
    }
    return r;
}

void TcxCustomDropDownEdit::DoInitPopup()
{
    if (Properties()->OnInitPopup) Properties()->OnInitPopup(this);
}

void TcxCustomDropDownEdit::DoPopup()
{
    if (Properties()->OnPopup) Properties()->OnPopup(this);
}

void TcxCustomDropDownEdit::DoCloseUp()
{
    if (Properties()->OnCloseUp) Properties()->OnCloseUp(this);
}

void TcxCustomDropDownEdit::DropDown()
{
    DoInitPopup();
    if (!CanDropDown()) return;
    if (Properties()->UseLookupData())
        if (TcxCustomTextEditLookupData* d = LookupData()) d->DropDown();
    TcxCustomEditPopupWindow* w = EnsurePopupWindow();
    if (!w) return;
    // The window region needs the window.
    w->HandleNeeded();
    UpdatePopupWindow();
    PostMessage(w->Handle(), DXM_SHOWPOPUPWINDOW, WPARAM(GetPopupFocusedControl()), 0);
}

TWinControl* TcxCustomDropDownEdit::GetPopupFocusedControl()
{
    if (Properties()->UseLookupData() && Properties()->IsLookupDataVisual() &&
        Properties()->PopupWindowTakesFocus())
        if (TcxCustomTextEditLookupData* d = LookupData(); d && d->GetList()) return d->GetList();
    return InnerEdit();
}

void TcxCustomDropDownEdit::InitializeLookupData()
{
    if (IsDesigning() || !Properties()->UseLookupData() || !Properties()->IsLookupDataVisual()) return;
    TcxCustomTextEditLookupData* d = LookupData();
    if (d && EnsurePopupWindow()) d->InitializeList(FPopupWindow.get());
}

void TcxCustomDropDownEdit::SetupPopupWindow()
{
    TcxCustomEditPopupWindow* w = FPopupWindow.get();
    TcxCustomDropDownEditProperties* p = Properties();
    switch (p->PopupAlignment()) {
    case taCenter: w->HorzAlignment = phaCenter; break;
    case taRightJustify: w->HorzAlignment = phaRight; break;
    default: w->HorzAlignment = phaLeft; break;
    }
    w->VertAlignment = pvaBottom;
    w->SetClientEdge(p->PopupClientEdge());
    w->MinHeight = p->PopupMinHeight();
    w->MinWidth = p->PopupMinWidth();
    w->AutoSize = p->PopupAutoSize();
    w->SetSizeable(p->PopupSizeable());
    w->SetSysPanelStyle(p->PopupSysPanelStyle());
    auto* data = dynamic_cast<TcxCustomDropDownEditData*>(EditData());
    if (IsInplace() && p->PopupSizeable() && data) {
        w->PopupWidth = data->PopupWidth;
        w->PopupHeight = data->PopupHeight;
    } else {
        w->PopupWidth = p->PopupWidth();
        w->PopupHeight = p->PopupHeight();
    }
    w->SetCloseButton(EditStyle()->PopupCloseButton());
    w->SetBorderStyle(EditViewInfo()->PopupBorderStyle);
    w->SetNativeStyle(EditViewInfo()->Native);
    w->SetShadow(!IsInplace() && EditViewInfo()->Shadow);
    w->Font()->Assign(EditStyle()->Font());
    w->SetColor(EditStyle()->GetEffectiveColor());
}

void TcxCustomDropDownEdit::UpdatePopupWindow()
{
    TcxCustomEditPopupWindow* w = EnsurePopupWindow();
    if (!w) return;
    w->SetTakesFocus(Properties()->PopupWindowTakesFocus());
    InitializeLookupData();
    SetupPopupWindow();
    w->CalculateSize();
    TPoint p{w->Left(), w->Top()};
    w->CalculatePosition(p);
    w->SetBounds(p.X, p.Y, w->Width(), w->Height());
    w->UpdateLayout();
    cxEditUtils::SetPopupWindowRegion(w);
}

void TcxCustomDropDownEdit::PositionPopupWindowChildren(const TRect& AClientRect)
{
    if (Properties()->UseLookupData() && Properties()->IsLookupDataVisual())
        if (TcxCustomTextEditLookupData* d = LookupData()) d->PositionList(AClientRect);
}

void TcxCustomDropDownEdit::PopupWindowShowed(TObject*)
{
    ShortRefreshContainer(false);
    if (FPopupWindow) {
        FPopupWindow->CalculateViewInfo();
        PositionPopupWindowChildren(FPopupWindow->EditViewInfo()->Layout.ClientRect);
    }
    DoPopup();
    RefreshDisplay();
    if (Properties()->UseLookupData() && LookupSelection() && Properties()->ImmediateDropDown() &&
        Properties()->PopupWindowTakesFocus())
        if (TcxCustomTextEditLookupData* d = LookupData())
            d->PopupShown(cxRegExpr::ToUtf8(cxRegExpr::ToU32(GetDisplayText()).substr(0, size_t(SelStart()))));
}

void TcxCustomDropDownEdit::PopupWindowCloseQuery(TObject*, bool& CanClose)
{
    if (Properties()->OnCloseQuery) Properties()->OnCloseQuery(this, CanClose);
}

void TcxCustomDropDownEdit::CloseUp(bool AAccept)
{
    if (!HasPopupWindow()) return;
    LockChangeEvents(true);
    try {
        if (AAccept) {
            if (Properties()->UseLookupData())
                if (TcxCustomTextEditLookupData* d = LookupData()) {
                    int before = d->CurrentKey();
                    d->SelectItem();
                    if (ModifiedAfterEnter() && d->CurrentKey() != before) Click();
                }
            if (!Properties()->PostEditValueOnClosed() && Properties()->ImmediatePost() && CanModify() &&
                ModifiedAfterEnter())
                PostEditValue(true);
        }
    } catch (...) {
        LockChangeEvents(false, true);
        if (FPopupWindow) FPopupWindow->ClosePopup(false);
        throw;
    }
    LockChangeEvents(false, true);
    if (FPopupWindow) FPopupWindow->ClosePopup(false);
}

void TcxCustomDropDownEdit::PopupWindowClosed(TObject*)
{
    TcxCustomDropDownEditProperties* p = Properties();
    if (p->PopupSizeable() && FPopupSizedByUser && FPopupWindow) {
        auto* data = dynamic_cast<TcxCustomDropDownEditData*>(EditData());
        if (IsInplace() && data) {
            data->PopupSizedByUser = true;
            data->PopupWidth = FPopupWindow->Width();
            data->PopupHeight = FPopupWindow->Height();
        } else if (!IsInplace()) {
            p->SetPopupWidth(FPopupWindow->Width());
            p->SetPopupHeight(FPopupWindow->Height());
        }
    }
    if (p->UseLookupData())
        if (TcxCustomTextEditLookupData* d = LookupData()) d->SyncItemIndex();
    ShortRefreshContainer(false);
    DoCloseUp();
    LockChangeEvents(true);
    try {
        if (p->PostEditValueOnClosed() && p->ImmediatePost() && CanModify() && ModifiedAfterEnter() &&
            ValidateEdit(true))
            PostEditValue(false);
    } catch (...) {
        LockChangeEvents(false, true);
        throw;
    }
    LockChangeEvents(false, true);
}

Variant TcxCustomDropDownEdit::GetLookupItemValue(const Variant& AKey)
{
    TcxCustomTextEditLookupData* d = LookupData();
    return DisplayValueToEditValue(d ? d->GetDisplayText(AKey) : std::string());
}

void TcxCustomDropDownEdit::LookupDataChanged(TObject*)
{
    TcxCustomTextEditLookupData* d = LookupData();
    if (!d) return;
    Variant v = GetLookupItemValue(d->GetCurrentKey());
    const bool differs = !cxEdit::VarEqualsExact(v, GetEditValue());
    if (differs && !DoEditing()) return;
    PushModifiedState();
    try {
        ChangeEditValue(v);
    } catch (...) {
        PopModifiedState();
        throw;
    }
    PopModifiedState();
    if (differs) SetModifiedAfterEnter(true);
    SelectAll();
    ShortRefreshContainer(false);
}

bool TcxCustomDropDownEdit::CanUseLookupNavigation(bool AForWheel)
{
    if (!InnerEdit()) return false;
    if (IsInplace() && !AForWheel && !HasPopupWindow()) return false;
    return true;
}

bool TcxCustomDropDownEdit::IsClickKey(WORD Key, TShiftState Shift)
{
    if (TcxCustomMaskEdit::IsClickKey(Key, Shift)) return true;
    if (!IsInplace() || !HasPopupWindow()) return false;
    return Shift.Contains(ssAlt) || Shift.Contains(ssCtrl) || Key < 32 || Key > 255;
}

void TcxCustomDropDownEdit::DoEditKeyDown(WORD& Key, TShiftState Shift)
{
    const bool alt = Shift.Contains(ssAlt);
    if ((alt && (Key == VK_UP || Key == VK_DOWN)) || (Key == VK_F4 && !alt)) {
        if (HasPopupWindow()) CloseUp(true);
        else DropDown();
        Key = 0;
        return;
    }
    if (!alt && HasPopupWindow() && (Key == VK_RETURN || Key == VK_ESCAPE)) {
        const WORD key = Key;
        // The character of the same key must not reach the text.
        FPopupJustClosed = true;
        UserChange([&] {
            if (key == VK_RETURN) CloseUp(DoEditing());
            else CloseUp(false);
        });
        if (key == VK_ESCAPE && GetCapture()) ReleaseCapture();
        if (HasPopupWindow()) return;
        bool consumed = true;
        if (Properties()->UseLookupData())
            if (TcxCustomTextEditLookupData* d = LookupData()) consumed = d->ContainsText(GetDisplayText());
        if (consumed) {
            Key = 0;
            return;
        }
    }
    // Stepping through the items with the list's keys.
    TcxTextEditingStyle style = Properties()->GetEditingStyle();
    bool nav = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN ||
               ((Key == VK_HOME || Key == VK_END) && style == tesFixedList);
    if (nav && !alt && Properties()->UseLookupData() && CanUseLookupNavigation(false)) {
        TcxCustomTextEditLookupData* d = LookupData();
        if (d && !d->IsEmpty()) {
            if (!DoEditing()) {
                Key = 0;
                return;
            }
            const bool ctrl = Shift.Contains(ssCtrl);
            TcxLookupDirection dir = ldNext;
            switch (Key) {
            case VK_PRIOR: dir = ctrl ? ldFirst : ldPageUp; break;
            case VK_NEXT: dir = ctrl ? ldLast : ldPageDown; break;
            case VK_END: dir = ldLast; break;
            case VK_HOME: dir = ldFirst; break;
            case VK_UP: dir = ldPrevious; break;
            default: dir = ldNext; break;
            }
            int before = d->CurrentKey();
            d->ListVisible = HasPopupWindow();
            PopupMouseMoveLocked = HasPopupWindow();
            UserChange([&] { d->Go(dir, false); });
            if (d->CurrentKey() != before) {
                Click();
                LockChangeEvents(true);
                try {
                    if (CanModify() && Properties()->ImmediatePost() && ValidateEdit(true)) PostEditValue(false);
                } catch (...) {
                    LockChangeEvents(false, true);
                    throw;
                }
                LockChangeEvents(false, true);
            }
            Key = 0;
            return;
        }
    }
    TcxCustomMaskEdit::DoEditKeyDown(Key, Shift);
}

void TcxCustomDropDownEdit::DoEditKeyPress(char& Key)
{
    if (FPopupJustClosed) {
        FPopupJustClosed = false;
        if (Key == '\r' || Key == char(27)) {
            Key = 0;
            return;
        }
    }
    unsigned char c = static_cast<unsigned char>(Key);
    if (c >= 32 && Properties()->ImmediateDropDown() && !HasPopupWindow()) Perform(DXM_DROPDOWNEDIT, 0, 0);
    if (Properties()->PopupWindowTakesFocus() && Key != '\r' && CanDropDown() && HasPopupWindow() &&
        GetPopupFocusedControl() && GetPopupFocusedControl() != InnerEdit()) {
        PostMessage(FPopupWindow->Handle(), DXM_FORWARDCHAR, WPARAM(c), 0);
        Key = 0;
        return;
    }
    TcxCustomMaskEdit::DoEditKeyPress(Key);
}

bool TcxCustomDropDownEdit::InnerWideChar(char32_t ACh)
{
    if (Properties()->ImmediateDropDown() && !HasPopupWindow()) Perform(DXM_DROPDOWNEDIT, 0, 0);
    return TcxCustomMaskEdit::InnerWideChar(ACh);
}

void TcxCustomDropDownEdit::KeyUp(WORD& Key, TShiftState Shift)
{
    TcxCustomMaskEdit::KeyUp(Key, Shift);
    if (Key == VK_MENU && Shift.Empty() && InnerEdit() && InnerEdit()->HandleAllocated()) {
        TMsg m;
        while (PeekMessage(&m, InnerEdit()->Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
        }
    }
}

void TcxCustomDropDownEdit::PasteFromClipboard()
{
    if (!IsUserChange()) {
        TcxCustomMaskEdit::PasteFromClipboard();
        return;
    }
    std::string before = GetDisplayText();
    TcxCustomMaskEdit::PasteFromClipboard();
    if (GetDisplayText() == before || !Properties()->ImmediateDropDown() || HasPopupWindow()) return;
    Perform(DXM_DROPDOWNEDIT, 0, 0);
    if (Properties()->UseLookupData() && HandleAllocated()) PostMessage(Handle(), DXM_LOCATETEXTINPOPUP, 0, 0);
}

void TcxCustomDropDownEdit::LocateTextInPopup()
{
    if (!HasPopupWindow()) return;
    TcxCustomTextEditLookupData* d = LookupData();
    if (!d) return;
    int before = d->CurrentKey();
    d->TextChanged();
    if (d->CurrentKey() != before) Click();
}

void TcxCustomDropDownEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case DXM_DROPDOWNEDIT:
        DropDown();
        return;
    case DXM_LOCATETEXTINPOPUP:
        LocateTextInPopup();
        return;
    case CM_HINTSHOW:
        if (HasPopupWindow()) {
            Message.Result = 1;
            return;
        }
        break;
    }
    TcxCustomMaskEdit::WndProc(Message);
}

void TcxCustomDropDownEdit::DoButtonDown(int AButtonIndex)
{
    TcxCustomMaskEdit::DoButtonDown(AButtonIndex);
    if (AButtonIndex == Properties()->GetDropDownButtonIndex() && !FIsHotAndPopup) SetDroppedDown(true);
}

void TcxCustomDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWeakRef<TcxCustomDropDownEdit> alive(this);
    TcxCustomMaskEdit::MouseDown(Button, Shift, X, Y);
    if (!alive || FActivatingByMouse || Button != mbLeft) return;
    if (Properties()->DropDownOnClick() && PtInRect(EditViewInfo()->ContentRect, TPoint{X, Y}) &&
        !HasPopupWindow() && !FIsHotAndPopup && Focused())
        DropDown();
}

void TcxCustomDropDownEdit::InnerMouseEvent(UINT AMsg, WPARAM AKeys)
{
    TcxCustomMaskEdit::InnerMouseEvent(AMsg, AKeys);
    if (AMsg != WM_LBUTTONDBLCLK) {
        FInnerDblClickDone = false;
        return;
    }
    FInnerDblClickDone = false;
    DblClick();
    // The activation's replayed click reports the same double click again.
    FInnerDblClickDone = true;
}

void TcxCustomDropDownEdit::DblClick()
{
    if (FInnerDblClickDone) {
        FInnerDblClickDone = false;
        return;
    }
    TWeakRef<TcxCustomDropDownEdit> alive(this);
    TcxCustomMaskEdit::DblClick();
    if (alive) EditDblClick();
}

void TcxCustomDropDownEdit::UpdateHotAndPopup(const TPoint& P)
{
    FIsHotAndPopup = HasPopupWindow() && PtInRect(TRect{0, 0, Width(), Height()}, P);
}

bool TcxCustomDropDownEdit::RefreshContainer(const TPoint& P, int AButton, TShiftState AShift, bool AIsMouseEvent)
{
    bool result = TcxCustomMaskEdit::RefreshContainer(P, AButton, AShift, AIsMouseEvent);
    if (HasPopupWindow() && EditViewInfo()->IsMousePressed && EditViewInfo()->PressedButtonIndex < 0) CloseUp(false);
    if (AIsMouseEvent && AButton != 1) UpdateHotAndPopup(P);
    if (FPopupControlsLookAndFeel) FPopupControlsLookAndFeel->Refresh();
    return result;
}

void TcxCustomDropDownEdit::InitializeViewData(TcxCustomEditViewData* AViewData)
{
    TcxCustomMaskEdit::InitializeViewData(AViewData);
    if (auto* d = dynamic_cast<TcxCustomDropDownEditViewData*>(AViewData)) {
        d->IsPopupOpen = HasPopupWindow();
        d->IsHotAndPopup = FIsHotAndPopup;
        d->HasLookupSelection = LookupSelection();
    }
}

bool TcxCustomDropDownEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TcxCustomMaskEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    if (!CanUseLookupNavigation(true) || !HasPopupWindow() || !Properties()->UseLookupData()) return false;
    TcxCustomTextEditLookupData* d = LookupData();
    if (!d || d->IsEmpty() || !d->GetList()) return false;
    d->GetList()->Perform(WM_MOUSEWHEEL, WPARAM(uint32_t(uint16_t(int16_t(WheelDelta))) << 16),
                          LPARAM((uint32_t(uint16_t(MousePos.Y)) << 16) | uint16_t(MousePos.X)));
    return true;
}

void TcxCustomDropDownEdit::DoExit()
{
    if (HasPopupWindow()) CloseUp(false);
    TcxCustomMaskEdit::DoExit();
}

void TcxCustomDropDownEdit::CreateHandle()
{
    TcxCustomMaskEdit::CreateHandle();
    InitializeLookupData();
}

bool TcxCustomDropDownEdit::CanSendActivationKey(char32_t AKey)
{
    if (Properties()->ImmediateDropDown() && Properties()->PopupWindowTakesFocus() && AKey != '\r') return false;
    return TcxCustomMaskEdit::CanSendActivationKey(AKey);
}

void TcxCustomDropDownEdit::ResetEditData(TcxCustomEditData* AEditData)
{
    if (auto* d = dynamic_cast<TcxCustomDropDownEditData*>(AEditData)) {
        d->PopupSizedByUser = false;
        d->PopupWidth = Properties()->PopupWidth();
        d->PopupHeight = Properties()->PopupHeight();
    }
}

void TcxCustomDropDownEdit::Activate(std::unique_ptr<TcxCustomEditData>& AEditData)
{
    TcxCustomMaskEdit::Activate(AEditData);
    if (Properties()->PopupSizeable())
        if (auto* d = dynamic_cast<TcxCustomDropDownEditData*>(EditData())) FPopupSizedByUser = d->PopupSizedByUser;
    if (Properties()->ImmediatePopup()) DropDown();
}

void TcxCustomDropDownEdit::ActivateByKey(char32_t AKey, std::unique_ptr<TcxCustomEditData>& AEditData)
{
    TcxCustomMaskEdit::ActivateByKey(AKey, AEditData);
    const bool replayed = CanSendActivationKey(AKey);
    if (AKey >= 32 && Properties()->ImmediateDropDown() && !Properties()->ImmediatePopup() && !replayed) DropDown();
    if (!replayed && CanDropDown() && FPopupWindow && FPopupWindow->HandleAllocated() && GetPopupFocusedControl() &&
        GetPopupFocusedControl() != InnerEdit())
        PostMessage(FPopupWindow->Handle(), DXM_FORWARDCHAR, WPARAM(AKey), 0);
}

bool TcxCustomDropDownEdit::Deactivate()
{
    if (HasPopupWindow()) CloseUp(false);
    if (auto* d = dynamic_cast<TcxCustomDropDownEditData*>(EditData())) d->PopupSizedByUser = FPopupSizedByUser;
    bool result = TcxCustomMaskEdit::Deactivate();
    // A show request still queued would open the popup after the editing ended.
    if (FPopupWindow && FPopupWindow->HandleAllocated()) {
        TMsg m;
        while (PeekMessage(&m, FPopupWindow->Handle(), DXM_SHOWPOPUPWINDOW, DXM_SHOWPOPUPWINDOW, PM_REMOVE)) {
        }
    }
    return result;
}

void TcxCustomDropDownEdit::PropertiesChanged(TObject* Sender)
{
    // While a descendant's constructor replaces the properties, the old
    // ones (of a base class) may still report.
    if (!dynamic_cast<TcxCustomDropDownEditProperties*>(ActiveProperties())) {
        TcxCustomMaskEdit::PropertiesChanged(Sender);
        return;
    }
    if (!Properties()->PopupSizeable()) FPopupSizedByUser = false;
    if (Properties()->UseLookupData())
        if (TcxCustomTextEditLookupData* d = LookupData()) d->OnSelectItem = [this](TObject* s) { LookupDataChanged(s); };
    if (HasPopupWindow()) UpdatePopupWindow();
    TcxCustomMaskEdit::PropertiesChanged(Sender);
}

// ---- the combo box ----------------------------------------------------------------------------------------

#define RS(Name, Text) const TcxResourceStringRec Name = {#Name, Text};
RS(scxSEditRepositoryComboBoxItem, "ComboBox|Represents the combo box editor")
RS(scxSEditRepositoryPopupItem, "PopupEdit|Represents an edit control with a dropdown list")
RS(cxSEditPopupCircularReferencingError, "Circular referencing is not allowed")
#undef RS

QZ_CLASS_IMPL(TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties)
QZ_CLASS_IMPL(TcxComboBoxProperties, TcxCustomComboBoxProperties)
QZ_CLASS_IMPL(TcxCustomComboBoxViewData, TcxCustomDropDownEditViewData)
QZ_CLASS_IMPL(TcxComboBoxListBox, TcxCustomEditListBox)
QZ_CLASS_IMPL(TcxComboBoxLookupData, TcxCustomTextEditLookupData)
QZ_CLASS_IMPL(TcxComboBoxPopupWindow, TcxCustomEditPopupWindow)
QZ_CLASS_IMPL(TcxCustomComboBox, TcxCustomDropDownEdit)
QZ_CLASS_IMPL(TcxComboBox, TcxCustomComboBox)

TcxCustomComboBoxProperties::TcxCustomComboBoxProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner)
{
}

TClass TcxCustomComboBoxProperties::GetEditClass() const { return TcxComboBox::StaticClass(); }
TClass TcxCustomComboBoxProperties::GetLookupDataClass() const { return TcxComboBoxLookupData::StaticClass(); }
TClass TcxCustomComboBoxProperties::GetPopupWindowClass() const { return TcxComboBoxPopupWindow::StaticClass(); }

std::unique_ptr<TcxCustomEditViewData> TcxCustomComboBoxProperties::CreateViewData(TcxCustomEditStyle* AStyle,
                                                                                   bool AIsInplace)
{
    return std::make_unique<TcxCustomComboBoxViewData>(this, AStyle, AIsInplace);
}

TcxTextEditingStyle TcxCustomComboBoxProperties::GetEditingStyle()
{
    switch (FDropDownListStyle) {
    case lsEditFixedList: return tesList;
    case lsFixedList: return tesFixedList;
    default: return tesFree;
    }
}

void TcxCustomComboBoxProperties::SetDropDownListStyle(TcxEditDropDownListStyle Value)
{
    if (FDropDownListStyle == Value) return;
    FDropDownListStyle = Value;
    Changed();
}

void TcxCustomComboBoxProperties::SetDropDownRows(int Value)
{
    if (Value < 1 || FDropDownRows == Value) return;
    FDropDownRows = Value;
    Changed();
}

void TcxCustomComboBoxProperties::SetItemHeight(int Value)
{
    if (FItemHeight == Value) return;
    FItemHeight = Value;
    Changed();
}

void TcxCustomComboBoxProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomComboBoxProperties*>(Source);
    if (!s) {
        TcxCustomDropDownEditProperties::Assign(Source);
        return;
    }
    cxDropDownEdit::InUpdate(this, [&] {
        TcxCustomDropDownEditProperties::Assign(Source);
        SetDropDownListStyle(s->DropDownListStyle());
        SetDropDownRows(s->DropDownRows());
        SetItemHeight(s->ItemHeight());
        FRevertable = s->FRevertable;
        OnDrawItem = s->OnDrawItem;
        OnMeasureItem = s->OnMeasureItem;
    });
}

// ---- the combo's list -----------------------------------------------------------------------------------

TcxComboBoxListBox::TcxComboBoxListBox(TComponent* AOwner) : TcxCustomEditListBox(AOwner)
{
    SetBorderStyle(bsNone);
    HotTrack = true;
}

TcxCustomComboBox* TcxComboBoxListBox::ComboBox() const
{
    auto* w = dynamic_cast<TcxCustomEditPopupWindow*>(Owner());
    return w ? dynamic_cast<TcxCustomComboBox*>(w->Edit()) : nullptr;
}

int TcxComboBoxListBox::GetItemHeight(int AIndex)
{
    TcxCustomComboBox* c = ComboBox();
    TcxCustomComboBoxProperties* p = c ? c->Properties() : nullptr;
    int h = p && p->ItemHeight() >= 1 ? p->ItemHeight() : TcxCustomEditListBox::GetItemHeight(AIndex);
    if (p && AIndex >= 0 && p->OnMeasureItem) p->OnMeasureItem(c, AIndex, CxCanvas(), h);
    return h;
}

bool TcxComboBoxListBox::DoDrawItem(int AIndex, const TRect& ARect, TOwnerDrawState AState)
{
    TcxCustomComboBox* c = ComboBox();
    if (!c || !c->Properties()->OnDrawItem) return false;
    c->Properties()->OnDrawItem(c, CxCanvas(), AIndex, ARect, AState);
    return true;
}

int TcxComboBoxListBox::GetHeight(int ARowCount)
{
    int h = 0;
    for (int i = 0; i < ARowCount; ++i) h += GetItemHeight(i);
    return h;
}

void TcxComboBoxListBox::UpdateItemHeights()
{
    TcxCustomComboBox* c = ComboBox();
    if (!c) return;
    const bool measured = bool(c->Properties()->OnMeasureItem);
    const int fixed = measured ? 0 : GetItemHeight(-1);
    bool recreate;
    if (FFirstWindowCreation) recreate = measured;
    else recreate = measured || measured != FPrevMeasureAssigned || fixed != FPrevItemHeight;
    FFirstWindowCreation = false;
    FPrevMeasureAssigned = measured;
    if (!measured) FPrevItemHeight = fixed;
    if (!recreate) return;
    ++FRecreateCount;
    if (HandleAllocated()) RecreateWnd();
}

void TcxComboBoxListBox::SetItemIndexLocked(int AIndex)
{
    if (TcxCustomComboBox* c = ComboBox()) c->PopupMouseMoveLocked = true;
    SetItemIndex(AIndex);
}

void TcxComboBoxListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    if (TcxCustomComboBox* c = ComboBox(); c && c->PopupMouseMoveLocked) {
        // The highlight the program set stays under a resting pointer.
        c->PopupMouseMoveLocked = false;
        return;
    }
    TcxCustomEditListBox::MouseMove(Shift, X, Y);
}

void TcxComboBoxListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWeakRef<TcxComboBoxListBox> alive(this);
    TcxCustomEditListBox::MouseUp(Button, Shift, X, Y);
    if (!alive || Button != mbLeft) return;
    int i = ItemAtPos(TPoint{X, Y}, true);
    if (i < 0) return;
    SetMouseCapture(false);
    SelectItemIndex(i);
    if (TcxCustomComboBox* c = ComboBox()) c->CloseUp(true);
}

// ---- the combo's lookup data --------------------------------------------------------------------------------

namespace {
TcxCustomComboBox* ComboOf(IcxTextEditLookupOwner* AOwner)
{
    return AOwner ? dynamic_cast<TcxCustomComboBox*>(AOwner->LookupEdit()) : nullptr;
}
}  // namespace

void TcxComboBoxLookupData::InitializeList(TWinControl* AParent)
{
    TcxCustomTextEditLookupData::InitializeList(AParent);
    TcxCustomEditListBox* l = GetList();
    TcxCustomComboBox* c = ComboOf(LookupOwner());
    if (l && c) l->LookAndFeel()->SetMasterLookAndFeel(c->PopupControlsLookAndFeel());
}

void TcxComboBoxLookupData::UpdateItemHeights()
{
    if (auto* l = dynamic_cast<TcxComboBoxListBox*>(GetList())) l->UpdateItemHeights();
}

TSize TcxComboBoxLookupData::GetListPreferredSize(int AListWidth, int AMaxHeight)
{
    auto* l = dynamic_cast<TcxComboBoxListBox*>(GetList());
    TcxCustomComboBox* c = ComboOf(LookupOwner());
    if (!l || !c) return TSize{0, 0};
    const int count = GetItemCount();
    const int rows = std::min(count, c->Properties()->DropDownRows());
    TSize s{0, l->GetHeight(rows)};
    TCanvas* canvas = l->Canvas();
    canvas->Font()->Assign(l->Font());
    int widest = 0;
    for (int i = 0; i < count; ++i) widest = std::max(widest, canvas->TextWidth(GetItem(i)));
    s.cx = widest + 4;
    l->SetScrollWidth(0);
    l->SetScrollWidth(s.cx);
    if (count > c->Properties()->DropDownRows()) s.cx += GetSystemMetrics(SM_CXVSCROLL);
    if (AListWidth > 0 && AListWidth < s.cx) s.cy += GetSystemMetrics(SM_CYHSCROLL);
    if (AMaxHeight > 0 && s.cy > AMaxHeight) s.cy = AMaxHeight;
    return s;
}

bool TcxComboBoxLookupData::CanResizeList(TSize& ASize)
{
    auto* l = dynamic_cast<TcxComboBoxListBox*>(GetList());
    if (!l || (ASize.cx == l->Width() && ASize.cy == l->Height())) return true;
    const int count = GetItemCount();
    const int vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
    const bool growing = ASize.cy >= l->Height();
    int sum = 0, needed = 0, rows = 0;
    auto neededFor = [&](int ARows, int ASum) {
        int avail = ASize.cx - (ARows < count ? vbar : 0);
        return ASum + (avail < l->ScrollWidth() ? hbar : 0);
    };
    for (int i = 0; i < count; ++i) {
        int h = l->GetItemHeight(i);
        int n = neededFor(i + 1, sum + h);
        if (n == ASize.cy) {
            sum += h;
            rows = i + 1;
            needed = n;
            break;
        }
        if (n > ASize.cy) {
            if (growing && i > 0) {
                // Enlarging snaps down to the rows that fit.
                needed = neededFor(i, sum);
                rows = i;
            } else {
                // Shrinking snaps up to the row cut.
                sum += h;
                rows = i + 1;
                needed = n;
            }
            break;
        }
        sum += h;
        rows = i + 1;
        needed = n;
    }
    ASize.cy = needed;
    const bool below = rows < count;
    if (below) ASize.cx = std::max(ASize.cx, vbar);
    if (ASize.cx - (below ? vbar : 0) < l->ScrollWidth()) ASize.cx = std::max(ASize.cx, (below ? vbar : 0) + vbar);
    return true;
}

// ---- the combo's popup window ---------------------------------------------------------------------------------

void TcxComboBoxPopupWindow::CalculateSize()
{
    EditViewInfo()->Layout.SizeGripCorner = 3;
    TcxCustomDropDownEdit* e = Edit();
    if (e) {
        AnchorParent = e;
        AnchorBounds = e->GetOwnerBounds();
    }
    const TSize minSize = GetMinSize();
    const TRect ext = EditViewInfo()->GetClientExtent();
    const int extW = ext.Left + ext.Right, extH = ext.Top + ext.Bottom;
    TSize pref{0, 0};
    if (e) e->GetPopupWindowClientPreferredSize(pref);
    const bool userSized = Sizeable() && e && e->PopupSizedByUser();
    const TRect client = EditViewInfo()->Layout.ClientRect;
    int w, h;
    if (userSized) w = client.Width() + extW;
    else if (AutoSize) w = std::max(pref.cx + extW, AnchorBounds.Width());
    else w = PopupWidth > 0 ? PopupWidth : AnchorBounds.Width();
    if (Sizeable() && MinWidth > 0) w = std::max(w, MinWidth);
    if (userSized) h = client.Height() + extH;
    else if (PopupHeight != 0 && (Sizeable() || !AutoSize)) h = PopupHeight;
    else h = pref.cy + extH;
    if (Sizeable() && MinHeight > 0) h = std::max(h, MinHeight);
    SetBounds(Left(), Top(), std::max(w, minSize.cx), std::max(h, minSize.cy));
}

// ---- the combo box ----------------------------------------------------------------------------------------

TcxCustomComboBox::TcxCustomComboBox(TComponent* AOwner, bool AIsInplace) : TcxCustomDropDownEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    // OnClick comes from choosing an item, not from clicking the box.
    TControlStyle s = ControlStyle();
    s.Exclude(csClickEvents);
    SetControlStyle(s);
    PropertiesChanged(ActiveProperties());
}

bool TcxCustomComboBox::CanDropDown()
{
    TcxCustomTextEditLookupData* d = LookupData();
    return !d || !d->IsEmpty();
}

void TcxCustomComboBox::ChangeHandler(TObject* Sender)
{
    TcxCustomTextEditLookupData* d = LookupData();
    const int before = d ? d->CurrentKey() : -1;
    TcxCustomDropDownEdit::ChangeHandler(Sender);
    if (d && !(d->LookupOwner() && d->LookupOwner()->LookupTextLock())) {
        TcxTextEditingStyle style = Properties()->GetEditingStyle();
        if (HasPopupWindow() || style == tesList || style == tesFixedList) d->TextChanged();
    }
    if (d && d->CurrentKey() != before) Click();
}

void TcxCustomComboBox::Activate(std::unique_ptr<TcxCustomEditData>& AEditData)
{
    TcxCustomDropDownEdit::Activate(AEditData);
    if (TcxCustomTextEditLookupData* d = LookupData()) d->TextChanged();
}

void TcxCustomComboBox::EditDblClick()
{
    TcxCustomTextEditLookupData* d = LookupData();
    if (!d || HasPopupWindow() || !Properties()->Revertable()) return;
    LockChangeEvents(true);
    try {
        const int before = d->CurrentKey();
        d->ListVisible = false;
        UserChange([&] { d->Go(ldNext, true); });
        if (d->CurrentKey() != before && CanModify() && Properties()->ImmediatePost() && ValidateEdit(true))
            PostEditValue(false);
    } catch (...) {
        LockChangeEvents(false, true);
        throw;
    }
    LockChangeEvents(false, true);
}

void TcxCustomComboBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxCustomDropDownEdit::MouseMove(Shift, X, Y);
    // Dragged from the box into the open list: the list is pressed there.
    if (!MouseCapture() || !HasPopupWindow()) return;
    TcxCustomTextEditLookupData* d = LookupData();
    TcxCustomEditListBox* l = d ? d->GetList() : nullptr;
    if (!l || !l->HandleAllocated()) return;
    TPoint screen = ClientToScreen(TPoint{X, Y});
    TPoint inPopup = PopupWindow()->ScreenToClient(screen);
    if (!PtInRect(PopupWindow()->EditViewInfo()->Layout.ClientRect, inPopup) || !d->IsMouseOverList(screen)) return;
    SetMouseCapture(false);
    TPoint p = l->ScreenToClient(screen);
    l->Perform(WM_LBUTTONDOWN, MK_LBUTTON, LPARAM((uint32_t(uint16_t(p.Y)) << 16) | uint16_t(p.X)));
}

void TcxCustomComboBox::PopupWindowShowed(TObject* Sender)
{
    TcxCustomDropDownEdit::PopupWindowShowed(Sender);
    if (TcxCustomTextEditLookupData* d = LookupData(); d && d->IsMouseOverList(cxControls::GetMouseCursorPos()))
        PopupMouseMoveLocked = true;
}

void TcxCustomComboBox::SetupPopupWindow()
{
    TcxCustomDropDownEdit::SetupPopupWindow();
    // A sizeable combo popup always has its grip.
    PopupWindow()->SetSysPanelStyle(Properties()->PopupSizeable());
}

void TcxCustomComboBox::GetPopupWindowClientPreferredSize(TSize& ASize)
{
    ASize = TSize{0, 0};
    TcxCustomEditPopupWindow* w = PopupWindow();
    TcxCustomTextEditLookupData* d = LookupData();
    if (!w || !d) return;
    TRect owner = w->OwnerScreenBounds();
    TRect ext = w->EditViewInfo()->GetClientExtent();
    const int extV = ext.Top + ext.Bottom, extH = ext.Left + ext.Right;
    TRect workTop = cxControls::GetDesktopWorkArea(owner.TopLeft());
    TRect workBottom = cxControls::GetDesktopWorkArea(TPoint{owner.Left, owner.Bottom});
    int above = owner.Top - workTop.Top - extV + (w->Shadow() ? 3 : 0);
    int below = workBottom.Bottom - owner.Bottom - extV;
    int maxHeight = std::max(above, below);
    int listWidth = 0;
    if (!w->Sizeable() && !w->AutoSize)
        listWidth = (w->PopupWidth > 0 ? w->PopupWidth : owner.Width()) - extH;
    ASize = d->GetListPreferredSize(listWidth, maxHeight);
}

void TcxCustomComboBox::WndProc(TMessage& Message)
{
    // A click on the box is no click: OnClick comes from choosing an item.
    if (Message.Msg == WM_LBUTTONUP) {
        TControlState s = ControlState();
        s.Exclude(csClicked);
        SetControlState(s);
    }
    TcxCustomDropDownEdit::WndProc(Message);
}

int TcxComboBox::ItemIndex()
{
    TcxCustomTextEditLookupData* d = LookupData();
    return d ? d->CurrentKey() : -1;
}

void TcxComboBox::SetItemIndex(int Value)
{
    TcxCustomTextEditLookupData* d = LookupData();
    if (!d) return;
    const int before = d->CurrentKey();
    d->SelectItemByKey(Variant(Value));
    if (d->CurrentKey() != before) {
        SetModified(false);
        Click();
    }
}

// ---- the popup edit --------------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties)
QZ_CLASS_IMPL(TcxPopupEditProperties, TcxCustomPopupEditProperties)
QZ_CLASS_IMPL(TcxPopupEditPopupWindowViewInfo, TcxCustomEditPopupWindowViewInfo)
QZ_CLASS_IMPL(TcxPopupEditPopupWindow, TcxCustomEditPopupWindow)
QZ_CLASS_IMPL(TcxCustomPopupEdit, TcxCustomDropDownEdit)
QZ_CLASS_IMPL(TcxPopupEdit, TcxCustomPopupEdit)

TcxCustomPopupEditProperties::TcxCustomPopupEditProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner)
{
    SetPopupAutoSize(true);
    SetPopupMinHeight(100);
    SetPopupMinWidth(100);
    SetPopupHeight(200);
    SetPopupSizeable(true);
    SetPopupWidth(250);
    FNotificator = std::make_unique<TcxFreeNotificator>();
    FNotificator->OnFreeNotification = [this](TComponent* c) { FreeNotification(c); };
}

TcxCustomPopupEditProperties::~TcxCustomPopupEditProperties()
{
    if (FPopupControl) FNotificator->RemoveSender(FPopupControl);
}

TClass TcxCustomPopupEditProperties::GetEditClass() const { return TcxPopupEdit::StaticClass(); }
TClass TcxCustomPopupEditProperties::GetPopupWindowClass() const { return TcxPopupEditPopupWindow::StaticClass(); }

void TcxCustomPopupEditProperties::SetPopupControl(TControl* Value)
{
    if (FPopupControl == Value) return;
    if (FPopupControl) FNotificator->RemoveSender(FPopupControl);
    FPopupControl = Value;
    if (FPopupControl) FNotificator->AddSender(FPopupControl);
}

void TcxCustomPopupEditProperties::FreeNotification(TComponent* AComponent)
{
    TcxCustomDropDownEditProperties::FreeNotification(AComponent);
    if (AComponent == FPopupControl) FPopupControl = nullptr;
}

void TcxCustomPopupEditProperties::Assign(TPersistent* Source)
{
    cxDropDownEdit::InUpdate(this, [&] {
        TcxCustomDropDownEditProperties::Assign(Source);
        if (auto* s = dynamic_cast<TcxCustomPopupEditProperties*>(Source)) SetPopupControl(s->PopupControl());
    });
}

TcxPopupEditProperties::TcxPopupEditProperties(TPersistent* AOwner) : TcxCustomPopupEditProperties(AOwner)
{
    SetImmediateDropDown(true);
    SetImmediatePopup(true);
}

void TcxPopupEditPopupWindowViewInfo::DrawBorder(TcxCanvas* ACanvas, TRect& R)
{
    // The flat style has a double frame of its own.
    if (Layout.BorderStyle == epbsFlat && !Layout.Native) {
        ACanvas->FrameRect(R, clBtnShadow);
        InflateRect(R, -1, -1);
        ACanvas->FrameRect(R, clBtnFace);
        InflateRect(R, -1, -1);
        return;
    }
    TcxCustomEditPopupWindowViewInfo::DrawBorder(ACanvas, R);
}

TcxPopupEditPopupWindow::TcxPopupEditPopupWindow(TWinControl* AOwnerControl) : TcxCustomEditPopupWindow(AOwnerControl)
{
    ReplaceViewInfo(std::make_unique<TcxPopupEditPopupWindowViewInfo>());
}

TcxCustomPopupEdit::TcxCustomPopupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomDropDownEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    PropertiesChanged(ActiveProperties());
}

TcxCustomPopupEdit::~TcxCustomPopupEdit()
{
    if (HasPopupWindow()) RestorePopupControl();
}

bool TcxCustomPopupEdit::CanDropDown() { return Properties()->PopupControl() != nullptr; }

void TcxCustomPopupEdit::DoInitPopup()
{
    TControl* c = Properties()->PopupControl();
    bool circular = c && (c == this || c == PopupWindow());
    for (TWinControl* p = Parent(); c && p && !circular; p = p->Parent()) circular = p == c;
    if (circular) throw Exception(cxClasses::GetResourceString(&cxSEditPopupCircularReferencingError));
    TcxCustomDropDownEdit::DoInitPopup();
}

void TcxCustomPopupEdit::SavePopupControlState()
{
    TControl* c = Properties()->PopupControl();
    FSavedAlign = c->Align();
    if (auto* f = dynamic_cast<TCustomForm*>(c)) {
        FSavedBorderStyle = f->BorderStyle();
        f->SetBorderStyle(fbsNone);
    }
    FSavedBounds = c->BoundsRect();
    FSavedParent = c->Parent();
    FSavedVisible = c->Visible();
    FStateSaved = true;
}

void TcxCustomPopupEdit::RestorePopupControl()
{
    TControl* c = Properties()->PopupControl();
    if (!c || !FStateSaved) return;
    FStateSaved = false;
    c->SetVisible(false);
    c->SetParent(FSavedParent.Get());
    c->SetAlign(FSavedAlign);
    c->SetBounds(FSavedBounds.Left, FSavedBounds.Top, FSavedBounds.Width(), FSavedBounds.Height());
    if (auto* f = dynamic_cast<TCustomForm*>(c)) f->SetBorderStyle(FSavedBorderStyle);
    c->SetVisible(FSavedVisible);
}

void TcxCustomPopupEdit::UpdatePopupWindow()
{
    TControl* c = Properties()->PopupControl();
    if (c && EnsurePopupWindow()) {
        if (!FStateSaved) SavePopupControlState();
        c->SetParent(PopupWindow());
        c->SetVisible(true);
    }
    TcxCustomDropDownEdit::UpdatePopupWindow();
    if (c) c->SetAlign(alClient);
}

TWinControl* TcxCustomPopupEdit::GetPopupFocusedControl()
{
    return dynamic_cast<TWinControl*>(Properties()->PopupControl());
}

void TcxCustomPopupEdit::GetPopupWindowClientPreferredSize(TSize& ASize)
{
    TControl* c = Properties()->PopupControl();
    ASize = c ? TSize{c->Width(), c->Height()} : TSize{0, 0};
}

void TcxCustomPopupEdit::PositionPopupWindowChildren(const TRect& AClientRect)
{
    if (TControl* c = Properties()->PopupControl())
        c->SetBounds(AClientRect.Left, AClientRect.Top, AClientRect.Width(), AClientRect.Height());
}

void TcxCustomPopupEdit::PopupWindowClosed(TObject* Sender)
{
    RestorePopupControl();
    TcxCustomDropDownEdit::PopupWindowClosed(Sender);
}

namespace cxDropDownEdit {

void ResetPopupHeight(TcxCustomDropDownEdit* AEdit)
{
    if (!AEdit) return;
    auto* data = dynamic_cast<TcxCustomDropDownEditData*>(AEdit->EditData());
    if (AEdit->IsInplace() && AEdit->Properties()->PopupSizeable() && data) data->PopupHeight = 0;
    else AEdit->Properties()->SetPopupHeight(0);
}

void Initialize()
{
    cxMaskEdit::Initialize();
    TcxRegisteredClasses* r = cxEdit::GetRegisteredEditProperties();
    if (r->IndexOfClass(TcxComboBoxProperties::StaticClass()) < 0)
        r->Register(TcxComboBoxProperties::StaticClass(), cxClasses::GetResourceString(&scxSEditRepositoryComboBoxItem));
    if (r->IndexOfClass(TcxPopupEditProperties::StaticClass()) < 0)
        r->Register(TcxPopupEditProperties::StaticClass(), cxClasses::GetResourceString(&scxSEditRepositoryPopupItem));
}

}  // namespace cxDropDownEdit
