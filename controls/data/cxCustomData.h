// The data controller: records in a typed storage, one data field per item of
// its owner (a grid view, a lookup editor), the provider that runs the editing
// cycle, the record info that filters, sorts and groups the records into rows,
// focus and selection, summaries, incremental search and the change
// notification that reaches the owner.
#pragma once

#include "Components.h"
#include "Lists.h"
#include "Variants.h"
#include "cxDataStorage.h"
#include "cxFilter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TcxCustomDataController;
class TcxCustomDataControllerInfo;
class TcxCustomDataFieldList;
class TcxCustomDataProvider;
class TcxDataSummary;
class TcxDataSummaryItem;
class TcxDataSummaryItems;
class TcxDataFilterValueList;

// The no-record mark of the provider's edited record and of the active record.
constexpr int cxNullEditingRecordIndex = -2147483647;   // 0x80000001

enum TcxDataSortOrder : uint8_t { soNone, soAscending, soDescending };

enum TcxDataControllerOption {
    dcoAnsiSort, dcoCaseInsensitive, dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding,
    dcoSortByDisplayText, dcoFocusTopRowAfterSorting, dcoGroupsAlwaysExpanded
};
using TcxDataControllerOptions = TSet<TcxDataControllerOption, 8>;

enum TcxDataChangeKind : uint8_t { dckValue, dckRecord, dckRecordAdded, dckRecordDeleted, dckRefresh };

// Change flags of the controller.
enum : uint16_t {
    dcfLayout = 0x001, dcfData = 0x002, dcfFocused = 0x004, dcfSelection = 0x008, dcfDetails = 0x010,
    dcfSummary = 0x020, dcfSearch = 0x040, dcfSorting = 0x080, dcfGrouping = 0x100, dcfPatternFocus = 0x200,
    dcfBookmark = 0x400, dcfUpdateRecord = 0x800
};
using TcxDataControllerChanges = uint16_t;

// Rebuild flags of the record info.
enum : uint16_t {
    icFilter = 0x001, icGrouping = 0x002, icSorting = 0x004, icFocusedRecord = 0x008, icLayout = 0x010,
    icExpanding = 0x020, icFocusUpdate = 0x040, icSelection = 0x080, icSummary = 0x100, icFocusedRow = 0x200
};
using TcxDataControllerInfoChanges = uint16_t;

enum : uint8_t { ceoAppend = 0x01, ceoDelete = 0x02, ceoEdit = 0x04, ceoInsert = 0x08, ceoCellEditing = 0x10 };
using TcxDataControllerEditOperations = uint8_t;
enum : uint8_t { cesInserting = 0x01, cesEditing = 0x02, cesItemEditPending = 0x04, cesModified = 0x08 };
using TcxDataControllerEditState = uint8_t;

struct TcxDataControllerRowInfo {
    bool Expanded = false;
    int Level = 0;
    int RecordIndex = -1;
};

// ---- change infos -------------------------------------------------------------------------

class TcxUpdateControlInfo : public TObject {
    QZ_CLASS(TcxUpdateControlInfo, TObject)
public:
    TcxUpdateControlInfo() = default;
};

class TcxDataChangedInfo : public TcxUpdateControlInfo {
    QZ_CLASS(TcxDataChangedInfo, TcxUpdateControlInfo)
public:
    TcxDataChangedInfo(TcxDataChangeKind kind = dckRefresh, int item = -1, int record = -1)
        : DataChangeKind(kind), ChangedItem(item), ChangedRecord(record) {}
    TcxDataChangeKind DataChangeKind;
    int ChangedItem;
    int ChangedRecord;
};

class TcxLayoutChangedInfo : public TcxUpdateControlInfo {
    QZ_CLASS(TcxLayoutChangedInfo, TcxUpdateControlInfo)
public:
    TcxLayoutChangedInfo() = default;
};

class TcxSearchChangedInfo : public TcxUpdateControlInfo {
    QZ_CLASS(TcxSearchChangedInfo, TcxUpdateControlInfo)
public:
    TcxSearchChangedInfo() = default;
};

class TcxBookmarkChangedInfo : public TcxUpdateControlInfo {
    QZ_CLASS(TcxBookmarkChangedInfo, TcxUpdateControlInfo)
public:
    TcxBookmarkChangedInfo() = default;
};

class TcxFocusedRecordChangedInfo : public TcxUpdateControlInfo {
    QZ_CLASS(TcxFocusedRecordChangedInfo, TcxUpdateControlInfo)
public:
    TcxFocusedRecordChangedInfo(int oldRecord = -1, int newRecord = -1, int newRow = -1, int oldRow = -1,
                                bool switched = false)
        : OldRecord(oldRecord), NewRecord(newRecord), NewRow(newRow), OldRow(oldRow), NewItemRowSwitched(switched) {}
    int OldRecord, NewRecord, NewRow, OldRow;
    bool NewItemRowSwitched;
};

class TcxFocusedRowChangedInfo : public TcxUpdateControlInfo {
    QZ_CLASS(TcxFocusedRowChangedInfo, TcxUpdateControlInfo)
public:
    TcxFocusedRowChangedInfo(int newRow = -1, int oldRow = -1) : NewRow(newRow), OldRow(oldRow) {}
    int NewRow, OldRow;
};

class TcxUpdateRecordInfo : public TcxUpdateControlInfo {
    QZ_CLASS(TcxUpdateRecordInfo, TcxUpdateControlInfo)
public:
    explicit TcxUpdateRecordInfo(int record = -1) : RecordToUpdate(record) {}
    int RecordToUpdate;
};

class TcxSelectionChangedInfo : public TcxUpdateControlInfo {
    QZ_CLASS(TcxSelectionChangedInfo, TcxUpdateControlInfo)
public:
    TcxSelectionChangedInfo() = default;
    TcxSelectionChangedInfo(int row1, int row2);
    int GetCount() const { return int(Rows.size()); }
    int GetRowIndex(int i) const { return Rows[size_t(i)]; }
    std::vector<int> Rows;
};

// ---- fields ------------------------------------------------------------------------------

class TcxCustomDataField : public TObject {
    QZ_CLASS(TcxCustomDataField, TObject)
public:
    explicit TcxCustomDataField(TcxCustomDataFieldList* ownerList);
    ~TcxCustomDataField() override;

    virtual void TakeOverDefinition(TcxCustomDataField* source);
    virtual void ComponentRemoved(TComponent* component) {}
    virtual bool CanModify(int valueSource) { return ValueDef() != nullptr; }
    virtual bool IsUnbound() { return FInternalField; }

    TcxCustomDataController* Controller() const;
    TcxCustomDataFieldList* OwnerList() const { return FOwnerList; }
    int Index() const;
    bool IsInternal() const { return FInternalField; }
    void SetInternalField(bool v);
    TObject* Item() const { return FItemObject; }
    void SetItem(TObject* v) { FItemObject = v; }
    TcxCustomDataField* LinkedField() const { return FLinkedField; }
    void SetLinkedField(TcxCustomDataField* v);
    // The definition, value type and stored-text flag come from the root field.
    TcxValueDef* ValueDef() const { return FLinkedField ? FLinkedField->FDefinition : FDefinition; }
    TcxValueTypeClass ValueType() const { return FLinkedField ? FLinkedField->FValueType : FValueType; }
    void SetValueType(TcxValueTypeClass v);
    bool StoreText() const { return FLinkedField ? FLinkedField->FStoreText : FStoreText; }
    void SetStoreText(bool v);
    void BeginDefinitionChange();
    void EndDefinitionChange();
    void MoveTo(int index);

    bool SortByText = false;
    int CompareMode = 0;
    bool Refreshed = false;

private:
    friend class TcxCustomDataFieldList;
    void CreateDefinition();
    void FreeDefinition();
    TcxCustomDataFieldList* FOwnerList;
    bool FInternalField = false;
    TObject* FItemObject = nullptr;
    int FDefinitionChangeLock = 0;
    TcxCustomDataField* FLinkedField = nullptr;
    bool FStoreText = false;
    TcxValueDef* FDefinition = nullptr;
    TcxValueTypeClass FValueType = nullptr;
};

class TcxCustomDataFieldList : public TObject {
    QZ_CLASS(TcxCustomDataFieldList, TObject)
public:
    explicit TcxCustomDataFieldList(TcxCustomDataController* controller) : FController(controller) {}
    ~TcxCustomDataFieldList() override { Clear(); }
    virtual void ComponentRemoved(TComponent* component);

    void Add(TcxCustomDataField* field);
    void Clear();
    TcxCustomDataField* FindByItem(TObject* item) const;
    int Count() const { return int(FFields.size()); }
    int ItemCount() const { return Count() - FInternalFieldCount; }
    TcxCustomDataField* Fields(int i) const { return FFields[size_t(i)]; }
    int IndexOf(const TcxCustomDataField* f) const;
    TcxCustomDataController* Controller() const { return FController; }
    bool FieldRemoved = false;

private:
    friend class TcxCustomDataField;
    void Recount();
    void Remove(TcxCustomDataField* field);
    TcxCustomDataController* FController;
    int FInternalFieldCount = 0;
    std::vector<TcxCustomDataField*> FFields;
};

using TcxDataFieldClass = std::function<TcxCustomDataField*(TcxCustomDataFieldList*)>;

// ---- provider -------------------------------------------------------------------------------

class TcxCustomDataProvider : public TObject {
    QZ_CLASS(TcxCustomDataProvider, TObject)
public:
    explicit TcxCustomDataProvider(TcxCustomDataController* controller);
    ~TcxCustomDataProvider() override;

    virtual bool SupportsRecordSource() { return true; }
    virtual bool IsGridMode() { return false; }
    virtual bool IsSourceOpen() { return false; }
    virtual bool IsOtherProviderInserting() { return false; }
    virtual bool IsKeyNavigation() { return false; }
    virtual bool IsSyncMode() { return false; }
    virtual bool IsActive() { return false; }
    virtual bool HasFieldStructure() { return false; }
    virtual bool IsBOF() { return true; }
    virtual bool IsItemEditPending() { return ItemEditPending; }
    virtual bool IsEditing() { return EditRecordIndex != cxNullEditingRecordIndex; }
    virtual bool IsEOF() { return true; }
    virtual bool IsGridModeUpdating() { return false; }
    virtual bool IsInserting() { return IsEditing() && InsertState; }
    virtual bool IsModified() { return ModifiedFlag; }
    virtual void RecordLoaded(int recordIndex) {}
    virtual void First() { FieldsRecreated = false; }
    virtual void Prior() {}
    virtual void Next() {}
    virtual void Last() {}
    virtual void MoveBy(int distance) {}
    virtual void Scroll(int distance) {}
    virtual void SavePos() {}
    virtual void RestorePos() {}
    virtual bool CanAppend() { return CanModify(); }
    virtual bool CanDelete();
    virtual bool CanInitEditing(int recordIndex);
    virtual bool CanInsert() { return CanModify(); }
    virtual bool CanModify() { return true; }
    virtual void Append() { BeginInsert(true); }
    virtual void Cancel();
    virtual void Delete();
    virtual void DeleteRecords(std::vector<int>& list);
    virtual void DeleteSelection();
    virtual void Edit() { StartEdit(); }
    virtual void GetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource, Variant& value);
    virtual void Insert() { BeginInsert(false); }
    virtual void Post();
    virtual void PostEditingData();
    virtual bool SetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource, const Variant& value);
    virtual void SetInitialValue(int recordIndex, TcxCustomDataField* field, const Variant& value);
    virtual void InitInsertingRecord(int recordIndex, const std::vector<Variant>& groupValues);
    virtual void BeginEditRecord();
    virtual void BeginInsert(bool append);
    virtual void ClearItemEditPending() { ItemEditPending = false; }
    virtual void ResetEditing();
    virtual void ClearModified() { ModifiedFlag = false; }
    virtual void SetItemEditPending() { ItemEditPending = true; }
    virtual void StartEdit() { BeginEditRecord(); }
    virtual void SetModified() { ModifiedFlag = true; }
    virtual void BeginLocate() { ++LocateDepth; }
    virtual void EndLocate() { --LocateDepth; }
    virtual void LockSource() { ++LockDepth; }
    virtual void UnlockSource() { --LockDepth; }
    virtual bool GetDetailHasChildren(int recordIndex, int relationIndex) { return false; }
    virtual void GetBufferDisplayText(int recordIndex, TcxCustomDataField* field, std::string& text) { text.clear(); }
    virtual void GetBufferValue(int recordIndex, TcxCustomDataField* field, Variant& value) { value = Null(); }
    virtual int GetFocusedRecordIndex() { return -1; }
    virtual TcxValueDefReader* CreateValueDefReader() { return new TcxValueDefReader(); }
    virtual void LoadRecords() {}
    virtual void ActiveChanged(bool active);
    virtual void DataChanged(TcxDataChangeKind kind, int itemIndex, int recordIndex);
    virtual void DataScrolled(int distance);
    virtual void StructureChanged(int kind);

    TcxCustomDataController* Controller() const { return FController; }

    bool ItemEditPending = false;
    bool HoldDataChange = false;
    int EditRecordIndex = cxNullEditingRecordIndex;
    int EditNeighbourBefore = cxNullEditingRecordIndex;
    int EditNeighbourAfter = cxNullEditingRecordIndex;
    int PostedInsertIndex = -1;
    bool InsertState = false;
    int LocateDepth = 0;
    int LockDepth = 0;
    bool ModifiedFlag = false;
    bool FieldsRecreated = false;
    int BackupRecordIndex = 0;
    bool InsertFromSource = false;
    bool GroupedFlag = false;

private:
    TcxCustomDataController* FController;
};

// ---- filter of a controller ------------------------------------------------------------------

class TcxDataFilterCriteriaItem : public TcxFilterCriteriaItem {
    QZ_CLASS(TcxDataFilterCriteriaItem, TcxFilterCriteriaItem)
public:
    using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
    void GetDataValue(int recordIndex, Variant& value) override;
    std::string GetFieldCaption() override;
    std::string GetFieldName() override;
    TObject* GetItemLink() const override;
    TcxCustomDataField* Field() const { return static_cast<TcxCustomDataField*>(ItemLink()); }
    TcxCustomDataController* DataController() const;
};

using TcxFilterGetValueListEvent =
    std::function<void(TcxFilterCriteria* sender, int itemIndex, TcxDataFilterValueList* valueList)>;

class TcxDataFilterCriteria : public TcxFilterCriteria {
    QZ_CLASS(TcxDataFilterCriteria, TcxFilterCriteria)
public:
    explicit TcxDataFilterCriteria(TcxCustomDataController* controller);
    ~TcxDataFilterCriteria() override;

    void Assign(TPersistent* source) override;
    void AssignEvents(TcxFilterCriteria* source) override;
    TcxFilterCriteriaItem* CreateItem(TcxFilterCriteriaItemList* parent, TObject* itemLink, TcxFilterOperatorKind kind,
                                      const Variant& value, const std::string& displayValue) override;
    TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* parent, TObject* itemLink, TcxFilterOperatorKind kind,
                                   const Variant& value, const std::string& displayValue) override;
    TcxFilterCriteriaItem* FindItemByItemLink(TObject* itemLink) override;
    int GetIDByItemLink(TObject* itemLink) override;
    TObject* GetItemLinkByID(int id) override;
    TcxFilterValueList* CreateValueList() override;
    void DoChanged() override;
    virtual bool IsFiltering();

    bool Active() const { return FActive; }
    void SetActive(bool v);
    TcxCustomDataController* DataController() const { return FDataController; }
    TcxFilterGetValueListEvent OnGetValueList;

private:
    TObject* MapItemLink(TObject* itemLink);
    bool FActive = false;
    TcxCustomDataController* FDataController;
    bool FDestroying = false;
};

class TcxDataFilterValueList : public TcxFilterValueList {
    QZ_CLASS(TcxDataFilterValueList, TcxFilterValueList)
public:
    using TcxFilterValueList::TcxFilterValueList;
    virtual void Load(int itemIndex);
};

// ---- search, locate, readers -----------------------------------------------------------------

class TcxDataControllerSearch : public TObject {
    QZ_CLASS(TcxDataControllerSearch, TObject)
public:
    explicit TcxDataControllerSearch(TcxCustomDataController* controller) : FController(controller) {}
    bool Locate(int itemIndex, const std::string& text);
    bool LocateNext(bool forward);
    int DoSearch(int from, int to, bool forward, const std::string& text);
    void Cancel();
    void Lock() { FLockFlag = true; }
    void Unlock() { FLockFlag = false; }
    bool Searching() const;
    std::string SearchText() const;
    int ItemIndex() const;

private:
    void FocusFilteredIndex(int position);
    void SetItemIndex(int itemIndex);
    TcxCustomDataController* FController;
    bool FLockFlag = false;
};

class TcxValueDefUnboundReader : public TcxValueDefReader {
    QZ_CLASS(TcxValueDefUnboundReader, TcxValueDefReader)
public:
    TcxValueDefUnboundReader() = default;
    void ReadValue(TcxValueDef* def, Variant& value) override;
    bool SkipsDefinition(TcxValueDef* def) override;
    void StoreValue(TcxValueDef* def, const Variant& value);
    void TruncateValues(int count);
    void ClearValues() { TruncateValues(0); }
private:
    std::vector<TcxValueDef*> FDefinitions;
    std::vector<std::unique_ptr<Variant>> FHeldValues;
};

class TcxValueDefRecordReader : public TcxValueDefReader {
    QZ_CLASS(TcxValueDefRecordReader, TcxValueDefReader)
public:
    TcxValueDefRecordReader(TcxCustomDataController* controller, int sourceRecord)
        : FController(controller), FSourceRecord(sourceRecord) {}
    void ReadValue(TcxValueDef* def, Variant& value) override;
    void ReadText(TcxValueDef* def, std::string& text) override;
    bool SkipsDefinition(TcxValueDef* def) override;
private:
    TcxCustomDataController* FController;
    int FSourceRecord;
};

class TcxDataControllerLocateObject : public TObject {
    QZ_CLASS(TcxDataControllerLocateObject, TObject)
public:
    explicit TcxDataControllerLocateObject(TcxCustomDataController* controller) : FController(controller) {}
    ~TcxDataControllerLocateObject() override { ReleaseKeyRecord(); }
    virtual void ReleaseKeyRecord();
    virtual int FindRecordIndex() = 0;
    void ReadKeyValues(TcxValueDefReader* reader);
    int KeyRecord() const { return FKeyRecord; }
    TcxCustomDataController* Controller() const { return FController; }
protected:
    TcxCustomDataController* FController;
    int FKeyRecord = 0;
};

class TcxDataControllerKeyLocateObject : public TcxDataControllerLocateObject {
    QZ_CLASS(TcxDataControllerKeyLocateObject, TcxDataControllerLocateObject)
public:
    using TcxDataControllerLocateObject::TcxDataControllerLocateObject;
    int FindRecordIndex() override;
    std::vector<TcxCustomDataField*> KeyFields;
};

class TcxDataControllerGroupLocateObject : public TcxDataControllerLocateObject {
    QZ_CLASS(TcxDataControllerGroupLocateObject, TcxDataControllerLocateObject)
public:
    explicit TcxDataControllerGroupLocateObject(TcxCustomDataController* controller);
    int FindRecordIndex() override;
    void SetGroupLevel(int level);
    int GroupLevel() const { return FGroupLevel; }
    const std::vector<TcxCustomDataField*>& GroupFields() const { return FGroupFields; }
private:
    std::vector<TcxCustomDataField*> FGroupFields;
    bool FSortedSearch = true;
    std::vector<TcxCustomDataField*> FSearchFields;
    int FGroupLevel = 0;
};

// Passes the removal of watched components on to its controller.
class TcxDataControllerNotifier : public TComponent {
    QZ_CLASS(TcxDataControllerNotifier, TComponent)
public:
    explicit TcxDataControllerNotifier(TcxCustomDataController* controller = nullptr)
        : TComponent(nullptr), FController(controller) {}
    TcxCustomDataController* Controller() const { return FController; }
    void Detach() { FController = nullptr; }
protected:
    void Notification(TComponent* component, TOperation operation) override;
private:
    TcxCustomDataController* FController;
};

// ---- record info ---------------------------------------------------------------------------------

struct TcxSortingFieldEntry {
    TcxCustomDataField* Field;
    TcxDataSortOrder SortOrder;
};

class TcxSortingFieldList : public TObject {
    QZ_CLASS(TcxSortingFieldList, TObject)
public:
    explicit TcxSortingFieldList(std::function<void()> changed = nullptr) : FOnChanged(std::move(changed)) {}
    virtual void SetFieldSortOrder(TcxCustomDataField* field, TcxDataSortOrder order);
    void Add(TcxCustomDataField* field, TcxDataSortOrder order);
    void Insert(int index, TcxCustomDataField* field, TcxDataSortOrder order);
    void Delete(int index);
    void Remove(TcxCustomDataField* field);
    void Move(int from, int to);
    int Find(const TcxCustomDataField* field) const;
    void Clear();
    int Count() const { return int(FItems.size()); }
    const TcxSortingFieldEntry& Items(int i) const { return FItems[size_t(i)]; }
    TcxDataSortOrder SortOrderOf(const TcxCustomDataField* field) const;
    void SetSortOrder(int index, TcxDataSortOrder order);
    void FieldChanged(TcxCustomDataField* field);
    void MoveField(TcxCustomDataField* field, int position);
    void AddMissingFields(const TcxSortingFieldList* other);
protected:
    void Changed()
    {
        if (FOnChanged) FOnChanged();
    }
    std::vector<TcxSortingFieldEntry> FItems;
    std::function<void()> FOnChanged;
};

class TcxGroupingFieldList : public TcxSortingFieldList {
    QZ_CLASS(TcxGroupingFieldList, TcxSortingFieldList)
public:
    using TcxSortingFieldList::TcxSortingFieldList;
    void SetFieldSortOrder(TcxCustomDataField* field, TcxDataSortOrder order) override;
    void SyncSortOrders(const TcxSortingFieldList* sorting);
};

struct TcxDataGroupInfo {
    int RowIndex = 0;
    bool Expanded = false;
    int Level = 0;
    int BeginIndex = 0;
    int EndIndex = 0;
    Variant SummaryValues;
};

class TcxDataGroups : public TObject {
    QZ_CLASS(TcxDataGroups, TObject)
public:
    explicit TcxDataGroups(TcxCustomDataControllerInfo* info) : FInfo(info) {}
    void Clear();
    int Count() const { return int(FItems.size()); }
    TcxDataGroupInfo& Items(int i) { return FItems[size_t(i)]; }
    int LevelCount() const { return int(Fields.size()); }
    int Add(int row, int level, int beginIndex);
    void RenumberRows();
    int FindByRowIndex(int row, int& before) const;
    int GetShownGroup(int row, int index) const;
    bool IsShown(int index) const;
    int ParentOf(int index) const;
    int DeepestGroupOfPosition(int position) const;
    int FirstRecordPosition(int index) const;
    bool MakeVisible(int index, bool expandSelf);
    void SetAllExpanded(bool value);
    std::vector<TcxCustomDataField*> Fields;
private:
    TcxCustomDataControllerInfo* FInfo;
    std::vector<TcxDataGroupInfo> FItems;
};

struct TcxDataExpandingInfo {
    int GroupLevel;
    Variant GroupValue;
    uint8_t SavedState;
};

class TcxDataFocusingInfo : public TObject {
    QZ_CLASS(TcxDataFocusingInfo, TObject)
public:
    explicit TcxDataFocusingInfo(TcxCustomDataControllerInfo* owner) : FOwner(owner) {}
    void Assign(const TcxDataFocusingInfo* other);
    void Reset();
    bool IsEqual(const TcxDataFocusingInfo* other) const;
    void ResetToController();
    void RecomputeFromRow();
    bool Changed = false;
    int Level = -1;
    int SavedRecordIndex = -1;
    int RecordIndex = -1;
    int RowIndex = -1;
private:
    TcxCustomDataControllerInfo* FOwner;
};

struct TcxDataSelectionEntry {
    int Level;      // -1 for a group row
    int Index;      // record index, or group entry index
    int RowIndex;
};

class TcxDataSelection : public TObject {
    QZ_CLASS(TcxDataSelection, TObject)
public:
    TcxDataSelection(TcxCustomDataController* controller, std::function<void()> changed)
        : FController(controller), FOnChanged(std::move(changed)) {}
    virtual void ClearAnchor() { AnchorRowIndex = -1; }
    virtual void InsertEntry(int position, int row, int level, int index);
    virtual void ClearEntries() { FItems.clear(); }
    virtual void DeleteEntry(int position);
    virtual void SetEntryCount(int count);
    void AddEntry(int position, int row, int level, int index);
    virtual bool FindRowIndex(int row, int& position) const;
    void ClearAllEntries();
    void ClearWithAnchor();
    void RemoveEntry(int position);
    int FindByGroupIndex(int group) const;
    int FindByRecordIndex(int record) const;
    bool IsRecordSelected(int record) const { return FindByRecordIndex(record) >= 0; }
    void SortEntries();
    int Count() const { return int(FItems.size()); }
    TcxDataSelectionEntry& Items(int i) { return FItems[size_t(i)]; }
    void Changed()
    {
        if (FOnChanged) FOnChanged();
    }
    int AnchorRowIndex = -1;

protected:
    TcxCustomDataController* FController;
    std::vector<TcxDataSelectionEntry> FItems;
    std::function<void()> FOnChanged;
};

class TcxCustomDataControllerInfo : public TObject {
    QZ_CLASS(TcxCustomDataControllerInfo, TObject)
public:
    explicit TcxCustomDataControllerInfo(TcxCustomDataController* controller);
    ~TcxCustomDataControllerInfo() override;

    virtual void TrimSelection();
    virtual void Update();

    void BeginUpdate() { ++FLockCount; }
    void EndUpdate();
    int LockCount() const { return FLockCount; }
    void CheckChanges();
    void AddChanges(TcxDataControllerInfoChanges c) { FChanges |= c; }
    void Refresh();
    void UpdateFocused();
    void ExpandingChanged(bool value);
    void MarkExpandingChanged();
    void FocusingChanged(bool markPrevious);
    void ChangeSorting(TcxCustomDataField* field, TcxDataSortOrder order);
    void ChangeSortingIndex(TcxCustomDataField* field, int position);
    void ClearSorting(bool keepGrouped);
    void ChangeGroupIndex(TcxCustomDataField* field, int position);
    void RemoveField(TcxCustomDataField* field);
    void FieldChanged(TcxCustomDataField* field);
    void ChangeExpanding(int row, bool expanded, bool recursive);

    int GetRowCount();
    TcxDataControllerRowInfo GetRowInfo(int row);
    int GetRowIndexByRecordIndex(int record, bool makeVisible);
    void CheckRowIndex(int row);
    bool IsGrouped() const { return FGroups->Count() > 0; }
    int GetFilteredRecordCount() const { return int(FRecordList.size()); }
    int GetFilteredRecordIndex(int position) const { return FRecordList[size_t(position)]; }
    int GetFilteredIndexByRecordIndex(int record) const;
    int GetDataRowIndex(int group, int position, bool makeVisible);

    // Focus and selection.
    int GetFocusedRowIndex() const { return FFocusingInfo->RowIndex; }
    int GetFocusedRecordIndex();
    int GetPrevFocusedRowIndex() const { return FPrevFocusingInfo->RowIndex; }
    int GetPrevFocusedRecordIndex() const { return FPrevFocusingInfo->SavedRecordIndex; }
    bool GetPrevFocusingChanged() const { return FPrevFocusingInfo->Changed; }
    void ChangeFocusedRow(int row, bool forced);
    void SetFocusedRowIndex(int row);
    bool CanFocusRow(int row);
    int FindFocusedRow(bool keep);
    void CheckFocusedRow();
    void RefocusAfterCollapse();
    void CheckFocusTopRow();
    void UpdateFocusingRecord();
    void ChangeRowSelection(int row, bool selected);
    void ClearSelection();
    void ClearSelectionAnchor() { FSelection->ClearAnchor(); }
    int GetSelectedCount() const { return FSelection->Count(); }
    int GetSelectedRowIndex(int n) const { return FSelection->Items(n).RowIndex; }
    bool IsRowSelected(int row);
    void UpdateSelectionRows();
    void SaveExpandingStates(uint8_t states) { SaveExpanding(states); }

    // Comparison used for sorting and grouping.
    int CompareRecordsByEntry(int a, int b, const TcxSortingFieldEntry& entry);
    int CompareRecordsForSort(int a, int b);
    void PrepareCompareModes();
    void ResetCompareModes();

    TcxDataControllerInfoChanges Changes() const { return FChanges; }
    TcxCustomDataController* Controller() const { return FController; }
    TcxDataGroups* Groups() const { return FGroups; }
    TcxGroupingFieldList* GroupingList() const { return FGroupingList; }
    TcxSortingFieldList* SortingList() const { return FSortingList; }
    TcxSortingFieldList* TotalSortingList() const { return FTotalSortingList; }
    TcxDataSelection* Selection() const { return FSelection; }
    TcxDataFocusingInfo* FocusingInfo() const { return FFocusingInfo; }
    TcxDataFocusingInfo* PrevFocusingInfo() const { return FPrevFocusingInfo; }
    const std::vector<int>& RecordList() const { return FRecordList; }
    bool Focusing() const { return FFocusingMark; }
    std::vector<int> AddGroupRecords(int group) const;

private:
    friend class TcxCustomDataController;
    void GroupingListChanged() { FChanges |= icGrouping | icSorting | icSummary; }
    void SortingListChanged() { FChanges |= icSorting; }
    void SelectionChanged();
    void ResetRecordList();
    void FilterRecords();
    void SortRecords();
    bool FastSort();
    void QuickSort(int left, int right);
    void BuildGroups();
    void CheckExpandingStates();
    void SaveExpanding(uint8_t states);
    void RestoreExpanding();
    void ResyncSelection(bool grouped);
    void NotifyChanges();
    int ShowGroupRow(int group, int level);

    TcxDataControllerInfoChanges FChanges = 0;
    TcxCustomDataController* FController;
    TcxDataGroups* FGroups;
    std::vector<TcxDataExpandingInfo> FExpandingInfos;
    std::vector<TcxCustomDataField*> FExpandingFields;
    uint8_t FSavedStates = 0;
    bool FExpandingChangedMark = false;
    bool FFocusingMark = false;
    TcxDataFocusingInfo* FFocusingInfo;
    TcxGroupingFieldList* FGroupingList;
    int FLockCount = 0;
    TcxDataFocusingInfo* FPrevFocusingInfo;
    std::vector<int> FRecordList;
    TcxDataSelection* FSelection;
    TcxSortingFieldList* FSortingList;
    TcxSortingFieldList* FTotalSortingList;
    bool FInUpdate = false;
};

class TcxDataControllerGroups : public TObject {
    QZ_CLASS(TcxDataControllerGroups, TObject)
public:
    explicit TcxDataControllerGroups(TcxCustomDataController* controller) : FController(controller) {}
    void ChangeGroupIndex(int item, int position);
    void ChangeExpanding(int row, bool expanded, bool recursive);
    void FullExpand();
    void FullCollapse();
    int GetGroupingItemCount();
    int GetGroupingItemIndex(int level);
    int GetItemGroupIndex(int item);
    int GetGroupIndexByRowIndex(int row);
    int GetLevelByGroupIndex(int group);
    int GetChildCount(int group);
    int GetChildGroupIndex(int group, int n);
    int GetChildRecordIndex(int group, int n);
    void AddGroupRecords(std::vector<int>& list, int group);
    void AddRowRecords(std::vector<int>& list, int row);
private:
    TcxCustomDataController* FController;
};

// ---- summaries ------------------------------------------------------------------------------------

enum TcxSummaryKind : uint8_t { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TcxSummaryPosition : uint8_t { spGroup, spFooter };
enum TcxSummaryOption { soNullIgnore, soSelectedRecords };
using TcxSummaryOptions = TSet<TcxSummaryOption, 8>;

struct TcxSummaryEventArguments {
    int SummedRecord;
    TcxDataSummaryItem* SummedItem;
};
struct TcxSummaryEventOutArguments {
    Variant RecordValue;
    Variant AccumulatedValue;
    int AccumulatedCount = 0;
    bool Handled = false;
};
using TcxSummaryEvent = std::function<void(TcxDataSummaryItems* sender, const TcxSummaryEventArguments& args,
                                           TcxSummaryEventOutArguments& out)>;
using TcxDataSummaryItemGetTextEvent =
    std::function<void(TcxDataSummaryItem* sender, const Variant& value, bool isFooter, std::string& text)>;
using TcxAfterSummaryEvent = std::function<void(TcxDataSummary* sender)>;

class TcxCustomDataSummaryItem : public TCollectionItem {
    QZ_CLASS(TcxCustomDataSummaryItem, TCollectionItem)
public:
    explicit TcxCustomDataSummaryItem(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    void Assign(TPersistent* source) override;
    virtual TcxCustomDataController* GetDataController() const = 0;
    virtual void ItemLinkChanged(TcxCustomDataField* field) {}
    TcxCustomDataField* Field() const { return FField; }
    TObject* ItemLink() const;
    void SetItemLink(TObject* item);
    void SetField(TcxCustomDataField* field);
protected:
    virtual void ReportLinkChange() { Changed(true); }
    TcxCustomDataField* FField = nullptr;
};

class TcxDataSummaryItem : public TcxCustomDataSummaryItem {
    QZ_CLASS(TcxDataSummaryItem, TcxCustomDataSummaryItem)
public:
    explicit TcxDataSummaryItem(TCollection* collection = nullptr) : TcxCustomDataSummaryItem(collection) {}
    void Assign(TPersistent* source) override;
    TcxCustomDataController* GetDataController() const override;
    virtual bool IsPositionStored();
    virtual TcxCustomDataField* GetField() { return FField; }
    virtual void GetDataDisplayText(const Variant& value, bool isFooter, std::string& text);

    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& v);
    TcxSummaryKind Kind() const { return FKind; }
    void SetKind(TcxSummaryKind v);
    TcxSummaryPosition Position() const;
    void SetPosition(TcxSummaryPosition v);
    TcxSummaryPosition OwnPosition() const { return FPosition; }
    TcxDataSummaryItems* SummaryItems() const;
    TcxDataSummaryItemGetTextEvent OnGetText;
private:
    std::string FFormat;
    TcxSummaryKind FKind = skNone;
    TcxSummaryPosition FPosition = spGroup;
};

class TcxDataSummaryItems : public TCollection {
    QZ_CLASS(TcxDataSummaryItems, TCollection)
public:
    TcxDataSummaryItems(TcxDataSummary* summary, TCollectionItemClass itemClass);
    TPersistent* GetOwner() const override;
    virtual TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem* item) const { return item->OwnPosition(); }
    virtual bool IsItemPositionStored(const TcxDataSummaryItem* item) const { return item->OwnPosition() != spGroup; }
    virtual void AssignEvents(TcxDataSummaryItems* source) { OnSummary = source->OnSummary; }
    virtual void GetDefaultFormat(TVarType valueType, TcxSummaryKind kind, std::string& format, bool isFooter);
    virtual void GetGroupSummaryTextOfValues(const Variant& values, std::string& text) { text.clear(); }
    TcxDataSummaryItem* Add(TObject* itemLink, TcxSummaryPosition position, TcxSummaryKind kind,
                            const std::string& format = std::string());
    TcxDataSummaryItem* Items(int i) const { return static_cast<TcxDataSummaryItem*>(TCollection::Items(i)); }
    int IndexOfItemLink(TObject* item) const;
    int IndexOfField(TcxCustomDataField* field) const;
    TcxDataSummary* Summary() const { return FSummary; }
    TcxSummaryEvent OnSummary;
protected:
    void Update(TCollectionItem* item) override;
    TcxDataSummary* FSummary;
};

class TcxDataFooterSummaryItems : public TcxDataSummaryItems {
    QZ_CLASS(TcxDataFooterSummaryItems, TcxDataSummaryItems)
public:
    using TcxDataSummaryItems::TcxDataSummaryItems;
    TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem*) const override { return spFooter; }
    bool IsItemPositionStored(const TcxDataSummaryItem*) const override { return false; }
};

class TcxDataGroupSummaryItems : public TcxDataSummaryItems {
    QZ_CLASS(TcxDataGroupSummaryItems, TcxDataSummaryItems)
public:
    TcxDataGroupSummaryItems(TcxDataSummary* summary, TCollectionItemClass itemClass, TPersistent* owner)
        : TcxDataSummaryItems(summary, itemClass), FOwner(owner) {}
    TPersistent* GetOwner() const override { return FOwner; }
    void GetGroupSummaryTextOfValues(const Variant& values, std::string& text) override;
    std::string BeginText = "(";
    std::string EndText = ")";
    std::string Separator = ",";
    void SetBeginText(const std::string& v);
    void SetEndText(const std::string& v);
    void SetSeparator(const std::string& v);
private:
    TPersistent* FOwner;
};

class TcxDataSummaryGroupItemLink : public TcxCustomDataSummaryItem {
    QZ_CLASS(TcxDataSummaryGroupItemLink, TcxCustomDataSummaryItem)
public:
    explicit TcxDataSummaryGroupItemLink(TCollection* collection = nullptr) : TcxCustomDataSummaryItem(collection) {}
    TcxCustomDataController* GetDataController() const override;
    void ItemLinkChanged(TcxCustomDataField* field) override;
};

class TcxDataSummaryGroup;

class TcxDataSummaryGroupItemLinks : public TCollection {
    QZ_CLASS(TcxDataSummaryGroupItemLinks, TCollection)
public:
    TcxDataSummaryGroupItemLinks(TcxDataSummaryGroup* group, TCollectionItemClass itemClass)
        : TCollection(itemClass), FGroup(group) {}
    TPersistent* GetOwner() const override;
    TcxDataSummaryGroupItemLink* Add(TObject* itemLink);
    TcxDataSummaryGroupItemLink* Items(int i) const { return static_cast<TcxDataSummaryGroupItemLink*>(TCollection::Items(i)); }
    int IndexOfItemLink(TObject* item) const;
    TcxDataSummaryGroup* Group() const { return FGroup; }
protected:
    void Update(TCollectionItem* item) override;
private:
    TcxDataSummaryGroup* FGroup;
};

class TcxDataSummaryGroups;

class TcxDataSummaryGroup : public TCollectionItem {
    QZ_CLASS(TcxDataSummaryGroup, TCollectionItem)
public:
    explicit TcxDataSummaryGroup(TCollection* collection = nullptr);
    ~TcxDataSummaryGroup() override;
    void Assign(TPersistent* source) override;
    TcxDataSummaryGroupItemLinks* Links();
    TcxDataGroupSummaryItems* SummaryItems();
    TcxDataSummary* Summary() const;
private:
    TcxDataSummaryGroupItemLinks* FLinks = nullptr;
    TcxDataGroupSummaryItems* FSummaryItems = nullptr;
};

class TcxDataSummaryGroups : public TCollection {
    QZ_CLASS(TcxDataSummaryGroups, TCollection)
public:
    explicit TcxDataSummaryGroups(TcxDataSummary* summary);
    TPersistent* GetOwner() const override;
    TcxDataSummaryGroup* Add() { return static_cast<TcxDataSummaryGroup*>(TCollection::Add()); }
    TcxDataSummaryGroup* Items(int i) const { return static_cast<TcxDataSummaryGroup*>(TCollection::Items(i)); }
    TcxDataSummaryGroup* FindByItemLink(TObject* item) const;
    TcxDataSummary* Summary() const { return FSummary; }
protected:
    void Update(TCollectionItem* item) override;
private:
    TcxDataSummary* FSummary;
};

class TcxDataSummary : public TPersistent {
    QZ_CLASS(TcxDataSummary, TPersistent)
public:
    explicit TcxDataSummary(TcxCustomDataController* controller);
    ~TcxDataSummary() override;
    void Assign(TPersistent* source) override;
    TPersistent* GetOwner() const override;

    virtual void BeginCalculate(TcxDataSummaryItems* items, std::vector<int>& counts, std::vector<Variant>& values);
    virtual void CalculateRange(TcxDataSummaryItems* items, int first, int last, std::vector<int>& counts,
                                std::vector<Variant>& values);
    virtual void Changed(bool redrawOnly);
    virtual void DoAfterSummary();
    virtual void CalculateValue(TcxDataSummaryItem* item, Variant& accumulated, int count);
    virtual void DoSummaryValue(TcxDataSummaryItem* item, int record, int& count, Variant& accumulated);
    virtual void EndCalculate(TcxDataSummaryItems* items, std::vector<int>& counts, std::vector<Variant>& values,
                              Variant& result);
    virtual int GetRecordIndex(int filteredIndex);
    virtual bool IsValueIndexValid(const Variant& values, int index);
    virtual void SummaryChanged(bool redrawOnly);
    virtual void AssignEvents(TcxDataSummary* source) { OnAfterSummary = source->OnAfterSummary; }
    virtual void Calculate();
    virtual void CalculateFooterSummary();
    virtual void CalculateGroupSummaries();

    void BeginSummaryUpdate();
    void EndSummaryUpdate();
    void EndUpdateAndChange();
    void ClearFieldLinks(TcxCustomDataField* field);
    TcxDataSummaryItems* GetGroupSummaryItems(int level);
    std::string GetFooterSummaryText(int index);
    Variant GetFooterSummaryValue(int index);
    std::string GetGroupSummaryText(int row);
    std::string GetGroupFooterSummaryText(int row, int level, int index);
    int GetGroupFooterIndexOfItemLink(int level, TObject* item);
    Variant GetGroupSummaryValues(int group);

    TcxCustomDataController* DataController() const { return FController; }
    TcxDataGroupSummaryItems* DefaultGroupSummaryItems() const { return FDefaultGroupSummaryItems; }
    TcxDataFooterSummaryItems* FooterSummaryItems() const { return FFooterSummaryItems; }
    TcxDataSummaryGroups* SummaryGroups() const { return FSummaryGroups; }
    const Variant& FooterValues() const { return FFooterValues; }
    TcxSummaryOptions Options() const { return FOptions; }
    void SetOptions(TcxSummaryOptions v);
    bool Destroying() const { return FDestroying; }
    TcxAfterSummaryEvent OnAfterSummary;

private:
    TcxCustomDataController* FController;
    TcxDataGroupSummaryItems* FDefaultGroupSummaryItems = nullptr;
    bool FDestroying = false;
    TcxDataFooterSummaryItems* FFooterSummaryItems = nullptr;
    Variant FFooterValues;
    bool FInAfterSummary = false;
    int FLockCount = 0;
    TcxSummaryOptions FOptions;
    TcxDataSummaryGroups* FSummaryGroups = nullptr;
};

// ---- master-detail -------------------------------------------------------------------------------

class TcxCustomDataRelationList;

// One detail level of a master controller: the level object of the view and
// the pattern controller that describes the details.
class TcxCustomDataRelation : public TObject {
    QZ_CLASS(TcxCustomDataRelation, TObject)
public:
    TcxCustomDataRelation(TcxCustomDataRelationList* list, TObject* item);
    ~TcxCustomDataRelation() override;
    virtual void DataFieldRemoved(TcxCustomDataField* field) {}
    virtual void AssignRelation(TcxCustomDataRelation* source) {}
    TcxCustomDataController* GetDataController() const;
    TcxCustomDataController* DetailDataController() const { return PatternController; }
    int GetIndex() const;
    void Changed();
    TObject* Item() const { return FItem; }
    TcxCustomDataRelationList* OwnerRelationList() const { return FList; }
    TcxCustomDataController* PatternController = nullptr;

private:
    friend class TcxCustomDataRelationList;
    TObject* FItem;
    TcxCustomDataRelationList* FList;
};

class TcxCustomDataRelationList : public TObject {
    QZ_CLASS(TcxCustomDataRelationList, TObject)
public:
    explicit TcxCustomDataRelationList(TcxCustomDataController* controller) : FController(controller) {}
    ~TcxCustomDataRelationList() override;
    TcxCustomDataRelation* Add(TObject* item);
    void Assign(TcxCustomDataRelationList* source);
    void BeginUpdate() { ++FUpdateLock; }
    void EndUpdate();
    int Count() const { return int(FItems.size()); }
    TcxCustomDataRelation* Items(int i) const { return FItems[size_t(i)]; }
    TcxCustomDataRelation* FindRelation(TObject* item) const;
    void Clear();
    void Remove(TcxCustomDataRelation* relation);
    void Changed(TcxCustomDataRelation* relation);
    void FieldRemoved(TcxCustomDataField* field);
    bool HasDetailControllers() const;
    TcxCustomDataController* Controller() const { return FController; }
    TcxCustomDataField* LinkField = nullptr;

private:
    friend class TcxCustomDataRelation;
    TcxCustomDataController* FController;
    std::vector<TcxCustomDataRelation*> FItems;
    int FUpdateLock = 0;
};

// The link object of one detail clone, owned.
class TcxDetailInfoObject : public TObject {
    QZ_CLASS(TcxDetailInfoObject, TObject)
public:
    TcxDetailInfoObject() = default;
    ~TcxDetailInfoObject() override { FreeObject(Link); }
    TObject* Link = nullptr;
    bool HasDetailRows = false;
    bool HasDetailRowsKnown = false;
};

// The details of one master record: expansion, the active relation and one
// info object per relation.
class TcxDetailObject : public TObject {
    QZ_CLASS(TcxDetailObject, TObject)
public:
    TcxDetailObject() = default;
    ~TcxDetailObject() override { ClearInfos(-1); }
    bool ClearInfos(int relationIndex);
    int ActiveRelation = -1;
    std::vector<TcxDetailInfoObject*> Infos;
    bool Expanded = false;
};

class TcxSaveObject;

// Keys saved around a full reload: expanded details and selected records.
class TcxKeys : public TObject {
    QZ_CLASS(TcxKeys, TObject)
public:
    struct TKey {
        Variant Value;
        int Index = 0;                         // active relation or selection position
        std::unique_ptr<TcxSaveObject> Detail; // the expanded detail's own save object
    };
    TcxKeys() = default;
    void SaveFrom(TcxCustomDataController* controller);
    void RestoreTo(TcxCustomDataController* controller);
    virtual void SaveKeys() {}
    virtual void RestoreKeys() {}
    void Clear() { FKeys.clear(); }
    int FindKey(int record);
protected:
    TcxCustomDataController* FController = nullptr;
    std::vector<TcxCustomDataField*> FKeyFields;
    std::vector<std::unique_ptr<TKey>> FKeys;
};

class TcxDetailKeys : public TcxKeys {
    QZ_CLASS(TcxDetailKeys, TcxKeys)
public:
    TcxDetailKeys() = default;
    void SaveKeys() override;
    void RestoreKeys() override;
};

class TcxSelectedKeys : public TcxKeys {
    QZ_CLASS(TcxSelectedKeys, TcxKeys)
public:
    TcxSelectedKeys() = default;
    void SaveKeys() override;
    void RestoreKeys() override;
};

class TcxSaveObject : public TObject {
    QZ_CLASS(TcxSaveObject, TObject)
public:
    TcxSaveObject() = default;
    void SaveFrom(TcxCustomDataController* controller);
    void RestoreTo(TcxCustomDataController* controller);
    TcxDetailKeys ExpandedKeys;
    TcxSelectedKeys SelectionKeys;
};

// ---- the controller ---------------------------------------------------------------------------------

using TcxDataControllerCompareEvent = std::function<void(TcxCustomDataController* sender, int record1, int record2,
                                                         int itemIndex, const Variant& v1, const Variant& v2,
                                                         int& compare)>;
using TcxDataRecordChangedEvent = std::function<void(TcxCustomDataController* sender, int record, int item)>;
using TcxDataControllerRecordEvent = std::function<void(TcxCustomDataController* sender, int record)>;
using TcxUpdateControlEvent = std::function<void(TcxUpdateControlInfo* info)>;
using TcxDataControllerEachRowProc = std::function<void(int row, const TcxDataControllerRowInfo& info)>;

// A registered data-changed handler. Handlers are told apart by the object
// they belong to as well as by what they do, so that one object's removal
// never takes another's entry.
struct TNotifyEventItem {
    TObject* Target;
    int Id;
    TNotifyEvent Event;
};

class TcxDataListenerLink : public TObject {
    QZ_CLASS(TcxDataListenerLink, TObject)
public:
    explicit TcxDataListenerLink(TcxCustomDataController* target) : Target(target) {}
    TcxCustomDataController* Target;
};

class TcxCustomDataController : public TPersistent {
    QZ_CLASS(TcxCustomDataController, TPersistent)
public:
    explicit TcxCustomDataController(TComponent* owner);
    ~TcxCustomDataController() override;
    // Makes the parts through the class's factory operations; the object
    // model calls it once the most derived constructor has run.
    void AfterConstruction() override { CreateParts(); }
    void BeforeDestruction() override { FDestroying = true; }
    void Assign(TPersistent* source) override;
    TPersistent* GetOwner() const override { return FOwner; }
    TComponent* Owner() const { return FOwner; }

    // --- items and fields
    virtual TObject* GetItem(int index) = 0;
    virtual int GetItemCount() { return FFields->ItemCount(); }
    virtual int GetItemID(TObject* item) { return -1; }
    virtual TObject* FindItemByID(int id);
    virtual TObject* FindItemByData(TObject* data) { return FindItemByID(GetItemID(data)); }
    virtual TcxCustomDataField* AddField();
    virtual TcxCustomDataField* AddInternalField();
    virtual TcxCustomDataField* CreateField(TcxCustomDataFieldList* list) { return new TcxCustomDataField(list); }
    void AddItem(TObject* item);
    void RemoveItem(TObject* item);
    void UpdateItemIndexes();
    void CheckItemRange(int item);
    TcxCustomDataField* GetItemField(int item);
    TcxCustomDataField* FieldByItem(TObject* item) const { return FFields->FindByItem(item); }
    TcxCustomDataFieldList* Fields() const { return FFields; }
    void ChangeValueTypeClass(int item, TcxValueTypeClass valueType);
    TcxValueTypeClass GetItemValueTypeClass(int item);
    void ChangeTextStored(int item, bool value);
    bool GetItemTextStored(int item);
    virtual bool GetSortByText(int item) { return false; }
    void ChangeSortByText(int item, bool value);
    virtual void FieldDestroyed(TcxCustomDataField* field);
    virtual void RemoveNotification(TComponent* component);

    // Locates the lookup editors bracket, and grid-mode locates of the provider.
    void BeginLocate() { ++FLocateCount; }
    void EndLocate() { --FLocateCount; }
    bool IsLocating() const { return FLocateCount > 0; }
    void BeginGridModeLocate()
    {
        ++FGridModeLocateCount;
        FProvider->BeginLocate();
    }
    void EndGridModeLocate()
    {
        FProvider->EndLocate();
        --FGridModeLocateCount;
    }
    bool IsGridModeLocating() const { return FGridModeLocateCount > 0; }

    // --- values
    Variant GetValue(int record, int item);
    void SetValue(int record, int item, const Variant& value);
    std::string GetDisplayText(int record, int item);
    void SetDisplayText(int record, int item, const std::string& text);
    virtual void GetValueCore(int record, TcxCustomDataField* field, Variant& value);
    Variant GetFieldValue(int record, TcxCustomDataField* field)
    {
        Variant v;
        GetValueCore(record, field, v);
        return v;
    }
    virtual void GetDisplayTextCore(int record, TcxCustomDataField* field, std::string& text);
    virtual void GetRecordValuesByFields(int record, const std::vector<TcxCustomDataField*>& fields, Variant& value);
    virtual void GetGroupValues(int record, std::vector<Variant>& values);
    // Values as the value lists and the grouping values of new records see
    // them; a subclass may redirect them (a lookup field gives its keys).
    virtual void GetValueSlot(int record, TcxCustomDataField* field, Variant& value) { GetValueCore(record, field, value); }
    virtual void GetGroupValueSlot(int record, TcxCustomDataField* field, Variant& value)
    {
        GetValueCore(record, field, value);
    }
    virtual void GetSearchDisplayText(int record, int item, std::string& text) { text = GetDisplayText(record, item); }
    virtual void GetFilterDisplayText(int record, int item, std::string& text) { text = GetDisplayText(record, item); }
    virtual std::string GetFilterItemDisplayText(TObject* item) { return std::string(); }
    virtual std::string GetFilterItemFieldName(TObject* item) { return std::string(); }
    std::string GetRowDisplayText(const TcxDataControllerRowInfo& row, int& item);
    Variant GetRowValue(const TcxDataControllerRowInfo& row, int item);

    // --- records
    virtual int GetRecordCount() { return FStorage->RecordCount(); }
    virtual void SetRecordCount(int count);
    int AppendRecord();
    int InsertRecord(int record);
    void DeleteRecord(int record);
    virtual void CopyRecord(int source, int destination);
    void CheckRecordRange(int record);
    void CheckRange(int record, int item);
    int GetNewItemRecordIndex();
    bool IsNewItemRecordIndex(int record);
    // The new-item record was released: the next use makes a fresh one.
    void ForgetNewItemRecord() { FNewItemRecordIndex = 0; }
    int GetFilteredRecordCount() { return FInfo->GetFilteredRecordCount(); }
    int GetFilteredRecordIndex(int position) { return FInfo->GetFilteredRecordIndex(position); }
    int GetFilteredIndexByRecordIndex(int record) { return FInfo->GetFilteredIndexByRecordIndex(record); }
    int GetLastRecordIndex();

    // --- structure and loading
    virtual void SetActive(bool value);
    bool Active() const { return FActive; }
    virtual void StructureChanged(bool value = true) { UpdateStructure(true); }
    void UpdateStructure(bool forced);
    void UpdateStorage(bool forced);
    virtual void LoadStorage();
    virtual void RestructData();
    virtual void UpdateFields();
    virtual void UpdateFieldsSlot();
    virtual void NotifyFieldChanged(TcxCustomDataField* field) {}
    void CheckGridModeChanged();
    virtual void DataChangedNotify();
    virtual void Refresh();
    virtual void LayoutChanged();
    virtual void UpdateFocused();
    virtual void ExpandingChanged(bool value);
    virtual bool IsProviderMode() { return false; }
    virtual bool IsDataLinked() { return IsProviderMode() || FRestructurePending; }
    bool IsGridMode() { return FProvider->IsGridMode(); }
    virtual bool IsLoading();
    virtual bool IsDestroying();
    virtual bool IsKeyNavigation() { return false; }
    virtual bool LockOnAfterSummary() { return IsGridMode() && FStructureChangePending; }
    virtual void ReadRecordNotify(int record) { FProvider->RecordLoaded(record); }
    // --- master-detail
    TcxCustomDataRelationList* GetRelations();
    bool HasRelations() const { return FRelations && FRelations->Count() > 0; }
    TcxDetailObject* GetDetailObject(int record);
    bool ClearDetailObject(int record, int relationIndex);
    void ClearDetailLinkObject(int record, int relationIndex);
    void ClearDetails();
    void CollapseDetails();
    bool GetDetailExpanding(int record);
    bool ChangeDetailExpanding(int record, bool expand);
    int GetDetailActiveRelationIndex(int record);
    void ChangeDetailActiveRelationIndex(int record, int index);
    bool IsDetailHasChildren(int record, int relationIndex);
    TObject* GetDetailLinkObject(int record, int relationIndex);
    bool IsDetailLinkObjectExists(int record, int relationIndex);
    TcxCustomDataController* GetDetailDataController(int record, int relationIndex);
    void ResetHasChildrenFlags();
    void ClearDetailsMasterRelation(TcxCustomDataRelation* relation);
    // Clears the details of the level shown by item, here or in any clone below.
    void ResetRelationItemDetails(TObject* item);
    // Calls proc for every existing clone of the relation, from the root down.
    void ForEachDetail(TcxCustomDataRelation* relation, const std::function<void(TcxCustomDataController*)>& proc);
    virtual TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int record) { return nullptr; }
    virtual TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* link) { return nullptr; }
    virtual bool CanChangeDetailExpanding(int record, bool expanding);
    virtual int GetDefaultActiveRelationIndex() { return 0; }
    virtual void UpdateRelations(TcxCustomDataRelation* relation);
    virtual void CheckBrowseMode() {}
    virtual TcxCustomDataRelation* CreateRelation(TcxCustomDataRelationList* list, TObject* item)
    {
        return new TcxCustomDataRelation(list, item);
    }
    virtual void SetMasterRelation(TcxCustomDataRelation* relation, int masterRecord);
    void SetMasterMode(TcxCustomDataRelation* relation, bool isPattern);
    bool IsDetailMode() const { return FMasterRelation != nullptr; }
    TcxCustomDataRelation* GetMasterRelation() const { return FMasterRelation; }
    TcxCustomDataController* GetMasterDataController() const
    {
        return FMasterRelation ? FMasterRelation->GetDataController() : nullptr;
    }
    int GetMasterRecordIndex() const { return FMasterRecordIndex; }
    TcxCustomDataController* GetRootDataController();
    TcxCustomDataController* GetPatternDataController();
    TcxCustomDataController* FindPatternByRelationItem(TObject* item);
    int GetPatternKind() const;
    bool IsPattern() const { return GetPatternKind() == 1; }
    void SetIsPattern(bool value);
    bool CreatingLink() const { return FCreatingLink; }
    // The fields whose values identify a record across reloads (none here).
    virtual void GetKeyFieldsForSave(std::vector<TcxCustomDataField*>& list) {}
    TcxDataControllerRecordEvent OnDetailCollapsed, OnDetailExpanded;
    std::function<void(TcxCustomDataController*, int, bool&)> OnDetailCollapsing, OnDetailExpanding;

    // --- comparison and search
    virtual int CompareByField(int a, int b, TcxCustomDataField* field);
    virtual int CompareEqualRecords(int a, int b) { return a - b; }
    virtual int CompareRecords(int a, int b, const TcxSortingFieldEntry& entry);
    virtual void GetComparedValue(int record, TcxCustomDataField* field, Variant& value);
    virtual bool IsConversionNeeded(TcxCustomDataField* field);
    virtual bool IsSortByDisplayTextNeeded(int item);
    virtual bool IsCompareStringField(TcxCustomDataField* field);
    virtual bool IsSortByDisplayText(TcxCustomDataField* field);
    virtual bool GetItemSortByDisplayText(int item, bool defaultValue) { return false; }
    int CompareStrings(const std::string& s1, const std::string& s2);
    int InternalCompare(int a, int b, TcxCustomDataField* field);
    int FindRecordIndexInSorted(int referenceRecord, int keyCount);
    int FindRecordByFields(int referenceRecord, const std::vector<TcxCustomDataField*>& fields);

    // --- change notification and locking
    void BeginUpdate();
    void EndUpdate();
    virtual void BeginUpdateSlot() { BeginUpdate(); }
    virtual void EndUpdateSlot() { EndUpdate(); }
    int GetLockCount() const { return FInfo->LockCount(); }
    void BeginFullUpdate();
    void EndFullUpdate();
    void Change(TcxDataControllerChanges changes);
    void CheckChanges();
    void NotifyControl(TcxUpdateControlInfo* info);
    virtual void UpdateControl(TcxUpdateControlInfo* info);
    virtual void DataChanged(TcxDataChangeKind kind, int item, int record);
    void ResetDataChangeInfo();
    virtual void DoDataChanged();
    bool IsDataChangedListenersExist() const;
    // Registers a handler for the object target (null for none); the id tells
    // handlers of one object apart. Returns the entry's id.
    int AddDataChangedListener(TObject* target, TNotifyEvent handler, int id = 0);
    void RemoveDataChangedListener(TObject* target, int id = 0);
    void ClearDataChangedListeners();
    virtual void CheckPendingChanges();
    TcxDataListenerLink* AddListenerLink();
    void RemoveListenerLink(TcxDataListenerLink* link);
    void ClearListenerLinks();
    void GetSelectionStateSnapshot();
    virtual void SummaryChanged(int item) {}
    // Actions the bound control declined: a controller may handle them.
    virtual bool ExecuteAction(TObject* action) { return false; }
    virtual bool UpdateAction(TObject* action) { return false; }
    virtual void RefreshDataSource() {}
    // The view focuses the item for editing; false when it did not.
    virtual bool FocusItem(int item) { return false; }

    // --- editing
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void DeleteFocused();
    void DeleteSelection();
    bool StartItemEditing(int item);
    Variant GetEditValue(int item, int valueSource);
    bool SetEditValue(int item, const Variant& value, int valueSource);
    void PostEditingData() { FProvider->PostEditingData(); }
    virtual void UpdateData() {}
    virtual int GetItemEditValueSource(int item) { return 1; }
    TcxDataControllerEditOperations GetEditOperations();
    TcxDataControllerEditState GetEditState();
    bool IsEditing();
    int GetEditingRecordIndex();
    virtual int GetActiveRecordIndex();
    virtual int GetActiveRecordIndexForInsert() { return GetFocusedRecordIndex(); }
    virtual int GetFocusedRecordIndexForEdit();
    virtual bool CanFocusRecord(int record);
    virtual bool CanChangeFocusedRecord() { return true; }
    virtual bool CanSelectRow(int row) { return true; }
    virtual void FocusedRowChanging(int row) {}
    virtual void CorrectEditingRecord(int record);
    // A record was inserted / deleted: the records after it moved up / down by
    // one, and so must the master record index of their detail controllers.
    virtual void CorrectDetailsAfterInsert(int record);
    virtual void CorrectDetailsAfterDelete(int record);
    // Sets the recorded data change, for a provider that re-read one record.
    void SetRecordedDataChange(TcxDataChangeKind kind, int item, int record)
    {
        FRecordedKind = kind;
        FRecordedItem = item;
        FRecordedRecord = record;
    }
    virtual void DoBeforeInsert();
    virtual void DoAfterInsert();
    virtual void DoNewRecord(int record);
    virtual void DoBeforePost();
    virtual void DoAfterPost();
    virtual void DoBeforeCancel();
    virtual void DoAfterCancel();
    virtual void DoBeforeDelete(int record);
    virtual void DoAfterDelete();

    // --- new-item row
    bool NewItemRowEnabled() const { return FNewItemRowEnabled; }
    void SetNewItemRowEnabled(bool value);
    void SetNewItemRowFocused(bool value);
    bool IsNewItemRowFocused();
    void ResetNewItemRowFocusing();

    // --- focus and navigation
    int GetRowCount() { return FInfo->GetRowCount(); }
    TcxDataControllerRowInfo GetRowInfo(int row) { return FInfo->GetRowInfo(row); }
    int GetRowIndexByRecordIndex(int record, bool makeVisible);
    int GetFocusedRowIndex() { return FInfo->GetFocusedRowIndex(); }
    int GetFocusedRecordIndex() { return FInfo->GetFocusedRecordIndex(); }
    bool ChangeFocusedRowIndex(int row);
    bool ChangeFocusedRecordIndex(int record);
    void GotoFirst();
    void GotoLast();
    void GotoNext();
    void GotoPrev();
    void MoveBy(int distance);
    void Scroll(int distance);
    bool IsBOF();
    bool IsEOF();
    void CheckFocusedRecord();
    virtual void ForEachRow(bool selectedOnly, const TcxDataControllerEachRowProc& proc);

    // --- bookmark
    void SaveBookmark();
    void ClearBookmark();
    void GotoBookmark();
    virtual bool IsBookmarkAvailable() { return FBookmarkRecordIndex != -1; }
    virtual bool IsBookmarkRow(int row);
    virtual void CheckBookmarkValid(int deletedRecord);
    virtual bool IsBookmarkRecordDeleted(int record);
    virtual bool InternalSaveBookmark();
    virtual void InternalClearBookmark() { FBookmarkRecordIndex = -1; }
    virtual void InternalGotoBookmark() { ChangeFocusedRecordIndex(FBookmarkRecordIndex); }
    int BookmarkRecordIndex() const { return FBookmarkRecordIndex; }

    // --- selection
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool value);
    virtual bool IsFocusedSelectedMode() { return !FMultiSelect; }
    int GetSelectedCount();
    virtual int GetSelectedRowIndex(int n);
    bool IsRowSelected(int row);
    virtual void ChangeRowSelection(int row, bool selected);
    void ClearSelection();
    void SelectRows(int from, int to);
    virtual void SelectAll();
    virtual void SelectFromAnchor(int row, bool keepSelection);
    virtual void SetSelectionAnchor(int row);
    virtual int GetSelectionAnchorRowIndex() { return FInfo->Selection()->AnchorRowIndex; }
    virtual bool IsSelectionAnchorExist() { return GetSelectionAnchorRowIndex() != -1; }
    virtual void ClearSelectionAnchor() { FInfo->ClearSelectionAnchor(); }
    virtual void SyncSelected();
    void SyncSelectionToFocus();
    void SetFocusedSelected(bool value);
    virtual Variant GetSelectionKey(int row) { return Variant(row); }

    // --- sorting and grouping requests
    void ChangeSorting(int item, TcxDataSortOrder order);
    void ChangeSortingIndex(int item, int index);
    void ClearSorting(bool keepGrouped);
    TcxDataSortOrder GetItemSortOrder(int item);
    int GetItemSortingIndex(int item);
    int GetSortingItemCount() { return FInfo->SortingList()->Count(); }
    TcxDataControllerGroups* Groups() const { return FGroups; }

    // --- incremental filter and search
    int ChangeIncrementalFilterText(int item, const std::string& text);
    virtual bool IsIncrementalFilter() { return FIncrementalFilterField && !FIncrementalFilterText.empty(); }
    std::string GetIncrementalFilterText() const { return FIncrementalFilterText; }
    virtual void ResetIncrementalFilter();
    bool CheckIncrementalFilterText(const std::string& text);
    virtual bool DoIncrementalFilterRecord(int record);
    virtual int FindRecordIndexByText(int start, int item, const std::string& text, bool partial, bool wrap,
                                      bool forward);
    TcxDataControllerSearch* Search() const { return FSearch; }
    virtual bool GridModeLocateText(int item, const std::string& text, bool forward, bool next) { return false; }

    // --- parts
    TcxCustomDataControllerInfo* Info() const { return FInfo; }
    TcxDataStorage* Storage() const { return FStorage; }
    TcxCustomDataProvider* Provider() const { return FProvider; }
    TcxDataFilterCriteria* Filter() const { return FFilter; }
    void SetFilter(TcxDataFilterCriteria* value) { FFilter->Assign(value); }
    TcxDataSummary* Summary() const { return FSummary; }
    void SetSummary(TcxDataSummary* value) { FSummary->Assign(value); }
    TcxDataControllerOptions Options() const { return FOptions; }
    void SetOptions(TcxDataControllerOptions value);
    virtual TcxDataSummaryItem* CreateSummaryItem(TCollection* c) { return new TcxDataSummaryItem(c); }
    // The item class of the summary's collections.
    virtual TClass GetSummaryItemClass() { return TcxDataSummaryItem::StaticClass(); }
    virtual TcxDataSelection* CreateSelection(std::function<void()> changed)
    {
        return new TcxDataSelection(this, std::move(changed));
    }

    // Events.
    TNotifyEvent OnAfterCancel, OnAfterDelete, OnAfterInsert, OnAfterPost, OnBeforeCancel, OnBeforeInsert,
        OnBeforePost;
    TcxDataControllerRecordEvent OnBeforeDelete, OnNewRecord;
    TcxDataControllerCompareEvent OnCompare;
    TNotifyEvent OnDataChanged;
    TNotifyEvent OnGroupingChanged;
    TcxDataRecordChangedEvent OnRecordChanged;
    TNotifyEvent OnSortingChanged;
    TcxUpdateControlEvent OnUpdateControl;

    // Marks the record info reads and clears.
    bool GroupingRequested = false;
    bool SortingRequested = false;
    bool Reloaded = false;
    bool LoadingStorage = false;
    bool DisplayTextSortingOff = false;
    bool FocusedSelected = true;

    // The searched field and text of the incremental search.
    TcxCustomDataField* SearchField = nullptr;
    bool Searching = false;
    std::string SearchText;

protected:
    // Creates the parts; subclasses choose their classes by overriding.
    virtual TcxCustomDataProvider* CreateProvider() { return new TcxCustomDataProvider(this); }
    virtual TcxDataFilterCriteria* CreateFilter() { return new TcxDataFilterCriteria(this); }
    virtual TcxDataSummary* CreateSummary() { return new TcxDataSummary(this); }
    // Must be called by the most derived constructor before use, so that the
    // parts above are made by the subclass's overrides.
    void CreateParts();
    virtual void LoadStorageStep();
    void ClearInfo(int record);
    void Update();

private:
    friend class TcxCustomDataControllerInfo;
    friend class TcxDataControllerSearch;
    friend class TcxDataSummary;
    friend class TcxCustomDataProvider;
    void NotifyDataChanged();
    void NotifyLayoutChanged();
    void NotifyUpdateRecord();
    void NotifyFocusedChanged();
    void NotifySelectionChanged();
    void NotifySearchChanged();
    void NotifyBookmarkChanged();
    void DoGroupingChanged();
    void DoSortingChanged();
    void NotifyDataChangedListeners();
    void StorageChanged();

    TComponent* FOwner;
    bool FActive = false;
    bool FAfterSummaryPending = false;
    int FBookmarkRecordIndex = -1;
    bool FDataChangedPending = false;
    int FLocateCount = 0;
    TcxDataControllerChanges FChanges = 0;
    std::vector<TNotifyEventItem> FDataChangedListeners;
    TcxCustomDataControllerInfo* FInfo = nullptr;
    TcxDataStorage* FStorage = nullptr;
    bool FDestroying = false;
    TcxDataControllerGroups* FGroups = nullptr;
    TcxCustomDataFieldList* FFields = nullptr;
    TcxDataFilterCriteria* FFilter = nullptr;
    TcxCustomDataField* FIncrementalFilterField = nullptr;
    std::string FIncrementalFilterText;
    bool FSortingChangedRunning = false;
    std::vector<TcxDataListenerLink*> FListenerLinks;
    int FNewItemRecordIndex = 0;
    bool FNewItemRowFocused = false;
    bool FMultiSelect = false;
    TcxDataControllerOptions FOptions;
    int FPrevSelectedCount = 0;
    int FPrevSelectedRow = -1;
    TcxCustomDataProvider* FProvider = nullptr;
    int FFullUpdateCount = 0;
    TcxDataControllerSearch* FSearch = nullptr;
    bool FStructureChangePending = false;
    bool FRestructurePending = false;
    TcxDataSummary* FSummary = nullptr;
    bool FUpdateStructureRunning = false;
    bool FNewItemRowEnabled = false;
    bool FWasGridMode = false;
    TcxDataChangeKind FRecordedKind = dckRefresh;
    int FRecordedItem = -1;
    int FRecordedRecord = -1;
    int FNextListenerId = 1;
    int FGridModeLocateCount = 0;
    TcxCustomDataRelationList* FRelations = nullptr;
    void ShiftDetailMasters(int from, int delta);
    TcxCustomDataRelation* FMasterRelation = nullptr;
    int FMasterRecordIndex = -1;
    bool FPatternMode = false;
    bool FCreatingLink = false;
    bool FRetryingLink = false;
    std::unique_ptr<TcxSaveObject> FSaveObject;
    TcxDataControllerNotifier* FNotifier = nullptr;

public:
    // The component that receives free notifications for the controller.
    TcxDataControllerNotifier* Notifier() const { return FNotifier; }
};

// Makes a controller of class T and runs its after-construction step.
template <class T, class... A> T* cxCreateDataController(A&&... args)
{
    T* c = new T(std::forward<A>(args)...);
    c->AfterConstruction();
    return c;
}
