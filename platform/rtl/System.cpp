#include "System.h"
#include "Exceptions.h"
#include "TypInfo.h"

#include <cmath>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {

std::string UpperAscii(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return r;
}

struct HandleTable {
    std::mutex Lock;
    uint32_t Next = 0;
    std::unordered_map<uint32_t, std::weak_ptr<TObjectLife>> Map;
};

HandleTable& Handles()
{
    static HandleTable* t = new HandleTable;   // lives for the whole process
    return *t;
}

struct ClassRegistry {
    std::mutex Lock;
    std::map<std::string, TClass> ByName;   // upper-case name -> class
};

ClassRegistry& Registry()
{
    static ClassRegistry* r = new ClassRegistry;
    return *r;
}

}   // namespace

TClassRec::TClassRec() = default;
TClassRec::~TClassRec() = default;

const std::vector<TPropInfo>& TClassRec::OwnProps() const
{
    if (!FPropsReady.load(std::memory_order_acquire)) {
        // One lock for all classes, re-entrant: a definer may look at other
        // classes' properties (its parent's, say) while it runs.
        static std::recursive_mutex* lock = new std::recursive_mutex;
        std::lock_guard<std::recursive_mutex> g(*lock);
        if (!FPropsReady.load(std::memory_order_relaxed)) {
            if (FPropsBusy)
                throw EInvalidOperation("Published properties of " + Name +
                                        " asked for while they are being defined");
            FPropsBusy = true;
            auto props = std::make_unique<std::vector<TPropInfo>>();
            try {
                if (Definer) Definer(*props);
            } catch (...) {
                FPropsBusy = false;
                throw;
            }
            FPropsBusy = false;
            FProps = std::move(props);
            FPropsReady.store(true, std::memory_order_release);
        }
    }
    return *FProps;
}

bool TClassRec::InheritsFrom(TClass other) const
{
    for (TClass c = this; c; c = c->Parent)
        if (c == other) return true;
    return false;
}

TObject* TClassRec::Create(TComponent* owner) const
{
    if (!Factory) throw EInvalidOperation("Cannot create an instance of abstract class " + Name);
    return Factory(owner);
}

TClass TObject::StaticClass()
{
    static const TClassRec* rec = qz_detail::MakeClassRec("TObject", nullptr,
                                                          &qz_detail::Factory<TObject>, nullptr);
    return rec;
}

TObject::~TObject()
{
    if (FLife) {
        FLife->Object = nullptr;
        if (FLife->Handle) {
            HandleTable& t = Handles();
            std::lock_guard<std::mutex> g(t.Lock);
            t.Map.erase(FLife->Handle);
        }
    }
}

std::shared_ptr<TObjectLife> TObject::Life() const
{
    if (!FLife) {
        FLife = std::make_shared<TObjectLife>();
        FLife->Object = const_cast<TObject*>(this);
    }
    return FLife;
}

void FreeObject(TObject* obj)
{
    if (!obj) return;
    obj->BeforeDestruction();
    delete obj;
}

namespace ObjectHandles {

uint32_t HandleOf(const TObject* obj)
{
    if (!obj) return 0;
    std::shared_ptr<TObjectLife> life = obj->Life();
    if (life->Handle) return life->Handle;
    HandleTable& t = Handles();
    std::lock_guard<std::mutex> g(t.Lock);
    life->Handle = ++t.Next;
    t.Map[life->Handle] = life;
    return life->Handle;
}

TObject* Resolve(uint32_t handle)
{
    if (!handle) return nullptr;
    HandleTable& t = Handles();
    std::lock_guard<std::mutex> g(t.Lock);
    auto it = t.Map.find(handle);
    if (it == t.Map.end()) return nullptr;
    std::shared_ptr<TObjectLife> life = it->second.lock();
    return life ? life->Object : nullptr;
}

TObject* Resolve(uint32_t handle, TClass expected)
{
    TObject* o = Resolve(handle);
    return o && (!expected || o->InheritsFrom(expected)) ? o : nullptr;
}

}   // namespace ObjectHandles

void RegisterClass(TClass c)
{
    // The class and its ancestors become known by name, so a stored form
    // naming a parent class reads too. Another class under a taken name is
    // refused: reading by name would otherwise make the wrong objects.
    ClassRegistry& r = Registry();
    std::lock_guard<std::mutex> g(r.Lock);
    for (; c && c->Parent; c = c->Parent) {
        auto [it, inserted] = r.ByName.emplace(UpperAscii(c->Name), c);
        if (inserted) continue;
        if (it->second != c) throw EFilerError("A class named " + c->Name + " already exists");
        break;   // registered before, and its ancestors with it
    }
}

void RegisterClasses(std::initializer_list<TClass> classes)
{
    for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass c)
{
    if (!c) return;
    ClassRegistry& r = Registry();
    std::lock_guard<std::mutex> g(r.Lock);
    auto it = r.ByName.find(UpperAscii(c->Name));
    if (it != r.ByName.end() && it->second == c) r.ByName.erase(it);
}

TClass GetClass(const std::string& name)
{
    ClassRegistry& r = Registry();
    std::lock_guard<std::mutex> g(r.Lock);
    auto it = r.ByName.find(UpperAscii(name));
    return it == r.ByName.end() ? nullptr : it->second;
}

TClass FindClass(const std::string& name)
{
    TClass c = GetClass(name);
    if (!c) throw EClassNotFound("Class " + name + " not found");
    return c;
}

TClassRec* qz_detail::MakeClassRec(const char* name, TClass parent,
                                   TObject* (*factory)(TComponent*), TPropDefiner definer)
{
    auto* rec = new TClassRec;   // class records live for the whole process
    rec->Name = name;
    rec->Parent = parent;
    rec->Factory = factory;
    rec->Definer = definer;
    return rec;
}

Currency Currency::FromDouble(double d)
{
    if (std::isnan(d)) throw EInvalidOp("Invalid floating point operation");
    double scaled = d * 10000.0;
    if (!(std::fabs(scaled) < 9.2233720368547758e18)) throw EOverflow("Floating point overflow");
    // Halves to even, as the class library rounds to Currency.
    double r = std::nearbyint(scaled);
    Currency c;
    c.Value = static_cast<int64_t>(r);
    return c;
}

Currency Currency::operator/(Currency o) const
{
    if (o.Value == 0) throw EZeroDivide("Floating point division by zero");
    return FromDouble(double(Value) / double(o.Value));
}

void Abort()
{
    throw EAbort("Operation aborted");
}
