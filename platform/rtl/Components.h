// Persistent objects, components with owners and free notification,
// interfaces with optional reference counting, and the common event types.
#pragma once

#include "System.h"
#include "Exceptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// ---- events -----------------------------------------------------------------

// Event delegates: "assigned" means non-empty.
using TNotifyEvent = std::function<void(TObject* sender)>;
using TGetStrProc = std::function<void(const std::string& s)>;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem, 8>;

// The common handler shapes that need no window-system types (mouse and
// close-action events live with the controls).
using TKeyEvent = std::function<void(TObject* sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
using TCanResizeEvent =
    std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;

// ---- interfaces -------------------------------------------------------------

struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0, D3 = 0;
    uint8_t D4[8] = {};

    bool operator==(const TGUID& o) const
    {
        if (D1 != o.D1 || D2 != o.D2 || D3 != o.D3) return false;
        for (int i = 0; i < 8; ++i)
            if (D4[i] != o.D4[i]) return false;
        return true;
    }

    // Reads "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"; usable in constant
    // expressions, so an interface id is checked when compiled.
    static constexpr TGUID Parse(const char* s)
    {
        TGUID g;
        int pos = 0;
        auto hex = [&](int digits) -> uint32_t {
            uint32_t v = 0;
            for (int i = 0; i < digits; ++i) {
                char c = s[pos++];
                int d = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
                if (d < 0) throw EConvertError(std::string("'") + s + "' is not a valid GUID value");
                v = v * 16 + uint32_t(d);
            }
            return v;
        };
        auto expect = [&](char c) {
            if (s[pos++] != c) throw EConvertError(std::string("'") + s + "' is not a valid GUID value");
        };
        expect('{');
        g.D1 = hex(8);
        expect('-');
        g.D2 = uint16_t(hex(4));
        expect('-');
        g.D3 = uint16_t(hex(4));
        expect('-');
        g.D4[0] = uint8_t(hex(2));
        g.D4[1] = uint8_t(hex(2));
        expect('-');
        for (int i = 2; i < 8; ++i) g.D4[i] = uint8_t(hex(2));
        expect('}');
        if (s[pos] != 0) throw EConvertError(std::string("'") + s + "' is not a valid GUID value");
        return g;
    }
};

TGUID StringToGUID(const std::string& s);   // raises EConvertError
std::string GUIDToString(const TGUID& g);    // upper-case hex, with braces

using HRESULT = int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);

// The root of every interface. Interfaces derive from it virtually and carry
// their id as `static constexpr TGUID IID`. QueryInterface stores the asked
// interface pointer (as that interface's type) in *obj and, like every
// successful query, adds a reference.
class IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{00000000-0000-0000-C000-000000000046}");
    virtual HRESULT QueryInterface(const TGUID& iid, void** obj) = 0;
    virtual int _AddRef() = 0;
    virtual int _Release() = 0;

protected:
    virtual ~IInterface() = default;
};

namespace qz_detail {
template <class Self, class I> bool QueryOne(Self* self, const TGUID& iid, void** obj)
{
    if (!(iid == I::IID)) return false;
    I* p = static_cast<I*>(self);
    *obj = p;
    p->_AddRef();
    return true;
}
}

// Answers a query for the listed interfaces of self; E_NOINTERFACE otherwise.
template <class... Is, class Self> HRESULT QueryInterfaceOf(Self* self, const TGUID& iid, void** obj)
{
    if ((qz_detail::QueryOne<Self, Is>(self, iid, obj) || ...)) return S_OK;
    return E_NOINTERFACE;
}

// In a class body: QZ_INTERFACES(IFoo, IBar) answers queries for those
// interfaces and passes the others to the parent class.
#define QZ_INTERFACES(...)                                                        \
public:                                                                           \
    HRESULT QueryInterface(const TGUID& iid, void** obj) override                 \
    {                                                                             \
        if (QueryInterfaceOf<__VA_ARGS__>(this, iid, obj) == S_OK) return S_OK;   \
        return inherited::QueryInterface(iid, obj);                               \
    }                                                                             \
                                                                                  \
private:

// An interface reference that holds one reference count, as an interface
// variable does.
template <class I> class TIntf {
public:
    TIntf() = default;
    TIntf(I* p) : FPtr(p) { if (FPtr) FPtr->_AddRef(); }
    TIntf(const TIntf& o) : TIntf(o.FPtr) {}
    TIntf(TIntf&& o) noexcept : FPtr(o.FPtr) { o.FPtr = nullptr; }
    ~TIntf() { Reset(); }
    TIntf& operator=(const TIntf& o)
    {
        if (o.FPtr) o.FPtr->_AddRef();
        Reset();
        FPtr = o.FPtr;
        return *this;
    }
    TIntf& operator=(TIntf&& o) noexcept
    {
        if (this != &o) {
            Reset();
            FPtr = o.FPtr;
            o.FPtr = nullptr;
        }
        return *this;
    }
    // Takes over a reference already counted (as QueryInterface returns it).
    static TIntf Attach(I* p)
    {
        TIntf r;
        r.FPtr = p;
        return r;
    }
    void Reset()
    {
        I* p = FPtr;
        FPtr = nullptr;
        if (p) p->_Release();
    }
    I* Get() const { return FPtr; }
    I* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    bool operator==(const TIntf& o) const { return FPtr == o.FPtr; }

private:
    I* FPtr = nullptr;
};

namespace qz_detail {
template <class P> IInterface* AsIntf(P* p)
{
    if constexpr (std::is_base_of_v<IInterface, P>)
        return p;
    else
        return dynamic_cast<IInterface*>(p);
}
}

// Whether p (an interface or an object) offers interface I; the typed
// reference goes to out.
template <class I, class P> bool Supports(P* p, TIntf<I>& out)
{
    out.Reset();
    IInterface* intf = p ? qz_detail::AsIntf(p) : nullptr;
    void* q = nullptr;
    if (!intf || intf->QueryInterface(I::IID, &q) != S_OK || !q) return false;
    out = TIntf<I>::Attach(static_cast<I*>(q));
    return true;
}
// A plain test; touches no reference count when the class implements I
// itself, so it never frees a reference-counted object with no references.
template <class I, class P> bool Supports(P* p)
{
    if (!p) return false;
    if (dynamic_cast<I*>(p)) return true;
    IInterface* intf = qz_detail::AsIntf(p);
    void* q = nullptr;
    if (!intf || intf->QueryInterface(I::IID, &q) != S_OK || !q) return false;
    static_cast<I*>(q)->_Release();
    return true;
}
template <class I> bool Supports(std::nullptr_t) { return false; }

// A reference-counted object: freed when its last interface reference goes.
class TInterfacedObject : public TObject, public virtual IInterface {
    QZ_CLASS(TInterfacedObject, TObject)
public:
    HRESULT QueryInterface(const TGUID& iid, void** obj) override
    {
        return QueryInterfaceOf<IInterface>(this, iid, obj);
    }
    int _AddRef() override { return ++FRefCount; }
    int _Release() override;
    int RefCount() const { return FRefCount; }

private:
    int FRefCount = 0;
};

// ---- TPersistent --------------------------------------------------------------

class TFiler;   // the component streaming layer's reader/writer base

// An object that can copy itself from another and names itself for the
// designers ("Form1.Grid1.Columns[2]").
class TPersistent : public TObject {
    QZ_CLASS(TPersistent, TObject)
public:
    // Copies source into this object; raises EConvertError
    // "Cannot assign a <source class> to a <this class>" when neither side
    // knows how.
    virtual void Assign(TPersistent* source);
    virtual std::string GetNamePath() const;
    virtual TPersistent* GetOwner() const { return nullptr; }
    // Streaming hook: a class declares here the data it stores beyond its
    // published properties.
    virtual void DefineProperties(TFiler* filer) {}

protected:
    virtual void AssignTo(TPersistent* dest);
    [[noreturn]] void AssignError(TPersistent* source);
};

// A persistent object that answers interface queries without reference
// counting (its owner frees it).
class TInterfacedPersistent : public TPersistent, public virtual IInterface {
    QZ_CLASS(TInterfacedPersistent, TPersistent)
public:
    HRESULT QueryInterface(const TGUID& iid, void** obj) override
    {
        return QueryInterfaceOf<IInterface>(this, iid, obj);
    }
    int _AddRef() override { return -1; }
    int _Release() override { return -1; }
};

// ---- TComponent -------------------------------------------------------------

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
    csFixups, csFreeNotification, csInline, csDesignInstance
};
using TComponentState = TSet<TComponentStateItem, 16>;

using TGetChildProc = std::function<void(TComponent* child)>;

struct TComponentNames;   // the owned components by name

// A named object in an ownership tree. The owner frees what it owns (last
// owned first); Notification tells the owner's components of insertions and
// removals, and FreeNotification asks to be told when another component goes
// (both ways: each is told when the other goes), so references to it can be
// cleared. Components with an owner are made with new and freed by the owner
// or with FreeObject. Interface queries do not count references.
//
// An owner of many components stays quick: its news go only to the owned
// components that can act on them (whose class handles Notification, that
// own components themselves or that are linked by free notification; the
// others would do nothing with them), and it finds owned components by name
// through an index. A class that handles Notification declares its class
// record (QZ_CLASS), as every class of the object model does.
class TComponent : public TPersistent, public virtual IInterface {
    QZ_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return int(FComponents.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const;                 // index in the owner; -1 when none
    void SetComponentIndex(int value);
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Owned component by name (case-insensitive); null when none or name empty.
    TComponent* FindComponent(const std::string& name) const;
    void DestroyComponents();

    const std::string& Name() const { return FName; }
    virtual void SetName(const std::string& newName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t value) { FTag = value; }
    TComponentState ComponentState() const { return FComponentState; }
    void SetDesigning(bool value, bool setChildren = true);

    // Ask to be told (by Notification(this, opRemove)) when component goes,
    // and cancel that wish.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Marks the component as being destroyed (csDestroying) and tells the
    // owned components; run before destruction.
    void Destroying();
    // Freed through FreeObject (as owners free), a component announces its
    // going while it is still whole, so handlers of Notification see its
    // real class; plain delete announces it from the destructor.
    void BeforeDestruction() override;
    std::string GetNamePath() const override { return FName; }
    TPersistent* GetOwner() const override { return FOwner; }

    // Loading support for readers: Loaded is called once all properties of a
    // read are set, and clears csLoading.
    virtual void Loaded();
    virtual void Updating();
    virtual void Updated();
    // For readers, writers and designers: sets or clears one state flag.
    void SetComponentStateFlag(TComponentStateItem flag, bool on);

    HRESULT QueryInterface(const TGUID& iid, void** obj) override
    {
        return QueryInterfaceOf<IInterface>(this, iid, obj);
    }
    int _AddRef() override { return -1; }
    int _Release() override { return -1; }

    // Streaming of parent and children: the components a writer stores
    // under this one (root: the component being written), the parent a
    // reader restores, and the order of a child among its siblings.
    virtual void GetChildren(const TGetChildProc& proc, TComponent* root) {}
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* value) {}
    virtual void SetChildOrder(TComponent* child, int order) {}

    // Every component's notification hook; the base clears free-notification
    // links and passes the news on to the owned components.
    virtual void Notification(TComponent* component, TOperation operation);

protected:
    virtual void ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName);
    virtual void ValidateInsert(TComponent* component) {}
    virtual void ValidateContainer(TComponent* component) {}

private:
    friend void qz_detail::ClassHandlesNotification(TComponent* component);
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void RunFreeNotifications();
    // Joins the owner's listeners once the component can act on its news;
    // a listener stays one until it leaves the owner.
    void ListenToOwner();
    void StopListening();
    void IndexName(TComponent* component);
    void UnindexName(TComponent* component, const std::string& name);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    // The owned components told of insertions and removals, in the order of
    // FComponents.
    std::vector<TComponent*> FListeners;
    std::unique_ptr<TComponentNames> FNames;
    std::vector<TComponent*> FFreeNotifies;
    std::string FName;
    intptr_t FTag = 0;
    TComponentState FComponentState;
    bool FRemovalAnnounced = false;   // the owner's components were told already
    bool FHandlesNotification = false;   // its class handles Notification
    bool FListening = false;             // it is one of its owner's FListeners
};

// Whether s is a valid identifier (ASCII letter or underscore first, then
// letters, digits and underscores).
bool IsValidIdent(const std::string& s);
