// Automation objects for scripts. No system automation exists here: the
// program registers providers under programmatic ids, CreateOleObject makes
// an object from the provider, and scripts reach its members by name.
#pragma once

#include "Exceptions.h"
#include "Variants.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// An automation object that tells a plain method call from a call whose
// result is used (a method, or a property read, of that name). Objects
// that are only IVarDispatch get Invoke for both.
class IfsAutomationObject : public IVarDispatch {
public:
    virtual Variant Call(const std::string& name, const std::vector<Variant>& args, bool wantsResult)
    {
        return Invoke(name, args);
    }
};

// Raised by automation objects with a result code; scripts see
// "OLE error XXXXXXXX: member".
class EfsAutomationError : public EOleError {
public:
    EfsAutomationError(uint32_t code, const std::string& msg) : EOleError(msg), Code(code) {}
    const char* ClassName() const override { return "EfsAutomationError"; }
    uint32_t Code;
};

namespace fs_iole {

inline constexpr uint32_t DISP_E_UNKNOWNNAME = 0x80020006u;
inline constexpr uint32_t DISP_E_EXCEPTION = 0x80020009u;
inline constexpr uint32_t CO_E_CLASSSTRING = 0x800401F3u;

using TAutomationFactory = std::function<std::shared_ptr<IVarDispatch>()>;

// Registers (or replaces) the provider of a programmatic id; ids compare
// case-insensitively. A null factory removes it.
void RegisterAutomationClass(const std::string& progId, TAutomationFactory factory);
// Makes the object; raises "Invalid class string" for an unknown id.
Variant CreateOleObject(const std::string& progId);

// Late-bound calls as the interpreter makes them; failures raise
// "OLE error XXXXXXXX: member".
Variant DispatchCall(const Variant& object, const std::string& member, const std::vector<Variant>& args,
                     bool wantsResult);
void DispatchPut(const Variant& object, const std::string& member, const std::vector<Variant>& args,
                 const Variant& value);

}  // namespace fs_iole
