#include "cxCalendar.h"

#include "DateUtils.h"
#include "EditOnForm.h"
#include "ExtCtrls.h"
#include "HostServices.h"
#include "SysUtils.h"
#include "cxDateUtils.h"
#include "cxFormats.h"

#include <array>
#include <cmath>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (works for year 1).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

// The first date a month's grid shows, computed without the date routines:
// the grid starts on the first day of the week, a whole week earlier when
// the month itself starts there.
double ExpectedFirstVisible(int y, int m, int firstDay)
{
    int64_t days = DaysFromCivil(y, unsigned(m), 1);
    int weekday = int(((days + 4) % 7 + 7) % 7);   // 1970-01-01 was a Thursday; 0 = Sunday
    int col = (weekday - firstDay + 7) % 7;
    return double(days + 25569 - (col == 0 ? 7 : col));
}

struct StartOfWeekScope {
    int Old = cxFormats::GetFormatController()->StartOfWeek();
    explicit StartOfWeekScope(int AValue) { cxFormats::GetFormatController()->SetStartOfWeek(AValue); }
    ~StartOfWeekScope() { cxFormats::GetFormatController()->SetStartOfWeek(Old); }
};

class TTestCalendar : public TcxPopupCalendar {
public:
    using TcxPopupCalendar::TcxPopupCalendar;
    void Key(WORD AKey, TShiftState AShift = {})
    {
        WORD k = AKey;
        KeyDown(k, AShift);
    }
};

class CalendarTest : public TEditOnForm<TTestCalendar> {
protected:
    void SetUp() override
    {
        Clock = std::make_shared<TFixedClock>(EncodeDate(2024, 4, 10) + 0.5);
        OldClock = SetClock(Clock);
        TEditOnForm::SetUp();
        Cal = Edit;
        Cal->OnDateChosen = [this](TObject*, TDateTime d) { Chosen.push_back(d); };
    }
    void TearDown() override
    {
        TEditOnForm::TearDown();
        SetClock(OldClock);
    }
    TPoint CellCentre(int row, int col) const
    {
        int top = Cal->DaysRect().Top + Cal->DaysOfWeekHeight() + 1;
        return TPoint{Cal->SideWidth() + col * Cal->ColWidth() + Cal->ColWidth() / 2,
                      top + row * Cal->RowHeight() + Cal->RowHeight() / 2};
    }
    static TPoint Centre(const TRect& r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
    std::shared_ptr<TFixedClock> Clock;
    std::shared_ptr<IClock> OldClock;
    TTestCalendar* Cal = nullptr;
    std::vector<TDateTime> Chosen;
};

}  // namespace

TEST_F(CalendarTest, FirstVisibleDateOfEveryMonth)
{
    std::vector<int> years{1, 2, 1582, 1899, 9998, 9999};
    for (int y = 1900; y <= 2100; ++y) years.push_back(y);
    for (int firstDay : {0, 1, 6}) {
        StartOfWeekScope scope(firstDay);
        for (int y : years)
            for (int m = 1; m <= 12; ++m) {
                Cal->SetFirstDate(EncodeDate(y, m, 15));
                ASSERT_EQ(Cal->GetFirstVisibleDate(), ExpectedFirstVisible(y, m, firstDay))
                    << y << "-" << m << " first day " << firstDay;
                ASSERT_EQ(Cal->GetLastVisibleDate(), Cal->GetFirstVisibleDate() + 41);
            }
    }
    // The two examples a user sees with Monday first.
    StartOfWeekScope monday(1);
    Cal->SetFirstDate(EncodeDate(2024, 3, 1));
    EXPECT_EQ(Cal->GetFirstVisibleDate(), EncodeDate(2024, 2, 26));
    Cal->SetFirstDate(EncodeDate(2024, 4, 1));   // a Monday: the whole week before shows
    EXPECT_EQ(Cal->GetFirstVisibleDate(), EncodeDate(2024, 3, 25));
}

TEST_F(CalendarTest, KeysMoveTheSelection)
{
    StartOfWeekScope monday(1);
    struct Case {
        TDateTime From;
        WORD Key;
        TShiftState Shift;
        TDateTime To;
    };
    const Case cases[] = {
        {EncodeDate(2024, 3, 31), VK_PRIOR, {}, EncodeDate(2024, 2, 29)},   // leap year
        {EncodeDate(2023, 3, 31), VK_PRIOR, {}, EncodeDate(2023, 2, 28)},
        {EncodeDate(2024, 1, 31), VK_NEXT, {}, EncodeDate(2024, 2, 29)},
        {EncodeDate(2024, 12, 15), VK_NEXT, {}, EncodeDate(2025, 1, 15)},
        {EncodeDate(2024, 3, 13), VK_HOME, {}, EncodeDate(2024, 3, 11)},    // Wednesday → Monday
        {EncodeDate(2024, 3, 13), VK_HOME, {ssCtrl}, EncodeDate(2024, 3, 1)},
        {EncodeDate(2024, 3, 13), VK_END, {}, EncodeDate(2024, 3, 17)},     // → Sunday
        {EncodeDate(2024, 3, 13), VK_END, {ssCtrl}, EncodeDate(2024, 3, 31)},
        {EncodeDate(2024, 3, 13), VK_HOME, {ssCtrl, ssShift}, EncodeDate(2024, 3, 11)},
        {EncodeDate(2024, 3, 1), VK_LEFT, {}, EncodeDate(2024, 2, 29)},
        {EncodeDate(2024, 2, 29), VK_RIGHT, {}, EncodeDate(2024, 3, 1)},
        {EncodeDate(2024, 3, 13), VK_UP, {}, EncodeDate(2024, 3, 6)},
        {EncodeDate(2024, 3, 13), VK_DOWN, {}, EncodeDate(2024, 3, 20)},
        {EncodeDate(2024, 3, 13), VK_UP, {ssAlt}, EncodeDate(2024, 3, 13)},
        // The ends of the calendar: nothing before 1 January 1 or after 31 December 9999.
        {EncodeDate(1, 1, 15), VK_PRIOR, {}, EncodeDate(1, 1, 15)},
        {EncodeDate(1, 1, 1), VK_LEFT, {}, EncodeDate(1, 1, 1)},
        {EncodeDate(1, 1, 3), VK_UP, {}, EncodeDate(1, 1, 3)},
        {EncodeDate(1, 1, 3), VK_HOME, {}, EncodeDate(1, 1, 1)},   // 1 January 1 is a Monday
        {EncodeDate(9999, 12, 15), VK_NEXT, {}, EncodeDate(9999, 12, 15)},
        {EncodeDate(9999, 12, 31), VK_RIGHT, {}, EncodeDate(9999, 12, 31)},
        {EncodeDate(9999, 12, 31), VK_END, {}, EncodeDate(9999, 12, 31)},
    };
    for (const Case& c : cases) {
        Cal->SetSelectDate(c.From);
        EXPECT_NO_THROW(Cal->Key(c.Key, c.Shift));
        EXPECT_EQ(Cal->SelectDate(), c.To) << DateToStr(c.From) << " key " << c.Key;
        // The shown month always holds the selection.
        EXPECT_LE(Cal->GetFirstVisibleDate(), c.To);
        EXPECT_GE(Cal->GetLastVisibleDate(), c.To);
    }
}

TEST_F(CalendarTest, SelectionPullsTheShownMonth)
{
    StartOfWeekScope monday(1);
    Cal->SetFirstDate(EncodeDate(2024, 4, 1));
    Cal->SetSelectDate(EncodeDate(2024, 3, 2));   // before the grid: the month before March shows
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(2024, 2, 1));
    Cal->SetFirstDate(EncodeDate(2024, 4, 1));
    Cal->SetSelectDate(EncodeDate(2024, 2, 20));   // January would not reach it: February
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(2024, 2, 1));
    Cal->SetSelectDate(EncodeDate(2024, 3, 5));    // in February's last rows: stays
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(2024, 2, 1));
    Cal->SetSelectDate(cxDateUtils::NullDate);
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(2024, 2, 1));
}

TEST_F(CalendarTest, ClicksChooseDaysAndButtonsChooseTodayOrNothing)
{
    StartOfWeekScope monday(1);
    Cal->SetFirstDate(EncodeDate(2024, 4, 1));   // grid from 25 March
    EXPECT_EQ(Cal->GetDateAtPoint(CellCentre(0, 0)), EncodeDate(2024, 3, 25));
    EXPECT_EQ(Cal->GetDateAtPoint(CellCentre(5, 6)), EncodeDate(2024, 5, 5));
    EXPECT_EQ(Cal->GetDateAtPoint(Centre(Cal->HeaderRect())), cxDateUtils::NullDate);
    EXPECT_EQ(Cal->GetDateAtPoint(TPoint{1, CellCentre(2, 0).Y}), cxDateUtils::NullDate);   // side margin

    GuiTest::Click(Cal, CellCentre(2, 3));
    EXPECT_EQ(Cal->SelectDate(), EncodeDate(2024, 4, 11));
    ASSERT_EQ(Chosen.size(), 1u);
    EXPECT_EQ(Chosen[0], EncodeDate(2024, 4, 11));
    // Dragging moves the selection without choosing until the release.
    GuiTest::MouseDown(Cal, mbLeft, CellCentre(1, 0));
    GuiTest::MouseMove(Cal, CellCentre(1, 4), TShiftState{ssLeft});
    EXPECT_EQ(Cal->SelectDate(), EncodeDate(2024, 4, 5));
    EXPECT_EQ(Chosen.size(), 1u);
    GuiTest::MouseUp(Cal, mbLeft, CellCentre(1, 4));
    ASSERT_EQ(Chosen.size(), 2u);
    EXPECT_EQ(Chosen[1], EncodeDate(2024, 4, 5));

    // Dragged out of the popup calendar: the edit's own date shows again.
    Cal->EditDate = EncodeDate(2024, 4, 3);
    GuiTest::MouseDown(Cal, mbLeft, CellCentre(3, 3));
    GuiTest::MouseMove(Cal, TPoint{Cal->Width() + 20, 5}, TShiftState{ssLeft});
    EXPECT_EQ(Cal->SelectDate(), EncodeDate(2024, 4, 3));
    GuiTest::MouseUp(Cal, mbLeft, TPoint{Cal->Width() + 20, 5});
    EXPECT_EQ(Chosen.size(), 2u);   // released outside: nothing chosen

    int hidden = 0;
    Cal->OnHidePopup = [&](TObject*) { ++hidden; };
    Cal->ClearButton()->Click();
    EXPECT_EQ(Cal->SelectDate(), cxDateUtils::NullDate);
    ASSERT_EQ(Chosen.size(), 3u);
    EXPECT_EQ(Chosen[2], cxDateUtils::NullDate);
    Cal->TodayButton()->Click();
    EXPECT_EQ(Cal->SelectDate(), EncodeDate(2024, 4, 10));
    EXPECT_EQ(Chosen.back(), EncodeDate(2024, 4, 10));
    EXPECT_EQ(hidden, 2);
    // Enter chooses, Esc only closes.
    Cal->Key(VK_RETURN);
    EXPECT_EQ(Chosen.size(), 5u);
    Cal->Key(VK_ESCAPE);
    Cal->Key(VK_F4);
    EXPECT_EQ(Chosen.size(), 5u);
    EXPECT_EQ(hidden, 5);
}

TEST_F(CalendarTest, ArrowsRepeatAndStopAtTheEnds)
{
    GuiTest::TManualTime time;
    Cal->SetFirstDate(EncodeDate(9999, 10, 1));
    TPoint right = Centre(Cal->RightArrowRect());
    GuiTest::MouseDown(Cal, mbLeft, right);
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(9999, 11, 1));
    time.Advance(200);
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(9999, 12, 1));
    time.Advance(200);   // December 9999 is the last month
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(9999, 12, 1));
    GuiTest::MouseUp(Cal, mbLeft, right);
    EXPECT_FALSE(Cal->RepeatTimer()->Enabled());
    EXPECT_TRUE(Chosen.empty());   // releasing the arrow chooses nothing

    Cal->SetFirstDate(EncodeDate(1, 2, 1));
    TPoint left = Centre(Cal->LeftArrowRect());
    GuiTest::MouseDown(Cal, mbLeft, left);
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(1, 1, 1));
    EXPECT_NO_THROW(time.Advance(200));   // January of year 1 is the first
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(1, 1, 1));
    GuiTest::MouseUp(Cal, mbLeft, left);
    // The wheel over the header moves too, and stops there as well.
    GuiTest::Wheel(Cal, Centre(Cal->HeaderCaptionRect()), 120);
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(1, 1, 1));
    GuiTest::Wheel(Cal, Centre(Cal->HeaderCaptionRect()), -120);
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(1, 2, 1));
    // The first month's grid paints without the days before year 1.
    Cal->SetFirstDate(EncodeDate(1, 1, 1));
    EXPECT_EQ(Cal->GetDateAtPoint(CellCentre(0, 0)), cxDateUtils::NullDate);
    std::unique_ptr<TBitmap> shot;
    EXPECT_NO_THROW(shot.reset(GuiTest::Grab(Cal)));
}

TEST(MonthList, ScrollIntervalByDistance)
{
    struct Case {
        int Distance;
        UINT Interval;
    };
    const Case cases[] = {{1, 500}, {-1, 500}, {15, 500}, {16, 250}, {-20, 250}, {32, 100},
                          {47, 100}, {48, 50}, {-200, 50}};
    for (const Case& c : cases) EXPECT_EQ(TMonthListBox::ScrollInterval(c.Distance, 16), c.Interval) << c.Distance;
}

TEST_F(CalendarTest, MonthListScrollsAndPicksAMonth)
{
    GuiTest::TManualTime time;
    Cal->SetFirstDate(EncodeDate(2024, 6, 1));
    GuiTest::MouseDown(Cal, mbLeft, Centre(Cal->HeaderCaptionRect()));
    TMonthListBox* list = Cal->MonthList();
    ASSERT_TRUE(list->IsPoppedUp());
    EXPECT_EQ(list->TopDate(), EncodeDate(2024, 3, 1));
    EXPECT_EQ(list->ItemIndex(), 3);
    int h = list->ItemHeight();
    list->ListMouseMove(5, 7 * h + 2 + 2 * h);   // two items below: every 100 ms
    EXPECT_EQ(list->ScrollTimer()->Interval(), 100u);
    time.Advance(100);
    time.Advance(100);
    EXPECT_EQ(list->TopDate(), EncodeDate(2024, 5, 1));
    list->ListMouseMove(5, h + h / 2);   // the second row
    EXPECT_FALSE(list->ScrollTimer()->Enabled());
    list->ListMouseUp();
    EXPECT_FALSE(list->IsPoppedUp());
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(2024, 6, 1));
    GuiTest::ProcessEvents();
    // Released beside the list: the month stays.
    GuiTest::MouseDown(Cal, mbLeft, Centre(Cal->HeaderCaptionRect()));
    ASSERT_TRUE(list->IsPoppedUp());
    list->ListMouseMove(-50, h);
    list->ListMouseUp();
    EXPECT_EQ(Cal->FirstDate(), EncodeDate(2024, 6, 1));
}

TEST_F(CalendarTest, DayLettersAndLayout)
{
    auto oldDays = FormatSettings.ShortDayNames;
    FormatSettings.ShortDayNames = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
    Cal->Font()->SetCharset(DEFAULT_CHARSET);   // the system's, Chinese: the last character
    EXPECT_EQ(Cal->DayLetter(1), "一");
    Cal->Font()->SetCharset(ANSI_CHARSET);
    EXPECT_EQ(Cal->DayLetter(1), "周");
    FormatSettings.ShortDayNames = oldDays;

    // The size follows the font: 7 columns of three digits, 6 rows, a footer.
    TcxCanvas* c = Cal->Canvas();
    c->SetFont(Cal->Font());
    int zw = c->TextWidth("0"), zh = c->TextHeight("0");
    EXPECT_EQ(Cal->Width(), 4 * zw + 21 * zw);
    EXPECT_EQ(Cal->Height(), (zh + 5) + 6 * (zh + 2) + (zh + 3) + 1 + Cal->FooterHeight() + 1);
    EXPECT_LT(Cal->TodayButton()->Left(), Cal->ClearButton()->Left());
    EXPECT_GE(Cal->TodayButton()->Top() + Cal->TodayButton()->Height(), Cal->Height() - Cal->FooterHeight());
    Cal->SetDateButtons(TDateButtons{btnToday});
    EXPECT_FALSE(Cal->ClearButton()->Visible());
    EXPECT_EQ(Cal->TodayButton()->Left(), (Cal->Width() - Cal->ButtonWidth()) / 2);
    Cal->SetDateButtons(TDateButtons{});
    EXPECT_EQ(Cal->Height(), (zh + 5) + 6 * (zh + 2) + (zh + 3) + 1 + 1);
}

// A calendar in Chinese for the eye: editors_calendar.png.
TEST_F(CalendarTest, PaintsAChineseMonth)
{
    auto oldDays = FormatSettings.ShortDayNames;
    auto oldMonths = FormatSettings.LongMonthNames;
    FormatSettings.ShortDayNames = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
    FormatSettings.LongMonthNames = {"一月", "二月", "三月", "四月", "五月", "六月",
                                     "七月", "八月", "九月", "十月", "十一月", "十二月"};
    Cal->Font()->SetName("宋体");
    Cal->Font()->SetSize(10);
    Cal->TodayButton()->SetCaption("今天");
    Cal->ClearButton()->SetCaption("清除");
    Cal->CalculateLayout();
    Cal->SetSelectDate(EncodeDate(2024, 4, 18));
    GuiTest::ProcessEvents();
    std::unique_ptr<TBitmap> shot(GuiTest::Grab(Cal));
    ASSERT_TRUE(shot);
    // Today (the 10th) has its frame, the 18th the selection colour.
    StartOfWeekScope scope(cxFormats::GetFormatController()->StartOfWeek());
    int col = Cal->ColOfDate(EncodeDate(2024, 4, 18));
    int row = int(EncodeDate(2024, 4, 18) - Cal->GetFirstVisibleDate()) / 7;
    EXPECT_EQ(ColorToRGB(shot->Canvas()->Pixels(CellCentre(row, col).X - Cal->ColWidth() / 2 + 1, CellCentre(row, col).Y)),
              ColorToRGB(clHighlight));
    EXPECT_TRUE(GuiTest::SavePng(shot.get(), std::string(QZ_BINARY_DIR) + "/editors_calendar.png"));
    FormatSettings.ShortDayNames = oldDays;
    FormatSettings.LongMonthNames = oldMonths;
}
