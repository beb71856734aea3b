#include "Variants.h"
#include "Exceptions.h"

bool NullStrictConvert = false;

Variant::Variant(const std::string& s) : FType(varString), FRef(std::make_shared<const std::string>(s)) { FV.I = 0; }
Variant::Variant(std::string&& s) : FType(varString), FRef(std::make_shared<const std::string>(std::move(s))) { FV.I = 0; }
Variant::Variant(const char* s) : Variant(std::string(s ? s : "")) {}
