// Process-wide registries naming the default editor (a repository item) for
// a key: the registry base and the one keyed by value type class.
#pragma once

#include "cxClasses.h"
#include "cxDataStorage.h"
#include "cxEdit.h"

#include <cstdint>
#include <memory>
#include <vector>

// Keys hold class references, so they are as wide as a pointer.
using TcxEditRegisteredItemKey = std::intptr_t;

struct TcxEditRegisteredRepositoryItemsEntry {
    TcxEditRegisteredItemKey Key = 0;
    int Priority = 0;
    TcxEditRepositoryItem* Item = nullptr;   // not owned; the registry listens to it
};

using TcxEditRegisteredRepositoryItemsList = std::vector<std::unique_ptr<TcxEditRegisteredRepositoryItemsEntry>>;

// Each list stays sorted by key, then priority, both descending. The
// registry listens to every item it holds and forgets an item as it is freed.
class TcxEditRegisteredRepositoryItems : public TcxInterfacedPersistent, public IcxEditRepositoryItemListener {
    QZ_CLASS(TcxEditRegisteredRepositoryItems, TcxInterfacedPersistent)
public:
    explicit TcxEditRegisteredRepositoryItems(TPersistent* AOwner = nullptr);
    ~TcxEditRegisteredRepositoryItems() override;

    void ItemRemoved(TObject* Sender) override;
    void PropertiesChanged(TObject* Sender) override;
    // The index of the entry for (AKey, APriority): an existing one is kept as it is.
    virtual int InsertEntry(TcxEditRegisteredRepositoryItemsList& AList, TcxEditRegisteredItemKey AKey,
                            TcxEditRepositoryItem* AItem, int APriority);
    virtual void Changed() {}
    // The default item of the highest priority; null when there is none.
    virtual TcxEditRepositoryItem* GetDefaultItem();
    // The item of any priority registered under AKey, else the default item.
    virtual TcxEditRepositoryItem* GetItem(TcxEditRegisteredItemKey AKey);
    virtual void RegisterDefaultItem(int APriority, TcxEditRepositoryItem* AItem);
    virtual void RegisterItem(TcxEditRegisteredItemKey AKey, int APriority, TcxEditRepositoryItem* AItem);
    virtual void UnregisterDefaultItem(int APriority);
    virtual void UnregisterItem(TcxEditRegisteredItemKey AKey, int APriority);

    const TcxEditRegisteredRepositoryItemsList& DefaultList() const { return FDefaultList; }
    const TcxEditRegisteredRepositoryItemsList& KeyedList() const { return FKeyedList; }

protected:
    // Binary search; a priority of MaxInt matches any priority of the key.
    // Without a match AIndex is where the pair belongs.
    static bool Find(const TcxEditRegisteredRepositoryItemsList& AList, TcxEditRegisteredItemKey AKey,
                     int APriority, int& AIndex);
    void DeleteEntry(TcxEditRegisteredRepositoryItemsList& AList, int AIndex);
    void DeleteItemEntries(TcxEditRegisteredRepositoryItemsList& AList, TObject* AItem);
    void Clear(TcxEditRegisteredRepositoryItemsList& AList);
    static TcxEditRepositoryItem* FirstItem(const TcxEditRegisteredRepositoryItemsList& AList);
    // Every list of entries: an item is heard while any of them holds it.
    virtual std::vector<const TcxEditRegisteredRepositoryItemsList*> Lists() const;

private:
    TcxEditRegisteredRepositoryItemsList FDefaultList, FKeyedList;
};

class TcxEditDataRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
    QZ_CLASS(TcxEditDataRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
public:
    explicit TcxEditDataRegisteredRepositoryItems(TPersistent* AOwner = nullptr)
        : TcxEditRegisteredRepositoryItems(AOwner) {}
    using TcxEditRegisteredRepositoryItems::RegisterItem;
    using TcxEditRegisteredRepositoryItems::UnregisterItem;
    // The default item for null or an unregistered class.
    TcxEditRepositoryItem* GetItemByValueTypeClass(TcxValueTypeClass AValueTypeClass);
    void RegisterItem(TcxValueTypeClass AValueTypeClass, int APriority, TcxEditRepositoryItem* AItem);
    void UnregisterItem(TcxValueTypeClass AValueTypeClass, int APriority);
    static TcxEditRegisteredItemKey KeyOf(TcxValueTypeClass AValueTypeClass);
};

namespace cxEditDataRegisteredRepositoryItems {
// The registry, made (empty) on the first call.
TcxEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems();
// Fills the registry with the default editors of the value types, each a new
// item of the default edit repository: text by default, a check box for
// Boolean values, currency edits for currency and FMTBcd values, date edits
// for date-time and SQL time-stamp values. Later calls do nothing while its items last.
void Initialize();
// Frees the registry.
void Finalize();
}  // namespace cxEditDataRegisteredRepositoryItems
