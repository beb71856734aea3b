#include "cxDBLookupEdit.h"

#include "cxDB.h"
#include "cxDBData.h"
#include "cxDataStorage.h"
#include "cxEditDBRegisteredRepositoryItems.h"

#include <vector>

QZ_CLASS_IMPL(TcxCustomDBLookupEditProperties, TcxCustomLookupEditProperties)
QZ_CLASS_IMPL(TcxCustomDBLookupEditLookupData, TcxCustomLookupEditLookupData)
QZ_CLASS_IMPL(TcxCustomDBLookupEdit, TcxCustomLookupEdit)

namespace {

const char* const kDefinedByLookup = "Property already defined by lookup field";
const char* const kCircularDataLinks = "Circular datalinks are not allowed";

// A key or text that cannot be compared with the fields, or a data set that
// cannot be searched, locates nothing.
bool LocateQuietly(TDataSet* ADataSet, const std::string& AFields, const Variant& AValues, TLocateOptions AOptions)
{
    try {
        return ADataSet->Locate(AFields, AValues, AOptions);
    } catch (const EVariantError&) {
    } catch (const EDatabaseError&) {
    }
    return false;
}

}  // namespace

namespace cxDBLookupEdit {

void CheckCircularDataLinks(TField* AEditingField, TDataSource* AListSource)
{
    if (!AEditingField || !AListSource || !AListSource->DataSet()) return;
    // The chain upwards from the edited data set ends with it here: the
    // layer's data sets have no master source and no nested data-set fields.
    if (AEditingField->DataSet() == AListSource->DataSet()) DatabaseError(kCircularDataLinks);
}

}  // namespace cxDBLookupEdit

// ---- the properties --------------------------------------------------------------------------------------

TcxCustomDBLookupEditProperties::TcxCustomDBLookupEditProperties(TPersistent* AOwner)
    : TcxCustomLookupEditProperties(AOwner)
{
}

TcxCustomDBLookupEditProperties::~TcxCustomDBLookupEditProperties()
{
    // A descendant's list is gone by now; the lookup data source goes with
    // the binding.
    SetLookupField(nullptr);
}

TClass TcxCustomDBLookupEditProperties::GetEditClass() const { return TcxCustomDBLookupEdit::StaticClass(); }

TClass TcxCustomDBLookupEditProperties::GetLookupDataClass() const
{
    return TcxCustomDBLookupEditLookupData::StaticClass();
}

void TcxCustomDBLookupEditProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TcxCustomDBLookupEditProperties*>(Source);
    if (!s) {
        TcxCustomLookupEditProperties::Assign(Source);
        return;
    }
    cxDropDownEdit::InUpdate(this, [&] {
        TcxCustomLookupEditProperties::Assign(Source);
        if (!IsDefinedByLookup()) SetKeyFieldNames(s->KeyFieldNames());
    });
}

unsigned TcxCustomDBLookupEditProperties::UsesDisplayFormatting(bool AFocused)
{
    if (IsLookupField()) return AFocused ? 2 : 1;
    return TcxCustomLookupEditProperties::UsesDisplayFormatting(AFocused);
}

TAlignment TcxCustomDBLookupEditProperties::GetDefaultHorzAlignment()
{
    if (TField* f = GetListField()) return f->Alignment();
    return TcxCustomLookupEditProperties::GetDefaultHorzAlignment();
}

int TcxCustomDBLookupEditProperties::GetDefaultMaxLength()
{
    if (TField* f = GetListField()) return f->Size();
    return TcxCustomLookupEditProperties::GetDefaultMaxLength();
}

void TcxCustomDBLookupEditProperties::Changed()
{
    // Cached texts never outlive a change of the settings.
    if (FLookupCache) FLookupCache->Clear();
    if (TcxDBDataController* c = GetDBDataController()) c->DataModeController()->SetGridMode(FLookupCache != nullptr);
    LookupFieldChanged();
    AddLookupResultColumn();
    TcxCustomLookupEditProperties::Changed();
}

TcxCustomDataController* TcxCustomDBLookupEditProperties::GetListDataController() { return GetDBDataController(); }

TField* TcxCustomDBLookupEditProperties::GetEditingField()
{
    IcxEditDefaultValuesProvider* p = DefaultValuesProvider();
    auto* db = p ? dynamic_cast<TcxCustomDBEditDefaultValuesProvider*>(p->GetInstance()) : nullptr;
    return db ? db->Field() : nullptr;
}

TField* TcxCustomDBLookupEditProperties::GetLookupField()
{
    TField* f = GetEditingField();
    return f && f->Lookup() ? f : nullptr;
}

TField* TcxCustomDBLookupEditProperties::GetListField()
{
    int index = GetListIndex();
    return index == -1 ? nullptr : GetListColumnField(index);
}

void TcxCustomDBLookupEditProperties::CheckDefinedByLookup()
{
    if (IsDefinedByLookup() && !FApplyingLookupField) DatabaseError(kDefinedByLookup);
}

void TcxCustomDBLookupEditProperties::CheckCircularDataLinks(TDataSource* AListSource)
{
    cxDBLookupEdit::CheckCircularDataLinks(GetEditingField(), AListSource);
}

void TcxCustomDBLookupEditProperties::LookupFieldChanged()
{
    SetLookupField(GetLookupField());
    if (TcxDBDataController* c = GetDBDataController()) CheckCircularDataLinks(c->DataSource());
}

void TcxCustomDBLookupEditProperties::AddLookupResultColumn()
{
    TField* f = FLookupField.Get();
    if (f && !f->LookupResultField().empty()) AddListColumnForField(f->LookupResultField());
}

void TcxCustomDBLookupEditProperties::SetLookupField(TField* AField)
{
    if (AField == FLookupField.Get() && (AField || !FLookupDataSource)) return;
    FLookupField.Reset(AField);
    TcxDBDataController* c = GetDBDataController();
    if (!AField) {
        // The list lets go of the source before it goes.
        if (c && FLookupDataSource && c->DataSource() == FLookupDataSource.get()) c->SetDataSource(nullptr);
        FLookupDataSource.reset();
        return;
    }
    if (!FLookupDataSource) FLookupDataSource = std::make_unique<TDataSource>();
    FLookupDataSource->SetDataSet(AField->LookupDataSet());
    if (!c) return;
    FApplyingLookupField = true;
    try {
        c->SetDataSource(FLookupDataSource.get());
        if (FindListColumnByFieldName(AField->LookupResultField()) == -1)
            SetListFieldNames(AField->LookupResultField());
        SetKeyFieldNames(AField->LookupKeyFields());
        SetListFieldIndex(0);
    } catch (...) {
        FApplyingLookupField = false;
        throw;
    }
    FApplyingLookupField = false;
}

bool TcxCustomDBLookupEditProperties::KeyIsListText()
{
    std::vector<std::string> names;
    cxDB::GetFieldNames(KeyFieldNames(), names);
    TcxDBDataController* c = GetDBDataController();
    if (names.size() != 1 || !c || !c->DataSet()) return false;
    TField* f = c->DataSet()->FindField(names[0]);
    return f && f == GetListField();
}

std::string TcxCustomDBLookupEditProperties::KeyFieldNames()
{
    TcxDBDataController* c = GetDBDataController();
    return c ? c->KeyFieldNames() : std::string();
}

void TcxCustomDBLookupEditProperties::SetKeyFieldNames(const std::string& Value)
{
    CheckDefinedByLookup();
    if (TcxDBDataController* c = GetDBDataController()) c->SetKeyFieldNames(Value);
}

std::string TcxCustomDBLookupEditProperties::ListFieldNames()
{
    std::string names;
    for (int i = 0; i < GetListColumnCount(); ++i) {
        if (i > 0) names += ';';
        names += GetListColumnFieldName(i);
    }
    return names;
}

void TcxCustomDBLookupEditProperties::SetListFieldNames(const std::string& Value)
{
    std::string old = ListFieldNames();
    BeginUpdateListColumns();
    try {
        CreateListColumns(Value);
        AddLookupResultColumn();
        int count = GetListColumnCount();
        if (StoredListFieldIndex() >= count) SetListFieldIndex(count - 1);
    } catch (...) {
        EndUpdateListColumns();
        throw;
    }
    EndUpdateListColumns();
    if (old != Value) Changed();
}

int TcxCustomDBLookupEditProperties::GetListFieldIndex()
{
    TField* f = FLookupField.Get();
    if (f && !f->LookupResultField().empty()) return FindListColumnByFieldName(f->LookupResultField());
    return TcxCustomLookupEditProperties::GetListFieldIndex();
}

void TcxCustomDBLookupEditProperties::SetListFieldIndex(int Value)
{
    CheckDefinedByLookup();
    TcxCustomLookupEditProperties::SetListFieldIndex(Value);
}

bool TcxCustomDBLookupEditProperties::GetIncrementalFiltering()
{
    // A list held only in part cannot be filtered in memory.
    return !GridMode() && TcxCustomLookupEditProperties::GetIncrementalFiltering();
}

Variant TcxCustomDBLookupEditProperties::GetNullKey()
{
    int count = cxDB::GetFieldNamesCount(KeyFieldNames());
    if (count <= 1) return Null();
    Variant key = VarArrayCreate({0, count - 1}, varVariant);
    for (int i = 0; i < count; ++i) VarArrayPut(key, Null(), {i});
    return key;
}

void TcxCustomDBLookupEditProperties::SetGridMode(bool Value)
{
    if (Value == GridMode()) return;
    if (Value) FLookupCache = std::make_unique<TcxLookupList>();
    else FLookupCache.reset();
    Changed();
}

void TcxCustomDBLookupEditProperties::InLocate(const std::function<void()>& AAction)
{
    BeginLocate();
    try {
        AAction();
    } catch (...) {
        EndLocate();
        throw;
    }
    EndLocate();
}

void TcxCustomDBLookupEditProperties::BeginLocate()
{
    TcxCustomLookupEditProperties::BeginLocate();
    TcxCustomDataController* c = GetListDataController();
    if (!c) return;
    if (c->IsGridMode()) ++FGridModeLocateCount;
    if (FGridModeLocateCount > 0) c->BeginGridModeLocate();
}

void TcxCustomDBLookupEditProperties::EndLocate()
{
    TcxCustomDataController* c = GetListDataController();
    if (c && FGridModeLocateCount > 0) {
        c->EndGridModeLocate();
        --FGridModeLocateCount;
    }
    TcxCustomLookupEditProperties::EndLocate();
}

int TcxCustomDBLookupEditProperties::FindByText(int AListIndex, const std::string& AText, bool APartial)
{
    TcxDBDataController* c = GetDBDataController();
    if (!GridMode() || !c) return TcxCustomLookupEditProperties::FindByText(AListIndex, AText, APartial);
    int result = -1;
    InLocate([&] {
        TDataSet* ds = c->DataSet();
        TLocateOptions options{loCaseInsensitive};
        if (APartial) options.Include(loPartialKey);
        if (ds && ds->Active() && AListIndex != -1 &&
            LocateQuietly(ds, c->GetItemFieldName(AListIndex), Variant(AText), options))
            result = c->GetFocusedRecordIndex();
    });
    return result;
}

std::string TcxCustomDBLookupEditProperties::GetDisplayTextByKey(const Variant& AKey)
{
    TcxDBDataController* c = GetDBDataController();
    int listIndex = GetListIndex();
    if (listIndex == -1 || !c) return std::string();
    if (!FLookupCache) {
        int record = -1;
        try {
            record = c->FindRecordIndexByKey(AKey);
        } catch (const EVariantError&) {
        }
        return record == -1 ? std::string() : c->GetDisplayText(record, listIndex);
    }
    int place = 0;
    if (FLookupCache->Find(AKey, place)) return FLookupCache->GetItem(place)->DisplayText;
    std::string text;
    InLocate([&] {
        TDataSet* ds = c->DataSet();
        TField* f = GetListField();
        if (ds && ds->Active() && f && LocateQuietly(ds, KeyFieldNames(), AKey, TLocateOptions{}))
            text = f->DisplayText();
    });
    // A key without a record is remembered too: it is not looked for again.
    FLookupCache->Insert(place, AKey, text);
    return text;
}

// ---- the lookup data -------------------------------------------------------------------------------------

void TcxCustomDBLookupEditLookupData::SetCurrentKeyByRecord(int ARecordIndex)
{
    auto* p = dynamic_cast<TcxCustomDBLookupEditProperties*>(Properties());
    TcxDBDataController* c = p ? p->GetDBDataController() : nullptr;
    SetCurrentKeyValue(ARecordIndex != -1 && c ? c->GetRecordKeyValues(ARecordIndex) : Null());
}

void TcxCustomDBLookupEditLookupData::SyncFocusedRecord()
{
    auto* p = dynamic_cast<TcxCustomDBLookupEditProperties*>(Properties());
    TcxDBDataController* c = p ? p->GetDBDataController() : nullptr;
    if (!c) return;
    p->InLocate([&] {
        try {
            c->LocateByKey(GetCurrentKey());
        } catch (const EVariantError&) {
        } catch (const EDatabaseError&) {
        }
    });
}

// ---- the edit --------------------------------------------------------------------------------------------

TcxCustomDBLookupEdit::TcxCustomDBLookupEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomLookupEdit(AOwner, AIsInplace)
{
    InitializeEdit();
    PropertiesChanged(ActiveProperties());
}

bool TcxCustomDBLookupEdit::IsValidChar(char32_t ACh)
{
    auto* p = dynamic_cast<TcxCustomDBLookupEditProperties*>(ActiveProperties());
    TField* f = p ? p->GetListField() : nullptr;
    return !f || f->IsValidChar(ACh);
}

void TcxCustomDBLookupEdit::DoEditKeyPress(char& Key)
{
    if (static_cast<unsigned char>(Key) >= 32 && !IsValidChar(char32_t(static_cast<unsigned char>(Key)))) {
        if (Properties()->BeepOnError()) MessageBeep(0);
        Key = 0;
        return;
    }
    TcxCustomLookupEdit::DoEditKeyPress(Key);
}

bool TcxCustomDBLookupEdit::InnerWideChar(char32_t ACh)
{
    if (!IsValidChar(ACh)) {
        if (Properties()->BeepOnError()) MessageBeep(0);
        return true;
    }
    return TcxCustomLookupEdit::InnerWideChar(ACh);
}
