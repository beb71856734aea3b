// Published-property type information: enumerate, read and write published
// properties of a class by name. Filled in by the object-model work; this is
// the shape every user relies on.
#pragma once

#include "System.h"
#include <functional>
#include <string>
#include <vector>

class Variant;

enum TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass,
    tkMethod, tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface,
    tkInt64, tkDynArray
};

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = tkUnknown;
    std::string TypeName;                 // "Integer", "Boolean", "TAlign", "TFont"…
    std::vector<std::string> ValueNames;  // enumeration values or set elements, in order
    TClass PropClass = nullptr;           // for tkClass
    bool HasDefault = false;
    int64_t Default = 0;                  // ordinal default (integers, enums, sets, Boolean)
    // Accessors work on the instance; values cross as Variant. Writable when Set is set.
    std::function<Variant(TObject*)> Get;
    std::function<void(TObject*, const Variant&)> Set;
    // Whether the property is stored for this instance (null: always).
    std::function<bool(TObject*)> Stored;
};
