// TControl, TWinControl and the controls that paint themselves; dragging
// inside the program; the mouse.
#include "QzGuiPrivate.h"
#include "QzPropsPrivate.h"
#include "Forms.h"
#include "ActnList.h"
#include "TextUtils.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QWidget>
#include <QWindow>

#include <algorithm>

using namespace qzgui;

namespace qzgui {
QWidget* MakeOwnWidget(TWinControl* c, QWidget* parent, Qt::WindowFlags f);
void AttachWindow(TWinControl* c, TWinControlWindow* win, QWidget* w, bool native);
void DetachWindow(TWinControlWindow* win);
}

QZ_CLASS_IMPL(TSizeConstraints, TPersistent)
QZ_CLASS_IMPL_PROPS(TControl, TComponent, qzgui::DefineControlProps)
QZ_CLASS_IMPL_PROPS(TWinControl, TControl, qzgui::DefineWinControlProps)
QZ_CLASS_IMPL(TControlCanvas, TCanvas)
QZ_CLASS_IMPL(TCustomControl, TWinControl)
QZ_CLASS_IMPL(TGraphicControl, TControl)
QZ_CLASS_IMPL(TPaintBox, TGraphicControl)
QZ_CLASS_IMPL(THintWindow, TCustomControl)
QZ_CLASS_IMPL(TDragObject, TObject)
QZ_CLASS_IMPL(TDragControlObject, TDragObject)

static TMouse TheMouse;
TMouse* Mouse = &TheMouse;

namespace {
TPopupMenuHandler PopupHandler;
THintHandler HintHandler;
}
void SetPopupMenuHandler(TPopupMenuHandler h) { PopupHandler = std::move(h); }
void SetHintHandler(THintHandler h) { HintHandler = std::move(h); }

std::string GetShortHint(const std::string& hint)
{
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}
std::string GetLongHint(const std::string& hint)
{
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

namespace {
// The program's one hint window, made when first needed.
THintWindow* TheHintWindow(bool make)
{
    static TWeakRef<THintWindow> w;
    if (!w && make) w = new THintWindow(nullptr);
    return w.Get();
}

TWeakRef<TControl> HintCtl;
uintptr_t HintTimer = 0;
bool HintShown = false;

void HideHint()
{
    if (HintTimer) Timers::Stop(HintTimer);
    HintTimer = 0;
    if (HintShown) {
        TPoint p;
        GetCursorPos(&p);
        if (HintHandler) HintHandler(HintCtl.Get(), std::string(), p);
        else if (THintWindow* w = TheHintWindow(false)) w->ReleaseHandle();
    }
    HintShown = false;
}

TRect HintCursorRect;     // client coordinates of the hint's control
bool HintCursorRectSet = false;

void ShowHintNow()
{
    if (HintTimer) Timers::Stop(HintTimer);
    HintTimer = 0;
    TControl* c = HintCtl.Get();
    if (!c || !c->MouseInClient()) return;
    TPoint screen;
    GetCursorPos(&screen);
    // The control may change the text, the place and the area the hint
    // belongs to (a cell), or refuse it.
    THintInfo info;
    info.HintControl = c;
    info.CursorPos = c->ScreenToClient(screen);
    info.CursorRect = c->ClientRect();
    info.HintPos = Point(screen.X, screen.Y + GetSystemMetrics(SM_CYCURSOR) * 2 / 3);
    info.HintMaxWidth = Screen ? Screen->Width() / 3 : 300;
    info.HintColor = Application ? Application->HintColor : clInfoBk;
    info.HintStr = GetShortHint(c->Hint());
    TWeakRef<TControl> guard(c);
    if (c->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0 || !guard) return;
    HintCursorRect = info.CursorRect;
    HintCursorRectSet = true;
    if (info.HintStr.empty()) return;
    if (Application && Application->OnShowHint) {
        bool canShow = true;
        Application->OnShowHint(info.HintStr, canShow, info);
        if (!canShow) return;
    }
    if (HintHandler) {
        HintHandler(c, info.HintStr, info.HintPos);
    } else if (THintWindow* w = TheHintWindow(true)) {
        w->SetColor(info.HintColor);
        TRect r = w->CalcHintRect(info.HintMaxWidth, info.HintStr);
        OffsetRect(r, info.HintPos.X, info.HintPos.Y);
        w->ActivateHint(r, info.HintStr);
    }
    HintShown = true;
}

// The mouse rests on a control: its hint shows after the pause. Moving out
// of the hint's area (a cell of the control) starts over.
void HintMouseOver(TControl* c)
{
    if (c && c == HintCtl.Get()) {
        if (!HintCursorRectSet) return;
        TPoint screen;
        GetCursorPos(&screen);
        if (PtInRect(HintCursorRect, c->ScreenToClient(screen))) return;
    }
    HideHint();
    HintCtl = c;
    HintCursorRectSet = false;
    if (!c || !Application || !Application->ShowHint() || !c->ShowHint() || c->Hint().empty()) return;
    HintTimer = Timers::Start(UINT(std::max(1, Application->HintPause)), [] { ShowHintNow(); });
}
}

TControl* HintControl() { return HintCtl.Get(); }

bool TControl::ShowHint() const
{
    if (FParentShowHint && FParent) return FParent->ShowHint();
    return FShowHint;
}

TShiftState KeysToShiftState(WPARAM keys)
{
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(ssShift);
    if (keys & MK_CONTROL) s.Include(ssCtrl);
    if (keys & MK_LBUTTON) s.Include(ssLeft);
    if (keys & MK_RBUTTON) s.Include(ssRight);
    if (keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData)
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (keyData & (1 << 29)) s.Include(ssAlt);
    return s;
}

void TSizeConstraints::Assign(TPersistent* source)
{
    if (auto* c = DynamicCast<TSizeConstraints>(source)) {
        MinWidth = c->MinWidth;
        MinHeight = c->MinHeight;
        MaxWidth = c->MaxWidth;
        MaxHeight = c->MaxHeight;
        Change();
        return;
    }
    TPersistent::Assign(source);
}

// ---- cursors --------------------------------------------------------------------------------

HCURSOR CreateCursorFromBitmap(TBitmap* image, TPoint hot)
{
    if (!image || image->Empty()) return nullptr;
    image->FinishDrawing();
    QImage img = image->Image()->Img.convertToFormat(QImage::Format_ARGB32);
    if (image->Transparent()) {
        const QRgb key = QCol(image->TransparentColor()).rgb() & 0xFFFFFF;
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
        }
    }
    auto* h = new HCURSOR__;
    h->Cursor = QCursor(QPixmap::fromImage(img), hot.X, hot.Y);
    return h;
}

HCURSOR LoadStandardCursor(TCursor standard)
{
    auto* h = new HCURSOR__;
    h->Cursor = QtCursor(standard);
    return h;
}

// ---- TControl ------------------------------------------------------------------------------

TControl::TControl(TComponent* owner)
    : TComponent(owner), FConstraints(std::make_unique<TSizeConstraints>()), FFont(std::make_unique<TFont>())
{
    FFont->OnChange = [this](TObject*) {
        if (FUpdatingFont) return;
        FParentFont = false;
        Perform(CM_FONTCHANGED);
    };
    FConstraints->OnChange = [this](TObject*) { SetBounds(FLeft, FTop, FWidth, FHeight); };
}

TControl::~TControl()
{
    if (HintCtl.Get() == this) HintMouseOver(nullptr);
    if (Dragging()) CancelDrag();
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
    if (FParent) FParent->RemoveControl(this);
}

void TControl::BeforeDestruction()
{
    TComponent::BeforeDestruction();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    if (WindowProc) WindowProc(m);
    else WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m)
{
    // Mouse buttons pressed on a control of ours end a drag started from the keyboard, and
    // feed the drag threshold; everything else goes straight to the handlers.
    Dispatch(m);
}

void TControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(m); return;
    case WM_LBUTTONUP: WMLButtonUp(m); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(m); return;
    case WM_RBUTTONDOWN: WMRButtonDown(m); return;
    case WM_RBUTTONUP: WMRButtonUp(m); return;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(m); return;
    case WM_MBUTTONDOWN: WMMButtonDown(m); return;
    case WM_MBUTTONUP: WMMButtonUp(m); return;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(m); return;
    case WM_MOUSEMOVE: WMMouseMove(m); return;
    case WM_MOUSEWHEEL: WMMouseWheel(m); return;
    case WM_CONTEXTMENU: WMContextMenu(m); return;
    case WM_CANCELMODE: WMCancelMode(m); return;
    case CM_MOUSEENTER: CMMouseEnter(m); return;
    case CM_MOUSELEAVE: CMMouseLeave(m); return;
    case CM_COLORCHANGED: CMColorChanged(m); return;
    case CM_FONTCHANGED: CMFontChanged(m); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(m); return;
    case CM_TEXTCHANGED: CMTextChanged(m); return;
    case CM_HITTEST: CMHitTest(m); return;
    case CM_DRAG: CMDrag(m); return;
    case CM_MOUSEWHEEL: CMMouseWheel(m); return;
    default: break;
    }
    DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETTEXT: {
        // LParam: a std::string to fill; WParam: the most characters wanted.
        auto* out = reinterpret_cast<std::string*>(m.LParam);
        if (out) *out = FText;
        m.Result = LRESULT(FText.size());
        break;
    }
    case WM_GETTEXTLENGTH: m.Result = LRESULT(FText.size()); break;
    case WM_SETTEXT: {
        auto* in = reinterpret_cast<const std::string*>(m.LParam);
        FText = in ? *in : std::string();
        m.Result = 1;
        break;
    }
    default: break;
    }
}

std::string TControl::GetText() const { return FText; }
void TControl::SetText(const std::string& v)
{
    if (v == FText) return;
    std::string copy = v;
    Perform(WM_SETTEXT, 0, LPARAM(&copy));
    Perform(CM_TEXTCHANGED);
}

void TControl::SetParent(TWinControl* p)
{
    if (p == FParent) return;
    if (p == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (p) {
        p->InsertControl(this);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED);
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED);
    }
}

void TControl::Notification(TComponent* component, TOperation op)
{
    TComponent::Notification(component, op);
}

TRect TControl::ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientSize(int w, int h)
{
    TRect c = ClientRect();
    SetBounds(FLeft, FTop, FWidth - c.Width() + w, FHeight - c.Height() + h);
}

TPoint TControl::ClientOrigin() const
{
    if (!FParent) return Point(FLeft, FTop);
    TPoint p = FParent->ClientOrigin();
    return Point(p.X + FLeft, p.Y + FTop);
}
TPoint TControl::ClientToScreen(TPoint p) const
{
    TPoint o = ClientOrigin();
    return Point(p.X + o.X, p.Y + o.Y);
}
TPoint TControl::ScreenToClient(TPoint p) const
{
    TPoint o = ClientOrigin();
    return Point(p.X - o.X, p.Y - o.Y);
}
TPoint TControl::ClientToParent(TPoint p, TWinControl* parent) const
{
    if (!parent) parent = FParent;
    if (!parent) throw EInvalidOperation("Control has no parent window");
    TPoint s = ClientToScreen(p);
    return parent->ScreenToClient(s);
}
TPoint TControl::ParentToClient(TPoint p, TWinControl* parent) const
{
    if (!parent) parent = FParent;
    if (!parent) throw EInvalidOperation("Control has no parent window");
    TPoint s = parent->ClientToScreen(p);
    return ScreenToClient(s);
}

bool TControl::CanResize(int& w, int& h)
{
    bool r = true;
    if (OnCanResize) OnCanResize(this, w, h, r);
    return r;
}

void TControl::ConstrainedResize(int& minW, int& minH, int& maxW, int& maxH)
{
    if (OnConstrainedResize) OnConstrainedResize(this, minW, minH, maxW, maxH);
}

void TControl::DoSetBounds(int l, int t, int w, int h)
{
    FLeft = l;
    FTop = t;
    FWidth = w;
    FHeight = h;
}

void TControl::SetBounds(int l, int t, int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    // Constraints first, then the control may refuse the new size.
    int minW = FConstraints->MinWidth, minH = FConstraints->MinHeight;
    int maxW = FConstraints->MaxWidth, maxH = FConstraints->MaxHeight;
    ConstrainedResize(minW, minH, maxW, maxH);
    if (maxW > 0 && w > maxW) w = maxW;
    if (minW > 0 && w < minW) w = minW;
    if (maxH > 0 && h > maxH) h = maxH;
    if (minH > 0 && h < minH) h = minH;
    if ((w != FWidth || h != FHeight) && !CanResize(w, h)) {
        w = FWidth;
        h = FHeight;
    }
    if (l == FLeft && t == FTop && w == FWidth && h == FHeight) return;
    TRect old = BoundsRect();
    bool sized = w != FWidth || h != FHeight;
    DoSetBounds(l, t, w, h);
    if (FParent && Visible()) {
        // The parent paints its graphic children: both places need painting.
        if (!DynamicCast<TWinControl>(this)) {
            FParent->InvalidateRect(old);
            FParent->InvalidateRect(BoundsRect());
        }
    }
    UpdateAnchorRules();
    // A window control tells of its new size once its children are in place.
    if (sized && !DynamicCast<TWinControl>(this)) Resize();
    RequestAlign();
}

void TControl::UpdateBoundsRect(const TRect& r) { DoSetBounds(r.Left, r.Top, r.Width(), r.Height()); }

void TControl::Resize()
{
    if (OnResize) OnResize(this);
}

void TControl::RequestAlign()
{
    if (FParent && (FAlign != alNone || !(FAnchors == TAnchors{akLeft, akTop}))) FParent->Realign();
}

void TControl::UpdateAnchorRules()
{
    if (!FParent) return;
    TRect pc = FParent->ClientRect();
    FAnchorParentW = pc.Width();
    FAnchorParentH = pc.Height();
    FAnchorRules = Rect(FLeft, FTop, pc.Width() - (FLeft + FWidth), pc.Height() - (FTop + FHeight));
}

void TControl::ParentChangedBounds() { UpdateAnchorRules(); }

void TControl::SetAlign(TAlign v)
{
    if (v == FAlign) return;
    FAlign = v;
    if (FParent) FParent->Realign();
}
void TControl::SetAnchors(TAnchors v)
{
    FAnchors = v;
    UpdateAnchorRules();
}
void TControl::SetAutoSize(bool v)
{
    FAutoSize = v;
    if (v) SetBounds(FLeft, FTop, FWidth, FHeight);
}

bool TControl::Showing() const
{
    if (!FVisible) return false;
    if (auto* w = dynamic_cast<const TWinControl*>(this);
        w && (w->IsTopLevel() || (w->Window() && w->Window()->W && w->Window()->W->isWindow())))
        return w->Window() && w->Window()->W && w->Window()->W->isVisible();
    return FParent && FParent->Showing();
}

void TControl::SetVisible(bool v)
{
    if (v == FVisible) return;
    VisibleChanging();
    FVisible = v;
    Perform(CM_VISIBLECHANGED, WPARAM(v));
    RequestAlign();
}

void TControl::SetEnabled(bool v)
{
    if (v == FEnabled) return;
    FEnabled = v;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor v)
{
    if (v == FColor && !FParentColor) return;
    FColor = v;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}
void TControl::SetParentColor(bool v)
{
    if (v == FParentColor) return;
    FParentColor = v;
    if (v) Perform(CM_PARENTCOLORCHANGED);
}
void TControl::SetParentFont(bool v)
{
    if (v == FParentFont) return;
    FParentFont = v;
    if (v) Perform(CM_PARENTFONTCHANGED);
}
void TControl::SetCursor(TCursor v)
{
    if (v == FCursor) return;
    FCursor = v;
    Perform(CM_CURSORCHANGED);
}
void TControl::SetShowHint(bool v)
{
    FShowHint = v;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED);
}
void TControl::SetParentShowHint(bool v) { FParentShowHint = v; }

void TControl::Invalidate()
{
    if (FParent && FVisible) FParent->InvalidateRect(BoundsRect());
}
void TControl::Update()
{
    if (FParent) FParent->Update();
}
void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (FParent) FParent->SetChildZOrder(this, true);
}
void TControl::SendToBack()
{
    if (FParent) FParent->SetChildZOrder(this, false);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }
void TControl::SetMouseCapture(bool v)
{
    if (v == MouseCapture()) return;
    SetCaptureControl(v ? this : nullptr);
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParent) FParent->Realign();
}

// ---- mouse handlers

void TControl::SendCancelMode(TControl* sender)
{
    for (TControl* c = this; c; c = c->Parent())
        if (auto* f = DynamicCast<TCustomForm>(c)) {
            if (TWinControl* a = f->ActiveControl(); a && a != sender && a != this) a->Perform(CM_CANCELMODE, 0, LPARAM(sender));
            break;
        }
}

void TControl::DoMouseDown(TMessage& m, TMouseButton button, TShiftState extra)
{
    if (FControlStyle.Contains(csNoStdEvents)) return;
    TWMMouse mm(m);
    MouseDown(button, KeysToShiftState(mm.Keys()) + extra, mm.XPos(), mm.YPos());
}

void TControl::DoMouseUp(TMessage& m, TMouseButton button)
{
    if (FControlStyle.Contains(csNoStdEvents)) return;
    TWMMouse mm(m);
    MouseUp(button, KeysToShiftState(mm.Keys()), mm.XPos(), mm.YPos());
}

void TControl::WMLButtonDown(TMessage& m)
{
    SendCancelMode(this);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    FControlState.Include(csLButtonDown);
    if (FDragMode == dmAutomatic && FDragKind == dkDrag) {
        BeginDrag(false);
    }
    DoMouseDown(m, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& m)
{
    SendCancelMode(this);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) DblClick();
    FControlState.Include(csLButtonDown);
    DoMouseDown(m, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& m)
{
    TWeakRef<TControl> guard(this);
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    FControlState.Exclude(csLButtonDown);
    if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        TWMMouse mm(m);
        if (PtInRect(ClientRect(), mm.Pos())) Click();
    }
    if (guard) DoMouseUp(m, mbLeft);
}

void TControl::WMRButtonDown(TMessage& m)
{
    SendCancelMode(this);
    DoMouseDown(m, mbRight, {});
}
void TControl::WMRButtonUp(TMessage& m) { DoMouseUp(m, mbRight); }
void TControl::WMRButtonDblClk(TMessage& m) { DoMouseDown(m, mbRight, {ssDouble}); }
void TControl::WMMButtonDown(TMessage& m)
{
    SendCancelMode(this);
    DoMouseDown(m, mbMiddle, {});
}
void TControl::WMMButtonUp(TMessage& m) { DoMouseUp(m, mbMiddle); }
void TControl::WMMButtonDblClk(TMessage& m) { DoMouseDown(m, mbMiddle, {ssDouble}); }

void TControl::WMMouseMove(TMessage& m)
{
    if (FControlStyle.Contains(csNoStdEvents)) return;
    TWMMouse mm(m);
    MouseMove(KeysToShiftState(mm.Keys()), mm.XPos(), mm.YPos());
}

void TControl::WMMouseWheel(TMessage& m)
{
    TWMMouseWheel w(m);
    TShiftState shift = KeysToShiftState(w.Keys());
    if (DoMouseWheel(shift, w.WheelDelta(), Point(w.XPos(), w.YPos()))) {
        m.Result = 1;
        return;
    }
    // Not taken here: the parent may scroll.
    if (FParent) m.Result = FParent->Perform(WM_MOUSEWHEEL, m.WParam, m.LParam);
}

void TControl::CMMouseWheel(TMessage& m) { WMMouseWheel(m); }

bool TControl::DoMouseWheel(TShiftState shift, int delta, TPoint pos)
{
    bool handled = false;
    qzgui::Fire(OnMouseWheel, this, shift, delta, pos, handled);
    if (!handled) {
        if (delta < 0) handled = DoMouseWheelDown(shift, pos);
        else if (delta > 0) handled = DoMouseWheelUp(shift, pos);
    }
    return handled;
}
bool TControl::DoMouseWheelDown(TShiftState shift, TPoint pos)
{
    bool handled = false;
    qzgui::Fire(OnMouseWheelDown, this, shift, pos, handled);
    return handled;
}
bool TControl::DoMouseWheelUp(TShiftState shift, TPoint pos)
{
    bool handled = false;
    qzgui::Fire(OnMouseWheelUp, this, shift, pos, handled);
    return handled;
}

void TControl::DoContextPopup(TPoint pos, bool& handled)
{
    qzgui::Fire(OnContextPopup, this, pos, handled);
}

void TControl::WMContextMenu(TMessage& m)
{
    if (m.Result != 0) return;
    TWMContextMenu cm(m);
    TPoint pt = Point(cm.XPos(), cm.YPos());
    TPoint clientPt;
    if (pt.X == -1 && pt.Y == -1) {
        clientPt = pt;   // from the keyboard: the handlers place the menu
    } else {
        clientPt = ScreenToClient(pt);
        // Outside the client area (a border, a scroll bar): not this control's menu.
        if (!PtInRect(ClientRect(), clientPt)) {
            DefaultHandler(m);
            return;
        }
    }
    bool handled = false;
    DoContextPopup(clientPt, handled);
    m.Result = handled ? 1 : 0;
    if (handled) return;
    if (TComponent* menu = GetPopupMenu(); menu && PopupHandler) {
        if (pt.X == -1 && pt.Y == -1) pt = ClientToScreen(Point(0, 0));
        SendCancelMode(nullptr);
        if (PopupHandler(menu, this, pt)) {
            m.Result = 1;
            return;
        }
    }
    // Not taken: the default handling (a child window passes it to its parent).
    DefaultHandler(m);
}

void TControl::WMCancelMode(TMessage&)
{
    if (MouseCapture()) {
        SetMouseCapture(false);
        FControlState.Exclude(csLButtonDown);
        FControlState.Exclude(csClicked);
    }
}

void TControl::CMMouseEnter(TMessage& m)
{
    if (m.LParam == 0 || m.LParam == LPARAM(this)) {
        FMouseInClient = true;
        if (OnMouseEnter) OnMouseEnter(this);
    }
    if (FParent) FParent->Perform(CM_MOUSEENTER, 0, m.LParam ? m.LParam : LPARAM(this));
}

void TControl::CMMouseLeave(TMessage& m)
{
    if (m.LParam == 0 || m.LParam == LPARAM(this)) {
        FMouseInClient = false;
        if (HintCtl.Get() == this) HintMouseOver(nullptr);
        if (OnMouseLeave) OnMouseLeave(this);
    }
    if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, m.LParam ? m.LParam : LPARAM(this));
}

void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMParentColorChanged(TMessage& m)
{
    if (!FParentColor || !FParent) return;
    // The parent's colour, without dropping the parent link.
    FColor = FParent->Color();
    Perform(CM_COLORCHANGED);
    FParentColor = true;
}
void TControl::CMParentFontChanged(TMessage& m)
{
    if (!FParentFont || !FParent) return;
    FUpdatingFont = true;
    FFont->Assign(FParent->Font());
    FUpdatingFont = false;
    Perform(CM_FONTCHANGED);
}
void TControl::CMVisibleChanged(TMessage&)
{
    if (FParent) FParent->InvalidateRect(BoundsRect());
}
void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) { Invalidate(); }
void TControl::CMHitTest(TMessage& m)
{
    TWMMouse mm(m);
    m.Result = HitTest(mm.XPos(), mm.YPos()) ? HTCLIENT : HTNOWHERE;
}

void TControl::Click()
{
    // A handler of the control's own comes first; otherwise the linked action runs.
    if (!OnClick && FActionLink && FActionLink->Action()) {
        FActionLink->Execute(this);
        return;
    }
    qzgui::Fire(OnClick, this);
}

// ---- actions

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* a)
{
    if (!a) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) {
        FActionLink = std::make_unique<TBasicActionLink>(this);
        FActionLink->OnChange = [this](TObject*) {
            if (TBasicAction* act = Action()) ActionChange(act, false);
        };
    }
    FActionLink->SetAction(a);
    ActionChange(a, ComponentState().Contains(csLoading));
}

void TControl::ActionChange(TObject* sender, bool checkDefaults)
{
    auto* a = DynamicCast<TCustomAction>(sender);
    if (!a) return;
    if (!checkDefaults || Caption().empty()) SetCaption(a->Caption());
    if (!checkDefaults || FEnabled) SetEnabled(a->Enabled());
    if (!checkDefaults || FHint.empty()) SetHint(a->Hint());
    if (!checkDefaults || FVisible) SetVisible(a->Visible());
}

void TControl::InitiateAction()
{
    if (FActionLink) FActionLink->Update();
}
void TControl::DblClick()
{
    qzgui::Fire(OnDblClick, this);
}
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y)
{
    qzgui::Fire(OnMouseDown, this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y)
{
    if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y)
{
    qzgui::Fire(OnMouseUp, this, b, s, x, y);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    accept = false;
    if (OnDragOver) {
        accept = true;
        OnDragOver(this, source, x, y, state, accept);
    }
}
void TControl::DragDrop(TObject* source, int x, int y)
{
    qzgui::Fire(OnDragDrop, this, source, x, y);
}
void TControl::DoStartDrag(TDragObject*& obj)
{
    if (OnStartDrag) OnStartDrag(this, obj);
}
void TControl::DoEndDrag(TObject* target, int x, int y)
{
    qzgui::Fire(OnEndDrag, this, target, x, y);
}

// ---- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner)
    : TControl(owner), FBrush(std::make_unique<TBrush>()), FWindow(std::make_unique<TWinControlWindow>())
{
    FBrush->SetColor(FColor);
}

TWinControl* TWinControl::CreateParented(HWND parentWindow)
{
    auto* c = new TWinControl(nullptr);
    c->SetParentWindow(parentWindow);
    return c;
}

TWinControl::~TWinControl()
{
    // Leaving the parent while still whole, so it forgets this window everywhere.
    if (FParent) FParent->RemoveControl(this);
    // Children outlive this window only without their windows.
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (auto* w = DynamicCast<TWinControl>(c)) w->DestroyHandle();
        c->FParent = nullptr;
    }
    FControls.clear();
    FTabList.clear();
    if (TCustomForm* f = GetParentForm(this); f && f != this) f->DefocusControl(this, true);
    DestroyHandle();
}

void TWinControl::BeforeDestruction() { TControl::BeforeDestruction(); }

bool TWinControl::HandleAllocated() const { return FWindow && FWindow->W != nullptr; }

HWND TWinControl::Handle()
{
    HandleNeeded();
    return HandleOf(this);
}

QWidget* TWinControl::Widget()
{
    HandleNeeded();
    return FWindow->W;
}

void TWinControl::HandleNeeded()
{
    if (HandleAllocated()) return;
    if (FParent) FParent->HandleNeeded();
    if (!HandleAllocated()) CreateHandle();
}

void TWinControl::SetParentWindow(HWND w)
{
    if (FParent || w == FParentWindow) return;
    bool had = HandleAllocated();
    if (had) DestroyHandle();
    FParentWindow = w;
    if (had || w) HandleNeeded();
}

void TWinControl::CreateParams(TCreateParams& p)
{
    p.Caption = FText;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FParent == nullptr && FParentWindow == nullptr) p.Style = WS_POPUP;
    if (FVisible) p.Style |= WS_VISIBLE;
    if (!FEnabled) p.Style |= WS_DISABLED;
    if (FTabStop) p.Style |= WS_TABSTOP;
    p.X = FLeft;
    p.Y = FTop;
    p.Width = FWidth;
    p.Height = FHeight;
    p.WndParent = FParent ? FParent->Handle() : FParentWindow;
    p.WindowClassStyle = CS_VREDRAW | CS_HREDRAW | (FControlStyle.Contains(csDoubleClicks) ? CS_DBLCLKS : 0);
    p.WinClassName = ClassName();
}

void TWinControl::CreateHandle()
{
    if (HandleAllocated()) return;
    CreateWnd();
    if (!HandleAllocated()) return;
    UpdateWidgetGeometry();
    // Children get their windows along with this one.
    for (TControl* c : std::vector<TControl*>(FControls))
        if (auto* w = DynamicCast<TWinControl>(c)) w->HandleNeeded();
    UpdateShowing();
}

// The kind of window the parameters ask for.
static Qt::WindowFlags WindowFlagsFor(const TCreateParams& p, QWidget* parentWidget)
{
    Qt::WindowFlags flags = parentWidget && (p.Style & WS_CHILD) ? Qt::Widget : Qt::Window;
    if (!(p.Style & WS_CHILD)) {
        if (p.Style & WS_POPUP && !(p.Style & WS_CAPTION)) flags = Qt::Tool | Qt::FramelessWindowHint;
        if (p.ExStyle & WS_EX_TOOLWINDOW) flags |= Qt::Tool;
        if (p.ExStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
        // A window that never takes the activation: the window system keeps
        // its hands off it, as with the platform's drop-down popups.
        if (p.ExStyle & WS_EX_NOACTIVATE)
            flags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                    (flags & Qt::WindowStaysOnTopHint);
    }
    return flags;
}

QWidget* TWinControl::CreateWindowHandle(const TCreateParams& p, QWidget* parentWidget)
{
    QWidget* w = MakeOwnWidget(this, parentWidget, WindowFlagsFor(p, parentWidget));
    if (p.ExStyle & WS_EX_NOACTIVATE) w->setAttribute(Qt::WA_ShowWithoutActivating);
    return w;
}

void TWinControl::CreateWnd()
{
    InitGui();
    TCreateParams p;
    CreateParams(p);
    QWidget* parentWidget = nullptr;
    if (FParent) parentWidget = FParent->Widget();
    else if (TWinControl* pw = FindControl(FParentWindow)) parentWidget = pw->Widget();
    else if (TWinControl* owner = FindControl(p.WndParent)) parentWidget = owner->Widget()->window();   // an owned popup
    QWidget* w = CreateWindowHandle(p, parentWidget);
    if (!w) throw EOSError("Error creating window");
    // Qt's own controls made as popups of their own (a list or a calendar
    // that drops down) take the kind of window their parameters ask for.
    bool native = w->metaObject()->className() != QByteArray("QWidget");
    if (native && !FParent && (p.Style & WS_POPUP) && !(p.Style & WS_CHILD)) {
        w->setWindowFlags(WindowFlagsFor(p, parentWidget));
        if (p.ExStyle & WS_EX_NOACTIVATE) w->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    FWindow->Params = p;
    FWindow->Bars[SB_HORZ].Visible = p.Style & WS_HSCROLL;
    FWindow->Bars[SB_VERT].Visible = p.Style & WS_VSCROLL;
    // Qt's own controls keep their focus handling and painting: a filter sees their events.
    AttachWindow(this, FWindow.get(), w, w->metaObject()->className() != QByteArray("QWidget"));
    if (!p.Caption.empty() && w->isWindow()) w->setWindowTitle(QS(p.Caption));
    w->setEnabled(FEnabled);
    // The borders the window keeps for itself.
    UpdateNonClient();
    w->setCursor(QtCursor(FCursor));
    Perform(WM_CREATE);
    CreateWindowDone();
}

void TWinControl::UpdateNonClient()
{
    TRect old = FInsets;
    TRect wr = BoundsRect();
    TRect cr = wr;
    Perform(WM_NCCALCSIZE, 0, LPARAM(&cr));
    FInsets = Rect(cr.Left - wr.Left, cr.Top - wr.Top, wr.Right - cr.Right, wr.Bottom - cr.Bottom);
    if (FInsets.Left < 0 || FInsets.Top < 0 || FInsets.Right < 0 || FInsets.Bottom < 0) FInsets = TRect{};
    if (FInsets == old || !HandleAllocated()) return;
    // The client area moved or changed size: children follow, the window repaints.
    for (TControl* c : FControls)
        if (auto* w = DynamicCast<TWinControl>(c)) w->UpdateWidgetGeometry();
    TRect r = ClientRect();
    Perform(WM_SIZE, 0, MAKELPARAM(r.Width(), r.Height()));
    Realign();
    FWindow->W->update();
}

void TWinControl::DestroyHandle()
{
    if (!HandleAllocated()) return;
    FControlState.Include(csDestroyingHandle);
    for (TControl* c : FControls)
        if (auto* w = DynamicCast<TWinControl>(c)) w->DestroyHandle();
    DestroyWnd();
    FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWnd()
{
    if (!HandleAllocated()) return;
    if (FindControl(GetCapture()) == this) ReleaseCapture();
    SendMessage(HandleOf(this), WM_DESTROY, 0, 0);
    DetachWindow(FWindow.get());
}

void TWinControl::RecreateWnd()
{
    if (!HandleAllocated()) return;
    bool focused = Focused();
    DestroyHandle();
    HandleNeeded();
    if (focused) SetFocus();
}

void TWinControl::UpdateWidgetGeometry()
{
    if (!HandleAllocated()) return;
    QWidget* w = FWindow->W;
    int x = FLeft, y = FTop;
    if (FParent) {
        TRect in = FParent->NonClientInsets();
        x += in.Left;
        y += in.Top;
    }
    if (w->isWindow()) w->setGeometry(x, y, std::max(1, FWidth), std::max(1, FHeight));
    else w->setGeometry(x, y, FWidth, FHeight);
}

void TWinControl::UpdateShowing()
{
    if (!HandleAllocated()) return;
    QWidget* w = FWindow->W;
    if (w->isWindow()) return;   // top-level windows show through their form
    bool show = FVisible;
    if (show != !w->isHidden()) w->setVisible(show);
}

TRect TWinControl::ClientRect() const
{
    TRect r = Rect(0, 0, FWidth - FInsets.Left - FInsets.Right, FHeight - FInsets.Top - FInsets.Bottom);
    if (r.Right < 0) r.Right = 0;
    if (r.Bottom < 0) r.Bottom = 0;
    return r;
}

TPoint TWinControl::ClientOrigin() const
{
    if (FWindow && FWindow->W) {
        QPoint g = FWindow->W->mapToGlobal(QPoint(FInsets.Left, FInsets.Top));
        return TP(g);
    }
    TPoint p = FParent ? FParent->ClientOrigin() : TPoint{};
    return Point(p.X + FLeft + FInsets.Left, p.Y + FTop + FInsets.Top);
}

void TWinControl::SetBounds(int l, int t, int w, int h)
{
    int oldL = FLeft, oldT = FTop, oldW = FWidth, oldH = FHeight;
    TControl::SetBounds(l, t, w, h);
    UpdateWidgetGeometry();
    if (HandleAllocated() && (FLeft != oldL || FTop != oldT || FWidth != oldW || FHeight != oldH)) {
        // Watchers of windows (message filters) hear of every move and size.
        TWindowPos wp{HandleOf(this), nullptr, FLeft, FTop, FWidth, FHeight,
                      UINT((FLeft == oldL && FTop == oldT ? SWP_NOMOVE : 0) |
                           (FWidth == oldW && FHeight == oldH ? SWP_NOSIZE : 0) | SWP_NOZORDER)};
        SendMessage(HandleOf(this), WM_WINDOWPOSCHANGED, 0, LPARAM(&wp));
        if (FLeft != oldL || FTop != oldT) SendMessage(HandleOf(this), WM_MOVE, 0, MAKELPARAM(FLeft, FTop));
    }
    if (FWidth != oldW || FHeight != oldH) {
        TRect cr = ClientRect();
        Perform(WM_SIZE, 0, MAKELPARAM(cr.Width(), cr.Height()));
        Realign();
        Resize();
    }
}

void TWinControl::SetBorderWidth(int v)
{
    if (v == FBorderWidth) return;
    FBorderWidth = std::max(0, v);
    Realign();
    Invalidate();
}

// ---- children

void TWinControl::InsertControl(TControl* c)
{
    if (!c || ContainsControl(c)) return;
    c->FParent = this;
    FControls.push_back(c);
    if (auto* w = DynamicCast<TWinControl>(c)) {
        FTabList.push_back(w);
        if (HandleAllocated()) {
            if (w->HandleAllocated()) {
                // A window moving to a new parent gets a new one.
                w->DestroyHandle();
            }
            w->HandleNeeded();
        }
    } else if (c->Visible()) {
        InvalidateRect(c->BoundsRect());
    }
    c->UpdateAnchorRules();
    Perform(CM_CONTROLCHANGE, WPARAM(c), 1);
    if (c->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* c)
{
    auto it = std::find(FControls.begin(), FControls.end(), c);
    if (it == FControls.end()) return;
    Perform(CM_CONTROLCHANGE, WPARAM(c), 0);
    if (auto* w = DynamicCast<TWinControl>(c)) {
        if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(w, true);
        w->DestroyHandle();
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
    } else if (c->Visible()) {
        InvalidateRect(c->BoundsRect());
    }
    if (FWindow && FWindow->Hover == c) FWindow->Hover = nullptr;
    FControls.erase(std::find(FControls.begin(), FControls.end(), c));
    c->FParent = nullptr;
    if (c->Align() != alNone) Realign();
}

bool TWinControl::ContainsControl(TControl* c) const
{
    for (TControl* p = c; p; p = p->Parent())
        if (p == this) return p != c;
    return false;
}

int TWinControl::IndexOfControl(TControl* c) const
{
    auto it = std::find(FControls.begin(), FControls.end(), c);
    return it == FControls.end() ? -1 : int(it - FControls.begin());
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const
{
    // Topmost first: the last in the list is drawn last.
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!allowWinControls && DynamicCast<TWinControl>(c)) continue;
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
        if (!PtInRect(c->BoundsRect(), p)) continue;
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(p.X - c->Left(), p.Y - c->Top())) == 0) continue;
        return c;
    }
    return nullptr;
}

TWinControl* TWinControl::FindChildControl(const std::string& name) const
{
    for (TControl* c : FControls)
        if (auto* w = DynamicCast<TWinControl>(c); w && SameText(w->Name(), name)) return w;
    return nullptr;
}

void TWinControl::SetChildZOrder(TControl* c, bool top)
{
    auto it = std::find(FControls.begin(), FControls.end(), c);
    if (it == FControls.end()) return;
    FControls.erase(it);
    if (top) FControls.push_back(c);
    else FControls.insert(FControls.begin(), c);
    if (auto* w = DynamicCast<TWinControl>(c); w && w->HandleAllocated()) {
        if (top) w->FWindow->W->raise();
        else w->FWindow->W->lower();
    } else {
        InvalidateRect(c->BoundsRect());
    }
}

// ---- alignment

void TWinControl::DisableAlign() { ++FAlignLevel; }
void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FRealignPending) Realign();
}

void TWinControl::Realign()
{
    if (FAlignLevel > 0 || FAligning) {
        FRealignPending = true;
        return;
    }
    FRealignPending = false;
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& rect)
{
    FAligning = true;
    InflateRect(rect, -FBorderWidth, -FBorderWidth);
    TRect pc = ClientRect();
    // Anchored controls follow the parent's size.
    for (TControl* c : FControls) {
        if (c->Align() != alNone || c->FAnchorParentW < 0) continue;
        TAnchors a = c->Anchors();
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft)) w = pc.Width() - c->FAnchorRules.Right - l;
            else l = pc.Width() - c->FAnchorRules.Right - w;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop)) h = pc.Height() - c->FAnchorRules.Bottom - t;
            else t = pc.Height() - c->FAnchorRules.Bottom - h;
        }
        if (l != c->Left() || t != c->Top() || w != c->Width() || h != c->Height()) {
            TRect keep = c->FAnchorRules;
            int kw = c->FAnchorParentW, kh = c->FAnchorParentH;
            c->SetBounds(l, t, w, h);
            c->FAnchorRules = keep;
            c->FAnchorParentW = kw;
            c->FAnchorParentH = kh;
        }
    }
    // Then the aligned ones, in the platform's order: top, bottom, left, right, client.
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        // Within one kind, by position, so that the order set on screen stays.
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
            case alTop: return x->Top() < y->Top();
            case alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
            case alLeft: return x->Left() < y->Left();
            case alRight: return x->Left() + x->Width() > y->Left() + y->Width();
            default: return false;
            }
        });
        for (TControl* c : list) {
            int w = c->Width(), h = c->Height();
            switch (a) {
            case alTop:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), h);
                rect.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
                rect.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(rect.Left, rect.Top, w, rect.Height());
                rect.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
                rect.Right -= c->Width();
                break;
            case alClient:
                c->SetBounds(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
                break;
            default: break;
            }
        }
    }
    FAligning = false;
}

// ---- focus

int TWinControl::TabOrder() const
{
    if (!FParent) return -1;
    auto& l = FParent->FTabList;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : int(it - l.begin());
}

void TWinControl::SetTabOrder(int v)
{
    if (!FParent) return;
    auto& l = FParent->FTabList;
    auto it = std::find(l.begin(), l.end(), this);
    if (it == l.end()) return;
    l.erase(it);
    if (v < 0 || v > int(l.size())) v = int(l.size());
    l.insert(l.begin() + v, this);
}

void TWinControl::SetTabStop(bool v)
{
    if (v == FTabStop) return;
    FTabStop = v;
    Perform(CM_TABSTOPCHANGED);
}

bool TWinControl::CanFocus() const
{
    const TCustomForm* form = GetParentForm(const_cast<TWinControl*>(this));
    if (!form) return false;
    // The form itself may still be hidden: its controls can take the focus
    // once it shows.
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus()
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this) {
        form->FocusControl(this);
        return;
    }
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

bool TWinControl::Focused() const
{
    if (!HandleAllocated()) return false;
    QWidget* f = QApplication::focusWidget();
    return f && ControlOfWidget(f) == this;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const
{
    for (TWinControl* c : FTabList) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* cur, bool fwd, bool checkTabStop, bool checkParent) const
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[size_t(i)] == cur) start = i;
    if (start < 0) start = fwd ? n - 1 : 0;
    int i = start;
    for (int k = 0; k < n; ++k) {
        i = fwd ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[size_t(i)];
        if (c == cur) break;
        if (!c->CanFocus()) continue;
        if (checkTabStop && !c->TabStop()) continue;
        if (checkParent && c->Parent() != this) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* cur, bool fwd, bool checkTabStop)
{
    if (TWinControl* c = FindNextControl(cur, fwd, checkTabStop, !checkTabStop)) c->SetFocus();
}

void TWinControl::SelectFirst()
{
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    TWinControl* c = FindNextControl(nullptr, true, true, false);
    if (!c) c = FindNextControl(nullptr, true, false, false);
    if (c) c->SetFocus();
}

// ---- appearance

void TWinControl::SetCtl3D(bool v)
{
    if (v == FCtl3D) return;
    FCtl3D = v;
    FParentCtl3D = false;
    Perform(CM_CTL3DCHANGED);
}
void TWinControl::SetParentCtl3D(bool v)
{
    FParentCtl3D = v;
    if (v && FParent) FCtl3D = FParent->Ctl3D();
}
void TWinControl::SetParentBackground(bool v)
{
    if (v) FControlStyle.Include(csParentBackground);
    else FControlStyle.Exclude(csParentBackground);
    Invalidate();
}
void TWinControl::SetEnabled(bool v)
{
    TControl::SetEnabled(v);
    if (HandleAllocated()) FWindow->W->setEnabled(v);
}

// ---- painting

void TWinControl::Invalidate()
{
    if (HandleAllocated()) FWindow->W->update();
}
void TWinControl::InvalidateRect(const TRect& r)
{
    if (HandleAllocated()) ::InvalidateRect(HandleOf(this), &r, 1);
}
void TWinControl::Update()
{
    if (HandleAllocated() && FWindow->W->isVisible()) FWindow->W->repaint();
}
void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::PaintTo(TCanvas* canvas, int x, int y)
{
    if (canvas) PaintTo(canvas->Handle(), x, y);
}

void TWinControl::PaintTo(HDC dc, int x, int y)
{
    if (!ValidDC(dc)) return;
    FControlState.Include(csPaintCopy);
    int level = SaveDC(dc);
    TPoint org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.X + x, org.Y + y, nullptr);
    IntersectClipRect(dc, 0, 0, FWidth, FHeight);
    if (FInsets.Left || FInsets.Top || FInsets.Right || FInsets.Bottom) Perform(WM_NCPAINT, WPARAM(dc), 0);
    SetViewportOrgEx(dc, org.X + x + FInsets.Left, org.Y + y + FInsets.Top, nullptr);
    TRect cr = ClientRect();
    IntersectClipRect(dc, 0, 0, cr.Width(), cr.Height());
    int inner = SaveDC(dc);
    Perform(WM_ERASEBKGND, WPARAM(dc), 0);
    RestoreDC(dc, inner);
    inner = SaveDC(dc);
    Perform(WM_PAINT, WPARAM(dc), 0);
    RestoreDC(dc, inner);
    for (TControl* c : FControls)
        if (auto* w = DynamicCast<TWinControl>(c); w && w->Visible()) w->PaintTo(dc, w->Left(), w->Top());
    RestoreDC(dc, level);
    FControlState.Exclude(csPaintCopy);
}

void TWinControl::ScrollBy(int dx, int dy)
{
    DisableAlign();
    for (TControl* c : FControls) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    EnableAlign();
    Invalidate();
}

void TWinControl::SetWindowRegion(const TRegion* region)
{
    if (!HandleAllocated()) HandleNeeded();
    if (region) {
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, region->Handle(), nullptr, RGN_COPY);
        SetWindowRgn(Handle(), copy, 1);
    } else {
        SetWindowRgn(Handle(), nullptr, 1);
    }
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc, TControl* first)
{
    bool started = first == nullptr;
    for (TControl* c : FControls) {
        if (!started) {
            if (c != first) continue;
            started = true;
        }
        if (DynamicCast<TWinControl>(c) || !c->Visible()) continue;
        TRect b = c->BoundsRect();
        if (!RectVisible(dc, b)) continue;
        int level = SaveDC(dc);
        TPoint org;
        GetViewportOrgEx(dc, &org);
        // The child draws in its own coordinates, clipped to itself.
        IntersectClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
        SetViewportOrgEx(dc, org.X + b.Left, org.Y + b.Top, nullptr);
        c->Perform(WM_PAINT, WPARAM(dc), 0);
        RestoreDC(dc, level);
    }
}

void TWinControl::PaintHandler(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!ValidDC(dc)) return;
    int level = SaveDC(dc);
    try {
        PaintWindow(dc);
    } catch (...) {
        RestoreDC(dc, level);
        throw;
    }
    RestoreDC(dc, level);
    PaintControls(dc, nullptr);
}

void TWinControl::WMPaint(TMessage& m)
{
    PaintHandler(m);
    m.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!ValidDC(dc)) return;
    if (FControlStyle.Contains(csParentBackground) && FParent) {
        HBRUSH b = CreateSolidBrush(ColorToRGB(FParent->Color()));
        ::FillRect(dc, ClientRect(), b);
        DeleteObject(b);
    } else {
        HBRUSH b = CreateSolidBrush(ColorToRGB(FColor));
        ::FillRect(dc, ClientRect(), b);
        DeleteObject(b);
    }
    m.Result = 1;
}

void TWinControl::WMNCCalcSize(TMessage& m)
{
    DefaultHandler(m);
}

void TWinControl::WMNCPaint(TMessage& m)
{
    DefaultHandler(m);
}

// ---- messages

void TWinControl::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        // A child scroll bar's notice goes back to the bar (CN_HSCROLL, CN_VSCROLL).
        if (m.LParam) {
            TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam));
            if (c && c != this && c->Parent() == this) {
                m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                return;
            }
        }
        break;
    case WM_CONTEXTMENU:
        // A graphic child under the point has its say first.
        if (m.Result == 0 && !(GET_X_LPARAM(m.LParam) == -1 && GET_Y_LPARAM(m.LParam) == -1)) {
            TPoint p = ScreenToClient(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
            if (TControl* g = ControlAtPos(p, false)) {
                m.Result = g->Perform(WM_CONTEXTMENU, 0, m.LParam);
                if (m.Result != 0) return;
            }
        }
        break;
    case WM_SETFOCUS:
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: {
        // Mouse messages over a graphic child (or held by one) go to it.
        TWMMouse mm(m);
        TControl* target = nullptr;
        TControl* cap = GetCaptureControl();
        if (cap && cap != this && cap->Parent() == this) target = cap;
        else if (!cap) target = ControlAtPos(mm.Pos(), false);
        if (m.Msg == WM_MOUSEMOVE && FWindow) {
            TControl* hover = cap && cap != this ? FWindow->Hover : target;
            if (hover != FWindow->Hover) {
                TControl* old = FWindow->Hover;
                FWindow->Hover = hover;
                if (old) old->Perform(CM_MOUSELEAVE);
                if (hover) hover->Perform(CM_MOUSEENTER);
            }
        }
        if (m.Msg == WM_MOUSEMOVE) HintMouseOver(target ? target : this);
        else HideHint();
        if (target) {
            TMessage cm = m;
            cm.LParam = MAKELPARAM(mm.XPos() - target->Left(), mm.YPos() - target->Top());
            target->Perform(cm.Msg, cm.WParam, cm.LParam);
            m.Result = cm.Result;
            return;
        }
        break;
    }
    default:
        break;
    }
    TControl::WndProc(m);
}

void TWinControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_NCPAINT: WMNCPaint(m); return;
    case WM_NCCALCSIZE: WMNCCalcSize(m); return;
    case WM_SETFOCUS: WMSetFocus(m); return;
    case WM_KILLFOCUS: WMKillFocus(m); return;
    case WM_KEYDOWN: WMKeyDown(m); return;
    case WM_KEYUP: WMKeyUp(m); return;
    case WM_CHAR: WMChar(m); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(m); return;
    case WM_SYSKEYUP: WMSysKeyUp(m); return;
    case WM_SIZE: WMSize(m); return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: CNKeyDown(m); return;
    case CN_KEYUP: CNKeyUp(m); return;
    case CN_CHAR: CNChar(m); return;
    case CM_ENTER: CMEnter(m); return;
    case CM_EXIT: CMExit(m); return;
    case CM_COLORCHANGED: CMColorChanged2(m); return;
    case CM_FONTCHANGED:
        TControl::CMFontChanged(m);
        NotifyControls(CM_PARENTFONTCHANGED);
        return;
    case CM_VISIBLECHANGED: CMShowingChanged(m); return;
    case CM_CTL3DCHANGED: CMCtl3DChanged(m); return;
    default: break;
    }
    TControl::Dispatch(m);
}

void TWinControl::DefaultHandler(TMessage& m)
{
    if (FWindow) FWindow->PassedToDefault = true;
    switch (m.Msg) {
    case WM_NCCALCSIZE: {
        // The borders the window's style asks for.
        auto* r = reinterpret_cast<TRect*>(m.LParam);
        if (!r) break;
        const TCreateParams& p = FWindow->Params;
        int b = 0;
        if ((p.Style & WS_CHILD) || (p.Style & WS_CAPTION) != WS_CAPTION) {
            if (p.Style & WS_BORDER) b += 1;
            if (p.ExStyle & WS_EX_CLIENTEDGE) b += 2;
            if (p.ExStyle & WS_EX_STATICEDGE) b += 1;
            if ((p.Style & WS_CHILD) && (p.Style & WS_THICKFRAME)) b += 3;
            else if ((p.Style & WS_CHILD) && (p.Style & WS_DLGFRAME)) b += 3;
        }
        InflateRect(*r, -b, -b);
        ScrollBarsNCCalc(this, *r);
        break;
    }
    case WM_NCPAINT: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (!ValidDC(dc)) break;
        const TCreateParams& p = FWindow->Params;
        TRect r = Rect(0, 0, FWidth, FHeight);
        if (p.Style & WS_BORDER) {
            HBRUSH b = CreateSolidBrush(ColorToRGB(clWindowFrame));
            ::FrameRect(dc, r, b);
            DeleteObject(b);
            InflateRect(r, -1, -1);
        }
        if (p.ExStyle & WS_EX_CLIENTEDGE) ::DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        if (p.ExStyle & WS_EX_STATICEDGE) ::DrawEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if ((p.Style & WS_CHILD) && (p.Style & (WS_THICKFRAME | WS_DLGFRAME))) {
            ::DrawEdge(dc, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
            InflateRect(r, -1, -1);
        }
        ScrollBarsPaint(this, dc, r);
        break;
    }
    case WM_SETCURSOR: {
        // The cursor of the control under the mouse, unless the screen sets one for all.
        if (!FWindow->W) break;
        TPoint p = ScreenToClient(Mouse->CursorPos());
        TControl* c = ControlAtPos(p, false);
        TCursor cur = c ? c->Cursor() : FCursor;
        if (Screen && Screen->Cursor() != crDefault) cur = Screen->Cursor();
        FWindow->W->setCursor(QtCursor(cur));
        m.Result = 1;
        break;
    }
    case WM_ACTIVATE:
        if (auto* f = DynamicCast<TCustomForm>(this)) f->Activated(LOWORD(m.WParam) != WA_INACTIVE);
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (m.WParam == HTVSCROLL || m.WParam == HTHSCROLL) {
            TPoint sp = Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            QPoint wp = FWindow->W->mapFromGlobal(QP(sp));
            ScrollBarPress(this, int(m.WParam), TP(wp));
            break;
        }
        // A press taken as one on the caption moves the window, as borderless windows ask.
        if (m.Msg == WM_NCLBUTTONDOWN && m.WParam == HTCAPTION && FWindow->W && FWindow->W->isWindow() && FWindow->W->windowHandle())
            FWindow->W->windowHandle()->startSystemMove();
        break;
    case WM_SYSCOMMAND:
        switch (m.WParam & 0xFFF0) {
        case SC_MOVE:
            if (FWindow->W && FWindow->W->window()->windowHandle()) FWindow->W->window()->windowHandle()->startSystemMove();
            break;
        case SC_CLOSE: PostMessage(HandleOf(this), WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: if (FWindow->W) FWindow->W->window()->showMinimized(); break;
        case SC_MAXIMIZE: if (FWindow->W) FWindow->W->window()->showMaximized(); break;
        case SC_RESTORE: if (FWindow->W) FWindow->W->window()->showNormal(); break;
        default: break;
        }
        break;
    case WM_SETREDRAW:
        // Painting is held while redraw is off and done once when it is back on.
        if (!FWindow->W) break;
        if (m.WParam) {
            if (FWindow->RedrawLocks > 0 && --FWindow->RedrawLocks == 0) {
                FWindow->W->setUpdatesEnabled(true);
                FWindow->W->update();
            }
        } else if (FWindow->RedrawLocks++ == 0) {
            FWindow->W->setUpdatesEnabled(false);
        }
        break;
    case WM_PRINTCLIENT: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (!ValidDC(dc)) break;
        int level = SaveDC(dc);
        Perform(WM_ERASEBKGND, m.WParam, 0);
        RestoreDC(dc, level);
        level = SaveDC(dc);
        Perform(WM_PAINT, m.WParam, 0);
        RestoreDC(dc, level);
        break;
    }
    case WM_CLOSE:
        break;
    case WM_CONTEXTMENU:
        // A child window passes the request up to its parent.
        if (FParent && m.Result == 0) m.Result = FParent->Perform(WM_CONTEXTMENU, WPARAM(HandleOf(this)), m.LParam);
        break;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR: {
        // Offered to each child until one takes it (accelerators also to
        // labels and speed buttons, which have no window).
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if ((m.Msg == CM_DIALOGKEY && !DynamicCast<TWinControl>(c)) || !c->Visible()) continue;
            if (c->Perform(m.Msg, m.WParam, m.LParam) != 0) {
                m.Result = 1;
                return;
            }
        }
        break;
    }
    case CM_CURSORCHANGED:
        if (FWindow->W) FWindow->W->setCursor(QtCursor(FCursor));
        break;
    case WM_COMMAND:
        // A child's notification goes back to the child (CN_COMMAND), which handles its own.
        if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam)); c && c != this)
            m.Result = c->Perform(CN_COMMAND, m.WParam, m.LParam);
        break;
    case WM_SYSCOLORCHANGE:
    case CM_SYSCOLORCHANGE: {
        TMessage n{CM_SYSCOLORCHANGE, m.WParam, m.LParam, 0};
        Broadcast(n);
        Invalidate();
        break;
    }
    case WM_SETTINGCHANGE:
    case CM_WININICHANGE:
    case WM_THEMECHANGED: {
        TMessage n{m.Msg == WM_THEMECHANGED ? WM_THEMECHANGED : CM_WININICHANGE, m.WParam, m.LParam, 0};
        Broadcast(n);
        Invalidate();
        break;
    }
    case WM_SETTEXT: {
        TControl::DefaultHandler(m);
        if (FWindow->W && FWindow->W->isWindow()) FWindow->W->setWindowTitle(QS(FText));
        return;
    }
    default:
        TControl::DefaultHandler(m);
        return;
    }
}

void TWinControl::Broadcast(TMessage& m)
{
    for (TControl* c : std::vector<TControl*>(FControls)) {
        c->WndProc(m);
        if (m.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT msg)
{
    TMessage m{msg, 0, 0, 0};
    Broadcast(m);
}

void TWinControl::SetParent(TWinControl* p)
{
    if (p == FParent) return;
    TControl::SetParent(p);
    if (!p && HandleAllocated() && !IsTopLevel()) DestroyHandle();
}

void TWinControl::WMSize(TMessage& m)
{
    Realign();
    DefaultHandler(m);
}

void TWinControl::CMColorChanged2(TMessage& m)
{
    FBrush->SetColor(FColor);
    TControl::CMColorChanged(m);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMShowingChanged(TMessage& m)
{
    UpdateShowing();
    if (!FVisible) {
        if (TCustomForm* f = GetParentForm(this); f && f != this) f->DefocusControl(this, false);
    }
    TControl::CMVisibleChanged(m);
}

void TWinControl::CMCtl3DChanged(TMessage&)
{
    NotifyControls(CM_PARENTCTL3DCHANGED);
    RecreateWnd();
}

// ---- keys and focus

void TWinControl::WMSetFocus(TMessage& m)
{
    if (TCustomForm* f = GetParentForm(this)) f->SetFocusedControl(this);
    DefaultHandler(m);
}

void TWinControl::WMKillFocus(TMessage& m) { DefaultHandler(m); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::DoEnter()
{
    qzgui::Fire(OnEnter, this);
}
void TWinControl::DoExit()
{
    qzgui::Fire(OnExit, this);
}

bool TWinControl::DoKey(TMessage& m, bool (TWinControl::*viaForm)(TMessage&),
                        void (TWinControl::*handler)(WORD&, TShiftState))
{
    TWMKey k(m);
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && (form->*viaForm)(m)) return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        WORD key = k.CharCode();
        (this->*handler)(key, KeyDataToShiftState(k.KeyData()));
        m.WParam = key;
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyDown(TMessage& m)
{
    return DoKey(m, &TWinControl::DoKeyDown, &TWinControl::KeyDown);
}

bool TWinControl::DoKeyUp(TMessage& m)
{
    return DoKey(m, &TWinControl::DoKeyUp, &TWinControl::KeyUp);
}

bool TWinControl::DoKeyPress(TMessage& m)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(m)) return true;
    if (!FControlStyle.Contains(csNoStdEvents)) {
        char16_t unit = char16_t(m.WParam);
        if (unit < 0x80) {
            char ch = char(unit);
            KeyPress(ch);
            m.WParam = uint8_t(ch);
            if (ch == 0) return true;
        } else if (unit < 0xD800 || unit > 0xDFFF) {
            std::string gbk = Utf8ToGbk(Utf16ToUtf8(std::u16string(1, unit)));
            if (gbk.size() == 2) {
                char lead = gbk[0], trail = gbk[1];
                KeyPress(lead);
                if (lead == 0) return true;
                KeyPress(trail);
                if (trail == 0) return true;
                if (lead != gbk[0] || trail != gbk[1]) {
                    // A handler put another character in its place.
                    std::u16string u = Utf8ToUtf16(GbkToUtf8(std::string{lead, trail}));
                    if (u.size() == 1) m.WParam = u[0];
                }
            }
        }
    }
    return false;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift)
{
    qzgui::Fire(OnKeyDown, this, key, shift);
}
void TWinControl::KeyUp(WORD& key, TShiftState shift)
{
    qzgui::Fire(OnKeyUp, this, key, shift);
}
void TWinControl::KeyPress(char& key)
{
    qzgui::Fire(OnKeyPress, this, key);
}

void TWinControl::WMKeyDown(TMessage& m)
{
    if (!DoKeyDown(m)) DefaultHandler(m);
    else if (FWindow) FWindow->PassedToDefault = false;
}
void TWinControl::WMSysKeyDown(TMessage& m) { WMKeyDown(m); }
void TWinControl::WMKeyUp(TMessage& m)
{
    if (!DoKeyUp(m)) DefaultHandler(m);
    else if (FWindow) FWindow->PassedToDefault = false;
}
void TWinControl::WMSysKeyUp(TMessage& m) { WMKeyUp(m); }
void TWinControl::WMChar(TMessage& m)
{
    if (!DoKeyPress(m)) DefaultHandler(m);
    else if (FWindow) FWindow->PassedToDefault = false;
}

void TWinControl::CNKeyDown(TMessage& m)
{
    m.Result = 1;
    // Short-cuts of the form's menu and actions come before the control.
    if (TCustomForm* f = GetParentForm(this); f && f->IsShortCut(m)) return;
    if (Perform(CM_CHILDKEY, m.WParam, LPARAM(this)) != 0) return;
    LRESULT mask = 0;
    switch (int(m.WParam)) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, m.WParam, 0) == 0 && (Perform(WM_GETDLGCODE, 0, LPARAM(&m)) & mask) == 0) {
        if (TCustomForm* f = GetParentForm(this); f && f->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0) return;
    }
    m.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& m) { m.Result = 0; }
void TWinControl::CNChar(TMessage& m)
{
    // A character with Alt, or one the control does not take, may be a caption's accelerator.
    m.Result = 0;
    const bool alt = (m.LParam & (LPARAM(1) << 29)) != 0;
    if (m.WParam < 0x20 || (alt && m.WParam == ' ')) return;
    if (alt || (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0)
        if (TCustomForm* f = GetParentForm(this); f && f->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) m.Result = 1;
}

// ---- canvases and self-painting controls ----------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* c)
{
    if (c == FControl) return;
    FreeHandle();
    FControl = c;
}

void TControlCanvas::FreeHandle()
{
    if (FHandle && FOwnsDC && ValidDC(FHandle)) ReleaseDC(FHandle->Window, FHandle);
    FHandle = nullptr;
    FOwnsDC = false;
}

void TControlCanvas::CreateHandle()
{
    // Outside painting: a context of the control's window (graphic controls:
    // their parent's, moved to the control).
    if (!FControl) return;
    TWinControl* w = DynamicCast<TWinControl>(FControl);
    TWinControl* host = w ? w : FControl->Parent();
    if (!host) return;
    HDC dc = GetDC(host->Handle());
    if (!dc) return;
    if (!w) {
        SetViewportOrgEx(dc, FControl->Left(), FControl->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, FControl->Width(), FControl->Height());
    }
    FHandle = dc;
    FOwnsDC = true;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->SetControl(this);
}
TCustomControl::~TCustomControl() { FCanvas.reset(); }

void TCustomControl::PaintWindow(HDC dc)
{
    FCanvas->Lock();
    FCanvas->FreeHandle();
    FCanvas->SetHandle(dc);
    FCanvas->Font()->Assign(FFont.get());
    FCanvas->Brush()->SetColor(FColor);
    try {
        FControlState.Include(csCustomPaint);
        Paint();
    } catch (...) {
        FControlState.Exclude(csCustomPaint);
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
        throw;
    }
    FControlState.Exclude(csCustomPaint);
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(std::make_unique<TControlCanvas>())
{
    FCanvas->SetControl(this);
}
TGraphicControl::~TGraphicControl() { FCanvas.reset(); }

void TGraphicControl::WMPaint(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!ValidDC(dc)) return;
    FCanvas->Lock();
    FCanvas->FreeHandle();
    FCanvas->SetHandle(dc);
    FCanvas->Font()->Assign(FFont.get());
    FCanvas->Brush()->SetColor(FColor);
    try {
        Paint();
    } catch (...) {
        FCanvas->SetHandle(nullptr);
        FCanvas->Unlock();
        throw;
    }
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
}

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner)
{
    FControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 105, 105);
}

void TPaintBox::Paint()
{
    if (OnPaint) {
        OnPaint(this);
        return;
    }
}

// ---- the mouse ------------------------------------------------------------------------------

TPoint TMouse::CursorPos() const
{
    TPoint p;
    GetCursorPos(&p);
    return p;
}
void TMouse::SetCursorPos(TPoint p) { ::SetCursorPos(p.X, p.Y); }
int TMouse::WheelScrollLines() const
{
    int n = QCoreApplication::instance() ? QApplication::wheelScrollLines() : 3;
    return n > 0 ? n : 3;
}

// ---- lookups -------------------------------------------------------------------------------

TCustomForm* GetParentForm(TControl* c)
{
    while (c && c->Parent()) c = c->Parent();
    return DynamicCast<TCustomForm>(c);
}

// The widget under a screen point, looking through windows that take no
// input (a drag image under the cursor). Where the window system cannot see
// through them itself, the top-level windows are searched from the latest
// shown, which is how they stack.
QWidget* qzgui::WidgetAtPoint(QPoint p)
{
    auto passes = [](QWidget* w) { return w->window()->windowFlags() & Qt::WindowTransparentForInput; };
    QWidget* w = QApplication::widgetAt(p);
    if (w && !passes(w)) return w;
    bool covered = false;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && passes(top) && top->geometry().contains(p)) covered = true;
    if (!covered) return w;
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (auto it = tops.crbegin(); it != tops.crend(); ++it) {
        QWidget* top = *it;
        if (!top->isVisible() || passes(top) || !top->geometry().contains(p)) continue;
        QPoint local = top->mapFromGlobal(p);
        if (!top->mask().isEmpty() && !top->mask().contains(local)) continue;
        QWidget* child = top->childAt(local);
        return child ? child : top;
    }
    return nullptr;
}

TWinControl* FindVCLWindow(TPoint p)
{
    QWidget* w = WidgetAtPoint(QP(p));
    return w ? ControlOfWidget(w) : nullptr;
}

TControl* FindDragTarget(TPoint p, bool allowDisabled)
{
    TWinControl* w = FindVCLWindow(p);
    if (!w) return nullptr;
    TControl* c = w->ControlAtPos(w->ScreenToClient(p), allowDisabled);
    return c ? c : w;
}

// ---- later release ---------------------------------------------------------------------------

namespace {
std::vector<TWeakRef<TObject>>& Doomed() { static auto* d = new std::vector<TWeakRef<TObject>>(); return *d; }
}

void ReleaseLater(TObject* obj)
{
    if (!obj) return;
    Doomed().push_back(obj);
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] {
        auto list = std::move(Doomed());
        Doomed().clear();
        for (auto& r : list)
            if (TObject* o = r.Get()) FreeObject(o);
    }, Qt::QueuedConnection);
}

// ---- hidden windows and system changes ----------------------------------------------------

namespace {
class THiddenWindow : public TWinControl {
public:
    explicit THiddenWindow(std::function<void(TMessage&)> proc) : TWinControl(nullptr), FProc(std::move(proc))
    {
        FVisible = false;
    }
    void WndProc(TMessage& m) override
    {
        if (FProc) FProc(m);
        else TWinControl::WndProc(m);
    }
    bool IsTopLevel() const override { return true; }
private:
    std::function<void(TMessage&)> FProc;
};
std::vector<THiddenWindow*>& Hidden() { static auto* h = new std::vector<THiddenWindow*>(); return *h; }
}

HWND AllocateHWnd(std::function<void(TMessage&)> proc)
{
    InitGui();
    auto* w = new THiddenWindow(std::move(proc));
    w->HandleNeeded();
    Hidden().push_back(w);
    return w->Handle();
}

void DeallocateHWnd(HWND wnd)
{
    auto& h = Hidden();
    for (auto it = h.begin(); it != h.end(); ++it)
        if ((*it)->HandleAllocated() && (*it)->Handle() == wnd) {
            THiddenWindow* w = *it;
            h.erase(it);
            delete w;
            return;
        }
}

void BroadcastSystemChange(UINT msg, WPARAM wParam, LPARAM lParam)
{
    std::vector<HWND> targets;
    if (Screen)
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (Screen->Forms(i)->HandleAllocated()) targets.push_back(Screen->Forms(i)->Handle());
    for (THiddenWindow* w : Hidden())
        if (w->HandleAllocated()) targets.push_back(w->Handle());
    for (HWND h : targets) SendMessage(h, msg, wParam, lParam);   // a window freed meanwhile answers nothing
}

// ---- THintWindow ----------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner)
{
    FVisible = false;
    FParentColor = false;
    FParentFont = false;
    FColor = Application ? Application->HintColor : clInfoBk;
    if (Screen) FFont->Assign(Screen->HintFont());
    FFont->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p)
{
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP | WS_BORDER;
    p.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint)
{
    TBitmap probe(1, 1);
    probe.Canvas()->Font()->Assign(FFont.get());
    TRect r = Rect(0, 0, std::max(1, maxWidth), 0);
    probe.Canvas()->DrawText(hint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    // The border and a margin round the text.
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

void THintWindow::ActivateHint(const TRect& r, const std::string& hint)
{
    FActive = true;
    SetText(hint);
    TRect b = r;
    // Kept on the screen.
    if (Screen) {
        TRect area = Screen->DesktopRect();
        if (b.Right > area.Right) OffsetRect(b, area.Right - b.Right, 0);
        if (b.Bottom > area.Bottom) OffsetRect(b, 0, area.Bottom - b.Bottom);
        if (b.Left < area.Left) OffsetRect(b, area.Left - b.Left, 0);
        if (b.Top < area.Top) OffsetRect(b, 0, area.Top - b.Top);
    }
    SetBoundsRect(b);
    FVisible = true;
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    FActive = false;
    FVisible = false;
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void THintWindow::Paint()
{
    TRect r = ClientRect();
    Canvas()->Brush()->SetColor(FColor);
    Canvas()->FillRect(r);
    r.Left += 2;
    r.Top += 1;
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->SetColor(FFont->Color());
    Canvas()->DrawText(GetText(), r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void THintWindow::NCPaint(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (!ValidDC(dc)) return;
    HBRUSH b = CreateSolidBrush(ColorToRGB(clWindowFrame));
    FrameRect(dc, Rect(0, 0, Width(), Height()), b);
    DeleteObject(b);
}
