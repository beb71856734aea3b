#include "Components.h"
#include "TypInfo.h"
#include "TextUtils.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <unordered_map>

struct TComponentNames {
    // Upper-case name to component; several only where a descendant's own
    // rename rules let two owned components share a name.
    std::unordered_multimap<std::string, TComponent*> Map;
};

namespace {

void DefineComponentProps(std::vector<TPropInfo>& p)
{
    // Name is written by the streaming code itself, never as a property.
    p.push_back(PublishString<TComponent>("Name", &TComponent::Name, &TComponent::SetName,
                                          "TComponentName")
                    .NotStored());
    // Tag is an Integer to the streaming and scripting code, whatever it holds.
    p.push_back(PublishInt<TComponent>(
        "Tag", [](TComponent* c) { return int(c->Tag()); },
        [](TComponent* c, int v) { c->SetTag(v); }, 0));
}

// Names are identifiers, so comparing them without regard to case is
// comparing their ASCII upper case.
std::string NameKey(const std::string& name) { return UpperCase(name); }

template <class T> typename std::vector<T*>::iterator FindLast(std::vector<T*>& v, T* item)
{
    auto it = std::find(v.rbegin(), v.rend(), item);
    return it == v.rend() ? v.end() : std::prev(it.base());
}

}   // namespace

QZ_CLASS_IMPL(TInterfacedObject, TObject)
QZ_CLASS_IMPL(TPersistent, TObject)
QZ_CLASS_IMPL(TInterfacedPersistent, TPersistent)
QZ_CLASS_IMPL_PROPS(TComponent, TPersistent, DefineComponentProps)

// ---- GUIDs and interfaces ---------------------------------------------------------

TGUID StringToGUID(const std::string& s)
{
    return TGUID::Parse(s.c_str());
}

std::string GUIDToString(const TGUID& g)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  unsigned(g.D1), unsigned(g.D2), unsigned(g.D3), g.D4[0], g.D4[1], g.D4[2],
                  g.D4[3], g.D4[4], g.D4[5], g.D4[6], g.D4[7]);
    return buf;
}

int TInterfacedObject::_Release()
{
    int r = --FRefCount;
    if (r == 0) FreeObject(this);
    return r;
}

// ---- TPersistent -------------------------------------------------------------------

void TPersistent::Assign(TPersistent* source)
{
    if (source)
        source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest)
{
    dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* source)
{
    std::string sourceName = source ? source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() const
{
    std::string result = ClassName();
    if (TPersistent* owner = GetOwner()) {
        std::string s = owner->GetNamePath();
        if (!s.empty()) result = s + "." + result;
    }
    return result;
}

// ---- TComponent --------------------------------------------------------------------

bool IsValidIdent(const std::string& s)
{
    if (s.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0])) return false;
    for (char c : s)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

TComponent::TComponent(TComponent* owner)
{
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    RunFreeNotifications();   // links made since BeforeDestruction, or all of them
    DestroyComponents();
    if (FOwner) {
        if (FRemovalAnnounced)
            FOwner->Remove(this);
        else
            FOwner->RemoveComponent(this);
    }
}

void TComponent::BeforeDestruction()
{
    if (!FComponentState.Contains(csDestroying)) Destroying();
    RunFreeNotifications();
    if (FOwner && !FRemovalAnnounced) {
        FRemovalAnnounced = true;
        FOwner->Notification(this, opRemove);
    }
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::RunFreeNotifications()
{
    // Each target drops its link before it hears the news, so a target that
    // frees more components while handling it cannot make us visit it twice.
    while (!FFreeNotifies.empty()) {
        TComponent* c = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& back = c->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        c->Notification(this, opRemove);
    }
}

void TComponent::DestroyComponents()
{
    // Last owned first; each removal is announced so that the remaining
    // components drop their references before their turn comes.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        RemoveComponent(c);
        FreeObject(c);
    }
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FComponents[index];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner) return -1;
    const auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TComponent::SetComponentIndex(int value)
{
    if (!FOwner) return;
    int cur = ComponentIndex();
    if (cur < 0) return;
    auto& list = FOwner->FComponents;
    int count = int(list.size());
    if (value < 0) value = 0;
    if (value >= count) value = count - 1;
    if (value == cur) return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + value, this);
    if (FListening) {
        StopListening();
        ListenToOwner();
    }
}

void TComponent::InsertComponent(TComponent* component)
{
    if (!component || component->FOwner == this) return;
    // Owning oneself or one's own owner would make a loop that notification
    // and freeing never leave.
    for (const TComponent* o = this; o; o = o->FOwner)
        if (o == component)
            throw EComponentError("A component cannot own itself or its owner");
    component->ValidateContainer(this);
    ValidateInsert(component);
    if (!component->FName.empty() && FindComponent(component->FName))
        throw EComponentError("A component named " + component->FName + " already exists");
    // A component has one owner: leaving the old one is announced there.
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    Insert(component);
    if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    if (!component || component->FOwner != this) return;
    ValidateRename(component, component->FName, "");
    Notification(component, opRemove);
    Remove(component);
}

void TComponent::Insert(TComponent* component)
{
    FComponents.push_back(component);
    component->FOwner = this;
    IndexName(component);
    if (component->FHandlesNotification || !component->FComponents.empty() ||
        !component->FFreeNotifies.empty())
        component->ListenToOwner();
    // An owner passes news on to what it owns.
    ListenToOwner();
}

void TComponent::Remove(TComponent* component)
{
    // Owners free and lose their components last first: search from the end.
    auto it = FindLast(FComponents, component);
    if (it != FComponents.end()) FComponents.erase(it);
    if (component->FOwner == this) {
        component->StopListening();
        UnindexName(component, component->FName);
    }
    component->FOwner = nullptr;
}

void TComponent::ListenToOwner()
{
    if (!FOwner || FListening) return;
    std::vector<TComponent*>& listeners = FOwner->FListeners;
    std::vector<TComponent*>& owned = FOwner->FComponents;
    // After the nearest listener that precedes it among the owned
    // components; the newest component simply goes last.
    size_t at = 0;
    if (!owned.empty() && owned.back() == this) {
        at = listeners.size();
    } else {
        auto self = std::find(owned.rbegin(), owned.rend(), this);
        for (auto it = self == owned.rend() ? self : std::next(self); it != owned.rend(); ++it) {
            if (!(*it)->FListening) continue;
            at = size_t(FindLast(listeners, *it) - listeners.begin()) + 1;
            break;
        }
    }
    listeners.insert(listeners.begin() + std::ptrdiff_t(at), this);
    FListening = true;
}

void TComponent::StopListening()
{
    if (!FListening) return;
    FListening = false;
    if (!FOwner) return;
    auto it = FindLast(FOwner->FListeners, this);
    if (it != FOwner->FListeners.end()) FOwner->FListeners.erase(it);
}

void qz_detail::ClassHandlesNotification(TComponent* component)
{
    component->FHandlesNotification = true;
    component->ListenToOwner();
}

void TComponent::IndexName(TComponent* component)
{
    if (component->FName.empty()) return;
    if (!FNames) FNames = std::make_unique<TComponentNames>();
    FNames->Map.emplace(NameKey(component->FName), component);
}

void TComponent::UnindexName(TComponent* component, const std::string& name)
{
    if (name.empty() || !FNames) return;
    auto range = FNames->Map.equal_range(NameKey(name));
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == component) {
            FNames->Map.erase(it);
            return;
        }
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty() || !FNames) return nullptr;
    auto range = FNames->Map.equal_range(NameKey(name));
    if (range.first == range.second) return nullptr;
    if (std::next(range.first) == range.second) return range.first->second;
    for (TComponent* c : FComponents)
        for (auto it = range.first; it != range.second; ++it)
            if (it->second == c) return c;
    return nullptr;
}

void TComponent::SetName(const std::string& newName)
{
    if (FName == newName) return;
    if (!newName.empty() && !IsValidIdent(newName))
        throw EComponentError("'" + newName + "' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, newName);
    else
        ValidateRename(nullptr, FName, newName);
    std::string oldName = FName;
    FName = newName;
    if (FOwner) {
        FOwner->UnindexName(this, oldName);
        FOwner->IndexName(this);
    }
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName)
{
    if (component && !newName.empty() && !SameText(curName, newName) &&
        component->FOwner == this) {
        TComponent* other = FindComponent(newName);
        if (other && other != component)
            throw EComponentError("A component named " + newName + " already exists");
    }
    if (FComponentState.Contains(csDesigning) && FOwner)
        FOwner->ValidateRename(component, curName, newName);
}

void TComponent::SetDesigning(bool value, bool setChildren)
{
    SetComponentStateFlag(csDesigning, value);
    if (setChildren)
        for (TComponent* c : FComponents) c->SetDesigning(value, true);
}

void TComponent::SetComponentStateFlag(TComponentStateItem flag, bool on)
{
    if (on)
        FComponentState.Include(flag);
    else
        FComponentState.Exclude(flag);
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
        FFreeNotifies.push_back(component);
    auto& back = component->FFreeNotifies;
    if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
    FComponentState.Include(csFreeNotification);
    component->FComponentState.Include(csFreeNotification);
    // Base Notification clears links: both ends now act on their owners' news.
    ListenToOwner();
    component->ListenToOwner();
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    if (!component) return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component),
                        FFreeNotifies.end());
    auto& back = component->FFreeNotifies;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component) RemoveFreeNotification(component);
    // The owned components that act on news, from the end; re-clamp, as a
    // handler may free components.
    int i = int(FListeners.size()) - 1;
    while (i >= 0) {
        FListeners[size_t(i)]->Notification(component, operation);
        --i;
        if (i >= int(FListeners.size())) i = int(FListeners.size()) - 1;
    }
}

void TComponent::Loaded()
{
    FComponentState.Exclude(csLoading);
}

void TComponent::Updating()
{
    FComponentState.Include(csUpdating);
}

void TComponent::Updated()
{
    FComponentState.Exclude(csUpdating);
}
