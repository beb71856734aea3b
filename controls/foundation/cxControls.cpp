#include "cxControls.h"

#include "Forms.h"
#include "cxResources.h"

#include <algorithm>
#include <cstdlib>

QZ_CLASS_IMPL(TcxControlScrollBar, TcxScrollBar)
QZ_CLASS_IMPL(TcxSizeGrip, TCustomControl)
QZ_CLASS_IMPL(TcxControlChildComponent, TcxComponent)
QZ_CLASS_IMPL(TcxControl, TCustomControl)
QZ_CLASS_IMPL(TcxDragAndDropObject, TObject)
QZ_CLASS_IMPL(TcxDragControlObject, TDragControlObject)
QZ_CLASS_IMPL(TcxDragImageList, TDragImageList)

namespace {

// The framework drag object last seen over a control.
TDragObject* GCurrentDragObject = nullptr;

bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// ---- the watcher of the system scroll-bar size ----------------------------------------------------

struct TSettingsController {
    std::vector<TcxControl*> Controls;
    HWND Window = nullptr;

    void Add(TcxControl* c)
    {
        if (std::find(Controls.begin(), Controls.end(), c) != Controls.end()) return;
        Controls.push_back(c);
        if (!Window) Window = AllocateHWnd([this](TMessage& m) { WndProc(m); });
    }
    void Remove(TcxControl* c)
    {
        Controls.erase(std::remove(Controls.begin(), Controls.end(), c), Controls.end());
        if (Controls.empty() && Window) {
            DeallocateHWnd(Window);
            Window = nullptr;
        }
    }
    void WndProc(TMessage& m)
    {
        m.Result = 0;
        if (m.Msg != WM_SETTINGCHANGE || m.WParam != SPI_SETNONCLIENTMETRICS) return;
        try {
            for (TcxControl* c : std::vector<TcxControl*>(Controls))
                if (c->HandleAllocated()) SendNotifyMessage(c->Handle(), DXM_SCROLLBARSIZECHANGED, 0, 0);
        } catch (...) {
            if (Application) Application->HandleException(nullptr);
        }
    }
};

TSettingsController& Settings()
{
    static TSettingsController s;
    return s;
}

// ---- mouse-leave tracking ----------------------------------------------------------------------------

struct TMouseTrackingTimer {
    TWeakRef<TControl> Control;
    IcxMouseTrackingCaller* Caller = nullptr;
    TRect Bounds;   // screen coordinates (unchanged when made without a control)
    uintptr_t Timer = 0;
};

std::vector<std::unique_ptr<TMouseTrackingTimer>>& TrackingList()
{
    static std::vector<std::unique_ptr<TMouseTrackingTimer>> list;
    return list;
}

void TrackingTick(IcxMouseTrackingCaller* caller)
{
    auto& list = TrackingList();
    auto it = std::find_if(list.begin(), list.end(), [&](auto& t) { return t->Caller == caller; });
    if (it == list.end()) return;
    TMouseTrackingTimer* t = it->get();
    const TPoint cursor = cxControls::GetMouseCursorPos();
    TControl* control = t->Control.Get();
    auto* win = DynamicCast<TWinControl>(control);
    bool inside;
    if (auto* c2 = dynamic_cast<IcxMouseTrackingCaller2*>(caller))
        inside = win && win->HandleAllocated() && c2->PtInCaller(control->ScreenToClient(cursor));
    else
        inside = PtInRect(t->Bounds, cursor);
    if (inside) return;
    if (win && win->HandleAllocated() && !PtInRect(control->ClientRect(), control->ScreenToClient(cursor)))
        control->Perform(CM_MOUSELEAVE, 0, LPARAM(control));
    caller->MouseLeave();
    cxControls::EndMouseTracking(caller);
}

struct THourglass {
    int Count = 0;
    TCursor Saved = crDefault;
};
THourglass& Hourglass()
{
    static THourglass h;
    return h;
}

}  // namespace

// ---- TcxControlScrollBar and TcxSizeGrip ------------------------------------------------------------

TcxControlScrollBar::TcxControlScrollBar(TComponent* AOwner) : TcxScrollBar(AOwner)
{
    SetColor(clBtnFace);
    TControlStyle style = ControlStyle();
    style.Exclude(csFramed);
    style.Include(csNoDesignVisible);
    SetControlStyle(style);
    SetTabStop(false);
    SetVisible(false);
}

void TcxControlScrollBar::ApplyData()
{
    if (Data.Visible) {
        SetScrollParams(Data.Min, Data.Max, Data.Position, Data.PageSize, true);
        SetSmallChange(Data.SmallChange);
        SetLargeChange(Data.LargeChange);
    }
    SetEnabled(Data.Enabled);
    SetVisible(Data.Visible);
}

void TcxControlScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (auto* c = DynamicCast<TcxControl>(Parent())) {
            if (c->CanFocusOnChildClick()) c->SetFocus();
        } else if (Parent() && Parent()->CanFocus()) {
            Parent()->SetFocus();
        }
    }
    TcxScrollBar::MouseDown(Button, Shift, X, Y);
}

TcxSizeGrip::TcxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetColor(clBtnFace);
    TControlStyle style = ControlStyle();
    style.Include(csNoDesignVisible);
    SetControlStyle(style);
    SetVisible(false);
}

void TcxSizeGrip::Paint()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ---- TcxControlChildComponent -------------------------------------------------------------------------

TcxControlChildComponent* TcxControlChildComponent::CreateForControl(TClass AClass, TcxControl* AControl,
                                                                     bool AAssignOwner)
{
    if (!AClass || !AClass->InheritsFrom(TcxControlChildComponent::StaticClass()))
        throw EConvertError("Invalid child component class");
    auto* c = static_cast<TcxControlChildComponent*>(AClass->Create(AAssignOwner && AControl ? AControl->Owner() : nullptr));
    c->SetControl(AControl);
    return c;
}

TcxControlChildComponent::~TcxControlChildComponent()
{
    if (FControl) FControl->RemoveChildComponent(this);
}

TComponent* TcxControlChildComponent::GetParentComponent() const { return FControl; }

void TcxControlChildComponent::SetParentComponent(TComponent* Value)
{
    if (auto* c = DynamicCast<TcxControl>(Value)) c->AddChildComponent(this);
}

// ---- TcxDragAndDropObject ------------------------------------------------------------------------------

TcxDragAndDropObject::TcxDragAndDropObject(TcxControl* AControl) : FControl(AControl) {}

TcxDragAndDropObject* TcxDragAndDropObject::CreateFor(TClass AClass, TcxControl* AControl)
{
    if (!AClass || !AClass->InheritsFrom(TcxDragAndDropObject::StaticClass()))
        AClass = TcxDragAndDropObject::StaticClass();
    auto* o = static_cast<TcxDragAndDropObject*>(AClass->Create(nullptr));
    o->SetControl(AControl);
    return o;
}

void TcxDragAndDropObject::SetRepaintNeeded(bool Value)
{
    if (FRepaintNeeded == Value) return;
    FRepaintNeeded = Value;
    RepaintNeededChanged();
}

void TcxDragAndDropObject::DragAndDrop(const TPoint& P, bool& Accepted)
{
    SetRepaintNeeded(false);
    if (Screen) Screen->SetCursor(GetDragAndDropCursor(Accepted));
}

void TcxDragAndDropObject::DoBegin()
{
    CurMousePos = PrevMousePos = FControl ? FControl->ScreenToClient(cxControls::GetMouseCursorPos()) : TPoint{};
    BeginDragAndDrop();
}

void TcxDragAndDropObject::Move(const TPoint& P, bool& Accepted)
{
    PrevMousePos = CurMousePos;
    CurMousePos = P;
    DragAndDrop(P, Accepted);
}

void TcxDragAndDropObject::Finish(bool Accepted)
{
    BeforeEndDragAndDrop(Accepted);
    EndDragAndDrop(Accepted);
}

void TcxDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted)
{
    TDragControlObject::Finished(Target, X, Y, Accepted);
    if (GCurrentDragObject == this) GCurrentDragObject = nullptr;
    delete this;
}

TCursor TcxDragControlObject::GetDragCursor(bool Accepted, int X, int Y)
{
    if (Accepted && cxControls::IsCtrlPressed()) return crcxDragCopy;
    return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

// ---- TcxControl: life ---------------------------------------------------------------------------------

TcxControl::TcxControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    FCanvas = std::make_unique<TcxCanvas>(TCustomControl::Canvas());
    FDefaultCursor = Cursor();
    FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
    FLookAndFeel->AfterConstruction();
    FLookAndFeel->OnChanged = [this](TcxLookAndFeel* s, TcxLookAndFeelValues v) {
        // Bars follow their own (slaved) look-and-feel; the control repaints.
        LookAndFeelChanged(s, v);
        Invalidate();
    };
    FScrollBars = ssBoth;
    if (HasScrollBars()) {
        auto makeBar = [this](TScrollBarKind kind) {
            auto* bar = new TcxControlScrollBar(this);
            bar->SetKind(kind);
            bar->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
            bar->OnScroll = [this](TObject* s, TScrollCode code, int& pos) { ScrollBarScroll(s, code, pos); };
            return bar;
        };
        FHScrollBar = makeBar(sbHorizontal);
        FVScrollBar = makeBar(sbVertical);
        FVScrollBar->SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 100);
        FSizeGrip = new TcxSizeGrip(this);
        Settings().Add(this);
    }
    SetTabStop(MayFocus());
    FLastParentBackground = true;
    SetParentBackground(true);
}

void TcxControl::AfterConstruction()
{
    TCustomControl::AfterConstruction();
    // Asked here rather than in the constructor, where a descendant's answer
    // is not yet heard.
    if (HasDragImages()) {
        TControlStyle st = ControlStyle();
        st.Include(csDisplayDragImage);
        SetControlStyle(st);
    }
}

void TcxControl::BeforeDestruction()
{
    if (!ComponentState().Contains(csDestroying)) Destroying();
    TCustomControl::BeforeDestruction();
}

TcxControl::~TcxControl()
{
    FinishDragAndDrop(false);
    if (HasScrollBars()) Settings().Remove(this);
    // The bars and the grip are owned components; freeing them here keeps
    // their scroll events from reaching a half-destroyed control.
    delete FSizeGrip;
    FSizeGrip = nullptr;
    delete FVScrollBar;
    FVScrollBar = nullptr;
    delete FHScrollBar;
    FHScrollBar = nullptr;
    FFontListeners.clear();
    FScreenCanvas.reset();
    FLookAndFeel.reset();
    for (auto it = FDestroyGuards.rbegin(); it != FDestroyGuards.rend(); ++it) **it = nullptr;
    FDestroyGuards.clear();
}

TcxCanvas* TcxControl::Canvas()
{
    if (HandleAllocated()) {
        FScreenCanvas.reset();
        return FCanvas.get();
    }
    if (!FScreenCanvas) FScreenCanvas = std::make_unique<TcxScreenCanvas>();
    return FScreenCanvas.get();
}

void TcxControl::SetBorderStyle(TcxControlBorderStyle Value)
{
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    BoundsChanged();
    Invalidate();
}

void TcxControl::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    BoundsChanged();
}

void TcxControl::SetPopupMenu(TComponent* Value)
{
    if (!cxControls::IsPopupMenu(Value)) Value = nullptr;
    if (TComponent* old = FPopupMenu.Get()) old->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TcxControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu.Get()) FPopupMenu = nullptr;
}

void TcxControl::SetMouseCaptureObject(TObject* Value)
{
    if (FMouseCaptureObject == Value) return;
    TObject* old = FMouseCaptureObject;
    FMouseCaptureObject = Value;
    if (auto* o = dynamic_cast<IcxMouseCaptureObject*>(old)) o->DoCancelMode();
    SetMouseCapture(Value != nullptr);
}

void TcxControl::AddDestroyGuard(TcxControl** ARef) { FDestroyGuards.push_back(ARef); }

void TcxControl::RemoveDestroyGuard(TcxControl** ARef)
{
    auto it = std::find(FDestroyGuards.rbegin(), FDestroyGuards.rend(), ARef);
    if (it != FDestroyGuards.rend()) FDestroyGuards.erase(std::next(it).base());
}

void TcxControl::AddFontListener(IcxFontListener* AListener)
{
    if (AListener && std::find(FFontListeners.begin(), FFontListeners.end(), AListener) == FFontListeners.end())
        FFontListeners.push_back(AListener);
}

void TcxControl::RemoveFontListener(IcxFontListener* AListener)
{
    FFontListeners.erase(std::remove(FFontListeners.begin(), FFontListeners.end(), AListener), FFontListeners.end());
}

void TcxControl::InvalidateRect(const TRect& R, bool AErase)
{
    if (HandleAllocated()) ::InvalidateRect(Handle(), &R, AErase);
}

bool TcxControl::IsWithinDragThreshold(int X, int Y) const
{
    return cxControls::IsWithinDragThreshold(FMouseDownPos, X, Y);
}

void TcxControl::AddChildComponent(TcxControlChildComponent* AComponent) { AComponent->SetControl(this); }
void TcxControl::RemoveChildComponent(TcxControlChildComponent* AComponent) { AComponent->SetControl(nullptr); }

// ---- geometry and scroll bars ---------------------------------------------------------------------------

int TcxControl::GetBorderWidth() const
{
    return FBorderStyle == cxcbsNone ? 0 : LookAndFeelPainter()->FrameWidth();
}

TRect TcxControl::GetBounds() const
{
    if (!IsEmptyRect(ExplicitBounds)) return ExplicitBounds;
    if (const_cast<TcxControl*>(this)->HandleAllocated()) return ClientRect();
    return {0, 0, Width(), Height()};
}

TRect TcxControl::GetClientBounds() const
{
    TRect r = GetBounds();
    const int b = GetBorderWidth();
    InflateRect(r, -b, -b);
    if (IsHScrollBarVisible()) r.Bottom -= FHScrollBar->Height();
    if (IsVScrollBarVisible()) r.Right -= FVScrollBar->Width();
    return r;
}

TRect TcxControl::GetHScrollBarBounds() const
{
    TRect r = GetClientBounds();
    r.Top = r.Bottom;
    r.Bottom = r.Top + FHScrollBar->Height();
    return r;
}

TRect TcxControl::GetVScrollBarBounds() const
{
    TRect r = GetClientBounds();
    r.Left = r.Right;
    r.Right = r.Left + FVScrollBar->Width();
    return r;
}

TRect TcxControl::GetSizeGripBounds() const
{
    const TRect v = GetVScrollBarBounds(), h = GetHScrollBarBounds();
    return {v.Left, h.Top, v.Right, h.Bottom};
}

bool TcxControl::IsHScrollBarVisible() const
{
    if (!HasScrollBars() || !FHScrollBar) return false;
    return FComputingScrollBars ? FHScrollBar->Data.Visible : FHScrollBar->Visible();
}

bool TcxControl::IsVScrollBarVisible() const
{
    if (!HasScrollBars() || !FVScrollBar) return false;
    return FComputingScrollBars ? FVScrollBar->Data.Visible : FVScrollBar->Visible();
}

TcxMouseWheelScrollingKind TcxControl::GetMouseWheelScrollingKind() const
{
    return IsVScrollBarVisible() ? mwskVertical : mwskNone;
}

bool TcxControl::IsInternalControl(TControl* AControl) const
{
    return AControl && (AControl == FHScrollBar || AControl == FVScrollBar || AControl == FSizeGrip);
}

void TcxControl::InitScrollBars()
{
    if (!HasScrollBars()) return;
    FHScrollBar->SetParent(this);
    FVScrollBar->SetParent(this);
    FSizeGrip->SetParent(this);
}

void TcxControl::SetInternalControlsBounds()
{
    if (!HasScrollBars()) return;
    if (FHScrollBar->Visible()) FHScrollBar->SetBoundsRect(GetHScrollBarBounds());
    if (FVScrollBar->Visible()) FVScrollBar->SetBoundsRect(GetVScrollBarBounds());
    if (FSizeGrip->Visible()) FSizeGrip->SetBoundsRect(GetSizeGripBounds());
}

void TcxControl::SetScrollBarInfo(TScrollBarKind AKind, int AMin, int AMax, int AStep, int APage, int APos,
                                  bool AShowAllowed, bool AHideAllowed)
{
    if (!HasScrollBars()) return;
    TcxScrollBarData& d = (AKind == sbHorizontal ? FHScrollBar : FVScrollBar)->Data;
    const bool styleAllows = AKind == sbHorizontal ? (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
                                                   : (FScrollBars == ssVertical || FScrollBars == ssBoth);
    d.ShowAllowed = AShowAllowed && styleAllows;
    d.HideAllowed = AHideAllowed;
    if (!d.ShowAllowed) {
        d.Visible = false;
    } else if (AMin <= AMax && int64_t(APage) < int64_t(AMax) - AMin + 1 && APos >= AMin) {
        d.PageSize = APage;
        d.Min = AMin;
        d.Max = AMax;
        d.SmallChange = TScrollBarInc(AStep);
        d.LargeChange = TScrollBarInc(APage);
        d.Position = APos;
        d.Enabled = true;
        d.Visible = true;
    } else if (AHideAllowed) {
        d.Visible = false;
    } else {
        d.Enabled = false;
        d.Visible = true;
    }
}

void TcxControl::UpdateScrollBars()
{
    if (!HasScrollBars()) return;
    if (!FUpdatingScrollBars) {
        FSavedHScrollBarVisible = FHScrollBar->Visible();
        FSavedVScrollBarVisible = FVScrollBar->Visible();
    }
    const bool nested = FUpdatingScrollBars;
    FUpdatingScrollBars = true;
    struct TRestore {
        TcxControl* C;
        bool Nested;
        ~TRestore()
        {
            if (!Nested) C->FScrollBarsLocked = false;
            C->FUpdatingScrollBars = Nested;
        }
    } restore{this, nested};

    const bool oldH = FHScrollBar->Visible(), oldV = FVScrollBar->Visible();
    if (!FScrollBarsLocked) {
        if (!FComputingScrollBars) {
            FComputingScrollBars = true;
            struct TClear {
                bool& Flag;
                ~TClear() { Flag = false; }
            } clear{FComputingScrollBars};
            FHScrollBar->Data.Visible = false;
            FVScrollBar->Data.Visible = false;
            // Each bar's need depends on the other's space: repeat until settled.
            for (int guard = 0; guard < 16; ++guard) {
                const bool h = IsHScrollBarVisible(), v = IsVScrollBarVisible();
                InitScrollBarsParameters();
                if (h == IsHScrollBarVisible() && v == IsVScrollBarVisible()) break;
            }
            // Both-bars correction: each bar is needed only because of the other.
            const TcxScrollBarData& hd = FHScrollBar->Data;
            const TcxScrollBarData& vd = FVScrollBar->Data;
            if (hd.Visible && hd.Enabled && hd.HideAllowed && vd.Visible && vd.Enabled && vd.HideAllowed) {
                auto fits = [](const TcxScrollBarData& d, int other) {
                    return int64_t(other) + d.PageSize >= int64_t(d.Max) - d.Min + 1;
                };
                const bool hFits = IsPixelScrollBar(sbHorizontal) && fits(hd, FVScrollBar->Width());
                const bool vFits = IsPixelScrollBar(sbVertical) && fits(vd, FHScrollBar->Height());
                if (hFits && vFits) {
                    const TcxScrollBarData h = hd, v = vd;
                    SetScrollBarInfo(sbHorizontal, h.Min, h.Max, h.SmallChange, h.PageSize + FVScrollBar->Width(),
                                     h.Position, h.ShowAllowed, h.HideAllowed);
                    SetScrollBarInfo(sbVertical, v.Min, v.Max, v.SmallChange, v.PageSize + FHScrollBar->Height(),
                                     v.Position, v.ShowAllowed, v.HideAllowed);
                }
            }
        }
        FScrollBarsLocked = nested && FHScrollBar->Data.Visible == FSavedHScrollBarVisible &&
                            FVScrollBar->Data.Visible == FSavedVScrollBarVisible;
        if (FScrollBarsLocked) {
            // The nested update would restore where the outer one began:
            // keep the bars, greyed, instead of swinging back and forth.
            if (FHScrollBar->Visible() != FSavedHScrollBarVisible) {
                FHScrollBar->SetEnabled(false);
                FHScrollBar->SetVisible(true);
            }
            if (FVScrollBar->Visible() != FSavedVScrollBarVisible) {
                FVScrollBar->SetEnabled(false);
                FVScrollBar->SetVisible(true);
            }
        } else {
            FHScrollBar->ApplyData();
            FVScrollBar->ApplyData();
        }
    }
    if (FHScrollBar->Visible() != oldH || FVScrollBar->Visible() != oldV) {
        BoundsChanged();
    } else {
        FSizeGrip->SetVisible(FHScrollBar->Visible() && FVScrollBar->Visible());
        SetInternalControlsBounds();
        FHScrollBar->BringToFront();
        FVScrollBar->BringToFront();
        FSizeGrip->BringToFront();
    }
}

void TcxControl::ScrollBarScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)
{
    auto* bar = static_cast<TcxScrollBar*>(Sender);
    Scroll(bar->Kind(), ScrollCode, ScrollPos);
}

void TcxControl::ScrollContent(TcxDirection ADirection)
{
    if (ADirection == dirNone || !HasScrollBars()) return;
    const bool vert = ADirection == dirUp || ADirection == dirDown;
    const TScrollCode code = ADirection == dirLeft || ADirection == dirUp ? scLineUp : scLineDown;
    int pos = (vert ? FVScrollBar : FHScrollBar)->Position();
    Scroll(vert ? sbVertical : sbHorizontal, code, pos);
}

// ---- focus, mouse, keys ---------------------------------------------------------------------------------

bool TcxControl::CanFocusOnClick() const
{
    return !IsDesigning() && MayFocus() && CanFocus();
}

bool TcxControl::CanFocusEx() const
{
    if (!CanFocus()) return false;
    TCustomForm* form = GetParentForm(const_cast<TcxControl*>(this));
    return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

bool TcxControl::MayDragAt(int X, int Y) const
{
    return DragMode() == dmManual || IsWithinDragThreshold(X, Y);
}

TClass TcxControl::GetDragAndDropObjectClass() const
{
    return DragAndDropObjectClass ? DragAndDropObjectClass : TcxDragAndDropObject::StaticClass();
}

void TcxControl::FocusChanged()
{
    if (OnFocusChanged) OnFocusChanged(this);
}

void TcxControl::FontChanged()
{
    for (IcxFontListener* l : std::vector<IcxFontListener*>(FFontListeners)) l->FontChanged(this, Font());
    Invalidate();
}

void TcxControl::MouseEnter(TControl*)
{
    if (OnMouseEnterEvent) OnMouseEnterEvent(this);
}

void TcxControl::MouseLeave(TControl*)
{
    if (OnMouseLeaveEvent) OnMouseLeaveEvent(this);
}

void TcxControl::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd()
{
    TCustomControl::CreateWnd();
    InitScrollBars();
}

void TcxControl::Resize()
{
    TCustomControl::Resize();
    BoundsChanged();
}

void TcxControl::WndProc(TMessage& Message)
{
    TcxControl* self = this;
    AddDestroyGuard(&self);
    const UINT msg = Message.Msg;
    TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (Width() > 32768 || Height() > 32768) p = ScreenToClient(cxControls::GetMouseCursorPos());
    struct TAfter {
        TcxControl*& Self;
        UINT Msg;
        TPoint P;
        ~TAfter()
        {
            if (!Self) return;
            Self->RemoveDestroyGuard(&Self);
            switch (Msg) {
            case WM_SETFOCUS:
            case WM_KILLFOCUS: Self->FocusChanged(); break;
            case WM_PAINT:
                if (Self->ParentBackground() != Self->FLastParentBackground) {
                    Self->FLastParentBackground = Self->ParentBackground();
                    Self->ParentBackgroundChanged();
                }
                break;
            case WM_LBUTTONDOWN: Self->AfterMouseDown(mbLeft, P.X, P.Y); break;
            case WM_RBUTTONDOWN: Self->AfterMouseDown(mbRight, P.X, P.Y); break;
            case WM_MBUTTONDOWN: Self->AfterMouseDown(mbMiddle, P.X, P.Y); break;
            default: break;
            }
        }
    } after{self, msg, p};
    if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && !DragObject() &&
        ((IsDesigning() && GetDesignHitTest(p.X, p.Y, TShiftState{ssLeft})) ||
         (!IsDesigning() && DragMode() == dmAutomatic))) {
        // Handled here directly, so the framework does not start its own drag
        // before the control had its say.
        TControlState st = ControlState();
        st.Include(csLButtonDown);
        SetControlState(st);
        Dispatch(Message);
        if (self) {
            st = ControlState();
            st.Exclude(csLButtonDown);
            SetControlState(st);
        }
        return;
    }
    if (msg == WM_PAINT) {
        // The drag image is taken down while the control paints under it.
        struct TImageHidden {
            TDragObject* Object;
            explicit TImageHidden(TDragObject* o) : Object(o) { if (Object) Object->HideDragImage(); }
            ~TImageHidden() { if (Object && Object == cxControls::GetDragObject()) Object->ShowDragImage(); }
        } hidden(cxControls::GetDragObject());
        TCustomControl::WndProc(Message);
        return;
    }
    TCustomControl::WndProc(Message);
}

void TcxControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FMouseDownPos = {X, Y};
    TcxControl* self = this;
    AddDestroyGuard(&self);
    struct TGuard {
        TcxControl*& Self;
        ~TGuard() { if (Self) Self->RemoveDestroyGuard(&Self); }
    } guard{self};
    if (CanFocusOnClick() && !Shift.Contains(ssDouble)) {
        SetFocus();
        if (!self) return;
        if (!IsFocused() && !CanProcessMouseDownUnfocused()) {
            SetMouseCapture(false);
            return;
        }
    }
    // The internal drag and drop starts with a plain left press the control accepts.
    if (Button == mbLeft && !Shift.Contains(ssDouble) && StartDragAndDrop({X, Y})) {
        if (DragAndDropObject()->GetImmediateStart())
            BeginDragAndDrop();
        else
            SetDragAndDropState(ddsStarting);
    } else {
        FinishDragAndDrop(false);
    }
    if (!self) return;
    BeforeMouseDown(Button, Shift, X, Y);
    if (!self) return;
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TcxControl::MouseMove(TShiftState Shift, int X, int Y)
{
    const TCursor keep = FDefaultCursor;
    SetCursor(GetCurrentCursor(X, Y));
    FDefaultCursor = keep;
    TcxControl* self = this;
    AddDestroyGuard(&self);
    TCustomControl::MouseMove(Shift, X, Y);
    if (!self) return;
    RemoveDestroyGuard(&self);
    if (FDragAndDropState == ddsStarting && !IsWithinDragThreshold(X, Y)) BeginDragAndDrop();
    if (FDragAndDropState == ddsInProcess) {
        bool accepted = false;
        DragAndDrop({X, Y}, accepted);
    }
}

void TcxControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FinishMouseOperations();
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TcxControl::FinishMouseOperations()
{
    FinishDragAndDrop(true);
    SetMouseCaptureObject(nullptr);
}

void TcxControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_ESCAPE) FinishDragAndDrop(false);
    TCustomControl::KeyDown(Key, Shift);
}

bool TcxControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    const TcxMouseWheelScrollingKind kind = GetMouseWheelScrollingKind();
    if (kind == mwskNone) return false;
    TcxDirection dir;
    if (kind == mwskVertical)
        dir = WheelDelta >= 0 ? dirUp : dirDown;
    else
        dir = WheelDelta >= 0 ? dirLeft : dirRight;
    TcxControl* self = this;
    AddDestroyGuard(&self);
    for (int i = 0, n = Mouse->WheelScrollLines(); i < n && self; ++i) ScrollContent(dir);
    if (self) RemoveDestroyGuard(&self);
    return true;
}

void TcxControl::DoContextPopup(TPoint MousePos, bool& Handled)
{
    TCustomControl::DoContextPopup(MousePos, Handled);
    if (Handled) return;
    TPoint p = MousePos;
    if (p.X == -1 && p.Y == -1) p = {0, 0};
    const TPoint s = ClientToScreen(p);
    Handled = DoShowPopupMenu(PopupMenu(), s.X, s.Y);
}

bool TcxControl::DoShowPopupMenu(TComponent* AMenu, int X, int Y)
{
    return cxControls::ShowPopupMenu(this, AMenu, X, Y);
}

void TcxControl::WMContextMenu(TMessage& Message)
{
    if (Message.Result != 0) return;
    if (IsDesigning()) {
        inherited::Dispatch(Message);
        return;
    }
    TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (!(p.X == -1 && p.Y == -1)) {
        p = ScreenToClient(p);
        // The content area: a click on a scroll bar or the border is not the
        // control's own.
        if (!PtInRect(GetClientBounds(), p)) {
            DefaultHandler(Message);
            return;
        }
    }
    bool handled = false;
    DoContextPopup(p, handled);
    Message.Result = handled ? 1 : 0;
    if (!handled) inherited::Dispatch(Message);
}

TDragObject* cxControls::GetDragObject()
{
    // Only the drag still running counts; one that ended elsewhere is forgotten.
    if (GCurrentDragObject && GCurrentDragObject != DragObject()) GCurrentDragObject = nullptr;
    return GCurrentDragObject;
}

void TcxControl::AfterMouseDown(TMouseButton AButton, int X, int Y)
{
    // The framework's pending drag waits for the mouse to leave the dead
    // zone (a release or Esc first means no drag), then starts at once.
    if (DragMode() == dmAutomatic && (!IsDesigning() || AllowAutoDragAndDropAtDesignTime(X, Y, {})) &&
        CanDrag(X, Y))
        BeginDrag(false, Mouse->DragThreshold());
    if (AButton == mbMiddle) DoPanScrolling();
}

TClass TcxControl::GetDragObjectClass() const { return TcxDragControlObject::StaticClass(); }

void TcxControl::DoStartDrag(TDragObject*& ADragObject)
{
    // A control made without the class factory has not had AfterConstruction.
    if (HasDragImages() && !ControlStyle().Contains(csDisplayDragImage)) {
        TControlStyle st = ControlStyle();
        st.Include(csDisplayDragImage);
        SetControlStyle(st);
    }
    TCustomControl::DoStartDrag(ADragObject);
    bool made = false;
    if (!ADragObject) {
        TClass cls = GetDragObjectClass();
        if (cls == TcxDragControlObject::StaticClass())
            ADragObject = new TcxDragControlObject(this);
        else if (cls && cls->InheritsFrom(TDragObject::StaticClass()))
            ADragObject = static_cast<TDragObject*>(cls->Create(nullptr));
        made = ADragObject != nullptr;
    }
    if (!StartDrag(ADragObject)) {
        if (made) delete ADragObject;
        ADragObject = nullptr;
        // The drag is cancelled once the window system has finished starting it.
        TWeakRef<TcxControl> me(this);
        auto id = std::make_shared<uintptr_t>(0);
        *id = Timers::Start(1, [me, id] {
            Timers::Stop(*id);
            if (TcxControl* c = me.Get()) c->EndDrag(false);
        });
    }
}

void TcxControl::DoEndDrag(TObject* Target, int X, int Y)
{
    // The list goes even when an end-drag handler raises.
    struct TFree {
        std::unique_ptr<TcxDragImageList>& List;
        ~TFree() { List.reset(); }
    } free{FDragImages};
    TCustomControl::DoEndDrag(Target, X, Y);
}

TClass TcxControl::GetDragImagesClass() const { return TcxDragImageList::StaticClass(); }

TDragImageList* TcxControl::GetDragImages()
{
    if (!HasDragImages()) return nullptr;
    if (!FDragImages) {
        TClass cls = GetDragImagesClass();
        TcxDragImageList* list = nullptr;
        if (cls && cls->InheritsFrom(TcxDragImageList::StaticClass()))
            list = static_cast<TcxDragImageList*>(cls->Create(nullptr));
        if (!list) list = new TcxDragImageList();
        FDragImages.reset(list);
        InitDragImages(list);
    }
    return FDragImages.get();
}

void TcxControl::InitDragImages(TcxDragImageList* ADragImages)
{
    const TPoint size = GetDragImagesSize();
    ADragImages->SetSize(size.X, size.Y);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(ADragImages->Width(), ADragImages->Height());
    {
        TcxCanvas canvas(bitmap->Canvas());
        DrawDragImage(&canvas, Rect(0, 0, ADragImages->Width(), ADragImages->Height()));
    }
    bitmap->FinishDrawing();
    ADragImages->AddMasked(bitmap.get(), bitmap->TransparentColor());
}

void TcxControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    // The framework hands the dragged control rather than its drag object;
    // the object is the drag running from that control.
    auto* d = DynamicCast<TDragObject>(Source);
    if (!d)
        if (TDragObject* running = DragObject(); running && running->Control() == Source) d = running;
    if (d) GCurrentDragObject = State == dsDragLeave ? nullptr : d;
    TCustomControl::DragOver(Source, X, Y, State, Accept);
}

// ---- painting and messages -------------------------------------------------------------------------------

void TcxControl::Paint()
{
    if (FBorderStyle == cxcbsDefault) {
        LookAndFeelPainter()->DrawFrame(FCanvas.get(), GetBounds());
        FCanvas->IntersectClipRect(GetClientBounds());
    }
    TCustomControl::Paint();
}

void TcxControl::WMCancelMode(TMessage& Message)
{
    inherited::Dispatch(Message);
    FinishDragAndDrop(false);
    CancelMouseOperations();
}

void TcxControl::WMEraseBkgnd(TMessage& Message)
{
    if (HasBackground())
        inherited::Dispatch(Message);
    else
        Message.Result = 1;
}

void TcxControl::WMGetDlgCode(TMessage& Message)
{
    LRESULT r = 0;
    if (FWantedKeys.Contains(wkAll)) r |= DLGC_WANTALLKEYS;
    if (FWantedKeys.Contains(wkArrows)) r |= DLGC_WANTARROWS;
    if (FWantedKeys.Contains(wkChars)) r |= DLGC_WANTCHARS;
    if (FWantedKeys.Contains(wkTab)) r |= DLGC_WANTTAB;
    Message.Result = r;
}

void TcxControl::WMNCCalcSize(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (HandleAllocated()) PostMessage(Handle(), DXM_SCROLLBARSIZECHANGED, 0, 0);
}

void TcxControl::CMColorChanged(TMessage& Message)
{
    ColorChanged();
    inherited::Dispatch(Message);
}

void TcxControl::CMCursorChanged(TMessage& Message)
{
    CursorChanged();
    inherited::Dispatch(Message);
}

void TcxControl::CMFontChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    FontChanged();
}

void TcxControl::CMMouseEnter(TMessage& Message)
{
    inherited::Dispatch(Message);
    auto* c = reinterpret_cast<TControl*>(Message.LParam);
    MouseEnter(c ? c : this);
}

void TcxControl::CMMouseLeave(TMessage& Message)
{
    inherited::Dispatch(Message);
    auto* c = reinterpret_cast<TControl*>(Message.LParam);
    MouseLeave(c ? c : this);
}

void TcxControl::CMTextChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    TextChanged();
}

void TcxControl::CMVisibleChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    VisibleChanged();
}

void TcxControl::CMDesignHitTest(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (Message.Result == 0)
        Message.Result = GetDesignHitTest(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam),
                                          KeysToShiftState(Message.WParam))
                             ? 1
                             : 0;
}

void TcxControl::DXMScrollBarSizeChanged(TMessage& Message)
{
    if (!HasScrollBars()) return;
    const int h = GetSystemMetrics(SM_CYHSCROLL), w = GetSystemMetrics(SM_CXVSCROLL);
    if (FHScrollBar->Height() != h || FVScrollBar->Width() != w) {
        FHScrollBar->SetHeight(h);
        FVScrollBar->SetWidth(w);
        BoundsChanged();
    }
}

// ---- internal drag and drop -------------------------------------------------------------------------------

TcxDragAndDropObject* TcxControl::DragAndDropObject()
{
    if (!FDragAndDropObject)
        FDragAndDropObject.reset(TcxDragAndDropObject::CreateFor(GetDragAndDropObjectClass(), this));
    return FDragAndDropObject.get();
}

void TcxControl::SetDragAndDropState(TcxDragAndDropState Value)
{
    if (FDragAndDropState == Value) return;
    FDragAndDropState = Value;
    if (Value == ddsNone && !FFinishingDragAndDrop) CancelMouseOperations();
}

void TcxControl::BeginDragAndDrop()
{
    DragAndDropObject()->DoBegin();
    SetMouseCapture(true);
    FSavedScreenCursor = Screen ? Screen->Cursor() : crDefault;
    SetDragAndDropState(ddsInProcess);
}

void TcxControl::DragAndDrop(const TPoint& P, bool& Accepted)
{
    DragAndDropObject()->Move(P, Accepted);
}

void TcxControl::EndDragAndDrop(bool Accepted)
{
    SetDragAndDropState(ddsNone);
    if (Screen) Screen->SetCursor(FSavedScreenCursor);
    SetMouseCapture(false);
    SetMouseCaptureObject(nullptr);
    DragAndDropObject()->Finish(Accepted);
}

void TcxControl::FinishDragAndDrop(bool Accepted)
{
    if (FFinishingDragAndDrop) return;
    FFinishingDragAndDrop = true;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } clear{FFinishingDragAndDrop};
    if (FDragAndDropState == ddsInProcess)
        EndDragAndDrop(Accepted);
    else
        SetDragAndDropState(ddsNone);
    FDragAndDropObject.reset();
}

// ---- pan scrolling -------------------------------------------------------------------------------------------

void TcxControl::CalcPanDirection(const TPoint& AAnchor, int AAnchorSize, const TPoint& P, bool AHVisible,
                                  bool AVVisible, const TRect& AScreen, TcxDirection& ADirection, int& ASpeed,
                                  bool& AMoved)
{
    TRect neutral{AAnchor.X - AAnchorSize / 2, AAnchor.Y - AAnchorSize / 2, AAnchor.X - AAnchorSize / 2 + AAnchorSize,
                  AAnchor.Y - AAnchorSize / 2 + AAnchorSize};
    if (!AHVisible) {
        neutral.Left = AScreen.Left;
        neutral.Right = AScreen.Right;
    }
    if (!AVVisible) {
        neutral.Top = AScreen.Top;
        neutral.Bottom = AScreen.Bottom;
    }
    if (PtInRect(neutral, P)) {
        ADirection = dirNone;
        ASpeed = 0;
        return;
    }
    AMoved = true;
    const int dy = std::abs(P.Y - AAnchor.Y), dx = std::abs(P.X - AAnchor.X);
    const bool vertical = !AHVisible || (AVVisible && dy >= dx);
    int distance;
    if (vertical) {
        ADirection = P.Y < AAnchor.Y ? dirUp : dirDown;
        distance = dy;
    } else {
        ADirection = P.X < AAnchor.X ? dirLeft : dirRight;
        distance = dx;
    }
    ASpeed = std::min((distance - AAnchorSize / 2) / 5 + 1, 12);
}

TCursor TcxControl::PanCursor(TcxDirection ADirection, bool AHVisible, bool AVVisible)
{
    switch (ADirection) {
    case dirLeft: return crcxLeftScroll;
    case dirRight: return crcxRightScroll;
    case dirUp: return crcxUpScroll;
    case dirDown: return crcxDownScroll;
    default:
        if (AHVisible && AVVisible) return crcxFullScroll;
        return AHVisible ? crcxHorScroll : crcxVerScroll;
    }
}

namespace {
// The anchor picture of pan scrolling: a top-most, non-activating popup
// clipped to an ellipse.
class TcxPanAnchorWindow : public TCustomControl {
public:
    explicit TcxPanAnchorWindow(TBitmap* APicture) : TCustomControl(nullptr), FPicture(APicture) {}
protected:
    void CreateParams(TCreateParams& Params) override
    {
        TCustomControl::CreateParams(Params);
        Params.Style = WS_POPUP;
        Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    }
    void Paint() override
    {
        Canvas()->Draw(0, 0, FPicture);
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->Pen()->SetColor(clWindowText);
        Canvas()->Ellipse(0, 0, Width(), Height());
    }
private:
    TBitmap* FPicture;
};
}  // namespace

void TcxControl::DoPanScrolling()
{
    const bool hv = IsHScrollBarVisible(), vv = IsVScrollBarVisible();
    if (!hv && !vv) return;
    FIsPanScrolling = true;
    const TPoint anchor = cxControls::GetMouseCursorPos();
    std::unique_ptr<TBitmap> picture =
        cxResources::LoadBitmap(hv && vv ? "CX_FULLSCROLLBITMAP" : hv ? "CX_HORSCROLLBITMAP" : "CX_VERSCROLLBITMAP");
    const int anchorSize = picture->Width();
    std::unique_ptr<TcxPanAnchorWindow> anchorWnd;
    try {
        anchorWnd = std::make_unique<TcxPanAnchorWindow>(picture.get());
        anchorWnd->SetParentWindow(Handle());
        anchorWnd->SetBounds(anchor.X - anchorSize / 2, anchor.Y - picture->Height() / 2, anchorSize,
                             picture->Height());
        TRegion shape(CreateEllipticRgn(0, 0, anchorSize + 1, picture->Height() + 1));
        anchorWnd->SetWindowRegion(&shape);
        anchorWnd->SetVisible(true);
    } catch (...) {
        anchorWnd.reset();   // the picture is only a help; panning works without it
    }

    TcxDirection direction = dirNone;
    int speed = 1, ticks = 0;
    bool moved = false, done = false;
    TPoint last = anchor;
    const TRect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    TcxControl* self = this;
    AddDestroyGuard(&self);
    if (Screen) Screen->SetCursor(PanCursor(direction, hv, vv));
    const uintptr_t timer = Timers::Start(20, [&] {
        if (!self || done) return;
        ++ticks;
        if (speed > 0 && ticks % (13 - speed) == 0) ScrollContent(direction);
    });
    SetMouseCapture(true);
    // The loop's own view of the input: mouse messages to this window are
    // taken here while pan mode lasts.
    const int mouseFilter = AddMessageFilter(TMessageFilterKind::Mouse, [&](HWND, TMessage& m) {
        if (done) return false;
        switch (m.Msg) {
        case WM_MOUSEMOVE: {
            const TPoint p = cxControls::GetMouseCursorPos();
            if (!(p == last)) {
                CalcPanDirection(anchor, anchorSize, p, hv, vv, screen, direction, speed, moved);
                if (Screen) Screen->SetCursor(PanCursor(direction, hv, vv));
                last = p;
            }
            return true;
        }
        case WM_MBUTTONUP:
            if (moved) done = true;
            return true;
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN:
        case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
        case WM_MOUSEWHEEL:
            done = true;   // ends pan mode and goes no further
            return true;
        default:
            return false;
        }
    });
    const int keyFilter = AddMessageFilter(TMessageFilterKind::GetMessage, [&](HWND, TMessage& m) {
        if (!done && (m.Msg == WM_KEYDOWN || m.Msg == WM_KEYUP) && m.WParam == VK_ESCAPE) done = true;
        return false;
    });
    try {
        while (!done && self && MouseCapture() && Application && !Application->Terminated())
            Application->HandleMessage();
    } catch (...) {
        RemoveMessageFilter(mouseFilter);
        RemoveMessageFilter(keyFilter);
        Timers::Stop(timer);
        if (self) {
            RemoveDestroyGuard(&self);
            if (MouseCapture()) SetMouseCapture(false);
            FIsPanScrolling = false;
        }
        if (Screen) Screen->SetCursor(crDefault);
        throw;
    }
    RemoveMessageFilter(mouseFilter);
    RemoveMessageFilter(keyFilter);
    Timers::Stop(timer);
    anchorWnd.reset();
    if (Screen) Screen->SetCursor(crDefault);
    if (!self) return;
    RemoveDestroyGuard(&self);
    if (MouseCapture()) SetMouseCapture(false);
    FIsPanScrolling = false;
}

// ---- TcxPopupWindow ---------------------------------------------------------------------------------------

QZ_CLASS_IMPL(TcxPopupWindow, TForm)

TcxPopupWindow::TcxPopupWindow() : TForm(nullptr)
{
    SetBorderStyle(fbsNone);
    SetDefaultMonitor(dmDesktop);
    SetFormStyle(fsStayOnTop);
    FcxCanvas = std::make_unique<TcxCanvas>(TForm::Canvas());
}

TcxPopupWindow::~TcxPopupWindow() = default;

int TcxPopupWindow::GetFrameStyleWidth(TcxBorder) const
{
    switch (FFrameStyle) {
    case pfsSingle:
    case pfsRaised: return 1;
    case pfsRaised3D: return 2;
    default: return 0;
    }
}

void TcxPopupWindow::SetFrameStyle(TcxPopupFrameStyle Value)
{
    if (FFrameStyle == Value) return;
    // The children move back to where they stand without a frame;
    // CalculateSize moves them in again.
    const int dx = GetPopupFrameWidth(bLeft), dy = GetPopupFrameWidth(bTop);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() - dx, c->Top() - dy, c->Width(), c->Height());
    }
    FFrameStyle = Value;
}

void TcxPopupWindow::InitPopup()
{
    if (AnchorParent) Font()->Assign(AnchorParent->Font());
}

void TcxPopupWindow::CalculateSize()
{
    if (!SizeToControls) return;
    int maxRight = 0, maxBottom = 0;
    const int l = GetPopupFrameWidth(bLeft), t = GetPopupFrameWidth(bTop);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        maxRight = std::max(maxRight, c->Left() + c->Width());
        maxBottom = std::max(maxBottom, c->Top() + c->Height());
        c->SetBounds(c->Left() + l, c->Top() + t, c->Width(), c->Height());
    }
    if (maxRight != 0) SetWidth(l + maxRight + GetPopupFrameWidth(bRight));
    if (maxBottom != 0) SetHeight(t + maxBottom + GetPopupFrameWidth(bBottom));
}

void TcxPopupWindow::CalculatePosition(TPoint& P)
{
    TcxPopupHorzAlignment horz = HorzAlignment;
    TcxPopupVertAlignment vert = VertAlignment;
    TRect owner = AnchorBounds;
    if (AnchorParent) {
        const TPoint a = AnchorParent->ClientToScreen(owner.TopLeft());
        const TPoint b = AnchorParent->ClientToScreen(owner.BottomRight());
        owner = {a.X, a.Y, b.X, b.Y};
    }
    const int w = Width(), h = Height();
    TPoint anchor{owner.Left, owner.Top};
    if (horz == phaCenter) anchor.X = P.X = (owner.Left + owner.Right - w) / 2;
    if (vert == pvaCenter) anchor.Y = P.Y = (owner.Top + owner.Bottom - h) / 2;
    auto place = [&] {
        if (DropDirection == pdrVertical) {
            if (horz == phaLeft) anchor.X = P.X = owner.Left;
            else if (horz == phaRight) { P.X = owner.Right - w; anchor.X = owner.Right; }
            if (vert == pvaTop) { P.Y = owner.Top - h; anchor.Y = owner.Top; }
            else if (vert == pvaBottom) anchor.Y = P.Y = owner.Bottom;
        } else {
            if (horz == phaLeft) { P.X = owner.Left - w; anchor.X = owner.Left; }
            else if (horz == phaRight) anchor.X = P.X = owner.Right;
            if (vert == pvaTop) anchor.Y = P.Y = owner.Top;
            else if (vert == pvaBottom) { P.Y = owner.Bottom - h; anchor.Y = owner.Bottom; }
        }
    };
    place();
    const TRect work = cxControls::GetDesktopWorkArea(anchor);
    bool flipped = false;
    if (DropDirection == pdrVertical) {
        const int above = owner.Top - work.Top, below = work.Bottom - owner.Bottom;
        if (vert == pvaTop && P.Y < work.Top && !(below < above)) {
            vert = pvaBottom;
            flipped = true;
        } else if (vert == pvaBottom && P.Y + h > work.Bottom && below < above) {
            vert = pvaTop;
            flipped = true;
        }
    } else {
        const int left = owner.Left - work.Left, right = work.Right - owner.Right;
        if (horz == phaLeft && P.X < work.Left && !(right < left)) {
            horz = phaRight;
            flipped = true;
        } else if (horz == phaRight && P.X + w > work.Right && right < left) {
            horz = phaLeft;
            flipped = true;
        }
    }
    if (flipped) place();
    if (DropDirection == pdrVertical || horz == phaCenter) {
        if (P.X + w > work.Right) P.X = work.Right - w;
        if (P.X < work.Left) P.X = work.Left;
    }
    if (DropDirection == pdrHorizontal || vert == pvaCenter) {
        if (P.Y + h > work.Bottom) P.Y = work.Bottom - h;
        if (P.Y < work.Top) P.Y = work.Top;
    }
}

void TcxPopupWindow::ShowPopup()
{
    InitPopup();
    CalculateSize();
    TPoint p{Left(), Top()};
    CalculatePosition(p);
    SetLeft(p.X);
    SetTop(p.Y);
    Show();
}

void TcxPopupWindow::DrawPopupFrame()
{
    TRect r{0, 0, Width(), Height()};
    switch (FFrameStyle) {
    case pfsSingle: FcxCanvas->FrameRect(r, FrameLineColor, 1, cxBordersAll); break;
    case pfsRaised: FcxCanvas->DrawEdge(r, false, false); break;
    case pfsRaised3D:
        FcxCanvas->DrawEdge(r, false, true);
        InflateRect(r, -1, -1);
        FcxCanvas->DrawEdge(r, false, false);
        break;
    default: break;
    }
}

void TcxPopupWindow::Paint()
{
    TForm::Paint();
    DrawPopupFrame();
}

void TcxPopupWindow::PaintWindow(HDC DC)
{
    // The form paints through Paint even without an OnPaint handler: the
    // frame is this class's own drawing.
    PaintThroughCanvas(DC);
}

void TcxPopupWindow::Deactivate()
{
    TForm::Deactivate();
    HidePopup();
}

void TcxPopupWindow::WMActivate(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (LOWORD(Message.WParam) != WA_INACTIVE) {
        PreviousActiveWindow = reinterpret_cast<HWND>(Message.LParam);
        // The owner's caption keeps looking active while its popup is.
        if (PreviousActiveWindow) SendMessage(PreviousActiveWindow, WM_NCACTIVATE, 1, 0);
    }
}

void TcxPopupWindow::WMActivateApp(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (Message.WParam == 0) {
        if (PreviousActiveWindow) SendMessage(PreviousActiveWindow, WM_NCACTIVATE, 0, 0);
        HidePopup();
    }
}

void TcxPopupWindow::CMVisibleChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    VisibleChanged();
}

// ---- unit services -------------------------------------------------------------------------------------------

namespace cxControls {

namespace {
const char* const CursorNames[14] = {"CX_DRAGCOPYCURSOR",   "CX_FULLSCROLLCURSOR", "CX_HORSCROLLCURSOR",
                                     "CX_VERSCROLLCURSOR",  "CX_UPSCROLLCURSOR",   "CX_RIGHTSCROLLCURSOR",
                                     "CX_DOWNSCROLLCURSOR", "CX_LEFTSCROLLCURSOR", "CX_REMOVECURSOR",
                                     "CX_VERTSIZECURSOR",   "CX_HORZSIZECURSOR",   "CX_MULTIDRAGCURSOR",
                                     "CX_NODROPCURSOR",     "CX_DRAGCURSOR"};
}

void Initialize()
{
    InitGui();
    for (int i = 0; i < 14; ++i) {
        std::unique_ptr<TBitmap> b = cxResources::LoadBitmap(CursorNames[i]);
        if (!b || !Screen) continue;
        b->SetTransparentColor(clFuchsia);
        b->SetTransparentMode(tmFixed);
        b->SetTransparent(true);
        Screen->SetCursors(2100 + i, CreateCursorFromBitmap(b.get(), {b->Width() / 2, b->Height() / 2}));
    }
}

void Finalize()
{
    if (!TrackingList().empty()) throw Exception("MouseTrackingTimerList.Count <> 0");
}

UINT GetDblClickInterval() { return GetDoubleClickTime(); }

TRect GetDesktopWorkArea(const TPoint& P)
{
    if (Screen)
        if (TMonitor* m = Screen->MonitorFromPoint(P)) return m->WorkareaRect;
    TRect r;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

TPoint GetMouseCursorPos()
{
    TPoint p;
    GetCursorPos(&p);
    return p;
}

bool IsCtrlPressed() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

bool IsWithinDragThreshold(const TPoint& ADownPos, int X, int Y)
{
    const int t = Mouse->DragThreshold();
    return std::abs(X - ADownPos.X) < t && std::abs(Y - ADownPos.Y) < t;
}

TRect MapWindowRect(HWND AFrom, HWND ATo, const TRect& R)
{
    TPoint pts[2] = {R.TopLeft(), R.BottomRight()};
    MapWindowPoints(AFrom, ATo, pts, 2);
    return {pts[0].X, pts[0].Y, pts[1].X, pts[1].Y};
}

int TranslateKey(int Key) { return Key; }

bool IsComponentLoading(TComponent* AComponent)
{
    return AComponent && AComponent->ComponentState().Contains(csLoading);
}

void ShowHourglassCursor()
{
    THourglass& h = Hourglass();
    if (h.Count++ == 0 && Screen) {
        h.Saved = Screen->Cursor();
        Screen->SetCursor(crHourGlass);
    }
}

void HideHourglassCursor()
{
    THourglass& h = Hourglass();
    if (h.Count == 0) return;
    if (--h.Count == 0 && Screen) Screen->SetCursor(h.Saved);
}

bool IsPopupMenu(TComponent* AComponent)
{
    if (!AComponent) return false;
    if (dynamic_cast<IcxPopupMenu*>(AComponent)) return true;
    for (TClass c = AComponent->ClassType(); c; c = c->Parent)
        if (c->Name == "TPopupMenu") return true;
    return false;
}

bool ShowPopupMenu(TComponent* ACaller, TComponent* AMenu, int X, int Y)
{
    if (!AMenu) return false;
    if (auto* m = dynamic_cast<IcxPopupMenu*>(AMenu)) {
        m->Popup(X, Y);
        return true;
    }
    // A menu component of the framework: the framework's own popup handling
    // shows it once the control leaves the request unhandled.
    return false;
}

void BeginMouseTracking(TControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller)
{
    if (!ACaller || IsMouseTracking(ACaller)) return;
    auto t = std::make_unique<TMouseTrackingTimer>();
    t->Control = AControl;
    t->Caller = ACaller;
    if (AControl) {
        const TPoint a = AControl->ClientToScreen(ABounds.TopLeft()), b = AControl->ClientToScreen(ABounds.BottomRight());
        t->Bounds = {a.X, a.Y, b.X, b.Y};
    } else {
        t->Bounds = ABounds;
    }
    t->Timer = Timers::Start(10, [ACaller] { TrackingTick(ACaller); });
    TrackingList().push_back(std::move(t));
}

void EndMouseTracking(IcxMouseTrackingCaller* ACaller)
{
    auto& list = TrackingList();
    auto it = std::find_if(list.begin(), list.end(), [&](auto& t) { return t->Caller == ACaller; });
    if (it == list.end()) return;
    Timers::Stop((*it)->Timer);
    list.erase(it);
}

bool IsMouseTracking(IcxMouseTrackingCaller* ACaller)
{
    auto& list = TrackingList();
    return std::any_of(list.begin(), list.end(), [&](auto& t) { return t->Caller == ACaller; });
}

void PostMouseMove(TControl* AControl, const TPoint* P)
{
    auto* w = DynamicCast<TWinControl>(AControl);
    if (!w || !w->HandleAllocated()) return;
    const TPoint p = P ? *P : AControl->ScreenToClient(GetMouseCursorPos());
    PostMessage(w->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.X, p.Y));
}

int SettingsControllerCount() { return int(Settings().Controls.size()); }
HWND SettingsControllerWindow() { return Settings().Window; }

}  // namespace cxControls
