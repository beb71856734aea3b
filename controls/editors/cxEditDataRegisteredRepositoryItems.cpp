// The default-editor registries: the keyed base and the value type registry.
#include "cxEditDataRegisteredRepositoryItems.h"

#include "cxEditRepositoryItems.h"

#include <climits>

QZ_CLASS_IMPL(TcxEditRegisteredRepositoryItems, TcxInterfacedPersistent)
QZ_CLASS_IMPL(TcxEditDataRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)

// ---- the registry base ---------------------------------------------------------------------------------

TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner)
{
}

TcxEditRegisteredRepositoryItems::~TcxEditRegisteredRepositoryItems()
{
    Clear(FDefaultList);
    Clear(FKeyedList);
}

bool TcxEditRegisteredRepositoryItems::Find(const TcxEditRegisteredRepositoryItemsList& AList,
                                            TcxEditRegisteredItemKey AKey, int APriority, int& AIndex)
{
    int low = 0, high = int(AList.size()) - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        const auto& e = *AList[size_t(middle)];
        // Negative: the probe sorts after the entry (the lists run downwards).
        int c = AKey < e.Key ? -1 : (AKey > e.Key ? 1 : 0);
        if (c == 0 && APriority != INT_MAX) c = APriority < e.Priority ? -1 : (APriority > e.Priority ? 1 : 0);
        if (c == 0) {
            AIndex = middle;
            return true;
        }
        if (c < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    AIndex = low;
    return false;
}

int TcxEditRegisteredRepositoryItems::InsertEntry(TcxEditRegisteredRepositoryItemsList& AList,
                                                  TcxEditRegisteredItemKey AKey, TcxEditRepositoryItem* AItem,
                                                  int APriority)
{
    int index;
    if (Find(AList, AKey, APriority, index)) return index;
    auto entry = std::make_unique<TcxEditRegisteredRepositoryItemsEntry>();
    entry->Key = AKey;
    entry->Priority = APriority;
    entry->Item = AItem;
    AList.insert(AList.begin() + index, std::move(entry));
    if (AItem) AItem->AddListener(this);
    Changed();
    return index;
}

void TcxEditRegisteredRepositoryItems::DeleteEntry(TcxEditRegisteredRepositoryItemsList& AList, int AIndex)
{
    std::unique_ptr<TcxEditRegisteredRepositoryItemsEntry> entry = std::move(AList[size_t(AIndex)]);
    AList.erase(AList.begin() + AIndex);
    // An item may stand in several entries; it is heard while any of them is left.
    if (entry->Item) {
        bool stillHeld = false;
        for (const TcxEditRegisteredRepositoryItemsList* list : Lists())
            for (const auto& e : *list) stillHeld = stillHeld || e->Item == entry->Item;
        if (!stillHeld) entry->Item->RemoveListener(this);
    }
    Changed();
}

std::vector<const TcxEditRegisteredRepositoryItemsList*> TcxEditRegisteredRepositoryItems::Lists() const
{
    return {&FDefaultList, &FKeyedList};
}

void TcxEditRegisteredRepositoryItems::DeleteItemEntries(TcxEditRegisteredRepositoryItemsList& AList, TObject* AItem)
{
    for (int i = int(AList.size()) - 1; i >= 0; --i)
        if (AList[size_t(i)]->Item == AItem) DeleteEntry(AList, i);
}

void TcxEditRegisteredRepositoryItems::Clear(TcxEditRegisteredRepositoryItemsList& AList)
{
    while (!AList.empty()) DeleteEntry(AList, int(AList.size()) - 1);
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::FirstItem(const TcxEditRegisteredRepositoryItemsList& AList)
{
    return AList.empty() ? nullptr : AList.front()->Item;
}

void TcxEditRegisteredRepositoryItems::ItemRemoved(TObject* Sender)
{
    DeleteItemEntries(FDefaultList, Sender);
    DeleteItemEntries(FKeyedList, Sender);
}

void TcxEditRegisteredRepositoryItems::PropertiesChanged(TObject*) { Changed(); }

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetDefaultItem() { return FirstItem(FDefaultList); }

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetItem(TcxEditRegisteredItemKey AKey)
{
    int index;
    if (AKey != 0 && Find(FKeyedList, AKey, INT_MAX, index)) return FKeyedList[size_t(index)]->Item;
    return GetDefaultItem();
}

void TcxEditRegisteredRepositoryItems::RegisterDefaultItem(int APriority, TcxEditRepositoryItem* AItem)
{
    InsertEntry(FDefaultList, 0, AItem, APriority);
}

void TcxEditRegisteredRepositoryItems::RegisterItem(TcxEditRegisteredItemKey AKey, int APriority,
                                                    TcxEditRepositoryItem* AItem)
{
    InsertEntry(FKeyedList, AKey, AItem, APriority);
}

void TcxEditRegisteredRepositoryItems::UnregisterDefaultItem(int APriority)
{
    int index;
    if (Find(FDefaultList, 0, APriority, index)) DeleteEntry(FDefaultList, index);
}

void TcxEditRegisteredRepositoryItems::UnregisterItem(TcxEditRegisteredItemKey AKey, int APriority)
{
    int index;
    if (Find(FKeyedList, AKey, APriority, index)) DeleteEntry(FKeyedList, index);
}

// ---- the value type registry -------------------------------------------------------------------------

TcxEditRegisteredItemKey TcxEditDataRegisteredRepositoryItems::KeyOf(TcxValueTypeClass AValueTypeClass)
{
    return reinterpret_cast<TcxEditRegisteredItemKey>(AValueTypeClass);
}

TcxEditRepositoryItem* TcxEditDataRegisteredRepositoryItems::GetItemByValueTypeClass(TcxValueTypeClass AValueTypeClass)
{
    return GetItem(KeyOf(AValueTypeClass));
}

void TcxEditDataRegisteredRepositoryItems::RegisterItem(TcxValueTypeClass AValueTypeClass, int APriority,
                                                        TcxEditRepositoryItem* AItem)
{
    RegisterItem(KeyOf(AValueTypeClass), APriority, AItem);
}

void TcxEditDataRegisteredRepositoryItems::UnregisterItem(TcxValueTypeClass AValueTypeClass, int APriority)
{
    UnregisterItem(KeyOf(AValueTypeClass), APriority);
}

namespace cxEditDataRegisteredRepositoryItems {

namespace {
std::unique_ptr<TcxEditDataRegisteredRepositoryItems>& Registry()
{
    static std::unique_ptr<TcxEditDataRegisteredRepositoryItems> r;
    return r;
}
// Filled while it holds its default item: the items belong to the default
// edit repository, and a registry whose repository was cleared is filled again.
bool Filled() { return Registry() && Registry()->GetDefaultItem(); }
}  // namespace

TcxEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems()
{
    auto& r = Registry();
    if (!r) r = std::make_unique<TcxEditDataRegisteredRepositoryItems>();
    return r.get();
}

void Initialize()
{
    if (Filled()) return;
    cxEditRepositoryItems::Initialize();
    TcxEditRepository* repository = cxEdit::GetDefaultEditRepository();
    TcxEditDataRegisteredRepositoryItems* r = GetDefaultEditDataRepositoryItems();
    auto make = [repository](TClass c) { return repository->CreateItem(c); };
    r->RegisterDefaultItem(-1, make(TcxEditRepositoryTextItem::StaticClass()));
    r->RegisterItem(TcxBooleanValueType::Class(), -1, make(TcxEditRepositoryCheckBoxItem::StaticClass()));
    r->RegisterItem(TcxCurrencyValueType::Class(), -1, make(TcxEditRepositoryCurrencyItem::StaticClass()));
    r->RegisterItem(TcxDateTimeValueType::Class(), -1, make(TcxEditRepositoryDateItem::StaticClass()));
    r->RegisterItem(TcxFMTBcdValueType::Class(), -1, make(TcxEditRepositoryCurrencyItem::StaticClass()));
    r->RegisterItem(TcxSQLTimeStampValueType::Class(), -1, make(TcxEditRepositoryDateItem::StaticClass()));
}

void Finalize()
{
    Registry().reset();
}

}  // namespace cxEditDataRegisteredRepositoryItems
