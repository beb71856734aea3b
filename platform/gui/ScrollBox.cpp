#include "ScrollBox.h"

QZ_CLASS_IMPL(TControlScrollBar, TPersistent)
QZ_CLASS_IMPL(TScrollingWinControl, TWinControl)
QZ_CLASS_IMPL(TScrollBox, TScrollingWinControl)

// ---- a bar ---------------------------------------------------------------------------------

void TControlScrollBar::SetRange(int v)
{
    FRange = std::max(0, v);
    if (FControl) FControl->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool v)
{
    FVisible = v;
    if (FControl) FControl->UpdateScrollBars();
}

int TControlScrollBar::MaxPosition() const
{
    if (!FControl) return 0;
    TRect c = FControl->ClientRect();
    return std::max(0, FRange - (FHorizontal ? c.Width() : c.Height()));
}

bool TControlScrollBar::IsScrollBarVisible() const { return FVisible && MaxPosition() > 0; }

void TControlScrollBar::SetPosition(int v)
{
    if (FControl) FControl->ScrollTo(this, v);
    else FPosition = std::max(0, v);
}

void TControlScrollBar::ScrollMessage(int code, int pos)
{
    if (!FControl) return;
    TRect c = FControl->ClientRect();
    int page = std::max(1, (FHorizontal ? c.Width() : c.Height()) * 9 / 10);
    int p = FPosition;
    switch (code) {
    case SB_LINEUP: p -= FIncrement; break;
    case SB_LINEDOWN: p += FIncrement; break;
    case SB_PAGEUP: p -= page; break;
    case SB_PAGEDOWN: p += page; break;
    case SB_THUMBTRACK:
        if (!FTracking) return;
        p = pos;
        break;
    case SB_THUMBPOSITION: p = pos; break;
    case SB_TOP: p = 0; break;
    case SB_BOTTOM: p = MaxPosition(); break;
    default: return;
    }
    SetPosition(p);
}

// ---- the scrolling window ---------------------------------------------------------------------

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner), FHorz(std::make_unique<TControlScrollBar>(this, true)),
      FVert(std::make_unique<TControlScrollBar>(this, false))
{
    TControlStyle cs = ControlStyle();
    cs.Include(csAcceptsControls);
    SetControlStyle(cs);
}

TScrollingWinControl::~TScrollingWinControl()
{
    FHorz->FControl = nullptr;
    FVert->FControl = nullptr;
}

void TScrollingWinControl::SetAutoScroll(bool v)
{
    FAutoScroll = v;
    UpdateScrollBars();
}

void TScrollingWinControl::ScrollTo(TControlScrollBar* bar, int pos)
{
    pos = std::clamp(pos, 0, bar->MaxPosition());
    int delta = pos - bar->FPosition;
    if (delta == 0) return;
    bar->FPosition = pos;
    // The children move against the scroll; the aligned ones stay.
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Align() != alNone) continue;
        if (bar->Horizontal()) c->SetLeft(c->Left() - delta);
        else c->SetTop(c->Top() - delta);
    }
    EnableAlign();
    if (HandleAllocated()) {
        TScrollInfo si;
        si.fMask = SIF_POS;
        si.nPos = pos;
        SetScrollInfo(Handle(), bar->Horizontal() ? SB_HORZ : SB_VERT, &si, 1);
    }
    Invalidate();
}

void TScrollingWinControl::UpdateScrollBars()
{
    if (FUpdating || !FHorz || !FVert) return;
    FUpdating = true;
    // The bars' space changes the client area, which may change the need for the other bar: settle it.
    for (int round = 0; round < 3; ++round) {
        if (FAutoScroll) {
            // The extent of the children, in unscrolled coordinates.
            int right = 0, bottom = 0;
            for (int i = 0; i < ControlCount(); ++i) {
                TControl* c = Controls(i);
                if (!c->Visible() || c->Align() != alNone) continue;
                right = std::max(right, c->Left() + c->Width() + FHorz->FPosition);
                bottom = std::max(bottom, c->Top() + c->Height() + FVert->FPosition);
            }
            FHorz->FRange = right > 0 ? right + FHorz->FMargin : 0;
            FVert->FRange = bottom > 0 ? bottom + FVert->FMargin : 0;
        }
        if (!HandleAllocated()) break;
        TRect before = NonClientInsets();
        for (TControlScrollBar* bar : {FHorz.get(), FVert.get()}) {
            TRect c = ClientRect();
            int page = bar->Horizontal() ? c.Width() : c.Height();
            TScrollInfo si;
            si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            if (bar->IsScrollBarVisible()) {
                si.nMin = 0;
                si.nMax = bar->FRange - 1;
                si.nPage = UINT(std::max(1, page));
                si.nPos = std::min(bar->FPosition, bar->MaxPosition());
            } else {
                si.nMin = 0;
                si.nMax = 0;
                si.nPage = 1;
                si.nPos = 0;
            }
            SetScrollInfo(Handle(), bar->Horizontal() ? SB_HORZ : SB_VERT, &si, 1);
        }
        if (NonClientInsets() == before) break;
    }
    FUpdating = false;
    // A shrunk range may leave the position beyond its end.
    for (TControlScrollBar* bar : {FHorz.get(), FVert.get()})
        if (bar->FPosition > bar->MaxPosition()) ScrollTo(bar, bar->MaxPosition());
}

void TScrollingWinControl::AlignControls(TControl* control, TRect& rect)
{
    TWinControl::AlignControls(control, rect);
    UpdateScrollBars();
}

void TScrollingWinControl::Resize()
{
    TWinControl::Resize();
    UpdateScrollBars();
}

void TScrollingWinControl::CreateWindowDone()
{
    TWinControl::CreateWindowDone();
    UpdateScrollBars();
}

void TScrollingWinControl::ScrollInView(TControl* control)
{
    if (!control || control->Parent() != this) return;
    TRect c = ClientRect();
    if (control->Left() < 0) FHorz->SetPosition(FHorz->FPosition + control->Left());
    else if (control->Left() + control->Width() > c.Width())
        FHorz->SetPosition(FHorz->FPosition + std::min(control->Left(), control->Left() + control->Width() - c.Width()));
    if (control->Top() < 0) FVert->SetPosition(FVert->FPosition + control->Top());
    else if (control->Top() + control->Height() > c.Height())
        FVert->SetPosition(FVert->FPosition + std::min(control->Top(), control->Top() + control->Height() - c.Height()));
}

void TScrollingWinControl::WMHScroll(TMessage& m)
{
    TWMScroll s(m);
    FHorz->ScrollMessage(s.ScrollCode(), s.Pos());
    m.Result = 0;
}

void TScrollingWinControl::WMVScroll(TMessage& m)
{
    TWMScroll s(m);
    FVert->ScrollMessage(s.ScrollCode(), s.Pos());
    m.Result = 0;
}

void TScrollingWinControl::WMMouseWheel2(TMessage& m)
{
    TWMMouseWheel w(m);
    if (DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), Point(w.XPos(), w.YPos()))) {
        m.Result = 1;
        return;
    }
    // Three lines a notch.
    int lines = Mouse ? Mouse->WheelScrollLines() : 3;
    FVert->SetPosition(FVert->FPosition - w.WheelDelta() * lines * FVert->FIncrement / WHEEL_DELTA);
    m.Result = 1;
}

// ---- scroll box -------------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner)
{
    SetBounds(0, 0, 185, 41);
    TControlStyle cs = ControlStyle();
    cs.Include(csSetCaption);
    cs.Include(csDoubleClicks);
    SetControlStyle(cs);
}

void TScrollBox::SetBorderStyle(TBorderStyle v)
{
    if (FBorderStyle == v) return;
    FBorderStyle = v;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& p)
{
    TScrollingWinControl::CreateParams(p);
    if (FBorderStyle == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::PaintWindow(HDC dc)
{
    HBRUSH b = CreateSolidBrush(ColorToRGB(Color()));
    TRect r = ClientRect();
    FillRect(dc, r, b);
    DeleteObject(b);
}
