// The dispatcher: windows as Qt widgets, Qt's events turned into messages,
// the queue of posted messages, message filters, timers, the caret, the
// keyboard state and the flat window routines.
#include "QzGuiPrivate.h"
#include "Forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <deque>
#include <map>

using namespace qzgui;

// ---- window registry ----------------------------------------------------------------

namespace {
std::map<uintptr_t, TWinControl*>& Windows() { static auto* m = new std::map<uintptr_t, TWinControl*>(); return *m; }
std::map<const QWidget*, TWinControl*>& WidgetMap() { static auto* m = new std::map<const QWidget*, TWinControl*>(); return *m; }
uintptr_t NextWindowId = 0x10000;
}

namespace qzgui {
uintptr_t RegisterWindow(TWinControl* c, QWidget* w)
{
    uintptr_t id = NextWindowId;
    NextWindowId += 4;
    Windows()[id] = c;
    WidgetMap()[w] = c;
    return id;
}
void UnregisterWindow(uintptr_t id, QWidget* w)
{
    Windows().erase(id);
    WidgetMap().erase(w);
}
HWND HandleOf(TWinControl* c)
{
    return c && c->Window() ? reinterpret_cast<HWND>(c->Window()->Id) : nullptr;
}
TWinControl* ControlOfWidget(QWidget* w)
{
    while (w) {
        auto it = WidgetMap().find(w);
        if (it != WidgetMap().end()) return it->second;
        w = w->parentWidget();
    }
    return nullptr;
}
}

TWinControl* FindControl(HWND wnd)
{
    auto it = Windows().find(reinterpret_cast<uintptr_t>(wnd));
    return it == Windows().end() ? nullptr : it->second;
}

// ---- filters -------------------------------------------------------------------------

namespace {
struct TFilterEntry {
    int Id;
    TMessageFilterKind Kind;
    TMessageFilter Filter;
};
std::vector<TFilterEntry>& Filters() { static auto* f = new std::vector<TFilterEntry>(); return *f; }
int NextFilterId = 1;
}

int AddMessageFilter(TMessageFilterKind kind, TMessageFilter filter)
{
    Filters().push_back({NextFilterId, kind, std::move(filter)});
    return NextFilterId++;
}

void RemoveMessageFilter(int id)
{
    auto& f = Filters();
    f.erase(std::remove_if(f.begin(), f.end(), [&](const TFilterEntry& e) { return e.Id == id; }), f.end());
}

bool RunMessageFilters(TMessageFilterKind kind, HWND target, TMessage& m)
{
    // The newest filter runs first; a copy, as a filter may remove itself.
    auto copy = Filters();
    for (auto it = copy.rbegin(); it != copy.rend(); ++it)
        if (it->Kind == kind && it->Filter(target, m)) return true;
    return false;
}

LRESULT qzgui::Deliver(TWinControl* c, TMessage& m, TMessageFilterKind filter)
{
    if (!c) return 0;
    TWeakRef<TWinControl> guard(c);
    try {
        if (RunMessageFilters(filter, HandleOf(c), m)) return m.Result;
        if (!guard) return 0;
        if (c->Window()) c->Window()->PassedToDefault = false;
        if (c->WindowProc) c->WindowProc(m);
        else c->WndProc(m);
    } catch (...) {
        if (Application) Application->HandleException(guard.Get());
    }
    return m.Result;
}

// ---- keyboard state ------------------------------------------------------------------

namespace {
uint8_t KeyStates[256] = {};
}

void qzgui::SetKeyDown(int vk, bool down)
{
    if (vk <= 0 || vk > 255) return;
    if (down) {
        if (!(KeyStates[vk] & 0x80)) KeyStates[vk] ^= 1;   // toggles on each press
        KeyStates[vk] |= 0x80;
    } else {
        KeyStates[vk] &= ~0x80;
    }
}

int16_t GetKeyState(int vk)
{
    if (vk <= 0 || vk > 255) return 0;
    bool down = KeyStates[vk] & 0x80;
    if (QCoreApplication::instance()) {
        Qt::KeyboardModifiers mods = QGuiApplication::keyboardModifiers();
        Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
        switch (vk) {
        case VK_SHIFT: down = down || (mods & Qt::ShiftModifier); break;
        case VK_CONTROL: down = down || (mods & Qt::ControlModifier); break;
        case VK_MENU: down = down || (mods & Qt::AltModifier); break;
        case VK_LBUTTON: down = buttons & Qt::LeftButton; break;
        case VK_RBUTTON: down = buttons & Qt::RightButton; break;
        case VK_MBUTTON: down = buttons & Qt::MiddleButton; break;
        default: break;
        }
    }
    return int16_t((down ? 0x8000 : 0) | (KeyStates[vk] & 1));
}
int16_t GetAsyncKeyState(int vk) { return GetKeyState(vk); }
BOOL GetKeyboardState(uint8_t* ks)
{
    if (!ks) return 0;
    for (int i = 0; i < 256; ++i) ks[i] = uint8_t((GetKeyState(i) & 0x8000 ? 0x80 : 0) | (KeyStates[i] & 1));
    return 1;
}

TShiftState GetShiftState()
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
    return s;
}

int qzgui::QtKeyToVK(int key, Qt::KeyboardModifiers mods)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return (mods & Qt::KeypadModifier) ? VK_NUMPAD0 + (key - Qt::Key_0) : '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Asterisk: return (mods & Qt::KeypadModifier) ? VK_MULTIPLY : '8';
    case Qt::Key_Plus: return (mods & Qt::KeypadModifier) ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return (mods & Qt::KeypadModifier) ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return (mods & Qt::KeypadModifier) ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash: return (mods & Qt::KeypadModifier) ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Semicolon: return VK_OEM_1;
    case Qt::Key_QuoteLeft: return VK_OEM_3;
    case Qt::Key_BracketLeft: return VK_OEM_4;
    case Qt::Key_Backslash: return VK_OEM_5;
    case Qt::Key_BracketRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: return VK_OEM_7;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    default: return 0;
    }
}

static void QueueFront(HWND h, UINT msg, const std::u16string& text, LPARAM keyData);
static bool TakeQueued(HWND h, UINT msg, char16_t ch, LPARAM keyData);
static void DropQueued(HWND h, UINT msg, const std::u16string& text, LPARAM keyData);

// Sends a key through the path the platform's loop takes: CN_ to the
// control (dialog keys), then WM_KEYDOWN, then the characters as WM_CHAR.
// Returns whether the control took the key.
bool qzgui::DeliverKey(TWinControl* c, UINT msg, WPARAM vk, LPARAM keyData, const std::u16string& text,
                       std::u16string* passedText)
{
    if (!c) return false;
    TWeakRef<TWinControl> guard(c);
    TMessage m{msg, vk, keyData, 0};
    if (RunMessageFilters(TMessageFilterKind::GetMessage, HandleOf(c), m)) return true;
    if (Application && Application->OnMessage) {
        TMsg qm{HandleOf(c), m.Msg, m.WParam, m.LParam, GetTickCount(), {}};
        bool handled = false;
        Application->OnMessage(qm, handled);
        if (handled) return true;
    }
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        if (DragKeyEvent(int(vk))) return true;
        UINT cn = msg == WM_KEYDOWN ? CN_KEYDOWN : CN_SYSKEYDOWN;
        TMessage cm{cn, m.WParam, m.LParam, 0};
        Deliver(c, cm, TMessageFilterKind::CallWndProc);
        if (cm.Result != 0 || !guard) return true;
        m.WParam = cm.WParam;
        // The characters the key makes wait in the queue while the key is
        // handled, so a handler can take them out (PeekMessage), as with the
        // platform's translation step.
        const HWND h = HandleOf(c);
        const UINT charMsg = msg == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
        QueueFront(h, charMsg, text, keyData);
        Deliver(c, m, TMessageFilterKind::CallWndProc);
        if (!guard) {
            DropQueued(h, charMsg, text, keyData);
            return true;
        }
        bool passed = c->Window() && c->Window()->PassedToDefault;
        // The characters that reach the default handling, as the handlers left them.
        std::u16string through;
        for (char16_t ch : text) {
            if (!guard || !TakeQueued(h, charMsg, ch, keyData)) continue;
            TMessage cc{CN_CHAR, ch, keyData, 0};
            Deliver(c, cc, TMessageFilterKind::CallWndProc);
            if (cc.Result != 0 || !guard) continue;
            TMessage wc{charMsg, ch, keyData, 0};
            Deliver(c, wc, TMessageFilterKind::CallWndProc);
            if (guard && c->Window() && c->Window()->PassedToDefault) through.push_back(char16_t(wc.WParam));
        }
        if (passedText) *passedText = through;
        return !passed;
    }
    TMessage cm{CN_KEYUP, m.WParam, m.LParam, 0};
    Deliver(c, cm, TMessageFilterKind::CallWndProc);
    if (cm.Result != 0 || !guard) return true;
    Deliver(c, m, TMessageFilterKind::CallWndProc);
    if (!guard) return true;
    bool passed = c->Window() && c->Window()->PassedToDefault;
    // The context-menu key and Shift+F10 ask for the menu when released.
    if (msg == WM_KEYUP && (vk == VK_APPS || (vk == VK_F10 && GetKeyState(VK_SHIFT) < 0))) {
        TMessage ctx{WM_CONTEXTMENU, WPARAM(HandleOf(c)), MAKELPARAM(-1, -1), 0};
        Deliver(c, ctx, TMessageFilterKind::CallWndProc);
    }
    return !passed;
}

// ---- posted messages -------------------------------------------------------------------

namespace {
std::deque<TMsg>& Queue() { static auto* q = new std::deque<TMsg>(); return *q; }
bool WakePending = false;
QElapsedTimer& Uptime()
{
    static QElapsedTimer t;
    if (!t.isValid()) t.start();
    return t;
}

void Wake()
{
    if (WakePending || !QCoreApplication::instance()) return;
    WakePending = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { ProcessPosted(); }, Qt::QueuedConnection);
}
}

uint32_t GetTickCount()
{
    if (Timers::ManualClock()) return uint32_t(Timers::NowMs());
    return uint32_t(Uptime().elapsed());
}

BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (wnd && !FindControl(wnd)) return 0;
    TMsg m;
    m.hwnd = wnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    GetCursorPos(&m.pt);
    Queue().push_back(m);
    Wake();
    return 1;
}

void PostQuitMessage(int exitCode) { PostMessage(nullptr, WM_QUIT, WPARAM(exitCode), 0); }

static void QueueFront(HWND h, UINT msg, const std::u16string& text, LPARAM keyData)
{
    auto& q = Queue();
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        TMsg m;
        m.hwnd = h;
        m.message = msg;
        m.wParam = *it;
        m.lParam = keyData;
        m.time = GetTickCount();
        q.push_front(m);
    }
}

static bool TakeQueued(HWND h, UINT msg, char16_t ch, LPARAM keyData)
{
    auto& q = Queue();
    for (auto it = q.begin(); it != q.end(); ++it)
        if (it->hwnd == h && it->message == msg && it->wParam == ch && it->lParam == keyData) {
            q.erase(it);
            return true;
        }
    return false;
}

static void DropQueued(HWND h, UINT msg, const std::u16string& text, LPARAM keyData)
{
    for (char16_t ch : text) TakeQueued(h, msg, ch, keyData);
}

static bool Matches(const TMsg& m, HWND wnd, UINT lo, UINT hi)
{
    if (wnd && m.hwnd != wnd) return false;
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

BOOL PeekMessage(TMsg* msg, HWND wnd, UINT lo, UINT hi, UINT remove)
{
    auto& q = Queue();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (!Matches(*it, wnd, lo, hi)) continue;
        if (msg) *msg = *it;
        if (remove & PM_REMOVE) q.erase(it);
        return 1;
    }
    return 0;
}

LRESULT DispatchMessage(const TMsg* msg)
{
    if (!msg) return 0;
    TWinControl* c = FindControl(msg->hwnd);
    if (!c) return 0;
    TMessage m{msg->message, msg->wParam, msg->lParam, 0};
    return Deliver(c, m, TMessageFilterKind::CallWndProc);
}

void qzgui::ProcessPosted()
{
    WakePending = false;
    // Only what is queued now: messages posted by handlers wait for the next round.
    size_t n = Queue().size();
    for (size_t i = 0; i < n && !Queue().empty(); ++i) {
        TMsg msg = Queue().front();
        Queue().pop_front();
        if (msg.message == WM_QUIT && !msg.hwnd) {
            if (Application) Application->Terminate();
            continue;
        }
        TMessage m{msg.message, msg.wParam, msg.lParam, 0};
        if (RunMessageFilters(TMessageFilterKind::GetMessage, msg.hwnd, m)) continue;
        msg.wParam = m.WParam;
        msg.lParam = m.LParam;
        if (Application && Application->OnMessage) {
            bool handled = false;
            try {
                Application->OnMessage(msg, handled);
            } catch (...) {
                Application->HandleException(Application);
            }
            if (handled) continue;
        }
        DispatchMessage(&msg);
    }
    if (!Queue().empty()) Wake();
}

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* c = FindControl(wnd);
    if (!c) return 0;
    TMessage m{msg, wParam, lParam, 0};
    return Deliver(c, m, TMessageFilterKind::CallWndProc);
}

BOOL SendNotifyMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!FindControl(wnd)) return 0;
    SendMessage(wnd, msg, wParam, lParam);
    return 1;
}

UINT RegisterWindowMessage(const std::string& name)
{
    static std::map<std::string, UINT> names;
    auto it = names.find(name);
    if (it != names.end()) return it->second;
    UINT id = 0xC000 + UINT(names.size());
    names[name] = id;
    return id;
}

// ---- timers -----------------------------------------------------------------------------

namespace {
struct TTimerEntry {
    uintptr_t Id;
    UINT Interval;
    uint64_t Due;
    Timers::TTimerProc Proc;
};
std::map<uintptr_t, TTimerEntry>& TimerTable() { static auto* t = new std::map<uintptr_t, TTimerEntry>(); return *t; }
uintptr_t NextTimerId = 1;
bool Manual = false;
uint64_t ManualNow = 0;
QTimer* Driver = nullptr;

void Schedule();

void FireDue(uint64_t now)
{
    // Fire in order of due time; a timer fires at most once per pass.
    std::vector<uintptr_t> due;
    for (auto& [id, t] : TimerTable())
        if (t.Due <= now) due.push_back(id);
    std::sort(due.begin(), due.end(), [](uintptr_t a, uintptr_t b) {
        auto& t = TimerTable();
        return t[a].Due != t[b].Due ? t[a].Due < t[b].Due : a < b;
    });
    for (uintptr_t id : due) {
        auto it = TimerTable().find(id);
        if (it == TimerTable().end()) continue;   // stopped by an earlier one
        it->second.Due = now + std::max<UINT>(1, it->second.Interval);
        auto proc = it->second.Proc;
        try {
            proc();
        } catch (...) {
            if (Application) Application->HandleException(Application);
        }
    }
}

void Schedule()
{
    if (Manual || !QCoreApplication::instance()) return;
    if (!Driver) {
        Driver = new QTimer();
        Driver->setSingleShot(true);
        Driver->setTimerType(Qt::PreciseTimer);
        QObject::connect(Driver, &QTimer::timeout, [] {
            FireDue(Timers::NowMs());
            Schedule();
        });
    }
    if (TimerTable().empty()) {
        Driver->stop();
        return;
    }
    uint64_t next = UINT64_MAX;
    for (auto& [id, t] : TimerTable()) next = std::min(next, t.Due);
    uint64_t now = Timers::NowMs();
    Driver->start(int(next > now ? std::min<uint64_t>(next - now, 1u << 30) : 0));
}
}

uintptr_t Timers::Start(UINT interval, TTimerProc proc)
{
    uintptr_t id = NextTimerId++;
    TimerTable()[id] = {id, interval, NowMs() + std::max<UINT>(1, interval), std::move(proc)};
    Schedule();
    return id;
}
void Timers::Stop(uintptr_t id)
{
    TimerTable().erase(id);
    Schedule();
}
bool Timers::Active(uintptr_t id) { return TimerTable().count(id) != 0; }
void Timers::SetManualClock(bool manual)
{
    if (manual == Manual) return;
    uint64_t now = NowMs();
    Manual = manual;
    if (manual) {
        ManualNow = now;
        if (Driver) Driver->stop();
    } else {
        // Timers keep their distance to their due time on the real clock.
        uint64_t real = uint64_t(Uptime().elapsed());
        for (auto& [id, t] : TimerTable()) t.Due = real + (t.Due > now ? t.Due - now : 0);
        Schedule();
    }
}
bool Timers::ManualClock() { return Manual; }
uint64_t Timers::NowMs() { return Manual ? ManualNow : uint64_t(Uptime().elapsed()); }
void Timers::Advance(UINT ms)
{
    if (!Manual) return;
    uint64_t end = ManualNow + ms;
    for (;;) {
        uint64_t next = UINT64_MAX;
        for (auto& [id, t] : TimerTable()) next = std::min(next, t.Due);
        if (next > end) break;
        ManualNow = std::max(ManualNow, next);
        FireDue(ManualNow);
    }
    ManualNow = end;
}

namespace {
std::map<std::pair<uintptr_t, uintptr_t>, uintptr_t>& WindowTimers()
{
    static auto* m = new std::map<std::pair<uintptr_t, uintptr_t>, uintptr_t>();
    return *m;
}
}

uintptr_t SetTimer(HWND wnd, uintptr_t id, UINT elapse, TTimerProc proc)
{
    if (wnd && !FindControl(wnd)) return 0;
    if (!wnd) {
        // A timer of the thread: an id of its own, never one in use.
        static uintptr_t nextThreadId = 0x7F00;
        if (id == 0 || !WindowTimers().count({0, id})) id = ++nextThreadId;
        if (!proc) return 0;   // nothing would hear of it
    }
    auto key = std::make_pair(reinterpret_cast<uintptr_t>(wnd), id);
    auto& wt = WindowTimers();
    if (auto it = wt.find(key); it != wt.end()) Timers::Stop(it->second);
    wt[key] = Timers::Start(elapse, [wnd, id, proc] {
        if (proc) {
            if (wnd && !FindControl(wnd)) {
                KillTimer(wnd, id);
                return;
            }
            proc(wnd, WM_TIMER, id, GetTickCount());
            return;
        }
        TWinControl* c = FindControl(wnd);
        if (!c) {
            KillTimer(wnd, id);
            return;
        }
        TMessage m{WM_TIMER, id, 0, 0};
        if (RunMessageFilters(TMessageFilterKind::GetMessage, wnd, m)) return;
        Deliver(c, m, TMessageFilterKind::CallWndProc);
    });
    return id ? id : 1;
}

BOOL KillTimer(HWND wnd, uintptr_t id)
{
    auto key = std::make_pair(reinterpret_cast<uintptr_t>(wnd), id);
    auto& wt = WindowTimers();
    auto it = wt.find(key);
    if (it == wt.end()) return 0;
    Timers::Stop(it->second);
    wt.erase(it);
    return 1;
}

void KillWindowTimers(HWND wnd)
{
    auto& wt = WindowTimers();
    for (auto it = wt.begin(); it != wt.end();) {
        if (it->first.first == reinterpret_cast<uintptr_t>(wnd)) {
            Timers::Stop(it->second);
            it = wt.erase(it);
        } else {
            ++it;
        }
    }
}

// ---- the caret --------------------------------------------------------------------------

namespace {
struct TCaret {
    HWND Wnd = nullptr;
    int W = 0, H = 0;
    QPoint Pos;
    int HideLevel = 1;
    bool BlinkOn = true;
    uintptr_t Timer = 0;
} Caret;

void InvalidateCaret()
{
    TWinControl* c = FindControl(Caret.Wnd);
    if (!c || !c->Window() || !c->Window()->W) return;
    TRect in = c->NonClientInsets();
    c->Window()->W->update(QRect(Caret.Pos + QPoint(in.Left, in.Top), QSize(std::max(1, Caret.W), std::max(1, Caret.H))));
}
}

UINT GetCaretBlinkTime()
{
    int t = QCoreApplication::instance() ? QApplication::cursorFlashTime() / 2 : 530;
    return UINT(t > 0 ? t : 530);
}

BOOL CreateCaret(HWND wnd, void*, int width, int height)
{
    if (!FindControl(wnd)) return 0;
    DestroyCaret();
    Caret.Wnd = wnd;
    Caret.W = width > 0 ? width : 1;
    Caret.H = height > 0 ? height : 1;
    Caret.HideLevel = 1;
    Caret.BlinkOn = true;
    Caret.Timer = Timers::Start(GetCaretBlinkTime(), [] {
        Caret.BlinkOn = !Caret.BlinkOn;
        if (Caret.HideLevel == 0) InvalidateCaret();
    });
    return 1;
}
BOOL DestroyCaret()
{
    if (!Caret.Wnd) return 0;
    if (Caret.HideLevel == 0) InvalidateCaret();
    Timers::Stop(Caret.Timer);
    Caret = TCaret{};
    return 1;
}
BOOL ShowCaret(HWND wnd)
{
    if (!Caret.Wnd || (wnd && wnd != Caret.Wnd)) return 0;
    if (Caret.HideLevel > 0) --Caret.HideLevel;
    Caret.BlinkOn = true;
    if (Caret.HideLevel == 0) InvalidateCaret();
    return 1;
}
BOOL HideCaret(HWND wnd)
{
    if (!Caret.Wnd || (wnd && wnd != Caret.Wnd)) return 0;
    if (Caret.HideLevel == 0) InvalidateCaret();
    ++Caret.HideLevel;
    return 1;
}
BOOL SetCaretPos(int x, int y)
{
    if (!Caret.Wnd) return 0;
    InvalidateCaret();
    Caret.Pos = QPoint(x, y);
    Caret.BlinkOn = true;
    InvalidateCaret();
    return 1;
}
HWND qzgui::CaretWindow() { return Caret.Wnd; }

BOOL GetCaretPos(TPoint* p)
{
    if (!Caret.Wnd || !p) return 0;
    *p = TP(Caret.Pos);
    return 1;
}

void qzgui::DrawCaret(TWinControl* c, QPainter& p, const QPoint& org)
{
    if (!Caret.Wnd || HandleOf(c) != Caret.Wnd || Caret.HideLevel > 0 || !Caret.BlinkOn) return;
    p.save();
    p.resetTransform();
    p.setClipping(false);
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.fillRect(QRect(org + Caret.Pos, QSize(Caret.W, Caret.H)), Qt::black);
    p.restore();
}

// ---- system settings ------------------------------------------------------------------------

static QRect PrimaryGeometry(bool available)
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* s = app->primaryScreen()) return available ? s->availableGeometry() : s->geometry();
    return QRect(0, 0, 1024, 768);
}

namespace {
std::map<int, int>& MetricOverrides()
{
    static std::map<int, int> m;
    return m;
}
TBeepSink& BeepSink()
{
    static TBeepSink s;
    return s;
}
}

void SetSystemMetric(int index, int value) { MetricOverrides()[index] = value; }
void ResetSystemMetrics() { MetricOverrides().clear(); }

int GetSystemMetrics(int index)
{
    if (auto it = MetricOverrides().find(index); it != MetricOverrides().end()) return it->second;
    switch (index) {
    case SM_CXSCREEN: return PrimaryGeometry(false).width();
    case SM_CYSCREEN: return PrimaryGeometry(false).height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG:
    case SM_CYDRAG: return Mouse ? Mouse->DragThreshold() - 1 : 4;
    case SM_CMONITORS: return Screen ? Screen->MonitorCount() : 1;
    default: return 0;
    }
}

UINT GetDoubleClickTime()
{
    int t = QCoreApplication::instance() ? QApplication::doubleClickInterval() : 500;
    return UINT(t > 0 ? t : 500);
}

BOOL SystemParametersInfo(UINT action, UINT, void* pv, UINT)
{
    switch (action) {
    case SPI_GETWORKAREA:
        if (!pv) return 0;
        *static_cast<TRect*>(pv) = TR(PrimaryGeometry(true));
        return 1;
    case SPI_GETWHEELSCROLLLINES:
        if (!pv) return 0;
        *static_cast<UINT*>(pv) = UINT(Mouse ? Mouse->WheelScrollLines() : 3);
        return 1;
    default: return 0;
    }
}

namespace {
// Where the last mouse event put the mouse. The position answers from it:
// the headless window system has no pointer of its own, and input made by
// a program (tests, remote control) does not move the real one.
QPoint TrackedCursor;
bool Tracked = false;
}

void qzgui::NoteCursorPos(QPoint p)
{
    TrackedCursor = p;
    Tracked = true;
}

BOOL GetCursorPos(TPoint* p)
{
    if (!p) return 0;
    if (!QCoreApplication::instance()) *p = TPoint{};
    else if (Tracked) *p = TP(TrackedCursor);
    else *p = TP(QCursor::pos());
    return 1;
}
BOOL SetCursorPos(int x, int y)
{
    if (!QCoreApplication::instance()) return 0;
    NoteCursorPos(QPoint(x, y));
    QCursor::setPos(x, y);
    return 1;
}

void SetBeepSink(TBeepSink sink) { BeepSink() = std::move(sink); }

void MessageBeep(UINT type)
{
    if (BeepSink()) {
        TBeepSink keep = BeepSink();
        keep(type);
        return;
    }
    if (QCoreApplication::instance()) QApplication::beep();
}
void Beep() { MessageBeep(0); }
