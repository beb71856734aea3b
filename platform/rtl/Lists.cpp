#include "Lists.h"
#include "TypInfo.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

QZ_CLASS_IMPL(TList, TObject)
QZ_CLASS_IMPL(TObjectList, TList)
QZ_CLASS_IMPL(TInterfaceList, TObject)
QZ_CLASS_IMPL(TCollectionItem, TPersistent)
QZ_CLASS_IMPL(TCollection, TPersistent)
QZ_CLASS_IMPL(TOwnedCollection, TCollection)

namespace {
[[noreturn]] void ListIndexError(int index)
{
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}
}

// ---- TList ------------------------------------------------------------------

TList::~TList()
{
    // A descendant's Notify is gone by now; descendants that act on removal
    // clear themselves in their own destructor.
    FList.clear();
}

void TList::Error(const char* fmt, int data)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, data);
    throw EListError(buf);
}

void TList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) Error("List index out of bounds (%d)", index);
}

int TList::Add(void* item)
{
    int index = Count();
    if (index == FCapacity) Expand();
    FList.push_back(item);
    if (item) Notify(item, lnAdded);
    return index;
}

void TList::Insert(int index, void* item)
{
    if (index < 0 || index > Count()) Error("List index out of bounds (%d)", index);
    if (Count() == FCapacity) Expand();
    FList.insert(FList.begin() + index, item);
    if (item) Notify(item, lnAdded);
}

void TList::Delete(int index)
{
    CheckIndex(index);
    void* item = FList[index];
    FList.erase(FList.begin() + index);
    if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item)
{
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* item)
{
    int index = IndexOf(item);
    if (index < 0) return nullptr;
    FList.erase(FList.begin() + index);
    if (item) Notify(item, lnExtracted);
    return item;
}

int TList::IndexOf(void* item) const
{
    auto it = std::find(FList.begin(), FList.end(), item);
    return it == FList.end() ? -1 : int(it - FList.begin());
}

void TList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FList[index1], FList[index2]);
}

void TList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    void* item = FList[curIndex];
    FList.erase(FList.begin() + curIndex);
    FList.insert(FList.begin() + newIndex, item);
}

void TList::Pack()
{
    FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end());
}

void TList::Sort(const TListSortCompare& compare)
{
    if (!compare || FList.size() < 2) return;
    std::stable_sort(FList.begin(), FList.end(),
                     [&](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::Clear()
{
    SetCount(0);
    SetCapacity(0);
}

TList* TList::Expand()
{
    if (Count() == FCapacity) {
        int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
        SetCapacity(FCapacity + delta);
    }
    return this;
}

void TList::SetCapacity(int value)
{
    if (value < Count() || value > (1 << 27)) Error("List capacity out of bounds (%d)", value);
    FCapacity = value;
    if (value == 0)
        std::vector<void*>().swap(FList);
    else
        FList.reserve(size_t(value));
}

void TList::SetCount(int value)
{
    if (value < 0 || value > (1 << 27)) Error("List count out of bounds (%d)", value);
    if (value > FCapacity) SetCapacity(value);
    if (value > Count())
        FList.resize(size_t(value), nullptr);
    else
        for (int i = Count() - 1; i >= value; --i) Delete(i);
}

void* TList::Items(int index) const
{
    CheckIndex(index);
    return FList[index];
}

void TList::SetItems(int index, void* item)
{
    CheckIndex(index);
    void* old = FList[index];
    if (old == item) return;
    FList[index] = item;
    if (old) Notify(old, lnDeleted);
    if (item) Notify(item, lnAdded);
}

// ---- TObjectList ---------------------------------------------------------------

TObjectList::~TObjectList()
{
    Clear();   // frees the owned objects, last first, while Notify is still ours
}

void TObjectList::Notify(void* ptr, TListNotification action)
{
    if (FOwnsObjects && action == lnDeleted) FreeObject(static_cast<TObject*>(ptr));
    TList::Notify(ptr, action);
}

int TObjectList::FindInstanceOf(TClass c, bool exact, int startAt) const
{
    for (int i = std::max(startAt, 0); i < Count(); ++i) {
        TObject* o = Items(i);
        if (!o) continue;
        if (exact ? o->ClassType() == c : o->InheritsFrom(c)) return i;
    }
    return -1;
}

// ---- TInterfaceList ------------------------------------------------------------

struct TInterfaceList::TImpl {
    mutable std::recursive_mutex Mutex;
    std::vector<TIntf<IInterface>> Items;
    void Check(int index) const
    {
        if (index < 0 || index >= int(Items.size())) ListIndexError(index);
    }
};

TInterfaceList::TInterfaceList() : FImpl(std::make_unique<TImpl>()) {}

TInterfaceList::~TInterfaceList()
{
    Clear();
}

int TInterfaceList::Add(IInterface* item)
{
    std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
    FImpl->Items.emplace_back(item);
    return int(FImpl->Items.size()) - 1;
}

void TInterfaceList::Insert(int index, IInterface* item)
{
    std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
    if (index < 0 || index > int(FImpl->Items.size())) ListIndexError(index);
    FImpl->Items.insert(FImpl->Items.begin() + index, TIntf<IInterface>(item));
}

void TInterfaceList::Delete(int index)
{
    TIntf<IInterface> gone;   // released after the lock, in case that frees a listener
    {
        std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
        FImpl->Check(index);
        gone = std::move(FImpl->Items[size_t(index)]);
        FImpl->Items.erase(FImpl->Items.begin() + index);
    }
}

int TInterfaceList::Remove(IInterface* item)
{
    std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

int TInterfaceList::IndexOf(IInterface* item) const
{
    std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
    for (size_t i = 0; i < FImpl->Items.size(); ++i)
        if (FImpl->Items[i].Get() == item) return int(i);
    return -1;
}

void TInterfaceList::Exchange(int index1, int index2)
{
    std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
    FImpl->Check(index1);
    FImpl->Check(index2);
    std::swap(FImpl->Items[size_t(index1)], FImpl->Items[size_t(index2)]);
}

void TInterfaceList::Clear()
{
    std::vector<TIntf<IInterface>> gone;
    {
        std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
        gone.swap(FImpl->Items);
    }
}

int TInterfaceList::Count() const
{
    std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
    return int(FImpl->Items.size());
}

IInterface* TInterfaceList::Items(int index) const
{
    std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
    FImpl->Check(index);
    return FImpl->Items[size_t(index)].Get();
}

void TInterfaceList::SetItems(int index, IInterface* item)
{
    TIntf<IInterface> old;
    {
        std::lock_guard<std::recursive_mutex> g(FImpl->Mutex);
        FImpl->Check(index);
        old = std::move(FImpl->Items[size_t(index)]);
        FImpl->Items[size_t(index)] = TIntf<IInterface>(item);
    }
}

void TInterfaceList::Lock()
{
    FImpl->Mutex.lock();
}

void TInterfaceList::Unlock()
{
    FImpl->Mutex.unlock();
}

// ---- TCollectionItem -----------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* collection)
{
    SetCollection(collection);
}

TCollectionItem::~TCollectionItem()
{
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* value)
{
    if (value == FCollection) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (value) value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection) return -1;
    const auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : int(it - items.begin());
}

void TCollectionItem::SetIndex(int value)
{
    int cur = Index();
    if (cur < 0 || cur == value) return;
    auto& items = FCollection->FItems;
    if (value < 0 || value >= int(items.size()))
        ListIndexError(value);
    items.erase(items.begin() + cur);
    items.insert(items.begin() + value, this);
    Changed(true);
}

std::string TCollectionItem::GetNamePath() const
{
    if (!FCollection) return ClassName();
    return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const
{
    return FCollection;
}

void TCollectionItem::Changed(bool allItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(allItems ? nullptr : this);
}

// ---- TCollection ------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass itemClass)
    : FItemClass(itemClass ? itemClass : TCollectionItem::StaticClass())
{
}

TCollection::~TCollection()
{
    // Removal is no news any more: hold back Update while the items go.
    FUpdateCount = 1;
    while (!FItems.empty()) FreeObject(FItems.back());
}

TCollectionItem* TCollection::Add()
{
    TObject* o = FItemClass->Create();
    auto* item = DynamicCast<TCollectionItem>(o);
    if (!item) {
        FreeObject(o);
        throw EInvalidOperation("Cannot create an item of class " + FItemClass->Name);
    }
    item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(int index)
{
    if (index < 0 || index > Count()) ListIndexError(index);
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index)
{
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    FreeObject(item);
}

void TCollection::Clear()
{
    if (FItems.empty()) return;
    BeginUpdate();
    try {
        while (!FItems.empty()) FreeObject(FItems.back());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

TCollectionItem* TCollection::FindItemID(int id) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == id) return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TCollection>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    if (src == this) return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : src->FItems) Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TCollection::GetNamePath() const
{
    TPersistent* owner = GetOwner();
    if (!owner) return ClassName();
    std::string s = owner->GetNamePath();
    if (s.empty()) return ClassName();
    std::string p = PropName();
    if (p.empty()) return ClassName();
    return s + "." + p;
}

std::string TCollection::PropName() const
{
    TPersistent* owner = GetOwner();
    if (!owner) return "";
    for (PPropInfo info : GetPropList(owner))
        if (info->Kind == tkClass && info->GetObj && info->GetObj(owner) == this) return info->Name;
    return "";
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count()) ListIndexError(index);
    return FItems[index];
}

void TCollection::Notify(TCollectionItem* item, TCollectionNotification action)
{
    if (action == cnAdded) Added(item);
    else if (action == cnDeleting) Deleting(item);
}

void TCollection::Changed()
{
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item)
{
    FItems.push_back(item);
    item->FCollection = this;
    item->FID = FNextID++;
    Notify(item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item)
{
    Notify(item, cnExtracting);
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it != FItems.end()) FItems.erase(it);
    item->FCollection = nullptr;
    Changed();
}
