#include "cxCustomData.h"

#include "TextUtils.h"
#include "cxDataConsts.h"
#include "cxDataUtils.h"
#include "cxFilterConsts.h"
#include "cxVariants.h"

#include <algorithm>

QZ_CLASS_IMPL(TcxUpdateControlInfo, TObject)
QZ_CLASS_IMPL(TcxDataChangedInfo, TcxUpdateControlInfo)
QZ_CLASS_IMPL(TcxLayoutChangedInfo, TcxUpdateControlInfo)
QZ_CLASS_IMPL(TcxSearchChangedInfo, TcxUpdateControlInfo)
QZ_CLASS_IMPL(TcxBookmarkChangedInfo, TcxUpdateControlInfo)
QZ_CLASS_IMPL(TcxFocusedRecordChangedInfo, TcxUpdateControlInfo)
QZ_CLASS_IMPL(TcxFocusedRowChangedInfo, TcxUpdateControlInfo)
QZ_CLASS_IMPL(TcxUpdateRecordInfo, TcxUpdateControlInfo)
QZ_CLASS_IMPL(TcxSelectionChangedInfo, TcxUpdateControlInfo)
QZ_CLASS_IMPL(TcxCustomDataField, TObject)
QZ_CLASS_IMPL(TcxCustomDataFieldList, TObject)
QZ_CLASS_IMPL(TcxCustomDataProvider, TObject)
QZ_CLASS_IMPL(TcxDataFilterCriteriaItem, TcxFilterCriteriaItem)
namespace {
void DefineDataCriteriaProps(std::vector<TPropInfo>& p)
{
    using C = TcxDataFilterCriteria;
    p.push_back(PublishBool<C>("Active", &C::Active, &C::SetActive, false));
    p.push_back(PublishEvent<C>("OnGetValueList", &C::OnGetValueList, "TcxFilterGetValueListEvent"));
}
}   // namespace
QZ_CLASS_IMPL_PROPS(TcxDataFilterCriteria, TcxFilterCriteria, DefineDataCriteriaProps)
QZ_CLASS_IMPL(TcxDataFilterValueList, TcxFilterValueList)
QZ_CLASS_IMPL(TcxDataControllerSearch, TObject)
QZ_CLASS_IMPL(TcxValueDefUnboundReader, TcxValueDefReader)
QZ_CLASS_IMPL(TcxValueDefRecordReader, TcxValueDefReader)
QZ_CLASS_IMPL(TcxDataControllerLocateObject, TObject)
QZ_CLASS_IMPL(TcxDataControllerKeyLocateObject, TcxDataControllerLocateObject)
QZ_CLASS_IMPL(TcxDataControllerGroupLocateObject, TcxDataControllerLocateObject)
QZ_CLASS_IMPL(TcxDataControllerNotifier, TComponent)

void TcxDataControllerNotifier::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove || !FController) return;
    if (component == this && ComponentState().Contains(csDestroying)) return;
    FController->RemoveNotification(component);
}

TcxSelectionChangedInfo::TcxSelectionChangedInfo(int row1, int row2)
{
    if (row1 != -1) Rows.push_back(row1);
    if (row2 != -1 && row2 != row1) Rows.push_back(row2);
}

// ---- fields -------------------------------------------------------------------------------------

TcxCustomDataField::TcxCustomDataField(TcxCustomDataFieldList* ownerList) : FOwnerList(ownerList) {}

TcxCustomDataField::~TcxCustomDataField()
{
    if (FOwnerList) FOwnerList->Remove(this);
    FreeDefinition();
}

TcxCustomDataController* TcxCustomDataField::Controller() const { return FOwnerList ? FOwnerList->Controller() : nullptr; }

int TcxCustomDataField::Index() const { return FOwnerList ? FOwnerList->IndexOf(this) : -1; }

void TcxCustomDataField::SetInternalField(bool v)
{
    FInternalField = v;
    if (FOwnerList) FOwnerList->Recount();
}

void TcxCustomDataField::FreeDefinition()
{
    TcxValueDef* d = FDefinition;
    FDefinition = nullptr;
    delete d;
}

void TcxCustomDataField::CreateDefinition()
{
    FreeDefinition();
    if (FLinkedField || !FValueType || !Controller()) return;
    FDefinition = Controller()->Storage()->Definitions()->Add(FValueType, FInternalField, FStoreText, this);
}

void TcxCustomDataField::BeginDefinitionChange()
{
    if (FDefinitionChangeLock++ == 0 && !FLinkedField) FreeDefinition();
}

void TcxCustomDataField::EndDefinitionChange()
{
    if (--FDefinitionChangeLock == 0) CreateDefinition();
}

void TcxCustomDataField::SetValueType(TcxValueTypeClass v)
{
    if (FLinkedField || FValueType == v) return;
    BeginDefinitionChange();
    FValueType = v;
    EndDefinitionChange();
}

void TcxCustomDataField::SetStoreText(bool v)
{
    if (FLinkedField || FStoreText == v) return;
    BeginDefinitionChange();
    FStoreText = v;
    EndDefinitionChange();
}

void TcxCustomDataField::SetLinkedField(TcxCustomDataField* v)
{
    if (FLinkedField == v) return;
    TcxCustomDataField* root = v;
    while (root && root->FLinkedField) root = root->FLinkedField;
    if (root == this) return;
    if (!FLinkedField) SetValueType(nullptr);
    FLinkedField = root;
}

void TcxCustomDataField::TakeOverDefinition(TcxCustomDataField* source)
{
    FLinkedField = nullptr;
    FreeDefinition();
    FDefinition = source->FDefinition;
    FValueType = source->FValueType;
    FStoreText = source->FStoreText;
    if (FDefinition) FDefinition->SetBoundObject(this);
    source->FDefinition = nullptr;
    source->FValueType = nullptr;
}

void TcxCustomDataField::MoveTo(int index)
{
    if (!FOwnerList) return;
    auto& v = FOwnerList->FFields;
    int i = Index();
    if (i < 0 || i == index) return;
    v.erase(v.begin() + i);
    index = std::clamp(index, 0, int(v.size()));
    v.insert(v.begin() + index, this);
}

void TcxCustomDataFieldList::ComponentRemoved(TComponent* component)
{
    for (auto* f : FFields) f->ComponentRemoved(component);
}

void TcxCustomDataFieldList::Add(TcxCustomDataField* field)
{
    if (field->IsInternal()) FFields.push_back(field);
    else FFields.insert(FFields.begin() + ItemCount(), field);
    Recount();
}

void TcxCustomDataFieldList::Clear()
{
    while (!FFields.empty()) delete FFields.back();
}

TcxCustomDataField* TcxCustomDataFieldList::FindByItem(TObject* item) const
{
    for (auto* f : FFields)
        if (f->Item() == item) return f;
    return nullptr;
}

int TcxCustomDataFieldList::IndexOf(const TcxCustomDataField* f) const
{
    for (size_t i = 0; i < FFields.size(); ++i)
        if (FFields[i] == f) return int(i);
    return -1;
}

void TcxCustomDataFieldList::Recount()
{
    FInternalFieldCount = 0;
    for (auto* f : FFields)
        if (f->IsInternal()) ++FInternalFieldCount;
}

void TcxCustomDataFieldList::Remove(TcxCustomDataField* field)
{
    int i = IndexOf(field);
    if (i < 0) return;
    FieldRemoved = true;
    if (FController) FController->FieldDestroyed(field);
    // The first field linked to this one takes its definition over; the
    // others are linked to that one.
    TcxCustomDataField* heir = nullptr;
    for (auto* f : FFields)
        if (f->FLinkedField == field) {
            if (!heir) {
                heir = f;
                f->TakeOverDefinition(field);
            } else {
                f->FLinkedField = heir;
            }
        }
    i = IndexOf(field);
    if (i >= 0) FFields.erase(FFields.begin() + i);
    Recount();
}

// ---- provider ---------------------------------------------------------------------------------------

TcxCustomDataProvider::TcxCustomDataProvider(TcxCustomDataController* controller) : FController(controller) {}

TcxCustomDataProvider::~TcxCustomDataProvider()
{
    if (BackupRecordIndex != 0 && FController && FController->Storage()) {
        FController->Storage()->DeleteRecord(BackupRecordIndex);
        BackupRecordIndex = 0;
    }
}

bool TcxCustomDataProvider::CanDelete() { return FController->GetRecordCount() > 0; }

bool TcxCustomDataProvider::CanInitEditing(int recordIndex)
{
    FController->CheckRecordRange(recordIndex);
    if (!IsEditing()) StartEdit();
    if (IsEditing()) SetItemEditPending();
    return true;
}

void TcxCustomDataProvider::BeginEditRecord()
{
    TcxCustomDataController* c = FController;
    if (c->NewItemRowEnabled() && c->IsNewItemRowFocused() && !IsInserting()) {
        Insert();
        return;
    }
    EditRecordIndex = c->GetActiveRecordIndex();
    if (EditRecordIndex >= 0) {
        EditNeighbourBefore = cxNullEditingRecordIndex;
        EditNeighbourAfter = cxNullEditingRecordIndex;
        int row = c->GetFocusedRowIndex();
        int rows = c->GetRowCount();
        if (row >= 0) {
            if (row < rows - 1) EditNeighbourAfter = c->GetRowInfo(row + 1).RecordIndex;
            else EditNeighbourBefore = c->GetRowInfo(row > 0 ? row - 1 : row).RecordIndex;
        }
    }
    if (EditRecordIndex != cxNullEditingRecordIndex) {
        if (!IsSourceOpen() && !IsInserting()) {
            if (BackupRecordIndex == 0) BackupRecordIndex = c->Storage()->AddInternalRecord();
            c->CopyRecord(EditRecordIndex, BackupRecordIndex);
        }
        c->Change(dcfUpdateRecord);
    }
}

void TcxCustomDataProvider::BeginInsert(bool append)
{
    TcxCustomDataController* c = FController;
    if (!IsSourceOpen() && IsInserting() && !IsItemEditPending() && !IsModified()) return;
    if (IsEditing() && (IsItemEditPending() || IsModified()) && !IsSourceOpen()) {
        if (IsItemEditPending()) PostEditingData();
        Post();
    }
    c->DoBeforeInsert();
    c->BeginUpdate();
    try {
        // The anchor's grouping values are read before a record is inserted:
        // the insert moves the anchor itself one place down.
        int anchor;
        std::vector<Variant> groupValues;
        if (c->NewItemRowEnabled()) {
            anchor = c->GetFocusedRecordIndex();
            if (anchor < 0 && c->GetRowCount() > 0) anchor = c->GetRowInfo(0).RecordIndex;
            c->GetGroupValues(anchor, groupValues);
            EditRecordIndex = c->GetNewItemRecordIndex();
            c->SetNewItemRowFocused(true);
        } else {
            if (!append) c->ClearSelection();
            if (IsGridMode()) {
                anchor = c->GetActiveRecordIndexForInsert();
                c->GetGroupValues(anchor, groupValues);
                EditRecordIndex = anchor;
            } else if (append) {
                anchor = c->GetLastRecordIndex();
                c->GetGroupValues(anchor, groupValues);
                EditRecordIndex = c->AppendRecord();
                EditNeighbourBefore = anchor;
            } else {
                anchor = c->GetFocusedRecordIndex();
                if (anchor < 0) anchor = 0;
                c->GetGroupValues(anchor, groupValues);
                EditRecordIndex = c->InsertRecord(anchor);
                EditNeighbourAfter = anchor + 1;
            }
        }
        InitInsertingRecord(EditRecordIndex, groupValues);
        ClearItemEditPending();
        InsertState = true;
    } catch (...) {
        c->EndUpdate();
        throw;
    }
    c->EndUpdate();
    if (EditRecordIndex >= 0) c->ChangeFocusedRecordIndex(EditRecordIndex);
    c->DoAfterInsert();
}

void TcxCustomDataProvider::InitInsertingRecord(int recordIndex, const std::vector<Variant>& groupValues)
{
    TcxCustomDataController* c = FController;
    if (c->Info()->IsGrouped() && c->Options().Contains(dcoAssignGroupingValues)) {
        auto* list = c->Info()->GroupingList();
        for (int l = 0; l < list->Count() && l < int(groupValues.size()); ++l)
            SetInitialValue(recordIndex, list->Items(l).Field, groupValues[size_t(l)]);
    }
    c->DoNewRecord(recordIndex);
}

void TcxCustomDataProvider::SetInitialValue(int recordIndex, TcxCustomDataField* field, const Variant& value)
{
    if (!field->IsInternal()) FController->SetValue(recordIndex, field->Index(), value);
}

void TcxCustomDataProvider::Post()
{
    TcxCustomDataController* c = FController;
    if (IsItemEditPending()) c->UpdateData();
    int reported;
    bool posted = false;
    if (IsInserting() && !IsModified()) {
        Cancel();
        reported = -1;
    } else {
        c->DoBeforePost();
        reported = EditRecordIndex;
        if (IsInserting() && c->NewItemRowEnabled() && EditRecordIndex != cxNullEditingRecordIndex &&
            c->IsNewItemRecordIndex(EditRecordIndex)) {
            int source = EditRecordIndex;
            int r = c->AppendRecord();
            PostedInsertIndex = r;
            reported = r;
            c->CopyRecord(source, r);
        }
        ResetEditing();
        posted = true;
    }
    c->DataChanged(dckRecord, -1, reported);
    if (posted) c->DoAfterPost();
}

void TcxCustomDataProvider::Cancel()
{
    TcxCustomDataController* c = FController;
    c->DoBeforeCancel();
    c->BeginUpdate();
    try {
        int e = EditRecordIndex;
        if (e != cxNullEditingRecordIndex && ((e >= 0 && e < c->GetRecordCount()) || c->IsNewItemRecordIndex(e))) {
            if (IsInserting()) {
                int focused = c->GetFocusedRecordIndex();
                if (e >= 0) {
                    EditRecordIndex = cxNullEditingRecordIndex;
                    c->DeleteRecord(e);
                }
                if (focused >= c->GetRecordCount() && focused > 0) c->ChangeFocusedRecordIndex(focused - 1);
            } else if (BackupRecordIndex != 0) {
                c->CopyRecord(BackupRecordIndex, e);
            }
        }
        ResetEditing();
    } catch (...) {
        c->EndUpdate();
        throw;
    }
    c->EndUpdate();
    c->DoAfterCancel();
}

void TcxCustomDataProvider::ResetEditing()
{
    TcxCustomDataController* c = FController;
    if (EditRecordIndex < 0 && EditRecordIndex != cxNullEditingRecordIndex && c->IsNewItemRecordIndex(EditRecordIndex)) {
        c->Storage()->DeleteRecord(EditRecordIndex);
        c->ForgetNewItemRecord();
    }
    EditRecordIndex = cxNullEditingRecordIndex;
    EditNeighbourBefore = cxNullEditingRecordIndex;
    EditNeighbourAfter = cxNullEditingRecordIndex;
    InsertState = false;
    ClearItemEditPending();
    ClearModified();
    if (BackupRecordIndex != 0) {
        c->Storage()->DeleteRecord(BackupRecordIndex);
        BackupRecordIndex = 0;
    }
}

void TcxCustomDataProvider::Delete()
{
    TcxCustomDataController* c = FController;
    int r = c->GetFocusedRecordIndex();
    if (r == -1) return;
    c->DoBeforeDelete(r);
    c->DeleteRecord(r);
    c->CheckFocusedRecord();
    c->DoAfterDelete();
}

void TcxCustomDataProvider::DeleteRecords(std::vector<int>& list)
{
    // Deleting moves every later record down by one, so the list is put in
    // ascending order without repeats and taken from the last entry: each
    // delete then hits exactly the record it names.
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    TcxCustomDataController* c = FController;
    c->BeginUpdateSlot();
    try {
        for (int i = int(list.size()) - 1; i >= 0; --i) {
            c->DoBeforeDelete(list[size_t(i)]);
            c->DeleteRecord(list[size_t(i)]);
            c->DoAfterDelete();
        }
    } catch (...) {
        c->EndUpdateSlot();
        throw;
    }
    c->EndUpdateSlot();
    if (c->GetLockCount() == 0) c->CheckFocusedRecord();
}

void TcxCustomDataProvider::DeleteSelection()
{
    TcxCustomDataController* c = FController;
    std::vector<int> list;
    int levels = c->Groups()->GetGroupingItemCount();
    for (int i = 0; i < c->GetSelectedCount(); ++i) {
        int row = c->GetSelectedRowIndex(i);
        if (row < 0) continue;
        TcxDataControllerRowInfo info = c->GetRowInfo(row);
        if (info.Level < levels) c->Groups()->AddRowRecords(list, row);
        else list.push_back(info.RecordIndex);
    }
    DeleteRecords(list);
    c->ClearSelection();
}

void TcxCustomDataProvider::GetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource, Variant& value)
{
    if (recordIndex == cxNullEditingRecordIndex) {
        value = Null();
        cxDataControllerError(&cxSDataRecordIndexError);
    }
    FController->GetValueCore(recordIndex, field, value);
}

bool TcxCustomDataProvider::SetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource, const Variant& value)
{
    Variant v = value;
    if (valueSource == 1 && !v.IsNull() && VarToStr(v).empty()) v = Null();
    FController->SetValue(recordIndex, field->Index(), v);
    SetModified();
    return true;
}

void TcxCustomDataProvider::PostEditingData()
{
    if (IsItemEditPending()) FController->UpdateData();
    ClearItemEditPending();
}

void TcxCustomDataProvider::ActiveChanged(bool active)
{
    FController->SetActive(active);
    ClearItemEditPending();
}

void TcxCustomDataProvider::DataChanged(TcxDataChangeKind kind, int itemIndex, int recordIndex)
{
    if (LockDepth <= 0) FController->DataChanged(kind, itemIndex, recordIndex);
    if (HoldDataChange) ClearItemEditPending();
    else ResetEditing();
}

void TcxCustomDataProvider::DataScrolled(int distance)
{
    FController->LayoutChanged();
    ClearItemEditPending();
}

void TcxCustomDataProvider::StructureChanged(int kind) { FController->StructureChanged(true); }

// ---- the filter of a controller ---------------------------------------------------------------------

TcxCustomDataController* TcxDataFilterCriteriaItem::DataController() const
{
    auto* c = DynamicCast<TcxDataFilterCriteria>(GetCriteria());
    return c ? c->DataController() : nullptr;
}

void TcxDataFilterCriteriaItem::GetDataValue(int recordIndex, Variant& value)
{
    TcxCustomDataField* f = Field();
    TcxCustomDataController* c = DataController();
    if (!f || !c) {
        value = Null();
        return;
    }
    c->GetValueCore(recordIndex, f, value);
}

std::string TcxDataFilterCriteriaItem::GetFieldCaption()
{
    TcxCustomDataController* c = DataController();
    return c && Field() && Field()->Item() ? c->GetFilterItemDisplayText(Field()->Item()) : std::string();
}

std::string TcxDataFilterCriteriaItem::GetFieldName()
{
    TcxCustomDataController* c = DataController();
    return c && Field() && Field()->Item() ? c->GetFilterItemFieldName(Field()->Item()) : std::string();
}

TObject* TcxDataFilterCriteriaItem::GetItemLink() const { return Field() ? Field()->Item() : nullptr; }

TcxDataFilterCriteria::TcxDataFilterCriteria(TcxCustomDataController* controller) : FDataController(controller) {}

TcxDataFilterCriteria::~TcxDataFilterCriteria()
{
    FDestroying = true;
    FActive = false;
}

void TcxDataFilterCriteria::SetActive(bool v)
{
    if (FActive == v) return;
    FActive = v;
    Changed();
}

bool TcxDataFilterCriteria::IsFiltering() { return FActive && !IsEmpty() && !FDataController->IsGridMode(); }

TObject* TcxDataFilterCriteria::MapItemLink(TObject* itemLink)
{
    if (!itemLink || itemLink->Is<TcxCustomDataField>()) return itemLink;
    TcxCustomDataField* f = FDataController->FieldByItem(itemLink);
    return f ? f : itemLink;
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::CreateItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                         TcxFilterOperatorKind kind, const Variant& value,
                                                         const std::string& displayValue)
{
    return new TcxDataFilterCriteriaItem(parent, itemLink, kind, value, displayValue);
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::AddItem(TcxFilterCriteriaItemList* parent, TObject* itemLink,
                                                      TcxFilterOperatorKind kind, const Variant& value,
                                                      const std::string& displayValue)
{
    return TcxFilterCriteria::AddItem(parent, MapItemLink(itemLink), kind, value, displayValue);
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::FindItemByItemLink(TObject* itemLink)
{
    return TcxFilterCriteria::FindItemByItemLink(MapItemLink(itemLink));
}

int TcxDataFilterCriteria::GetIDByItemLink(TObject* itemLink)
{
    return itemLink ? FDataController->GetItemID(itemLink) : -1;
}

TObject* TcxDataFilterCriteria::GetItemLinkByID(int id)
{
    TObject* item = FDataController->FindItemByID(id);
    return item ? FDataController->FieldByItem(item) : nullptr;
}

TcxFilterValueList* TcxDataFilterCriteria::CreateValueList() { return new TcxDataFilterValueList(this); }

void TcxDataFilterCriteria::DoChanged()
{
    if (FDestroying || FDataController->IsDestroying() || FDataController->IsLoading()) return;
    if (!FDataController->Provider()->IsSourceOpen()) FDataController->Post();
    NotifyOperators();
    FDataController->Refresh();
    if (OnChanged) OnChanged(this);
}

void TcxDataFilterCriteria::AssignEvents(TcxFilterCriteria* source)
{
    TcxFilterCriteria::AssignEvents(source);
    if (auto* s = DynamicCast<TcxDataFilterCriteria>(source)) OnGetValueList = s->OnGetValueList;
}

void TcxDataFilterCriteria::Assign(TPersistent* source)
{
    BeginUpdate();
    try {
        TcxFilterCriteria::Assign(source);
        if (auto* s = DynamicCast<TcxDataFilterCriteria>(source)) SetActive(s->FActive);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxDataFilterValueList::Load(int itemIndex)
{
    auto* criteria = static_cast<TcxDataFilterCriteria*>(Criteria());
    TcxCustomDataController* c = criteria->DataController();
    Clear();
    SetSortByDisplayText(c->IsSortByDisplayTextNeeded(itemIndex));
    Add(fviAll, Null(), cxFilterConsts::GetFilterString(&cxSFilterBoxAllCaption));
    Add(fviCustom, Null(), cxFilterConsts::GetFilterString(&cxSFilterBoxCustomCaption));
    bool blanks = false;
    if (c->IsGridMode()) {
        blanks = true;
    } else {
        TcxCustomDataField* f = c->GetItemField(itemIndex);
        for (int r = 0; r < c->GetRecordCount(); ++r) {
            Variant v;
            c->GetValueSlot(r, f, v);
            if (criteria->IsNullValue(v)) {
                blanks = true;
                continue;
            }
            std::string text;
            c->GetFilterDisplayText(r, itemIndex, text);
            Add(fviValue, v, text);
        }
    }
    if (blanks) {
        Add(fviBlanks, Null(), cxFilterConsts::GetFilterString(&cxSFilterBoxBlanksCaption));
        Add(fviNonBlanks, Null(), cxFilterConsts::GetFilterString(&cxSFilterBoxNonBlanksCaption));
    }
    if (criteria->OnGetValueList) criteria->OnGetValueList(criteria, itemIndex, this);
}

// ---- incremental search -------------------------------------------------------------------------------

bool TcxDataControllerSearch::Searching() const { return FController->Searching; }
std::string TcxDataControllerSearch::SearchText() const { return FController->SearchText; }
int TcxDataControllerSearch::ItemIndex() const { return FController->SearchField ? FController->SearchField->Index() : -1; }

void TcxDataControllerSearch::SetItemIndex(int itemIndex)
{
    FController->CheckItemRange(itemIndex);
    FController->SearchField = FController->GetItemField(itemIndex);
}

int TcxDataControllerSearch::DoSearch(int from, int to, bool forward, const std::string& text)
{
    int count = FController->GetFilteredRecordCount();
    if (to == -1) to = forward ? count - 1 : 0;
    int item = ItemIndex();
    for (int p = from; forward ? p <= to : p >= to; p += forward ? 1 : -1) {
        if (p < 0 || p >= count) break;
        std::string s;
        FController->GetSearchDisplayText(FController->GetFilteredRecordIndex(p), item, s);
        if (cxDataUtils::IsTextMatched(s, text, true)) return p;
    }
    return -1;
}

void TcxDataControllerSearch::FocusFilteredIndex(int position)
{
    Lock();
    try {
        FController->ChangeFocusedRecordIndex(FController->GetFilteredRecordIndex(position));
        FController->SyncSelected();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

bool TcxDataControllerSearch::Locate(int itemIndex, const std::string& text)
{
    if (text.empty() || FController->GetFilteredRecordCount() == 0) return false;
    SetItemIndex(itemIndex);
    bool found = false;
    if (FController->IsGridMode()) {
        found = FController->GridModeLocateText(itemIndex, text, true, false);
    } else {
        int focused = FController->GetFocusedRecordIndex();
        int s = focused < 0 ? 0 : std::max(0, FController->GetFilteredIndexByRecordIndex(focused));
        int p = DoSearch(s, -1, true, text);
        if (p < 0 && s > 0) p = DoSearch(0, s - 1, true, text);
        if (p >= 0) {
            FocusFilteredIndex(p);
            found = true;
        }
    }
    if (found) {
        FController->Searching = true;
        FController->SearchText = text;
        FController->Change(dcfSearch);
        FController->SyncSelectionToFocus();
    }
    return found;
}

bool TcxDataControllerSearch::LocateNext(bool forward)
{
    if (!FController->Searching || FController->SearchText.empty() || !FController->SearchField ||
        FController->GetFilteredRecordCount() == 0)
        return false;
    bool found = false;
    if (FController->IsGridMode()) {
        found = FController->GridModeLocateText(ItemIndex(), FController->SearchText, forward, true);
    } else {
        int focused = FController->GetFocusedRecordIndex();
        int p = focused < 0 ? -1 : FController->GetFilteredIndexByRecordIndex(focused);
        int count = FController->GetFilteredRecordCount();
        int hit = -1;
        if (forward && p + 1 < count) hit = DoSearch(p + 1, -1, true, FController->SearchText);
        else if (!forward && p > 0) hit = DoSearch(p - 1, -1, false, FController->SearchText);
        if (hit >= 0) {
            FocusFilteredIndex(hit);
            found = true;
        }
    }
    if (found) FController->SyncSelectionToFocus();
    return found;
}

void TcxDataControllerSearch::Cancel()
{
    if (FLockFlag) return;
    if (FController->Searching) {
        FController->SearchText.clear();
        FController->Searching = false;
        FController->Change(dcfSearch);
    }
}

// ---- readers and locate objects ----------------------------------------------------------------------

void TcxValueDefUnboundReader::StoreValue(TcxValueDef* def, const Variant& value)
{
    size_t i = 0;
    while (i < FDefinitions.size() && FDefinitions[i] != def) ++i;
    if (i == FDefinitions.size()) FDefinitions.push_back(def);
    if (FHeldValues.size() < FDefinitions.size()) FHeldValues.resize(FDefinitions.size());
    if (!FHeldValues[i]) FHeldValues[i] = std::make_unique<Variant>(value);
    else *FHeldValues[i] = value;
}

void TcxValueDefUnboundReader::ReadValue(TcxValueDef* def, Variant& value)
{
    if (auto* twin = DynamicCast<TcxInternalValueDef>(def)) def = twin->Outer();
    for (size_t i = 0; i < FDefinitions.size(); ++i)
        if (FDefinitions[i] == def) {
            value = i < FHeldValues.size() && FHeldValues[i] ? *FHeldValues[i] : Null();
            return;
        }
    value = Null();
}

bool TcxValueDefUnboundReader::SkipsDefinition(TcxValueDef* def)
{
    auto* f = DynamicCast<TcxCustomDataField>(def->GetBoundObject());
    return f && f->IsUnbound();
}

void TcxValueDefUnboundReader::TruncateValues(int count)
{
    for (int i = int(FHeldValues.size()) - 1; i >= count && i >= 0; --i) FHeldValues[size_t(i)].reset();
}

void TcxValueDefRecordReader::ReadValue(TcxValueDef* def, Variant& value)
{
    auto* f = DynamicCast<TcxCustomDataField>(def->GetBoundObject());
    if (!f) {
        value = Null();
        return;
    }
    FController->GetValueCore(FSourceRecord, f, value);
}

void TcxValueDefRecordReader::ReadText(TcxValueDef* def, std::string& text)
{
    auto* f = DynamicCast<TcxCustomDataField>(def->GetBoundObject());
    text.clear();
    if (!f || f->IsUnbound()) return;
    FController->GetDisplayTextCore(FSourceRecord, f, text);
}

bool TcxValueDefRecordReader::SkipsDefinition(TcxValueDef* def)
{
    auto* f = DynamicCast<TcxCustomDataField>(def->GetBoundObject());
    return f && f->IsUnbound();
}

void TcxDataControllerLocateObject::ReleaseKeyRecord()
{
    if (FKeyRecord < 0) {
        FController->Storage()->ReleaseInternalRecord(FKeyRecord);
        FKeyRecord = 0;
    }
}

void TcxDataControllerLocateObject::ReadKeyValues(TcxValueDefReader* reader)
{
    if (FKeyRecord == 0) FKeyRecord = FController->Storage()->AddInternalRecord();
    FController->Storage()->ReadRecord(FKeyRecord, reader, true);
}

int TcxDataControllerKeyLocateObject::FindRecordIndex()
{
    if (FKeyRecord == 0) return -1;
    return FController->FindRecordByFields(FKeyRecord, KeyFields);
}

TcxDataControllerGroupLocateObject::TcxDataControllerGroupLocateObject(TcxCustomDataController* controller)
    : TcxDataControllerLocateObject(controller)
{
    auto* list = controller->Info()->GroupingList();
    for (int i = 0; i < list->Count(); ++i) {
        FGroupFields.push_back(list->Items(i).Field);
        if (controller->IsSortByDisplayText(list->Items(i).Field)) FSortedSearch = false;
    }
}

void TcxDataControllerGroupLocateObject::SetGroupLevel(int level)
{
    FGroupLevel = level;
    if (!FSortedSearch)
        FSearchFields.assign(FGroupFields.begin(),
                             FGroupFields.begin() + std::min<long>(long(FGroupFields.size()), long(level) + 1));
}

int TcxDataControllerGroupLocateObject::FindRecordIndex()
{
    if (FKeyRecord == 0) return -1;
    if (FSortedSearch) return FController->FindRecordIndexInSorted(FKeyRecord, FGroupLevel + 1);
    bool old = FController->DisplayTextSortingOff;
    FController->DisplayTextSortingOff = true;
    int r;
    try {
        r = FController->FindRecordByFields(FKeyRecord, FSearchFields);
    } catch (...) {
        FController->DisplayTextSortingOff = old;
        throw;
    }
    FController->DisplayTextSortingOff = old;
    return r;
}
