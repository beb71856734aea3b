// The list box a list editor places inside its container as the inner
// control. It stays a native list box but hands the container its mouse,
// keys, clicks, wheel, drag and focus (in the container's coordinates), and
// lays painter-drawn scroll bars over its own so that they follow the
// look-and-feel.
#pragma once

#include "StdCtrls.h"
#include "cxContainer.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"
#include "cxScrollBar.h"

#include <memory>

class TcxCustomInnerListBox : public TListBox, public IcxContainerInnerControl {
    QZ_CLASS(TcxCustomInnerListBox, TListBox)
public:
    explicit TcxCustomInnerListBox(TComponent* AOwner = nullptr);
    ~TcxCustomInnerListBox() override;

    // IcxContainerInnerControl
    TWinControl* GetInnerControl() override { return this; }
    TcxContainer* GetContainer() override { return Container; }

    TcxCanvas* CxCanvas() const { return FCxCanvas.get(); }
    TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
    TcxScrollBar* HorzScrollBar() const { return FHorzScrollBar; }
    TcxScrollBar* VertScrollBar() const { return FVertScrollBar; }
    bool ComputingScrollBars() const { return FComputingScrollBars; }
    int BarUpdateLockCount() const { return FBarUpdateLockCount; }

    // The container hosting the list box; nil when none.
    TcxContainer* Container = nullptr;

    virtual void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
    // Lays the painter bars over the list's own scroll bars, with their range.
    virtual void SetScrollBarsParameters();
    // The corner between the two painter bars, in window coordinates; empty
    // unless both show.
    void GetSizeGripRect(TRect& R) const;

    void Click() override;
    void DblClick() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    TComponent* GetPopupMenu() const override;
    void DragDrop(TObject* Source, int X, int Y) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;

protected:
    virtual void MouseEnter(TControl* AControl) {}
    virtual void MouseLeave(TControl* AControl);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void HScrollHandler(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void VScrollHandler(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void ScrollThrough(UINT AMsg, TcxScrollBar* ABar, TScrollCode ScrollCode, int& ScrollPos);
    TPoint ToContainer(int X, int Y) const { return Point(X + Left(), Y + Top()); }

    void WMGetDlgCode(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    QZ_BEGIN_MESSAGE_MAP
        QZ_MESSAGE_HANDLER(WM_GETDLGCODE, WMGetDlgCode)
        QZ_MESSAGE_HANDLER(WM_KILLFOCUS, WMKillFocus)
        QZ_MESSAGE_HANDLER(WM_SETFOCUS, WMSetFocus)
        QZ_MESSAGE_HANDLER(WM_LBUTTONDOWN, WMLButtonDown)
        QZ_MESSAGE_HANDLER(WM_NCPAINT, WMNCPaint)
        QZ_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, WMWindowPosChanged)
        QZ_MESSAGE_HANDLER(CM_MOUSEENTER, CMMouseEnter)
        QZ_MESSAGE_HANDLER(CM_MOUSELEAVE, CMMouseLeave)
    QZ_END_MESSAGE_MAP

    std::unique_ptr<TcxCanvas> FCxCanvas;
    TcxScrollBar* FHorzScrollBar = nullptr;
    std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
    TcxScrollBar* FVertScrollBar = nullptr;
    bool FComputingScrollBars = false;
    int FBarUpdateLockCount = 0;
};
