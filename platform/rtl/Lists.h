// Pointer lists, object lists and collections: the containers the class
// library's components and their streaming are built on.
#pragma once

#include "Components.h"

#include <functional>
#include <memory>
#include <vector>

// ---- TList ------------------------------------------------------------------

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Compares two items: negative, zero or positive.
using TListSortCompare = std::function<int(void* item1, void* item2)>;

// A list of untyped pointers. Index errors raise EListError
// "List index out of bounds (%d)".
class TList : public TObject {
    QZ_CLASS(TList, TObject)
public:
    TList() = default;
    ~TList() override;

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    int Remove(void* item);                 // index it had, or -1
    void* Extract(void* item);              // removes without lnDeleted; null when absent
    int IndexOf(void* item) const;
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    void Pack();                            // drops the nil items
    void Sort(const TListSortCompare& compare);   // stable
    void Clear();
    TList* Expand();

    int Capacity() const { return FCapacity; }
    void SetCapacity(int value);
    int Count() const { return int(FList.size()); }
    void SetCount(int value);               // grows with nil items, shrinks by Delete
    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* operator[](int index) const { return Items(index); }
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

    // Read-only iteration over the items.
    std::vector<void*>::const_iterator begin() const { return FList.begin(); }
    std::vector<void*>::const_iterator end() const { return FList.end(); }

protected:
    // Called after an item enters or leaves the list (never for nil items).
    virtual void Notify(void* ptr, TListNotification action) {}
    [[noreturn]] static void Error(const char* fmt, int data);
    void CheckIndex(int index) const;

private:
    std::vector<void*> FList;
    int FCapacity = 0;
};

// A list of objects that frees the objects it drops when it owns them.
class TObjectList : public TList {
    QZ_CLASS(TObjectList, TList)
public:
    TObjectList() = default;
    explicit TObjectList(bool ownsObjects) : FOwnsObjects(ownsObjects) {}
    ~TObjectList() override;

    int Add(TObject* obj) { return TList::Add(obj); }
    void Insert(int index, TObject* obj) { TList::Insert(index, obj); }
    int Remove(TObject* obj) { return TList::Remove(obj); }
    TObject* Extract(TObject* obj) { return static_cast<TObject*>(TList::Extract(obj)); }
    int IndexOf(TObject* obj) const { return TList::IndexOf(obj); }
    TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
    void SetItems(int index, TObject* obj) { TList::SetItems(index, obj); }
    TObject* operator[](int index) const { return Items(index); }
    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }
    // Index of the first object of class c (or of a descendant when not exact)
    // from startAt on; -1 when none.
    int FindInstanceOf(TClass c, bool exact = true, int startAt = 0) const;

    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

protected:
    void Notify(void* ptr, TListNotification action) override;

private:
    bool FOwnsObjects = true;
};

// A list of interface references (listeners and the like); it holds one
// reference to each entry. Lock/Unlock guard it when threads share it.
class TInterfaceList : public TObject {
    QZ_CLASS(TInterfaceList, TObject)
public:
    TInterfaceList();
    ~TInterfaceList() override;

    int Add(IInterface* item);
    void Insert(int index, IInterface* item);
    void Delete(int index);
    int Remove(IInterface* item);         // index it had, or -1
    int IndexOf(IInterface* item) const;
    void Exchange(int index1, int index2);
    void Clear();
    int Count() const;
    IInterface* Items(int index) const;
    void SetItems(int index, IInterface* item);
    IInterface* operator[](int index) const { return Items(index); }
    IInterface* First() const { return Items(0); }
    IInterface* Last() const { return Items(Count() - 1); }
    void Lock();
    void Unlock();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// ---- collections ------------------------------------------------------------

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// An item of a collection. Made directly (`new TMyItem(collection)`) it joins
// the collection at once; made by TCollection::Add through its class record,
// it is built with no collection and joins when fully constructed, so the
// collection's notifications always see a whole item.
class TCollectionItem : public TPersistent {
    QZ_CLASS(TCollectionItem, TPersistent)
public:
    explicit TCollectionItem(TCollection* collection = nullptr);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* value);   // moves the item to another collection
    int ID() const { return FID; }
    int Index() const;                         // -1 outside a collection
    void SetIndex(int value);                  // moves the item inside its collection
    std::string DisplayName() const { return GetDisplayName(); }
    void SetDisplayName(const std::string& value) { SetDisplayNameImpl(value); }
    std::string GetNamePath() const override;
    TPersistent* GetOwner() const override;

protected:
    virtual std::string GetDisplayName() const { return ClassName(); }
    virtual void SetDisplayNameImpl(const std::string&) { Changed(false); }
    // Tells the collection this item (or, with allItems, every item) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

using TCollectionItemClass = TClass;

// A list of items of one class, owning them. Update(item) is called after a
// change of one item, Update(nullptr) after a change of the whole list; both
// are held back between BeginUpdate and EndUpdate. The destructor frees the
// items without calling a descendant's Notify (it is gone by then): a
// descendant that must hear of each item going calls Clear() in its own
// destructor.
class TCollection : public TPersistent {
    QZ_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TCollectionItemClass itemClass = nullptr);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    TCollectionItem* FindItemID(int id) const;
    void Assign(TPersistent* source) override;
    std::string GetNamePath() const override;

    int Count() const { return int(FItems.size()); }
    TCollectionItem* Items(int index) const;
    TCollectionItem* operator[](int index) const { return Items(index); }
    TCollectionItemClass ItemClass() const { return FItemClass; }
    TPersistent* Owner() const { return GetOwner(); }
    TPersistent* GetOwner() const override { return nullptr; }

    // Typed access for a collection of known item class.
    template <class T> T* ItemAs(int index) const { return static_cast<T*>(Items(index)); }
    template <class T> T* AddAs() { return static_cast<T*>(Add()); }

protected:
    virtual void Added(TCollectionItem* item) {}
    virtual void Deleting(TCollectionItem* item) {}
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    virtual void Update(TCollectionItem* item) {}
    // Tells that the whole list changed (held back while updating).
    void Changed();
    // The owner's published property that holds this collection, for GetNamePath.
    std::string PropName() const;

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection that knows its owner (for GetNamePath and the designers).
class TOwnedCollection : public TCollection {
    QZ_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* owner, TCollectionItemClass itemClass)
        : TCollection(itemClass), FOwner(owner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
