#include "fs_isysrtti.h"

#include "DateUtils.h"
#include "Exceptions.h"
#include "HostServices.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "fs_common.h"
#include "fs_iinterpreter.h"
#include "fs_iole.h"
#include "fs_itools.h"

#include <chrono>
#include <cmath>
#include <random>

QZ_CLASS_IMPL(TfsSysFunctions, TObject)

namespace {

std::mt19937_64& Rng()
{
    static std::mt19937_64 rng(12345);
    return rng;
}

int ArgInt(const TfsParams& p, size_t i) { return p[i].AsInteger(); }
double ArgFloat(const TfsParams& p, size_t i) { return p[i].AsDouble(); }
std::string ArgStr(const TfsParams& p, size_t i) { return VarToStr(p[i]); }

// Substring by characters; "from" below 1 counts as 1 without shortening the count.
std::string CopyChars(const std::string& s, int from, int count)
{
    if (count <= 0) return std::string();
    if (from < 1) from = 1;
    size_t a = Utf8Offset(s, from);
    if (a >= s.size()) return std::string();
    size_t b = Utf8Offset(s, from + count);
    return s.substr(a, b - a);
}

// The edit-mask language: mask[;keepLiterals[;blank]]. Mask characters:
// 0 9 # digits, L l letters, A a letters or digits, C c any character
// (upper case required, lower case optional), > and < change case,
// <> stops changing it, \ makes the next character a literal, and every
// other character is a literal.
std::string ApplyEditMask(const std::string& editMask, const std::string& value)
{
    std::u16string mask = Utf8ToUtf16(editMask);
    std::u16string text = Utf8ToUtf16(value);
    bool keepLiterals = true;
    char16_t blank = u'_';
    // split off the two optional sections (from the end, a mask may hold ';' after '\')
    {
        size_t semi = std::u16string::npos;
        for (size_t i = 0; i < mask.size(); ++i) {
            if (mask[i] == u'\\') { ++i; continue; }
            if (mask[i] == u';') { semi = i; break; }
        }
        if (semi != std::u16string::npos) {
            std::u16string rest = mask.substr(semi + 1);
            mask = mask.substr(0, semi);
            size_t s2 = rest.find(u';');
            std::u16string keep = rest.substr(0, s2);
            keepLiterals = !(keep == u"0");
            if (s2 != std::u16string::npos && s2 + 1 < rest.size()) blank = rest[s2 + 1];
        }
    }
    auto isMaskChar = [](char16_t c) {
        return c == u'0' || c == u'9' || c == u'#' || c == u'L' || c == u'l' || c == u'A' || c == u'a' ||
               c == u'C' || c == u'c';
    };
    std::u16string out;
    size_t vi = 0;
    int caseMode = 0;   // 1 upper, -1 lower
    for (size_t i = 0; i < mask.size(); ++i) {
        char16_t m = mask[i];
        if (m == u'>') {
            if (i + 1 < mask.size() && mask[i + 1] == u'<') { caseMode = 0; ++i; }
            else caseMode = 1;
            continue;
        }
        if (m == u'<') { caseMode = -1; continue; }
        bool literal = !isMaskChar(m);
        if (m == u'\\' && i + 1 < mask.size()) {
            m = mask[++i];
            literal = true;
        }
        if (literal) {
            out += m;
            if (keepLiterals && vi < text.size() && text[vi] == m) ++vi;
            continue;
        }
        char16_t c = vi < text.size() ? text[vi++] : blank;
        if (caseMode == 1 && c < 128) c = char16_t(toupper(c));
        if (caseMode == -1 && c < 128) c = char16_t(tolower(c));
        out += c;
    }
    return Utf16ToUtf8(out);
}

std::string NameCaseOf(const std::string& s)
{
    std::u16string u = Utf8ToUtf16(s);
    std::u16string lower = Utf8ToUtf16(AnsiLowerCase(s));
    if (u.empty() || lower.size() != u.size()) return AnsiLowerCase(s);
    auto upperOf = [](char16_t c) {
        std::u16string one(1, c);
        std::u16string r = Utf8ToUtf16(AnsiUpperCase(Utf16ToUtf8(one)));
        return r.size() == 1 ? r[0] : c;
    };
    lower[0] = upperOf(u[0]);
    for (size_t i = 1; i + 1 < u.size(); ++i)
        if (u[i] == u' ') lower[i + 1] = upperOf(u[i + 1]);
    return Utf16ToUtf8(lower);
}

// Round and Trunc give an Integer when the value fits, else the whole
// 64-bit value rather than its low half.
Variant IntegerResult(int64_t v)
{
    if (v >= INT32_MIN && v <= INT32_MAX) return Variant(int(v));
    return Variant::FromInt64(v);
}

Variant ToText(const std::string& name, TfsParams& p)
{
    if (name == "INTTOSTR") return Variant(IntToStr(p[0].AsInt64()));
    if (name == "FLOATTOSTR") return Variant(FloatToStr(ArgFloat(p, 0)));
    if (name == "DATETOSTR") return Variant(DateToStr(ArgFloat(p, 0)));
    if (name == "TIMETOSTR") return Variant(TimeToStr(ArgFloat(p, 0)));
    if (name == "DATETIMETOSTR") return Variant(DateTimeToStr(ArgFloat(p, 0)));
    return Null();
}

Variant FromText(const std::string& name, TfsParams& p)
{
    if (name == "STRTOINT") return Variant(StrToInt(Trim(ArgStr(p, 0))));
    if (name == "STRTOFLOAT") return Variant(StrToFloat(ArgStr(p, 0)));
    if (name == "STRTODATE") return Variant(StrToDate(ArgStr(p, 0)));
    if (name == "STRTOTIME") return Variant(StrToTime(ArgStr(p, 0)));
    if (name == "STRTODATETIME") return Variant(StrToDateTime(ArgStr(p, 0)));
    return Null();
}

Variant FormatFn(const std::string& name, TfsParams& p)
{
    if (name == "FORMAT") {
        try {
            return Variant(Format(ArgStr(p, 0), fs_itools::VariantToVarRecs(p[1])));
        } catch (const EFormatArgumentError& e) {
            // The script's author is told which argument does not fit, and
            // what it holds.
            const Variant arg = VarArrayGet(p[1], {VarArrayLowBound(p[1], 1) + e.Argument});
            throw EConvertError(e.Message() + " " + std::to_string(e.Argument + 1) + " (" +
                                VarTypeAsText(arg.VType()) + " " + VarToStr(arg) + ")");
        }
    }
    if (name == "FORMATFLOAT") return Variant(FormatFloat(ArgStr(p, 0), ArgFloat(p, 1)));
    if (name == "FORMATDATETIME") return Variant(FormatDateTime(ArgStr(p, 0), ArgFloat(p, 1)));
    if (name == "FORMATMASKTEXT") return Variant(ApplyEditMask(ArgStr(p, 0), ArgStr(p, 1)));
    return Null();
}

Variant DateFn(const std::string& name, TfsParams& p)
{
    if (name == "ENCODEDATE") return Variant(EncodeDate(ArgInt(p, 0), ArgInt(p, 1), ArgInt(p, 2)));
    if (name == "DECODEDATE") {
        uint16_t y, m, d;
        DecodeDate(ArgFloat(p, 0), y, m, d);
        p[1] = Variant::FromWord(y);
        p[2] = Variant::FromWord(m);
        p[3] = Variant::FromWord(d);
        return Null();
    }
    if (name == "ENCODETIME") return Variant(EncodeTime(ArgInt(p, 0), ArgInt(p, 1), ArgInt(p, 2), ArgInt(p, 3)));
    if (name == "DECODETIME") {
        uint16_t h, m, s, ms;
        DecodeTime(ArgFloat(p, 0), h, m, s, ms);
        p[1] = Variant::FromWord(h);
        p[2] = Variant::FromWord(m);
        p[3] = Variant::FromWord(s);
        p[4] = Variant::FromWord(ms);
        return Null();
    }
    if (name == "DATE") return Variant(Date());
    if (name == "TIME") return Variant(Time());
    if (name == "NOW") return Variant(Now());
    if (name == "DAYOFWEEK") return Variant::FromWord(uint16_t(DayOfWeek(ArgFloat(p, 0))));
    if (name == "ISLEAPYEAR") return Variant(IsLeapYear(ArgInt(p, 0)));
    if (name == "DAYSINMONTH") {
        int y = ArgInt(p, 0), m = ArgInt(p, 1);
        if (m < 1 || m > 12) throw EConvertError("Month out of range (" + std::to_string(m) + ")");
        static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return Variant(days[m - 1] + (m == 2 && IsLeapYear(y) ? 1 : 0));
    }
    return Null();
}

Variant StringFn(const std::string& name, TfsParams& p)
{
    if (name == "LENGTH") {
        if (p[0].IsArray()) return Variant(VarArrayHighBound(p[0], 1) - VarArrayLowBound(p[0], 1) + 1);
        return Variant(Length(VarToStr(p[0])));
    }
    if (name == "COPY") return Variant(CopyChars(ArgStr(p, 0), ArgInt(p, 1), ArgInt(p, 2)));
    if (name == "POS") return Variant(Pos(ArgStr(p, 0), ArgStr(p, 1)));
    if (name == "DELETE") {
        std::string s = ArgStr(p, 0);
        int from = ArgInt(p, 1), count = ArgInt(p, 2);
        int len = Length(s);
        if (from >= 1 && from <= len && count > 0) {
            size_t a = Utf8Offset(s, from), b = Utf8Offset(s, from + count);
            s.erase(a, b - a);
        }
        p[0] = Variant(s);
        return Null();
    }
    if (name == "INSERT") {
        std::string src = ArgStr(p, 0), s = ArgStr(p, 1);
        int pos = ArgInt(p, 2);
        if (pos < 1) pos = 1;
        size_t a = Utf8Offset(s, pos);
        if (a > s.size()) a = s.size();
        s.insert(a, src);
        p[1] = Variant(s);
        return Null();
    }
    if (name == "UPPERCASE") return Variant(AnsiUpperCase(ArgStr(p, 0)));
    if (name == "LOWERCASE") return Variant(AnsiLowerCase(ArgStr(p, 0)));
    if (name == "TRIM") return Variant(Trim(ArgStr(p, 0)));
    if (name == "NAMECASE") return Variant(NameCaseOf(ArgStr(p, 0)));
    if (name == "COMPARETEXT") return Variant(AnsiCompareText(ArgStr(p, 0), ArgStr(p, 1)));
    if (name == "CHR") {
        std::string s;
        fs_common::AppendCodePoint(s, uint32_t(ArgInt(p, 0)) & 0xFF);
        return Variant(s);
    }
    if (name == "ORD") {
        std::u16string u = Utf8ToUtf16(ArgStr(p, 0));
        if (u.empty()) throw EConvertError("Ord of an empty string");
        return Variant(int(u[0]));
    }
    if (name == "SETLENGTH") {
        Variant& v = p[0];
        int len = ArgInt(p, 1);
        if (v.VType() == varString || v.VType() == varOleStr) {
            std::string s = v.RawString();
            int cur = Length(s);
            if (len <= 0) s.clear();
            else if (len < cur) s.erase(Utf8Offset(s, len + 1));
            else s.append(size_t(len - cur), ' ');
            v = Variant(s);
        } else if (v.IsArray()) {
            VarArrayRedim(v, len - 1);
        } else {
            throw EVariantTypeCastError("SetLength needs a string or an array");
        }
        return Null();
    }
    return Null();
}

Variant MathFn(const std::string& name, TfsParams& p)
{
    if (name == "PI") return Variant(3.1415926535897932385);
    double x = ArgFloat(p, 0);
    if (name == "ROUND") return IntegerResult(Round(x));
    if (name == "TRUNC") return IntegerResult(Trunc(x));
    if (name == "INT") return Variant(std::trunc(x));
    if (name == "FRAC") return Variant(x - std::trunc(x));
    if (name == "SQRT") {
        if (x < 0) throw EInvalidOp("Invalid floating point operation");
        return Variant(std::sqrt(x));
    }
    if (name == "ABS") return Variant(std::fabs(x));
    if (name == "SIN") return Variant(std::sin(x));
    if (name == "COS") return Variant(std::cos(x));
    if (name == "ARCTAN") return Variant(std::atan(x));
    if (name == "TAN") return Variant(std::sin(x) / std::cos(x));
    if (name == "EXP") return Variant(std::exp(x));
    if (name == "LN") {
        if (x <= 0) throw EInvalidOp("Invalid floating point operation");
        return Variant(std::log(x));
    }
    return Null();
}

Variant OtherFn(const std::string& name, TfsParams& p)
{
    if (name == "INC") {
        p[0] = VarBinaryOp(p[0], p[1], opAdd);
        return Null();
    }
    if (name == "DEC") {
        p[0] = VarBinaryOp(p[0], p[1], opSubtract);
        return Null();
    }
    if (name == "RAISEEXCEPTION") throw Exception(ArgStr(p, 0));
    if (name == "SHOWMESSAGE") {
        ShowMessage(VarToStr(p[0]));
        return Null();
    }
    if (name == "RANDOMIZE") {
        Rng().seed(uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
        return Null();
    }
    if (name == "RANDOM") return Variant(std::uniform_real_distribution<double>(0.0, 1.0)(Rng()));
    if (name == "VALIDINT") {
        int v;
        return Variant(TryStrToInt(Trim(ArgStr(p, 0)), v));
    }
    if (name == "VALIDFLOAT") {
        double v;
        return Variant(TryStrToFloat(ArgStr(p, 0), v));
    }
    if (name == "VALIDDATE") {
        TDateTime v;
        return Variant(TryStrToDate(ArgStr(p, 0), v));
    }
    if (name == "CREATEOLEOBJECT") return fs_iole::CreateOleObject(ArgStr(p, 0));
    if (name == "VARARRAYCREATE") {
        const Variant& b = p[0];
        if (!b.IsArray()) throw EVariantArrayCreateError("Error creating variant or safe array");
        std::vector<int> bounds;
        for (int i = VarArrayLowBound(b, 1); i <= VarArrayHighBound(b, 1); ++i)
            bounds.push_back(VarArrayGet(b, {i}).AsInteger());
        if (bounds.size() % 2 != 0 || bounds.empty() || bounds.size() > 128)
            throw EVariantArrayCreateError("Error creating variant or safe array");
        return VarArrayCreate(bounds, TVarType(ArgInt(p, 1)));
    }
    if (name == "VARTYPE") return Variant::FromWord(VarType(p[0]));
    if (name == "VARTOSTR") return Variant(VarToStr(p[0]));
    return Null();
}

}  // namespace

namespace fs_isysrtti {

namespace {
TfsSysFunctions* GInstance = nullptr;
}

void Initialize()
{
    if (GInstance) return;
    TfsScript* g = fs_iinterpreter::GetGlobalScript();
    if (!g) return;
    GInstance = new TfsSysFunctions;
    g->Registrar = GInstance;
    auto reg = [g](const char* syntax, Variant (*fn)(const std::string&, TfsParams&), const char* cat) {
        g->AddMethod(syntax, [fn](TObject*, TClass, const std::string& name, TfsParams& p) { return fn(name, p); },
                     cat);
    };
    const char* conv = "ctConv";
    reg("function IntToStr(i: Integer): String", ToText, conv);
    reg("function FloatToStr(e: Extended): String", ToText, conv);
    reg("function DateToStr(e: Extended): String", ToText, conv);
    reg("function TimeToStr(e: Extended): String", ToText, conv);
    reg("function DateTimeToStr(e: Extended): String", ToText, conv);
    reg("function VarToStr(v: Variant): String", OtherFn, conv);
    reg("function StrToInt(s: String): Integer", FromText, conv);
    reg("function StrToFloat(s: String): Extended", FromText, conv);
    reg("function StrToDate(s: String): Extended", FromText, conv);
    reg("function StrToTime(s: String): Extended", FromText, conv);
    reg("function StrToDateTime(s: String): Extended", FromText, conv);
    const char* fmt = "ctFormat";
    reg("function Format(Fmt: String; Args: array): String", FormatFn, fmt);
    reg("function FormatFloat(Fmt: String; Value: Extended): String", FormatFn, fmt);
    reg("function FormatDateTime(Fmt: String; DateTime: TDateTime): String", FormatFn, fmt);
    reg("function FormatMaskText(EditMask: string; Value: string): string", FormatFn, fmt);
    const char* date = "ctDate";
    reg("function EncodeDate(Year, Month, Day: Word): TDateTime", DateFn, date);
    reg("procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", DateFn, date);
    reg("function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", DateFn, date);
    reg("procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", DateFn, date);
    reg("function Date: TDateTime", DateFn, date);
    reg("function Time: TDateTime", DateFn, date);
    reg("function Now: TDateTime", DateFn, date);
    reg("function DayOfWeek(aDate: TDateTime): Integer", DateFn, date);
    reg("function IsLeapYear(Year: Word): Boolean", DateFn, date);
    reg("function DaysInMonth(nYear, nMonth: Integer): Integer", DateFn, date);
    const char* str = "ctString";
    reg("function Length(s: Variant): Integer", StringFn, str);
    reg("function Copy(s: String; from, count: Integer): String", StringFn, str);
    reg("function Pos(substr, s: String): Integer", StringFn, str);
    reg("procedure Delete(var s: String; from, count: Integer): String", StringFn, str);
    reg("procedure Insert(s: String; var s2: String; pos: Integer): String", StringFn, str);
    reg("function Uppercase(s: String): String", StringFn, str);
    reg("function Lowercase(s: String): String", StringFn, str);
    reg("function Trim(s: String): String", StringFn, str);
    reg("function NameCase(s: String): String", StringFn, str);
    reg("function CompareText(s, s1: String): Integer", StringFn, str);
    reg("function Chr(i: Integer): Char", StringFn, str);
    reg("function Ord(ch: Char): Integer", StringFn, str);
    reg("procedure SetLength(var S: Variant; L: Integer)", StringFn, str);
    const char* math = "ctMath";
    reg("function Round(e: Extended): Integer", MathFn, math);
    reg("function Trunc(e: Extended): Integer", MathFn, math);
    reg("function Int(e: Extended): Integer", MathFn, math);
    reg("function Frac(X: Extended): Extended", MathFn, math);
    reg("function Sqrt(e: Extended): Extended", MathFn, math);
    reg("function Abs(e: Extended): Extended", MathFn, math);
    reg("function Sin(e: Extended): Extended", MathFn, math);
    reg("function Cos(e: Extended): Extended", MathFn, math);
    reg("function ArcTan(X: Extended): Extended", MathFn, math);
    reg("function Tan(X: Extended): Extended", MathFn, math);
    reg("function Exp(X: Extended): Extended", MathFn, math);
    reg("function Ln(X: Extended): Extended", MathFn, math);
    reg("function Pi: Extended", MathFn, math);
    const char* other = "ctOther";
    reg("procedure Inc(var i: Integer; incr: Integer = 1)", OtherFn, other);
    reg("procedure Dec(var i: Integer; decr: Integer = 1)", OtherFn, other);
    reg("procedure RaiseException(Param: String)", OtherFn, other);
    reg("procedure ShowMessage(Msg: Variant)", OtherFn, other);
    reg("procedure Randomize", OtherFn, other);
    reg("function Random: Extended", OtherFn, other);
    reg("function ValidInt(cInt: String): Boolean", OtherFn, other);
    reg("function ValidFloat(cFlt: String): Boolean", OtherFn, other);
    reg("function ValidDate(cDate: String): Boolean", OtherFn, other);
    reg("function CreateOleObject(ClassName: String): Variant", OtherFn, other);
    reg("function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", OtherFn, other);
    reg("function VarType(V: Variant): Integer", OtherFn, other);
    static const std::pair<const char*, int> consts[] = {
        {"varEmpty", 0}, {"varNull", 1}, {"varSmallint", 2}, {"varInteger", 3}, {"varSingle", 4},
        {"varDouble", 5}, {"varCurrency", 6}, {"varDate", 7}, {"varOleStr", 8}, {"varDispatch", 9},
        {"varError", 10}, {"varBoolean", 11}, {"varVariant", 12}, {"varUnknown", 13}, {"varShortInt", 16},
        {"varByte", 17}, {"varWord", 18}, {"varLongWord", 19}, {"varInt64", 20}, {"varStrArg", 72},
        {"varString", 256}, {"varAny", 257}, {"varTypeMask", 4095}, {"varArray", 8192}, {"varByRef", 16384}};
    for (auto& c : consts) g->AddConst(c.first, "Integer", Variant(c.second));
    g->Registrar = nullptr;
}

void Finalize()
{
    fs_iinterpreter::RemoveRegistration(GInstance);
    GInstance = nullptr;
}

}  // namespace fs_isysrtti
