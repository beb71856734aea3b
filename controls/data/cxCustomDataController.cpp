// The data controller: items and fields, values, records, loading, change
// notification, editing, focus, navigation, bookmark, selection, sorting and
// grouping requests, incremental filter and text search.
#include "cxCustomData.h"

#include "TextUtils.h"
#include "cxDataConsts.h"
#include "cxDataUtils.h"
#include "cxVariants.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxDataListenerLink, TObject)
QZ_CLASS_IMPL(TcxCustomDataController, TPersistent)

TcxCustomDataController::TcxCustomDataController(TComponent* owner) : FOwner(owner)
{
    FocusedSelected = true;
    FOptions = TcxDataControllerOptions{dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding};
    FStorage = new TcxDataStorage();
    FStorage->OnClearInternalRecords = [this](TObject*) { StorageChanged(); };
    FGroups = new TcxDataControllerGroups(this);
    FFields = new TcxCustomDataFieldList(this);
    FSearch = new TcxDataControllerSearch(this);
    FNotifier = new TcxDataControllerNotifier(this);
}

void TcxCustomDataController::CreateParts()
{
    if (FInfo) return;
    FFilter = CreateFilter();
    FSummary = CreateSummary();
    FProvider = CreateProvider();
    FInfo = new TcxCustomDataControllerInfo(this);
    ResetDataChangeInfo();
}

TcxCustomDataController::~TcxCustomDataController()
{
    FDestroying = true;
    FNotifier->Detach();
    delete FNotifier;
    FNotifier = nullptr;
    if (FMasterRelation && FMasterRelation->PatternController == this) FMasterRelation->PatternController = nullptr;
    // The records go first: their detail objects free the clones, which
    // still refer to this controller's relations.
    FStorage->Clear(false);
    delete FRelations;
    FRelations = nullptr;
    delete FInfo;
    FInfo = nullptr;
    delete FSummary;
    FSummary = nullptr;
    delete FFilter;
    FFilter = nullptr;
    FStorage->Clear(false);
    delete FGroups;
    FGroups = nullptr;
    delete FFields;
    FFields = nullptr;
    delete FStorage;
    FStorage = nullptr;
    delete FProvider;
    FProvider = nullptr;
    delete FSearch;
    FSearch = nullptr;
    ClearDataChangedListeners();
    ClearListenerLinks();
}

void TcxCustomDataController::Assign(TPersistent* source)
{
    auto* src = DynamicCast<TcxCustomDataController>(source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        FFilter->Assign(src->FFilter);
        FSummary->Assign(src->FSummary);
        OnCompare = src->OnCompare;
        OnDataChanged = src->OnDataChanged;
        OnGroupingChanged = src->OnGroupingChanged;
        OnRecordChanged = src->OnRecordChanged;
        OnSortingChanged = src->OnSortingChanged;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TcxCustomDataController::IsLoading()
{
    return FOwner && FOwner->ComponentState().Contains(csLoading);
}

bool TcxCustomDataController::IsDestroying()
{
    return FDestroying || (FOwner && FOwner->ComponentState().Contains(csDestroying));
}

// ---- items and fields -------------------------------------------------------------------------------

TObject* TcxCustomDataController::FindItemByID(int id)
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetItemID(GetItem(i)) == id) return GetItem(i);
    return nullptr;
}

TcxCustomDataField* TcxCustomDataController::AddField()
{
    TcxCustomDataField* f = CreateField(FFields);
    FFields->Add(f);
    return f;
}

TcxCustomDataField* TcxCustomDataController::AddInternalField()
{
    TcxCustomDataField* f = CreateField(FFields);
    f->SetInternalField(true);
    FFields->Add(f);
    return f;
}

void TcxCustomDataController::AddItem(TObject* item)
{
    if (item && FFields->FindByItem(item)) cxDataControllerError(&cxSDataItemExistError);
    TcxCustomDataField* f = AddField();
    f->SetItem(item);
}

void TcxCustomDataController::RemoveItem(TObject* item)
{
    TcxCustomDataField* f = FFields->FindByItem(item);
    if (!f) return;
    BeginUpdate();
    try {
        FInfo->RemoveField(f);
        delete f;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::UpdateItemIndexes()
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (TcxCustomDataField* f = FFields->FindByItem(GetItem(i))) f->MoveTo(i);
    Change(dcfLayout);
}

void TcxCustomDataController::CheckItemRange(int item)
{
    if (item < 0 || item >= GetItemCount()) cxDataControllerError(&cxSDataItemIndexError);
}

TcxCustomDataField* TcxCustomDataController::GetItemField(int item)
{
    CheckItemRange(item);
    return FFields->Fields(item);
}

void TcxCustomDataController::ChangeValueTypeClass(int item, TcxValueTypeClass valueType)
{
    TcxCustomDataField* f = GetItemField(item);
    if (f->ValueType() == valueType) return;
    f->SetValueType(valueType);
    FInfo->FieldChanged(f);
    SummaryChanged(item);
}

TcxValueTypeClass TcxCustomDataController::GetItemValueTypeClass(int item) { return GetItemField(item)->ValueType(); }

void TcxCustomDataController::ChangeTextStored(int item, bool value)
{
    TcxCustomDataField* f = GetItemField(item);
    if (f->StoreText() == value) return;
    f->SetStoreText(value);
    FInfo->FieldChanged(f);
}

bool TcxCustomDataController::GetItemTextStored(int item) { return GetItemField(item)->StoreText(); }

void TcxCustomDataController::ChangeSortByText(int item, bool value)
{
    CheckItemRange(item);
    if (value == GetSortByText(item)) return;
    TcxCustomDataField* f = GetItemField(item);
    f->SortByText = value;
    FInfo->FieldChanged(f);
}

void TcxCustomDataController::FieldDestroyed(TcxCustomDataField* field)
{
    if (FRelations) FRelations->FieldRemoved(field);
    if (FDestroying) return;
    if (FFilter) FFilter->RemoveItemByItemLink(field);
    if (FSummary) FSummary->ClearFieldLinks(field);
    if (FInfo) FInfo->RemoveField(field);
    if (field == FIncrementalFilterField) ResetIncrementalFilter();
    if (field == SearchField) {
        FSearch->Cancel();
        SearchField = nullptr;
    }
}

void TcxCustomDataController::RemoveNotification(TComponent* component) { FFields->ComponentRemoved(component); }

// ---- values --------------------------------------------------------------------------------------------

void TcxCustomDataController::CheckRecordRange(int record)
{
    if (record < 0 || record >= GetRecordCount()) {
        if (record < 0 && record == GetNewItemRecordIndex()) return;
        cxDataControllerError(&cxSDataRecordIndexError);
    }
}

void TcxCustomDataController::CheckRange(int record, int item)
{
    CheckRecordRange(record);
    CheckItemRange(item);
}

int TcxCustomDataController::GetNewItemRecordIndex()
{
    if (FNewItemRecordIndex == 0) FNewItemRecordIndex = FStorage->AddInternalRecord();
    return FNewItemRecordIndex;
}

bool TcxCustomDataController::IsNewItemRecordIndex(int record)
{
    return FNewItemRowEnabled && FNewItemRecordIndex != 0 && record == FNewItemRecordIndex;
}

void TcxCustomDataController::StorageChanged()
{
    FNewItemRecordIndex = 0;
    if (FProvider) FProvider->BackupRecordIndex = 0;
}

Variant TcxCustomDataController::GetValue(int record, int item)
{
    CheckRange(record, item);
    Variant v;
    GetValueCore(record, FFields->Fields(item), v);
    return v;
}

std::string TcxCustomDataController::GetDisplayText(int record, int item)
{
    CheckRange(record, item);
    std::string s;
    GetDisplayTextCore(record, FFields->Fields(item), s);
    return s;
}

void TcxCustomDataController::GetValueCore(int record, TcxCustomDataField* field, Variant& value)
{
    bool dataField = !field->IsInternal() || (field->LinkedField() && !field->LinkedField()->IsInternal());
    if (IsGridMode() && dataField) {
        FProvider->GetBufferValue(record, field, value);
        return;
    }
    TcxValueDef* def = field->ValueDef();
    if (!def) {
        value = Null();
        return;
    }
    FStorage->ReadValue(record, def, value);
}

void TcxCustomDataController::GetDisplayTextCore(int record, TcxCustomDataField* field, std::string& text)
{
    bool dataField = !field->IsInternal() || (field->LinkedField() && !field->LinkedField()->IsInternal());
    if (IsGridMode() && dataField) {
        FProvider->GetBufferDisplayText(record, field, text);
        return;
    }
    TcxValueDef* def = field->ValueDef();
    if (!def) {
        text.clear();
        return;
    }
    FStorage->ReadText(record, def, text);
}

void TcxCustomDataController::SetValue(int record, int item, const Variant& value)
{
    if (IsGridMode()) return;
    CheckRange(record, item);
    TcxValueDef* def = FFields->Fields(item)->ValueDef();
    if (!def) return;
    FStorage->WriteValue(record, def, value);
    DataChanged(dckValue, item, record);
}

void TcxCustomDataController::SetDisplayText(int record, int item, const std::string& text)
{
    if (IsGridMode()) return;
    CheckRange(record, item);
    TcxValueDef* def = FFields->Fields(item)->ValueDef();
    if (!def) return;
    FStorage->WriteText(record, def, text);
    DataChanged(dckValue, item, record);
}

void TcxCustomDataController::GetRecordValuesByFields(int record, const std::vector<TcxCustomDataField*>& fields,
                                                      Variant& value)
{
    if (fields.empty()) {
        value = Null();
    } else if (fields.size() == 1) {
        GetValueCore(record, fields[0], value);
    } else {
        std::vector<Variant> vs(fields.size());
        for (size_t i = 0; i < fields.size(); ++i) GetValueCore(record, fields[i], vs[i]);
        value = VarArrayOf(vs);
    }
}

void TcxCustomDataController::GetGroupValues(int record, std::vector<Variant>& values)
{
    auto* list = FInfo->GroupingList();
    values.assign(size_t(list->Count()), Null());
    if (record < 0 || record >= GetRecordCount()) return;
    for (int i = 0; i < list->Count(); ++i) GetGroupValueSlot(record, list->Items(i).Field, values[size_t(i)]);
}

std::string TcxCustomDataController::GetRowDisplayText(const TcxDataControllerRowInfo& row, int& item)
{
    if (row.Level < FGroups->GetGroupingItemCount() && !IsNewItemRecordIndex(row.RecordIndex))
        item = FGroups->GetGroupingItemIndex(row.Level);
    return GetDisplayText(row.RecordIndex, item);
}

Variant TcxCustomDataController::GetRowValue(const TcxDataControllerRowInfo& row, int item)
{
    if (row.Level < FGroups->GetGroupingItemCount() && !IsNewItemRecordIndex(row.RecordIndex))
        item = FGroups->GetGroupingItemIndex(row.Level);
    return GetValue(row.RecordIndex, item);
}

// ---- records ---------------------------------------------------------------------------------------------

void TcxCustomDataController::ClearInfo(int record)
{
    FInfo->TrimSelection();
    CheckBookmarkValid(record);
}

int TcxCustomDataController::AppendRecord()
{
    int r = FStorage->AppendRecord();
    DataChanged(dckRecordAdded, -1, -1);
    return r;
}

int TcxCustomDataController::InsertRecord(int record)
{
    if (record < 0 || record > GetRecordCount()) cxDataControllerError(&cxSDataRecordIndexError);
    FStorage->InsertRecord(record);
    CorrectDetailsAfterInsert(record);
    DataChanged(dckRecordAdded, -1, -1);
    return record;
}

void TcxCustomDataController::DeleteRecord(int record)
{
    CheckRecordRange(record);
    if (FProvider->EditRecordIndex == record) FProvider->EditRecordIndex = cxNullEditingRecordIndex;
    bool newItem = record < 0 && record == FNewItemRecordIndex;
    FStorage->DeleteRecord(record);
    if (record >= 0) {
        CorrectDetailsAfterDelete(record);
        // Records above the deleted one moved down: so does a bookmark on them.
        if (FBookmarkRecordIndex > record) --FBookmarkRecordIndex;
        else if (FBookmarkRecordIndex == record) {
            InternalClearBookmark();
            Change(dcfBookmark);
        }
    }
    ClearInfo(record);
    if (newItem) FNewItemRecordIndex = 0;
    DataChanged(dckRecordDeleted, -1, -1);
}

void TcxCustomDataController::SetRecordCount(int count)
{
    if (IsGridMode()) return;
    if (count < 0) count = 0;
    int old = GetRecordCount();
    if (count == old) return;
    FStorage->SetRecordCount(count);
    ClearInfo(-1);
    CorrectEditingRecord(-1);
    DataChanged(count > old ? dckRecordAdded : dckRecordDeleted, -1, -1);
}

void TcxCustomDataController::CopyRecord(int source, int destination)
{
    TcxValueDefRecordReader reader(this, source);
    FStorage->ReadRecord(destination, &reader, false);
    if (destination >= 0) DataChanged(dckRecord, -1, -1);
}

void TcxCustomDataController::CorrectEditingRecord(int record)
{
    int e = FProvider->EditRecordIndex;
    if (e == cxNullEditingRecordIndex || e < 0) return;
    if (e < GetRecordCount() && (record < 0 || e < record)) return;
    FProvider->ResetEditing();
}

int TcxCustomDataController::GetLastRecordIndex()
{
    int rows = GetRowCount();
    return rows > 0 ? GetRowInfo(rows - 1).RecordIndex : -1;
}

// ---- structure and loading ---------------------------------------------------------------------------------

void TcxCustomDataController::SetActive(bool value)
{
    FActive = value;
    UpdateStructure(FProvider->IsActive());
    if (TcxCustomDataController* master = GetMasterDataController()) master->ResetHasChildrenFlags();
}

void TcxCustomDataController::UpdateStructure(bool forced)
{
    if (FUpdateStructureRunning || FDestroying) return;
    if (GetLockCount() > 0) {
        FStructureChangePending = true;
        return;
    }
    FUpdateStructureRunning = true;
    try {
        if (IsDataLinked()) UpdateStorage(forced);
    } catch (...) {
        FUpdateStructureRunning = false;
        throw;
    }
    FUpdateStructureRunning = false;
}

void TcxCustomDataController::UpdateStorage(bool forced)
{
    BeginUpdate();
    try {
        if (IsDataLinked()) {
            if ((forced || FProvider->HasFieldStructure()) &&
                !(FProvider->IsGridModeUpdating() && (GetEditState() & cesInserting)))
                UpdateFieldsSlot();
            if (!FStructureChangePending) LoadStorage();
        }
        FInfo->Refresh();
        FUpdateStructureRunning = false;
        FRestructurePending = false;
    } catch (...) {
        FRestructurePending = false;
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::LoadStorage()
{
    FStorage->Clear(false);
    if (FProvider->IsActive()) {
        LoadStorageStep();
        LoadingStorage = true;
        try {
            ClearInfo(-1);
        } catch (...) {
            LoadingStorage = false;
            throw;
        }
        LoadingStorage = false;
        UpdateFocused();
    }
    Change(dcfData);
    UpdateFields();
}

void TcxCustomDataController::LoadStorageStep()
{
    if (IsGridMode()) {
        FStorage->BeginLoad();
        FProvider->LoadRecords();
        FStorage->EndLoad();
        return;
    }
    FProvider->LockSource();
    try {
        FProvider->SavePos();
        FProvider->First();
        if (FProvider->FieldsRecreated) UpdateFieldsSlot();
        FStorage->BeginLoad();
        std::unique_ptr<TcxValueDefReader> reader(FProvider->CreateValueDefReader());
        try {
            while (!FProvider->IsEOF()) {
                int r = FStorage->AppendRecord();
                FStorage->ReadRecord(r, reader.get(), false);
                ReadRecordNotify(r);
                FProvider->Next();
            }
        } catch (...) {
            FStorage->EndLoad();
            throw;
        }
        FStorage->EndLoad();
        Reloaded = true;
        FProvider->RestorePos();
    } catch (...) {
        FProvider->UnlockSource();
        throw;
    }
    FProvider->UnlockSource();
}

void TcxCustomDataController::RestructData()
{
    BeginUpdate();
    try {
        FProvider->ResetEditing();
        FStorage->Clear(false);
        InternalClearBookmark();
        ClearInfo(-1);
        FStorage->SetKeptValuesOnly(IsGridMode());
        FRestructurePending = true;
        StructureChanged(true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::UpdateFields() {}

void TcxCustomDataController::UpdateFieldsSlot()
{
    for (int i = 0; i < FFields->Count(); ++i) FFields->Fields(i)->Refreshed = false;
    bool again = true;
    while (again) {
        again = false;
        for (int i = 0; i < FFields->Count(); ++i) {
            TcxCustomDataField* f = FFields->Fields(i);
            if (f->Refreshed) continue;
            FFields->FieldRemoved = false;
            NotifyFieldChanged(f);
            if (FFields->FieldRemoved) {
                // The list changed under the loop: start again from the first field.
                again = true;
                break;
            }
            f->Refreshed = true;
        }
    }
}

void TcxCustomDataController::CheckGridModeChanged()
{
    bool was = FWasGridMode;
    FProvider->GroupedFlag = FInfo->GroupingList()->Count() > 0;
    FWasGridMode = IsGridMode();
    if (FWasGridMode != was) RestructData();
}

void TcxCustomDataController::DataChangedNotify()
{
    Cancel();
    Refresh();
    CheckBookmarkValid(-1);
    GetSelectionStateSnapshot();
}

void TcxCustomDataController::Refresh()
{
    BeginUpdate();
    try {
        FInfo->Refresh();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::LayoutChanged() { UpdateFocused(); }

void TcxCustomDataController::UpdateFocused()
{
    if (FProvider->LocateDepth > 0 && FInfo->Focusing()) return;
    FInfo->UpdateFocused();
}

void TcxCustomDataController::ExpandingChanged(bool value) { FInfo->ExpandingChanged(value); }

void TcxCustomDataController::SetOptions(TcxDataControllerOptions value)
{
    if (FOptions == value) return;
    FOptions = value;
    Refresh();
}

// ---- comparison and search ---------------------------------------------------------------------------------

int TcxCustomDataController::CompareRecords(int a, int b, const TcxSortingFieldEntry& entry)
{
    int r = CompareByField(a, b, entry.Field);
    return entry.SortOrder == soDescending ? -r : r;
}

int TcxCustomDataController::CompareByField(int a, int b, TcxCustomDataField* field)
{
    if ((OnCompare && !field->IsInternal()) || IsConversionNeeded(field)) {
        Variant v1, v2;
        GetComparedValue(a, field, v1);
        GetComparedValue(b, field, v2);
        if (OnCompare) {
            int compare = 0;
            OnCompare(this, a, b, field->Index(), v1, v2, compare);
            return compare;
        }
        if (cxVariants::IsStringVariant(v1) && cxVariants::IsStringVariant(v2))
            return CompareStrings(v1.RawString(), v2.RawString());
        return cxVariants::VarCompare(v1, v2);
    }
    return InternalCompare(a, b, field);
}

int TcxCustomDataController::InternalCompare(int a, int b, TcxCustomDataField* field)
{
    TcxValueDef* def = field->ValueDef();
    if (!def) return 0;
    return FStorage->CompareRecords(a, b, def);
}

void TcxCustomDataController::GetComparedValue(int record, TcxCustomDataField* field, Variant& value)
{
    if (field->CompareMode == 2) {
        std::string s;
        GetDisplayTextCore(record, field, s);
        value = Variant(s);
    } else {
        GetValueCore(record, field, value);
    }
}

bool TcxCustomDataController::IsConversionNeeded(TcxCustomDataField* field)
{
    if (field->CompareMode != 0) return field->CompareMode > 0;
    return field->SortByText || IsCompareStringField(field) || IsSortByDisplayText(field);
}

bool TcxCustomDataController::IsCompareStringField(TcxCustomDataField* field)
{
    return (FOptions.Contains(dcoAnsiSort) || FOptions.Contains(dcoCaseInsensitive)) && field->ValueDef() &&
           field->ValueType() && field->ValueType()->IsText();
}

bool TcxCustomDataController::IsSortByDisplayText(TcxCustomDataField* field)
{
    if (DisplayTextSortingOff || field->IsInternal()) return false;
    return GetItemSortByDisplayText(field->Index(), FOptions.Contains(dcoSortByDisplayText));
}

bool TcxCustomDataController::IsSortByDisplayTextNeeded(int item)
{
    if (GetItemSortByDisplayText(item, true)) return true;
    TcxCustomDataField* f = GetItemField(item);
    return FOptions.Contains(dcoAnsiSort) && f->ValueDef() && f->ValueType() && f->ValueType()->IsText();
}

int TcxCustomDataController::CompareStrings(const std::string& s1, const std::string& s2)
{
    bool ansi = FOptions.Contains(dcoAnsiSort), ci = FOptions.Contains(dcoCaseInsensitive);
    if (ansi && ci) return AnsiCompareText(s1, s2);
    if (ansi) return AnsiCompareStr(s1, s2);
    if (ci) return cxVariants::CompareGbkStr(AnsiUpperCase(s1), AnsiUpperCase(s2));
    return cxVariants::VarCompare(Variant(s1), Variant(s2));
}

int TcxCustomDataController::FindRecordIndexInSorted(int referenceRecord, int keyCount)
{
    TcxSortingFieldList* total = FInfo->TotalSortingList();
    int lo = 0, hi = GetFilteredRecordCount() - 1;
    keyCount = std::min(keyCount, total->Count());
    while (lo <= hi) {
        int mid = int((unsigned(lo) + unsigned(hi)) >> 1);
        int rec = GetFilteredRecordIndex(mid);
        int c = 0;
        for (int k = 0; k < keyCount && c == 0; ++k) c = FInfo->CompareRecordsByEntry(rec, referenceRecord, total->Items(k));
        if (c == 0) return rec;
        if (c < 0) lo = mid + 1;
        else hi = mid - 1;
    }
    return -1;
}

int TcxCustomDataController::FindRecordByFields(int referenceRecord, const std::vector<TcxCustomDataField*>& fields)
{
    if (fields.empty()) return -1;
    for (auto* f : fields) f->CompareMode = 0;
    for (auto* f : fields) f->CompareMode = !IsConversionNeeded(f) ? -1 : (IsSortByDisplayText(f) ? 2 : 1);
    int result = -1;
    try {
        for (int r = 0; r < GetRecordCount() && result < 0; ++r) {
            bool equal = true;
            for (auto* f : fields)
                if (CompareByField(r, referenceRecord, f) != 0) {
                    equal = false;
                    break;
                }
            if (equal) result = r;
        }
    } catch (...) {
        for (auto* f : fields) f->CompareMode = 0;
        throw;
    }
    for (auto* f : fields) f->CompareMode = 0;
    return result;
}

// ---- change notification ------------------------------------------------------------------------------------

void TcxCustomDataController::BeginUpdate() { FInfo->BeginUpdate(); }

void TcxCustomDataController::EndUpdate()
{
    FInfo->EndUpdate();
    CheckChanges();
}

void TcxCustomDataController::BeginFullUpdate()
{
    if (FFullUpdateCount++ != 0) return;
    BeginUpdate();
    FSaveObject = std::make_unique<TcxSaveObject>();
    FSaveObject->SaveFrom(this);
}

void TcxCustomDataController::EndFullUpdate()
{
    if (--FFullUpdateCount != 0) return;
    try {
        if (FSaveObject) FSaveObject->RestoreTo(this);
    } catch (...) {
        FSaveObject.reset();
        EndUpdate();
        throw;
    }
    FSaveObject.reset();
    EndUpdate();
}

void TcxCustomDataController::Change(TcxDataControllerChanges changes)
{
    FChanges |= changes;
    CheckChanges();
}

void TcxCustomDataController::CheckChanges()
{
    // A structure change asked for under the lock runs once the lock is gone,
    // also when nothing else changed meanwhile.
    if ((FChanges == 0 && !FStructureChangePending) || GetLockCount() > 0) return;
    if (FStructureChangePending) {
        FStructureChangePending = false;
        StructureChanged(true);
    }
    if (FChanges != 0) Update();
}

void TcxCustomDataController::Update()
{
    TcxDataControllerChanges c = FChanges;
    FChanges = 0;
    if (c & dcfData) NotifyDataChanged();
    else if (c & (dcfLayout | dcfDetails | dcfSummary)) NotifyLayoutChanged();
    else if (c & dcfUpdateRecord) NotifyUpdateRecord();
    if (c & dcfFocused) NotifyFocusedChanged();
    if (c & dcfSelection) NotifySelectionChanged();
    if (c & dcfSearch) NotifySearchChanged();
    if (c & dcfBookmark) NotifyBookmarkChanged();
    if (c & dcfGrouping) DoGroupingChanged();
    if (c & dcfSorting) DoSortingChanged();
}

void TcxCustomDataController::NotifyControl(TcxUpdateControlInfo* info)
{
    std::unique_ptr<TcxUpdateControlInfo> owned(info);
    UpdateControl(info);
}

void TcxCustomDataController::UpdateControl(TcxUpdateControlInfo* info)
{
    if (OnUpdateControl) OnUpdateControl(info);
}

void TcxCustomDataController::ResetDataChangeInfo()
{
    FRecordedKind = dckRefresh;
    FRecordedItem = -1;
    FRecordedRecord = -1;
}

void TcxCustomDataController::DataChanged(TcxDataChangeKind kind, int item, int record)
{
    bool recorded = FRecordedRecord != -1 || IsNewItemRecordIndex(FRecordedRecord);
    if (recorded && record != FRecordedRecord) {
        FRecordedKind = dckRefresh;
    } else if (kind != dckValue || FRecordedItem == -1 || FRecordedItem == item) {
        FRecordedKind = kind;
    } else {
        FRecordedKind = dckRecord;
        item = -1;
    }
    FRecordedItem = item;
    FRecordedRecord = record;
    if (kind == dckRefresh) {
        UpdateStorage(false);
    } else {
        if (kind == dckRecordAdded || kind == dckRecordDeleted) FInfo->FocusingChanged(false);
        FInfo->Refresh();
    }
    // The master's "has details" marks may no longer hold.
    if (TcxCustomDataController* master = GetMasterDataController())
        if (!(GetEditState() & (cesEditing | cesInserting))) master->ResetHasChildrenFlags();
}

void TcxCustomDataController::NotifyDataChanged()
{
    TcxDataChangeKind kind = FRecordedKind;
    int item = FRecordedItem, record = FRecordedRecord;
    if (kind == dckValue && item == -1) kind = dckRecord;
    if (kind < dckRecordAdded && record == -1 && !IsNewItemRecordIndex(-1)) kind = dckRefresh;
    FRecordedKind = kind;
    try {
        NotifyControl(new TcxDataChangedInfo(kind, item, record));
        DoDataChanged();
    } catch (...) {
        ResetDataChangeInfo();
        throw;
    }
    ResetDataChangeInfo();
}

bool TcxCustomDataController::IsDataChangedListenersExist() const
{
    return OnDataChanged || OnRecordChanged || !FDataChangedListeners.empty();
}

void TcxCustomDataController::DoDataChanged()
{
    if (IsDestroying() || !IsDataChangedListenersExist()) return;
    if (IsLoading()) {
        FDataChangedPending = true;
        return;
    }
    FDataChangedPending = false;
    NotifyDataChangedListeners();
}

void TcxCustomDataController::NotifyDataChangedListeners()
{
    if (!IsPattern()) {
        bool recorded = FRecordedRecord != -1 || IsNewItemRecordIndex(FRecordedRecord);
        if ((FRecordedKind == dckValue || FRecordedKind == dckRecord) && recorded && OnRecordChanged)
            OnRecordChanged(this, FRecordedRecord, FRecordedItem);
        if (OnDataChanged) OnDataChanged(this);
    }
    if (IsGridMode() && FProvider->LocateDepth != 0) return;
    // A copy: a listener may remove itself or others while being called.
    std::vector<TNotifyEventItem> listeners = FDataChangedListeners;
    for (const TNotifyEventItem& l : listeners) {
        bool still = false;
        for (const TNotifyEventItem& x : FDataChangedListeners)
            if (x.Target == l.Target && x.Id == l.Id) still = true;
        if (still && l.Event) l.Event(this);
    }
}

int TcxCustomDataController::AddDataChangedListener(TObject* target, TNotifyEvent handler, int id)
{
    if (id == 0) id = FNextListenerId++;
    FDataChangedListeners.push_back({target, id, std::move(handler)});
    return id;
}

void TcxCustomDataController::RemoveDataChangedListener(TObject* target, int id)
{
    for (size_t i = 0; i < FDataChangedListeners.size(); ++i)
        if (FDataChangedListeners[i].Target == target && (id == 0 || FDataChangedListeners[i].Id == id)) {
            FDataChangedListeners.erase(FDataChangedListeners.begin() + long(i));
            return;
        }
}

void TcxCustomDataController::ClearDataChangedListeners() { FDataChangedListeners.clear(); }

void TcxCustomDataController::CheckPendingChanges()
{
    if (FDataChangedPending) DoDataChanged();
    if (FAfterSummaryPending) {
        FAfterSummaryPending = false;
        FSummary->DoAfterSummary();
    }
}

TcxDataListenerLink* TcxCustomDataController::AddListenerLink()
{
    auto* link = new TcxDataListenerLink(this);
    FListenerLinks.push_back(link);
    return link;
}

void TcxCustomDataController::RemoveListenerLink(TcxDataListenerLink* link)
{
    if (link->Target) {
        auto& v = link->Target->FListenerLinks;
        v.erase(std::remove(v.begin(), v.end(), link), v.end());
    }
    delete link;
}

void TcxCustomDataController::ClearListenerLinks()
{
    for (auto* l : FListenerLinks) l->Target = nullptr;
    FListenerLinks.clear();
}

void TcxCustomDataController::NotifyLayoutChanged() { NotifyControl(new TcxLayoutChangedInfo()); }

void TcxCustomDataController::NotifyUpdateRecord() { NotifyControl(new TcxUpdateRecordInfo(GetFocusedRecordIndex())); }

void TcxCustomDataController::NotifyFocusedChanged()
{
    TcxDataFocusingInfo* cur = FInfo->FocusingInfo();
    TcxDataFocusingInfo* prev = FInfo->PrevFocusingInfo();
    if (prev->RowIndex != cur->RowIndex) NotifyControl(new TcxFocusedRowChangedInfo(cur->RowIndex, prev->RowIndex));
    if (prev->SavedRecordIndex >= 0 || GetFocusedRecordIndex() >= 0 || prev->Changed) {
        NotifyControl(new TcxFocusedRecordChangedInfo(prev->SavedRecordIndex, GetFocusedRecordIndex(), cur->RowIndex,
                                                      prev->RowIndex, prev->Changed));
        FSearch->Cancel();
    }
    prev->Assign(cur);
}

void TcxCustomDataController::NotifySelectionChanged()
{
    int count = GetSelectedCount();
    int row = -1, oldRow = -1, newRow = -1;
    if (count <= 1) {
        row = count == 1 ? GetSelectedRowIndex(0) : -1;
        if (FPrevSelectedCount <= 1) {
            oldRow = FPrevSelectedCount == 1 ? FPrevSelectedRow : -1;
            newRow = row;
        }
    }
    FPrevSelectedCount = count;
    FPrevSelectedRow = row;
    NotifyControl(new TcxSelectionChangedInfo(oldRow, newRow));
}

void TcxCustomDataController::GetSelectionStateSnapshot()
{
    if (FPrevSelectedCount == 1) {
        FPrevSelectedCount = GetSelectedCount();
        FPrevSelectedRow = FPrevSelectedCount == 1 ? GetSelectedRowIndex(0) : -1;
    }
}

void TcxCustomDataController::NotifySearchChanged() { NotifyControl(new TcxSearchChangedInfo()); }

void TcxCustomDataController::NotifyBookmarkChanged() { NotifyControl(new TcxBookmarkChangedInfo()); }

void TcxCustomDataController::DoGroupingChanged()
{
    if (FOwner && FOwner->ComponentState().Contains(csReading)) return;
    if (OnGroupingChanged) OnGroupingChanged(this);
}

void TcxCustomDataController::DoSortingChanged()
{
    if (FSortingChangedRunning) return;
    if (FOwner && FOwner->ComponentState().Contains(csReading)) return;
    FSortingChangedRunning = true;
    try {
        if (OnSortingChanged) OnSortingChanged(this);
    } catch (...) {
        FSortingChangedRunning = false;
        throw;
    }
    FSortingChangedRunning = false;
}

// ---- editing ------------------------------------------------------------------------------------------------

void TcxCustomDataController::Append()
{
    if (FProvider->CanAppend()) FProvider->Append();
}

void TcxCustomDataController::Insert()
{
    if (FProvider->CanInsert()) FProvider->Insert();
}

void TcxCustomDataController::Edit()
{
    if (FProvider->CanModify()) FProvider->Edit();
}

void TcxCustomDataController::Post()
{
    TcxDataListenerLink* link = AddListenerLink();
    try {
        if (FProvider->IsEditing()) FProvider->Post();
    } catch (...) {
        if (link->Target) FProvider->PostedInsertIndex = -1;
        RemoveListenerLink(link);
        throw;
    }
    if (link->Target) FProvider->PostedInsertIndex = -1;
    RemoveListenerLink(link);
}

void TcxCustomDataController::Cancel()
{
    int row = GetFocusedRowIndex();
    if (FProvider->IsEditing()) FProvider->Cancel();
    int rows = GetRowCount();
    ChangeFocusedRowIndex(row >= rows ? rows - 1 : row);
}

void TcxCustomDataController::DeleteFocused()
{
    int row = GetFocusedRowIndex();
    if (row < 0 || !FProvider->CanDelete()) return;
    TcxDataControllerRowInfo info = GetRowInfo(row);
    if (info.Level >= FGroups->GetGroupingItemCount()) {
        FProvider->Delete();
    } else {
        std::vector<int> list;
        FGroups->AddRowRecords(list, row);
        FProvider->DeleteRecords(list);
    }
}

void TcxCustomDataController::DeleteSelection()
{
    if (GetSelectedCount() == 0 || !FProvider->CanDelete()) return;
    if (!FMultiSelect) FProvider->Delete();
    else FProvider->DeleteSelection();
}

bool TcxCustomDataController::StartItemEditing(int item)
{
    CheckItemRange(item);
    if (!FProvider->CanModify()) return false;
    if (!GetItemField(item)->CanModify(GetItemEditValueSource(item))) return false;
    return FProvider->CanInitEditing(GetEditingRecordIndex());
}

Variant TcxCustomDataController::GetEditValue(int item, int valueSource)
{
    CheckItemRange(item);
    if (FNewItemRowEnabled && IsNewItemRowFocused() && !FProvider->IsEditing()) return Null();
    Variant v;
    FProvider->GetEditValue(GetEditingRecordIndex(), GetItemField(item), valueSource, v);
    return v;
}

bool TcxCustomDataController::SetEditValue(int item, const Variant& value, int valueSource)
{
    if (!StartItemEditing(item)) return false;
    return FProvider->SetEditValue(GetEditingRecordIndex(), GetItemField(item), valueSource, value);
}

TcxDataControllerEditOperations TcxCustomDataController::GetEditOperations()
{
    TcxDataControllerEditOperations r = 0;
    if (FProvider->CanAppend()) r |= ceoAppend;
    if (FProvider->CanDelete()) r |= ceoDelete;
    if (FProvider->CanModify()) r |= ceoEdit;
    if (FProvider->CanInsert()) r |= ceoInsert;
    if (!FProvider->IsSourceOpen() || FProvider->IsSyncMode()) r |= ceoCellEditing;
    return r;
}

TcxDataControllerEditState TcxCustomDataController::GetEditState()
{
    TcxDataControllerEditState r = 0;
    if (FProvider->IsInserting()) r |= cesInserting;
    else if (FProvider->IsEditing()) r |= cesEditing;
    if (r) {
        if (FProvider->IsItemEditPending()) r |= cesItemEditPending;
        if (FProvider->IsModified()) r |= cesModified;
    }
    return r;
}

bool TcxCustomDataController::IsEditing()
{
    return (GetEditState() & (cesInserting | cesEditing)) && FProvider->EditRecordIndex != cxNullEditingRecordIndex;
}

int TcxCustomDataController::GetEditingRecordIndex()
{
    int e = FProvider->EditRecordIndex;
    return e != cxNullEditingRecordIndex ? e : GetActiveRecordIndex();
}

int TcxCustomDataController::GetActiveRecordIndex()
{
    if (IsNewItemRowFocused()) return GetNewItemRecordIndex();
    int r = GetFocusedRecordIndex();
    return r < 0 ? cxNullEditingRecordIndex : r;
}

int TcxCustomDataController::GetFocusedRecordIndexForEdit()
{
    if (FProvider->IsSourceOpen() && FProvider->IsSyncMode()) return FProvider->GetFocusedRecordIndex();
    return GetFocusedRecordIndex();
}

bool TcxCustomDataController::CanFocusRecord(int record)
{
    if (!FProvider->IsSourceOpen() && record != FProvider->EditRecordIndex) Post();
    return true;
}

void TcxCustomDataController::DoBeforeInsert() { if (OnBeforeInsert) OnBeforeInsert(this); }
void TcxCustomDataController::DoAfterInsert() { if (OnAfterInsert) OnAfterInsert(this); }
void TcxCustomDataController::DoNewRecord(int record) { if (OnNewRecord) OnNewRecord(this, record); }
void TcxCustomDataController::DoBeforePost() { if (OnBeforePost) OnBeforePost(this); }
void TcxCustomDataController::DoAfterPost() { if (OnAfterPost) OnAfterPost(this); }
void TcxCustomDataController::DoBeforeCancel() { if (OnBeforeCancel) OnBeforeCancel(this); }
void TcxCustomDataController::DoAfterCancel() { if (OnAfterCancel) OnAfterCancel(this); }
void TcxCustomDataController::DoBeforeDelete(int record) { if (OnBeforeDelete) OnBeforeDelete(this, record); }
void TcxCustomDataController::DoAfterDelete() { if (OnAfterDelete) OnAfterDelete(this); }

// ---- new-item row -----------------------------------------------------------------------------------------------

void TcxCustomDataController::SetNewItemRowEnabled(bool value)
{
    if (FNewItemRowEnabled == value) return;
    Cancel();
    ClearSelection();
    FNewItemRowEnabled = value;
    Change(dcfData);
}

void TcxCustomDataController::SetNewItemRowFocused(bool value)
{
    if (FNewItemRowFocused == value) return;
    BeginUpdate();
    try {
        if (value) ChangeFocusedRowIndex(-1);
        else if (!IsDestroying()) Post();
        FInfo->FocusingChanged(true);
        FNewItemRowFocused = value;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TcxCustomDataController::IsNewItemRowFocused()
{
    return FNewItemRowFocused && FNewItemRowEnabled && GetFocusedRecordIndex() == -1;
}

void TcxCustomDataController::ResetNewItemRowFocusing()
{
    if (FNewItemRowFocused) FInfo->PrevFocusingInfo()->Changed = true;
    FNewItemRowFocused = false;
}

// ---- focus and navigation --------------------------------------------------------------------------------------

int TcxCustomDataController::GetRowIndexByRecordIndex(int record, bool makeVisible)
{
    CheckRecordRange(record);
    return FInfo->GetRowIndexByRecordIndex(record, makeVisible);
}

bool TcxCustomDataController::ChangeFocusedRowIndex(int row)
{
    if (FProvider->IsSyncMode() && !FProvider->InsertFromSource && row != GetFocusedRowIndex() &&
        !CanChangeFocusedRecord())
        return false;
    FInfo->SetFocusedRowIndex(row);
    CheckChanges();
    return true;
}

bool TcxCustomDataController::ChangeFocusedRecordIndex(int record)
{
    return ChangeFocusedRowIndex(GetRowIndexByRecordIndex(record, true));
}

void TcxCustomDataController::GotoFirst()
{
    if (IsGridMode()) FProvider->First();
    else ChangeFocusedRowIndex(0);
}

void TcxCustomDataController::GotoLast()
{
    if (IsGridMode()) FProvider->Last();
    else ChangeFocusedRowIndex(GetRowCount() - 1);
}

void TcxCustomDataController::GotoNext()
{
    if (IsGridMode()) FProvider->Next();
    else ChangeFocusedRowIndex(GetFocusedRowIndex() + 1);
}

void TcxCustomDataController::GotoPrev()
{
    if (IsGridMode()) FProvider->Prior();
    else ChangeFocusedRowIndex(std::max(0, GetFocusedRowIndex() - 1));
}

void TcxCustomDataController::MoveBy(int distance)
{
    if (IsGridMode()) FProvider->MoveBy(distance);
    else ChangeFocusedRowIndex(std::max(0, GetFocusedRowIndex() + distance));
}

void TcxCustomDataController::Scroll(int distance)
{
    if (IsGridMode()) FProvider->Scroll(distance);
}

bool TcxCustomDataController::IsBOF()
{
    if (IsGridMode() && !FProvider->IsInserting()) return FProvider->IsBOF();
    return GetFocusedRowIndex() == 0 || GetRowCount() == 0;
}

bool TcxCustomDataController::IsEOF()
{
    if (IsGridMode()) return FProvider->IsEOF();
    return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}

void TcxCustomDataController::CheckFocusedRecord()
{
    if (GetFocusedRecordIndex() == -1) {
        int last = GetLastRecordIndex();
        if (last >= 0) ChangeFocusedRecordIndex(last);
    }
}

void TcxCustomDataController::ForEachRow(bool selectedOnly, const TcxDataControllerEachRowProc& proc)
{
    if (selectedOnly) {
        for (int i = 0; i < GetSelectedCount(); ++i) {
            int row = GetSelectedRowIndex(i);
            proc(row, GetRowInfo(row));
        }
    } else {
        for (int row = 0; row < GetRowCount(); ++row) proc(row, GetRowInfo(row));
    }
}

// ---- bookmark -------------------------------------------------------------------------------------------------

bool TcxCustomDataController::InternalSaveBookmark()
{
    int r = GetFocusedRecordIndex();
    bool changed = r != FBookmarkRecordIndex;
    FBookmarkRecordIndex = r;
    return changed;
}

void TcxCustomDataController::SaveBookmark()
{
    if (InternalSaveBookmark()) Change(dcfBookmark);
}

void TcxCustomDataController::ClearBookmark()
{
    bool was = IsBookmarkAvailable();
    InternalClearBookmark();
    if (was != IsBookmarkAvailable()) Change(dcfBookmark);
}

void TcxCustomDataController::GotoBookmark()
{
    if (IsBookmarkAvailable()) InternalGotoBookmark();
}

bool TcxCustomDataController::IsBookmarkRow(int row)
{
    return IsBookmarkAvailable() && GetRowInfo(row).RecordIndex == FBookmarkRecordIndex;
}

bool TcxCustomDataController::IsBookmarkRecordDeleted(int record)
{
    if (record != -1 && record == FBookmarkRecordIndex) return true;
    return FInfo->GetFilteredIndexByRecordIndex(FBookmarkRecordIndex) < 0;
}

void TcxCustomDataController::CheckBookmarkValid(int deletedRecord)
{
    if (IsBookmarkAvailable() && IsBookmarkRecordDeleted(deletedRecord)) {
        InternalClearBookmark();
        Change(dcfBookmark);
    }
}

// ---- selection -------------------------------------------------------------------------------------------------

void TcxCustomDataController::SetMultiSelect(bool value)
{
    if (FMultiSelect == value) return;
    FMultiSelect = value;
    FocusedSelected = true;
    if (!value) ClearSelection();
}

int TcxCustomDataController::GetSelectedCount()
{
    if (FMultiSelect) return FInfo->GetSelectedCount();
    return FocusedSelected && GetFocusedRowIndex() >= 0 ? 1 : 0;
}

int TcxCustomDataController::GetSelectedRowIndex(int n)
{
    if (FMultiSelect) return n >= 0 && n < FInfo->GetSelectedCount() ? FInfo->GetSelectedRowIndex(n) : -1;
    return n == 0 && FocusedSelected ? GetFocusedRowIndex() : -1;
}

bool TcxCustomDataController::IsRowSelected(int row)
{
    if (FMultiSelect) return FInfo->IsRowSelected(row);
    return FocusedSelected && row == GetFocusedRowIndex();
}

void TcxCustomDataController::ChangeRowSelection(int row, bool selected)
{
    if (!FMultiSelect) return;
    FInfo->ChangeRowSelection(row, selected);
    CheckChanges();
}

void TcxCustomDataController::ClearSelection()
{
    FInfo->ClearSelection();
    CheckChanges();
}

void TcxCustomDataController::SelectRows(int from, int to)
{
    if (!FMultiSelect) return;
    if (from > to) std::swap(from, to);
    BeginUpdate();
    try {
        for (int r = from; r <= to; ++r) FInfo->ChangeRowSelection(r, true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::SelectAll()
{
    if (GetRowCount() > 0) SelectRows(0, GetRowCount() - 1);
}

void TcxCustomDataController::SelectFromAnchor(int row, bool keepSelection)
{
    if (!IsSelectionAnchorExist()) return;
    int anchor = GetSelectionAnchorRowIndex();
    BeginUpdate();
    try {
        if (!keepSelection) ClearSelection();
        SelectRows(anchor, row);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::SetSelectionAnchor(int row)
{
    FInfo->CheckRowIndex(row);
    FInfo->Selection()->AnchorRowIndex = row;
}

void TcxCustomDataController::SyncSelected()
{
    BeginUpdate();
    try {
        ClearSelection();
        int row = GetFocusedRowIndex();
        if (row >= 0) SelectRows(row, row);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::SyncSelectionToFocus()
{
    if (!FMultiSelect) return;
    BeginUpdate();
    try {
        ClearSelection();
        int row = GetFocusedRowIndex();
        if (row >= 0) ChangeRowSelection(row, true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomDataController::SetFocusedSelected(bool value)
{
    if (FMultiSelect || FocusedSelected == value) return;
    FocusedSelected = value;
    if (GetFocusedRowIndex() >= 0) {
        FPrevSelectedCount = 1;
        FPrevSelectedRow = GetFocusedRowIndex();
        Change(dcfSelection);
    }
}

// ---- sorting ---------------------------------------------------------------------------------------------------

void TcxCustomDataController::ChangeSorting(int item, TcxDataSortOrder order)
{
    CheckItemRange(item);
    TcxCustomDataField* f = GetItemField(item);
    if (FInfo->SortingList()->SortOrderOf(f) == order) return;
    SortingRequested = true;
    FInfo->ChangeSorting(f, order);
    CheckChanges();
}

void TcxCustomDataController::ChangeSortingIndex(int item, int index)
{
    CheckItemRange(item);
    if (index != GetItemSortingIndex(item)) FInfo->ChangeSortingIndex(GetItemField(item), index);
    CheckChanges();
}

void TcxCustomDataController::ClearSorting(bool keepGrouped)
{
    FInfo->ClearSorting(keepGrouped);
    CheckChanges();
}

TcxDataSortOrder TcxCustomDataController::GetItemSortOrder(int item)
{
    TcxCustomDataField* f = GetItemField(item);
    if (FInfo->SortingList()->Find(f) >= 0) return FInfo->SortingList()->SortOrderOf(f);
    return FInfo->GroupingList()->SortOrderOf(f);
}

int TcxCustomDataController::GetItemSortingIndex(int item) { return FInfo->SortingList()->Find(GetItemField(item)); }

// ---- incremental filter and text search --------------------------------------------------------------------

int TcxCustomDataController::ChangeIncrementalFilterText(int item, const std::string& text)
{
    CheckItemRange(item);
    FIncrementalFilterField = GetItemField(item);
    FIncrementalFilterText = text;
    Refresh();
    return GetFilteredRecordCount() > 0 ? GetFilteredRecordIndex(0) : -1;
}

void TcxCustomDataController::ResetIncrementalFilter()
{
    bool was = IsIncrementalFilter();
    FIncrementalFilterField = nullptr;
    FIncrementalFilterText.clear();
    if (was && !IsDestroying()) Refresh();
}

bool TcxCustomDataController::CheckIncrementalFilterText(const std::string& text)
{
    if (!FIncrementalFilterField || text == FIncrementalFilterText) return false;
    ChangeIncrementalFilterText(FIncrementalFilterField->Index(), text);
    return true;
}

bool TcxCustomDataController::DoIncrementalFilterRecord(int record)
{
    std::string s;
    GetDisplayTextCore(record, FIncrementalFilterField, s);
    return cxDataUtils::IsTextMatched(s, FIncrementalFilterText, true);
}

int TcxCustomDataController::FindRecordIndexByText(int start, int item, const std::string& text, bool partial,
                                                   bool wrap, bool forward)
{
    CheckItemRange(item);
    int count = GetFilteredRecordCount();
    if (start < 0 || start >= count) return -1;
    auto test = [&](int p) {
        int r = GetFilteredRecordIndex(p);
        return cxDataUtils::IsTextMatched(GetDisplayText(r, item), text, partial) ? r : -1;
    };
    if (forward) {
        for (int p = start; p < count; ++p)
            if (int r = test(p); r >= 0) return r;
        if (start != 0 && wrap)
            for (int p = 0; p < start; ++p)
                if (int r = test(p); r >= 0) return r;
    } else {
        for (int p = start; p >= 0; --p)
            if (int r = test(p); r >= 0) return r;
        if (start != 0 && wrap)
            for (int p = count - 1; p > start; --p)
                if (int r = test(p); r >= 0) return r;
    }
    return -1;
}
