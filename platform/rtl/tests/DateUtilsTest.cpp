#include "DateUtils.h"
#include "HostServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// Default settings and a clock fixed at 2026-12-10 10:00, so two-digit and
// missing years read the same on any day.
class DateUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSaved = FormatSettings;
        FormatSettings = TFormatSettings::Default();
        FClock = std::make_shared<TFixedClock>(EncodeDateTime(2026, 12, 10, 10, 0, 0, 0));
        FPrevClock = SetClock(FClock);
    }
    void TearDown() override
    {
        SetClock(FPrevClock);
        FormatSettings = FSaved;
    }
    TFormatSettings FSaved;
    std::shared_ptr<TFixedClock> FClock;
    std::shared_ptr<IClock> FPrevClock;
};

TFormatSettings Dmy()
{
    TFormatSettings fs = TFormatSettings::Default();
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.DateSeparator = '/';
    return fs;
}

TFormatSettings Program()
{
    TFormatSettings fs = TFormatSettings::Default();
    ApplyProgramDateFormats(fs);
    return fs;
}

std::string Parsed(const std::function<TDateTime()>& f)
{
    try {
        return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", f());
    } catch (const EConvertError&) {
        return "!error";
    }
}

struct GoldenCase {
    const char* Expr;
    std::function<std::string()> Run;
    const char* Expected;
};

// Expected values printed by golden/date_cases.pas.
const GoldenCase GoldenCases[] = {
#include "GoldenDateCases.inc"
};

std::string Ymd(TDateTime dt) { return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", dt); }

}   // namespace

TEST_F(DateUtilsTest, MatchesTheIndependentImplementation)
{
    for (const auto& c : GoldenCases) EXPECT_EQ(c.Run(), c.Expected) << c.Expr;
}

TEST_F(DateUtilsTest, EncodeAndDecode)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2008, 3, 5), 39512);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    // Before 1899-12-30 the time is the absolute value of the fraction.
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);

    // Every day of a span round-trips, leap days included.
    for (int d = -693593; d < 2958466; d += 997) {
        uint16_t y, m, day;
        DecodeDate(d, y, m, day);
        EXPECT_EQ(EncodeDate(y, m, day), d) << d;
    }
    uint16_t y, m, d, h, n, s, ms;
    DecodeDateTime(EncodeDateTime(2000, 2, 29, 23, 59, 59, 999), y, m, d, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, ms}), (std::vector<int>{2000, 2, 29, 23, 59, 59, 999}));
    // A hair before midnight is the next day once rounded to the millisecond.
    DecodeDateTime(39448.0 - 1e-10, y, m, d, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, ms}), (std::vector<int>{2008, 1, 1, 0, 0, 0, 0}));
    // The day of the week follows the date as shown, not the truncated number.
    EXPECT_EQ(DayOfWeek(39448.0 - 1e-10), DayOfWeek(39448.0));
    // Far from 1899 the time still rounds at the right millisecond.
    EXPECT_EQ(Ymd(EncodeDate(4688, 11, 29) + 1.47 / MSecsPerDay), "4688-11-29 00:00:00.001");
    EXPECT_EQ(Ymd(EncodeDate(4688, 11, 29) + 1.53 / MSecsPerDay), "4688-11-29 00:00:00.002");
    DecodeDateTime(-1.75, y, m, d, h, n, s, ms);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s}), (std::vector<int>{1899, 12, 29, 18, 0, 0}));

    struct Bad {
        int Y, M, D;
    } badDates[] = {{2008, 2, 30}, {1900, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2008, 13, 1}, {2008, 0, 1}, {2008, 1, 0}};
    for (const auto& b : badDates) {
        TDateTime dt = 123;
        EXPECT_FALSE(TryEncodeDate(b.Y, b.M, b.D, dt));
        EXPECT_EQ(dt, 123);
        try {
            EncodeDate(b.Y, b.M, b.D);
            ADD_FAILURE() << b.Y << "-" << b.M << "-" << b.D;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
    TDateTime t;
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, t));
    EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
    // Out-of-range values decode to zeros instead of garbage.
    DecodeDate(1e300, y, m, d);
    EXPECT_EQ(y + m + d, 0);
    DecodeDate(std::nan(""), y, m, d);
    EXPECT_EQ(y + m + d, 0);
    EXPECT_NO_THROW(FormatDateTime("c dddd", -1e300));
}

TEST_F(DateUtilsTest, CalendarArithmetic)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2008));
    EXPECT_FALSE(IsLeapYear(2013));
    EXPECT_EQ(DaysInAMonth(2008, 2), 29);
    EXPECT_EQ(DaysInMonth(EncodeDate(2013, 2, 10)), 28);
    EXPECT_EQ(MonthDays[1][2], 29);
    EXPECT_EQ(MonthDays[0][12], 31);

    EXPECT_EQ(DayOfWeek(EncodeDate(2008, 3, 5)), 4);   // Wednesday
    EXPECT_EQ(DayOfWeek(EncodeDate(2013, 1, 6)), 1);   // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);
    EXPECT_EQ(DayOfWeek(-0.5), 7);

    struct Case {
        TDateTime From;
        int Months;
        const char* Expected;
    } incs[] = {
        {EncodeDateTime(2008, 1, 31, 9, 30, 0, 0), 1, "2008-02-29 09:30:00.000"},
        {EncodeDate(2013, 1, 31), 1, "2013-02-28 00:00:00.000"},
        {EncodeDate(2013, 3, 31), -1, "2013-02-28 00:00:00.000"},
        {EncodeDate(2013, 1, 15), -13, "2011-12-15 00:00:00.000"},
        {EncodeDate(2013, 12, 15), 1, "2014-01-15 00:00:00.000"},
        {EncodeDate(2013, 1, 1), 3, "2013-04-01 00:00:00.000"},
        {EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), 1, "1900-01-29 06:00:00.000"},
    };
    for (const auto& c : incs) EXPECT_EQ(Ymd(IncMonth(c.From, c.Months)), c.Expected);
    EXPECT_EQ(Ymd(IncDay(EncodeDate(2008, 2, 28), 2)), "2008-03-01 00:00:00.000");

    TDateTime mid = EncodeDateTime(2008, 2, 14, 15, 0, 0, 0);
    EXPECT_EQ(Ymd(StartOfTheMonth(mid)), "2008-02-01 00:00:00.000");
    EXPECT_EQ(Ymd(EndOfTheMonth(mid)), "2008-02-29 23:59:59.999");
    EXPECT_EQ(Ymd(DateOf(mid)), "2008-02-14 00:00:00.000");
    EXPECT_EQ(FormatDateTime("hh:nn", TimeOf(mid)), "15:00");
    EXPECT_EQ(YearOf(mid), 2008);
    EXPECT_EQ(MonthOf(mid), 2);
    EXPECT_EQ(DayOf(mid), 14);

    // One day apart at the same clock time is one day, though the difference
    // of the two doubles falls a hair short of 1.
    TDateTime a = EncodeDateTime(2008, 1, 1, 10, 0, 0, 0);
    TDateTime b = EncodeDateTime(2008, 1, 2, 10, 0, 0, 0);
    EXPECT_EQ(DaysBetween(b, a), 1);
    EXPECT_EQ(DaysBetween(a, b), 1);
    EXPECT_EQ(DaysBetween(a, EncodeDateTime(2008, 1, 2, 9, 59, 0, 0)), 0);
    EXPECT_EQ(DaysBetween(EncodeDate(2008, 1, 1), EncodeDate(2009, 1, 1)), 366);
}

TEST_F(DateUtilsTest, ArithmeticBeyondTheCalendarRaises)
{
    // Month counts near the ends of int once wrapped into a valid-looking
    // date; they leave the calendar and raise.
    const int months[] = {INT32_MAX, INT32_MIN, 12 * 8000, -12 * 2100};
    for (int m : months)
        EXPECT_THROW(IncMonth(EncodeDate(2008, 1, 31), m), EConvertError) << m;
    EXPECT_EQ(Ymd(IncMonth(EncodeDate(9999, 11, 30), 1)), "9999-12-30 00:00:00.000");
    EXPECT_EQ(Ymd(IncMonth(EncodeDate(1, 2, 28), -1)), "0001-01-28 00:00:00.000");
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
    EXPECT_THROW(IncMonth(EncodeDate(1, 1, 31), -1), EConvertError);

    // A span that is no number raises as Trunc does; a huge one is capped.
    EXPECT_THROW(DaysBetween(std::nan(""), 0), EInvalidOp);
    EXPECT_THROW(DaysBetween(HUGE_VAL, 0), EInvalidOp);
    EXPECT_EQ(DaysBetween(1e12, -1e12), INT32_MAX);
    EXPECT_EQ(DaysBetween(-693593, 2958465), 3652058);
}

TEST_F(DateUtilsTest, FormattingRulesOfOurOwn)
{
    TDateTime a = EncodeDateTime(2008, 3, 5, 14, 30, 7, 45);
    // Quoted text does not break "h … m": m after an hour is the minute.
    EXPECT_EQ(FormatDateTime("hh\"时\"mm\"分\"", a), "14时30分");
    // Letters that are no token keep their case.
    EXPECT_EQ(FormatDateTime("[x]ampm", a), "[x]下午");
    EXPECT_EQ(FormatDateTime("g yyyy", a), "公元 2008");
    EXPECT_EQ(FormatDateTime("e", a), "2008");
    // An unclosed quote runs to the end; an empty format is "c".
    EXPECT_EQ(FormatDateTime("yyyy'abc", a), "2008abc");
    EXPECT_EQ(FormatDateTime("", a), "2008-3-5 14:30:07");
    EXPECT_EQ(FormatDateTime("c", EncodeDateTime(2008, 3, 5, 0, 0, 0, 500)), "2008-3-5");
    EXPECT_EQ(FormatDateTime("c", 0.5), "1899-12-30 12:00:00");
    // A short date format that refers to itself does not recurse for ever.
    TFormatSettings loop = TFormatSettings::Default();
    loop.ShortDateFormat = "c";
    loop.LongTimeFormat = "tt";
    EXPECT_NO_THROW(FormatDateTime("c", a, loop));
    // Separators come from the settings.
    TFormatSettings dots = TFormatSettings::Default();
    dots.DateSeparator = '.';
    dots.TimeSeparator = '.';
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", a, dots), "2008.03.05 14.30");
}

TEST_F(DateUtilsTest, TextConversionsUnderTheProgramFormats)
{
    ApplyProgramDateFormats();
    TDateTime a = EncodeDateTime(2008, 3, 5, 14, 30, 0, 0);
    EXPECT_EQ(DateToStr(a), "2008-03-05");
    EXPECT_EQ(DateTimeToStr(a), "2008-03-05 14:30:00");
    EXPECT_EQ(DateTimeToStr(DateOf(a)), "2008-03-05");
    EXPECT_EQ(TimeToStr(a), "14:30:00");
    EXPECT_EQ(StrToDate("2008-03-05"), EncodeDate(2008, 3, 5));
    EXPECT_EQ(StrToDateTime(DateTimeToStr(a)), a);
    EXPECT_EQ(StrToTime("14:30"), EncodeTime(14, 30, 0, 0));
    // A fraction of a second is a fraction, not a count of milliseconds.
    EXPECT_EQ(Ymd(StrToTime("14:30:07.5")), "1899-12-30 14:30:07.500");
    EXPECT_EQ(Ymd(StrToTime("14:30:07.05")), "1899-12-30 14:30:07.050");

    EXPECT_EQ(StrToDateDef("2008-02-30", -1), -1);
    EXPECT_EQ(StrToTimeDef("25:00", -1), -1);
    EXPECT_EQ(StrToDateTimeDef("x", -1), -1);
    TDateTime v = 7;
    EXPECT_FALSE(TryStrToDate("2008-13-01", v));
    EXPECT_FALSE(TryStrToDateTime("2008-03-05 14:30 junk", v));
    EXPECT_EQ(v, 7);

    auto message = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const EConvertError& e) {
            return e.Message();
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([] { StrToDate("2008-02-30"); }), "'2008-02-30' is not a valid date");
    EXPECT_EQ(message([] { StrToTime("9:99"); }), "'9:99' is not a valid time");
    EXPECT_EQ(message([] { StrToDateTime("2008-3-5 x"); }), "'2008-3-5 x' is not a valid date and time");

    // The century window moves with the clock's year.
    FClock->Set(EncodeDate(2060, 1, 1));
    EXPECT_EQ(YearOf(StrToDate("09-1-1")), 2109);
    EXPECT_EQ(YearOf(StrToDate("10-1-1")), 2010);
    TFormatSettings noWindow = FormatSettings;
    noWindow.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(YearOf(StrToDate("09-1-1", noWindow)), 2009);
}

TEST_F(DateUtilsTest, NowComesFromTheClock)
{
    FClock->Set(EncodeDateTime(2013, 1, 15, 8, 45, 0, 0));
    EXPECT_EQ(Now(), EncodeDateTime(2013, 1, 15, 8, 45, 0, 0));
    EXPECT_EQ(Date(), EncodeDate(2013, 1, 15));
    EXPECT_DOUBLE_EQ(Time(), EncodeTime(8, 45, 0, 0));
}
