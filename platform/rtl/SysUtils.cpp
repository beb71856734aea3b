#include "SysUtils.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// ---- format settings ------------------------------------------------------

TFormatSettings TFormatSettings::Default()
{
    TFormatSettings s;
    s.CurrencyString = "￥";
    s.CurrencyFormat = 0;
    s.NegCurrFormat = 2;
    s.ThousandSeparator = ',';
    s.DecimalSeparator = '.';
    s.CurrencyDecimals = 2;
    s.DateSeparator = '-';
    s.TimeSeparator = ':';
    s.ShortDateFormat = "yyyy-M-d";
    s.LongDateFormat = "yyyy'年'M'月'd'日'";
    s.TimeAMString = "上午";
    s.TimePMString = "下午";
    s.ShortTimeFormat = "h:mm";
    s.LongTimeFormat = "h:mm:ss";
    static const char* const months[12] = {"一月", "二月", "三月", "四月", "五月", "六月",
                                           "七月", "八月", "九月", "十月", "十一月", "十二月"};
    static const char* const shortDays[7] = {"周日", "周一", "周二", "周三", "周四", "周五", "周六"};
    static const char* const longDays[7] = {"星期日", "星期一", "星期二", "星期三",
                                            "星期四", "星期五", "星期六"};
    for (int i = 0; i < 12; ++i) {
        s.ShortMonthNames[i] = months[i];
        s.LongMonthNames[i] = months[i];
    }
    for (int i = 0; i < 7; ++i) {
        s.ShortDayNames[i] = shortDays[i];
        s.LongDayNames[i] = longDays[i];
    }
    s.TwoDigitYearCenturyWindow = 50;
    return s;
}

TFormatSettings FormatSettings = TFormatSettings::Default();

void ApplyProgramDateFormats(TFormatSettings& settings)
{
    settings.DateSeparator = '-';
    settings.ShortDateFormat = "yyyy-mm-dd";
    settings.TimeSeparator = ':';
    settings.LongDateFormat = "yyyy-mm-dd hh:nn:ss";
}

// ---- small helpers ----------------------------------------------------------

namespace {

// Characters (code points) of UTF-8 text; stray bytes count one each.
int CharCount(const std::string& s)
{
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// Byte length of the first `chars` characters.
size_t CharPrefixBytes(const std::string& s, int chars)
{
    size_t i = 0;
    int n = 0;
    while (i < s.size()) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars) break;
            ++n;
        }
        ++i;
    }
    return i;
}

std::string TrimBlanks(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (static_cast<unsigned char>(s[b]) <= ' ')) ++b;
    while (e > b && (static_cast<unsigned char>(s[e - 1]) <= ' ')) --e;
    return s.substr(b, e - b);
}

[[noreturn]] void ConvertError(const char* pattern, const std::string& s)
{
    std::string msg(pattern);
    size_t p = msg.find("%s");
    msg.replace(p, 2, s);
    throw EConvertError(msg);
}

// A number as decimal digits: value = 0.Digits * 10^Exponent. No digits
// means zero.
struct TFloatRec {
    bool Negative = false;
    bool Special = false;   // NaN or an infinity; Text holds its form
    std::string Text;
    int Exponent = 0;
    std::string Digits;
};

// Rounds a digit string half away from zero to `keep` digits; the exponent
// grows when the carry runs off the front.
void RoundDigits(std::string& digits, int& exponent, int keep)
{
    if (keep < 0) {
        digits.clear();
        return;
    }
    if (keep >= static_cast<int>(digits.size())) return;
    bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && digits[i] == '9') {
            digits[i] = '0';
            --i;
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            ++exponent;
            if (keep > 0) digits.resize(keep);
            else digits.resize(1);
        } else {
            ++digits[i];
        }
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

constexpr int NoDecimals = 9999;
constexpr int MaxDigits = 17;   // significant digits of a double's expansion

// How a double's decimal digits are taken before they are rounded for
// display. Each rounding takes halves away from zero, so the stages matter:
// 2.675 is 2.67499999999999982236431605997495353221893310546875 in binary.
enum class TDigitSource {
    Picture,   // 17 significant digits (all a double holds): FormatFloat
    Double,    // 17 digits, then 15: FloatToStr, FloatToStrF; 1.005 to two
               // decimals reads 1.01 as users expect
    Exact,     // the exact binary value: Format's float arguments
};

// The value's decimal digits, rounded to `precision` significant digits and
// to `decimals` places after the point.
TFloatRec FloatToDecimal(double value, int precision, int decimals,
                         TDigitSource source = TDigitSource::Double)
{
    TFloatRec r;
    if (std::isnan(value)) {
        r.Special = true;
        r.Text = "NAN";
        return r;
    }
    if (std::isinf(value)) {
        r.Special = true;
        r.Negative = value < 0;
        r.Text = value < 0 ? "-INF" : "INF";
        return r;
    }
    r.Negative = std::signbit(value);
    double a = std::fabs(value);
    if (a == 0) {
        r.Negative = false;
        return r;
    }
    const int base = source == TDigitSource::Exact ? 40 : MaxDigits;
    char buf[80];
    std::snprintf(buf, sizeof buf, "%.*e", base - 1, a);
    // d.ddd…de[+-]xx
    std::string digits;
    digits += buf[0];
    if (base > 1) digits.append(buf + 2, base - 1);
    int exp10 = std::atoi(std::strchr(buf, 'e') + 1) + 1;
    if (precision > MaxDigits) precision = MaxDigits;
    if (precision < 1) precision = 1;
    if (source == TDigitSource::Exact) {
        // One rounding of the exact value, at whichever limit comes first.
        int keep = precision;
        if (decimals != NoDecimals) keep = std::min(keep, exp10 + decimals);
        RoundDigits(digits, exp10, keep);
    } else {
        if (source == TDigitSource::Double && precision <= 15) RoundDigits(digits, exp10, 15);
        RoundDigits(digits, exp10, precision);
        if (decimals != NoDecimals && !digits.empty())
            RoundDigits(digits, exp10, exp10 + decimals);
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    r.Digits = digits;
    r.Exponent = digits.empty() ? 0 : exp10;
    if (digits.empty()) r.Negative = false;
    return r;
}

TFloatRec CurrToDecimal(Currency c, int decimals)
{
    TFloatRec r;
    int64_t v = c.Value;
    r.Negative = v < 0;
    uint64_t a = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    std::string digits = std::to_string(a);
    int exp10 = static_cast<int>(digits.size()) - 4;
    if (decimals > 4) decimals = 4;
    RoundDigits(digits, exp10, exp10 + decimals);
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    r.Digits = digits;
    r.Exponent = digits.empty() ? 0 : exp10;
    if (digits.empty()) r.Negative = false;
    return r;
}

char DigitAt(const TFloatRec& r, int i)
{
    return i >= 0 && i < static_cast<int>(r.Digits.size()) ? r.Digits[i] : '0';
}

std::string ExponentText(int e, bool plusSign, int minDigits)
{
    std::string s;
    if (e < 0) s += '-';
    else if (plusSign) s += '+';
    std::string d = std::to_string(std::abs(e));
    if (minDigits > 4) minDigits = 4;
    while (static_cast<int>(d.size()) < minDigits) d.insert(d.begin(), '0');
    return s + d;
}

std::string GeneralText(const TFloatRec& r, int precision, const TFormatSettings& fs)
{
    if (r.Special) return r.Text;
    if (r.Digits.empty()) return "0";
    std::string s = r.Negative ? "-" : "";
    int e = r.Exponent;
    const std::string& d = r.Digits;
    if (e > precision || e < -4) {   // below 0.00001: scientific
        s += d[0];
        if (d.size() > 1) {
            s += fs.DecimalSeparator;
            s += d.substr(1);
        }
        s += 'E';
        s += ExponentText(e - 1, false, 0);
    } else if (e <= 0) {
        s += '0';
        s += fs.DecimalSeparator;
        s.append(-e, '0');
        s += d;
    } else {
        for (int i = 0; i < e; ++i) s += DigitAt(r, i);
        if (static_cast<int>(d.size()) > e) {
            s += fs.DecimalSeparator;
            s += d.substr(e);
        }
    }
    return s;
}

std::string ExponentFormText(const TFloatRec& r, int precision, int digits, const TFormatSettings& fs)
{
    if (r.Special) return r.Text;
    std::string s = r.Negative ? "-" : "";
    s += DigitAt(r, 0);
    if (precision > 1) {
        s += fs.DecimalSeparator;
        for (int i = 1; i < precision; ++i) s += DigitAt(r, i);
    }
    s += 'E';
    s += ExponentText(r.Digits.empty() ? 0 : r.Exponent - 1, true, digits);
    return s;
}

// The unsigned fixed-point digits: integer part (grouped when asked) and
// `decimals` places.
std::string FixedDigits(const TFloatRec& r, int decimals, bool thousands, const TFormatSettings& fs)
{
    std::string ip;
    if (r.Exponent <= 0 || r.Digits.empty()) {
        ip = "0";
    } else {
        for (int i = 0; i < r.Exponent; ++i) ip += DigitAt(r, i);
    }
    std::string s;
    if (thousands && fs.ThousandSeparator != 0) {
        int n = static_cast<int>(ip.size());
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0) s += fs.ThousandSeparator;
            s += ip[i];
        }
    } else {
        s = ip;
    }
    if (decimals > 0) {
        s += fs.DecimalSeparator;
        int base = r.Digits.empty() ? 0 : r.Exponent;
        for (int i = 0; i < decimals; ++i) s += DigitAt(r, base + i);
    }
    return s;
}

std::string CurrencyText(const std::string& num, bool negative, const TFormatSettings& fs)
{
    const std::string& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 1: return num + c;
        case 2: return c + " " + num;
        case 3: return num + " " + c;
        default: return c + num;
        }
    }
    switch (fs.NegCurrFormat) {
    case 0: return "(" + c + num + ")";
    case 1: return "-" + c + num;
    case 2: return c + "-" + num;
    case 3: return c + num + "-";
    case 4: return "(" + num + c + ")";
    case 5: return "-" + num + c;
    case 6: return num + "-" + c;
    case 7: return num + c + "-";
    case 8: return "-" + num + " " + c;
    case 9: return "-" + c + " " + num;
    case 10: return num + " " + c + "-";
    case 11: return c + " " + num + "-";
    case 12: return c + " -" + num;
    case 13: return num + "- " + c;
    case 14: return "(" + c + " " + num + ")";
    case 15: return "(" + num + " " + c + ")";
    default: return "-" + c + num;
    }
}

int ClampDigits(int digits) { return digits < 0 ? 0 : digits > 18 ? 18 : digits; }

std::string FloatRecToText(const TFloatRec& r, TFloatFormat format, int precision, int digits,
                           const TFormatSettings& fs)
{
    if (r.Special) return r.Text;
    switch (format) {
    case ffGeneral:
        return GeneralText(r, precision, fs);
    case ffExponent:
        return ExponentFormText(r, precision, digits, fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        // More integer digits than the precision holds: general format.
        if (!r.Digits.empty() && r.Exponent > precision) return GeneralText(r, precision, fs);
        std::string num = FixedDigits(r, digits, format != ffFixed, fs);
        if (format == ffCurrency) return CurrencyText(num, r.Negative, fs);
        return r.Negative ? "-" + num : num;
    }
    }
    return {};
}

// Fewer than two significant digits are not offered, as in the class library.
int ClampPrecision(int precision) { return precision < 2 ? 2 : precision > MaxDigits ? MaxDigits : precision; }

std::string FloatToTextImpl(double value, TFloatFormat format, int precision, int digits,
                            const TFormatSettings& fs, TDigitSource source = TDigitSource::Double)
{
    precision = ClampPrecision(precision);
    digits = format == ffExponent ? (digits < 0 ? 0 : digits > 4 ? 4 : digits) : ClampDigits(digits);
    TFloatRec r;
    switch (format) {
    case ffGeneral:
    case ffExponent:
        r = FloatToDecimal(value, precision, NoDecimals, source);
        break;
    default:
        r = FloatToDecimal(value, precision, digits, source);
        break;
    }
    return FloatRecToText(r, format, precision, digits, fs);
}

std::string CurrToTextImpl(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs)
{
    digits = ClampDigits(digits);
    TFloatRec r;
    if (format == ffGeneral || format == ffExponent) r = CurrToDecimal(value, 4);
    else r = CurrToDecimal(value, digits);
    return FloatRecToText(r, format, 19, digits, fs);
}

// ---- picture formats ----------------------------------------------------------

// Splits a picture into its sections at ";" outside quotes.
std::vector<std::string> PictureSections(const std::string& fmt)
{
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : fmt) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            if (out.size() == 3) break;
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

struct TPicture {
    int IntPlaces = 0;        // digit placeholders before the point
    int FirstZero = -1;       // index (from the left, among integer places) of the first '0'
    int DecPlaces = 0;        // placeholders after the point
    int LastZero = 0;         // count of decimals up to and including the last '0'
    bool HasPoint = false;
    bool Thousands = false;
    bool Scientific = false;
    bool ExpPlus = false;
    int ExpDigits = 0;
};

TPicture AnalysePicture(const std::string& s)
{
    TPicture p;
    char quote = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        switch (c) {
        case '"':
        case '\'':
            quote = c;
            break;
        case '0':
        case '#':
            if (p.Scientific) break;
            if (p.HasPoint) {
                ++p.DecPlaces;
                if (c == '0') p.LastZero = p.DecPlaces;
            } else {
                if (c == '0' && p.FirstZero < 0) p.FirstZero = p.IntPlaces;
                ++p.IntPlaces;
            }
            break;
        case '.':
            if (!p.Scientific) p.HasPoint = true;
            break;
        case ',':
            if (!p.Scientific) p.Thousands = true;
            break;
        case 'E':
        case 'e':
            if (!p.Scientific && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
                p.Scientific = true;
                p.ExpPlus = s[i + 1] == '+';
                size_t j = i + 2;
                while (j < s.size() && s[j] == '0') {
                    ++p.ExpDigits;
                    ++j;
                }
                i = j - 1;
            }
            break;
        default:
            break;
        }
    }
    return p;
}

// Writes a section with the digits of `r` (already rounded to the picture).
std::string ApplyPicture(const std::string& s, const TPicture& p, const TFloatRec& r, bool sign,
                         const TFormatSettings& fs)
{
    std::string out;
    if (sign) out += '-';
    int valueExp = r.Digits.empty() ? 0 : r.Exponent;
    // Digits the number has before the point; a scientific picture puts as
    // many there as it has integer places and moves the rest into the exponent.
    int intDigits;
    int expValue = 0;
    if (p.Scientific) {
        intDigits = p.IntPlaces;
        expValue = r.Digits.empty() ? 0 : valueExp - p.IntPlaces;
    } else {
        intDigits = valueExp > 0 ? valueExp : 0;
    }
    // Integer positions counted from the point: the number shows
    // max(intDigits, places needed by '0's) digits.
    int zeroMin = p.FirstZero < 0 ? 0 : p.IntPlaces - p.FirstZero;
    int shownInt = std::max(intDigits, zeroMin);
    // Decimals shown: all up to LastZero, then the '#' ones while digits remain.
    int decAvail = 0;
    {
        int total = static_cast<int>(r.Digits.size());
        int afterPoint = p.Scientific ? total - p.IntPlaces : total - valueExp;
        decAvail = afterPoint > 0 ? afterPoint : 0;
    }
    int shownDec = std::min(p.DecPlaces, std::max(p.LastZero, decAvail));

    // The digit shown at integer position k (k = shownInt-1 … 0, from the left).
    auto intDigit = [&](int pos /* 0-based from the left of the shown integer part */) -> char {
        int idx = pos - (shownInt - intDigits);   // index among the number's integer digits
        if (idx < 0) return '0';
        return DigitAt(r, idx);
    };
    auto decDigit = [&](int k) -> char {
        int first = p.Scientific ? p.IntPlaces : valueExp;
        return DigitAt(r, first + k);
    };

    int placeIndex = 0;   // integer placeholders met
    int decIndex = 0;     // decimal placeholders met
    bool inDecimals = false;
    char quote = 0;
    int intWritten = 0;
    auto writeIntDigit = [&](int pos) {
        int fromPoint = shownInt - pos;   // 1 for the units digit
        out += intDigit(pos);
        if (p.Thousands && fs.ThousandSeparator && fromPoint > 1 && (fromPoint - 1) % 3 == 0)
            out += fs.ThousandSeparator;
    };
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (quote) {
            if (c == quote) quote = 0;
            else out += c;
            continue;
        }
        switch (c) {
        case '"':
        case '\'':
            quote = c;
            break;
        case '0':
        case '#':
            if (!inDecimals) {
                if (placeIndex == 0) {
                    // The first placeholder carries every extra leading digit.
                    int extra = shownInt - p.IntPlaces;
                    for (int k = 0; k < extra; ++k) writeIntDigit(intWritten++);
                }
                int slotPos = shownInt - (p.IntPlaces - placeIndex);   // position this slot stands for
                if (slotPos >= 0 && slotPos >= intWritten) {
                    while (intWritten <= slotPos) writeIntDigit(intWritten++);
                }
                ++placeIndex;
            } else {
                if (decIndex < shownDec) out += decDigit(decIndex);
                ++decIndex;
            }
            break;
        case '.':
            if (!inDecimals) {
                inDecimals = true;
                // A picture without integer places still shows the integer digits.
                while (intWritten < shownInt) writeIntDigit(intWritten++);
                if (shownDec > 0) out += fs.DecimalSeparator;
            }
            break;
        case ',':
            break;
        case 'E':
        case 'e':
            if (p.Scientific && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
                out += c;
                int e = expValue;
                if (e < 0) out += '-';
                else if (s[i + 1] == '+') out += '+';
                std::string d = std::to_string(std::abs(e));
                size_t j = i + 2;
                int zeros = 0;
                while (j < s.size() && s[j] == '0') {
                    ++zeros;
                    ++j;
                }
                while (static_cast<int>(d.size()) < zeros) d.insert(d.begin(), '0');
                out += d;
                i = j - 1;
                inDecimals = true;   // nothing numeric follows the exponent
                decIndex = p.DecPlaces;
            } else {
                out += c;
            }
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string FormatPicture(const std::string& format, double value, const Currency* curr,
                          const TFormatSettings& fs)
{
    if (!curr && (std::isnan(value) || std::isinf(value)))
        return FloatToTextImpl(value, ffGeneral, 15, 0, fs);
    std::vector<std::string> sections = PictureSections(format);
    bool negative = curr ? curr->Value < 0 : value < 0;
    auto digitsFor = [&](const std::string& sec) {
        TPicture p = AnalysePicture(sec);
        TFloatRec r;
        if (curr) {
            if (p.Scientific) {
                r = FloatToDecimal(curr->ToDouble(), std::max(1, p.IntPlaces + p.DecPlaces), NoDecimals);
            } else {
                r = CurrToDecimal(*curr, p.DecPlaces);
            }
        } else if (p.Scientific) {
            r = FloatToDecimal(value, std::max(1, std::min(MaxDigits, p.IntPlaces + p.DecPlaces)), NoDecimals,
                               TDigitSource::Picture);
        } else {
            r = FloatToDecimal(value, MaxDigits, p.DecPlaces, TDigitSource::Picture);
        }
        return std::make_pair(p, r);
    };
    if (format.empty() || (sections.size() == 1 && sections[0].empty())) {
        if (curr) return CurrToTextImpl(*curr, ffGeneral, 0, fs);
        return FloatToTextImpl(value, ffGeneral, 15, 0, fs);
    }
    // The positive section decides the rounding; a value that rounds to zero
    // takes the zero section and never shows a minus sign.
    auto [p0, r0] = digitsFor(sections[0]);
    std::string section = sections[0];
    TPicture p = p0;
    TFloatRec r = r0;
    bool sign = false;
    bool zero = curr ? curr->Value == 0 : value == 0;
    if (negative) {
        if (sections.size() >= 2 && !sections[1].empty()) {
            section = sections[1];
            std::tie(p, r) = digitsFor(section);
        } else {
            sign = true;
        }
        if (r.Digits.empty()) zero = true;
    } else if (r.Digits.empty()) {
        zero = true;
    }
    if (zero) {
        sign = false;
        if (sections.size() >= 3 && !sections[2].empty()) section = sections[2];
        else section = sections[0];
        std::tie(p, r) = digitsFor(section);
        r.Digits.clear();
        r.Exponent = 0;
    }
    // The chosen section and the first are both empty (";(0.00)" for a
    // positive value, ";;" for zero): the general form, as for an empty format.
    if (section.empty()) {
        if (curr) return CurrToTextImpl(*curr, ffGeneral, 0, fs);
        return FloatToTextImpl(value, ffGeneral, 15, 0, fs);
    }
    // More integer digits than a double holds: the general form.
    if (!p.Scientific && !r.Digits.empty() && r.Exponent > MaxDigits)
        return FloatToTextImpl(curr ? curr->ToDouble() : value, ffGeneral, 15, 0, fs);
    return ApplyPicture(section, p, r, sign, fs);
}

// ---- number parsing -------------------------------------------------------------

}   // namespace

bool TryStrToIntRange(const std::string& text, int64_t lo, int64_t hi, int64_t& out)
{
    // Leading blanks are skipped, trailing ones are not allowed, as the class
    // library reads integers.
    const std::string& s = text;
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        neg = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    // Hex text is read as the bit pattern of the full width, so "$FFFFFFFF"
    // is -1 for a 32-bit integer, as the class library reads it.
    uint64_t acc = 0;
    const uint64_t limit = base == 16 ? (hi == INT32_MAX ? 0xFFFFFFFFull : UINT64_MAX)
                                      : (neg ? uint64_t(hi) + 1 : uint64_t(hi));
    for (; i < s.size(); ++i) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        if (acc > (limit - d) / base) return false;
        acc = acc * base + d;
    }
    int64_t v;
    if (base == 16) {
        if (hi == INT32_MAX) v = static_cast<int32_t>(static_cast<uint32_t>(acc));
        else v = static_cast<int64_t>(acc);
        // "-$8000000000000000" negates the smallest 64-bit integer: out of range.
        if (neg && v == INT64_MIN) return false;
        if (neg) v = -v;
    } else {
        v = neg ? static_cast<int64_t>(uint64_t(0) - acc) : static_cast<int64_t>(acc);
    }
    if (v < lo || v > hi) return false;
    out = v;
    return true;
}

namespace {

// Decimal text with optional sign, point (the settings' separator) and
// exponent; blanks around.
bool ParseFloat(const std::string& text, double& out, const TFormatSettings& fs)
{
    std::string s = TrimBlanks(text);
    if (s.empty()) return false;
    std::string c;   // C-locale form for strtod
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-') c += s[i++];
    int digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        c += s[i++];
        ++digits;
    }
    if (i < s.size() && s[i] == fs.DecimalSeparator) {
        c += '.';
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            c += s[i++];
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        c += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
        int ed = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            c += s[i++];
            ++ed;
        }
        if (ed == 0) return false;
    }
    if (i != s.size()) return false;
    char* end = nullptr;
    double v = std::strtod(c.c_str(), &end);
    if (end != c.c_str() + c.size()) return false;
    if (std::isinf(v)) return false;   // overflow is not a valid number
    out = v;
    return true;
}

}   // namespace

// ---- Format -----------------------------------------------------------------------

namespace {

// The message quotes the format, cut (by characters) to 31 as the class
// library cuts it.
std::string ShownFormat(const std::string& fmt) { return fmt.substr(0, CharPrefixBytes(fmt, 31)); }

[[noreturn]] void FormatError(bool missing, const std::string& fmt)
{
    if (missing) throw EConvertError("No argument for format '" + ShownFormat(fmt) + "'");
    throw EConvertError("Format '" + ShownFormat(fmt) + "' invalid or incompatible with argument");
}

// The argument at index is of the wrong kind for its specifier.
[[noreturn]] void FormatArgumentError(const std::string& fmt, size_t index)
{
    throw EFormatArgumentError("Format '" + ShownFormat(fmt) + "' invalid or incompatible with argument",
                               static_cast<int>(index));
}

std::string HexText(uint64_t v)
{
    static const char* hex = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), hex[v & 15]);
        v >>= 4;
    } while (v);
    return s;
}

std::string FormatImpl(const std::string& fmt, const TVarRec* args, size_t count,
                       const TFormatSettings& fs)
{
    std::string out;
    size_t argIndex = 0;
    size_t i = 0;
    const size_t n = fmt.size();
    while (i < n) {
        char c = fmt[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i >= n) FormatError(false, fmt);
        if (fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // [index ":"] ["-"] [width] ["." prec] type
        // A width or precision beyond this needs more text than anyone
        // prints; it is refused before the padding is made.
        constexpr int64_t kMaxWidth = 100000000;
        auto readNumber = [&](int& value) -> bool {
            if (i < n && fmt[i] == '*') {
                ++i;
                if (argIndex >= count) FormatError(true, fmt);
                const TVarRec& a = args[argIndex++];
                if (a.VType != TVarRec::vtInteger) FormatArgumentError(fmt, argIndex - 1);
                if (a.VInt < -kMaxWidth || a.VInt > kMaxWidth) FormatError(false, fmt);
                value = static_cast<int>(a.VInt);
                return true;
            }
            if (i < n && std::isdigit(static_cast<unsigned char>(fmt[i]))) {
                int64_t v = 0;
                while (i < n && std::isdigit(static_cast<unsigned char>(fmt[i]))) {
                    v = v * 10 + (fmt[i] - '0');
                    if (v > kMaxWidth) FormatError(false, fmt);
                    ++i;
                }
                value = static_cast<int>(v);
                return true;
            }
            return false;
        };
        int width = 0, prec = -1;
        bool left = false;
        int num = 0;
        bool haveNum = readNumber(num);
        if (haveNum && i < n && fmt[i] == ':') {
            ++i;
            argIndex = static_cast<size_t>(num < 0 ? 0 : num);
            haveNum = false;
        }
        if (!haveNum) {
            if (i < n && fmt[i] == '-') {
                left = true;
                ++i;
            }
            haveNum = readNumber(num);
        }
        if (haveNum) {
            // A negative width from "*" justifies to the left.
            if (num < 0) {
                left = true;
                num = -num;
            }
            width = num;
        }
        if (i < n && fmt[i] == '.') {
            ++i;
            if (!readNumber(prec)) prec = 0;
            if (prec < 0) prec = -1;
        }
        if (i >= n) FormatError(false, fmt);
        char type = static_cast<char>(std::tolower(static_cast<unsigned char>(fmt[i])));
        ++i;
        if (std::string("duefgnmpsx").find(type) == std::string::npos) FormatError(false, fmt);
        if (argIndex >= count) FormatError(true, fmt);
        const TVarRec& a = args[argIndex++];
        std::string text;
        auto isInt = a.VType == TVarRec::vtInteger || a.VType == TVarRec::vtInt64 ||
                     a.VType == TVarRec::vtUInt64;
        switch (type) {
        case 'd':
        case 'u': {
            if (!isInt) FormatArgumentError(fmt, argIndex - 1);
            bool neg = false;
            uint64_t mag;
            if (a.VType == TVarRec::vtUInt64) {
                mag = a.VUInt;
            } else if (type == 'u' && a.VInt < 0) {
                // Unsigned view of the argument's own width.
                mag = a.VType == TVarRec::vtInteger ? uint64_t(uint32_t(int32_t(a.VInt)))
                                                    : uint64_t(a.VInt);
            } else {
                neg = a.VInt < 0;
                mag = neg ? uint64_t(0) - uint64_t(a.VInt) : uint64_t(a.VInt);
            }
            std::string d = std::to_string(mag);
            if (prec > 0 && static_cast<int>(d.size()) < prec) d.insert(0, prec - d.size(), '0');
            text = neg ? "-" + d : d;
            break;
        }
        case 'x': {
            if (!isInt) FormatArgumentError(fmt, argIndex - 1);
            uint64_t v;
            if (a.VType == TVarRec::vtUInt64) v = a.VUInt;
            else if (a.VType == TVarRec::vtInteger) v = uint32_t(int32_t(a.VInt));
            else v = uint64_t(a.VInt);
            text = HexText(v);
            if (prec > 0 && static_cast<int>(text.size()) < prec) text.insert(0, prec - text.size(), '0');
            break;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            if (a.VType != TVarRec::vtExtended && a.VType != TVarRec::vtCurrency) FormatArgumentError(fmt, argIndex - 1);
            TFloatFormat ff;
            int p, d;
            switch (type) {
            case 'e': ff = ffExponent; p = prec < 0 ? 15 : prec; d = 3; break;
            case 'g': ff = ffGeneral; p = prec < 0 ? 15 : prec; d = 3; break;
            case 'f': ff = ffFixed; p = MaxDigits; d = prec < 0 ? 2 : prec; break;
            case 'n': ff = ffNumber; p = MaxDigits; d = prec < 0 ? 2 : prec; break;
            default: ff = ffCurrency; p = MaxDigits; d = prec < 0 ? fs.CurrencyDecimals : prec; break;
            }
            if (a.VType == TVarRec::vtCurrency) {
                if (ff == ffExponent || ff == ffGeneral) text = FloatToTextImpl(a.VCurrency.ToDouble(), ff, p, d, fs);
                else text = CurrToTextImpl(a.VCurrency, ff, d, fs);
            } else {
                text = FloatToTextImpl(a.VExtended, ff, p, d, fs, TDigitSource::Exact);
            }
            break;
        }
        case 'p': {
            if (a.VType != TVarRec::vtPointer) FormatArgumentError(fmt, argIndex - 1);
            text = HexText(reinterpret_cast<uintptr_t>(a.VPointer));
            int w = static_cast<int>(sizeof(void*) * 2);
            if (static_cast<int>(text.size()) < w) text.insert(0, w - text.size(), '0');
            break;
        }
        case 's': {
            if (a.VType == TVarRec::vtString) text = a.VString;
            else if (a.VType == TVarRec::vtChar) text = std::string(1, static_cast<char>(a.VInt));
            else FormatArgumentError(fmt, argIndex - 1);
            if (prec >= 0 && CharCount(text) > prec) text.resize(CharPrefixBytes(text, prec));
            break;
        }
        }
        int len = CharCount(text);
        if (len < width) {
            if (left) text.append(width - len, ' ');
            else text.insert(0, width - len, ' ');
        }
        out += text;
    }
    return out;
}

}   // namespace

std::string Format(const std::string& fmt, std::initializer_list<TVarRec> args)
{
    return FormatImpl(fmt, args.begin(), args.size(), FormatSettings);
}
std::string Format(const std::string& fmt, std::initializer_list<TVarRec> args,
                   const TFormatSettings& settings)
{
    return FormatImpl(fmt, args.begin(), args.size(), settings);
}
std::string Format(const std::string& fmt, const std::vector<TVarRec>& args)
{
    return FormatImpl(fmt, args.data(), args.size(), FormatSettings);
}
std::string Format(const std::string& fmt, const std::vector<TVarRec>& args,
                   const TFormatSettings& settings)
{
    return FormatImpl(fmt, args.data(), args.size(), settings);
}

// ---- integers ------------------------------------------------------------------------

std::string IntToStr(int value) { return std::to_string(value); }
std::string IntToStr(int64_t value) { return std::to_string(value); }
std::string UIntToStr(uint32_t value) { return std::to_string(value); }
std::string UIntToStr(uint64_t value) { return std::to_string(value); }

std::string IntToHex(int value, int digits)
{
    std::string s = HexText(uint32_t(value));
    if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
    return s;
}

std::string IntToHex(int64_t value, int digits)
{
    std::string s = HexText(uint64_t(value));
    if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
    return s;
}

bool TryStrToInt(const std::string& s, int& value)
{
    int64_t v;
    if (!TryStrToIntRange(s, INT32_MIN, INT32_MAX, v)) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const std::string& s)
{
    int v;
    if (!TryStrToInt(s, v)) ConvertError("'%s' is not a valid integer value", s);
    return v;
}

int StrToIntDef(const std::string& s, int def)
{
    int v;
    return TryStrToInt(s, v) ? v : def;
}

bool TryStrToInt64(const std::string& s, int64_t& value)
{
    return TryStrToIntRange(s, INT64_MIN, INT64_MAX, value);
}

int64_t StrToInt64(const std::string& s)
{
    int64_t v;
    if (!TryStrToInt64(s, v)) ConvertError("'%s' is not a valid integer value", s);
    return v;
}

int64_t StrToInt64Def(const std::string& s, int64_t def)
{
    int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

// ---- floats -----------------------------------------------------------------------------

std::string FloatToStr(double value) { return FloatToTextImpl(value, ffGeneral, 15, 0, FormatSettings); }
std::string FloatToStr(double value, const TFormatSettings& settings)
{
    return FloatToTextImpl(value, ffGeneral, 15, 0, settings);
}
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    return FloatToTextImpl(value, format, precision, digits, FormatSettings);
}
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings)
{
    return FloatToTextImpl(value, format, precision, digits, settings);
}
std::string FormatFloat(const std::string& format, double value)
{
    return FormatPicture(format, value, nullptr, FormatSettings);
}
std::string FormatFloat(const std::string& format, double value, const TFormatSettings& settings)
{
    return FormatPicture(format, value, nullptr, settings);
}

bool TryStrToFloat(const std::string& s, double& value) { return ParseFloat(s, value, FormatSettings); }
bool TryStrToFloat(const std::string& s, double& value, const TFormatSettings& settings)
{
    return ParseFloat(s, value, settings);
}
double StrToFloat(const std::string& s) { return StrToFloat(s, FormatSettings); }
double StrToFloat(const std::string& s, const TFormatSettings& settings)
{
    double v;
    if (!ParseFloat(s, v, settings)) ConvertError("'%s' is not a valid floating point value", s);
    return v;
}
double StrToFloatDef(const std::string& s, double def) { return StrToFloatDef(s, def, FormatSettings); }
double StrToFloatDef(const std::string& s, double def, const TFormatSettings& settings)
{
    double v;
    return ParseFloat(s, v, settings) ? v : def;
}

std::string CurrToStr(Currency value) { return CurrToTextImpl(value, ffGeneral, 0, FormatSettings); }
std::string CurrToStr(Currency value, const TFormatSettings& settings)
{
    return CurrToTextImpl(value, ffGeneral, 0, settings);
}
std::string CurrToStrF(Currency value, TFloatFormat format, int digits)
{
    return CurrToTextImpl(value, format, digits, FormatSettings);
}
std::string CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& settings)
{
    return CurrToTextImpl(value, format, digits, settings);
}
std::string FormatCurr(const std::string& format, Currency value)
{
    return FormatPicture(format, value.ToDouble(), &value, FormatSettings);
}
std::string FormatCurr(const std::string& format, Currency value, const TFormatSettings& settings)
{
    return FormatPicture(format, value.ToDouble(), &value, settings);
}

const TSysLocale SysLocale{};

bool TextToFloat(const std::string& s, double& value) { return TryStrToFloat(s, value); }
bool TextToFloat(const std::string& s, double& value, const TFormatSettings& settings)
{
    return TryStrToFloat(s, value, settings);
}

bool TryStrToCurr(const std::string& s, Currency& value, const TFormatSettings& settings)
{
    // Read the text exactly: four decimals kept, the rest rounding the last
    // one (halves to even), as text is converted to the fixed-point type.
    std::string t = TrimBlanks(s);
    double check;
    if (!ParseFloat(t, check, settings)) return false;
    // A coarse bound first; the exact one (the largest amount is
    // 922337203685477.5807) is checked on the digits below, as a double
    // cannot tell the last amounts apart.
    if (std::fabs(check) >= 1e15) return false;
    // The digits are read exactly, an exponent moving the point, so that
    // "9.22337203685477e14" is the amount it spells and not its nearest double.
    size_t i = 0;
    bool neg = false;
    if (t[i] == '+' || t[i] == '-') neg = t[i++] == '-';
    std::string digits;
    int64_t exp10 = 0;   // digits before the point
    bool point = false;
    for (; i < t.size() && t[i] != 'e' && t[i] != 'E'; ++i) {
        if (t[i] == settings.DecimalSeparator) {
            point = true;
            continue;
        }
        if (!point) ++exp10;
        digits += t[i];
    }
    if (i < t.size()) {
        ++i;
        bool expNeg = false;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) expNeg = t[i++] == '-';
        int64_t e = 0;
        for (; i < t.size(); ++i) e = std::min<int64_t>(e * 10 + (t[i] - '0'), 1000000);
        exp10 += expNeg ? -e : e;
    }
    if (digits.find_first_not_of('0') == std::string::npos) {
        value = Currency();
        return true;
    }
    // Beyond four decimals the text rounds half to even, as the class
    // library's conversion to the fixed-point type does.
    int64_t keep = exp10 + 4;
    int cmp = -1;   // the dropped part against one half
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<int64_t>(digits.size())) {
        if (digits[keep] > '5') cmp = 1;
        else if (digits[keep] == '5')
            cmp = digits.find_first_not_of('0', keep + 1) == std::string::npos ? 0 : 1;
        digits.resize(keep);
    } else {
        digits.append(static_cast<size_t>(keep) - digits.size(), '0');
    }
    // Below 1e15 the raw amount stays below 1e19, within 64 unsigned bits.
    uint64_t raw = 0;
    for (char c : digits) raw = raw * 10 + uint64_t(c - '0');
    if (cmp > 0 || (cmp == 0 && (raw & 1))) ++raw;
    const uint64_t limit = neg ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
    if (raw > limit) return false;
    value = Currency::FromRaw(neg ? static_cast<int64_t>(0 - raw) : static_cast<int64_t>(raw));
    return true;
}
bool TryStrToCurr(const std::string& s, Currency& value) { return TryStrToCurr(s, value, FormatSettings); }
Currency StrToCurr(const std::string& s, const TFormatSettings& settings)
{
    Currency c;
    if (!TryStrToCurr(s, c, settings)) ConvertError("'%s' is not a valid floating point value", s);
    return c;
}
Currency StrToCurr(const std::string& s) { return StrToCurr(s, FormatSettings); }
Currency StrToCurrDef(const std::string& s, Currency def, const TFormatSettings& settings)
{
    Currency c;
    return TryStrToCurr(s, c, settings) ? c : def;
}
Currency StrToCurrDef(const std::string& s, Currency def) { return StrToCurrDef(s, def, FormatSettings); }

// ---- rounding ---------------------------------------------------------------------------

namespace {
void CheckIntegral(double v)
{
    if (std::isnan(v) || std::isinf(v) || v >= 9223372036854775808.0 || v < -9223372036854775808.0)
        throw EInvalidOp("Invalid floating point operation");
}
}

int64_t Round(double value)
{
    double r = std::nearbyint(value);   // the default mode takes halves to even
    CheckIntegral(r);
    return static_cast<int64_t>(r);
}

int64_t Trunc(double value)
{
    double t = std::trunc(value);
    CheckIntegral(t);
    return static_cast<int64_t>(t);
}

double Int(double value) { return std::trunc(value); }
double Frac(double value) { return value - std::trunc(value); }
