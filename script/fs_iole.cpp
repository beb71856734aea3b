#include "fs_iole.h"

#include "fs_common.h"
#include "fs_iinterpreter.h"
#include "fs_itools.h"

#include <cstdio>
#include <map>

namespace fs_iole {

namespace {
std::map<std::string, TAutomationFactory>& Registry()
{
    static std::map<std::string, TAutomationFactory> r;
    return r;
}

[[noreturn]] void OleError(uint32_t code, const std::string& member)
{
    char buf[16];
    snprintf(buf, sizeof buf, "%08X", code);
    throw Exception(std::string("OLE error ") + buf + ": " + member);
}

constexpr size_t MaxArgs = 64;

// Runs a call into an automation object, turning its failures into script
// errors that name the member; an abort passes through untouched.
template <class F>
decltype(auto) Guarded(const std::string& member, F&& body)
{
    try {
        return body();
    } catch (const EfsAutomationError& e) {
        OleError(e.Code, member);
    } catch (const EAbort&) {
        throw;
    } catch (const std::exception&) {
        OleError(DISP_E_EXCEPTION, member);
    }
}
}  // namespace

void RegisterAutomationClass(const std::string& progId, TAutomationFactory factory)
{
    std::string key = fs_common::Upper(progId);
    if (factory) Registry()[key] = std::move(factory);
    else Registry().erase(key);
}

Variant CreateOleObject(const std::string& progId)
{
    auto it = Registry().find(fs_common::Upper(progId));
    if (it == Registry().end()) OleError(CO_E_CLASSSTRING, progId);
    std::shared_ptr<IVarDispatch> obj = it->second();
    if (!obj) OleError(CO_E_CLASSSTRING, progId);
    return Variant::FromDispatch(obj);
}

Variant DispatchCall(const Variant& object, const std::string& member, const std::vector<Variant>& args,
                     bool wantsResult)
{
    if (args.size() > MaxArgs) throw Exception(fs_itools::STooManyParams);
    std::shared_ptr<IVarDispatch> d = object.VType() == varDispatch ? object.AsDispatch() : nullptr;
    if (!d) throw Exception(fs_itools::SNilObject + member);
    return Guarded(member, [&]() -> Variant {
        if (auto a = std::dynamic_pointer_cast<IfsAutomationObject>(d)) return a->Call(member, args, wantsResult);
        return d->Invoke(member, args);
    });
}

void DispatchPut(const Variant& object, const std::string& member, const std::vector<Variant>& args,
                 const Variant& value)
{
    if (args.size() + 1 > MaxArgs) throw Exception(fs_itools::STooManyParams);
    std::shared_ptr<IVarDispatch> d = object.VType() == varDispatch ? object.AsDispatch() : nullptr;
    if (!d) throw Exception(fs_itools::SNilObject + member);
    Guarded(member, [&] { d->SetProperty(member, args, value); });
}

}  // namespace fs_iole

// The interpreter's automation member.
Variant TfsOLEHelper::GetValue()
{
    std::vector<Variant> args;
    for (int i = 0; i < Count(); ++i) args.push_back(Params(i)->Value);
    return fs_iole::DispatchCall(ParentValue, Name, args, WantsResult);
}

void TfsOLEHelper::SetValue(const Variant& value)
{
    std::vector<Variant> args;
    for (int i = 0; i < Count(); ++i) args.push_back(Params(i)->Value);
    fs_iole::DispatchPut(ParentValue, Name, args, value);
}
