// The default editor of a data-set field, and the editor defaults answered
// from a bound field.
#pragma once

#include "cxEditDataRegisteredRepositoryItems.h"

#include "DB.h"

#include <functional>
#include <initializer_list>

class TcxFreeNotificator;

// Keyed by field type; a lookup field takes the lookup item and a currency
// field the currency item before its type is asked.
class TcxEditDBRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
    QZ_CLASS(TcxEditDBRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
public:
    explicit TcxEditDBRegisteredRepositoryItems(TPersistent* AOwner = nullptr)
        : TcxEditRegisteredRepositoryItems(AOwner) {}
    ~TcxEditDBRegisteredRepositoryItems() override;
    using TcxEditRegisteredRepositoryItems::RegisterItem;
    using TcxEditRegisteredRepositoryItems::UnregisterItem;

    void ItemRemoved(TObject* Sender) override;
    // Null: the default item; a lookup field: the lookup item; a numeric field
    // with its currency flag set: the currency item; else by its data type.
    TcxEditRepositoryItem* GetItemByField(TField* AField);
    TcxEditRepositoryItem* GetCurrencyItem();
    TcxEditRepositoryItem* GetLookupItem();
    TcxEditRepositoryItem* GetItemByFieldType(TFieldType AFieldType);
    void RegisterCurrencyItem(int APriority, TcxEditRepositoryItem* AItem);
    void RegisterLookupItem(int APriority, TcxEditRepositoryItem* AItem);
    void RegisterItem(TFieldType AFieldType, int APriority, TcxEditRepositoryItem* AItem);
    void UnregisterItem(TFieldType AFieldType, int APriority);

protected:
    std::vector<const TcxEditRegisteredRepositoryItemsList*> Lists() const override;

private:
    TcxEditRegisteredRepositoryItemsList FCurrencyList, FLookupList;
};

// Answers an editor's default questions from the field it is bound to; with
// no field, or one of a closed data set, it answers as for no data.
class TcxCustomDBEditDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
    QZ_CLASS(TcxCustomDBEditDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
public:
    explicit TcxCustomDBEditDefaultValuesProvider(TPersistent* AOwner = nullptr);
    ~TcxCustomDBEditDefaultValuesProvider() override;

    TAlignment DefaultAlignment() override;
    int DefaultBlobKind() override;
    bool CanModify() override;
    std::string DefaultDisplayFormat() override;
    std::string DefaultEditFormat() override;
    std::string DefaultEditMask() override;
    bool DefaultIsFloatValue() override;
    int DefaultMaxLength() override;
    double DefaultMaxValue() override;
    double DefaultMinValue() override;
    int DefaultPrecision() override;
    bool DefaultReadOnly() override;
    bool DefaultRequired() override;
    bool IsDataAware() override { return true; }
    bool IsBlob() override;
    bool HasDisplayFormat(bool AIsCurrencyValueAccepted) override;
    bool HasGetTextHandler() override;
    bool IsValidChar(char32_t AChar) override;
    virtual bool IsDataAvailable();

    TField* Field() const { return FField; }
    // Binds the field, followed until it is freed.
    void SetField(TField* Value);

private:
    TField* FField = nullptr;
    std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
};

namespace cxEditDBRegisteredRepositoryItems {

// Sets up an item made for the registry before it is registered.
using TcxDefaultItemSetUp = std::function<void(TcxEditRepositoryItem*)>;

struct TcxDefaultLookupItemClass {
    TClass ItemClass = nullptr;
    TcxDefaultItemSetUp SetUp;
};

// The registry, made (empty) on the first call.
TcxEditDBRegisteredRepositoryItems* GetDefaultEditDBRepositoryItems();
// Fills the registry, each entry a new item of the default edit repository:
// a mask item by default, a currency item for currency fields, a check box
// for Boolean fields, date items for date, date-time and time-stamp fields, a
// time item for time fields and a memo item for memo fields; then the entries
// editor units added through the routines below. Later calls do nothing while its items last.
void Initialize();
// Frees the registry; a later Initialize fills a new one with every entry again.
void Finalize();
// The editor units whose default editors come later call these from their own
// start-up: each field type gets its own new item of the class; the lookup
// list one item, set up before it is registered. Kept, so that a new registry
// gets them too.
void RegisterFieldTypeItems(TClass AItemClass, std::initializer_list<TFieldType> AFieldTypes);
// Forgets the class's field types, and takes its items out of the registry.
void UnregisterFieldTypeItems(TClass AItemClass);
// Replaces the lookup item's class (null: none); the result is the one before.
TcxDefaultLookupItemClass RegisterLookupItemClass(TClass AItemClass, TcxDefaultItemSetUp ASetUp = nullptr);
// Whether the field's class publishes a Boolean "currency" property that is True.
bool IsCurrencyField(TField* AField);

}  // namespace cxEditDBRegisteredRepositoryItems
