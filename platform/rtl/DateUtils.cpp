#include "DateUtils.h"
#include "HostServices.h"

#include <cmath>
#include <cstring>

const uint16_t MonthDays[2][13] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

namespace {

constexpr int64_t MSecsPerDayI = 86400000;

// A moment as whole days since 0001-01-01 (day 1) and milliseconds of the
// day. The time is rounded to the millisecond before the split, so a moment a
// hair before midnight is the next day; before 1899-12-30 the absolute value
// of the fraction is the time.
struct TTimeStamp {
    int64_t Date = 0;
    int64_t Time = 0;
};

bool ValidDateTime(TDateTime dt);

TTimeStamp ToTimeStamp(TDateTime dt)
{
    if (!ValidDateTime(dt)) return {};
    // The fraction alone is scaled, so the time rounds at the right
    // millisecond whatever the size of the day count; a time that rounds to
    // a whole day carries into the day.
    double whole = std::trunc(dt);
    long double ms = std::nearbyintl(std::fabs(static_cast<long double>(dt - whole)) * 86400000.0L);
    int64_t days = static_cast<int64_t>(whole);
    int64_t t = static_cast<int64_t>(ms);
    if (t >= MSecsPerDayI) {
        t -= MSecsPerDayI;
        days += dt < 0 ? -1 : 1;
    }
    TTimeStamp ts;
    ts.Date = days + DateDelta;
    ts.Time = t;
    return ts;
}

bool ValidDateTime(TDateTime dt)
{
    // 0001-01-01 .. 9999-12-31
    return std::isfinite(dt) && dt >= -693593.0 && dt < 2958466.0;
}

void DecodeDays(int64_t days /* since 0001-01-01, day 1 */, int& year, int& month, int& day)
{
    if (days <= 0) {
        year = month = day = 0;
        return;
    }
    int64_t t = days - 1;
    int y = 1;
    const int d400 = 146097, d100 = 36524, d4 = 1461;
    y += static_cast<int>(t / d400) * 400;
    t %= d400;
    int64_t i = t / d100;
    int64_t dd = t % d100;
    if (i == 4) {
        --i;
        dd += d100;
    }
    y += static_cast<int>(i) * 100;
    y += static_cast<int>(dd / d4) * 4;
    dd %= d4;
    i = dd / 365;
    dd %= 365;
    if (i == 4) {
        --i;
        dd += 365;
    }
    y += static_cast<int>(i);
    const uint16_t* table = MonthDays[IsLeapYear(y) ? 1 : 0];
    int m = 1;
    while (dd >= table[m]) {
        dd -= table[m];
        ++m;
    }
    year = y;
    month = m;
    day = static_cast<int>(dd) + 1;
}

}   // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInAMonth(int year, int month)
{
    if (month < 1 || month > 12) return 0;
    return MonthDays[IsLeapYear(year) ? 1 : 0][month];
}

int DaysInMonth(TDateTime dt)
{
    uint16_t y, m, d;
    DecodeDate(dt, y, m, d);
    return DaysInAMonth(y, m);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& dt)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
    if (day < 1 || day > DaysInAMonth(year, month)) return false;
    const uint16_t* table = MonthDays[IsLeapYear(year) ? 1 : 0];
    int64_t d = day;
    for (int i = 1; i < month; ++i) d += table[i];
    int64_t y = year - 1;
    d += y * 365 + y / 4 - y / 100 + y / 400;
    dt = static_cast<double>(d - DateDelta);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& dt)
{
    if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 ||
        msec >= 1000)
        return false;
    dt = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
    return true;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& dt)
{
    TDateTime d, t;
    if (!TryEncodeDate(year, month, day, d) || !TryEncodeTime(hour, min, sec, msec, t)) return false;
    dt = d >= 0 ? d + t : d - t;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime dt;
    if (!TryEncodeDate(year, month, day, dt)) throw EConvertError("Invalid argument to date encode");
    return dt;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime dt;
    if (!TryEncodeTime(hour, min, sec, msec, dt)) throw EConvertError("Invalid argument to time encode");
    return dt;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec)
{
    TDateTime d = EncodeDate(year, month, day);
    TDateTime t = EncodeTime(hour, min, sec, msec);
    return d >= 0 ? d + t : d - t;
}

void DecodeDate(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day)
{
    int y = 0, m = 0, d = 0;
    if (ValidDateTime(dt)) DecodeDays(ToTimeStamp(dt).Date, y, m, d);
    year = static_cast<uint16_t>(y);
    month = static_cast<uint16_t>(m);
    day = static_cast<uint16_t>(d);
}

void DecodeTime(TDateTime dt, uint16_t& hour, uint16_t& min, uint16_t& sec, uint16_t& msec)
{
    int64_t t = ValidDateTime(dt) ? ToTimeStamp(dt).Time : 0;
    hour = static_cast<uint16_t>(t / 3600000);
    min = static_cast<uint16_t>(t / 60000 % 60);
    sec = static_cast<uint16_t>(t / 1000 % 60);
    msec = static_cast<uint16_t>(t % 1000);
}

void DecodeDateTime(TDateTime dt, uint16_t& year, uint16_t& month, uint16_t& day, uint16_t& hour,
                    uint16_t& min, uint16_t& sec, uint16_t& msec)
{
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, min, sec, msec);
}

int DayOfWeek(TDateTime dt)
{
    int64_t d = ToTimeStamp(dt).Date;
    int r = static_cast<int>(d % 7);
    if (r < 0) r += 7;
    return r + 1;
}

TDateTime DateOf(TDateTime dt) { return std::trunc(dt); }
TDateTime TimeOf(TDateTime dt) { return dt - std::trunc(dt); }

int YearOf(TDateTime dt)
{
    uint16_t y, m, d;
    DecodeDate(dt, y, m, d);
    return y;
}
int MonthOf(TDateTime dt)
{
    uint16_t y, m, d;
    DecodeDate(dt, y, m, d);
    return m;
}
int DayOf(TDateTime dt)
{
    uint16_t y, m, d;
    DecodeDate(dt, y, m, d);
    return d;
}

TDateTime IncMonth(TDateTime dt, int months)
{
    uint16_t y, m, d;
    DecodeDate(dt, y, m, d);
    // In 64 bits: a month count near the ends of int must not wrap into a
    // valid-looking date.
    int64_t total = int64_t(y) * 12 + (m - 1) + months;
    if (total < 12 || total >= int64_t(10000) * 12) EncodeDate(0, 1, 1);   // raises
    int ny = static_cast<int>(total / 12);
    int nm = static_cast<int>(total % 12) + 1;
    int nd = std::min<int>(d, DaysInAMonth(ny, nm));
    TDateTime r = EncodeDate(ny, nm, nd);
    // Keep the time of day (its absolute value, as negative dates hold it).
    double t = std::fabs(dt - std::trunc(dt));
    return r >= 0 ? r + t : r - t;
}

TDateTime IncDay(TDateTime dt, int days) { return dt + days; }

TDateTime StartOfTheMonth(TDateTime dt)
{
    uint16_t y, m, d;
    DecodeDate(dt, y, m, d);
    return EncodeDate(y, m, 1);
}

TDateTime EndOfTheMonth(TDateTime dt)
{
    uint16_t y, m, d;
    DecodeDate(dt, y, m, d);
    return EncodeDateTime(y, m, DaysInAMonth(y, m), 23, 59, 59, 999);
}

int DaysBetween(TDateTime now, TDateTime then)
{
    // Half a millisecond of slack: the difference of two moments one day
    // apart may come out a hair below 1 in binary.
    // A span that is not a number raises as Trunc does; one beyond the
    // range of int gives its largest value rather than a wrapped one.
    int64_t days = Trunc(std::fabs(now - then) + 0.5 / MSecsPerDay);
    return days > INT32_MAX ? INT32_MAX : static_cast<int>(days);
}

// ---- FormatDateTime ----------------------------------------------------------------

namespace {

std::string Pad(int v, int digits)
{
    std::string s = std::to_string(v);
    while (static_cast<int>(s.size()) < digits) s.insert(s.begin(), '0');
    return s;
}

bool StartsWithNoCase(const std::string& s, size_t pos, const char* what)
{
    size_t n = std::strlen(what);
    if (pos + n > s.size()) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(s[pos + i])) != what[i]) return false;
    return true;
}

void AppendDateTime(std::string& out, const std::string& fmt, TDateTime dt,
                    const TFormatSettings& fs, int level)
{
    uint16_t year, month, day, hour, min, sec, msec;
    DecodeDateTime(dt, year, month, day, hour, min, sec, msec);
    char lastToken = ' ';
    size_t i = 0;
    const size_t n = fmt.size();
    // An am/pm marker anywhere in the format (outside quotes) puts every hour
    // of it on the 12-hour clock.
    bool use12Hour = false;
    {
        char q = 0;
        for (size_t p = 0; p < n && !use12Hour; ++p) {
            char ch = fmt[p];
            if (q) {
                if (ch == q) q = 0;
            } else if (ch == '\'' || ch == '"') {
                q = ch;
            } else if (ch == 'a' || ch == 'A') {
                use12Hour = StartsWithNoCase(fmt, p, "am/pm") || StartsWithNoCase(fmt, p, "a/p") ||
                            StartsWithNoCase(fmt, p, "ampm");
            }
        }
    }
    auto count = [&](char token) {
        int c = 1;
        while (i < n && std::toupper(static_cast<unsigned char>(fmt[i])) == token) {
            ++c;
            ++i;
        }
        return c;
    };
    while (i < n) {
        char starter = fmt[i++];
        char token = static_cast<char>(std::toupper(static_cast<unsigned char>(starter)));
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastToken == 'H') token = 'N';
            lastToken = token;
        }
        switch (token) {
        case 'Y': {
            int c = count('Y');
            if (c <= 2) out += Pad(year % 100, 2);
            else out += Pad(year, 4);
            break;
        }
        case 'G': {
            count('G');
            // The one era of the Gregorian calendar.
            out += "公元";
            break;
        }
        case 'E': {
            int c = count('E');
            out += Pad(year, c >= 2 ? 2 : 1);
            break;
        }
        case 'M': {
            int c = count('M');
            if (c <= 2) out += Pad(month, c);
            else if (month >= 1 && month <= 12)
                out += c == 3 ? fs.ShortMonthNames[month - 1] : fs.LongMonthNames[month - 1];
            break;
        }
        case 'D': {
            int c = count('D');
            int dow = DayOfWeek(dt) - 1;
            switch (c) {
            case 1:
            case 2: out += Pad(day, c); break;
            case 3: out += fs.ShortDayNames[dow]; break;
            case 4: out += fs.LongDayNames[dow]; break;
            case 5:
                if (level < 2) AppendDateTime(out, fs.ShortDateFormat, dt, fs, level + 1);
                break;
            default:
                if (level < 2) AppendDateTime(out, fs.LongDateFormat, dt, fs, level + 1);
                break;
            }
            break;
        }
        case 'H': {
            int c = count('H');
            int h = hour;
            if (use12Hour) {
                if (h == 0) h = 12;
                else if (h > 12) h -= 12;
            }
            out += Pad(h, c >= 2 ? 2 : 1);
            break;
        }
        case 'N': {
            int c = count(starter == 'm' || starter == 'M' ? 'M' : 'N');
            out += Pad(min, c >= 2 ? 2 : 1);
            break;
        }
        case 'S': {
            int c = count('S');
            out += Pad(sec, c >= 2 ? 2 : 1);
            break;
        }
        case 'Z': {
            int c = count('Z');
            out += Pad(msec, c >= 2 ? 3 : 1);
            break;
        }
        case 'T': {
            int c = count('T');
            if (level < 2)
                AppendDateTime(out, c == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, fs, level + 1);
            break;
        }
        case 'C': {
            count('C');
            if (level < 2) {
                AppendDateTime(out, fs.ShortDateFormat, dt, fs, level + 1);
                // Milliseconds alone do not show: the long time format has none.
                if (hour != 0 || min != 0 || sec != 0) {
                    out += ' ';
                    AppendDateTime(out, fs.LongTimeFormat, dt, fs, level + 1);
                }
            }
            break;
        }
        case 'A': {
            size_t p = i - 1;
            if (StartsWithNoCase(fmt, p, "am/pm")) {
                out += hour >= 12 ? fmt.substr(p + 3, 2) : fmt.substr(p, 2);
                i = p + 5;
            } else if (StartsWithNoCase(fmt, p, "a/p")) {
                out += hour >= 12 ? fmt[p + 2] : fmt[p];
                i = p + 3;
            } else if (StartsWithNoCase(fmt, p, "ampm")) {
                out += hour >= 12 ? fs.TimePMString : fs.TimeAMString;
                i = p + 4;
            } else {
                out += starter;
            }
            break;
        }
        case '/':
            if (fs.DateSeparator) out += fs.DateSeparator;
            break;
        case ':':
            if (fs.TimeSeparator) out += fs.TimeSeparator;
            break;
        case '\'':
        case '"': {
            size_t end = fmt.find(starter, i);
            if (end == std::string::npos) end = n;
            out.append(fmt, i, end - i);
            i = end < n ? end + 1 : n;
            break;
        }
        default:
            out += starter;
            break;
        }
    }
}

}   // namespace

std::string FormatDateTime(const std::string& format, TDateTime dt, const TFormatSettings& settings)
{
    std::string out;
    AppendDateTime(out, format.empty() ? std::string("c") : format, dt, settings, 0);
    return out;
}
std::string FormatDateTime(const std::string& format, TDateTime dt)
{
    return FormatDateTime(format, dt, FormatSettings);
}
std::string DateToStr(TDateTime dt, const TFormatSettings& s) { return FormatDateTime("ddddd", dt, s); }
std::string DateToStr(TDateTime dt) { return DateToStr(dt, FormatSettings); }
std::string TimeToStr(TDateTime dt, const TFormatSettings& s) { return FormatDateTime("tt", dt, s); }
std::string TimeToStr(TDateTime dt) { return TimeToStr(dt, FormatSettings); }
std::string DateTimeToStr(TDateTime dt, const TFormatSettings& s) { return FormatDateTime("c", dt, s); }
std::string DateTimeToStr(TDateTime dt) { return DateTimeToStr(dt, FormatSettings); }

// ---- parsing -------------------------------------------------------------------------

namespace {

struct TScanner {
    const std::string& S;
    size_t Pos = 0;

    void Blanks()
    {
        while (Pos < S.size() && S[Pos] == ' ') ++Pos;
    }
    bool Number(int& value, int& length)
    {
        Blanks();
        size_t start = Pos;
        int64_t v = 0;
        while (Pos < S.size() && std::isdigit(static_cast<unsigned char>(S[Pos]))) {
            if (v < 100000) v = v * 10 + (S[Pos] - '0');
            ++Pos;
        }
        length = static_cast<int>(Pos - start);
        if (length == 0) return false;
        value = v > 99999 ? 99999 : static_cast<int>(v);
        return true;
    }
    bool Char(char c)
    {
        Blanks();
        if (Pos < S.size() && S[Pos] == c) {
            ++Pos;
            return true;
        }
        return false;
    }
    bool Text(const std::string& t)
    {
        if (t.empty()) return false;
        Blanks();
        if (Pos + t.size() > S.size()) return false;
        for (size_t k = 0; k < t.size(); ++k)
            if (std::toupper(static_cast<unsigned char>(S[Pos + k])) !=
                std::toupper(static_cast<unsigned char>(t[k])))
                return false;
        Pos += t.size();
        return true;
    }
    bool AtEnd()
    {
        Blanks();
        return Pos >= S.size();
    }
};

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder DateOrderOf(const std::string& fmt)
{
    for (char c : fmt) {
        switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'E':
        case 'Y': return doYMD;
        case 'M': return doMDY;
        case 'D': return doDMY;
        default: break;
        }
    }
    return doMDY;
}

bool ScanDate(TScanner& sc, TDateTime& date, const TFormatSettings& fs)
{
    int n1, n2, n3, l1, l2, l3;
    TDateOrder order = DateOrderOf(fs.ShortDateFormat);
    if (!(sc.Number(n1, l1) && sc.Char(fs.DateSeparator) && sc.Number(n2, l2))) return false;
    int y, m, d;
    if (sc.Char(fs.DateSeparator)) {
        if (!sc.Number(n3, l3)) return false;
        int yearLen;
        switch (order) {
        case doMDY: y = n3; yearLen = l3; m = n1; d = n2; break;
        case doDMY: y = n3; yearLen = l3; m = n2; d = n1; break;
        default: y = n1; yearLen = l1; m = n2; d = n3; break;
        }
        if (yearLen <= 2) {
            int current = YearOf(ClockNow()) - fs.TwoDigitYearCenturyWindow;
            y += current / 100 * 100;
            if (fs.TwoDigitYearCenturyWindow > 0 && y < current) y += 100;
        }
    } else {
        y = YearOf(ClockNow());
        if (order == doDMY) {
            d = n1;
            m = n2;
        } else {
            m = n1;
            d = n2;
        }
    }
    sc.Char('.');
    sc.Blanks();
    return TryEncodeDate(y, m, d, date);
}

bool ScanTime(TScanner& sc, TDateTime& time, const TFormatSettings& fs)
{
    int baseHour = -1;
    if (sc.Text(fs.TimeAMString) || sc.Text("AM")) baseHour = 0;
    else if (sc.Text(fs.TimePMString) || sc.Text("PM")) baseHour = 12;
    int hour, min = 0, sec = 0, msec = 0, len;
    if (!sc.Number(hour, len)) return false;
    if (sc.Char(fs.TimeSeparator)) {
        if (!sc.Number(min, len)) return false;
        if (sc.Char(fs.TimeSeparator)) {
            if (!sc.Number(sec, len)) return false;
            if (sc.Char(fs.DecimalSeparator)) {
                if (!sc.Number(msec, len)) return false;
                // The digits are a fraction of the second: ".5" is 500 ms.
                std::string digits = sc.S.substr(sc.Pos - len, len);
                digits.resize(3, '0');
                msec = std::stoi(digits.substr(0, 3));
            }
        }
    }
    if (baseHour < 0) {
        if (sc.Text(fs.TimeAMString) || sc.Text("AM")) baseHour = 0;
        else if (sc.Text(fs.TimePMString) || sc.Text("PM")) baseHour = 12;
    }
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12) return false;
        if (hour == 12) hour = 0;
        hour += baseHour;
    }
    sc.Blanks();
    return TryEncodeTime(hour, min, sec, msec, time);
}

}   // namespace

bool TryStrToDate(const std::string& s, TDateTime& value, const TFormatSettings& settings)
{
    TScanner sc{s};
    TDateTime d;
    if (!ScanDate(sc, d, settings) || !sc.AtEnd()) return false;
    value = d;
    return true;
}
bool TryStrToDate(const std::string& s, TDateTime& value) { return TryStrToDate(s, value, FormatSettings); }

TDateTime StrToDate(const std::string& s, const TFormatSettings& settings)
{
    TDateTime d;
    if (!TryStrToDate(s, d, settings)) throw EConvertError("'" + s + "' is not a valid date");
    return d;
}
TDateTime StrToDate(const std::string& s) { return StrToDate(s, FormatSettings); }
TDateTime StrToDateDef(const std::string& s, TDateTime def, const TFormatSettings& settings)
{
    TDateTime d;
    return TryStrToDate(s, d, settings) ? d : def;
}
TDateTime StrToDateDef(const std::string& s, TDateTime def) { return StrToDateDef(s, def, FormatSettings); }

bool TryStrToTime(const std::string& s, TDateTime& value, const TFormatSettings& settings)
{
    TScanner sc{s};
    TDateTime t;
    if (!ScanTime(sc, t, settings) || !sc.AtEnd()) return false;
    value = t;
    return true;
}
bool TryStrToTime(const std::string& s, TDateTime& value) { return TryStrToTime(s, value, FormatSettings); }

TDateTime StrToTime(const std::string& s, const TFormatSettings& settings)
{
    TDateTime t;
    if (!TryStrToTime(s, t, settings)) throw EConvertError("'" + s + "' is not a valid time");
    return t;
}
TDateTime StrToTime(const std::string& s) { return StrToTime(s, FormatSettings); }
TDateTime StrToTimeDef(const std::string& s, TDateTime def, const TFormatSettings& settings)
{
    TDateTime t;
    return TryStrToTime(s, t, settings) ? t : def;
}
TDateTime StrToTimeDef(const std::string& s, TDateTime def) { return StrToTimeDef(s, def, FormatSettings); }

bool TryStrToDateTime(const std::string& s, TDateTime& value, const TFormatSettings& settings)
{
    TScanner sc{s};
    TDateTime d, t = 0;
    if (ScanDate(sc, d, settings)) {
        if (!sc.AtEnd()) {
            if (!ScanTime(sc, t, settings) || !sc.AtEnd()) return false;
        }
        value = d >= 0 ? d + t : d - t;
        return true;
    }
    return TryStrToTime(s, value, settings);
}
bool TryStrToDateTime(const std::string& s, TDateTime& value)
{
    return TryStrToDateTime(s, value, FormatSettings);
}
TDateTime StrToDateTime(const std::string& s, const TFormatSettings& settings)
{
    TDateTime v;
    if (!TryStrToDateTime(s, v, settings)) throw EConvertError("'" + s + "' is not a valid date and time");
    return v;
}
TDateTime StrToDateTime(const std::string& s) { return StrToDateTime(s, FormatSettings); }
TDateTime StrToDateTimeDef(const std::string& s, TDateTime def, const TFormatSettings& settings)
{
    TDateTime v;
    return TryStrToDateTime(s, v, settings) ? v : def;
}
TDateTime StrToDateTimeDef(const std::string& s, TDateTime def)
{
    return StrToDateTimeDef(s, def, FormatSettings);
}

// ---- now ----------------------------------------------------------------------------------

TDateTime Now() { return ClockNow(); }
TDateTime Date() { return std::trunc(ClockNow()); }
TDateTime Time()
{
    // Rebuilt from its parts, so the time carries no error of the day count.
    uint16_t h, n, s, ms;
    DecodeTime(ClockNow(), h, n, s, ms);
    return EncodeTime(h, n, s, ms);
}
