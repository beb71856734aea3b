#include "cxDBData.h"

#include "ADODB.h"
#include "TextUtils.h"
#include "TypInfo.h"
#include "cxDataConsts.h"
#include "cxDataUtils.h"
#include "cxVariants.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxDBDataLink, TDataLink)
QZ_CLASS_IMPL(TcxDBDataField, TcxCustomDataField)
QZ_CLASS_IMPL(TcxValueDefDBReader, TcxValueDefReader)
QZ_CLASS_IMPL(TcxDBDataProvider, TcxCustomDataProvider)
QZ_CLASS_IMPL(TcxDBDataModeController, TPersistent)
QZ_CLASS_IMPL(TcxDBDataFilterCriteriaItem, TcxDataFilterCriteriaItem)
QZ_CLASS_IMPL(TcxDBDataController, TcxCustomDataController)
QZ_CLASS_IMPL(TcxDBFilterOperatorAdapter, TcxDBAdapterItem)

namespace {

// The data-set filter's settings travel with the criteria through the
// component stream, next to the inherited ones.
void DefineDBCriteriaProps(std::vector<TPropInfo>& p)
{
    using C = TcxDBDataFilterCriteria;
    p.push_back(PublishBool<C>("AutoDataSetFilter", &C::AutoDataSetFilter, &C::SetAutoDataSetFilter, false));
    p.push_back(PublishString<C>("DateTimeFormat", &C::DateTimeFormat, &C::SetDateTimeFormat));
    p.push_back(PublishBool<C>("IgnoreOrigin", &C::IgnoreOrigin, &C::SetIgnoreOrigin, true));
    p.push_back(PublishBool<C>("TranslateBetween", &C::TranslateBetween, &C::SetTranslateBetween, false));
    p.push_back(PublishBool<C>("TranslateIn", &C::TranslateIn, &C::SetTranslateIn, false));
    p.push_back(PublishBool<C>("SupportedLike", &C::SupportedLike, &C::SetSupportedLike, true));
    p.push_back(PublishEvent<C>("OnBeforeChange", &C::OnBeforeChange, "TcxDBDataFilterBeforeChangeEvent"));
    p.push_back(PublishEvent<C>("OnFormatFilterTextValue", &C::OnFormatFilterTextValue,
                                "TcxDBDataFilterFormatFilterTextValueEvent"));
}

}   // namespace

QZ_CLASS_IMPL_PROPS(TcxDBDataFilterCriteria, TcxDataFilterCriteria, DefineDBCriteriaProps)

namespace {

// Every live data-set provider; cross-provider tests look at those on the
// same data set.
std::vector<TcxDBDataProvider*>& Registry()
{
    static std::vector<TcxDBDataProvider*> list;
    return list;
}

// Sets a flag for the duration of a scope, cleared even on failure.
struct TFlagScope {
    bool& Flag;
    explicit TFlagScope(bool& f) : Flag(f) { Flag = true; }
    ~TFlagScope() { Flag = false; }
};

}  // namespace

TcxValueTypeClass cxGetValueTypeClassByField(TField* field)
{
    if (!field) return TcxStringValueType::Class();
    switch (field->DataType()) {
    case ftString: return TcxStringValueType::Class();
    case ftSmallint: return TcxSmallintValueType::Class();
    case ftInteger: case ftAutoInc: return TcxIntegerValueType::Class();
    case ftWord: return TcxWordValueType::Class();
    case ftBoolean: return TcxBooleanValueType::Class();
    case ftFloat: return TcxFloatValueType::Class();
    case ftCurrency: case ftBCD: return TcxCurrencyValueType::Class();
    case ftDate: case ftTime: case ftDateTime: return TcxDateTimeValueType::Class();
    case ftWideString: return TcxWideStringValueType::Class();
    case ftLargeint: return TcxLargeIntValueType::Class();
    case ftFMTBcd: return TcxFMTBcdValueType::Class();
    default: return TcxVariantValueType::Class();
    }
}

// ---- the data link -------------------------------------------------------------------------------

TcxDBDataLink::TcxDBDataLink(TcxDBDataProvider* provider) : FProvider(provider) { SetVisualControl(true); }

void TcxDBDataLink::ActiveChanged()
{
    if (!FProvider) return;
    TFlagScope s(FProvider->InActiveChange);
    FProvider->ActiveChanged(Active());
}

void TcxDBDataLink::DataSetChanged()
{
    if (FProvider) FProvider->LinkDataSetChanged();
}

void TcxDBDataLink::DataSetScrolled(int distance)
{
    if (FProvider) FProvider->DataScrolled(distance);
}

void TcxDBDataLink::EditingChanged()
{
    if (FProvider) FProvider->LinkEditingChanged();
}

void TcxDBDataLink::FocusControl(TField*& field)
{
    if (FProvider) FProvider->LinkFocusControl(field);
}

void TcxDBDataLink::LayoutChanged()
{
    if (FProvider) FProvider->StructureChanged(3);
}

void TcxDBDataLink::RecordChanged(TField* field)
{
    if (FProvider) FProvider->RecordChanged(field);
}

void TcxDBDataLink::UpdateData()
{
    if (FProvider) FProvider->LinkUpdateData();
}

// ---- data-set fields --------------------------------------------------------------------------------

TcxDBDataField::TcxDBDataField(TcxCustomDataFieldList* list) : TcxCustomDataField(list) {}

TcxDBDataField::~TcxDBDataField()
{
    if (FParentField) FParentField->RemoveSubField(this);
    FreeSubFields();
}

TField* TcxDBDataField::BoundField() const
{
    if (LinkedField()) return static_cast<TcxDBDataField*>(LinkedField())->BoundField();
    return FBoundField.Get();
}

void TcxDBDataField::SetBoundField(TField* field)
{
    if (LinkedField()) return;
    if (field && field->ComponentState().Contains(csDestroying)) field = nullptr;
    if (FBoundField.Get() == field) return;
    FBoundField = field;
    // The controller hears when the data-set field goes.
    TcxCustomDataController* c = Controller();
    if (field && c && c->Notifier()) field->FreeNotification(c->Notifier());
}

void TcxDBDataField::ComponentRemoved(TComponent* component)
{
    if (LinkedField() || component != FBoundField.Get()) return;
    TcxCustomDataController* c = Controller();
    auto* p = c ? DynamicCast<TcxDBDataProvider>(c->Provider()) : nullptr;
    // The data set re-made its fields while it was being positioned: the
    // controller binds them all again once it has loaded.
    if (p && p->InFirst && p->Link()->Active() && p->DataSet() && !p->DataSet()->Active()) p->FieldsRecreated = true;
    FBoundField = nullptr;
    if (p && p->LockDepth <= 0) p->StructureChanged(1);
}

void TcxDBDataField::TakeOverDefinition(TcxCustomDataField* source)
{
    TcxCustomDataField::TakeOverDefinition(source);
    if (auto* s = DynamicCast<TcxDBDataField>(source)) {
        FBoundField = s->FBoundField.Get();
        s->FBoundField = nullptr;
    }
}

bool TcxDBDataField::CanModify(int valueSource)
{
    if (!TcxCustomDataField::CanModify(valueSource) || !BoundField()) return false;
    if (!IsLookup()) return cxDB::CanModifyDataSetField(BoundField(), valueSource == 0);
    if (valueSource != 2) return false;
    for (auto* f : FSubFields)
        if (!cxDB::CanModifyDataSetField(f->BoundField(), true)) return false;
    return true;
}

bool TcxDBDataField::IsUnbound()
{
    TcxCustomDataController* c = Controller();
    return !BoundField() || (c && c->IsGridMode());
}

void TcxDBDataField::AddSubField(TcxDBDataField* field)
{
    if (std::find(FSubFields.begin(), FSubFields.end(), field) != FSubFields.end()) return;
    if (field->FParentField) throw EcxInvalidDataControllerOperation("ADataField.FParentField <> nil");
    FSubFields.push_back(field);
    field->FParentField = this;
}

void TcxDBDataField::RemoveSubField(TcxDBDataField* field)
{
    auto it = std::find(FSubFields.begin(), FSubFields.end(), field);
    if (it != FSubFields.end()) FSubFields.erase(it);
    field->FParentField = nullptr;
}

void TcxDBDataField::FreeSubFields()
{
    while (!FSubFields.empty()) {
        TcxDBDataField* f = FSubFields.back();
        FSubFields.pop_back();
        f->FParentField = nullptr;
        delete f;
    }
}

bool TcxDBDataField::IsLookup() const
{
    TField* f = BoundField();
    return f && f->Lookup();
}

void TcxDBDataField::UpdateFromBoundField(TField* field)
{
    if (LinkedField()) return;
    TcxCustomDataController* c = Controller();
    bool editsText = !IsInternal() && c && c->GetItemEditValueSource(Index()) == 1;
    bool storeText = cxDB::IsTextStoredDataSetField(field, editsText);
    TcxValueTypeClass type = cxGetValueTypeClassByField(field);
    if (type == ValueType() && storeText == StoreText()) return;
    bool typeChanged = type != ValueType();
    BeginDefinitionChange();
    SetValueType(nullptr);
    EndDefinitionChange();
    BeginDefinitionChange();
    SetStoreText(storeText);
    SetValueType(type);
    EndDefinitionChange();
    if (typeChanged && c && !IsInternal() && Index() < c->GetItemCount()) c->SummaryChanged(Index());
}

// ---- reader ------------------------------------------------------------------------------------------

namespace {
TField* FieldOfDef(TcxValueDef* def)
{
    auto* f = DynamicCast<TcxDBDataField>(def->GetBoundObject());
    return f ? f->BoundField() : nullptr;
}
}

void TcxValueDefDBReader::ReadText(TcxValueDef* def, std::string& text)
{
    if (TField* f = FieldOfDef(def)) text = f->DisplayText();
    else TcxValueDefReader::ReadText(def, text);
}

void TcxValueDefDBReader::ReadValue(TcxValueDef* def, Variant& value)
{
    if (TField* f = FieldOfDef(def)) value = f->IsNull() ? Null() : f->AsVariant();
    else TcxValueDefReader::ReadValue(def, value);
}

bool TcxValueDefDBReader::SkipsDefinition(TcxValueDef* def)
{
    auto* f = DynamicCast<TcxDBDataField>(def->GetBoundObject());
    return f && f->IsUnbound();
}

// ---- provider ----------------------------------------------------------------------------------------

TcxDBDataProvider::TcxDBDataProvider(TcxCustomDataController* controller) : TcxCustomDataProvider(controller)
{
    Registry().push_back(this);
    FLink = new TcxDBDataLink(this);
}

TcxDBDataProvider::~TcxDBDataProvider()
{
    for (auto* p : Registry()) {
        auto& d = p->FDependents;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    auto& r = Registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
    TcxDBDataLink* link = FLink;
    FLink = nullptr;
    delete link;
}

TcxDBDataController* TcxDBDataProvider::DBController() const { return static_cast<TcxDBDataController*>(Controller()); }

bool TcxDBDataProvider::SameDataSet(TcxDBDataProvider* other) const
{
    return other != this && DataSet() && other->DataSet() == DataSet();
}

void TcxDBDataProvider::SetDataSource(TDataSource* source)
{
    if (FLink && FLink->DataSource() != source) FLink->SetDataSource(source);
}

bool TcxDBDataProvider::IsGridMode()
{
    TcxDBDataController* c = DBController();
    TDataSet* ds = DataSet();
    return c && c->DataModeController() && c->DataModeController()->GridMode() && !(ds && ds->IsUnidirectional()) &&
           !GroupedFlag && !c->IsPattern();
}

bool TcxDBDataProvider::IsSourceOpen() { return DataSet() && DataSet()->State() != dsInactive; }

bool TcxDBDataProvider::IsOtherProviderInserting()
{
    for (auto* p : Registry())
        if (SameDataSet(p) && p->InInsertCall) return true;
    return false;
}

bool TcxDBDataProvider::IsSyncMode()
{
    TDataSet* ds = DataSet();
    TcxDBDataController* c = DBController();
    bool base = ds && ds->Active() && c && c->DataModeController() &&
                (IsGridMode() || c->DataModeController()->SyncMode()) && !ds->IsUnidirectional();
    if (!c || !c->IsDetailMode()) return base;
    // Clones share one detail data set: only some of them may follow it.
    if (!c->DataModeController()->DetailSync) return false;
    if (c->DataModeController()->DetailInSQLMode) return base && OwnsDetailRows;
    if (!c->IsKeyNavigation()) return base && IsGridMode();
    return base;
}

bool TcxDBDataProvider::IsActive()
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() && !ds->ControlsDisabled();
}

bool TcxDBDataProvider::HasFieldStructure()
{
    TDataSet* ds = DataSet();
    return ds && ds->FieldCount() > 0 && (ds->Active() || !ds->DefaultFields());
}

bool TcxDBDataProvider::IsBOF() { return !DataSet() || DataSet()->Bof(); }
bool TcxDBDataProvider::IsEditing() { return DataSet() && IsEditState(DataSet()->State()); }
bool TcxDBDataProvider::IsEOF()
{
    TDataSet* ds = DataSet();
    if (!ds || ds->Eof()) return true;
    TcxDBDataController* c = DBController();
    if (!c->IsDetailMode() || IsGridMode()) return false;
    // A clone reads only the consecutive rows of its master.
    if (c->MasterKeyValues.IsEmpty()) return true;
    if (IsEditState(ds->State())) return false;
    return !c->IsDetailKeyCurrent();
}
bool TcxDBDataProvider::IsInserting() { return DataSet() && DataSet()->State() == dsInsert; }
bool TcxDBDataProvider::IsModified() { return DataSet() && DataSet()->Modified(); }

void TcxDBDataProvider::RecordLoaded(int recordIndex)
{
    if (Controller()->IsKeyNavigation() || SavedBookmark.empty()) return;
    if (CompareBookmarks(SavedBookmark, DataSet()->Bookmark()) == 0) CurrentRecordIndex = recordIndex;
}

void TcxDBDataProvider::First()
{
    TFlagScope s(InFirst);
    TcxCustomDataProvider::First();
    TDataSet* ds = DataSet();
    if (!ds) return;
    TcxDBDataController* c = DBController();
    if (!c->IsDetailMode() || IsGridMode()) {
        ds->First();
        return;
    }
    // A detail clone stands on the first of its master's rows.
    if (c->MasterKeyValues.IsEmpty()) return;
    bool reopened = false;
    c->DataModeController()->DoDetailFirst(c->GetDetailKeyFieldNamesIfMaster(), c->MasterKeyValues, reopened);
    if (reopened) SavePos();
    SetOwnsDetailRows(true);
}

void TcxDBDataProvider::Prior() { if (DataSet()) DataSet()->Prior(); }
void TcxDBDataProvider::Next() { if (DataSet()) DataSet()->Next(); }
void TcxDBDataProvider::Last() { if (DataSet()) DataSet()->Last(); }
void TcxDBDataProvider::MoveBy(int distance) { if (DataSet()) DataSet()->MoveBy(distance); }

void TcxDBDataProvider::Scroll(int distance)
{
    if (!IsGridMode() || distance == 0 || !IsActive()) return;
    int active = FLink->ActiveRecord();
    if (distance < 0) DataSet()->MoveBy(distance - active);
    else DataSet()->MoveBy(distance + FLink->RecordCount() - active - 1);
    Controller()->GetSelectionStateSnapshot();
    Controller()->SetFocusedSelected(true);
}

void TcxDBDataProvider::SavePos()
{
    TDataSet* ds = DataSet();
    if (!ds) return;
    SavedBookmark = ds->BookmarkAvailable() ? ds->Bookmark() : TBookmark();
    SavedActiveRecord = ds->ActiveRecord();
    SavedBOF = ds->Bof();
    SavedEOF = ds->Eof();
}

void TcxDBDataProvider::RestorePos()
{
    TDataSet* ds = DataSet();
    if (!ds || SavedBookmark.empty() || !BookmarkValid(SavedBookmark)) return;
    try {
        ds->SetBookmark(SavedBookmark);
        int active = ds->ActiveRecord(), buffers = ds->BufferCount();
        if (active > SavedActiveRecord) {
            ds->MoveBy(buffers - 1 - SavedActiveRecord);
            ds->MoveBy(SavedActiveRecord - buffers + 1);
        } else if (active < SavedActiveRecord) {
            ds->MoveBy(-SavedActiveRecord);
            ds->MoveBy(SavedActiveRecord);
        }
        if (SavedBOF && !ds->Bof()) ds->Prior();
        if (SavedEOF && !ds->Eof()) ds->Next();
    } catch (const EDatabaseError&) {
        // The saved record went away meanwhile: the data set stays where it is.
    }
}

bool TcxDBDataProvider::CanDelete() { return CanModify() && !DataSet()->IsEmpty(); }

bool TcxDBDataProvider::CanInitEditing(int)
{
    TFlagScope s(InInitEditing);
    bool ok = FLink->Edit();
    if (ok) SetItemEditPending();
    return ok;
}

bool TcxDBDataProvider::CanModify()
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() && ds->CanModify() && IsSyncMode();
}

void TcxDBDataProvider::RunInsertCall(bool append)
{
    TDataSet* ds = DataSet();
    if (!ds) return;
    TFlagScope s(InInsertCall);
    if (!IsEditState(ds->State())) {
        append ? ds->Append() : ds->Insert();
        return;
    }
    if (!IsSmartRefresh() && ds->State() == dsInsert) ds->CheckBrowseMode();
    ds->DisableControls();
    try {
        if (IsSmartRefresh()) {
            // The pending record is settled first and re-read alone.
            LinkUpdateData();
            if (ds->Modified()) ds->Post();
            else ds->Cancel();
            SmartRefreshRecord();
            ClearUpdatingRecord();
        }
        append ? ds->Append() : ds->Insert();
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
}

void TcxDBDataProvider::Append() { RunInsertCall(true); }
void TcxDBDataProvider::Insert() { RunInsertCall(false); }
void TcxDBDataProvider::Cancel() { if (DataSet()) DataSet()->Cancel(); }
void TcxDBDataProvider::Edit() { if (DataSet()) DataSet()->Edit(); }
void TcxDBDataProvider::Post() { if (DataSet()) DataSet()->Post(); }
void TcxDBDataProvider::PostEditingData() { LinkUpdateData(); }

void TcxDBDataProvider::Delete()
{
    TDataSet* ds = DataSet();
    if (!ds) return;
    if (!IsSmartRefresh()) {
        // The reload that follows the data set's change notice shows the result.
        ds->Delete();
        return;
    }
    DeletedRecordIndex = Controller()->GetFocusedRecordIndex();
    if (DeletedRecordIndex == -1) return;
    ds->Delete();
    if (DeletedRecordIndex != -1 && DeletedRecordIndex < Controller()->GetRecordCount())
        Controller()->DeleteRecord(DeletedRecordIndex);
    Controller()->UpdateFocused();
}

void TcxDBDataProvider::DeleteRecords(std::vector<int>& list)
{
    TDataSet* ds = DataSet();
    if (!ds || list.empty()) return;
    // Ascending and without repeats, as the moves below count on it.
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    TcxDBDataController* c = DBController();
    ds->DisableControls();
    try {
        if (c->IsKeyNavigation()) {
            std::vector<TcxCustomDataField*> keys;
            c->GetKeyFields(keys);
            std::vector<Variant> values;
            for (int r : list) {
                Variant v;
                c->GetRecordValuesByFields(r, keys, v);
                values.push_back(v);
            }
            bool smart = IsSmartRefresh();
            for (int i = int(values.size()) - 1; i >= 0; --i) {
                if (!ds->Locate(c->KeyFieldNames(), values[size_t(i)], TLocateOptions())) continue;
                if (!smart) {
                    ds->Delete();
                    continue;
                }
                int r = c->FindRecordIndexByKeyFields();
                if (r == -1) continue;
                ds->Delete();
                c->DeleteRecord(r);
            }
            if (smart) c->UpdateFocused();
        } else if (c->CanFocusRecord(list.back())) {
            int previous = list.back();
            bool previousWasLast = false;
            for (int i = int(list.size()) - 1; i >= 0; --i) {
                int r = list[size_t(i)];
                int distance = r - previous + (previousWasLast ? 1 : 0);
                if (distance != 0) ds->MoveBy(distance);
                previousWasLast = ds->RecNo() == ds->RecordCount();
                ds->Delete();
                previous = r;
            }
        }
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
}

void TcxDBDataProvider::GetEditValue(int, TcxCustomDataField* field, int valueSource, Variant& value)
{
    value = Null();
    auto* f = static_cast<TcxDBDataField*>(field);
    TField* tf = f->BoundField();
    if (!tf) return;
    if (valueSource == 1) {
        value = Variant(tf->Text());
    } else if (valueSource == 2 && tf->Lookup() && !tf->KeyFields().empty()) {
        value = DataSet()->FieldValues(tf->KeyFields());
    } else if (!tf->IsNull()) {
        value = tf->AsVariant();
    }
}

bool TcxDBDataProvider::SetEditValue(int, TcxCustomDataField* field, int valueSource, const Variant& value)
{
    auto* f = static_cast<TcxDBDataField*>(field);
    TField* tf = f->BoundField();
    if (!tf) return false;
    if (valueSource == 1 || tf->HasOnSetText()) tf->SetText(VarToStr(value));
    else if (valueSource == 2 && !tf->KeyFields().empty()) DataSet()->SetFieldValues(tf->KeyFields(), value);
    else tf->SetAsVariant(value);
    return true;
}

void TcxDBDataProvider::SetInitialValue(int, TcxCustomDataField* field, const Variant& value)
{
    auto* f = static_cast<TcxDBDataField*>(field);
    TField* tf = f->BoundField();
    if (!tf) return;
    if (tf->Lookup() && !tf->KeyFields().empty()) DataSet()->SetFieldValues(tf->KeyFields(), value);
    else tf->SetAsVariant(value);
}

void TcxDBDataProvider::InitInsertingRecord(int recordIndex, const std::vector<Variant>& groupValues)
{
    // An insert the data set started by itself is mirrored without grouping values.
    TcxDBDataController* c = DBController();
    if (InInsertCall || InInitEditing || IsOtherProviderInserting()) {
        TcxCustomDataProvider::InitInsertingRecord(recordIndex, groupValues);
        // A new detail row takes its master's key values.
        std::string names = c->GetDetailKeyFieldNamesIfMaster();
        if (c->Options().Contains(dcoAssignMasterDetailKeys) && c->IsDetailMode() && !names.empty() &&
            !c->MasterKeyValues.IsEmpty())
            DataSet()->SetFieldValues(names, c->MasterKeyValues);
    }
    c->UpdateEditingRecord();
}

void TcxDBDataProvider::BeginLocate()
{
    TcxCustomDataProvider::BeginLocate();
    if (DataSet() && IsEditState(DataSet()->State())) MarkProvidersForRefresh();
}

void TcxDBDataProvider::LockSource()
{
    TcxCustomDataProvider::LockSource();
    TDataSet* ds = DataSet();
    if (!ds) return;
    ds->DisableControls();
    if (ds->Active() && IsEditState(ds->State())) {
        MarkProvidersForRefresh();
        ds->Cancel();
    }
}

void TcxDBDataProvider::UnlockSource()
{
    // Enabling the controls reports a change while the lock still holds: it
    // is then taken for a scroll, not for a reason to reload.
    if (DataSet()) DataSet()->EnableControls();
    TcxCustomDataProvider::UnlockSource();
}

void TcxDBDataProvider::GetBufferDisplayText(int recordIndex, TcxCustomDataField* field, std::string& text)
{
    TField* tf = static_cast<TcxDBDataField*>(field)->BoundField();
    text.clear();
    if (!tf) return;
    if (recordIndex >= 0 && recordIndex < FLink->RecordCount()) {
        int saved = FLink->ActiveRecord();
        FLink->SetActiveRecord(recordIndex);
        try {
            text = tf->DisplayText();
        } catch (...) {
            FLink->SetActiveRecord(saved);
            throw;
        }
        FLink->SetActiveRecord(saved);
    } else if (IsInserting() || ReadingCurrent) {
        text = tf->DisplayText();
    }
}

void TcxDBDataProvider::GetBufferValue(int recordIndex, TcxCustomDataField* field, Variant& value)
{
    TField* tf = static_cast<TcxDBDataField*>(field)->BoundField();
    value = Null();
    if (!tf) return;
    auto read = [&] { value = tf->IsNull() ? Null() : tf->AsVariant(); };
    if (recordIndex >= 0 && recordIndex < FLink->RecordCount()) {
        int saved = FLink->ActiveRecord();
        FLink->SetActiveRecord(recordIndex);
        try {
            read();
        } catch (...) {
            FLink->SetActiveRecord(saved);
            throw;
        }
        FLink->SetActiveRecord(saved);
    } else if (IsInserting() || ReadingCurrent) {
        read();
    }
}

int TcxDBDataProvider::GetFocusedRecordIndex()
{
    if (!InGridModeRefresh && IsInserting()) return EditRecordIndex;
    if (InGridModeRefresh && IsInserting() && Controller()->IsNewItemRowFocused())
        return Controller()->GetNewItemRecordIndex();
    return CurrentRecordIndex;
}

void TcxDBDataProvider::LoadRecords()
{
    if (!FLink->Active()) return;
    FLink->SetBufferCount(GridModeBufferCount());
    Controller()->Storage()->Clear(false);
    Controller()->Storage()->SetRecordCount(FLink->RecordCount());
    CurrentRecordIndex = FLink->ActiveRecord();
}

void TcxDBDataProvider::ActiveChanged(bool active) { TcxCustomDataProvider::ActiveChanged(active); }

void TcxDBDataProvider::DataScrolled(int distance)
{
    if (IsGridMode()) {
        CurrentRecordIndex = FLink->ActiveRecord();
        if (distance != 0) DBController()->GridModeBufferChanged();
    } else {
        CurrentRecordIndex += distance;
    }
    TcxCustomDataProvider::DataScrolled(distance);
    if (IsGridMode() && DBController()->IsDataSetSequenced()) DBController()->SequencedScrollChanged();
}

void TcxDBDataProvider::StructureChanged(int kind) { TcxCustomDataProvider::StructureChanged(kind); }

bool TcxDBDataProvider::BookmarkValid(const TBookmark& b) { return DataSet() && DataSet()->BookmarkValid(b); }

int TcxDBDataProvider::CompareBookmarks(const TBookmark& a, const TBookmark& b)
{
    if (!FLink->Active()) return -1;
    return DataSet()->CompareBookmarks(a, b);
}

void TcxDBDataProvider::RecordChanged(TField*)
{
    if (IsEditing()) DBController()->UpdateEditingRecord();
    ClearItemEditPending();
}

bool TcxDBDataProvider::IsSmartRefresh()
{
    TcxDBDataController* c = DBController();
    return c->IsKeyNavigation() && c->DataModeController()->SmartRefresh() && !IsGridMode();
}

// After a post or a delete: the one record concerned is re-read (or
// dropped) instead of reloading every record.
void TcxDBDataProvider::SmartRefreshRecord()
{
    TcxDBDataController* c = DBController();
    TDataSet* ds = DataSet();
    int a = c->GetFocusedRecordIndex();
    if (UpdatingRecordIndex != cxNullEditingRecordIndex && a == UpdatingRecordIndex && a < 0 && PostedNewItemIndex != -1)
        a = PostedNewItemIndex;
    if (a >= 0 && a < c->GetRecordCount() && ds && ds->Active() && !ds->IsEmpty()) {
        Variant stored = c->GetRecordKeyValues(a);
        Variant current = c->GetDataSetKeyValues();
        if (cxVariants::VarEquals(stored, current)) {
            c->ReadCurrentRecord(a);
        } else if (UpdatingWasInsert && stored.IsNull() && c->FindRecordIndexByKey(current) == -1) {
            // The new row got its key from the data set.
            c->ReadCurrentRecord(a);
        } else {
            // The data set stands elsewhere: the record goes only when its key
            // is really gone from the data set (a move alone changes nothing).
            int holder = c->FindRecordIndexByKey(stored);
            bool gone = false;
            if (holder == -1 || holder == a) {
                LockSource();
                try {
                    SavePos();
                    gone = !ds->Locate(c->KeyFieldNames(), stored, TLocateOptions());
                    RestorePos();
                } catch (...) {
                    UnlockSource();
                    throw;
                }
                UnlockSource();
            }
            if (gone) {
                c->DeleteRecord(a);
                a = -1;
                c->UpdateFocused();
            }
        }
    } else if (a >= 0 && a < c->GetRecordCount()) {
        c->DeleteRecord(a);
        a = -1;
    }
    if (a >= 0) c->SetRecordedDataChange(dckRecord, -1, a);
    c->DataChangedNotify();
    c->ExpandingChanged(false);
    NeedsRefresh = false;
}

int TcxDBDataProvider::GridModeBufferCount()
{
    int n = DBController()->DataModeController()->GridModeBufferCount();
    return n == 0 ? DBController()->GetDefaultGridModeBufferCount() : n;
}

void TcxDBDataProvider::MarkProvidersForRefresh()
{
    for (auto* p : Registry())
        if ((p == this || SameDataSet(p)) && !p->Controller()->IsPattern()) p->NeedsRefresh = true;
}

bool TcxDBDataProvider::IsOtherProviderLocked()
{
    for (auto* p : Registry()) {
        if (!SameDataSet(p)) continue;
        if (p->LockDepth > 0 || (p->LocateDepth > 0 && Controller()->IsKeyNavigation())) {
            if (std::find(p->FDependents.begin(), p->FDependents.end(), this) == p->FDependents.end())
                p->FDependents.push_back(this);
            return true;
        }
    }
    return false;
}

bool TcxDBDataProvider::IsAnyProviderBusy()
{
    for (auto* p : Registry()) {
        if (p != this && !SameDataSet(p)) continue;
        bool busy = p->LockDepth > 0 || p->NotifyingDependents ||
                    (p->LocateDepth > 0 && (Controller()->IsKeyNavigation() || IsGridMode()));
        if (!busy) continue;
        if (p->NotifyingDependents) return !NeedsRefresh;
        return !NeedsRefresh;
    }
    return false;
}

void TcxDBDataProvider::NotifyDependents()
{
    if (NotifyingDependents) return;
    TFlagScope s(NotifyingDependents);
    while (!FDependents.empty()) {
        TcxDBDataProvider* d = FDependents.back();
        FDependents.pop_back();
        if (d->FLink) d->FLink->NotifyDataSetChanged();
    }
}

void TcxDBDataProvider::MirrorInsert()
{
    InsertFromSource = true;
    try {
        BeginInsert(IsEOF());
    } catch (...) {
        InsertFromSource = false;
        throw;
    }
    InsertFromSource = false;
}

void TcxDBDataProvider::LinkDataSetChanged()
{
    TDataSet* ds = DataSet();
    if (IsOtherProviderLocked()) return;
    TcxDBDataController* c = DBController();
    if (c->IsDetailMode() && !c->MasterKeyValues.IsEmpty() && ds && ds->Active()) {
        // The shared detail data set shows another master's rows: not ours.
        bool sql = c->DataModeController()->DetailInSQLMode;
        if (sql && (!c->DataModeController()->DetailSync || (!OwnsDetailRows && !c->IsDetailKeyCurrent()))) return;
        if (IsGridMode() && !ds->IsEmpty() && !c->IsDetailKeyCurrent()) return;
    }
    if (IsAnyProviderBusy()) {
        DataScrolled(0);
        return;
    }
    if (IsGridMode()) {
        TFlagScope s(InGridModeRefresh);
        Controller()->BeginUpdate();
        try {
            RefreshGridModeBuffer();
            if (Controller()->MultiSelect()) DBController()->DBSelection()->DropInvalidBookmarks();
            Controller()->CheckBookmarkValid(-1);
            if (ds && ds->State() == dsInsert) MirrorInsert();
        } catch (...) {
            Controller()->EndUpdate();
            throw;
        }
        Controller()->EndUpdate();
        return;
    }
    if (!ds || !IsEditState(ds->State())) {
        if (IsSmartRefresh()) {
            SmartRefreshRecord();
            DataScrolled(0);
        } else {
            DataChanged(dckRefresh, -1, -1);
        }
        ClearUpdatingRecord();
    } else if (ds->State() == dsInsert) {
        if (DBController()->DataModeController()->MirrorInserts && !Controller()->IsPattern() && !InsertFromSource)
            MirrorInsert();
    }
}

void TcxDBDataProvider::RefreshGridModeBuffer()
{
    if (!FLink->Active() || !IsGridMode()) return;
    int count = Controller()->GetRecordCount();
    FLink->SetBufferCount(GridModeBufferCount());
    CurrentRecordIndex = FLink->ActiveRecord();
    if (FLink->RecordCount() == count) {
        Controller()->DataChanged(dckRecord, -1, -1);
        Controller()->UpdateFocused();
    } else {
        DataChanged(dckRefresh, -1, -1);
    }
}

void TcxDBDataProvider::LinkEditingChanged()
{
    TDataSet* ds = DataSet();
    if (FLink->Active() && ds && IsEditState(ds->State())) {
        if (ds->State() == dsEdit) BeginEditRecord();
        else if (ds->State() == dsInsert && IsGridMode() && !InInsertCall) MirrorInsert();
        return;
    }
    if (Controller()->IsNewItemRecordIndex(EditRecordIndex) && UpdatingWasInsert) {
        int source = EditRecordIndex;
        PostedNewItemIndex = Controller()->AppendRecord();
        Controller()->CopyRecord(source, PostedNewItemIndex);
    }
    ResetEditing();
}

void TcxDBDataProvider::LinkUpdateData()
{
    if (IsItemEditPending()) Controller()->UpdateData();
    ClearItemEditPending();
}

void TcxDBDataProvider::LinkFocusControl(TField*& field)
{
    if (!field) return;
    TcxCustomDataFieldList* fields = Controller()->Fields();
    for (int i = 0; i < fields->Count(); ++i) {
        auto* f = DynamicCast<TcxDBDataField>(fields->Fields(i));
        if (f && !f->IsInternal() && f->BoundField() == field) {
            if (i < Controller()->GetItemCount() && Controller()->FocusItem(i)) field = nullptr;
            return;
        }
    }
}

void TcxDBDataProvider::ClearUpdatingRecord()
{
    UpdatingRecordIndex = cxNullEditingRecordIndex;
    PostedNewItemIndex = -1;
    UpdatingWasInsert = false;
}

bool TcxDBDataProvider::LocateByDisplayText(const std::string& text, bool forward, bool next)
{
    TDataSet* ds = DataSet();
    if (!ds || IsEditing() || !ds->Active() || (ds->Bof() && ds->Eof())) return false;
    TcxCustomDataController* c = Controller();
    int item = c->Search()->ItemIndex();
    if (item < 0) return false;
    auto matches = [&] {
        TFlagScope s(ReadingCurrent);
        std::string t;
        c->GetDisplayTextCore(-1, c->Fields()->Fields(item), t);
        return cxDataUtils::IsTextMatched(t, text, true);
    };
    if (!next && matches()) {
        c->UpdateFocused();
        return true;
    }
    bool found = false;
    LockSource();
    try {
        SavePos();
        TBookmark start;
        bool wrapped = false;
        auto step = [&]() -> bool {
            forward ? ds->Next() : ds->Prior();
            bool atEnd = forward ? ds->Eof() : ds->Bof();
            if (!atEnd) return true;
            if (next || wrapped) return false;
            wrapped = true;
            forward ? ds->First() : ds->Last();
            start = SavedBookmark;
            return true;
        };
        bool go = true;
        if (next) go = step();
        else if (ds->Eof()) {
            wrapped = true;
            ds->First();
            start = SavedBookmark;
        }
        while (go) {
            if (!start.empty() && CompareBookmarks(start, ds->Bookmark()) == 0) break;
            if (matches()) {
                found = true;
                break;
            }
            go = step();
        }
        if (!found) RestorePos();
    } catch (...) {
        UnlockSource();
        throw;
    }
    UnlockSource();
    if (found) {
        c->GetSelectionStateSnapshot();
        c->Change(dcfLayout);
    }
    return found;
}

// ---- data-mode settings ------------------------------------------------------------------------------

void TcxDBDataModeController::Assign(TPersistent* source)
{
    auto* s = DynamicCast<TcxDBDataModeController>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    DetailInSQLMode = s->DetailInSQLMode;
    DetailSync = s->DetailSync;
    SetGridMode(s->FGridMode);
    SetGridModeBufferCount(s->FGridModeBufferCount);
    SetSmartRefresh(s->FSmartRefresh);
    MirrorInserts = s->MirrorInserts;
    SetSyncMode(s->FSyncMode);
    // Clones take the pattern's settings: they position the detail data set too.
    OnDetailFirst = s->OnDetailFirst;
    OnDetailIsCurrentQuery = s->OnDetailIsCurrentQuery;
}

bool TcxDBDataModeController::DoDetailIsCurrentQuery(const std::string& names, const Variant& values)
{
    TDataSet* ds = FController->DataSet();
    if (OnDetailIsCurrentQuery) return OnDetailIsCurrentQuery(FController, ds, names, values);
    return FController->GetDetailFilterAdapter()->IsCurrentQuery(ds, names, values);
}

void TcxDBDataModeController::DoDetailFirst(const std::string& names, const Variant& values, bool& reopened)
{
    reopened = false;
    TDataSet* ds = FController->DataSet();
    if (OnDetailFirst) OnDetailFirst(FController, ds, names, values, reopened);
    else FController->GetDetailFilterAdapter()->DetailFirst(ds, names, reopened, DetailInSQLMode, values);
}

void TcxDBDataModeController::SetGridMode(bool v)
{
    if (FGridMode == v) return;
    bool was = FController->IsGridMode();
    FGridMode = v;
    if (FController->IsGridMode() != was) FController->RestructData();
}

void TcxDBDataModeController::SetGridModeBufferCount(int v)
{
    if (v < 0) v = 0;
    if (FGridModeBufferCount == v) return;
    FGridModeBufferCount = v;
    FController->RefreshGridModeBuffer();
}

void TcxDBDataModeController::SetSmartRefresh(bool v)
{
    if (FSmartRefresh == v) return;
    FSmartRefresh = v;
    if (!FController->DBProvider()->IsGridMode()) FController->DBProvider()->DataScrolled(0);
}

void TcxDBDataModeController::SetSyncMode(bool v)
{
    if (FSyncMode == v) return;
    FSyncMode = v;
    if (FController->DBProvider()->IsActive()) FController->DBProvider()->DataScrolled(0);
}

// ---- the data-set filter ------------------------------------------------------------------------------

TcxDBAdapterList* cxFilterOperatorAdapters()
{
    static TcxDBAdapterList* list = [] {
        auto* l = new TcxDBAdapterList();
        l->RegisterAdapter(
            TDataSet::StaticClass(), [](TClass c) -> TcxDBAdapterItem* { return new TcxDBFilterOperatorAdapter(c); },
            TcxDBFilterOperatorAdapter::StaticClass());
        return l;
    }();
    return list;
}

void TcxDBFilterOperatorAdapter::PrepareOperatorKind(TcxFilterCriteriaItem* item, TDataSet* dataSet, bool& sqlNull)
{
    bool notNull;
    sqlNull = dataSet && cxIsNullOperator(item->Operator(), notNull) &&
              AnsiUpperCase(dataSet->ClassName()).find("QUERY") != std::string::npos;
}

void TcxDBDataFilterCriteriaItem::RecreateOperator()
{
    TcxDataFilterCriteriaItem::RecreateOperator();
    auto* dc = DynamicCast<TcxDBDataController>(DataController());
    TDataSet* ds = dc ? dc->DataSet() : nullptr;
    if (!ds) return;
    auto* adapter = static_cast<TcxDBFilterOperatorAdapter*>(cxFilterOperatorAdapters()->FindAdapter(ds->ClassType()));
    bool sqlNull = false;
    if (adapter) adapter->PrepareOperatorKind(this, ds, sqlNull);
    bool notNull;
    if (sqlNull && cxIsNullOperator(Operator(), notNull)) ReplaceOperator(cxCreateSQLNullOperator(notNull, this));
}

TcxFilterCriteriaItem* TcxDBDataFilterCriteria::CreateItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                           TcxFilterOperatorKind kind, const Variant& value,
                                                           const std::string& displayValue)
{
    return new TcxDBDataFilterCriteriaItem(parent, itemLink, kind, value, displayValue);
}

bool TcxDBDataFilterCriteria::IsAutoDataSetFilterActive()
{
    return FAutoDataSetFilter && !static_cast<TcxDBDataController*>(DataController())->DBProvider()->IsSmartRefresh();
}

bool TcxDBDataFilterCriteria::IsFiltering()
{
    return TcxDataFilterCriteria::IsFiltering() && !OnBeforeChange && !IsAutoDataSetFilterActive();
}

void TcxDBDataFilterCriteria::SetAutoDataSetFilter(bool v)
{
    if (FAutoDataSetFilter == v) return;
    FAutoDataSetFilter = v;
    Changed();
}

void TcxDBDataFilterCriteria::SetIgnoreOrigin(bool v)
{
    if (FIgnoreOrigin == v) return;
    FIgnoreOrigin = v;
    Changed();
}

void TcxDBDataFilterCriteria::FormatFilterTextValue(TcxFilterCriteriaItem*, const Variant& value, std::string& text)
{
    if (OnFormatFilterTextValue) OnFormatFilterTextValue(this, value, text);
}

void TcxDBDataFilterCriteria::DoChanged()
{
    auto* dc = static_cast<TcxDBDataController*>(DataController());
    if (dc->IsDestroying()) return;
    TDataSet* ds = dc->DataSet();
    if (ds && IsEditState(ds->State())) {
        try {
            dc->CheckBrowseMode();
        } catch (...) {
            // The pending edit could not be posted: the filter goes off.
            SetActive(false);
            throw;
        }
    }
    if (OnBeforeChange && !dc->IsLoading()) OnBeforeChange(this, ds, GetFilterText());
    if (IsAutoDataSetFilterActive() && ds) {
        std::string text = GetFilterText();
        TFilterOptions options;
        if (Options().Contains(fcoCaseInsensitive)) options.Include(foCaseInsensitive);
        bool filtered = Active() && !text.empty();
        if (text != ds->Filter() || !(options == ds->FilterOptions()) || filtered != ds->Filtered()) {
            ds->DisableControls();
            try {
                ds->SetFilter(text);
                ds->SetFilterOptions(options);
                ds->SetFiltered(filtered);
            } catch (...) {
                ds->EnableControls();
                throw;
            }
            ds->EnableControls();
        }
    }
    TcxDataFilterCriteria::DoChanged();
    if (dc->DBProvider()->IsSyncMode() && dc->GetFocusedRecordIndex() < 0) dc->UpdateFocused();
}

void TcxDBDataFilterCriteria::RestoreDefaults()
{
    BeginUpdate();
    TcxDataFilterCriteria::RestoreDefaults();
    SetAutoDataSetFilter(false);
    SetIgnoreOrigin(true);
    EndUpdate();
}

void TcxDBDataFilterCriteria::Assign(TPersistent* source)
{
    BeginUpdate();
    try {
        TcxDataFilterCriteria::Assign(source);
        if (auto* s = DynamicCast<TcxDBDataFilterCriteria>(source)) {
            SetAutoDataSetFilter(s->FAutoDataSetFilter);
            SetIgnoreOrigin(s->FIgnoreOrigin);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxDBDataFilterCriteria::AssignEvents(TcxFilterCriteria* source)
{
    TcxDataFilterCriteria::AssignEvents(source);
    if (auto* s = DynamicCast<TcxDBDataFilterCriteria>(source)) {
        OnBeforeChange = s->OnBeforeChange;
        OnFormatFilterTextValue = s->OnFormatFilterTextValue;
    }
}

// ---- the controller -------------------------------------------------------------------------------------

TcxDBDataController::TcxDBDataController(TComponent* owner) : TcxCustomDataController(owner)
{
    FDataModeController = new TcxDBDataModeController(this);
}

TcxDBDataController::~TcxDBDataController()
{
    // Nothing is announced while the controller goes; the link goes first so
    // that no data-set notice reaches a half-destroyed controller.
    BeforeDestruction();
    OnUpdateControl = nullptr;
    if (Provider()) DBProvider()->SetDataSource(nullptr);
    delete FDataModeController;
    FDataModeController = nullptr;
}

void TcxDBDataController::Assign(TPersistent* source)
{
    TcxCustomDataController::Assign(source);
    if (auto* s = DynamicCast<TcxDBDataController>(source)) {
        FDataModeController->Assign(s->FDataModeController);
        SetDataSource(s->DataSource());
        SetKeyFieldNames(s->FKeyFieldNames);
    }
}

void TcxDBDataController::SetDataSource(TDataSource* source)
{
    if (DataSource() == source) return;
    DBProvider()->SetDataSource(source);
    DataSourceChanged();
}

int TcxDBDataController::GetDataSetRecordCount()
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->RecordCount() : 0;
}

int TcxDBDataController::GetDataSetRecNo()
{
    TDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->RecNo() : -1;
}

void TcxDBDataController::SetDataSetRecNo(int recNo)
{
    if (TDataSet* ds = DataSet()) ds->SetRecNo(recNo);
}

bool TcxDBDataController::IsDataSetSequenced()
{
    TDataSet* ds = DataSet();
    return ds && ds->IsSequenced();
}

bool TcxDBDataController::IsKeyNavigation() { return FKeyField && !IsGridMode(); }

void TcxDBDataController::SetKeyFieldNames(const std::string& names)
{
    if (FKeyFieldNames == names) return;
    FKeyFieldNames = names;
    if (!names.empty()) {
        if (!FKeyField) FKeyField = static_cast<TcxDBDataField*>(AddInternalField());
        ChangeFieldName(FKeyField, names);
    } else {
        TcxDBDataField* f = FKeyField;
        FKeyField = nullptr;
        delete f;
        Change(dcfData);
    }
}

void TcxDBDataController::GetKeyFields(std::vector<TcxCustomDataField*>& list)
{
    if (!FKeyField) return;
    if (FKeyField->SubFieldCount() > 0)
        for (int i = 0; i < FKeyField->SubFieldCount(); ++i) list.push_back(FKeyField->SubFields(i));
    else list.push_back(FKeyField);
}

void TcxDBDataController::GetKeyFieldList(std::vector<TField*>& list)
{
    std::vector<TcxCustomDataField*> keys;
    GetKeyFields(keys);
    for (auto* k : keys)
        if (TField* f = static_cast<TcxDBDataField*>(k)->BoundField()) list.push_back(f);
}

Variant TcxDBDataController::GetRecordKeyValues(int record)
{
    CheckRecordRange(record);
    std::vector<TcxCustomDataField*> keys;
    GetKeyFields(keys);
    Variant v;
    GetRecordValuesByFields(record, keys, v);
    return v;
}

Variant TcxDBDataController::GetDataSetKeyValues()
{
    std::vector<TField*> fields;
    GetKeyFieldList(fields);
    Variant v;
    cxDB::GetDataSetFieldValues(DataSet(), fields, v);
    return v;
}

int TcxDBDataController::FindRecordIndexByKey(const Variant& values)
{
    std::vector<TcxCustomDataField*> keys;
    GetKeyFields(keys);
    if (keys.empty()) return -1;
    if (keys.size() > 1 && !values.IsArray()) return -1;
    TcxDataControllerKeyLocateObject locate(this);
    locate.KeyFields = keys;
    TcxValueDefUnboundReader reader;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i]->ValueDef()) return -1;
        reader.StoreValue(keys[i]->ValueDef(), keys.size() == 1 ? values : VarArrayGet(values, {int(i)}));
    }
    locate.ReadKeyValues(&reader);
    return locate.FindRecordIndex();
}

int TcxDBDataController::FindRecordIndexByKeyFields()
{
    TcxDataControllerKeyLocateObject locate(this);
    GetKeyFields(locate.KeyFields);
    if (locate.KeyFields.empty()) return -1;
    TcxValueDefDBReader reader;
    locate.ReadKeyValues(&reader);
    return locate.FindRecordIndex();
}

bool TcxDBDataController::LocateInDataSet(const Variant& values)
{
    TDataSet* ds = DataSet();
    if (!ds) return false;
    BeginLocate();
    bool found;
    try {
        found = ds->Locate(FKeyFieldNames, values, TLocateOptions());
    } catch (...) {
        EndLocate();
        throw;
    }
    EndLocate();
    return found;
}

bool TcxDBDataController::LocateByKey(const Variant& values)
{
    int r = FindRecordIndexByKey(values);
    if (r == -1 && IsGridMode()) {
        bool found = LocateInDataSet(values);
        if (found) SetFocusedSelected(true);
        return found;
    }
    ChangeFocusedRowIndex(r == -1 ? -1 : GetRowIndexByRecordIndex(r, true));
    return r != -1;
}

TObject* TcxDBDataController::GetItemByFieldName(const std::string& name)
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (cxDB::SameFieldName(static_cast<TcxDBDataField*>(Fields()->Fields(i))->FieldName(), name)) return GetItem(i);
    return nullptr;
}

TField* TcxDBDataController::GetItemField(int item)
{
    return static_cast<TcxDBDataField*>(TcxCustomDataController::GetItemField(item))->BoundField();
}

std::string TcxDBDataController::GetItemFieldName(int item)
{
    return static_cast<TcxDBDataField*>(TcxCustomDataController::GetItemField(item))->FieldName();
}

void TcxDBDataController::ChangeItemFieldName(int item, const std::string& name)
{
    auto* f = static_cast<TcxDBDataField*>(TcxCustomDataController::GetItemField(item));
    if (f->FieldName() != name) ChangeFieldName(f, name);
}

void TcxDBDataController::ChangeFieldName(TcxDBDataField* field, const std::string& names, bool splitAll)
{
    field->FreeSubFields();
    if (!splitAll) field->SetFieldName(names);
    if (splitAll || cxDB::IsMultipleFieldNames(names)) {
        std::vector<std::string> list;
        cxDB::GetFieldNames(names, list);
        BeginUpdate();
        try {
            for (const auto& n : list) {
                auto* sub = static_cast<TcxDBDataField*>(AddInternalField());
                field->AddSubField(sub);
                ChangeFieldName(sub, n);
            }
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    // A second column on the same data-set field shares its storage.
    for (int i = 0; i < Fields()->Count(); ++i) {
        auto* other = DynamicCast<TcxDBDataField>(Fields()->Fields(i));
        if (other && other != field && !other->LinkedField() && !other->ParentField() && other->SubFieldCount() == 0 &&
            other->BoundField() && cxDB::SameFieldName(other->FieldName(), names) && !other->IsInternal() &&
            !field->IsInternal()) {
            field->SetLinkedField(other);
            Change(dcfData);
            return;
        }
    }
    BindField(field);
    StructureChanged(true);
}

void TcxDBDataController::BindField(TcxDBDataField* field)
{
    if (field->LinkedField()) return;
    TDataSet* ds = DataSet();
    if (!ds) return;
    TField* tf = nullptr;
    if (!UnbindingFields && !field->FieldName().empty() && field->SubFieldCount() == 0) {
        tf = ds->Fields()->FindField(field->FieldName());
        if (!tf && ds->AggFields()) tf = ds->AggFields()->FindField(field->FieldName());
    }
    field->SetBoundField(tf);
    if (!tf) return;
    field->UpdateFromBoundField(tf);
    if (tf->Lookup() && !tf->KeyFields().empty() && field->SubFieldCount() == 0)
        ChangeFieldName(field, tf->KeyFields(), true);
}

void TcxDBDataController::NotifyFieldChanged(TcxCustomDataField* field)
{
    if (auto* f = DynamicCast<TcxDBDataField>(field)) BindField(f);
}

void TcxDBDataController::UpdateFieldsSlot() { TcxCustomDataController::UpdateFieldsSlot(); }

void TcxDBDataController::UpdateFields()
{
    TcxCustomDataController::UpdateFields();
    DBProvider()->NotifyDependents();
}

void TcxDBDataController::LoadStorage()
{
    BeginFullUpdate();
    try {
        TcxCustomDataController::LoadStorage();
    } catch (...) {
        EndFullUpdate();
        throw;
    }
    EndFullUpdate();
    DBProvider()->NeedsRefresh = false;
}

void TcxDBDataController::RestructData()
{
    if (!IsGridMode() && DBProvider()->Link()) DBProvider()->Link()->SetBufferCount(1);
    TcxCustomDataController::RestructData();
}

bool TcxDBDataController::CanFocusRecord(int record)
{
    TcxDBDataProvider* p = DBProvider();
    if ((p->IsInserting() && record == p->EditRecordIndex) || (NewItemRowEnabled() && record < 0)) {
        if (!p->IsInserting() && record < 0) Post();
        return true;
    }
    bool result;
    p->BeginLocate();
    try {
        if (IsDetailMode() && DataModeController()->DetailSync && !ReleasingDetailRows && !MasterKeyValues.IsEmpty()) {
            // The shared detail data set is put back on this clone's rows first.
            if (DataModeController()->DetailInSQLMode) {
                SyncDetail();
            } else if (!p->OwnsDetailRows || !IsDetailKeyCurrent()) {
                p->First();
                p->CurrentRecordIndex = 0;
            }
        }
        if (!p->IsSyncMode() || ReleasingDetailRows) {
            result = TcxCustomDataController::CanFocusRecord(record);
        } else if (record < 0) {
            result = false;
        } else if (IsKeyNavigation()) {
            Variant key = GetRecordKeyValues(record);
            result = cxVariants::VarEquals(key, GetDataSetKeyValues()) ||
                     DataSet()->Locate(FKeyFieldNames, key, TLocateOptions());
            if (result) p->CurrentRecordIndex = record;
        } else {
            p->MoveBy(record - p->CurrentRecordIndex);
            result = true;
        }
    } catch (...) {
        p->EndLocate();
        throw;
    }
    p->EndLocate();
    UpdateFields();
    return result;
}

void TcxDBDataController::UpdateFocused()
{
    BeginUpdate();
    try {
        TcxCustomDataController::UpdateFocused();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    TcxDBDataProvider* p = DBProvider();
    // The pattern maps a move of the detail data set back to the master.
    if (IsPattern() && GetMasterRelation() && p->IsSyncMode() && !p->InActiveChange) {
        bool busy = false;
        for (auto* other : Registry())
            if (other != p && other->DataSet() == p->DataSet() && (other->LockDepth > 0 || other->LocateDepth > 0))
                busy = true;
        if (!busy) CheckOpenDetailDataSet();
    }
    if (p->IsSyncMode() && IsKeyNavigation() && p->IsActive()) {
        int r = FindRecordIndexByKeyFields();
        if (r != p->CurrentRecordIndex) {
            p->CurrentRecordIndex = r;
            TcxCustomDataController::UpdateFocused();
        }
    }
}

std::string TcxDBDataController::GetFilterItemFieldName(TObject* item)
{
    auto* f = static_cast<TcxDBDataField*>(FieldByItem(item));
    if (!f) return std::string();
    bool ignoreOrigin = DBFilter()->IgnoreOrigin();
    if (f->IsLookup()) {
        std::string names;
        for (int i = 0; i < f->SubFieldCount(); ++i) {
            if (i) names += ";";
            names += cxDB::GetFilterFieldName(f->SubFields(i)->BoundField(), ignoreOrigin);
        }
        return names;
    }
    if (f->BoundField()) return cxDB::GetFilterFieldName(f->BoundField(), ignoreOrigin);
    return f->FieldName();
}

bool TcxDBDataController::InternalSaveBookmark()
{
    if (!IsGridMode()) return TcxCustomDataController::InternalSaveBookmark();
    TDataSet* ds = DataSet();
    if (!ds) return false;
    TBookmark b = ds->Bookmark();
    if (!GridBookmark.empty() && DBProvider()->CompareBookmarks(GridBookmark, b) == 0) return false;
    GridBookmark = b;
    return true;
}

void TcxDBDataController::InternalClearBookmark()
{
    GridBookmark.clear();
    TcxCustomDataController::InternalClearBookmark();
}

void TcxDBDataController::InternalGotoBookmark()
{
    if (!IsGridMode()) {
        TcxCustomDataController::InternalGotoBookmark();
        return;
    }
    if (DataSet()) DataSet()->SetBookmark(GridBookmark);
    GetSelectionStateSnapshot();
}

bool TcxDBDataController::IsBookmarkAvailable()
{
    if (IsGridMode()) return !GridBookmark.empty();
    return TcxCustomDataController::IsBookmarkAvailable();
}

bool TcxDBDataController::IsBookmarkRecordDeleted(int record)
{
    if (IsGridMode()) return !DataSet() || !DBProvider()->BookmarkValid(GridBookmark);
    return TcxCustomDataController::IsBookmarkRecordDeleted(record);
}

int TcxDBDataController::GetActiveRecordIndexForInsert()
{
    if (IsGridMode()) return DBProvider()->Link()->ActiveRecord();
    return TcxCustomDataController::GetActiveRecordIndexForInsert();
}

bool TcxDBDataController::GridModeLocateText(int, const std::string& text, bool forward, bool next)
{
    return DBProvider()->LocateByDisplayText(text, forward, next);
}

void TcxDBDataController::CheckPendingChanges()
{
    if (DBProvider()->HasFieldStructure()) StructureChanged(true);
    TcxCustomDataController::CheckPendingChanges();
}

namespace {
// A lookup field stands for the values of its key sub-fields.
bool LookupKeyValues(TcxDBDataController* c, int record, TcxCustomDataField* field, Variant& value)
{
    auto* f = DynamicCast<TcxDBDataField>(field);
    if (!f || !f->IsLookup()) return false;
    std::vector<Variant> values;
    for (int i = 0; i < f->SubFieldCount(); ++i) values.push_back(c->GetFieldValue(record, f->SubFields(i)));
    if (values.empty()) value = Null();
    else if (values.size() == 1) value = values[0];
    else value = VarArrayOf(values);
    return true;
}
}  // namespace

void TcxDBDataController::GetValueSlot(int record, TcxCustomDataField* field, Variant& value)
{
    if (!LookupKeyValues(this, record, field, value)) TcxCustomDataController::GetValueSlot(record, field, value);
}

void TcxDBDataController::GetGroupValueSlot(int record, TcxCustomDataField* field, Variant& value)
{
    if (!LookupKeyValues(this, record, field, value)) TcxCustomDataController::GetGroupValueSlot(record, field, value);
}

void TcxDBDataController::CorrectDetailsAfterDelete(int record)
{
    TcxCustomDataController::CorrectDetailsAfterDelete(record);
    TcxDBDataProvider* p = DBProvider();
    if (p->UpdatingRecordIndex == record) {
        p->UpdatingRecordIndex = cxNullEditingRecordIndex;
        p->PostedNewItemIndex = -1;
        p->UpdatingWasInsert = false;
    }
    if (p->DeletedRecordIndex == record) p->DeletedRecordIndex = -1;
}

void TcxDBDataController::CheckBrowseMode()
{
    TDataSet* ds = DataSet();
    if (!ds) return;
    InCheckBrowseMode = true;
    try {
        ds->CheckBrowseMode();
    } catch (...) {
        InCheckBrowseMode = false;
        throw;
    }
    InCheckBrowseMode = false;
}

void TcxDBDataController::RefreshDataSource()
{
    if (DataSet()) DataSet()->Refresh();
}

void TcxDBDataController::ReadCurrentRecord(int record)
{
    TcxValueDefDBReader reader;
    Storage()->ReadRecord(record, &reader, true);
    ReadRecordNotify(record);
    if (!DBProvider()->InInitEditing) Change(dcfUpdateRecord);
}

void TcxDBDataController::UpdateEditingRecord()
{
    TcxDBDataProvider* p = DBProvider();
    if (p->EditRecordIndex == cxNullEditingRecordIndex || IsGridMode()) return;
    p->UpdatingRecordIndex = p->EditRecordIndex;
    p->UpdatingWasInsert = p->IsInserting();
    ReadCurrentRecord(p->EditRecordIndex);
}

void TcxDBDataController::RefreshGridModeBuffer()
{
    if (!IsGridMode()) return;
    RefreshingBuffer = true;
    try {
        DBProvider()->RefreshGridModeBuffer();
    } catch (...) {
        RefreshingBuffer = false;
        throw;
    }
    RefreshingBuffer = false;
}

// ---- grid-mode selection by bookmarks ---------------------------------------------------------------

QZ_CLASS_IMPL(TcxDBDataSelection, TcxDataSelection)

TcxDBDataController* TcxDBDataSelection::DBController() const { return static_cast<TcxDBDataController*>(FController); }

bool TcxDBDataSelection::GridMode() const { return FController->IsGridMode() && DBController()->DataSet(); }

void TcxDBDataSelection::ClearAnchor()
{
    TcxDataSelection::ClearAnchor();
    RangeAnchor.clear();
}

TBookmark TcxDBDataSelection::GetRowBookmark(int row) const
{
    if (!GridMode()) return TBookmark();
    TcxDBDataLink* link = DBController()->DBProvider()->Link();
    int saved = link->ActiveRecord();
    link->SetActiveRecord(row);
    TBookmark b;
    try {
        b = DBController()->DataSet()->Bookmark();
    } catch (...) {
        link->SetActiveRecord(saved);
        throw;
    }
    link->SetActiveRecord(saved);
    return b;
}

bool TcxDBDataSelection::FindBookmark(const TBookmark& b, int& index) const
{
    TcxDBDataProvider* p = DBController()->DBProvider();
    return cxDataUtils::SortedFind(
        0, int(SelectedBookmarks.size()) - 1,
        [&](int i) { return p->CompareBookmarks(SelectedBookmarks[size_t(i)], b); }, index);
}

void TcxDBDataSelection::InsertEntry(int position, int row, int level, int index)
{
    TcxDataSelection::InsertEntry(position, row, level, index);
    if (GridMode() && !InSync) {
        TBookmark b = GetRowBookmark(row);
        int at;
        if (!FindBookmark(b, at)) SelectedBookmarks.insert(SelectedBookmarks.begin() + at, b);
    }
}

void TcxDBDataSelection::ClearEntries()
{
    TcxDataSelection::ClearEntries();
    SelectedBookmarks.clear();
}

void TcxDBDataSelection::DeleteEntry(int position)
{
    TcxDataSelection::DeleteEntry(position);
    if (GridMode() && !InSync && position < int(SelectedBookmarks.size())) {
        if (SelectedBookmarks[size_t(position)] == RangeAnchor) ClearAnchor();
        SelectedBookmarks.erase(SelectedBookmarks.begin() + position);
    }
}

bool TcxDBDataSelection::FindRowIndex(int row, int& position) const
{
    if (!GridMode()) return TcxDataSelection::FindRowIndex(row, position);
    return FindBookmark(GetRowBookmark(row), position);
}

void TcxDBDataSelection::SyncEntryCount()
{
    InSync = true;
    SetEntryCount(int(SelectedBookmarks.size()));
    InSync = false;
}

void TcxDBDataSelection::SelectAllBookmarks()
{
    if (!GridMode()) return;
    TcxDBDataProvider* p = DBController()->DBProvider();
    TDataSet* ds = DBController()->DataSet();
    p->LockSource();
    try {
        p->SavePos();
        ds->First();
        InSync = true;
        ClearEntries();
        InSync = false;
        while (!ds->Eof()) {
            SelectedBookmarks.push_back(ds->Bookmark());
            ds->Next();
        }
        SyncEntryCount();
        p->RestorePos();
    } catch (...) {
        SelectedBookmarks.clear();
        SyncEntryCount();
        p->UnlockSource();
        throw;
    }
    p->UnlockSource();
    Changed();
    FController->Info()->CheckChanges();
}

void TcxDBDataSelection::SelectBookmarkRange(const TBookmark& b, bool keep)
{
    if (!GridMode()) return;
    TcxDBDataProvider* p = DBController()->DBProvider();
    TDataSet* ds = DBController()->DataSet();
    if (ds->State() == dsInsert && ds->Eof()) return;
    TBookmark first = RangeAnchor, last = b;
    if (p->CompareBookmarks(first, last) > 0) std::swap(first, last);
    p->LockSource();
    try {
        p->SavePos();
        bool merge = keep && !SelectedBookmarks.empty();
        if (!keep) SelectedBookmarks.clear();
        ds->SetBookmark(first);
        while (!ds->Eof()) {
            TBookmark cur = ds->Bookmark();
            if (merge) {
                int at;
                if (!FindBookmark(cur, at)) SelectedBookmarks.insert(SelectedBookmarks.begin() + at, cur);
            } else {
                SelectedBookmarks.push_back(cur);
            }
            if (p->CompareBookmarks(cur, last) >= 0) break;
            ds->Next();
        }
        SyncEntryCount();
        p->RestorePos();
    } catch (...) {
        SelectedBookmarks.clear();
        SyncEntryCount();
        p->UnlockSource();
        throw;
    }
    p->UnlockSource();
    Changed();
    FController->Info()->CheckChanges();
}

bool TcxDBDataSelection::DropInvalidBookmarks()
{
    if (!GridMode()) return false;
    TcxDBDataProvider* p = DBController()->DBProvider();
    bool any = false;
    for (int i = int(SelectedBookmarks.size()) - 1; i >= 0; --i)
        if (SelectedBookmarks[size_t(i)].empty() || !p->BookmarkValid(SelectedBookmarks[size_t(i)])) {
            if (i < Count()) DeleteEntry(i);
            else SelectedBookmarks.erase(SelectedBookmarks.begin() + i);
            any = true;
        }
    if (any) Changed();
    return any;
}

Variant TcxDBDataController::GetSelectionKey(int row)
{
    if (!IsGridMode()) return TcxCustomDataController::GetSelectionKey(row);
    return Variant(DBSelection()->GetRowBookmark(row));
}

TBookmark TcxDBDataController::GetSelectedBookmark(int index)
{
    if (!IsGridMode()) cxDataControllerError(&cxSDBNotInGridMode);
    if (!MultiSelect()) return GetFocusedRowIndex() >= 0 ? DBSelection()->GetRowBookmark(GetFocusedRowIndex()) : TBookmark();
    const auto& list = DBSelection()->SelectedBookmarks;
    return index >= 0 && index < int(list.size()) ? list[size_t(index)] : TBookmark();
}

int TcxDBDataController::GetSelectedRowIndex(int n)
{
    if (!IsGridMode() || !MultiSelect()) return TcxCustomDataController::GetSelectedRowIndex(n);
    const auto& list = DBSelection()->SelectedBookmarks;
    if (n < 0 || n >= int(list.size())) return -1;
    for (int row = 0; row < GetRowCount(); ++row)
        if (DBProvider()->CompareBookmarks(DBSelection()->GetRowBookmark(row), list[size_t(n)]) == 0) return row;
    return -1;
}

TBookmark TcxDBDataController::GetSelectionAnchorBookmark()
{
    if (!IsGridMode()) cxDataControllerError(&cxSDBNotInGridMode);
    return DBSelection()->RangeAnchor;
}

int TcxDBDataController::GetSelectionAnchorRowIndex()
{
    if (!IsGridMode()) return TcxCustomDataController::GetSelectionAnchorRowIndex();
    return -1;
}

bool TcxDBDataController::IsSelectionAnchorExist()
{
    if (!IsGridMode()) return TcxCustomDataController::IsSelectionAnchorExist();
    return !DBSelection()->RangeAnchor.empty();
}

void TcxDBDataController::SetSelectionAnchor(int row)
{
    if (!IsGridMode()) {
        TcxCustomDataController::SetSelectionAnchor(row);
        return;
    }
    Info()->CheckRowIndex(row);
    DBSelection()->RangeAnchor = DBSelection()->GetRowBookmark(row);
}

void TcxDBDataController::SelectFromAnchor(int row, bool keepSelection)
{
    if (!IsGridMode()) {
        TcxCustomDataController::SelectFromAnchor(row, keepSelection);
        return;
    }
    Info()->CheckRowIndex(row);
    if (IsSelectionAnchorExist()) DBSelection()->SelectBookmarkRange(DBSelection()->GetRowBookmark(row), keepSelection);
}

void TcxDBDataController::SelectAll()
{
    if (!IsGridMode()) {
        TcxCustomDataController::SelectAll();
        return;
    }
    DBSelection()->SelectAllBookmarks();
}

void TcxDBDataController::ForEachRow(bool selectedOnly, const TcxDataControllerEachRowProc& proc)
{
    TDataSet* ds = DataSet();
    if (!IsGridMode() || !ds) {
        TcxCustomDataController::ForEachRow(selectedOnly, proc);
        return;
    }
    auto focused = [&] {
        int row = GetFocusedRowIndex();
        if (row >= 0) proc(row, GetRowInfo(row));
    };
    if (selectedOnly && !MultiSelect()) {
        focused();
    } else if (selectedOnly) {
        std::vector<TBookmark> list = DBSelection()->SelectedBookmarks;
        for (const auto& b : list) {
            ds->SetBookmark(b);
            focused();
        }
    } else {
        ds->First();
        while (!ds->Eof()) {
            focused();
            ds->Next();
        }
    }
}

void TcxDBDataProvider::DeleteSelection()
{
    TcxDBDataController* c = DBController();
    TDataSet* ds = DataSet();
    if (!IsGridMode() || !ds) {
        TcxCustomDataProvider::DeleteSelection();
        return;
    }
    TcxDBDataSelection* sel = c->DBSelection();
    ds->DisableControls();
    try {
        for (int i = int(sel->SelectedBookmarks.size()) - 1; i >= 0; --i) {
            TBookmark b = sel->SelectedBookmarks[size_t(i)];
            if (BookmarkValid(b)) {
                ds->SetBookmark(b);
                ds->Delete();
            }
            if (i < sel->Count()) sel->DeleteEntry(i);
            else sel->SelectedBookmarks.erase(sel->SelectedBookmarks.begin() + i);
        }
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
}

// ---- master-detail over data sets -------------------------------------------------------------------

QZ_CLASS_IMPL(TcxDBDataRelation, TcxCustomDataRelation)
QZ_CLASS_IMPL(TcxDBProviderDetailFilterAdapter, TcxDBAdapterItem)

TcxDBAdapterList* cxDetailFilterAdapters()
{
    static TcxDBAdapterList* list = [] {
        auto* l = new TcxDBAdapterList();
        l->RegisterAdapter(
            TDataSet::StaticClass(),
            [](TClass c) -> TcxDBAdapterItem* { return new TcxDBProviderDetailFilterAdapter(c); },
            TcxDBProviderDetailFilterAdapter::StaticClass());
        return l;
    }();
    return list;
}

namespace {
// The parameters of a query-like data set: a published "Params" property, or
// the parameters of the database data sets.
TParameters* QueryParams(TDataSet* ds)
{
    if (!ds) return nullptr;
    if (GetPropInfo(ds, "Params"))
        if (auto* p = DynamicCast<TParameters>(GetObjectProp(ds, "Params"))) return p;
    if (auto* ado = DynamicCast<TCustomADODataSet>(ds)) return ado->Parameters();
    return nullptr;
}
}  // namespace

bool TcxDBProviderDetailFilterAdapter::IsCurrentQuery(TDataSet* dataSet, const std::string& names, const Variant& values)
{
    TParameters* params = QueryParams(dataSet);
    if (!params) return false;
    try {
        return cxVariants::VarEquals(params->ParamValues(names), values);
    } catch (const EDatabaseError&) {
        return false;
    }
}

void TcxDBProviderDetailFilterAdapter::ReopenQuery(TDataSet* dataSet, const std::string& names, bool& reopened,
                                                   const Variant& values)
{
    TParameters* params = QueryParams(dataSet);
    if (!params) return;
    if (IsCurrentQuery(dataSet, names, values)) {
        dataSet->First();
        return;
    }
    dataSet->DisableControls();
    try {
        dataSet->SetActive(false);
        params->SetParamValues(names, values);
        dataSet->SetActive(true);
        reopened = true;
    } catch (...) {
        dataSet->EnableControls();
        throw;
    }
    dataSet->EnableControls();
}

void TcxDBProviderDetailFilterAdapter::DetailFirst(TDataSet* dataSet, const std::string& names, bool& reopened,
                                                   bool sqlMode, const Variant& values)
{
    reopened = false;
    if (sqlMode) ReopenQuery(dataSet, names, reopened, values);
    else dataSet->Locate(names, values, TLocateOptions());
}

TcxDBDataRelation::~TcxDBDataRelation()
{
    TcxDBDataField* f = MasterKeyDataField;
    MasterKeyDataField = nullptr;
    delete f;
}

void TcxDBDataRelation::DataFieldRemoved(TcxCustomDataField* field)
{
    if (field == MasterKeyDataField) MasterKeyDataField = nullptr;
}

TcxDBDataController* TcxDBDataRelation::DetailPattern()
{
    TcxCustomDataController* master = GetDataController();
    if (!master) return nullptr;
    TcxCustomDataController* pattern = master->GetPatternDataController();
    int index = GetIndex();
    if (!pattern || !pattern->HasRelations() || index < 0 || index >= pattern->GetRelations()->Count()) return nullptr;
    return DynamicCast<TcxDBDataController>(pattern->GetRelations()->Items(index)->DetailDataController());
}

std::string TcxDBDataRelation::GetMasterKeyNames()
{
    TcxDBDataController* d = DetailPattern();
    return d ? d->MasterKeyFieldNames() : std::string();
}

std::string TcxDBDataRelation::GetDetailKeyNames()
{
    TcxDBDataController* d = DetailPattern();
    return d ? d->DetailKeyFieldNames() : std::string();
}

bool TcxDBDataRelation::HasKeyLink() { return MasterKeyDataField && !GetDetailKeyNames().empty(); }

Variant TcxDBDataRelation::GetMasterRecordKeyValues(int record)
{
    TcxCustomDataController* master = GetDataController();
    master->CheckRecordRange(record);
    if (!HasKeyLink()) return Variant();
    std::vector<TcxCustomDataField*> fields;
    if (MasterKeyDataField->SubFieldCount() > 0)
        for (int i = 0; i < MasterKeyDataField->SubFieldCount(); ++i) fields.push_back(MasterKeyDataField->SubFields(i));
    else fields.push_back(MasterKeyDataField);
    Variant v;
    master->GetRecordValuesByFields(record, fields, v);
    return v;
}

void TcxDBDataRelation::UpdateMasterKeyField()
{
    auto* master = DynamicCast<TcxDBDataController>(GetDataController());
    if (!master) return;
    std::string names = GetMasterKeyNames();
    if (names.empty()) {
        TcxDBDataField* f = MasterKeyDataField;
        MasterKeyDataField = nullptr;
        delete f;
        return;
    }
    if (!MasterKeyDataField) MasterKeyDataField = static_cast<TcxDBDataField*>(master->AddInternalField());
    if (MasterKeyDataField->FieldName() != names) master->ChangeFieldName(MasterKeyDataField, names);
}

void TcxDBDataController::UpdateRelations(TcxCustomDataRelation* relation)
{
    TcxCustomDataController::UpdateRelations(relation);
    if (!HasRelations() || IsDestroying()) return;
    for (int i = 0; i < GetRelations()->Count(); ++i)
        if (auto* r = DynamicCast<TcxDBDataRelation>(GetRelations()->Items(i))) r->UpdateMasterKeyField();
}

void TcxDBDataController::SetMasterRelation(TcxCustomDataRelation* relation, int masterRecord)
{
    BeginUpdate();
    try {
        TcxCustomDataController::SetMasterRelation(relation, masterRecord);
        auto* r = DynamicCast<TcxDBDataRelation>(relation);
        if (r && masterRecord != -1) {
            // A clone reads the pattern's data set, on its master's rows.
            if (auto* pattern = DynamicCast<TcxDBDataController>(r->DetailDataController())) {
                if (pattern != this) {
                    FDetailKeyFieldNames = pattern->FDetailKeyFieldNames;
                    FMasterKeyFieldNames = pattern->FMasterKeyFieldNames;
                    SetDataSource(pattern->DataSource());
                }
            }
            MasterKeyValues = r->GetMasterRecordKeyValues(masterRecord);
            StructureChanged(true);
        } else {
            MasterKeyValues = Variant();
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TcxDBDataController::CanChangeFocusedRecord()
{
    if (ReleasingDetailRows) return true;
    auto* master = DynamicCast<TcxDBDataController>(GetMasterDataController());
    if (!master || !DynamicCast<TcxDBDataRelation>(GetMasterRelation())) return true;
    // The master agrees first, then pending edits are posted, master first;
    // either controller may go away meanwhile.
    TcxDataListenerLink* masterLink = master->AddListenerLink();
    TcxDataListenerLink* ownLink = AddListenerLink();
    bool result = false;
    try {
        if (master->CanChangeFocusedRecord()) {
            if (masterLink->Target) master->CheckBrowseMode();
            if (ownLink->Target) CheckBrowseMode();
            result = masterLink->Target && ownLink->Target;
        }
    } catch (...) {
        if (masterLink->Target) masterLink->Target->RemoveListenerLink(masterLink);
        else delete masterLink;
        if (ownLink->Target) ownLink->Target->RemoveListenerLink(ownLink);
        else delete ownLink;
        throw;
    }
    if (masterLink->Target) masterLink->Target->RemoveListenerLink(masterLink);
    else delete masterLink;
    if (ownLink->Target) ownLink->Target->RemoveListenerLink(ownLink);
    else delete ownLink;
    return result;
}

void TcxDBDataController::SyncDetails()
{
    if (IsDetailMode() && DataModeController()->DetailSync) SyncDetail();
}

void TcxDBDataController::SyncDetail()
{
    if (!DataModeController()->DetailInSQLMode || MasterKeyValues.IsEmpty()) return;
    std::string names = GetDetailKeyFieldNamesIfMaster();
    if (names.empty() || DataModeController()->DoDetailIsCurrentQuery(names, MasterKeyValues)) return;
    TcxDBDataProvider* p = DBProvider();
    p->LockSource();
    ReopeningDetail = true;
    try {
        p->First();
        p->SavePos();
        p->RestorePos();
        p->CurrentRecordIndex = 0;
    } catch (...) {
        ReopeningDetail = false;
        p->UnlockSource();
        throw;
    }
    ReopeningDetail = false;
    p->UnlockSource();
}

bool TcxDBDataController::CanSyncMaster()
{
    for (auto* m = DynamicCast<TcxDBDataController>(GetMasterDataController()); m;
         m = DynamicCast<TcxDBDataController>(m->GetMasterDataController()))
        if (!m->DBProvider()->IsSyncMode() || !m->IsKeyNavigation() || m->DBProvider()->IsEditing()) return false;
    return true;
}

TcxCustomDataController* TcxDBDataController::ExpandFocusedDetail(int relationIndex)
{
    int r = GetFocusedRecordIndex();
    if (r < 0) return nullptr;
    ChangeDetailExpanding(r, true);
    if (!GetDetailExpanding(r)) return nullptr;
    ChangeDetailActiveRelationIndex(r, relationIndex);
    return GetDetailDataController(r, relationIndex);
}

TcxDBDataController* TcxDBDataController::OpenDetailDataSet()
{
    std::string detailNames = GetDetailKeyFieldNamesIfMaster();
    auto* relation = DynamicCast<TcxDBDataRelation>(GetMasterRelation());
    if (!relation || detailNames.empty()) return this;
    auto* master = DynamicCast<TcxDBDataController>(GetMasterDataController());
    if (!master || !DBProvider()->IsSyncMode() || !CanSyncMaster() || master->CreatingLink()) return nullptr;
    TDataSet* ds = DataSet();
    TDataSet* mds = master->DataSet();
    if (!ds || !mds || !ds->Active() || !mds->Active() || ds->IsEmpty()) return nullptr;
    TcxDBDataController* result = nullptr;
    master->OpeningDetail = true;
    try {
        Variant detailValues = ds->FieldValues(detailNames);
        bool onIt = cxVariants::VarEquals(mds->FieldValues(FMasterKeyFieldNames), detailValues);
        if (!onIt) {
            master->DBProvider()->BeginLocate();
            try {
                onIt = mds->Locate(FMasterKeyFieldNames, detailValues, TLocateOptions());
            } catch (...) {
                master->DBProvider()->EndLocate();
                throw;
            }
            master->DBProvider()->EndLocate();
            master->UpdateFocused();
        }
        if (onIt) {
            if (TcxDBDataController* shown = master->OpenDetailDataSet())
                result = DynamicCast<TcxDBDataController>(shown->ExpandFocusedDetail(relation->GetIndex()));
        }
    } catch (...) {
        master->OpeningDetail = false;
        throw;
    }
    master->OpeningDetail = false;
    return result;
}

void TcxDBDataController::CheckOpenDetailDataSet()
{
    if (OpeningDetail || InCheckBrowseMode) return;
    OpenDetailDataSet();
}

void TcxDBDataController::SetDetailKeyFieldNames(const std::string& names)
{
    if (FDetailKeyFieldNames == names) return;
    FDetailKeyFieldNames = names;
    if (GetMasterRelation() && GetPatternKind() != 2) GetMasterRelation()->Changed();
}

void TcxDBDataController::SetMasterKeyFieldNames(const std::string& names)
{
    if (FMasterKeyFieldNames == names) return;
    FMasterKeyFieldNames = names;
    if (GetMasterRelation() && GetPatternKind() != 2) GetMasterRelation()->Changed();
}

TcxDBProviderDetailFilterAdapter* TcxDBDataController::GetDetailFilterAdapter()
{
    TDataSet* ds = DataSet();
    auto* a = ds ? DynamicCast<TcxDBProviderDetailFilterAdapter>(cxDetailFilterAdapters()->FindAdapter(ds->ClassType()))
                 : nullptr;
    if (!a) cxDataControllerError(&cxSDBDetailFilterControllerNotFound);
    return a;
}

bool TcxDBDataController::IsDetailKeyCurrent()
{
    TDataSet* ds = DataSet();
    std::string names = GetDetailKeyFieldNamesIfMaster();
    if (!ds || names.empty()) return true;
    return cxVariants::VarEquals(ds->FieldValues(names), MasterKeyValues);
}

void TcxDBDataProvider::SetOwnsDetailRows(bool value)
{
    if (OwnsDetailRows == value) return;
    if (value) {
        // One clone at a time has the shared detail data set on its rows.
        for (auto* p : Registry()) {
            if (!SameDataSet(p) || !p->OwnsDetailRows) continue;
            TcxCustomDataController* pc = p->Controller();
            if (pc->GetPatternKind() != 2) continue;
            p->OwnsDetailRows = false;
            auto* dc = DynamicCast<TcxDBDataController>(pc);
            if (dc) dc->ReleasingDetailRows = true;
            try {
                pc->ChangeFocusedRowIndex(-1);
            } catch (...) {
                if (dc) dc->ReleasingDetailRows = false;
                throw;
            }
            if (dc) dc->ReleasingDetailRows = false;
        }
    }
    OwnsDetailRows = value;
}

bool TcxDBDataProvider::GetDetailHasChildren(int recordIndex, int relationIndex)
{
    TcxCustomDataController* master = Controller();
    TcxCustomDataController* pattern = master->GetPatternDataController();
    if (!pattern || !pattern->HasRelations() || relationIndex >= pattern->GetRelations()->Count()) return false;
    auto* detail = DynamicCast<TcxDBDataController>(pattern->GetRelations()->Items(relationIndex)->DetailDataController());
    auto* relation = DynamicCast<TcxDBDataRelation>(master->GetRelations()->Items(relationIndex));
    if (!detail || !relation) return false;
    bool has = true;
    Variant values = relation->GetMasterRecordKeyValues(recordIndex);
    std::string names = detail->GetDetailKeyFieldNamesIfMaster();
    if (DBController()->OnDetailHasChildren) {
        DBController()->OnDetailHasChildren(DBController(), recordIndex, relationIndex, names, values, has);
    } else if (!detail->IsGridMode() && !detail->DataModeController()->DetailInSQLMode) {
        TDataSet* ds = detail->DataSet();
        if (!ds || !ds->Active() || names.empty()) return false;
        TcxDBDataProvider* dp = detail->DBProvider();
        dp->LockSource();
        try {
            dp->SavePos();
            has = ds->Locate(names, values, TLocateOptions());
            dp->RestorePos();
        } catch (...) {
            dp->UnlockSource();
            throw;
        }
        dp->UnlockSource();
    }
    return has;
}

// ---- summary items naming a data-set field ------------------------------------------------------------

QZ_CLASS_IMPL(TcxDBDataSummaryItem, TcxDataSummaryItem)

TcxDBDataSummaryItem::~TcxDBDataSummaryItem()
{
    TcxDBDataField* f = FSummaryField;
    FSummaryField = nullptr;
    delete f;
}

void TcxDBDataSummaryItem::SetFieldName(const std::string& name)
{
    if (FFieldName == name) return;
    FFieldName = name;
    auto* c = DynamicCast<TcxDBDataController>(GetDataController());
    if (name.empty() || !c) {
        TcxDBDataField* f = FSummaryField;
        FSummaryField = nullptr;
        delete f;
    } else {
        if (!FSummaryField) FSummaryField = static_cast<TcxDBDataField*>(c->AddInternalField());
        c->ChangeFieldName(FSummaryField, name);
    }
    Changed(true);
}

void TcxDBDataSummaryItem::Assign(TPersistent* source)
{
    TcxDataSummaryItem::Assign(source);
    if (auto* s = DynamicCast<TcxDBDataSummaryItem>(source)) SetFieldName(s->FFieldName);
}
