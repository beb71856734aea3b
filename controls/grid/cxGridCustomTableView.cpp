#include "cxGridCustomTableView.h"

#include "cxControls.h"
#include "cxEditDataRegisteredRepositoryItems.h"
#include "cxGrid.h"
#include "cxGridCommon.h"
#include "cxGridEditingController.h"
#include "cxGridGuardPrivate.h"
#include "cxGridCursors.h"
#include "cxGridLevel.h"
#include "cxGridStrs.h"
#include "cxStorage.h"
#include "cxTextEdit.h"
#include "HostServices.h"
#include "Windows.h"

#include <cctype>
#include <climits>

#include <algorithm>

QZ_CLASS_IMPL(TcxGridDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
QZ_CLASS_IMPL(TcxGridItemDataBinding, TPersistent)
QZ_CLASS_IMPL(TcxGridDataController, TcxDataController)
QZ_CLASS_IMPL(TcxGridDataChange, TcxCustomGridViewChange)
QZ_CLASS_IMPL(TcxCustomGridRecord, TObject)
QZ_CLASS_IMPL(TcxGridRecordHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxGridRecordCellHitTest, TcxGridRecordHitTest)
QZ_CLASS_IMPL(TcxGridExpandButtonHitTest, TcxGridRecordHitTest)
QZ_CLASS_IMPL(TcxGridNavigatorHitTest, TcxCustomGridViewHitTest)
QZ_CLASS_IMPL(TcxCustomGridTableViewData, TcxCustomGridViewData)
QZ_CLASS_IMPL(TcxCustomGridTableItemCustomOptions, TPersistent)
QZ_CLASS_IMPL(TcxCustomGridTableItemOptions, TcxCustomGridTableItemCustomOptions)
QZ_CLASS_IMPL(TcxCustomGridTableItem, TComponent)
QZ_CLASS_IMPL(TcxCustomGridTableView, TcxCustomGridView)
QZ_CLASS_IMPL(TcxCustomGridTableFiltering, TcxCustomGridOptions)
QZ_CLASS_IMPL(TcxCustomGridTableOptionsBehavior, TcxCustomGridOptions)
QZ_CLASS_IMPL(TcxCustomGridTableOptionsCustomize, TcxCustomGridOptions)
QZ_CLASS_IMPL(TcxCustomGridTableOptionsData, TcxCustomGridOptions)
QZ_CLASS_IMPL(TcxCustomGridTableOptionsSelection, TcxCustomGridOptionsSelection)
QZ_CLASS_IMPL(TcxCustomGridTableOptionsView, TcxCustomGridOptionsView)
QZ_CLASS_IMPL(TcxCustomGridTableViewStyles, TcxCustomGridViewStyles)
QZ_CLASS_IMPL(TcxCustomGridTableBackgroundBitmaps, TcxCustomGridBackgroundBitmaps)
QZ_CLASS_IMPL(TcxCustomGridTableItemStyles, TcxCustomGridStyles)
QZ_CLASS_IMPL(TcxCustomGridRecordViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxCustomGridRecordsViewInfo, TObject)
QZ_CLASS_IMPL(TcxNavigatorSiteViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxCustomGridTableViewInfo, TcxCustomGridViewInfo)
QZ_CLASS_IMPL(TcxCustomGridTableViewInfoCacheItem, TcxCustomGridViewInfoCacheItem)
QZ_CLASS_IMPL(TcxCustomGridTableViewInfoCache, TcxCustomGridViewInfoCache)
QZ_CLASS_IMPL(TcxCustomGridTableController, TcxCustomGridController)
QZ_CLASS_IMPL(TcxGridDragOpenInfoExpand, TcxCustomGridDragOpenInfo)
QZ_CLASS_IMPL(TcxCustomGridTableDragAndDropObject, TcxCustomGridDragAndDropObject)
QZ_CLASS_IMPL(TcxGridFocusedRecordChange, TcxCustomGridViewChange)
QZ_CLASS_IMPL(TcxGridRecordChange, TcxCustomGridViewChange)
QZ_CLASS_IMPL(TcxGridTableCellViewInfo, TcxCustomGridViewCellViewInfo)
QZ_CLASS_IMPL(TcxGridTableDataCellViewInfo, TcxGridTableCellViewInfo)
QZ_CLASS_IMPL(TcxGridTableDataCellPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxCustomGridRecordPainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxCustomGridRecordsPainter, TObject)
QZ_CLASS_IMPL(TcxNavigatorSitePainter, TcxCustomGridCellPainter)
QZ_CLASS_IMPL(TcxCustomGridTablePainter, TcxCustomGridPainter)

namespace cxGridCustomTableView {
void Initialize() { RegisterClasses({TcxGridItemDataBinding::StaticClass()}); }
TcxEditRepositoryItem* GetDefaultEditDataRepositoryItem(TcxValueTypeClass AValueTypeClass)
{
    return cxEditDataRegisteredRepositoryItems::GetDefaultEditDataRepositoryItems()->GetItemByValueTypeClass(
        AValueTypeClass);
}
}  // namespace cxGridCustomTableView

namespace {
// The wait cursor for the duration of a regrouping or resorting.
struct THourglass {
    THourglass() { cxControls::ShowHourglassCursor(); }
    ~THourglass() { cxControls::HideHourglassCursor(); }
};
}  // namespace

// ---- data binding -------------------------------------------------------------------------------------

bool TcxGridDefaultValuesProvider::HasDisplayFormat(bool)
{
    auto* binding = DynamicCast<TcxGridItemDataBinding>(Owner());
    if (!binding || !binding->DataController()) return false;
    TcxCustomGridTableItem* item = binding->Item();
    return binding->DataController()->GetItemTextStored(item->Index()) || bool(item->OnGetDisplayText);
}

TcxGridItemDataBinding::TcxGridItemDataBinding(TcxCustomGridTableItem* AItem) : FItem(AItem) {}

TcxCustomEditDefaultValuesProvider* TcxGridItemDataBinding::CreateDefaultValuesProvider()
{
    return new TcxGridDefaultValuesProvider(this);
}

TcxCustomEditDefaultValuesProvider* TcxGridItemDataBinding::DefaultValuesProvider() const
{
    if (!FDefaultValuesProvider)
        FDefaultValuesProvider.reset(const_cast<TcxGridItemDataBinding*>(this)->CreateDefaultValuesProvider());
    return FDefaultValuesProvider.get();
}

IcxEditDefaultValuesProvider* TcxGridItemDataBinding::GetDefaultValuesProvider() const
{
    return DefaultValuesProvider();
}

TcxGridItemDataBinding::~TcxGridItemDataBinding() = default;

TPersistent* TcxGridItemDataBinding::GetOwner() const { return FItem; }

void TcxGridItemDataBinding::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxGridItemDataBinding>(Source)) {
        Data = src->Data;
        if (DataController() && src->DataController()) SetValueTypeClass(src->ValueTypeClass());
        return;
    }
    TPersistent::Assign(Source);
}

TcxCustomDataController* TcxGridItemDataBinding::DataController() const
{
    return FItem->GridView() ? FItem->GridView()->DataController() : nullptr;
}

TcxEditRepositoryItem* TcxGridItemDataBinding::GetDefaultRepositoryItem()
{
    return cxGridCustomTableView::GetDefaultEditDataRepositoryItem(ValueTypeClass());
}

TcxValueTypeClass TcxGridItemDataBinding::ValueTypeClass() const
{
    TcxCustomDataController* dc = DataController();
    return dc ? dc->GetItemValueTypeClass(FItem->Index()) : nullptr;
}

void TcxGridItemDataBinding::SetValueTypeClass(TcxValueTypeClass AValue)
{
    TcxCustomDataController* dc = DataController();
    if (!dc || dc->GetItemValueTypeClass(FItem->Index()) == AValue) return;
    dc->ChangeValueTypeClass(FItem->Index(), AValue);
    // The item's editor follows its value type: the default editor of the
    // new type takes over where the item has no editor of its own.
    if (TcxCustomGridTableView* view = FItem->GridView()) view->ItemValueTypeClassChanged(FItem->Index());
}

bool TcxGridItemDataBinding::Filtered() const
{
    TcxCustomDataController* dc = DataController();
    return dc && dc->Filter()->FindItemByItemLink(FItem) != nullptr;
}

void TcxGridItemDataBinding::SetFiltered(bool AValue)
{
    if (AValue || !Filtered()) return;
    DataController()->Filter()->RemoveItemByItemLink(FItem);
}

std::string TcxGridItemDataBinding::GetFilterDisplayText(const Variant& AValue, const std::string& ADisplayText)
{
    std::string text = ADisplayText;
    FItem->DoGetFilterDisplayText(AValue, text);
    return text;
}

void TcxGridItemDataBinding::GetFilterStrings(TStrings* AStrings, TcxDataFilterValueList* AValueList)
{
    AValueList->Load(FItem->Index());
    FItem->DoGetFilterValues(AValueList);
    AStrings->BeginUpdate();
    try {
        AStrings->Clear();
        for (int i = 0; i < AValueList->Count(); ++i) {
            TcxFilterValueItem* entry = AValueList->Items(i);
            AStrings->Add(GetFilterDisplayText(entry->Value, entry->DisplayText));
        }
    } catch (...) {
        AStrings->EndUpdate();
        throw;
    }
    AStrings->EndUpdate();
}

void TcxGridItemDataBinding::AddToFilter(TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                         const std::string& ADisplayText)
{
    TcxDataFilterCriteria* filter = DataController()->Filter();
    filter->BeginUpdate();
    try {
        filter->RemoveItemByItemLink(FItem);
        filter->AddItem(nullptr, FItem, AOperatorKind, AValue, ADisplayText.empty() ? VarToStr(AValue) : ADisplayText);
    } catch (...) {
        filter->EndUpdate();
        throw;
    }
    filter->EndUpdate();
}

// ---- data controller ------------------------------------------------------------------------------------

TcxCustomGridTableView* TcxGridDataController::GridView() const { return DynamicCast<TcxCustomGridTableView>(Owner()); }

TObject* TcxGridDataController::GetItem(int AIndex)
{
    TcxCustomGridTableView* view = GridView();
    return view && AIndex >= 0 && AIndex < view->ItemCount() ? view->GetItem(AIndex) : nullptr;
}

int TcxGridDataController::GetItemID(TObject* AItem)
{
    auto* item = DynamicCast<TcxCustomGridTableItem>(AItem);
    return item ? item->ID() : -1;
}

std::string TcxGridDataController::GetFilterItemDisplayText(TObject* AItem)
{
    auto* item = DynamicCast<TcxCustomGridTableItem>(AItem);
    return item ? item->Caption() : std::string();
}

bool TcxGridDataController::CanSelectRow(int ARow)
{
    TcxCustomGridTableView* view = GridView();
    return !view || view->DoCanSelectRecord(ARow);
}

int TcxGridDataController::GetDefaultActiveRelationIndex()
{
    TcxCustomGridTableView* view = GridView();
    return view ? view->GetDefaultActiveDetailIndex() : TcxDataController::GetDefaultActiveRelationIndex();
}

TObject* TcxGridDataController::CreateDetailLinkObject(TcxCustomDataRelation* ARelation, int ARecordIndex)
{
    return cxGridCustomTableView::CreateDetailLinkObject(ARelation, ARecordIndex);
}

TcxCustomDataController* TcxGridDataController::GetDetailDataControllerByLinkObject(TObject* ALinkObject)
{
    return cxGridCustomTableView::GetDetailDataControllerByLinkObject(ALinkObject);
}

TClass TcxGridDataController::GetSummaryItemClass()
{
    TcxCustomGridTableView* view = GridView();
    TClass cls = view ? view->GetSummaryItemClass() : nullptr;
    return cls ? cls : TcxDataController::GetSummaryItemClass();
}

TcxGridItemDataBindingClass TcxGridDataController::GetItemDataBindingClass()
{
    return TcxGridItemDataBindingClass::Of<TcxGridItemDataBinding>();
}

bool TcxGridDataController::IsFirstRecord()
{
    // Without a record controller yet: no row precedes the focused one.
    return GetFocusedRowIndex() <= 0;
}

bool TcxGridDataController::IsLastRecord() { return GetFocusedRowIndex() >= GetRowCount() - 1; }

namespace {

// The value source an editor edits while focused: the value, its display text (1) or a key (2).
int EditValueSourceOf(TcxCustomEditProperties* AProperties)
{
    if (!AProperties) return 1;
    unsigned kind = AProperties->UsesDisplayFormatting(true);
    return kind == 1 || kind == 2 ? int(kind) : 0;
}

}  // namespace

bool TcxGridDataController::FocusItem(int AItemIndex)
{
    bool done = TcxDataController::FocusItem(AItemIndex);
    TcxCustomGridTableView* view = GridView();
    return (view && view->StartItemEditing(AItemIndex)) || done;
}

void TcxGridDataController::UpdateData()
{
    TcxDataController::UpdateData();
    if (TcxCustomGridTableView* view = GridView()) view->UpdateData();
}

int TcxGridDataController::GetItemEditValueSource(int AItemIndex)
{
    TcxCustomGridTableView* view = GridView();
    if (!view || AItemIndex < 0 || AItemIndex >= view->ItemCount()) return 1;
    return EditValueSourceOf(view->GetItem(AItemIndex)->GetProperties());
}

// ---- changes ---------------------------------------------------------------------------------------------

void TcxGridDataChange::Execute()
{
    if (auto* view = DynamicCast<TcxCustomGridTableView>(GridView)) view->RecordCountChanged();
}

// ---- item options ------------------------------------------------------------------------------------------

TPersistent* TcxCustomGridTableItemCustomOptions::GetOwner() const { return FItem; }

void TcxCustomGridTableItemCustomOptions::Assign(TPersistent* Source)
{
    if (DynamicCast<TcxCustomGridTableItemCustomOptions>(Source)) return;
    TPersistent::Assign(Source);
}

void TcxCustomGridTableItemCustomOptions::Changed() { FItem->Changed(false); }

void TcxCustomGridTableItemOptions::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxCustomGridTableItemOptions>(Source)) {
        SetEditing(src->Editing());
        SetFiltering(src->Filtering());
        SetFocusing(src->Focusing());
        FGrouping = src->Grouping();
        SetIncSearch(src->IncSearch());
        FMoving = src->Moving();
        SetShowEditButtons(src->ShowEditButtons());
        FSorting = src->Sorting();
        return;
    }
    TcxCustomGridTableItemCustomOptions::Assign(Source);
}

void TcxCustomGridTableItemOptions::SetFiltering(bool AValue)
{
    if (FFiltering == AValue) return;
    FFiltering = AValue;
    if (Item()->GridView()) Item()->GridView()->RefreshFilterableItemsList();
    Changed();
}

void TcxCustomGridTableItemOptions::SetEditing(bool AValue)
{
    if (FEditing == AValue) return;
    FEditing = AValue;
    if (!AValue && Item()->Editing()) Item()->SetEditing(false);
}

void TcxCustomGridTableItemOptions::SetShowEditButtons(TcxGridItemShowEditButtons AValue)
{
    if (FShowEditButtons == AValue) return;
    FShowEditButtons = AValue;
    Changed();
}

// ---- items ---------------------------------------------------------------------------------------------------

TcxCustomGridTableItem::TcxCustomGridTableItem(TComponent* AOwner) : TComponent(AOwner) {}

void TcxCustomGridTableItem::AfterConstruction()
{
    TComponent::AfterConstruction();
    FOptions.reset(GetOptionsClass().Create(this));
    FStyles.reset(GetStylesClass().Create(this));
}

TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*> TcxCustomGridTableItem::GetStylesClass()
{
    return TcxGridClassRef<TcxCustomGridTableItemStyles, TPersistent*>::Of<TcxCustomGridTableItemStyles>();
}

TcxCustomGridTableItem::~TcxCustomGridTableItem()
{
    if (!FTornDown) BeforeDestruction();
}

void TcxCustomGridTableItem::BeforeDestruction()
{
    if (FTornDown) return;
    FTornDown = true;
    TComponent::BeforeDestruction();
    SetRepositoryItem(nullptr);
    if (FGridView) FGridView->RemoveItem(this);
    if (FDefaultRepositoryItem) FDefaultRepositoryItem->RemoveListener(this);
    FDefaultRepositoryItem = nullptr;
    FEffectiveProperties = nullptr;
    for (TcxGridTableDataCellViewInfo* cell : FCells) cell->ItemRemoved();
    FCells.clear();
    FEditViewData.reset();
    FEditStyle.reset();
    FEditStyleLockCount = 0;
    FProperties.reset();
}

// ---- the editor description

void TcxCustomGridTableItem::ResolveProperties()
{
    if (FDefaultRepositoryItem) {
        FDefaultRepositoryItem->RemoveListener(this);
        FDefaultRepositoryItem = nullptr;
    }
    FEffectiveProperties = nullptr;
    if (!FGridView) return;
    if (FRepositoryItem) {
        FEffectiveProperties = FRepositoryItem->Properties();
    } else if (FProperties) {
        FEffectiveProperties = FProperties.get();
    } else if (!FTornDown && FDataBinding) {
        TcxEditRepositoryItem* def = FDataBinding->GetDefaultRepositoryItem();
        if (def) {
            def->AddListener(this);
            FDefaultRepositoryItem = def;
            FEffectiveProperties = def->Properties();
        }
    }
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetProperties()
{
    // Default editors registered after the item was made are found on first use.
    if (!FEffectiveProperties) ResolveProperties();
    if (FEffectiveProperties) InitProperties(FEffectiveProperties);
    return FEffectiveProperties;
}

void TcxCustomGridTableItem::InitProperties(TcxCustomEditProperties* AProperties)
{
    if (!AProperties || !FDataBinding) return;
    bool locked = AProperties->IsChangeLocked();
    AProperties->SetChangedLocked(true);
    AProperties->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider());
    AProperties->SetChangedLocked(locked);
}

void TcxCustomGridTableItem::SetPropertiesClass(TClass AValue)
{
    if (AValue == FPropertiesClass) return;
    if (AValue && !AValue->InheritsFrom(TcxCustomEditProperties::StaticClass()))
        throw EConvertError("Invalid editor properties class");
    if (FProperties && FGridView && FGridView->Controller())
        FGridView->Controller()->EditingController()->RemoveEdit(FProperties.get());
    FEffectiveProperties = nullptr;
    FProperties.reset();
    FPropertiesClass = AValue;
    if (AValue) {
        auto* props = static_cast<TcxCustomEditProperties*>(AValue->Create(nullptr));
        props->SetOwnerEdit(this);
        props->OnPropertiesChanged = [this](TObject*) { PropertiesChanged(); };
        FProperties.reset(props);
    }
    ResolveProperties();
    PropertiesChanged();
}

std::string TcxCustomGridTableItem::PropertiesClassName() const
{
    return FProperties ? FProperties->ClassName() : std::string();
}

void TcxCustomGridTableItem::SetPropertiesClassName(const std::string& AValue)
{
    // A name no editor registered leaves the item without own properties.
    SetPropertiesClass(cxEdit::GetRegisteredEditProperties()->FindByClassName(AValue));
}

void TcxCustomGridTableItem::SetProperties(TcxCustomEditProperties* AValue)
{
    if (FProperties && AValue) FProperties->Assign(AValue);
}

void TcxCustomGridTableItem::SetRepositoryItem(TcxEditRepositoryItem* AValue)
{
    if (FRepositoryItem == AValue) return;
    if (FRepositoryItem) {
        FRepositoryItem->RemoveListener(this);
        if (FGridView && FGridView->Controller())
            FGridView->Controller()->EditingController()->RemoveEdit(FRepositoryItem->Properties());
    }
    FRepositoryItem = AValue;
    if (FRepositoryItem) FRepositoryItem->AddListener(this);
    ResolveProperties();
    PropertiesChanged();
}

void TcxCustomGridTableItem::ItemRemoved(TObject* Sender)
{
    if (Sender == FDefaultRepositoryItem) {
        FDefaultRepositoryItem = nullptr;
        FEffectiveProperties = nullptr;
        ResolveProperties();
    }
    if (Sender == FRepositoryItem) SetRepositoryItem(nullptr);
}

void TcxCustomGridTableItem::PropertiesChanged()
{
    if (FTornDown) return;
    if (FGridView) FGridView->RefreshFilterableItemsList();
    Changed(true);
}

void TcxCustomGridTableItem::ValueTypeClassChanged()
{
    ResolveProperties();
    if (FProperties) FProperties->Changed();
}

TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*> TcxCustomGridTableItem::GetOptionsClass()
{
    return TcxGridClassRef<TcxCustomGridTableItemOptions, TcxCustomGridTableItem*>::Of<TcxCustomGridTableItemOptions>();
}

TComponent* TcxCustomGridTableItem::GetParentComponent() const { return FGridView; }

void TcxCustomGridTableItem::SetParentComponent(TComponent* AValue)
{
    if (auto* view = DynamicCast<TcxCustomGridTableView>(AValue)) view->AddItem(this);
}

bool TcxCustomGridTableItem::IsLoading() const
{
    if (LoadingOverride) return false;
    return cxControls::IsComponentLoading(const_cast<TcxCustomGridTableItem*>(this)) ||
           (FGridView && cxControls::IsComponentLoading(FGridView));
}

std::string TcxCustomGridTableItem::GetDefaultCaption() const
{
    return FDataBinding ? FDataBinding->GetDefaultCaption() : std::string();
}

int TcxCustomGridTableItem::GetDefaultWidth() const { return FDataBinding ? FDataBinding->GetDefaultWidth() : 64; }

std::string TcxCustomGridTableItem::Caption() const { return FCaptionAssigned ? FCaption : GetDefaultCaption(); }

void TcxCustomGridTableItem::SetCaption(const std::string& AValue)
{
    if (AValue == Caption() && FCaptionAssigned) return;
    if (AValue == Caption() && !FCaptionAssigned) {
        // The default text itself is no assignment: nothing to store.
        return;
    }
    FCaption = AValue;
    FCaptionAssigned = true;
    CaptionChanged();
}

bool TcxCustomGridTableItem::IsCaptionStored() const { return FCaptionAssigned && FCaption != GetDefaultCaption(); }

void TcxCustomGridTableItem::SetVisible(bool AValue)
{
    if (FVisible == AValue) return;
    FVisible = AValue;
    if (FGridView) FGridView->ItemVisibilityChanged(this, AValue);
}

int TcxCustomGridTableItem::MinWidth() const
{
    return const_cast<TcxCustomGridTableItem*>(this)->CanHorzSize() ? FMinWidth : Width();
}

void TcxCustomGridTableItem::SetMinWidth(int AValue)
{
    if (AValue < 0) AValue = 0;
    if (FMinWidth == AValue) return;
    int oldWidth = Width();
    FMinWidth = AValue;
    if (IsLoading()) return;
    if (oldWidth < FMinWidth)
        SetWidth(FMinWidth);
}

int TcxCustomGridTableItem::Width() const { return FWidthAssigned ? FWidth : GetDefaultWidth(); }

void TcxCustomGridTableItem::SetWidth(int AValue)
{
    int minimum = const_cast<TcxCustomGridTableItem*>(this)->CanHorzSize() ? FMinWidth : 0;
    if (AValue < minimum) AValue = minimum;
    if (!IsLoading() && FWidthAssigned && AValue == FWidth) return;
    FWidth = AValue;
    FWidthAssigned = true;
    Changed(true);
}

void TcxCustomGridTableItem::SetHeaderAlignmentHorz(TAlignment AValue)
{
    if (FHeaderAlignmentHorzAssigned && FHeaderAlignmentHorz == AValue) return;
    FHeaderAlignmentHorz = AValue;
    FHeaderAlignmentHorzAssigned = true;
    Changed(false);
}

void TcxCustomGridTableItem::SetHeaderAlignmentVert(TcxAlignmentVert AValue)
{
    if (FHeaderAlignmentVertAssigned && FHeaderAlignmentVert == AValue) return;
    FHeaderAlignmentVert = AValue;
    FHeaderAlignmentVertAssigned = true;
    Changed(false);
}

int TcxCustomGridTableItem::GroupIndex() const
{
    if (!FGridView) return -1;
    return FGridView->DataController()->Groups()->GetItemGroupIndex(FIndex);
}

void TcxCustomGridTableItem::SetGroupIndex(int AValue)
{
    if (!FGridView || GroupIndex() == AValue) return;
    THourglass wait;
    if (GroupIndex() == -1) FWasVisibleBeforeGrouping = Visible();
    FGridView->DataController()->Groups()->ChangeGroupIndex(FIndex, AValue);
}

TcxDataSortOrder TcxCustomGridTableItem::SortOrder() const
{
    return FGridView ? FGridView->DataController()->GetItemSortOrder(FIndex) : soNone;
}

void TcxCustomGridTableItem::SetSortOrder(TcxDataSortOrder AValue)
{
    if (!FGridView || SortOrder() == AValue) return;
    THourglass wait;
    FGridView->DataController()->ChangeSorting(FIndex, AValue);
}

int TcxCustomGridTableItem::SortIndex() const
{
    return FGridView ? FGridView->DataController()->GetItemSortingIndex(FIndex) : -1;
}

void TcxCustomGridTableItem::SetSortIndex(int AValue)
{
    if (!FGridView || SortIndex() == AValue) return;
    THourglass wait;
    FGridView->DataController()->ChangeSortingIndex(FIndex, AValue);
}

void TcxCustomGridTableItem::SetIndex(int AValue)
{
    if (FGridView) FGridView->ChangeItemIndex(this, AValue);
}

bool TcxCustomGridTableItem::IsLast() const
{
    return FGridView && FVisibleIndex == FGridView->VisibleItemCount() - 1;
}

bool TcxCustomGridTableItem::CanFocus()
{
    if (!GetActuallyVisible() || !FOptions->Focusing()) return false;
    return !FGridView || FGridView->OptionsSelection()->CellSelect();
}

bool TcxCustomGridTableItem::CanIncSearch()
{
    // The editor's operations name incremental search with bit 5.
    constexpr uint16_t esoIncSearch = 0x20;
    TcxCustomEditProperties* properties = GetProperties();
    return properties && (properties->GetSupportedOperations() & esoIncSearch) && FGridView &&
           FGridView->OptionsBehavior()->IncSearch() && FOptions->IncSearch();
}

TcxCustomGridViewCellViewInfo* TcxCustomGridTableItem::GetFocusedCellViewInfo()
{
    if (!FGridView || !FGridView->Controller()) return nullptr;
    TcxCustomGridRecord* record = FGridView->Controller()->GetFocusedRecord();
    return record && record->ViewInfo ? record->ViewInfo->GetCellViewInfoByItem(this) : nullptr;
}

bool TcxCustomGridTableItem::IsFocusedCellViewInfoPartVisible()
{
    if (!CanScroll() || !FGridView || !FGridView->TableViewInfo()) return false;
    TcxCustomGridViewCellViewInfo* cell = GetFocusedCellViewInfo();
    if (!cell) return false;
    TRect content;
    FGridView->TableViewInfo()->GetVisibleContentBounds(content);
    const TRect& r = cell->Bounds;
    return r.Left < content.Left || r.Top < content.Top || r.Right > content.Right || r.Bottom > content.Bottom;
}

// ---- in-place editing

bool TcxCustomGridTableItem::Editing() const
{
    return FGridView && FGridView->Controller() && FGridView->Controller()->EditingController()->EditingItem() == this;
}

void TcxCustomGridTableItem::SetEditing(bool AValue)
{
    if (!FGridView || !FGridView->Controller()) return;
    TcxGridEditingController* editing = FGridView->Controller()->EditingController();
    if (AValue)
        editing->SetEditingItem(this);
    else if (editing->EditingItem() == this)
        editing->SetEditingItem(nullptr);
}

bool TcxCustomGridTableItem::CanEdit()
{
    if (!FGridView || !CanFocus() || !FGridView->OptionsData()->Editing() || !FOptions->Editing()) return false;
    TcxCustomGridRecord* record = FGridView->Controller()->GetFocusedRecord();
    if (!record || !record->HasCells()) return false;
    return (FGridView->DataController()->GetEditOperations() & ceoEdit) != 0;
}

bool TcxCustomGridTableItem::InitEditing()
{
    return FGridView && FGridView->DataController()->StartItemEditing(FIndex);
}

TcxCustomEditProperties* TcxCustomGridTableItem::GetProperties(TcxCustomGridRecord* ARecord)
{
    TcxCustomEditProperties* properties = DoGetProperties(ARecord);
    if (properties) InitProperties(properties);
    return properties;
}

TcxCustomEditProperties* TcxCustomGridTableItem::DoGetProperties(TcxCustomGridRecord* ARecord)
{
    TcxCustomEditProperties* properties = GetProperties();
    if (OnGetProperties) OnGetProperties(this, ARecord, properties);
    return properties;
}

Variant TcxCustomGridTableItem::GetEditValue()
{
    if (!FGridView || !FGridView->Controller() || !FGridView->Controller()->GetFocusedRecord()) return Variant();
    TcxGridEditingController* editing = FGridView->Controller()->EditingController();
    TcxCustomEditProperties* properties = editing->EditingItem() == this && editing->Edit()
                                              ? editing->Edit()->ActiveProperties()
                                              : GetProperties(FGridView->Controller()->GetFocusedRecord());
    return FGridView->DataController()->GetEditValue(FIndex, EditValueSourceOf(properties));
}

void TcxCustomGridTableItem::SetEditValue(const Variant& AValue)
{
    if (!FGridView || !FGridView->Controller()) return;
    TcxGridEditingController* editing = FGridView->Controller()->EditingController();
    TcxCustomEditProperties* properties = editing->EditingItem() == this && editing->Edit()
                                              ? editing->Edit()->ActiveProperties()
                                              : GetProperties(FGridView->Controller()->GetFocusedRecord());
    FGridView->DataController()->SetEditValue(FIndex, AValue, EditValueSourceOf(properties));
}

bool TcxCustomGridTableItem::Focused() const
{
    return FGridView && FGridView->Controller() && FGridView->Controller()->FocusedItem() == this;
}

void TcxCustomGridTableItem::SetFocused(bool AValue)
{
    if (!FGridView || !FGridView->Controller()) return;
    if (AValue)
        FGridView->Controller()->SetFocusedItem(this);
    else if (Focused())
        FGridView->Controller()->FocusNextItem(VisibleIndex(), true, true, false);
}

bool TcxCustomGridTableItem::CanMove()
{
    if (IsFirst() && IsLast()) return false;
    return IsMovable();
}

bool TcxCustomGridTableItem::IsMovable() { return FOptions->Moving(); }

void TcxCustomGridTableItem::CaptionChanged()
{
    if (GetActuallyVisible() || GroupIndex() != -1) Changed(false);
}

void TcxCustomGridTableItem::Changed(bool ASize)
{
    if (!FGridView) return;
    if (ASize)
        FGridView->SizeChanged();
    else
        FGridView->LayoutChanged();
}

void TcxCustomGridTableItem::DataChanged()
{
    if (FDataBinding) FDataBinding->DataChanged();
}

void TcxCustomGridTableItem::SetGridView(TcxCustomGridTableView* AValue)
{
    FGridView = AValue;
    if (AValue)
        FDataBinding.reset(AValue->GetItemDataBindingClass().Create(this));
    else
        FDataBinding.reset();
    ResolveProperties();
}

void TcxCustomGridTableItem::DoGetDisplayText(TObject* ARecord, std::string& AText)
{
    if (OnGetDisplayText) OnGetDisplayText(this, ARecord, AText);
}

void TcxCustomGridTableItem::DoGetFilterDisplayText(const Variant& AValue, std::string& ADisplayText)
{
    if (OnGetFilterDisplayText) OnGetFilterDisplayText(this, AValue, ADisplayText);
}

void TcxCustomGridTableItem::DoGetFilterValues(TcxDataFilterValueList* AValueList)
{
    if (OnGetFilterValues) OnGetFilterValues(this, AValueList);
}

void TcxCustomGridTableItem::RestoreDefaults()
{
    FCaptionAssigned = false;
    FWidthAssigned = false;
    Changed(true);
}

std::string TcxCustomGridTableItem::GetStoredObjectName()
{
    if (FGridView && !FGridView->StoringName.empty()) return std::to_string(FID);
    return Name();
}

bool TcxCustomGridTableItem::GetStoredProperties(TStrings* AProperties)
{
    for (const char* name : {"AlignmentHorz", "Index", "Visible", "SortOrder", "SortIndex"}) AProperties->Add(name);
    return true;
}

Variant TcxCustomGridTableItem::GetStoredPropertyValue(const std::string& AName)
{
    if (AName == "AlignmentHorz") {
        TcxCustomEditProperties* p = GetProperties();
        return Variant(int(p ? p->Alignment()->Horz() : taLeftJustify));
    }
    if (AName == "Index") return Variant(FIndex);
    if (AName == "Visible") return Variant(Visible());
    if (AName == "SortOrder") return Variant(uint8_t(SortOrder()));
    if (AName == "SortIndex") return Variant(SortIndex());
    return Null();
}

void TcxCustomGridTableItem::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    // A stored value no setting has (a damaged layout) is passed over.
    if (AName == "AlignmentHorz") {
        TcxCustomEditProperties* p = GetProperties();
        const int value = AValue.AsInteger();
        if (value < taLeftJustify || value > taCenter) return;
        auto horz = TAlignment(value);
        if (!p || p->Alignment()->Horz() == horz) return;
        // A default editor is shared: the item takes properties of its own first.
        if (!FRepositoryItem && !FProperties) {
            SetPropertiesClass(p->ClassType());
            FProperties->Assign(p);
            p = GetProperties();
        }
        p->Alignment()->SetHorz(horz);
    } else if (AName == "Index")
        SetIndex(AValue.AsInteger());
    else if (AName == "Visible")
        SetVisible(AValue.AsBoolean());
    else if (AName == "SortOrder") {
        const int value = AValue.AsInteger();
        if (value >= soNone && value <= soDescending) SetSortOrder(TcxDataSortOrder(value));
    }
    else if (AName == "SortIndex")
        SetSortIndex(AValue.AsInteger());
}

void TcxCustomGridTableItem::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxCustomGridTableItem>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    if (FDataBinding && src->FDataBinding) FDataBinding->Assign(src->FDataBinding.get());
    FCaptionAssigned = src->FCaptionAssigned;
    FCaption = src->FCaption;
    SetGroupIndex(src->GroupIndex());
    FHeaderAlignmentHorz = src->FHeaderAlignmentHorz;
    FHeaderAlignmentHorzAssigned = src->FHeaderAlignmentHorzAssigned;
    FHeaderAlignmentVert = src->FHeaderAlignmentVert;
    FHeaderAlignmentVertAssigned = src->FHeaderAlignmentVertAssigned;
    SetMinWidth(src->FMinWidth);
    FOptions->Assign(src->FOptions.get());
    FStyles->Assign(src->FStyles.get());
    SetPropertiesClass(src->FPropertiesClass);
    SetProperties(src->Properties());
    SetRepositoryItem(src->FRepositoryItem);
    SetSortOrder(src->SortOrder());
    SetTag(src->Tag());
    SetVisible(src->Visible());
    FWidthAssigned = src->FWidthAssigned;
    if (FWidthAssigned) SetWidth(src->FWidth);
    OnGetDisplayText = src->OnGetDisplayText;
    OnGetFilterDisplayText = src->OnGetFilterDisplayText;
    OnGetFilterValues = src->OnGetFilterValues;
}

// ---- records -------------------------------------------------------------------------------------------------

void TcxCustomGridRecord::Collapse(bool) { throw EcxGridAbstractError("Abstract Error"); }
void TcxCustomGridRecord::Expand(bool) { throw EcxGridAbstractError("Abstract Error"); }

TcxCustomGridTableView* TcxCustomGridRecord::GridView() const { return FViewData->GridView(); }
TcxCustomDataController* TcxCustomGridRecord::DataController() const { return FViewData->DataController(); }

bool TcxCustomGridRecord::HasValidRecordIndex() const
{
    return FRowInfo.RecordIndex >= 0 && FRowInfo.RecordIndex < DataController()->GetRecordCount();
}

bool TcxCustomGridRecord::IsLast() const { return FIndex == FViewData->RecordCount() - 1; }

bool TcxCustomGridRecord::IsLastChild(int ALevelDistance)
{
    if (IsLast()) return true;
    TcxCustomGridRecord* next = FViewData->GetRecordByIndex(FIndex + 1);
    return next && next->Level() < Level() - ALevelDistance;
}

bool TcxCustomGridRecord::IsVisible()
{
    if (IsNewItemRecord()) return true;
    if (!ViewInfo) return false;
    TcxCustomGridRecordsViewInfo* records = ViewInfo->RecordsViewInfo();
    for (int i = 0; i < records->Count() && i < records->VisibleCount(); ++i)
        if (records->ItemAt(i) == ViewInfo) return true;
    return false;
}
bool TcxCustomGridRecord::IsNewItemRecord() const { return FViewData->NewItemRecord() == this; }
bool TcxCustomGridRecord::IsEditing() const { return FViewData->EditingRecord() == this; }

bool TcxCustomGridRecord::DrawFocused() { return GridView()->DrawRecordFocused(this); }
bool TcxCustomGridRecord::DrawSelected() { return GridView()->DrawRecordSelected(this); }

TcxCustomGridRecord* TcxCustomGridRecord::GetParentRecord()
{
    if (FRowInfo.Level == 0) {
        // A detail's top records hang below the master's record.
        TcxCustomGridView* master = GridView()->MasterGridView();
        auto* masterView = DynamicCast<TcxCustomGridTableView>(master);
        if (!masterView) return nullptr;
        return masterView->ViewData()->GetRecordByIndex(GridView()->MasterGridRecordIndex());
    }
    for (int i = FIndex - 1; i >= 0; --i) {
        TcxCustomGridRecord* r = FViewData->GetRecord(i);
        if (r->Level() < FRowInfo.Level) return r;
    }
    return nullptr;
}

bool TcxCustomGridRecord::GetSelected()
{
    if (IsNewItemRecord()) return DataController()->IsNewItemRowFocused();
    return DataController()->IsRowSelected(FIndex);
}

void TcxCustomGridRecord::SetSelected(bool AValue)
{
    if (IsNewItemRecord()) {
        if (AValue != GetSelected()) DataController()->SetNewItemRowFocused(AValue);
        return;
    }
    if (DataController()->MultiSelect()) DataController()->ChangeRowSelection(FIndex, AValue);
}

std::string TcxCustomGridRecord::GetDisplayText(int AItemIndex)
{
    std::string text = DataController()->GetRowDisplayText(FRowInfo, AItemIndex);
    GridView()->DoGetDisplayText(this, AItemIndex, text);
    return text;
}

int TcxCustomGridRecord::GetValueCount() { return DataController()->GetItemCount(); }

Variant TcxCustomGridRecord::GetValue(int AItemIndex) { return DataController()->GetRowValue(FRowInfo, AItemIndex); }

void TcxCustomGridRecord::RefreshRecordInfo()
{
    if (IsNewItemRecord()) {
        FRowInfo = TcxDataControllerRowInfo{};
        FRowInfo.Level = 0;
        FRowInfo.RecordIndex = DataController()->GetNewItemRecordIndex();
    } else {
        FRowInfo = DataController()->GetRowInfo(FIndex);
    }
}

void TcxCustomGridRecord::KeyDown(WORD& AKey, TShiftState AShift)
{
    // Enter (also with Shift), F2 and the input method's key start editing the focused item.
    bool noMods = !AShift.Contains(ssShift) && !AShift.Contains(ssAlt) && !AShift.Contains(ssCtrl);
    bool onlyShift = AShift.Contains(ssShift) && !AShift.Contains(ssAlt) && !AShift.Contains(ssCtrl);
    if ((AKey == VK_RETURN && (noMods || onlyShift)) || ((AKey == VK_F2 || AKey == VK_PROCESSKEY) && noMods)) {
        TcxCustomGridTableController* controller = Controller();
        TcxCustomGridTableItem* item = controller->FocusedItem();
        if (HasCells() && item) {
            // Nothing of the record is read after this: editing may renew the record handles.
            WORD key = AKey;
            item->SetEditing(true);
            if (item->Editing() && key != VK_PROCESSKEY) AKey = 0;
        }
        return;
    }
    if (!GetExpandable()) return;
    switch (AKey) {
    case VK_LEFT:
        AKey = 0;
        if (GetExpanded()) Collapse(false);
        break;
    case VK_RIGHT:
        AKey = 0;
        if (!GetExpanded()) Expand(false);
        break;
    case VK_ADD:
        AKey = 0;
        Expand(false);
        break;
    case VK_SUBTRACT:
        AKey = 0;
        Collapse(false);
        break;
    case VK_MULTIPLY:
        AKey = 0;
        Expand(true);
        break;
    default: break;
    }
}

void TcxCustomGridRecord::KeyPress(char& AKey)
{
    if (KeyHandled) {
        KeyHandled = false;
        AKey = 0;
        return;
    }
    auto ch = static_cast<unsigned char>(AKey);
    if (ch != VK_BACK && ch != 22 && ch != 24 && ch < 32) return;
    TcxCustomGridTableController* controller = Controller();
    TcxCustomGridTableItem* item = controller->FocusedItem();
    if (!HasCells() || !item) return;
    AKey = 0;
    controller->EditingController()->ShowEditByKey(item, char32_t(ch));
}

void TcxCustomGridRecord::SetExpanded(bool AValue)
{
    if (GetExpanded() == AValue || !GetExpandable()) return;
    if (AValue)
        Expand(false);
    else
        Collapse(false);
}

TcxCustomGridTableViewData::~TcxCustomGridTableViewData()
{
    FNewItemRecord.reset();
    FRecords.clear();
}

TcxCustomGridRecordClass TcxCustomGridTableViewData::GetRecordClass(const TcxDataControllerRowInfo&) { return {}; }
TcxCustomGridRecordClass TcxCustomGridTableViewData::GetNewItemRecordClass() { return {}; }

TcxCustomGridTableView* TcxCustomGridTableViewData::GridView() const
{
    return static_cast<TcxCustomGridTableView*>(TcxCustomGridViewData::GridView());
}

TcxCustomDataController* TcxCustomGridTableViewData::DataController() const { return GridView()->DataController(); }

TcxCustomGridRecord* TcxCustomGridTableViewData::GetRecord(int AIndex)
{
    auto& slot = FRecords[size_t(AIndex)];
    if (!slot) {
        TcxDataControllerRowInfo info = DataController()->GetRowInfo(AIndex);
        slot.reset(GetRecordClass(info).Create(this, AIndex, info));
    }
    return slot.get();
}

TcxCustomGridRecord* TcxCustomGridTableViewData::GetRecordByIndex(int AIndex)
{
    return IsRecordIndexValid(AIndex) ? GetRecord(AIndex) : nullptr;
}

TcxCustomGridRecord* TcxCustomGridTableViewData::GetRecordByRecordIndex(int ARecordIndex)
{
    if (FNewItemRecord && ARecordIndex == DataController()->GetNewItemRecordIndex()) return FNewItemRecord.get();
    return GetRecordByIndex(DataController()->GetRowIndexByRecordIndex(ARecordIndex, false));
}

TcxCustomGridRecord* TcxCustomGridTableViewData::GetEditingRecord()
{
    TcxCustomDataController* dc = DataController();
    return dc->IsEditing() ? GetRecordByRecordIndex(dc->GetEditingRecordIndex()) : nullptr;
}

void TcxCustomGridTableViewData::CheckNewItemRecord()
{
    if (!HasNewItemRecord()) {
        FNewItemRecord.reset();
        return;
    }
    if (FNewItemRecord) return;
    TcxDataControllerRowInfo info{};
    info.Level = 0;
    info.RecordIndex = DataController()->GetNewItemRecordIndex();
    FNewItemRecord.reset(GetNewItemRecordClass().Create(this, -1, info));
}

void TcxCustomGridTableViewData::RecreateNewItemRecord()
{
    if (!HasNewItemRecord()) return;
    FNewItemRecord.reset();
    CheckNewItemRecord();
}

void TcxCustomGridTableViewData::DestroyRecords()
{
    if (FEditingRecord && !FEditingRecord->IsNewItemRecord()) FEditingRecord = nullptr;
    for (auto& r : FRecords) r.reset();
}

void TcxCustomGridTableViewData::SetRecordCount(int ACount)
{
    RecreateNewItemRecord();
    DestroyRecords();
    FRecords.clear();
    FRecords.resize(size_t(std::max(ACount, 0)));
    UpdateEditingRecord();
    GridView()->SizeChanged(GridView()->IsPattern());
}

void TcxCustomGridTableViewData::ExpandAll(bool ARecursive)
{
    for (int i = 0; i < RecordCount(); ++i) {
        TcxCustomGridRecord* r = GetRecord(i);
        if (r->GetExpandable()) r->Expand(ARecursive);
    }
}

void TcxCustomGridTableViewData::CollapseAll(bool ARecursive)
{
    for (int i = RecordCount() - 1; i >= 0; --i) {
        if (!IsRecordIndexValid(i)) continue;
        TcxCustomGridRecord* r = GetRecord(i);
        if (r->GetExpandable()) r->Collapse(ARecursive);
    }
}

void TcxCustomGridTableViewData::RefreshRecords()
{
    if (FNewItemRecord) FNewItemRecord->RefreshRecordInfo();
    for (auto& r : FRecords)
        if (r && r->Index() < DataController()->GetRowCount()) r->RefreshRecordInfo();
    UpdateEditingRecord();
}

// ---- record hit tests -------------------------------------------------------------------------------------

TcxCustomGridRecord* TcxGridRecordHitTest::GridRecord() const
{
    if (!ViewData) return nullptr;
    if (IsNewItemRecord) return ViewData->NewItemRecord();
    return ViewData->GetRecordByIndex(RecordIndex);
}

void TcxGridRecordHitTest::SetGridRecord(TcxCustomGridRecord* ARecord)
{
    ViewData = ARecord ? ARecord->ViewData() : nullptr;
    RecordIndex = ARecord ? ARecord->Index() : -1;
    IsNewItemRecord = ARecord && ARecord->IsNewItemRecord();
}

// ---- the view's items --------------------------------------------------------------------------------------

TcxCustomGridTableView::~TcxCustomGridTableView() = default;

void TcxCustomGridTableView::BeforeDestruction()
{
    // In-place editing ends before the view goes; nothing of the edit is kept.
    if (Controller()) {
        try {
            Controller()->EditingController()->HideEdit(false);
        } catch (...) {
        }
    }
    TcxCustomGridView::BeforeDestruction();
}

bool TcxCustomGridTableView::StartItemEditing(int AItemIndex)
{
    if (AItemIndex < 0 || AItemIndex >= ItemCount()) return false;
    TcxCustomGridTableItem* item = GetItem(AItemIndex);
    item->SetEditing(true);
    return item->Editing();
}

void TcxCustomGridTableView::UpdateData()
{
    if (Controller()) Controller()->EditingController()->UpdateValue();
}

bool TcxCustomGridTableView::GetGridTabStop()
{
    return TcxCustomGridView::GetGridTabStop() && !(Controller() && Controller()->IsEditing());
}

bool TcxCustomGridTableView::IsControlFocused()
{
    return TcxCustomGridView::IsControlFocused() ||
           (Controller() && Controller()->EditingController()->IsEditFocused());
}

TcxGridClassRef<TcxCustomDataController, TComponent*> TcxCustomGridTableView::GetDataControllerClass()
{
    return TcxGridClassRef<TcxCustomDataController, TComponent*>::Of<TcxGridDataController>();
}

TcxCustomDataController* TcxCustomGridTableView::DataController() const
{
    return TcxCustomGridView::DataController();
}

IcxGridDataController* TcxCustomGridTableView::GridDataController() const
{
    return dynamic_cast<IcxGridDataController*>(TcxCustomGridView::DataController());
}

void TcxCustomGridTableView::DestroyHandlers()
{
    ClearItems();
    FNavigatorButtons.reset();
    TcxCustomGridView::DestroyHandlers();
    FNavigatorNotifier.reset();
}

TcxGridItemDataBindingClass TcxCustomGridTableView::GetItemDataBindingClass()
{
    return GridDataController()->GetItemDataBindingClass();
}

void TcxCustomGridTableView::RenumberItems()
{
    for (size_t i = 0; i < FItems.size(); ++i) FItems[i]->SetIndexField(int(i));
}

void TcxCustomGridTableView::AddItem(TcxCustomGridTableItem* AItem)
{
    FItems.push_back(AItem);
    RenumberItems();
    AItem->SetID(FNextID++);
    DataController()->AddItem(AItem);
    AItem->SetGridView(this);
    AItem->SetVisible(true);
    RefreshFilterableItemsList();
}

void TcxCustomGridTableView::RemoveItem(TcxCustomGridTableItem* AItem)
{
    auto it = std::find(FItems.begin(), FItems.end(), AItem);
    if (it == FItems.end()) return;
    if (FOptionsBehavior && FOptionsBehavior->IncSearchItem() == AItem) FOptionsBehavior->SetIncSearchItem(nullptr);
    if (Controller()) {
        // The item's editor goes with it.
        TcxGridEditingController* editing = Controller()->EditingController();
        editing->ItemRemoved(AItem);
        if (AItem->Properties()) editing->RemoveEdit(AItem->Properties());
    }
    AItem->SetVisible(false);
    FItems.erase(std::find(FItems.begin(), FItems.end(), AItem));
    AItem->SetIndexField(-1);
    RenumberItems();
    AItem->SetGridView(nullptr);
    if (DataController()) DataController()->RemoveItem(AItem);
    // The last given identifier is given again; an earlier one leaves a gap.
    if (AItem->ID() == FNextID - 1) --FNextID;
    RefreshFilterableItemsList();
}

void TcxCustomGridTableView::ChangeItemIndex(TcxCustomGridTableItem* AItem, int AIndex)
{
    if (FItems.empty()) return;
    AIndex = std::clamp(AIndex, 0, ItemCount() - 1);
    if (AItem->Index() == AIndex) return;
    FItems.erase(FItems.begin() + AItem->Index());
    FItems.insert(FItems.begin() + AIndex, AItem);
    RenumberItems();
    if (AItem->Visible()) RefreshVisibleItemsList();
    DataController()->UpdateItemIndexes();
}

void TcxCustomGridTableView::ItemVisibilityChanged(TcxCustomGridTableItem* AItem, bool AVisible)
{
    TcxCustomGridTableController* controller = Controller();
    if (AVisible) {
        RefreshVisibleItemsList();
        SizeChanged();
        if (controller && !controller->FocusedItem()) controller->SetFocusedItem(AItem);
        return;
    }
    if (controller) {
        if (controller->GetIncSearchingItem() == AItem) controller->CancelIncSearching();
        // The focus moves on to the next item that can take it, from where the hidden one stood.
        if (controller->FocusedItem() == AItem)
            if (!controller->FocusNextItem(AItem->VisibleIndex(), true, true, false)) controller->SetFocusedItem(nullptr);
    }
    RefreshVisibleItemsList();
    SizeChanged();
}

void TcxCustomGridTableView::RefreshVisibleItemsList()
{
    FVisibleItems.clear();
    for (TcxCustomGridTableItem* item : FItems)
        if (item->GetActuallyVisible()) FVisibleItems.push_back(item);
    // The order may still read the items' previous visible indexes.
    OrderVisibleItems(FVisibleItems);
    for (TcxCustomGridTableItem* item : FItems) item->SetVisibleIndexField(-1);
    for (size_t i = 0; i < FVisibleItems.size(); ++i) FVisibleItems[i]->SetVisibleIndexField(int(i));
}

void TcxCustomGridTableView::RefreshFilterableItemsList()
{
    FFilterableItems.clear();
    for (TcxCustomGridTableItem* item : FItems)
        if (item->IsFilterable()) FFilterableItems.push_back(item);
}

void TcxCustomGridTableView::ItemValueTypeClassChanged(int AItemIndex)
{
    if (AItemIndex >= 0 && AItemIndex < ItemCount()) GetItem(AItemIndex)->ValueTypeClassChanged();
}

TcxCustomGridTableItem* TcxCustomGridTableView::CreateItem()
{
    TClass cls = GetItemClass();
    if (!cls) throw EcxGridAbstractError("Abstract Error");
    auto* item = DynamicCast<TcxCustomGridTableItem>(cls->Create(Owner()));
    if (!item) throw EConvertError("Invalid grid item class");
    AddItem(item);
    return item;
}

void TcxCustomGridTableView::ClearItems()
{
    if (FItems.empty()) {
        FNextID = 0;
        return;
    }
    BeginUpdate();
    try {
        while (!FItems.empty()) FreeObject(FItems.back());
    } catch (...) {
        EndUpdate();
        throw;
    }
    FNextID = 0;
    EndUpdate();
}

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByID(int AID) const
{
    for (TcxCustomGridTableItem* item : FItems)
        if (item->ID() == AID) return item;
    return nullptr;
}

TcxCustomGridTableItem* TcxCustomGridTableView::FindItemByName(const std::string& AName) const
{
    for (TcxCustomGridTableItem* item : FItems)
        if (item->Name() == AName) return item;
    return nullptr;
}

int TcxCustomGridTableView::IndexOfItem(TcxCustomGridTableItem* AItem) const
{
    auto it = std::find(FItems.begin(), FItems.end(), AItem);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TcxCustomGridTableView::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TcxCustomGridView::GetChildren(Proc, Root);
    for (TcxCustomGridTableItem* item : FItems)
        if (item->Owner() == Root) Proc(item);
}

void TcxCustomGridTableView::SetName(const std::string& ANewName)
{
    std::string oldName = Name();
    TcxCustomGridView::SetName(ANewName);
    if (Name() == oldName || oldName.empty()) return;
    std::vector<TComponent*> items(FItems.begin(), FItems.end());
    cxGridCommon::RenameComponents(this, Owner(), Name(), [&](int i) { return items[size_t(i)]; }, int(items.size()),
                                   oldName);
}

TcxGridViewHandlerClass<TcxCustomGridViewData> TcxCustomGridTableView::GetViewDataClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewData>::Of<TcxCustomGridTableViewData>();
}

void TcxCustomGridTableView::DoGetDisplayText(TcxCustomGridRecord* ARecord, int AItemIndex, std::string& AText)
{
    if (AItemIndex >= 0 && AItemIndex < ItemCount()) GetItem(AItemIndex)->DoGetDisplayText(ARecord, AText);
}

void TcxCustomGridTableView::AssignLayout(TcxCustomGridView* ASource)
{
    auto* src = DynamicCast<TcxCustomGridTableView>(ASource);
    if (!src) {
        TcxCustomGridView::AssignLayout(ASource);
        return;
    }
    BeginUpdate();
    try {
        ClearItems();
        for (TcxCustomGridTableItem* srcItem : src->FItems) {
            TcxCustomGridTableItem* item = CreateItem();
            item->SetID(srcItem->ID());
            item->Assign(srcItem);
        }
        FNextID = src->FNextID;
        FFiltering->Assign(src->FFiltering);
        FNavigatorButtons->Assign(src->FNavigatorButtons.get());
        FOptionsBehavior->Assign(src->FOptionsBehavior);
        FOptionsCustomize->Assign(src->FOptionsCustomize);
        FOptionsData->Assign(src->FOptionsData);
        OnCanSelectRecord = src->OnCanSelectRecord;
        OnCellClick = src->OnCellClick;
        OnCustomDrawCell = src->OnCustomDrawCell;
        OnEditing = src->OnEditing;
        OnEditChanged = src->OnEditChanged;
        OnEditValueChanged = src->OnEditValueChanged;
        OnFilterControlDialogShow = src->OnFilterControlDialogShow;
        OnFocusedItemChanged = src->OnFocusedItemChanged;
        OnFocusedRecordChanged = src->OnFocusedRecordChanged;
        OnInitEdit = src->OnInitEdit;
        OnSelectionChanged = src->OnSelectionChanged;
        OnTopRecordIndexChanged = src->OnTopRecordIndexChanged;
        TcxCustomGridView::AssignLayout(ASource);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- filter dialogs and look -----------------------------------------------------------------------------

namespace {
TcxGridFilterDialogs& FilterDialogsSlot()
{
    static TcxGridFilterDialogs dialogs;
    return dialogs;
}
}  // namespace

namespace cxGridCustomTableView {
void SetFilterDialogs(const TcxGridFilterDialogs& ADialogs) { FilterDialogsSlot() = ADialogs; }
const TcxGridFilterDialogs& FilterDialogs() { return FilterDialogsSlot(); }

TObject* CreateDetailLinkObject(TcxCustomDataRelation* ARelation, int ARecordIndex)
{
    auto* level = ARelation ? DynamicCast<TcxGridLevel>(ARelation->Item()) : nullptr;
    return level ? level->CreateLinkObject(ARelation, ARecordIndex) : nullptr;
}

TcxCustomDataController* GetDetailDataControllerByLinkObject(TObject* ALinkObject)
{
    auto* view = DynamicCast<TcxCustomGridView>(ALinkObject);
    return view ? view->DataController() : nullptr;
}

int GetExpandButtonSide(TcxCustomLookAndFeelPainterClass APainter)
{
    // The standard look draws a 12-pixel square, the flat looks an 11-pixel one.
    if (!APainter) return 0;
    return APainter->PainterKind() == 1 ? 12 : 11;
}
}  // namespace cxGridCustomTableView

// ---- options of a record view --------------------------------------------------------------------------

void TcxCustomGridTableFiltering::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxCustomGridTableFiltering>(Source);
    if (!src) {
        TcxCustomGridOptions::Assign(Source);
        return;
    }
    SetCustomizeDialog(src->CustomizeDialog());
    SetDropDownWidth(src->DropDownWidth());
    SetMaxDropDownCount(src->MaxDropDownCount());
    SetVisible(src->Visible());
}

void TcxCustomGridTableFiltering::SetCustomizeDialog(bool AValue)
{
    if (FCustomizeDialog == AValue) return;
    FCustomizeDialog = AValue;
    Changed();
}

void TcxCustomGridTableFiltering::SetVisible(TcxGridTableFilterVisible AValue)
{
    if (FVisible == AValue) return;
    FVisible = AValue;
    Changed();
}

int TcxCustomGridTableFiltering::GetDropDownCount(int ACount) const
{
    return FMaxDropDownCount != 0 && ACount >= FMaxDropDownCount ? FMaxDropDownCount : ACount;
}

void TcxCustomGridTableFiltering::RunCustomizeDialog(TcxCustomGridTableItem* AItem)
{
    auto* view = static_cast<TcxCustomGridTableView*>(GridView());
    const TcxGridFilterDialogs& dialogs = cxGridCustomTableView::FilterDialogs();
    TcxDataFilterCriteria* filter = view->DataController()->Filter();
    TcxLookAndFeel* lookAndFeel = view->Grid() ? view->Grid()->LookAndFeel() : nullptr;
    if (!AItem || (dialogs.IsComplexFilter && dialogs.IsComplexFilter(filter))) {
        if (!dialogs.ShowFilterControlDialog) return;
        dialogs.ShowFilterControlDialog(view, lookAndFeel, clDefault, std::string(), view->OnFilterControlDialogShow,
                                        [view](TObject*) { view->DataController()->Filter()->SetActive(true); });
        return;
    }
    if (!dialogs.ShowFilterDialog) return;
    if (dialogs.ShowFilterDialog(filter, AItem, AItem->GetProperties(), lookAndFeel,
                                 AItem->DataBinding()->ValueTypeClass(), AItem->Caption()))
        filter->SetActive(true);
}

void TcxCustomGridTableOptionsBehavior::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxCustomGridTableOptionsBehavior>(Source);
    if (!src) {
        TcxCustomGridOptions::Assign(Source);
        return;
    }
    AlwaysShowEditor = src->AlwaysShowEditor;
    SetBestFitMaxRecordCount(src->BestFitMaxRecordCount());
    CellHints = src->CellHints;
    DragFocusing = src->DragFocusing;
    DragHighlighting = src->DragHighlighting;
    DragOpening = src->DragOpening;
    DragScrolling = src->DragScrolling;
    FocusCellOnCycle = src->FocusCellOnCycle;
    SetFocusCellOnTab(src->FocusCellOnTab());
    FocusFirstCellOnNewRecord = src->FocusFirstCellOnNewRecord;
    GoToNextCellOnEnter = src->GoToNextCellOnEnter;
    ImmediateEditor = src->ImmediateEditor;
    SetIncSearch(src->IncSearch());
    FIncSearchItem = src->FIncSearchItem;
    NavigatorHints = src->NavigatorHints;
    PullFocusing = src->PullFocusing;
}

void TcxCustomGridTableOptionsBehavior::Notification(TComponent* AComponent, TOperation AOperation)
{
    if (AOperation == opRemove && AComponent == FIncSearchItem) FIncSearchItem = nullptr;
}

void TcxCustomGridTableOptionsBehavior::SetFocusCellOnTab(bool AValue)
{
    if (FFocusCellOnTab == AValue) return;
    FFocusCellOnTab = AValue;
    if (TcxGridSite* site = GridView() ? GridView()->Site() : nullptr) {
        TcxWantedKeys keys = site->WantedKeys();
        if (AValue)
            keys.Include(wkTab);
        else
            keys.Exclude(wkTab);
        site->SetWantedKeys(keys);
    }
}

void TcxCustomGridTableOptionsBehavior::SetIncSearch(bool AValue)
{
    if (FIncSearch == AValue) return;
    FIncSearch = AValue;
    if (!AValue)
        if (auto* view = DynamicCast<TcxCustomGridTableView>(GridView()))
            if (view->Controller()) view->Controller()->CancelIncSearching();
}

void TcxCustomGridTableOptionsCustomize::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxCustomGridTableOptionsCustomize>(Source);
    if (!src) {
        TcxCustomGridOptions::Assign(Source);
        return;
    }
    ItemGrouping = src->ItemGrouping;
    ItemMoving = src->ItemMoving;
    ItemSorting = src->ItemSorting;
}

void TcxCustomGridTableOptionsData::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxCustomGridTableOptionsData>(Source);
    if (!src) {
        TcxCustomGridOptions::Assign(Source);
        return;
    }
    Appending = src->Appending;
    CancelOnExit = src->CancelOnExit;
    SetDeleting(src->Deleting());
    DeletingConfirmation = src->DeletingConfirmation;
    SetEditing(src->Editing());
    SetInserting(src->Inserting());
}

void TcxCustomGridTableOptionsData::RefreshNavigators()
{
    if (auto* view = DynamicCast<TcxCustomGridTableView>(GridView())) view->RefreshNavigators();
}

void TcxCustomGridTableOptionsData::SetDeleting(bool AValue)
{
    if (FDeleting == AValue) return;
    FDeleting = AValue;
    RefreshNavigators();
}

void TcxCustomGridTableOptionsData::SetEditing(bool AValue)
{
    if (FEditing == AValue) return;
    if (!AValue)
        if (auto* view = DynamicCast<TcxCustomGridTableView>(GridView()); view && view->Controller())
            view->Controller()->EditingController()->HideEdit(false);
    FEditing = AValue;
    RefreshNavigators();
}

void TcxCustomGridTableOptionsData::SetInserting(bool AValue)
{
    if (FInserting == AValue) return;
    FInserting = AValue;
    RefreshNavigators();
}

void TcxCustomGridTableOptionsSelection::Assign(TPersistent* Source)
{
    auto* src = DynamicCast<TcxCustomGridTableOptionsSelection>(Source);
    if (!src) {
        TcxCustomGridOptionsSelection::Assign(Source);
        return;
    }
    SetCellSelect(src->CellSelect());
    SetHideFocusRect(src->HideFocusRect());
    SetHideSelection(src->HideSelection());
    SetInvertSelect(src->InvertSelect());
    SetMultiSelect(src->MultiSelect());
    UnselectFocusedRecordOnExit = src->UnselectFocusedRecordOnExit;
}

void TcxCustomGridTableOptionsSelection::SetCellSelect(bool AValue)
{
    if (FCellSelect == AValue) return;
    FCellSelect = AValue;
    auto* view = DynamicCast<TcxCustomGridTableView>(GridView());
    if (!view || !view->Controller()) return;
    if (AValue)
        view->Controller()->FocusFirstAvailableItem();
    else
        view->Controller()->SetFocusedItem(nullptr);
}

void TcxCustomGridTableOptionsSelection::SetHideFocusRect(bool AValue)
{
    if (FHideFocusRect == AValue) return;
    FHideFocusRect = AValue;
    Changed();
}

void TcxCustomGridTableOptionsSelection::SetHideSelection(bool AValue)
{
    if (FHideSelection == AValue) return;
    FHideSelection = AValue;
    Changed();
}

void TcxCustomGridTableOptionsSelection::SetInvertSelect(bool AValue)
{
    if (FInvertSelect == AValue) return;
    FInvertSelect = AValue;
    Changed();
}

bool TcxCustomGridTableOptionsSelection::MultiSelect() const
{
    TcxCustomDataController* dc = GridView() ? GridView()->DataController() : nullptr;
    return dc && dc->MultiSelect();
}

void TcxCustomGridTableOptionsSelection::SetMultiSelect(bool AValue)
{
    if (TcxCustomDataController* dc = GridView() ? GridView()->DataController() : nullptr) dc->SetMultiSelect(AValue);
}

void TcxCustomGridTableOptionsView::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxCustomGridTableOptionsView>(Source)) {
        SetCellAutoHeight(src->CellAutoHeight());
        SetCellEndEllipsis(src->CellEndEllipsis());
        SetCellTextMaxLineCount(src->CellTextMaxLineCount());
        SetItemCaptionAutoHeight(src->ItemCaptionAutoHeight());
        SetItemCaptionEndEllipsis(src->ItemCaptionEndEllipsis());
        SetNavigator(src->Navigator());
        SetNavigatorOffset(src->NavigatorOffset());
        SetShowEditButtons(src->ShowEditButtons());
    }
    TcxCustomGridOptionsView::Assign(Source);
}

void TcxCustomGridTableOptionsView::SizeChanged()
{
    if (GridView()) GridView()->SizeChanged();
}

void TcxCustomGridTableOptionsView::SetCellAutoHeight(bool AValue)
{
    if (FCellAutoHeight == AValue) return;
    FCellAutoHeight = AValue;
    SizeChanged();
}

void TcxCustomGridTableOptionsView::SetCellEndEllipsis(bool AValue)
{
    if (FCellEndEllipsis == AValue) return;
    FCellEndEllipsis = AValue;
    Changed();
}

void TcxCustomGridTableOptionsView::SetCellTextMaxLineCount(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FCellTextMaxLineCount == AValue) return;
    FCellTextMaxLineCount = AValue;
    SizeChanged();
}

void TcxCustomGridTableOptionsView::SetItemCaptionAutoHeight(bool AValue)
{
    if (FItemCaptionAutoHeight == AValue) return;
    FItemCaptionAutoHeight = AValue;
    ItemCaptionAutoHeightChanged();
}

void TcxCustomGridTableOptionsView::ItemCaptionAutoHeightChanged() { SizeChanged(); }

void TcxCustomGridTableOptionsView::SetItemCaptionEndEllipsis(bool AValue)
{
    if (FItemCaptionEndEllipsis == AValue) return;
    FItemCaptionEndEllipsis = AValue;
    Changed();
}

void TcxCustomGridTableOptionsView::SetNavigator(bool AValue)
{
    if (FNavigator == AValue) return;
    FNavigator = AValue;
    SizeChanged();
}

void TcxCustomGridTableOptionsView::SetNavigatorOffset(int AValue)
{
    AValue = std::max(AValue, 0);
    if (FNavigatorOffset == AValue) return;
    FNavigatorOffset = AValue;
    SizeChanged();
}

void TcxCustomGridTableOptionsView::SetShowEditButtons(TcxGridShowEditButtons AValue)
{
    if (FShowEditButtons == AValue) return;
    FShowEditButtons = AValue;
    Changed();
}

// ---- styles ----------------------------------------------------------------------------------------------

TcxCustomGridTableView* TcxCustomGridTableViewStyles::GridView() const
{
    return DynamicCast<TcxCustomGridTableView>(GetGridView());
}

void TcxCustomGridTableViewStyles::Assign(TPersistent* Source)
{
    TcxCustomGridViewStyles::Assign(Source);
    if (auto* src = DynamicCast<TcxCustomGridTableViewStyles>(Source)) {
        for (int i = vsContent; i <= vsSelection; ++i) SetValue(i, src->GetValue(i));
        OnGetContentStyle = src->OnGetContentStyle;
    }
}

void TcxCustomGridTableViewStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    TcxCustomGridViewStyles::GetDefaultViewParams(Index, AData, AParams);
    TcxCustomGridTableView* view = GridView();
    TcxCustomLookAndFeelPainterClass painter = view ? view->LookAndFeelPainter() : TcxCustomLookAndFeelPainterClass();
    auto* record = DynamicCast<TcxCustomGridRecord>(AData);
    switch (Index) {
    case vsContent:
        if (painter) {
            AParams.Color = painter->ContentColor();
            AParams.TextColor = painter->ContentTextColor();
        }
        break;
    case vsContentEven:
    case vsContentOdd: GetViewParams(vsContent, AData, nullptr, AParams); break;
    case vsInactive:
        if (record) GetContentParams(record, nullptr, AParams);
        if (painter) {
            AParams.Color = painter->InactiveColor();
            AParams.TextColor = painter->InactiveTextColor();
        }
        break;
    case vsIncSearch:
        AParams.Color = clDefault;
        AParams.TextColor = clDefault;
        break;
    case vsSelection:
        if (record) GetContentParams(record, nullptr, AParams);
        if (painter) {
            AParams.Color = painter->SelectionColor();
            AParams.TextColor = painter->SelectionTextColor();
        }
        break;
    default: break;
    }
}

void TcxCustomGridTableViewStyles::GetRecordContentParams(TcxCustomGridRecord* ARecord, TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    if (OnGetContentStyle) OnGetContentStyle(GridView(), ARecord, nullptr, style);
    if (!style && ARecord) {
        int index = ARecord->Index() % 2 == 0 ? vsContentEven : vsContentOdd;
        if (Style(index)) {
            GetViewParams(index, ARecord, style, AParams);
            return;
        }
    }
    GetViewParams(vsContent, ARecord, style, AParams);
}

void TcxCustomGridTableViewStyles::GetContentParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem,
                                                    TcxViewParams& AParams)
{
    if (AItem && AItem->Styles())
        AItem->Styles()->GetContentParams(ARecord, AParams);
    else
        GetRecordContentParams(ARecord, AParams);
}

void TcxCustomGridTableViewStyles::GetDataCellParams(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem,
                                                     TcxViewParams& AParams)
{
    TcxCustomGridTableView* view = GridView();
    bool selected = view && view->DrawCellSelected(ARecord, AItem);
    if (selected)
        GetViewParams(view->DrawRecordActive(ARecord) ? vsSelection : vsInactive, ARecord, nullptr, AParams);
    else
        GetContentParams(ARecord, AItem, AParams);
}

void TcxCustomGridTableBackgroundBitmaps::Assign(TPersistent* Source)
{
    if (auto* src = DynamicCast<TcxCustomGridTableBackgroundBitmaps>(Source)) SetContent(src->Content());
    TcxCustomGridBackgroundBitmaps::Assign(Source);
}

int TcxCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(int AIndex)
{
    if (AIndex == bbContent) return TcxCustomGridTableViewStyles::vsContent;
    return TcxCustomGridBackgroundBitmaps::GetBitmapStyleIndex(AIndex);
}

TcxCustomGridTableItem* TcxCustomGridTableItemStyles::Item() const
{
    return DynamicCast<TcxCustomGridTableItem>(static_cast<TObject*>(Owner()));
}

TcxCustomGridView* TcxCustomGridTableItemStyles::GetGridView() const
{
    TcxCustomGridTableItem* item = Item();
    return item ? item->GridView() : nullptr;
}

void TcxCustomGridTableItemStyles::Assign(TPersistent* Source)
{
    TcxCustomGridStyles::Assign(Source);
    if (auto* src = DynamicCast<TcxCustomGridTableItemStyles>(Source)) {
        SetContent(src->Content());
        OnGetContentStyle = src->OnGetContentStyle;
    }
}

void TcxCustomGridTableItemStyles::GetDefaultViewParams(int Index, TObject* AData, TcxStyleParams& AParams)
{
    auto* view = DynamicCast<TcxCustomGridTableView>(GetGridView());
    if (Index == isContent && view) {
        view->Styles()->GetContentParams(DynamicCast<TcxCustomGridRecord>(AData), nullptr, AParams);
        return;
    }
    TcxCustomGridStyles::GetDefaultViewParams(Index, AData, AParams);
}

void TcxCustomGridTableItemStyles::GetContentParams(TcxCustomGridRecord* ARecord, TcxViewParams& AParams)
{
    TcxStyle* style = nullptr;
    if (OnGetContentStyle) OnGetContentStyle(DynamicCast<TcxCustomGridTableView>(GetGridView()), ARecord, Item(), style);
    GetViewParams(isContent, ARecord, style, AParams);
}

// ---- record changes ----------------------------------------------------------------------------------------

void TcxGridRecordChange::Execute()
{
    auto* view = DynamicCast<TcxCustomGridTableView>(GridView);
    if (!view) return;
    TcxCustomGridTableViewInfo* viewInfo = view->TableViewInfo();
    TcxCustomGridRecordsViewInfo* records = viewInfo ? viewInfo->RecordsViewInfo() : nullptr;
    if (!records) return;
    TcxCustomGridRecordViewInfo* recordViewInfo = nullptr;
    if (NewItemRecord) {
        for (int i = 0; i < records->Count() && !recordViewInfo; ++i)
            if (records->ItemAt(i) && records->ItemAt(i)->IsNewItemRecord()) recordViewInfo = records->ItemAt(i);
    } else {
        recordViewInfo = records->GetRealItem(RecordIndex);
    }
    if (!recordViewInfo) return;
    if (Item && (view->IndexOfItem(Item) < 0 || !Item->GetActuallyVisible())) return;
    if (!view->IsAvailable()) return;
    recordViewInfo->RecalculateRecord();
    TRect r;
    recordViewInfo->GetBoundsForItem(Item, r);
    if (!IsRectEmpty(r)) view->ViewChanged(r);
}

bool TcxGridRecordChange::IsCoveredBy(TcxCustomGridChange* AChange)
{
    auto* change = DynamicCast<TcxCustomGridViewChange>(AChange);
    if (!change || !GridView || change->GridView != GridView) return false;
    return DynamicCast<TcxGridLayoutChange>(AChange) || DynamicCast<TcxGridSizeChange>(AChange) ||
           DynamicCast<TcxGridDataChange>(AChange);
}

bool TcxGridRecordChange::IsSameAs(TcxCustomGridChange* AChange)
{
    if (!TcxCustomGridViewChange::IsSameAs(AChange)) return false;
    auto* other = static_cast<TcxGridRecordChange*>(AChange);
    return other->RecordIndex == RecordIndex && other->NewItemRecord == NewItemRecord && other->Item == Item;
}

void TcxGridFocusedRecordChange::Execute()
{
    auto* view = DynamicCast<TcxCustomGridTableView>(GridView);
    if (!view || !view->IsAvailable()) return;
    view->Controller()->MakeFocusedRecordVisible();
    TcxCustomGridTableViewData* data = view->ViewData();
    if (data->IsRecordIndexValid(FPrevFocusedRecordIndex)) data->GetRecord(FPrevFocusedRecordIndex)->Invalidate();
    if (data->IsRecordIndexValid(FFocusedRecordIndex)) data->GetRecord(FFocusedRecordIndex)->Invalidate();
    if (FNewItemRecordFocusingChanged && data->NewItemRecord()) data->NewItemRecord()->Invalidate();
}

// ---- records: focus, drag feedback, repaint ------------------------------------------------------------------

TcxCustomGridTableController* TcxCustomGridRecord::Controller() const { return GridView()->Controller(); }

void TcxCustomGridRecord::Invalidate(TcxCustomGridTableItem* AItem)
{
    GridView()->Changed(new TcxGridRecordChange(GridView(), AItem, FIndex, IsNewItemRecord()));
}

bool TcxCustomGridRecord::IsFocused() const
{
    if (IsNewItemRecord()) return DataController()->IsNewItemRowFocused();
    return DataController()->GetFocusedRowIndex() == FIndex;
}

void TcxCustomGridRecord::SetFocused(bool AValue)
{
    if (AValue)
        Controller()->SetFocusedRecord(const_cast<TcxCustomGridRecord*>(this));
    else if (IsFocused())
        Controller()->SetFocusedRecord(nullptr);
}

bool TcxCustomGridRecord::IsDragHighlighted() const
{
    return Controller()->DragHighlightedRecord() == this;
}

void TcxCustomGridRecord::MakeVisible() { Controller()->MakeRecordVisible(this); }

// ---- the table controller ------------------------------------------------------------------------------

namespace {
IcxGridDataController* GridDataControllerOf(TcxCustomGridTableView* AView)
{
    return dynamic_cast<IcxGridDataController*>(AView->TcxCustomGridView::DataController());
}
}  // namespace

TcxCustomGridTableController::~TcxCustomGridTableController() = default;

// ---- the in-place editor

TcxGridClassRef<TcxGridEditingController, TcxCustomGridTableController*>
TcxCustomGridTableController::GetEditingControllerClass()
{
    return TcxGridClassRef<TcxGridEditingController, TcxCustomGridTableController*>::Of<TcxGridEditingController>();
}

TcxGridEditingController* TcxCustomGridTableController::EditingController()
{
    if (!FEditingController) FEditingController.reset(GetEditingControllerClass().Create(this));
    return FEditingController.get();
}

bool TcxCustomGridTableController::IsEditing() { return EditingController()->IsEditing(); }

void TcxCustomGridTableController::SetEditingItem(TcxCustomGridTableItem* AValue)
{
    EditingController()->SetEditingItem(AValue);
}

void TcxCustomGridTableController::UpdateEditor()
{
    EditorCheckPending = false;
    if (!EditorCheckAllowed || !GridView()->OptionsBehavior()->AlwaysShowEditor) return;
    TcxGridEditingController* editing = EditingController();
    TcxCustomGridRecord* record = GetFocusedRecord();
    if (editing->IsEditing() && !(record && record->HasCells()))
        editing->HideEdit(false);
    else
        editing->ShowEdit();
}

bool TcxCustomGridTableController::IsKeyForController(WORD AKey, TShiftState)
{
    switch (AKey) {
    case VK_TAB:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT: return true;
    case VK_LEFT:
    case VK_RIGHT: return GridView()->OptionsBehavior()->AlwaysShowEditor;
    default: return false;
    }
}

void TcxCustomGridTableController::BeforePaint()
{
    TcxCustomGridController::BeforePaint();
    if (FEditingController && FEditingController->EditUpdateNeeded()) FEditingController->ApplyEditUpdate();
}

void TcxCustomGridTableController::AfterPaint()
{
    TcxCustomGridController::AfterPaint();
    if (EditorCheckPending) UpdateEditor();
}

void TcxCustomGridTableController::BeforeKillFocus()
{
    TcxCustomGridController::BeforeKillFocus();
    TcxGridViewGuard guard(GridView());
    EditingController()->HideEdit(!GridView()->IsDestroying());
    if (!guard.Alive()) return;
    TcxCustomDataController* dc = DataController();
    if (dc->IsEditing()) dc->Post();
}

void TcxCustomGridTableController::DoEnter()
{
    TcxCustomGridController::DoEnter();
    UpdateEditor();
}

bool TcxCustomGridTableController::MayFocus()
{
    if (!TcxCustomGridController::MayFocus()) return false;
    // Leaving an open editor for the site needs a value the editor takes.
    TcxGridSite* site = Site();
    TcxGridEditingController* editing = EditingController();
    if (site && site->Focused() && editing->Edit()) {
        if (GridView()->OptionsBehavior()->AlwaysShowEditor) return false;
        return editing->Edit()->ValidateEdit(true);
    }
    return true;
}

void TcxCustomGridTableController::BeginDragAndDrop()
{
    EditingController()->HideEdit(true);
    TcxCustomGridController::BeginDragAndDrop();
}

void TcxCustomGridTableController::EndDragAndDrop(bool Accepted)
{
    TcxCustomGridController::EndDragAndDrop(Accepted);
    UpdateEditor();
}

void TcxCustomGridTableController::BeforeOffset()
{
    if (FEditingController) FEditingController->EditNotPlaced();
}

void TcxCustomGridTableController::AfterOffset()
{
    if (FEditingController) {
        FEditingController->UpdateEditPosition();
        FEditingController->HideEditOnScroll();
    }
    if (Site()) Site()->UpdateScrollBars();
}

bool TcxCustomGridTableController::HasFocusedControls()
{
    return TcxCustomGridController::HasFocusedControls() || (FEditingController && FEditingController->IsEditFocused());
}

TcxCustomGridTableView* TcxCustomGridTableController::GridView() const
{
    return static_cast<TcxCustomGridTableView*>(TcxCustomGridController::GridView());
}
TcxCustomDataController* TcxCustomGridTableController::DataController() const { return GridView()->DataController(); }
TcxCustomGridTableViewData* TcxCustomGridTableController::ViewData() const { return GridView()->ViewData(); }
TcxCustomGridTableViewInfo* TcxCustomGridTableController::ViewInfo() const { return GridView()->TableViewInfo(); }

int TcxCustomGridTableController::GetSelectedRecordCount() { return DataController()->GetSelectedCount(); }

TcxCustomGridRecord* TcxCustomGridTableController::GetSelectedRecord(int AIndex)
{
    if (AIndex < 0 || AIndex >= GetSelectedRecordCount()) return nullptr;
    int row = DataController()->GetSelectedRowIndex(AIndex);
    return row == -1 ? nullptr : ViewData()->GetRecordByIndex(row);
}

int TcxCustomGridTableController::GetFocusedItemIndex() const { return FFocusedItem ? FFocusedItem->VisibleIndex() : -1; }

int TcxCustomGridTableController::GetFocusedRowIndex() { return DataController()->GetFocusedRowIndex(); }

TcxCustomGridRecord* TcxCustomGridTableController::GetFocusedRecord()
{
    if (DataController()->IsNewItemRowFocused() && ViewData()->NewItemRecord()) return ViewData()->NewItemRecord();
    return ViewData()->GetRecordByIndex(GetFocusedRowIndex());
}

bool TcxCustomGridTableController::FocusRecord(int ARowIndex, bool ASelect)
{
    if (ARowIndex != -1) {
        TcxCustomGridRecord* record = ViewData()->GetRecordByIndex(ARowIndex);
        if (!record || !record->CanFocus()) return false;
    }
    bool refocus = ARowIndex != -1 && ARowIndex == GetFocusedRowIndex();
    // The events of the focus change (the record's, the top record's, the
    // grid's focused view's) may free the view; the move ends there.
    TcxGridViewGuard guard(GridView());
    if (!DataController()->ChangeFocusedRowIndex(ARowIndex) || !guard.Alive()) return false;
    if (FFocusingTakesFocus) {
        if (refocus) MakeFocusedRecordVisible();
        if (!guard.Alive()) return false;
        if (GetFocusedRecord()) GridView()->SetFocused(true);
        if (!guard.Alive()) return false;
    }
    if (ASelect && CanMultiSelect(true)) {
        DataController()->SetSelectionAnchor(GetFocusedRowIndex());
        SelectFocusedRecordOnly();
    }
    return true;
}

void TcxCustomGridTableController::SetFocusedRecord(TcxCustomGridRecord* ARecord)
{
    if (ARecord && ARecord->IsNewItemRecord()) {
        DataController()->SetNewItemRowFocused(true);
        return;
    }
    FocusRecord(ARecord ? ARecord->Index() : -1, false);
}

bool TcxCustomGridTableController::ProcessFocusedRowMove(int ARowIndex, bool ASelect)
{
    return ARowIndex != -1 && FocusRecord(ARowIndex, ASelect);
}


bool TcxCustomGridTableController::FocusNextRecord(int ARowIndex, bool AGoForward, bool AGoIntoDetail,
                                                   bool AGoOnCycle, bool ASelect)
{
    auto* dc = DataController();
    TcxCustomGridTableView* view = GridView();
    TcxGridViewGuard guard(view);
    // Leaving an edited record posts it; an untouched inserted record is
    // dropped when the move leaves it (forward off a row that is not the
    // last, or backward off the last).
    if (dc->IsEditing()) {
        EditingController()->UpdateValue();
        TcxDataControllerEditState state = dc->GetEditState();
        if (state & cesModified) {
            dc->Post();
            if (!guard.Alive()) return false;
            if (ARowIndex != -1) ARowIndex = GetFocusedRowIndex();
        } else if (state == cesInserting) {
            bool onLast = ARowIndex == ViewData()->RecordCount() - 1;
            if (AGoForward != onLast) {
                dc->Cancel();
                return true;
            }
        }
    }
    bool gridMode = dc->IsGridMode();
    if (gridMode && ARowIndex == -1) {
        if (AGoForward)
            dc->GotoFirst();
        else if (AGoOnCycle)
            dc->GotoLast();
        if (!guard.Alive()) return false;
    }
    // The record focus goes to; it may belong to a master or a detail view.
    TcxCustomGridRecord* target = nullptr;
    if (AGoIntoDetail && AGoForward && ARowIndex != -1)
        if (TcxCustomGridRecord* record = ViewData()->GetRecordByIndex(ARowIndex)) target = record->GetFirstFocusableChild();
    if (!target) {
        // A grid-mode buffer moves on by one record at its ends; the
        // starting row follows the record it held.
        if (gridMode && ARowIndex != -1 &&
            ((AGoForward && ARowIndex == ViewData()->RecordCount() - 1) || (!AGoForward && ARowIndex == 0))) {
            int focusedBefore = GetFocusedRowIndex();
            dc->Scroll(AGoForward ? 1 : -1);
            if (!guard.Alive()) return false;
            if (focusedBefore != -1 && ARowIndex == focusedBefore) ARowIndex = GetFocusedRowIndex();
        }
        int count = ViewData()->RecordCount();
        auto canFocus = [&](int i) { return ViewData()->GetRecord(i)->CanFocus(); };
        int row = -1;
        if (count > 0) {
            if (AGoForward) {
                for (int i = ARowIndex + 1; i < count && row < 0; ++i)
                    if (canFocus(i)) row = i;
                if (row < 0 && AGoOnCycle)
                    for (int i = 0; i <= std::min(ARowIndex, count - 1) && row < 0; ++i)
                        if (canFocus(i)) row = i;
            } else {
                int from = ARowIndex == -1 ? (AGoOnCycle ? count : -1) : ARowIndex;
                for (int i = from - 1; i >= 0 && row < 0; --i)
                    if (canFocus(i)) row = i;
                if (row < 0 && AGoOnCycle && ARowIndex != -1)
                    for (int i = count - 1; i >= ARowIndex && row < 0; --i)
                        if (canFocus(i)) row = i;
            }
        }
        if (row >= 0) target = ViewData()->GetRecord(row);
    }
    if (!target) {
        if (AGoForward && view->OptionsData()->Appending && CanAppend()) {
            CreateNewRecord(true);
            return guard.Alive();
        }
        TcxCustomGridTableController* master = GetMasterController();
        if (!master) return false;
        int masterRow = view->MasterGridRecordIndex();
        TcxCustomGridRecord* masterRecord = master->ViewData()->GetRecordByIndex(masterRow);
        if (!AGoForward && masterRecord && masterRecord->CanFocus())
            target = masterRecord;
        else if (gridMode)
            return false;
        else
            return master->FocusNextRecord(masterRow, AGoForward, !AGoForward, AGoOnCycle, ASelect);
    }
    if (AGoIntoDetail && !AGoForward)
        if (TcxCustomGridRecord* child = target->GetLastFocusableChild(true)) target = child;
    return FocusRecordOfView(target, ASelect);
}

bool TcxCustomGridTableController::FocusRecordOfView(TcxCustomGridRecord* ARecord, bool ASelect)
{
    TcxCustomGridTableView* view = GridView();
    TcxGridViewGuard guard(view);
    bool wasFocusedView = view->IsFocusedView();
    int prevRow = GetFocusedRowIndex();
    TcxCustomGridTableController* controller = ARecord->Controller();
    bool done = true;
    if (ARecord->IsNewItemRecord())
        controller->SetFocusedRecord(ARecord);
    else
        done = controller->FocusRecord(ARecord->Index(), ASelect && controller == this);
    if (!guard.Alive()) return false;
    if (!done || view->IsFocusedView() == wasFocusedView) return done;
    // The focus went to a master or a detail: the record left keeps no
    // lone selection, and the view now focused selects its focused record.
    auto* dc = DataController();
    if (view->OptionsSelection()->UnselectFocusedRecordOnExit && GetMultiSelect() && prevRow >= 0 &&
        dc->GetSelectedCount() == 1 && dc->GetSelectedRowIndex(0) == prevRow)
        dc->ChangeRowSelection(prevRow, false);
    TcxCustomGrid* grid = view->Grid();
    if (auto* focused = DynamicCast<TcxCustomGridTableView>(grid ? grid->FocusedView() : nullptr)) {
        TcxCustomGridTableController* focusedController = focused->Controller();
        if (focusedController->CanMultiSelect(true) && focusedController->GetFocusedRowIndex() >= 0) {
            focused->DataController()->SetSelectionAnchor(focusedController->GetFocusedRowIndex());
            focusedController->SelectFocusedRecordOnly();
        }
    }
    return done;
}

TcxCustomGridTableController* TcxCustomGridTableController::GetMasterController()
{
    TcxCustomGridTableView* view = GridView();
    auto* master = DynamicCast<TcxCustomGridTableView>(view->IsDetail() ? view->MasterGridView() : nullptr);
    return master ? master->Controller() : nullptr;
}

void TcxCustomGridTableController::DetailFocused(TcxCustomGridView* ADetail)
{
    int row = ADetail ? ADetail->MasterGridRecordIndex() : -1;
    if (row < 0) return;
    TcxGridViewGuard guard(GridView());
    FFocusingTakesFocus = false;
    try {
        FocusRecord(row, false);
    } catch (...) {
        if (guard.Alive()) FFocusingTakesFocus = true;
        throw;
    }
    if (guard.Alive()) FFocusingTakesFocus = true;
}

bool TcxCustomGridTableController::GoToFirst() { return FocusNextRecord(-1, true, false, false, true); }
bool TcxCustomGridTableController::GoToLast(bool AGoIntoDetail) { return FocusNextRecord(-1, false, AGoIntoDetail, true, true); }
bool TcxCustomGridTableController::GoToNext(bool AGoIntoDetail, bool ASelect)
{
    return FocusNextRecord(GetFocusedRowIndex(), true, AGoIntoDetail, false, ASelect);
}
bool TcxCustomGridTableController::GoToPrev(bool AGoIntoDetail, bool ASelect)
{
    return FocusNextRecord(GetFocusedRowIndex(), false, AGoIntoDetail, false, ASelect);
}

bool TcxCustomGridTableController::IsFocusedRecordFirst()
{
    for (int i = GetFocusedRowIndex() - 1; i >= 0; --i)
        if (ViewData()->GetRecord(i)->CanFocus()) return false;
    return true;
}

bool TcxCustomGridTableController::IsFocusedRecordLast()
{
    for (int i = GetFocusedRowIndex() + 1; i < ViewData()->RecordCount(); ++i)
        if (ViewData()->GetRecord(i)->CanFocus()) return false;
    return true;
}

int TcxCustomGridTableController::FindNextItem(int AFocusedItemIndex, bool AGoForward, bool AGoOnCycle,
                                               bool& ACycleChanged)
{
    ACycleChanged = false;
    TcxCustomGridTableView* view = GridView();
    int count = view->VisibleItemCount();
    if (count == 0) return -1;
    auto canFocus = [&](int i) { return view->GetVisibleItem(i)->CanFocus(); };
    if (AGoForward) {
        for (int i = AFocusedItemIndex + 1; i < count; ++i)
            if (canFocus(i)) return i;
        if (!AGoOnCycle) return -1;
        ACycleChanged = true;
        // After wrapping the starting item is tried last, so a lone focusable item finds itself.
        for (int i = 0; i <= std::min(AFocusedItemIndex, count - 1); ++i)
            if (canFocus(i)) return i;
    } else {
        int from = AFocusedItemIndex;
        if (from == -1) {
            if (!AGoOnCycle) return -1;
            from = count;
        }
        for (int i = from - 1; i >= 0; --i)
            if (canFocus(i)) return i;
        if (!AGoOnCycle || AFocusedItemIndex == -1) return -1;
        ACycleChanged = true;
        for (int i = count - 1; i >= AFocusedItemIndex; --i)
            if (canFocus(i)) return i;
    }
    ACycleChanged = false;
    return -1;
}

bool TcxCustomGridTableController::FocusNextItem(int AFocusedItemIndex, bool AGoForward, bool AGoOnCycle,
                                                 bool AGoToNextRecordOnCycle)
{
    bool cycled = false;
    int index = FindNextItem(AFocusedItemIndex, AGoForward, AGoOnCycle || AGoToNextRecordOnCycle, cycled);
    if (index == -1) return false;
    if (cycled && AGoToNextRecordOnCycle) {
        if (DataController()->IsNewItemRowFocused()) {
            DataController()->Post();
        } else {
            if (!FocusNextRecord(GetFocusedRowIndex(), AGoForward, false, true)) return false;
            TcxCustomGridRecord* record = GetFocusedRecord();
            if (!record || !record->HasCells()) return false;
        }
    }
    SetFocusedItem(GridView()->GetVisibleItem(index));
    return true;
}

bool TcxCustomGridTableController::FocusNextCell(bool AGoForward, bool ACellsOnly)
{
    TcxCustomGridTableView* view = GridView();
    TcxCustomGridRecord* record = GetFocusedRecord();
    bool cycle = view->OptionsBehavior()->FocusCellOnCycle;
    if (record && record->HasCells() && view->OptionsSelection()->CellSelect())
        return FocusNextItem(GetFocusedItemIndex(), AGoForward, false, cycle);
    if (ACellsOnly || !cycle) return false;
    if (!FocusNextRecord(GetFocusedRowIndex(), AGoForward, false, true)) return false;
    record = GetFocusedRecord();
    if (record && record->HasCells()) FocusNextItem(AGoForward ? -1 : view->VisibleItemCount(), AGoForward, false, false);
    return true;
}

bool TcxCustomGridTableController::FocusFirstAvailableItem() { return FocusNextItem(-1, true, false, false); }

void TcxCustomGridTableController::SetFocusedItem(TcxCustomGridTableItem* AValue)
{
    if (AValue && !AValue->CanFocus()) return;
    if (AValue == FFocusedItem) {
        MakeFocusedItemVisible();
        return;
    }
    // The editor of the item left takes its value first; an invalid one keeps the focus here.
    if (FFocusedItem && !EditingController()->IsSettingEditingItem()) EditingController()->HideEdit(true);
    TcxCustomGridTableItem* prev = FFocusedItem;
    FFocusedItem = AValue;
    FocusedItemChanged(prev);
    UpdateEditor();
}

void TcxCustomGridTableController::FocusedItemChanged(TcxCustomGridTableItem* APrevFocusedItem)
{
    TcxCustomGridTableView* view = GridView();
    if (view->ComponentState().Contains(csLoading) || view->IsDestroying()) return;
    CancelIncSearching();
    MakeFocusedItemVisible();
    if (TcxCustomGridRecord* record = GetFocusedRecord()) {
        if (APrevFocusedItem) record->Invalidate(APrevFocusedItem);
        if (FFocusedItem) record->Invalidate(FFocusedItem);
    }
    if (!APrevFocusedItem || !FFocusedItem) view->RefreshNavigators();
    view->DoFocusedItemChanged(APrevFocusedItem, FFocusedItem);
}

// A handler of the top record's change may free the view while a page moves.
void TcxCustomGridTableController::FocusNextPage(bool ASelect)
{
    TcxGridViewGuard guard(GridView());
    MakeFocusedRecordVisible();
    if (!guard.Alive()) return;
    if (GetFocusedRowIndex() == LastVisibleRecordIndex()) ScrollPageDown();
    if (!guard.Alive()) return;
    int row = LastVisibleRecordIndex();
    if (row >= 0) FocusRecord(row, ASelect);
}

void TcxCustomGridTableController::FocusPrevPage(bool ASelect)
{
    TcxGridViewGuard guard(GridView());
    MakeFocusedRecordVisible();
    if (!guard.Alive()) return;
    if (GetFocusedRowIndex() == FTopRecordIndex) ScrollPageUp();
    if (!guard.Alive()) return;
    if (FTopRecordIndex < ViewData()->RecordCount()) FocusRecord(FTopRecordIndex, ASelect);
}

void TcxCustomGridTableController::MakeRecordVisible(TcxCustomGridRecord* ARecord)
{
    TcxCustomGridTableView* view = GridView();
    TcxCustomGrid* grid = view->Grid();
    if (!ARecord || ARecord->IsNewItemRecord() || !grid) return;
    // A click in a detail must not scroll the masters under the mouse.
    auto* focused = DynamicCast<TcxCustomGridTableView>(grid->FocusedView());
    if (focused && focused != view && focused->HasAsMaster(view) && focused->IsCellMouseDown) return;
    TcxGridViewGuard guard(view);
    int index = ARecord->Index();
    if (index < FTopRecordIndex) {
        SetTopRecordIndex(index);
    } else if (VisibleRecordCount() == 0) {
        if (index > FTopRecordIndex) SetTopRecordIndex(index);
    } else {
        while (index >= FTopRecordIndex + VisibleRecordCount()) {
            int prevTop = FTopRecordIndex;
            SetTopRecordIndex(index - GetVisibleRecordCount(index, false) + 1);
            // OnTopRecordIndexChanged may have freed the view.
            if (!guard.Alive()) return;
            if (FTopRecordIndex == prevTop) break;
        }
    }
    if (!guard.Alive()) return;
    // The whole master chain scrolls so that the detail shows.
    if (view->IsDetail() && !view->IsCellMouseDown)
        if (TcxCustomGridTableController* master = GetMasterController())
            if (TcxCustomGridRecord* masterRecord =
                    master->ViewData()->GetRecordByIndex(view->MasterGridRecordIndex()))
                master->MakeRecordVisible(masterRecord);
}

int TcxCustomGridTableController::GetVisibleRecordCount(int AFirstRecordIndex, bool ACalculateDown)
{
    TcxCustomGridTableViewInfo* viewInfo = ViewInfo();
    if (!viewInfo || IsRectEmpty(viewInfo->ClientBounds) || AFirstRecordIndex < 0) return 0;
    int count = ViewData()->RecordCount();
    int available = ACalculateDown ? count - AFirstRecordIndex : AFirstRecordIndex + 1;
    if (available <= 0) return 0;
    int perPage = viewInfo->GetRecordsPerPage();
    if (GridView()->IsEqualHeightRecords() && perPage != -1) return std::min(perPage, available);
    // A trial layout of the same class from that record in that direction.
    std::unique_ptr<TcxCustomGridViewInfo> trial(GridView()->GetViewInfoClass().Create(GridView()));
    auto* tableTrial = DynamicCast<TcxCustomGridTableViewInfo>(trial.get());
    if (!tableTrial) return 0;
    tableTrial->SetFirstRecordIndex(AFirstRecordIndex);
    tableTrial->CalculateDown = ACalculateDown;
    tableTrial->SetDetached(true);
    tableTrial->Calculate(viewInfo->Site()->BoundsRect());
    int result = tableTrial->VisibleRecordCount();
    trial->BeforeDestruction();
    return result;
}

int TcxCustomGridTableController::VisibleRecordCount()
{
    TcxCustomGridTableViewInfo* viewInfo = ViewInfo();
    return viewInfo ? viewInfo->VisibleRecordCount() : 0;
}

int TcxCustomGridTableController::LastVisibleRecordIndex()
{
    int count = VisibleRecordCount();
    return count == 0 ? -1 : FTopRecordIndex + count - 1;
}

int TcxCustomGridTableController::GetMaxTopRecordIndex()
{
    int count = ViewData()->RecordCount();
    if (count == 0) return 0;
    return count - GetVisibleRecordCount(count - 1, false);
}

void TcxCustomGridTableController::CheckTopRecordIndexValue(int& AValue)
{
    if (FTopRecordIndexChecking) return;
    FTopRecordIndexChecking = true;
    int count = ViewData()->RecordCount();
    auto* dc = DataController();
    // A grid-mode buffer first moves towards a top beyond its ends.
    bool gridMode = dc->IsGridMode();
    if (AValue < 0) {
        if (gridMode && !dc->IsBOF()) dc->Scroll(AValue);
        AValue = 0;
    }
    if (AValue > count - 1) {
        if (gridMode && !dc->IsEOF()) dc->Scroll(AValue - (count - 1));
        count = ViewData()->RecordCount();
        AValue = count - 1;
    }
    int maxTop = GetMaxTopRecordIndex();
    if (AValue > maxTop) {
        if (gridMode && !GridModeScrollLock && !dc->IsEOF() && !(dc->GetEditState() & cesInserting)) {
            dc->Scroll(AValue - maxTop);
            maxTop = GetMaxTopRecordIndex();
        }
        AValue = maxTop;
    }
    if (AValue < 0) AValue = 0;
    FTopRecordIndexChecking = false;
}

void TcxCustomGridTableController::SetTopRecordIndex(int AValue)
{
    CheckTopRecordIndexValue(AValue);
    SetTopRecordIndexUnchecked(AValue);
}

void TcxCustomGridTableController::SetTopRecordIndexUnchecked(int AValue)
{
    if (FTopRecordIndex == AValue) return;
    int delta = AValue - FTopRecordIndex;
    FTopRecordIndex = AValue;
    TcxCustomGridTableView* view = GridView();
    if (AValue != -1) {
        TcxCustomGridTableViewInfo* viewInfo = ViewInfo();
        bool saved = viewInfo ? viewInfo->CheckTopRecord : true;
        if (viewInfo) viewInfo->CheckTopRecord = false;
        if (view->CanOffset(delta))
            view->Offset(delta, 0, 0);
        else if (view->IsMaster())
            view->SizeChanged(!view->IsDetail(), false);
        else
            view->LayoutChanged(true);
        if (viewInfo && view->TableViewInfo() == viewInfo) viewInfo->CheckTopRecord = saved;
    }
    view->DoTopRecordIndexChanged();
}

void TcxCustomGridTableController::ScrollRecords(bool AForward, int ACount)
{
    if (IcxGridDataController* gdc = GridDataControllerOf(GridView()); gdc && gdc->DoScroll(AForward)) return;
    SetTopRecordIndex(FTopRecordIndex + (AForward ? ACount : -ACount));
}

void TcxCustomGridTableController::ScrollPage(bool AForward)
{
    if (IcxGridDataController* gdc = GridDataControllerOf(GridView()); gdc && gdc->DoScrollPage(AForward)) return;
    if (AForward)
        ScrollPageDown();
    else
        ScrollPageUp();
}

int TcxCustomGridTableController::GetScrollBarOffsetBegin()
{
    auto* dc = DataController();
    return dc->IsGridMode() && !dc->IsBOF() ? 1 : 0;
}

int TcxCustomGridTableController::GetScrollBarOffsetEnd()
{
    auto* dc = DataController();
    return dc->IsGridMode() && !dc->IsEOF() ? 1 : 0;
}

int TcxCustomGridTableController::GetScrollBarPos()
{
    IcxGridDataController* gdc = GridDataControllerOf(GridView());
    int pos = gdc ? gdc->GetScrollBarPos() : -1;
    return pos != -1 ? pos : GetScrollBarOffsetBegin() + FTopRecordIndex;
}

int TcxCustomGridTableController::GetScrollBarRecordCount()
{
    IcxGridDataController* gdc = GridDataControllerOf(GridView());
    int count = gdc ? gdc->GetScrollBarRecordCount() : -1;
    return count != -1 ? count : GetScrollBarOffsetBegin() + ViewData()->RecordCount() + GetScrollBarOffsetEnd();
}

void TcxCustomGridTableController::SetScrollBarPos(int AValue)
{
    if (IcxGridDataController* gdc = GridDataControllerOf(GridView()); gdc && gdc->SetScrollBarPos(AValue)) return;
    if (DataController()->IsGridMode())
        SetTopRecordIndex(AValue - GetScrollBarOffsetBegin());
    else
        SetTopRecordIndexUnchecked(AValue);
}

bool TcxCustomGridTableController::CanHScrollBarHide()
{
    TcxCustomGridTableViewInfo* viewInfo = ViewInfo();
    TcxNavigatorSiteViewInfo* navigator = viewInfo ? viewInfo->NavigatorSiteViewInfo() : nullptr;
    return !navigator || !navigator->GetVisible();
}

bool TcxCustomGridTableController::GetMultiSelect() const { return GridView()->OptionsSelection()->MultiSelect(); }

bool TcxCustomGridTableController::CanMultiSelect(bool ACheckFocusedView)
{
    return GetMultiSelect() && (!ACheckFocusedView || GridView()->IsFocusedView());
}

void TcxCustomGridTableController::ClearSelection() { DataController()->ClearSelection(); }
void TcxCustomGridTableController::SelectAll() { DataController()->SelectAll(); }

void TcxCustomGridTableController::SelectFocusedRecordOnly()
{
    TcxCustomDataController* dc = DataController();
    int row = GetFocusedRowIndex();
    if (row < 0) return;
    if (dc->GetSelectedCount() == 1 && dc->GetSelectedRowIndex(0) == row) return;
    GridView()->BeginUpdate();
    try {
        dc->ClearSelection();
        dc->ChangeRowSelection(row, true);
    } catch (...) {
        GridView()->EndUpdate();
        throw;
    }
    GridView()->EndUpdate();
}

void TcxCustomGridTableController::ToggleFocusedRecordSelection()
{
    int row = GetFocusedRowIndex();
    if (row >= 0) DataController()->ChangeRowSelection(row, !DataController()->IsRowSelected(row));
}

bool TcxCustomGridTableController::IsKeyForMultiSelect(WORD AKey, TShiftState, bool AFocusedRecordChanged)
{
    return AKey == VK_SPACE || AKey == VK_PRIOR || AKey == VK_NEXT || AFocusedRecordChanged;
}

namespace {
TShiftState ModifierKeys(TShiftState AShift)
{
    TShiftState r;
    for (TShiftStateItem k : {ssShift, ssAlt, ssCtrl})
        if (AShift.Contains(k)) r.Include(k);
    return r;
}
}  // namespace

void TcxCustomGridTableController::DoKeyMultiSelect(WORD AKey, TShiftState AShift)
{
    TcxCustomDataController* dc = DataController();
    TShiftState mods = ModifierKeys(AShift);
    if (AKey == VK_SPACE && mods == TShiftState{ssCtrl}) {
        ToggleFocusedRecordSelection();
        FSkipNextChar = true;
        return;
    }
    if (AKey != 0 && AShift.Contains(ssShift)) {
        if (dc->GetEditState() & cesInserting) return;
        if (GetFocusedRowIndex() < 0) return;
        dc->SelectFromAnchor(GetFocusedRowIndex(), false);
        return;
    }
    if (GetFocusedRowIndex() < 0) return;
    dc->SetSelectionAnchor(GetFocusedRowIndex());
    if (mods != TShiftState{ssCtrl}) SelectFocusedRecordOnly();
}

bool TcxCustomGridTableController::CanProcessSelectionClick(TcxCustomGridHitTest* AHitTest)
{
    auto* hit = DynamicCast<TcxGridRecordHitTest>(AHitTest);
    if (!CanMultiSelect(false) || !hit || !hit->CanClick()) return false;
    TcxCustomGridRecord* record = hit->GridRecord();
    return record && record == GetFocusedRecord();
}

void TcxCustomGridTableController::DoMouseDownSelection(TcxCustomGridHitTest* AHitTest, TShiftState AShift,
                                                        bool ADoubleClick)
{
    TcxCustomDataController* dc = DataController();
    TShiftState mods = ModifierKeys(AShift);
    TcxCustomGridRecord* record = static_cast<TcxGridRecordHitTest*>(AHitTest)->GridRecord();
    int row = record->Index();
    bool selected = dc->IsRowSelected(row);
    if (mods.Empty() || mods == TShiftState{ssCtrl}) dc->SetSelectionAnchor(row);
    if (mods == TShiftState{ssCtrl}) {
        if (selected && !ADoubleClick) {
            FClickSelectionPending = true;
            FPendingClickRow = row;
        } else {
            ToggleFocusedRecordSelection();
        }
    } else if (mods == TShiftState{ssShift} || mods == TShiftState{ssShift, ssCtrl}) {
        dc->SelectFromAnchor(row, mods.Contains(ssCtrl));
    } else if (selected && !ADoubleClick) {
        FClickSelectionPending = true;
        FPendingClickRow = row;
    } else {
        SelectFocusedRecordOnly();
    }
}

void TcxCustomGridTableController::DoMouseUpSelection(TcxCustomGridHitTest* AHitTest, TShiftState AShift)
{
    auto* hit = DynamicCast<TcxGridRecordHitTest>(AHitTest);
    if (FClickSelectionPending && hit && hit->RecordIndex == FPendingClickRow) {
        if (ModifierKeys(AShift) == TShiftState{ssCtrl})
            ToggleFocusedRecordSelection();
        else
            SelectFocusedRecordOnly();
    }
}

void TcxCustomGridTableController::InvalidateFocusedRecord()
{
    if (TcxCustomGridRecord* record = GetFocusedRecord()) record->Invalidate();
}

void TcxCustomGridTableController::InvalidateSelection()
{
    TcxCustomDataController* dc = DataController();
    for (int i = 0; i < dc->GetSelectedCount(); ++i)
        if (TcxCustomGridRecord* record = ViewData()->GetRecordByIndex(dc->GetSelectedRowIndex(i))) record->Invalidate();
    InvalidateFocusedRecord();
}

bool TcxCustomGridTableController::CanAppend()
{
    TcxCustomDataController* dc = DataController();
    return (dc->GetEditOperations() & ceoAppend) && !(dc->GetEditState() & cesInserting);
}

bool TcxCustomGridTableController::CanDelete(bool ACheckOptions)
{
    return (DataController()->GetEditOperations() & ceoDelete) &&
           (!ACheckOptions || GridView()->OptionsData()->Deleting());
}

bool TcxCustomGridTableController::CanEdit()
{
    TcxDataControllerEditOperations ops = DataController()->GetEditOperations();
    return FFocusedItem && GridView()->OptionsData()->Editing() && (ops & ceoEdit) && (ops & ceoCellEditing);
}

bool TcxCustomGridTableController::CanInsert(bool ACheckOptions)
{
    return (DataController()->GetEditOperations() & ceoInsert) &&
           (!ACheckOptions || GridView()->OptionsData()->Inserting());
}

void TcxCustomGridTableController::CreateNewRecord(bool AAppend)
{
    TcxCustomDataController* dc = DataController();
    bool wasEditing = IsEditing();
    if (AAppend) {
        if (!CanAppend()) return;
        dc->Append();
    } else {
        if (!CanInsert(false)) return;
        dc->Insert();
        if (dc->MultiSelect() && GetFocusedRowIndex() >= 0) SelectFocusedRecordOnly();
    }
    if ((dc->GetEditState() & cesInserting) && GridView()->OptionsBehavior()->FocusFirstCellOnNewRecord) {
        FocusFirstAvailableItem();
        if (wasEditing) EditingController()->ShowEdit();
    }
}

void TcxCustomGridTableController::DeleteSelection()
{
    if (!CanDelete(false)) return;
    TcxCustomDataController* dc = DataController();
    int selected = dc->GetSelectedCount();
    bool deleteSelection =
        dc->MultiSelect() && selected > 0 && (selected > 1 || dc->GetSelectedRowIndex(0) != GetFocusedRowIndex());
    if (GridView()->OptionsData()->DeletingConfirmation) {
        std::string text = cxClasses::GetResourceString(deleteSelection ? &cxSGridDeletingSelectedConfirmationText
                                                                    : &cxSGridDeletingFocusedConfirmationText);
        if (MessageBox(text, cxClasses::GetResourceString(&cxSGridDeletingConfirmationCaption),
                       MB_ICONQUESTION | MB_OKCANCEL) != IDOK)
            return;
    }
    if (deleteSelection)
        dc->DeleteSelection();
    else
        dc->DeleteFocused();
}

bool TcxCustomGridTableController::IsUnchangedNewRecordCancelledOnExit()
{
    return GridView()->OptionsData()->CancelOnExit && DataController()->GetEditState() == cesInserting;
}

bool TcxCustomGridTableController::IsIncSearching() { return DataController()->Search()->Searching(); }

std::string TcxCustomGridTableController::GetIncSearchingText() { return DataController()->Search()->SearchText(); }

TcxCustomGridTableItem* TcxCustomGridTableController::GetIncSearchingItem()
{
    if (!IsIncSearching()) return nullptr;
    int index = DataController()->Search()->ItemIndex();
    return index >= 0 && index < GridView()->ItemCount() ? GridView()->GetItem(index) : nullptr;
}

TcxCustomGridTableItem* TcxCustomGridTableController::GetIncSearchItem()
{
    TcxCustomGridTableView* view = GridView();
    if (view->OptionsSelection()->CellSelect()) return FFocusedItem;
    if (TcxCustomGridTableItem* item = view->OptionsBehavior()->IncSearchItem()) return item;
    return view->VisibleItemCount() > 0 ? view->GetVisibleItem(0) : nullptr;
}

void TcxCustomGridTableController::SetIncSearchingText(const std::string& AValue)
{
    if (AValue == GetIncSearchingText()) return;
    TcxCustomGridTableItem* item = IsIncSearching() ? GetIncSearchingItem() : GetIncSearchItem();
    if (!item) return;
    if (AValue.empty())
        CancelIncSearching();
    else
        DataController()->Search()->Locate(item->Index(), AValue);
}

void TcxCustomGridTableController::CancelIncSearching()
{
    if (DataController() && IsIncSearching()) DataController()->Search()->Cancel();
}

void TcxCustomGridTableController::IncSearchKeyDown(WORD& AKey, TShiftState AShift)
{
    TShiftState mods = ModifierKeys(AShift);
    switch (AKey) {
    case VK_BACK: {
        std::string text = GetIncSearchingText();
        // Drops the last character, not the last byte of one.
        size_t n = text.size();
        while (n > 0 && (static_cast<unsigned char>(text[n - 1]) & 0xC0) == 0x80) --n;
        SetIncSearchingText(text.substr(0, n > 0 ? n - 1 : 0));
        AKey = 0;
        break;
    }
    case VK_ESCAPE:
        CancelIncSearching();
        AKey = 0;
        break;
    case VK_UP:
    case VK_DOWN:
        if (mods == TShiftState{ssCtrl}) {
            DataController()->Search()->LocateNext(AKey == VK_DOWN);
            AKey = 0;
        }
        break;
    default: break;
    }
}

TcxCustomGridRecord* TcxCustomGridTableController::DragHighlightedRecord()
{
    return ViewData()->GetRecordByIndex(FDragHighlightedRow);
}

void TcxCustomGridTableController::SetDragHighlightedRecord(TcxCustomGridRecord* AValue)
{
    int row = AValue ? AValue->Index() : -1;
    if (row == FDragHighlightedRow) return;
    TcxCustomGridRecord* prev = DragHighlightedRecord();
    FDragHighlightedRow = row;
    if (prev) prev->Invalidate();
    if (AValue) AValue->Invalidate();
}

void TcxCustomGridTableController::KeyDown(WORD& Key, TShiftState Shift)
{
    int topRecord = FTopRecordIndex;
    TcxGridViewGuard guard(GridView());
    if (IsIncSearching()) IncSearchKeyDown(Key, Shift);
    if (!guard.Alive()) {
        Key = 0;
        return;
    }
    int focusedRow = GetFocusedRowIndex();
    DoKeyDown(Key, Shift);
    if (!guard.Alive()) {
        Key = 0;
        return;
    }
    if (IsKeyForMultiSelect(Key, Shift, GetFocusedRowIndex() != focusedRow) && CanMultiSelect(true))
        DoKeyMultiSelect(Key, Shift);
    if (!guard.Alive()) {
        Key = 0;
        return;
    }
    if (topRecord != FTopRecordIndex && Site()) Site()->Update();
}

void TcxCustomGridTableController::DoKeyDown(WORD& Key, TShiftState Shift)
{
    TcxCustomGridTableView* view = GridView();
    TShiftState mods = ModifierKeys(Shift);
    if (TcxCustomGridRecord* record = KeyFromEditor ? nullptr : GetFocusedRecord()) {
        // The character of a numeric-pad expand or collapse stroke is not typed as well.
        bool padKey = Key == VK_ADD || Key == VK_SUBTRACT || Key == VK_MULTIPLY;
        bool keepsCharacter = record->KeepsCharacterAfterKey();
        record->KeyDown(Key, Shift);
        if (Key == 0) {
            if (padKey && !keepsCharacter) FSkipNextChar = true;
            return;
        }
    }
    switch (Key) {
    case VK_PRIOR: FocusPrevPage(false); break;
    case VK_NEXT: FocusNextPage(false); break;
    case VK_TAB:
    case VK_RETURN:
        if ((Key == VK_TAB ? view->OptionsBehavior()->FocusCellOnTab() : view->OptionsBehavior()->GoToNextCellOnEnter) &&
            (mods.Empty() || mods == TShiftState{ssShift})) {
            FocusNextCell(mods.Empty());
            Key = 0;
        }
        break;
    case VK_ESCAPE: {
        TcxCustomDataController* dc = DataController();
        if (dc->IsEditing()) {
            dc->Cancel();
            if (!dc->IsEditing() && dc->MultiSelect() && GetFocusedRowIndex() >= 0)
                dc->ChangeRowSelection(GetFocusedRowIndex(), true);
        }
        break;
    }
    case VK_INSERT:
        if (mods.Empty() && CanInsert(true)) CreateNewRecord(false);
        break;
    case VK_DELETE:
        if ((mods.Empty() || mods == TShiftState{ssCtrl}) && CanDelete(true)) {
            DeleteSelection();
            Key = 0;
        }
        break;
    case 'A':
        if (mods == TShiftState{ssCtrl}) SelectAll();
        break;
    default: break;
    }
}

void TcxCustomGridTableController::KeyPress(char& Key)
{
    if (FSkipNextChar) {
        FSkipNextChar = false;
        Key = 0;
        return;
    }
    auto ch = static_cast<unsigned char>(Key);
    if (ch == VK_BACK || ch >= 32) {
        TcxCustomGridTableItem* item = GetIncSearchItem();
        if (item && item->CanIncSearch() && !DataController()->IsEditing()) {
            if (ch != VK_BACK) SetIncSearchingText(GetIncSearchingText() + std::string(1, Key));
            Key = 0;
            return;
        }
    }
    if (TcxCustomGridRecord* record = GetFocusedRecord()) record->KeyPress(Key);
}

void TcxCustomGridTableController::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    EditingController()->StopEditShowingTimer();
    {
        TcxGridViewGuard guard(GridView());
        TcxCustomGridController::MouseDown(Button, Shift, X, Y);
        if (!guard.Alive()) return;
    }
    TcxCustomGridHitTest* hit = ViewInfo() ? ViewInfo()->GetHitTest(TPoint{X, Y}) : nullptr;
    if (Button == mbLeft && CanProcessSelectionClick(hit)) DoMouseDownSelection(hit, Shift, Shift.Contains(ssDouble));
    if (DynamicCast<TcxGridRecordHitTest>(hit) && GridView()->OptionsBehavior()->PullFocusing && Site() &&
        Site()->MouseCapture())
        StartPullFocusing(X, Y);
}

void TcxCustomGridTableController::StartPullFocusing(int X, int Y)
{
    FPullFocusing = true;
    FPullMousePos = TPoint{X, Y};
}

void TcxCustomGridTableController::StopPullFocusing()
{
    FPullFocusing = false;
    FPullFocusingTimer.reset();
}

bool TcxCustomGridTableController::GetPullFocusingScrollingDirection(int X, int Y, bool& AForward)
{
    TcxCustomGridTableViewInfo* viewInfo = ViewInfo();
    if (!viewInfo) return false;
    TRect r;
    viewInfo->GetContentBounds(r);
    int pos = IsRecordsScrollHorizontal() ? X : Y;
    int start = IsRecordsScrollHorizontal() ? r.Left : r.Top;
    int end = IsRecordsScrollHorizontal() ? r.Right : r.Bottom;
    if (pos < start) {
        AForward = false;
        return true;
    }
    if (pos >= end) {
        AForward = true;
        return true;
    }
    return false;
}

void TcxCustomGridTableController::PullFocusingTimerTick()
{
    if (!FPullFocusing) return;
    TcxGridViewGuard guard(GridView());
    FocusNextRecord(GetFocusedRowIndex(), FPullForward, false, false);
    if (guard.Alive() && Site()) Site()->Update();
}

void TcxCustomGridTableController::MouseMove(TShiftState Shift, int X, int Y)
{
    TcxCustomGridController::MouseMove(Shift, X, Y);
    if (!FPullFocusing || (X == FPullMousePos.X && Y == FPullMousePos.Y)) return;
    FPullMousePos = TPoint{X, Y};
    auto* hit = ViewInfo() ? DynamicCast<TcxGridRecordHitTest>(ViewInfo()->GetHitTest(TPoint{X, Y})) : nullptr;
    if (hit && hit->GridRecord()) {
        FPullFocusingTimer.reset();
        int row = hit->RecordIndex;
        TcxGridViewGuard guard(GridView());
        if (!hit->IsNewItemRecord && row != GetFocusedRowIndex()) FocusRecord(row, false);
        if (guard.Alive() && Site()) Site()->Update();
        return;
    }
    bool forward = true;
    if (!GetPullFocusingScrollingDirection(X, Y, forward)) {
        FPullFocusingTimer.reset();
        return;
    }
    FPullForward = forward;
    if (!FPullFocusingTimer) {
        FPullFocusingTimer = std::make_unique<TTimer>();
        FPullFocusingTimer->SetInterval(10);
        FPullFocusingTimer->OnTimer = [this](TObject*) { PullFocusingTimerTick(); };
        FPullFocusingTimer->SetEnabled(true);
    }
}

int TcxCustomGridTableController::GetDragScrollDirection(int X, int Y)
{
    TcxCustomGridTableViewInfo* viewInfo = ViewInfo();
    auto* hit = viewInfo ? DynamicCast<TcxGridRecordHitTest>(viewInfo->GetHitTest(TPoint{X, Y})) : nullptr;
    if (!hit || hit->IsNewItemRecord) return 0;
    if (hit->RecordIndex == FTopRecordIndex) return -1;
    if (hit->RecordIndex == LastVisibleRecordIndex()) return 1;
    return 0;
}

void TcxCustomGridTableController::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TcxCustomGridController::DragOver(Source, X, Y, State, Accept);
    TcxCustomGrid* grid = GridView()->Grid();
    if (State == dsDragLeave) {
        StopDragScrolling();
        if (grid) grid->Controller()->CancelDragOpen();
        SetDragHighlightedRecord(nullptr);
        return;
    }
    TcxCustomGridTableOptionsBehavior* behavior = GridView()->OptionsBehavior();
    if (behavior->DragOpening && grid) {
        TcxCustomGridHitTest* openHit = ViewInfo() ? ViewInfo()->GetHitTest(TPoint{X, Y}) : nullptr;
        if (TcxCustomGridDragOpenInfo* info = GetDragOpenInfo(openHit))
            grid->Controller()->SetDragOpenInfo(info);
        else
            grid->Controller()->CancelDragOpen();
    }
    if (behavior->DragScrolling) {
        int direction = GetDragScrollDirection(X, Y);
        if (direction == 0) {
            StopDragScrolling();
        } else if (!FDragScrollTimer || direction != FDragScrollDirection) {
            FDragScrollDirection = direction;
            FDragScrollTimer = std::make_unique<TTimer>();
            FDragScrollTimer->SetInterval(20);
            FDragScrollTimer->OnTimer = [this](TObject*) { ScrollRecords(FDragScrollDirection > 0, 1); };
            FDragScrollTimer->SetEnabled(true);
        }
    }
    auto* hit = ViewInfo() ? DynamicCast<TcxGridRecordHitTest>(ViewInfo()->GetHitTest(TPoint{X, Y})) : nullptr;
    TcxCustomGridRecord* record = hit ? hit->GridRecord() : nullptr;
    if (behavior->DragHighlighting) SetDragHighlightedRecord(record);
    if (behavior->DragFocusing == dfDragOver && record) SetFocusedRecord(record);
}

void TcxCustomGridTableController::DragDrop(TObject* Source, int X, int Y)
{
    if (GridView()->OptionsBehavior()->DragFocusing == dfDragDrop) {
        auto* hit = ViewInfo() ? DynamicCast<TcxGridRecordHitTest>(ViewInfo()->GetHitTest(TPoint{X, Y})) : nullptr;
        TcxGridViewGuard guard(GridView());
        if (TcxCustomGridRecord* record = hit ? hit->GridRecord() : nullptr) SetFocusedRecord(record);
        if (!guard.Alive()) return;
    }
    TcxCustomGridController::DragDrop(Source, X, Y);
}

void TcxCustomGridTableController::EndDrag(TObject* Target, int X, int Y)
{
    SetDragHighlightedRecord(nullptr);
    if (TcxCustomGrid* grid = GridView()->Grid()) grid->Controller()->CancelDragOpen();
    StopDragScrolling();
    TcxCustomGridController::EndDrag(Target, X, Y);
}

bool TcxCustomGridTableController::CanDrag(int X, int Y)
{
    if (!TcxCustomGridController::CanDrag(X, Y) || !ViewInfo()) return false;
    auto* hit = DynamicCast<TcxGridRecordHitTest>(ViewInfo()->GetHitTest(TPoint{X, Y}));
    return hit && hit->GridRecord();
}

void TcxCustomGridTableController::BeforeStartDrag()
{
    TcxCustomGridController::BeforeStartDrag();
    auto* dc = DataController();
    if (!dc->IsEditing()) return;
    if (dc->GetEditState() & cesModified)
        dc->Post();
    else
        dc->Cancel();
}

void TcxCustomGridTableController::StartDrag(TDragObject*& DragObject)
{
    TcxCustomGridController::StartDrag(DragObject);
    cxGridCursors::LoadDragCursors();
    if (TcxGridSite* site = Site())
        site->SetDragCursor(GetSelectedRecordCount() < 2 ? cxGridCursors::crGridRecordDrag
                                                         : cxGridCursors::crGridRecordsDrag);
}

TcxCustomGridDragOpenInfo* TcxCustomGridTableController::GetDragOpenInfo(TcxCustomGridHitTest* AHitTest)
{
    auto* hit = DynamicCast<TcxGridExpandButtonHitTest>(AHitTest);
    TcxCustomGridRecord* record = hit ? hit->GridRecord() : nullptr;
    return record ? new TcxGridDragOpenInfoExpand(record) : nullptr;
}

// ---- drag-opening a record -----------------------------------------------------------------------------

TcxGridDragOpenInfoExpand::TcxGridDragOpenInfoExpand(TcxCustomGridRecord* ARecord)
    : FGridView(ARecord->GridView()), FRecordIndex(ARecord->Index())
{
    FGridView->AddReference(&FGridView);
}

TcxGridDragOpenInfoExpand::~TcxGridDragOpenInfoExpand()
{
    if (FGridView) FGridView->RemoveReference(&FGridView);
}

TcxCustomGridRecord* TcxGridDragOpenInfoExpand::GridRecord() const
{
    auto* view = static_cast<TcxCustomGridTableView*>(FGridView);
    return view ? view->ViewData()->GetRecordByIndex(FRecordIndex) : nullptr;
}

bool TcxGridDragOpenInfoExpand::Equals(TcxCustomGridDragOpenInfo* AInfo)
{
    if (!TcxCustomGridDragOpenInfo::Equals(AInfo)) return false;
    auto* other = static_cast<TcxGridDragOpenInfoExpand*>(AInfo);
    return other->FGridView == FGridView && other->FRecordIndex == FRecordIndex;
}

void TcxGridDragOpenInfoExpand::Run()
{
    if (TcxCustomGridRecord* record = GridRecord()) record->Expand(false);
}

TcxCustomGridTableView* TcxCustomGridTableDragAndDropObject::GridView() const
{
    auto* site = DynamicCast<TcxGridSite>(Control());
    return site ? static_cast<TcxCustomGridTableView*>(site->GridView()) : nullptr;
}

TcxCustomGridTableController* TcxCustomGridTableDragAndDropObject::Controller() const
{
    TcxCustomGridTableView* view = GridView();
    return view ? view->Controller() : nullptr;
}

TcxCustomGridTableViewData* TcxCustomGridTableDragAndDropObject::ViewData() const
{
    TcxCustomGridTableView* view = GridView();
    return view ? view->ViewData() : nullptr;
}

TcxCustomGridTableViewInfo* TcxCustomGridTableDragAndDropObject::ViewInfo() const
{
    TcxCustomGridTableView* view = GridView();
    return view ? view->TableViewInfo() : nullptr;
}

void TcxCustomGridTableController::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    StopPullFocusing();
    TcxGridViewGuard guard(GridView());
    TcxCustomGridController::MouseUp(Button, Shift, X, Y);
    // A click handler may have freed the view.
    if (!guard.Alive()) return;
    if (Button == mbLeft) {
        TcxCustomGridHitTest* hit = ViewInfo() ? ViewInfo()->GetHitTest(TPoint{X, Y}) : nullptr;
        if (CanProcessSelectionClick(hit)) DoMouseUpSelection(hit, Shift);
    }
    FClickSelectionPending = false;
}

void TcxCustomGridTableController::ViewFocusLost()
{
    TcxCustomGridController::ViewFocusLost();
    TcxCustomDataController* dc = DataController();
    int row = GetFocusedRowIndex();
    if (GridView()->OptionsSelection()->UnselectFocusedRecordOnExit && dc->MultiSelect() && row >= 0 &&
        dc->GetSelectedCount() == 1 && dc->GetSelectedRowIndex(0) == row)
        dc->ChangeRowSelection(row, false);
    InvalidateFocusedRecord();
}

void TcxCustomGridTableController::ViewFocusGained()
{
    // The editor keeps the focus it has unless it is going.
    if (!EditingController()->CanRemoveEditFocus()) return;
    TcxCustomGridController::ViewFocusGained();
    InvalidateFocusedRecord();
    EditorCheckPending = true;
}

void TcxCustomGridTableController::ControlFocusChanged()
{
    TcxCustomGridController::ControlFocusChanged();
    InvalidateSelection();
}

void TcxCustomGridTableController::CancelMouseOperations()
{
    TcxCustomGridController::CancelMouseOperations();
    StopPullFocusing();
    FClickSelectionPending = false;
}

bool TcxCustomGridTableController::IsDataFullyVisible()
{
    return VisibleRecordCount() == ViewData()->RecordCount();
}

void TcxCustomGridTableController::DoExit()
{
    if (IsUnchangedNewRecordCancelledOnExit())
        DataController()->Cancel();
    else
        DataController()->PostEditingData();
}

// ---- record view infos ----------------------------------------------------------------------------------

TcxCustomGridRecordViewInfo::TcxCustomGridRecordViewInfo(TcxCustomGridRecordsViewInfo* ARecordsViewInfo,
                                                         TcxCustomGridRecord* ARecord)
    : TcxCustomGridViewCellViewInfo(ARecordsViewInfo->GridViewInfo()), FRecordsViewInfo(ARecordsViewInfo),
      FRecordIndex(ARecord ? ARecord->Index() : -1), FIsNewItemRecord(ARecord && ARecord->IsNewItemRecord())
{
    // A measuring layout leaves the record to the view info on screen.
    if (ARecord && ARecord->ViewInfo)
        FNotOwner = true;
    else if (ARecord)
        ARecord->ViewInfo = this;
}

TcxCustomGridRecordViewInfo::~TcxCustomGridRecordViewInfo()
{
    if (FNotOwner) return;
    TcxCustomGridTableViewData* data = FRecordsViewInfo->ViewData();
    TcxCustomGridRecord* record = nullptr;
    if (FIsNewItemRecord)
        record = data->NewItemRecord();
    else if (data->IsRecordCreated(FRecordIndex))
        record = data->GetRecord(FRecordIndex);
    if (record && record->ViewInfo == this) record->ViewInfo = nullptr;
}

TcxCustomGridRecord* TcxCustomGridRecordViewInfo::GridRecord() const
{
    TcxCustomGridTableViewData* data = FRecordsViewInfo->ViewData();
    return FIsNewItemRecord ? data->NewItemRecord() : data->GetRecordByIndex(FRecordIndex);
}

TcxCustomGridTableView* TcxCustomGridRecordViewInfo::GridView() const { return FRecordsViewInfo->GridView(); }

void TcxCustomGridRecordViewInfo::GetExpandButtonBounds(TRect& R)
{
    if (IsRectEmpty(Bounds)) {
        R = TRect{};
        return;
    }
    TcxCustomGridTableViewInfo* viewInfo = FRecordsViewInfo->GridViewInfo();
    int size = viewInfo->ExpandButtonSize();
    R.Left += viewInfo->ExpandButtonIndent();
    R.Right = R.Left + size;
    R.Top = (R.Top + R.Bottom - size) / 2;
    R.Bottom = R.Top + size;
}

bool TcxCustomGridRecordViewInfo::CalculateSelected()
{
    TcxCustomGridRecord* record = GridRecord();
    return record && GridView()->DrawRecordSelected(record);
}

bool TcxCustomGridRecordViewInfo::Selected()
{
    if (!FSelectedCalculated) {
        FSelected = CalculateSelected();
        FSelectedCalculated = true;
    }
    return FSelected;
}

bool TcxCustomGridRecordViewInfo::Expanded()
{
    if (!FExpandedCalculated) {
        TcxCustomGridRecord* record = GridRecord();
        FExpanded = record && record->GetExpanded();
        FExpandedCalculated = true;
    }
    return FExpanded;
}

bool TcxCustomGridRecordViewInfo::HideFocusRect() { return GridView()->OptionsSelection()->HideFocusRect(); }
bool TcxCustomGridRecordViewInfo::InvertSelect() { return GridView()->OptionsSelection()->InvertSelect(); }

bool TcxCustomGridRecordViewInfo::IsClickHitTest(TcxCustomGridHitTest* AHitTest)
{
    auto* hit = DynamicCast<TcxGridRecordHitTest>(AHitTest);
    return hit && hit->CanClick();
}

bool TcxCustomGridRecordViewInfo::Click(TcxCustomGridHitTest*, TMouseButton, TShiftState)
{
    TcxGridViewGuard guard(GridView());
    GridView()->Controller()->SetFocusedRecord(GridRecord());
    return guard.Alive();
}

void TcxCustomGridRecordViewInfo::GetBoundsForItem(TcxCustomGridTableItem* AItem, TRect& R)
{
    if (!AItem)
        R = Bounds;
    else
        GetItemBounds(AItem, R);
}

void TcxCustomGridRecordViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    FSelectedCalculated = false;
    if (AWidth == -1) AWidth = CalculateWidth();
    if (AHeight == -1) AHeight = GetHeight();
    TcxCustomGridViewCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    TcxCustomGridRecord* record = GridRecord();
    if (record && record->GetExpandable()) {
        GetExpandButtonAreaBounds(ExpandButtonBounds);
        GetExpandButtonBounds(ExpandButtonBounds);
    }
}

int TcxCustomGridRecordViewInfo::GetHeight()
{
    auto* item = DynamicCast<TcxCustomGridTableViewInfoCacheItem>(
        FIsNewItemRecord ? nullptr : GridView()->ViewInfoCache()->Items(FRecordIndex));
    if (!item) return CalculateHeight();
    if (!item->IsHeightAssigned) {
        item->Height = CalculateHeight();
        item->IsHeightAssigned = true;
    }
    return item->Height;
}

TBitmap* TcxCustomGridRecordViewInfo::GetBackgroundBitmap() { return FRecordsViewInfo->BackgroundBitmap; }
TcxCanvas* TcxCustomGridRecordViewInfo::GetCanvas() { return FRecordsViewInfo->Canvas(); }
TClass TcxCustomGridRecordViewInfo::GetHitTestClass() { return TcxGridRecordHitTest::StaticClass(); }

bool TcxCustomGridRecordViewInfo::GetVisible()
{
    for (int i = 0; i < FRecordsViewInfo->Count(); ++i)
        if (FRecordsViewInfo->ItemAt(i) == this) return i < FRecordsViewInfo->VisibleCount();
    return false;
}

void TcxCustomGridRecordViewInfo::InitHitTest(TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridViewCellViewInfo::InitHitTest(AHitTest);
    if (auto* hit = DynamicCast<TcxGridRecordHitTest>(AHitTest)) hit->SetGridRecord(GridRecord());
}

void TcxCustomGridRecordViewInfo::DoOffset(int DX, int DY)
{
    TcxCustomGridViewCellViewInfo::DoOffset(DX, DY);
    if (!IsRectEmpty(ExpandButtonBounds)) OffsetRect(ExpandButtonBounds, DX, DY);
}

void TcxCustomGridRecordViewInfo::BeforeRecalculation()
{
    TcxCustomGridViewCellViewInfo::BeforeRecalculation();
    FRecordsViewInfo->BeforeItemRecalculation();
}

TcxCustomGridHitTest* TcxCustomGridRecordViewInfo::GetHitTest(const TPoint& P)
{
    TcxCustomGridRecord* record = GridRecord();
    if (record && record->GetExpandable()) {
        TRect area;
        GetExpandButtonAreaBounds(area);
        if (PtInRect(area, P)) {
            TcxCustomGridHitTest* hit = TcxCustomGridHitTest::Instance(TcxGridExpandButtonHitTest::StaticClass(), P);
            InitHitTest(hit);
            return hit;
        }
    }
    return TcxCustomGridViewCellViewInfo::GetHitTest(P);
}

bool TcxCustomGridRecordViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    bool handled = TcxCustomGridViewCellViewInfo::MouseDown(AHitTest, AButton, AShift);
    if (!handled && AButton == mbLeft && AHitTest && AHitTest->HitTestCode() == 103) {
        if (TcxCustomGridRecord* record = GridRecord()) record->SetExpanded(!record->GetExpanded());
        return true;
    }
    if (!handled && AButton != mbMiddle && IsClickHitTest(AHitTest) && GetControl() && GetControl()->IsFocused())
        return Click(AHitTest, AButton, AShift);
    return handled;
}

void TcxCustomGridRecordViewInfo::RecalculateRecord()
{
    BeforeRecalculation();
    Calculate(Bounds.Left, Bounds.Top);
    AfterRecalculation();
}

// ---- the records area ---------------------------------------------------------------------------------

TcxCustomGridRecordsViewInfo::TcxCustomGridRecordsViewInfo(TcxCustomGridTableViewInfo* AGridViewInfo)
    : FGridViewInfo(AGridViewInfo)
{
}

TcxCustomGridRecordsViewInfo::~TcxCustomGridRecordsViewInfo() { FItems.clear(); }

TcxCustomGridTableView* TcxCustomGridRecordsViewInfo::GridView() const { return FGridViewInfo->GridView(); }
TcxCustomGridTableController* TcxCustomGridRecordsViewInfo::Controller() const { return GridView()->Controller(); }
TcxCustomGridTableViewData* TcxCustomGridRecordsViewInfo::ViewData() const { return GridView()->ViewData(); }
TcxCanvas* TcxCustomGridRecordsViewInfo::Canvas() const { return FGridViewInfo->Canvas(); }

void TcxCustomGridRecordsViewInfo::AfterCalculate()
{
    TcxCustomGridTableView* view = GridView();
    for (int i = 0; i < view->ItemCount(); ++i) view->GetItem(i)->DestroyEditViewData();
}

void TcxCustomGridRecordsViewInfo::BeforeCalculate()
{
    BackgroundBitmap = GetBackgroundBitmap();
    // The cells of one item share its view data for the length of the pass.
    TcxCustomGridTableView* view = GridView();
    for (int i = 0; i < view->ItemCount(); ++i) view->GetItem(i)->CreateEditViewData();
}

void TcxCustomGridRecordsViewInfo::BeforeItemRecalculation()
{
    FGridViewInfo->RecordMousePos();
    ResetIncSearchCell();
}

void TcxCustomGridRecordsViewInfo::ResetIncSearchCell()
{
    FIncSearchCell = nullptr;
    FIncSearchCellFound = false;
}

void TcxCustomGridRecordsViewInfo::CalculateBounds(TRect& R) { R = FGridViewInfo->ClientBounds; }

TcxCustomGridViewCellViewInfo* TcxCustomGridRecordsViewInfo::FindIncSearchCell(bool& AFound)
{
    AFound = true;
    if (!Controller()->IsIncSearching()) return nullptr;
    TcxCustomGridTableItem* item = Controller()->GetIncSearchingItem();
    TcxCustomGridViewCellViewInfo* cell = item ? item->GetFocusedCellViewInfo() : nullptr;
    AFound = cell != nullptr;
    return cell;
}

TcxCustomGridViewCellViewInfo* TcxCustomGridRecordsViewInfo::GetIncSearchCell()
{
    if (!FIncSearchCellFound) FIncSearchCell = FindIncSearchCell(FIncSearchCellFound);
    return FIncSearchCell;
}

bool TcxCustomGridRecordsViewInfo::GetAutoCellHeight() { return GridView()->OptionsView()->CellAutoHeight(); }

TBitmap* TcxCustomGridRecordsViewInfo::GetBackgroundBitmap()
{
    return GridView()->BackgroundBitmaps()->GetBitmap(TcxCustomGridTableBackgroundBitmaps::bbContent);
}

int TcxCustomGridRecordsViewInfo::GetItemLeftBound(int) { throw EcxGridAbstractError("Abstract Error"); }
int TcxCustomGridRecordsViewInfo::GetItemTopBound(int) { throw EcxGridAbstractError("Abstract Error"); }
int TcxCustomGridRecordsViewInfo::GetPixelScrollSize(int) { throw EcxGridAbstractError("Abstract Error"); }
void TcxCustomGridRecordsViewInfo::OffsetItem(int, int) { throw EcxGridAbstractError("Abstract Error"); }

void TcxCustomGridRecordsViewInfo::ControlFocusChanged()
{
    for (auto& item : FItems)
        if (item) item->ControlFocusChanged();
}

void TcxCustomGridRecordsViewInfo::VisibilityChanged(bool AVisible)
{
    for (auto& item : FItems)
        if (item) item->VisibilityChanged(AVisible);
}

bool TcxCustomGridRecordsViewInfo::CanOffset(int ARecordCountDelta)
{
    return !FItems.empty() && std::abs(ARecordCountDelta) < Count();
}

TcxCustomGridHitTest* TcxCustomGridRecordsViewInfo::GetHitTest(const TPoint& P)
{
    for (auto& item : FItems)
        if (item)
            if (TcxCustomGridHitTest* hit = item->GetHitTest(P)) return hit;
    return nullptr;
}

int TcxCustomGridRecordsViewInfo::VisibleRecordCount()
{
    int first = FGridViewInfo->FirstRecordIndex();
    int count = ViewData()->RecordCount();
    if (first == -1 || count == 0) return 0;
    return std::max(FGridViewInfo->CalculateDown ? count - first : first + 1, 0);
}

int TcxCustomGridRecordsViewInfo::GetRecordIndex(int APosition)
{
    int first = FGridViewInfo->FirstRecordIndex();
    return FGridViewInfo->CalculateDown ? first + APosition : first - APosition;
}

int TcxCustomGridRecordsViewInfo::GetPosition(int ARecordIndex)
{
    int first = FGridViewInfo->FirstRecordIndex();
    int position = FGridViewInfo->CalculateDown ? ARecordIndex - first : first - ARecordIndex;
    return position >= 0 && position < Count() ? position : -1;
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::GetRealItem(int ARecordIndex)
{
    int position = GetPosition(ARecordIndex);
    return position == -1 ? nullptr : FItems[size_t(position)].get();
}


TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::Items(int AIndex)
{
    if (AIndex < 0 || AIndex > Count()) return nullptr;
    if (AIndex < Count()) return FItems[size_t(AIndex)].get();
    TcxCustomGridRecord* record = ViewData()->GetRecordByIndex(GetRealIndex(GetRecordIndex(AIndex)));
    if (!record) return nullptr;
    FItems.emplace_back(GetItemClass(record).Create(this, record));
    return FItems.back().get();
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordsViewInfo::CreateItemAt(int APosition)
{
    TcxCustomGridRecord* record = ViewData()->GetRecordByIndex(GetRealIndex(GetRecordIndex(APosition)));
    if (!record) return nullptr;
    FItems[size_t(APosition)].reset(GetItemClass(record).Create(this, record));
    FItems[size_t(APosition)]->Calculate(GetItemLeftBound(APosition), GetItemTopBound(APosition));
    return FItems[size_t(APosition)].get();
}

void TcxCustomGridRecordsViewInfo::MainCalculate()
{
    FItems.clear();
    BeforeCalculate();
    Calculate();
    AfterCalculate();
}

void TcxCustomGridRecordsViewInfo::Offset(int ARecordCountDelta)
{
    int d = ARecordCountDelta;
    if (d == 0) return;
    int n = Count();
    int kept = n - std::abs(d);
    // Moving down the pixel distance is measured on the old layout; moving
    // up, once the records that came in exist.
    if (d > 0) FPixelScrollSize = GetPixelScrollSize(d);
    if (d > 0) {
        FItems.erase(FItems.begin(), FItems.begin() + d);
        FItems.resize(size_t(n));
        for (int i = 0; i < kept; ++i)
            if (FItems[size_t(i)]) OffsetItem(i, FPixelScrollSize);
    } else {
        FItems.resize(size_t(kept));
        for (int i = 0; i < -d; ++i) FItems.emplace(FItems.begin());
    }
    int visible = VisibleRecordCount();
    if (visible < n) FItems.resize(size_t(std::max(visible, 0)));
    int freeFrom = d > 0 ? n - d : 0;
    int freeTo = d > 0 ? n : -d;
    for (int i = freeFrom; i < freeTo && i < Count(); ++i) CreateItemAt(i);
    if (d < 0) {
        FPixelScrollSize = GetPixelScrollSize(d);
        for (int i = -d; i < Count(); ++i)
            if (FItems[size_t(i)]) OffsetItem(i, FPixelScrollSize);
    }
    CalculateVisibleCount();
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)] && !FItems[size_t(i)]->Calculated)
            FItems[size_t(i)]->Calculate(GetItemLeftBound(i), GetItemTopBound(i));
}

void TcxCustomGridRecordsViewInfo::Offset(int DX, int DY) { OffsetRect(Bounds, DX, DY); }

void TcxCustomGridRecordsViewInfo::Paint() { TcxCustomGridRecordsPainter(Canvas(), this).Paint(); }

// ---- the navigator strip -------------------------------------------------------------------------------

TcxCustomGridTableViewInfo* TcxNavigatorSiteViewInfo::TableViewInfo() const
{
    return static_cast<TcxCustomGridTableViewInfo*>(GridViewInfo());
}

int TcxNavigatorSiteViewInfo::CalculateWidth()
{
    return TableViewInfo()->GetNavigatorOffset() + TableViewInfo()->NavigatorWidth();
}

TClass TcxNavigatorSiteViewInfo::GetHitTestClass() { return TcxGridNavigatorHitTest::StaticClass(); }

TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*>
TcxNavigatorSiteViewInfo::GetPainterClass()
{
    return TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*>::Of<
        TcxNavigatorSitePainter>();
}

TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*>
TcxCustomGridRecordViewInfo::GetPainterClass()
{
    return TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*>::Of<
        TcxCustomGridRecordPainter>();
}

bool TcxNavigatorSiteViewInfo::GetVisible()
{
    auto* view = DynamicCast<TcxCustomGridTableView>(GridView());
    return view && view->OptionsView()->Navigator();
}

bool TcxNavigatorSiteViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton, TShiftState)
{
    if (TcxNavigatorViewInfo* nav = TableViewInfo()->NavigatorViewInfo())
        nav->MouseDown(AHitTest->Pos.X, AHitTest->Pos.Y);
    return true;
}

bool TcxNavigatorSiteViewInfo::MouseMove(TcxCustomGridHitTest* AHitTest, TShiftState AShift)
{
    TcxCustomGridViewCellViewInfo::MouseMove(AHitTest, AShift);
    if (TcxNavigatorViewInfo* nav = TableViewInfo()->NavigatorViewInfo())
        nav->MouseMove(AHitTest->Pos.X, AHitTest->Pos.Y);
    return true;
}

bool TcxNavigatorSiteViewInfo::MouseUp(TcxCustomGridHitTest*, TMouseButton, TShiftState)
{
    if (TcxNavigatorViewInfo* nav = TableViewInfo()->NavigatorViewInfo()) nav->MouseUp();
    return true;
}

void TcxNavigatorSiteViewInfo::MouseLeave()
{
    TcxCustomGridViewCellViewInfo::MouseLeave();
    if (TcxNavigatorViewInfo* nav = TableViewInfo()->NavigatorViewInfo()) nav->MouseMove(-1, -1);
}

// ---- the table view info ---------------------------------------------------------------------------------

TcxCustomGridTableViewInfo::TcxCustomGridTableViewInfo(TcxCustomGridView* AGridView) : TcxCustomGridViewInfo(AGridView)
{
}

TcxCustomGridTableViewInfo::~TcxCustomGridTableViewInfo() = default;

TcxCustomGridTableView* TcxCustomGridTableViewInfo::GridView() const
{
    return static_cast<TcxCustomGridTableView*>(TcxCustomGridViewInfo::GridView());
}

TcxCustomGridTableController* TcxCustomGridTableViewInfo::Controller() const { return GridView()->Controller(); }

int TcxCustomGridTableViewInfo::FirstRecordIndex() const
{
    if (FFirstRecordIndex != -1) return FFirstRecordIndex;
    TcxCustomGridTableController* controller = Controller();
    return controller ? controller->TopRecordIndex() : -1;
}

int TcxCustomGridTableViewInfo::VisibleRecordCount() const
{
    return FRecordsViewInfo ? FRecordsViewInfo->VisibleCount() : 0;
}

int TcxCustomGridTableViewInfo::ExpandButtonSize() const
{
    return cxGridCustomTableView::GetExpandButtonSide(GridView()->LookAndFeelPainter());
}

void TcxCustomGridTableViewInfo::GetNavigatorBounds(TRect& R)
{
    GetNavigatorSiteBounds(R);
    R.Right -= GetNavigatorOffset();
}

void TcxCustomGridTableViewInfo::ResetIncSearchCell()
{
    if (FRecordsViewInfo) FRecordsViewInfo->ResetIncSearchCell();
}

int TcxCustomGridTableViewInfo::GetNavigatorOffset() { return GridView()->OptionsView()->NavigatorOffset(); }

void TcxCustomGridTableViewInfo::GetNavigatorSiteBounds(TRect& R)
{
    R = Site() ? Site()->GetHScrollBarBounds() : TRect{};
    R.Right = R.Left;
    R.Left = R.Right - (FNavigatorSiteViewInfo ? FNavigatorSiteViewInfo->CalculateWidth() : 0);
}

TcxGridClassRef<TcxNavigatorSiteViewInfo, TcxCustomGridViewInfo*> TcxCustomGridTableViewInfo::GetNavigatorSiteClass()
{
    return TcxGridClassRef<TcxNavigatorSiteViewInfo, TcxCustomGridViewInfo*>::Of<TcxNavigatorSiteViewInfo>();
}

void TcxCustomGridTableViewInfo::OffsetRecords(int ARecordCountDelta) { FRecordsViewInfo->Offset(ARecordCountDelta); }
void TcxCustomGridTableViewInfo::OffsetRecords(int DX, int DY) { FRecordsViewInfo->Offset(DX, DY); }

void TcxCustomGridTableViewInfo::CalculateExpandButtonParams()
{
    FExpandButtonIndent = 3;
    FExpandButtonAreaWidth = ExpandButtonSize() + 2 * FExpandButtonIndent;
}

bool TcxCustomGridTableViewInfo::CanCheckTopRecord() { return !IsDetached() && CheckTopRecord; }

bool TcxCustomGridTableViewInfo::CanOffsetRecords(int ARecordCountDelta)
{
    return FRecordsViewInfo && FRecordsViewInfo->CanOffset(ARecordCountDelta);
}

void TcxCustomGridTableViewInfo::DoOffset(int ARecordCountDelta, int DX, int DY)
{
    if (!CanOffsetView(ARecordCountDelta, DX, DY)) {
        Recalculate();
        return;
    }
    ResetIncSearchCell();
    if (ARecordCountDelta != 0)
        OffsetRecords(ARecordCountDelta);
    else
        OffsetRecords(DX, DY);
}

void TcxCustomGridTableViewInfo::CreateViewInfos()
{
    TcxCustomGridViewInfo::CreateViewInfos();
    FNavigatorSiteViewInfo.reset(GetNavigatorSiteClass().Create(this));
    if (!FNavigatorViewInfo) FNavigatorViewInfo = std::make_unique<TcxNavigatorViewInfo>(this, true);
    FRecordsViewInfo.reset(GetRecordsViewInfoClass().Create(this));
}

void TcxCustomGridTableViewInfo::DestroyViewInfos(bool AIsRecreating)
{
    FRecordsViewInfo.reset();
    if (!AIsRecreating) FNavigatorViewInfo.reset();
    FNavigatorSiteViewInfo.reset();
    TcxCustomGridViewInfo::DestroyViewInfos(AIsRecreating);
}

void TcxCustomGridTableViewInfo::BeforeCalculating()
{
    TcxCustomGridViewInfo::BeforeCalculating();
    CalculateExpandButtonParams();
}

void TcxCustomGridTableViewInfo::DoCalculate()
{
    if (FRecordsViewInfo) FRecordsViewInfo->MainCalculate();
    TcxCustomGridViewInfo::DoCalculate();
    if (FNavigatorSiteViewInfo && FNavigatorSiteViewInfo->GetVisible() && FNavigatorViewInfo) {
        FNavigatorWidth = 0;
        TRect r;
        GetNavigatorSiteBounds(r);
        FNavigatorHeight = r.Height();
        FNavigatorViewInfo->Calculate(FNavigatorWidth, FNavigatorHeight, false);
        GetNavigatorSiteBounds(r);
        FNavigatorSiteViewInfo->Calculate(r);
        FNavigatorViewInfo->Update();
    }
}

void TcxCustomGridTableViewInfo::AfterCalculating()
{
    TcxCustomGridViewInfo::AfterCalculating();
    if (CanCheckTopRecord() && Controller()) {
        // Laying out never moves a grid-mode buffer.
        TcxCustomGridTableController* controller = Controller();
        controller->GridModeScrollLock = true;
        try {
            controller->CheckTopRecordIndex();
        } catch (...) {
            controller->GridModeScrollLock = false;
            throw;
        }
        controller->GridModeScrollLock = false;
    }
}

void TcxCustomGridTableViewInfo::ControlFocusChanged()
{
    TcxCustomGridViewInfo::ControlFocusChanged();
    if (FRecordsViewInfo) FRecordsViewInfo->ControlFocusChanged();
}

void TcxCustomGridTableViewInfo::AdjustHScrollBarBounds(TRect& R)
{
    if (FNavigatorSiteViewInfo && FNavigatorSiteViewInfo->GetVisible()) R.Left += FNavigatorSiteViewInfo->CalculateWidth();
}

bool TcxCustomGridTableViewInfo::IsDetached() { return TcxCustomGridViewInfo::IsDetached() || FFirstRecordIndex != -1; }

void TcxCustomGridTableViewInfo::DoUpdateSiteVisibility(bool AShow)
{
    if (FRecordsViewInfo) FRecordsViewInfo->VisibilityChanged(AShow);
    TcxCustomGridViewInfo::DoUpdateSiteVisibility(AShow);
}

TcxCustomGridHitTest* TcxCustomGridTableViewInfo::GetHitTest(const TPoint& P)
{
    TcxCustomGridHitTest* hit = nullptr;
    if (PtInRect(ClientBounds, P)) {
        if (FRecordsViewInfo) hit = FRecordsViewInfo->GetHitTest(P);
    } else if (FNavigatorSiteViewInfo && FNavigatorSiteViewInfo->GetVisible()) {
        hit = FNavigatorSiteViewInfo->GetHitTest(P);
    }
    return hit ? hit : TcxCustomGridViewInfo::GetHitTest(P);
}

TRect TcxCustomGridTableViewInfo::GetNavigatorRect()
{
    TRect r;
    GetNavigatorBounds(r);
    return r;
}

TcxCustomNavigatorButtons* TcxCustomGridTableViewInfo::GetNavigatorButtonSet() { return GridView()->NavigatorButtons(); }

TCanvas* TcxCustomGridTableViewInfo::GetNavigatorPaintCanvas()
{
    TcxCanvas* canvas = Site() ? Canvas() : nullptr;
    return canvas ? canvas->Canvas() : nullptr;
}

TWinControl* TcxCustomGridTableViewInfo::GetNavigatorWinControl() { return Site(); }

TcxLookAndFeel* TcxCustomGridTableViewInfo::GetNavigatorLookAndFeel()
{
    return GridView()->Grid() ? GridView()->Grid()->LookAndFeel() : nullptr;
}

TComponent* TcxCustomGridTableViewInfo::GetNavigatorOwnerComponent() { return GridView(); }

bool TcxCustomGridTableViewInfo::IsNavigatorHintEnabled() { return GridView()->OptionsBehavior()->NavigatorHints; }

void TcxCustomGridTableViewInfo::NavigatorButtonsStateChanged()
{
    if (FNavigatorViewInfo) FNavigatorViewInfo->RefreshButtonsEnabled();
}

void TcxCustomGridTableViewInfo::NavigatorLayoutChanged()
{
    if (GridView()->IsPattern() || !FNavigatorViewInfo) return;
    FNavigatorViewInfo->MakeDirty();
    int width = FNavigatorWidth, height = FNavigatorHeight;
    FNavigatorViewInfo->Calculate(width, height, false);
    if (width == FNavigatorWidth && height == FNavigatorHeight)
        GridView()->ViewChanged();
    else
        GridView()->LayoutChanged(true);
}

// ---- the view-info cache ---------------------------------------------------------------------------------

TcxCustomGridRecord* TcxCustomGridTableViewInfoCacheItem::GridRecord() const
{
    auto* view = static_cast<TcxCustomGridTableView*>(Owner()->GridView());
    return view->ViewData()->GetRecordByIndex(Index());
}

TcxCustomGridViewInfoCacheItemClass TcxCustomGridTableViewInfoCache::GetItemClass()
{
    return TcxCustomGridViewInfoCacheItemClass::Of<TcxCustomGridTableViewInfoCacheItem>();
}

// ---- the view: handlers and options ------------------------------------------------------------------------

void TcxCustomGridTableView::CreateHandlers()
{
    FNavigatorNotifier = std::make_unique<TcxNavigatorControlNotifier>();
    TcxCustomGridView::CreateHandlers();
    FNavigatorButtons = std::make_unique<TcxNavigatorControlButtons>(TableViewInfo());
    FNavigatorButtons->OnGetNavigator = [this]() -> IcxNavigator* { return this; };
    // The controller asks before deleting; the buttons must not ask again.
    FNavigatorButtons->ConfirmDelete = false;
}

void TcxCustomGridTableView::CreateOptions()
{
    TcxCustomGridView::CreateOptions();
    FFiltering = GetFilteringClass().Create(this);
    FOptionsBehavior = GetOptionsBehaviorClass().Create(this);
    FOptionsCustomize = GetOptionsCustomizeClass().Create(this);
    FOptionsData = GetOptionsDataClass().Create(this);
}

void TcxCustomGridTableView::DestroyOptions()
{
    FreeAndNil(FOptionsData);
    FreeAndNil(FOptionsCustomize);
    FreeAndNil(FOptionsBehavior);
    FreeAndNil(FFiltering);
    TcxCustomGridView::DestroyOptions();
}

TcxGridViewHandlerClass<TcxCustomGridController> TcxCustomGridTableView::GetControllerClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridController>::Of<TcxCustomGridTableController>();
}

TcxGridViewHandlerClass<TcxCustomGridPainter> TcxCustomGridTableView::GetPainterClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridPainter>::Of<TcxCustomGridTablePainter>();
}

TcxGridViewHandlerClass<TcxCustomGridViewInfoCache> TcxCustomGridTableView::GetViewInfoCacheClass()
{
    return TcxGridViewHandlerClass<TcxCustomGridViewInfoCache>::Of<TcxCustomGridTableViewInfoCache>();
}

TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps> TcxCustomGridTableView::GetBackgroundBitmapsClass()
{
    return TcxGridOptionsClass<TcxCustomGridBackgroundBitmaps>::Of<TcxCustomGridTableBackgroundBitmaps>();
}

TcxGridOptionsClass<TcxCustomGridOptionsSelection> TcxCustomGridTableView::GetOptionsSelectionClass()
{
    return TcxGridOptionsClass<TcxCustomGridOptionsSelection>::Of<TcxCustomGridTableOptionsSelection>();
}

TcxGridOptionsClass<TcxCustomGridOptionsView> TcxCustomGridTableView::GetOptionsViewClass()
{
    return TcxGridOptionsClass<TcxCustomGridOptionsView>::Of<TcxCustomGridTableOptionsView>();
}

TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*> TcxCustomGridTableView::GetStylesClass()
{
    return TcxGridClassRef<TcxCustomGridViewStyles, TPersistent*>::Of<TcxCustomGridTableViewStyles>();
}

TcxGridOptionsClass<TcxCustomGridTableFiltering> TcxCustomGridTableView::GetFilteringClass()
{
    return TcxGridOptionsClass<TcxCustomGridTableFiltering>::Of<TcxCustomGridTableFiltering>();
}

TcxGridOptionsClass<TcxCustomGridTableOptionsBehavior> TcxCustomGridTableView::GetOptionsBehaviorClass()
{
    return TcxGridOptionsClass<TcxCustomGridTableOptionsBehavior>::Of<TcxCustomGridTableOptionsBehavior>();
}

TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize> TcxCustomGridTableView::GetOptionsCustomizeClass()
{
    return TcxGridOptionsClass<TcxCustomGridTableOptionsCustomize>::Of<TcxCustomGridTableOptionsCustomize>();
}

TcxGridOptionsClass<TcxCustomGridTableOptionsData> TcxCustomGridTableView::GetOptionsDataClass()
{
    return TcxGridOptionsClass<TcxCustomGridTableOptionsData>::Of<TcxCustomGridTableOptionsData>();
}

TcxCustomGridTableController* TcxCustomGridTableView::Controller() const
{
    return DynamicCast<TcxCustomGridTableController>(TcxCustomGridView::Controller());
}

TcxCustomGridTableViewInfo* TcxCustomGridTableView::TableViewInfo() const
{
    return DynamicCast<TcxCustomGridTableViewInfo>(TcxCustomGridView::ViewInfo());
}

TcxCustomGridTableOptionsSelection* TcxCustomGridTableView::OptionsSelection() const
{
    return static_cast<TcxCustomGridTableOptionsSelection*>(TcxCustomGridView::OptionsSelection());
}

TcxCustomGridTableOptionsView* TcxCustomGridTableView::OptionsView() const
{
    return static_cast<TcxCustomGridTableOptionsView*>(TcxCustomGridView::OptionsView());
}

TcxCustomGridTableViewStyles* TcxCustomGridTableView::Styles() const
{
    return static_cast<TcxCustomGridTableViewStyles*>(TcxCustomGridView::Styles());
}

TcxCustomGridTableBackgroundBitmaps* TcxCustomGridTableView::BackgroundBitmaps() const
{
    return static_cast<TcxCustomGridTableBackgroundBitmaps*>(TcxCustomGridView::BackgroundBitmaps());
}

// ---- the data controller's news ---------------------------------------------------------------------------

void TcxCustomGridTableView::DataControllerNotify(TcxUpdateControlInfo* AInfo)
{
    if (IsDestroying()) return;
    if (DynamicCast<TcxDataChangedInfo>(AInfo))
        DataChanged();
    else if (DynamicCast<TcxLayoutChangedInfo>(AInfo))
        DataLayoutChanged();
    else if (auto* focused = DynamicCast<TcxFocusedRecordChangedInfo>(AInfo))
        FocusedRecordChanged(focused->OldRow, focused->NewRow, focused->NewItemRowSwitched);
    else if (auto* selection = DynamicCast<TcxSelectionChangedInfo>(AInfo))
        SelectionChanged(selection);
    else if (DynamicCast<TcxSearchChangedInfo>(AInfo))
        SearchChanged();
    else if (auto* update = DynamicCast<TcxUpdateRecordInfo>(AInfo))
        RecordChanged(update->RecordToUpdate);
    RefreshNavigators();
}

void TcxCustomGridTableView::RefreshNavigators()
{
    if (TcxCustomGridTableViewInfo* viewInfo = TableViewInfo())
        if (viewInfo->NavigatorSiteViewInfo() && viewInfo->NavigatorSiteViewInfo()->GetVisible())
            viewInfo->NavigatorButtonsStateChanged();
    if (FNavigatorNotifier) FNavigatorNotifier->RefreshNavigatorButtons();
    if (Grid() && IsFocusedView()) Grid()->RefreshNavigators();
}

void TcxCustomGridTableView::DataChanged()
{
    if (Controller()) Controller()->SetDragHighlightedRecord(nullptr);
    for (TcxCustomGridTableItem* item : std::vector<TcxCustomGridTableItem*>(FItems)) item->DataChanged();
    Changed(new TcxGridDataChange(this));
    if (Controller()) Controller()->EditingController()->UpdateEditValue();
}

void TcxCustomGridTableView::DataLayoutChanged()
{
    ViewData()->RefreshRecords();
    SizeChanged();
    if (Controller()) Controller()->EditingController()->UpdateEditValue();
}

void TcxCustomGridTableView::FocusedRecordChanged(int APrevFocusedRecordIndex, int AFocusedRecordIndex,
                                                  bool ANewItemRecordFocusingChanged)
{
    TcxCustomDataController* dc = DataController();
    TcxGridEditingController* editing = Controller() ? Controller()->EditingController() : nullptr;
    if (editing && editing->IsEditHideNeededOnRecordChange()) editing->HideEdit(true);
    if (!dc->IsSelectionAnchorExist() && AFocusedRecordIndex >= 0) dc->SetSelectionAnchor(AFocusedRecordIndex);
    Changed(new TcxGridFocusedRecordChange(this, ANewItemRecordFocusingChanged, AFocusedRecordIndex,
                                           APrevFocusedRecordIndex));
    if (editing) {
        Controller()->UpdateEditor();
        editing->UpdateEditValue();
    }
    if (Grid()) Grid()->NotifySubscribers(gnkFocusedRecordChanged, nullptr);
    if (OnFocusedRecordChanged)
        OnFocusedRecordChanged(this, ViewData()->GetRecordByIndex(APrevFocusedRecordIndex),
                               ViewData()->GetRecordByIndex(AFocusedRecordIndex), ANewItemRecordFocusingChanged);
}

void TcxCustomGridTableView::SelectionChanged(TcxSelectionChangedInfo* AInfo)
{
    if (AInfo && AInfo->GetCount() > 0) {
        for (int i = 0; i < AInfo->GetCount(); ++i)
            if (TcxCustomGridRecord* record = ViewData()->GetRecordByIndex(AInfo->GetRowIndex(i))) record->Invalidate();
    } else {
        LayoutChanged();
    }
    if (OnSelectionChanged) OnSelectionChanged(this);
}

void TcxCustomGridTableView::SearchChanged()
{
    TcxCustomGridTableController* controller = Controller();
    TcxCustomGridRecord* record = controller ? controller->GetFocusedRecord() : nullptr;
    TcxCustomGridTableItem* item = controller ? controller->GetIncSearchingItem() : nullptr;
    if (!item && controller) item = controller->GetIncSearchItem();
    if (record) record->Invalidate(item);
}

void TcxCustomGridTableView::RecordChanged(int ARecordIndex)
{
    ViewData()->UpdateEditingRecord();
    if (TcxCustomGridRecord* record = ViewData()->GetRecordByRecordIndex(ARecordIndex))
        record->Invalidate();
    else
        LayoutChanged();
    if (Controller()) Controller()->EditingController()->UpdateEditValue();
}

void TcxCustomGridTableView::RecordCountChanged()
{
    ViewInfoCache()->SetCount(DataController()->GetRowCount());
    ViewData()->SetRecordCount(DataController()->GetRowCount());
    if (Grid()) Grid()->NotifySubscribers(gnkRecordCountChanged, nullptr);
}

// ---- scrolling by records ------------------------------------------------------------------------------------

bool TcxCustomGridTableView::CanOffset(int ARecordCountDelta)
{
    if (Grid() && Grid()->IsUpdateLocked()) return false;
    TcxCustomGridTableViewInfo* viewInfo = TableViewInfo();
    return viewInfo && viewInfo->CanOffsetRecords(ARecordCountDelta);
}

void TcxCustomGridTableView::Offset(int ARecordCountDelta, int DX, int DY)
{
    TcxCustomGridTableViewInfo* viewInfo = TableViewInfo();
    if (!viewInfo) return;
    Controller()->BeforeOffset();
    viewInfo->DoOffset(ARecordCountDelta, DX, DY);
    // The window content moves with the records; without a window to
    // scroll, the whole view repaints.
    ViewChanged();
    Controller()->AfterOffset();
}

bool TcxCustomGridTableView::IsEqualHeightRecords()
{
    TcxCustomGridTableViewInfo* viewInfo = TableViewInfo();
    return !(viewInfo && viewInfo->RecordsViewInfo() && viewInfo->RecordsViewInfo()->IsVariableHeight());
}

// ---- events --------------------------------------------------------------------------------------------------

bool TcxCustomGridTableView::DoCanSelectRecord(int ARecordIndex)
{
    bool allow = true;
    if (OnCanSelectRecord) OnCanSelectRecord(this, ViewData()->GetRecordByIndex(ARecordIndex), allow);
    return allow;
}

bool TcxCustomGridTableView::DoCellClick(TcxGridTableDataCellViewInfo* ACellViewInfo, TMouseButton AButton,
                                         TShiftState AShift)
{
    bool handled = false;
    // A copy runs, so that a handler that frees the view does not free itself while it runs.
    if (TcxGridCellClickEvent handler = OnCellClick) handler(this, ACellViewInfo, AButton, AShift, handled);
    return handled;
}

bool TcxCustomGridTableView::DoCustomDrawCell(TcxCanvas* ACanvas, TcxGridTableDataCellViewInfo* AViewInfo)
{
    bool done = false;
    if (OnCustomDrawCell) OnCustomDrawCell(this, ACanvas, AViewInfo, done);
    return done;
}

bool TcxCustomGridTableView::DoEditing(TcxCustomGridTableItem* AItem)
{
    bool allow = true;
    if (OnEditing) OnEditing(this, AItem, allow);
    return allow;
}

void TcxCustomGridTableView::DoEditChanged(TcxCustomGridTableItem* AItem)
{
    if (OnEditChanged) OnEditChanged(this, AItem);
}

void TcxCustomGridTableView::DoEditValueChanged(TcxCustomGridTableItem* AItem)
{
    if (OnEditValueChanged) OnEditValueChanged(this, AItem);
}

void TcxCustomGridTableView::DoFocusedItemChanged(TcxCustomGridTableItem* APrevFocusedItem,
                                                  TcxCustomGridTableItem* AFocusedItem)
{
    if (OnFocusedItemChanged) OnFocusedItemChanged(this, APrevFocusedItem, AFocusedItem);
}

void TcxCustomGridTableView::DoInitEdit(TcxCustomGridTableItem* AItem, TcxCustomEdit* AEdit)
{
    if (OnInitEdit) OnInitEdit(this, AItem, AEdit);
}

void TcxCustomGridTableView::DoTopRecordIndexChanged()
{
    if (OnTopRecordIndexChanged) OnTopRecordIndexChanged(this);
}

int TcxCustomGridTableView::GetDefaultActiveDetailIndex()
{
    TcxGridLevel* level = Level();
    if (!level) return -1;
    for (int i = 0; i < level->Count(); ++i)
        if (level->Items(i)->Visible()) return i;
    return -1;
}

// ---- drawing decisions ---------------------------------------------------------------------------------------

bool TcxCustomGridTableView::DrawRecordActive(TcxCustomGridRecord* ARecord)
{
    return (Grid() && Grid()->IsFocused()) || (Controller() && Controller()->EditingController()->IsEditFocused()) ||
           (ARecord && ARecord->IsDragHighlighted());
}

bool TcxCustomGridTableView::DrawRecordFocused(TcxCustomGridRecord* ARecord)
{
    return ARecord && Controller() && Controller()->GetFocusedRecord() == ARecord && IsFocusedView();
}

bool TcxCustomGridTableView::DrawRecordSelected(TcxCustomGridRecord* ARecord)
{
    if (!ARecord) return false;
    return (ARecord->GetSelected() && (IsFocusedView() || OptionsSelection()->MultiSelect())) ||
           ARecord->IsDragHighlighted();
}

bool TcxCustomGridTableView::DrawCellSelected(TcxCustomGridRecord* ARecord, TcxCustomGridTableItem* AItem,
                                              const std::pair<bool, bool>* ACellDrawnSelected, bool ACellIsEditing)
{
    if ((ACellDrawnSelected && !ACellDrawnSelected->first) || !ARecord) return false;
    TcxCustomGridRecordViewInfo* recordViewInfo = ARecord->ViewInfo;
    if (!(recordViewInfo ? recordViewInfo->Selected() : DrawRecordSelected(ARecord))) return false;
    bool selected;
    if (ACellDrawnSelected && ACellDrawnSelected->second) {
        selected = true;
    } else {
        bool focusedCell = AItem && Controller() && AItem == Controller()->FocusedItem() && DrawRecordFocused(ARecord);
        if (OptionsSelection()->InvertSelect())
            selected = !focusedCell;
        else
            selected = !OptionsSelection()->MultiSelect() && focusedCell;
        if (ACellIsEditing) selected = false;
    }
    if (!selected) return false;
    return (Grid() && Grid()->IsFocused()) || !OptionsSelection()->HideSelection();
}

// ---- the navigator's record set ---------------------------------------------------------------------------

bool TcxCustomGridTableView::CanDelete() { return Controller()->CanDelete(true); }
bool TcxCustomGridTableView::CanEdit() { return Controller()->CanEdit(); }
bool TcxCustomGridTableView::CanInsert() { return Controller()->CanInsert(true); }
bool TcxCustomGridTableView::IsBof() { return GridDataController()->IsFirstRecord(); }
bool TcxCustomGridTableView::IsBookmarkAvailable() { return DataController()->IsBookmarkAvailable(); }
bool TcxCustomGridTableView::IsEditing() { return DataController()->IsEditing(); }
bool TcxCustomGridTableView::IsEof() { return GridDataController()->IsLastRecord(); }
void TcxCustomGridTableView::ClearBookmark() { DataController()->ClearBookmark(); }

void TcxCustomGridTableView::DoAction(int AButtonIndex)
{
    TcxCustomGridTableController* controller = Controller();
    TcxCustomDataController* dc = DataController();
    switch (AButtonIndex) {
    case 0: controller->GoToFirst(); break;
    case 1: controller->FocusPrevPage(true); break;
    case 2: controller->GoToPrev(true); break;
    case 3: controller->GoToNext(true); break;
    case 4: controller->FocusNextPage(true); break;
    case 5: controller->GoToLast(); break;
    case 6: controller->CreateNewRecord(false); break;
    case 7: controller->DeleteSelection(); break;
    case 8:
        dc->Edit();
        if (controller->FocusedItem()) controller->FocusedItem()->SetEditing(true);
        break;
    case 9:
        controller->EditingController()->UpdateValue();
        dc->PostEditingData();
        dc->Post();
        break;
    case 10: dc->Cancel(); break;
    case 11: break;  // the data-set views re-read their data here
    case 12: dc->SaveBookmark(); break;
    case 13: dc->GotoBookmark(); break;
    case 14: FFiltering->RunCustomizeDialog(nullptr); break;
    default: break;
    }
}

// ---- the filter builder's view ---------------------------------------------------------------------------------

std::string TcxCustomGridTableView::GetItemCaption(int AIndex) { return GetFilterableItem(AIndex)->Caption(); }
TcxFilterCriteria* TcxCustomGridTableView::GetCriteria() { return DataController()->Filter(); }
int TcxCustomGridTableView::GetItemLink(int AIndex) { return GetFilterableItem(AIndex)->ID(); }
TcxCustomEditProperties* TcxCustomGridTableView::GetProperties(int AIndex)
{
    return GetFilterableItem(AIndex)->GetProperties();
}
TcxValueTypeClass TcxCustomGridTableView::GetValueType(int AIndex)
{
    return DataController()->GetItemValueTypeClass(GetFilterableItem(AIndex)->Index());
}

// ---- stored layout ---------------------------------------------------------------------------------------------

namespace {
const std::vector<std::string>& FilterOptionNames()
{
    static const std::vector<std::string> names{"fcoCaseInsensitive", "fcoShowOperatorDescription", "fcoSoftNull",
                                                "fcoSoftCompare"};
    return names;
}
const std::vector<std::string>& SummaryOptionNames()
{
    static const std::vector<std::string> names{"soNullIgnore", "soSelectedRecords"};
    return names;
}
const char* const kFilterProperties[] = {"FilterActive",        "FilterAutoDataSetFilter", "FilterDateTimeFormat",
                                         "FilterMaxValueListCount", "FilterOptions",     "FilterPercentWildcard",
                                         "FilterUnderscoreWildcard", "Filter"};
char WildcardOf(const Variant& AValue)
{
    std::string s = VarToStr(AValue);
    return s.empty() ? '\0' : s[0];
}
// "SummaryGroup" followed by a decimal group number up to the first "_";
// -1 when the number cannot be read.
int SummaryGroupNumber(const std::string& AName)
{
    size_t start = std::string("SummaryGroup").size();
    size_t end = AName.find('_', start);
    std::string digits = AName.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return -1;
    return std::stoi(digits);
}
}  // namespace

bool TcxCustomGridTableView::GetStoredProperties(TStrings* AProperties)
{
    if (StoreFilter)
        for (const char* name : kFilterProperties) AProperties->Add(name);
    if (StoreSummary) AProperties->Add("SummaryOptions");
    return TcxCustomGridView::GetStoredProperties(AProperties);
}

Variant TcxCustomGridTableView::GetStoredPropertyValue(const std::string& AName)
{
    Variant result = Null();
    TcxDataFilterCriteria* filter = DataController()->Filter();
    if (StoreFilter) {
        if (AName == "FilterActive") return Variant(filter->Active());
        if (AName == "FilterDateTimeFormat") return Variant(filter->DateTimeFormat());
        if (AName == "FilterMaxValueListCount") return Variant(filter->MaxValueListCount());
        if (AName == "FilterOptions")
            return Variant(cxStorage::SetToString(uint32_t(filter->Options().ToInt()), 1, FilterOptionNames()));
        if (AName == "FilterPercentWildcard") return Variant(std::string(1, filter->PercentWildcard()));
        if (AName == "FilterUnderscoreWildcard") return Variant(std::string(1, filter->UnderscoreWildcard()));
        if (AName == "Filter") {
            TStringStream stream;
            filter->WriteData(&stream);
            return Variant("Hex:" + cxStorage::StringToHexString(stream.DataString()));
        }
        if (GridDataController()->GetFilterPropertyValue(AName, result)) return result;
    }
    if (StoreSummary && AName == "SummaryOptions")
        return Variant(cxStorage::SetToString(uint32_t(DataController()->Summary()->Options().ToInt()), 1,
                                              SummaryOptionNames()));
    Variant inherited = TcxCustomGridView::GetStoredPropertyValue(AName);
    return inherited.IsEmpty() ? result : inherited;
}

void TcxCustomGridTableView::SetStoredPropertyValue(const std::string& AName, const Variant& AValue)
{
    TcxDataFilterCriteria* filter = DataController()->Filter();
    if (StoreFilter) {
        if (AName == "FilterActive") {
            filter->SetActive(cxStorage::StringToBoolean(VarToStr(AValue)));
            return;
        }
        if (AName == "FilterDateTimeFormat") {
            filter->SetDateTimeFormat(VarToStr(AValue));
            return;
        }
        if (AName == "FilterMaxValueListCount") {
            filter->SetMaxValueListCount(int(AValue));
            return;
        }
        if (AName == "FilterOptions") {
            uint32_t bits = uint32_t(filter->Options().ToInt());
            cxStorage::StringToSet(VarToStr(AValue), bits, 1, FilterOptionNames());
            filter->SetOptions(TcxFilterCriteriaOptions::FromInt(bits));
            return;
        }
        if (AName == "FilterPercentWildcard") {
            filter->SetPercentWildcard(WildcardOf(AValue));
            return;
        }
        if (AName == "FilterUnderscoreWildcard") {
            filter->SetUnderscoreWildcard(WildcardOf(AValue));
            return;
        }
        if (AName == "Filter") {
            std::string text = VarToStr(AValue);
            TStringStream stream(cxStorage::HexStringToString(text.size() > 4 ? text.substr(4) : std::string()));
            filter->ReadData(&stream);
            return;
        }
        if (GridDataController()->SetFilterPropertyValue(AName, AValue)) return;
    }
    if (StoreSummary && AName == "SummaryOptions") {
        uint32_t bits = uint32_t(DataController()->Summary()->Options().ToInt());
        cxStorage::StringToSet(VarToStr(AValue), bits, 1, SummaryOptionNames());
        DataController()->Summary()->SetOptions(TcxSummaryOptions::FromInt(bits));
        return;
    }
    TcxCustomGridView::SetStoredPropertyValue(AName, AValue);
}

TObject* TcxCustomGridTableView::CreateStoredChild(const std::string& AObjectName, const std::string& AClassName)
{
    TClass itemClass = GetItemClass();
    if (itemClass && AClassName == itemClass->Name) {
        TcxCustomGridTableItem* item = CreateItem();
        if (!StoreByIdentifier) item->SetName(AObjectName);
        return item;
    }
    if (!StoreSummary) return nullptr;
    TcxDataSummary* summary = DataController()->Summary();
    if (AObjectName.rfind("FooterSummaryItem", 0) == 0) return static_cast<TCollection*>(summary->FooterSummaryItems())->Add();
    if (AObjectName.rfind("DefaultGroupSummaryItem", 0) == 0) return static_cast<TCollection*>(summary->DefaultGroupSummaryItems())->Add();
    if (AObjectName.rfind("SummaryGroup", 0) == 0) {
        int group = SummaryGroupNumber(AObjectName);
        if (group < 0) return nullptr;
        bool isItem = AObjectName.find("Item") != std::string::npos;
        bool isLink = AObjectName.find("Link") != std::string::npos;
        if (!isItem && !isLink) return summary->SummaryGroups()->Add();
        if (group >= summary->SummaryGroups()->Count()) return nullptr;
        TcxDataSummaryGroup* g = summary->SummaryGroups()->Items(group);
        if (isItem) return static_cast<TCollection*>(g->SummaryItems())->Add();
        return g->Links()->Add(nullptr);
    }
    return nullptr;
}

void TcxCustomGridTableView::GetStoredChildren(std::vector<TObject*>& AChildren)
{
    for (TcxCustomGridTableItem* item : FItems) AChildren.push_back(item);
    if (!StoreSummary) return;
    TcxDataSummary* summary = DataController()->Summary();
    for (int i = 0; i < summary->FooterSummaryItems()->Count(); ++i)
        AChildren.push_back(summary->FooterSummaryItems()->Items(i));
    for (int i = 0; i < summary->DefaultGroupSummaryItems()->Count(); ++i)
        AChildren.push_back(summary->DefaultGroupSummaryItems()->Items(i));
    for (int g = 0; g < summary->SummaryGroups()->Count(); ++g) AChildren.push_back(summary->SummaryGroups()->Items(g));
    for (int g = 0; g < summary->SummaryGroups()->Count(); ++g) {
        TcxDataSummaryGroup* group = summary->SummaryGroups()->Items(g);
        for (int i = 0; i < group->SummaryItems()->Count(); ++i) AChildren.push_back(group->SummaryItems()->Items(i));
        for (int i = 0; i < group->Links()->Count(); ++i) AChildren.push_back(group->Links()->Items(i));
    }
}

// The stored name of a summary object, by its place among the summary's collections.
std::string cxGridCustomTableView::GetSummaryStoredName(TcxCustomGridTableView* AView, TObject* AObject)
{
    TcxDataSummary* summary = AView->DataController()->Summary();
    auto indexIn = [&](TCollection* c) {
        for (int i = 0; i < c->Count(); ++i)
            if (c->Items(i) == AObject) return i;
        return -1;
    };
    int i;
    if ((i = indexIn(summary->FooterSummaryItems())) >= 0) return "FooterSummaryItem" + std::to_string(i);
    if ((i = indexIn(summary->DefaultGroupSummaryItems())) >= 0) return "DefaultGroupSummaryItem" + std::to_string(i);
    if ((i = indexIn(summary->SummaryGroups())) >= 0) return "SummaryGroup" + std::to_string(i);
    for (int g = 0; g < summary->SummaryGroups()->Count(); ++g) {
        TcxDataSummaryGroup* group = summary->SummaryGroups()->Items(g);
        if ((i = indexIn(group->SummaryItems())) >= 0)
            return "SummaryGroup" + std::to_string(g) + "_Item" + std::to_string(i);
        if ((i = indexIn(group->Links())) >= 0) return "SummaryGroup" + std::to_string(g) + "_Link" + std::to_string(i);
    }
    return std::string();
}

// ---- other view hooks ---------------------------------------------------------------------------------------------

void TcxCustomGridTableView::AfterLayoutAssigned()
{
    TcxCustomGridView::AfterLayoutAssigned();
    if (Controller()) Controller()->FocusFirstAvailableItem();
}

void TcxCustomGridTableView::LoadingComplete()
{
    BeginUpdate();
    try {
        TcxCustomGridView::LoadingComplete();
        DataChanged();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TcxCustomGridTableView::VisibleChildLevelsChanged(TObject* AArgument, int AOldCount, int ANewCount)
{
    if (IsPattern() && CloneCount() > 0) {
        BeginUpdate();
        try {
            for (int i = 0; i < CloneCount(); ++i) Clones(i)->VisibleChildLevelsChanged(AArgument, AOldCount, ANewCount);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    } else if (AOldCount == 0 || ANewCount == 0) {
        DataChanged();
    }
}

void TcxCustomGridTableView::RestoreDefaults()
{
    BeginUpdate();
    try {
        for (TcxCustomGridTableItem* item : FItems) item->RestoreDefaults();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TcxCustomGridTableView::GroupedItemCount() const { return DataController()->Groups()->GetGroupingItemCount(); }

TcxCustomGridTableItem* TcxCustomGridTableView::GetGroupedItem(int AIndex) const
{
    int index = DataController()->Groups()->GetGroupingItemIndex(AIndex);
    return index >= 0 && index < ItemCount() ? GetItem(index) : nullptr;
}

// ---- what an item's cells draw with ----------------------------------------------------------------------

TcxCustomEditStyle* TcxCustomGridTableItem::LockEditStyle()
{
    if (FEditStyleLockCount++ == 0 || !FEditStyle) {
        TcxCustomEditProperties* properties = GetProperties();
        TClass styleClass = properties ? properties->GetStyleClass() : TcxEditStyle::StaticClass();
        auto* style = DynamicCast<TcxCustomEditStyle>(styleClass->Create());
        if (!style) {
            delete static_cast<TObject*>(style);
            style = new TcxEditStyle(nullptr, false);
        }
        FEditStyle.reset(style);
        if (FGridView && FGridView->Grid()) FEditStyle->LookAndFeel()->SetMasterLookAndFeel(FGridView->Grid()->LookAndFeel());
    }
    return FEditStyle.get();
}

void TcxCustomGridTableItem::UnlockEditStyle()
{
    if (FEditStyleLockCount > 0 && --FEditStyleLockCount == 0) FEditStyle.reset();
}

void TcxCustomGridTableItem::CreateEditViewData()
{
    TcxCustomEditProperties* properties = GetProperties();
    if (!properties || FEditViewData) return;
    FEditViewData = properties->CreateViewData(LockEditStyle(), true);
}

void TcxCustomGridTableItem::DestroyEditViewData()
{
    if (!FEditViewData) return;
    FEditViewData.reset();
    UnlockEditStyle();
}

TcxCustomEditViewData* TcxCustomGridTableItem::GetEditViewData(TcxCustomEditProperties* AProperties, bool& ALocal)
{
    // Per-record properties give every cell view data of its own.
    ALocal = !FEditViewData || OnGetProperties || AProperties != GetProperties();
    if (!ALocal) return FEditViewData.get();
    if (!AProperties) return nullptr;
    return AProperties->CreateViewData(LockEditStyle(), true).release();
}

void TcxCustomGridTableItem::ReleaseEditViewData(TcxCustomEditViewData* AViewData, bool ALocal)
{
    if (!ALocal || !AViewData) return;
    delete AViewData;
    UnlockEditStyle();
}

bool TcxCustomGridTableItem::CanAutoHeight()
{
    // The editor's operations name automatic height with bit 1.
    constexpr uint16_t esoAutoHeight = 0x02;
    TcxCustomEditProperties* properties = GetProperties();
    return properties && (properties->GetSupportedOperations() & esoAutoHeight);
}

bool TcxCustomGridTableItem::ShowButtons(bool AFocused)
{
    switch (FOptions->ShowEditButtons()) {
    case isebAlways: return true;
    case isebNever: return false;
    default: break;
    }
    if (!FGridView) return false;
    switch (FGridView->OptionsView()->ShowEditButtons()) {
    case gsebAlways: return true;
    case gsebForFocusedRecord: return AFocused;
    default: return false;
    }
}

void TcxCustomGridTableItem::InitStyle(TcxCustomEditStyle* AStyle, const TcxViewParams& AParams, bool AFocused)
{
    if (!AStyle) return;
    AStyle->SetColor(AParams.Color);
    if (AParams.Font) AStyle->SetFont(AParams.Font);
    AStyle->SetTextColor(AParams.TextColor);
    AStyle->SetButtonTransparency(ShowButtons(AFocused) ? ebtNone : ebtHideInactive);
    AStyle->SetHotTrack(true);
}

int TcxCustomGridTableItem::CalculateDefaultCellHeight(TcxCanvas* ACanvas, TFont* AFont)
{
    TcxCustomEditProperties* properties = GetProperties();
    if (!properties) return 0;
    TcxCustomEditStyle* style = LockEditStyle();
    int height = 0;
    try {
        if (AFont) style->SetFont(AFont);
        std::unique_ptr<TcxCustomEditViewData> data = properties->CreateViewData(style, true);
        TcxEditSizeProperties size;
        size.Width = -1;
        height = data->GetEditSize(ACanvas, Null(), size).cy;
    } catch (...) {
        UnlockEditStyle();
        throw;
    }
    UnlockEditStyle();
    return height == 0 ? 0 : height + 2;
}

namespace {
// The editor operations the item's capabilities rest on.
constexpr uint16_t esoFilteringOperation = 0x04;
constexpr uint16_t esoSortingOperation = 0x80;

bool PropertiesSupport(TcxCustomGridTableItem* AItem, uint16_t AOperation)
{
    TcxCustomEditProperties* properties = AItem->GetProperties();
    return properties && (properties->GetSupportedOperations() & AOperation);
}
}  // namespace

bool TcxCustomGridTableItem::CanFilter()
{
    return PropertiesSupport(this, esoFilteringOperation) && FOptions->Filtering();
}

bool TcxCustomGridTableItem::CanGroup()
{
    return PropertiesSupport(this, esoSortingOperation) && FGridView &&
           FGridView->OptionsCustomize()->ItemGrouping && FOptions->Grouping();
}

bool TcxCustomGridTableItem::CanSort()
{
    return PropertiesSupport(this, esoSortingOperation) && FGridView &&
           FGridView->OptionsCustomize()->ItemSorting && FOptions->Sorting();
}

void TcxCustomGridTableItem::ForceWidth(int AValue)
{
    TcxCustomGridTableController* controller = FGridView ? FGridView->Controller() : nullptr;
    if (controller) controller->ItemBeingSized = this;
    try {
        SetWidth(AValue);
    } catch (...) {
        if (controller) controller->ItemBeingSized = nullptr;
        throw;
    }
    if (controller) controller->ItemBeingSized = nullptr;
}

bool TcxCustomGridTableItem::IsWidthForced()
{
    return FGridView && FGridView->Controller() && FGridView->Controller()->ItemBeingSized == this;
}

int TcxCustomGridTableItem::CalculateBestFitWidth()
{
    TcxCustomGridTableView* view = FGridView;
    TcxCustomEditProperties* properties = GetProperties();
    TcxCanvas* canvas = view && view->ViewInfo() ? view->ViewInfo()->Canvas() : nullptr;
    if (!properties || !canvas) return 0;
    // Editors that format their value for display are measured on the text they show.
    bool measureText = properties->UsesDisplayFormatting(false) != 0;
    TcxCustomGridTableViewData* data = view->ViewData();
    int first = 0;
    int last = data->RecordCount() - 1;
    if (int maxCount = view->OptionsBehavior()->BestFitMaxRecordCount(); maxCount > 0) {
        first = std::max(0, view->Controller()->TopRecordIndex());
        last = std::min(last, first + maxCount - 1);
    }
    TcxCustomEditStyle* style = LockEditStyle();
    int width = 0;
    try {
        std::unique_ptr<TcxCustomEditViewData> editData = properties->CreateViewData(style, true);
        TcxEditSizeProperties size;
        TcxViewParams params;
        for (int i = first; i <= last; ++i) {
            TcxCustomGridRecord* record = data->GetRecord(i);
            if (!record->HasCells()) continue;
            view->Styles()->GetContentParams(record, this, params);
            InitStyle(style, params, false);
            Variant value = measureText ? Variant(record->GetDisplayText(FIndex)) : record->GetValue(FIndex);
            width = std::max(width, editData->InternalGetEditContentSize(canvas, value, size).cx);
        }
        // Borders and buttons come on top of the widest content.
        view->Styles()->GetContentParams(nullptr, this, params);
        InitStyle(style, params, false);
        TcxCustomEditViewInfo viewInfo;
        editData->Calculate(canvas, TRect{0, 0, INT_MAX / 2, INT_MAX / 2}, TPoint{-1, -1}, 0, TShiftState{}, &viewInfo,
                            false);
        TSize minContent{0, 0};
        TSize constant{0, 0};
        editData->InternalGetEditConstantPartSize(canvas, size, minContent, &viewInfo, constant);
        width = std::max(width, int(minContent.cx)) + constant.cx;
    } catch (...) {
        UnlockEditStyle();
        throw;
    }
    UnlockEditStyle();
    return width == 0 ? 0 : width + 2;
}

void TcxCustomGridTableItem::ApplyBestFit()
{
    if (!FGridView || FGridView->IsPattern()) return;
    TCursor saved = Screen ? Screen->Cursor() : crDefault;
    if (Screen) Screen->SetCursor(crHourGlass);
    try {
        ForceWidth(CalculateBestFitWidth());
        Changed(true);
    } catch (...) {
        if (Screen) Screen->SetCursor(saved);
        throw;
    }
    if (Screen) Screen->SetCursor(saved);
}

bool TcxCustomGridTableItem::DoCustomDrawCell(TcxCanvas* ACanvas, TcxGridTableDataCellViewInfo* AViewInfo)
{
    bool done = false;
    if (OnCustomDrawCell) OnCustomDrawCell(FGridView, ACanvas, AViewInfo, done);
    return done;
}

void TcxCustomGridTableItem::AddCell(TcxGridTableDataCellViewInfo* ACell) { FCells.push_back(ACell); }

void TcxCustomGridTableItem::RemoveCell(TcxGridTableDataCellViewInfo* ACell)
{
    FCells.erase(std::remove(FCells.begin(), FCells.end(), ACell), FCells.end());
}

// ---- cells of records ----------------------------------------------------------------------------------

TcxGridTableCellViewInfo::TcxGridTableCellViewInfo(TcxCustomGridRecordViewInfo* ARecordViewInfo)
    : TcxCustomGridViewCellViewInfo(ARecordViewInfo->RecordsViewInfo()->GridViewInfo()), FRecordViewInfo(ARecordViewInfo)
{
}

TcxCustomGridRecord* TcxGridTableCellViewInfo::GridRecord() const { return FRecordViewInfo->GridRecord(); }
TcxCustomGridTableView* TcxGridTableCellViewInfo::GridView() const { return FRecordViewInfo->GridView(); }

bool TcxGridTableCellViewInfo::CalculateSelected()
{
    std::pair<bool, bool> cell{CanDrawSelected(), AlwaysSelected()};
    return GridView()->DrawCellSelected(GridRecord(), nullptr, &cell);
}

bool TcxGridTableCellViewInfo::Selected()
{
    if (!FSelectedCalculated) {
        FSelected = CalculateSelected();
        FSelectedCalculated = true;
    }
    return FSelected;
}

TClass TcxGridTableCellViewInfo::GetHitTestClass() { return TcxGridRecordHitTest::StaticClass(); }

bool TcxGridTableCellViewInfo::HasBackgroundBitmap() { return FRecordViewInfo->HasCellBackgroundBitmap(this); }

void TcxGridTableCellViewInfo::InitHitTest(TcxCustomGridHitTest* AHitTest)
{
    TcxCustomGridViewCellViewInfo::InitHitTest(AHitTest);
    if (auto* hit = DynamicCast<TcxGridRecordHitTest>(AHitTest)) hit->SetGridRecord(GridRecord());
}

void TcxGridTableCellViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    FSelectedCalculated = false;
    TcxCustomGridViewCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
}

bool TcxGridTableCellViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    TcxGridViewGuard guard(GridView());
    TcxCustomGridViewInfo* viewInfo = GridViewInfo();
    bool result = FRecordViewInfo->MouseDown(AHitTest, AButton, AShift);
    // Focusing the record may have laid it out anew (this cell gone) or freed the view.
    if (guard.Alive() && result && viewInfo->HasCell(this))
        TcxCustomGridViewCellViewInfo::MouseDown(AHitTest, AButton, AShift);
    return guard.Alive() && result;
}

TcxGridTableDataCellViewInfo::TcxGridTableDataCellViewInfo(TcxCustomGridRecordViewInfo* ARecordViewInfo,
                                                           TcxCustomGridTableItem* AItem)
    : TcxGridTableCellViewInfo(ARecordViewInfo), FItem(AItem), FProperties(AItem->GetProperties(ARecordViewInfo->GridRecord()))
{
    FItem->AddCell(this);
    if (FProperties && FProperties->GetViewInfoClass())
        FEditViewInfo.reset(DynamicCast<TcxCustomEditViewInfo>(FProperties->GetViewInfoClass()->Create()));
    FEditStyle = FItem->LockEditStyle();
}

TcxGridTableDataCellViewInfo::~TcxGridTableDataCellViewInfo()
{
    if (FItem) {
        FItem->UnlockEditStyle();
        FItem->RemoveCell(this);
    }
}

bool TcxGridTableDataCellViewInfo::IsFocusedCell()
{
    TcxCustomGridTableController* controller = GridView()->Controller();
    return FItem && controller && controller->FocusedItem() == FItem && GridView()->DrawRecordFocused(GridRecord()) &&
           FItem->GetFocusedCellViewInfo() == this;
}

bool TcxGridTableDataCellViewInfo::GetAutoHeight() { return RecordViewInfo()->GetAutoHeight(); }

void TcxGridTableDataCellViewInfo::GetValue(Variant& AValue)
{
    TcxCustomGridRecord* record = GridRecord();
    AValue = record && FItem ? record->GetValue(FItem->Index()) : Null();
}

void TcxGridTableDataCellViewInfo::GetDisplayValue(Variant& AValue)
{
    TcxCustomGridRecord* record = GridRecord();
    if (FProperties && FProperties->UsesDisplayFormatting(false) != 0 && record && FItem)
        AValue = Variant(record->GetDisplayText(FItem->Index()));
    else
        GetValue(AValue);
}

void TcxGridTableDataCellViewInfo::GetEditBounds(TRect& R)
{
    GetEditViewBounds(R);
    InflateRect(R, -1, -1);
    if (FItem && FItem->CanScroll()) {
        TRect visible;
        RecordViewInfo()->RecordsViewInfo()->GridViewInfo()->GetVisibleContentBounds(visible);
        R.Right = std::min(R.Right, visible.Right);
        R.Bottom = std::min(R.Bottom, visible.Bottom);
    }
}

int TcxGridTableDataCellViewInfo::GetMaxLineCount() { return GridView()->OptionsView()->CellTextMaxLineCount(); }

bool TcxGridTableDataCellViewInfo::IsTextSelected()
{
    return RecordViewInfo()->RecordsViewInfo()->GetIncSearchCell() == this;
}

void TcxGridTableDataCellViewInfo::InitStyle()
{
    if (FItem) FItem->InitStyle(FEditStyle, Params, GridView()->DrawRecordFocused(GridRecord()));
}

void TcxGridTableDataCellViewInfo::Update(bool ARecalculate)
{
    if (IsDestroying()) return;
    if (ARecalculate) Recalculate();
    Invalidate();
}

void TcxGridTableDataCellViewInfo::CalculateEditViewInfo(TcxCustomEditViewInfo* AEditViewInfo, const TPoint& AMousePos)
{
    if (!FItem || !FProperties || !AEditViewInfo) return;
    InitStyle();
    bool local = false;
    TcxCustomEditViewData* data = FItem->GetEditViewData(FProperties, local);
    if (!data) return;
    try {
        GetEditViewDataContentOffsets(data->InplaceEditBorderRect);
        auto* textData = DynamicCast<TcxCustomTextEditViewData>(data);
        if (GetAutoHeight() || MultiLine) {
            data->EditorOptions |= evoWordWrap;
            if (textData) textData->MaxLineCount = GetMaxLineCount();
        }
        if (GetShowEndEllipsis()) data->EditorOptions |= evoEndEllipsis;
        data->EditorFlag = Selected();
        AEditViewInfo->Transparent = HasBackgroundBitmap();
        if (IsTextSelected()) {
            data->SelStart = 0;
            data->SelLength = int(GridView()->Controller()->GetIncSearchingText().size());
            TcxViewParams search;
            GridView()->Styles()->GetViewParams(TcxCustomGridTableViewStyles::vsIncSearch, nullptr, nullptr, search);
            data->SelBackgroundColor = search.Color;
            data->SelTextColor = search.TextColor;
        } else {
            data->SelLength = 0;
        }
        Variant value;
        GetDisplayValue(value);
        TRect bounds;
        GetEditViewBounds(bounds);
        data->Calculate(GetCanvas(), bounds, AMousePos, 1, {}, AEditViewInfo, true);
        data->PrepareDrawValue(GetCanvas(), value, AEditViewInfo);
    } catch (...) {
        FItem->ReleaseEditViewData(data, local);
        throw;
    }
    FItem->ReleaseEditViewData(data, local);
}

void TcxGridTableDataCellViewInfo::Calculate(int ALeft, int ATop, int AWidth, int AHeight)
{
    TcxGridTableCellViewInfo::Calculate(ALeft, ATop, AWidth, AHeight);
    CalculateEditViewInfo(FEditViewInfo.get(), GridViewInfo()->MousePos());
    Text = GetText();
    // The editor follows the cell it edits.
    if (FItem && !GridViewInfo()->IsDetached() && FItem->Editing() && IsFocusedCell())
        GridView()->Controller()->EditingController()->UpdateEditPosition();
}

int TcxGridTableDataCellViewInfo::CalculateHeight()
{
    CheckValuesCalculated();
    if (!FItem || !FProperties) return 0;
    if (!FItem->CanAutoHeight()) return FItem->CalculateDefaultCellHeight(GetCanvas(), Params.Font);
    bool local = false;
    TcxCustomEditViewData* data = FItem->GetEditViewData(FProperties, local);
    if (!data) return 0;
    int height = 0;
    try {
        data->InplaceEditBorderRect = TRect{};
        data->EditorOptions |= evoEmptyTextNoHeight;
        TcxEditSizeProperties size;
        size.MaxLineCount = GetMaxLineCount();
        TRect textArea;
        GetTextAreaBounds(textArea);
        size.Width = textArea.Width() + 2;
        Variant value;
        GetDisplayValue(value);
        height = data->GetEditSize(GetCanvas(), value, size).cy;
    } catch (...) {
        FItem->ReleaseEditViewData(data, local);
        throw;
    }
    FItem->ReleaseEditViewData(data, local);
    return height == 0 ? 0 : height + 2;
}

int TcxGridTableDataCellViewInfo::CalculateWidth() { return FItem ? FItem->Width() : 0; }

void TcxGridTableDataCellViewInfo::CalculateValues()
{
    TcxGridTableCellViewInfo::CalculateValues();
    InitStyle();
}

TClass TcxGridTableDataCellViewInfo::GetHitTestClass() { return TcxGridRecordCellHitTest::StaticClass(); }

bool TcxGridTableDataCellViewInfo::GetHotTrack()
{
    if (!FItem || !FProperties) return false;
    if (FItem->ShowButtons(GridView()->DrawRecordFocused(GridRecord()))) return true;
    // The editor's operations name hot tracking with bit 0.
    constexpr uint16_t esoHotTrack = 0x01;
    return (FProperties->GetSupportedOperations() & esoHotTrack) &&
           (GridView()->OptionsBehavior()->ImmediateEditor || IsFocusedCell());
}

TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*>
TcxGridTableDataCellViewInfo::GetPainterClass()
{
    return TcxGridClassRef<TcxCustomGridCellPainter, TcxCanvas*, TcxCustomGridCellViewInfo*>::Of<
        TcxGridTableDataCellPainter>();
}

bool TcxGridTableDataCellViewInfo::GetShowEndEllipsis() { return GridView()->OptionsView()->CellEndEllipsis(); }

std::string TcxGridTableDataCellViewInfo::GetText()
{
    auto* text = DynamicCast<TcxCustomTextEditViewInfo>(FEditViewInfo.get());
    return text ? text->Text : std::string();
}

void TcxGridTableDataCellViewInfo::GetViewParams(TcxViewParams& AParams)
{
    TcxCustomGridRecord* record = GridRecord();
    TcxCustomGridTableView* view = GridView();
    std::pair<bool, bool> cell{CanDrawSelected(), AlwaysSelected()};
    if (view->DrawCellSelected(record, FItem, &cell))
        view->Styles()->GetViewParams(view->DrawRecordActive(record) ? TcxCustomGridTableViewStyles::vsSelection
                                                                     : TcxCustomGridTableViewStyles::vsInactive,
                                      record, nullptr, AParams);
    else
        view->Styles()->GetContentParams(record, FItem, AParams);
}

bool TcxGridTableDataCellViewInfo::HasCustomDraw()
{
    return (FItem && FItem->OnCustomDrawCell) || GridView()->OnCustomDrawCell;
}

bool TcxGridTableDataCellViewInfo::CustomDraw(TcxCanvas* ACanvas)
{
    bool done = TcxGridTableCellViewInfo::CustomDraw(ACanvas);
    if (!done && FItem) done = FItem->DoCustomDrawCell(ACanvas, this);
    if (!done) done = GridView()->DoCustomDrawCell(ACanvas, this);
    return done;
}

void TcxGridTableDataCellViewInfo::BeforeCustomDraw(TcxCanvas* ACanvas)
{
    TcxGridTableCellViewInfo::BeforeCustomDraw(ACanvas);
    if (!FEditViewInfo) return;
    ACanvas->Brush()->SetColor(FEditViewInfo->BackgroundColor());
    if (DynamicCast<TcxCustomTextEditViewInfo>(FEditViewInfo.get())) {
        if (FEditViewInfo->Font) ACanvas->Font()->Assign(FEditViewInfo->Font);
        ACanvas->Font()->SetColor(FEditViewInfo->TextColor);
    }
}

void TcxGridTableDataCellViewInfo::AfterCustomDraw(TcxCanvas* ACanvas)
{
    TcxGridTableCellViewInfo::AfterCustomDraw(ACanvas);
    if (!FEditViewInfo) return;
    FEditViewInfo->SetFillColor(ACanvas->Brush()->Color());
    if (DynamicCast<TcxCustomTextEditViewInfo>(FEditViewInfo.get())) {
        FEditViewInfo->Font = ACanvas->Font();
        FEditViewInfo->TextColor = ACanvas->Font()->Color();
    }
}

void TcxGridTableDataCellViewInfo::InitHitTest(TcxCustomGridHitTest* AHitTest)
{
    TcxGridTableCellViewInfo::InitHitTest(AHitTest);
    if (auto* hit = DynamicCast<TcxGridRecordCellHitTest>(AHitTest)) hit->Item = FItem;
}

void TcxGridTableDataCellViewInfo::DoOffset(int DX, int DY)
{
    TcxGridTableCellViewInfo::DoOffset(DX, DY);
    if (FEditViewInfo) FEditViewInfo->OffsetBounds(DX, DY);
}

void TcxGridTableDataCellViewInfo::RestoreParams(const TcxViewParams& AParams)
{
    TcxGridTableCellViewInfo::RestoreParams(AParams);
    if (!FEditViewInfo) return;
    FEditViewInfo->SetFillColor(AParams.Color);
    if (DynamicCast<TcxCustomTextEditViewInfo>(FEditViewInfo.get())) {
        FEditViewInfo->Font = AParams.Font;
        FEditViewInfo->TextColor = AParams.TextColor;
    }
}

void TcxGridTableDataCellViewInfo::SaveParams(TcxViewParams& AParams)
{
    TcxGridTableCellViewInfo::SaveParams(AParams);
    if (!FEditViewInfo) return;
    AParams.Color = FEditViewInfo->BackgroundColor();
    if (DynamicCast<TcxCustomTextEditViewInfo>(FEditViewInfo.get())) {
        AParams.Font = FEditViewInfo->Font;
        AParams.TextColor = FEditViewInfo->TextColor;
    }
}

void TcxGridTableDataCellViewInfo::RefreshHotTrack(const TPoint& P)
{
    if (!GetHotTrack() || !FProperties || !FProperties->GetViewInfoClass()) return;
    std::unique_ptr<TcxCustomEditViewInfo> probe(
        DynamicCast<TcxCustomEditViewInfo>(FProperties->GetViewInfoClass()->Create()));
    if (!probe) return;
    CalculateEditViewInfo(probe.get(), P);
    if (!probe->NeedsRepaint(FEditViewInfo.get())) return;
    // Recalculating places the editor again only where a placement was due anyway.
    TcxGridEditingController* editing = GridView()->Controller()->EditingController();
    bool updateNeeded = editing->EditUpdateNeeded();
    Update(true);
    if (!updateNeeded) editing->SetEditUpdateNeeded(false);
}

void TcxGridTableDataCellViewInfo::MouseLeave()
{
    TcxGridTableCellViewInfo::MouseLeave();
    RefreshHotTrack(TPoint{Bounds.Right, Bounds.Bottom});
}

void TcxGridTableDataCellViewInfo::StateChanged()
{
    TcxGridTableCellViewInfo::StateChanged();
    if (State() == gcsNormal) Update(true);
}

void TcxGridTableDataCellViewInfo::BeforeRecalculation()
{
    GridViewInfo()->RecordMousePos();
    TcxGridTableCellViewInfo::BeforeRecalculation();
}

bool TcxGridTableDataCellViewInfo::MouseDown(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    FWasFocusedCell = IsFocusedCell();
    // The cell may go during the handling (its record is laid out anew when
    // it takes the focus), so what comes after keeps its own copies.
    TcxCustomGridTableItem* item = FItem;
    bool canShowEdit = CanShowEditOnMouseDown();
    TPoint pos = AHitTest ? AHitTest->Pos : TPoint{};
    auto* view = static_cast<TcxCustomGridTableView*>(GridView());
    TcxCustomGridTableController* controller = view->Controller();
    TcxGridEditingController* editing = controller->EditingController();
    TcxGridViewGuard guard(view);
    // The focus moves first; the editor opens here or not at all.
    controller->EditorCheckAllowed = false;
    view->IsCellMouseDown = true;
    bool result = false;
    try {
        result = TcxGridTableCellViewInfo::MouseDown(AHitTest, AButton, AShift);
        if (guard.Alive() && result && !editing->ErrorOnExit() && item && view->IndexOfItem(item) >= 0) {
            item->SetFocused(true);
            if (guard.Alive() && AButton == mbLeft && !AShift.Contains(ssShift) && !AShift.Contains(ssCtrl) &&
                canShowEdit)
                editing->ShowEditByMouse(item, AShift, pos.X, pos.Y);
        }
    } catch (...) {
        if (guard.Alive()) {
            view->IsCellMouseDown = false;
            controller->EditorCheckAllowed = true;
        }
        throw;
    }
    if (!guard.Alive()) return false;
    view->IsCellMouseDown = false;
    controller->EditorCheckAllowed = true;
    return result;
}

bool TcxGridTableDataCellViewInfo::MouseMove(TcxCustomGridHitTest* AHitTest, TShiftState AShift)
{
    bool result = TcxGridTableCellViewInfo::MouseMove(AHitTest, AShift);
    if (AHitTest) RefreshHotTrack(AHitTest->Pos);
    return result;
}

bool TcxGridTableDataCellViewInfo::MouseUp(TcxCustomGridHitTest* AHitTest, TMouseButton AButton, TShiftState AShift)
{
    bool result = TcxGridTableCellViewInfo::MouseUp(AHitTest, AButton, AShift);
    // What the editor needs is taken now: the handler may lay the cell out anew.
    TcxCustomGridTableItem* item = FItem;
    bool focusedCell = IsFocusedCell();
    bool wasFocusedCell = FWasFocusedCell;
    TPoint pos = AHitTest ? AHitTest->Pos : TPoint{};
    auto* view = static_cast<TcxCustomGridTableView*>(GridView());
    TcxGridViewGuard guard(view);
    bool handled = view->DoCellClick(this, AButton, AShift);
    if (guard.Alive() && !handled && AButton == mbLeft && !AShift.Contains(ssShift) && !AShift.Contains(ssCtrl) &&
        focusedCell && item && view->IndexOfItem(item) >= 0) {
        handled = true;
        TcxGridEditingController* editing = view->Controller()->EditingController();
        if (item->Editing()) {
            // The editor is open already.
        } else if (view->OptionsBehavior()->ImmediateEditor) {
            view->IsCellMouseDown = true;
            try {
                editing->ShowEditByMouse(item, AShift, pos.X, pos.Y);
            } catch (...) {
                if (guard.Alive()) view->IsCellMouseDown = false;
                throw;
            }
            if (guard.Alive()) view->IsCellMouseDown = false;
        } else if (wasFocusedCell && !view->Controller()->IsDblClick()) {
            // A second click within the double-click time makes a double click instead.
            editing->StartEditShowingTimer(item);
        }
    }
    // A handler may free the grid: nothing of the view is touched after that.
    if (!guard.Alive()) return true;
    return handled || result;
}

bool TcxGridTableDataCellViewInfo::CanShowHint() { return GridView()->OptionsBehavior()->CellHints; }

void TcxGridTableDataCellViewInfo::GetHintTrackBounds(TRect& R)
{
    TRect content = ContentBounds();
    IntersectRect(R, content, RecordViewInfo()->RecordsViewInfo()->Bounds);
}

bool TcxGridTableDataCellViewInfo::GetHintInfo(const TPoint& P, std::string& AText, TRect& ATextBounds, bool& AMultiLine)
{
    AText.clear();
    auto* text = DynamicCast<TcxCustomTextEditViewInfo>(FEditViewInfo.get());
    if (!text) return false;
    AMultiLine = false;
    return text->NeedShowHintInRect(GetCanvas(), P, AText, ATextBounds);
}

bool TcxGridTableDataCellViewInfo::CalculateSelected()
{
    std::pair<bool, bool> cell{CanDrawSelected(), AlwaysSelected()};
    bool editing = FItem && FItem->Editing() && IsFocusedCell();
    return GridView()->DrawCellSelected(GridRecord(), FItem, &cell, editing);
}

void TcxGridTableDataCellPainter::DrawContent()
{
    auto* cell = static_cast<TcxGridTableDataCellViewInfo*>(ViewInfo());
    if (cell->EditViewInfo())
        cell->EditViewInfo()->Paint(Canvas());
    else
        TcxCustomGridCellPainter::DrawContent();
}

namespace {
// The focus rectangle goes through the view's painter while it paints,
// which knows whether the grid has the focus.
void DrawViewFocusRect(TcxCustomGridTableView* AView, TcxCanvas* ACanvas, const TRect& R, bool AHideFocusRect)
{
    TcxCustomGridPainter* painter = AView->Painter();
    if (painter && painter->Canvas() == ACanvas && !IsRectEmpty(R)) painter->DrawFocusRect(R, AHideFocusRect);
}
}  // namespace

void TcxGridTableDataCellPainter::Paint()
{
    TcxCustomGridCellPainter::Paint();
    auto* cell = static_cast<TcxGridTableDataCellViewInfo*>(ViewInfo());
    TcxCustomGridTableView* view = cell->GridView();
    TcxCustomGridTableItem* item = cell->Item();
    TcxCustomGridRecord* record = cell->GridRecord();
    if (!item || !record || view->Controller()->FocusedItem() != item || !record->DrawFocused()) return;
    if (view->OptionsSelection()->InvertSelect() || (item->Editing() && cell->IsFocusedCell())) return;
    DrawViewFocusRect(view, Canvas(), cell->Bounds, view->OptionsSelection()->HideFocusRect());
}

TcxCustomGridRecordViewInfo* TcxCustomGridRecordPainter::RecordViewInfo() const
{
    return static_cast<TcxCustomGridRecordViewInfo*>(ViewInfo());
}

void TcxCustomGridRecordPainter::BeforePaint()
{
    TcxCustomGridRecordViewInfo* viewInfo = RecordViewInfo();
    TcxCustomGridRecord* record = viewInfo->GridRecord();
    if (record && record->GetExpandable() && !IsRectEmpty(viewInfo->ExpandButtonBounds))
        if (TcxCustomLookAndFeelPainterClass painter = viewInfo->GridView()->LookAndFeelPainter())
            painter->DrawExpandBox(Canvas(), viewInfo->ExpandButtonBounds, record->GetExpanded(), clDefault);
    DrawBackground();
}

void TcxCustomGridRecordPainter::DrawBackground()
{
    // Only a bitmap: the cells fill their own colours.
    TcxCustomGridRecordViewInfo* viewInfo = RecordViewInfo();
    if (!viewInfo->HasBackgroundBitmap()) return;
    TRect r;
    viewInfo->GetBackgroundBitmapBounds(r);
    DrawBackgroundBitmap(Canvas(), r);
}

void TcxCustomGridRecordPainter::AfterPaint()
{
    TcxCustomGridRecordViewInfo* viewInfo = RecordViewInfo();
    TcxCustomGridTableView* view = viewInfo->GridView();
    TcxCustomGridRecord* record = viewInfo->GridRecord();
    // A record drawn inverted shows the focus round itself; otherwise its focused cell does.
    if (record && record->DrawFocused() && viewInfo->InvertSelect()) {
        TRect r;
        viewInfo->GetFocusRectBounds(r);
        DrawViewFocusRect(view, Canvas(), r, viewInfo->HideFocusRect());
    }
    if (TcxCustomGridPainter* painter = view->Painter()) painter->ExcludeFromBackground(viewInfo->Bounds);
}

void TcxCustomGridRecordsPainter::Paint()
{
    for (int i = 0; i < FViewInfo->Count() && i < FViewInfo->VisibleCount(); ++i)
        if (TcxCustomGridRecordViewInfo* record = FViewInfo->ItemAt(i)) record->Paint(FCanvas);
}

void TcxCustomGridTablePainter::PaintContent()
{
    auto* viewInfo = DynamicCast<TcxCustomGridTableViewInfo>(ViewInfo());
    if (!viewInfo) return;
    if (TcxCustomGridRecordsViewInfo* records = viewInfo->RecordsViewInfo()) {
        TcxCustomGridRecordsPainter(Canvas(), records).Paint();
        // Also records whose layout paints without a record painter keep the background off.
        for (int i = 0; i < records->Count() && i < records->VisibleCount(); ++i)
            if (TcxCustomGridRecordViewInfo* record = records->ItemAt(i)) ExcludeFromBackground(record->Bounds);
    }
    TcxNavigatorSiteViewInfo* site = viewInfo->NavigatorSiteViewInfo();
    if (site && site->GetVisible() && viewInfo->NavigatorViewInfo()) viewInfo->NavigatorViewInfo()->Paint();
}
