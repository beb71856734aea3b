// The scroll bar control: a native bar whose moves go to the parent as
// scroll messages and come back reflected, so that whoever hooks the bar's
// window procedure sees them, as the window system does it.
#include "QzStdPrivate.h"
#include "StdCtrls.h"

#include <QScrollBar>

using namespace qzgui;

QZ_CLASS_IMPL(TScrollBar, TWinControl)

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
    SetTabStop(true);
}

TScrollBar::~TScrollBar() = default;

QWidget* TScrollBar::CreateWindowHandle(const TCreateParams&, QWidget* parent)
{
    return new QScrollBar(FKind == sbVertical ? Qt::Vertical : Qt::Horizontal, parent);
}

void TScrollBar::CreateWindowDone()
{
    auto* w = static_cast<QScrollBar*>(Window()->W);
    Push();
    QObject::connect(w, &QAbstractSlider::actionTriggered, w, [this, w](int action) {
        if (FPushing) return;
        int code;
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
        case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
        case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
        case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
        case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
        case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
        case QAbstractSlider::SliderMove:
            FTrackPos = w->sliderPosition();
            code = SB_THUMBTRACK;
            break;
        default: return;
        }
        TWeakRef<TControl> guard(this);
        Notify(code);
        // The bar's own position stands, whatever the native step would make of it.
        if (guard && HandleAllocated()) w->setSliderPosition(FPosition);
    });
    QObject::connect(w, &QAbstractSlider::sliderReleased, w, [this, w] {
        if (FPushing) return;
        FTrackPos = w->sliderPosition();
        TWeakRef<TControl> guard(this);
        Notify(SB_THUMBPOSITION);
        if (guard) Notify(SB_ENDSCROLL);
        if (guard) FTrackPos = FPosition;
    });
}

void TScrollBar::Push()
{
    if (!HandleAllocated()) return;
    auto* w = static_cast<QScrollBar*>(Window()->W);
    ++FPushing;
    w->setOrientation(FKind == sbVertical ? Qt::Vertical : Qt::Horizontal);
    w->setRange(FMin, LastPosition());
    w->setPageStep(std::max(1, FPageSize > 0 ? FPageSize : FLargeChange));
    w->setSingleStep(std::max(1, FSmallChange));
    w->setValue(FPosition);
    --FPushing;
}

void TScrollBar::SetKind(TScrollBarKind v)
{
    if (v == FKind) return;
    FKind = v;
    if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
    Push();
}

void TScrollBar::SetParams(int position, int min, int max)
{
    max = std::max(min, max);
    bool rangeChanged = min != FMin || max != FMax;
    FMin = min;
    FMax = max;
    FPageSize = std::min(FPageSize, FMax - FMin + 1);
    int pos = std::clamp(position, FMin, LastPosition());
    bool moved = pos != FPosition;
    FPosition = pos;
    FTrackPos = pos;
    if (rangeChanged || moved) Push();
    if (moved) Change();
}

void TScrollBar::SetPageSize(int v)
{
    v = std::clamp(v, 0, FMax - FMin + 1);
    if (v == FPageSize) return;
    FPageSize = v;
    SetParams(FPosition, FMin, FMax);
    Push();
}

void TScrollBar::ApplyScrollInfo(const TScrollInfo& si)
{
    int min = FMin, max = FMax, pos = FPosition;
    if (si.fMask & SIF_RANGE) {
        min = si.nMin;
        max = si.nMax;
    }
    if (si.fMask & SIF_PAGE) FPageSize = int(std::min<UINT>(si.nPage, UINT(std::max(min, max) - min + 1)));
    if (si.fMask & SIF_POS) pos = si.nPos;
    SetParams(pos, min, max);
    Push();
}

void TScrollBar::ReadScrollInfo(TScrollInfo& si) const
{
    if (si.fMask & SIF_RANGE) {
        si.nMin = FMin;
        si.nMax = FMax;
    }
    if (si.fMask & SIF_PAGE) si.nPage = UINT(FPageSize);
    if (si.fMask & SIF_POS) si.nPos = FPosition;
    if (si.fMask & SIF_TRACKPOS) si.nTrackPos = FTrackPos;
}

void TScrollBar::Notify(int code)
{
    const UINT msg = FKind == sbVertical ? WM_VSCROLL : WM_HSCROLL;
    const WPARAM w = MAKEWPARAM(code, std::clamp(FTrackPos, 0, 0xFFFF));
    const LPARAM l = LPARAM(HandleOf(this));
    if (TWinControl* p = Parent(); p && p->HandleAllocated()) SendMessage(p->Handle(), msg, w, l);
    else Perform(CN_BASE + msg, w, l);
}

void TScrollBar::CNScroll(TMessage& m)
{
    const int code = LOWORD(m.WParam);
    m.Result = 0;
    if (code < SB_LINEUP || code > SB_ENDSCROLL) return;
    int pos = FPosition;
    switch (code) {
    case SB_LINEUP: pos -= FSmallChange; break;
    case SB_LINEDOWN: pos += FSmallChange; break;
    case SB_PAGEUP: pos -= FLargeChange; break;
    case SB_PAGEDOWN: pos += FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = FTrackPos; break;
    case SB_TOP: pos = FMin; break;
    case SB_BOTTOM: pos = LastPosition(); break;
    default: break;
    }
    pos = std::clamp(pos, FMin, LastPosition());
    TWeakRef<TControl> guard(this);
    Scroll(TScrollCode(code), pos);
    if (guard && code != SB_ENDSCROLL) SetPosition(pos);
}

void TScrollBar::Scroll(TScrollCode scrollCode, int& scrollPos)
{
    if (OnScroll) OnScroll(this, scrollCode, scrollPos);
}

void TScrollBar::Change()
{
    if (OnChange) OnChange(this);
}

void TScrollBar::WMMouse(TMessage& m) { MouseToNative<TScrollBar, TWinControl>(this, m); }
