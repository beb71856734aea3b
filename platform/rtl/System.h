// The object model every class of the program stands on: class records
// (name, parent, create-by-name, published properties), run-time type tests,
// weak references and object handles, small sets and the Currency type.
#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

class TObject;
class TComponent;
class TCollection;
struct TClassRec;
struct TPropInfo;

// A class reference: a pointer to the static record of a class.
using TClass = const TClassRec*;

using TDateTime = double;
using WideChar = char16_t;

// Published properties of one class (not inherited ones), filled once when
// the class record is first used. TypInfo.h defines TPropInfo and the
// routines that read and write them.
using TPropDefiner = void (*)(std::vector<TPropInfo>& props);

struct TClassRec {
    TClassRec();
    ~TClassRec();
    TClassRec(const TClassRec&) = delete;
    TClassRec& operator=(const TClassRec&) = delete;

    std::string Name;
    TClass Parent = nullptr;
    // Creates an instance; owner is passed to component classes and ignored
    // by the others. Null for abstract classes.
    TObject* (*Factory)(TComponent* owner) = nullptr;
    // Own published properties, made by the definer on first use (so a
    // definer may name its own class or a descendant as a property's class).
    TPropDefiner Definer = nullptr;
    const std::vector<TPropInfo>& OwnProps() const;

    bool InheritsFrom(TClass other) const;
    TObject* Create(TComponent* owner = nullptr) const;   // raises when abstract

private:
    mutable std::unique_ptr<std::vector<TPropInfo>> FProps;
    mutable std::atomic<bool> FPropsReady{false};
    mutable bool FPropsBusy = false;   // the definer is running
};

struct TObjectLife;   // shared with weak references and handles

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }
    std::string ClassName() const { return ClassType()->Name; }
    TClass ClassParent() const { return ClassType()->Parent; }
    bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
    template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }

    // Hooks run by the factories and by Free, as the object model orders them.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}

    // The object's life record; made on first use (weak references, handles).
    std::shared_ptr<TObjectLife> Life() const;

private:
    mutable std::shared_ptr<TObjectLife> FLife;
};

// Frees an object (null allowed) after running BeforeDestruction.
void FreeObject(TObject* obj);
template <class T> void FreeAndNil(T*& obj)
{
    T* o = obj;
    obj = nullptr;
    FreeObject(o);
}

template <class T> T* DynamicCast(TObject* obj)
{
    return obj && obj->InheritsFrom(T::StaticClass()) ? static_cast<T*>(obj) : nullptr;
}

struct TObjectLife {
    TObject* Object = nullptr;   // null once the object is freed
    uint32_t Handle = 0;         // 0 until a handle is asked for
};

// A reference that reads null once its target is freed.
template <class T> class TWeakRef {
public:
    TWeakRef() = default;
    TWeakRef(T* obj) { Reset(obj); }
    TWeakRef& operator=(T* obj) { Reset(obj); return *this; }
    void Reset(T* obj) { FLife = obj ? static_cast<const TObject*>(obj)->Life() : nullptr; }
    T* Get() const { return FLife && FLife->Object ? static_cast<T*>(FLife->Object) : nullptr; }
    T* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
private:
    std::shared_ptr<TObjectLife> FLife;
};

// Process-wide object handles: 32-bit ids standing for objects where stored
// or scripted data keeps object references. 0 is nil; ids are never reused;
// a handle of a freed object resolves to null.
namespace ObjectHandles {
uint32_t HandleOf(const TObject* obj);          // 0 for null
TObject* Resolve(uint32_t handle);              // null when nil or freed
// Resolve and check the class; null when nil, freed or of another class.
TObject* Resolve(uint32_t handle, TClass expected);
}

// Class registry: register, find and create by name (case-insensitive).
// Registering a class registers its ancestors too; a different class under
// a registered name raises EFilerError "A class named %s already exists".
void RegisterClass(TClass c);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass c);
TClass GetClass(const std::string& name);       // null when unknown
TClass FindClass(const std::string& name);      // raises EClassNotFound

// ---- class record macros ---------------------------------------------------

namespace qz_detail {
// Components are made with their owner; other classes without arguments
// (a constructor taking bool or a pointer would otherwise catch the owner),
// and only then with the owner if that is all they offer.
template <class C> constexpr bool TakesOwnerFirst =
    std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*>;
template <class C> TObject* Factory(TComponent* owner)
{
    if constexpr (std::is_abstract_v<C>) {
        return nullptr;
    } else if constexpr (TakesOwnerFirst<C>) {
        C* o = new C(owner);
        o->AfterConstruction();
        return o;
    } else if constexpr (std::is_default_constructible_v<C>) {
        C* o = new C();
        o->AfterConstruction();
        return o;
    } else if constexpr (std::is_constructible_v<C, TComponent*>) {
        C* o = new C(owner);
        o->AfterConstruction();
        return o;
    } else if constexpr (std::is_constructible_v<C, TCollection*>) {
        // A collection item; the collection that asked adds it afterwards.
        C* o = new C(static_cast<TCollection*>(nullptr));
        o->AfterConstruction();
        return o;
    } else {
        return nullptr;
    }
}
template <class C> constexpr bool HasFactory =
    !std::is_abstract_v<C> &&
    (std::is_constructible_v<C, TComponent*> || std::is_default_constructible_v<C> ||
     std::is_constructible_v<C, TCollection*>);
TClassRec* MakeClassRec(const char* name, TClass parent, TObject* (*factory)(TComponent*),
                        TPropDefiner definer);

// Owners tell their news (insertions and removals) only to the components
// that act on them; a component whose class handles Notification says so
// while it is being made, through the mark that QZ_CLASS puts in every
// class (Components.cpp).
void ClassHandlesNotification(TComponent* component);
template <class M> struct MemberClassOf;
template <class R, class K> struct MemberClassOf<R K::*> { using type = K; };
template <class C> constexpr bool DeclaresNotification()
{
    if constexpr (requires { &C::Notification; })
        return std::is_same_v<typename MemberClassOf<decltype(&C::Notification)>::type, C>;
    else
        return true;   // hidden from here or overloaded: taken as handled
}
template <class C> struct TClassMark {
    constexpr explicit TClassMark(C* self)
    {
        if constexpr (std::is_base_of_v<TComponent, C> && !std::is_same_v<C, TComponent>) {
            if constexpr (DeclaresNotification<C>()) ClassHandlesNotification(self);
        }
    }
};
}

// In the class body: QZ_CLASS(TMyClass, TParent)
#define QZ_CLASS(Cls, Parent)                                        \
public:                                                              \
    using inherited = Parent;                                        \
    static TClass StaticClass();                                     \
    TClass ClassType() const override { return Cls::StaticClass(); } \
                                                                     \
private:                                                             \
    [[no_unique_address]] qz_detail::TClassMark<Cls> FQzClassMark{this};

// In one source file: QZ_CLASS_IMPL(TMyClass, TParent) or, with published
// properties, QZ_CLASS_IMPL_PROPS(TMyClass, TParent, DefinerFunction).
#define QZ_CLASS_IMPL_PROPS(Cls, Parent, Definer)                                            \
    TClass Cls::StaticClass()                                                                \
    {                                                                                        \
        static const TClassRec* rec = qz_detail::MakeClassRec(                               \
            #Cls, Parent::StaticClass(),                                                     \
            qz_detail::HasFactory<Cls> ? &qz_detail::Factory<Cls> : nullptr, Definer);      \
        return rec;                                                                          \
    }
#define QZ_CLASS_IMPL(Cls, Parent) QZ_CLASS_IMPL_PROPS(Cls, Parent, nullptr)

// ---- sets ------------------------------------------------------------------

// A set of up to 256 enumeration values, as the class library's sets.
template <class E, size_t N = 256> class TSet {
public:
    TSet() = default;
    TSet(std::initializer_list<E> items) { for (E e : items) Include(e); }
    static TSet FromInt(uint64_t bits)
    {
        TSet s;
        for (size_t i = 0; i < 64 && i < N; ++i)
            if (bits & (uint64_t(1) << i)) s.FBits.set(i);
        return s;
    }
    uint64_t ToInt() const
    {
        uint64_t r = 0;
        for (size_t i = 0; i < 64 && i < N; ++i)
            if (FBits.test(i)) r |= uint64_t(1) << i;
        return r;
    }
    bool Contains(E e) const { return FBits.test(static_cast<size_t>(e)); }
    TSet& Include(E e) { FBits.set(static_cast<size_t>(e)); return *this; }
    TSet& Exclude(E e) { FBits.reset(static_cast<size_t>(e)); return *this; }
    bool Empty() const { return FBits.none(); }
    TSet operator+(const TSet& o) const { TSet r; r.FBits = FBits | o.FBits; return r; }
    TSet operator-(const TSet& o) const { TSet r; r.FBits = FBits & ~o.FBits; return r; }
    TSet operator*(const TSet& o) const { TSet r; r.FBits = FBits & o.FBits; return r; }
    TSet& operator+=(const TSet& o) { FBits |= o.FBits; return *this; }
    TSet& operator-=(const TSet& o) { FBits &= ~o.FBits; return *this; }
    TSet& operator*=(const TSet& o) { FBits &= o.FBits; return *this; }
    bool operator==(const TSet& o) const { return FBits == o.FBits; }
    bool operator<=(const TSet& o) const { return (FBits & ~o.FBits).none(); }   // subset
    bool operator>=(const TSet& o) const { return o <= *this; }
private:
    std::bitset<N> FBits;
};

// ---- Currency ---------------------------------------------------------------

// 64-bit fixed point with four decimals.
struct Currency {
    int64_t Value = 0;   // the amount times 10000
    Currency() = default;
    static Currency FromRaw(int64_t raw) { Currency c; c.Value = raw; return c; }
    static Currency FromInt(int64_t v) { return FromRaw(v * 10000); }
    // Rounds to four decimals, halves to even as the class library does;
    // raises EOverflow beyond the range and EInvalidOp for NaN.
    static Currency FromDouble(double d);
    double ToDouble() const { return double(Value) / 10000.0; }
    bool operator==(const Currency&) const = default;
    auto operator<=>(const Currency&) const = default;

    Currency operator-() const { return FromRaw(-Value); }
    Currency operator+(Currency o) const { return FromRaw(Value + o.Value); }
    Currency operator-(Currency o) const { return FromRaw(Value - o.Value); }
    Currency operator*(int64_t n) const { return FromRaw(Value * n); }
    Currency& operator+=(Currency o) { Value += o.Value; return *this; }
    Currency& operator-=(Currency o) { Value -= o.Value; return *this; }
    // Products and quotients go through double and round back to four decimals.
    Currency operator*(Currency o) const { return FromDouble(ToDouble() * o.ToDouble()); }
    Currency operator/(Currency o) const;   // raises EZeroDivide for a zero divisor
};
