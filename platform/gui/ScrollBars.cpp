// The scroll bars a window keeps in its border: their state, their
// painting in the classic look, and the mouse on them (arrows and pages
// repeat while held, the thumb follows the mouse), reported to the window as
// WM_HSCROLL and WM_VSCROLL.
#include "QzGuiPrivate.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <QWidget>

using namespace qzgui;

namespace {

using TBar = TWinControlWindow::TBar;

TBar* BarOf(HWND wnd, int bar, TWinControl** owner = nullptr)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window() || (bar != SB_HORZ && bar != SB_VERT)) return nullptr;
    if (owner) *owner = c;
    return &c->Window()->Bars[bar];
}

// The bars' rectangles in widget coordinates (empty when hidden).
void BarRects(TWinControl* c, TRect& vert, TRect& horz, TRect& corner)
{
    vert = horz = corner = TRect{};
    TWinControlWindow* w = c->Window();
    if (!w) return;
    TRect in = c->NonClientInsets();
    TRect client = Rect(in.Left, in.Top, c->Width() - in.Right, c->Height() - in.Bottom);
    int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    if (w->Bars[SB_VERT].Visible) vert = Rect(client.Right, client.Top, client.Right + cx, client.Bottom);
    if (w->Bars[SB_HORZ].Visible) horz = Rect(client.Left, client.Bottom, client.Right, client.Bottom + cy);
    if (w->Bars[SB_VERT].Visible && w->Bars[SB_HORZ].Visible)
        corner = Rect(client.Right, client.Bottom, client.Right + cx, client.Bottom + cy);
}

// Where the thumb lies along a bar of length len (arrows included).
void ThumbOf(const TBar& b, int len, int button, int& top, int& bottom, int track)
{
    int trackLen = std::max(0, len - 2 * button);
    int range = b.Max - b.Min + 1;
    int minThumb = std::min(trackLen, 8);
    int thumb = b.Page > 0 ? std::max(minThumb, int(int64_t(trackLen) * b.Page / std::max(1, range))) : button;
    thumb = std::min(thumb, trackLen);
    int maxPos = b.Max - std::max(b.Page - 1, 0);
    int span = maxPos - b.Min;
    int at = span > 0 ? int(int64_t(trackLen - thumb) * (std::clamp(track, b.Min, maxPos) - b.Min) / span) : 0;
    top = button + at;
    bottom = top + thumb;
}

bool Scrollable(const TBar& b) { return b.Enabled && b.Max > b.Min && (b.Page == 0 || b.Page <= b.Max - b.Min); }

struct TTracking {
    TWeakRef<TWinControl> Ctl;
    int Bar = SB_VERT;
    int Part = 0;          // 1 arrow up, 2 page up, 3 thumb, 4 page down, 5 arrow down
    int GrabOffset = 0;    // mouse to thumb start, along the bar
    uintptr_t Timer = 0;
    bool Active = false;
} Track;

// The bar whose thumb was just let go, while its SB_THUMBPOSITION is handled:
// the handler reads that position as SIF_TRACKPOS, as it did during the drag.
struct TReleasedThumb {
    TWinControl* Ctl = nullptr;
    int Bar = SB_VERT;
} Released;

void Send(TWinControl* c, int bar, int code, int pos = 0)
{
    TMessage m{UINT(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL), MAKEWPARAM(code, pos), 0, 0};
    Deliver(c, m, TMessageFilterKind::CallWndProc);
}

int PartAt(TWinControl* c, int bar, TPoint wp)
{
    TRect vert, horz, corner;
    BarRects(c, vert, horz, corner);
    const TRect& r = bar == SB_VERT ? vert : horz;
    int len = bar == SB_VERT ? r.Height() : r.Width();
    int along = bar == SB_VERT ? wp.Y - r.Top : wp.X - r.Left;
    int button = std::min(bar == SB_VERT ? r.Width() : r.Height(), len / 2);
    const TBar& b = c->Window()->Bars[bar];
    int top, bottom;
    ThumbOf(b, len, button, top, bottom, b.Pos);
    if (along < button) return 1;
    if (along >= len - button) return 5;
    if (along < top) return 2;
    if (along < bottom) return 3;
    return 4;
}

void Repeat()
{
    TWinControl* c = Track.Ctl.Get();
    if (!c || !Track.Active) return;
    static const int codes[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
    if (Track.Part != 3) Send(c, Track.Bar, codes[Track.Part]);
}

void EndTracking(TPoint)
{
    TWinControl* c = Track.Ctl.Get();
    if (Track.Timer) Timers::Stop(Track.Timer);
    TTracking t = Track;
    Track = TTracking{};
    ReleaseCapture();
    if (!c) return;
    TBar& b = c->Window()->Bars[t.Bar];
    if (t.Part == 3) {
        Released = {c, t.Bar};
        Send(c, t.Bar, SB_THUMBPOSITION, b.TrackPos);
        Released = {};
    }
    Send(c, t.Bar, SB_ENDSCROLL);
    c->Window()->W->update();
}

void FollowThumb(TPoint screen)
{
    TWinControl* c = Track.Ctl.Get();
    if (!c) return;
    TRect vert, horz, corner;
    BarRects(c, vert, horz, corner);
    const TRect& r = Track.Bar == SB_VERT ? vert : horz;
    QPoint wp = c->Window()->W->mapFromGlobal(QP(screen));
    int len = Track.Bar == SB_VERT ? r.Height() : r.Width();
    int button = std::min(Track.Bar == SB_VERT ? r.Width() : r.Height(), len / 2);
    TBar& b = c->Window()->Bars[Track.Bar];
    int top, bottom;
    ThumbOf(b, len, button, top, bottom, b.Pos);
    int thumb = bottom - top;
    int trackLen = std::max(1, len - 2 * button - thumb);
    int along = (Track.Bar == SB_VERT ? wp.y() - r.Top : wp.x() - r.Left) - Track.GrabOffset - button;
    int maxPos = b.Max - std::max(b.Page - 1, 0);
    int pos = b.Min + int(int64_t(std::clamp(along, 0, trackLen)) * (maxPos - b.Min) / trackLen);
    if (pos != b.TrackPos) {
        b.TrackPos = pos;
        Send(c, Track.Bar, SB_THUMBTRACK, pos);
        if (c->Window()) c->Window()->W->update();
    }
}

} // namespace

void qzgui::ScrollBarsNCCalc(TWinControl* c, TRect& r)
{
    if (!c->Window()) return;
    if (c->Window()->Bars[SB_VERT].Visible) r.Right -= GetSystemMetrics(SM_CXVSCROLL);
    if (c->Window()->Bars[SB_HORZ].Visible) r.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
}

void qzgui::ScrollBarsPaint(TWinControl* c, HDC dc, const TRect&)
{
    TRect vert, horz, corner;
    BarRects(c, vert, horz, corner);
    auto paint = [&](int bar, const TRect& r) {
        if (IsRectEmpty(r)) return;
        const TBar& b = c->Window()->Bars[bar];
        bool enabled = Scrollable(b) && c->Enabled();
        bool v = bar == SB_VERT;
        int len = v ? r.Height() : r.Width();
        int button = std::min(v ? r.Width() : r.Height(), len / 2);
        UINT off = enabled ? 0 : DFCS_INACTIVE;
        bool pressed1 = Track.Active && Track.Ctl.Get() == c && Track.Bar == bar && Track.Part == 1;
        bool pressed5 = Track.Active && Track.Ctl.Get() == c && Track.Bar == bar && Track.Part == 5;
        TRect a1 = v ? Rect(r.Left, r.Top, r.Right, r.Top + button) : Rect(r.Left, r.Top, r.Left + button, r.Bottom);
        TRect a2 = v ? Rect(r.Left, r.Bottom - button, r.Right, r.Bottom) : Rect(r.Right - button, r.Top, r.Right, r.Bottom);
        DrawFrameControl(dc, a1, DFC_SCROLL, (v ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | off | (pressed1 ? DFCS_PUSHED | DFCS_FLAT : 0));
        DrawFrameControl(dc, a2, DFC_SCROLL, (v ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | off | (pressed5 ? DFCS_PUSHED | DFCS_FLAT : 0));
        TRect trackR = v ? Rect(r.Left, a1.Bottom, r.Right, a2.Top) : Rect(a1.Right, r.Top, a2.Left, r.Bottom);
        HBRUSH tb = CreateSolidBrush(GetSysColor(COLOR_SCROLLBAR));
        FillRect(dc, trackR, tb);
        DeleteObject(tb);
        if (enabled) {
            int top, bottom;
            int shown = Track.Active && Track.Ctl.Get() == c && Track.Bar == bar && Track.Part == 3 ? b.TrackPos : b.Pos;
            ThumbOf(b, len, button, top, bottom, shown);
            TRect th = v ? Rect(r.Left, r.Top + top, r.Right, r.Top + bottom) : Rect(r.Left + top, r.Top, r.Left + bottom, r.Bottom);
            HBRUSH fb = GetSysColorBrush(COLOR_BTNFACE);
            FillRect(dc, th, fb);
            DrawEdge(dc, th, EDGE_RAISED, BF_RECT);
        }
    };
    paint(SB_VERT, vert);
    paint(SB_HORZ, horz);
    if (!IsRectEmpty(corner)) FillRect(dc, corner, GetSysColorBrush(COLOR_BTNFACE));
}

int qzgui::ScrollBarHitTest(TWinControl* c, TPoint wp)
{
    TRect vert, horz, corner;
    BarRects(c, vert, horz, corner);
    if (PtInRect(vert, wp)) return HTVSCROLL;
    if (PtInRect(horz, wp)) return HTHSCROLL;
    return 0;
}

void qzgui::ScrollBarPress(TWinControl* c, int hit, TPoint wp)
{
    int bar = hit == HTVSCROLL ? SB_VERT : SB_HORZ;
    TBar& b = c->Window()->Bars[bar];
    if (!Scrollable(b) || !c->Enabled()) return;
    Track = TTracking{};
    Track.Ctl = c;
    Track.Bar = bar;
    Track.Part = PartAt(c, bar, wp);
    Track.Active = true;
    SetCapture(c->Handle());
    if (Track.Part == 3) {
        TRect vert, horz, corner;
        BarRects(c, vert, horz, corner);
        const TRect& r = bar == SB_VERT ? vert : horz;
        int len = bar == SB_VERT ? r.Height() : r.Width();
        int button = std::min(bar == SB_VERT ? r.Width() : r.Height(), len / 2);
        int top, bottom;
        ThumbOf(b, len, button, top, bottom, b.Pos);
        Track.GrabOffset = (bar == SB_VERT ? wp.Y - r.Top : wp.X - r.Left) - top;
        b.TrackPos = b.Pos;
        Send(c, bar, SB_THUMBTRACK, b.Pos);
    } else {
        Repeat();
        // Held down, it repeats: first after a pause, then quickly.
        Track.Timer = Timers::Start(400, [] {
            Repeat();
            if (Track.Active && Track.Timer) {
                Timers::Stop(Track.Timer);
                Track.Timer = Timers::Start(50, [] { Repeat(); });
            }
        });
    }
    c->Window()->W->update();
}

bool qzgui::ScrollBarMouseEvent(UINT msg, TPoint screen)
{
    if (!Track.Active) return false;
    if (!Track.Ctl.Get()) {
        Track = TTracking{};
        return false;
    }
    switch (msg) {
    case WM_MOUSEMOVE:
        if (Track.Part == 3) FollowThumb(screen);
        return true;
    case WM_LBUTTONUP:
        EndTracking(screen);
        return true;
    default:
        return true;
    }
}

// ---- the routines ---------------------------------------------------------------

static void BarChanged(TWinControl* c, bool visibilityMayChange, BOOL redraw)
{
    if (visibilityMayChange) c->UpdateNonClient();
    if (redraw && c->Window() && c->Window()->W) c->Window()->W->update();
}

// A scroll bar control, for SB_CTL.
static TScrollBar* BarControl(HWND wnd, int bar)
{
    return bar == SB_CTL ? DynamicCast<TScrollBar>(FindControl(wnd)) : nullptr;
}

int SetScrollInfo(HWND wnd, int bar, const TScrollInfo* si, BOOL redraw)
{
    if (bar == SB_CTL) {
        TScrollBar* sb = BarControl(wnd, bar);
        if (!sb || !si) return 0;
        sb->ApplyScrollInfo(*si);
        return sb->Position();
    }
    TWinControl* c;
    TBar* b = BarOf(wnd, bar, &c);
    if (!b || !si) return 0;
    if (si->fMask & SIF_RANGE) {
        b->Min = si->nMin;
        b->Max = std::max(si->nMin, si->nMax);
    }
    if (si->fMask & SIF_PAGE) b->Page = int(std::min<UINT>(si->nPage, UINT(b->Max - b->Min + 1)));
    if (si->fMask & SIF_POS) b->Pos = si->nPos;
    int maxPos = b->Max - std::max(b->Page - 1, 0);
    b->Pos = std::clamp(b->Pos, b->Min, std::max(b->Min, maxPos));
    // A bar with nothing to scroll goes away, unless asked to stay disabled.
    bool needed = b->Max > b->Min && (b->Page == 0 || b->Page <= b->Max - b->Min);
    bool wasVisible = b->Visible;
    if (si->fMask & (SIF_RANGE | SIF_PAGE)) {
        if (si->fMask & SIF_DISABLENOSCROLL) {
            b->Visible = true;
            b->Enabled = needed;
        } else {
            b->Visible = needed;
        }
    }
    BarChanged(c, wasVisible != b->Visible, redraw);
    return b->Pos;
}

BOOL GetScrollInfo(HWND wnd, int bar, TScrollInfo* si)
{
    if (bar == SB_CTL) {
        TScrollBar* sb = BarControl(wnd, bar);
        if (!sb || !si) return 0;
        sb->ReadScrollInfo(*si);
        return 1;
    }
    TBar* b = BarOf(wnd, bar);
    if (!b || !si) return 0;
    if (si->fMask & SIF_RANGE) {
        si->nMin = b->Min;
        si->nMax = b->Max;
    }
    if (si->fMask & SIF_PAGE) si->nPage = UINT(b->Page);
    if (si->fMask & SIF_POS) si->nPos = b->Pos;
    if (si->fMask & SIF_TRACKPOS) {
        TWinControl* c = FindControl(wnd);
        const bool dragging = Track.Active && Track.Bar == bar && c == Track.Ctl.Get();
        const bool released = Released.Ctl && Released.Bar == bar && c == Released.Ctl;
        si->nTrackPos = dragging || released ? b->TrackPos : b->Pos;
    }
    return 1;
}

int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw)
{
    if (TScrollBar* sb = BarControl(wnd, bar)) {
        int old = sb->Position();
        sb->SetPosition(pos);
        return old;
    }
    TBar* b = BarOf(wnd, bar);
    if (!b) return 0;
    int old = b->Pos;
    TScrollInfo si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(wnd, bar, &si, redraw);
    return old;
}
int GetScrollPos(HWND wnd, int bar)
{
    if (TScrollBar* sb = BarControl(wnd, bar)) return sb->Position();
    TBar* b = BarOf(wnd, bar);
    return b ? b->Pos : 0;
}
BOOL SetScrollRange(HWND wnd, int bar, int lo, int hi, BOOL redraw)
{
    if (!BarOf(wnd, bar)) return 0;
    TScrollInfo si;
    si.fMask = SIF_RANGE;
    si.nMin = lo;
    si.nMax = hi;
    SetScrollInfo(wnd, bar, &si, redraw);
    return 1;
}
BOOL GetScrollRange(HWND wnd, int bar, int* lo, int* hi)
{
    TBar* b = BarOf(wnd, bar);
    if (!b) return 0;
    if (lo) *lo = b->Min;
    if (hi) *hi = b->Max;
    return 1;
}
BOOL ShowScrollBar(HWND wnd, int bar, BOOL show)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window()) return 0;
    bool changed = false;
    for (int k : {SB_HORZ, SB_VERT}) {
        if (bar != SB_BOTH && bar != k) continue;
        if (c->Window()->Bars[k].Visible != bool(show)) changed = true;
        c->Window()->Bars[k].Visible = show;
    }
    BarChanged(c, changed, 1);
    return 1;
}
BOOL EnableScrollBar(HWND wnd, int bar, UINT arrows)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !c->Window()) return 0;
    for (int k : {SB_HORZ, SB_VERT})
        if (bar == SB_BOTH || bar == k) c->Window()->Bars[k].Enabled = arrows != ESB_DISABLE_BOTH;
    BarChanged(c, false, 1);
    return 1;
}

BOOL GetScrollBarInfo(HWND wnd, int objectId, TScrollBarInfo* info)
{
    TWinControl* c = FindControl(wnd);
    if (!c || !info || (objectId != OBJID_VSCROLL && objectId != OBJID_HSCROLL)) return 0;
    int bar = objectId == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
    const TBar& b = c->Window()->Bars[bar];
    TRect vert, horz, corner;
    BarRects(c, vert, horz, corner);
    TRect r = bar == SB_VERT ? vert : horz;
    *info = TScrollBarInfo{};
    for (DWORD& s : info->rgstate) s = 0;
    if (!b.Visible) {
        info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
        return 1;
    }
    QPoint g = c->Window()->W->mapToGlobal(QPoint(r.Left, r.Top));
    info->rcScrollBar = Bounds(g.x(), g.y(), r.Width(), r.Height());
    int len = bar == SB_VERT ? r.Height() : r.Width();
    info->dxyLineButton = std::min(bar == SB_VERT ? r.Width() : r.Height(), len / 2);
    ThumbOf(b, len, info->dxyLineButton, info->xyThumbTop, info->xyThumbBottom, b.Pos);
    if (!Scrollable(b) || !c->Enabled()) info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
    if (!c->Showing()) info->rgstate[0] |= STATE_SYSTEM_OFFSCREEN;
    return 1;
}
