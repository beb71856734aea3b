// Record-based views, first part: the items (columns) with their options,
// sizes, captions and stored layout; the per-item data binding with its
// default values provider; the data controller that asks its view for
// items; and the record view's item lists (all items, the shown ones, the
// filterable ones) with item identifiers.
#pragma once

#include "cxData.h"
#include "cxEdit.h"
#include "cxGrid.h"
#include "cxGridCustomView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TcxCustomGridTableItem;
class TcxCustomGridTableView;
class TcxGridDataController;

// ---- data binding ---------------------------------------------------------------------------------

class TcxGridDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
    QZ_CLASS(TcxGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
public:
    explicit TcxGridDefaultValuesProvider(TPersistent* AOwner = nullptr) : TcxCustomEditDefaultValuesProvider(AOwner) {}
    // A display format counts as given when the data controller keeps the
    // item's display texts or the item computes its own.
    bool HasDisplayFormat(bool AIsCurrencyValueAccepted) override;
};

class TcxGridItemDataBinding : public TPersistent {
    QZ_CLASS(TcxGridItemDataBinding, TPersistent)
public:
    explicit TcxGridItemDataBinding(TcxCustomGridTableItem* AItem);
    ~TcxGridItemDataBinding() override;
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override;
    virtual void DataChanged() {}
    virtual std::string GetDefaultCaption() { return std::string(); }
    virtual int GetDefaultWidth() { return 64; }

    TcxCustomGridTableItem* Item() const { return FItem; }
    TcxGridDataController* DataController() const;
    TcxValueTypeClass ValueTypeClass() const;
    void SetValueTypeClass(TcxValueTypeClass AValue);
    // The filter holds a condition on the item. Clearing removes every such
    // condition; setting does nothing.
    bool Filtered() const;
    void SetFiltered(bool AValue);
    IcxEditDefaultValuesProvider* GetDefaultValuesProvider() const { return FDefaultValuesProvider.get(); }
    Variant Data;

private:
    TcxCustomGridTableItem* FItem;
    std::unique_ptr<TcxGridDefaultValuesProvider> FDefaultValuesProvider;
};
using TcxGridItemDataBindingClass = TcxGridClassRef<TcxGridItemDataBinding, TcxCustomGridTableItem*>;

// What views and their controllers ask of a record view's data controller;
// a data-set controller answers otherwise.
class IcxGridDataController {
public:
    virtual ~IcxGridDataController() = default;
    virtual void CheckGridModeBufferCount() = 0;
    virtual bool DoScroll(bool AForward) = 0;
    virtual bool DoScrollPage(bool AForward) = 0;
    virtual TcxGridItemDataBindingClass GetItemDataBindingClass() = 0;
    virtual TClass GetItemDefaultValuesProviderClass() = 0;
    virtual bool IsFirstRecord() = 0;
    virtual bool IsLastRecord() = 0;
    virtual bool GetFilterPropertyValue(const std::string& AName, Variant& AValue) = 0;
    virtual int GetScrollBarPos() = 0;
    virtual int GetScrollBarRecordCount() = 0;
    virtual bool SetFilterPropertyValue(const std::string& AName, const Variant& AValue) = 0;
    virtual bool SetScrollBarPos(int APos) = 0;
};

class TcxGridDataController : public TcxDataController, public IcxGridDataController {
    QZ_CLASS(TcxGridDataController, TcxDataController)
public:
    explicit TcxGridDataController(TComponent* AOwner = nullptr) : TcxDataController(AOwner) {}
    TcxCustomGridTableView* GridView() const;

    TObject* GetItem(int AIndex) override;
    int GetItemID(TObject* AItem) override;
    std::string GetFilterItemDisplayText(TObject* AItem) override;

    void CheckGridModeBufferCount() override {}
    bool DoScroll(bool) override { return false; }
    bool DoScrollPage(bool) override { return false; }
    TcxGridItemDataBindingClass GetItemDataBindingClass() override;
    TClass GetItemDefaultValuesProviderClass() override { return TcxGridDefaultValuesProvider::StaticClass(); }
    bool IsFirstRecord() override;
    bool IsLastRecord() override;
    bool GetFilterPropertyValue(const std::string&, Variant&) override { return false; }
    int GetScrollBarPos() override { return -1; }
    int GetScrollBarRecordCount() override { return -1; }
    bool SetFilterPropertyValue(const std::string&, const Variant&) override { return false; }
    bool SetScrollBarPos(int) override { return false; }
};

// The record count of a view changed: runs at once, also while the grid is
// locked, as what the view shows must follow its data.
class TcxGridDataChange : public TcxCustomGridViewChange {
    QZ_CLASS(TcxGridDataChange, TcxCustomGridViewChange)
public:
    using TcxCustomGridViewChange::TcxCustomGridViewChange;
    void Execute() override;
    bool IsDeferrable() override { return false; }
};

constexpr int gnkRecordCountChanged = 2;

// ---- items ------------------------------------------------------------------------------------------

enum TcxGridItemShowEditButtons { isebDefault, isebNever, isebAlways };

class TcxCustomGridTableItemCustomOptions : public TPersistent {
    QZ_CLASS(TcxCustomGridTableItemCustomOptions, TPersistent)
public:
    explicit TcxCustomGridTableItemCustomOptions(TcxCustomGridTableItem* AItem) : FItem(AItem) {}
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override;
    TcxCustomGridTableItem* Item() const { return FItem; }

protected:
    void Changed();

private:
    TcxCustomGridTableItem* FItem;
};

class TcxCustomGridTableItemOptions : public TcxCustomGridTableItemCustomOptions {
    QZ_CLASS(TcxCustomGridTableItemOptions, TcxCustomGridTableItemCustomOptions)
public:
    using TcxCustomGridTableItemCustomOptions::TcxCustomGridTableItemCustomOptions;
    void Assign(TPersistent* Source) override;
    bool Editing() const { return FEditing; }
    void SetEditing(bool AValue) { FEditing = AValue; }
    bool Filtering() const { return FFiltering; }
    void SetFiltering(bool AValue);
    bool Focusing() const { return FFocusing; }
    void SetFocusing(bool AValue) { FFocusing = AValue; }
    bool Grouping() const { return FGrouping; }
    void SetGrouping(bool AValue) { FGrouping = AValue; }
    bool IncSearch() const { return FIncSearch; }
    void SetIncSearch(bool AValue) { FIncSearch = AValue; }
    bool Moving() const { return FMoving; }
    void SetMoving(bool AValue) { FMoving = AValue; }
    TcxGridItemShowEditButtons ShowEditButtons() const { return FShowEditButtons; }
    void SetShowEditButtons(TcxGridItemShowEditButtons AValue);
    bool Sorting() const { return FSorting; }
    void SetSorting(bool AValue) { FSorting = AValue; }

private:
    bool FEditing = true, FFiltering = true, FFocusing = true, FGrouping = true, FIncSearch = true, FMoving = true;
    TcxGridItemShowEditButtons FShowEditButtons = isebDefault;
    bool FSorting = true;
};

using TcxGridGetDisplayTextEvent =
    std::function<void(TcxCustomGridTableItem* Sender, TObject* ARecord, std::string& AText)>;

class TcxCustomGridTableItem : public TComponent, public IcxStoredObject, public IcxEditRepositoryItemListener {
    QZ_CLASS(TcxCustomGridTableItem, TComponent)
public:
    explicit TcxCustomGridTableItem(TComponent* AOwner = nullptr);
    ~TcxCustomGridTableItem() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    void Assign(TPersistent* Source) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return FGridView != nullptr; }
    void SetParentComponent(TComponent* AValue) override;

    // ---- stored layout
    std::string GetStoredObjectName() override;
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;

    // ---- properties
    std::string Caption() const;
    void SetCaption(const std::string& AValue);
    bool IsCaptionStored() const;
    // Streams an explicitly empty caption so that it survives loading.
    bool IsCaptionAssignedStored() const { return FCaptionAssigned && FCaption.empty(); }
    void SetCaptionAssigned(bool AValue) { FCaptionAssigned = AValue; }
    bool Visible() const { return GetVisible(); }
    void SetVisible(bool AValue);
    bool IsVisibleStored() const { return !Visible(); }
    int Width() const;
    void SetWidth(int AValue);
    bool IsWidthStored() const { return FWidthAssigned; }
    int MinWidth() const;
    void SetMinWidth(int AValue);
    TAlignment HeaderAlignmentHorz() const { return FHeaderAlignmentHorzAssigned ? FHeaderAlignmentHorz : taLeftJustify; }
    void SetHeaderAlignmentHorz(TAlignment AValue);
    TcxAlignmentVert HeaderAlignmentVert() const { return FHeaderAlignmentVertAssigned ? FHeaderAlignmentVert : vaTop; }
    void SetHeaderAlignmentVert(TcxAlignmentVert AValue);
    int GroupIndex() const;
    void SetGroupIndex(int AValue);
    TcxDataSortOrder SortOrder() const;
    void SetSortOrder(TcxDataSortOrder AValue);
    int SortIndex() const;
    void SetSortIndex(int AValue);
    int Index() const { return FIndex; }
    void SetIndex(int AValue);
    int ID() const { return FID; }
    int VisibleIndex() const { return FVisibleIndex; }
    bool WasVisibleBeforeGrouping() const { return FWasVisibleBeforeGrouping; }
    bool Filtered() const { return FDataBinding && FDataBinding->Filtered(); }
    void SetFiltered(bool AValue)
    {
        if (FDataBinding) FDataBinding->SetFiltered(AValue);
    }
    TcxCustomGridTableView* GridView() const { return FGridView; }
    TcxGridItemDataBinding* DataBinding() const { return FDataBinding.get(); }
    TcxCustomGridTableItemOptions* Options() const { return FOptions.get(); }
    bool IsFirst() const { return FVisibleIndex == 0; }
    bool IsLast() const;

    // ---- editor description: own properties, a repository item, or the
    // default editor of the value type
    TClass PropertiesClass() const { return FPropertiesClass; }
    void SetPropertiesClass(TClass AValue);
    std::string PropertiesClassName() const;
    void SetPropertiesClassName(const std::string& AValue);
    TcxCustomEditProperties* Properties() const { return FProperties.get(); }
    void SetProperties(TcxCustomEditProperties* AValue);
    TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
    void SetRepositoryItem(TcxEditRepositoryItem* AValue);
    // The properties in use, made ready to take the binding's defaults.
    TcxCustomEditProperties* GetProperties();
    TcxEditRepositoryItem* DefaultRepositoryItem() const { return FDefaultRepositoryItem; }
    void ItemRemoved(TObject* Sender) override;
    void PropertiesChanged(TObject* Sender) override { PropertiesChanged(); }
    virtual void PropertiesChanged();
    virtual void InitProperties(TcxCustomEditProperties* AProperties);

    // ---- behaviour
    virtual bool CanHorzSize() { return true; }
    virtual bool CanFocus();
    virtual bool CanMove();
    virtual bool IsMovable();
    virtual bool CanScroll() { return true; }
    virtual void CaptionChanged();
    virtual void Changed(bool ASize);
    virtual void DataChanged();
    virtual bool GetActuallyVisible() const { return Visible(); }
    virtual bool IsFilterable() { return FOptions->Filtering(); }
    virtual bool GetVisible() const { return FVisible; }
    virtual void SetGridView(TcxCustomGridTableView* AValue);
    virtual void ValueTypeClassChanged();
    virtual std::string GetDefaultCaption() const;
    virtual int GetDefaultWidth() const;
    virtual bool ShowOnUngrouping() { return true; }
    virtual void DoGetDisplayText(TObject* ARecord, std::string& AText);
    virtual void RestoreDefaults();
    virtual TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*> GetOptionsClass();
    bool IsLoading() const;

    TcxGridGetDisplayTextEvent OnGetDisplayText;
    TNotifyEvent PropertiesEvents;
    TNotifyEvent StylesEvents;

    // Used by the view as the item joins or leaves it.
    void SetIndexField(int AValue) { FIndex = AValue; }
    void SetID(int AValue) { FID = AValue; }
    void SetVisibleIndexField(int AValue) { FVisibleIndex = AValue; }
    void SetVisibleField(bool AValue) { FVisible = AValue; }
    bool LoadingOverride = false;

private:
    void ResolveProperties();
    std::string FCaption;
    bool FCaptionAssigned = false;
    TClass FPropertiesClass = nullptr;
    std::unique_ptr<TcxCustomEditProperties> FProperties;
    TcxEditRepositoryItem* FRepositoryItem = nullptr;
    TcxEditRepositoryItem* FDefaultRepositoryItem = nullptr;
    TcxCustomEditProperties* FEffectiveProperties = nullptr;
    std::unique_ptr<TcxGridItemDataBinding> FDataBinding;
    TcxCustomGridTableView* FGridView = nullptr;
    TAlignment FHeaderAlignmentHorz = taLeftJustify;
    bool FHeaderAlignmentHorzAssigned = false;
    TcxAlignmentVert FHeaderAlignmentVert = vaTop;
    bool FHeaderAlignmentVertAssigned = false;
    int FID = -1;
    int FIndex = -1;
    int FMinWidth = 20;
    std::unique_ptr<TcxCustomGridTableItemOptions> FOptions;
    bool FVisible = false;
    int FVisibleIndex = -1;
    bool FWasVisibleBeforeGrouping = false;
    int FWidth = 0;
    bool FWidthAssigned = false;
    bool FTornDown = false;
};

// ---- records ------------------------------------------------------------------------------------------

class TcxCustomGridTableViewData;

// A light handle on one row of the view: its row index and a copy of the
// row's information. Handles live until the row count changes.
class TcxCustomGridRecord : public TObject {
    QZ_CLASS(TcxCustomGridRecord, TObject)
public:
    TcxCustomGridRecord(TcxCustomGridTableViewData* AViewData, int AIndex, const TcxDataControllerRowInfo& ARowInfo)
        : FViewData(AViewData), FIndex(AIndex), FRowInfo(ARowInfo)
    {
    }
    virtual void Collapse(bool ARecursive);
    virtual void Expand(bool ARecursive);
    virtual bool KeepsCharacterAfterKey() { return false; }
    virtual bool GetExpandable() { return false; }
    virtual bool GetExpanded() { return false; }
    virtual bool HasCells() { return false; }
    virtual bool IsData() { return true; }
    virtual bool HasChildRecords() { return false; }
    virtual bool CanFocus() { return true; }
    virtual TcxCustomGridRecord* GetParentRecord();
    virtual bool GetSelected();
    virtual void SetSelected(bool AValue);
    virtual std::string GetDisplayText(int AItemIndex);
    virtual int GetValueCount();
    virtual Variant GetValue(int AItemIndex);

    TcxCustomGridTableViewData* ViewData() const { return FViewData; }
    TcxCustomGridTableView* GridView() const;
    TcxGridDataController* DataController() const;
    int Index() const { return FIndex; }
    int Level() const { return FRowInfo.Level; }
    int RecordIndex() const { return FRowInfo.RecordIndex; }
    const TcxDataControllerRowInfo& RowInfo() const { return FRowInfo; }
    bool HasValidRecordIndex() const;
    bool IsFirst() const { return FIndex == 0; }
    bool IsLast() const;
    bool IsNewItemRecord() const;
    bool IsEditing() const;
    void RefreshRecordInfo();
    void SetExpanded(bool AValue);
    bool KeyHandled = false;

private:
    TcxCustomGridTableViewData* FViewData;
    int FIndex;
    TcxDataControllerRowInfo FRowInfo;
};
using TcxCustomGridRecordClass =
    TcxGridClassRef<TcxCustomGridRecord, TcxCustomGridTableViewData*, int, const TcxDataControllerRowInfo&>;

// The record list of a record view: one handle per row, made on first request.
class TcxCustomGridTableViewData : public TcxCustomGridViewData {
    QZ_CLASS(TcxCustomGridTableViewData, TcxCustomGridViewData)
public:
    explicit TcxCustomGridTableViewData(TcxCustomGridView* AGridView) : TcxCustomGridViewData(AGridView) {}
    ~TcxCustomGridTableViewData() override;
    virtual TcxCustomGridRecordClass GetRecordClass(const TcxDataControllerRowInfo& ARowInfo);
    virtual TcxCustomGridRecordClass GetNewItemRecordClass();
    virtual void SetRecordCount(int ACount);
    virtual bool HasNewItemRecord() { return false; }

    TcxCustomGridTableView* GridView() const;
    TcxGridDataController* DataController() const;
    int RecordCount() const { return int(FRecords.size()); }
    TcxCustomGridRecord* GetRecord(int AIndex);
    TcxCustomGridRecord* GetRecordByIndex(int AIndex);
    bool IsRecordIndexValid(int AIndex) const { return AIndex >= 0 && AIndex < RecordCount(); }
    bool IsRecordCreated(int AIndex) const { return IsRecordIndexValid(AIndex) && FRecords[size_t(AIndex)]; }
    TcxCustomGridRecord* GetRecordByRecordIndex(int ARecordIndex);
    TcxCustomGridRecord* GetEditingRecord();
    TcxCustomGridRecord* EditingRecord() const { return FEditingRecord; }
    void UpdateEditingRecord() { FEditingRecord = GetEditingRecord(); }
    TcxCustomGridRecord* NewItemRecord() const { return FNewItemRecord.get(); }
    void CheckNewItemRecord();
    void RecreateNewItemRecord();
    void DestroyRecords();
    void ExpandAll(bool ARecursive);
    void CollapseAll(bool ARecursive);
    // Every record made so far re-reads its row; the handles stay.
    void RefreshRecords();

private:
    TcxCustomGridRecord* FEditingRecord = nullptr;
    std::unique_ptr<TcxCustomGridRecord> FNewItemRecord;
    std::vector<std::unique_ptr<TcxCustomGridRecord>> FRecords;
};

// ---- record hit tests -------------------------------------------------------------------------------------

// A record under the point. It keeps the row index, never the handle, as
// handles go with every row-count change.
class TcxGridRecordHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridRecordHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 101; }
    virtual bool CanClick() const { return true; }
    // The new-item record, or the handle of the stored row (made on demand), or null.
    TcxCustomGridRecord* GridRecord() const;
    void SetGridRecord(TcxCustomGridRecord* ARecord);
    TcxCustomGridTableViewData* ViewData = nullptr;
    int RecordIndex = -1;
    bool IsNewItemRecord = false;
};

class TcxGridRecordCellHitTest : public TcxGridRecordHitTest {
    QZ_CLASS(TcxGridRecordCellHitTest, TcxGridRecordHitTest)
public:
    int HitTestCode() const override { return 102; }
    TcxCustomGridTableItem* Item = nullptr;
};

class TcxGridExpandButtonHitTest : public TcxGridRecordHitTest {
    QZ_CLASS(TcxGridExpandButtonHitTest, TcxGridRecordHitTest)
public:
    int HitTestCode() const override { return 103; }
    bool CanClick() const override { return false; }
};

class TcxGridNavigatorHitTest : public TcxCustomGridViewHitTest {
    QZ_CLASS(TcxGridNavigatorHitTest, TcxCustomGridViewHitTest)
public:
    int HitTestCode() const override { return 104; }
};

// ---- the record view's item lists ---------------------------------------------------------------------

class TcxCustomGridTableView : public TcxCustomGridView {
    QZ_CLASS(TcxCustomGridTableView, TcxCustomGridView)
public:
    explicit TcxCustomGridTableView(TComponent* AOwner = nullptr) : TcxCustomGridView(AOwner) {}
    ~TcxCustomGridTableView() override;
    void DestroyHandlers() override;
    TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass() override;
    TcxGridDataController* DataController() const;
    TcxCustomGridTableViewData* ViewData() const
    {
        return static_cast<TcxCustomGridTableViewData*>(TcxCustomGridView::ViewData());
    }
    TcxGridViewHandlerClass<TcxCustomGridViewData> GetViewDataClass() override;
    // Text of a record's cell as the item would show it.
    virtual void DoGetDisplayText(TcxCustomGridRecord* ARecord, int AItemIndex, std::string& AText);

    virtual TClass GetItemClass() { return nullptr; }
    TcxGridItemDataBindingClass GetItemDataBindingClass();
    virtual void AddItem(TcxCustomGridTableItem* AItem);
    virtual void RemoveItem(TcxCustomGridTableItem* AItem);
    virtual void ChangeItemIndex(TcxCustomGridTableItem* AItem, int AIndex);
    virtual void ItemVisibilityChanged(TcxCustomGridTableItem* AItem, bool AVisible);
    virtual void RefreshVisibleItemsList();
    void RefreshFilterableItemsList();
    virtual void ItemValueTypeClassChanged(int AItemIndex);
    // The data controller's news become queued changes.
    void DataControllerNotify(TcxUpdateControlInfo* AInfo) override;
    virtual void DataChanged();
    virtual void RecordCountChanged();

    TcxCustomGridTableItem* CreateItem();
    void ClearItems();
    // A copy of another record view takes its items with their identifiers.
    void AssignLayout(TcxCustomGridView* ASource) override;
    int ItemCount() const { return int(FItems.size()); }
    TcxCustomGridTableItem* GetItem(int AIndex) const { return FItems[size_t(AIndex)]; }
    int VisibleItemCount() const { return int(FVisibleItems.size()); }
    TcxCustomGridTableItem* GetVisibleItem(int AIndex) const { return FVisibleItems[size_t(AIndex)]; }
    int FilterableItemCount() const { return int(FFilterableItems.size()); }
    TcxCustomGridTableItem* GetFilterableItem(int AIndex) const { return FFilterableItems[size_t(AIndex)]; }
    TcxCustomGridTableItem* FindItemByID(int AID) const;
    TcxCustomGridTableItem* FindItemByName(const std::string& AName) const;
    int IndexOfItem(TcxCustomGridTableItem* AItem) const;
    int NextID() const { return FNextID; }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetName(const std::string& ANewName) override;

private:
    void RenumberItems();
    std::vector<TcxCustomGridTableItem*> FItems;
    std::vector<TcxCustomGridTableItem*> FVisibleItems;
    std::vector<TcxCustomGridTableItem*> FFilterableItems;
    int FNextID = 0;
};

namespace cxGridCustomTableView {
// Unit start-up: item data bindings can be made by class name.
void Initialize();
// The default editor of a value type, or null: the registry of default
// editors fills this in.
TcxEditRepositoryItem* GetDefaultEditDataRepositoryItem(TcxValueTypeClass AValueTypeClass);
}  // namespace cxGridCustomTableView
