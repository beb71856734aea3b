// Helpers for the published-property tables of the report model (private
// to the report library's sources).
#pragma once

#include "TypInfo.h"
#include "frxClass.h"

#include <optional>

namespace frxPublish {

template <class C, class G, class S>
TPropInfo Color(const char* name, G get, S set, std::optional<int64_t> def = std::nullopt)
{
    TPropInfo p = PublishInt<C>(name, get, set, def);
    p.TypeName = "TColor";
    return p;
}

// A platform enumeration held as an int field.
template <class C>
TPropInfo PlatformEnum(const char* name, PTypeInfo type, int C::*field, int def)
{
    TPropInfo p;
    p.Name = name;
    p.Kind = tkEnumeration;
    p.TypeInfo = type;
    p.TypeName = type->Name;
    p.ValueNames = type->Names;
    p.HasDefault = true;
    p.Default = def;
    p.GetOrd = [field](TObject* o) -> int64_t { return static_cast<C*>(o)->*field; };
    p.SetOrd = [field](TObject* o, int64_t v) { static_cast<C*>(o)->*field = int(v); };
    return p;
}

// The name of a script routine.
template <class C, class F>
TPropInfo ScriptEvent(const char* name, F field, const char* typeName = "TfrxNotifyEvent")
{
    return PublishString<C>(name, field, field, typeName);
}

template <class C, class G, class S>
TPropInfo FloatStoredUnless(const char* name, G get, S set, double def)
{
    TPropInfo p = PublishFloat<C>(name, get, set, "Extended");
    p.StoredBy([get, def](TObject* o) { return qz_detail::CallGet<C, G>(get, o) != def; });
    return p;
}

}  // namespace frxPublish
