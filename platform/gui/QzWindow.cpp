// The widget behind a TWinControl and the translation of Qt's events into
// the messages controls receive; the flat window routines.
#include "QzGuiPrivate.h"
#include "Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

using namespace qzgui;

namespace qzgui {
uintptr_t RegisterWindow(TWinControl* c, QWidget* w);
void UnregisterWindow(uintptr_t id, QWidget* w);
bool HandleEvent(TWinControl* c, QWidget* w, QEvent* e);
void PaintWidget(TWinControl* c, QWidget* w, QPaintEvent* e);
}
void KillWindowTimers(HWND wnd);

namespace {
bool BypassFilter = false;   // an event the layer itself hands to a native control
HWND CaptureWnd = nullptr;
TWeakRef<TControl> CaptureCtl;
HWND LastFocus = nullptr;

WPARAM MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m)
{
    WPARAM k = 0;
    if (b & Qt::LeftButton) k |= MK_LBUTTON;
    if (b & Qt::RightButton) k |= MK_RBUTTON;
    if (b & Qt::MiddleButton) k |= MK_MBUTTON;
    if (m & Qt::ShiftModifier) k |= MK_SHIFT;
    if (m & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

TRect ClientInWidget(TWinControl* c)
{
    TRect in = c->NonClientInsets();
    return Rect(in.Left, in.Top, c->Width() - in.Right, c->Height() - in.Bottom);
}
}

// ---- the widget ----------------------------------------------------------------------------

class QzWidget : public QWidget {
public:
    QzWidget(TWinControl* c, QWidget* parent, Qt::WindowFlags f) : QWidget(parent, f), Ctrl(c)
    {
        setAttribute(Qt::WA_InputMethodEnabled);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
        setAutoFillBackground(false);
    }
    TWinControl* Ctrl;

protected:
    bool event(QEvent* e) override
    {
        if (Ctrl && e->type() != QEvent::Paint && HandleEvent(Ctrl, this, e)) return true;
        return QWidget::event(e);
    }
    void paintEvent(QPaintEvent* e) override
    {
        if (Ctrl) PaintWidget(Ctrl, this, e);
    }
    QVariant inputMethodQuery(Qt::InputMethodQuery q) const override
    {
        if (q == Qt::ImEnabled) return true;
        if (q == Qt::ImCursorRectangle) {
            TPoint p;
            if (GetCaretPos(&p)) return QRect(p.X, p.Y, 1, 16);
        }
        return QWidget::inputMethodQuery(q);
    }
};

// Sees the events of a wrapped native widget before it does.
class QzNativeFilter : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* w = qobject_cast<QWidget*>(o);
        TWinControl* c = w ? ControlOfWidget(w) : nullptr;
        if (!c || e->type() == QEvent::Paint || BypassFilter) return false;
        return HandleEvent(c, w, e);
    }
};

namespace qzgui {

QWidget* MakeOwnWidget(TWinControl* c, QWidget* parent, Qt::WindowFlags f) { return new QzWidget(c, parent, f); }

void AttachWindow(TWinControl* c, TWinControlWindow* win, QWidget* w, bool native)
{
    win->W = w;
    win->Native = native;
    win->Id = RegisterWindow(c, w);
    if (native) {
        static QzNativeFilter filter;
        w->installEventFilter(&filter);
    }
}

void DetachWindow(TWinControlWindow* win)
{
    if (!win || !win->W) return;
    HWND h = reinterpret_cast<HWND>(win->Id);
    if (CaptureWnd == h) ReleaseCapture();
    if (LastFocus == h) LastFocus = nullptr;
    KillWindowTimers(h);
    // The caret goes with its window.
    if (CaretWindow() == h) DestroyCaret();
    UnregisterWindow(win->Id, win->W);
    if (auto* own = dynamic_cast<QzWidget*>(win->W)) own->Ctrl = nullptr;
    QWidget* w = win->W;
    win->W = nullptr;
    win->Id = 0;
    w->hide();
    delete w;
}

QImage QzGrabWidget(QWidget* w, const QRect& r)
{
    return w->grab(r).toImage().convertToFormat(QImage::Format_RGB32);
}

QCursor QtCursor(TCursor c)
{
    if (Screen && c > 0) {
        if (HCURSOR h = Screen->Cursors(c)) return h->Cursor;
    }
    switch (c) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass:
    case crSQLWait: return QCursor(Qt::WaitCursor);
    case crDrag:
    case crMultiDrag: return QCursor(Qt::DragMoveCursor);
    case crNoDrop:
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

// ---- painting ---------------------------------------------------------------------------------

void PaintWidget(TWinControl* c, QWidget* w, QPaintEvent* e)
{
    TWeakRef<TWinControl> guard(c);
    QPainter painter(w);
    HDC dc = NewDC();
    dc->Device = w;
    dc->Painter = &painter;
    dc->OwnsPainter = false;
    dc->Size = w->size();
    dc->BaseClip = e->region();
    dc->Window = HandleOf(c);
    TRect in = c->NonClientInsets();
    try {
        if (in.Left || in.Top || in.Right || in.Bottom) {
            TMessage nc{WM_NCPAINT, WPARAM(dc), 0, 0};
            Deliver(c, nc, TMessageFilterKind::CallWndProc);
        }
        if (guard) {
            QPoint org(in.Left, in.Top);
            QSize cs(std::max(0, w->width() - in.Left - in.Right), std::max(0, w->height() - in.Top - in.Bottom));
            dc->St = HDC__::TDCState{};
            dc->Saved.clear();
            dc->Org = org;
            dc->Size = cs;
            dc->BaseClip = e->region().translated(-org) & QRegion(QRect(QPoint(0, 0), cs));
            dc->Dirty = true;
            TMessage erase{WM_ERASEBKGND, WPARAM(dc), 0, 0};
            Deliver(c, erase, TMessageFilterKind::CallWndProc);
            if (guard) {
                dc->St = HDC__::TDCState{};
                dc->Dirty = true;
                TMessage paint{WM_PAINT, WPARAM(dc), 0, 0};
                Deliver(c, paint, TMessageFilterKind::CallWndProc);
            }
            if (guard) {
                painter.resetTransform();
                painter.setClipRegion(e->region());
                DrawCaret(c, painter, org);
            }
        }
    } catch (...) {
        if (Application) Application->HandleException(guard.Get());
    }
    DeleteDC(dc);
}

// ---- events -----------------------------------------------------------------------------------

static bool MouseEvent(TWinControl* c, QWidget* w, QMouseEvent* me)
{
    QPoint gp = me->globalPosition().toPoint();
    NoteCursorPos(gp);
    QPoint wp = me->position().toPoint();
    if (w != c->Widget()) wp = c->Widget()->mapFromGlobal(gp);
    UINT msg = 0;
    Qt::MouseButton b = me->button();
    const bool dbl = me->type() == QEvent::MouseButtonDblClick;
    const bool press = me->type() == QEvent::MouseButtonPress || dbl;
    const bool release = me->type() == QEvent::MouseButtonRelease;
    int vk = b == Qt::LeftButton ? VK_LBUTTON : b == Qt::RightButton ? VK_RBUTTON : b == Qt::MiddleButton ? VK_MBUTTON : 0;
    if (vk && (press || release)) SetKeyDown(vk, press);
    const bool wantsDbl = c->Window()->Params.WindowClassStyle & CS_DBLCLKS;
    if (press) {
        if (b == Qt::LeftButton) msg = dbl && wantsDbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        else if (b == Qt::RightButton) msg = dbl && wantsDbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
        else if (b == Qt::MiddleButton) msg = dbl && wantsDbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
    } else if (release) {
        if (b == Qt::LeftButton) msg = WM_LBUTTONUP;
        else if (b == Qt::RightButton) msg = WM_RBUTTONUP;
        else if (b == Qt::MiddleButton) msg = WM_MBUTTONUP;
    } else {
        msg = WM_MOUSEMOVE;
    }
    if (!msg) return !c->Window()->Native;
    if (ScrollBarMouseEvent(msg, TP(gp))) return true;
    if (DragMouseEvent(msg, TP(gp))) return true;

    TWinControl* target = c;
    if (TWinControl* cap = FindControl(CaptureWnd)) target = cap;
    WPARAM keys = MouseKeys(me->buttons(), me->modifiers());
    TMessage m{msg, keys, 0, 0};
    TRect client = ClientInWidget(target);
    QPoint tw = target == c ? wp : target->Widget()->mapFromGlobal(gp);
    if (!CaptureWnd && !PtInRect(client, TP(tw))) {
        // Outside the client area: the non-client messages, in screen coordinates.
        static const std::map<UINT, UINT> nc{{WM_MOUSEMOVE, WM_NCMOUSEMOVE}, {WM_LBUTTONDOWN, WM_NCLBUTTONDOWN},
                                             {WM_LBUTTONUP, WM_NCLBUTTONUP}, {WM_LBUTTONDBLCLK, WM_NCLBUTTONDBLCLK},
                                             {WM_RBUTTONDOWN, WM_NCRBUTTONDOWN}, {WM_RBUTTONUP, WM_NCRBUTTONUP}};
        auto it = nc.find(msg);
        if (it == nc.end()) return !c->Window()->Native;
        m.Msg = it->second;
        int bar = ScrollBarHitTest(target, TP(tw));
        m.WParam = bar ? bar : HTBORDER;
        m.LParam = MAKELPARAM(gp.x(), gp.y());
    } else {
        TPoint cp = target->ScreenToClient(TP(gp));
        m.LParam = MAKELPARAM(cp.X, cp.Y);
        if (msg == WM_MOUSEMOVE) {
            TMessage sc{WM_SETCURSOR, WPARAM(HandleOf(target)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 0};
            Deliver(target, sc, TMessageFilterKind::CallWndProc);
        }
    }
    TWeakRef<TWinControl> guard(target);
    Deliver(target, m, TMessageFilterKind::Mouse);
    if (guard && msg == WM_MOUSEMOVE) DragTick(TP(gp), nullptr, me->buttons() & Qt::LeftButton);
    // The platform asks for the context menu when the right button is released.
    if (guard && msg == WM_RBUTTONUP && m.Msg == WM_RBUTTONUP) {
        TMessage ctx{WM_CONTEXTMENU, WPARAM(HandleOf(target)), MAKELPARAM(gp.x(), gp.y()), 0};
        Deliver(target, ctx, TMessageFilterKind::CallWndProc);
    }
    if (!guard) return true;
    return !(target->Window()->Native && target->Window()->PassedToDefault);
}

static bool KeyEvent(TWinControl* c, QKeyEvent* ke)
{
    const bool down = ke->type() == QEvent::KeyPress;
    int vk = QtKeyToVK(ke->key(), ke->modifiers());
    if (vk) SetKeyDown(vk, down);
    const bool alt = (ke->modifiers() & Qt::AltModifier) && !(ke->modifiers() & Qt::ControlModifier);
    LPARAM keyData = 1 | (alt ? (1 << 29) : 0) | (ke->isAutoRepeat() ? (1 << 30) : 0) | (down ? 0 : (1u << 31));
    std::u16string text;
    if (down) {
        for (QChar ch : ke->text())
            if (ch.unicode() != 0x7F) text.push_back(char16_t(ch.unicode()));
        if (vk == VK_BACK && text.empty()) text = u"\b";
    }
    UINT msg;
    if (alt || vk == VK_F10) msg = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    else msg = down ? WM_KEYDOWN : WM_KEYUP;
    std::u16string through;
    TWeakRef<TWinControl> guard(c);
    bool taken = false;
    if (!vk) {
        // A character without a key of ours (typed text): only the characters.
        if (!down) return !c->Window()->Native;
        for (char16_t ch : text) {
            if (!guard) break;
            TMessage cm{WM_CHAR, ch, keyData, 0};
            if (RunMessageFilters(TMessageFilterKind::GetMessage, HandleOf(c), cm)) continue;
            Deliver(c, cm, TMessageFilterKind::CallWndProc);
            if (guard && c->Window() && c->Window()->PassedToDefault) through.push_back(char16_t(cm.WParam));
        }
        taken = through.empty();
    } else {
        taken = DeliverKey(c, msg, WPARAM(vk), keyData, text, &through);
    }
    if (!guard || !c->Window() || !c->Window()->Native) return true;
    if (taken) return true;
    if (down && through != text) {
        // A handler changed or dropped characters: the native control gets the key as they left it.
        QKeyEvent changed(QEvent::KeyPress, ke->key(), ke->modifiers(),
                          QString::fromUtf16(through.data(), qsizetype(through.size())), ke->isAutoRepeat());
        BypassFilter = true;
        QCoreApplication::sendEvent(c->Window()->W, &changed);
        BypassFilter = false;
        return true;
    }
    return false;
}

bool HandleEvent(TWinControl* c, QWidget* w, QEvent* e)
{
    TWinControlWindow* win = c->Window();
    if (!win || !win->W) return false;
    try {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            if (!c->Enabled()) return true;
            return MouseEvent(c, w, static_cast<QMouseEvent*>(e));
        case QEvent::Wheel: {
            auto* we = static_cast<QWheelEvent*>(e);
            int delta = we->angleDelta().y();
            if (delta == 0) return true;
            QPoint gp = we->globalPosition().toPoint();
            // The wheel goes to the control with the focus, as the platform sends it.
            TWinControl* target = c;
            if (QWidget* fw = QApplication::focusWidget())
                if (TWinControl* fc = ControlOfWidget(fw); fc && fw->window() == w->window()) target = fc;
            TMessage m{WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeys(we->buttons(), we->modifiers())), delta),
                       MAKELPARAM(gp.x(), gp.y()), 0};
            Deliver(target, m, TMessageFilterKind::Mouse);
            return true;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return KeyEvent(c, static_cast<QKeyEvent*>(e));
        case QEvent::ShortcutOverride:
            // Keys reach the control first; nothing in Qt takes them as shortcuts.
            e->accept();
            return true;
        case QEvent::InputMethod: {
            auto* ie = static_cast<QInputMethodEvent*>(e);
            TWeakRef<TWinControl> guard(c);
            // Text being composed opens a composition; committing or dropping it ends it.
            const bool composing = !ie->preeditString().isEmpty();
            if (composing != win->Composing) {
                win->Composing = composing;
                TMessage cm{composing ? WM_IME_STARTCOMPOSITION : WM_IME_ENDCOMPOSITION, 0, 0, 0};
                Deliver(c, cm, TMessageFilterKind::CallWndProc);
                if (!guard || !c->Window()) return true;
            }
            QString through;
            const QString commit = ie->commitString();
            for (QChar ch : commit) {
                if (!guard) return true;
                TMessage m{WM_CHAR, ch.unicode(), 1, 0};
                if (RunMessageFilters(TMessageFilterKind::GetMessage, HandleOf(c), m)) continue;
                Deliver(c, m, TMessageFilterKind::CallWndProc);
                if (guard && c->Window() && c->Window()->PassedToDefault) through += QChar(char16_t(m.WParam));
            }
            e->accept();
            if (!guard || !c->Window() || !c->Window()->Native) return true;
            if (through != commit) {
                // The native control gets the text as the handlers left it.
                QInputMethodEvent changed(ie->preeditString(), ie->attributes());
                changed.setCommitString(through, ie->replacementStart(), ie->replacementLength());
                BypassFilter = true;
                QCoreApplication::sendEvent(c->Window()->W, &changed);
                BypassFilter = false;
                return true;
            }
            return false;
        }
        case QEvent::FocusIn: {
            HWND prev = LastFocus;
            LastFocus = HandleOf(c);
            TMessage m{WM_SETFOCUS, WPARAM(prev), 0, 0};
            Deliver(c, m, TMessageFilterKind::CallWndProc);
            return !win->Native;
        }
        case QEvent::FocusOut: {
            if (LastFocus == HandleOf(c)) LastFocus = nullptr;
            TMessage m{WM_KILLFOCUS, 0, 0, 0};
            Deliver(c, m, TMessageFilterKind::CallWndProc);
            return !win->Native;
        }
        case QEvent::Enter: {
            win->MouseInside = true;
            TMessage m{CM_MOUSEENTER, 0, 0, 0};
            Deliver(c, m, TMessageFilterKind::CallWndProc);
            return false;
        }
        case QEvent::Leave: {
            win->MouseInside = false;
            TWeakRef<TWinControl> guard(c);
            if (TControl* h = win->Hover) {
                win->Hover = nullptr;
                h->Perform(CM_MOUSELEAVE, 0, 0);
            }
            if (!guard) return true;
            TMessage m{CM_MOUSELEAVE, 0, 0, 0};
            Deliver(c, m, TMessageFilterKind::CallWndProc);
            if (guard && c->Window() && c->Window()->TrackLeave) {
                c->Window()->TrackLeave = false;
                TMessage ml{WM_MOUSELEAVE, 0, 0, 0};
                Deliver(c, ml, TMessageFilterKind::CallWndProc);
            }
            return false;
        }
        case QEvent::Resize:
        case QEvent::Move:
            if (c->IsTopLevel() && w == win->W && w->isWindow() && !w->isHidden()) {
                QRect g = w->geometry();
                if (g.x() != c->Left() || g.y() != c->Top() || g.width() != c->Width() || g.height() != c->Height())
                    c->SetBounds(g.x(), g.y(), g.width(), g.height());
            }
            return false;
        case QEvent::Show:
        case QEvent::Hide:
            if (w == win->W && w->isWindow()) {
                TMessage m{WM_SHOWWINDOW, WPARAM(e->type() == QEvent::Show), 0, 0};
                Deliver(c, m, TMessageFilterKind::CallWndProc);
            }
            return false;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate: {
            // A form placed inside another window hears that window's activation: not its own.
            if (w != win->W || !c->IsTopLevel() || !w->isWindow()) return false;
            bool active = e->type() == QEvent::WindowActivate;
            TMessage nc{WM_NCACTIVATE, WPARAM(active), 0, 0};
            Deliver(c, nc, TMessageFilterKind::CallWndProc);
            TMessage m{WM_ACTIVATE, WPARAM(active ? WA_ACTIVE : WA_INACTIVE), 0, 0};
            Deliver(c, m, TMessageFilterKind::CallWndProc);
            return false;
        }
        case QEvent::Close: {
            if (w != win->W) return false;
            // The window system's close button asks the form; the form decides.
            e->ignore();
            TMessage m{WM_CLOSE, 0, 0, 0};
            Deliver(c, m, TMessageFilterKind::CallWndProc);
            return true;
        }
        default:
            return false;
        }
    } catch (...) {
        if (Application) Application->HandleException(c);
        return true;
    }
}

} // namespace qzgui

// ---- capture ---------------------------------------------------------------------------------

HWND GetCapture() { return FindControl(CaptureWnd) ? CaptureWnd : nullptr; }

HWND SetCapture(HWND wnd)
{
    HWND old = GetCapture();
    if (old == wnd) return old;
    if (QWidget* w = FindControl(old) && FindControl(old)->Window() ? FindControl(old)->Window()->W : nullptr)
        if (QWidget::mouseGrabber() == w) w->releaseMouse();
    CaptureWnd = nullptr;
    if (old) SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(wnd));
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window() || !c->Window()->W) return old;
    CaptureWnd = wnd;
    if (c->Window()->W->isVisible()) c->Window()->W->grabMouse();
    return old;
}

BOOL ReleaseCapture()
{
    HWND old = GetCapture();
    CaptureCtl = nullptr;
    if (!old) {
        CaptureWnd = nullptr;
        return 1;
    }
    if (QWidget* w = FindControl(old)->Window()->W)
        if (QWidget::mouseGrabber() == w) w->releaseMouse();
    CaptureWnd = nullptr;
    SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return 1;
}

TControl* GetCaptureControl()
{
    TWinControl* w = FindControl(GetCapture());
    if (!w) return nullptr;
    if (TControl* c = CaptureCtl.Get(); c && c->Parent() == w) return c;
    return w;
}

TWinControl* GetCaptureControlWindow() { return FindControl(GetCapture()); }

void SetCaptureControl(TControl* c)
{
    ReleaseCapture();
    CaptureCtl = nullptr;
    if (!c) return;
    if (auto* w = DynamicCast<TWinControl>(c)) {
        SetCapture(w->Handle());
        return;
    }
    if (c->Parent()) {
        SetCapture(c->Parent()->Handle());
        CaptureCtl = c;
    }
}

// ---- the flat window routines ------------------------------------------------------------------

static QWidget* Wgt(HWND h)
{
    TWinControl* c = FindControl(h);
    return c && c->Window() ? c->Window()->W : nullptr;
}

BOOL IsWindow(HWND wnd) { return Wgt(wnd) != nullptr; }
BOOL IsWindowVisible(HWND wnd)
{
    QWidget* w = Wgt(wnd);
    return w && w->isVisible();
}
BOOL IsWindowEnabled(HWND wnd)
{
    QWidget* w = Wgt(wnd);
    return w && w->isEnabled();
}
BOOL EnableWindow(HWND wnd, BOOL enable)
{
    QWidget* w = Wgt(wnd);
    if (!w) return 0;
    BOOL wasDisabled = !w->isEnabled();
    w->setEnabled(enable);
    SendMessage(wnd, WM_ENABLE, WPARAM(enable ? 1 : 0), 0);
    return wasDisabled;
}
BOOL IsChild(HWND parent, HWND wnd)
{
    QWidget* p = Wgt(parent);
    QWidget* w = Wgt(wnd);
    if (!p || !w || p == w) return 0;
    for (QWidget* x = w->parentWidget(); x; x = x->parentWidget()) {
        if (x == p) return 1;
        if (x->isWindow()) break;
    }
    return 0;
}
HWND GetParent(HWND wnd)
{
    QWidget* w = Wgt(wnd);
    if (!w) return nullptr;
    QWidget* p = w->parentWidget();
    TWinControl* pc = p ? ControlOfWidget(p) : nullptr;
    return HandleOf(pc);
}
HWND SetParent(HWND wnd, HWND newParent)
{
    QWidget* w = Wgt(wnd);
    if (!w) return nullptr;
    HWND old = GetParent(wnd);
    QWidget* np = Wgt(newParent);
    bool visible = w->isVisible();
    QPoint global = w->mapToGlobal(QPoint(0, 0));
    w->setParent(np, np ? Qt::Widget : (w->windowFlags() | Qt::Window));
    if (!np) w->move(global);
    if (visible) w->show();
    return old;
}

BOOL ShowWindow(HWND wnd, int cmd)
{
    QWidget* w = Wgt(wnd);
    if (!w) return 0;
    BOOL was = w->isVisible();
    switch (cmd) {
    case SW_HIDE: w->hide(); break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
        w->setAttribute(Qt::WA_ShowWithoutActivating);
        w->show();
        break;
    case SW_SHOWMINIMIZED: w->showMinimized(); break;
    case SW_SHOWMAXIMIZED: w->showMaximized(); break;
    case SW_RESTORE: w->showNormal(); break;
    default:
        w->show();
        if (w->isWindow()) w->activateWindow();
        break;
    }
    SendMessage(wnd, WM_SHOWWINDOW, WPARAM(cmd != SW_HIDE), 0);
    return was;
}

BOOL SetWindowPos(HWND wnd, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    TWinControl* c = FindControl(wnd);
    if (!c) return 0;
    QWidget* w = c->Window()->W;
    TWindowPos wp{wnd, after, x, y, cx, cy, flags};
    SendMessage(wnd, WM_WINDOWPOSCHANGING, 0, LPARAM(&wp));
    if (w->isWindow() && (after == HWND_TOPMOST || after == HWND_NOTOPMOST)) {
        bool top = after == HWND_TOPMOST;
        if (bool(w->windowFlags() & Qt::WindowStaysOnTopHint) != top) {
            bool vis = w->isVisible();
            w->setWindowFlag(Qt::WindowStaysOnTopHint, top);
            if (vis) w->show();
        }
    }
    bool reported = false;   // SetBounds tells of a move or size itself
    if (!(wp.flags & SWP_NOMOVE) || !(wp.flags & SWP_NOSIZE)) {
        int nx = (wp.flags & SWP_NOMOVE) ? c->Left() : wp.x;
        int ny = (wp.flags & SWP_NOMOVE) ? c->Top() : wp.y;
        int nw = (wp.flags & SWP_NOSIZE) ? c->Width() : wp.cx;
        int nh = (wp.flags & SWP_NOSIZE) ? c->Height() : wp.cy;
        TRect before = c->BoundsRect();
        c->SetBounds(nx, ny, nw, nh);
        reported = !(c->BoundsRect() == before);
    }
    if (!(wp.flags & SWP_NOZORDER) && after == HWND_TOP) w->raise();
    if (!(wp.flags & SWP_NOZORDER) && after == HWND_BOTTOM) w->lower();
    if (wp.flags & SWP_SHOWWINDOW) {
        if (wp.flags & SWP_NOACTIVATE) w->setAttribute(Qt::WA_ShowWithoutActivating);
        w->show();
    }
    if (wp.flags & SWP_HIDEWINDOW) w->hide();
    if (!reported) SendMessage(wnd, WM_WINDOWPOSCHANGED, 0, LPARAM(&wp));
    return 1;
}

BOOL MoveWindow(HWND wnd, int x, int y, int w, int h, BOOL)
{
    TWinControl* c = FindControl(wnd);
    if (!c) return 0;
    c->SetBounds(x, y, w, h);
    return 1;
}

BOOL GetWindowRect(HWND wnd, TRect* r)
{
    QWidget* w = Wgt(wnd);
    if (!w || !r) return 0;
    QPoint g = w->mapToGlobal(QPoint(0, 0));
    *r = Bounds(g.x(), g.y(), w->width(), w->height());
    return 1;
}
BOOL GetClientRect(HWND wnd, TRect* r)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !r) return 0;
    *r = c->ClientRect();
    return 1;
}
BOOL ClientToScreen(HWND wnd, TPoint* p)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !p) return 0;
    *p = c->ClientToScreen(*p);
    return 1;
}
BOOL ScreenToClient(HWND wnd, TPoint* p)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !p) return 0;
    *p = c->ScreenToClient(*p);
    return 1;
}
int MapWindowPoints(HWND from, HWND to, TPoint* pts, int count)
{
    TWinControl* f = FindControl(from);
    TWinControl* t = FindControl(to);
    TPoint of = f ? f->ClientOrigin() : TPoint{};
    TPoint ot = t ? t->ClientOrigin() : TPoint{};
    int dx = of.X - ot.X, dy = of.Y - ot.Y;
    for (int i = 0; i < count; ++i) {
        pts[i].X += dx;
        pts[i].Y += dy;
    }
    return int(MAKELPARAM(dx, dy));
}
HWND WindowFromPoint(TPoint p)
{
    QWidget* w = WidgetAtPoint(QP(p));
    return HandleOf(w ? ControlOfWidget(w) : nullptr);
}
HWND GetFocus()
{
    QWidget* w = QApplication::focusWidget();
    return HandleOf(w ? ControlOfWidget(w) : nullptr);
}
HWND SetFocus(HWND wnd)
{
    HWND old = GetFocus();
    QWidget* w = Wgt(wnd);
    if (!w) return nullptr;
    if (QWidget* top = w->window(); top && !top->isActiveWindow() && top->isVisible()) {
        top->activateWindow();
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        QApplication::setActiveWindow(top);
        QT_WARNING_POP
    }
    w->setFocus(Qt::OtherFocusReason);
    return old;
}
HWND GetActiveWindow()
{
    QWidget* w = QApplication::activeWindow();
    return HandleOf(w ? ControlOfWidget(w) : nullptr);
}
HWND SetActiveWindow(HWND wnd)
{
    HWND old = GetActiveWindow();
    if (QWidget* w = Wgt(wnd)) {
        w->activateWindow();
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        if (w->isVisible()) QApplication::setActiveWindow(w->window());
        QT_WARNING_POP
    }
    return old;
}
HWND GetForegroundWindow() { return GetActiveWindow(); }
BOOL SetForegroundWindow(HWND wnd)
{
    if (!Wgt(wnd)) return 0;
    SetActiveWindow(wnd);
    Wgt(wnd)->raise();
    return 1;
}

static QRect ClientToWidget(TWinControl* c, const QRect& r)
{
    TRect in = c->NonClientInsets();
    return r.translated(in.Left, in.Top);
}

BOOL InvalidateRect(HWND wnd, const TRect* r, BOOL)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window()->W) return 0;
    if (c->Window()->RedrawLocks > 0) return 1;
    if (r) c->Window()->W->update(ClientToWidget(c, QR(*r)));
    else c->Window()->W->update();
    return 1;
}
BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window()->W) return 0;
    if (!rgn) return InvalidateRect(wnd, nullptr, erase);
    if (!ValidRgn(rgn)) return 0;
    TRect in = c->NonClientInsets();
    c->Window()->W->update(rgn->R.translated(in.Left, in.Top));
    return 1;
}
// Qt keeps no separate update region to take from; validating is accepted and does nothing.
BOOL ValidateRect(HWND wnd, const TRect*) { return IsWindow(wnd); }
BOOL UpdateWindow(HWND wnd)
{
    QWidget* w = Wgt(wnd);
    if (!w) return 0;
    if (w->isVisible()) w->repaint();
    return 1;
}
BOOL RedrawWindow(HWND wnd, const TRect* r, HRGN rgn, UINT flags)
{
    TWinControl* c = FindControl(wnd);
    if (!c) return 0;
    if (flags & (RDW_INVALIDATE | RDW_FRAME)) {
        if (rgn) InvalidateRgn(wnd, rgn, 1);
        else if (r) InvalidateRect(wnd, r, 1);
        else c->Window()->W->update();
    }
    if (flags & RDW_UPDATENOW) UpdateWindow(wnd);
    return 1;
}
int ScrollWindowEx(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip, HRGN update,
                   TRect* updateRect, UINT flags)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window()->W) return ERROR;
    QRect area = scroll ? QR(*scroll) : QR(c->ClientRect());
    if (clip) area &= QR(*clip);
    // What scrolls in must be painted again: the widget repaints the area.
    QRegion exposed = QRegion(area) - QRegion(area.translated(dx, dy) & area);
    if (update && ValidRgn(update)) update->R = exposed;
    if (updateRect) *updateRect = TR(exposed.boundingRect());
    if (flags & SW_SCROLLCHILDREN) {
        for (int i = 0; i < c->ControlCount(); ++i) {
            TControl* ch = c->Controls(i);
            ch->SetBounds(ch->Left() + dx, ch->Top() + dy, ch->Width(), ch->Height());
        }
    }
    c->Window()->W->update(ClientToWidget(c, area));
    return exposed.isEmpty() ? NULLREGION : SIMPLEREGION;
}

int SetWindowRgn(HWND wnd, HRGN rgn, BOOL)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window()->W) return 0;
    QWidget* w = c->Window()->W;
    if (rgn && ValidRgn(rgn)) {
        c->Window()->Shape = rgn->R;
        w->setMask(rgn->R);
        DeleteObject(rgn);   // the window owns the region from now on
    } else {
        c->Window()->Shape.reset();
        w->clearMask();
    }
    // A window whose shape changes is asked for its borders again, as the
    // window system does; a control may answer that it keeps them meanwhile.
    c->UpdateNonClient();
    return 1;
}
int GetWindowRgn(HWND wnd, HRGN rgn)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !ValidRgn(rgn) || !c->Window()->Shape) return ERROR;
    rgn->R = *c->Window()->Shape;
    return rgn->R.rectCount() > 1 ? COMPLEXREGION : (rgn->R.isEmpty() ? NULLREGION : SIMPLEREGION);
}

DWORD GetWindowLong(HWND wnd, int index)
{
    TWinControl* c = FindControl(wnd);
    if (!c) return 0;
    if (index == GWL_STYLE) return c->Window()->Params.Style;
    if (index == GWL_EXSTYLE) return c->Window()->Params.ExStyle;
    return 0;
}

BOOL TrackMouseEvent(TTrackMouseEvent* tme)
{
    if (!tme) return 0;
    TWinControl* c = FindControl(tme->hwndTrack);
    if (!c) return 0;
    if (tme->dwFlags & TME_CANCEL) {
        c->Window()->TrackLeave = false;
        return 1;
    }
    if (tme->dwFlags & TME_LEAVE) {
        if (!c->Window()->MouseInside && !c->Window()->W->underMouse()) {
            // Already outside: the notice comes at once, as the platform posts it.
            PostMessage(tme->hwndTrack, WM_MOUSELEAVE, 0, 0);
        } else {
            c->Window()->TrackLeave = true;
        }
    }
    return 1;
}

// A context for drawing on a window outside its painting: over a copy of
// what the window shows. GetDC(0) gives the screen's.
HDC GetDC(HWND wnd)
{
    if (!wnd) return ScreenCanvas()->Handle();
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window()->W) return nullptr;
    HDC dc = NewDC();
    QSize sz = c->Window()->W->size();
    auto* img = new QImage(sz.isEmpty() ? QSize(1, 1) : sz, QImage::Format_RGB32);
    img->fill(QCol(c->Color()));
    dc->Image = img;
    dc->OwnsImage = true;
    dc->Window = wnd;
    TRect in = c->NonClientInsets();
    dc->Org = QPoint(in.Left, in.Top);
    dc->Size = QSize(std::max(1, sz.width() - in.Left - in.Right), std::max(1, sz.height() - in.Top - in.Bottom));
    return dc;
}
int ReleaseDC(HWND wnd, HDC dc)
{
    if (!ValidDC(dc) || dc->IsScreen) return 1;
    DeleteDC(dc);
    return 1;
}
