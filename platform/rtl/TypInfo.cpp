#include "TypInfo.h"
#include "TextUtils.h"
#include "Exceptions.h"
#include "Variants.h"

#include <cstdint>

namespace {

std::string TrimAscii(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (unsigned char)s[b] <= ' ') ++b;
    while (e > b && (unsigned char)s[e - 1] <= ' ') --e;
    return s.substr(b, e - b);
}

bool IsOrdinalKind(TTypeKind k)
{
    return k == tkInteger || k == tkChar || k == tkEnumeration || k == tkSet || k == tkWChar ||
           k == tkInt64;
}

bool IsStringKind(TTypeKind k)
{
    return k == tkString || k == tkLString || k == tkWString;
}

[[noreturn]] void InvalidType(PPropInfo info)
{
    throw EPropertyError("Invalid property type: " + info->TypeName);
}

[[noreturn]] void ReadOnly(PPropInfo info)
{
    throw EPropertyError("Property " + info->Name + " is read-only");
}

PPropInfo Need(const TObject* obj, const std::string& propName)
{
    PPropInfo info = obj ? GetPropInfo(obj, propName) : nullptr;
    if (!info) throw EPropertyError("Property " + propName + " does not exist");
    return info;
}

void CheckKind(PPropInfo info, bool ok)
{
    if (!ok) InvalidType(info);
}

}   // namespace

void qz_detail::RaiseInvalidPropValue()
{
    throw EPropertyError("Invalid property value");
}

PTypeInfo MakeEnumTypeInfo(const char* name, std::initializer_list<const char*> names)
{
    auto* ti = new TTypeInfo;   // type information lives for the whole process
    ti->Name = name;
    ti->Kind = tkEnumeration;
    for (const char* n : names) ti->Names.push_back(n);
    return ti;
}

PTypeInfo QzEnumTypeInfo(bool*)
{
    static const PTypeInfo ti = MakeEnumTypeInfo("Boolean", {"False", "True"});
    return ti;
}

bool TPropInfo::IsWritable() const
{
    if (IsOrdinalKind(Kind)) return bool(SetOrd);
    if (Kind == tkFloat) return bool(SetFloat);
    if (IsStringKind(Kind)) return bool(SetStr);
    if (Kind == tkVariant) return bool(SetVar);
    if (Kind == tkClass) return bool(SetObj);
    if (Kind == tkMethod) return bool(SetMethod);
    return false;
}

// ---- look-up ------------------------------------------------------------------

PPropInfo GetPropInfo(TClass c, const std::string& propName)
{
    // The class's own declaration wins over an inherited one of the same name.
    for (; c; c = c->Parent) {
        for (const TPropInfo& p : c->OwnProps())
            if (SameText(p.Name, propName)) return &p;
    }
    return nullptr;
}

PPropInfo GetPropInfo(const TObject* obj, const std::string& propName)
{
    return obj ? GetPropInfo(obj->ClassType(), propName) : nullptr;
}

std::vector<PPropInfo> GetPropList(TClass c)
{
    std::vector<TClass> chain;
    for (; c; c = c->Parent) chain.push_back(c);
    std::vector<PPropInfo> result;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (const TPropInfo& p : (*it)->OwnProps()) {
            bool replaced = false;
            for (PPropInfo& r : result)
                if (SameText(r->Name, p.Name)) {
                    r = &p;   // redeclared: keeps the parent's place
                    replaced = true;
                    break;
                }
            if (!replaced) result.push_back(&p);
        }
    }
    return result;
}

std::vector<PPropInfo> GetPropList(const TObject* obj)
{
    return obj ? GetPropList(obj->ClassType()) : std::vector<PPropInfo>();
}

bool IsPublishedProp(const TObject* obj, const std::string& propName)
{
    return GetPropInfo(obj, propName) != nullptr;
}

bool IsPublishedProp(TClass c, const std::string& propName)
{
    return GetPropInfo(c, propName) != nullptr;
}

TTypeKind PropType(const TObject* obj, const std::string& propName)
{
    return Need(obj, propName)->Kind;
}

bool PropIsType(const TObject* obj, const std::string& propName, TTypeKind kind)
{
    return PropType(obj, propName) == kind;
}

bool IsWritableProp(PPropInfo info)
{
    return info && info->IsWritable();
}

// ---- enumerations and sets ----------------------------------------------------------

std::string GetEnumName(PTypeInfo typeInfo, int value)
{
    if (!typeInfo || value < 0 || value >= int(typeInfo->Names.size())) return "";
    return typeInfo->Names[size_t(value)];
}

int GetEnumValue(PTypeInfo typeInfo, const std::string& name)
{
    if (!typeInfo) return -1;
    for (size_t i = 0; i < typeInfo->Names.size(); ++i)
        if (SameText(typeInfo->Names[i], name)) return int(i);
    return -1;
}

std::string SetToString(PTypeInfo elementType, int64_t value, bool brackets)
{
    std::string r;
    if (elementType)
        for (size_t i = 0; i < elementType->Names.size() && i < 64; ++i)
            if (uint64_t(value) & (uint64_t(1) << i)) {
                if (!r.empty()) r += ',';
                r += elementType->Names[i];
            }
    return brackets ? "[" + r + "]" : r;
}

std::string SetToString(PPropInfo info, int64_t value, bool brackets)
{
    return SetToString(info ? info->TypeInfo : nullptr, value, brackets);
}

int64_t StringToSet(PTypeInfo elementType, const std::string& value)
{
    std::string s = TrimAscii(value);
    if (!s.empty() && s.front() == '[') s.erase(0, 1);
    if (!s.empty() && s.back() == ']') s.pop_back();
    uint64_t result = 0;
    size_t start = 0;
    while (start <= s.size()) {
        size_t comma = s.find(',', start);
        if (comma == std::string::npos) comma = s.size();
        std::string name = TrimAscii(s.substr(start, comma - start));
        if (!name.empty()) {
            int v = GetEnumValue(elementType, name);
            if (v < 0 || v >= 64) throw EPropertyConvertError("Invalid property element: " + name);
            result |= uint64_t(1) << v;
        }
        start = comma + 1;
    }
    return int64_t(result);
}

int64_t StringToSet(PPropInfo info, const std::string& value)
{
    return StringToSet(info ? info->TypeInfo : nullptr, value);
}

// ---- ordinals ---------------------------------------------------------------------

int64_t GetOrdProp(TObject* obj, PPropInfo info)
{
    CheckKind(info, IsOrdinalKind(info->Kind) && bool(info->GetOrd));
    return info->GetOrd(obj);
}

int64_t GetOrdProp(TObject* obj, const std::string& propName)
{
    return GetOrdProp(obj, Need(obj, propName));
}

void SetOrdProp(TObject* obj, PPropInfo info, int64_t value)
{
    CheckKind(info, IsOrdinalKind(info->Kind));
    if (!info->SetOrd) ReadOnly(info);
    // An enumeration holds only its named values: an ordinal from a script
    // or a stored layout beyond them would reach code that indexes tables
    // by it. Booleans take any number (non-zero is True).
    if (info->Kind == tkEnumeration && info->TypeInfo && info->TypeInfo != TypeInfoOf<bool>() &&
        !info->TypeInfo->Names.empty() &&
        (value < 0 || value >= int64_t(info->TypeInfo->Names.size())))
        qz_detail::RaiseInvalidPropValue();
    info->SetOrd(obj, value);
}

void SetOrdProp(TObject* obj, const std::string& propName, int64_t value)
{
    SetOrdProp(obj, Need(obj, propName), value);
}

int64_t GetInt64Prop(TObject* obj, const std::string& propName)
{
    return GetOrdProp(obj, propName);
}

void SetInt64Prop(TObject* obj, const std::string& propName, int64_t value)
{
    SetOrdProp(obj, propName, value);
}

std::string GetEnumProp(TObject* obj, PPropInfo info)
{
    CheckKind(info, info->Kind == tkEnumeration);
    return GetEnumName(info->TypeInfo, int(GetOrdProp(obj, info)));
}

std::string GetEnumProp(TObject* obj, const std::string& propName)
{
    return GetEnumProp(obj, Need(obj, propName));
}

void SetEnumProp(TObject* obj, PPropInfo info, const std::string& value)
{
    CheckKind(info, info->Kind == tkEnumeration);
    int v = GetEnumValue(info->TypeInfo, TrimAscii(value));
    if (v < 0) throw EPropertyConvertError("Invalid property element: " + value);
    SetOrdProp(obj, info, v);
}

void SetEnumProp(TObject* obj, const std::string& propName, const std::string& value)
{
    SetEnumProp(obj, Need(obj, propName), value);
}

std::string GetSetProp(TObject* obj, PPropInfo info, bool brackets)
{
    CheckKind(info, info->Kind == tkSet);
    return SetToString(info, GetOrdProp(obj, info), brackets);
}

std::string GetSetProp(TObject* obj, const std::string& propName, bool brackets)
{
    return GetSetProp(obj, Need(obj, propName), brackets);
}

void SetSetProp(TObject* obj, PPropInfo info, const std::string& value)
{
    CheckKind(info, info->Kind == tkSet);
    SetOrdProp(obj, info, StringToSet(info, value));
}

void SetSetProp(TObject* obj, const std::string& propName, const std::string& value)
{
    SetSetProp(obj, Need(obj, propName), value);
}

// ---- strings and floats -------------------------------------------------------------

std::string GetStrProp(TObject* obj, PPropInfo info)
{
    CheckKind(info, IsStringKind(info->Kind) && bool(info->GetStr));
    return info->GetStr(obj);
}

std::string GetStrProp(TObject* obj, const std::string& propName)
{
    return GetStrProp(obj, Need(obj, propName));
}

void SetStrProp(TObject* obj, PPropInfo info, const std::string& value)
{
    CheckKind(info, IsStringKind(info->Kind));
    if (!info->SetStr) ReadOnly(info);
    info->SetStr(obj, value);
}

void SetStrProp(TObject* obj, const std::string& propName, const std::string& value)
{
    SetStrProp(obj, Need(obj, propName), value);
}

double GetFloatProp(TObject* obj, PPropInfo info)
{
    CheckKind(info, info->Kind == tkFloat && bool(info->GetFloat));
    return info->GetFloat(obj);
}

double GetFloatProp(TObject* obj, const std::string& propName)
{
    return GetFloatProp(obj, Need(obj, propName));
}

void SetFloatProp(TObject* obj, PPropInfo info, double value)
{
    CheckKind(info, info->Kind == tkFloat);
    if (!info->SetFloat) ReadOnly(info);
    info->SetFloat(obj, value);
}

void SetFloatProp(TObject* obj, const std::string& propName, double value)
{
    SetFloatProp(obj, Need(obj, propName), value);
}

// ---- objects and events -----------------------------------------------------------------

TObject* GetObjectProp(TObject* obj, PPropInfo info, TClass minClass)
{
    CheckKind(info, info->Kind == tkClass && bool(info->GetObj));
    TObject* o = info->GetObj(obj);
    if (o && minClass && !o->InheritsFrom(minClass)) return nullptr;
    return o;
}

TObject* GetObjectProp(TObject* obj, const std::string& propName, TClass minClass)
{
    return GetObjectProp(obj, Need(obj, propName), minClass);
}

void SetObjectProp(TObject* obj, PPropInfo info, TObject* value)
{
    CheckKind(info, info->Kind == tkClass);
    if (!info->SetObj) ReadOnly(info);
    if (value && info->PropClass && !value->InheritsFrom(info->PropClass))
        qz_detail::RaiseInvalidPropValue();
    info->SetObj(obj, value);
}

void SetObjectProp(TObject* obj, const std::string& propName, TObject* value)
{
    SetObjectProp(obj, Need(obj, propName), value);
}

std::any GetMethodProp(TObject* obj, PPropInfo info)
{
    CheckKind(info, info->Kind == tkMethod && bool(info->GetMethod));
    return info->GetMethod(obj);
}

std::any GetMethodProp(TObject* obj, const std::string& propName)
{
    return GetMethodProp(obj, Need(obj, propName));
}

void SetMethodProp(TObject* obj, PPropInfo info, const std::any& value)
{
    CheckKind(info, info->Kind == tkMethod);
    if (!info->SetMethod) ReadOnly(info);
    info->SetMethod(obj, value);
}

void SetMethodProp(TObject* obj, const std::string& propName, const std::any& value)
{
    SetMethodProp(obj, Need(obj, propName), value);
}

// ---- stored and default -------------------------------------------------------------------

bool IsStoredProp(TObject* obj, PPropInfo info)
{
    return !info->Stored || info->Stored(obj);
}

bool IsStoredProp(TObject* obj, const std::string& propName)
{
    return IsStoredProp(obj, Need(obj, propName));
}

bool IsDefaultPropValue(TObject* obj, PPropInfo info)
{
    if (IsOrdinalKind(info->Kind))
        return info->HasDefault && info->GetOrd && info->GetOrd(obj) == info->Default;
    if (info->Kind == tkFloat) return info->GetFloat && info->GetFloat(obj) == 0.0;
    if (IsStringKind(info->Kind)) return info->GetStr && info->GetStr(obj).empty();
    if (info->Kind == tkVariant) return info->GetVar && VarIsClear(info->GetVar(obj));
    if (info->Kind == tkClass) return info->GetObj && info->GetObj(obj) == nullptr;
    if (info->Kind == tkMethod) return info->GetMethod && !info->GetMethod(obj).has_value();
    return false;
}

// ---- Variants -----------------------------------------------------------------------

namespace {
bool IsDateType(PPropInfo info)
{
    return info->TypeName == "TDateTime" || info->TypeName == "TDate" || info->TypeName == "TTime";
}

bool IsTextVariant(const Variant& v)
{
    TVarType t = VarType(v);
    return t == varString || t == varOleStr;
}

}   // namespace

Variant GetVariantProp(TObject* obj, PPropInfo info)
{
    CheckKind(info, info->Kind == tkVariant && bool(info->GetVar));
    return info->GetVar(obj);
}

Variant GetVariantProp(TObject* obj, const std::string& propName)
{
    return GetVariantProp(obj, Need(obj, propName));
}

void SetVariantProp(TObject* obj, PPropInfo info, const Variant& value)
{
    CheckKind(info, info->Kind == tkVariant);
    if (!info->SetVar) ReadOnly(info);
    info->SetVar(obj, value);
}

void SetVariantProp(TObject* obj, const std::string& propName, const Variant& value)
{
    SetVariantProp(obj, Need(obj, propName), value);
}

Variant GetPropValue(TObject* obj, PPropInfo info, bool preferStrings)
{
    switch (info->Kind) {
    case tkInteger: {
        // Cardinal properties may hold values beyond Integer.
        int64_t v = GetOrdProp(obj, info);
        return v >= INT32_MIN && v <= INT32_MAX ? Variant(int(v)) : Variant::FromInt64(v);
    }
    case tkInt64:
        return Variant::FromInt64(GetOrdProp(obj, info));
    case tkChar:
    case tkWChar: {
        int64_t c = GetOrdProp(obj, info);
        return Variant(c ? std::string(1, char(c)) : std::string());
    }
    case tkEnumeration:
        if (info->TypeInfo == TypeInfoOf<bool>()) return Variant(GetOrdProp(obj, info) != 0);
        if (preferStrings) return Variant(GetEnumProp(obj, info));
        return Variant(int(GetOrdProp(obj, info)));
    case tkSet:
        if (preferStrings) return Variant(GetSetProp(obj, info, false));
        return Variant::FromInt64(GetOrdProp(obj, info));
    case tkFloat: {
        double d = GetFloatProp(obj, info);
        if (IsDateType(info)) return Variant::FromDate(d);
        if (info->TypeName == "Currency") return Variant(Currency::FromDouble(d));
        return Variant(d);
    }
    case tkString:
    case tkLString:
    case tkWString:
        return Variant(GetStrProp(obj, info));
    case tkVariant:
        return GetVariantProp(obj, info);
    case tkClass:
        return Variant::FromInt64(ObjectHandles::HandleOf(GetObjectProp(obj, info)));
    default:
        InvalidType(info);
    }
}

Variant GetPropValue(TObject* obj, const std::string& propName, bool preferStrings)
{
    return GetPropValue(obj, Need(obj, propName), preferStrings);
}

void SetPropValue(TObject* obj, PPropInfo info, const Variant& value)
{
    switch (info->Kind) {
    case tkInteger:
    case tkInt64:
        SetOrdProp(obj, info, value.AsInt64());
        break;
    case tkChar:
    case tkWChar:
        if (IsTextVariant(value)) {
            std::string s = value.AsString();
            SetOrdProp(obj, info, s.empty() ? 0 : uint8_t(s[0]));
        } else {
            SetOrdProp(obj, info, value.AsInteger());
        }
        break;
    case tkEnumeration:
        if (info->TypeInfo == TypeInfoOf<bool>()) {
            SetOrdProp(obj, info, value.AsBoolean() ? 1 : 0);
        } else if (IsTextVariant(value)) {
            SetEnumProp(obj, info, value.AsString());
        } else {
            int v = value.AsInteger();
            if (!info->TypeInfo || v < 0 || v >= int(info->TypeInfo->Names.size()))
                qz_detail::RaiseInvalidPropValue();
            SetOrdProp(obj, info, v);
        }
        break;
    case tkSet:
        if (IsTextVariant(value))
            SetSetProp(obj, info, value.AsString());
        else
            SetOrdProp(obj, info, value.AsInt64());
        break;
    case tkFloat:
        SetFloatProp(obj, info, IsDateType(info) ? value.AsDate() : value.AsDouble());
        break;
    case tkString:
    case tkLString:
    case tkWString:
        SetStrProp(obj, info, value.AsString());
        break;
    case tkVariant:
        SetVariantProp(obj, info, value);
        break;
    case tkClass: {
        int64_t h = value.AsInt64();
        TObject* o = nullptr;
        if (h != 0) {
            o = h > 0 && h <= int64_t(UINT32_MAX) ? ObjectHandles::Resolve(uint32_t(h)) : nullptr;
            if (!o) qz_detail::RaiseInvalidPropValue();   // freed or never an object
        }
        SetObjectProp(obj, info, o);
        break;
    }
    default:
        InvalidType(info);
    }
}

void SetPropValue(TObject* obj, const std::string& propName, const Variant& value)
{
    SetPropValue(obj, Need(obj, propName), value);
}
