// A scroll bar window that draws itself with the look-and-feel painter:
// arrows, thumb and page areas of its own, auto-repeat on a timer, thumb
// dragging with snap-back when the mouse strays too far.
#pragma once

#include "Controls.h"
#include "ExtCtrls.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "dxThemeManager.h"

#include <memory>

QZ_ENUM_TYPEINFO(TScrollBarKind, "sbHorizontal", "sbVertical")
using TScrollBarInc = int16_t;

class TcxScrollBar : public TCustomControl {
    QZ_CLASS(TcxScrollBar, TCustomControl)
public:
    explicit TcxScrollBar(TComponent* AOwner = nullptr);
    ~TcxScrollBar() override;

    void SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool ARedraw = true);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetScrollParams(FMin, FMax, Value, FPageSize, true); }
    int Min() const { return FMin; }
    void SetMin(int Value) { SetScrollParams(Value, FMax, FPosition, FPageSize, true); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetScrollParams(FMin, Value, FPosition, FPageSize, true); }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value) { SetScrollParams(FMin, FMax, FPosition, Value, true); }
    TScrollBarInc SmallChange() const { return FSmallChange; }
    void SetSmallChange(TScrollBarInc Value) { FSmallChange = Value; }
    TScrollBarInc LargeChange() const { return FLargeChange; }
    void SetLargeChange(TScrollBarInc Value) { FLargeChange = Value; }
    bool UnlimitedTracking() const { return FUnlimitedTracking; }
    void SetUnlimitedTracking(bool Value) { FUnlimitedTracking = Value; }
    TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

    // Geometry and state, for owners and tests.
    TRect FirstArrowRect() const { return FFirstArrowRect; }
    TRect SecondArrowRect() const { return FSecondArrowRect; }
    TRect ThumbRect() const { return FThumbRect; }
    TRect PageBeforeRect() const { return FPageBeforeRect; }
    TRect PageAfterRect() const { return FPageAfterRect; }
    TcxScrollBarPart HotPart() const { return FHotPart; }
    TcxScrollBarPart PressedPart() const { return FPressedPart; }
    int MinThumbLength() const { return FMinThumbLength; }
    TcxScrollBarPart GetPartAt(int X, int Y) const;
    // The state a part is drawn in now.
    TcxButtonState GetPartState(TcxScrollBarPart APart) const;
    TTimer* RepeatTimer() const { return FRepeatTimer; }
    void Scroll(TScrollCode AScrollCode);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

protected:
    virtual void Change();
    virtual void DoScroll(TScrollCode AScrollCode, int& AScrollPos);
    virtual void MouseEnter(TControl* AControl);
    virtual void MouseLeave(TControl* AControl);
    void Paint() override;
    void Loaded() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void CalcArrowRects();
    void CalcThumbRect();
    void CalcPageRects();
    void CalcMinThumbSize();
    int GetPositionFromThumb() const;
    void ScrollByPart(TcxScrollBarPart APart);
    void CancelScroll();

private:
    void RepeatTimerHandler(TObject* Sender);
    void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
    void ThemeChanged();
    void WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }
    void WMCancelMode(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMSysColorChange(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CNHScroll(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_ERASEBKGND, WMEraseBkgnd)
        QZ_MESSAGE_HANDLER(WM_CANCELMODE, WMCancelMode)
        QZ_MESSAGE_HANDLER(CM_ENABLEDCHANGED, CMEnabledChanged)
        QZ_MESSAGE_HANDLER(CM_VISIBLECHANGED, CMVisibleChanged)
        QZ_MESSAGE_HANDLER(CM_SYSCOLORCHANGE, CMSysColorChange)
        QZ_MESSAGE_HANDLER(CM_MOUSEENTER, CMMouseEnter)
        QZ_MESSAGE_HANDLER(CM_MOUSELEAVE, CMMouseLeave)
        QZ_MESSAGE_HANDLER(CN_HSCROLL, CNHScroll)
        QZ_MESSAGE_HANDLER(CN_VSCROLL, CNHScroll)
    QZ_END_MESSAGE_MAP

    std::unique_ptr<TBitmap> FOffscreenBitmap;
    TcxScrollBarPart FPressedPart = sbpNone;
    TcxScrollBarPart FHotPart = sbpNone;
    TTimer* FRepeatTimer = nullptr;
    std::unique_ptr<TcxCanvas> FOffscreenCanvas;
    std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
    std::unique_ptr<TdxThemeChangedNotificator> FThemeNotificator;
    int FMinThumbLength = 8;
    TRect FFirstArrowRect, FSecondArrowRect, FThumbRect, FPageBeforeRect, FPageAfterRect;
    TScrollBarKind FKind = sbHorizontal;
    int FPosition = 0;
    int FPressPosition = 0;
    TPoint FPressThumbTopLeft;
    TPoint FPressMousePos;
    TPoint FLastMousePos{-1, -1};
    int FMin = 0, FMax = 100, FPageSize = 0;
    TScrollBarInc FSmallChange = 1, FLargeChange = 1;
    bool FUnlimitedTracking = false;
};

namespace cxScrollBar {
// "Scrollbar property out of range"
extern const TcxResourceStringRec scxScrollBarPropertyOutOfRange;
}
