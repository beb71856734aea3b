// Published-property type information: enumerate, read and write the
// published properties of a class by name. The report serializer, the object
// inspector and the script bindings go through these routines.
//
// A class publishes its properties with a definer function handed to
// QZ_CLASS_IMPL_PROPS:
//
//   QZ_ENUM_TYPEINFO(TAlign, "alNone", "alTop", "alBottom")
//   static void DefineProps(std::vector<TPropInfo>& p)
//   {
//       p.push_back(PublishInt<TBox>("Left", &TBox::Left, &TBox::SetLeft, 0));
//       p.push_back(PublishEnum<TBox>("Align", &TBox::Align, &TBox::SetAlign, alNone));
//       p.push_back(PublishEvent<TBox>("OnClick", &TBox::OnClick, "TNotifyEvent"));
//   }
//   QZ_CLASS_IMPL_PROPS(TBox, TComponent, DefineProps)
//
// Getters and setters are member functions (or data members, or callables
// taking the object); pass nullptr as setter for a read-only property.
#pragma once

#include "System.h"

#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class Variant;

enum TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass,
    tkMethod, tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface,
    tkInt64, tkDynArray
};

// Type information of an enumeration (value names in order) or of another
// named type.
struct TTypeInfo {
    std::string Name;
    TTypeKind Kind = tkUnknown;
    std::vector<std::string> Names;   // enumeration value names
};
using PTypeInfo = const TTypeInfo*;

PTypeInfo MakeEnumTypeInfo(const char* name, std::initializer_list<const char*> names);

// Declares the value names of an enumeration, at namespace scope after it:
// QZ_ENUM_TYPEINFO(TAlign, "alNone", "alTop", ...). TypeInfoOf<TAlign>() then
// finds them.
#define QZ_ENUM_TYPEINFO(E, ...)                                            \
    inline PTypeInfo QzEnumTypeInfo(E*)                                     \
    {                                                                       \
        static const PTypeInfo ti = MakeEnumTypeInfo(#E, {__VA_ARGS__});    \
        return ti;                                                          \
    }

PTypeInfo QzEnumTypeInfo(bool*);   // Boolean: False, True

template <class E> PTypeInfo TypeInfoOf() { return QzEnumTypeInfo(static_cast<E*>(nullptr)); }

struct TPropInfo;
using PPropInfo = const TPropInfo*;

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = tkUnknown;
    std::string TypeName;                 // "Integer", "Boolean", "TAlign", "TFont"…
    std::vector<std::string> ValueNames;  // enumeration values or set elements, in order
    PTypeInfo TypeInfo = nullptr;         // enumeration, or a set's element type
    TClass PropClass = nullptr;           // for tkClass
    bool HasDefault = false;
    int64_t Default = 0;                  // ordinal default (integers, enums, sets, Boolean)

    // Accessors of the kind's natural type; the setter is empty when read-only.
    // Ordinal kinds (integer, Int64, char, enumeration, Boolean, set as a bit
    // mask) use GetOrd/SetOrd.
    std::function<int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, int64_t)> SetOrd;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<std::string(TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<Variant(TObject*)> GetVar;
    std::function<void(TObject*, const Variant&)> SetVar;
    std::function<TObject*(TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;
    // Event properties: the any holds the delegate (e.g. a TNotifyEvent);
    // an empty any is nil.
    std::function<std::any(TObject*)> GetMethod;
    std::function<void(TObject*, const std::any&)> SetMethod;

    // Whether the property is stored for this instance (empty: always).
    std::function<bool(TObject*)> Stored;

    bool IsWritable() const;
    // Chaining helpers for definers.
    TPropInfo& StoredBy(std::function<bool(TObject*)> fn) { Stored = std::move(fn); return *this; }
    TPropInfo& NotStored() { Stored = [](TObject*) { return false; }; return *this; }
};

// ---- look-up ------------------------------------------------------------------

// The published property named (case-insensitive), inherited ones included;
// null when there is none.
PPropInfo GetPropInfo(TClass c, const std::string& propName);
PPropInfo GetPropInfo(const TObject* obj, const std::string& propName);
// Every published property, the parent's first, in declaration order.
std::vector<PPropInfo> GetPropList(TClass c);
std::vector<PPropInfo> GetPropList(const TObject* obj);
bool IsPublishedProp(const TObject* obj, const std::string& propName);
bool IsPublishedProp(TClass c, const std::string& propName);
TTypeKind PropType(const TObject* obj, const std::string& propName);   // raises when unknown
bool PropIsType(const TObject* obj, const std::string& propName, TTypeKind kind);
bool IsWritableProp(PPropInfo info);

// ---- enumerations and sets ------------------------------------------------------

// Name of an enumeration value ("" when out of range).
std::string GetEnumName(PTypeInfo typeInfo, int value);
// Value of an enumeration name, case-insensitive; -1 when unknown.
int GetEnumValue(PTypeInfo typeInfo, const std::string& name);
// "[fsBold,fsItalic]" (brackets optional) and back; an unknown element raises
// EPropertyConvertError "Invalid property element: %s".
std::string SetToString(PPropInfo info, int64_t value, bool brackets = true);
std::string SetToString(PTypeInfo elementType, int64_t value, bool brackets = true);
int64_t StringToSet(PPropInfo info, const std::string& value);
int64_t StringToSet(PTypeInfo elementType, const std::string& value);

// ---- reading and writing ----------------------------------------------------------
// Each routine takes the property by name (raising EPropertyError "Property %s
// does not exist" when unknown) or by its info. A value of the wrong kind
// raises EPropertyError "Invalid property type: %s"; writing a read-only
// property raises EPropertyError "Property %s is read-only".

int64_t GetOrdProp(TObject* obj, PPropInfo info);
int64_t GetOrdProp(TObject* obj, const std::string& propName);
void SetOrdProp(TObject* obj, PPropInfo info, int64_t value);
void SetOrdProp(TObject* obj, const std::string& propName, int64_t value);
int64_t GetInt64Prop(TObject* obj, const std::string& propName);
void SetInt64Prop(TObject* obj, const std::string& propName, int64_t value);

std::string GetEnumProp(TObject* obj, PPropInfo info);
std::string GetEnumProp(TObject* obj, const std::string& propName);
void SetEnumProp(TObject* obj, PPropInfo info, const std::string& value);
void SetEnumProp(TObject* obj, const std::string& propName, const std::string& value);

std::string GetSetProp(TObject* obj, PPropInfo info, bool brackets = true);
std::string GetSetProp(TObject* obj, const std::string& propName, bool brackets = true);
void SetSetProp(TObject* obj, PPropInfo info, const std::string& value);
void SetSetProp(TObject* obj, const std::string& propName, const std::string& value);

std::string GetStrProp(TObject* obj, PPropInfo info);
std::string GetStrProp(TObject* obj, const std::string& propName);
void SetStrProp(TObject* obj, PPropInfo info, const std::string& value);
void SetStrProp(TObject* obj, const std::string& propName, const std::string& value);

double GetFloatProp(TObject* obj, PPropInfo info);
double GetFloatProp(TObject* obj, const std::string& propName);
void SetFloatProp(TObject* obj, PPropInfo info, double value);
void SetFloatProp(TObject* obj, const std::string& propName, double value);

Variant GetVariantProp(TObject* obj, PPropInfo info);
Variant GetVariantProp(TObject* obj, const std::string& propName);
void SetVariantProp(TObject* obj, PPropInfo info, const Variant& value);
void SetVariantProp(TObject* obj, const std::string& propName, const Variant& value);

// minClass: null when the object is not of that class.
TObject* GetObjectProp(TObject* obj, PPropInfo info, TClass minClass = nullptr);
TObject* GetObjectProp(TObject* obj, const std::string& propName, TClass minClass = nullptr);
// Raises EPropertyError "Invalid property value" when value is not of the
// property's class.
void SetObjectProp(TObject* obj, PPropInfo info, TObject* value);
void SetObjectProp(TObject* obj, const std::string& propName, TObject* value);

std::any GetMethodProp(TObject* obj, PPropInfo info);
std::any GetMethodProp(TObject* obj, const std::string& propName);
void SetMethodProp(TObject* obj, PPropInfo info, const std::any& value);
void SetMethodProp(TObject* obj, const std::string& propName, const std::any& value);

// Any property as a Variant: integers and floats as numbers, Boolean as
// Boolean, enumerations and sets as their names when preferStrings (else as
// the ordinal), char and strings as text, objects as their object handle.
// Events cannot be read this way (EPropertyError).
Variant GetPropValue(TObject* obj, PPropInfo info, bool preferStrings = true);
Variant GetPropValue(TObject* obj, const std::string& propName, bool preferStrings = true);
// The inverse: accepts names or ordinals for enumerations and sets.
void SetPropValue(TObject* obj, PPropInfo info, const Variant& value);
void SetPropValue(TObject* obj, const std::string& propName, const Variant& value);

// Whether the property is to be written for obj, and whether it holds its
// default value (ordinals: the declared default, none means never; floats 0;
// strings empty; Variants unassigned; objects and events nil).
bool IsStoredProp(TObject* obj, PPropInfo info);
bool IsStoredProp(TObject* obj, const std::string& propName);
bool IsDefaultPropValue(TObject* obj, PPropInfo info);

// ---- builders for definers -------------------------------------------------------

namespace qz_detail {
[[noreturn]] void RaiseInvalidPropValue();
template <class C, class G> auto CallGet(const G& get, TObject* o)
{
    if constexpr (std::is_member_pointer_v<G>)
        return std::invoke(get, static_cast<C*>(o));
    else
        return get(static_cast<C*>(o));
}
template <class C, class S, class V> void CallSet(const S& set, TObject* o, V&& v)
{
    if constexpr (std::is_member_object_pointer_v<S>)
        static_cast<C*>(o)->*set = std::forward<V>(v);
    else if constexpr (std::is_member_function_pointer_v<S>)
        (static_cast<C*>(o)->*set)(std::forward<V>(v));
    else
        set(static_cast<C*>(o), std::forward<V>(v));
}
template <class S> constexpr bool IsNoSetter = std::is_same_v<std::decay_t<S>, std::nullptr_t>;
template <class C, class G> using GetResult =
    std::decay_t<decltype(CallGet<C, G>(std::declval<const G&>(), nullptr))>;

template <class C, class T, class G, class S>
void OrdAccessors(TPropInfo& p, G get, S set)
{
    p.GetOrd = [get](TObject* o) -> int64_t {
        auto v = CallGet<C, G>(get, o);
        if constexpr (requires { v.ToInt(); })
            return int64_t(v.ToInt());
        else
            return int64_t(v);
    };
    if constexpr (!IsNoSetter<S>)
        p.SetOrd = [set](TObject* o, int64_t v) {
            if constexpr (requires { T::FromInt(uint64_t(0)); })
                CallSet<C>(set, o, T::FromInt(uint64_t(v)));
            else
                CallSet<C>(set, o, static_cast<T>(v));
        };
}
template <class T> struct SetElement;
template <class E, size_t N> struct SetElement<TSet<E, N>> { using type = E; };
}

// A Stored test from a member function: StoredWhen(&TBox::IsLeftStored).
template <class C> std::function<bool(TObject*)> StoredWhen(bool (C::*fn)() const)
{
    return [fn](TObject* o) { return (static_cast<C*>(o)->*fn)(); };
}

template <class C, class G, class S = std::nullptr_t>
TPropInfo PublishInt(const char* name, G get, S set = nullptr,
                     std::optional<int64_t> def = std::nullopt)
{
    using T = qz_detail::GetResult<C, G>;
    TPropInfo p;
    p.Name = name;
    p.Kind = sizeof(T) > 4 ? tkInt64 : tkInteger;
    p.TypeName = sizeof(T) > 4 ? "Int64" : "Integer";
    p.HasDefault = def.has_value();
    p.Default = def.value_or(0);
    qz_detail::OrdAccessors<C, T>(p, get, set);
    return p;
}

template <class C, class G, class S = std::nullptr_t>
TPropInfo PublishChar(const char* name, G get, S set = nullptr,
                      std::optional<char> def = std::nullopt)
{
    TPropInfo p;
    p.Name = name;
    p.Kind = tkChar;
    p.TypeName = "Char";
    p.HasDefault = def.has_value();
    p.Default = uint8_t(def.value_or(0));
    p.GetOrd = [get](TObject* o) -> int64_t { return uint8_t(qz_detail::CallGet<C, G>(get, o)); };
    if constexpr (!qz_detail::IsNoSetter<S>)
        p.SetOrd = [set](TObject* o, int64_t v) { qz_detail::CallSet<C>(set, o, char(v)); };
    return p;
}

template <class C, class G, class S = std::nullptr_t>
TPropInfo PublishBool(const char* name, G get, S set = nullptr,
                      std::optional<bool> def = std::nullopt)
{
    TPropInfo p;
    p.Name = name;
    p.Kind = tkEnumeration;
    p.TypeName = "Boolean";
    p.TypeInfo = TypeInfoOf<bool>();
    p.ValueNames = p.TypeInfo->Names;
    p.HasDefault = def.has_value();
    p.Default = def.value_or(false) ? 1 : 0;
    p.GetOrd = [get](TObject* o) -> int64_t { return qz_detail::CallGet<C, G>(get, o) ? 1 : 0; };
    if constexpr (!qz_detail::IsNoSetter<S>)
        p.SetOrd = [set](TObject* o, int64_t v) { qz_detail::CallSet<C>(set, o, v != 0); };
    return p;
}

// An enumeration declared with QZ_ENUM_TYPEINFO.
template <class C, class G, class S = std::nullptr_t,
          class E = qz_detail::GetResult<C, G>>
TPropInfo PublishEnum(const char* name, G get, S set = nullptr,
                      std::type_identity_t<std::optional<E>> def = std::nullopt)
{
    static_assert(std::is_enum_v<E>, "PublishEnum needs a getter returning an enumeration");
    TPropInfo p;
    p.Name = name;
    p.Kind = tkEnumeration;
    p.TypeInfo = TypeInfoOf<E>();
    p.TypeName = p.TypeInfo->Name;
    p.ValueNames = p.TypeInfo->Names;
    p.HasDefault = def.has_value();
    p.Default = def ? int64_t(*def) : 0;
    qz_detail::OrdAccessors<C, E>(p, get, set);
    return p;
}

// A TSet<E> of an enumeration declared with QZ_ENUM_TYPEINFO.
template <class C, class G, class S = std::nullptr_t,
          class T = qz_detail::GetResult<C, G>>
TPropInfo PublishSet(const char* name, G get, S set = nullptr,
                     std::type_identity_t<std::optional<T>> def = std::nullopt,
                     const char* typeName = nullptr)
{
    using E = typename qz_detail::SetElement<T>::type;
    TPropInfo p;
    p.Name = name;
    p.Kind = tkSet;
    p.TypeInfo = TypeInfoOf<E>();
    p.TypeName = typeName ? typeName : "set of " + p.TypeInfo->Name;
    p.ValueNames = p.TypeInfo->Names;
    p.HasDefault = def.has_value();
    p.Default = def ? int64_t(def->ToInt()) : 0;
    qz_detail::OrdAccessors<C, T>(p, get, set);
    return p;
}

// typeName: "Double", "TDateTime", "Currency"… (a Currency getter is read
// and written through its double value).
template <class C, class G, class S = std::nullptr_t>
TPropInfo PublishFloat(const char* name, G get, S set = nullptr, const char* typeName = "Double")
{
    using T = qz_detail::GetResult<C, G>;
    TPropInfo p;
    p.Name = name;
    p.Kind = tkFloat;
    p.TypeName = typeName;
    p.GetFloat = [get](TObject* o) -> double {
        if constexpr (std::is_same_v<T, Currency>)
            return qz_detail::CallGet<C, G>(get, o).ToDouble();
        else
            return double(qz_detail::CallGet<C, G>(get, o));
    };
    if constexpr (!qz_detail::IsNoSetter<S>)
        p.SetFloat = [set](TObject* o, double v) {
            if constexpr (std::is_same_v<T, Currency>)
                qz_detail::CallSet<C>(set, o, Currency::FromDouble(v));
            else
                qz_detail::CallSet<C>(set, o, static_cast<T>(v));
        };
    return p;
}

template <class C, class G, class S = std::nullptr_t>
TPropInfo PublishString(const char* name, G get, S set = nullptr, const char* typeName = "String")
{
    TPropInfo p;
    p.Name = name;
    p.Kind = tkLString;
    p.TypeName = typeName;
    p.GetStr = [get](TObject* o) -> std::string { return qz_detail::CallGet<C, G>(get, o); };
    if constexpr (!qz_detail::IsNoSetter<S>)
        p.SetStr = [set](TObject* o, const std::string& v) { qz_detail::CallSet<C>(set, o, v); };
    return p;
}

// V is Variant; a template parameter so this header needs only its declaration.
template <class C, class G, class S = std::nullptr_t, class V = Variant>
TPropInfo PublishVariant(const char* name, G get, S set = nullptr)
{
    TPropInfo p;
    p.Name = name;
    p.Kind = tkVariant;
    p.TypeName = "Variant";
    p.GetVar = [get](TObject* o) -> V { return qz_detail::CallGet<C, G>(get, o); };
    if constexpr (!qz_detail::IsNoSetter<S>)
        p.SetVar = [set](TObject* o, const V& v) { qz_detail::CallSet<C>(set, o, v); };
    return p;
}

// An object property; its class comes from the getter's pointer type.
template <class C, class G, class S = std::nullptr_t>
TPropInfo PublishObject(const char* name, G get, S set = nullptr)
{
    using P = qz_detail::GetResult<C, G>;
    using T = std::remove_cv_t<std::remove_pointer_t<P>>;
    TPropInfo p;
    p.Name = name;
    p.Kind = tkClass;
    p.PropClass = T::StaticClass();
    p.TypeName = p.PropClass->Name;
    p.GetObj = [get](TObject* o) -> TObject* {
        return const_cast<T*>(qz_detail::CallGet<C, G>(get, o));
    };
    if constexpr (!qz_detail::IsNoSetter<S>)
        p.SetObj = [set](TObject* o, TObject* v) { qz_detail::CallSet<C>(set, o, static_cast<T*>(v)); };
    return p;
}

// An event: field is a pointer to the delegate member (std::function).
template <class C, class D>
TPropInfo PublishEvent(const char* name, D C::*field, const char* typeName = "TNotifyEvent")
{
    TPropInfo p;
    p.Name = name;
    p.Kind = tkMethod;
    p.TypeName = typeName;
    p.GetMethod = [field](TObject* o) -> std::any {
        const D& d = static_cast<C*>(o)->*field;
        if (!d) return std::any();
        return std::any(d);
    };
    p.SetMethod = [field](TObject* o, const std::any& v) {
        D& d = static_cast<C*>(o)->*field;
        if (!v.has_value()) {
            d = nullptr;
            return;
        }
        const D* nd = std::any_cast<D>(&v);
        if (!nd) qz_detail::RaiseInvalidPropValue();
        d = *nd;
    };
    return p;
}
