#include "frxCtrls.h"

#include "Graphics.h"

#include <algorithm>

QZ_CLASS_IMPL(TfrxScrollWin, TCustomControl)

TfrxScrollWin::TfrxScrollWin(TComponent* owner) : TCustomControl(owner) {}

void TfrxScrollWin::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TfrxScrollWin::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateBar(SB_HORZ);
    UpdateBar(SB_VERT);
}

void TfrxScrollWin::Paint()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TfrxScrollWin::UpdateBar(int bar)
{
    if (!HandleAllocated()) return;
    const bool horz = bar == SB_HORZ;
    const int range = horz ? FHorzRange : FVertRange, page = horz ? FHorzPage : FVertPage;
    TScrollInfo si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = range < page ? 0 : range;
    si.nPage = UINT(std::max(page, 0));
    si.nPos = si.nTrackPos = horz ? FHorzPosition : FVertPosition;
    SetScrollInfo(Handle(), bar, &si, 1);
}

void TfrxScrollWin::SetHorzPageSize(int n)
{
    FHorzPage = n;
    SetHorzScrollRange(FHorzRange);
}

void TfrxScrollWin::SetVertPageSize(int n)
{
    FVertPage = n;
    SetVertScrollRange(FVertRange);
}

void TfrxScrollWin::SetHorzScrollRange(int n)
{
    FHorzRange = n;
    UpdateBar(SB_HORZ);
    SetHorzScrollPos(FHorzPosition);
}

void TfrxScrollWin::SetVertScrollRange(int n)
{
    FVertRange = n;
    UpdateBar(SB_VERT);
    SetVertScrollPos(FVertPosition);
}

void TfrxScrollWin::SetHorzScrollPos(int n)
{
    n = std::clamp(n, 0, std::max(FHorzRange - FHorzPage, 0));
    if (n == FHorzPosition) return;
    const int old = FHorzPosition;
    FHorzPosition = n;
    UpdateBar(SB_HORZ);
    HorzPositionChanged(old);
}

void TfrxScrollWin::SetVertScrollPos(int n)
{
    n = std::clamp(n, 0, std::max(FVertRange - FVertPage, 0));
    if (n == FVertPosition) return;
    const int old = FVertPosition;
    FVertPosition = n;
    UpdateBar(SB_VERT);
    VertPositionChanged(old);
}

void TfrxScrollWin::ScrollMessage(TMessage& m, int bar)
{
    const bool horz = bar == SB_HORZ;
    int pos = horz ? FHorzPosition : FVertPosition;
    const int range = horz ? FHorzRange : FVertRange;
    switch (LOWORD(m.WParam)) {
    case SB_LINEUP: pos -= SmallChange; break;
    case SB_LINEDOWN: pos += SmallChange; break;
    case SB_PAGEUP: pos -= LargeChange; break;
    case SB_PAGEDOWN: pos += LargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        // The 32-bit track position, not the message's 16-bit field.
        TScrollInfo si;
        si.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(Handle(), bar, &si)) pos = si.nTrackPos;
        break;
    }
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = range; break;
    default: return;
    }
    if (horz) SetHorzScrollPos(pos);
    else SetVertScrollPos(pos);
    m.Result = 0;
}
