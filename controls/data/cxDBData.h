// The data controller bound to a data set: the data-set provider with its
// data link and the process-wide registry of providers, the data-set fields
// bound by name, key fields, grid mode and the data-set filter.
#pragma once

#include "DB.h"
#include "cxCustomData.h"
#include "cxDB.h"

#include <string>
#include <vector>

class TcxDBDataController;
class TcxDBDataProvider;

class TcxDBDataLink : public TDataLink {
    QZ_CLASS(TcxDBDataLink, TDataLink)
public:
    explicit TcxDBDataLink(TcxDBDataProvider* provider = nullptr);
    TcxDBDataProvider* OwnerProvider() const { return FProvider; }
    // The link's own notices, reachable by the provider.
    void NotifyDataSetChanged() { DataSetChanged(); }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void EditingChanged() override;
    void FocusControl(TField*& field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    TcxDBDataProvider* FProvider;
};

// A data field that names a data-set field (or several, as sub-fields).
class TcxDBDataField : public TcxCustomDataField {
    QZ_CLASS(TcxDBDataField, TcxCustomDataField)
public:
    explicit TcxDBDataField(TcxCustomDataFieldList* list);
    ~TcxDBDataField() override;
    void TakeOverDefinition(TcxCustomDataField* source) override;
    bool CanModify(int valueSource) override;
    bool IsUnbound() override;
    void ComponentRemoved(TComponent* component) override;

    TField* BoundField() const;
    void SetBoundField(TField* field);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& v) { FFieldName = v; }
    int SubFieldCount() const { return int(FSubFields.size()); }
    TcxDBDataField* SubFields(int i) const { return FSubFields[size_t(i)]; }
    void AddSubField(TcxDBDataField* field);
    void RemoveSubField(TcxDBDataField* field);
    void FreeSubFields();
    TcxDBDataField* ParentField() const { return FParentField; }
    bool IsLookup() const;
    void UpdateFromBoundField(TField* field);

private:
    TWeakRef<TField> FBoundField;
    std::string FFieldName;
    std::vector<TcxDBDataField*> FSubFields;
    TcxDBDataField* FParentField = nullptr;
};

// The value type that holds values of a data-set field type.
TcxValueTypeClass cxGetValueTypeClassByField(TField* field);

class TcxValueDefDBReader : public TcxValueDefReader {
    QZ_CLASS(TcxValueDefDBReader, TcxValueDefReader)
public:
    TcxValueDefDBReader() = default;
    void ReadText(TcxValueDef* def, std::string& text) override;
    void ReadValue(TcxValueDef* def, Variant& value) override;
    bool SkipsDefinition(TcxValueDef* def) override;
};

class TcxDBDataProvider : public TcxCustomDataProvider {
    QZ_CLASS(TcxDBDataProvider, TcxCustomDataProvider)
public:
    explicit TcxDBDataProvider(TcxCustomDataController* controller);
    ~TcxDBDataProvider() override;

    bool SupportsRecordSource() override { return false; }
    bool IsGridMode() override;
    bool IsSourceOpen() override;
    bool IsOtherProviderInserting() override;
    bool IsSyncMode() override;
    bool IsActive() override;
    bool HasFieldStructure() override;
    bool IsBOF() override;
    bool IsEditing() override;
    bool IsEOF() override;
    bool IsGridModeUpdating() override { return IsGridMode() && InGridModeRefresh; }
    bool GetDetailHasChildren(int recordIndex, int relationIndex) override;
    void SetOwnsDetailRows(bool value);
    bool OwnsDetailRows = false;
    bool IsInserting() override;
    bool IsModified() override;
    void RecordLoaded(int recordIndex) override;
    void First() override;
    void Prior() override;
    void Next() override;
    void Last() override;
    void MoveBy(int distance) override;
    void Scroll(int distance) override;
    void SavePos() override;
    void RestorePos() override;
    bool CanDelete() override;
    bool CanInitEditing(int recordIndex) override;
    bool CanModify() override;
    void Append() override;
    void Insert() override;
    void Cancel() override;
    void Delete() override;
    void DeleteRecords(std::vector<int>& list) override;
    void DeleteSelection() override;
    void Edit() override;
    void GetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource, Variant& value) override;
    void Post() override;
    void PostEditingData() override;
    bool SetEditValue(int recordIndex, TcxCustomDataField* field, int valueSource, const Variant& value) override;
    void SetInitialValue(int recordIndex, TcxCustomDataField* field, const Variant& value) override;
    void InitInsertingRecord(int recordIndex, const std::vector<Variant>& groupValues) override;
    void BeginLocate() override;
    void LockSource() override;
    void UnlockSource() override;
    void GetBufferDisplayText(int recordIndex, TcxCustomDataField* field, std::string& text) override;
    void GetBufferValue(int recordIndex, TcxCustomDataField* field, Variant& value) override;
    int GetFocusedRecordIndex() override;
    TcxValueDefReader* CreateValueDefReader() override { return new TcxValueDefDBReader(); }
    void LoadRecords() override;
    void ActiveChanged(bool active) override;
    void DataScrolled(int distance) override;
    void StructureChanged(int kind) override;

    virtual bool BookmarkValid(const TBookmark& b);
    virtual int CompareBookmarks(const TBookmark& a, const TBookmark& b);
    virtual void RecordChanged(TField* field);

    // Link notices.
    void LinkDataSetChanged();
    void LinkEditingChanged();
    void LinkUpdateData();
    void LinkFocusControl(TField*& field);

    bool IsSmartRefresh();
    int GridModeBufferCount();
    bool LocateByDisplayText(const std::string& text, bool forward, bool next);
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const { return FLink ? FLink->DataSet() : nullptr; }
    TDataSource* DataSource() const { return FLink ? FLink->DataSource() : nullptr; }
    TcxDBDataLink* Link() const { return FLink; }
    TcxDBDataController* DBController() const;
    void RefreshGridModeBuffer();
    void MarkProvidersForRefresh();
    // Replays the data-set changes deferred while this provider was busy.
    void NotifyDependents();

    bool InActiveChange = false;
    bool InInitEditing = false;
    bool ReadingCurrent = false;
    bool InFirst = false;
    bool InInsertCall = false;
    bool InGridModeRefresh = false;
    bool NotifyingDependents = false;
    bool NeedsRefresh = false;
    int CurrentRecordIndex = 0;
    TBookmark SavedBookmark;
    bool SavedBOF = false, SavedEOF = false;
    int SavedActiveRecord = 0;
    int UpdatingRecordIndex = cxNullEditingRecordIndex;
    bool UpdatingWasInsert = false;
    int PostedNewItemIndex = -1;
    int DeletedRecordIndex = -1;
    void SmartRefreshRecord();

private:
    bool SameDataSet(TcxDBDataProvider* other) const;
    bool IsOtherProviderLocked();
    bool IsAnyProviderBusy();
    void MirrorInsert();
    void RunInsertCall(bool append);
    void ClearUpdatingRecord();
    TcxDBDataLink* FLink;
    std::vector<TcxDBDataProvider*> FDependents;
};

// In grid mode rows come and go with the buffer window: the selection is
// kept as the data set's bookmarks, in data-set order, beside the entries.
class TcxDBDataSelection : public TcxDataSelection {
    QZ_CLASS(TcxDBDataSelection, TcxDataSelection)
public:
    TcxDBDataSelection(TcxCustomDataController* controller, std::function<void()> changed)
        : TcxDataSelection(controller, std::move(changed)) {}
    void ClearAnchor() override;
    void InsertEntry(int position, int row, int level, int index) override;
    void ClearEntries() override;
    void DeleteEntry(int position) override;
    bool FindRowIndex(int row, int& position) const override;
    bool FindBookmark(const TBookmark& b, int& index) const;
    TBookmark GetRowBookmark(int row) const;
    void SelectAllBookmarks();
    void SelectBookmarkRange(const TBookmark& b, bool keep);
    bool DropInvalidBookmarks();
    void SyncEntryCount();
    std::vector<TBookmark> SelectedBookmarks;
    TBookmark RangeAnchor;
    bool InSync = false;
private:
    bool GridMode() const;
    TcxDBDataController* DBController() const;
};

// A detail level tied to its master by key fields.
class TcxDBDataRelation : public TcxCustomDataRelation {
    QZ_CLASS(TcxDBDataRelation, TcxCustomDataRelation)
public:
    using TcxCustomDataRelation::TcxCustomDataRelation;
    ~TcxDBDataRelation() override;
    void DataFieldRemoved(TcxCustomDataField* field) override;
    virtual bool HasKeyLink();
    std::string GetMasterKeyNames();
    std::string GetDetailKeyNames();
    Variant GetMasterRecordKeyValues(int record);
    void UpdateMasterKeyField();
    TcxDBDataField* MasterKeyDataField = nullptr;
private:
    TcxDBDataController* DetailPattern();
};

using TcxDBDataDetailHasChildrenEvent = std::function<void(TcxDBDataController* sender, int record, int relationIndex,
                                                           const std::string& detailKeyFieldNames,
                                                           const Variant& masterKeyValues, bool& hasChildren)>;

// Positions a detail data set on one master's rows.
class TcxDBProviderDetailFilterAdapter : public TcxDBAdapterItem {
    QZ_CLASS(TcxDBProviderDetailFilterAdapter, TcxDBAdapterItem)
public:
    using TcxDBAdapterItem::TcxDBAdapterItem;
    // Query-like data sets have parameters named like the detail keys.
    virtual bool IsCurrentQuery(TDataSet* dataSet, const std::string& names, const Variant& values);
    virtual void ReopenQuery(TDataSet* dataSet, const std::string& names, bool& reopened, const Variant& values);
    virtual void DetailFirst(TDataSet* dataSet, const std::string& names, bool& reopened, bool sqlMode,
                             const Variant& values);
};
TcxDBAdapterList* cxDetailFilterAdapters();

// Application code positioning a detail data set on one master's rows in place
// of the adapter: by a locate, or by re-opening a query (then reopened := true).
using TcxDBDataModeControllerDetailFirstEvent =
    std::function<void(TcxDBDataController* sender, TDataSet* dataSet, const std::string& masterDetailKeyFieldNames,
                       const Variant& masterDetailKeyValues, bool& reopened)>;
// Whether the detail query is already open for these master key values.
using TcxDBDataModeControllerDetailIsCurrentQueryEvent =
    std::function<bool(TcxDBDataController* sender, TDataSet* dataSet, const std::string& masterDetailKeyFieldNames,
                       const Variant& masterDetailKeyValues)>;

class TcxDBDataModeController : public TPersistent {
    QZ_CLASS(TcxDBDataModeController, TPersistent)
public:
    explicit TcxDBDataModeController(TcxDBDataController* controller) : FController(controller) {}
    void Assign(TPersistent* source) override;
    virtual bool DoDetailIsCurrentQuery(const std::string& names, const Variant& values);
    virtual void DoDetailFirst(const std::string& names, const Variant& values, bool& reopened);
    TcxDBDataModeControllerDetailFirstEvent OnDetailFirst;
    TcxDBDataModeControllerDetailIsCurrentQueryEvent OnDetailIsCurrentQuery;
    bool GridMode() const { return FGridMode; }
    void SetGridMode(bool v);
    int GridModeBufferCount() const { return FGridModeBufferCount; }
    void SetGridModeBufferCount(int v);
    bool SmartRefresh() const { return FSmartRefresh; }
    void SetSmartRefresh(bool v);
    bool SyncMode() const { return FSyncMode; }
    void SetSyncMode(bool v);
    bool DetailInSQLMode = false;
    bool DetailSync = true;
    bool MirrorInserts = true;
private:
    TcxDBDataController* FController;
    bool FGridMode = false;
    int FGridModeBufferCount = 0;
    bool FSmartRefresh = false;
    bool FSyncMode = true;
};

using TcxDBDataFilterBeforeChangeEvent =
    std::function<void(TObject* sender, TDataSet* dataSet, const std::string& filterText)>;
using TcxDBDataFilterFormatFilterTextValueEvent =
    std::function<void(TObject* sender, const Variant& value, std::string& displayValue)>;

class TcxDBDataFilterCriteriaItem : public TcxDataFilterCriteriaItem {
    QZ_CLASS(TcxDBDataFilterCriteriaItem, TcxDataFilterCriteriaItem)
public:
    using TcxDataFilterCriteriaItem::TcxDataFilterCriteriaItem;
    void RecreateOperator() override;
};

class TcxDBDataFilterCriteria : public TcxDataFilterCriteria {
    QZ_CLASS(TcxDBDataFilterCriteria, TcxDataFilterCriteria)
public:
    using TcxDataFilterCriteria::TcxDataFilterCriteria;
    void Assign(TPersistent* source) override;
    void AssignEvents(TcxFilterCriteria* source) override;
    TcxFilterCriteriaItem* CreateItem(TcxFilterCriteriaItemList* parent, TObject* itemLink, TcxFilterOperatorKind kind,
                                      const Variant& value, const std::string& displayValue) override;
    void DoChanged() override;
    void FormatFilterTextValue(TcxFilterCriteriaItem* item, const Variant& value, std::string& text) override;
    bool IsFiltering() override;
    void RestoreDefaults() override;
    bool IsAutoDataSetFilterActive();
    bool AutoDataSetFilter() const { return FAutoDataSetFilter; }
    void SetAutoDataSetFilter(bool v);
    bool IgnoreOrigin() const { return FIgnoreOrigin; }
    void SetIgnoreOrigin(bool v);
    TcxDBDataFilterBeforeChangeEvent OnBeforeChange;
    TcxDBDataFilterFormatFilterTextValueEvent OnFormatFilterTextValue;
private:
    bool FAutoDataSetFilter = false;
    bool FIgnoreOrigin = true;
};

// A summary item that names the data-set field it sums.
class TcxDBDataSummaryItem : public TcxDataSummaryItem {
    QZ_CLASS(TcxDBDataSummaryItem, TcxDataSummaryItem)
public:
    explicit TcxDBDataSummaryItem(TCollection* collection = nullptr) : TcxDataSummaryItem(collection) {}
    ~TcxDBDataSummaryItem() override;
    void Assign(TPersistent* source) override;
    TcxCustomDataField* GetField() override { return FSummaryField ? FSummaryField : Field(); }
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(const std::string& name);
private:
    std::string FFieldName;
    TcxDBDataField* FSummaryField = nullptr;
};

class TcxDBDataController : public TcxCustomDataController {
    QZ_CLASS(TcxDBDataController, TcxCustomDataController)
public:
    explicit TcxDBDataController(TComponent* owner = nullptr);
    ~TcxDBDataController() override;
    void Assign(TPersistent* source) override;

    TcxCustomDataField* CreateField(TcxCustomDataFieldList* list) override { return new TcxDBDataField(list); }
    bool IsDataLinked() override { return true; }
    bool IsKeyNavigation() override;
    bool CanFocusRecord(int record) override;
    void LoadStorage() override;
    void RestructData() override;
    void NotifyFieldChanged(TcxCustomDataField* field) override;
    void UpdateFieldsSlot() override;
    void UpdateFields() override;
    void UpdateFocused() override;
    std::string GetFilterItemFieldName(TObject* item) override;
    bool InternalSaveBookmark() override;
    void InternalClearBookmark() override;
    void InternalGotoBookmark() override;
    bool IsBookmarkAvailable() override;
    bool IsBookmarkRecordDeleted(int record) override;
    int GetActiveRecordIndexForInsert() override;
    bool GridModeLocateText(int item, const std::string& text, bool forward, bool next) override;
    void CheckPendingChanges() override;
    void CorrectDetailsAfterDelete(int record) override;
    void GetValueSlot(int record, TcxCustomDataField* field, Variant& value) override;
    TClass GetSummaryItemClass() override { return TcxDBDataSummaryItem::StaticClass(); }
    void GetGroupValueSlot(int record, TcxCustomDataField* field, Variant& value) override;
    TcxDataSelection* CreateSelection(std::function<void()> changed) override
    {
        return new TcxDBDataSelection(this, std::move(changed));
    }
    Variant GetSelectionKey(int row) override;
    int GetSelectedRowIndex(int n) override;
    int GetSelectionAnchorRowIndex() override;
    bool IsSelectionAnchorExist() override;
    void SetSelectionAnchor(int row) override;
    void SelectFromAnchor(int row, bool keepSelection) override;
    void SelectAll() override;
    void ForEachRow(bool selectedOnly, const TcxDataControllerEachRowProc& proc) override;
    TBookmark GetSelectedBookmark(int index);
    TBookmark GetSelectionAnchorBookmark();
    TcxDBDataSelection* DBSelection() const { return static_cast<TcxDBDataSelection*>(Info()->Selection()); }

    // Master-detail.
    TcxCustomDataRelation* CreateRelation(TcxCustomDataRelationList* list, TObject* item) override
    {
        return new TcxDBDataRelation(list, item);
    }
    void UpdateRelations(TcxCustomDataRelation* relation) override;
    void SetMasterRelation(TcxCustomDataRelation* relation, int masterRecord) override;
    const std::string& DetailKeyFieldNames() const { return FDetailKeyFieldNames; }
    void SetDetailKeyFieldNames(const std::string& names);
    const std::string& MasterKeyFieldNames() const { return FMasterKeyFieldNames; }
    void SetMasterKeyFieldNames(const std::string& names);
    std::string GetDetailKeyFieldNamesIfMaster() const
    {
        return FMasterKeyFieldNames.empty() ? std::string() : FDetailKeyFieldNames;
    }
    TcxDBProviderDetailFilterAdapter* GetDetailFilterAdapter();
    bool CanChangeFocusedRecord() override;
    void SyncDetails();
    void SyncDetail();
    bool ReopeningDetail = false;
    bool ReleasingDetailRows = false;
    bool OpeningDetail = false;
    // The controller that shows the detail data set's current row, after the
    // master (and its masters) moved to the matching record; null when it
    // cannot follow.
    TcxDBDataController* OpenDetailDataSet();
    void CheckOpenDetailDataSet();
    bool CanSyncMaster();
    TcxCustomDataController* ExpandFocusedDetail(int relationIndex);
    bool IsDetailKeyCurrent();
    Variant MasterKeyValues;
    TcxDBDataDetailHasChildrenEvent OnDetailHasChildren;

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return DBProvider()->DataSource(); }
    TDataSet* DataSet() const { return DBProvider()->DataSet(); }
    int GetDataSetRecordCount();
    int GetDataSetRecNo();
    void SetDataSetRecNo(int recNo);
    bool IsDataSetSequenced();
    const std::string& KeyFieldNames() const { return FKeyFieldNames; }
    void SetKeyFieldNames(const std::string& names);
    void GetKeyFields(std::vector<TcxCustomDataField*>& list);
    void GetKeyFieldsForSave(std::vector<TcxCustomDataField*>& list) override { GetKeyFields(list); }
    void CheckBrowseMode() override;
    void GetKeyFieldList(std::vector<TField*>& list);
    Variant GetRecordKeyValues(int record);
    Variant GetDataSetKeyValues();
    int FindRecordIndexByKey(const Variant& values);
    int FindRecordIndexByKeyFields();
    bool LocateByKey(const Variant& values);
    bool LocateInDataSet(const Variant& values);
    TObject* GetItemByFieldName(const std::string& name);
    TField* GetItemField(int item);
    std::string GetItemFieldName(int item);
    void ChangeItemFieldName(int item, const std::string& name);
    void ChangeFieldName(TcxDBDataField* field, const std::string& names, bool splitAll = false);
    void BindField(TcxDBDataField* field);
    void RefreshDataSource() override;
    bool ExecuteAction(TObject* action) override
    {
        return TcxCustomDataController::ExecuteAction(action) || DBProvider()->Link()->ExecuteAction(action);
    }
    bool UpdateAction(TObject* action) override
    {
        return TcxCustomDataController::UpdateAction(action) || DBProvider()->Link()->UpdateAction(action);
    }
    void ReadCurrentRecord(int record);
    void UpdateEditingRecord();
    virtual int GetDefaultGridModeBufferCount() { return 100; }
    virtual void GridModeBufferChanged() { Change(dcfLayout); }
    // Hooks for subclasses: the bound data source was replaced; a sequenced data
    // set scrolled in grid mode (its record numbers can place a scroll bar).
    virtual void DataSourceChanged() {}
    virtual void SequencedScrollChanged() {}
    void RefreshGridModeBuffer();

    TcxDBDataModeController* DataModeController() const { return FDataModeController; }
    TcxDBDataProvider* DBProvider() const { return static_cast<TcxDBDataProvider*>(Provider()); }
    TcxDBDataFilterCriteria* DBFilter() const { return static_cast<TcxDBDataFilterCriteria*>(Filter()); }
    TBookmark GridBookmark;
    bool InCheckBrowseMode = false;
    bool RefreshingBuffer = false;
    bool UnbindingFields = false;

protected:
    TcxCustomDataProvider* CreateProvider() override { return new TcxDBDataProvider(this); }
    TcxDataFilterCriteria* CreateFilter() override { return new TcxDBDataFilterCriteria(this); }

private:
    TcxDBDataModeController* FDataModeController;
    TcxDBDataField* FKeyField = nullptr;
    std::string FKeyFieldNames;
    std::string FDetailKeyFieldNames;
    std::string FMasterKeyFieldNames;
};

// The filter-operator adapters: data sets whose class name holds "Query"
// test for blanks with SQL's IS NULL.
class TcxDBFilterOperatorAdapter : public TcxDBAdapterItem {
    QZ_CLASS(TcxDBFilterOperatorAdapter, TcxDBAdapterItem)
public:
    using TcxDBAdapterItem::TcxDBAdapterItem;
    virtual void PrepareOperatorKind(TcxFilterCriteriaItem* item, TDataSet* dataSet, bool& sqlNull);
};
TcxDBAdapterList* cxFilterOperatorAdapters();
