#include "cxCalendar.h"

#include "DateUtils.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Windows.h"
#include "cxDateUtils.h"
#include "cxEditPaintUtils.h"
#include "cxFormats.h"
#include "cxGraphics.h"
#include "cxLookAndFeelPainters.h"

#include <algorithm>
#include <cmath>

QZ_CLASS_IMPL(TMonthListBox, TcxCustomPopupWindow)
QZ_CLASS_IMPL(TcxCustomCalendar, TcxControl)
QZ_CLASS_IMPL(TcxPopupCalendar, TcxCustomCalendar)

using cxClasses::GetResourceString;
using cxDateUtils::NullDate;

namespace {
const TcxResourceStringRec cxSDatePopupToday = {"cxSDatePopupToday", "Today"};
const TcxResourceStringRec cxSDatePopupClear = {"cxSDatePopupClear", "Clear"};

bool IsRealDate(TDateTime D)
{
    return D >= cxCalendar::MinCalendarDate() && D < cxCalendar::MaxCalendarDate() + 1;
}

void Decode(TDateTime D, int& Y, int& M, int& Day)
{
    uint16_t y, m, d;
    DecodeDate(D, y, m, d);
    Y = y;
    M = m;
    Day = d;
}

TDateTime FirstOfMonth(TDateTime D)
{
    int y, m, d;
    Decode(D, y, m, d);
    return EncodeDate(y, m, 1);
}

int FontSize(TFont* AFont) { return std::abs(AFont->Size()); }
}  // namespace

namespace cxCalendar {
TDateTime MinCalendarDate() { return EncodeDate(1, 1, 1); }
TDateTime MaxCalendarDate() { return EncodeDate(9999, 12, 31); }
}  // namespace cxCalendar

// ---- the month list ------------------------------------------------------------------------------------

TMonthListBox::TMonthListBox(TWinControl* AOwnerControl) : TcxCustomPopupWindow(AOwnerControl)
{
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
    FTopDate = NullDate;
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(200);
    FTimer->OnTimer = [this](TObject* s) { DoTimer(s); };
    SetTakesFocus(false);
    SetTopMostWithOwner(true);
}

TMonthListBox::~TMonthListBox() = default;

void TMonthListBox::BeforeDestruction()
{
    FTimer.reset();
    TcxCustomPopupWindow::BeforeDestruction();
}

TcxCustomCalendar* TMonthListBox::Calendar() const { return dynamic_cast<TcxCustomCalendar*>(OwnerControl()); }

UINT TMonthListBox::ScrollInterval(int ADistance, int AItemHeight)
{
    static const UINT kIntervals[4] = {500, 250, 100, 50};
    int steps = AItemHeight > 0 ? std::abs(ADistance) / AItemHeight : 3;
    return kIntervals[std::min(steps, 3)];
}

void TMonthListBox::Popup(TWinControl* AFocusedControl)
{
    TcxCustomCalendar* c = Calendar();
    if (!c) return;
    Font()->Assign(c->Font());
    FItemHeight = c->HeaderHeight() - 2;
    int w = 6 * c->ColWidth() + 2, h = 7 * FItemHeight + 2;
    SetBounds(Left(), Top(), w, h);
    int y, m, d;
    Decode(c->FirstDate(), y, m, d);
    cxDateUtils::ShiftMonth(y, m, -3);
    FTopDate = y >= 1 ? EncodeDate(y, m, 1) : NullDate;
    if (FTopDate == NullDate) {
        // Near the first months: the list still shows seven real months.
        FTopDate = cxCalendar::MinCalendarDate();
    }
    const TRect& cap = c->HeaderCaptionRect();
    TPoint centre = c->ClientToScreen(TPoint{(cap.Left + cap.Right) / 2, (cap.Top + cap.Bottom) / 2});
    FOrigin = TPoint{centre.X - w / 2, centre.Y - h / 2};
    FItemIndex = 3;
    TcxCustomPopupWindow::Popup(AFocusedControl);
}

void TMonthListBox::DoShowed()
{
    TcxCustomPopupWindow::DoShowed();
    SetCaptureControl(this);
}

void TMonthListBox::ClosePopup(bool ACallCloseQuery)
{
    if (GetCaptureControl() == this) SetCaptureControl(nullptr);
    FTimer->SetEnabled(false);
    TcxCustomCalendar* c = Calendar();
    if (c && FItemIndex >= 0 && FTopDate != NullDate) {
        int y, m, d;
        Decode(FTopDate, y, m, d);
        cxDateUtils::ShiftMonth(y, m, FItemIndex);
        if (y >= 1 && y <= 9999) c->SetFirstDate(EncodeDate(y, m, 1));
    }
    TcxCustomPopupWindow::ClosePopup(ACallCloseQuery);
}

void TMonthListBox::ShiftTop(int AMonths)
{
    int y, m, d;
    Decode(FTopDate, y, m, d);
    cxDateUtils::ShiftMonth(y, m, AMonths);
    // The seven rows stay within years 1 to 9999.
    int last = y * 12 + m - 1 + 6;
    if (y < 1 || last > 9999 * 12 + 11) return;
    FTopDate = EncodeDate(y, m, 1);
    Invalidate();
}

void TMonthListBox::DoTimer(TObject*) { ShiftTop(FSign); }

void TMonthListBox::ListMouseMove(int X, int Y)
{
    int h = ClientHeight();
    if (X >= 0 && X < ClientWidth() && Y >= 0 && Y < h) {
        FTimer->SetEnabled(false);
        int index = FItemHeight > 0 ? std::min(Y / FItemHeight, 6) : -1;
        if (index != FItemIndex) {
            FItemIndex = index;
            Invalidate();
        }
        return;
    }
    if (FItemIndex != -1) {
        FItemIndex = -1;
        Invalidate();
    }
    int d;
    if (Y < 0) d = Y;
    else if (Y >= h) d = Y + 1 - h;
    else {
        FTimer->SetEnabled(false);
        return;
    }
    FSign = d < 0 ? -1 : 1;
    UINT interval = ScrollInterval(d, FItemHeight);
    if (!FTimer->Enabled() || FTimer->Interval() != interval) {
        FTimer->SetInterval(interval);
        FTimer->SetEnabled(true);
    }
}

void TMonthListBox::ListMouseUp() { ClosePopup(); }

void TMonthListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxCustomPopupWindow::MouseMove(Shift, X, Y);
    ListMouseMove(X, Y);
}

void TMonthListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxCustomPopupWindow::MouseUp(Button, Shift, X, Y);
    ListMouseUp();
}

void TMonthListBox::Paint()
{
    TcxCanvas canvas(Canvas());
    TRect r{0, 0, ClientWidth(), ClientHeight()};
    canvas.FrameRect(r, clWindowText);
    InflateRect(r, -1, -1);
    canvas.SetFont(Font());
    if (FTopDate == NullDate) return;
    int y, m, d;
    Decode(FTopDate, y, m, d);
    for (int i = 0; i < 7; ++i) {
        TRect row{r.Left, r.Top + i * FItemHeight, r.Right, r.Top + (i + 1) * FItemHeight};
        bool hot = i == FItemIndex;
        canvas.FillRect(row, hot ? clWindowText : clWindow);
        Canvas()->Font()->SetColor(hot ? clWindow : clWindowText);
        Canvas()->Brush()->SetStyle(bsClear);
        if (y <= 9999) canvas.DrawText(TcxCustomCalendar::MonthCaption(EncodeDate(y, m, 1)), row,
                                       ctfCenterH | ctfCenterV | ctfSingleLine);
        Canvas()->Brush()->SetStyle(bsSolid);
        cxDateUtils::NextMonth(y, m);
    }
}

// ---- the calendar ----------------------------------------------------------------------------------------

TcxCustomCalendar::TcxCustomCalendar(TComponent* AOwner) : TcxControl(AOwner)
{
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
    FSelectDate = Date();
    FFirstDate = FirstOfMonth(FSelectDate);
    SetBounds(Left(), Top(), 20, 20);
    FTimer = std::make_unique<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(200);
    FTimer->OnTimer = [this](TObject* s) { DoTimer(s); };
    FMonthList = std::make_unique<TMonthListBox>(this);
    SetWantedKeys(TcxWantedKeys{wkAll, wkArrows, wkChars, wkTab});
    FTodayButton = new TButton(this);
    FTodayButton->SetCaption(GetResourceString(&cxSDatePopupToday));
    FTodayButton->OnClick = [this](TObject* s) { TodayClick(s); };
    FClearButton = new TButton(this);
    FClearButton->SetCaption(GetResourceString(&cxSDatePopupClear));
    FClearButton->OnClick = [this](TObject* s) { ClearClick(s); };
    FTodayButton->SetParent(this);
    FClearButton->SetParent(this);
    FDateButtons = TDateButtons{btnClear, btnToday};
    FFlat = true;
    FLayoutDone = true;
    CalculateLayout();
}

TcxCustomCalendar::~TcxCustomCalendar() = default;

void TcxCustomCalendar::BeforeDestruction()
{
    FTimer.reset();
    if (FMonthList && FMonthList->IsPoppedUp()) FMonthList->ClosePopup();
    TcxControl::BeforeDestruction();
}

void TcxCustomCalendar::CreateWnd()
{
    TcxControl::CreateWnd();
    FontChanged();
}

void TcxCustomCalendar::FontChanged()
{
    TcxControl::FontChanged();
    CalculateLayout();
}

int TcxCustomCalendar::GetSpacing() { return FontSize(Font()) / 2; }

TPoint TcxCustomCalendar::GetButtonsOffset()
{
    int o = MulDiv(FontSize(Font()), 3, 4);
    return TPoint{o, o};
}

TDateTime TcxCustomCalendar::GetLastDate()
{
    int y, m, d;
    Decode(FFirstDate, y, m, d);
    return EncodeDate(y, m, cxDateUtils::GetDaysInMonth(y, m));
}

int TcxCustomCalendar::ColOfDate(TDateTime ADate) const
{
    int first = cxFormats::GetFormatController()->StartOfWeek();
    int diff = DayOfWeek(ADate) - first;
    return diff > 0 ? diff - 1 : diff + 6;
}

TDateTime TcxCustomCalendar::GetFirstVisibleDate()
{
    int col = ColOfDate(FFirstDate);
    return FFirstDate - (col == 0 ? 7 : col);
}

TDateTime TcxCustomCalendar::GetLastVisibleDate() { return GetFirstVisibleDate() + 41; }

TSize TcxCustomCalendar::GetSize()
{
    FFullWidth = 2 * FSideWidth + 7 * FColWidth;
    int h = FHeaderHeight + 6 * FRowHeight + FDaysOfWeekHeight + 1;
    if (!FDateButtons.Empty()) h += FFooterHeight;
    return TSize{FFullWidth, h + 1};
}

void TcxCustomCalendar::SetDateButtons(TDateButtons Value)
{
    FDateButtons = Value;
    FClearButton->SetVisible(Value.Contains(btnClear));
    FTodayButton->SetVisible(Value.Contains(btnToday));
    CalculateLayout();
}

void TcxCustomCalendar::SetFlat(bool Value)
{
    FFlat = Value;
    CalculateLayout();
}

void TcxCustomCalendar::CalculateLayout()
{
    if (!FLayoutDone) return;
    FTodayButton->SetTabStop(false);
    FTodayButton->SetTabOrder(1);
    FClearButton->SetTabStop(false);
    FClearButton->SetTabOrder(3);
    TcxCanvas* c = Canvas();
    c->SetFont(Font());
    int zw = c->TextWidth("0"), zh = c->TextHeight("0");
    FColWidth = 3 * zw;
    FSideWidth = 2 * zw;
    FRowHeight = zh + 2;
    FHeaderHeight = zh + 5;
    FDaysOfWeekHeight = FRowHeight + 1;
    FButtonWidth = std::max(c->TextWidth(FClearButton->Caption()), c->TextWidth(FTodayButton->Caption())) + FColWidth;
    FSpacing = GetSpacing();
    FButtonHeight = MulDiv(c->TextHeight("Wg"), 20, 13) + 1;
    FFooterHeight = MulDiv(FontSize(Font()), 3, 4) + FButtonHeight + FSpacing;

    TSize s = GetSize();
    SetBounds(Left(), Top(), s.cx, s.cy);
    int w = s.cx, bw = FButtonWidth;
    int by = s.cy - FFooterHeight + FSpacing;
    bool today = FDateButtons.Contains(btnToday), clear = FDateButtons.Contains(btnClear);
    if (today && clear) {
        int gap = (w - 2 * bw) / 3;
        FTodayButton->SetBounds(gap, by, bw + 1, FButtonHeight);
        FClearButton->SetBounds(w - bw - gap, by, bw + 1, FButtonHeight);
    } else {
        int x = (w - bw) / 2;
        FTodayButton->SetBounds(x, by, bw + 1, FButtonHeight);
        FClearButton->SetBounds(x, by, bw + 1, FButtonHeight);
    }
    int m = FFlat ? 0 : 1;
    FLeftArrowRect = TRect{m, m, FColWidth + m - 2, FHeaderHeight - 1};
    FRightArrowRect = TRect{w - m - FColWidth + 2, m, w - m, FHeaderHeight - 1};
    FHeaderCaptionRect = TRect{FLeftArrowRect.Right, 0, FRightArrowRect.Left, FHeaderHeight};
    FHeaderRect = TRect{0, 0, w, FHeaderHeight};
    FDaysRect = TRect{0, FHeaderHeight + 1, w, FHeaderHeight + 1 + FDaysOfWeekHeight + 6 * FRowHeight + 1};
    Invalidate();
}

bool TcxCustomCalendar::CanResize(int& NewWidth, int& NewHeight)
{
    if (FColWidth > 0) {
        TSize s = GetSize();
        NewWidth = s.cx;
        NewHeight = s.cy;
    }
    return true;
}

void TcxCustomCalendar::SetFirstDate(TDateTime Value)
{
    if (!IsRealDate(Value)) return;
    TDateTime first = FirstOfMonth(Value);
    if (first == FFirstDate) return;
    FFirstDate = first;
    Invalidate();
}

void TcxCustomCalendar::SetSelectDate(TDateTime Value)
{
    // Dates beyond years 1 to 9999 cannot be shown: the selection stays.
    if (Value != NullDate && !IsRealDate(Value)) return;
    if (Value == FSelectDate) return;
    FSelectDate = Value;
    if (Value != NullDate) {
        if (std::floor(Value) < GetFirstVisibleDate()) {
            int y, m, d;
            Decode(Value, y, m, d);
            cxDateUtils::PrevMonth(y, m);
            // No month before January 1: the date is in its own month's grid then.
            FFirstDate = y >= 1 ? EncodeDate(y, m, 1) : FirstOfMonth(Value);
        }
        if (std::floor(Value) > GetLastVisibleDate()) FFirstDate = FirstOfMonth(Value);
    }
    Invalidate();
}

TDateTime TcxCustomCalendar::GetDateAtPoint(const TPoint& P)
{
    TRect client{0, 0, ClientWidth(), ClientHeight()};
    if (!PtInRect(client, P)) return NullDate;
    int top = FDaysRect.Top + FDaysOfWeekHeight + 1;
    if (P.X < FSideWidth || P.X >= FSideWidth + 7 * FColWidth || P.Y < top || P.Y >= top + 6 * FRowHeight ||
        FColWidth <= 0 || FRowHeight <= 0)
        return NullDate;
    int col = (P.X - FSideWidth) / FColWidth, row = (P.Y - top) / FRowHeight;
    TDateTime d = GetFirstVisibleDate() + row * 7 + col;
    return IsRealDate(d) ? d : NullDate;
}

std::string TcxCustomCalendar::MonthCaption(TDateTime AFirstDate)
{
    int y, m, d;
    Decode(AFirstDate, y, m, d);
    return FormatSettings.LongMonthNames[size_t(m - 1)] + " " + std::to_string(y);
}

std::string TcxCustomCalendar::DayLetter(int AWeekDay)
{
    std::u16string name = Utf8ToUtf16(FormatSettings.ShortDayNames[size_t(((AWeekDay % 7) + 7) % 7)]);
    if (name.empty()) return std::string();
    TFontCharset cs = Font()->Charset();
    // The system's own character set stands in for the default one.
    if (cs == DEFAULT_CHARSET) cs = GB2312_CHARSET;
    bool last = cs == GB2312_CHARSET || cs == CHINESEBIG5_CHARSET || cs == ARABIC_CHARSET;
    return Utf16ToUtf8(name.substr(last ? name.size() - 1 : 0, 1));
}

void TcxCustomCalendar::StepMonth(int ADelta)
{
    int y, m, d;
    Decode(FFirstDate, y, m, d);
    cxDateUtils::ShiftMonth(y, m, ADelta);
    // The calendar ends with December 9999 and starts with January 1.
    if (y < 1 || y > 9999) return;
    SetFirstDate(EncodeDate(y, m, 1));
}

void TcxCustomCalendar::DoDateChosen(TDateTime ADate)
{
    if (OnDateChosen) OnDateChosen(this, ADate);
}

void TcxCustomCalendar::TodayClick(TObject*)
{
    SetSelectDate(Date());
    DoDateChosen(FSelectDate);
    HidePopup();
}

void TcxCustomCalendar::ClearClick(TObject*)
{
    SetSelectDate(NullDate);
    DoDateChosen(NullDate);
    HidePopup();
}

void TcxCustomCalendar::HidePopup()
{
    if (FTimer) FTimer->SetEnabled(false);
    if (FMonthList) {
        FMonthList->ScrollTimer()->SetEnabled(false);
        if (FMonthList->IsPoppedUp()) FMonthList->ClosePopup();
    }
}

void TcxCustomCalendar::DoTimer(TObject*)
{
    // Repeats the arrow while the pointer stays on it.
    const TPoint& p = FMousePos;
    if (FLastArrow < 0 && PtInRect(FLeftArrowRect, p)) StepMonth(-1);
    else if (FLastArrow > 0 && PtInRect(FRightArrowRect, p)) StepMonth(1);
}

void TcxCustomCalendar::UpdateHotArea(const TPoint& P)
{
    int area = PtInRect(FHeaderCaptionRect, P) ? 1 : 0;
    if (area != FHotArea) {
        FHotArea = area;
        InvalidateRect(FHeaderCaptionRect, false);
    }
}

void TcxCustomCalendar::MouseEnter(TControl* AControl)
{
    TcxControl::MouseEnter(AControl);
    UpdateHotArea(ScreenToClient(cxControls::GetMouseCursorPos()));
}

void TcxCustomCalendar::MouseLeave(TControl* AControl)
{
    TcxControl::MouseLeave(AControl);
    UpdateHotArea(TPoint{-1, -1});
}

void TcxCustomCalendar::KeyDown(WORD& Key, TShiftState Shift)
{
    if (FSelectDate != NullDate) {
        TDateTime d = std::floor(FSelectDate);
        bool ctrl = Shift == TShiftState{ssCtrl};
        int y, m, day;
        Decode(d, y, m, day);
        TDateTime next = d;
        switch (Key) {
        case VK_PRIOR:
        case VK_NEXT:
            if (Key == VK_PRIOR) cxDateUtils::PrevMonth(y, m);
            else cxDateUtils::NextMonth(y, m);
            next = y >= 1 && y <= 9999 ? EncodeDate(y, m, std::min(day, cxDateUtils::GetDaysInMonth(y, m))) : d;
            break;
        case VK_HOME: next = ctrl ? EncodeDate(y, m, 1) : d - ColOfDate(d); break;
        case VK_END:
            next = ctrl ? EncodeDate(y, m, cxDateUtils::GetDaysInMonth(y, m)) : d + 6 - ColOfDate(d);
            break;
        case VK_LEFT: next = d - 1; break;
        case VK_RIGHT: next = d + 1; break;
        case VK_UP:
            if (Shift != TShiftState{ssAlt}) next = d - 7;
            break;
        case VK_DOWN:
            if (Shift != TShiftState{ssAlt}) next = d + 7;
            break;
        default: break;
        }
        if (next != d) SetSelectDate(next);
    }
    TcxControl::KeyDown(Key, Shift);
}

void TcxCustomCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxControl::MouseDown(Button, Shift, X, Y);
    FDoubleClickRelease = Shift.Contains(ssDouble);
    FMousePos = TPoint{X, Y};
    if (Button != mbLeft) return;
    TPoint p{X, Y};
    UpdateHotArea(p);
    TDateTime d = GetDateAtPoint(p);
    if (d != NullDate) {
        SetSelectDate(d);
        return;
    }
    if (PtInRect(FLeftArrowRect, p) || PtInRect(FRightArrowRect, p)) {
        FLastArrow = PtInRect(FLeftArrowRect, p) ? -1 : 1;
        StepMonth(FLastArrow);
        FTimer->SetEnabled(true);
        return;
    }
    TRect cap = FHeaderCaptionRect;
    if (!FFlat) ++cap.Top;
    --cap.Bottom;
    if (PtInRect(cap, p)) FMonthList->Popup(this);
}

void TcxCustomCalendar::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxControl::MouseMove(Shift, X, Y);
    FMousePos = TPoint{X, Y};
    UpdateHotArea(TPoint{X, Y});
    if (Shift.Contains(ssLeft) && !FTimer->Enabled()) {
        TDateTime d = GetDateAtPoint(TPoint{X, Y});
        // The selection follows the pointer without moving the shown month.
        if (d != NullDate && d != FSelectDate) {
            FSelectDate = d;
            InvalidateRect(FDaysRect, false);
        }
    }
}

void TcxCustomCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TcxControl::MouseUp(Button, Shift, X, Y);
    if (FTimer->Enabled()) {
        FTimer->SetEnabled(false);
        return;
    }
    TPoint p{X, Y};
    if (PtInRect(FHeaderCaptionRect, p)) return;
    if (!PtInRect(TRect{0, 0, ClientWidth(), ClientHeight()}, p)) return;
    HidePopup();
    if (FDoubleClickRelease) return;
    TDateTime d = GetDateAtPoint(p);
    if (d != NullDate) DoDateChosen(d);
}

bool TcxCustomCalendar::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TcxControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    TPoint p = ScreenToClient(MousePos);
    if (!PtInRect(FHeaderCaptionRect, p)) return false;
    StepMonth(WheelDelta > 0 ? -1 : 1);
    return true;
}

void TcxCustomCalendar::Paint()
{
    TcxCanvas* c = Canvas();
    TCanvas* raw = c->Canvas();
    int w = ClientWidth();
    c->SetFont(Font());

    // Header: arrows, caption, bottom edge.
    const TcxCustomLookAndFeelPainterClass painter = TcxUltraFlatLookAndFeelPainter::Instance();
    c->FillRect(FHeaderRect, clBtnFace);
    painter->DrawArrow(c, FLeftArrowRect, paLeft, clBtnText);
    painter->DrawArrow(c, FRightArrowRect, paRight, clBtnText);
    raw->Font()->SetColor(FHotArea == 1 ? cxEditUtils::GetHotLightColor() : clBtnText);
    raw->Brush()->SetStyle(bsClear);
    c->DrawText(MonthCaption(FFirstDate), FHeaderCaptionRect, ctfCenterH | ctfCenterV | ctfSingleLine);
    raw->Brush()->SetStyle(bsSolid);
    if (FFlat) c->FillRect(TRect{0, FHeaderHeight - 1, w, FHeaderHeight}, clBtnText);
    else c->DrawEdge(FHeaderRect, false, false);

    // Day names.
    TRect area{0, FHeaderHeight, w, ClientHeight()};
    c->FillRect(area, Color());
    int namesTop = FDaysRect.Top;
    int sepY = namesTop + FDaysOfWeekHeight - 1;
    c->FillRect(TRect{FSideWidth, sepY, w - FSideWidth, sepY + 1}, clBtnShadow);
    c->FillRect(TRect{FSideWidth, sepY + 1, w - FSideWidth, sepY + 2}, clWindow);
    int first = cxFormats::GetFormatController()->StartOfWeek();
    raw->Brush()->SetStyle(bsClear);
    for (int t = 0; t < 7; ++t) {
        TRect cell{FSideWidth + t * FColWidth, namesTop, FSideWidth + (t + 1) * FColWidth - 3, sepY};
        raw->Font()->SetColor(clBtnText);
        c->DrawText(DayLetter(first + t), cell, ctfRight | ctfCenterV | ctfSingleLine);
    }
    raw->Brush()->SetStyle(bsSolid);

    // Days.
    int top = sepY + 2;
    TDateTime today = std::floor(Date()), firstVisible = GetFirstVisibleDate();
    int shownMonth, shownYear, dummy;
    Decode(FFirstDate, shownYear, shownMonth, dummy);
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 7; ++col) {
            TDateTime d = firstVisible + row * 7 + col;
            TRect cell{FSideWidth + col * FColWidth, top + row * FRowHeight, FSideWidth + (col + 1) * FColWidth,
                       top + (row + 1) * FRowHeight};
            if (!IsRealDate(d)) continue;   // before year 1 or after 9999: no day
            bool selected = FSelectDate != NullDate ? d == std::floor(FSelectDate) : d == today;
            c->FillRect(cell, selected ? clHighlight : Color());
            TRect text = cell;
            if (d == today) {
                c->FrameRect(cell, clMaroon);
                InflateRect(text, -1, -1);
            }
            int y, m, day;
            Decode(d, y, m, day);
            raw->Font()->SetColor(selected ? clHighlightText : m != shownMonth ? clGrayText : clWindowText);
            raw->Brush()->SetStyle(bsClear);
            text.Right -= 3;
            c->DrawText(std::to_string(day), text, ctfRight | ctfCenterV | ctfSingleLine);
            raw->Brush()->SetStyle(bsSolid);
        }

    if (!FDateButtons.Empty()) {
        int fy = ClientHeight() - FFooterHeight;
        c->FillRect(TRect{FSideWidth, fy, w - FSideWidth, fy + 1}, clBtnShadow);
    }
}

// ---- the popup calendar ---------------------------------------------------------------------------------

void TcxPopupCalendar::HidePopup()
{
    TcxCustomCalendar::HidePopup();
    if (OnHidePopup) OnHidePopup(this);
}

void TcxPopupCalendar::KeyDown(WORD& Key, TShiftState Shift)
{
    WORD key = Key;
    TcxCustomCalendar::KeyDown(Key, Shift);
    switch (key) {
    case VK_RETURN:
        if (!MonthList()->IsPoppedUp()) {
            HidePopup();
            DoDateChosen(SelectDate());
        }
        break;
    case VK_ESCAPE: HidePopup(); break;
    case VK_UP:
    case VK_DOWN:
        if (Shift == TShiftState{ssAlt}) HidePopup();
        break;
    case VK_F4:
        if (!Shift.Contains(ssAlt)) HidePopup();
        break;
    default: break;
    }
}

void TcxPopupCalendar::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxCustomCalendar::MouseMove(Shift, X, Y);
    // Dragged out of the calendar: the edit's own date shows again.
    if (Shift.Contains(ssLeft) && !PtInRect(TRect{0, 0, ClientWidth(), ClientHeight()}, TPoint{X, Y}))
        SetSelectDate(EditDate);
}
