#include "cxDataStorage.h"

#include "DateUtils.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TextUtils.h"
#include "cxDataUtils.h"
#include "cxVariants.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

template <class T> T Get(const void* p)
{
    T v;
    std::memcpy(&v, p, sizeof(T));
    return v;
}
template <class T> void Put(void* p, T v) { std::memcpy(p, &v, sizeof(T)); }
template <class T> int Order(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

// Float order of the stored doubles: 0 when equal, 1 when the first is
// greater or equal (NaN included), else -1.
int FloatOrder(double a, double b)
{
    if (a == b) return 0;
    return a < b ? -1 : 1;
}

}  // namespace

// ---- TcxValueType ---------------------------------------------------------------

bool TcxValueType::InheritsFrom(TcxValueTypeClass other) const
{
    for (TcxValueTypeClass c = this; c; c = c->ClassParent())
        if (c == other) return true;
    return false;
}

void TcxValueType::ReleaseText(void* textCell)
{
    auto* s = Get<std::string*>(textCell);
    delete s;
    Put<std::string*>(textCell, nullptr);
}

void TcxValueType::ValueText(const void* data, std::string& text) const
{
    Variant v;
    LoadVariant(data, v);
    try {
        text = VarToStr(v);
    } catch (const EVariantError&) {
        text.clear();
    } catch (const EConvertError&) {
        text.clear();
    }
}

void TcxValueType::StoredText(const void* textCell, std::string& text)
{
    auto* s = Get<std::string*>(textCell);
    text = s ? *s : std::string();
}

void TcxValueType::ReadValueFrom(void* data, TStream* stream) const
{
    StoreVariant(data, cxVariants::ReadStreamVariant(stream));
}

void TcxValueType::ReadTextFrom(void* textCell, TStream* stream)
{
    StoreTextCell(textCell, cxVariants::ReadCountedString(stream));
}

void TcxValueType::StoreTextCell(void* textCell, const std::string& text)
{
    auto* s = Get<std::string*>(textCell);
    if (!s) {
        s = new std::string(text);
        Put(textCell, s);
    } else {
        *s = text;
    }
}

void TcxValueType::WriteValueTo(const void* data, TStream* stream) const
{
    Variant v;
    LoadVariant(data, v);
    cxVariants::WriteStreamVariant(stream, v);
}

void TcxValueType::WriteTextTo(const void* textCell, TStream* stream)
{
    std::string s;
    StoredText(textCell, s);
    cxVariants::WriteCountedString(stream, s);
}

std::string TcxValueType::TypeCaption() const
{
    std::string n = ClassName();
    if (n.compare(0, 3, "Tcx") == 0) n.erase(0, 3);
    size_t p = n.find("ValueType");
    if (p != std::string::npos) n.erase(p, 9);
    return n;
}

int TcxValueType::CompareRaw(const void* raw1, const void* raw2) const
{
    Variant a, b;
    RawToVariant(raw1, a);
    RawToVariant(raw2, b);
    return cxVariants::VarCompare(a, b);
}

bool TcxValueType::CoerceVariant(Variant& value) const
{
    if (value.IsNull() || VariantType() == varVariant) return true;
    try {
        value = VarAsType(value, VariantType());
        return true;
    } catch (const EVariantError&) {
        return false;
    } catch (const EConvertError&) {
        return false;
    }
}

// ---- the concrete types -----------------------------------------------------------

#define CX_VT_COMMON(Cls, Parent, Size, VType)                           \
    TcxValueTypeClass Cls::Class()                                       \
    {                                                                    \
        static const Cls instance;                                       \
        return &instance;                                                \
    }                                                                    \
    TcxValueTypeClass Cls::ClassParent() const { return Parent::Class(); } \
    int Cls::ValueSize() const { return Size; }                          \
    TVarType Cls::VariantType() const { return VType; }

namespace {
struct TcxValueTypeRoot {
    static TcxValueTypeClass Class() { return nullptr; }
};
}
#define TcxValueType TcxValueTypeRoot
CX_VT_COMMON(TcxStringValueType, TcxValueType, int(sizeof(void*)), varString)
#undef TcxValueType
CX_VT_COMMON(TcxWideStringValueType, TcxStringValueType, int(sizeof(void*)), varOleStr)
#define TcxValueType TcxValueTypeRoot
CX_VT_COMMON(TcxSmallintValueType, TcxValueType, 2, varSmallint)
CX_VT_COMMON(TcxIntegerValueType, TcxValueType, 4, varInteger)
CX_VT_COMMON(TcxWordValueType, TcxValueType, 2, varWord)
CX_VT_COMMON(TcxBooleanValueType, TcxValueType, 1, varBoolean)
CX_VT_COMMON(TcxFloatValueType, TcxValueType, 8, varDouble)
CX_VT_COMMON(TcxCurrencyValueType, TcxValueType, 8, varCurrency)
CX_VT_COMMON(TcxDateTimeValueType, TcxValueType, 8, varDate)
CX_VT_COMMON(TcxLargeIntValueType, TcxValueType, 8, varInt64)
CX_VT_COMMON(TcxFMTBcdValueType, TcxValueType, 34, varDouble)
CX_VT_COMMON(TcxSQLTimeStampValueType, TcxValueType, 16, varDate)
CX_VT_COMMON(TcxVariantValueType, TcxValueType, int(sizeof(void*)), varVariant)
#undef TcxValueType
CX_VT_COMMON(TcxObjectValueType, TcxIntegerValueType, int(sizeof(void*)), varInteger)

// String: the data part points to a heap UTF-8 string, nil until first stored.
int TcxStringValueType::CompareCells(const void* d1, const void* d2) const
{
    return CompareRaw(Get<const void*>(d1), Get<const void*>(d2));
}
void TcxStringValueType::ReleaseValue(void* data) const
{
    delete Get<std::string*>(data);
    Put<std::string*>(data, nullptr);
}
void TcxStringValueType::LoadVariant(const void* data, Variant& value) const
{
    auto* s = Get<std::string*>(data);
    value = s ? Variant(*s) : Null();
}
void TcxStringValueType::StoreVariant(void* data, const Variant& value) const
{
    std::string text = VarToStr(value);
    auto* s = Get<std::string*>(data);
    if (s) *s = std::move(text);
    else Put(data, new std::string(std::move(text)));
}
int TcxStringValueType::CompareRaw(const void* r1, const void* r2) const
{
    auto* a = static_cast<const std::string*>(r1);
    auto* b = static_cast<const std::string*>(r2);
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
    return cxVariants::CompareGbkStr(*a, *b);
}
const void* TcxStringValueType::CellToRaw(const void* data) const { return Get<const void*>(data); }
void TcxStringValueType::RawToVariant(const void* raw, Variant& value) const
{
    auto* s = static_cast<const std::string*>(raw);
    value = s ? Variant(*s) : Null();
}
void TcxStringValueType::ReadValueFrom(void* data, TStream* stream) const
{
    StoreVariant(data, Variant(cxVariants::ReadCountedString(stream)));
}
void TcxStringValueType::WriteValueTo(const void* data, TStream* stream) const
{
    auto* s = Get<std::string*>(data);
    cxVariants::WriteCountedString(stream, s ? *s : std::string());
}

// Wide string: a heap UTF-16 string.
void TcxWideStringValueType::ReleaseValue(void* data) const
{
    delete Get<std::u16string*>(data);
    Put<std::u16string*>(data, nullptr);
}
void TcxWideStringValueType::LoadVariant(const void* data, Variant& value) const
{
    auto* s = Get<std::u16string*>(data);
    value = s ? Variant::FromWide(Utf16ToUtf8(*s)) : Null();
}
void TcxWideStringValueType::StoreVariant(void* data, const Variant& value) const
{
    std::u16string w = Utf8ToUtf16(VarToStr(value));
    auto* s = Get<std::u16string*>(data);
    if (s) *s = std::move(w);
    else Put(data, new std::u16string(std::move(w)));
}
int TcxWideStringValueType::CompareRaw(const void* r1, const void* r2) const
{
    auto* a = static_cast<const std::u16string*>(r1);
    auto* b = static_cast<const std::u16string*>(r2);
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
    int r = a->compare(*b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
void TcxWideStringValueType::RawToVariant(const void* raw, Variant& value) const
{
    auto* s = static_cast<const std::u16string*>(raw);
    value = s ? Variant::FromWide(Utf16ToUtf8(*s)) : Null();
}
// The units go to the stream as they are: every character survives.
void TcxWideStringValueType::ReadValueFrom(void* data, TStream* stream) const
{
    std::u16string w = cxVariants::ReadCountedWideString(stream);
    auto* s = Get<std::u16string*>(data);
    if (s) *s = std::move(w);
    else Put(data, new std::u16string(std::move(w)));
}
void TcxWideStringValueType::WriteValueTo(const void* data, TStream* stream) const
{
    auto* s = Get<std::u16string*>(data);
    cxVariants::WriteCountedWideString(stream, s ? *s : std::u16string());
}

// Fixed-size numbers.
void TcxSmallintValueType::LoadVariant(const void* d, Variant& v) const { v = Variant::FromSmallint(Get<int16_t>(d)); }
void TcxSmallintValueType::StoreVariant(void* d, const Variant& v) const { Put<int16_t>(d, int16_t(v.AsInteger())); }
int TcxSmallintValueType::CompareRaw(const void* a, const void* b) const { return Get<int16_t>(a) - Get<int16_t>(b); }
void TcxSmallintValueType::ReadValueFrom(void* d, TStream* s) const { Put<int16_t>(d, s->ReadSmallInt()); }
void TcxSmallintValueType::WriteValueTo(const void* d, TStream* s) const { s->WriteSmallInt(Get<int16_t>(d)); }

void TcxIntegerValueType::LoadVariant(const void* d, Variant& v) const { v = Variant(int(Get<int32_t>(d))); }
void TcxIntegerValueType::StoreVariant(void* d, const Variant& v) const { Put<int32_t>(d, v.AsInteger()); }
int TcxIntegerValueType::CompareRaw(const void* a, const void* b) const { return Order(Get<int32_t>(a), Get<int32_t>(b)); }
void TcxIntegerValueType::ReadValueFrom(void* d, TStream* s) const { Put<int32_t>(d, s->ReadInt32()); }
void TcxIntegerValueType::WriteValueTo(const void* d, TStream* s) const { s->WriteInt32(Get<int32_t>(d)); }

void TcxWordValueType::LoadVariant(const void* d, Variant& v) const { v = Variant::FromWord(Get<uint16_t>(d)); }
void TcxWordValueType::StoreVariant(void* d, const Variant& v) const { Put<uint16_t>(d, uint16_t(v.AsInteger())); }
int TcxWordValueType::CompareRaw(const void* a, const void* b) const { return int(Get<uint16_t>(a)) - int(Get<uint16_t>(b)); }
void TcxWordValueType::ReadValueFrom(void* d, TStream* s) const { Put<uint16_t>(d, s->ReadWord()); }
void TcxWordValueType::WriteValueTo(const void* d, TStream* s) const { s->WriteWord(Get<uint16_t>(d)); }

void TcxBooleanValueType::LoadVariant(const void* d, Variant& v) const { v = Variant(Get<uint8_t>(d) != 0); }
void TcxBooleanValueType::StoreVariant(void* d, const Variant& v) const { Put<uint8_t>(d, v.AsBoolean() ? 1 : 0); }
int TcxBooleanValueType::CompareRaw(const void* a, const void* b) const { return int(Get<uint8_t>(a)) - int(Get<uint8_t>(b)); }
void TcxBooleanValueType::ValueText(const void* d, std::string& t) const { t = Get<uint8_t>(d) ? "True" : "False"; }
void TcxBooleanValueType::ReadValueFrom(void* d, TStream* s) const { Put<uint8_t>(d, s->ReadByte() ? 1 : 0); }
void TcxBooleanValueType::WriteValueTo(const void* d, TStream* s) const { s->WriteByte(Get<uint8_t>(d)); }

void TcxFloatValueType::LoadVariant(const void* d, Variant& v) const { v = Variant(Get<double>(d)); }
void TcxFloatValueType::StoreVariant(void* d, const Variant& v) const { Put<double>(d, v.AsDouble()); }
int TcxFloatValueType::CompareRaw(const void* a, const void* b) const { return FloatOrder(Get<double>(a), Get<double>(b)); }
void TcxFloatValueType::ReadValueFrom(void* d, TStream* s) const { Put<double>(d, s->ReadDouble()); }
void TcxFloatValueType::WriteValueTo(const void* d, TStream* s) const { s->WriteDouble(Get<double>(d)); }

void TcxCurrencyValueType::LoadVariant(const void* d, Variant& v) const { v = Variant(Currency::FromRaw(Get<int64_t>(d))); }
void TcxCurrencyValueType::StoreVariant(void* d, const Variant& v) const { Put<int64_t>(d, v.AsCurrency().Value); }
int TcxCurrencyValueType::CompareRaw(const void* a, const void* b) const { return Order(Get<int64_t>(a), Get<int64_t>(b)); }
void TcxCurrencyValueType::ReadValueFrom(void* d, TStream* s) const { Put<int64_t>(d, s->ReadInt64()); }
void TcxCurrencyValueType::WriteValueTo(const void* d, TStream* s) const { s->WriteInt64(Get<int64_t>(d)); }

void TcxDateTimeValueType::LoadVariant(const void* d, Variant& v) const { v = Variant::FromDate(Get<double>(d)); }
void TcxDateTimeValueType::StoreVariant(void* d, const Variant& v) const { Put<double>(d, VarToDateTime(v)); }
int TcxDateTimeValueType::CompareRaw(const void* a, const void* b) const { return FloatOrder(Get<double>(a), Get<double>(b)); }
void TcxDateTimeValueType::ReadValueFrom(void* d, TStream* s) const { Put<double>(d, s->ReadDouble()); }
void TcxDateTimeValueType::WriteValueTo(const void* d, TStream* s) const { s->WriteDouble(Get<double>(d)); }

void TcxLargeIntValueType::LoadVariant(const void* d, Variant& v) const { v = Variant::FromInt64(Get<int64_t>(d)); }
void TcxLargeIntValueType::StoreVariant(void* d, const Variant& v) const { Put<int64_t>(d, v.AsInt64()); }
int TcxLargeIntValueType::CompareRaw(const void* a, const void* b) const { return Order(Get<int64_t>(a), Get<int64_t>(b)); }
void TcxLargeIntValueType::ReadValueFrom(void* d, TStream* s) const { Put<int64_t>(d, s->ReadInt64()); }
void TcxLargeIntValueType::WriteValueTo(const void* d, TStream* s) const { s->WriteInt64(Get<int64_t>(d)); }

void TcxFMTBcdValueType::LoadVariant(const void* d, Variant& v) const { v = Variant(Get<double>(d)); }
void TcxFMTBcdValueType::StoreVariant(void* d, const Variant& v) const
{
    double x = v.AsDouble();
    std::memset(d, 0, 34);
    Put<double>(d, x);
}
int TcxFMTBcdValueType::CompareRaw(const void* a, const void* b) const { return FloatOrder(Get<double>(a), Get<double>(b)); }
void TcxFMTBcdValueType::ValueText(const void* d, std::string& t) const { t = FloatToStr(Get<double>(d)); }

void TcxSQLTimeStampValueType::LoadVariant(const void* d, Variant& v) const
{
    auto ts = Get<TcxSQLTimeStamp>(d);
    TDateTime dt = 0;
    if (!TryEncodeDateTime(ts.Year, ts.Month, ts.Day, ts.Hour, ts.Minute, ts.Second,
                           int(ts.Fractions % 1000), dt))
        dt = 0;
    v = Variant::FromDate(dt);
}
void TcxSQLTimeStampValueType::StoreVariant(void* d, const Variant& v) const
{
    TDateTime dt = VarToDateTime(v);
    uint16_t y, mo, da, h, mi, s, ms;
    DecodeDateTime(dt, y, mo, da, h, mi, s, ms);
    TcxSQLTimeStamp ts{int16_t(y), mo, da, h, mi, s, ms};
    Put(d, ts);
}
int TcxSQLTimeStampValueType::CompareRaw(const void* a, const void* b) const
{
    auto x = Get<TcxSQLTimeStamp>(a), y = Get<TcxSQLTimeStamp>(b);
    if (x.Year != y.Year) return x.Year - y.Year;
    if (x.Month != y.Month) return x.Month - y.Month;
    if (x.Day != y.Day) return x.Day - y.Day;
    if (x.Hour != y.Hour) return x.Hour - y.Hour;
    if (x.Minute != y.Minute) return x.Minute - y.Minute;
    if (x.Second != y.Second) return x.Second - y.Second;
    return Order(x.Fractions, y.Fractions);
}

// Variant: a heap copy of the value.
int TcxVariantValueType::CompareCells(const void* d1, const void* d2) const
{
    return CompareRaw(Get<const void*>(d1), Get<const void*>(d2));
}
void TcxVariantValueType::ReleaseValue(void* data) const
{
    delete Get<Variant*>(data);
    Put<Variant*>(data, nullptr);
}
void TcxVariantValueType::LoadVariant(const void* data, Variant& value) const
{
    auto* p = Get<Variant*>(data);
    value = p ? *p : Null();
}
void TcxVariantValueType::StoreVariant(void* data, const Variant& value) const
{
    auto* p = Get<Variant*>(data);
    if (p) *p = value;
    else Put(data, new Variant(value));
}
int TcxVariantValueType::CompareRaw(const void* r1, const void* r2) const
{
    auto* a = static_cast<const Variant*>(r1);
    auto* b = static_cast<const Variant*>(r2);
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
    return cxVariants::VarCompare(*a, *b);
}
const void* TcxVariantValueType::CellToRaw(const void* data) const { return Get<const void*>(data); }
void TcxVariantValueType::RawToVariant(const void* raw, Variant& value) const
{
    auto* p = static_cast<const Variant*>(raw);
    value = p ? *p : Null();
}

// Object: the cell owns the object; a Variant carries its handle.
void TcxObjectValueType::ReleaseValue(void* data) const
{
    TObject* o = Get<TObject*>(data);
    Put<TObject*>(data, nullptr);
    FreeObject(o);
}
void TcxObjectValueType::LoadVariant(const void* data, Variant& value) const
{
    value = Variant(int(ObjectHandles::HandleOf(Get<TObject*>(data))));
}
void TcxObjectValueType::StoreVariant(void* data, const Variant& value) const
{
    TObject* o = ObjectHandles::Resolve(uint32_t(value.AsInt64()));
    TObject* old = Get<TObject*>(data);
    if (old == o) return;
    Put<TObject*>(data, o);
    FreeObject(old);
}
int TcxObjectValueType::CompareRaw(const void* a, const void* b) const
{
    return Order(ObjectHandles::HandleOf(Get<TObject*>(a)), ObjectHandles::HandleOf(Get<TObject*>(b)));
}

// ---- the registry -------------------------------------------------------------------

void TcxValueTypeClassList::Add(TcxValueTypeClass c)
{
    for (auto x : FItems)
        if (x == c) return;
    FItems.push_back(c);
}

void TcxValueTypeClassList::Remove(TcxValueTypeClass c)
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == c) {
            FItems.erase(FItems.begin() + long(i));
            return;
        }
}

TcxValueTypeClassList* cxValueTypeClassList()
{
    static TcxValueTypeClassList list = [] {
        TcxValueTypeClassList l;
        for (auto c : {TcxStringValueType::Class(), TcxWideStringValueType::Class(),
                       TcxSmallintValueType::Class(), TcxIntegerValueType::Class(),
                       TcxWordValueType::Class(), TcxBooleanValueType::Class(),
                       TcxFloatValueType::Class(), TcxCurrencyValueType::Class(),
                       TcxDateTimeValueType::Class(), TcxLargeIntValueType::Class(),
                       TcxFMTBcdValueType::Class(), TcxSQLTimeStampValueType::Class(),
                       TcxVariantValueType::Class(), TcxObjectValueType::Class()})
            l.Add(c);
        return l;
    }();
    return &list;
}

// ---- value definitions ---------------------------------------------------------------

QZ_CLASS_IMPL(TcxValueDef, TObject)
QZ_CLASS_IMPL(TcxInternalValueDef, TcxValueDef)
QZ_CLASS_IMPL(TcxValueDefs, TObject)
QZ_CLASS_IMPL(TcxInternalValueDefs, TcxValueDefs)
QZ_CLASS_IMPL(TcxValueDefReader, TObject)
QZ_CLASS_IMPL(TcxDataStorage, TObject)
QZ_CLASS_IMPL(TcxLookupList, TObject)

TcxValueDef::TcxValueDef(TcxValueDefs* definitions, TcxValueTypeClass valueType)
    : FDefinitions(definitions), FValueType(valueType)
{
    FValueSize = valueType ? valueType->ValueSize() : 0;
}

TcxValueDef::~TcxValueDef()
{
    if (FDefinitions) FDefinitions->Remove(this);
}

bool TcxValueDef::KeepsValue() const
{
    return FKeepValue || !FDefinitions || !FDefinitions->Storage() ||
           !FDefinitions->Storage()->KeptValuesOnly();
}

void TcxValueDef::CopyFlags(TcxValueDef* source)
{
    FKeepValue = source->KeepsValue();
    FKeepText = source->KeepsText();
}

void TcxValueDef::SetKeepValue(bool v)
{
    if (FKeepValue == v) return;
    FKeepValue = v;
    if (FDefinitions) FDefinitions->DefinitionChanged(this, 0);
}

void TcxValueDef::SetKeepText(bool v)
{
    if (FKeepText == v) return;
    FKeepText = v;
    if (FDefinitions) FDefinitions->DefinitionChanged(this, 1);
}

TcxDataStorage* TcxValueDef::Storage() const { return FDefinitions ? FDefinitions->Storage() : nullptr; }

int TcxValueDef::CompareValuePointers(bool null1, bool null2, const void* p1, const void* p2) const
{
    if (null1 || null2) return null1 == null2 ? 0 : (null1 ? -1 : 1);
    return FValueType->CompareRaw(p1, p2);
}

TObject* TcxInternalValueDef::GetBoundObject() const
{
    TcxValueDef* outer = Outer();
    return outer ? outer->GetBoundObject() : nullptr;
}

TcxValueDefs::TcxValueDefs(TcxDataStorage* storage) : FStorage(storage) {}

TcxValueDefs::~TcxValueDefs() { Clear(); }

bool TcxValueDefs::IsInternal() const { return FStorage && FStorage->InternalDefinitions() == this; }

TcxValueDef* TcxValueDefs::CreateDefinition(TcxValueTypeClass valueType) { return new TcxValueDef(this, valueType); }

TcxValueDef* TcxValueDefs::Add(TcxValueTypeClass valueType, bool keepValue, bool keepText, TObject* boundObject)
{
    TcxValueDef* def = CreateDefinition(valueType);
    def->FDefinitions = nullptr;   // not in the list until it is laid out
    def->FBoundObject = boundObject;
    def->FKeepValue = keepValue;
    def->FKeepText = keepText;
    def->FDefinitions = this;
    // The cell size of the new definition alone, from offset 0.
    def->FValueSize = valueType ? valueType->ValueSize() : 0;
    def->FCellOffset = 0;
    if (def->KeepsValue()) {
        def->FCellSize = 1 + def->FValueSize + (def->KeepsText() ? int(sizeof(void*)) : 0);
    } else {
        def->FCellSize = 0;
    }
    if (FStorage) FStorage->DefinitionAdded(this, def);
    FItems.push_back(def);
    Prepare(FBaseOffset);
    return def;
}

void TcxValueDefs::Remove(TcxValueDef* def)
{
    int i = IndexOf(def);
    if (i < 0) return;
    if (FStorage) FStorage->DefinitionRemoving(this, def);
    i = IndexOf(def);
    if (i >= 0) FItems.erase(FItems.begin() + i);
    Prepare(FBaseOffset);
}

void TcxValueDefs::Clear()
{
    while (!FItems.empty()) delete FItems.back();
}

int TcxValueDefs::IndexOf(const TcxValueDef* def) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == def) return int(i);
    return -1;
}

int TcxValueDefs::KeptCount() const
{
    int n = 0;
    for (auto d : FItems)
        if (d->KeepsValue()) ++n;
    return n;
}

void TcxValueDefs::DefinitionChanged(TcxValueDef* def, int kind)
{
    if (FStorage) FStorage->DefinitionChanged(def, kind);
}

void TcxValueDefs::Prepare(int baseOffset)
{
    FBaseOffset = baseOffset;
    int offset = baseOffset;
    for (auto d : FItems) {
        d->FValueSize = d->FValueType ? d->FValueType->ValueSize() : 0;
        d->FCellOffset = offset;
        if (d->KeepsValue()) {
            int grow = 1 + d->FValueSize + (d->KeepsText() ? int(sizeof(void*)) : 0);
            offset += grow;
            d->FCellSize = grow;
        } else {
            d->FCellSize = 0;
        }
    }
    FRecordBytes = offset;
}

TcxValueDef* TcxInternalValueDefs::CreateDefinition(TcxValueTypeClass valueType)
{
    return new TcxInternalValueDef(this, valueType);
}

TcxInternalValueDef* TcxInternalValueDefs::FindTwin(const TcxValueDef* outer) const
{
    for (int i = Count() - 1; i >= 0; --i) {
        auto* d = static_cast<TcxInternalValueDef*>(Items(i));
        if (d->Outer() == outer) return d;
    }
    return nullptr;
}

void TcxInternalValueDefs::RemoveTwin(const TcxValueDef* outer)
{
    if (TcxInternalValueDef* twin = FindTwin(outer)) delete twin;
}

// ---- the record storage ----------------------------------------------------------------

TcxDataStorage::TcxDataStorage()
{
    FInternalDefinitions = new TcxInternalValueDefs(this);
    FDefinitions = new TcxValueDefs(this);
}

TcxDataStorage::~TcxDataStorage()
{
    FDestroying = true;
    Clear(false);
    delete FDefinitions;
    FDefinitions = nullptr;
    delete FInternalDefinitions;
    FInternalDefinitions = nullptr;
}

std::vector<uint8_t*>& TcxDataStorage::ListFor(TcxValueDefs* defs)
{
    return defs == FInternalDefinitions ? FInternalRecords : FRecords;
}

uint8_t*& TcxDataStorage::SlotFor(int recordIndex)
{
    return recordIndex < 0 ? FInternalRecords[size_t(-recordIndex - 1)] : FRecords[size_t(recordIndex)];
}

TcxValueDefs* TcxDataStorage::DefinitionsFor(int recordIndex)
{
    return recordIndex < 0 ? static_cast<TcxValueDefs*>(FInternalDefinitions) : FDefinitions;
}

void TcxDataStorage::DefinitionAdded(TcxValueDefs* defs, TcxValueDef* def)
{
    if (defs == FDefinitions) {
        TcxValueDef* twin = FInternalDefinitions->Add(def->ValueType(), true, def->FKeepText, def);
        (void)twin;
    }
    int grow = def->FCellSize;
    if (grow == 0) return;
    for (auto& buf : ListFor(defs)) {
        if (!buf) continue;
        int old = defs->RecordBytes();
        auto* nb = static_cast<uint8_t*>(std::realloc(buf, size_t(old + grow)));
        if (!nb) throw EOutOfMemory("Out of memory");
        std::memset(nb + old, 0, size_t(grow));
        buf = nb;
    }
}

void TcxDataStorage::DefinitionRemoving(TcxValueDefs* defs, TcxValueDef* def)
{
    if (defs == FDefinitions && FInternalDefinitions) FInternalDefinitions->RemoveTwin(def);
    if (!def->KeepsValue()) return;
    bool onlyKept = defs->KeptCount() < 2;
    auto& list = ListFor(defs);
    for (size_t i = 0; i < list.size(); ++i) {
        uint8_t* buf = list[i];
        if (!buf) continue;
        if (onlyKept) {
            int index = defs == FInternalDefinitions ? -int(i) - 1 : int(i);
            DisposeRecordBuffer(index);
        } else {
            ReleaseCell(buf, def);
            int bytes = defs->RecordBytes();
            int end = def->CellOffset() + def->CellSize();
            std::memmove(buf + def->CellOffset(), buf + end, size_t(bytes - end));
            auto* nb = static_cast<uint8_t*>(std::realloc(buf, size_t(bytes - def->CellSize())));
            if (nb) list[i] = nb;
        }
    }
}

void TcxDataStorage::Relayout(TcxValueDefs* defs) { defs->Prepare(1); }

void TcxDataStorage::ReleaseCell(uint8_t* buffer, TcxValueDef* def)
{
    if (!def->KeepsValue()) return;
    uint8_t* cell = buffer + def->CellOffset();
    if (cell[0]) def->ValueType()->ReleaseValue(cell + 1);
    cell[0] = 0;
    if (def->KeepsText()) TcxValueType::ReleaseText(cell + 1 + def->ValueSize());
}

void TcxDataStorage::DisposeRecordBuffer(int recordIndex)
{
    uint8_t*& slot = SlotFor(recordIndex);
    uint8_t* buf = slot;
    if (!buf) return;
    slot = nullptr;
    TcxValueDefs* defs = DefinitionsFor(recordIndex);
    for (int i = 0; i < defs->Count(); ++i) ReleaseCell(buf, defs->Items(i));
    std::free(buf);
}

int TcxDataStorage::AppendRecord()
{
    FRecords.push_back(nullptr);
    return int(FRecords.size()) - 1;
}

void TcxDataStorage::InsertRecord(int recordIndex) { FRecords.insert(FRecords.begin() + recordIndex, nullptr); }

void TcxDataStorage::DeleteRecord(int recordIndex)
{
    if (recordIndex < 0) {
        ReleaseInternalRecord(recordIndex);
        return;
    }
    DisposeRecordBuffer(recordIndex);
    FRecords.erase(FRecords.begin() + recordIndex);
}

void TcxDataStorage::SetRecordCount(int count)
{
    if (count < 0) count = 0;
    while (int(FRecords.size()) < count) FRecords.push_back(nullptr);
    while (int(FRecords.size()) > count) DeleteRecord(int(FRecords.size()) - 1);
}

int TcxDataStorage::AddInternalRecord()
{
    size_t slot = FInternalRecords.size();
    for (size_t i = 0; i < FInternalRecords.size(); ++i)
        if (!FInternalRecords[i] || !(FInternalRecords[i][0] & 0x01)) {
            slot = i;
            break;
        }
    if (slot == FInternalRecords.size()) FInternalRecords.push_back(nullptr);
    int index = -int(slot) - 1;
    uint8_t* buf = RecordBuffer(index);
    buf[0] |= 0x01;
    return index;
}

void TcxDataStorage::ReleaseInternalRecord(int recordIndex)
{
    size_t slot = size_t(-recordIndex - 1);
    if (slot >= FInternalRecords.size()) return;
    DisposeRecordBuffer(recordIndex);
}

void TcxDataStorage::ClearRecords(bool emptyList)
{
    for (size_t i = 0; i < FRecords.size(); ++i) DisposeRecordBuffer(int(i));
    if (emptyList) FRecords.clear();
}

void TcxDataStorage::ClearInternalRecords()
{
    for (size_t i = 0; i < FInternalRecords.size(); ++i) DisposeRecordBuffer(-int(i) - 1);
    FInternalRecords.clear();
    if (OnClearInternalRecords) OnClearInternalRecords(this);
}

void TcxDataStorage::Clear(bool keepInternal)
{
    if (!keepInternal) ClearInternalRecords();
    ClearRecords(true);
}

uint8_t* TcxDataStorage::RecordBuffer(int recordIndex)
{
    uint8_t*& slot = SlotFor(recordIndex);
    if (!slot) {
        int bytes = DefinitionsFor(recordIndex)->RecordBytes();
        slot = static_cast<uint8_t*>(std::calloc(1, size_t(bytes)));
        if (!slot) throw EOutOfMemory("Out of memory");
    }
    return slot;
}

uint8_t* TcxDataStorage::PeekRecordBuffer(int recordIndex) const
{
    if (recordIndex < 0) {
        size_t s = size_t(-recordIndex - 1);
        return s < FInternalRecords.size() ? FInternalRecords[s] : nullptr;
    }
    return size_t(recordIndex) < FRecords.size() ? FRecords[size_t(recordIndex)] : nullptr;
}

TcxValueDef* TcxDataStorage::ResolveDefinition(int recordIndex, TcxValueDef* def) const
{
    if (!def) return nullptr;
    if (recordIndex >= 0 || def->Definitions() == FInternalDefinitions) return def;
    return FInternalDefinitions->FindTwin(def);
}

void TcxDataStorage::WriteVariant(uint8_t* buffer, TcxValueDef* def, const Variant& value)
{
    uint8_t* cell = buffer + def->CellOffset();
    if (value.IsNull()) {
        if (cell[0]) {
            def->ValueType()->ReleaseValue(cell + 1);
            std::memset(cell + 1, 0, size_t(def->ValueSize()));
        }
        cell[0] = 0;
        return;
    }
    // The value is converted and stored first; only a stored value makes the
    // cell hold one, so a failed conversion leaves a Null cell Null.
    def->ValueType()->StoreVariant(cell + 1, value);
    cell[0] = 1;
}

void TcxDataStorage::ReadValue(int recordIndex, TcxValueDef* def, Variant& value)
{
    uint8_t* buf = PeekRecordBuffer(recordIndex);
    TcxValueDef* d = ResolveDefinition(recordIndex, def);
    if (!buf || !d || !d->KeepsValue()) {
        value = Null();
        return;
    }
    const uint8_t* cell = buf + d->CellOffset();
    if (!cell[0]) value = Null();
    else d->ValueType()->LoadVariant(cell + 1, value);
}

void TcxDataStorage::WriteValue(int recordIndex, TcxValueDef* def, const Variant& value)
{
    TcxValueDef* d = ResolveDefinition(recordIndex, def);
    if (!d || !d->KeepsValue()) return;
    WriteVariant(RecordBuffer(recordIndex), d, value);
}

void TcxDataStorage::ReadText(int recordIndex, TcxValueDef* def, std::string& text)
{
    text.clear();
    uint8_t* buf = PeekRecordBuffer(recordIndex);
    TcxValueDef* d = ResolveDefinition(recordIndex, def);
    if (!buf || !d || !d->KeepsValue()) return;
    const uint8_t* cell = buf + d->CellOffset();
    if (d->KeepsText()) TcxValueType::StoredText(cell + 1 + d->ValueSize(), text);
    else if (cell[0]) d->ValueType()->ValueText(cell + 1, text);
}

void TcxDataStorage::WriteText(int recordIndex, TcxValueDef* def, const std::string& text)
{
    TcxValueDef* d = ResolveDefinition(recordIndex, def);
    if (!d || !d->KeepsText()) return;
    uint8_t* buf = RecordBuffer(recordIndex);
    TcxValueType::StoreTextCell(buf + d->CellOffset() + 1 + d->ValueSize(), text);
}

bool TcxDataStorage::ValuePointer(int recordIndex, TcxValueDef* def, const void*& ptr)
{
    ptr = nullptr;
    uint8_t* buf = PeekRecordBuffer(recordIndex);
    TcxValueDef* d = ResolveDefinition(recordIndex, def);
    if (!buf || !d || !d->KeepsValue()) return true;
    const uint8_t* cell = buf + d->CellOffset();
    if (!cell[0]) return true;
    ptr = d->ValueType()->CellToRaw(cell + 1);
    return false;
}

int TcxDataStorage::CompareRecords(int record1, int record2, TcxValueDef* def)
{
    const uint8_t* b1 = PeekRecordBuffer(record1);
    const uint8_t* b2 = PeekRecordBuffer(record2);
    if (!b1 || !b2) return b1 == b2 ? 0 : (b1 ? 1 : -1);
    if (!def->KeepsValue()) return 0;
    const uint8_t* c1 = b1 + def->CellOffset();
    const uint8_t* c2 = b2 + def->CellOffset();
    if (!c1[0] || !c2[0]) return c1[0] == c2[0] ? 0 : (c1[0] ? 1 : -1);
    return def->ValueType()->CompareCells(c1 + 1, c2 + 1);
}

void TcxDataStorage::ReadRecord(int recordIndex, TcxValueDefReader* reader, bool skip)
{
    uint8_t* buf = RecordBuffer(recordIndex);
    TcxValueDefs* defs = DefinitionsFor(recordIndex);
    Variant v;
    std::string text;
    for (int i = 0; i < defs->Count(); ++i) {
        TcxValueDef* d = defs->Items(i);
        if (skip && reader->SkipsDefinition(d)) continue;
        if (!d->KeepsValue()) continue;
        reader->ReadValue(d, v);
        WriteVariant(buf, d, v);
        if (d->KeepsText()) {
            reader->ReadText(d, text);
            TcxValueType::StoreTextCell(buf + d->CellOffset() + 1 + d->ValueSize(), text);
        }
    }
}

void TcxDataStorage::ForEachValueDef(int recordIndex, const TcxForEachValueDefProc& proc, void* arg1, void* arg2)
{
    TcxValueDefs* defs = DefinitionsFor(recordIndex);
    for (int i = 0; i < defs->Count(); ++i) proc(defs->Items(i), recordIndex, arg1, arg2);
}

void TcxDataStorage::SetKeptValuesOnly(bool value)
{
    if (FKeptValuesOnly == value) return;
    ClearRecords(false);
    FKeptValuesOnly = value;
    Relayout(FDefinitions);
}

// ---- lookup list -------------------------------------------------------------------------

void TcxLookupList::Clear()
{
    for (auto p : FItems) delete p;
    FItems.clear();
}

bool TcxLookupList::Find(const Variant& key, int& index) const
{
    return cxDataUtils::SortedFind(
        0, int(FItems.size()) - 1,
        [&](int i) { return cxVariants::VarCompare(FItems[size_t(i)]->KeyValue, key); }, index);
}

void TcxLookupList::Insert(int index, const Variant& key, const std::string& text)
{
    if (index < 0) index = 0;
    if (index > int(FItems.size())) index = int(FItems.size());
    FItems.insert(FItems.begin() + index, new TcxLookupListItem{key, text});
}
