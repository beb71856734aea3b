// Scrolling windows: a window whose children may reach beyond its client
// area, scrolled with the window's own bars (the scroll box).
#pragma once

#include "Controls.h"

class TScrollingWinControl;

// One of the two bars of a scrolling window. Range is the extent scrolled
// over (with AutoScroll, the children's extent); Position moves the children.
class TControlScrollBar : public TPersistent {
    QZ_CLASS(TControlScrollBar, TPersistent)
public:
    TControlScrollBar(TScrollingWinControl* control = nullptr, bool horizontal = false)
        : FControl(control), FHorizontal(horizontal) {}
    bool Horizontal() const { return FHorizontal; }
    int Range() const { return FRange; }
    void SetRange(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    // How far a line step moves.
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = std::max(1, v); }
    // Whether dragging the thumb scrolls at once (else when it is let go).
    bool Tracking() const { return FTracking; }
    void SetTracking(bool v) { FTracking = v; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    int Margin() const { return FMargin; }
    void SetMargin(int v) { FMargin = std::max(0, v); }
    // Whether the bar shows (the range goes beyond the client area).
    bool IsScrollBarVisible() const;
    // The largest position.
    int MaxPosition() const;
    // For the owner: a WM_HSCROLL/WM_VSCROLL code.
    void ScrollMessage(int code, int pos);
private:
    friend class TScrollingWinControl;
    TScrollingWinControl* FControl;
    bool FHorizontal;
    int FRange = 0, FPosition = 0, FIncrement = 8, FMargin = 0;
    bool FTracking = false, FVisible = true;
};

class TScrollingWinControl : public TWinControl {
    QZ_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* owner = nullptr);
    ~TScrollingWinControl() override;
    TControlScrollBar* HorzScrollBar() const { return FHorz.get(); }
    TControlScrollBar* VertScrollBar() const { return FVert.get(); }
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool v);
    // Scrolls so that a child shows whole (as far as it fits).
    void ScrollInView(TControl* control);
    // Works out the ranges again and shows the bars that are needed.
    void UpdateScrollBars();
    void AlignControls(TControl* control, TRect& rect) override;
protected:
    void Resize() override;
    void CreateWindowDone() override;
    void WMHScroll(TMessage& m);
    void WMVScroll(TMessage& m);
    void WMMouseWheel2(TMessage& m);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_HSCROLL, WMHScroll)
        QZ_MESSAGE_HANDLER(WM_VSCROLL, WMVScroll)
        QZ_MESSAGE_HANDLER(WM_MOUSEWHEEL, WMMouseWheel2)
    QZ_END_MESSAGE_MAP
private:
    friend class TControlScrollBar;
    void ScrollTo(TControlScrollBar* bar, int pos);
    std::unique_ptr<TControlScrollBar> FHorz, FVert;
    bool FAutoScroll = true;
    bool FUpdating = false;
};

class TScrollBox : public TScrollingWinControl {
    QZ_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* owner = nullptr);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;
private:
    TBorderStyle FBorderStyle = bsSingle;
};
