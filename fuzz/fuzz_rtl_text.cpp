// Any text through the run-time library's conversions: parsing numbers and
// dates, Format/FormatFloat/FormatDateTime with any format string, GBK and
// UTF-8 conversion and a variant's string conversions. A conversion raises
// an Exception or succeeds; what parses prints and parses back the same.
#include "DateUtils.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "Variants.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

double Bits(const std::string& s)
{
    double d = 0;
    if (s.size() >= 8) std::memcpy(&d, s.data(), 8);
    return d;
}

void Numbers(const std::string& s)
{
    int i = 0;
    if (TryStrToInt(s, i)) Check(StrToInt(IntToStr(i)) == i, "int round trip");
    int64_t l = 0;
    if (TryStrToInt64(s, l)) Check(StrToInt64(IntToStr(l)) == l, "int64 round trip");
    double d = 0;
    if (TryStrToFloat(s, d) && std::isfinite(d)) {
        double back = 0;
        Check(TryStrToFloat(FloatToStr(d), back), "FloatToStr parses back");
    }
    Currency c;
    if (TryStrToCurr(s, c)) {
        Currency back;
        Check(TryStrToCurr(CurrToStr(c), back) && back == c, "currency round trip");
    }
    try { StrToInt(s); } catch (const Exception&) {}
    try { StrToFloat(s); } catch (const Exception&) {}
    try { StrToCurr(s); } catch (const Exception&) {}
}

void Dates(const std::string& s)
{
    TDateTime dt = 0;
    if (TryStrToDate(s, dt)) {
        TDateTime back = 0;
        Check(TryStrToDate(DateToStr(dt), back) && back == dt, "date round trip");
    }
    if (TryStrToTime(s, dt)) {
        TDateTime back = 0;
        Check(TryStrToTime(TimeToStr(dt), back), "time parses back");
    }
    if (TryStrToDateTime(s, dt)) {
        TDateTime back = 0;
        Check(TryStrToDateTime(DateTimeToStr(dt), back), "date and time parse back");
    }
    try { StrToDate(s); } catch (const Exception&) {}
    try { StrToDateTime(s); } catch (const Exception&) {}
}

void Formats(const std::string& fmt, const std::string& rest)
{
    double d = Bits(rest);
    // An integer of the input's own, for widths and precisions from "*".
    int k = 0;
    if (rest.size() >= 12) std::memcpy(&k, rest.data() + 8, 4);
    try { Format(fmt, {42, "文本", 2.5, int64_t(-7), 'c', Currency::FromRaw(12345)}); } catch (const Exception&) {}
    try { Format(fmt, {k, k, "文本", k, 2.5}); } catch (const Exception&) {}
    try { Format(fmt, {}); } catch (const Exception&) {}
    try { FormatFloat(fmt, d); } catch (const Exception&) {}
    try { FormatFloat(fmt, -1234.5678); } catch (const Exception&) {}
    try { FormatCurr(fmt, Currency::FromRaw(-987654321)); } catch (const Exception&) {}
    try { FormatDateTime(fmt, 45000.75); } catch (const Exception&) {}
    try { FormatDateTime(fmt, d); } catch (const Exception&) {}
    try { FloatToStr(d); } catch (const Exception&) {}
}

void Text(const std::string& s)
{
    std::string u = GbkToUtf8(s);
    Check(IsValidUtf8(u), "GBK decodes to valid UTF-8");
    if (IsValidGbk(s)) Check(Utf8ToGbk(u) == s || !IsValidUtf8(u), "GBK round trip");
    std::string g = Utf8ToGbk(s);
    GbkLength(s);
    GbkTruncate(s, int(s.size() / 2));
    GbkCopy(s, int(s.size() % 5), int(s.size() / 3));
    for (int i = 0; i < int(g.size()); ++i) ByteType(g, i);
    std::u16string w = Utf8ToUtf16(s);
    if (IsValidUtf8(s)) Check(Utf16ToUtf8(w) == s, "UTF-16 round trip");
    Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size() / 2));
    AnsiUpperCase(s);
    AnsiCompareText(s, u);
    Length(s);
    Copy(s, 2, 3);
}

void Variants(const std::string& s)
{
    Variant v(s);
    try { v.AsInteger(); } catch (const Exception&) {}
    try { v.AsInt64(); } catch (const Exception&) {}
    try { v.AsDouble(); } catch (const Exception&) {}
    try { v.AsCurrency(); } catch (const Exception&) {}
    try { v.AsDate(); } catch (const Exception&) {}
    try { v.AsBoolean(); } catch (const Exception&) {}
    for (TVarType t : {varSmallint, varInteger, varSingle, varDouble, varCurrency, varDate, varBoolean,
                       varByte, varWord, varLongWord, varInt64, varOleStr, varString}) {
        try {
            Variant c = VarAsType(v, t);
            VarToStr(c);
        } catch (const Exception&) {}
    }
    Variant w = Variant::FromWide(s);
    VarToStr(w);
    Variant d = Variant::FromDate(Bits(s));
    try { VarToStr(d); } catch (const Exception&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    std::string s(reinterpret_cast<const char*>(data) + 1, size - 1);
    size_t cut = s.find('\0');
    std::string head = cut == std::string::npos ? s : s.substr(0, cut);
    std::string tail = cut == std::string::npos ? std::string() : s.substr(cut + 1);
    switch (data[0] % 5) {
        case 0: Numbers(head); break;
        case 1: Dates(head); break;
        case 2: Formats(head, tail); break;
        case 3: Text(s); break;
        case 4: Variants(head); break;
    }
    return 0;
}
