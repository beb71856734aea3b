#include "cxVariants.h"

#include "DateUtils.h"
#include "Exceptions.h"
#include "Streams.h"
#include "TextUtils.h"
#include "cxDataConsts.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace cxVariants {

namespace {

enum class Kind { Empty, Null, Int, Float, Currency, Boolean, Text, Other };

Kind KindOf(const Variant& v)
{
    switch (v.VType() & varTypeMask) {
    case varEmpty: return Kind::Empty;
    case varNull: return Kind::Null;
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64:
        return Kind::Int;
    case varSingle: case varDouble: case varDate: return Kind::Float;
    case varCurrency: return Kind::Currency;
    case varBoolean: return Kind::Boolean;
    case varString: case varOleStr: return Kind::Text;
    default: return Kind::Other;
    }
}

double NumberOf(const Variant& v, Kind k)
{
    switch (k) {
    case Kind::Int: return double(v.RawInt());
    case Kind::Float: return v.RawDouble();
    case Kind::Currency: return double(v.RawInt()) / 10000.0;
    case Kind::Boolean: return v.RawBool() ? 1.0 : 0.0;
    default: return 0.0;
    }
}

// Text that reads as a number, as the value library converts it for a
// comparison with a number; false when it does not.
bool TextToNumber(const std::string& s, double& out)
{
    std::string t = Trim(s);
    if (t.empty()) return false;
    const char* b = t.c_str();
    char* e = nullptr;
    out = std::strtod(b, &e);
    return e && *e == 0 && std::isfinite(out);
}

template <class T> int Sign(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

// Returns false for a pair that cannot be ordered.
bool CompareScalars(const Variant& a, const Variant& b, int& result)
{
    Kind ka = KindOf(a), kb = KindOf(b);
    if (ka == Kind::Null || kb == Kind::Null) {
        result = ka == kb ? 0 : (ka == Kind::Null ? -1 : 1);
        return true;
    }
    if (ka == Kind::Other || kb == Kind::Other) return false;
    if (ka == Kind::Empty && kb == Kind::Empty) { result = 0; return true; }
    if (ka == Kind::Empty) {
        if (kb == Kind::Text) { result = b.RawString().empty() ? 0 : -1; return true; }
        result = Sign(0.0, NumberOf(b, kb));
        return true;
    }
    if (kb == Kind::Empty) {
        if (ka == Kind::Text) { result = a.RawString().empty() ? 0 : 1; return true; }
        result = Sign(NumberOf(a, ka), 0.0);
        return true;
    }
    if (ka == Kind::Text && kb == Kind::Text) {
        result = CompareGbkStr(a.RawString(), b.RawString());
        result = result < 0 ? -1 : (result > 0 ? 1 : 0);
        return true;
    }
    if (ka == Kind::Text || kb == Kind::Text) {
        // Text meets a number as the number it reads as, and a date as the
        // date it reads as.
        auto textValue = [](const Variant& text, const Variant& other, double& out) {
            if (TextToNumber(text.RawString(), out)) return true;
            TDateTime d;
            if ((other.VType() & varTypeMask) == varDate && TryStrToDateTime(text.RawString(), d)) {
                out = d;
                return true;
            }
            return false;
        };
        double x, y;
        if (ka == Kind::Text) {
            if (!textValue(a, b, x)) return false;
            y = NumberOf(b, kb);
        } else {
            x = NumberOf(a, ka);
            if (!textValue(b, a, y)) return false;
        }
        result = Sign(x, y);
        return true;
    }
    if (ka == Kind::Int && kb == Kind::Int) {
        // Unsigned 32-bit values are held positive, so a plain 64-bit order is right.
        result = Sign(a.RawInt(), b.RawInt());
        return true;
    }
    if (ka == Kind::Currency && kb == Kind::Currency) {
        result = Sign(a.RawInt(), b.RawInt());
        return true;
    }
    double x = NumberOf(a, ka), y = NumberOf(b, kb);
    if (std::isnan(x) || std::isnan(y)) return false;
    result = Sign(x, y);
    return true;
}

[[noreturn]] void ReadError() { throw EReadError(cxClasses::GetResourceString(&cxSDataReadError)); }
[[noreturn]] void WriteError() { throw EWriteError(cxClasses::GetResourceString(&cxSDataWriteError)); }

// A counted length must be non-negative and fit in what is left of the stream.
void CheckLength(TStream* stream, int64_t length, int unit)
{
    if (length < 0) ReadError();
    int64_t left = stream->Size() - stream->Position();
    if (length > left / unit) ReadError();
}

void WriteInteger(TStream* s, int64_t v)
{
    if (v >= -128 && v <= 127) {
        s->WriteByte(2);
        s->WriteShortInt(int8_t(v));
    } else if (v >= -32768 && v <= 32767) {
        s->WriteByte(3);
        s->WriteSmallInt(int16_t(v));
    } else {
        s->WriteByte(4);
        s->WriteInt32(int32_t(v));
    }
}

void WriteAnsi(TStream* s, const std::string& utf8)
{
    std::string g = Utf8ToGbk(utf8);
    if (g.size() <= 255) {
        s->WriteByte(6);
        s->WriteByte(uint8_t(g.size()));
    } else {
        s->WriteByte(12);
        s->WriteInt32(int32_t(g.size()));
    }
    s->WriteString(g);
}

}  // namespace

int CompareGbkStr(const std::string& a, const std::string& b)
{
    size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    while (i < n && a[i] == b[i]) ++i;
    if (i == n) return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    unsigned char ca = (unsigned char)a[i], cb = (unsigned char)b[i];
    // An ASCII byte always starts a character, and every GBK double-byte
    // character starts above the ASCII range: one ASCII side decides.
    if (ca < 0x80 || cb < 0x80) return ca < cb ? -1 : 1;
    int r = CompareStr(a, b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int VarCompare(const Variant& a, const Variant& b)
{
    if (a.IsArray() || b.IsArray()) return CompareVarArrays(a, b);
    try {
        int r;
        if (!CompareScalars(a, b, r)) return -1;
        return r;
    } catch (const EVariantError&) {
        return -1;
    } catch (const EConvertError&) {
        return -1;
    }
}

int CompareVarArrays(const Variant& a, const Variant& b)
{
    bool aa = a.IsArray(), ba = b.IsArray();
    if (aa && !ba) return 1;
    if (!aa && ba) return -1;
    if (!aa && !ba) return VarCompare(a, b);
    int ha = VarArrayHighBound(a, 1), hb = VarArrayHighBound(b, 1);
    if (ha != hb) return ha - hb;
    int la = VarArrayLowBound(a, 1), lb = VarArrayLowBound(b, 1);
    for (int i = 0; i <= ha; ++i) {
        if (i < la || i < lb) continue;
        int r = VarCompare(VarArrayGet(a, {i}), VarArrayGet(b, {i}));
        if (r != 0) return r;
    }
    return 0;
}

bool VarEquals(const Variant& a, const Variant& b) { return VarCompare(a, b) == 0; }

bool VarEqualsEx(const Variant& a, const Variant& b)
{
    bool ab = (a.VType() & varTypeMask) == varBoolean, bb = (b.VType() & varTypeMask) == varBoolean;
    if (a.IsNull() || b.IsNull() || (!ab && !bb)) return VarEquals(a, b);
    auto text = [](const Variant& v) -> std::string {
        if ((v.VType() & varTypeMask) == varBoolean) return v.RawBool() ? "True" : "False";
        return VarToStr(v);
    };
    try {
        return text(a) == text(b);
    } catch (const EVariantError&) {
        return false;
    }
}

bool IsDateVarType(TVarType t) { return (t & varTypeMask) == varDate; }

bool IsDateVariant(const Variant& v) { return IsDateVarType(v.VType()); }

bool IsNumericVariant(const Variant& v)
{
    if (v.IsArray()) return false;
    switch (v.VType() & varTypeMask) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64: case varBoolean: case varSingle: case varDouble:
    case varCurrency:
        return true;
    default:
        return false;
    }
}

bool IsStringVariant(const Variant& v)
{
    if (v.IsArray()) return false;
    TVarType t = v.VType() & varTypeMask;
    return t == varString || t == varOleStr;
}

bool IsEmptyTextVariant(const Variant& v)
{
    return v.IsNull() || (IsStringVariant(v) && v.RawString().empty());
}

Variant VarBetweenArray(const Variant& low, const Variant& high) { return VarArrayOf({low, high}); }

Variant VarSingleArray(const Variant& value) { return VarArrayOf({value}); }

void AppendToVarArray(Variant& array, const Variant& value)
{
    std::vector<Variant> items;
    if (array.IsArray()) {
        int lo = VarArrayLowBound(array, 1), hi = VarArrayHighBound(array, 1);
        // The old elements keep their indexes; any gap below the old low bound stays Empty.
        items.resize(size_t(std::max(0, hi + 1)));
        for (int i = lo; i <= hi; ++i)
            if (i >= 0) items[size_t(i)] = VarArrayGet(array, {i});
    }
    items.push_back(value);
    array = VarArrayOf(items);
}

// ---- the variant stream ---------------------------------------------------------

namespace {

// Arrays nested deeper than this are no value anybody stored: reading refuses
// them rather than exhaust the stack, and writing refuses what could not be
// read back.
constexpr int MaxArrayNesting = 200;

void WriteNestedVariant(TStream* s, const Variant& v, int depth);
Variant ReadNestedVariant(TStream* s, int depth);

}  // namespace

void WriteStreamVariant(TStream* s, const Variant& v) { WriteNestedVariant(s, v, 0); }

namespace {

void WriteNestedVariant(TStream* s, const Variant& v, int depth)
{
    if (v.IsArray()) {
        if (VarArrayDimCount(v) != 1 || depth >= MaxArrayNesting) WriteError();
        int lo = VarArrayLowBound(v, 1), hi = VarArrayHighBound(v, 1);
        s->WriteByte(1);
        WriteInteger(s, int64_t(hi) - lo + 1);
        for (int i = lo; i <= hi; ++i) WriteNestedVariant(s, VarArrayGet(v, {i}), depth + 1);
        return;
    }
    switch (v.VType() & varTypeMask) {
    case varEmpty: s->WriteByte(13); return;
    case varNull: s->WriteByte(0); return;
    case varBoolean: s->WriteByte(v.RawBool() ? 9 : 8); return;
    case varSingle: s->WriteByte(15); s->WriteSingle(float(v.RawDouble())); return;
    case varDouble: s->WriteByte(5); s->WriteExtended(v.RawDouble()); return;
    case varCurrency: s->WriteByte(16); s->WriteInt64(v.RawInt()); return;
    case varDate: s->WriteByte(17); s->WriteDouble(v.RawDouble()); return;
    case varOleStr: {
        std::u16string w = Utf8ToUtf16(v.RawString());
        s->WriteByte(18);
        WriteCountedWideString(s, w);
        return;
    }
    case varSmallint: case varInteger: case varShortInt: case varByte:
        WriteInteger(s, v.RawInt());
        return;
    case varString: WriteAnsi(s, v.RawString()); return;
    default: {
        std::string text;
        try {
            text = VarToStr(v);
        } catch (const EVariantError&) {
            WriteError();
        } catch (const EConvertError&) {
            WriteError();
        }
        WriteAnsi(s, text);
        return;
    }
    }
}

Variant ReadNestedVariant(TStream* s, int depth)
{
    uint8_t tag = s->ReadByte();
    switch (tag) {
    case 0: return Null();
    case 1: {
        if (depth >= MaxArrayNesting) ReadError();
        uint8_t ctag = s->ReadByte();
        int64_t count = ctag == 2 ? s->ReadShortInt() : ctag == 3 ? s->ReadSmallInt() : s->ReadInt32();
        CheckLength(s, count, 1);   // every element takes at least its tag byte
        std::vector<Variant> items;
        items.reserve(size_t(count));
        for (int64_t i = 0; i < count; ++i) items.push_back(ReadNestedVariant(s, depth + 1));
        return VarArrayOf(items);
    }
    case 2: return Variant::FromShortInt(s->ReadShortInt());
    case 3: return Variant::FromSmallint(s->ReadSmallInt());
    case 4: return Variant(int(s->ReadInt32()));
    case 5: return Variant(s->ReadExtended());
    case 6: {
        int n = s->ReadByte();
        CheckLength(s, n, 1);
        return Variant(GbkToUtf8(s->ReadString(n)));
    }
    case 8: return Variant(false);
    case 9: return Variant(true);
    case 12: {
        int32_t n = s->ReadInt32();
        CheckLength(s, n, 1);
        return Variant(GbkToUtf8(s->ReadString(n)));
    }
    case 13: return Unassigned();
    case 15: return Variant::FromSingle(s->ReadSingle());
    case 16: return Variant(Currency::FromRaw(s->ReadInt64()));
    case 17: return Variant::FromDate(s->ReadDouble());
    case 18: return Variant::FromWide(Utf16ToUtf8(ReadCountedWideString(s)));
    default: ReadError();
    }
}

}  // namespace

void ReadStreamVariant(TStream* s, Variant& v) { v = ReadStreamVariant(s); }

Variant ReadStreamVariant(TStream* s) { return ReadNestedVariant(s, 0); }

std::string ReadCountedString(TStream* s)
{
    int32_t n = s->ReadInt32();
    CheckLength(s, n, 1);
    return GbkToUtf8(s->ReadString(n));
}

void WriteCountedString(TStream* s, const std::string& text)
{
    std::string g = Utf8ToGbk(text);
    s->WriteInt32(int32_t(g.size()));
    s->WriteString(g);
}

std::u16string ReadCountedWideString(TStream* s)
{
    int32_t n = s->ReadInt32();
    CheckLength(s, n, 2);
    std::u16string w(size_t(n), u'\0');
    for (int32_t i = 0; i < n; ++i) w[size_t(i)] = char16_t(s->ReadWord());
    return w;
}

void WriteCountedWideString(TStream* s, const std::u16string& w)
{
    s->WriteInt32(int32_t(w.size()));
    for (char16_t c : w) s->WriteWord(uint16_t(c));
}

bool ReadBooleanProc(TStream* s) { return s->ReadByte() != 0; }
void WriteBooleanProc(TStream* s, bool v) { s->WriteByte(v ? 1 : 0); }
uint8_t ReadByteProc(TStream* s) { return s->ReadByte(); }
void WriteByteProc(TStream* s, uint8_t v) { s->WriteByte(v); }
int16_t ReadSmallIntProc(TStream* s) { return s->ReadSmallInt(); }
void WriteSmallIntProc(TStream* s, int16_t v) { s->WriteSmallInt(v); }
uint16_t ReadWordProc(TStream* s) { return s->ReadWord(); }
void WriteWordProc(TStream* s, uint16_t v) { s->WriteWord(v); }
int32_t ReadIntegerProc(TStream* s) { return s->ReadInt32(); }
void WriteIntegerProc(TStream* s, int32_t v) { s->WriteInt32(v); }
Currency ReadCurrencyProc(TStream* s) { return Currency::FromRaw(s->ReadInt64()); }
void WriteCurrencyProc(TStream* s, Currency v) { s->WriteInt64(v.Value); }
double ReadDateTimeProc(TStream* s) { return s->ReadDouble(); }
void WriteDateTimeProc(TStream* s, double v) { s->WriteDouble(v); }
int64_t ReadLargeIntProc(TStream* s) { return s->ReadInt64(); }
void WriteLargeIntProc(TStream* s, int64_t v) { s->WriteInt64(v); }
void WriteExtendedProc(TStream* s, double v) { s->WriteExtended(v); }

}  // namespace cxVariants
