// The field registry of default editors and the field-bound editor defaults.
#include "cxEditDBRegisteredRepositoryItems.h"

#include "cxContainer.h"
#include "cxDB.h"
#include "cxEditRepositoryItems.h"

#include "SysUtils.h"
#include "TypInfo.h"

QZ_CLASS_IMPL(TcxEditDBRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
QZ_CLASS_IMPL(TcxCustomDBEditDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)

// ---- the field registry --------------------------------------------------------------------------------

TcxEditDBRegisteredRepositoryItems::~TcxEditDBRegisteredRepositoryItems()
{
    Clear(FLookupList);
    Clear(FCurrencyList);
}

std::vector<const TcxEditRegisteredRepositoryItemsList*> TcxEditDBRegisteredRepositoryItems::Lists() const
{
    std::vector<const TcxEditRegisteredRepositoryItemsList*> r = TcxEditRegisteredRepositoryItems::Lists();
    r.push_back(&FCurrencyList);
    r.push_back(&FLookupList);
    return r;
}

void TcxEditDBRegisteredRepositoryItems::ItemRemoved(TObject* Sender)
{
    TcxEditRegisteredRepositoryItems::ItemRemoved(Sender);
    DeleteItemEntries(FLookupList, Sender);
    DeleteItemEntries(FCurrencyList, Sender);
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetItemByField(TField* AField)
{
    if (!AField) return GetDefaultItem();
    if (AField->Lookup()) return GetLookupItem();
    if (dynamic_cast<TNumericField*>(AField) && cxEditDBRegisteredRepositoryItems::IsCurrencyField(AField))
        return GetCurrencyItem();
    return GetItemByFieldType(AField->DataType());
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetCurrencyItem()
{
    TcxEditRepositoryItem* item = FirstItem(FCurrencyList);
    return item ? item : GetDefaultItem();
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetLookupItem()
{
    TcxEditRepositoryItem* item = FirstItem(FLookupList);
    return item ? item : GetDefaultItem();
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetItemByFieldType(TFieldType AFieldType)
{
    return GetItem(TcxEditRegisteredItemKey(AFieldType));
}

void TcxEditDBRegisteredRepositoryItems::RegisterCurrencyItem(int APriority, TcxEditRepositoryItem* AItem)
{
    InsertEntry(FCurrencyList, 0, AItem, APriority);
}

void TcxEditDBRegisteredRepositoryItems::RegisterLookupItem(int APriority, TcxEditRepositoryItem* AItem)
{
    InsertEntry(FLookupList, 0, AItem, APriority);
}

void TcxEditDBRegisteredRepositoryItems::RegisterItem(TFieldType AFieldType, int APriority, TcxEditRepositoryItem* AItem)
{
    RegisterItem(TcxEditRegisteredItemKey(AFieldType), APriority, AItem);
}

void TcxEditDBRegisteredRepositoryItems::UnregisterItem(TFieldType AFieldType, int APriority)
{
    UnregisterItem(TcxEditRegisteredItemKey(AFieldType), APriority);
}

// ---- the field-bound defaults ---------------------------------------------------------------------------

TcxCustomDBEditDefaultValuesProvider::TcxCustomDBEditDefaultValuesProvider(TPersistent* AOwner)
    : TcxCustomEditDefaultValuesProvider(AOwner), FFreeNotificator(std::make_unique<TcxFreeNotificator>(nullptr))
{
    FFreeNotificator->OnFreeNotification = [this](TComponent* AComponent) {
        if (AComponent == FField) SetField(nullptr);
    };
}

TcxCustomDBEditDefaultValuesProvider::~TcxCustomDBEditDefaultValuesProvider()
{
    if (FField) FFreeNotificator->RemoveSender(FField);
    FFreeNotificator.reset();
}

void TcxCustomDBEditDefaultValuesProvider::SetField(TField* Value)
{
    if (FField == Value) return;
    if (FField) FFreeNotificator->RemoveSender(FField);
    FField = Value;
    if (FField) FFreeNotificator->AddSender(FField);
}

bool TcxCustomDBEditDefaultValuesProvider::IsDataAvailable()
{
    return FField && FField->DataSet() && FField->DataSet()->State() != dsInactive;
}

TAlignment TcxCustomDBEditDefaultValuesProvider::DefaultAlignment()
{
    return IsDataAvailable() ? FField->Alignment() : taLeftJustify;
}

int TcxCustomDBEditDefaultValuesProvider::DefaultBlobKind()
{
    if (!IsDataAvailable()) return 0;
    switch (FField->DataType()) {
    case ftMemo:
    case ftFmtMemo: return 3;
    case ftGraphic: return 2;
    case ftParadoxOle:
    case ftDBaseOle: return 4;
    default: return 0;
    }
}

bool TcxCustomDBEditDefaultValuesProvider::CanModify()
{
    if (!IsDataAvailable() || DefaultReadOnly()) return false;
    return FField->CanModify() || (FField->Lookup() && cxDB::CanModifyLookupKeyFields(FField));
}

std::string TcxCustomDBEditDefaultValuesProvider::DefaultDisplayFormat()
{
    auto* f = IsDataAvailable() ? dynamic_cast<TNumericField*>(FField) : nullptr;
    return f ? f->DisplayFormat() : std::string();
}

std::string TcxCustomDBEditDefaultValuesProvider::DefaultEditFormat()
{
    auto* f = IsDataAvailable() ? dynamic_cast<TNumericField*>(FField) : nullptr;
    return f ? f->EditFormat() : std::string();
}

std::string TcxCustomDBEditDefaultValuesProvider::DefaultEditMask()
{
    return IsDataAvailable() ? FField->EditMask() : std::string();
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultIsFloatValue()
{
    if (!IsDataAvailable()) return false;
    TFieldType t = FField->DataType();
    return t == ftFloat || t == ftCurrency || t == ftBCD;
}

int TcxCustomDBEditDefaultValuesProvider::DefaultMaxLength()
{
    if (!IsDataAvailable()) return 0;
    TFieldType t = FField->DataType();
    return t == ftString || t == ftWideString ? FField->Size() : 0;
}

namespace {
// The limit with no more significant digits than the field shows.
double ShownLimit(double AValue, int APrecision)
{
    return StrToFloat(FloatToStrF(AValue, ffGeneral, APrecision, APrecision));
}
}  // namespace

double TcxCustomDBEditDefaultValuesProvider::DefaultMaxValue()
{
    if (!IsDataAvailable()) return 0;
    if (auto* i = dynamic_cast<TIntegerField*>(FField)) return double(i->MaxValue());
    if (auto* f = dynamic_cast<TFloatField*>(FField)) return ShownLimit(f->MaxValue(), f->Precision());
    return 0;
}

double TcxCustomDBEditDefaultValuesProvider::DefaultMinValue()
{
    if (!IsDataAvailable()) return 0;
    if (auto* i = dynamic_cast<TIntegerField*>(FField)) return double(i->MinValue());
    if (auto* f = dynamic_cast<TFloatField*>(FField)) return ShownLimit(f->MinValue(), f->Precision());
    return 0;
}

int TcxCustomDBEditDefaultValuesProvider::DefaultPrecision()
{
    if (auto* f = dynamic_cast<TFloatField*>(FField)) return f->Precision();
    if (auto* b = dynamic_cast<TBCDField*>(FField)) return b->Precision();
    return 15;
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultReadOnly()
{
    return IsDataAvailable() ? FField->ReadOnly() : true;
}

bool TcxCustomDBEditDefaultValuesProvider::DefaultRequired()
{
    return IsDataAvailable() && FField->Required();
}

bool TcxCustomDBEditDefaultValuesProvider::IsBlob() { return IsDataAvailable() && FField->IsBlob(); }

bool TcxCustomDBEditDefaultValuesProvider::HasDisplayFormat(bool AIsCurrencyValueAccepted)
{
    if (!IsDataAvailable()) return false;
    if (FField->HasOnGetText()) return true;
    bool r = false;
    if (auto* f = dynamic_cast<TFloatField*>(FField)) r = r || (f->Currency() && AIsCurrencyValueAccepted);
    if (auto* b = dynamic_cast<TBCDField*>(FField)) r = r || (b->Currency() && AIsCurrencyValueAccepted);
    if (auto* d = dynamic_cast<TDateTimeField*>(FField)) r = r || !d->DisplayFormat().empty();
    if (auto* a = dynamic_cast<TAggregateField*>(FField))
        r = r || !a->DisplayFormat().empty() || (a->Currency() && AIsCurrencyValueAccepted);
    if (auto* n = dynamic_cast<TNumericField*>(FField)) r = r || !n->DisplayFormat().empty();
    return r;
}

bool TcxCustomDBEditDefaultValuesProvider::HasGetTextHandler() { return IsDataAvailable() && FField->HasOnGetText(); }

bool TcxCustomDBEditDefaultValuesProvider::IsValidChar(char32_t AChar)
{
    if (!IsDataAvailable()) return false;
    return FField->HasOnGetText() || FField->IsValidChar(AChar);
}

// ---- the unit -------------------------------------------------------------------------------------------

namespace cxEditDBRegisteredRepositoryItems {

namespace {
struct TFieldTypeItems {
    TClass ItemClass;
    std::vector<TFieldType> FieldTypes;
};
using TLookupItemClass = TcxDefaultLookupItemClass;

std::unique_ptr<TcxEditDBRegisteredRepositoryItems>& Registry()
{
    static std::unique_ptr<TcxEditDBRegisteredRepositoryItems> r;
    return r;
}
// Filled while it holds its default item: the items belong to the default
// edit repository, and a registry whose repository was cleared is filled again.
bool Filled() { return Registry() && Registry()->GetDefaultItem(); }
std::vector<TFieldTypeItems>& FieldTypeItems()
{
    static std::vector<TFieldTypeItems> list = {
        {TcxEditRepositoryCheckBoxItem::StaticClass(), {ftBoolean}},
        {TcxEditRepositoryDateItem::StaticClass(), {ftDate, ftDateTime, ftTimeStamp}},
        {TcxEditRepositoryTimeItem::StaticClass(), {ftTime}},
        {TcxEditRepositoryMemoItem::StaticClass(), {ftMemo}},
    };
    return list;
}
TLookupItemClass& LookupItemClass()
{
    static TLookupItemClass c;
    return c;
}

TcxEditRepositoryItem* MakeItem(TClass AItemClass)
{
    return cxEdit::GetDefaultEditRepository()->CreateItem(AItemClass);
}

void RegisterTypeItems(const TFieldTypeItems& AItems)
{
    TcxEditDBRegisteredRepositoryItems* r = GetDefaultEditDBRepositoryItems();
    for (TFieldType t : AItems.FieldTypes) {
        bool present = false;
        for (const auto& e : r->KeyedList()) present = present || e->Key == TcxEditRegisteredItemKey(t);
        if (!present) r->RegisterItem(t, -1, MakeItem(AItems.ItemClass));
    }
}

void RegisterLookup()
{
    const TLookupItemClass& c = LookupItemClass();
    if (!c.ItemClass) return;
    TcxEditDBRegisteredRepositoryItems* r = GetDefaultEditDBRepositoryItems();
    TcxEditRepositoryItem* item = MakeItem(c.ItemClass);
    if (c.SetUp) c.SetUp(item);
    r->RegisterLookupItem(-1, item);
}
}  // namespace

TcxEditDBRegisteredRepositoryItems* GetDefaultEditDBRepositoryItems()
{
    auto& r = Registry();
    if (!r) r = std::make_unique<TcxEditDBRegisteredRepositoryItems>();
    return r.get();
}

void Initialize()
{
    if (Filled()) return;
    cxEditRepositoryItems::Initialize();
    TcxEditDBRegisteredRepositoryItems* r = GetDefaultEditDBRepositoryItems();
    r->RegisterDefaultItem(-1, MakeItem(TcxEditRepositoryMaskItem::StaticClass()));
    r->RegisterCurrencyItem(-1, MakeItem(TcxEditRepositoryCurrencyItem::StaticClass()));
    RegisterLookup();
    for (const TFieldTypeItems& items : FieldTypeItems()) RegisterTypeItems(items);
}

void Finalize()
{
    Registry().reset();
}

void RegisterFieldTypeItems(TClass AItemClass, std::initializer_list<TFieldType> AFieldTypes)
{
    TFieldTypeItems items{AItemClass, AFieldTypes};
    for (const TFieldTypeItems& known : FieldTypeItems())
        if (known.ItemClass == items.ItemClass && known.FieldTypes == items.FieldTypes) return;
    FieldTypeItems().push_back(items);
    if (Filled()) RegisterTypeItems(items);
}

void UnregisterFieldTypeItems(TClass AItemClass)
{
    auto& list = FieldTypeItems();
    for (auto it = list.begin(); it != list.end();) {
        if (it->ItemClass != AItemClass) {
            ++it;
            continue;
        }
        if (Filled())
            for (TFieldType t : it->FieldTypes) {
                TcxEditDBRegisteredRepositoryItems* r = GetDefaultEditDBRepositoryItems();
                TcxEditRepositoryItem* item = r->GetItemByFieldType(t);
                if (item && item != r->GetDefaultItem() && item->ClassType() == AItemClass) r->UnregisterItem(t, -1);
            }
        it = list.erase(it);
    }
}

TcxDefaultLookupItemClass RegisterLookupItemClass(TClass AItemClass, TcxDefaultItemSetUp ASetUp)
{
    TcxDefaultLookupItemClass old = LookupItemClass();
    LookupItemClass() = TLookupItemClass{AItemClass, std::move(ASetUp)};
    if (Filled()) {
        TcxEditDBRegisteredRepositoryItems* r = GetDefaultEditDBRepositoryItems();
        if (r->GetLookupItem() != r->GetDefaultItem()) delete r->GetLookupItem();   // leaves the lists as it goes
        RegisterLookup();
    }
    return old;
}

bool IsCurrencyField(TField* AField)
{
    if (!AField) return false;
    PPropInfo info = GetPropInfo(AField, "currency");
    if (!info || info->Kind == tkClass || info->Kind == tkMethod) return false;
    Variant v = GetPropValue(AField, info, false);
    return VarType(v) == varBoolean && bool(v);
}

}  // namespace cxEditDBRegisteredRepositoryItems
