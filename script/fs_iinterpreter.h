// The interpreter's items and the script component. Everything a script can
// name is an item: variables, constants, parameters, routines, types, classes
// and the members of classes. A TfsScript holds the items of one scope; scopes
// chain through Parent up to the process-wide global script, where the
// built-in routines and the class bindings live.
//
// Values are Variants. Objects reach scripts as object handles (32-bit ids
// from ObjectHandles), checked for validity and class on every member call.
#pragma once

#include "Components.h"
#include "SpareStack.h"
#include "Variants.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStrings;
class TStringList;
class TfsScript;
class TfsStatement;
class TfsProcVariable;
class TfsClassVariable;
class TfsCustomEvent;
class TfsXMLItem;
struct TPropInfo;

enum TfsScriptType : uint8_t {
    stInteger, stBoolean, stFloat, stChar, stString, stClass, stArray, stVariant, stEnum,
    stConstructor
};

// Arguments of a bound routine, indexed from 0 in declaration order; the
// handler may change them (var parameters take the new values back).
using TfsParams = std::vector<Variant>;

// Handlers of the bindings. Instance is null for global routines and for
// constructors, which receive the class the script named.
using TfsGetValueEvent = std::function<Variant(TObject* instance, TClass classType,
                                               const std::string& propName)>;
using TfsSetValueEvent = std::function<void(TObject* instance, TClass classType,
                                            const std::string& propName, const Variant& value)>;
using TfsCallMethodEvent = std::function<Variant(TObject* instance, TClass classType,
                                                 const std::string& methodName, TfsParams& params)>;

// ---- items ---------------------------------------------------------------------

class TfsCustomVariable : public TObject {
    QZ_CLASS(TfsCustomVariable, TObject)
public:
    TfsCustomVariable(const std::string& name, TfsScriptType kind, const std::string& typeName);
    ~TfsCustomVariable() override;

    virtual Variant GetValue();
    virtual void SetValue(const Variant& value);

    // Parameters (owned unless the item says otherwise).
    int Count() const { return int(FParams.size()); }
    class TfsParamItem* Params(int index) const { return FParams[size_t(index)]; }
    void AddParam(class TfsParamItem* param);
    int RequiredCount() const;

    // The kind's text: "Integer", "Class TFoo"…
    std::string GetFullTypeName() const;

    TObject* Registrar = nullptr;
    bool IsMacro = false;
    bool IsReadOnly = false;
    std::string Name;
    bool WantsResult = true;
    TfsCustomVariable* LinkedItem = nullptr;
    std::string SourcePosition;
    TfsScriptType Kind;
    std::string TypeName;
    Variant Value;

protected:
    std::vector<class TfsParamItem*> FParams;
    bool FOwnsParams = true;
};

class TfsVariable : public TfsCustomVariable {
    QZ_CLASS(TfsVariable, TfsCustomVariable)
public:
    using TfsCustomVariable::TfsCustomVariable;
    Variant GetValue() override { return Value; }
    void SetValue(const Variant& value) override;
};

// A Char or String variable; holds its text natively.
class TfsStringVariable : public TfsVariable {
    QZ_CLASS(TfsStringVariable, TfsVariable)
public:
    using TfsVariable::TfsVariable;
    Variant GetValue() override { return Variant(Str); }
    void SetValue(const Variant& value) override;
    std::string Str;
};

class TfsTypeVariable : public TfsCustomVariable {
    QZ_CLASS(TfsTypeVariable, TfsCustomVariable)
public:
    using TfsCustomVariable::TfsCustomVariable;
};

class TfsParamItem : public TfsCustomVariable {
    QZ_CLASS(TfsParamItem, TfsCustomVariable)
public:
    TfsParamItem(const std::string& name, TfsScriptType kind, const std::string& typeName,
                 bool isOptional, bool isVarParam);
    Variant GetValue() override { return Value; }
    void SetValue(const Variant& value) override;
    Variant DefValue;
    bool IsOptional;
    bool IsVarParam;
};

// A procedure or function written in the script.
class TfsStringVariable;
class TfsProcVariable : public TfsCustomVariable {
    QZ_CLASS(TfsProcVariable, TfsCustomVariable)
public:
    TfsProcVariable(const std::string& name, TfsScriptType kind, const std::string& typeName,
                    TfsScript* parent, bool isFunction);
    ~TfsProcVariable() override;
    Variant GetValue() override;
    // Runs the body once its parameters hold their values; then Result (or
    // ResultInt, without a variant for an Integer result) gives what
    // GetValue would.
    void Run()
    {
        if (SpareStack::HasRoom()) Call();
        else CallOnSpareStack();
    }
    inline Variant Result();
    inline int32_t ResultInt();
    bool IsRunning = false;
    bool IsFunction;
    TfsScript* LocalScript;
    // The value-holding locals (variables and parameters) that a recursive
    // call saves and restores, collected once. The slots stay where they are
    // while the routine lives, also when a late-bound name adds a local
    // during a call (the list is then made anew beside the old one), so a
    // call in progress may keep pointing at them.
    struct LocalSlot {
        TfsCustomVariable* Item;
        class TfsStringVariable* Str;   // set for Char and String variables
    };
    inline const std::vector<LocalSlot>& Locals();
private:
    void Call();
    void CallOnSpareStack();
    void CollectLocals();
    int FResultIsPlain = -1;   // the result variable holds its value in Value
    TfsStatement* FBody = nullptr;   // the body last run, and whether it is a plain list
    bool FBodyIsList = false;
    std::vector<LocalSlot> FLocals;
    std::vector<std::vector<LocalSlot>> FFormerLocals;
    int FLocalsCount = -1;
};

// Base of compiled expressions.
class TfsCustomExpression : public TfsCustomVariable {
    QZ_CLASS(TfsCustomExpression, TfsCustomVariable)
public:
    TfsCustomExpression() : TfsCustomVariable("", stVariant, "") {}
};

class TfsCustomHelper : public TfsCustomVariable {
    QZ_CLASS(TfsCustomHelper, TfsCustomVariable)
public:
    using TfsCustomVariable::TfsCustomVariable;
    TfsCustomVariable* ParentItem = nullptr;
    Variant ParentValue;
    TfsScript* Script = nullptr;
};

// Elements of an array: the parent item's value indexed by the parameters.
class TfsArrayHelper : public TfsCustomHelper {
    QZ_CLASS(TfsArrayHelper, TfsCustomHelper)
public:
    using TfsCustomHelper::TfsCustomHelper;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// Characters of a string: the parent value's text at a 1-based index.
class TfsStringHelper : public TfsCustomHelper {
    QZ_CLASS(TfsStringHelper, TfsCustomHelper)
public:
    TfsStringHelper();
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

class TfsPropertyHelper : public TfsCustomHelper {
    QZ_CLASS(TfsPropertyHelper, TfsCustomHelper)
public:
    using TfsCustomHelper::TfsCustomHelper;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    TClass HostClass = nullptr;
    const TPropInfo* PropInfo = nullptr;   // set for published properties
    bool IsPublished = false;
    TfsGetValueEvent OnGetValue;
    TfsSetValueEvent OnSetValue;
    std::string UpperName;
};

class TfsMethodHelper : public TfsCustomHelper {
    QZ_CLASS(TfsMethodHelper, TfsCustomHelper)
public:
    // Reads the declaration text (function Name(a: T; var b: T = 1): T).
    TfsMethodHelper(const std::string& syntax, TfsScript* script);
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    std::string Category;
    TClass HostClass = nullptr;
    std::string Description;
    bool IsIndexMethod = false;
    TfsCallMethodEvent OnCall;
    std::string Syntax;
    std::string UpperName;
    // Called with a null instance for nil or freed objects instead of
    // raising (Free).
    bool NilSafe = false;
private:
    Variant Call(const std::string& name, TfsParams& params, TObject* instance, TClass cls);
};

// Creates the adapter that connects an object's event to a script routine.
using TfsEventClass = std::function<TfsCustomEvent*(TObject* instance, TfsProcVariable* handler)>;

class TfsEventHelper : public TfsCustomHelper {
    QZ_CLASS(TfsEventHelper, TfsCustomHelper)
public:
    using TfsCustomHelper::TfsCustomHelper;
    Variant GetValue() override { return Variant(std::string()); }
    void SetValue(const Variant& value) override;
    TClass HostClass = nullptr;
    TfsEventClass EventClass;
};

// A member of an automation object, reached by name when the script runs.
class TfsOLEHelper : public TfsCustomHelper {
    QZ_CLASS(TfsOLEHelper, TfsCustomHelper)
public:
    explicit TfsOLEHelper(const std::string& name) : TfsCustomHelper(name, stVariant, "") {}
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// A class registered for scripts, with its members.
class TfsClassVariable : public TfsCustomVariable {
    QZ_CLASS(TfsClassVariable, TfsCustomVariable)
public:
    TfsClassVariable(TClass classType, const std::string& ancestorName, TfsScript* script);
    ~TfsClassVariable() override;
    Variant GetValue() override;

    void AddConstructor(const std::string& syntax, TfsCallMethodEvent handler);
    void AddMethod(const std::string& syntax, TfsCallMethodEvent handler);
    void AddEvent(const std::string& name, TfsEventClass eventClass);
    void AddProperty(const std::string& name, const std::string& typeName,
                     TfsGetValueEvent getHandler, TfsSetValueEvent setHandler = nullptr);
    void AddIndexProperty(const std::string& name, const std::string& indexTypes,
                          const std::string& typeName, TfsCallMethodEvent handler,
                          bool readOnly = false);
    void AddDefaultProperty(const std::string& name, const std::string& indexTypes,
                            const std::string& typeName, TfsCallMethodEvent handler,
                            bool readOnly = false);
    TfsCustomHelper* FindMember(const std::string& name) const;

    int MembersCount() const { return int(FMembers.size()); }
    TfsCustomHelper* Members(int index) const { return FMembers[size_t(index)]; }

    std::string AncestorName;
    TClass HostClass;
    TfsCustomHelper* DefaultProperty = nullptr;
    TfsScript* Script;

private:
    void AddPublishedProperties();
    TfsMethodHelper* MakeIndexProperty(const std::string& name, const std::string& indexTypes,
                                       const std::string& typeName, TfsCallMethodEvent handler,
                                       bool readOnly);
    std::vector<TfsCustomHelper*> FMembers;
};

// ---- event adapters ------------------------------------------------------------

// Connects one event of one object to a script routine.
class TfsCustomEvent : public TObject {
    QZ_CLASS(TfsCustomEvent, TObject)
public:
    TfsCustomEvent(TObject* instance, TfsProcVariable* handler)
        : Instance(instance), Handler(handler) {}
    // Installs the adapter as the handler of the object's event property.
    virtual void Install(const TPropInfo* prop) = 0;
    // Passes the arguments to the routine's parameters in order and runs it;
    // ignored while the routine is already running. Returns the arguments
    // as the routine left them, so adapters can write var arguments back.
    TfsParams CallHandler(const TfsParams& args);
    TObject* Instance;
    TfsProcVariable* Handler;
    std::string EventName;   // the event property it is installed on
};

// The adapter of TNotifyEvent (Sender).
class TfsNotifyEvent : public TfsCustomEvent {
    QZ_CLASS(TfsNotifyEvent, TfsCustomEvent)
public:
    using TfsCustomEvent::TfsCustomEvent;
    void Install(const TPropInfo* prop) override;
    static TfsCustomEvent* Make(TObject* instance, TfsProcVariable* handler)
    {
        return new TfsNotifyEvent(instance, handler);
    }
};

class TfsEventList {
public:
    ~TfsEventList();
    void Add(TfsCustomEvent* event) { FItems.push_back(event); }
    // Frees the adapters attached to the object.
    void RemoveInstance(TObject* instance);
    // Frees the adapters of one event of the object (it is being re-assigned).
    void RemoveEvent(TObject* instance, const std::string& eventName);
    // Frees the adapters whose routine belongs to the script (or a routine of it).
    void RemoveScript(TfsScript* script);
    int Count() const { return int(FItems.size()); }
private:
    std::vector<TfsCustomEvent*> FItems;
};

// ---- the script component ---------------------------------------------------------

using TfsGetUnitEvent = std::function<void(TfsScript* sender, const std::string& unitName,
                                           std::string& unitText)>;
// The line handler (sender, unit name, source position), called before each
// statement. A delegate like the others; it also keeps count of the handlers
// assigned anywhere, so that statements skip the lookup while there is none.
class TfsRunLineEvent {
public:
    using Fn = std::function<void(TfsScript* sender, const std::string& unitName, const std::string& sourcePos)>;
    TfsRunLineEvent() = default;
    TfsRunLineEvent(std::nullptr_t) {}
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TfsRunLineEvent>>>
    TfsRunLineEvent(F&& f) { Set(Fn(std::forward<F>(f))); }
    TfsRunLineEvent(const TfsRunLineEvent& o) { Set(o.FFn); }
    TfsRunLineEvent(TfsRunLineEvent&& o) noexcept { Take(o); }
    TfsRunLineEvent& operator=(const TfsRunLineEvent& o)
    {
        if (this != &o) Set(o.FFn);
        return *this;
    }
    TfsRunLineEvent& operator=(TfsRunLineEvent&& o) noexcept
    {
        if (this != &o) {
            Set(nullptr);
            Take(o);
        }
        return *this;
    }
    ~TfsRunLineEvent() { Set(nullptr); }
    explicit operator bool() const { return bool(FFn); }
    void operator()(TfsScript* sender, const std::string& unitName, const std::string& sourcePos) const
    {
        FFn(sender, unitName, sourcePos);
    }
    // Handlers assigned in the whole program.
    static int Armed() { return GArmed; }

private:
    void Set(Fn f)
    {
        if (FFn) --GArmed;
        FFn = std::move(f);
        if (FFn) ++GArmed;
    }
    void Take(TfsRunLineEvent& o) noexcept
    {
        FFn = std::move(o.FFn);
        o.FFn = nullptr;   // the count moves with the handler
    }
    Fn FFn;
    static inline int GArmed = 0;
};

class TfsScript : public TComponent {
    QZ_CLASS(TfsScript, TComponent)
public:
    explicit TfsScript(TComponent* owner = nullptr);
    ~TfsScript() override;

    // ---- items
    void Add(const std::string& name, TfsCustomVariable* item);
    int Count() const { return int(FItems.size()); }
    TfsCustomVariable* Items(int index) const { return FItems[size_t(index)].Item; }
    void Remove(TfsCustomVariable* item);
    TfsCustomVariable* Find(const std::string& name) const;
    TfsCustomVariable* FindLocal(const std::string& name) const;
    TfsClassVariable* FindClass(const std::string& name) const;
    // The class item registered for a class record, searched up the chain.
    TfsClassVariable* FindClassByType(TClass c) const;
    void Clear();
    void RemoveItems(TObject* owner);
    void ClearItems(TObject* owner);

    // ---- registration
    TfsTypeVariable* AddType(const std::string& name, TfsScriptType kind);
    TfsClassVariable* AddClass(TClass classType, const std::string& ancestorName);
    TfsVariable* AddConst(const std::string& name, const std::string& typeName, const Variant& value);
    TfsVariable* AddVariable(const std::string& name, const std::string& typeName, const Variant& value);
    TfsVariable* AddObject(const std::string& name, TObject* object);
    void AddEnum(const std::string& typeName, const std::string& names);
    void AddEnumSet(const std::string& typeName, const std::string& names);
    TfsMethodHelper* AddMethod(const std::string& syntax, TfsCallMethodEvent handler,
                               const std::string& category = std::string(),
                               const std::string& description = std::string());

    // ---- compiling and running
    bool Compile();
    void Execute();
    bool Run() { if (!Compile()) return false; Execute(); return true; }
    Variant CallFunction(const std::string& name, const Variant& params);
    Variant CallFunctionVar(const std::string& name, Variant& params);
    Variant Evaluate(const std::string& expression);
    void RunLine(const std::string& unitName, const std::string& sourcePos);
    void Terminate();
    void AddCodeLine(const std::string& unitName, const std::string& sourcePos);
    bool IsExecutableLine(int line, const std::string& unitName = std::string()) const;

    // ---- properties
    TStrings* Lines() const;
    void SetLines(TStrings* value);
    void SetText(const std::string& text);   // a convenience: Lines.Text
    const std::string& SyntaxType() const { return FSyntaxType; }
    void SetSyntaxType(const std::string& v) { FSyntaxType = v; }
    TfsScript* Parent = nullptr;
    TObject* Registrar = nullptr;
    TfsGetUnitEvent OnGetILUnit;
    TfsGetUnitEvent OnGetUnit;
    TfsRunLineEvent OnRunLine;

    TfsStatement* MainProgram() const { return FMainProgram.get(); }
    void SetMainProgram(std::unique_ptr<TfsStatement> statement);
    std::string ErrorMessage;
    std::string ErrorPosition;
    std::string ErrorUnit;

    // Execution flags.
    bool BreakRequested = false;
    bool ContinueRequested = false;
    bool ExitRequested = false;
    bool Terminated = false;
    bool IsRunning = false;
    bool IsMainProgram = false;
    TfsScript* RunningScript = nullptr;
    // Any of break, continue or exit pending (statement lists stop).
    bool Pending() const { return BreakRequested || ContinueRequested || ExitRequested; }
    // True when some script up the chain has a line handler.
    bool HasRunLineHandler() const;

    // Routines declared here (for Terminate and the event list).
    std::vector<TfsProcVariable*> Procs() const;

private:
    struct Entry {
        std::string Key;   // upper-case name
        TfsCustomVariable* Item;
    };
    std::vector<Entry> FItems;
    std::unique_ptr<TStringList> FLines;
    std::string FSyntaxType = "PascalScript";
    std::unique_ptr<TfsStatement> FMainProgram;
    std::vector<std::pair<std::string, std::string>> FCodeLines;   // unit -> ",1,5,"
};

inline Variant TfsProcVariable::Result()
{
    if (!IsFunction || !LinkedItem) return Null();
    return FResultIsPlain ? LinkedItem->Value : LinkedItem->GetValue();
}

inline int32_t TfsProcVariable::ResultInt()
{
    if (IsFunction && LinkedItem && FResultIsPlain && LinkedItem->Value.VType() == varInteger)
        return int32_t(LinkedItem->Value.RawInt());
    const Variant v = Result();
    return v.VType() == varInteger ? int32_t(v.RawInt()) : int32_t(v.AsInt64());
}

inline const std::vector<TfsProcVariable::LocalSlot>& TfsProcVariable::Locals()
{
    if (FLocalsCount != LocalScript->Count()) CollectLocals();
    return FLocals;
}

namespace fs_iinterpreter {

// The global script: the parent scope of every script, with the built-in
// types and constants and everything the bindings register. Made on first
// use; null once FreeGlobalScript has run.
TfsScript* GetGlobalScript();
void FreeGlobalScript();
// Lets the next GetGlobalScript make the global script again after
// FreeGlobalScript: the engine is being started again.
void RestoreGlobalScript();
TfsEventList& GlobalEventList();

// Object values as scripts hold them: handles, 0 for nil. obj must be alive.
Variant ObjectToVar(TObject* obj);
// The same for a pointer kept in a list, which may have been freed since
// scripts stored it: a pointer met before gives the handle it had then.
Variant ObjectPtrToVar(const void* ptr);
// The object a value refers to; null for nil. Raises for a freed object or a
// value that is no object reference.
TObject* VarToObject(const Variant& value);
// Removes from the global script everything the registration object of a
// binding added, and frees the object (the bindings' Finalize).
void RemoveRegistration(TObject* registrar);

// Registers a platform class under its own name, its ancestor being the
// nearest of the platform class's ancestors that scripts already know, so
// the script's class tree is the platform's.
TfsClassVariable* AddPlatformClass(TfsScript* script, TClass classType);

// TObject.Free from a script: removes the event adapters of the object and
// of the components it owns, then frees it. While an event handler runs, the
// hook may take the object to free it later (the window system's code that
// raised the event still uses it); the script sees it freed at once.
using TfsDeferFreeHook = std::function<bool(TObject* obj)>;
void SetDeferFreeHook(TfsDeferFreeHook hook);
void ScriptFreeObject(TObject* obj);
// An object the program keeps for its whole life (the application): a
// script's Free of it raises instead.
void ProtectObject(TObject* obj);
// An object a script made (a constructor's result): the script may free it.
// Objects that are neither components nor made by scripts belong to what
// handed them out, and Free of them raises.
void MarkScriptCreated(const Variant& value);
// Event handlers running now (nested), for the hook.
int EventDepth();

// The object a member is called on, checked against the member's class;
// raises a script error for nil, freed or foreign objects.
TObject* CheckedInstance(const Variant& value, TClass expected, const std::string& member);

// The handle a value holds (handles travel as 32-bit integers, so a large
// one may read as negative); -1 when the value is no integer.
int64_t HandleOfVar(const Variant& value);

// A class named as a value (TStringList in TStringList.Create): carried to
// the constructor, which receives the class.
Variant ClassRefToVar(TClass c);
TClass VarToClassRef(const Variant& value);   // null unless a class value

// A value stored into an item of the kind, converted to it as variables,
// parameters and array elements convert what they are given: a Double takes
// 2980 as 2980.0, a String takes 5 as '5'. Null, Empty, arrays and the other
// kinds pass unchanged.
Variant ValueOfKind(TfsScriptType kind, const Variant& value);

// The kind's text used in messages and the contents tree.
std::string KindText(TfsScriptType kind, const std::string& typeName);

// Characters of script strings, 1-based, counted in characters; an index
// outside the text raises "Index out of bounds".
std::string StringCharAt(const std::string& s, int index);
void StringPutCharAt(std::string& s, int index, const std::string& value);

}  // namespace fs_iinterpreter
