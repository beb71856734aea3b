#include "fs_iinterpreter.h"

#include "Exceptions.h"
#include "SpareStack.h"
#include "StringLists.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "fs_common.h"
#include "fs_iilparser.h"
#include "fs_istatements.h"
#include "fs_itools.h"

#include <algorithm>
#include <any>
#include <map>
#include <typeinfo>
#include <unordered_set>

using namespace fs_common;
using namespace fs_itools;

QZ_CLASS_IMPL(TfsCustomVariable, TObject)
QZ_CLASS_IMPL(TfsVariable, TfsCustomVariable)
QZ_CLASS_IMPL(TfsStringVariable, TfsVariable)
QZ_CLASS_IMPL(TfsTypeVariable, TfsCustomVariable)
QZ_CLASS_IMPL(TfsParamItem, TfsCustomVariable)
QZ_CLASS_IMPL(TfsProcVariable, TfsCustomVariable)
QZ_CLASS_IMPL(TfsCustomExpression, TfsCustomVariable)
QZ_CLASS_IMPL(TfsCustomHelper, TfsCustomVariable)
QZ_CLASS_IMPL(TfsArrayHelper, TfsCustomHelper)
QZ_CLASS_IMPL(TfsStringHelper, TfsCustomHelper)
QZ_CLASS_IMPL(TfsPropertyHelper, TfsCustomHelper)
QZ_CLASS_IMPL(TfsMethodHelper, TfsCustomHelper)
QZ_CLASS_IMPL(TfsEventHelper, TfsCustomHelper)
QZ_CLASS_IMPL(TfsOLEHelper, TfsCustomHelper)
QZ_CLASS_IMPL(TfsClassVariable, TfsCustomVariable)
QZ_CLASS_IMPL(TfsCustomEvent, TObject)
QZ_CLASS_IMPL(TfsNotifyEvent, TfsCustomEvent)
QZ_CLASS_IMPL(TfsScript, TComponent)

namespace {

// Values stored into typed items take the item's type, so that a Double
// variable holds a float even when an integer was assigned to it.
Variant ConvertToKind(TfsScriptType kind, const Variant& v)
{
    TVarType t = v.VType();
    if (t == varNull || t == varEmpty || (t & varArray)) return v;
    switch (kind) {
    case stInteger:
        if (t == varString || t == varOleStr || t == varDouble || t == varSingle || t == varCurrency ||
            t == varDate || t == varBoolean)
            return Variant(v.AsInteger());
        return v;
    case stFloat:
        if (t == varDouble || t == varCurrency || t == varDate) return v;
        if (t == varDispatch || t == varUnknown) return v;
        return Variant(v.AsDouble());
    case stBoolean:
        if (t == varBoolean || t == varDispatch || t == varUnknown) return v;
        return Variant(v.AsBoolean());
    default:
        return v;
    }
}

struct TfsClassRef : IVarInterface {
    explicit TfsClassRef(TClass c) : C(c) {}
    TClass C;
};

TfsScript* GGlobalScript = nullptr;
bool GGlobalScriptFreed = false;
TfsEventList* GEventList = nullptr;

}  // namespace

// ---- helpers of values ----------------------------------------------------------------

namespace fs_iinterpreter {

namespace {
std::map<const void*, uint32_t>& KnownObjects()
{
    static std::map<const void*, uint32_t> known;
    return known;
}
}  // namespace

Variant ObjectToVar(TObject* obj)
{
    if (!obj) return Variant(0);
    uint32_t h = ObjectHandles::HandleOf(obj);
    KnownObjects()[obj] = h;
    return Variant(int(h));
}

int64_t HandleOfVar(const Variant& value)
{
    TVarType t = value.VType();
    if (t == varInteger) return int64_t(uint32_t(value.RawInt()));
    if (!VarIsOrdinal(value) || t == varBoolean) return -1;
    return value.AsInt64();
}

Variant ObjectPtrToVar(const void* ptr)
{
    if (!ptr) return Variant(0);
    auto it = KnownObjects().find(ptr);
    if (it != KnownObjects().end()) return Variant(int(it->second));
    return ObjectToVar(static_cast<TObject*>(const_cast<void*>(ptr)));
}

namespace {
// Objects a script has freed whose deletion waits for the window system's
// loop (a form freed from inside one of its own events): to scripts they are
// gone already. Handles are never reused, so an entry never names another object.
std::unordered_set<uint32_t>& Retired()
{
    static std::unordered_set<uint32_t> s;
    return s;
}
TObject* ResolveLive(int64_t h)
{
    if (h <= 0 || h > 0xFFFFFFFFll || Retired().count(uint32_t(h))) return nullptr;
    return ObjectHandles::Resolve(uint32_t(h));
}
TfsDeferFreeHook& DeferFreeHook()
{
    static TfsDeferFreeHook hook;
    return hook;
}
int GEventDepth = 0;
}  // namespace

void SetDeferFreeHook(TfsDeferFreeHook hook) { DeferFreeHook() = std::move(hook); }

namespace {
std::unordered_set<uint32_t>& Protected()
{
    static std::unordered_set<uint32_t> s;
    return s;
}
}  // namespace

void ProtectObject(TObject* obj)
{
    if (obj) Protected().insert(ObjectHandles::HandleOf(obj));
}

namespace {
// Objects that scripts made with a constructor. Other objects that are no
// components belong to the object that handed them out (a bitmap's canvas,
// a control's font, a list box's items): freeing one would leave its owner
// pointing at freed memory.
std::unordered_set<uint32_t>& Created()
{
    static std::unordered_set<uint32_t> s;
    return s;
}
}  // namespace

void MarkScriptCreated(const Variant& value)
{
    int64_t h = HandleOfVar(value);
    if (h > 0 && h <= 0xFFFFFFFFll) Created().insert(uint32_t(h));
}

void ScriptFreeObject(TObject* obj)
{
    if (!obj) return;
    uint32_t handle = ObjectHandles::HandleOf(obj);
    if (Protected().count(handle) || (!DynamicCast<TComponent>(obj) && !Created().count(handle)))
        throw Exception("Cannot free " + obj->ClassName());
    Created().erase(handle);
    // The adapters of the object and of everything it owns go first: they
    // would point at freed controls otherwise.
    std::function<void(TObject*)> drop = [&](TObject* o) {
        GlobalEventList().RemoveInstance(o);
        if (auto* c = DynamicCast<TComponent>(o))
            for (int i = 0; i < c->ComponentCount(); ++i) drop(c->Components(i));
    };
    drop(obj);
    if (GEventDepth > 0 && DeferFreeHook() && DeferFreeHook()(obj)) {
        Retired().insert(ObjectHandles::HandleOf(obj));
        return;
    }
    FreeObject(obj);
}

int EventDepth() { return GEventDepth; }

void RemoveRegistration(TObject* registrar)
{
    if (!registrar) return;
    if (TfsScript* g = GetGlobalScript()) g->RemoveItems(registrar);
    delete registrar;
}

TfsClassVariable* AddPlatformClass(TfsScript* script, TClass classType)
{
    TfsClassVariable* ancestor = classType->Parent ? script->FindClassByType(classType->Parent) : nullptr;
    return script->AddClass(classType, ancestor ? ancestor->Name : std::string());
}

TObject* VarToObject(const Variant& value)
{
    TVarType t = value.VType();
    if (t == varNull || t == varEmpty) return nullptr;
    int64_t h = HandleOfVar(value);
    if (h < 0) throw Exception(std::string(SInvalidObject) + VarToStr(value));
    if (h == 0) return nullptr;
    TObject* obj = ResolveLive(h);
    if (!obj) throw Exception(std::string(SInvalidObject) + std::to_string(h));
    return obj;
}

TObject* CheckedInstance(const Variant& value, TClass expected, const std::string& member)
{
    TVarType t = value.VType();
    if (t == varNull || t == varEmpty) throw Exception(SNilObject + member);
    int64_t h = HandleOfVar(value);
    if (h < 0) throw Exception(SInvalidObject + member);
    if (h == 0) throw Exception(SNilObject + member);
    TObject* obj = ResolveLive(h);
    if (!obj) throw Exception(SInvalidObject + member);
    if (expected && !obj->InheritsFrom(expected))
        throw Exception("Object of class " + obj->ClassName() + " is not a " + expected->Name + ": " + member);
    return obj;
}

Variant ClassRefToVar(TClass c) { return Variant::FromUnknown(std::make_shared<TfsClassRef>(c)); }

TClass VarToClassRef(const Variant& value)
{
    if (value.VType() != varUnknown) return nullptr;
    auto ref = std::dynamic_pointer_cast<TfsClassRef>(value.AsUnknown());
    return ref ? ref->C : nullptr;
}

Variant ValueOfKind(TfsScriptType kind, const Variant& value)
{
    if (kind == stString || kind == stChar) {
        TVarType t = value.VType();
        if (t == varString || t == varOleStr || t == varNull || t == varEmpty || (t & varArray)) return value;
        return Variant(VarToStr(value));
    }
    return ConvertToKind(kind, value);
}

std::string KindText(TfsScriptType kind, const std::string& typeName)
{
    switch (kind) {
    case stInteger: return "Integer";
    case stBoolean: return "Boolean";
    case stFloat: return "Extended";
    case stChar: return "Char";
    case stString: return "String";
    case stClass: return "Class " + typeName;
    case stArray: return "Array";
    case stEnum: return typeName;
    default: return "Variant";
    }
}

TfsEventList& GlobalEventList()
{
    if (!GEventList) GEventList = new TfsEventList;
    return *GEventList;
}

TfsScript* GetGlobalScript()
{
    if (GGlobalScript || GGlobalScriptFreed) return GGlobalScript;
    auto* s = new TfsScript(nullptr);
    GGlobalScript = s;
    for (const char* n : {"Byte", "Word", "Integer", "Longint", "Cardinal", "TColor"}) s->AddType(n, stInteger);
    s->AddType("Boolean", stBoolean);
    for (const char* n : {"Real", "Single", "Double", "Extended", "Currency", "TDate", "TTime", "TDateTime"})
        s->AddType(n, stFloat);
    s->AddType("Char", stChar);
    s->AddType("String", stString);
    s->AddType("Variant", stVariant);
    s->AddType("Pointer", stVariant);
    s->AddType("Array", stArray);
    s->AddType("Constructor", stConstructor);
    s->AddConst("True", "Boolean", Variant(true));
    s->AddConst("False", "Boolean", Variant(false));
    s->AddConst("nil", "Variant", Variant(0));
    s->AddConst("Null", "Variant", Null());
    return s;
}

void FreeGlobalScript()
{
    delete GEventList;
    GEventList = nullptr;
    delete GGlobalScript;
    GGlobalScript = nullptr;
    GGlobalScriptFreed = true;
}

void RestoreGlobalScript() { GGlobalScriptFreed = false; }

}  // namespace fs_iinterpreter

using namespace fs_iinterpreter;

// ---- TfsCustomVariable -------------------------------------------------------------------

TfsCustomVariable::TfsCustomVariable(const std::string& name, TfsScriptType kind, const std::string& typeName)
    : Name(name), Kind(kind), TypeName(typeName), Value(Null())
{
}

TfsCustomVariable::~TfsCustomVariable()
{
    if (FOwnsParams)
        for (TfsParamItem* p : FParams) delete p;
}

Variant TfsCustomVariable::GetValue() { return Value; }

void TfsCustomVariable::SetValue(const Variant& value) { Value = value; }

void TfsCustomVariable::AddParam(TfsParamItem* param) { FParams.push_back(param); }

int TfsCustomVariable::RequiredCount() const
{
    int n = 0;
    for (TfsParamItem* p : FParams)
        if (!p->IsOptional) ++n;
    return n;
}

std::string TfsCustomVariable::GetFullTypeName() const { return KindText(Kind, TypeName); }

void TfsVariable::SetValue(const Variant& value)
{
    if (Kind == stInteger && value.VType() == varInteger) Value = value;
    else Value = ConvertToKind(Kind, value);
}

void TfsStringVariable::SetValue(const Variant& value)
{
    TVarType t = value.VType();
    if (t == varString || t == varOleStr) Str = value.RawString();
    else Str = VarToStr(value);
}

TfsParamItem::TfsParamItem(const std::string& name, TfsScriptType kind, const std::string& typeName,
                           bool isOptional, bool isVarParam)
    : TfsCustomVariable(name, kind, typeName), DefValue(Null()), IsOptional(isOptional), IsVarParam(isVarParam)
{
}

void TfsParamItem::SetValue(const Variant& value)
{
    if (Kind == stInteger && value.VType() == varInteger) Value = value;
    else Value = ValueOfKind(Kind, value);
}

// ---- routines ------------------------------------------------------------------------------

TfsProcVariable::TfsProcVariable(const std::string& name, TfsScriptType kind, const std::string& typeName,
                                 TfsScript* parent, bool isFunction)
    : TfsCustomVariable(name, kind, typeName), IsFunction(isFunction), LocalScript(new TfsScript(nullptr))
{
    LocalScript->Parent = parent;
    FOwnsParams = false;   // the local script owns the parameters
}

TfsProcVariable::~TfsProcVariable() { delete LocalScript; }

void TfsProcVariable::CollectLocals()
{
    {
        if (!FLocals.empty()) FFormerLocals.push_back(std::move(FLocals));
        FLocals.clear();
        for (int i = 0; i < LocalScript->Count(); ++i) {
            TfsCustomVariable* v = LocalScript->Items(i);
            if (auto* sv = dynamic_cast<TfsStringVariable*>(v)) FLocals.push_back({v, sv});
            else if (dynamic_cast<TfsVariable*>(v) || dynamic_cast<TfsParamItem*>(v)) FLocals.push_back({v, nullptr});
        }
        FLocalsCount = LocalScript->Count();
    }
}

Variant TfsProcVariable::GetValue()
{
    // Recursion goes as deep as the stack allows: when this thread's stack
    // runs low, the call continues on its spare stack; when that is used up
    // as well, the script stops with an error instead of overflowing.
    Run();
    return Result();
}

void TfsProcVariable::CallOnSpareStack()
{
    SpareStack::Run([&] { Call(); }, FormatMsg(fs_itools::SRecursionTooDeep, Name));
}

void TfsProcVariable::Call()
{
    const bool wasRunning = IsRunning;
    IsRunning = true;
    if (FResultIsPlain < 0 && LinkedItem)
        FResultIsPlain = dynamic_cast<TfsVariable*>(LinkedItem) && !dynamic_cast<TfsStringVariable*>(LinkedItem);
    TfsScript* ls = LocalScript;
    TfsScript* main = ls->Parent;
    while (main && !main->IsMainProgram) main = main->Parent;
    TfsScript* prevRunning = main ? main->RunningScript : nullptr;
    if (main) main->RunningScript = ls;
    // The flags are put back however the body ends; a guard rather than a
    // catch and rethrow, so that an error leaving a deep recursion unwinds
    // once instead of being raised again at every level. A termination
    // stays set while the routine is still running further out (a call of
    // itself ended by it): every level of the recursion stops, not only the
    // innermost one.
    struct Restore {
        TfsProcVariable* Proc;
        TfsScript* Local;
        TfsScript* Main;
        TfsScript* PrevRunning;
        bool WasRunning;
        bool WasLocalRunning;
        void Reset() const
        {
            Local->BreakRequested = Local->ContinueRequested = Local->ExitRequested = false;
            if (!WasRunning) Local->Terminated = false;
        }
        ~Restore()
        {
            Reset();
            Local->IsRunning = WasLocalRunning;
            if (Main) Main->RunningScript = PrevRunning;
            Proc->IsRunning = WasRunning;
        }
    };
    const Restore restore{this, ls, main, prevRunning, wasRunning, ls->IsRunning};
    restore.Reset();
    if (ls->Terminated) return;
    ls->IsRunning = true;
    // A body that is a plain list of statements runs without the virtual call.
    TfsStatement* body = ls->MainProgram();
    if (body != FBody) {
        FBody = body;
        FBodyIsList = body && typeid(*body) == typeid(TfsStatement);
    }
    if (FBodyIsList) body->ExecuteItems();
    else if (body) body->Execute();
}

// ---- helpers -------------------------------------------------------------------------------

Variant TfsArrayHelper::GetValue()
{
    const Variant& arr = ParentValue;
    int dims = VarArrayDimCount(arr);
    if (dims == 0) throw Exception(SArrayRequired);
    if (Count() < dims) throw Exception(SNotEnoughParams);
    std::vector<int> idx(static_cast<size_t>(dims));
    for (int i = 0; i < dims; ++i) idx[size_t(i)] = Params(i)->Value.AsInteger();
    return VarArrayGet(arr, idx);
}

void TfsArrayHelper::SetValue(const Variant& value)
{
    if (!ParentItem) return;
    ParentValue.Clear();   // no second reference: the element is written in place
    int dims = VarArrayDimCount(ParentItem->Value);
    if (dims == 0) throw Exception(SArrayRequired);
    if (Count() < dims) throw Exception(SNotEnoughParams);
    std::vector<int> idx(static_cast<size_t>(dims));
    for (int i = 0; i < dims; ++i) idx[size_t(i)] = Params(i)->Value.AsInteger();
    // An element of a typed array holds a value of its element type.
    const Variant element = ValueOfKind(Kind, value);
    if (dynamic_cast<TfsVariable*>(ParentItem) || dynamic_cast<TfsParamItem*>(ParentItem)) {
        VarArrayPut(ParentItem->Value, element, idx);
    } else {
        Variant a = ParentItem->GetValue();
        VarArrayPut(a, element, idx);
        ParentItem->SetValue(a);
    }
}

TfsStringHelper::TfsStringHelper() : TfsCustomHelper("__StringHelper", stChar, "Char")
{
    AddParam(new TfsParamItem("Index", stInteger, "Integer", false, false));
}

namespace {
// The character at a 1-based index, counting characters.
std::string CharAt(const std::string& s, int index)
{
    if (index < 1) throw Exception(FormatMsg(SIndexOutOfBounds, std::to_string(index)));
    size_t off = Utf8Offset(s, index);
    if (off >= s.size()) throw Exception(FormatMsg(SIndexOutOfBounds, std::to_string(index)));
    size_t end = Utf8Offset(s, index + 1);
    return s.substr(off, end - off);
}
void PutCharAt(std::string& s, int index, const std::string& value)
{
    if (index < 1) throw Exception(FormatMsg(SIndexOutOfBounds, std::to_string(index)));
    size_t off = Utf8Offset(s, index);
    if (off >= s.size()) throw Exception(FormatMsg(SIndexOutOfBounds, std::to_string(index)));
    size_t end = Utf8Offset(s, index + 1);
    std::string ch = value.empty() ? std::string() : value.substr(0, Utf8Offset(value, 2));
    s.replace(off, end - off, ch);
}
}  // namespace

Variant TfsStringHelper::GetValue()
{
    return Variant(CharAt(VarToStr(ParentValue), Params(0)->Value.AsInteger()));
}

void TfsStringHelper::SetValue(const Variant& value)
{
    std::string s = VarToStr(ParentValue);
    PutCharAt(s, Params(0)->Value.AsInteger(), VarToStr(value));
    if (ParentItem) ParentItem->SetValue(Variant(s));
}

namespace fs_iinterpreter {
std::string StringCharAt(const std::string& s, int index) { return CharAt(s, index); }
void StringPutCharAt(std::string& s, int index, const std::string& value) { PutCharAt(s, index, value); }
}

Variant TfsPropertyHelper::GetValue()
{
    TObject* inst = CheckedInstance(ParentValue, HostClass, Name);
    Variant r = Null();
    if (IsPublished && PropInfo) {
        const TPropInfo* p = PropInfo;
        switch (p->Kind) {
        case tkChar:
        case tkWChar: {
            std::string s;
            AppendCodePoint(s, uint32_t(GetOrdProp(inst, p)));
            r = Variant(s);
            break;
        }
        case tkFloat: r = Variant(GetFloatProp(inst, p)); break;
        case tkString:
        case tkLString:
        case tkWString: r = Variant(GetStrProp(inst, p)); break;
        case tkVariant: r = GetVariantProp(inst, p); break;
        case tkInteger:
        case tkEnumeration:
        case tkSet: r = Variant(int(GetOrdProp(inst, p))); break;
        case tkInt64: r = Variant::FromInt64(GetOrdProp(inst, p)); break;
        case tkClass: r = ObjectToVar(GetObjectProp(inst, p)); break;
        default: break;
        }
    } else if (OnGetValue) {
        r = OnGetValue(inst, HostClass, UpperName);
    }
    if (Kind == stBoolean && !r.IsNull() && !r.IsEmpty()) r = Variant(r.AsBoolean());
    return r;
}

void TfsPropertyHelper::SetValue(const Variant& value)
{
    if (IsReadOnly) return;
    TObject* inst = CheckedInstance(ParentValue, HostClass, Name);
    if (IsPublished && PropInfo) {
        const TPropInfo* p = PropInfo;
        switch (p->Kind) {
        case tkChar:
        case tkWChar: {
            std::u16string u = Utf8ToUtf16(VarToStr(value));
            SetOrdProp(inst, p, u.empty() ? 0 : int64_t(u[0]));
            break;
        }
        case tkFloat: SetFloatProp(inst, p, value.AsDouble()); break;
        case tkString:
        case tkLString:
        case tkWString: SetStrProp(inst, p, VarToStr(value)); break;
        case tkVariant: SetVariantProp(inst, p, value); break;
        case tkClass: SetObjectProp(inst, p, VarToObject(value)); break;
        case tkEnumeration:
            if (SameName(p->TypeName, "Boolean")) {
                SetOrdProp(inst, p, value.AsBoolean() ? 1 : 0);
                break;
            }
            SetOrdProp(inst, p, value.AsInt64());
            break;
        default: SetOrdProp(inst, p, value.AsInt64()); break;
        }
    } else if (OnSetValue) {
        OnSetValue(inst, HostClass, UpperName, value);
    }
}

TfsMethodHelper::TfsMethodHelper(const std::string& syntax, TfsScript* script)
    : TfsCustomHelper("", stVariant, ""), Syntax(syntax)
{
    ParseDeclaration(syntax, script, this);
    UpperName = Upper(Name);
}

Variant TfsMethodHelper::Call(const std::string& name, TfsParams& params, TObject* instance, TClass cls)
{
    return OnCall(instance, cls, name, params);
}

Variant TfsMethodHelper::GetValue()
{
    if (!OnCall) return Variant(0);
    TObject* inst = nullptr;
    TClass cls = HostClass;
    if (HostClass && NilSafe) {
        int64_t h = HandleOfVar(ParentValue);
        inst = ResolveLive(h);
    } else if (HostClass) {
        if (Kind == stConstructor) {
            TClass named = VarToClassRef(ParentValue);
            if (!named) throw Exception(std::string(SClassRequired) + ": " + Name);
            cls = named;
        } else {
            inst = CheckedInstance(ParentValue, HostClass, Name);
        }
    }
    TfsParams params;
    params.reserve(FParams.size());
    for (TfsParamItem* p : FParams) params.push_back(p->Value);
    Variant r = Call(IsIndexMethod ? UpperName + ".GET" : UpperName, params, inst, cls);
    if (Kind == stConstructor) MarkScriptCreated(r);
    for (size_t i = 0; i < FParams.size() && i < params.size(); ++i)
        if (FParams[i]->IsVarParam) FParams[i]->Value = params[i];
    return r;
}

void TfsMethodHelper::SetValue(const Variant& value)
{
    if (!IsIndexMethod || !OnCall) return;
    TObject* inst = HostClass ? CheckedInstance(ParentValue, HostClass, Name) : nullptr;
    TfsParams params;
    for (TfsParamItem* p : FParams) params.push_back(p->Value);
    params.push_back(value);
    Call(UpperName + ".SET", params, inst, HostClass);
}

void TfsEventHelper::SetValue(const Variant& value)
{
    TObject* inst = CheckedInstance(ParentValue, HostClass, Name);
    const TPropInfo* prop = GetPropInfo(inst, Name);
    if (!prop || prop->Kind != tkMethod) throw Exception(std::string(SIdUndeclared) + "'" + Name + "'");
    std::string text = VarToStr(value);
    if (text == "0" || text.empty()) {
        SetMethodProp(inst, prop, std::any());
        GlobalEventList().RemoveEvent(inst, prop->Name);
        return;
    }
    TfsCustomVariable* item = Script ? Script->Find(text) : nullptr;
    auto* proc = dynamic_cast<TfsProcVariable*>(item);
    // Routines of the languages without procedures (a JScript function)
    // declare no result type and handle events; a typed function does not.
    if (!proc || (proc->IsFunction && !proc->TypeName.empty())) throw Exception(SEventError);
    if (!EventClass) return;
    TfsCustomEvent* adapter = EventClass(inst, proc);
    adapter->EventName = prop->Name;
    // The adapter this one replaces is freed, so re-assigning leaks nothing.
    GlobalEventList().RemoveEvent(inst, prop->Name);
    GlobalEventList().Add(adapter);
    adapter->Install(prop);
}

// ---- classes ----------------------------------------------------------------------------------

TfsClassVariable::TfsClassVariable(TClass classType, const std::string& ancestorName, TfsScript* script)
    : TfsCustomVariable(classType->Name, stClass, classType->Name), AncestorName(ancestorName),
      HostClass(classType), Script(script)
{
    auto* cast = new TfsParamItem("Instance", stVariant, "", true, false);
    AddParam(cast);
    AddPublishedProperties();
}

TfsClassVariable::~TfsClassVariable()
{
    for (TfsCustomHelper* m : FMembers) delete m;
}

Variant TfsClassVariable::GetValue()
{
    Variant cast = Params(0)->Value;
    Params(0)->Value = Null();
    if (cast.IsNull()) return ClassRefToVar(HostClass);
    return cast;
}

void TfsClassVariable::AddPublishedProperties()
{
    for (const TPropInfo* p : GetPropList(HostClass)) {
        if (p->Kind == tkMethod) continue;
        TfsScriptType kind = stInteger;
        std::string typeName = p->TypeName;
        switch (p->Kind) {
        case tkChar:
        case tkWChar: kind = stChar; break;
        case tkEnumeration: kind = SameName(p->TypeName, "Boolean") ? stBoolean : stEnum; break;
        case tkFloat: kind = stFloat; break;
        case tkString:
        case tkLString:
        case tkWString: kind = stString; break;
        case tkSet: kind = stEnum; break;
        case tkClass:
            kind = stClass;
            if (p->PropClass) typeName = p->PropClass->Name;
            break;
        case tkVariant: kind = stVariant; break;
        default: kind = stInteger; break;
        }
        auto* h = new TfsPropertyHelper(p->Name, kind, typeName);
        h->HostClass = HostClass;
        h->PropInfo = p;
        h->IsPublished = true;
        h->IsReadOnly = !p->IsWritable();
        h->UpperName = Upper(p->Name);
        FMembers.push_back(h);
    }
}

void TfsClassVariable::AddConstructor(const std::string& syntax, TfsCallMethodEvent handler)
{
    size_t sp = syntax.find(' ');
    std::string s = "function" + (sp == std::string::npos ? std::string(" Create") : syntax.substr(sp)) +
                    ": Constructor";
    AddMethod(s, std::move(handler));
}

void TfsClassVariable::AddMethod(const std::string& syntax, TfsCallMethodEvent handler)
{
    auto* m = new TfsMethodHelper(syntax, Script);
    m->HostClass = HostClass;
    m->OnCall = std::move(handler);
    FMembers.push_back(m);
}

void TfsClassVariable::AddEvent(const std::string& name, TfsEventClass eventClass)
{
    auto* e = new TfsEventHelper(name, stString, "");
    e->HostClass = HostClass;
    e->EventClass = std::move(eventClass);
    FMembers.push_back(e);
}

void TfsClassVariable::AddProperty(const std::string& name, const std::string& typeName,
                                   TfsGetValueEvent getHandler, TfsSetValueEvent setHandler)
{
    auto* p = new TfsPropertyHelper(name, TypeKindOfName(typeName, Script), typeName);
    p->HostClass = HostClass;
    p->OnGetValue = std::move(getHandler);
    p->OnSetValue = std::move(setHandler);
    p->IsReadOnly = !p->OnSetValue;
    p->UpperName = Upper(name);
    FMembers.push_back(p);
}

TfsMethodHelper* TfsClassVariable::MakeIndexProperty(const std::string& name, const std::string& indexTypes,
                                                     const std::string& typeName, TfsCallMethodEvent handler,
                                                     bool readOnly)
{
    std::string params;
    size_t start = 0;
    int n = 0;
    while (start <= indexTypes.size()) {
        size_t c = indexTypes.find(',', start);
        std::string t = Trim(indexTypes.substr(start, c == std::string::npos ? std::string::npos : c - start));
        if (!t.empty()) {
            if (n) params += "; ";
            params += "p" + std::to_string(n++) + ": " + t;
        }
        if (c == std::string::npos) break;
        start = c + 1;
    }
    auto* m = new TfsMethodHelper("function " + name + "(" + params + "): " + typeName, Script);
    m->HostClass = HostClass;
    m->OnCall = std::move(handler);
    m->IsIndexMethod = true;
    m->IsReadOnly = readOnly;
    FMembers.push_back(m);
    return m;
}

void TfsClassVariable::AddIndexProperty(const std::string& name, const std::string& indexTypes,
                                        const std::string& typeName, TfsCallMethodEvent handler, bool readOnly)
{
    MakeIndexProperty(name, indexTypes, typeName, std::move(handler), readOnly);
}

void TfsClassVariable::AddDefaultProperty(const std::string& name, const std::string& indexTypes,
                                          const std::string& typeName, TfsCallMethodEvent handler, bool readOnly)
{
    DefaultProperty = MakeIndexProperty(name, indexTypes, typeName, std::move(handler), readOnly);
}

TfsCustomHelper* TfsClassVariable::FindMember(const std::string& name) const
{
    for (const TfsClassVariable* c = this; c;) {
        for (TfsCustomHelper* m : c->FMembers)
            if (SameName(m->Name, name)) return m;
        if (c->AncestorName.empty() || !c->Script) break;
        const TfsClassVariable* next = c->Script->FindClass(c->AncestorName);
        if (next == c) break;
        c = next;
    }
    return nullptr;
}

// ---- event adapters -------------------------------------------------------------------------------

TfsParams TfsCustomEvent::CallHandler(const TfsParams& args)
{
    TfsParams result = args;
    // The routine may free the object and with it this adapter: nothing of
    // the adapter is touched once it has run.
    TfsProcVariable* handler = Handler;
    if (!handler || handler->IsRunning) return result;
    int n = handler->Count();
    for (int i = 0; i < n; ++i) handler->Params(i)->SetValue(i < int(args.size()) ? args[size_t(i)] : Null());
    ++GEventDepth;
    try {
        handler->GetValue();
    } catch (...) {
        --GEventDepth;
        throw;
    }
    --GEventDepth;
    for (int i = 0; i < n && i < int(result.size()); ++i) result[size_t(i)] = handler->Params(i)->GetValue();
    return result;
}

void TfsNotifyEvent::Install(const TPropInfo* prop)
{
    TWeakRef<TfsCustomEvent> self(this);
    SetMethodProp(Instance, prop, std::any(TNotifyEvent([self](TObject* sender) {
                      if (TfsCustomEvent* e = self.Get()) e->CallHandler({ObjectToVar(sender)});
                  })));
}

TfsEventList::~TfsEventList()
{
    for (TfsCustomEvent* e : FItems) delete e;
}

void TfsEventList::RemoveInstance(TObject* instance)
{
    for (size_t i = FItems.size(); i-- > 0;)
        if (FItems[i]->Instance == instance) {
            delete FItems[i];
            FItems.erase(FItems.begin() + long(i));
        }
}

void TfsEventList::RemoveEvent(TObject* instance, const std::string& eventName)
{
    for (size_t i = FItems.size(); i-- > 0;)
        if (FItems[i]->Instance == instance && SameName(FItems[i]->EventName, eventName)) {
            delete FItems[i];
            FItems.erase(FItems.begin() + long(i));
        }
}

void TfsEventList::RemoveScript(TfsScript* script)
{
    for (size_t i = FItems.size(); i-- > 0;) {
        TfsScript* s = FItems[i]->Handler ? FItems[i]->Handler->LocalScript : nullptr;
        while (s && s != script) s = s->Parent;
        if (s) {
            delete FItems[i];
            FItems.erase(FItems.begin() + long(i));
        }
    }
}

// ---- TfsScript ------------------------------------------------------------------------------------

namespace {
void AddBuiltInHelpers(TfsScript* s)
{
    s->Add("__StringHelper", new TfsStringHelper);
    auto* ah = new TfsArrayHelper("__ArrayHelper", stVariant, "");
    ah->AddParam(new TfsParamItem("Index1", stVariant, "", false, false));
    ah->AddParam(new TfsParamItem("Index2", stVariant, "", true, false));
    ah->AddParam(new TfsParamItem("Index3", stVariant, "", true, false));
    s->Add("__ArrayHelper", ah);
}
}  // namespace

TfsScript::TfsScript(TComponent* owner) : TComponent(owner), FLines(std::make_unique<TStringList>())
{
    Parent = GGlobalScript;
    AddBuiltInHelpers(this);
}

TfsScript::~TfsScript()
{
    if (GEventList) GEventList->RemoveScript(this);
    // The program goes first: its statements refer to the items.
    FMainProgram.reset();
    for (auto& e : FItems) delete e.Item;
}

void TfsScript::Add(const std::string& name, TfsCustomVariable* item)
{
    std::string key = Upper(name);
    auto it = std::upper_bound(FItems.begin(), FItems.end(), key,
                               [](const std::string& k, const Entry& e) { return k < e.Key; });
    FItems.insert(it, Entry{key, item});
    item->Registrar = Registrar;
}

void TfsScript::Remove(TfsCustomVariable* item)
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Item == item) {
            FItems.erase(FItems.begin() + long(i));
            return;
        }
}

TfsCustomVariable* TfsScript::FindLocal(const std::string& name) const
{
    std::string key = Upper(name);
    auto it = std::lower_bound(FItems.begin(), FItems.end(), key,
                               [](const Entry& e, const std::string& k) { return e.Key < k; });
    if (it != FItems.end() && it->Key == key) return it->Item;
    return nullptr;
}

TfsCustomVariable* TfsScript::Find(const std::string& name) const
{
    for (const TfsScript* s = this; s; s = s->Parent)
        if (TfsCustomVariable* v = s->FindLocal(name)) return v;
    return nullptr;
}

TfsClassVariable* TfsScript::FindClass(const std::string& name) const
{
    return dynamic_cast<TfsClassVariable*>(Find(name));
}

TfsClassVariable* TfsScript::FindClassByType(TClass c) const
{
    for (TClass k = c; k; k = k->Parent)
        if (TfsClassVariable* cv = FindClass(k->Name))
            if (cv->HostClass == k) return cv;
    return nullptr;
}

void TfsScript::SetMainProgram(std::unique_ptr<TfsStatement> statement) { FMainProgram = std::move(statement); }

void TfsScript::Clear()
{
    if (GEventList) GEventList->RemoveScript(this);
    SetMainProgram(nullptr);
    FCodeLines.clear();
    std::vector<Entry> items;
    items.swap(FItems);
    for (auto& e : items) delete e.Item;
    AddBuiltInHelpers(this);
}

void TfsScript::RemoveItems(TObject* owner)
{
    std::vector<TfsCustomVariable*> doomed;
    for (size_t i = FItems.size(); i-- > 0;)
        if (FItems[i].Item->Registrar == owner) {
            doomed.push_back(FItems[i].Item);
            FItems.erase(FItems.begin() + long(i));
        }
    for (auto* v : doomed) delete v;
}

void TfsScript::ClearItems(TObject* owner)
{
    if (GEventList) GEventList->RemoveScript(this);
    SetMainProgram(nullptr);
    RemoveItems(owner);
    FCodeLines.clear();
}

TfsTypeVariable* TfsScript::AddType(const std::string& name, TfsScriptType kind)
{
    if (Find(name)) return nullptr;
    auto* t = new TfsTypeVariable(name, kind, name);
    Add(name, t);
    return t;
}

TfsClassVariable* TfsScript::AddClass(TClass classType, const std::string& ancestorName)
{
    if (!classType || Find(classType->Name)) return nullptr;
    auto* c = new TfsClassVariable(classType, ancestorName, this);
    if (TfsClassVariable* anc = FindClass(ancestorName)) c->DefaultProperty = anc->DefaultProperty;
    Add(classType->Name, c);
    return c;
}

TfsVariable* TfsScript::AddConst(const std::string& name, const std::string& typeName, const Variant& value)
{
    TfsVariable* v = AddVariable(name, typeName, value);
    if (v) v->IsReadOnly = true;
    return v;
}

TfsVariable* TfsScript::AddVariable(const std::string& name, const std::string& typeName, const Variant& value)
{
    if (Find(name)) return nullptr;
    TfsScriptType kind = TypeKindOfName(typeName, this);
    TfsVariable* v = (kind == stString || kind == stChar) ? new TfsStringVariable(name, kind, typeName)
                                                           : new TfsVariable(name, kind, typeName);
    v->SetValue(value);
    Add(name, v);
    return v;
}

TfsVariable* TfsScript::AddObject(const std::string& name, TObject* object)
{
    return AddVariable(name, object ? object->ClassName() : "TObject", ObjectToVar(object));
}

namespace {
void AddEnumValues(TfsScript* s, const std::string& typeName, const std::string& names, bool isSet)
{
    auto* t = new TfsVariable(typeName, stEnum, typeName);
    s->Add(typeName, t);
    int64_t value = isSet ? 1 : 0;
    size_t start = 0;
    while (start <= names.size()) {
        size_t c = names.find(',', start);
        std::string n = Trim(names.substr(start, c == std::string::npos ? std::string::npos : c - start));
        if (!n.empty()) {
            auto* v = new TfsVariable(n, stEnum, typeName);
            v->Value = Variant(int(value));
            v->IsReadOnly = true;
            s->Add(n, v);
            value = isSet ? value * 2 : value + 1;
        }
        if (c == std::string::npos) break;
        start = c + 1;
    }
}
}  // namespace

void TfsScript::AddEnum(const std::string& typeName, const std::string& names)
{
    AddEnumValues(this, typeName, names, false);
}

void TfsScript::AddEnumSet(const std::string& typeName, const std::string& names)
{
    AddEnumValues(this, typeName, names, true);
}

TfsMethodHelper* TfsScript::AddMethod(const std::string& syntax, TfsCallMethodEvent handler,
                                      const std::string& category, const std::string& description)
{
    auto* m = new TfsMethodHelper(syntax, this);
    m->OnCall = std::move(handler);
    m->Category = category;
    m->Description = description.empty() ? m->Name : description;
    Add(m->Name, m);
    return m;
}

TStrings* TfsScript::Lines() const { return FLines.get(); }

void TfsScript::SetLines(TStrings* value)
{
    if (value) FLines->Assign(value);
    else FLines->Clear();
}

void TfsScript::SetText(const std::string& text) { FLines->SetText(text); }

bool TfsScript::Compile()
{
    ErrorMessage.clear();
    ErrorPosition.clear();
    ErrorUnit.clear();
    TfsILParser parser(this);
    parser.SelectLanguage(FSyntaxType);
    if (parser.BuildProgramTree(FLines->Text())) parser.BuildProgram();
    bool ok = ErrorMessage.empty();
    if (ok) ErrorPosition.clear();
    return ok;
}

void TfsScript::Execute()
{
    ExitRequested = Terminated = BreakRequested = ContinueRequested = false;
    IsRunning = true;
    IsMainProgram = true;
    try {
        if (FMainProgram) FMainProgram->Execute();
    } catch (...) {
        ExitRequested = Terminated = BreakRequested = ContinueRequested = false;
        IsRunning = false;
        throw;
    }
    ExitRequested = Terminated = BreakRequested = ContinueRequested = false;
    IsRunning = false;
}

Variant TfsScript::CallFunction(const std::string& name, const Variant& params)
{
    auto* proc = dynamic_cast<TfsProcVariable*>(FindLocal(name));
    if (!proc) return Null();
    if (params.IsArray()) {
        int lo = VarArrayLowBound(params, 1), hi = VarArrayHighBound(params, 1);
        for (int i = lo; i <= hi; ++i) {
            int k = i - lo;
            if (k >= proc->Count()) throw EListError("List index out of bounds (" + std::to_string(k) + ")");
            proc->Params(k)->SetValue(VarArrayGet(params, {i}));
        }
    }
    return proc->GetValue();
}

Variant TfsScript::CallFunctionVar(const std::string& name, Variant& params)
{
    auto* proc = dynamic_cast<TfsProcVariable*>(FindLocal(name));
    if (!proc) return Null();
    Variant r = CallFunction(name, params);
    if (params.IsArray()) {
        int lo = VarArrayLowBound(params, 1), hi = VarArrayHighBound(params, 1);
        for (int i = lo; i <= hi && i - lo < proc->Count(); ++i)
            VarArrayPut(params, proc->Params(i - lo)->GetValue(), {i});
    }
    return r;
}

Variant TfsScript::Evaluate(const std::string& expression)
{
    TfsScript temp(nullptr);
    temp.Parent = RunningScript ? RunningScript : this;
    TfsRunLineEvent saved = std::move(OnRunLine);
    OnRunLine = nullptr;
    struct Restore {
        TfsScript* s;
        TfsRunLineEvent& saved;
        ~Restore() { s->OnRunLine = std::move(saved); }
    } restore{this, saved};
    temp.SetSyntaxType("PascalScript");
    temp.SetText("function __f__: Variant; begin Result := " + expression + " end; begin end.");
    if (!temp.Compile()) return Variant(temp.ErrorMessage);
    return temp.CallFunction("__f__", Null());
}

bool TfsScript::HasRunLineHandler() const
{
    for (const TfsScript* s = this; s; s = s->Parent)
        if (s->OnRunLine) return true;
    return false;
}

void TfsScript::RunLine(const std::string& unitName, const std::string& sourcePos)
{
    for (TfsScript* s = this; s; s = s->Parent)
        if (s->OnRunLine) {
            s->OnRunLine(this, unitName, sourcePos);
            return;
        }
}

std::vector<TfsProcVariable*> TfsScript::Procs() const
{
    std::vector<TfsProcVariable*> r;
    for (auto& e : FItems)
        if (auto* p = dynamic_cast<TfsProcVariable*>(e.Item)) r.push_back(p);
    return r;
}

void TfsScript::Terminate()
{
    ExitRequested = true;
    Terminated = true;
    for (TfsProcVariable* p : Procs()) p->LocalScript->Terminate();
}

void TfsScript::AddCodeLine(const std::string& unitName, const std::string& sourcePos)
{
    std::string line = sourcePos.substr(0, sourcePos.find(':'));
    for (auto& e : FCodeLines)
        if (e.first == unitName) {
            if (e.second.find("," + line + ",") == std::string::npos) e.second += line + ",";
            return;
        }
    FCodeLines.push_back({unitName, "," + line + ","});
}

bool TfsScript::IsExecutableLine(int line, const std::string& unitName) const
{
    for (auto& e : FCodeLines)
        if (e.first == unitName) return e.second.find("," + std::to_string(line) + ",") != std::string::npos;
    return false;
}
