#include "cxInnerListBox.h"

QZ_CLASS_IMPL(TcxCustomInnerListBox, TListBox)

namespace {
// Sets a flag for a scope, cleared also when an exception leaves it.
struct TFlagScope {
    bool& Flag;
    explicit TFlagScope(bool& f) : Flag(f) { Flag = true; }
    ~TFlagScope() { Flag = false; }
};
}

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner)
{
    FCxCanvas = std::make_unique<TcxCanvas>(Canvas());
    auto makeBar = [this](TScrollBarKind kind) {
        auto* bar = new TcxScrollBar(this);
        FreeNotification(bar);
        bar->SetKind(kind);
        bar->SetSmallChange(1);
        bar->SetVisible(false);
        return bar;
    };
    FHorzScrollBar = makeBar(sbHorizontal);
    FHorzScrollBar->OnScroll = [this](TObject* s, TScrollCode c, int& p) { HScrollHandler(s, c, p); };
    FVertScrollBar = makeBar(sbVertical);
    FVertScrollBar->OnScroll = [this](TObject* s, TScrollCode c, int& p) { VScrollHandler(s, c, p); };
    FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
    FLookAndFeel->OnChanged = [this](TcxLookAndFeel* s, TcxLookAndFeelValues v) { LookAndFeelChanged(s, v); };
    FHorzScrollBar->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
    FVertScrollBar->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
    SetBorderStyle(bsNone);
    TControlStyle cs = ControlStyle();
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
    SetParentColor(false);
    SetParentFont(true);
}

TcxCustomInnerListBox::~TcxCustomInnerListBox()
{
    // The bars may sit on the container; they go with the list box either way.
    delete FHorzScrollBar;
    delete FVertScrollBar;
    FLookAndFeel.reset();
    FCxCanvas.reset();
}

void TcxCustomInnerListBox::Notification(TComponent* AComponent, TOperation Operation)
{
    TListBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FHorzScrollBar) FHorzScrollBar = nullptr;
    if (AComponent == FVertScrollBar) FVertScrollBar = nullptr;
}

void TcxCustomInnerListBox::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues)
{
    if (HandleAllocated()) Invalidate();
}

// ---- the painter bars ------------------------------------------------------------------------

void TcxCustomInnerListBox::SetScrollBarsParameters()
{
    if (ComponentState().Contains(csDestroying) || FBarUpdateLockCount > 0) return;
    TFlagScope computing(FComputingScrollBars);
    for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
        TcxScrollBar* bar = kind == sbHorizontal ? FHorzScrollBar : FVertScrollBar;
        if (!bar) continue;
        bool shown = false;
        if (Parent() && HandleAllocated()) {
            TScrollBarInfo info;
            if (GetScrollBarInfo(Handle(), kind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, &info) &&
                !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) {
                shown = true;
                bar->SetEnabled(!(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE));
                TPoint a = Parent()->ScreenToClient(info.rcScrollBar.TopLeft());
                TPoint b = Parent()->ScreenToClient(info.rcScrollBar.BottomRight());
                TRect r{a.X, a.Y, b.X, b.Y};
                if (r.Left < 0 || r.Top < 0 || r.Width() > Width() || r.Height() > Height()) {
                    shown = false;
                    if (kind == sbVertical) bar->SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 0);
                    else bar->SetBounds(0, 0, 0, GetSystemMetrics(SM_CYHSCROLL));
                } else {
                    bar->SetBoundsRect(r);
                }
            }
        }
        if (shown) {
            ++FBarUpdateLockCount;
            try {
                bar->SetParent(Parent());
            } catch (...) {
                --FBarUpdateLockCount;
                throw;
            }
            --FBarUpdateLockCount;
            bar->SetCtl3D(false);
            bar->BringToFront();
        } else {
            bar->SetBounds(0, 0, 0, 0);
        }
        bar->SetVisible(shown);
        if (bar->Visible()) {
            TScrollInfo si;
            si.fMask = SIF_ALL;
            GetScrollInfo(Handle(), kind == sbHorizontal ? SB_HORZ : SB_VERT, &si);
            int page = std::min(int(si.nPage), si.nMax);
            bar->SetScrollParams(si.nMin, si.nMax, si.nPos, page);
        }
    }
}

void TcxCustomInnerListBox::ScrollThrough(UINT AMsg, TcxScrollBar* ABar, TScrollCode ScrollCode, int& ScrollPos)
{
    if (!ABar || !ABar->HandleAllocated()) return;
    // Straight to the native list, as its own bar would send it.
    TMessage m{AMsg, WPARAM((uint32_t(uint16_t(ScrollPos)) << 16) | uint16_t(ScrollCode)), LPARAM(ABar->Handle()), 0};
    TListBox::DefaultHandler(m);
    ScrollPos = GetScrollPos(Handle(), AMsg == WM_HSCROLL ? SB_HORZ : SB_VERT);
}

void TcxCustomInnerListBox::HScrollHandler(TObject*, TScrollCode ScrollCode, int& ScrollPos)
{
    ScrollThrough(WM_HSCROLL, FHorzScrollBar, ScrollCode, ScrollPos);
}

void TcxCustomInnerListBox::VScrollHandler(TObject*, TScrollCode ScrollCode, int& ScrollPos)
{
    ScrollThrough(WM_VSCROLL, FVertScrollBar, ScrollCode, ScrollPos);
}

void TcxCustomInnerListBox::GetSizeGripRect(TRect& R) const
{
    R = TRect{};
    if (!FHorzScrollBar || !FVertScrollBar || !FHorzScrollBar->Visible() || !FVertScrollBar->Visible() || !Parent())
        return;
    TRect wr;
    GetWindowRect(const_cast<TcxCustomInnerListBox*>(this)->Handle(), &wr);
    TPoint p = Parent()->ClientToScreen(Point(FVertScrollBar->Left(), FHorzScrollBar->Top()));
    R.Left = p.X - wr.Left;
    R.Top = p.Y - wr.Top;
    R.Right = R.Left + FVertScrollBar->Width();
    R.Bottom = R.Top + FHorzScrollBar->Height();
}

void TcxCustomInnerListBox::WndProc(TMessage& Message)
{
    TWeakRef<TcxCustomInnerListBox> guard(this);
    TListBox::WndProc(Message);
    if (!guard) return;
    switch (Message.Msg) {
    case WM_SETREDRAW:
        if (Message.WParam) SetScrollBarsParameters();
        break;
    case WM_NCCALCSIZE:
        if (!FComputingScrollBars) SetScrollBarsParameters();
        break;
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case WM_MOUSEWHEEL:
    case CM_WININICHANGE:
        SetScrollBarsParameters();
        break;
    default: break;
    }
}

// ---- events handed to the container --------------------------------------------------------

void TcxCustomInnerListBox::Click()
{
    TListBox::Click();
    if (!Container) return;
    if (FVertScrollBar) FVertScrollBar->SetPosition(TopIndex());
    static_cast<TControl*>(Container)->Click();
}

void TcxCustomInnerListBox::DblClick()
{
    TListBox::DblClick();
    if (Container) static_cast<TControl*>(Container)->DblClick();
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (Container && static_cast<TControl*>(Container)->DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    return TListBox::DoMouseWheel(Shift, WheelDelta, MousePos);
}

TComponent* TcxCustomInnerListBox::GetPopupMenu() const
{
    return Container ? static_cast<TControl*>(Container)->GetPopupMenu() : TListBox::GetPopupMenu();
}

void TcxCustomInnerListBox::DragDrop(TObject* Source, int X, int Y)
{
    // The container takes drops for the editor; the list has none of its own.
    if (Container) static_cast<TControl*>(Container)->DragDrop(Source, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    if (Container) static_cast<TControl*>(Container)->DragOver(Source, X + Left(), Y + Top(), State, Accept);
}

void TcxCustomInnerListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Container) static_cast<TWinControl*>(Container)->KeyDown(Key, Shift);
    if (Key != 0) TListBox::KeyDown(Key, Shift);
}

void TcxCustomInnerListBox::KeyPress(char& Key)
{
    if (!Container) {
        TListBox::KeyPress(Key);
        return;
    }
    if (Key == '\t') Key = 0;
    static_cast<TWinControl*>(Container)->KeyPress(Key);
    if (Key == '\r') Key = 0;
    if (Key != 0) TListBox::KeyPress(Key);
}

void TcxCustomInnerListBox::KeyUp(WORD& Key, TShiftState Shift)
{
    if (!Container) {
        TListBox::KeyUp(Key, Shift);
        return;
    }
    if (Key == VK_TAB) Key = 0;
    static_cast<TWinControl*>(Container)->KeyUp(Key, Shift);
    if (Key != 0) TListBox::KeyUp(Key, Shift);
}

void TcxCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWeakRef<TcxCustomInnerListBox> guard(this);
    TListBox::MouseDown(Button, Shift, X, Y);
    if (!guard || !Container) return;
    TcxContainer* c = Container;
    TWeakRef<TcxContainer> cguard(c);
    c->InnerMouseDownForwarding = true;
    try {
        static_cast<TControl*>(c)->MouseDown(Button, Shift, X + Left(), Y + Top());
    } catch (...) {
        if (cguard) c->InnerMouseDownForwarding = false;
        throw;
    }
    if (cguard) c->InnerMouseDownForwarding = false;
}

void TcxCustomInnerListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TWeakRef<TcxCustomInnerListBox> guard(this);
    TListBox::MouseMove(Shift, X, Y);
    if (guard && Container) static_cast<TControl*>(Container)->MouseMove(Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TWeakRef<TcxCustomInnerListBox> guard(this);
    TListBox::MouseUp(Button, Shift, X, Y);
    if (guard && Container) static_cast<TControl*>(Container)->MouseUp(Button, Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseLeave(TControl*)
{
    if (Container) Container->ShortRefreshContainer(true);
}

// ---- messages ------------------------------------------------------------------------------

void TcxCustomInnerListBox::WMGetDlgCode(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (!Container) return;
    Message.Result |= DLGC_WANTCHARS;
    if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
}

void TcxCustomInnerListBox::WMKillFocus(TMessage& Message)
{
    TWeakRef<TcxCustomInnerListBox> guard(this);
    inherited::Dispatch(Message);
    if (guard && Container && !Container->IsContainerDestroying()) Container->FocusChanged();
}

void TcxCustomInnerListBox::WMSetFocus(TMessage& Message)
{
    TWeakRef<TcxCustomInnerListBox> guard(this);
    inherited::Dispatch(Message);
    if (!guard || !Container || Container->IsContainerDestroying() || ComponentState().Contains(csDestroying)) return;
    HWND from = reinterpret_cast<HWND>(Message.WParam);
    if (!Container->HandleAllocated() || from != Container->Handle()) Container->FocusChanged();
}

void TcxCustomInnerListBox::WMLButtonDown(TMessage& Message)
{
    TcxContainer* c = Container;
    if (!c || c->DragMode() != dmAutomatic || c->ComponentState().Contains(csDesigning)) {
        inherited::Dispatch(Message);
        return;
    }
    TWeakRef<TcxCustomInnerListBox> guard(this);
    TWeakRef<TcxContainer> cguard(c);
    const TDragMode saved = DragMode();
    SetDragMode(dmManual);
    struct TRestore {
        TWeakRef<TcxCustomInnerListBox>& G;
        TDragMode M;
        ~TRestore() { if (G) G->SetDragMode(M); }
    } restore{guard, saved};
    TWMMouse mm(Message);
    const TShiftState shift = KeysToShiftState(mm.Keys());
    const bool ctrl = shift.Contains(ssCtrl), shiftKey = shift.Contains(ssShift);
    if (MultiSelect()) {
        // A press on a chosen item drags the whole choice instead of changing it.
        int i = ItemAtPos(Point(mm.XPos(), mm.YPos()), true);
        if (i >= 0 && Selected(i) && (!shiftKey || ctrl)) {
            c->BeginDrag(false);
            return;
        }
    }
    inherited::Dispatch(Message);
    if (!guard || !cguard) return;
    if (!(MultiSelect() && (ctrl || shiftKey))) c->BeginDrag(false);
}

void TcxCustomInnerListBox::WMNCPaint(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (FHorzScrollBar && FVertScrollBar && FHorzScrollBar->Visible() && FVertScrollBar->Visible()) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        TRect r;
        GetSizeGripRect(r);
        FillRect(dc, r, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void TcxCustomInnerListBox::WMWindowPosChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (FHorzScrollBar && FVertScrollBar && FHorzScrollBar->Visible() && FVertScrollBar->Visible() &&
        !ComponentState().Contains(csDestroying))
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TcxCustomInnerListBox::CMMouseEnter(TMessage& Message)
{
    inherited::Dispatch(Message);
    TControl* c = reinterpret_cast<TControl*>(Message.LParam);
    MouseEnter(c ? c : this);
}

void TcxCustomInnerListBox::CMMouseLeave(TMessage& Message)
{
    inherited::Dispatch(Message);
    TControl* c = reinterpret_cast<TControl*>(Message.LParam);
    MouseLeave(c ? c : this);
}
