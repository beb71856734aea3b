#include "cxDateUtils.h"
#include "cxFormats.h"
#include "cxRegExpr.h"

#include "EditorsTestSupport.h"
#include "Controls.h"
#include "HostServices.h"
#include "Windows.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

using namespace cxDateUtils;

namespace {

// Today is Wednesday 2004-02-11; the program's formats are in force.
class DateUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FOldSettings = FormatSettings;
        ApplyProgramDateFormats();
        FOldClock = SetClock(std::make_shared<TFixedClock>(EncodeDate(2004, 2, 11) + 0.5));
    }
    void TearDown() override
    {
        SetClock(FOldClock);
        FormatSettings = FOldSettings;
        cxFormats::FreeFormatController();
    }
    static std::string D(TDateTime d) { return FormatDateTime("yyyy-mm-dd", d); }
    static std::string Smart(const std::string& s)
    {
        TDateTime d = 0;
        return SmartTextToDate(s, d) ? D(d) : "no";
    }
    static std::string Ex(const std::string& s)
    {
        TDateTime d = 0;
        bool ok = TextToDateEx(s, d);
        if (!ok) return d == NullDate ? "null" : "no?";
        return D(d);
    }

private:
    TFormatSettings FOldSettings;
    std::shared_ptr<IClock> FOldClock;
};

}  // namespace

TEST_F(DateUtilsTest, DateWords)
{
    struct Case {
        const char* Text;
        const char* Date;
    };
    const Case cases[] = {
        {"today", "2004-02-11"},
        {"Today + 3", "2004-02-14"},
        {"today +", "2004-02-11"},
        {"today-10", "2004-02-01"},
        {"today + x", "2004-02-11"},
        {"yesterday", "2004-02-10"},
        {"tomorrow", "2004-02-12"},
        {"wednesday", "2004-02-11"},   // today counts
        {"monday", "2004-02-16"},
        {"monday + 3", "2004-02-19"},
        {"first", "2004-02-08"},       // Sunday of this week
        {"seventh", "2004-02-14"},
        {"bom", "2004-02-01"},
        {"eom", "2004-02-29"},         // a leap year
        {"now", "2004-02-11"},
        {"2004-02-11", "no"},
        {"", "no"},
    };
    for (const Case& c : cases) EXPECT_EQ(Smart(c.Text), c.Date) << c.Text;
    TDateTime d;
    ASSERT_TRUE(SmartTextToDate("now", d));
    EXPECT_DOUBLE_EQ(d, EncodeDate(2004, 2, 11) + 0.5);
}

TEST_F(DateUtilsTest, TextToDateEx)
{
    EXPECT_EQ(Ex("  2004-5-10 "), "2004-05-10");
    EXPECT_EQ(Ex("tomorrow"), "2004-02-12");
    EXPECT_EQ(Ex(""), "null");
    EXPECT_EQ(Ex("2004-13-01"), "null");
    EXPECT_EQ(Ex("10000-01-01"), "null");
    EXPECT_EQ(Ex("gibberish"), "null");
    EXPECT_EQ(Ex("12:30"), "null");   // a time alone is no date

    FormatSettings.DateSeparator = '.';
    FormatSettings.ShortDateFormat = "dd.mm.yyyy";
    EXPECT_EQ(Ex("10.5.2004"), "2004-05-10");

    TDateTime d = 1;
    EXPECT_FALSE(TryTextToDateTime("x", true, d));
    EXPECT_EQ(d, NullDate);
    EXPECT_TRUE(TryTextToDateTime("11.02.2004", false, d));
    EXPECT_EQ(D(d), "2004-02-11");
}

TEST_F(DateUtilsTest, DateToText)
{
    EXPECT_EQ(DateTimeToText(NullDate), "");
    EXPECT_EQ(DateTimeToText(EncodeDate(2004, 5, 10)), "2004-05-10");
    EXPECT_EQ(DateTimeToText(EncodeDate(2004, 5, 10) + 0.75), "2004-05-10 18:00:00");
    EXPECT_EQ(DateTimeToTextEx(NullDate, true), "");
    EXPECT_EQ(DateTimeToTextEx(EncodeDate(2004, 5, 1), true), "2004-05-01");
}

TEST(DateArithmetic, AgreesWithTheCalendar)
{
    // The Gregorian calendar, independently: days from the civil-date formula.
    auto days = [](int y, int m) {
        auto serial = [](int yy, int mm, int dd) {
            yy -= mm <= 2;
            int era = (yy >= 0 ? yy : yy - 399) / 400;
            int yoe = yy - era * 400;
            int doy = (153 * (mm + (mm > 2 ? -3 : 9)) + 2) / 5 + dd - 1;
            int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
            return era * 146097 + doe;
        };
        int ny = m == 12 ? y + 1 : y, nm = m == 12 ? 1 : m + 1;
        return serial(ny, nm, 1) - serial(y, m, 1);
    };
    for (int y = 1600; y <= 2400; ++y) {
        EXPECT_EQ(cxDateUtils::IsLeapYear(y), days(y, 2) == 29) << y;
        for (int m = 1; m <= 12; ++m) ASSERT_EQ(GetDaysInMonth(y, m), days(y, m)) << y << "-" << m;
    }
    for (int delta = -40; delta <= 40; ++delta) {
        int y = 2004, m = 11;
        int years = ShiftMonth(y, m, delta);
        int total = 2004 * 12 + 10 + delta;
        EXPECT_EQ(y * 12 + m - 1, total) << delta;
        EXPECT_EQ(years, delta / 12) << delta;
    }
    int y = 2004, m = 1;
    PrevMonth(y, m);
    EXPECT_EQ(y * 100 + m, 200312);
    NextMonth(y, m);
    EXPECT_EQ(y * 100 + m, 200401);
    EXPECT_EQ(ClampDay(2004, 2, 31), 29);
    EXPECT_EQ(ClampDay(2004, 2, -3), 1);
    EXPECT_EQ(TruncWithTolerance(2.99999999999999), 3);
    EXPECT_EQ(TruncWithTolerance(-1.999999999999999), -2);
    EXPECT_DOUBLE_EQ(GetTimeOfDateTime(EncodeDate(2004, 1, 1) + 0.25), 0.25);
    EXPECT_EQ(GetDateElement(EncodeDate(2004, 5, 10), deMonth), 5);
}

TEST_F(DateUtilsTest, RegExprDateMask)
{
    std::string mask = GetDateRegExprMask("yyyy-mm-dd", false);
    EXPECT_EQ(mask,
              "\\d\\d\\d\\d'-'((0?[1-9]|1[012])|('一月'|'二月'|'三月'|'四月'|'五月'|'六月'|'七月'|"
              "'八月'|'九月'|'十月'|'十一月'|'十二月'))'-'([012]?[1-9]|[123]0|31)");
    std::string full = GetDateRegExprMask("yyyy-mm-dd", true);
    EXPECT_EQ(full.substr(0, mask.size() + 5), "(" + mask + ")|((");
    EXPECT_NE(full.find("'today'|'yesterday'"), std::string::npos);
    EXPECT_EQ(full.substr(full.size() - 33), "'now')((\\+|-)\\d(\\d(\\d(\\d?)?)?)?))");
    EXPECT_EQ(GetDateRegExprMask("gg yyyy", true), "");

    TcxRegExpr r;
    r.Compile(full);
    auto matches = [&](const std::string& s) {
        r.Reset();
        for (char32_t c : cxRegExpr::ToU32(s))
            if (!r.Next(c)) return false;
        return r.IsFinal();
    };
    for (const char* ok : {"2004-05-10", "2004-5-1", "today+3", "2004-一月-31"})
        EXPECT_TRUE(matches(ok)) << ok;
    for (const char* bad : {"2004-13-01", "2004-00-10", "2004-05-32", "04-05-10"})
        EXPECT_FALSE(matches(bad)) << bad;
}

TEST_F(DateUtilsTest, FormatControllerDerivesFormats)
{
    struct Case {
        const char* Short;
        const char* EditFormat;
        const char* EditMask;
        const char* StandardMask;
    };
    const Case cases[] = {
        {"yyyy/M/d", "yyyy/MM/dd", "yyyy/MM/dd", "!9999/99/99;1; "},
        {"yyyy-mm-dd", "yyyy-mm-dd", "yyyy-mm-dd", "!9999-99-99;1; "},
        {"d-MMMM-yy", "dd-MMMM-yy", "dd-MMM-yy", "!99-lll-99;1; "},
        {"gg yyyy", "gg yyyy", "gg yyyy", ""},
    };
    for (const Case& c : cases) {
        std::string f = TcxFormatController::GetDateEditFormat(c.Short);
        EXPECT_EQ(f, c.EditFormat);
        EXPECT_EQ(TcxFormatController::GetDateEditMaskCorrection(f), c.EditMask);
        EXPECT_EQ(TcxFormatController::GetStandardDateEditMask(c.Short), c.StandardMask);
    }
}

TEST_F(DateUtilsTest, CurrencyFormats)
{
    FormatSettings.CurrencyString = "¤";
    FormatSettings.CurrencyDecimals = 2;
    struct Case {
        int Pos, Neg;
        const char* Format;
        const char* Negative;   // -1234.5 shown with it
    };
    const Case cases[] = {
        {3, 8, ",0.00 ¤;-,0.00 ¤", "-1,234.50 ¤"},
        {0, 0, "¤,0.00;(¤,0.00)", "(¤1,234.50)"},
        {0, 1, "¤,0.00;-¤,0.00", "-¤1,234.50"},
        {0, 2, "¤,0.00;¤-,0.00", "¤-1,234.50"},
        {1, 3, ",0.00¤;¤,0.00-", "¤1,234.50-"},
        {1, 4, ",0.00¤;(,0.00¤)", "(1,234.50¤)"},
        {2, 5, "¤ ,0.00;-,0.00¤", "-1,234.50¤"},
        {2, 6, "¤ ,0.00;,0.00-¤", "1,234.50-¤"},
        {2, 7, "¤ ,0.00;,0.00¤-", "1,234.50¤-"},
        {3, 9, ",0.00 ¤;-¤ ,0.00", "-¤ 1,234.50"},
        {3, 10, ",0.00 ¤;,0.00 ¤-", "1,234.50 ¤-"},
        {3, 11, ",0.00 ¤;¤ ,0.00-", "¤ 1,234.50-"},
        {3, 12, ",0.00 ¤;¤ -,0.00", "¤ -1,234.50"},
        {3, 13, ",0.00 ¤;,0.00- ¤", "1,234.50- ¤"},
        {3, 14, ",0.00 ¤;(¤ ,0.00)", "(¤ 1,234.50)"},
        {3, 15, ",0.00 ¤;(,0.00 ¤)", "(1,234.50 ¤)"},
    };
    for (const Case& c : cases) {
        FormatSettings.CurrencyFormat = uint8_t(c.Pos);
        FormatSettings.NegCurrFormat = uint8_t(c.Neg);
        std::string f = TcxFormatController::GetCurrencyFormatFromSettings();
        EXPECT_EQ(f, c.Format) << c.Pos << "/" << c.Neg;
        EXPECT_EQ(FormatFloat(f, -1234.5), c.Negative) << f;
    }
    FormatSettings.CurrencyDecimals = 0;
    FormatSettings.CurrencyString = "kr.";
    FormatSettings.CurrencyFormat = 3;
    FormatSettings.NegCurrFormat = 8;
    EXPECT_EQ(TcxFormatController::GetCurrencyFormatFromSettings(), ",0. kr'.';-,0. kr'.'");
}

namespace {
struct Listener : IcxFormatControllerListener {
    int Count = 0;
    std::string SeenFormat;
    void FormatChanged() override
    {
        ++Count;
        SeenFormat = cxFormats::GetFormatController()->DateEditFormat();
    }
};
}  // namespace

TEST_F(DateUtilsTest, RegionalChangeKeepsAssignedValuesAndTheProgramsFormats)
{
    TcxFormatController* c = cxFormats::GetFormatController();
    EXPECT_EQ(c, cxFormats::GetFormatController());
    EXPECT_EQ(c->StartOfWeek(), 1);   // Monday
    c->SetCurrencyFormat("0.00");
    c->SetStartOfWeek(0);
    Listener a, b;
    c->AddListener(&a);
    c->AddListener(&b);
    c->AddListener(&a);
    EXPECT_TRUE(c->HasWindow());
    // Another section changes nothing; the regional one renews the formats.
    BroadcastSystemChange(WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"));
    EXPECT_EQ(a.Count, 0);
    BroadcastSystemChange(WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    EXPECT_EQ(a.Count, 1);
    EXPECT_EQ(b.Count, 1);
    EXPECT_EQ(a.SeenFormat, "yyyy-mm-dd");
    EXPECT_EQ(FormatSettings.ShortDateFormat, "yyyy-mm-dd");
    EXPECT_EQ(c->CurrencyFormat(), "0.00");
    EXPECT_EQ(c->StartOfWeek(), 0);
    c->RemoveListener(&a);
    c->RemoveListener(&b);
    EXPECT_FALSE(c->HasWindow());
}
