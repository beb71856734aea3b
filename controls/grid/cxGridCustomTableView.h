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
#include "cxNavigator.h"
#include "cxStyles.h"
#include "ExtCtrls.h"

#include <algorithm>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TcxCustomGridTableItem;
class TcxCustomGridTableView;
class TcxCustomGridTableItemStyles;
class TcxGridDataController;
class TcxCustomGridTableController;
class TcxCustomGridRecord;
class TcxGridEditingController;
class TcxCustomGridTableViewInfo;
class TcxGridTableDataCellViewInfo;
class TcxLookAndFeel;

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
    // The editor an item without one of its own shows.
    virtual TcxEditRepositoryItem* GetDefaultRepositoryItem();

    TcxCustomGridTableItem* Item() const { return FItem; }
    TcxCustomDataController* DataController() const;
    TcxValueTypeClass ValueTypeClass() const;
    void SetValueTypeClass(TcxValueTypeClass AValue);
    // The filter holds a condition on the item. Clearing removes every such
    // condition; setting does nothing.
    bool Filtered() const;
    void SetFiltered(bool AValue);
    // The text a filter value shows as, after the item has had its say.
    std::string GetFilterDisplayText(const Variant& AValue, const std::string& ADisplayText);
    // Loads the value list for the item (the item may change it), then
    // fills the strings with the entries' texts: string i is entry i.
    void GetFilterStrings(TStrings* AStrings, TcxDataFilterValueList* AValueList);
    // One condition on the item that replaces every condition it had.
    void AddToFilter(TcxFilterOperatorKind AOperatorKind, const Variant& AValue, const std::string& ADisplayText);
    // Made on first use through CreateDefaultValuesProvider.
    IcxEditDefaultValuesProvider* GetDefaultValuesProvider() const;
    Variant Data;

protected:
    // The provider the item's editor takes its defaults from; a data-set
    // binding answers from its field.
    virtual TcxCustomEditDefaultValuesProvider* CreateDefaultValuesProvider();
    TcxCustomEditDefaultValuesProvider* DefaultValuesProvider() const;

private:
    TcxCustomGridTableItem* FItem;
    mutable std::unique_ptr<TcxCustomEditDefaultValuesProvider> FDefaultValuesProvider;
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
    // A field that wants the focus starts editing its item.
    bool FocusItem(int AItemIndex) override;
    // The in-place editor writes its value first.
    void UpdateData() override;
    // What the item's editor edits while focused: the value, its display text (1) or a key (2).
    int GetItemEditValueSource(int AItemIndex) override;
    // The view's OnCanSelectRecord decides whether a row joins the selection.
    bool CanSelectRow(int ARow) override;
    int GetDefaultActiveRelationIndex() override;
    std::string GetFilterItemDisplayText(TObject* AItem) override;
    TObject* CreateDetailLinkObject(TcxCustomDataRelation* ARelation, int ARecordIndex) override;
    TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* ALinkObject) override;

    void CheckGridModeBufferCount() override {}
    bool DoScroll(bool) override { return false; }
    bool DoScrollPage(bool) override { return false; }
    TcxGridItemDataBindingClass GetItemDataBindingClass() override;
    TClass GetItemDefaultValuesProviderClass() override { return TcxGridDefaultValuesProvider::StaticClass(); }
    // The view's summary item class, when it names one.
    TClass GetSummaryItemClass() override;
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

constexpr int gnkFocusedRecordChanged = 1;
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
    // Turning it off ends the in-place editing of the item.
    void SetEditing(bool AValue);
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

using TcxGridTableDataCellCustomDrawEvent = std::function<void(TcxCustomGridTableView* Sender, TcxCanvas* ACanvas,
                                                               TcxGridTableDataCellViewInfo* AViewInfo, bool& ADone)>;

using TcxGridGetDisplayTextEvent =
    std::function<void(TcxCustomGridTableItem* Sender, TObject* ARecord, std::string& AText)>;
// The editor a record's cell of the item shows and edits with.
using TcxGridGetPropertiesEvent = std::function<void(TcxCustomGridTableItem* Sender, TcxCustomGridRecord* ARecord,
                                                     TcxCustomEditProperties*& AProperties)>;
using TcxGridGetFilterDisplayTextEvent =
    std::function<void(TcxCustomGridTableItem* Sender, const Variant& AValue, std::string& ADisplayText)>;
using TcxGridGetFilterValuesEvent =
    std::function<void(TcxCustomGridTableItem* Sender, TcxDataFilterValueList* AValueList)>;

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
    // Shown, cells selectable in the view, and its own Focusing option.
    virtual bool CanFocus();
    // Its editor supports searching, and the view's and its own IncSearch options allow it.
    virtual bool CanIncSearch();
    // The cell of this item in the focused record when that record is on screen.
    TcxCustomGridViewCellViewInfo* GetFocusedCellViewInfo();
    // The focused cell reaches outside the view's content (an editor over it must move away).
    bool IsFocusedCellViewInfoPartVisible();

    // ---- in-place editing
    // The view's in-place editor edits this item; True starts editing it.
    bool Editing() const;
    void SetEditing(bool AValue);
    // Focusable, editing allowed by the view, the item and the data
    // controller, and the focused record shows cells.
    virtual bool CanEdit();
    // Puts the focused record into its edit state for the item; whether the edit may change.
    virtual bool InitEditing();
    // The value of the focused record as the editing properties edit it (Unassigned without one).
    Variant GetEditValue();
    void SetEditValue(const Variant& AValue);
    // The properties a record's cell uses: OnGetProperties may replace the item's.
    TcxCustomEditProperties* GetProperties(TcxCustomGridRecord* ARecord);
    virtual TcxCustomEditProperties* DoGetProperties(TcxCustomGridRecord* ARecord);
    // What the in-place edit keeps for the item between activations.
    std::unique_ptr<TcxCustomEditData>& EditData() { return FEditData; }
    TcxGridGetPropertiesEvent OnGetProperties;
    TcxCustomGridTableItemStyles* Styles() const { return FStyles.get(); }
    bool Focused() const;
    void SetFocused(bool AValue);

    // ---- what the item's cells draw with
    // One edit style shared by the item's cells, made on first lock and freed with the last unlock.
    TcxCustomEditStyle* LockEditStyle();
    void UnlockEditStyle();
    TcxCustomEditStyle* EditStyle() const { return FEditStyle.get(); }
    // The view data every cell of the item shares during one calculation of the records.
    void CreateEditViewData();
    void DestroyEditViewData();
    // The shared view data for the item's own properties; for other
    // properties, or outside a calculation, new view data (ALocal) that the
    // caller gives back through ReleaseEditViewData.
    TcxCustomEditViewData* GetEditViewData(TcxCustomEditProperties* AProperties, bool& ALocal);
    void ReleaseEditViewData(TcxCustomEditViewData* AViewData, bool ALocal);
    virtual bool CanAutoHeight();
    // Whether the editor's buttons show in cells (of the focused record, when AFocused).
    virtual bool ShowButtons(bool AFocused);
    // The cell's colours and font go into the edit style.
    virtual void InitStyle(TcxCustomEditStyle* AStyle, const TcxViewParams& AParams, bool AFocused);
    // The height of a one-line cell for a font: the editor's size for Null plus 2, 0 for none.
    virtual int CalculateDefaultCellHeight(TcxCanvas* ACanvas, TFont* AFont);
    virtual bool DoCustomDrawCell(TcxCanvas* ACanvas, TcxGridTableDataCellViewInfo* AViewInfo);
    TcxGridTableDataCellCustomDrawEvent OnCustomDrawCell;
    // The cells showing the item; they forget the item when it goes.
    void AddCell(TcxGridTableDataCellViewInfo* ACell);
    void RemoveCell(TcxGridTableDataCellViewInfo* ACell);
    virtual bool CanMove();
    virtual bool IsMovable();
    // What the editor supports, the view's customizing options and the item's own options allow.
    virtual bool CanFilter();
    virtual bool CanGroup();
    virtual bool CanSort();
    // Sets the width as a user sizing the item would: while it runs the
    // item counts as the one being sized, whose width others keep.
    virtual void ForceWidth(int AValue);
    virtual bool IsWidthForced();
    // The width that shows the widest value of the measured records whole
    // (all records, or BestFitMaxRecordCount of them from the top record);
    // 0 for nothing to measure.
    virtual int CalculateBestFitWidth();
    // Sizes the item to its best fit; nothing for the pattern of detail views.
    virtual void ApplyBestFit();
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
    virtual void DoGetFilterDisplayText(const Variant& AValue, std::string& ADisplayText);
    virtual void DoGetFilterValues(TcxDataFilterValueList* AValueList);
    // One of the application's own entries was chosen in the item's filter
    // drop-down; a column tells its handler.
    virtual void DoUserFiltering(const Variant& AValue, const std::string& ADisplayText) {}
    virtual void RestoreDefaults();
    virtual TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*> GetOptionsClass();
    virtual TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*> GetStylesClass();
    bool IsLoading() const;

    TcxGridGetDisplayTextEvent OnGetDisplayText;
    TcxGridGetFilterDisplayTextEvent OnGetFilterDisplayText;
    TcxGridGetFilterValuesEvent OnGetFilterValues;
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
    std::unique_ptr<TcxCustomGridTableItemStyles> FStyles;
    std::unique_ptr<TcxCustomEditStyle> FEditStyle;
    int FEditStyleLockCount = 0;
    std::unique_ptr<TcxCustomEditViewData> FEditViewData;
    std::unique_ptr<TcxCustomEditData> FEditData;
    std::vector<TcxGridTableDataCellViewInfo*> FCells;
    bool FVisible = false;
    int FVisibleIndex = -1;
    bool FWasVisibleBeforeGrouping = false;
    int FWidth = 0;
    bool FWidthAssigned = false;
    bool FTornDown = false;
};

// ---- records ------------------------------------------------------------------------------------------

class TcxCustomGridTableViewData;
class TcxCustomGridRecordViewInfo;
class TcxCustomGridRecordsViewInfo;
using TcxCustomGridRecordViewInfoClass =
    TcxGridClassRef<TcxCustomGridRecordViewInfo, TcxCustomGridRecordsViewInfo*, TcxCustomGridRecord*>;

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
    // Left and Right collapse and expand; the numeric pad's plus, minus and
    // multiply expand, collapse and expand all levels. Nothing of the record
    // is touched after an expansion, which may renew every record handle.
    virtual void KeyDown(WORD& AKey, TShiftState AShift);
    // Backspace, Ctrl+V, Ctrl+X and printable characters open the focused
    // item's editor with that character.
    virtual void KeyPress(char& AKey);
    virtual bool GetExpandable() { return false; }
    virtual bool GetExpanded() { return false; }
    virtual bool HasCells() { return false; }
    virtual bool IsData() { return true; }
    virtual bool HasChildRecords() { return false; }
    virtual bool CanFocus() { return true; }
    // Where the focus lands when it moves down into (first) or up into
    // (last) the detail this record shows; none for a record without one.
    virtual TcxCustomGridRecord* GetFirstFocusableChild() { return nullptr; }
    virtual TcxCustomGridRecord* GetLastFocusableChild(bool ARecursive) { return nullptr; }
    // What the view decides for the record's look.
    virtual bool DrawFocused();
    virtual bool DrawSelected();
    virtual TcxCustomGridRecord* GetParentRecord();
    virtual bool GetSelected();
    virtual void SetSelected(bool AValue);
    virtual std::string GetDisplayText(int AItemIndex);
    virtual int GetValueCount();
    virtual Variant GetValue(int AItemIndex);

    TcxCustomGridTableViewData* ViewData() const { return FViewData; }
    TcxCustomGridTableView* GridView() const;
    TcxCustomDataController* DataController() const;
    int Index() const { return FIndex; }
    int Level() const { return FRowInfo.Level; }
    int RecordIndex() const { return FRowInfo.RecordIndex; }
    const TcxDataControllerRowInfo& RowInfo() const { return FRowInfo; }
    bool HasValidRecordIndex() const;
    bool IsFirst() const { return FIndex == 0; }
    bool IsLast() const;
    // The last record, or one whose next record lies more than ALevelDistance
    // levels higher up (the end of its group that many levels out).
    bool IsLastChild(int ALevelDistance = 0);
    bool HasViewInfo() const { return ViewInfo != nullptr; }
    // The new-item record always; any other while its layout is among the shown ones.
    virtual bool IsVisible();
    bool IsNewItemRecord() const;
    bool IsEditing() const;
    void RefreshRecordInfo();
    void SetExpanded(bool AValue);
    // Queues a repaint of the record, or of its cell for the item.
    void Invalidate(TcxCustomGridTableItem* AItem = nullptr);
    bool IsFocused() const;
    void SetFocused(bool AValue);
    bool IsDragHighlighted() const;
    void MakeVisible();
    TcxCustomGridTableController* Controller() const;
    // The class of the record's layout; the concrete rows say.
    virtual TcxCustomGridRecordViewInfoClass GetViewInfoClass() { return {}; }
    bool KeyHandled = false;
    // The record's layout while it is calculated on screen, else null.
    TcxCustomGridRecordViewInfo* ViewInfo = nullptr;

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
    TcxCustomDataController* DataController() const;
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

// ---- filter editing -----------------------------------------------------------------------------------

// What a component offers to have its filter edited by the filter control
// and the filter builder; items are addressed by position 0 .. GetCount - 1.
class IcxFilterControl {
public:
    virtual ~IcxFilterControl() = default;
    virtual std::string GetItemCaption(int AIndex) = 0;
    virtual int GetCount() = 0;
    // The component's own criteria, the filter that Apply writes into.
    virtual TcxFilterCriteria* GetCriteria() = 0;
    // What identifies the item in the criteria (a record view gives the item's ID).
    virtual int GetItemLink(int AIndex) = 0;
    virtual std::string GetFieldName(int AIndex) = 0;
    virtual TcxCustomEditProperties* GetProperties(int AIndex) = 0;
    virtual TcxValueTypeClass GetValueType(int AIndex) = 0;
};

// The two filter dialogs as a record view reaches them. The filter dialog
// unit installs them at start-up; until then a view opens no dialog.
struct TcxGridFilterDialogs {
    // The filter cannot be shown in the one-column dialog.
    std::function<bool(TcxFilterCriteria* ACriteria)> IsComplexFilter;
    // The one-column dialog; True when closed with OK.
    std::function<bool(TcxFilterCriteria* ACriteria, TObject* AItem, TcxCustomEditProperties* AItemProperties,
                       TcxLookAndFeel* ALookAndFeel, TcxValueTypeClass AValueTypeClass, const std::string& AItemCaption)>
        ShowFilterDialog;
    // The filter builder over a component that offers IcxFilterControl; True when closed with OK.
    std::function<bool(TComponent* ALinkComponent, TcxLookAndFeel* ALookAndFeel, TColor AColor,
                       const std::string& AInitialDir, const TNotifyEvent& AOnShow, const TNotifyEvent& AOnApplyFilter)>
        ShowFilterControlDialog;
};

// ---- options of a record view --------------------------------------------------------------------------

enum TcxGridTableFilterVisible { fvNever, fvNonEmpty, fvAlways };

class TcxCustomGridTableFiltering : public TcxCustomGridOptions {
    QZ_CLASS(TcxCustomGridTableFiltering, TcxCustomGridOptions)
public:
    using TcxCustomGridOptions::TcxCustomGridOptions;
    void Assign(TPersistent* Source) override;
    bool CustomizeDialog() const { return FCustomizeDialog; }
    void SetCustomizeDialog(bool AValue);
    int DropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int AValue) { FDropDownWidth = std::max(AValue, 0); }
    int MaxDropDownCount() const { return FMaxDropDownCount; }
    void SetMaxDropDownCount(int AValue) { FMaxDropDownCount = std::max(AValue, 0); }
    TcxGridTableFilterVisible Visible() const { return FVisible; }
    void SetVisible(TcxGridTableFilterVisible AValue);
    // A requested count of filter values shown at once, cut to the maximum.
    int GetDropDownCount(int ACount) const;
    // The filter builder without an item or for a filter the one-column
    // dialog cannot show; else the one-column dialog for the item.
    void RunCustomizeDialog(TcxCustomGridTableItem* AItem = nullptr);

private:
    bool FCustomizeDialog = true;
    int FDropDownWidth = 0;
    int FMaxDropDownCount = 15;
    TcxGridTableFilterVisible FVisible = fvNonEmpty;
};

enum TcxGridDragFocusing { dfNone, dfDragOver, dfDragDrop };

class TcxCustomGridTableOptionsBehavior : public TcxCustomGridOptions {
    QZ_CLASS(TcxCustomGridTableOptionsBehavior, TcxCustomGridOptions)
public:
    using TcxCustomGridOptions::TcxCustomGridOptions;
    void Assign(TPersistent* Source) override;
    void Notification(TComponent* AComponent, TOperation AOperation) override;
    bool AlwaysShowEditor = false;
    int BestFitMaxRecordCount() const { return FBestFitMaxRecordCount; }
    void SetBestFitMaxRecordCount(int AValue) { FBestFitMaxRecordCount = std::max(AValue, 0); }
    bool CellHints = false;
    TcxGridDragFocusing DragFocusing = dfNone;
    bool DragHighlighting = true;
    bool DragOpening = true;
    bool DragScrolling = true;
    bool FocusCellOnCycle = false;
    bool FocusCellOnTab() const { return FFocusCellOnTab; }
    // Tab is one of the keys the site wants exactly while this is on.
    void SetFocusCellOnTab(bool AValue);
    bool FocusFirstCellOnNewRecord = false;
    bool GoToNextCellOnEnter = false;
    bool ImmediateEditor = true;
    bool IncSearch() const { return FIncSearch; }
    // Turning it off ends a running search.
    void SetIncSearch(bool AValue);
    TcxCustomGridTableItem* IncSearchItem() const { return FIncSearchItem; }
    void SetIncSearchItem(TcxCustomGridTableItem* AValue) { FIncSearchItem = AValue; }
    bool NavigatorHints = false;
    bool PullFocusing = false;

private:
    int FBestFitMaxRecordCount = 0;
    bool FFocusCellOnTab = false;
    bool FIncSearch = false;
    TcxCustomGridTableItem* FIncSearchItem = nullptr;
};

class TcxCustomGridTableOptionsCustomize : public TcxCustomGridOptions {
    QZ_CLASS(TcxCustomGridTableOptionsCustomize, TcxCustomGridOptions)
public:
    using TcxCustomGridOptions::TcxCustomGridOptions;
    void Assign(TPersistent* Source) override;
    bool ItemGrouping = true;
    bool ItemMoving = true;
    bool ItemSorting = true;
};

class TcxCustomGridTableOptionsData : public TcxCustomGridOptions {
    QZ_CLASS(TcxCustomGridTableOptionsData, TcxCustomGridOptions)
public:
    using TcxCustomGridOptions::TcxCustomGridOptions;
    void Assign(TPersistent* Source) override;
    bool Appending = false;
    bool CancelOnExit = true;
    bool Deleting() const { return FDeleting; }
    void SetDeleting(bool AValue);
    bool DeletingConfirmation = true;
    bool Editing() const { return FEditing; }
    // Turning it off ends in-place editing first.
    void SetEditing(bool AValue);
    bool Inserting() const { return FInserting; }
    void SetInserting(bool AValue);

private:
    void RefreshNavigators();
    bool FDeleting = true;
    bool FEditing = true;
    bool FInserting = true;
};

class TcxCustomGridTableOptionsSelection : public TcxCustomGridOptionsSelection {
    QZ_CLASS(TcxCustomGridTableOptionsSelection, TcxCustomGridOptionsSelection)
public:
    using TcxCustomGridOptionsSelection::TcxCustomGridOptionsSelection;
    void Assign(TPersistent* Source) override;
    bool CellSelect() const { return FCellSelect; }
    // On: the first focusable item takes the focus; off: no item keeps it.
    void SetCellSelect(bool AValue);
    bool HideFocusRect() const { return FHideFocusRect; }
    void SetHideFocusRect(bool AValue);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool AValue);
    bool InvertSelect() const { return FInvertSelect; }
    void SetInvertSelect(bool AValue);
    // Kept by the data controller.
    bool MultiSelect() const;
    void SetMultiSelect(bool AValue);
    bool UnselectFocusedRecordOnExit = true;

private:
    bool FCellSelect = true;
    bool FHideFocusRect = true;
    bool FHideSelection = false;
    bool FInvertSelect = true;
};

enum TcxGridShowEditButtons { gsebNever, gsebForFocusedRecord, gsebAlways };

class TcxCustomGridTableOptionsView : public TcxCustomGridOptionsView {
    QZ_CLASS(TcxCustomGridTableOptionsView, TcxCustomGridOptionsView)
public:
    using TcxCustomGridOptionsView::TcxCustomGridOptionsView;
    void Assign(TPersistent* Source) override;
    bool CellAutoHeight() const { return FCellAutoHeight; }
    void SetCellAutoHeight(bool AValue);
    bool CellEndEllipsis() const { return FCellEndEllipsis; }
    void SetCellEndEllipsis(bool AValue);
    int CellTextMaxLineCount() const { return FCellTextMaxLineCount; }
    void SetCellTextMaxLineCount(int AValue);
    bool ItemCaptionAutoHeight() const { return FItemCaptionAutoHeight; }
    void SetItemCaptionAutoHeight(bool AValue);
    bool ItemCaptionEndEllipsis() const { return FItemCaptionEndEllipsis; }
    void SetItemCaptionEndEllipsis(bool AValue);
    bool Navigator() const { return FNavigator; }
    void SetNavigator(bool AValue);
    int NavigatorOffset() const { return FNavigatorOffset; }
    void SetNavigatorOffset(int AValue);
    TcxGridShowEditButtons ShowEditButtons() const { return FShowEditButtons; }
    void SetShowEditButtons(TcxGridShowEditButtons AValue);

protected:
    // The header's height follows the caption height: a size change here.
    virtual void ItemCaptionAutoHeightChanged();

private:
    void SizeChanged();
    bool FCellAutoHeight = false;
    bool FCellEndEllipsis = false;
    int FCellTextMaxLineCount = 0;
    bool FItemCaptionAutoHeight = false;
    bool FItemCaptionEndEllipsis = false;
    bool FNavigator = false;
    int FNavigatorOffset = 50;
    TcxGridShowEditButtons FShowEditButtons = gsebNever;
};

class TcxCustomGridTableViewStyles;
class TcxGridTableDataCellViewInfo;

using TcxGridGetCellStyleEvent = std::function<void(TcxCustomGridTableView* Sender, TcxCustomGridRecord* ARecord,
                                                    TcxCustomGridTableItem* AItem, TcxStyle*& AStyle)>;

class TcxCustomGridTableViewStyles : public TcxCustomGridViewStyles {
    QZ_CLASS(TcxCustomGridTableViewStyles, TcxCustomGridViewStyles)
public:
    static constexpr int vsContent = 1, vsContentEven = 2, vsContentOdd = 3, vsInactive = 4, vsIncSearch = 5,
                         vsSelection = 6;
    explicit TcxCustomGridTableViewStyles(TPersistent* AOwner = nullptr) : TcxCustomGridViewStyles(AOwner) {}
    void Assign(TPersistent* Source) override;
    // AData is the record, when there is one.
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    TcxCustomGridTableView* GridView() const;
    // The colours and font of a record's content; with an item, the item's styles decide.
    virtual void GetContentParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem, TcxViewParams& AParams);
    // A cell drawn selected takes Selection while its record is drawn active, else Inactive.
    void GetDataCellParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem, TcxViewParams& AParams);
    // The content of a record apart from any item: the view's handler, then
    // ContentEven or ContentOdd when assigned, else Content.
    virtual void GetRecordContentParams(TcxCustomGridRecord* ARecord, TcxViewParams& AParams);
    TcxStyle* Style(int AIndex) const { return DynamicCast<TcxStyle>(GetValue(AIndex)); }
    void SetStyle(int AIndex, TcxStyle* AValue) { SetValue(AIndex, AValue); }
    TcxGridGetCellStyleEvent OnGetContentStyle;
};

class TcxCustomGridTableBackgroundBitmaps : public TcxCustomGridBackgroundBitmaps {
    QZ_CLASS(TcxCustomGridTableBackgroundBitmaps, TcxCustomGridBackgroundBitmaps)
public:
    static constexpr int bbContent = 1;
    using TcxCustomGridBackgroundBitmaps::TcxCustomGridBackgroundBitmaps;
    void Assign(TPersistent* Source) override;
    int GetBitmapStyleIndex(int AIndex) override;
    TBitmap* Content() { return Bitmaps(bbContent); }
    void SetContent(TBitmap* AValue) { SetBitmaps(bbContent, AValue); }
};

// The styles of one item: its content, with the view's defaults.
class TcxCustomGridTableItemStyles : public TcxCustomGridStyles {
    QZ_CLASS(TcxCustomGridTableItemStyles, TcxCustomGridStyles)
public:
    static constexpr int isContent = 0;
    explicit TcxCustomGridTableItemStyles(TPersistent* AOwner = nullptr) : TcxCustomGridStyles(AOwner) {}
    void Assign(TPersistent* Source) override;
    void GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams) override;
    TcxCustomGridView* GetGridView() const override;
    TcxCustomGridTableItem* Item() const;
    // The item's handler, then its Content style, else the view's content parameters.
    void GetContentParams(TcxCustomGridRecord* ARecord, TcxViewParams& AParams);
    TcxStyle* Content() const { return DynamicCast<TcxStyle>(GetValue(isContent)); }
    void SetContent(TcxStyle* AValue) { SetValue(isContent, AValue); }
    TcxGridGetCellStyleEvent OnGetContentStyle;
};

// ---- layout of the records area --------------------------------------------------------------------------

class TcxCustomGridRecordsViewInfo;
class TcxCustomGridTableViewInfo;

// The layout of one record on screen.
class TcxCustomGridRecordViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxCustomGridRecordViewInfo, TcxCustomGridViewCellViewInfo)
public:
    TcxCustomGridRecordViewInfo(TcxCustomGridRecordsViewInfo* ARecordsViewInfo, TcxCustomGridRecord* ARecord);
    ~TcxCustomGridRecordViewInfo() override;

    virtual void GetExpandButtonBounds(TRect& R);
    virtual bool CalculateSelected();
    virtual void ControlFocusChanged() {}
    virtual bool GetAutoHeight() { return false; }
    virtual void GetBackgroundBitmapBounds(TRect& R) { GetContentBounds(R); }
    virtual bool HasCellBackgroundBitmap(TcxCustomGridCellViewInfo* ACell) { return HasBackgroundBitmap(); }
    virtual void GetContentBounds(TRect& R) { R = Bounds; }
    // Where a click counts as a click on the expand button; the rows say.
    virtual void GetExpandButtonAreaBounds(TRect& R) { R = TRect{}; }
    virtual void GetFocusRectBounds(TRect& R) { R = Bounds; }
    virtual bool HideFocusRect();
    virtual bool InvertSelect();
    virtual bool IsClickHitTest(TcxCustomGridHitTest* AHitTest);
    virtual bool IsDetailVisible(TcxCustomGridView* ADetail) { return false; }
    virtual void VisibilityChanged(bool AVisible) {}
    // Focuses the record; False when the view went meanwhile.
    virtual bool Click(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift);
    virtual void GetBoundsForItem(TcxCustomGridTableItem* AItem, TRect& R);
    virtual void GetItemBounds(TcxCustomGridTableItem* AItem, TRect& R) { R = TRect{}; }
    virtual TcxCustomGridViewCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* AItem) { return nullptr; }

    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    int GetHeight() override;
    TBitmap* GetBackgroundBitmap() override;
    TcxCanvas* GetCanvas() override;
    TClass GetHitTestClass() override;
    bool GetVisible() override;
    void InitHitTest(TcxCustomGridHitTest* AHitTest) override;
    void DoOffset(int DX, int DY) override;
    void BeforeRecalculation() override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*> GetPainterClass() override;
    // Calculates the record again where it stands.
    void RecalculateRecord();

    TcxCustomGridTableView* GridView() const;
    TcxCustomGridRecordsViewInfo* RecordsViewInfo() const { return FRecordsViewInfo; }
    // The record is found again by its row, never kept: handles go with
    // every row-count change.
    TcxCustomGridRecord* GridRecord() const;
    int RecordIndex() const { return FRecordIndex; }
    bool IsNewItemRecord() const { return FIsNewItemRecord; }
    bool Expanded();
    bool Selected();
    bool IsRecordOwner() const { return !FNotOwner; }
    TRect ExpandButtonBounds;

protected:
    // The derived record's own height, measured once per row and cached.
    int CalculateHeight() override { return 0; }

private:
    TcxCustomGridRecordsViewInfo* FRecordsViewInfo;
    int FRecordIndex;
    bool FIsNewItemRecord;
    bool FNotOwner = false;
    bool FExpanded = false, FExpandedCalculated = false;
    bool FSelected = false, FSelectedCalculated = false;
};
// The records area: one record view info per record on screen, position i
// holding the record at visible position i.
class TcxCustomGridRecordsViewInfo : public TObject {
    QZ_CLASS(TcxCustomGridRecordsViewInfo, TObject)
public:
    explicit TcxCustomGridRecordsViewInfo(TcxCustomGridTableViewInfo* AGridViewInfo);
    ~TcxCustomGridRecordsViewInfo() override;

    virtual void AfterCalculate();
    virtual void BeforeCalculate();
    virtual void BeforeItemRecalculation();
    virtual void ResetIncSearchCell();
    virtual void Calculate() { CalculateBounds(Bounds); }
    virtual void CalculateBounds(TRect& R);
    virtual TcxCustomGridViewCellViewInfo* FindIncSearchCell(bool& AFound);
    virtual void CalculateVisibleCount() { FVisibleCount = 0; }
    virtual bool IsVariableHeight() { return GetAutoCellHeight(); }
    virtual bool GetAutoCellHeight();
    virtual TBitmap* GetBackgroundBitmap();
    // The geometry of positions belongs to the rows of a concrete view.
    virtual int GetItemLeftBound(int AIndex);
    virtual int GetItemTopBound(int AIndex);
    virtual int GetPixelScrollSize(int ARecordCountDelta);
    virtual void OffsetItem(int AIndex, int AOffset);
    virtual void ControlFocusChanged();
    virtual void VisibilityChanged(bool AVisible);
    virtual bool CanOffset(int ARecordCountDelta);
    virtual int GetRealIndex(int AIndex) { return AIndex; }
    virtual TcxCustomGridHitTest* GetHitTest(const TPoint& P);
    // The record view info of a row on screen, or null.
    virtual TcxCustomGridRecordViewInfo* GetRealItem(int ARecordIndex);
    void MainCalculate();
    // Scrolls by records: keeps the record view infos that stay, moved by
    // pixels, and lays out only the records that came into view.
    void Offset(int ARecordCountDelta);
    void Offset(int DX, int DY);

    // For positions below the count the record view info (null when its row
    // has no record); at the count a new one is made and appended.
    TcxCustomGridRecordViewInfo* Items(int AIndex);
    int Count() const { return int(FItems.size()); }
    // The record view info at a position as it stands, made or not.
    TcxCustomGridRecordViewInfo* ItemAt(int AIndex) const { return FItems[size_t(AIndex)].get(); }
    TcxCustomGridViewCellViewInfo* GetIncSearchCell();
    int VisibleRecordCount();
    int VisibleCount() const { return FVisibleCount; }
    int GetRecordIndex(int APosition);
    int GetPosition(int ARecordIndex);
    TcxCustomGridTableViewInfo* GridViewInfo() const { return FGridViewInfo; }
    TcxCustomGridTableView* GridView() const;
    TcxCustomGridTableController* Controller() const;
    TcxCustomGridTableViewData* ViewData() const;
    TcxCanvas* Canvas() const;
    void Paint();

    TRect Bounds;
    TBitmap* BackgroundBitmap = nullptr;

protected:
    virtual TcxCustomGridRecordViewInfoClass GetItemClass(TcxCustomGridRecord* ARecord)
    {
        return ARecord->GetViewInfoClass();
    }
    void SetVisibleCount(int AValue) { FVisibleCount = AValue; }
    // Makes the record view info of a position and calculates it there.
    TcxCustomGridRecordViewInfo* CreateItemAt(int APosition);

private:
    TcxCustomGridTableViewInfo* FGridViewInfo;
    std::vector<std::unique_ptr<TcxCustomGridRecordViewInfo>> FItems;
    TcxCustomGridViewCellViewInfo* FIncSearchCell = nullptr;
    bool FIncSearchCellFound = false;
    int FPixelScrollSize = 0;
    int FVisibleCount = 0;
};
using TcxCustomGridRecordsViewInfoClass = TcxGridClassRef<TcxCustomGridRecordsViewInfo, TcxCustomGridTableViewInfo*>;

// The strip left of the horizontal scroll bar that holds the data navigator.
class TcxNavigatorSiteViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxNavigatorSiteViewInfo, TcxCustomGridViewCellViewInfo)
public:
    using TcxCustomGridViewCellViewInfo::TcxCustomGridViewCellViewInfo;
    TcxCustomGridTableViewInfo* TableViewInfo() const;
    int CalculateWidth() override;
    TClass GetHitTestClass() override;
    bool GetHotTrack() override { return true; }
    bool GetVisible() override;
    TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*> GetPainterClass() override;
    void GetViewParams(TcxViewParams& AParams) override { AParams.Color = clBtnFace; }
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    bool MouseMove(TcxCustomGridHitTest* AHitTest, TShiftState AShift) override;
    bool MouseUp(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    void MouseLeave() override;
};


// ---- cells of records ---------------------------------------------------------------------------------

// A cell that belongs to a record on screen.
class TcxGridTableCellViewInfo : public TcxCustomGridViewCellViewInfo {
    QZ_CLASS(TcxGridTableCellViewInfo, TcxCustomGridViewCellViewInfo)
public:
    explicit TcxGridTableCellViewInfo(TcxCustomGridRecordViewInfo* ARecordViewInfo);
    virtual bool CalculateSelected();
    // A cell that answers True counts as selected whatever the selection rules say.
    virtual bool AlwaysSelected() { return false; }
    virtual bool CanDrawSelected() { return false; }
    // Computed once per calculation.
    bool Selected();
    TcxCustomGridRecordViewInfo* RecordViewInfo() const { return FRecordViewInfo; }
    TcxCustomGridRecord* GridRecord() const;
    TcxCustomGridTableView* GridView() const;
    TClass GetHitTestClass() override;
    bool HasBackgroundBitmap() override;
    void InitHitTest(TcxCustomGridHitTest* AHitTest) override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    // The record's own click handling (focusing it) comes first; a view freed
    // meanwhile ends the handling with False.
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;

private:
    TcxCustomGridRecordViewInfo* FRecordViewInfo;
    bool FSelected = false, FSelectedCalculated = false;
};

// The cell of one item in one record, drawn by the item's editor.
class TcxGridTableDataCellViewInfo : public TcxGridTableCellViewInfo {
    QZ_CLASS(TcxGridTableDataCellViewInfo, TcxGridTableCellViewInfo)
public:
    TcxGridTableDataCellViewInfo(TcxCustomGridRecordViewInfo* ARecordViewInfo, TcxCustomGridTableItem* AItem);
    ~TcxGridTableDataCellViewInfo() override;

    virtual void CalculateEditViewInfo(TcxCustomEditViewInfo* AEditViewInfo, const TPoint& AMousePos);
    virtual bool CanShowEditOnMouseDown() { return GetHotTrack(); }
    virtual bool GetAutoHeight();
    // The display text for properties that format it, else the value.
    virtual void GetDisplayValue(Variant& AValue);
    // Where the in-place editor goes: the edit view inset by 1, cut to the visible content.
    virtual void GetEditBounds(TRect& R);
    virtual void GetEditViewBounds(TRect& R) { R = ContentBounds(); }
    virtual void GetEditViewDataContentOffsets(TRect& R) { R = TRect{1, 1, 1, 1}; }
    virtual int GetMaxLineCount();
    virtual void GetValue(Variant& AValue);
    virtual bool IsTextSelected();
    virtual void InitStyle();
    void Update(bool ARecalculate);
    // Its item is focused, its record drawn focused, and it is the item's focused cell.
    bool IsFocusedCell();

    void MouseLeave() override;
    void AfterCustomDraw(TcxCanvas* ACanvas) override;
    void BeforeCustomDraw(TcxCanvas* ACanvas) override;
    int CalculateHeight() override;
    // As wide as its item.
    int CalculateWidth() override;
    bool CustomDraw(TcxCanvas* ACanvas) override;
    void CalculateValues() override;
    TClass GetHitTestClass() override;
    bool GetHotTrack() override;
    TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*> GetPainterClass() override;
    bool GetShowEndEllipsis() override;
    std::string GetText() override;
    void GetViewParams(TcxViewParams& AParams) override;
    bool HasCustomDraw() override;
    void InitHitTest(TcxCustomGridHitTest* AHitTest) override;
    bool InvalidateOnStateChange() override { return false; }
    void DoOffset(int DX, int DY) override;
    void RestoreParams(const TcxViewParams& AParams) override;
    void SaveParams(TcxViewParams& AParams) override;
    void StateChanged() override;
    void BeforeRecalculation() override;
    void Calculate(int ALeft, int ATop, int AWidth = -1, int AHeight = -1) override;
    bool MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    bool MouseMove(TcxCustomGridHitTest* AHitTest, TShiftState AShift) override;
    bool MouseUp(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift) override;
    bool CanShowHint() override;
    void GetHintTrackBounds(TRect& R) override;
    bool GetHintInfo(const TPoint& P, std::string& AText, TRect& ATextBounds, bool& AMultiLine) override;
    bool CalculateSelected() override;
    bool CanDrawSelected() override { return true; }

    // Null once the item has gone.
    TcxCustomGridTableItem* Item() const { return FItem; }
    void ItemRemoved() { FItem = nullptr; }
    TcxCustomEditProperties* Properties() const { return FProperties; }
    TcxCustomEditViewInfo* EditViewInfo() const { return FEditViewInfo.get(); }
    bool WasFocusedCell() const { return FWasFocusedCell; }

private:
    // Repaints when the editor would look different with the mouse at P.
    void RefreshHotTrack(const TPoint& P);
    TcxCustomGridTableItem* FItem;
    TcxCustomEditProperties* FProperties;
    std::unique_ptr<TcxCustomEditViewInfo> FEditViewInfo;
    TcxCustomEditStyle* FEditStyle = nullptr;
    bool FWasFocusedCell = false;
};

// Paints a data cell: its editor draws the content.
class TcxGridTableDataCellPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxGridTableDataCellPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    void DrawContent() override;
    // The focused item's cell of the focused record shows the focus
    // rectangle, unless the whole record is inverted or an editor covers it.
    void Paint() override;
    bool ExcludeFromClipRect() override { return true; }
};

// Paints what a record has of its own: its expand button, a background
// bitmap and its focus rectangle; its cells paint themselves. The view's
// background is not painted under it.
class TcxCustomGridRecordPainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxCustomGridRecordPainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    TcxCustomGridRecordViewInfo* RecordViewInfo() const;
    void BeforePaint() override;
    void DrawBackground() override;
    void Paint() override {}
    void AfterPaint() override;
};

// Paints the shown records of a records area in order.
class TcxCustomGridRecordsPainter : public TObject {
    QZ_CLASS(TcxCustomGridRecordsPainter, TObject)
public:
    TcxCustomGridRecordsPainter(TcxCanvas* ACanvas, TcxCustomGridRecordsViewInfo* AViewInfo)
        : FCanvas(ACanvas), FViewInfo(AViewInfo)
    {
    }
    virtual void Paint();

private:
    TcxCanvas* FCanvas;
    TcxCustomGridRecordsViewInfo* FViewInfo;
};

// The navigator strip is kept out of the clipping of what paints after it.
class TcxNavigatorSitePainter : public TcxCustomGridCellPainter {
    QZ_CLASS(TcxNavigatorSitePainter, TcxCustomGridCellPainter)
public:
    using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
    bool ExcludeFromClipRect() override { return true; }
};

// Paints a record view: its records, then the navigator strip; what they
// leave uncovered gets the background.
class TcxCustomGridTablePainter : public TcxCustomGridPainter {
    QZ_CLASS(TcxCustomGridTablePainter, TcxCustomGridPainter)
public:
    using TcxCustomGridPainter::TcxCustomGridPainter;
    void PaintContent() override;
};

// The layout of a record view: its records area and the navigator strip.
class TcxCustomGridTableViewInfo : public TcxCustomGridViewInfo, public IcxNavigatorOwner {
    QZ_CLASS(TcxCustomGridTableViewInfo, TcxCustomGridViewInfo)
public:
    explicit TcxCustomGridTableViewInfo(TcxCustomGridView* AGridView);
    ~TcxCustomGridTableViewInfo() override;
    TcxCustomGridTableView* GridView() const;
    TcxCustomGridTableController* Controller() const;

    virtual void GetNavigatorBounds(TRect& R);
    virtual void ResetIncSearchCell();
    virtual int GetRecordsPerPage() { return -1; }
    virtual int GetMaxVisibleRecordCount() { return 0; }
    virtual int GetNavigatorOffset();
    virtual void GetNavigatorSiteBounds(TRect& R);
    virtual TcxGridClassRef<TcxNavigatorSiteViewInfo, TcxCustomGridViewInfo*> GetNavigatorSiteClass();
    virtual TcxCustomGridRecordsViewInfoClass GetRecordsViewInfoClass() { return {}; }
    virtual void GetContentBounds(TRect& R) { R = ClientBounds; }
    // Where a cell counts as fully visible: it clips the editor and hints.
    virtual void GetVisibleContentBounds(TRect& R) { GetContentBounds(R); }
    void OffsetRecords(int ARecordCountDelta);
    void OffsetRecords(int DX, int DY);
    virtual void CalculateExpandButtonParams();
    virtual bool CanCheckTopRecord();
    virtual bool CanOffsetView(int ARecordCountDelta, int DX, int DY) { return true; }
    bool CanOffsetRecords(int ARecordCountDelta);
    virtual void DoOffset(int ARecordCountDelta, int DX, int DY);
    virtual int GetNearestPopupHeight(int AHeight, bool AAdditionalRecord) { return AHeight; }
    virtual int GetPopupHeight(int ARecordCount) { return 0; }

    void CreateViewInfos() override;
    void DestroyViewInfos(bool AIsRecreating) override;
    void BeforeCalculating() override;
    void DoCalculate() override;
    void AfterCalculating() override;
    void ControlFocusChanged() override;
    void AdjustHScrollBarBounds(TRect& R) override;
    bool IsDetached() override;
    void DoUpdateSiteVisibility(bool AShow) override;
    TcxCustomGridHitTest* GetHitTest(const TPoint& P) override;

    // ---- the navigator's host
    TRect GetNavigatorRect() override;
    TcxCustomNavigatorButtons* GetNavigatorButtonSet() override;
    TCanvas* GetNavigatorPaintCanvas() override;
    TWinControl* GetNavigatorWinControl() override;
    bool IsNavigatorFocused() override { return false; }
    TcxLookAndFeel* GetNavigatorLookAndFeel() override;
    TComponent* GetNavigatorOwnerComponent() override;
    bool IsNavigatorHintEnabled() override;
    bool IsNavigatorTabStop() override { return false; }
    void NavigatorButtonsStateChanged() override;
    void NavigatorLayoutChanged() override;

    // -1 takes the controller's top record; anything else makes this a measuring layout.
    int FirstRecordIndex() const;
    void SetFirstRecordIndex(int AValue) { FFirstRecordIndex = AValue; }
    bool CalculateDown = true;
    int VisibleRecordCount() const;
    int ExpandButtonIndent() const { return FExpandButtonIndent; }
    int ExpandButtonAreaWidth() const { return FExpandButtonAreaWidth; }
    int ExpandButtonSize() const;
    int NavigatorWidth() const { return FNavigatorWidth; }
    TcxCustomGridRecordsViewInfo* RecordsViewInfo() const { return FRecordsViewInfo.get(); }
    TcxNavigatorSiteViewInfo* NavigatorSiteViewInfo() const { return FNavigatorSiteViewInfo.get(); }
    TcxNavigatorViewInfo* NavigatorViewInfo() const { return FNavigatorViewInfo.get(); }
    // Cleared by the controller while it applies a new top record.
    bool CheckTopRecord = true;

private:
    int FExpandButtonAreaWidth = 0;
    int FExpandButtonIndent = 3;
    int FFirstRecordIndex = -1;
    int FNavigatorWidth = 0;
    int FNavigatorHeight = 0;
    std::unique_ptr<TcxNavigatorSiteViewInfo> FNavigatorSiteViewInfo;
    std::unique_ptr<TcxNavigatorViewInfo> FNavigatorViewInfo;
    std::unique_ptr<TcxCustomGridRecordsViewInfo> FRecordsViewInfo;
};

// Record heights per row, measured once until the next size change.
class TcxCustomGridTableViewInfoCacheItem : public TcxCustomGridViewInfoCacheItem {
    QZ_CLASS(TcxCustomGridTableViewInfoCacheItem, TcxCustomGridViewInfoCacheItem)
public:
    using TcxCustomGridViewInfoCacheItem::TcxCustomGridViewInfoCacheItem;
    void UnassignValues(bool APreserveMasterCache) override { IsHeightAssigned = false; }
    TcxCustomGridRecord* GridRecord() const;
    int Height = 0;
    bool IsHeightAssigned = false;
};

class TcxCustomGridTableViewInfoCache : public TcxCustomGridViewInfoCache {
    QZ_CLASS(TcxCustomGridTableViewInfoCache, TcxCustomGridViewInfoCache)
public:
    using TcxCustomGridViewInfoCache::TcxCustomGridViewInfoCache;
    TcxCustomGridViewInfoCacheItemClass GetItemClass() override;
};

// ---- the input side of a record view --------------------------------------------------------------------

class TcxCustomGridTableController : public TcxCustomGridController {
    QZ_CLASS(TcxCustomGridTableController, TcxCustomGridController)
public:
    using TcxCustomGridController::TcxCustomGridController;
    ~TcxCustomGridTableController() override;
    TcxCustomGridTableView* GridView() const;

    // ---- the in-place editor
    virtual TcxGridClassRef<TcxGridEditingController, TcxCustomGridTableController*> GetEditingControllerClass();
    // Made on first use.
    TcxGridEditingController* EditingController();
    bool IsEditing();
    void SetEditingItem(TcxCustomGridTableItem* AValue);
    // With AlwaysShowEditor the focused item's editor shows (or goes when
    // the focused record has no cells).
    virtual void UpdateEditor();
    // The keys an in-place editor hands on to the controller.
    virtual bool IsKeyForController(WORD AKey, TShiftState AShift);
    void AfterPaint() override;
    void BeforePaint() override;
    void BeforeKillFocus() override;
    void DoEnter() override;
    bool MayFocus() override;
    bool HasFocusedControls() override;
    // The grid's own drag operations take the editor's value first and show
    // an always-shown editor again afterwards.
    void BeginDragAndDrop() override;
    void EndDragAndDrop(bool Accepted) override;
    // Around a scroll by offset: the editor is placed again, or moved out of
    // sight when its cell went.
    virtual void BeforeOffset();
    virtual void AfterOffset();
    // Cleared while the editor hands the focus back and while a data cell
    // handles a mouse-down: UpdateEditor does nothing meanwhile.
    bool EditorCheckAllowed = true;
    // Set while the editor forwards Enter.
    bool KeyFromEditor = false;
    // An editor update runs after the next paint.
    bool EditorCheckPending = false;

    TcxCustomDataController* DataController() const;
    TcxCustomGridTableViewData* ViewData() const;
    TcxCustomGridTableViewInfo* ViewInfo() const;

    // ---- what the application asks: with MultiSelect off the focused row counts
    int GetSelectedRecordCount();
    TcxCustomGridRecord* GetSelectedRecord(int AIndex);

    // ---- focus
    TcxCustomGridTableItem* FocusedItem() const { return FFocusedItem; }
    void SetFocusedItem(TcxCustomGridTableItem* AValue);
    int GetFocusedItemIndex() const;
    int GetFocusedRowIndex();
    TcxCustomGridRecord* GetFocusedRecord();
    virtual void SetFocusedRecord(TcxCustomGridRecord* ARecord);
    // Focuses a row of the view data (-1: none). False when the row's record
    // refuses the focus, the data controller keeps its focus, or a handler
    // of the change freed the view.
    bool FocusRecord(int ARowIndex, bool ASelect);
    bool GoToFirst();
    bool GoToLast(bool AGoIntoDetail = false);
    bool GoToNext(bool ASelect = true) { return GoToNext(false, ASelect); }
    bool GoToPrev(bool ASelect = true) { return GoToPrev(false, ASelect); }
    bool GoToNext(bool AGoIntoDetail, bool ASelect);
    bool GoToPrev(bool AGoIntoDetail, bool ASelect);
    // Moves the focus to the next focusable record from a row (-1: from
    // before the first or after the last). It goes down into a shown detail
    // (AGoIntoDetail), climbs out of a detail into its master view at the
    // detail's ends, and appends at the end when the view allows it. The
    // record found may lie in another view, which then takes the focus.
    bool FocusNextRecord(int ARowIndex, bool AGoForward, bool AGoIntoDetail, bool AGoOnCycle, bool ASelect);
    bool FocusNextRecord(int ARowIndex, bool AGoForward, bool AGoOnCycle, bool ASelect = false)
    {
        return FocusNextRecord(ARowIndex, AGoForward, false, AGoOnCycle, ASelect);
    }
    // For a detail view, its master view's controller; else null.
    TcxCustomGridTableController* GetMasterController();
    // A detail took the focus: its master row is focused here without
    // pulling the grid's focus back to this view.
    void DetailFocused(TcxCustomGridView* ADetail) override;
    // The next focusable visible item from a visible index; -1 when none.
    // A cycling search tests the starting item last, so a lone item finds itself.
    virtual int FindNextItem(int AFocusedItemIndex, bool AGoForward, bool AGoOnCycle, bool& ACycleChanged);
    bool FocusNextItem(int AFocusedItemIndex, bool AGoForward, bool AGoOnCycle, bool AGoToNextRecordOnCycle);
    bool FocusNextCell(bool AGoForward, bool ACellsOnly = false);
    bool FocusFirstAvailableItem();
    bool IsFocusedRecordFirst();
    bool IsFocusedRecordLast();
    virtual void FocusNextPage(bool ASelect);
    virtual void FocusPrevPage(bool ASelect);
    virtual void FocusedItemChanged(TcxCustomGridTableItem* APrevFocusedItem);
    virtual void MakeItemVisible(TcxCustomGridTableItem* AItem) {}
    virtual void MakeRecordVisible(TcxCustomGridRecord* ARecord);
    void MakeFocusedItemVisible() { MakeItemVisible(FFocusedItem); }
    void MakeFocusedRecordVisible() { MakeRecordVisible(GetFocusedRecord()); }

    // ---- the top record
    int TopRecordIndex() const { return FTopRecordIndex; }
    // Clamped to 0 .. the top of the last full page.
    void SetTopRecordIndex(int AValue);
    void SetTopRecordIndexUnchecked(int AValue);
    void CheckTopRecordIndex() { SetTopRecordIndex(FTopRecordIndex); }
    virtual void CheckTopRecordIndexValue(int& AValue);
    virtual int GetMaxTopRecordIndex();
    // The records that fit from a row in a direction (a trial layout unless
    // every record has the same height and the view info counts a page).
    virtual int GetVisibleRecordCount(int AFirstRecordIndex, bool ACalculateDown = true);
    int VisibleRecordCount();
    int LastVisibleRecordIndex();
    virtual void ScrollPageDown() { SetTopRecordIndex(FTopRecordIndex + VisibleRecordCount()); }
    virtual void ScrollPageUp() { SetTopRecordIndex(FTopRecordIndex - VisibleRecordCount()); }
    void ScrollRecords(bool AForward, int ACount);
    virtual void ScrollPage(bool AForward);
    // The scroll bar of a grid-mode view counts one record more at each end
    // of the data set that its buffer does not reach.
    virtual int GetScrollBarOffsetBegin();
    virtual int GetScrollBarOffsetEnd();
    virtual int GetScrollBarPos();
    virtual int GetScrollBarRecordCount();
    virtual void SetScrollBarPos(int AValue);
    // The horizontal bar may hide only where the navigator does not share its row.
    virtual bool CanHScrollBarHide();
    // While set, checking the top record leaves the grid-mode buffer where it is.
    bool GridModeScrollLock = false;
    // The item whose width is being forced, while that runs.
    TcxCustomGridTableItem* ItemBeingSized = nullptr;

    // ---- selection
    bool GetMultiSelect() const;
    bool CanMultiSelect(bool ACheckFocusedView);
    void ClearSelection();
    void SelectAll();
    // The focused record becomes the only selected one.
    void SelectFocusedRecordOnly();
    void ToggleFocusedRecordSelection();
    virtual bool IsKeyForMultiSelect(WORD AKey, TShiftState AShift, bool AFocusedRecordChanged);
    virtual void DoKeyMultiSelect(WORD AKey, TShiftState AShift);
    virtual bool CanProcessSelectionClick(TcxCustomGridHitTest* AHitTest);
    virtual void DoMouseDownSelection(TcxCustomGridHitTest* AHitTest, TShiftState AShift, bool ADoubleClick);
    virtual void DoMouseUpSelection(TcxCustomGridHitTest* AHitTest, TShiftState AShift);
    bool IsClickSelectionPending() const { return FClickSelectionPending; }
    void CancelPendingClickSelection() { FClickSelectionPending = false; }
    void InvalidateFocusedRecord();
    void InvalidateSelection();

    // ---- records
    virtual bool CanAppend();
    virtual bool CanDelete(bool ACheckOptions);
    virtual bool CanEdit();
    virtual bool CanInsert(bool ACheckOptions);
    virtual void CreateNewRecord(bool AAppend);
    // Asks first while DeletingConfirmation is on; anything but OK deletes nothing.
    virtual void DeleteSelection();
    bool IsUnchangedNewRecordCancelledOnExit();

    // ---- incremental search
    bool IsIncSearching();
    std::string GetIncSearchingText();
    TcxCustomGridTableItem* GetIncSearchingItem();
    void SetIncSearchingText(const std::string& AValue);
    void CancelIncSearching();
    virtual TcxCustomGridTableItem* GetIncSearchItem();
    virtual void IncSearchKeyDown(WORD& AKey, TShiftState AShift);

    // ---- drag feedback
    TcxCustomGridRecord* DragHighlightedRecord();
    void SetDragHighlightedRecord(TcxCustomGridRecord* AValue);

    // ---- input
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoKeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Dragging over the records highlights, focuses and scrolls as the
    // behaviour options say; leaving or ending the drag undoes the highlight.
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;
    void EndDrag(TObject* Target, int X, int Y) override;
    // Only a record may be dragged; an edited record is posted (or an
    // unchanged one cancelled) before the drag starts.
    bool CanDrag(int X, int Y) override;
    void BeforeStartDrag() override;
    // The site's drag cursor shows one record or several.
    void StartDrag(TDragObject*& DragObject) override;
    // What holding a drag over the hit opens: a record's expand button expands it.
    virtual TcxCustomGridDragOpenInfo* GetDragOpenInfo(TcxCustomGridHitTest* AHitTest);
    // 0 none, -1 towards the first records (over the top record), 1 towards
    // the last (over the last visible record).
    virtual int GetDragScrollDirection(int X, int Y);
    TTimer* DragScrollTimer() const { return FDragScrollTimer.get(); }
    void ViewFocusLost() override;
    void ViewFocusGained() override;
    void ControlFocusChanged() override;
    void CancelMouseOperations() override;
    bool IsDataFullyVisible() override;
    void DoExit() override;

    // Set by the table view info while it applies a new top record.
    bool TopRecordCheckSuspended = false;

    // ---- pull focusing: while the button is held after a press on a record,
    // the focus follows the mouse; beyond the records it moves on every 10 ms.
    virtual bool IsRecordsScrollHorizontal() { return false; }
    // False when the point lies within the records; else the direction.
    virtual bool GetPullFocusingScrollingDirection(int X, int Y, bool& AForward);
    bool IsPullFocusing() const { return FPullFocusing; }
    void StopPullFocusing();
    TTimer* PullFocusingTimer() const { return FPullFocusingTimer.get(); }

private:
    void StartPullFocusing(int X, int Y);
    void PullFocusingTimerTick();
    bool FPullFocusing = false;
    bool FPullForward = true;
    TPoint FPullMousePos{-1, -1};
    std::unique_ptr<TTimer> FPullFocusingTimer;
    void StopDragScrolling() { FDragScrollTimer.reset(); }
    int FDragScrollDirection = 0;
    std::unique_ptr<TTimer> FDragScrollTimer;
    bool ProcessFocusedRowMove(int ARowIndex, bool ASelect);
    // Focuses a record of this view or of a master or detail view.
    bool FocusRecordOfView(TcxCustomGridRecord* ARecord, bool ASelect);
    TcxCustomGridTableItem* FFocusedItem = nullptr;
    int FTopRecordIndex = 0;
    bool FTopRecordIndexChecking = false;
    // Rows, not handles: handles go with every row-count change.
    int FDragHighlightedRow = -1;
    bool FClickSelectionPending = false;
    int FPendingClickRow = -1;
    bool FSkipNextChar = false;
    std::unique_ptr<TcxGridEditingController> FEditingController;
    // Off while a detail's master row is focused on the detail's behalf.
    bool FFocusingTakesFocus = true;
};

// Holding a drag over a record's expand button expands the record. The
// record is kept as its view and row, as record handles do not outlive a
// change of the row count.
class TcxGridDragOpenInfoExpand : public TcxCustomGridDragOpenInfo {
    QZ_CLASS(TcxGridDragOpenInfoExpand, TcxCustomGridDragOpenInfo)
public:
    explicit TcxGridDragOpenInfoExpand(TcxCustomGridRecord* ARecord);
    ~TcxGridDragOpenInfoExpand() override;
    bool Equals(TcxCustomGridDragOpenInfo* AInfo) override;
    void Run() override;
    // Null once the record's row or view is gone.
    TcxCustomGridRecord* GridRecord() const;

private:
    TcxCustomGridView* FGridView;
    int FRecordIndex;
};

// The internal drag-and-drop operations of a record view's site.
class TcxCustomGridTableDragAndDropObject : public TcxCustomGridDragAndDropObject {
    QZ_CLASS(TcxCustomGridTableDragAndDropObject, TcxCustomGridDragAndDropObject)
public:
    using TcxCustomGridDragAndDropObject::TcxCustomGridDragAndDropObject;
    TcxCustomGridTableView* GridView() const;
    TcxCustomGridTableController* Controller() const;
    TcxCustomGridTableViewData* ViewData() const;
    TcxCustomGridTableViewInfo* ViewInfo() const;
};

// A focused-record change of the data controller: the focused record shows
// and the old and new focused records repaint.
class TcxGridFocusedRecordChange : public TcxCustomGridViewChange {
    QZ_CLASS(TcxGridFocusedRecordChange, TcxCustomGridViewChange)
public:
    TcxGridFocusedRecordChange(TcxCustomGridView* AGridView, bool ANewItemRecordFocusingChanged, int AFocusedRecordIndex,
                               int APrevFocusedRecordIndex)
        : TcxCustomGridViewChange(AGridView), FFocusedRecordIndex(AFocusedRecordIndex),
          FNewItemRecordFocusingChanged(ANewItemRecordFocusingChanged), FPrevFocusedRecordIndex(APrevFocusedRecordIndex)
    {
    }
    void Execute() override;

private:
    int FFocusedRecordIndex;
    bool FNewItemRecordFocusingChanged;
    int FPrevFocusedRecordIndex;
};

// One record (or one of its cells) repaints: nothing when it is not on
// screen, its item is hidden or gone, or the view is not shown.
class TcxGridRecordChange : public TcxCustomGridViewChange {
    QZ_CLASS(TcxGridRecordChange, TcxCustomGridViewChange)
public:
    TcxGridRecordChange(TcxCustomGridView* AGridView, TcxCustomGridTableItem* AItem, int ARecordIndex,
                        bool ANewItemRecord)
        : TcxCustomGridViewChange(AGridView), Item(AItem), RecordIndex(ARecordIndex), NewItemRecord(ANewItemRecord)
    {
    }
    void Execute() override;
    bool IsCoveredBy(TcxCustomGridChange* AChange) override;
    bool IsSameAs(TcxCustomGridChange* AChange) override;
    TcxCustomGridTableItem* Item;
    int RecordIndex;
    bool NewItemRecord;
};

using TcxGridCanSelectRecordEvent =
    std::function<void(TcxCustomGridTableView* Sender, TcxCustomGridRecord* ARecord, bool& AAllow)>;
using TcxGridCellClickEvent = std::function<void(TcxCustomGridTableView* Sender, TcxGridTableDataCellViewInfo* ACellViewInfo,
                                                 TMouseButton AButton, TShiftState AShift, bool& AHandled)>;
using TcxGridEditingEvent =
    std::function<void(TcxCustomGridTableView* Sender, TcxCustomGridTableItem* AItem, bool& AAllow)>;
using TcxGridCustomTableItemEvent = std::function<void(TcxCustomGridTableView* Sender, TcxCustomGridTableItem* AItem)>;
using TcxGridFocusedItemChangedEvent = std::function<void(
    TcxCustomGridTableView* Sender, TcxCustomGridTableItem* APrevFocusedItem, TcxCustomGridTableItem* AFocusedItem)>;
using TcxGridFocusedRecordChangedEvent =
    std::function<void(TcxCustomGridTableView* Sender, TcxCustomGridRecord* APrevFocusedRecord,
                       TcxCustomGridRecord* AFocusedRecord, bool ANewItemRecordFocusingChanged)>;
using TcxGridInitEditEvent =
    std::function<void(TcxCustomGridTableView* Sender, TcxCustomGridTableItem* AItem, TcxCustomEdit* AEdit)>;
using TcxGridCustomTableViewEvent = std::function<void(TcxCustomGridTableView* Sender)>;

// ---- the record view's item lists ---------------------------------------------------------------------

class TcxCustomGridTableView : public TcxCustomGridView, public IcxNavigator, public IcxFilterControl {
    QZ_CLASS(TcxCustomGridTableView, TcxCustomGridView)
public:
    explicit TcxCustomGridTableView(TComponent* AOwner = nullptr) : TcxCustomGridView(AOwner) {}
    ~TcxCustomGridTableView() override;
    void BeforeDestruction() override;
    // Starts editing the item at an index; whether it is now edited.
    virtual bool StartItemEditing(int AItemIndex);
    // The in-place editor posts its value.
    virtual void UpdateData();
    bool GetGridTabStop() override;
    bool IsControlFocused() override;
    void CreateHandlers() override;
    void DestroyHandlers() override;
    void CreateOptions() override;
    void DestroyOptions() override;
    TcxGridClassRef<TcxCustomDataController, TComponent*> GetDataControllerClass() override;
    TcxGridViewHandlerClass<TcxCustomGridController> GetControllerClass() override;
    TcxGridViewHandlerClass<TcxCustomGridPainter> GetPainterClass() override;
    TcxGridViewHandlerClass<TcxCustomGridViewInfoCache> GetViewInfoCacheClass() override;
    TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps> GetBackgroundBitmapsClass() override;
    TcxGridOptionsClass<TcxCustomGridOptionsSelection> GetOptionsSelectionClass() override;
    TcxGridOptionsClass<TcxCustomGridOptionsView> GetOptionsViewClass() override;
    TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*> GetStylesClass() override;
    virtual TcxGridOptionsClass<TcxCustomGridTableFiltering> GetFilteringClass();
    virtual TcxGridOptionsClass<TcxCustomGridTableOptionsBehavior> GetOptionsBehaviorClass();
    virtual TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize> GetOptionsCustomizeClass();
    virtual TcxGridOptionsClass<TcxCustomGridTableOptionsData> GetOptionsDataClass();
    // A plain or a data-set controller; what the grid asks of either goes
    // through GridDataController.
    TcxCustomDataController* DataController() const;
    IcxGridDataController* GridDataController() const;
    TcxCustomGridTableController* Controller() const;
    TcxCustomGridTableViewData* ViewData() const
    {
        return static_cast<TcxCustomGridTableViewData*>(TcxCustomGridView::ViewData());
    }
    TcxGridViewHandlerClass<TcxCustomGridViewData> GetViewDataClass() override;
    // The table view info, when the view lays out with one.
    TcxCustomGridTableViewInfo* TableViewInfo() const;
    // Text of a record's cell as the item would show it.
    virtual void DoGetDisplayText(TcxCustomGridRecord* ARecord, int AItemIndex, std::string& AText);

    virtual TClass GetItemClass() { return nullptr; }
    // The classes of the data controller's summary items; null keeps the controller's own.
    virtual TClass GetSummaryItemClass() { return nullptr; }
    TcxGridItemDataBindingClass GetItemDataBindingClass();
    virtual void AddItem(TcxCustomGridTableItem* AItem);
    virtual void RemoveItem(TcxCustomGridTableItem* AItem);
    virtual void ChangeItemIndex(TcxCustomGridTableItem* AItem, int AIndex);
    virtual void ItemVisibilityChanged(TcxCustomGridTableItem* AItem, bool AVisible);
    virtual void RefreshVisibleItemsList();
    // Puts the shown items, collected in item order, into the order they show in.
    virtual void OrderVisibleItems(std::vector<TcxCustomGridTableItem*>& AItems) {}
    void RefreshFilterableItemsList();
    virtual void ItemValueTypeClassChanged(int AItemIndex);

    // ---- the data controller's news become queued changes and events
    void DataControllerNotify(TcxUpdateControlInfo* AInfo) override;
    virtual void DataChanged();
    virtual void DataLayoutChanged();
    virtual void FocusedRecordChanged(int APrevFocusedRecordIndex, int AFocusedRecordIndex,
                                      bool ANewItemRecordFocusingChanged);
    virtual void RecordChanged(int ARecordIndex);
    virtual void RecordCountChanged();
    virtual void SearchChanged();
    virtual void SelectionChanged(TcxSelectionChangedInfo* AInfo);
    void RefreshNavigators();

    // ---- scrolling by records
    virtual bool CanOffset(int ARecordCountDelta);
    virtual void Offset(int ARecordCountDelta, int DX, int DY);
    virtual bool IsEqualHeightRecords();

    // ---- events
    virtual bool DoCanSelectRecord(int ARecordIndex);
    virtual bool DoCellClick(TcxGridTableDataCellViewInfo* ACellViewInfo, TMouseButton AButton, TShiftState AShift);
    virtual bool DoCustomDrawCell(TcxCanvas* ACanvas, TcxGridTableDataCellViewInfo* AViewInfo);
    virtual bool DoEditing(TcxCustomGridTableItem* AItem);
    virtual void DoEditChanged(TcxCustomGridTableItem* AItem);
    virtual void DoEditValueChanged(TcxCustomGridTableItem* AItem);
    virtual void DoFocusedItemChanged(TcxCustomGridTableItem* APrevFocusedItem, TcxCustomGridTableItem* AFocusedItem);
    virtual void DoInitEdit(TcxCustomGridTableItem* AItem, TcxCustomEdit* AEdit);
    virtual void DoTopRecordIndexChanged();
    virtual int GetDefaultActiveDetailIndex();

    // ---- drawing decisions
    virtual bool DrawRecordActive(TcxCustomGridRecord* ARecord);
    virtual bool DrawRecordFocused(TcxCustomGridRecord* ARecord);
    virtual bool DrawRecordSelected(TcxCustomGridRecord* ARecord);
    // ACellDrawnSelected: null when no cell view info is given, else whether
    // that cell can be drawn selected (first) and is drawn selected by itself
    // (second). ACellIsEditing: the cell holds the active in-place editor.
    virtual bool DrawCellSelected(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem,
                                  const std::pair<bool, bool>* ACellDrawnSelected = nullptr, bool ACellIsEditing = false);

    // ---- the navigator's record set
    bool CanDelete() override;
    bool CanEdit() override;
    bool CanInsert() override;
    bool IsBof() override;
    bool IsBookmarkAvailable() override;
    bool IsEditing() override;
    bool IsEof() override;
    void ClearBookmark() override;
    void DoAction(int AButtonIndex) override;
    TcxNavigatorControlNotifier* GetNotifier() override { return FNavigatorNotifier.get(); }
    bool IsActive() override { return true; }

    // ---- the filter builder's view of the filterable items
    std::string GetItemCaption(int AIndex) override;
    int GetCount() override { return FilterableItemCount(); }
    TcxFilterCriteria* GetCriteria() override;
    int GetItemLink(int AIndex) override;
    std::string GetFieldName(int AIndex) override { return std::string(); }
    TcxCustomEditProperties* GetProperties(int AIndex) override;
    TcxValueTypeClass GetValueType(int AIndex) override;

    // ---- stored layout: the filter and the summary settings
    bool GetStoredProperties(TStrings* AProperties) override;
    Variant GetStoredPropertyValue(const std::string& AName) override;
    void SetStoredPropertyValue(const std::string& AName, const Variant& AValue) override;
    TObject* CreateStoredChild(const std::string& AObjectName, const std::string& AClassName) override;
    void GetStoredChildren(std::vector<TObject*>& AChildren) override;
    // What the stored layout covers besides the items.
    bool StoreFilter = true;
    bool StoreSummary = true;
    bool StoreByIdentifier = false;

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
    int GroupedItemCount() const;
    TcxCustomGridTableItem* GetGroupedItem(int AIndex) const;
    TcxCustomGridTableItem* FindItemByID(int AID) const;
    TcxCustomGridTableItem* FindItemByName(const std::string& AName) const;
    int IndexOfItem(TcxCustomGridTableItem* AItem) const;
    int NextID() const { return FNextID; }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetName(const std::string& ANewName) override;
    void AfterLayoutAssigned() override;
    void LoadingComplete() override;
    void VisibleChildLevelsChanged(TObject* AArgument, int AOldCount, int ANewCount) override;
    void RestoreDefaults() override;

    TcxCustomGridTableFiltering* Filtering() const { return FFiltering; }
    TcxCustomGridTableOptionsBehavior* OptionsBehavior() const { return FOptionsBehavior; }
    TcxCustomGridTableOptionsCustomize* OptionsCustomize() const { return FOptionsCustomize; }
    TcxCustomGridTableOptionsData* OptionsData() const { return FOptionsData; }
    TcxCustomGridTableOptionsSelection* OptionsSelection() const;
    TcxCustomGridTableOptionsView* OptionsView() const;
    TcxCustomGridTableViewStyles* Styles() const;
    TcxCustomGridTableBackgroundBitmaps* BackgroundBitmaps() const;
    TcxNavigatorControlButtons* NavigatorButtons() const { return FNavigatorButtons.get(); }
    // True while a data cell of this view handles a mouse-down.
    bool IsCellMouseDown = false;

    TcxGridCanSelectRecordEvent OnCanSelectRecord;
    TcxGridCellClickEvent OnCellClick;
    TcxGridTableDataCellCustomDrawEvent OnCustomDrawCell;
    TcxGridEditingEvent OnEditing;
    TcxGridCustomTableItemEvent OnEditChanged;
    TcxGridCustomTableItemEvent OnEditValueChanged;
    TNotifyEvent OnFilterControlDialogShow;
    TcxGridFocusedItemChangedEvent OnFocusedItemChanged;
    TcxGridFocusedRecordChangedEvent OnFocusedRecordChanged;
    TcxGridInitEditEvent OnInitEdit;
    TcxGridCustomTableViewEvent OnSelectionChanged;
    TNotifyEvent OnTopRecordIndexChanged;

private:
    void RenumberItems();
    std::vector<TcxCustomGridTableItem*> FItems;
    std::vector<TcxCustomGridTableItem*> FVisibleItems;
    std::vector<TcxCustomGridTableItem*> FFilterableItems;
    int FNextID = 0;
    TcxCustomGridTableFiltering* FFiltering = nullptr;
    TcxCustomGridTableOptionsBehavior* FOptionsBehavior = nullptr;
    TcxCustomGridTableOptionsCustomize* FOptionsCustomize = nullptr;
    TcxCustomGridTableOptionsData* FOptionsData = nullptr;
    std::unique_ptr<TcxNavigatorControlNotifier> FNavigatorNotifier;
    std::unique_ptr<TcxNavigatorControlButtons> FNavigatorButtons;
};

namespace cxGridCustomTableView {
// Unit start-up: item data bindings can be made by class name.
void Initialize();
// The default editor of a value type from the registry of default editors
// (its default item for a type it does not name; null while it is empty).
TcxEditRepositoryItem* GetDefaultEditDataRepositoryItem(TcxValueTypeClass AValueTypeClass);
// The filter dialogs as record views open them (the filter dialog unit sets them).
void SetFilterDialogs(const TcxGridFilterDialogs& ADialogs);
const TcxGridFilterDialogs& FilterDialogs();
// The side of the expand button a look and feel draws.
int GetExpandButtonSide(TcxCustomLookAndFeelPainterClass APainter);
// A master record's detail view, made by the relation's level; and the data
// controller of such a view.
TObject* CreateDetailLinkObject(TcxCustomDataRelation* ARelation, int ARecordIndex);
TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* ALinkObject);
// The name a summary object of a view is stored under ("FooterSummaryItem0",
// "SummaryGroup1_Item2"…), empty for an object the summary does not hold.
std::string GetSummaryStoredName(TcxCustomGridTableView* AView, TObject* AObject);
}  // namespace cxGridCustomTableView
