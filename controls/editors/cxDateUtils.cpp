#include "cxDateUtils.h"

#include "SysUtils.h"
#include "cxEditConsts.h"
#include "cxFormats.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cxDateUtils {

using cxClasses::GetResourceString;

void PrevMonth(int& AYear, int& AMonth)
{
    if (--AMonth < 1) { AMonth = 12; --AYear; }
}

void NextMonth(int& AYear, int& AMonth)
{
    if (++AMonth > 12) { AMonth = 1; ++AYear; }
}

int ShiftMonth(int& AYear, int& AMonth, int ADelta)
{
    int years = ADelta / 12;
    AYear += years;
    AMonth += ADelta % 12;
    if (AMonth > 12) { AMonth -= 12; ++AYear; }
    else if (AMonth < 1) { AMonth += 12; --AYear; }
    return years;
}

int GetDateElement(TDateTime ADate, TcxDateElement AKind)
{
    uint16_t y, m, d;
    DecodeDate(ADate, y, m, d);
    return AKind == deYear ? y : AKind == deMonth ? m : d;
}

bool IsLeapYear(int AYear) { return (AYear % 4 == 0 && AYear % 100 != 0) || AYear % 400 == 0; }

int GetDaysInMonth(int AYear, int AMonth)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (AMonth < 1 || AMonth > 12) return 0;
    return AMonth == 2 && IsLeapYear(AYear) ? 29 : days[AMonth - 1];
}

int ClampDay(int AYear, int AMonth, int ADay)
{
    if (ADay <= 0) return 1;
    return std::min(ADay, GetDaysInMonth(AYear, AMonth));
}

double TruncWithTolerance(double X)
{
    return std::trunc(X + (X >= 0 ? 1e-11 : -1e-11));
}

TDateTime GetTimeOfDateTime(TDateTime ADateTime)
{
    uint16_t h, m, s, ms;
    DecodeTime(ADateTime, h, m, s, ms);
    return EncodeTime(h, m, s, ms);
}

std::string GetDateWord(int AIndex)
{
    if (AIndex < 0 || AIndex >= DateWordCount) return std::string();
    return GetResourceString(cxSDateWords[AIndex]);
}

bool SmartTextToDate(const std::string& AText, TDateTime& ADate)
{
    // Read anew on every use, so replaced texts apply at once.
    std::vector<std::pair<std::string, int>> words;
    for (int i = 0; i < DateWordCount; ++i) words.emplace_back(GetDateWord(i), i);
    std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
        int la = Length(a.first), lb = Length(b.first);
        if (la != lb) return la > lb;
        return AnsiCompareText(a.first, b.first) > 0;
    });
    std::string t = Trim(AText);
    int found = -1, wordLen = 0;
    for (auto& [w, index] : words) {
        int len = Length(w);
        if (len > 0 && AnsiSameText(Copy(t, 1, len), w)) {
            found = index;
            wordLen = len;
            break;
        }
    }
    if (found < 0) return false;
    TDateTime today = Date();
    int dow = DayOfWeek(today);   // 1 Sunday
    switch (found) {
    case 0: ADate = today; break;
    case 1: ADate = today - 1; break;
    case 2: ADate = today + 1; break;
    case 17: ADate = StartOfTheMonth(today); break;
    case 18: ADate = DateOf(EndOfTheMonth(today)); break;
    case 19: ADate = Now(); break;
    default:
        if (found <= 9) {   // the next date with that weekday, today included
            int wd = found - 3 + 1;
            ADate = today + ((wd - dow + 7) % 7);
        } else {            // the 1st to 7th day of this week, from Sunday
            ADate = today - (dow - 1) + (found - 10);
        }
    }
    std::string rest = Trim(Copy(t, wordLen + 1));
    if (Length(rest) > 1 && (rest[0] == '+' || rest[0] == '-')) {
        int n;
        if (TryStrToInt(Trim(rest.substr(1)), n)) ADate += rest[0] == '+' ? n : -n;
    }
    return true;
}

namespace {
// A date text as a string variant converts: the date in the order of the
// short date format, its parts separated by the date separator or by blanks.
bool VariantTextToDate(const std::string& AText, TDateTime& ADate)
{
    if (TryStrToDateTime(AText, ADate)) return true;
    std::string t;
    bool blank = false;
    for (char c : AText) {
        if (c == ' ') { blank = true; continue; }
        if (blank && !t.empty()) t += FormatSettings.DateSeparator;
        blank = false;
        t += c;
    }
    return t != AText && TryStrToDateTime(t, ADate);
}
}  // namespace

bool TextToDateEx(const std::string& AText, TDateTime& ADate)
{
    try {
        std::string t = Trim(AText);
        if (t.empty()) { ADate = NullDate; return false; }
        bool runtime = cxFormats::GetFormatController()->UseRuntimeDateFormats();
        if (!runtime && FormatSettings.DateSeparator == '.') {
            for (int k = 0; k < 2; ++k) {
                size_t p = t.find('.');
                if (p != std::string::npos) t[p] = ' ';
            }
        }
        TDateTime d;
        if (!SmartTextToDate(t, d)) {
            bool ok = runtime ? TryStrToDateTime(t, d) : VariantTextToDate(t, d);
            if (!ok) { ADate = NullDate; return false; }
        }
        if (!(d > -2147483648.0 && d < 2147483647.0) || std::trunc(d) == 0 ||
            GetDateElement(d, deYear) >= 10000) {
            ADate = NullDate;
            return false;
        }
        ADate = d;
        return true;
    } catch (const Exception&) {
        ADate = NullDate;
        return false;
    }
}

bool TryTextToDateTime(const std::string& AText, bool AUseVariant, TDateTime& ADate)
{
    ADate = NullDate;
    TDateTime d;
    bool ok = AUseVariant ? VariantTextToDate(AText, d) : TryStrToDateTime(AText, d);
    if (ok) ADate = d;
    return ok;
}

std::string DateTimeToText(TDateTime ADate)
{
    if (ADate == NullDate) return std::string();
    try {
        if (cxFormats::GetFormatController()->UseRuntimeDateFormats()) return DateTimeToStr(ADate);
        std::string s = DateToStr(ADate);
        if (Frac(ADate) != 0) s += " " + TimeToStr(ADate);
        return s;
    } catch (const Exception&) {
        return std::string();
    }
}

std::string DateTimeToTextEx(TDateTime ADate, bool AUseDateEditMask)
{
    if (ADate == NullDate) return std::string();
    if (AUseDateEditMask)
        return FormatDateTime(cxFormats::GetFormatController()->DateEditMask(), ADate);
    return DateTimeToText(ADate);
}

namespace {
std::string Quoted(const std::string& AText)
{
    std::string r = "'";
    for (char c : AText) {
        r += c;
        if (c == '\'') r += '\'';
    }
    return r + "'";
}
}  // namespace

std::string GetDateRegExprMask(const std::string& AFormat, bool AWithDateWords)
{
    std::string f = LowerCase(AFormat);
    if (f.find('g') != std::string::npos) return std::string();
    std::string sep = Quoted(std::string(1, FormatSettings.DateSeparator));
    bool yyyy = f.find("yyyy") != std::string::npos;
    std::string mask;
    bool first = true;
    size_t i = 0;
    auto isElem = [](char c) { return c == 'd' || c == 'e' || c == 'm' || c == 'y'; };
    while (i < f.size()) {
        char c = f[i];
        if (!isElem(c)) { ++i; continue; }
        // The element: the run of c and the characters after it up to the
        // next different element letter.
        size_t j = i;
        while (j < f.size() && (f[j] == c || !isElem(f[j]))) ++j;
        if (!first) mask += sep;
        first = false;
        switch (c) {
        case 'd': mask += "([012]?[1-9]|[123]0|31)"; break;
        case 'e':
            if (yyyy) mask += "\\d\\d\\d\\d";
            else if (FormatSettings.ShortDateFormat.find("ee") != std::string::npos) mask += "\\d\\d";
            else mask += "([1-9]?\\d)";
            break;
        case 'm': {
            mask += "((0?[1-9]|1[012])|(";
            bool longNames = f.find("mmmm") != std::string::npos;
            for (int k = 0; k < 12; ++k) {
                if (k) mask += "|";
                mask += Quoted(longNames ? FormatSettings.LongMonthNames[size_t(k)]
                                         : FormatSettings.ShortMonthNames[size_t(k)]);
            }
            mask += "))";
            break;
        }
        case 'y': mask += yyyy ? "\\d\\d\\d\\d" : "\\d\\d"; break;
        }
        i = j;
    }
    if (!AWithDateWords) return mask;
    std::string words;
    for (int k = 0; k < DateWordCount; ++k) {
        if (k) words += "|";
        words += Quoted(GetDateWord(k));
    }
    return "(" + mask + ")|((" + words + ")((\\+|-)\\d(\\d(\\d(\\d?)?)?)?))";
}

}  // namespace cxDateUtils
