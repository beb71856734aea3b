#include "Variants.h"
#include "DateUtils.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "TextUtils.h"

#include <cmath>
#include <cstdio>
#include <limits>

// Where these rules differ from the class library as other implementations
// behave, the difference is deliberate:
// - Empty in arithmetic counts as 0 (or '' next to text), as the library
//   documents, so that a running total started from an unassigned variable
//   works; only Empty with Empty stays Empty.
// - Integer conversions that do not fit raise EVariantOverflowError instead
//   of silently wrapping (3e9 as Integer), and negating the smallest Integer
//   gives an Int64 instead of the same negative number.
// - 1 / 0 raises EZeroDivide ("Floating point division by zero") like 1.5 / 0;
//   only 0 / 0 is an invalid operation.
// - Null converts to 0 as a date too when Null conversion is not strict.
// - Single values read as text with their own 7 significant digits ("0.1").
// - Negating True gives 1 (True counts as -1 in arithmetic).

bool NullStrictConvert = false;

namespace {

constexpr int32_t kParamNotFound = int32_t(0x80020004);
constexpr double kMinDate = -693593.0;    // 0001-01-01
constexpr double kMaxDate = 2958466.0;    // 10000-01-01 (exclusive)

struct TVarArrayData {
    TVarType ElemType = varVariant;
    std::vector<std::pair<int, int>> Bounds;   // low, high per dimension
    std::vector<Variant> Items;                // the first index runs fastest
};

}   // namespace

// Internal access to the payload of a variant.
struct VariantAccess {
    static Variant Make(TVarType t) { Variant v; v.FType = t; return v; }
    static TVarType& Type(Variant& v) { return v.FType; }
    static int64_t& I(Variant& v) { return v.FV.I; }
    static double& D(Variant& v) { return v.FV.D; }
    static std::shared_ptr<const void>& Ref(Variant& v) { return v.FRef; }
    static const std::shared_ptr<const void>& Ref(const Variant& v) { return v.FRef; }

    static Variant Text(TVarType t, std::string s)
    {
        Variant v = Make(t);
        v.FRef = std::make_shared<const std::string>(std::move(s));
        return v;
    }
    static Variant Interface(TVarType t, std::shared_ptr<IVarInterface> obj)
    {
        Variant v = Make(t);
        v.FRef = std::move(obj);
        return v;
    }
    static std::shared_ptr<IVarInterface> Intf(const Variant& v)
    {
        return std::const_pointer_cast<IVarInterface>(
            std::static_pointer_cast<const IVarInterface>(v.FRef));
    }
    static const TVarArrayData& Array(const Variant& v)
    {
        return *static_cast<const TVarArrayData*>(v.FRef.get());
    }
    // The array data for writing, copied first when another variant shares it.
    static TVarArrayData& MutableArray(Variant& v)
    {
        if (v.FRef.use_count() > 1)
            v.FRef = std::make_shared<const TVarArrayData>(Array(v));
        return *const_cast<TVarArrayData*>(static_cast<const TVarArrayData*>(v.FRef.get()));
    }
    static Variant NewArray(TVarArrayData data)
    {
        Variant v = Make(TVarType(varArray | data.ElemType));
        v.FRef = std::make_shared<const TVarArrayData>(std::move(data));
        return v;
    }
};

using VA = VariantAccess;

namespace {

const std::string kEmptyText;

TVarType BaseType(const Variant& v) { return v.VType() & varTypeMask; }

// The kind a value computes as: a time stamp as a date, BCD as a float.
TVarType Norm(TVarType t)
{
    if (t == varSQLTimeStamp) return varDate;
    if (t == varFMTBcd) return varDouble;
    return t;
}

bool IsOrdinalType(TVarType t)
{
    switch (t) {
    case varSmallint: case varInteger: case varBoolean: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
        return true;
    default:
        return false;
    }
}

bool IsIntType(TVarType t) { return t != varBoolean && IsOrdinalType(t); }
bool IsStrType(TVarType t) { return t == varString || t == varOleStr || t == varStrArg; }

[[noreturn]] void CastError(TVarType from, TVarType to)
{
    throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(from) +
                                ") into type (" + VarTypeAsText(to) + ")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to)
{
    throw EVariantOverflowError("Overflow while converting variant of type (" +
                                VarTypeAsText(from) + ") into type (" + VarTypeAsText(to) + ")");
}

[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError("Invalid variant operation"); }
[[noreturn]] void BadIndex() { throw EVariantBadIndexError("Variant or safe array index out of bounds"); }
[[noreturn]] void ArrayCreateError() { throw EVariantArrayCreateError("Error creating variant or safe array"); }
[[noreturn]] void InvalidArg() { throw EVariantInvalidArgError("Invalid argument"); }

// Null in a conversion: an error when strict, else the zero value.
void CheckNull(TVarType to)
{
    if (NullStrictConvert) CastError(varNull, to);
}

// Half to even, with an overflow error beyond 64 bits.
int64_t RoundToInt64(double d, TVarType from)
{
    if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) OverflowError(from, varInt64);
    return int64_t(std::nearbyint(d));
}

Variant IntResult(int64_t r)
{
    if (r >= INT32_MIN && r <= INT32_MAX) return Variant(int(r));
    return Variant::FromInt64(r);
}

double ParseFloatOrFail(const std::string& s, TVarType from, TVarType to)
{
    double d;
    if (!TryStrToFloat(s, d)) CastError(from, to);
    return d;
}

// ---- array helpers --------------------------------------------------------------

size_t ElementIndex(const TVarArrayData& a, const std::vector<int>& idx)
{
    if (idx.size() != a.Bounds.size()) BadIndex();
    size_t pos = 0, stride = 1;
    for (size_t d = 0; d < idx.size(); ++d) {
        auto [lo, hi] = a.Bounds[d];
        if (idx[d] < lo || idx[d] > hi) BadIndex();
        pos += size_t(idx[d] - lo) * stride;
        stride *= size_t(hi - lo + 1);
    }
    return pos;
}

Variant ZeroOf(TVarType t)
{
    switch (t) {
    case varVariant: return Variant();
    case varString: return Variant(std::string());
    case varOleStr: return Variant::FromWide("");
    case varBoolean: return Variant(false);
    case varDispatch: return Variant::FromDispatch(nullptr);
    case varUnknown: return Variant::FromUnknown(nullptr);
    case varError: return Variant::FromError(0);
    default: return VarAsType(Variant(0), t);
    }
}

bool ValidElementType(TVarType t)
{
    switch (t) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency:
    case varDate: case varOleStr: case varDispatch: case varError: case varBoolean:
    case varVariant: case varUnknown: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64: case varString:
        return true;
    default:
        return false;
    }
}

}   // namespace

// ---- construction ---------------------------------------------------------------

Variant::Variant(const std::string& s)
    : FType(varString), FRef(std::make_shared<const std::string>(s))
{
    FV.I = 0;
}
Variant::Variant(std::string&& s)
    : FType(varString), FRef(std::make_shared<const std::string>(std::move(s)))
{
    FV.I = 0;
}
Variant::Variant(const char* s) : Variant(std::string(s ? s : "")) {}

Variant Variant::FromDate(TDateTime d)
{
    Variant v = VA::Make(varDate);
    VA::D(v) = d;
    return v;
}
Variant Variant::FromWide(const std::string& utf8) { return VA::Text(varOleStr, utf8); }

namespace {
Variant MakeInt(TVarType t, int64_t i)
{
    Variant v = VA::Make(t);
    VA::I(v) = i;
    return v;
}
}   // namespace

Variant Variant::FromSmallint(int16_t v) { return MakeInt(varSmallint, v); }
Variant Variant::FromShortInt(int8_t v) { return MakeInt(varShortInt, v); }
Variant Variant::FromByte(uint8_t v) { return MakeInt(varByte, v); }
Variant Variant::FromWord(uint16_t v) { return MakeInt(varWord, v); }
Variant Variant::FromLongWord(uint32_t v) { return MakeInt(varLongWord, v); }
Variant Variant::FromInt64(int64_t v) { return MakeInt(varInt64, v); }
Variant Variant::FromError(int32_t scode) { return MakeInt(varError, scode); }
Variant Variant::FromSingle(float f)
{
    Variant v = VA::Make(varSingle);
    VA::D(v) = f;
    return v;
}
Variant Variant::FromSQLTimeStamp(TDateTime d)
{
    Variant v = VA::Make(varSQLTimeStamp);
    VA::D(v) = d;
    return v;
}
Variant Variant::FromBcd(double d)
{
    Variant v = VA::Make(varFMTBcd);
    VA::D(v) = d;
    return v;
}
Variant Variant::FromDispatch(std::shared_ptr<IVarDispatch> obj)
{
    return VA::Interface(varDispatch, std::move(obj));
}
Variant Variant::FromUnknown(std::shared_ptr<IVarInterface> obj)
{
    return VA::Interface(varUnknown, std::move(obj));
}

const std::string& Variant::RawString() const
{
    if (IsStrType(FType) && FRef) return *static_cast<const std::string*>(FRef.get());
    return kEmptyText;
}

// ---- conversions ----------------------------------------------------------------

int64_t Variant::AsInt64() const
{
    TVarType t = BaseType(*this);
    if (IsArray()) CastError(FType, varInt64);
    if (IsIntType(t)) return FV.I;
    switch (Norm(t)) {
    case varEmpty: return 0;
    case varNull: CheckNull(varInt64); return 0;
    case varBoolean: return FV.B ? -1 : 0;
    case varSingle: case varDouble: case varDate: return RoundToInt64(FV.D, t);
    case varCurrency: {
        // Raw value in ten-thousandths, rounded half to even.
        int64_t q = FV.I / 10000, r = FV.I % 10000;
        if (r > 5000 || (r == 5000 && (q & 1))) ++q;
        else if (r < -5000 || (r == -5000 && (q & 1))) --q;
        return q;
    }
    case varString: case varOleStr: case varStrArg: {
        int64_t v;
        if (!TryStrToInt64(RawString(), v)) CastError(t, varInt64);
        return v;
    }
    default: CastError(t, varInt64);
    }
}

int Variant::AsInteger() const
{
    TVarType t = BaseType(*this);
    if (t == varNull && !IsArray()) {
        CheckNull(varInteger);
        return 0;
    }
    if (IsStrType(t) && !IsArray()) {
        int v;
        if (TryStrToInt(RawString(), v)) return v;
        int64_t w;
        if (TryStrToInt64(RawString(), w)) OverflowError(t, varInteger);
        CastError(t, varInteger);
    }
    int64_t v;
    try {
        v = AsInt64();
    } catch (const EVariantOverflowError&) {
        OverflowError(t, varInteger);
    } catch (const EVariantTypeCastError&) {
        CastError(FType, varInteger);
    }
    if (v < INT32_MIN || v > INT32_MAX) OverflowError(t, varInteger);
    return int(v);
}

double Variant::AsDouble() const
{
    TVarType t = BaseType(*this);
    if (IsArray()) CastError(FType, varDouble);
    if (IsIntType(t)) return double(FV.I);
    switch (Norm(t)) {
    case varEmpty: return 0;
    case varNull: CheckNull(varDouble); return 0;
    case varBoolean: return FV.B ? -1 : 0;
    case varSingle: case varDouble: case varDate: return FV.D;
    case varCurrency: return Currency::FromRaw(FV.I).ToDouble();
    case varString: case varOleStr: case varStrArg: return ParseFloatOrFail(RawString(), t, varDouble);
    default: CastError(t, varDouble);
    }
}

Currency Variant::AsCurrency() const
{
    TVarType t = BaseType(*this);
    if (t == varCurrency && !IsArray()) return Currency::FromRaw(FV.I);
    if (t == varNull && !IsArray()) {
        CheckNull(varCurrency);
        return Currency();
    }
    if (IsIntType(t) && !IsArray()) {
        if (FV.I > INT64_MAX / 10000 || FV.I < INT64_MIN / 10000) OverflowError(t, varCurrency);
        return Currency::FromRaw(FV.I * 10000);
    }
    double d;
    try {
        d = AsDouble();
    } catch (const EVariantTypeCastError&) {
        CastError(FType, varCurrency);
    }
    if (!(std::fabs(d) < 922337203685477.5)) OverflowError(t, varCurrency);
    return Currency::FromDouble(d);
}

TDateTime Variant::AsDate() const
{
    TVarType t = BaseType(*this);
    if (IsArray()) CastError(FType, varDate);
    double d;
    switch (t) {
    case varEmpty: return 0;
    case varNull: CheckNull(varDate); return 0;
    case varString: case varOleStr: case varStrArg: {
        const std::string& s = RawString();
        if (TryStrToDateTime(s, d)) return d;
        if (!TryStrToFloat(s, d)) CastError(t, varDate);
        break;
    }
    default:
        d = AsDouble();
    }
    if (!(d >= kMinDate && d < kMaxDate)) CastError(t, varDate);
    return d;
}

bool Variant::AsBoolean() const
{
    TVarType t = BaseType(*this);
    if (IsArray()) CastError(FType, varBoolean);
    if (IsIntType(t)) return FV.I != 0;
    switch (Norm(t)) {
    case varEmpty: return false;
    case varNull: CheckNull(varBoolean); return false;
    case varBoolean: return FV.B;
    case varSingle: case varDouble: case varDate: return FV.D != 0;
    case varCurrency: return FV.I != 0;
    case varString: case varOleStr: case varStrArg: {
        const std::string& s = RawString();
        if (SameText(s, "True")) return true;
        if (SameText(s, "False")) return false;
        double d;
        if (!TryStrToFloat(s, d)) CastError(t, varBoolean);
        return d != 0;
    }
    default: CastError(t, varBoolean);
    }
}

namespace {
std::string DateText(TDateTime d)
{
    double whole = std::trunc(d);
    if (d == whole) return DateToStr(d);
    if (whole == 0) return TimeToStr(d);
    return DateToStr(d) + " " + TimeToStr(d);
}
}   // namespace

std::string Variant::AsString() const
{
    TVarType t = BaseType(*this);
    if (IsArray()) CastError(FType, varString);
    if (IsIntType(t)) return t == varLongWord ? UIntToStr(uint32_t(FV.I)) : IntToStr(FV.I);
    switch (t) {
    case varEmpty: return {};
    case varNull: CheckNull(varString); return {};
    case varBoolean: return FV.B ? "True" : "False";
    case varSingle: return FloatToStrF(FV.D, ffGeneral, 7, 0);
    case varDouble: return FloatToStr(FV.D);
    case varDate: case varSQLTimeStamp: return DateText(FV.D);
    case varFMTBcd: return FloatToStr(FV.D);
    case varCurrency: return CurrToStr(Currency::FromRaw(FV.I));
    case varString: case varOleStr: case varStrArg: return RawString();
    default: CastError(t, varString);
    }
}

std::shared_ptr<IVarDispatch> Variant::AsDispatch() const
{
    if (FType == varDispatch || FType == varUnknown)
        return std::dynamic_pointer_cast<IVarDispatch>(VA::Intf(*this));
    if (FType == varEmpty) return nullptr;
    CastError(FType, varDispatch);
}

std::shared_ptr<IVarInterface> Variant::AsUnknown() const
{
    if (FType == varDispatch || FType == varUnknown) return VA::Intf(*this);
    if (FType == varEmpty) return nullptr;
    CastError(FType, varUnknown);
}

Variant Variant::operator[](int index) const { return VarArrayGet(*this, {index}); }

// ---- globals and type tests -------------------------------------------------------

Variant Null() { return VA::Make(varNull); }
Variant Unassigned() { return Variant(); }

TVarType VarType(const Variant& v) { return v.VType(); }
bool VarIsType(const Variant& v, TVarType t) { return v.VType() == t; }
bool VarIsNull(const Variant& v) { return v.VType() == varNull; }
bool VarIsEmpty(const Variant& v) { return v.VType() == varEmpty; }
bool VarIsClear(const Variant& v)
{
    if (v.VType() == varEmpty) return true;
    if (v.VType() == varDispatch || v.VType() == varUnknown) return !VA::Ref(v);
    return false;
}
bool VarIsOrdinal(const Variant& v) { return !v.IsArray() && IsOrdinalType(BaseType(v)); }
bool VarIsFloat(const Variant& v)
{
    TVarType t = v.VType();
    return t == varSingle || t == varDouble || t == varCurrency;
}
bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }
bool VarIsStr(const Variant& v) { return IsStrType(v.VType()); }
bool VarIsArray(const Variant& v) { return v.IsArray(); }
bool VarIsEmptyParam(const Variant& v)
{
    return v.VType() == varError && int32_t(v.RawInt()) == kParamNotFound;
}

std::string VarTypeAsText(TVarType t)
{
    std::string prefix;
    if (t & varArray) prefix += "Array of ";
    if (t & varByRef) prefix += "Ref to ";
    TVarType b = t & varTypeMask;
    const char* name = nullptr;
    switch (b) {
    case varEmpty: name = "Empty"; break;
    case varNull: name = "Null"; break;
    case varSmallint: name = "Smallint"; break;
    case varInteger: name = "Integer"; break;
    case varSingle: name = "Single"; break;
    case varDouble: name = "Double"; break;
    case varCurrency: name = "Currency"; break;
    case varDate: name = "Date"; break;
    case varOleStr: name = "OleStr"; break;
    case varDispatch: name = "Dispatch"; break;
    case varError: name = "Error"; break;
    case varBoolean: name = "Boolean"; break;
    case varVariant: name = "Variant"; break;
    case varUnknown: name = "Unknown"; break;
    case varShortInt: name = "ShortInt"; break;
    case varByte: name = "Byte"; break;
    case varWord: name = "Word"; break;
    case varLongWord: name = "DWord"; break;
    case varInt64: name = "Int64"; break;
    case varStrArg: name = "StrArg"; break;
    case varString: name = "String"; break;
    case varAny: name = "Any"; break;
    case varSQLTimeStamp: name = "SQLTimeStamp"; break;
    case varFMTBcd: name = "FMTBcd"; break;
    default: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "$%.4X", unsigned(b));
        return prefix + buf;
    }
    }
    return prefix + name;
}

// ---- conversion routines -----------------------------------------------------------

Variant VarAsType(const Variant& v, TVarType t)
{
    if (v.VType() == t) return v;
    if (v.IsArray() || (t & ~varTypeMask)) CastError(v.VType(), t);
    if (v.IsNull() && t != varNull && t != varEmpty && t != varVariant) CheckNull(t);
    auto ranged = [&](int64_t lo, int64_t hi) {
        int64_t i = v.AsInt64();
        if (i < lo || i > hi) OverflowError(v.VType(), t);
        return MakeInt(t, i);
    };
    switch (t) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varVariant: return v;
    case varSmallint: return ranged(INT16_MIN, INT16_MAX);
    case varInteger: return Variant(v.AsInteger());
    case varShortInt: return ranged(INT8_MIN, INT8_MAX);
    case varByte: return ranged(0, UINT8_MAX);
    case varWord: return ranged(0, UINT16_MAX);
    case varLongWord: return ranged(0, UINT32_MAX);
    case varInt64: return Variant::FromInt64(v.AsInt64());
    case varSingle: {
        double d = v.AsDouble();
        if (std::isfinite(d) && std::fabs(d) > double(std::numeric_limits<float>::max()))
            OverflowError(v.VType(), t);
        return Variant::FromSingle(float(d));
    }
    case varDouble: return Variant(v.AsDouble());
    case varCurrency: return Variant(v.AsCurrency());
    case varDate: return Variant::FromDate(v.AsDate());
    case varSQLTimeStamp: return Variant::FromSQLTimeStamp(v.AsDate());
    case varFMTBcd: return Variant::FromBcd(v.AsDouble());
    case varBoolean: return Variant(v.AsBoolean());
    case varString: return Variant(v.AsString());
    case varOleStr: return Variant::FromWide(v.AsString());
    case varDispatch: return Variant::FromDispatch(v.AsDispatch());
    case varUnknown: return Variant::FromUnknown(v.AsUnknown());
    default: CastError(v.VType(), t);
    }
}

std::string VarToStr(const Variant& v) { return v.IsNull() ? std::string() : v.AsString(); }
std::string VarToStrDef(const Variant& v, const std::string& def)
{
    return v.IsNull() ? def : v.AsString();
}
std::string VarToWideStr(const Variant& v) { return VarToStr(v); }
TDateTime VarToDateTime(const Variant& v) { return v.AsDate(); }
Variant VarFromDateTime(TDateTime d) { return Variant::FromDate(d); }
Variant VarToValue(const Variant& v, const Variant& def)
{
    return v.IsNull() || v.IsEmpty() ? def : v;
}

// ---- comparison ---------------------------------------------------------------------

namespace {

// Orders two non-Null, non-Empty simple values: <0, 0, >0.
int CompareValues(const Variant& a, const Variant& b)
{
    TVarType ta = Norm(a.VType()), tb = Norm(b.VType());
    if (a.IsArray() || b.IsArray() || ta == varDispatch || tb == varDispatch || ta == varUnknown ||
        tb == varUnknown || ta == varError || tb == varError)
        InvalidOp();
    auto sign = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    bool sa = IsStrType(ta), sb = IsStrType(tb);
    if (sa && sb) {
        int c = CompareStr(a.RawString(), b.RawString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    // Text against a Boolean compares as text ("True"/"False").
    if ((sa && tb == varBoolean) || (sb && ta == varBoolean)) {
        int c = CompareStr(a.AsString(), b.AsString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (ta == varBoolean && tb == varBoolean) return sign(a.RawBool(), b.RawBool());
    if (sa || sb) {
        // Text against a date reads the text as a date; against a number, as a number.
        if (ta == varDate || tb == varDate) return sign(a.AsDate(), b.AsDate());
        return sign(a.AsDouble(), b.AsDouble());
    }
    if (IsOrdinalType(ta) && IsOrdinalType(tb)) return sign(a.AsInt64(), b.AsInt64());
    if (ta == varCurrency && tb == varCurrency) return sign(a.RawInt(), b.RawInt());
    return sign(a.AsDouble(), b.AsDouble());
}

// Empty sorts before Null, and Null before every value.
int NullRank(const Variant& v) { return v.IsEmpty() ? 0 : (v.IsNull() ? 1 : 2); }

}   // namespace

bool VarCmpOp(const Variant& a, const Variant& b, TVarOp op)
{
    int c;
    int ra = NullRank(a), rb = NullRank(b);
    if (ra < 2 || rb < 2) c = ra < rb ? -1 : (ra > rb ? 1 : 0);
    else c = CompareValues(a, b);
    switch (op) {
    case opCmpEQ: return c == 0;
    case opCmpNE: return c != 0;
    case opCmpLT: return c < 0;
    case opCmpLE: return c <= 0;
    case opCmpGT: return c > 0;
    case opCmpGE: return c >= 0;
    default: InvalidOp();
    }
}

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b)
{
    int ra = NullRank(a), rb = NullRank(b);
    if (ra < 2 || rb < 2) return ra == rb ? vrEqual : vrNotEqual;
    int c = CompareValues(a, b);
    return c == 0 ? vrEqual : (c < 0 ? vrLessThan : vrGreaterThan);
}

bool VarSameValue(const Variant& a, const Variant& b)
{
    return VarCompareValue(a, b) == vrEqual;
}

// ---- operators ------------------------------------------------------------------------

namespace {

bool IsInterfaceLike(const Variant& v)
{
    TVarType t = v.VType();
    return v.IsArray() || t == varDispatch || t == varUnknown || t == varError || t == varAny;
}

Variant FloatResult(double d) { return Variant(d); }

// An Int64 or LongWord operand makes an ordinal result Int64.
bool Wide(const Variant& v) { return v.VType() == varInt64 || v.VType() == varLongWord; }
Variant OrdResult(int64_t r, const Variant& a, const Variant& b)
{
    return Wide(a) || Wide(b) ? Variant::FromInt64(r) : IntResult(r);
}

Variant AddSubMul(const Variant& a, const Variant& b, TVarOp op)
{
    TVarType ta = Norm(a.VType()), tb = Norm(b.VType());
    bool sa = IsStrType(ta), sb = IsStrType(tb);
    if (op == opAdd && sa && sb) {
        std::string s = a.RawString() + b.RawString();
        return ta == varOleStr || tb == varOleStr ? Variant::FromWide(s) : Variant(std::move(s));
    }
    // Currency wins over every other number.
    if (ta == varCurrency || tb == varCurrency) {
        if (ta == varCurrency && tb == varCurrency && op != opMultiply) {
            int64_t r;
            bool ovf = op == opAdd ? __builtin_add_overflow(a.RawInt(), b.RawInt(), &r)
                                   : __builtin_sub_overflow(a.RawInt(), b.RawInt(), &r);
            if (ovf) OverflowError(varCurrency, varCurrency);
            return Variant(Currency::FromRaw(r));
        }
        long double x = (long double)a.AsCurrency().Value / 10000.0L;
        long double y = (long double)b.AsCurrency().Value / 10000.0L;
        long double r = op == opAdd ? x + y : (op == opSubtract ? x - y : x * y);
        if (!(fabsl(r) < 922337203685477.5L)) OverflowError(varDouble, varCurrency);
        long double raw = r * 10000.0L;
        return Variant(Currency::FromRaw(int64_t(nearbyintl(raw))));
    }
    if (ta == varDate || tb == varDate) {
        double r = op == opAdd ? a.AsDate() + b.AsDate()
                               : (op == opSubtract ? a.AsDate() - b.AsDate() : a.AsDouble() * b.AsDouble());
        // A date moved by a number stays a date; the distance of two dates is a number.
        if (op == opMultiply || (op == opSubtract && ta == varDate && tb == varDate))
            return FloatResult(r);
        return Variant::FromDate(r);
    }
    bool fa = ta == varSingle || ta == varDouble || sa, fb = tb == varSingle || tb == varDouble || sb;
    // Two Booleans give a float, as the library does.
    if (fa || fb || (ta == varBoolean && tb == varBoolean)) {
        double x = a.AsDouble(), y = b.AsDouble();
        return FloatResult(op == opAdd ? x + y : (op == opSubtract ? x - y : x * y));
    }
    // Ordinals: exact in 64 bits, the result as narrow as fits (Integer,
    // Int64), or a float when even 64 bits overflow.
    int64_t x = a.AsInt64(), y = b.AsInt64(), r;
    bool ovf = op == opAdd ? __builtin_add_overflow(x, y, &r)
                           : (op == opSubtract ? __builtin_sub_overflow(x, y, &r)
                                               : __builtin_mul_overflow(x, y, &r));
    if (ovf) {
        double dx = double(x), dy = double(y);
        return FloatResult(op == opAdd ? dx + dy : (op == opSubtract ? dx - dy : dx * dy));
    }
    return OrdResult(r, a, b);
}

Variant Divide(const Variant& a, const Variant& b)
{
    TVarType ta = a.VType(), tb = b.VType();
    if (ta == varCurrency || tb == varCurrency) {
        long double x = (long double)a.AsCurrency().Value, y = (long double)b.AsCurrency().Value;
        if (y == 0) {
            if (x == 0) throw EInvalidOp("Invalid floating point operation");
            throw EZeroDivide("Floating point division by zero");
        }
        long double r = x / y;
        if (!(fabsl(r) < 922337203685477.5L)) OverflowError(varDouble, varCurrency);
        return Variant(Currency::FromRaw(int64_t(nearbyintl(r * 10000.0L))));
    }
    double x = a.AsDouble(), y = b.AsDouble();
    if (y == 0) {
        if (x == 0 || std::isnan(x)) throw EInvalidOp("Invalid floating point operation");
        throw EZeroDivide("Floating point division by zero");
    }
    return FloatResult(x / y);
}

Variant IntDivMod(const Variant& a, const Variant& b, TVarOp op)
{
    int64_t x = a.AsInt64(), y = b.AsInt64();
    if (y == 0) throw EDivByZero("Division by zero");
    if (x == INT64_MIN && y == -1) {
        if (op == opModulus) return OrdResult(0, a, b);
        OverflowError(varInt64, varInt64);
    }
    return OrdResult(op == opIntDivide ? x / y : x % y, a, b);
}

// Converts text or a number to a Boolean for the logical operators.
bool LogicBool(const Variant& v) { return v.AsBoolean(); }

Variant Logical(const Variant& a, const Variant& b, TVarOp op)
{
    TVarType ta = a.VType(), tb = b.VType();
    // Null is "unknown": False and Null is False, True or Null is True.
    if (a.IsNull() || b.IsNull()) {
        const Variant& o = a.IsNull() ? b : a;
        if (o.VType() == varBoolean) {
            if (op == opAnd && !o.RawBool()) return Variant(false);
            if (op == opOr && o.RawBool()) return Variant(true);
        }
        return Null();
    }
    bool ba = ta == varBoolean, bb = tb == varBoolean;
    if ((ba && (bb || IsStrType(tb) || tb == varEmpty)) || (bb && (IsStrType(ta) || ta == varEmpty))) {
        bool x = LogicBool(a), y = LogicBool(b);
        return Variant(op == opAnd ? (x && y) : (op == opOr ? (x || y) : (x != y)));
    }
    int64_t x = a.AsInt64(), y = b.AsInt64();
    return OrdResult(op == opAnd ? (x & y) : (op == opOr ? (x | y) : (x ^ y)), a, b);
}

bool Fits32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

Variant Shift(const Variant& a, const Variant& b, TVarOp op)
{
    int64_t x = a.AsInt64(), n = b.AsInt64();
    if (Fits32(x) && !Wide(a)) {
        // 32-bit operands shift as 32-bit values: shr fills with zeros.
        uint32_t u = uint32_t(int32_t(x));
        unsigned s = unsigned(n) & 31;
        uint32_t r = op == opShiftLeft ? u << s : u >> s;
        return Variant(int(int32_t(r)));
    }
    uint64_t u = uint64_t(x);
    unsigned s = unsigned(n) & 63;
    return Variant::FromInt64(int64_t(op == opShiftLeft ? u << s : u >> s));
}

}   // namespace

Variant VarBinaryOp(const Variant& a0, const Variant& b0, TVarOp op)
{
    if (op >= opCompare) InvalidOp();
    if (IsInterfaceLike(a0) || IsInterfaceLike(b0)) InvalidOp();
    if (a0.IsEmpty() && b0.IsEmpty()) return Variant();
    if (op == opAnd || op == opOr || op == opXor) return Logical(a0, b0, op);
    if (a0.IsNull() || b0.IsNull()) return Null();
    // Empty beside a value counts as 0, or as '' beside text.
    auto fill = [](const Variant& e, const Variant& other) {
        return IsStrType(other.VType()) ? Variant(std::string()) : Variant(0);
    };
    const Variant a = a0.IsEmpty() ? fill(a0, b0) : a0;
    const Variant b = b0.IsEmpty() ? fill(b0, a0) : b0;
    switch (op) {
    case opAdd: case opSubtract: case opMultiply: return AddSubMul(a, b, op);
    case opDivide: return Divide(a, b);
    case opIntDivide: case opModulus: return IntDivMod(a, b, op);
    case opShiftLeft: case opShiftRight: return Shift(a, b, op);
    default: InvalidOp();
    }
}

Variant VarUnaryOp(const Variant& a, TVarOp op)
{
    if (IsInterfaceLike(a)) InvalidOp();
    if (a.IsNull()) return Null();
    TVarType t = a.VType();
    if (op == opNot) {
        if (t == varBoolean) return Variant(!a.RawBool());
        if (IsStrType(t)) {
            int64_t i;
            if (TryStrToInt64(a.RawString(), i)) return IntResult(~i);
            return Variant(!a.AsBoolean());
        }
        int64_t i = a.AsInt64();
        if (Wide(a)) return Variant::FromInt64(~i);
        return IntResult(~i);
    }
    if (op != opNegate) InvalidOp();
    switch (t) {
    case varEmpty: return Variant(0);
    case varSingle: return Variant::FromSingle(float(-a.RawDouble()));
    case varDouble: return Variant(-a.RawDouble());
    case varDate: return Variant::FromDate(-a.RawDouble());
    case varSQLTimeStamp: return Variant::FromSQLTimeStamp(-a.RawDouble());
    case varFMTBcd: return Variant::FromBcd(-a.RawDouble());
    case varCurrency:
        if (a.RawInt() == INT64_MIN) OverflowError(varCurrency, varCurrency);
        return Variant(Currency::FromRaw(-a.RawInt()));
    case varString: case varOleStr: case varStrArg: return Variant(-a.AsDouble());
    default: {
        int64_t i = a.AsInt64();
        if (i == INT64_MIN) return Variant(-double(i));
        if (Wide(a)) return Variant::FromInt64(-i);
        return IntResult(-i);
    }
    }
}

Variant VarIntDiv(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opIntDivide); }

Variant operator+(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opAdd); }
Variant operator-(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opSubtract); }
Variant operator*(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opMultiply); }
Variant operator/(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opDivide); }
Variant operator%(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opModulus); }
Variant operator&(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opAnd); }
Variant operator|(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opOr); }
Variant operator^(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opXor); }
Variant operator<<(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opShiftLeft); }
Variant operator>>(const Variant& a, const Variant& b) { return VarBinaryOp(a, b, opShiftRight); }
Variant operator-(const Variant& a) { return VarUnaryOp(a, opNegate); }
Variant operator~(const Variant& a) { return VarUnaryOp(a, opNot); }
Variant operator!(const Variant& a) { return VarUnaryOp(a, opNot); }
Variant& operator+=(Variant& a, const Variant& b) { return a = a + b; }
Variant& operator-=(Variant& a, const Variant& b) { return a = a - b; }
bool operator==(const Variant& a, const Variant& b) { return VarCmpOp(a, b, opCmpEQ); }
bool operator!=(const Variant& a, const Variant& b) { return VarCmpOp(a, b, opCmpNE); }
bool operator<(const Variant& a, const Variant& b) { return VarCmpOp(a, b, opCmpLT); }
bool operator<=(const Variant& a, const Variant& b) { return VarCmpOp(a, b, opCmpLE); }
bool operator>(const Variant& a, const Variant& b) { return VarCmpOp(a, b, opCmpGT); }
bool operator>=(const Variant& a, const Variant& b) { return VarCmpOp(a, b, opCmpGE); }

// ---- variant arrays -----------------------------------------------------------------

namespace {
// Keeps a mistaken bound from allocating the whole memory of the machine.
constexpr size_t kMaxArrayElements = size_t(1) << 28;
}

Variant VarArrayCreate(const std::vector<int>& bounds, TVarType elemType)
{
    if (bounds.empty() || bounds.size() % 2 != 0 || bounds.size() > 128) ArrayCreateError();
    if (!ValidElementType(elemType)) ArrayCreateError();
    TVarArrayData data;
    data.ElemType = elemType;
    size_t count = 1;
    for (size_t i = 0; i < bounds.size(); i += 2) {
        int64_t lo = bounds[i], hi = bounds[i + 1];
        if (hi < lo - 1) ArrayCreateError();
        size_t n = size_t(hi - lo + 1);
        if (n != 0 && count > kMaxArrayElements / n) ArrayCreateError();
        count *= n;
        data.Bounds.push_back({int(lo), int(hi)});
    }
    if (count > kMaxArrayElements) ArrayCreateError();
    data.Items.assign(count, ZeroOf(elemType));
    return VA::NewArray(std::move(data));
}

Variant VarArrayOf(const std::vector<Variant>& values)
{
    TVarArrayData data;
    data.ElemType = varVariant;
    data.Bounds.push_back({0, int(values.size()) - 1});
    data.Items = values;
    return VA::NewArray(std::move(data));
}

int VarArrayDimCount(const Variant& a)
{
    return a.IsArray() ? int(VA::Array(a).Bounds.size()) : 0;
}

int VarArrayLowBound(const Variant& a, int dim)
{
    if (!a.IsArray()) InvalidArg();
    const auto& b = VA::Array(a).Bounds;
    if (dim < 1 || size_t(dim) > b.size()) BadIndex();
    return b[size_t(dim - 1)].first;
}

int VarArrayHighBound(const Variant& a, int dim)
{
    if (!a.IsArray()) InvalidArg();
    const auto& b = VA::Array(a).Bounds;
    if (dim < 1 || size_t(dim) > b.size()) BadIndex();
    return b[size_t(dim - 1)].second;
}

Variant VarArrayGet(const Variant& a, const std::vector<int>& indices)
{
    if (!a.IsArray()) InvalidArg();
    const TVarArrayData& d = VA::Array(a);
    return d.Items[ElementIndex(d, indices)];
}

void VarArrayPut(Variant& a, const Variant& value, const std::vector<int>& indices)
{
    if (!a.IsArray()) InvalidArg();
    TVarType et = VA::Array(a).ElemType;
    // Convert before touching the array so a failed conversion changes nothing.
    Variant v = et == varVariant ? value : VarAsType(value, et);
    size_t pos = ElementIndex(VA::Array(a), indices);
    VA::MutableArray(a).Items[pos] = std::move(v);
}

void VarArrayRedim(Variant& a, int highBound)
{
    if (!a.IsArray()) InvalidArg();
    const TVarArrayData& d = VA::Array(a);
    int lo = d.Bounds.back().first;
    if (int64_t(highBound) < int64_t(lo) - 1) ArrayCreateError();
    size_t slice = 1;
    for (size_t i = 0; i + 1 < d.Bounds.size(); ++i)
        slice *= size_t(d.Bounds[i].second - d.Bounds[i].first + 1);
    size_t n = size_t(int64_t(highBound) - lo + 1);
    if (n != 0 && slice > kMaxArrayElements / n) ArrayCreateError();
    Variant zero = ZeroOf(d.ElemType);
    TVarArrayData& m = VA::MutableArray(a);
    // The last index runs slowest, so the kept elements stay where they are.
    m.Items.resize(slice * n, zero);
    m.Bounds.back().second = highBound;
}

TVarType VarArrayElementType(const Variant& a)
{
    return a.IsArray() ? VA::Array(a).ElemType : varEmpty;
}
