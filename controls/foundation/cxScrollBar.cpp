#include "cxScrollBar.h"

#include "cxWinXPPainters.h"

#include <algorithm>

namespace cxScrollBar {
const TcxResourceStringRec scxScrollBarPropertyOutOfRange = {"scxScrollBarPropertyOutOfRange",
                                                             "Scrollbar property out of range"};
}

namespace {
void DefineScrollBarProps(std::vector<TPropInfo>& props)
{
    props.push_back(PublishEnum<TcxScrollBar>("Kind", &TcxScrollBar::Kind, &TcxScrollBar::SetKind, sbHorizontal));
    props.push_back(PublishInt<TcxScrollBar>("LargeChange", &TcxScrollBar::LargeChange, &TcxScrollBar::SetLargeChange, 1));
    props.push_back(PublishObject<TcxScrollBar>("LookAndFeel", &TcxScrollBar::LookAndFeel, &TcxScrollBar::SetLookAndFeel));
    props.push_back(PublishInt<TcxScrollBar>("Max", &TcxScrollBar::Max, &TcxScrollBar::SetMax, 100));
    props.push_back(PublishInt<TcxScrollBar>("Min", &TcxScrollBar::Min, &TcxScrollBar::SetMin, 0));
    props.push_back(PublishInt<TcxScrollBar>("PageSize", &TcxScrollBar::PageSize, &TcxScrollBar::SetPageSize, 0));
    props.push_back(PublishInt<TcxScrollBar>("Position", &TcxScrollBar::Position, &TcxScrollBar::SetPosition, 0));
    props.push_back(PublishInt<TcxScrollBar>("SmallChange", &TcxScrollBar::SmallChange, &TcxScrollBar::SetSmallChange, 1));
    props.push_back(PublishBool<TcxScrollBar>("UnlimitedTracking", &TcxScrollBar::UnlimitedTracking,
                                              &TcxScrollBar::SetUnlimitedTracking, false));
    props.push_back(PublishEvent("OnChange", &TcxScrollBar::OnChange));
    props.push_back(PublishEvent("OnScroll", &TcxScrollBar::OnScroll, "TScrollEvent"));
}

bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
}  // namespace

QZ_CLASS_IMPL_PROPS(TcxScrollBar, TCustomControl, DefineScrollBarProps)

TcxScrollBar::TcxScrollBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    FOffscreenBitmap = std::make_unique<TBitmap>();
    FOffscreenCanvas = std::make_unique<TcxCanvas>(FOffscreenBitmap->Canvas());
    FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
    FLookAndFeel->AfterConstruction();
    FLookAndFeel->OnChanged = [this](TcxLookAndFeel* s, TcxLookAndFeelValues v) { LookAndFeelChanged(s, v); };
    FWidth = 121;
    SetControlStyle(TControlStyle{csCaptureMouse, csFramed, csOpaque});
    FKind = sbHorizontal;
    FHeight = GetSystemMetrics(SM_CYHSCROLL);
    FThemeNotificator = std::make_unique<TdxThemeChangedNotificator>();
    FThemeNotificator->OnThemeChanged = [this](TObject*) { ThemeChanged(); };
    FRepeatTimer = new TTimer(this);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(400);
    FRepeatTimer->OnTimer = [this](TObject* s) { RepeatTimerHandler(s); };
    FOffscreenBitmap->SetSize(FWidth, FHeight);
    CalcMinThumbSize();
    CalcArrowRects();
}

TcxScrollBar::~TcxScrollBar()
{
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
    FThemeNotificator.reset();
    FLookAndFeel.reset();
    FOffscreenCanvas.reset();
    FOffscreenBitmap.reset();
}

// ---- range -------------------------------------------------------------------------------------

void TcxScrollBar::SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool ARedraw)
{
    if (AMax < AMin || AMax < APageSize)
        throw EInvalidOperation(cxClasses::GetResourceString(&cxScrollBar::scxScrollBarPropertyOutOfRange));
    bool repaint = ARedraw && HandleAllocated();
    APosition = std::clamp(APosition, AMin, AMax);
    if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition)
        repaint = false;
    FMin = AMin;
    FMax = AMax;
    FPageSize = APageSize;
    if (APosition == FPosition) {
        CalcThumbRect();
        if (repaint) Invalidate();
    } else {
        SetEnabled(true);
        FPosition = APosition;
        CalcThumbRect();
        if (repaint) Invalidate();
        Change();
    }
}

void TcxScrollBar::SetKind(TScrollBarKind Value)
{
    if (FKind == Value) return;
    FKind = Value;
    if (ComponentState().Contains(csLoading))
        CalcArrowRects();
    else
        SetBounds(Left(), Top(), Width(), Height());
    Invalidate();
}

void TcxScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Width() > 0 && Height() > 0) {
        FOffscreenBitmap->SetSize(Width(), Height());
        CalcArrowRects();
    }
}

void TcxScrollBar::Loaded()
{
    TCustomControl::Loaded();
    CalcArrowRects();
}

void TcxScrollBar::Change()
{
    Changed();
    if (OnChange) OnChange(this);
}

void TcxScrollBar::DoScroll(TScrollCode AScrollCode, int& AScrollPos)
{
    if (OnScroll) OnScroll(this, AScrollCode, AScrollPos);
}

// ---- geometry ----------------------------------------------------------------------------------

void TcxScrollBar::CalcArrowRects()
{
    const int w = Width(), h = Height();
    if (FKind == sbHorizontal) {
        const int len = std::min(GetSystemMetrics(SM_CYHSCROLL), w / 2);
        FFirstArrowRect = {0, 0, len, h};
        FSecondArrowRect = {w - len, 0, w, h};
    } else {
        const int len = std::min(GetSystemMetrics(SM_CXVSCROLL), h / 2);
        FFirstArrowRect = {0, 0, w, len};
        FSecondArrowRect = {0, h - len, w, h};
    }
    CalcThumbRect();
}

void TcxScrollBar::CalcPageRects()
{
    FPageBeforeRect = FPageAfterRect = TRect{};
    if (IsEmptyRect(FThumbRect)) return;
    if (FKind == sbHorizontal) {
        FPageBeforeRect = {FFirstArrowRect.Right, 0, FThumbRect.Left, Height()};
        FPageAfterRect = {FThumbRect.Right, 0, FSecondArrowRect.Left, Height()};
    } else {
        FPageBeforeRect = {0, FFirstArrowRect.Bottom, Width(), FThumbRect.Top};
        FPageAfterRect = {0, FThumbRect.Bottom, Width(), FSecondArrowRect.Top};
    }
}

void TcxScrollBar::CalcThumbRect()
{
    FThumbRect = TRect{};
    CalcPageRects();
    if (!Enabled()) return;
    const bool horz = FKind == sbHorizontal;
    const int first = horz ? FFirstArrowRect.Right : FFirstArrowRect.Bottom;
    const int second = horz ? FSecondArrowRect.Left : FSecondArrowRect.Top;
    const int track = second - first;
    int start, len;
    if (FPageSize != 0) {
        len = std::min(track, MulDiv(FPageSize, track, FMax - FMin + 1));
        if (track < FMinThumbLength || FMax == FMin) return;
        len = std::max(len, FMinThumbLength);
        const int d = FMax - FMin - FPageSize + 1;
        start = first + MulDiv(track - len, std::min(FPosition - FMin, d), d);
    } else {
        len = GetSystemMetrics(horz ? SM_CXHTHUMB : SM_CYVTHUMB);
        if (track < len) return;
        if (track - len <= 0 || FMax == FMin)
            start = first;
        else
            start = first + MulDiv(track - len, FPosition - FMin, FMax - FMin);
    }
    FThumbRect = horz ? TRect{start, 0, start + len, Height()} : TRect{0, start, Width(), start + len};
    CalcPageRects();
}

int TcxScrollBar::GetPositionFromThumb() const
{
    int r = FMax - FMin;
    if (FPageSize > 0) r += 1 - FPageSize;
    if (FKind == sbHorizontal)
        return FMin + MulDiv(r, FThumbRect.Left - FFirstArrowRect.Right,
                             FSecondArrowRect.Left - FFirstArrowRect.Right - FThumbRect.Width());
    return FMin + MulDiv(r, FThumbRect.Top - FFirstArrowRect.Bottom,
                         FSecondArrowRect.Top - FFirstArrowRect.Bottom - FThumbRect.Height());
}

void TcxScrollBar::CalcMinThumbSize()
{
    FMinThumbLength = 8;
    if (FLookAndFeel->GetPainter() != TcxWinXPLookAndFeelPainter::Instance()) return;
    HTHEME t = dxThemeManager::OpenTheme(themeScrollBar);
    if (!t) return;
    const int part = FKind == sbHorizontal ? 9 : 8;
    TSize s1, s2;
    if (dxUxTheme::GetThemePartSize(t, nullptr, part, 1, nullptr, 0, s1) != dxS_OK) return;
    const bool haveTrue = dxUxTheme::GetThemePartSize(t, nullptr, part, 1, nullptr, 1, s2) == dxS_OK;
    const int a1 = FKind == sbHorizontal ? s1.cx : s1.cy;
    const int a2 = FKind == sbHorizontal ? s2.cx : s2.cy;
    FMinThumbLength = haveTrue ? std::max(a1, a2 + 4) : a1;
    if (FMinThumbLength < 8) FMinThumbLength = 8;
}

TcxScrollBarPart TcxScrollBar::GetPartAt(int X, int Y) const
{
    const TPoint p{X, Y};
    if (!PtInRect(ClientRect(), p)) return sbpNone;
    if (PtInRect(FFirstArrowRect, p)) return sbpLineUp;
    if (PtInRect(FSecondArrowRect, p)) return sbpLineDown;
    if (IsEmptyRect(FThumbRect)) return sbpNone;
    if (PtInRect(FThumbRect, p)) return sbpThumbnail;
    if (PtInRect(FPageBeforeRect, p)) return sbpPageUp;
    if (PtInRect(FPageAfterRect, p)) return sbpPageDown;
    return sbpNone;
}

// ---- scrolling ---------------------------------------------------------------------------------

void TcxScrollBar::Scroll(TScrollCode AScrollCode)
{
    int pos = FPosition;
    switch (AScrollCode) {
    case scLineUp: pos -= FSmallChange; break;
    case scLineDown: pos += FSmallChange; break;
    case scPageUp: pos -= FLargeChange; break;
    case scPageDown: pos += FLargeChange; break;
    case scTop: pos = FMin; break;
    case scBottom: pos = FMax; break;
    default: break;
    }
    pos = std::clamp(pos, FMin, FMax);
    DoScroll(AScrollCode, pos);
    pos = std::clamp(pos, FMin, FMax);
    if (pos == FPosition) return;
    if (AScrollCode == scTrack) {
        FPosition = pos;
        Invalidate();
    } else {
        SetPosition(pos);
    }
}

void TcxScrollBar::ScrollByPart(TcxScrollBarPart APart)
{
    switch (APart) {
    case sbpLineUp: Scroll(scLineUp); break;
    case sbpLineDown: Scroll(scLineDown); break;
    case sbpThumbnail: Scroll(scTrack); break;
    case sbpPageUp: Scroll(scPageUp); break;
    case sbpPageDown: Scroll(scPageDown); break;
    default: break;
    }
}

void TcxScrollBar::CNHScroll(TMessage& Message)
{
    Scroll(TScrollCode(LOWORD(Message.WParam)));
}

void TcxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FLastMousePos = {X, Y};
    const TcxScrollBarPart part = GetPartAt(X, Y);
    if (part == sbpNone) return;
    if (part == sbpThumbnail) {
        FPressMousePos = {X, Y};
        FPressPosition = FPosition;
        FPressThumbTopLeft = FThumbRect.TopLeft();
        Scroll(scTrack);
    }
    FPressedPart = FHotPart = part;
    if (part != sbpThumbnail) {
        ScrollByPart(part);
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    }
    Invalidate();
}

void TcxScrollBar::RepeatTimerHandler(TObject*)
{
    const bool repeatPart = FPressedPart == sbpLineUp || FPressedPart == sbpLineDown ||
                            FPressedPart == sbpPageUp || FPressedPart == sbpPageDown;
    if (MouseCapture() && repeatPart) {
        if (FRepeatTimer->Interval() == 400) FRepeatTimer->SetInterval(60);
        ScrollByPart(FPressedPart);
        // A page scroll moves the thumb: repeat only while the cursor is still
        // over the pressed part.
        FRepeatTimer->SetEnabled(GetPartAt(FLastMousePos.X, FLastMousePos.Y) == FPressedPart);
    } else {
        CancelScroll();
    }
}

void TcxScrollBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    FLastMousePos = {X, Y};
    const TcxScrollBarPart part = GetPartAt(X, Y);
    if (FPressedPart != sbpThumbnail) {
        if (FPressedPart != sbpNone) FRepeatTimer->SetEnabled(part == FPressedPart);
        if (part != FHotPart && FLookAndFeel->GetPainter()->HotTrackButtons()) {
            FHotPart = part;
            Invalidate();
        } else {
            FHotPart = part;
        }
        return;
    }
    const bool horz = FKind == sbHorizontal;
    TRect area = ClientRect();
    if (horz)
        InflateRect(area, 34, 136);
    else
        InflateRect(area, 136, 34);
    if (FUnlimitedTracking || PtInRect(area, {X, Y})) {
        int offset = horz ? X - FPressMousePos.X : Y - FPressMousePos.Y;
        if (offset == 0) return;
        const int len = horz ? FThumbRect.Width() : FThumbRect.Height();
        const int lo = horz ? FFirstArrowRect.Right : FFirstArrowRect.Bottom;
        const int hi = (horz ? FSecondArrowRect.Left : FSecondArrowRect.Top) - len;
        const int start0 = horz ? FPressThumbTopLeft.X : FPressThumbTopLeft.Y;
        const int start = std::clamp(start0 + offset, lo, std::max(lo, hi));
        if (horz)
            FThumbRect = {start, FThumbRect.Top, start + len, FThumbRect.Bottom};
        else
            FThumbRect = {FThumbRect.Left, start, FThumbRect.Right, start + len};
        CalcPageRects();
        Invalidate();
        const int pos = GetPositionFromThumb();
        if (pos != FPosition) {
            FPosition = pos;
            Scroll(scTrack);
        }
    } else {
        SetPosition(FPressPosition);
        Scroll(scTrack);
    }
}

void TcxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    CancelScroll();
    FHotPart = GetPartAt(X, Y);
}

void TcxScrollBar::CancelScroll()
{
    if (FPressedPart == sbpNone) return;
    if (FPressedPart == sbpThumbnail) {
        FPosition = GetPositionFromThumb();
        Scroll(scPosition);
    }
    FRepeatTimer->SetEnabled(false);
    FPressedPart = FHotPart = sbpNone;
    Scroll(scEndScroll);
    CalcThumbRect();
    Invalidate();
}

void TcxScrollBar::WMCancelMode(TMessage& Message)
{
    inherited::Dispatch(Message);
    CancelScroll();
}

void TcxScrollBar::CMEnabledChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    CalcArrowRects();
    if (!Enabled()) CancelScroll();
    Invalidate();
}

void TcxScrollBar::CMVisibleChanged(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (!Visible()) CancelScroll();
}

void TcxScrollBar::CMSysColorChange(TMessage& Message)
{
    // The track patterns are made from the system colours.
    cxLookAndFeelPainters::RebuildScrollBarTrackPatterns();
    inherited::Dispatch(Message);
}

void TcxScrollBar::CMMouseEnter(TMessage& Message)
{
    inherited::Dispatch(Message);
    MouseEnter(reinterpret_cast<TControl*>(Message.LParam));
}

void TcxScrollBar::CMMouseLeave(TMessage& Message)
{
    inherited::Dispatch(Message);
    MouseLeave(reinterpret_cast<TControl*>(Message.LParam));
}

void TcxScrollBar::MouseEnter(TControl*)
{
    const bool repeatPart = FPressedPart != sbpNone && FPressedPart != sbpThumbnail;
    if (FLookAndFeel->GetPainter()->HotTrackButtons() || repeatPart) Invalidate();
}

void TcxScrollBar::MouseLeave(TControl*)
{
    if (FPressedPart != sbpThumbnail) FHotPart = sbpNone;
    const bool repeatPart = FPressedPart != sbpNone && FPressedPart != sbpThumbnail;
    if (FLookAndFeel->GetPainter()->HotTrackButtons() || repeatPart) Invalidate();
}

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues)
{
    CalcMinThumbSize();
    CalcArrowRects();
    Invalidate();
}

void TcxScrollBar::ThemeChanged()
{
    CalcMinThumbSize();
    CalcArrowRects();
    cxLookAndFeelPainters::RebuildScrollBarTrackPatterns();
    Invalidate();
    if (Parent()) Parent()->Realign();
}

// ---- painting ----------------------------------------------------------------------------------

TcxButtonState TcxScrollBar::GetPartState(TcxScrollBarPart APart) const
{
    if (!Enabled()) return cxbsDisabled;
    const bool hotTrack = FLookAndFeel->GetPainter()->HotTrackButtons();
    if (APart == sbpThumbnail && !hotTrack) return cxbsNormal;
    if (FPressedPart != sbpNone)
        return APart == FPressedPart && APart == FHotPart ? cxbsPressed : cxbsNormal;
    if (APart == FHotPart && !ComponentState().Contains(csDesigning)) return cxbsHot;
    return cxbsNormal;
}

void TcxScrollBar::Paint()
{
    if (Width() <= 0 || Height() <= 0) return;
    if (FOffscreenBitmap->Width() != Width() || FOffscreenBitmap->Height() != Height())
        FOffscreenBitmap->SetSize(Width(), Height());
    TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->GetPainter();
    const bool horz = FKind == sbHorizontal;
    TcxCanvas* c = FOffscreenCanvas.get();
    if (!IsEmptyRect(FThumbRect))
        painter->DrawScrollBarPart(c, horz, FThumbRect, sbpThumbnail, GetPartState(sbpThumbnail));
    else
        painter->DrawScrollBarPart(c, horz, ClientRect(), sbpPageUp, Enabled() ? cxbsNormal : cxbsDisabled);
    painter->DrawScrollBarPart(c, horz, FFirstArrowRect, sbpLineUp, GetPartState(sbpLineUp));
    painter->DrawScrollBarPart(c, horz, FSecondArrowRect, sbpLineDown, GetPartState(sbpLineDown));
    if (!IsEmptyRect(FPageBeforeRect))
        painter->DrawScrollBarPart(c, horz, FPageBeforeRect, sbpPageUp, GetPartState(sbpPageUp));
    if (!IsEmptyRect(FPageAfterRect))
        painter->DrawScrollBarPart(c, horz, FPageAfterRect, sbpPageDown, GetPartState(sbpPageDown));
    Canvas()->Draw(0, 0, FOffscreenBitmap.get());
}
