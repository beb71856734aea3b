// The month calendar: a header with the month and year between two arrow
// buttons, one-letter day names, a grid of 6 weeks by 7 days, and "Today"
// and "Clear" buttons below. Keys, clicks and drags select a day; the
// arrows (repeating while held) and the wheel over the header change the
// month; a click on the header pops up a list of months. The popup calendar
// is the one a date edit shows below itself.
#pragma once

#include "StdCtrls.h"
#include "cxContainer.h"
#include "cxControls.h"

#include <functional>
#include <memory>

class TTimer;
class TcxCustomCalendar;

enum TDateButton { btnClear, btnToday };
using TDateButtons = TSet<TDateButton, 8>;

// The list of seven months that pops up over the calendar's header and
// scrolls while the pointer stays above or below it.
class TMonthListBox : public TcxCustomPopupWindow {
    QZ_CLASS(TMonthListBox, TcxCustomPopupWindow)
public:
    explicit TMonthListBox(TWinControl* AOwnerControl = nullptr);
    ~TMonthListBox() override;
    void BeforeDestruction() override;

    void Popup(TWinControl* AFocusedControl) override;
    void ClosePopup(bool ACallCloseQuery = false) override;
    void CalculatePosition(TPoint& P) override { P = FOrigin; }
    void DoShowed() override;

    TcxCustomCalendar* Calendar() const;
    TDateTime TopDate() const { return FTopDate; }
    int ItemIndex() const { return FItemIndex; }
    int ItemHeight() const { return FItemHeight; }
    TTimer* ScrollTimer() const { return FTimer.get(); }
    // The scrolling interval for a pointer ADistance pixels beyond the list
    // (sign ignored): 500, 250, 100 or 50 ms by whole item heights, capped at 3.
    static UINT ScrollInterval(int ADistance, int AItemHeight);
    // The mouse in the list's client coordinates.
    void ListMouseMove(int X, int Y);
    void ListMouseUp();

protected:
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void DoTimer(TObject*);
    void ShiftTop(int AMonths);
    TPoint FOrigin;
    TDateTime FTopDate;
    int FItemHeight = 0;
    int FItemIndex = 3;
    std::unique_ptr<TTimer> FTimer;
    int FSign = 1;
};

class TcxCustomCalendar : public TcxControl {
    QZ_CLASS(TcxCustomCalendar, TcxControl)
public:
    explicit TcxCustomCalendar(TComponent* AOwner = nullptr);
    ~TcxCustomCalendar() override;
    void BeforeDestruction() override;

    virtual void CalculateLayout();
    virtual int GetSpacing();
    virtual TDateTime GetLastDate();
    virtual TPoint GetButtonsOffset();
    virtual TDateTime GetFirstVisibleDate();
    virtual TDateTime GetLastVisibleDate();
    virtual TSize GetSize();
    virtual void HidePopup();
    // The date of the day cell at P, or the null date.
    virtual TDateTime GetDateAtPoint(const TPoint& P);
    virtual void SetFirstDate(TDateTime Value);
    virtual void SetSelectDate(TDateTime Value);

    // The first day of the shown month.
    TDateTime FirstDate() const { return FFirstDate; }
    TDateTime SelectDate() const { return FSelectDate; }
    TDateButtons DateButtons() const { return FDateButtons; }
    void SetDateButtons(TDateButtons Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // The column of a date in the grid, by the first day of the week.
    int ColOfDate(TDateTime ADate) const;
    // 0 none, 1 the header caption.
    int HotArea() const { return FHotArea; }
    TMonthListBox* MonthList() const { return FMonthList.get(); }
    TTimer* RepeatTimer() const { return FTimer.get(); }
    TButton* TodayButton() const { return FTodayButton; }
    TButton* ClearButton() const { return FClearButton; }
    const TRect& LeftArrowRect() const { return FLeftArrowRect; }
    const TRect& RightArrowRect() const { return FRightArrowRect; }
    const TRect& HeaderRect() const { return FHeaderRect; }
    const TRect& HeaderCaptionRect() const { return FHeaderCaptionRect; }
    const TRect& DaysRect() const { return FDaysRect; }
    int ColWidth() const { return FColWidth; }
    int RowHeight() const { return FRowHeight; }
    int HeaderHeight() const { return FHeaderHeight; }
    int DaysOfWeekHeight() const { return FDaysOfWeekHeight; }
    int SideWidth() const { return FSideWidth; }
    int FooterHeight() const { return FFooterHeight; }
    int ButtonWidth() const { return FButtonWidth; }
    int ButtonHeight() const { return FButtonHeight; }
    // The header caption: the month's long name, a blank and the year.
    static std::string MonthCaption(TDateTime AFirstDate);
    // The one-letter name of a week day (0 Sunday): the last character of
    // the short name for Chinese and Arabic fonts, else the first.
    std::string DayLetter(int AWeekDay);

    // A date was chosen (a click on a day, Enter, "Today", "Clear").
    std::function<void(TObject* Sender, TDateTime ADate)> OnDateChosen;

protected:
    void Paint() override;
    bool CanResize(int& NewWidth, int& NewHeight) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void FontChanged() override;
    void MouseEnter(TControl* AControl) override;
    void MouseLeave(TControl* AControl) override;
    void CreateWnd() override;
    void DoDateChosen(TDateTime ADate);
    // Moves the shown month by ADelta (-1, +1) within years 1 to 9999.
    void StepMonth(int ADelta);
    void UpdateHotArea(const TPoint& P);
    bool FDoubleClickRelease = false;

private:
    void DoTimer(TObject*);
    void TodayClick(TObject*);
    void ClearClick(TObject*);
    int FButtonHeight = 0;
    int FSpacing = 0;
    int FButtonWidth = 0;
    int FFooterHeight = 0;
    TDateButtons FDateButtons;
    TButton* FClearButton = nullptr;
    int FColWidth = 0;
    int FDaysOfWeekHeight = 0;
    int FFullWidth = 0;
    TDateTime FFirstDate = 0;
    bool FFlat = true;
    int FHeaderHeight = 0;
    int FHotArea = 0;
    std::unique_ptr<TMonthListBox> FMonthList;
    int FRowHeight = 0;
    TDateTime FSelectDate = 0;
    int FSideWidth = 0;
    std::unique_ptr<TTimer> FTimer;
    TButton* FTodayButton = nullptr;
    TRect FLeftArrowRect, FRightArrowRect, FDaysRect, FHeaderRect;
    int FLastArrow = 1;   // -1 left, 1 right: the arrow the repeat timer repeats
    TRect FHeaderCaptionRect;
    // Where the mouse was last seen (the repeat follows it).
    TPoint FMousePos{-1, -1};
    bool FLayoutDone = false;
};

// The calendar of a date edit's popup: Enter chooses, Esc, Alt+Up, Alt+Down
// and F4 close; dragging out of it puts back the edit's date.
class TcxPopupCalendar : public TcxCustomCalendar {
    QZ_CLASS(TcxPopupCalendar, TcxCustomCalendar)
public:
    explicit TcxPopupCalendar(TComponent* AOwner = nullptr) : TcxCustomCalendar(AOwner) {}
    void HidePopup() override;
    // The date of the edit the calendar belongs to.
    TDateTime EditDate = 0;
    TNotifyEvent OnHidePopup;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
};

namespace cxCalendar {
// The first and last dates a calendar shows (1 January 1 and 31 December 9999).
TDateTime MinCalendarDate();
TDateTime MaxCalendarDate();
}  // namespace cxCalendar
